// The panel's TCP listener with real connections: a channel is named by the
// peer's address even when the peer reset the connection at once, and a
// closed connection leaves nothing behind in the session (a panel that stays
// up for thousands of writes keeps no receive buffer of the closed ones).
#include "panel/listeners.h"
#include "panel/panel_session.h"
#include "panel_streams.h"
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <vector>

#include <sys/socket.h>

using namespace ostrel;
using namespace ostrel::testing;

class PanelListenersTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    QByteArray scheme;

    SessionOptions options() const
    {
        SessionOptions o;
        o.version = ws->version_code;
        o.call_flags = ws->alg.call_flags;
        return o;
    }

private slots:
    void initTestCase()
    {
        ws = loadExample();
        QVERIFY(ws);
        scheme = schemeStream(*ws);
    }

    // The peer sends three bytes and resets the connection before the panel
    // has accepted it: the problem line still names it by its address.
    void resetPeerNamedByAddress()
    {
        PanelSession session(options());
        TcpListener listener(session);
        QVERIFY2(listener.listen(0), qPrintable(listener.errorString()));
        QTcpSocket peer;
        peer.connectToHost(QStringLiteral("127.0.0.1"), listener.port());
        QVERIFY(peer.waitForConnected(5000));
        QCOMPARE(peer.write(scheme.left(3)), qint64(3));
        QVERIFY(peer.waitForBytesWritten(5000));
        const QString name = QStringLiteral("TCP 127.0.0.1:%1").arg(peer.localPort());
        // No lingering: the close resets the connection.
        const linger reset{1, 0};
        QCOMPARE(::setsockopt(int(peer.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset), 0);
        peer.abort();
        QTRY_VERIFY_WITH_TIMEOUT(!session.problemLines().isEmpty(), 10000);
        QVERIFY2(session.problemLines().first().startsWith(name + QStringLiteral(": stream: error: stream ends inside")),
                 qPrintable(session.problemLines().join(u'\n')));
    }

    // Connection after connection, each with a whole scheme write: every
    // write is decoded and every closed connection's state is gone.
    void closedConnectionsKeepNothing()
    {
        PanelSession session(options());
        TcpListener listener(session);
        QVERIFY2(listener.listen(0), qPrintable(listener.errorString()));
        constexpr int kBatches = 10, kPerBatch = 50;
        for (int b = 0; b < kBatches; ++b) {
            std::vector<std::unique_ptr<QTcpSocket>> peers;
            for (int k = 0; k < kPerBatch; ++k) {
                auto peer = std::make_unique<QTcpSocket>();
                peer->connectToHost(QStringLiteral("127.0.0.1"), listener.port());
                QVERIFY(peer->waitForConnected(5000));
                peer->write(scheme);
                peer->disconnectFromHost();
                peers.push_back(std::move(peer));
            }
            const int expected = (b + 1) * kPerBatch;
            QVERIFY2(QTest::qWaitFor([&] { return session.writes() == expected && session.openChannels() == 0; }, 20000),
                     qPrintable(QStringLiteral("%1 writes, %2 channels open").arg(session.writes()).arg(session.openChannels())));
        }
        QCOMPARE(listener.connections(), kBatches * kPerBatch);
        QVERIFY2(session.problemLines().isEmpty(), qPrintable(session.problemLines().join(u'\n')));
        QCOMPARE(session.exitStatus(), 0);
    }
};

QTEST_GUILESS_MAIN(PanelListenersTest)
#include "test_panel_listeners.moc"
