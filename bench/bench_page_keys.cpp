// The page editor's keys and zoom on a full page (every slot of every kind
// used, 330 elements): Ctrl+A then one arrow key through real key events,
// the canvas's repaint included; a repaint of the page at 400 % (the view's
// window, and the whole page at 3200 x 1920). Medians in milliseconds, wall
// time and the thread's CPU time.
#include "scada/element_pictures.h"
#include "scada/page_editing.h"
#include "scada/page_painter.h"
#include "scada/page_selection.h"
#include "scada/ui/page_canvas.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

double median(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}

// Wall time and this thread's CPU time: on a loaded machine the wall time
// also counts the time other programs had the processor.
struct Clock {
    QElapsedTimer wall;
    double cpu0 = 0;
    static double cpuMs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    void start()
    {
        wall.start();
        cpu0 = cpuMs();
    }
};

struct Samples {
    std::vector<double> wall, cpu;
    void add(const Clock& c)
    {
        wall.push_back(double(c.wall.nsecsElapsed()) / 1e6);
        cpu.push_back(Clock::cpuMs() - c.cpu0);
    }
};

// Every slot of page p used, inside (10..700) x (10..420) so that a frame
// around them can move 10 pixels; blinking signals and text signals.
void fillPage(ScadaPages& pages, int p)
{
    for (int k = 0; k < kNumberedKinds; ++k) {
        const auto kind = ObjectKind(k);
        const int max = ScadaPages::maxNumber(kind);
        for (int n = 1; n <= max; ++n) {
            const ElementRef ref{kind, p, n};
            withRecord(pages, ref, [](auto& e) { e.used = 1; });
            storeObjectPos(pages, ref, {20 + (n * 23 + k * 7) % 680, 20 + (n * 13 + k * 31) % 400});
        }
    }
    const size_t pi = size_t(p);
    for (int n = 1; n <= 32; ++n) {
        const size_t ni = size_t(n);
        pages.parametr[pi][ni].font = 14;
        pages.parametr[pi][ni].back_color = 0xFFFFFF;
        pages.signal[pi][ni].width = packSignalWidth(20, n % 8);
        pages.signal[pi][ni].height = packSignalHeight(20, n % 8 / 4);
        pages.signal[pi][ni].color = 0x0000FF;
        pages.signal[pi][ni].blink = 1;
        pages.text_signal[pi][ni].blink = 1;
        pages.text_signal[pi][ni].text_off = QStringLiteral("Выкл");
        pages.text_signal[pi][ni].text_on = QStringLiteral("Включено");
        pages.level[pi][ni].width = 20;
        pages.level[pi][ni].height = 60;
        pages.figura[pi][ni].size_x = pages.figura[pi][ni].size_y = 30;
        pages.figura[pi][ni].line_width = 2;
        pages.figura[pi][ni].type = int16_t(n % 2);
        pages.vent[pi][ni].picture = n % 23;
        pages.control[pi][ni].type = uint8_t(n % 14);
    }
    for (int n = 1; n <= 64; ++n) {
        TextElement& t = pages.text[pi][size_t(n)];
        t.text = QStringLiteral("Текст %1").arg(n);
        t.font_name = QStringLiteral("Arial");
        t.font_size = 10;
    }
    for (int n = 1; n <= 8; ++n)
        pages.menu[pi][size_t(n)].text = QStringLiteral("Меню %1").arg(n);
    *pages.grafikOfPage(p) = {1, 300, 300, 200, 100, 0};
    *pages.clockOfPage(p) = {1, 700, 5};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto pages = std::make_unique<ScadaPages>();
    fillPage(*pages, 0);
    PageEditorState state;
    PageEditor editor(*pages, state);
    const ElementPictures pictures;
    PagePainter painter(pictures);
    const PageCanvasContext ctx{*pages, state, editor, pictures, painter};
    const int runs = 31;

    PageCanvas canvas(ctx, 0);
    QObject::connect(&canvas, &PageCanvas::pageChanged, &canvas, &PageCanvas::apply);
    // Ctrl+A as the "&Редактировать" item has it.
    QAction selectAllItem;
    selectAllItem.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    QObject::connect(&selectAllItem, &QAction::triggered, &canvas, [&] { canvas.apply(selectAll(*pages, state)); });
    canvas.setKeyActions({&selectAllItem});
    canvas.show();
    (void)QTest::qWaitForWindowExposed(&canvas);
    QWidget* view = canvas.viewport();
    view->repaint();

    Samples keys, selectOnly;
    for (int i = 0; i < runs; ++i) {
        canvas.apply(clearSelection(state));
        view->repaint();
        Clock clock;
        clock.start();
        QTest::keyClick(&canvas, Qt::Key_A, Qt::ControlModifier);
        view->repaint();
        selectOnly.add(clock);
        QTest::keyClick(&canvas, i % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
        view->repaint();
        keys.add(clock);
    }
    const qsizetype selected = selectedElements(*pages, state).size();

    Samples paint100, paint400, page400;
    for (int i = 0; i < runs; ++i) {
        Clock clock;
        clock.start();
        view->repaint();
        paint100.add(clock);
    }
    canvas.setZoom(400, QPoint(0, 0));
    canvas.centerOn(QPointF(400, 240));
    view->repaint();
    for (int i = 0; i < runs; ++i) {
        Clock clock;
        clock.start();
        view->repaint();
        paint400.add(clock);
    }
    QImage whole(kPageWidth * 4, kPageHeight * 4, QImage::Format_RGB32);
    for (int i = 0; i < runs; ++i) {
        Clock clock;
        clock.start();
        QPainter p(&whole);
        canvas.scene()->render(&p, QRectF(whole.rect()), QRectF(0, 0, kPageWidth, kPageHeight));
        p.end();
        page400.add(clock);
    }

    std::printf("page keys and zoom, full page: %d elements, %lld selected (%d runs)\n", canvas.elementItemCount(),
                static_cast<long long>(selected), runs);
    std::printf("                                                   median ms: wall    CPU\n");
    auto row = [](const char* what, const Samples& s) {
        std::printf("  %-52s %8.3f %8.3f\n", what, median(s.wall), median(s.cpu));
    };
    row("Ctrl+A with repaint", selectOnly);
    row("Ctrl+A, then one arrow key, with repaints", keys);
    row("repaint of the view at 100 %", paint100);
    row("repaint of the view at 400 % (800 x 480 window)", paint400);
    row("the whole page rendered at 400 % (3200 x 1920)", page400);
    return 0;
}
