#pragma once
// Every kind of element a SCADA page holds, described once: one row per kind
// with its names, its table's size, how the canvas orders and handles it, the
// "&SCADA" insert item and the dialog that edits it. Code that treats kinds
// alike looks the kind up here instead of listing kinds; what differs in
// behaviour per kind (painting, the dialogs' forms, the delete resets) stays
// with the record types (kind_records.h names the record of each kind).
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

namespace ostrel {

// The element kinds, in the page model's order: the ten numbered kinds
// (slots allocated by number, slot 0 the template), then the graph and the
// clock (one per page).
enum class ObjectKind : uint8_t {
    Parametr,
    Signal,
    TextSignal,
    Level,
    GoBlock,
    Figura,
    Vent,
    Text,
    Control,
    Menu,
    Grafik,
    Clock,
};
inline constexpr int kObjectKinds = 12;
inline constexpr int kNumberedKinds = 10;
static_assert(int(ObjectKind::Clock) + 1 == kObjectKinds, "kObjectKinds counts every kind");

// The element whose corner handle is shown: kind 0 figure, 1 signal, 2 level.
enum class ResizeKind : uint8_t { Figura = 0, Signal = 1, Level = 2 };

// Which family of dialogs and "Удалить" rules a kind belongs to.
enum class KindFamily : uint8_t {
    Bound,    // shows a block value: parameter, signal, text signal, level, mechanism
    Static,   // figure, text, control, menu, go-to
    PerPage,  // one per page, no number: graph, clock
};

// The dialog that edits a kind (the windows map it to their classes).
enum class KindDialog : uint8_t {
    None,
    Parametr,
    Signal,
    TextSignal,
    Level,
    GoBlock,
    Figura,
    Vent,
    TextLabel,
    Control,
    Menu,
    Grafik,
};

struct ElementKindInfo {
    ObjectKind kind;
    QStringView table_name;    // the page model's table ("parametr")
    QStringView file_label;    // the project file's record label, before " - "
    QStringView tooltip_word;  // the word of the element's tooltip
    QStringView insert_text;   // the "&SCADA" insert item
    int create_mode;           // what that item stores in create_mode
    // Slots per page in the kind's table (numbers 0..max_number); 0 for the
    // kinds with one record per page (at position page + 1).
    int slot_count;
    // The highest element number and the per-page unit of object numbers
    // (object = unit x page + number); 0 for the graph and clock.
    int max_number;
    int z;                     // canvas drawing order, higher above
    KindFamily family;
    bool in_page_image;        // painted into the page image sent to the controller
    bool button_grid;          // dragged on the button grid when it is on
    // Place in the kind order of copy, paste and delete; the kinds with a
    // place are also those the selection frame selects and moves. -1: never.
    int clipboard_rank;
    std::optional<ResizeKind> resize; // shows the corner handle when clicked
    KindDialog dialog;

    constexpr bool numbered() const { return slot_count > 0; }
    constexpr bool framed() const { return clipboard_rank >= 0; }
};

inline constexpr std::array<ElementKindInfo, kObjectKinds> kElementKinds{{
    // kind                 table          file label       tooltip          insert item
    //   mode slots max  z  family             image  grid   clip resize              dialog
    {ObjectKind::Parametr, u"parametr", u"Параметр", u"Параметр", u"&Параметр",
     6, 33, 32, 9, KindFamily::Bound, false, false, 0, std::nullopt, KindDialog::Parametr},
    {ObjectKind::Signal, u"signal", u"Сигнал", u"Сигнал", u"&Сигнализация",
     8, 33, 32, 7, KindFamily::Bound, false, false, 1, ResizeKind::Signal, KindDialog::Signal},
    {ObjectKind::TextSignal, u"text_signal", u"Текст сигнал", u"Сигнал текст", u"&Текстовая сигнализация",
     9, 33, 32, 8, KindFamily::Bound, false, false, 2, std::nullopt, KindDialog::TextSignal},
    {ObjectKind::Level, u"level", u"Уровень", u"Уровень", u"&Уровень",
     7, 33, 32, 6, KindFamily::Bound, false, false, 3, ResizeKind::Level, KindDialog::Level},
    {ObjectKind::GoBlock, u"go_block", u"Блок", u"Переход", u"&Переход в блок",
     5, 33, 32, 10, KindFamily::Static, false, true, 6, std::nullopt, KindDialog::GoBlock},
    {ObjectKind::Figura, u"figura", u"Фигура", u"Фигура", u"&Фигура",
     2, 33, 32, 5, KindFamily::Static, true, false, 8, ResizeKind::Figura, KindDialog::Figura},
    {ObjectKind::Vent, u"vent", u"Вентилятор", u"Вентилятор", u"&Механизм",
     12, 33, 32, 2, KindFamily::Bound, true, false, 7, std::nullopt, KindDialog::Vent},
    // The text kind's tooltip word begins with a Latin T.
    {ObjectKind::Text, u"text", u"Текст", u"Tекст", u"&Текст",
     4, 65, 64, 4, KindFamily::Static, true, false, 4, std::nullopt, KindDialog::TextLabel},
    {ObjectKind::Control, u"control", u"Управление", u"Управление", u"&Управление",
     10, 33, 32, 1, KindFamily::Static, true, true, 5, std::nullopt, KindDialog::Control},
    {ObjectKind::Menu, u"menu", u"Меню", u"Меню", u"&Меню",
     3, 9, 8, 3, KindFamily::Static, true, true, -1, std::nullopt, KindDialog::Menu},
    {ObjectKind::Grafik, u"grafik", u"График", u"График", u"&График",
     11, 0, 0, 11, KindFamily::PerPage, false, false, -1, std::nullopt, KindDialog::Grafik},
    {ObjectKind::Clock, u"clock", u"Часы", u"Часы", u"&Часы",
     11, 0, 0, 12, KindFamily::PerPage, false, false, -1, std::nullopt, KindDialog::None},
}};

constexpr const ElementKindInfo& kindInfo(ObjectKind kind)
{
    return kElementKinds[size_t(kind)];
}

// One row per kind, in ObjectKind order, the numbered kinds first.
constexpr bool rowsInKindOrder()
{
    for (size_t i = 0; i < kElementKinds.size(); ++i)
        if (size_t(kElementKinds[i].kind) != i || kElementKinds[i].numbered() != (int(i) < kNumberedKinds))
            return false;
    return true;
}
static_assert(rowsInKindOrder(), "the kind table needs one row per ObjectKind, in order");

// The kinds of copy, paste and delete (and of the frame), in their order.
constexpr int countClipboardKinds()
{
    int count = 0;
    for (const ElementKindInfo& row : kElementKinds)
        count += row.framed() ? 1 : 0;
    return count;
}
inline constexpr int kClipboardKinds = countClipboardKinds();
constexpr std::array<ObjectKind, kClipboardKinds> makeClipboardOrder()
{
    std::array<ObjectKind, kClipboardKinds> order{};
    for (const ElementKindInfo& row : kElementKinds)
        if (row.framed())
            order[size_t(row.clipboard_rank)] = row.kind;
    return order;
}
inline constexpr std::array<ObjectKind, kClipboardKinds> kClipboardOrder = makeClipboardOrder();

// The kinds painted into the page image, in drawing order.
constexpr int countPageImageKinds()
{
    int count = 0;
    for (const ElementKindInfo& row : kElementKinds)
        count += row.in_page_image ? 1 : 0;
    return count;
}
inline constexpr int kPageImageKinds = countPageImageKinds();
constexpr std::array<ObjectKind, kPageImageKinds> makePageImageOrder()
{
    std::array<ObjectKind, kPageImageKinds> order{};
    size_t next = 0;
    for (int z = 0; z <= kObjectKinds; ++z)
        for (const ElementKindInfo& row : kElementKinds)
            if (row.in_page_image && row.z == z)
                order[next++] = row.kind;
    return order;
}
inline constexpr std::array<ObjectKind, kPageImageKinds> kPageImageOrder = makePageImageOrder();

// The kind a double-click on the page inserts again after create_mode
// `mode`: nothing for 0 and for the graph and clock's 11.
std::optional<ObjectKind> repeatedKind(int mode);
// The record label of the project file: "Параметр - ".
QString fileLabel(ObjectKind kind);

} // namespace ostrel
