#pragma once
// Copy, paste and delete of what lies in the selection frame ("&Редактировать").
//
// Copy keeps a snapshot of the records inside the frame, so a later delete of
// the originals does not change what is pasted. Only occupied slots whose
// top-left lies strictly inside the frame count (an element on the frame's
// border is left out), and only when the frame lies on the current page.
// The kinds of kClipboardOrder take part, in that order: parameter, signal,
// text signal, level, text, control, go-to, mechanism, figure; menus, graphs
// and clocks never.
//
// Paste gives every entry the lowest free number of its kind on the current
// page, places the group with its top-left corner at the pointer (positions
// clamped to 0..790 x 0..470) and copies the look; the binding to the scheme
// is not copied: a pasted element is unbound (block 0, output 0, go-to target
// 0, level scale 0) whatever the reused slot held before.
#include "scada/page_editing.h"

#include <QList>
#include <variant>

namespace ostrel {

class PageClipboard {
public:
    // Only the kinds of the clipboard order (element_kinds.h) are ever held.
    using Record = AnyRecord;

    struct Entry {
        ElementRef source;   // where it was copied from
        Record record;       // the record as it was at copy time
    };

    // "&Копировать": replaces the buffer with what the frame holds.
    void copy(const ScadaPages& pages, const PageEditorState& state);
    // Replaces the buffer with the occupied elements among `refs` (of the
    // clipboard's kinds), taken in kind order; `page` is the source page.
    void copyElements(const ScadaPages& pages, QList<ElementRef> refs, int page);
    // Pastes with the group's top-left corner at `at` (page pixels) and puts
    // the frame there.
    PageChanges pasteAt(ScadaPages& pages, PageEditorState& state, QPoint at) const;
    // Where a paste lands when the pointer is not over the page: 10 pixels
    // right and down of the copied place, then 10 more for every further
    // such paste of the same copy.
    QPoint nextPlaceOffPage();
    // "&Вставить": pastes the buffer at the last pointer position of the
    // current page, then puts a frame of the copied size (0 x 0) there. A kind
    // whose page is full skips its remaining entries.
    PageChanges paste(ScadaPages& pages, PageEditorState& state) const;
    // "&Удалить": resets every element the frame holds.
    static PageChanges remove(ScadaPages& pages, PageEditorState& state);
    // Resets the elements among `refs` (of the clipboard's kinds) as
    // "&Удалить" does.
    static PageChanges removeElements(ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs);
    // The occupied elements of the current page strictly inside the frame, in kind order.
    static QList<ElementRef> framedElements(const ScadaPages& pages, const PageEditorState& state);

    const QList<Entry>& entries() const { return entries_; }
    int sourcePage() const { return source_page_; }
    // The smallest x and y of the copied elements; (900, 500) when none.
    QPoint minimum() const { return minimum_; }
    QSize frameSize() const { return frame_size_; }

private:
    QList<Entry> entries_;
    int source_page_ = 0;
    QPoint minimum_{900, 500};
    QSize frame_size_{0, 0};
    int off_page_pastes_ = 0;
};

} // namespace ostrel
