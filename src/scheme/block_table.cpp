#include "scheme/block_table.h"
#include "scheme/block_catalog.h"

namespace ostrel {

void allocateBlocks(BlockTable& bt, const BlockCatalog& cat)
{
    int P = 0, T = 0, textBytes = 0;
    for (int n = 1; n <= BlockTable::kLastBlock; ++n) {
        bt.param_base[n] = bt.text_base[n] = 0;
        const int t = bt.block_type[n];
        if (t == kNoBlockType)
            continue;
        const int pc = cat.paramCount(t), tc = cat.textCount(t);
        if (P + pc > BlockTable::kParams || T + tc > BlockTable::kTexts) {
            bt.block_type[n] = kNoBlockType;
            continue;
        }
        bt.param_base[n] = int16_t(P);
        bt.text_base[n] = int16_t(T);
        P += pc;
        T += tc;
        textBytes += tc * cat.textWidth(t);
    }
    bt.param_bytes = 4 * P;
    bt.text_bytes = textBytes;
}

} // namespace ostrel
