// The project settings dialog: the port and controller lists, the TCP fields,
// "Загрузить", "Ok" for a new project and for the open one, "Отмена".
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

const QString kFixture = QStringLiteral(OSTREL_TEST_DATA "/shell/scheme.net");

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    ScriptedInteraction ui;
    std::unique_ptr<MainWindow> w;
    SettingsDialog* dlg = nullptr;

    template <typename T>
    T* get(const char* name)
    {
        T* c = dlg->findChild<T*>(QLatin1String(name));
        if (!c)
            qFatal("no control %s", name);
        return c;
    }
    void click(const char* name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    void load(const QString& path)
    {
        ui.fileAnswers << path;
        click("Load_Key_SCHEMA");
    }
    bool tcpEnabled()
    {
        return get<QLineEdit>("IP_address")->isEnabled() && get<QLineEdit>("Port")->isEnabled()
               && get<QLabel>("Label_IP")->isEnabled() && get<QLabel>("Label_Port")->isEnabled();
    }
    bool tcpDisabled()
    {
        return !get<QLineEdit>("IP_address")->isEnabled() && !get<QLineEdit>("Port")->isEnabled()
               && !get<QLabel>("Label_IP")->isEnabled() && !get<QLabel>("Label_Port")->isEnabled();
    }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        ui = ScriptedInteraction();
        w = std::make_unique<MainWindow>(*ws, ui);
        w->show();
        dlg = &w->settingsDialog();
    }
    void cleanup()
    {
        w.reset();
        ws.reset();
    }

    // Beside the port list: the device "СOMn" is on this machine, or that
    // there is none; nothing for TCP/IP.
    void deviceOfPort_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        QTest::newRow("СOM1, adapter plugged in") << 0 << "Устройство: /dev/ttyUSB0";
        QTest::newRow("СOM3, nothing there") << 2 << "Устройства нет (/dev/ttyS2)";
        QTest::newRow("TCP/IP") << 8 << "";
    }
    void deviceOfPort()
    {
        QFETCH(int, index);
        QFETCH(QString, shown);
        QList<int> asked;
        dlg->setSerialDeviceLookup(
            [&asked](int com) {
                asked << com;
                return com == 1 ? QStringLiteral("/dev/ttyUSB0") : QStringLiteral("/dev/ttyS%1").arg(com - 1);
            },
            [](const QString& device) { return device == QLatin1String("/dev/ttyUSB0"); });
        w->newProject();
        asked.clear();
        get<QComboBox>("Combo1")->setCurrentIndex(index);
        QCOMPARE(get<QLabel>("Com_Device")->text(), shown);
        QCOMPARE(asked, index < 8 ? QList<int>{index + 1} : QList<int>{});
    }

    void controls()
    {
        w->newProject();
        QCOMPARE(dlg->objectName(), QStringLiteral("Config_Project"));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Проект"));
        auto* ports = get<QComboBox>("Combo1");
        QCOMPARE(ports->count(), 9);
        // The COM items begin with the Cyrillic Es (U+0421), not a Latin C.
        QCOMPARE(ports->itemText(2), QString(QChar(0x0421)) + "OM3");
        QVERIFY(ports->itemText(0) != QStringLiteral("COM1"));
        QCOMPARE(ports->itemText(8), QStringLiteral("TCP/IP"));
        auto* controllers = get<QComboBox>("Combo2");
        QCOMPARE(controllers->count(), 8);
        QCOMPARE(controllers->itemText(7), QStringLiteral("№8"));
        // A new project selects nothing and waits for a netlist.
        QCOMPARE(ports->currentIndex(), -1);
        QCOMPARE(controllers->currentIndex(), -1);
        QCOMPARE(get<QLineEdit>("Name_Schema_text")->text(), QStringLiteral("Пусто"));
        QVERIFY(!get<QPushButton>("Ok")->isEnabled());
        QVERIFY(tcpDisabled());
        QCOMPARE(get<QPushButton>("Load_Key_SCHEMA")->text(), QStringLiteral("Загрузить"));
        QCOMPARE(get<QPushButton>("Cancel")->text(), QStringLiteral("Отмена"));
    }

    void portListActsAtOnce_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("linkPort");
        QTest::addColumn<bool>("tcp");
        QTest::newRow("СOM1") << 0 << 1 << false;
        QTest::newRow("СOM3") << 2 << 3 << false;
        QTest::newRow("СOM8") << 7 << 8 << false;
        QTest::newRow("TCP/IP") << 8 << 9 << true;
    }
    void portListActsAtOnce()
    {
        QFETCH(int, index);
        QFETCH(int, linkPort);
        QFETCH(bool, tcp);
        ws->settings.link_port = 9; // TCP first, so that a COM item must disable the fields
        ws->settings.netlist_path = "x.net";
        w->openSettings();
        QVERIFY(tcpEnabled());
        get<QComboBox>("Combo1")->setCurrentIndex(index);
        QCOMPARE(int(ws->settings.link_port), linkPort);
        QVERIFY(tcp ? tcpEnabled() : tcpDisabled());
        get<QComboBox>("Combo2")->setCurrentIndex(5);
        QCOMPARE(int(ws->settings.controller_number), 6);
        click("Cancel");
        // The lists are not undone by "Отмена".
        QCOMPARE(int(ws->settings.link_port), linkPort);
        QCOMPARE(int(ws->settings.controller_number), 6);
        QVERIFY(w->isEnabled());
    }

    void settingsShowTheProject()
    {
        ProjectSettings& s = ws->settings;
        s.project_name = "Котельная";
        s.netlist_path = "C:\\p\\boiler.net";
        s.link_port = 9;
        s.controller_number = 3;
        s.ip_address = "192.168.0.7";
        s.tcp_port = 502;
        w->openSettings();
        QCOMPARE(w->shell().settings_reopened, 1);
        QVERIFY(!w->isEnabled());
        QCOMPARE(get<QLineEdit>("Name_Project_Text")->text(), QStringLiteral("Котельная"));
        QCOMPARE(get<QLineEdit>("Name_Schema_text")->text(), QStringLiteral("C:\\p\\boiler.net"));
        QVERIFY(get<QPushButton>("Ok")->isEnabled());
        QCOMPARE(get<QComboBox>("Combo1")->currentIndex(), 8);
        QCOMPARE(get<QComboBox>("Combo2")->currentIndex(), 2);
        QCOMPARE(get<QLineEdit>("IP_address")->text(), QStringLiteral("192.168.0.7"));
        QCOMPARE(get<QLineEdit>("Port")->text(), QStringLiteral("502"));
        QVERIFY(tcpEnabled());

        // "Отмена" keeps name, address and port.
        get<QLineEdit>("Name_Project_Text")->setText("Другой");
        get<QLineEdit>("IP_address")->setText("10.0.0.1");
        get<QLineEdit>("Port")->setText("80");
        click("Cancel");
        QCOMPARE(s.project_name, QStringLiteral("Котельная"));
        QCOMPARE(s.ip_address, QStringLiteral("192.168.0.7"));
        QCOMPARE(s.tcp_port, 502);
        QCOMPARE(w->shell().settings_reopened, 0);
        QVERIFY(w->isEnabled());

        // "Ok" takes them.
        w->openSettings();
        get<QLineEdit>("Name_Project_Text")->setText("Другой");
        get<QLineEdit>("IP_address")->setText("10.0.0.1");
        click("Ok");
        QCOMPARE(s.project_name, QStringLiteral("Другой"));
        QCOMPARE(s.ip_address, QStringLiteral("10.0.0.1"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel - C:\\p\\boiler.net"));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(w->shell().settings_reopened, 0);
    }

    void portText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("digits then letters") << "502abc" << 502;
        QTest::newRow("letters") << "abc" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading blanks") << "  8080" << 8080;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("too large for 32 bits") << "99999999999" << 0;
        QTest::newRow("largest") << "2147483647" << 2147483647;
    }
    void portText()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        ws->settings.netlist_path = "x.net";
        ws->settings.tcp_port = 1234;
        w->openSettings();
        get<QLineEdit>("Port")->setText(text);
        click("Ok");
        QCOMPARE(ws->settings.tcp_port, port);
    }

    void okResetsOnlyANewProject_data()
    {
        QTest::addColumn<bool>("newProject");
        QTest::newRow("new project") << true;
        QTest::newRow("settings") << false;
    }
    void okResetsOnlyANewProject()
    {
        QFETCH(bool, newProject);
        // A project on the fixture: RS485 as U1, algorithm as U2, PID as U12.
        w->newProject();
        load(kFixture);
        click("Ok");
        BlockTable& b = ws->blocks;
        QCOMPARE(b.block_type[1], 5);
        QCOMPARE(b.block_type[2], 45);
        QCOMPARE(b.block_type[12], 26);

        if (newProject)
            w->newProject();
        else
            w->openSettings();
        QCOMPARE(w->shell().settings_reopened, newProject ? 0 : 1);
        load(kFixture);
        // Edits made after the import.
        b.text(1, 0) = "RS";
        b.text(1, 47) = "RS";
        b.text(2, 39) = "7";
        b.text(2, 41 * 127 + 20) = "9";
        b.param(2, 1) = 3.5f;
        b.param(2, 128) = 2.0f;
        b.param(12, 0) = 1.25f;
        click("Ok");

        QCOMPARE(b.text(1, 0), newProject ? QStringLiteral("0") : QStringLiteral("RS"));
        QCOMPARE(b.text(1, 47), newProject ? QStringLiteral("0") : QStringLiteral("RS"));
        QCOMPARE(b.text(2, 39), newProject ? QStringLiteral("128") : QStringLiteral("7"));
        QCOMPARE(b.text(2, 41 * 127 + 20), newProject ? QStringLiteral("1") : QStringLiteral("9"));
        QCOMPARE(b.param(2, 1), newProject ? 0.0f : 3.5f);
        QCOMPARE(b.param(2, 128), newProject ? 0.0f : 2.0f);
        QCOMPARE(b.param(12, 0), 1.25f); // other blocks are never reset
        QCOMPARE(w->shell().settings_reopened, 0);
    }

    void loadRecordsTheNetlist()
    {
        QSignalSpy imported(dlg, &SettingsDialog::netlistImported);
        w->newProject();
        load(kFixture);
        QCOMPARE(ui.askedFilters, QStringList{"P-CAD file|*.net"});
        QCOMPARE(imported.count(), 1);
        QVERIFY(get<QPushButton>("Ok")->isEnabled());
        QCOMPARE(get<QLineEdit>("Name_Schema_text")->text(), ws->settings.netlist_path);
        QVERIFY(ws->settings.netlist_path.endsWith(QLatin1String("scheme.net")));
        QCOMPARE(ws->blocks.block_type[12], 26);
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.texts().join(" / ")));
    }

    void loadFailuresKeepTheScheme_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("messages");
        QTest::newRow("cancelled") << QString() << 0;
        QTest::newRow("cannot be opened") << QString(OSTREL_TEST_DATA "/shell/missing.net") << 1;
    }
    void loadFailuresKeepTheScheme()
    {
        QFETCH(QString, answer);
        QFETCH(int, messages);
        ws->blocks.block_type[12] = 26;
        ws->blocks.param_base[12] = 40;
        w->newProject();
        load(answer);
        QCOMPARE(ws->blocks.block_type[12], 26);
        QCOMPARE(ws->blocks.param_base[12], 40);
        QCOMPARE(ws->settings.netlist_path, QStringLiteral("Пусто"));
        QCOMPARE(get<QLineEdit>("Name_Schema_text")->text(), QStringLiteral("Пусто"));
        QVERIFY(!get<QPushButton>("Ok")->isEnabled());
        QCOMPARE(ui.messages.size(), messages);
    }

    void closeBoxActsAsCancel()
    {
        w->newProject();
        QVERIFY(!w->isEnabled());
        dlg->close();
        QVERIFY(w->isEnabled());
        QCOMPARE(w->shell().settings_reopened, 0);
        QVERIFY(!w->menu("mnuConfig")->menuAction()->isVisible());
    }

    void disabledDuringATransfer()
    {
        ws->settings.netlist_path = "x.net";
        w->openSettings();
        dlg->setTransferActive(true);
        QVERIFY(!dlg->isEnabled());
        dlg->setTransferActive(false);
        QVERIFY(dlg->isEnabled());
    }
};

QTEST_MAIN(TestSettingsDialog)
#include "test_settings_dialog.moc"
