// The desktop program as a whole: the main window with its controller, driven
// through the menus and block pictures - opening and saving the example
// project, the editors a click opens, and a scheme write through the real
// menu item to a TCP server on 127.0.0.1.
#include "algorithm/ui/step_editor.h"
#include "app/app_controller.h"
#include "app/loading_window.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "link/byte_sink.h"
#include "wire/scheme_encoder.h"
#include "link/ui/scheme_write_controller.h"
#include "scheme/ui/block_parameter_editor.h"
#include "scheme/ui/scheme_overview.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"
#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace ostrel;
using ostrel::testing::ByteSink;

namespace {
const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
}

class AppControllerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;
    QTemporaryDir tmp;

    // A project folder of our own, so saving never touches examples/.
    QString copyExample()
    {
        for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"}) {
            const QString to = tmp.filePath(QString::fromLatin1(name));
            QFile::remove(to);
            if (!QFile::copy(kExamples + u'/' + QString::fromLatin1(name), to))
                return {};
        }
        return tmp.filePath(QStringLiteral("boiler.prt"));
    }

    void openExample()
    {
        const QString path = copyExample();
        QVERIFY(!path.isEmpty());
        QVERIFY(app->openProjectFile(path));
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        ui = std::make_unique<ScriptedInteraction>();
        window = std::make_unique<MainWindow>(*ws, *ui);
        app = std::make_unique<AppController>(*ws, *ui, *window);
        window->show();
    }
    void cleanup()
    {
        window->close();
        app.reset();
        window.reset();
    }

    void openProjectShowsScheme()
    {
        openExample();
        QCOMPARE(window->windowTitle(), QStringLiteral("Конфигуратор Ostrel 4.51 - ") + ws->settings.netlist_path);
        QVERIFY(window->action(QStringLiteral("mnuNetlist"))->isVisible());
        QVERIFY(window->projectExists());
        QVERIFY(window->isEnabled());
        QCOMPARE(ws->blocks.block_type[14], int16_t(45));
        QCOMPARE(window->pageTabs().currentIndex(), 0);
    }

    // A file that is not a project changes nothing and says so.
    void openGarbageKeepsProject()
    {
        openExample();
        const QString netlist = ws->settings.netlist_path;
        const QString bad = tmp.filePath(QStringLiteral("bad.prt"));
        QFile f(bad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a project\r\n");
        f.close();
        QVERIFY(!app->openProjectFile(bad));
        QCOMPARE(ui->messages.size(), 1);
        QCOMPARE(ws->settings.netlist_path, netlist);
        QCOMPARE(ws->blocks.block_type[14], int16_t(45));
        QVERIFY(window->isEnabled());
    }

    // "&Сохранить проект" through the menu writes the same bytes back and
    // puts the check mark on "&Блокировка элементов".
    void saveThroughMenuRoundTrips()
    {
        openExample();
        const QByteArray original = [&] {
            QFile f(tmp.filePath(QStringLiteral("boiler.prt")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        window->action(QStringLiteral("mnuBlockSCADA"))->setChecked(false);
        const QString out = tmp.filePath(QStringLiteral("again.prt"));
        ui->fileAnswers << out;
        window->action(QStringLiteral("MnuSave"))->trigger();
        QCOMPARE(ui->askedFilters.last(), QStringLiteral("project file|*.prt"));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), original);
        QVERIFY(window->action(QStringLiteral("mnuBlockSCADA"))->isChecked());
    }

    // A project whose netlist no longer imports: the import's message is
    // shown, and a later save writes the values the project file stores.
    void failedNetlistImportKeepsStoredValues()
    {
        const QString path = copyExample();
        QVERIFY(!path.isEmpty());
        auto readAll = [](const QString& name) {
            QFile f(name);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray original = readAll(path);
        QByteArray netlist = readAll(tmp.filePath(QStringLiteral("boiler.net")));
        QVERIFY(netlist.endsWith(")\r\n"));
        netlist.insert(netlist.size() - 3, "  (compInst \"U123\"\r\n    (compRef \"MUL\")\r\n    (originalName \"MUL\")\r\n  )\r\n");
        {
            QFile f(tmp.filePath(QStringLiteral("boiler.net")));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(netlist) == netlist.size());
        }
        QVERIFY(app->openProjectFile(path));
        QCOMPARE(ui->texts(), QStringList{QStringLiteral("Ошибка netLIST!!! Выход блока №123")});
        QCOMPARE(ws->blocks.block_type[14], int16_t(45));

        const QString out = tmp.filePath(QStringLiteral("kept.prt"));
        ui->fileAnswers << out;
        window->action(QStringLiteral("MnuSave"))->trigger();
        QCOMPARE(readAll(out), original);

        // The scheme has no wiring now: it is not written into a controller.
        ui->messages.clear();
        QSignalSpy started(&app->writer().engine(), &TransferEngine::started);
        window->action(QStringLiteral("MnuSaveOstrel"))->trigger();
        QCOMPARE(ui->texts(), QStringList{kSchemeWithoutNetlistMessage});
        QCOMPARE(started.count(), 0);
        QVERIFY(!app->writer().engine().isActive());
    }

    // A click on a block picture opens its editor and disables the main
    // window until the editor closes; the algorithm block goes through the
    // loading window to the step editor.
    void clicksOpenEditors()
    {
        openExample();
        window->openBlock(8 + 7); // block 7, a PID block
        QVERIFY(app->parameterEditor().isVisible());
        QCOMPARE(int(ws->blocks.cur_block), 7);
        QVERIFY(!window->isEnabled());
        app->parameterEditor().close();
        QTRY_VERIFY(window->isEnabled());

        window->openBlock(8 + 14); // the algorithm block
        QVERIFY(app->loadingWindow().isVisible());
        QVERIFY(!window->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(app->stepEditor().isVisible(), 5000);
        QVERIFY(!app->loadingWindow().isVisible());
        QVERIFY(!window->isEnabled());
        app->stepEditor().close();
        QTRY_VERIFY(window->isEnabled());
    }

    // A right-button press on the algorithm block asks for a drawing; a
    // cancelled choice leaves the program as it was.
    void rightClickImportsDrawing()
    {
        openExample();
        const QString before = ws->blocks.text(14, 41 * 1 + 39);
        window->openBlock(8 + 14, Qt::RightButton);
        QCOMPARE(ui->askedFilters.last(), QStringLiteral("P-CAD file|*.net"));
        QCOMPARE(ws->blocks.text(14, 41 * 1 + 39), before);

        ui->fileAnswers << kExamples + QStringLiteral("/boiler_algorithm.net");
        window->openBlock(8 + 14, Qt::RightButton);
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
        QCOMPARE(ws->blocks.text(14, 39), QStringLiteral("1")); // step 1 goes on to step 2
    }

    // "&Записать схему в Ostrel" sends exactly the serialised scheme to the
    // controller's TCP address; the settings dialog is disabled meanwhile.
    void writeSchemeThroughMenu()
    {
        openExample();
        ByteSink sink;
        QVERIFY(sink.listenTcp());
        ws->settings.link_port = 9;
        ws->settings.ip_address = QStringLiteral("127.0.0.1");
        ws->settings.tcp_port = sink.tcpPort();
        const QByteArray expected = schemeWireStream(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number));

        QAction* write = window->action(QStringLiteral("MnuSaveOstrel"));
        QVERIFY(write && write->isVisible());
        write->trigger();
        QTRY_VERIFY(!window->settingsDialog().isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(sink.bytes.size(), expected.size(), 30000);
        QCOMPARE(sink.bytes, expected);
        QTRY_VERIFY_WITH_TIMEOUT(window->settingsDialog().isEnabled(), 10000);
        QVERIFY2(ui->messages.isEmpty(), qPrintable(ui->texts().join(u'|')));
    }
};

QTEST_MAIN(AppControllerTest)
#include "test_app_controller.moc"
