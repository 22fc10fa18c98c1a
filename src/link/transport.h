#pragma once
// The two ways to the controller behind one interface: a serial port
// (115200 baud, 8 data bits, no parity, 1 stop bit) and a TCP client. Both only
// transmit; a send hands the bytes to the platform's buffer and returns.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
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
    // The last failure as "address: cause" (for example "127.0.0.1:5020:
    // connection refused", "/dev/ttyUSB0: no such device"); empty before
    // any failure.
    virtual QString errorDetail() const = 0;
};

// Device name of serial port COMn. Windows: "COMn". Elsewhere the first of
// /dev/ttyUSB(n-1), /dev/ttyACM(n-1) that exists, else /dev/ttyS(n-1).
QString defaultSerialDeviceName(int comNumber);

// Whether a serial device is there under that name. A /dev/ttyS node exists
// for every UART the kernel could drive, so it counts only when the system
// lists a port behind it.
bool serialDevicePresent(const QString& deviceName);

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
    QString errorDetail() const override;

private:
    void noteError();

    QSerialPort* port_;
    QString name_;
    QString cause_;
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
    // failing connect shows up as a failing send later. A connect that is not
    // answered within the connect timeout is given up: a lost SYN is sent
    // again by the system after 1 s and 3 s, so the default waits 6 s.
    bool open() override;
    bool isOpen() const override; // connected or connecting
    bool isConnected() const;
    bool isConnecting() const;    // looking up the host or waiting for the answer
    // Sends only on an established connection (a send while connecting fails
    // without spoiling the attempt: wait for isConnecting() to end first).
    bool send(const QByteArray& bytes) override;
    void close() override;
    QString errorString() const override;
    QString errorDetail() const override;
    QTcpSocket* socket() const { return socket_; }

    static constexpr int kDefaultConnectTimeoutMs = 6000;
    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    int connectTimeout() const { return connectTimeoutMs_; }

signals:
    // A connection attempt began (true) or ended, connected or not (false).
    void connectingChanged(bool connecting);

private:
    void noteError();

    QTcpSocket* socket_;
    bool connecting_ = false;
    QTimer connectDeadline_;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    QString cause_;
    QString host_;
    quint16 port_ = 0;
    QString connectedHost_;
    quint16 connectedPort_ = 0;
};

} // namespace ostrel
