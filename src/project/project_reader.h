#pragma once
// Opening a project file. The file is first read completely into a staging
// copy, counting lines exactly as the writer produces them; only a file that
// reads to the end of its names section replaces the open project. Then the
// netlist the file names is re-imported and the stored parameter values and
// texts are put back onto every block that still has the same type.
//
// The main window does the rest with the result: dialogs, menus, title, the
// TCP connect, tab captions, background pictures, the canvas refresh and its
// own state (page 1 becomes the current page; the settings dialog counts as
// opened for a new project).
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace ostrel {

struct Workspace;
class Interaction;

// The reason given for a project file saved as UTF-8 (by a text editor).
inline const QString kProjectEncodingError =
    QStringLiteral("Ошибка кодировки!!! Файл проекта сохранён в UTF-8, а не в кодировке Windows-1251");

enum class ProjectReadStatus {
    Ok,             // project read and netlist imported
    NetlistMissing, // project read; the netlist it names could not be opened
    // Project read; the netlist import stopped at an error. As for a missing
    // netlist, the scheme is laid out from the file alone (its block types,
    // parameters and names, no wiring), so that nothing it stores is lost.
    ImportFailed,
    CannotOpen,     // the file could not be opened; nothing changed
    Malformed,      // not a project file, or it ends early; nothing changed
};

struct ProjectReadResult {
    ProjectReadStatus status = ProjectReadStatus::CannotOpen;
    int versionLine = 0;        // leading number of line 1
    uint8_t versionCode = 5;    // version in force after reading
    bool connectTcp = false;    // link_port is 9: connect to ip_address:tcp_port
    // Captions of page tabs 0..7 ("Страница N" or the picture's base name).
    std::array<QString, 8> tabCaptions{};
    // Background picture to load for page p; empty when the page has none.
    std::array<QString, 8> backgroundFiles{};
    bool commentsComplete = true; // the comment section was read to its end
    // The netlist import showed an error message (it may have gone on).
    bool importError = false;
    int importedBlocks = 0; // block numbers the netlist's components typed
    QString netlistPath;          // where the netlist was looked for
    // Decimal separator of the first fractional parameter line ("." or ","),
    // empty when the file has none: lets a re-save keep the file's form.
    QString decimalPoint;
    QString error;                 // one line for Malformed / CannotOpen

    bool loaded() const
    {
        return status == ProjectReadStatus::Ok || status == ProjectReadStatus::NetlistMissing
            || status == ProjectReadStatus::ImportFailed;
    }
};

// Reads the project file at `path` into the workspace.
ProjectReadResult readProject(Workspace& ws, const QString& path, Interaction& ui);

// The same over bytes already in memory; `folder` is the project's folder,
// where the netlist and the background pictures are looked for.
ProjectReadResult readProjectBytes(Workspace& ws, const QByteArray& bytes, const QString& folder,
                                   Interaction& ui);

// For headless use: opens a project and its netlist without any window.
// false with a one-line reason when the file cannot be read, is not a
// project file, its netlist is missing or the netlist import showed an error
// message. The import's messages go to `ui` when one is given.
bool loadProjectForCli(Workspace& ws, const QString& path, QString* error, Interaction* ui = nullptr);

} // namespace ostrel
