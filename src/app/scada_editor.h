#pragma once
// The SCADA page editor in the application: owns the editor state, the page
// editor, the copy buffer, the eight page canvases (put into the main
// window's page tabs), the element dialogs and the grid dialog, and connects
// the "&SCADA" menu, the "&Редактировать" context menu and the page tabs to
// them. The blink timer (500 ms) runs in SCADA mode only; its slot is tick().
// Every user action that may have changed the pages ends with edited(name):
// the application makes it one undo step.
#include "scada/page_clipboard.h"
#include "scada/page_editing.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>

namespace ostrel {

struct Workspace;
class Interaction;
class MainWindow;
class ElementPictures;
class PagePainter;
class PageCanvas;
class ElementDialogs;
class GridDialog;

class ScadaEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlinkInterval = 500;

    ScadaEditor(Workspace& ws, Interaction& ui, MainWindow& window, const ElementPictures& pictures,
                PagePainter& painter);
    ~ScadaEditor() override;

    PageEditorState& state() { return state_; }
    PageEditor& editor() { return editor_; }
    PageClipboard& clipboard() { return clipboard_; }
    PageCanvas& canvas(int page) { return *canvases_[size_t(page)]; }
    ElementDialogs& dialogs() { return *dialogs_; }
    GridDialog& gridDialog() { return *grid_; }
    QTimer& blinkTimer() { return blink_; }

    // One blink tick (the timer's slot).
    void tick();
    // Hands what a change did to every canvas and to the page tabs.
    void apply(const PageChanges& changes);
    // A project was opened or started: the editor forgets the old pages and
    // every canvas is built again; pictures are looked for in `projectFolder`.
    void projectReplaced(const QString& projectFolder);
    // Shows an element as a problem or a change names it: SCADA mode, its
    // page, and the selection frame around it.
    void showElement(const ElementRef& ref);
    // The project was saved into another folder (its pictures were copied there).
    void setProjectFolder(const QString& projectFolder);
    // The records of the pages in `pageMask` (bit p: page p) were put back
    // (undo, redo): the frame, the selection and the handle are dropped and
    // those canvases and tab captions follow the model.
    void pagesRestored(unsigned pageMask);

signals:
    // A user action that may have changed the pages ended; `name` names it
    // for the undo step ("перемещение: Параметр 3").
    void edited(const QString& name);
    // The pages' records changed (an edit, an undo or redo, a project
    // opened): whatever shows them draws again.
    void pagesChanged();

private:
    void show(const PageChanges& changes);
    void dialogEnded(const PageChanges& changes);
    void insert(ObjectKind kind);
    void openElement(const ElementRef& ref);
    void showEditMenu(const QPoint& globalPos);
    void showGridDialog();
    void syncLockMark();

    Workspace& ws_;
    Interaction& ui_;
    MainWindow& window_;
    PageEditorState state_;
    PageEditor editor_;
    PageClipboard clipboard_;
    QPointer<MainWindow> windowAlive_;
    std::array<PageCanvas*, 8> canvases_{};   // owned by the page tabs
    std::unique_ptr<ElementDialogs> dialogs_;
    std::unique_ptr<GridDialog> grid_;
    QTimer blink_;
};

} // namespace ostrel
