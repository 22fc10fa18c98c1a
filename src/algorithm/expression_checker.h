#pragma once
// Parsing and checking the texts of an algorithm drawing: the condition of a
// step ("INP3 > SP5 = 20") and the action of a branch ("SP2 += INP4",
// "OUT7 = SP3 = 12.5"). The results go straight into the step fields and
// setpoints of one algorithm block; problems are shown through the
// interaction seam with the error icon.
//
// No parse ever stores a field value outside 0..255 (one byte in the
// download) or writes a setpoint outside SP1..SP128: a condition that would
// need one is rejected with its operand message, an action value that would
// need one is reported with its range message and left unstored.
#include "algorithm/step_program.h"
#include <QString>

namespace ostrel {

struct BlockTable;
class Interaction;

class ExpressionChecker {
public:
    ExpressionChecker(BlockTable& bt, int block, Interaction& ui);

    // Condition of step s (1-based): cond_a, cond_b, bits 0..3 of ops and
    // perhaps one setpoint value. false when the condition is rejected.
    bool ParseCondition(const QString& text, int s);
    // Action of a branch of step s: kind, operand, math bits, perhaps one
    // setpoint value. `suffix` ends every message (see messageSuffix).
    void ParseAction(const QString& text, alg::Branch branch, int s, const QString& suffix);
    // Syntax checks of an action: messages only.
    void Pravopys(const QString& text, const QString& suffix);
    // Right-hand side of a setpoint action: operand field and math bits.
    void Right_Line(const QString& text, alg::Branch branch, int s, const QString& suffix);

    // The message suffix of an action: the last three characters of the
    // action component's header item.
    static QString messageSuffix(const QString& headerItem);

private:
    void error(const QString& text);
    void conditionError(const QString& text, int s);
    void store(int s, int field, int value); // only values 0..255

    BlockTable& bt_;
    int block_;
    Interaction& ui_;
};

} // namespace ostrel
