#pragma once
// The property dialogs of the page elements behind one door: the canvas asks
// for the dialog of an element (or of a kind's template) and learns through
// pageChanged what the dialog did to the pages, so that it can redraw. Each
// dialog is a secondary window without a Qt parent, created on first use and
// reused; while one is open the owner window is disabled, and every way out
// (Ok, "Удалить", "Отмена", the close box) enables it again and hides the
// kind's template.
#include "scada/page_editing.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>

class QWidget;

namespace ostrel {

struct BlockTable;
class BlockCatalog;
class ElementPictures;
class Interaction;
class ElementDialog;

struct ElementDialogContext {
    ScadaPages& pages;
    PageEditor& editor;        // positions of the objects, templates, resize target
    PageEditorState& state;    // current page, PipetteColor
    const BlockTable& blocks;  // block types of the bound block numbers
    const BlockCatalog& catalog;
    Interaction& ui;
    const ElementPictures& pictures;
    // The folder in which pictures named by their file name only are looked
    // for (the project's folder); none when not given.
    std::function<QString()> projectFolder = {};
};

class ElementDialogs : public QObject {
    Q_OBJECT
public:
    // `owner` is the window disabled while a dialog is open (the main window).
    ElementDialogs(ElementDialogContext context, QWidget* owner);
    ~ElementDialogs() override;

    // Opens the dialog of the element's kind on its page: a template (number
    // 0) opens it for a new element. False when the kind has no dialog (the
    // clock) or the dialog is not available, for a ref outside the pages, and
    // while another dialog is open.
    bool open(const ElementRef& ref);
    // True while one of the dialogs is open.
    bool isOpen() const;

    // The dialog window of a kind once it was created (tests, shutdown).
    QWidget* dialog(ObjectKind kind) const;
    // Every dialog window created so far, for the owner's shutdown list.
    QList<QWidget*> windows() const;

signals:
    // What Ok, "Удалить" or "Отмена" changed (templates hidden included).
    void pageChanged(const PageChanges& changes);

private:
    // The kind's dialog, created on first use; nullptr for a kind without one.
    ElementDialog* ensure(ObjectKind kind);

    ElementDialogContext ctx_;
    QPointer<QWidget> owner_;
    std::array<std::unique_ptr<ElementDialog>, kObjectKinds> dialogs_;
};

} // namespace ostrel
