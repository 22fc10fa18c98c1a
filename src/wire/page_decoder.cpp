#include "wire/page_decoder.h"

#include <QJsonArray>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace ostrel {

namespace {

// The touch grid of the display: 13 columns of cells 62 pixels wide and 60
// high, laid so that the first cell begins 22 pixels left of and 9 pixels
// above the display's top-left corner; cells count from 1, row by row.
constexpr int kGridLeft = -22, kGridTop = -9;
constexpr int kCellWidth = 62, kCellHeight = 60, kGridColumns = 13;

// The 8-bit range each of the 16 levels of a colour component stands for.
struct LevelBin {
    int low, high;
};
constexpr std::array<LevelBin, 16> kLevelBins{{{0, 29},    {30, 58},   {59, 87},   {88, 103},
                                               {104, 119}, {120, 135}, {136, 151}, {152, 167},
                                               {168, 183}, {184, 199}, {200, 215}, {216, 223},
                                               {224, 231}, {232, 239}, {240, 247}, {248, 255}}};

QString hex4(uint16_t v) { return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')); }
QString num(qint64 v) { return QString::number(v); }

QString partName(int position) // 0..15 -> C0, D0, .., C7, D7
{
    return QString(QLatin1Char(position % 2 ? 'D' : 'C')) + QString::number(position / 2);
}

// Bounds-checked little-endian reads from a byte range.
class Bytes {
public:
    Bytes(const char* data, qsizetype size) : data_(data), size_(size) {}
    uint8_t u8(qsizetype i) const { return i >= 0 && i < size_ ? uint8_t(data_[i]) : 0; }
    uint16_t u16(qsizetype i) const { return uint16_t(u8(i) | (u8(i + 1) << 8)); }
    qsizetype size() const { return size_; }

private:
    const char* data_;
    qsizetype size_;
};

QString cp1251(const uint8_t* bytes, int n)
{
    QStringDecoder decoder("windows-1251");
    return decoder(QByteArrayView(reinterpret_cast<const char*>(bytes), n));
}

// Reads table fields at a running offset. Bytes without a value that differ
// from what they must hold are noted (the first of each field).
struct TableReader {
    struct Unexpected {
        PageTable table;
        int record;
        int offset;
        uint8_t expected, found;
    };

    explicit TableReader(const Bytes& bytes) : t(bytes) {}

    void operator()(uint16_t& v)
    {
        v = t.u16(at);
        at += 2;
    }
    void operator()(uint8_t& v) { v = t.u8(at++); }
    void operator()(std::array<uint8_t, 12>& text)
    {
        for (uint8_t& b : text)
            b = t.u8(at++);
    }
    void operator()(ZeroBytes z) { expect(z.count, 0); }
    void operator()(ConstantBytes c) { expect(c.count, c.value); }

    void expect(int count, uint8_t value)
    {
        for (int i = at; i < at + count; ++i)
            if (t.u8(i) != value) {
                unexpected.push_back({table, record, i, value, t.u8(i)});
                break;
            }
        at += count;
    }

    const Bytes& t;
    int at = 0;
    PageTable table = PageTable::Parametr;
    int record = 0;
    std::vector<Unexpected> unexpected;
};

class PageDecoder {
public:
    PageDecoder(DecodedPage& page, const PageDecodeOptions& options) : pg_(page), options_(options) {}

    void run(const std::vector<LinkPacket>& packets)
    {
        pg_.image.assign(size_t(kPageWidth) * kPageHeight, 0);
        collect(packets);
        for (int k = 0; k < kPageParts; ++k)
            part(k);
    }

private:
    void problem(ProblemKind kind, const LinkPacket* p, int stage, qint64 offset, QString expected, QString found,
                 QString detail = {})
    {
        pg_.problems.push_back({kind, p ? p->index : -1, stage, offset, std::move(expected), std::move(found),
                                std::move(detail)});
    }

    // Sorts the packets by part, checking the order C0, D0, .., C7, D7, the
    // checksums, the controller number and the page index.
    void collect(const std::vector<LinkPacket>& packets)
    {
        int highest = -1; // highest position so far (C0 = 0, D0 = 1, .., D7 = 15)
        bool first = true;
        for (const LinkPacket& p : packets) {
            const int next = highest + 1;
            const QString wanted = next < 16 ? partName(next) : QStringLiteral("end");
            const bool header = p.command == 'C';
            if ((!header && p.command != 'D') || p.number < 0 || p.number >= kPageParts) {
                problem(ProblemKind::Order, &p, -1, p.offset, wanted, p.name());
                continue;
            }
            const int position = 2 * p.number + (header ? 0 : 1);
            const LinkPacket*& slot = header ? headers_[size_t(p.number)] : data_[size_t(p.number)];
            if (slot)
                problem(ProblemKind::Repeated, &p, p.number, p.offset, QStringLiteral("once"), p.name());
            else if (position != next)
                problem(ProblemKind::Order, &p, p.number, p.offset, wanted, p.name());
            highest = std::max(highest, position);
            slot = &p;
            if (first) {
                pg_.controller = p.controller;
                first = false;
            } else if (p.controller != pg_.controller) {
                problem(ProblemKind::ControllerMix, &p, p.number, p.offset, num(pg_.controller), num(p.controller));
            }
            if (header)
                checkHeader(p);
        }
        for (int k = 0; k < kPageParts; ++k) {
            if (!headers_[size_t(k)])
                problem(ProblemKind::Missing, nullptr, k, -1, partName(2 * k), QStringLiteral("none"));
            if (!data_[size_t(k)])
                problem(ProblemKind::Missing, nullptr, k, -1, partName(2 * k + 1), QStringLiteral("none"));
        }
    }

    void checkHeader(const LinkPacket& c)
    {
        if (c.bytes.size() != kPageHeaderSize)
            problem(ProblemKind::PacketLength, &c, c.number, c.offset, num(kPageHeaderSize), num(c.bytes.size()));
        if (!c.checksumOk())
            problem(ProblemKind::Checksum, &c, c.number, c.offset + std::max<qsizetype>(0, c.bytes.size() - 2),
                    hex4(c.checksum_computed), hex4(c.checksum_wire));
        const int page = c.at(4);
        if (pg_.page < 0) {
            pg_.page = page;
            if (page > 7)
                problem(ProblemKind::PageIndex, &c, c.number, c.offset + 4, QStringLiteral("0..7"), num(page));
        } else if (page != pg_.page) {
            problem(ProblemKind::PageMix, &c, c.number, c.offset + 4, num(pg_.page), num(page));
        }
    }

    void part(int k)
    {
        const LinkPacket* c = headers_[size_t(k)];
        const LinkPacket* d = data_[size_t(k)];
        BandInfo& band = pg_.bands[size_t(k)];
        if (!c)
            return;
        const int L = c->at(2) | (c->at(3) << 8);
        band.length = L;
        if (L < 4 || (L & 1) || L > kMaxBandLength)
            problem(ProblemKind::BandLength, c, k, c->offset + 2, QStringLiteral("even, 4..%1").arg(kMaxBandLength), num(L));
        if (!d)
            return;
        band.received = true;
        const qint64 payloadOffset = d->offset + 3;
        const Bytes payload(d->bytes.constData() + std::min<qsizetype>(3, d->bytes.size()),
                            std::max<qsizetype>(0, d->bytes.size() - 3));
        const int dataL = payload.u16(0);
        if (dataL != L)
            problem(ProblemKind::HeaderMismatch, d, k, payloadOffset, num(L), num(dataL));
        if (payload.u16(2) != 0)
            problem(ProblemKind::Reserved, d, k, payloadOffset + 2, QStringLiteral("0"), num(payload.u16(2)),
                    QStringLiteral("band header"));

        const qsizetype bandEnd = std::min<qsizetype>(L, payload.size());
        decodeBand(k, payload, bandEnd, payloadOffset, *d);

        if (k < kPageParts - 1) {
            if (payload.size() != qsizetype(L) + 1)
                problem(ProblemKind::PacketLength, d, k, d->offset, num(3 + qsizetype(L) + 1), num(d->bytes.size()));
            else if (payload.u8(L) != 0)
                problem(ProblemKind::Reserved, d, k, payloadOffset + L, QStringLiteral("0"), num(payload.u8(L)),
                        QStringLiteral("byte after the band"));
            return;
        }
        // Part 7: the element tables follow the band.
        const qsizetype area = payload.size() - qsizetype(L);
        TableLayout layout = options_.layout;
        if (layout == TableLayout::Auto) {
            if (area == kFullTableArea) {
                layout = TableLayout::Full;
            } else if (area == kShortTableArea) {
                layout = TableLayout::Short;
            } else {
                problem(ProblemKind::TableArea, d, k, payloadOffset + std::min<qsizetype>(L, payload.size()),
                        QStringLiteral("%1 or %2 bytes").arg(kFullTableArea).arg(kShortTableArea),
                        QStringLiteral("%1 bytes").arg(area));
                layout = area > kShortTableArea ? TableLayout::Full : TableLayout::Short;
            }
        } else if (area != tableAreaSize(layout)) {
            problem(ProblemKind::PacketLength, d, k, d->offset, num(3 + qsizetype(L) + tableAreaSize(layout)),
                    num(d->bytes.size()));
        }
        pg_.layout = layout;
        const qsizetype tablesAt = std::clamp<qsizetype>(L, 0, payload.size());
        tables(Bytes(d->bytes.constData() + 3 + tablesAt, payload.size() - tablesAt), layout, payloadOffset + L, *d);
    }

    void decodeBand(int k, const Bytes& payload, qsizetype bandEnd, qint64 payloadOffset, const LinkPacket& d)
    {
        BandInfo& band = pg_.bands[size_t(k)];
        uint16_t* out = pg_.image.data() + size_t(k) * kBandPixels;
        const qsizetype words = bandEnd > 4 ? (bandEnd - 4) / 2 : 0;
        band.words = int(words);
        qint64 pixels = 0;
        qint64 overfillAt = -1;
        qint64 splitAt = -1;
        int splits = 0;
        int previousValue = -1, previousRun = 16;
        for (qsizetype i = 0; i < words; ++i) {
            const uint16_t word = payload.u16(4 + 2 * i);
            const int run = (word >> 12) + 1;
            const uint16_t value = word & 0x0FFF;
            if (value == previousValue && previousRun < 16) {
                if (splits++ == 0)
                    splitAt = payloadOffset + 4 + 2 * i;
            }
            previousValue = value;
            previousRun = run;
            if (pixels < kBandPixels) {
                // A run is at most 16 pixels: copy them from a 32-byte pattern.
                const qint64 n = std::min<qint64>(run, kBandPixels - pixels);
                const uint64_t four = value * 0x0001000100010001ULL;
                const uint64_t pattern[4] = {four, four, four, four};
                std::memcpy(out + pixels, pattern, size_t(n) * sizeof(uint16_t));
            }
            if (pixels + run > kBandPixels && overfillAt < 0)
                overfillAt = payloadOffset + 4 + 2 * i;
            pixels += run;
        }
        band.pixels = pixels;
        if (pixels > kBandPixels)
            problem(ProblemKind::BandOverfill, &d, k, overfillAt, QStringLiteral("%1 pixels").arg(kBandPixels),
                    QStringLiteral("%1 pixels").arg(pixels));
        else if (pixels < kBandPixels)
            problem(ProblemKind::BandUnderfill, &d, k, payloadOffset + 4 + 2 * words,
                    QStringLiteral("%1 pixels").arg(kBandPixels), QStringLiteral("%1 pixels").arg(pixels));
        if (splits > 0)
            problem(ProblemKind::BandRuns, &d, k, splitAt, QStringLiteral("runs of one value joined up to 16 pixels"),
                    QStringLiteral("%1 words continue a shorter run").arg(splits));
    }

    // Reads the tables of `layout` field by field as the layout describes
    // them. Touch cells are checked against the positions first, then the
    // bytes without a value (menus, filler, marker) in table order.
    void tables(const Bytes& t, TableLayout layout, qint64 base, const LinkPacket& d)
    {
        PageTables& out = pg_.tables;
        TableReader reader(t);
        for (const TableSpec& spec : kPageTables) {
            if (!sent(spec, layout))
                continue;
            reader.table = spec.table;
            for (int i = 0; i < spec.records; ++i) {
                reader.record = i;
                visitRecord(spec.table, out, size_t(i), reader);
            }
        }
        constexpr int kControlSize = recordSize(PageTable::Control);
        constexpr int kCellField =
            fieldOffset(PageTable::Control, [](auto& r) -> auto& { return r.control[0].touch_cell; });
        const int controls = tableOffset(layout, PageTable::Control);
        for (int n = 0; n < PageTables::kNumbers; ++n) {
            const WireControl& ct = out.control[size_t(n)];
            const int cell = touchCellAt(ct.x, ct.y);
            if (ct.touch_cell != 0 && ct.touch_cell != cell)
                problem(ProblemKind::TouchCell, &d, 7, base + controls + kControlSize * n + kCellField, num(cell),
                        num(ct.touch_cell), QStringLiteral("control %1").arg(n + 1));
        }
        for (const TableReader::Unexpected& u : reader.unexpected) {
            const bool menu = u.table == PageTable::Menu;
            const ProblemKind kind = menu                            ? ProblemKind::Reserved
                : u.table == PageTable::Filler                       ? ProblemKind::Filler
                                                                     : ProblemKind::Marker;
            const QString what = menu ? QStringLiteral("menu %1").arg(u.record + 1)
                : u.table == PageTable::Marker && u.expected == 0 ? QStringLiteral("marker")
                                                                  : QString();
            problem(kind, &d, 7, base + u.offset, num(u.expected), num(u.found), what);
        }
        const int end = tablesSize(TableLayout::Full);
        if (layout == TableLayout::Full && t.size() > end)
            reserved(t, end, 1, base, d, QStringLiteral("byte after the tables"), ProblemKind::Reserved);
    }

    void reserved(const Bytes& t, int from, int count, qint64 base, const LinkPacket& d, const QString& what,
                  ProblemKind kind)
    {
        for (int i = from; i < from + count; ++i)
            if (t.u8(i) != 0) {
                problem(kind, &d, 7, base + i, QStringLiteral("0"), num(t.u8(i)), what);
                return;
            }
    }

    DecodedPage& pg_;
    const PageDecodeOptions& options_;
    std::array<const LinkPacket*, kPageParts> headers_{};
    std::array<const LinkPacket*, kPageParts> data_{};
};

} // namespace

int touchCellAt(int x, int y)
{
    const int column = (x - kGridLeft) / kCellWidth;
    const int row = (y - kGridTop) / kCellHeight;
    return row * kGridColumns + column + 1;
}

QRgb displayColor(uint16_t value)
{
    const auto middle = [](int level) {
        const LevelBin& bin = kLevelBins[size_t(level & 0xF)];
        return (bin.low + bin.high) / 2;
    };
    return qRgb(middle(value >> 8), middle(value >> 4), middle(value));
}

bool DecodedPage::complete() const
{
    for (const BandInfo& b : bands)
        if (!b.received)
            return false;
    return !hasErrors(problems);
}

DecodedPage decodePage(const std::vector<LinkPacket>& packets, const PageDecodeOptions& options)
{
    DecodedPage page;
    PageDecoder(page, options).run(packets);
    return page;
}

QImage pageImage(const DecodedPage& page)
{
    QImage img(kPageWidth, kPageHeight, QImage::Format_RGB32);
    if (page.image.size() != size_t(kPageWidth) * kPageHeight) {
        img.fill(Qt::black);
        return img;
    }
    // One expansion per 12-bit value instead of one per pixel.
    std::array<QRgb, 4096> expanded;
    for (size_t v = 0; v < expanded.size(); ++v)
        expanded[v] = displayColor(uint16_t(v));
    for (int y = 0; y < kPageHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uint16_t* src = page.image.data() + size_t(y) * kPageWidth;
        for (int x = 0; x < kPageWidth; ++x)
            line[x] = expanded[src[x] & 0x0FFF];
    }
    return img;
}

int fontOfParametrCode(uint8_t font_code)
{
    switch (font_code) {
    case 2: return 10;
    case 3: return 14;
    case 9: return 18;
    case 11: return 25;
    case 12: return 24;
    default: return (int(font_code) - 2) * 4 + 10;
    }
}

int signalWidthField(const WireSignal& s) { return s.width_byte + (s.frame == 1 ? 5 : 1); }
int signalHeightField(const WireSignal& s) { return s.height_byte + (s.frame == 1 ? 5 : 1); }
int levelWidth(const WireLevel& l) { return l.width_byte + (l.style == 1 ? 5 : 1); }
int levelHeight(const WireLevel& l) { return l.height_byte + (l.style == 1 ? 5 : 1); }

QString textSignalOff(const WireTextSignal& t)
{
    return cp1251(t.text_off.data(), std::min(12, t.length_frame >> 1));
}

QString textSignalOn(const WireTextSignal& t)
{
    int n = 12;
    while (n > 0 && t.text_on[size_t(n - 1)] == ' ')
        --n;
    return cp1251(t.text_on.data(), n);
}

QJsonObject pageJson(const DecodedPage& page)
{
    QJsonObject root;
    root[QStringLiteral("page")] = page.page;
    root[QStringLiteral("controller")] = int(page.controller);
    root[QStringLiteral("layout")] = page.layout == TableLayout::Full ? QStringLiteral("full")
        : page.layout == TableLayout::Short                           ? QStringLiteral("short")
                                                                      : QStringLiteral("none");
    QJsonArray bands;
    for (int k = 0; k < kPageParts; ++k) {
        const BandInfo& b = page.bands[size_t(k)];
        bands.append(QJsonObject{{QStringLiteral("part"), k},
                                 {QStringLiteral("received"), b.received},
                                 {QStringLiteral("length"), b.length},
                                 {QStringLiteral("words"), b.words},
                                 {QStringLiteral("pixels"), qint64(b.pixels)}});
    }
    root[QStringLiteral("bands")] = bands;

    const PageTables& t = page.tables;
    QJsonArray parametr, signal, textSignal, level, menu, control, goBlock, vent;
    for (int n = 0; n < PageTables::kNumbers; ++n) {
        const WireParametr& p = t.parametr[size_t(n)];
        parametr.append(QJsonObject{
            {QStringLiteral("number"), n + 1}, {QStringLiteral("x"), p.x}, {QStringLiteral("y"), p.y},
            {QStringLiteral("color"), p.color}, {QStringLiteral("back_color"), p.back_color},
            {QStringLiteral("frame"), p.frame}, {QStringLiteral("font_code"), p.font_code},
            {QStringLiteral("font"), fontOfParametrCode(p.font_code)}, {QStringLiteral("digits"), p.digits_code - 2},
            {QStringLiteral("block"), p.block}, {QStringLiteral("output"), p.output & 0x7F},
            {QStringLiteral("setpoint"), (p.output & 0x80) != 0}});
        const WireSignal& s = t.signal[size_t(n)];
        const int wf = signalWidthField(s), hf = signalHeightField(s);
        signal.append(QJsonObject{
            {QStringLiteral("number"), n + 1}, {QStringLiteral("x"), s.x}, {QStringLiteral("top"), s.y % 1024},
            {QStringLiteral("list"), s.y / 1024}, {QStringLiteral("width"), wf % 64},
            {QStringLiteral("height"), hf % 64}, {QStringLiteral("shape"), (hf / 64) * 4 + (wf / 64) % 4},
            {QStringLiteral("color"), s.color}, {QStringLiteral("back_color"), s.back_color},
            {QStringLiteral("frame"), s.frame}, {QStringLiteral("block"), s.block},
            {QStringLiteral("output"), s.output}});
        const WireTextSignal& ts = t.text_signal[size_t(n)];
        textSignal.append(QJsonObject{
            {QStringLiteral("number"), n + 1}, {QStringLiteral("x"), ts.x}, {QStringLiteral("top"), ts.y % 1024},
            {QStringLiteral("list"), ts.y / 1024}, {QStringLiteral("font_code"), ts.font_code},
            {QStringLiteral("color"), ts.color}, {QStringLiteral("back_color"), ts.back_color},
            {QStringLiteral("frame"), ts.length_frame & 1}, {QStringLiteral("text_off"), textSignalOff(ts)},
            {QStringLiteral("text_on"), textSignalOn(ts)}, {QStringLiteral("block"), ts.block},
            {QStringLiteral("output"), ts.output}});
        const WireLevel& l = t.level[size_t(n)];
        level.append(QJsonObject{
            {QStringLiteral("number"), n + 1}, {QStringLiteral("x"), l.x}, {QStringLiteral("y"), l.y},
            {QStringLiteral("width"), levelWidth(l)}, {QStringLiteral("height"), levelHeight(l)},
            {QStringLiteral("scale"), l.scale}, {QStringLiteral("color"), l.color},
            {QStringLiteral("back_color"), l.back_color}, {QStringLiteral("style"), l.style},
            {QStringLiteral("block"), l.block}, {QStringLiteral("output"), l.output}});
        const WireControl& c = t.control[size_t(n)];
        control.append(QJsonObject{
            {QStringLiteral("number"), n + 1}, {QStringLiteral("x"), c.x}, {QStringLiteral("y"), c.y},
            {QStringLiteral("type"), c.type}, {QStringLiteral("touch_cell"), c.touch_cell},
            {QStringLiteral("block"), c.block}, {QStringLiteral("channel"), c.channel}});
        const WireGoTo& g = t.go_block[size_t(n)];
        goBlock.append(QJsonObject{{QStringLiteral("number"), n + 1}, {QStringLiteral("touch_cell"), g.touch_cell},
                                {QStringLiteral("option"), g.option}, {QStringLiteral("locked"), g.option >= 128},
                                {QStringLiteral("index"), g.option % 128}, {QStringLiteral("target"), g.target}});
        const WireMechanism& m = t.vent[size_t(n)];
        vent.append(QJsonObject{{QStringLiteral("number"), n + 1}, {QStringLiteral("x"), m.x},
                                      {QStringLiteral("y"), m.y}, {QStringLiteral("picture"), m.picture},
                                      {QStringLiteral("block"), m.block}, {QStringLiteral("output"), m.output}});
    }
    for (int n = 0; n < PageTables::kMenus; ++n) {
        const WireMenu& m = t.menu[size_t(n)];
        menu.append(QJsonObject{{QStringLiteral("number"), n + 1}, {QStringLiteral("x"), m.x},
                                 {QStringLiteral("y"), m.y}, {QStringLiteral("target_page"), m.target_page}});
    }
    root[QStringLiteral("parametr")] = parametr;
    root[QStringLiteral("signal")] = signal;
    root[QStringLiteral("text_signal")] = textSignal;
    root[QStringLiteral("level")] = level;
    root[QStringLiteral("menu")] = menu;
    root[QStringLiteral("clock")] = QJsonObject{{QStringLiteral("x"), t.clock.x}, {QStringLiteral("y"), t.clock.y}};
    root[QStringLiteral("grafik")] = QJsonObject{{QStringLiteral("x"), t.grafik.x},
                                                {QStringLiteral("y"), t.grafik.y},
                                                {QStringLiteral("width"), t.grafik.width_byte + 1},
                                                {QStringLiteral("height"), t.grafik.height_byte + 1},
                                                {QStringLiteral("group"), t.grafik.group}};
    root[QStringLiteral("control")] = control;
    root[QStringLiteral("go_block")] = goBlock;
    if (page.layout != TableLayout::Short)
        root[QStringLiteral("vent")] = vent;
    QJsonArray problems;
    for (const DecodeProblem& p : page.problems)
        problems.append(describe(p));
    root[QStringLiteral("problems")] = problems;
    return root;
}

} // namespace ostrel
