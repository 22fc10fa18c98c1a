// ostrel-cli write-scheme as a separate process: the dumped stream, a write
// through a pseudo-terminal, a refused TCP peer and bad arguments.
#include "link/byte_sink.h"
#include "link/pty_pair.h"
#include "link/scheme_serializer.h"
#include "project/project_reader.h"
#include "scheme/netlist_import.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

namespace {

const QString kNetlist = QStringLiteral(OSTREL_EXAMPLES "/boiler.net");

// The stream the desktop program would send for the same input.
QByteArray expectedStream(int version, int controller)
{
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    ws->selectVersion(uint8_t(version));
    if (!importNetlistFile(ws->blocks, ws->catalog, kNetlist, ui))
        return {};
    resetNewProjectBlocks(ws->blocks, ws->catalog);
    ws->settings.controller_number = int16_t(controller);
    return schemeWireStream(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number));
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

// Runs the tool with the event loop going (a peer in this process reads).
// fileSizeLimit > 0: no file of the tool may grow beyond it (a full disk).
// `whileRunning` is called again and again while the tool runs.
Run runCli(const QStringList& args, rlim_t fileSizeLimit = 0, const std::function<void()>& whileRunning = {})
{
    QProcess p;
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    QSignalSpy done(&p, &QProcess::finished);
    p.start(QStringLiteral(OSTREL_CLI), QStringList{QStringLiteral("write-scheme")} + args);
    Run r;
    if (!p.waitForStarted(10000))
        return r;
    if (!QTest::qWaitFor(
            [&] {
                if (whileRunning && done.count() == 0)
                    whileRunning();
                return done.count() > 0;
            },
            60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class CliWriteSchemeTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void dump_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("controller");
        QTest::newRow("version 5, controller 1") << 5 << 1;
        QTest::newRow("version 1, controller 7") << 1 << 7;
    }
    void dump()
    {
        QFETCH(int, version);
        QFETCH(int, controller);
        const QString file = tmp.filePath(QStringLiteral("dump-%1-%2.bin").arg(version).arg(controller));
        const Run r = runCli({kNetlist, QStringLiteral("--dump"), file, QStringLiteral("--controller"),
                              QString::number(controller), QStringLiteral("--version"), QString::number(version)});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected = expectedStream(version, controller);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(f.readAll(), expected);
        QVERIFY(r.out.contains("\"ok\":true"));
    }

    // A project brings its controller number, version and algorithm program;
    // --controller still overrides the number.
    void dumpProject_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("controller");
        QTest::newRow("project's own") << QStringList{} << 0;
        QTest::newRow("--controller 3") << QStringList{QStringLiteral("--controller"), QStringLiteral("3")} << 3;
    }
    void dumpProject()
    {
        QFETCH(QStringList, extra);
        QFETCH(int, controller);
        const QString project = QStringLiteral(OSTREL_EXAMPLES "/boiler.prt");
        const QString file = tmp.filePath(QStringLiteral("project-%1.bin").arg(controller));
        const Run r = runCli(QStringList{project, QStringLiteral("--dump"), file} + extra);
        QVERIFY2(r.exitCode == 0, r.err.constData());

        auto ws = std::make_unique<Workspace>();
        QString error;
        QVERIFY2(loadProjectForCli(*ws, project, &error), qPrintable(error));
        if (controller)
            ws->settings.controller_number = int16_t(controller);
        const QByteArray expected = schemeWireStream(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray got = f.readAll();
        QCOMPARE(got, expected);
        QCOMPARE(int(uint8_t(got.at(0))), int(ws->settings.controller_number));
        // The restored algorithm program makes it differ from a new project's stream.
        QVERIFY(got.mid(1) != expectedStream(ws->version_code, ws->settings.controller_number).mid(1));
    }

    // A dump smaller than the write buffer onto a full disk: the failure shows
    // only when the buffer is flushed. The old file stays, status 1.
    void dumpOnFullDisk()
    {
        const QString file = tmp.filePath(QStringLiteral("full.bin"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("earlier") == 7);
        old.close();
        const QByteArray expected = expectedStream(5, 1);
        QVERIFY(expected.size() > 2048 && expected.size() < 16000);
        const Run r = runCli({kNetlist, QStringLiteral("--dump"), file}, 2048);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("cannot write"), r.err.constData());
        QVERIFY(!r.out.contains("\"ok\":true"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("earlier"));
    }

    void serialDevice()
    {
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        PtyPair pty;
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        const Run r = runCli({kNetlist, QStringLiteral("--serial"), pty.devicePath()});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QByteArray expected = expectedStream(5, 1);
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 5000);
        QCOMPARE(sink.bytes, expected);
    }

    void refusedTcpFails()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        const Run r = runCli({kNetlist, QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:%1").arg(port)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(QString::fromLocal8Bit(r.err).contains(QStringLiteral("Ошибка порта!!!")));
    }

    // A link that fails: the program's message, then the address and the
    // cause on the same line; status 1.
    void linkFailureLine_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cause");
        const QString port = QStringLiteral("Ошибка порта!!!");
        const QString com = QStringLiteral("Ошибка СОМ порта!");
        QTest::newRow("refused") << "refused" << port << "connection refused";
        QTest::newRow("reset") << "reset" << port << "reset by peer";
        QTest::newRow("not a serial device") << "/dev/null" << com << "not a serial device";
        QTest::newRow("no such device") << "/nonexistent/tty" << com << "no such device";
        QTest::newRow("terminal closed mid-write") << "pty" << port << "no such device";
    }
    void linkFailureLine()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QFETCH(QString, cause);
        QTcpServer server;
        std::unique_ptr<PtyPair> pty;
        ByteSink sink;
        QStringList target;
        QString address;
        std::function<void()> whileRunning;
        if (kind == QLatin1String("refused") || kind == QLatin1String("reset")) {
            QVERIFY(server.listen(QHostAddress::LocalHost, 0));
            address = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
            if (kind == QLatin1String("refused"))
                server.close();
            else // accepts, then hangs up at once
                connect(&server, &QTcpServer::newConnection, &server, [&server] {
                    while (QTcpSocket* s = server.nextPendingConnection())
                        s->abort();
                });
            target = {QStringLiteral("--tcp"), address};
        } else if (kind == QLatin1String("pty")) {
            if (!PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            pty = std::make_unique<PtyPair>();
            QVERIFY(pty->start());
            QVERIFY(sink.openSerial(pty->peerPath()));
            address = pty->devicePath();
            target = {QStringLiteral("--serial"), address};
            // The adapter goes away once the first packet is through.
            whileRunning = [&] {
                if (!sink.bytes.isEmpty())
                    pty->stop();
            };
        } else {
            address = kind;
            target = {QStringLiteral("--serial"), address};
        }
        const Run r = runCli(QStringList{kNetlist} + target, 0, whileRunning);
        QCOMPARE(r.exitCode, 1);
        const QString expected = message + u' ' + address + QStringLiteral(": ") + cause;
        const QStringList lines = QString::fromLocal8Bit(r.err).split(u'\n');
        QVERIFY2(lines.contains(expected), qPrintable(QString::fromLocal8Bit(r.err) + "| expected: " + expected));
        QVERIFY(!r.out.contains("\"ok\":true"));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        const QString dump = QStringLiteral("--dump");
        const QString out = QStringLiteral("never-written.bin");
        QTest::newRow("no target") << QStringList{kNetlist} << 2;
        QTest::newRow("two targets") << QStringList{kNetlist, dump, out, QStringLiteral("--serial"), QStringLiteral("/dev/null")} << 2;
        QTest::newRow("controller 9") << QStringList{kNetlist, dump, out, QStringLiteral("--controller"), QStringLiteral("9")} << 2;
        QTest::newRow("version 7") << QStringList{kNetlist, dump, out, QStringLiteral("--version"), QStringLiteral("7")} << 2;
        QTest::newRow("tcp without port") << QStringList{kNetlist, QStringLiteral("--tcp"), QStringLiteral("localhost")} << 2;
        QTest::newRow("value missing") << QStringList{kNetlist, dump} << 2;
        QTest::newRow("missing input") << QStringList{QStringLiteral("/nonexistent/x.net"), dump, out} << 2;
        QTest::newRow("serial port cannot open") << QStringList{kNetlist, QStringLiteral("--serial"), QStringLiteral("/nonexistent/tty")} << 1;
    }
    void badArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        for (QString& a : args)
            if (a == QLatin1String("never-written.bin"))
                a = tmp.filePath(a);
        const Run r = runCli(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(!QFile::exists(tmp.filePath(QStringLiteral("never-written.bin"))));
    }
};

QTEST_GUILESS_MAIN(CliWriteSchemeTest)
#include "test_cli_write_scheme.moc"
