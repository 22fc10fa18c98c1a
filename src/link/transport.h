#pragma once
// The two ways to the controller behind one interface: a serial port
// (115200 baud, 8 data bits, no parity, 1 stop bit) and a TCP client. Both only
// transmit; a send hands the bytes to the platform's buffer and returns.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class QSerialPort;
class QTcpSocket;

namespace ostrel {

class Transport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Transport() override = default;
    // Opens (serial) or starts connecting (TCP). false when the port cannot be opened.
    virtual bool open() = 0;
    virtual bool isOpen() const = 0;
    // Hands the bytes over; false when they could not be (not open, write error).
    virtual bool send(const QByteArray& bytes) = 0;
    virtual void close() = 0;
    virtual QString errorString() const = 0;
};

// Device name of serial port COMn. Windows: "COMn". Elsewhere the first of
// /dev/ttyUSB(n-1), /dev/ttyACM(n-1) that exists, else /dev/ttyS(n-1).
QString defaultSerialDeviceName(int comNumber);

class SerialTransport : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;
    void setDeviceName(const QString& name); // takes effect at the next open
    QString deviceName() const;
    bool open() override;
    bool isOpen() const override;
    bool send(const QByteArray& bytes) override;
    void close() override;
    QString errorString() const override;

private:
    QSerialPort* port_;
};

class TcpTransport : public Transport {
    Q_OBJECT
public:
    explicit TcpTransport(QObject* parent = nullptr);
    ~TcpTransport() override;
    // Remote end used by the next open(); an open connection to another peer
    // is dropped by open().
    void setPeer(const QString& host, quint16 port);
    QString host() const { return host_; }
    quint16 port() const { return port_; }
    // Starts connecting unless connected or connecting to the same peer. A
    // failing connect shows up as a failing send later.
    bool open() override;
    bool isOpen() const override; // connected or connecting
    bool isConnected() const;
    bool send(const QByteArray& bytes) override;
    void close() override;
    QString errorString() const override;
    QTcpSocket* socket() const { return socket_; }

private:
    QTcpSocket* socket_;
    QString host_;
    quint16 port_ = 0;
    QString connectedHost_;
    quint16 connectedPort_ = 0;
};

} // namespace ostrel
