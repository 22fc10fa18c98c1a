#include "scada/page_editing.h"

#include "platform/interaction.h"

#include <QFileInfo>
#include <QImageReader>
#include "scada/page_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace ostrel {

namespace {

constexpr int kMaxGridStep = 480;

// The kind behind a resize target.
ObjectKind resizeObjectKind(ResizeKind kind)
{
    for (const ElementKindInfo& row : kElementKinds)
        if (row.resize == kind)
            return row.kind;
    return ObjectKind::Figura;
}

// Left <= x <= Left + Width and Top <= y <= Top + Height.
bool onOrInside(const QRect& r, QPoint p)
{
    return p.x() >= r.x() && p.x() <= r.x() + r.width() && p.y() >= r.y() && p.y() <= r.y() + r.height();
}

// Left <= x < Left + Width and Top <= y < Top + Height: the selection test.
bool selects(const QRect& r, QPoint p)
{
    return p.x() >= r.x() && p.x() < r.x() + r.width() && p.y() >= r.y() && p.y() < r.y() + r.height();
}

// A displacement as a whole number of grid steps, rounded towards zero.
int snapTowardZero(int value, int step)
{
    const int s = effectiveStep(step);
    return value - value % s;
}

} // namespace

bool figureLineHit(const FiguraElement& f, QPoint point)
{
    const QRect box = figuraShapeRect(f);
    const int line = std::max(1, std::abs(int(f.line_width)));
    if (f.type == 1) {
        // In doubled coordinates: the pixel's centre against the ring the
        // painter fills between diameters d - w and d + w.
        const double dx = 2.0 * point.x() + 1 - (2.0 * box.x() + box.width());
        const double dy = 2.0 * point.y() + 1 - (2.0 * box.y() + box.width());
        return std::abs(std::hypot(dx, dy) - box.width()) <= line + 2 * kOutlineSlack;
    }
    // The line is centred on the box's edges.
    const int reach = line / 2 + 1 + kOutlineSlack;
    const QRect outer(box.x() - reach, box.y() - reach, box.width() + 2 * reach + 1, box.height() + 2 * reach + 1);
    const QRect inner(box.x() + reach, box.y() + reach, box.width() - 2 * reach + 1, box.height() - 2 * reach + 1);
    return outer.contains(point) && !(inner.isValid() && inner.contains(point));
}

bool PageChanges::isEmpty() const
{
    return created.isEmpty() && updated.isEmpty() && removed.isEmpty() && !frame && !handle && !selection
        && !background && tab_caption.isEmpty();
}

void PageChanges::append(const PageChanges& other)
{
    created += other.created;
    updated += other.updated;
    removed += other.removed;
    frame = frame || other.frame;
    handle = handle || other.handle;
    selection = selection || other.selection;
    if (other.background || !other.tab_caption.isEmpty()) {
        background = background || other.background;
        page = other.page;
        tab_caption = other.tab_caption;
        picture = other.picture;
    }
}

int32_t colorValue(const QColor& color)
{
    const QRgb rgb = color.rgb();
    return int32_t(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

QColor colorOfValue(int32_t value)
{
    const uint32_t v = uint32_t(value);
    return QColor(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
}

PageEditor::PageEditor(ScadaPages& pages, PageEditorState& state)
    : pages_(pages)
    , state_(state)
{
}

// --- what the canvas shows ---

QPoint PageEditor::objectPos(const ElementRef& ref) const
{
    if (ref.isTemplate())
        return state_.templateOf(ref.kind).pos;
    if (state_.gesture == PageGesture::GroupMove && state_.group_moved && state_.isSelected(ref))
        return groupPreview(ref);
    return recordObjectPos(pages_, ref);
}

QRect PageEditor::objectRect(const ElementRef& ref) const
{
    return ostrel::objectRect(pages_, ref, objectPos(ref));
}

QRect PageEditor::bounds(const ElementRef& ref) const
{
    return elementBounds(pages_, ref, objectPos(ref));
}

QString PageEditor::tooltip(const ElementRef& ref) const
{
    return tooltipText(ref, objectPos(ref));
}

int32_t PageEditor::signalShownColor(const ElementRef& ref) const
{
    if (ref.kind != ObjectKind::Signal || !isValidRef(ref))
        return 0;
    const SignalElement& e = pages_.signal[size_t(ref.page)][size_t(ref.number)];
    const bool off = state_.blink_phase && e.used != 0 && e.blink != 0;
    return off ? e.back_color : e.color;
}

QString PageEditor::textSignalShownText(const ElementRef& ref) const
{
    if (ref.kind != ObjectKind::TextSignal || !isValidRef(ref))
        return {};
    const TextSignalElement& e = pages_.text_signal[size_t(ref.page)][size_t(ref.number)];
    const bool on = state_.blink_phase && e.used != 0 && e.blink != 0;
    return on ? e.text_on : e.text_off;
}

QList<ElementRef> PageEditor::pageElements(int page) const
{
    QList<ElementRef> refs;
    if (page < 0 || page >= ScadaPages::kShownPages)
        return refs;
    for (const ElementKindInfo& row : kElementKinds) {
        // The graph and clock are one per page, as number 1.
        const int last = row.numbered() ? row.max_number : 1;
        for (int n = 1; n <= last; ++n)
            if (isOccupied(pages_, {row.kind, page, n}))
                refs.append({row.kind, page, n});
    }
    return refs;
}

bool PageEditor::hits(const ElementRef& ref, QPoint point) const
{
    const QPoint at = objectPos(ref);
    if (ref.kind == ObjectKind::Figura) {
        bool hit = false;
        withShownRecord(pages_, ref, at, [&](const auto& e) {
            if constexpr (std::is_same_v<std::decay_t<decltype(e)>, FiguraElement>)
                hit = figureLineHit(e, point);
        });
        return hit;
    }
    return elementBounds(pages_, ref, at).contains(point);
}

std::optional<ElementRef> PageEditor::elementAt(int page, QPoint point) const
{
    std::optional<ElementRef> top;
    int topZ = -1;
    for (const ElementRef& ref : pageElements(page)) {
        // Higher kinds lie above, and a higher number above a lower one.
        const int z = kindInfo(ref.kind).z * 100 + ref.number;
        if (z > topZ && hits(ref, point)) {
            top = ref;
            topZ = z;
        }
    }
    return top;
}

// --- insertion ---

PageChanges PageEditor::insert(ObjectKind kind)
{
    PageChanges changes;
    const int p = state_.current_page;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return changes;
    state_.create_mode = kindInfo(kind).create_mode;
    state_.lock = false;
    const ElementRef ref{kind, p, 1};
    if (!kindInfo(kind).numbered()) {
        const bool existed = isOccupied(pages_, ref);
        if (kind == ObjectKind::Grafik) {
            GrafikElement& g = *pages_.grafikOfPage(p);
            g.used = 1; g.x = 1; g.y = 1; g.width = 100; g.height = 50;
        } else {
            ClockElement& c = *pages_.clockOfPage(p);
            c.used = 1; c.x = 1; c.y = 1;
        }
        (existed ? changes.updated : changes.created).append(ref);
        return changes;
    }
    if (kind == ObjectKind::Parametr && pages_.parametr[size_t(p)][0].font == 0)
        pages_.parametr[size_t(p)][0].font = 14;
    TemplateObject& t = state_.templateOf(kind);
    if (t.visible && t.page != p)
        changes.removed.append({kind, t.page, 0});
    t.visible = true;
    t.page = p;
    t.pos = state_.placement_flag ? state_.placement : QPoint(0, 0);
    changes.updated.append({kind, p, 0});
    return changes;
}

PageChanges PageEditor::hideTemplate(ObjectKind kind)
{
    PageChanges changes;
    if (!kindInfo(kind).numbered())
        return changes;
    TemplateObject& t = state_.templateOf(kind);
    if (t.visible) {
        t.visible = false;
        changes.removed.append({kind, t.page, 0});
    }
    return changes;
}

// --- the page canvas ---

void PageEditor::pointerMoved(QPoint pointer)
{
    state_.last_pointer = pointer;
    state_.pointer_over_page = true;
}

void PageEditor::pointerLeft()
{
    state_.pointer_over_page = false;
}

PageChanges PageEditor::pageDoubleClick(QPoint pointer)
{
    PageChanges changes;
    state_.last_pointer = pointer;
    state_.placement = pointer;
    state_.placement_flag = 1;
    if (const auto kind = repeatedKind(state_.create_mode))
        changes = insert(*kind);
    // After a menu the flag stays until the pointer next moves over a menu
    // element; until then menus cannot be dragged.
    if (state_.create_mode != kindInfo(ObjectKind::Menu).create_mode)
        state_.placement_flag = 0;
    return changes;
}

PageChanges PageEditor::pageClick(const QColor& colorAtPointer)
{
    PageChanges changes;
    if (state_.handle_visible) {
        state_.handle_visible = false;
        changes.handle = true;
    }
    state_.PipetteColor = colorValue(colorAtPointer);
    return changes;
}

bool PageEditor::frameHere() const
{
    return state_.frame.visible && state_.frame.page == state_.current_page;
}

void PageEditor::selectInFrame()
{
    state_.clearSelection();
    const int p = state_.frame.page;
    for (ObjectKind kind : kClipboardOrder) {
        auto& flags = state_.selected[size_t(kind)];
        for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n) {
            const ElementRef ref{kind, p, n};
            // A free slot has no object, whatever its stale x and y say.
            flags[size_t(n)] = isOccupied(pages_, ref) && selects(state_.frame.rect, recordObjectPos(pages_, ref));
        }
    }
}

void PageEditor::selectStrictlyInFrame()
{
    state_.clearSelection();
    const int p = state_.frame.page;
    const QRect& r = state_.frame.rect;
    for (ObjectKind kind : kClipboardOrder) {
        auto& flags = state_.selected[size_t(kind)];
        for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n) {
            const ElementRef ref{kind, p, n};
            const QPoint at = recordObjectPos(pages_, ref);
            flags[size_t(n)] = isOccupied(pages_, ref) && at.x() > r.x() && at.x() < r.x() + r.width()
                && at.y() > r.y() && at.y() < r.y() + r.height();
        }
    }
}

PageChanges PageEditor::pagePress(QPoint pointer)
{
    PageChanges changes;
    state_.last_pointer = pointer;
    if (frameHere() && onOrInside(state_.frame.rect, pointer)) {
        state_.drag_start = pointer;
        state_.frame_start = state_.frame.rect.topLeft();
        state_.group_offset = {};
        state_.group_moved = false;
        // A picked selection is what moves; a drawn frame selects what it holds.
        if (!state_.frame_picked)
            selectInFrame();
        // With the lock on the frame still selects, but nothing moves.
        state_.gesture = state_.lock ? PageGesture::None : PageGesture::GroupMove;
        return changes;
    }
    state_.clearSelection();
    state_.frame_picked = false;
    state_.last_clicked.reset();
    state_.drag_start = {};
    state_.frame = {QRect(pointer, QSize(1, 1)), true, state_.current_page};
    state_.gesture = PageGesture::Stretch;
    changes.frame = true;
    changes.selection = true;
    return changes;
}

QPoint PageEditor::groupPreview(const ElementRef& ref) const
{
    // The offset is a whole number of grid steps: the group keeps its shape.
    return recordObjectPos(pages_, ref) + state_.group_offset;
}

PageChanges PageEditor::pageDrag(QPoint pointer)
{
    PageChanges changes;
    state_.last_pointer = pointer;
    QRect& rect = state_.frame.rect;
    if (state_.gesture == PageGesture::Stretch) {
        // The frame grows from where the button went down, up to the page's edges.
        const int w = std::min(std::abs(rect.x() - pointer.x()), kPageWidth - rect.x());
        const int h = std::min(std::abs(rect.y() - pointer.y()), kPageHeight - rect.y());
        if (w != rect.width() || h != rect.height()) {
            rect.setSize({std::max(w, 0), std::max(h, 0)});
            changes.frame = true;
        }
        return changes;
    }
    if (state_.gesture != PageGesture::GroupMove)
        return changes;
    // The frame stays on the page; the group stops with it.
    const QPoint wanted = state_.frame_start + pointer - state_.drag_start;
    const int left = std::clamp(wanted.x(), 0, std::max(0, kPageWidth - rect.width()));
    const int top = std::clamp(wanted.y(), 0, std::max(0, kPageHeight - rect.height()));
    // The displacement is snapped, not each element: elements 6 pixels apart
    // on a grid of 10 stay 6 pixels apart. Towards zero, so the frame stays
    // on the page.
    const QPoint raw = QPoint(left, top) - state_.frame_start;
    const QPoint offset(snapTowardZero(raw.x(), pages_.grid_step), snapTowardZero(raw.y(), pages_.grid_step));
    if (state_.group_moved && offset == state_.group_offset)
        return changes;
    state_.group_offset = offset;
    state_.group_moved = true;
    rect.moveTopLeft(state_.frame_start + offset);
    changes.frame = true;
    for (ObjectKind kind : kClipboardOrder)
        for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n)
            if (state_.selected[size_t(kind)][size_t(n)])
                changes.updated.append({kind, state_.frame.page, n});
    return changes;
}

PageChanges PageEditor::commitGroupMove()
{
    PageChanges changes;
    for (ObjectKind kind : kClipboardOrder)
        for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n) {
            const ElementRef ref{kind, state_.frame.page, n};
            if (!state_.isSelected(ref) || !isOccupied(pages_, ref))
                continue;
            const QPoint pos = groupPreview(ref);
            if (pos != recordObjectPos(pages_, ref)) {
                storeObjectPos(pages_, ref, pos);
                changes.updated.append(ref);
            }
        }
    return changes;
}

PageChanges PageEditor::pageRelease(QPoint pointer)
{
    PageChanges changes;
    state_.last_pointer = pointer;
    if (state_.gesture == PageGesture::GroupMove && state_.group_moved)
        changes = commitGroupMove();
    if (state_.gesture == PageGesture::Stretch) {
        // The drawn frame's content is marked at once: what copy and delete
        // would take (strictly inside, the clipboard's rule).
        selectStrictlyInFrame();
        changes.selection = true;
    }
    state_.gesture = PageGesture::None;
    state_.group_offset = {};
    state_.group_moved = false;
    return changes;
}

// --- element objects ---

void PageEditor::elementPress(const ElementRef& ref, QPoint pointer)
{
    state_.grab = pointer - objectPos(ref);
    if (!ref.isTemplate() && isOccupied(pages_, ref))
        state_.last_clicked = ref;
}

PageChanges PageEditor::moveTemplate(const ElementRef& ref, QPoint pos)
{
    PageChanges changes;
    TemplateObject& t = state_.templateOf(ref.kind);
    if (t.visible && t.pos != pos) {
        t.pos = pos;
        changes.updated.append(ref);
    }
    return changes;
}

PageChanges PageEditor::elementMove(const ElementRef& ref, QPoint pointer, bool leftButton)
{
    if (ref.kind == ObjectKind::Menu && state_.placement_flag) {
        state_.placement_flag = 0;
        return {};
    }
    if (!leftButton || state_.lock || !isValidRef(ref))
        return {};
    if (!ref.isTemplate() && !isOccupied(pages_, ref))
        return {};
    const QPoint current = objectPos(ref);
    const QPoint next = snapDrag(pages_, ref, current, pointer - state_.grab);
    if (next == current)
        return {};
    if (ref.isTemplate())
        return moveTemplate(ref, next);
    storeObjectPos(pages_, ref, next);
    PageChanges changes;
    changes.updated.append(ref);
    return changes;
}

PageChanges PageEditor::setResizeTarget(const ElementRef& ref)
{
    PageChanges changes;
    const auto kind = kindInfo(ref.kind).resize;
    if (!kind || ref.number < 1 || !isOccupied(pages_, ref))
        return changes;
    state_.resize_target = {*kind, ref.objectNumber()};
    const QRect r = objectRect(ref);
    state_.handle_pos = r.topLeft() + QPoint(r.width(), r.height());
    state_.handle_page = ref.page;
    state_.handle_visible = true;
    changes.handle = true;
    return changes;
}

PageChanges PageEditor::elementClick(const ElementRef& ref)
{
    return setResizeTarget(ref);
}

void PageEditor::handlePress(QPoint pointer)
{
    state_.grab = pointer - state_.handle_pos;
}

PageChanges PageEditor::handleMove(QPoint pointer, bool leftButton)
{
    PageChanges changes;
    if (!leftButton || state_.lock || !state_.handle_visible)
        return changes;
    // The corner stays on the page even when the pointer leaves it.
    const QPoint proposed = pointer - state_.grab;
    const QPoint corner(snapDown(std::clamp(proposed.x(), 0, kPageWidth), pages_.grid_step),
                        snapDown(std::clamp(proposed.y(), 0, kPageHeight), pages_.grid_step));
    const MoveRange range;
    QPoint handle = state_.handle_pos;
    if (range.containsLeft(proposed.x()))
        handle.setX(corner.x());
    if (range.containsTop(proposed.y()))
        handle.setY(corner.y());
    if (handle != state_.handle_pos) {
        state_.handle_pos = handle;
        changes.handle = true;
    }
    changes.append(resizeTarget(corner));
    return changes;
}

PageChanges PageEditor::resizeTarget(QPoint corner)
{
    PageChanges changes;
    const auto ref = ElementRef::fromObjectNumber(resizeObjectKind(state_.resize_target.kind),
                                                  state_.resize_target.object, state_.current_page);
    if (!ref || ref->number < 1 || !isOccupied(pages_, *ref))
        return changes;
    const QPoint topLeft = recordObjectPos(pages_, *ref);
    const int w = std::abs(corner.x() - topLeft.x());
    const int h = std::abs(corner.y() - topLeft.y());
    const size_t p = size_t(ref->page), n = size_t(ref->number);
    switch (ref->kind) {
    case ObjectKind::Figura: {
        // Sizes below 1 would leave nothing to click on; a circle stays round.
        FiguraElement& e = pages_.figura[p][n];
        e.size_x = int16_t(std::max(w, 1));
        e.size_y = e.type == 1 ? e.size_x : int16_t(std::max(h, 1));
        break;
    }
    case ObjectKind::Signal: {
        // 2..50 pixels, the shape bits kept.
        SignalElement& e = pages_.signal[p][n];
        const int shape = signalShape(e.width, e.height);
        e.width = packSignalWidth(std::clamp(w, 2, 50), shape);
        e.height = packSignalHeight(std::clamp(h, 2, 50), shape);
        break;
    }
    default: {
        // The level's box; its bar follows when drawn. At least 5 pixels, as the dialog.
        LevelElement& e = pages_.level[p][n];
        e.width = int16_t(std::max(w, 5));
        e.height = int16_t(std::max(h, 5));
        break;
    }
    }
    changes.updated.append(*ref);
    return changes;
}

// --- timer and menu commands ---

PageChanges PageEditor::tick()
{
    PageChanges changes;
    state_.blink_phase = !state_.blink_phase;
    const int p = state_.current_page;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return changes;
    for (int n = 0; n < ScadaPages::kSlots; ++n) {
        const SignalElement& s = pages_.signal[size_t(p)][size_t(n)];
        if (s.used && s.blink)
            changes.updated.append({ObjectKind::Signal, p, n});
    }
    for (int n = 0; n < ScadaPages::kSlots; ++n) {
        const TextSignalElement& t = pages_.text_signal[size_t(p)][size_t(n)];
        if (t.used && t.blink)
            changes.updated.append({ObjectKind::TextSignal, p, n});
    }
    return changes;
}

bool PageEditor::toggleLock()
{
    state_.lock = !state_.lock;
    return state_.lock;
}

void PageEditor::setLock(bool on)
{
    state_.lock = on;
}

PageChanges PageEditor::chooseBackground(Interaction& ui)
{
    PageChanges changes;
    const int p = state_.current_page;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return changes;
    const QString path = ui.openFile(kBackgroundFilter);
    if (path.isEmpty())
        return changes; // cancelled: the background stays as it was
    const QImage picture = loadPicture(path);
    if (picture.isNull()) {
        ui.message(kBadPictureMessage);
        return changes;
    }
    pages_.fullPath(p) = path;
    pages_.shortRef(p) = backgroundReference(path);
    pages_.background_kind[size_t(p)] = 1;
    changes.background = true;
    changes.page = p;
    changes.tab_caption = pageTabCaption(pages_, p);
    changes.picture = picture;
    return changes;
}

PageChanges PageEditor::chooseFillColor(Interaction& ui)
{
    PageChanges changes;
    const int p = state_.current_page;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return changes;
    const auto color = ui.chooseColor(colorOfValue(pages_.fill_color[size_t(p)]));
    if (!color)
        return changes;
    pages_.fill_color[size_t(p)] = colorValue(*color);
    pages_.background_kind[size_t(p)] = 0;
    changes.background = true;
    changes.page = p;
    return changes;
}

PageChanges PageEditor::deleteClock(Interaction& ui, int page)
{
    PageChanges changes;
    const ElementRef ref{ObjectKind::Clock, page, 1};
    if (!isOccupied(pages_, ref) || !ui.question(kDeleteClockQuestion))
        return changes;
    *pages_.clockOfPage(page) = ClockElement{};
    changes.removed.append(ref);
    return changes;
}

PageChanges PageEditor::setMenuText(const ElementRef& ref, const QString& text)
{
    PageChanges changes;
    if (ref.kind != ObjectKind::Menu || ref.number < 1 || !isValidRef(ref))
        return changes;
    QString& stored = pages_.menu[size_t(ref.page)][size_t(ref.number)].text;
    if (stored != text) {
        stored = text;
        changes.updated.append(ref);
    }
    return changes;
}

void PageEditor::projectReplaced()
{
    for (auto& t : state_.templates)
        t.visible = false;
    state_.frame = {};
    state_.clearSelection();
    state_.frame_picked = false;
    state_.last_clicked.reset();
    state_.gesture = PageGesture::None;
    state_.group_offset = {};
    state_.group_moved = false;
    state_.handle_visible = false;
    state_.resize_target = {};
    state_.current_page = 0;
}

// --- grid and background helpers ---

std::optional<QString> applyGrid(ScadaPages& pages, const QString& stepText, bool buttonGrid)
{
    const int step = ScadaPages::typedNumber(stepText);
    if (step < 1)
        return QStringLiteral("Размер сетки меньше 1");
    if (step > kMaxGridStep)
        return QStringLiteral("Размер сетки больше ") + QString::number(kMaxGridStep);
    pages.grid_step = pages.grid_step_copy = int16_t(step);
    pages.grid_enabled = pages.grid_enabled_copy = buttonGrid ? 1 : 0;
    return std::nullopt;
}

QString fileNameOfPath(const QString& path)
{
    const qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    return path.mid(cut + 1);
}

QString backgroundReference(const QString& path)
{
    return QStringLiteral("\\") + fileNameOfPath(path);
}

QString backgroundCaption(const QString& pathOrReference)
{
    const QString name = fileNameOfPath(pathOrReference);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

QString pageTabCaption(const ScadaPages& pages, int page)
{
    const QString fallback = QStringLiteral("Страница ") + QString::number(page + 1);
    if (page < 0 || page >= ScadaPages::kShownPages || pages.background_kind[size_t(page)] != 1)
        return fallback;
    const QString caption = backgroundCaption(pages.shortRef(page));
    return caption.isEmpty() ? fallback : caption;
}

QImage loadPicture(const QString& path)
{
    // A FIFO or a device would block the reader or never end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read(); // a GIF's first frame
}

QImage loadPageBackground(const ScadaPages& pages, int page, const QString& projectFolder)
{
    if (page < 0 || page >= ScadaPages::kShownPages || pages.background_kind[size_t(page)] != 1)
        return {};
    QImage picture = loadPicture(pages.fullPath(page));
    const QString name = fileNameOfPath(pages.shortRef(page));
    if (picture.isNull() && !name.isEmpty() && !projectFolder.isEmpty())
        picture = loadPicture(projectFolder + u'/' + name);
    return picture;
}

} // namespace ostrel
