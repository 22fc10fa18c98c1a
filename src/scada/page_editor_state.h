#pragma once
// What the page editor remembers between mouse events and menu commands. A
// plain struct owned by the application for the whole run; the canvases read
// it to place the templates, the selection frame and the resize handle, and
// the editing functions (page_editing.h) change it.
#include "scada/element_ref.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>

namespace ostrel {

// The rubber-band rectangle and the page it lies on.
struct SelectionFrame {
    QRect rect;            // Left, Top, Width, Height in pixels
    bool visible = false;
    int page = 0;
};

// The new-element object (object 0) of one numbered kind: shown on one page
// at one place until its dialog ends.
struct TemplateObject {
    bool visible = false;
    int page = 0;
    QPoint pos;            // object position (a menu's picture)
};

struct ResizeTarget {
    ResizeKind kind = ResizeKind::Figura;
    int object = 0;        // object number; 0 = none
};

// The gesture a held left button is doing.
enum class PageGesture : uint8_t {
    None,
    Stretch,       // the frame is being drawn
    GroupMove,     // the frame and its selected elements follow the pointer
};

struct PageEditorState {
    // The page of the selected tab (0..7).
    int current_page = 0;
    // The create_mode of the last kind chosen from the insert menu (the
    // kind table's column: 2 figure .. 12 mechanism, 11 graph or clock); 0 at
    // start.
    int create_mode = 0;

    // Where the next insertion places its template: the point when the flag
    // is 1, (0, 0) when it is 0.
    QPoint placement;
    uint8_t placement_flag = 0;

    // Pointer position over the page, set by every mouse-move over a canvas.
    QPoint last_pointer;
    // Pointer position inside the object (element or handle) when the button
    // went down on it.
    QPoint grab;

    SelectionFrame frame;
    // One flag per element number of the page the frame was drawn on, per
    // numbered kind (only the framed kinds are ever selected); 1 = selected.
    std::array<std::array<uint8_t, ScadaPages::kTextSlots>, kNumberedKinds> selected{};
    // The selection was picked element by element (Shift+click, select all,
    // a paste) rather than drawn: a press inside the frame keeps it.
    bool frame_picked = false;
    // The element the last press without Shift landed on; the keys act on it
    // when no frame is shown.
    std::optional<ElementRef> last_clicked;
    // The pointer is over a page canvas (the last mouse-move was, and it has
    // not left since).
    bool pointer_over_page = false;
    PageGesture gesture = PageGesture::None;
    QPoint drag_start;     // pointer when the group move began
    QPoint frame_start;    // frame's Left, Top when the group move began
    QPoint group_offset;   // how far the group has been moved so far
    bool group_moved = false; // the pointer moved since the group move began

    ResizeTarget resize_target;
    bool handle_visible = false;
    int handle_page = 0;
    QPoint handle_pos;     // top-left of the handle: the target's bottom-right corner

    // Alternates on every blink tick: true = phase A (blinking signals show
    // their off colour, blinking text signals their on text).
    bool blink_phase = false;
    int32_t PipetteColor = 0;
    // "Блокировка элементов": no element can be dragged or resized.
    bool lock = false;

    // Indexed by ObjectKind; the graph and clock entries stay unused (they
    // have no template).
    std::array<TemplateObject, kObjectKinds> templates{};

    TemplateObject& templateOf(ObjectKind kind) { return templates[size_t(kind)]; }
    const TemplateObject& templateOf(ObjectKind kind) const { return templates[size_t(kind)]; }
    bool isSelected(const ElementRef& ref) const;
    void clearSelection();
};

} // namespace ostrel
