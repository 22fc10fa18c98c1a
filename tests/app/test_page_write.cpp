// Page writes of the desktop program through the real menu items: the example
// project's pages go to a TCP server on 127.0.0.1 and through a
// pseudo-terminal pair and are compared byte for byte with what
// "ostrel-cli write-pages --dump" writes; one page with the protocol's
// pacing, the all-pages chain driven tick by tick, "Отмена" during the
// chain, and the messages of pages that cannot be sent.
#include "app/app_controller.h"
#include "app/check_window.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "link/byte_sink.h"
#include "wire/page_encoder.h"
#include "link/pty_pair.h"
#include "link/ui/scheme_write_controller.h"
#include "link/sequences.h"
#include "wire/transfer_state.h"
#include "link/ui/write_progress_window.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;
using ostrel::testing::PtyPair;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

int le16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }

// Offsets of the packets of a page stream and the wait the protocol asks
// after each one.
struct Packets {
    QList<qsizetype> offsets;
    QList<int> waits;
};

Packets packetsOf(const QByteArray& stream, bool tcp, int versionCode)
{
    Packets p;
    qsizetype at = 0;
    while (at + 8 <= stream.size()) {
        const int part = stream[at + 5];
        const int length = le16(stream, at + 2);
        p.offsets << at;
        p.waits << PageSequence::headerWaitMs(tcp);
        at += 8;
        p.offsets << at;
        p.waits << PageSequence::dataWaitMs(length >> 8, tcp);
        at += 3 + (part < 7 ? length + 1 : length + sentTableBytes(versionCode));
    }
    return p;
}

QImage noise(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    quint32 s = 777;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            img.setPixel(x, y, s >> 8);
        }
    return img;
}

} // namespace

class PageWriteTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    QString projectPath() const { return tmp->filePath(QStringLiteral("boiler.prt")); }

    // The example in a folder of its own, opened, in SCADA mode.
    void openExample()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"})
            QVERIFY(QFile::copy(kExamples + u'/' + QString::fromLatin1(name), tmp->filePath(QString::fromLatin1(name))));
        QVERIFY(app->openProjectFile(projectPath()));
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        QVERIFY(window->inScadaMode());
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    }

    void useTcp(const ByteSink& sink)
    {
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = sink.tcpPort();
    }

    TransferEngine& engine() { return app->writer().engine(); }
    WriteProgressWindow& progress() { return *app->writer().progressWindow(); }
    QString label(const char* name)
    {
        auto* l = progress().findChild<QLabel*>(QLatin1String(name));
        return l ? l->text() : QStringLiteral("(missing)");
    }
    void clickCancel()
    {
        auto* cancel = progress().findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    }

    // What "ostrel-cli write-pages PROJECT --dump" writes for `selection`.
    QByteArray cliDump(const QStringList& selection)
    {
        const QString file = tmp->filePath(QStringLiteral("dump.bin"));
        QFile::remove(file);
        QProcess p;
        p.start(QStringLiteral(OSTREL_CLI), QStringList{QStringLiteral("write-pages"), projectPath(),
                                                        QStringLiteral("--dump"), file} + selection);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            qWarning("%s", p.readAllStandardError().constData());
            return {};
        }
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray cliDumpPage(int page) { return cliDump({QStringLiteral("--page"), QString::number(page + 1)}); }

    // Runs every pending tick at once until the write is over (the TCP
    // connection is let to come up first, as the pacing would).
    void runToEnd()
    {
        if (engine().link().usesTcp())
            QTRY_VERIFY(engine().link().tcp().isConnected());
        for (int guard = 0; engine().isActive() && guard < 1000; ++guard)
            QVERIFY(engine().tickNow());
        QVERIFY(!engine().isActive());
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        window = std::make_unique<MainWindow>(*ws, *ui);
        app = std::make_unique<AppController>(*ws, *ui, *window);
        window->show();
    }
    void cleanup()
    {
        window->close();
        app.reset();
        window.reset();
        tmp.reset();
    }

    // The current page through "&Записать страницу SCADA в Ostrel" with the
    // protocol's pacing: the dump's bytes, each packet no sooner than the
    // wait after the one before, the progress window and its labels.
    void onePageWithPacing_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<int>("page");
        QTest::newRow("TCP, page 1 (picture)") << true << 0;
        QTest::newRow("serial, page 2 (menu)") << false << 1;
    }
    void onePageWithPacing()
    {
        QFETCH(bool, tcp);
        QFETCH(int, page);
        openExample();
        ByteSink sink;
        PtyPair pty;
        if (tcp) {
            QVERIFY(sink.listenTcp());
            useTcp(sink);
        } else {
            if (!PtyPair::socatAvailable())
                QSKIP("socat is not installed");
            QVERIFY(pty.start());
            QVERIFY(sink.openSerial(pty.peerPath()));
            ws->settings.link_port = 2;
            const QString device = pty.devicePath();
            engine().link().serialDeviceName = [device](int com) { return com == 2 ? device : QString(); };
        }
        const QByteArray expected = cliDumpPage(page);
        QVERIFY(!expected.isEmpty());

        window->pageTabs().setCurrentIndex(page); // as a click on the tab
        QAction* write = window->action(QStringLiteral("MnuSaveOstrelSCADA"));
        QVERIFY(write->isVisible() && write->isEnabled());
        QVERIFY(window->action(QStringLiteral("MnuAllSaveOstrelSCADA"))->isEnabled());
        QSignalSpy finished(&app->writer(), &SchemeWriteController::finished);
        QElapsedTimer wall;
        // When each packet went out: the pacing is the sender's (a loaded
        // receiver in this event loop may read a header with its data).
        QList<qint64> sentAt;
        QObject scope;
        connect(&engine(), &TransferEngine::packetSent, &scope, [&sentAt, &wall] { sentAt << wall.elapsed(); });
        wall.start();
        const qint64 startAt = 0;
        write->trigger();
        QVERIFY(progress().isVisible());
        QCOMPARE(progress().windowTitle(), QStringLiteral("Запись SCADA в Ostrel"));
        QCOMPARE(label("Numb_Sheet_SCADA"), QString::number(page + 1));
        QVERIFY(!window->settingsDialog().isEnabled());

        // A real event loop meanwhile (QTRY_ polls with short sleeps, which
        // would delay the ticks).
        QVERIFY(finished.wait(40000));
        const qint64 wallMs = wall.elapsed();
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        // The window stays and says the write is over until the user closes it.
        QVERIFY(progress().isVisible());
        QCOMPARE(label("Write_State"), QStringLiteral("Запись завершена"));
        QCOMPARE(label("Numb_Sheet_SCADA"), QString::number(page + 1));
        QCOMPARE(label("Num_Paket_SCADA"), QStringLiteral("16"));
        QVERIFY(window->settingsDialog().isEnabled());
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 5000);
        QCOMPARE(sink.bytes, expected);
        QCOMPARE(int(uint8_t(sink.bytes[4])), page); // the page index of the first header
        QCOMPARE(window->pageTabs().currentIndex(), page);

        const Packets packets = packetsOf(expected, tcp, ws->version_code);
        QCOMPARE(packets.offsets.size(), 16);
        QCOMPARE(sentAt.size(), 16);
        qint64 previous = startAt;
        int wait = 10 * (tcp ? 10 : 1); // before the first header
        qint64 protocolMs = 0;
        for (int i = 0; i < 16; ++i) {
            const qint64 at = sentAt.value(i, -1);
            QVERIFY2(at - previous >= wait - 20, qPrintable(QStringLiteral("packet %1 after %2 ms, expected %3")
                                                                .arg(i).arg(at - previous).arg(wait)));
            protocolMs += wait;
            previous = at;
            wait = packets.waits[i];
        }
        qInfo("%s page write: wall %lld ms, protocol intervals %lld ms, difference %lld ms (%.2f%%)",
              tcp ? "TCP" : "serial", qlonglong(wallMs), qlonglong(protocolMs), qlonglong(wallMs - protocolMs),
              100.0 * double(wallMs - protocolMs) / double(protocolMs));
    }

    // "&Записать все страницы SCADA в Ostrel": pages 1 to 8 in order, the
    // dump's 128 packets; the selected tab is the page being written at
    // every header and the last page at the end.
    void allPagesChain()
    {
        openExample();
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        useTcp(sink);
        const QByteArray expected = cliDump({QStringLiteral("--all")});
        QVERIFY(!expected.isEmpty());
        window->pageTabs().setCurrentIndex(5);

        QList<int> headerPages, tabsAtHeaders, currentAtHeaders;
        connect(&engine(), &TransferEngine::packetSent, this, [&](const QByteArray& b) {
            if (b.at(1) != 'C')
                return;
            headerPages << b.at(4);
            tabsAtHeaders << window->pageTabs().currentIndex();
            currentAtHeaders << window->shell().current_page;
        });
        QSignalSpy finished(&app->writer(), &SchemeWriteController::finished);
        window->action(QStringLiteral("MnuAllSaveOstrelSCADA"))->trigger();
        QCOMPARE(window->pageTabs().currentIndex(), 0);
        runToEnd();
        QCOMPARE(finished.count(), 1);
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        QCOMPARE(headerPages.size(), 64);
        QCOMPARE(tabsAtHeaders, headerPages);
        QCOMPARE(currentAtHeaders, headerPages);
        QCOMPARE(window->pageTabs().currentIndex(), 7);
        QCOMPARE(int(window->shell().current_page), 7);
        QVERIFY(progress().isVisible());
        QCOMPARE(label("Write_State"), QStringLiteral("Запись завершена"));
        QVERIFY(window->settingsDialog().isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 10000);
        QCOMPARE(sink.bytes, expected);
    }

    // "Отмена" while page 2 of all pages is sent: the window closes, page 2
    // goes on to its last packet, no further page is started.
    void cancelDuringAllPages()
    {
        openExample();
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        useTcp(sink);
        const QByteArray expected = cliDumpPage(0) + cliDumpPage(1);
        QVERIFY(expected.size() > 0);
        QSignalSpy sent(&engine(), &TransferEngine::packetSent);
        QSignalSpy finished(&app->writer(), &SchemeWriteController::finished);
        window->action(QStringLiteral("MnuAllSaveOstrelSCADA"))->trigger();
        QTRY_VERIFY(engine().link().tcp().isConnected());
        while (sent.count() < 16 + 3)
            QVERIFY(engine().tickNow());
        QCOMPARE(window->pageTabs().currentIndex(), 1);
        QCOMPARE(label("Numb_Sheet_SCADA"), QStringLiteral("2"));
        QCOMPARE(label("Num_Paket_SCADA"), QStringLiteral("3"));
        clickCancel();
        QVERIFY(!progress().isVisible());
        QVERIFY(!engine().writingAllPages());
        QVERIFY(engine().isActive());
        QVERIFY(!window->settingsDialog().isEnabled());
        runToEnd();
        QCOMPARE(sent.count(), 32);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!progress().isVisible());
        QVERIFY(window->settingsDialog().isEnabled());
        QCOMPARE(window->pageTabs().currentIndex(), 1);
        QCOMPARE(int(window->shell().current_page), 1);
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 10000);
        QCOMPARE(sink.bytes, expected);
    }

    // A page that cannot be encoded: the message with its title, nothing is
    // sent, the progress window stays open until "Отмена"; an all-pages
    // write stops at that page.
    void pageThatCannotBeSent_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<bool>("allPages");
        QTest::addColumn<QString>("text");
        const QString memory = QStringLiteral("Не хватает памяти!");
        QTest::newRow("band too long") << QSize(800, 480) << false << memory;
        QTest::newRow("band too long, all pages") << QSize(800, 480) << true << memory;
        QTest::newRow("picture too large") << QSize(801, 100) << false
                                           << QStringLiteral("Размер Х x Y должен быть меньше 800 x 480");
    }
    void pageThatCannotBeSent()
    {
        QFETCH(QSize, pictureSize);
        QFETCH(bool, allPages);
        QFETCH(QString, text);
        openExample();
        QVERIFY(noise(pictureSize.width(), pictureSize.height()).save(tmp->filePath(QStringLiteral("boiler.gif")), "PNG"));
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        useTcp(sink);
        QSignalSpy finished(&app->writer(), &SchemeWriteController::finished);
        QSignalSpy sent(&engine(), &TransferEngine::packetSent);
        window->pageTabs().setCurrentIndex(0);
        window->action(allPages ? QStringLiteral("MnuAllSaveOstrelSCADA") : QStringLiteral("MnuSaveOstrelSCADA"))->trigger();
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ui->messages.front().text, text);
        QCOMPARE(ui->messages.front().title, QStringLiteral("Ошибка !!!"));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!finished.at(0).at(0).toBool());
        QVERIFY(!engine().isActive());
        QVERIFY(!engine().tickNow()); // nothing pending: no page follows
        QVERIFY(progress().isVisible());
        QVERIFY(window->settingsDialog().isEnabled());
        clickCancel();
        QVERIFY(!progress().isVisible());
        QCOMPARE(sent.count(), 0);
        QCOMPARE(sink.connections, 0);
        QVERIFY(sink.bytes.isEmpty());
    }

    // A background picture that cannot be loaded is reported once and the
    // page goes out with its fill colour.
    void missingPictureWritesFillColour()
    {
        openExample();
        QVERIFY(QFile::remove(tmp->filePath(QStringLiteral("boiler.gif"))));
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        useTcp(sink);
        window->pageTabs().setCurrentIndex(0);
        window->action(QStringLiteral("MnuSaveOstrelSCADA"))->trigger();
        // The check before the write finds the picture missing; the write
        // starts after "Записать всё равно".
        QVERIFY(app->checkWindow().isVisible());
        QCOMPARE(app->checkWindow().problems().front().code, QStringLiteral("picture-missing"));
        QTest::mouseClick(&app->checkWindow().writeAnywayButton(), Qt::LeftButton);
        runToEnd();
        QCOMPARE(ui->messages.size(), 1);
        QVERIFY(ui->messages.front().text.contains(QStringLiteral("boiler.gif")));

        ws->pages.background_kind[0] = 0;
        ElementPictures pictures;
        PagePainter painter(pictures);
        auto ts = std::make_unique<TransferState>();
        QVERIFY(preparePage(painter, ws->pages, 0, ws->version_code, tmp->path(), *ts).ok);
        const QByteArray expected = pageWireStream(*ts, uint8_t(ws->settings.controller_number), 0);
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 10000);
        QCOMPARE(sink.bytes, expected);
    }

    // The serial port cannot be opened: the window closes, nothing is sent.
    void portErrorClosesWindow()
    {
        openExample();
        ws->settings.link_port = 8;
        engine().link().serialDeviceName = [](int) { return QStringLiteral("/nonexistent/ostrel-tty"); };
        QSignalSpy finished(&app->writer(), &SchemeWriteController::finished);
        window->action(QStringLiteral("MnuSaveOstrelSCADA"))->trigger();
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка СОМ порта!")});
        QCOMPARE(finished.count(), 1);
        QVERIFY(!progress().isVisible());
        QVERIFY(window->settingsDialog().isEnabled());
    }
};

QTEST_MAIN(PageWriteTest)
#include "test_page_write.moc"
