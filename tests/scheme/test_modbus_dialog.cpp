// The MODBUS channel window of an RS485 block: opening from the parameter
// window, loading the 48 slots, the channel rules, and what "Ok" stores.
#include "scheme/ui/block_parameter_editor.h"
#include "scheme/modbus_channels.h"
#include "scheme/ui/modbus_dialog.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

void choose(QComboBox* c, int index)
{
    QVERIFY(c);
    c->setCurrentIndex(index);
    emit c->activated(index);
}

} // namespace

class TestModbusDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<BlockParameterEditor> editor;
    ModbusDialog* dialog = nullptr;
    static constexpr int kBlock = 4;

    QString& slot(int k) { return ws->blocks.text(kBlock, k); }
    template <typename T> T* child(const QString& name) { return dialog->findChild<T*>(name); }
    QCheckBox* enable(int j) { return child<QCheckBox>(QStringLiteral("Enable_Box_%1").arg(j)); }
    QComboBox* function(int j) { return child<QComboBox>(QStringLiteral("Num_FUNC_%1").arg(j)); }
    QComboBox* dataType(int j) { return child<QComboBox>(QStringLiteral("Type_data_%1").arg(j)); }
    QLineEdit* address(int j) { return child<QLineEdit>(QStringLiteral("ADR_MODBUS_%1").arg(j)); }
    QLabel* direction(int j) { return child<QLabel>(QStringLiteral("Label_I_O_%1").arg(j)); }
    QCheckBox* io(int j, int b) { return child<QCheckBox>(QStringLiteral("in_out_%1").arg(8 * j + b)); }

    // RS485 block 4 between blocks 3 and 5, all 48 slots "0", MODBUS mode.
    void setUpBlock(float deviceType = 2)
    {
        auto& b = ws->blocks;
        b.block_type[3] = 25;
        b.block_type[kBlock] = 5;
        b.block_type[5] = 25;
        b.param_base[3] = 0;
        b.text_base[3] = 0;
        b.param_base[kBlock] = 8;
        b.text_base[kBlock] = 9;
        b.param_base[5] = 11;
        b.text_base[5] = 57;
        for (int i = 0; i < 70; ++i)
            b.TextStore[i] = QStringLiteral("n%1").arg(i);
        for (int k = 0; k < kModbusSlots; ++k)
            slot(k) = QStringLiteral("0");
        b.param(kBlock, 0) = 6;
        b.param(kBlock, 1) = deviceType;
        b.param(kBlock, 2) = 1;
    }

    // Opens the parameter window and clicks the block picture.
    void open()
    {
        editor->openFor(kBlock);
        QTest::mouseClick(editor->findChild<QLabel*>(QStringLiteral("Bl_Image")), Qt::LeftButton);
        dialog = editor->modbusDialog();
    }
    void ok() { QTest::mouseClick(child<QPushButton>(QStringLiteral("Ok_Go_Block")), Qt::LeftButton); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        editor = std::make_unique<BlockParameterEditor>(ws->blocks, ws->catalog, *ui);
        dialog = nullptr;
    }
    void cleanup()
    {
        editor.reset();
        ui.reset();
        ws.reset();
    }

    void opensOnlyInModbusMode_data()
    {
        QTest::addColumn<float>("deviceType");
        QTest::addColumn<bool>("opens");
        QTest::newRow("CONTROL") << 0.0f << false;
        QTest::newRow("Ubrix-01") << 1.0f << false;
        QTest::newRow("MODBUS") << 2.0f << true;
    }
    void opensOnlyInModbusMode()
    {
        QFETCH(float, deviceType);
        QFETCH(bool, opens);
        setUpBlock(deviceType);
        open();
        QCOMPARE(dialog != nullptr && dialog->isVisible(), opens);
        QCOMPARE(editor->isEnabled(), !opens);
        QVERIFY(ui->messages.isEmpty());
        if (!opens)
            return;
        QCOMPARE(dialog->objectName(), QStringLiteral("Com_Terminal"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("MODBUS RTU Блок №4"));
        QCOMPARE(child<QLabel>(QStringLiteral("Label_Network"))->text(), QStringLiteral("№ в сети 7"));
        QCOMPARE(child<QLabel>(QStringLiteral("Label_Speed"))->text(), QStringLiteral("Скорость 19200"));
        QVERIFY(enable(0)->isEnabled()); // the editor's disabling does not reach the dialog
        QSignalSpy closed(dialog, &ModbusDialog::closed);
        QTest::mouseClick(child<QPushButton>(QStringLiteral("Cancel_Go_Block")), Qt::LeftButton);
        QCOMPARE(closed.count(), 1);
        QVERIFY(editor->isEnabled());
    }

    void loadsThroughTheReactions()
    {
        setUpBlock();
        slot(0) = "1";      // channel 0 enabled
        slot(8) = "6";      // function 15
        slot(16) = "4";     // IEEE float32
        slot(24) = "-129";  // boxes 0 and 7 (sign ignored)
        slot(32) = "3";
        slot(33) = "232";
        slot(1) = "";       // channel 1: never written slots load as 0
        slot(9) = "";
        open();
        QVERIFY(ui->messages.isEmpty());
        QVERIFY(enable(0)->isChecked());
        QCOMPARE(function(0)->currentText(), QStringLiteral("15"));
        QCOMPARE(dataType(0)->currentText(), QStringLiteral("IEEE float32"));
        QCOMPARE(direction(0)->text(), QStringLiteral("Вход"));
        QVERIFY(io(0, 0)->isChecked() && io(0, 7)->isChecked() && !io(0, 1)->isChecked());
        QCOMPARE(address(0)->text(), QStringLiteral("1000"));
        // A disabled channel's controls are disabled.
        QVERIFY(!enable(1)->isChecked());
        QVERIFY(!function(1)->isEnabled() && !dataType(1)->isEnabled() && !io(1, 0)->isEnabled());
        QCOMPARE(direction(1)->text(), QStringLiteral("Выход"));
    }

    void storesOnOkOnly()
    {
        setUpBlock();
        open();
        enable(2)->click();
        choose(function(2), 7);
        choose(dataType(2), 5);
        io(2, 1)->click();
        io(2, 4)->click();
        address(2)->selectAll();
        QTest::keyClicks(address(2), "513");
        QCOMPARE(slot(2), QStringLiteral("0")); // nothing stored yet
        QSignalSpy closed(dialog, &ModbusDialog::closed);
        ok();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        QVERIFY(editor->isEnabled());
        const QStringList expected{"1", "7", "5", "18", "2", "1"};
        const QStringList got{slot(2), slot(10), slot(18), slot(26), slot(36), slot(37)};
        QCOMPARE(got, expected);
        // The neighbours' texts are untouched.
        QCOMPARE(ws->blocks.TextStore[8], QStringLiteral("n8"));
        QCOMPARE(ws->blocks.TextStore[57], QStringLiteral("n57"));
    }

    void cancelAndCloseBoxDiscard_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("escape");
        QTest::newRow("Отмена") << false << false;
        QTest::newRow("close box") << true << false;
        QTest::newRow("Esc") << false << true;
    }
    void cancelAndCloseBoxDiscard()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, escape);
        setUpBlock();
        open();
        enable(0)->click();
        io(0, 3)->click();
        address(0)->setText("77");
        emit address(0)->textEdited("77");
        if (escape) {
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            QTest::keyClick(address(0), Qt::Key_Escape);
        } else if (closeBox) {
            dialog->close();
        } else {
            QTest::mouseClick(child<QPushButton>(QStringLiteral("Cancel_Go_Block")), Qt::LeftButton);
        }
        QVERIFY(!dialog->isVisible());
        for (int k = 0; k < kModbusSlots; ++k)
            QCOMPARE(slot(k), QStringLiteral("0"));
        QVERIFY(editor->isEnabled());
    }

    void addressRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("low");
        QTest::newRow("1000") << "1000" << true << "3" << "232";
        QTest::newRow("0") << "0" << true << "0" << "0";
        QTest::newRow("65535") << "65535" << true << "255" << "255";
        QTest::newRow("255.4 rounds") << "255.4" << true << "0" << "255";
        QTest::newRow("65536") << "65536" << false << "" << "";
        QTest::newRow("-1") << "-1" << false << "" << "";
        QTest::newRow("65535.6 rounds past the top") << "65535.6" << false << "" << "";
        QTest::newRow("not a number") << "abc" << false << "" << "";
        QTest::newRow("empty") << "" << false << "" << "";
    }
    void addressRange()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, high);
        QFETCH(QString, low);
        setUpBlock();
        slot(38) = "1"; // channel 3's old address 300
        slot(39) = "44";
        open();
        enable(3)->click();
        address(3)->setText(typed);
        emit address(3)->textEdited(typed);
        ok();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(slot(3), QStringLiteral("1")); // the rest of the channel is stored
        if (accepted) {
            QVERIFY(ui->messages.isEmpty());
            QCOMPARE(slot(38), high);
            QCOMPARE(slot(39), low);
            open();
            QCOMPARE(address(3)->text(), QString::number(high.toInt() * 256 + low.toInt()));
        } else {
            QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка адреса!!!")});
            QCOMPARE(slot(38), QStringLiteral("1"));
            QCOMPARE(slot(39), QStringLiteral("44"));
        }
    }

    void oneMessagePerBadAddress()
    {
        setUpBlock();
        open();
        for (int j : {1, 5}) {
            address(j)->setText("70000");
            emit address(j)->textEdited("70000");
        }
        ok();
        QCOMPARE(ui->texts(), QStringList(2, QStringLiteral("Ошибка адреса!!!")));
    }

    void readingChannelsExcludeEachOther()
    {
        setUpBlock();
        for (int j : {0, 1, 4}) {
            slot(j) = "1";
        }
        slot(8 + 4) = "5"; // channel 4 writes (function 6)
        open();
        io(0, 2)->click();
        QVERIFY(io(0, 2)->isChecked() && io(0, 2)->isEnabled());
        QVERIFY(!io(1, 2)->isEnabled()); // another reading channel
        QVERIFY(io(1, 3)->isEnabled());
        QVERIFY(io(4, 2)->isEnabled());  // a writing channel may still take it
        io(4, 2)->click();
        QVERIFY(io(4, 2)->isChecked());
        // Switching channel 1 to a writing function: input 2 is taken there now.
        choose(function(1), 6);
        QCOMPARE(direction(1)->text(), QStringLiteral("Вход"));
        QVERIFY(!io(1, 2)->isEnabled());
        choose(function(1), 0);
        io(0, 2)->click(); // cleared: free again
        QVERIFY(io(1, 2)->isEnabled());
        // A disabled channel's boxes stay disabled whatever the others do.
        QVERIFY(!io(2, 2)->isEnabled());
    }

    void clearingEnableClearsBoxes()
    {
        setUpBlock();
        slot(0) = "1";
        slot(24) = "255";
        slot(1) = "1";
        open();
        for (int b = 0; b < 8; ++b) {
            QVERIFY(io(0, b)->isChecked());
            QVERIFY(!io(1, b)->isEnabled());
        }
        enable(0)->click();
        for (int b = 0; b < 8; ++b) {
            QVERIFY(!io(0, b)->isChecked());
            QVERIFY(!io(0, b)->isEnabled());
            QVERIFY(io(1, b)->isEnabled());
        }
        QVERIFY(!function(0)->isEnabled());
        ok();
        QCOMPARE(slot(0), QStringLiteral("0"));
        QCOMPARE(slot(24), QStringLiteral("0"));
    }

    void directionLabels_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("label");
        const char* codes[8] = {"1", "2", "3", "4", "5", "6", "15", "16"};
        for (int i = 0; i < 8; ++i)
            QTest::addRow("index %d, code %s", i, codes[i]) << i << (i > 3 ? "Вход" : "Выход");
    }
    void directionLabels()
    {
        QFETCH(int, index);
        QFETCH(QString, label);
        setUpBlock();
        slot(8 + 6) = QString::number(index);
        open();
        QCOMPARE(direction(6)->text(), label);
        choose(function(5), index);
        QCOMPARE(direction(5)->text(), label);
    }

    void badSlotStopsLoading_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("value");
        QTest::newRow("function not a number") << 8 + 2 << "x";
        QTest::newRow("function 8") << 8 + 2 << "8";
        QTest::newRow("data type 6") << 16 + 2 << "6";
        QTest::newRow("enable 2") << 2 << "2";
        QTest::newRow("address byte text") << 32 + 4 << "1a";
    }
    void badSlotStopsLoading()
    {
        QFETCH(int, slot);
        QFETCH(QString, value);
        setUpBlock();
        for (int j = 0; j < 8; ++j) {
            this->slot(j) = "1";
            this->slot(32 + 2 * j) = "1";
        }
        this->slot(slot) = value;
        open();
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка RS485 !!!")});
        QVERIFY(dialog->isVisible());
        QCOMPARE(address(1)->text(), QStringLiteral("256")); // channels before it loaded
        QVERIFY(!enable(3)->isChecked());                   // channels after it did not
        ok();
        // Loaded channels are stored again; the unreadable ones keep their slots.
        QCOMPARE(this->slot(slot), value);
        QCOMPARE(this->slot(3), QStringLiteral("1"));
        QCOMPARE(this->slot(32 + 2 * 7), QStringLiteral("1"));
    }

    void badSpeedStopsLoading()
    {
        setUpBlock();
        ws->blocks.param(kBlock, 2) = 5;
        slot(0) = "1";
        open();
        // The parameter window itself already reports the bad list index.
        QVERIFY(ui->texts().contains(QStringLiteral("Ошибка RS485 !!!")));
        QVERIFY(!enable(0)->isChecked());
        ok();
        QCOMPARE(slot(0), QStringLiteral("1"));
    }

    void blockWithoutTableIsNotOpened()
    {
        setUpBlock();
        ws->selectVersion(3); // RS485 blocks own no texts
        open();
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка RS485 !!!")});
        QVERIFY(!dialog->isVisible());
        QVERIFY(editor->isEnabled());
        QVERIFY(!ownsModbusTable(ws->blocks, ws->catalog, kBlock));
        storeModbusChannel(ws->blocks, ws->catalog, kBlock, 0, ModbusChannel{true, 1, 1, 1, 1}, 1);
        QCOMPARE(ws->blocks.TextStore[9], QStringLiteral("0"));
    }

    void parameterWindowClosesTheDialog()
    {
        setUpBlock();
        open();
        enable(0)->click();
        QSignalSpy closed(editor.get(), &BlockParameterEditor::closed);
        editor->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(slot(0), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestModbusDialog)
#include "test_modbus_dialog.moc"
