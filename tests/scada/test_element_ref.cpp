// Element references: object numbers, object positions against the records,
// sizes, drag ranges and snapping, tooltips.
#include "scada/element_ref.h"
#include "scada/page_painter.h"

#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

class ElementRefTest : public QObject {
    Q_OBJECT
private slots:
    void objectNumbers_data();
    void objectNumbers();
    void objectNumbersOutsideThePages();
    void objectPositionsAgainstRecords();
    void sizes();
    void snapDrag_data();
    void snapDrag();
    void tooltips_data();
    void tooltips();
};

void ElementRefTest::objectNumbers_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("object");
    QTest::newRow("parameter 1 of page 1") << ObjectKind::Parametr << 0 << 1 << 1;
    QTest::newRow("level 5 of page 3") << ObjectKind::Level << 2 << 5 << 69;
    QTest::newRow("control 32 of page 8") << ObjectKind::Control << 7 << 32 << 256;
    QTest::newRow("text 64 of page 8 is 512") << ObjectKind::Text << 7 << 64 << 512;
    QTest::newRow("text 1 of page 2") << ObjectKind::Text << 1 << 1 << 65;
    QTest::newRow("menu 8 of page 4") << ObjectKind::Menu << 3 << 8 << 32;
    QTest::newRow("graph of page 5") << ObjectKind::Grafik << 4 << 1 << 5;
    QTest::newRow("clock of page 1") << ObjectKind::Clock << 0 << 1 << 1;
    QTest::newRow("signal template") << ObjectKind::Signal << 3 << 0 << 0;
}

void ElementRefTest::objectNumbers()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, page);
    QFETCH(int, number);
    QFETCH(int, object);
    const ElementRef ref{kind, page, number};
    QCOMPARE(ref.objectNumber(), object);
    // Object 0 is the template on the current page (3 here).
    const auto back = ElementRef::fromObjectNumber(kind, object, 3);
    QVERIFY(back.has_value());
    QCOMPARE(*back, ref);
    QVERIFY(isValidRef(ref));
}

void ElementRefTest::objectNumbersOutsideThePages()
{
    // Page 8 is never shown: its objects do not exist.
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Parametr, 257, 0));
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Text, 513, 0));
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Menu, 65, 0));
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Grafik, 9, 0));
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Clock, 0, 0));
    QVERIFY(!ElementRef::fromObjectNumber(ObjectKind::Signal, -5, 0));
    QVERIFY(!isValidRef({ObjectKind::Menu, 0, 9}));
    QVERIFY(!isValidRef({ObjectKind::Parametr, 8, 1}));
    auto s = std::make_unique<ScadaPages>();
    bool called = false;
    QVERIFY(!withRecord(*s, ElementRef{ObjectKind::Text, 0, 65}, [&](auto&) { called = true; }));
    QVERIFY(!called);
    QVERIFY(!storeObjectPos(*s, {ObjectKind::Figura, -1, 1}, {5, 5}));
}

void ElementRefTest::objectPositionsAgainstRecords()
{
    auto s = std::make_unique<ScadaPages>();
    // A signal keeps its list number above the top edge.
    s->signal[1][3].y = int16_t(4 * 1024 + 100);
    const ElementRef signal{ObjectKind::Signal, 1, 3};
    QCOMPARE(recordObjectPos(*s, signal).y(), 100);
    QVERIFY(storeObjectPos(*s, signal, {50, 110}));
    QCOMPARE(int(s->signal[1][3].y), 4 * 1024 + 110);
    // A type-13 control stores its picture's top + 10; other types the top.
    ControlElement& control = s->control[0][1];
    control.type = 13;
    storeObjectPos(*s, {ObjectKind::Control, 0, 1}, {90, 50});
    QCOMPARE(int(control.y), 60);
    QCOMPARE(recordObjectPos(*s, {ObjectKind::Control, 0, 1}), QPoint(90, 50));
    control.type = 12;
    QCOMPARE(recordObjectPos(*s, {ObjectKind::Control, 0, 1}), QPoint(90, 60));
    // A menu stores its text box, 7 right and 13 down of the picture.
    storeObjectPos(*s, {ObjectKind::Menu, 2, 8}, {100, 50});
    QCOMPARE(QPoint(s->menu[2][8].x, s->menu[2][8].y), QPoint(107, 63));
    QCOMPARE(recordObjectPos(*s, {ObjectKind::Menu, 2, 8}), QPoint(100, 50));
    // The graph and clock of page p sit at position p + 1.
    storeObjectPos(*s, {ObjectKind::Clock, 6, 1}, {700, 5});
    QCOMPARE(s->clock[7].x, int16_t(700));
}

void ElementRefTest::sizes()
{
    auto s = std::make_unique<ScadaPages>();
    s->figura[0][1] = {1, 10, 10, 30, 10, 0, 1, 2};   // circle 30, stored height 10
    QCOMPARE(objectSize(*s, {ObjectKind::Figura, 0, 1}), QSize(30, 30));
    s->signal[0][1].width = packSignalWidth(15, 7);
    s->signal[0][1].height = packSignalHeight(30, 7);
    QCOMPARE(objectSize(*s, {ObjectKind::Signal, 0, 1}), QSize(15, 30));
    // Pictures whose record holds no size yet take the picture set's size.
    s->control[0][1].type = 11;
    QCOMPARE(objectSize(*s, {ObjectKind::Control, 0, 1}), QSize(105, 40));
    s->vent[0][1].picture = 9;
    QCOMPARE(objectSize(*s, {ObjectKind::Vent, 0, 1}), QSize(60, 38));
    QCOMPARE(objectSize(*s, {ObjectKind::Menu, 0, 1}), QSize(120, 40));
    QCOMPARE(objectSize(*s, {ObjectKind::GoBlock, 0, 1}), QSize(40, 40));
    // A wider field or a larger font makes a wider parameter.
    s->parametr[0][1] = {1, 0, 0, 0, 0, 0, 10, 0, 0, 0};
    s->parametr[0][2] = {1, 0, 0, 0, 0, 0, 10, 4, 0, 0};
    s->parametr[0][3] = {1, 0, 0, 0, 0, 0, 25, 4, 0, 0};
    const QSize small = objectSize(*s, {ObjectKind::Parametr, 0, 1});
    const QSize wide = objectSize(*s, {ObjectKind::Parametr, 0, 2});
    const QSize large = objectSize(*s, {ObjectKind::Parametr, 0, 3});
    QVERIFY(small.width() < wide.width() && wide.width() < large.width());
    QVERIFY(small.height() < large.height());
    // The menu's bounds hold its text box, the clock's its date label; the
    // rectangles are those the painter draws in.
    const QRect clock = elementBounds(*s, {ObjectKind::Clock, 0, 1}, {10, 10});
    QCOMPARE(clock, clockRect({1, 10, 10}));
    QVERIFY(clock.height() > kClockDateOffset);
    // The named sizes are those drawn.
    QCOMPARE(kMenuPictureSize, ElementPictures::menuSize());
    QCOMPARE(kGoBlockSize, goBlockRect({}).size());
    QCOMPARE(buttonSize(13), ElementPictures::buttonSize(13));
    QCOMPARE(mechanismSize(17), ElementPictures::mechanismSize(17));
    QVERIFY(elementBounds(*s, {ObjectKind::Menu, 0, 1}, {0, 0}).contains(QRect(kMenuTextOffset, kMenuTextSize)));
}

void ElementRefTest::snapDrag_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("type");        // button type of a control
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("buttonGrid");
    QTest::addColumn<QPoint>("current");
    QTest::addColumn<QPoint>("proposed");
    QTest::addColumn<QPoint>("expected");
    const QPoint at(300, 200);
    QTest::newRow("step 10: 127 -> 120") << ObjectKind::Parametr << 0 << 10 << false << at << QPoint(127, 40) << QPoint(120, 40);
    QTest::newRow("step 1: 127") << ObjectKind::Parametr << 0 << 1 << false << at << QPoint(127, 40) << QPoint(127, 40);
    QTest::newRow("step 0 from a file counts as 1") << ObjectKind::Parametr << 0 << 0 << false << at << QPoint(127, 41) << QPoint(127, 41);
    QTest::newRow("left 795 keeps x, top follows") << ObjectKind::Parametr << 0 << 1 << false << at << QPoint(795, 60) << QPoint(300, 60);
    QTest::newRow("top 0 is outside 1..470") << ObjectKind::Text << 0 << 1 << false << at << QPoint(5, 0) << QPoint(5, 200);
    QTest::newRow("mechanism stops at 765 x 445") << ObjectKind::Vent << 0 << 1 << false << at << QPoint(766, 446) << at;
    QTest::newRow("go-to may reach 0") << ObjectKind::GoBlock << 0 << 1 << false << at << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("type 11 stops at 710") << ObjectKind::Control << 11 << 1 << false << at << QPoint(711, 100) << QPoint(300, 100);
    QTest::newRow("type 0 goes to 760") << ObjectKind::Control << 0 << 1 << false << at << QPoint(760, 440) << QPoint(760, 440);
    QTest::newRow("button grid 40x40 control") << ObjectKind::Control << 0 << 10 << true << at << QPoint(130, 100) << QPoint(140, 78);
    QTest::newRow("button grid type 12") << ObjectKind::Control << 12 << 1 << true << at << QPoint(130, 100) << QPoint(140, 78);
    QTest::newRow("button grid type 13") << ObjectKind::Control << 13 << 1 << true << at << QPoint(130, 100) << QPoint(130, 68);
    QTest::newRow("button grid type 10") << ObjectKind::Control << 10 << 1 << true << at << QPoint(130, 100) << QPoint(140, 78);
    QTest::newRow("button grid go-to") << ObjectKind::GoBlock << 0 << 1 << true << at << QPoint(130, 100) << QPoint(140, 78);
    QTest::newRow("button grid menu picture") << ObjectKind::Menu << 0 << 1 << true << at << QPoint(130, 100) << QPoint(130, 78);
    QTest::newRow("button grid ignores parameters") << ObjectKind::Parametr << 0 << 10 << true << at << QPoint(131, 100) << QPoint(130, 100);
}

void ElementRefTest::snapDrag()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, type);
    QFETCH(int, step);
    QFETCH(bool, buttonGrid);
    QFETCH(QPoint, current);
    QFETCH(QPoint, proposed);
    QFETCH(QPoint, expected);
    auto s = std::make_unique<ScadaPages>();
    s->grid_step = s->grid_step_copy = int16_t(step);
    s->grid_enabled = s->grid_enabled_copy = buttonGrid;
    s->control[2][4].type = uint8_t(type);
    const ElementRef ref{kind, 2, 4};
    QCOMPARE(ostrel::snapDrag(*s, ref, current, proposed), expected);
}

void ElementRefTest::tooltips_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");
    QTest::newRow("parameter") << ObjectKind::Parametr << 1 << 3 << "Параметр 3, X - 120, Y - 40";
    QTest::newRow("text begins with a Latin T") << ObjectKind::Text << 0 << 64 << QString("T" "екст 64, X - 120, Y - 40");
    QTest::newRow("text signal") << ObjectKind::TextSignal << 0 << 2 << "Сигнал текст 2, X - 120, Y - 40";
    QTest::newRow("mechanism") << ObjectKind::Vent << 0 << 2 << "Вентилятор 2, X - 120, Y - 40";
    QTest::newRow("graph shows page + 1") << ObjectKind::Grafik << 2 << 1 << "График 3, X - 120, Y - 40";
    QTest::newRow("clock shows page + 1") << ObjectKind::Clock << 0 << 1 << "Часы 1, X - 120, Y - 40";
    QTest::newRow("template shows 0") << ObjectKind::GoBlock << 0 << 0 << "Переход 0, X - 120, Y - 40";
}

void ElementRefTest::tooltips()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, page);
    QFETCH(int, number);
    QFETCH(QString, expected);
    const QString text = tooltipText({kind, page, number}, {120, 40});
    QCOMPARE(text, expected);
    QCOMPARE(text.at(0).unicode() == u'T', kind == ObjectKind::Text);
}

QTEST_MAIN(ElementRefTest)
#include "test_element_ref.moc"
