// The decoder against the command-line tool: what `ostrel-cli write-scheme`
// dumps decodes into the JSON that `ostrel-cli scheme` prints for the same
// netlist, apart from what the wire does not carry (component names, import
// messages).
#include "wire/link_receiver.h"
#include "wire/scheme_decoder.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace ostrel;

namespace {

QByteArray runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(OSTREL_CLI), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qWarning() << args << p.readAllStandardError();
    return p.readAllStandardOutput();
}

// The keys the wire cannot fill: the blocks' component names and the messages.
QJsonObject withoutImportNotes(QJsonObject root)
{
    root.remove(QStringLiteral("messages"));
    QJsonArray blocks;
    for (const QJsonValue& b : root[QStringLiteral("blocks")].toArray()) {
        QJsonObject o = b.toObject();
        o.remove(QStringLiteral("component"));
        blocks.append(o);
    }
    root[QStringLiteral("blocks")] = blocks;
    return root;
}

} // namespace

class CliDecodeTest : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void dumpDecodesToSchemeJson_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("4.5") << 5;
        QTest::newRow("4.2") << 3;
        QTest::newRow("3.0") << 0;
        QTest::newRow("1.3") << 1;
    }

    void dumpDecodesToSchemeJson()
    {
        QFETCH(int, version);
        const QString netlist = QStringLiteral(OSTREL_EXAMPLES "/boiler.net");
        const QString v = QString::number(version);
        const QString dump = tmp.filePath(QStringLiteral("scheme-%1.bin").arg(version));
        const QJsonObject printed = QJsonDocument::fromJson(
            runCli({QStringLiteral("scheme"), netlist, QStringLiteral("--version"), v})).object();
        QVERIFY(!printed.isEmpty());
        runCli({QStringLiteral("write-scheme"), netlist, QStringLiteral("--dump"), dump, QStringLiteral("--version"), v});
        QFile f(dump);
        QVERIFY(f.open(QIODevice::ReadOnly));

        LinkReceiver rx({version, std::nullopt});
        rx.feed(f.readAll());
        rx.finish();
        const LinkReceiver::Output out = rx.take();
        QCOMPARE(out.schemes.size(), size_t(1));
        QVERIFY(out.schemes[0].complete());
        const QJsonObject decoded = schemeJson(out.schemes[0]);
        QCOMPARE(decoded.keys(), printed.keys());
        QCOMPARE(decoded[QStringLiteral("blocks")].toArray()[0].toObject().keys(),
                 printed[QStringLiteral("blocks")].toArray()[0].toObject().keys());
        QCOMPARE(withoutImportNotes(decoded), withoutImportNotes(printed));
    }
};

QTEST_GUILESS_MAIN(CliDecodeTest)
#include "test_cli_decode.moc"
