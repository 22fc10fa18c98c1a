// Fuzzes the receiving end of the link: the stream framing, the transfer
// grouping and both decoders. The first input byte picks the mode:
//   even: the rest is the received stream, fed in pieces of a size taken from
//         the second byte, then finished; the same bytes are also cut into
//         packets of fuzzer-chosen lengths and given straight to both decoders;
//   odd:  a valid scheme write and page write (full or short tables, by bit 1)
//         are edited: each edit is an offset (3 bytes), an operation (1 byte)
//         and a value (1 byte): overwrite, insert or delete a byte.
// Whatever comes in, every packet must lie inside the stream, in order, and
// every decoded page must have its full image.
#include "workspace/workspace.h"
#include "wire/link_receiver.h"
#include "wire/packet.h"
#include "wire/scheme_encoder.h"
#include "../tests/wire/link_streams.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace ostrel;

namespace {

std::array<QByteArray, 2> makeTemplates()
{
    auto ws = std::make_unique<Workspace>();
    BlockTable& bt = ws->blocks;
    bt.block_type[2] = 9;
    bt.block_type[4] = 25;
    bt.block_type[6] = 5;
    bt.block_type[97] = 43;
    bt.block_type[98] = 41;
    bt.block_type[99] = 42;
    allocateBlocks(bt, ws->catalog);
    bt.param(4, 1) = -12.5f;
    bt.text(4, 0) = QStringLiteral("Имя");
    ws->settings.controller_number = 1;
    const QByteArray scheme = schemeWireStream(buildSchemeImage(ws->blocks, ws->catalog, ws->alg, ws->settings.controller_number));
    std::array<testing::BandWords, 8> bands;
    for (int k = 0; k < 8; ++k) {
        // A few runs of different lengths and values per band.
        testing::BandWords w;
        int pixels = 0;
        for (int i = 0; pixels < kBandPixels; ++i) {
            const int run = std::min(1 + (i * 7 + k) % 16, kBandPixels - pixels);
            w.push_back(uint16_t((run - 1) * 4096 + ((i * 37 + k) & 0xFFF)));
            pixels += run;
        }
        bands[size_t(k)] = w;
    }
    return {scheme + testing::pageStream(1, 3, bands, testing::emptyTables(TableLayout::Full)),
            scheme + testing::pageStream(1, 3, bands, testing::emptyTables(TableLayout::Short))};
}

const std::array<QByteArray, 2>& templates()
{
    static const std::array<QByteArray, 2> t = makeTemplates();
    return t;
}

uint32_t take(const uint8_t*& p, const uint8_t* end, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes && p < end; ++i)
        v = (v << 8) | *p++;
    return v;
}

QByteArray edited(const uint8_t* p, const uint8_t* end, int which)
{
    QByteArray s = templates()[size_t(which)];
    while (end - p >= 5 && !s.isEmpty()) {
        const qsizetype at = qsizetype(take(p, end, 3) % uint32_t(s.size()));
        const uint8_t op = uint8_t(take(p, end, 1));
        const char value = char(take(p, end, 1));
        switch (op % 3) {
        case 0: s[at] = value; break;
        case 1: s.insert(at, value); break;
        default: s.remove(at, 1 + op / 3 % 64); break;
        }
    }
    return s;
}

// Checks what came out; with `json` also builds the JSON and the picture.
void check(const LinkReceiver::Output& out, qint64 streamSize, bool json)
{
    qint64 next = 0;
    for (const StreamEvent& e : out.events) {
        for (const DecodeProblem& p : e.problems)
            (void)describe(p);
        if (!e.has_packet)
            continue;
        if (e.packet.offset < next || e.packet.offset + e.packet.bytes.size() > streamSize || e.packet.bytes.isEmpty())
            std::abort();
        next = e.packet.offset + e.packet.bytes.size();
    }
    for (const DecodedPage& pg : out.pages)
        if (pg.image.size() != size_t(kPageWidth) * kPageHeight)
            std::abort();
    if (!json)
        return;
    for (const DecodedScheme& s : out.schemes)
        (void)schemeJson(s);
    for (const DecodedPage& pg : out.pages)
        (void)pageJson(pg);
    if (!out.pages.empty() && pageImage(out.pages.back()).size() != QSize(kPageWidth, kPageHeight))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    const uint8_t mode = uint8_t(take(p, end, 1));

    if (mode & 1) {
        const QByteArray stream = edited(p, end, (mode >> 1) & 1);
        // Bit 2: version 1.3 given; bit 4: call flags given (block type 45
        // is one edited byte away).
        CallFlags flags{};
        flags[0][0] = flags[3][1] = 1;
        LinkReceiver rx({(mode & 4) ? 1 : -1, (mode & 16) ? std::optional<CallFlags>(flags) : std::nullopt});
        rx.feed(stream);
        rx.finish();
        check(rx.take(), stream.size(), mode & 8);
        return 0;
    }

    const qsizetype chunk = 1 + qsizetype(take(p, end, 1)) * 37;
    const QByteArray stream(reinterpret_cast<const char*>(p), qsizetype(end - p));
    LinkReceiver rx;
    for (qsizetype at = 0; at < stream.size(); at += chunk) {
        rx.feed(stream.mid(at, chunk));
        if ((mode & 2) && at % 3 == 0)
            rx.idle();
    }
    rx.finish();
    check(rx.take(), stream.size(), mode & 8);

    // The same bytes as packets of chosen lengths, straight to the decoders.
    std::vector<LinkPacket> packets;
    const uint8_t* q = p;
    while (q < end && packets.size() < 40) {
        const qsizetype n = std::min<qsizetype>(qsizetype(*q) * 8 + 1, end - q);
        packets.push_back(makeLinkPacket(QByteArray(reinterpret_cast<const char*>(q), n), int(packets.size()),
                                         q - p));
        q += n;
    }
    // Only packets of a kind reach a decoder, as the receiver would hand them.
    const auto any = [&](char a, char b) {
        return std::any_of(packets.begin(), packets.end(), [&](const LinkPacket& x) {
            return x.command == a || x.command == b;
        });
    };
    if (any('A', 'B')) {
        const DecodedScheme s = decodeScheme(packets);
        CallFlags flags{};
        flags[0][0] = flags[5][1] = 1;
        SchemeDecodeOptions withFlags;
        withFlags.call_flags = &flags;
        withFlags.version = 1;
        (void)decodeScheme(packets, withFlags);
        if (mode & 8)
            (void)schemeJson(s);
    }
    if (any('C', 'D')) {
        const DecodedPage pg = decodePage(packets);
        if (pg.image.size() != size_t(kPageWidth) * kPageHeight)
            std::abort();
        if (mode & 8)
            (void)pageJson(pg);
    }
    return 0;
}
