// check: the project check, as the configurator's "Проверка проекта" shows
// it: one line a problem, or JSON. Exit status 0 without an error, 1 with at
// least one, 2 when the project cannot be read.
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "platform/headless_interaction.h"
#include "project/project_check.h"
#include "project/project_reader.h"
#include "workspace/workspace.h"
#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>
#include <memory>

namespace ostrel::cli {

namespace {

const char* kUsage = "usage: ostrel-cli check PROJECT.prt [--json]";

} // namespace

int runCheck(const QStringList& args)
{
    QString input;
    bool json = false;
    const std::vector<Option> options{
        {.name = QLatin1StringView("--json"), .take = [&json](const QString&) {
             json = true;
             return QString();
         }, .flag = true},
    };
    QString error = readArguments(args, options, singleInput(input));
    if (error.isEmpty() && input.isEmpty())
        error = QString::fromLatin1(kUsage);
    if (!error.isEmpty()) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui(printMessage);
    ProjectReadResult r;
    if (!openProjectInput(*ws, input, ui, r, error)) {
        printError(error);
        return 2;
    }
    CheckContext context;
    context.projectFolder = QFileInfo(input).absolutePath();
    context.netlistMissing = r.status == ProjectReadStatus::NetlistMissing;
    const QList<Problem> problems = checkProject(*ws, context);
    if (json) {
        printJson(QJsonDocument(problemsJson(problems)).toJson(QJsonDocument::Compact));
    } else {
        for (const Problem& p : problems)
            std::fprintf(stdout, "%s\n", p.line().toUtf8().constData());
        std::fflush(stdout);
    }
    return hasErrors(problems) ? 1 : 0;
}

} // namespace ostrel::cli
