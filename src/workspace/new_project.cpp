#include "workspace/new_project.h"

#include "platform/interaction.h"
#include "workspace/workspace.h"

#include <QDir>

namespace ostrel {

bool importProjectNetlist(Workspace& ws, const QString& path, Interaction& ui, ImportResult* result)
{
    if (path.isEmpty() || !importNetlistFile(ws.blocks, ws.catalog, path, ui, result))
        return false;
    // The project now stands on this netlist: saving copies it and names it.
    ws.settings.netlist_path = QDir::toNativeSeparators(path);
    ws.scheme_without_netlist = false;
    return true;
}

void resetForNewProject(Workspace& ws)
{
    resetNewProjectBlocks(ws.blocks, ws.catalog);
}

bool newProjectFromNetlist(Workspace& ws, const QString& path, Interaction& ui, ImportResult* result)
{
    if (!importProjectNetlist(ws, path, ui, result))
        return false;
    resetForNewProject(ws);
    return true;
}

QString netlistOpenError(const QString& path)
{
    return QStringLiteral("Не удалось открыть файл ") + QDir::toNativeSeparators(path);
}

} // namespace ostrel
