#include "wire/page_encoder.h"
#include "wire/page_bands.h"
#include "wire/packet.h"
#include "wire/transfer_state.h"
#include "scada/page_painter.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ostrel {

namespace {

constexpr int kBands = TransferState::kParts;
constexpr int kMaxWords = (kMaxBandLength - 4) / 2;

// Upper bounds (inclusive) of the 16 bins of an 8-bit component.
constexpr std::array<int, 16> kBinTop{29, 58, 87, 103, 119, 135, 151, 167,
                                      183, 199, 215, 223, 231, 239, 247, 255};

constexpr int binBottom(int level) { return level == 0 ? 0 : kBinTop[size_t(level - 1)] + 1; }

constexpr int levelOf(int c)
{
    int level = 0;
    while (level < 15 && c > kBinTop[size_t(level)])
        ++level;
    return level;
}

// One table per component, already shifted into its place in the 12-bit value.
template <int Shift>
constexpr std::array<uint16_t, 256> shiftedLevels()
{
    std::array<uint16_t, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = uint16_t(levelOf(c) << Shift);
    return t;
}

constexpr auto kRedLevel = shiftedLevels<8>();
constexpr auto kGreenLevel = shiftedLevels<4>();
constexpr auto kBlueLevel = shiftedLevels<0>();

inline uint16_t color12(QRgb px)
{
    return uint16_t(kRedLevel[(px >> 16) & 0xFF] | kGreenLevel[(px >> 8) & 0xFF] | kBlueLevel[px & 0xFF]);
}

// Half-to-even rounding of n / 4.
int roundQuarter(int n)
{
    const int q = n >= 0 ? n / 4 : -((-n + 3) / 4);  // floor
    const int rem = n - 4 * q;                       // 0..3
    if (rem < 2)
        return q;
    if (rem > 2)
        return q + 1;
    return (q % 2 == 0) ? q : q + 1;
}

// (font - 10) / 4 + 2 = (font - 2) / 4, rounded half to even.
int roundedFontCode(int font) { return roundQuarter(font - 2); }

// Encodes rows [row0, row1) of `image` (RGB32 or ARGB32) as run-length words
// at `out`. Returns the number of words, or -1 when the band would need
// more than kMaxWords (nothing is written past out + 2 x kMaxWords).
int encodeBand(const QImage& image, int row0, int row1, uchar* out)
{
    const int width = image.width();
    int words = 0;
    bool started = false;
    uint16_t value = 0;
    int repeat = 0;
    QRgb lastPixel = 0;
    uint16_t lastValue = 0;
    auto put = [&]() {
        if (words == kMaxWords)
            return false;
        const uint16_t w = uint16_t((repeat << 12) | value);
        out[2 * words] = uchar(w & 0xFF);
        out[2 * words + 1] = uchar(w >> 8);
        ++words;
        return true;
    };
    for (int y = row0; y < row1; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb px = line[x] & 0x00FFFFFFu;
            uint16_t c;
            if (started && px == lastPixel) {
                c = lastValue;
            } else {
                c = color12(px);
                lastPixel = px;
                lastValue = c;
            }
            if (!started) {
                started = true;
                value = c;
                repeat = 0;
            } else if (c == value && repeat < 15) {
                ++repeat;
            } else {
                if (!put())
                    return -1;
                value = c;
                repeat = 0;
            }
        }
    }
    if (started && !put())
        return -1;
    return words;
}

// Code page 1251 for the texts of the tables: ASCII as it is, the Cyrillic
// letters by their fixed places, the rest of the upper half looked up in the
// platform's codec; anything else becomes "?".
class Cp1251 {
public:
    Cp1251()
    {
        QByteArray upper(128, '\0');
        for (int i = 0; i < 128; ++i)
            upper[i] = char(0x80 + i);
        QStringDecoder decoder("windows-1251");
        const QString chars = decoder.isValid() ? QString(decoder(upper)) : QString();
        for (int i = 0; i < 128 && i < chars.size(); ++i)
            upper_[size_t(i)] = chars.at(i).unicode();
    }

    uint8_t encode(char32_t c) const
    {
        if (c < 0x80)
            return uint8_t(c);
        if (c >= 0x0410 && c <= 0x044F)
            return uint8_t(0xC0 + (c - 0x0410));
        for (size_t i = 0; i < upper_.size(); ++i)
            if (upper_[i] == c && c != 0xFFFD)
                return uint8_t(0x80 + i);
        return '?';
    }

    // The text cut to `width` characters; returns the number of characters
    // taken. The rest of the field is filled with spaces.
    int field(const QString& text, int width, uint8_t* out) const
    {
        int n = 0;
        for (const char32_t c : text.toUcs4()) {
            if (n == width)
                break;
            out[n++] = encode(c);
        }
        std::memset(out + n, ' ', size_t(width - n));
        return n;
    }

private:
    std::array<char16_t, 128> upper_{};
};

// Appends table fields at tx_length as the layout visits them; bytes
// without a value are skipped (zero) or filled with their constant.
class TableWriter {
public:
    explicit TableWriter(TransferState& ts) : ts_(ts) {}

    void operator()(uint16_t v) { Element_SCADA_COMPORT(ts_, v); }
    void operator()(uint8_t v) { put(v); }
    void operator()(const std::array<uint8_t, 12>& text)
    {
        for (uint8_t b : text)
            put(b);
    }
    void operator()(ZeroBytes z) { ts_.tx_length += z.count; }  // left unwritten: zero
    void operator()(ConstantBytes c)
    {
        for (int i = 0; i < c.count; ++i)
            put(c.value);
    }

private:
    void put(uint8_t b)
    {
        if (ts_.tx_length >= 0 && ts_.tx_length < ts_.tx_buffer.size())
            ts_.tx_buffer.data()[ts_.tx_length] = char(b);
        ++ts_.tx_length;
    }

    TransferState& ts_;
};

// A value limited to the width of its field.
uint16_t word(long long v) { return uint16_t(std::clamp<long long>(v, 0, 0xFFFF)); }
uint8_t byte(long long v) { return uint8_t(std::clamp<long long>(v, 0, 0xFF)); }

// A size byte: the stored size taken absolutely, less d, as a magnitude.
int sizeLess(int stored, int d) { return std::abs(std::abs(stored) - d); }

// A signal's width or height byte: the 6-bit size less 1 (less 5 when
// framed), as a magnitude, with the shape bits 6..7 kept. The size is
// clamped to its field before the shape bits are added, so a negative
// stored size cannot turn into shape bits.
int signalSizeByte(int16_t field, uint8_t frame)
{
    const int d = frame == 1 ? 5 : 1;
    return (signalShapeBits(field) << 6) | std::abs(signalSize(field) - d);
}

struct Offset {
    int dx, dy;
};

// Where the controller's indicator sits on each of the first 16 mechanism pictures.
constexpr std::array<Offset, 16> kMechanismOffset{{{12, 12}, {8, 12}, {8, 8}, {12, 8},
                                                   {6, 9}, {11, 6}, {14, 11}, {9, 14},
                                                   {8, 47}, {4, 8}, {8, 4}, {47, 8},
                                                   {4, 36}, {3, 4}, {4, 3}, {36, 4}}};

Offset mechanismOffset(const VentElement& v)
{
    if (!v.used || v.picture < 0 || v.picture >= int(kMechanismOffset.size()))
        return {0, 0};
    return kMechanismOffset[size_t(v.picture)];
}

// y of a control as the controller gets it: for button type 13 the top of
// its picture (10 above the stored y), 0 for a free type-13 slot.
int controlSentY(const ControlElement& c)
{
    if (c.type != 13)
        return c.y;
    return c.used ? c.y - 10 : 0;
}

// The layout a page write uses: the short one for versions 1 and 2, else the full one.
TableLayout sentLayout(int versionCode)
{
    return tableLayoutForVersion(versionCode) == TableLayout::Short ? TableLayout::Short : TableLayout::Full;
}

void writeTables(const PageTables& tables, TableLayout layout, TransferState& ts)
{
    TableWriter w(ts);
    for (const TableSpec& spec : kPageTables) {
        if (!written(spec, layout))
            continue;
        for (int i = 0; i < spec.records; ++i)
            visitRecord(spec.table, tables, size_t(i), w);
    }
}

void clearPrepared(TransferState& ts)
{
    std::memset(ts.tx_buffer.data(), 0, size_t(ts.tx_buffer.size()));
    for (QByteArray& payload : ts.part_payload)
        payload.clear();
    ts.tx_length = 0;
    ts.page_part = 0;
}

} // namespace

int colorLevel4(int component) { return levelOf(std::clamp(component, 0, 255)); }

int levelMiddle(int level)
{
    level = std::clamp(level, 0, 15);
    return (binBottom(level) + kBinTop[size_t(level)]) / 2;
}

uint16_t PixelColor12(QRgb pixel) { return color12(pixel); }

QRgb expandColor12(uint16_t value)
{
    return qRgb(levelMiddle((value >> 8) & 0xF), levelMiddle((value >> 4) & 0xF), levelMiddle(value & 0xF));
}

QImage quantise(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = expandColor12(color12(line[x]));
    }
    return out;
}

uint16_t Color_RGB_565(int32_t color)
{
    const auto c = uint32_t(color);
    const uint32_t red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
    return uint16_t((red / 8) * 2048 + (green / 4) * 32 + blue / 8);
}

int parametrFontCode(int font)
{
    if (font == 18)
        return 9;
    if (font == 24)
        return 12;
    if (font == 25)
        return 11;
    return std::clamp(roundedFontCode(font), 0, 255);
}

int touchCell(int x, int y) { return (x + 22) / 62 + ((y + 9) / 60) * 13 + 1; }

bool hasMechanismTables(int versionCode) { return sentLayout(versionCode) == TableLayout::Full; }

int elementTablesSize(int versionCode) { return tablesSize(sentLayout(versionCode)); }

int sentTableBytes(int versionCode) { return tableAreaSize(sentLayout(versionCode)); }

PageTables wireTables(const ScadaPages& pages, int p)
{
    PageTables t;
    const Cp1251 cp;
    const size_t pi = size_t(p);
    for (int n = 1; n <= PageTables::kNumbers; ++n) {
        const size_t i = size_t(n - 1), k = size_t(n);
        const ParametrElement& e = pages.parametr[pi][k];
        t.parametr[i] = {.x = word(e.x),
                         .y = word(e.y),
                         .color = Color_RGB_565(e.color),
                         .back_color = Color_RGB_565(e.back_color),
                         .frame = e.frame,
                         .font_code = byte(parametrFontCode(e.font)),
                         .digits_code = byte(e.digits + 2),
                         .block = e.block,
                         .output = e.output};

        const SignalElement& s = pages.signal[pi][k];
        t.signal[i] = {.x = word(s.x),
                       .y = word(s.y),
                       .width_byte = byte(signalSizeByte(s.width, s.frame)),
                       .height_byte = byte(signalSizeByte(s.height, s.frame)),
                       .color = Color_RGB_565(s.color),
                       .back_color = Color_RGB_565(s.back_color),
                       .frame = s.frame,
                       .block = s.block,
                       .output = s.output};

        const TextSignalElement& ts = pages.text_signal[pi][k];
        WireTextSignal& wt = t.text_signal[i];
        wt.x = word(ts.x);
        wt.y = word(ts.y);
        wt.font_code = byte(roundedFontCode(ts.font));
        wt.color = Color_RGB_565(ts.color);
        wt.back_color = Color_RGB_565(ts.back_color);
        const int sentLength = cp.field(ts.text_off, 12, wt.text_off.data());
        cp.field(ts.text_on, 12, wt.text_on.data());
        wt.length_frame = byte(2 * sentLength + ts.frame);
        wt.block = ts.block;
        wt.output = ts.output;

        const LevelElement& l = pages.level[pi][k];
        const int d = l.style == 1 ? 5 : 1;
        t.level[i] = {.x = word(l.x),
                      .y = word(l.y),
                      .width_byte = byte(sizeLess(l.width, d)),
                      .height_byte = byte(sizeLess(l.height, d)),
                      .scale = word(l.scale),
                      .color = Color_RGB_565(l.color),
                      .back_color = Color_RGB_565(l.back_color),
                      .style = l.style,
                      .block = l.block,
                      .output = l.output};

        const ControlElement& c = pages.control[pi][k];
        const int y = controlSentY(c);
        t.control[i] = {.x = word(c.x),
                        .y = word(y),
                        .type = c.type,
                        .touch_cell = byte(c.used ? touchCell(c.x, y) : 0),
                        .block = c.block,
                        .channel = c.channel};

        const GoBlockElement& g = pages.go_block[pi][k];
        t.go_block[i] = {.touch_cell = byte(g.used ? touchCell(g.x, g.y) : 0),
                         .option = byte(g.option),
                         .target = byte(g.target)};

        const VentElement& v = pages.vent[pi][k];
        const Offset o = mechanismOffset(v);
        t.vent[i] = {.x = word(v.x + o.dx),
                     .y = word(v.y + o.dy),
                     .picture = byte(v.picture),
                     .block = v.block,
                     .output = v.output};
    }
    for (int n = 1; n <= PageTables::kMenus; ++n) {
        const MenuElement& m = pages.menu[pi][size_t(n)];
        t.menu[size_t(n - 1)] = {.x = word(m.x), .y = word(m.y), .target_page = m.target_page};
    }
    const ClockElement& clock = pages.clock[pi + 1];
    t.clock = {.x = word(clock.x), .y = word(clock.y)};
    const GrafikElement& graph = pages.grafik[pi + 1];
    t.grafik = {.x = word(graph.x),
                .y = word(graph.y),
                .width_byte = byte(sizeLess(graph.width, 1)),
                .height_byte = byte(sizeLess(graph.height, 1)),
                .group = graph.group};
    return t;
}

PageEncodeResult encodePage(const QImage& source, const ScadaPages& pages, int p, int versionCode,
                            TransferState& ts)
{
    PageEncodeResult result;
    if (ts.tx_buffer.size() != TransferState::kTxBufferSize)
        ts.tx_buffer = QByteArray(TransferState::kTxBufferSize, '\0');
    clearPrepared(ts);
    if (p < 0 || p >= ScadaPages::kShownPages) {
        result.error = {QStringLiteral("Нет страницы %1").arg(p + 1), kPageErrorTitle, MessageIcon::None};
        return result;
    }
    if (source.width() > kPageWidth || source.height() > kPageHeight) {
        result.error = {kPageTooLarge, kPageErrorTitle, MessageIcon::None};
        return result;
    }
    QImage converted;
    const bool direct = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32;
    if (!direct)
        converted = source.convertToFormat(QImage::Format_RGB32);
    const QImage& image = direct ? source : converted;

    auto* buffer = reinterpret_cast<uchar*>(ts.tx_buffer.data());
    for (int k = 0; k < kBands; ++k) {
        ts.page_part = int16_t(k);
        uchar* part = buffer + qsizetype(k) * TransferState::kPartSize;
        const int row0 = std::min(k * kBandRows, image.height());
        const int row1 = std::min(row0 + kBandRows, image.height());
        const int words = encodeBand(image, row0, row1, part + 4);
        if (words < 0) {
            clearPrepared(ts);
            result.error = {kNotEnoughMemory, kPageErrorTitle, MessageIcon::None};
            return result;
        }
        const int length = 4 + 2 * words;
        if (k == kBands - 1) {
            ts.tx_length = int32_t(qsizetype(k) * TransferState::kPartSize + length);
            const int32_t tablesStart = ts.tx_length;
            writeTables(wireTables(pages, p), sentLayout(versionCode), ts);
            result.table_bytes = ts.tx_length - tablesStart;
        }
        part[0] = uchar(length & 0xFF);
        part[1] = uchar(length >> 8);
        result.band_lengths[size_t(k)] = length;
        const int payload = k == kBands - 1 ? length + sentTableBytes(versionCode) : length + 1;
        ts.part_payload[size_t(k)] = QByteArray(reinterpret_cast<const char*>(part), payload);
    }
    result.ok = true;
    return result;
}

PagePrepareResult preparePage(PagePainter& painter, const ScadaPages& pages, int p, int versionCode,
                              const QString& projectFolder, TransferState& ts)
{
    PagePrepareResult result;
    PagePaintResult painted = painter.paintPage(pages, p, projectFolder);
    result.warnings = painted.warnings;
    result.background_picture = painted.background_picture;
    if (!painted.ok) {
        clearPrepared(ts);
        result.error = painted.error;
        return result;
    }
    result.image = painted.image;
    const PageEncodeResult encoded = encodePage(painted.image, pages, p, versionCode, ts);
    if (!encoded.ok) {
        result.error = encoded.error;
        return result;
    }
    result.band_lengths = encoded.band_lengths;
    result.ok = true;
    return result;
}

} // namespace ostrel
