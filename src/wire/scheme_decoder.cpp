#include "wire/scheme_decoder.h"
#include "algorithm/step_program.h"
#include "scheme/block_catalog.h"
#include <QJsonArray>
#include <QStringDecoder>
#include <algorithm>

namespace ostrel {

namespace {

// Block numbers whose type is fixed: 0 holds no block; 97..99 are the
// SCADA-page, graph and journal blocks.
struct FixedBlock {
    int block, type;
};
constexpr FixedBlock kFixedBlocks[] = {{0, kNoBlockType},
                                       {BlockTable::kScadaBlock, kScadaPage},
                                       {BlockTable::kGraphBlock, kGraph},
                                       {BlockTable::kJournalBlock, kJournal}};

QString hex4(uint16_t v) { return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')); }
QString num(qint64 v) { return QString::number(v); }
QString stageName(int stage) { return stage == 0 ? QStringLiteral("A") : QStringLiteral("B%1").arg(stage); }

// 4 x parameters and text bytes of the typed blocks 1..99 under the
// catalog's counts.
std::pair<int, int> totals(const BlockCatalog& catalog, const std::array<uint8_t, DecodedScheme::kBlocks>& types)
{
    int params = 0, texts = 0;
    for (int n = 1; n < kSentBlocks; ++n) {
        const int t = types[size_t(n)];
        params += catalog.paramCount(t);
        texts += catalog.textCount(t) * catalog.textWidth(t);
    }
    return {4 * params, texts};
}

class SchemeDecoder {
public:
    SchemeDecoder(DecodedScheme& out, const SchemeDecodeOptions& options) : s_(out), options_(options) {}

    void run(const std::vector<LinkPacket>& packets)
    {
        collect(packets);
        header();
        tables();
        chooseVersion();
        checkTotals();
        blocks();
    }

private:
    void problem(ProblemKind kind, const LinkPacket* p, int stage, qint64 offset, QString expected, QString found,
                 QString detail = {})
    {
        s_.problems.push_back({kind, p ? p->index : -1, stage, offset, std::move(expected), std::move(found),
                               std::move(detail)});
    }

    // Data byte i of stage s (after controller, letter and stage byte); 0
    // when the stage or the byte is missing.
    uint8_t data(int s, qsizetype i) const
    {
        const LinkPacket* p = packets_[size_t(s)];
        return p ? p->at(3 + i) : 0;
    }
    // Stream offset of data byte i of stage s.
    qint64 dataOffset(int s, qsizetype i) const
    {
        const LinkPacket* p = packets_[size_t(s)];
        return p ? p->offset + 3 + i : -1;
    }

    void collect(const std::vector<LinkPacket>& packets)
    {
        int highest = -1; // highest stage so far: the next one is expected
        bool first = true;
        for (const LinkPacket& p : packets) {
            const int stage = p.command == 'A' ? 0 : p.command == 'B' ? p.number : -1;
            const int next = highest + 1;
            const QString wanted = next < DecodedScheme::kStages ? stageName(next) : QStringLiteral("end");
            if (stage < 0 || stage >= DecodedScheme::kStages) {
                problem(ProblemKind::Order, &p, -1, p.offset, wanted, p.name());
                continue;
            }
            const LinkPacket*& slot = packets_[size_t(stage)];
            if (slot)
                problem(ProblemKind::Repeated, &p, stage, p.offset, QStringLiteral("once"), p.name());
            else if (stage != next)
                problem(ProblemKind::Order, &p, stage, p.offset, wanted, p.name());
            highest = std::max(highest, stage);
            slot = &p;
            s_.received[size_t(stage)] = true;
            if (first) {
                s_.controller = p.controller;
                first = false;
            } else if (p.controller != s_.controller) {
                problem(ProblemKind::ControllerMix, &p, stage, p.offset, num(s_.controller), num(p.controller));
            }
            if (!p.checksumOk())
                problem(ProblemKind::Checksum, &p, stage, p.offset + std::max<qsizetype>(0, p.bytes.size() - 2),
                        hex4(p.checksum_computed), hex4(p.checksum_wire));
        }
        for (int stage = 0; stage < DecodedScheme::kStages; ++stage)
            if (!packets_[size_t(stage)])
                problem(ProblemKind::Missing, nullptr, stage, -1, stageName(stage), QStringLiteral("none"));
    }

    void header()
    {
        const LinkPacket* a = packets_[0];
        const LinkPacket* p8 = packets_[8];
        const LinkPacket* p9 = packets_[9];
        if (a) {
            if (a->bytes.size() != schemePacketSize(0))
                problem(ProblemKind::PacketLength, a, 0, a->offset, num(schemePacketSize(0)), num(a->bytes.size()));
            s_.param_bytes = a->at(2) | (a->at(3) << 8);
            s_.text_bytes = a->at(4) | (a->at(5) << 8);
            if (s_.param_bytes % 4 != 0)
                problem(ProblemKind::ParamAlignment, a, 0, a->offset + 2, QStringLiteral("a multiple of 4"),
                        num(s_.param_bytes));
        } else {
            // Without the header the two long stages tell their own sizes.
            s_.param_bytes = p8 ? int(std::max<qsizetype>(0, p8->bytes.size() - 5)) : 0;
            s_.text_bytes = p9 ? int(std::max<qsizetype>(0, p9->bytes.size() - 5)) : 0;
        }
        for (int stage = 1; stage < DecodedScheme::kStages; ++stage) {
            const LinkPacket* p = packets_[size_t(stage)];
            if (!p)
                continue;
            const qsizetype size = stage == 8 ? s_.param_bytes + 5
                : stage == 9                  ? s_.text_bytes + 5
                                              : schemePacketSize(stage);
            if (p->bytes.size() != size)
                problem(ProblemKind::PacketLength, p, stage, p->offset, num(size), num(p->bytes.size()),
                        stage >= 8 ? QStringLiteral("from the header's totals") : QString());
        }
    }

    void tables()
    {
        for (int n = 0; n < DecodedScheme::kBlocks; ++n) {
            s_.block_type[size_t(n)] = data(1, n);
            for (int i = 0; i < kSentInputs; ++i)
                s_.InputLink[size_t(n)][size_t(i)] = data(2, qsizetype(i) * DecodedScheme::kBlocks + n);
            s_.invert_mask[size_t(n)] = data(6, n);
        }
        for (int c = 0; c < kLinkColumns; ++c) {
            s_.graph_input_link[size_t(c)] = data(3, c);
            s_.journal_input_link[size_t(c)] = data(4, c);
        }
        for (int r = 0; r < kSpecialRows; ++r)
            for (int c = 0; c < kLinkColumns; ++c)
                s_.special_link[size_t(r)][size_t(c)] = data(5, r * kLinkColumns + c);
        for (int c = 0; c < kJournalInverts; ++c) {
            s_.journal_invert[size_t(c)] = data(7, c);
            s_.report_invert[size_t(c)] = s_.special_link[1][size_t(c)];
        }
        const int count = s_.param_bytes / 4;
        s_.param_milli.resize(size_t(count));
        for (int i = 0; i < count; ++i) {
            const uint8_t b[4] = {data(8, 4 * i), data(8, 4 * i + 1), data(8, 4 * i + 2), data(8, 4 * i + 3)};
            s_.param_milli[size_t(i)] = decodeParameterMilli(b);
        }
        if (const LinkPacket* p = packets_[9])
            s_.text_data = p->bytes.mid(3, std::max<qsizetype>(0, std::min<qsizetype>(s_.text_bytes, p->bytes.size() - 5)));

        if (!packets_[1])
            return;
        for (const FixedBlock& f : kFixedBlocks)
            if (s_.block_type[size_t(f.block)] != f.type)
                problem(ProblemKind::FixedBlockType, packets_[1], 1, dataOffset(1, f.block), num(f.type),
                        num(s_.block_type[size_t(f.block)]), QStringLiteral("block %1").arg(f.block));
        for (int n = 1; n < DecodedScheme::kBlocks; ++n)
            if (s_.block_type[size_t(n)] > BlockCatalog::kTypes)
                problem(ProblemKind::BlockType, packets_[1], 1, dataOffset(1, n),
                        QStringLiteral("0..%1").arg(BlockCatalog::kTypes),
                        num(s_.block_type[size_t(n)]), QStringLiteral("block %1").arg(n));
    }

    // Sets the version whose counts apply and leaves them in the catalog.
    void chooseVersion()
    {
        for (int v : {5, 3, 0, 1}) {
            catalog_.applyVersion(v);
            const auto [P, T] = totals(catalog_, s_.block_type);
            if (P == s_.param_bytes && T == s_.text_bytes)
                s_.version_candidates.push_back(v);
        }
        if (options_.version >= 0)
            s_.version_code = options_.version;
        else if (!s_.version_candidates.empty())
            s_.version_code = s_.version_candidates.front();
        catalog_.applyVersion(s_.version_code);
    }

    void checkTotals()
    {
        if (!packets_[0] || !packets_[1])
            return;
        const auto [P, T] = totals(catalog_, s_.block_type);
        const QString version = QStringLiteral("version %1").arg(s_.version_code);
        if (P != s_.param_bytes)
            problem(ProblemKind::ParamTotal, packets_[0], 0, packets_[0]->offset + 2, num(P), num(s_.param_bytes),
                    version);
        if (T != s_.text_bytes)
            problem(ProblemKind::TextTotal, packets_[0], 0, packets_[0]->offset + 4, num(T), num(s_.text_bytes),
                    version);
    }

    void blocks()
    {
        const BlockCatalog& cat = catalog_;
        QStringDecoder cp1251("windows-1251");
        int paramBase = 0, textBase = 0;
        qsizetype textOffset = 0;
        for (int n = 1; n < kSentBlocks; ++n) {
            const int t = s_.block_type[size_t(n)];
            if (t == 0)
                continue;
            DecodedBlock b;
            b.number = n;
            b.type = t;
            b.param_base = paramBase;
            b.text_base = textBase;
            const int pc = cat.paramCount(t), tc = cat.textCount(t), width = cat.textWidth(t);
            for (int k = 0; k < pc; ++k) {
                const size_t i = size_t(paramBase + k);
                const int32_t milli = i < s_.param_milli.size() ? s_.param_milli[i] : 0;
                b.param_milli.push_back(milli);
                b.params.push_back(float(double(milli) / 1000.0));
            }
            if (t == kAlgorithm)
                algorithm(b, n, tc, textOffset);
            else
                for (int k = 0; k < tc; ++k) {
                    const qsizetype at = textOffset + qsizetype(k) * width;
                    if (width == 1) {
                        b.texts << num(textByte(at));
                        continue;
                    }
                    const QByteArray field = s_.text_data.mid(at, width);
                    qsizetype len = field.size();
                    while (len > 0 && field[len - 1] == ' ')
                        --len;
                    b.texts << cp1251.decode(QByteArrayView(field.constData(), len));
                }
            paramBase += pc;
            textBase += tc;
            textOffset += qsizetype(tc) * width;
            s_.blocks.push_back(std::move(b));
        }
    }

    uint8_t textByte(qsizetype at) const
    {
        return at >= 0 && at < s_.text_data.size() ? uint8_t(s_.text_data[at]) : 0;
    }

    // Step fields of an algorithm block; with known call flags the call bit
    // is taken off the action byte of every branch marked as a call.
    void algorithm(DecodedBlock& b, int n, int count, qsizetype offset)
    {
        std::vector<int> fields(static_cast<size_t>(count));
        for (int k = 0; k < count; ++k)
            fields[size_t(k)] = textByte(offset + k);
        if (options_.call_flags) {
            for (int s = 0; s < alg::kSteps; ++s)
                for (int branch = 0; branch < 2; ++branch) {
                    if ((*options_.call_flags)[size_t(s)][size_t(branch)] != 1)
                        continue;
                    const int k = alg::kFields * s + (branch == 0 ? alg::then_kind : alg::else_kind);
                    if (k >= count)
                        continue;
                    if (fields[size_t(k)] >= alg::kCallAdjustment) {
                        fields[size_t(k)] -= alg::kCallAdjustment;
                        s_.call_flags[size_t(s)][size_t(branch)] = 1;
                    } else {
                        problem(ProblemKind::CallAdjustment, packets_[9], 9, dataOffset(9, offset + k),
                                QStringLiteral("%1..255").arg(alg::kCallAdjustment), num(fields[size_t(k)]),
                                QStringLiteral("block %1 step %2 %3").arg(n).arg(s + 1)
                                    .arg(branch == 0 ? QStringLiteral("then") : QStringLiteral("else")));
                    }
                }
        }
        for (int v : fields)
            b.texts << num(v);
    }

    DecodedScheme& s_;
    const SchemeDecodeOptions& options_;
    std::array<const LinkPacket*, DecodedScheme::kStages> packets_{};
    BlockCatalog catalog_;
};

QJsonArray byteArray(const uint8_t* data, int n)
{
    QJsonArray a;
    for (int i = 0; i < n; ++i)
        a.append(int(data[i]));
    return a;
}

} // namespace

int32_t decodeParameterMilli(const uint8_t bytes[4])
{
    const int32_t magnitude = int32_t(bytes[0]) | (int32_t(bytes[1]) << 8) | (int32_t(bytes[2]) << 16)
        | (int32_t(bytes[3] & 0x7F) << 24);
    return (bytes[3] & 0x80) ? -magnitude : magnitude;
}

const DecodedBlock* DecodedScheme::block(int number) const
{
    for (const DecodedBlock& b : blocks)
        if (b.number == number)
            return &b;
    return nullptr;
}

bool DecodedScheme::complete() const
{
    return std::all_of(received.begin(), received.end(), [](bool r) { return r; }) && !hasErrors(problems);
}

DecodedScheme decodeScheme(const std::vector<LinkPacket>& packets, const SchemeDecodeOptions& options)
{
    DecodedScheme scheme;
    SchemeDecoder(scheme, options).run(packets);
    return scheme;
}

QJsonObject schemeJson(const DecodedScheme& scheme)
{
    BlockCatalog catalog; // codes only; they do not depend on the version
    QJsonObject root;
    root[QStringLiteral("version_code")] = scheme.version_code;
    root[QStringLiteral("param_bytes")] = scheme.param_bytes;
    root[QStringLiteral("text_bytes")] = scheme.text_bytes;
    root[QStringLiteral("messages")] = QJsonArray();
    QJsonArray blocks;
    for (const DecodedBlock& b : scheme.blocks) {
        QJsonObject o;
        o[QStringLiteral("number")] = b.number;
        o[QStringLiteral("type")] = b.type;
        o[QStringLiteral("code")] = catalog.typeCode(b.type);
        o[QStringLiteral("component")] = QString();
        o[QStringLiteral("param_base")] = b.param_base;
        o[QStringLiteral("text_base")] = b.text_base;
        QJsonArray params;
        for (float v : b.params)
            params.append(double(v));
        o[QStringLiteral("params")] = params;
        o[QStringLiteral("texts")] = QJsonArray::fromStringList(b.texts);
        QJsonArray inputs;
        const auto& link = scheme.InputLink[size_t(b.number)];
        for (int i = 0; i < 8; ++i)
            inputs.append(QJsonArray{int(link[size_t(2 * i)]), int(link[size_t(2 * i + 1)])});
        o[QStringLiteral("inputs")] = inputs;
        o[QStringLiteral("invert_mask")] = int(scheme.invert_mask[size_t(b.number)]);
        blocks.append(o);
    }
    root[QStringLiteral("blocks")] = blocks;
    root[QStringLiteral("graph_input_link")] = byteArray(scheme.graph_input_link.data(), 66);
    root[QStringLiteral("journal_input_link")] = byteArray(scheme.journal_input_link.data(), 66);
    QJsonArray special;
    for (const auto& row : scheme.special_link)
        special.append(byteArray(row.data(), 66));
    root[QStringLiteral("special_link")] = special;
    root[QStringLiteral("journal_invert")] = byteArray(scheme.journal_invert.data(), 4);
    root[QStringLiteral("report_invert")] = byteArray(scheme.report_invert.data(), 4);
    return root;
}

} // namespace ostrel
