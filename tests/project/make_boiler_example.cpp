// Regenerates the example project: examples/boiler.prt on examples/boiler.net
// and its page background examples/boiler.gif.
//   make_boiler_example [EXAMPLES_DIR]
// The picture is drawn with a few palette colours and written by the small
// GIF encoder below (Qt reads GIF but does not write it).
#include "platform/checked_file.h"
#include "platform/headless_interaction.h"
#include "project/project_writer.h"
#include "scheme/netlist_import.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <unordered_map>
#include <vector>

using namespace ostrel;

namespace {

// --- GIF writing: one frame, global palette of 16 colours, LZW data. ---

class BitWriter {
public:
    void put(unsigned code, int width)
    {
        acc_ |= uint32_t(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_.push_back(char(acc_ & 0xff));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    QByteArray finish()
    {
        if (bits_ > 0)
            bytes_.push_back(char(acc_ & 0xff));
        return bytes_;
    }

private:
    QByteArray bytes_;
    uint32_t acc_ = 0;
    int bits_ = 0;
};

QByteArray lzw(const std::vector<uint8_t>& pixels, int minCodeSize)
{
    const unsigned clear = 1u << minCodeSize, eoi = clear + 1;
    std::unordered_map<uint32_t, unsigned> dict;
    unsigned next = eoi + 1;
    int width = minCodeSize + 1;
    BitWriter out;
    out.put(clear, width);
    int prefix = -1;
    for (uint8_t px : pixels) {
        if (prefix < 0) {
            prefix = px;
            continue;
        }
        const uint32_t key = (uint32_t(prefix) << 8) | px;
        const auto it = dict.find(key);
        if (it != dict.end()) {
            prefix = int(it->second);
            continue;
        }
        out.put(unsigned(prefix), width);
        if (next < 4096) {
            dict.emplace(key, next);
            if (next == (1u << width) && width < 12)
                ++width;
            ++next;
        } else {
            out.put(clear, width);
            dict.clear();
            next = eoi + 1;
            width = minCodeSize + 1;
        }
        prefix = px;
    }
    if (prefix >= 0)
        out.put(unsigned(prefix), width);
    out.put(eoi, width);
    return out.finish();
}

void le16(QByteArray& b, int v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

QByteArray gifBytes(const QImage& img, const std::vector<QRgb>& palette)
{
    QByteArray b("GIF89a");
    le16(b, img.width());
    le16(b, img.height());
    b.append(char(0xf3)); // global table of 16 entries, 8-bit colour resolution
    b.append('\0');
    b.append('\0');
    for (size_t i = 0; i < 16; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        b.append(char(qRed(c)));
        b.append(char(qGreen(c)));
        b.append(char(qBlue(c)));
    }
    b.append(',');
    le16(b, 0);
    le16(b, 0);
    le16(b, img.width());
    le16(b, img.height());
    b.append('\0');
    std::vector<uint8_t> pixels;
    pixels.reserve(size_t(img.width()) * size_t(img.height()));
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const auto it = std::find(palette.begin(), palette.end(), line[x] | 0xff000000u);
            pixels.push_back(uint8_t(it == palette.end() ? 0 : it - palette.begin()));
        }
    }
    const int minCodeSize = 4;
    b.append(char(minCodeSize));
    const QByteArray data = lzw(pixels, minCodeSize);
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray chunk = data.mid(i, 255);
        b.append(char(chunk.size()));
        b.append(chunk);
    }
    b.append('\0');
    b.append(';');
    return b;
}

// A simple boiler-room mimic: boiler, burner, pipes, pump, tank.
QImage drawBackground(std::vector<QRgb>& palette)
{
    palette = {qRgb(236, 236, 236), qRgb(40, 40, 40),   qRgb(200, 60, 40),  qRgb(60, 110, 200),
               qRgb(150, 150, 150), qRgb(250, 200, 60), qRgb(90, 170, 90),  qRgb(255, 255, 255)};
    QImage img(800, 480, QImage::Format_RGB32);
    img.fill(palette[0]);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    auto box = [&](QRect r, int fill, int line) {
        p.setPen(QPen(QColor(palette[size_t(line)]), 2));
        p.setBrush(QColor(palette[size_t(fill)]));
        p.drawRect(r);
    };
    box(QRect(200, 120, 160, 240), 4, 1);          // boiler
    box(QRect(230, 300, 100, 40), 5, 1);           // burner
    box(QRect(560, 140, 120, 200), 7, 1);          // tank
    p.setPen(QPen(QColor(palette[2]), 8));
    p.drawLine(360, 160, 560, 160);                // supply
    p.setPen(QPen(QColor(palette[3]), 8));
    p.drawLine(560, 320, 360, 320);                // return
    p.setPen(QPen(QColor(palette[1]), 2));
    p.setBrush(QColor(palette[6]));
    p.drawEllipse(QPoint(460, 320), 22, 22);       // pump
    p.end();
    return img;
}

void fillAlgorithm(Workspace& ws, int n)
{
    auto field = [&](int s, int f, int v) { ws.blocks.text(n, 41 * s + f) = QString::number(v); };
    // Step 1: input 1 > 50 -> output 1 set, go to step 2; else output 1 reset, OUT.
    field(0, 20, 1);
    field(0, 21, 50);
    field(0, 22, 11);   // "> const"
    field(0, 16, 1);    // then: Output 1
    field(0, 18, 1);
    field(0, 17, 1);    // else: Output 1
    field(0, 19, 0);
    field(0, 39, 1);
    field(0, 40, 128);
    // Step 2: input 2 AND flag 1 -> SP1 += SP2 (call of step 3); else RET.
    field(1, 20, 2);
    field(1, 21, 66 - 64 + 1); // B operand: Input 2
    field(1, 22, 6 | (0 << 4));
    field(1, 16, 97);   // SP1 combined
    field(1, 18, 35);   // operand SP2
    field(1, 39, 2);
    field(1, 40, 129);
    field(1, 23, 1 + 2 * 4); // outputs 1 set, 2 reset
    ws.alg.call_flags[1][0] = 1;
    // Step 3: timer 1 >= SP3 -> OUT.
    field(2, 20, 97);
    field(2, 21, 36);
    field(2, 22, 4);
    field(2, 39, 128);
    field(2, 40, 128);
    ws.blocks.param(n, 1) = 55.5f;
    ws.blocks.param(n, 2) = 0.5f;
    ws.blocks.param(n, 3) = 120.0f;
    ws.alg.alg_comments[0] = QStringLiteral("Температура подачи выше 50");
    ws.alg.alg_comments[1] = QStringLiteral("Включить насос");
    ws.alg.alg_comments[11] = QStringLiteral("Горелка и флаг разрешения");
    ws.alg.alg_comments[22] = QStringLiteral("Выдержка таймера");
}

void fillPages(ScadaPages& s)
{
    s.background_kind[0] = 1;
    s.shortRef(0) = QStringLiteral("\\boiler.gif");
    s.fullPath(0) = QStringLiteral("\\boiler.gif");
    s.fill_color[1] = 0xe0e0e0;
    // Parameters: supply temperature (A_I block 1, output 1) and the two
    // PID outputs (blocks 6 and 7), one of them a setpoint.
    s.parametr[0][1] = {1, 380, 130, 0x0000ff, 0xffffff, 1, 14, 2, 1, 0};
    s.parametr[0][2] = {1, 380, 330, 0xff0000, 0xffffff, 1, 14, 2, 1, 1};
    s.parametr[0][3] = {1, 240, 200, 0x000000, 0xc0c0c0, 1, 18, 1, 6, 0};
    s.parametr[0][4] = {1, 240, 230, 0x000000, 0xc0c0c0, 0, 10, 2, 7, 0x80};
    s.parametr[0][0] = {0, 240, 230, 0x000000, 0xc0c0c0, 0, 10, 2, 0, 0};
    // Pump running: a circle signal bound to the discrete input block 3.
    s.signal[0][1] = {1, 450, packListY(270, 1), packSignalWidth(20, 1), packSignalHeight(20, 1),
                      0x00ff00, 0x808080, 1, 0, 3, 0};
    s.text_signal[0][1].used = 1;
    s.text_signal[0][1].x = 600;
    s.text_signal[0][1].y = packListY(360, 2);
    s.text_signal[0][1].color = 0x000000;
    s.text_signal[0][1].back_color = 0xffffff;
    s.text_signal[0][1].text_off = QStringLiteral("Горелка выкл.");
    s.text_signal[0][1].text_on = QStringLiteral("Горелка вкл.");
    s.text_signal[0][1].block = 3;
    s.text_signal[0][1].output = 1;
    // Tank level from analog input channel 3.
    s.level[0][1] = {1, 700, 140, 30, 200, 600, 0xff8000, 0xffffff, packLevelStyle(false, true), 1, 2};
    // Go-to button to page 2, and to the PID block's view.
    s.go_block[0][1] = {1, 20, 400, goTarget(97, false, 1), packGoOption(false, 1)};
    s.go_block[0][2] = {1, 80, 400, goTarget(6, true, 0), 0};
    s.text[0][1].used = 1;
    s.text[0][1].x = 20;
    s.text[0][1].y = 20;
    s.text[0][1].text = QStringLiteral("Котельная КВ-1,0");
    s.text[0][1].font_name = QStringLiteral("Arial");
    s.text[0][1].bold = -1;
    s.text[0][1].font_size = 16;
    s.figura[0][1] = {1, 190, 110, 180, 260, 0x404040, 0, 2};
    s.clock[1] = {1, 700, 5};
    // Page 2: the graph and a menu entry back to page 1.
    s.grafik[2] = {1, 20, 60, 240, 150, 0};
    s.menu[1][1].used = 1;
    s.menu[1][1].x = 20;
    s.menu[1][1].y = 400;
    s.menu[1][1].text = QStringLiteral("Котёл");
    s.menu[1][1].target_page = 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OSTREL_EXAMPLES);

    std::vector<QRgb> palette;
    const QImage background = drawBackground(palette);
    const QString gifError = saveFileChecked(dir + QStringLiteral("/boiler.gif"), gifBytes(background, palette));
    if (!gifError.isEmpty()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(gifError));
        return 1;
    }

    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    const QString netlist = dir + QStringLiteral("/boiler.net");
    ws->settings.netlist_path = netlist;
    if (!importNetlistFile(ws->blocks, ws->catalog, netlist, ui) || !ui.messages().isEmpty()) {
        std::fprintf(stderr, "boiler.net does not import cleanly\n");
        return 1;
    }
    ws->settings.project_name = QStringLiteral("Котельная КВ-1,0");
    ws->settings.link_port = 1;
    ws->settings.controller_number = 1;
    ws->settings.ip_address = QStringLiteral("192.168.1.10");
    ws->settings.tcp_port = 4001;
    int alg = 0;
    for (int n = 1; n <= 96 && !alg; ++n)
        if (ws->blocks.block_type[n] == 45)
            alg = n;
    if (alg)
        fillAlgorithm(*ws, alg);
    fillPages(ws->pages);
    if (!writeProject(*ws, dir + QStringLiteral("/boiler.prt"), ui, {QLocale::c(), false})) {
        std::fprintf(stderr, "cannot write boiler.prt\n");
        return 1;
    }
    std::printf("wrote %s/boiler.prt and boiler.gif\n", qPrintable(dir));
    return 0;
}
