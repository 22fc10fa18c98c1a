#include "algorithm/expression_checker.h"

#include "platform/interaction.h"
#include "scheme/block_table.h"

#include <cmath>
#include <cstdlib>

namespace ostrel {

using namespace alg;

namespace {

const QString kStepTag = QStringLiteral("  шаг A");

bool isAsciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Leading integer of a text: read like a step field (blanks, optional sign,
// digits; no digits = 0; saturated far outside every field).
long long leadingInt(const QString& t) { return parseFieldText(t); }

// Leading decimal number: blanks skipped, optional sign, digits, and a
// fraction after "." or "," (both serve as the decimal separator).
double leadingNumber(const QString& t)
{
    int i = 0;
    const int len = int(t.size());
    while (i < len && t.at(i) == QLatin1Char(' '))
        ++i;
    QString s;
    if (i < len && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        s += t.at(i++);
    for (; i < len && isAsciiDigit(t.at(i)); ++i)
        s += t.at(i);
    if (i < len && (t.at(i) == QLatin1Char('.') || t.at(i) == QLatin1Char(','))) {
        s += QLatin1Char('.');
        for (++i; i < len && isAsciiDigit(t.at(i)); ++i)
            s += t.at(i);
    }
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

// Integer of the characters pos..pos+count-1 (1-based), as Mid would cut them.
long long intAt(const QString& t, int pos, int count)
{
    if (pos < 1 || pos > t.size())
        return 0;
    return leadingInt(t.mid(pos - 1, count));
}

// Integer of the last `count` characters (none when count <= 0).
long long intOfLast(const QString& t, long long count)
{
    if (count <= 0)
        return 0;
    return leadingInt(t.right(int(std::min<long long>(count, t.size()))));
}

// 1-based position of the first occurrence of `what`, 0 when absent.
int posOf(const QString& t, const QString& what, int from = 1)
{
    return int(t.indexOf(what, from - 1)) + 1;
}

bool isOperatorChar(QChar c)
{
    return c == QLatin1Char('<') || c == QLatin1Char('=') || c == QLatin1Char('>');
}

bool isNumberChar(QChar c)
{
    return isAsciiDigit(c) || c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char('-');
}

// Whether up to two characters read as a number from 0 to 255.
bool twoCharsAreByteNumber(const QString& b)
{
    const QString two = b.left(2).trimmed();
    if (two.isEmpty())
        return false;
    for (QChar c : two)
        if (!isAsciiDigit(c) && c != QLatin1Char('.') && c != QLatin1Char('+') && c != QLatin1Char('-'))
            return false;
    bool ok = false;
    const double v = two.toDouble(&ok);
    return ok && v >= 0.0 && v <= 255.0;
}

int branchField(Branch b, int thenField, int elseField)
{
    return b == Branch::Then ? thenField : elseField;
}

} // namespace

ExpressionChecker::ExpressionChecker(BlockTable& bt, int block, Interaction& ui)
    : bt_(bt), block_(block), ui_(ui)
{
}

QString ExpressionChecker::messageSuffix(const QString& headerItem)
{
    return headerItem.right(3);
}

void ExpressionChecker::error(const QString& text)
{
    ui_.message(text, QString(), MessageIcon::Error);
}

void ExpressionChecker::conditionError(const QString& text, int s)
{
    error(text + kStepTag + QString::number(s));
}

void ExpressionChecker::store(int s, int field, int value)
{
    if (value >= 0 && value <= 255)
        setStepField(bt_, block_, s - 1, field, value);
}

bool ExpressionChecker::ParseCondition(const QString& t, int s)
{
    const int step = s - 1;
    const int len = int(t.size());

    // 1. Operator scan; opStart is where the left operand ends.
    QString op;
    int bStart = -1;
    int opStart = -1;
    for (int i = 0; i < len; ++i) {
        const QChar c = t.at(i);
        if (isOperatorChar(c)) {
            if (opStart < 0)
                opStart = i;
            op += c;
            if (i + 1 >= len || !isOperatorChar(t.at(i + 1))) {
                bStart = i + 1;
                break;
            }
        } else if (c == QLatin1Char('D')) {
            op = QStringLiteral("AND");
            opStart = std::max(0, i - 2);
            bStart = i + 1;
            break;
        } else if (c == QLatin1Char('R') && i > 0 && t.at(i - 1) == QLatin1Char('O')) {
            op = QStringLiteral(" OR");
            opStart = i - 1;
            bStart = i + 1;
            break;
        } else if (c == QLatin1Char('X')) {
            // B starts after the whole keyword, as for AND and OR; a lone X
            // is no operator.
            const bool keyword = QStringView(t).mid(i, 3) == QLatin1String("XOR");
            op = keyword ? QStringLiteral("XOR") : QStringLiteral("X");
            opStart = i;
            bStart = keyword ? i + 3 : i + 1;
            break;
        }
    }
    QString b = bStart >= 0 ? t.mid(bStart) : QString();
    if (b.startsWith(QLatin1Char(' ')))
        b = b.mid(1);

    // 2. Operator code.
    static constexpr const char* kOps[] = {"=", "<", ">", "<=", ">=", "<>", "AND", " OR", "XOR"};
    int code = -1;
    for (int k = 0; k < 9; ++k)
        if (op == QLatin1String(kOps[k]))
            code = k;
    if (code < 0) {
        conditionError(QStringLiteral("Ошибка условия в блоке <АЛГОРИТМ>"), s);
        return false;
    }
    setStepField(bt_, block_, step, alg::ops, stepField(bt_, block_, step, alg::ops) | code);

    // 3. The number of the left operand: its digits among the first seven
    // characters (eight for "INI"), up to an "=" or the operator, so that a
    // short left operand never takes digits of the right one.
    int limit = t.startsWith(QLatin1String("INI")) ? 8 : 7;
    limit = std::min(limit, opStart);
    QString digits;
    for (int i = 0; i < limit && i < len; ++i) {
        if (t.at(i) == QLatin1Char('='))
            break;
        if (isAsciiDigit(t.at(i)))
            digits += t.at(i);
    }
    const long long n = leadingInt(digits);

    // 4. Left operand.
    const bool sumForm = t.indexOf(QLatin1String(" + SP"), 1) >= 0;
    const bool diffForm = !sumForm && t.indexOf(QLatin1String(" - SP"), 1) >= 0;
    long long a = 0;
    switch (len > 0 ? t.at(0).unicode() : 0) {
    case 'I': a = t.startsWith(QLatin1String("INI(")) ? n + 160 : n; break;
    case 'O': a = n + 32; break;
    case 'F': a = n + 64; break;
    case 'T': a = n + 96; break;
    case 'S':
        if (t.startsWith(QLatin1String("SI")))
            a = n + 192;
        else if (sumForm || diffForm) {
            a = n + (sumForm ? 224 : 239);
            if (std::llabs(n) > 15)
                conditionError(QStringLiteral("Значение SP > 15"), s);
        } else
            a = n + 128;
        break;
    default:
        conditionError(QStringLiteral("Ошибка условия A в блоке <АЛГОРИТМ>"), s);
        return false;
    }
    if (a < 0 || a > 254) { // not an entry of the A-operand table
        conditionError(QStringLiteral("Ошибка условия A в блоке <АЛГОРИТМ>"), s);
        return false;
    }
    setStepField(bt_, block_, step, cond_a, int(a));

    // 5. Selected-operand forms belong to the right operand only.
    if (t.indexOf(QLatin1String("SP("), 3) >= 0)
        error(QStringLiteral("Ошибка SI(INP) или SI(SP), ШАГ A") + QString::number(s));

    // 6. The numbers of the right operand.
    QString b1, b2;
    bool second = false;
    for (int i = 0; i < b.size(); ++i) {
        const QChar c = b.at(i);
        if (!isNumberChar(c))
            continue;
        if (second) {
            b2 += c;
        } else {
            b1 += c;
            if (i + 1 < b.size() && (b.at(i + 1) == QLatin1Char(' ') || b.at(i + 1) == QLatin1Char('=')))
                second = true;
        }
    }
    const long long n1 = leadingInt(b1);
    const long long n2 = leadingInt(b2);

    // 7. Right operand.
    const QString head = b.left(2);
    const QString bError = QStringLiteral("Ошибка условия B в блоке <АЛГОРИТМ>");
    long long v = 0;
    if (head == QLatin1String("I ") || head == QLatin1String(" I") || head == QLatin1String("IN")) {
        v = n1 + 1;
    } else if (head == QLatin1String("SP")) {
        if (t.contains(QLatin1String(" + SP")) || t.contains(QLatin1String(" - SP"))) {
            const long long a1 = std::llabs(n1), a2 = std::llabs(n2);
            if (a1 > 15 || a2 > 15) {
                conditionError(QStringLiteral("Значение SP > 15"), s);
                v = 15;
            } else {
                v = 16 * a1 + a2;
            }
        } else {
            // A setpoint outside SP1..SP128 names no setpoint: its value
            // would land on another parameter.
            if (n1 < 1 || n1 > kSetpoints) {
                conditionError(bError, s);
                return false;
            }
            v = n1 + 33;
            setSetpoint(bt_, block_, int(n1), float(leadingNumber(b2)));
        }
    } else if (head == QLatin1String("SI")) {
        if (b.startsWith(QLatin1String("SI(I")))
            v = n1 + 161;
        else if (b.startsWith(QLatin1String("SI(S")))
            v = n1 + 193;
        else {
            conditionError(bError, s);
            return false;
        }
    } else if (twoCharsAreByteNumber(b)) {
        // " OR" and "XOR" have no constant form; a constant must fit its byte.
        v = leadingInt(b.left(3));
        const int constOps = stepField(bt_, block_, step, alg::ops) + kConstOperatorOffset;
        if (code == 7 || code == 8 || v < 0 || v > 255 || constOps > 255) {
            conditionError(bError, s);
            return false;
        }
        setStepField(bt_, block_, step, cond_b, int(v));
        setStepField(bt_, block_, step, alg::ops, constOps);
        return true;
    } else {
        conditionError(bError, s);
        return false;
    }
    if (v < 0 || v > 255) {
        conditionError(bError, s);
        return false;
    }
    setStepField(bt_, block_, step, cond_b, int(v));
    return true;
}

void ExpressionChecker::Pravopys(const QString& x, const QString& suffix)
{
    if (x == QLatin1String("OUT =") || x == QLatin1String("OUT = "))
        return;
    const QString l = x.left(6);
    const int eq = int(x.indexOf(QLatin1Char('=')));
    const QString r = eq >= 0 ? x.mid(eq + 1) : QString();

    if ((l.contains(QLatin1String("SP")) || l.contains(QLatin1String("SI")))
        && !x.contains(QLatin1String(" += ")) && !x.contains(QLatin1String(" -= "))
        && !x.contains(QLatin1String(" *= ")) && !x.contains(QLatin1String(" /= "))
        && !x.contains(QLatin1String(" = ")))
        error(QStringLiteral("Ошибка =+-*/, ШАГ ") + suffix);

    if (l.contains(QLatin1String("OUT")) && !x.contains(QLatin1String(" = ")))
        error(QStringLiteral("Ошибка =, ШАГ ") + suffix);

    const bool plainSp = l.startsWith(QLatin1String("SP")) && (l.size() < 3 || l.at(2) != QLatin1Char('('));
    if (!plainSp && !l.startsWith(QLatin1String("SI(INP")) && !l.startsWith(QLatin1String("SI(SP"))
        && !l.startsWith(QLatin1String("OUT")) && !l.startsWith(QLatin1String("OUI")))
        error(QStringLiteral("Ошибка /INP или SI или  SP или OUI/, ШАГ ") + suffix);

    const bool rightSp = r.startsWith(QLatin1String(" SP")) && (r.size() < 4 || r.at(3) != QLatin1Char('('));
    if (!rightSp && !r.startsWith(QLatin1String(" SI(INP")) && !r.startsWith(QLatin1String(" SI(SP"))
        && !r.startsWith(QLatin1String(" INP"))) {
        const bool ok = !r.isEmpty() && r.back().unicode() >= '0' && r.front().unicode() <= '9';
        if (!ok)
            error(QStringLiteral("Ошибка /INP или SI или  SP/, ШАГ ") + suffix);
    }
}

void ExpressionChecker::ParseAction(const QString& x, Branch branch, int s, const QString& suffix)
{
    Pravopys(x, suffix);
    if (x == QLatin1String("OUT =") || x == QLatin1String("OUT = "))
        return; // no action

    const int kindField = branchField(branch, then_kind, else_kind);
    const int operandField = branchField(branch, then_operand, else_operand);
    const int len = int(x.size());

    if (x.startsWith(QLatin1String("OUT"))) {
        const long long out = intAt(x, 4, 2);
        if (x.contains(QLatin1String("SP"))) {
            store(s, kindField, int(std::clamp(out + 32, -1LL, 256LL)));
            const int sp = int(x.indexOf(QLatin1String("SP")));
            const long long k = leadingInt(x.mid(sp + 2)) - 1;
            if (k < 0 || k > kSetpoints - 1) {
                error(QStringLiteral("Значение SP больше 128, ШАГ ") + suffix);
                return;
            }
            store(s, operandField, int(k));
            const int eq = int(x.indexOf(QLatin1Char('='), sp));
            setSetpoint(bt_, block_, int(k) + 1, eq >= 0 ? float(leadingNumber(x.mid(eq + 1))) : 0.0f);
        } else if (x.contains(QLatin1String("SI"))) {
            store(s, kindField, int(std::clamp(out + 64, -1LL, 256LL)));
            const long long p = intOfLast(x, len - posOf(x, QStringLiteral("SI")) - 5) - 1;
            if (p < 0 || p > 31)
                error(QStringLiteral("Значение INP больше 32, ШАГ ") + suffix);
            store(s, operandField, int(std::clamp(p, -1LL, 256LL)));
        } else {
            store(s, kindField, int(std::clamp(out, -1LL, 256LL)));
            const int eq = int(x.indexOf(QLatin1Char('=')));
            const long long p = eq >= 0 ? leadingInt(x.mid(eq + 1)) : 0;
            // A constant outside 0..255 does not fit its byte: reported and not stored.
            if (p < 0 || p > 255) {
                error(QStringLiteral("Значение OUT больше 255, ШАГ ") + suffix);
                return;
            }
            store(s, operandField, int(p));
        }
        return;
    }

    long long kind = -1;
    long long number = 0;
    QString rangeMessage;
    long long rangeLimit = 32;
    if (x.startsWith(QLatin1String("SI(INP"))) {
        number = intAt(x, 7, 2);
        kind = number + 128;
        rangeMessage = QStringLiteral("Значение SP больше 32, ШАГ ");
    } else if (x.startsWith(QLatin1String("SI(SP"))) {
        number = intAt(x, 6, 3);
        kind = number + 160;
        rangeMessage = QStringLiteral("Значение SP больше 32, ШАГ ");
    } else if (x.startsWith(QLatin1String("SP"))) {
        number = intAt(x, 3, 3);
        auto within = [&](const char* what, int lo, int hi) {
            const int p = posOf(x, QLatin1String(what));
            return p >= lo && p <= hi;
        };
        const bool assign = within(" = 1", 2, 7) || within(" = 0", 2, 7) || within(" = S", 2, len)
            || within(" = INP", 2, len) || within(" = SI(INP", 2, len) || within(" = SI(SP", 2, len);
        kind = number + (assign ? 192 : 96);
        rangeMessage = QStringLiteral("Значение SP больше 32, ШАГ ");
    } else if (x.startsWith(QLatin1String("OUI"))) {
        number = intAt(x, 7, 3);
        kind = number + 224;
        rangeMessage = QStringLiteral("Значение SP больше 31, ШАГ ");
        rangeLimit = 31;
    } else {
        return; // not an action: Pravopys has said so
    }
    if (number > rangeLimit)
        error(rangeMessage + suffix);
    store(s, kindField, int(std::clamp(kind, -1LL, 256LL)));
    Right_Line(x, branch, s, suffix);
}

void ExpressionChecker::Right_Line(const QString& x, Branch branch, int s, const QString& suffix)
{
    const int operandField = branchField(branch, then_operand, else_operand);
    const int step = s - 1;
    const int len = int(x.size());

    auto endsWithAny = [&](char digit) {
        for (const char* f : {"+= ", "-= ", "*= ", "/= ", " = "})
            if (x.endsWith(QLatin1String(f) + QLatin1Char(digit)))
                return true;
        return false;
    };

    if (endsWithAny('0')) {
        store(s, operandField, 0);
    } else if (endsWithAny('1')) {
        store(s, operandField, 1);
    } else if (const int p = posOf(x, QStringLiteral("= INP")); p > 0) {
        const long long n = intOfLast(x, len - p - 4);
        if (n > 32)
            error(QStringLiteral("Значение INP больше 32, ШАГ ") + suffix);
        store(s, operandField, int(std::clamp(n + 1, -1LL, 256LL)));
    } else if (const int p = posOf(x, QStringLiteral("= SP")); p > 0) {
        const long long k = intAt(x, p + 4, 3);
        if (k > kSetpoints)
            error(QStringLiteral("Значение SP больше 128, ШАГ ") + suffix);
        const long long operand = posOf(x, QStringLiteral(" = S")) >= 2 ? std::llabs(k - 1) + 34 : k + 33;
        store(s, operandField, int(std::clamp(operand, -1LL, 256LL)));
        const int eqS = posOf(x, QStringLiteral("= S"));
        if (eqS > 0) {
            const int q = posOf(x, QStringLiteral(" = "), eqS + 1);
            if (q > 0 && k >= 1 && k <= kSetpoints) // only SP1..SP128 have a value
                setSetpoint(bt_, block_, int(k), float(leadingNumber(x.mid(q + 2))));
        }
    } else if (const int p = posOf(x, QStringLiteral("= SI(INP")); p > 0) {
        const long long n = intOfLast(x, len - p - 7);
        if (n > 32)
            error(QStringLiteral("Значение INP больше 32, ШАГ ") + suffix);
        store(s, operandField, int(std::clamp(n + 161, -1LL, 256LL)));
    } else if (const int p = posOf(x, QStringLiteral("= SI(SP")); p > 0) {
        const long long n = intOfLast(x, len - p - 6);
        if (n > 32)
            error(QStringLiteral("Значение SP больше 32, ШАГ ") + suffix);
        store(s, operandField, int(std::clamp(n + 193, -1LL, 256LL)));
    }

    static constexpr const char* kMath[] = {"+=", "-=", "*=", "/=", " ="};
    static constexpr int kMathCode[] = {0, 1, 2, 3, 0};
    for (int i = 0; i < 5; ++i) {
        if (x.contains(QLatin1String(kMath[i]))) {
            const int v = stepField(bt_, block_, step, alg::ops);
            if (branch == Branch::Then)
                setStepField(bt_, block_, step, alg::ops, (v & 207) + 16 * kMathCode[i]);
            else
                setStepField(bt_, block_, step, alg::ops, (v & 63) + 64 * kMathCode[i]);
            break;
        }
    }
}

} // namespace ostrel
