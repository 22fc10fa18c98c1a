#pragma once
// What the dialogs of the elements bound to a block value (parameter,
// signal, text signal, level, mechanism) read from and write into the page
// model, as plain functions on the records so that the windows stay thin.
//
// A dialog keeps its fields in a form while it is open; "Ok" hands the form
// to the member's ok function, which checks it, allocates the element number
// (the typed number of an occupied slot edits it, anything else takes the
// lowest free number) and writes the record. Nothing is written before "Ok":
// "Отмена" leaves the records as they were.
//
// Every value written fits what the page download sends: positions inside
// the page, sizes inside their fields and the kind's limits, block numbers
// 0..99, the level's scale 0..65535. A position, block or scale outside its
// range is refused with a message and the dialog stays open; a size outside
// its limits is set to the limit with the member's message and stored.
#include "platform/interaction.h"
#include "scada/page_editing.h"
#include "scheme/block_table.h"

#include <QString>
#include <initializer_list>
#include <optional>

namespace ostrel {

// ---- messages and captions -------------------------------------------------

inline const QString kParametrNumberMessage = QStringLiteral("Установите номер параметра!");
inline const QString kSignalNumberMessage = QStringLiteral("Номер сигнала больше 32!");
inline const QString kLevelNumberMessage = QStringLiteral("Hомер уровня больше 32!"); // Latin H
inline const QString kVentNumberMessage = QStringLiteral("Номер вентилятора больше 32!");
inline const QString kOutputPositionError = QStringLiteral("Ошибка номера выхода!!!");
inline const QString kOutputCaption = QStringLiteral("Номер выхода");
inline const QString kSetpointCaption = QStringLiteral("Номер задатчика");
inline const QString kBlockTooLarge = QStringLiteral("Номер блока больше 99!");
inline const QString kScaleTooLarge = QStringLiteral("Масштаб больше 65535!");
inline const QString kMechanismFilter = QStringLiteral("gif file|*.gif");

inline constexpr int kMaxBoundBlock = BlockTable::kLastBlock;
inline constexpr int kMaxScale = 65535;
inline constexpr int kSignalMinSize = 2;
inline constexpr int kSignalMaxSize = 60;
inline constexpr int kLevelMinSize = 5;
inline constexpr int kLevelNarrowMax = 80;   // across the bar
inline constexpr int kLevelLongMax = 200;    // along the bar
inline constexpr int kLevelDeletedSize = 10;

// "Ширина больше 60", "Высота меньше 5", ...
QString sizeMessage(bool width, bool tooLarge, int limit);

// ---- list texts ------------------------------------------------------------

// Field widths "2 ".."6 " (digits 0..4).
QStringList parametrWidthItems();
// "1 ", "2 ", "3", "4", "Time".
QStringList parametrFontItems();
// "1 ", "2 ": text-signal fonts 10 and 14.
QStringList textSignalFontItems();
// "Прямоугольник", "Круг", ... the eight signal shapes 0..7.
QStringList signalShapeItems();
// "Нет", "1".."31": the signal-list numbers 0..31.
QStringList signalListItems();

// ---- parameter fonts -------------------------------------------------------

inline constexpr int kTimeFontPosition = 4;
inline constexpr uint8_t kTimeFont = 24;
// Font list position of a stored code: (font - 10) div 4 toward zero, 24 =
// "Time"; a code outside the list selects the nearest entry (0 and 8 give
// "1 ", anything above 25 gives "4").
int parametrFontPosition(int font);
// Code of a font list position: 10, 14, 18, 25, 24 for "Time".
uint8_t parametrFontOfPosition(int position);
// Text-signal font list position: (font - 10) / 4 rounded, limited to 0..1.
int textSignalFontPosition(int font);
uint8_t textSignalFontOfPosition(int position);

// ---- the forms ---------------------------------------------------------------

// What every member shows: the number, the position and the binding.
struct BoundForm {
    QString number;          // "Номер ..." field
    QString x, y;            // "Координата Х", "Координата Y"
    QString block;           // "Номер блока 1-99"
    int output = 0;          // position in the output (or setpoint) list; -1 = none
};

struct ParametrForm : BoundForm {
    int digits = 0;          // width list position 0..4
    int font_position = 0;   // 0..4, 4 = "Time"
    bool frame = false;
    int32_t color = 0;
    int32_t back_color = 0;
    bool setpoint = false;   // "Выход/Задатчик"
};

struct SignalForm : BoundForm {
    QString width, height;   // "Размер Х ", "Размер Y"
    int shape = 0;           // 0..7
    int list_number = 0;     // "№ сигнала списка": 0 = "Нет"
    bool frame = false;
    bool blink = false;
    int32_t color = 0;       // "Цвет сигнал"
    int32_t back_color = 0;  // "Цвет фон"
};

struct TextSignalForm : BoundForm {
    int font_position = 0;   // "1 " = 10, "2 " = 14
    int list_number = 0;
    bool frame = false;
    bool blink = false;
    int32_t color = 0;
    int32_t back_color = 0;
    QString text_off;        // "Текст сигнала Выкл."
    QString text_on;         // "Текст сигнала Вкл."
};

struct LevelForm : BoundForm {
    QString width, height;
    QString scale;           // "Масштаб"
    bool horizontal = false; // "Тип"
    bool frame = false;
    int32_t color = 0;       // "Цвет уровень"
    int32_t back_color = 0;  // "Цвет фон"
};

struct VentForm : BoundForm {
    int picture = 0;         // 0..22
};

// The forms a dialog opens with: the record of `ref` (slot 0 for a
// template) and `objectPos`/`objectSize`, where the element's object is on
// the page. The number field shows the element number.
ParametrForm parametrForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos);
SignalForm signalForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos, QSize objectSize);
TextSignalForm textSignalForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos);
// A new level (number 0) starts with style 0 whatever the template holds.
LevelForm levelForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos, QSize objectSize);
VentForm ventForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos);

// ---- Ok ----------------------------------------------------------------------

struct OkOutcome {
    bool closes = true;      // false: the input was refused, nothing changed
    ElementRef element;      // the element written; number 0 when none
    PageChanges changes;     // the element created or updated
};

// Ok of each member on page `page`. Messages go through `ui`.
OkOutcome okParametr(ScadaPages& pages, int page, const ParametrForm& form, Interaction& ui);
OkOutcome okSignal(ScadaPages& pages, int page, const SignalForm& form, Interaction& ui);
OkOutcome okTextSignal(ScadaPages& pages, int page, const TextSignalForm& form, Interaction& ui);
OkOutcome okLevel(ScadaPages& pages, int page, const LevelForm& form, Interaction& ui);
OkOutcome okVent(ScadaPages& pages, int page, const VentForm& form, Interaction& ui);

// ---- pieces every element dialog's Ok uses --------------------------------------

// Whether a number field holds a number: blanks, an optional sign, digits
// with an optional fraction, and nothing else. An empty field or letters are
// not a number (they would otherwise be read as 0).
bool isTypedNumber(const QString& text);
// A number field and the caption of its label.
struct NumberField {
    QString caption;
    const QString& text;
};
// "Введите число: CAPTION" for the first field without a number; true when
// every field holds one.
bool checkNumberFields(std::initializer_list<NumberField> fields, Interaction& ui);
inline const QString kBoundBlockCaption = QStringLiteral("Номер блока 1-99");

// The typed position when it lies on the page (0..799, 0..479); otherwise
// the refusal ("Введите число: Координата Х", "Координата Х больше 799!",
// ...) is shown and nothing returned.
std::optional<QPoint> checkTypedPosition(const QString& xField, const QString& yField, Interaction& ui);
// The block field's number when it is 0..99; otherwise "Введите число:
// CAPTION" or "Номер блока больше 99!" is shown and nothing returned.
std::optional<uint8_t> checkTypedBlock(const QString& blockField, Interaction& ui,
                                       const QString& caption = kBoundBlockCaption);
// Width and height set to their limits in the order width below, height
// below, width above, height above, each change with its message ("Ширина
// меньше 120", ...) and `icon`.
QSize limitSizes(int width, int height, QSize min, QSize max, MessageIcon icon, Interaction& ui);
// The element number an Ok writes by the allocation rule (the typed number of
// an occupied slot edits it, anything else takes the lowest free number,
// marked used at once), or nothing after the kind's `message` when the page
// has none free. `created` tells whether the element is new.
std::optional<int> allocateElementNumber(ScadaPages& pages, ObjectKind kind, int page, const QString& numberField,
                                         const QString& message, Interaction& ui, bool& created);
// The outcome of an Ok that wrote element n: created or updated.
OkOutcome writtenElement(ObjectKind kind, int page, int n, bool created);

// ---- "Удалить" ---------------------------------------------------------------

// Deletes element number `numberField` (as typed) of the kind on `page` when
// it is 1..32: its object goes and its record is reset as the kind's delete
// button does; the resize handle on it is hidden. Nothing for another number
// or for a kind that is not one of the five.
PageChanges deleteBoundElement(ScadaPages& pages, PageEditorState& state, ObjectKind kind, int page,
                               const QString& numberField);

// ---- size fields while typing ------------------------------------------------

// The signal's size fields and which of them (and "Рамка") can be changed.
struct SignalSizeFields {
    int width = 0;
    int height = 0;
    bool width_enabled = true;
    bool height_enabled = true;
    bool frame_enabled = true;
};
// Choosing shape `shape` in "Тип сигнала": valves and round shapes keep
// their proportions; only the rectangle and the circle can be framed.
SignalSizeFields signalShapeChosen(int shape, int width, int height);
// The width or height field was typed.
SignalSizeFields signalWidthTyped(int shape, int width, int height);
SignalSizeFields signalHeightTyped(int shape, int width, int height);
// The fields of a signal as it is opened.
SignalSizeFields signalOpened(int shape, int width, int height);

// The largest width and height a level of that direction may have while
// typing: vertical 80 x 200, horizontal 200 x 80.
QSize levelMaxSize(bool horizontal);

// The caption of the output list for the "Выход/Задатчик" box.
inline QString outputListCaption(bool setpoint) { return setpoint ? kSetpointCaption : kOutputCaption; }

// The text fields' labels of a text signal for list number k: "Текст
// сигнала Выкл." and "Текст сигнала Вкл." for "Нет", "Текст сигнала №"
// followed by 2 x (k - 1) and 2 x (k - 1) + 1 otherwise.
QString textSignalOffLabel(int listNumber);
QString textSignalOnLabel(int listNumber);

} // namespace ostrel
