// The page decoder on hand-built page streams: bands of one colour, runs
// that cross rows, a noisy band, element tables with one element of each
// kind at hand-computed bytes in both layouts, and the order checks.
#include "wire/link_receiver.h"
#include "wire/page_decoder.h"
#include "wire/page_encoder.h"
#include "link_streams.h"
#include <QJsonArray>
#include <QStringEncoder>
#include <QTest>

using namespace ostrel;
using namespace ostrel::testing;

Q_DECLARE_METATYPE(ostrel::TableLayout)

namespace {

std::array<BandWords, 8> uniformBands(uint16_t value)
{
    std::array<BandWords, 8> bands;
    bands.fill(uniformBand(value));
    return bands;
}

LinkReceiver::Output receive(const QByteArray& stream, int version = -1)
{
    LinkReceiver rx({version, std::nullopt});
    rx.feed(stream);
    rx.finish();
    return rx.take();
}

QString problems(const LinkReceiver::Output& out)
{
    QStringList lines;
    for (const StreamEvent& e : out.events)
        for (const DecodeProblem& p : e.problems)
            lines << describe(p);
    for (const DecodedPage& pg : out.pages)
        for (const DecodeProblem& p : pg.problems)
            lines << describe(p);
    return lines.join(QLatin1Char('\n'));
}

void put16(QByteArray& t, int at, int v)
{
    t[at] = char(v & 0xFF);
    t[at + 1] = char((v >> 8) & 0xFF);
}

void putBytes(QByteArray& t, int at, const QByteArray& bytes) { t.replace(at, bytes.size(), bytes); }

QByteArray padded12(const QString& s)
{
    QByteArray b = QStringEncoder("windows-1251")(s);
    b.append(12 - b.size(), ' ');
    return b;
}

} // namespace

class PageDecoderTest : public QObject {
    Q_OBJECT

private slots:
    void uniformPage_data()
    {
        QTest::addColumn<TableLayout>("layout");
        QTest::addColumn<int>("version");
        QTest::newRow("full tables, version from the bytes") << TableLayout::Full << -1;
        QTest::newRow("short tables, version from the bytes") << TableLayout::Short << -1;
        QTest::newRow("full tables, version 4.5") << TableLayout::Full << 5;
        QTest::newRow("short tables, version 1.3") << TableLayout::Short << 1;
    }

    // One colour everywhere: every band is 3000 words of 16 pixels, L = 6004;
    // part 7 carries the tables of the version's size.
    void uniformPage()
    {
        QFETCH(TableLayout, layout);
        QFETCH(int, version);
        const QByteArray stream = pageStream(3, 2, uniformBands(0x25F), emptyTables(layout));
        const LinkReceiver::Output out = receive(stream, version);
        QVERIFY2(problems(out).isEmpty(), qPrintable(problems(out)));
        QCOMPARE(out.events.size(), size_t(16));
        for (int i = 0; i < 16; ++i) {
            const LinkPacket& p = out.events[size_t(i)].packet;
            QCOMPARE(p.name(), QString(QLatin1Char(i % 2 ? 'D' : 'C')) + QString::number(i / 2));
            const int size = i % 2 == 0 ? 8 : i < 15 ? 3 + 6004 + 1 : 3 + 6004 + tableAreaSize(layout);
            QCOMPARE(int(p.bytes.size()), size);
        }
        QCOMPARE(out.pages.size(), size_t(1));
        const DecodedPage& pg = out.pages[0];
        QVERIFY(pg.complete());
        QCOMPARE(pg.page, 2);
        QCOMPARE(int(pg.controller), 3);
        QCOMPARE(int(pg.layout), int(layout));
        for (const BandInfo& b : pg.bands) {
            QCOMPARE(b.length, 6004);
            QCOMPARE(b.words, 3000);
            QCOMPARE(b.pixels, qint64(kBandPixels));
        }
        QVERIFY(std::all_of(pg.image.begin(), pg.image.end(), [](uint16_t v) { return v == 0x25F; }));
        // Levels 2, 5, 15 expand to the middles of their bins: 73, 127, 251.
        const QImage img = pageImage(pg);
        QCOMPARE(img.size(), QSize(800, 480));
        QCOMPARE(img.pixel(0, 0), qRgb(73, 127, 251));
        QCOMPARE(img.pixel(799, 479), qRgb(73, 127, 251));
    }

    // A run goes on from the end of a row into the next row of its band,
    // but a band starts with its own runs.
    void runsCrossRows()
    {
        std::array<BandWords, 8> bands = uniformBands(0x0F0);
        BandWords& b = bands[0];
        b.clear();
        b.insert(b.end(), 49, 0xF111); // row 0: 784 pixels of 0x111
        b.push_back(0xA111);           // and 11 more: x = 0..794
        b.push_back(0xF222);           // 16 pixels: x = 795..799 of row 0, x = 0..10 of row 1
        b.insert(b.end(), 2949, 0xF333); // the remaining 47189 pixels
        b.push_back(0x4333);
        bands[1] = uniformBand(0x444);
        const LinkReceiver::Output out = receive(pageStream(1, 0, bands, emptyTables(TableLayout::Full)));
        QVERIFY2(problems(out).isEmpty(), qPrintable(problems(out)));
        const DecodedPage& pg = out.pages.at(0);
        QCOMPARE(pg.bands[0].words, 3001);
        QCOMPARE(pg.pixel(794, 0), uint16_t(0x111));
        QCOMPARE(pg.pixel(795, 0), uint16_t(0x222));
        QCOMPARE(pg.pixel(799, 0), uint16_t(0x222));
        QCOMPARE(pg.pixel(0, 1), uint16_t(0x222));
        QCOMPARE(pg.pixel(10, 1), uint16_t(0x222));
        QCOMPARE(pg.pixel(11, 1), uint16_t(0x333));
        QCOMPARE(pg.pixel(799, 59), uint16_t(0x333));
        QCOMPARE(pg.pixel(0, 60), uint16_t(0x444));
        QCOMPARE(pg.pixel(799, 479), uint16_t(0x0F0));
    }

    // Single pixels of changing value, then runs: every pixel lands where it
    // was; runs split where the encoding would have joined them are noted.
    void noisyBand()
    {
        std::array<BandWords, 8> bands = uniformBands(0);
        std::vector<uint16_t> pixels;
        uint32_t seed = 12345;
        for (int i = 0; i < 12000; ++i) {
            seed = seed * 1103515245u + 12345u;
            uint16_t v = uint16_t((seed >> 16) & 0xFFF);
            if (!pixels.empty() && v == pixels.back())
                v ^= 1;
            pixels.push_back(v);
        }
        BandWords& b = bands[5];
        b.assign(pixels.begin(), pixels.end()); // one pixel per word
        b.insert(b.end(), 2250, 0xFABC);        // 36000 pixels of 0xABC
        const LinkReceiver::Output out = receive(pageStream(1, 7, bands, emptyTables(TableLayout::Full)));
        QVERIFY2(problems(out).isEmpty(), qPrintable(problems(out)));
        const DecodedPage& pg = out.pages.at(0);
        QCOMPARE(pg.bands[5].length, 4 + 2 * 14250);
        for (int i = 0; i < 12000; ++i)
            QCOMPARE(pg.image[size_t(5 * kBandPixels + i)], pixels[size_t(i)]);
        QCOMPARE(pg.pixel(0, 360 - 1), uint16_t(0xABC)); // last row of band 5
        QCOMPARE(pg.pixel(0, 299), uint16_t(0));         // band 4

        // The same pixels with 100 of the 16-pixel runs of 0xABC cut in two.
        BandWords split(pixels.begin(), pixels.end());
        for (int i = 0; i < 100; ++i) {
            split.push_back(0x7ABC);
            split.push_back(0x7ABC);
        }
        split.insert(split.end(), 2150, 0xFABC);
        bands[5] = split;
        const DecodedPage again = receive(pageStream(1, 7, bands, emptyTables(TableLayout::Full))).pages.at(0);
        QCOMPARE(again.image, pg.image);
        QCOMPARE(again.problems.size(), size_t(1));
        QCOMPARE(int(again.problems[0].kind), int(ProblemKind::BandRuns));
        // Each cut word continues a run of 8, and so does the first whole run after them.
        QCOMPARE(again.problems[0].found, QStringLiteral("200 words continue a shorter run"));
    }

    void elementTables_data()
    {
        QTest::addColumn<TableLayout>("layout");
        QTest::addColumn<int>("bindings");
        QTest::newRow("versions 0, 3, 4, 5") << TableLayout::Full << 3156;
        QTest::newRow("versions 1, 2") << TableLayout::Short << 2612;
    }

    // One element of each kind at a number other than 1 where the table has
    // room, written at hand-computed offsets, read back into named fields.
    void elementTables()
    {
        QFETCH(TableLayout, layout);
        QFETCH(int, bindings);
        QByteArray t = emptyTables(layout);
        // Parameter 2 at 11: (380, 130), blue on white, framed, font code 3, digits code 4.
        putBytes(t, 11, QByteArray::fromHex("7c0182001f00ffff010304"));
        // Signal 1 at 352: (450, top 270 + list 1), circle 20 x 20 framed, green on grey.
        putBytes(t, 352, QByteArray::fromHex("c2010e054f0fe007108401"));
        // Text signal 3 at 704 + 68: (600, top 360 + list 2), font code 2, 7 letters unframed.
        putBytes(t, 772, QByteArray::fromHex("58026809020000ffff0e"));
        putBytes(t, 782, padded12(QStringLiteral("Горелка")));
        putBytes(t, 794, padded12(QStringLiteral("Вкл.")));
        // Level 32 at 1792 + 403: (700, 140), framed vertical 30 x 200 (sizes - 5), scale 600.
        putBytes(t, 2195, QByteArray::fromHex("bc028c0019c3580200fcffff01"));
        put16(t, 2320, 20);  // menu 8 at 2208 + 112: (20, 400)
        put16(t, 2322, 400);
        putBytes(t, 2336, QByteArray::fromHex("bc020500"));     // clock (700, 5)
        putBytes(t, 2340, QByteArray::fromHex("14003c00ef9503")); // graph (20, 60) 240 x 150 group 3
        putBytes(t, 2347, QByteArray::fromHex("640082000d1c"));   // control 1: (100, 130) type 13, cell 28
        putBytes(t, 2541, QByteArray::fromHex("0582"));           // go-to 2: cell 5, locked, index 2
        if (layout == TableLayout::Full)
            putBytes(t, 2603, QByteArray::fromHex("3801d40000")); // mechanism 1: (300 + 12, 200 + 12), picture 0
        putBytes(t, bindings + 2, QByteArray::fromHex("0680"));   // parameter 2: block 6, setpoint 0
        putBytes(t, bindings + 64, QByteArray::fromHex("0300"));  // signal 1: block 3, output 0
        putBytes(t, bindings + 132, QByteArray::fromHex("0301")); // text signal 3
        putBytes(t, bindings + 254, QByteArray::fromHex("0102")); // level 32
        t[bindings + 263] = char(1);                              // menu 8: page 2
        putBytes(t, bindings + 264, QByteArray::fromHex("1d02")); // control 1: block 29, channel 2
        t[bindings + 329] = char(203);                            // go-to 2: SCADA page 3
        if (layout == TableLayout::Full)
            putBytes(t, bindings + 360, QByteArray::fromHex("0c04")); // mechanism 1: block 12, output 4

        const LinkReceiver::Output out = receive(pageStream(1, 0, uniformBands(0xFFF), t));
        QVERIFY2(problems(out).isEmpty(), qPrintable(problems(out)));
        const DecodedPage& pg = out.pages.at(0);
        const PageTables& d = pg.tables;

        const WireParametr& p = d.parametr[1];
        QCOMPARE(p.x, 380);
        QCOMPARE(p.y, 130);
        QCOMPARE(p.color, 0x001F);
        QCOMPARE(p.back_color, 0xFFFF);
        QCOMPARE(int(p.frame), 1);
        QCOMPARE(fontOfParametrCode(p.font_code), 14);
        QCOMPARE(p.digits_code - 2, 2);
        QCOMPARE(int(p.block), 6);
        QCOMPARE(int(p.output), 0x80);
        QCOMPARE(d.parametr[0].x, 0);

        const WireSignal& s = d.signal[0];
        QCOMPARE(s.y % 1024, 270);
        QCOMPARE(s.y / 1024, 1);
        QCOMPARE(signalWidthField(s), 20 + 64);  // width 20, shape bits of a circle
        QCOMPARE(signalHeightField(s), 20);
        QCOMPARE(s.color, 0x07E0);
        QCOMPARE(int(s.block), 3);

        const WireTextSignal& ts = d.text_signal[2];
        QCOMPARE(ts.x, 600);
        QCOMPARE(ts.y, 360 + 2048);
        QCOMPARE(int(ts.font_code), 2);
        QCOMPARE(ts.back_color, 0xFFFF);
        QCOMPARE(textSignalOff(ts), QStringLiteral("Горелка"));
        QCOMPARE(textSignalOn(ts), QStringLiteral("Вкл."));
        QCOMPARE(int(ts.output), 1);

        const WireLevel& l = d.level[31];
        QCOMPARE(levelWidth(l), 30);
        QCOMPARE(levelHeight(l), 200);
        QCOMPARE(l.scale, 600);
        QCOMPARE(l.color, 0xFC00);
        QCOMPARE(int(l.block), 1);
        QCOMPARE(int(l.output), 2);

        QCOMPARE(d.menu[7].x, 20);
        QCOMPARE(d.menu[7].y, 400);
        QCOMPARE(int(d.menu[7].target_page), 1);
        QCOMPARE(d.clock.x, 700);
        QCOMPARE(d.clock.y, 5);
        QCOMPARE(d.grafik.width_byte + 1, 240);
        QCOMPARE(d.grafik.height_byte + 1, 150);
        QCOMPARE(int(d.grafik.group), 3);
        QCOMPARE(int(d.control[0].touch_cell), touchCell(100, 130));
        QCOMPARE(int(d.control[0].type), 13);
        QCOMPARE(int(d.control[0].block), 29);
        QCOMPARE(int(d.control[0].channel), 2);
        QCOMPARE(int(d.go_block[1].touch_cell), 5);
        QCOMPARE(int(d.go_block[1].option), 130);
        QCOMPARE(int(d.go_block[1].target), 203);

        const QJsonObject json = pageJson(pg);
        const auto item = [&](const char* table, int i) { return json[QLatin1String(table)].toArray().at(i).toObject(); };
        QCOMPARE(item("parametr", 1)["font"].toInt(), 14);
        QCOMPARE(item("parametr", 1)["setpoint"].toBool(), true);
        QCOMPARE(item("signal", 0)["shape"].toInt(), 1);
        QCOMPARE(item("signal", 0)["width"].toInt(), 20);
        QCOMPARE(item("text_signal", 2)["text_off"].toString(), QStringLiteral("Горелка"));
        QCOMPARE(item("go_block", 1)["locked"].toBool(), true);
        QCOMPARE(item("go_block", 1)["index"].toInt(), 2);
        QCOMPARE(json["grafik"]["width"].toInt(), 240);
        if (layout == TableLayout::Full) {
            QCOMPARE(d.vent[0].x, 312);
            QCOMPARE(d.vent[0].y, 212);
            QCOMPARE(int(d.vent[0].block), 12);
            QCOMPARE(int(d.vent[0].output), 4);
            QCOMPARE(item("vent", 0)["block"].toInt(), 12);
        } else {
            QCOMPARE(d.vent[0].x, 0);
            QCOMPARE(int(d.vent[0].block), 0);
            QVERIFY(!json.contains("vent"));
        }
    }

    void tableArea_data()
    {
        QTest::addColumn<QByteArray>("tables");
        QTest::addColumn<TableLayout>("given");
        QTest::addColumn<TableLayout>("layout");
        QTest::addColumn<int>("problem"); // -1: none
        QTest::addColumn<QString>("expected");
        const QByteArray full = emptyTables(TableLayout::Full);
        const QByteArray shortArea = emptyTables(TableLayout::Short);
        QTest::newRow("full") << full << TableLayout::Auto << TableLayout::Full << -1 << QString();
        QTest::newRow("short") << shortArea << TableLayout::Auto << TableLayout::Short << -1 << QString();
        QTest::newRow("neither size") << full.left(3000) << TableLayout::Auto << TableLayout::Full
                                      << int(ProblemKind::TableArea) << QStringLiteral("3581 or 2972 bytes");
        QTest::newRow("short where full is due") << shortArea << TableLayout::Full << TableLayout::Full
                                                 << int(ProblemKind::PacketLength) << QString::number(3 + 6004 + 3581);
    }

    // The size of part 7's table area tells the layout unless the version
    // does; any other size is reported first, and what is there is decoded.
    void tableArea()
    {
        QFETCH(QByteArray, tables);
        QFETCH(TableLayout, given);
        QFETCH(TableLayout, layout);
        QFETCH(int, problem);
        QFETCH(QString, expected);
        std::vector<LinkPacket> p = pagePackets(pageStream(1, 0, uniformBands(0), emptyTables(TableLayout::Full)));
        QCOMPARE(p.size(), size_t(16));
        p[15] = makeLinkPacket(pageData(1, 7, uniformBand(0), tables), 15, p[15].offset);
        const DecodedPage pg = decodePage(p, {given});
        QCOMPARE(int(pg.layout), int(layout));
        if (problem < 0) {
            QVERIFY(pg.problems.empty());
            return;
        }
        QVERIFY(!pg.problems.empty());
        QCOMPARE(int(pg.problems[0].kind), problem);
        QCOMPARE(pg.problems[0].packet, 15);
        QCOMPARE(pg.problems[0].expected, expected);
    }

    // Packets handed over out of order, one missing: one report per
    // misplaced packet, the parts still decoded by their numbers.
    void order()
    {
        std::array<BandWords, 8> bands = uniformBands(0x123);
        bands[3] = uniformBand(0x333);
        const std::vector<LinkPacket> p = pagePackets(pageStream(1, 0, bands, emptyTables(TableLayout::Full)));
        QCOMPARE(p.size(), size_t(16));
        // C0 D0 C1 D1 C2 D2 C4 D4 C3 D3 C5 C6 D6 C7 D7
        const std::vector<LinkPacket> list{p[0], p[1], p[2], p[3], p[4], p[5], p[8], p[9],
                                           p[6], p[7], p[10], p[12], p[13], p[14], p[15]};
        const DecodedPage pg = decodePage(list);
        const struct { ProblemKind kind; int packet; QString expected, found; } want[] = {
            {ProblemKind::Order, 8, QStringLiteral("C3"), QStringLiteral("C4")},
            {ProblemKind::Order, 6, QStringLiteral("C5"), QStringLiteral("C3")},
            {ProblemKind::Order, 7, QStringLiteral("C5"), QStringLiteral("D3")},
            {ProblemKind::Order, 12, QStringLiteral("D5"), QStringLiteral("C6")},
            {ProblemKind::Missing, -1, QStringLiteral("D5"), QStringLiteral("none")},
        };
        QCOMPARE(pg.problems.size(), std::size(want));
        for (size_t i = 0; i < std::size(want); ++i) {
            QCOMPARE(int(pg.problems[i].kind), int(want[i].kind));
            QCOMPARE(pg.problems[i].packet, want[i].packet);
            QCOMPARE(pg.problems[i].expected, want[i].expected);
            QCOMPARE(pg.problems[i].found, want[i].found);
        }
        QVERIFY(!pg.complete());
        QCOMPARE(pg.pixel(0, 180), uint16_t(0x333));
        QCOMPARE(pg.pixel(0, 300), uint16_t(0));   // band 5 never arrived
        QCOMPARE(pg.pixel(0, 479), uint16_t(0x123));
    }
};

QTEST_GUILESS_MAIN(PageDecoderTest)
#include "test_page_decoder.moc"
