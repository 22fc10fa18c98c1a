// What the figure, text, graph, control, menu and go-to dialogs write, without
// windows: allocation and the kinds' messages, the graph limits in their
// order, the button sizes and the type-13 place, the channel lists, the
// go-to targets, options and lists, and what "Удалить" resets.
#include "scada/page_painter.h"
#include "scada/static_elements.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"

#include "editor_fixture.h"
#include "support/scripted_interaction.h"

#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ObjectKind)

namespace {

// The messages shown, with their icons.
QStringList shown(const ScriptedInteraction& ui)
{
    QStringList out;
    for (const Message& m : ui.messages)
        out << m.text + (m.icon == MessageIcon::Question ? QStringLiteral(" (?)") : QString());
    return out;
}

// Every stored field of every slot of a kind on a page.
QStringList tableText(const ScadaPages& pages, ObjectKind kind, int page)
{
    QStringList out;
    for (int n = 0; n <= ScadaPages::maxNumber(kind); ++n)
        out << fixture::fieldsAt(pages, {kind, page, n}).join(u'|');
    return out;
}

} // namespace

class StaticElementsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        pages = std::make_unique<ScadaPages>();
        blocks = std::make_unique<BlockTable>();
        ui.messages.clear();
        blocks->block_type[5] = 10;   // SUM: no setpoints
        blocks->block_type[12] = 26;  // PID: 8 setpoints
        blocks->block_type[14] = 45;  // ALG: 96 setpoints and 32 selected by inputs
        blocks->block_type[40] = 50;  // TOU: 255 channels
    }

    void figura_data();
    void figura();
    void text();
    void grafik_data();
    void grafik();
    void lettersAreRefused_data();
    void lettersAreRefused();
    void control_data();
    void control();
    void type13StaysWhereItIs();
    void channelLists_data();
    void channelLists();
    void menu();
    void fullPage_data();
    void fullPage();
    void refusalTakesNoNumber_data();
    void refusalTakesNoNumber();
    void goTargets_data();
    void goTargets();
    void goOpening_data();
    void goOpening();
    void goLists_data();
    void goLists();
    void deleteResets_data();
    void deleteResets();
    void deleteOutsideTheRange();

private:
    std::unique_ptr<ScadaPages> pages;
    std::unique_ptr<BlockTable> blocks;
    BlockCatalog catalog;
    ScriptedInteraction ui;
};

// ---- figure ------------------------------------------------------------------

void StaticElementsTest::figura_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("typed");    // size X, size Y, line width
    QTest::addColumn<QStringList>("record");   // used, x, y, size_x, size_y, color, type, line_width
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QSize>("drawn");
    QTest::newRow("rectangle from the template at (50, 60)")
        << 0 << QStringList{"40", "30", "3"} << QStringList{"1", "50", "60", "40", "30", "255", "0", "3"}
        << QStringList{} << QSize(40, 30);
    QTest::newRow("circle 30 / 10 is drawn 30 x 30")
        << 1 << QStringList{"30", "10", "1"} << QStringList{"1", "50", "60", "30", "10", "255", "1", "1"}
        << QStringList{} << QSize(30, 30);
    QTest::newRow("negative values are stored absolute")
        << 0 << QStringList{"-20", "-15", "-2"} << QStringList{"1", "50", "60", "20", "15", "255", "0", "2"}
        << QStringList{} << QSize(20, 15);
    QTest::newRow("beyond the page: set to the limit")
        << 0 << QStringList{"900", "500", "150"} << QStringList{"1", "50", "60", "800", "480", "255", "0", "100"}
        << QStringList{"Ширина больше 800 (?)", "Высота больше 480 (?)", "Толщина линии больше 100 (?)"}
        << QSize(800, 480);
}

void StaticElementsTest::figura()
{
    QFETCH(int, type);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, record);
    QFETCH(QStringList, messages);
    QFETCH(QSize, drawn);
    FiguraForm form;
    form.number = QStringLiteral("0");
    form.type = type;
    form.size_x = typed[0];
    form.size_y = typed[1];
    form.line_width = typed[2];
    form.color = 0x0000FF;
    // Whatever the opened object was, a new figure takes its place.
    const OkOutcome r = okFigura(*pages, 2, {50, 60}, form, ui);
    QVERIFY(r.closes);
    const ElementRef ref{ObjectKind::Figura, 2, 1};
    QCOMPARE(r.element, ref);
    QCOMPARE(r.changes.created, QList<ElementRef>{ref});
    QCOMPARE(fixture::fieldsAt(*pages, ref), record);
    QCOMPARE(shown(ui), messages);
    QCOMPARE(objectRect(*pages, ref, {50, 60}), QRect(QPoint(50, 60), drawn));

    // Editing it: the number names it, it stays where it is, the form shows
    // what it stores (a circle's size Y included).
    const FiguraForm back = figuraForm(*pages, ref);
    QCOMPARE(back.number, QStringLiteral("1"));
    QCOMPARE((QStringList{back.size_x, back.size_y, back.line_width}), record.mid(3, 2) << record[7]);
    QCOMPARE(back.type, type);
    ui.messages.clear();
    const OkOutcome again = okFigura(*pages, 2, {300, 300}, back, ui);
    QCOMPARE(again.changes.updated, QList<ElementRef>{ref});
    QCOMPARE(fixture::fieldsAt(*pages, ref), record);
    QCOMPARE(shown(ui), QStringList{});
}

// ---- text --------------------------------------------------------------------

void StaticElementsTest::text()
{
    // A new text starts with the template's sample look.
    const TextLabelForm start = textLabelForm(*pages, {ObjectKind::Text, 3, 0});
    QCOMPARE(start.text, QStringLiteral("Текст"));
    QCOMPARE(start.font_name, QStringLiteral("Arial"));
    QCOMPARE(start.font_size, 10);
    QVERIFY(!start.bold && !start.italic);

    TextLabelForm form = start;
    form.text = QStringLiteral("Котельная №2");
    form.color = 0x00C000;
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(16);
    chosen.setBold(true);
    chosen.setItalic(true);
    applyChosenFont(form, chosen);
    QCOMPARE(textLabelFont(form).family(), QStringLiteral("Liberation Serif"));
    const OkOutcome r = okText(*pages, 3, {120, 40}, form, ui);
    const ElementRef ref{ObjectKind::Text, 3, 1};
    QCOMPARE(r.element, ref);
    QCOMPARE(fixture::fieldsAt(*pages, ref),
             (QStringList{"1", "120", "40", QString::number(0x00C000), QStringLiteral("Котельная №2"),
                          "Liberation Serif", "-1", "-1", "16"}));

    // A font given in pixels is stored in points; sizes fit the byte.
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(20);
    applyChosenFont(form, pixels);
    QCOMPARE(form.font_size, 15);
    QVERIFY(!form.bold && !form.italic);
    QFont huge;
    huge.setPointSize(400);
    applyChosenFont(form, huge);
    QCOMPARE(form.font_size, 255);

    // Texts run to number 64.
    for (int n = 2; n <= 64; ++n)
        pages->text[3][size_t(n)].used = 1;
    pages->text[3][40].used = 0;
    form.number = QStringLiteral("0");
    QCOMPARE(okText(*pages, 3, {1, 1}, form, ui).element, (ElementRef{ObjectKind::Text, 3, 40}));
    QCOMPARE(shown(ui), QStringList{});
}

// ---- graph -------------------------------------------------------------------

void StaticElementsTest::grafik_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("100 x 200") << "100" << "200" << QSize(120, 150)
                               << QStringList{"Ширина меньше 120 (?)", "Высота больше 150 (?)"};
    QTest::newRow("300 x 40") << "300" << "40" << QSize(240, 60)
                              << QStringList{"Высота меньше 60 (?)", "Ширина больше 240 (?)"};
    QTest::newRow("negative sizes are raised to the minimum") << "-500" << "-70" << QSize(120, 60)
                                                    << QStringList{"Ширина меньше 120 (?)", "Высота меньше 60 (?)"};
    QTest::newRow("inside the limits") << "240" << "60" << QSize(240, 60) << QStringList{};
}

// Letters or an empty number field are refused with the field's caption;
// the page keeps what it had.
void StaticElementsTest::lettersAreRefused_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("rectangle width") << ObjectKind::Figura << 0 << "x" << "Введите число: Размер Х";
    QTest::newRow("circle diameter") << ObjectKind::Figura << 0 << "" << "Введите число: Диаметр";
    QTest::newRow("line width") << ObjectKind::Figura << 2 << "?" << "Введите число: Толщина линии";
    QTest::newRow("graph x") << ObjectKind::Grafik << 0 << "abc" << "Введите число: Координата Х";
    QTest::newRow("graph height") << ObjectKind::Grafik << 3 << "5 5" << "Введите число: Размер Y";
}

void StaticElementsTest::lettersAreRefused()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QStringList fields{"10", "10", "1", "10"};
    fields[field] = typed;
    const QStringList before = tableText(*pages, kind, 2);
    OkOutcome r;
    if (kind == ObjectKind::Figura) {
        const int type = message.endsWith(QStringLiteral("Диаметр")) ? 1 : 0;
        r = okFigura(*pages, 2, {}, {"0", type, fields[0], fields[1], fields[2], 0}, ui);
    } else {
        GrafikForm form = grafikForm(*pages, 2);
        form.x = fields[0];
        form.y = fields[1];
        form.width = QStringLiteral("100");
        form.height = fields[3];
        r = okGrafik(*pages, 2, form, ui);
    }
    QVERIFY(!r.closes);
    QCOMPARE(ui.texts(), QStringList{message});
    QCOMPARE(tableText(*pages, kind, 2), before);
}

void StaticElementsTest::grafik()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, stored);
    QFETCH(QStringList, messages);
    *pages->grafikOfPage(4) = {1, 1, 1, 100, 50, 0};
    GrafikForm form = grafikForm(*pages, 4);
    QCOMPARE((QStringList{form.x, form.y, form.width, form.height}), (QStringList{"1", "1", "100", "50"}));
    form.x = QStringLiteral("300");
    form.y = QStringLiteral("200");
    form.width = width;
    form.height = height;
    form.group = 5;
    const OkOutcome r = okGrafik(*pages, 4, form, ui);
    QVERIFY(r.closes);
    QCOMPARE(r.changes.updated, (QList<ElementRef>{{ObjectKind::Grafik, 4, 1}}));
    QCOMPARE(shown(ui), messages);
    const GrafikElement& g = pages->grafik[5];
    QCOMPARE((QList<int>{g.used, g.x, g.y, g.width, g.height, g.group}),
             (QList<int>{1, 300, 200, stored.width(), stored.height(), 5}));

    // A position off the page is refused before anything is checked or written.
    const GrafikElement before = g;
    ui.messages.clear();
    form.x = QStringLiteral("800");
    form.width = QStringLiteral("10");
    QVERIFY(!okGrafik(*pages, 4, form, ui).closes);
    QCOMPARE(ui.texts(), QStringList{"Координата Х больше 799!"});
    QCOMPARE((QList<int>{g.x, g.width}), (QList<int>{before.x, before.width}));

    // "Удалить" takes it off the page: used, x and y 0, the rest stays.
    const PageChanges gone = deleteGrafik(*pages, 4);
    QCOMPARE(gone.removed, (QList<ElementRef>{{ObjectKind::Grafik, 4, 1}}));
    QCOMPARE((QList<int>{g.used, g.x, g.y, g.width, g.group}), (QList<int>{0, 0, 0, stored.width(), 5}));
    QVERIFY(deleteGrafik(*pages, 4).removed.isEmpty());
}

// ---- control -----------------------------------------------------------------

void StaticElementsTest::control_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QPoint>("typed");      // the position fields
    QTest::addColumn<QPoint>("record");     // stored x, y
    QTest::addColumn<QRect>("picture");     // where the picture is drawn
    QTest::newRow("ПУСТО") << 0 << false << QPoint(100, 50) << QPoint(100, 50) << QRect(100, 50, 40, 40);
    QTest::newRow("ON") << 9 << false << QPoint(100, 50) << QPoint(100, 50) << QRect(100, 50, 40, 40);
    QTest::newRow("СТОП 1") << 10 << false << QPoint(100, 50) << QPoint(100, 50) << QRect(100, 50, 105, 40);
    QTest::newRow("ПУСК 11") << 11 << false << QPoint(0, 0) << QPoint(0, 0) << QRect(0, 0, 105, 40);
    QTest::newRow("Сеть") << 12 << false << QPoint(100, 50) << QPoint(100, 50) << QRect(100, 50, 33, 45);
    QTest::newRow("new Клювик") << 13 << false << QPoint(100, 50) << QPoint(90, 60) << QRect(90, 50, 60, 60);
    QTest::newRow("new Клювик at the edge") << 13 << false << QPoint(5, 0) << QPoint(0, 10) << QRect(0, 0, 60, 60);
    QTest::newRow("edited Клювик") << 13 << true << QPoint(100, 50) << QPoint(100, 60) << QRect(100, 50, 60, 60);
}

void StaticElementsTest::control()
{
    QFETCH(int, type);
    QFETCH(bool, existing);
    QFETCH(QPoint, typed);
    QFETCH(QPoint, record);
    QFETCH(QRect, picture);
    if (existing)
        pages->control[1][6].used = 1;
    ControlForm form;
    form.number = existing ? QStringLiteral("6") : QStringLiteral("0");
    form.x = QString::number(typed.x());
    form.y = QString::number(typed.y());
    form.block = QStringLiteral("40");
    form.output = 200;
    form.type = type;
    form.picture_file = QStringLiteral("/pics/stop.gif");
    const OkOutcome r = okControl(*pages, 1, form, ui);
    const int n = existing ? 6 : 1;
    QCOMPARE(r.element, (ElementRef{ObjectKind::Control, 1, n}));
    const ControlElement& c = pages->control[1][size_t(n)];
    QCOMPARE(QPoint(c.x, c.y), record);
    QCOMPARE(controlRect(c), picture);
    QCOMPARE(QSize(c.width, c.height), picture.size());
    QCOMPARE((QList<int>{c.used, c.type, c.block, c.channel}), (QList<int>{1, type, 40, 200}));
    QCOMPARE(c.picture_file, QStringLiteral("/pics/stop.gif"));
    QCOMPARE(shown(ui), QStringList{});
}

// A new type-13 control confirmed at (100, 50) is drawn at (90, 50) and
// stores (90, 60); reopening shows (90, 50), and "Ok" leaves it there.
void StaticElementsTest::type13StaysWhereItIs()
{
    ControlForm form;
    form.number = QStringLiteral("0");
    form.x = QStringLiteral("100");
    form.y = QStringLiteral("50");
    form.block = QStringLiteral("0");
    form.type = 13;
    const ElementRef ref = okControl(*pages, 0, form, ui).element;
    for (int round = 0; round < 3; ++round) {
        const ControlElement& c = pages->control[0][size_t(ref.number)];
        QCOMPARE(QPoint(c.x, c.y), QPoint(90, 60));
        QCOMPARE(recordObjectPos(*pages, ref), QPoint(90, 50));
        form = controlForm(*pages, ref, recordObjectPos(*pages, ref));
        QCOMPARE((QStringList{form.number, form.x, form.y}), (QStringList{"1", "90", "50"}));
        QCOMPARE(form.type, 13);
        QVERIFY(okControl(*pages, 0, form, ui).changes.updated.contains(ref));
    }
}

void StaticElementsTest::channelLists_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<int>("count");
    QTest::newRow("no block") << "0" << 4;
    QTest::newRow("SUM") << "5" << 4;
    QTest::newRow("TOU") << "40" << 255;
    QTest::newRow("TOU typed negative") << "-40" << 255;
    QTest::newRow("beyond the table") << "400" << 4;
}

void StaticElementsTest::channelLists()
{
    QFETCH(QString, block);
    QFETCH(int, count);
    const QStringList entries = controlChannelEntries(*blocks, catalog, block);
    QCOMPARE(entries.size(), count);
    QCOMPARE(entries.first(), QStringLiteral("1"));
    QCOMPARE(entries.last(), QString::number(count));
}

// ---- menu --------------------------------------------------------------------

void StaticElementsTest::menu()
{
    // A new menu takes the template's place and text.
    MenuElement& t = pages->menu[5][0];
    t.text = QStringLiteral("Котёл");
    MenuForm form = menuForm(*pages, {ObjectKind::Menu, 5, 0});
    QCOMPARE(form.text, QStringLiteral("Котёл"));
    form.target_page = 6;
    const OkOutcome r = okMenu(*pages, 5, {200, 100}, form, ui);
    const ElementRef ref{ObjectKind::Menu, 5, 1};
    QCOMPARE(r.changes.created, QList<ElementRef>{ref});
    QCOMPARE(fixture::fieldsAt(*pages, ref), (QStringList{"1", "207", "113", QStringLiteral("Котёл"), "6"}));
    QCOMPARE(recordObjectPos(*pages, ref), QPoint(200, 100));

    // Editing it changes the page only: its text is typed on the page.
    pages->menu[5][1].text = QStringLiteral("Насосная");
    form = menuForm(*pages, ref);
    QCOMPARE(form.target_page, 6);
    form.target_page = 0;
    QCOMPARE(okMenu(*pages, 5, {0, 0}, form, ui).changes.updated, QList<ElementRef>{ref});
    QCOMPARE(fixture::fieldsAt(*pages, ref), (QStringList{"1", "207", "113", QStringLiteral("Насосная"), "0"}));
    QCOMPARE(shown(ui), QStringList{});
}

// With every number of the page in use, a new element gives the kind's
// message and nothing changes.
void StaticElementsTest::fullPage_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("figure") << ObjectKind::Figura << "Номер фигуры больше 32!";
    QTest::newRow("text") << ObjectKind::Text << "Номер текста больше 64!";
    QTest::newRow("control") << ObjectKind::Control << "Номер элемента управления больше 32!";
    QTest::newRow("ninth menu") << ObjectKind::Menu << "Номер элемента меню больше 8!";
    QTest::newRow("go-to") << ObjectKind::GoBlock << "Номер перехода больше 32!";
}

void StaticElementsTest::fullPage()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QString, message);
    const int p = 6;
    for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n)
        fixture::fillAt(*pages, {kind, p, n}, {1, 3, 4, QStringLiteral("x")});
    const QStringList before = tableText(*pages, kind, p);
    const QString typed = QStringLiteral("99"); // a number outside the table counts as a free one
    OkOutcome r;
    switch (kind) {
    case ObjectKind::Figura: r = okFigura(*pages, p, {}, {typed, 0, "10", "10", "1", 0}, ui); break;
    case ObjectKind::Text: r = okText(*pages, p, {}, {typed, "t", "Arial", 10, false, false, 0}, ui); break;
    case ObjectKind::Menu: r = okMenu(*pages, p, {}, {typed, 0, "m"}, ui); break;
    case ObjectKind::GoBlock: r = okGoBlock(*pages, p, {}, {typed, "5", false, 0, false}, ui); break;
    default: {
        ControlForm form;
        form.number = typed;
        form.x = form.y = QStringLiteral("10");
        form.block = QStringLiteral("0");
        r = okControl(*pages, p, form, ui);
    }
    }
    QVERIFY(r.closes);
    QCOMPARE(r.element.number, 0);
    QVERIFY(r.changes.isEmpty());
    QCOMPARE(ui.texts(), QStringList{message});
    QCOMPARE(tableText(*pages, kind, p), before);
}

// A refused block number or position takes no number from the page.
void StaticElementsTest::refusalTakesNoNumber_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("message");
    QTest::newRow("go-to to block 100") << ObjectKind::GoBlock << "100" << "0" << "Номер блока больше 99!";
    QTest::newRow("control on block 256") << ObjectKind::Control << "256" << "0" << "Номер блока больше 99!";
    QTest::newRow("control below the page") << ObjectKind::Control << "1" << "480" << "Координата Y больше 479!";
    QTest::newRow("control above the page") << ObjectKind::Control << "1" << "-1" << "Координата Y меньше 0!";
    QTest::newRow("go-to to block abc") << ObjectKind::GoBlock << "abc" << "0" << "Введите число: Номер блока(1-99)";
    QTest::newRow("control without block") << ObjectKind::Control << "" << "0" << "Введите число: Номер блока 1-99";
    QTest::newRow("control y letters") << ObjectKind::Control << "1" << "y" << "Введите число: Координата Y";
}

void StaticElementsTest::refusalTakesNoNumber()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QString, block);
    QFETCH(QString, y);
    QFETCH(QString, message);
    OkOutcome r;
    if (kind == ObjectKind::GoBlock) {
        r = okGoBlock(*pages, 0, {}, {"0", block, true, 0, false}, ui);
    } else {
        ControlForm form;
        form.number = QStringLiteral("0");
        form.x = QStringLiteral("10");
        form.y = y;
        form.block = block;
        r = okControl(*pages, 0, form, ui);
    }
    QVERIFY(!r.closes);
    QCOMPARE(ui.texts(), QStringList{message});
    QCOMPARE(ui.messages.first().icon, MessageIcon::Warning);
    QVERIFY(!isOccupied(*pages, {kind, 0, 1}));
}

// ---- go-to -------------------------------------------------------------------

void StaticElementsTest::goTargets_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("process");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("option");
    QTest::newRow("page 3") << "97" << false << 2 << false << 203 << 2;
    QTest::newRow("page 3, locked") << "97" << false << 2 << true << 203 << 130;
    QTest::newRow("page 8 with Процесс") << "97" << true << 7 << false << 208 << 7;
    QTest::newRow("graph group 8") << "98" << false << 7 << false << 218 << 7;
    QTest::newRow("text signal 6") << "0" << false << 5 << false << 220 << 5;
    QTest::newRow("sample 00") << "00" << false << 0 << false << 220 << 0;
    QTest::newRow("block 12") << "12" << false << 0 << false << 12 << 0;
    QTest::newRow("block 12 process, setpoint 4") << "12" << true << 3 << true << 112 << 131;
    QTest::newRow("block 99 process") << "-99" << true << 0 << false << 199 << 0;
    QTest::newRow("last setpoint of ALG") << "14" << true << 127 << false << 114 << 127;
}

void StaticElementsTest::goTargets()
{
    QFETCH(QString, block);
    QFETCH(bool, process);
    QFETCH(int, position);
    QFETCH(bool, locked);
    QFETCH(int, target);
    QFETCH(int, option);
    const OkOutcome r = okGoBlock(*pages, 7, {120, 58}, {"0", block, process, position, locked}, ui);
    QCOMPARE(r.element, (ElementRef{ObjectKind::GoBlock, 7, 1}));
    QCOMPARE(fixture::fieldsAt(*pages, r.element),
             (QStringList{"1", "120", "58", QString::number(target), QString::number(option)}));
    QCOMPARE(shown(ui), QStringList{});
    // Reopening gives the same fields back.
    const GoOpening o = ostrel::goOpening(pages->go_block[7][1]);
    QCOMPARE(o.list_position, position);
    QCOMPARE(o.locked, locked);
    QCOMPARE(okGoBlock(*pages, 7, {}, {"1", o.block, o.process, o.list_position, o.locked}, ui)
                 .changes.updated,
             QList<ElementRef>{r.element});
    QCOMPARE(fixture::fieldsAt(*pages, r.element),
             (QStringList{"1", "120", "58", QString::number(target), QString::number(option)}));
}

void StaticElementsTest::goOpening_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("block");
    QTest::addColumn<int>("process");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("locked");
    QTest::newRow("block 12") << 12 << 0 << "12" << 0 << 0 << false;
    QTest::newRow("block 99") << 99 << 1 << "99" << 0 << 1 << false;
    QTest::newRow("process of block 12") << 112 << 131 << "12" << 1 << 3 << true;
    QTest::newRow("page 3") << 203 << 2 << "97" << 0 << 2 << false;
    QTest::newRow("graph group 5") << 215 << 4 << "98" << 0 << 4 << false;
    QTest::newRow("text signal 6") << 220 << 133 << "0" << 0 << 5 << true;
    QTest::newRow("highest text-signal code") << 251 << 0 << "0" << 0 << 0 << false;
    QTest::newRow("new element") << 0 << 0 << "00" << 0 << 0 << false;
    QTest::newRow("unknown 209") << 209 << 0 << "00" << 0 << 0 << false;
    QTest::newRow("unknown 100") << 100 << 0 << "00" << 0 << 0 << false;
    QTest::newRow("damaged option") << 12 << -1 << "12" << 0 << 127 << true;
}

void StaticElementsTest::goOpening()
{
    QFETCH(int, target);
    QFETCH(int, option);
    QFETCH(QString, block);
    QFETCH(int, process);
    QFETCH(int, position);
    QFETCH(bool, locked);
    GoBlockElement e;
    e.target = int16_t(target);
    e.option = int16_t(option);
    const GoOpening o = ostrel::goOpening(e);
    QCOMPARE(o.block, block);
    QCOMPARE(int(o.process), process);
    QCOMPARE(o.list_position, position);
    QCOMPARE(o.locked, locked);
}

void StaticElementsTest::goLists_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("process");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("visible");
    QTest::newRow("97: pages") << "97" << false << "Страница SCADA" << 8 << "8" << true;
    QTest::newRow("97 with Процесс: still pages") << "97" << true << "Страница SCADA" << 8 << "8" << true;
    QTest::newRow("98: graph groups") << "98" << false << "Группа графиков" << 8 << "8" << true;
    QTest::newRow("0: text signals") << "0" << false << "Текстовая сигнализация" << 32 << "32" << true;
    QTest::newRow("empty field reads 0") << "" << false << "Текстовая сигнализация" << 32 << "32" << true;
    QTest::newRow("PID without Процесс: hidden") << "12" << false << QString() << 8 << "8" << false;
    QTest::newRow("PID with Процесс: setpoints") << "12" << true << "Номер задатчика" << 8 << "8" << true;
    QTest::newRow("ALG with Процесс") << "14" << true << "Номер задатчика" << 128 << " SP(INP31)" << true;
    QTest::newRow("SUM has no setpoints") << "5" << true << QString() << 8 << "8" << false;
    QTest::newRow("no block there") << "33" << true << QString() << 8 << "8" << false;
}

void StaticElementsTest::goLists()
{
    QFETCH(QString, block);
    QFETCH(bool, process);
    QFETCH(QString, label);
    QFETCH(int, count);
    QFETCH(QString, last);
    QFETCH(bool, visible);
    const GoListState s = goListState(*blocks, catalog, block, process);
    QCOMPARE(s.label, label);
    QCOMPARE(s.entries.size(), count);
    QCOMPARE(s.entries.first(), QStringLiteral("1"));
    QCOMPARE(s.entries.last(), last);
    QCOMPARE(s.visible, visible);
    QCOMPARE(goProcessCaption(process), process ? QStringLiteral("Параметры") : QStringLiteral("Процесс"));
}

// ---- "Удалить" ---------------------------------------------------------------

void StaticElementsTest::deleteResets_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("figure") << ObjectKind::Figura << QStringList{"0", "0", "0", "1", "1", "0", "0", "3"};
    QTest::newRow("text") << ObjectKind::Text << QStringList{"0", "0", "0", "0", "", "x", "7", "7", "0"};
    QTest::newRow("control") << ObjectKind::Control << QStringList{"0", "7", "7", "9", "9", "x", "7", "7", "9"};
    QTest::newRow("menu") << ObjectKind::Menu << QStringList{"0", "7", "7", "x", "9"};
    QTest::newRow("go-to") << ObjectKind::GoBlock << QStringList{"0", "0", "0", "0", "7"};
}

void StaticElementsTest::deleteResets()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QStringList, after);
    PageEditorState state;
    const int n = kind == ObjectKind::Menu ? 8 : 3;
    const ElementRef ref{kind, 2, n};
    fixture::fillAt(*pages, ref, {7, 7, 9, QStringLiteral("x")});
    withRecord(*pages, ref, [](auto& e) { e.used = 1; });
    const ScadaPages before = *pages;
    // The handle of a deleted figure goes with it.
    state.handle_visible = true;
    state.resize_target = {ResizeKind::Figura, ref.objectNumber()};
    const PageChanges c = deleteStaticElement(*pages, state, kind, 2, QString::number(n));
    QCOMPARE(c.removed, QList<ElementRef>{ref});
    QCOMPARE(fixture::fieldsAt(*pages, ref), after);
    QCOMPARE(c.handle, kind == ObjectKind::Figura);
    QCOMPARE(state.handle_visible, kind != ObjectKind::Figura);
    // Nothing else changed.
    for (int k = 0; k < kNumberedKinds; ++k) {
        QStringList now = tableText(*pages, ObjectKind(k), 2);
        QStringList old = tableText(before, ObjectKind(k), 2);
        if (ObjectKind(k) == kind)
            now.removeAt(n), old.removeAt(n);
        QCOMPARE(now, old);
    }
}

void StaticElementsTest::deleteOutsideTheRange()
{
    PageEditorState state;
    for (int n = 1; n <= 64; ++n)
        fixture::fillAt(*pages, {ObjectKind::Text, 1, n}, {1, 7, 9, QStringLiteral("x")});
    fixture::fillAt(*pages, {ObjectKind::Menu, 1, 8}, {1, 7, 9, QStringLiteral("x")});
    const ScadaPages before = *pages;
    for (const auto& [kind, typed] : QList<std::pair<ObjectKind, QString>>{
             {ObjectKind::Text, "0"}, {ObjectKind::Text, "65"}, {ObjectKind::Menu, "9"}, {ObjectKind::Figura, "33"},
             {ObjectKind::GoBlock, "-1"}, {ObjectKind::Control, "abc"}, {ObjectKind::Parametr, "1"}})
        QVERIFY(deleteStaticElement(*pages, state, kind, 1, typed).isEmpty());
    QVERIFY(deleteStaticElement(*pages, state, ObjectKind::Text, 8, "1").isEmpty());
    for (int k = 0; k < kNumberedKinds; ++k)
        QCOMPARE(tableText(*pages, ObjectKind(k), 1), tableText(before, ObjectKind(k), 1));
    // Text 64 is the last one that can be deleted.
    QCOMPARE(deleteStaticElement(*pages, state, ObjectKind::Text, 1, "64").removed,
             (QList<ElementRef>{{ObjectKind::Text, 1, 64}}));
}

QTEST_MAIN(StaticElementsTest)
#include "test_static_elements.moc"
