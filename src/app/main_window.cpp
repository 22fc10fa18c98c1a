#include "app/main_window.h"
#include "app/workspace.h"
#include "platform/interaction.h"

namespace ostrel {

MainWindow::MainWindow(Workspace& ws, Interaction& ui, QWidget* parent)
    : QMainWindow(parent), ws_(ws), ui_(ui)
{
    setObjectName(QStringLiteral("Config_SCADA"));
}

} // namespace ostrel
