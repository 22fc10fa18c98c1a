#pragma once
// Subcommands of ostrel-cli. Each takes the arguments after its name, writes
// its result to standard output and returns the exit status.
#include <QStringList>

namespace ostrel::cli {

int runScheme(const QStringList& args);       // scheme FILE.net [--version 5|3|0|1]
int runAlgorithm(const QStringList& args);    // algorithm SCHEME.net DRAWING.net [--block N]
int runWriteScheme(const QStringList& args);  // write-scheme IN (--tcp H:P | --serial DEV | --dump FILE) ...
int runResave(const QStringList& args);       // resave IN.prt OUT.prt

// Shared helpers.
void printError(const QString& line);         // one line on standard error
void printJson(const QByteArray& json);       // standard output, newline added

} // namespace ostrel::cli
