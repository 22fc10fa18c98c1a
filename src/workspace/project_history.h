#pragma once
// Undo and redo of every change of the project, one step per user action.
//
// The history keeps a shadow copy of the project as it stood after the last
// step. A step is taken by commit(): the live project is compared with the
// shadow, table by table, and only what differs is kept (the record, the
// store entry, the setting, with its value before and after). So nothing
// that changes the project has to know about undo: the windows call commit()
// when a user action ends (a drag released, a dialog closed, a menu command
// done), and whatever that action changed becomes one step. A change made
// without a commit of its own is taken into the next step.
//
// Undo and redo write the kept values back into the project and into the
// shadow, and report what they touched so that the windows redraw it. The
// saved/unsaved mark is the stack's clean state: undoing back to the saved
// state makes the project clean again.
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace ostrel {

struct Workspace;
struct ProjectShadow;

// What a step touched.
struct HistoryEffect {
    uint16_t pages = 0;       // bit p: page p's records, background or grid
    bool scheme = false;      // block table, parameters, texts, wiring
    bool algorithm = false;   // step comments, call flags
    bool settings = false;    // project settings
    bool version = false;     // version_code (the catalog counts follow it)

    bool any() const { return pages != 0 || scheme || algorithm || settings || version; }
    void merge(const HistoryEffect& o);
};

class ProjectHistory : public QObject {
    Q_OBJECT
public:
    explicit ProjectHistory(Workspace& ws);
    ~ProjectHistory() override;

    // The project was replaced (opened, created, recovered): no step before
    // it, and it counts as saved.
    void reset();

    // Ends a user action: what changed since the last step becomes one step
    // named `label` ("перемещение: Параметр 3"). Nothing is kept when nothing
    // changed. True when a step was added.
    bool commit(const QString& label);
    // Takes what changed since the last step into the history's copy without
    // a step: values the program itself brought into their stored form.
    void absorb();
    // True when the project differs from the last step (a change not yet
    // committed).
    bool hasUncommittedChanges() const;

    bool canUndo() const { return stack_.canUndo(); }
    bool canRedo() const { return stack_.canRedo(); }
    // Names of the steps undo and redo would take back or do again.
    QString undoText() const { return stack_.undoText(); }
    QString redoText() const { return stack_.redoText(); }
    void undo();
    void redo();
    int steps() const { return stack_.count(); }

    // Saved state: the project as it is now was written to its file.
    bool isClean() const { return stack_.isClean(); }
    void setClean() { stack_.setClean(); }
    // No state counts as saved (a recovered copy that was never saved).
    void forgetClean() { stack_.resetClean(); }

    // Bytes kept by the steps (their values before and after), for the
    // memory budget of the history.
    size_t keptBytes() const;

    // Told after every undo and redo, with what was written back.
    void setOnApplied(std::function<void(const HistoryEffect&)> f) { onApplied_ = std::move(f); }

    QUndoStack& stack() { return stack_; }

signals:
    // Undo, redo, a new step or a reset: the menu items and the title follow.
    void changed();

private:
    friend class HistoryStep;
    void applied(const HistoryEffect& effect);

    Workspace& ws_;
    std::unique_ptr<ProjectShadow> shadow_;
    QUndoStack stack_;
    std::function<void(const HistoryEffect&)> onApplied_;
};

} // namespace ostrel
