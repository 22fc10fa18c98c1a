#include "workspace/new_project.h"

#include "platform/interaction.h"
#include "workspace/workspace.h"

namespace ostrel {

bool chooseAndImportNetlist(Workspace& ws, Interaction& ui, bool recordPath, ImportResult* result)
{
    const QString path = ui.openFile(kNetlistFilter, QString());
    if (path.isEmpty())
        return false;
    NetlistItems items;
    if (!readNetlistFile(path, items))
        return false;
    if (recordPath)
        ws.settings.netlist_path = path;
    ImportResult r = importNetlist(ws.blocks, ws.catalog, items, ui);
    if (result)
        *result = std::move(r);
    return true;
}

} // namespace ostrel
