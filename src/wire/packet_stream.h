#pragma once
// The receiving end of the link: splits the bytes that arrive into packets.
// The link carries no length field, so a packet's length follows from its
// command letter and what came before it:
//   "A"  8 bytes;
//   "B"  stages 1..7 fixed, stage 8 P + 5 and stage 9 T + 5 with the byte
//        totals P and T of the last "A" header;
//   "C"  8 bytes;
//   "D"  3 + the part payload: L + 1 for parts 0..6, L + the table area for
//        part 7 (3581 or 2972 bytes), L being the band length of the "C"
//        header just before it.
// Feed it bytes as they arrive (a socket) or all at once (a recorded file);
// it hands out complete packets and precise framing problems in stream order.
// Bytes that fit no packet are skipped up to the next packet that checks out.
#include "wire/decode_problem.h"
#include "wire/page_tables_layout.h"
#include <QByteArray>
#include <cstdint>
#include <vector>

namespace ostrel {

// Wire sizes of the scheme packets of stages 0..7 (checksum included).
int schemePacketSize(int stage);
inline constexpr int kPageHeaderSize = 8;

struct LinkPacket {
    int index = -1;        // running number in the stream, from 0
    qint64 offset = 0;     // stream offset of the first byte
    QByteArray bytes;      // the packet as received, checksum included
    char command = 0;      // 'A', 'B', 'C' or 'D'
    uint8_t controller = 0;
    int number = -1;       // scheme stage (A: 0, B: byte 2) or page part (C: byte 5, D: byte 2)
    bool has_checksum = false;
    uint16_t checksum_wire = 0;     // the last two bytes, high first
    uint16_t checksum_computed = 0; // over all bytes before them
    bool checksumOk() const { return !has_checksum || checksum_wire == checksum_computed; }
    // Byte i of the packet; 0 beyond its end.
    uint8_t at(qsizetype i) const { return i >= 0 && i < bytes.size() ? uint8_t(bytes[i]) : 0; }
    // "A", "B3", "C0", "D7": how the log and the order reports name a packet
    // ("C" alone for a header cut before its part byte).
    QString name() const;
};

// A packet made from bytes (checksum fields filled from them). The decoders
// and tests take packets made this way as well as from the stream.
LinkPacket makeLinkPacket(const QByteArray& bytes, int index = -1, qint64 offset = 0);

// One step of the stream: a packet with the framing problems found on it, or
// (has_packet false) a problem between packets.
struct StreamEvent {
    bool has_packet = false;
    LinkPacket packet;
    // The packet names another controller than the receiver listens for; it
    // was framed but belongs to no transfer.
    bool ignored = false;
    std::vector<DecodeProblem> problems;
};

class PacketStream {
public:
    explicit PacketStream(TableLayout layout = TableLayout::Auto);

    void feed(const QByteArray& bytes);
    void feed(const char* data, qsizetype size);
    // End of the stream: what is still buffered is framed as far as it goes;
    // an incomplete packet is reported as truncated.
    void finish();
    // The line has been quiet for a while: a part-7 data packet whose table
    // layout is still open is taken as ended when the bytes so far end where
    // the short layout ends (the full layout would go on with filler bytes).
    void idle();
    // Events completed since the last call, in stream order.
    std::vector<StreamEvent> take();

    qint64 bytesReceived() const { return base_ + buf_.size(); }
    int packetsEmitted() const { return nextIndex_; }

private:
    enum class Frame { Ok, NeedMore, Unknown, NoHeader };
    struct Context {
        bool scheme = false; // an "A" header was received
        int P = 0, T = 0;
        bool page = false;   // a "C" header waits for its data packet
        int L = 0, part = -1;
    };

    void parse(bool final);
    bool idle_ = false; // parse() runs for idle()
    // Length of a packet starting at position pos of the buffer.
    Frame frame(qsizetype pos, const Context& ctx, bool final, qsizetype& length) const;
    // A packet that checks out: checksum, or for "D" the band structure.
    bool checksOut(qsizetype pos, qsizetype length, const Context& ctx) const;
    enum class Scan { Found, NotFound, NeedMore };
    Scan scanForPacket(qsizetype from, qsizetype to, const Context& ctx, bool final, qsizetype& at) const;
    void emitPacket(qsizetype pos, qsizetype length, std::vector<DecodeProblem> problems);
    void emitProblem(DecodeProblem p);
    void closeSkip(qsizetype upTo);
    void compact();

    TableLayout layout_;
    QByteArray buf_;
    qint64 base_ = 0;      // stream offset of buf_[0]
    qsizetype pos_ = 0;    // next unframed byte in buf_
    qsizetype failedAt_ = -1; // the packet at pos_ did not check out; a scan inside it runs
    qsizetype scanFrom_ = 0;  // where that scan goes on
    int nextIndex_ = 0;
    Context ctx_;
    bool skipping_ = false;
    qint64 skipStart_ = 0; // stream offset where the skipped bytes began
    std::vector<StreamEvent> events_;
};

} // namespace ostrel
