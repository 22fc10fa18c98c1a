#include "cli/write_guard.h"
#include "cli/commands.h"
#include "link/transfer_engine.h"
#include "project/project_check.h"
#include "project/project_journal.h"

namespace ostrel::cli {

bool checkBeforeWrite(const Workspace& ws, const CheckContext& context, const CheckScope& scope, bool strict)
{
    bool refused = false;
    for (const Problem& p : checkProject(ws, context, scope)) {
        if (!p.isError() || p.code == QLatin1String("page-encoding"))
            continue;
        // A background picture that cannot be loaded: the write says so
        // itself and sends the fill colour (refused only with --strict).
        if (!strict && p.code == QLatin1String("picture-missing") && p.place.where == Place::Where::Page)
            continue;
        printError(p.line(strict ? QStringLiteral("error") : QStringLiteral("warning")));
        refused = refused || strict;
    }
    if (refused)
        printError(QStringLiteral("--strict: the check found errors; nothing was written"));
    return !refused;
}

JournalOfWrites::JournalOfWrites(TransferEngine& engine, const Workspace& ws, const QString& journalPath,
                                 const QString& link)
{
    QObject::connect(&engine, &TransferEngine::partWritten, scope_.get(),
                     [this, &ws, journalPath, link](int page, const QByteArray& sent) {
                         const QString error = recordWrite(journalPath, journalRecord(ws, page, sent, link));
                         if (!error.isEmpty()) {
                             printError(QStringLiteral("cannot write the journal ") + error);
                             ++failures_;
                         }
                     });
}

} // namespace ostrel::cli
