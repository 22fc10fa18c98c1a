#pragma once
// Saving a file so that a failure is never taken for success: the bytes go
// through a QSaveFile, which is flushed and checked before commit() (a
// buffered write that failed on a full disk is otherwise committed as a
// truncated file). On any failure the previous file stays as it was.
#include <QByteArrayView>
#include <QString>

namespace ostrel {

// A failure injected into checked saves, for tests: the file system "fills
// up" once `failAfterBytes` bytes of a file have been written. Only files
// named `fileName` fail when it is set.
struct SaveFault {
    qint64 failAfterBytes = -1; // below 0: no fault
    QString fileName;

    bool appliesTo(const QString& path) const;
};

// An existing path that is not a regular file (a device, a FIFO, a folder):
// a save there would replace it with a file, so checked saves refuse it.
bool existsNotRegular(const QString& path);

// Writes `bytes` to `path`. Returns an empty string on success, otherwise
// one line naming the file and the cause ("No space left on device"). A
// `path` that exists and is not a regular file (a device, a FIFO, a folder)
// is left alone: "PATH: not a regular file".
QString saveFileChecked(const QString& path, QByteArrayView bytes, const SaveFault* fault = nullptr);

// Copies `source` to `dest` the same way (a `dest` that is not a regular
// file is refused as above). A `dest` that is `source` itself
// is left alone (success). A missing or unreadable source is an error.
QString copyFileChecked(const QString& source, const QString& dest, const SaveFault* fault = nullptr);

} // namespace ostrel
