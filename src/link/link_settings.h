#pragma once
// How the controller is reached: the port (a COM number or TCP/IP), the
// controller's station number and the TCP peer.
#include <QString>
#include <cstdint>

namespace ostrel {

struct LinkSettings {
    int16_t link_port = 1;         // 1..8 = COM1..COM8, 9 = TCP/IP
    int16_t controller_number = 1; // 1..8, first byte of every packet
    QString ip_address;
    int32_t tcp_port = 0;

    static constexpr int16_t kFirstComPort = 1; // COM1
    static constexpr int16_t kComPorts = 8;     // COM1..COM8
    static constexpr int16_t kTcpPort = kComPorts + 1;
    static constexpr int16_t kControllers = 8;  // station numbers 1..8
    bool usesTcp() const { return link_port == kTcpPort; }
};

} // namespace ostrel
