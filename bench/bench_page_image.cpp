// Paints, converts and encodes SCADA pages with their element tables, as a
// page write prepares them, and prints the medians: the example project's
// page 1 (picture background) and a fully populated page (every slot of
// every kind used, over the same picture).
//   bench_page_image [--runs N] [--png DIR]
// With --png the painted and the quantised images of the example's pages 1
// and 2 and of the full page are written into DIR.
#include "workspace/workspace.h"
#include "wire/page_encoder.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSaveFile>

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

double ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// Every slot of every kind of page 0 used, spread over the page.
void fillEverySlot(ScadaPages& s)
{
    const int p = 0;
    for (int n = 1; n <= 32; ++n) {
        const int16_t x = int16_t(20 + (n - 1) % 8 * 95), y = int16_t(20 + (n - 1) / 8 * 110);
        s.parametr[p][n] = {1, x, y, 0x0000FF, 0xFFFFFF, 1, 14, 2, uint8_t(n), 0};
        s.signal[p][n] = {1, int16_t(x + 40), packListY(y, n % 32), packSignalWidth(20, n % 8),
                          packSignalHeight(20, n % 8), 0x00FF00, 0x808080, 1, 1, uint8_t(n), 1};
        TextSignalElement& t = s.text_signal[p][n];
        t.used = 1;
        t.x = x;
        t.y = packListY(y + 30, n % 32);
        t.text_off = QStringLiteral("Выключено");
        t.text_on = QStringLiteral("Включено");
        s.level[p][n] = {1, int16_t(x + 70), y, 10, 60, 1000, 0xFF8000, 0xFFFFFF, 1, uint8_t(n), 2};
        s.go_block[p][n] = {1, x, int16_t(y + 60), int16_t(n), 0};
        s.figura[p][n] = {1, int16_t(x - 5), int16_t(y - 5), 90, 100, 0x404040, int16_t(n % 2), 2};
        s.vent[p][n] = {1, int16_t(x + 30), int16_t(y + 45), 48, 48, (n - 1) % 23, uint8_t(n), 0};
        const uint8_t type = uint8_t(1 + (n - 1) % 13);
        s.control[p][n] = {1, int16_t(x + 5), int16_t(y + 50), uint8_t(n), 1, QString(), 40, 40, type};
    }
    for (int n = 1; n <= 64; ++n) {
        TextElement& t = s.text[p][n];
        t.used = 1;
        t.x = int16_t(10 + (n - 1) % 8 * 98);
        t.y = int16_t(5 + (n - 1) / 8 * 58);
        t.text = QStringLiteral("Текст %1").arg(n);
        t.font_name = n % 3 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
        t.font_size = uint8_t(8 + n % 10);
        t.bold = n % 2 ? -1 : 0;
        t.color = 0x800000;
    }
    for (int n = 1; n <= 8; ++n) {
        MenuElement& m = s.menu[p][n];
        m.used = 1;
        m.x = int16_t(7 + (n - 1) * 99);
        m.y = 440;
        m.text = QStringLiteral("Страница %1").arg(n);
        m.target_page = uint8_t(n - 1);
    }
    s.clock[p + 1] = {1, 700, 5};
    s.grafik[p + 1] = {1, 20, 60, 240, 150, 0};
}

bool savePng(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.flush())
        return false;
    return file.commit();
}

struct Timing {
    double paint = 0, encode = 0, total = 0;
    std::array<int, 8> bands{};
};

Timing measure(PagePainter& painter, const ScadaPages& pages, int p, uint8_t version, const QString& folder,
               TransferState& ts, int runs)
{
    std::vector<double> paint, encode, total;
    Timing out;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const PagePaintResult painted = painter.paintPage(pages, p, folder);
        paint.push_back(ms(t));
        QElapsedTimer e;
        e.start();
        const PageEncodeResult encoded = encodePage(painted.image, pages, p, version, ts);
        encode.push_back(ms(e));
        total.push_back(ms(t));
        if (!painted.ok || !encoded.ok) {
            std::fprintf(stderr, "page %d cannot be written: %s\n", p + 1,
                         qPrintable(painted.ok ? encoded.error.text : painted.error.text));
            std::exit(1);
        }
        out.bands = encoded.band_lengths;
    }
    out.paint = median(paint);
    out.encode = median(encode);
    out.total = median(total);
    return out;
}

void printRow(const char* name, const Timing& t)
{
    std::printf("%-30s %8.2f %8.2f %8.2f   ", name, t.paint, t.encode, t.total);
    for (int l : t.bands)
        std::printf(" %d", l);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int runs = 50;
    QString pngDir;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs"))
            runs = std::max(1, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--png"))
            pngDir = args[i + 1];
    }

    const QString folder = QStringLiteral(OSTREL_EXAMPLES);
    auto ws = std::make_unique<Workspace>();
    QString error;
    if (!loadProjectForCli(*ws, folder + QStringLiteral("/boiler.prt"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    auto full = std::make_unique<ScadaPages>();
    fillEverySlot(*full);
    full->background_kind[0] = 1;
    full->shortRef(0) = QStringLiteral("\\boiler.gif");

    ElementPictures pictures;
    PagePainter painter(pictures);
    QElapsedTimer cold;
    cold.start();
    const PagePaintResult first = painter.paintPage(ws->pages, 0, folder);
    const double coldMs = ms(cold);
    if (!first.ok || !first.warnings.isEmpty()) {
        std::fprintf(stderr, "the example's page 1 does not paint cleanly\n");
        return 1;
    }

    std::printf("%d runs each, version %d; medians in ms (the background picture is read once and kept)\n", runs,
                int(ws->version_code));
    std::printf("%-30s %8s %8s %8s    band lengths L\n", "page", "paint", "encode", "total");
    printRow("example page 1 (picture)", measure(painter, ws->pages, 0, ws->version_code, folder, ws->transfer, runs));
    printRow("example page 2 (fill colour)", measure(painter, ws->pages, 1, ws->version_code, folder, ws->transfer, runs));
    printRow("every slot used (picture)", measure(painter, *full, 0, 5, folder, ws->transfer, runs));
    std::printf("first paint of page 1, reading the GIF: %.2f ms\n", coldMs);

    if (!pngDir.isEmpty()) {
        QDir().mkpath(pngDir);
        const struct {
            const ScadaPages* pages;
            int page;
            const char* name;
        } shots[] = {{&ws->pages, 0, "example-page-1"}, {&ws->pages, 1, "example-page-2"}, {full.get(), 0, "full-page"}};
        for (const auto& shot : shots) {
            const PagePaintResult r = painter.paintPage(*shot.pages, shot.page, folder);
            const QString base = QDir(pngDir).filePath(QString::fromLatin1(shot.name));
            if (!savePng(r.image, base + QStringLiteral(".png"))
                || !savePng(quantise(r.image), base + QStringLiteral("-quantised.png"))) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(base));
                return 1;
            }
        }
        std::printf("pictures written to %s\n", qPrintable(pngDir));
    }
    return 0;
}
