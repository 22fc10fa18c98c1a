#pragma once
// The link to the controller as the program holds it for the whole run: one
// serial port (opened at the first write, then kept open) and one TCP client.
// The COM number -> device name mapping is one replaceable function, so tests
// can point it at a pseudo-terminal.
#include "link/transport.h"
#include <functional>

namespace ostrel {

struct LinkSettings;
struct TransferState;

class ControllerLink : public QObject {
    Q_OBJECT
public:
    explicit ControllerLink(QObject* parent = nullptr);

    // COM number (1..8) -> device name; defaults to defaultSerialDeviceName.
    std::function<QString(int)> serialDeviceName;

    // Prepares the link before a write (OpenLink). Serial (link_port 1..8):
    // opens the port if it is not open (reopening when the device changed);
    // false when it cannot be opened. TCP (link_port 9): starts a connection to
    // ip_address:tcp_port when none is open to that peer; always true. The
    // transport chosen here is used by every send until the next openLink.
    bool openLink(const LinkSettings& settings);

    // Hands a whole packet to the transport chosen by the last openLink.
    bool send(const QByteArray& bytes);
    bool usesTcp() const { return useTcp_; }
    // The TCP connection is still being set up: a send has to wait.
    bool connecting() const;
    // The last failure of the transport in use, as "address: cause".
    QString errorDetail() const;
    // The TCP peer as "host:port".
    QString tcpAddress() const;

    // What opening a project file does to the link: TCP projects get the
    // 3000 ms page-chain interval, multiplier 10 and a connection; serial
    // projects 1000 ms, multiplier 1, and the TCP connection is closed.
    void applyProjectOpened(const LinkSettings& settings, TransferState& ts);

    SerialTransport& serial() { return *serial_; }
    TcpTransport& tcp() { return *tcp_; }

private:
    void setTcpPeer(const LinkSettings& settings);

    SerialTransport* serial_;
    TcpTransport* tcp_;
    bool useTcp_ = false;
};

// timer_multiplier and page-chain interval derived from the link port.
void deriveLinkTiming(const LinkSettings& settings, TransferState& ts);

} // namespace ostrel
