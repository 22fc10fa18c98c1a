// A whole scheme write of the example project through the progress window's
// controller, to a TCP server on 127.0.0.1 and through a pseudo-terminal
// pair: every byte that arrives, and the pacing between the packets.
#include "link/byte_sink.h"
#include "link/pty_pair.h"
#include "wire/scheme_encoder.h"
#include "link/ui/scheme_write_controller.h"
#include "link/ui/write_progress_window.h"
#include "scheme/netlist_import.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

class SchemeWriteTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    ScriptedInteraction ui;
    QString netlist = QStringLiteral(OSTREL_EXAMPLES "/boiler.net");

    // The scheme as the write command serialises it.
    SchemeImage schemeImage() const
    {
        return buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
    }

    void loadExample()
    {
        ws = std::make_unique<Workspace>();
        ws->selectVersion(5);
        ScriptedInteraction importUi;
        QVERIFY(importNetlistFile(ws->blocks, ws->catalog, netlist, importUi));
        resetNewProjectBlocks(ws->blocks, ws->catalog);
        ui.clear();
    }

    // Writes the example through the controller to `sink` and checks the
    // bytes and the gaps between packets against the protocol intervals.
    void writeAndCheck(ByteSink& sink, bool tcp, const std::function<void(SchemeWriteController&)>& setup = {})
    {
        QWidget mainWindow;
        SchemeWriteController controller(ws->transfer, ws->settings, ui, &mainWindow);
        if (setup)
            setup(controller);
        const SchemeImage image = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY(image.fatal.isEmpty());
        QVERIFY(!image.parameterError);
        const QByteArray expected = schemeWireStream(image);

        QSignalSpy active(&controller, &SchemeWriteController::transferActiveChanged);
        QSignalSpy finished(&controller, &SchemeWriteController::finished);
        // What the labels show after each packet.
        QStringList shown;
        // When each stage's packet went out: the pacing is the sender's. (The
        // receiver runs in this event loop too; on a loaded machine it may
        // read two packets in one chunk, so arrival times prove nothing.)
        QElapsedTimer wall;
        QList<qint64> sentAt;
        connect(&controller.engine(), &TransferEngine::stageSent, &controller, [&controller, &shown, &wall, &sentAt] {
            sentAt << wall.elapsed();
            auto label = [&](const char* name) {
                return controller.progressWindow()->findChild<QLabel*>(QLatin1String(name))->text();
            };
            shown << label("Numb_Sheet_SCADA") + u'/' + label("Num_Paket_SCADA");
        });
        wall.start();
        const qint64 startAt = 0;
        controller.startSchemeWrite(schemeImage());

        WriteProgressWindow* window = controller.progressWindow();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("Write_SCHEMA"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Запись схемы в Ostrel"));
        auto* bar = window->findChild<QProgressBar*>(QStringLiteral("Write_SCHEMA_ProgressBar"));
        QVERIFY(bar);
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("Numb_Sheet_SCADA")));
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("Num_Paket_SCADA")));
        auto* cancel = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
        QCOMPARE(active.count(), 1);
        QVERIFY(active.at(0).at(0).toBool());

        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        const qint64 wallMs = wall.elapsed();
        QVERIFY(finished.at(0).at(0).toBool());
        // The labels followed the packets; the window stays to say that the
        // write is over, and its button closes it.
        QCOMPARE(shown, (QStringList{"-/1", "-/2", "-/3", "-/4", "-/5", "-/6", "-/7", "-/8", "-/9", "-/10"}));
        QVERIFY(window->isVisible());
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("Write_State"))->text(), QStringLiteral("Запись завершена"));
        QCOMPARE(cancel->text(), QStringLiteral("Закрыть"));
        QCOMPARE(bar->maximum(), 10);
        QCOMPARE(bar->value(), 10);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QCOMPARE(active.count(), 2);
        QVERIFY(!active.at(1).at(0).toBool());
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.texts().join(u'|')));

        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 5000);
        QCOMPARE(sink.bytes, expected);

        // Pacing: packet s+1 arrives no sooner than the interval after packet s.
        const int fast = tcp ? 500 : 50;
        const int slow = tcp ? 2500 : 500;
        QCOMPARE(sentAt.size(), SchemeImage::kStages);
        qint64 previous = startAt;
        qint64 protocolMs = fast; // wait before stage 0
        int interval = fast;
        for (int s = 0; s < SchemeImage::kStages; ++s) {
            const qint64 at = sentAt[s];
            QVERIFY2(at - previous >= interval - 20,
                     qPrintable(QStringLiteral("stage %1 after %2 ms, expected %3").arg(s).arg(at - previous).arg(interval)));
            previous = at;
            interval = s >= 8 ? slow : fast;
            protocolMs += interval;
        }
        qInfo("%s scheme write: wall %lld ms, protocol intervals %lld ms, difference %lld ms",
              tcp ? "TCP" : "serial", qlonglong(wallMs), qlonglong(protocolMs), qlonglong(wallMs - protocolMs));
    }

private slots:
    void tcpWrite()
    {
        loadExample();
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        // A project switched to TCP/IP in the settings and never reopened:
        // the write itself opens the connection.
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = sink.tcpPort();
        ws->settings.controller_number = 5;
        writeAndCheck(sink, true);
        QCOMPARE(ws->transfer.timer_multiplier, int16_t(10));
        QCOMPARE(sink.connections, 1);
        QCOMPARE(sink.bytes.at(0), char(5));
    }

    void serialWrite()
    {
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        loadExample();
        PtyPair pty;
        QVERIFY(pty.start());
        ByteSink sink;
        QVERIFY(sink.openSerial(pty.peerPath()));
        ws->settings.link_port = 3;
        ws->transfer.timer_multiplier = 0; // never derived before: the write derives it
        const QString device = pty.devicePath();
        writeAndCheck(sink, false, [device](SchemeWriteController& c) {
            c.engine().link().serialDeviceName = [device](int com) { return com == 3 ? device : QString(); };
        });
        QCOMPARE(ws->transfer.timer_multiplier, int16_t(1));
    }

    // A port that cannot be opened closes the window again and sends nothing.
    void portErrorClosesWindow()
    {
        loadExample();
        ws->settings.link_port = 8;
        QWidget mainWindow;
        SchemeWriteController controller(ws->transfer, ws->settings, ui, &mainWindow);
        controller.engine().link().serialDeviceName = [](int) { return QStringLiteral("/nonexistent/ostrel-tty"); };
        QSignalSpy finished(&controller, &SchemeWriteController::finished);
        QSignalSpy active(&controller, &SchemeWriteController::transferActiveChanged);
        controller.startSchemeWrite(schemeImage());
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("Ошибка СОМ порта!")});
        QVERIFY(!controller.progressWindow()->isVisible());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(active.count(), 0);
    }

    // While the TCP connection is being set up (here a controller whose
    // queue is full, so that its first SYNs go unanswered) the window says
    // so; once the controller answers the line goes and the write goes on.
    void connectionWaitShown()
    {
        loadExample();
        QTcpServer server;
        server.setListenBacklogSize(0);
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        server.pauseAccepting();
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
        QWidget mainWindow;
        SchemeWriteController controller(ws->transfer, ws->settings, ui, &mainWindow);
        QSignalSpy waits(&controller.engine(), &TransferEngine::connectingTo);
        controller.startSchemeWrite(schemeImage());
        auto* state = controller.progressWindow()->findChild<QLabel*>(QStringLiteral("Write_State"));
        QVERIFY(state);
        const QString waiting = QStringLiteral("Соединение с 127.0.0.1:%1…").arg(server.serverPort());
        QCOMPARE(state->text(), waiting);
        // At its first tick the write is still waiting, and says so.
        QVERIFY(controller.engine().tickNow());
        QVERIFY(controller.engine().link().connecting());
        QCOMPARE(state->text(), waiting);

        server.resumeAccepting();
        QTRY_VERIFY_WITH_TIMEOUT(received.size() >= 8, 10000);
        QCOMPARE(state->text(), QString());
        QCOMPARE(waits.count(), 2);
        QCOMPARE(waits.at(1).at(0).toString(), QString());
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.texts().join(u'|')));
    }

    // "Отмена" ends a write stuck retrying a refused connection.
    void cancelEndsStuckWrite()
    {
        loadExample();
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = port;
        QWidget mainWindow;
        SchemeWriteController controller(ws->transfer, ws->settings, ui, &mainWindow);
        QSignalSpy finished(&controller, &SchemeWriteController::finished);
        QSignalSpy active(&controller, &SchemeWriteController::transferActiveChanged);
        controller.startSchemeWrite(schemeImage());
        QTRY_VERIFY_WITH_TIMEOUT(controller.engine().isRetrying(), 10000);
        QCOMPARE(ui.texts(), QStringList{QStringLiteral("Ошибка порта!!!")});
        // After the one message the window shows that the write is retrying.
        auto* state = controller.progressWindow()->findChild<QLabel*>(QStringLiteral("Write_State"));
        QVERIFY(state);
        QTRY_VERIFY_WITH_TIMEOUT(state->text().contains(QStringLiteral("попытка 2")), 10000);
        QVERIFY(state->text().startsWith(QStringLiteral("Нет связи с контроллером, повтор записи")));
        QVERIFY(controller.progressWindow()->isVisible());
        auto* cancel = controller.progressWindow()->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(cancel);
        QTest::mouseClick(cancel, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!finished.at(0).at(0).toBool());
        QVERIFY(!controller.progressWindow()->isVisible());
        QCOMPARE(active.count(), 2);
    }
};

QTEST_MAIN(SchemeWriteTest)
#include "test_scheme_write.moc"
