// write-pages: paint, encode and write SCADA pages of a project into a
// controller over TCP or a serial device with the protocol's pacing and page
// chain, or dump the exact packets of the pages without waiting.
#include "cli/commands.h"
#include "wire/page_encoder.h"
#include "link/page_write.h"
#include "link/sequences.h"
#include "link/transfer_engine.h"
#include "platform/headless_interaction.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "workspace/workspace.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

namespace ostrel::cli {

namespace {

struct Options {
    QString input;
    int page = 0;          // 1..8; 0 = all pages
    bool all = false;
    QString tcpHost;
    quint16 tcpPort = 0;
    QString serialDevice;
    QString dumpFile;
    int controller = 0;    // 0 = the project's
};

const char* kUsage =
    "usage: ostrel-cli write-pages PROJECT.prt (--page 1..8 | --all)\n"
    "                  (--tcp HOST:PORT | --serial DEVICE | --dump FILE) [--controller 1..8]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    int targets = 0;
    int selections = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            out = args[++i];
            return true;
        };
        QString v;
        if (a == QLatin1String("--page")) {
            if (!value(v))
                return false;
            o.page = parsePageNumber(v);
            if (o.page < 0) {
                error = QStringLiteral("--page expects 1..8");
                return false;
            }
            ++selections;
        } else if (a == QLatin1String("--all")) {
            o.all = true;
            ++selections;
        } else if (a == QLatin1String("--tcp")) {
            if (!value(v))
                return false;
            const qsizetype colon = v.lastIndexOf(u':');
            bool ok = false;
            const uint port = colon > 0 ? v.mid(colon + 1).toUInt(&ok) : 0;
            if (!ok || port == 0 || port > 65535) {
                error = QStringLiteral("--tcp expects HOST:PORT");
                return false;
            }
            o.tcpHost = v.left(colon);
            o.tcpPort = quint16(port);
            ++targets;
        } else if (a == QLatin1String("--serial")) {
            if (!value(o.serialDevice))
                return false;
            ++targets;
        } else if (a == QLatin1String("--dump")) {
            if (!value(o.dumpFile))
                return false;
            ++targets;
        } else if (a == QLatin1String("--controller")) {
            if (!value(v))
                return false;
            bool ok = false;
            o.controller = v.toInt(&ok);
            if (!ok || o.controller < 1 || o.controller > 8) {
                error = QStringLiteral("--controller expects 1..8");
                return false;
            }
        } else if (a.startsWith(QLatin1String("--")) || !o.input.isEmpty()) {
            error = QStringLiteral("unexpected argument: ") + a;
            return false;
        } else {
            o.input = a;
        }
    }
    if (o.input.isEmpty() || targets != 1 || selections != 1) {
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
    if (!parseOptions(args, o, error)) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    if (!loadPagesProject(*ws, o.input, error)) {
        printError(error);
        return 2;
    }
    if (o.controller > 0)
        ws->settings.controller_number = int16_t(o.controller);
    const QString folder = QFileInfo(o.input).absolutePath();
    // Messages go to standard error as they come; the choosers answer "cancel".
    HeadlessInteraction ui(printMessage);
    ElementPictures pictures;
    PagePainter painter(pictures);
    const TransferEngine::PagePreparer prepare =
        makePagePreparer(painter, ws->pages, ws->version_code, [folder] { return folder; }, ws->transfer, ui);

    QList<int> pages;
    if (o.all)
        pages = {0, 1, 2, 3, 4, 5, 6, 7};
    else
        pages = {o.page - 1};

    if (!o.dumpFile.isEmpty()) {
        // Every page is encoded before anything is written: a page that
        // cannot be sent leaves no partial dump.
        QByteArray stream;
        for (int p : pages) {
            if (!prepare(p))
                return 1;
            stream.append(pageWireStream(ws->transfer, uint8_t(ws->settings.controller_number), p));
        }
        if (!saveBytes(o.dumpFile, stream)) {
            printError(QStringLiteral("cannot write ") + o.dumpFile);
            return 1;
        }
        printJson(summary(pages, stream.size()));
        return 0;
    }

    if (!o.tcpHost.isEmpty()) {
        ws->settings.link_port = ProjectSettings::kTcpPort;
        ws->settings.ip_address = o.tcpHost;
        ws->settings.tcp_port = o.tcpPort;
    } else {
        ws->settings.link_port = 1;
    }
    TransferEngine engine(ws->transfer, ws->settings, ui);
    engine.setRetryOnFailure(false);
    engine.setPagePreparer(prepare);
    if (!o.serialDevice.isEmpty()) {
        const QString device = o.serialDevice;
        engine.link().serialDeviceName = [device](int) { return device; };
    }
    qsizetype sent = 0;
    QObject::connect(&engine, &TransferEngine::packetSent, [&sent](const QByteArray& b) { sent += b.size(); });
    int status = 1;
    QObject::connect(&engine, &TransferEngine::finished, [&status](bool ok) {
        status = ok ? 0 : 1;
        QCoreApplication::exit(status);
    });
    const bool started = o.all ? engine.startAllPagesWrite() : engine.startPageWrite(o.page - 1);
    if (!started)
        return 1;
    QCoreApplication::exec();
    if (status == 0)
        printJson(summary(pages, sent));
    return status;
}

} // namespace ostrel::cli
