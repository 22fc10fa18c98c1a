#pragma once
// Real write failures for tests: a file size limit on this process (writes
// beyond it fail with EFBIG, also when they only happen at a flush), and a
// small tmpfs filled up to a few kilobytes (needs the right to mount; tests
// skip that case otherwise).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace ostrel::testing {

// While alive, no file of this process can grow beyond `bytes`.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failing write, not a killed process
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (active_)
            setrlimit(RLIMIT_FSIZE, &saved_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    bool active_ = false;
};

// A 64 KB tmpfs with only `freeBytes` left (rounded to pages by the kernel).
class FullTmpfs {
public:
    explicit FullTmpfs(qint64 freeBytes = 4096)
    {
        if (!dir_.isValid() || QStandardPaths::findExecutable(QStringLiteral("mount")).isEmpty())
            return;
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                         QStringLiteral("-o"), QStringLiteral("size=64k"),
                                                         QStringLiteral("tmpfs"), dir_.path()})
            != 0)
            return;
        mounted_ = true;
        QFile filler(path(QStringLiteral(".filler")));
        if (filler.open(QIODevice::WriteOnly)) {
            filler.write(QByteArray(64 * 1024 - freeBytes, '\0'));
            filler.close();
        }
    }
    ~FullTmpfs()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace ostrel::testing
