#pragma once
// The texts of the algorithm step codes, exactly as the step editor's lists
// show them: list index = the code stored in the step field.
#include <QString>
#include <QStringList>

namespace ostrel::alg {

inline constexpr int kComparisonOperatorCount = 16; // bits 0..3 of ops
inline constexpr int kMathOperatorCount = 5;        // " +=" .. " /=" and the editor's " ="
inline constexpr int kAOperandCount = 255;          // cond_a 0..254
inline constexpr int kBOperandCount = 226;          // cond_b 0..225, operands of math and "=" actions
inline constexpr int kActionKindCount = 256;        // then_kind / else_kind 0..255
inline constexpr int kNextStepCount = 130;          // "1".."128", "OUT", "RET"

// " =", " <", ..., "AND const" (16 entries).
QStringList comparisonOperatorNames();
// " +=", " -=", " *=", " /=", " =" (5 entries; the last one is the editor's).
QStringList mathOperatorNames();
// "No", "Input 1".., "Output 1".., "Flag_1".., "Timer 1".., "SP1".., "INP(SP1)"..,
// "SP(SP1)".., "SP1 SPn+SPm".., "SP1 SPn- SPm".. (255 entries).
QStringList aOperandNames();
// "0", "1", "Input 1".., "SP1".."SP128", "SP(INP1)".., "SP(SP1)".. (226 entries).
QStringList bOperandNames();
// "No", "Output 1".., "OUT1_SP".., "OUT1_SP(INP)".., "SP1".., "SP(INP1)"..,
// "SP(SP1)".., "SP1 =".., "OUT(SP1) = ".."OUT(SP31) = " (256 entries).
QStringList actionKindNames();
// "1".."128", "OUT", "RET" (130 entries).
QStringList nextStepNames();
// "SP1".."SP128": entry k names setpoint k+1.
QStringList setpointNames();
// "Input 1".."Input 32": entry k names input k+1.
QStringList inputNames();

// Single entries; an empty text for a code outside the list.
QString comparisonOperatorName(int code);
QString mathOperatorName(int code);
QString aOperandName(int code);
QString bOperandName(int code);
QString actionKindName(int code);
QString nextStepName(int code);

// Captions of the 2-bit output/flag codes: [0] "-", [1] "1", [2] "0".
QString stateText(int code);

} // namespace ostrel::alg
