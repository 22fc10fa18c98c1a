#pragma once
// Hand-built page packets for the decoder tests, the fuzzer and the
// benchmark: headers with their checksums, data packets from run-length
// words, and an empty element table area of either layout.
#include "wire/packet.h"
#include "wire/packet_stream.h"
#include "wire/page_decoder.h"
#include <QByteArray>
#include <array>
#include <cstdint>
#include <vector>

namespace ostrel::testing {

using BandWords = std::vector<uint16_t>;

inline void appendWord(QByteArray& out, uint16_t w)
{
    out.append(char(w & 0xFF));
    out.append(char(w >> 8));
}

// Header packet of a part: controller, "C", L (low byte first), page, part, checksum.
inline QByteArray pageHeader(int controller, int L, int page, int part)
{
    QByteArray p;
    p.append(char(controller));
    p.append('C');
    appendWord(p, uint16_t(L));
    p.append(char(page));
    p.append(char(part));
    return withCrc(p);
}

// L of a band of `words` run-length words.
inline int bandLength(const BandWords& words) { return 4 + 2 * int(words.size()); }

// Data packet of a part: controller, "D", part, then L, two zero bytes, the
// words and `tail` (one zero byte for parts 0..6, the table area for part 7).
inline QByteArray pageData(int controller, int part, const BandWords& words, const QByteArray& tail)
{
    QByteArray p;
    p.append(char(controller));
    p.append('D');
    p.append(char(part));
    appendWord(p, uint16_t(bandLength(words)));
    appendWord(p, 0);
    for (uint16_t w : words)
        appendWord(p, w);
    p.append(tail);
    return p;
}

// An element table area with nothing placed: zeros, the filler of 7s (full
// layout) and the marker 55; the full area ends with its extra zero byte.
inline QByteArray emptyTables(TableLayout layout)
{
    namespace to = table_offset;
    if (layout == TableLayout::Short) {
        QByteArray t(kShortTableArea, '\0');
        t[to::marker_short] = char(55);
        return t;
    }
    QByteArray t(kFullTableArea, '\0');
    for (int i = to::filler; i < to::marker_full; ++i)
        t[i] = char(7);
    t[to::marker_full] = char(55);
    return t;
}

// A band of one value: 3000 words of 16 pixels.
inline BandWords uniformBand(uint16_t value) { return BandWords(3000, uint16_t(0xF000 | value)); }

// The sixteen packets of a page, as one byte stream.
inline QByteArray pageStream(int controller, int page, const std::array<BandWords, 8>& bands,
                             const QByteArray& tables)
{
    QByteArray out;
    for (int k = 0; k < 8; ++k) {
        out.append(pageHeader(controller, bandLength(bands[size_t(k)]), page, k));
        out.append(pageData(controller, k, bands[size_t(k)], k < 7 ? QByteArray(1, '\0') : tables));
    }
    return out;
}

// The sixteen packets as separate packets, indexed as a stream would index them.
inline std::vector<LinkPacket> pagePackets(const QByteArray& stream)
{
    PacketStream s;
    s.feed(stream);
    s.finish();
    std::vector<LinkPacket> out;
    for (StreamEvent& e : s.take())
        if (e.has_packet)
            out.push_back(std::move(e.packet));
    return out;
}

// Run-length words of one band of 48000 12-bit pixels: each run of one value
// up to 16 pixels long, continuing across rows (for the benchmark and fuzzer
// seeds; the tests spell their words out).
inline BandWords encodeBand(const uint16_t* pixels)
{
    BandWords words;
    int r = 0;
    for (int i = 0; i < kBandPixels; ++i) {
        if (i + 1 < kBandPixels && pixels[i + 1] == pixels[i] && r < 15) {
            ++r;
            continue;
        }
        words.push_back(uint16_t(r * 4096 + pixels[i]));
        r = 0;
    }
    return words;
}

} // namespace ostrel::testing
