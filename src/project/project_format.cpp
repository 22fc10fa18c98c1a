#include "project/project_format.h"

#include "workspace/project_settings.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ostrel::project {

QString formatNumber(qint64 value)
{
    QString s;
    appendNumber(s, value);
    return s;
}

void appendNumber(QString& out, qint64 value)
{
    if (value < 0) {
        out += u'-';
        // Magnitude as unsigned so the most negative value prints too.
        out += QString::number(quint64(0) - quint64(value));
    } else {
        out += u' ';
        out += QString::number(value);
    }
    out += u' ';
}

namespace {

// Seven significant digits of |v| (v finite, not zero): the digit string
// without trailing zeros and the decimal exponent of its first digit.
void significantDigits(double v, char (&digits)[8], int& ndigits, int& exponent)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6e", std::fabs(v));
    // buf = "d.dddddde+XX"
    int n = 0;
    for (const char* c = buf; *c && *c != 'e'; ++c)
        if (*c >= '0' && *c <= '9')
            digits[n++] = *c;
    digits[n] = '\0';
    const char* e = std::strchr(buf, 'e');
    exponent = e ? std::atoi(e + 1) : 0;
    while (n > 1 && digits[n - 1] == '0')
        --n;
    digits[n] = '\0';
    ndigits = n;
}

} // namespace

void appendParameter(QString& out, float value, QStringView decimalPoint)
{
    if (std::isnan(value))
        value = 0.0f;
    else if (std::isinf(value))
        value = value > 0 ? FLT_MAX : -FLT_MAX;
    if (value == 0.0f) {
        out += QLatin1String(" 0 ");
        return;
    }
    char digits[8];
    int n = 0, e = 0;
    significantDigits(double(value), digits, n, e);
    out += value < 0 ? u'-' : u' ';

    // Fixed notation while it needs no more than 7 digits; exponent form else.
    const bool fixed = e >= 0 ? e <= 6 : (-e - 1) + n <= 7;
    if (fixed) {
        if (e >= 0) {
            for (int i = 0; i <= e; ++i)
                out += QLatin1Char(i < n ? digits[i] : '0');
            if (n > e + 1) {
                out += decimalPoint;
                for (int i = e + 1; i < n; ++i)
                    out += QLatin1Char(digits[i]);
            }
        } else {
            out += decimalPoint;
            for (int i = 0; i < -e - 1; ++i)
                out += u'0';
            for (int i = 0; i < n; ++i)
                out += QLatin1Char(digits[i]);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (n > 1) {
            out += decimalPoint;
            for (int i = 1; i < n; ++i)
                out += QLatin1Char(digits[i]);
        }
        out += u'E';
        out += e < 0 ? u'-' : u'+';
        const int a = std::abs(e);
        if (a < 10)
            out += u'0';
        out += QString::number(a);
    }
    out += u' ';
}

QString formatParameter(float value, QStringView decimalPoint)
{
    QString s;
    appendParameter(s, value, decimalPoint);
    return s;
}

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

qint64 parseLeadingInteger(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == u'-' || line[i] == u'+'))
        negative = line[i++] == u'-';
    qint64 v = 0;
    constexpr qint64 kCap = qint64(1) << 40;
    while (i < line.size() && isDigit(line[i])) {
        if (v < kCap)
            v = v * 10 + (line[i].unicode() - u'0');
        ++i;
    }
    return negative ? -v : v;
}

bool parseParameter(QStringView line, float* value)
{
    *value = 0.0f;
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    QByteArray num;
    if (i < line.size() && (line[i] == u'-' || line[i] == u'+'))
        num += char(line[i++].unicode());
    bool digits = false;
    while (i < line.size() && isDigit(line[i]) && num.size() < 400) {
        num += char(line[i++].unicode());
        digits = true;
    }
    if (i < line.size() && (line[i] == u'.' || line[i] == u',')) {
        num += '.';
        ++i;
        while (i < line.size() && isDigit(line[i]) && num.size() < 400) {
            num += char(line[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i + 1 < line.size() && (line[i] == u'E' || line[i] == u'e')) {
        qsizetype j = i + 1;
        QByteArray ex = "e";
        if (j < line.size() && (line[j] == u'-' || line[j] == u'+'))
            ex += char(line[j++].unicode());
        bool expDigits = false;
        while (j < line.size() && isDigit(line[j]) && ex.size() < 8) {
            ex += char(line[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            num += ex;
    }
    double d = std::strtod(num.constData(), nullptr);
    if (!std::isfinite(d) || d > FLT_MAX)
        d = d < 0 ? -FLT_MAX : FLT_MAX;
    else if (d < -FLT_MAX)
        d = -FLT_MAX;
    *value = float(d);
    return true;
}

QString normalizedParameterText(QStringView line)
{
    QString s = line.trimmed().toString();
    s.replace(u',', u'.');
    return s;
}

QString elementLabel(int pageNumber, const QString& kind, int number)
{
    return kPagePrefix + QString::number(pageNumber) + kind + QString::number(number);
}

namespace {

qsizetype lastSeparator(QStringView s)
{
    return std::max(s.lastIndexOf(u'\\'), s.lastIndexOf(u'/'));
}

} // namespace

QString fileNameOf(QStringView pathOrReference)
{
    const QString name = pathOrReference.mid(lastSeparator(pathOrReference) + 1).toString();
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    return name;
}

QString netlistReference(const QString& netlistPath)
{
    if (netlistPath == kNoNetlist || lastSeparator(netlistPath) < 0)
        return {};
    return u'\\' + netlistPath.mid(lastSeparator(netlistPath) + 1);
}

QString pathInFolder(const QString& folder, QStringView reference)
{
    QString path = folder;
    if (!path.endsWith(u'/'))
        path += u'/';
    return path + fileNameOf(reference);
}

QString shortenedPictureName(const QString& name)
{
    const qsizetype i = lastSeparator(name);
    if (i < 0)
        return name;
    return u'\\' + name.mid(i + 1);
}

} // namespace ostrel::project
