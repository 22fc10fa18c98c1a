#include "algorithm/operand_names.h"

namespace ostrel::alg {

namespace {

// Appends prefix + k + suffix for k = first..last.
void appendNumbered(QStringList& list, const char* prefix, int first, int last,
                    const char* suffix = "")
{
    for (int k = first; k <= last; ++k)
        list.append(QLatin1String(prefix) + QString::number(k) + QLatin1String(suffix));
}

QString entry(const QStringList& list, int code)
{
    return code >= 0 && code < list.size() ? list.at(code) : QString();
}

} // namespace

QStringList comparisonOperatorNames()
{
    return {QStringLiteral(" ="),      QStringLiteral(" <"),       QStringLiteral(" >"),
            QStringLiteral(" <="),     QStringLiteral(" >="),      QStringLiteral(" <>"),
            QStringLiteral("AND"),     QStringLiteral(" OR"),      QStringLiteral("XOR"),
            QStringLiteral("= const"), QStringLiteral("< const"),  QStringLiteral("> const"),
            QStringLiteral("<= const"), QStringLiteral(">= const"), QStringLiteral("<> const"),
            QStringLiteral("AND const")};
}

QStringList mathOperatorNames()
{
    return {QStringLiteral(" +="), QStringLiteral(" -="), QStringLiteral(" *="),
            QStringLiteral(" /="), QStringLiteral(" =")};
}

QStringList aOperandNames()
{
    QStringList l;
    l.reserve(kAOperandCount);
    l.append(QStringLiteral("No"));
    appendNumbered(l, "Input ", 1, 32);
    appendNumbered(l, "Output ", 1, 32);
    appendNumbered(l, "Flag_", 1, 32);
    appendNumbered(l, "Timer ", 1, 32);
    appendNumbered(l, "SP", 1, 32);
    appendNumbered(l, "INP(SP", 1, 32, ")");
    appendNumbered(l, "SP(SP", 1, 32, ")");
    appendNumbered(l, "SP", 1, 15, " SPn+SPm");
    appendNumbered(l, "SP", 1, 15, " SPn- SPm");
    return l;
}

QStringList bOperandNames()
{
    QStringList l;
    l.reserve(kBOperandCount);
    l.append(QStringLiteral("0"));
    l.append(QStringLiteral("1"));
    appendNumbered(l, "Input ", 1, 32);
    appendNumbered(l, "SP", 1, 128);
    appendNumbered(l, "SP(INP", 1, 32, ")");
    appendNumbered(l, "SP(SP", 1, 32, ")");
    return l;
}

QStringList actionKindNames()
{
    QStringList l;
    l.reserve(kActionKindCount);
    l.append(QStringLiteral("No"));
    appendNumbered(l, "Output ", 1, 32);
    appendNumbered(l, "OUT", 1, 32, "_SP");
    appendNumbered(l, "OUT", 1, 32, "_SP(INP)");
    appendNumbered(l, "SP", 1, 32);
    appendNumbered(l, "SP(INP", 1, 32, ")");
    appendNumbered(l, "SP(SP", 1, 32, ")");
    appendNumbered(l, "SP", 1, 32, " =");
    appendNumbered(l, "OUT(SP", 1, 31, ") = ");
    return l;
}

QStringList nextStepNames()
{
    QStringList l;
    l.reserve(kNextStepCount);
    appendNumbered(l, "", 1, 128);
    l.append(QStringLiteral("OUT"));
    l.append(QStringLiteral("RET"));
    return l;
}

QStringList setpointNames()
{
    QStringList l;
    appendNumbered(l, "SP", 1, 128);
    return l;
}

QStringList inputNames()
{
    QStringList l;
    appendNumbered(l, "Input ", 1, 32);
    return l;
}

QString comparisonOperatorName(int code) { return entry(comparisonOperatorNames(), code); }
QString mathOperatorName(int code) { return entry(mathOperatorNames(), code); }
QString aOperandName(int code) { return entry(aOperandNames(), code); }
QString bOperandName(int code) { return entry(bOperandNames(), code); }
QString actionKindName(int code) { return entry(actionKindNames(), code); }
QString nextStepName(int code) { return entry(nextStepNames(), code); }

QString stateText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("-");
    case 1: return QStringLiteral("1");
    case 2: return QStringLiteral("0");
    default: return {};
    }
}

} // namespace ostrel::alg
