#pragma once
// What the controller receives for one SCADA page: the painted page image in
// 12-bit colour, run-length encoded in eight bands of 60 rows, and the
// element tables appended to the last band. Each band becomes one part of
// TransferState::tx_buffer (48000 bytes per part) and one data-packet payload
// in TransferState::part_payload, which the page sequence then sends.
//
// Part layout: bytes 0..1 the band length L (4 + 2 x words, low byte first),
// bytes 2..3 zero, then the run-length words (bits 0..11 the pixel value,
// bits 12..15 the repeat count r: r + 1 pixels), low byte first; part 7
// continues with the element tables.
#include "platform/interaction.h"
#include "wire/page_tables_layout.h"
#include "scada/scada_pages.h"

#include <QImage>
#include <QRgb>
#include <array>
#include <cstdint>

namespace ostrel {

struct TransferState;
class ElementPictures;
class PagePainter;

inline const QString kNotEnoughMemory = QStringLiteral("Не хватает памяти!");

// The 4-bit level of an 8-bit colour component (the controller's bins:
// 0..29 -> 0, 30..58 -> 1, 59..87 -> 2, 88..103 -> 3, then 16 wide up to
// 200..215 -> 10, then 8 wide: 216..223 -> 11 .. 248..255 -> 15).
int colorLevel4(int component);
// The middle of level l's bin: expanding and converting again gives l.
int levelMiddle(int level);
// The 12-bit value of a pixel: red level x 256 + green level x 16 + blue level.
uint16_t PixelColor12(QRgb pixel);
// A 12-bit value back to an opaque colour, each level to the middle of its bin.
QRgb expandColor12(uint16_t value);
// `image` with every pixel replaced by its 12-bit value expanded back: what
// the controller shows. Format_RGB32.
QImage quantise(const QImage& image);
// A record colour (0x00BBGGRR) as RGB565: red in the top five bits.
uint16_t Color_RGB_565(int32_t color);

// Font code sent for a parameter: (font - 10) / 4 + 2 rounded half to even,
// 18 -> 9, 24 (time) -> 12, 25 -> 11; limited to 0..255.
int parametrFontCode(int font);
// Touch cell of a control or go-to whose top-left corner is (x, y): the cell
// of a 13-column grid of 62 x 60 pixels, counted from 1.
int touchCell(int x, int y);

// Element tables: 3580 bytes for versions 0, 3, 4 and 5, 3036 bytes for 1 and
// 2 (no mechanism table and no filler; see page_tables_layout.h).
bool hasMechanismTables(int versionCode);
int elementTablesSize(int versionCode);
// Bytes of the last data payload after the band: the tables and one zero
// byte (3581), or for versions 1 and 2 the tables without their last 64
// bytes, the mechanism bindings (2972).
int sentTableBytes(int versionCode);

// The element tables of page p (0..7) as the controller receives them:
// element n in index n - 1, every field limited to its width (0..255,
// 0..65535), colours as RGB565, the touch cells of the used controls and
// go-to elements, the mechanisms moved by their picture's offset.
PageTables wireTables(const ScadaPages& pages, int p);

struct PageEncodeResult {
    bool ok = false;
    Message error;                         // "Не хватает памяти!" and the like, when !ok
    std::array<int, 8> band_lengths{};     // L of every part
    int table_bytes = 0;                   // element table bytes written into part 7
};

// Encodes `image` (at most 800 x 480) and the element tables of page p
// (0..7) into ts.tx_buffer and ts.part_payload. The whole transmit buffer is
// zeroed first. A band needing more than 32000 bytes stops the encoding
// before anything is written past the band's limit; the buffer is then
// zeroed again and every payload is empty, so nothing can be sent.
// Every table field is limited to its width (0..255, 0..65535).
PageEncodeResult encodePage(const QImage& image, const ScadaPages& pages, int p, int versionCode,
                            TransferState& ts);

// Paint and encode in one step, as a page write does.
struct PagePrepareResult {
    bool ok = false;
    Message error;                         // shown when !ok; nothing is to be sent
    QStringList warnings;                  // shown once each; the page is still written
    QImage image;                          // the painted page (null when painting failed)
    std::array<int, 8> band_lengths{};
    bool background_picture = false;       // the background picture was painted (else the fill colour)
};
PagePrepareResult preparePage(PagePainter& painter, const ScadaPages& pages, int p, int versionCode,
                              const QString& projectFolder, TransferState& ts);

} // namespace ostrel
