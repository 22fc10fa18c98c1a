#pragma once
// State of the link while a write into the controller runs.
#include <cstdint>

namespace ostrel {

struct TransferState {
    int16_t timer_multiplier = 0;
};

} // namespace ostrel
