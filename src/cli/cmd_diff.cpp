// diff: what changed between two projects, or between a project and the
// last write of each of its parts (--journal). Exit status 0 when equal, 1
// when different, 2 when an input cannot be read.
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "link/write_journal.h"
#include "platform/headless_interaction.h"
#include "project/project_diff.h"
#include "project/project_journal.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>
#include <memory>

namespace ostrel::cli {

namespace {

const char* kUsage = "usage: ostrel-cli diff A.prt (B.prt | --journal) [--json]";

void printLine(const QString& line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
}

bool openProject(Workspace& ws, const QString& path)
{
    HeadlessInteraction ui(printMessage);
    ProjectReadResult r;
    QString error;
    if (!openProjectInput(ws, path, ui, r, error)) {
        printError(error);
        return false;
    }
    return true;
}

int journalDiff(const QString& input, bool json)
{
    auto ws = std::make_unique<Workspace>();
    if (!openProject(*ws, input))
        return 2;
    const QString path = journalPathFor(QFileInfo(input).absoluteFilePath());
    const JournalContents journal = readJournal(path);
    if (!journal.error.isEmpty()) {
        printError(QStringLiteral("cannot read ") + journal.error);
        return 2;
    }
    if (!journal.exists)
        printError(QStringLiteral("warning: no journal of writes beside the project: ") + path);
    for (const QString& w : journal.warnings)
        printError(QStringLiteral("warning: ") + w);
    ElementPictures pictures;
    PagePainter painter(pictures);
    const QList<PartState> parts = changedParts(*ws, journal, painter, QFileInfo(input).absolutePath());
    bool different = false;
    QJsonArray list;
    for (const PartState& st : parts) {
        different = different || st.changed || !st.error.isEmpty();
        if (json) {
            QJsonObject o;
            o.insert(QStringLiteral("part"), st.page < 0 ? kSchemePart : kPagePart);
            if (st.page >= 0)
                o.insert(QStringLiteral("page"), st.page + 1);
            o.insert(QStringLiteral("written"), st.last ? QJsonValue(st.last->time.toUTC().toString(Qt::ISODate))
                                                         : QJsonValue());
            o.insert(QStringLiteral("changed"), st.changed);
            if (!st.error.isEmpty())
                o.insert(QStringLiteral("error"), st.error);
            o.insert(QStringLiteral("summary"), st.summary());
            o.insert(QStringLiteral("changes"), changesJson(st.changes).value(QStringLiteral("changes")));
            list.append(o);
        } else {
            printLine(st.summary());
            for (const Change& c : st.changes)
                printLine(QStringLiteral("  ") + c.line());
        }
    }
    if (json)
        printJson(QJsonDocument(QJsonObject{{QStringLiteral("parts"), list}}).toJson(QJsonDocument::Compact));
    else
        std::fflush(stdout);
    return different ? 1 : 0;
}

} // namespace

int runDiff(const QStringList& args)
{
    QStringList inputs;
    bool json = false;
    bool journal = false;
    const std::vector<Option> options{
        {.name = QLatin1StringView("--json"), .take = [&json](const QString&) {
             json = true;
             return QString();
         }, .flag = true},
        {.name = QLatin1StringView("--journal"), .take = [&journal](const QString&) {
             journal = true;
             return QString();
         }, .flag = true},
    };
    QString error = readArguments(args, options, [&inputs](const QString& a) {
        inputs << a;
        return inputs.size() > 2 ? QStringLiteral("unexpected argument: ") + a : QString();
    });
    if (error.isEmpty() && inputs.size() != (journal ? 1 : 2))
        error = QString::fromLatin1(kUsage);
    if (!error.isEmpty()) {
        printError(error);
        return 2;
    }
    if (journal)
        return journalDiff(inputs[0], json);
    auto a = std::make_unique<Workspace>();
    auto b = std::make_unique<Workspace>();
    if (!openProject(*a, inputs[0]) || !openProject(*b, inputs[1]))
        return 2;
    const QList<Change> changes = diffProjects(*a, *b);
    if (json) {
        printJson(QJsonDocument(changesJson(changes)).toJson(QJsonDocument::Compact));
    } else {
        for (const Change& c : changes)
            printLine(c.line());
        std::fflush(stdout);
    }
    return changes.isEmpty() ? 0 : 1;
}

} // namespace ostrel::cli
