#pragma once
// The panel's log of everything that arrived: one entry per packet (or per
// run of bytes that fit no packet) with its arrival time, the gap since the
// previous packet, its name and length, the result of its checks and the
// problems found on it, so that a pacing problem or a damaged packet shows.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

namespace ostrel {

struct PacketLogEntry {
    QString channel;       // where it came from: "TCP 127.0.0.1:40312", "serial /dev/pts/3", a dump file
    bool timed = false;    // arrived on a live link (a dump has no times)
    QDateTime at;          // arrival of the first byte
    double gap_ms = -1;    // since the previous packet's first byte; -1 for the first or untimed
    int index = -1;        // packet number in its channel's stream, -1 between packets
    qint64 offset = 0;     // stream offset of the first byte
    QString packet;        // "A", "B3", "C0", "D7"; "-" between packets
    int controller = 0;
    qint64 length = 0;     // bytes on the wire
    QString check;         // "CRC ok", "CRC 0x1234, expected 0x4321", "no CRC", "skipped"
    bool ignored = false;  // for another controller
    bool error = false;    // at least one problem is an error
    QStringList problems;  // one line each, "error: ..." or "warning: ..."
};

class PacketLog {
public:
    int size() const { return int(entries_.size()); }
    const PacketLogEntry& at(int row) const { return entries_[size_t(row)]; }
    int append(PacketLogEntry entry);
    // A problem found later (by the decoder of the whole write) added to a row.
    void addProblem(int row, const QString& line, bool error);

    // The column titles and the fields of a row as log.txt has them.
    static QString header();
    static QString line(const PacketLogEntry& e);
    // The whole log: the header and one line per entry.
    QString text() const;

private:
    std::vector<PacketLogEntry> entries_;
};

// Time stamp of a log entry: "hh:mm:ss.zzz", "-" when untimed.
QString logTime(const PacketLogEntry& e);
// Gap of a log entry in ms with one decimal, "-" when there is none.
QString logGap(const PacketLogEntry& e);

} // namespace ostrel
