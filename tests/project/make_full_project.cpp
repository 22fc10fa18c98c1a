// Regenerates tests/data/full/full.prt: the example scheme with every slot of
// every shown page in use, each bound element bound to a block of the scheme
// (a few to blocks it does not hold), and the example's step program in block 14.
// The golden CLI test writes, renders and resaves it.
//   make_full_project EXAMPLES_DIR OUT_DIR
#include "../tests/project/project_fixture.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "scada/element_ref.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

using namespace ostrel;

namespace {

const int kBlocks[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 97, 98, 99};

void fillPage(ScadaPages& pages, int p)
{
    const size_t pi = size_t(p);
    pages.fill_color[pi] = 0x604830 + p * 0x030201;
    auto place = [&](ObjectKind kind, int n, QPoint pos) {
        const ElementRef ref{kind, p, n};
        withRecord(pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(pages, ref, pos);
    };
    for (int n = 1; n <= 32; ++n) {
        const size_t ni = size_t(n);
        const int col = (n - 1) % 16, row = (n - 1) / 16;
        const uint8_t block = uint8_t(kBlocks[(n + p) % 18]);
        ParametrElement& par = pages.parametr[pi][ni];
        par.font = uint8_t(n % 5 == 0 ? 24 : 10 + 4 * (n % 3));
        par.digits = uint8_t(n % 5);
        par.color = 0x00FFFF; par.back_color = 0x202020; par.frame = uint8_t(n % 2);
        par.block = block; par.output = packParamOutput(n % 3, n % 7 == 0);
        place(ObjectKind::Parametr, n, {4 + col * 34, 4 + row * 22});
        SignalElement& sig = pages.signal[pi][ni];
        const int shape = (n - 1) % 8;
        sig.width = packSignalWidth(shape == 6 ? 20 : shape == 7 ? 9 : 18, shape);
        sig.height = packSignalHeight(shape == 6 ? 10 : 18, shape);
        sig.color = n % 3 == 0 ? 0x0000FF : 0x00C000; sig.back_color = 0x404040; sig.frame = 1;
        sig.blink = n % 4 == 0; sig.block = block; sig.output = uint8_t(n % 2);
        place(ObjectKind::Signal, n, {8 + col * 34, 50 + row * 24});
        TextSignalElement& ts = pages.text_signal[pi][ni];
        ts.text_off = QStringLiteral("Стоп %1").arg(n);
        ts.text_on = n == 5 ? QStringLiteral("Пуск насоса номер %1").arg(n) : QStringLiteral("Пуск %1").arg(n);
        ts.font = uint8_t(n % 2 ? 10 : 14); ts.color = 0xFFFFFF; ts.back_color = 0x800000; ts.frame = 1;
        ts.blink = n % 3 == 0; ts.block = block; ts.output = 0;
        place(ObjectKind::TextSignal, n, {4 + (n - 1) % 8 * 69, 98 + (n - 1) / 8 * 21});
        LevelElement& lv = pages.level[pi][ni];
        lv.width = int16_t(n % 2 ? 12 : 44); lv.height = int16_t(n % 2 ? 44 : 12);
        lv.scale = 100 * n; lv.color = 0x0080FF; lv.back_color = 0xE0E0E0;
        lv.style = packLevelStyle(n % 2 == 0, n % 3 != 0); lv.block = block; lv.output = 0;
        place(ObjectKind::Level, n, {4 + (n - 1) * 17, 186});
        pages.go_block[pi][ni].target = int16_t(n <= 8 ? 200 + n : n <= 16 ? 202 + n : n == 17 ? 220 : n);
        pages.go_block[pi][ni].option = packGoOption(n % 4 == 0, n % 3);
        place(ObjectKind::GoBlock, n, {4 + col * 34, 234 + row * 42});
        ControlElement& c = pages.control[pi][ni];
        c.type = uint8_t((n - 1) % 14); c.block = block; c.channel = uint8_t(1 + n % 4);
        place(ObjectKind::Control, n, {4 + col * 34, 320 + row * 42});
        VentElement& v = pages.vent[pi][ni];
        v.picture = (n - 1) % 23; v.block = block; v.output = uint8_t(n % 2);
        place(ObjectKind::Vent, n, {4 + col * 34, 400 + row * 30});
        FiguraElement& f = pages.figura[pi][ni];
        f.size_x = int16_t(16 + n % 5); f.size_y = 20; f.type = int16_t(n % 2); f.line_width = int16_t(1 + n % 3);
        f.color = 0x00FFFF;
        place(ObjectKind::Figura, n, {566 + (n - 1) % 8 * 28, 236 + (n - 1) / 8 * 26});
    }
    const char* faces[] = {"Arial", "Times New Roman", "Courier New", "Tahoma"};
    for (int n = 1; n <= 64; ++n) {
        TextElement& t = pages.text[pi][size_t(n)];
        t.text = QString::number(n); t.font_name = QString::fromLatin1(faces[n % 4]);
        t.font_size = uint8_t(8 + n % 3); t.bold = int16_t(n % 2 ? -1 : 0); t.italic = int16_t(n % 5 ? 0 : -1);
        t.color = 0xFFFFFF;
        place(ObjectKind::Text, n, {566 + (n - 1) % 8 * 28, 344 + (n - 1) / 8 * 16});
    }
    for (int n = 1; n <= 8; ++n) {
        pages.menu[pi][size_t(n)].text = QStringLiteral("Страница %1").arg(n);
        pages.menu[pi][size_t(n)].target_page = uint8_t(n);
        place(ObjectKind::Menu, n, {560 + (n - 1) % 2 * 120, 4 + (n - 1) / 2 * 42});
    }
    *pages.grafikOfPage(p) = {1, 560, 176, 170, 54, uint8_t(p)};
    *pages.clockOfPage(p) = {1, 740, 180};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_full_project EXAMPLES_DIR OUT_DIR\n");
        return 2;
    }
    const QDir examples(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    QString error;
    if (!loadProjectForCli(*ws, examples.filePath(QStringLiteral("boiler.prt")), &error, &ui)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        if (p == 0)
            continue; // page 1 keeps the example's background picture and elements
        fillPage(ws->pages, p);
        ws->pages.background_kind[size_t(p)] = 0;
        ws->pages.shortRef(p).clear();
        ws->pages.fullPath(p).clear();
    }
    // Block 14 keeps the example's step program.
    ws->settings.project_name = QStringLiteral("Полный проект");
    if (!writeProject(*ws, out.filePath(QStringLiteral("full.prt")), ui, {QLocale::c(), true})) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.filePath(QStringLiteral("full.prt"))));
        return 1;
    }
    return 0;
}
