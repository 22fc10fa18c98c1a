// write-scheme: import a scheme into a fresh workspace and write it into a
// controller over TCP or a serial device, or dump the exact byte stream.
#include "cli/commands.h"
#include "wire/scheme_encoder.h"
#include "link/transfer_engine.h"
#include "platform/checked_file.h"
#include "platform/headless_interaction.h"
#include "project/project_reader.h"
#include "workspace/new_project.h"
#include "workspace/workspace.h"
#include <QCoreApplication>
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
    QString tcpHost;
    quint16 tcpPort = 0;
    QString serialDevice;
    QString dumpFile;
    int controller = 1;
    int version = 5;
    bool controllerGiven = false;
    bool versionGiven = false;
};

const char* kUsage =
    "usage: ostrel-cli write-scheme (NETLIST.net|PROJECT.prt) (--tcp HOST:PORT | --serial DEVICE | --dump FILE)\n"
    "                  [--controller 1..8] [--version 5|3|0|1]";

bool parseOptions(const QStringList& args, Options& o, QString& error)
{
    int targets = 0;
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
        if (a == QLatin1String("--tcp")) {
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
            o.controllerGiven = true;
            if (!ok || o.controller < 1 || o.controller > 8) {
                error = QStringLiteral("--controller expects 1..8");
                return false;
            }
        } else if (a == QLatin1String("--version")) {
            if (!value(v))
                return false;
            bool ok = false;
            o.version = v.toInt(&ok);
            o.versionGiven = true;
            if (!ok || !(o.version == 5 || o.version == 3 || o.version == 0 || o.version == 1)) {
                error = QStringLiteral("--version expects 5, 3, 0 or 1");
                return false;
            }
        } else if (a.startsWith(QLatin1String("--")) || !o.input.isEmpty()) {
            error = QStringLiteral("unexpected argument: ") + a;
            return false;
        } else {
            o.input = a;
        }
    }
    if (o.input.isEmpty() || targets != 1) {
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
    if (!parseOptions(args, o, error)) {
        printError(error);
        return 2;
    }
    auto ws = std::make_unique<Workspace>();
    // Messages go to standard error as they come; the choosers answer "cancel".
    // A link error gets its address and cause on the same line.
    std::function<QString()> linkDetail;
    HeadlessInteraction ui([&linkDetail](const Message& m) {
        if (linkDetail && (m.text == kPortError || m.text == kComPortError)) {
            const QString detail = linkDetail();
            if (!detail.isEmpty()) {
                printMessage({m.text + u' ' + detail, m.title, m.icon});
                return;
            }
        }
        printMessage(m);
    });
    ws->selectVersion(uint8_t(o.version));
    if (const int status = loadInput(*ws, o.input, ui))
        return status;
    // A project keeps its own version and controller unless told otherwise.
    if (!isProjectFile(o.input) || o.controllerGiven)
        ws->settings.controller_number = int16_t(o.controller);
    if (isProjectFile(o.input) && o.versionGiven)
        ws->selectVersion(uint8_t(o.version));

    if (!o.dumpFile.isEmpty()) {
        const SchemeImage image = schemeImage(*ws);
        if (!image.fatal.isEmpty()) {
            ui.message(image.fatal, kParameterErrorTitle, MessageIcon::None);
            return 1;
        }
        if (image.parameterError)
            ui.message(kParameterError, kParameterErrorTitle, MessageIcon::None);
        const QByteArray stream = schemeWireStream(image);
        const QString error = saveFileChecked(o.dumpFile, stream);
        if (!error.isEmpty()) {
            printError(QStringLiteral("cannot write ") + error);
            return 1;
        }
        printJson(summary(*ws, stream.size()));
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
    linkDetail = [&engine] { return engine.errorDetail(); };
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
    if (!engine.startSchemeWrite(schemeImage(*ws)))
        return 1;
    QCoreApplication::exec();
    if (status == 0)
        printJson(summary(*ws, sent));
    return status;
}

} // namespace ostrel::cli
