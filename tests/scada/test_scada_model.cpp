// The page and element model: start values, slot allocation and the packed fields.
#include "scada/scada_pages.h"

#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

class ScadaModelTest : public QObject {
    Q_OBJECT
private slots:
    void startValues();
    void clearRestoresStartValues();
    void allocateLowestFree_data();
    void allocateLowestFree();
    void fullPageRefusesAndReleasedNumberComesBack();
    void allocateOutsidePagesOrTable();
    void typedNumber_data();
    void typedNumber();
    void signalSizeAndShape_data();
    void signalSizeAndShape();
    void listYPacking();
    void goToCodes();
    void levelStyleAndParameterOutput();
};

void ScadaModelTest::startValues()
{
    auto s = std::make_unique<ScadaPages>();
    for (int p = 0; p < ScadaPages::kPages; ++p) {
        for (int n = 0; n < ScadaPages::kSlots; ++n) {
            QCOMPARE(s->parametr[p][n].font, uint8_t(8));
            QCOMPARE(s->text_signal[p][n].font, uint8_t(10));
            QCOMPARE(s->signal[p][n].used, int16_t(0));
        }
    }
    QCOMPARE(s->grid_step, int16_t(1));
    QCOMPARE(s->grid_enabled, int16_t(0));
    QCOMPARE(s->grid_step_copy, int16_t(1));
    QCOMPARE(s->grid_enabled_copy, int16_t(0));
    QVERIFY(s->shortRef(0).isEmpty());
    // Page 8 exists in every table; the graph and clock of page p sit at p + 1.
    QCOMPARE(&s->parametr[8][32], &s->parametr.back().back());
    QCOMPARE(s->grafikOfPage(0), &s->grafik[1]);
    QCOMPARE(s->clockOfPage(7), &s->clock[8]);
    QCOMPARE(s->grafikOfPage(8), nullptr);
    QCOMPARE(s->clockOfPage(-1), nullptr);
}

void ScadaModelTest::clearRestoresStartValues()
{
    auto s = std::make_unique<ScadaPages>();
    s->parametr[3][4] = {1, 10, 20, 5, 6, 1, 14, 2, 12, 0x81};
    s->text_signal[8][0].font = 14;
    s->text[2][64].text = QStringLiteral("Котёл");
    s->fullPath(7) = QStringLiteral("/x/y.gif");
    s->grid_step = 10;
    s->clear();
    QCOMPARE(s->parametr[3][4].used, int16_t(0));
    QCOMPARE(s->parametr[3][4].font, uint8_t(8));
    QCOMPARE(s->text_signal[8][0].font, uint8_t(10));
    QVERIFY(s->text[2][64].text.isEmpty());
    QVERIFY(s->background_refs[15].isEmpty());
    QCOMPARE(s->grid_step, int16_t(1));
}

void ScadaModelTest::allocateLowestFree_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("expected");
    // Slots 1, 2 and 4 of page 2 are used before each row.
    QTest::newRow("occupied number edits that element") << ObjectKind::Level << 4 << 4;
    QTest::newRow("free number is not honoured") << ObjectKind::Level << 9 << 3;
    QTest::newRow("zero takes lowest free") << ObjectKind::Signal << 0 << 3;
    QTest::newRow("number above the table") << ObjectKind::Parametr << 40 << 3;
    QTest::newRow("negative number") << ObjectKind::GoBlock << -1 << 3;
    QTest::newRow("text 64 is inside its table") << ObjectKind::Text << 64 << 3;
    QTest::newRow("menu 9 is outside its table") << ObjectKind::Menu << 9 << 3;
}

void ScadaModelTest::allocateLowestFree()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, requested);
    QFETCH(int, expected);
    auto s = std::make_unique<ScadaPages>();
    for (int n : {1, 2, 4})
        *s->usedFlag(kind, 2, n) = 1;
    QCOMPARE(s->allocate_slot(kind, 2, requested), expected);
    QVERIFY(s->isUsed(kind, 2, expected));
    // Other pages and the template slot are untouched.
    QVERIFY(!s->isUsed(kind, 1, expected));
    QVERIFY(!s->isUsed(kind, 2, 0));
}

void ScadaModelTest::fullPageRefusesAndReleasedNumberComesBack()
{
    auto s = std::make_unique<ScadaPages>();
    for (int n = 1; n <= 32; ++n)
        QCOMPARE(s->allocate_slot(ObjectKind::Parametr, 0, 0), n);
    QCOMPARE(s->allocate_slot(ObjectKind::Parametr, 0, 0), 0);
    QVERIFY(!s->isUsed(ObjectKind::Parametr, 0, 0)); // no slot changed
    s->release_slot(ObjectKind::Parametr, 0, 5);
    QCOMPARE(s->allocate_slot(ObjectKind::Parametr, 0, 0), 5);

    for (int n = 1; n <= 8; ++n)
        s->allocate_slot(ObjectKind::Menu, 1, 0);
    QCOMPARE(s->allocate_slot(ObjectKind::Menu, 1, 0), 0);
    for (int n = 1; n <= 64; ++n)
        QCOMPARE(s->allocate_slot(ObjectKind::Text, 1, 0), n);
    QCOMPARE(s->allocate_slot(ObjectKind::Text, 1, 0), 0);
}

void ScadaModelTest::allocateOutsidePagesOrTable()
{
    auto s = std::make_unique<ScadaPages>();
    QCOMPARE(s->allocate_slot(ObjectKind::Signal, 9, 0), 0);
    QCOMPARE(s->allocate_slot(ObjectKind::Signal, -1, 3), 0);
    QCOMPARE(s->usedFlag(ObjectKind::Menu, 0, 9), nullptr);
    QCOMPARE(s->usedFlag(ObjectKind::Text, 0, 65), nullptr);
    QVERIFY(s->usedFlag(ObjectKind::Text, 8, 64) != nullptr);
    s->release_slot(ObjectKind::Figura, 0, 33); // ignored, no write out of range
    s->release_slot(ObjectKind::Figura, 9, 1);
    QVERIFY(!ScadaPages::validSlot(ObjectKind::Parametr, 0, 33));
}

void ScadaModelTest::typedNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("digits") << "5" << 5;
    QTest::newRow("blanks and trailing text") << "  7x" << 7;
    QTest::newRow("half rounds to even") << "2.5" << 2;
    QTest::newRow("comma separator") << "3,5" << 4;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("huge") << "99999999999999999999" << 1000000;
}

void ScadaModelTest::typedNumber()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(ScadaPages::typedNumber(text), expected);
}

void ScadaModelTest::signalSizeAndShape_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("widthField");
    QTest::addColumn<int>("heightField");
    QTest::newRow("rectangle") << 0 << 40 << 20 << 40 << 20;
    QTest::newRow("circle") << 1 << 30 << 30 << 94 << 30;
    QTest::newRow("triangle >") << 3 << 20 << 20 << 212 << 20;
    QTest::newRow("triangle v") << 4 << 20 << 20 << 20 << 84;
    QTest::newRow("valve ><") << 6 << 40 << 20 << 168 << 84;
    QTest::newRow("valve X") << 7 << 15 << 30 << 207 << 94;
}

void ScadaModelTest::signalSizeAndShape()
{
    QFETCH(int, shape);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, widthField);
    QFETCH(int, heightField);
    const int16_t w = packSignalWidth(width, shape);
    const int16_t h = packSignalHeight(height, shape);
    QCOMPARE(int(w), widthField);
    QCOMPARE(int(h), heightField);
    QCOMPARE(signalSize(w), width);
    QCOMPARE(signalSize(h), height);
    QCOMPARE(signalShape(w, h), shape);
}

void ScadaModelTest::listYPacking()
{
    QCOMPARE(int(packListY(100, 3)), 3172);
    QCOMPARE(listTop(3172), 100);
    QCOMPARE(listNumber(3172), 3);
    QCOMPARE(int(packListY(479, 31)), 31 * 1024 + 479);
    // A top edge off the page cannot spill into the list number.
    QCOMPARE(int(packListY(600, 2)), 2 * 1024 + 479);
    QCOMPARE(int(packListY(-5, 40)), 31 * 1024);
    // Hostile stored values decode within range.
    QCOMPARE(listTop(int16_t(-1)), 1023);
    QCOMPARE(listNumber(int16_t(-1)), 63);
    QVERIFY(signalShape(int16_t(-1), int16_t(-1)) <= 7);
    // A negative stored size is its magnitude, within its field, and no shape.
    QCOMPARE(signalSize(int16_t(-60)), 60);
    QCOMPARE(signalSize(int16_t(-1000)), 63);
    QCOMPARE(signalShape(int16_t(-60), int16_t(20)), 0);
    QCOMPARE(signalShape(int16_t(20 + 64), int16_t(-60)), 1);
    // Sizes cannot spill into the shape bits.
    QCOMPARE(int(packSignalWidth(70, 0)), 63);
}

void ScadaModelTest::goToCodes()
{
    QCOMPARE(int(goTarget(97, false, 2)), 203); // SCADA page 3
    QCOMPARE(int(goTarget(98, false, 0)), 211); // graph group 1
    QCOMPARE(int(goTarget(0, false, 5)), 220);  // text-signal list
    QCOMPARE(int(goTarget(12, false, 0)), 12);
    QCOMPARE(int(goTarget(12, true, 0)), 112);
    const int16_t option = packGoOption(true, 2);
    QCOMPARE(int(option), 130);
    QVERIFY(goOptionLocked(option));
    QCOMPARE(goOptionIndex(option), 2);
    QVERIFY(!goOptionLocked(packGoOption(false, 127)));
}

void ScadaModelTest::levelStyleAndParameterOutput()
{
    QCOMPARE(int(packLevelStyle(true, true)), 3);
    QCOMPARE(int(packLevelStyle(false, true)), 1);
    QVERIFY(levelHorizontal(2) && !levelFramed(2));
    const uint8_t out = packParamOutput(5, true);
    QCOMPARE(int(out), 133);
    QCOMPARE(paramOutputIndex(out), 5);
    QVERIFY(paramOutputIsSetpoint(out));
    QVERIFY(!paramOutputIsSetpoint(packParamOutput(5, false)));
}

QTEST_GUILESS_MAIN(ScadaModelTest)
#include "test_scada_model.moc"
