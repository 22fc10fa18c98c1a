// The transfer engine on real links: a port that cannot be opened, a TCP
// peer that refuses, a serial write through a pseudo-terminal pair, and the
// all-pages chain with "Отмена".
#include "link/byte_sink.h"
#include "wire/packet.h"
#include "link/pty_pair.h"
#include "wire/scheme_encoder.h"
#include "link/transfer_engine.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

namespace {

void fixedBlocks(Workspace& ws)
{
    BlockTable& bt = ws.blocks;
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;
    bt.block_type[99] = 42;
    allocateBlocks(bt, ws.catalog);
}

// Part payloads with band length `length` and a marker byte.
std::array<QByteArray, 8> payloads(int length)
{
    std::array<QByteArray, 8> p;
    for (int k = 0; k < 8; ++k) {
        p[k] = QByteArray(4, '\0');
        p[k][0] = char(length & 0xFF);
        p[k][1] = char(length >> 8);
        p[k].append(char(0x70 + k));
    }
    return p;
}

} // namespace

class TransferEngineTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<TransferEngine> engine;

    // The scheme as the write command serialises it.
    SchemeImage schemeImage() const
    {
        return buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
    }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        engine = std::make_unique<TransferEngine>(ws->transfer, ws->settings, *ui);
        fixedBlocks(*ws);
    }
    void cleanup()
    {
        engine.reset();
        ui.reset();
        ws.reset();
    }

    void portCannotBeOpened_data()
    {
        QTest::addColumn<bool>("scheme");
        QTest::newRow("scheme") << true;
        QTest::newRow("page") << false;
    }
    void portCannotBeOpened()
    {
        QFETCH(bool, scheme);
        ws->settings.link_port = 2;
        int asked = 0;
        engine->link().serialDeviceName = [&asked](int com) {
            asked = com;
            return QStringLiteral("/nonexistent/ostrel-tty");
        };
        QSignalSpy sent(engine.get(), &TransferEngine::packetSent);
        QSignalSpy aborted(engine.get(), &TransferEngine::aborted);
        QSignalSpy active(engine.get(), &TransferEngine::transferActiveChanged);
        const bool started = scheme ? engine->startSchemeWrite(schemeImage()) : engine->startPageSequence(0, payloads(4));
        QVERIFY(!started);
        QCOMPARE(asked, 2);
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка СОМ порта!")});
        QCOMPARE(aborted.count(), 1);
        QVERIFY(!engine->isActive());
        QCOMPARE(active.count(), 0);
        QCOMPARE(sent.count(), 0);
    }

    // What the settings dialog says about a port's device: a terminal is
    // there, a missing name or a plain file is not.
    void serialDevicePresence_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("present");
        QTest::newRow("pseudo-terminal") << "pty" << true;
        QTest::newRow("missing") << "/nonexistent/ttyUSB0" << false;
        QTest::newRow("plain file") << "file" << false;
        QTest::newRow("no name") << "" << false;
    }
    void serialDevicePresence()
    {
        QFETCH(QString, kind);
        QFETCH(bool, present);
        PtyPair pty;
        QTemporaryDir dir;
        QString name = kind;
        if (kind == QLatin1String("pty")) {
            if (!PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            QVERIFY(pty.start());
            name = pty.devicePath();
        } else if (kind == QLatin1String("file")) {
            name = dir.filePath(QStringLiteral("ttyUSB0"));
            QFile f(name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(serialDevicePresent(name), present);
    }

    // A refused connection: one "Ошибка порта!!!" however often the header is
    // retried; "Отмена" ends the stuck sequence.
    void refusedTcpRetriesWithOneMessage()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = port;
        QSignalSpy failed(engine.get(), &TransferEngine::packetFailed);
        QSignalSpy finished(engine.get(), &TransferEngine::finished);
        QSignalSpy active(engine.get(), &TransferEngine::transferActiveChanged);
        QVERIFY(engine->startSchemeWrite(schemeImage()));
        QCOMPARE(ws->transfer.timer_multiplier, int16_t(10));
        QTRY_VERIFY_WITH_TIMEOUT(failed.count() >= 3, 15000);
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка порта!!!")});
        QCOMPARE(ws->transfer.scheme_stage, int16_t(0));
        for (const auto& args : failed)
            QCOMPARE(args.at(0).toByteArray().at(1), 'A');
        QVERIFY(engine->isRetrying());
        engine->cancel();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QVERIFY(!engine->isActive());
        QCOMPARE(active.count(), 2);
    }

    // A controller whose first connection attempts go unanswered (lost SYNs;
    // here a listener whose queue is full) is waited for: the write goes
    // through without a message once it answers. A controller that never
    // answers is given up after the connect timeout, with the cause named.
    void unansweredConnect_data()
    {
        QTest::addColumn<int>("answerAfterMs");
        QTest::newRow("answers after 1.5 s") << 1500;
        QTest::newRow("never answers") << -1;
    }
    void unansweredConnect()
    {
        QFETCH(int, answerAfterMs);
        QTcpServer server;
        server.setListenBacklogSize(0);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        server.pauseAccepting();
        // One connection that nobody accepts fills the queue: further SYNs are dropped.
        QTcpSocket filler;
        filler.connectToHost(QHostAddress::LocalHost, server.serverPort());
        QVERIFY(filler.waitForConnected(5000));
        QByteArray received;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            while (QTcpSocket* s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, &server, [s, &received] { received += s->readAll(); });
        });
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = server.serverPort();
        QVERIFY(engine->link().tcp().connectTimeout() >= 5000);
        if (answerAfterMs < 0)
            engine->link().tcp().setConnectTimeout(400);
        QSignalSpy failed(engine.get(), &TransferEngine::packetFailed);
        QSignalSpy retrying(engine.get(), &TransferEngine::retrying);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(engine->startSchemeWrite(schemeImage()));
        if (answerAfterMs >= 0) {
            QTimer::singleShot(answerAfterMs, &server, [&server] { server.resumeAccepting(); });
            QTRY_VERIFY_WITH_TIMEOUT(received.size() >= 8, 10000);
            QVERIFY(clock.elapsed() >= 1000); // the first SYN really went unanswered
            QCOMPARE(received.at(1), 'A');
            QCOMPARE(failed.count(), 0);
            QCOMPARE(ui->texts(), QStringList());
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(failed.count() >= 1, 10000);
            QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка порта!!!")});
            QCOMPARE(engine->errorDetail(),
                     QStringLiteral("127.0.0.1:%1: connection timed out").arg(server.serverPort()));
            QTRY_VERIFY(retrying.count() >= 1);
            QCOMPARE(retrying.at(0).at(0).toInt(), 1);
        }
        engine->cancel();
    }

    // "Отмена" during a running write lets it go on; when a send then fails,
    // the write ends instead of retrying behind a closed window.
    void failureAfterCancelEndsWrite()
    {
        auto server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = server->serverPort();
        QSignalSpy sent(engine.get(), &TransferEngine::packetSent);
        QSignalSpy finished(engine.get(), &TransferEngine::finished);
        QVERIFY(engine->startSchemeWrite(schemeImage()));
        QTRY_VERIFY_WITH_TIMEOUT(sent.count() >= 1, 10000);
        engine->cancel();
        QVERIFY(engine->isActive());
        QCOMPARE(finished.count(), 0);
        // The controller goes away.
        QTcpSocket* peer = server->nextPendingConnection();
        QVERIFY(peer);
        peer->abort();
        server.reset();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QVERIFY(!finished.at(0).at(0).toBool());
        QVERIFY(!engine->isActive());
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка порта!!!")});
    }

    // A parameter that does not fit: one message, the write goes on with zero
    // bytes in its place; the bytes arrive on the serial line as built.
    void serialWriteWithParameterError()
    {
        PtyPair pty;
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        const QString device = pty.devicePath();
        engine->link().serialDeviceName = [device](int) { return device; };
        ws->settings.link_port = 4;
        ws->blocks.ParamStore[1] = 1e9f;
        ws->blocks.ParamStore[2] = -1.5f;
        const QByteArray expected = schemeWireStream(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number));
        QSignalSpy finished(engine.get(), &TransferEngine::finished);
        QVERIFY(engine->startSchemeWrite(schemeImage()));
        QCOMPARE(ws->transfer.timer_multiplier, int16_t(1));
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ui->messages[0].text, QStringLiteral("Ошибка параметра"));
        QCOMPARE(ui->messages[0].title, QStringLiteral("Ошибка"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 15000);
        QVERIFY(finished.at(0).at(0).toBool());
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 5000);
        QCOMPARE(sink.bytes, expected);
        const qsizetype stage8 = expected.indexOf(QByteArray::fromHex("0142080000000000000000dc050080"));
        QVERIFY(stage8 > 0);
    }

    // All pages: page 0, then page 1 after the chain interval; "Отмена" during
    // page 1 lets it finish and starts no further page.
    void allPagesChainAndCancel()
    {
        PtyPair pty;
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        const QString device = pty.devicePath();
        engine->link().serialDeviceName = [device](int) { return device; };
        ws->settings.link_port = 1;
        ws->settings.controller_number = 2;
        QList<int> prepared;
        engine->setPagePreparer([this, &prepared](int page) {
            prepared.append(page);
            ws->transfer.part_payload = payloads(4 + page);
            return true;
        });
        QSignalSpy pageChanged(engine.get(), &TransferEngine::currentPageChanged);
        QSignalSpy finished(engine.get(), &TransferEngine::finished);
        QSignalSpy active(engine.get(), &TransferEngine::transferActiveChanged);
        QSignalSpy sent(engine.get(), &TransferEngine::packetSent);
        QVERIFY(engine->startAllPagesWrite());
        QTRY_VERIFY_WITH_TIMEOUT(sent.count() >= 17, 30000);
        QCOMPARE(prepared, (QList<int>{0, 1}));
        QCOMPARE(pageChanged.last().at(0).toInt(), 1); // the current page follows the chain
        engine->cancel();
        QVERIFY(!engine->writingAllPages());
        QVERIFY(engine->isActive()); // the page in progress goes on
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(finished.at(0).at(0).toBool());
        QCOMPARE(sent.count(), 32);
        QCOMPARE(prepared.size(), 2);
        QCOMPARE(pageChanged.last().at(0).toInt(), 1);
        QCOMPARE(active.count(), 2); // disabled once for the whole chain
        // Header of page 1, part 0: controller 2, "C", band length 5, page 1, part 0.
        QByteArray header = QByteArray::fromHex("0243050001" "00");
        QCOMPARE(sent.at(16).at(0).toByteArray(), withCrc(header));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), qsizetype(16 * (8 + 8)), 5000);
        // Page 1 starts no sooner than the chain interval after page 0's last packet.
        const qsizetype page1 = 8 * (8 + 8);
        QVERIFY(sink.arrivalOf(page1) - sink.arrivalOf(page1 - 1) >= 1000 - 20);
    }
};

QTEST_GUILESS_MAIN(TransferEngineTest)
#include "test_transfer_engine.moc"
