#pragma once
// The command line of ostrel-panel.
#include "platform/program_info.h"
#include <QString>
#include <QStringList>

namespace ostrel {

struct PanelOptions {
    int tcp_port = -1;        // --tcp PORT: listen on all interfaces; 0 = any free port; -1 = none
    int tcp_last = -1;        // --tcp FIRST-LAST: the last port of the range (tcp_port the first); -1 = one port
    QString serial_device;    // --serial DEVICE
    QStringList dump_files;   // --dump FILE (repeatable, or several files after it)
    QString out_dir;          // --out DIR
    int count = 0;            // --count N: exit after N complete writes; 0 = no limit
    QString values_file;      // --values FILE.json
    QString project_file;     // --project FILE.prt
    int controller = 0;       // --controller N: only packets for controller N; 0 = any
    bool headless = false;    // --headless: no window
    InfoRequest info = InfoRequest::None; // --help (-h) or --version: answered, nothing received

    bool listens() const { return tcp_port >= 0 || !serial_device.isEmpty(); }
    // --tcp FIRST-LAST: a plant on one machine, each port a controller of its own.
    bool portRange() const { return tcp_last >= 0; }
    static constexpr int kMaxPorts = 1000; // ports in one range
};

QString panelUsage();

// Parses the arguments after the program name; false with a one-line reason.
// At least one source (--tcp, --serial, --dump) is needed unless --help or --version.
bool parsePanelOptions(const QStringList& args, PanelOptions& out, QString& error);

} // namespace ostrel
