#include "link/controller_link.h"
#include "link/link_settings.h"
#include "wire/transfer_state.h"

namespace ostrel {

ControllerLink::ControllerLink(QObject* parent)
    : QObject(parent), serialDeviceName(defaultSerialDeviceName), serial_(new SerialTransport(this)),
      tcp_(new TcpTransport(this))
{
}

void ControllerLink::setTcpPeer(const LinkSettings& settings)
{
    const int32_t port = settings.tcp_port;
    tcp_->setPeer(settings.ip_address, (port >= 0 && port <= 0xFFFF) ? quint16(port) : quint16(0));
}

bool ControllerLink::openLink(const LinkSettings& settings)
{
    useTcp_ = settings.usesTcp();
    if (useTcp_) {
        setTcpPeer(settings);
        tcp_->open();
        return true;
    }
    if (settings.link_port < 1 || settings.link_port > 8)
        return false;
    const QString device = serialDeviceName ? serialDeviceName(settings.link_port) : QString();
    serial_->setDeviceName(device);
    return serial_->open();
}

bool ControllerLink::send(const QByteArray& bytes)
{
    if (useTcp_)
        return tcp_->send(bytes);
    // A port closed by a device error is reopened here, so that the retry of
    // the next tick can get through once the device is back.
    if (!serial_->isOpen() && !serial_->open())
        return false;
    return serial_->send(bytes);
}

bool ControllerLink::connecting() const
{
    return useTcp_ && tcp_->isConnecting();
}

QString ControllerLink::errorDetail() const
{
    if (useTcp_)
        return tcp_->errorDetail();
    const QString detail = serial_->errorDetail();
    return detail.isEmpty() ? serial_->deviceName() + QStringLiteral(": no such device") : detail;
}

QString ControllerLink::tcpAddress() const
{
    return tcp_->host() + u':' + QString::number(tcp_->port());
}

void ControllerLink::applyProjectOpened(const LinkSettings& settings, TransferState& ts)
{
    deriveLinkTiming(settings, ts);
    if (settings.usesTcp()) {
        setTcpPeer(settings);
        tcp_->open();
    } else {
        tcp_->close();
    }
}

void deriveLinkTiming(const LinkSettings& settings, TransferState& ts)
{
    const bool tcp = settings.usesTcp();
    ts.timer_multiplier = tcp ? 10 : 1;
    ts.page_chain_interval = tcp ? 3000 : 1000;
}

} // namespace ostrel
