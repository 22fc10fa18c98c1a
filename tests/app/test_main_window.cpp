// The main window: start state, version selection, modes and page tabs,
// block clicks, project and netlist commands, shutdown.
#include "app/app_icon.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "scheme/ui/scheme_overview.h"
#include "support/scripted_interaction.h"
#include "workspace/workspace.h"

#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <memory>

using namespace ostrel;

namespace {

const QString kFixture = QStringLiteral(OSTREL_TEST_DATA "/shell/scheme.net");

// Records the order in which windows close.
class ClosingWindow : public QWidget {
public:
    ClosingWindow(const QString& name, QStringList& log) : log_(log) { setObjectName(name); }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        log_ << objectName();
        QWidget::closeEvent(e);
    }

private:
    QStringList& log_;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<Workspace> ws;
    ScriptedInteraction ui;
    std::unique_ptr<MainWindow> w;

    QAction* act(const char* name) { return w->action(QLatin1String(name)); }
    bool menuShown(const char* name) { return w->menu(QLatin1String(name))->menuAction()->isVisible(); }
    QWidget* client() { return static_cast<QStackedWidget*>(w->centralWidget())->currentWidget(); }
    void makeProject()
    {
        w->showProjectOpened();
        QVERIFY(w->projectExists());
    }

private slots:
    void init()
    {
        ws = std::make_unique<Workspace>();
        ui = ScriptedInteraction();
        w = std::make_unique<MainWindow>(*ws, ui);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup()
    {
        w.reset();
        ws.reset();
    }

    void startState()
    {
        QCOMPARE(w->objectName(), QStringLiteral("Config_SCADA"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel 4.51"));
        QCOMPARE(w->size(), QSize(810, 550));
        QVERIFY(act("mnuHelp4")->isChecked());
        for (const char* other : {"mnuHelp3", "mnuHelp1", "mnuHelp2"})
            QVERIFY(!act(other)->isChecked());
        QCOMPARE(ws->version_code, 5);

        // Idle menu bar: "&Файл" (without the netlist item) and "&Справка".
        QStringList shown;
        for (QAction* a : w->menuBar()->actions())
            if (a->isVisible())
                shown << a->text();
        QCOMPARE(shown, (QStringList{"&Файл", "&Справка"}));
        QVERIFY(!act("mnuNetlist")->isVisible());
        QVERIFY(!act("mnu5")->isVisible());
        QVERIFY(act("mnuBlockSCADA")->isChecked());
        QVERIFY(!act("mnuManometr")->isVisible());
        QCOMPARE(client()->objectName(), QStringLiteral("Logo"));
        QCOMPARE(ws->settings.netlist_path, QStringLiteral("Пусто"));
        QCOMPARE(w->shell().current_page, 0);
        QCOMPARE(ws->blocks.cur_block_type, 1);

        // The edit menu is the bar's last menu, hidden until a project exists.
        QVERIFY(w->editMenu());
        QCOMPARE(w->menuBar()->actions().last(), w->editMenu()->menuAction());
        QVERIFY(!w->editMenu()->menuAction()->isVisible());
        QCOMPARE(w->editMenu()->defaultAction(), act("mnuCopy"));
    }

    // With a project: the bar ends with "&Справка" and "&Редактировать"; the
    // edit menu holds the page's three items, "-", "&Отменить" and
    // "&Повторить" with their shortcuts, greyed while there is nothing to do.
    void editMenuInTheBar()
    {
        makeProject();
        QStringList shown;
        for (QAction* a : w->menuBar()->actions())
            if (a->isVisible())
                shown << a->text();
        QCOMPARE(shown.mid(shown.size() - 2), (QStringList{"&Справка", "&Редактировать"}));
        QStringList items;
        for (QAction* a : w->editMenu()->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items, (QStringList{"&Копировать", "&Вставить", "&Удалить", "-", "&Отменить", "&Повторить"}));
        QCOMPARE(act("mnuUndo")->shortcut(), QKeySequence(QKeySequence::Undo));
        QCOMPARE(act("mnuRedo")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
        QVERIFY(!act("mnuUndo")->isEnabled());
        QVERIFY(!act("mnuRedo")->isEnabled());
        w->setUndoRedoTexts(QStringLiteral("перемещение: Параметр 3"), QString());
        QCOMPARE(act("mnuUndo")->text(), QStringLiteral("&Отменить перемещение: Параметр 3"));
        QVERIFY(act("mnuUndo")->isEnabled());
        QCOMPARE(act("MnuSave")->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(act("mnuLoad")->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(act("mnuNEW")->shortcut(), QKeySequence(QKeySequence::New));
        // The unsaved mark follows the title.
        w->setTitle(QStringLiteral("Конфигуратор Ostrel 4.51 - a.net"));
        w->setUnsavedMark(true);
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel 4.51 - a.net *"));
        w->setTitle(QStringLiteral("Конфигуратор Ostrel 4.2"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel 4.2 *"));
        w->setUnsavedMark(false);
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel 4.2"));
    }

    // The icon is built into the program: a 64 x 64 picture, opaque in the middle.
    void applicationIconBuiltIn()
    {
        const QIcon icon = applicationIcon();
        QVERIFY(!icon.isNull());
        const QImage image = icon.pixmap(64, 64).toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        QCOMPARE(qAlpha(image.pixel(32, 30)), 255);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

    void versionSelection_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("mechanism");
        QTest::addColumn<int>("touParams");
        QTest::addColumn<int>("rs4Texts");
        QTest::newRow("4.5") << "mnuHelp4" << 5 << "Конфигуратор Ostrel 4.51" << true << 1 << 48;
        QTest::newRow("4.2") << "mnuHelp3" << 3 << "Конфигуратор Ostrel 4.2" << true << 1 << 0;
        QTest::newRow("3.0") << "mnuHelp1" << 0 << "Конфигуратор Ostrel 2.0" << true << 0 << 0;
        QTest::newRow("1.3") << "mnuHelp2" << 1 << "Конфигуратор Ostrel 1.0" << false << 0 << 0;
    }
    void versionSelection()
    {
        QFETCH(QString, item);
        QFETCH(int, code);
        QFETCH(QString, title);
        QFETCH(bool, mechanism);
        QFETCH(int, touParams);
        QFETCH(int, rs4Texts);
        // Start from 1.3 (mechanism hidden) so that every other version shows it again.
        act("mnuHelp2")->trigger();
        w->action(item)->trigger();
        QCOMPARE(int(ws->version_code), code);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(act("mnuVent")->isVisible(), mechanism);
        QCOMPARE(ws->catalog.paramCount(50), touParams);
        QCOMPARE(ws->catalog.textCount(5), rs4Texts);
        for (const char* name : {"mnuHelp4", "mnuHelp3", "mnuHelp1", "mnuHelp2"})
            QCOMPARE(act(name)->isChecked(), item == QLatin1String(name));
    }

    void projectVersionKeepsTitleAndMechanism()
    {
        act("mnuHelp2")->trigger();
        w->applyProjectVersion(5);
        QCOMPARE(int(ws->version_code), 5);
        QVERIFY(act("mnuHelp4")->isChecked() && !act("mnuHelp2")->isChecked());
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel 1.0"));
        QVERIFY(!act("mnuVent")->isVisible());
        w->applyProjectVersion(7); // not a menu version: nothing changes
        QCOMPARE(int(ws->version_code), 5);
    }

    void newProjectCancelLeavesIdle()
    {
        act("mnuNEW")->trigger();
        QVERIFY(!w->isEnabled());
        auto& dlg = w->settingsDialog();
        QVERIFY(dlg.isVisible());
        QVERIFY(dlg.isEnabled()); // a top-level window: not disabled with the main window
        QVERIFY(!dlg.findChild<QPushButton*>("Ok")->isEnabled());
        QTest::mouseClick(dlg.findChild<QPushButton*>("Cancel"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QVERIFY(w->isEnabled());
        QVERIFY(!menuShown("mnuConfig"));
        QVERIFY(!menuShown("MnuOstrel"));
        QCOMPARE(client()->objectName(), QStringLiteral("Logo"));
    }

    void newProjectOkShowsTheScheme()
    {
        act("mnuNEW")->trigger();
        auto& dlg = w->settingsDialog();
        ui.fileAnswers << kFixture;
        QTest::mouseClick(dlg.findChild<QPushButton*>("Load_Key_SCHEMA"), Qt::LeftButton);
        QCOMPARE(ui.askedFilters, QStringList{"P-CAD file|*.net"});
        QTest::mouseClick(dlg.findChild<QPushButton*>("Ok"), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QVERIFY(w->isEnabled());
        QVERIFY(menuShown("mnuConfig") && menuShown("MnuOstrel"));
        QVERIFY(!menuShown("MnuSCADA1"));
        QVERIFY(act("MnuSaveOstrel")->isVisible());
        QVERIFY(!act("MnuSaveOstrelSCADA")->isVisible());
        QVERIFY(!act("mnuNetlist")->isVisible()); // only after a project file was opened
        const QString path = ws->settings.netlist_path;
        QVERIFY(path.endsWith(QLatin1String("scheme.net")));
        QCOMPARE(w->windowTitle(), QStringLiteral("Конфигуратор Ostrel - ") + path);
        QCOMPARE(client(), &w->overview());
        QVERIFY(w->overview().isDrawn());
    }

    void settingsKeepTheModeAndTheOverviewCurrent()
    {
        makeProject();
        ws->settings.netlist_path = "x.net";
        act("MnuSCADA")->trigger();
        // "Ok" under "&Настройки" leaves SCADA mode as it was.
        act("mnuNastrojki")->trigger();
        QTest::mouseClick(w->settingsDialog().findChild<QPushButton*>("Ok"), Qt::LeftButton);
        QVERIFY(w->inScadaMode());
        QVERIFY(w->pageTabs().isVisible());

        // A netlist loaded in the dialog shows in the overview even when the
        // dialog is then cancelled.
        act("mnuSchema")->trigger();
        act("mnuNastrojki")->trigger();
        ui.fileAnswers << kFixture;
        QTest::mouseClick(w->settingsDialog().findChild<QPushButton*>("Load_Key_SCHEMA"), Qt::LeftButton);
        QTest::mouseClick(w->settingsDialog().findChild<QPushButton*>("Cancel"), Qt::LeftButton);
        bool shown = false;
        for (const auto& p : w->overview().pictures())
            shown = shown || (p.k == 20 && p.type == 26);
        QVERIFY(shown);

        // A new project starts in scheme mode.
        act("MnuSCADA")->trigger();
        act("mnuNEW")->trigger();
        ui.fileAnswers << kFixture;
        QTest::mouseClick(w->settingsDialog().findChild<QPushButton*>("Load_Key_SCHEMA"), Qt::LeftButton);
        QTest::mouseClick(w->settingsDialog().findChild<QPushButton*>("Ok"), Qt::LeftButton);
        QVERIFY(!w->inScadaMode());
        QCOMPARE(client(), &w->overview());
        QVERIFY(!menuShown("MnuSCADA1"));
    }

    void modesAndPageTabs()
    {
        makeProject();
        act("MnuSCADA")->trigger();
        QTabWidget& tabs = w->pageTabs();
        QCOMPARE(tabs.count(), 8);
        QCOMPARE(tabs.tabText(0), QStringLiteral("Страница 1"));
        QCOMPARE(tabs.tabText(7), QStringLiteral("Страница 8"));
        QVERIFY(tabs.isVisible());
        QVERIFY(menuShown("MnuSCADA1"));
        QVERIFY(act("MnuSaveOstrelSCADA")->isVisible() && act("MnuAllSaveOstrelSCADA")->isVisible());
        QVERIFY(!act("MnuSaveOstrel")->isVisible());
        for (int p = 0; p < 8; ++p) {
            QWidget* canvas = w->pageCanvas(p);
            QCOMPARE(canvas->objectName(), QStringLiteral("Page_SCADA_%1").arg(p));
            QCOMPARE(canvas->size(), QSize(800, 480));
        }
        // The whole canvas lies inside the tab control and the window.
        const QRect shown = QRect(w->pageCanvas(0)->mapTo(w.get(), QPoint(0, 0)), QSize(800, 480));
        QVERIFY(w->rect().contains(shown));

        // A click on "Страница 5" makes page index 4 current.
        QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(4).center());
        QCOMPARE(w->shell().current_page, 4);
        QCOMPARE(tabs.currentIndex(), 4);

        // Back to scheme mode and again to SCADA mode: page 1 whatever was current.
        QSignalSpy schemeSpy(w.get(), &MainWindow::schemeModeEntered);
        act("mnuSchema")->trigger();
        QCOMPARE(schemeSpy.count(), 1);
        QVERIFY(!tabs.isVisible());
        QCOMPARE(client(), &w->overview());
        QVERIFY(!menuShown("MnuSCADA1"));
        QVERIFY(act("MnuSaveOstrel")->isVisible());
        QVERIFY(!act("MnuSaveOstrelSCADA")->isVisible() && !act("MnuAllSaveOstrelSCADA")->isVisible());
        act("MnuSCADA")->trigger();
        QCOMPARE(w->shell().current_page, 0);
        QCOMPARE(tabs.currentIndex(), 0);

        // Programmatic selection follows the same rule; out-of-range is ignored.
        w->selectPage(7);
        QCOMPARE(w->shell().current_page, 7);
        w->selectPage(8);
        w->selectPage(-1);
        QCOMPARE(w->shell().current_page, 7);
    }

    void replaceablePageCanvas()
    {
        QPointer<QWidget> old = w->pageCanvas(3);
        auto* mine = new QWidget;
        mine->setObjectName("MyCanvas");
        w->setPageCanvas(3, mine);
        QVERIFY(!old);
        QCOMPARE(w->pageCanvas(3), mine);
        QCOMPARE(mine->parentWidget(), w->pageTabs().widget(3));
        w->setPageTabCaption(3, "Котёл");
        QCOMPARE(w->pageTabs().tabText(3), QStringLiteral("Котёл"));
        w->setPageCanvas(9, new QWidget(mine)); // ignored, owned by mine
        QVERIFY(!w->pageCanvas(9));
    }

    // Showing the scheme puts the fixed types on blocks 97..99 (a project read
    // without its netlist may lack them); the overview draws what the table holds.
    void shownSchemeHasTheFixedBlocks()
    {
        for (int n : {97, 98, 99})
            QCOMPARE(ws->blocks.block_type[n], 0);
        makeProject();
        QCOMPARE(ws->blocks.block_type[97], 43);
        QCOMPARE(ws->blocks.block_type[98], 41);
        QCOMPARE(ws->blocks.block_type[99], 42);
        QList<int> fixedTypes;
        for (const auto& p : w->overview().pictures())
            if (p.k <= 3)
                fixedTypes << p.type;
        QCOMPARE(fixedTypes, (QList<int>{43, 41, 42}));
    }

    void blockClickRouting_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("curBlock");
        QTest::addColumn<int>("curType");
        QTest::addColumn<int>("editorFor");    // parameter editor requested for (-1: none)
        QTest::addColumn<int>("algorithmFor"); // drawing import requested for (-1: none)
        QTest::addColumn<int>("stepEditorFor"); // algorithm editor requested for (-1: none)
        QTest::newRow("graph") << 2 << Qt::LeftButton << 98 << 41 << 98 << -1 << -1;
        QTest::newRow("journal") << 3 << Qt::LeftButton << 99 << 42 << 99 << -1 << -1;
        QTest::newRow("block 12 PID") << 20 << Qt::LeftButton << 12 << 26 << 12 << -1 << -1;
        QTest::newRow("block 10 ALG") << 18 << Qt::LeftButton << 10 << 45 << -1 << -1 << 10;
        QTest::newRow("right on ALG: drawing import") << 18 << Qt::RightButton << 10 << 45 << -1 << 10 << -1;
        QTest::newRow("right on PID: nothing") << 20 << Qt::RightButton << 0 << 1 << -1 << -1 << -1;
        QTest::newRow("picture 5 never shown") << 5 << Qt::LeftButton << 0 << 1 << -1 << -1 << -1;
        QTest::newRow("empty cell") << 30 << Qt::LeftButton << 0 << 1 << -1 << -1 << -1;
        QTest::newRow("beyond the grid") << 85 << Qt::LeftButton << 0 << 1 << -1 << -1 << -1;
    }
    void blockClickRouting()
    {
        QFETCH(int, k);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, curBlock);
        QFETCH(int, curType);
        QFETCH(int, editorFor);
        QFETCH(int, algorithmFor);
        QFETCH(int, stepEditorFor);
        ws->blocks.block_type[12] = 26;
        ws->blocks.block_type[10] = 45;
        ws->blocks.block_type[77] = 9;
        makeProject();
        QSignalSpy editor(w.get(), &MainWindow::openParameterEditorRequested);
        QSignalSpy drawing(w.get(), &MainWindow::algorithmDrawingImportRequested);
        QSignalSpy algEditor(w.get(), &MainWindow::openAlgorithmEditorRequested);
        w->openBlock(k, button);
        QCOMPARE(int(ws->blocks.cur_block), curBlock);
        QCOMPARE(int(ws->blocks.cur_block_type), curType);
        QCOMPARE(editor.count(), editorFor < 0 ? 0 : 1);
        if (editorFor >= 0)
            QCOMPARE(editor.at(0).at(0).toInt(), editorFor);
        QCOMPARE(drawing.count(), algorithmFor < 0 ? 0 : 1);
        if (algorithmFor >= 0)
            QCOMPARE(drawing.at(0).at(0).toInt(), algorithmFor);
        QCOMPARE(algEditor.count(), stepEditorFor < 0 ? 0 : 1);
        if (stepEditorFor >= 0)
            QCOMPARE(algEditor.at(0).at(0).toInt(), stepEditorFor);
        QVERIFY(!w->pageTabs().isVisible());
    }

    void clicksOnTheOverview()
    {
        ws->blocks.block_type[12] = 26;
        makeProject();
        QSignalSpy editor(w.get(), &MainWindow::openParameterEditorRequested);
        SchemeOverview& view = w->overview();
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(220, 400)); // picture of block 12
        QCOMPARE(int(ws->blocks.cur_block), 12);
        QCOMPARE(int(ws->blocks.cur_block_type), 26);
        QCOMPARE(editor.count(), 1);
        // Picture 1 switches to SCADA mode and opens nothing.
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(w->inScadaMode());
        QVERIFY(w->pageTabs().isVisible());
        QCOMPARE(w->shell().current_page, 0);
        QCOMPARE(editor.count(), 1);
    }

    void projectOpenedTitle_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("5") << 5 << "Конфигуратор Ostrel 4.51 - ";
        QTest::newRow("3") << 3 << "Конфигуратор Ostrel 4.2 - ";
        QTest::newRow("1") << 1 << "Конфигуратор Ostrel 4.2 - ";
        QTest::newRow("0") << 0 << "Конфигуратор Ostrel 2.0 - ";
    }
    void projectOpenedTitle()
    {
        QFETCH(int, code);
        QFETCH(QString, prefix);
        w->applyProjectVersion(code);
        ws->settings.netlist_path = "C:\\proj\\boiler.net";
        w->setEnabled(false);
        w->showNetlistMenuItem();
        QVERIFY(act("mnuNetlist")->isVisible() && act("mnu5")->isVisible());
        w->showProjectOpened();
        QVERIFY(w->isEnabled());
        QVERIFY(menuShown("mnuConfig") && menuShown("MnuOstrel"));
        QCOMPARE(w->windowTitle(), prefix + "C:\\proj\\boiler.net");
        QCOMPARE(client(), &w->overview());
    }

    void netlistMenuReimports()
    {
        makeProject();
        ui.fileAnswers << kFixture;
        act("mnuNetlist")->trigger();
        QCOMPARE(ui.askedFilters, QStringList{"P-CAD file|*.net"});
        QVERIFY(ws->settings.netlist_path.endsWith(QLatin1String("scheme.net")));
        QCOMPARE(w->windowTitle(), "Конфигуратор Ostrel 4.51 - " + ws->settings.netlist_path);
        QCOMPARE(ws->blocks.block_type[12], 26);
        bool shown = false;
        for (const auto& p : w->overview().pictures())
            shown = shown || p.k == 20;
        QVERIFY(shown);
    }

    void netlistMenuFailures_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("message");
        QTest::newRow("cancelled") << QString() << false;
        QTest::newRow("cannot be opened") << QString(OSTREL_TEST_DATA "/shell/missing.net") << true;
    }
    void netlistMenuFailures()
    {
        QFETCH(QString, answer);
        QFETCH(bool, message);
        ws->settings.netlist_path = "C:\\old.net";
        ws->blocks.block_type[12] = 26;
        makeProject();
        const QString title = w->windowTitle();
        if (!answer.isEmpty())
            ui.fileAnswers << answer;
        act("mnuNetlist")->trigger();
        QCOMPARE(ws->settings.netlist_path, QStringLiteral("C:\\old.net"));
        QCOMPARE(ws->blocks.block_type[12], 26);
        QCOMPARE(w->windowTitle(), title);
        QCOMPARE(ui.messages.size(), message ? 1 : 0);
        if (message)
            QCOMPARE(ui.messages[0].icon, MessageIcon::Error);
    }

    void openAndSaveProjectHandOnThePath()
    {
        QSignalSpy open(w.get(), &MainWindow::openProjectPathRequested);
        QSignalSpy save(w.get(), &MainWindow::saveProjectPathRequested);
        w->shell().settings_reopened = 1;
        act("mnuLoad")->trigger(); // cancelled
        QCOMPARE(open.count(), 0);
        QCOMPARE(client()->objectName(), QStringLiteral("Logo"));
        ui.fileAnswers << "/tmp/p.prt";
        act("mnuLoad")->trigger();
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).toString(), QStringLiteral("/tmp/p.prt"));
        QCOMPARE(w->shell().settings_reopened, 0);
        w->openProjectFromCommandLine("/tmp/q.prt");
        QCOMPARE(open.count(), 2);
        QCOMPARE(open.at(1).at(0).toString(), QStringLiteral("/tmp/q.prt"));

        act("MnuSave")->trigger(); // cancelled
        QCOMPARE(save.count(), 0);
        ui.fileAnswers << "/tmp/s.prt";
        act("MnuSave")->trigger();
        QCOMPARE(save.count(), 1);
        QCOMPARE(ui.askedFilters,
                 (QStringList{"project file|*.prt", "project file|*.prt", "project file|*.prt", "project file|*.prt"}));
    }

    void writeCommandsAreSignalled()
    {
        QSignalSpy scheme(w.get(), &MainWindow::writeSchemeRequested);
        QSignalSpy page(w.get(), &MainWindow::writePageRequested);
        QSignalSpy all(w.get(), &MainWindow::writeAllPagesRequested);
        act("MnuSaveOstrel")->trigger();
        act("MnuSaveOstrelSCADA")->trigger();
        act("MnuAllSaveOstrelSCADA")->trigger();
        QCOMPARE(scheme.count() + page.count() + all.count(), 3);
        QCOMPARE(scheme.count(), 1);
        QCOMPARE(page.count(), 1);
    }

    void childWindowDisablesUntilClosed()
    {
        QWidget child;
        child.setObjectName("PropertyBLOCK");
        w->showChildWindow(&child);
        QVERIFY(!w->isEnabled());
        QVERIFY(child.isVisible() && child.isEnabled());
        child.close();
        QVERIFY(w->isEnabled());
        {
            auto* temp = new QWidget;
            w->showChildWindow(temp);
            QVERIFY(!w->isEnabled());
            delete temp;
        }
        QVERIFY(w->isEnabled());
    }

    void shutdownClosesSecondaryWindows()
    {
        QStringList log;
        ClosingWindow alg("ALGORITM", log), other("Com_Terminal", log), editor("PropertyBLOCK", log);
        for (ClosingWindow* c : {&alg, &other, &editor}) {
            w->registerSecondaryWindow(c);
            c->show();
        }
        act("mnuNastrojki")->trigger();
        auto& dlg = w->settingsDialog();
        QVERIFY(dlg.isVisible());
        QVERIFY(!w->isEnabled());
        w->close();
        QVERIFY(!dlg.isVisible());
        QVERIFY(!alg.isVisible() && !other.isVisible() && !editor.isVisible());
        QCOMPARE(log, (QStringList{"PropertyBLOCK", "ALGORITM", "Com_Terminal"}));
        QVERIFY(!w->isVisible());
    }

    void exitItemCloses()
    {
        act("mnuNEW")->trigger();
        act("mnuExit")->trigger();
        QVERIFY(!w->isVisible());
        QVERIFY(!w->settingsDialog().isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
