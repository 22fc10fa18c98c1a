// The page editor from the keyboard and with the zoom, through real key,
// mouse and wheel events on the canvases: Delete, the arrows within each
// kind's range and the lock, Esc, Ctrl+A, Ctrl+C / Ctrl+V / Ctrl+X with one
// undo step each, Shift+click and the selection marks, "Выровнять", the
// figure hit on its line, the zoom (a drag in screen pixels moves by page
// pixels, pixels shown as squares), "Показать сетку" and the status bar.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "scada/page_selection.h"
#include "scada/ui/page_canvas.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGraphicsItem>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

namespace {
const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
}

class PageKeysTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    ScadaEditor& ed() { return app->scadaEditor(); }
    PageCanvas& canvas() { return ed().canvas(7); }
    QWidget* view() { return canvas().viewport(); }

    // The example project in SCADA mode on an empty page 8, lock off, grid step 1.
    void openEmptyPage()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"})
            QVERIFY(QFile::copy(kExamples + u'/' + QString::fromLatin1(name),
                                tmp->filePath(QString::fromLatin1(name))));
        QVERIFY(app->openProjectFile(tmp->filePath(QStringLiteral("boiler.prt"))));
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        window->scadaActions().lock->setChecked(false);
        ws->pages.grid_step = ws->pages.grid_step_copy = 1;
        ws->pages.grid_enabled = ws->pages.grid_enabled_copy = 0;
        for (int k = 0; k < kNumberedKinds; ++k)
            for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
                withRecord(ws->pages, {ObjectKind(k), 7, n}, [](auto& e) { e = std::decay_t<decltype(e)>{}; });
        *ws->pages.grafikOfPage(7) = {};
        *ws->pages.clockOfPage(7) = {};
        window->pageTabs().setCurrentIndex(7);
        canvas().rebuild();
        QCOMPARE(ed().state().current_page, 7);
    }

    ElementRef place(ObjectKind kind, int number, QPoint pos)
    {
        const ElementRef ref{kind, 7, number};
        withRecord(ws->pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(ws->pages, ref, pos);
        PageChanges created;
        created.created.append(ref);
        ed().apply(created);
        return ref;
    }
    ElementRef level(int number, QRect r)
    {
        ws->pages.level[7][size_t(number)].width = int16_t(r.width());
        ws->pages.level[7][size_t(number)].height = int16_t(r.height());
        return place(ObjectKind::Level, number, r.topLeft());
    }
    QPoint pos(const ElementRef& ref) { return recordObjectPos(ws->pages, ref); }
    QPoint itemPos(const ElementRef& ref)
    {
        const QGraphicsItem* item = canvas().elementItem(ref);
        return item ? item->pos().toPoint() : QPoint(-1, -1);
    }
    // Viewport position of a page point at the current zoom and scroll.
    QPoint screen(QPoint page) { return canvas().mapFromScene(QPointF(page) + QPointF(0.25, 0.25)); }
    void hover(QPoint viewportPos)
    {
        QMouseEvent move(QEvent::MouseMove, viewportPos, view()->mapToGlobal(viewportPos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
    }
    void leave()
    {
        QEvent gone(QEvent::Leave);
        QApplication::sendEvent(view(), &gone);
    }
    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(&canvas(), Qt::Key(k), mods); }
    QString undoText() { return window->editActions().undo->text(); }
    QString status(const char* name) { return window->findChild<QLabel*>(QLatin1String(name))->text(); }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        window = std::make_unique<MainWindow>(*ws, *ui);
        app = std::make_unique<AppController>(*ws, *ui, *window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        window->close();
        app.reset();
        window.reset();
    }

    void keys_data();
    void keys();
    void selectAllCopyPasteCut();
    void shiftClickMarksTheSelection();
    void alignFromTheMenu();
    void figureLetsWhatItFramesBeClicked();
    void groupMoveKeepsItsShape();
    void zoom();
    void gridDots();
    void statusBar();
};

void PageKeysTest::keys_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QList<int>>("keys");      // key codes, Shift as a prefix code 0
    QTest::addColumn<bool>("lock");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<bool>("kept");           // the element is still there
    // Grid step 10; the element was clicked first.
    const int shift = 0;
    QTest::newRow("right") << ObjectKind::Level << QPoint(100, 100) << QList<int>{Qt::Key_Right} << false << QPoint(101, 100) << true;
    QTest::newRow("left, up, down") << ObjectKind::Level << QPoint(100, 100)
        << QList<int>{Qt::Key_Left, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down} << false << QPoint(99, 99) << true;
    QTest::newRow("shift down a grid step") << ObjectKind::Level << QPoint(100, 100) << QList<int>{shift, Qt::Key_Down} << false << QPoint(100, 110) << true;
    QTest::newRow("right edge 790") << ObjectKind::Level << QPoint(790, 100) << QList<int>{Qt::Key_Right} << false << QPoint(790, 100) << true;
    QTest::newRow("shift right shortened") << ObjectKind::Level << QPoint(786, 100) << QList<int>{shift, Qt::Key_Right} << false << QPoint(790, 100) << true;
    QTest::newRow("top edge 1") << ObjectKind::Level << QPoint(100, 1) << QList<int>{Qt::Key_Up} << false << QPoint(100, 1) << true;
    QTest::newRow("go-to to 0") << ObjectKind::GoBlock << QPoint(1, 1) << QList<int>{Qt::Key_Left, Qt::Key_Up} << false << QPoint(0, 0) << true;
    QTest::newRow("mechanism bottom 445") << ObjectKind::Vent << QPoint(100, 440) << QList<int>{shift, Qt::Key_Down} << false << QPoint(100, 445) << true;
    QTest::newRow("lock") << ObjectKind::Level << QPoint(100, 100) << QList<int>{Qt::Key_Right, shift, Qt::Key_Down} << true << QPoint(100, 100) << true;
    QTest::newRow("delete") << ObjectKind::Level << QPoint(100, 100) << QList<int>{Qt::Key_Delete} << false << QPoint(0, 0) << false;
    QTest::newRow("delete under the lock") << ObjectKind::Level << QPoint(100, 100) << QList<int>{Qt::Key_Delete} << true << QPoint(0, 0) << false;
    QTest::newRow("esc, then nothing to move") << ObjectKind::Level << QPoint(100, 100) << QList<int>{Qt::Key_Escape, Qt::Key_Right, Qt::Key_Delete} << false << QPoint(100, 100) << true;
}

void PageKeysTest::keys()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QPoint, from);
    QFETCH(QList<int>, keys);
    QFETCH(bool, lock);
    QFETCH(QPoint, to);
    QFETCH(bool, kept);
    openEmptyPage();
    ws->pages.grid_step = 10;
    ws->pages.level[7][3].width = 10;
    ws->pages.level[7][3].height = 20;
    const ElementRef ref = place(kind, 3, from);
    QTest::mouseClick(view(), Qt::LeftButton, {}, screen(from + QPoint(2, 2)));
    window->scadaActions().lock->setChecked(lock);
    const QString before = undoText();
    Qt::KeyboardModifiers mods;
    for (int k : keys) {
        if (k == 0) {
            mods = Qt::ShiftModifier;
            continue;
        }
        key(k, mods);
        mods = {};
    }
    QCOMPARE(isOccupied(ws->pages, ref), kept);
    QCOMPARE(canvas().elementItem(ref) != nullptr, kept);
    if (kept) {
        QCOMPARE(pos(ref), to);
        QCOMPARE(itemPos(ref), to);
    }
    // A change is one step; nothing done, no step.
    if (kept && to == from)
        QCOMPARE(undoText(), before);
    else
        QVERIFY(undoText() != before);
}

void PageKeysTest::selectAllCopyPasteCut()
{
    openEmptyPage();
    const ElementRef a = level(1, {100, 50, 10, 20});
    const ElementRef b = level(2, {130, 70, 10, 20});
    place(ObjectKind::Menu, 1, {300, 300}); // never selected
    key(Qt::Key_A, Qt::ControlModifier);
    QVERIFY(canvas().frameItem()->isVisible());
    QCOMPARE(ed().state().frame.rect, QRect(99, 49, 42, 42));
    QCOMPARE(selectedElements(ws->pages, ed().state()), (QList<ElementRef>{a, b}));

    // The pointer is off the page: the copy lands 10 pixels right and down.
    key(Qt::Key_C, Qt::ControlModifier);
    leave();
    key(Qt::Key_V, Qt::ControlModifier);
    const ElementRef a2{ObjectKind::Level, 7, 3}, b2{ObjectKind::Level, 7, 4};
    QCOMPARE(pos(a2), QPoint(110, 60));
    QCOMPARE(pos(b2), QPoint(140, 80));
    QCOMPARE(undoText(), QStringLiteral("&Отменить вставка из буфера"));
    // The pasted group is what the keys act on next.
    QCOMPARE(selectedElements(ws->pages, ed().state()), (QList<ElementRef>{a2, b2}));
    key(Qt::Key_Right);
    QCOMPARE(pos(a2), QPoint(111, 60));
    QCOMPARE(pos(a), QPoint(100, 50));
    // A second paste off the page goes 10 further.
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pos({ObjectKind::Level, 7, 5}), QPoint(120, 70));
    // Over the page it lands at the pointer.
    hover(screen({400, 300}));
    key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pos({ObjectKind::Level, 7, 7}), QPoint(400, 300));
    QCOMPARE(pos({ObjectKind::Level, 7, 8}), QPoint(430, 320));
    window->editActions().undo->trigger();
    QVERIFY(!isOccupied(ws->pages, {ObjectKind::Level, 7, 7}));
    QVERIFY(!canvas().elementItem({ObjectKind::Level, 7, 7}));

    // Ctrl+X: copied, then gone, in one step.
    QTest::mouseClick(view(), Qt::LeftButton, {}, screen({101, 51}));
    key(Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!isOccupied(ws->pages, a));
    QCOMPARE(ed().clipboard().entries().size(), 1);
    QCOMPARE(undoText(), QStringLiteral("&Отменить вырезание"));
    window->editActions().undo->trigger();
    QVERIFY(isOccupied(ws->pages, a));
    QVERIFY(canvas().elementItem(a));
}

void PageKeysTest::shiftClickMarksTheSelection()
{
    openEmptyPage();
    const ElementRef a = level(1, {100, 100, 10, 20});
    const ElementRef b = level(2, {300, 200, 20, 10});
    const ElementRef c = level(3, {200, 150, 10, 10});
    const QImage plain = canvas().renderStaticLayer();
    const QImage shown = canvas().renderPage();
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, screen({101, 101}));
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, screen({301, 201}));
    QCOMPARE(selectedElements(ws->pages, ed().state()), (QList<ElementRef>{a, b}));
    QCOMPARE(ed().state().frame.rect, QRect(99, 99, 222, 112));
    QCOMPARE(status("StatusSelected"), QStringLiteral("Выделено: 2"));
    // Nothing moved with the clicks.
    QCOMPARE(pos(a), QPoint(100, 100));
    // Marked on the canvas, in white and black, never in the page image.
    QVERIFY(canvas().marksItem()->isVisible());
    const QImage marked = canvas().renderPage();
    QSet<QRgb> outline;
    for (int y = 200; y < 210; ++y)
        outline << marked.pixel(299, y);
    QCOMPARE(outline, (QSet<QRgb>{QColor(Qt::white).rgb(), QColor(Qt::black).rgb()}));
    QCOMPARE(marked.pixelColor(204, 155), shown.pixelColor(204, 155)); // c is not marked
    QCOMPARE(canvas().renderStaticLayer(), plain);
    QCOMPARE(canvas().colorAt({299, 205}), shown.pixelColor(299, 205));
    // Shift+click again takes it out; Esc drops the rest.
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, screen({101, 101}));
    QCOMPARE(selectedElements(ws->pages, ed().state()), QList<ElementRef>{b});
    key(Qt::Key_Escape);
    QVERIFY(!canvas().frameItem()->isVisible());
    QCOMPARE(canvas().renderPage(), shown);
    Q_UNUSED(c);
}

void PageKeysTest::alignFromTheMenu()
{
    openEmptyPage();
    const ElementRef a = level(1, {100, 50, 20, 10});
    const ElementRef b = level(2, {130, 80, 40, 30});
    app->commit(QStringLiteral("два уровня"));
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, screen({101, 51}));
    // "Выровнять" needs two, "Распределить" three.
    emit window->editMenu()->aboutToShow();
    QVERIFY(!window->editActions().align->menuAction()->isEnabled());
    QTest::mouseClick(view(), Qt::LeftButton, Qt::ShiftModifier, screen({131, 81}));
    emit window->editMenu()->aboutToShow();
    QVERIFY(window->editActions().align->menuAction()->isEnabled());
    QVERIFY(!window->editActions().distribute->menuAction()->isEnabled());
    window->editActions().alignItems[1]->trigger(); // right edges
    QCOMPARE(pos(a), QPoint(150, 50));
    QCOMPARE(pos(b), QPoint(130, 80));
    QCOMPARE(itemPos(a), QPoint(150, 50));
    QCOMPARE(undoText(), QStringLiteral("&Отменить выравнивание"));
    window->editActions().undo->trigger();
    QCOMPARE(pos(a), QPoint(100, 50));
}

// A text inside a frame figure is double-clicked and dragged itself; the
// figure is taken on its line.
void PageKeysTest::figureLetsWhatItFramesBeClicked()
{
    openEmptyPage();
    ws->pages.figura[7][1] = {0, 0, 0, 300, 200, 0, 0, 3};
    const ElementRef frame = place(ObjectKind::Figura, 1, {50, 50});
    ws->pages.text[7][1].text = QStringLiteral("Заголовок");
    ws->pages.text[7][1].font_name = QStringLiteral("Arial");
    ws->pages.text[7][1].font_size = 10;
    const ElementRef title = place(ObjectKind::Text, 1, {100, 100});
    // What the double-click opens is not of interest here.
    disconnect(&canvas(), &PageCanvas::elementDoubleClicked, nullptr, nullptr);
    QSignalSpy opened(&canvas(), &PageCanvas::elementDoubleClicked);
    QTest::mouseDClick(view(), Qt::LeftButton, {}, screen({51, 150}));
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.at(0).at(0).value<ElementRef>(), frame);
    // A second double-click at once, event by event (QTest's own would be
    // taken for a triple click).
    const QPoint at = screen({105, 105});
    QTest::mousePress(view(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, view()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view(), &twice);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(opened.at(1).at(0).value<ElementRef>(), title);
    QTest::mousePress(view(), Qt::LeftButton, {}, screen({105, 105}));
    QTest::mouseMove(view(), screen({125, 115}));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, screen({125, 115}));
    QCOMPARE(pos(title), QPoint(120, 110));
    QCOMPARE(pos(frame), QPoint(50, 50));
}

// Two elements 6 pixels apart on a grid of 10 stay 6 pixels apart.
void PageKeysTest::groupMoveKeepsItsShape()
{
    openEmptyPage();
    ws->pages.grid_step = 10;
    const ElementRef a = level(1, {101, 100, 5, 20});
    const ElementRef b = level(2, {107, 100, 5, 20});
    QTest::mousePress(view(), Qt::LeftButton, {}, screen({90, 90}));
    QTest::mouseMove(view(), screen({150, 150}));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, screen({150, 150}));
    QTest::mousePress(view(), Qt::LeftButton, {}, screen({140, 140}));
    for (int i = 1; i <= 4; ++i)
        QTest::mouseMove(view(), screen(QPoint(140, 140) + QPoint(23, 14) * i / 4));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, screen({163, 154}));
    QCOMPARE(pos(a), QPoint(121, 110));
    QCOMPARE(pos(b), QPoint(127, 110));
    QCOMPARE(itemPos(b), QPoint(127, 110));
    QCOMPARE(undoText(), QStringLiteral("&Отменить перемещение группы"));
}

void PageKeysTest::zoom()
{
    openEmptyPage();
    const ElementRef a = level(1, {100, 100, 10, 20});
    key(Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(canvas().zoom(), 200);
    QCOMPARE(ed().canvas(0).zoom(), 200);
    // A drag of (+50, +40) screen pixels moves the element by (+25, +20).
    const QPoint start = screen({102, 102});
    QTest::mousePress(view(), Qt::LeftButton, {}, start);
    for (int i = 1; i <= 5; ++i)
        QTest::mouseMove(view(), start + QPoint(50, 40) * i / 5);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, start + QPoint(50, 40));
    QCOMPARE(pos(a), QPoint(125, 120));
    // The frame too is drawn in page pixels.
    const QPoint from = screen({300, 300});
    QTest::mousePress(view(), Qt::LeftButton, {}, from);
    QTest::mouseMove(view(), from + QPoint(40, 20));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, from + QPoint(40, 20));
    QCOMPARE(ed().state().frame.rect, QRect(300, 300, 20, 10));

    // Ctrl+wheel steps the zoom; the page point under the pointer stays.
    const QPoint under = screen({125, 125});
    const QPointF before = canvas().mapToScene(under);
    QWheelEvent wheel(under, view()->mapToGlobal(under), {}, {0, 120}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(view(), &wheel);
    QCOMPARE(canvas().zoom(), 300);
    QVERIFY((canvas().mapToScene(under) - before).manhattanLength() <= 1);
    key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier); // Ctrl+Shift+= on many keyboards
    key(Qt::Key_Equal, Qt::ControlModifier);
    QCOMPARE(canvas().zoom(), 400);
    // Page pixels are shown as squares of 4 x 4 screen pixels, also the text's.
    ws->pages.text[7][1].text = QStringLiteral("Ж");
    ws->pages.text[7][1].font_name = QStringLiteral("Arial");
    ws->pages.text[7][1].font_size = 10;
    place(ObjectKind::Text, 1, {120, 110});
    canvas().setZoom(400, QPoint(0, 0));
    canvas().centerOn(QPointF(125, 118));
    const QImage grabbed = view()->grab().toImage();
    const QPoint origin = canvas().mapFromScene(QPointF(110, 105));
    int blocks = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const QPoint corner = origin + QPoint(4 * x, 4 * y);
            const QColor c = grabbed.pixelColor(corner);
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                    QCOMPARE(grabbed.pixelColor(corner + QPoint(dx, dy)), c);
            ++blocks;
        }
    QCOMPARE(blocks, 400);
    key(Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(canvas().zoom(), 100);
    key(Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(canvas().zoom(), 100);
}

void PageKeysTest::gridDots()
{
    openEmptyPage();
    ws->pages.fill_color[7] = 0; // black page
    canvas().resync();
    QMenu* scada = window->menu(QStringLiteral("MnuSCADA1"));
    const QList<QAction*> items = scada->actions();
    QAction* show = window->scadaActions().showGrid;
    QCOMPARE(show->text(), QStringLiteral("Показать сетку"));
    QCOMPARE(items.indexOf(show), items.indexOf(window->scadaActions().grid) + 1);
    ws->pages.grid_step = 10;
    const QImage plain = canvas().renderStaticLayer();
    show->trigger();
    QVERIFY(canvas().gridShown());
    const QImage grabbed = view()->grab().toImage();
    QCOMPARE(grabbed.pixelColor(20, 30), QColor(Qt::white));
    QCOMPARE(grabbed.pixelColor(21, 30), QColor(Qt::black));
    QCOMPARE(canvas().renderStaticLayer(), plain);
    QCOMPARE(canvas().colorAt({20, 30}), QColor(Qt::black));
    show->trigger();
    QVERIFY(!canvas().gridShown());
}

void PageKeysTest::statusBar()
{
    openEmptyPage();
    const ElementRef a = level(1, {100, 100, 10, 20});
    hover(screen({300, 200}));
    QCOMPARE(status("StatusPointer"), QStringLiteral("X: 300  Y: 200"));
    QCOMPARE(status("StatusElement"), QString());
    hover(screen({105, 110}));
    QCOMPARE(status("StatusElement"), QStringLiteral("Уровень 1, X - 100, Y - 100, 10 x 20"));
    QCOMPARE(status("StatusSelected"), QStringLiteral("Выделено: 0"));
    // While dragging, the live position.
    QTest::mousePress(view(), Qt::LeftButton, {}, screen({105, 110}));
    QTest::mouseMove(view(), screen({135, 130}));
    QCOMPARE(status("StatusElement"), QStringLiteral("Уровень 1, X - 130, Y - 120, 10 x 20"));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, screen({135, 130}));
    key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(status("StatusSelected"), QStringLiteral("Выделено: 1"));
    Q_UNUSED(a);
}

QTEST_MAIN(PageKeysTest)
#include "test_page_keys.moc"
