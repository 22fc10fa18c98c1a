#pragma once
// Which optional parts of the project file a controller version stores.
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "scheme/block_types.h"
#include <array>
#include <cstdint>

namespace ostrel::project {

inline constexpr int kCallFlagSteps = BlockTable::kAlgSteps; // call flags of steps 0..127

// The mechanism table (section 13): versions 0, 3, 4, 5.
inline bool storesMechanisms(int version)
{
    return version == 0 || version == 3 || version == 4 || version == 5;
}

// Algorithm comments and call flags (section 26): versions 3, 4, 5.
inline bool storesComments(int version)
{
    return version == 3 || version == 4 || version == 5;
}

// Blocks whose texts are stored in the names section: every type that owns
// texts under the catalog of the file's version (the RS485 block only under
// version 5).
inline bool storesNames(const BlockCatalog& versionCatalog, int type)
{
    return versionCatalog.textCount(type) > 0;
}

template <size_t N>
bool hasReportBlock(const std::array<int16_t, N>& types)
{
    for (int n = 1; n <= BlockTable::kLastBlock && n < int(N); ++n)
        if (types[size_t(n)] == kReport)
            return true;
    return false;
}

} // namespace ostrel::project
