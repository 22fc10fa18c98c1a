#pragma once
// The lists of a bound block's outputs and setpoints that the element dialogs
// offer ("Номер выхода" / "Номер задатчика"). An element stores the position
// in the list, not the output's pin, so the lists must be built the same way
// every time: the parameter, signal, text-signal, level and mechanism
// dialogs and the go-to dialog's setpoint list all use these functions.
#include <QString>
#include <QStringList>

namespace ostrel {

struct BlockTable;
class BlockCatalog;

// The catalog holds output labels for list positions 0..32 only.
inline constexpr int kOutputListCap = 33;

// The block number in a block field: the absolute value of the leading
// number (rounded), 0 for a text that is not a number.
int blockFieldNumber(const QString& text);

// The block type under a block number; 0 for a number that names no block,
// also for one outside the table (0..100).
int boundBlockType(const BlockTable& blocks, int block);

// One entry per output the catalog offers to page elements, showing the
// output's label number: with d = out_end_pin - first_out_pin, d + 1 entries
// for types 1 and 3 and |d - 1| + 1 for every other type (two "0" entries for
// a type without outputs, type 0 included), at most 33.
QStringList outputEntries(const BlockCatalog& catalog, int type);

// "1" up to setpoint max + 1, then for type 31 "PAR1(ADR_SP)".."PAR3(ADR_SP)"
// and for type 45 " SP(INP0)".." SP(INP31)". At most 128 entries, so a
// position always fits seven bits.
QStringList setpointEntries(const BlockCatalog& catalog, int type);

// The list a dialog shows for the text of its block field.
QStringList bindingEntries(const BlockTable& blocks, const BlockCatalog& catalog, const QString& blockField,
                           bool setpoints);

} // namespace ostrel
