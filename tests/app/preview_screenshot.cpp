// Pictures of "Просмотр панели": the example project's page 1 as the panel
// shows it, with the sample values of boiler-values.json, and the same page
// with "Различия" on.
//   preview_screenshot <out-dir>
// Run under Xvfb (or offscreen); writes panel_preview.png and
// panel_preview_differences.png.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "display/panel_preview.h"
#include "display/ui/panel_preview_window.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace ostrel;

namespace {

bool save(QWidget& w, const QString& path)
{
    QApplication::processEvents();
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Absolute: opening the project makes its folder the current one.
    const QDir out(QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath()).absolutePath());
    QTemporaryDir tmp;
    for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif", "boiler-values.json"})
        QFile::copy(QStringLiteral(OSTREL_EXAMPLES "/") + QLatin1String(name), tmp.filePath(QLatin1String(name)));

    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    MainWindow w(*ws, ui);
    AppController controller(*ws, ui, w);
    w.show();
    (void)QTest::qWaitForWindowExposed(&w);
    bool ok = controller.openProjectFile(tmp.filePath(QStringLiteral("boiler.prt")));
    w.action(QStringLiteral("MnuSCADA"))->trigger();
    w.scadaActions().preview->trigger();
    PanelPreviewWindow& preview = controller.panelPreviewWindow();
    (void)QTest::qWaitForWindowExposed(&preview);
    controller.panelPreview().setClockTime(QDateTime(QDate(2026, 12, 10), QTime(10, 15)));
    ok = preview.showsImage() && ok;
    ok = save(preview, out.filePath(QStringLiteral("panel_preview.png"))) && ok;
    preview.findChild<QCheckBox*>(QStringLiteral("previewDifferences"))->setChecked(true);
    ok = save(preview, out.filePath(QStringLiteral("panel_preview_differences.png"))) && ok;

    for (const Message& m : ui.messages)
        std::printf("message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
