#pragma once
// Building the block table from netlist items: instances, block types,
// parameters from attributes, algorithm defaults, driver-first ordering,
// inverters and connections. Messages go to the interaction seam in the order
// the program shows them.
#include "scheme/netlist_reader.h"
#include <QString>
#include <array>

namespace ostrel {

struct BlockTable;
class BlockCatalog;
class Interaction;

struct ImportResult {
    bool completed = true;   // false when the import stopped at an error
    bool errorShown = false; // a message was shown (each of the import's messages reports an error)
    int blocks = 0;          // block numbers typed by a component of the netlist
    // Full component name (the text of its originalName item) by block
    // number 0..99, as the import's instance table holds it.
    std::array<QString, 100> component{};
};

// Shown, and nothing imported, for a netlist that could not be read to its
// end or holds more than NetlistItems::kMaxItems items.
inline const QString kNetlistReadError = QStringLiteral("Ошибка считывания файла!!!");

// Runs the import over the items (which it rewrites while ordering nets).
ImportResult importNetlist(BlockTable& blocks, const BlockCatalog& catalog, NetlistItems& items, Interaction& ui);

// Reads the file and imports it. false when the file cannot be opened (nothing changed).
bool importNetlistFile(BlockTable& blocks, const BlockCatalog& catalog, const QString& path, Interaction& ui,
                       ImportResult* result = nullptr);

// The file filter of every netlist choice.
inline const QString kNetlistFilter = QStringLiteral("P-CAD file|*.net");

// What "Ok" of the settings dialog does for a new project: RS485 texts and the
// step programs of algorithm blocks 1..96 go back to their defaults.
void resetNewProjectBlocks(BlockTable& blocks, const BlockCatalog& catalog);

} // namespace ostrel
