// The dialogs of the parameter, signal, text-signal, level and mechanism
// elements, driven through their controls (found by object name) and the
// scripted interaction seam: allocation, Ok, "Удалить", "Отмена", the limits
// and their messages, the lists, the previews and the mechanism palette.
#include "scada/ui/level_dialog.h"
#include "scada/ui/parametr_dialog.h"
#include "scada/ui/signal_dialog.h"
#include "scada/ui/text_signal_dialog.h"
#include "scada/ui/vent_dialog.h"
#include "scada/ui/element_dialogs.h"
#include "scada/element_pictures.h"
#include "scada/ui/element_previews.h"
#include "scada/page_painter.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"

#include "editor_fixture.h"
#include "support/scripted_interaction.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace ostrel;

Q_DECLARE_METATYPE(ostrel::PageChanges)

namespace {

// What the tests need to know of each dialog: its names and texts.
struct Member {
    ObjectKind kind;
    QString window, caption, number, x, y, block, list, numberMessage;
};

QList<Member> members()
{
    return {
        {ObjectKind::Parametr, "Parametr_Text_SCADA", "Параметр", "Num_Par_Text",
         "Coord_X_Parametr_Text", "Coord_Y_Parametr_Text", "Num_Block_Par_Text", "Num_OUT_Par",
         "Установите номер параметра!"},
        {ObjectKind::Signal, "Signal_SCADA", "Сигнализация", "Num_Signal_Text", "Coord_X_Signal",
         "Coord_Y_Signal", "Num_Block_Signal", "Num_OUT_Signal", "Номер сигнала больше 32!"},
        {ObjectKind::TextSignal, "Text_Signal_SCADA", "Текстовая сигнализация",
         "Num_Text_Signal", "Coord_X_Text_Signal", "Coord_Y_Text_Signal", "Num_Block_Text_Signal",
         "Num_OUT_Text_Signal", "Номер сигнала больше 32!"},
        {ObjectKind::Level, "Level_SCADA", "Уровень", "Num_Level_Text", "Coord_X_Level",
         "Coord_Y_Level", "Num_Block_Level", "Num_OUT_Level", "Hомер уровня больше 32!"},
        {ObjectKind::Vent, "Vent", "Механизм", "Num_Vent_Text", "Coord_X_Vent", "Coord_Y_Vent",
         "Num_Block_Vent", "Num_OUT_Vent", "Номер вентилятора больше 32!"},
    };
}

Member member(ObjectKind kind)
{
    for (const Member& m : members())
        if (m.kind == kind)
            return m;
    qFatal("no member");
}

// Every stored field of every slot of a kind's table on a page.
QStringList tableText(const ScadaPages& pages, ObjectKind kind, int page)
{
    QStringList out;
    for (int n = 0; n <= 32; ++n)
        out << fixture::fieldsAt(pages, {kind, page, n}).join(u'|');
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
    ElementDialogs door{ElementDialogContext{*pages, editor, state, *blocks, catalog, ui, pictures}, &owner};
    QSignalSpy changed{&door, &ElementDialogs::pageChanged};

    Fixture()
    {
        blocks->block_type[1] = 1;   // A_I
        blocks->block_type[3] = 3;   // D_I
        blocks->block_type[5] = 10;  // SUM: outputs 12, 11, 10, 9
        blocks->block_type[7] = 45;  // ALG
        blocks->block_type[8] = 31;  // COD
        blocks->block_type[12] = 26; // PID
    }

    // Shows the kind's template at `pos` on page p and opens its dialog.
    QWidget* openTemplate(ObjectKind kind, int p = 0, QPoint pos = {30, 40})
    {
        state.current_page = p;
        state.placement = pos;
        state.placement_flag = 1;
        editor.insert(kind);
        state.placement_flag = 0;
        return open({kind, p, 0});
    }

    QWidget* open(const ElementRef& ref)
    {
        if (!door.open(ref))
            qFatal("the dialog did not open");
        return door.dialog(ref.kind);
    }

    // An occupied element with its object at `pos`.
    ElementRef place(ObjectKind kind, int p, int n, QPoint pos = {50, 60})
    {
        const ElementRef ref{kind, p, n};
        withRecord(*pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(*pages, ref, pos);
        return ref;
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
ColorBox* colorBox(QWidget* d, const QString& name) { return child<ColorBox>(d, name); }

void press(QWidget* d, const QString& name)
{
    QTest::mouseClick(child<QAbstractButton>(d, name), Qt::LeftButton);
}

void ok(QWidget* d) { press(d, ElementDialog::kOkName); }
void remove(QWidget* d) { press(d, ElementDialog::kDeleteName); }
void cancel(QWidget* d) { press(d, ElementDialog::kCancelName); }

// Types into a field as the user does (the field's typing rules run).
void type(QWidget* d, const QString& name, const QString& text)
{
    QLineEdit* e = edit(d, name);
    e->selectAll();
    QTest::keyClicks(e, text);
}

// Chooses a list entry as the user does.
void choose(QComboBox* box, int index)
{
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

} // namespace

class ElementDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<Fixture>(); }
    void cleanup() { f.reset(); }

    void windows_data();
    void windows();
    void allocation_data();
    void allocation();
    void fullPage_data();
    void fullPage();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void deleteResets_data();
    void deleteResets();
    void refusedInput_data();
    void refusedInput();
    void charactersTheFileCannotHoldAreRefused();
    void storedValues_data();
    void storedValues();
    void storedPositionMissing_data();
    void storedPositionMissing();
    void pipette_data();
    void pipette();

    void timeDisplay_data();
    void timeDisplay();
    void fontRoundTrip_data();
    void fontRoundTrip();
    void setpointBinding_data();
    void setpointBinding();
    void blockNamingNoBlock_data();
    void blockNamingNoBlock();
    void previewCaptions_data();
    void previewCaptions();
    void colorBoxes();
    void parametrLookBecomesTemplate();

    void sizesOnOk_data();
    void sizesOnOk();
    void sizesWhileTyping_data();
    void sizesWhileTyping();
    void signalShapes_data();
    void signalShapes();
    void signalTyping_data();
    void signalTyping();
    void signalOpening_data();
    void signalOpening();
    void signalBlink();
    void textSignalListAndBlink();
    void levelType();

    void ventPalette_data();
    void ventPalette();
    void mechanismAnimation();

private:
    std::unique_ptr<Fixture> f;
};

// ---- the family ----------------------------------------------------------------

void ElementDialogsTest::windows_data()
{
    QTest::addColumn<int>("kind");
    for (const Member& m : members())
        QTest::newRow(qPrintable(m.window)) << int(m.kind);
}

void ElementDialogsTest::windows()
{
    QFETCH(int, kind);
    const Member m = member(ObjectKind(kind));
    QVERIFY(f->owner.isEnabled());
    QWidget* d = f->openTemplate(m.kind);
    QCOMPARE(d->objectName(), m.window);
    QCOMPARE(d->windowTitle(), m.caption);
    QVERIFY(d->isVisible());
    QVERIFY(!f->owner.isEnabled());
    QVERIFY(d->isEnabled());
    QVERIFY(d->parentWidget() == nullptr);
    QVERIFY(d->width() <= 1280 && d->height() <= 1024);
    QVERIFY(f->door.windows().contains(d));
    // One dialog at a time.
    QVERIFY(!f->door.open({ObjectKind::Parametr, 0, 0}));
    QVERIFY(!f->door.open({ObjectKind::Clock, 0, 1}));
    cancel(d);
    QVERIFY(f->owner.isEnabled());
    QVERIFY(!d->isVisible());
    // Reused on the next opening.
    QCOMPARE(f->open({m.kind, 0, 0}), d);
    cancel(d);
}

void ElementDialogsTest::allocation_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("occupied");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("created");
    for (const Member& m : members()) {
        const int k = int(m.kind);
        const QByteArray w = m.window.toLatin1();
        QTest::newRow(w + ": template on an empty page") << k << QList<int>{} << QString() << 1 << true;
        QTest::newRow(w + ": typed free number") << k << QList<int>{1, 3} << "7" << 2 << true;
        QTest::newRow(w + ": number above 32") << k << QList<int>{1} << "40" << 2 << true;
        QTest::newRow(w + ": typed occupied number") << k << QList<int>{1, 7} << "7" << 7 << false;
    }
}

void ElementDialogsTest::allocation()
{
    QFETCH(int, kind);
    QFETCH(QList<int>, occupied);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QFETCH(bool, created);
    const Member m = member(ObjectKind(kind));
    const int p = 1;
    for (int n : occupied)
        f->place(m.kind, p, n, {200, 100});
    QWidget* d = f->openTemplate(m.kind, p, {30, 40});
    QCOMPARE(edit(d, m.number)->text(), QStringLiteral("0"));
    QCOMPARE(edit(d, m.x)->text(), QStringLiteral("30"));
    QCOMPARE(edit(d, m.y)->text(), QStringLiteral("40"));
    if (!typed.isNull())
        type(d, m.number, typed);
    ok(d);

    const ElementRef ref{m.kind, p, expected};
    QVERIFY(isOccupied(*f->pages, ref));
    QCOMPARE(recordObjectPos(*f->pages, ref), QPoint(30, 40));
    QCOMPARE(f->changed.size(), 1);
    const PageChanges c = f->lastChanges();
    QCOMPARE(c.created, created ? QList<ElementRef>{ref} : QList<ElementRef>{});
    QCOMPARE(c.updated, created ? QList<ElementRef>{} : QList<ElementRef>{ref});
    QCOMPARE(c.removed, (QList<ElementRef>{{m.kind, p, 0}}));
    QVERIFY(!f->state.templateOf(m.kind).visible);
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
    QCOMPARE(f->ui.texts(), QStringList{});
    // No other slot was taken.
    int used = 0;
    for (int n = 1; n <= 32; ++n)
        used += isOccupied(*f->pages, {m.kind, p, n}) ? 1 : 0;
    QCOMPARE(used, int(occupied.size()) + (created ? 1 : 0));
}

void ElementDialogsTest::fullPage_data()
{
    windows_data();
}

void ElementDialogsTest::fullPage()
{
    QFETCH(int, kind);
    const Member m = member(ObjectKind(kind));
    for (int n = 1; n <= 32; ++n)
        f->place(m.kind, 0, n, {n, n});
    const QStringList before = tableText(*f->pages, m.kind, 0);
    QWidget* d = f->openTemplate(m.kind);
    ok(d);
    QCOMPARE(f->ui.texts(), QStringList{m.numberMessage});
    QCOMPARE(tableText(*f->pages, m.kind, 0), before);
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
    const PageChanges c = f->lastChanges();
    QVERIFY(c.created.isEmpty() && c.updated.isEmpty());
    QCOMPARE(c.removed, (QList<ElementRef>{{m.kind, 0, 0}}));

    // Deleting element 5 frees its number for the next new element.
    f->open({m.kind, 0, 5});
    remove(d);
    f->openTemplate(m.kind);
    ok(d);
    QVERIFY(isOccupied(*f->pages, {m.kind, 0, 5}));
    QCOMPARE(f->lastChanges().created, (QList<ElementRef>{{m.kind, 0, 5}}));
}

void ElementDialogsTest::cancelChangesNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("way");   // 0 "Отмена", 1 Esc, 2 the close box
    for (const Member& m : members()) {
        const QByteArray w = m.window.toLatin1();
        QTest::newRow(w + " Отмена") << int(m.kind) << 0;
        QTest::newRow(w + " Esc") << int(m.kind) << 1;
        QTest::newRow(w + " close box") << int(m.kind) << 2;
    }
}

void ElementDialogsTest::cancelChangesNothing()
{
    QFETCH(int, kind);
    QFETCH(int, way);
    const Member m = member(ObjectKind(kind));
    const ElementRef ref{m.kind, 0, 3};
    fixture::fillAt(*f->pages, ref, {1, 0x336699, 1, QStringLiteral("Текст")});
    fixture::fillAt(*f->pages, {m.kind, 0, 0}, {0, 0x112233, 1, QStringLiteral("Т")});
    if (m.kind == ObjectKind::Parametr)
        f->pages->parametr[0][3].font = 18;   // opening must not rewrite it
    ScadaPages before = *f->pages;

    QWidget* d = f->open(ref);
    type(d, m.number, QStringLiteral("9"));
    type(d, m.x, QStringLiteral("100"));
    type(d, m.block, QStringLiteral("5"));
    combo(d, m.list)->setCurrentIndex(2);
    f->ui.colorAnswers = {QColor(10, 20, 30), QColor(40, 50, 60)};
    for (ColorBox* box : d->findChildren<ColorBox*>())
        QTest::mouseClick(box, Qt::LeftButton);
    if (m.kind == ObjectKind::Vent)
        QTest::mouseClick(child<QWidget>(d, "Vent_Picture_5"), Qt::LeftButton);
    for (QCheckBox* box : d->findChildren<QCheckBox*>())
        if (box->isEnabled())
            box->click();

    if (way == 0)
        cancel(d);
    else if (way == 1)
        QTest::keyClick(d, Qt::Key_Escape);
    else
        d->close();

    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
    for (int p = 0; p < ScadaPages::kPages; ++p)
        QCOMPARE(tableText(*f->pages, m.kind, p), tableText(before, m.kind, p));
    QCOMPARE(f->changed.size(), 1);
    const PageChanges c = f->lastChanges();
    QVERIFY(c.created.isEmpty() && c.updated.isEmpty() && c.removed.isEmpty());
    for (QTimer* t : d->findChildren<QTimer*>())
        QVERIFY2(!t->isActive(), qPrintable(t->objectName()));
}

void ElementDialogsTest::deleteResets_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QStringList>("expected");   // stored fields of slot 3 afterwards
    const QString c = QString::number(0x123456);
    // Filled: 16-bit fields 5, 32-bit 0x123456, bytes 9, texts "abc".
    QTest::newRow("parameter") << int(ObjectKind::Parametr) << "3"
                               << QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "9", "9"};
    QTest::newRow("signal") << int(ObjectKind::Signal) << "3"
                            << QStringList{"0", "0", "0", "3", "3", "0", "0", "0", "0", "9", "9"};
    QTest::newRow("text signal") << int(ObjectKind::TextSignal) << "3"
                                 << QStringList{"0", "1", "1", "10", "0", "0", "", "", "0", "0", "9", "9"};
    QTest::newRow("level") << int(ObjectKind::Level) << "3"
                           << QStringList{"0", "0", "0", "10", "10", c, "0", "0", "0", "9", "9"};
    QTest::newRow("mechanism") << int(ObjectKind::Vent) << "3"
                               << QStringList{"0", "0", "0", "0", "0", "0", "9", "9"};
    QTest::newRow("parameter, number above 32")
        << int(ObjectKind::Parametr) << "33" << QStringList{"5", "5", "5", c, c, "9", "9", "9", "9", "9"};
    QTest::newRow("level, number 0") << int(ObjectKind::Level) << "0"
                                     << QStringList{"5", "5", "5", "5", "5", c, c, c, "9", "9", "9"};
}

void ElementDialogsTest::deleteResets()
{
    QFETCH(int, kind);
    QFETCH(QString, number);
    QFETCH(QStringList, expected);
    const ObjectKind k = ObjectKind(kind);
    const ElementRef ref{k, 0, 3}, other{k, 0, 4};
    fixture::fillAt(*f->pages, ref, {5, 0x123456, 9, QStringLiteral("abc")});
    fixture::fillAt(*f->pages, other, {5, 0x123456, 9, QStringLiteral("abc")});
    const QStringList otherBefore = fixture::fieldsAt(*f->pages, other);
    QWidget* d = f->open(ref);
    type(d, member(k).number, number);
    remove(d);
    QCOMPARE(fixture::fieldsAt(*f->pages, ref), expected);
    QCOMPARE(fixture::fieldsAt(*f->pages, other), otherBefore);
    const bool deleted = number == QLatin1String("3");
    QCOMPARE(f->lastChanges().removed, deleted ? QList<ElementRef>{ref} : QList<ElementRef>{});
    QVERIFY(!d->isVisible());
    QVERIFY(f->owner.isEnabled());
}

void ElementDialogsTest::refusedInput_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");
    const auto P = int(ObjectKind::Parametr), S = int(ObjectKind::Signal), T = int(ObjectKind::TextSignal),
               L = int(ObjectKind::Level), V = int(ObjectKind::Vent);
    QTest::newRow("x right of the page") << P << "Coord_X_Parametr_Text" << "800" << "Координата Х больше 799!";
    QTest::newRow("x left of the page") << T << "Coord_X_Text_Signal" << "-1" << "Координата Х меньше 0!";
    QTest::newRow("y below the page") << S << "Coord_Y_Signal" << "480" << "Координата Y больше 479!";
    QTest::newRow("y of a list number") << T << "Coord_Y_Text_Signal" << "3172" << "Координата Y больше 479!";
    QTest::newRow("y above the page") << V << "Coord_Y_Vent" << "-3" << "Координата Y меньше 0!";
    QTest::newRow("block 100") << V << "Num_Block_Vent" << "100" << "Номер блока больше 99!";
    QTest::newRow("block -150") << P << "Num_Block_Par_Text" << "-150" << "Номер блока больше 99!";
    QTest::newRow("block 256") << S << "Num_Block_Signal" << "256" << "Номер блока больше 99!";
    QTest::newRow("scale 65536") << L << "Level_Scale" << "65536" << "Масштаб больше 65535!";
    QTest::newRow("scale -70000") << L << "Level_Scale" << "-70000" << "Масштаб больше 65535!";
    // Letters and empty fields are not read as 0.
    QTest::newRow("x empty") << P << "Coord_X_Parametr_Text" << "" << "Введите число: Координата Х";
    QTest::newRow("y letters") << S << "Coord_Y_Signal" << "abc" << "Введите число: Координата Y";
    QTest::newRow("x with letters after") << T << "Coord_X_Text_Signal" << "12px" << "Введите число: Координата Х";
    QTest::newRow("block letters") << P << "Num_Block_Par_Text" << "abc" << "Введите число: Номер блока 1-99";
    QTest::newRow("block blank") << V << "Num_Block_Vent" << "  " << "Введите число: Номер блока 1-99";
    QTest::newRow("signal width") << S << "Razmer_X_Signal" << "x" << "Введите число: Размер Х";
    QTest::newRow("level height") << L << "Razmer_Y_Level" << "" << "Введите число: Размер Y";
    QTest::newRow("scale letters") << L << "Level_Scale" << "много" << "Введите число: Масштаб";
}

void ElementDialogsTest::refusedInput()
{
    QFETCH(int, kind);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    const ObjectKind k = ObjectKind(kind);
    QWidget* d = f->openTemplate(k);
    const ScadaPages before = *f->pages;
    edit(d, field)->setText(value);
    ok(d);
    QCOMPARE(f->ui.texts(), QStringList{message});
    QVERIFY(d->isVisible());
    QVERIFY(!f->owner.isEnabled());
    QVERIFY(f->changed.isEmpty());
    QCOMPARE(tableText(*f->pages, k, 0), tableText(before, k, 0));
    // Corrected, the element is created.
    edit(d, field)->setText(QStringLiteral("7"));
    ok(d);
    QVERIFY(isOccupied(*f->pages, {k, 0, 1}));
    QVERIFY(f->owner.isEnabled());
}

// "Ω" typed into a text signal's text is refused where it is typed, with a
// message naming it; the rest of the typing and the Ok go through.
void ElementDialogsTest::charactersTheFileCannotHoldAreRefused()
{
    QWidget* d = f->openTemplate(ObjectKind::TextSignal);
    QLineEdit* off = edit(d, "Text_Signal_Off");
    off->clear();
    for (const QString& key : {QStringLiteral("R"), QStringLiteral("Ω"), QStringLiteral("1")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QCoreApplication::sendEvent(off, &press);
    }
    QTRY_COMPARE(f->ui.texts(), QStringList{"Символ «Ω» нельзя сохранить в файле проекта"});
    QCOMPARE(off->text(), QStringLiteral("R1"));
    f->ui.messages.clear();
    ok(d);
    QCOMPARE(f->ui.texts(), QStringList{});
    QCOMPARE(f->pages->text_signal[0][1].text_off, QStringLiteral("R1"));
}

void ElementDialogsTest::storedValues_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("index");      // in the record's stored fields
    QTest::addColumn<QString>("stored");
    const auto P = int(ObjectKind::Parametr), S = int(ObjectKind::Signal), L = int(ObjectKind::Level),
               V = int(ObjectKind::Vent), T = int(ObjectKind::TextSignal);
    QTest::newRow("x 799") << P << "Coord_X_Parametr_Text" << "799" << 1 << "799";
    QTest::newRow("y 479") << P << "Coord_Y_Parametr_Text" << "479" << 2 << "479";
    QTest::newRow("x rounded") << V << "Coord_X_Vent" << "12,6" << 1 << "13";
    QTest::newRow("x 0") << T << "Coord_X_Text_Signal" << "0" << 1 << "0";
    QTest::newRow("block 99") << S << "Num_Block_Signal" << "99" << 9 << "99";
    QTest::newRow("negative block") << L << "Num_Block_Level" << "-7" << 9 << "7";
    QTest::newRow("sign and blanks") << P << "Num_Block_Par_Text" << " +12 " << 8 << "12";
    QTest::newRow("scale 65535") << L << "Level_Scale" << "65535" << 5 << "65535";
    QTest::newRow("negative scale") << L << "Level_Scale" << "-1200" << 5 << "1200";
}

void ElementDialogsTest::storedValues()
{
    QFETCH(int, kind);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(int, index);
    QFETCH(QString, stored);
    const ObjectKind k = ObjectKind(kind);
    QWidget* d = f->openTemplate(k);
    edit(d, field)->setText(value);
    ok(d);
    QCOMPARE(f->ui.texts(), QStringList{});
    QCOMPARE(fixture::fieldsAt(*f->pages, {k, 0, 1}).at(index), stored);
}

void ElementDialogsTest::storedPositionMissing_data()
{
    windows_data();
}

void ElementDialogsTest::storedPositionMissing()
{
    QFETCH(int, kind);
    const Member m = member(ObjectKind(kind));
    const ElementRef ref = f->place(m.kind, 0, 2);
    // Block 5 (SUM) offers four outputs; position 6 is not among them.
    withRecord(*f->pages, ref, [](auto& e) {
        if constexpr (requires { e.block; e.output; }) {
            e.block = 5;
            e.output = 6;
        }
    });
    QWidget* d = f->open(ref);
    QCOMPARE(f->ui.messages.size(), 1);
    QCOMPARE(f->ui.messages[0].text, QStringLiteral("Ошибка номера выхода!!!"));
    QCOMPARE(f->ui.messages[0].icon, MessageIcon::Error);
    QVERIFY(d->isVisible());
    QComboBox* list = combo(d, m.list);
    QCOMPARE(items(list), (QStringList{"12", "11", "10", "9"}));
    QCOMPARE(list->currentIndex(), 0);
    cancel(d);
}

void ElementDialogsTest::pipette_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("target");
    QTest::newRow("parameter: background") << int(ObjectKind::Parametr) << "Color_Text_Fon";
    QTest::newRow("signal: on colour") << int(ObjectKind::Signal) << "Color_Signal";
    QTest::newRow("text signal: background") << int(ObjectKind::TextSignal) << "Color_Text_Signal_Fon";
}

void ElementDialogsTest::pipette()
{
    QFETCH(int, kind);
    QFETCH(QString, target);
    const ObjectKind k = ObjectKind(kind);
    f->state.PipetteColor = 0x00336699;
    QWidget* d = f->openTemplate(k);
    ColorBox* pipette = colorBox(d, "Pipetka_key");
    QCOMPARE(pipette->value(), 0x00336699);
    QCOMPARE(colorBox(d, target)->value(), 0);
    QTest::mouseClick(pipette, Qt::LeftButton);
    QCOMPARE(colorBox(d, target)->value(), 0x00336699);
    if (k == ObjectKind::Signal)
        QCOMPARE(child<SignalPreview>(d, "Signal_Preview")->shownColor(), 0x00336699);
    ok(d);
    const QStringList fields = fixture::fieldsAt(*f->pages, {k, 0, 1});
    QVERIFY(fields.contains(QString::number(0x00336699)));
    // The next opening paints the pipette in the colour picked since.
    f->state.PipetteColor = 0x000000ff;
    f->open({k, 0, 1});
    QCOMPARE(pipette->value(), 0x000000ff);
    cancel(d);
}

// ---- parameter --------------------------------------------------------------------

void ElementDialogsTest::timeDisplay_data()
{
    QTest::addColumn<bool>("timeFirst");
    QTest::newRow("width, then Time") << false;
    QTest::newRow("Time, then width") << true;
}

void ElementDialogsTest::timeDisplay()
{
    QFETCH(bool, timeFirst);
    QWidget* d = f->openTemplate(ObjectKind::Parametr);
    QComboBox* width = combo(d, "Parametr_Num_Znak");
    QComboBox* font = combo(d, "Parametr_Shrift");
    if (timeFirst) {
        choose(font, 4);
        QCOMPARE(width->currentIndex(), 0);
        choose(width, 3);
    } else {
        choose(width, 3);
        choose(font, 4);
        QCOMPARE(width->currentIndex(), 0);
    }
    QCOMPARE(font->currentText(), QStringLiteral("Time"));
    ok(d);
    const ParametrElement& e = f->pages->parametr[0][1];
    QCOMPARE(int(e.font), 24);
    QCOMPARE(int(e.digits), 0);
    QCOMPARE(int(f->pages->parametr[0][0].font), 24);
    QCOMPARE(int(f->pages->parametr[0][0].digits), 0);
}

void ElementDialogsTest::fontRoundTrip_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("written");
    QTest::newRow("10") << 10 << "1 " << 13 << true << 10;
    QTest::newRow("14") << 14 << "2 " << 19 << false << 14;
    QTest::newRow("18 shows 3") << 18 << "3" << 19 << true << 18;
    QTest::newRow("25") << 25 << "4" << 33 << false << 25;
    QTest::newRow("24 time") << 24 << "Time" << 32 << true << 24;
    QTest::newRow("0 after a delete") << 0 << "1 " << 13 << true << 10;
    QTest::newRow("200") << 200 << "4" << 33 << false << 25;
}

void ElementDialogsTest::fontRoundTrip()
{
    QFETCH(int, stored);
    QFETCH(QString, shown);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    QFETCH(int, written);
    const ElementRef ref = f->place(ObjectKind::Parametr, 0, 2);
    f->pages->parametr[0][2].font = uint8_t(stored);
    f->pages->parametr[0][2].digits = 2;
    QWidget* d = f->open(ref);
    QCOMPARE(combo(d, "Parametr_Shrift")->currentText(), shown);
    auto* preview = child<ParametrPreview>(d, "Par_Label");
    QCOMPARE(preview->font().pixelSize(), pixels);
    QCOMPARE(preview->font().bold(), bold);
    // "Отмена" keeps the stored code as it was.
    cancel(d);
    QCOMPARE(int(f->pages->parametr[0][2].font), stored);
    f->open(ref);
    ok(d);
    QCOMPARE(int(f->pages->parametr[0][2].font), written);
}

void ElementDialogsTest::setpointBinding_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("setpoint");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("output");
    QTest::newRow("ALG last setpoint") << 45 << true << 127 << " SP(INP31)" << 255;
    QTest::newRow("ALG first input setpoint") << 45 << true << 96 << " SP(INP0)" << 224;
    QTest::newRow("COD PAR3") << 31 << true << 98 << "PAR3(ADR_SP)" << 226;
    QTest::newRow("PID setpoint 8") << 26 << true << 7 << "8" << 135;
    QTest::newRow("ALG output") << 45 << false << 31 << "33" << 31;
    QTest::newRow("SUM output") << 10 << false << 3 << "9" << 3;
}

void ElementDialogsTest::setpointBinding()
{
    QFETCH(int, type);
    QFETCH(bool, setpoint);
    QFETCH(int, position);
    QFETCH(QString, entry);
    QFETCH(int, output);
    f->blocks->block_type[40] = int16_t(type);
    QWidget* d = f->openTemplate(ObjectKind::Parametr);
    QLabel* label = child<QLabel>(d, "Label_Num_OUT_Par");
    QComboBox* list = combo(d, "Num_OUT_Par");
    QCOMPARE(label->text(), QStringLiteral("Номер выхода"));
    ::type(d, "Num_Block_Par_Text", "40");
    if (setpoint) {
        check(d, "Out_Zad")->click();
        QCOMPARE(label->text(), QStringLiteral("Номер задатчика"));
        QCOMPARE(list->currentText(), QStringLiteral("1"));
    }
    list->setCurrentIndex(position);
    QCOMPARE(list->currentText(), entry);
    ok(d);
    QCOMPARE(int(f->pages->parametr[0][1].output), output);
    QCOMPARE(int(f->pages->parametr[0][1].block), 40);

    f->open({ObjectKind::Parametr, 0, 1});
    QCOMPARE(check(d, "Out_Zad")->isChecked(), setpoint);
    QCOMPARE(label->text(), setpoint ? QStringLiteral("Номер задатчика") : QStringLiteral("Номер выхода"));
    QCOMPARE(list->currentIndex(), position);
    QCOMPARE(f->ui.texts(), QStringList{});
    // Clearing the box goes back to the outputs, at the first one.
    if (setpoint) {
        check(d, "Out_Zad")->click();
        QCOMPARE(label->text(), QStringLiteral("Номер выхода"));
        QCOMPARE(list->currentIndex(), 0);
    }
    cancel(d);
}

void ElementDialogsTest::blockNamingNoBlock_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QStringList>("entries");
    const QStringList none{"0", "0"}, sum{"12", "11", "10", "9"};
    const auto P = int(ObjectKind::Parametr), S = int(ObjectKind::Signal), L = int(ObjectKind::Level);
    QTest::newRow("0") << P << "0" << none;
    QTest::newRow("not a number") << S << "abc" << none;
    QTest::newRow("free number") << L << "2" << none;
    QTest::newRow("150") << P << "150" << none;
    QTest::newRow("SUM") << S << "5" << sum;
    QTest::newRow("negative SUM") << L << "-5" << sum;
}

void ElementDialogsTest::blockNamingNoBlock()
{
    QFETCH(int, kind);
    QFETCH(QString, block);
    QFETCH(QStringList, entries);
    const Member m = member(ObjectKind(kind));
    QWidget* d = f->openTemplate(m.kind);
    type(d, m.block, block);
    QCOMPARE(items(combo(d, m.list)), entries);
    QCOMPARE(combo(d, m.list)->currentIndex(), 0);
    cancel(d);
}

void ElementDialogsTest::previewCaptions_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("font");
    QTest::addColumn<QString>("caption");
    QTest::newRow("5 width 3") << "5" << 1 << 0 << "005";
    QTest::newRow("12 width 3") << "12" << 1 << 0 << "012";
    QTest::newRow("5 width 2") << "5" << 0 << 1 << "05";
    QTest::newRow("12 width 6") << "12" << 4 << 2 << "000012";
    QTest::newRow("7 width 6") << "7" << 4 << 3 << "000007";
    QTest::newRow("7 time") << "7" << 3 << 4 << "07";
}

void ElementDialogsTest::previewCaptions()
{
    QFETCH(QString, number);
    QFETCH(int, width);
    QFETCH(int, font);
    QFETCH(QString, caption);
    QWidget* d = f->openTemplate(ObjectKind::Parametr);
    auto* preview = child<ParametrPreview>(d, "Par_Label");
    QCOMPARE(preview->text(), QStringLiteral("00"));
    type(d, "Num_Par_Text", number);
    choose(combo(d, "Parametr_Num_Znak"), width);
    choose(combo(d, "Parametr_Shrift"), font);
    QCOMPARE(preview->text(), caption);
    const QFont expected = parametrFont(parametrFontOfPosition(font));
    QCOMPARE(preview->font().pixelSize(), expected.pixelSize());
    QCOMPARE(preview->font().bold(), expected.bold());
    check(d, "Parametr_Ramka")->click();
    QCOMPARE(int(preview->look().frame), 1);
    cancel(d);
}

void ElementDialogsTest::colorBoxes()
{
    QWidget* d = f->openTemplate(ObjectKind::Parametr);
    ColorBox* text = colorBox(d, "Color_Text");
    auto* preview = child<ParametrPreview>(d, "Par_Label");
    f->ui.colorAnswers = {QColor(255, 0, 0)};
    QTest::mouseClick(text, Qt::LeftButton);
    QCOMPARE(text->value(), 0x0000ff);   // red in the lowest byte
    QCOMPARE(preview->look().color, 0x0000ff);
    // A cancelled chooser leaves the box.
    QTest::mouseClick(text, Qt::LeftButton);
    QCOMPARE(text->value(), 0x0000ff);
    f->ui.colorAnswers = {QColor(0, 0, 255)};
    QTest::mouseClick(colorBox(d, "Color_Text_Fon"), Qt::LeftButton);
    QCOMPARE(preview->look().back_color, 0xff0000);
    ok(d);
    QCOMPARE(f->pages->parametr[0][1].color, 0x0000ff);
    QCOMPARE(f->pages->parametr[0][1].back_color, 0xff0000);
}

void ElementDialogsTest::parametrLookBecomesTemplate()
{
    // Every parameter Ok copies its look into the template; no other Ok does.
    const ElementRef ref = f->place(ObjectKind::Parametr, 0, 4, {60, 70});
    f->pages->parametr[0][4] = {1, 60, 70, 0x111111, 0x222222, 1, 25, 3, 5, 2};
    QWidget* d = f->open(ref);
    ok(d);
    QCOMPARE(fixture::fieldsOf(f->pages->parametr[0][0]),
             (QStringList{"0", "60", "70", QString::number(0x111111), QString::number(0x222222), "1", "25", "3", "0",
                          "0"}));
    const QStringList signalTemplate = fixture::fieldsAt(*f->pages, {ObjectKind::Signal, 0, 0});
    ok(f->openTemplate(ObjectKind::Signal));
    QCOMPARE(fixture::fieldsAt(*f->pages, {ObjectKind::Signal, 0, 0}), signalTemplate);
}

// ---- signal, text signal, level ------------------------------------------------

void ElementDialogsTest::sizesOnOk_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QStringList>("messages");
    const auto S = int(ObjectKind::Signal), L = int(ObjectKind::Level);
    QTest::newRow("signal height 1") << S << "20" << "1" << QSize(20, 2) << QStringList{"Высота меньше 2"};
    QTest::newRow("signal both 1") << S << "1" << "1" << QSize(2, 2)
                                   << QStringList{"Ширина меньше 2", "Высота меньше 2"};
    QTest::newRow("signal 60 x 2") << S << "60" << "2" << QSize(60, 2) << QStringList{};
    QTest::newRow("level width 3") << L << "3" << "100" << QSize(5, 100) << QStringList{"Ширина меньше 5"};
    QTest::newRow("level negative") << L << "-20" << "0" << QSize(5, 5)
                                    << QStringList{"Ширина меньше 5", "Высота меньше 5"};
    QTest::newRow("level 80 x 200") << L << "80" << "200" << QSize(80, 200) << QStringList{};
    QTest::newRow("level too large") << L << "300" << "300" << QSize(80, 200)
                                     << QStringList{"Ширина больше 80", "Высота больше 200"};
}

void ElementDialogsTest::sizesOnOk()
{
    QFETCH(int, kind);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QSize, stored);
    QFETCH(QStringList, messages);
    const ObjectKind k = ObjectKind(kind);
    const bool signal = k == ObjectKind::Signal;
    QWidget* d = f->openTemplate(k);
    edit(d, signal ? "Razmer_X_Signal" : "Razmer_X_Level")->setText(width);
    edit(d, signal ? "Razmer_Y_Signal" : "Razmer_Y_Level")->setText(height);
    ok(d);
    QCOMPARE(f->ui.texts(), messages);
    for (const Message& m : f->ui.messages)
        QCOMPARE(m.icon, signal ? MessageIcon::Question : MessageIcon::None);
    QVERIFY(isOccupied(*f->pages, {k, 0, 1}));
    if (signal) {
        const SignalElement& e = f->pages->signal[0][1];
        QCOMPARE(QSize(signalSize(e.width), signalSize(e.height)), stored);
    } else {
        const LevelElement& e = f->pages->level[0][1];
        QCOMPARE(QSize(e.width, e.height), stored);
    }
}

void ElementDialogsTest::sizesWhileTyping_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("width");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    const auto S = int(ObjectKind::Signal), L = int(ObjectKind::Level);
    QTest::newRow("horizontal level width 250") << L << true << true << "250" << "200" << "Ширина больше 200";
    QTest::newRow("vertical level width 90") << L << false << true << "90" << "80" << "Ширина больше 80";
    QTest::newRow("vertical level height 250") << L << false << false << "250" << "200" << "Высота больше 200";
    QTest::newRow("horizontal level height 90") << L << true << false << "90" << "80" << "Высота больше 80";
    QTest::newRow("vertical level height 150") << L << false << false << "150" << "150" << "";
    QTest::newRow("signal width 70") << S << false << true << "70" << "60" << "Ширина больше 60";
    QTest::newRow("signal height 99") << S << false << false << "99" << "60" << "Высота больше 60";
}

void ElementDialogsTest::sizesWhileTyping()
{
    QFETCH(int, kind);
    QFETCH(bool, horizontal);
    QFETCH(bool, width);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);
    const ObjectKind k = ObjectKind(kind);
    const bool signal = k == ObjectKind::Signal;
    QWidget* d = f->openTemplate(k);
    if (horizontal)
        check(d, "Level_Type")->click();
    const QString name = signal ? (width ? "Razmer_X_Signal" : "Razmer_Y_Signal")
                                : (width ? "Razmer_X_Level" : "Razmer_Y_Level");
    type(d, name, typed);
    QCOMPARE(edit(d, name)->text(), shown);
    QCOMPARE(f->ui.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    ok(d);
    QCOMPARE(f->ui.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    const int stored = signal ? signalSize(width ? f->pages->signal[0][1].width : f->pages->signal[0][1].height)
                              : (width ? f->pages->level[0][1].width : f->pages->level[0][1].height);
    QCOMPARE(QString::number(stored), shown);
}

void ElementDialogsTest::signalShapes_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("widthEnabled");
    QTest::addColumn<bool>("heightEnabled");
    QTest::addColumn<bool>("framed");
    // Chosen from a framed 20 x 30 rectangle.
    QTest::newRow("Прямоугольник") << 0 << QSize(20, 30) << true << true << true;
    QTest::newRow("Круг") << 1 << QSize(20, 20) << true << false << true;
    QTest::newRow("Треугольник ^") << 2 << QSize(20, 20) << true << false << false;
    QTest::newRow("Треугольник <") << 5 << QSize(20, 20) << true << false << false;
    QTest::newRow("Клапан ><") << 6 << QSize(30, 15) << true << false << false;
    QTest::newRow("Клапан X") << 7 << QSize(10, 20) << false << true << false;
}

void ElementDialogsTest::signalShapes()
{
    QFETCH(int, shape);
    QFETCH(QSize, size);
    QFETCH(bool, widthEnabled);
    QFETCH(bool, heightEnabled);
    QFETCH(bool, framed);
    QWidget* d = f->openTemplate(ObjectKind::Signal);
    QCOMPARE(items(combo(d, "Type_Signal")),
             (QStringList{"Прямоугольник", "Круг", "Треугольник ^ ", "Треугольник > ", "Треугольник v ",
                          "Треугольник < ", "Клапан ><", "Клапан X"}));
    edit(d, "Razmer_X_Signal")->setText("20");
    edit(d, "Razmer_Y_Signal")->setText("30");
    check(d, "Signal_Ramka")->setChecked(true);
    choose(combo(d, "Type_Signal"), shape);
    QCOMPARE(edit(d, "Razmer_X_Signal")->text(), QString::number(size.width()));
    QCOMPARE(edit(d, "Razmer_Y_Signal")->text(), QString::number(size.height()));
    QCOMPARE(edit(d, "Razmer_X_Signal")->isEnabled(), widthEnabled);
    QCOMPARE(edit(d, "Razmer_Y_Signal")->isEnabled(), heightEnabled);
    QCOMPARE(check(d, "Signal_Ramka")->isEnabled(), framed);
    QCOMPARE(check(d, "Signal_Ramka")->isChecked(), framed);
    auto* preview = child<SignalPreview>(d, "Signal_Preview");
    QCOMPARE(preview->shape(), shape);
    QCOMPARE(preview->shapeSize(), size);
    ok(d);
    const SignalElement& e = f->pages->signal[0][1];
    QCOMPARE(signalShape(e.width, e.height), shape);
    QCOMPARE(QSize(signalSize(e.width), signalSize(e.height)), size);
    QCOMPARE(int(e.frame), framed ? 1 : 0);
}

void ElementDialogsTest::signalTyping_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("width");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QSize>("size");
    QTest::newRow("rectangle: height stays") << 0 << true << "40" << QSize(40, 20);
    QTest::newRow("circle: height follows") << 1 << true << "33" << QSize(33, 33);
    QTest::newRow("Клапан ><: half the width") << 6 << true << "40" << QSize(40, 20);
    QTest::newRow("Клапан X: width half the height") << 7 << false << "50" << QSize(25, 50);
}

void ElementDialogsTest::signalTyping()
{
    QFETCH(int, shape);
    QFETCH(bool, width);
    QFETCH(QString, typed);
    QFETCH(QSize, size);
    QWidget* d = f->openTemplate(ObjectKind::Signal);
    edit(d, "Razmer_X_Signal")->setText("20");
    edit(d, "Razmer_Y_Signal")->setText("20");
    choose(combo(d, "Type_Signal"), shape);
    type(d, width ? "Razmer_X_Signal" : "Razmer_Y_Signal", typed);
    QCOMPARE(QSize(edit(d, "Razmer_X_Signal")->text().toInt(), edit(d, "Razmer_Y_Signal")->text().toInt()), size);
    QCOMPARE(child<SignalPreview>(d, "Signal_Preview")->shapeSize(), size);
    cancel(d);
}

void ElementDialogsTest::signalOpening_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<bool>("widthEnabled");
    QTest::addColumn<bool>("heightEnabled");
    QTest::newRow("rectangle") << 0 << QSize(30, 40) << QSize(30, 40) << true << true;
    QTest::newRow("Клапан ><: height half the width") << 6 << QSize(30, 40) << QSize(30, 15) << true << false;
    QTest::newRow("Клапан X: width half the height") << 7 << QSize(30, 40) << QSize(20, 40) << false << true;
    QTest::newRow("circle") << 1 << QSize(24, 24) << QSize(24, 24) << true << false;
}

void ElementDialogsTest::signalOpening()
{
    QFETCH(int, shape);
    QFETCH(QSize, stored);
    QFETCH(QSize, shown);
    QFETCH(bool, widthEnabled);
    QFETCH(bool, heightEnabled);
    const ElementRef ref = f->place(ObjectKind::Signal, 0, 6, {100, 200});
    SignalElement& e = f->pages->signal[0][6];
    e.y = packListY(200, 4);
    e.width = packSignalWidth(stored.width(), shape);
    e.height = packSignalHeight(stored.height(), shape);
    QWidget* d = f->open(ref);
    QCOMPARE(combo(d, "Type_Signal")->currentIndex(), shape);
    QCOMPARE(combo(d, "Num_List_Signal")->currentText(), QStringLiteral("4"));
    QCOMPARE(edit(d, "Coord_Y_Signal")->text(), QStringLiteral("200"));
    QCOMPARE(edit(d, "Razmer_X_Signal")->text(), QString::number(shown.width()));
    QCOMPARE(edit(d, "Razmer_Y_Signal")->text(), QString::number(shown.height()));
    QCOMPARE(edit(d, "Razmer_X_Signal")->isEnabled(), widthEnabled);
    QCOMPARE(edit(d, "Razmer_Y_Signal")->isEnabled(), heightEnabled);
    ok(d);
    // The list number and the shape survive an Ok.
    QCOMPARE(listNumber(e.y), 4);
    QCOMPARE(listTop(e.y), 200);
    QCOMPARE(signalShape(e.width, e.height), shape);
}

void ElementDialogsTest::signalBlink()
{
    const ElementRef ref = f->place(ObjectKind::Signal, 0, 1);
    f->pages->signal[0][1].color = 0x00ff00;
    f->pages->signal[0][1].back_color = 0x808080;
    QWidget* d = f->open(ref);
    auto* dialog = qobject_cast<SignalDialog*>(d);
    QVERIFY(dialog);
    auto* preview = child<SignalPreview>(d, "Signal_Preview");
    QVERIFY(!dialog->blinkTimer()->isActive());
    check(d, "Signal_Blink")->click();
    QVERIFY(dialog->blinkTimer()->isActive());
    QCOMPARE(dialog->blinkTimer()->interval(), 500);
    QCOMPARE(preview->shownColor(), 0x00ff00);
    dialog->blinkTick();
    QCOMPARE(preview->shownColor(), 0x808080);
    dialog->blinkTick();
    QCOMPARE(preview->shownColor(), 0x00ff00);
    dialog->blinkTick();
    check(d, "Signal_Blink")->click();
    QVERIFY(!dialog->blinkTimer()->isActive());
    QCOMPARE(preview->shownColor(), 0x00ff00);
    check(d, "Signal_Blink")->click();
    ok(d);
    QVERIFY(!dialog->blinkTimer()->isActive());
    QCOMPARE(int(f->pages->signal[0][1].blink), 1);
}

void ElementDialogsTest::textSignalListAndBlink()
{
    const ElementRef ref = f->place(ObjectKind::TextSignal, 0, 2, {100, 100});
    TextSignalElement& e = f->pages->text_signal[0][2];
    e.text_off = QStringLiteral("Насос выкл.");
    e.text_on = QStringLiteral("Насос вкл.");
    e.font = 14;
    QWidget* d = f->open(ref);
    auto* dialog = qobject_cast<TextSignalDialog*>(d);
    QVERIFY(dialog);
    auto* preview = child<TextSignalPreview>(d, "Text_Signal_Label");
    QLabel* offLabel = child<QLabel>(d, "Label_Text_Off");
    QLabel* onLabel = child<QLabel>(d, "Label_Text_On");
    QCOMPARE(combo(d, "Text_Signal_Shrift")->currentText(), QStringLiteral("2 "));
    QCOMPARE(offLabel->text(), QStringLiteral("Текст сигнала Выкл."));
    QCOMPARE(onLabel->text(), QStringLiteral("Текст сигнала Вкл."));
    QCOMPARE(preview->text(), QStringLiteral("Насос выкл."));

    combo(d, "Num_List_Text_Signal")->setCurrentIndex(3);
    QCOMPARE(offLabel->text(), QStringLiteral("Текст сигнала №4"));
    QCOMPARE(onLabel->text(), QStringLiteral("Текст сигнала №5"));
    check(d, "Text_Signal_Blink")->click();
    QVERIFY(dialog->blinkTimer()->isActive());
    QCOMPARE(dialog->blinkTimer()->interval(), 500);
    dialog->blinkTick();
    QCOMPARE(preview->text(), QStringLiteral("Насос вкл."));
    dialog->blinkTick();
    QCOMPARE(preview->text(), QStringLiteral("Насос выкл."));
    dialog->blinkTick();
    // Another list number shows the first text again.
    combo(d, "Num_List_Text_Signal")->setCurrentIndex(0);
    QCOMPARE(offLabel->text(), QStringLiteral("Текст сигнала Выкл."));
    QCOMPARE(onLabel->text(), QStringLiteral("Текст сигнала Вкл."));
    QCOMPARE(preview->text(), QStringLiteral("Насос выкл."));
    combo(d, "Num_List_Text_Signal")->setCurrentIndex(3);
    edit(d, "Text_Signal_Off")->setText(QStringLiteral("Стоп"));
    QCOMPARE(preview->text(), QStringLiteral("Стоп"));
    choose(combo(d, "Text_Signal_Shrift"), 0);
    ok(d);
    QVERIFY(!dialog->blinkTimer()->isActive());
    QCOMPARE(listNumber(e.y), 3);
    QCOMPARE(listTop(e.y), 100);
    QCOMPARE(e.text_off, QStringLiteral("Стоп"));
    QCOMPARE(int(e.font), 10);
    QCOMPARE(int(e.blink), 1);
}

void ElementDialogsTest::levelType()
{
    const ElementRef ref = f->place(ObjectKind::Level, 0, 1, {10, 20});
    LevelElement& e = f->pages->level[0][1];
    e.width = 30;
    e.height = 100;
    e.style = 1;
    e.scale = 600;
    QWidget* d = f->open(ref);
    auto* preview = child<LevelPreview>(d, "Level_Preview");
    QVERIFY(check(d, "Level_Ramka")->isChecked());
    QVERIFY(!check(d, "Level_Type")->isChecked());
    QCOMPARE(edit(d, "Level_Scale")->text(), QStringLiteral("600"));
    QCOMPARE(preview->box(), QRect(0, 0, 30, 100));
    QCOMPARE(preview->bar(), QRect(0, 0, 30, 50));
    check(d, "Level_Type")->click();
    QCOMPARE(edit(d, "Razmer_X_Level")->text(), QStringLiteral("100"));
    QCOMPARE(edit(d, "Razmer_Y_Level")->text(), QStringLiteral("30"));
    QCOMPARE(preview->box(), QRect(0, 0, 100, 30));
    QCOMPARE(preview->bar(), QRect(0, 0, 50, 30));
    ok(d);
    QCOMPARE(int(e.style), 3);
    QCOMPARE(QSize(e.width, e.height), QSize(100, 30));
    QCOMPARE(e.scale, 600);

    // A new level starts vertical and unframed whatever its template holds.
    f->pages->level[0][0].style = 3;
    QWidget* t = f->openTemplate(ObjectKind::Level);
    QVERIFY(!check(t, "Level_Type")->isChecked());
    QVERIFY(!check(t, "Level_Ramka")->isChecked());
    cancel(t);
    QCOMPARE(int(f->pages->level[0][0].style), 3);
}

// ---- mechanism ----------------------------------------------------------------------

void ElementDialogsTest::ventPalette_data()
{
    QTest::addColumn<int>("picture");
    QTest::addColumn<QSize>("size");
    QTest::newRow("0") << 0 << QSize(48, 48);
    QTest::newRow("7") << 7 << QSize(40, 40);
    QTest::newRow("9") << 9 << QSize(60, 38);
    QTest::newRow("13") << 13 << QSize(48, 30);
    QTest::newRow("17") << 17 << QSize(48, 12);
    QTest::newRow("19") << 19 << QSize(18, 51);
    QTest::newRow("22") << 22 << QSize(40, 40);
}

void ElementDialogsTest::ventPalette()
{
    QFETCH(int, picture);
    QFETCH(QSize, size);
    QWidget* d = f->openTemplate(ObjectKind::Vent);
    QWidget* marker = child<QWidget>(d, "Vent_Marker");
    QCOMPARE(marker->pos(), QPoint(6, 121));
    QTest::mouseClick(child<QWidget>(d, QStringLiteral("Vent_Picture_%1").arg(picture)), Qt::LeftButton);
    const QPoint place((picture % 8) * 100 + 6, (picture / 8) * 65 + 121);
    QCOMPARE(marker->pos(), place);
    QCOMPARE(edit(d, "Razmer_X_Vent")->text(), QString::number(size.width()));
    QCOMPARE(edit(d, "Razmer_Y_Vent")->text(), QString::number(size.height()));
    type(d, "Num_Block_Vent", "3");
    combo(d, "Num_OUT_Vent")->setCurrentIndex(5);
    ok(d);
    const VentElement& e = f->pages->vent[0][1];
    QCOMPARE(e.picture, picture);
    QCOMPARE(QSize(e.width, e.height), size);
    QCOMPARE(int(e.block), 3);
    QCOMPARE(int(e.output), 5);

    f->open({ObjectKind::Vent, 0, 1});
    QCOMPARE(marker->pos(), place);
    QCOMPARE(edit(d, "Razmer_X_Vent")->text(), QString::number(size.width()));
    QCOMPARE(combo(d, "Num_OUT_Vent")->currentIndex(), 5);
    cancel(d);
}

void ElementDialogsTest::mechanismAnimation()
{
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.gif");
    const QString good = dir.filePath("fan.gif");
    {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
    }
    QImage frame(20, 20, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    QVERIFY(frame.save(good, "PNG"));

    QWidget* d = f->openTemplate(ObjectKind::Vent);
    const QStringList before = tableText(*f->pages, ObjectKind::Vent, 0);
    auto* vent = qobject_cast<VentDialog*>(d);
    QVERIFY(vent);
    QTest::mouseDClick(child<QWidget>(d, "Vent_Picture_22"), Qt::LeftButton);
    MechanismAnimation* anim = vent->animation();
    QCOMPARE(anim->objectName(), QStringLiteral("MECHANIZMf"));
    QCOMPARE(anim->windowTitle(), QStringLiteral("Механизм"));
    QVERIFY(anim->isVisible());
    QVERIFY(!d->isEnabled());
    QVERIFY(anim->timer()->isActive());
    QCOMPARE(anim->timer()->interval(), 100);
    QVERIFY(f->door.windows().contains(anim));

    f->ui.fileAnswers = {bad};
    QTest::mouseClick(child<QWidget>(anim, "Mech_Slot_0"), Qt::LeftButton);
    QCOMPARE(f->ui.askedFilters, QStringList{"gif file|*.gif"});
    QCOMPARE(f->ui.texts(), QStringList{"Не правильный тип файла"});
    QVERIFY(anim->slotPicture(0).isNull());
    f->ui.fileAnswers = {good};
    QTest::mouseClick(child<QWidget>(anim, "Mech_Slot_2"), Qt::LeftButton);
    QVERIFY(!anim->slotPicture(2).isNull());
    QTest::mouseClick(child<QWidget>(anim, "Mech_Slot_1"), Qt::LeftButton);   // cancelled
    QVERIFY(anim->slotPicture(1).isNull());

    QList<int> shown;
    for (int i = 0; i < 5; ++i) {
        anim->tick();
        shown << anim->shownSlot();
    }
    QCOMPARE(shown, (QList<int>{0, 1, 2, 3, 0}));
    anim->tick();
    anim->tick();
    QVERIFY(child<QLabel>(anim, "Mech_Preview")->pixmap().toImage().pixelColor(10, 10) == QColor(Qt::blue));

    QTest::mouseClick(child<QWidget>(anim, "Ok_Mech"), Qt::LeftButton);
    QVERIFY(!anim->isVisible());
    QVERIFY(!anim->timer()->isActive());
    QVERIFY(d->isEnabled());
    QCOMPARE(tableText(*f->pages, ObjectKind::Vent, 0), before);

    // Closing the mechanism dialog closes the animation window with it.
    QTest::mouseDClick(child<QWidget>(d, "Vent_Picture_22"), Qt::LeftButton);
    QVERIFY(anim->isVisible());
    d->close();
    QVERIFY(!anim->isVisible());
    QVERIFY(d->isEnabled());
    QVERIFY(f->owner.isEnabled());
}

QTEST_MAIN(ElementDialogsTest)
#include "test_element_dialogs.moc"
