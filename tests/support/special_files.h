#pragma once
// Paths that exist and are not regular files, for tests of outputs that must
// refuse them: a FIFO, a folder, a character device (the null device, made
// with mknod; that needs the right to, so a test skips the device otherwise).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace ostrel::testing {

// Makes a node of `kind` ("fifo", "folder", "device") at `path`.
inline bool makeSpecialFile(const QString& kind, const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("device"))
        return ::mknod(name.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    return false;
}

// The node is still what makeSpecialFile made (nothing replaced it).
inline bool isSpecialFile(const QString& kind, const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    if (kind == QLatin1String("fifo"))
        return S_ISFIFO(st.st_mode);
    if (kind == QLatin1String("folder"))
        return S_ISDIR(st.st_mode) && QDir(path).isEmpty();
    if (kind == QLatin1String("device"))
        return S_ISCHR(st.st_mode);
    return false;
}

} // namespace ostrel::testing
