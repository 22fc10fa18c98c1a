// The algorithm step editor window, driven through its named controls.
#include "algorithm/ui/condition_frame_label.h"
#include "algorithm/ui/step_editor.h"
#include "algorithm/step_program.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <memory>

using namespace ostrel;

namespace {

constexpr int kBlock = 5;

} // namespace

class TestStepEditor : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<StepEditor> ed;

    template <typename T>
    T* find(const QString& name)
    {
        T* w = ed->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QComboBox* combo(const QString& name) { return find<QComboBox>(name); }
    QLineEdit* edit(const QString& name) { return find<QLineEdit>(name); }
    QLabel* label(const QString& name) { return find<QLabel>(name); }
    QTabBar* tabs() { return find<QTabBar>(QStringLiteral("Step_ALGORITM")); }
    void click(const QString& button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void selectTab(int t) { tabs()->setCurrentIndex(t); }
    void trigger(const QString& action) { find<QAction>(action)->trigger(); }

    int fieldOf(int s, int f) { return alg::stepField(ws->blocks, kBlock, s, f); }
    void setFieldOf(int s, int f, int v) { alg::setStepField(ws->blocks, kBlock, s, f, v); }
    void retype(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        QTest::keyClicks(e, text);
    }
    void open() { ed->openFor(kBlock); }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        BlockTable& bt = ws->blocks;
        bt.block_type[kBlock] = 45;
        bt.text_base[kBlock] = 10000; // empty texts: the defaults apply
        bt.param_base[kBlock] = 200;
        alg::applyDefaultFields(bt, kBlock);
        for (auto& c : ws->alg.alg_comments)
            c = QStringLiteral("Text");
        ed = std::make_unique<StepEditor>(ws->blocks, ws->alg, *ui);
    }
    void cleanup()
    {
        ed.reset();
        ui.reset();
        ws.reset();
    }

    void defaultStepShowsDefaults()
    {
        open();
        QVERIFY(ed->isVisible());
        QCOMPARE(ed->objectName(), QStringLiteral("ALGORITM"));
        QCOMPARE(ed->windowTitle(), QStringLiteral("Блок АЛГОРИТМ"));
        QCOMPARE(int(ws->blocks.cur_block), kBlock);
        QCOMPARE(tabs()->count(), 32);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("1"));
        QCOMPARE(tabs()->tabText(31), QStringLiteral("32"));
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Input 1"));
        QCOMPARE(combo("If_AB")->currentText(), QStringLiteral(" ="));
        QCOMPARE(combo("Source_B")->currentText(), QStringLiteral("0"));
        QVERIFY(!edit("SP_1_128")->isVisible());
        QCOMPARE(label("if_Then_L")->text(),
                 QStringLiteral("   if                                                  then"));
        for (const char* k : {"Out_SET_Num", "Out_SET_Num_1"})
            QCOMPARE(combo(k)->currentText(), QStringLiteral("No"));
        QCOMPARE(combo("Go_Step_then")->currentText(), QStringLiteral("OUT"));
        QCOMPARE(combo("Go_step_else")->currentText(), QStringLiteral("OUT"));
        QCOMPARE(combo("Go_Step_then")->count(), 130);
        QCOMPARE(combo("Go_Step_then")->itemText(129), QStringLiteral("RET"));
        QCOMPARE(label("goto_step_L")->text(), QStringLiteral(" goto step"));
        QVERIFY(edit("Out_Num")->isVisible());
        QCOMPARE(edit("Out_Num")->text(), QStringLiteral("0"));
        for (const char* row : {"Out1_32", "Out1_32_1", "Flag1_32", "Flag1_32_1"})
            for (int k = 0; k < 32; ++k)
                QCOMPARE(label(QStringLiteral("%1(%2)").arg(QLatin1String(row)).arg(k))->text(),
                         QStringLiteral("-"));
        QCOMPARE(edit("Text_Coment(0)")->text(), QStringLiteral("Text"));
        QVERIFY(ui->messages.isEmpty());
        // Opening shows the program; it does not rewrite it.
        QCOMPARE(ws->blocks.TextStore[10000 + alg::then_kind], QString());
    }

    void callFlagShowsCallCaption()
    {
        ws->alg.call_flags[1][1] = 1;
        open();
        selectTab(1);
        QCOMPARE(label("goto_step_L")->text(), QStringLiteral(" goto step"));
        QCOMPARE(label("goto_step1_L")->text(), QStringLiteral(" call step"));
        QCOMPARE(label("goto_step1_L")->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(label("goto_step_L")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    }

    void listChangeWritesField_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("thenKind");
        QTest::addColumn<int>("ops");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("expected");
        QTest::newRow("Source_A") << "Source_A" << 0 << 0 << 200 << alg::cond_a << 200;
        QTest::newRow("Source_B") << "Source_B" << 0 << 0 << 225 << alg::cond_b << 225;
        QTest::newRow("If_AB keeps math bits") << "If_AB" << 0 << 0xB3 << 5 << alg::ops << 0xB5;
        QTest::newRow("SP_MATH keeps others") << "SP_MATH" << 100 << 0xB3 << 2 << alg::ops << 0xA3;
        QTest::newRow("SP_MATH_1 keeps others") << "SP_MATH_1" << 0 << 0x35 << 3 << alg::ops << 0xF5;
        QTest::newRow("Go_Step_then RET") << "Go_Step_then" << 0 << 0 << 129 << alg::then_next << 129;
        QTest::newRow("Go_step_else 1") << "Go_step_else" << 0 << 0 << 0 << alg::else_next << 0;
        QTest::newRow("Out_SET_Num_1") << "Out_SET_Num_1" << 0 << 0 << 255 << alg::else_kind << 255;
        QTest::newRow("MATH_B") << "MATH_B" << 130 << 0 << 225 << alg::then_operand << 225;
        QTest::newRow("OUT_SP_INP1_32") << "OUT_SP_INP1_32" << 70 << 0 << 31 << alg::then_operand << 31;
        QTest::newRow("OUT_SP1_128 setpoints") << "OUT_SP1_128" << 40 << 0 << 127 << alg::then_operand << 127;
        QTest::newRow("OUT_SP1_128 operands") << "OUT_SP1_128" << 200 << 0 << 161 << alg::then_operand << 161;
    }
    void listChangeWritesField()
    {
        QFETCH(QString, control);
        QFETCH(int, thenKind);
        QFETCH(int, ops);
        QFETCH(int, index);
        QFETCH(int, field);
        QFETCH(int, expected);
        setFieldOf(33, alg::then_kind, thenKind);
        setFieldOf(33, alg::ops, ops);
        open();
        click("Command1");
        selectTab(1);
        combo(control)->setCurrentIndex(index);
        QCOMPARE(fieldOf(33, field), expected);
        QCOMPARE(fieldOf(1, field), field == alg::cond_a ? 1 : (field == alg::then_next || field == alg::else_next) ? 128 : 0);
        QVERIFY(ui->messages.isEmpty());
    }

    void kindChangeResetsForeignOperand_data()
    {
        QTest::addColumn<int>("operand");
        QTest::addColumn<int>("newKind");
        QTest::addColumn<int>("expected");
        QTest::newRow("constant kept") << 200 << 7 << 200;
        QTest::newRow("setpoint too high") << 200 << 40 << 0;
        QTest::newRow("setpoint fits") << 127 << 40 << 127;
        QTest::newRow("input too high") << 32 << 70 << 0;
        QTest::newRow("operand table too high") << 226 << 100 << 0;
        QTest::newRow("operand table fits") << 225 << 250 << 225;
    }
    void kindChangeResetsForeignOperand()
    {
        QFETCH(int, operand);
        QFETCH(int, newKind);
        QFETCH(int, expected);
        setFieldOf(0, alg::then_operand, operand);
        open();
        combo("Out_SET_Num")->setCurrentIndex(newKind);
        QCOMPARE(fieldOf(0, alg::then_kind), newKind);
        QCOMPARE(fieldOf(0, alg::then_operand), expected);
    }

    void actionKindLayout_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("operand");
        QTest::addColumn<QStringList>("visible");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<int>("hiddenOutput"); // 1..32, 0 = none
        QTest::addColumn<int>("valueSetpoint"); // shown in OUT_SP_N, 0 = hidden
        QTest::addColumn<int>("valueLeft");
        QTest::newRow("No") << 0 << 9 << QStringList{"Out_Num"} << "" << 0 << 0 << 0;
        QTest::newRow("Output 3") << 3 << 9 << QStringList{"Out_Num"} << "" << 3 << 0 << 0;
        QTest::newRow("OUT8_SP") << 40 << 3 << QStringList{"OUT_SP1_128", "OUT_SP_N"} << "SP4" << 8 << 4 << 247;
        QTest::newRow("OUT2_SP(INP)") << 66 << 4 << QStringList{"OUT_SP_INP1_32"} << "Input 5" << 2 << 0 << 0;
        QTest::newRow("SP1 += SP5") << 97 << 38 << QStringList{"MATH_B", "SP_MATH", "OUT_SP_N"} << "SP5" << 0 << 5 << 293;
        QTest::newRow("SP1 += Input 1") << 97 << 2 << QStringList{"MATH_B", "SP_MATH"} << "Input 1" << 0 << 0 << 0;
        QTest::newRow("SP2 = SP128") << 194 << 161 << QStringList{"OUT_SP1_128", "OUT_SP_N"} << "SP128" << 0 << 128 << 247;
        QTest::newRow("OUT(SP31) = 1") << 255 << 1 << QStringList{"OUT_SP1_128"} << "1" << 0 << 0 << 0;
    }
    void actionKindLayout()
    {
        QFETCH(int, kind);
        QFETCH(int, operand);
        QFETCH(QStringList, visible);
        QFETCH(QString, selector);
        QFETCH(int, hiddenOutput);
        QFETCH(int, valueSetpoint);
        QFETCH(int, valueLeft);
        setFieldOf(2, alg::then_kind, kind);
        setFieldOf(2, alg::then_operand, operand);
        for (int k = 1; k <= 128; ++k)
            alg::setSetpoint(ws->blocks, kBlock, k, k + 0.5f);
        open();
        selectTab(2);
        for (const char* name : {"Out_Num", "OUT_SP1_128", "OUT_SP_N", "OUT_SP_INP1_32", "MATH_B", "SP_MATH"})
            QCOMPARE(find<QWidget>(QLatin1String(name))->isVisible(), visible.contains(QLatin1String(name)));
        if (!selector.isEmpty())
            QCOMPARE(combo(visible.first())->currentText(), selector);
        for (int k = 0; k < 32; ++k)
            QCOMPARE(label(QStringLiteral("Out1_32(%1)").arg(k))->isVisible(), k + 1 != hiddenOutput);
        if (valueSetpoint) {
            QCOMPARE(edit("OUT_SP_N")->text(), QString::number(valueSetpoint + 0.5));
            QCOMPARE(edit("OUT_SP_N")->x(), valueLeft);
        }
        // The else-branch of the same step is untouched by the then-kind.
        QVERIFY(edit("Out_Num_1")->isVisible());
        for (int k = 0; k < 32; ++k)
            QVERIFY(label(QStringLiteral("Out1_32_1(%1)").arg(k))->isVisible());
        QCOMPARE(fieldOf(2, alg::then_operand), operand);
    }

    void outputLabelsCycle_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("field");
        QTest::newRow("then outputs") << "Out1_32" << alg::then_outputs;
        QTest::newRow("else outputs") << "Out1_32_1" << alg::else_outputs;
        QTest::newRow("then flags") << "Flag1_32" << alg::then_flags;
        QTest::newRow("else flags") << "Flag1_32_1" << alg::else_flags;
    }
    void outputLabelsCycle()
    {
        QFETCH(QString, row);
        QFETCH(int, field);
        open();
        auto lab = [&](int k) { return label(QStringLiteral("%1(%2)").arg(row).arg(k)); };
        // Label k = 13 is output 14: group 3, second code (x 4).
        const QStringList captions{"1", "0", "-"};
        const QList<int> values{4, 8, 0};
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(lab(13), Qt::LeftButton);
            QCOMPARE(lab(13)->text(), captions[i]);
            QCOMPARE(fieldOf(0, field + 3), values[i]);
        }
        // 1 = set, 2 = reset, 3 = unchanged, 4 = set packs to 73.
        QTest::mouseClick(lab(0), Qt::LeftButton);
        QTest::mouseClick(lab(1), Qt::LeftButton);
        QTest::mouseClick(lab(1), Qt::LeftButton);
        QTest::mouseClick(lab(3), Qt::LeftButton);
        QCOMPARE(fieldOf(0, field), 73);
        QCOMPARE(fieldOf(1, field), 0);
    }

    void unshowableFieldsReported()
    {
        setFieldOf(3, alg::cond_a, 300);          // no such A-operand
        setFieldOf(3, alg::then_outputs + 1, 3);  // code 3 for output 5
        setFieldOf(7, alg::then_next, 131);
        open();
        QVERIFY(ed->isVisible());
        QCOMPARE(ui->texts(), QStringList{"Ошибка параметра в блоке <АЛГОРИТМ>шаг A4"});
        QCOMPARE(ui->messages.first().icon, MessageIcon::Error);
        selectTab(3);
        QCOMPARE(combo("Source_A")->currentIndex(), -1);
        QCOMPARE(label("Out1_32(4)")->text(), QString());
        QCOMPARE(label("Out1_32(5)")->text(), QStringLiteral("-"));
        QCOMPARE(fieldOf(3, alg::cond_a), 300); // left as it is until the user picks
        combo("Source_A")->setCurrentIndex(2);
        QCOMPARE(fieldOf(3, alg::cond_a), 2);
        QTest::mouseClick(label("Out1_32(4)"), Qt::LeftButton);
        QCOMPARE(fieldOf(3, alg::then_outputs + 1), 1);
    }

    void refusesBlockWithoutProgram_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("textBase");
        QTest::addColumn<int>("block");
        QTest::newRow("not an algorithm block") << 12 << 10000 << kBlock;
        QTest::newRow("texts beyond the store") << 45 << 15000 << kBlock;
        QTest::newRow("block number out of range") << 45 << 10000 << 300;
    }
    void refusesBlockWithoutProgram()
    {
        QFETCH(int, type);
        QFETCH(int, textBase);
        QFETCH(int, block);
        ws->blocks.block_type[kBlock] = int16_t(type);
        ws->blocks.text_base[kBlock] = int16_t(textBase);
        QSignalSpy closed(ed.get(), &StepEditor::closed);
        ed->openFor(block);
        QVERIFY(!ed->isVisible());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(ui->texts(), QStringList{"Ошибка параметра в блоке <АЛГОРИТМ>"});
    }

    void byteEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("messages");
        QTest::newRow("in range") << "255" << 255 << "255" << 0;
        QTest::newRow("third digit too many") << "256" << 25 << "25" << 1;
        QTest::newRow("minus") << "-" << 0 << "0" << 1;
        QTest::newRow("letters") << "7x" << 7 << "7" << 1;
    }
    void byteEntry()
    {
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, messages);
        setFieldOf(0, alg::then_kind, 4);
        open();
        retype(edit("Out_Num"), typed);
        QCOMPARE(fieldOf(0, alg::then_operand), stored);
        QCOMPARE(edit("Out_Num")->text(), shown);
        QCOMPARE(ui->messages.size(), messages);
        for (const Message& m : ui->messages)
            QCOMPARE(m.text, QStringLiteral("Ошибка ввода!!! Диапазон чисел 0 - 255!"));
        QCOMPARE(fieldOf(0, alg::else_operand), 0);
    }

    void conditionSetpointBox()
    {
        setFieldOf(0, alg::cond_b, 38); // SP5
        setFieldOf(0, alg::then_kind, 37);
        setFieldOf(0, alg::then_operand, 4); // OUT5 = SP5
        alg::setSetpoint(ws->blocks, kBlock, 5, 7.25f);
        open();
        QCOMPARE(combo("Source_B")->currentText(), QStringLiteral("SP5"));
        QCOMPARE(label("if_Then_L")->text(),
                 QStringLiteral("   if                                                            then"));
        QVERIFY(edit("SP_1_128")->isVisible());
        QCOMPARE(edit("SP_1_128")->text(), QStringLiteral("7.25"));
        retype(edit("SP_1_128"), QStringLiteral("2,5"));
        QCOMPARE(alg::setpoint(ws->blocks, kBlock, 5), 2.5f);
        QCOMPARE(edit("SP_1_128")->text(), QStringLiteral("2.5"));
        QCOMPARE(edit("OUT_SP_N")->text(), QStringLiteral("2.5")); // the same setpoint
        QVERIFY(ui->messages.isEmpty());

        QTest::keyClicks(edit("SP_1_128"), QStringLiteral("q"));
        QCOMPARE(ui->texts(), QStringList{"Ошибка ввода!!!"});
        QCOMPARE(ui->messages.first().icon, MessageIcon::Error);
        QCOMPARE(edit("SP_1_128")->text(), QStringLiteral("2.5"));
        QCOMPARE(alg::setpoint(ws->blocks, kBlock, 5), 2.5f);

        retype(edit("OUT_SP_N"), QStringLiteral("-12.75"));
        QCOMPARE(alg::setpoint(ws->blocks, kBlock, 5), -12.75f);
        QCOMPARE(edit("SP_1_128")->text(), QStringLiteral("-12.75"));

        // A number beyond single precision is refused at the digit that overflows.
        ui->clear();
        retype(edit("SP_1_128"), QStringLiteral("1") + QString(39, QLatin1Char('0')));
        QCOMPARE(ui->texts(), QStringList{"Ошибка ввода!!!"});
        QCOMPARE(alg::setpoint(ws->blocks, kBlock, 5), 1e38f);
        QCOMPARE(edit("SP_1_128")->text(), QStringLiteral("1") + QString(38, QLatin1Char('0')));

        combo("Source_B")->setCurrentIndex(1);
        QVERIFY(!edit("SP_1_128")->isVisible());
        QCOMPARE(label("if_Then_L")->text(),
                 QStringLiteral("   if                                                  then"));
    }

    // "then" of the condition frame stands right of the right operand, and
    // right of the setpoint value box while that is shown: never under a list.
    void thenBesideTheRightOperand_data()
    {
        QTest::addColumn<int>("condB");
        QTest::addColumn<bool>("valueBox");
        QTest::newRow("constant") << 1 << false;
        QTest::newRow("setpoint with its value") << 38 << true;
    }
    void thenBesideTheRightOperand()
    {
        QFETCH(int, condB);
        QFETCH(bool, valueBox);
        setFieldOf(0, alg::cond_b, condB);
        open();
        QCOMPARE(edit("SP_1_128")->isVisible(), valueBox);
        auto* frame = dynamic_cast<ConditionFrameLabel*>(label("if_Then_L"));
        QVERIFY(frame);
        const QRect then = frame->lastWordRect().translated(frame->pos());
        QVERIFY(!then.isEmpty());
        QVERIFY(QRect(QPoint(), frame->size()).contains(frame->lastWordRect()));
        for (QWidget* w : {static_cast<QWidget*>(combo("Source_A")), static_cast<QWidget*>(combo("If_AB")),
                           static_cast<QWidget*>(combo("Source_B")), static_cast<QWidget*>(edit("SP_1_128"))})
            if (w->isVisible())
                QVERIFY2(!w->geometry().intersects(then), qPrintable(w->objectName()));
        const QWidget* rightmost = valueBox ? static_cast<QWidget*>(edit("SP_1_128")) : combo("Source_B");
        QVERIFY(then.left() > rightmost->geometry().right());
    }

    // The window fits a 1280 x 1024 screen; on a smaller screen (the test
    // screen is 800 x 600) it takes what there is and every control can be
    // scrolled into view.
    void fitsTheScreen()
    {
        open();
        auto* page = find<QWidget>(QStringLiteral("StepEditorPage"));
        auto* scroll = find<QScrollArea>(QStringLiteral("StepEditorScroll"));
        const QMargins frame(8, 32, 8, 8);
        QVERIFY(page->width() + frame.left() + frame.right() <= 1280);
        QVERIFY(page->height() + frame.top() + frame.bottom() <= 1024);
        for (QWidget* w : page->findChildren<QWidget*>())
            if (w->isVisibleTo(page) && !w->inherits("QMenu"))
                QVERIFY2(page->rect().contains(QRect(w->mapTo(page, QPoint()), w->size())),
                         qPrintable(w->objectName()));
        const QRect avail = ed->screen()->availableGeometry();
        QVERIFY(ed->width() <= avail.width() && ed->height() <= avail.height());
        for (const char* name : {"Cancel_ALGORITM", "Text_Coment(5)", "Goto_Step(31)"}) {
            QWidget* w = find<QWidget>(QLatin1String(name));
            scroll->ensureWidgetVisible(w);
            const QRect shown(w->mapTo(scroll->viewport(), QPoint()), w->size());
            QVERIFY2(scroll->viewport()->rect().contains(shown), name);
        }
    }

    void constantOperatorsListConstants()
    {
        setFieldOf(0, alg::ops, 9);      // "= const"
        setFieldOf(0, alg::cond_b, 240); // the constant itself
        open();
        QVERIFY(ui->messages.isEmpty());
        QCOMPARE(combo("If_AB")->currentText(), QStringLiteral("= const"));
        QCOMPARE(combo("Source_B")->currentText(), QStringLiteral("240"));
        QVERIFY(!edit("SP_1_128")->isVisible());
        combo("Source_B")->setCurrentIndex(255);
        QCOMPARE(fieldOf(0, alg::cond_b), 255);
        combo("If_AB")->setCurrentIndex(0);
        QCOMPARE(fieldOf(0, alg::ops), 0);
        QCOMPARE(combo("Source_B")->currentIndex(), -1); // 255 is no B-operand
        combo("Source_B")->setCurrentIndex(38);
        QVERIFY(edit("SP_1_128")->isVisible());
    }

    void assignmentMathEntry_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("expectedKind");
        QTest::addColumn<int>("expectedOps");
        QTest::addColumn<QString>("mathShown");
        QTest::newRow("SP4 becomes SP4 =") << 100 << 196 << 0x82 << "";
        QTest::newRow("SP(INP1) keeps its operator") << 129 << 129 << 0xA2 << " *=";
    }
    void assignmentMathEntry()
    {
        QFETCH(int, kind);
        QFETCH(int, expectedKind);
        QFETCH(int, expectedOps);
        QFETCH(QString, mathShown);
        setFieldOf(0, alg::then_kind, kind);
        setFieldOf(0, alg::then_operand, 3);
        setFieldOf(0, alg::ops, 0xA2); // then " *=", else " *=", operator " >"
        open();
        combo("SP_MATH")->setCurrentIndex(4);
        QCOMPARE(fieldOf(0, alg::then_kind), expectedKind);
        QCOMPARE(fieldOf(0, alg::ops), expectedOps);
        QCOMPARE(fieldOf(0, alg::then_operand), 3);
        QCOMPARE(combo("Out_SET_Num")->currentIndex(), expectedKind);
        if (mathShown.isEmpty()) {
            QVERIFY(!combo("SP_MATH")->isVisible());
            QCOMPARE(combo("OUT_SP1_128")->currentText(), QStringLiteral("Input 2"));
        } else {
            QCOMPARE(combo("SP_MATH")->currentText(), mathShown);
        }
    }

    void paging()
    {
        setFieldOf(32, alg::cond_a, 70);
        setFieldOf(127, alg::cond_a, 99);
        open();
        click("Command2"); // already on the first page
        QCOMPARE(ed->page(), 0);
        click("Command1");
        QCOMPARE(ed->page(), 1);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("33"));
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Flag_6"));
        click("Command1");
        click("Command1");
        click("Command1");
        QCOMPARE(ed->page(), 3);
        QCOMPARE(tabs()->tabText(31), QStringLiteral("128"));
        selectTab(31);
        QCOMPARE(ed->currentStep(), 127);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Timer 3"));
        click("Command2");
        QCOMPARE(ed->page(), 2);
        // The page survives closing and reopening.
        click("Cancel_ALGORITM");
        open();
        QCOMPARE(ed->page(), 2);
        QCOMPARE(tabs()->tabText(0), QStringLiteral("65"));
    }

    void search()
    {
        setFieldOf(3, alg::then_kind, 5);    // "Output 5" action: not a hit
        setFieldOf(40, alg::cond_a, 37);     // "Output 5" condition
        setFieldOf(100, alg::else_kind, 37); // "OUT5_SP"
        open();
        QCOMPARE(edit("Serch_N")->text(), QStringLiteral("1"));
        combo("Serch")->setCurrentIndex(1); // "Output"
        retype(edit("Serch_N"), QStringLiteral("5"));
        click("Serch_GO");
        QCOMPARE(ed->page(), 1);
        QCOMPARE(tabs()->currentIndex(), 8);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Output 5"));
        click("Serch_GO");
        QCOMPARE(ed->page(), 3);
        QCOMPARE(tabs()->currentIndex(), 4);
        QCOMPARE(combo("Out_SET_Num_1")->currentText(), QStringLiteral("OUT5_SP"));
        QVERIFY(ui->messages.isEmpty());
        click("Serch_GO");
        QCOMPARE(ui->texts(), QStringList{"Конец поиска"});
        QCOMPARE(ed->page(), 3);
        click("Serch_GO");
        QCOMPARE(ui->messages.size(), 2);
        // Changing the number starts the search again from step 1.
        retype(edit("Serch_N"), QStringLiteral("5"));
        click("Serch_GO");
        QCOMPARE(ed->currentStep(), 40);
    }

    void searchCategories_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("kind"); // then_kind set beside, -1 = none
        QTest::addColumn<bool>("hit");
        // Searches for number 3.
        QTest::newRow("Input in cond_a") << 0 << alg::cond_a << 3 << -1 << true;
        QTest::newRow("Input in cond_b") << 0 << alg::cond_b << 4 << -1 << true;
        QTest::newRow("Input as OUT_SP(INP) operand") << 0 << alg::then_operand << 2 << 70 << true;
        QTest::newRow("Input as B operand of SP +=") << 0 << alg::then_operand << 4 << 100 << true;
        QTest::newRow("Input: constant of = const") << 0 << alg::ops << 9 << -1 << false;
        QTest::newRow("Flag") << 2 << alg::cond_a << 67 << -1 << true;
        QTest::newRow("Timer") << 3 << alg::cond_a << 99 << -1 << true;
        QTest::newRow("SP in cond_b") << 4 << alg::cond_b << 36 << -1 << true;
        QTest::newRow("SP as OUT_SP operand") << 4 << alg::then_operand << 2 << 40 << true;
        QTest::newRow("SP: Output 32 constant is no setpoint") << 4 << alg::then_operand << 2 << 32 << false;
        QTest::newRow("SP(INP)") << 5 << alg::cond_b << 164 << -1 << true;
        QTest::newRow("OUT_SP") << 6 << alg::then_kind << 35 << -1 << true;
        QTest::newRow("OUT_SP(INP)") << 7 << alg::then_kind << 67 << -1 << true;
        QTest::newRow("OUT_SP(INP): kind 3 no hit") << 7 << alg::then_kind << 3 << -1 << false;
    }
    void searchCategories()
    {
        QFETCH(int, category);
        QFETCH(int, field);
        QFETCH(int, value);
        QFETCH(int, kind);
        QFETCH(bool, hit);
        // Step 50 is the candidate; the "const" row puts 4 (input 3's code) in cond_b.
        setFieldOf(50, field, value);
        if (field == alg::ops)
            setFieldOf(50, alg::cond_b, 4);
        if (kind >= 0)
            setFieldOf(50, alg::then_kind, kind);
        // Every step reads Input 1 in cond_a: search 3 so that the defaults never match.
        open();
        combo("Serch")->setCurrentIndex(category);
        retype(edit("Serch_N"), QStringLiteral("3"));
        click("Serch_GO");
        if (hit) {
            QCOMPARE(ed->currentStep(), 50);
            QVERIFY(ui->messages.isEmpty());
        } else {
            QCOMPARE(ui->texts(), QStringList{"Конец поиска"});
        }
    }

    void jumpSourceStrip()
    {
        setFieldOf(2, alg::then_next, 5);
        setFieldOf(5, alg::else_next, 5);
        setFieldOf(9, alg::then_next, 5);
        setFieldOf(9, alg::else_next, 5);
        setFieldOf(70, alg::else_next, 5);
        open();
        selectTab(5);
        auto strip = [&](int i) { return label(QStringLiteral("Goto_Step(%1)").arg(i)); };
        QCOMPARE(strip(31)->text(), QStringLiteral("6"));
        QCOMPARE(strip(30)->text(), QStringLiteral("6"));
        QCOMPARE(strip(29)->text(), QStringLiteral("3"));
        QCOMPARE(strip(32)->text(), QStringLiteral("10"));
        QCOMPARE(strip(33)->text(), QStringLiteral("71"));
        QCOMPARE(strip(30)->palette().color(QPalette::Window), QColor(255, 192, 192));
        for (int i = 0; i < 64; ++i)
            QCOMPARE(strip(i)->isVisible(), (i >= 29 && i <= 33));
        // Choosing a next step refreshes the strip.
        combo("Go_step_else")->setCurrentIndex(0);
        QCOMPARE(strip(30)->text(), QStringLiteral("3"));
        QVERIFY(!strip(29)->isVisible());
        QVERIFY(strip(33)->isVisible());
    }

    void jumpSourceStripOverflow()
    {
        for (int s = 0; s < 128; ++s)
            setFieldOf(s, alg::then_next, 127);
        open();
        for (int i = 0; i < 3; ++i)
            click("Command1");
        selectTab(31);
        QCOMPARE(label("Goto_Step(31)")->text(), QStringLiteral("128"));
        QCOMPARE(label("Goto_Step(30)")->text(), QStringLiteral("128"));
        QCOMPARE(label("Goto_Step(0)")->text(), QStringLiteral("98"));
        QVERIFY(!label("Goto_Step(32)")->isVisible());
        selectTab(0); // step 97: everything above jumps past it
        QVERIFY(!label("Goto_Step(30)")->isVisible());
    }

    void insertOnFourthPage()
    {
        setFieldOf(0, alg::then_next, 97);  // to step 98
        setFieldOf(0, alg::else_next, 96);  // to step 97 itself
        setFieldOf(96, alg::cond_a, 40);
        setFieldOf(97, alg::cond_a, 41);
        ws->alg.alg_comments[11 * 97] = QStringLiteral("old 98");
        open();
        for (int i = 0; i < 3; ++i)
            click("Command1");
        QCOMPARE(tabs()->tabText(0), QStringLiteral("97"));
        QVERIFY(find<QAction>("mnuInsertStep")->isEnabled());
        trigger("mnuInsertStep");
        QVERIFY(ed->isVisible());
        QCOMPARE(ed->page(), 3);
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Output 8"));
        selectTab(1); // the blank step 98
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Input 1"));
        QCOMPARE(combo("Go_Step_then")->currentText(), QStringLiteral("OUT"));
        QCOMPARE(edit("Text_Coment(0)")->text(), QStringLiteral("Text"));
        selectTab(2);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Output 9"));
        QCOMPARE(edit("Text_Coment(0)")->text(), QStringLiteral("old 98"));
        for (int i = 0; i < 3; ++i)
            click("Command2");
        QCOMPARE(combo("Go_Step_then")->currentText(), QStringLiteral("99"));
        QCOMPARE(combo("Go_step_else")->currentText(), QStringLiteral("97"));
    }

    void deleteRenumbers()
    {
        setFieldOf(0, alg::then_next, 10);
        setFieldOf(0, alg::else_next, 4);
        setFieldOf(5, alg::cond_a, 70);
        open();
        selectTab(4);
        trigger("mnuDeleleStep");
        QCOMPARE(tabs()->currentIndex(), 4);
        QCOMPARE(combo("Source_A")->currentText(), QStringLiteral("Flag_6"));
        selectTab(0);
        QCOMPARE(combo("Go_Step_then")->currentText(), QStringLiteral("10"));
        QCOMPARE(combo("Go_step_else")->currentText(), QStringLiteral("5"));
    }

    void noInsertAfterLastStep()
    {
        open();
        for (int i = 0; i < 3; ++i)
            click("Command1");
        selectTab(31);
        QVERIFY(!find<QAction>("mnuInsertStep")->isEnabled());
        trigger("mnuInsertStep");
        QCOMPARE(fieldOf(127, alg::cond_a), 1);
        selectTab(30);
        QVERIFY(find<QAction>("mnuInsertStep")->isEnabled());
    }

    void reloadGoesThroughReceiver()
    {
        open();
        QSignalSpy reload(ed.get(), &StepEditor::reloadRequested);
        QSignalSpy closed(ed.get(), &StepEditor::closed);
        selectTab(3);
        trigger("mnuInsertStep");
        QCOMPARE(reload.count(), 1);
        QCOMPARE(reload.first().first().toInt(), kBlock);
        QVERIFY(!ed->isVisible());
        QCOMPARE(closed.count(), 0);
        ed->openFor(kBlock);
        QVERIFY(ed->isVisible());
        QCOMPARE(tabs()->currentIndex(), 3);
    }

    void closingKeepsCommentsOnlyByOk_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("Ок") << "Ok_ALGORITM" << true;
        QTest::newRow("Отмена") << "Cancel_ALGORITM" << false;
        QTest::newRow("close box") << "" << false;
        QTest::newRow("Esc") << "Esc" << false;
    }
    void closingKeepsCommentsOnlyByOk()
    {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        open();
        click("Command1");
        selectTab(2);
        retype(edit("Text_Coment(7)"), QStringLiteral("else note"));
        selectTab(3);
        selectTab(2);
        QCOMPARE(edit("Text_Coment(7)")->text(), QStringLiteral("else note"));
        combo("Source_A")->setCurrentIndex(9); // fields are written at once either way
        QSignalSpy closed(ed.get(), &StepEditor::closed);
        if (how.isEmpty()) {
            ed->close();
        } else if (how == QLatin1String("Esc")) {
            ed->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(ed.get()));
            QTest::keyClick(edit("Text_Coment(7)"), Qt::Key_Escape);
        } else {
            click(how);
        }
        QVERIFY(!ed->isVisible());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(ws->alg.alg_comments[11 * 34 + 7], kept ? QStringLiteral("else note") : QStringLiteral("Text"));
        QCOMPARE(fieldOf(34, alg::cond_a), 9);
        open();
        QCOMPARE(closed.count(), 1);
        selectTab(2);
        QCOMPARE(edit("Text_Coment(7)")->text(), kept ? QStringLiteral("else note") : QStringLiteral("Text"));
    }

    void pagingDropsCommentEdits()
    {
        open();
        retype(edit("Text_Coment(0)"), QStringLiteral("typed"));
        click("Command1");
        click("Command2");
        QCOMPARE(edit("Text_Coment(0)")->text(), QStringLiteral("Text"));
        click("Ok_ALGORITM");
        QCOMPARE(ws->alg.alg_comments[0], QStringLiteral("Text"));
    }
};

QTEST_MAIN(TestStepEditor)
#include "test_step_editor.moc"
