// ostrel-cli --help and --version: the usage or "ostrel-cli VERSION" on
// standard output, status 0, nothing on standard error; taken in the
// command's place only ("--version" after a command is its controller
// version). Without a command, or with an unknown one, the usage still goes
// to standard error with status 2. An answer that cannot be written is a
// failure.
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

struct Run {
    int code = -1; // -1: crashed or did not finish
    QByteArray out, err;
};

Run cli(const QStringList& args, const QString& outputFile = QString())
{
    QProcess p;
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    p.start(QStringLiteral(OSTREL_CLI), args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

const QByteArray kUsageStart = "usage: ostrel-cli COMMAND ...\n";

} // namespace

class CliInfoTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out"); // standard output starts with it
        QTest::addColumn<QByteArray>("err"); // standard error starts with it
        const QByteArray version = "ostrel-cli " OSTREL_VERSION "\n";
        QTest::newRow("--help") << QStringList{"--help"} << 0 << kUsageStart << QByteArray();
        QTest::newRow("-h") << QStringList{"-h"} << 0 << kUsageStart << QByteArray();
        QTest::newRow("--help before a command") << QStringList{"--help", "scheme"} << 0 << kUsageStart << QByteArray();
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << QByteArray();
        QTest::newRow("--version after a command is the controller's")
            << QStringList{"scheme", "--version", "9"} << 2 << QByteArray()
            << QByteArray("scheme: --version must be 5, 3, 0 or 1");
        QTest::newRow("no command") << QStringList{} << 2 << QByteArray() << kUsageStart;
        QTest::newRow("unknown command") << QStringList{"--helpme"} << 2 << QByteArray() << kUsageStart;
    }

    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.startsWith(out), r.out.constData());
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), r.err.constData());
        if (args == QStringList{"--version"})
            QCOMPARE(r.out, out); // one line, nothing more
    }

    void unwritableAnswerFails_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("--help") << "--help";
        QTest::newRow("--version") << "--version";
    }

    void unwritableAnswerFails()
    {
        QFETCH(QString, option);
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        QCOMPARE(cli({option}, QStringLiteral("/dev/full")).code, 1);
    }
};

QTEST_GUILESS_MAIN(CliInfoTest)
#include "test_cli_info.moc"
