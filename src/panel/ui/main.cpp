// ostrel-panel: the virtual controller. Listens where a controller would
// (TCP, a serial device) or reads recorded streams, decodes every scheme and
// page write, shows the display as the controller would and logs every
// packet. Exit status: 0 every write decoded without error, 1 a write had
// problems (each on standard error), a file could not be written, the serial
// device went away or --count was not reached, 2 bad arguments, a port that
// cannot be opened or unreadable input.
#include "display/block_values.h"
#include "panel/listeners.h"
#include "panel/panel_options.h"
#include "panel/panel_session.h"
#include "panel/port_range.h"
#include "panel/ui/panel_window.h"
#include "platform/checked_file.h"
#include "platform/qt_messages.h"
#include "project/project_reader.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <memory>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>
#endif

using namespace ostrel;

namespace {

void printLine(FILE* to, const QString& line)
{
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
    std::fflush(to);
}

int fail(const QString& line)
{
    printLine(stderr, QStringLiteral("ostrel-panel: ") + line);
    return 2;
}

#ifdef Q_OS_LINUX
// SIGINT and SIGTERM are taken from a descriptor in the event loop instead of
// ending the program at once, so that the log and the files are written.
// They are blocked before any thread starts; the descriptor takes them later.
sigset_t quitSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

void holdQuitSignals()
{
    const sigset_t set = quitSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void quitOnSignals(QCoreApplication& app)
{
    const sigset_t set = quitSignals();
    const int fd = signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
    if (fd < 0) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [fd, &app] {
        signalfd_siginfo info;
        while (::read(fd, &info, sizeof info) == ssize_t(sizeof info)) {
        }
        app.quit();
    });
}
#endif

bool haveDisplay()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    PanelOptions o;
    QString error;
    if (!parsePanelOptions(args, o, error)) {
        fail(error);
        std::fputs(qPrintable(panelUsage()), stderr);
        return 2;
    }
    if (o.info != InfoRequest::None)
        return answerInfoRequest(o.info, QStringLiteral("ostrel-panel"), panelUsage());
    if (!o.headless && !haveDisplay())
        return fail(QStringLiteral("no display to show the panel on; run with --headless"));
    // Fonts and images need a GUI application even without a window.
    if (o.headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_LINUX
    holdQuitSignals();
#endif
    // Standard error carries the panel's own lines only.
    dropQtMessages();
    std::unique_ptr<QGuiApplication> app;
    if (o.headless)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);

    BlockValues values;
    if (!o.values_file.isEmpty() && !loadBlockValues(o.values_file, values, error))
        return fail(error);

    SessionOptions so;
    so.controller = o.controller;
    so.count = o.count;
    if (!o.project_file.isEmpty()) {
        // The workspace holds large fixed tables: keep it off the stack.
        auto ws = std::make_unique<Workspace>();
        if (!loadProjectForCli(*ws, o.project_file, &error))
            return fail(error.isEmpty() ? QStringLiteral("cannot open ") + o.project_file : error);
        so.version = ws->version_code;
        so.call_flags = ws->alg.call_flags;
    }
    if (o.portRange()) {
        // Every port a controller of its own; the folders come with the ports.
        so.out_dir = o.out_dir;
        PortRange range(so, o.tcp_port, o.tcp_last);
        if (!range.listen(error))
            return fail(error);
        QObject::connect(&range, &PortRange::writeFinished, [](const QString& line) { printLine(stdout, line); });
        QObject::connect(&range, &PortRange::problemFound, [](const QString& line) { printLine(stderr, line); });
        QObject::connect(&range, &PortRange::allDone, app.get(),
                         [&app] { QTimer::singleShot(0, app.get(), &QCoreApplication::quit); });
        printLine(stdout, QStringLiteral("listening on TCP ports %1-%2").arg(o.tcp_port).arg(o.tcp_last));
#ifdef Q_OS_LINUX
        quitOnSignals(*app);
#endif
        app->exec();
        return range.finish(o.count, [](const QString& line) { printLine(stderr, line); });
    }
    if (!o.out_dir.isEmpty()) {
        if (!QDir().mkpath(o.out_dir) || !QFileInfo(o.out_dir).isWritable())
            return fail(QStringLiteral("cannot write into ") + o.out_dir);
        // A device, a FIFO or a folder where a file of the panel goes would
        // be replaced by a file: refused before anything is received.
        for (const QString& name : PanelSession::outputFileNames())
            if (existsNotRegular(QDir(o.out_dir).filePath(name)))
                return fail(QStringLiteral("cannot write %1: not a regular file").arg(QDir(o.out_dir).filePath(name)));
        so.out_dir = o.out_dir;
    }
    for (const QString& f : o.dump_files)
        if (!QFileInfo(f).isFile() || !QFileInfo(f).isReadable())
            return fail(QStringLiteral("cannot read ") + f);

    PanelSession session(so);
    QObject::connect(&session, &PanelSession::problemFound, [](const QString& line) { printLine(stderr, line); });
    QObject::connect(&session, &PanelSession::writeFinished, [](const QString& line) { printLine(stdout, line); });
    QObject::connect(&session, &PanelSession::countReached, app.get(),
                     [&app] { QTimer::singleShot(0, app.get(), &QCoreApplication::quit); });

    QStringList sources;
    bool inputLost = false;
    std::unique_ptr<TcpListener> tcp;
    std::unique_ptr<SerialListener> serial;
    if (o.tcp_port >= 0) {
        tcp = std::make_unique<TcpListener>(session);
        if (!tcp->listen(quint16(o.tcp_port)))
            return fail(tcp->errorString());
        printLine(stdout, QStringLiteral("listening on TCP port %1").arg(tcp->port()));
        sources << QStringLiteral("TCP порт %1").arg(tcp->port());
    }
    if (!o.serial_device.isEmpty()) {
        serial = std::make_unique<SerialListener>(session);
        if (!serial->open(o.serial_device))
            return fail(serial->errorString());
        // A device that went away (an unplugged adapter) ends a panel that has nothing else to listen to.
        QObject::connect(serial.get(), &SerialListener::lost, app.get(), [&](const QString& why) {
            printLine(stderr, QStringLiteral("error: ") + why);
            inputLost = true;
            if (!tcp && o.headless)
                QTimer::singleShot(0, app.get(), &QCoreApplication::quit);
        });
        printLine(stdout, QStringLiteral("reading %1").arg(o.serial_device));
        sources << o.serial_device;
    }
    for (const QString& f : o.dump_files) {
        if (session.done())
            break;
        if (!readDumpFile(session, f, error))
            return fail(error);
        sources << QFileInfo(f).fileName();
    }

    const bool waitForMore = !session.done() && (o.listens() || !o.headless);
    std::unique_ptr<PanelWindow> window;
    if (waitForMore) {
#ifdef Q_OS_LINUX
        quitOnSignals(*app);
#endif
        if (!o.headless) {
            window = std::make_unique<PanelWindow>(session, values, sources.join(QStringLiteral(", ")));
            window->show();
        }
        app->exec();
    }
    if (tcp)
        tcp->drain();
    if (serial)
        serial->drain();
    session.closeAll();
    session.writeLog();
    int status = inputLost ? 1 : session.exitStatus();
    if (o.count > 0 && session.writes() < o.count) {
        printLine(stderr, QStringLiteral("error: %1 of %2 writes received").arg(session.writes()).arg(o.count));
        status = 1;
    }
    return status;
}
