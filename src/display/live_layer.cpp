#include "display/live_layer.h"

#include "scada/page_painter.h"
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <map>

namespace ostrel {

namespace {

constexpr int kCellWidth = 62;
constexpr int kCellHeight = 60;
constexpr int kCellColumns = 13;
// The touch-cell rule (x + 22) div 62, (y + 9) div 60: cells start this far
// left of and above the multiples of the cell size.
constexpr int kCellShiftX = 22;
constexpr int kCellShiftY = 9;

constexpr QChar kFigureSpace(0x2007);

int16_t i16(int v) { return int16_t(std::clamp(v, -32768, 32767)); }

bool placed(uint16_t x, uint16_t y, uint8_t block) { return x != 0 || y != 0 || block != 0; }

// What "Удалить" in an element's dialog leaves in the tables: its look
// cleared at the page's corner, its block and output kept. A controller has
// nothing to show for such a slot (a parameter has no font left), so the
// binding alone does not make it placed.
bool leftByDelete(const WireParametr& w)
{
    return w.x == 0 && w.y == 0 && w.color == 0 && w.back_color == 0 && w.frame == 0 && w.font_code == 0;
}
bool leftByDelete(const WireSignal& w)
{
    return w.x == 0 && w.y == 0 && w.color == 0 && w.back_color == 0 && w.frame == 0 && w.width_byte == 2
        && w.height_byte == 2;
}
bool leftByDelete(const WireTextSignal& w)
{
    return w.x == 1 && w.y == 1 && w.color == 0 && w.back_color == 0 && w.length_frame == 0;
}
bool leftByDelete(const WireLevel& w)
{
    return w.x == 0 && w.y == 0 && w.color == 0 && w.back_color == 0 && w.style == 0 && w.width_byte == 9
        && w.height_byte == 9;
}

template <class Wire> bool placed(const Wire& w) { return placed(w.x, w.y, w.block) && !leftByDelete(w); }

int widen5(int v) { return (v << 3) | (v >> 2); }
int widen6(int v) { return (v << 2) | (v >> 4); }

} // namespace

int32_t recordColorOf565(uint16_t c)
{
    const int r = widen5((c >> 11) & 0x1F), g = widen6((c >> 5) & 0x3F), b = widen5(c & 0x1F);
    return int32_t(r | (g << 8) | (b << 16));
}

ParametrElement parametrRecord(const WireParametr& w)
{
    ParametrElement e;
    e.used = placed(w) ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    e.color = recordColorOf565(w.color);
    e.back_color = recordColorOf565(w.back_color);
    e.frame = w.frame;
    e.font = uint8_t(std::clamp(fontOfParametrCode(w.font_code), 0, 255));
    e.digits = uint8_t(std::clamp(int(w.digits_code) - 2, 0, 4));
    e.block = w.block;
    e.output = w.output;
    return e;
}

SignalElement signalRecord(const WireSignal& w)
{
    SignalElement e;
    e.used = placed(w) ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    e.width = i16(signalWidthField(w));
    e.height = i16(signalHeightField(w));
    e.color = recordColorOf565(w.color);
    e.back_color = recordColorOf565(w.back_color);
    e.frame = w.frame;
    e.block = w.block;
    e.output = w.output;
    return e;
}

TextSignalElement textSignalRecord(const WireTextSignal& w)
{
    TextSignalElement e;
    e.used = placed(w) ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    // Font code (font - 10) / 4 + 2: 2 -> 10, 3 -> 14, 4 -> 18.
    e.font = uint8_t(std::clamp((int(w.font_code) - 2) * 4 + 10, 0, 255));
    e.color = recordColorOf565(w.color);
    e.back_color = recordColorOf565(w.back_color);
    e.text_off = textSignalOff(w);
    e.text_on = textSignalOn(w);
    e.frame = w.length_frame & 1;
    e.block = w.block;
    e.output = w.output;
    return e;
}

LevelElement levelRecord(const WireLevel& w)
{
    LevelElement e;
    e.used = placed(w) ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    e.width = i16(levelWidth(w));
    e.height = i16(levelHeight(w));
    e.scale = w.scale;
    e.color = recordColorOf565(w.color);
    e.back_color = recordColorOf565(w.back_color);
    e.style = w.style;
    e.block = w.block;
    e.output = w.output;
    return e;
}

GrafikElement grafikRecord(const WireGraph& w)
{
    GrafikElement e;
    e.used = w.x != 0 || w.y != 0 ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    e.width = i16(w.width_byte + 1);
    e.height = i16(w.height_byte + 1);
    e.group = w.group;
    return e;
}

ClockElement clockRecord(const WireClock& w)
{
    ClockElement e;
    e.used = w.x != 0 || w.y != 0 ? 1 : 0;
    e.x = i16(w.x);
    e.y = i16(w.y);
    return e;
}

double boundValue(uint8_t block, uint8_t output, const BlockValues& values)
{
    return values.output(block, output);
}

double parametrValue(const WireParametr& w, const BlockValues& values)
{
    const int index = paramOutputIndex(w.output);
    return paramOutputIsSetpoint(w.output) ? values.setpoint(w.block, index) : values.output(w.block, index);
}

QString parametrValueText(double value, const ParametrElement& e)
{
    if (!std::isfinite(value))
        value = 0;
    if (e.font == 24) {
        const long long minutes = std::llround(std::clamp(value, 0.0, 5999.0));
        return QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
    }
    const int width = std::min<int>(e.digits, 4) + 2;
    QString text;
    const bool whole = value == std::floor(value);
    for (int decimals = whole ? 0 : 2; decimals >= 0; --decimals) {
        text = QString::number(value, 'f', decimals);
        if (text.size() <= width)
            break;
    }
    if (text.size() > width)
        text = QString(width, QLatin1Char('*'));
    return QString(width - text.size(), kFigureSpace) + text;
}

QRect touchCellRect(int cell)
{
    if (cell < 1)
        return {};
    const int column = (cell - 1) % kCellColumns, row = (cell - 1) / kCellColumns;
    const QRect r(column * kCellWidth - kCellShiftX, row * kCellHeight - kCellShiftY, kCellWidth, kCellHeight);
    return r.intersected(QRect(0, 0, kPageWidth, kPageHeight));
}

void paintLiveElements(QPainter& p, const PageTables& t, const BlockValues& values, const LiveOptions& options)
{
    for (const WireLevel& w : t.level) {
        const LevelElement e = levelRecord(w);
        if (!e.used)
            continue;
        const double v = boundValue(w.block, w.output, values);
        paintLevelFill(p, e, e.scale != 0 ? v / e.scale : 0.0);
    }
    for (const WireSignal& w : t.signal) {
        const SignalElement e = signalRecord(w);
        if (e.used)
            paintSignal(p, e, boundValue(w.block, w.output, values) != 0);
    }
    for (const WireTextSignal& w : t.text_signal) {
        const TextSignalElement e = textSignalRecord(w);
        if (e.used)
            paintTextSignal(p, e, boundValue(w.block, w.output, values) != 0);
    }
    for (const WireParametr& w : t.parametr) {
        const ParametrElement e = parametrRecord(w);
        if (e.used)
            paintParametr(p, e, parametrValueText(parametrValue(w, values), e));
    }
    const GrafikElement graph = grafikRecord(t.grafik);
    if (graph.used)
        paintGrafik(p, graph);
    const ClockElement clock = clockRecord(t.clock);
    if (clock.used) {
        const QDateTime now = options.now.isValid() ? options.now : QDateTime::currentDateTime();
        paintClock(p, clock, now.toString(QStringLiteral("HH:mm")), now.toString(QStringLiteral("dd.MM.yy")));
    }
    if (!options.touch_cells)
        return;

    // Cells in ascending order, each with the numbers of the elements in it:
    // "У" controls, "П" go-to targets.
    std::map<int, QStringList> cells;
    for (int n = 0; n < PageTables::kNumbers; ++n) {
        if (t.control[size_t(n)].touch_cell != 0)
            cells[t.control[size_t(n)].touch_cell] << QStringLiteral("У%1").arg(n + 1);
        if (t.go_block[size_t(n)].touch_cell != 0)
            cells[t.go_block[size_t(n)].touch_cell] << QStringLiteral("П%1").arg(n + 1);
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline(255, 0, 255);
    const QFont font = labelFont(8, true);
    p.setFont(font);
    for (const auto& [cell, names] : cells) {
        const QRect r = touchCellRect(cell);
        if (r.isEmpty())
            continue;
        p.setPen(QPen(outline, 2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(1, 1, -1, -1));
        const QString label = names.join(QLatin1Char(' '));
        const QRect textBox = p.fontMetrics().boundingRect(label).translated(r.topLeft() + QPoint(3, 3));
        const QRect box(r.left() + 3, r.top() + 3, textBox.width() + 4, p.fontMetrics().height());
        p.fillRect(box, QColor(255, 255, 255, 200));
        p.setPen(outline);
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, label);
    }
    p.restore();
}

QImage composePanelPage(const QImage& pageImage, const PageTables& tables, const BlockValues& values,
                        const LiveOptions& options)
{
    QImage out = pageImage.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    paintLiveElements(p, tables, values, options);
    p.end();
    return out;
}

} // namespace ostrel
