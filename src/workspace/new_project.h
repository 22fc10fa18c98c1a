#pragma once
// Starting a project from a netlist file: the one path that the settings
// dialog ("Загрузить", then "Ok"), the main window ("&Открыть Netlist P-CAD")
// and every command-line command take.
#include "scheme/netlist_import.h"
#include <QString>

namespace ostrel {

struct Workspace;
class Interaction;

// Reads the netlist at `path` and imports it into the block table; the file
// becomes the project's netlist path. false when the file cannot be read:
// then nothing has changed.
bool importProjectNetlist(Workspace& ws, const QString& path, Interaction& ui, ImportResult* result = nullptr);

// What "Ok" does to the blocks of a new project: the RS485 texts and the step
// programs of algorithm blocks go back to their defaults.
void resetForNewProject(Workspace& ws);

// A new project from the netlist at `path`, as "&Создать проект", "Загрузить"
// and "Ok" make it, without windows. false when the file cannot be read
// (nothing changed).
bool newProjectFromNetlist(Workspace& ws, const QString& path, Interaction& ui, ImportResult* result = nullptr);

// The message for a netlist file that cannot be opened.
QString netlistOpenError(const QString& path);

} // namespace ostrel
