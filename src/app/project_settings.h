#pragma once
// How a project names itself, its netlist and the way to the controller.
#include <QString>
#include <cstdint>

namespace ostrel {

inline const QString kNoNetlist = QStringLiteral("Пусто");

struct ProjectSettings {
    QString project_name;
    QString netlist_path = kNoNetlist; // full path of the netlist; "Пусто" = none
    int16_t link_port = 1;             // 1..8 = COM1..COM8, 9 = TCP/IP
    int16_t controller_number = 1;     // 1..8, first byte of every packet
    QString ip_address;
    int32_t tcp_port = 0;

    static constexpr int16_t kTcpPort = 9;
    bool usesTcp() const { return link_port == kTcpPort; }
};

} // namespace ostrel
