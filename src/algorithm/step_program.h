#pragma once
// The step program of an algorithm block, held as decimal text fields in the
// block's TextStore entries (128 steps x 41 fields) and its setpoints in
// ParamStore entries 1..128.
//
// Field f of step s (0..127) of block n is TextStore[text_base[n] + 41 * s + f].
// Every accessor here checks the block, step, field and setpoint numbers and
// the store bounds: a read outside them gives 0, a write outside them does
// nothing, so a bad number from a file or a control never touches another
// block's data.
#include "scheme/block_table.h"
#include "scheme/block_types.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct BlockTable;
struct AlgorithmData;

namespace alg {

inline constexpr int kBlockType = kAlgorithm;
inline constexpr int kSteps = BlockTable::kAlgSteps;
inline constexpr int kFields = BlockTable::kAlgFields;
inline constexpr int kProgramTexts = BlockTable::kAlgTexts; // 5248
inline constexpr int kSetpoints = BlockTable::kAlgSetpoints; // SP1..SP128
inline constexpr int kCommentsPerStep = 11;

// Field numbers within a step.
inline constexpr int then_flags = 0;    // 0..7, flags 1..32, four per field
inline constexpr int else_flags = 8;    // 8..15
inline constexpr int then_kind = 16;
inline constexpr int else_kind = 17;
inline constexpr int then_operand = 18;
inline constexpr int else_operand = 19;
inline constexpr int cond_a = 20;
inline constexpr int cond_b = 21;
inline constexpr int ops = 22;          // bits 0..3 comparison, 4..5 then math, 6..7 else math
inline constexpr int then_outputs = 23; // 23..30, outputs 1..32, four per field
inline constexpr int else_outputs = 31; // 31..38
inline constexpr int then_next = 39;
inline constexpr int else_next = 40;
inline constexpr int kPackedGroups = 8; // packed fields per output/flag row

// A branch marked as a call goes out with this added to its then_kind /
// else_kind byte (algorithmDownloadImage).
inline constexpr int kCallAdjustment = 128;

// Next-step codes: 0..127 go to step code+1 (as the user counts).
inline constexpr int kNextOut = 128;
inline constexpr int kNextRet = 129;

// 2-bit codes of one output or flag in a packed field.
inline constexpr int kCodeUnchanged = 0; // shown "-"
inline constexpr int kCodeSet = 1;       // shown "1"
inline constexpr int kCodeReset = 2;     // shown "0"

// Comparison operators 9..15 are operators 0..6 against the constant in cond_b.
inline constexpr int kConstOperatorOffset = 9;
inline constexpr int kFirstConstOperator = 9;

enum class Branch { Then = 0, Else = 1 };

// True when n is a block number of type 45 whose 5248 fields and 128
// setpoints lie inside the stores.
bool isAlgorithmBlock(const BlockTable& bt, int n);
// Lowest-numbered algorithm block, or -1.
int firstAlgorithmBlock(const BlockTable& bt);

// The decimal text of a field parsed as an integer; empty or non-numeric = 0.
int parseFieldText(const QString& text);

// Field f of step s of block n (0 outside the block's fields).
int stepField(const BlockTable& bt, int n, int s, int f);
// Stores the value as decimal text. Ignored outside the block's fields.
void setStepField(BlockTable& bt, int n, int s, int f, int value);

// Setpoint SPk (k = 1..128) of block n: ParamStore[param_base[n] + k].
float setpoint(const BlockTable& bt, int n, int k);
void setSetpoint(BlockTable& bt, int n, int k, float value);

// 2-bit packing of four outputs or flags into one field value.
int PackBits(const std::array<int, 4>& codes);
std::array<int, 4> UnpackBits(int value);

// The code of output/flag m (1..32) in the row whose first packed field is
// `base` (then_outputs, else_outputs, then_flags or else_flags).
int packedCode(const BlockTable& bt, int n, int s, int base, int m);
void setPackedCode(BlockTable& bt, int n, int s, int base, int m, int code);

// Comparison operator (bits 0..3 of ops) and the math operator of a branch
// (bits 4..5 then, 6..7 else).
int comparisonOperator(const BlockTable& bt, int n, int s);
void setComparisonOperator(BlockTable& bt, int n, int s, int code);
int mathOperator(const BlockTable& bt, int n, int s, Branch b);
// index 0..3 = " +=", " -=", " *=", " /="; the editor's fifth entry " ="
// (index 4) has no code of its own in the two bits and is stored as 0, the
// same as the drawing import stores " =". Other values are ignored.
void setMathOperator(BlockTable& bt, int n, int s, Branch b, int index);

// The call flag of a branch of step s (call_flags byte 0 / 1).
bool isCall(const AlgorithmData& alg, int s, Branch b);

// A blank step: all 41 fields "0", cond_a "1", both next fields "128".
void setBlankStep(BlockTable& bt, int n, int s);
// What the scheme import gives every step: cond_a "1", cond_b "0",
// then_next / else_next "128" where those fields are empty.
void applyDefaultFields(BlockTable& bt, int n);

// Opens a blank step s+1 after step s (0..126). Steps, setpoints and comments
// above s move up one (step 127, setpoint 128 and its comments are lost), jump
// targets above s are renumbered. Refused (false, nothing changed) for s
// outside 0..126 or a block that is not an algorithm block.
bool InsertStepAfter(BlockTable& bt, AlgorithmData& alg, int n, int s);
// Removes step s (0..127); everything above moves down one, step 127 becomes
// blank with "Text" comments. false (nothing changed) for bad numbers.
bool DeleteStep(BlockTable& bt, AlgorithmData& alg, int n, int s);

// Clears the whole program of block n the way a drawing import starts: all
// 5248 fields "0", the saved program copy "0", every comment "", every call
// flag 0. Setpoints are kept.
void clearProgram(BlockTable& bt, AlgorithmData& alg, int n);

} // namespace alg

// The 5248 bytes the controller receives for algorithm block `block`: every
// field's value, with 128 added to then_kind / else_kind of steps whose branch
// is marked as a call. Returns false and sets `problem` (the text for the
// user) when a value does not fit its byte; `out` is then unspecified.
bool algorithmDownloadImage(const BlockTable& bt, const AlgorithmData& alg, int block,
                            QByteArray& out, QString* problem = nullptr);

} // namespace ostrel
