#pragma once
// The image part of a page write: eight parts, each a band of 60 rows of the
// 800-pixel-wide page, run-length encoded in 16-bit words (bits 0..11 the
// 12-bit colour, bits 12..15 the repeat count r: r + 1 pixels). A band's
// header and words take at most 32000 bytes.
#include "scada/page_size.h"
#include <QtGlobal>
#include <cstdint>

namespace ostrel {

inline constexpr int kPageParts = 8;
inline constexpr int kBandRows = kPageHeight / kPageParts;  // 60
inline constexpr int kBandPixels = kBandRows * kPageWidth; // 48000
inline constexpr int kMaxBandLength = 32000;               // header and words of one band

// Pixels covered by run-length words; `byteCount` / 2 words are read, a
// trailing odd byte is ignored.
inline qint64 bandRunPixels(const char* words, qsizetype byteCount)
{
    qint64 pixels = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(words);
    for (qsizetype i = 0; i + 1 < byteCount; i += 2)
        pixels += (p[i + 1] >> 4) + 1;
    return pixels;
}

} // namespace ostrel
