#pragma once
// Widget-free rules of the algorithm step editor: the
// number-entry rules of its text boxes, the search and the
// jump-source strip. Kept apart from the window so that they can be used and
// tested without widgets.
#include <QString>
#include <array>
#include <vector>

namespace ostrel {

struct BlockTable;

namespace stepedit {

constexpr int kStepsPerPage = 32;
constexpr int kPages = 4;
constexpr int kPageFields = kStepsPerPage * 41;            // 1312
constexpr int kPageComments = kStepsPerPage * 11;          // 352

// The number at the start of `text` the way the editor reads typed numbers:
// optional blanks and sign, digits, an optional "." and more digits; reading
// stops at the first character that cannot continue the number ("" and "-"
// read 0).
double leadingNumber(const QString& text);

// Out_Num entry: true and `value` when the whole text is a whole number 0..255
// (an empty text counts as 0).
bool byteEntry(const QString& text, int& value);

// Setpoint boxes accept only digits, "+", "-", "." and ",".
bool setpointTextAcceptable(const QString& text);

// The condition's right operand is a B-operand code (not a constant of a
// "const" operator or a packed pair of the sum and difference forms).
bool condBIsOperandCode(int condA, int ops);

// Search categories in the order of the category list.
enum class SearchCategory { Input, Output, Flag, Timer, Sp, SpInp, OutSp, OutSpInp };
constexpr int kSearchCategories = 8;
bool stepMatches(const BlockTable& bt, int n, int s, SearchCategory c, int number);

// Steps that jump to step c (0..127): `before` holds those at or below c
// (nearest first), `after` those above c (nearest first).
struct JumpSources {
    std::vector<int> before;
    std::vector<int> after;
};
JumpSources jumpSources(const BlockTable& bt, int n, int c);

// The 2-bit codes of one packed output/flag field; false when the value is
// not a byte made of the codes 0..2 (the window cannot show it).
bool unpackCodes(int value, std::array<int, 4>& codes);

// Setpoint values as the boxes show them: no exponent, no trailing zeros.
QString setpointText(float value);

} // namespace stepedit
} // namespace ostrel
