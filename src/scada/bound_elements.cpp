#include "scada/bound_elements.h"

#include "platform/interaction.h"
#include "scada/output_list.h"

#include <algorithm>
#include <cstdlib>

namespace ostrel {

namespace {

constexpr int kPageWidth = 800;
constexpr int kPageHeight = 480;

// The position and block of a form once they are known to fit.
struct Checked {
    int x = 0;
    int y = 0;
    uint8_t block = 0;
};

// Position and block every member writes. A value outside the page or a
// block number above 99 is refused with a message; nothing is written then.
std::optional<Checked> checkCommon(const BoundForm& form, Interaction& ui)
{
    const auto pos = checkTypedPosition(form.x, form.y, ui);
    if (!pos)
        return std::nullopt;
    const auto block = checkTypedBlock(form.block, ui);
    if (!block)
        return std::nullopt;
    return Checked{pos->x(), pos->y(), *block};
}

uint8_t listPosition(int position, int max)
{
    return uint8_t(std::clamp(position, 0, max));
}

bool validPage(int page)
{
    return page >= 0 && page < ScadaPages::kShownPages;
}

} // namespace

QString sizeMessage(bool width, bool tooLarge, int limit)
{
    return (width ? QStringLiteral("Ширина ") : QStringLiteral("Высота "))
        + (tooLarge ? QStringLiteral("больше ") : QStringLiteral("меньше ")) + QString::number(limit);
}

OkOutcome writtenElement(ObjectKind kind, int page, int n, bool created)
{
    OkOutcome out;
    out.element = {kind, page, n};
    (created ? out.changes.created : out.changes.updated).append(out.element);
    return out;
}

bool isTypedNumber(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        ++i;
    bool digits = false;
    const auto digit = [&t](qsizetype k) { return t[k] >= u'0' && t[k] <= u'9'; };
    while (i < t.size() && digit(i)) {
        ++i;
        digits = true;
    }
    if (i < t.size() && (t[i] == u'.' || t[i] == u',')) {
        ++i;
        while (i < t.size() && digit(i)) {
            ++i;
            digits = true;
        }
    }
    return digits && i == t.size();
}

bool checkNumberFields(std::initializer_list<NumberField> fields, Interaction& ui)
{
    for (const NumberField& f : fields) {
        if (!isTypedNumber(f.text)) {
            ui.message(QStringLiteral("Введите число: ") + f.caption.trimmed(), QString(), MessageIcon::Warning);
            return false;
        }
    }
    return true;
}

std::optional<QPoint> checkTypedPosition(const QString& xField, const QString& yField, Interaction& ui)
{
    if (!checkNumberFields({{QStringLiteral("Координата Х"), xField}, {QStringLiteral("Координата Y"), yField}}, ui))
        return std::nullopt;
    const int x = ScadaPages::typedNumber(xField);
    const int y = ScadaPages::typedNumber(yField);
    QString refusal;
    if (x < 0)
        refusal = QStringLiteral("Координата Х меньше 0!");
    else if (x >= kPageWidth)
        refusal = QStringLiteral("Координата Х больше %1!").arg(kPageWidth - 1);
    else if (y < 0)
        refusal = QStringLiteral("Координата Y меньше 0!");
    else if (y >= kPageHeight)
        refusal = QStringLiteral("Координата Y больше %1!").arg(kPageHeight - 1);
    if (!refusal.isEmpty()) {
        ui.message(refusal, QString(), MessageIcon::Warning);
        return std::nullopt;
    }
    return QPoint(x, y);
}

std::optional<uint8_t> checkTypedBlock(const QString& blockField, Interaction& ui, const QString& caption)
{
    if (!checkNumberFields({{caption, blockField}}, ui))
        return std::nullopt;
    const int block = blockFieldNumber(blockField);
    if (block > kMaxBoundBlock) {
        ui.message(kBlockTooLarge, QString(), MessageIcon::Warning);
        return std::nullopt;
    }
    return uint8_t(block);
}

QSize limitSizes(int width, int height, QSize min, QSize max, MessageIcon icon, Interaction& ui)
{
    auto limit = [&](int& value, bool isWidth, bool tooLarge, int bound) {
        if (tooLarge ? value > bound : value < bound) {
            ui.message(sizeMessage(isWidth, tooLarge, bound), QString(), icon);
            value = bound;
        }
    };
    limit(width, true, false, min.width());
    limit(height, false, false, min.height());
    limit(width, true, true, max.width());
    limit(height, false, true, max.height());
    return {width, height};
}

std::optional<int> allocateElementNumber(ScadaPages& pages, ObjectKind kind, int page, const QString& numberField,
                                         const QString& message, Interaction& ui, bool& created)
{
    const int max = ScadaPages::maxNumber(kind);
    const int typed = ScadaPages::typedNumber(numberField);
    const bool shownPage = page >= 0 && page < ScadaPages::kShownPages;
    created = !(shownPage && typed >= 1 && typed <= max && pages.isUsed(kind, page, typed));
    const int n = shownPage ? pages.allocate_slot(kind, page, typed) : 0;
    if (n < 1 || n > max) {
        ui.message(message);
        return std::nullopt;
    }
    return n;
}

// ---- list texts ------------------------------------------------------------

QStringList parametrWidthItems()
{
    return {QStringLiteral("2 "), QStringLiteral("3 "), QStringLiteral("4 "), QStringLiteral("5 "),
            QStringLiteral("6 ")};
}

QStringList parametrFontItems()
{
    return {QStringLiteral("1 "), QStringLiteral("2 "), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("Time")};
}

QStringList textSignalFontItems()
{
    return {QStringLiteral("1 "), QStringLiteral("2 ")};
}

QStringList signalShapeItems()
{
    return {QStringLiteral("Прямоугольник"), QStringLiteral("Круг"), QStringLiteral("Треугольник ^ "),
            QStringLiteral("Треугольник > "), QStringLiteral("Треугольник v "), QStringLiteral("Треугольник < "),
            QStringLiteral("Клапан ><"), QStringLiteral("Клапан X")};
}

QStringList signalListItems()
{
    QStringList items{QStringLiteral("Нет")};
    for (int k = 1; k <= 31; ++k)
        items << QString::number(k);
    return items;
}

// ---- fonts -------------------------------------------------------------------

int parametrFontPosition(int font)
{
    if (font == kTimeFont)
        return kTimeFontPosition;
    return std::clamp((font - 10) / 4, 0, 3);
}

uint8_t parametrFontOfPosition(int position)
{
    switch (position) {
    case 1: return 14;
    case 2: return 18;
    case 3: return 25;
    case kTimeFontPosition: return kTimeFont;
    default: return 10;
    }
}

int textSignalFontPosition(int font)
{
    return font >= 12 ? 1 : 0;
}

uint8_t textSignalFontOfPosition(int position)
{
    return position == 1 ? 14 : 10;
}

// ---- forms -------------------------------------------------------------------

namespace {

// The record a dialog opens on; an invalid ref reads the first page's template.
template <class T> const T& recordOf(const ScadaPages& pages, ElementRef ref)
{
    if (!isValidRef(ref))
        ref = {ref.kind, 0, 0};
    const T* found = nullptr;
    withRecord(pages, ref, [&](const auto& e) {
        if constexpr (std::is_same_v<std::decay_t<decltype(e)>, T>)
            found = &e;
    });
    return *found;
}

void fillCommon(BoundForm& form, const ElementRef& ref, QPoint pos, uint8_t block, int output)
{
    form.number = QString::number(ref.number);
    form.x = QString::number(pos.x());
    form.y = QString::number(pos.y());
    form.block = QString::number(block);
    form.output = output;
}

} // namespace

ParametrForm parametrForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos)
{
    const auto& e = recordOf<ParametrElement>(pages, {ObjectKind::Parametr, ref.page, ref.number});
    ParametrForm form;
    fillCommon(form, ref, objectPos, e.block, paramOutputIndex(e.output));
    form.setpoint = paramOutputIsSetpoint(e.output);
    form.digits = std::min<int>(e.digits, 4);
    form.font_position = parametrFontPosition(e.font);
    if (form.font_position == kTimeFontPosition)
        form.digits = 0;
    form.frame = e.frame != 0;
    form.color = e.color;
    form.back_color = e.back_color;
    return form;
}

SignalForm signalForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos, QSize objectSize)
{
    const auto& e = recordOf<SignalElement>(pages, {ObjectKind::Signal, ref.page, ref.number});
    SignalForm form;
    fillCommon(form, ref, objectPos, e.block, e.output);
    form.shape = signalShape(e.width, e.height);
    form.list_number = listNumber(e.y);
    const SignalSizeFields size = signalOpened(form.shape, objectSize.width(), objectSize.height());
    form.width = QString::number(size.width);
    form.height = QString::number(size.height);
    form.frame = e.frame != 0;
    form.blink = e.blink != 0;
    form.color = e.color;
    form.back_color = e.back_color;
    return form;
}

TextSignalForm textSignalForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos)
{
    const auto& e = recordOf<TextSignalElement>(pages, {ObjectKind::TextSignal, ref.page, ref.number});
    TextSignalForm form;
    fillCommon(form, ref, objectPos, e.block, e.output);
    form.font_position = textSignalFontPosition(e.font);
    form.list_number = listNumber(e.y);
    form.frame = e.frame != 0;
    form.blink = e.blink != 0;
    form.color = e.color;
    form.back_color = e.back_color;
    form.text_off = e.text_off;
    form.text_on = e.text_on;
    return form;
}

LevelForm levelForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos, QSize objectSize)
{
    const auto& e = recordOf<LevelElement>(pages, {ObjectKind::Level, ref.page, ref.number});
    LevelForm form;
    fillCommon(form, ref, objectPos, e.block, e.output);
    form.width = QString::number(objectSize.width());
    form.height = QString::number(objectSize.height());
    form.scale = QString::number(e.scale);
    const uint8_t style = ref.number == 0 ? 0 : e.style;
    form.horizontal = levelHorizontal(style);
    form.frame = levelFramed(style);
    form.color = e.color;
    form.back_color = e.back_color;
    return form;
}

VentForm ventForm(const ScadaPages& pages, const ElementRef& ref, QPoint objectPos)
{
    const auto& e = recordOf<VentElement>(pages, {ObjectKind::Vent, ref.page, ref.number});
    VentForm form;
    fillCommon(form, ref, objectPos, e.block, e.output);
    form.picture = std::clamp<int>(e.picture, 0, 22);
    return form;
}

// ---- Ok ------------------------------------------------------------------------

OkOutcome okParametr(ScadaPages& pages, int page, const ParametrForm& form, Interaction& ui)
{
    const auto common = checkCommon(form, ui);
    if (!common)
        return {false, {}, {}};
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Parametr, page, form.number, kParametrNumberMessage, ui, created);
    if (!n)
        return {};
    auto& table = pages.parametr[size_t(page)];
    ParametrElement& e = table[size_t(*n)];
    const int fontPosition = std::clamp(form.font_position, 0, kTimeFontPosition);
    e.x = int16_t(common->x);
    e.y = int16_t(common->y);
    e.digits = fontPosition == kTimeFontPosition ? 0 : uint8_t(std::clamp(form.digits, 0, 4));
    e.frame = form.frame ? 1 : 0;
    e.font = parametrFontOfPosition(fontPosition);
    e.color = form.color;
    e.back_color = form.back_color;
    e.block = common->block;
    e.output = packParamOutput(listPosition(form.output, 127), form.setpoint);
    e.used = 1;
    // The next new parameter starts with this look.
    ParametrElement& t = table[0];
    t.x = e.x;
    t.y = e.y;
    t.digits = e.digits;
    t.frame = e.frame;
    t.font = e.font;
    t.color = e.color;
    t.back_color = e.back_color;
    return writtenElement(ObjectKind::Parametr, page, *n, created);
}

OkOutcome okSignal(ScadaPages& pages, int page, const SignalForm& form, Interaction& ui)
{
    const auto common = checkCommon(form, ui);
    if (!common || !checkNumberFields({{QStringLiteral("Размер Х"), form.width}, {QStringLiteral("Размер Y"), form.height}}, ui))
        return {false, {}, {}};
    const QSize size = limitSizes(ScadaPages::typedNumber(form.width), ScadaPages::typedNumber(form.height),
                                  {kSignalMinSize, kSignalMinSize}, {kSignalMaxSize, kSignalMaxSize}, MessageIcon::Question, ui);
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Signal, page, form.number, kSignalNumberMessage, ui, created);
    if (!n)
        return {};
    SignalElement& e = pages.signal[size_t(page)][size_t(*n)];
    const int shape = std::clamp(form.shape, 0, 7);
    e.x = int16_t(common->x);
    e.y = packListY(common->y, std::clamp(form.list_number, 0, 31));
    e.width = packSignalWidth(size.width(), shape);
    e.height = packSignalHeight(size.height(), shape);
    e.frame = form.frame ? 1 : 0;
    e.color = form.color;
    e.back_color = form.back_color;
    e.blink = form.blink ? 1 : 0;
    e.block = common->block;
    e.output = listPosition(form.output, kOutputListCap - 1);
    e.used = 1;
    return writtenElement(ObjectKind::Signal, page, *n, created);
}

OkOutcome okTextSignal(ScadaPages& pages, int page, const TextSignalForm& form, Interaction& ui)
{
    const auto common = checkCommon(form, ui);
    if (!common)
        return {false, {}, {}};
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::TextSignal, page, form.number, kSignalNumberMessage, ui, created);
    if (!n)
        return {};
    TextSignalElement& e = pages.text_signal[size_t(page)][size_t(*n)];
    e.x = int16_t(common->x);
    e.y = packListY(common->y, std::clamp(form.list_number, 0, 31));
    e.font = textSignalFontOfPosition(form.font_position);
    e.color = form.color;
    e.back_color = form.back_color;
    e.text_off = form.text_off;
    e.text_on = form.text_on;
    e.frame = form.frame ? 1 : 0;
    e.blink = form.blink ? 1 : 0;
    e.block = common->block;
    e.output = listPosition(std::abs(form.output), kOutputListCap - 1);
    e.used = 1;
    return writtenElement(ObjectKind::TextSignal, page, *n, created);
}

OkOutcome okLevel(ScadaPages& pages, int page, const LevelForm& form, Interaction& ui)
{
    const auto common = checkCommon(form, ui);
    if (!common
        || !checkNumberFields({{QStringLiteral("Размер Х"), form.width},
                               {QStringLiteral("Размер Y"), form.height},
                               {QStringLiteral("Масштаб"), form.scale}},
                              ui))
        return {false, {}, {}};
    const int scale = std::abs(ScadaPages::typedNumber(form.scale));
    if (scale > kMaxScale) {
        ui.message(kScaleTooLarge, QString(), MessageIcon::Warning);
        return {false, {}, {}};
    }
    const QSize size = limitSizes(ScadaPages::typedNumber(form.width), ScadaPages::typedNumber(form.height),
                                  {kLevelMinSize, kLevelMinSize}, levelMaxSize(form.horizontal), MessageIcon::None, ui);
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Level, page, form.number, kLevelNumberMessage, ui, created);
    if (!n)
        return {};
    LevelElement& e = pages.level[size_t(page)][size_t(*n)];
    e.x = int16_t(common->x);
    e.y = int16_t(common->y);
    e.width = int16_t(size.width());
    e.height = int16_t(size.height());
    e.style = packLevelStyle(form.horizontal, form.frame);
    e.color = form.color;
    e.back_color = form.back_color;
    e.block = common->block;
    e.output = listPosition(form.output, kOutputListCap - 1);
    e.scale = scale;
    e.used = 1;
    return writtenElement(ObjectKind::Level, page, *n, created);
}

OkOutcome okVent(ScadaPages& pages, int page, const VentForm& form, Interaction& ui)
{
    const auto common = checkCommon(form, ui);
    if (!common)
        return {false, {}, {}};
    bool created = false;
    const auto n = allocateElementNumber(pages, ObjectKind::Vent, page, form.number, kVentNumberMessage, ui, created);
    if (!n)
        return {};
    VentElement& e = pages.vent[size_t(page)][size_t(*n)];
    const int picture = std::clamp(form.picture, 0, 22);
    const QSize size = mechanismSize(picture);
    e.x = int16_t(common->x);
    e.y = int16_t(common->y);
    e.width = int16_t(size.width());
    e.height = int16_t(size.height());
    e.picture = picture;
    e.block = common->block;
    e.output = listPosition(form.output, kOutputListCap - 1);
    e.used = 1;
    return writtenElement(ObjectKind::Vent, page, *n, created);
}

// ---- "Удалить" -----------------------------------------------------------------

namespace {

void resetDeleted(ParametrElement& e)
{
    e.x = e.y = 0;
    e.digits = e.frame = e.font = 0;
    e.color = e.back_color = 0;
    e.used = 0;
}

void resetDeleted(SignalElement& e)
{
    e.x = e.y = 0;
    e.width = e.height = 3;
    e.frame = e.blink = 0;
    e.color = e.back_color = 0;
    e.used = 0;
}

void resetDeleted(TextSignalElement& e)
{
    e.x = e.y = 1;
    e.frame = e.blink = 0;
    e.color = e.back_color = 0;
    e.text_off.clear();
    e.text_on.clear();
    e.font = 10;
    e.used = 0;
}

void resetDeleted(LevelElement& e)
{
    e.x = e.y = 0;
    e.style = 0;
    e.color = e.back_color = 0;
    e.width = e.height = kLevelDeletedSize;
    e.used = 0;
}

void resetDeleted(VentElement& e)
{
    e.x = e.y = e.width = e.height = 0;
    e.picture = 0;
    e.used = 0;
}

template <class T> void resetDeleted(T&) {}

} // namespace

PageChanges deleteBoundElement(ScadaPages& pages, PageEditorState& state, ObjectKind kind, int page,
                               const QString& numberField)
{
    PageChanges changes;
    const bool bound = kindInfo(kind).family == KindFamily::Bound;
    const int n = ScadaPages::typedNumber(numberField);
    const ElementRef ref{kind, page, n};
    if (!bound || n < 1 || n > ScadaPages::maxNumber(kind) || !validPage(page) || !isValidRef(ref))
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

// ---- size fields -----------------------------------------------------------------

namespace {

SignalSizeFields enabledFor(int shape, int width, int height)
{
    SignalSizeFields f;
    f.width = width;
    f.height = height;
    f.width_enabled = shape != 7;
    f.height_enabled = shape == 0 || shape == 7;
    f.frame_enabled = shape == 0 || shape == 1;
    return f;
}

} // namespace

SignalSizeFields signalShapeChosen(int shape, int width, int height)
{
    switch (shape) {
    case 0: break;
    case 6:
        width = height;
        height = width / 2;
        break;
    case 7:
        height = width;
        width = height / 2;
        break;
    default:
        height = width;
        break;
    }
    return enabledFor(shape, width, height);
}

SignalSizeFields signalWidthTyped(int shape, int width, int height)
{
    switch (shape) {
    case 0: break;
    case 6: height = width / 2; break;
    case 7: width = height / 2; break;
    default: height = width; break;
    }
    return enabledFor(shape, width, height);
}

SignalSizeFields signalHeightTyped(int shape, int width, int height)
{
    if (shape == 7)
        width = height / 2;
    return enabledFor(shape, width, height);
}

SignalSizeFields signalOpened(int shape, int width, int height)
{
    if (shape == 6)
        height = width / 2;
    else if (shape == 7)
        width = height / 2;
    return enabledFor(shape, width, height);
}

QSize levelMaxSize(bool horizontal)
{
    return horizontal ? QSize(kLevelLongMax, kLevelNarrowMax) : QSize(kLevelNarrowMax, kLevelLongMax);
}

QString textSignalOffLabel(int listNumber)
{
    if (listNumber < 1)
        return QStringLiteral("Текст сигнала Выкл.");
    return QStringLiteral("Текст сигнала №") + QString::number(2 * (listNumber - 1));
}

QString textSignalOnLabel(int listNumber)
{
    if (listNumber < 1)
        return QStringLiteral("Текст сигнала Вкл.");
    return QStringLiteral("Текст сигнала №") + QString::number(2 * (listNumber - 1) + 1);
}

} // namespace ostrel
