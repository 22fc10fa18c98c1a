// ostrel-cli resave: opens a project without windows and saves it again.
#include "project/project_writer.h"
#include "project_fixture.h"
#include "support/scripted_interaction.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

struct Run {
    int code = -1;
    QByteArray err;
};

Run resave(const QStringList& args)
{
    // A runtime folder of its own keeps the platform's notes off stderr.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(env);
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

QTEST_GUILESS_MAIN(CliResaveTest)
#include "test_cli_resave.moc"
