// The page editor's operations on the model: insertion and double-click,
// single-element drag with the grid and the button grid, the rubber-band
// selection and group move, the corner-handle resize, blinking, the lock,
// the grid dialog, backgrounds, the clock and the menu text.
#include "editor_fixture.h"
#include "support/scripted_interaction.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

namespace {

using Fixture = fixture::Editor;

// A 1 x 1 GIF with one frame per index given (palette: 0 red, 1 blue).
QByteArray gifBytes(const QList<int>& frames)
{
    QByteArray b("GIF89a");
    b += QByteArray::fromHex("01000100" "80" "00" "00" "ff0000" "0000ff");
    for (int index : frames) {
        b += QByteArray::fromHex("2c" "00000000" "01000100" "00" "02" "02");
        // LZW codes of 3 bits: clear (4), the index, end (5).
        const int bits = 4 | (index << 3) | (5 << 6);
        b += char(bits & 0xff);
        b += char(bits >> 8);
        b += char(0);
    }
    b += ';';
    return b;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray pngBytes(QColor color)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Records the questions asked as well.
class AskingInteraction : public ScriptedInteraction {
public:
    QStringList questions;
    bool question(const QString& text, const QString& title) override
    {
        questions << text;
        return ScriptedInteraction::question(text, title);
    }
};

} // namespace

class PageEditingTest : public QObject {
    Q_OBJECT
private slots:
    void drag_data();
    void drag();
    void dragRules();
    void insertTemplates();
    void insertGraphAndClock();
    void doubleClickRepeatsInsertion_data();
    void doubleClickRepeatsInsertion();
    void menuPlacementFlag();
    void frameSelectsOccupiedSlotsAndMovesThem();
    void frameStopsAtThePageEdgeWithItsGroup();
    void frameStretchAndPages();
    void lockedGroupDoesNotMove();
    void resize_data();
    void resize();
    void resizeNeedsAnOccupiedTargetAndNoLock();
    void blinkTick();
    void grid_data();
    void grid();
    void background_data();
    void background();
    void backgroundRefusedOrCancelled();
    void backgroundFromProjectFolder();
    void fillColourAndPipette();
    void clockDeletion();
    void menuText();
};

void PageEditingTest::drag_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("type");        // control button type
    QTest::addColumn<int>("list");        // signal-list number
    QTest::addColumn<int>("step");
    QTest::addColumn<bool>("buttonGrid");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("proposed");
    QTest::addColumn<QPoint>("pos");      // object position afterwards
    QTest::addColumn<QPoint>("record");   // stored x, y afterwards
    QTest::newRow("step 10: 127 -> 120") << ObjectKind::Parametr << 0 << 0 << 10 << false
        << QPoint(100, 40) << QPoint(127, 40) << QPoint(120, 40) << QPoint(120, 40);
    QTest::newRow("left 795 keeps x, top follows") << ObjectKind::Parametr << 0 << 0 << 1 << false
        << QPoint(700, 40) << QPoint(795, 60) << QPoint(700, 60) << QPoint(700, 60);
    QTest::newRow("list-4 signal 10 down") << ObjectKind::Signal << 0 << 4 << 1 << false
        << QPoint(100, 100) << QPoint(100, 110) << QPoint(100, 110) << QPoint(100, 4 * 1024 + 110);
    QTest::newRow("text signal keeps its list") << ObjectKind::TextSignal << 0 << 31 << 1 << false
        << QPoint(100, 100) << QPoint(200, 470) << QPoint(200, 470) << QPoint(200, 31 * 1024 + 470);
    QTest::newRow("button grid (130, 100) -> (140, 78)") << ObjectKind::Control << 0 << 0 << 1 << true
        << QPoint(300, 300) << QPoint(130, 100) << QPoint(140, 78) << QPoint(140, 78);
    QTest::newRow("type 13 free drag stores top + 10") << ObjectKind::Control << 13 << 0 << 1 << false
        << QPoint(300, 300) << QPoint(130, 100) << QPoint(130, 100) << QPoint(130, 110);
    QTest::newRow("type 13 button grid stores top + 10") << ObjectKind::Control << 13 << 0 << 1 << true
        << QPoint(300, 300) << QPoint(130, 100) << QPoint(130, 68) << QPoint(130, 78);
    QTest::newRow("menu moves its text box along") << ObjectKind::Menu << 0 << 0 << 1 << true
        << QPoint(300, 300) << QPoint(130, 100) << QPoint(130, 78) << QPoint(137, 91);
    QTest::newRow("graph snaps to the step") << ObjectKind::Grafik << 0 << 0 << 5 << false
        << QPoint(100, 100) << QPoint(52, 33) << QPoint(50, 30) << QPoint(50, 30);
    QTest::newRow("clock") << ObjectKind::Clock << 0 << 0 << 1 << false
        << QPoint(1, 1) << QPoint(700, 5) << QPoint(700, 5) << QPoint(700, 5);
    QTest::newRow("level box") << ObjectKind::Level << 0 << 0 << 1 << false
        << QPoint(10, 10) << QPoint(400, 300) << QPoint(400, 300) << QPoint(400, 300);
}

void PageEditingTest::drag()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, type);
    QFETCH(int, list);
    QFETCH(int, step);
    QFETCH(bool, buttonGrid);
    QFETCH(QPoint, start);
    QFETCH(QPoint, proposed);
    QFETCH(QPoint, pos);
    QFETCH(QPoint, record);
    Fixture f;
    f.pages->grid_step = f.pages->grid_step_copy = int16_t(step);
    f.pages->grid_enabled = f.pages->grid_enabled_copy = buttonGrid;
    f.pages->control[1][3].type = uint8_t(type);
    f.pages->signal[1][3].y = f.pages->text_signal[1][3].y = int16_t(1024 * list);
    const ElementRef ref = f.place(kind, 1, 3, start);
    const PageChanges changes = f.drag(ref, proposed);
    QCOMPARE(f.editor.objectPos(ref), pos);
    QCOMPARE(f.raw(ref), record);
    QCOMPARE(changes.updated, QList<ElementRef>{ref});
    QCOMPARE(f.editor.tooltip(ref), tooltipText(ref, pos));
}

void PageEditingTest::dragRules()
{
    Fixture f;
    // The template moves, no record changes.
    f.editor.insert(ObjectKind::Figura);
    const ElementRef tmpl{ObjectKind::Figura, 0, 0};
    f.drag(tmpl, {200, 100});
    QCOMPARE(f.editor.objectPos(tmpl), QPoint(200, 100));
    QCOMPARE(f.raw(tmpl), QPoint(0, 0));
    // A free slot has no object to drag.
    const ElementRef freeSlot{ObjectKind::Figura, 0, 2};
    QVERIFY(f.drag(freeSlot, {300, 300}).isEmpty());
    QCOMPARE(f.raw(freeSlot), QPoint(0, 0));
    // The lock stops dragging; the insert items clear it.
    const ElementRef fig = f.place(ObjectKind::Figura, 0, 1, {50, 50});
    QVERIFY(f.editor.toggleLock());
    QVERIFY(f.drag(fig, {100, 100}).isEmpty());
    QCOMPARE(f.raw(fig), QPoint(50, 50));
    f.editor.insert(ObjectKind::Text);
    QVERIFY(!f.state.lock);
    f.drag(fig, {100, 100});
    QCOMPARE(f.raw(fig), QPoint(100, 100));
    // Moves without the button drag nothing.
    f.editor.elementPress(fig, {105, 105});
    QVERIFY(f.editor.elementMove(fig, {200, 200}, false).isEmpty());
}

void PageEditingTest::insertTemplates()
{
    Fixture f;
    f.state.current_page = 2;
    f.pages->parametr[2][0].font = 0;
    const PageChanges changes = f.editor.insert(ObjectKind::Parametr);
    QCOMPARE(f.state.create_mode, 6);
    QCOMPARE(changes.updated, (QList<ElementRef>{{ObjectKind::Parametr, 2, 0}}));
    QVERIFY(f.state.templateOf(ObjectKind::Parametr).visible);
    QCOMPARE(f.state.templateOf(ObjectKind::Parametr).pos, QPoint(0, 0));
    QCOMPARE(int(f.pages->parametr[2][0].font), 14); // a template font of 0 shows as 14
    f.pages->parametr[2][0].font = 25;
    f.editor.insert(ObjectKind::Parametr);
    QCOMPARE(int(f.pages->parametr[2][0].font), 25);
    // Inserting on another page moves the template there.
    f.state.current_page = 5;
    const PageChanges moved = f.editor.insert(ObjectKind::Parametr);
    QCOMPARE(moved.removed, (QList<ElementRef>{{ObjectKind::Parametr, 2, 0}}));
    QCOMPARE(f.state.templateOf(ObjectKind::Parametr).page, 5);
    // A dialog's end hides it.
    QCOMPARE(f.editor.hideTemplate(ObjectKind::Parametr).removed, (QList<ElementRef>{{ObjectKind::Parametr, 5, 0}}));
    QVERIFY(!f.state.templateOf(ObjectKind::Parametr).visible);
}

void PageEditingTest::insertGraphAndClock()
{
    Fixture f;
    f.state.current_page = 3;
    f.pages->grafik[4].group = 6;
    f.pages->grafik[4].x = 300;
    f.state.lock = true;
    PageChanges changes = f.editor.insert(ObjectKind::Grafik);
    QCOMPARE(f.state.create_mode, 11);
    QVERIFY(!f.state.lock);
    const GrafikElement& g = f.pages->grafik[4];
    QCOMPARE((QList<int>{g.used, g.x, g.y, g.width, g.height, g.group}), (QList<int>{1, 1, 1, 100, 50, 6}));
    QCOMPARE(changes.created, (QList<ElementRef>{{ObjectKind::Grafik, 3, 1}}));
    // Inserting it again resets the existing graph's place and size.
    f.pages->grafik[4].x = 200;
    changes = f.editor.insert(ObjectKind::Grafik);
    QCOMPARE(changes.updated, (QList<ElementRef>{{ObjectKind::Grafik, 3, 1}}));
    QCOMPARE(f.pages->grafik[4].x, int16_t(1));
    changes = f.editor.insert(ObjectKind::Clock);
    QCOMPARE(changes.created, (QList<ElementRef>{{ObjectKind::Clock, 3, 1}}));
    QCOMPARE(QPoint(f.pages->clock[4].x, f.pages->clock[4].y), QPoint(1, 1));
    QCOMPARE(f.editor.bounds({ObjectKind::Clock, 3, 1}).top(), 1);
    QCOMPARE(f.editor.pageElements(3), (QList<ElementRef>{{ObjectKind::Grafik, 3, 1}, {ObjectKind::Clock, 3, 1}}));
}

void PageEditingTest::doubleClickRepeatsInsertion_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("inserts");
    QTest::newRow("after a level its template moves") << int(ObjectKind::Level) << true;
    QTest::newRow("after a mechanism") << int(ObjectKind::Vent) << true;
    QTest::newRow("after the graph nothing") << int(ObjectKind::Grafik) << false;
    QTest::newRow("after the clock nothing") << int(ObjectKind::Clock) << false;
}

void PageEditingTest::doubleClickRepeatsInsertion()
{
    QFETCH(int, item);
    QFETCH(bool, inserts);
    Fixture f;
    f.editor.insert(ObjectKind(item));
    const auto graphBefore = f.pages->grafik[1].x;
    f.editor.pointerMoved({200, 150});
    const PageChanges changes = f.editor.pageDoubleClick({200, 150});
    QCOMPARE(changes.isEmpty(), !inserts);
    QCOMPARE(f.state.placement_flag, uint8_t(0));
    if (inserts) {
        const ElementRef tmpl = changes.updated.first();
        QVERIFY(tmpl.isTemplate());
        QCOMPARE(f.editor.objectPos(tmpl), QPoint(200, 150));
    } else {
        QCOMPARE(f.pages->grafik[1].x, graphBefore);
        QVERIFY(!f.state.templateOf(ObjectKind::Level).visible);
    }
    // A fresh editor with no insertion yet: a double-click does nothing.
    Fixture g;
    QVERIFY(g.editor.pageDoubleClick({10, 10}).isEmpty());
}

void PageEditingTest::menuPlacementFlag()
{
    Fixture f;
    f.editor.insert(ObjectKind::Menu);
    f.editor.pageDoubleClick({300, 200});
    QCOMPARE(f.editor.objectPos({ObjectKind::Menu, 0, 0}), QPoint(300, 200));
    QCOMPARE(f.state.placement_flag, uint8_t(1));
    // The first move over a menu element clears the flag and drags nothing.
    const ElementRef menu = f.place(ObjectKind::Menu, 0, 1, {100, 100});
    QVERIFY(f.drag(menu, {200, 200}).isEmpty());
    QCOMPARE(f.state.placement_flag, uint8_t(0));
    QCOMPARE(f.raw(menu), QPoint(107, 113));
    f.drag(menu, {200, 200});
    QCOMPARE(f.raw(menu), QPoint(207, 213));
}

void PageEditingTest::frameSelectsOccupiedSlotsAndMovesThem()
{
    Fixture f;
    const ElementRef signal = f.place(ObjectKind::Signal, 0, 1, {100, 100});
    f.pages->signal[0][1].y = int16_t(4 * 1024 + 100);
    const ElementRef onBorder = f.place(ObjectKind::Parametr, 0, 1, {90, 90});
    const ElementRef type13 = f.place(ObjectKind::Control, 0, 1, {120, 95});
    f.pages->control[0][1].type = 13;
    storeObjectPos(*f.pages, type13, {120, 95});
    const ElementRef outside = f.place(ObjectKind::Text, 0, 1, {300, 300});
    // A free slot whose stale position lies inside the frame.
    f.pages->parametr[0][2].x = 100;
    f.pages->parametr[0][2].y = 100;
    const ElementRef freeSlot{ObjectKind::Parametr, 0, 2};
    const ElementRef menu = f.place(ObjectKind::Menu, 0, 1, {95, 95});

    f.frame({90, 90}, {150, 111});
    QCOMPARE(f.state.frame.rect, QRect(90, 90, 60, 21));
    const PageChanges press = f.editor.pagePress({120, 100});
    QVERIFY(press.isEmpty());
    QVERIFY(f.state.isSelected(signal));
    QVERIFY(f.state.isSelected(onBorder));
    QVERIFY(f.state.isSelected(type13));
    QVERIFY(!f.state.isSelected(outside));
    QVERIFY(!f.state.isSelected(freeSlot));
    QVERIFY(!f.state.isSelected(menu));

    const PageChanges move = f.editor.pageDrag({120, 110});
    QVERIFY(move.frame);
    QCOMPARE(move.updated.size(), 3);
    QCOMPARE(f.editor.objectPos(signal), QPoint(100, 110));
    QCOMPARE(f.raw(signal).y(), 4 * 1024 + 100); // records change on release only
    f.editor.pageRelease({120, 110});
    QCOMPARE(f.raw(signal), QPoint(100, 4 * 1024 + 110));
    QCOMPARE(f.raw(onBorder), QPoint(90, 100));
    QCOMPARE(f.raw(type13), QPoint(120, 115)); // picture top 105, stored + 10
    QCOMPARE(f.raw(outside), QPoint(300, 300));
    QCOMPARE(f.raw(freeSlot), QPoint(100, 100));
    QVERIFY(!isOccupied(*f.pages, freeSlot));
    QCOMPARE(f.raw(menu), QPoint(102, 108));
    QCOMPARE(f.state.frame.rect, QRect(90, 100, 60, 21));
    QVERIFY(f.state.frame.visible);
}

void PageEditingTest::frameStopsAtThePageEdgeWithItsGroup()
{
    Fixture f;
    f.pages->grid_step = 10;
    const ElementRef fig = f.place(ObjectKind::Figura, 0, 1, {710, 410});
    f.frame({700, 400}, {750, 450});
    f.editor.pagePress({720, 420});
    f.editor.pageDrag({820, 520});
    QCOMPARE(f.state.frame.rect, QRect(750, 430, 50, 50));
    QCOMPARE(f.editor.objectPos(fig), QPoint(760, 440));
    // Further out nothing moves; back in, frame and group move together at once.
    QVERIFY(f.editor.pageDrag({900, 600}).isEmpty());
    f.editor.pageDrag({700, 420});
    QCOMPARE(f.state.frame.rect, QRect(680, 400, 50, 50));
    QCOMPARE(f.editor.objectPos(fig), QPoint(690, 410));
    f.editor.pageDrag({-500, -500});
    QCOMPARE(f.state.frame.rect.topLeft(), QPoint(0, 0));
    QCOMPARE(f.editor.objectPos(fig), QPoint(10, 10));
    f.editor.pageRelease({-500, -500});
    QCOMPARE(f.raw(fig), QPoint(10, 10));
    // The frame still encloses its element.
    QVERIFY(f.state.frame.rect.contains(f.raw(fig)));
}

void PageEditingTest::frameStretchAndPages()
{
    Fixture f;
    f.state.current_page = 1;
    PageChanges c = f.editor.pagePress({100, 100});
    QVERIFY(c.frame);
    QCOMPARE(f.state.frame.rect, QRect(100, 100, 1, 1));
    QCOMPARE(f.state.frame.page, 1);
    // Dragging up or left grows the frame from where the button went down.
    f.editor.pageDrag({60, 80});
    QCOMPARE(f.state.frame.rect, QRect(100, 100, 40, 20));
    // It ends at the page's edges.
    f.editor.pageDrag({1000, 700});
    QCOMPARE(f.state.frame.rect, QRect(100, 100, 700, 380));
    f.editor.pageRelease({1000, 700});
    // Pressing inside the frame's rectangle on another page starts a new frame.
    const ElementRef fig = f.place(ObjectKind::Figura, 2, 1, {200, 200});
    f.state.current_page = 2;
    f.editor.pagePress({150, 150});
    QCOMPARE(f.state.frame.page, 2);
    QCOMPARE(f.state.frame.rect, QRect(150, 150, 1, 1));
    QVERIFY(!f.state.isSelected(fig));
}

void PageEditingTest::lockedGroupDoesNotMove()
{
    Fixture f;
    const ElementRef fig = f.place(ObjectKind::Figura, 0, 1, {110, 110});
    f.frame({100, 100}, {200, 200});
    f.editor.setLock(true);
    f.editor.pagePress({150, 150});
    QVERIFY(f.state.isSelected(fig));
    QVERIFY(f.editor.pageDrag({250, 250}).isEmpty());
    f.editor.pageRelease({250, 250});
    QCOMPARE(f.raw(fig), QPoint(110, 110));
    QCOMPARE(f.state.frame.rect, QRect(100, 100, 100, 100));
}

void PageEditingTest::resize_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("shape");       // figure type or signal shape
    QTest::addColumn<int>("step");
    QTest::addColumn<QPoint>("corner");   // proposed handle position
    QTest::addColumn<QList<int>>("stored"); // figure size_x, size_y; signal/level width, height fields
    QTest::newRow("rectangle") << ObjectKind::Figura << 0 << 1 << QPoint(170, 150) << QList<int>{70, 50};
    QTest::newRow("circle stays round") << ObjectKind::Figura << 1 << 1 << QPoint(170, 120) << QList<int>{70, 70};
    QTest::newRow("snapped to the step") << ObjectKind::Figura << 0 << 10 << QPoint(173, 157) << QList<int>{70, 50};
    QTest::newRow("corner beyond the page stops at its edge") << ObjectKind::Figura << 0 << 1 << QPoint(850, 150) << QList<int>{700, 50};
    QTest::newRow("up and left of the corner") << ObjectKind::Figura << 0 << 1 << QPoint(80, 90) << QList<int>{20, 10};
    QTest::newRow("signal capped at 50, shape kept") << ObjectKind::Signal << 7 << 1 << QPoint(190, 170) << QList<int>{50 + 192, 50 + 64};
    QTest::newRow("signal at least 2") << ObjectKind::Signal << 1 << 1 << QPoint(100, 100) << QList<int>{2 + 64, 2};
    QTest::newRow("level box") << ObjectKind::Level << 0 << 1 << QPoint(130, 200) << QList<int>{30, 100};
}

void PageEditingTest::resize()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, shape);
    QFETCH(int, step);
    QFETCH(QPoint, corner);
    QFETCH(QList<int>, stored);
    Fixture f;
    f.pages->grid_step = int16_t(step);
    f.pages->figura[0][4] = {1, 100, 100, 40, 20, 0, int16_t(shape), 1};
    f.pages->signal[0][4] = {1, 100, 100, packSignalWidth(15, shape), packSignalHeight(30, shape), 0, 0, 0, 0, 0, 0};
    f.pages->level[0][4] = {1, 100, 100, 20, 40, 0, 0, 0, 0, 0, 0};
    const ElementRef ref{kind, 0, 4};
    const PageChanges click = f.editor.elementClick(ref);
    QVERIFY(click.handle);
    const QRect before = f.editor.objectRect(ref);
    QCOMPARE(f.state.handle_pos, before.topLeft() + QPoint(before.width(), before.height()));
    f.editor.handlePress(f.state.handle_pos + QPoint(2, 2));
    const PageChanges changes = f.editor.handleMove(corner + QPoint(2, 2), true);
    QCOMPARE(changes.updated, QList<ElementRef>{ref});
    QList<int> got;
    if (kind == ObjectKind::Figura)
        got = {f.pages->figura[0][4].size_x, f.pages->figura[0][4].size_y};
    else if (kind == ObjectKind::Signal)
        got = {f.pages->signal[0][4].width, f.pages->signal[0][4].height};
    else
        got = {f.pages->level[0][4].width, f.pages->level[0][4].height};
    QCOMPARE(got, stored);
    if (kind == ObjectKind::Signal)
        QCOMPARE(signalShape(f.pages->signal[0][4].width, f.pages->signal[0][4].height), shape);
}

void PageEditingTest::resizeNeedsAnOccupiedTargetAndNoLock()
{
    Fixture f;
    // Templates and kinds without a handle show none.
    QVERIFY(f.editor.elementClick({ObjectKind::Figura, 0, 0}).isEmpty());
    f.place(ObjectKind::Text, 0, 1, {10, 10});
    QVERIFY(f.editor.elementClick({ObjectKind::Text, 0, 1}).isEmpty());
    QVERIFY(!f.state.handle_visible);
    const ElementRef fig = f.place(ObjectKind::Figura, 0, 1, {10, 10});
    f.pages->figura[0][1].size_x = f.pages->figura[0][1].size_y = 20;
    f.editor.elementClick(fig);
    f.editor.handlePress(f.state.handle_pos);
    f.editor.setLock(true);
    QVERIFY(f.editor.handleMove({100, 100}, true).isEmpty());
    f.editor.setLock(false);
    // A click on the page hides the handle.
    QVERIFY(f.editor.pageClick(Qt::red).handle);
    QVERIFY(f.editor.handleMove({100, 100}, true).isEmpty());
    QCOMPARE(f.pages->figura[0][1].size_x, int16_t(20));
}

void PageEditingTest::blinkTick()
{
    Fixture f;
    f.state.current_page = 1;
    f.pages->signal[1][1] = {1, 10, 10, 20, 20, 0x0000ff, 0x00ff00, 0, 1, 0, 0};   // blinks
    f.pages->signal[1][2] = {1, 40, 10, 20, 20, 0x0000ff, 0x00ff00, 0, 0, 0, 0};   // steady
    f.pages->signal[1][3] = {0, 70, 10, 20, 20, 0x0000ff, 0x00ff00, 0, 1, 0, 0};   // free slot
    f.pages->signal[2][1] = {1, 10, 10, 20, 20, 0x0000ff, 0x00ff00, 0, 1, 0, 0};   // other page
    TextSignalElement& t = f.pages->text_signal[1][1];
    t.used = 1;
    t.blink = 1;
    t.text_off = QStringLiteral("Стоп");
    t.text_on = QStringLiteral("Работа");
    const ElementRef s1{ObjectKind::Signal, 1, 1}, s2{ObjectKind::Signal, 1, 2}, t1{ObjectKind::TextSignal, 1, 1};
    QCOMPARE(f.editor.signalShownColor(s1), 0x0000ff);
    QCOMPARE(f.editor.textSignalShownText(t1), QStringLiteral("Стоп"));

    const PageChanges a = f.editor.tick();
    QCOMPARE(a.updated, (QList<ElementRef>{s1, t1}));
    QCOMPARE(f.editor.signalShownColor(s1), 0x00ff00);
    QCOMPARE(f.editor.signalShownColor(s2), 0x0000ff);
    QCOMPARE(f.editor.textSignalShownText(t1), QStringLiteral("Работа"));
    f.editor.tick();
    QCOMPARE(f.editor.signalShownColor(s1), 0x0000ff);
    QCOMPARE(f.editor.textSignalShownText(t1), QStringLiteral("Стоп"));
}

void PageEditingTest::grid_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("buttonGrid");
    QTest::addColumn<int>("step");        // stored afterwards (both copies)
    QTest::addColumn<QString>("message");
    QTest::newRow("step 10 with button grid") << "10" << true << 10 << QString();
    QTest::newRow("rounded") << "7,6" << false << 8 << QString();
    QTest::newRow("step 0 refused") << "0" << true << 3 << "Размер сетки меньше 1";
    QTest::newRow("not a number refused") << "abc" << false << 3 << "Размер сетки меньше 1";
    QTest::newRow("negative refused") << "-5" << false << 3 << "Размер сетки меньше 1";
    QTest::newRow("larger than the page refused") << "100000" << false << 3 << "Размер сетки больше 480";
}

void PageEditingTest::grid()
{
    QFETCH(QString, typed);
    QFETCH(bool, buttonGrid);
    QFETCH(int, step);
    QFETCH(QString, message);
    auto s = std::make_unique<ScadaPages>();
    s->grid_step = s->grid_step_copy = 3;
    const auto refused = applyGrid(*s, typed, buttonGrid);
    QCOMPARE(refused.value_or(QString()), message);
    QCOMPARE(int(s->grid_step), step);
    QCOMPARE(int(s->grid_step_copy), step);
    const int enabled = message.isEmpty() && buttonGrid ? 1 : 0;
    QCOMPARE(int(s->grid_enabled), enabled);
    QCOMPARE(int(s->grid_enabled_copy), enabled);
}

void PageEditingTest::background_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("pixel");
    QTest::newRow("gif, first frame") << "pump.gif" << gifBytes({0, 1}) << "\\pump.gif" << "pump" << QColor(Qt::red);
    QTest::newRow("four-letter extension") << "pump.jpeg" << pngBytes(Qt::green) << "\\pump.jpeg" << "pump" << QColor(Qt::green);
    QTest::newRow("no extension") << "pumpstation" << pngBytes(Qt::green) << "\\pumpstation" << "pumpstation" << QColor(Qt::green);
    QTest::newRow("dots in the name") << "boiler.v2.gif" << gifBytes({1}) << "\\boiler.v2.gif" << "boiler.v2" << QColor(Qt::blue);
}

void PageEditingTest::background()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reference);
    QFETCH(QString, caption);
    QFETCH(QColor, pixel);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(writeFile(path, bytes));
    Fixture f;
    f.state.current_page = 2;  // page 3
    ScriptedInteraction ui;
    ui.fileAnswers << path;
    const PageChanges changes = f.editor.chooseBackground(ui);
    QCOMPARE(ui.askedFilters, QStringList{"gif file|*.gif"});
    QVERIFY(ui.messages.isEmpty());
    QVERIFY(changes.background);
    QCOMPARE(changes.page, 2);
    QCOMPARE(changes.tab_caption, caption);
    QCOMPARE(changes.picture.pixelColor(0, 0), pixel);
    QCOMPARE(f.pages->shortRef(2), reference);
    QCOMPARE(f.pages->fullPath(2), path);
    QCOMPARE(int(f.pages->background_kind[2]), 1);
    QCOMPARE(pageTabCaption(*f.pages, 2), caption);
    // Page 3 only.
    for (int p = 0; p < ScadaPages::kShownPages; ++p) {
        if (p == 2)
            continue;
        QVERIFY(f.pages->shortRef(p).isEmpty() && f.pages->fullPath(p).isEmpty());
        QCOMPARE(int(f.pages->background_kind[size_t(p)]), 0);
        QCOMPARE(pageTabCaption(*f.pages, p), QStringLiteral("Страница %1").arg(p + 1));
    }
}

void PageEditingTest::backgroundRefusedOrCancelled()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.gif");
    QVERIFY(writeFile(bad, "not a picture at all"));
    Fixture f;
    f.pages->shortRef(0) = QStringLiteral("\\old.gif");
    f.pages->fullPath(0) = QStringLiteral("/somewhere/old.gif");
    f.pages->background_kind[0] = 1;
    const auto before = f.pages->background_refs;
    ScriptedInteraction ui;
    ui.fileAnswers << bad << dir.filePath("missing.gif");
    QVERIFY(f.editor.chooseBackground(ui).isEmpty());
    QVERIFY(f.editor.chooseBackground(ui).isEmpty());
    QCOMPARE(ui.texts(), QStringList({"Не правильный тип файла", "Не правильный тип файла"}));
    QVERIFY(f.editor.chooseBackground(ui).isEmpty()); // cancelled
    QCOMPARE(ui.messages.size(), 2);
    QCOMPARE(f.pages->background_refs, before);
    QCOMPARE(int(f.pages->background_kind[0]), 1);
}

void PageEditingTest::backgroundFromProjectFolder()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("pump.gif"), gifBytes({1})));
    auto s = std::make_unique<ScadaPages>();
    s->background_kind[4] = 1;
    s->shortRef(4) = QStringLiteral("\\pump.gif");
    s->fullPath(4) = QStringLiteral("C:\\pics\\pump.gif"); // the path of another machine
    const QImage picture = loadPageBackground(*s, 4, dir.path());
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.pixelColor(0, 0), QColor(Qt::blue));
    QVERIFY(loadPageBackground(*s, 4, QStringLiteral("/nonexistent")).isNull());
    s->background_kind[4] = 0; // a fill-colour page shows no picture
    QVERIFY(loadPageBackground(*s, 4, dir.path()).isNull());
}

void PageEditingTest::fillColourAndPipette()
{
    Fixture f;
    f.state.current_page = 6;
    f.pages->background_kind[6] = 1;
    f.pages->shortRef(6) = QStringLiteral("\\a.gif");
    ScriptedInteraction ui;
    ui.colorAnswers << QColor(0x12, 0x34, 0x56);
    const PageChanges changes = f.editor.chooseFillColor(ui);
    QVERIFY(changes.background);
    QCOMPARE(f.pages->fill_color[6], 0x563412); // red in the lowest byte
    QCOMPARE(int(f.pages->background_kind[6]), 0);
    QCOMPARE(pageTabCaption(*f.pages, 6), QStringLiteral("Страница 7"));
    QVERIFY(f.editor.chooseFillColor(ui).isEmpty()); // cancelled
    QCOMPARE(f.pages->fill_color[6], 0x563412);
    f.editor.pageClick(QColor(0xff, 0x80, 0x00));
    QCOMPARE(f.state.PipetteColor, 0x0080ff);
}

void PageEditingTest::clockDeletion()
{
    Fixture f;
    f.editor.insert(ObjectKind::Clock);
    AskingInteraction ui;
    ui.questionAnswers << false << true;
    QVERIFY(f.editor.deleteClock(ui, 0).isEmpty());
    QCOMPARE(f.pages->clock[1].used, int16_t(1));
    const PageChanges changes = f.editor.deleteClock(ui, 0);
    QCOMPARE(changes.removed, (QList<ElementRef>{{ObjectKind::Clock, 0, 1}}));
    QCOMPARE(ui.questions, QStringList({"Удалить часы?", "Удалить часы?"}));
    QCOMPARE((QList<int>{f.pages->clock[1].used, f.pages->clock[1].x, f.pages->clock[1].y}), (QList<int>{0, 0, 0}));
    QVERIFY(f.editor.deleteClock(ui, 0).isEmpty()); // no clock: nothing asked
    QCOMPARE(ui.questions.size(), 2);
}

void PageEditingTest::menuText()
{
    Fixture f;
    const ElementRef menu = f.place(ObjectKind::Menu, 1, 2, {10, 10});
    QCOMPARE(f.editor.setMenuText(menu, QStringLiteral("Насосы")).updated, QList<ElementRef>{menu});
    QCOMPARE(f.pages->menu[1][2].text, QStringLiteral("Насосы"));
    QVERIFY(f.editor.setMenuText({ObjectKind::Menu, 1, 0}, QStringLiteral("x")).isEmpty());
    QVERIFY(f.pages->menu[1][0].text.isEmpty());
    QVERIFY(f.editor.setMenuText({ObjectKind::Menu, 1, 9}, QStringLiteral("x")).isEmpty());
}

QTEST_MAIN(PageEditingTest)
#include "test_page_editing.moc"
