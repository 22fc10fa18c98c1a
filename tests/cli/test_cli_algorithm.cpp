#include "algorithm/drawing_builder.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCliAlgorithm : public QObject {
    Q_OBJECT

private:
    struct Run {
        int exitCode = -1;
        QByteArray out, err;
    };
    static Run cli(const QStringList& args)
    {
        QProcess p;
        // A runtime directory of our own keeps Qt's platform notes off stderr.
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(OSTREL_CLI), QStringList{QStringLiteral("algorithm")} + args);
        p.waitForFinished(60000);
        return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
    static QString example(const char* name) { return QStringLiteral(OSTREL_EXAMPLES "/") + QLatin1String(name); }

private slots:
    void exampleDrawingIntoTheAlgorithmBlock()
    {
        const Run r = cli({example("boiler.net"), example("boiler_algorithm.net")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value("block").toInt(), 14);
        const QJsonArray steps = o.value("steps").toArray();
        QCOMPARE(steps.size(), 128);
        for (const auto& s : steps)
            QCOMPARE(s.toArray().size(), 41);
        // Step 2 calls step 4; step 4 returns on both branches.
        QCOMPARE(steps[1].toArray()[39].toInt(), 3);
        QCOMPARE(o.value("call_flags").toArray()[1].toArray(), (QJsonArray{1, 0}));
        QCOMPARE(steps[3].toArray()[39].toInt(), 129);
        QCOMPARE(steps[3].toArray()[40].toInt(), 129);
        QCOMPARE(steps[127].toArray()[40].toInt(), 128);
        QCOMPARE(o.value("call_flags").toArray().size(), 128);
        const QJsonArray comments = o.value("comments").toArray();
        QCOMPARE(comments.size(), 1409);
        QCOMPARE(comments[0].toString(), QStringLiteral("Нагрев до уставки"));
        const QJsonArray sp = o.value("setpoints").toArray();
        QCOMPARE(sp.size(), 128);
        QCOMPARE(sp[0].toDouble(), 60.0);
        QCOMPARE(sp[1].toDouble(), 75.5);
        QVERIFY(o.value("messages").isArray());
    }

    void drawingMessagesComeLast()
    {
        const Run r = cli({example("boiler.net"), QStringLiteral(OSTREL_TEST_DATA "/algorithm/bad_condition.net"),
                           QStringLiteral("--block"), QStringLiteral("14")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        const QJsonArray messages = o.value("messages").toArray();
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.last().toString(), QStringLiteral("Ошибка условия в блоке <АЛГОРИТМ>  шаг A2"));
        // The scan stopped at the condition, the linking pass still ran.
        QCOMPARE(o.value("steps").toArray()[1].toArray()[39].toInt(), 4);
        QCOMPARE(o.value("comments").toArray()[11].toString(), QStringLiteral("first"));
    }

    // A drawing that cannot be read, and one whose import is abandoned (the
    // previous program is put back): no program came from it, so none is
    // printed; the message goes to standard error, status 1.
    void drawingNotImported_data()
    {
        using ostrel::testing::DrawingBuilder;
        QTest::addColumn<QByteArray>("drawing");
        QTest::addColumn<QString>("message");
        QTest::newRow("no netlist item")
            << DrawingBuilder().step(1, QStringLiteral("INP1 = 1")).bytes(false) << QStringLiteral("Ошибка считывания файла!!!");
        QTest::newRow("box that no step leads to")
            << DrawingBuilder().step(1, QStringLiteral("INP1 = 1")).box(QLatin1Char('Y'), 4, QStringLiteral("OUT1 = 1")).bytes()
            << QStringLiteral("Ошибка -Attributes- блок Y4\"");
    }
    void drawingNotImported()
    {
        QFETCH(QByteArray, drawing);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QFile f(dir.filePath(QStringLiteral("drawing.net")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(drawing) == drawing.size());
        f.close();
        const Run r = cli({example("boiler.net"), f.fileName()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QString::fromLocal8Bit(r.err), message + u'\n');
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("missing drawing") << QStringList{example("boiler.net"), example("none.net")};
        QTest::newRow("missing scheme") << QStringList{example("none.net"), example("boiler_algorithm.net")};
        QTest::newRow("not an algorithm block")
            << QStringList{example("boiler.net"), example("boiler_algorithm.net"), "--block", "1"};
        QTest::newRow("one file") << QStringList{example("boiler.net")};
    }
    void errors()
    {
        QFETCH(QStringList, args);
        const Run r = cli(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestCliAlgorithm)
#include "test_cli_algorithm.moc"
