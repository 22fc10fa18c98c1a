// Page editor core timings on a page with every slot of every kind used:
// listing and placing every element (what a canvas build asks of the core),
// one blink tick, a group move of everything by 10 pixels (press, 20 moves,
// release), and a copy and paste of the whole page onto an empty page.
// Medians of repeated runs in milliseconds.
#include "scada/page_clipboard.h"
#include "scada/page_editing.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;

namespace {

double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer clock;
        clock.start();
        work();
        t.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Every numbered slot of page 0 used, spread over the page; blinking signals
// and text signals; the graph and the clock.
void fillPage(ScadaPages& pages)
{
    for (int k = 0; k < kNumberedKinds; ++k) {
        const auto kind = ObjectKind(k);
        const int max = ScadaPages::maxNumber(kind);
        for (int n = 1; n <= max; ++n) {
            const ElementRef ref{kind, 0, n};
            withRecord(pages, ref, [](auto& e) { e.used = 1; });
            storeObjectPos(pages, ref, {20 + (n * 23 + k * 7) % 700, 20 + (n * 13 + k * 31) % 400});
        }
    }
    for (int n = 1; n <= 32; ++n) {
        pages.signal[0][size_t(n)].blink = 1;
        pages.text_signal[0][size_t(n)].blink = 1;
        pages.text_signal[0][size_t(n)].text_off = QStringLiteral("Выкл");
        pages.text_signal[0][size_t(n)].text_on = QStringLiteral("Вкл");
    }
    pages.grafik[1] = {1, 300, 300, 200, 100, 0};
    pages.clock[1] = {1, 700, 5};
}

} // namespace

int main(int argc, char** argv)
{
    // Element sizes come from font metrics: a GUI application is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto pages = std::make_unique<ScadaPages>();
    fillPage(*pages);
    PageEditorState state;
    PageEditor editor(*pages, state);
    const int runs = 51;

    const double build = medianMs(runs, [] {}, [&] {
        int sum = 0;
        for (int p = 0; p < ScadaPages::kShownPages; ++p)
            for (const ElementRef& ref : editor.pageElements(p))
                sum += editor.bounds(ref).width() + editor.tooltip(ref).size();
        if (sum == 42)
            std::puts("");
    });
    const double tick = medianMs(runs, [] {}, [&] { editor.tick(); });

    // The frame covers the whole page; every element moves 10 pixels right.
    std::vector<double> moves;
    const double group = medianMs(runs, [&] {
        editor.pagePress({0, 0});
        editor.pageDrag({790, 470});
        editor.pageRelease({790, 470});
    }, [&] {
        editor.pagePress({400, 200});
        for (int i = 1; i <= 20; ++i) {
            QElapsedTimer clock;
            clock.start();
            editor.pageDrag({400 + (i + 1) / 2, 200});
            moves.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        editor.pageRelease({410, 200});
    });
    std::sort(moves.begin(), moves.end());

    PageClipboard clipboard;
    const double copyPaste = medianMs(runs, [&] {
        for (int k = 0; k < kNumberedKinds; ++k)
            for (int n = 1; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
                withRecord(*pages, ElementRef{ObjectKind(k), 1, n}, [](auto& e) { e.used = 0; });
        state.current_page = 0;
        editor.pagePress({0, 0});
        editor.pageDrag({799, 479});
        editor.pageRelease({799, 479});
    }, [&] {
        clipboard.copy(*pages, state);
        state.current_page = 1;
        editor.pointerMoved({5, 5});
        clipboard.paste(*pages, state);
    });

    std::printf("page editor core, full page (%d runs)            median ms\n", runs);
    std::printf("  list and place every element of 8 pages      %8.3f\n", build);
    std::printf("  blink tick                                   %8.3f\n", tick);
    std::printf("  group move: press, 20 moves, release         %8.3f\n", group);
    std::printf("  group move: one mouse-move                   %8.3f\n", moves[moves.size() / 2]);
    std::printf("  copy and paste the whole page                %8.3f\n", copyPaste);
    return 0;
}
