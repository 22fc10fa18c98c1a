#pragma once
// Subcommands of ostrel-cli. Each takes the arguments after its name, writes
// its result to standard output and returns the exit status.
#include <QStringList>
#include <functional>

class QImage;

namespace ostrel {
struct Workspace;
struct Message;
struct ProjectReadResult;
class Interaction;
}

namespace ostrel::cli {

int runScheme(const QStringList& args);       // scheme FILE.net [--version 5|3|0|1]
int runAlgorithm(const QStringList& args);    // algorithm SCHEME.net DRAWING.net [--block N]
int runWriteScheme(const QStringList& args);  // write-scheme IN (--tcp H:P | --serial DEV | --dump FILE) ...
int runResave(const QStringList& args);       // resave IN.prt OUT.prt
int runWritePages(const QStringList& args);   // write-pages PROJECT.prt (--page N | --all) (--tcp | --serial | --dump) ...
int runRenderPage(const QStringList& args);   // render-page PROJECT.prt --page N --png OUT.png [--quantised | --panel ..]
int runCheck(const QStringList& args);        // check PROJECT.prt [--json]
int runDiff(const QStringList& args);         // diff A.prt (B.prt | --journal) [--json]
int runWritePlant(const QStringList& args);   // write-plant PLANT.json [--jobs N] [--report FILE.json] ..

// Shared helpers.
void printError(const QString& line);         // one line on standard error
void printJson(const QByteArray& json);       // standard output, newline added
// A message of the program on standard error: "title: text", or the text;
// a warning (warning icon) with "warning: " in front.
void printMessage(const Message& m);
// A message of a command that writes into a controller: a link error
// ("Ошибка порта!!!", "Ошибка СОМ порта!") carries the link's address and
// cause on the same line ("Ошибка порта!!! 127.0.0.1:5029: connection
// refused"), from `linkDetail` once the link exists.
void printLinkMessage(const Message& m, const std::function<QString()>& linkDetail);
// Every input file is checked before anything reads it: it must be a regular
// file (a FIFO would block the reader, a device may never end). false with
// the one line to print (exit status 2).
bool checkInputFile(const QString& path, QString& error);
// Opens a project for a command: the file is checked first, the netlist
// import's messages go to `ui` and a comment section cut short gives a
// warning line. false with a one-line reason when the file cannot be read or
// is not a project file; the caller decides about a missing netlist and an
// import that ended with an error.
bool openProjectInput(Workspace& ws, const QString& path, Interaction& ui, ProjectReadResult& result,
                      QString& error);
// An output path that exists and is not a regular file (a device, a FIFO, a
// folder) is refused before anything is done: false with the one line to
// print (exit status 2).
bool checkOutputFile(const QString& path, QString& error);
// Writes `bytes` (or `image` as PNG) through the checked save; an empty
// string, or the line to print ("cannot write FILE: cause"), with an
// existing file left as it was.
QString saveBytes(const QString& path, const QByteArray& bytes);
QString savePng(const QString& path, const QImage& image);
// Opens a project for its pages; the scheme's netlist is not needed (a
// missing one, or one whose import ended with an error, gives a warning
// line). false with a one-line reason.
bool loadPagesProject(Workspace& ws, const QString& path, QString& error);
// "--page N" with N the page number the user sees, 1..8; -1 when not.
int parsePageNumber(const QString& text);

} // namespace ostrel::cli
