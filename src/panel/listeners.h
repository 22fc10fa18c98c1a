#pragma once
// Where the panel's bytes come from: a TCP server on all interfaces (each
// connection is a channel of its own), a serial device opened for reading at
// the link's fixed settings, and recorded stream files.
#include <QHash>
#include <QObject>
#include <QString>

class QSerialPort;
class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace ostrel {

class PanelSession;

class TcpListener : public QObject {
    Q_OBJECT
public:
    TcpListener(PanelSession& session, QObject* parent = nullptr);
    // Listens on every interface; port 0 takes any free port. false with
    // errorString() when the port cannot be used.
    bool listen(quint16 port);
    quint16 port() const;
    QString errorString() const { return error_; }
    // Connections accepted so far.
    int connections() const { return connections_; }
    // Takes in the bytes that have arrived on the open connections but were
    // not read yet (before the program ends).
    void drain();

signals:
    void connectionOpened(const QString& channelName);
    void connectionClosed(const QString& channelName);

private:
    void accept();
    void acceptWithPeer();
    // A new connection becomes a channel named by its peer ("TCP 127.0.0.1:40312").
    void adopt(QTcpSocket* s, const QString& name);

    PanelSession& session_;
    QTcpServer* server_;
    QSocketNotifier* acceptor_ = nullptr;
    QHash<QTcpSocket*, int> open_; // open connections and their channels
    QString error_;
    int connections_ = 0;
};

class SerialListener : public QObject {
    Q_OBJECT
public:
    SerialListener(PanelSession& session, QObject* parent = nullptr);
    ~SerialListener() override;
    // Opens the device read-only at 115200 baud, 8 data bits, no parity,
    // 1 stop bit. false with errorString() when it cannot be opened.
    bool open(const QString& device);
    QString errorString() const { return error_; }
    // Takes in the bytes that have arrived but were not read yet.
    void drain();

signals:
    // The device went away (an unplugged adapter, the far end of a terminal
    // hung up): what arrived is taken in, the channel is closed; once.
    void lost(const QString& reason);

private:
    void lose(const QString& reason);
    void watchHangUp();

    PanelSession& session_;
    QSerialPort* port_;
    QSocketNotifier* hangup_ = nullptr;
    int channel_ = -1;
    QString error_;
};

// Reads a recorded stream into a channel of its own, in pieces so that the
// writes come out in the order they were recorded, then ends the channel.
// false with `error` when the file cannot be read (nothing is fed then).
bool readDumpFile(PanelSession& session, const QString& path, QString& error);

} // namespace ostrel
