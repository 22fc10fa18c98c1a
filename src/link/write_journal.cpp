#include "link/write_journal.h"
#include "platform/checked_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

namespace ostrel {

QJsonObject JournalRecord::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("time"), time.toUTC().toString(Qt::ISODate));
    o.insert(QStringLiteral("link"), link);
    o.insert(QStringLiteral("controller"), controller);
    o.insert(QStringLiteral("part"), part);
    if (!isScheme())
        o.insert(QStringLiteral("page"), page);
    o.insert(QStringLiteral("sha256"), sha256);
    o.insert(QStringLiteral("content"), content);
    return o;
}

std::optional<JournalRecord> JournalRecord::fromJson(const QJsonObject& o)
{
    JournalRecord r;
    r.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate);
    r.link = o.value(QStringLiteral("link")).toString();
    r.controller = o.value(QStringLiteral("controller")).toInt();
    r.part = o.value(QStringLiteral("part")).toString();
    r.page = o.value(QStringLiteral("page")).toInt();
    r.sha256 = o.value(QStringLiteral("sha256")).toString();
    r.content = o.value(QStringLiteral("content")).toObject();
    const bool partOk = r.isScheme() || (r.part == kPagePart && r.page >= 1 && r.page <= 8);
    if (!r.time.isValid() || !partOk || r.sha256.size() != 64)
        return std::nullopt;
    return r;
}

QString journalPathFor(const QString& projectPath)
{
    const QFileInfo info(projectPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".journal"));
}

QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString recordWrite(const QString& journalPath, const JournalRecord& record)
{
    QByteArray bytes;
    QFile existing(journalPath);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return journalPath + QStringLiteral(": ") + existing.errorString();
        bytes = existing.readAll();
        existing.close();
        // A journal cut inside its last line keeps that line as it is; the
        // new record starts on a line of its own.
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes.append('\n');
    }
    bytes.append(QJsonDocument(record.toJson()).toJson(QJsonDocument::Compact));
    bytes.append('\n');
    return saveFileChecked(journalPath, bytes);
}

JournalContents readJournal(const QString& journalPath)
{
    JournalContents out;
    QFile f(journalPath);
    if (!f.exists())
        return out;
    out.exists = true;
    if (!f.open(QIODevice::ReadOnly)) {
        out.error = journalPath + QStringLiteral(": ") + f.errorString();
        return out;
    }
    const QByteArray bytes = f.readAll();
    int lineNumber = 0;
    for (const QByteArray& line : bytes.split('\n')) {
        ++lineNumber;
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        std::optional<JournalRecord> record;
        if (error.error == QJsonParseError::NoError && doc.isObject())
            record = JournalRecord::fromJson(doc.object());
        if (record)
            out.records.append(*record);
        else
            out.warnings.append(QStringLiteral("%1:%2: the line is not a journal record (cut short?); skipped")
                                    .arg(journalPath)
                                    .arg(lineNumber));
    }
    return out;
}

std::array<std::optional<JournalRecord>, 9> lastWrites(const JournalContents& journal, int controller)
{
    std::array<std::optional<JournalRecord>, 9> last;
    for (const JournalRecord& r : journal.records)
        if (r.controller == controller)
            last[r.isScheme() ? 0 : size_t(r.page)] = r;
    return last;
}

} // namespace ostrel
