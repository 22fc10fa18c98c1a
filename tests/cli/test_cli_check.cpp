// ostrel-cli check, diff and the write journal as separate processes: exit
// statuses and output of the check, the check's errors before a write
// (warning lines, --strict), a write to a real TCP listener and its journal
// record, a failed write that appends nothing, a journal cut in its last
// line, and the diff of two projects and of a project against its journal.
#include "link/byte_sink.h"
#include "link/pty_pair.h"
#include "link/write_journal.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QCryptographicHash>
#include "cli/cli_run.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

using Run = ostrel::testing::CliRun;
using ostrel::testing::readAll;
using ostrel::testing::runCli;

QString sha256(const QByteArray& b)
{
    return QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex());
}

// The example project in `dir` under `name`, changed by `change` (nothing
// when null), with its netlist and background beside it.
QString exampleCopy(const QTemporaryDir& dir, const QString& name,
                    const std::function<void(Workspace&)>& change = {})
{
    for (const char* file : {"boiler.net", "boiler.gif"}) {
        const QString to = dir.filePath(QString::fromLatin1(file));
        if (!QFile::exists(to) && !QFile::copy(kExamples + QLatin1Char('/') + QString::fromLatin1(file), to))
            return {};
    }
    const QString path = dir.filePath(name);
    if (!change) {
        QFile::remove(path);
        return QFile::copy(kExamples + QStringLiteral("/boiler.prt"), path) ? path : QString();
    }
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    if (readProject(*ws, kExamples + QStringLiteral("/boiler.prt"), ui).status != ProjectReadStatus::Ok)
        return {};
    change(*ws);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(projectFileBytes(*ws)) < 0)
        return {};
    return path;
}

// Parameter 30 of page 1 bound to block 50, which the scheme does not hold.
void bindToMissingBlock(Workspace& ws)
{
    ParametrElement& e = ws.pages.parametr[0][30];
    e.used = 1;
    e.x = e.y = 100;
    e.font = 10;
    e.block = 50;
}

// A listener that keeps every byte it receives.
struct Listener {
    QTcpServer server;
    QByteArray received;
    Listener()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, &server, [this, s] { received += s->readAll(); });
        });
    }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestCliCheck : public QObject {
    Q_OBJECT

private slots:
    void checkExitStatuses()
    {
        QTemporaryDir dir;
        // The example: a warning, no error.
        Run r = runCli({"check", kExamples + "/boiler.prt"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QVERIFY2(r.outText().startsWith("warning: text-cut: page 1, text_signal 1: "), r.out.constData());
        QCOMPARE(r.outText().count('\n'), 1);
        // An error.
        const QString faulty = exampleCopy(dir, "faulty.prt", bindToMissingBlock);
        r = runCli({"check", faulty, "--json"});
        QCOMPARE(r.exitCode, 1);
        const QJsonArray problems = QJsonDocument::fromJson(r.out).object().value("problems").toArray();
        QCOMPARE(problems.size(), 2);
        // Page 1's elements in the kind order: the parameter before the text signal.
        const QJsonObject missing = problems[0].toObject();
        QCOMPARE(problems[1].toObject().value("code").toString(), QStringLiteral("text-cut"));
        QCOMPARE(missing.value("severity").toString(), QStringLiteral("error"));
        QCOMPARE(missing.value("code").toString(), QStringLiteral("missing-block"));
        QCOMPARE(missing.value("place").toObject(), (QJsonObject{{"page", 1}, {"kind", "parametr"}, {"number", 30}}));
        // The netlist missing is a warning.
        QTemporaryDir alone;
        QVERIFY(QFile::copy(kExamples + "/boiler.prt", alone.filePath("boiler.prt")));
        QVERIFY(QFile::copy(kExamples + "/boiler.gif", alone.filePath("boiler.gif")));
        r = runCli({"check", alone.filePath("boiler.prt")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.outText().contains("warning: netlist-missing: "), r.out.constData());
        // Unreadable input, wrong arguments.
        QCOMPARE(runCli({"check", dir.filePath("none.prt")}).exitCode, 2);
        QCOMPARE(runCli({"check", kExamples + "/boiler.net"}).exitCode, 2);
        QCOMPARE(runCli({"check"}).exitCode, 2);
        QCOMPARE(runCli({"check", faulty, "--bogus"}).exitCode, 2);
    }

    // write-pages prints the check's errors as warning lines and writes all
    // the same; --strict refuses and writes nothing.
    void errorsBeforeAWrite()
    {
        QTemporaryDir dir;
        const QString faulty = exampleCopy(dir, "faulty.prt", bindToMissingBlock);
        const QString dump = dir.filePath("page.bin");
        Run r = runCli({"write-pages", faulty, "--page", "1", "--dump", dump});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.errText(), QStringLiteral("warning: missing-block: page 1, parametr 30: Параметр 30: блока 50 "
                                             "нет в схеме\n"));
        QVERIFY(QFile::exists(dump));
        QFile::remove(dump);
        r = runCli({"write-pages", faulty, "--page", "1", "--dump", dump, "--strict"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.errText().startsWith("error: missing-block: page 1, parametr 30: "));
        QVERIFY(!QFile::exists(dump));
        // A page without the fault writes without a line; the scheme has none.
        r = runCli({"write-pages", faulty, "--page", "2", "--dump", dump, "--strict"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        r = runCli({"write-scheme", faulty, "--dump", dump, "--strict"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        // --dump keeps no journal.
        QVERIFY(!QFile::exists(dir.filePath("faulty.journal")));
    }

    // A write that went out appends its record: the hash is that of the
    // bytes the listener received, which are the bytes of --dump. A write
    // that fails appends nothing; --no-journal leaves the record out.
    void schemeWriteJournal()
    {
        QTemporaryDir dir;
        const QString project = exampleCopy(dir, "boiler.prt");
        const QString journal = dir.filePath("boiler.journal");
        const QString dump = dir.filePath("scheme.bin");
        QCOMPARE(runCli({"write-scheme", project, "--dump", dump}).exitCode, 0);
        const QByteArray dumped = readAll(dump);
        QVERIFY(!dumped.isEmpty());

        Run r = runCli({"write-scheme", project, "--tcp", QStringLiteral("127.0.0.1:%1").arg(closedPort())});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!QFile::exists(journal));

        Listener listener;
        r = runCli({"write-scheme", project, "--tcp", listener.address()});
        QCOMPARE(r.exitCode, 0);
        QTRY_COMPARE(listener.received.size(), dumped.size());
        QCOMPARE(listener.received, dumped);
        const JournalContents contents = readJournal(journal);
        QCOMPARE(contents.warnings, QStringList());
        QCOMPARE(contents.records.size(), 1);
        const JournalRecord& record = contents.records[0];
        QCOMPARE(record.sha256, sha256(dumped));
        QCOMPARE(record.part, QStringLiteral("scheme"));
        QCOMPARE(record.link, listener.address());
        QCOMPARE(record.controller, 1);
        QVERIFY(record.content.value("blocks").toObject().contains("14"));
        QVERIFY(qAbs(record.time.secsTo(QDateTime::currentDateTimeUtc())) < 120);

        // Equal to its last write now: the diff against the journal says so
        // for the scheme; the pages were never written.
        r = runCli({"diff", project, "--journal"});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.outText().startsWith(QStringLiteral("scheme: unchanged since ")), r.out.constData());
        QVERIFY(r.outText().contains(QStringLiteral("page 1: never written to controller 1\n")));

        Listener second;
        QCOMPARE(runCli({"write-scheme", project, "--tcp", second.address(), "--no-journal"}).exitCode, 0);
        QCOMPARE(readJournal(journal).records.size(), 1);
    }

    // A page written over a serial line: its record's hash is that of the
    // page's --dump, and the page then counts as unchanged.
    void pageWriteJournal()
    {
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QTemporaryDir dir;
        const QString project = exampleCopy(dir, "boiler.prt");
        const QString dump = dir.filePath("page.bin");
        QCOMPARE(runCli({"write-pages", project, "--page", "2", "--dump", dump}).exitCode, 0);
        const QByteArray dumped = readAll(dump);
        PtyPair pty;
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        const Run r = runCli({"write-pages", project, "--page", "2", "--serial", pty.devicePath()});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), dumped.size(), 5000);
        QCOMPARE(sink.bytes, dumped);
        const JournalContents contents = readJournal(dir.filePath("boiler.journal"));
        QCOMPARE(contents.records.size(), 1);
        QCOMPARE(contents.records[0].part, QStringLiteral("page"));
        QCOMPARE(contents.records[0].page, 2);
        QCOMPARE(contents.records[0].link, pty.devicePath());
        QCOMPARE(contents.records[0].sha256, sha256(dumped));
        const Run diff = runCli({"diff", project, "--journal", "--json"});
        QCOMPARE(diff.exitCode, 1); // the scheme and the other pages were never written
        const QJsonArray parts = QJsonDocument::fromJson(diff.out).object().value("parts").toArray();
        QCOMPARE(parts.size(), 9);
        QCOMPARE(parts[2].toObject().value("page").toInt(), 2);
        QCOMPARE(parts[2].toObject().value("changed").toBool(), false);
        QCOMPARE(parts[3].toObject().value("changed").toBool(), true);
    }

    // A journal whose last line was cut is read up to it with a warning; the
    // next record starts on a line of its own, and the diff goes on.
    void cutJournalIsReadUpToTheCut()
    {
        QTemporaryDir dir;
        const QString project = exampleCopy(dir, "boiler.prt");
        const QString journal = dir.filePath("boiler.journal");
        JournalRecord r;
        r.time = QDateTime::currentDateTimeUtc();
        r.link = "COM1";
        r.part = kPagePart;
        r.page = 2;
        r.sha256 = QString(64, '0');
        QCOMPARE(recordWrite(journal, r), QString());
        r.page = 3;
        QCOMPARE(recordWrite(journal, r), QString());
        QByteArray bytes = readAll(journal);
        bytes.chop(20);
        {
            QFile f(journal);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        JournalContents c = readJournal(journal);
        QCOMPARE(c.records.size(), 1);
        QCOMPARE(c.records[0].page, 2);
        QCOMPARE(c.warnings.size(), 1);
        QVERIFY(c.warnings[0].contains(":2:"));
        r.page = 4;
        QCOMPARE(recordWrite(journal, r), QString());
        c = readJournal(journal);
        QCOMPARE(c.records.size(), 2);
        QCOMPARE(c.records[1].page, 4);
        QCOMPARE(c.warnings.size(), 1);
        const Run run = runCli({"diff", project, "--journal"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errText().startsWith("warning: ") && run.errText().contains(":2:"), run.err.constData());
        QVERIFY(run.outText().contains(QStringLiteral("page 2: not written since ")));
        // A journal that cannot be written leaves the old one and says why.
        QVERIFY(!recordWrite(dir.filePath("none/x.journal"), r).isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("none/x.journal")));
    }

    void diffOfTwoProjects()
    {
        QTemporaryDir dir;
        const QString a = exampleCopy(dir, "a.prt");
        const QString b = exampleCopy(dir, "b.prt", [](Workspace& ws) {
            ws.pages.parametr[0][1].x = int16_t(ws.pages.parametr[0][1].x + 10);
            ws.pages.fill_color[3] = 0x00FF00;
        });
        Run r = runCli({"diff", a, a});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray());
        r = runCli({"diff", a, b, "--json"});
        QCOMPARE(r.exitCode, 1);
        const QJsonArray changes = QJsonDocument::fromJson(r.out).object().value("changes").toArray();
        QCOMPARE(changes.size(), 2);
        const QJsonObject moved = changes[0].toObject();
        QCOMPARE(moved.value("change").toString(), QStringLiteral("moved"));
        QCOMPARE(moved.value("place").toObject(), (QJsonObject{{"page", 1}, {"kind", "parametr"}, {"number", 1}}));
        QCOMPARE(moved.value("new").toObject().value("x").toInt() - moved.value("old").toObject().value("x").toInt(),
                 10);
        const QJsonObject fill = changes[1].toObject();
        QCOMPARE(fill.value("change").toString(), QStringLiteral("changed"));
        QCOMPARE(fill.value("field").toString(), QStringLiteral("fill_color"));
        QCOMPARE(fill.value("new").toInt(), 0x00FF00);
        r = runCli({"diff", a, b});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.outText().startsWith("moved: page 1, parametr 1: ("), r.out.constData());
        QCOMPARE(runCli({"diff", a, dir.filePath("none.prt")}).exitCode, 2);
        QCOMPARE(runCli({"diff", a}).exitCode, 2);
    }
};

QTEST_MAIN(TestCliCheck)
#include "test_cli_check.moc"
