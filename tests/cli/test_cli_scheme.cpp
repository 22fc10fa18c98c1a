#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

class TestCliScheme : public QObject {
    Q_OBJECT
private slots:
    void boilerNewProject();
    void failureMessagesAndVersion();
    void unreadableFile_data();
    void unreadableFile();

private:
    // The CLI's own stderr only: give the platform plugin a runtime folder so
    // that it prints no warning of its own.
    static void prepare(QProcess& p)
    {
        static QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        p.setProcessEnvironment(env);
    }
    static QJsonObject run(const QStringList& args, int expectedExit = 0, QByteArray* err = nullptr)
    {
        QProcess p;
        prepare(p);
        p.start(QStringLiteral(OSTREL_CLI), QStringList{QStringLiteral("scheme")} + args);
        if (!p.waitForFinished(60000))
            qFatal("ostrel-cli did not finish");
        const QByteArray errors = p.readAllStandardError();
        if (err)
            *err = errors;
        if (p.exitCode() != expectedExit)
            qWarning() << errors;
        [&] { QCOMPARE(p.exitCode(), expectedExit); }();
        return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    }
    static QJsonObject block(const QJsonObject& root, int n)
    {
        for (const QJsonValue& b : root[QStringLiteral("blocks")].toArray())
            if (b[QStringLiteral("number")].toInt() == n)
                return b.toObject();
        return {};
    }
};

void TestCliScheme::boilerNewProject()
{
    const QJsonObject root = run({QStringLiteral(OSTREL_EXAMPLES "/boiler.net")});
    QCOMPARE(root["version_code"].toInt(), 5);
    QCOMPARE(root["messages"].toArray().size(), 0);
    QCOMPARE(root["param_bytes"].toInt(), 4 * 447);
    QCOMPARE(root["text_bytes"].toInt(), 7432);

    const QJsonObject pid = block(root, 6);
    QCOMPARE(pid["code"].toString(), QStringLiteral("PID"));
    QCOMPARE(pid["component"].toString(), QStringLiteral("PID_IMPULS"));
    QCOMPARE(pid["type"].toInt(), 26);
    QCOMPARE(pid["params"].toArray().size(), 18);
    QCOMPARE(pid["params"].toArray()[0].toDouble(), 2.0);
    QCOMPARE(pid["inputs"].toArray()[1].toArray(), (QJsonArray{1, 5}));

    const QJsonObject and9 = block(root, 9);
    QCOMPARE(and9["invert_mask"].toInt(), 2);
    // the new project resets the RS485 texts and keeps the S_P names
    QCOMPARE(block(root, 13)["texts"].toArray().size(), 48);
    QCOMPARE(block(root, 13)["texts"].toArray()[47].toString(), QStringLiteral("0"));
    QCOMPARE(block(root, 5)["texts"].toArray()[8].toString(), QString::fromUtf8("Уставки котла"));
    const QJsonArray alg = block(root, 14)["texts"].toArray();
    QCOMPARE(alg.size(), 5248);
    QCOMPARE(alg[39].toString(), QStringLiteral("128"));
    QCOMPARE(alg[20].toString(), QStringLiteral("1"));

    QCOMPARE(root["special_link"].toArray().size(), 9);
    QCOMPARE(root["special_link"].toArray()[2].toArray().size(), 66);
    QCOMPARE(root["journal_invert"].toArray(), (QJsonArray{8, 0, 0, 0}));
    QCOMPARE(root["graph_input_link"].toArray()[9].toInt(), 7);
    QVERIFY(block(root, 16).isEmpty()); // empty numbers are not listed
    QCOMPARE(block(root, 97)["code"].toString(), QStringLiteral("SCA"));
}

// An import that ends with an error message: the table as far as it was
// built is printed, the message also goes to standard error, status 1.
void TestCliScheme::failureMessagesAndVersion()
{
    QByteArray err;
    const QJsonObject root = run({QStringLiteral(OSTREL_TEST_DATA "/netlist/small.net"), "--version", "1"}, 1, &err);
    QCOMPARE(QString::fromUtf8(err), QString::fromUtf8("Ошибка netLIST!!! Выход блока №7\n"));
    QCOMPARE(root["version_code"].toInt(), 1);
    QCOMPARE(root["messages"].toArray(), (QJsonArray{QString::fromUtf8("Ошибка netLIST!!! Выход блока №7")}));
    QCOMPARE(block(root, 3)["inputs"].toArray()[0].toArray(), (QJsonArray{3, 7}));
    QCOMPARE(block(root, 3)["params"].toArray()[0].toDouble(), 1.5);
    QCOMPARE(block(root, 7)["params"].toArray()[8].toDouble(), 0.0);
    QCOMPARE(block(root, 7)["params"].toArray()[0].toDouble(), 1.0);
}

void TestCliScheme::unreadableFile_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("missing file") << QStringList{QStringLiteral(OSTREL_TEST_DATA "/netlist/none.net")};
    QTest::newRow("no file") << QStringList{};
    QTest::newRow("bad version") << QStringList{QStringLiteral(OSTREL_EXAMPLES "/boiler.net"), "--version", "4"};
}

void TestCliScheme::unreadableFile()
{
    QFETCH(QStringList, args);
    QProcess p;
    prepare(p);
    p.start(QStringLiteral(OSTREL_CLI), QStringList{QStringLiteral("scheme")} + args);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardOutput().isEmpty());
    const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
    QCOMPARE(lines.size(), 1);
}

QTEST_GUILESS_MAIN(TestCliScheme)
#include "test_cli_scheme.moc"
