#include "algorithm/step_program.h"

#include "algorithm/algorithm_data.h"
#include "scheme/block_table.h"

namespace ostrel {
namespace alg {

namespace {

bool validStep(int s) { return s >= 0 && s < kSteps; }
bool validField(int f) { return f >= 0 && f < kFields; }

int fieldIndex(const BlockTable& bt, int n, int s, int f)
{
    return bt.text_base[n] + kFields * s + f;
}

const QString kText = QStringLiteral("Text");

void copyStep(BlockTable& bt, int n, int from, int to)
{
    for (int f = 0; f < kFields; ++f)
        bt.TextStore[fieldIndex(bt, n, to, f)] = bt.TextStore[fieldIndex(bt, n, from, f)];
}

void copyComments(AlgorithmData& alg, int from, int to)
{
    for (int k = 0; k < kCommentsPerStep; ++k)
        alg.alg_comments[kCommentsPerStep * to + k] = alg.alg_comments[kCommentsPerStep * from + k];
}

void setComments(AlgorithmData& alg, int s, const QString& text)
{
    for (int k = 0; k < kCommentsPerStep; ++k)
        alg.alg_comments[kCommentsPerStep * s + k] = text;
}

// Adds delta to every next field whose target lies above step s (s < v < 128).
void renumberJumps(BlockTable& bt, int n, int s, int delta)
{
    for (int i = 0; i < kSteps; ++i) {
        for (int f : {then_next, else_next}) {
            const int v = stepField(bt, n, i, f);
            if (v > s && v < kNextOut)
                setStepField(bt, n, i, f, v + delta);
        }
    }
}

void zeroStep(BlockTable& bt, int n, int s)
{
    for (int f = 0; f < kFields; ++f)
        bt.TextStore[fieldIndex(bt, n, s, f)] = QStringLiteral("0");
    bt.TextStore[fieldIndex(bt, n, s, cond_a)] = QStringLiteral("1");
}

} // namespace

bool isAlgorithmBlock(const BlockTable& bt, int n)
{
    if (n < 0 || n >= BlockTable::kBlocks || bt.block_type[n] != kBlockType)
        return false;
    const int tb = bt.text_base[n];
    const int pb = bt.param_base[n];
    return tb >= 0 && tb + kProgramTexts <= BlockTable::kTexts && pb >= 0
        && pb + kSetpoints < BlockTable::kParams;
}

int firstAlgorithmBlock(const BlockTable& bt)
{
    for (int n = 0; n < BlockTable::kBlocks; ++n)
        if (isAlgorithmBlock(bt, n))
            return n;
    return -1;
}

int parseFieldText(const QString& text)
{
    int i = 0;
    const int len = int(text.size());
    while (i < len && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < len && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    long long v = 0;
    for (; i < len && text.at(i).isDigit() && text.at(i).unicode() < 128; ++i) {
        v = v * 10 + (text.at(i).unicode() - '0');
        if (v > 1000000000LL)
            v = 1000000000LL; // far outside every field; keeps the value in range of int
    }
    return int(negative ? -v : v);
}

int stepField(const BlockTable& bt, int n, int s, int f)
{
    if (!isAlgorithmBlock(bt, n) || !validStep(s) || !validField(f))
        return 0;
    return parseFieldText(bt.TextStore[fieldIndex(bt, n, s, f)]);
}

void setStepField(BlockTable& bt, int n, int s, int f, int value)
{
    if (!isAlgorithmBlock(bt, n) || !validStep(s) || !validField(f))
        return;
    bt.TextStore[fieldIndex(bt, n, s, f)] = QString::number(value);
}

float setpoint(const BlockTable& bt, int n, int k)
{
    if (!isAlgorithmBlock(bt, n) || k < 1 || k > kSetpoints)
        return 0.0f;
    return bt.ParamStore[bt.param_base[n] + k];
}

void setSetpoint(BlockTable& bt, int n, int k, float value)
{
    if (!isAlgorithmBlock(bt, n) || k < 1 || k > kSetpoints)
        return;
    bt.ParamStore[bt.param_base[n] + k] = value;
}

int PackBits(const std::array<int, 4>& codes)
{
    return (codes[0] & 3) + 4 * (codes[1] & 3) + 16 * (codes[2] & 3) + 64 * (codes[3] & 3);
}

std::array<int, 4> UnpackBits(int value)
{
    std::array<int, 4> codes{};
    for (int j = 0; j < 4; ++j) {
        codes[j] = value & 3;
        value >>= 2;
    }
    return codes;
}

int packedCode(const BlockTable& bt, int n, int s, int base, int m)
{
    if (m < 1 || m > 32)
        return 0;
    const int field = base + (m - 1) / 4;
    return UnpackBits(stepField(bt, n, s, field))[(m - 1) % 4];
}

void setPackedCode(BlockTable& bt, int n, int s, int base, int m, int code)
{
    if (m < 1 || m > 32 || code < 0 || code > 3)
        return;
    const int field = base + (m - 1) / 4;
    auto codes = UnpackBits(stepField(bt, n, s, field));
    codes[(m - 1) % 4] = code;
    setStepField(bt, n, s, field, PackBits(codes));
}

int comparisonOperator(const BlockTable& bt, int n, int s)
{
    return stepField(bt, n, s, ops) & 15;
}

void setComparisonOperator(BlockTable& bt, int n, int s, int code)
{
    if (code < 0 || code > 15)
        return;
    setStepField(bt, n, s, ops, (stepField(bt, n, s, ops) & 240) + code);
}

int mathOperator(const BlockTable& bt, int n, int s, Branch b)
{
    const int v = stepField(bt, n, s, ops);
    return b == Branch::Then ? (v & 48) / 16 : (v & 192) / 64;
}

void setMathOperator(BlockTable& bt, int n, int s, Branch b, int index)
{
    if (index < 0 || index > 4)
        return;
    const int code = index == 4 ? 0 : index;
    const int v = stepField(bt, n, s, ops);
    if (b == Branch::Then)
        setStepField(bt, n, s, ops, (v & 207) + 16 * code);
    else
        setStepField(bt, n, s, ops, (v & 63) + 64 * code);
}

bool isCall(const AlgorithmData& alg, int s, Branch b)
{
    if (!validStep(s))
        return false;
    return alg.call_flags[s][b == Branch::Then ? 0 : 1] == 1;
}

void setBlankStep(BlockTable& bt, int n, int s)
{
    if (!isAlgorithmBlock(bt, n) || !validStep(s))
        return;
    zeroStep(bt, n, s);
    bt.TextStore[fieldIndex(bt, n, s, then_next)] = QStringLiteral("128");
    bt.TextStore[fieldIndex(bt, n, s, else_next)] = QStringLiteral("128");
}

void applyDefaultFields(BlockTable& bt, int n)
{
    if (!isAlgorithmBlock(bt, n))
        return;
    for (int s = 0; s < kSteps; ++s) {
        auto fill = [&](int f, const char* value) {
            QString& t = bt.TextStore[fieldIndex(bt, n, s, f)];
            if (t.isEmpty())
                t = QLatin1String(value);
        };
        fill(then_next, "128");
        fill(else_next, "128");
        fill(cond_a, "1");
        fill(cond_b, "0");
    }
}

bool InsertStepAfter(BlockTable& bt, AlgorithmData& alg, int n, int s)
{
    // There is no step after 127 to open: refused, nothing changes.
    if (!isAlgorithmBlock(bt, n) || s < 0 || s > kSteps - 2)
        return false;
    const int pb = bt.param_base[n];
    for (int i = kSteps - 2; i >= s; --i) {
        copyStep(bt, n, i, i + 1);
        bt.ParamStore[pb + i + 2] = bt.ParamStore[pb + i + 1];
    }
    setBlankStep(bt, n, s + 1);
    bt.ParamStore[pb + s + 2] = 0.0f;
    renumberJumps(bt, n, s, +1);
    for (int i = kSteps - 2; i >= s; --i)
        copyComments(alg, i, i + 1);
    setComments(alg, s + 1, kText);
    return true;
}

bool DeleteStep(BlockTable& bt, AlgorithmData& alg, int n, int s)
{
    if (!isAlgorithmBlock(bt, n) || !validStep(s))
        return false;
    const int pb = bt.param_base[n];
    for (int i = s; i <= kSteps - 2; ++i) {
        copyStep(bt, n, i + 1, i);
        bt.ParamStore[pb + i + 1] = bt.ParamStore[pb + i + 2];
    }
    zeroStep(bt, n, kSteps - 1);
    bt.ParamStore[pb + kSetpoints] = 0.0f;
    renumberJumps(bt, n, s, -1);
    setStepField(bt, n, kSteps - 1, then_next, kNextOut);
    setStepField(bt, n, kSteps - 1, else_next, kNextOut);
    for (int i = s; i <= kSteps - 2; ++i)
        copyComments(alg, i + 1, i);
    setComments(alg, kSteps - 1, kText);
    return true;
}

void clearProgram(BlockTable& bt, AlgorithmData& alg, int n)
{
    if (isAlgorithmBlock(bt, n)) {
        for (int i = 0; i < kProgramTexts; ++i)
            bt.TextStore[bt.text_base[n] + i] = QStringLiteral("0");
    }
    for (auto& t : bt.alg_text_saved)
        t = QStringLiteral("0");
    for (auto& c : alg.alg_comments)
        c.clear();
    for (auto& row : alg.call_flags)
        row = {0, 0, 0};
}

} // namespace alg

bool algorithmDownloadImage(const BlockTable& bt, const AlgorithmData& alg, int block,
                            QByteArray& out, QString* problem)
{
    using namespace alg;
    out.clear();
    if (!isAlgorithmBlock(bt, block)) {
        if (problem)
            *problem = QStringLiteral("Блок %1 не является блоком АЛГОРИТМ").arg(block);
        return false;
    }
    out.resize(kProgramTexts);
    for (int s = 0; s < kSteps; ++s) {
        for (int f = 0; f < kFields; ++f) {
            int v = stepField(bt, block, s, f);
            const bool call = (f == then_kind && alg.call_flags[s][0] == 1)
                || (f == else_kind && alg.call_flags[s][1] == 1);
            if (v < 0 || v > 255) {
                if (problem)
                    *problem = QStringLiteral(
                        "Блок АЛГОРИТМ U%1, шаг %2, поле %3: значение %4 не помещается в байт")
                        .arg(block).arg(s + 1).arg(f).arg(v);
                return false;
            }
            if (call) {
                if (v >= kCallAdjustment) {
                    if (problem)
                        *problem = QStringLiteral(
                            "Блок АЛГОРИТМ U%1, шаг %2: действие %3 с кодом больше 127 "
                            "не может быть вызовом шага")
                            .arg(block).arg(s + 1).arg(v);
                    return false;
                }
                v += kCallAdjustment;
            }
            out[kFields * s + f] = char(uint8_t(v));
        }
    }
    return true;
}

} // namespace ostrel
