// The figure, text, graph, control, menu and go-to dialogs driven through
// their controls (found by object name) and the scripted interaction seam:
// the windows and their controls, "Отмена" and "Удалить", the figure's
// sizes and handle, the font chooser, the graph limits, the button palette
// and "Загрузить", the type-13 place, the menu limit, the go-to lists, and
// the dialogs opened on what a paste produced.
#include "scada/ui/element_dialogs.h"
#include "scada/element_pictures.h"
#include "scada/page_clipboard.h"
#include "scada/page_painter.h"
#include "scada/ui/control_dialog.h"
#include "scada/ui/figura_dialog.h"
#include "scada/ui/go_block_dialog.h"
#include "scada/ui/grafik_dialog.h"
#include "scada/ui/menu_dialog.h"
#include "scada/ui/text_label_dialog.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"

#include "editor_fixture.h"
#include "support/scripted_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ostrel::PageChanges)
Q_DECLARE_METATYPE(ObjectKind)

namespace {

struct Member {
    ObjectKind kind;
    QString window, caption;
    QStringList controls;   // every named control of the dialog
};

QList<Member> members()
{
    return {
        {ObjectKind::Figura, "Figura", "Геометрическая фигура",
         {"Num_Figura_Text", "Type_Figura1", "Razmer_X_Figura_Text", "Razmer_Y_Figura_Text",
          "Width_Line_Figura_Text1", "Color_Figura"}},
        {ObjectKind::Text, "Text_Label", "Текст", {"Num_Label_Text_1", "Text_Text_Label", "Font_Text", "Color_Text_Label"}},
        {ObjectKind::Grafik, "Grafik_SCADA", "График", {"Grafik_Width", "Grafik_Height", "Grafik_Grup"}},
        {ObjectKind::Control, "Image_Control", "Элемент управления",
         {"Num_Control_Text", "Type_Key", "Image_Control_Wiew", "Name_Control_Gif", "Load_Control_GIF",
          "Num_Block_Contr_Text", "Num_OUT_Contr"}},
        {ObjectKind::Menu, "Menu_SCADA", "Меню", {"Num_Menu_Text", "List_Menu"}},
        {ObjectKind::GoBlock, "Go_Block_SCADA", "Блок ",
         {"Num_Go_Block_Text", "Num_Block_Text", "Process_Sozdat", "Num_Graf_SCADA", "Blokirovka"}},
    };
}

Member member(ObjectKind kind)
{
    for (const Member& m : members())
        if (m.kind == kind)
            return m;
    qFatal("no member");
}

// Every stored field of a page's tables, graph included.
QStringList pageText(const ScadaPages& pages, int page)
{
    QStringList out;
    for (int k = 0; k < kNumberedKinds; ++k)
        for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
            out << fixture::fieldsAt(pages, {ObjectKind(k), page, n}).join(u'|');
    out << fixture::fieldsAt(pages, {ObjectKind::Grafik, page, 1}).join(u'|');
    return out;
}

struct Fixture {
    std::unique_ptr<ScadaPages> pages = std::make_unique<ScadaPages>();
    PageEditorState state;
    PageEditor editor{*pages, state};
    std::unique_ptr<BlockTable> blocks = std::make_unique<BlockTable>();
    BlockCatalog catalog;
    ScriptedInteraction ui;
    ElementPictures pictures;
    QWidget owner;
    QString folder;
    ElementDialogs door{ElementDialogContext{*pages, editor, state, *blocks, catalog, ui, pictures,
                                             [this] { return folder; }},
                        &owner};
    QSignalSpy changed{&door, &ElementDialogs::pageChanged};

    Fixture()
    {
        blocks->block_type[5] = 10;   // SUM
        blocks->block_type[12] = 26;  // PID: setpoints "1".."8"
        blocks->block_type[40] = 50;  // TOU: 255 channels
    }

    // Shows the kind's template at `pos` on page p (the graph: inserts it)
    // and opens its dialog.
    QWidget* openNew(ObjectKind kind, int p = 0, QPoint pos = {30, 40})
    {
        state.current_page = p;
        state.placement = pos;
        state.placement_flag = 1;
        editor.insert(kind);
        state.placement_flag = 0;
        return open({kind, p, kind == ObjectKind::Grafik ? 1 : 0});
    }

    QWidget* open(const ElementRef& ref)
    {
        state.current_page = ref.page;
        if (!door.open(ref))
            qFatal("the dialog did not open");
        return door.dialog(ref.kind);
    }

    PageChanges lastChanges() const
    {
        return changed.isEmpty() ? PageChanges{} : changed.last().at(0).value<PageChanges>();
    }
};

template <class T> T* child(QWidget* dialog, const QString& name)
{
    T* w = dialog->findChild<T*>(name);
    if (!w)
        qFatal("no control %s in %s", qPrintable(name), qPrintable(dialog->objectName()));
    return w;
}

QLineEdit* edit(QWidget* d, const QString& name) { return child<QLineEdit>(d, name); }
QComboBox* combo(QWidget* d, const QString& name) { return child<QComboBox>(d, name); }
QCheckBox* check(QWidget* d, const QString& name) { return child<QCheckBox>(d, name); }

void click(QWidget* d, const QString& name) { QTest::mouseClick(child<QWidget>(d, name), Qt::LeftButton); }
void ok(QWidget* d) { click(d, ElementDialog::kOkName); }
void remove(QWidget* d) { click(d, ElementDialog::kDeleteName); }
void cancel(QWidget* d) { click(d, ElementDialog::kCancelName); }

// Types into a field as the user does.
void type(QWidget* d, const QString& name, const QString& text)
{
    QLineEdit* e = edit(d, name);
    e->selectAll();
    QTest::keyClicks(e, text);
}

// Chooses a list entry as the user does.
void choose(QWidget* d, const QString& name, int index)
{
    QComboBox* box = combo(d, name);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList items(QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QString labelText(QWidget* d, const QString& name)
{
    return child<QLabel>(d, name)->text();
}

} // namespace

class StaticElementDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }

    void windows_data();
    void windows();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void deleteResets_data();
    void deleteResets();
    void figureSizesAndHandle();
    void textFontAndColour();
    void graphLimits();
    void controlPalette();
    void controlLoadPicture();
    void controlType13Place();
    void controlChannels();
    void ninthMenuRefused();
    void goToLists_data();
    void goToLists();
    void goToPageAndReopen();
    void goToShowsOnlyItsOwnValues();
    void goToOptionNotInTheList();
    void pastedElementsOpen();

private:
    std::unique_ptr<Fixture> f;
};

void StaticElementDialogsTest::windows_data()
{
    QTest::addColumn<ObjectKind>("kind");
    for (const Member& m : members())
        QTest::newRow(qPrintable(m.window)) << m.kind;
}

// Each dialog has its name, caption and controls, disables the owner while
// open, fits the screen and closes by Esc like "Отмена".
void StaticElementDialogsTest::windows()
{
    QFETCH(ObjectKind, kind);
    const Member m = member(kind);
    QWidget* d = f->openNew(kind);
    QCOMPARE(d->objectName(), m.window);
    QCOMPARE(d->windowTitle(), m.caption);
    for (const QString& name : m.controls + QStringList{ElementDialog::kOkName, ElementDialog::kDeleteName,
                                                        ElementDialog::kCancelName})
        QVERIFY2(d->findChild<QWidget*>(name), qPrintable(name));
    QVERIFY(d->isVisible());
    QVERIFY(!f->owner.isEnabled());
    QVERIFY(d->parentWidget() == nullptr);
    QVERIFY(d->width() <= 1280 && d->height() <= 1024);
    QVERIFY(f->door.windows().contains(d));
    QVERIFY(!f->door.open({ObjectKind::Parametr, 0, 0}));
    QTest::keyClick(d, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
    if (kind != ObjectKind::Grafik)
        QVERIFY(!f->state.templateOf(kind).visible);
    QCOMPARE(f->changed.size(), 1);
    QCOMPARE(f->open({kind, 0, kind == ObjectKind::Grafik ? 1 : 0}), d);
    cancel(d);
}

void StaticElementDialogsTest::cancelChangesNothing_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<int>("way");   // 0 "Отмена", 1 Esc, 2 the close box
    for (const Member& m : members()) {
        const QByteArray w = m.window.toLatin1();
        QTest::newRow(w + " Отмена") << m.kind << 0;
        QTest::newRow(w + " Esc") << m.kind << 1;
        QTest::newRow(w + " close box") << m.kind << 2;
    }
}

// Whatever was changed in the fields, leaving without "Ok" keeps every record.
void StaticElementDialogsTest::cancelChangesNothing()
{
    QFETCH(ObjectKind, kind);
    QFETCH(int, way);
    const int p = 1;
    const ElementRef ref{kind, p, kind == ObjectKind::Grafik ? 1 : 3};
    fixture::fillAt(*f->pages, ref, {2, 0x336699, 1, QStringLiteral("Текст")});
    const ScadaPages before = *f->pages;

    QWidget* d = f->open(ref);
    for (QLineEdit* e : d->findChildren<QLineEdit*>())
        if (!e->isReadOnly())
            type(d, e->objectName(), QStringLiteral("97"));
    for (QComboBox* box : d->findChildren<QComboBox*>())
        if (box->count() > 1)
            choose(d, box->objectName(), 1);
    for (QCheckBox* box : d->findChildren<QCheckBox*>())
        box->click();
    f->ui.colorAnswers = {QColor(10, 20, 30)};
    f->ui.fontAnswers = {QFont(QStringLiteral("DejaVu Serif"), 30)};
    for (ColorBox* box : d->findChildren<ColorBox*>())
        QTest::mouseClick(box, Qt::LeftButton);
    if (kind == ObjectKind::Text)
        click(d, "Font_Text");

    if (way == 0)
        cancel(d);
    else if (way == 1)
        QTest::keyClick(d, Qt::Key_Escape);
    else
        d->close();
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
    QCOMPARE(pageText(*f->pages, p), pageText(before, p));
    const PageChanges c = f->lastChanges();
    QVERIFY(c.created.isEmpty() && c.updated.isEmpty() && c.removed.isEmpty());
}

void StaticElementDialogsTest::deleteResets_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");   // stored fields of the element afterwards
    // Filled: 16-bit fields 5, 32-bit 0x123456, bytes 9, texts "abc".
    const QString c = QString::number(0x123456);
    QTest::newRow("figure") << ObjectKind::Figura << "3" << QStringList{"0", "0", "0", "1", "1", "0", "0", "3"};
    QTest::newRow("text") << ObjectKind::Text << "3" << QStringList{"0", "0", "0", "0", "", "abc", "5", "5", "0"};
    QTest::newRow("control") << ObjectKind::Control << "3"
                             << QStringList{"0", "5", "5", "9", "9", "abc", "5", "5", "9"};
    QTest::newRow("menu") << ObjectKind::Menu << "3" << QStringList{"0", "5", "5", "abc", "9"};
    QTest::newRow("go-to") << ObjectKind::GoBlock << "3" << QStringList{"0", "0", "0", "0", "5"};
    QTest::newRow("graph") << ObjectKind::Grafik << "" << QStringList{"0", "0", "0", "5", "5", "9"};
    QTest::newRow("figure, number 33: nothing")
        << ObjectKind::Figura << "33" << QStringList{"5", "5", "5", "5", "5", c, "5", "5"};
    QTest::newRow("menu, number 9: nothing") << ObjectKind::Menu << "9" << QStringList{"5", "5", "5", "abc", "9"};
}

void StaticElementDialogsTest::deleteResets()
{
    QFETCH(ObjectKind, kind);
    QFETCH(QString, number);
    QFETCH(QStringList, expected);
    const ElementRef ref{kind, 0, kind == ObjectKind::Grafik ? 1 : 3};
    fixture::fillAt(*f->pages, ref, {5, 0x123456, 9, QStringLiteral("abc")});
    const ElementRef other = kind == ObjectKind::Grafik ? ElementRef{kind, 1, 1} : ElementRef{kind, 0, 2};
    fixture::fillAt(*f->pages, other, {5, 0x123456, 9, QStringLiteral("abc")});
    const QStringList otherBefore = fixture::fieldsAt(*f->pages, other);
    QWidget* d = f->open(ref);
    if (!number.isEmpty()) {
        const QString numberField = member(kind).controls.first();
        type(d, numberField, number);
    }
    remove(d);
    QCOMPARE(fixture::fieldsAt(*f->pages, ref), expected);
    QCOMPARE(fixture::fieldsAt(*f->pages, other), otherBefore);
    const bool deleted = expected.first() == QLatin1String("0");
    QCOMPARE(f->lastChanges().removed, deleted ? QList<ElementRef>{ref} : QList<ElementRef>{});
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
}

// A figure made from the template at (50, 60) stays there; a circle keeps
// both typed sizes and is drawn round; the figure gets the corner handle.
void StaticElementDialogsTest::figureSizesAndHandle()
{
    QWidget* d = f->openNew(ObjectKind::Figura, 2, {50, 60});
    QCOMPARE(edit(d, "Razmer_X_Figura_Text")->text(), QStringLiteral("40"));
    QCOMPARE(edit(d, "Width_Line_Figura_Text1")->text(), QStringLiteral("3"));
    QCOMPARE(labelText(d, "Label_Razmer_X_Figura"), QStringLiteral("Размер Х"));
    type(d, "Razmer_X_Figura_Text", "30");
    choose(d, "Type_Figura1", 1);
    QCOMPARE(labelText(d, "Label_Razmer_X_Figura"), QStringLiteral("Диаметр"));
    QCOMPARE(edit(d, "Razmer_Y_Figura_Text")->text(), QStringLiteral("30"));
    type(d, "Razmer_Y_Figura_Text", "10");
    type(d, "Width_Line_Figura_Text1", "2");
    f->ui.colorAnswers = {QColor(0, 0, 255)};
    click(d, "Color_Figura");
    ok(d);

    const ElementRef ref{ObjectKind::Figura, 2, 1};
    QCOMPARE(fixture::fieldsAt(*f->pages, ref),
             (QStringList{"1", "50", "60", "30", "10", QString::number(0xFF0000), "1", "2"}));
    QCOMPARE(f->editor.objectRect(ref), QRect(50, 60, 30, 30));
    QVERIFY(f->state.handle_visible);
    QCOMPARE(f->state.handle_pos, QPoint(80, 90));
    QCOMPARE(f->state.resize_target.object, ref.objectNumber());
    QVERIFY(f->lastChanges().handle);

    // Reopened: a circle with its diameter; "Прямоугольник" relabels it.
    f->open(ref);
    QCOMPARE(labelText(d, "Label_Razmer_X_Figura"), QStringLiteral("Диаметр"));
    QCOMPARE(edit(d, "Razmer_X_Figura_Text")->text(), QStringLiteral("30"));
    QCOMPARE(edit(d, "Razmer_Y_Figura_Text")->text(), QStringLiteral("10"));
    choose(d, "Type_Figura1", 0);
    QCOMPARE(labelText(d, "Label_Razmer_X_Figura"), QStringLiteral("Размер Х"));
    ok(d);
    QCOMPARE(f->editor.objectRect(ref), QRect(50, 60, 30, 10));
    QCOMPARE(f->ui.texts(), QStringList{});
}

// "Шрифт" goes through the font chooser; the text box previews face, size
// and colour; a cancelled choice changes nothing.
void StaticElementDialogsTest::textFontAndColour()
{
    QWidget* d = f->openNew(ObjectKind::Text, 0, {120, 200});
    QLineEdit* text = edit(d, "Text_Text_Label");
    QCOMPARE(text->text(), QStringLiteral("Текст"));
    text->setText(QStringLiteral("Давление, МПа"));
    QFont chosen(QStringLiteral("Liberation Serif"));
    chosen.setPointSize(18);
    chosen.setItalic(true);
    f->ui.fontAnswers = {chosen};
    click(d, "Font_Text");
    QCOMPARE(text->font().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(text->font().pixelSize(), 24);   // 18 points at 96 dots per inch
    QVERIFY(text->font().italic());
    click(d, "Font_Text");                     // cancelled: the font stays
    QCOMPARE(text->font().family(), QStringLiteral("Liberation Serif"));
    f->ui.colorAnswers = {QColor(0, 128, 0)};
    click(d, "Color_Text_Label");
    QCOMPARE(text->palette().color(QPalette::Text), QColor(0, 128, 0));
    ok(d);
    QCOMPARE(fixture::fieldsAt(*f->pages, {ObjectKind::Text, 0, 1}),
             (QStringList{"1", "120", "200", QString::number(0x008000), QStringLiteral("Давление, МПа"),
                          "Liberation Serif", "0", "-1", "18"}));

    // Reopened, the chooser starts from the stored font.
    f->open({ObjectKind::Text, 0, 1});
    QCOMPARE(text->font().family(), QStringLiteral("Liberation Serif"));
    QCOMPARE(text->text(), QStringLiteral("Давление, МПа"));
    cancel(d);
}

// 100 x 200 is stored as 120 x 150 after the two messages, in that order.
void StaticElementDialogsTest::graphLimits()
{
    QWidget* d = f->openNew(ObjectKind::Grafik, 3);
    QCOMPARE(edit(d, "Coord_X_Grafik")->text(), QStringLiteral("1"));
    QCOMPARE(edit(d, "Grafik_Width")->text(), QStringLiteral("100"));
    QCOMPARE(items(combo(d, "Grafik_Grup")), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
    type(d, "Coord_X_Grafik", "200");
    type(d, "Coord_Y_Grafik", "100");
    type(d, "Grafik_Width", "100");
    type(d, "Grafik_Height", "200");
    choose(d, "Grafik_Grup", 4);
    ok(d);
    QCOMPARE(f->ui.texts(), (QStringList{"Ширина меньше 120", "Высота больше 150"}));
    for (const Message& m : f->ui.messages)
        QCOMPARE(m.icon, MessageIcon::Question);
    QCOMPARE(fixture::fieldsAt(*f->pages, {ObjectKind::Grafik, 3, 1}),
             (QStringList{"1", "200", "100", "120", "150", "4"}));
    QVERIFY(!d->isVisible());
    f->open({ObjectKind::Grafik, 3, 1});
    QCOMPARE(edit(d, "Grafik_Height")->text(), QStringLiteral("150"));
    QCOMPARE(combo(d, "Grafik_Grup")->currentIndex(), 4);
    cancel(d);
}

// Clicking the preview opens the palette and disables the dialog; a picture
// of the palette chooses its type, enables the dialog and closes the palette.
void StaticElementDialogsTest::controlPalette()
{
    auto* d = qobject_cast<ControlDialog*>(f->openNew(ObjectKind::Control));
    QVERIFY(d);
    QCOMPARE(items(combo(d, "Type_Key")).size(), 14);
    QCOMPARE(combo(d, "Type_Key")->itemText(13), QStringLiteral("\"Клювик\""));
    choose(d, "Type_Key", 10);
    QCOMPARE(d->previewPicture(), f->pictures.button(10));
    QCOMPARE(edit(d, "Razmer_X_Control")->text(), QStringLiteral("105"));
    QCOMPARE(edit(d, "Razmer_Y_Control")->text(), QStringLiteral("40"));

    ControlTypePalette* palette = d->palette();
    QCOMPARE(palette->objectName(), QStringLiteral("Type_Control"));
    QCOMPARE(palette->windowTitle(), QStringLiteral("Тип управления"));
    QVERIFY(f->door.windows().contains(palette));
    click(d, "Image_Control_Wiew");
    QVERIFY(palette->isVisible());
    QVERIFY(!d->isEnabled());
    QCOMPARE(palette->findChildren<ClickLabel*>().size(), 14);
    click(palette, "Type_Control_Picture_12");
    QVERIFY(!palette->isVisible());
    QVERIFY(d->isEnabled());
    QCOMPARE(combo(d, "Type_Key")->currentIndex(), 12);
    QCOMPARE(d->previewPicture(), f->pictures.button(12));
    QCOMPARE(edit(d, "Razmer_Y_Control")->text(), QStringLiteral("45"));

    // Closed without a choice (close box or Esc), it enables the dialog again.
    click(d, "Image_Control_Wiew");
    palette->close();
    QVERIFY(d->isEnabled());
    click(d, "Image_Control_Wiew");
    QTest::keyClick(palette, Qt::Key_Escape);
    QVERIFY(!palette->isVisible());
    QVERIFY(d->isEnabled());
    QCOMPARE(combo(d, "Type_Key")->currentIndex(), 12);
    ok(d);
    const ControlElement& c = f->pages->control[0][1];
    QCOMPARE((QList<int>{c.type, c.width, c.height}), (QList<int>{12, 33, 45}));

    // Leaving the dialog (the main window closing) closes an open palette.
    f->open({ObjectKind::Control, 0, 1});
    click(d, "Image_Control_Wiew");
    d->close();
    QVERIFY(!palette->isVisible());
    QVERIFY(d->isEnabled());
}

// "Загрузить" reads a picture by its content whatever its name says; one
// that cannot be read gives "Не правильный тип файла" and changes nothing.
void StaticElementDialogsTest::controlLoadPicture()
{
    QTemporaryDir dir;
    const QString good = dir.filePath("knopka.gif");
    QImage picture(50, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(good, "PNG"));
    const QString bad = dir.filePath("broken.gif");
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("GIF89a not really") > 0);
    file.close();

    auto* d = qobject_cast<ControlDialog*>(f->openNew(ObjectKind::Control));
    choose(d, "Type_Key", 2);
    f->ui.fileAnswers = {bad};
    click(d, "Load_Control_GIF");
    QCOMPARE(f->ui.askedFilters, QStringList{"gif file|*.gif"});
    QCOMPARE(f->ui.texts(), QStringList{"Не правильный тип файла"});
    QCOMPARE(edit(d, "Name_Control_Gif")->text(), QString());
    QCOMPARE(d->previewPicture(), f->pictures.button(2));
    f->ui.fileAnswers = {good};
    click(d, "Load_Control_GIF");
    QCOMPARE(edit(d, "Name_Control_Gif")->text(), good);
    QCOMPARE(edit(d, "Razmer_X_Control")->text(), QStringLiteral("50"));
    QCOMPARE(edit(d, "Razmer_Y_Control")->text(), QStringLiteral("30"));
    QCOMPARE(d->previewPicture().pixelColor(10, 10), QColor(Qt::red));
    click(d, "Load_Control_GIF");               // cancelled: nothing changes
    QCOMPARE(edit(d, "Name_Control_Gif")->text(), good);
    ok(d);
    const ControlElement& c = f->pages->control[0][1];
    QCOMPARE(c.picture_file, good);
    QCOMPARE((QList<int>{c.type, c.width, c.height}), (QList<int>{2, 40, 40}));

    // Reopened, the preview shows the own picture at the button's size; saved
    // under its file name only, it is found in the project's folder.
    f->pages->control[0][1].picture_file = QStringLiteral("\\knopka.gif");
    f->folder = dir.path();
    f->open({ObjectKind::Control, 0, 1});
    QCOMPARE(d->previewPicture().pixelColor(10, 10), QColor(Qt::red));
    QCOMPARE(edit(d, "Razmer_X_Control")->text(), QStringLiteral("40"));
    // Choosing a type puts its standard picture back.
    choose(d, "Type_Key", 3);
    QCOMPARE(edit(d, "Name_Control_Gif")->text(), QString());
    ok(d);
    QCOMPARE(c.picture_file, QString());
    QCOMPARE(f->ui.texts(), QStringList{"Не правильный тип файла"});
}

// A new type-13 control at (100, 50) is drawn at (90, 50) and stores
// (90, 60); reopening shows (90, 50) and "Ok" leaves it there.
void StaticElementDialogsTest::controlType13Place()
{
    QWidget* d = f->openNew(ObjectKind::Control, 4, {300, 300});
    type(d, "Coord_X_Control", "100");
    type(d, "Coord_Y_Control", "50");
    choose(d, "Type_Key", 13);
    ok(d);
    const ElementRef ref{ObjectKind::Control, 4, 1};
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(QPoint(f->pages->control[4][1].x, f->pages->control[4][1].y), QPoint(90, 60));
        QCOMPARE(f->editor.objectRect(ref), QRect(90, 50, 60, 60));
        f->open(ref);
        QCOMPARE(edit(d, "Coord_X_Control")->text(), QStringLiteral("90"));
        QCOMPARE(edit(d, "Coord_Y_Control")->text(), QStringLiteral("50"));
        ok(d);
    }
}

// Four channels for every block type but the touch block's 255; a stored
// channel that is not in the list is reported.
void StaticElementDialogsTest::controlChannels()
{
    QWidget* d = f->openNew(ObjectKind::Control);
    QCOMPARE(labelText(d, "Label_Num_OUT_Contr"), QStringLiteral("Номер канала"));
    QCOMPARE(items(combo(d, "Num_OUT_Contr")), (QStringList{"1", "2", "3", "4"}));
    type(d, "Num_Block_Contr_Text", "40");
    QCOMPARE(combo(d, "Num_OUT_Contr")->count(), 255);
    QCOMPARE(combo(d, "Num_OUT_Contr")->itemText(254), QStringLiteral("255"));
    combo(d, "Num_OUT_Contr")->setCurrentIndex(254);
    ok(d);
    QCOMPARE((QList<int>{f->pages->control[0][1].block, f->pages->control[0][1].channel}), (QList<int>{40, 254}));

    f->pages->control[0][1].block = 5;
    f->open({ObjectKind::Control, 0, 1});
    QCOMPARE(f->ui.texts(), QStringList{"Ошибка номера выхода!!!"});
    QCOMPARE(f->ui.messages.first().icon, MessageIcon::Error);
    QVERIFY(d->isVisible());
    QCOMPARE(combo(d, "Num_OUT_Contr")->currentIndex(), 0);
    cancel(d);
}

// With all 8 menus of a page in use a new one is refused.
void StaticElementDialogsTest::ninthMenuRefused()
{
    QWidget* d = f->openNew(ObjectKind::Menu, 5, {100, 100});
    QCOMPARE(items(combo(d, "List_Menu")),
             (QStringList{"Стр.1", "Стр.2", "Стр.3", "Стр.4", "Стр.5", "Стр.6", "Стр.7", "Стр.8"}));
    choose(d, "List_Menu", 2);
    ok(d);
    const ElementRef first{ObjectKind::Menu, 5, 1};
    QCOMPARE(f->lastChanges().created, QList<ElementRef>{first});
    QCOMPARE(f->pages->menu[5][1].target_page, uint8_t(2));
    QCOMPARE(f->editor.objectPos(first), QPoint(100, 100));
    for (int n = 2; n <= 8; ++n)
        f->pages->menu[5][size_t(n)].used = 1;
    const ScadaPages before = *f->pages;
    f->openNew(ObjectKind::Menu, 5);
    ok(d);
    QCOMPARE(f->ui.texts(), QStringList{"Номер элемента меню больше 8!"});
    QCOMPARE(pageText(*f->pages, 5), pageText(before, 5));
    QVERIFY(!d->isVisible());
}

void StaticElementDialogsTest::goToLists_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("process");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("shown");
    QTest::newRow("97") << "97" << false << "Страница SCADA" << 8 << true;
    QTest::newRow("98") << "98" << false << "Группа графиков" << 8 << true;
    QTest::newRow("0") << "0" << false << "Текстовая сигнализация" << 32 << true;
    QTest::newRow("PID") << "12" << false << QString() << 8 << false;
    QTest::newRow("PID, Процесс") << "12" << true << "Номер задатчика" << 8 << true;
    QTest::newRow("SUM, Процесс") << "5" << true << QString() << 8 << false;
}

// The list under the block field follows the field and "Процесс".
void StaticElementDialogsTest::goToLists()
{
    QFETCH(QString, block);
    QFETCH(bool, process);
    QFETCH(QString, label);
    QFETCH(int, count);
    QFETCH(bool, shown);
    QWidget* d = f->openNew(ObjectKind::GoBlock);
    // At first the sample "00": the text-signal list.
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("00"));
    QCOMPARE(labelText(d, "Label_Num_Graf_SCADA"), QStringLiteral("Текстовая сигнализация"));
    QCheckBox* box = check(d, "Process_Sozdat");
    QCOMPARE(box->text(), QStringLiteral("Процесс"));
    type(d, "Num_Block_Text", block);
    if (process)
        box->click();
    QCOMPARE(box->text(), process ? QStringLiteral("Параметры") : QStringLiteral("Процесс"));
    QComboBox* list = combo(d, "Num_Graf_SCADA");
    QCOMPARE(list->count(), count);
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(list->isVisibleTo(d), shown);
    if (shown)
        QCOMPARE(labelText(d, "Label_Num_Graf_SCADA"), label);
    // Clearing "Процесс" hides a setpoint list again.
    if (process) {
        box->click();
        QCOMPARE(box->text(), QStringLiteral("Процесс"));
        QVERIFY(!list->isVisibleTo(d));
    }
    cancel(d);
}

// Block 97 with list entry "3" stores target 203; reopening shows block 97
// and list position 2, the lock included.
void StaticElementDialogsTest::goToPageAndReopen()
{
    QWidget* d = f->openNew(ObjectKind::GoBlock, 6, {120, 58});
    type(d, "Num_Block_Text", "97");
    combo(d, "Num_Graf_SCADA")->setCurrentIndex(2);
    check(d, "Blokirovka")->click();
    ok(d);
    const ElementRef ref{ObjectKind::GoBlock, 6, 1};
    QCOMPARE(fixture::fieldsAt(*f->pages, ref), (QStringList{"1", "120", "58", "203", "130"}));

    // Another go-to in between leaves other values in the fields.
    f->openNew(ObjectKind::GoBlock, 6);
    type(d, "Num_Block_Text", "12");
    check(d, "Process_Sozdat")->click();
    combo(d, "Num_Graf_SCADA")->setCurrentIndex(5);
    ok(d);
    QCOMPARE(fixture::fieldsAt(*f->pages, {ObjectKind::GoBlock, 6, 2}), (QStringList{"1", "30", "40", "112", "5"}));

    f->open(ref);
    QCOMPARE(edit(d, "Num_Go_Block_Text")->text(), QStringLiteral("1"));
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("97"));
    QCOMPARE(combo(d, "Num_Graf_SCADA")->currentIndex(), 2);
    QCOMPARE(labelText(d, "Label_Num_Graf_SCADA"), QStringLiteral("Страница SCADA"));
    QVERIFY(check(d, "Blokirovka")->isChecked());
    ok(d);
    QCOMPARE(fixture::fieldsAt(*f->pages, ref), (QStringList{"1", "120", "58", "203", "130"}));

    f->open({ObjectKind::GoBlock, 6, 2});
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("12"));
    QVERIFY(check(d, "Process_Sozdat")->isChecked());
    QCOMPARE(labelText(d, "Label_Num_Graf_SCADA"), QStringLiteral("Номер задатчика"));
    QCOMPARE(combo(d, "Num_Graf_SCADA")->currentIndex(), 5);
    QVERIFY(!check(d, "Blokirovka")->isChecked());
    cancel(d);
    QCOMPARE(f->ui.texts(), QStringList{});
}

// A go-to opened after one with "Процесс" ticked shows its own target: a
// page target has no "Процесс", a new element opens on the empty form, so
// block -5 stores target 5, not the 105 of a stale tick.
void StaticElementDialogsTest::goToShowsOnlyItsOwnValues()
{
    f->pages->go_block[2][1] = {1, 10, 10, 112, 0};
    f->pages->go_block[2][2] = {1, 60, 10, 201, 0};
    QWidget* d = f->open({ObjectKind::GoBlock, 2, 1});
    QVERIFY(check(d, "Process_Sozdat")->isChecked());
    cancel(d);
    f->open({ObjectKind::GoBlock, 2, 2});
    QVERIFY(!check(d, "Process_Sozdat")->isChecked());
    QCOMPARE(check(d, "Process_Sozdat")->text(), QStringLiteral("Процесс"));
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("97"));
    cancel(d);

    f->open({ObjectKind::GoBlock, 2, 1});
    cancel(d);
    f->openNew(ObjectKind::GoBlock, 2, {200, 100});
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("00"));
    QVERIFY(!check(d, "Process_Sozdat")->isChecked());
    type(d, "Num_Block_Text", "-5");
    ok(d);
    QCOMPARE(f->pages->go_block[2][3].target, int16_t(5));
}

// A stored option whose position the list does not have is reported with
// the error icon; the dialog stays open with what it could fill.
void StaticElementDialogsTest::goToOptionNotInTheList()
{
    GoBlockElement& e = f->pages->go_block[0][4];
    e = {1, 10, 10, 5, 20};   // block 5, list position 20 of "1".."8"
    QWidget* d = f->open({ObjectKind::GoBlock, 0, 4});
    QCOMPARE(f->ui.texts(), QStringList{"Ошибка номера блока!!!"});
    QCOMPARE(f->ui.messages.first().icon, MessageIcon::Error);
    QVERIFY(d->isVisible());
    QCOMPARE(edit(d, "Num_Block_Text")->text(), QStringLiteral("5"));
    QCOMPARE(edit(d, "Num_Go_Block_Text")->text(), QStringLiteral("4"));
    cancel(d);
    QCOMPARE(e.option, int16_t(20));
}

// The dialogs show what a paste produced, and "Ok" on them keeps it.
void StaticElementDialogsTest::pastedElementsOpen()
{
    const int p = 2;
    f->state.current_page = p;
    f->pages->figura[p][1] = {1, 100, 50, 30, 10, 0x0000FF, 1, 2};
    f->pages->text[p][1] = {1, 120, 60, 0x00FF00, QStringLiteral("Котёл"), QStringLiteral("Arial"), -1, 0, 12};
    f->pages->control[p][1] = {1, 140, 70, 40, 3, QString(), 60, 60, 13};
    f->pages->control[p][1].y = 80;   // a type-13 picture at (140, 70)
    f->pages->go_block[p][1] = {1, 160, 90, 203, 130};
    f->state.frame = {QRect(90, 40, 200, 200), true, p};
    PageClipboard clipboard;
    clipboard.copy(*f->pages, f->state);
    QCOMPARE(clipboard.entries().size(), 4);
    f->state.current_page = 3;
    f->state.last_pointer = {300, 200};
    clipboard.paste(*f->pages, f->state);
    const ScadaPages pasted = *f->pages;

    for (ObjectKind kind : {ObjectKind::Figura, ObjectKind::Text, ObjectKind::Control}) {
        const ElementRef ref{kind, 3, 1};
        QWidget* d = f->open(ref);
        ok(d);
        QCOMPARE(fixture::fieldsAt(*f->pages, ref), fixture::fieldsAt(pasted, ref));
    }
    // The pasted control is unbound and its picture sits 40 right, 20 down
    // of the figure's place, as it did on the source page.
    QCOMPARE(f->editor.objectPos({ObjectKind::Control, 3, 1}), QPoint(340, 220));
    // The go-to lost its target; the dialog shows its lock and list position.
    QWidget* d = f->open({ObjectKind::GoBlock, 3, 1});
    QVERIFY(check(d, "Blokirovka")->isChecked());
    QCOMPARE(combo(d, "Num_Graf_SCADA")->currentIndex(), 2);
    cancel(d);
    QCOMPARE(f->ui.texts(), QStringList{});
}

QTEST_MAIN(StaticElementDialogsTest)
#include "test_static_element_dialogs.moc"
