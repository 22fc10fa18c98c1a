// Undo and redo as the user gets them: the project with every page slot in
// use open in the real windows, a group move of its whole page 2 taken back
// and done again through the application, the page canvas brought in line
// with the model each time (items moved, not built again).
#include "app/app_controller.h"
#include "app/main_window.h"
#include "scada/element_ref.h"
#include "platform/headless_interaction.h"
#include "workspace/project_history.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Every used element of page p moved by dx, as a group move of the page does.
int moveAll(Workspace& ws, int p, int dx)
{
    int moved = 0;
    for (int k = 0; k < kNumberedKinds; ++k)
        for (int n = 1; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n) {
            const ElementRef ref{ObjectKind(k), p, n};
            if (!isOccupied(ws.pages, ref))
                continue;
            storeObjectPos(ws.pages, ref, recordObjectPos(ws.pages, ref) + QPoint(dx, 0));
            ++moved;
        }
    return moved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    MainWindow window(*ws, ui);
    AppController app(*ws, ui, window);
    window.show();
    if (!app.openProjectFile(QStringLiteral(OSTREL_TEST_DATA "/full/full.prt"))) {
        std::fprintf(stderr, "cannot open full.prt\n");
        return 1;
    }
    window.action(QStringLiteral("MnuSCADA"))->trigger();
    constexpr int kShown = 1;
    window.pageTabs().setCurrentIndex(kShown);
    QApplication::processEvents();

    std::vector<double> undo, redo;
    int moved = 0;
    for (int i = 0; i < 41; ++i) {
        moved = moveAll(*ws, kShown, i % 2 ? -1 : 1);
        app.commit(QStringLiteral("перемещение группы"));
        QElapsedTimer t;
        t.start();
        app.undo();
        undo.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        app.redo();
        redo.push_back(t.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    std::printf("%-52s %8s\n", "undo in the windows, full project", "ms");
    std::printf("%-52s %8.3f\n",
                QStringLiteral("undo of a group move of page 2 (%1 elements)").arg(moved).toUtf8().constData(),
                median(undo));
    std::printf("%-52s %8.3f\n", "redo of that step", median(redo));
    std::printf("%-52s %8d\n", "steps kept", app.history().steps());
    return 0;
}
