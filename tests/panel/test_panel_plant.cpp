// A plant written in one run to panels on 127.0.0.1: ten projects to ten
// listening panels, each decoding exactly what --dump of its project gives;
// a port that refuses and a panel that closes mid-write fail while the
// others succeed; the check before the write (refused, --force); a second
// run of "changed" that finds nothing, then one changed page. The sequences
// are driven by their ticks, not by the protocol's intervals.
#include "link/byte_sink.h"
#include "link/pty_pair.h"
#include "link/transfer_engine.h"
#include "link/write_journal.h"
#include "panel/listeners.h"
#include "panel/panel_session.h"
#include "platform/headless_interaction.h"
#include "project/plant_write.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "workspace/workspace.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The example project as `folder`/boiler.prt with its netlist and picture,
// changed by `change` when given.
QString exampleIn(const QString& folder, const std::function<void(Workspace&)>& change = {})
{
    QDir().mkpath(folder);
    for (const char* file : {"boiler.net", "boiler.gif"})
        QFile::copy(kExamples + u'/' + QLatin1String(file), folder + u'/' + QLatin1String(file));
    const QString path = folder + QStringLiteral("/boiler.prt");
    auto ws = std::make_unique<Workspace>();
    HeadlessInteraction ui;
    if (readProject(*ws, kExamples + QStringLiteral("/boiler.prt"), ui).status != ProjectReadStatus::Ok)
        return {};
    if (change)
        change(*ws);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(projectFileBytes(*ws)) < 0)
        return {};
    return path;
}

// What ostrel-cli --dump gives for the project: the scheme's stream, the
// pages' stream, or both files for "all".
QStringList dumps(const QString& project, const QString& what, const QString& into, int controller)
{
    QStringList files;
    auto run = [&](const QStringList& args, const QString& file) {
        QProcess p;
        p.start(QStringLiteral(OSTREL_CLI), args + QStringList{QStringLiteral("--dump"), file,
                                                               QStringLiteral("--controller"),
                                                               QString::number(controller)});
        if (p.waitForFinished(60000) && p.exitCode() == 0)
            files << file;
        else
            qWarning() << p.readAllStandardError();
    };
    if (what != QLatin1String("pages"))
        run({QStringLiteral("write-scheme"), project}, into + QStringLiteral("/scheme.bin"));
    if (what != QLatin1String("scheme"))
        run({QStringLiteral("write-pages"), project, QStringLiteral("--all")}, into + QStringLiteral("/pages.bin"));
    return files;
}

// A listener that takes the first bytes and closes the connection.
struct Closer {
    QTcpServer server;
    bool closed = false;
    Closer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    s->readAll();
                    s->abort();
                    closed = true;
                });
        });
    }
};

quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Runs the write with every sequence's next tick at once; a writer whose
// panel has just closed is let see the close before it sends again.
bool drive(PlantWrite& plant, const std::function<bool(int)>& hold = {})
{
    bool over = false;
    QObject::connect(&plant, &PlantWrite::finished, &plant, [&over] { over = true; });
    plant.start();
    QElapsedTimer clock;
    clock.start();
    while (!over && clock.elapsed() < 60000) {
        for (int i = 0; i < plant.size(); ++i)
            if (TransferEngine* e = plant.engine(i); e && !(hold && hold(i))
                && (!e->link().usesTcp() || e->link().tcp().socket()->bytesToWrite() == 0))
                e->tickNow();
        QTest::qWait(1);
    }
    return over;
}

PlantController controllerAt(const QString& name, const QString& project, quint16 port, PlantWhat what,
                             std::optional<int> number = {})
{
    PlantController c;
    c.name = name;
    c.project = project;
    c.tcpHost = QStringLiteral("127.0.0.1");
    c.tcpPort = port;
    c.what = what;
    c.controller = number;
    return c;
}

} // namespace

class TestPanelPlant : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;

private slots:
    void tenPanels()
    {
        struct Panel {
            std::unique_ptr<PanelSession> session;
            std::unique_ptr<TcpListener> listener;
        };
        const QList<PlantWhat> whats{PlantWhat::Scheme, PlantWhat::Pages, PlantWhat::All, PlantWhat::Scheme,
                                     PlantWhat::Pages,  PlantWhat::All,   PlantWhat::Scheme, PlantWhat::Scheme,
                                     PlantWhat::Pages,  PlantWhat::All};
        PlantFile plant;
        std::vector<Panel> panels;
        for (int i = 0; i < 10; ++i) {
            // Ten projects: their own controller numbers, two given by the plant file.
            const QString project = exampleIn(tmp.filePath(QStringLiteral("k%1").arg(i + 1)), [i](Workspace& ws) {
                ws.settings.controller_number = int16_t(1 + i % 8);
            });
            QVERIFY(!project.isEmpty());
            SessionOptions so;
            so.out_dir = tmp.filePath(QStringLiteral("live/%1").arg(i + 1));
            QVERIFY(QDir().mkpath(so.out_dir));
            Panel p;
            p.session = std::make_unique<PanelSession>(so);
            p.listener = std::make_unique<TcpListener>(*p.session);
            QVERIFY(p.listener->listen(0));
            plant.controllers << controllerAt(QStringLiteral("Котёл %1").arg(i + 1), project, p.listener->port(),
                                              whats[i], i >= 8 ? std::optional<int>(8 - (i - 8)) : std::nullopt);
            panels.push_back(std::move(p));
        }
        const QString spare = exampleIn(tmp.filePath(QStringLiteral("spare")));
        plant.controllers << controllerAt(QStringLiteral("Отказ"), spare, closedPort(), PlantWhat::Scheme);
        Closer closer;
        plant.controllers << controllerAt(QStringLiteral("Обрыв"), spare, closer.server.serverPort(), PlantWhat::All);

        PlantWrite write(plant, {});
        QStringList errors;
        QVERIFY2(write.load(errors), qPrintable(errors.join(u'\n')));
        const int closerIndex = 11;
        QVERIFY(drive(write, [&](int i) {
            return i == closerIndex && closer.closed
                && write.engine(i)->link().tcp().socket()->state() == QAbstractSocket::ConnectedState;
        }));

        for (int i = 0; i < 10; ++i) {
            const PlantProgress& p = write.progress(i);
            QVERIFY2(p.status == PlantStatus::Succeeded, qPrintable(plant.controllers[i].name + p.messages.join(u' ')));
            QCOMPARE(p.written, p.parts);
            Panel& panel = panels[size_t(i)];
            panel.listener->drain();
            panel.session->closeAll();
            QVERIFY(!panel.session->hadErrors());

            // The same files from the panel fed with --dump of the project.
            const QString dumpDir = tmp.filePath(QStringLiteral("dump/%1").arg(i + 1));
            QVERIFY(QDir().mkpath(dumpDir));
            const QStringList files = dumps(plant.controllers[i].project, plantWhatName(whats[i]), dumpDir,
                                            write.controllerNumber(i));
            QCOMPARE(files.size(), whats[i] == PlantWhat::All ? 2 : 1);
            QByteArray all;
            SessionOptions so;
            so.out_dir = dumpDir;
            PanelSession fromDump(so);
            for (const QString& f : files) {
                QString error;
                QVERIFY2(readDumpFile(fromDump, f, error), qPrintable(error));
                all += readAll(f);
            }
            fromDump.closeAll();
            // What was sent is what --dump gives, byte for byte and hash for hash.
            QCOMPARE(p.bytes, qint64(all.size()));
            QCOMPARE(p.sha256, sha256Hex(all));
            for (const QString& name : PanelSession::outputFileNames()) {
                if (name == QLatin1String("log.txt"))
                    continue;
                const QString live = tmp.filePath(QStringLiteral("live/%1/").arg(i + 1)) + name;
                QCOMPARE(QFile::exists(live), QFile::exists(dumpDir + u'/' + name));
                if (QFile::exists(live))
                    QVERIFY2(readAll(live) == readAll(dumpDir + u'/' + name), qPrintable(live));
            }
            // One journal record a part, with the controller written to.
            const JournalContents journal = readJournal(journalPathFor(plant.controllers[i].project));
            QCOMPARE(journal.records.size(), p.parts.size());
            QCOMPARE(journal.records.first().controller, write.controllerNumber(i));
        }
        QCOMPARE(write.controllerNumber(8), 8);
        QCOMPARE(write.controllerNumber(9), 7);

        const PlantProgress& refused = write.progress(10);
        QCOMPARE(refused.status, PlantStatus::Failed);
        QVERIFY(refused.written.isEmpty());
        QVERIFY2(refused.messages.join(u' ').contains(QStringLiteral("Ошибка порта!!! 127.0.0.1:")),
                 qPrintable(refused.messages.join(u' ')));
        const PlantProgress& cut = write.progress(11);
        QCOMPARE(cut.status, PlantStatus::Failed);
        QVERIFY(closer.closed);
        QVERIFY(cut.written.size() < cut.parts.size());
        QVERIFY(!write.allSucceeded());
    }

    // Controllers on one link (here a serial device) one after another, and
    // --jobs caps the writes at once; both in plant order.
    void oneAtATime()
    {
        if (!ostrel::testing::PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        ostrel::testing::PtyPair pty;
        QVERIFY(pty.start());
        ostrel::testing::ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        const QString project = exampleIn(tmp.filePath(QStringLiteral("serial")));
        ostrel::testing::ByteSink tcp1, tcp2;
        QVERIFY(tcp1.listenTcp() && tcp2.listenTcp());
        PlantFile plant;
        for (int k = 0; k < 2; ++k) {
            PlantController c;
            c.name = QStringLiteral("Насосная %1").arg(k + 1);
            c.project = project;
            c.serialDevice = pty.devicePath();
            c.controller = k + 1;
            c.what = PlantWhat::Scheme;
            plant.controllers << c;
        }
        plant.controllers << controllerAt(QStringLiteral("Котёл 1"), project, tcp1.tcpPort(), PlantWhat::Scheme)
                          << controllerAt(QStringLiteral("Котёл 2"), project, tcp2.tcpPort(), PlantWhat::Scheme);
        PlantWrite write(plant, {.jobs = 2, .force = false, .journal = false});
        QStringList errors;
        QVERIFY(write.load(errors));
        // The plan by the protocol's intervals: 9 x 50 ms, then 2 x 500 ms on
        // a serial line; 9 x 500 ms, then 2 x 2500 ms over TCP.
        QCOMPARE(write.progress(0).plannedMs, 1450);
        QCOMPARE(write.progress(2).plannedMs, 9500);
        int most = 0;
        bool bothSerial = false;
        QVERIFY(drive(write, [&](int) {
            int running = 0;
            for (int i = 0; i < write.size(); ++i)
                running += write.engine(i) ? 1 : 0;
            most = std::max(most, running);
            bothSerial = bothSerial || (write.engine(0) && write.engine(1));
            return false;
        }));
        for (int i = 0; i < write.size(); ++i)
            QVERIFY2(write.progress(i).status == PlantStatus::Succeeded,
                     qPrintable(write.controller(i).name + u' ' + plantStatusName(write.progress(i).status) + u' '
                                + write.progress(i).messages.join(u' ')));
        QCOMPARE(most, 2);
        QVERIFY(!bothSerial);
        // The serial device got the two schemes in plant order, whole.
        QTRY_COMPARE(sink.bytes.size(), qsizetype(2 * write.progress(0).bytes));
        QCOMPARE(uint8_t(sink.bytes.at(0)), uint8_t(1));
        QCOMPARE(uint8_t(sink.bytes.at(qsizetype(write.progress(0).bytes))), uint8_t(2));
        QCOMPARE(sha256Hex(sink.bytes.left(qsizetype(write.progress(0).bytes))), write.progress(0).sha256);
    }

    // A project whose check finds an error is not written unless forced;
    // its problems are kept for the report either way.
    void checkFirst()
    {
        const QString faulty = exampleIn(tmp.filePath(QStringLiteral("faulty")), [](Workspace& ws) {
            ParametrElement& e = ws.pages.parametr[0][30];
            e.used = 1;
            e.x = e.y = 100;
            e.font = 10;
            e.block = 50; // the scheme holds no block 50
        });
        for (const bool force : {false, true}) {
            PanelSession session(SessionOptions{});
            TcpListener listener(session);
            QVERIFY(listener.listen(0));
            PlantFile plant;
            plant.controllers << controllerAt(QStringLiteral("Насосная"), faulty, listener.port(), PlantWhat::Pages);
            PlantWrite write(plant, {.jobs = 0, .force = force, .journal = false});
            QStringList errors;
            QVERIFY(write.load(errors));
            QVERIFY(hasErrors(write.progress(0).problems));
            QCOMPARE(write.progress(0).problems.first().code, QStringLiteral("missing-block"));
            QVERIFY(drive(write));
            QCOMPARE(write.progress(0).status, force ? PlantStatus::Succeeded : PlantStatus::Refused);
            QCOMPARE(write.progress(0).bytes > 0, force);
        }
        QVERIFY(!QFile::exists(journalPathFor(faulty)));
    }

    // "changed" writes what differs from the journal: nothing after a full
    // write, then the one page that was edited.
    void changedSinceJournal()
    {
        const QString project = exampleIn(tmp.filePath(QStringLiteral("changed")));
        PanelSession session(SessionOptions{});
        TcpListener listener(session);
        QVERIFY(listener.listen(0));
        auto run = [&](PlantWhat what) {
            PlantFile plant;
            plant.controllers << controllerAt(QStringLiteral("Котёл"), project, listener.port(), what);
            auto write = std::make_unique<PlantWrite>(plant, PlantWrite::Options{});
            QStringList errors;
            if (!write->load(errors) || !drive(*write))
                return std::unique_ptr<PlantWrite>();
            return write;
        };
        auto first = run(PlantWhat::All);
        QVERIFY(first && first->allSucceeded());
        auto second = run(PlantWhat::Changed);
        QVERIFY(second && second->allSucceeded());
        QVERIFY(second->progress(0).nothingChanged);
        QCOMPARE(second->progress(0).bytes, 0);

        // Page 3 edited: a parameter element added.
        auto ws = std::make_unique<Workspace>();
        HeadlessInteraction ui;
        QCOMPARE(readProject(*ws, project, ui).status, ProjectReadStatus::Ok);
        ParametrElement& e = ws->pages.parametr[2][29];
        QCOMPARE(e.used, int16_t(0));
        e.used = 1;
        e.x = e.y = 120;
        e.font = 10;
        e.block = 1;
        QFile f(project);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(projectFileBytes(*ws)) > 0);
        f.close();
        auto third = run(PlantWhat::Changed);
        QVERIFY(third && third->allSucceeded());
        QCOMPARE(third->progress(0).parts, QList<int>{2});
        QCOMPARE(third->progress(0).written, QList<int>{2});
    }
};

QTEST_MAIN(TestPanelPlant)
#include "test_panel_plant.moc"
