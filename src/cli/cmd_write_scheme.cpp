// write-scheme: import a scheme into a fresh workspace and write it into a
// controller over TCP or a serial device, or dump the exact byte stream.
#include "cli/commands.h"
#include "cli/link_write.h"
#include "cli/write_guard.h"
#include "wire/scheme_encoder.h"
#include "link/transfer_engine.h"
#include "platform/checked_file.h"
#include "platform/headless_interaction.h"
#include "project/project_check.h"
#include "project/project_reader.h"
#include "link/write_journal.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <memory>

namespace ostrel::cli {

namespace {

struct Options {
    QString input;
    LinkOptions link;      // no --controller: 1 for a netlist, the project's own for a project
    int version = kDefaultVersion;
    bool versionGiven = false;
    bool strict = false;     // refuse a scheme the check finds errors in
    bool noJournal = false;  // no journal record
};

const char* kUsage =
    "usage: ostrel-cli write-scheme (NETLIST.net|PROJECT.prt) (--tcp HOST:PORT | --serial DEVICE | --dump FILE)\n"
    "                  [--controller 1..8] [--version 5|3|0|1] [--strict] [--no-journal]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    std::vector<Option> options = linkOptions(o.link);
    options.push_back({.name = QLatin1StringView("--version"), .take = [&o](const QString& v) {
                           bool ok = false;
                           o.version = v.toInt(&ok);
                           o.versionGiven = true;
                           if (!ok || !isOfferedVersion(o.version))
                               return QStringLiteral("--version expects 5, 3, 0 or 1");
                           return QString();
                       }});
    options.push_back({.name = QLatin1StringView("--strict"), .take = [&o](const QString&) {
                           o.strict = true;
                           return QString();
                       }, .flag = true});
    options.push_back({.name = QLatin1StringView("--no-journal"), .take = [&o](const QString&) {
                           o.noJournal = true;
                           return QString();
                       }, .flag = true});
    error = readArguments(args, options, singleInput(o.input));
    if (!error.isEmpty())
        return false;
    if (o.input.isEmpty() || !o.link.oneTarget()) {
        error = QString::fromLatin1(kUsage);
        return false;
    }
    return true;
}

bool isProjectFile(const QString& path)
{
    return path.endsWith(QLatin1String(".prt"), Qt::CaseInsensitive);
}

// Fills a fresh workspace from the input file. The one place that knows the
// kinds of input: a netlist is imported as a new project would be; a project
// brings its version, controller number and algorithm program with it.
// Returns 0, or the exit status after its line was printed: 2 when the input
// cannot be read, 1 when it yields no scheme that may be written (the import
// ended with an error, or not a single block came from the netlist), since
// the controller's scheme would be replaced by a broken or empty one.
int loadInput(Workspace& ws, const QString& path, Interaction& ui)
{
    QString error;
    bool importError = false;
    int blocks = 0;
    if (isProjectFile(path)) {
        ProjectReadResult r;
        if (!openProjectInput(ws, path, ui, r, error)) {
            printError(error);
            return 2;
        }
        if (r.status == ProjectReadStatus::NetlistMissing) {
            printError(QStringLiteral("netlist not found: %1").arg(r.netlistPath));
            return 2;
        }
        importError = r.importError;
        blocks = r.importedBlocks;
    } else {
        if (!checkInputFile(path, error)) {
            printError(error);
            return 2;
        }
        ImportResult result;
        if (!newProjectFromNetlist(ws, QFileInfo(path).absoluteFilePath(), ui, &result)) {
            printError(QStringLiteral("cannot open ") + path);
            return 2;
        }
        importError = result.errorShown;
        blocks = result.blocks;
    }
    if (importError) {
        printError(QStringLiteral("write-scheme: the netlist import ended with an error; nothing was written"));
        return 1;
    }
    if (blocks == 0) {
        printError(QStringLiteral("write-scheme: the netlist yields no block; nothing was written"));
        return 1;
    }
    return 0;
}

SchemeImage schemeImage(const Workspace& ws)
{
    return buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number);
}

QByteArray summary(const Workspace& ws, qsizetype bytes)
{
    QJsonObject o;
    o.insert(QStringLiteral("ok"), true);
    o.insert(QStringLiteral("bytes"), qint64(bytes));
    o.insert(QStringLiteral("param_bytes"), ws.blocks.param_bytes);
    o.insert(QStringLiteral("text_bytes"), ws.blocks.text_bytes);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

int runWriteScheme(const QStringList& args)
{
    Options o;
    QString error;
    if (!parseOptions(args, o, error) || (!o.link.dumpFile.isEmpty() && !checkOutputFile(o.link.dumpFile, error))) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    // Messages go to standard error as they come; the choosers answer "cancel".
    // A link error gets its address and cause on the same line.
    std::function<QString()> linkDetail;
    HeadlessInteraction ui([&linkDetail](const Message& m) { printLinkMessage(m, linkDetail); });
    ws->selectVersion(uint8_t(o.version));
    if (const int status = loadInput(*ws, o.input, ui))
        return status;
    // A project keeps its own version and controller unless told otherwise.
    if (!isProjectFile(o.input) || o.link.controller)
        ws->settings.controller_number = int16_t(o.link.controller.value_or(1));
    if (isProjectFile(o.input) && o.versionGiven)
        ws->selectVersion(uint8_t(o.version));
    CheckContext context;
    context.projectFolder = QFileInfo(o.input).absolutePath();
    if (!checkBeforeWrite(*ws, context, CheckScope::schemeOnly(), o.strict))
        return 1;

    if (!o.link.dumpFile.isEmpty()) {
        const SchemeImage image = schemeImage(*ws);
        if (!image.fatal.isEmpty()) {
            ui.message(image.fatal, kParameterErrorTitle, MessageIcon::None);
            return 1;
        }
        if (image.parameterError)
            ui.message(kParameterError, kParameterErrorTitle, MessageIcon::None);
        const QByteArray stream = schemeWireStream(image);
        const QString error = saveFileChecked(o.link.dumpFile, stream);
        if (!error.isEmpty()) {
            printError(QStringLiteral("cannot write ") + error);
            return 1;
        }
        printJson(summary(*ws, stream.size()));
        return 0;
    }

    useLinkTarget(o.link, ws->settings);
    TransferEngine engine(ws->transfer, ws->settings, ui);
    linkDetail = [&engine] { return engine.errorDetail(); };
    // A write from a project is journalled beside it.
    std::unique_ptr<JournalOfWrites> journal;
    if (isProjectFile(o.input) && !o.noJournal)
        journal = std::make_unique<JournalOfWrites>(engine, *ws, journalPathFor(QFileInfo(o.input).absoluteFilePath()),
                                                    linkName(o.link));
    const int status = runLinkWrite(
        engine, o.link, [&] { return engine.startSchemeWrite(schemeImage(*ws)); },
        [&ws](qsizetype sent) { return summary(*ws, sent); });
    return status == 0 && journal && journal->failures() ? 1 : status;
}

} // namespace ostrel::cli
