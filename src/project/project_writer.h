#pragma once
// Saving the project file: sections 1..26 in order, code page 1251, CR LF
// line ends, every slot of every table; then the netlist and the page
// background pictures are copied next to it.
#include <QByteArray>
#include <QLocale>
#include <QString>

namespace ostrel {

struct Workspace;
class Interaction;

inline const QString kProjectFilter = QStringLiteral("project file|*.prt");
inline const QString kFileLockedMessage = QStringLiteral("Файл заблокирован!!!");

struct ProjectWriteOptions {
    // Decides the decimal separator of parameter lines.
    QLocale locale = QLocale::system();
    // Copy the netlist and the background pictures into the project's folder.
    bool copyCompanions = true;
};

// The file's bytes. Like a save, it first re-applies the version's catalog
// counts and shortens the control picture names in the model.
QByteArray projectFileBytes(Workspace& ws, const QLocale& locale = QLocale::system());

// Writes the project file through a save file, so a failed save leaves the
// previous file intact; on failure shows "Файл заблокирован!!!" (error icon)
// and returns false. Then copies the companions; a failing copy is skipped
// silently.
bool writeProject(Workspace& ws, const QString& path, Interaction& ui,
                  const ProjectWriteOptions& options = {});

} // namespace ostrel
