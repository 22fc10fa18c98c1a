#include "wire/page_encoder.h"
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
constexpr int kBandRows = 60;
constexpr int kBandLimit = 32000;                       // header + words of one band
constexpr int kMaxWords = (kBandLimit - 4) / 2;

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

// Appends table fields at tx_length, each limited to its width.
class TableWriter {
public:
    explicit TableWriter(TransferState& ts) : ts_(ts) {}

    void word(long long v) { Element_SCADA_COMPORT(ts_, int32_t(std::clamp<long long>(v, 0, 0xFFFF))); }
    void byte(long long v) { put(uint8_t(std::clamp<long long>(v, 0, 0xFF))); }
    void skip(int n) { ts_.tx_length += n; }                 // left unwritten: zero
    void fill(int n, uint8_t b)
    {
        for (int i = 0; i < n; ++i)
            put(b);
    }
    void text12(const QString& text, const Cp1251& cp)
    {
        uint8_t field[12];
        cp.field(text, 12, field);
        for (uint8_t b : field)
            put(b);
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

// A size byte: the stored size taken absolutely, less d, as a magnitude.
int sizeLess(int stored, int d) { return std::abs(std::abs(stored) - d); }

// A signal's width or height byte: the 6-bit size less 1 (less 5 when
// framed), as a magnitude, with the shape bits 6..7 kept.
int signalSizeByte(int16_t field, uint8_t frame)
{
    const int bits = uint16_t(field);
    const int d = frame == 1 ? 5 : 1;
    return (bits & 0xC0) | std::abs((bits & 0x3F) - d);
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

void writeTables(const ScadaPages& pages, int p, int versionCode, TransferState& ts)
{
    TableWriter w(ts);
    const Cp1251 cp;
    const size_t pi = size_t(p);
    constexpr int kNumbers = 32;

    for (int n = 1; n <= kNumbers; ++n) {                     // 1: parameters
        const ParametrElement& e = pages.parametr[pi][size_t(n)];
        w.word(e.x);
        w.word(e.y);
        w.word(Color_RGB_565(e.color));
        w.word(Color_RGB_565(e.back_color));
        w.byte(e.frame);
        w.byte(parametrFontCode(e.font));
        w.byte(e.digits + 2);
    }
    for (int n = 1; n <= kNumbers; ++n) {                     // 2: signals
        const SignalElement& s = pages.signal[pi][size_t(n)];
        w.word(s.x);
        w.word(s.y);
        w.byte(signalSizeByte(s.width, s.frame));
        w.byte(signalSizeByte(s.height, s.frame));
        w.word(Color_RGB_565(s.color));
        w.word(Color_RGB_565(s.back_color));
        w.byte(s.frame);
    }
    for (int n = 1; n <= kNumbers; ++n) {                     // 3: text signals
        const TextSignalElement& s = pages.text_signal[pi][size_t(n)];
        w.word(s.x);
        w.word(s.y);
        w.byte(roundedFontCode(s.font));
        w.word(Color_RGB_565(s.color));
        w.word(Color_RGB_565(s.back_color));
        uint8_t scratch[12];
        const int sentLength = cp.field(s.text_off, 12, scratch);
        w.byte(2 * sentLength + s.frame);
        w.text12(s.text_off, cp);
        w.text12(s.text_on, cp);
    }
    for (int n = 1; n <= kNumbers; ++n) {                     // 4: levels
        const LevelElement& l = pages.level[pi][size_t(n)];
        const int d = l.style == 1 ? 5 : 1;
        w.word(l.x);
        w.word(l.y);
        w.byte(sizeLess(l.width, d));
        w.byte(sizeLess(l.height, d));
        w.word(l.scale);
        w.word(Color_RGB_565(l.color));
        w.word(Color_RGB_565(l.back_color));
        w.byte(l.style);
    }
    for (int n = 1; n <= 8; ++n) {                            // 5: menus
        const MenuElement& m = pages.menu[pi][size_t(n)];
        w.word(m.x);
        w.word(m.y);
        w.skip(12);
    }
    const ClockElement& clock = pages.clock[pi + 1];          // 6: clock
    w.word(clock.x);
    w.word(clock.y);
    const GrafikElement& graph = pages.grafik[pi + 1];        // 7: graph
    w.word(graph.x);
    w.word(graph.y);
    w.byte(sizeLess(graph.width, 1));
    w.byte(sizeLess(graph.height, 1));
    w.byte(graph.group);
    for (int n = 1; n <= kNumbers; ++n) {                     // 8: controls
        const ControlElement& c = pages.control[pi][size_t(n)];
        const int y = controlSentY(c);
        w.word(c.x);
        w.word(y);
        w.byte(c.type);
        w.byte(c.used ? touchCell(c.x, y) : 0);
    }
    for (int n = 1; n <= kNumbers; ++n) {                     // 9: go-to
        const GoBlockElement& g = pages.go_block[pi][size_t(n)];
        w.byte(g.used ? touchCell(g.x, g.y) : 0);
        w.byte(g.option);
    }
    if (hasMechanismTables(versionCode)) {
        for (int n = 1; n <= kNumbers; ++n) {                 // 10: mechanisms
            const VentElement& v = pages.vent[pi][size_t(n)];
            const Offset o = mechanismOffset(v);
            w.word(v.x + o.dx);
            w.word(v.y + o.dy);
            w.byte(v.picture);
        }
        w.fill(384, 7);                                       // 11: filler
    }
    w.byte(55);                                               // 12: marker
    w.skip(8);
    for (int n = 1; n <= kNumbers; ++n) {                     // 13: bindings
        w.byte(pages.parametr[pi][size_t(n)].block);
        w.byte(pages.parametr[pi][size_t(n)].output);
    }
    for (int n = 1; n <= kNumbers; ++n) {
        w.byte(pages.signal[pi][size_t(n)].block);
        w.byte(pages.signal[pi][size_t(n)].output);
    }
    for (int n = 1; n <= kNumbers; ++n) {
        w.byte(pages.text_signal[pi][size_t(n)].block);
        w.byte(pages.text_signal[pi][size_t(n)].output);
    }
    for (int n = 1; n <= kNumbers; ++n) {
        w.byte(pages.level[pi][size_t(n)].block);
        w.byte(pages.level[pi][size_t(n)].output);
    }
    for (int n = 1; n <= 8; ++n)
        w.byte(pages.menu[pi][size_t(n)].target_page);
    for (int n = 1; n <= kNumbers; ++n) {
        w.byte(pages.control[pi][size_t(n)].block);
        w.byte(pages.control[pi][size_t(n)].channel);
    }
    for (int n = 1; n <= kNumbers; ++n)
        w.byte(pages.go_block[pi][size_t(n)].target);
    for (int n = 1; n <= kNumbers; ++n) {
        w.byte(pages.vent[pi][size_t(n)].block);
        w.byte(pages.vent[pi][size_t(n)].output);
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

bool hasMechanismTables(int versionCode) { return versionCode != 1 && versionCode != 2; }

int elementTablesSize(int versionCode) { return hasMechanismTables(versionCode) ? 3580 : 3036; }

int sentTableBytes(int versionCode) { return hasMechanismTables(versionCode) ? 3581 : 3036 - 64; }

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
            writeTables(pages, p, versionCode, ts);
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
