// Decoding on the receiving end: a full page (eight bands of the example
// page's picture with drawing on it, and the element tables), the worst page
// the band limit allows (every band near 32000 bytes), and a large scheme
// (three algorithm blocks, 67 program setters, 20 RS485 blocks: close to the
// stores' 10001 parameters). Prints median timings.
#include "workspace/workspace.h"
#include "wire/link_receiver.h"
#include "wire/scheme_encoder.h"
#include "../tests/wire/link_streams.h"
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

// Upper ends of the display's 16 colour bins.
constexpr int kUpper[16] = {29, 58, 87, 103, 119, 135, 151, 167, 183, 199, 215, 223, 231, 239, 247, 255};

// 8-bit colour component to its 4-bit level.
int level4(int c)
{
    int i = 0;
    while (c > kUpper[i])
        ++i;
    return i;
}

QImage examplePicture()
{
    QImage img(QStringLiteral(OSTREL_EXAMPLES "/boiler.gif"));
    img = img.isNull() ? QImage(800, 480, QImage::Format_RGB32) : img.convertToFormat(QImage::Format_RGB32);
    if (img.size() != QSize(800, 480))
        img = img.scaled(800, 480);
    QPainter p(&img);
    p.setPen(Qt::black);
    QFont f(QStringLiteral("Arial"), 16, QFont::Bold);
    p.setFont(f);
    p.drawText(20, 40, QStringLiteral("Котельная КВ-1,0"));
    p.setFont(QFont(QStringLiteral("Arial"), 10));
    for (int i = 0; i < 8; ++i)
        p.drawText(20 + 95 * i, 460, QStringLiteral("Меню %1").arg(i + 1));
    p.setPen(QPen(QColor(64, 64, 64), 2));
    p.drawRect(190, 110, 180, 260);
    p.drawEllipse(QPoint(620, 400), 40, 40);
    p.end();
    return img;
}

std::array<BandWords, 8> bandsOf(const QImage& img)
{
    std::vector<uint16_t> pixels(size_t(kPageWidth) * kPageHeight);
    for (int y = 0; y < kPageHeight; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < kPageWidth; ++x)
            pixels[size_t(y) * kPageWidth + size_t(x)] = uint16_t(
                level4(qRed(line[x])) * 256 + level4(qGreen(line[x])) * 16 + level4(qBlue(line[x])));
    }
    std::array<BandWords, 8> bands;
    for (int k = 0; k < 8; ++k)
        bands[size_t(k)] = encodeBand(pixels.data() + size_t(k) * kBandPixels);
    return bands;
}

// Every band: 15000 single pixels, then runs of 16 (L just under 32000).
std::array<BandWords, 8> worstBands()
{
    BandWords w;
    for (int i = 0; i < 15000; ++i)
        w.push_back(uint16_t(i % 2 ? 0x123 : 0x456));
    w.insert(w.end(), (kBandPixels - 15000) / 16, 0xF789);
    std::array<BandWords, 8> bands;
    bands.fill(w);
    return bands;
}

QByteArray largeScheme()
{
    auto ws = std::make_unique<Workspace>();
    ws->selectVersion(5);
    BlockTable& bt = ws->blocks;
    for (int n = 1; n <= 3; ++n)
        bt.block_type[n] = 45;   // ALG: 129 parameters, 5248 texts each
    for (int n = 4; n <= 70; ++n)
        bt.block_type[n] = 28;   // PRO: 137 parameters
    for (int n = 71; n <= 90; ++n)
        bt.block_type[n] = 5;    // RS4: 48 texts
    bt.block_type[91] = 25;
    bt.block_type[92] = 29;
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;
    bt.block_type[99] = 42;
    allocateBlocks(bt, ws->catalog);
    for (int i = 0; i < BlockTable::kParams; ++i)
        bt.ParamStore[i] = float((i % 2 ? -1 : 1) * (i * 0.37));
    for (int n = 91; n <= 99; ++n)
        for (int k = 0; k < ws->catalog.textCount(bt.block_type[n]); ++k)
            bt.text(n, k) = QStringLiteral("Канал %1").arg(k);
    const SchemeImage image = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
    std::printf("large scheme: %d parameters, %d text bytes\n", bt.param_bytes / 4, bt.text_bytes);
    return schemeWireStream(image);
}

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
    QGuiApplication app(argc, argv);

    const QByteArray example = pageStream(1, 0, bandsOf(examplePicture()), emptyTables(TableLayout::Full));
    const QByteArray worst = pageStream(1, 0, worstBands(), emptyTables(TableLayout::Full));
    const std::vector<LinkPacket> examplePackets = pagePackets(example);
    const std::vector<LinkPacket> worstPackets = pagePackets(worst);
    const QByteArray scheme = largeScheme();
    const std::vector<LinkPacket> schemePackets = pagePackets(scheme);

    const DecodedPage check = decodePage(examplePackets);
    if (!check.complete()) {
        std::fprintf(stderr, "example page does not decode cleanly\n");
        return 1;
    }
    int words = 0;
    for (const BandInfo& b : check.bands)
        words += b.words;
    std::printf("example page: %lld bytes on the wire, %d run-length words\n", qlonglong(example.size()), words);
    std::printf("worst page:   %lld bytes on the wire\n\n", qlonglong(worst.size()));

    const auto receiveAll = [](const QByteArray& stream) {
        LinkReceiver rx;
        rx.feed(stream);
        rx.finish();
        return rx.take();
    };
    std::printf("%-44s %12s\n", "step (101 runs)", "median ms");
    std::printf("%-44s %12.3f\n", "decodePage, example page",
                median([&] { (void)decodePage(examplePackets); }, 101));
    std::printf("%-44s %12.3f\n", "stream + decode, example page",
                median([&] { (void)receiveAll(example); }, 101));
    std::printf("%-44s %12.3f\n", "decodePage, worst page", median([&] { (void)decodePage(worstPackets); }, 101));
    std::printf("%-44s %12.3f\n", "stream + decode, worst page", median([&] { (void)receiveAll(worst); }, 101));
    std::printf("%-44s %12.3f\n", "pageImage (12-bit to RGB)", median([&] { (void)pageImage(check); }, 101));
    std::printf("%-44s %12.3f\n", "decodeScheme, large scheme",
                median([&] { (void)decodeScheme(schemePackets); }, 101));
    std::printf("%-44s %12.3f\n", "stream + decode, large scheme", median([&] { (void)receiveAll(scheme); }, 101));
    return 0;
}
