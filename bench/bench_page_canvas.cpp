// Page canvas timings on a page with every slot of every kind used: building
// the scene, one blink tick, a group move of everything by 10 pixels (press,
// 20 mouse-moves, release) through real mouse events, and building all eight
// canvases of a project whose eight pages are full. Medians in milliseconds;
// "with paint" adds the synchronous repaint of the view.
#include "scada/element_pictures.h"
#include "scada/ui/page_canvas.h"
#include "scada/page_editing.h"
#include "scada/page_painter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

double median(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return t.empty() ? 0 : t[t.size() / 2];
}

double elapsedMs(const QElapsedTimer& clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

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
    for (int p = 0; p < ScadaPages::kShownPages; ++p)
        fillPage(*pages, p);
    PageEditorState state;
    PageEditor editor(*pages, state);
    const ElementPictures pictures;
    PagePainter painter(pictures);
    const PageCanvasContext ctx{*pages, state, editor, pictures, painter};
    const int runs = 21;

    std::vector<double> build;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        PageCanvas canvas(ctx, 0);
        build.push_back(elapsedMs(clock));
    }

    std::vector<double> eight;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<PageCanvas>> all;
        for (int p = 0; p < ScadaPages::kShownPages; ++p)
            all.push_back(std::make_unique<PageCanvas>(ctx, p));
        eight.push_back(elapsedMs(clock));
    }

    PageCanvas canvas(ctx, 0);
    // The canvas hands its changes back to itself, as the application does.
    QObject::connect(&canvas, &PageCanvas::pageChanged, &canvas, &PageCanvas::apply);
    canvas.show();
    (void)QTest::qWaitForWindowExposed(&canvas);
    QWidget* view = canvas.viewport();

    std::vector<double> paint;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        view->repaint();
        paint.push_back(elapsedMs(clock));
    }

    std::vector<double> tick, tickPaint;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        canvas.apply(editor.tick());
        tick.push_back(elapsedMs(clock));
        view->repaint();
        tickPaint.push_back(elapsedMs(clock));
    }

    // A frame around everything, then the group goes 10 pixels right and
    // down and back again, one pixel every second move.
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(view, QPoint(760, 460));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(760, 460));
    std::vector<double> move, movePaint, groups;
    const QPoint grab(6, 6);
    for (int i = 0; i < runs; ++i) {
        const int dir = i % 2 == 0 ? 1 : -1;
        const QPoint start = grab + (dir > 0 ? QPoint() : QPoint(10, 10));
        QElapsedTimer whole;
        whole.start();
        QTest::mousePress(view, Qt::LeftButton, {}, start);
        for (int m = 1; m <= 20; ++m) {
            const QPoint at = start + QPoint(dir * (m + 1) / 2, dir * (m + 1) / 2);
            QElapsedTimer clock;
            clock.start();
            QTest::mouseMove(view, at);
            move.push_back(elapsedMs(clock));
            view->repaint();
            movePaint.push_back(elapsedMs(clock));
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(dir * 10, dir * 10));
        groups.push_back(elapsedMs(whole));
    }

    std::printf("page canvas, full page: %d elements (%d runs)      median ms\n", canvas.elementItemCount(), runs);
    std::printf("  build the scene                              %8.3f\n", median(build));
    std::printf("  build all eight canvases of a full project   %8.3f\n", median(eight));
    std::printf("  paint the whole page                         %8.3f\n", median(paint));
    std::printf("  blink tick                                   %8.3f\n", median(tick));
    std::printf("  blink tick with paint                        %8.3f\n", median(tickPaint));
    std::printf("  group move: one mouse-move                   %8.3f\n", median(move));
    std::printf("  group move: one mouse-move with paint        %8.3f\n", median(movePaint));
    std::printf("  group move: press, 20 moves, release (paint) %8.3f\n", median(groups));
    return 0;
}
