#pragma once
// What the main window remembers between commands besides the project: the
// page tab selected and how the settings dialog was last opened.
#include <cstdint>

namespace ostrel {

struct ShellState {
    int16_t current_page = 0;      // page 0..7 of the selected tab
    uint8_t settings_reopened = 0; // 1 while the settings dialog serves "&Настройки"
};

} // namespace ostrel
