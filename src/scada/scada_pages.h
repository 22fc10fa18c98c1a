#pragma once
// The eight SCADA pages and their element tables.
namespace ostrel {

struct ScadaPages {
};

} // namespace ostrel
