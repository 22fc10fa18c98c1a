#pragma once
// The selection of the page editor and what acts on it from the keyboard and
// the "&Редактировать" menu: which elements the keys take, select all,
// Shift+click, Esc, nudging with the arrow keys, "Выровнять" and
// "Распределить". Only the framed kinds (the clipboard's kinds) are ever
// selected. Positions are object positions (element_ref.h).
#include "scada/page_editing.h"

#include <QList>

namespace ostrel {

// What the keys act on, in kind order: the selected elements when the frame
// is shown on the current page (a drawn frame with nothing marked yet gives
// what lies strictly inside it), else the element last clicked.
QList<ElementRef> selectedElements(const ScadaPages& pages, const PageEditorState& state);

// Marks exactly `refs` (on the current page) and puts the frame around them
// (hidden when there are none). A press inside that frame moves them.
PageChanges selectElements(const ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs);
// Marks exactly `refs` and leaves the frame as it is (a paste keeps its
// frame at the pointer).
PageChanges markSelected(const ScadaPages& pages, PageEditorState& state, const QList<ElementRef>& refs);
// Ctrl+A: every selectable element of the current page.
PageChanges selectAll(const ScadaPages& pages, PageEditorState& state);
// Shift+click: adds the element to the selection or takes it out.
PageChanges toggleSelected(const ScadaPages& pages, PageEditorState& state, const ElementRef& ref);
// Esc: hides the frame and the handle; nothing is selected.
PageChanges clearSelection(PageEditorState& state);

// The arrow keys: moves what the keys act on by `direction` (-1, 0 or 1 per
// axis) times 1 pixel, or times the grid step. The group keeps its shape:
// the move is shortened so that every element stays within its kind's range.
// Nothing moves while the lock is on.
PageChanges nudge(ScadaPages& pages, PageEditorState& state, QPoint direction, bool byGridStep);

enum class Alignment : uint8_t { Left, Right, Top, Bottom, HorizontalCentres, VerticalCentres };
// "Выровнять", for two or more selected elements: the edges or centres of
// their objects line up with those of the rectangle around them
// (horizontal centres: on one vertical line; vertical centres: on one
// horizontal line), each kept within its kind's range.
PageChanges align(ScadaPages& pages, PageEditorState& state, Alignment how);
// "Распределить", for three or more: the outermost stay, the others are
// placed in order of their left (top) edges with equal gaps between them.
PageChanges distribute(ScadaPages& pages, PageEditorState& state, Qt::Orientation how);

// The frame around a group: the rectangle around their objects, one pixel
// larger on every side so that their corners lie strictly inside it, on the page.
QRect frameAround(const ScadaPages& pages, const QList<ElementRef>& refs);

} // namespace ostrel
