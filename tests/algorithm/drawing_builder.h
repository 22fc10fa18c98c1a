#pragma once
// Builds small algorithm drawings in the item layout the import reads: the
// comment at column 21, the condition at 18, the output lists at 32 / 34, the
// action at 27 (ended by the attribute's " (textStyleRef" continuation), the
// flag lists at 32 / 30.
#include "scheme/netlist_reader.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QStringList>

namespace ostrel::testing {

class DrawingBuilder {
public:
    // A step component An with its condition.
    DrawingBuilder& step(int n, const QString& condition, const QString& comment = {})
    {
        comp(QStringLiteral("A%1").arg(n), QStringLiteral("STEP"));
        attr(10, comment);
        attr(7, condition);
        lines << QStringLiteral("  )");
        return *this;
    }
    // An action box Yn / Nn.
    DrawingBuilder& box(QChar letter, int n, const QString& action, const QString& outSet = {},
                        const QString& outReset = {}, const QString& flagSet = {},
                        const QString& flagReset = {}, const QString& comment = {})
    {
        comp(QString(letter) + QString::number(n), QStringLiteral("ACTION"));
        attr(10, comment);
        attr(21, outSet);
        attr(23, outReset);
        lines << QStringLiteral("    (attr \"%1\" \"%2\" (textStyleRef \"(Default)\"))")
                     .arg(QString(16, QLatin1Char('D')), action);
        attr(21, flagSet);
        attr(19, flagReset);
        lines << QStringLiteral("  )");
        return *this;
    }
    // A component without attributes (C, R, S or anything else).
    DrawingBuilder& plain(const QString& ref)
    {
        comp(ref, QStringLiteral("MARK"));
        lines << QStringLiteral("  )");
        return *this;
    }
    // A net of nodes "A1:3", "Y2:1", ...
    DrawingBuilder& net(const QStringList& nodes)
    {
        lines << QStringLiteral("  (net \"NET%1\"").arg(++nets_, 5, 10, QLatin1Char('0'));
        for (const QString& n : nodes) {
            const QStringList p = n.split(QLatin1Char(':'));
            lines << QStringLiteral("    (node \"%1\" \"%2\")").arg(p[0], p[1]);
        }
        lines << QStringLiteral("  )");
        return *this;
    }
    DrawingBuilder& raw(const QString& line)
    {
        lines << line;
        return *this;
    }

    QByteArray bytes(bool withNetlistItem = true) const
    {
        QStringList all{QStringLiteral("ACCEL_ASCII \"alg.net\""), QString(),
                        QStringLiteral("(asciiHeader"), QStringLiteral("  (fileUnits Mil)"),
                        QStringLiteral(")")};
        if (withNetlistItem)
            all << QStringLiteral("(netlist \"alg\"");
        all << QStringLiteral("  (globalAttrs") << QStringLiteral("  )") << lines << QStringLiteral(")");
        QStringEncoder enc("windows-1251");
        return enc(all.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    NetlistItems items(bool withNetlistItem = true) const
    {
        QByteArray b = bytes(withNetlistItem);
        QBuffer buf(&b);
        buf.open(QIODevice::ReadOnly);
        return readNetlistItems(buf);
    }

    QStringList lines;

private:
    void comp(const QString& ref, const QString& name)
    {
        lines << QStringLiteral("  (compInst \"%1\"").arg(ref)
              << QStringLiteral("    (compRef \"%1\")").arg(name)
              << QStringLiteral("    (originalName \"%1\")").arg(name);
    }
    // An attribute whose name has `nameLength` characters: the value starts at
    // column nameLength + 11 of the item.
    void attr(int nameLength, const QString& value)
    {
        lines << QStringLiteral("    (attr \"%1\" \"%2\")").arg(QString(nameLength, QLatin1Char('N')), value);
    }
    int nets_ = 0;
};

} // namespace ostrel::testing
