#pragma once
// A SCADA page as the controller receives it, rebuilt from its sixteen
// packets C0, D0, .., C7, D7: the 800 x 480 image of 12-bit colours from the
// eight run-length bands, and the element tables appended to part 7, decoded
// into named fields. Every inconsistency is recorded as a problem; whatever
// is readable is still decoded.
#include "wire/decode_problem.h"
#include "wire/page_bands.h"
#include "wire/packet_stream.h"
#include "wire/page_tables_layout.h"
#include "scada/page_size.h"
#include <QImage>
#include <QJsonObject>
#include <QRgb>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace ostrel {

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

// The decoded image as 8-bit RGB, each 12-bit value as displayColor() shows
// it: pixel for pixel what the page encoder's quantise() gives.
QImage pageImage(const DecodedPage& page);

// What the controller makes of a page, computed here on its own and not by
// the encoder's functions, so that decoding checks the encoder:
// the touch cell of a control or go-to whose top-left corner is (x, y), in a
// grid of 13 columns of 62 x 60 pixels that begins at (-22, -9), counted from 1;
int touchCellAt(int x, int y);
// a 12-bit colour (red level x 256 + green level x 16 + blue level) as the
// display shows it: each level at the middle of the 8-bit range it stands for.
QRgb displayColor(uint16_t value);

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
