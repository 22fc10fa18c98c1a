#pragma once
// The controller's side of the link: bytes in, decoded scheme and page writes
// out. Splits the stream into packets, groups them into transfers (a scheme
// write runs from "A" to stage 9, a page write from C0 to D7; the two may
// interleave), follows the sender's retries, and decodes each transfer as it
// completes. A listener feeds bytes as they arrive; a recorded stream is fed
// at once and finished.
#include "wire/packet_stream.h"
#include "wire/page_decoder.h"
#include "wire/scheme_decoder.h"
#include <optional>
#include <vector>

namespace ostrel {

struct ReceiverOptions {
    int version = -1;                    // controller version, -1 = infer
    std::optional<CallFlags> call_flags; // the project's call flags, when known
    // Take only the packets for this controller (1..8); 0 takes every packet.
    // The others are still framed (the stream goes on after them) and handed
    // out as ignored events.
    int controller = 0;
};

// One write of the sender, as grouped by the receiver.
struct ReceivedTransfer {
    enum class Kind { Scheme, Page } kind = Kind::Scheme;
    std::vector<LinkPacket> packets;
};

// Groups packets into transfers. A repeated or earlier stage (part) than the
// last one received means the sender started over: what came from that stage
// on is dropped and a warning recorded.
class TransferCollector {
public:
    void add(const LinkPacket& packet);
    // Hands out the transfers still open, as far as they got.
    void finish();
    std::vector<ReceivedTransfer> take();
    std::vector<DecodeProblem> takeProblems();

private:
    struct Open {
        bool active = false;
        std::vector<LinkPacket> packets;
        int last = -1; // position of the last packet: stage, or 2 x part (+1 for data)
    };
    void place(Open& open, ReceivedTransfer::Kind kind, const LinkPacket& packet, int position, bool starts,
               bool ends);
    void close(Open& open, ReceivedTransfer::Kind kind);
    // A packet no transfer keeps: its wrong checksum is a problem of its own.
    void leftOut(const LinkPacket& p);

    Open scheme_, page_;
    std::vector<ReceivedTransfer> done_;
    std::vector<DecodeProblem> problems_;
};

class LinkReceiver {
public:
    explicit LinkReceiver(ReceiverOptions options = {});

    void feed(const QByteArray& bytes);
    // No bytes for a while (see PacketStream::idle): lets a page write with
    // short tables finish without waiting for the next packet.
    void idle();
    // End of the stream: incomplete packets and transfers are reported and
    // what arrived of them is decoded.
    void finish();

    struct Output {
        std::vector<StreamEvent> events; // packets and problems in stream order
        std::vector<DecodedScheme> schemes;
        std::vector<DecodedPage> pages;
    };
    // Everything completed since the last call.
    Output take();

private:
    void pump();
    void decode(const ReceivedTransfer& transfer);

    ReceiverOptions options_;
    PacketStream stream_;
    TransferCollector collector_;
    Output out_;
};

} // namespace ostrel
