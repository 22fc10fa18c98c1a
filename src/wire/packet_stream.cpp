#include "wire/packet_stream.h"
#include "wire/packet.h"
#include "wire/page_bands.h"
#include "wire/scheme_layout.h"
#include <algorithm>

namespace ostrel {

namespace {

constexpr qsizetype kCompactAt = 1 << 20; // drop consumed bytes once this many piled up

bool isCommand(uint8_t c)
{
    return c == uint8_t(kSchemeHeader) || c == uint8_t(kSchemeData) || c == uint8_t(kPageHeader)
        || c == uint8_t(kPageData);
}

QString hexByte(uint8_t b) { return QStringLiteral("0x%1").arg(b, 2, 16, QLatin1Char('0')); }

} // namespace

int schemePacketSize(int stage)
{
    // controller, letter, stage byte ("B" only), data, two checksum bytes
    if (stage == 0)
        return 2 + schemeStageData(0) + 2;
    if (stage >= 1 && stage <= 7)
        return 3 + schemeStageData(stage) + 2;
    return 0; // 8 and 9 follow from the header's totals
}

QString LinkPacket::name() const
{
    switch (command) {
    case 'A': return QStringLiteral("A");
    case 'B': case 'C': case 'D':
        // A packet cut before its stage or part byte has no number.
        return QString(QLatin1Char(command)) + (number >= 0 ? QString::number(number) : QString());
    default: return hexByte(uint8_t(command));
    }
}

LinkPacket makeLinkPacket(const QByteArray& bytes, int index, qint64 offset)
{
    LinkPacket p;
    p.index = index;
    p.offset = offset;
    p.bytes = bytes;
    p.controller = p.at(0);
    p.command = char(p.at(1));
    switch (p.command) {
    case 'A': p.number = 0; break;
    case 'B': case 'D': p.number = bytes.size() > 2 ? p.at(2) : -1; break;
    case 'C': p.number = bytes.size() > 5 ? p.at(5) : -1; break;
    default: break;
    }
    p.has_checksum = p.command == 'A' || p.command == 'B' || p.command == 'C';
    if (p.has_checksum) {
        const qsizetype covered = std::max<qsizetype>(0, bytes.size() - 2);
        p.checksum_computed = crc16(bytes.constData(), covered);
        p.checksum_wire = uint16_t((p.at(covered) << 8) | p.at(covered + 1));
    }
    return p;
}

PacketStream::PacketStream(TableLayout layout)
    : layout_(layout)
{
}

void PacketStream::feed(const QByteArray& bytes) { feed(bytes.constData(), bytes.size()); }

void PacketStream::feed(const char* data, qsizetype size)
{
    if (size <= 0)
        return;
    buf_.append(data, size);
    parse(false);
    compact();
}

void PacketStream::idle()
{
    idle_ = true;
    parse(false);
    idle_ = false;
}

void PacketStream::finish()
{
    parse(true);
    compact();
}

std::vector<StreamEvent> PacketStream::take()
{
    std::vector<StreamEvent> out;
    out.swap(events_);
    return out;
}

PacketStream::Frame PacketStream::frame(qsizetype pos, const Context& ctx, bool final, qsizetype& length) const
{
    const qsizetype have = buf_.size() - pos;
    const auto at = [&](qsizetype i) { return uint8_t(buf_[pos + i]); };
    if (have < 2)
        return Frame::NeedMore;
    switch (at(1)) {
    case 'A':
        length = schemePacketSize(0);
        return Frame::Ok;
    case 'C':
        length = kPageHeaderSize;
        return Frame::Ok;
    case 'B': {
        if (have < 3)
            return Frame::NeedMore;
        const int stage = at(2);
        if (stage >= 1 && stage <= 7) {
            length = schemePacketSize(stage);
            return Frame::Ok;
        }
        if (stage != 8 && stage != 9)
            return Frame::Unknown;
        if (!ctx.scheme)
            return Frame::NoHeader;
        length = 5 + (stage == 8 ? ctx.P : ctx.T);
        return Frame::Ok;
    }
    case 'D': {
        if (have < 3)
            return Frame::NeedMore;
        if (!ctx.page)
            return Frame::NoHeader;
        const qsizetype band = 3 + qsizetype(ctx.L);
        if (ctx.part != 7) {
            length = band + 1;
            return Frame::Ok;
        }
        TableLayout layout = layout_;
        if (layout == TableLayout::Auto) {
            // The full layout has filler bytes of 7 where the short one has
            // ended; after a short packet come the next packet's controller
            // number and command letter, which are never both 7.
            const qsizetype probe = band + kShortTableArea;
            if (have >= probe + 2)
                layout = (at(probe) == 7 && at(probe + 1) == 7) ? TableLayout::Full : TableLayout::Short;
            else if (final || (idle_ && have >= probe && (have == probe || at(probe) != 7)))
                layout = TableLayout::Short;
            else
                return Frame::NeedMore;
        }
        length = band + tableAreaSize(layout);
        return Frame::Ok;
    }
    default:
        return Frame::Unknown;
    }
}

bool PacketStream::checksOut(qsizetype pos, qsizetype length, const Context& ctx) const
{
    const char* p = buf_.constData() + pos;
    if (uint8_t(p[1]) != uint8_t(kPageData)) {
        if (length < 4)
            return false;
        const uint16_t wire = uint16_t((uint8_t(p[length - 2]) << 8) | uint8_t(p[length - 1]));
        return crc16(p, length - 2) == wire;
    }
    // A data packet has no checksum: its band must repeat the header's length
    // and its runs must fill the band exactly.
    if (!ctx.page || ctx.L < 4 || (ctx.L & 1) || length < 3 + ctx.L)
        return false;
    const char* payload = p + 3;
    const int L = uint8_t(payload[0]) | (uint8_t(payload[1]) << 8);
    if (L != ctx.L || payload[2] != 0 || payload[3] != 0)
        return false;
    return bandRunPixels(payload + 4, L - 4) == kBandPixels;
}

PacketStream::Scan PacketStream::scanForPacket(qsizetype from, qsizetype to, const Context& ctx, bool final,
                                               qsizetype& at) const
{
    const qsizetype size = buf_.size();
    for (qsizetype q = from; q < to; ++q) {
        at = q;
        // Enough bytes to judge the start: controller, letter, stage or part.
        if (q + 6 > size && !final)
            return Scan::NeedMore;
        if (q + 2 > size)
            break;
        const uint8_t controller = uint8_t(buf_[q]);
        const uint8_t letter = uint8_t(buf_[q + 1]);
        if (controller < 1 || controller > 8 || !isCommand(letter))
            continue;
        if (letter == 'B' && (q + 3 > size || uint8_t(buf_[q + 2]) < 1 || uint8_t(buf_[q + 2]) > 9))
            continue;
        if (letter == 'C' && (q + 6 > size || uint8_t(buf_[q + 5]) > 7))
            continue;
        if (letter == 'D' && (!ctx.page || q + 3 > size || uint8_t(buf_[q + 2]) != ctx.part))
            continue;
        qsizetype length = 0;
        const Frame f = frame(q, ctx, final, length);
        if (f == Frame::NeedMore)
            return Scan::NeedMore;
        if (f != Frame::Ok)
            continue;
        if (q + length > size) {
            if (!final)
                return Scan::NeedMore;
            continue;
        }
        if (checksOut(q, length, ctx))
            return Scan::Found;
    }
    at = to;
    return Scan::NotFound;
}

void PacketStream::emitPacket(qsizetype pos, qsizetype length, std::vector<DecodeProblem> problems)
{
    StreamEvent e;
    e.has_packet = true;
    e.packet = makeLinkPacket(buf_.mid(pos, length), nextIndex_++, base_ + pos);
    const LinkPacket& p = e.packet;
    if (p.controller < 1 || p.controller > 8)
        problems.push_back({ProblemKind::ControllerNumber, p.index, p.number, p.offset, QStringLiteral("1..8"),
                            QString::number(p.controller), {}});
    for (DecodeProblem& d : problems) {
        d.packet = p.index;
        d.stage = p.number;
    }
    e.problems = std::move(problems);
    // What the next packets' lengths depend on.
    if (p.command == 'A' && p.bytes.size() >= 6) {
        ctx_.scheme = true;
        ctx_.P = p.at(2) | (p.at(3) << 8);
        ctx_.T = p.at(4) | (p.at(5) << 8);
    } else if (p.command == 'C') {
        ctx_.page = p.bytes.size() >= 6;
        ctx_.L = p.at(2) | (p.at(3) << 8);
        ctx_.part = p.number;
    } else if (p.command == 'D') {
        ctx_.page = false;
    }
    events_.push_back(std::move(e));
}

void PacketStream::emitProblem(DecodeProblem p)
{
    StreamEvent e;
    e.problems.push_back(std::move(p));
    events_.push_back(std::move(e));
}

void PacketStream::closeSkip(qsizetype upTo)
{
    skipping_ = false;
    const qint64 end = base_ + upTo;
    if (end > skipStart_)
        emitProblem({ProblemKind::SkippedBytes, -1, -1, skipStart_, QStringLiteral("0"),
                     QString::number(end - skipStart_), {}});
}

void PacketStream::parse(bool final)
{
    for (;;) {
        const qsizetype size = buf_.size();
        if (skipping_) {
            qsizetype at = pos_;
            const Scan r = scanForPacket(pos_, size, ctx_, final, at);
            pos_ = at;
            if (r == Scan::NeedMore)
                return;
            closeSkip(pos_);
            if (r == Scan::NotFound)
                return;
            continue;
        }
        const qsizetype remaining = size - pos_;
        if (remaining <= 0)
            return;
        qsizetype length = 0;
        const Frame f = frame(pos_, ctx_, final, length);
        const qint64 offset = base_ + pos_;
        if (f == Frame::NeedMore) {
            if (!final)
                return;
            emitProblem({ProblemKind::Truncated, -1, -1, offset, QStringLiteral("a whole packet"),
                         QStringLiteral("%1 bytes").arg(remaining), {}});
            pos_ = size;
            return;
        }
        if (f == Frame::Unknown || f == Frame::NoHeader) {
            const uint8_t letter = uint8_t(buf_[pos_ + 1]);
            if (f == Frame::Unknown && letter == 'B')
                emitProblem({ProblemKind::UnknownCommand, -1, -1, offset + 2, QStringLiteral("stage 1..9"),
                             QString::number(uint8_t(buf_[pos_ + 2])), QStringLiteral("B")});
            else if (f == Frame::Unknown)
                emitProblem({ProblemKind::UnknownCommand, -1, -1, offset + 1, QStringLiteral("A, B, C or D"),
                             hexByte(letter), {}});
            else
                emitProblem({ProblemKind::NoLengthHeader, -1, -1, offset,
                             letter == 'D' ? QStringLiteral("C before D") : QStringLiteral("A before B"),
                             QString(QLatin1Char(char(letter))) + QString::number(uint8_t(buf_[pos_ + 2])), {}});
            skipping_ = true;
            skipStart_ = offset;
            ++pos_;
            continue;
        }
        if (length > remaining && !final)
            return;
        if (failedAt_ != pos_) {
            if (length <= remaining && checksOut(pos_, length, ctx_)) {
                emitPacket(pos_, length, {});
                pos_ += length;
                continue;
            }
            failedAt_ = pos_;
            scanFrom_ = pos_ + 1;
        }
        // The packet does not check out (or the stream ends inside it): a
        // packet that starts inside it and checks out means it was cut short.
        // The scan goes on where it stopped when it had to wait for bytes.
        qsizetype at = scanFrom_;
        const Scan r = scanForPacket(scanFrom_, pos_ + std::min(length, remaining), ctx_, final, at);
        if (r == Scan::NeedMore) {
            scanFrom_ = at;
            return;
        }
        failedAt_ = -1;
        if (r == Scan::Found) {
            emitPacket(pos_, at - pos_, {{ProblemKind::CutShort, -1, -1, offset,
                                          QStringLiteral("%1 bytes").arg(length),
                                          QStringLiteral("%1 bytes").arg(at - pos_), {}}});
            pos_ = at;
            continue;
        }
        if (length > remaining) {
            LinkPacket partial = makeLinkPacket(buf_.mid(pos_, remaining));
            emitProblem({ProblemKind::Truncated, -1, partial.number, offset, QStringLiteral("%1 bytes").arg(length),
                         QStringLiteral("%1 bytes").arg(remaining), partial.name()});
            pos_ = size;
            return;
        }
        emitPacket(pos_, length, {});
        pos_ += length;
    }
}

void PacketStream::compact()
{
    if (pos_ < kCompactAt)
        return;
    buf_.remove(0, pos_);
    base_ += pos_;
    failedAt_ = failedAt_ >= pos_ ? failedAt_ - pos_ : -1;
    scanFrom_ = std::max<qsizetype>(0, scanFrom_ - pos_);
    pos_ = 0;
}

} // namespace ostrel
