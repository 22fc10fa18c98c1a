// ostrel-cli write-plant: the plant file's refusals (naming the controller
// and the key), exit statuses, the summary table and the JSON report of a
// real run over TCP (two controllers side by side, a refusing port, one
// refused by the check), then a run of "changed" that has nothing to write.
#include "link/write_journal.h"
#include "link/sequences.h"
#include "project/plant_file.h"
#include "project/project_journal.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QElapsedTimer>
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

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

using Run = ostrel::testing::CliRun;
using ostrel::testing::readAll;
using ostrel::testing::runCli;

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The example project as `dir`/`name`, changed by `change` when given.
QString exampleCopy(const QTemporaryDir& dir, const QString& name, const std::function<void(Workspace&)>& change = {})
{
    for (const char* file : {"boiler.net", "boiler.gif"}) {
        const QString to = dir.filePath(QString::fromLatin1(file));
        if (!QFile::exists(to) && !QFile::copy(kExamples + u'/' + QString::fromLatin1(file), to))
            return {};
    }
    auto ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    if (readProject(*ws, kExamples + QStringLiteral("/boiler.prt"), ui).status != ProjectReadStatus::Ok)
        return {};
    if (change)
        change(*ws);
    const QString path = dir.filePath(name);
    return writeFile(path, projectFileBytes(*ws)) ? path : QString();
}

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

class TestCliPlant : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    // Unknown keys and bad values: refused with the controller's name and the key.
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("line");
        const QByteArray k1 = R"({"name": "Котёл 1", "project": "a.prt", "tcp": "127.0.0.1:5020", )";
        QTest::newRow("unknown key") << k1 + R"("write": "scheme", "speed": 5}]})"
                                     << QStringLiteral("Котёл 1: unknown key \"speed\"");
        QTest::newRow("bad write") << k1 + R"("write": "everything"}]})"
                                   << QStringLiteral("Котёл 1: \"write\" must be one of scheme, pages, all, changed");
        QTest::newRow("write not text") << k1 + R"("write": 3}]})"
                                        << QStringLiteral("Котёл 1: \"write\" must be one of scheme, pages, all, changed");
        QTest::newRow("controller 9") << k1 + R"("write": "all", "controller": 9}]})"
                                      << QStringLiteral("Котёл 1: \"controller\" must be a controller number 1..8");
        QTest::newRow("controller 2.5") << k1 + R"("write": "all", "controller": 2.5}]})"
                                        << QStringLiteral("Котёл 1: \"controller\" must be a controller number 1..8");
        QTest::newRow("no port") << QByteArray(R"({"name": "Котёл 1", "project": "a.prt", "tcp": "127.0.0.1", "write": "all"}]})")
                                 << QStringLiteral("Котёл 1: \"tcp\" must be HOST:PORT with a port 1..65535");
        QTest::newRow("two links")
            << QByteArray(R"({"name": "Насосная", "project": "a.prt", "tcp": "h:1", "serial": "/dev/ttyUSB0", "write": "all"}]})")
            << QStringLiteral("Насосная: give one of \"tcp\" and \"serial\"");
        QTest::newRow("no link") << QByteArray(R"({"name": "Насосная", "project": "a.prt", "write": "all"}]})")
                                 << QStringLiteral("Насосная: give one of \"tcp\" and \"serial\"");
        QTest::newRow("no project") << QByteArray(R"({"name": "Насосная", "serial": "/dev/ttyUSB0", "write": "all"}]})")
                                    << QStringLiteral("Насосная: \"project\" is missing");
        QTest::newRow("no write") << QByteArray(R"({"name": "Насосная", "project": "a.prt", "serial": "/dev/ttyUSB0"}]})")
                                  << QStringLiteral("Насосная: \"write\" is missing (scheme, pages, all or changed)");
        QTest::newRow("no name") << QByteArray(R"({"project": "a.prt", "serial": "/dev/ttyUSB0", "write": "all"}]})")
                                 << QStringLiteral("controller 1: \"name\" must be a non-empty text");
        QTest::newRow("same name twice")
            << QByteArray(R"({"name": "A", "project": "a.prt", "serial": "/dev/ttyS0", "write": "all"}, )"
                          R"({"name": "A", "project": "b.prt", "serial": "/dev/ttyS1", "write": "all"}]})")
            << QStringLiteral("A: \"name\" is given to two controllers");
    }
    void refusals()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, line);
        PlantFile plant;
        QString error;
        QVERIFY(!parsePlantFile(QByteArray(R"({"controllers": [)") + json, QStringLiteral("plant.json"), plant, error));
        QCOMPARE(error, QStringLiteral("plant.json: ") + line);
    }

    void wholeFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("line");
        QTest::newRow("not JSON") << QByteArray("{") << QStringLiteral("not JSON");
        QTest::newRow("a list") << QByteArray("[]") << QStringLiteral("expected an object");
        QTest::newRow("unknown top key") << QByteArray(R"({"controllers": [], "site": 1})")
                                         << QStringLiteral("unknown key \"site\"");
        QTest::newRow("no controller") << QByteArray(R"({"controllers": []})")
                                       << QStringLiteral("\"controllers\" holds no controller");
    }
    void wholeFile()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, line);
        PlantFile plant;
        QString error;
        QVERIFY(!parsePlantFile(json, QStringLiteral("plant.json"), plant, error));
        QVERIFY2(error.startsWith(QStringLiteral("plant.json: ") + line), qPrintable(error));
    }

    // The example of the plant file: paths relative to it, the defaults.
    void reads()
    {
        PlantFile plant;
        QString error;
        QVERIFY2(parsePlantFile(R"({"controllers": [{"name": "Котёл 1", "project": "k1/boiler.prt", "tcp":
            "127.0.0.1:5020", "controller": 3, "write": "scheme"}, {"name": "Насосная", "project":
            "pumps.prt", "serial": "/dev/ttyUSB0", "write": "all"}]})",
                                QStringLiteral("/plants/north/plant.json"), plant, error),
                 qPrintable(error));
        QCOMPARE(plant.controllers.size(), 2);
        const PlantController& k = plant.controllers[0];
        QCOMPARE(k.project, QStringLiteral("/plants/north/k1/boiler.prt"));
        QCOMPARE(k.link(), QStringLiteral("127.0.0.1:5020"));
        QCOMPARE(k.controller, std::optional<int>(3));
        QCOMPARE(k.what, PlantWhat::Scheme);
        const PlantController& n = plant.controllers[1];
        QCOMPARE(n.link(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(n.controller, std::nullopt);
        QCOMPARE(n.what, PlantWhat::All);
    }

    // Exit 2: an unreadable plant file, a project that cannot be read, bad
    // options; nothing is written.
    void unreadable()
    {
        QCOMPARE(runCli({"write-plant", tmp.filePath("none.json")}).exitCode, 2);
        const QString bad = tmp.filePath("bad.json");
        QVERIFY(writeFile(bad, R"({"controllers": [{"name": "K", "project": "k.prt", "tcp": "127.0.0.1:1", "write": "x"}]})"));
        Run r = runCli({"write-plant", bad});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.errText().contains(QStringLiteral("K: \"write\" must be one of")), r.err.constData());
        const QString missing = tmp.filePath("missing.json");
        QVERIFY(writeFile(missing, R"({"controllers": [{"name": "K", "project": "none.prt", "tcp": "127.0.0.1:1", "write": "all"}]})"));
        r = runCli({"write-plant", missing});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.errText().contains(QStringLiteral("K: cannot open")), r.err.constData());
        QCOMPARE(runCli({"write-plant", missing, "--jobs", "0"}).exitCode, 2);
        QCOMPARE(runCli({"write-plant", missing, "--bogus"}).exitCode, 2);
        QCOMPARE(runCli({"write-plant"}).exitCode, 2);
    }

    // Two schemes side by side in about the time of one, a refusing port and
    // a project the check refuses: exit 1, the table, the report, the
    // journal. Then "changed" finds nothing to write: exit 0.
    void run()
    {
        const QString project = exampleCopy(tmp, QStringLiteral("boiler.prt"));
        const QString faulty = exampleCopy(tmp, QStringLiteral("faulty.prt"), [](Workspace& ws) {
            ParametrElement& e = ws.pages.parametr[0][30];
            e.used = 1;
            e.x = e.y = 100;
            e.font = 10;
            e.block = 50;
        });
        QVERIFY(!project.isEmpty() && !faulty.isEmpty());
        const QString dump = tmp.filePath("scheme.bin");
        QCOMPARE(runCli({"write-scheme", project, "--dump", dump, "--controller", "4"}).exitCode, 0);
        Listener a, b;
        const QString plant = tmp.filePath("plant.json");
        const QString report = tmp.filePath("report.json");
        QVERIFY(writeFile(plant, QStringLiteral(R"({"controllers": [
            {"name": "Котёл 1", "project": "boiler.prt", "tcp": "%1", "controller": 4, "write": "scheme"},
            {"name": "Котёл 2", "project": "boiler.prt", "tcp": "%2", "controller": 4, "write": "scheme"},
            {"name": "Отказ", "project": "boiler.prt", "tcp": "127.0.0.1:%3", "write": "scheme"},
            {"name": "Ошибка", "project": "faulty.prt", "tcp": "%1", "write": "pages"}]})")
                                     .arg(a.address(), b.address())
                                     .arg(closedPort())
                                     .toUtf8()));
        QElapsedTimer clock;
        clock.start();
        const Run r = runCli({"write-plant", plant, "--report", report});
        const qint64 wall = clock.elapsed();
        QCOMPARE(r.exitCode, 1);
        // Side by side: well under two scheme writes (9.5 s each).
        QVERIFY2(wall < 15000, qPrintable(QString::number(wall)));
        const QByteArray expected = readAll(dump);
        QCOMPARE(a.received, expected);
        QCOMPARE(b.received, expected);
        const QString hash = sha256Hex(expected);

        // Without a terminal: one line a finished controller, then the table.
        const QStringList lines = r.outText().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4 + 5);
        QCOMPARE(lines[4].split(u' ', Qt::SkipEmptyParts), (QStringList{"name", "what", "result", "time", "sha256"}));
        QVERIFY(lines.contains(QStringLiteral("Ошибка: refused, 8 pages, 0.0 s: the check found errors "
                                              "(--force writes all the same)")));
        QVERIFY2(lines[5].startsWith(QStringLiteral("Котёл 1 ")) && lines[5].endsWith(hash), qPrintable(lines[5]));
        QVERIFY(lines[5].contains(QStringLiteral(" ok ")));
        QVERIFY(lines[7].contains(QStringLiteral(" failed ")) && lines[7].endsWith(u'-'));
        QVERIFY(lines[8].contains(QStringLiteral(" refused ")));
        QVERIFY2(r.errText().contains(QStringLiteral("Отказ: Ошибка порта!!! 127.0.0.1:")), r.err.constData());
        QVERIFY2(r.errText().contains(QStringLiteral("Ошибка: error: missing-block: page 1")), r.err.constData());

        const QJsonObject o = QJsonDocument::fromJson(readAll(report)).object();
        QCOMPARE(o.value("ok").toBool(true), false);
        const QJsonArray cs = o.value("controllers").toArray();
        QCOMPARE(cs.size(), 4);
        QStringList results;
        for (const QJsonValue& v : cs)
            results << v.toObject().value("result").toString();
        QCOMPARE(results, (QStringList{"ok", "ok", "failed", "refused"}));
        const QJsonObject k1 = cs[0].toObject();
        QCOMPARE(k1.value("name").toString(), QStringLiteral("Котёл 1"));
        QCOMPARE(k1.value("sha256").toString(), hash);
        QCOMPARE(k1.value("bytes").toInteger(), expected.size());
        QCOMPARE(k1.value("controller").toInt(), 4);
        QCOMPARE(k1.value("written").toArray(), QJsonArray{"scheme"});
        QVERIFY(k1.value("seconds").toDouble() > 9.0);
        QCOMPARE(cs[3].toObject().value("problems").toArray().first().toObject().value("code").toString(),
                 QStringLiteral("missing-block"));
        QCOMPARE(cs[3].toObject().value("bytes").toInteger(), 0);

        // Both schemes journalled beside their project, nothing for the refused ones.
        const JournalContents journal = readJournal(journalPathFor(project));
        QCOMPARE(journal.records.size(), 2);
        QCOMPARE(journal.records[0].sha256, hash);
        QVERIFY(!QFile::exists(journalPathFor(faulty)));

        // The pages as if written too (records made here, as a write of them
        // would append): "changed" then sends nothing and succeeds.
        {
            auto ws = std::make_unique<Workspace>();
            ScriptedInteraction ui;
            QCOMPARE(readProject(*ws, project, ui).status, ProjectReadStatus::Ok);
            ws->settings.controller_number = 4;
            ElementPictures pictures;
            PagePainter painter(pictures);
            auto ts = std::make_unique<TransferState>();
            for (int p = 0; p < 8; ++p) {
                QVERIFY(preparePage(painter, ws->pages, p, ws->version_code, tmp.path(), *ts).ok);
                const QByteArray bytes = pageWireStream(*ts, 4, p);
                QVERIFY(recordWrite(journalPathFor(project), journalRecord(*ws, p, bytes, a.address())).isEmpty());
            }
        }
        QVERIFY(writeFile(plant, QStringLiteral(R"({"controllers": [
            {"name": "Котёл 1", "project": "boiler.prt", "tcp": "%1", "controller": 4, "write": "changed"}]})")
                                     .arg(a.address())
                                     .toUtf8()));
        const qsizetype before = a.received.size();
        const Run again = runCli({"write-plant", plant, "--report", report, "--jobs", "1"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.outText().startsWith(QStringLiteral("Котёл 1: unchanged, nothing, 0.0 s\n")), again.out.constData());
        QCOMPARE(a.received.size(), before);
        const QJsonObject o2 = QJsonDocument::fromJson(readAll(report)).object();
        QCOMPARE(o2.value("ok").toBool(), true);
        QCOMPARE(o2.value("controllers").toArray().first().toObject().value("result").toString(),
                 QStringLiteral("unchanged"));
    }
};

QTEST_MAIN(TestCliPlant)
#include "test_cli_plant.moc"
