#include "scada/element_ref.h"

#include <algorithm>
#include <cstdlib>

namespace ostrel {

namespace {

// Object-number unit per page: 32, texts 64, menus 8.
int pageUnit(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Text: return 64;
    case ObjectKind::Menu: return 8;
    default: return 32;
    }
}

bool isPageKind(ObjectKind kind)
{
    return kind == ObjectKind::Grafik || kind == ObjectKind::Clock;
}

// Pixel size of a font of `points` points at 96 dots per inch.
// The tooltip's word of each kind; the text kind's word begins with a Latin T.
QString kindWord(ObjectKind kind)
{
    switch (kind) {
    case ObjectKind::Parametr: return QStringLiteral("Параметр ");
    case ObjectKind::Signal: return QStringLiteral("Сигнал ");
    case ObjectKind::TextSignal: return QStringLiteral("Сигнал текст ");
    case ObjectKind::Level: return QStringLiteral("Уровень ");
    case ObjectKind::GoBlock: return QStringLiteral("Переход ");
    case ObjectKind::Figura: return QStringLiteral("Фигура ");
    case ObjectKind::Vent: return QStringLiteral("Вентилятор ");
    case ObjectKind::Text: return QStringLiteral("Tекст "); // Latin T
    case ObjectKind::Control: return QStringLiteral("Управление ");
    case ObjectKind::Menu: return QStringLiteral("Меню ");
    case ObjectKind::Grafik: return QStringLiteral("График ");
    case ObjectKind::Clock: return QStringLiteral("Часы ");
    }
    return {};
}

int emPixels(int points)
{
    return (points * 96 + 36) / 72;
}

// A one-line text field of `chars` characters: an average character of
// `widthPercent` of the em, the line 5/4 of the em, 2 pixels of padding
// around (room for a frame).
QSize textField(int points, int chars, int widthPercent)
{
    const int em = emPixels(points);
    const int charWidth = (em * widthPercent + 99) / 100;
    return {chars * charWidth + 4, (em * 5 + 3) / 4 + 4};
}

// The parameter's font code as the editor shows it: code 18 is 14 points
// bold, the time display 24 points; codes no dialog writes (8 at start)
// show as the first choice, 10 points.
int parameterPoints(uint8_t font)
{
    switch (font) {
    case 14: case 18: return 14;
    case 24: return 24;
    case 25: return 25;
    default: return 10;
    }
}

QSize parametrSize(const ParametrElement& e)
{
    // Field width 2..6 digits; the time display shows "hh:mm".
    const int chars = e.font == 24 ? 5 : std::clamp(int(e.digits), 0, 4) + 2;
    return textField(parameterPoints(e.font), chars, 60);
}

QSize textSignalSize(const TextSignalElement& e)
{
    return textField(e.font == 14 ? 14 : 10, 12, 55);
}

QSize textSize(const TextElement& e)
{
    const int points = e.font_size > 0 ? e.font_size : 10;
    // At least 4 characters (an empty template stays clickable), at most a page's width of them.
    return textField(points, int(std::clamp<qsizetype>(e.text.size(), 4, 800)), 55);
}

// A stored size, or the fallback when the record holds none.
QSize storedOr(int w, int h, QSize fallback)
{
    w = std::abs(w);
    h = std::abs(h);
    return (w > 0 && h > 0) ? QSize(w, h) : fallback;
}

int controlType(const ScadaPages& s, const ElementRef& ref)
{
    return ref.kind == ObjectKind::Control && isValidRef(ref)
        ? s.control[size_t(ref.page)][size_t(ref.number)].type
        : 0;
}

QSize figuraSize(const FiguraElement& e)
{
    const int w = std::abs(int(e.size_x));
    const int h = e.type == 1 ? w : std::abs(int(e.size_y));
    return storedOr(w, h, {40, 40});
}

} // namespace

ObjectKind objectKind(ElementKind kind)
{
    return ObjectKind(uint8_t(kind));
}

std::optional<ElementKind> numberedKind(ObjectKind kind)
{
    if (isPageKind(kind))
        return std::nullopt;
    return ElementKind(uint8_t(kind));
}

int ElementRef::objectNumber() const
{
    if (isPageKind(kind))
        return page + 1;
    return number == 0 ? 0 : pageUnit(kind) * page + number;
}

std::optional<ElementRef> ElementRef::fromObjectNumber(ObjectKind kind, int object, int currentPage)
{
    if (isPageKind(kind)) {
        if (object < 1 || object > ScadaPages::kShownPages)
            return std::nullopt;
        return ElementRef{kind, object - 1, 1};
    }
    if (object == 0)
        return ElementRef{kind, currentPage, 0};
    const int unit = pageUnit(kind);
    const int page = (object - 1) / unit;
    if (object < 0 || page >= ScadaPages::kShownPages)
        return std::nullopt;
    return ElementRef{kind, page, object - unit * page};
}

bool isValidRef(const ElementRef& ref)
{
    if (ref.page < 0 || ref.page >= ScadaPages::kShownPages)
        return false;
    if (isPageKind(ref.kind))
        return true;
    return ref.number >= 0 && ref.number <= ScadaPages::maxNumber(*numberedKind(ref.kind));
}

bool isOccupied(const ScadaPages& s, const ElementRef& ref)
{
    bool used = false;
    withRecord(s, ref, [&](const auto& e) { used = e.used != 0; });
    return used;
}

QPoint objectPos(const SignalElement& e)
{
    return {e.x, listTop(e.y)};
}

QPoint objectPos(const TextSignalElement& e)
{
    return {e.x, listTop(e.y)};
}

QPoint objectPos(const ControlElement& e)
{
    return {e.x, e.type == 13 ? e.y - kType13Lift : e.y};
}

QPoint objectPos(const MenuElement& e)
{
    return QPoint(e.x, e.y) - kMenuTextOffset;
}

void setObjectPos(SignalElement& e, QPoint pos)
{
    e.x = int16_t(pos.x());
    e.y = packListY(pos.y(), listNumber(e.y));
}

void setObjectPos(TextSignalElement& e, QPoint pos)
{
    e.x = int16_t(pos.x());
    e.y = packListY(pos.y(), listNumber(e.y));
}

void setObjectPos(ControlElement& e, QPoint pos)
{
    e.x = int16_t(pos.x());
    e.y = int16_t(e.type == 13 ? pos.y() + kType13Lift : pos.y());
}

void setObjectPos(MenuElement& e, QPoint pos)
{
    e.x = int16_t(pos.x() + kMenuTextOffset.x());
    e.y = int16_t(pos.y() + kMenuTextOffset.y());
}

QPoint recordObjectPos(const ScadaPages& s, const ElementRef& ref)
{
    QPoint pos;
    withRecord(s, ref, [&](const auto& e) { pos = objectPos(e); });
    return pos;
}

bool storeObjectPos(ScadaPages& s, const ElementRef& ref, QPoint pos)
{
    return withRecord(s, ref, [&](auto& e) { setObjectPos(e, pos); });
}

QSize buttonSize(int type)
{
    switch (type) {
    case 10: case 11: return {105, 40};
    case 12: return {33, 45};
    case 13: return {60, 60};
    default: return {40, 40};
    }
}

QSize mechanismSize(int picture)
{
    switch (picture) {
    case 0: case 1: case 2: case 3: return {48, 48};
    case 8: case 10: return {38, 60};
    case 9: case 11: return {60, 38};
    case 12: case 14: return {30, 48};
    case 13: case 15: return {48, 30};
    case 16: return {48, 18};
    case 17: return {48, 12};
    case 18: case 19: return {18, 51};
    case 20: case 21: return {28, 28};
    default: return {40, 40}; // 4..7, 22
    }
}

QSize objectSize(const ScadaPages& s, const ElementRef& ref)
{
    QSize size;
    withRecord(s, ref, [&](const auto& e) {
        using T = std::decay_t<decltype(e)>;
        if constexpr (std::is_same_v<T, ParametrElement>)
            size = parametrSize(e);
        else if constexpr (std::is_same_v<T, SignalElement>)
            size = storedOr(signalSize(e.width), signalSize(e.height), {20, 20});
        else if constexpr (std::is_same_v<T, TextSignalElement>)
            size = textSignalSize(e);
        else if constexpr (std::is_same_v<T, LevelElement>)
            size = storedOr(e.width, e.height, {20, 40});
        else if constexpr (std::is_same_v<T, GoBlockElement>)
            size = kGoBlockSize;
        else if constexpr (std::is_same_v<T, FiguraElement>)
            size = figuraSize(e);
        else if constexpr (std::is_same_v<T, VentElement>)
            size = storedOr(e.width, e.height, mechanismSize(e.picture));
        else if constexpr (std::is_same_v<T, TextElement>)
            size = textSize(e);
        else if constexpr (std::is_same_v<T, ControlElement>)
            size = storedOr(e.width, e.height, buttonSize(e.type));
        else if constexpr (std::is_same_v<T, MenuElement>)
            size = kMenuPictureSize;
        else if constexpr (std::is_same_v<T, GrafikElement>)
            size = storedOr(e.width, e.height, {100, 50});
        else
            size = kClockLabelSize;
    });
    return size;
}

QRect elementBounds(const ScadaPages& s, const ElementRef& ref, QPoint pos)
{
    const QRect main(pos, objectSize(s, ref));
    switch (ref.kind) {
    case ObjectKind::Menu:
        return main.united(QRect(pos + kMenuTextOffset, kMenuTextSize));
    case ObjectKind::Clock:
        return main.united(QRect(pos + QPoint(0, kClockDateOffset), kClockLabelSize));
    default:
        return main;
    }
}

MoveRange moveRange(const ScadaPages& s, const ElementRef& ref)
{
    switch (ref.kind) {
    case ObjectKind::Vent:
        return {1, 765, 1, 445};
    case ObjectKind::GoBlock:
    case ObjectKind::Menu:
        return {0, 760, 0, 440};
    case ObjectKind::Control: {
        const int type = controlType(s, ref);
        return {0, (type == 10 || type == 11) ? 710 : 760, 0, 440};
    }
    default:
        return {1, 790, 1, 470};
    }
}

int effectiveStep(int step)
{
    return std::max(step, 1);
}

int snapDown(int value, int step)
{
    step = effectiveStep(step);
    return value <= 0 ? 0 : value - value % step;
}

namespace {

// Button-grid cells are 60 x 58 pixels; the object is centred in its cell
// with the offsets of its kind.
QPoint buttonGridPos(const ScadaPages& s, const ElementRef& ref, QPoint proposed, QSize size)
{
    const int cellX = proposed.x() - proposed.x() % 60;
    const int cellY = proposed.y() - proposed.y() % 58;
    switch (ref.kind) {
    case ObjectKind::Control: {
        const int type = controlType(s, ref);
        const int sx = type == 13 ? 10 : 0;
        const int sy = type == 12 ? 5 : 0;
        return {cellX + 20 - sx, cellY + (80 + sy - size.height()) / 2};
    }
    case ObjectKind::Menu:
        return {cellX + (140 - size.width()) / 2, cellY + (80 - size.height()) / 2};
    default: // go-to
        return {cellX + (80 - size.width()) / 2, cellY + (80 - size.height()) / 2};
    }
}

bool usesButtonGrid(ObjectKind kind)
{
    return kind == ObjectKind::GoBlock || kind == ObjectKind::Control || kind == ObjectKind::Menu;
}

} // namespace

QPoint snapDrag(const ScadaPages& s, const ElementRef& ref, QPoint current, QPoint proposed)
{
    const MoveRange range = moveRange(s, ref);
    const bool menu = ref.kind == ObjectKind::Menu;
    const int step = menu ? s.grid_step_copy : s.grid_step;
    const bool buttonGrid = usesButtonGrid(ref.kind) && (menu ? s.grid_enabled_copy : s.grid_enabled) != 0;
    const QPoint snapped = buttonGrid
        ? buttonGridPos(s, ref, proposed, objectSize(s, ref))
        : QPoint(snapDown(proposed.x(), step), snapDown(proposed.y(), step));
    QPoint next = current;
    if (range.containsLeft(proposed.x()))
        next.setX(snapped.x());
    if (range.containsTop(proposed.y()))
        next.setY(snapped.y());
    return next;
}

QString tooltipText(const ElementRef& ref, QPoint pos)
{
    const int number = isPageKind(ref.kind) ? ref.objectNumber() : ref.number;
    return kindWord(ref.kind) + QString::number(number) + QStringLiteral(", X - ")
        + QString::number(pos.x()) + QStringLiteral(", Y - ") + QString::number(pos.y());
}

} // namespace ostrel
