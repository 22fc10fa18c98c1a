#pragma once
// A SCADA page as the controller receives it, rebuilt from its sixteen
// packets C0, D0, .., C7, D7: the 800 x 480 image of 12-bit colours from the
// eight run-length bands, and the element tables appended to part 7, decoded
// into named fields. Every inconsistency is recorded as a problem; whatever
// is readable is still decoded.
#include "wire/decode_problem.h"
#include "wire/packet_stream.h"
#include "scada/page_size.h"
#include <QImage>
#include <QJsonObject>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace ostrel {

inline constexpr int kPageParts = 8;
inline constexpr int kBandRows = 60;
inline constexpr int kBandPixels = kBandRows * kPageWidth; // 48000
inline constexpr int kMaxBandLength = 32000;               // header and words of one band

// Pixels covered by run-length words (each word stands for bits 12..15 + 1
// pixels); `byteCount` / 2 words are read, a trailing odd byte is ignored.
qint64 bandRunPixels(const char* words, qsizetype byteCount);

// The element records as the controller receives them. Colours are RGB565,
// sizes are the bytes sent (see the derived helpers below); block and output
// come from the binding table. Every table holds all its numbers, used or not:
// the wire has no used flag.
struct WireParametr {
    uint16_t x = 0, y = 0, color = 0, back_color = 0;
    uint8_t frame = 0, font_code = 0, digits_code = 0; // digits_code = digits + 2
    uint8_t block = 0, output = 0;
};
struct WireSignal {
    uint16_t x = 0, y = 0;             // y = top + 1024 x signal-list number
    uint8_t width_byte = 0, height_byte = 0; // size field - 1, or - 5 when framed
    uint16_t color = 0, back_color = 0;
    uint8_t frame = 0, block = 0, output = 0;
};
struct WireTextSignal {
    uint16_t x = 0, y = 0;             // y = top + 1024 x signal-list number
    uint8_t font_code = 0;             // 2, 3, 4 for font 10, 14, 18
    uint16_t color = 0, back_color = 0;
    uint8_t length_frame = 0;          // 2 x length of text_off + frame
    std::array<uint8_t, 12> text_off{}, text_on{}; // code page 1251, space padded
    uint8_t block = 0, output = 0;
};
struct WireLevel {
    uint16_t x = 0, y = 0;
    uint8_t width_byte = 0, height_byte = 0; // size - 1, or - 5 when style is 1
    uint16_t scale = 0, color = 0, back_color = 0;
    uint8_t style = 0, block = 0, output = 0;
};
struct WireMenu {
    uint16_t x = 0, y = 0;
    uint8_t target_page = 0;
};
struct WireClock {
    uint16_t x = 0, y = 0;
};
struct WireGraph {
    uint16_t x = 0, y = 0;
    uint8_t width_byte = 0, height_byte = 0, group = 0; // sizes - 1
};
struct WireControl {
    uint16_t x = 0, y = 0;             // y: top of the picture
    uint8_t type = 0, touch_cell = 0;  // touch cell 0 = slot not used
    uint8_t block = 0, channel = 0;
};
struct WireGoTo {
    uint8_t touch_cell = 0, option = 0, target = 0;
};
struct WireMechanism {
    uint16_t x = 0, y = 0;             // position plus the picture's offset
    uint8_t picture = 0, block = 0, output = 0;
};

struct PageTables {
    static constexpr int kNumbers = 32;
    static constexpr int kMenus = 8;
    // Index n holds element number n + 1; the names are the page model's.
    std::array<WireParametr, kNumbers> parametr{};
    std::array<WireSignal, kNumbers> signal{};
    std::array<WireTextSignal, kNumbers> text_signal{};
    std::array<WireLevel, kNumbers> level{};
    std::array<WireMenu, kMenus> menu{};
    WireClock clock{};
    WireGraph grafik{};
    std::array<WireControl, kNumbers> control{};
    std::array<WireGoTo, kNumbers> go_block{};
    std::array<WireMechanism, kNumbers> vent{};
};

// Byte offsets of the tables inside the table area (the full layout; the
// short one has no mechanisms and no filler, so its marker follows go-to).
namespace table_offset {
inline constexpr int parametr = 0, signal = 352, text_signal = 704, level = 1792, menu = 2208,
                     clock = 2336, grafik = 2340, control = 2347, go_block = 2539, vent = 2603,
                     filler = 2763, marker_full = 3147, bindings_full = 3156, end_full = 3580,
                     marker_short = 2603, bindings_short = 2612, end_short = 3036;
} // namespace table_offset

struct BandInfo {
    bool received = false;   // header and data packet of the part both arrived
    int length = 0;          // L from the header packet
    int words = 0;           // run-length words in the data packet
    qint64 pixels = 0;       // pixels the words cover (48000 when whole)
};

struct DecodedPage {
    uint8_t controller = 0;
    int page = -1;                       // page index from the headers
    TableLayout layout = TableLayout::Auto; // Auto: part 7 not decoded
    std::vector<uint16_t> image;         // 800 x 480 12-bit values, row by row
    std::array<BandInfo, kPageParts> bands{};
    PageTables tables;
    std::vector<DecodeProblem> problems;

    uint16_t pixel(int x, int y) const { return image[size_t(y) * kPageWidth + size_t(x)]; }
    // All sixteen packets arrived and nothing is an error.
    bool complete() const;
};

struct PageDecodeOptions {
    // Layout of part 7's tables; Auto takes it from the data packet's length.
    TableLayout layout = TableLayout::Auto;
};

// Decodes the packets of one page write (normally C0, D0, .., C7, D7).
DecodedPage decodePage(const std::vector<LinkPacket>& packets, const PageDecodeOptions& options = {});

// The decoded image as 8-bit RGB, each 12-bit value expanded as the page
// encoder's quantise() does, so the two compare pixel for pixel.
QImage pageImage(const DecodedPage& page);

// Derived values of the packed fields, as the page model holds them.
int fontOfParametrCode(uint8_t font_code);              // 2 -> 10, 3 -> 14, 9 -> 18, 12 -> 24, 11 -> 25
int signalWidthField(const WireSignal& s);        // stored width field (size + shape bits)
int signalHeightField(const WireSignal& s);
int levelWidth(const WireLevel& l);
int levelHeight(const WireLevel& l);
// Text of a text signal: text_off cut to its sent length, text_on without the padding.
QString textSignalOff(const WireTextSignal& t);
QString textSignalOn(const WireTextSignal& t);

// The decoded tables with field names, and the bands and problems.
QJsonObject pageJson(const DecodedPage& page);

} // namespace ostrel
