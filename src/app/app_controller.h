#pragma once
// Connects the main window to the windows and commands of the other parts:
// the parameter editor, the loading window and the step editor, the drawing
// import, the project file and the writes into the controller. Owns those
// secondary windows; the main window closes them at shutdown.
#include <QList>
//
// It also keeps the project's undo history: every user action that may have
// changed the project ends in commit(name), undo and redo redraw the windows
// from the model, the title carries the unsaved mark, a project with unsaved
// changes is not closed or replaced without the question "Сохранить
// изменения в проекте?", and while changes are unsaved a recovery copy is
// written for the next start to offer.
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace ostrel {

inline const QString kSchemeWithoutNetlistMessage =
    QStringLiteral("Схема не загружена из netlist: запись схемы в Ostrel невозможна!");
inline const QString kSaveChangesTitle = QStringLiteral("Сохранение проекта");
inline const QString kSaveChangesQuestion = QStringLiteral("Сохранить изменения в проекте?");

// Where recovery copies go and how often they are written; no folder, no copies.
struct RecoveryOptions {
    QString dir;
    int intervalMs = 60000;
};

struct Workspace;
class Interaction;
class MainWindow;
class BlockParameterEditor;
class StepEditor;
class LoadingWindow;
class SchemeWriteController;
class ElementPictures;
class PagePainter;
class ScadaEditor;
class CheckWindow;
class PlantWindow;
class ChangesWindow;
struct CheckScope;
struct Place;
class PanelPreview;
class PanelPreviewWindow;
class ProjectHistory;
class RecoveryStore;
struct ProjectReadResult;

class AppController : public QObject {
    Q_OBJECT
public:
    AppController(Workspace& ws, Interaction& ui, MainWindow& window, RecoveryOptions recovery = {});
    ~AppController() override;

    BlockParameterEditor& parameterEditor() { return *paramEditor_; }
    StepEditor& stepEditor() { return *stepEditor_; }
    LoadingWindow& loadingWindow() { return *loading_; }
    SchemeWriteController& writer() { return *writer_; }
    // The element pictures and the page painter of the run (page writes).
    ElementPictures& pictures() { return *pictures_; }
    PagePainter& pagePainter() { return *painter_; }
    // Folder of the project file once one was opened or saved, else the
    // current folder: pictures named by file name only are looked for there.
    QString projectFolder() const;
    ScadaEditor& scadaEditor() { return *scada_; }
    // "Просмотр панели" and the preview it shows.
    PanelPreview& panelPreview() { return *preview_; }
    PanelPreviewWindow& panelPreviewWindow() { return *previewWindow_; }
    // The sample values of the preview: NAME-values.json beside the project
    // file (NAME its file name without ".prt"; the project's name before it
    // was saved).
    QString valuesFile() const;

    CheckWindow& checkWindow() { return *checkWindow_; }
    PlantWindow& plantWindow() { return *plantWindow_; }
    // "&Записать установку…": a plant file chosen, read and its projects
    // checked, then every controller written in "Запись установки".
    void writePlant();
    ChangesWindow& changesWindow() { return *changesWindow_; }
    // NAME.journal beside the project file; empty while the project has no
    // file (a new project not saved yet), whose writes are not journalled.
    QString journalPath() const;

    // "&Проверить проект": the check of the whole project in its window.
    void checkProject();
    // "&Что изменится": the project against the journal's last writes.
    void showWhatChanges();
    // A double-click in the check window: the place in its mode and page,
    // the element framed, the block's parameter editor or the step.
    void showPlace(const Place& place);

    // Opens a project file (the command line and "&Открыть проект" end here).
    bool openProjectFile(const QString& path);
    // Writes the project file (the save dialog ends here).
    bool saveProjectFile(const QString& path);
    // "&Сохранить проект" with its dialog; false when cancelled or failed.
    bool saveWithDialog();

    ProjectHistory& history() { return *history_; }
    // Ends a user action: what it changed becomes one undo step named `name`.
    void commit(const QString& name);
    void undo();
    void redo();
    // Before the project is closed or replaced: true when it may go (saved,
    // nothing to save, "Да" and a save that went through, or "Нет").
    bool confirmDiscard();

    // Start-up: offers the recovery copies a run left behind; true when one
    // was opened.
    bool offerRecovery();
    // Writes the recovery copy now (the timer's slot); false when it failed.
    bool writeRecoveryCopy();
    RecoveryStore* recoveryStore() { return recovery_.get(); }

private:
    void openParameterEditor(int block);
    void openAlgorithmEditor(int block);
    void importAlgorithmDrawing(int block);
    // Runs the check of what a write sends: no error, the write starts at
    // once; else the check window shows the problems and the write waits for
    // "Записать всё равно".
    void checkedWrite(const CheckScope& scope, std::function<void()> write);
    void writeScheme();
    void writeAllPages();
    void journalPart(int page, const QByteArray& sent);
    void openPanelPreview();
    // A project was opened, started or saved under another name: the
    // preview's block rows and values follow it.
    void previewProjectChanged();
    void previewBlockRows();
    // What every way of opening a project does once its file was read.
    void projectLoaded(const ProjectReadResult& r, const QString& folder);
    // A project was opened or created: no step before it, no copy left.
    void projectReplaced();
    void historyChanged();
    void restored(unsigned pages, bool scheme, bool settings, bool version);

    Workspace& ws_;
    Interaction& ui_;
    MainWindow& window_;
    std::unique_ptr<BlockParameterEditor> paramEditor_;
    std::unique_ptr<StepEditor> stepEditor_;
    std::unique_ptr<LoadingWindow> loading_;
    // The painter outlives the writer, whose page preparer uses it.
    std::unique_ptr<ElementPictures> pictures_;
    std::unique_ptr<PagePainter> painter_;
    std::unique_ptr<SchemeWriteController> writer_;
    std::unique_ptr<ScadaEditor> scada_;
    std::unique_ptr<CheckWindow> checkWindow_;
    std::unique_ptr<PlantWindow> plantWindow_;
    std::unique_ptr<ChangesWindow> changesWindow_;
    std::function<void()> pendingWrite_; // waits for "Записать всё равно"
    bool netlistMissing_ = false;
    std::unique_ptr<PanelPreview> preview_;
    std::unique_ptr<PanelPreviewWindow> previewWindow_;
    std::unique_ptr<ProjectHistory> history_;
    std::unique_ptr<RecoveryStore> recovery_;
    QTimer recoveryTimer_;
    bool recoveryFailureShown_ = false;
    QString projectFolder_;
    int pendingAlgBlock_ = 0;
    int pendingStep_ = -1;               // the step the step editor opens at
};

} // namespace ostrel
