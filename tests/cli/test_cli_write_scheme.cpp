// ostrel-cli write-scheme as a separate process: the dumped stream, a write
// through a pseudo-terminal, a refused TCP peer and bad arguments.
#include "link/byte_sink.h"
#include "link/pty_pair.h"
#include "wire/scheme_encoder.h"
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
Run runCli(const QStringList& args, rlim_t fileSizeLimit = 0, const std::function<void()>& whileRunning = {},
           const QString& command = QStringLiteral("write-scheme"))
{
    QProcess p;
    // Without a runtime folder Qt would note its absence: standard error must
    // hold the tool's own lines all the same.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    p.setProcessEnvironment(env);
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    QSignalSpy done(&p, &QProcess::finished);
    p.start(QStringLiteral(OSTREL_CLI), QStringList{command} + args);
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
    // cause on the same line; status 1. The page writes give the same line.
    void linkFailureLine_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cause");
        const QString port = QStringLiteral("Ошибка порта!!!");
        const QString com = QStringLiteral("Ошибка СОМ порта!");
        const QStringList scheme{QStringLiteral("write-scheme"), kNetlist};
        const QStringList pages{QStringLiteral("write-pages"), QStringLiteral(OSTREL_EXAMPLES "/boiler.prt"),
                                QStringLiteral("--page"), QStringLiteral("1")};
        for (const QStringList& command : {scheme, pages}) {
            const char* c = command.first() == QLatin1String("write-scheme") ? "scheme" : "pages";
            QTest::addRow("%s, refused", c) << command << "refused" << port << "connection refused";
            QTest::addRow("%s, reset", c) << command << "reset" << port << "reset by peer";
            QTest::addRow("%s, not a serial device", c) << command << "/dev/null" << com << "not a serial device";
            QTest::addRow("%s, no such device", c) << command << "/nonexistent/tty" << com << "no such device";
            QTest::addRow("%s, terminal closed mid-write", c) << command << "pty" << port << "no such device";
        }
    }
    void linkFailureLine()
    {
        QFETCH(QStringList, command);
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
        const Run r = runCli(command.mid(1) + target, 0, whileRunning, command.first());
        QCOMPARE(r.exitCode, 1);
        // That line alone: no note of the socket or serial layer comes with it.
        const QString expected = message + u' ' + address + QStringLiteral(": ") + cause;
        QCOMPARE(QString::fromLocal8Bit(r.err), expected + u'\n');
        QVERIFY(!r.out.contains("\"ok\":true"));
    }

    // Inputs that give no scheme to write: an import that ended with an
    // error message (the message goes to standard error first) or a netlist
    // without a single block. The controller's scheme would be replaced by a
    // broken or empty one: status 1, nothing written. A device is no input.
    void inputWithoutScheme_data()
    {
        QTest::addColumn<QString>("input");   // a file name in the test folder, or a path
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines"); // standard error begins with these
        QByteArray smallBytes;
        if (QFile f(QStringLiteral(OSTREL_TEST_DATA "/netlist/small.net")); f.open(QIODevice::ReadOnly))
            smallBytes = f.readAll();
        const QString importError = QStringLiteral("write-scheme: the netlist import ended with an error; nothing was written");
        const QString noBlock = QStringLiteral("write-scheme: the netlist yields no block; nothing was written");
        QTest::newRow("import ends with an error")
            << "in.net" << smallBytes << 1 << QStringList{QStringLiteral("Ошибка netLIST!!! Выход блока №7"), importError};
        QTest::newRow("empty file") << "in.net" << QByteArray() << 1 << QStringList{noBlock};
        QTest::newRow("junk") << "in.net" << QByteArray("\x01\xff(((\r\nnot a netlist, \"at all\r\n") << 1
                              << QStringList{noBlock};
        QTest::newRow("netlist without components")
            << "in.net" << QByteArray("ACCEL_ASCII \"x\"\r\n(netlist \"x\"\r\n  (net \"N\"\r\n    (node \"U3\" \"1\")\r\n  )\r\n)\r\n")
            << 1 << QStringList{noBlock};
        QTest::newRow("project whose netlist import stops")
            << "boiler.prt" << QByteArray("  (compInst \"U123\"\r\n    (compRef \"MUL\")\r\n    (originalName \"MUL\")\r\n  )\r\n")
            << 1 << QStringList{QStringLiteral("Ошибка netLIST!!! Выход блока №123"), importError};
        QTest::newRow("device") << "/dev/zero" << QByteArray() << 2
                                << QStringList{QStringLiteral("cannot open /dev/zero: not a regular file")};
    }
    void inputWithoutScheme()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, content);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        if (input == QLatin1String("boiler.prt")) {
            // The example project with a component its netlist cannot take.
            QVERIFY(QFile::copy(QStringLiteral(OSTREL_EXAMPLES "/boiler.prt"), dir.filePath(input)));
            QFile f(kNetlist);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArray netlist = f.readAll();
            netlist.insert(netlist.size() - 3, content);
            content = netlist;
            input = dir.filePath(input);
            QFile net(dir.filePath(QStringLiteral("boiler.net")));
            QVERIFY(net.open(QIODevice::WriteOnly) && net.write(content) == content.size());
        } else if (!input.startsWith(u'/')) {
            input = dir.filePath(input);
            QFile f(input);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        }
        const QString dump = dir.filePath(QStringLiteral("scheme.bin"));
        const Run r = runCli({input, QStringLiteral("--dump"), dump});
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(QString::fromLocal8Bit(r.err), lines.join(u'\n') + u'\n');
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(dump));
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
