#pragma once
// The element tables at the end of a page write's part 7, described once:
// the tables in their order, the records each holds, and the fields of a
// record in wire order with their widths (16-bit words low byte first,
// bytes, 12-byte texts). The page encoder writes by this description, the
// page decoder reads by it and the packet stream takes its sizes from it.
//
// Two layouts: versions 0, 3, 4 and 5 receive every table (3580 bytes) and
// one zero byte after them; versions 1 and 2 have no mechanism table and no
// filler (3036 bytes), and their last table, the mechanism bindings, is
// written but not sent (2972 bytes go out).
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace ostrel {

// Layout of the element tables at the end of part 7.
enum class TableLayout : uint8_t {
    Auto,  // decide by the bytes: the full layout has its filler of 7s
    Full,  // versions 0, 3, 4, 5: tables 1..13 and one zero byte
    Short, // versions 1, 2: no mechanisms and no filler, bindings cut by 64 bytes
};

// The layout a controller version receives; Auto for a version < 0 (unknown).
constexpr TableLayout tableLayoutForVersion(int version_code)
{
    if (version_code < 0)
        return TableLayout::Auto;
    return (version_code == 1 || version_code == 2) ? TableLayout::Short : TableLayout::Full;
}

// The element records as the controller receives them. Colours are RGB565,
// sizes are the bytes sent (see page_decoder.h for the derived values); block
// and output come from the binding tables. Every table holds all its
// numbers, used or not: the wire has no used flag.
struct WireParametr {
    uint16_t x = 0, y = 0, color = 0, back_color = 0;
    uint8_t frame = 0, font_code = 0, digits_code = 0; // digits_code = digits + 2
    uint8_t block = 0, output = 0;
    bool operator==(const WireParametr&) const = default;
};
struct WireSignal {
    uint16_t x = 0, y = 0;             // y = top + 1024 x signal-list number
    uint8_t width_byte = 0, height_byte = 0; // size field - 1, or - 5 when framed
    uint16_t color = 0, back_color = 0;
    uint8_t frame = 0, block = 0, output = 0;
    bool operator==(const WireSignal&) const = default;
};
struct WireTextSignal {
    uint16_t x = 0, y = 0;             // y = top + 1024 x signal-list number
    uint8_t font_code = 0;             // 2, 3, 4 for font 10, 14, 18
    uint16_t color = 0, back_color = 0;
    uint8_t length_frame = 0;          // 2 x length of text_off + frame
    std::array<uint8_t, 12> text_off{}, text_on{}; // code page 1251, space padded
    uint8_t block = 0, output = 0;
    bool operator==(const WireTextSignal&) const = default;
};
struct WireLevel {
    uint16_t x = 0, y = 0;
    uint8_t width_byte = 0, height_byte = 0; // size - 1, or - 5 when style is 1
    uint16_t scale = 0, color = 0, back_color = 0;
    uint8_t style = 0, block = 0, output = 0;
    bool operator==(const WireLevel&) const = default;
};
struct WireMenu {
    uint16_t x = 0, y = 0;
    uint8_t target_page = 0;
    bool operator==(const WireMenu&) const = default;
};
struct WireClock {
    uint16_t x = 0, y = 0;
    bool operator==(const WireClock&) const = default;
};
struct WireGraph {
    uint16_t x = 0, y = 0;
    uint8_t width_byte = 0, height_byte = 0, group = 0; // sizes - 1
    bool operator==(const WireGraph&) const = default;
};
struct WireControl {
    uint16_t x = 0, y = 0;             // y: top of the picture
    uint8_t type = 0, touch_cell = 0;  // touch cell 0 = slot not used
    uint8_t block = 0, channel = 0;
    bool operator==(const WireControl&) const = default;
};
struct WireGoTo {
    uint8_t touch_cell = 0, option = 0, target = 0;
    bool operator==(const WireGoTo&) const = default;
};
struct WireMechanism {
    uint16_t x = 0, y = 0;             // position plus the picture's offset
    uint8_t picture = 0, block = 0, output = 0;
    bool operator==(const WireMechanism&) const = default;
};

struct PageTables {
    static constexpr int kNumbers = 32;
    static constexpr int kMenus = 8;
    // Index n holds element number n + 1; the names are the page model's.
    std::array<WireParametr, kNumbers> parametr{};
    std::array<WireSignal, kNumbers> signal{};
    std::array<WireTextSignal, kNumbers> text_signal{};
    std::array<WireLevel, kNumbers> level{};
    std::array<WireMenu, kMenus> menu{};
    WireClock clock{};
    WireGraph grafik{};
    std::array<WireControl, kNumbers> control{};
    std::array<WireGoTo, kNumbers> go_block{};
    std::array<WireMechanism, kNumbers> vent{};
    bool operator==(const PageTables&) const = default;
};

// Bytes of a record that hold no value of their own: left zero, or all one
// constant (the filler's 7s, the marker's 55).
struct ZeroBytes {
    int count;
};
struct ConstantBytes {
    int count;
    uint8_t value;
};

constexpr int fieldWidth(uint8_t) { return 1; }
constexpr int fieldWidth(uint16_t) { return 2; }
constexpr int fieldWidth(const std::array<uint8_t, 12>&) { return 12; }
constexpr int fieldWidth(ZeroBytes z) { return z.count; }
constexpr int fieldWidth(ConstantBytes c) { return c.count; }

// The tables in wire order. The binding table (13) is one table per element
// kind: (block, output) pairs, the menus' target pages, the controls'
// (block, channel), the go-to targets.
enum class PageTable : uint8_t {
    Parametr,          // 1
    Signal,            // 2
    TextSignal,        // 3
    Level,             // 4
    Menu,              // 5
    Clock,             // 6
    Graph,             // 7
    Control,           // 8
    GoTo,              // 9
    Mechanism,         // 10
    Filler,            // 11
    Marker,            // 12
    ParametrBinding,   // 13 ..
    SignalBinding,
    TextSignalBinding,
    LevelBinding,
    MenuTarget,
    ControlBinding,
    GoToTarget,
    MechanismBinding,
};

// Where a table goes in the short layout (versions 1, 2); the full layout
// writes and sends every table.
enum class InShortLayout : uint8_t {
    Sent,
    Absent,
    WrittenNotSent, // only at the end: the sent area is cut before it
};

struct TableSpec {
    PageTable table;
    int records;
    InShortLayout in_short;
};

inline constexpr std::array<TableSpec, 20> kPageTables{{
    {PageTable::Parametr, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::Signal, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::TextSignal, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::Level, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::Menu, PageTables::kMenus, InShortLayout::Sent},
    {PageTable::Clock, 1, InShortLayout::Sent},
    {PageTable::Graph, 1, InShortLayout::Sent},
    {PageTable::Control, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::GoTo, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::Mechanism, PageTables::kNumbers, InShortLayout::Absent},
    {PageTable::Filler, 1, InShortLayout::Absent},
    {PageTable::Marker, 1, InShortLayout::Sent},
    {PageTable::ParametrBinding, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::SignalBinding, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::TextSignalBinding, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::LevelBinding, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::MenuTarget, PageTables::kMenus, InShortLayout::Sent},
    {PageTable::ControlBinding, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::GoToTarget, PageTables::kNumbers, InShortLayout::Sent},
    {PageTable::MechanismBinding, PageTables::kNumbers, InShortLayout::WrittenNotSent},
}};

// Calls f with each field in turn.
template <class F, class... Fields>
constexpr void eachField(F& f, Fields&&... fields)
{
    (f(std::forward<Fields>(fields)), ...);
}

// Calls f with every field of record i of `table`, in wire order: the record
// members (uint16_t, uint8_t, 12-byte texts) as references into `t` (const
// or not), the bytes without a value as ZeroBytes / ConstantBytes.
template <class Tables, class F>
constexpr void visitRecord(PageTable table, Tables& t, size_t i, F&& f)
{
    switch (table) {
    case PageTable::Parametr: {
        auto& r = t.parametr[i];
        return eachField(f, r.x, r.y, r.color, r.back_color, r.frame, r.font_code, r.digits_code);
    }
    case PageTable::Signal: {
        auto& r = t.signal[i];
        return eachField(f, r.x, r.y, r.width_byte, r.height_byte, r.color, r.back_color, r.frame);
    }
    case PageTable::TextSignal: {
        auto& r = t.text_signal[i];
        return eachField(f, r.x, r.y, r.font_code, r.color, r.back_color, r.length_frame, r.text_off, r.text_on);
    }
    case PageTable::Level: {
        auto& r = t.level[i];
        return eachField(f, r.x, r.y, r.width_byte, r.height_byte, r.scale, r.color, r.back_color, r.style);
    }
    case PageTable::Menu: return eachField(f, t.menu[i].x, t.menu[i].y, ZeroBytes{12});
    case PageTable::Clock: return eachField(f, t.clock.x, t.clock.y);
    case PageTable::Graph: {
        auto& r = t.grafik;
        return eachField(f, r.x, r.y, r.width_byte, r.height_byte, r.group);
    }
    case PageTable::Control: {
        auto& r = t.control[i];
        return eachField(f, r.x, r.y, r.type, r.touch_cell);
    }
    case PageTable::GoTo: return eachField(f, t.go_block[i].touch_cell, t.go_block[i].option);
    case PageTable::Mechanism: return eachField(f, t.vent[i].x, t.vent[i].y, t.vent[i].picture);
    case PageTable::Filler: return eachField(f, ConstantBytes{384, 7});
    case PageTable::Marker: return eachField(f, ConstantBytes{1, 55}, ZeroBytes{8});
    case PageTable::ParametrBinding: return eachField(f, t.parametr[i].block, t.parametr[i].output);
    case PageTable::SignalBinding: return eachField(f, t.signal[i].block, t.signal[i].output);
    case PageTable::TextSignalBinding: return eachField(f, t.text_signal[i].block, t.text_signal[i].output);
    case PageTable::LevelBinding: return eachField(f, t.level[i].block, t.level[i].output);
    case PageTable::MenuTarget: return eachField(f, t.menu[i].target_page);
    case PageTable::ControlBinding: return eachField(f, t.control[i].block, t.control[i].channel);
    case PageTable::GoToTarget: return eachField(f, t.go_block[i].target);
    case PageTable::MechanismBinding: return eachField(f, t.vent[i].block, t.vent[i].output);
    }
}

// Bytes of one record of `table`.
constexpr int recordSize(PageTable table)
{
    const PageTables t{};
    int size = 0;
    visitRecord(table, t, 0, [&size](const auto& field) { size += fieldWidth(field); });
    return size;
}

// Offset of a field inside a record of `table`; pick(tables) names the
// field in record 0, e.g. [](auto& t) -> auto& { return t.control[0].touch_cell; }.
template <class Pick>
constexpr int fieldOffset(PageTable table, Pick pick)
{
    PageTables t{};
    const auto* target = &pick(t);
    int at = 0, found = -1;
    visitRecord(table, t, 0, [&](auto&& field) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(field)>, std::remove_cvref_t<decltype(*target)>>)
            if (&field == target)
                found = at;
        at += fieldWidth(field);
    });
    return found;
}

constexpr bool written(const TableSpec& s, TableLayout layout)
{
    return layout != TableLayout::Short || s.in_short != InShortLayout::Absent;
}
constexpr bool sent(const TableSpec& s, TableLayout layout)
{
    return layout != TableLayout::Short || s.in_short == InShortLayout::Sent;
}

// Offset of a table in the table area of `layout`; -1 when the layout has no such table.
constexpr int tableOffset(TableLayout layout, PageTable table)
{
    int at = 0;
    for (const TableSpec& s : kPageTables) {
        if (!written(s, layout))
            continue;
        if (s.table == table)
            return at;
        at += s.records * recordSize(s.table);
    }
    return -1;
}

// Bytes the encoder writes: 3580 (full) or 3036 (short).
constexpr int tablesSize(TableLayout layout)
{
    int size = 0;
    for (const TableSpec& s : kPageTables)
        if (written(s, layout))
            size += s.records * recordSize(s.table);
    return size;
}

// Bytes of part 7 after the band: the sent tables, and in the full layout
// one zero byte after them (3581 or 2972; 0 for Auto).
constexpr int tableAreaSize(TableLayout layout)
{
    if (layout == TableLayout::Auto)
        return 0;
    int size = layout == TableLayout::Full ? 1 : 0;
    for (const TableSpec& s : kPageTables)
        if (sent(s, layout))
            size += s.records * recordSize(s.table);
    return size;
}

// The short layout's sent area is its written tables cut at the end: no
// table that is sent follows one that is not.
constexpr bool unsentTablesLast()
{
    bool cut = false;
    for (const TableSpec& s : kPageTables) {
        if (s.in_short == InShortLayout::WrittenNotSent)
            cut = true;
        else if (cut && s.in_short == InShortLayout::Sent)
            return false;
    }
    return true;
}
static_assert(unsentTablesLast());

inline constexpr int kFullTableArea = tableAreaSize(TableLayout::Full);
inline constexpr int kShortTableArea = tableAreaSize(TableLayout::Short);

// Offsets the test fixtures name: of the full layout, unless said.
namespace table_offset {
inline constexpr int control = tableOffset(TableLayout::Full, PageTable::Control);
inline constexpr int filler = tableOffset(TableLayout::Full, PageTable::Filler);
inline constexpr int marker_full = tableOffset(TableLayout::Full, PageTable::Marker);
inline constexpr int marker_short = tableOffset(TableLayout::Short, PageTable::Marker);
inline constexpr int end_full = tablesSize(TableLayout::Full);
} // namespace table_offset

} // namespace ostrel
