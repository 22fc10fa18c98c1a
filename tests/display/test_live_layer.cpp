// The live layer the panel draws over a received page: colours back from
// RGB565, the value texts of parameters, the touch cells, and what the
// elements show for their values; a page with no elements stays as it came.
#include "wire/link_receiver.h"
#include "wire/page_encoder.h"
#include "link/sequences.h"
#include "wire/transfer_state.h"
#include "display/live_layer.h"
#include "scada/bound_elements.h"
#include "scada/page_editor_state.h"
#include <QPainter>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

// Page 0 of `pages` encoded over a white image and decoded again, as the
// panel receives it.
DecodedPage sendAndReceive(const ScadaPages& pages)
{
    auto ts = std::make_unique<TransferState>();
    QImage white(800, 480, QImage::Format_RGB32);
    white.fill(kWhite);
    if (!encodePage(white, pages, 0, 5, *ts).ok)
        return {};
    ts->timer_multiplier = 1;
    PageSequence sequence(*ts, 1, 0, false);
    LinkReceiver rx({5, std::nullopt});
    for (int i = 0; i < 16; ++i)
        rx.feed(sequence.tick().bytes);
    rx.finish();
    LinkReceiver::Output out = rx.take();
    return out.pages.size() == 1 ? out.pages[0] : DecodedPage{};
}

} // namespace

class LiveLayerTest : public QObject {
    Q_OBJECT

private slots:
    // Every RGB565 value comes back as itself through a record colour.
    void colours()
    {
        QCOMPARE(recordColorOf565(0xFFFF), 0xFFFFFF);
        QCOMPARE(recordColorOf565(0xF800), 0x0000FF); // red in the lowest byte
        QCOMPARE(recordColorOf565(0x07E0), 0x00FF00);
        QCOMPARE(recordColorOf565(0x001F), 0xFF0000);
        QCOMPARE(recordColorOf565(0), 0);
        for (int c = 0; c <= 0xFFFF; ++c)
            if (Color_RGB_565(recordColorOf565(uint16_t(c))) != c)
                QFAIL(qPrintable(QString::number(c, 16)));
    }

    void valueTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("font");
        QTest::addColumn<QString>("text");
        const QString s(QChar(0x2007));
        QTest::newRow("fits with one decimal") << 12.5 << 2 << 14 << "12.5";
        QTest::newRow("two decimals") << 3.25 << 3 << 14 << s + "3.25";
        QTest::newRow("integer padded") << 3.0 << 0 << 10 << s + "3";
        QTest::newRow("decimals dropped") << -12.3 << 2 << 14 << s + "-12";
        QTest::newRow("too wide") << 100000.0 << 3 << 14 << "*****";
        QTest::newRow("not a number") << std::nan("") << 0 << 10 << s + "0";
        QTest::newRow("time display") << 75.0 << 0 << 24 << "01:15";
        QTest::newRow("time display clamped") << -5.0 << 0 << 24 << "00:00";
    }

    void valueTexts()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(int, font);
        ParametrElement e;
        e.digits = uint8_t(digits);
        e.font = uint8_t(font);
        QTEST(parametrValueText(value, e), "text");
    }

    void touchCells_data()
    {
        QTest::addColumn<int>("cell");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("first, clipped") << 1 << QRect(0, 0, 40, 51);
        QTest::newRow("control at (100, 130)") << 28 << QRect(40, 111, 62, 60);
        QTest::newRow("last column") << 13 << QRect(722, 0, 62, 51);
        QTest::newRow("bottom row, clipped") << 8 * 13 + 1 << QRect(0, 471, 40, 9);
        QTest::newRow("none") << 0 << QRect();
        QTest::newRow("off the page") << 255 << QRect();
    }

    void touchCells()
    {
        QFETCH(int, cell);
        QFETCH(QRect, rect);
        QCOMPARE(touchCellRect(cell), rect);
        if (!rect.isEmpty() && cell > 1) // the cell is the one its corner gives
            QCOMPARE(touchCell(rect.left(), rect.top()), cell);
    }

    // A page without elements: the tables of unused slots (zero positions,
    // start fonts) draw nothing, not even with the touch cells on.
    void emptyPageStaysAsItCame()
    {
        auto pages = std::make_unique<ScadaPages>();
        const DecodedPage received = sendAndReceive(*pages);
        QVERIFY(received.complete());
        const QImage image = pageImage(received);
        LiveOptions o;
        o.touch_cells = true;
        QCOMPARE(composePanelPage(image, received.tables, BlockValues(), o), image);
    }

    // An element deleted in its dialog keeps its block and output in the
    // tables: the panel draws nothing for it (no black box in the corner).
    // The same element put at (0, 0) by its dialog is drawn.
    void deletedInDialogDrawsNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("deleted");
        const QList<std::pair<const char*, ObjectKind>> kinds{{"parameter", ObjectKind::Parametr},
                                                             {"signal", ObjectKind::Signal},
                                                             {"text signal", ObjectKind::TextSignal},
                                                             {"level", ObjectKind::Level}};
        for (const auto& [name, kind] : kinds) {
            QTest::addRow("%s, deleted", name) << int(kind) << true;
            QTest::addRow("%s, at (0, 0)", name) << int(kind) << false;
        }
    }
    void deletedInDialogDrawsNothing()
    {
        QFETCH(int, kind);
        QFETCH(bool, deleted);
        auto pages = std::make_unique<ScadaPages>();
        const int corner = ObjectKind(kind) == ObjectKind::TextSignal ? 1 : 0;
        switch (ObjectKind(kind)) {
        case ObjectKind::Parametr:
            pages->parametr[0][1] = {1, 0, 0, 0x0000FF, 0x00FF00, 1, 14, 2, 3, 1};
            break;
        case ObjectKind::Signal:
            pages->signal[0][1] = {1, 0, packListY(0, 0), packSignalWidth(20, 0), packSignalHeight(20, 0),
                                   0x0000FF, 0xFF0000, 0, 0, 3, 1};
            break;
        case ObjectKind::TextSignal:
            pages->text_signal[0][1] = {1, 1, 1, 10, 0x0000FF, 0x00FF00, QStringLiteral("Выкл"), QStringLiteral("Вкл"),
                                        1, 0, 3, 1};
            break;
        default:
            pages->level[0][1] = {1, 0, 0, 20, 100, 200, 0x00FF00, 0x0000FF, packLevelStyle(false, false), 3, 1};
            break;
        }
        if (deleted) {
            PageEditorState state;
            QVERIFY(!deleteBoundElement(*pages, state, ObjectKind(kind), 0, QStringLiteral("1")).removed.isEmpty());
        }
        const DecodedPage received = sendAndReceive(*pages);
        QVERIFY(received.complete());
        const QImage image = pageImage(received);
        BlockValues values;
        values.setOutputs(3, {50.0, 1.0});
        const QImage shown = composePanelPage(image, received.tables, values, LiveOptions());
        if (deleted)
            QCOMPARE(shown, image);
        else
            QVERIFY(shown.pixel(corner + 1, corner + 1) != image.pixel(corner + 1, corner + 1));
    }

    // Elements show their values: a signal its on or off colour, a level
    // its fill by value / scale, a text signal its text; the touch cells
    // are outlined only on demand.
    void valuesShown()
    {
        auto pages = std::make_unique<ScadaPages>();
        pages->signal[0][1] = {1, 10, packListY(10, 0), packSignalWidth(20, 0), packSignalHeight(20, 0),
                               0x0000FF, 0xFF0000, 0, 0, 3, 1};
        pages->level[0][2] = {1, 100, 100, 20, 100, 200, 0x00FF00, 0xFFFFFF, packLevelStyle(false, false), 3, 0};
        pages->control[0][1] = {1, 100, 130, 3, 0, QString(), 40, 40, 1};
        const DecodedPage received = sendAndReceive(*pages);
        QVERIFY(received.complete());
        const QImage image = pageImage(received);

        BlockValues values;
        values.setOutputs(3, {50.0, 1.0});
        const QImage on = composePanelPage(image, received.tables, values, LiveOptions());
        QCOMPARE(on.pixel(20, 20), qRgb(255, 0, 0));
        for (int y = 100; y < 200; ++y) // 50 of 200: the lowest quarter filled
            QCOMPARE(on.pixel(110, y), y >= 175 ? qRgb(0, 255, 0) : kWhite);
        const QRgb ground = image.pixel(41, 112); // white as the display shows it
        QCOMPARE(on.pixel(41, 112), ground);

        const QImage off = composePanelPage(image, received.tables, BlockValues(), LiveOptions());
        QCOMPARE(off.pixel(20, 20), qRgb(0, 0, 255));
        QCOMPARE(off.pixel(110, 199), kWhite);

        LiveOptions cells;
        cells.touch_cells = true;
        const QImage outlined = composePanelPage(image, received.tables, values, cells);
        QCOMPARE(outlined.pixel(41, 150), qRgb(255, 0, 255)); // left edge of cell 28
        QCOMPARE(outlined.pixel(20, 20), on.pixel(20, 20));
    }
};

QTEST_MAIN(LiveLayerTest)
#include "test_live_layer.moc"
