#include "scada/page_selection.h"

#include "scada/page_size.h"

#include <algorithm>
#include <cmath>

namespace ostrel {

namespace {

bool frameOnCurrentPage(const PageEditorState& state)
{
    return state.frame.visible && state.frame.page == state.current_page && state.current_page >= 0
        && state.current_page < ScadaPages::kShownPages;
}

template <class F> void forEachFramedKindSlot(int page, F&& f)
{
    for (ObjectKind kind : kClipboardOrder)
        for (int n = 1; n <= ScadaPages::maxNumber(kind); ++n)
            f(ElementRef{kind, page, n});
}

bool strictlyInside(const QRect& r, QPoint p)
{
    return p.x() > r.x() && p.x() < r.x() + r.width() && p.y() > r.y() && p.y() < r.y() + r.height();
}

QRect rectOf(const ScadaPages& pages, const ElementRef& ref)
{
    return objectRect(pages, ref, recordObjectPos(pages, ref));
}

// Moves the object so that its rectangle's top-left is `topLeft`, kept in its range.
bool moveObjectTo(ScadaPages& pages, const ElementRef& ref, QPoint topLeft, PageChanges& changes)
{
    const QPoint pos = recordObjectPos(pages, ref);
    const QPoint wanted = pos + topLeft - rectOf(pages, ref).topLeft();
    const MoveRange range = moveRange(pages, ref);
    const QPoint next(std::clamp(wanted.x(), range.min_left, range.max_left),
                      std::clamp(wanted.y(), range.min_top, range.max_top));
    if (next == pos)
        return false;
    storeObjectPos(pages, ref, next);
    changes.updated.append(ref);
    return true;
}

// The frame and the handle follow what moved.
void followMoves(const ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& moved,
                 PageChanges& changes)
{
    if (moved.isEmpty())
        return;
    if (state.frame_picked && frameOnCurrentPage(state)) {
        state.frame.rect = frameAround(pages, selectedElements(pages, state));
        changes.frame = true;
    }
    if (state.handle_visible)
        for (const ElementRef& ref : moved)
            if (kindInfo(ref.kind).resize == state.resize_target.kind
                && ref.objectNumber() == state.resize_target.object) {
                const QRect r = rectOf(pages, ref);
                state.handle_pos = r.topLeft() + QPoint(r.width(), r.height());
                changes.handle = true;
            }
}

} // namespace

QRect frameAround(const ScadaPages& pages, const QList<ElementRef>& refs)
{
    QRect around;
    for (const ElementRef& ref : refs)
        around |= elementBounds(pages, ref, recordObjectPos(pages, ref));
    return around.adjusted(-1, -1, 1, 1).intersected(QRect(0, 0, kPageWidth, kPageHeight));
}

QList<ElementRef> selectedElements(const ScadaPages& pages, const PageEditorState& state)
{
    QList<ElementRef> refs;
    if (frameOnCurrentPage(state)) {
        forEachFramedKindSlot(state.current_page, [&](const ElementRef& ref) {
            if (state.isSelected(ref) && isOccupied(pages, ref))
                refs.append(ref);
        });
        if (refs.isEmpty() && !state.frame_picked)
            forEachFramedKindSlot(state.current_page, [&](const ElementRef& ref) {
                if (isOccupied(pages, ref) && strictlyInside(state.frame.rect, recordObjectPos(pages, ref)))
                    refs.append(ref);
            });
        return refs;
    }
    if (state.frame.visible && state.frame.page == state.current_page)
        return refs;
    if (const auto& last = state.last_clicked; last && last->page == state.current_page
        && kindInfo(last->kind).framed() && isOccupied(pages, *last))
        refs.append(*last);
    return refs;
}

PageChanges markSelected(const ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs)
{
    PageChanges changes;
    state.clearSelection();
    for (const ElementRef& ref : refs)
        if (ref.page == state.current_page && kindInfo(ref.kind).framed() && ref.number > 0
            && isOccupied(pages, ref))
            state.selected[size_t(ref.kind)][size_t(ref.number)] = 1;
    state.frame_picked = true;
    state.frame.page = state.current_page;
    changes.selection = true;
    return changes;
}

PageChanges selectElements(const ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs)
{
    PageChanges changes = markSelected(pages, state, refs);
    QList<ElementRef> kept;
    for (const ElementRef& ref : refs)
        if (state.isSelected(ref))
            kept.append(ref);
    state.frame.visible = !kept.isEmpty();
    if (!kept.isEmpty())
        state.frame.rect = frameAround(pages, kept);
    changes.frame = true;
    return changes;
}

PageChanges selectAll(const ScadaPages& pages, PageEditorState& state)
{
    QList<ElementRef> refs;
    forEachFramedKindSlot(state.current_page, [&](const ElementRef& ref) {
        if (isOccupied(pages, ref))
            refs.append(ref);
    });
    return selectElements(pages, state, refs);
}

PageChanges toggleSelected(const ScadaPages& pages, PageEditorState& state, const ElementRef& ref)
{
    if (!kindInfo(ref.kind).framed() || ref.number < 1 || !isOccupied(pages, ref))
        return {};
    QList<ElementRef> refs = selectedElements(pages, state);
    if (refs.contains(ref))
        refs.removeAll(ref);
    else
        refs.append(ref);
    state.last_clicked.reset();
    return selectElements(pages, state, refs);
}

PageChanges clearSelection(PageEditorState& state)
{
    PageChanges changes;
    state.clearSelection();
    state.frame_picked = false;
    state.last_clicked.reset();
    state.frame.visible = false;
    state.handle_visible = false;
    changes.frame = changes.handle = changes.selection = true;
    return changes;
}

PageChanges nudge(ScadaPages& pages, PageEditorState& state, QPoint direction, bool byGridStep)
{
    PageChanges changes;
    if (state.lock)
        return changes;
    const QList<ElementRef> refs = selectedElements(pages, state);
    const int step = byGridStep ? effectiveStep(pages.grid_step) : 1;
    QPoint d(std::clamp(direction.x(), -1, 1) * step, std::clamp(direction.y(), -1, 1) * step);
    // Shortened so that every element stays within its range; an element
    // already outside it does not stop the others from moving back in.
    for (const ElementRef& ref : refs) {
        const QPoint pos = recordObjectPos(pages, ref);
        const MoveRange r = moveRange(pages, ref);
        d.setX(std::clamp(d.x(), std::min(0, r.min_left - pos.x()), std::max(0, r.max_left - pos.x())));
        d.setY(std::clamp(d.y(), std::min(0, r.min_top - pos.y()), std::max(0, r.max_top - pos.y())));
    }
    if (d.isNull())
        return changes;
    for (const ElementRef& ref : refs) {
        storeObjectPos(pages, ref, recordObjectPos(pages, ref) + d);
        changes.updated.append(ref);
    }
    if (frameOnCurrentPage(state) && !state.frame_picked) {
        state.frame.rect.translate(d);
        changes.frame = true;
    }
    followMoves(pages, state, refs, changes);
    return changes;
}

PageChanges align(ScadaPages& pages, PageEditorState& state, Alignment how)
{
    PageChanges changes;
    const QList<ElementRef> refs = selectedElements(pages, state);
    if (refs.size() < 2)
        return changes;
    QRect around;
    for (const ElementRef& ref : refs)
        around |= rectOf(pages, ref);
    QList<ElementRef> moved;
    for (const ElementRef& ref : refs) {
        const QRect r = rectOf(pages, ref);
        QPoint to = r.topLeft();
        switch (how) {
        case Alignment::Left: to.setX(around.x()); break;
        case Alignment::Right: to.setX(around.x() + around.width() - r.width()); break;
        case Alignment::Top: to.setY(around.y()); break;
        case Alignment::Bottom: to.setY(around.y() + around.height() - r.height()); break;
        case Alignment::HorizontalCentres: to.setX(around.x() + (around.width() - r.width()) / 2); break;
        case Alignment::VerticalCentres: to.setY(around.y() + (around.height() - r.height()) / 2); break;
        }
        if (moveObjectTo(pages, ref, to, changes))
            moved.append(ref);
    }
    followMoves(pages, state, moved, changes);
    return changes;
}

PageChanges distribute(ScadaPages& pages, PageEditorState& state, Qt::Orientation how)
{
    PageChanges changes;
    QList<ElementRef> refs = selectedElements(pages, state);
    if (refs.size() < 3)
        return changes;
    const bool across = how == Qt::Horizontal;
    auto start = [&](const QRect& r) { return across ? r.x() : r.y(); };
    auto length = [&](const QRect& r) { return across ? r.width() : r.height(); };
    std::stable_sort(refs.begin(), refs.end(), [&](const ElementRef& a, const ElementRef& b) {
        return start(rectOf(pages, a)) < start(rectOf(pages, b));
    });
    const QRect first = rectOf(pages, refs.front()), last = rectOf(pages, refs.back());
    int lengths = 0;
    for (const ElementRef& ref : refs)
        lengths += length(rectOf(pages, ref));
    const int gaps = start(last) + length(last) - start(first) - lengths;
    const int count = int(refs.size()) - 1;
    QList<ElementRef> moved;
    int at = start(first) + length(first);
    for (int i = 1; i < count; ++i) {
        const ElementRef& ref = refs[i];
        const QRect r = rectOf(pages, ref);
        // The i-th gap ends at i/count of the free room, rounded.
        const int gapEnd = int(std::lround(double(gaps) * i / count));
        const int prevGapEnd = int(std::lround(double(gaps) * (i - 1) / count));
        at += gapEnd - prevGapEnd;
        const QPoint to = across ? QPoint(at, r.y()) : QPoint(r.x(), at);
        if (moveObjectTo(pages, ref, to, changes))
            moved.append(ref);
        at += length(r);
    }
    followMoves(pages, state, moved, changes);
    return changes;
}

} // namespace ostrel
