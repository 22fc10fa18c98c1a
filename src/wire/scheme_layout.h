#pragma once
// The scheme write as the controller receives it: stage 0 is the header "A"
// with the byte totals P and T, stages 1..9 are "B" packets. Blocks 0..99 go
// out, the journal block being the last; the data of the fixed stages 1..7
// follows from the counts here, stages 8 and 9 carry P and T bytes.
#include "scheme/block_table.h"

namespace ostrel {

inline constexpr int kSchemeStages = 10;                          // stages 0..9
inline constexpr int kSentBlocks = BlockTable::kJournalBlock + 1; // blocks 0..99
inline constexpr int kSentInputs = 16;     // input link bytes per block (byte 16 is not sent)
inline constexpr int kLinkColumns = 65;    // graph and journal inputs, special rows (byte 65 is not sent)
inline constexpr int kSpecialRows = 8;     // special_link rows 0..7 (row 8 is not sent)
inline constexpr int kJournalInverts = 4;
inline constexpr int kSchemeHeaderData = 4; // P and T, each low byte first

// Data bytes of stage 0..7: the header's totals, the block types, the wiring
// column by column, the graph and journal inputs, the special rows, the
// inversion masks and the journal's; 0 for stages 8 and 9 (see the totals).
constexpr int schemeStageData(int stage)
{
    switch (stage) {
    case 0: return kSchemeHeaderData;
    case 1: return kSentBlocks;
    case 2: return kSentInputs * kSentBlocks;
    case 3: case 4: return kLinkColumns;
    case 5: return kSpecialRows * kLinkColumns;
    case 6: return kSentBlocks;
    case 7: return kJournalInverts;
    default: return 0;
    }
}

} // namespace ostrel
