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
#include "scada/element_pictures.h"
#include "scada/kind_records.h"
#include "scada/scada_pages.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace ostrel {

struct ElementRef {
    ObjectKind kind = ObjectKind::Parametr;
    int page = 0;   // 0..7
    int number = 0; // element number; 0 = the kind's template; ignored for graph and clock

    bool isTemplate() const { return number == 0 && kindInfo(kind).numbered(); }
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
    visitKind(r.kind, [&](auto kind) { f(decltype(kind)::record(s, size_t(r.page), size_t(r.number))); });
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

// Picture sizes of the fixed picture sets (those of ElementPictures; an
// unknown mechanism number counts as 40 x 40).
QSize buttonSize(int type);          // control button types 0..13
QSize mechanismSize(int picture);    // mechanism pictures 0..22
inline constexpr QSize kMenuPictureSize{120, 40};
// The menu's text box sits this far right and down of its picture.
inline constexpr QPoint kMenuTextOffset = ElementPictures::kMenuTextOffset;
inline constexpr QSize kMenuTextSize = ElementPictures::kMenuTextSize;
inline constexpr QSize kGoBlockSize{40, 40};
inline constexpr int kClockDateOffset = 22;      // date label below the time label
inline constexpr int kType13Lift = 10;           // type-13 picture above its record's y

// A template whose record holds no size or text yet is shown with a sample
// look, so that it can be seen and clicked: signal 20 x 20, level 20 x 40,
// figure 40 x 40 with line width 3, text "Текст" in Arial 10, text signal "Текст 1" /
// "Текст 2". The other kinds show their template slot as it is.
void applyTemplateLook(ParametrElement&);
void applyTemplateLook(SignalElement& e);
void applyTemplateLook(TextSignalElement& e);
void applyTemplateLook(LevelElement& e);
void applyTemplateLook(GoBlockElement&);
void applyTemplateLook(FiguraElement& e);
void applyTemplateLook(VentElement&);
void applyTemplateLook(TextElement& e);
void applyTemplateLook(ControlElement&);
void applyTemplateLook(MenuElement&);
void applyTemplateLook(GrafikElement&);
void applyTemplateLook(ClockElement&);

// Calls f(const record&) with the record as the canvas shows the ref's
// objects with the main object at `pos`: a copy of the record moved there,
// with the template look for a template. False for an invalid ref.
template <class F> bool withShownRecord(const ScadaPages& s, const ElementRef& ref, QPoint pos, F&& f)
{
    return withRecord(s, ref, [&](const auto& e) {
        auto shown = e;
        setObjectPos(shown, pos);
        if (ref.isTemplate())
            applyTemplateLook(shown);
        f(shown);
    });
}

// Geometry comes from the page painter's rectangle functions (what is drawn).
struct ElementGeometry {
    // The main object: the level's outer box, the menu's picture, both lines
    // of the clock, the box a figure's outline follows (without its line).
    QRect object;
    // Every object of the element (the menu's picture with its text box).
    QRect bounds;
    // Everything the element paints (a figure's line reaches beyond its box,
    // a text signal may show its longer text).
    QRect painted;
};
// The geometry of the element with its main object placed at `pos`.
ElementGeometry elementGeometry(const ScadaPages& s, const ElementRef& ref, QPoint pos);
QRect objectRect(const ScadaPages& s, const ElementRef& ref, QPoint pos);
QSize objectSize(const ScadaPages& s, const ElementRef& ref);
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
// The element as its tooltip names it ("Параметр 3"), for the names of undo steps.
QString elementName(const ElementRef& ref);

} // namespace ostrel
