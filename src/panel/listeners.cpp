#include "panel/listeners.h"

#include "panel/panel_session.h"
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace ostrel {

TcpListener::TcpListener(PanelSession& session, QObject* parent)
    : QObject(parent), session_(session), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &TcpListener::accept);
}

bool TcpListener::listen(quint16 port)
{
    if (!server_->listen(QHostAddress::Any, port)) {
        error_ = QStringLiteral("cannot listen on TCP port %1: %2").arg(port).arg(server_->errorString());
        return false;
    }
#ifdef Q_OS_LINUX
    // Connections are accepted here rather than by QTcpServer: accept()
    // gives the peer's address even when the peer has reset the connection
    // already, where QTcpServer's later getpeername() gives none ("TCP :0").
    server_->pauseAccepting();
    acceptor_ = new QSocketNotifier(server_->socketDescriptor(), QSocketNotifier::Read, this);
    connect(acceptor_, &QSocketNotifier::activated, this, &TcpListener::acceptWithPeer);
#endif
    return true;
}

quint16 TcpListener::port() const { return server_->serverPort(); }

namespace {

QString peerName(const QHostAddress& address, quint16 port)
{
    QString peer = address.toString();
    if (peer.startsWith(QLatin1String("::ffff:")))
        peer = peer.mid(7);
    return QStringLiteral("TCP %1:%2").arg(peer).arg(port);
}

} // namespace

void TcpListener::accept()
{
    while (QTcpSocket* s = server_->nextPendingConnection())
        adopt(s, peerName(s->peerAddress(), s->peerPort()));
}

void TcpListener::acceptWithPeer()
{
#ifdef Q_OS_LINUX
    for (;;) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(int(server_->socketDescriptor()), reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return; // nothing more waiting (EAGAIN), or the peer went before its turn
        }
        auto* s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(fd)) {
            ::close(fd);
            delete s;
            continue;
        }
        const auto* in4 = reinterpret_cast<const sockaddr_in*>(&address);
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address);
        const quint16 port = ntohs(address.ss_family == AF_INET6 ? in6->sin6_port : in4->sin_port);
        adopt(s, peerName(QHostAddress(reinterpret_cast<const sockaddr*>(&address)), port));
    }
#endif
}

void TcpListener::adopt(QTcpSocket* s, const QString& name)
{
    ++connections_;
    const int channel = session_.openChannel(name);
    s->setParent(this);
    open_.insert(s, channel);
    connect(s, &QTcpSocket::readyRead, this, [this, s, channel] { session_.feed(channel, s->readAll()); });
    connect(s, &QTcpSocket::disconnected, this, [this, s, channel, name] {
        open_.remove(s);
        session_.feed(channel, s->readAll());
        session_.closeChannel(channel);
        emit connectionClosed(name);
        s->deleteLater();
    });
    emit connectionOpened(name);
    // Bytes may have come with the connection already.
    if (s->bytesAvailable() > 0)
        session_.feed(channel, s->readAll());
}

void TcpListener::drain()
{
    // Connections the system has accepted but the event loop has not seen.
    if (acceptor_)
        acceptWithPeer();
    while (server_->isListening() && server_->waitForNewConnection(0)) {
    }
    // Waiting for bytes may deliver a disconnection, whose handler takes the
    // connection out of open_: go over a copy, and skip the ones gone.
    const auto open = open_;
    for (auto it = open.cbegin(); it != open.cend(); ++it) {
        QPointer<QTcpSocket> s = it.key();
        while (s && open_.contains(s) && s->state() == QAbstractSocket::ConnectedState && s->waitForReadyRead(0)) {
        }
        if (s && open_.contains(s))
            session_.feed(it.value(), s->readAll());
    }
}

SerialListener::SerialListener(PanelSession& session, QObject* parent)
    : QObject(parent), session_(session), port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, [this] { session_.feed(channel_, port_->readAll()); });
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError)
            lose(port_->errorString());
    });
}

void SerialListener::lose(const QString& reason)
{
    if (!port_->isOpen())
        return;
    if (hangup_) {
        hangup_->setEnabled(false);
        hangup_->deleteLater();
        hangup_ = nullptr;
    }
    session_.feed(channel_, port_->readAll());
    port_->close();
    session_.closeChannel(channel_);
    emit lost(QStringLiteral("serial %1: %2").arg(port_->portName(), reason));
}

void SerialListener::watchHangUp()
{
#ifdef Q_OS_UNIX
    // A terminal whose far end went away (the other side of a pty pair
    // closed) reads 0 bytes with POLLHUP for ever: QSerialPort takes that for
    // "no data" and its read notifier fires without end. The hang-up is
    // seen here, where the notifier for exceptional conditions fires too.
    const int fd = int(port_->handle());
    hangup_ = new QSocketNotifier(fd, QSocketNotifier::Exception, this);
    connect(hangup_, &QSocketNotifier::activated, this, [this, fd] {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            lose(QStringLiteral("the device hung up"));
    });
#endif
}

SerialListener::~SerialListener() = default;

bool SerialListener::open(const QString& device)
{
    port_->setPortName(device);
    if (!port_->open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot open %1: %2").arg(device, port_->errorString());
        return false;
    }
    const bool ok = port_->setBaudRate(QSerialPort::Baud115200) && port_->setDataBits(QSerialPort::Data8)
        && port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop)
        && port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        error_ = QStringLiteral("cannot set 115200 8N1 on %1: %2").arg(device, port_->errorString());
        port_->close();
        return false;
    }
    channel_ = session_.openChannel(QStringLiteral("serial ") + device);
    watchHangUp();
    return true;
}

void SerialListener::drain()
{
    if (!port_->isOpen())
        return;
    while (port_->waitForReadyRead(0)) {
    }
    session_.feed(channel_, port_->readAll());
}

bool readDumpFile(PanelSession& session, const QString& path, QString& error)
{
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, QFileInfo(path).isDir() ? QStringLiteral("a folder")
                                                                                        : f.errorString());
        return false;
    }
    const int channel = session.openChannel(QFileInfo(path).fileName(), false);
    constexpr qint64 kPiece = 4096;
    while (!f.atEnd() && !session.done()) {
        const QByteArray piece = f.read(kPiece);
        if (piece.isEmpty())
            break;
        session.feed(channel, piece);
    }
    session.closeChannel(channel);
    return true;
}

} // namespace ostrel
