#pragma once
// The picture of a block type as the scheme overview and the parameter editor
// show it: a framed box with the type's three-letter code. Drawn in code, so
// no picture files are needed.
#include <QImage>
#include <QString>

namespace ostrel {

// Side of the square symbol in pixels.
inline constexpr int kBlockSymbolSize = 40;

// A kBlockSymbolSize x kBlockSymbolSize picture of block type `type` (1..50)
// labelled with `code`. Any type number gives a picture; the frame colour
// follows the type's family (inputs/outputs, arithmetic, logic, control,
// display), types outside 1..50 are grey.
QImage blockSymbol(int type, const QString& code);

} // namespace ostrel
