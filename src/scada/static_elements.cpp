#include "scada/static_elements.h"

#include "platform/interaction.h"
#include "scada/output_list.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "scheme/block_types.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace ostrel {

namespace {

constexpr int kMaxChannels = 4;
constexpr int kTouchChannels = 255;   // channels of a touch block (type kTouch)
constexpr int kMaxMenuPage = ScadaPages::kShownPages - 1;
constexpr int kMaxButtonType = 13;

QStringList numbered(int count)
{
    QStringList items;
    for (int k = 1; k <= count; ++k)
        items << QString::number(k);
    return items;
}

// The record of `ref` as its object shows it: a template with its sample
// look. An invalid ref reads the first page's template.
template <class T> T shownRecord(const ScadaPages& pages, ElementRef ref)
{
    if (!isValidRef(ref))
        ref = {ref.kind, 0, 0};
    T out{};
    withShownRecord(pages, ref, recordObjectPos(pages, ref), [&](const auto& e) {
        if constexpr (std::is_same_v<std::decay_t<decltype(e)>, T>)
            out = e;
    });
    return out;
}

bool validPage(int page)
{
    return page >= 0 && page < ScadaPages::kShownPages;
}

int typedAbs(const QString& field)
{
    return std::abs(ScadaPages::typedNumber(field));
}

// Where an element without position fields goes: a new one takes the place
// of the object the dialog was opened on, an edited one stays.
QPoint placeOf(const ScadaPages& pages, const ElementRef& ref, bool created, QPoint openedPos)
{
    return created ? openedPos : recordObjectPos(pages, ref);
}

} // namespace

// ---- figure ------------------------------------------------------------------

QStringList figuraTypeItems()
{
    return {QStringLiteral("Прямоугольник"), QStringLiteral("Круг")};
}

QString figuraSizeCaption(int type)
{
    return type == 1 ? QStringLiteral("Диаметр") : QStringLiteral("Размер Х");
}

QString lineWidthMessage(int limit)
{
    return QStringLiteral("Толщина линии больше ") + QString::number(limit);
}

FiguraForm figuraForm(const ScadaPages& pages, const ElementRef& ref)
{
    const auto e = shownRecord<FiguraElement>(pages, {ObjectKind::Figura, ref.page, ref.number});
    FiguraForm form;
    form.number = QString::number(ref.number);
    form.type = e.type == 1 ? 1 : 0;
    form.size_x = QString::number(std::abs(int(e.size_x)));
    form.size_y = QString::number(std::abs(int(e.size_y)));
    form.line_width = QString::number(std::abs(int(e.line_width)));
    form.color = e.color;
    return form;
}

OkOutcome okFigura(ScadaPages& pages, int page, QPoint openedPos, const FiguraForm& form, Interaction& ui)
{
    if (!checkNumberFields({{figuraSizeCaption(form.type), form.size_x},
                            {QStringLiteral("Размер Y"), form.size_y},
                            {QStringLiteral("Толщина линии"), form.line_width}},
                           ui))
        return {false, {}, {}};
    const QSize size = limitSizes(typedAbs(form.size_x), typedAbs(form.size_y), {0, 0},
                                  {kFiguraMaxWidth, kFiguraMaxHeight}, MessageIcon::Question, ui);
    int line = typedAbs(form.line_width);
    if (line > kFiguraMaxLine) {
        ui.message(lineWidthMessage(kFiguraMaxLine), QString(), MessageIcon::Question);
        line = kFiguraMaxLine;
    }
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Figura, page, form.number, kFiguraNumberMessage, ui,
                                         created);
    if (!n)
        return {};
    const ElementRef ref{ObjectKind::Figura, page, *n};
    const QPoint pos = placeOf(pages, ref, created, openedPos);
    FiguraElement& e = pages.figura[size_t(page)][size_t(*n)];
    e.x = int16_t(pos.x());
    e.y = int16_t(pos.y());
    e.size_x = int16_t(size.width());
    e.size_y = int16_t(size.height());
    e.type = form.type == 1 ? 1 : 0;
    e.color = form.color;
    e.line_width = int16_t(line);
    e.used = 1;
    return writtenElement(ObjectKind::Figura, page, *n, created);
}

// ---- text --------------------------------------------------------------------

TextLabelForm textLabelForm(const ScadaPages& pages, const ElementRef& ref)
{
    const auto e = shownRecord<TextElement>(pages, {ObjectKind::Text, ref.page, ref.number});
    TextLabelForm form;
    form.number = QString::number(ref.number);
    form.text = e.text;
    form.font_name = e.font_name;
    // A size of 0 only comes from a damaged file; the page shows it at 8 points.
    form.font_size = e.font_size == 0 ? 8 : e.font_size;
    form.bold = e.bold != 0;
    form.italic = e.italic != 0;
    form.color = e.color;
    return form;
}

QFont textLabelFont(const TextLabelForm& form)
{
    QFont font(form.font_name);
    font.setPointSize(std::clamp(form.font_size, 1, 255));
    font.setBold(form.bold);
    font.setItalic(form.italic);
    return font;
}

void applyChosenFont(TextLabelForm& form, const QFont& font)
{
    form.font_name = font.family();
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0)
        points = font.pixelSize() * 72.0 / 96.0;
    form.font_size = std::clamp(int(std::lround(points)), 1, 255);
    form.bold = font.bold();
    form.italic = font.italic();
}

TextElement textLabelRecord(const TextLabelForm& form)
{
    TextElement e;
    e.text = form.text;
    e.font_name = form.font_name;
    e.font_size = uint8_t(std::clamp(form.font_size, 1, 255));
    e.bold = form.bold ? -1 : 0;
    e.italic = form.italic ? -1 : 0;
    e.color = form.color;
    return e;
}

OkOutcome okText(ScadaPages& pages, int page, QPoint openedPos, const TextLabelForm& form, Interaction& ui)
{
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Text, page, form.number, kTextNumberMessage, ui, created);
    if (!n)
        return {};
    const ElementRef ref{ObjectKind::Text, page, *n};
    const QPoint pos = placeOf(pages, ref, created, openedPos);
    const TextElement look = textLabelRecord(form);
    TextElement& e = pages.text[size_t(page)][size_t(*n)];
    e.x = int16_t(pos.x());
    e.y = int16_t(pos.y());
    e.color = look.color;
    e.text = look.text;
    e.font_name = look.font_name;
    e.bold = look.bold;
    e.italic = look.italic;
    e.font_size = look.font_size;
    e.used = 1;
    return writtenElement(ObjectKind::Text, page, *n, created);
}

// ---- graph -------------------------------------------------------------------

QStringList grafikGroupItems()
{
    return numbered(kGraphGroups);
}

GrafikForm grafikForm(const ScadaPages& pages, int page)
{
    GrafikForm form;
    if (!validPage(page))
        return form;
    const GrafikElement& g = pages.grafik[size_t(page) + 1];
    form.x = QString::number(g.x);
    form.y = QString::number(g.y);
    form.width = QString::number(g.width);
    form.height = QString::number(g.height);
    form.group = std::min<int>(g.group, kGraphGroups - 1);
    return form;
}

OkOutcome okGrafik(ScadaPages& pages, int page, const GrafikForm& form, Interaction& ui)
{
    if (!validPage(page))
        return {};
    const auto pos = checkTypedPosition(form.x, form.y, ui);
    if (!pos || !checkNumberFields({{QStringLiteral("Размер Х"), form.width}, {QStringLiteral("Размер Y"), form.height}}, ui))
        return {false, {}, {}};
    const QSize size = limitSizes(ScadaPages::typedNumber(form.width), ScadaPages::typedNumber(form.height),
                                  {kGrafikMinWidth, kGrafikMinHeight}, {kGrafikMaxWidth, kGrafikMaxHeight},
                                  MessageIcon::Question, ui);
    GrafikElement& g = *pages.grafikOfPage(page);
    g.x = int16_t(pos->x());
    g.y = int16_t(pos->y());
    g.width = int16_t(std::abs(size.width()));
    g.height = int16_t(std::abs(size.height()));
    g.group = uint8_t(std::clamp(form.group, 0, kGraphGroups - 1));
    OkOutcome out;
    out.element = {ObjectKind::Grafik, page, 1};
    out.changes.updated.append(out.element);
    return out;
}

PageChanges deleteGrafik(ScadaPages& pages, int page)
{
    PageChanges changes;
    if (!validPage(page))
        return changes;
    GrafikElement& g = *pages.grafikOfPage(page);
    if (g.used != 0)
        changes.removed.append({ObjectKind::Grafik, page, 1});
    g.used = g.x = g.y = 0;
    return changes;
}

// ---- control -----------------------------------------------------------------

QStringList buttonTypeItems()
{
    return {QStringLiteral("ПУСТО"), QStringLiteral("СТОП"),    QStringLiteral("ПУСК 1"),
            QStringLiteral("ПУСК 2"), QStringLiteral("Тумблер"), QStringLiteral("N-1"),
            QStringLiteral("N+1"),   QStringLiteral("КСС"),     QStringLiteral("OFF"),
            QStringLiteral("ON"),    QStringLiteral("СТОП 1"),  QStringLiteral("ПУСК 11"),
            QStringLiteral("\"Сеть\""), QStringLiteral("\"Клювик\"")};
}

QStringList channelEntries(int blockType)
{
    return numbered(blockType == kTouch ? kTouchChannels : kMaxChannels);
}

QStringList controlChannelEntries(const BlockTable& blocks, const BlockCatalog&, const QString& blockField)
{
    return channelEntries(boundBlockType(blocks, blockFieldNumber(blockField)));
}

ControlForm controlForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos)
{
    const auto e = shownRecord<ControlElement>(pages, {ObjectKind::Control, ref.page, ref.number});
    ControlForm form;
    form.number = QString::number(ref.number);
    form.x = QString::number(objectPos.x());
    form.y = QString::number(objectPos.y());
    form.block = QString::number(e.block);
    form.output = e.channel;
    form.type = std::min<int>(e.type, kMaxButtonType);
    form.picture_file = e.picture_file;
    return form;
}

OkOutcome okControl(ScadaPages& pages, int page, const ControlForm& form, Interaction& ui)
{
    const auto typed = checkTypedPosition(form.x, form.y, ui);
    if (!typed)
        return {false, {}, {}};
    const auto block = checkTypedBlock(form.block, ui);
    if (!block)
        return {false, {}, {}};
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Control, page, form.number, kControlNumberMessage, ui,
                                         created);
    if (!n)
        return {};
    const int type = std::clamp(form.type, 0, kMaxButtonType);
    QPoint pos = *typed;
    // A new type-13 button moves 10 pixels to the left, as the button grid
    // places it.
    if (type == 13 && created)
        pos.setX(std::max(0, pos.x() - kType13Lift));
    ControlElement& e = pages.control[size_t(page)][size_t(*n)];
    e.picture_file = form.picture_file;
    e.type = uint8_t(type);
    e.block = *block;
    e.channel = uint8_t(std::clamp(form.output, 0, kTouchChannels - 1));
    const QSize size = buttonSize(type);
    e.width = int16_t(size.width());
    e.height = int16_t(size.height());
    setObjectPos(e, pos); // type 13: y = picture top + 10
    e.used = 1;
    return writtenElement(ObjectKind::Control, page, *n, created);
}

// ---- menu --------------------------------------------------------------------

QStringList menuPageItems()
{
    QStringList items;
    for (int k = 1; k <= ScadaPages::kShownPages; ++k)
        items << QStringLiteral("Стр.") + QString::number(k);
    return items;
}

MenuForm menuForm(const ScadaPages& pages, const ElementRef& ref)
{
    const auto e = shownRecord<MenuElement>(pages, {ObjectKind::Menu, ref.page, ref.number});
    MenuForm form;
    form.number = QString::number(ref.number);
    form.target_page = std::min<int>(e.target_page, kMaxMenuPage);
    form.text = e.text;
    return form;
}

OkOutcome okMenu(ScadaPages& pages, int page, QPoint openedPos, const MenuForm& form, Interaction& ui)
{
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Menu, page, form.number, kMenuNumberMessage, ui, created);
    if (!n)
        return {};
    MenuElement& e = pages.menu[size_t(page)][size_t(*n)];
    if (created) {
        e.text = form.text;
        setObjectPos(e, openedPos); // the record keeps its text box's place
    }
    e.target_page = uint8_t(std::clamp(form.target_page, 0, kMaxMenuPage));
    e.used = 1;
    return writtenElement(ObjectKind::Menu, page, *n, created);
}

// ---- go-to -------------------------------------------------------------------

QString goProcessCaption(bool process)
{
    return process ? QStringLiteral("Параметры") : QStringLiteral("Процесс");
}

GoListState goListState(const BlockTable& blocks, const BlockCatalog& catalog, const QString& blockField,
                        bool process)
{
    GoListState s;
    // Pages and graph groups alike: "1".."8".
    s.entries = numbered(ScadaPages::kShownPages);
    const int block = blockFieldNumber(blockField);
    if (block == BlockTable::kScadaBlock) {
        s.label = kGoPagesCaption;
        s.visible = true;
    } else if (block == BlockTable::kGraphBlock) {
        s.label = kGoGraphsCaption;
        s.visible = true;
    } else if (block == 0) {
        s.label = kGoTextSignalsCaption;
        s.entries = numbered(ScadaPages::maxNumber(ObjectKind::TextSignal));
        s.visible = true;
    } else if (process) {
        // The block types that have setpoints are those the catalog gives a
        // setpoint range.
        const int type = boundBlockType(blocks, block);
        if (catalog.setpointMax(type) > 0) {
            s.label = kSetpointCaption;
            s.entries = setpointEntries(catalog, type);
            s.visible = true;
        }
    }
    return s;
}

GoOpening goOpening(const GoBlockElement& e)
{
    GoOpening o;
    const int t = e.target;
    if (t >= 1 && t <= BlockTable::kLastBlock) {
        o.block = QString::number(t);
    } else if (t >= 101 && t <= 199) {
        o.block = QString::number(t - 100);
        o.process = true;
    } else if (t >= 201 && t <= 208) {
        o.block = QString::number(BlockTable::kScadaBlock);
    } else if (t >= 211 && t <= 218) {
        o.block = QString::number(BlockTable::kGraphBlock);
    } else if (t >= 220 && t <= 251) {
        o.block = QStringLiteral("0");
    }
    o.list_position = goOptionIndex(e.option);
    o.locked = goOptionLocked(e.option);
    return o;
}

OkOutcome okGoBlock(ScadaPages& pages, int page, QPoint openedPos, const GoBlockForm& form, Interaction& ui)
{
    const auto block = checkTypedBlock(form.block, ui, QStringLiteral("Номер блока(1-99)"));
    if (!block)
        return {false, {}, {}};
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::GoBlock, page, form.number, kGoBlockNumberMessage, ui,
                                         created);
    if (!n)
        return {};
    const ElementRef ref{ObjectKind::GoBlock, page, *n};
    const QPoint pos = placeOf(pages, ref, created, openedPos);
    const int position = std::clamp(form.list_position, 0, 127);
    GoBlockElement& e = pages.go_block[size_t(page)][size_t(*n)];
    e.target = goTarget(*block, form.process, position);
    e.used = 1;
    e.x = int16_t(pos.x());
    e.y = int16_t(pos.y());
    e.option = packGoOption(form.locked, position);
    return writtenElement(ObjectKind::GoBlock, page, *n, created);
}

// ---- "Удалить" ---------------------------------------------------------------

namespace {

void resetDeleted(FiguraElement& e)
{
    e.used = e.x = e.y = 0;
    e.size_x = e.size_y = 1;
    e.type = 0;
    e.color = 0;
    e.line_width = 3;
}

void resetDeleted(TextElement& e)
{
    e.x = e.y = 0;
    e.color = 0;
    e.text.clear();
    e.font_size = 0;
    e.used = 0;
}

void resetDeleted(ControlElement& e)
{
    e.used = 0;
}

void resetDeleted(MenuElement& e)
{
    e.used = 0;
}

void resetDeleted(GoBlockElement& e)
{
    e.x = e.y = e.target = 0;
    e.used = 0;
}

template <class T> void resetDeleted(T&) {}

bool isStaticKind(ObjectKind kind)
{
    return kindInfo(kind).family == KindFamily::Static;
}

} // namespace

PageChanges deleteStaticElement(ScadaPages& pages, PageEditorState& state, ObjectKind kind, int page,
                                const QString& numberField)
{
    PageChanges changes;
    if (!isStaticKind(kind) || !validPage(page))
        return changes;
    const int n = ScadaPages::typedNumber(numberField);
    const ElementRef ref{kind, page, n};
    if (n < 1 || n > ScadaPages::maxNumber(kind))
        return changes;
    const bool existed = isOccupied(pages, ref);
    withRecord(pages, ref, [](auto& e) { resetDeleted(e); });
    if (existed)
        changes.removed.append(ref);
    if (state.frame.page == page)
        state.selected[size_t(kind)][size_t(n)] = 0;
    const auto resize = kindInfo(kind).resize;
    if (resize && state.handle_visible && state.resize_target.kind == *resize
        && state.resize_target.object == ref.objectNumber()) {
        state.handle_visible = false;
        changes.handle = true;
    }
    return changes;
}

} // namespace ostrel
