#include "panel/listeners.h"

#include "panel/panel_session.h"
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>

namespace ostrel {

TcpListener::TcpListener(PanelSession& session, QObject* parent)
    : QObject(parent), session_(session), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &TcpListener::accept);
}

bool TcpListener::listen(quint16 port)
{
    if (server_->listen(QHostAddress::Any, port))
        return true;
    error_ = QStringLiteral("cannot listen on TCP port %1: %2").arg(port).arg(server_->errorString());
    return false;
}

quint16 TcpListener::port() const { return server_->serverPort(); }

void TcpListener::accept()
{
    while (QTcpSocket* s = server_->nextPendingConnection()) {
        ++connections_;
        QString peer = s->peerAddress().toString();
        if (peer.startsWith(QLatin1String("::ffff:")))
            peer = peer.mid(7);
        const QString name = QStringLiteral("TCP %1:%2").arg(peer).arg(s->peerPort());
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
}

void TcpListener::drain()
{
    // Connections the system has accepted but the event loop has not seen.
    while (server_->isListening() && server_->waitForNewConnection(0)) {
    }
    for (auto it = open_.cbegin(); it != open_.cend(); ++it) {
        QTcpSocket* s = it.key();
        while (s->state() == QAbstractSocket::ConnectedState && s->waitForReadyRead(0)) {
        }
        session_.feed(it.value(), s->readAll());
    }
}

SerialListener::SerialListener(PanelSession& session, QObject* parent)
    : QObject(parent), session_(session), port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, [this] { session_.feed(channel_, port_->readAll()); });
    connect(port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::ResourceError || !port_->isOpen())
            return;
        const QString reason = port_->errorString();
        port_->close();
        session_.closeChannel(channel_);
        emit lost(QStringLiteral("serial %1: %2").arg(port_->portName(), reason));
    });
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
