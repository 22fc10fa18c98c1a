#pragma once
// Which optional parts of the project file a controller version stores.
#include <array>
#include <cstdint>

namespace ostrel::project {

inline constexpr int kLastBlock = 99;      // blocks 1..99 are stored
inline constexpr int kCallFlagSteps = 128; // call flags of steps 0..127
inline constexpr int kReportType = 48;
inline constexpr int kAlgorithmType = 45;
inline constexpr int kRs485Type = 5;

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

// Blocks whose texts are stored in the names section.
inline bool storesNames(int type, int version)
{
    switch (type) {
    case 25: case 29: case 41: case 42: case 45: case 48:
        return true;
    case kRs485Type:
        return version == 5;
    default:
        return false;
    }
}

template <size_t N>
bool hasReportBlock(const std::array<int16_t, N>& types)
{
    for (int n = 1; n <= kLastBlock && n < int(N); ++n)
        if (types[size_t(n)] == kReportType)
            return true;
    return false;
}

} // namespace ostrel::project
