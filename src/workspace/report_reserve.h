#pragma once
// Values the project file keeps beside the first report block: one number and
// 17 texts. Nothing else in the program reads them; the project file writes
// back what it read (zero and empty texts in a new project).
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct ReportReserve {
    static constexpr int kTexts = 17;
    int32_t value = 0;
    std::array<QString, kTexts> texts{};
};

} // namespace ostrel
