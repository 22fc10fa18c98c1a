// The virtual controller's hot paths, on the example project's page 1 as
// the configurator sends it: a whole page write through the session (framing,
// decoding, packet log; fed in 1460-byte pieces as TCP delivers them), the
// view's work when a page arrives (12-bit expansion and the live layer), a
// repaint of the live layer alone, and a paint of the window's view.
// Prints median timings; compare them with the protocol's fastest pacing
// (10 ms between a header and its data packet on a serial line).
#include "../tests/panel/panel_streams.h"
#include "display/live_layer.h"
#include "panel/panel_session.h"
#include "panel/ui/panel_view.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

double median(const std::function<void()>& f, int runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    auto ws = loadExample();
    if (!ws)
        return 1;
    ElementPictures pictures;
    PagePainter painter(pictures);
    const SentPage page = sentPage(*ws, painter, 0);
    if (!page.ok)
        return 1;
    const QByteArray stream = page.stream();
    SessionOptions options;
    options.version = ws->version_code;
    options.idle_ms = 0;

    const auto receive = [&] {
        PanelSession session(options);
        const int ch = session.openChannel(QStringLiteral("bench"));
        for (qsizetype at = 0; at < stream.size(); at += 1460)
            session.feed(ch, stream.mid(at, 1460));
        return session.page(0) ? *session.page(0) : DecodedPage{};
    };
    const DecodedPage received = receive();
    if (!received.complete()) {
        std::fprintf(stderr, "the example page does not decode cleanly\n");
        return 1;
    }
    BlockValues values;
    values.setOutputs(1, {72.5, 48.3, 420.0});
    values.setOutputs(3, {1.0, 0.0});
    const QImage image = pageImage(received);
    PanelView view(values);
    view.showPage(&received);
    view.resize(800, 480);
    QImage target(800, 480, QImage::Format_RGB32);

    std::printf("example page 1: %lld bytes on the wire in 16 packets\n\n", qlonglong(stream.size()));
    std::printf("%-52s %12s\n", "step (101 runs)", "median ms");
    std::printf("%-52s %12.3f\n", "session: page write in TCP pieces, decoded and logged", median([&] { (void)receive(); }, 101));
    std::printf("%-52s %12.3f\n", "view: page arrives (expand + live layer)",
                median([&] { (void)composePanelPage(pageImage(received), received.tables, values, {}); }, 101));
    std::printf("%-52s %12.3f\n", "view: live layer over the kept image", median([&] {
                    QPainter p(&target);
                    p.drawImage(0, 0, image);
                    paintLiveElements(p, received.tables, values, {});
                }, 101));
    std::printf("%-52s %12.3f\n", "view: paint of the widget at 1:1", median([&] { view.render(&target); }, 101));
    view.setFitToWindow(true);
    view.resize(600, 360);
    std::printf("%-52s %12.3f\n", "view: paint of the widget scaled to 600 x 360",
                median([&] { view.render(&target); }, 101));
    return 0;
}
