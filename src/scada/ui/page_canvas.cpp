#include "scada/ui/page_canvas.h"

#include "platform/ui/project_text_guard.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "scada/record_fields.h"

#include <QGraphicsItem>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

namespace ostrel {

namespace {

constexpr int kHandleSize = 6;
constexpr qreal kFrameZ = 30;
constexpr qreal kHandleZ = 31;
constexpr qreal kTemplateZ = 20;

// Drawing order (the kind table's z): the kinds of the controller's page
// image in its order, the live kinds above them, templates above every element.
qreal kindZ(ObjectKind kind)
{
    return kindInfo(kind).z;
}

// The kinds the controller's page image holds.
bool isStaticKind(ObjectKind kind)
{
    return kindInfo(kind).in_page_image;
}

bool isPageKind(ObjectKind kind)
{
    return !kindInfo(kind).numbered();
}

QPoint pixelOf(const QPointF& p)
{
    return {int(std::floor(p.x())), int(std::floor(p.y()))};
}

} // namespace

namespace canvas_detail {

// The page itself under every element: fill colour and picture; it takes the
// page's left-button events (frame, group move, double-click, pipette).
class BackgroundItem : public QGraphicsItem {
public:
    explicit BackgroundItem(PageCanvas& canvas) : canvas_(canvas)
    {
        setZValue(-1);
        setAcceptHoverEvents(true);
        setAcceptedMouseButtons(Qt::LeftButton);
    }

    void setLook(const QColor& fill, const QImage& picture)
    {
        fill_ = fill;
        picture_ = picture;
        update();
    }
    const QImage& picture() const { return picture_; }

    QRectF boundingRect() const override { return QRectF(0, 0, kPageWidth, kPageHeight); }
    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        p->fillRect(boundingRect(), fill_);
        if (!picture_.isNull())
            p->drawImage(QPoint(0, 0), picture_);
    }

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override
    {
        canvas_.ctx_.editor.pointerMoved(pixelOf(e->scenePos()));
    }
    void mousePressEvent(QGraphicsSceneMouseEvent* e) override
    {
        canvas_.announce(canvas_.ctx_.editor.pagePress(pixelOf(e->scenePos())));
        e->accept();
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent* e) override
    {
        const QPoint at = pixelOf(e->scenePos());
        if (e->buttons() & Qt::LeftButton) {
            canvas_.gestureUnderWay(QStringLiteral("перемещение группы"));
            canvas_.announce(canvas_.ctx_.editor.pageDrag(at));
        } else
            canvas_.ctx_.editor.pointerMoved(at);
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* e) override
    {
        const QPoint at = pixelOf(e->scenePos());
        PageChanges changes = canvas_.ctx_.editor.pageRelease(at);
        // A release on the page is also its click: the handle hides and the
        // pipette takes the colour under the pointer.
        changes.append(canvas_.ctx_.editor.pageClick(canvas_.colorAt(at)));
        canvas_.announce(changes);
        canvas_.finishGesture();
    }
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override
    {
        canvas_.announce(canvas_.ctx_.editor.pageDoubleClick(pixelOf(e->scenePos())));
        e->accept();
    }

private:
    PageCanvas& canvas_;
    QColor fill_ = Qt::black;
    QImage picture_;
};

} // namespace canvas_detail

bool isEmptyFrame(const QRect& rect)
{
    return rect.width() <= 1 && rect.height() <= 1;
}

namespace canvas_detail {

// The rubber-band frame: drawn over the elements, transparent to the mouse.
class FrameItem : public QGraphicsItem {
public:
    FrameItem()
    {
        setZValue(kFrameZ);
        setAcceptedMouseButtons(Qt::NoButton);
        setAcceptHoverEvents(false);
    }
    void setRect(const QRect& r)
    {
        if (r == rect_)
            return;
        prepareGeometryChange();
        rect_ = r;
    }
    QRectF boundingRect() const override { return QRectF(rect_).adjusted(-1, -1, 2, 2); }
    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        // A click without a drag leaves a frame of one pixel: nothing to show.
        if (isEmptyFrame(rect_))
            return;
        QPen pen(QColor(0, 0, 255), 1, Qt::DashLine);
        pen.setCosmetic(true);
        p->setPen(pen);
        p->setBrush(Qt::NoBrush);
        p->drawRect(rect_);
    }

private:
    QRect rect_;
};

// Handle 2 of the corner handles: a small square at the resize target's
// bottom-right corner.
class HandleItem : public QGraphicsItem {
public:
    explicit HandleItem(PageCanvas& canvas) : canvas_(canvas)
    {
        setZValue(kHandleZ);
        setAcceptedMouseButtons(Qt::LeftButton);
        setCursor(Qt::SizeFDiagCursor);
    }
    QRectF boundingRect() const override { return QRectF(0, 0, kHandleSize, kHandleSize); }
    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        p->fillRect(boundingRect(), Qt::black);
        p->fillRect(QRectF(1, 1, kHandleSize - 2, kHandleSize - 2), Qt::white);
    }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* e) override
    {
        canvas_.ctx_.editor.handlePress(pixelOf(e->scenePos()));
        e->accept();
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent* e) override
    {
        const bool left = e->buttons() & Qt::LeftButton;
        if (left)
            canvas_.gestureUnderWay(QStringLiteral("изменение размера"));
        canvas_.announce(canvas_.ctx_.editor.handleMove(pixelOf(e->scenePos()), left));
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent*) override { canvas_.finishGesture(); }

private:
    PageCanvas& canvas_;
};

// One element object (or a template): draws the element's record through
// the page painter and hands its mouse events to the page editor.
class ElementItem : public QGraphicsItem {
public:
    ElementItem(PageCanvas& canvas, const ElementRef& ref) : canvas_(canvas), ref_(ref)
    {
        setAcceptHoverEvents(true);
        setAcceptedMouseButtons(Qt::LeftButton);
        // Moving an element only moves its cached picture; it is drawn again
        // when it changes (update()). Everything is drawn without
        // antialiasing at whole pixels, so the cache is pixel-exact.
        setCacheMode(QGraphicsItem::DeviceCoordinateCache);
        setZValue(ref.isTemplate() ? kTemplateZ : kindZ(ref.kind) + ref.number / 100.0);
    }

    const ElementRef& ref() const { return ref_; }
    QLineEdit* textBox() const { return textBox_; }
    QGraphicsProxyWidget* textBoxItem() const { return textProxy_; }

    void refresh()
    {
        PageCanvasContext& c = canvas_.ctx_;
        const QPoint at = c.editor.objectPos(ref_);
        const ElementGeometry g = elementGeometry(c.pages, ref_, at);
        // Glyphs of italic or large fonts may reach a little beyond their box.
        // Only the page is ever shown: an element reaching far beyond it (a
        // damaged file may hold any size) is drawn and hit on the page only.
        const QRect page(0, 0, kPageWidth, kPageHeight);
        const QRectF painted = QRectF(g.painted.adjusted(-4, -4, 4, 4).intersected(page).translated(-at));
        const QRectF hit = QRectF(g.bounds.intersected(page).translated(-at));
        if (painted != bounds_ || hit != hit_) {
            prepareGeometryChange();
            bounds_ = painted;
            hit_ = hit;
        }
        if (at != at_ || !placed_) {
            at_ = at;
            placed_ = true;
            setPos(at);
        }
        if (ref_.kind == ObjectKind::Control)
            refreshControlPicture();
        if (ref_.kind == ObjectKind::Menu && !ref_.isTemplate())
            refreshTextBox();
        // A move keeps the cached picture; a changed look draws it again.
        const size_t look = lookKey();
        if (look != look_ || !looked_) {
            look_ = look;
            looked_ = true;
            update();
        }
    }

    QRectF boundingRect() const override { return bounds_; }
    QPainterPath shape() const override
    {
        QPainterPath path;
        path.addRect(hit_);
        return path;
    }

    void paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*) override
    {
        p->save();
        p->translate(-at_);
        withShownRecord(canvas_.ctx_.pages, ref_, at_, [&](const auto& e) { draw(*p, e); });
        p->restore();
        if (ref_.isTemplate() && !canvas_.staticOnly_) {
            // A template's record may hold the page's own colours: a dashed
            // outline in black on white shows it on any background.
            const QRect outline = hit_.toAlignedRect().adjusted(0, 0, -1, -1);
            p->setBrush(Qt::NoBrush);
            p->setPen(QPen(Qt::white, 1));
            p->drawRect(outline);
            p->setPen(QPen(Qt::black, 1, Qt::DashLine));
            p->drawRect(outline);
        }
    }

protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* e) override { hovered(e->scenePos()); }
    void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override { hovered(e->scenePos()); }

    void mousePressEvent(QGraphicsSceneMouseEvent* e) override
    {
        canvas_.ctx_.editor.elementPress(ref_, pixelOf(e->scenePos()));
        e->accept();
    }
    void mouseMoveEvent(QGraphicsSceneMouseEvent* e) override
    {
        const bool left = e->buttons() & Qt::LeftButton;
        if (left)
            canvas_.gestureUnderWay(QStringLiteral("перемещение: ") + elementName(ref_));
        canvas_.announce(canvas_.ctx_.editor.elementMove(ref_, pixelOf(e->scenePos()), left));
        setToolTip(canvas_.ctx_.editor.tooltip(ref_));
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* e) override
    {
        // A release over the object ends its click.
        if (hit_.contains(e->pos()))
            canvas_.announce(canvas_.ctx_.editor.elementClick(ref_));
        canvas_.finishGesture();
    }
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override
    {
        e->accept();
        // What the double-click opens (a dialog that disables the window, a
        // question) takes the button's release: the item would keep the
        // mouse and take the next press anywhere on the page.
        if (scene() && scene()->mouseGrabberItem() == this)
            ungrabMouse();
        emit canvas_.elementDoubleClicked(ref_);
    }

private:
    void hovered(const QPointF& scenePos)
    {
        // A mouse-move over the element without the button: clears a pending
        // menu placement, and the tooltip follows the element.
        canvas_.announce(canvas_.ctx_.editor.elementMove(ref_, pixelOf(scenePos), false));
        setToolTip(canvas_.ctx_.editor.tooltip(ref_));
    }

    // Everything the element's picture depends on except its position: the
    // shown record's fields and the blink phase's colour or text.
    size_t lookKey() const
    {
        struct Hasher {
            size_t h = 0;
            void mix(size_t v) { h = h * 1000003u ^ v; }
            void i16(int16_t& v) { mix(size_t(uint16_t(v))); }
            void i32(int32_t& v) { mix(size_t(uint32_t(v))); }
            void u8(uint8_t& v) { mix(v); }
            void text(QString& t) { mix(qHash(t)); }
        } hasher;
        const PageCanvasContext& c = canvas_.ctx_;
        withShownRecord(c.pages, ref_, at_, [&](const auto& e) {
            auto look = e;
            look.x = 0;
            look.y = 0;
            visitFields(look, hasher);
        });
        if (ref_.kind == ObjectKind::Signal)
            hasher.mix(size_t(uint32_t(c.editor.signalShownColor(ref_))));
        else if (ref_.kind == ObjectKind::TextSignal)
            hasher.mix(qHash(c.editor.textSignalShownText(ref_)));
        return hasher.h;
    }

    void refreshControlPicture()
    {
        const ControlElement* c = nullptr;
        withRecord(canvas_.ctx_.pages, ref_, [&](const auto& e) {
            if constexpr (std::is_same_v<std::decay_t<decltype(e)>, ControlElement>)
                c = &e;
        });
        if (!c || (c->picture_file == pictureFile_ && c->type == pictureType_ && !picture_.isNull()))
            return;
        pictureFile_ = c->picture_file;
        pictureType_ = c->type;
        picture_ = canvas_.ctx_.painter.controlPicture(*c, canvas_.folder_);
    }

    void refreshTextBox()
    {
        const QString& text = canvas_.ctx_.pages.menu[size_t(ref_.page)][size_t(ref_.number)].text;
        if (!textBox_) {
            textBox_ = new QLineEdit;
            textBox_->setObjectName(QStringLiteral("Menu_Text_%1").arg(ref_.objectNumber()));
            textBox_->setFrame(false);
            textBox_->setFont(labelFont(10));
            textBox_->setTextMargins(0, 0, 0, 0);
            textBox_->setFixedSize(kMenuTextSize);
            QPalette pal = textBox_->palette();
            pal.setColor(QPalette::Base, Qt::transparent);
            pal.setColor(QPalette::Text, Qt::black);
            textBox_->setPalette(pal);
            textBox_->setText(text);
            if (canvas_.ctx_.ui)
                guardProjectText(textBox_, *canvas_.ctx_.ui);
            textProxy_ = new QGraphicsProxyWidget(this);
            textProxy_->setWidget(textBox_);
            textProxy_->setPos(kMenuTextOffset);
            QObject::connect(textBox_, &QLineEdit::textEdited, &canvas_, [this](const QString& typed) {
                canvas_.announce(canvas_.ctx_.editor.setMenuText(ref_, typed));
                canvas_.gestureUnderWay(QStringLiteral("текст меню: ") + elementName(ref_));
            });
            // Typing is one step, ended when the box loses the focus or Enter.
            QObject::connect(textBox_, &QLineEdit::editingFinished, &canvas_, [this] { canvas_.finishGesture(); });
        } else if (textBox_->text() != text) {
            textBox_->setText(text);
        }
    }

    void draw(QPainter& p, const ParametrElement& e) { paintParametr(p, e, parametrCaption(ref_.number, e.digits)); }
    void draw(QPainter& p, const SignalElement& e)
    {
        const int32_t colour = canvas_.ctx_.editor.signalShownColor(ref_);
        paintSignalShape(p, signalRect(e), signalShape(e.width, e.height), recordColor(colour), e.frame == 1);
    }
    void draw(QPainter& p, const TextSignalElement& e)
    {
        // The text of the blink phase; a template shows its sample off text.
        bool on = false;
        if (!ref_.isTemplate())
            on = canvas_.ctx_.editor.textSignalShownText(ref_) != canvas_.ctx_.pages
                     .text_signal[size_t(ref_.page)][size_t(ref_.number)].text_off;
        paintTextSignal(p, e, on);
    }
    void draw(QPainter& p, const LevelElement& e) { paintLevel(p, e); }
    void draw(QPainter& p, const GoBlockElement& e) { paintGoBlock(p, e); }
    void draw(QPainter& p, const FiguraElement& e) { paintFigura(p, e); }
    void draw(QPainter& p, const VentElement& e) { paintVent(p, e, canvas_.ctx_.pictures); }
    void draw(QPainter& p, const TextElement& e) { paintText(p, e); }
    void draw(QPainter& p, const ControlElement& e)
    {
        if (e.type != 0) {
            paintControl(p, e, ref_.isTemplate() ? canvas_.ctx_.pictures.keyedButton(e.type) : picture_);
            return;
        }
        // "ПУСТО" is invisible on the display; the editor outlines it.
        if (canvas_.staticOnly_)
            return;
        QPen pen(QColor(96, 96, 96), 1, Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(controlRect(e).adjusted(0, 0, -1, -1));
    }
    void draw(QPainter& p, const MenuElement& e)
    {
        if (!textBox_ || canvas_.staticOnly_) {
            paintMenu(p, e, canvas_.ctx_.pictures);
            return;
        }
        // The text box shows the entry's text.
        MenuElement picture = e;
        picture.text.clear();
        paintMenu(p, picture, canvas_.ctx_.pictures);
    }
    void draw(QPainter& p, const GrafikElement& e) { paintGrafik(p, e); }
    void draw(QPainter& p, const ClockElement& e)
    {
        // The two labels stand on a light ground in the editor, so that the
        // black sample time shows on a dark page as well.
        if (!canvas_.staticOnly_)
            p.fillRect(clockRect(e), QColor(240, 240, 240));
        paintClock(p, e);
    }

    PageCanvas& canvas_;
    const ElementRef ref_;
    QRectF bounds_;
    QRectF hit_;
    QPoint at_;
    bool placed_ = false;
    size_t look_ = 0;         // lookKey() of what is drawn
    bool looked_ = false;
    QImage picture_;          // a control's picture, white transparent
    QString pictureFile_;
    int pictureType_ = -1;
    QLineEdit* textBox_ = nullptr;           // a menu's text box
    QGraphicsProxyWidget* textProxy_ = nullptr;
};

} // namespace canvas_detail

using canvas_detail::ElementItem;

PageCanvas::PageCanvas(PageCanvasContext context, int page, QWidget* parent)
    : QGraphicsView(parent), ctx_(context), page_(page)
{
    setObjectName(QStringLiteral("Page_SCADA_%1").arg(page));
    scene_ = new QGraphicsScene(0, 0, kPageWidth, kPageHeight, this);
    // A few hundred items at most: a linear search beats keeping an index
    // up to date while a group of them moves.
    scene_->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(scene_);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    setRenderHints({});
    setOptimizationFlags(QGraphicsView::DontAdjustForAntialiasing | QGraphicsView::DontSavePainterState);
    setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
    setFixedSize(kPageWidth, kPageHeight);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    background_ = new canvas_detail::BackgroundItem(*this);
    scene_->addItem(background_);
    frame_ = new canvas_detail::FrameItem;
    scene_->addItem(frame_);
    handle_ = new canvas_detail::HandleItem(*this);
    scene_->addItem(handle_);
    rebuild();
}

PageCanvas::~PageCanvas()
{
    qDeleteAll(removed_);
}

void PageCanvas::setProjectFolder(const QString& folder)
{
    folder_ = folder;
}

ElementItem*& PageCanvas::slot(const ElementRef& ref)
{
    const size_t n = isPageKind(ref.kind) ? 1 : size_t(ref.number);
    return items_[size_t(ref.kind)][n];
}

ElementItem* const* PageCanvas::slotIfAny(const ElementRef& ref) const
{
    if (ref.page != page_ || !isValidRef(ref))
        return nullptr;
    const size_t n = isPageKind(ref.kind) ? 1 : size_t(ref.number);
    return &items_[size_t(ref.kind)][n];
}

QGraphicsItem* PageCanvas::elementItem(const ElementRef& ref) const
{
    ElementItem* const* s = slotIfAny(ref);
    return s ? *s : nullptr;
}

QGraphicsItem* PageCanvas::frameItem() const
{
    return frame_;
}

QGraphicsItem* PageCanvas::handleItem() const
{
    return handle_;
}

QLineEdit* PageCanvas::menuTextBox(int number) const
{
    const QGraphicsItem* item = elementItem({ObjectKind::Menu, page_, number});
    return item && number > 0 ? static_cast<const ElementItem*>(item)->textBox() : nullptr;
}

int PageCanvas::elementItemCount() const
{
    int count = 0;
    for (const auto& row : items_)
        for (const ElementItem* item : row)
            count += item != nullptr;
    return count;
}

void PageCanvas::refreshElement(const ElementRef& ref)
{
    if (ref.page != page_ || !isValidRef(ref))
        return;
    bool shown = false;
    if (ref.isTemplate()) {
        const TemplateObject& t = ctx_.state.templateOf(ref.kind);
        shown = t.visible && t.page == page_;
    } else {
        shown = isOccupied(ctx_.pages, ref);
    }
    if (!shown) {
        removeElement(ref);
        return;
    }
    ElementItem*& item = slot(ref);
    if (!item) {
        const ElementRef key = isPageKind(ref.kind) ? ElementRef{ref.kind, page_, 1} : ref;
        item = new ElementItem(*this, key);
        scene_->addItem(item);
    }
    item->refresh();
}

void PageCanvas::removeElement(const ElementRef& ref)
{
    if (ref.page != page_ || !isValidRef(ref))
        return;
    ElementItem*& item = slot(ref);
    if (!item)
        return;
    // The item may be the one whose event handler is running (a clock deleted
    // by its own double-click): take it off the page now, delete it once the
    // event is over.
    ElementItem* gone = item;
    item = nullptr;
    if (scene_->mouseGrabberItem() == gone)
        gone->ungrabMouse();
    gone->hide();
    scene_->removeItem(gone);
    removed_.append(gone);
    if (removed_.size() == 1)
        QTimer::singleShot(0, this, [this] {
            qDeleteAll(removed_);
            removed_.clear();
        });
}

void PageCanvas::refreshFrame()
{
    const SelectionFrame& f = ctx_.state.frame;
    const bool here = f.visible && f.page == page_;
    if (here)
        frame_->setRect(f.rect);
    frame_->setVisible(here);
}

void PageCanvas::refreshHandle()
{
    const bool here = ctx_.state.handle_visible && ctx_.state.handle_page == page_;
    if (here)
        handle_->setPos(ctx_.state.handle_pos);
    handle_->setVisible(here);
}

void PageCanvas::refreshBackground(const QImage& chosen)
{
    QImage picture = chosen;
    if (picture.isNull() && ctx_.pages.background_kind[size_t(page_)] == 1) {
        for (const QString& path : PagePainter::backgroundCandidates(ctx_.pages, page_, folder_))
            if (!(picture = loadPicture(path)).isNull())
                break;
    }
    if (ctx_.pages.background_kind[size_t(page_)] != 1)
        picture = QImage();
    // The formats the page image is painted from.
    if (!picture.isNull())
        picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                      : QImage::Format_RGB32);
    background_->setLook(recordColor(ctx_.pages.fill_color[size_t(page_)]), picture);
}

void PageCanvas::rebuild()
{
    for (auto& row : items_)
        for (ElementItem*& item : row)
            if (item)
                removeElement(item->ref());
    for (const ElementRef& ref : ctx_.editor.pageElements(page_))
        refreshElement(ref);
    for (int k = 0; k < kNumberedKinds; ++k)
        refreshElement({ObjectKind(k), page_, 0});
    refreshFrame();
    refreshHandle();
    refreshBackground({});
}

void PageCanvas::resync()
{
    QList<ElementRef> shown;
    for (const auto& row : items_)
        for (const ElementItem* item : row)
            if (item)
                shown << item->ref();
    for (const ElementRef& ref : shown)
        refreshElement(ref);
    for (const ElementRef& ref : ctx_.editor.pageElements(page_))
        refreshElement(ref);
    refreshFrame();
    refreshHandle();
    refreshBackground({});
}

void PageCanvas::refreshElements()
{
    for (auto& row : items_)
        for (ElementItem* item : row)
            if (item)
                item->refresh();
}

void PageCanvas::apply(const PageChanges& changes)
{
    for (const ElementRef& ref : changes.removed)
        if (ref.page == page_)
            removeElement(ref);
    for (const ElementRef& ref : changes.created)
        if (ref.page == page_)
            refreshElement(ref);
    for (const ElementRef& ref : changes.updated)
        if (ref.page == page_)
            refreshElement(ref);
    if (changes.frame)
        refreshFrame();
    if (changes.handle)
        refreshHandle();
    if (changes.background && changes.page == page_)
        refreshBackground(changes.picture);
}

void PageCanvas::announce(const PageChanges& changes)
{
    if (!changes.isEmpty())
        emit pageChanged(changes);
}

void PageCanvas::finishGesture()
{
    if (gesture_.isEmpty())
        return;
    const QString name = std::exchange(gesture_, QString());
    emit gestureFinished(name);
}

void PageCanvas::openContextMenu(QPoint scenePos, QPoint globalPos)
{
    ctx_.editor.pointerMoved(scenePos);
    emit contextMenuRequested(globalPos);
}

void PageCanvas::mousePressEvent(QMouseEvent* event)
{
    // The right button opens the context menu over the page and its elements
    // alike. The scene never sees that press: the menu takes the release, and
    // an item left holding the mouse would take the next left press.
    if (event->button() == Qt::RightButton) {
        const QPointF scenePos = mapToScene(event->position().toPoint());
        openContextMenu(pixelOf(scenePos), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void PageCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        mousePressEvent(event);
        return;
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

QImage PageCanvas::render(const QRect& source, bool withMarks)
{
    QImage image(source.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    // The frame and the handle are hidden while the page is rendered.
    const bool frame = frame_->isVisible(), handle = handle_->isVisible();
    if (!withMarks) {
        frame_->hide();
        handle_->hide();
    }
    {
        QPainter p(&image);
        scene_->render(&p, QRectF(image.rect()), QRectF(source), Qt::IgnoreAspectRatio);
    }
    frame_->setVisible(frame);
    handle_->setVisible(handle);
    return image;
}

QImage PageCanvas::renderPage()
{
    return render(QRect(0, 0, kPageWidth, kPageHeight), true);
}

QImage PageCanvas::renderStaticLayer()
{
    // The static items are painted one by one in their stacking order: the
    // scene would reuse the pictures its items cached for the view, which
    // carry the editor's marks.
    QList<ElementItem*> items;
    for (const auto& row : items_)
        for (ElementItem* item : row)
            if (item && !item->ref().isTemplate() && isStaticKind(item->ref().kind))
                items.append(item);
    std::stable_sort(items.begin(), items.end(),
                     [](const ElementItem* a, const ElementItem* b) { return a->zValue() < b->zValue(); });
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    QPainter p(&image);
    const QStyleOptionGraphicsItem option;
    staticOnly_ = true;
    background_->paint(&p, &option, nullptr);
    for (ElementItem* item : items) {
        p.save();
        p.translate(item->pos());
        item->paint(&p, &option, nullptr);
        p.restore();
    }
    staticOnly_ = false;
    return image;
}

QColor PageCanvas::colorAt(QPoint pos)
{
    if (!QRect(0, 0, kPageWidth, kPageHeight).contains(pos))
        return {};
    return render(QRect(pos, QSize(1, 1)), false).pixelColor(0, 0);
}

} // namespace ostrel
