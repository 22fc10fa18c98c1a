// ostrel-panel as a program: --help and --version answer with status 0;
// wrong arguments, a port in use and unreadable input end with status 2 and
// one line; recorded streams decode with status 0, or 1 and the problem
// lines on standard error when damaged; --count stops after N writes; and
// the README's two-terminal session: the panel listening on TCP, `ostrel-cli
// write-scheme` writing the example project into it, the panel leaving after
// the write with scheme.json as expected.
#include "link/pty_pair.h"
#include "panel_streams.h"
#include "scheme_expectation.h"
#include "support/special_files.h"
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

struct Run {
    int status = -1;
    QString out, err;
};

Run runPanel(const QStringList& args, const QStringList& unset = {})
{
    QProcess p;
    // Without a runtime folder Qt would note its absence: standard error must
    // hold the panel's own lines all the same.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const QString& name : unset)
        env.remove(name);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(OSTREL_PANEL), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList lines(const QString& text)
{
    QStringList out;
    for (const QString& l : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (!l.startsWith(QLatin1String("QStandardPaths:"))) // the platform's own notes
            out << l;
    return out;
}

} // namespace

class PanelProgramTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    std::unique_ptr<Workspace> ws;
    QString goodDump, damagedDump;

private slots:
    void initTestCase()
    {
        ws = loadExample();
        QVERIFY(ws);
        ElementPictures pictures;
        PagePainter painter(pictures);
        const SentPage page1 = sentPage(*ws, painter, 0);
        const SentPage page2 = sentPage(*ws, painter, 1);
        QVERIFY(page1.ok && page2.ok);
        const QByteArray scheme = schemeStream(*ws);
        goodDump = tmp.filePath(QStringLiteral("good.bin"));
        damagedDump = tmp.filePath(QStringLiteral("damaged.bin"));
        QVERIFY(writeFile(goodDump, scheme + page1.stream() + page2.stream()));
        QByteArray damaged = scheme + page1.stream();
        damaged[112] = char(damaged[112] ^ 0x01);                   // B1's checksum fails
        damaged.insert(scheme.size() + 100, QByteArray(3, '\x7F')); // inside D0: a band of wrong runs
        QVERIFY(writeFile(damagedDump, damaged));
        QVERIFY(writeFile(tmp.filePath(QStringLiteral("values.json")), "{\"1\": [12.5, 3]}"));
        QVERIFY(writeFile(tmp.filePath(QStringLiteral("bad-values.json")), "{\"1\": \"hot\"}"));
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString dump = QStringLiteral("DUMP");
        QTest::newRow("no source") << QStringList{QStringLiteral("--headless")} << "nothing to receive from";
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--fast")}
                                        << "unexpected argument: --fast";
        QTest::newRow("port not a number") << QStringList{QStringLiteral("--tcp"), QStringLiteral("http")}
                                           << "--tcp expects a port 0..65535";
        QTest::newRow("port too large") << QStringList{QStringLiteral("--tcp"), QStringLiteral("70000")}
                                        << "--tcp expects a port 0..65535";
        QTest::newRow("option without value") << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--out")}
                                              << "--out needs a value";
        QTest::newRow("count 0") << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--count"), QStringLiteral("0")}
                                 << "--count expects";
        QTest::newRow("controller 9")
            << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--controller"), QStringLiteral("9")}
            << "--controller expects a controller number 1..8";
        QTest::newRow("dump missing") << QStringList{QStringLiteral("--dump"), QStringLiteral("/nonexistent/x.bin")}
                                      << "cannot read /nonexistent/x.bin";
        QTest::newRow("values missing")
            << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--values"), QStringLiteral("/nonexistent/v.json")}
            << "cannot read /nonexistent/v.json";
        QTest::newRow("values not of the form")
            << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--values"), QStringLiteral("BADVALUES")}
            << "block \"1\": expected a list of outputs";
        QTest::newRow("project missing")
            << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--project"), QStringLiteral("/nonexistent/p.prt")}
            << "/nonexistent/p.prt";
        QTest::newRow("serial device missing") << QStringList{QStringLiteral("--serial"), QStringLiteral("/nonexistent/tty")}
                                               << "cannot open /nonexistent/tty";
        QTest::newRow("output folder under a file")
            << QStringList{QStringLiteral("--dump"), dump, QStringLiteral("--out"), QStringLiteral("DUMP/out")}
            << "cannot write into";
    }

    // Status 2, one line naming the problem, nothing on standard output.
    void badArguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        args.replaceInStrings(QStringLiteral("BADVALUES"), tmp.filePath(QStringLiteral("bad-values.json")));
        args.replaceInStrings(QStringLiteral("DUMP"), goodDump);
        if (!args.contains(QStringLiteral("--headless")))
            args << QStringLiteral("--headless");
        const Run r = runPanel(args);
        QCOMPARE(r.status, 2);
        QVERIFY2(lines(r.err).value(0).contains(message), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
    }

    // --help and --version answer on standard output with status 0, before
    // any source is needed and without a display, wherever they stand.
    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out"); // standard output starts with it
        const QString usage = QStringLiteral("usage: ostrel-panel (--tcp PORT");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << usage;
        QTest::newRow("-h after a source") << QStringList{QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("-h")}
                                           << usage;
        QTest::newRow("--version") << QStringList{QStringLiteral("--version")}
                                   << QStringLiteral("ostrel-panel " OSTREL_VERSION "\n");
    }

    void helpAndVersion()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        const Run r = runPanel(args, {QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                      QStringLiteral("QT_QPA_PLATFORM")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith(out), qPrintable(r.out));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        if (args.contains(QStringLiteral("--version")))
            QCOMPARE(r.out, out);
    }

    // A device, a FIFO or a folder where a file of --out goes: status 2 and
    // one line before anything is received; the node stays what it was.
    void nonRegularOutputRefused_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"fifo", "folder", "device"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void nonRegularOutputRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir out;
        const QString node = out.filePath(QStringLiteral("page-1.png"));
        if (!makeSpecialFile(kind, node))
            QSKIP("cannot make that kind of node here");
        const Run r = runPanel({QStringLiteral("--headless"), QStringLiteral("--dump"), goodDump, QStringLiteral("--out"),
                                out.path()});
        QCOMPARE(r.status, 2);
        QCOMPARE(lines(r.err), QStringList{QStringLiteral("ostrel-panel: cannot write %1: not a regular file").arg(node)});
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        QVERIFY(isSpecialFile(kind, node));
    }

    void portInUse()
    {
        QTcpServer occupant;
        QVERIFY(occupant.listen(QHostAddress::Any, 0));
        const QString port = QString::number(occupant.serverPort());
        const Run r = runPanel({QStringLiteral("--tcp"), port, QStringLiteral("--headless")});
        QCOMPARE(r.status, 2);
        QVERIFY2(lines(r.err).value(0).startsWith(QStringLiteral("ostrel-panel: cannot listen on TCP port ") + port),
                 qPrintable(r.err));
    }

    void recordedStreams_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("summaries"); // standard output, in order
        QTest::addColumn<QString>("error");         // a line on standard error ("" none)
        QTest::newRow("scheme and two pages")
            << QStringList{QStringLiteral("GOOD")} << 0
            << QStringList{QStringLiteral("good.bin: scheme for controller 1: 18 blocks, version 5: ok"),
                           QStringLiteral("good.bin: page 1 for controller 1: ok"),
                           QStringLiteral("good.bin: page 2 for controller 1: ok")}
            << QString();
        QTest::newRow("--count 1 stops after the scheme")
            << QStringList{QStringLiteral("GOOD"), QStringLiteral("--count"), QStringLiteral("1")} << 0
            << QStringList{QStringLiteral("good.bin: scheme for controller 1: 18 blocks, version 5: ok")} << QString();
        QTest::newRow("--count 5 with three writes")
            << QStringList{QStringLiteral("GOOD"), QStringLiteral("--count"), QStringLiteral("5")} << 1
            << QStringList{QStringLiteral("good.bin: scheme for controller 1: 18 blocks, version 5: ok"),
                           QStringLiteral("good.bin: page 1 for controller 1: ok"),
                           QStringLiteral("good.bin: page 2 for controller 1: ok")}
            << QStringLiteral("error: 3 of 5 writes received");
        QTest::newRow("two files")
            << QStringList{QStringLiteral("GOOD"), QStringLiteral("GOOD"), QStringLiteral("--count"), QStringLiteral("4")}
            << 0
            << QStringList{QStringLiteral("good.bin: scheme for controller 1: 18 blocks, version 5: ok"),
                           QStringLiteral("good.bin: page 1 for controller 1: ok"),
                           QStringLiteral("good.bin: page 2 for controller 1: ok"),
                           QStringLiteral("good.bin: scheme for controller 1: 18 blocks, version 5: ok")}
            << QString();
        QTest::newRow("damaged")
            << QStringList{QStringLiteral("DAMAGED")} << 1
            << QStringList{QStringLiteral("damaged.bin: scheme for controller 1: 18 blocks, version 5: 1 error"),
                           QStringLiteral("damaged.bin: page 1 for controller 1: 1 error, 2 warnings")}
            << QStringLiteral("damaged.bin: scheme: error: wrong checksum, packet 1, stage/part 1, offset 111: ");
        QTest::newRow("for another controller")
            << QStringList{QStringLiteral("GOOD"), QStringLiteral("--controller"), QStringLiteral("2")} << 0
            << QStringList{} << QString();
    }

    void recordedStreams()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, summaries);
        QFETCH(QString, error);
        args.replaceInStrings(QStringLiteral("GOOD"), goodDump);
        args.replaceInStrings(QStringLiteral("DAMAGED"), damagedDump);
        const QString out = tmp.filePath(QStringLiteral("out-") + QString::fromLatin1(QTest::currentDataTag()));
        const Run r = runPanel(QStringList{QStringLiteral("--headless"), QStringLiteral("--dump")} + args
                               + QStringList{QStringLiteral("--project"), exampleProject(), QStringLiteral("--out"), out});
        QVERIFY2(r.status == status && lines(r.out) == summaries, qPrintable(r.out + r.err));
        const QStringList errors = lines(r.err);
        if (error.isEmpty())
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        else
            QVERIFY2(std::any_of(errors.begin(), errors.end(), [&](const QString& l) { return l.startsWith(error); }),
                     qPrintable(r.err));
        // log.txt lists every packet read, whatever came of it.
        QFile log(QDir(out).filePath(QStringLiteral("log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readLine().startsWith("time\tgap_ms\t"));
        QCOMPARE(QFile::exists(QDir(out).filePath(QStringLiteral("page-1.png"))),
                 summaries.join(QLatin1Char('\n')).contains(QStringLiteral("page 1")));
    }

    // Ended by SIGTERM in the middle of a scheme write: what arrived, up to
    // the bytes still waiting in the connection, is in the log, and the
    // unfinished write is reported.
    // A plant on one machine: three ports, each its own controller with its
    // own count and folder; the panel ends when every port has its write.
    void portRange()
    {
        // Three free ports in a row.
        int first = 0;
        for (int base = 41000 + int(QCoreApplication::applicationPid() % 2000) * 3; base < 64000 && !first; base += 3) {
            QTcpServer probes[3];
            bool free = true;
            for (int k = 0; k < 3 && free; ++k)
                free = probes[k].listen(QHostAddress::Any, quint16(base + k));
            if (free)
                first = base;
        }
        QVERIFY(first > 0);
        const QString out = tmp.filePath(QStringLiteral("plant"));
        QProcess panel;
        panel.start(QStringLiteral(OSTREL_PANEL), {QStringLiteral("--tcp"), QStringLiteral("%1-%2").arg(first).arg(first + 2),
                                                   QStringLiteral("--headless"), QStringLiteral("--count"),
                                                   QStringLiteral("1"), QStringLiteral("--out"), out});
        QVERIFY(panel.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(panel.canReadLine() || panel.state() == QProcess::NotRunning, 20000);
        QCOMPARE(QString::fromLocal8Bit(panel.readLine()).trimmed(),
                 QStringLiteral("listening on TCP ports %1-%2").arg(first).arg(first + 2));
        const QByteArray scheme = schemeStream(*ws);
        for (int k = 0; k < 3; ++k) {
            QTcpSocket sender;
            sender.connectToHost(QStringLiteral("127.0.0.1"), quint16(first + k));
            QVERIFY(sender.waitForConnected(10000));
            sender.write(scheme);
            QVERIFY(sender.waitForBytesWritten(10000));
            sender.disconnectFromHost();
        }
        QVERIFY(panel.waitForFinished(20000));
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 0);
        const QStringList written = lines(QString::fromLocal8Bit(panel.readAllStandardOutput()));
        QCOMPARE(written.size(), 3);
        for (int k = 0; k < 3; ++k) {
            const QString port = QString::number(first + k);
            QVERIFY2(written.filter(QRegularExpression(QStringLiteral("^%1: TCP 127.0.0.1:\\d+: scheme for controller "
                                                                      "1: .*: ok$").arg(port))).size() == 1,
                     qPrintable(written.join(u'\n')));
            QVERIFY(QFile::exists(QDir(out).filePath(port + QStringLiteral("/scheme.json"))));
            QVERIFY(QFile::exists(QDir(out).filePath(port + QStringLiteral("/log.txt"))));
        }
    }

    void terminatedMidWrite()
    {
        const QString out = tmp.filePath(QStringLiteral("terminated"));
        QProcess panel;
        panel.start(QStringLiteral(OSTREL_PANEL), {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--headless"),
                                                   QStringLiteral("--out"), out});
        QVERIFY(panel.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(panel.canReadLine() || panel.state() == QProcess::NotRunning, 20000);
        const QString first = QString::fromLocal8Bit(panel.readLine()).trimmed();
        QVERIFY2(first.startsWith(QStringLiteral("listening on TCP port ")), qPrintable(first));
        QTcpSocket sender;
        sender.connectToHost(QStringLiteral("127.0.0.1"), quint16(first.section(QLatin1Char(' '), -1).toUInt()));
        QVERIFY(sender.waitForConnected(10000));
        const QByteArray scheme = schemeStream(*ws);
        sender.write(scheme.left(8 + 105)); // A and B1
        QVERIFY(sender.waitForBytesWritten(10000));
        panel.terminate();
        QVERIFY(panel.waitForFinished(10000));
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 1);
        const QStringList errors = lines(QString::fromLocal8Bit(panel.readAllStandardError()));
        QVERIFY2(std::any_of(errors.begin(), errors.end(), [](const QString& l) {
                     return l.endsWith(QStringLiteral(": scheme: error: packet missing, stage/part 2: expected B2, found none"));
                 }),
                 qPrintable(errors.join(QLatin1Char('\n'))));
        QFile log(QDir(out).filePath(QStringLiteral("log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList rows = lines(QString::fromUtf8(log.readAll()));
        QCOMPARE(rows.size(), 1 + 2);
        QVERIFY(rows[2].contains(QStringLiteral("\tB1\t1\t105\tCRC ok")));
    }

    // The far end of the serial device goes away after a write (the pty pair
    // is closed): the panel reports the lost device once, keeps what it
    // received (the write's summary, the log) and exits with status 1
    // instead of reading the dead terminal for ever.
    void serialDeviceHangsUp()
    {
        PtyPair pty;
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QVERIFY(pty.start());
        const QString out = tmp.filePath(QStringLiteral("hung-up"));
        QProcess panel;
        panel.start(QStringLiteral(OSTREL_PANEL), {QStringLiteral("--serial"), pty.devicePath(), QStringLiteral("--headless"),
                                                   QStringLiteral("--project"), exampleProject(), QStringLiteral("--out"), out});
        QVERIFY(panel.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(panel.canReadLine() || panel.state() == QProcess::NotRunning, 20000);
        QCOMPARE(QString::fromLocal8Bit(panel.readLine()).trimmed(), QStringLiteral("reading ") + pty.devicePath());
        QFile peer(pty.peerPath());
        QVERIFY(peer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray scheme = schemeStream(*ws);
        QCOMPARE(peer.write(scheme), qint64(scheme.size()));
        QTRY_VERIFY_WITH_TIMEOUT(panel.canReadLine() || panel.state() == QProcess::NotRunning, 20000);
        const QString summary = QString::fromLocal8Bit(panel.readLine()).trimmed();
        QVERIFY2(summary.endsWith(QStringLiteral(": scheme for controller 1: 18 blocks, version 5: ok")), qPrintable(summary));
        peer.close();
        pty.stop();
        QVERIFY(panel.waitForFinished(20000));
        QCOMPARE(panel.exitStatus(), QProcess::NormalExit);
        QCOMPARE(panel.exitCode(), 1);
        QCOMPARE(lines(QString::fromLocal8Bit(panel.readAllStandardError())),
                 QStringList{QStringLiteral("error: serial %1: the device hung up").arg(pty.devicePath())});
        QFile log(QDir(out).filePath(QStringLiteral("log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(lines(QString::fromUtf8(log.readAll())).size(), 1 + 10);
    }

    // Terminal 1: ostrel-panel --tcp PORT --out DIR; terminal 2: ostrel-cli
    // write-scheme boiler.prt --tcp 127.0.0.1:PORT. With --count 1 the panel
    // leaves after the write.
    void twoTerminalSession()
    {
        const QString out = tmp.filePath(QStringLiteral("session"));
        QProcess panel;
        panel.start(QStringLiteral(OSTREL_PANEL),
                    {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--headless"), QStringLiteral("--count"),
                     QStringLiteral("1"), QStringLiteral("--out"), out, QStringLiteral("--project"), exampleProject(),
                     QStringLiteral("--values"), tmp.filePath(QStringLiteral("values.json"))});
        QVERIFY(panel.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(panel.canReadLine() || panel.state() == QProcess::NotRunning, 20000);
        const QString first = QString::fromLocal8Bit(panel.readLine()).trimmed();
        QVERIFY2(first.startsWith(QStringLiteral("listening on TCP port ")), qPrintable(first));
        const QString port = first.section(QLatin1Char(' '), -1);

        int cliStatus = -1;
        // --no-journal: the example in the source tree stays as it is.
        runCli({QStringLiteral("write-scheme"), exampleProject(), QStringLiteral("--no-journal"), QStringLiteral("--tcp"),
                QStringLiteral("127.0.0.1:") + port},
               &cliStatus);
        QCOMPARE(cliStatus, 0);
        QVERIFY(panel.waitForFinished(20000));
        QCOMPARE(panel.exitCode(), 0);
        const QStringList summaries = lines(QString::fromLocal8Bit(panel.readAllStandardOutput()));
        QCOMPARE(summaries.size(), 1);
        QVERIFY2(summaries[0].contains(QStringLiteral(": scheme for controller 1: 18 blocks, version 5: ok")),
                 qPrintable(summaries[0]));

        QFile json(QDir(out).filePath(QStringLiteral("scheme.json")));
        QVERIFY(json.open(QIODevice::ReadOnly));
        QCOMPARE(withoutImportNotes(QJsonDocument::fromJson(json.readAll()).object()),
                 expectedSchemeJson(*ws, examplesFolder() + QStringLiteral("/boiler.net")));
        QFile log(QDir(out).filePath(QStringLiteral("log.txt")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList rows = lines(QString::fromUtf8(log.readAll()));
        QCOMPARE(rows.size(), 1 + 10);
        // Over TCP the sender waits 2500 ms after the stage-8 packet.
        QVERIFY2(rows[10].section(QLatin1Char('\t'), 1, 1).toDouble() >= 2000, qPrintable(rows[10]));
    }
};

QTEST_MAIN(PanelProgramTest)
#include "test_panel_program.moc"
