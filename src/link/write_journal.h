#pragma once
// The journal of writes. The controller never answers, so the program keeps
// what it wrote: every part (the scheme, a page) that went out completely
// appends one JSON line to NAME.journal beside the project file, with the
// time, the link, the controller number, the part, the SHA-256 of exactly
// the bytes sent and the written content in a form the diff can compare.
// Appending goes through the checked save (the journal is read, the line
// added and the whole written back), so a failed save leaves the journal as
// it was. A line that cannot be read (a journal cut in its last line) is
// skipped with a warning; the lines before and after it are kept.
#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace ostrel {

struct JournalRecord {
    QDateTime time;        // when the write ended (UTC in the file)
    QString link;          // "COM1", "/dev/ttyUSB0", "127.0.0.1:5020"
    int controller = 1;    // 1..8
    QString part;          // "scheme" or "page"
    int page = 0;          // 1..8 for a page, 0 for the scheme
    QString sha256;        // hex, of the bytes sent
    QJsonObject content;   // what was written (the diff's snapshot)

    bool isScheme() const { return part == QLatin1String("scheme"); }
    // {"time", "link", "controller", "part", "page", "sha256", "content"}
    QJsonObject toJson() const;
    static std::optional<JournalRecord> fromJson(const QJsonObject& o);
};

inline const QString kSchemePart = QStringLiteral("scheme");
inline const QString kPagePart = QStringLiteral("page");

// NAME.journal beside NAME.prt.
QString journalPathFor(const QString& projectPath);

// SHA-256 of `bytes` in lower-case hex.
QString sha256Hex(const QByteArray& bytes);

// Appends `record` as one line. An empty string, or the line naming the
// file and the cause; the journal is then as it was.
QString recordWrite(const QString& journalPath, const JournalRecord& record);

struct JournalContents {
    bool exists = false;
    QList<JournalRecord> records;  // in the file's order
    QStringList warnings;          // lines that could not be read
    QString error;                 // the file exists but cannot be read
};
JournalContents readJournal(const QString& journalPath);

// The last record of each part written to controller `controller`: index 0
// the scheme, 1..8 the pages; nothing where no record exists.
std::array<std::optional<JournalRecord>, 9> lastWrites(const JournalContents& journal, int controller);

} // namespace ostrel
