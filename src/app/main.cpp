// ostrel-configurator: the desktop program.
#include "app/main_window.h"
#include "app/workspace.h"
#include "platform/qt_interaction.h"
#include <QApplication>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    auto ws = std::make_unique<ostrel::Workspace>();
    ostrel::QtInteraction interaction;
    ostrel::MainWindow window(*ws, interaction);
    interaction.setParent(&window);
    window.show();
    return app.exec();
}
