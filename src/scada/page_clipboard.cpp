#include "scada/page_clipboard.h"

#include <algorithm>
#include <type_traits>

namespace ostrel {

namespace {

constexpr int kMaxPasteLeft = 790;
constexpr int kMaxPasteTop = 470;

// Frame Left < x < Left + Width and Top < y < Top + Height.
bool strictlyInside(const QRect& r, QPoint p)
{
    return p.x() > r.x() && p.x() < r.x() + r.width() && p.y() > r.y() && p.y() < r.y() + r.height();
}

bool frameOnCurrentPage(const PageEditorState& state)
{
    return state.frame.visible && state.frame.page == state.current_page
        && state.current_page >= 0 && state.current_page < ScadaPages::kShownPages;
}

// Calls f(ref) for every occupied element of the current page inside the frame, in kind order.
template <class F> void forEachFramed(const ScadaPages& pages, const PageEditorState& state, F&& f)
{
    if (!frameOnCurrentPage(state))
        return;
    for (ObjectKind kind : kClipboardOrder) {
        const int max = ScadaPages::maxNumber(kind);
        for (int n = 1; n <= max; ++n) {
            const ElementRef ref{kind, state.current_page, n};
            if (isOccupied(pages, ref) && strictlyInside(state.frame.rect, recordObjectPos(pages, ref)))
                f(ref);
        }
    }
}

// The look fields each kind carries into a paste; binding fields stay at
// their fresh values.
void copyLook(const ParametrElement& s, ParametrElement& d)
{
    d.color = s.color; d.back_color = s.back_color; d.frame = s.frame; d.font = s.font; d.digits = s.digits;
}

void copyLook(const SignalElement& s, SignalElement& d)
{
    d.y = packListY(0, listNumber(s.y));
    d.width = s.width; d.height = s.height; d.color = s.color; d.back_color = s.back_color;
    d.frame = s.frame; d.blink = s.blink;
}

void copyLook(const TextSignalElement& s, TextSignalElement& d)
{
    d.y = packListY(0, listNumber(s.y));
    d.font = s.font; d.color = s.color; d.back_color = s.back_color; d.text_off = s.text_off;
    d.text_on = s.text_on; d.frame = s.frame; d.blink = s.blink;
}

void copyLook(const LevelElement& s, LevelElement& d)
{
    d.width = s.width; d.height = s.height; d.color = s.color; d.back_color = s.back_color; d.style = s.style;
}

void copyLook(const TextElement& s, TextElement& d)
{
    d.color = s.color; d.text = s.text; d.font_name = s.font_name; d.bold = s.bold; d.italic = s.italic;
    d.font_size = s.font_size;
}

void copyLook(const ControlElement& s, ControlElement& d)
{
    d.picture_file = s.picture_file; d.width = s.width; d.height = s.height; d.channel = s.channel;
    d.type = s.type;
}

void copyLook(const GoBlockElement& s, GoBlockElement& d)
{
    d.option = s.option;
}

void copyLook(const VentElement& s, VentElement& d)
{
    d.width = s.width; d.height = s.height; d.picture = s.picture;
}

void copyLook(const FiguraElement& s, FiguraElement& d)
{
    d.size_x = s.size_x; d.size_y = s.size_y; d.color = s.color; d.type = s.type; d.line_width = s.line_width;
}

// What "&Удалить" leaves in a slot. These values are stored and sent to the
// controller for free slots, so they are kept exactly.
void resetDeleted(ParametrElement& e)
{
    e = {};
    e.font = 10;
}

void resetDeleted(SignalElement& e)
{
    e = {};
}

void resetDeleted(TextSignalElement& e)
{
    e = {};
    e.font = 0;
    e.text_off = e.text_on = QStringLiteral(" ");
}

void resetDeleted(ControlElement& e)
{
    const int16_t height = e.height; // the height is not reset
    e = {};
    e.height = height;
    e.picture_file = QStringLiteral(" ");
}

void resetDeleted(LevelElement& e)
{
    e = {};
    e.back_color = 10;
}

void resetDeleted(GoBlockElement& e)
{
    e.used = e.x = e.y = e.target = 0; // the option is not reset
}

void resetDeleted(FiguraElement& e)
{
    e = {};
    e.type = 10;
}

void resetDeleted(VentElement& e)
{
    e = {};
    e.block = 10;
}

void resetDeleted(TextElement& e)
{
    e = {};
    e.text = QStringLiteral(" ");
    e.font_name = QStringLiteral("10");
}

template <class T> void resetDeleted(T&) {}

} // namespace

QList<ElementRef> PageClipboard::framedElements(const ScadaPages& pages, const PageEditorState& state)
{
    QList<ElementRef> refs;
    forEachFramed(pages, state, [&](const ElementRef& ref) { refs.append(ref); });
    return refs;
}

void PageClipboard::copy(const ScadaPages& pages, const PageEditorState& state)
{
    copyElements(pages, framedElements(pages, state), state.current_page);
}

void PageClipboard::copyElements(const ScadaPages& pages, QList<ElementRef> refs, int page)
{
    entries_.clear();
    source_page_ = page;
    minimum_ = {900, 500};
    frame_size_ = {0, 0};
    off_page_pastes_ = 0;
    std::stable_sort(refs.begin(), refs.end(), [](const ElementRef& a, const ElementRef& b) {
        return kindInfo(a.kind).clipboard_rank < kindInfo(b.kind).clipboard_rank;
    });
    for (const ElementRef& ref : refs) {
        if (!kindInfo(ref.kind).framed() || ref.number < 1 || !isOccupied(pages, ref))
            continue;
        withRecord(pages, ref, [&](const auto& e) {
            if constexpr (kindInfo(kKindOfRecord<decltype(e)>).framed()) {
                entries_.append({ref, Record(e)});
                const QPoint pos = objectPos(e);
                minimum_.setX(std::min(minimum_.x(), pos.x()));
                minimum_.setY(std::min(minimum_.y(), pos.y()));
            }
        });
    }
}

QPoint PageClipboard::nextPlaceOffPage()
{
    ++off_page_pastes_;
    return minimum_ + QPoint(10, 10) * off_page_pastes_;
}

PageChanges PageClipboard::paste(ScadaPages& pages, PageEditorState& state) const
{
    return pasteAt(pages, state, state.last_pointer);
}

PageChanges PageClipboard::pasteAt(ScadaPages& pages, PageEditorState& state, QPoint at) const
{
    PageChanges changes;
    const int p = state.current_page;
    if (p < 0 || p >= ScadaPages::kShownPages)
        return changes;
    std::array<bool, kObjectKinds> full{};
    for (const Entry& entry : entries_) {
        const ObjectKind kind = entry.source.kind;
        if (full[size_t(kind)])
            continue;
        const int n = pages.allocate_slot(kind, p, 0);
        if (n == 0) {
            full[size_t(kind)] = true; // the page has no free number of this kind left
            continue;
        }
        const ElementRef target{kind, p, n};
        std::visit([&](const auto& source) {
            using T = std::decay_t<decltype(source)>;
            if constexpr (kindInfo(kKindOfRecord<T>).framed()) {
                T fresh{};
                copyLook(source, fresh);
                fresh.used = 1;
                const QPoint pos = at + objectPos(source) - minimum_;
                setObjectPos(fresh, {std::clamp(pos.x(), 0, kMaxPasteLeft), std::clamp(pos.y(), 0, kMaxPasteTop)});
                withRecord(pages, target, [&](auto& slot) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(slot)>, T>)
                        slot = fresh;
                });
            }
        }, entry.record);
        changes.created.append(target);
    }
    state.frame = {QRect(at, frame_size_), true, p};
    changes.frame = true;
    return changes;
}

PageChanges PageClipboard::remove(ScadaPages& pages, PageEditorState& state)
{
    return removeElements(pages, state, framedElements(pages, state));
}

PageChanges PageClipboard::removeElements(ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs)
{
    PageChanges changes;
    for (const ElementRef& ref : refs)
        if (kindInfo(ref.kind).framed() && ref.number > 0 && isOccupied(pages, ref) && !changes.removed.contains(ref))
            changes.removed.append(ref);
    if (!changes.removed.isEmpty())
        changes.selection = true;
    for (const ElementRef& ref : changes.removed) {
        withRecord(pages, ref, [](auto& e) { resetDeleted(e); });
        state.selected[size_t(ref.kind)][size_t(ref.number)] = 0;
        if (state.last_clicked == ref)
            state.last_clicked.reset();
        const auto resized = state.resize_target;
        if (state.handle_visible && resized.object == ref.objectNumber()
            && kindInfo(ref.kind).resize == resized.kind) {
            state.handle_visible = false;
            changes.handle = true;
        }
    }
    return changes;
}

} // namespace ostrel
