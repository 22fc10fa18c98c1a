// ostrel-configurator: the desktop program.
#include "app/app_controller.h"
#include "app/app_icon.h"
#include "app/main_window.h"
#include "platform/program_info.h"
#include "platform/ui/qt_interaction.h"
#include "platform/qt_translation.h"
#include "workspace/workspace.h"
#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>
#include <memory>

namespace {

const char* kUsage =
    "usage: ostrel-configurator [PROJECT.prt]\n"
    "       ostrel-configurator --help | --version\n"
    "  Starts the configurator and opens PROJECT.prt once the window is up.\n"
    "  Qt's own options (-platform NAME, -style NAME, ...) are taken as well.\n";

} // namespace

int main(int argc, char** argv)
{
    // Answered before the application object exists: no display is needed.
    for (int i = 1; i < argc; ++i) {
        const ostrel::InfoRequest info = ostrel::infoRequest(QString::fromLocal8Bit(argv[i]));
        if (info != ostrel::InfoRequest::None)
            return ostrel::answerInfoRequest(info, QStringLiteral("ostrel-configurator"), QString::fromLatin1(kUsage));
    }
    QApplication app(argc, argv);
    // Qt's dialogs and buttons in Russian, like the rest of the program.
    QTranslator qtTexts;
    ostrel::installQtTranslation(app, qtTexts);
    app.setWindowIcon(ostrel::applicationIcon());
    // The workspace holds large fixed tables: keep it off the stack.
    auto ws = std::make_unique<ostrel::Workspace>();
    ostrel::QtInteraction interaction;
    ostrel::MainWindow window(*ws, interaction);
    interaction.setParent(&window);
    // Copies of unsaved work go into the user's application data, at most
    // once a minute.
    ostrel::RecoveryOptions recovery;
    recovery.dir = QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                       .filePath(QStringLiteral("recovery"));
    ostrel::AppController controller(*ws, interaction, window, recovery);
    window.show();

    // Once the window is up: a copy a crashed run left behind is offered,
    // then a project named on the command line opens.
    const QStringList args = app.arguments();
    const QString path = args.size() > 1 ? args.at(1) : QString();
    QTimer::singleShot(0, &window, [&window, &controller, path] {
        controller.offerRecovery();
        if (!path.isEmpty())
            window.openProjectFromCommandLine(path);
    });
    return app.exec();
}
