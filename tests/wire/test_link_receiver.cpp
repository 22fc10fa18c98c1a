// The receiving end as a whole: a scheme write followed by a page write,
// corrupted in one way per case, gives exactly the listed reports (packet,
// stage or part, stream offset, expected, found), whole or in pieces; the
// stream fed in pieces
// gives what it gives in one piece; interleaved writes are told apart.
#include "workspace/workspace.h"
#include "wire/link_receiver.h"
#include "wire/packet.h"
#include "wire/scheme_encoder.h"
#include "link_streams.h"
#include <QTest>
#include <functional>
#include <memory>

using namespace ostrel;
using namespace ostrel::testing;

namespace {

// Four typed blocks besides 97..99: MUL, SUM, S_P with a name, RS485.
std::unique_ptr<Workspace> smallScheme()
{
    auto ws = std::make_unique<Workspace>();
    BlockTable& bt = ws->blocks;
    bt.block_type[3] = 9;
    bt.block_type[5] = 10;
    bt.block_type[7] = 25;
    bt.block_type[10] = 5;
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;
    bt.block_type[99] = 42;
    allocateBlocks(bt, ws->catalog);
    bt.param(3, 0) = 1.5f;
    bt.param(5, 9) = -2.25f;
    bt.text(7, 0) = QStringLiteral("Уставка");
    bt.InputLink[5][0] = 0;
    bt.InputLink[5][1] = 3;
    bt.invert_mask[5] = 1;
    ws->settings.controller_number = 2;
    return ws;
}

// The scheme's ten packets (0..9) and the page's sixteen (10..25).
QList<QByteArray> basePackets()
{
    QList<QByteArray> out;
    const auto ws = smallScheme();
    const SchemeImage image = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
    for (const QByteArray& p : image.packets)
        out << withCrc(p);
    std::array<BandWords, 8> bands;
    bands.fill(uniformBand(0x25F));
    const QByteArray page = pageStream(2, 0, bands, emptyTables(TableLayout::Full));
    qsizetype at = 0;
    for (int k = 0; k < 8; ++k) {
        const qsizetype data = k < 7 ? 3 + 6004 + 1 : 3 + 6004 + kFullTableArea;
        out << page.mid(at, 8) << page.mid(at + 8, data);
        at += 8 + data;
    }
    return out;
}

qint64 offsetOf(const QList<QByteArray>& packets, int i)
{
    qint64 off = 0;
    for (int j = 0; j < i; ++j)
        off += packets[j].size();
    return off;
}

QByteArray rechecked(QByteArray packet) // a header or scheme packet with its checksum made right
{
    packet.chop(2);
    return withCrc(packet);
}

QString hex4(uint16_t v) { return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')); }

struct Expect {
    ProblemKind kind;
    int packet, stage;
    qint64 offset;
    QString expected, found;
};

std::vector<DecodeProblem> allProblems(const LinkReceiver::Output& out)
{
    std::vector<DecodeProblem> all;
    for (const StreamEvent& e : out.events)
        all.insert(all.end(), e.problems.begin(), e.problems.end());
    for (const DecodedScheme& s : out.schemes)
        all.insert(all.end(), s.problems.begin(), s.problems.end());
    for (const DecodedPage& p : out.pages)
        all.insert(all.end(), p.problems.begin(), p.problems.end());
    return all;
}

LinkReceiver::Output receive(const QByteArray& stream, qsizetype chunk = 0)
{
    LinkReceiver rx;
    if (chunk <= 0)
        rx.feed(stream);
    else
        for (qsizetype at = 0; at < stream.size(); at += chunk)
            rx.feed(stream.mid(at, chunk));
    rx.finish();
    return rx.take();
}

// One corruption: changes the packets (or the joined stream) and lists the
// reports it must give.
using Corruption = std::function<QByteArray(QList<QByteArray>& packets, QList<Expect>& expect)>;

} // namespace

Q_DECLARE_METATYPE(Corruption)

class LinkReceiverTest : public QObject {
    Q_OBJECT

private slots:
    void corruptions_data()
    {
        QTest::addColumn<Corruption>("corrupt");
        using P = ProblemKind;
        const auto join = [](const QList<QByteArray>& p) { return p.join(); };

        QTest::newRow("scheme checksum") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const uint16_t computed = crc16(p[3].constData(), 68);
            p[3][69] = char(p[3][69] ^ 0xFF);
            const uint16_t wire = uint16_t((uint8_t(p[3][68]) << 8) | uint8_t(p[3][69]));
            e << Expect{P::Checksum, 3, 3, offsetOf(p, 3) + 68, hex4(computed), hex4(wire)};
            return join(p);
        });
        QTest::newRow("page header checksum") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const uint16_t computed = crc16(p[14].constData(), 6);
            p[14][6] = char(p[14][6] ^ 0x10);
            const uint16_t wire = uint16_t((uint8_t(p[14][6]) << 8) | uint8_t(p[14][7]));
            e << Expect{P::Checksum, 14, 2, offsetOf(p, 14) + 6, hex4(computed), hex4(wire)};
            return join(p);
        });
        // A damaged part byte puts the header out of place: the transfer
        // drops it (part 5 before D1) or never takes it (part 9); its wrong
        // checksum is reported all the same.
        QTest::newRow("page header part byte, dropped") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[12][5] = char(5); // C1 reads as C5
            const uint16_t computed = crc16(p[12].constData(), 6);
            const uint16_t wire = uint16_t((uint8_t(p[12][6]) << 8) | uint8_t(p[12][7]));
            e << Expect{P::Restarted, 13, 1, offsetOf(p, 13), QStringLiteral("D5"), QStringLiteral("D1")}
              << Expect{P::Checksum, 12, 5, offsetOf(p, 12) + 6, hex4(computed), hex4(wire)}
              << Expect{P::Order, 13, 1, offsetOf(p, 13), QStringLiteral("C1"), QStringLiteral("D1")}
              << Expect{P::Missing, -1, 1, -1, QStringLiteral("C1"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("page header part byte, out of range") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[12][5] = char(9); // C1 reads as C9
            const uint16_t computed = crc16(p[12].constData(), 6);
            const uint16_t wire = uint16_t((uint8_t(p[12][6]) << 8) | uint8_t(p[12][7]));
            e << Expect{P::Checksum, 12, 9, offsetOf(p, 12) + 6, hex4(computed), hex4(wire)}
              << Expect{P::Order, 13, 1, offsetOf(p, 13), QStringLiteral("C1"), QStringLiteral("D1")}
              << Expect{P::Missing, -1, 1, -1, QStringLiteral("C1"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("stream ends inside a packet") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const qsizetype full = p[9].size();
            p = p.mid(0, 10);
            p[9].truncate(full / 2);
            e << Expect{P::Truncated, -1, 9, offsetOf(p, 9), QStringLiteral("%1 bytes").arg(full),
                        QStringLiteral("%1 bytes").arg(full / 2)}
              << Expect{P::Missing, -1, 9, -1, QStringLiteral("B9"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("packet cut short") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[2].remove(100, 10);
            const uint16_t computed = crc16(p[2].constData(), 1593);
            const uint16_t wire = uint16_t((uint8_t(p[2][1593]) << 8) | uint8_t(p[2][1594]));
            e << Expect{P::CutShort, 2, 2, offsetOf(p, 2), QStringLiteral("1605 bytes"), QStringLiteral("1595 bytes")}
              << Expect{P::Checksum, 2, 2, offsetOf(p, 2) + 1593, hex4(computed), hex4(wire)}
              << Expect{P::PacketLength, 2, 2, offsetOf(p, 2), QStringLiteral("1605"), QStringLiteral("1595")};
            return join(p);
        });
        QTest::newRow("extra bytes between packets") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const qint64 at = offsetOf(p, 6);
            p[5].append("xyz");
            e << Expect{P::UnknownCommand, -1, -1, at + 1, QStringLiteral("A, B, C or D"), QStringLiteral("0x79")}
              << Expect{P::SkippedBytes, -1, -1, at, QStringLiteral("0"), QStringLiteral("3")};
            return join(p);
        });
        QTest::newRow("stages out of order") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p.swapItemsAt(3, 4); // B4 before B3
            e << Expect{P::Restarted, 4, 3, offsetOf(p, 4), QStringLiteral("B5"), QStringLiteral("B3")}
              << Expect{P::Order, 5, 5, offsetOf(p, 5), QStringLiteral("B4"), QStringLiteral("B5")}
              << Expect{P::Missing, -1, 4, -1, QStringLiteral("B4"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("stage sent again") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p.insert(4, p[3]); // a retry of B3
            e << Expect{P::Restarted, 4, 3, offsetOf(p, 4), QStringLiteral("B4"), QStringLiteral("B3")};
            return join(p);
        });
        QTest::newRow("header totals differ from the blocks") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const int P = uint8_t(p[0][2]) | (uint8_t(p[0][3]) << 8);
            p[0][2] = char((P + 4) & 0xFF);
            p[0][3] = char((P + 4) >> 8);
            p[0] = rechecked(p[0]);
            e << Expect{P::CutShort, 8, 8, offsetOf(p, 8), QStringLiteral("%1 bytes").arg(P + 9),
                        QStringLiteral("%1 bytes").arg(P + 5)}
              << Expect{P::PacketLength, 8, 8, offsetOf(p, 8), QString::number(P + 9), QString::number(P + 5)}
              << Expect{P::ParamTotal, 0, 0, 2, QString::number(P), QString::number(P + 4)};
            return join(p);
        });
        QTest::newRow("band overfills") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            BandWords w = uniformBand(0x25F);
            w.push_back(0x0ABC);
            p[14] = pageHeader(2, bandLength(w), 0, 2);
            p[15] = pageData(2, 2, w, QByteArray(1, '\0'));
            e << Expect{P::BandOverfill, 15, 2, offsetOf(p, 15) + 7 + 6000, QStringLiteral("48000 pixels"),
                        QStringLiteral("48001 pixels")};
            return join(p);
        });
        QTest::newRow("band underfills") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            BandWords w = uniformBand(0x25F);
            w.pop_back();
            p[18] = pageHeader(2, bandLength(w), 0, 4);
            p[19] = pageData(2, 4, w, QByteArray(1, '\0'));
            e << Expect{P::BandUnderfill, 19, 4, offsetOf(p, 19) + 7 + 5998, QStringLiteral("48000 pixels"),
                        QStringLiteral("47984 pixels")};
            return join(p);
        });
        QTest::newRow("band longer than 32000 bytes") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            BandWords w;
            for (int i = 0; i < 16000; ++i)
                w.push_back(uint16_t(i % 2 ? 0x111 : 0x222));
            w.insert(w.end(), 2000, 0xF333);
            p[12] = pageHeader(2, bandLength(w), 0, 1);
            p[13] = pageData(2, 1, w, QByteArray(1, '\0'));
            e << Expect{P::BandLength, 12, 1, offsetOf(p, 12) + 2, QStringLiteral("even, 4..32000"),
                        QStringLiteral("36004")};
            return join(p);
        });
        QTest::newRow("band length differs from the data") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[20] = pageHeader(2, 6006, 0, 5);
            e << Expect{P::CutShort, 21, 5, offsetOf(p, 21), QStringLiteral("6010 bytes"), QStringLiteral("6008 bytes")}
              << Expect{P::HeaderMismatch, 21, 5, offsetOf(p, 21) + 3, QStringLiteral("6006"), QStringLiteral("6004")}
              << Expect{P::PacketLength, 21, 5, offsetOf(p, 21), QStringLiteral("6010"), QStringLiteral("6008")};
            return join(p);
        });
        QTest::newRow("unknown command letter") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[22][1] = 'E';
            e << Expect{P::UnknownCommand, -1, -1, offsetOf(p, 22) + 1, QStringLiteral("A, B, C or D"),
                        QStringLiteral("0x45")}
              << Expect{P::SkippedBytes, -1, -1, offsetOf(p, 22), QStringLiteral("0"),
                        QString::number(p[22].size() + p[23].size())}
              << Expect{P::Order, 22, 7, offsetOf(p, 24), QStringLiteral("C6"), QStringLiteral("C7")}
              << Expect{P::Missing, -1, 6, -1, QStringLiteral("C6"), QStringLiteral("none")}
              << Expect{P::Missing, -1, 6, -1, QStringLiteral("D6"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("data packet without its header") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p.removeAt(16); // C3: D3 has no length
            e << Expect{P::NoLengthHeader, -1, -1, offsetOf(p, 16), QStringLiteral("C before D"), QStringLiteral("D3")}
              << Expect{P::SkippedBytes, -1, -1, offsetOf(p, 16), QStringLiteral("0"), QString::number(p[16].size())}
              << Expect{P::Order, 16, 4, offsetOf(p, 17), QStringLiteral("C3"), QStringLiteral("C4")}
              << Expect{P::Missing, -1, 3, -1, QStringLiteral("C3"), QStringLiteral("none")}
              << Expect{P::Missing, -1, 3, -1, QStringLiteral("D3"), QStringLiteral("none")};
            return join(p);
        });
        QTest::newRow("packets for another controller") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[20][0] = char(3);
            p[20] = rechecked(p[20]);
            p[21][0] = char(3);
            e << Expect{P::ControllerMix, 20, 5, offsetOf(p, 20), QStringLiteral("2"), QStringLiteral("3")}
              << Expect{P::ControllerMix, 21, 5, offsetOf(p, 21), QStringLiteral("2"), QStringLiteral("3")};
            return join(p);
        });
        QTest::newRow("headers of different pages") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            p[16][4] = char(1);
            p[16] = rechecked(p[16]);
            e << Expect{P::PageMix, 16, 3, offsetOf(p, 16) + 4, QStringLiteral("0"), QStringLiteral("1")};
            return join(p);
        });
        QTest::newRow("touch cell off its control") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const int at = 3 + 6004 + table_offset::control; // control 1: (100, 130), type 1, cell 27
            p[25].replace(at, 6, QByteArray::fromHex("64008200011b"));
            e << Expect{P::TouchCell, 25, 7, offsetOf(p, 25) + at + 5, QStringLiteral("28"), QStringLiteral("27")};
            return join(p);
        });
        QTest::newRow("filler byte") << Corruption([=](QList<QByteArray>& p, QList<Expect>& e) {
            const int at = 3 + 6004 + table_offset::filler + 100;
            p[25][at] = char(0);
            e << Expect{P::Filler, 25, 7, offsetOf(p, 25) + at, QStringLiteral("7"), QStringLiteral("0")};
            return join(p);
        });
    }

    void corruptions()
    {
        QFETCH(Corruption, corrupt);
        QList<QByteArray> packets = basePackets();
        QList<Expect> expect;
        const QByteArray stream = corrupt(packets, expect);
        const std::vector<DecodeProblem> got = allProblems(receive(stream));
        QStringList lines;
        for (const DecodeProblem& p : got)
            lines << describe(p);
        const QByteArray all = lines.join(QLatin1Char('\n')).toUtf8();
        QVERIFY2(got.size() == size_t(expect.size()), all.constData());
        for (qsizetype i = 0; i < expect.size(); ++i) {
            const DecodeProblem& g = got[size_t(i)];
            const Expect& x = expect[i];
            QVERIFY2(g.kind == x.kind, all.constData());
            QCOMPARE(g.packet, x.packet);
            QCOMPARE(g.stage, x.stage);
            QCOMPARE(g.offset, x.offset);
            QCOMPARE(g.expected, x.expected);
            QCOMPARE(g.found, x.found);
        }
        // Fed in pieces, as from a socket, the same reports come out.
        const std::vector<DecodeProblem> pieces = allProblems(receive(stream, 5));
        QCOMPARE(pieces.size(), got.size());
        for (size_t i = 0; i < got.size(); ++i)
            QCOMPARE(describe(pieces[i]), describe(got[i]));
    }

    // A packet cut before its stage or part byte is named by its letter
    // alone ("C", not "C-1"); one cut after it by letter and number.
    void cutPacketNamed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("4-byte page header") << QByteArray("\x01\x43\x00\x10", 4) << "C";
        QTest::newRow("6-byte page header") << QByteArray("\x01\x43\x00\x10\x00\x03", 6) << "C3";
        QTest::newRow("5-byte page header") << QByteArray("\x01\x43\x00\x10\x00", 5) << "C";
    }
    void cutPacketNamed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        const std::vector<DecodeProblem> got = allProblems(receive(bytes));
        QCOMPARE(got.size(), size_t(1));
        QCOMPARE(int(got[0].kind), int(ProblemKind::Truncated));
        QCOMPARE(got[0].detail, name);
    }

    void pieces_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::addColumn<TableLayout>("layout");
        QTest::newRow("byte by byte") << 1 << TableLayout::Full;
        QTest::newRow("7 bytes, short tables") << 7 << TableLayout::Short;
        QTest::newRow("1000 bytes") << 1000 << TableLayout::Full;
    }

    // The stream fed in pieces frames and decodes as it does in one piece.
    void pieces()
    {
        QFETCH(int, chunk);
        QFETCH(TableLayout, layout);
        QList<QByteArray> packets = basePackets().mid(0, 10);
        std::array<BandWords, 8> bands;
        bands.fill(uniformBand(0x0F0));
        bands[7] = uniformBand(0x00F);
        const QByteArray stream = packets.join() + pageStream(2, 4, bands, emptyTables(layout));
        const LinkReceiver::Output whole = receive(stream);
        const LinkReceiver::Output parts = receive(stream, chunk);
        QVERIFY(allProblems(whole).empty());
        QVERIFY(allProblems(parts).empty());
        QCOMPARE(parts.events.size(), size_t(26));
        for (size_t i = 0; i < whole.events.size(); ++i) {
            QCOMPARE(parts.events[i].packet.offset, whole.events[i].packet.offset);
            QCOMPARE(parts.events[i].packet.bytes, whole.events[i].packet.bytes);
        }
        QCOMPARE(parts.schemes.size(), size_t(1));
        QCOMPARE(schemeJson(parts.schemes[0]), schemeJson(whole.schemes[0]));
        QCOMPARE(parts.pages.size(), size_t(1));
        QCOMPARE(parts.pages[0].image, whole.pages[0].image);
        QCOMPARE(int(parts.pages[0].layout), int(layout));
        QCOMPARE(parts.pages[0].pixel(0, 479), uint16_t(0x00F));
    }

    // On a live line a page with short tables cannot end until the next
    // bytes show that no filler follows; a quiet line ends it. With full
    // tables the filler shows itself and nothing waits.
    void quietLineEndsShortPage()
    {
        std::array<BandWords, 8> bands;
        bands.fill(uniformBand(0x123));
        LinkReceiver rx;
        rx.feed(pageStream(1, 0, bands, emptyTables(TableLayout::Short)));
        LinkReceiver::Output out = rx.take();
        QCOMPARE(out.events.size(), size_t(15));
        QVERIFY(out.pages.empty());
        rx.idle();
        out = rx.take();
        QCOMPARE(out.events.size(), size_t(1));
        QCOMPARE(out.pages.size(), size_t(1));
        QVERIFY(out.pages[0].complete());
        QCOMPARE(int(out.pages[0].layout), int(TableLayout::Short));

        LinkReceiver full;
        full.feed(pageStream(1, 0, bands, emptyTables(TableLayout::Full)));
        out = full.take();
        QCOMPARE(out.pages.size(), size_t(1));
        QVERIFY(out.pages[0].complete());
    }

    // A page write started while the scheme write runs: the two sequences'
    // packets interleave and both transfers are decoded whole.
    void interleavedWrites()
    {
        const QList<QByteArray> p = basePackets();
        QList<QByteArray> mixed = p.mid(0, 3);           // A, B1, B2
        mixed << p.mid(10, 4);                           // C0, D0, C1, D1
        mixed << p.mid(3, 7) << p.mid(14);               // B3 .. B9, C2 .. D7
        const LinkReceiver::Output out = receive(mixed.join());
        QVERIFY(allProblems(out).empty());
        QCOMPARE(out.schemes.size(), size_t(1));
        QCOMPARE(out.pages.size(), size_t(1));
        QVERIFY(out.schemes[0].complete());
        QVERIFY(out.pages[0].complete());
        const DecodedBlock* s_p = out.schemes[0].block(7);
        QVERIFY(s_p);
        QCOMPARE(s_p->texts[0], QStringLiteral("Уставка"));
        QCOMPARE(out.schemes[0].block(5)->param_milli[9], -2250);
    }

    // A receiver told its controller number takes only that controller's
    // packets: a page for another controller between the scheme's packets
    // is framed and handed out as ignored, and no transfer is made of it.
    void otherControllerIgnored()
    {
        const QList<QByteArray> p = basePackets();       // scheme for 2, page for 2
        std::array<BandWords, 8> bands;
        bands.fill(uniformBand(0x0F0));
        const QByteArray foreign = pageStream(5, 3, bands, emptyTables(TableLayout::Full));
        const QByteArray stream = p.mid(0, 4).join() + foreign + p.mid(4).join();
        for (int controller : {0, 2, 5}) {
            ReceiverOptions o;
            o.controller = controller;
            LinkReceiver rx(o);
            rx.feed(stream);
            rx.finish();
            const LinkReceiver::Output out = rx.take();
            QVERIFY(allProblems(out).empty());
            QCOMPARE(out.events.size(), size_t(42));
            int ignored = 0;
            for (const StreamEvent& e : out.events)
                if (e.ignored) {
                    QVERIFY(e.has_packet);
                    QVERIFY(e.packet.controller != controller);
                    ++ignored;
                }
            QCOMPARE(ignored, controller == 0 ? 0 : controller == 2 ? 16 : 26);
            QCOMPARE(out.schemes.size(), size_t(controller == 5 ? 0 : 1));
            QCOMPARE(out.pages.size(), size_t(controller == 0 ? 2 : 1));
            for (const DecodedPage& pg : out.pages)
                QVERIFY(pg.complete());
            if (controller == 5)
                QCOMPARE(out.pages[0].page, 3);
        }
    }
};

QTEST_GUILESS_MAIN(LinkReceiverTest)
#include "test_link_receiver.moc"
