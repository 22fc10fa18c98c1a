#pragma once
// Starting a project from a netlist file.
#include "scheme/netlist_import.h"
#include <QString>

namespace ostrel {

struct Workspace;
class Interaction;

// Asks for a netlist file (filter "P-CAD file|*.net") and imports it. A
// cancelled choice, or a file that cannot be opened, leaves everything as it
// was and returns false. With recordPath the chosen file becomes the project's
// netlist path (the settings dialog's "Загрузить").
bool chooseAndImportNetlist(Workspace& ws, Interaction& ui, bool recordPath, ImportResult* result = nullptr);

} // namespace ostrel
