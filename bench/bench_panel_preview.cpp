// "Просмотр панели" after an edit of a full page (page 8 of tests/data/full,
// every slot of every kind in use): the edit moves a parameter by a pixel,
// then the preview composes the page as a write and the panel do (static
// layer painted, encoded into the bands and tables, framed as sixteen
// packets, decoded, the live layer drawn with sample values) and its window
// paints it. The budget for the whole update is 10 ms.
//   bench_panel_preview [--runs N]
#include "display/panel_page.h"
#include "display/panel_preview.h"
#include "display/ui/panel_preview_window.h"
#include "display/ui/preview_image_view.h"
#include "link/sequences.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "wire/link_receiver.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace ostrel;

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
    int runs = 101;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--runs")); i > 0 && i + 1 < args.size())
        runs = std::max(1, args[i + 1].toInt());

    const QString path = QStringLiteral(OSTREL_TEST_DATA "/full/full.prt");
    auto ws = std::make_unique<Workspace>();
    QString error;
    if (!loadProjectForCli(*ws, path, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    const int page = 7;
    const QString folder = QFileInfo(path).absolutePath();
    ElementPictures pictures;
    PagePainter painter(pictures);
    BlockValues values;
    for (int b = 1; b <= 15; ++b) {
        values.setOutputs(b, {b * 1.25, double(b % 2), 1234.5});
        values.setSetpoints(b, {b * 10.0});
    }
    PanelPreview preview(PanelPreviewSource{ws->pages, painter, [] { return page; },
                                            [&] { return int(ws->version_code); }, [] { return 1; },
                                            [&] { return folder; }, [] { return QString(); }});
    preview.values().setValues(values);
    HeadlessInteraction ui;
    PanelPreviewWindow window(preview, ui);
    window.show();

    // The edit: parameter 1 one pixel right, then back.
    ParametrElement& moved = ws->pages.parametr[size_t(page)][1];
    const auto edit = [&] { moved.x = int16_t(moved.x ^ 1); };
    auto ts = std::make_unique<TransferState>();
    PanelPageOptions po;
    po.version_code = ws->version_code;
    po.project_folder = folder;
    QImage target(800, 480, QImage::Format_RGB32);

    preview.setActive(true);
    if (!preview.result().ok) {
        std::fprintf(stderr, "the full page is not composed: %s\n", qPrintable(preview.result().error.text));
        return 1;
    }
    const PagePrepareResult prepared = preparePage(painter, ws->pages, page, ws->version_code, folder, *ts);
    const QByteArray stream = pageWireStream(*ts, 1, page);
    std::printf("full page 8: %lld bytes on the wire in 16 packets\n\n", qlonglong(stream.size()));
    std::printf("%-56s %12s\n", QStringLiteral("step (%1 runs)").arg(runs).toLatin1().constData(), "median ms");
    std::printf("%-56s %12.3f\n", "paint the static layer and encode (the write's code)", median([&] {
                    edit();
                    (void)preparePage(painter, ws->pages, page, ws->version_code, folder, *ts);
                }, runs));
    std::printf("%-56s %12.3f\n", "packets, framing and decoding (the panel's receiver)", median([&] {
                    LinkReceiver rx(ReceiverOptions{ws->version_code, std::nullopt, 0});
                    rx.feed(pageWireStream(*ts, 1, page));
                    rx.finish();
                    (void)rx.take();
                }, runs));
    PanelPage composed = composePanelPage(painter, ws->pages, page, values, po, *ts);
    std::printf("%-56s %12.3f\n", "live layer over the received image",
                median([&] { recomposeLiveLayer(composed, values, {}); }, runs));
    std::printf("%-56s %12.3f\n", "composePanelPage: all of the above", median([&] {
                    edit();
                    (void)composePanelPage(painter, ws->pages, page, values, po, *ts);
                }, runs));
    std::printf("%-56s %12.3f\n", "update after an edit: compose + paint of the window view", median([&] {
                    edit();
                    preview.refresh();
                    window.view()->render(&target);
                }, runs));
    preview.setDifferences(true);
    std::printf("%-56s %12.3f\n", "the same with the differences marked", median([&] {
                    edit();
                    preview.refresh();
                    window.view()->render(&target);
                }, runs));
    return prepared.ok ? 0 : 1;
}
