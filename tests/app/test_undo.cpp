// Undo and redo through the real windows: each kind of change, made with the
// menus, the canvas and the dialogs, is taken back by "&Отменить" to the
// very bytes of the project file saved before it, and "&Повторить" gives the
// file saved after it. Also: one step per drag, the unsaved mark, the save
// question before a project is closed or replaced, and the recovery copy of
// a run killed with SIGKILL.
#include "app/app_controller.h"
#include "app/main_window.h"
#include "app/scada_editor.h"
#include "app/settings_dialog.h"
#include "algorithm/ui/step_editor.h"
#include "project/recovery_copy.h"
#include "scada/element_ref.h"
#include "scada/ui/page_canvas.h"
#include "scheme/block_types.h"
#include "scheme/ui/block_parameter_editor.h"
#include "scheme/ui/modbus_dialog.h"
#include "support/scripted_interaction.h"
#include "workspace/project_history.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsItem>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using namespace ostrel;

namespace {

const QString kExamples = QStringLiteral(OSTREL_EXAMPLES);
constexpr int kPage = 7;

QWidget* shownWindow(const QString& caption)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == caption)
            return w;
    return nullptr;
}

template <class T> T* child(QWidget* d, const QString& name)
{
    T* w = d ? d->findChild<T*>(name) : nullptr;
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

void click(QWidget* d, const QString& name) { QTest::mouseClick(child<QWidget>(d, name), Qt::LeftButton); }

// A list choice as the user makes it: the index changes, then activated.
void pick(QComboBox* box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool copyExample(const QString& dir)
{
    for (const char* name : {"boiler.prt", "boiler.net", "boiler.gif"}) {
        const QString to = QDir(dir).filePath(QString::fromLatin1(name));
        QFile::remove(to);
        if (!QFile::copy(kExamples + u'/' + QString::fromLatin1(name), to))
            return false;
    }
    return true;
}

// The program as main() builds it, with a scripted seam.
struct Program {
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    ScriptedInteraction ui;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<AppController> app;

    explicit Program(const RecoveryOptions& recovery = {})
    {
        window = std::make_unique<MainWindow>(*ws, ui);
        app = std::make_unique<AppController>(*ws, ui, *window, recovery);
        window->show();
    }
    ~Program()
    {
        app.reset();
        window.reset();
    }
    QAction* act(const char* name) const { return window->action(QLatin1String(name)); }
    PageCanvas& canvas() { return app->scadaEditor().canvas(kPage); }
    QWidget* view() { return canvas().viewport(); }
    const ScadaActions& menu() const { return window->scadaActions(); }

    bool openExample(const QString& dir)
    {
        if (!copyExample(dir) || !app->openProjectFile(QDir(dir).filePath(QStringLiteral("boiler.prt"))))
            return false;
        act("MnuSCADA")->trigger();
        window->pageTabs().setCurrentIndex(kPage);
        menu().lock->setChecked(false);
        return true;
    }
    // The fill colour of page 8 through its menu item.
    void changeFillColour(const QColor& c)
    {
        ui.colorAnswers = {c};
        menu().fillColor->trigger();
    }
};

} // namespace

class UndoTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<Program> prog;

    Workspace& ws() { return *prog->ws; }
    ScriptedInteraction& ui() { return prog->ui; }
    MainWindow& window() { return *prog->window; }
    AppController& app() { return *prog->app; }
    ProjectHistory& history() { return prog->app->history(); }
    QWidget* view() { return prog->view(); }
    QAction* act(const char* name) { return prog->act(name); }
    const ScadaActions& menu() { return prog->menu(); }

    // "&Сохранить проект" into `name` in the scratch folder: the file's bytes.
    QByteArray save(const QString& name)
    {
        const QString path = tmp->filePath(name);
        ui().fileAnswers << path;
        act("MnuSave")->trigger();
        // A save locks the elements; the next drag needs them free.
        menu().lock->setChecked(false);
        return fileBytes(path);
    }

    void doubleClick(QPoint at)
    {
        QTest::mousePress(view(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, at);
    }
    void drag(QPoint from, QPoint to, int steps = 1)
    {
        QTest::mousePress(view(), Qt::LeftButton, {}, from);
        for (int i = 1; i <= steps; ++i)
            QTest::mouseMove(view(), from + (to - from) * i / steps);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, to);
    }
    void place(ObjectKind kind, int number, QPoint pos)
    {
        const ElementRef ref{kind, kPage, number};
        withRecord(ws().pages, ref, [](auto& e) { e.used = 1; });
        storeObjectPos(ws().pages, ref, pos);
    }

    // The example open on page 8, emptied, with a parameter, a level, a menu
    // entry, a rectangle and a clock on it; grid step 1.
    void openPrepared()
    {
        QVERIFY(prog->openExample(tmp->path()));
        QVERIFY2(ui().messages.isEmpty(), qPrintable(ui().texts().join(u'|')));
        for (int k = 0; k < kNumberedKinds; ++k)
            for (int n = 0; n <= ScadaPages::maxNumber(ObjectKind(k)); ++n)
                withRecord(ws().pages, {ObjectKind(k), kPage, n}, [](auto& e) { e = std::decay_t<decltype(e)>{}; });
        *ws().pages.grafikOfPage(kPage) = {};
        *ws().pages.clockOfPage(kPage) = {};
        ws().pages.grid_step = ws().pages.grid_step_copy = 1;
        ws().pages.grid_enabled = ws().pages.grid_enabled_copy = 0;
        place(ObjectKind::Parametr, 1, {100, 50});
        ws().pages.level[kPage][1].width = 20;
        ws().pages.level[kPage][1].height = 60;
        place(ObjectKind::Level, 1, {150, 80});
        ws().pages.menu[kPage][1].text = QStringLiteral("Насос");
        place(ObjectKind::Menu, 1, {300, 300});
        ws().pages.figura[kPage][1] = {0, 0, 0, 30, 20, 0, 0, 1};
        place(ObjectKind::Figura, 1, {600, 50});
        prog->canvas().rebuild();
        menu().clock->trigger();
        menu().lock->setChecked(false);
    }

public:
    using Change = std::function<void(UndoTest&)>;
    int rs485Block()
    {
        for (int n = 1; n < BlockTable::kBlocks; ++n)
            if (ws().blocks.block_type[n] == kRs485)
                return n;
        return 0;
    }

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        prog = std::make_unique<Program>();
        QVERIFY(QTest::qWaitForWindowExposed(prog->window.get()));
    }
    void cleanup()
    {
        prog.reset();
        tmp.reset();
    }

    void undoRestoresTheFile_data();
    void undoRestoresTheFile();
    void dragIsOneStep();
    void undoBackToTheSavedStateClearsTheMark();
    void closeQuestion_data();
    void closeQuestion();
    void replacingAProjectAsksFirst();
    void recoveryAfterAKill();
};

Q_DECLARE_METATYPE(UndoTest::Change)

void UndoTest::undoRestoresTheFile_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("step");   // %1: the RS485 block
    QTest::newRow("move") << Change([](UndoTest& t) { t.drag({105, 55}, {155, 105}, 20); })
                          << QStringLiteral("перемещение: Параметр 1");
    QTest::newRow("group move") << Change([](UndoTest& t) {
        t.drag({90, 40}, {220, 160});
        t.drag({92, 42}, {92, 72}, 20);
    }) << QStringLiteral("перемещение группы");
    QTest::newRow("graph insert") << Change([](UndoTest& t) { t.menu().grafik->trigger(); })
                                  << QStringLiteral("вставка: График");
    QTest::newRow("figure dialog Ok") << Change([](UndoTest& t) {
        t.menu().figura->trigger();
        t.doubleClick({500, 150});
        t.doubleClick({504, 154});
        QWidget* d = shownWindow(QStringLiteral("Геометрическая фигура"));
        QVERIFY(d);
        child<QLineEdit>(d, QStringLiteral("Razmer_X_Figura_Text"))->setText(QStringLiteral("50"));
        click(d, QStringLiteral("Ok_Element"));
    }) << QStringLiteral("вставка: Фигура 2");
    QTest::newRow("resize") << Change([](UndoTest& t) {
        QTest::mouseClick(t.view(), Qt::LeftButton, {}, QPoint(601, 51));
        QVERIFY(t.prog->canvas().handleItem()->isVisible());
        t.drag({631, 71}, {671, 91}, 4);
        QCOMPARE(t.ws().pages.figura[kPage][1].size_x, int16_t(70));
    }) << QStringLiteral("изменение размера");
    QTest::newRow("dialog Удалить") << Change([](UndoTest& t) {
        t.doubleClick({104, 54});
        QWidget* d = shownWindow(QStringLiteral("Параметр"));
        QVERIFY(d);
        click(d, QStringLiteral("Delete_Element"));
    }) << QStringLiteral("удаление: Параметр 1");
    QTest::newRow("paste") << Change([](UndoTest& t) {
        t.drag({90, 40}, {220, 160});
        t.window().editActions().copy->trigger();
        QVERIFY(!t.history().hasUncommittedChanges()); // a copy is no change
        t.drag({500, 300}, {501, 301});
        t.window().editActions().paste->trigger();
    }) << QStringLiteral("вставка из буфера");
    QTest::newRow("delete") << Change([](UndoTest& t) {
        t.drag({90, 40}, {220, 160});
        t.window().editActions().remove->trigger();
    }) << QStringLiteral("удаление");
    QTest::newRow("background") << Change([](UndoTest& t) {
        t.ui().fileAnswers << t.tmp->filePath(QStringLiteral("boiler.gif"));
        t.menu().background->trigger();
    }) << QStringLiteral("фон страницы");
    QTest::newRow("fill colour") << Change([](UndoTest& t) { t.prog->changeFillColour(QColor(0, 128, 255)); })
                                 << QStringLiteral("цвет заливки фона");
    QTest::newRow("grid") << Change([](UndoTest& t) {
        t.menu().grid->trigger();
        QWidget* d = shownWindow(QStringLiteral("Координатная сетка"));
        QVERIFY(d);
        QLineEdit* step = d->findChild<QLineEdit*>();
        QVERIFY(step);
        step->setText(QStringLiteral("10"));
        QPushButton* ok = nullptr;
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Ok"))
                ok = b;
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    }) << QStringLiteral("координатная сетка");
    QTest::newRow("clock deletion") << Change([](UndoTest& t) {
        t.ui().questionAnswers = {true};
        QTest::mouseDClick(t.view(), Qt::LeftButton, {}, QPoint(4, 4));
    }) << QStringLiteral("удаление: Часы 8");
    QTest::newRow("menu text") << Change([](UndoTest& t) {
        QLineEdit* box = t.prog->canvas().menuTextBox(1);
        QVERIFY(box);
        box->setFocus();
        box->end(false);
        QTest::keyClicks(box, QStringLiteral(" 2"));
        QTest::keyClick(box, Qt::Key_Return);
    }) << QStringLiteral("текст меню: Меню 1");
    QTest::newRow("parameter editor Ok") << Change([](UndoTest& t) {
        t.window().openBlock(8 + 7); // block 7, a PID block
        BlockParameterEditor& e = t.app().parameterEditor();
        QVERIFY(e.isVisible());
        QLineEdit* value = nullptr;
        for (QLineEdit* l : e.findChildren<QLineEdit*>())
            if (!value && l->isVisible() && l->isEnabled() && l->objectName().startsWith(QStringLiteral("Value_Text_")))
                value = l;
        QVERIFY(value);
        value->selectAll();
        QTest::keyClicks(value, QStringLiteral("7"));
        click(&e, QStringLiteral("Ok_Property"));
    }) << QStringLiteral("параметры: блок 7");
    QTest::newRow("MODBUS dialog Ok") << Change([](UndoTest& t) {
        const int n = t.rs485Block();
        QVERIFY(n > 0);
        t.window().openBlock(8 + n);
        BlockParameterEditor& e = t.app().parameterEditor();
        QTest::mouseClick(child<QWidget>(&e, QStringLiteral("Bl_Image")), Qt::LeftButton);
        QWidget* d = e.modbusDialog();
        QVERIFY(d && d->isVisible());
        QTest::mouseClick(child<QWidget>(d, QStringLiteral("Enable_Box_3")), Qt::LeftButton);
        click(d, QStringLiteral("Ok_Go_Block"));
        QVERIFY(!d->isVisible());
        QCOMPARE(t.history().undoText(), QStringLiteral("каналы MODBUS: блок %1").arg(n));
        click(&e, QStringLiteral("Cancel_Property"));
    }) << QStringLiteral("каналы MODBUS: блок %1");
    QTest::newRow("step editor field") << Change([](UndoTest& t) {
        t.window().openBlock(8 + 14); // the algorithm block
        StepEditor& e = t.app().stepEditor();
        QTRY_VERIFY_WITH_TIMEOUT(e.isVisible(), 5000);
        QComboBox* next = child<QComboBox>(&e, QStringLiteral("Go_Step_then"));
        pick(next, next->currentIndex() == 3 ? 4 : 3);
        // One confirmed edit is one step, before the window closes.
        QCOMPARE(t.history().undoText(), QStringLiteral("шаг алгоритма: блок 14"));
        click(&e, QStringLiteral("Cancel_ALGORITM"));
    }) << QStringLiteral("шаг алгоритма: блок 14");
    QTest::newRow("settings Ok") << Change([](UndoTest& t) {
        t.act("mnuNastrojki")->trigger();
        SettingsDialog& d = t.window().settingsDialog();
        QComboBox* controller = child<QComboBox>(&d, QStringLiteral("Combo2"));
        controller->setCurrentIndex(controller->currentIndex() == 5 ? 6 : 5);
        click(&d, QStringLiteral("Ok"));
    }) << QStringLiteral("настройки проекта");
    QTest::newRow("version") << Change([](UndoTest& t) { t.act("mnuHelp3")->trigger(); })
                             << QStringLiteral("выбор версии");
    QTest::newRow("netlist re-import") << Change([](UndoTest& t) {
        t.ui().fileAnswers << QStringLiteral(OSTREL_TEST_DATA "/shell/scheme.net"); // another scheme
        t.act("mnuNetlist")->trigger();
    }) << QStringLiteral("импорт Netlist");
    QTest::newRow("drawing import") << Change([](UndoTest& t) {
        t.ui().fileAnswers << kExamples + QStringLiteral("/boiler_algorithm.net");
        t.window().openBlock(8 + 14, Qt::RightButton);
    }) << QStringLiteral("импорт алгоритма");
}

void UndoTest::undoRestoresTheFile()
{
    QFETCH(Change, change);
    QFETCH(QString, step);
    openPrepared();
    if (step.contains(QStringLiteral("%1"))) {
        // The example's RS485 block talks MODBUS, so that its channel window opens.
        QVERIFY(rs485Block() > 0);
        ws().blocks.param(rs485Block(), 1) = 2;
        step = step.arg(rs485Block());
    }
    const QByteArray before = save(QStringLiteral("before.prt"));
    QVERIFY(!before.isEmpty());
    const QString title = window().windowTitle();
    QVERIFY(!title.endsWith(QStringLiteral(" *")));
    const int steps = history().steps();

    change(*this);
    QVERIFY(window().isEnabled());
    QCOMPARE(history().steps(), steps + 1);
    QCOMPARE(act("mnuUndo")->text(), QStringLiteral("&Отменить ") + step);
    QVERIFY(act("mnuUndo")->isEnabled());
    QVERIFY(window().windowTitle().endsWith(QStringLiteral(" *")));
    const QByteArray after = save(QStringLiteral("after.prt"));
    QVERIFY(after != before);
    QVERIFY(!window().windowTitle().endsWith(QStringLiteral(" *")));

    act("mnuUndo")->trigger();
    QCOMPARE(act("mnuRedo")->text(), QStringLiteral("&Повторить ") + step);
    // The title names the project as it is again, with the unsaved mark.
    QCOMPARE(window().windowTitle(), title + QStringLiteral(" *"));
    const QByteArray undone = save(QStringLiteral("undone.prt"));
    QCOMPARE(undone, before);

    act("mnuRedo")->trigger();
    QVERIFY(!act("mnuRedo")->isEnabled());
    QCOMPARE(save(QStringLiteral("redone.prt")), after);
    // Ctrl+Z goes back once more, and the canvas shows what the model holds.
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    window().pageTabs().setFocus();
    QTest::keyClick(&window(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(save(QStringLiteral("undone2.prt")), before);
    QTest::keyClick(&window(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(save(QStringLiteral("redone2.prt")), after);
}

// Twenty mouse moves with the button held are one step; the canvas follows
// the undo.
void UndoTest::dragIsOneStep()
{
    openPrepared();
    save(QStringLiteral("before.prt"));
    const int steps = history().steps();
    const ElementRef param{ObjectKind::Parametr, kPage, 1};
    const QPoint start = prog->canvas().elementItem(param)->pos().toPoint();
    QSignalSpy redraws(&app().scadaEditor(), &ScadaEditor::pagesChanged);
    drag(start + QPoint(5, 5), start + QPoint(45, 65), 20);
    QVERIFY(!redraws.isEmpty());
    window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window()));
    QCOMPARE(history().steps(), steps + 1);
    QCOMPARE(prog->canvas().elementItem(param)->pos().toPoint(), start + QPoint(40, 60));
    redraws.clear();
    QTest::keyClick(&window(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(prog->canvas().elementItem(param)->pos().toPoint(), start);
    QCOMPARE(redraws.size(), 1); // a preview of the pages follows the undo
    QTest::keyClick(&window(), Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(prog->canvas().elementItem(param)->pos().toPoint(), start + QPoint(40, 60));
}

void UndoTest::undoBackToTheSavedStateClearsTheMark()
{
    openPrepared();
    save(QStringLiteral("saved.prt"));
    const QString title = window().windowTitle();
    prog->changeFillColour(QColor(1, 2, 3));
    prog->changeFillColour(QColor(4, 5, 6));
    QCOMPARE(window().windowTitle(), title + QStringLiteral(" *"));
    act("mnuUndo")->trigger();
    QCOMPARE(window().windowTitle(), title + QStringLiteral(" *"));
    act("mnuUndo")->trigger();
    QCOMPARE(window().windowTitle(), title);
    // "&Сохранить проект" proposes the file last saved to.
    ui().proposedNames.clear();
    act("MnuSave")->trigger();
    QCOMPARE(ui().proposedNames, QStringList{tmp->filePath(QStringLiteral("saved.prt"))});
}

void UndoTest::closeQuestion_data()
{
    QTest::addColumn<int>("answer");   // Answer
    QTest::addColumn<QString>("saveTo"); // the save dialog's answer ("" = cancelled)
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    QTest::newRow("Да, saved") << int(Answer::Yes) << QStringLiteral("out.prt") << true << true;
    QTest::newRow("Да, dialog cancelled") << int(Answer::Yes) << QString() << false << false;
    QTest::newRow("Да, save fails") << int(Answer::Yes) << QStringLiteral("no-such-folder/out.prt") << false << false;
    QTest::newRow("Нет") << int(Answer::No) << QString() << true << false;
    QTest::newRow("Отмена") << int(Answer::Cancel) << QString() << false << false;
}

void UndoTest::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(QString, saveTo);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    openPrepared();
    save(QStringLiteral("saved.prt"));
    prog->changeFillColour(QColor(9, 8, 7));
    const QString title = window().windowTitle();
    ui().choiceAnswers = {Answer(answer)};
    ui().fileAnswers = {saveTo.isEmpty() ? QString() : tmp->filePath(saveTo)};
    QCOMPARE(window().close(), closes);
    QCOMPARE(ui().questions.size(), 1);
    QCOMPARE(ui().questions[0].text, QStringLiteral("Сохранить изменения в проекте?"));
    QCOMPARE(ui().questions[0].title, QStringLiteral("Сохранение проекта"));
    QCOMPARE(QFile::exists(tmp->filePath(QStringLiteral("out.prt"))), written);
    if (!closes) {
        QVERIFY(window().isVisible());
        QCOMPARE(window().windowTitle(), title);
        QCOMPARE(ws().pages.fill_color[kPage], colorValue(QColor(9, 8, 7)));
    }
    if (saveTo.startsWith(QStringLiteral("no-such")))
        QCOMPARE(ui().texts(), QStringList{QStringLiteral("Файл заблокирован!!!")});
}

// "&Создать проект", "&Открыть проект" and a file from the command line ask
// first; "Отмена" leaves everything as it was.
void UndoTest::replacingAProjectAsksFirst()
{
    openPrepared();
    save(QStringLiteral("saved.prt"));
    // Saved: closing asks nothing.
    ui().questions.clear();
    QVERIFY(window().close());
    QVERIFY(ui().questions.isEmpty());
    prog->window->show();
    prog->changeFillColour(QColor(9, 8, 7));
    for (const char* item : {"mnuNEW", "mnuLoad", ""}) {
        ui().questions.clear();
        ui().askedFilters.clear();
        ui().choiceAnswers = {Answer::Cancel};
        if (*item)
            act(item)->trigger();
        else
            window().openProjectFromCommandLine(tmp->filePath(QStringLiteral("saved.prt")));
        QCOMPARE(ui().questions.size(), 1);
        QVERIFY(ui().askedFilters.isEmpty());
        QVERIFY(!window().settingsDialog().isVisible());
        QCOMPARE(ws().pages.fill_color[kPage], colorValue(QColor(9, 8, 7)));
    }
    // "Нет": the saved file opens, with no step to undo.
    ui().choiceAnswers = {Answer::No};
    window().openProjectFromCommandLine(tmp->filePath(QStringLiteral("saved.prt")));
    QVERIFY(ws().pages.fill_color[kPage] != colorValue(QColor(9, 8, 7)));
    QVERIFY(!act("mnuUndo")->isEnabled());
    QVERIFY(!window().windowTitle().endsWith(QStringLiteral(" *")));
}

// A run that changed the example and was killed leaves its copy; the next
// start offers it, "Да" opens it unsaved, and its save is the file the
// killed run would have saved.
void UndoTest::recoveryAfterAKill()
{
    const QString copies = tmp->filePath(QStringLiteral("copies"));
    QDir().mkpath(tmp->filePath(QStringLiteral("project")));
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--recovery-run"), copies, tmp->filePath(QStringLiteral("project"))});
    QVERIFY(run.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(copies).entryList({QStringLiteral("recovery-*.json")}, QDir::Files).isEmpty(), 20000);
    QCOMPARE(run.state(), QProcess::Running);
    run.kill(); // SIGKILL
    QVERIFY(run.waitForFinished());
    QCOMPARE(run.exitStatus(), QProcess::CrashExit);

    // What the killed run had: the example with its changed fill colour.
    QVERIFY(prog->openExample(tmp->path()));
    prog->changeFillColour(QColor(10, 20, 30));
    const QByteArray expected = save(QStringLiteral("expected.prt"));
    prog.reset();

    RecoveryOptions options;
    options.dir = copies;
    prog = std::make_unique<Program>(options);
    ui().questionAnswers = {true};
    QVERIFY(app().offerRecovery());
    QCOMPARE(ui().questions.size(), 1);
    QVERIFY2(ui().questions[0].text.startsWith(QStringLiteral("Найдена несохранённая копия проекта boiler.prt от ")),
             qPrintable(ui().questions[0].text));
    QVERIFY(ui().questions[0].text.endsWith(QStringLiteral(". Восстановить?")));
    QVERIFY(window().windowTitle().endsWith(QStringLiteral(" *")));
    QCOMPARE(window().projectPath(), QDir(tmp->filePath(QStringLiteral("project"))).filePath(QStringLiteral("boiler.prt")));
    QCOMPARE(save(QStringLiteral("recovered.prt")), expected);
    // The save took the copy away: nothing is offered at the next start.
    QVERIFY(QDir(copies).entryList({QStringLiteral("recovery-*.prt")}, QDir::Files).isEmpty());

    // "Нет" deletes a copy left behind.
    for (const char* name : {"recovery-1.prt", "recovery-1.json"}) {
        QFile f(copies + u'/' + QLatin1String(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(name).endsWith(".prt") ? expected : QByteArray(R"({"name": "x.prt"})"));
    }
    ui().questions.clear();
    ui().questionAnswers = {false};
    QVERIFY(!app().offerRecovery());
    QCOMPARE(ui().questions.size(), 1);
    QVERIFY(!QFile::exists(copies + QStringLiteral("/recovery-1.prt")));
}

// The killed run: opens the example in `folder`, changes the fill colour of
// page 8 and writes its recovery copy into `copies` within 100 ms.
static int recoveryRun(const QString& copies, const QString& folder)
{
    RecoveryOptions options;
    options.dir = copies;
    options.intervalMs = 100;
    Program p(options);
    if (!p.openExample(folder))
        return 2;
    p.changeFillColour(QColor(10, 20, 30));
    return QApplication::exec();
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--recovery-run") == 0)
        return recoveryRun(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    UndoTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "test_undo.moc"
