// A page composed the way a user does it: every element kind inserted from
// the "&SCADA" menu, its new-element object placed by a double-click on the
// page and double-clicked to open its dialog (found by its caption), the
// fields filled, "Ok". The project is saved and reopened through the menus,
// then `ostrel-cli write-pages --dump` writes the page: its element tables
// carry every element and its image every static one.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "wire/page_decoder.h"
#include "scada/ui/page_canvas.h"
#include "scada/page_painter.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGraphicsItem>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int v : list)
        out.append(char(uint8_t(v)));
    return out;
}

// The visible window with this caption (the dialogs have no parent).
QWidget* shownWindow(const QString& caption)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == caption)
            return w;
    return nullptr;
}

template <class T> T* child(QWidget* d, const char* name)
{
    T* w = d->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s in %s", name, qPrintable(d->objectName()));
    return w;
}

void set(QWidget* d, const char* name, const QString& text) { child<QLineEdit>(d, name)->setText(text); }
void pick(QWidget* d, const char* name, int index)
{
    QComboBox* box = child<QComboBox>(d, name);
    box->setCurrentIndex(index);
    emit box->activated(index);
}
void click(QWidget* d, const char* name) { QTest::mouseClick(child<QWidget>(d, name), Qt::LeftButton); }

// Pixels of a decoded page with a given 12-bit value inside `r`.
int countPixels(const DecodedPage& page, const QRect& r, uint16_t value)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += page.pixel(x, y) == value;
    return n;
}

} // namespace

class PageComposeTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    std::unique_ptr<QTemporaryDir> tmp;

    static constexpr int kPage = 7;

    PageCanvas& canvas() { return app->scadaEditor().canvas(kPage); }
    QWidget* view() { return canvas().viewport(); }
    const ScadaActions& menu() { return window->scadaActions(); }

    // The example project open in SCADA mode on page 8.
    void openExample()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"})
            QVERIFY(QFile::copy(kExamples + u'/' + QString::fromLatin1(name),
                                tmp->filePath(QString::fromLatin1(name))));
        QVERIFY(app->openProjectFile(tmp->filePath("boiler.prt")));
        window->action(QStringLiteral("MnuSCADA"))->trigger();
        window->pageTabs().setCurrentIndex(kPage);
        menu().lock->setChecked(false);
    }

    // A double-click as the platform delivers it: press, release, double
    // click, release.
    void doubleClick(QPoint at)
    {
        QTest::mousePress(view(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at);
    }

    // Inserts from the menu, moves the new-element object to `at` by a
    // double-click on the page and double-clicks it: the dialog `caption`.
    QWidget* insert(QAction* item, QPoint at, const QString& caption)
    {
        item->trigger();
        doubleClick(at);
        doubleClick(at + QPoint(4, 4));
        return shownWindow(caption);
    }

    // "Ok": the dialog closes and the main window is enabled again.
    bool confirm(QWidget* d)
    {
        click(d, "Ok_Element");
        return !d->isVisible() && window->isEnabled();
    }

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

    void everyKindComposedSavedAndWritten();
    void pageIsFreeAfterADialog();
};

void PageComposeTest::everyKindComposedSavedAndWritten()
{
    // The example project, its page 8 emptied and filled black.
    openExample();
    for (int k = 0; k < kNumberedKinds; ++k)
        for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
            withRecord(ws->pages, {ObjectKind(k), kPage, n}, [](auto& e) { e = std::decay_t<decltype(e)>{}; });
    *ws->pages.grafikOfPage(kPage) = {};
    *ws->pages.clockOfPage(kPage) = {};
    ws->pages.background_kind[kPage] = 0;
    ws->pages.fill_color[kPage] = 0;
    ws->pages.grid_step = ws->pages.grid_step_copy = 1;
    ws->pages.grid_enabled = ws->pages.grid_enabled_copy = 0;
    canvas().rebuild();

    // Graph: inserted at (1, 1), then moved and sized in its dialog.
    menu().grafik->trigger();
    doubleClick({50, 25});
    QWidget* d = shownWindow(QStringLiteral("График"));
    QVERIFY(d);
    set(d, "Coord_X_Grafik", "500");
    set(d, "Coord_Y_Grafik", "20");
    set(d, "Grafik_Width", "100");
    set(d, "Grafik_Height", "200");
    pick(d, "Grafik_Grup", 2);
    QVERIFY(confirm(d));
    QCOMPARE(ui->texts(), (QStringList{"Ширина меньше 120", "Высота больше 150"}));
    ui->messages.clear();
    menu().clock->trigger();

    // Figure: 50 x 30, line 2, red.
    d = insert(menu().figura, {400, 300}, QStringLiteral("Геометрическая фигура"));
    QVERIFY(d);
    set(d, "Razmer_X_Figura_Text", "50");
    set(d, "Razmer_Y_Figura_Text", "30");
    set(d, "Width_Line_Figura_Text1", "2");
    ui->colorAnswers = {QColor(255, 0, 0)};
    click(d, "Color_Figura");
    QVERIFY(confirm(d));

    // Text: bold 14-point Liberation Sans in yellow.
    d = insert(menu().text, {20, 400}, QStringLiteral("Текст"));
    QVERIFY(d);
    set(d, "Text_Text_Label", QStringLiteral("Котёл 1"));
    QFont font(QStringLiteral("Liberation Sans"), 14);
    font.setBold(true);
    ui->fontAnswers = {font};
    click(d, "Font_Text");
    ui->colorAnswers = {QColor(255, 255, 0)};
    click(d, "Color_Text_Label");
    QVERIFY(confirm(d));

    // Control: a "Клювик" chosen in the palette, typed at (100, 50), on the
    // panel block 12, channel "2".
    d = insert(menu().control, {200, 100}, QStringLiteral("Элемент управления"));
    QVERIFY(d);
    set(d, "Coord_X_Control", "100");
    set(d, "Coord_Y_Control", "50");
    click(d, "Image_Control_Wiew");
    QWidget* palette = shownWindow(QStringLiteral("Тип управления"));
    QVERIFY(palette);
    click(palette, "Type_Control_Picture_13");
    set(d, "Num_Block_Contr_Text", "12");
    child<QComboBox>(d, "Num_OUT_Contr")->setCurrentIndex(1);
    QVERIFY(confirm(d));

    // Menu: to page 3, its text typed on the page.
    d = insert(menu().menu, {600, 400}, QStringLiteral("Меню"));
    QVERIFY(d);
    pick(d, "List_Menu", 2);
    QVERIFY(confirm(d));
    QLineEdit* entry = canvas().menuTextBox(1);
    QVERIFY(entry);
    entry->setFocus();
    QTest::keyClicks(entry, QStringLiteral("Pumps"));

    // Go-to: SCADA page 3, locked.
    d = insert(menu().goBlock, {700, 100}, QStringLiteral("Блок "));
    QVERIFY(d);
    set(d, "Num_Block_Text", "97");
    child<QComboBox>(d, "Num_Graf_SCADA")->setCurrentIndex(2);
    child<QCheckBox>(d, "Blokirovka")->click();
    QVERIFY(confirm(d));

    // The value-bound kinds, each where its object was put.
    d = insert(menu().parametr, {300, 200}, QStringLiteral("Параметр"));
    QVERIFY(d);
    set(d, "Num_Block_Par_Text", "1");
    child<QComboBox>(d, "Num_OUT_Par")->setCurrentIndex(2);
    QVERIFY(confirm(d));
    d = insert(menu().signal, {100, 250}, QStringLiteral("Сигнализация"));
    QVERIFY(d);
    set(d, "Num_Block_Signal", "3");
    child<QComboBox>(d, "Num_OUT_Signal")->setCurrentIndex(1);
    QVERIFY(confirm(d));
    d = insert(menu().textSignal, {100, 330}, QStringLiteral("Текстовая сигнализация"));
    QVERIFY(d);
    set(d, "Text_Signal_Off", "Off");
    set(d, "Text_Signal_On", "On");
    set(d, "Num_Block_Text_Signal", "3");
    QVERIFY(confirm(d));
    d = insert(menu().level, {250, 330}, QStringLiteral("Уровень"));
    QVERIFY(d);
    set(d, "Level_Scale", "100");
    set(d, "Num_Block_Level", "1");
    QVERIFY(confirm(d));
    d = insert(menu().vent, {600, 200}, QStringLiteral("Механизм"));
    QVERIFY(d);
    click(d, "Vent_Picture_9");
    set(d, "Num_Block_Vent", "12");
    QVERIFY(confirm(d));
    QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));

    // One element of every kind, each on the canvas.
    const QList<ElementRef> elements = app->scadaEditor().editor().pageElements(kPage);
    QCOMPARE(elements.size(), 12);
    for (const ElementRef& ref : elements) {
        QCOMPARE(ref.number, 1);
        QVERIFY(canvas().elementItem(ref));
    }

    // Saved and reopened through the menus.
    const QString saved = tmp->filePath(QStringLiteral("composed.prt"));
    ui->fileAnswers << saved;
    window->action(QStringLiteral("MnuSave"))->trigger();
    const auto before = std::make_unique<ScadaPages>(ws->pages);
    ws->pages.clear();
    QVERIFY(app->openProjectFile(saved));
    QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    QCOMPARE(app->scadaEditor().editor().pageElements(kPage), elements);
    for (const ElementRef& ref : elements)
        QCOMPARE(recordObjectPos(ws->pages, ref), recordObjectPos(*before, ref));

    // Written by the command-line tool into a dump.
    const QString dump = tmp->filePath(QStringLiteral("page8.bin"));
    QProcess cli;
    cli.start(QStringLiteral(OSTREL_CLI), {QStringLiteral("write-pages"), saved, QStringLiteral("--page"),
                                           QString::number(kPage + 1), QStringLiteral("--dump"), dump});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0, cli.readAllStandardError().constData());
    QFile file(dump);
    QVERIFY(file.open(QIODevice::ReadOnly));
    PacketStream stream;
    stream.feed(file.readAll());
    stream.finish();
    std::vector<LinkPacket> packets;
    for (const StreamEvent& e : stream.take())
        if (e.has_packet)
            packets.push_back(e.packet);
    QCOMPARE(packets.size(), size_t(16));
    const DecodedPage page = decodePage(packets);
    QVERIFY(page.complete());
    QCOMPARE(page.page, kPage);
    const QByteArray tables = packets.back().bytes.mid(3 + page.bands[7].length, table_offset::end_full);
    QCOMPARE(tables.size(), table_offset::end_full);

    // The tables, worked out by hand.
    // 1 parameter: (300, 200), black on black, no frame, font 10 -> 2, width 2.
    QCOMPARE(tables.mid(0, 11), bytes({0x2C, 1, 0xC8, 0, 0, 0, 0, 0, 0, 2, 2}));
    // 2 signal: (100, 250), 20 x 20 sent as 19 x 19.
    QCOMPARE(tables.mid(352, 11), bytes({100, 0, 250, 0, 19, 19, 0, 0, 0, 0, 0}));
    // 3 text signal: (100, 330), font 10 -> 2, 2 x 3 letters, the texts padded.
    QCOMPARE(tables.mid(704, 34), bytes({100, 0, 0x4A, 1, 2, 0, 0, 0, 0, 6}) + QByteArray("Off         On          "));
    // 4 level: (250, 330), 20 x 40 sent as 19 x 39, scale 100, style 0.
    QCOMPARE(tables.mid(1792, 13), bytes({250, 0, 0x4A, 1, 19, 39, 100, 0, 0, 0, 0, 0, 0}));
    // 5 menu: its text box at (607, 413), 12 bytes left zero.
    QCOMPARE(tables.mid(2208, 16), bytes({0x5F, 2, 0x9D, 1}) + QByteArray(12, '\0'));
    // 6 clock at (1, 1).
    QCOMPARE(tables.mid(2336, 4), bytes({1, 0, 1, 0}));
    // 7 graph: (500, 20), 120 x 150 sent as 119 x 149, group 3 -> 2.
    QCOMPARE(tables.mid(2340, 7), bytes({0xF4, 1, 20, 0, 119, 149, 2}));
    // 8 control: picture top-left (90, 50), type 13, touch cell
    // 112 div 62 + (59 div 60) x 13 + 1 = 2.
    QCOMPARE(tables.mid(2347, 6), bytes({90, 0, 50, 0, 13, 2}));
    QCOMPARE(tables.mid(2353, 6), QByteArray(6, '\0'));
    // 9 go-to: touch cell 722 div 62 + (109 div 60) x 13 + 1 = 25, option 128 + 2.
    QCOMPARE(tables.mid(2539, 2), bytes({25, 130}));
    // 10 mechanism: picture 9 at (600, 200) moved by (4, 8).
    QCOMPARE(tables.mid(2603, 5), bytes({0x5C, 2, 208, 0, 9}));
    // 13 bindings: parameter, signal, text signal, level, menu page,
    // control (block, channel), go-to target, mechanism.
    QCOMPARE(tables.mid(3156, 2), bytes({1, 2}));
    QCOMPARE(tables.mid(3220, 2), bytes({3, 1}));
    QCOMPARE(tables.mid(3284, 2), bytes({3, 0}));
    QCOMPARE(tables.mid(3348, 2), bytes({1, 0}));
    QCOMPARE(tables.mid(3412, 1), bytes({2}));
    QCOMPARE(tables.mid(3420, 2), bytes({12, 1}));
    QCOMPARE(tables.mid(3484, 1), bytes({203}));
    QCOMPARE(tables.mid(3516, 2), bytes({12, 0}));

    // The image holds the static kinds on the black page: the figure's red
    // outline, the yellow text, the control, menu and mechanism pictures.
    QVERIFY(countPixels(page, QRect(398, 298, 5, 34), 0xF00) > 20);
    QCOMPARE(countPixels(page, QRect(405, 305, 40, 20), 0), 40 * 20);
    const QRect text = textElementRect(ws->pages.text[kPage][1]);
    QVERIFY(countPixels(page, text, 0xFF0) > 20);
    for (const QRect& picture : {QRect(90, 50, 60, 60), QRect(600, 400, 120, 40), QRect(600, 200, 60, 38)})
        QVERIFY(countPixels(page, picture, 0) < picture.width() * picture.height() - 100);
    // The live kinds are not in it.
    for (const QRect& live : {QRect(300, 200, 20, 15), QRect(100, 250, 20, 20), QRect(250, 330, 20, 40),
                              QRect(700, 100, 40, 40), QRect(500, 20, 120, 150)})
        QCOMPARE(countPixels(page, live, 0), live.width() * live.height());
}

// A dialog opened by a double-click takes the button's release; afterwards
// the element does not keep the mouse: a drag on the page draws the frame.
void PageComposeTest::pageIsFreeAfterADialog()
{
    openExample();
    QWidget* d = insert(menu().figura, {100, 100}, QStringLiteral("Геометрическая фигура"));
    QVERIFY(d);
    QVERIFY(confirm(d));
    const ElementRef figure = app->scadaEditor().editor().pageElements(kPage).constLast();
    QCOMPARE(figure.kind, ObjectKind::Figura);
    doubleClick({101, 110}); // on the figure's line
    d = shownWindow(QStringLiteral("Геометрическая фигура"));
    QVERIFY(d);
    click(d, "Cancel_Element");
    QVERIFY(window->isEnabled());
    const QPoint before = recordObjectPos(ws->pages, figure);
    QTest::mousePress(view(), Qt::LeftButton, {}, QPoint(600, 300));
    QTest::mouseMove(view(), QPoint(700, 400));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, QPoint(700, 400));
    QCOMPARE(recordObjectPos(ws->pages, figure), before);
    const SelectionFrame& frame = app->scadaEditor().state().frame;
    QVERIFY(frame.visible);
    QCOMPARE(frame.rect, QRect(600, 300, 100, 100));
}

QTEST_MAIN(PageComposeTest)
#include "test_page_compose.moc"
