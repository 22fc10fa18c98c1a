#pragma once
// Every change the page canvases make to the pages, as functions that take
// the page model and the editor state from one state to the next: insertion
// from the "&SCADA" menu and by double-click, dragging with the grid and the
// button grid, the rubber-band selection and group move, the corner-handle
// resize, the blink tick, the lock, the grid, the background, the clock
// deletion and the menu text. The canvas calls them on its events and
// redraws what the returned PageChanges name.
//
// Pointer positions are page pixels (scene coordinates of the canvas).
#include "scada/element_ref.h"
#include "scada/page_editor_state.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

namespace ostrel {

class Interaction;

// What a change touched, for the canvas to refresh.
struct PageChanges {
    QList<ElementRef> created;   // objects to put on their page's canvas
    QList<ElementRef> updated;   // objects to move, resize or repaint (templates too)
    QList<ElementRef> removed;   // objects to take off their page's canvas
    bool frame = false;          // the selection frame moved, changed size or showed
    bool handle = false;         // the resize handle moved, showed or hid
    bool selection = false;      // elements were selected or deselected
    bool background = false;     // the background of `page` changed
    int page = -1;               // page of a background or caption change
    QString tab_caption;         // the new caption of that page's tab; empty = unchanged
    QImage picture;              // the background picture just loaded

    bool isEmpty() const;
    void append(const PageChanges& other);
};

// How far from its line a press still lands on an outline figure, in pixels.
inline constexpr int kOutlineSlack = 3;
// A figure is an outline: a point hits it within kOutlineSlack pixels of its
// line (a rectangle's edges, a circle's ring), never inside it, so that what
// lies in a frame drawn around it can be clicked and dragged.
bool figureLineHit(const FiguraElement& f, QPoint point);

// Colours are stored with red in the lowest byte.
int32_t colorValue(const QColor& color);
QColor colorOfValue(int32_t value);

class PageEditor {
public:
    PageEditor(ScadaPages& pages, PageEditorState& state);

    // --- what the canvas shows ---
    // The main object's position: a template's place, the preview of a group
    // move in progress, otherwise what the record says.
    QPoint objectPos(const ElementRef& ref) const;
    QRect objectRect(const ElementRef& ref) const;
    // All objects of the element (menu picture and text box, clock labels).
    QRect bounds(const ElementRef& ref) const;
    QString tooltip(const ElementRef& ref) const;
    // The colour a signal shows and the text a text signal shows in the
    // current blink phase.
    int32_t signalShownColor(const ElementRef& ref) const;
    QString textSignalShownText(const ElementRef& ref) const;
    // Every occupied element of a page (graph and clock included), in kind order.
    QList<ElementRef> pageElements(int page) const;
    // True when a press at `point` (page pixels) lands on the element: a
    // figure on its line (figureLineHit), the other kinds anywhere on their objects.
    bool hits(const ElementRef& ref, QPoint point) const;
    // The topmost occupied element of `page` that `point` hits; none over the bare page.
    std::optional<ElementRef> elementAt(int page, QPoint point) const;

    // --- insertion ---
    // The kind's "&SCADA" insert item: shows the kind's template at the
    // placement point (or (0, 0)) on the current page, or creates the graph /
    // clock at (1, 1); stores the kind's create_mode; clears the lock.
    PageChanges insert(ObjectKind kind);
    // Hides a template when its dialog ends.
    PageChanges hideTemplate(ObjectKind kind);

    // --- the page canvas ---
    void pointerMoved(QPoint pointer);
    void pointerLeft();
    // Repeats the last insertion at the pointer (nothing after a graph or clock).
    PageChanges pageDoubleClick(QPoint pointer);
    // Hides the handle and keeps the colour under the pointer for the pipette.
    PageChanges pageClick(const QColor& colorAtPointer);
    // Left button: a press outside the frame starts a new frame; inside it
    // selects what the frame holds and starts a group move.
    PageChanges pagePress(QPoint pointer);
    PageChanges pageDrag(QPoint pointer);
    PageChanges pageRelease(QPoint pointer);

    // --- element objects ---
    void elementPress(const ElementRef& ref, QPoint pointer);
    // A mouse-move over an element; with the left button held it drags it
    // (not while the lock is on). The first move over a menu element after a
    // menu was placed by double-click only clears the placement flag. The
    // canvas sets the element's tooltip from tooltip(ref) afterwards.
    PageChanges elementMove(const ElementRef& ref, QPoint pointer, bool leftButton);
    // A click on a figure, signal or level shows its resize handle.
    PageChanges elementClick(const ElementRef& ref);
    // The figure dialog's Ok makes its figure the resize target as well.
    PageChanges setResizeTarget(const ElementRef& ref);
    void handlePress(QPoint pointer);
    PageChanges handleMove(QPoint pointer, bool leftButton);

    // --- timer and menu commands ---
    // One blink tick: the phase alternates; names the blinking signals and
    // text signals of the current page.
    PageChanges tick();
    bool toggleLock();
    void setLock(bool on);
    // "&Установить фон SCADA" for the current page.
    PageChanges chooseBackground(Interaction& ui);
    // "&Цвет заливки фона" for the current page.
    PageChanges chooseFillColor(Interaction& ui);
    // Double-click on a clock: asks "Удалить часы?".
    PageChanges deleteClock(Interaction& ui, int page);
    // Typing in a menu element's text box.
    PageChanges setMenuText(const ElementRef& ref, const QString& text);
    // A project was opened or started: templates, frame, selection and
    // handle refer to the old pages and are hidden; page 0 becomes current.
    void projectReplaced();

private:
    bool frameHere() const;
    void selectInFrame();
    void selectStrictlyInFrame();
    QPoint groupPreview(const ElementRef& ref) const;
    PageChanges commitGroupMove();
    PageChanges moveTemplate(const ElementRef& ref, QPoint pos);
    PageChanges resizeTarget(QPoint corner);

    ScadaPages& pages_;
    PageEditorState& state_;
};

// The grid dialog's Ok: stores the step (the typed number, rounded) and the
// button-grid flag into both copies. A step below 1 or above 480 is refused:
// the message is returned and nothing changes.
std::optional<QString> applyGrid(ScadaPages& pages, const QString& stepText, bool buttonGrid);

// Background pictures. A reference is "\" followed by the real file name;
// the tab caption is the file name without its extension.
QString fileNameOfPath(const QString& path);
QString backgroundReference(const QString& path);
QString backgroundCaption(const QString& pathOrReference);
// "Страница N", or the caption of the page's background picture.
QString pageTabCaption(const ScadaPages& pages, int page);
// Reads a picture whatever its extension says (a GIF gives its first
// frame); a null image when it cannot be read.
QImage loadPicture(const QString& path);
// The page's background picture: from its full path, else from the
// project's folder under its reference; null when neither loads or the page
// has no picture.
QImage loadPageBackground(const ScadaPages& pages, int page, const QString& projectFolder);

inline const QString kBackgroundFilter = QStringLiteral("gif file|*.gif");
inline const QString kBadPictureMessage = QStringLiteral("Не правильный тип файла");
inline const QString kDeleteClockQuestion = QStringLiteral("Удалить часы?");

} // namespace ostrel
