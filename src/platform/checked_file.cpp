#include "platform/checked_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ostrel {

bool SaveFault::appliesTo(const QString& path) const
{
    return failAfterBytes >= 0 && (fileName.isEmpty() || QFileInfo(path).fileName() == fileName);
}

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString failure(const QString& path, const QString& cause)
{
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + cause;
}

// The cause of a failed write: Qt's own text, or, where Qt lost it (a write
// that got only part of its bytes out, a failed flush of the buffer, both
// "Unknown error"), the system's reason from errno.
QString writeCause(const QFileDevice& file, int code)
{
    const QString qt = file.errorString();
    if (file.error() != QFileDevice::NoError && !qt.isEmpty() && qt != QLatin1String("Unknown error"))
        return qt;
    return code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : QString();
}

const QString kNotRegular = QStringLiteral("not a regular file");

// Appends bytes to an open save file, honouring an injected fault.
class CheckedWriter {
public:
    CheckedWriter(QSaveFile& out, const SaveFault* fault)
        : out_(out), limit_(fault && fault->appliesTo(out.fileName()) ? fault->failAfterBytes : -1)
    {
    }

    // false once a write failed; the cause is in error().
    bool write(const char* data, qint64 size)
    {
        qint64 allowed = size;
        if (limit_ >= 0)
            allowed = std::min(size, std::max<qint64>(0, limit_ - written_));
        errno = 0;
        if (allowed > 0 && out_.write(data, allowed) != allowed)
            return fail(writeCause(out_, errno));
        written_ += allowed;
        if (allowed < size)
            return fail(QStringLiteral("No space left on device"));
        return true;
    }

    // Pushes the buffered bytes to the file: a full disk shows up here for a
    // file smaller than the write buffer.
    bool finish()
    {
        errno = 0;
        if (!out_.flush() || out_.error() != QFileDevice::NoError)
            return fail(writeCause(out_, errno));
        errno = 0;
        if (!out_.commit())
            return fail(writeCause(out_, errno));
        return true;
    }

    const QString& error() const { return error_; }

private:
    bool fail(const QString& cause)
    {
        if (error_.isEmpty())
            error_ = cause.isEmpty() ? QStringLiteral("write error") : cause;
        out_.cancelWriting();
        return false;
    }

    QSaveFile& out_;
    qint64 limit_;
    qint64 written_ = 0;
    QString error_;
};

} // namespace

bool existsNotRegular(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile();
}

QString saveFileChecked(const QString& path, QByteArrayView bytes, const SaveFault* fault)
{
    if (existsNotRegular(path))
        return failure(path, kNotRegular);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return failure(path, out.errorString());
    CheckedWriter w(out, fault);
    for (qint64 at = 0; at < bytes.size(); at += kChunk)
        if (!w.write(bytes.data() + at, std::min(kChunk, bytes.size() - at)))
            return failure(path, w.error());
    if (!w.finish())
        return failure(path, w.error());
    return {};
}

QString copyFileChecked(const QString& source, const QString& dest, const SaveFault* fault)
{
    const QFileInfo si(source);
    if (!si.isFile())
        return failure(source, QStringLiteral("No such file"));
    const QFileInfo di(dest);
    if (di.exists() && si.canonicalFilePath() == di.canonicalFilePath())
        return {};
    if (existsNotRegular(dest))
        return failure(dest, kNotRegular);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failure(source, in.errorString());
    QSaveFile out(dest);
    if (!out.open(QIODevice::WriteOnly))
        return failure(dest, out.errorString());
    CheckedWriter w(out, fault);
    QByteArray buf(kChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buf.data(), kChunk);
        if (n < 0) {
            out.cancelWriting();
            return failure(source, in.errorString());
        }
        if (n == 0)
            break;
        if (!w.write(buf.constData(), n))
            return failure(dest, w.error());
    }
    if (!w.finish())
        return failure(dest, w.error());
    return {};
}

} // namespace ostrel
