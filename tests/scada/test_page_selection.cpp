// The selection of the page editor and what acts on it: the outline hit test
// of figures, the group move that keeps its shape, select all, Shift+click,
// Esc, the arrow keys within each kind's range, "Выровнять" and "Распределить".
#include "editor_fixture.h"
#include "scada/page_selection.h"

#include <QTest>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)
Q_DECLARE_METATYPE(Alignment)

namespace {

using Fixture = fixture::Editor;

// A level of the given size at an object position (its rectangle is exactly that).
ElementRef level(Fixture& f, int number, QRect r)
{
    f.pages->level[0][size_t(number)].width = int16_t(r.width());
    f.pages->level[0][size_t(number)].height = int16_t(r.height());
    return f.place(ObjectKind::Level, 0, number, r.topLeft());
}

QList<QPoint> positions(Fixture& f, const QList<ElementRef>& refs)
{
    QList<QPoint> out;
    for (const ElementRef& ref : refs)
        out << recordObjectPos(*f.pages, ref);
    return out;
}

} // namespace

class PageSelectionTest : public QObject {
    Q_OBJECT
private slots:
    void figureHitOnItsLine_data();
    void figureHitOnItsLine();
    void textInsideAFrameIsItsOwn();
    void groupMoveKeepsItsShape();
    void nudge_data();
    void nudge();
    void nudgeKeepsTheGroupsShapeAtTheEdge();
    void selectAllToggleAndEscape();
    void drawnFrameMarksWhatIsStrictlyInside();
    void keysFallBackToTheElementLastClicked();
    void align_data();
    void align();
    void alignNeedsTwo();
    void distribute();
};

void PageSelectionTest::figureHitOnItsLine_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("line");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("hit");
    // Rectangle box (100, 100) 200 x 100: edges at x 100 and 300, y 100 and 200.
    QTest::newRow("on the left edge") << 0 << 1 << QPoint(100, 150) << true;
    QTest::newRow("3 px outside the left edge") << 0 << 1 << QPoint(97, 150) << true;
    QTest::newRow("5 px outside") << 0 << 1 << QPoint(95, 150) << false;
    QTest::newRow("3 px inside") << 0 << 1 << QPoint(103, 150) << true;
    QTest::newRow("4 px inside") << 0 << 1 << QPoint(104, 150) << false;
    QTest::newRow("the middle") << 0 << 1 << QPoint(200, 150) << false;
    QTest::newRow("on the bottom edge") << 0 << 1 << QPoint(250, 201) << true;
    QTest::newRow("thick line reaches further in") << 0 << 6 << QPoint(106, 150) << true;
    // Circle box (100, 100) 100 x 100, line 3: ring radius 50 about (150, 150).
    QTest::newRow("circle top") << 1 << 3 << QPoint(150, 100) << true;
    QTest::newRow("circle near outside") << 1 << 3 << QPoint(150, 96) << true;
    QTest::newRow("circle far outside") << 1 << 3 << QPoint(150, 94) << false;
    QTest::newRow("circle centre") << 1 << 3 << QPoint(150, 150) << false;
    QTest::newRow("circle box corner") << 1 << 3 << QPoint(102, 102) << false;
}

void PageSelectionTest::figureHitOnItsLine()
{
    QFETCH(int, type);
    QFETCH(int, line);
    QFETCH(QPoint, point);
    QFETCH(bool, hit);
    FiguraElement e;
    e.used = 1;
    e.x = 100;
    e.y = 100;
    e.size_x = type == 1 ? 100 : 200;
    e.size_y = 100;
    e.type = int16_t(type);
    e.line_width = int16_t(line);
    QCOMPARE(figureLineHit(e, point), hit);
}

void PageSelectionTest::textInsideAFrameIsItsOwn()
{
    Fixture f;
    f.pages->figura[0][1].size_x = 300;
    f.pages->figura[0][1].size_y = 200;
    f.pages->figura[0][1].line_width = 3;
    const ElementRef frame = f.place(ObjectKind::Figura, 0, 1, {50, 50});
    f.pages->text[0][1].text = QStringLiteral("Заголовок");
    f.pages->text[0][1].font_name = QStringLiteral("Arial");
    f.pages->text[0][1].font_size = 10;
    const ElementRef title = f.place(ObjectKind::Text, 0, 1, {100, 100});
    QCOMPARE(f.editor.elementAt(0, {105, 105}), std::optional<ElementRef>(title));
    QCOMPARE(f.editor.elementAt(0, {51, 120}), std::optional<ElementRef>(frame));
    QCOMPARE(f.editor.elementAt(0, {200, 200}), std::nullopt);
}

// Elements 6 pixels apart on a grid of 10 keep their 6 pixels.
void PageSelectionTest::groupMoveKeepsItsShape()
{
    Fixture f;
    f.pages->grid_step = 10;
    const ElementRef a = level(f, 1, {101, 100, 5, 20});
    const ElementRef b = level(f, 2, {107, 100, 5, 20});
    f.frame({90, 90}, {150, 150});
    f.editor.pagePress({120, 120});
    f.editor.pageDrag({133, 124});
    QCOMPARE(f.editor.objectPos(a), QPoint(111, 100));
    QCOMPARE(f.editor.objectPos(b), QPoint(117, 100));
    QCOMPARE(f.state.frame.rect.topLeft(), QPoint(100, 90));
    f.editor.pageDrag({96, 141});
    f.editor.pageRelease({96, 141});
    QCOMPARE(positions(f, {a, b}), (QList<QPoint>{{81, 120}, {87, 120}}));
}

void PageSelectionTest::nudge_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("direction");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("lock");
    QTest::addColumn<QPoint>("to");
    // Grid step 10 throughout.
    QTest::newRow("right 1 px") << ObjectKind::Parametr << QPoint(100, 100) << QPoint(1, 0) << false << false << QPoint(101, 100);
    QTest::newRow("up a grid step") << ObjectKind::Parametr << QPoint(100, 100) << QPoint(0, -1) << true << false << QPoint(100, 90);
    QTest::newRow("right edge stops") << ObjectKind::Parametr << QPoint(790, 100) << QPoint(1, 0) << false << false << QPoint(790, 100);
    QTest::newRow("grid step shortened at the edge") << ObjectKind::Parametr << QPoint(785, 100) << QPoint(1, 0) << true << false << QPoint(790, 100);
    QTest::newRow("left edge 1") << ObjectKind::Level << QPoint(1, 100) << QPoint(-1, 0) << false << false << QPoint(1, 100);
    QTest::newRow("go-to reaches 0") << ObjectKind::GoBlock << QPoint(1, 1) << QPoint(-1, -1) << false << false << QPoint(0, 0);
    QTest::newRow("go-to bottom 440") << ObjectKind::GoBlock << QPoint(100, 435) << QPoint(0, 1) << true << false << QPoint(100, 440);
    QTest::newRow("mechanism right 765") << ObjectKind::Vent << QPoint(765, 445) << QPoint(1, 1) << false << false << QPoint(765, 445);
    QTest::newRow("signal keeps its list") << ObjectKind::Signal << QPoint(100, 100) << QPoint(0, 1) << true << false << QPoint(100, 110);
    QTest::newRow("lock on") << ObjectKind::Parametr << QPoint(100, 100) << QPoint(1, 1) << true << true << QPoint(100, 100);
}

void PageSelectionTest::nudge()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QPoint, from);
    QFETCH(QPoint, direction);
    QFETCH(bool, grid);
    QFETCH(bool, lock);
    QFETCH(QPoint, to);
    Fixture f;
    f.pages->grid_step = 10;
    f.pages->signal[0][3].y = int16_t(packListY(0, 5));
    const ElementRef ref = f.place(kind, 0, 3, from);
    f.state.lock = lock;
    f.editor.elementPress(ref, from + QPoint(1, 1));
    ostrel::nudge(*f.pages, f.state, direction, grid);
    QCOMPARE(recordObjectPos(*f.pages, ref), to);
    if (kind == ObjectKind::Signal)
        QCOMPARE(listNumber(f.pages->signal[0][3].y), 5);
}

void PageSelectionTest::nudgeKeepsTheGroupsShapeAtTheEdge()
{
    Fixture f;
    f.pages->grid_step = 10;
    const ElementRef a = level(f, 1, {784, 100, 5, 20});
    const ElementRef b = level(f, 2, {700, 100, 5, 20});
    selectAll(*f.pages, f.state);
    ostrel::nudge(*f.pages, f.state, {1, 0}, true);
    QCOMPARE(positions(f, {a, b}), (QList<QPoint>{{790, 100}, {706, 100}}));
    // The frame follows the group.
    QCOMPARE(f.state.frame.rect, QRect(705, 99, 91, 22));
}

void PageSelectionTest::selectAllToggleAndEscape()
{
    Fixture f;
    const ElementRef a = level(f, 1, {100, 100, 10, 10});
    const ElementRef b = level(f, 2, {300, 200, 20, 10});
    f.pages->menu[0][1].used = 1;   // menus are never selected
    f.state.current_page = 0;
    selectAll(*f.pages, f.state);
    QCOMPARE(selectedElements(*f.pages, f.state), (QList<ElementRef>{a, b}));
    QCOMPARE(f.state.frame.rect, QRect(99, 99, 222, 112));
    QVERIFY(f.state.frame.visible);

    toggleSelected(*f.pages, f.state, a);
    QCOMPARE(selectedElements(*f.pages, f.state), QList<ElementRef>{b});
    QCOMPARE(f.state.frame.rect, QRect(299, 199, 22, 12));
    // A press inside a picked frame moves what was picked, not what it encloses.
    const ElementRef c = level(f, 3, {305, 202, 5, 5});
    f.editor.pagePress({310, 205});
    QVERIFY(!f.state.isSelected(c));
    f.editor.pageRelease({310, 205});

    toggleSelected(*f.pages, f.state, b);
    QVERIFY(selectedElements(*f.pages, f.state).isEmpty());
    QVERIFY(!f.state.frame.visible);

    toggleSelected(*f.pages, f.state, a);
    f.state.handle_visible = true;
    clearSelection(f.state);
    QVERIFY(!f.state.frame.visible);
    QVERIFY(!f.state.handle_visible);
    QVERIFY(selectedElements(*f.pages, f.state).isEmpty());
}

// A drawn frame marks what copy and delete would take: not the element on its border.
void PageSelectionTest::drawnFrameMarksWhatIsStrictlyInside()
{
    Fixture f;
    const ElementRef inside = level(f, 1, {120, 120, 10, 10});
    const ElementRef border = level(f, 2, {100, 130, 10, 10});
    f.frame({100, 100}, {200, 200});
    QVERIFY(f.state.isSelected(inside));
    QVERIFY(!f.state.isSelected(border));
    QCOMPARE(selectedElements(*f.pages, f.state), QList<ElementRef>{inside});
}

void PageSelectionTest::keysFallBackToTheElementLastClicked()
{
    Fixture f;
    const ElementRef a = level(f, 1, {100, 100, 10, 10});
    QVERIFY(selectedElements(*f.pages, f.state).isEmpty());
    f.editor.elementPress(a, {101, 101});
    QCOMPARE(selectedElements(*f.pages, f.state), QList<ElementRef>{a});
    // Another page's element is not the current page's.
    f.state.current_page = 1;
    QVERIFY(selectedElements(*f.pages, f.state).isEmpty());
    f.state.current_page = 0;
    // A frame shown on the page takes over, even an empty one.
    f.frame({300, 300}, {350, 350});
    QVERIFY(selectedElements(*f.pages, f.state).isEmpty());
}

void PageSelectionTest::align_data()
{
    QTest::addColumn<Alignment>("how");
    QTest::addColumn<QList<QPoint>>("to");
    // Rectangles (100, 50) 20 x 10, (130, 80) 40 x 30, (110, 120) 10 x 20;
    // around them (100, 50) .. (170, 140), 70 x 90.
    QTest::newRow("left edges") << Alignment::Left << QList<QPoint>{{100, 50}, {100, 80}, {100, 120}};
    QTest::newRow("right edges") << Alignment::Right << QList<QPoint>{{150, 50}, {130, 80}, {160, 120}};
    QTest::newRow("top edges") << Alignment::Top << QList<QPoint>{{100, 50}, {130, 50}, {110, 50}};
    QTest::newRow("bottom edges") << Alignment::Bottom << QList<QPoint>{{100, 130}, {130, 110}, {110, 120}};
    QTest::newRow("horizontal centres") << Alignment::HorizontalCentres << QList<QPoint>{{125, 50}, {115, 80}, {130, 120}};
    QTest::newRow("vertical centres") << Alignment::VerticalCentres << QList<QPoint>{{100, 90}, {130, 80}, {110, 85}};
}

void PageSelectionTest::align()
{
    QFETCH(Alignment, how);
    QFETCH(QList<QPoint>, to);
    Fixture f;
    const QList<ElementRef> refs{level(f, 1, {100, 50, 20, 10}), level(f, 2, {130, 80, 40, 30}),
                                 level(f, 3, {110, 120, 10, 20})};
    selectAll(*f.pages, f.state);
    const PageChanges changes = ostrel::align(*f.pages, f.state, how);
    QCOMPARE(positions(f, refs), to);
    QVERIFY(changes.frame);
}

void PageSelectionTest::alignNeedsTwo()
{
    Fixture f;
    const ElementRef a = level(f, 1, {100, 50, 20, 10});
    f.pages->grid_step = 1;
    selectAll(*f.pages, f.state);
    QVERIFY(ostrel::align(*f.pages, f.state, Alignment::Right).isEmpty());
    QCOMPARE(recordObjectPos(*f.pages, a), QPoint(100, 50));
    // At the page's edge an element stays within its range.
    const ElementRef b = level(f, 2, {700, 60, 200, 10});
    selectAll(*f.pages, f.state);
    ostrel::align(*f.pages, f.state, Alignment::Right);
    QCOMPARE(recordObjectPos(*f.pages, a), QPoint(790, 50));
    QCOMPARE(recordObjectPos(*f.pages, b), QPoint(700, 60));
}

void PageSelectionTest::distribute()
{
    Fixture f;
    // Lefts 10 (w 20), 50 (w 10), 200 (w 30), 60 (w 5): the outermost are at
    // 10 and 200..230; 220 - 65 = 155 of room in three gaps: 52, 51 (rounded
    // at 52, 103, 155), 52.
    const QList<ElementRef> refs{level(f, 1, {10, 100, 20, 10}), level(f, 2, {50, 300, 10, 40}),
                                 level(f, 3, {200, 10, 30, 10}), level(f, 4, {60, 200, 5, 10})};
    selectAll(*f.pages, f.state);
    QVERIFY(!ostrel::distribute(*f.pages, f.state, Qt::Horizontal).isEmpty());
    QCOMPARE(positions(f, refs), (QList<QPoint>{{10, 100}, {82, 300}, {200, 10}, {143, 200}}));
    // Vertically by tops 10 (h 10), 100 (h 10), 200 (h 10), 300 (h 40): room
    // 330 - 70 = 260, gaps 87, 86, 87.
    ostrel::distribute(*f.pages, f.state, Qt::Vertical);
    QCOMPARE(positions(f, refs), (QList<QPoint>{{10, 107}, {82, 300}, {200, 10}, {143, 203}}));
    // Two are not distributed.
    toggleSelected(*f.pages, f.state, refs[0]);
    toggleSelected(*f.pages, f.state, refs[1]);
    QVERIFY(ostrel::distribute(*f.pages, f.state, Qt::Horizontal).isEmpty());
}

QTEST_MAIN(PageSelectionTest)
#include "test_page_selection.moc"
