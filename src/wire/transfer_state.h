#pragma once
// State of the link while a write into the controller runs: the packet being
// built, the stage and packet counters of the two sequences and the page
// transmit buffer. Plain data owned by the workspace; the sequences and the
// transfer engine update it as they go.
#include "wire/page_bands.h"
#include <QByteArray>
#include <array>
#include <cstdint>

namespace ostrel {

struct TransferState {
    static constexpr int kPartSize = 48000;               // bytes per page part in tx_buffer
    static constexpr int kParts = kPageParts;
    static constexpr int kTxBufferSize = kParts * kPartSize + 1; // bytes 0..384000

    // 10 for a TCP link, 1 for a serial one; 0 = not derived yet (timers do not tick).
    int16_t timer_multiplier = 0;
    // Interval of the page-chain timer (all pages): 1000 ms serial, 3000 ms TCP.
    int32_t page_chain_interval = 1000;

    QByteArray packet;          // the packet being built (one byte per element)
    // Leading bytes of packet covered by the checksum. 32-bit: a stage-9 packet
    // of a large scheme is longer than 32767 bytes.
    int32_t packet_length = 0;
    int32_t crc = 0;            // result of the last checksum computation, 0..65535

    int16_t scheme_stage = 0;   // 0..10
    int16_t page_packet = 0;    // 0..15
    int16_t page_part = 0;      // 0..7, band being prepared by the page renderer

    QByteArray tx_buffer = QByteArray(kTxBufferSize, '\0'); // allocated once
    int32_t tx_length = 0;      // write position for Element_SCADA_COMPORT
    std::array<QByteArray, kParts> part_payload{}; // data-packet payload of each part, no checksum
};

} // namespace ostrel
