#include "scada/element_ref.h"

#include "scada/page_painter.h"

#include <algorithm>
#include <cstdlib>

namespace ostrel {

namespace {

bool isPageKind(ObjectKind kind)
{
    return !kindInfo(kind).numbered();
}

int controlType(const ScadaPages& s, const ElementRef& ref)
{
    return ref.kind == ObjectKind::Control && isValidRef(ref)
        ? s.control[size_t(ref.page)][size_t(ref.number)].type
        : 0;
}

} // namespace

int ElementRef::objectNumber() const
{
    if (isPageKind(kind))
        return page + 1;
    return number == 0 ? 0 : kindInfo(kind).max_number * page + number;
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
    const int unit = kindInfo(kind).max_number;
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
    return ref.number >= 0 && ref.number <= ScadaPages::maxNumber(ref.kind);
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
    return ElementPictures::buttonSize(type);
}

QSize mechanismSize(int picture)
{
    const QSize size = ElementPictures::mechanismSize(picture);
    return size.isEmpty() ? QSize(40, 40) : size;
}

void applyTemplateLook(ParametrElement&) {}

void applyTemplateLook(SignalElement& e)
{
    const int shape = signalShape(e.width, e.height);
    if (signalSize(e.width) == 0 || signalSize(e.height) == 0) {
        e.width = packSignalWidth(20, shape);
        e.height = packSignalHeight(20, shape);
    }
}

void applyTemplateLook(TextSignalElement& e)
{
    if (e.text_off.isEmpty())
        e.text_off = QStringLiteral("Текст 1");
    if (e.text_on.isEmpty())
        e.text_on = QStringLiteral("Текст 2");
}

void applyTemplateLook(LevelElement& e)
{
    if (e.width == 0 || e.height == 0) {
        e.width = 20;
        e.height = 40;
    }
}

void applyTemplateLook(GoBlockElement&) {}

void applyTemplateLook(FiguraElement& e)
{
    if (e.size_x == 0 || (e.type != 1 && e.size_y == 0))
        e.size_x = e.size_y = 40;
    if (e.line_width == 0)
        e.line_width = 3;
}

void applyTemplateLook(VentElement&) {}

void applyTemplateLook(TextElement& e)
{
    if (e.text.trimmed().isEmpty())
        e.text = QStringLiteral("Текст");
    if (e.font_name.trimmed().isEmpty())
        e.font_name = QStringLiteral("Arial");
    if (e.font_size == 0)
        e.font_size = 10;
}

void applyTemplateLook(ControlElement&) {}
void applyTemplateLook(MenuElement&) {}
void applyTemplateLook(GrafikElement&) {}
void applyTemplateLook(ClockElement&) {}

namespace {

// The rectangle the painter draws the main object of a shown record in.
QRect mainRect(const ParametrElement& e, int number) { return parametrRect(e, parametrCaption(number, e.digits)); }
QRect mainRect(const SignalElement& e, int) { return signalRect(e); }
QRect mainRect(const TextSignalElement& e, int) { return textSignalRect(e, e.text_off); }
QRect mainRect(const LevelElement& e, int) { return levelRect(e); }
QRect mainRect(const GoBlockElement& e, int) { return goBlockRect(e); }
QRect mainRect(const FiguraElement& e, int) { return figuraShapeRect(e); }
QRect mainRect(const VentElement& e, int) { return ventRect(e); }
QRect mainRect(const TextElement& e, int) { return textElementRect(e); }
QRect mainRect(const ControlElement& e, int) { return controlRect(e); }
QRect mainRect(const MenuElement& e, int) { return menuPictureRect(e); }
QRect mainRect(const GrafikElement& e, int) { return grafikRect(e); }
QRect mainRect(const ClockElement& e, int) { return clockRect(e); }

} // namespace

ElementGeometry elementGeometry(const ScadaPages& s, const ElementRef& ref, QPoint pos)
{
    ElementGeometry g;
    withShownRecord(s, ref, pos, [&](const auto& e) {
        using T = std::decay_t<decltype(e)>;
        g.object = g.bounds = g.painted = mainRect(e, ref.number);
        if constexpr (std::is_same_v<T, MenuElement>) {
            g.bounds = g.painted = g.object.united(menuTextRect(e));
        } else if constexpr (std::is_same_v<T, FiguraElement>) {
            g.painted = figuraRect(e);
        } else if constexpr (std::is_same_v<T, TextSignalElement>) {
            if (e.text_on != e.text_off)
                g.painted = g.object.united(textSignalRect(e, e.text_on));
        }
    });
    return g;
}

QRect objectRect(const ScadaPages& s, const ElementRef& ref, QPoint pos)
{
    return elementGeometry(s, ref, pos).object;
}

QSize objectSize(const ScadaPages& s, const ElementRef& ref)
{
    return objectRect(s, ref, recordObjectPos(s, ref)).size();
}

QRect elementBounds(const ScadaPages& s, const ElementRef& ref, QPoint pos)
{
    return elementGeometry(s, ref, pos).bounds;
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

} // namespace

QPoint snapDrag(const ScadaPages& s, const ElementRef& ref, QPoint current, QPoint proposed)
{
    const MoveRange range = moveRange(s, ref);
    const bool menu = ref.kind == ObjectKind::Menu;
    const int step = menu ? s.grid_step_copy : s.grid_step;
    const bool buttonGrid = kindInfo(ref.kind).button_grid && (menu ? s.grid_enabled_copy : s.grid_enabled) != 0;
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

QString elementName(const ElementRef& ref)
{
    const int number = isPageKind(ref.kind) ? ref.objectNumber() : ref.number;
    return kindInfo(ref.kind).tooltip_word.toString() + QLatin1Char(' ') + QString::number(number);
}

QString tooltipText(const ElementRef& ref, QPoint pos)
{
    return elementName(ref) + QStringLiteral(", X - ") + QString::number(pos.x()) + QStringLiteral(", Y - ")
        + QString::number(pos.y());
}

} // namespace ostrel
