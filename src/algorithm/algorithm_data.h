#pragma once
// Per-project tables of the algorithm block that live outside the block's own
// parameters and texts: the step comments and the call flags.
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct AlgorithmData {
    static constexpr int kComments = 1409;
    std::array<QString, kComments> alg_comments{};
    // call_flags[s][b]: branch b (0 = then, 1 = else) of step s is a call.
    std::array<std::array<uint8_t, 3>, 129> call_flags{};
};

} // namespace ostrel
