#pragma once
// Building the block table from netlist items: instances, block types,
// parameters from attributes, algorithm defaults, driver-first ordering,
// inverters and connections. Messages go to the interaction seam in the order
// the program shows them.
#include "scheme/netlist_reader.h"

namespace ostrel {

struct Workspace;
class Interaction;

struct ImportResult {
    bool completed = true; // false when the import stopped at an error
};

// Runs the import over the items (which it rewrites while ordering nets).
ImportResult importNetlist(Workspace& ws, NetlistItems& items, Interaction& ui);

// Reads the file and imports it. false when the file cannot be opened (nothing changed).
bool importNetlistFile(Workspace& ws, const QString& path, Interaction& ui);

// What "Ok" of the settings dialog does for a new project: RS485 texts and the
// step programs of algorithm blocks 1..96 go back to their defaults.
void resetNewProjectBlocks(Workspace& ws);

} // namespace ostrel
