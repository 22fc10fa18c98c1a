// Checked file output of the command-line tool.
#include "cli/commands.h"
#include <QImage>
#include <QSaveFile>
#include <functional>

namespace ostrel::cli {

namespace {

bool saveChecked(const QString& path, const std::function<bool(QSaveFile&)>& write)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // A failed buffered write is only seen by flush(); commit() alone would
    // still replace the old file.
    if (!write(out) || !out.flush() || out.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

bool saveBytes(const QString& path, const QByteArray& bytes)
{
    return saveChecked(path, [&bytes](QSaveFile& f) { return f.write(bytes) == bytes.size(); });
}

bool savePng(const QString& path, const QImage& image)
{
    return saveChecked(path, [&image](QSaveFile& f) { return image.save(&f, "PNG"); });
}

int parsePageNumber(const QString& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 && n <= 8 ? n : -1;
}

} // namespace ostrel::cli
