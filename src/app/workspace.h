#pragma once
// All process-wide state of one configurator run. Created by main (or a test),
// owned by the main window; windows get references to the parts they edit.
// Two workspaces never share anything.
#include "algorithm/algorithm_data.h"
#include "app/project_settings.h"
#include "link/transfer_state.h"
#include "project/report_reserve.h"
#include "scada/scada_pages.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include <cstdint>

namespace ostrel {

struct Workspace {
    ProjectSettings settings;
    uint8_t version_code = 5;
    BlockCatalog catalog;
    BlockTable blocks;
    AlgorithmData alg;
    ScadaPages pages;
    TransferState transfer;
    ReportReserve report_reserve; // kept by the project file only

    int16_t current_page = 0;
    int16_t all_pages_flag = 0;
    int16_t create_mode = 0;
    uint8_t settings_reopened = 0;

    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // What a version menu item does to the model: version_code and the two
    // catalog counts. The window title and menu marks are the shell's part.
    void selectVersion(uint8_t code);
};

} // namespace ostrel
