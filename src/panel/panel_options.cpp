#include "panel/panel_options.h"
#include "link/link_settings.h"

namespace ostrel {

QString panelUsage()
{
    return QStringLiteral(
        "usage: ostrel-panel (--tcp PORT | --tcp FIRST-LAST | --serial DEVICE | --dump FILE...) [--out DIR] [--count N]\n"
        "                    [--values FILE.json] [--project FILE.prt] [--controller 1..8] [--headless]\n"
        "  --tcp PORT         listen on TCP port PORT of every interface (0: any free port)\n"
        "  --tcp FIRST-LAST   a plant: every port of the range is a controller of its own, its files\n"
        "                     in DIR/PORT, --count N for each (with --headless only)\n"
        "  --serial DEVICE    read a serial device (115200 8N1), e.g. one end of a socat pair\n"
        "  --dump FILE...     read recorded streams (several files, or --dump more than once)\n"
        "  --out DIR          write scheme.json, page-N.png, page-N.json and log.txt into DIR\n"
        "  --count N          exit after N complete writes (scheme or page)\n"
        "  --values FILE      block outputs shown by the live elements: {\"1\": [12.5, 3]}\n"
        "  --project FILE     the project written: its version and algorithm call flags\n"
        "  --controller N     take only the packets for controller N\n"
        "  --headless         no window\n"
        "  --help, --version  this text, or the program's version\n");
}

bool parsePanelOptions(const QStringList& args, PanelOptions& o, QString& error)
{
    o = PanelOptions{};
    bool inDump = false; // plain arguments after --dump are more dump files
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& out) {
            if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--"))) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int low, int high, int& out, const QString& what) {
            QString v;
            if (!value(v))
                return false;
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < low || n > high) {
                error = a + QStringLiteral(" expects ") + what + QStringLiteral(", not \"") + v + QLatin1Char('"');
                return false;
            }
            out = n;
            return true;
        };
        const bool option = a.startsWith(QLatin1String("--"));
        if (option)
            inDump = false;
        if (a == QLatin1String("--tcp")) {
            if (o.tcp_port >= 0) {
                error = QStringLiteral("--tcp given twice");
                return false;
            }
            // FIRST-LAST: a range of ports.
            if (i + 1 < args.size() && args[i + 1].contains(u'-') && !args[i + 1].startsWith(u'-')) {
                const QString v = args[++i];
                const QStringList ends = v.split(u'-');
                bool okFirst = false;
                bool okLast = false;
                const int first = ends.size() == 2 ? ends[0].toInt(&okFirst) : 0;
                const int last = ends.size() == 2 ? ends[1].toInt(&okLast) : 0;
                if (!okFirst || !okLast || first < 1 || last > 65535 || first > last
                    || last - first >= PanelOptions::kMaxPorts) {
                    error = QStringLiteral("--tcp expects a port 0..65535 or a range FIRST-LAST of at most %1 "
                                           "ports 1..65535, not \"%2\"")
                                .arg(PanelOptions::kMaxPorts)
                                .arg(v);
                    return false;
                }
                o.tcp_port = first;
                o.tcp_last = last;
            } else if (!number(0, 65535, o.tcp_port, QStringLiteral("a port 0..65535"))) {
                return false;
            }
        } else if (a == QLatin1String("--serial")) {
            if (!o.serial_device.isEmpty()) {
                error = QStringLiteral("--serial given twice");
                return false;
            }
            if (!value(o.serial_device))
                return false;
        } else if (a == QLatin1String("--dump")) {
            QString file;
            if (!value(file))
                return false;
            o.dump_files << file;
            inDump = true;
        } else if (a == QLatin1String("--out")) {
            if (!value(o.out_dir))
                return false;
        } else if (a == QLatin1String("--count")) {
            if (!number(1, 1000000, o.count, QStringLiteral("a number of writes 1..1000000")))
                return false;
        } else if (a == QLatin1String("--values")) {
            if (!value(o.values_file))
                return false;
        } else if (a == QLatin1String("--project")) {
            if (!value(o.project_file))
                return false;
        } else if (a == QLatin1String("--controller")) {
            if (!number(1, LinkSettings::kControllers, o.controller, QStringLiteral("a controller number 1..8")))
                return false;
        } else if (a == QLatin1String("--headless")) {
            o.headless = true;
        } else if (const InfoRequest info = infoRequest(a); info != InfoRequest::None) {
            if (o.info == InfoRequest::None)
                o.info = info;
        } else if (!option && inDump) {
            o.dump_files << a;
        } else {
            error = QStringLiteral("unexpected argument: ") + a;
            return false;
        }
    }
    if (o.info != InfoRequest::None)
        return true;
    if (o.portRange() && (!o.serial_device.isEmpty() || !o.dump_files.isEmpty())) {
        error = QStringLiteral("--tcp FIRST-LAST stands for a plant alone: no --serial or --dump beside it");
        return false;
    }
    if (o.portRange() && !o.headless) {
        error = QStringLiteral("--tcp FIRST-LAST has no window: add --headless");
        return false;
    }
    if (!o.listens() && o.dump_files.isEmpty()) {
        error = QStringLiteral("nothing to receive from: give --tcp PORT, --serial DEVICE or --dump FILE");
        return false;
    }
    return true;
}

} // namespace ostrel
