// The page image as the controller receives it: 12-bit pixels, RGB565
// element colours, the run-length bands, the thirteen element tables and the
// part payloads. Expected bytes are worked out by hand in the tests.
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "scada/page_painter.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

using Setup = std::function<void(ScadaPages&)>;

constexpr int kPart = TransferState::kPartSize;

QImage uniform(QRgb colour, int w = 800, int h = 480)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

int le16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8); }

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int v : list)
        out.append(char(uint8_t(v)));
    return out;
}

QByteArray times(const QByteArray& pattern, int n) { return pattern.repeated(n); }

// The element tables of part 7 as they stand in the buffer.
QByteArray tablesOf(const TransferState& ts, int bytesWritten)
{
    const int length = le16(ts.tx_buffer, 7 * kPart);
    return ts.tx_buffer.mid(7 * kPart + length, bytesWritten);
}

bool allZero(const QByteArray& b)
{
    for (char c : b)
        if (c != 0)
            return false;
    return true;
}

// A page where every slot of every kind is used, with long texts: many
// non-zero table bytes and, with its stripes, long bands.
void fillBusyPage(ScadaPages& s, int p)
{
    for (int n = 1; n <= 32; ++n) {
        s.parametr[p][n] = {1, int16_t(10 * n), int16_t(5 * n), 0x123456, 0x654321, 1, 14, 3, uint8_t(n), 1};
        s.signal[p][n] = {1, int16_t(n), packListY(n, 3), packSignalWidth(20, 1), packSignalHeight(20, 1),
                          0xFF, 0xFF00, 1, 1, uint8_t(n), 2};
        s.text_signal[p][n].used = 1;
        s.text_signal[p][n].x = int16_t(n);
        s.text_signal[p][n].text_off = QStringLiteral("Выключено насовсем");
        s.text_signal[p][n].text_on = QStringLiteral("Включено насовсем");
        s.level[p][n] = {1, int16_t(n), int16_t(n), 30, 100, 1000, 0xFF, 0xFF0000, 3, 9, 9};
        s.go_block[p][n] = {1, int16_t(20 * n), 300, 203, 130};
        s.control[p][n] = {1, int16_t(20 * n), 400, 5, 2, QString(), 40, 40, 1};
        s.vent[p][n] = {1, int16_t(20 * n), 200, 48, 48, n % 23, 7, 7};
    }
    for (int n = 1; n <= 8; ++n) {
        s.menu[p][n].used = 1;
        s.menu[p][n].x = int16_t(50 * n);
        s.menu[p][n].target_page = 3;
    }
    s.clock[p + 1] = {1, 700, 5};
    s.grafik[p + 1] = {1, 20, 60, 240, 150, 7};
}

// Vertical stripes 8 pixels wide: 100 words a row, L = 4 + 2 x 6000.
QImage stripes()
{
    QImage img = uniform(qRgb(0, 0, 0));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (x / 8 % 2)
                img.setPixel(x, y, qRgb(255, 255, 0));
    return img;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

class PageImageTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ScadaPages> pages;
    std::unique_ptr<TransferState> ts;

private slots:
    void init()
    {
        pages = std::make_unique<ScadaPages>();
        ts = std::make_unique<TransferState>();
    }

    void pixelColor12_data()
    {
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("value");
        QTest::newRow("example") << 0x40 << 0x80 << 0xFF << 0x25F;
        QTest::newRow("black") << 0 << 0 << 0 << 0x000;
        QTest::newRow("white") << 255 << 255 << 255 << 0xFFF;
        // Both edges of every bin.
        QTest::newRow("29 30 58") << 29 << 30 << 58 << 0x011;
        QTest::newRow("59 87 88") << 59 << 87 << 88 << 0x223;
        QTest::newRow("103 104 119") << 103 << 104 << 119 << 0x344;
        QTest::newRow("120 135 136") << 120 << 135 << 136 << 0x556;
        QTest::newRow("151 152 167") << 151 << 152 << 167 << 0x677;
        QTest::newRow("168 183 184") << 168 << 183 << 184 << 0x889;
        QTest::newRow("199 200 215") << 199 << 200 << 215 << 0x9AA;
        QTest::newRow("216 223 224") << 216 << 223 << 224 << 0xBBC;
        QTest::newRow("231 232 239") << 231 << 232 << 239 << 0xCDD;
        QTest::newRow("240 247 248") << 240 << 247 << 248 << 0xEEF;
    }
    void pixelColor12()
    {
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(int, value);
        QCOMPARE(int(PixelColor12(qRgb(r, g, b))), value);
        // The alpha byte plays no part.
        QCOMPARE(int(PixelColor12(qRgba(r, g, b, 0))), value);
    }

    void rgb565_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("value");
        QTest::newRow("white") << 0xFFFFFF << 0xFFFF;
        QTest::newRow("red") << 0x0000FF << 0xF800;
        QTest::newRow("green") << 0x00FF00 << 0x07E0;
        QTest::newRow("blue") << 0xFF0000 << 0x001F;
        // red 0x12 / 8 = 2, green 0x34 / 4 = 13, blue 0x56 / 8 = 10.
        QTest::newRow("mixed") << 0x563412 << (2 * 2048 + 13 * 32 + 10);
        QTest::newRow("top byte ignored") << 0x7F0000FF << 0xF800;
    }
    void rgb565()
    {
        QFETCH(int, color);
        QFETCH(int, value);
        QCOMPARE(int(Color_RGB_565(color)), value);
    }

    void expansionStaysInItsBin()
    {
        for (int level = 0; level < 16; ++level)
            QCOMPARE(colorLevel4(levelMiddle(level)), level);
        // Levels 2, 5 and 15: middles of 59..87, 120..135 and 248..255.
        QCOMPARE(expandColor12(0x25F), qRgb(73, 127, 251));
        QImage ramp(256, 3, QImage::Format_RGB32);
        for (int x = 0; x < 256; ++x) {
            ramp.setPixel(x, 0, qRgb(x, 0, 0));
            ramp.setPixel(x, 1, qRgb(0, x, 0));
            ramp.setPixel(x, 2, qRgb(x, 255 - x, x / 2));
        }
        const QImage once = quantise(ramp);
        QCOMPARE(quantise(once), once);
        for (int x = 0; x < 256; ++x)
            QCOMPARE(PixelColor12(once.pixel(x, 2)), PixelColor12(ramp.pixel(x, 2)));
    }

    void fontCodes_data()
    {
        QTest::addColumn<int>("font");
        QTest::addColumn<int>("code");
        QTest::newRow("18") << 18 << 9;
        QTest::newRow("14") << 14 << 3;
        QTest::newRow("24 time") << 24 << 12;
        QTest::newRow("25") << 25 << 11;
        QTest::newRow("8 start value") << 8 << 2;
        QTest::newRow("10") << 10 << 2;
        QTest::newRow("12: 2.5 to even") << 12 << 2;
        QTest::newRow("16: 3.5 to even") << 16 << 4;
        QTest::newRow("0: -0.5 to even") << 0 << 0;
        QTest::newRow("255") << 255 << 63;
    }
    void fontCodes()
    {
        QFETCH(int, font);
        QFETCH(int, code);
        QCOMPARE(parametrFontCode(font), code);
    }

    void touchCells_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("cell");
        QTest::newRow("(100, 130)") << 100 << 130 << 28;    // 122 / 62 + (139 / 60) x 13 + 1
        QTest::newRow("origin") << 0 << 0 << 1;
        QTest::newRow("second row and column") << 40 << 51 << 15;
        QTest::newRow("bottom right") << 799 << 479 << 118;
    }
    void touchCells()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, cell);
        QCOMPARE(touchCell(x, y), cell);
    }

    // A page of one colour: every band 3000 words of 16 pixels, L = 6004.
    void uniformPage_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("tables");
        QTest::addColumn<int>("lastPayload");
        QTest::newRow("version 5") << 5 << 3580 << 6004 + 3581;
        QTest::newRow("version 4") << 4 << 3580 << 6004 + 3581;
        QTest::newRow("version 3") << 3 << 3580 << 6004 + 3581;
        QTest::newRow("version 0") << 0 << 3580 << 6004 + 3581;
        // Versions 1 and 2 send 64 bytes less than they write.
        QTest::newRow("version 1") << 1 << 3036 << 6004 + 3036 - 64;
        QTest::newRow("version 2") << 2 << 3036 << 6004 + 3036 - 64;
    }
    void uniformPage()
    {
        QFETCH(int, version);
        QFETCH(int, tables);
        QFETCH(int, lastPayload);
        const PageEncodeResult r = encodePage(uniform(qRgb(0x40, 0x80, 0xFF)), *pages, 0, version, *ts);
        QVERIFY(r.ok);
        QCOMPARE(r.table_bytes, tables);
        QCOMPARE(elementTablesSize(version), tables);
        QCOMPARE(ts->tx_length, 7 * kPart + 6004 + tables);
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(r.band_lengths[k], 6004);
            const QByteArray part = ts->tx_buffer.mid(k * kPart, 6004);
            QCOMPARE(part.left(4), bytes({0x74, 0x17, 0, 0}));
            QCOMPARE(part.mid(4), times(bytes({0x5F, 0xF2}), 3000));
            const QByteArray& payload = ts->part_payload[k];
            QCOMPARE(payload.size(), k < 7 ? 6005 : lastPayload);
            QCOMPARE(payload.left(6004), part);
        }
        QCOMPARE(ts->part_payload[0].back(), '\0');
        QCOMPARE(ts->part_payload[7].mid(6004), tablesOf(*ts, lastPayload - 6004));
    }

    // 7 pixels a row: a band is 420 pixels. Runs run on from one row into the
    // next, but every band starts afresh.
    void runsAcrossRowsNotBands_data()
    {
        QTest::addColumn<int>("leadingRed");
        QTest::addColumn<QByteArray>("band");
        // 420 = 26 x 16 + 4: 26 full words, then r = 3. Per row it would be 60 words.
        QTest::newRow("uniform") << 0 << (times(bytes({0xFF, 0xFF}), 26) + bytes({0xFF, 0x3F}));
        // 3 red pixels (r = 2), then 417 white ones: 26 x 16 + 1.
        QTest::newRow("colour change") << 3
            << (bytes({0x00, 0x2F}) + times(bytes({0xFF, 0xFF}), 26) + bytes({0xFF, 0x0F}));
    }
    void runsAcrossRowsNotBands()
    {
        QFETCH(int, leadingRed);
        QFETCH(QByteArray, band);
        QImage img = uniform(qRgb(255, 255, 255), 7, 480);
        for (int b = 0; b < 8; ++b)
            for (int i = 0; i < leadingRed; ++i)
                img.setPixel(i, 60 * b, qRgb(255, 0, 0));
        const PageEncodeResult r = encodePage(img, *pages, 0, 5, *ts);
        QVERIFY(r.ok);
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(r.band_lengths[k], 4 + band.size());
            QCOMPARE(ts->tx_buffer.mid(k * kPart + 4, band.size()), band);
        }
    }

    // Band 0 (or 7) begins with m pixels alternating between two colours (m
    // words) and goes on in a third colour: m + ceil((48000 - m) / 16) words.
    // 13864 gives 15998 words, L = 32000 exactly; one more pixel is too many.
    void bandLimit_data()
    {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("alternating");
        QTest::addColumn<bool>("fits");
        QTest::newRow("band 0 at the limit") << 0 << 13864 << true;
        QTest::newRow("band 0 one word over") << 0 << 13865 << false;
        QTest::newRow("band 7 at the limit") << 7 << 13864 << true;
        QTest::newRow("band 7 one word over") << 7 << 13865 << false;
        QTest::newRow("band 3 noise") << 3 << 48000 << false;
    }
    void bandLimit()
    {
        QFETCH(int, band);
        QFETCH(int, alternating);
        QFETCH(bool, fits);
        QImage img = uniform(qRgb(0, 0, 255));
        for (int i = 0; i < alternating; ++i)
            img.setPixel(i % 800, 60 * band + i / 800, i % 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0));
        // A page written before must not stay ready to be sent.
        QVERIFY(encodePage(uniform(qRgb(1, 2, 3)), *pages, 1, 5, *ts).ok);
        fillBusyPage(*pages, 0);
        const PageEncodeResult r = encodePage(img, *pages, 0, 5, *ts);
        QCOMPARE(r.ok, fits);
        if (fits) {
            QCOMPARE(r.band_lengths[band], 32000);
            QCOMPARE(le16(ts->tx_buffer, band * kPart), 32000);
            return;
        }
        QCOMPARE(r.error.text, QStringLiteral("Не хватает памяти!"));
        QCOMPARE(r.error.title, QStringLiteral("Ошибка !!!"));
        for (const QByteArray& payload : ts->part_payload)
            QVERIFY(payload.isEmpty());
        QCOMPARE(ts->tx_buffer.size(), TransferState::kTxBufferSize);
        QVERIFY(allZero(ts->tx_buffer));
    }

    // One element of each kind on page 2, worked out byte by byte.
    void handWorkedTables_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("version 5") << 5;
        QTest::newRow("version 1") << 1;
    }
    void handWorkedTables()
    {
        QFETCH(int, version);
        ScadaPages& s = *pages;
        const int p = 2;
        s.parametr[p][1] = {1, 100, 50, 0x0000FF, 0xFFFFFF, 1, 18, 3, 12, 0x81};
        // Shape 7, width 20 and height 40: fields 20 + 3 x 64 = 212 and 40 + 64 = 104.
        s.signal[p][1] = {1, 300, packListY(200, 4), packSignalWidth(20, 7), packSignalHeight(40, 7),
                          0x00FF00, 0x808080, 0, 1, 3, 2};
        TextSignalElement& ts1 = s.text_signal[p][1];
        ts1 = {};
        ts1.used = 1;
        ts1.x = 600;
        ts1.y = packListY(360, 2);
        ts1.font = 14;
        ts1.back_color = 0xFFFFFF;
        ts1.text_off = QStringLiteral("Горелка выкл.");
        ts1.text_on = QStringLiteral("Горелка вкл.");
        ts1.frame = 1;
        ts1.block = 3;
        ts1.output = 1;
        s.level[p][1] = {1, 700, 140, 30, 200, 600, 0xFF8000, 0xFFFFFF, 1, 1, 2};
        s.menu[p][1].used = 1;
        s.menu[p][1].x = 20;
        s.menu[p][1].y = 400;
        s.menu[p][1].text = QStringLiteral("Котёл");
        s.menu[p][1].target_page = 5;
        s.clock[p + 1] = {1, 700, 5};
        s.grafik[p + 1] = {1, 20, 60, 240, 150, 5};
        s.control[p][1] = {1, 100, 140, 12, 3, QString(), 60, 60, 13};  // picture top 130
        s.control[p][2] = {0, 100, 130, 0, 0, QString(), 40, 40, 1};    // free: y as stored, no cell
        s.control[p][3] = {0, 100, 140, 0, 0, QString(), 60, 60, 13};   // free type 13: y 0
        s.go_block[p][1] = {1, 20, 400, 203, 130};
        s.vent[p][1] = {1, 200, 300, 38, 60, 8, 4, 1};

        // 1: x 100, y 50, red, white, frame 1, font 18 -> 9, digits 3 -> 5;
        // free slots: font 8 -> 2, digits 0 -> 2.
        const QByteArray t1 = bytes({0x64, 0, 0x32, 0, 0x00, 0xF8, 0xFF, 0xFF, 1, 9, 5})
            + times(bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2}), 31);
        // 2: y 200 + 4 x 1024 = 0x10C8; width 0xC0 | 19, height 0x40 | 39;
        // grey 0x808080 = 16 x 2048 + 32 x 32 + 16 = 0x8410; free: sizes |0 - 1|.
        const QByteArray t2 = bytes({0x2C, 1, 0xC8, 0x10, 0xD3, 0x67, 0xE0, 0x07, 0x10, 0x84, 0})
            + times(bytes({0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}), 31);
        // 3: y 360 + 2048 = 0x968, font 14 -> 3, black, white, 2 x 12 + 1,
        // "Горелка выкл" and "Горелка вкл." in code page 1251; free: font 10
        // -> 2, length 0, texts all blanks.
        const QByteArray t3 = bytes({0x58, 2, 0x68, 9, 3, 0, 0, 0xFF, 0xFF, 25})
            + bytes({0xC3, 0xEE, 0xF0, 0xE5, 0xEB, 0xEA, 0xE0, 0x20, 0xE2, 0xFB, 0xEA, 0xEB})
            + bytes({0xC3, 0xEE, 0xF0, 0xE5, 0xEB, 0xEA, 0xE0, 0x20, 0xE2, 0xEA, 0xEB, 0x2E})
            + times(bytes({0, 0, 0, 0, 2, 0, 0, 0, 0, 0}) + QByteArray(24, ' '), 31);
        // 4: style 1: sizes 30 - 5 and 200 - 5; scale 600; 0xFF8000 is
        // green 0x80, blue 0xFF: 32 x 32 + 31 = 0x041F.
        const QByteArray t4 = bytes({0xBC, 2, 0x8C, 0, 25, 195, 0x58, 2, 0x1F, 0x04, 0xFF, 0xFF, 1})
            + times(bytes({0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0}), 31);
        const QByteArray t5 = bytes({20, 0, 0x90, 1}) + QByteArray(12, '\0') + QByteArray(7 * 16, '\0');
        const QByteArray t6 = bytes({0xBC, 2, 5, 0});
        const QByteArray t7 = bytes({20, 0, 60, 0, 239, 149, 5});
        // 8: type 13 sends its picture top 130, cell 1 + 2 x 13 + 1 = 28.
        const QByteArray t8 = bytes({100, 0, 130, 0, 13, 28}) + bytes({100, 0, 130, 0, 1, 0})
            + bytes({100, 0, 0, 0, 13, 0}) + QByteArray(29 * 6, '\0');
        // 9: (20, 400): 42 / 62 + (409 / 60) x 13 + 1 = 79; option 130.
        const QByteArray t9 = bytes({79, 130}) + QByteArray(31 * 2, '\0');
        // 10: picture 8 moves the indicator by (8, 47).
        const QByteArray t10 = bytes({208, 0, 0x5B, 1, 8}) + QByteArray(31 * 5, '\0');
        const QByteArray t11(384, '\7');
        const QByteArray t12 = bytes({55}) + QByteArray(8, '\0');
        auto pairs = [](int a, int b) { return bytes({a, b}) + QByteArray(31 * 2, '\0'); };
        const QByteArray t13 = pairs(12, 0x81) + pairs(3, 2) + pairs(3, 1) + pairs(1, 2)
            + bytes({5, 0, 0, 0, 0, 0, 0, 0}) + pairs(12, 3) + bytes({203}) + QByteArray(31, '\0')
            + pairs(4, 1);
        QCOMPARE(t13.size(), 424);

        const bool full = version != 1;
        const QByteArray expected = t1 + t2 + t3 + t4 + t5 + t6 + t7 + t8 + t9
            + (full ? t10 + t11 : QByteArray()) + t12 + t13;
        QCOMPARE(expected.size(), full ? 3580 : 3036);

        const PageEncodeResult r = encodePage(uniform(qRgb(0, 0, 0)), s, p, version, *ts);
        QVERIFY(r.ok);
        QCOMPARE(tablesOf(*ts, expected.size() + 8), expected + QByteArray(8, '\0'));
        const QByteArray sent = ts->part_payload[7].mid(6004);
        if (full)
            QCOMPARE(sent, expected + QByteArray(1, '\0'));
        else
            QCOMPARE(sent, expected.chopped(64));
    }

    // Out-of-range values are limited to their field; the tables keep their size.
    void fieldsAreClamped_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<int>("offset");     // in the tables
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("negative x") << Setup([](ScadaPages& s) { s.parametr[0][1].x = -5; }) << 0
                                    << bytes({0, 0});
        QTest::newRow("scale above a word") << Setup([](ScadaPages& s) { s.level[0][1].scale = 70000; })
                                            << 1792 + 6 << bytes({0xFF, 0xFF});
        QTest::newRow("negative scale") << Setup([](ScadaPages& s) { s.level[0][1].scale = -3; })
                                        << 1792 + 6 << bytes({0, 0});
        QTest::newRow("negative level width") << Setup([](ScadaPages& s) { s.level[0][1].width = -10; })
                                              << 1792 + 4 << bytes({9});
        QTest::newRow("graph width above a byte") << Setup([](ScadaPages& s) { s.grafik[1].width = 1000; })
                                                  << 2340 + 4 << bytes({255});
        QTest::newRow("go-to option") << Setup([](ScadaPages& s) { s.go_block[0][1].option = 300; })
                                      << 2539 + 1 << bytes({255});
        QTest::newRow("go-to target") << Setup([](ScadaPages& s) { s.go_block[0][1].target = 300; })
                                      << 3156 + 8 + 256 + 64 << bytes({255});
        QTest::newRow("text-signal length and odd frame")
            << Setup([](ScadaPages& s) {
                   s.text_signal[0][1].text_off = QStringLiteral("0123456789abcdef");
                   s.text_signal[0][1].frame = 255;
               })
            << 704 + 9 << bytes({255});
        QTest::newRow("mechanism left of the page")
            << Setup([](ScadaPages& s) { s.vent[0][1] = {1, -20, -50, 48, 48, 0, 0, 0}; }) << 2603
            << bytes({0, 0, 0, 0, 0});
        QTest::newRow("parameter digits") << Setup([](ScadaPages& s) { s.parametr[0][1].digits = 255; })
                                          << 10 << bytes({255});
    }
    void fieldsAreClamped()
    {
        QFETCH(Setup, setup);
        QFETCH(int, offset);
        QFETCH(QByteArray, sent);
        setup(*pages);
        const PageEncodeResult r = encodePage(uniform(qRgb(0, 0, 0)), *pages, 0, 5, *ts);
        QVERIFY(r.ok);
        QCOMPARE(r.table_bytes, 3580);
        QCOMPARE(tablesOf(*ts, 3580).mid(offset, sent.size()), sent);
    }

    // The size bytes of a signal: the 6-bit size less 1, or 5 when framed,
    // as a magnitude; the shape bits 6..7 stay, and only they.
    void signalSizeBytes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("widthByte");
        QTest::addColumn<int>("heightByte");
        QTest::newRow("framed 84") << 84 << 20 << 1 << 79 << 15;
        QTest::newRow("framed circle of 2") << 66 << 2 << 1 << 64 + 3 << 3;
        QTest::newRow("unframed circle of 2") << 66 << 2 << 0 << 65 << 1;
        QTest::newRow("framed 5, shape bits 11") << 192 + 5 << 64 + 5 << 1 << 192 << 64;
        QTest::newRow("empty") << 0 << 0 << 0 << 1 << 1;
        // Stored negative sizes are taken absolutely: no shape bits come of them.
        QTest::newRow("width -60") << -60 << 20 << 0 << 59 << 19;
        QTest::newRow("framed height -60") << 20 << -60 << 1 << 15 << 55;
        QTest::newRow("width -1000, clamped") << -1000 << 64 + 5 << 0 << 62 << 64 + 4;
    }
    void signalSizeBytes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, frame);
        QFETCH(int, widthByte);
        QFETCH(int, heightByte);
        SignalElement& s = pages->signal[0][1];
        s.used = 1;
        s.width = int16_t(width);
        s.height = int16_t(height);
        s.frame = uint8_t(frame);
        QVERIFY(encodePage(uniform(qRgb(0, 0, 0)), *pages, 0, 5, *ts).ok);
        QCOMPARE(tablesOf(*ts, 3580).mid(352 + 4, 2), bytes({widthByte, heightByte}));
    }

    // The length byte counts the off text as sent: at most 12 characters.
    void textSignalTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("lengthByte");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("short") << QStringLiteral("Вкл") << 0 << 6
                               << bytes({0xC2, 0xEA, 0xEB}) + QByteArray(9, ' ');
        QTest::newRow("cut, framed") << QStringLiteral("Насос выключен") << 1 << 25
            << bytes({0xCD, 0xE0, 0xF1, 0xEE, 0xF1, 0x20, 0xE2, 0xFB, 0xEA, 0xEB, 0xFE, 0xF7});
        QTest::newRow("outside the code page") << QStringLiteral("€中Ё") << 0 << 6
                                               << bytes({0x88, '?', 0xA8}) + QByteArray(9, ' ');
        QTest::newRow("empty") << QString() << 1 << 1 << QByteArray(12, ' ');
    }
    void textSignalTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, frame);
        QFETCH(int, lengthByte);
        QFETCH(QByteArray, field);
        TextSignalElement& s = pages->text_signal[0][1];
        s.used = 1;
        s.text_off = text;
        s.frame = uint8_t(frame);
        QVERIFY(encodePage(uniform(qRgb(0, 0, 0)), *pages, 0, 5, *ts).ok);
        QCOMPARE(tablesOf(*ts, 3580).mid(704 + 9, 13), bytes({lengthByte}) + field);
    }

    // Every part is zeroed before a page is built: an emptier page written
    // after a busy one gives the bytes it gives in a fresh buffer.
    void secondPageLeavesNothingOfTheFirst()
    {
        fillBusyPage(*pages, 0);
        pages->text_signal[1][1].used = 1;
        QVERIFY(encodePage(stripes(), *pages, 0, 5, *ts).ok);
        QVERIFY(encodePage(uniform(qRgb(9, 9, 9)), *pages, 1, 1, *ts).ok);
        auto fresh = std::make_unique<TransferState>();
        QVERIFY(encodePage(uniform(qRgb(9, 9, 9)), *pages, 1, 1, *fresh).ok);
        QVERIFY(ts->tx_buffer == fresh->tx_buffer);
        QVERIFY(ts->part_payload == fresh->part_payload);
        QCOMPARE(ts->tx_length, fresh->tx_length);
    }

    void samePageTwiceGivesTheSameBytes()
    {
        fillBusyPage(*pages, 4);
        const QImage img = stripes();
        QVERIFY(encodePage(img, *pages, 4, 5, *ts).ok);
        const auto first = ts->part_payload;
        const QByteArray buffer = ts->tx_buffer;
        QVERIFY(encodePage(img, *pages, 4, 5, *ts).ok);
        QVERIFY(ts->part_payload == first);
        QVERIFY(ts->tx_buffer == buffer);
        QCOMPARE(first[0].size(), 12005);
    }

    void refusedInput_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("message");
        QTest::newRow("too wide") << 0 << QSize(801, 480) << QStringLiteral("Размер Х x Y должен быть меньше 800 x 480");
        QTest::newRow("too high") << 0 << QSize(800, 481) << QStringLiteral("Размер Х x Y должен быть меньше 800 x 480");
        QTest::newRow("page 8") << 8 << QSize(800, 480) << QStringLiteral("Нет страницы 9");
        QTest::newRow("page -1") << -1 << QSize(800, 480) << QStringLiteral("Нет страницы 0");
    }
    void refusedInput()
    {
        QFETCH(int, page);
        QFETCH(QSize, size);
        QFETCH(QString, message);
        QVERIFY(encodePage(uniform(qRgb(1, 2, 3)), *pages, 0, 5, *ts).ok);
        const PageEncodeResult r = encodePage(uniform(qRgb(0, 0, 0), size.width(), size.height()), *pages, page, 5, *ts);
        QVERIFY(!r.ok);
        QCOMPARE(r.error.text, message);
        QCOMPARE(r.error.title, QStringLiteral("Ошибка !!!"));
        for (const QByteArray& payload : ts->part_payload)
            QVERIFY(payload.isEmpty());
    }

    // Paint and encode in one step: a missing background is a warning, a
    // picture too large for the page stops the write.
    void preparePageReportsPictures()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ElementPictures pictures;
        PagePainter painter(pictures);
        pages->background_kind[0] = 1;
        pages->shortRef(0) = QStringLiteral("\\missing.gif");
        pages->fill_color[0] = 0x0000FF;
        PagePrepareResult r = preparePage(painter, *pages, 0, 5, dir.path(), *ts);
        QVERIFY(r.ok);
        QCOMPARE(r.warnings.size(), 1);
        QCOMPARE(r.band_lengths[0], 6004);
        QCOMPARE(le16(ts->part_payload[0], 4), 0xF000 | 0xF00);

        QImage big(900, 480, QImage::Format_RGB32);
        big.fill(Qt::green);
        QVERIFY(big.save(dir.filePath(QStringLiteral("big.png"))));
        pages->shortRef(0) = QStringLiteral("\\big.png");
        r = preparePage(painter, *pages, 0, 5, dir.path(), *ts);
        QVERIFY(!r.ok);
        QCOMPARE(r.error.text, QStringLiteral("Размер Х x Y должен быть меньше 800 x 480"));
        for (const QByteArray& payload : ts->part_payload)
            QVERIFY(payload.isEmpty());
    }
};

QTEST_MAIN(PageImageTest)
#include "test_page_encoder.moc"
