// A page filled only through the element dialogs of the value-bound
// elements: insert, fill every field, Ok, save the project, reopen it. Every
// field is back, the dialogs show it again, and the element tables the page
// download sends carry the expected bytes.
#include "wire/page_encoder.h"
#include "wire/transfer_state.h"
#include "project/project_reader.h"
#include "project/project_writer.h"
#include "project_fixture.h"
#include "scada/ui/level_dialog.h"
#include "scada/ui/parametr_dialog.h"
#include "scada/ui/signal_dialog.h"
#include "scada/ui/text_signal_dialog.h"
#include "scada/ui/vent_dialog.h"
#include "scada/ui/element_dialogs.h"
#include "scada/element_pictures.h"
#include "scada/record_fields.h"
#include "support/scripted_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

// The dialogs of a workspace, as the main window would hold them.
struct Dialogs {
    PageEditorState state;
    PageEditor editor;
    ScriptedInteraction ui;
    ElementPictures pictures;
    QWidget owner;
    ElementDialogs door;

    explicit Dialogs(Workspace& ws)
        : editor(ws.pages, state)
        , door(ElementDialogContext{ws.pages, editor, state, ws.blocks, ws.catalog, ui, pictures}, &owner)
    {
    }

    QWidget* insert(ObjectKind kind, int page)
    {
        state.current_page = page;
        editor.insert(kind);
        if (!door.open({kind, page, 0}))
            qFatal("the dialog did not open");
        return door.dialog(kind);
    }
};

template <class T> T* child(QWidget* d, const char* name)
{
    T* w = d->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void set(QWidget* d, const char* name, const QString& text) { child<QLineEdit>(d, name)->setText(text); }
void pick(QWidget* d, const char* name, int index)
{
    QComboBox* box = child<QComboBox>(d, name);
    box->setCurrentIndex(index);
    emit box->activated(index);
}
void tick(QWidget* d, const char* name) { child<QCheckBox>(d, name)->click(); }
void press(QWidget* d, const char* name) { QTest::mouseClick(child<QWidget>(d, name), Qt::LeftButton); }

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int v : list)
        out.append(char(uint8_t(v)));
    return out;
}

QStringList fields(const ScadaPages& pages, const ElementRef& ref)
{
    struct Text {
        QStringList out;
        void i16(int16_t& v) { out << QString::number(v); }
        void i32(int32_t& v) { out << QString::number(v); }
        void u8(uint8_t& v) { out << QString::number(v); }
        void text(QString& t) { out << t; }
    } v;
    withRecord(pages, ref, [&](const auto& e) {
        auto copy = e;
        visitFields(copy, v);
    });
    return v.out;
}

} // namespace

class DialogEditRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void filledThroughDialogsSavedAndReopened();
};

void DialogEditRoundTripTest::filledThroughDialogsSavedAndReopened()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("net") && QDir(dir.path()).mkpath("project"));
    auto ws = std::make_unique<Workspace>();
    // Blocks 3 MUL, 12 PID, 14 ALG, 20 S_P, 21 RS4, 30 REP.
    QVERIFY(fixture::importScheme(*ws, dir.filePath("net/scheme.net"), fixture::smallScheme()));
    const int p = 2;
    Dialogs dialogs(*ws);
    ScriptedInteraction& ui = dialogs.ui;

    // Parameter: width "5 ", font "3" (18), framed, red on white, the last
    // setpoint of the algorithm block.
    QWidget* d = dialogs.insert(ObjectKind::Parametr, p);
    set(d, "Coord_X_Parametr_Text", "100");
    set(d, "Coord_Y_Parametr_Text", "50");
    pick(d, "Parametr_Num_Znak", 3);
    pick(d, "Parametr_Shrift", 2);
    tick(d, "Parametr_Ramka");
    ui.colorAnswers = {QColor(255, 0, 0), QColor(255, 255, 255)};
    press(d, "Color_Text");
    press(d, "Color_Text_Fon");
    set(d, "Num_Block_Par_Text", "14");
    tick(d, "Out_Zad");
    child<QComboBox>(d, "Num_OUT_Par")->setCurrentIndex(127);
    press(d, "Ok_Element");

    // Signal: valve X, 20 x 40, list number 4, blinking green / grey, MUL output 10.
    d = dialogs.insert(ObjectKind::Signal, p);
    set(d, "Coord_X_Signal", "300");
    set(d, "Coord_Y_Signal", "200");
    set(d, "Razmer_X_Signal", "20");
    set(d, "Razmer_Y_Signal", "20");
    pick(d, "Type_Signal", 7);
    child<QLineEdit>(d, "Razmer_Y_Signal")->selectAll();
    QTest::keyClicks(child<QLineEdit>(d, "Razmer_Y_Signal"), "40");
    child<QComboBox>(d, "Num_List_Signal")->setCurrentIndex(4);
    tick(d, "Signal_Blink");
    ui.colorAnswers = {QColor(0, 255, 0), QColor(128, 128, 128)};
    press(d, "Color_Signal");
    press(d, "Color_Signal_Fon");
    set(d, "Num_Block_Signal", "3");
    child<QComboBox>(d, "Num_OUT_Signal")->setCurrentIndex(2);
    press(d, "Ok_Element");

    // Text signal: font "2 ", list number 2, framed, black on white.
    d = dialogs.insert(ObjectKind::TextSignal, p);
    set(d, "Coord_X_Text_Signal", "600");
    set(d, "Coord_Y_Text_Signal", "360");
    pick(d, "Text_Signal_Shrift", 1);
    child<QComboBox>(d, "Num_List_Text_Signal")->setCurrentIndex(2);
    tick(d, "Text_Signal_Ramka");
    ui.colorAnswers = {QColor(0, 0, 0), QColor(255, 255, 255)};
    press(d, "Color_Text_Signal");
    press(d, "Color_Text_Signal_Fon");
    set(d, "Text_Signal_Off", QStringLiteral("Горелка выкл."));
    set(d, "Text_Signal_On", QStringLiteral("Горелка вкл."));
    set(d, "Num_Block_Text_Signal", "3");
    child<QComboBox>(d, "Num_OUT_Text_Signal")->setCurrentIndex(1);
    press(d, "Ok_Element");

    // Level: vertical, framed, 30 x 200, scale 600, PID output.
    d = dialogs.insert(ObjectKind::Level, p);
    set(d, "Coord_X_Level", "700");
    set(d, "Coord_Y_Level", "140");
    set(d, "Razmer_X_Level", "30");
    set(d, "Razmer_Y_Level", "200");
    set(d, "Level_Scale", "600");
    tick(d, "Level_Ramka");
    ui.colorAnswers = {QColor(0, 128, 255), QColor(255, 255, 255)};
    press(d, "Color_Level");
    press(d, "Color_Level_Fon");
    set(d, "Num_Block_Level", "12");
    child<QComboBox>(d, "Num_OUT_Level")->setCurrentIndex(2);
    press(d, "Ok_Element");

    // Mechanism: picture 8 (38 x 60).
    d = dialogs.insert(ObjectKind::Vent, p);
    set(d, "Coord_X_Vent", "200");
    set(d, "Coord_Y_Vent", "300");
    press(d, "Vent_Picture_8");
    set(d, "Num_Block_Vent", "14");
    child<QComboBox>(d, "Num_OUT_Vent")->setCurrentIndex(4);
    press(d, "Ok_Element");
    QCOMPARE(ui.texts(), QStringList{});

    const QString red = QString::number(0x0000ff), white = QString::number(0xffffff);
    const QList<std::pair<ElementRef, QStringList>> expected{
        {{ObjectKind::Parametr, p, 1}, {"1", "100", "50", red, white, "1", "18", "3", "14", "255"}},
        {{ObjectKind::Signal, p, 1},
         {"1", "300", QString::number(200 + 4 * 1024), QString::number(20 + 3 * 64), QString::number(40 + 64),
          QString::number(0x00ff00), QString::number(0x808080), "0", "1", "3", "2"}},
        {{ObjectKind::TextSignal, p, 1},
         {"1", "600", QString::number(360 + 2 * 1024), "14", "0", white, QStringLiteral("Горелка выкл."),
          QStringLiteral("Горелка вкл."), "1", "0", "3", "1"}},
        {{ObjectKind::Level, p, 1},
         {"1", "700", "140", "30", "200", "600", QString::number(0xff8000), white, "1", "12", "2"}},
        {{ObjectKind::Vent, p, 1}, {"1", "200", "300", "38", "60", "8", "14", "4"}},
    };
    for (const auto& [ref, values] : expected)
        QCOMPARE(fields(ws->pages, ref), values);
    // The parameter's look is the next parameter's start.
    QCOMPARE(fields(ws->pages, {ObjectKind::Parametr, p, 0}),
             (QStringList{"0", "100", "50", red, white, "1", "18", "3", "0", "0"}));

    // Save and reopen.
    const QString path = dir.filePath("project/dialogs.prt");
    QVERIFY(writeProject(*ws, path, ui, {QLocale::c(), true}));
    auto back = std::make_unique<Workspace>();
    const ProjectReadResult r = readProject(*back, path, ui);
    QCOMPARE(r.status, ProjectReadStatus::Ok);
    for (const auto& [ref, values] : expected)
        QCOMPARE(fields(back->pages, ref), values);

    // The dialogs show the reopened elements as they were left.
    Dialogs again(*back);
    again.state.current_page = p;
    QVERIFY(again.door.open({ObjectKind::Parametr, p, 1}));
    d = again.door.dialog(ObjectKind::Parametr);
    QCOMPARE(child<QComboBox>(d, "Parametr_Shrift")->currentText(), QStringLiteral("3"));
    QCOMPARE(child<QComboBox>(d, "Parametr_Num_Znak")->currentText(), QStringLiteral("5 "));
    QVERIFY(child<QCheckBox>(d, "Out_Zad")->isChecked());
    QCOMPARE(child<QComboBox>(d, "Num_OUT_Par")->currentText(), QStringLiteral(" SP(INP31)"));
    press(d, "Cancel_Element");
    QVERIFY(again.door.open({ObjectKind::Signal, p, 1}));
    d = again.door.dialog(ObjectKind::Signal);
    QCOMPARE(child<QComboBox>(d, "Type_Signal")->currentText(), QStringLiteral("Клапан X"));
    QCOMPARE(child<QComboBox>(d, "Num_List_Signal")->currentText(), QStringLiteral("4"));
    QCOMPARE(child<QLineEdit>(d, "Razmer_X_Signal")->text(), QStringLiteral("20"));
    QCOMPARE(child<QLineEdit>(d, "Razmer_Y_Signal")->text(), QStringLiteral("40"));
    QCOMPARE(child<QComboBox>(d, "Num_OUT_Signal")->currentText(), QStringLiteral("10"));
    press(d, "Cancel_Element");
    QVERIFY(again.door.open({ObjectKind::Vent, p, 1}));
    d = again.door.dialog(ObjectKind::Vent);
    QCOMPARE(qobject_cast<VentDialog*>(d)->picture(), 8);
    press(d, "Cancel_Element");
    QCOMPARE(again.ui.texts(), QStringList{});

    // The element tables of the reopened page, worked out by hand.
    auto ts = std::make_unique<TransferState>();
    QImage black(800, 480, QImage::Format_RGB32);
    black.fill(Qt::black);
    const PageEncodeResult encoded = encodePage(black, back->pages, p, 5, *ts);
    QVERIFY(encoded.ok);
    const int band = encoded.band_lengths[7];
    const QByteArray tables = ts->tx_buffer.mid(7 * TransferState::kPartSize + band, 3580);
    // 1: x 100, y 50, red 0xF800, white, frame 1, font 18 -> 9, digits 3 -> 5;
    // free slots: font 8 -> 2, digits 0 -> 2.
    QCOMPARE(tables.mid(0, 352), bytes({0x64, 0, 0x32, 0, 0x00, 0xF8, 0xFF, 0xFF, 1, 9, 5})
                                     + bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2}).repeated(31));
    // 2: y 200 + 4 x 1024 = 0x10C8; width 212 - 1, height 104 - 1; green
    // 0x07E0; grey 0x8410; not framed.
    QCOMPARE(tables.mid(352, 11), bytes({0x2C, 1, 0xC8, 0x10, 0xD3, 0x67, 0xE0, 0x07, 0x10, 0x84, 0}));
    // 3: y 360 + 2048 = 0x968, font 14 -> 3, black, white, 2 x 12 + 1, the
    // texts in code page 1251 cut to 12 characters.
    QCOMPARE(tables.mid(704, 34),
             bytes({0x58, 2, 0x68, 9, 3, 0, 0, 0xFF, 0xFF, 25})
                 + bytes({0xC3, 0xEE, 0xF0, 0xE5, 0xEB, 0xEA, 0xE0, 0x20, 0xE2, 0xFB, 0xEA, 0xEB})
                 + bytes({0xC3, 0xEE, 0xF0, 0xE5, 0xEB, 0xEA, 0xE0, 0x20, 0xE2, 0xEA, 0xEB, 0x2E}));
    // 4: style 1: sizes 30 - 5 and 200 - 5; scale 600; 0xFF8000 -> 0x041F.
    QCOMPARE(tables.mid(1792, 13), bytes({0xBC, 2, 0x8C, 0, 25, 195, 0x58, 2, 0x1F, 0x04, 0xFF, 0xFF, 1}));
    // 10: picture 8 moves by (8, 47).
    QCOMPARE(tables.mid(2603, 5), bytes({208, 0, 0x5B, 1, 8}));
    // 13: the bindings of parameters, signals, text signals, levels, mechanisms.
    QCOMPARE(tables.mid(3156, 2), bytes({14, 255}));
    QCOMPARE(tables.mid(3220, 2), bytes({3, 2}));
    QCOMPARE(tables.mid(3284, 2), bytes({3, 1}));
    QCOMPARE(tables.mid(3348, 2), bytes({12, 2}));
    QCOMPARE(tables.mid(3516, 2), bytes({14, 4}));
}

QTEST_MAIN(DialogEditRoundTripTest)
#include "test_dialog_edit_roundtrip.moc"
