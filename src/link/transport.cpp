#include "link/transport.h"
#include <QFileInfo>
#include <QSerialPort>
#include <QTcpSocket>

namespace ostrel {

QString defaultSerialDeviceName(int comNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    const int index = comNumber - 1;
    for (const char* stem : {"/dev/ttyUSB", "/dev/ttyACM"}) {
        const QString name = QLatin1String(stem) + QString::number(index);
        if (QFileInfo::exists(name))
            return name;
    }
    return QStringLiteral("/dev/ttyS") + QString::number(index);
#endif
}

// ---- serial ---------------------------------------------------------------

SerialTransport::SerialTransport(QObject* parent)
    : Transport(parent), port_(new QSerialPort(this))
{
    // A vanished device (unplugged adapter) closes the port, so that the next
    // write opens it again instead of failing for the rest of the run.
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError && port_->isOpen())
            port_->close();
    });
}

SerialTransport::~SerialTransport() = default;

void SerialTransport::setDeviceName(const QString& name)
{
    if (name != port_->portName()) {
        if (port_->isOpen())
            port_->close();
        port_->setPortName(name);
    }
}

QString SerialTransport::deviceName() const { return port_->portName(); }

bool SerialTransport::open()
{
    if (port_->isOpen())
        return true;
    if (port_->portName().isEmpty())
        return false;
    port_->clearError();
    if (!port_->open(QIODevice::WriteOnly))
        return false;
    const bool ok = port_->setBaudRate(QSerialPort::Baud115200) && port_->setDataBits(QSerialPort::Data8)
        && port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop)
        && port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        port_->close();
        return false;
    }
    return true;
}

bool SerialTransport::isOpen() const { return port_->isOpen(); }

bool SerialTransport::send(const QByteArray& bytes)
{
    if (!port_->isOpen())
        return false;
    const qint64 written = port_->write(bytes);
    if (written != bytes.size())
        return false;
    port_->flush();
    return port_->isOpen();
}

void SerialTransport::close()
{
    if (port_->isOpen())
        port_->close();
}

QString SerialTransport::errorString() const { return port_->errorString(); }

// ---- TCP ------------------------------------------------------------------

TcpTransport::TcpTransport(QObject* parent)
    : Transport(parent), socket_(new QTcpSocket(this))
{
    // Packets are paced by the sender's timers: hand each one over at once.
    connect(socket_, &QTcpSocket::connected, this,
            [this] { socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}

TcpTransport::~TcpTransport() = default;

void TcpTransport::setPeer(const QString& host, quint16 port)
{
    host_ = host.trimmed();
    port_ = port;
}

bool TcpTransport::open()
{
    const auto state = socket_->state();
    const bool live = state == QAbstractSocket::ConnectedState || state == QAbstractSocket::ConnectingState
        || state == QAbstractSocket::HostLookupState;
    if (live && connectedHost_ == host_ && connectedPort_ == port_)
        return true;
    if (state != QAbstractSocket::UnconnectedState)
        socket_->abort();
    connectedHost_ = host_;
    connectedPort_ = port_;
    socket_->connectToHost(host_, port_, QIODevice::WriteOnly);
    return true;
}

bool TcpTransport::isOpen() const
{
    const auto state = socket_->state();
    return state == QAbstractSocket::ConnectedState || state == QAbstractSocket::ConnectingState
        || state == QAbstractSocket::HostLookupState;
}

bool TcpTransport::isConnected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

bool TcpTransport::send(const QByteArray& bytes)
{
    if (socket_->state() == QAbstractSocket::UnconnectedState) {
        // The connection was refused or dropped: start a new attempt so that a
        // later retry can succeed, and report this send as failed.
        open();
        return false;
    }
    const qint64 written = socket_->write(bytes);
    if (written != bytes.size())
        return false;
    socket_->flush();
    return true;
}

void TcpTransport::close()
{
    socket_->abort();
    connectedHost_.clear();
    connectedPort_ = 0;
}

QString TcpTransport::errorString() const { return socket_->errorString(); }

} // namespace ostrel
