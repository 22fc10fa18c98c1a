// The undo history on the project with every page slot in use: a step
// taken (commit), undone and redone for a group move of a whole page, and the
// memory 1,000 edits keep.
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "scada/element_ref.h"
#include "workspace/project_history.h"
#include "workspace/workspace.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

// Resident set size of this process, from /proc (0 where there is none).
double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every element of page p moved by (dx, dy): what a group move of the whole
// page does to the records.
int moveAll(Workspace& ws, int p, int dx, int dy)
{
    int moved = 0;
    for (ObjectKind kind : {ObjectKind::Parametr, ObjectKind::Signal, ObjectKind::TextSignal, ObjectKind::Level,
                            ObjectKind::GoBlock, ObjectKind::Figura, ObjectKind::Vent, ObjectKind::Text,
                            ObjectKind::Control}) {
        const int last = kind == ObjectKind::Text ? 64 : 32;
        for (int n = 1; n <= last; ++n) {
            const ElementRef ref{kind, p, n};
            storeObjectPos(ws.pages, ref, recordObjectPos(ws.pages, ref) + QPoint(dx, dy));
            ++moved;
        }
    }
    return moved;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    auto ws = std::make_unique<Workspace>();
    QString error;
    HeadlessInteraction ui;
    if (!loadProjectForCli(*ws, QStringLiteral(OSTREL_TEST_DATA "/full/full.prt"), &error, &ui)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ProjectHistory history(*ws);

    std::vector<double> commit, undo, redo;
    int moved = 0;
    for (int i = 0; i < 41; ++i) {
        moved = moveAll(*ws, 1, i % 2 ? -1 : 1, 0);
        QElapsedTimer t;
        t.start();
        history.commit(QStringLiteral("перемещение группы"));
        commit.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        history.undo();
        undo.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        history.redo();
        redo.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-44s %8s\n", "history, full project", "ms");
    std::printf("%-44s %8.3f\n", QStringLiteral("commit of a group move (%1 elements)").arg(moved).toUtf8().constData(),
                median(commit));
    std::printf("%-44s %8.3f\n", "undo of that step", median(undo));
    std::printf("%-44s %8.3f\n", "redo of that step", median(redo));

    // 1,000 edits of the kinds a user makes: moves, texts, parameters.
    history.reset();
    const double residentBefore = residentMB();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 1000; ++i) {
        const int p = 1 + i % 7;
        switch (i % 4) {
        case 0: moveAll(*ws, p, 1, 0); break;
        case 1: ws->pages.text[size_t(p)][size_t(1 + i % 64)].text = QStringLiteral("Текст %1").arg(i); break;
        case 2: ws->blocks.param(12, 1 + i % 8) = float(i); break;
        case 3: storeObjectPos(ws->pages, {ObjectKind::Parametr, p, 1 + i % 32}, {10 + i % 700, 20}); break;
        }
        history.commit(QStringLiteral("правка %1").arg(i));
    }
    std::printf("%-44s %8.1f\n", "1000 edits: total ms", t.nsecsElapsed() / 1e6);
    std::printf("%-44s %8.2f\n", "1000 edits: history MB", double(history.keptBytes()) / (1024.0 * 1024.0));
    std::printf("%-44s %8.2f\n", "1000 edits: resident set growth MB", residentMB() - residentBefore);
    return 0;
}
