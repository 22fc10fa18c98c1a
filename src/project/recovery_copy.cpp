#include "project/recovery_copy.h"

#include "platform/checked_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>

#include <algorithm>

namespace ostrel {

namespace {

const QString kCopyPrefix = QStringLiteral("recovery-");

QString notePath(const QString& copyFile)
{
    return copyFile.left(copyFile.size() - 4) + QStringLiteral(".json");
}

QString lockPath(const QString& copyFile)
{
    return copyFile.left(copyFile.size() - 4) + QStringLiteral(".lock");
}

} // namespace

QString RecoveryCopy::question() const
{
    return QStringLiteral("Найдена несохранённая копия проекта %1 от %2. Восстановить?")
        .arg(name, saved.toString(QStringLiteral("dd.MM.yyyy hh:mm")));
}

RecoveryStore::RecoveryStore(QString dir) : dir_(std::move(dir))
{
    id_ = QString::number(QCoreApplication::applicationPid());
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::base() const
{
    return QDir(dir_).filePath(kCopyPrefix + id_);
}

QString RecoveryStore::write(const QByteArray& projectBytes, const RecoveryCopy& note)
{
    if (!QDir().mkpath(dir_))
        return QStringLiteral("%1: cannot create the folder").arg(dir_);
    const QString file = base() + QStringLiteral(".prt");
    if (!lock_) {
        // Held for the whole run: while it is held the copy is not left behind.
        lock_ = std::make_unique<QLockFile>(lockPath(file));
        lock_->setStaleLockTime(0);
        if (!lock_->tryLock(0)) {
            lock_.reset();
            return QStringLiteral("%1: cannot lock").arg(lockPath(file));
        }
    }
    QJsonObject o;
    o[QStringLiteral("project")] = note.projectPath;
    o[QStringLiteral("folder")] = note.folder;
    o[QStringLiteral("name")] = note.name;
    o[QStringLiteral("saved")] = note.saved.toString(Qt::ISODate);
    QString error = saveFileChecked(file, projectBytes);
    if (error.isEmpty())
        error = saveFileChecked(notePath(file), QJsonDocument(o).toJson());
    return error;
}

void RecoveryStore::remove()
{
    const QString file = base() + QStringLiteral(".prt");
    QFile::remove(file);
    QFile::remove(notePath(file));
    if (lock_) {
        lock_->unlock();
        lock_.reset();
    }
}

bool RecoveryStore::hasCopy() const
{
    return QFileInfo::exists(base() + QStringLiteral(".prt"));
}

QList<RecoveryCopy> RecoveryStore::leftBehind() const
{
    QList<RecoveryCopy> out;
    const QDir d(dir_);
    const QString own = base() + QStringLiteral(".prt");
    for (const QFileInfo& fi : d.entryInfoList({kCopyPrefix + QStringLiteral("*.prt")}, QDir::Files)) {
        const QString file = fi.absoluteFilePath();
        if (file == QFileInfo(own).absoluteFilePath())
            continue;
        // A lock that can be taken belongs to a run that is gone.
        QLockFile probe(lockPath(file));
        probe.setStaleLockTime(0);
        if (!probe.tryLock(0))
            continue;
        probe.unlock();
        QFile nf(notePath(file));
        if (!nf.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject o = QJsonDocument::fromJson(nf.readAll()).object();
        RecoveryCopy c;
        c.file = file;
        c.projectPath = o.value(QStringLiteral("project")).toString();
        c.folder = o.value(QStringLiteral("folder")).toString();
        c.name = o.value(QStringLiteral("name")).toString();
        c.saved = QDateTime::fromString(o.value(QStringLiteral("saved")).toString(), Qt::ISODate);
        if (!c.saved.isValid())
            c.saved = fi.lastModified();
        out << c;
    }
    std::sort(out.begin(), out.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.saved > b.saved; });
    return out;
}

void RecoveryStore::discard(const RecoveryCopy& copy)
{
    QFile::remove(copy.file);
    QFile::remove(notePath(copy.file));
    QFile::remove(lockPath(copy.file));
}

} // namespace ostrel
