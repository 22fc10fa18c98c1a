#pragma once
// All project state of one configurator run. Created by main (or a test),
// owned by the program; windows and core functions get references to the
// tables they use. Two workspaces never share anything. What the windows
// remember between commands (the current page, how the settings dialog was
// opened) belongs to the application, not here.
#include "algorithm/algorithm_data.h"
#include "wire/transfer_state.h"
#include "scada/scada_pages.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "workspace/project_settings.h"
#include "workspace/report_reserve.h"
#include <cstdint>

namespace ostrel {

// The controller versions the program offers (its version menu, the command
// line's --version): 5 (4.5), 3 (4.2), 0 (3.0) and 1 (1.3); it starts with 4.5.
inline constexpr uint8_t kDefaultVersion = 5;
inline bool isOfferedVersion(int code) { return code == 5 || code == 3 || code == 0 || code == 1; }

struct Workspace {
    ProjectSettings settings;
    uint8_t version_code = kDefaultVersion;
    BlockCatalog catalog;
    BlockTable blocks;
    AlgorithmData alg;
    ScadaPages pages;
    TransferState transfer;
    ReportReserve report_reserve; // kept by the project file only
    // True while the block table stands as a project file stores it, without
    // its netlist's wiring (the netlist was missing or its import stopped):
    // such a scheme must not be written into a controller.
    bool scheme_without_netlist = false;

    Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // What a version menu item does to the model: version_code and the two
    // catalog counts. The window title and menu marks are the shell's part.
    void selectVersion(uint8_t code);
};

} // namespace ostrel
