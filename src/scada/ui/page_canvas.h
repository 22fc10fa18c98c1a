#pragma once
// One SCADA page on screen: a QGraphicsView over an 800 x 480 scene with one
// item per element object (the page's used elements, the templates shown on
// this page), the background, the selection frame and the resize handle.
// Items draw through the page painter's functions, so the static kinds look
// exactly as in the page image sent to the controller.
//
// Mouse actions go to the PageEditor; what it changed is announced by
// pageChanged, and whoever owns the canvases hands those changes back to
// every canvas through apply(), which refreshes only the items they name.
#include "scada/page_editing.h"

#include <QGraphicsView>
#include <QImage>
#include <QList>
#include <array>

class QGraphicsItem;
class QGraphicsScene;
class QLineEdit;

namespace ostrel {

class Interaction;

class ElementPictures;
class PagePainter;

struct PageCanvasContext {
    ScadaPages& pages;
    PageEditorState& state;
    PageEditor& editor;
    const ElementPictures& pictures;
    PagePainter& painter;   // keeps the users' control pictures loaded
    Interaction* ui = nullptr; // refuses what the project file cannot hold in menu texts
};

namespace canvas_detail {
class ElementItem;
class BackgroundItem;
class FrameItem;
class HandleItem;
}

class PageCanvas : public QGraphicsView {
    Q_OBJECT
public:
    PageCanvas(PageCanvasContext context, int page, QWidget* parent = nullptr);
    ~PageCanvas() override;

    int page() const { return page_; }
    // Where background and control pictures named without a usable full
    // path are looked for.
    void setProjectFolder(const QString& folder);
    const QString& projectFolder() const { return folder_; }

    // Every item again from the model: background, elements, templates,
    // frame and handle.
    void rebuild();
    // Brings the items in line with the model after its records were put
    // back (undo, redo): items of elements gone go, the others are refreshed
    // (moved only when they moved), new ones are made; background and frame follow.
    void resync();
    // Refreshes what the changes name on this page (other pages are skipped).
    void apply(const PageChanges& changes);
    // Repaints every element (the captions and previews of the page).
    void refreshElements();

    // The item of an element object or template on this page; nullptr when
    // it has none.
    QGraphicsItem* elementItem(const ElementRef& ref) const;
    QGraphicsItem* frameItem() const;
    QGraphicsItem* handleItem() const;
    // The text box of menu element `number` (1..8) on this page.
    QLineEdit* menuTextBox(int number) const;
    int elementItemCount() const;

    // The page as shown (everything visible).
    QImage renderPage();
    // The static layer as the controller's page image has it: background,
    // controls, mechanisms, menus, texts and figures, without the editor's
    // decorations.
    QImage renderStaticLayer();
    // The colour of the page under `pos`, without the frame and the handle.
    QColor colorAt(QPoint pos);

signals:
    // A mouse action changed the pages or the editor state.
    void pageChanged(const PageChanges& changes);
    void elementDoubleClicked(const ElementRef& ref);
    // A right-button press on the page: the "&Редактировать" menu.
    void contextMenuRequested(const QPoint& globalPos);
    // A mouse gesture that may have changed the page ended (the button was
    // released after a drag or a resize, a menu text was typed); `name`
    // names it ("перемещение: Параметр 3"). One gesture is one undo step.
    void gestureFinished(const QString& name);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class canvas_detail::ElementItem;
    friend class canvas_detail::BackgroundItem;
    friend class canvas_detail::HandleItem;

    canvas_detail::ElementItem*& slot(const ElementRef& ref);
    canvas_detail::ElementItem* const* slotIfAny(const ElementRef& ref) const;
    void refreshElement(const ElementRef& ref);
    void removeElement(const ElementRef& ref);
    void refreshFrame();
    void refreshHandle();
    void refreshBackground(const QImage& picture);
    QImage render(const QRect& source, bool withMarks);
    void announce(const PageChanges& changes);
    void openContextMenu(QPoint scenePos, QPoint globalPos);
    // A drag or resize under way takes its name; the release announces it.
    void gestureUnderWay(const QString& name) { gesture_ = name; }
    void finishGesture();

    PageCanvasContext ctx_;
    const int page_;
    QString folder_;
    QGraphicsScene* scene_ = nullptr;
    canvas_detail::BackgroundItem* background_ = nullptr;
    canvas_detail::FrameItem* frame_ = nullptr;
    canvas_detail::HandleItem* handle_ = nullptr;
    // Items by object kind and element number (templates at 0; graph and clock at 1).
    std::array<std::array<canvas_detail::ElementItem*, ScadaPages::kTextSlots>, 12> items_{};
    QList<QGraphicsItem*> removed_;   // taken off the page, deleted after the current event
    bool staticOnly_ = false;        // painting the controller's layer
    QString gesture_;                // the name of the drag or resize under way
};

} // namespace ostrel
