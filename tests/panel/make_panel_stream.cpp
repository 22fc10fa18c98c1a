// Writes the bytes the configurator sends for the example project into a
// file that `ostrel-panel --dump` reads: the scheme write, then the writes
// of the pages given (numbers 1..8; by default 2 and then 1, so that the
// panel shows page 1). Not a test; the screenshot script uses it.
//   make_panel_stream OUT.bin [PAGE ...]
#include "panel_streams.h"
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

using namespace ostrel;
using namespace ostrel::testing;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_panel_stream OUT.bin [PAGE ...]\n");
        return 2;
    }
    QList<int> pages;
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int n = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || n < 1 || n > 8) {
            std::fprintf(stderr, "make_panel_stream: page numbers are 1..8\n");
            return 2;
        }
        pages << n;
    }
    if (pages.isEmpty())
        pages = {2, 1};
    auto ws = loadExample();
    if (!ws)
        return 1;
    ElementPictures pictures;
    PagePainter painter(pictures);
    QByteArray stream = schemeStream(*ws);
    for (int n : pages) {
        const SentPage page = sentPage(*ws, painter, n - 1);
        if (!page.ok)
            return 1;
        stream += page.stream();
    }
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(stream) != stream.size() || !out.commit()) {
        std::fprintf(stderr, "make_panel_stream: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %lld bytes\n", qlonglong(stream.size()));
    return 0;
}
