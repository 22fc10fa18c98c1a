#include "link/sequences.h"
#include "wire/packet.h"
#include "wire/transfer_state.h"
#include <algorithm>

namespace ostrel {

// ---- scheme ---------------------------------------------------------------

SchemeSequence::SchemeSequence(TransferState& ts, const SchemeImage& image, bool tcp)
    : ts_(ts), packets_(image.packets), tcp_(tcp)
{
    ts_.scheme_stage = 0;
    interval_ = startIntervalMs();
}

int SchemeSequence::startIntervalMs() const { return 50 * ts_.timer_multiplier; }

int SchemeSequence::stage() const { return ts_.scheme_stage; }

SequenceTick SchemeSequence::tick()
{
    SequenceTick t;
    const int stage = ts_.scheme_stage;
    previous_ = interval_;
    if (stage < 0 || stage >= SchemeImage::kStages) {
        t.finished = true;
        return t;
    }
    if (stage >= 8)
        slow_ = true;
    ts_.packet = packets_[stage];
    ts_.packet_length = int32_t(ts_.packet.size());
    t.bytes = appendCrc(ts_);
    interval_ = slow_ ? (tcp_ ? 2500 : 500) : startIntervalMs();
    t.nextIntervalMs = interval_;
    lastStage_ = stage;
    ts_.scheme_stage = int16_t(stage + 1);
    return t;
}

int SchemeSequence::sendFailed()
{
    if (lastStage_ < 0)
        return interval_;
    if (lastStage_ == 0)
        ts_.scheme_stage = 0;
    else
        ts_.scheme_stage = int16_t(tcp_ ? 1 : lastStage_);
    // The interval set for the failed tick stays: from stage 8 on it is the
    // slow one, which is in force before the stage-8 packet goes out.
    return interval_;
}

// ---- page -----------------------------------------------------------------

PageSequence::PageSequence(TransferState& ts, uint8_t controller, int page, bool tcp)
    : ts_(ts), controller_(controller), page_(page), tcp_(tcp)
{
    ts_.page_packet = 0;
    interval_ = startIntervalMs();
}

int PageSequence::startIntervalMs() const { return 10 * ts_.timer_multiplier; }

int PageSequence::packet() const { return ts_.page_packet; }

int PageSequence::dataWaitMs(int h, bool tcp)
{
    return tcp ? std::max(30 * h + 300, 1500) : std::max(30 * h + 30, 800);
}

SequenceTick PageSequence::tick()
{
    SequenceTick t;
    const int packet = ts_.page_packet;
    previous_ = interval_;
    if (packet < 0 || packet > 15) {
        t.finished = true;
        return t;
    }
    const int part = packet / 2;
    const QByteArray& payload = ts_.part_payload[size_t(part)];
    const uint8_t lengthLow = payload.size() > 0 ? uint8_t(payload[0]) : 0;
    const uint8_t lengthHigh = payload.size() > 1 ? uint8_t(payload[1]) : 0;
    if (packet % 2 == 0) {
        ts_.packet.clear();
        ts_.packet.append(char(controller_));
        ts_.packet.append(kPageHeader);
        ts_.packet.append(char(lengthLow));
        ts_.packet.append(char(lengthHigh));
        ts_.packet.append(char(uint8_t(page_)));
        ts_.packet.append(char(part));
        ts_.packet_length = 6;
        t.bytes = appendCrc(ts_);
        interval_ = headerWaitMs(tcp_);
        lastWasHeader_ = true;
    } else {
        QByteArray p;
        p.reserve(3 + payload.size());
        p.append(char(controller_));
        p.append(kPageData);
        p.append(char(part));
        p.append(payload);
        t.bytes = p;
        interval_ = dataWaitMs(lengthHigh, tcp_);
        lastWasHeader_ = false;
    }
    t.nextIntervalMs = interval_;
    lastPacket_ = packet;
    ts_.page_packet = int16_t(packet + 1);
    if (ts_.page_packet > 15) {
        t.finished = true;
        ts_.page_packet = 0;
    }
    return t;
}

int PageSequence::sendFailed()
{
    if (lastPacket_ >= 0)
        ts_.page_packet = int16_t(lastPacket_);
    interval_ = previous_;
    return interval_;
}

QByteArray pageWireStream(TransferState& ts, uint8_t controller, int page)
{
    PageSequence sequence(ts, controller, page, false);
    QByteArray out;
    for (;;) {
        const SequenceTick t = sequence.tick();
        out.append(t.bytes);
        if (t.finished)
            return out;
    }
}

} // namespace ostrel
