#include "scada/picture_completeness.h"

namespace ostrel {

namespace {

int byteAt(const QByteArray& b, qsizetype i) { return i < b.size() ? uint8_t(b[i]) : -1; }

quint32 be32(const QByteArray& b, qsizetype i)
{
    return (quint32(uint8_t(b[i])) << 24) | (quint32(uint8_t(b[i + 1])) << 16) | (quint32(uint8_t(b[i + 2])) << 8)
        | quint32(uint8_t(b[i + 3]));
}

quint32 le32(const QByteArray& b, qsizetype i)
{
    return quint32(uint8_t(b[i])) | (quint32(uint8_t(b[i + 1])) << 8) | (quint32(uint8_t(b[i + 2])) << 16)
        | (quint32(uint8_t(b[i + 3])) << 24);
}

// Skips a chain of GIF sub-blocks from `i`; false when the bytes end first.
bool skipSubBlocks(const QByteArray& b, qsizetype& i)
{
    for (;;) {
        const int length = byteAt(b, i);
        if (length < 0)
            return false;
        i += 1;
        if (length == 0)
            return true;
        i += length;
    }
}

// The first image of a GIF: extensions before it, its descriptor, its
// colour table and its data up to the block terminator.
bool gifComplete(const QByteArray& b)
{
    if (b.size() < 13)
        return false;
    qsizetype i = 13;
    if (uint8_t(b[10]) & 0x80)
        i += 3 * (qsizetype(1) << ((uint8_t(b[10]) & 7) + 1));
    for (;;) {
        const int block = byteAt(b, i);
        if (block == 0x21) { // extension: label, then sub-blocks
            i += 2;
            if (!skipSubBlocks(b, i))
                return false;
        } else if (block == 0x2C) { // image descriptor
            const int flags = byteAt(b, i + 9);
            if (flags < 0)
                return false;
            i += 10;
            if (flags & 0x80)
                i += 3 * (qsizetype(1) << ((flags & 7) + 1));
            i += 1; // LZW minimum code size
            return skipSubBlocks(b, i);
        } else {
            return block >= 0; // the trailer, or bytes Qt judges itself
        }
    }
}

// Chunks up to IEND.
bool pngComplete(const QByteArray& b)
{
    qsizetype i = 8;
    while (i + 8 <= b.size()) {
        const quint32 length = be32(b, i);
        if (b.mid(i + 4, 4) == "IEND")
            return true;
        i += 12 + qsizetype(length);
    }
    return false;
}

} // namespace

bool pictureComplete(const QByteArray& b)
{
    if (b.startsWith("GIF87a") || b.startsWith("GIF89a"))
        return gifComplete(b);
    if (b.startsWith("\x89PNG\r\n\x1a\n"))
        return pngComplete(b);
    if (b.startsWith("\xFF\xD8\xFF"))
        return b.lastIndexOf("\xFF\xD9") > 2;
    if (b.startsWith("BM") && b.size() >= 6) {
        const quint32 declared = le32(b, 2);
        return declared == 0 || quint64(b.size()) >= declared;
    }
    return true;
}

} // namespace ostrel
