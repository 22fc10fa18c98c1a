// ostrel-configurator --help and --version: answered on standard output with
// status 0 on a machine without a display (no window is made for them).
#include <QProcess>
#include <QTest>

class ConfiguratorProgramTest : public QObject {
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out"); // standard output starts with it
        const QByteArray usage = "usage: ostrel-configurator [PROJECT.prt]\n";
        QTest::newRow("--help") << QStringList{"--help"} << usage;
        QTest::newRow("-h") << QStringList{"-h"} << usage;
        QTest::newRow("--version after a project") << QStringList{"boiler.prt", "--version"}
                                                   << QByteArray("ostrel-configurator " OSTREL_VERSION "\n");
    }

    void answers()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(OSTREL_CONFIGURATOR), args);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QByteArray stdOut = p.readAllStandardOutput();
        QVERIFY2(stdOut.startsWith(out), stdOut.constData());
        if (args.contains(QStringLiteral("--version")))
            QCOMPARE(stdOut, out);
        QCOMPARE(p.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(ConfiguratorProgramTest)
#include "test_configurator_program.moc"
