#include "algorithm/step_editor_logic.h"

#include "algorithm/step_program.h"
#include "scheme/block_table.h"


namespace ostrel::stepedit {

double leadingNumber(const QString& text)
{
    int i = 0;
    const int len = int(text.size());
    while (i < len && text[i] == QLatin1Char(' '))
        ++i;
    QString num;
    if (i < len && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        num += text[i++];
    bool digits = false, point = false;
    for (; i < len; ++i) {
        const QChar c = text[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            num += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            num += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    return num.toDouble();
}

bool byteEntry(const QString& text, int& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        value = 0;
        return true;
    }
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < 0 || v > 255)
        return false;
    value = v;
    return true;
}

bool setpointTextAcceptable(const QString& text)
{
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('+') && c != QLatin1Char('-')
            && c != QLatin1Char('.') && c != QLatin1Char(','))
            return false;
    }
    return true;
}

bool condBIsOperandCode(int condA, int ops)
{
    return (ops & 15) < 9 && !(condA >= 225 && condA <= 254);
}

bool stepMatches(const BlockTable& bt, int n, int s, SearchCategory c, int number)
{
    const int thenKind = alg::stepField(bt, n, s, alg::then_kind);
    const int elseKind = alg::stepField(bt, n, s, alg::else_kind);
    const int thenOp = alg::stepField(bt, n, s, alg::then_operand);
    const int elseOp = alg::stepField(bt, n, s, alg::else_operand);
    const int condA = alg::stepField(bt, n, s, alg::cond_a);
    const int condB = alg::stepField(bt, n, s, alg::cond_b);
    const bool bCode = condBIsOperandCode(condA, alg::stepField(bt, n, s, alg::ops));
    const int N = number;

    // An action operand naming input N: kinds 65..96 hold input - 1, the
    // assignment kinds from 97 on hold a B-operand code (input N = N + 1).
    auto inputOperand = [N](int kind, int op) {
        if (kind >= 65 && kind <= 96)
            return op == N - 1;
        if (kind >= 97 && kind <= 255)
            return op == N + 1;
        return false;
    };
    switch (c) {
    case SearchCategory::Input:
        return inputOperand(thenKind, thenOp) || inputOperand(elseKind, elseOp) || condA == N
            || (bCode && condB == N + 1);
    case SearchCategory::Output:
        return condA == N + 32 || thenKind == N + 32 || elseKind == N + 32;
    case SearchCategory::Flag:
        return condA == N + 64;
    case SearchCategory::Timer:
        return condA == N + 96;
    case SearchCategory::Sp:
        return (thenKind >= 33 && thenKind <= 64 && thenOp == N - 1)
            || (elseKind >= 33 && elseKind <= 64 && elseOp == N - 1) || (bCode && condB == N + 33);
    case SearchCategory::SpInp:
        return bCode && condB == N + 161;
    case SearchCategory::OutSp:
        return thenKind == N + 32 || elseKind == N + 32;
    case SearchCategory::OutSpInp:
        return thenKind == N + 64 || elseKind == N + 64;
    }
    return false;
}

JumpSources jumpSources(const BlockTable& bt, int n, int c)
{
    JumpSources js;
    auto jumpsTo = [&](int i) {
        return alg::stepField(bt, n, i, alg::then_next) == c || alg::stepField(bt, n, i, alg::else_next) == c;
    };
    for (int i = c; i >= 0; --i)
        if (jumpsTo(i))
            js.before.push_back(i);
    for (int i = c + 1; i < alg::kSteps; ++i)
        if (jumpsTo(i))
            js.after.push_back(i);
    return js;
}

bool unpackCodes(int value, std::array<int, 4>& codes)
{
    if (value < 0 || value > 255)
        return false;
    codes = alg::UnpackBits(value);
    for (int code : codes)
        if (code == 3)
            return false;
    return true;
}

QString setpointText(float value)
{
    const double v = double(value);
    QString t = QString::number(v, 'g', 7);
    if (t.contains(QLatin1Char('e'))) {
        t = QString::number(v, 'f', 6);
        if (t.contains(QLatin1Char('.'))) {
            while (t.endsWith(QLatin1Char('0')))
                t.chop(1);
            if (t.endsWith(QLatin1Char('.')))
                t.chop(1);
        }
    }
    return t;
}

} // namespace ostrel::stepedit
