// Framing, checksum, parameter encoding and the two sequences' packets and
// intervals, driven tick by tick.
#include "wire/packet.h"
#include "wire/scheme_encoder.h"
#include "link/sequences.h"
#include "wire/transfer_state.h"
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace ostrel;

namespace {
QByteArray hex(const char* h) { return QByteArray::fromHex(h); }
}

class LinkProtocolTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TransferState> ts;

private slots:
    void init()
    {
        ts = std::make_unique<TransferState>();
        ts->timer_multiplier = 1;
    }

    void crcCheckValue() { QCOMPARE(crc16("123456789", 9), uint16_t(0x4B37)); }

    void checksumAppendedHighFirst_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<int>("covered");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("scheme header") << hex("014110002000") << 6 << hex("014110002000c520");
        // Only the covered bytes enter the checksum; a length beyond the
        // packet is clamped to it.
        QTest::newRow("covered prefix") << hex("014110002000ffff") << 6 << hex("014110002000ffffc520");
        QTest::newRow("length beyond packet") << hex("014110002000") << 60 << hex("014110002000c520");
        QTest::newRow("empty") << QByteArray() << 0 << hex("ffff");
    }
    void checksumAppendedHighFirst()
    {
        QFETCH(QByteArray, packet);
        QFETCH(int, covered);
        QFETCH(QByteArray, wire);
        ts->packet = packet;
        ts->packet_length = covered;
        QCOMPARE(appendCrc(*ts), wire);
        QCOMPARE(ts->packet, wire);
    }

    void bufferWords()
    {
        ts->tx_length = 10;
        QVERIFY(Element_SCADA_COMPORT(*ts, 0x1234));
        QVERIFY(Element_SCADA_COMPORT(*ts, 65535));
        QCOMPARE(ts->tx_buffer.mid(10, 4), hex("3412ffff"));
        QCOMPARE(ts->tx_length, 14);
        // Out-of-range values and the buffer's end write nothing.
        QVERIFY(!Element_SCADA_COMPORT(*ts, 65536));
        QVERIFY(!Element_SCADA_COMPORT(*ts, -1));
        QCOMPARE(ts->tx_length, 14);
        ts->tx_length = TransferState::kTxBufferSize - 1;
        QVERIFY(!Element_SCADA_COMPORT(*ts, 1));
        QCOMPARE(ts->tx_length, TransferState::kTxBufferSize - 1);
        QCOMPARE(ts->tx_buffer.size(), TransferState::kTxBufferSize);
    }

    void parameterEncoding_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("1.5") << 1.5f << true << hex("dc050000");
        QTest::newRow("-1.5") << -1.5f << true << hex("dc050080");
        QTest::newRow("0") << 0.0f << true << hex("00000000");
        QTest::newRow("-0.0004 has no sign") << -0.0004f << true << hex("00000000");
        QTest::newRow("-0.0 has no sign") << -0.0f << true << hex("00000000");
        // The float nearest 0.0005 lies just above it: x 1000 rounds up.
        QTest::newRow("0.0005") << 0.0005f << true << hex("01000000");
        QTest::newRow("0.0625 tie to even down") << 0.0625f << true << hex("3e000000");
        QTest::newRow("0.1875 tie to even up") << 0.1875f << true << hex("bc000000");
        QTest::newRow("large magnitude") << 2000000.0f << true << hex("00943577");
        QTest::newRow("large negative") << -2000000.0f << true << hex("009435f7");
        QTest::newRow("beyond 31 bits") << 3000000.0f << false << hex("00000000");
        QTest::newRow("negative beyond") << -3000000.0f << false << hex("00000000");
        QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << false << hex("00000000");
        QTest::newRow("nan") << std::numeric_limits<float>::quiet_NaN() << false << hex("00000000");
    }
    void parameterEncoding()
    {
        QFETCH(float, value);
        QFETCH(bool, fits);
        QFETCH(QByteArray, bytes);
        uint8_t out[4] = {9, 9, 9, 9};
        QCOMPARE(encodeParameter(value, out), fits);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out), 4), bytes);
    }

    void textNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("empty") << QString() << 0LL;
        QTest::newRow("letters") << QStringLiteral("abc") << 0LL;
        QTest::newRow("plain") << QStringLiteral("200") << 200LL;
        QTest::newRow("leading blanks, trailing letters") << QStringLiteral("  7x") << 7LL;
        QTest::newRow("half to even down") << QStringLiteral("12.5") << 12LL;
        QTest::newRow("half to even up") << QStringLiteral("13.5") << 14LL;
        QTest::newRow("negative") << QStringLiteral("-1") << -1LL;
        QTest::newRow("sign only") << QStringLiteral("-") << 0LL;
        QTest::newRow("huge") << QStringLiteral("99999999999999999999999") << 1000000000000000LL;
    }
    void textNumbers()
    {
        QFETCH(QString, text);
        QFETCH(qlonglong, value);
        QCOMPARE(qlonglong(textNumericValue(text)), value);
    }

    // Stage packets with checksums, and the intervals after each of them.
    void schemeIntervals_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<int>("fast");
        QTest::addColumn<int>("slow");
        QTest::newRow("serial") << false << 50 << 500;
        QTest::newRow("tcp") << true << 500 << 2500;
    }
    void schemeIntervals()
    {
        QFETCH(bool, tcp);
        QFETCH(int, fast);
        QFETCH(int, slow);
        ts->timer_multiplier = tcp ? 10 : 1;
        SchemeImage image;
        for (int s = 0; s < SchemeImage::kStages; ++s)
            image.packets[s] = QByteArray(1, char(s));
        SchemeSequence seq(*ts, image, tcp);
        QCOMPARE(seq.startIntervalMs(), fast);
        for (int s = 0; s < SchemeImage::kStages; ++s) {
            QCOMPARE(seq.stage(), s);
            const SequenceTick t = seq.tick();
            QVERIFY(!t.finished);
            QCOMPARE(t.bytes, withCrc(QByteArray(1, char(s))));
            QCOMPARE(t.nextIntervalMs, s >= 8 ? slow : fast);
        }
        QCOMPARE(ts->scheme_stage, int16_t(10));
        const SequenceTick end = seq.tick();
        QVERIFY(end.finished);
        QVERIFY(end.bytes.isEmpty());
    }

    void schemeRetry_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("retryMs");
        QTest::newRow("serial header") << false << 0 << 0 << 50;
        QTest::newRow("tcp header") << true << 0 << 0 << 500;
        QTest::newRow("serial data packet again") << false << 4 << 4 << 50;
        QTest::newRow("tcp data goes on with stage 1") << true << 4 << 1 << 500;
        // The slow interval is set before the stage-8 packet goes out, so a
        // failing stage-8 send already waits the slow interval.
        QTest::newRow("serial stage 8 again, slow") << false << 8 << 8 << 500;
        QTest::newRow("tcp stage 8 goes on with stage 1, slow") << true << 8 << 1 << 2500;
        QTest::newRow("tcp stage 9 goes on with stage 1, slow") << true << 9 << 1 << 2500;
    }
    void schemeRetry()
    {
        QFETCH(bool, tcp);
        QFETCH(int, failing);
        QFETCH(int, next);
        QFETCH(int, retryMs);
        ts->timer_multiplier = tcp ? 10 : 1;
        SchemeSequence seq(*ts, SchemeImage{}, tcp);
        for (int s = 0; s < failing; ++s)
            seq.tick();
        seq.tick();
        QCOMPARE(seq.sendFailed(), retryMs);
        QCOMPARE(seq.stage(), next);
    }

    // After a restart the stage-8 interval stays in force, as the timer keeps it.
    void schemeSlowIntervalStays()
    {
        ts->timer_multiplier = 10;
        SchemeSequence seq(*ts, SchemeImage{}, true);
        for (int s = 0; s <= 8; ++s)
            seq.tick();
        seq.sendFailed();
        QCOMPARE(seq.stage(), 1);
        QCOMPARE(seq.tick().nextIntervalMs, 2500);
    }

    void pagePackets_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<int>("headerWait");
        QTest::addColumn<int>("wait12");  // band length 0x1234: h = 0x12
        QTest::addColumn<int>("wait64");  // band length 0x4000: h = 0x40
        QTest::newRow("serial") << false << 10 << 800 << 1950;
        QTest::newRow("tcp") << true << 500 << 1500 << 2220;
    }
    void pagePackets()
    {
        QFETCH(bool, tcp);
        QFETCH(int, headerWait);
        QFETCH(int, wait12);
        QFETCH(int, wait64);
        ts->timer_multiplier = tcp ? 10 : 1;
        for (int k = 0; k < 8; ++k) {
            QByteArray payload = k == 5 ? hex("0040") : hex("3412");
            payload.append(char(0xA0 + k));
            ts->part_payload[k] = payload;
        }
        PageSequence seq(*ts, 3, 6, tcp);
        QCOMPARE(seq.startIntervalMs(), tcp ? 100 : 10);
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(seq.packet(), 2 * k);
            const SequenceTick h = seq.tick();
            QByteArray header = hex("0343");
            header.append(ts->part_payload[k].left(2));
            header.append(char(6));
            header.append(char(k));
            QCOMPARE(h.bytes, withCrc(header));
            QCOMPARE(h.bytes.size(), 8);
            QCOMPARE(h.nextIntervalMs, headerWait);
            QVERIFY(seq.lastWasHeader());
            const SequenceTick d = seq.tick();
            QByteArray data = hex("0344");
            data.append(char(k));
            data.append(ts->part_payload[k]);
            QCOMPARE(d.bytes, data); // no checksum
            QCOMPARE(d.nextIntervalMs, k == 5 ? wait64 : wait12);
            QCOMPARE(d.finished, k == 7);
        }
        QCOMPARE(ts->page_packet, int16_t(0));
    }

    void pageRetryKeepsPacket()
    {
        ts->part_payload.fill(hex("0400"));
        PageSequence seq(*ts, 1, 0, false);
        for (int i = 0; i < 15; ++i)
            seq.tick();
        const SequenceTick last = seq.tick();
        QVERIFY(last.finished);
        seq.sendFailed();
        QCOMPARE(seq.packet(), 15); // the last data packet goes again
        QVERIFY(seq.tick().finished);
        // A payload too short to hold a band length sends zero length bytes.
        ts->part_payload[0].clear();
        PageSequence empty(*ts, 1, 0, false);
        QCOMPARE(empty.tick().bytes.mid(2, 2), hex("0000"));
    }
};

QTEST_GUILESS_MAIN(LinkProtocolTest)
#include "test_link_protocol.moc"
