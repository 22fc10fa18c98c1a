#pragma once
// The eight SCADA pages and their element tables: one fixed table of plain
// records per element kind and page, one graph and one clock slot per page,
// the page backgrounds and the coordinate grid. Field widths are those the
// project file and the controller tables carry (int16_t, int32_t, uint8_t).
// Every per-page table has a ninth page (index 8) that is never shown but is
// stored by the project file. Slot 0 of every numbered table is the kind's
// template slot.
#include "scada/element_kinds.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

namespace ostrel {

struct ParametrElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int32_t color = 0;
    int32_t back_color = 0;
    uint8_t frame = 0;
    uint8_t font = 8;     // 10, 14, 18, 25; 24 = time display
    uint8_t digits = 0;   // 0..4 = field width 2..6
    uint8_t block = 0;
    uint8_t output = 0;   // bits 0..6 list index, bit 7 = setpoint list
};

struct SignalElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;        // top + 1024 x signal-list number
    int16_t width = 0;    // width + 64 x (shape mod 4)
    int16_t height = 0;   // height + 64 x (shape div 4)
    int32_t color = 0;
    int32_t back_color = 0;
    uint8_t frame = 0;
    uint8_t blink = 0;
    uint8_t block = 0;
    uint8_t output = 0;
};

struct TextSignalElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;        // top + 1024 x signal-list number
    uint8_t font = 10;    // 10 or 14
    int32_t color = 0;
    int32_t back_color = 0;
    QString text_off;
    QString text_on;
    uint8_t frame = 0;
    uint8_t blink = 0;
    uint8_t block = 0;
    uint8_t output = 0;
};

struct LevelElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    int32_t scale = 0;
    int32_t color = 0;
    int32_t back_color = 0;
    uint8_t style = 0;    // 2 x type (0 vertical, 1 horizontal) + frame
    uint8_t block = 0;
    uint8_t output = 0;
};

struct GoBlockElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t target = 0;   // block n, n + 100 (process), 201..208, 211..218, 220
    int16_t option = 0;   // 128 x lock + list index
};

struct FiguraElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t size_x = 0;
    int16_t size_y = 0;
    int32_t color = 0;
    int16_t type = 0;     // 0 rectangle, 1 circle
    int16_t line_width = 0;
};

struct VentElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    int32_t picture = 0;
    uint8_t block = 0;
    uint8_t output = 0;
};

struct TextElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int32_t color = 0;
    QString text;
    QString font_name;
    int16_t bold = 0;     // 0 or -1
    int16_t italic = 0;   // 0 or -1
    uint8_t font_size = 0;
};

// Graph groups 0..7 (shown as "1".."8").
inline constexpr int kGraphGroups = 8;

struct GrafikElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint8_t group = 0;    // 0..7
};

struct ClockElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
};

struct ControlElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    uint8_t block = 0;
    uint8_t channel = 0;
    QString picture_file; // stored as "\" + file name
    int16_t width = 0;
    int16_t height = 0;
    uint8_t type = 0;     // button type 0..13
};

struct MenuElement {
    int16_t used = 0;
    int16_t x = 0;
    int16_t y = 0;
    QString text;
    uint8_t target_page = 0;
};

struct ScadaPages {
    static constexpr int kPages = 9;        // page tables 0..8 (8 is never shown)
    static constexpr int kShownPages = 8;   // pages 0..7
    static constexpr int kSlots = 33;       // numbers 0..32
    static constexpr int kTextSlots = 65;   // texts 0..64
    static constexpr int kMenuSlots = 9;    // menus 0..8
    static constexpr int kBackgroundRefs = 16;

    template <typename T, size_t N>
    using Table = std::array<std::array<T, N>, kPages>;

    Table<ParametrElement, kSlots> parametr{};
    Table<SignalElement, kSlots> signal{};
    Table<TextSignalElement, kSlots> text_signal{};
    Table<LevelElement, kSlots> level{};
    Table<GoBlockElement, kSlots> go_block{};
    Table<FiguraElement, kSlots> figura{};
    Table<VentElement, kSlots> vent{};
    Table<TextElement, kTextSlots> text{};
    Table<ControlElement, kSlots> control{};
    Table<MenuElement, kMenuSlots> menu{};
    // Positions 0..8; page p uses position p + 1, position 0 is never used.
    std::array<GrafikElement, kPages> grafik{};
    std::array<ClockElement, kPages> clock{};

    // Positions 0..7: short references ("\" + file name) of pages 0..7;
    // positions 8..15: full paths of the pictures of pages 0..7.
    std::array<QString, kBackgroundRefs> background_refs{};
    std::array<uint8_t, kPages> background_kind{};   // 0 = fill colour, 1 = picture
    std::array<int32_t, kPages> fill_color{};        // colour of page canvas p

    // Coordinate grid and its second copy (set together with it).
    int16_t grid_step = 1;
    int16_t grid_enabled = 0;
    int16_t grid_step_copy = 1;
    int16_t grid_enabled_copy = 0;

    // Back to the start values: every table zero, strings empty, parameter
    // fonts 8, text-signal fonts 10, grid step 1, grid off.
    void clear();

    QString& shortRef(int p) { return background_refs[p]; }
    QString& fullPath(int p) { return background_refs[8 + p]; }
    const QString& shortRef(int p) const { return background_refs[p]; }
    const QString& fullPath(int p) const { return background_refs[8 + p]; }

    // Graph and clock of page p (0..8 maps to position p + 1; page 8 has none).
    GrafikElement* grafikOfPage(int p);
    ClockElement* clockOfPage(int p);

    // Highest element number of a kind: 32, texts 64, menus 8 (0 for the
    // graph and clock, which have no numbers).
    static int maxNumber(ObjectKind kind);
    // True when (p, n) addresses a slot of a numbered kind's table (slot 0
    // included).
    static bool validSlot(ObjectKind kind, int p, int n);

    // The used flag of slot (kind, p, n); nullptr outside the table.
    int16_t* usedFlag(ObjectKind kind, int p, int n);
    const int16_t* usedFlag(ObjectKind kind, int p, int n) const;
    bool isUsed(ObjectKind kind, int p, int n) const;

    // The element number a dialog's Ok must write: `requested` when that slot
    // of page p is occupied (editing it); otherwise the lowest free number
    // 1..max, marked occupied at once; 0 when no number is free or p is not a
    // page. A requested number outside 1..max is treated as a free number.
    int allocate_slot(ObjectKind kind, int p, int requested);
    // Clears the used flag of (kind, p, n); nothing outside the table.
    void release_slot(ObjectKind kind, int p, int n);

    // The number typed in an element dialog's number field, as allocate_slot
    // takes it: the leading number ("." or "," as separator), rounded half to
    // even; 0 for a text that is not a number.
    static int typedNumber(const QString& text);
};

// Signal and text-signal y: top edge in bits 0..9, signal-list number above.
// The top edge is clamped to the page (0..479) and the list number to 0..31,
// so neither can spill into the other.
int16_t packListY(int top, int list_number);
int listTop(int16_t y);           // y mod 1024
int listNumber(int16_t y);        // y div 1024

// Signal width/height fields: size in bits 0..5, shape bits above. Sizes are
// clamped to 0..63 and the shape to 0..7.
int16_t packSignalWidth(int width, int shape);
int16_t packSignalHeight(int height, int shape);
// Low 6 bits; a negative field stands for its size taken absolutely
// (clamped to 63), with shape bits 0.
int signalSize(int16_t field);
int signalShapeBits(int16_t field); // bits 6..7 (0 for a negative field)
// (height field div 64) x 4 + (width field div 64), limited to 0..7.
int signalShape(int16_t width_field, int16_t height_field);

// Go-to option: 128 x lock + list index.
int16_t packGoOption(bool locked, int list_index);
bool goOptionLocked(int16_t option);
int goOptionIndex(int16_t option);

// Go-to target from the block number typed in the dialog: 97 gives 201 +
// list index (pages), 98 gives 211 + list index (graph groups), 0 gives 220
// (text-signal list), any other n gives n, or n + 100 with "Процесс".
int16_t goTarget(int block, bool process, int list_index);

// Level style: 2 x type + frame.
uint8_t packLevelStyle(bool horizontal, bool framed);
bool levelFramed(uint8_t style);
bool levelHorizontal(uint8_t style);

// Parameter output: list index in bits 0..6, bit 7 = setpoint list.
uint8_t packParamOutput(int list_index, bool setpoint);
int paramOutputIndex(uint8_t output);
bool paramOutputIsSetpoint(uint8_t output);

} // namespace ostrel
