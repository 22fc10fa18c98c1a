#pragma once
// What the dialogs of the figure, text, graph, control, menu and go-to
// elements read from and write into the page model, as plain functions on
// the records, so that the windows stay thin (the value-bound kinds are in
// bound_elements.h).
//
// A dialog keeps its fields in a form while it is open; "Ok" hands the form
// to the kind's ok function, which checks it, allocates the element number
// and writes the record. Nothing is written before "Ok". Figures, texts,
// menus and go-to elements have no position fields: a new element takes the
// place of the object the dialog was opened on (the kind's template), an
// element being edited stays where it is.
//
// Every value written fits what the page download sends: positions on the
// page, block numbers 0..99 (a go-to target then fits its byte), graph sizes
// 120..240 x 60..150, channel and list positions inside their lists, menu
// pages 0..7, figure sizes within the page.
#include "scada/bound_elements.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace ostrel {

struct BlockTable;
class BlockCatalog;

// ---- messages and captions -------------------------------------------------

inline const QString kFiguraNumberMessage = QStringLiteral("Номер фигуры больше 32!");
inline const QString kTextNumberMessage = QStringLiteral("Номер текста больше 64!");
inline const QString kControlNumberMessage = QStringLiteral("Номер элемента управления больше 32!");
inline const QString kMenuNumberMessage = QStringLiteral("Номер элемента меню больше 8!");
inline const QString kGoBlockNumberMessage = QStringLiteral("Номер перехода больше 32!");
inline const QString kGoListPositionError = QStringLiteral("Ошибка номера блока!!!");
inline const QString kControlPictureFilter = QStringLiteral("gif file|*.gif");
inline const QString kChannelCaption = QStringLiteral("Номер канала");

// ---- figure ------------------------------------------------------------------

// Sizes and line width are kept within the page.
inline constexpr int kFiguraMaxWidth = 800;
inline constexpr int kFiguraMaxHeight = 480;
inline constexpr int kFiguraMaxLine = 100;

// "Прямоугольник", "Круг".
QStringList figuraTypeItems();
// The caption of the first size field: "Размер Х", "Диаметр" for a circle.
QString figuraSizeCaption(int type);
// "Толщина линии больше 100".
QString lineWidthMessage(int limit);

struct FiguraForm {
    QString number;          // "Номер фигуры"
    int type = 0;            // "Тип фигуры": 0 rectangle, 1 circle
    QString size_x;          // "Размер Х" / "Диаметр"
    QString size_y;          // "Размер Y"
    QString line_width;      // "Толщина линии"
    int32_t color = 0;       // "Цвет линии"
};

// The form of the figure as its object shows it (a template with its sample
// look). A circle's "Размер Y" shows its stored size_y, which it keeps.
FiguraForm figuraForm(const ScadaPages& pages, const ElementRef& ref);
// Sizes and line width are stored as absolute values; above the page (800,
// 480) or a line width above 100 they are set to the limit with a message.
OkOutcome okFigura(ScadaPages& pages, int page, QPoint openedPos, const FiguraForm& form, Interaction& ui);

// ---- text --------------------------------------------------------------------

struct TextLabelForm {
    QString number;          // "Номер текста"
    QString text;
    QString font_name;
    int font_size = 10;      // points
    bool bold = false;
    bool italic = false;
    int32_t color = 0;       // "Цвет текста"
};

TextLabelForm textLabelForm(const ScadaPages& pages, const ElementRef& ref);
// The font the chooser starts from (in points).
QFont textLabelFont(const TextLabelForm& form);
// Face, size, bold and italic of a chosen font; a size below 1 point or
// above 255 is limited (the record keeps it in a byte).
void applyChosenFont(TextLabelForm& form, const QFont& font);
// The record the form describes, for the preview.
TextElement textLabelRecord(const TextLabelForm& form);
OkOutcome okText(ScadaPages& pages, int page, QPoint openedPos, const TextLabelForm& form, Interaction& ui);

// ---- graph -------------------------------------------------------------------

inline constexpr int kGrafikMinWidth = 120;
inline constexpr int kGrafikMaxWidth = 240;
inline constexpr int kGrafikMinHeight = 60;
inline constexpr int kGrafikMaxHeight = 150;

// "1".."8": graph groups 0..7.
QStringList grafikGroupItems();

struct GrafikForm {
    QString x, y;            // "Координата Х", "Координата Y"
    QString width, height;   // "Размер Х", "Размер Y"
    int group = 0;           // "Группа графиков"
};

GrafikForm grafikForm(const ScadaPages& pages, int page);
// Sizes outside 120..240 x 60..150 are set to the limit with "Ширина меньше
// 120", "Высота меньше 60", "Ширина больше 240", "Высота больше 150" (question
// icon, in that order). The used flag is left as it is.
OkOutcome okGrafik(ScadaPages& pages, int page, const GrafikForm& form, Interaction& ui);
// "Удалить": the graph leaves the page (used, x and y 0).
PageChanges deleteGrafik(ScadaPages& pages, int page);

// ---- control -----------------------------------------------------------------

// The 14 button types "ПУСТО" .. "\"Клювик\"".
QStringList buttonTypeItems();
// "1".."4"; "1".."255" for a block of type 50.
QStringList channelEntries(int blockType);
QStringList controlChannelEntries(const BlockTable& blocks, const BlockCatalog& catalog, const QString& blockField);

struct ControlForm : BoundForm {   // output = channel list position
    int type = 0;            // "Тип кнопки"
    QString picture_file;    // "Имя файла"
};

// objectPos: where the control's picture is (the position fields show it).
ControlForm controlForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos);
// The size comes from the button type. The position fields are the
// picture's top-left corner; a type-13 control stores y = picture top + 10,
// and a new one is moved 10 pixels to the left (not beyond the page's edge).
OkOutcome okControl(ScadaPages& pages, int page, const ControlForm& form, Interaction& ui);

// ---- menu --------------------------------------------------------------------

// "Стр.1".."Стр.8".
QStringList menuPageItems();

struct MenuForm {
    QString number;          // "Номер меню"
    int target_page = 0;     // "Переход на страницу"
    QString text;            // the text of the object the dialog opened on
};

MenuForm menuForm(const ScadaPages& pages, const ElementRef& ref);
// A new menu takes the opened object's place and text; an edited one keeps
// its own (its text is typed on the page).
OkOutcome okMenu(ScadaPages& pages, int page, QPoint openedPos, const MenuForm& form, Interaction& ui);

// ---- go-to -------------------------------------------------------------------

inline const QString kGoPagesCaption = QStringLiteral("Страница SCADA");
inline const QString kGoGraphsCaption = QStringLiteral("Группа графиков");
inline const QString kGoTextSignalsCaption = QStringLiteral("Текстовая сигнализация");

// "Процесс", or "Параметры" while it is ticked.
QString goProcessCaption(bool process);

// The selection list under the block field.
struct GoListState {
    QString label;           // caption above it; empty = left as it is
    QStringList entries;
    bool visible = false;
};

// The list for a block field and the "Процесс" box: 97 pages "1".."8", 98
// graph groups "1".."8", 0 text signals "1".."32"; another block with
// "Процесс" ticked whose type has setpoints: its setpoint list; otherwise
// "1".."8", hidden.
GoListState goListState(const BlockTable& blocks, const BlockCatalog& catalog, const QString& blockField,
                        bool process);

struct GoBlockForm {
    QString number;          // "Номер перехода"
    QString block;           // "Номер блока(1-99) "
    bool process = false;    // "Процесс"
    int list_position = 0;   // the selection list; -1 = none
    bool locked = false;     // "Блокировка"
};

// What opening a go-to sets: the stored target decoded into the block
// field and "Процесс", the list position (option mod 128) and the lock
// (option div 128). A target outside the known ranges (a new element's 0)
// opens on the empty form ("00", no "Процесс"): a dialog shows only its own
// element, never what the previous one left in the fields.
inline const QString kGoEmptyBlock = QStringLiteral("00");
struct GoOpening {
    QString block = kGoEmptyBlock;
    bool process = false;
    int list_position = 0;
    bool locked = false;
};
GoOpening goOpening(const GoBlockElement& e);

// Block numbers above 99 are refused. A list without selection counts as
// position 0.
OkOutcome okGoBlock(ScadaPages& pages, int page, QPoint openedPos, const GoBlockForm& form, Interaction& ui);

// ---- "Удалить" ---------------------------------------------------------------

// Deletes element number `numberField` (as typed) of a figure, text,
// control, menu or go-to on `page` when it is 1..the kind's maximum: its
// object goes and its record is reset as the kind's delete button does
// (figure: used, x, y 0, sizes 1, type 0, colour 0, line width 3; text: x, y,
// colour, text, size and used cleared; control and menu: used 0; go-to: x,
// y, target and used 0); the resize handle on it is hidden. Nothing for
// another number or kind.
PageChanges deleteStaticElement(ScadaPages& pages, PageEditorState& state, ObjectKind kind, int page,
                                const QString& numberField);

} // namespace ostrel
