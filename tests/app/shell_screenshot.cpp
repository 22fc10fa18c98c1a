// Builds the main window, imports a netlist through the settings dialog as a
// user would, and saves pictures of the idle screen, the dialog, the scheme
// overview and SCADA mode.
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "platform/checked_file.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <memory>

using namespace ostrel;

namespace {

bool save(QWidget& w, const QString& path)
{
    QApplication::processEvents();
    // Encoded in memory, then saved through the checked save, so a full disk
    // is reported instead of leaving a cut picture.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const QString error = w.grab().save(&buffer, "PNG") ? saveFileChecked(path, png) : QStringLiteral("cannot encode");
    std::printf("%s %s\n", error.isEmpty() ? "wrote" : "FAILED", qPrintable(error.isEmpty() ? path : error));
    return error.isEmpty();
}

void click(QWidget& parent, const char* name)
{
    if (auto* b = parent.findChild<QPushButton*>(QLatin1String(name)))
        b->click();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const QString netlist = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(OSTREL_EXAMPLES "/boiler.net");

    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    MainWindow w(*ws, ui);
    w.show();
    (void)QTest::qWaitForWindowExposed(&w);
    bool ok = save(w, out.filePath("shell_idle.png"));

    ui.fileAnswers << netlist;
    w.newProject();
    SettingsDialog& dlg = w.settingsDialog();
    (void)QTest::qWaitForWindowExposed(&dlg);
    click(dlg, "Load_Key_SCHEMA");
    ok = save(dlg, out.filePath("shell_settings.png")) && ok;
    click(dlg, "Ok");
    ok = save(w, out.filePath("shell_scheme.png")) && ok;

    w.showScadaMode();
    w.selectPage(2);
    ok = save(w, out.filePath("shell_scada.png")) && ok;

    for (const Message& m : ui.messages)
        std::printf("message: %s\n", qPrintable(m.text));
    return ok ? 0 : 1;
}
