#pragma once
// One element on a page, addressed by (kind, page, number), and what follows
// from its record alone: its object number on the page's canvas, where its
// objects sit and how large they are, the ranges and snapping of a drag, and
// its tooltip text.
//
// Positions here are object positions: the top-left corner of the object the
// user sees and drags. Most kinds store exactly that as x and y; the
// exceptions are mapped in one place (objectPos / setObjectPos):
//   - signals and text signals keep the signal-list number above the top edge
//     of y (top = y mod 1024);
//   - a control of button type 13 stores y = picture top + 10;
//   - a menu stores the position of its text box, which sits 7 pixels right
//     and 13 pixels down of its picture; the picture is the object position.
#include "scada/scada_pages.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace ostrel {

// Every kind of object a page shows: the numbered kinds (same order as
// ElementKind) plus the page's graph and clock.
enum class ObjectKind : uint8_t {
    Parametr,
    Signal,
    TextSignal,
    Level,
    GoBlock,
    Figura,
    Vent,
    Text,
    Control,
    Menu,
    Grafik,
    Clock,
};
inline constexpr int kObjectKinds = 12;
inline constexpr int kNumberedKinds = 10;

ObjectKind objectKind(ElementKind kind);
// The numbered kind behind an object kind; nothing for the graph and clock.
std::optional<ElementKind> numberedKind(ObjectKind kind);

struct ElementRef {
    ObjectKind kind = ObjectKind::Parametr;
    int page = 0;   // 0..7
    int number = 0; // element number; 0 = the kind's template; ignored for graph and clock

    bool isTemplate() const { return number == 0 && kind != ObjectKind::Grafik && kind != ObjectKind::Clock; }
    bool operator==(const ElementRef&) const = default;

    // Object number in the kind's canvas collection: 32 x p + n (texts
    // 64 x p + n, menus 8 x p + n), 0 for the template, p + 1 for the graph
    // and the clock.
    int objectNumber() const;
    // The reverse: object 0 is the template on `currentPage`. Nothing for an
    // object number outside the shown pages 0..7.
    static std::optional<ElementRef> fromObjectNumber(ObjectKind kind, int object, int currentPage);
};

// True for a shown page 0..7 and a number inside the kind's table.
bool isValidRef(const ElementRef& ref);
// True when the ref names an occupied slot (graph and clock: used flag set).
bool isOccupied(const ScadaPages& s, const ElementRef& ref);

// Calls f(record&) with the record the ref names; false (f not called) for an
// invalid ref. The record of a template is slot 0 of its page.
template <class Pages, class F> bool withRecord(Pages& s, const ElementRef& r, F&& f)
{
    if (!isValidRef(r))
        return false;
    const size_t p = size_t(r.page), n = size_t(r.number);
    switch (r.kind) {
    case ObjectKind::Parametr: f(s.parametr[p][n]); break;
    case ObjectKind::Signal: f(s.signal[p][n]); break;
    case ObjectKind::TextSignal: f(s.text_signal[p][n]); break;
    case ObjectKind::Level: f(s.level[p][n]); break;
    case ObjectKind::GoBlock: f(s.go_block[p][n]); break;
    case ObjectKind::Figura: f(s.figura[p][n]); break;
    case ObjectKind::Vent: f(s.vent[p][n]); break;
    case ObjectKind::Text: f(s.text[p][n]); break;
    case ObjectKind::Control: f(s.control[p][n]); break;
    case ObjectKind::Menu: f(s.menu[p][n]); break;
    case ObjectKind::Grafik: f(s.grafik[p + 1]); break;
    case ObjectKind::Clock: f(s.clock[p + 1]); break;
    }
    return true;
}

// Object position of a record and its inverse (see the header comment).
// setObjectPos keeps a signal's list number and applies the type-13 and
// menu offsets.
template <class T> QPoint objectPos(const T& e) { return {e.x, e.y}; }
QPoint objectPos(const SignalElement& e);
QPoint objectPos(const TextSignalElement& e);
QPoint objectPos(const ControlElement& e);
QPoint objectPos(const MenuElement& e);
template <class T> void setObjectPos(T& e, QPoint pos)
{
    e.x = int16_t(pos.x());
    e.y = int16_t(pos.y());
}
void setObjectPos(SignalElement& e, QPoint pos);
void setObjectPos(TextSignalElement& e, QPoint pos);
void setObjectPos(ControlElement& e, QPoint pos);
void setObjectPos(MenuElement& e, QPoint pos);

// The position its record gives the ref's main object ((0, 0) for an invalid ref).
QPoint recordObjectPos(const ScadaPages& s, const ElementRef& ref);
// Writes an object position into the ref's record; false for an invalid ref.
bool storeObjectPos(ScadaPages& s, const ElementRef& ref, QPoint pos);

// Picture sizes of the fixed picture sets.
QSize buttonSize(int type);          // control button types 0..13
QSize mechanismSize(int picture);    // mechanism pictures 0..22
inline constexpr QSize kMenuPictureSize{120, 40};
inline constexpr QPoint kMenuTextOffset{7, 13};  // text box from the picture's corner
inline constexpr QSize kMenuTextSize{106, 18};
inline constexpr QSize kGoBlockSize{40, 40};
inline constexpr QSize kClockLabelSize{50, 18};
inline constexpr int kClockDateOffset = 22;      // date label below the time label
inline constexpr int kType13Lift = 10;           // type-13 picture above its record's y

// Size of the main object (the level's outer box, the menu's picture, the
// clock's time label). Sizes the record does not hold are estimated from the
// font: a parameter from its field width (five characters for the time
// display), a text signal from a 12-character field, a text from its
// characters. A template of a kind whose size lives in the record and is
// still 0 gets the kind's default size.
QSize objectSize(const ScadaPages& s, const ElementRef& ref);
// The rectangle of every object of the element placed at `pos` (menu picture
// with its text box, clock time with date label).
QRect elementBounds(const ScadaPages& s, const ElementRef& ref, QPoint pos);

// Where a dragged object may go: a proposed left (top) outside its range
// leaves that coordinate where it was.
struct MoveRange {
    int min_left = 1, max_left = 790;
    int min_top = 1, max_top = 470;
    bool containsLeft(int v) const { return v >= min_left && v <= max_left; }
    bool containsTop(int v) const { return v >= min_top && v <= max_top; }
};
MoveRange moveRange(const ScadaPages& s, const ElementRef& ref);

// A grid step as a divisor: below 1 (a file may hold 0) counts as 1.
int effectiveStep(int step);
// value - value mod step for values >= 0; a negative value snaps to 0.
int snapDown(int value, int step);

// The snapped position of a dragged object for a proposed position, axis by
// axis: a coordinate whose proposal leaves the range keeps `current`. Go-to,
// control and menu objects use the button grid when it is on (the menu reads
// the second copy of the grid settings).
QPoint snapDrag(const ScadaPages& s, const ElementRef& ref, QPoint current, QPoint proposed);

// "Параметр 3, X - 120, Y - 40": the kind's word, the element number (the
// object number for graph and clock) and the object position.
QString tooltipText(const ElementRef& ref, QPoint pos);

} // namespace ostrel
