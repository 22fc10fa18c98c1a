// The panel as the real peer of the sender: the example project written
// over a socat pseudo-terminal by `ostrel-cli write-scheme` decodes into the
// scheme `ostrel-cli scheme` gives for its netlist with the project's values;
// all eight pages sent over TCP, and page 1 written by the transfer engine
// with the serial pacing, decode into the quantised painted image pixel for
// pixel and into the page model's tables field by field. The paced write
// also shows its pacing in the packet log. (The TCP scheme write runs in
// test_panel_program, through the program itself.)
#include "link/pty_pair.h"
#include "link/transfer_engine.h"
#include "link/transport.h"
#include "page_compare.h"
#include "panel/listeners.h"
#include "panel/panel_session.h"
#include "panel_streams.h"
#include "scheme_expectation.h"
#include "scripted_interaction.h"
#include <QSignalSpy>
#include <QTest>

using namespace ostrel;
using namespace ostrel::testing;

class PanelRoundTripTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ElementPictures> pictures;
    std::unique_ptr<PagePainter> painter;

    SessionOptions projectOptions() const
    {
        SessionOptions o;
        o.version = ws->version_code;
        o.call_flags = ws->alg.call_flags;
        return o;
    }

    void checkPage(const PanelSession& session, int p, const QImage& painted)
    {
        const DecodedPage* pg = session.page(p);
        QVERIFY2(pg, qPrintable(QStringLiteral("page %1 not received").arg(p + 1)));
        QVERIFY(pg->complete());
        QCOMPARE(pg->page, p);
        QCOMPARE(pageImage(*pg), quantise(painted));
        const QString diff = compareTables(pg->tables, ws->pages, p);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

private slots:
    void initTestCase()
    {
        ws = loadExample();
        QVERIFY(ws);
        pictures = std::make_unique<ElementPictures>();
        painter = std::make_unique<PagePainter>(*pictures);
    }

    void schemeOverSerial()
    {
        PtyPair pty;
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QVERIFY(pty.start());
        PanelSession session(projectOptions());
        SerialListener listener(session);
        QVERIFY2(listener.open(pty.peerPath()), qPrintable(listener.errorString()));

        QProcess cli;
        // --no-journal: the example in the source tree stays as it is.
        cli.start(QStringLiteral(OSTREL_CLI), {QStringLiteral("write-scheme"), exampleProject(), QStringLiteral("--no-journal"),
                                               QStringLiteral("--serial"), pty.devicePath()});
        QTRY_VERIFY_WITH_TIMEOUT(cli.state() == QProcess::NotRunning, 30000);
        QCOMPARE(cli.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(session.writes(), 1, 10000);
        QVERIFY2(session.problemLines().isEmpty(), qPrintable(session.problemLines().join(QLatin1Char('\n'))));
        QVERIFY(session.scheme()->complete());
        QCOMPARE(withoutImportNotes(schemeJson(*session.scheme())),
                 expectedSchemeJson(*ws, examplesFolder() + QStringLiteral("/boiler.net")));
        QCOMPARE(session.log().size(), 10);
        QVERIFY(session.log().at(9).timed);
    }

    // The eight pages as the page sequence sends them, without its waits,
    // over one TCP connection to the listener.
    void allPagesOverTcp()
    {
        PanelSession session(projectOptions());
        TcpListener listener(session);
        QVERIFY2(listener.listen(0), qPrintable(listener.errorString()));
        TcpTransport sender;
        sender.setPeer(QStringLiteral("127.0.0.1"), listener.port());
        QVERIFY(sender.open());
        QTRY_VERIFY(sender.isConnected());
        std::array<QImage, 8> painted;
        for (int p = 0; p < 8; ++p) {
            const SentPage page = sentPage(*ws, *painter, p);
            QVERIFY(page.ok);
            painted[size_t(p)] = page.painted;
            for (const QByteArray& packet : page.packets)
                QVERIFY(sender.send(packet));
        }
        sender.close();
        QTRY_COMPARE_WITH_TIMEOUT(session.writes(), 8, 20000);
        QVERIFY2(session.problemLines().isEmpty(), qPrintable(session.problemLines().join(QLatin1Char('\n'))));
        QCOMPARE(listener.connections(), 1);
        for (int p = 0; p < 8; ++p)
            checkPage(session, p, painted[size_t(p)]);
        QVERIFY(session.log().at(0).channel.startsWith(QStringLiteral("TCP 127.0.0.1:")));
    }

    // Page 1 through the transfer engine with the serial line's pacing: the
    // log shows the controller's storing time after each data packet.
    void pacedPageOverSerial()
    {
        PtyPair pty;
        if (!PtyPair::socatAvailable())
            QSKIP("socat is not installed");
        QVERIFY(pty.start());
        PanelSession session(projectOptions());
        SerialListener listener(session);
        QVERIFY2(listener.open(pty.peerPath()), qPrintable(listener.errorString()));

        const SentPage page = sentPage(*ws, *painter, 0);
        QVERIFY(page.ok);
        ScriptedInteraction ui;
        LinkSettings settings;
        settings.link_port = 1;
        settings.controller_number = ws->settings.controller_number;
        TransferEngine engine(ws->transfer, settings, ui);
        engine.setRetryOnFailure(false);
        const QString device = pty.devicePath();
        engine.link().serialDeviceName = [device](int) { return device; };
        QSignalSpy finished(&engine, &TransferEngine::finished);
        QVERIFY(engine.startPageSequence(0, ws->transfer.part_payload));
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished[0][0].toBool(), true);
        QTRY_COMPARE_WITH_TIMEOUT(session.writes(), 1, 10000);
        QVERIFY2(session.problemLines().isEmpty(), qPrintable(session.problemLines().join(QLatin1Char('\n'))));
        checkPage(session, 0, page.painted);

        const PacketLog& log = session.log();
        QCOMPARE(log.size(), 16);
        for (int k = 1; k < 8; ++k) {
            const PacketLogEntry& header = log.at(2 * k);
            QCOMPARE(header.packet, QStringLiteral("C%1").arg(k));
            // The sender waits at least 800 ms after a data packet; the log
            // sees that wait, less whatever delayed the data packet's reading.
            QVERIFY2(header.gap_ms >= 600, qPrintable(PacketLog::line(header)));
        }
    }
};

QTEST_MAIN(PanelRoundTripTest)
#include "test_panel_roundtrip.moc"
