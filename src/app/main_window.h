#pragma once
// Config_SCADA: the main window. Owns the menus, the idle logo, the scheme
// overview and the eight page tabs, switches between scheme and SCADA mode,
// selects the controller version and routes clicks on block pictures. The
// editors of other parts are reached through the signals below; the window
// itself opens only the settings dialog.
#include "app/shell_state.h"
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QTabWidget;

namespace ostrel {

struct Workspace;
class Interaction;
class SchemeOverview;
class SettingsDialog;

// The items of the "&SCADA" menu, for the page editor to connect.
struct ScadaActions {
    QAction* background = nullptr;    // "&Установить фон SCADA"
    QAction* fillColor = nullptr;     // "&Цвет заливки фона"
    QAction* lock = nullptr;          // "&Блокировка элементов" (checkable)
    QAction* grid = nullptr;          // "&Координатная сетка"
    QAction* showGrid = nullptr;      // "Показать сетку" (checkable)
    QAction* line = nullptr;          // "&Линия" (no action)
    QAction* figura = nullptr;        // "&Фигура"
    QAction* menu = nullptr;          // "&Меню"
    QAction* text = nullptr;          // "&Текст"
    QAction* goBlock = nullptr;       // "&Переход в блок"
    QAction* parametr = nullptr;      // "&Параметр"
    QAction* level = nullptr;         // "&Уровень"
    QAction* signal = nullptr;        // "&Сигнализация"
    QAction* textSignal = nullptr;    // "&Текстовая сигнализация"
    QAction* vent = nullptr;          // "&Механизм"
    QAction* control = nullptr;       // "&Управление"
    QAction* grafik = nullptr;        // "&График"
    QAction* clock = nullptr;         // "&Часы"
    QAction* preview = nullptr;       // "&Просмотр на панели" (F5), after a separator
};

// The items of the "&Редактировать" menu (the page's context menu as well).
struct EditActions {
    QAction* copy = nullptr;          // "&Копировать" (the default item)
    QAction* paste = nullptr;         // "&Вставить"
    QAction* remove = nullptr;        // "&Удалить" (Delete)
    QAction* cut = nullptr;           // "&Вырезать" (Ctrl+X): copy, then delete
    QAction* selectAll = nullptr;     // "Выделить &всё" (Ctrl+A)
    QAction* deselect = nullptr;      // "Снять выделение" (Esc)
    QMenu* align = nullptr;           // "Выровнять"
    QMenu* distribute = nullptr;      // "Распределить"
    // "Выровнять": left, right, top, bottom edges, horizontal, vertical centres.
    std::array<QAction*, 6> alignItems{};
    // "Распределить": horizontally, vertically.
    std::array<QAction*, 2> distributeItems{};
    QAction* undo = nullptr;          // "&Отменить" (Ctrl+Z)
    QAction* redo = nullptr;          // "&Повторить" (Ctrl+Y, Ctrl+Shift+Z)
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPages = 8;

    MainWindow(Workspace& ws, Interaction& ui, QWidget* parent = nullptr);
    ~MainWindow() override;

    Workspace& workspace() { return ws_; }
    Interaction& interaction() { return ui_; }
    // The current page and the settings dialog's opening mode.
    ShellState& shell() { return shell_; }

    // Menu item or separator by its control name (nullptr when unknown).
    QAction* action(const QString& name) const;
    // Menu by its control name, including the context menu "mnuEdit".
    QMenu* menu(const QString& name) const;
    QMenu* editMenu() const { return editMenu_; }
    const ScadaActions& scadaActions() const { return scadaActions_; }
    const EditActions& editActions() const { return editActions_; }

    SettingsDialog& settingsDialog() { return *settings_; }
    SchemeOverview& overview() { return *overview_; }
    QTabWidget& pageTabs() { return *tabs_; }
    // The canvas of page p (0..7); a placeholder until the page editor sets its own.
    QWidget* pageCanvas(int page) const;
    // Puts `canvas` into tab `page` in place of the current one (which is deleted).
    void setPageCanvas(int page, QWidget* canvas);
    void setPageTabCaption(int page, const QString& caption);

    bool projectExists() const { return projectExists_; }
    bool inScadaMode() const { return scadaMode_; }

    // What a version menu item does: version_code, title, check marks,
    // "&Механизм" and the catalog counts.
    void selectVersion(int code);
    // What a project file's version line does: version_code, check marks and
    // catalog counts, but neither the title nor "&Механизм".
    void applyProjectVersion(int code);
    // The title without the unsaved mark; " *" follows it while the project
    // has unsaved changes.
    void setTitle(const QString& title);
    QString baseTitle() const { return title_; }
    void setUnsavedMark(bool unsaved);
    // The version's check marks and "&Механизм" (an undone version choice).
    void showVersion(int code);
    // The title of an open project: its version and netlist.
    void showProjectTitle();
    // "&Отменить" and "&Повторить" with the names of their steps; an empty
    // name greys the item.
    void setUndoRedoTexts(const QString& undoName, const QString& redoName);

    // Asked before the project is closed or replaced (close, "&Создать
    // проект", "&Открыть проект", a file on the command line): false keeps it.
    void setDiscardCheck(std::function<bool()> check) { discardCheck_ = std::move(check); }
    // The file the project was opened from or last saved to; "&Сохранить
    // проект" proposes it.
    void setProjectPath(const QString& path) { projectPath_ = path; }
    const QString& projectPath() const { return projectPath_; }
    // The save dialog of "&Сохранить проект"; empty when cancelled.
    QString askSavePath();

    void showSchemeMode();
    void showScadaMode();
    // Selects page tab p (0..7); current_page follows, as for a click.
    void selectPage(int page);

    void newProject();        // "&Создать проект"
    void openSettings();      // "&Настройки"
    void openNetlist();       // "&Открыть Netlist P-CAD"
    // "&Открыть проект": asks for the file and hands it on.
    void openProject();
    // "&Сохранить проект": asks for the file name and hands it on.
    void saveProject();
    // Opens the project named on the command line (no file dialog).
    void openProjectFromCommandLine(const QString& path);

    // After a project file was read: shows "&Открыть Netlist P-CAD" and its separator.
    void showNetlistMenuItem();
    // After a project file and its netlist were read: enables the window,
    // shows the project menus, sets the title by version, redraws the overview.
    void showProjectOpened();
    // Redraws the scheme overview from the block table.
    void redrawScheme();
    // The idle logo in the client area (shown while no project exists).
    void showLogo(bool visible);

    // The click on overview picture k (1..84) with the given button.
    void openBlock(int k, Qt::MouseButton button = Qt::LeftButton);

    // Windows of other parts that must close with the main window. They must
    // be top-level windows without a Qt parent (a child window would be
    // disabled together with the main window).
    void registerSecondaryWindow(QWidget* window);
    // Shows a registered (or new) secondary window, disabling this window
    // until that one closes or is hidden.
    void showChildWindow(QWidget* window);

signals:
    // A click on a block picture: cur_block and cur_block_type are set; the
    // algorithm block goes to the loading window and then the step editor,
    // every other block to the parameter editor.
    void openParameterEditorRequested(int block);
    void openAlgorithmEditorRequested(int block);
    // A right-button press on an algorithm block picture.
    void algorithmDrawingImportRequested(int block);
    void openProjectPathRequested(const QString& path);
    void saveProjectPathRequested(const QString& path);
    void writeSchemeRequested();
    void writePageRequested();
    void writeAllPagesRequested();
    void writePlantRequested();
    // "&Что изменится" and "&Проверить проект".
    void whatChangesRequested();
    void checkProjectRequested();
    // Mode switches, for the page blink timer and the page previews.
    void schemeModeEntered();
    void scadaModeEntered();
    void currentPageChanged(int page);
    // "Ok" of the settings dialog opened by "&Создать проект".
    void projectStarted();
    // "Ok" of the settings dialog of the open project.
    void settingsChanged();
    // A version menu item was chosen.
    void versionChosen();
    // "&Открыть Netlist P-CAD" imported a netlist into the open project.
    void netlistReimported();
    void undoRequested();
    void redoRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildClientArea();
    QAction* addItem(QMenu* menu, const QString& caption, const char* name);
    QAction* addSeparator(QMenu* menu, const char* name);
    void settingsConfirmed(bool newProject);
    void showProjectMenus();
    void setPageEditItemsEnabled(bool enabled);
    void closeSecondaryWindows();
    void drawOverview();
    void tabChanged(int index);

    Workspace& ws_;
    Interaction& ui_;
    ShellState shell_;
    std::unique_ptr<SettingsDialog> settings_;
    QWidget* logo_ = nullptr;
    SchemeOverview* overview_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<QWidget*, kPages> canvases_{};
    QMenu* editMenu_ = nullptr;
    ScadaActions scadaActions_;
    EditActions editActions_;
    std::array<QAction*, 4> versionItems_{};
    QList<QPointer<QWidget>> secondary_;
    QList<QPointer<QWidget>> modalChildren_;
    bool projectExists_ = false;
    bool scadaMode_ = false;
    QString title_;
    bool unsaved_ = false;
    QString projectPath_;
    std::function<bool()> discardCheck_;
};

} // namespace ostrel
