// Pictures of the page editor: the example project's page 1 in SCADA mode,
// the same page after its two go-to buttons were copied and pasted beside
// them, then at 200 %, and page 8 with every slot of every kind in use.
//   scada_screenshot <out-dir>
// Run under Xvfb (or offscreen); writes scada_page1.png, scada_page1_pasted.png,
// scada_page1_zoom200.png (zoomed, grid shown, everything selected) and
// scada_full_page.png.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "scada/ui/page_canvas.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace ostrel;

namespace {

bool save(QWidget& w, const QString& path)
{
    QApplication::processEvents();
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Every slot of page p in use: the numbered kinds in bands on the left
// (they overlap a little: a full page holds more than fits), menus, graph,
// clock, figures and texts on the right.
void fillPage(ScadaPages& pages, int p)
{
    const size_t pi = size_t(p);
    pages.fill_color[pi] = 0x604830; // dark blue-grey
    pages.background_kind[pi] = 0;
    auto place = [&](ObjectKind kind, int n, QPoint pos) {
        const ElementRef ref{kind, p, n};
        withRecord(pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(pages, ref, pos);
    };
    for (int n = 1; n <= 32; ++n) {
        const size_t ni = size_t(n);
        const int col = (n - 1) % 16, row = (n - 1) / 16;
        ParametrElement& par = pages.parametr[pi][ni];
        par.font = 10; par.digits = 1; par.color = 0x00FFFF; par.back_color = 0x202020; par.frame = 1;
        place(ObjectKind::Parametr, n, {4 + col * 34, 4 + row * 22});
        SignalElement& sig = pages.signal[pi][ni];
        const int shape = (n - 1) % 8;
        sig.width = packSignalWidth(shape == 6 ? 20 : shape == 7 ? 9 : 18, shape);
        sig.height = packSignalHeight(shape == 6 ? 10 : 18, shape);
        sig.color = n % 3 == 0 ? 0x0000FF : 0x00C000; sig.back_color = 0x404040; sig.frame = 1; sig.blink = n % 4 == 0;
        place(ObjectKind::Signal, n, {8 + col * 34, 50 + row * 24});
        TextSignalElement& ts = pages.text_signal[pi][ni];
        ts.text_off = QStringLiteral("Стоп %1").arg(n); ts.text_on = QStringLiteral("Пуск %1").arg(n);
        ts.color = 0xFFFFFF; ts.back_color = 0x800000; ts.frame = 1;
        place(ObjectKind::TextSignal, n, {4 + (n - 1) % 8 * 69, 98 + (n - 1) / 8 * 21});
        LevelElement& lv = pages.level[pi][ni];
        lv.width = 12; lv.height = 44; lv.color = 0x0080FF; lv.back_color = 0xE0E0E0; lv.style = 1;
        place(ObjectKind::Level, n, {4 + (n - 1) * 17, 186});
        pages.go_block[pi][ni].target = int16_t(n);
        place(ObjectKind::GoBlock, n, {4 + col * 34, 234 + row * 42});
        pages.control[pi][ni].type = uint8_t((n - 1) % 14);
        place(ObjectKind::Control, n, {4 + col * 34, 320 + row * 42});
        pages.vent[pi][ni].picture = (n - 1) % 23;
        place(ObjectKind::Vent, n, {4 + col * 34, 400 + row * 30});
        FiguraElement& f = pages.figura[pi][ni];
        f.size_x = f.size_y = 20; f.type = int16_t(n % 2); f.line_width = 2; f.color = 0x00FFFF;
        place(ObjectKind::Figura, n, {566 + (n - 1) % 8 * 28, 236 + (n - 1) / 8 * 26});
    }
    for (int n = 1; n <= 64; ++n) {
        TextElement& t = pages.text[pi][size_t(n)];
        t.text = QString::number(n); t.font_name = QStringLiteral("Arial"); t.font_size = 8; t.color = 0xFFFFFF;
        place(ObjectKind::Text, n, {566 + (n - 1) % 8 * 28, 344 + (n - 1) / 8 * 16});
    }
    for (int n = 1; n <= 8; ++n) {
        pages.menu[pi][size_t(n)].text = QStringLiteral("Страница %1").arg(n);
        place(ObjectKind::Menu, n, {560 + (n - 1) % 2 * 120, 4 + (n - 1) / 2 * 42});
    }
    *pages.grafikOfPage(p) = {1, 560, 176, 170, 54, 0};
    *pages.clockOfPage(p) = {1, 740, 180};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    QTemporaryDir tmp;
    for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"})
        QFile::copy(QStringLiteral(OSTREL_EXAMPLES "/") + QLatin1String(name), tmp.filePath(QLatin1String(name)));

    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    MainWindow w(*ws, ui);
    AppController controller(*ws, ui, w);
    w.show();
    (void)QTest::qWaitForWindowExposed(&w);
    bool ok = controller.openProjectFile(tmp.filePath(QStringLiteral("boiler.prt")));
    w.action(QStringLiteral("MnuSCADA"))->trigger();
    ok = save(w, out.filePath(QStringLiteral("scada_page1.png"))) && ok;

    // "&Копировать" with a frame around the go-to buttons, "&Вставить" with
    // the pointer to their right.
    PageEditorState& state = controller.scadaEditor().state();
    QRect group;
    for (const ElementRef& ref : controller.scadaEditor().editor().pageElements(0))
        if (ref.kind == ObjectKind::GoBlock)
            group |= controller.scadaEditor().editor().objectRect(ref);
    if (!group.isEmpty()) {
        state.frame = {group.adjusted(-6, -6, 6, 6), true, 0};
        w.editActions().copy->trigger();
        state.last_pointer = group.topLeft() + QPoint(group.width() + 30, 0);
        state.pointer_over_page = true;
        w.editActions().paste->trigger();
        ok = save(w, out.filePath(QStringLiteral("scada_page1_pasted.png"))) && ok;
    } else {
        std::printf("FAILED: no go-to element on page 1\n");
        ok = false;
    }

    // Page 1 at 200 % with the grid shown, everything selected, and the
    // pointer over a go-to button for the status bar.
    w.editActions().selectAll->trigger();
    const int16_t step = ws->pages.grid_step;
    ws->pages.grid_step = 20;
    w.scadaActions().showGrid->trigger();
    PageCanvas& first = controller.scadaEditor().canvas(0);
    first.setZoom(200, QPoint(0, 0));
    QPoint hovered = group.topLeft() + QPoint(4, 4);
    first.centerOn(QPointF(hovered));
    const QPoint at = first.mapFromScene(QPointF(hovered) + QPointF(0.25, 0.25));
    QMouseEvent move(QEvent::MouseMove, at, first.viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(first.viewport(), &move);
    ok = save(w, out.filePath(QStringLiteral("scada_page1_zoom200.png"))) && ok;
    w.scadaActions().showGrid->trigger();
    ws->pages.grid_step = step;
    first.setZoom(100, QPoint(0, 0));

    fillPage(ws->pages, 7);
    controller.scadaEditor().canvas(7).rebuild();
    w.selectPage(7);
    ok = save(w, out.filePath(QStringLiteral("scada_full_page.png"))) && ok;

    for (const Message& m : ui.messages)
        std::printf("message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
