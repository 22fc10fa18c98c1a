#pragma once
// Small schemes and filled models for the project file tests, the benchmark
// and the example generator. The netlist is written in the P-CAD ASCII form
// the import reads (one item per line, code page 1251).
#include "platform/headless_interaction.h"
#include "scheme/netlist_import.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QStringEncoder>
#include <QStringList>

namespace fixture {

struct Component {
    QString ref;        // "U12"
    QString name;       // "PID_RELAY"
    QStringList attrs;  // attribute values in library order
};

inline QStringList repeated(const QString& v, int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << v;
    return l;
}

inline QByteArray netlistBytes(const QList<Component>& comps)
{
    QString s = QStringLiteral("ACCEL_ASCII \"t.net\"\r\n\r\n(netlist \"t\"\r\n  (globalAttrs\r\n  )\r\n");
    for (const Component& c : comps) {
        s += QStringLiteral("  (compInst \"%1\"\r\n    (compRef \"%2\")\r\n    (originalName \"%2\")\r\n")
                 .arg(c.ref, c.name);
        for (int i = 0; i < c.attrs.size(); ++i)
            s += QStringLiteral("    (attr \"a%1\" \"%2\")\r\n").arg(i).arg(c.attrs[i]);
        s += QStringLiteral("  )\r\n");
    }
    s += QStringLiteral(")\r\n");
    QStringEncoder enc("windows-1251");
    return enc.encode(s);
}

// Blocks 3 MUL, 12 PID, 14 ALG, 20 S_P, 21 RS4, 30 REP and the fixed 97..99.
inline QList<Component> smallScheme(bool secondAlgorithm = false)
{
    QList<Component> c;
    c << Component{"U3", "MUL", {"1.5", "2", "-0.25", "4"}};
    c << Component{"U12", "PID_RELAY", {"10", "1", "20", "2", "30", "3", "40", "4", "0", "0", "0"}};
    c << Component{"U14", "ALG", {"14"}};
    if (secondAlgorithm)
        c << Component{"U15", "ALG", {"15"}};
    QStringList sp{QStringLiteral("Задатчики")};
    for (int k = 1; k <= 8; ++k)
        sp << QStringLiteral("Имя %1").arg(k) << QString::number(k * 10);
    c << Component{"U20", "S_P", sp};
    c << Component{"U21", "RS485_CONTROL", {"1", "115200"}};
    QStringList rep;
    for (int k = 1; k <= 16; ++k)
        rep << QStringLiteral("Событие %1").arg(k);
    c << Component{"U30", "REP", rep};
    c << Component{"U97", "SCADA", {}};
    c << Component{"U98", "GRAPH", repeated("0", 98)};
    c << Component{"U99", "JOURNAL", repeated("1", 98)};
    return c;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Imports `comps` from `path` into ws (the netlist path is set as the
// settings dialog would).
inline bool importScheme(ostrel::Workspace& ws, const QString& path, const QList<Component>& comps)
{
    if (!writeFile(path, netlistBytes(comps)))
        return false;
    ostrel::HeadlessInteraction ui;
    ws.settings.netlist_path = path;
    return ostrel::importNetlistFile(ws.blocks, ws.catalog, path, ui) && ui.messages().isEmpty();
}

// A few elements of every kind on pages 0, 3 and 8, with texts that need
// code page 1251.
inline void fillPages(ostrel::ScadaPages& s)
{
    s.parametr[0][1] = {1, 120, 40, 255, 0xffffff, 1, 14, 2, 12, 0x81};
    s.parametr[0][0] = {0, 120, 40, 255, 0xffffff, 1, 14, 2, 0, 0};
    s.signal[0][2] = {1, 300, 100 + 1024 * 3, 15 + 192, 30 + 64, 0xff, 0xff00, 1, 1, 3, 1};
    s.text_signal[3][5].used = 1;
    s.text_signal[3][5].y = 3172;
    s.text_signal[3][5].text_off = QStringLiteral("Насос выкл.");
    s.text_signal[3][5].text_on = QStringLiteral("Насос вкл., работа");
    s.level[0][1] = {1, 500, 50, 30, 150, 100, 0xff0000, 0xc0c0c0, 3, 12, 0};
    s.go_block[0][1] = {1, 700, 400, 203, 130};
    s.figura[3][32] = {1, 10, 10, 200, 100, 0x123456, 1, 3};
    s.vent[0][1] = {1, 50, 300, 48, 48, 2, 3, 0};
    s.text[0][64].used = 1;
    s.text[0][64].text = QStringLiteral("Котельная №1 «Север»");
    s.text[0][64].font_name = QStringLiteral("Arial");
    s.text[0][64].bold = -1;
    s.text[0][64].font_size = 12;
    s.grafik[1] = {1, 1, 1, 200, 100, 3};
    s.clock[4] = {1, 700, 5};
    s.control[3][1].used = 1;
    s.control[3][1].picture_file = QStringLiteral("\\button.gif");
    s.control[3][1].type = 13;
    s.menu[0][8].used = 1;
    s.menu[0][8].text = QStringLiteral("Главная");
    s.menu[0][8].target_page = 7;
    s.menu[8][0].text = QStringLiteral("page 8 is stored too");
    s.background_kind[2] = 1;
    s.shortRef(2) = QStringLiteral("\\pump.gif");
    s.fullPath(2) = QStringLiteral("C:\\pics\\pump.gif");
    s.background_kind[8] = 1;
    s.fill_color[5] = 0x00ff00;
    s.grid_step = s.grid_step_copy = 10;
    s.grid_enabled = s.grid_enabled_copy = 1;
}

// A recognisable program in algorithm block n, plus comments and call flags.
inline void fillAlgorithm(ostrel::Workspace& ws, int n, int seed)
{
    auto& bt = ws.blocks;
    for (int s = 0; s < 128; ++s)
        for (int f = 0; f < 41; ++f)
            bt.text(n, 41 * s + f) = QString::number((s * 7 + f * 3 + seed) % 256);
    for (int k = 1; k <= 128; ++k)
        bt.param(n, k) = float(k + seed) / 8.0f;
    for (int i = 0; i < 1409; i += 11)
        ws.alg.alg_comments[i] = QStringLiteral("Шаг %1").arg(i / 11 + 1);
    ws.alg.call_flags[3][0] = 1;
    ws.alg.call_flags[127][1] = 1;
}

} // namespace fixture
