// Input files of the command-line tool: the check every input goes through
// and the opening of project files.
#include "cli/commands.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "workspace/workspace.h"
#include <QFileInfo>

namespace ostrel::cli {

void printMessage(const Message& m)
{
    // A warning (a background picture that cannot be loaded) lets the
    // command succeed: its line says so, as a script expects.
    printError(messageLine(m));
}

bool checkInputFile(const QString& path, QString& error)
{
    const QFileInfo info(path);
    if (!info.exists())
        error = QStringLiteral("cannot open %1: no such file").arg(path);
    else if (!info.isFile())
        error = QStringLiteral("cannot open %1: not a regular file").arg(path);
    else if (!info.isReadable())
        error = QStringLiteral("cannot open %1: permission denied").arg(path);
    else
        return true;
    return false;
}

bool openProjectInput(Workspace& ws, const QString& path, Interaction& ui, ProjectReadResult& result,
                      QString& error)
{
    if (!checkInputFile(path, error))
        return false;
    result = readProject(ws, QFileInfo(path).absoluteFilePath(), ui);
    if (!result.loaded()) {
        error = result.error.isEmpty() ? QStringLiteral("cannot read ") + path : path + QStringLiteral(": ") + result.error;
        return false;
    }
    // The program reads such a file and goes on; a script should notice.
    if (!result.commentsComplete)
        printError(QStringLiteral("warning: %1 ends inside its comment section; the comments and call marks "
                                  "after that point are empty")
                       .arg(path));
    return true;
}

bool loadPagesProject(Workspace& ws, const QString& path, QString& error)
{
    HeadlessInteraction ui(printMessage);
    ProjectReadResult r;
    if (!openProjectInput(ws, path, ui, r, error))
        return false;
    if (r.status == ProjectReadStatus::NetlistMissing)
        printError(QStringLiteral("warning: netlist not found (%1); the pages are written all the same")
                       .arg(r.netlistPath));
    else if (r.importError)
        printError(QStringLiteral("warning: the import of the netlist %1 ended with an error; the pages do not "
                                  "depend on it")
                       .arg(r.netlistPath));
    return true;
}

} // namespace ostrel::cli
