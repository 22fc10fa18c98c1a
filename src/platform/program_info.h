#pragma once
// --help and --version of ostrel-configurator, ostrel-cli and ostrel-panel.
// They are answered before any Qt application object exists, so that they
// work on a machine without a display.
#include <QString>

namespace ostrel {

// The programs' version, set once in CMake (the project's VERSION).
QString programVersion();

enum class InfoRequest { None, Help, Version };

// "--help" or "-h" asks for the usage, "--version" for the version.
InfoRequest infoRequest(const QString& argument);

// Prints the usage, or "PROGRAM VERSION", on standard output and returns the
// exit status (0; 1 when standard output cannot be written).
int answerInfoRequest(InfoRequest request, const QString& program, const QString& usage);

} // namespace ostrel
