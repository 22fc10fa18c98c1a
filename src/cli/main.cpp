// ostrel-cli: the configurator's core without windows.
#include "cli/commands.h"
#include "platform/program_info.h"
#include "platform/qt_messages.h"
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>

namespace ostrel::cli {

void printError(const QString& line)
{
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

void printJson(const QByteArray& json)
{
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace ostrel::cli

namespace {
const char* kUsage =
    "usage: ostrel-cli COMMAND ...\n"
    "       ostrel-cli --help | --version\n"
    "  scheme FILE.net [--version 5|3|0|1]\n"
    "  algorithm SCHEME.net DRAWING.net [--block N]\n"
    "  write-scheme (NETLIST.net|PROJECT.prt) (--tcp HOST:PORT | --serial DEVICE | --dump FILE)\n"
    "               [--controller N] [--version CODE] [--strict] [--no-journal]\n"
    "  resave IN.prt OUT.prt\n"
    "  write-pages PROJECT.prt (--page 1..8 | --all) (--tcp HOST:PORT | --serial DEVICE | --dump FILE)\n"
    "              [--controller N] [--strict] [--no-journal]\n"
    "  render-page PROJECT.prt --page 1..8 --png OUT.png [--quantised]\n"
    "              [--panel [--values FILE.json] [--clock YYYY-MM-DDTHH:MM]]\n"
    "  check PROJECT.prt [--json]\n"
    "  diff A.prt (B.prt | --journal) [--json]\n"
    "  write-plant PLANT.json [--jobs N] [--report FILE.json] [--force] [--no-journal]\n";
}

int main(int argc, char** argv)
{
    // --help and --version only in the command's place: "--version" after a
    // command is that command's controller version.
    if (argc > 1) {
        const ostrel::InfoRequest info = ostrel::infoRequest(QString::fromLocal8Bit(argv[1]));
        if (info != ostrel::InfoRequest::None)
            return ostrel::answerInfoRequest(info, QStringLiteral("ostrel-cli"), QString::fromLatin1(kUsage));
    }
    // Standard error carries the tool's own lines only.
    ostrel::dropQtMessages();
    // Page rendering needs QGuiApplication; run it on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString cmd = args.takeFirst();
    using namespace ostrel::cli;
    if (cmd == QLatin1String("scheme")) return runScheme(args);
    if (cmd == QLatin1String("algorithm")) return runAlgorithm(args);
    if (cmd == QLatin1String("write-scheme")) return runWriteScheme(args);
    if (cmd == QLatin1String("resave")) return runResave(args);
    if (cmd == QLatin1String("write-pages")) return runWritePages(args);
    if (cmd == QLatin1String("render-page")) return runRenderPage(args);
    if (cmd == QLatin1String("check")) return runCheck(args);
    if (cmd == QLatin1String("diff")) return runDiff(args);
    if (cmd == QLatin1String("write-plant")) return runWritePlant(args);
    std::fputs(kUsage, stderr);
    return 2;
}
