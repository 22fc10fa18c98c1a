#pragma once
// Drawing of SCADA page elements: one function per element kind, each taking
// a QPainter in page coordinates and the element's record, so that the page
// image sent to the controller, the editor's canvas and the panel view all
// draw the same way. Antialiasing is off and text is drawn without
// antialiasing, so the result is the same on every run and encodes well.
//
// paintPage paints a page's static layer offscreen: the background (picture
// or fill colour), then the controls, mechanisms, menu entries, static texts
// and figures. Live kinds (parameters, signals, text signals, levels, go-to
// labels, graph, clock) are never part of that image; their functions serve
// the canvas and the panel.
//
// Record colours are 0x00BBGGRR (red in the lowest byte).
#include "platform/interaction.h"
#include "scada/element_pictures.h"
#include "scada/page_size.h"
#include "scada/scada_pages.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

namespace ostrel {

inline const QString kPageTooLarge = QStringLiteral("Размер Х x Y должен быть меньше 800 x 480");
inline const QString kPageErrorTitle = QStringLiteral("Ошибка !!!");

// A record colour (0x00BBGGRR) as an opaque QColor; the top byte is ignored.
QColor recordColor(int32_t color);

// ---- fonts ----------------------------------------------------------------

// The installed face used for a font name stored in a record: Arial ->
// Liberation Sans, Times New Roman -> Liberation Serif, Courier New ->
// Liberation Mono, an installed Liberation or DejaVu face as it is, anything
// else -> DejaVu Sans.
QString pageFontFamily(const QString& fontName);
// A font of `points` at 96 dots per inch (the pixel size is set), drawn
// without antialiasing.
QFont pageFont(const QString& family, double points, bool bold = false, bool italic = false);
// The font of a static text: face, size in points, bold, italic.
QFont textElementFont(const TextElement& t);
// The font of a parameter by its font code: 10 -> 10 bold, 14 -> 14 regular,
// 18 -> 14 bold, 25 -> 25 regular, 24 (time) -> 24 bold "Time"; other codes
// as the nearest entry of that list.
QFont parametrFont(uint8_t code);
// The font of the menu entry texts and of the go-to, graph and clock labels.
QFont labelFont(int points = 10, bool bold = false);

// ---- element rectangles (page coordinates) -------------------------------

// The picture of a control: at (x, y), for button type 13 at (x, y - 10).
QRect controlRect(const ControlElement& c);
QRect ventRect(const VentElement& v);
// The menu entry's picture: its text box is at (x, y), the picture 7 pixels
// left and 13 pixels up of it.
QRect menuPictureRect(const MenuElement& m);
QRect menuTextRect(const MenuElement& m);
QRect textElementRect(const TextElement& t);
// The box the figure's outline follows: (x, y), size_x x size_y, a circle
// size_x x size_x.
QRect figuraShapeRect(const FiguraElement& f);
// The figure's outline box including the line width.
QRect figuraRect(const FiguraElement& f);
QRect parametrRect(const ParametrElement& e, const QString& caption);
QRect signalRect(const SignalElement& s);
// The controller keeps the first 12 characters of each text-signal text;
// the editor and the previews show the same.
inline constexpr int kTextSignalChars = 12;
inline QString textSignalShown(const QString& text) { return text.left(kTextSignalChars); }
QRect textSignalRect(const TextSignalElement& s, const QString& text);
QRect levelRect(const LevelElement& l);
QRect goBlockRect(const GoBlockElement& g);
QRect grafikRect(const GrafikElement& g);
// Both lines of the clock: time at (x, y), date 22 pixels below.
QRect clockRect(const ClockElement& c);

// ---- static kinds ---------------------------------------------------------

// The control's picture (already keyed: white transparent), drawn at
// controlRect, scaled to the button type's size when it differs.
void paintControl(QPainter& p, const ControlElement& c, const QImage& keyedPicture);
// The mechanism's palette picture, white transparent; nothing for an
// unknown picture number.
void paintVent(QPainter& p, const VentElement& v, const ElementPictures& pictures);
// The menu picture, white transparent, and the entry's text in black.
void paintMenu(QPainter& p, const MenuElement& m, const ElementPictures& pictures);
void paintText(QPainter& p, const TextElement& t);
// Type 0: the outline box (x, y)-(x + size_x, y + size_y); type 1: the
// circle centred at (x + size_x / 2, y + size_x / 2) with radius size_x / 2.
// Line colour and width (at least 1) from the record.
void paintFigura(QPainter& p, const FiguraElement& f);

// ---- live kinds -----------------------------------------------------------

// The element number with leading zeros up to the field width (digits + 2):
// element 5 of width 3 shows "005". Longer numbers are not cut.
QString parametrCaption(int number, uint8_t digits);
// The caption in the parameter's font and colours, framed when frame is 1.
void paintParametr(QPainter& p, const ParametrElement& e, const QString& caption);
// The signal's shape (codes 0..7 of the packed width and height) at its
// size, in the on colour or the off colour; framed shapes get a black line.
void paintSignal(QPainter& p, const SignalElement& s, bool on);
void paintSignalShape(QPainter& p, const QRect& r, int shape, const QColor& colour, bool framed);
// The off or on text in the text signal's font and colours.
void paintTextSignal(QPainter& p, const TextSignalElement& s, bool on);
// The editor's half-filled look: vertical: the box in the level colour with
// its upper half in the background colour; horizontal: the box in the
// background colour with its left half in the level colour.
void paintLevel(QPainter& p, const LevelElement& l);
// The level as the controller shows a value: the box in the background
// colour, filled to `fraction` (0..1, clamped) of its height from the bottom
// (vertical) or of its width from the left (horizontal) in the level colour;
// framed levels get a black line around the box.
void paintLevelFill(QPainter& p, const LevelElement& l, double fraction);
// The block number the go-to leads to (97 for pages, 98 for graph groups,
// 0 for the text-signal list).
int goBlockNumber(int16_t target);
void paintGoBlock(QPainter& p, const GoBlockElement& g);
// A frame with two axes at the graph's size.
void paintGrafik(QPainter& p, const GrafikElement& g);
void paintClock(QPainter& p, const ClockElement& c, const QString& time = QStringLiteral("10:15"),
                const QString& date = QStringLiteral("10.12.18"));

// ---- the page image -------------------------------------------------------

struct PagePaintResult {
    bool ok = false;
    QImage image;           // Format_RGB32, 800 x 480; null when !ok
    Message error;          // why nothing can be sent (when !ok)
    QStringList warnings;   // reported once each; the page is still painted
    bool background_picture = false; // the background picture was painted (else the fill colour)
};

// Paints pages offscreen. Keeps the pictures it has loaded (backgrounds and
// the users' control pictures) and loads a file again only when it changed.
class PagePainter {
public:
    explicit PagePainter(const ElementPictures& pictures);

    // The static layer of page p (0..7) of `pages`. The background picture is
    // loaded from its full path when that is an absolute path, else from the
    // project folder with the file name of the page's short reference; a GIF
    // gives its first frame. A picture that cannot be loaded gives one
    // warning and the page is painted with its fill colour; one larger than
    // 800 x 480 (by the size its file states, before it is decoded) gives
    // the error "Размер Х x Y должен быть меньше 800 x 480"; a file that
    // ends before its picture does is painted as far as it goes, with a
    // warning.
    PagePaintResult paintPage(const ScadaPages& pages, int p, const QString& projectFolder);

    // The picture a control shows, white transparent: the user's own
    // picture_file when it loads (from its full path, else from the project
    // folder), else the standard picture of its button type.
    QImage controlPicture(const ControlElement& c, const QString& projectFolder);
    // Where a control's own picture is looked for, in that order: the
    // picture_file itself when it is a full path, then its file name in the
    // project folder.
    static QStringList controlPictureCandidates(const QString& pictureFile, const QString& projectFolder);

    // Where the background of page p is looked for, in that order.
    static QStringList backgroundCandidates(const ScadaPages& pages, int p, const QString& projectFolder);

private:
    struct Loaded {
        QImage image;
        QDateTime modified;
        qint64 size = -1;
        bool complete = true; // the file holds the whole picture
    };
    // The picture at `path`, from the cache while the file is unchanged; a
    // null image when it cannot be read. `complete`: whether the file holds
    // all of it.
    const QImage* load(const QString& path, bool keyed, bool* complete = nullptr);
    static bool pictureLargerThanPage(const QString& path);

    const ElementPictures& pictures_;
    QImage canvas_;                         // reused from page to page
    QHash<QString, Loaded> files_;
    QHash<QString, Loaded> keyedFiles_;
};

} // namespace ostrel
