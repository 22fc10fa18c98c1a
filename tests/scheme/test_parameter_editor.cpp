// The block parameter window driven like a user: choices in the row lists,
// typing into the row text boxes, the buttons; asserts on the stores.
#include "scheme/ui/block_parameter_editor.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

// Bases by the import's allocation rule: ascending block numbers, no gaps.
void allocate(Workspace& ws)
{
    int p = 0, t = 0;
    for (int n = 1; n <= 99; ++n) {
        const int type = ws.blocks.block_type[n];
        ws.blocks.param_base[n] = int16_t(type ? p : 0);
        ws.blocks.text_base[n] = int16_t(type ? t : 0);
        if (type) {
            p += ws.catalog.paramCount(type);
            t += ws.catalog.textCount(type);
        }
    }
}

// Every parameter and text gets a value of its own, so any stray write shows.
void fillStores(Workspace& ws)
{
    for (int i = 0; i < BlockTable::kParams; ++i)
        ws.blocks.ParamStore[i] = float(1000 + i);
    for (int i = 0; i < BlockTable::kTexts; ++i)
        ws.blocks.TextStore[i] = QStringLiteral("s%1").arg(i);
}

void choose(QComboBox* c, int index)
{
    QVERIFY(c);
    c->setCurrentIndex(index);
    emit c->activated(index);
}

void typeInto(QLineEdit* e, const QString& text)
{
    QVERIFY(e);
    e->selectAll();
    QTest::keyClicks(e, text);
}

} // namespace

class TestParameterEditor : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<BlockParameterEditor> editor;

    // Block 2 of the given type between two neighbours (blocks 1 and 3).
    void setUpBlock(int type, int block = 2)
    {
        ws->blocks.block_type[block - 1] = 9;
        ws->blocks.block_type[block] = int16_t(type);
        ws->blocks.block_type[block + 1] = 9;
        allocate(*ws);
        fillStores(*ws);
    }
    // The block's own parameters at 0, so every list row has a valid index.
    void zeroParams(int block = 2)
    {
        for (int k = 0; k < ws->catalog.paramCount(ws->blocks.block_type[block]); ++k)
            ws->blocks.param(block, k) = 0;
    }
    float& p(int k, int block = 2) { return ws->blocks.param(block, k); }
    QString& t(int k, int block = 2) { return ws->blocks.text(block, k); }
    QComboBox* combo(int r) { return editor->findChild<QComboBox*>(QStringLiteral("Value_Combo_%1").arg(r)); }
    QLineEdit* text(int r) { return editor->findChild<QLineEdit*>(QStringLiteral("Value_Text_%1").arg(r)); }
    QLabel* caption(int r) { return editor->findChild<QLabel*>(QStringLiteral("Set_ParametrLabel_%1").arg(r)); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        editor = std::make_unique<BlockParameterEditor>(ws->blocks, ws->catalog, *ui);
    }
    void cleanup()
    {
        editor.reset();
        ui.reset();
        ws.reset();
        QLocale::setDefault(QLocale::c());
    }

    void opensWithCurrentBlockAndLimits()
    {
        setUpBlock(26, 7);
        p(0, 7) = 0;
        editor->openFor(7);
        QCOMPARE(editor->objectName(), QStringLiteral("PropertyBLOCK"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Установка параметров"));
        QVERIFY(editor->isVisible());
        QCOMPARE(int(ws->blocks.cur_block), 7);
        QCOMPARE(int(ws->blocks.cur_block_type), 26);
        QCOMPARE(text(1)->maxLength(), 17);
        QCOMPARE(editor->findChild<QLabel*>(QStringLiteral("Block_Number"))->text(), QStringLiteral("07"));
        QVERIFY(editor->findChild<QLabel*>(QStringLiteral("Bl_Image"))->pixmap().width() > 0);
        QVERIFY(ui->messages.isEmpty());

        ws->blocks.block_type[99] = 42;
        allocate(*ws);
        editor->openFor(99);
        QCOMPARE(text(1)->maxLength(), 40);
        QCOMPARE(editor->findChild<QLabel*>(QStringLiteral("Block_Number"))->text(), QStringLiteral("99"));
        // Only row 1 is limited.
        QCOMPARE(text(4)->maxLength(), 32767);
    }

    void rowKindsAndBackgrounds()
    {
        setUpBlock(25); // S_P: names and numbers alternate
        editor->openFor(2);
        QVERIFY(text(0)->isVisible() && !combo(0)->isVisible());
        QCOMPARE(text(0)->palette().color(QPalette::Base), QColor(192, 255, 255));
        QCOMPARE(text(1)->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(caption(16)->text(), QStringLiteral("Имя блока"));
        QCOMPARE(text(0)->text(), t(0));
        QCOMPARE(text(1)->text().toFloat(), p(0));
    }

    void sumSubtypeRecaptions()
    {
        setUpBlock(10);
        p(9) = 0;
        editor->openFor(2);
        QCOMPARE(caption(3)->text(), QStringLiteral("k*вход 1"));
        choose(combo(9), 2); // "8 SUM"
        QCOMPARE(p(9), 2.0f);
        QCOMPARE(caption(0)->text(), QStringLiteral("Смещение"));
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(caption(r)->text(), QStringLiteral("k*вход %1").arg(r));
        choose(combo(9), 1);
        QCOMPARE(caption(3)->text(), QStringLiteral("Смещение 2"));
        QCOMPARE(caption(9)->text(), QStringLiteral("Тип"));
    }

    void analogInputChannelSwitch()
    {
        setUpBlock(1);
        zeroParams();
        p(5) = 1005;
        p(3) = 4;     // input 3 type "100М"
        p(7) = 12.5f; // input 3 scale min
        editor->openFor(2);
        QCOMPARE(combo(1)->currentIndex(), 0);
        choose(combo(1), 2); // input 3
        QCOMPARE(combo(2)->currentIndex(), 4);
        QCOMPARE(text(3)->text(), QStringLiteral("12.5"));
        const float before = p(8);
        typeInto(text(3), QStringLiteral("25"));
        QCOMPARE(p(7), 25.0f);
        QCOMPARE(p(8), before);
        // Back to input 1: its rows show again, the window stored nothing.
        choose(combo(1), 0);
        QCOMPARE(text(3)->text(), QStringLiteral("1005"));
        QCOMPARE(p(5), 1005.0f);
        QVERIFY(ui->messages.isEmpty());
    }

    void pidRowsToParameters_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("param");
        QTest::addColumn<QString>("caption");
        const int params[11] = {4, 11, 1, 2, 3, 12, 13, 14, 7, 16, 17};
        const char* captions[11] = {"МАХ", "MIN", "КП 1", "ТИ 1", "ТД 1", "Масштаб", "Слежение",
                                    "Предварение", "Балансировка", "Выход PID MIN", "Выход PID MAX"};
        for (int r = 1; r <= 11; ++r)
            QTest::addRow("row %d", r) << r << params[r - 1] << QString::fromUtf8(captions[r - 1]);
    }
    void pidRowsToParameters()
    {
        QFETCH(int, row);
        QFETCH(int, param);
        QFETCH(QString, caption);
        setUpBlock(26);
        p(0) = 0;
        const auto before = ws->blocks.ParamStore;
        editor->openFor(2);
        QCOMPARE(this->caption(row)->text(), caption);
        typeInto(text(row), QStringLiteral("-3.5"));
        auto expected = before;
        expected[ws->blocks.param_base[2] + param] = -3.5f;
        QVERIFY(ws->blocks.ParamStore == expected);
    }

    void pidSubtypeRecaptions()
    {
        setUpBlock(26);
        p(0) = 4;
        editor->openFor(2);
        QCOMPARE(caption(1)->text(), QStringLiteral("Задание 1"));
        QCOMPARE(caption(9)->text(), QStringLiteral("-------- "));
        choose(combo(0), 1);
        QCOMPARE(p(0), 1.0f);
        QCOMPARE(caption(1)->text(), QStringLiteral("Период"));
    }

    void panelSetpoints_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("param");
        QTest::newRow("type 5, row 6") << 5 << 6 << 2;
        QTest::newRow("type 5, row 9") << 5 << 9 << 8;
        QTest::newRow("type 0, row 6") << 0 << 6 << 3;
        QTest::newRow("type 4, row 9") << 4 << 9 << 9;
    }
    void panelSetpoints()
    {
        QFETCH(int, panel);
        QFETCH(int, row);
        QFETCH(int, param);
        setUpBlock(29);
        p(0) = float(panel);
        editor->openFor(2);
        QCOMPARE(text(row)->text().toFloat(), p(param));
        typeInto(text(row), QStringLiteral("42"));
        QCOMPARE(p(param), 42.0f);
    }

    void panelTypeChangeMovesSetpoints()
    {
        setUpBlock(29);
        p(0) = 0;
        editor->openFor(2);
        choose(combo(0), 5);
        QCOMPARE(p(0), 5.0f);
        // Row 6 now shows and edits p2.
        QCOMPARE(text(6)->text(), formatUserNumber(p(2)));
        typeInto(text(6), QStringLiteral("8"));
        QCOMPARE(p(2), 8.0f);
        QCOMPARE(p(3), float(1003 + ws->blocks.param_base[2]));
    }

    void typedNumbers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<float>("value");
        QTest::newRow("not a number") << "C" << "abc" << false << 0.0f;
        QTest::newRow("empty") << "C" << "" << false << 0.0f;
        QTest::newRow("point") << "C" << "2.5" << true << 2.5f;
        QTest::newRow("comma in C") << "C" << "2,5" << true << 2.5f;
        QTest::newRow("exponent") << "C" << "1e3" << true << 1000.0f;
        QTest::newRow("beyond a float") << "C" << "1e40" << false << 0.0f;
        QTest::newRow("infinity") << "C" << "inf" << false << 0.0f;
        QTest::newRow("comma in ru") << "ru_RU" << "-0,25" << true << -0.25f;
        QTest::newRow("point in ru") << "ru_RU" << "-0.25" << true << -0.25f;
        QTest::newRow("two commas") << "ru_RU" << "1,2,3" << false << 0.0f;
    }
    void typedNumbers()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(bool, stored);
        QFETCH(float, value);
        QLocale::setDefault(QLocale(locale));
        setUpBlock(9);
        editor->openFor(2);
        typeInto(text(1), QStringLiteral("7"));
        QCOMPARE(p(1), 7.0f);
        // Pasted at once: typing key by key would store the valid prefixes.
        text(1)->setText(typed);
        emit text(1)->textEdited(typed);
        QCOMPARE(p(1), stored ? value : 7.0f);
        QVERIFY(ui->messages.isEmpty());
    }

    void numbersShownInLocale()
    {
        QLocale::setDefault(QLocale(QStringLiteral("ru_RU")));
        setUpBlock(9);
        p(0) = 0.5f;
        p(1) = 1234567.0f;
        editor->openFor(2);
        QCOMPARE(text(0)->text(), QStringLiteral("0,5"));
        QCOMPARE(text(1)->text(), QStringLiteral("1234567"));
    }

    void closingKeepsEdits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Ok") << "Ok_Property";
        QTest::newRow("Отмена") << "Cancel_Property";
        QTest::newRow("close box") << "";
        QTest::newRow("Esc") << "Esc";
    }
    void closingKeepsEdits()
    {
        QFETCH(QString, how);
        setUpBlock(35);
        editor->openFor(2);
        QSignalSpy closed(editor.get(), &BlockParameterEditor::closed);
        typeInto(text(4), QStringLiteral("3"));
        if (how.isEmpty()) {
            editor->close();
        } else if (how == QLatin1String("Esc")) {
            editor->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(editor.get()));
            QTest::keyClick(text(4), Qt::Key_Escape);
        } else {
            QTest::mouseClick(editor->findChild<QPushButton*>(how), Qt::LeftButton);
        }
        QCOMPARE(closed.count(), 1);
        QVERIFY(!editor->isVisible());
        QCOMPARE(p(4), 3.0f);
    }

    void codeBlockRemembersStep()
    {
        setUpBlock(31);
        p(0) = 0;
        editor->openFor(2);
        QCOMPARE(combo(0)->currentIndex(), 0);
        QCOMPARE(combo(0)->itemText(4), QStringLiteral("Шаг 5"));
        choose(combo(0), 4);
        QCOMPARE(text(1)->text(), formatUserNumber(p(8)));
        QCOMPARE(text(2)->text(), formatUserNumber(p(40)));
        QCOMPARE(text(3)->text(), formatUserNumber(p(72)));
        typeInto(text(2), QStringLiteral("9"));
        QCOMPARE(p(40), 9.0f);
        editor->close();

        // The step is not stored, but the next opening starts at it.
        setUpBlock(31);
        p(0) = 0;
        editor->openFor(2);
        QCOMPARE(combo(0)->currentIndex(), 4);
        QCOMPARE(text(1)->text(), formatUserNumber(p(8)));
        QCOMPARE(editor->codStep(), 4);
    }

    void journalEventResetsOnOpening()
    {
        ws->blocks.block_type[99] = 42;
        allocate(*ws);
        fillStores(*ws);
        zeroParams(99);
        p(13, 99) = 99;
        editor->openFor(99);
        QVERIFY(ui->messages.isEmpty());
        choose(combo(0), 3);
        QCOMPARE(combo(2)->currentIndex(), -1); // p13 = 99 is no event type
        editor->close();
        editor->openFor(99);
        QCOMPARE(combo(0)->currentIndex(), 0);
        QCOMPARE(text(1)->text(), t(1, 99)); // event 1's name: text 1
    }

    void programStepAndGraphChannelAreStored()
    {
        setUpBlock(28);
        for (int c = 0; c < 32; ++c)
            p(100 + c) = 0;
        p(0) = 9;
        p(136) = 2;
        editor->openFor(2);
        QCOMPARE(combo(0)->currentIndex(), 9);
        QCOMPARE(text(1)->text(), formatUserNumber(p(4 + 9)));
        choose(combo(0), 31);
        QCOMPARE(p(0), 31.0f);
        QCOMPARE(text(3)->text(), formatUserNumber(p(68 + 31)));

        ws->blocks.block_type[98] = 41;
        allocate(*ws);
        fillStores(*ws);
        ws->blocks.param(98, 33) = 5;
        editor->openFor(98);
        QCOMPARE(combo(0)->currentIndex(), 5);
        QCOMPARE(text(5)->text(), t(6, 98));
        choose(combo(0), 31);
        QCOMPARE(ws->blocks.param(98, 33), 31.0f);
        QCOMPARE(text(4)->text(), formatUserNumber(ws->blocks.param(98, 98)));
    }

    void typesWithoutRows_data()
    {
        QTest::addColumn<int>("type");
        for (int type : {6, 13, 19, 20, 47, 49, 50})
            QTest::addRow("type %d", type) << type;
    }
    void typesWithoutRows()
    {
        QFETCH(int, type);
        setUpBlock(type);
        editor->openFor(2);
        for (int r = 0; r < ParameterRows::kRows; ++r) {
            QVERIFY(!caption(r)->isVisible());
            QVERIFY(!combo(r)->isVisible());
            QVERIFY(!text(r)->isVisible());
        }
        const auto* ok = editor->findChild<QPushButton*>(QStringLiteral("Ok_Property"));
        QVERIFY(ok->isVisible());
        QVERIFY(ok->geometry().bottom() < editor->height());
        QVERIFY(editor->height() < 100);
        QVERIFY(ui->messages.isEmpty());
    }

    void heightFollowsRows()
    {
        setUpBlock(48); // 16 rows
        editor->openFor(2);
        const int tall = editor->height();
        setUpBlock(33); // 1 row
        p(0) = 0;
        editor->openFor(2);
        QCOMPARE(tall - editor->height(), 15 * 22);
        const auto* ok = editor->findChild<QPushButton*>(QStringLiteral("Ok_Property"));
        QVERIFY(ok->geometry().top() > combo(0)->geometry().bottom());
    }

    void storedIndexBeyondList_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("param");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("row");
        QTest::newRow("MUX type 5") << 27 << 0 << 5.0f << 0;
        QTest::newRow("PID type 7") << 26 << 0 << 7.0f << 0;
        QTest::newRow("negative") << 17 << 0 << -1.0f << 0;
        QTest::newRow("not a number") << 21 << 0 << std::numeric_limits<float>::quiet_NaN() << 0;
        QTest::newRow("A_I input type 15") << 1 << 1 << 15.0f << 2;
        QTest::newRow("program step 32") << 28 << 0 << 32.0f << 0;
    }
    void storedIndexBeyondList()
    {
        QFETCH(int, type);
        QFETCH(int, param);
        QFETCH(float, value);
        QFETCH(int, row);
        setUpBlock(type);
        zeroParams();
        p(param) = value;
        const auto before = ws->blocks.ParamStore;
        editor->openFor(2);
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка параметра!!!")});
        QCOMPARE(ui->messages[0].icon, MessageIcon::Error);
        QVERIFY(editor->isVisible());
        QCOMPARE(combo(row)->currentIndex(), -1);
        // Loading stopped there: later rows stay empty, and nothing was written.
        if (text(row + 1)->isVisible())
            QVERIFY(text(row + 1)->text().isEmpty());
        QVERIFY(std::memcmp(before.data(), ws->blocks.ParamStore.data(), sizeof(float) * before.size()) == 0);
        // The list still takes a valid choice.
        choose(combo(row), 1);
        QCOMPARE(p(param), 1.0f);
    }

    void rs485TypeAndSpeedAreNotStored()
    {
        setUpBlock(5);
        p(0) = 0;
        p(1) = 2;
        p(2) = 4;
        editor->openFor(2);
        QCOMPARE(combo(1)->currentIndex(), 2);
        QCOMPARE(combo(2)->currentText(), QStringLiteral("115200"));
        choose(combo(1), 0);
        choose(combo(2), 0);
        QCOMPARE(p(1), 2.0f);
        QCOMPARE(p(2), 4.0f);
        choose(combo(0), 127);
        QCOMPARE(p(0), 127.0f);
    }

    // Rows whose raw address lies outside the block are shown disabled and
    // never write; neighbours keep every parameter and text.
    void noWriteOutsideBlock_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("block");
        QTest::addColumn<QList<int>>("selectors"); // row, index pairs chosen first
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("enabled");
        for (int c = 0; c < 4; ++c)
            QTest::addRow("A_O value, output %d", c + 1) << 2 << 2 << QList<int>{1, c} << 3 << false;
        QTest::newRow("SCADA button, page 1") << 43 << 97 << QList<int>{} << 2 << false;
        QTest::newRow("SCADA button, page 8 button 24") << 43 << 97 << QList<int>{0, 7, 1, 23} << 2 << false;
        QTest::newRow("journal event 32, Y") << 42 << 99 << QList<int>{0, 31} << 4 << false;
        QTest::newRow("journal event 32, name") << 42 << 99 << QList<int>{0, 31} << 1 << true;
        QTest::newRow("journal event 31, Y") << 42 << 99 << QList<int>{0, 30} << 4 << true;
        QTest::newRow("logic channel 3, delay") << 44 << 2 << QList<int>{0, 2} << 3 << true;
    }
    void noWriteOutsideBlock()
    {
        QFETCH(int, type);
        QFETCH(int, block);
        QFETCH(QList<int>, selectors);
        QFETCH(int, row);
        QFETCH(bool, enabled);
        ws->blocks.block_type[1] = 9;
        ws->blocks.block_type[96] = 9;
        ws->blocks.block_type[97] = 43;
        ws->blocks.block_type[98] = 41;
        ws->blocks.block_type[99] = 42;
        if (block < 97) {
            ws->blocks.block_type[block] = int16_t(type);
            ws->blocks.block_type[block + 1] = 9;
        }
        allocate(*ws);
        fillStores(*ws);
        zeroParams(block);
        const auto params = ws->blocks.ParamStore;
        const auto texts = ws->blocks.TextStore;

        editor->openFor(block);
        QVERIFY(ui->messages.isEmpty());
        for (int i = 0; i + 1 < selectors.size(); i += 2)
            choose(combo(selectors[i]), selectors[i + 1]);
        QLineEdit* box = text(row);
        QCOMPARE(box->isEnabled(), enabled);
        if (enabled)
            typeInto(box, QStringLiteral("77"));
        else
            QVERIFY(box->text().isEmpty());
        // Whatever was typed, only the block's own slots may have changed.
        const int p0 = ws->blocks.param_base[block], pn = p0 + ws->catalog.paramCount(type);
        const int t0 = ws->blocks.text_base[block], tn = t0 + ws->catalog.textCount(type);
        for (int i = 0; i < BlockTable::kParams; ++i)
            if (i < p0 || i >= pn)
                QCOMPARE(ws->blocks.ParamStore[i], params[i]);
        for (int i = 0; i < BlockTable::kTexts; ++i)
            if (i < t0 || i >= tn)
                QCOMPARE(ws->blocks.TextStore[i], texts[i]);
        if (enabled)
            QVERIFY(ws->blocks.ParamStore != params || ws->blocks.TextStore != texts);
    }

    void logicBlockOffersThreeChannels()
    {
        setUpBlock(44);
        zeroParams();
        editor->openFor(2);
        QCOMPARE(combo(0)->count(), 3);
        choose(combo(0), 2);
        typeInto(text(3), QStringLiteral("5"));
        QCOMPARE(p(8), 5.0f);
    }

    void journalNamesFollowTheImport()
    {
        ws->blocks.block_type[99] = 42;
        allocate(*ws);
        fillStores(*ws);
        zeroParams(99);
        editor->openFor(99);
        choose(combo(0), 31);
        QCOMPARE(text(1)->text(), t(32, 99));
        typeInto(text(1), QStringLiteral("Pump fault"));
        QCOMPARE(t(32, 99), QStringLiteral("Pump fault"));
        QCOMPARE(t(0, 99), QStringLiteral("s%1").arg(ws->blocks.text_base[99]));
    }

    void fillingStoresNothing()
    {
        setUpBlock(1);
        zeroParams();
        p(1) = 2;
        p(5) = 0.1f;
        const auto before = ws->blocks.ParamStore;
        editor->openFor(2);
        for (int c = 0; c < 4; ++c)
            choose(combo(1), c);
        // A key press that changes nothing does not store the shown text.
        QTest::keyClick(text(3), Qt::Key_Left);
        choose(combo(1), 0);
        QVERIFY(std::memcmp(before.data(), ws->blocks.ParamStore.data(), sizeof(float) * before.size()) == 0);
    }

    void hostileBasesAreRefused()
    {
        setUpBlock(9);
        ws->blocks.param_base[2] = 9999; // the block's last two parameters lie past the store
        editor->openFor(2);
        QVERIFY(text(0)->isEnabled());
        QVERIFY(!text(2)->isEnabled());
        typeInto(text(2), QStringLiteral("1"));
        ws->blocks.param_base[2] = -3;
        editor->openFor(2);
        QVERIFY(!text(0)->isEnabled());
        QVERIFY(text(3)->isEnabled());
        editor->openFor(101);
        editor->openFor(-1);
        QVERIFY(ui->messages.isEmpty());
    }
};

QTEST_MAIN(TestParameterEditor)
#include "test_parameter_editor.moc"
