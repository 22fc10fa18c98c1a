// The scheme packets built from hand-made block tables.
#include "algorithm/step_program.h"
#include "wire/packet.h"
#include "wire/scheme_encoder.h"
#include "workspace/workspace.h"
#include <QStringEncoder>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

QByteArray cp1251(const QString& s) { return QStringEncoder("windows-1251")(s); }

// Gives blocks 1..99 their bases and the two byte totals the way the import
// does: ascending block number, no gaps.
void allocate(Workspace& ws)
{
    BlockTable& bt = ws.blocks;
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;
    bt.block_type[99] = 42;
    allocateBlocks(bt, ws.catalog);
}

// Offset of block n's first text byte in the stage-9 data.
int textOffset(const Workspace& ws, int n)
{
    int off = 0;
    for (int m = 1; m < n; ++m) {
        const int t = ws.blocks.block_type[m];
        off += ws.catalog.textCount(t) * ws.catalog.textWidth(t);
    }
    return off;
}

} // namespace

class SchemeSerializerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;

private slots:
    void init() { ws = std::make_unique<Workspace>(); }

    // A scheme with no blocks besides the fixed 97..99 still sends all ten
    // packets; every length follows from the stage layout.
    void fixedBlocksOnly()
    {
        allocate(*ws);
        ws->settings.controller_number = 3;
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY(img.fatal.isEmpty());
        QVERIFY(!img.parameterError);
        const int P = 4 * (ws->catalog.paramCount(43) + ws->catalog.paramCount(41) + ws->catalog.paramCount(42));
        const int T = ws->blocks.text_bytes;
        QCOMPARE(ws->blocks.param_bytes, P);
        const int lengths[10] = {6, 103, 1603, 68, 68, 523, 103, 7, P + 3, T + 3};
        for (int s = 0; s < 10; ++s) {
            QCOMPARE(img.packets[s].size(), lengths[s]);
            QCOMPARE(img.packets[s].at(0), char(3));
            QCOMPARE(img.packets[s].at(1), s == 0 ? 'A' : 'B');
            if (s > 0)
                QCOMPARE(img.packets[s].at(2), char(s));
        }
        const QByteArray header = img.packets[0];
        QCOMPARE(uint8_t(header[2]) + 256 * uint8_t(header[3]), P);
        QCOMPARE(uint8_t(header[4]) + 256 * uint8_t(header[5]), T);
        QCOMPARE(withCrc(img.packets[1]).size(), 105);
        QCOMPARE(img.packets[1].mid(3 + 97, 3), QByteArray::fromHex("2b292a"));
        // The stream is the packets with their checksums, in stage order.
        const QByteArray stream = schemeWireStream(img);
        QCOMPARE(stream.size(), 6 + 103 + 1603 + 68 + 68 + 523 + 103 + 7 + P + 3 + T + 3 + 20);
        QCOMPARE(stream.left(8), withCrc(header));
    }

    // Wiring goes column by column, the special rows row by row, masks as they are.
    void linkTables()
    {
        BlockTable& bt = ws->blocks;
        bt.InputLink[5][3] = 7;
        bt.InputLink[99][15] = 9;
        bt.InputLink[100][0] = 1; // block 100 is never sent
        bt.graph_input_link[64] = 11;
        bt.graph_input_link[65] = 99; // beyond the 65 bytes sent
        bt.journal_input_link[0] = 12;
        bt.special_link[2][4] = 13;
        bt.special_link[8][0] = 99;   // row 8 is not sent
        bt.invert_mask[42] = 0x81;
        bt.journal_invert[3] = 0x40;
        allocate(*ws);
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QCOMPARE(img.packets[2].at(3 + 3 * 100 + 5), char(7));
        QCOMPARE(img.packets[2].at(3 + 15 * 100 + 99), char(9));
        QCOMPARE(img.packets[2].mid(3).count(char(1)), 0);
        QCOMPARE(img.packets[3].at(3 + 64), char(11));
        QCOMPARE(img.packets[4].at(3), char(12));
        QCOMPARE(img.packets[5].at(3 + 2 * 65 + 4), char(13));
        QCOMPARE(img.packets[5].mid(3).count(char(99)), 0);
        QCOMPARE(uint8_t(img.packets[6].at(3 + 42)), uint8_t(0x81));
        QCOMPARE(img.packets[7].mid(3), QByteArray::fromHex("00000040"));
    }

    void parameters()
    {
        ws->blocks.block_type[3] = 9;  // MUL, 4 parameters
        ws->blocks.block_type[5] = 10; // SUM, 10 parameters
        allocate(*ws);
        QCOMPARE(ws->blocks.param_base[5], int16_t(4));
        ws->blocks.param(5, 0) = 1.5f;
        ws->blocks.param(5, 1) = -1.5f;
        ws->blocks.param(5, 2) = 1e9f; // x 1000 does not fit
        ws->blocks.param(5, 3) = -0.0004f;
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY(img.parameterError);
        QVERIFY(img.fatal.isEmpty());
        QCOMPARE(img.packets[8].mid(3 + 16, 16), QByteArray::fromHex("dc050000dc05008000000000" "00000000"));
    }

    void texts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("block");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("REP Пуск") << 48 << 10 << QStringLiteral("Пуск")
                                  << cp1251(QStringLiteral("Пуск")) + QByteArray(13, ' ');
        QTest::newRow("S_P exactly 17") << 25 << 10 << QStringLiteral("Задатчик давления")
                                        << cp1251(QStringLiteral("Задатчик давления"));
        QTest::newRow("S_P longer is cut") << 25 << 10 << QStringLiteral("ABCDEFGHIJKLMNOPQRSTU")
                                           << QByteArray("ABCDEFGHIJKLMNOPQ");
        QTest::newRow("PAN empty") << 29 << 10 << QString() << QByteArray(17, ' ');
        QTest::newRow("not in cp1251") << 29 << 10 << QStringLiteral("a\u4e2db") << QByteArray("a?b") + QByteArray(14, ' ');
        QTest::newRow("JUR 40") << 42 << 99 << QStringLiteral("Авария")
                                << cp1251(QStringLiteral("Авария")) + QByteArray(34, ' ');
        QTest::newRow("RS4 number") << 5 << 10 << QStringLiteral("200") << QByteArray(1, char(200));
        QTest::newRow("RS4 rounded") << 5 << 10 << QStringLiteral("12.5") << QByteArray(1, char(12));
        QTest::newRow("RS4 not a number") << 5 << 10 << QStringLiteral("x") << QByteArray(1, char(0));
    }
    void texts()
    {
        QFETCH(int, type);
        QFETCH(int, block);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        ws->blocks.block_type[block] = int16_t(type);
        allocate(*ws);
        ws->blocks.text(block, 0) = text;
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY(img.fatal.isEmpty());
        QCOMPARE(img.packets[9].size(), ws->blocks.text_bytes + 3);
        QCOMPARE(img.packets[9].mid(3 + textOffset(*ws, block), bytes.size()), bytes);
    }

    // RS485 text values beyond one byte cannot be sent: nothing goes out.
    void byteTextOutOfRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("256") << QStringLiteral("256");
        QTest::newRow("-1") << QStringLiteral("-1");
    }
    void byteTextOutOfRange()
    {
        QFETCH(QString, text);
        ws->blocks.block_type[10] = 5;
        allocate(*ws);
        ws->blocks.text(10, 47) = text;
        QCOMPARE(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number).fatal, QStringLiteral("Ошибка параметра"));
    }

    // RS485 blocks own texts under version 5 only.
    void rs485TextsFollowVersion()
    {
        ws->selectVersion(3);
        ws->blocks.block_type[10] = 5;
        allocate(*ws);
        ws->blocks.TextStore[0] = QStringLiteral("999");
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY(img.fatal.isEmpty());
        QCOMPARE(img.packets[9].size(), ws->blocks.text_bytes + 3);
    }

    // A call-marked branch sends its kind with 128 added; the stored field stays.
    void algorithmCallAdjustment()
    {
        const int n = 4;
        ws->blocks.block_type[n] = 45;
        allocate(*ws);
        alg::setStepField(ws->blocks, n, 3, alg::then_kind, 127);
        alg::setStepField(ws->blocks, n, 5, alg::else_kind, 2);
        alg::setStepField(ws->blocks, n, 6, alg::then_kind, 9);
        ws->alg.call_flags[3][0] = 1;
        ws->alg.call_flags[5][1] = 1;
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QVERIFY2(img.fatal.isEmpty(), qPrintable(img.fatal));
        const QByteArray data = img.packets[9].mid(3 + textOffset(*ws, n), 5248);
        QCOMPARE(data.size(), 5248);
        QCOMPARE(uint8_t(data[41 * 3 + 16]), uint8_t(255));
        QCOMPARE(uint8_t(data[41 * 5 + 17]), uint8_t(130));
        QCOMPARE(uint8_t(data[41 * 6 + 16]), uint8_t(9));
        QCOMPARE(alg::stepField(ws->blocks, n, 3, alg::then_kind), 127);
        QCOMPARE(img.packets[9].size(), ws->blocks.text_bytes + 3);
    }

    // Bases and totals beyond the stores (a damaged table) never read out of range.
    void damagedTableStaysInBounds()
    {
        ws->blocks.block_type[10] = 25;
        allocate(*ws);
        ws->blocks.text_base[10] = 32000;
        ws->blocks.param_bytes = 4 * 20000;
        const SchemeImage img = buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number);
        QCOMPARE(img.packets[8].size(), 4 * BlockTable::kParams + 3);
        QCOMPARE(img.packets[9].mid(3, 17), QByteArray(17, ' '));
    }
};

QTEST_GUILESS_MAIN(SchemeSerializerTest)
#include "test_scheme_encoder.moc"
