#pragma once
// Importing an algorithm drawn as its own P-CAD schematic: steps are "A"
// components, then/else action boxes "Y"/"N", call markers "C", returns "R";
// wires are nets. The import replaces the whole program of one algorithm
// block, the step comments and the call flags, and sets the setpoint values
// the texts give. Messages go through the interaction seam.
#include <QString>

namespace ostrel {

struct BlockTable;
struct AlgorithmData;
struct NetlistItems;
class Interaction;

enum class DrawingImportOutcome {
    NoFile,            // empty file name (dialog cancelled): nothing changed
    NotAlgorithmBlock, // the block is not an algorithm block: nothing changed
    CannotOpen,        // "Ошибка имя файла!!!": nothing changed
    ReadFailed,        // "Ошибка считывания файла!!!": nothing changed
    Aborted,           // "Ошибка netlist!!!" or "Ошибка -Attributes- блок ...": the
                       // previous program, comments, call flags and setpoints are restored
    Completed,         // the new program is in place (the scan may have stopped early
                       // at a wiring or condition error; the linking pass ran)
};

// Reads the drawing file and imports it into algorithm block `block`.
DrawingImportOutcome importAlgorithmDrawing(BlockTable& blocks, AlgorithmData& alg, int block, const QString& path,
                                            Interaction& ui);
// The same over items already read (the items after "(netlist ").
DrawingImportOutcome importAlgorithmDrawingItems(BlockTable& blocks, AlgorithmData& alg, int block,
                                                 const NetlistItems& items, Interaction& ui);

} // namespace ostrel
