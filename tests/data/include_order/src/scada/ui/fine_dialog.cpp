// A window folder may use widgets, its own core, the core below and the
// windows of the folders below.
#include "scada/scada_pages.h"
#include "platform/ui/qt_interaction.h"
#include <QDialog>
