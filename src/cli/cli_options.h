#pragma once
// The one loop over a command's arguments, and the options every command
// that writes into a controller shares: where the write goes and which
// controller it addresses.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace ostrel::cli {

// Takes an option's value (a flag gets an empty one) or a positional
// argument: the error line, or an empty string when it was accepted.
using TakeArgument = std::function<QString(const QString& argument)>;

struct Option {
    QLatin1StringView name; // "--page"
    TakeArgument take;
    bool flag = false;      // takes no value
    // A value option as the last argument: this line (null: "NAME needs a
    // value"), unless the option is then read as a positional argument.
    QString missing = {};
    bool missingIsPositional = false;
};

// What an argument that starts with "--" and names no option is: an error
// "unexpected argument: X" (Strict), or a positional argument (Lenient).
enum class UnknownOptions { Strict, Lenient };

// Reads `args` left to right: an option takes the argument after it as its
// value, every other argument goes to `positional`. The first error line
// ends the reading and is returned; an empty string when every argument was
// accepted.
QString readArguments(const QStringList& args, const std::vector<Option>& options, const TakeArgument& positional,
                      UnknownOptions unknown = UnknownOptions::Strict);

// A positional argument for a command that reads one input: the first goes
// to `input`, any other is "unexpected argument: X".
TakeArgument singleInput(QString& input);

// The link options of write-scheme and write-pages.
struct LinkOptions {
    QString tcpHost;        // --tcp HOST:PORT
    quint16 tcpPort = 0;
    QString serialDevice;   // --serial DEVICE
    QString dumpFile;       // --dump FILE
    int targets = 0;        // how many of --tcp, --serial and --dump were given
    std::optional<int> controller; // --controller 1..8

    bool oneTarget() const { return targets == 1; }
};

// --tcp, --serial, --dump and --controller, filling `link`; a command adds
// its own options to the list.
std::vector<Option> linkOptions(LinkOptions& link);

} // namespace ostrel::cli
