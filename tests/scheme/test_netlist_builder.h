#pragma once
// Small netlists written in memory for the import tests: components with
// their attributes, then nets, in the layout the schematic editor exports.
#include "scheme/netlist_import.h"
#include "scheme/netlist_reader.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QBuffer>
#include <QStringEncoder>
#include <utility>
#include <vector>

namespace ostrel::test {

class NetlistBuilder {
public:
    NetlistBuilder& comp(const QString& des, const QString& name, const QStringList& values = {})
    {
        body_ << QStringLiteral("  (compInst \"%1\"").arg(des) << QStringLiteral("    (compRef \"%1\")").arg(name)
              << QStringLiteral("    (originalName \"%1\")").arg(name);
        int i = 0;
        for (const QString& v : values)
            body_ << QStringLiteral("    (attr \"A%1\" \"%2\")").arg(++i).arg(v);
        body_ << QStringLiteral("  )");
        return *this;
    }
    // Nodes as "U7:9" (designator:pin).
    NetlistBuilder& net(const QStringList& nodes)
    {
        body_ << QStringLiteral("  (net \"NET%1\"").arg(++nets_, 5, 10, QLatin1Char('0'));
        for (const QString& n : nodes) {
            const QStringList p = n.split(QLatin1Char(':'));
            body_ << QStringLiteral("    (node \"%1\" \"%2\")").arg(p.value(0), p.value(1));
        }
        body_ << QStringLiteral("  )");
        return *this;
    }
    NetlistBuilder& line(const QString& raw)
    {
        body_ << raw;
        return *this;
    }

    QByteArray bytes() const
    {
        QStringList all{QStringLiteral("ACCEL_ASCII \"t.net\""), QStringLiteral("(netlist \"t\"")};
        all << body_ << QStringLiteral(")");
        QStringEncoder enc("windows-1251");
        return enc.encode(all.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
    }

private:
    QStringList body_;
    int nets_ = 0;
};

inline NetlistItems readBytes(const QByteArray& data)
{
    QByteArray copy = data;
    QBuffer buf(&copy);
    buf.open(QIODevice::ReadOnly);
    return readNetlistItems(buf);
}

// Reads and imports the text into the workspace; the messages are in ui.
inline ImportResult importBytes(Workspace& ws, ScriptedInteraction& ui, const QByteArray& data)
{
    NetlistItems items = readBytes(data);
    return importNetlist(ws.blocks, ws.catalog, items, ui);
}

inline QString U(const char* s) { return QString::fromUtf8(s); }

} // namespace ostrel::test
