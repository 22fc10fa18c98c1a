// The panel's session without its window: the example project's writes
// decoded into the scheme and pages that were sent (image pixel for pixel,
// tables field by field against the page model), the output files, the
// packet log with arrival times and gaps, the problem lines and the exit
// status for damaged streams, --count, the controller filter, the quiet-line
// end of a short page, and outputs that cannot be written.
#include "display/live_layer.h"
#include "panel/panel_session.h"
#include "page_compare.h"
#include "panel_streams.h"
#include "platform/write_faults.h"
#include "support/special_files.h"
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QByteArray> schemePackets(const QByteArray& stream)
{
    // A, B1 .. B9 follow each other; their sizes are those of the stream.
    QList<QByteArray> out;
    PacketStream s;
    s.feed(stream);
    s.finish();
    for (StreamEvent& e : s.take())
        if (e.has_packet)
            out << e.packet.bytes;
    return out;
}

int rowOf(const PacketLog& log, const QString& packet)
{
    for (int r = 0; r < log.size(); ++r)
        if (log.at(r).packet == packet)
            return r;
    return -1;
}

using Change = std::function<QByteArray(const QList<QByteArray>& scheme, const QList<QByteArray>& page)>;

} // namespace

Q_DECLARE_METATYPE(Change)

class PanelSessionTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ElementPictures> pictures;
    std::unique_ptr<PagePainter> painter;
    QByteArray scheme;
    SentPage page1, page2;

    SessionOptions projectOptions() const
    {
        SessionOptions o;
        o.version = ws->version_code;
        o.call_flags = ws->alg.call_flags;
        o.idle_ms = 0;
        return o;
    }

private slots:
    void initTestCase()
    {
        ws = loadExample();
        QVERIFY(ws);
        pictures = std::make_unique<ElementPictures>();
        painter = std::make_unique<PagePainter>(*pictures);
        scheme = schemeStream(*ws);
        page1 = sentPage(*ws, *painter, 0);
        page2 = sentPage(*ws, *painter, 1);
        QVERIFY(page1.ok && page2.ok);
    }

    // The example's scheme and two pages arrive in pieces: each decodes to
    // what was sent, and the files say the same.
    void exampleWrites()
    {
        QTemporaryDir dir;
        SessionOptions o = projectOptions();
        o.out_dir = dir.path();
        PanelSession session(o);
        QSignalSpy pages(&session, &PanelSession::pageReceived);
        QSignalSpy writes(&session, &PanelSession::writeFinished);
        const int ch = session.openChannel(QStringLiteral("TCP test"));
        const QByteArray stream = scheme + page1.stream() + page2.stream();
        for (qsizetype at = 0; at < stream.size(); at += 1000)
            session.feedAt(ch, stream.mid(at, 1000), at / 1000);
        session.closeChannel(ch);

        QVERIFY2(session.problemLines().isEmpty(), qPrintable(session.problemLines().join(QLatin1Char('\n'))));
        QCOMPARE(session.exitStatus(), 0);
        QCOMPARE(session.writes(), 3);
        QCOMPARE(writes.size(), 3);
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0][0].toInt(), 0);
        QCOMPARE(pages[1][0].toInt(), 1);

        QVERIFY(session.scheme() && session.scheme()->complete());
        QCOMPARE(session.scheme()->version_code, 5);
        QCOMPARE(QJsonDocument::fromJson(readFile(dir.filePath(QStringLiteral("scheme.json")))).object(),
                 schemeJson(*session.scheme()));

        const std::array<const SentPage*, 2> sent{&page1, &page2};
        for (int p = 0; p < 2; ++p) {
            const DecodedPage* pg = session.page(p);
            QVERIFY(pg && pg->complete());
            QCOMPARE(pg->page, p);
            QCOMPARE(int(pg->controller), int(ws->settings.controller_number));
            const QImage decoded = pageImage(*pg);
            QCOMPARE(decoded, quantise(sent[size_t(p)]->painted));
            const QString diff = compareTables(pg->tables, ws->pages, p);
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
            const QImage png(dir.filePath(QStringLiteral("page-%1.png").arg(p + 1)));
            QCOMPARE(png.convertToFormat(QImage::Format_RGB32), decoded);
            QCOMPARE(QJsonDocument::fromJson(readFile(dir.filePath(QStringLiteral("page-%1.json").arg(p + 1)))).object(),
                     pageJson(*pg));
        }
        QVERIFY(!session.page(2));

        // The log: every packet with its check, in order.
        const PacketLog& log = session.log();
        QCOMPARE(log.size(), 10 + 32);
        QCOMPARE(log.at(0).packet, QStringLiteral("A"));
        QCOMPARE(log.at(9).packet, QStringLiteral("B9"));
        QCOMPARE(log.at(10).packet, QStringLiteral("C0"));
        QCOMPARE(log.at(41).packet, QStringLiteral("D7"));
        QCOMPARE(log.at(2).check, QStringLiteral("CRC ok"));
        QCOMPARE(log.at(11).check, QStringLiteral("no CRC"));
        QCOMPARE(log.at(11).length, qint64(page1.packets[1].size()));
        const QStringList lines = QString::fromUtf8(readFile(dir.filePath(QStringLiteral("log.txt")))).split(
            QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 42);
        QCOMPARE(lines[0], PacketLog::header());
        QCOMPARE(lines[12], PacketLog::line(log.at(11)));
        QVERIFY(lines[12].contains(QStringLiteral("\tD0\t1\t%1\tno CRC").arg(page1.packets[1].size())));
    }

    // Arrival times: a packet's time is that of the piece holding its first
    // byte; the gap runs from the previous packet's first byte.
    void arrivalTimesAndGaps()
    {
        PanelSession session(projectOptions());
        const int ch = session.openChannel(QStringLiteral("serial test"));
        const QByteArray c0 = page1.packets[0], d0 = page1.packets[1], c1 = page1.packets[2];
        session.feedAt(ch, c0 + d0.left(100), 1000);   // C0 and the start of D0 at 1000 ms
        session.feedAt(ch, d0.mid(100), 1004);          // the rest of D0 later
        session.feedAt(ch, c1.left(3), 1810);           // C1 split in two pieces
        session.feedAt(ch, c1.mid(3), 1811);
        const PacketLog& log = session.log();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log.at(0).gap_ms, -1.0);
        QCOMPARE(logGap(log.at(0)), QStringLiteral("-"));
        QCOMPARE(log.at(1).gap_ms, 0.0);   // D0 began in the same piece as C0
        QCOMPARE(log.at(2).gap_ms, 810.0);
        QCOMPARE(logGap(log.at(2)), QStringLiteral("810.0"));
        QCOMPARE(log.at(2).at.msecsTo(log.at(0).at), -810);
        QVERIFY(logTime(log.at(2)).contains(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"))));

        // A recorded stream has no times.
        PanelSession recorded(projectOptions());
        const int file = recorded.openChannel(QStringLiteral("dump.bin"), false);
        recorded.feed(file, c0);
        QCOMPARE(logTime(recorded.log().at(0)), QStringLiteral("-"));
        QCOMPARE(logGap(recorded.log().at(0)), QStringLiteral("-"));
    }

    // Damaged streams: the problem lines name the write, the packet and the
    // bytes; errors make the exit status 1, a retry of the sender is only a
    // warning.
    void problems_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QString>("line");     // a problem line starts so
        QTest::addColumn<QString>("packet");   // the log row that carries it ("" none)

        QTest::newRow("checksum of B2") << Change([](const QList<QByteArray>& s, const QList<QByteArray>& p) {
            QList<QByteArray> c = s;
            c[2][c[2].size() - 1] = char(c[2][c[2].size() - 1] ^ 0x5A);
            return c.join() + p.join();
        }) << 1 << 2 << QStringLiteral("test: scheme: error: wrong checksum, packet 2, stage/part 2, offset ")
                               << QStringLiteral("B2");
        QTest::newRow("bytes between the writes") << Change([](const QList<QByteArray>& s, const QList<QByteArray>& p) {
            return s.join() + QByteArray(5, char(0xEE)) + p.join();
        }) << 1 << 2 << QStringLiteral("test: stream: error: bytes outside any packet skipped") << QString();
        QTest::newRow("stream ends inside D3") << Change([](const QList<QByteArray>& s, const QList<QByteArray>& p) {
            return s.join() + p.mid(0, 7).join() + p[7].left(100);
        }) << 1 << 2 << QStringLiteral("test: stream: error: stream ends inside a packet") << QString();
        QTest::newRow("page started over after C1") << Change([](const QList<QByteArray>& s, const QList<QByteArray>& p) {
            return s.join() + p.mid(0, 3).join() + p.join();
        }) << 0 << 2 << QStringLiteral("test: C0: warning: transfer restarted") << QStringLiteral("C0");
    }

    void problems()
    {
        QFETCH(Change, change);
        QFETCH(int, status);
        QFETCH(int, writes);
        QFETCH(QString, line);
        QFETCH(QString, packet);
        PanelSession session(projectOptions());
        QSignalSpy found(&session, &PanelSession::problemFound);
        const int ch = session.openChannel(QStringLiteral("test"), false);
        session.feed(ch, change(schemePackets(scheme), page1.packets));
        session.closeChannel(ch);
        QCOMPARE(session.exitStatus(), status);
        QCOMPARE(session.writes(), writes);
        QCOMPARE(found.size(), session.problemLines().size());
        const QStringList lines = session.problemLines();
        const auto it = std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.startsWith(line); });
        QVERIFY2(it != lines.end(), qPrintable(lines.join(QLatin1Char('\n'))));
        if (!packet.isEmpty()) {
            const PacketLog& log = session.log();
            int row = -1;
            for (int r = 0; r < log.size(); ++r)
                if (log.at(r).packet == packet && !log.at(r).problems.isEmpty())
                    row = r;
            QVERIFY2(row >= 0, qPrintable(packet));
            QCOMPARE(log.at(row).error, status != 0);
            QVERIFY(it->endsWith(log.at(row).problems.front()));
        }
        if (packet == QLatin1String("B2"))
            QVERIFY(session.log().at(rowOf(session.log(), packet)).check.startsWith(QStringLiteral("CRC 0x")));
    }

    // --count: the session is done after N writes; what comes after is not
    // taken, and the log is written with what came before.
    void countOfWrites()
    {
        QTemporaryDir dir;
        SessionOptions o = projectOptions();
        o.count = 2;
        o.out_dir = dir.path();
        PanelSession session(o);
        QSignalSpy reached(&session, &PanelSession::countReached);
        const int ch = session.openChannel(QStringLiteral("test"), false);
        session.feed(ch, scheme + page1.stream() + page2.stream());
        QVERIFY(session.done());
        QCOMPARE(reached.size(), 1);
        QCOMPARE(session.writes(), 2);
        QVERIFY(session.page(0));
        QVERIFY(!session.page(1));
        session.feed(ch, page2.stream());
        session.closeChannel(ch);
        QCOMPARE(session.writes(), 2);
        QCOMPARE(reached.size(), 1);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("page-2.png"))));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("log.txt"))));
        QCOMPARE(session.exitStatus(), 0);
    }

    // --controller: the packets for other controllers are logged as ignored
    // and make no write.
    void otherControllerIgnored()
    {
        SessionOptions o = projectOptions();
        o.controller = 2;
        PanelSession session(o);
        const int ch = session.openChannel(QStringLiteral("test"), false);
        session.feed(ch, scheme + page1.stream());
        session.closeChannel(ch);
        QCOMPARE(session.writes(), 0);
        QCOMPARE(session.log().size(), 26);
        for (int r = 0; r < session.log().size(); ++r)
            QVERIFY(session.log().at(r).ignored);
        QVERIFY(PacketLog::line(session.log().at(0)).contains(QStringLiteral("ignored: another controller")));
        QCOMPARE(session.exitStatus(), 0);
    }

    // Version unknown and a page with the short tables (versions 1 and 2):
    // the last packet's end shows only when the line goes quiet, which the
    // channel's idle timer notices.
    void quietLineEndsShortPage()
    {
        auto old = loadExample();
        QVERIFY(old);
        old->selectVersion(1);
        const SentPage shortPage = sentPage(*old, *painter, 0);
        QVERIFY(shortPage.ok);
        SessionOptions o;
        o.idle_ms = 20;
        PanelSession session(o);
        const int ch = session.openChannel(QStringLiteral("test"));
        session.feed(ch, shortPage.stream());
        QCOMPARE(session.writes(), 0);
        QTRY_COMPARE(session.writes(), 1);
        QVERIFY(session.page(0) && session.page(0)->complete());
        QCOMPARE(int(session.page(0)->layout), int(TableLayout::Short));
        QCOMPARE(session.exitStatus(), 0);
    }

    // An output that cannot be written: every failed file is an error line
    // with its cause, the write's summary counts it as an error (it does not
    // say "ok") and the exit status is 1; the decoding goes on. A FIFO where
    // a file goes stays a FIFO.
    void unwritableOutput_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("folder under a file") << "under a file" << "";
        QTest::newRow("full disk") << "full disk" << ": No space left on device";
        QTest::newRow("FIFO in place of scheme.json") << "fifo" << ": not a regular file";
    }
    void unwritableOutput()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        std::unique_ptr<FullTmpfs> disk;
        SessionOptions o = projectOptions();
        if (kind == QLatin1String("under a file")) {
            QFile blocker(dir.filePath(QStringLiteral("file")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            o.out_dir = dir.filePath(QStringLiteral("file/out"));
        } else if (kind == QLatin1String("full disk")) {
            disk = std::make_unique<FullTmpfs>(1024);
            if (!disk->mounted())
                QSKIP("cannot mount a tmpfs here");
            o.out_dir = disk->path(QStringLiteral("."));
        } else {
            QVERIFY(makeSpecialFile(kind, dir.filePath(QStringLiteral("scheme.json"))));
            o.out_dir = dir.path();
        }
        PanelSession session(o);
        QSignalSpy finished(&session, &PanelSession::writeFinished);
        const int ch = session.openChannel(QStringLiteral("test"), false);
        session.feed(ch, scheme);
        session.closeChannel(ch);
        QCOMPARE(session.writes(), 1);
        QVERIFY(session.outputFailed());
        QVERIFY(!session.hadErrors());
        QCOMPARE(session.exitStatus(), 1);
        const QString first = session.problemLines().first();
        QVERIFY2(first.startsWith(QStringLiteral("error: cannot write ") + QDir(o.out_dir).filePath("scheme.json"))
                     && first.endsWith(cause),
                 qPrintable(first));
        QCOMPARE(finished.count(), 1);
        const QString summary = finished.first().first().toString();
        QVERIFY2(summary.contains(QStringLiteral("version 5: ")) && summary.contains(QStringLiteral(" error"))
                     && !summary.endsWith(QStringLiteral(": ok")),
                 qPrintable(summary));
        if (kind == QLatin1String("fifo"))
            QVERIFY(isSpecialFile(kind, dir.filePath(QStringLiteral("scheme.json"))));
        else if (kind == QLatin1String("under a file"))
            QVERIFY(!session.writeLog());
    }
};

QTEST_MAIN(PanelSessionTest)
#include "test_panel_session.moc"
