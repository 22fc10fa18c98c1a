#include "panel/packet_log.h"

namespace ostrel {

int PacketLog::append(PacketLogEntry entry)
{
    entries_.push_back(std::move(entry));
    return int(entries_.size()) - 1;
}

void PacketLog::addProblem(int row, const QString& line, bool error)
{
    if (row < 0 || row >= size())
        return;
    PacketLogEntry& e = entries_[size_t(row)];
    e.problems << line;
    e.error = e.error || error;
}

QString logTime(const PacketLogEntry& e)
{
    return e.timed ? e.at.toString(QStringLiteral("HH:mm:ss.zzz")) : QStringLiteral("-");
}

QString logGap(const PacketLogEntry& e)
{
    return e.timed && e.gap_ms >= 0 ? QString::number(e.gap_ms, 'f', 1) : QStringLiteral("-");
}

QString PacketLog::header()
{
    return QStringLiteral("time\tgap_ms\tchannel\tindex\toffset\tpacket\tcontroller\tlength\tcheck\tproblems");
}

QString PacketLog::line(const PacketLogEntry& e)
{
    QString check = e.check;
    if (e.ignored)
        check += QStringLiteral(", ignored: another controller");
    return QStringList{logTime(e),
                       logGap(e),
                       e.channel,
                       e.index >= 0 ? QString::number(e.index) : QStringLiteral("-"),
                       QString::number(e.offset),
                       e.packet,
                       QString::number(e.controller),
                       QString::number(e.length),
                       check,
                       e.problems.join(QStringLiteral("; "))}
        .join(QLatin1Char('\t'));
}

QString PacketLog::text() const
{
    QString out = header() + QLatin1Char('\n');
    for (const PacketLogEntry& e : entries_)
        out += line(e) + QLatin1Char('\n');
    return out;
}

} // namespace ostrel
