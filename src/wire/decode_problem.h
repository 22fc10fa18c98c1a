#pragma once
// What the receiving side found wrong in the bytes of the link: one record per
// violation, with where it is (packet index and byte offset in the received
// stream, scheme stage or page part) and what was expected against what was
// found. The decoders never stop at a problem; they record it and go on with
// what can still be read.
#include <QString>
#include <cstdint>
#include <vector>

namespace ostrel {

enum class ProblemKind : uint8_t {
    // Framing of the byte stream.
    UnknownCommand,   // the byte after a controller number is not "A".."D"
    NoLengthHeader,   // a packet whose length needs a header that was not received
    SkippedBytes,     // bytes between packets that belong to no packet (found = count)
    Truncated,        // the stream ends inside a packet
    CutShort,         // a packet ends before its length: the next packet starts inside it
    // Any packet.
    Checksum,         // the checksum on the wire differs from the computed one
    ControllerNumber, // a controller number outside 1..8
    ControllerMix,    // a packet of the transfer names another controller
    PacketLength,     // the packet's length differs from what its stage or header says
    // Order inside a transfer.
    Order,            // a packet other than the next one expected
    Missing,          // a stage or part never received
    Repeated,         // a stage or part received again
    Restarted,        // the sender started a transfer over (a retry after a send failure)
    // Scheme.
    ParamAlignment,   // the parameter byte total is not a multiple of 4
    ParamTotal,       // the parameter byte total differs from the block types' counts
    TextTotal,        // the text byte total differs from the block types' counts
    BlockType,        // a block type outside the catalog
    FixedBlockType,   // block 97, 98 or 99 without its fixed type, or block 0 typed
    CallAdjustment,   // a step marked as a call whose action byte lacks the call bit
    // Page.
    PageIndex,        // page index outside 0..7
    PageMix,          // the headers of one page name different pages
    BandLength,       // band length L odd, below 4 or above 32000
    HeaderMismatch,   // L in the data packet differs from L in its header
    BandOverfill,     // the runs of a band cover more than 60 x 800 pixels
    BandUnderfill,    // the runs of a band cover fewer than 60 x 800 pixels
    BandRuns,         // runs split where the encoding would have joined them
    TableArea,        // the element table area has neither known size
    Filler,           // a byte of the filler table other than 7
    Marker,           // the marker table is not 55 and eight zeros
    Reserved,         // a byte the sender leaves zero is not zero
    TouchCell,        // a control's touch cell does not match its position
};

enum class Severity : uint8_t {
    Error,   // the controller would receive wrong or incomplete data
    Warning, // readable, but not what the configurator sends
};

struct DecodeProblem {
    ProblemKind kind = ProblemKind::UnknownCommand;
    int packet = -1;     // index of the packet in the received stream, -1 none
    int stage = -1;      // scheme stage 0..9 or page part 0..7, -1 none
    qint64 offset = -1;  // byte offset in the received stream, -1 unknown
    QString expected;    // what should stand there
    QString found;       // what stands there
    QString detail;      // which field, block or element, when that helps
};

Severity severity(ProblemKind kind);
// The problem as one line of the packet log.
QString describe(const DecodeProblem& p);
// True when any problem of the list is an error.
bool hasErrors(const std::vector<DecodeProblem>& problems);

} // namespace ostrel
