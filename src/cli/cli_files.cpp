// Checked file output of the command-line tool.
#include "cli/commands.h"
#include "platform/checked_file.h"
#include <QBuffer>
#include <QImage>

namespace ostrel::cli {

bool checkOutputFile(const QString& path, QString& error)
{
    if (!existsNotRegular(path))
        return true;
    error = QStringLiteral("cannot write %1: not a regular file").arg(path);
    return false;
}

QString saveBytes(const QString& path, const QByteArray& bytes)
{
    const QString error = saveFileChecked(path, bytes);
    return error.isEmpty() ? error : QStringLiteral("cannot write ") + error;
}

QString savePng(const QString& path, const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return QStringLiteral("cannot write %1: the image cannot be encoded as PNG").arg(path);
    return saveBytes(path, png);
}

int parsePageNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 && n <= 8 ? n : -1;
}

} // namespace ostrel::cli
