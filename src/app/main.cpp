// ostrel-configurator: the desktop program.
#include "app/app_controller.h"
#include "app/app_icon.h"
#include "app/main_window.h"
#include "platform/ui/qt_interaction.h"
#include "platform/qt_translation.h"
#include "workspace/workspace.h"
#include <QApplication>
#include <QTimer>
#include <QTranslator>
#include <memory>

int main(int argc, char** argv)
{
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
    ostrel::AppController controller(*ws, interaction, window);
    window.show();

    // A project named on the command line opens once the window is up.
    const QStringList args = app.arguments();
    if (args.size() > 1) {
        const QString path = args.at(1);
        QTimer::singleShot(0, &window, [&window, path] { window.openProjectFromCommandLine(path); });
    }
    return app.exec();
}
