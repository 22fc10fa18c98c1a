// Netlist reading and import on a maximal scheme: 99 blocks of mixed types and
// close to 10000 items. Prints the median time per run.
#include "platform/headless_interaction.h"
#include "scheme/netlist_import.h"
#include "scheme/netlist_reader.h"
#include "workspace/workspace.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QStringEncoder>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

struct Kind {
    const char* name;
    int attrs;
    int firstOut; // an output pin used as the net's driver
};

constexpr Kind kKinds[] = {
    {"A_INPUT", 29, 1},   {"S_P", 17, 9},      {"PID_ANALOG1", 11, 9}, {"SUM2_4", 9, 12},    {"D_OUTPUT", 9, 0},
    {"CMP", 6, 10},       {"MUL", 4, 12},      {"TIMER_4", 4, 16},     {"PAN_INC_DEC_REG", 13, 16},
    {"UNI_MENU", 8, 16},  {"AND2_4", 0, 12},   {"OSC4_GEN", 8, 16},    {"D_INPUT", 1, 1},    {"LIM", 4, 8},
};

QByteArray maximalNetlist(int* itemCount)
{
    QStringList lines{QStringLiteral("ACCEL_ASCII \"max.net\""), QStringLiteral("(netlist \"max\"")};
    auto comp = [&](const QString& des, const QString& name, int attrs) {
        lines << QStringLiteral("(compInst \"%1\"").arg(des) << QStringLiteral("(compRef \"%1\")").arg(name)
              << QStringLiteral("(originalName \"%1\")").arg(name);
        for (int a = 0; a < attrs; ++a)
            lines << QStringLiteral("(attr \"A%1\" \"%2\")").arg(a).arg(a % 7 + 0.5);
        lines << QStringLiteral(")");
    };
    for (int n = 1; n <= 96; ++n) {
        const Kind& k = kKinds[(n - 1) % std::size(kKinds)];
        comp(QStringLiteral("U%1").arg(n), QString::fromLatin1(k.name), k.attrs);
    }
    comp(QStringLiteral("U97"), QStringLiteral("SCADA"), 0);
    comp(QStringLiteral("U98"), QStringLiteral("GRAPH"), 98);
    comp(QStringLiteral("U99"), QStringLiteral("JURNAL"), 98);
    for (int d = 1; d <= 40; ++d)
        comp(QStringLiteral("D%1").arg(d), QStringLiteral("INVERTOR"), 0);

    // Nets: every block with outputs drives inputs of the following blocks;
    // the driver is listed last so that every net gets reordered.
    int net = 0, inverter = 0;
    while (lines.size() < 9990 - 12) {
        for (int n = 1; n <= 96 && lines.size() < 9990 - 12; ++n) {
            const Kind& k = kKinds[(n - 1) % std::size(kKinds)];
            if (k.firstOut == 0)
                continue;
            lines << QStringLiteral("(net \"NET%1\"").arg(++net);
            for (int i = 1; i <= 3; ++i) {
                const int d = (n + i * 7) % 96 + 1;
                const Kind& dk = kKinds[(d - 1) % std::size(kKinds)];
                if (dk.firstOut == 1) // input modules have no inputs
                    continue;
                lines << QStringLiteral("(node \"U%1\" \"1\")").arg(d);
            }
            if (inverter < 40 && net % 5 == 0)
                lines << QStringLiteral("(node \"D%1\" \"1\")").arg(++inverter);
            lines << QStringLiteral("(node \"U%1\" \"%2\")").arg(n).arg(k.firstOut);
            lines << QStringLiteral(")");
            if (net % 5 == 0 && inverter <= 40 && lines.size() < 9990 - 12) {
                lines << QStringLiteral("(net \"INV%1\"").arg(net) << QStringLiteral("(node \"U99\" \"%1\")").arg(inverter % 32 + 1)
                      << QStringLiteral("(node \"D%1\" \"2\")").arg(inverter) << QStringLiteral(")");
            }
        }
    }
    lines << QStringLiteral(")");
    *itemCount = int(lines.size()) - 3;
    return QStringEncoder("windows-1251").encode(lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n"));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    int itemCount = 0;
    QByteArray data = maximalNetlist(&itemCount);
    auto ws = std::make_unique<Workspace>();
    const int runs = 101;
    std::vector<double> readMs, importMs;
    size_t messages = 0;
    NetlistItems original;
    for (int r = 0; r < runs; ++r) {
        QBuffer buf(&data);
        buf.open(QIODevice::ReadOnly);
        QElapsedTimer t;
        t.start();
        original = readNetlistItems(buf);
        readMs.push_back(double(t.nsecsElapsed()) / 1e6);

        NetlistItems items = original; // the import rewrites its items
        HeadlessInteraction ui;
        t.restart();
        importNetlist(ws->blocks, ws->catalog, items, ui);
        importMs.push_back(double(t.nsecsElapsed()) / 1e6);
        messages = size_t(ui.messages().size());
    }
    int blocks = 0;
    for (int n = 1; n <= 99; ++n)
        blocks += ws->blocks.block_type[size_t(n)] != 0;
    std::printf("netlist: %d items, %d blocks, %d parameter bytes, %zu messages\n", original.count(), blocks,
                int(ws->blocks.param_bytes), messages);
    std::printf("%-24s %10s\n", "step", "median ms");
    std::printf("%-24s %10.3f\n", "read items (cp1251)", median(readMs));
    std::printf("%-24s %10.3f\n", "import (steps 2..9)", median(importMs));
    return 0;
}
