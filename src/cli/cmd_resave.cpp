#include "cli/commands.h"

#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "workspace/workspace.h"

#include <QFileInfo>
#include <memory>

namespace ostrel::cli {

// Opens a project the way the program does and saves it again.
int runResave(const QStringList& args)
{
    if (args.size() != 2) {
        printError(QStringLiteral("usage: ostrel-cli resave IN.prt OUT.prt"));
        return 2;
    }
    const QString out = QFileInfo(args[1]).absoluteFilePath();
    auto ws = std::make_unique<Workspace>();
    // The import's messages go to standard error.
    HeadlessInteraction ui(printMessage);
    ProjectReadResult r;
    QString error;
    // A device or a folder as OUT is refused before anything is read, so
    // that no companion is copied beside it either.
    if (!checkOutputFile(args[1], error) || !openProjectInput(*ws, args[0], ui, r, error)) {
        printError(error);
        return 2;
    }
    if (r.status == ProjectReadStatus::NetlistMissing)
        printError(QStringLiteral("warning: netlist not found (%1); scheme taken from the project file")
                       .arg(r.netlistPath));
    // A scheme whose import went wrong is not saved over anything.
    if (r.importError) {
        printError(QStringLiteral("resave: the import of the netlist %1 ended with an error; nothing was written")
                       .arg(r.netlistPath));
        return 1;
    }
    // Nor a scheme that lost its blocks to an empty or unrelated netlist
    // beside the project: saved, the file would lose them for good.
    if (r.status != ProjectReadStatus::NetlistMissing && r.importedBlocks == 0) {
        printError(QStringLiteral("resave: the netlist %1 yields no block; nothing was written").arg(r.netlistPath));
        return 1;
    }

    ProjectWriteOptions options;
    // Keep the decimal separator the file was written with.
    if (r.decimalPoint == QLatin1String(","))
        options.locale = QLocale(QLocale::Russian, QLocale::Russia);
    else if (r.decimalPoint == QLatin1String("."))
        options.locale = QLocale::c();
    // A failed save is told by the lines below, not by the program's messages.
    HeadlessInteraction quiet;
    const ProjectWriteResult written = writeProject(*ws, out, quiet, options);
    if (!written) {
        printError(QStringLiteral("cannot write %1").arg(written.error));
        return 1;
    }
    // The project file is written; a companion that is not is still a failure.
    for (const QString& copy : written.failedCopies)
        printError(QStringLiteral("cannot copy %1").arg(copy));
    return written.failedCopies.isEmpty() ? 0 : 1;
}

} // namespace ostrel::cli
