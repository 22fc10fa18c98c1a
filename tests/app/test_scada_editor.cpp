// The SCADA page editor as the user drives it: the "&SCADA" menu, the mouse on
// the page canvases (press, move, release, double-click, hover), the
// "&Редактировать" context menu, the grid dialog, backgrounds, the lock, the
// blink tick, and a save and reopen of an edited page.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "app/settings_dialog.h"
#include "project/page_layout.h"
#include "scada/ui/grid_dialog.h"
#include "scada/ui/page_canvas.h"
#include "scada/page_painter.h"
#include "scada/record_fields.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGraphicsItem>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

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

// Every stored field of a record, as the project file has it.
struct FieldText {
    QStringList out;
    void i16(int16_t& v) { out << QString::number(v); }
    void i32(int32_t& v) { out << QString::number(v); }
    void u8(uint8_t& v) { out << QString::number(v); }
    void text(QString& t) { out << t; }
};

// The whole page model as the project file stores it, one entry per line.
struct PageLines : FieldText {
    void label(int page, const QString& kind, int n) { out << QString::number(page) + kind + QString::number(n); }
    void fixed(const QString& s) { out << s; }
    void before_control(ControlElement&) {}
    bool mechanisms() const { return true; }
};

QStringList pageLines(ScadaPages& pages)
{
    PageLines v;
    project::visitPages(pages, v);
    return v.out;
}

} // namespace

class ScadaEditorTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<AskingInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    ScadaEditor& ed() { return app->scadaEditor(); }
    PageCanvas& canvas(int p) { return ed().canvas(p); }
    QWidget* view(int p) { return canvas(p).viewport(); }
    const ScadaActions& menu() { return window->scadaActions(); }

    QString copyExample()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"}) {
            const QString to = tmp->filePath(QString::fromLatin1(name));
            QFile::remove(to);
            if (!QFile::copy(kExamples + u'/' + QString::fromLatin1(name), to))
                return {};
        }
        return tmp->filePath(QStringLiteral("boiler.prt"));
    }

    // The example project open in SCADA mode, lock off, grid step 1.
    void openInScada()
    {
        const QString path = copyExample();
        QVERIFY(!path.isEmpty());
        QVERIFY(app->openProjectFile(path));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        menu().lock->setChecked(false);
        ws->pages.grid_step = ws->pages.grid_step_copy = 1;
        ws->pages.grid_enabled = ws->pages.grid_enabled_copy = 0;
    }

    // Shows page p's tab.
    void showPage(int p)
    {
        window->pageTabs().setCurrentIndex(p);
        QCOMPARE(ed().state().current_page, p);
    }

    // An occupied element of a free slot at an object position, put on its canvas.
    ElementRef place(ObjectKind kind, int page, int number, QPoint pos)
    {
        const ElementRef ref{kind, page, number};
        withRecord(ws->pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(ws->pages, ref, pos);
        PageChanges created;
        created.created.append(ref);
        ed().apply(created);
        return ref;
    }

    // Page p without any element, as a fresh page has it.
    void clearPage(int p)
    {
        for (int k = 0; k < kNumberedKinds; ++k)
            for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
                withRecord(ws->pages, {ObjectKind(k), p, n}, [](auto& e) { e = std::decay_t<decltype(e)>{}; });
        *ws->pages.grafikOfPage(p) = {};
        *ws->pages.clockOfPage(p) = {};
        canvas(p).rebuild();
    }

    QPoint itemPos(const ElementRef& ref)
    {
        const QGraphicsItem* item = canvas(ref.page).elementItem(ref);
        return item ? item->pos().toPoint() : QPoint(-1, -1);
    }

    QPoint recordPos(const ElementRef& ref)
    {
        QPoint p;
        withRecord(ws->pages, ref, [&](const auto& e) { p = QPoint(e.x, e.y); });
        return p;
    }

    // A mouse-move with no button held (hover).
    void hover(int page, QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, view(page)->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view(page), &move);
    }

    // Left button down at `from`, moves in `steps` equal steps to `to`, up.
    void drag(int page, QPoint from, QPoint to, int steps = 1)
    {
        QTest::mousePress(view(page), Qt::LeftButton, {}, from);
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(view(page), from + (to - from) * i / steps);
        QTest::mouseRelease(view(page), Qt::LeftButton, {}, to);
    }

    // A right-button press at `pos` opens "&Редактировать"; its release goes
    // to the open menu, as with a real mouse.
    QMenu* contextMenuAt(int page, QPoint pos)
    {
        QMenu* edit = window->editMenu();
        QTest::mousePress(view(page), Qt::RightButton, {}, pos);
        if (!QTest::qWaitFor([&] { return edit->isVisible(); }))
            return nullptr;
        QTest::mouseRelease(view(page), Qt::RightButton, {}, pos);
        return edit;
    }

    QColor shownColor(int page, QPoint pos) { return canvas(page).renderPage().pixelColor(pos); }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<AskingInteraction>();
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

    void canvasesShowThePagesAsStored();
    void newProjectRebuildsTheCanvases();
    void staticLayerMatchesThePageImage();
    void currentPageAndBlinkFollowTheMode();
    void insertFromMenu_data();
    void insertFromMenu();
    void doubleClickRepeatsTheLastKind();
    void dragSnapsAndKeepsRanges_data();
    void dragSnapsAndKeepsRanges();
    void buttonGridAndType13RoundTrip();
    void groupSelectionAndMove();
    void clickLeavesNoFrameDot();
    void groupStopsAtThePageEdge();
    void resizeKeepsACircleRound();
    void lockStopsDragsUntilAnInsert();
    void blinkTickChangesTheShownColour();
    void tooltipShowsNumberAndPosition();
    void gridDialog();
    void backgroundPictureForOnePage();
    void badBackgroundChangesNothing();
    void fillColour();
    void clockDeletionAsks();
    void menuTextTypedInPlace();
    void contextMenuCopyPasteDelete();
    void editedPageSurvivesSaveAndReopen();
    void hostileRecordsAreShownWithoutHarm();
};

// Opening the example builds every canvas: one item per used element, the
// background picture on page 1; page 1 is current.
void ScadaEditorTest::canvasesShowThePagesAsStored()
{
    openInScada();
    for (int p = 0; p < 8; ++p) {
        QCOMPARE(canvas(p).elementItemCount(), ed().editor().pageElements(p).size());
        QCOMPARE(window->pageCanvas(p), static_cast<QWidget*>(&canvas(p)));
        QCOMPARE(canvas(p).size(), QSize(800, 480));
    }
    QVERIFY(canvas(0).elementItemCount() > 0);
    for (const ElementRef& ref : ed().editor().pageElements(0))
        QCOMPARE(itemPos(ref), ed().editor().objectPos(ref));
    QCOMPARE(window->pageTabs().currentIndex(), 0);
    QCOMPARE(ed().state().current_page, 0);

    // Reopening replaces every item.
    const QString path = tmp->filePath(QStringLiteral("boiler.prt"));
    ws->pages.parametr[1][5].used = 1;
    canvas(1).rebuild();
    const int before = canvas(1).elementItemCount();
    QVERIFY(app->openProjectFile(path));
    QCOMPARE(canvas(1).elementItemCount(), before - 1);
}

// A click on the page without a drag starts a frame of one pixel; the page
// shows nothing of it (no blue dot where the button went down).
void ScadaEditorTest::clickLeavesNoFrameDot()
{
    openInScada();
    showPage(4);
    const QImage before = canvas(4).renderPage();
    drag(4, QPoint(401, 301), QPoint(401, 301), 0);
    QVERIFY(ed().state().frame.visible);
    QCOMPARE(canvas(4).renderPage(), before);
    // A real drag still shows its frame.
    drag(4, QPoint(300, 200), QPoint(350, 250));
    QVERIFY(canvas(4).renderPage() != before);
}

// "Ok" of a new project builds the canvases again: the templates, frame and
// handle of the old pages are gone, what the pages hold is shown.
void ScadaEditorTest::newProjectRebuildsTheCanvases()
{
    openInScada();
    showPage(3);
    menu().level->trigger();
    drag(3, QPoint(500, 300), QPoint(600, 400));
    QVERIFY(canvas(3).frameItem()->isVisible());
    ws->pages.parametr[3][5].used = 1;
    QVERIFY(!canvas(3).elementItem({ObjectKind::Parametr, 3, 5}));

    window->newProject();
    SettingsDialog& dlg = window->settingsDialog();
    ui->fileAnswers << kExamples + QStringLiteral("/boiler.net");
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("Load_Key_SCHEMA")), Qt::LeftButton);
    QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("Ok")), Qt::LeftButton);
    QVERIFY(canvas(3).elementItem({ObjectKind::Parametr, 3, 5}));
    QVERIFY(!canvas(3).elementItem({ObjectKind::Level, 3, 0}));
    QVERIFY(!canvas(3).frameItem()->isVisible());
    QCOMPARE(ed().state().current_page, 0);
    QCOMPARE(window->pageTabs().currentIndex(), 0);
    for (int p = 0; p < 8; ++p)
        QCOMPARE(canvas(p).elementItemCount(), ed().editor().pageElements(p).size());
}

// The canvas draws the static kinds with the painter of the page image: the
// two agree pixel for pixel on the example's page 1 and on a page with every
// static kind (a type-13 control, an empty control, menus, texts in several
// faces, both figures, mechanisms).
void ScadaEditorTest::staticLayerMatchesThePageImage()
{
    openInScada();
    ws->pages.fill_color[7] = 0x336699;
    ws->pages.background_kind[7] = 0;
    clearPage(7);
    const struct {
        ObjectKind kind;
        int number;
        QPoint pos;
    } elements[] = {
        {ObjectKind::Control, 1, {10, 10}}, {ObjectKind::Control, 2, {60, 10}}, {ObjectKind::Control, 3, {130, 10}},
        {ObjectKind::Control, 4, {250, 10}}, {ObjectKind::Vent, 1, {10, 100}}, {ObjectKind::Vent, 2, {70, 100}},
        {ObjectKind::Menu, 1, {200, 100}}, {ObjectKind::Menu, 2, {200, 150}}, {ObjectKind::Text, 1, {400, 100}},
        {ObjectKind::Text, 64, {400, 150}}, {ObjectKind::Figura, 1, {500, 200}}, {ObjectKind::Figura, 2, {600, 200}},
    };
    ws->pages.control[7][1].type = 13;
    ws->pages.control[7][2].type = 11;
    ws->pages.control[7][3].type = 0;
    ws->pages.control[7][4].type = 12;
    ws->pages.vent[7][1].picture = 9;
    ws->pages.vent[7][2].picture = 22;
    ws->pages.menu[7][1].text = QStringLiteral("Котёл");
    ws->pages.menu[7][2].text = QStringLiteral("Насосная");
    ws->pages.text[7][1] = {0, 0, 0, 0x00FFFF, QStringLiteral("Давление"), QStringLiteral("Arial"), -1, 0, 14};
    ws->pages.text[7][64] = {0, 0, 0, 0xFFFFFF, QStringLiteral("Курсив"), QStringLiteral("Times New Roman"), 0, -1, 20};
    ws->pages.figura[7][1] = {0, 0, 0, 50, 30, 0x0000FF, 0, 3};
    ws->pages.figura[7][2] = {0, 0, 0, 41, 0, 0x00FF00, 1, 2};
    for (const auto& e : elements)
        place(e.kind, 7, e.number, e.pos);

    for (int p : {0, 7}) {
        int staticElements = 0;
        for (const ElementRef& ref : ed().editor().pageElements(p))
            staticElements += ref.kind == ObjectKind::Control || ref.kind == ObjectKind::Vent
                || ref.kind == ObjectKind::Menu || ref.kind == ObjectKind::Text || ref.kind == ObjectKind::Figura;
        QVERIFY(staticElements >= 2);
        const PagePaintResult painted = app->pagePainter().paintPage(ws->pages, p, tmp->path());
        QVERIFY(painted.ok);
        QVERIFY(painted.warnings.isEmpty());
        const QImage shown = canvas(p).renderStaticLayer();
        QCOMPARE(shown.size(), painted.image.size());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                differing += shown.pixel(x, y) != painted.image.pixel(x, y);
        QCOMPARE(differing, 0);
        // The live kinds and the editor's marks are on the canvas as well,
        // and the view (with its cached item pictures) shows exactly that.
        const QImage page = canvas(p).renderPage();
        QVERIFY(page != shown);
        const QImage viewed = canvas(p).viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(viewed.size(), page.size());
        QRect diff;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (viewed.pixel(x, y) != page.pixel(x, y))
                    diff |= QRect(x, y, 1, 1);
        QVERIFY2(diff.isNull(), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(diff.x()).arg(diff.y()).arg(diff.width()).arg(diff.height())));
    }
}

void ScadaEditorTest::currentPageAndBlinkFollowTheMode()
{
    openInScada();
    QVERIFY(ed().blinkTimer().isActive());
    QCOMPARE(ed().blinkTimer().interval(), 500);
    window->pageTabs().setCurrentIndex(4);
    QCOMPARE(window->shell().current_page, 4);
    QCOMPARE(ed().state().current_page, 4);
    window->action(QStringLiteral("mnuSchema"))->trigger();
    QVERIFY(!ed().blinkTimer().isActive());
    window->action(QStringLiteral("MnuSCADA"))->trigger();
    QCOMPARE(ed().state().current_page, 0);
    QCOMPARE(window->pageTabs().currentIndex(), 0);
    QVERIFY(ed().blinkTimer().isActive());
}

void ScadaEditorTest::insertFromMenu_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("mode");
    QTest::newRow("figure") << "MnuFigura" << ObjectKind::Figura << 2;
    QTest::newRow("menu") << "MnuMenuSCADA" << ObjectKind::Menu << 3;
    QTest::newRow("text") << "mnuText" << ObjectKind::Text << 4;
    QTest::newRow("go-to") << "MnuGotoBlockSCADA" << ObjectKind::GoBlock << 5;
    QTest::newRow("parameter") << "MnuParametrSCADA" << ObjectKind::Parametr << 6;
    QTest::newRow("level") << "MnuLevelSCADA" << ObjectKind::Level << 7;
    QTest::newRow("signal") << "MnuSignalSCADA" << ObjectKind::Signal << 8;
    QTest::newRow("text signal") << "MnuTextSignal" << ObjectKind::TextSignal << 9;
    QTest::newRow("control") << "MnuControl" << ObjectKind::Control << 10;
    QTest::newRow("mechanism") << "mnuVent" << ObjectKind::Vent << 12;
    QTest::newRow("graph") << "MnuGrafikSCADA" << ObjectKind::Grafik << 11;
    QTest::newRow("clock") << "MnuClockSCADA" << ObjectKind::Clock << 11;
}

// Each insert item shows its template at the placement point ((0, 0) from the
// menu) on the current page, or creates the page's graph or clock at (1, 1);
// every insert clears the lock.
void ScadaEditorTest::insertFromMenu()
{
    QFETCH(QString, item);
    QFETCH(ObjectKind, kind);
    QFETCH(int, mode);
    openInScada();
    showPage(2);
    ws->pages.grafik[3] = {};
    ws->pages.clock[3] = {};
    menu().lock->setChecked(true);
    const QImage before = canvas(2).renderPage();
    window->action(item)->trigger();
    QCOMPARE(ed().state().create_mode, mode);
    QVERIFY(!menu().lock->isChecked());
    QVERIFY(!ed().state().lock);
    const bool pageKind = kind == ObjectKind::Grafik || kind == ObjectKind::Clock;
    const ElementRef ref{kind, 2, pageKind ? 1 : 0};
    QGraphicsItem* shown = canvas(2).elementItem(ref);
    QVERIFY(shown);
    QVERIFY(shown->isVisible());
    QCOMPARE(shown->pos().toPoint(), pageKind ? QPoint(1, 1) : QPoint(0, 0));
    QVERIFY(!shown->boundingRect().isEmpty());
    if (pageKind)
        QCOMPARE(recordPos(ref), QPoint(1, 1));
    // It is drawn: the page under it changed (an empty control as an outline).
    const QRect r = ed().editor().objectRect(ref);
    const QImage after = canvas(2).renderPage();
    bool drawn = false;
    for (int y = r.top(); y <= r.bottom() && !drawn; ++y)
        for (int x = r.left(); x <= r.right() && !drawn; ++x)
            drawn = after.pixel(x, y) != before.pixel(x, y);
    QVERIFY(drawn);
    // Inserting on another page moves the template there.
    if (!pageKind) {
        showPage(5);
        window->action(item)->trigger();
        QVERIFY(!canvas(2).elementItem(ref));
        QVERIFY(canvas(5).elementItem({kind, 5, 0}));
    }
}

// A double-click on an empty spot repeats the last insert there; after
// "&График" (create mode 11) it inserts nothing.
void ScadaEditorTest::doubleClickRepeatsTheLastKind()
{
    openInScada();
    clearPage(7);
    showPage(7);
    window->action(QStringLiteral("MnuLevelSCADA"))->trigger();
    QTest::mouseDClick(view(7), Qt::LeftButton, {}, QPoint(300, 200));
    const ElementRef level{ObjectKind::Level, 7, 0};
    QCOMPARE(itemPos(level), QPoint(300, 200));
    QCOMPARE(int(ed().state().placement_flag), 0);

    window->action(QStringLiteral("MnuGrafikSCADA"))->trigger();
    QCOMPARE(ed().state().create_mode, 11);
    const int items = canvas(7).elementItemCount();
    QTest::mouseDClick(view(7), Qt::LeftButton, {}, QPoint(500, 300));
    QCOMPARE(canvas(7).elementItemCount(), items);
    QCOMPARE(itemPos(level), QPoint(300, 200));
    QCOMPARE(itemPos({ObjectKind::Grafik, 7, 1}), QPoint(1, 1));
}

void ScadaEditorTest::dragSnapsAndKeepsRanges_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QPoint>("proposed");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("step 1") << 1 << QPoint(127, 63) << QPoint(127, 63);
    QTest::newRow("step 10: 127 -> 120") << 10 << QPoint(127, 63) << QPoint(120, 60);
    // A proposed left of 795 is out of range: x stays, y still follows.
    QTest::newRow("left 795") << 1 << QPoint(795, 70) << QPoint(100, 70);
    QTest::newRow("top 475") << 1 << QPoint(140, 475) << QPoint(140, 50);
}

// A parameter dragged by the mouse: snapped to the grid step, a coordinate
// leaving the range stays where it was; the record follows the object.
void ScadaEditorTest::dragSnapsAndKeepsRanges()
{
    QFETCH(int, step);
    QFETCH(QPoint, proposed);
    QFETCH(QPoint, expected);
    openInScada();
    clearPage(7);
    showPage(7);
    ws->pages.grid_step = int16_t(step);
    const ElementRef ref = place(ObjectKind::Parametr, 7, 3, {100, 50});
    drag(7, QPoint(100, 50) + QPoint(5, 5), proposed + QPoint(5, 5));
    QCOMPARE(itemPos(ref), expected);
    QCOMPARE(recordPos(ref), expected);
}

// With "Управление" ticked, a 40 x 40 control dropped at proposed (130, 100)
// lands at (140, 78). A type-13 control stores y = its picture's top + 10 on
// every path, so it keeps its place through a save and a reopen.
void ScadaEditorTest::buttonGridAndType13RoundTrip()
{
    openInScada();
    clearPage(7);
    showPage(7);
    ws->pages.grid_enabled = ws->pages.grid_enabled_copy = 1;
    ws->pages.control[7][1].type = 1;
    const ElementRef plain = place(ObjectKind::Control, 7, 1, {300, 300});
    drag(7, QPoint(305, 305), QPoint(135, 105));
    QCOMPARE(itemPos(plain), QPoint(140, 78));
    QCOMPARE(recordPos(plain), QPoint(140, 78));

    ws->pages.control[7][2].type = 13;
    const ElementRef beak = place(ObjectKind::Control, 7, 2, {500, 300});
    QCOMPARE(itemPos(beak), QPoint(500, 300));
    QCOMPARE(recordPos(beak), QPoint(500, 310));
    drag(7, QPoint(505, 305), QPoint(135, 205)); // proposed (130, 200): cell (120, 174)
    QCOMPARE(itemPos(beak), QPoint(130, 184));
    QCOMPARE(recordPos(beak), QPoint(130, 194));
    // Without the button grid the picture's top follows the pointer.
    ws->pages.grid_enabled = ws->pages.grid_enabled_copy = 0;
    drag(7, QPoint(135, 189), QPoint(405, 255));
    QCOMPARE(itemPos(beak), QPoint(400, 250));
    QCOMPARE(recordPos(beak), QPoint(400, 260));

    const QString saved = tmp->filePath(QStringLiteral("type13.prt"));
    QVERIFY(app->saveProjectFile(saved));
    QVERIFY(app->openProjectFile(saved));
    QCOMPARE(recordPos(beak), QPoint(400, 260));
    QCOMPARE(itemPos(beak), QPoint(400, 250));
    QCOMPARE(canvas(7).elementItem(beak)->boundingRect().translated(itemPos(beak)).toAlignedRect().adjusted(4, 4, -4, -4),
             QRect(400, 250, 60, 60));
}

// A frame covering y 90..110 selects the list-4 signal at top 100; moving the
// group 10 pixels down stores 4 x 1024 + 110. A free slot whose stale
// position lies inside the frame is neither moved nor revived.
void ScadaEditorTest::groupSelectionAndMove()
{
    openInScada();
    clearPage(7);
    showPage(7);
    SignalElement& sig = ws->pages.signal[7][4];
    sig.width = packSignalWidth(20, 0);
    sig.height = packSignalHeight(20, 0);
    sig.y = packListY(100, 4);
    const ElementRef signal = place(ObjectKind::Signal, 7, 4, {200, 100});
    QCOMPARE(int(ws->pages.signal[7][4].y), 4 * 1024 + 100);
    const ElementRef param = place(ObjectKind::Parametr, 7, 2, {230, 95});
    ws->pages.signal[7][9] = {};
    ws->pages.signal[7][9].x = 205;
    ws->pages.signal[7][9].y = 105;

    drag(7, QPoint(190, 90), QPoint(260, 111));
    QCOMPARE(canvas(7).frameItem()->isVisible(), true);
    QCOMPARE(ed().state().frame.rect, QRect(190, 90, 70, 21));

    drag(7, QPoint(192, 92), QPoint(192, 102), 20);
    QCOMPARE(int(ws->pages.signal[7][4].y), 4 * 1024 + 110);
    QCOMPARE(recordPos(param), QPoint(230, 105));
    QCOMPARE(itemPos(signal), QPoint(200, 110));
    QCOMPARE(ws->pages.signal[7][9].used, int16_t(0));
    QCOMPARE(recordPos({ObjectKind::Signal, 7, 9}), QPoint(205, 105));
    QVERIFY(!canvas(7).elementItem({ObjectKind::Signal, 7, 9}));
    QCOMPARE(ed().state().frame.rect.topLeft(), QPoint(190, 100));
}

// At the page's edge the frame stops, and its elements stop with it.
void ScadaEditorTest::groupStopsAtThePageEdge()
{
    openInScada();
    clearPage(7);
    showPage(7);
    const ElementRef param = place(ObjectKind::Parametr, 7, 1, {20, 200});
    drag(7, QPoint(10, 190), QPoint(80, 240));
    drag(7, QPoint(12, 192), QPoint(-28, 192), 4);
    QCOMPARE(ed().state().frame.rect.topLeft(), QPoint(0, 190));
    QCOMPARE(recordPos(param), QPoint(10, 200));
    QCOMPARE(itemPos(param), QPoint(10, 200));
}

// A click shows the corner handle; dragging it resizes the element. A circle
// stays round, a signal stays within 50 pixels.
void ScadaEditorTest::resizeKeepsACircleRound()
{
    openInScada();
    clearPage(7);
    showPage(7);
    ws->pages.figura[7][1] = {0, 0, 0, 30, 30, 0, 1, 2};
    const ElementRef circle = place(ObjectKind::Figura, 7, 1, {100, 100});
    ws->pages.figura[7][2] = {0, 0, 0, 30, 20, 0, 0, 1};
    const ElementRef box = place(ObjectKind::Figura, 7, 2, {300, 100});
    SignalElement& s = ws->pages.signal[7][1];
    s.width = packSignalWidth(20, 1);
    s.height = packSignalHeight(20, 1);
    const ElementRef signal = place(ObjectKind::Signal, 7, 1, {500, 100});

    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(110, 110));
    QVERIFY(canvas(7).handleItem()->isVisible());
    QCOMPARE(canvas(7).handleItem()->pos().toPoint(), QPoint(130, 130));
    drag(7, QPoint(132, 132), QPoint(172, 142), 4);
    QCOMPARE(ws->pages.figura[7][1].size_x, int16_t(70));
    QCOMPARE(ws->pages.figura[7][1].size_y, int16_t(70));
    QCOMPARE(canvas(7).elementItem(circle)->shape().boundingRect().toRect(), QRect(0, 0, 70, 70));

    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(301, 101));
    QCOMPARE(canvas(7).handleItem()->pos().toPoint(), QPoint(330, 120));
    drag(7, QPoint(331, 121), QPoint(371, 141));
    QCOMPARE(QPoint(ws->pages.figura[7][2].size_x, ws->pages.figura[7][2].size_y), QPoint(70, 40));
    QVERIFY(canvas(7).elementItem(box));

    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(505, 105));
    drag(7, QPoint(521, 121), QPoint(600, 150));
    QCOMPARE(signalSize(ws->pages.signal[7][1].width), 50);
    QCOMPARE(signalSize(ws->pages.signal[7][1].height), 49);
    QCOMPARE(signalShape(ws->pages.signal[7][1].width, ws->pages.signal[7][1].height), 1);
    QVERIFY(canvas(7).elementItem(signal));
    // A click on the page hides the handle.
    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(700, 400));
    QVERIFY(!canvas(7).handleItem()->isVisible());
}

// While "&Блокировка элементов" is checked nothing moves or resizes; an
// insert item clears it, saving the project sets it again.
void ScadaEditorTest::lockStopsDragsUntilAnInsert()
{
    openInScada();
    clearPage(7);
    showPage(7);
    const ElementRef param = place(ObjectKind::Parametr, 7, 1, {100, 100});
    ws->pages.figura[7][1] = {0, 0, 0, 30, 30, 0, 0, 1};
    place(ObjectKind::Figura, 7, 1, {300, 100});
    menu().lock->trigger();
    QVERIFY(menu().lock->isChecked());
    QVERIFY(ed().state().lock);
    drag(7, QPoint(105, 105), QPoint(205, 205));
    QCOMPARE(recordPos(param), QPoint(100, 100));
    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(310, 110));
    drag(7, QPoint(331, 131), QPoint(371, 171));
    QCOMPARE(ws->pages.figura[7][1].size_x, int16_t(30));
    // The frame still selects, but the group stays.
    drag(7, QPoint(90, 90), QPoint(150, 150));
    drag(7, QPoint(92, 92), QPoint(132, 92));
    QCOMPARE(recordPos(param), QPoint(100, 100));

    window->action(QStringLiteral("MnuTextSignal"))->trigger();
    QVERIFY(!menu().lock->isChecked());
    drag(7, QPoint(105, 105), QPoint(205, 205));
    QCOMPARE(recordPos(param), QPoint(200, 200));

    QVERIFY(app->saveProjectFile(tmp->filePath(QStringLiteral("locked.prt"))));
    QVERIFY(menu().lock->isChecked());
    QVERIFY(ed().state().lock);
}

// The blink tick alternates blinking signals between their off and on colours
// and blinking text signals between their texts; the others stay.
void ScadaEditorTest::blinkTickChangesTheShownColour()
{
    openInScada();
    clearPage(7);
    showPage(7);
    for (int n : {1, 2}) {
        SignalElement& s = ws->pages.signal[7][n];
        s.width = packSignalWidth(20, 0);
        s.height = packSignalHeight(20, 0);
        s.color = 0x0000FF;        // red
        s.back_color = 0x00FF00;   // green
        s.blink = n == 1;
    }
    place(ObjectKind::Signal, 7, 1, {100, 100});
    place(ObjectKind::Signal, 7, 2, {200, 100});
    TextSignalElement& t = ws->pages.text_signal[7][1];
    t.text_off = QStringLiteral("ВЫКЛ");
    t.text_on = QStringLiteral("ВКЛЮЧЕНО");
    t.color = 0;
    t.back_color = 0xFFFFFF;
    t.blink = 1;
    place(ObjectKind::TextSignal, 7, 1, {100, 200});
    const QRect textArea(100, 200, 150, 30);

    QVERIFY(!ed().state().blink_phase);
    QCOMPARE(shownColor(7, {110, 110}), QColor(255, 0, 0));
    const QImage offText = canvas(7).renderPage().copy(textArea);
    ed().tick();
    QCOMPARE(shownColor(7, {110, 110}), QColor(0, 255, 0));
    QCOMPARE(shownColor(7, {210, 110}), QColor(255, 0, 0));
    QVERIFY(canvas(7).renderPage().copy(textArea) != offText);
    ed().tick();
    QCOMPARE(shownColor(7, {110, 110}), QColor(255, 0, 0));
    QCOMPARE(canvas(7).renderPage().copy(textArea), offText);
}

void ScadaEditorTest::tooltipShowsNumberAndPosition()
{
    openInScada();
    clearPage(7);
    showPage(7);
    ws->pages.text[7][64].text = QStringLiteral("Котёл");
    ws->pages.text[7][64].font_size = 12;
    const struct {
        ElementRef ref;
        QPoint pos;
        QString tip;
    } cases[] = {
        {{ObjectKind::Parametr, 7, 3}, {120, 40}, QStringLiteral("Параметр 3, X - 120, Y - 40")},
        // The text kind's word begins with a Latin T; text 64 of page 7 is object 512.
        {{ObjectKind::Text, 7, 64}, {300, 200}, QStringLiteral("Tекст 64, X - 300, Y - 200")},
        // Graph and clock show their object number, page + 1.
        {{ObjectKind::Clock, 7, 1}, {500, 300}, QStringLiteral("Часы 8, X - 500, Y - 300")},
    };
    QCOMPARE(ElementRef({ObjectKind::Text, 7, 64}).objectNumber(), 512);
    for (const auto& c : cases) {
        place(c.ref.kind, c.ref.page, c.ref.number, c.pos);
        hover(7, c.pos + QPoint(2, 2));
        QCOMPARE(canvas(7).elementItem(c.ref)->toolTip(), c.tip);
    }
}

// Coord_Setka: the main window is disabled while it is open; a step of 0 is
// refused with a message and the dialog stays; "Ok" stores step and button
// grid into both copies; "Отмена" changes nothing.
void ScadaEditorTest::gridDialog()
{
    openInScada();
    GridDialog& dlg = ed().gridDialog();
    menu().grid->trigger();
    QVERIFY(dlg.isVisible());
    QVERIFY(!window->isEnabled());
    QCOMPARE(dlg.objectName(), QStringLiteral("Coord_Setka"));
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Координатная сетка"));
    QCOMPARE(dlg.stepField().text(), QStringLiteral("1"));
    QVERIFY(!dlg.buttonGridBox().isChecked());

    dlg.stepField().setText(QStringLiteral("0"));
    dlg.okButton().click();
    QCOMPARE(ui->messages.size(), 1);
    QVERIFY(dlg.isVisible());
    QCOMPARE(ws->pages.grid_step, int16_t(1));

    dlg.stepField().setText(QStringLiteral("10"));
    dlg.buttonGridBox().setChecked(true);
    dlg.okButton().click();
    QVERIFY(!dlg.isVisible());
    QVERIFY(window->isEnabled());
    QCOMPARE(ws->pages.grid_step, int16_t(10));
    QCOMPARE(ws->pages.grid_step_copy, int16_t(10));
    QCOMPARE(ws->pages.grid_enabled, int16_t(1));
    QCOMPARE(ws->pages.grid_enabled_copy, int16_t(1));

    menu().grid->trigger();
    QCOMPARE(dlg.stepField().text(), QStringLiteral("10"));
    QVERIFY(dlg.buttonGridBox().isChecked());
    dlg.stepField().setText(QStringLiteral("20"));
    dlg.cancelButton().click();
    QVERIFY(window->isEnabled());
    QCOMPARE(ws->pages.grid_step, int16_t(10));

    // Closing the main window closes the dialog too.
    menu().grid->trigger();
    QVERIFY(dlg.isVisible());
    window->close();
    QVERIFY(!dlg.isVisible());
}

// A picture chosen for page 3 changes only page 3: its tab caption (the
// file's base name), its references and its canvas. The file's content
// decides the format, and the reference names the real file, so the picture
// comes back after a save and a reopen.
void ScadaEditorTest::backgroundPictureForOnePage()
{
    openInScada();
    showPage(2);
    const QString file = tmp->filePath(QStringLiteral("pump.jpeg"));
    QImage png(8, 8, QImage::Format_RGB32);
    png.fill(QColor(0, 128, 128));
    QVERIFY(png.save(file, "PNG"));
    QStringList captions;
    for (int p = 0; p < 8; ++p)
        captions << window->pageTabs().tabText(p);
    const auto refs = ws->pages.background_refs;

    ui->fileAnswers << file;
    menu().background->trigger();
    QCOMPARE(ui->askedFilters.last(), QStringLiteral("gif file|*.gif"));
    QVERIFY(ui->messages.isEmpty());
    captions[2] = QStringLiteral("pump");
    for (int p = 0; p < 8; ++p)
        QCOMPARE(window->pageTabs().tabText(p), captions[p]);
    for (int i = 0; i < ScadaPages::kBackgroundRefs; ++i)
        if (i != 2 && i != 10)
            QCOMPARE(ws->pages.background_refs[size_t(i)], refs[size_t(i)]);
    QCOMPARE(ws->pages.shortRef(2), QStringLiteral("\\pump.jpeg"));
    QCOMPARE(ws->pages.fullPath(2), file);
    QCOMPARE(int(ws->pages.background_kind[2]), 1);
    QCOMPARE(canvas(2).renderStaticLayer().pixelColor(3, 3), QColor(0, 128, 128));

    // Saved into another folder: the picture is copied there and reopened from it.
    QTemporaryDir other;
    const QString saved = other.filePath(QStringLiteral("moved.prt"));
    QVERIFY(app->saveProjectFile(saved));
    QVERIFY(QFile::remove(file));
    QVERIFY(app->openProjectFile(saved));
    QCOMPARE(window->pageTabs().tabText(2), QStringLiteral("pump"));
    QCOMPARE(canvas(2).renderStaticLayer().pixelColor(3, 3), QColor(0, 128, 128));
}

void ScadaEditorTest::badBackgroundChangesNothing()
{
    openInScada();
    showPage(3);
    const QString bad = tmp->filePath(QStringLiteral("bad.gif"));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("GIF89a but not really a picture");
    f.close();
    const auto refs = ws->pages.background_refs;
    const auto kinds = ws->pages.background_kind;
    const QImage before = canvas(3).renderPage();
    ui->fileAnswers << bad;
    menu().background->trigger();
    QCOMPARE(ui->texts(), QStringList{QStringLiteral("Не правильный тип файла")});
    QVERIFY(ws->pages.background_refs == refs);
    QVERIFY(ws->pages.background_kind == kinds);
    QCOMPARE(window->pageTabs().tabText(3), QStringLiteral("Страница 4"));
    QCOMPARE(canvas(3).renderPage(), before);
    // A cancelled choice changes nothing either.
    menu().background->trigger();
    QVERIFY(ws->pages.background_kind == kinds);
}

// A click on the page keeps the colour under the pointer for the pipette;
// "&Цвет заливки фона" fills the page with the chosen colour, the picture goes.
void ScadaEditorTest::fillColour()
{
    openInScada();
    QCOMPARE(int(ws->pages.background_kind[0]), 1);
    clearPage(0);
    const QImage picture(tmp->filePath(QStringLiteral("boiler.gif")));
    QVERIFY(!picture.isNull());
    const QPoint spot(400, 240);
    QTest::mouseClick(view(0), Qt::LeftButton, {}, spot);
    QCOMPARE(colorOfValue(ed().state().PipetteColor), picture.pixelColor(spot));

    ui->colorAnswers << QColor(10, 20, 30);
    menu().fillColor->trigger();
    QCOMPARE(ws->pages.fill_color[0], int32_t(0x1E140A));
    QCOMPARE(int(ws->pages.background_kind[0]), 0);
    QCOMPARE(shownColor(0, {300, 200}), QColor(10, 20, 30));
    QCOMPARE(shownColor(0, {1, 1}), QColor(10, 20, 30));
    QTest::mouseClick(view(0), Qt::LeftButton, {}, spot);
    QCOMPARE(ed().state().PipetteColor, int32_t(0x1E140A));
}

// A double-click on the clock asks "Удалить часы?"; Yes clears it.
void ScadaEditorTest::clockDeletionAsks()
{
    openInScada();
    clearPage(7);
    showPage(7);
    menu().clock->trigger();
    const ElementRef clock{ObjectKind::Clock, 7, 1};
    QVERIFY(canvas(7).elementItem(clock));
    ui->questionAnswers << false;
    QTest::mouseDClick(view(7), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(ui->questions, QStringList{QStringLiteral("Удалить часы?")});
    QCOMPARE(ws->pages.clock[8].used, int16_t(1));
    QVERIFY(canvas(7).elementItem(clock));

    QTest::mouseDClick(view(7), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(ui->questions.size(), 2);
    QCOMPARE(QPoint(ws->pages.clock[8].x, ws->pages.clock[8].y), QPoint(0, 0));
    QCOMPARE(ws->pages.clock[8].used, int16_t(0));
    QVERIFY(!canvas(7).elementItem(clock));
    QCoreApplication::processEvents(); // the item is deleted after its own event
}

// Typing in a menu entry's text box stores the text at once.
void ScadaEditorTest::menuTextTypedInPlace()
{
    openInScada();
    clearPage(7);
    showPage(7);
    ws->pages.menu[7][2].text = QStringLiteral("Насос");
    const ElementRef entry = place(ObjectKind::Menu, 7, 2, {100, 300});
    QCOMPARE(recordPos(entry), QPoint(107, 313));
    QLineEdit* box = canvas(7).menuTextBox(2);
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Насос"));
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, QStringLiteral(" 2"));
    QCOMPARE(ws->pages.menu[7][2].text, QStringLiteral("Насос 2"));
    // The template has no text box.
    window->action(QStringLiteral("MnuMenuSCADA"))->trigger();
    QVERIFY(canvas(7).elementItem({ObjectKind::Menu, 7, 0}));
    QVERIFY(!canvas(7).menuTextBox(0));
}

// A right-button press opens "&Редактировать" at the pointer with
// "&Копировать" as its default item; paste creates the copies at the pointer
// (also on another page) and puts the frame there; delete removes what lies
// strictly inside the frame.
void ScadaEditorTest::contextMenuCopyPasteDelete()
{
    openInScada();
    clearPage(7);
    clearPage(6);
    showPage(7);
    const ElementRef param = place(ObjectKind::Parametr, 7, 1, {100, 50});
    ws->pages.level[7][1].width = 20;
    ws->pages.level[7][1].height = 60;
    const ElementRef level = place(ObjectKind::Level, 7, 1, {150, 80});
    drag(7, QPoint(90, 40), QPoint(220, 160));

    QMenu* edit = contextMenuAt(7, QPoint(300, 200));
    QVERIFY(edit);
    QCOMPARE(edit->defaultAction(), window->editActions().copy);
    window->editActions().copy->trigger();
    edit->hide();
    QCOMPARE(ed().clipboard().entries().size(), 2);

    QVERIFY(contextMenuAt(7, QPoint(400, 300)));
    window->editActions().paste->trigger();
    edit->hide();
    const ElementRef pastedParam{ObjectKind::Parametr, 7, 2};
    const ElementRef pastedLevel{ObjectKind::Level, 7, 2};
    QCOMPARE(itemPos(pastedParam), QPoint(400, 300));
    QCOMPARE(itemPos(pastedLevel), QPoint(450, 330));
    QCOMPARE(ed().state().frame.rect.topLeft(), QPoint(400, 300));
    QVERIFY(canvas(7).frameItem()->isVisible());

    showPage(6);
    QVERIFY(contextMenuAt(6, QPoint(10, 20)));
    window->editActions().paste->trigger();
    edit->hide();
    QCOMPARE(itemPos({ObjectKind::Parametr, 6, 1}), QPoint(10, 20));
    QVERIFY(canvas(6).frameItem()->isVisible());
    QVERIFY(!canvas(7).frameItem()->isVisible());

    showPage(7);
    drag(7, QPoint(90, 40), QPoint(220, 160));
    QVERIFY(contextMenuAt(7, QPoint(300, 200)));
    window->editActions().remove->trigger();
    edit->hide();
    QVERIFY(!canvas(7).elementItem(param));
    QVERIFY(!canvas(7).elementItem(level));
    QCOMPARE(ws->pages.parametr[7][1].used, int16_t(0));
    QVERIFY(canvas(7).elementItem(pastedParam));
    // The menu took the right button's release: the next left drag still
    // reaches the element under the pointer.
    drag(7, QPoint(405, 305), QPoint(455, 305));
    QCOMPARE(recordPos(pastedParam), QPoint(450, 300));
}

// A page edited with the mouse comes back field by field after "&Сохранить
// проект" and a reopen, and so do the canvases.
void ScadaEditorTest::editedPageSurvivesSaveAndReopen()
{
    openInScada();
    clearPage(7);
    showPage(7);
    menu().clock->trigger();
    drag(7, QPoint(4, 4), QPoint(54, 64));
    menu().grafik->trigger();
    SignalElement& sig = ws->pages.signal[7][3];
    sig.width = packSignalWidth(16, 7);
    sig.height = packSignalHeight(32, 7);
    sig.y = packListY(0, 2);
    place(ObjectKind::Signal, 7, 3, {300, 200});
    ws->pages.figura[7][1] = {0, 0, 0, 30, 30, 0x123456, 1, 2};
    place(ObjectKind::Figura, 7, 1, {500, 300});
    QTest::mouseClick(view(7), Qt::LeftButton, {}, QPoint(510, 310));
    drag(7, QPoint(531, 331), QPoint(551, 341));
    ws->pages.menu[7][1].text = QStringLiteral("Меню");
    place(ObjectKind::Menu, 7, 1, {600, 50});
    QTest::keyClicks(canvas(7).menuTextBox(1), QStringLiteral("!"));
    drag(7, QPoint(290, 190), QPoint(330, 240));
    drag(7, QPoint(292, 192), QPoint(302, 207), 3);
    QCOMPARE(int(ws->pages.signal[7][3].y), 2 * 1024 + 215);
    QCOMPARE(QPoint(ws->pages.clock[8].x, ws->pages.clock[8].y), QPoint(51, 61));

    auto before = std::make_unique<ScadaPages>(ws->pages);
    QList<QPoint> positions;
    const QList<ElementRef> refs = ed().editor().pageElements(7);
    for (const ElementRef& ref : refs)
        positions << itemPos(ref);

    QTemporaryDir other;
    const QString saved = other.filePath(QStringLiteral("edited.prt"));
    ui->fileAnswers << saved;
    window->action(QStringLiteral("MnuSave"))->trigger();
    ws->pages.clear();
    QVERIFY(app->openProjectFile(saved));
    QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    // The reader keeps the full paths of the file it reads.
    before->background_refs = ws->pages.background_refs;
    const QStringList expected = pageLines(*before);
    const QStringList got = pageLines(ws->pages);
    QCOMPARE(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        QCOMPARE(got[i], expected[i]);
    QCOMPARE(ed().editor().pageElements(7), refs);
    for (qsizetype i = 0; i < refs.size(); ++i)
        QCOMPARE(itemPos(refs[i]), positions[i]);
}

// A page whose records hold extreme values (as a damaged or hostile project
// file may give them) is built, drawn, hovered and dragged without harm.
void ScadaEditorTest::hostileRecordsAreShownWithoutHarm()
{
    openInScada();
    clearPage(7);
    showPage(7);
    const QString longText(2000, QChar(u'Ж'));
    for (int k = 0; k < kNumberedKinds; ++k)
        for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n) {
            const int16_t big = n % 2 ? int16_t(32767) : int16_t(-32768);
            withRecord(ws->pages, {ObjectKind(k), 7, n}, [&](auto& e) {
                struct Fill {
                    int16_t a;
                    QString t;
                    void i16(int16_t& v) { v = a; }
                    void i32(int32_t& v) { v = a < 0 ? INT32_MIN : INT32_MAX; }
                    void u8(uint8_t& v) { v = 255; }
                    void text(QString& s) { s = t; }
                } fill{big, longText};
                visitFields(e, fill);
                e.used = 1;
            });
        }
    ws->pages.grafik[8] = {1, 32767, -32768, 32767, 32767, 255};
    ws->pages.clock[8] = {1, -32768, 32767};
    ws->pages.fill_color[7] = -1;
    canvas(7).rebuild();
    QCOMPARE(canvas(7).elementItemCount(), ed().editor().pageElements(7).size());
    QCOMPARE(canvas(7).renderPage().size(), QSize(800, 480));
    (void)canvas(7).viewport()->grab();
    for (const QPoint at : {QPoint(1, 1), QPoint(400, 240), QPoint(799, 479)}) {
        hover(7, at);
        drag(7, at, at + QPoint(30, 30));
    }
    ed().tick();
    (void)canvas(7).renderStaticLayer();
}

QTEST_MAIN(ScadaEditorTest)
#include "test_scada_editor.moc"
