#pragma once
// Saving the project file: sections 1..26 in order, code page 1251, CR LF
// line ends, every slot of every table; then the netlist, the page
// background pictures and the controls' own pictures are copied next to it.
#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace ostrel {

struct Workspace;
class Interaction;
struct SaveFault;

inline const QString kProjectFilter = QStringLiteral("project file|*.prt");
inline const QString kFileLockedMessage = QStringLiteral("Файл заблокирован!!!");
// Shown (error icon) with one line per file when a companion copy fails.
inline const QString kCopyFailedMessage = QStringLiteral("Ошибка копирования файла!!!");

struct ProjectWriteOptions {
    // Decides the decimal separator of parameter lines.
    QLocale locale = QLocale::system();
    // Copy the netlist, the background and the control pictures into the
    // project's folder.
    bool copyCompanions = true;
    // Tests: makes the writes fail as on a full disk.
    const SaveFault* fault = nullptr;
};

struct ProjectWriteResult {
    bool written = false;      // the project file is in place
    QString error;             // why it is not (file and cause)
    QStringList failedCopies; // companions that could not be copied (file and cause)

    operator bool() const { return written; }
};

// The file's bytes. Like a save, it first re-applies the version's catalog
// counts and shortens the control picture names in the model.
QByteArray projectFileBytes(Workspace& ws, const QLocale& locale = QLocale::system());

// Writes the project file through a checked save, so a failed save (a full
// disk included) leaves the previous file intact; on failure shows
// "Файл заблокирован!!!" (error icon). Then copies the companions the same
// way; a failing copy leaves that file as it was and is reported with one
// message, while the project file stays written.
ProjectWriteResult writeProject(Workspace& ws, const QString& path, Interaction& ui,
                                const ProjectWriteOptions& options = {});

} // namespace ostrel
