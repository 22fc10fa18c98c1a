// write-pages: paint, encode and write SCADA pages of a project into a
// controller over TCP or a serial device with the protocol's pacing and page
// chain, or dump the exact packets of the pages without waiting.
#include "cli/commands.h"
#include "cli/link_write.h"
#include "cli/write_guard.h"
#include "wire/page_encoder.h"
#include "link/page_write.h"
#include "link/sequences.h"
#include "link/transfer_engine.h"
#include "link/write_journal.h"
#include "project/project_check.h"
#include "platform/headless_interaction.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <memory>

namespace ostrel::cli {

namespace {

struct Options {
    QString input;
    int page = 0;          // 1..8; 0 = all pages
    bool all = false;
    LinkOptions link;      // no --controller: the project's
    bool strict = false;   // refuse pages the check finds errors in
    bool noJournal = false;
};

const char* kUsage =
    "usage: ostrel-cli write-pages PROJECT.prt (--page 1..8 | --all)\n"
    "                  (--tcp HOST:PORT | --serial DEVICE | --dump FILE) [--controller 1..8]\n"
    "                  [--strict] [--no-journal]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    int selections = 0;
    std::vector<Option> options = linkOptions(o.link);
    options.push_back({.name = QLatin1StringView("--page"), .take = [&](const QString& v) {
                           o.page = parsePageNumber(v);
                           ++selections;
                           return o.page < 0 ? QStringLiteral("--page expects 1..8") : QString();
                       }});
    options.push_back({.name = QLatin1StringView("--all"), .take = [&](const QString&) {
                           o.all = true;
                           ++selections;
                           return QString();
                       }, .flag = true});
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
    if (o.input.isEmpty() || !o.link.oneTarget() || selections != 1) {
        error = QString::fromLatin1(kUsage);
        return false;
    }
    return true;
}

QByteArray summary(const QList<int>& pages, qsizetype bytes)
{
    QJsonArray written;
    for (int p : pages)
        written.append(p + 1);
    QJsonObject o;
    o.insert(QStringLiteral("ok"), true);
    o.insert(QStringLiteral("pages"), written);
    o.insert(QStringLiteral("bytes"), qint64(bytes));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

int runWritePages(const QStringList& args)
{
    Options o;
    QString error;
    if (!parseOptions(args, o, error) || (!o.link.dumpFile.isEmpty() && !checkOutputFile(o.link.dumpFile, error))) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    if (!loadPagesProject(*ws, o.input, error)) {
        printError(error);
        return 2;
    }
    if (o.link.controller)
        ws->settings.controller_number = int16_t(*o.link.controller);
    const QString folder = QFileInfo(o.input).absolutePath();
    // Messages go to standard error as they come; the choosers answer "cancel".
    // A link error gets its address and cause on the same line.
    std::function<QString()> linkDetail;
    HeadlessInteraction ui([&linkDetail](const Message& m) { printLinkMessage(m, linkDetail); });
    ElementPictures pictures;
    PagePainter painter(pictures);
    const TransferEngine::PagePreparer prepare =
        makePagePreparer(painter, ws->pages, ws->version_code, [folder] { return folder; }, ws->transfer, ui);

    QList<int> pages;
    if (o.all)
        pages = {0, 1, 2, 3, 4, 5, 6, 7};
    else
        pages = {o.page - 1};
    uint8_t mask = 0;
    for (int p : pages)
        mask |= uint8_t(1u << p);
    CheckContext context;
    context.projectFolder = folder;
    context.painter = &painter;
    if (!checkBeforeWrite(*ws, context, CheckScope::pagesOnly(mask), o.strict))
        return 1;

    if (!o.link.dumpFile.isEmpty()) {
        // Every page is encoded before anything is written: a page that
        // cannot be sent leaves no partial dump.
        QByteArray stream;
        for (int p : pages) {
            if (!prepare(p))
                return 1;
            stream.append(pageWireStream(ws->transfer, uint8_t(ws->settings.controller_number), p));
        }
        const QString failed = saveBytes(o.link.dumpFile, stream);
        if (!failed.isEmpty()) {
            printError(failed);
            return 1;
        }
        printJson(summary(pages, stream.size()));
        return 0;
    }

    useLinkTarget(o.link, ws->settings);
    TransferEngine engine(ws->transfer, ws->settings, ui);
    engine.setPagePreparer(prepare);
    linkDetail = [&engine] { return engine.errorDetail(); };
    std::unique_ptr<JournalOfWrites> journal;
    if (!o.noJournal)
        journal = std::make_unique<JournalOfWrites>(engine, *ws, journalPathFor(QFileInfo(o.input).absoluteFilePath()),
                                                    linkName(o.link));
    const int status = runLinkWrite(
        engine, o.link, [&] { return o.all ? engine.startAllPagesWrite() : engine.startPageWrite(o.page - 1); },
        [&pages](qsizetype sent) { return summary(pages, sent); });
    return status == 0 && journal && journal->failures() ? 1 : status;
}

} // namespace ostrel::cli
