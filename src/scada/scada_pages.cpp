#include "scada/scada_pages.h"

#include "scada/kind_records.h"
#include "scheme/block_table.h"

#include <algorithm>
#include <cmath>

namespace ostrel {

void ScadaPages::clear()
{
    forEachKind([&](auto kind) {
        using K = decltype(kind);
        if constexpr (K::info().numbered()) {
            for (auto& page : K::table(*this))
                for (auto& record : page)
                    record = {};
        } else {
            K::table(*this).fill(typename K::Record{});
        }
    });
    background_refs.fill(QString());
    background_kind.fill(0);
    fill_color.fill(0);
    grid_step = 1;
    grid_enabled = 0;
    grid_step_copy = 1;
    grid_enabled_copy = 0;
}

GrafikElement* ScadaPages::grafikOfPage(int p)
{
    return (p >= 0 && p + 1 < kPages) ? &grafik[size_t(p + 1)] : nullptr;
}

ClockElement* ScadaPages::clockOfPage(int p)
{
    return (p >= 0 && p + 1 < kPages) ? &clock[size_t(p + 1)] : nullptr;
}

int ScadaPages::maxNumber(ObjectKind kind)
{
    return kindInfo(kind).max_number;
}

bool ScadaPages::validSlot(ObjectKind kind, int p, int n)
{
    return kindInfo(kind).numbered() && p >= 0 && p < kPages && n >= 0 && n < kindInfo(kind).slot_count;
}

int16_t* ScadaPages::usedFlag(ObjectKind kind, int p, int n)
{
    if (!validSlot(kind, p, n))
        return nullptr;
    return visitKind(kind, [&](auto k) { return &decltype(k)::record(*this, size_t(p), size_t(n)).used; });
}

const int16_t* ScadaPages::usedFlag(ObjectKind kind, int p, int n) const
{
    return const_cast<ScadaPages*>(this)->usedFlag(kind, p, n);
}

bool ScadaPages::isUsed(ObjectKind kind, int p, int n) const
{
    const int16_t* u = usedFlag(kind, p, n);
    return u && *u != 0;
}

int ScadaPages::allocate_slot(ObjectKind kind, int p, int requested)
{
    if (p < 0 || p >= kPages)
        return 0;
    const int max = maxNumber(kind);
    if (requested >= 1 && requested <= max && isUsed(kind, p, requested))
        return requested;
    for (int n = 1; n <= max; ++n) {
        int16_t* u = usedFlag(kind, p, n);
        if (*u == 0) {
            *u = 1;
            return n;
        }
    }
    return 0;
}

void ScadaPages::release_slot(ObjectKind kind, int p, int n)
{
    if (int16_t* u = usedFlag(kind, p, n))
        *u = 0;
}

int ScadaPages::typedNumber(const QString& text)
{
    // Leading number: blanks, optional sign, digits, optional fraction.
    const QString t = text.trimmed();
    int i = 0;
    QString num;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        num += t[i++];
    bool digits = false;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
        num += t[i++];
        digits = true;
    }
    if (i < t.size() && (t[i] == u'.' || t[i] == u',')) {
        num += u'.';
        ++i;
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
            num += t[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    bool ok = false;
    double v = num.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    v = std::clamp(v, -1.0e6, 1.0e6);
    return int(std::nearbyint(v));
}

int16_t packListY(int top, int list_number)
{
    top = std::clamp(top, 0, 479);
    list_number = std::clamp(list_number, 0, 31);
    return int16_t(top + 1024 * list_number);
}

int listTop(int16_t y)
{
    return int(uint16_t(y) & 1023u);
}

int listNumber(int16_t y)
{
    return int((uint16_t(y) >> 10) & 63u);
}

int16_t packSignalWidth(int width, int shape)
{
    width = std::clamp(width, 0, 63);
    shape = std::clamp(shape, 0, 7);
    return int16_t(width + 64 * (shape % 4));
}

int16_t packSignalHeight(int height, int shape)
{
    height = std::clamp(height, 0, 63);
    shape = std::clamp(shape, 0, 7);
    return int16_t(height + 64 * (shape / 4));
}

int signalSize(int16_t field)
{
    // A negative field (size + 64 x shape with a size below 0) is the size
    // taken absolutely, clamped to its 6 bits: its sign bits are no shape.
    if (field < 0)
        return std::min(-int(field), 63);
    return int(field & 63);
}

int signalShapeBits(int16_t field)
{
    return field < 0 ? 0 : (field >> 6) & 3;
}

int signalShape(int16_t width_field, int16_t height_field)
{
    const int heightPart = height_field < 0 ? 0 : height_field >> 6;
    return std::min(heightPart * 4 + signalShapeBits(width_field), 7);
}

int16_t packGoOption(bool locked, int list_index)
{
    return int16_t((locked ? 128 : 0) + std::clamp(list_index, 0, 127));
}

bool goOptionLocked(int16_t option)
{
    return (uint16_t(option) / 128u) != 0;
}

int goOptionIndex(int16_t option)
{
    return int(uint16_t(option) % 128u);
}

int16_t goTarget(int block, bool process, int list_index)
{
    if (block == BlockTable::kScadaBlock)
        return int16_t(201 + std::clamp(list_index, 0, ScadaPages::kShownPages - 1));
    if (block == BlockTable::kGraphBlock)
        return int16_t(211 + std::clamp(list_index, 0, kGraphGroups - 1));
    if (block == 0)
        return 220;
    return int16_t(process ? block + 100 : block);
}

uint8_t packLevelStyle(bool horizontal, bool framed)
{
    return uint8_t((horizontal ? 2 : 0) + (framed ? 1 : 0));
}

bool levelFramed(uint8_t style)
{
    return (style & 1u) != 0;
}

bool levelHorizontal(uint8_t style)
{
    return (style & 2u) != 0;
}

uint8_t packParamOutput(int list_index, bool setpoint)
{
    return uint8_t((std::clamp(list_index, 0, 127)) | (setpoint ? 0x80 : 0));
}

int paramOutputIndex(uint8_t output)
{
    return output & 0x7f;
}

bool paramOutputIsSetpoint(uint8_t output)
{
    return (output & 0x80) != 0;
}

} // namespace ostrel
