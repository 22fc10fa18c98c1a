#include "wire/link_receiver.h"
#include <algorithm>

namespace ostrel {

namespace {

QString positionName(ReceivedTransfer::Kind kind, int position)
{
    if (kind == ReceivedTransfer::Kind::Scheme)
        return position == 0 ? QStringLiteral("A") : QStringLiteral("B%1").arg(position);
    return QString(QLatin1Char(position % 2 ? 'D' : 'C')) + QString::number(position / 2);
}

QString hex4(uint16_t v) { return QStringLiteral("0x%1").arg(v, 4, 16, QLatin1Char('0')); }

} // namespace

void TransferCollector::leftOut(const LinkPacket& p)
{
    // The decoder of a transfer checks the packets it gets; one that no
    // transfer keeps (a damaged stage or part byte puts it out of place)
    // would have its wrong checksum go unreported.
    if (!p.checksumOk())
        problems_.push_back({ProblemKind::Checksum, p.index, p.number,
                             p.offset + std::max<qsizetype>(0, p.bytes.size() - 2), hex4(p.checksum_computed),
                             hex4(p.checksum_wire), {}});
}

void TransferCollector::add(const LinkPacket& p)
{
    switch (p.command) {
    case 'A':
        place(scheme_, ReceivedTransfer::Kind::Scheme, p, 0, true, false);
        break;
    case 'B':
        if (p.number >= 1 && p.number <= 9)
            place(scheme_, ReceivedTransfer::Kind::Scheme, p, p.number, false, p.number == 9);
        else
            leftOut(p);
        break;
    case 'C':
    case 'D':
        if (p.number >= 0 && p.number <= 7) {
            const int position = 2 * p.number + (p.command == 'D' ? 1 : 0);
            place(page_, ReceivedTransfer::Kind::Page, p, position, position == 0, position == 15);
        } else {
            leftOut(p);
        }
        break;
    default:
        break;
    }
}

void TransferCollector::place(Open& open, ReceivedTransfer::Kind kind, const LinkPacket& p, int position,
                              bool starts, bool ends)
{
    if (open.active && position <= open.last) {
        // The sender went back: a retry, or a new write over an unfinished one.
        problems_.push_back({ProblemKind::Restarted, p.index, p.number, p.offset,
                             positionName(kind, open.last + 1), p.name(), {}});
        auto& v = open.packets;
        const auto dropped = std::stable_partition(v.begin(), v.end(), [&](const LinkPacket& q) {
            const int at = kind == ReceivedTransfer::Kind::Scheme ? (q.command == 'A' ? 0 : q.number)
                                                                  : 2 * q.number + (q.command == 'D' ? 1 : 0);
            return !starts && at < position;
        });
        for (auto q = dropped; q != v.end(); ++q)
            leftOut(*q);
        v.erase(dropped, v.end());
    }
    open.active = true;
    open.packets.push_back(p);
    open.last = position;
    if (ends)
        close(open, kind);
}

void TransferCollector::close(Open& open, ReceivedTransfer::Kind kind)
{
    if (open.active && !open.packets.empty())
        done_.push_back({kind, std::move(open.packets)});
    open = Open{};
}

void TransferCollector::finish()
{
    close(scheme_, ReceivedTransfer::Kind::Scheme);
    close(page_, ReceivedTransfer::Kind::Page);
}

std::vector<ReceivedTransfer> TransferCollector::take()
{
    std::vector<ReceivedTransfer> out;
    out.swap(done_);
    return out;
}

std::vector<DecodeProblem> TransferCollector::takeProblems()
{
    std::vector<DecodeProblem> out;
    out.swap(problems_);
    return out;
}

LinkReceiver::LinkReceiver(ReceiverOptions options)
    : options_(std::move(options))
    , stream_(tableLayoutForVersion(options_.version))
{
}

void LinkReceiver::feed(const QByteArray& bytes)
{
    stream_.feed(bytes);
    pump();
}

void LinkReceiver::idle()
{
    stream_.idle();
    pump();
}

void LinkReceiver::finish()
{
    stream_.finish();
    pump();
    collector_.finish();
    for (const ReceivedTransfer& t : collector_.take())
        decode(t);
}

void LinkReceiver::pump()
{
    for (StreamEvent& e : stream_.take()) {
        if (e.has_packet && options_.controller != 0 && e.packet.controller != options_.controller) {
            e.ignored = true;
        } else if (e.has_packet) {
            collector_.add(e.packet);
            for (DecodeProblem& p : collector_.takeProblems())
                e.problems.push_back(std::move(p));
        }
        out_.events.push_back(std::move(e));
        for (const ReceivedTransfer& t : collector_.take())
            decode(t);
    }
}

void LinkReceiver::decode(const ReceivedTransfer& t)
{
    if (t.kind == ReceivedTransfer::Kind::Scheme) {
        SchemeDecodeOptions o;
        o.version = options_.version;
        o.call_flags = options_.call_flags ? &*options_.call_flags : nullptr;
        out_.schemes.push_back(decodeScheme(t.packets, o));
    } else {
        PageDecodeOptions o;
        o.layout = tableLayoutForVersion(options_.version);
        out_.pages.push_back(decodePage(t.packets, o));
    }
}

LinkReceiver::Output LinkReceiver::take()
{
    Output out;
    std::swap(out, out_);
    return out;
}

} // namespace ostrel
