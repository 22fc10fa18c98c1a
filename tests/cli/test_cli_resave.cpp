// ostrel-cli resave: opens a project without windows and saves it again.
#include "project/project_writer.h"
#include "project_fixture.h"
#include "support/scripted_interaction.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>

using namespace ostrel;

namespace {

struct Run {
    int code = -1;
    QByteArray err;
};

// fileSizeLimit > 0: no file of the tool may grow beyond it (a full disk).
Run resave(const QStringList& args, rlim_t fileSizeLimit = 0)
{
    // A runtime folder of its own keeps the platform's notes off stderr.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(env);
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    p.start(QStringLiteral(OSTREL_CLI), QStringList{"resave"} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class CliResaveTest : public QObject {
    Q_OBJECT
private slots:
    void sameBytesIntoAnotherFolder();
    void unreadableInput_data();
    void unreadableInput();
    void failedWrites_data();
    void failedWrites();
    void failedImportRefused_data();
    void failedImportRefused();
};

void CliResaveTest::sameBytesIntoAnotherFolder()
{
    QTemporaryDir dir;
    auto ws = std::make_unique<Workspace>();
    QVERIFY(fixture::importScheme(*ws, dir.filePath("scheme.net"), fixture::smallScheme()));
    fixture::fillPages(ws->pages);
    fixture::fillAlgorithm(*ws, 14, 3);
    ws->blocks.param(12, 4) = 0.25f;
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("in.prt"), ui, {QLocale(QLocale::Russian), false}));
    QVERIFY(QDir(dir.path()).mkdir("out"));

    const Run r = resave({dir.filePath("in.prt"), dir.filePath("out/out.prt")});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(readAll(dir.filePath("out/out.prt")), readAll(dir.filePath("in.prt")));
    // The save carries its netlist along.
    QCOMPARE(readAll(dir.filePath("out/scheme.net")), readAll(dir.filePath("scheme.net")));
}

void CliResaveTest::unreadableInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing file") << "missing.prt" << QByteArray();
    QTest::newRow("not a project") << "bad.prt" << QByteArray("hello\r\nworld\r\n");
}

void CliResaveTest::unreadableInput()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    if (!content.isEmpty())
        QVERIFY(fixture::writeFile(dir.filePath(name), content));
    const Run r = resave({dir.filePath(name), dir.filePath("out.prt")});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(!QFile::exists(dir.filePath("out.prt")));
    QCOMPARE(resave({dir.filePath(name)}).code, 2);
}

// A project file that cannot be written leaves the old one; a companion
// that cannot be written is reported although the project file is written.
// Both end with status 1 and one line per failure on standard error.
void CliResaveTest::failedWrites_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<bool>("projectWritten");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("disk full") << true << false << QByteArray("cannot write");
    QTest::newRow("companion in the way") << false << true << QByteArray("cannot copy");
}

void CliResaveTest::failedWrites()
{
    QFETCH(bool, diskFull);
    QFETCH(bool, projectWritten);
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    auto ws = std::make_unique<Workspace>();
    QVERIFY(fixture::importScheme(*ws, dir.filePath("scheme.net"), fixture::smallScheme()));
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("in.prt"), ui, {QLocale::c(), false}));
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QVERIFY(fixture::writeFile(dir.filePath("out/out.prt"), "earlier"));
    // A folder where the netlist copy should go cannot be replaced by a file.
    if (!diskFull)
        QVERIFY(QDir(dir.path()).mkpath("out/scheme.net"));

    const Run r = resave({dir.filePath("in.prt"), dir.filePath("out/out.prt")}, diskFull ? 4096 : 0);
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY2(r.err.startsWith(line), r.err.constData());
    QCOMPARE(readAll(dir.filePath("out/out.prt")), projectWritten ? readAll(dir.filePath("in.prt")) : QByteArray("earlier"));
}


// A project whose netlist no longer imports, or yields no block at all (an
// empty or unrelated file beside the project), is not saved: the import's
// message if any and the refusal on standard error, status 1, nothing
// written, also when the input itself is the output.
void CliResaveTest::failedImportRefused_data()
{
    QTest::addColumn<QByteArray>("netlist");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("importMessage");
    QTest::newRow("import stops") << fixture::netlistBytes(fixture::smallScheme() << fixture::Component{"U123", "MUL", {"1"}})
                                  << "out.prt" << QStringLiteral("Ошибка netLIST!!! Выход блока №123");
    QTest::newRow("empty netlist, onto itself") << QByteArray() << "in.prt" << QString();
    QTest::newRow("unrelated file") << QByteArray("notes\r\nnot a netlist\r\n") << "out.prt" << QString();
}

void CliResaveTest::failedImportRefused()
{
    QFETCH(QByteArray, netlist);
    QFETCH(QString, out);
    QFETCH(QString, importMessage);
    QTemporaryDir dir;
    auto ws = std::make_unique<Workspace>();
    QVERIFY(fixture::importScheme(*ws, dir.filePath("scheme.net"), fixture::smallScheme()));
    ScriptedInteraction ui;
    QVERIFY(writeProject(*ws, dir.filePath("in.prt"), ui, {QLocale::c(), false}));
    const QByteArray before = readAll(dir.filePath("in.prt"));
    QFile::remove(dir.filePath("scheme.net"));
    QVERIFY(fixture::writeFile(dir.filePath("scheme.net"), netlist));

    const Run r = resave({dir.filePath("in.prt"), dir.filePath(out)});
    QCOMPARE(r.code, 1);
    QStringList lines = QString::fromLocal8Bit(r.err).trimmed().split(u'\n');
    if (!importMessage.isEmpty()) {
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.takeFirst(), importMessage);
    }
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines[0].startsWith("resave: ") && lines[0].endsWith("nothing was written"), qPrintable(lines[0]));
    QCOMPARE(readAll(dir.filePath("in.prt")), before);
    if (out != QLatin1String("in.prt"))
        QVERIFY(!QFile::exists(dir.filePath(out)));
}

QTEST_GUILESS_MAIN(CliResaveTest)
#include "test_cli_resave.moc"
