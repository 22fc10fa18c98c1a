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

// Writes `bytes` to `path`. Returns an empty string on success, otherwise
// one line naming the file and the cause.
QString saveFileChecked(const QString& path, QByteArrayView bytes, const SaveFault* fault = nullptr);

// Copies `source` to `dest` the same way. A `dest` that is `source` itself
// is left alone (success). A missing or unreadable source is an error.
QString copyFileChecked(const QString& source, const QString& dest, const SaveFault* fault = nullptr);

} // namespace ostrel
