// Saves and opens a full project (every slot of every page used, three
// algorithm blocks with full programs) and prints the medians. The open is
// measured without the netlist import: the project is read from a folder
// without its netlist.
#include "../tests/project/project_fixture.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

template <class Table>
void useAll(Table& table)
{
    for (auto& page : table)
        for (auto& rec : page)
            rec.used = 1;
}

void fillEverything(Workspace& ws)
{
    ScadaPages& s = ws.pages;
    useAll(s.parametr);
    useAll(s.signal);
    useAll(s.text_signal);
    useAll(s.level);
    useAll(s.go_block);
    useAll(s.figura);
    useAll(s.vent);
    useAll(s.text);
    useAll(s.control);
    useAll(s.menu);
    for (int p = 0; p < ScadaPages::kPages; ++p) {
        for (int n = 0; n < ScadaPages::kSlots; ++n) {
            s.text_signal[p][n].text_off = QStringLiteral("Выключено %1").arg(n);
            s.text_signal[p][n].text_on = QStringLiteral("Включено %1").arg(n);
            s.control[p][n].picture_file = QStringLiteral("\\button%1.gif").arg(n);
        }
        for (int n = 0; n < ScadaPages::kTextSlots; ++n) {
            s.text[p][n].text = QStringLiteral("Текст на странице %1 номер %2").arg(p).arg(n);
            s.text[p][n].font_name = QStringLiteral("Arial");
        }
        for (int n = 0; n < ScadaPages::kMenuSlots; ++n)
            s.menu[p][n].text = QStringLiteral("Меню %1").arg(n);
        s.grafik[p].used = 1;
        s.clock[p].used = 1;
    }
    for (int p = 0; p < 8; ++p) {
        s.shortRef(p) = QStringLiteral("\\page%1.gif").arg(p);
        s.fullPath(p) = QStringLiteral("/nowhere/page%1.gif").arg(p);
        s.background_kind[p] = 1;
    }
    for (int n : {14, 15, 16})
        fixture::fillAlgorithm(ws, n, n);
    for (int i = 0; i < BlockTable::kParams; ++i)
        ws.blocks.ParamStore[i] = float(i) / 7.0f;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir saveDir, openDir;
    auto ws = std::make_unique<Workspace>();
    QList<fixture::Component> comps = fixture::smallScheme(true);
    comps.insert(3, fixture::Component{"U16", "ALG", {"16"}});
    if (!fixture::importScheme(*ws, saveDir.filePath("scheme.net"), comps)) {
        std::fprintf(stderr, "netlist import failed\n");
        return 1;
    }
    fillEverything(*ws);

    HeadlessInteraction ui;
    const QString savePath = saveDir.filePath("full.prt");
    const ProjectWriteOptions options{QLocale::c(), false};
    std::vector<double> save, open;
    qint64 bytes = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        if (!writeProject(*ws, savePath, ui, options))
            return 1;
        save.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    bytes = QFileInfo(savePath).size();
    const QString openPath = openDir.filePath("full.prt");
    QFile::copy(savePath, openPath);
    auto target = std::make_unique<Workspace>();
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        const ProjectReadResult r = readProject(*target, openPath, ui);
        open.push_back(double(t.nsecsElapsed()) / 1e6);
        if (r.status != ProjectReadStatus::NetlistMissing)
            return 1;
    }
    std::printf("project file: %lld bytes, %d runs each\n", static_cast<long long>(bytes), 15);
    std::printf("%-28s %10s\n", "operation", "median ms");
    std::printf("%-28s %10.2f\n", "save (write + commit)", median(save));
    std::printf("%-28s %10.2f\n", "open (without import)", median(open));
    return 0;
}
