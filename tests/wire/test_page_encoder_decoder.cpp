// The page encoder against the page decoder: the table layout both follow
// checked against the protocol's figures, the two implementations of the
// touch cell and of the colour expansion compared over their whole input
// range, and a page with every element slot in use through both.
#include "wire/page_decoder.h"
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "link_streams.h"
#include <QTest>
#include <memory>

using namespace ostrel;
using namespace ostrel::testing;

Q_DECLARE_METATYPE(ostrel::PageTable)
Q_DECLARE_METATYPE(ostrel::TableLayout)

namespace {

// Every element of page p used, each field with a value of its own.
void fillPage(ScadaPages& s, int p)
{
    for (int n = 1; n <= 32; ++n) {
        const int16_t x = int16_t(11 * n + 3), y = int16_t(7 * n + 1);
        const int32_t color = 0x010203 * n, back = 0xFFFFFF - 0x030102 * n;
        const auto b = uint8_t(n + 40), o = uint8_t(n % 7 + 1);
        s.parametr[p][n] = {1, x, y, color, back, uint8_t(n % 2), uint8_t(10 + 4 * (n % 5)), uint8_t(n % 5),
                            b, o};
        s.signal[p][n] = {1, int16_t(x + 1), int16_t(y + 1024 * (n % 3)), int16_t(n + 64 * (n % 4)),
                          int16_t(n % 50 + 64 * (n % 2)), color, back, uint8_t(n % 2), 0, uint8_t(b + 1), uint8_t(o + 1)};
        TextSignalElement& t = s.text_signal[p][n];
        t = {};
        t.used = 1;
        t.x = int16_t(x + 2);
        t.y = int16_t(y + 2048);
        t.font = n % 2 ? 10 : 14;
        t.color = color;
        t.back_color = back;
        t.text_off = QStringLiteral("Выкл %1").arg(n);
        t.text_on = QStringLiteral("Включено %1").arg(n);
        t.frame = uint8_t(n % 2);
        t.block = uint8_t(b + 2);
        t.output = uint8_t(o + 2);
        s.level[p][n] = {1, int16_t(x + 3), int16_t(y + 3), int16_t(10 + n), int16_t(40 + n), 100 * n, color, back,
                         uint8_t(n % 4), uint8_t(b + 3), uint8_t(o + 3)};
        s.control[p][n] = {1, int16_t(x + 4), int16_t(y + 40), uint8_t(b + 4), uint8_t(o + 4), QString(), 40, 40,
                           uint8_t(n % 14)};
        s.go_block[p][n] = {1, int16_t(x + 5), int16_t(y + 5), int16_t(200 + n), int16_t(n + 128 * (n % 2))};
        s.vent[p][n] = {1, int16_t(x + 6), int16_t(y + 6), 48, 48, n % 20, uint8_t(b + 6), uint8_t(o + 6)};
    }
    for (int n = 1; n <= 8; ++n) {
        MenuElement& m = s.menu[p][n];
        m.used = 1;
        m.x = int16_t(90 * n);
        m.y = 440;
        m.text = QStringLiteral("Меню %1").arg(n);
        m.target_page = uint8_t(n % 8);
    }
    s.clock[p + 1] = {1, 700, 5};
    s.grafik[p + 1] = {1, 20, 60, 240, 150, 5};
}

// The sixteen packets of the page prepared in ts.
std::vector<LinkPacket> sentPackets(const TransferState& ts, const PageEncodeResult& r, int p)
{
    QByteArray stream;
    for (int k = 0; k < 8; ++k) {
        stream.append(pageHeader(1, r.band_lengths[size_t(k)], p, k));
        stream.append(char(1));
        stream.append('D');
        stream.append(char(k));
        stream.append(ts.part_payload[size_t(k)]);
    }
    return pagePackets(stream);
}

} // namespace

class PageEncoderDecoderTest : public QObject {
    Q_OBJECT

private slots:
    // Where each table lies and how large its records are, in both layouts.
    void layoutFigures_data()
    {
        QTest::addColumn<PageTable>("table");
        QTest::addColumn<int>("recordBytes");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("full");   // offset in the full layout
        QTest::addColumn<int>("short_"); // offset in the short layout, -1: not there
        QTest::newRow("1 parameters") << PageTable::Parametr << 11 << 32 << 0 << 0;
        QTest::newRow("2 signals") << PageTable::Signal << 11 << 32 << 352 << 352;
        QTest::newRow("3 text signals") << PageTable::TextSignal << 34 << 32 << 704 << 704;
        QTest::newRow("4 levels") << PageTable::Level << 13 << 32 << 1792 << 1792;
        QTest::newRow("5 menus") << PageTable::Menu << 16 << 8 << 2208 << 2208;
        QTest::newRow("6 clock") << PageTable::Clock << 4 << 1 << 2336 << 2336;
        QTest::newRow("7 graph") << PageTable::Graph << 7 << 1 << 2340 << 2340;
        QTest::newRow("8 controls") << PageTable::Control << 6 << 32 << 2347 << 2347;
        QTest::newRow("9 go-to") << PageTable::GoTo << 2 << 32 << 2539 << 2539;
        QTest::newRow("10 mechanisms") << PageTable::Mechanism << 5 << 32 << 2603 << -1;
        QTest::newRow("11 filler") << PageTable::Filler << 384 << 1 << 2763 << -1;
        QTest::newRow("12 marker") << PageTable::Marker << 9 << 1 << 3147 << 2603;
        QTest::newRow("13 parameter bindings") << PageTable::ParametrBinding << 2 << 32 << 3156 << 2612;
        QTest::newRow("13 signal bindings") << PageTable::SignalBinding << 2 << 32 << 3220 << 2676;
        QTest::newRow("13 text signal bindings") << PageTable::TextSignalBinding << 2 << 32 << 3284 << 2740;
        QTest::newRow("13 level bindings") << PageTable::LevelBinding << 2 << 32 << 3348 << 2804;
        QTest::newRow("13 menu targets") << PageTable::MenuTarget << 1 << 8 << 3412 << 2868;
        QTest::newRow("13 control bindings") << PageTable::ControlBinding << 2 << 32 << 3420 << 2876;
        QTest::newRow("13 go-to targets") << PageTable::GoToTarget << 1 << 32 << 3484 << 2940;
        QTest::newRow("13 mechanism bindings") << PageTable::MechanismBinding << 2 << 32 << 3516 << 2972;
    }
    void layoutFigures()
    {
        QFETCH(PageTable, table);
        QFETCH(int, recordBytes);
        QFETCH(int, records);
        QFETCH(int, full);
        QFETCH(int, short_);
        QCOMPARE(recordSize(table), recordBytes);
        const auto spec = std::find_if(kPageTables.begin(), kPageTables.end(),
                                       [&](const TableSpec& s) { return s.table == table; });
        QVERIFY(spec != kPageTables.end());
        QCOMPARE(spec->records, records);
        QCOMPARE(tableOffset(TableLayout::Full, table), full);
        QCOMPARE(tableOffset(TableLayout::Short, table), short_);
    }

    // 3580 bytes written and 3581 sent for versions 0, 3, 4, 5; 3036 written
    // and 2972 sent (no mechanism bindings) for versions 1 and 2.
    void layoutTotals()
    {
        QCOMPARE(tablesSize(TableLayout::Full), 3580);
        QCOMPARE(tablesSize(TableLayout::Short), 3036);
        QCOMPARE(tableAreaSize(TableLayout::Full), 3581);
        QCOMPARE(tableAreaSize(TableLayout::Short), 2972);
        QCOMPARE(tableAreaSize(TableLayout::Auto), 0);
        for (int version : {0, 3, 4, 5}) {
            QCOMPARE(int(tableLayoutForVersion(version)), int(TableLayout::Full));
            QCOMPARE(elementTablesSize(version), 3580);
            QCOMPARE(sentTableBytes(version), 3581);
        }
        for (int version : {1, 2}) {
            QCOMPARE(int(tableLayoutForVersion(version)), int(TableLayout::Short));
            QCOMPARE(elementTablesSize(version), 3036);
            QCOMPARE(sentTableBytes(version), 2972);
        }
        QCOMPARE(int(tableLayoutForVersion(-1)), int(TableLayout::Auto));
    }

    // The decoder's colour expansion and the encoder's agree on every 12-bit value.
    void colourExpansionAgrees()
    {
        for (int v = 0; v < 4096; ++v)
            if (displayColor(uint16_t(v)) != expandColor12(uint16_t(v)))
                QFAIL(qPrintable(QStringLiteral("0x%1: decoder %2, encoder %3")
                                     .arg(v, 3, 16, QLatin1Char('0'))
                                     .arg(displayColor(uint16_t(v)), 6, 16)
                                     .arg(expandColor12(uint16_t(v)), 6, 16)));
    }

    // The decoder's touch cell and the encoder's agree on every corner of
    // 1024 x 1024 (the display and well beyond it), and along each axis up
    // to the largest position a table can carry.
    void touchCellsAgree()
    {
        auto check = [](int x, int y) {
            if (touchCellAt(x, y) == touchCell(x, y))
                return true;
            qWarning("(%d, %d): decoder %d, encoder %d", x, y, touchCellAt(x, y), touchCell(x, y));
            return false;
        };
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 1024; ++x)
                if (!check(x, y))
                    QFAIL("touch cells differ");
        for (int v = 0; v <= 0xFFFF; ++v)
            if (!check(v, 0) || !check(0, v))
                QFAIL("touch cells differ");
    }

    // A page with every slot in use: the decoder reads back every field the
    // encoder wrote (the mechanisms only where the layout carries them).
    void everyFieldComesBack_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<TableLayout>("layout");
        QTest::newRow("version 5") << 5 << TableLayout::Full;
        QTest::newRow("version 1") << 1 << TableLayout::Short;
    }
    void everyFieldComesBack()
    {
        QFETCH(int, version);
        QFETCH(TableLayout, layout);
        auto pages = std::make_unique<ScadaPages>();
        auto ts = std::make_unique<TransferState>();
        const int p = 3;
        fillPage(*pages, p);
        QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
        image.fill(qRgb(0x40, 0x80, 0xFF));
        const PageEncodeResult r = encodePage(image, *pages, p, version, *ts);
        QVERIFY(r.ok);

        const DecodedPage pg = decodePage(sentPackets(*ts, r, p));
        QVERIFY2(pg.problems.empty(), pg.problems.empty() ? "" : qPrintable(describe(pg.problems.front())));
        QCOMPARE(int(pg.layout), int(layout));
        PageTables expected = wireTables(*pages, p);
        if (layout == TableLayout::Short)
            expected.vent = {};
        for (int n = 0; n < PageTables::kNumbers; ++n) {
            const size_t i = size_t(n);
            QVERIFY2(pg.tables.parametr[i] == expected.parametr[i],
                     qPrintable(QStringLiteral("parameter %1").arg(n + 1)));
            QVERIFY2(pg.tables.signal[i] == expected.signal[i], qPrintable(QStringLiteral("signal %1").arg(n + 1)));
            QVERIFY2(pg.tables.text_signal[i] == expected.text_signal[i],
                     qPrintable(QStringLiteral("text signal %1").arg(n + 1)));
            QVERIFY2(pg.tables.level[i] == expected.level[i], qPrintable(QStringLiteral("level %1").arg(n + 1)));
            QVERIFY2(pg.tables.control[i] == expected.control[i], qPrintable(QStringLiteral("control %1").arg(n + 1)));
            QVERIFY2(pg.tables.go_block[i] == expected.go_block[i], qPrintable(QStringLiteral("go-to %1").arg(n + 1)));
            QVERIFY2(pg.tables.vent[i] == expected.vent[i], qPrintable(QStringLiteral("mechanism %1").arg(n + 1)));
        }
        QVERIFY(pg.tables.menu == expected.menu);
        QVERIFY(pg.tables.clock == expected.clock);
        QVERIFY(pg.tables.grafik == expected.grafik);
        QVERIFY(pg.tables == expected);
        // The filled page reaches the tables (a page of zeros would pass the comparisons).
        QCOMPARE(int(expected.control[31].block), 32 + 40 + 4);
        QCOMPARE(int(expected.go_block[0].option), 129);
        QCOMPARE(textSignalOn(pg.tables.text_signal[9]), QStringLiteral("Включено 10"));
    }
};

QTEST_GUILESS_MAIN(PageEncoderDecoderTest)
#include "test_page_encoder_decoder.moc"
