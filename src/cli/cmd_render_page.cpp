// render-page: the page image exactly as a page write paints it, saved as
// PNG (optionally as the controller shows it, in 12-bit colour, or with
// --panel as the panel shows the page after the write, live elements
// included), and a JSON summary of what the write would send.
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "display/panel_page.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "platform/headless_interaction.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

namespace ostrel::cli {

namespace {

struct Options {
    QString input;
    int page = -1;   // 1..8
    QString png;
    bool quantised = false;
    bool panel = false;
    QString values;  // --values FILE.json (with --panel)
    QDateTime clock; // --clock TIME (with --panel); invalid = now
};

const char* kUsage = "usage: ostrel-cli render-page PROJECT.prt --page 1..8 --png OUT.png [--quantised | --panel "
                     "[--values FILE.json] [--clock YYYY-MM-DDTHH:MM]]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    const std::vector<Option> options{
        {.name = QLatin1StringView("--page"),
         .take =
             [&o](const QString& v) {
                 o.page = parsePageNumber(v);
                 return o.page < 0 ? QStringLiteral("--page expects 1..8") : QString();
             }},
        {.name = QLatin1StringView("--png"),
         .take =
             [&o](const QString& v) {
                 o.png = v;
                 return QString();
             }},
        {.name = QLatin1StringView("--quantised"),
         .take =
             [&o](const QString&) {
                 o.quantised = true;
                 return QString();
             },
         .flag = true},
        {.name = QLatin1StringView("--panel"),
         .take =
             [&o](const QString&) {
                 o.panel = true;
                 return QString();
             },
         .flag = true},
        {.name = QLatin1StringView("--values"),
         .take =
             [&o](const QString& v) {
                 o.values = v;
                 return QString();
             }},
        {.name = QLatin1StringView("--clock"),
         .take =
             [&o](const QString& v) {
                 o.clock = QDateTime::fromString(v, Qt::ISODate);
                 return o.clock.isValid() ? QString() : QStringLiteral("--clock expects YYYY-MM-DDTHH:MM");
             }},
    };
    error = readArguments(args, options, singleInput(o.input));
    if (!error.isEmpty())
        return false;
    if (o.input.isEmpty() || o.page < 1 || o.png.isEmpty() || (o.panel && o.quantised)
        || (!o.panel && (!o.values.isEmpty() || o.clock.isValid()))) {
        error = QString::fromLatin1(kUsage);
        return false;
    }
    return true;
}

} // namespace

int runRenderPage(const QStringList& args)
{
    Options o;
    QString error;
    if (!parseOptions(args, o, error) || !checkOutputFile(o.png, error)) {
        printError(error);
        return 2;
    }
    BlockValues values;
    if (!o.values.isEmpty() && (!checkInputFile(o.values, error) || !loadBlockValues(o.values, values, error))) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    if (!loadPagesProject(*ws, o.input, error)) {
        printError(error);
        return 2;
    }
    const int p = o.page - 1;
    ElementPictures pictures;
    PagePainter painter(pictures);
    const QString folder = QFileInfo(o.input).absolutePath();
    PagePrepareResult r;
    QImage image;
    Message failure;
    if (o.panel) {
        PanelPageOptions po;
        po.version_code = ws->version_code;
        po.controller = ws->settings.controller_number;
        po.project_folder = folder;
        po.live.now = o.clock;
        PanelPage shown = composePanelPage(painter, ws->pages, p, values, po, ws->transfer);
        r = std::move(shown.prepared);
        failure = shown.error;
        image = std::move(shown.image);
    } else {
        r = preparePage(painter, ws->pages, p, ws->version_code, folder, ws->transfer);
        failure = r.error;
        if (r.ok)
            image = o.quantised ? quantise(r.image) : r.image;
    }
    for (const QString& warning : r.warnings)
        printError(QStringLiteral("warning: ") + warning);
    if (image.isNull()) {
        printError(failure.title.isEmpty() ? failure.text : failure.title + QStringLiteral(": ") + failure.text);
        return 1;
    }
    const QString failed = savePng(o.png, image);
    if (!failed.isEmpty()) {
        printError(failed);
        return 1;
    }

    QJsonArray lengths, payloads, warnings;
    for (int length : r.band_lengths)
        lengths.append(length);
    for (const QByteArray& payload : ws->transfer.part_payload)
        payloads.append(qint64(payload.size()));
    for (const QString& warning : r.warnings)
        warnings.append(warning);
    const qsizetype tablesAt = qsizetype(7) * TransferState::kPartSize + r.band_lengths[7];
    const QByteArray tables = ws->transfer.tx_buffer.mid(tablesAt, elementTablesSize(ws->version_code));
    QJsonObject out;
    out.insert(QStringLiteral("page"), o.page);
    out.insert(QStringLiteral("version"), int(ws->version_code));
    out.insert(QStringLiteral("background_kind"), int(ws->pages.background_kind[size_t(p)]));
    // What was painted: a picture that cannot be loaded leaves the fill colour.
    out.insert(QStringLiteral("background"), r.background_picture ? QStringLiteral("picture") : QStringLiteral("fill"));
    out.insert(QStringLiteral("band_lengths"), lengths);
    out.insert(QStringLiteral("payload_sizes"), payloads);
    out.insert(QStringLiteral("table_bytes"), QString::fromLatin1(tables.toHex()));
    out.insert(QStringLiteral("warnings"), warnings);
    printJson(QJsonDocument(out).toJson(QJsonDocument::Compact));
    return 0;
}

} // namespace ostrel::cli
