#include "link/transport.h"
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTcpSocket>
#ifndef Q_OS_WIN
#include <QFile>
#include <sys/stat.h>
#endif

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

bool serialDevicePresent(const QString& deviceName)
{
    if (deviceName.isEmpty())
        return false;
    const QString canonical = QFileInfo(deviceName).canonicalFilePath();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (info.systemLocation() == deviceName || info.portName() == deviceName
            || (!canonical.isEmpty() && info.systemLocation() == canonical))
            return true;
#ifdef Q_OS_WIN
    return false;
#else
    // A terminal device (an adapter, a pseudo-terminal) that the port list
    // does not show; never a plain file.
    struct stat st {};
    return !deviceName.startsWith(QLatin1String("/dev/ttyS"))
        && ::stat(QFile::encodeName(deviceName).constData(), &st) == 0 && S_ISCHR(st.st_mode);
#endif
}

namespace {

QString serialCause(QSerialPort::SerialPortError e, const QString& text)
{
    switch (e) {
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::ResourceError: // the device went away while open
        return QStringLiteral("no such device");
    case QSerialPort::UnsupportedOperationError: // no terminal behind the name
        return QStringLiteral("not a serial device");
    case QSerialPort::PermissionError:
        return QStringLiteral("permission denied");
    default:
        return text.toLower();
    }
}

QString socketCause(QAbstractSocket::SocketError e, const QString& text)
{
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError: return QStringLiteral("connection refused");
    case QAbstractSocket::RemoteHostClosedError: return QStringLiteral("reset by peer");
    case QAbstractSocket::HostNotFoundError: return QStringLiteral("host not found");
    case QAbstractSocket::SocketTimeoutError: return QStringLiteral("connection timed out");
    case QAbstractSocket::NetworkError: return QStringLiteral("network unreachable");
    default: return text.toLower();
    }
}

} // namespace

// ---- serial ---------------------------------------------------------------

SerialTransport::SerialTransport(QObject* parent)
    : Transport(parent), port_(new QSerialPort(this))
{
    // A vanished device (unplugged adapter) closes the port, so that the next
    // write opens it again instead of failing for the rest of the run.
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::NoError)
            return;
        noteError();
        if (e == QSerialPort::ResourceError && port_->isOpen())
            port_->close();
    });
}

void SerialTransport::noteError()
{
    if (port_->error() != QSerialPort::NoError)
        cause_ = serialCause(port_->error(), port_->errorString());
}

QString SerialTransport::errorDetail() const
{
    if (cause_.isEmpty())
        return {};
    return (name_.isEmpty() ? QStringLiteral("(no device)") : name_) + QStringLiteral(": ") + cause_;
}

SerialTransport::~SerialTransport() = default;

void SerialTransport::setDeviceName(const QString& name)
{
    if (name != name_) {
        if (port_->isOpen())
            port_->close();
        port_->setPortName(name);
        name_ = name;
    }
}

// As given: the port itself shortens "/dev/ttyUSB0" to "ttyUSB0".
QString SerialTransport::deviceName() const { return name_; }

bool SerialTransport::open()
{
    if (port_->isOpen())
        return true;
    if (name_.isEmpty()) {
        cause_ = QStringLiteral("no such device");
        return false;
    }
    port_->clearError();
    if (!port_->open(QIODevice::WriteOnly)) {
        noteError();
        return false;
    }
    const bool ok = port_->setBaudRate(QSerialPort::Baud115200) && port_->setDataBits(QSerialPort::Data8)
        && port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop)
        && port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        noteError();
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
    if (written != bytes.size()) {
        noteError();
        return false;
    }
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
    connect(socket_, &QTcpSocket::connected, this, [this] {
        connectDeadline_.stop();
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] { noteError(); });
    connect(socket_, &QTcpSocket::stateChanged, this, [this] {
        if (isConnecting() != connecting_) {
            connecting_ = !connecting_;
            emit connectingChanged(connecting_);
        }
    });
    connectDeadline_.setSingleShot(true);
    connect(&connectDeadline_, &QTimer::timeout, this, [this] {
        if (!isConnecting())
            return;
        socket_->abort();
        cause_ = QStringLiteral("connection timed out");
    });
}

void TcpTransport::noteError()
{
    cause_ = socketCause(socket_->error(), socket_->errorString());
}

QString TcpTransport::errorDetail() const
{
    if (cause_.isEmpty())
        return {};
    return QStringLiteral("%1:%2: %3").arg(connectedHost_.isEmpty() ? host_ : connectedHost_)
        .arg(connectedHost_.isEmpty() ? port_ : connectedPort_)
        .arg(cause_);
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
    connectDeadline_.start(connectTimeoutMs_);
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

bool TcpTransport::isConnecting() const
{
    const auto state = socket_->state();
    return state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState;
}

bool TcpTransport::send(const QByteArray& bytes)
{
    if (socket_->state() == QAbstractSocket::UnconnectedState) {
        // The connection was refused or dropped: start a new attempt so that a
        // later retry can succeed, and report this send as failed.
        open();
        return false;
    }
    // Flushing a socket that is still connecting fails it: the bytes would
    // be lost along with the attempt.
    if (!isConnected())
        return false;
    const qint64 written = socket_->write(bytes);
    if (written != bytes.size()) {
        noteError();
        return false;
    }
    socket_->flush();
    return true;
}

void TcpTransport::close()
{
    connectDeadline_.stop();
    socket_->abort();
    connectedHost_.clear();
    connectedPort_ = 0;
}

QString TcpTransport::errorString() const { return socket_->errorString(); }

} // namespace ostrel
