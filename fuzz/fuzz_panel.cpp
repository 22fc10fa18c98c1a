// Fuzzes the virtual controller's session and live layer: whatever bytes
// arrive, the session frames, decodes and logs them, and every page it
// receives is drawn with its live elements, touch cells included, without a
// crash or an out-of-range access. The first input byte picks the options:
//   bits 0..1  version: unknown, 5 or 1 (full or short tables);
//   bit 2      take only controller 1's packets;
//   bit 3      values 0 for every block, else non-zero values;
//   bits 4..7  piece size (x 97 bytes, 0 = all at once) of the feeding.
// With the first byte 0xFF the rest is read as a values file instead.
#include "display/block_values.h"
#include "display/live_layer.h"
#include "panel/panel_session.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

using namespace ostrel;

// Fontconfig keeps the font caches it builds for the drawing to the end of
// the process: not a leak of the code under test.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Drawing text needs a GUI application; it lives as long as the fuzzer.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t mode = data[0];
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    BlockValues values;
    if (mode == 0xFF) {
        QString error;
        parseBlockValues(rest, values, error);
        for (int b = 0; b < 101; ++b)
            for (int i = -1; i < 9; ++i)
                (void)(values.output(b, i) + values.setpoint(b, i));
        return 0;
    }
    if (!(mode & 8))
        for (int b = 1; b <= 99; ++b)
            values.setOutputs(b, {double(b) * 1.5, -double(b), 1e12, 0.25});

    SessionOptions o;
    o.version = (mode & 3) == 1 ? 5 : (mode & 3) == 2 ? 1 : -1;
    o.controller = (mode & 4) ? 1 : 0;
    o.idle_ms = 0;
    PanelSession session(o);
    const int ch = session.openChannel(QStringLiteral("fuzz"), false);
    const qsizetype piece = qsizetype(mode >> 4) * 97;
    if (piece == 0) {
        session.feed(ch, rest);
    } else {
        for (qsizetype at = 0; at < rest.size(); at += piece) {
            session.feed(ch, rest.mid(at, piece));
            session.idle(ch);
        }
    }
    session.closeChannel(ch);
    for (int row = 0; row < session.log().size(); ++row)
        (void)PacketLog::line(session.log().at(row));
    for (int p = 0; p < 8; ++p) {
        const DecodedPage* page = session.page(p);
        if (!page)
            continue;
        if (page->image.size() != size_t(kPageWidth) * kPageHeight)
            std::abort();
        LiveOptions lo;
        lo.touch_cells = true;
        const QImage shown = composePanelPage(pageImage(*page), page->tables, values, lo);
        if (shown.size() != QSize(kPageWidth, kPageHeight))
            std::abort();
    }
    return 0;
}
