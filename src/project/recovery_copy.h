#pragma once
// Copies of unsaved work that survive a crash or a killed process. While a
// project has unsaved changes the program writes a whole project file into
// its own folder of the user's application data (never over the user's
// file), with a note of the project file it belongs to and the folder its
// netlist and pictures are in. Each run holds a lock file beside its copy,
// so the next start can tell a copy left behind (its run is gone) from the
// copy of a program still running.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

class QLockFile;

namespace ostrel {

struct RecoveryCopy {
    QString file;         // the copy's project file
    QString projectPath;  // the project file it was made of; empty for a project never saved
    QString folder;       // where its netlist and pictures are looked for
    QString name;         // the name the question shows
    QDateTime saved;      // when the copy was written

    // "Найдена несохранённая копия проекта NAME от ДАТА ВРЕМЯ. Восстановить?"
    QString question() const;
};

class RecoveryStore {
public:
    // `dir` is the folder of the copies (created when needed).
    explicit RecoveryStore(QString dir);
    ~RecoveryStore();

    const QString& dir() const { return dir_; }

    // Writes this run's copy through a checked save; an empty string on
    // success, else one line naming the file and the cause.
    QString write(const QByteArray& projectBytes, const RecoveryCopy& note);
    // Deletes this run's copy (a normal save, or the user's "Нет").
    void remove();
    bool hasCopy() const;

    // Copies whose run has ended without removing them, newest first.
    QList<RecoveryCopy> leftBehind() const;
    // Deletes a copy left behind, with its note and lock.
    static void discard(const RecoveryCopy& copy);

private:
    QString base() const;

    QString dir_;
    QString id_;
    std::unique_ptr<QLockFile> lock_;
};

} // namespace ostrel
