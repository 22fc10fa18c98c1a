#pragma once
// The control scheme as the controller receives it, rebuilt from the ten
// packets of a scheme write (header "A", data "B" stages 1..9): block types,
// wiring, inversion masks, every numeric parameter and every text. The block
// bases follow from the types by the allocation rule and the catalog counts
// of the controller version. Every violation (checksum, length, order,
// totals) is recorded; whatever is readable is still decoded.
#include "algorithm/algorithm_data.h"
#include "wire/decode_problem.h"
#include "wire/packet_stream.h"
#include "wire/scheme_layout.h"
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace ostrel {

using CallFlags = std::array<std::array<uint8_t, 3>, 129>;

struct DecodedBlock {
    int number = 0;
    int type = 0;
    int param_base = 0;
    int text_base = 0;
    // Parameters as sent: value x 1000 (sign-magnitude on the wire), and the
    // single float nearest to that value / 1000.
    std::vector<int32_t> param_milli;
    std::vector<float> params;
    // Texts as the block table holds them: names without their padding
    // blanks, byte values of RS485 texts and algorithm step fields as decimals.
    QStringList texts;
};

struct DecodedScheme {
    static constexpr int kStages = kSchemeStages;
    static constexpr int kBlocks = kSentBlocks; // blocks 0..99 go out

    uint8_t controller = 0;
    int version_code = 5;            // given, or the first version whose counts fit the totals
    std::vector<int> version_candidates; // versions whose counts fit the totals
    int param_bytes = 0;             // P of the header
    int text_bytes = 0;              // T of the header
    std::array<bool, kStages> received{};

    std::array<uint8_t, kBlocks> block_type{};
    std::array<std::array<uint8_t, 17>, kBlocks> InputLink{}; // byte 16 is not sent
    std::array<uint8_t, 66> graph_input_link{};               // byte 65 is not sent
    std::array<uint8_t, 66> journal_input_link{};
    std::array<std::array<uint8_t, 66>, 9> special_link{};    // row 8 is not sent
    std::array<uint8_t, kBlocks> invert_mask{};
    std::array<uint8_t, 4> journal_invert{};
    std::array<uint8_t, 4> report_invert{};                   // the copy in special_link row 1

    std::vector<int32_t> param_milli; // all P / 4 parameters in store order
    QByteArray text_data;             // the stage-9 bytes
    std::vector<DecodedBlock> blocks; // blocks 1..99 with a type, ascending
    // Call flags of the algorithm steps; filled only when the decoder was told
    // the flags (see SchemeDecodeOptions::call_flags).
    CallFlags call_flags{};

    std::vector<DecodeProblem> problems;

    const DecodedBlock* block(int number) const;
    // All ten packets arrived and nothing is an error.
    bool complete() const;
};

struct SchemeDecodeOptions {
    // Controller version whose catalog counts apply; -1 infers it from the
    // totals P and T (versions 5, 3, 0, 1 are tried in this order).
    int version = -1;
    // A call adds 128 to the action byte of its branch, so the byte alone
    // cannot tell a call of kind k from kind k + 128. With the project's call
    // flags the decoder takes the adjustment back (and checks it); without
    // them the step fields hold the bytes as received.
    const CallFlags* call_flags = nullptr;
};

DecodedScheme decodeScheme(const std::vector<LinkPacket>& packets, const SchemeDecodeOptions& options = {});

// The parameter of four wire bytes (sign-magnitude, low byte first) as value x 1000.
int32_t decodeParameterMilli(const uint8_t bytes[4]);

// The decoded scheme in the shape `ostrel-cli scheme` prints: the same keys
// in the same order. The wire carries no component names and no import
// messages: "component" is empty and "messages" an empty list.
QJsonObject schemeJson(const DecodedScheme& scheme);

} // namespace ostrel
