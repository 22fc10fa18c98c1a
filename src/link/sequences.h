#pragma once
// The two timer-driven transfer sequences as plain state machines. The driver
// calls tick() when the previous interval has run out, sends the bytes it
// returns and waits nextIntervalMs; a failing send is reported with
// sendFailed(), which rolls the counter back and returns the retry interval.
// No timers, sockets or windows here.
#include "wire/scheme_encoder.h"
#include <QByteArray>
#include <array>
#include <cstdint>

namespace ostrel {

struct TransferState;

struct SequenceTick {
    QByteArray bytes;        // the packet to send now (empty: nothing to send)
    int nextIntervalMs = 0;  // wait before the next tick
    bool finished = false;   // no further tick (after sending `bytes`, if any)
};

// Scheme sequence: stages 0..9 send one packet each, stage 10 ends it.
// Intervals: 50 x timer_multiplier ms, from the stage-8 packet on 500 ms
// (serial) or 2500 ms (TCP) for the rest of the run.
class SchemeSequence {
public:
    SchemeSequence(TransferState& ts, const SchemeImage& image, bool tcp);

    int startIntervalMs() const;       // wait before the first tick
    int stage() const;                 // stage the next tick handles (progress value)
    SequenceTick tick();
    // The packet of the last tick did not go out. Header: it is sent again.
    // Data packet over TCP: the sequence goes on with stage 1. Data packet on
    // a serial port: the same packet is sent again.
    int sendFailed();

private:
    TransferState& ts_;
    std::array<QByteArray, SchemeImage::kStages> packets_;
    bool tcp_;
    bool slow_ = false;
    int lastStage_ = -1;
    int interval_ = 0;   // interval in force before the last tick
    int previous_ = 0;
};

// Page sequence: 16 packets C0, D0, .., C7, D7 of page `page`, the payloads
// taken from ts.part_payload. Header packets carry the part's band length
// from the first two payload bytes; after a data packet the wait grows with
// that length's high byte.
class PageSequence {
public:
    PageSequence(TransferState& ts, uint8_t controller, int page, bool tcp);

    int startIntervalMs() const;       // 10 x timer_multiplier ms
    int packet() const;                // page_packet the next tick handles (0..15)
    int page() const { return page_; }
    bool lastWasHeader() const { return lastWasHeader_; }
    SequenceTick tick();
    // page_packet is not advanced: the same packet goes again at the next tick.
    int sendFailed();

    // Wait after the data packet of a part whose band length has high byte h.
    static int dataWaitMs(int h, bool tcp);
    static int headerWaitMs(bool tcp) { return tcp ? 500 : 10; }

private:
    TransferState& ts_;
    uint8_t controller_;
    int page_;
    bool tcp_;
    bool lastWasHeader_ = false;
    int lastPacket_ = -1;
    int interval_ = 0;
    int previous_ = 0;
};

// The sixteen packets of the page prepared in ts.part_payload, in the order
// and with the bytes the page sequence sends them (C0, D0, .., C7, D7), for
// page index `page` of controller `controller`.
QByteArray pageWireStream(TransferState& ts, uint8_t controller, int page);

} // namespace ostrel
