#pragma once
// The scheme in memory: which block type sits under which number, where each
// block's parameters and texts live in the two flat stores, and the wiring.
// Fixed-size arrays, allocated once with the workspace and overwritten in place.
#include "scheme/block_types.h"
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

class BlockCatalog;

struct BlockTable {
    static constexpr int kBlocks = 101;        // block numbers 0..100
    static constexpr int kParams = 10001;      // ParamStore 0..10000
    static constexpr int kTexts = 20001;       // TextStore 0..20000
    // An algorithm block: p0 and setpoints SP1..SP128 at p1..p128; a program
    // of 128 steps of 41 text fields.
    static constexpr int kAlgSetpoints = 128;
    static constexpr int kAlgSteps = 128;
    static constexpr int kAlgFields = 41;
    static constexpr int kAlgParams = kAlgSetpoints + 1;      // alg_param_saved 0..128 (1..128 used)
    static constexpr int kAlgTexts = kAlgSteps * kAlgFields; // alg_text_saved 0..5247
    static constexpr int kScadaBlock = 97, kGraphBlock = 98, kJournalBlock = 99;
    static constexpr int kLastBlock = 99;      // blocks 1..99 make the scheme

    std::array<int16_t, kBlocks> block_type{};
    std::array<int16_t, kBlocks> param_base{};
    std::array<int16_t, kBlocks> text_base{};
    std::array<uint8_t, 105> invert_mask{};
    std::array<std::array<uint8_t, 17>, kBlocks> InputLink{};

    std::array<float, kParams> ParamStore{};
    std::array<QString, kTexts> TextStore{};

    std::array<uint8_t, 66> graph_input_link{};
    std::array<uint8_t, 66> journal_input_link{};
    std::array<std::array<uint8_t, 66>, 9> special_link{};
    std::array<uint8_t, 4> journal_invert{};
    std::array<uint8_t, 4> report_invert{};

    std::array<QString, kAlgParams> alg_param_saved{};
    std::array<QString, kAlgTexts> alg_text_saved{};

    int32_t param_bytes = 0;   // 4 x the sum of the parameter counts
    int32_t text_bytes = 0;    // sum of text_count x text width

    uint8_t cur_block_type = 1;
    uint8_t cur_block = 0;

    // Blocks 97, 98 and 99 are always the SCADA-page, graph and journal blocks.
    void setFixedBlockTypes()
    {
        block_type[kScadaBlock] = kScadaPage;
        block_type[kGraphBlock] = kGraph;
        block_type[kJournalBlock] = kJournal;
    }

    // Clears the wiring: input links, the special input tables and every
    // inversion mask.
    void clearWiring()
    {
        for (auto& row : InputLink)
            row.fill(0);
        invert_mask.fill(0);
        graph_input_link.fill(0);
        journal_input_link.fill(0);
        for (auto& row : special_link)
            row.fill(0);
        journal_invert.fill(0);
        report_invert.fill(0);
    }

    // Parameter k / text k of block n (no bounds beyond the stores' own).
    float& param(int n, int k) { return ParamStore[param_base[n] + k]; }
    QString& text(int n, int k) { return TextStore[text_base[n] + k]; }
};

// The allocation rule: blocks 1..99 in ascending number, each typed block
// gets the running parameter and text totals as its bases, no gaps; untyped
// blocks get bases 0. A block that would not fit the stores is left out (its
// type becomes 0). Sets param_bytes and text_bytes.
void allocateBlocks(BlockTable& bt, const BlockCatalog& cat);

} // namespace ostrel
