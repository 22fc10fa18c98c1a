// The virtual controller's memory over many connections: the panel's TCP
// listener takes N connections one batch after another (default 10,000),
// each carrying a whole page write of the example's page 1, and the
// resident set size is printed every tenth of the way. A closed connection
// keeps nothing, so what grows is the packet log (16 rows per write), which
// the panel keeps for its window and log.txt.
//
//     bench_panel_connections [--connections N]
#include "../tests/panel/panel_streams.h"
#include "panel/listeners.h"
#include "panel/panel_session.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTcpSocket>
#include <QTest>
#include <cstdio>
#include <memory>
#include <vector>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

// Resident set size in MB, from /proc/self/statm.
double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int total = 10000;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--connections"));
    if (at > 0 && at + 1 < args.size())
        total = std::max(1, args[at + 1].toInt());

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
    PanelSession session(options);
    TcpListener listener(session);
    if (!listener.listen(0)) {
        std::fprintf(stderr, "%s\n", qPrintable(listener.errorString()));
        return 1;
    }
    std::printf("%d connections, each a page write of %lld bytes\n\n", total, qlonglong(stream.size()));
    std::printf("%12s %10s %10s %10s\n", "connections", "RSS MB", "log rows", "seconds");
    std::printf("%12d %10.1f %10d %10.1f\n", 0, residentMb(), session.log().size(), 0.0);
    QElapsedTimer clock;
    clock.start();
    constexpr int kBatch = 20;
    int done = 0;
    const int step = std::max(1, total / 10);
    while (done < total) {
        const int batch = std::min(kBatch, total - done);
        std::vector<std::unique_ptr<QTcpSocket>> peers;
        for (int k = 0; k < batch; ++k) {
            auto peer = std::make_unique<QTcpSocket>();
            peer->connectToHost(QStringLiteral("127.0.0.1"), listener.port());
            if (!peer->waitForConnected(5000))
                return 1;
            peer->write(stream);
            peer->disconnectFromHost();
            peers.push_back(std::move(peer));
        }
        const int expected = done + batch;
        if (!QTest::qWaitFor([&] { return session.writes() == expected && session.openChannels() == 0; }, 60000)) {
            std::fprintf(stderr, "%d writes of %d, %d connections open\n", session.writes(), expected,
                         session.openChannels());
            return 1;
        }
        peers.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const int before = done;
        done = expected;
        if (done / step != before / step || done == total)
            std::printf("%12d %10.1f %10d %10.1f\n", done, residentMb(), session.log().size(),
                        double(clock.elapsed()) / 1000.0);
    }
    std::printf("\nopen connection states at the end: %d; write problems: %lld\n", session.openChannels(),
                qlonglong(session.problemLines().size()));
    return session.exitStatus();
}
