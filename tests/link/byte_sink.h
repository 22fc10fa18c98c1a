#pragma once
// The controller's side of the link in tests: collects every byte that
// arrives, over TCP (a QTcpServer on 127.0.0.1, ephemeral port) or from the
// far end of a pseudo-terminal, with the arrival time of each chunk.
#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVector>

namespace ostrel::testing {

class ByteSink : public QObject {
public:
    struct Chunk {
        qint64 atMs;
        qsizetype offset;
    };
    QByteArray bytes;
    QVector<Chunk> chunks;
    QElapsedTimer clock;

    ByteSink() { clock.start(); }

    bool listenTcp()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::readyRead, this, [this, s] { take(s->readAll()); });
            }
        });
        return server_.listen(QHostAddress::LocalHost, 0);
    }
    quint16 tcpPort() const { return server_.serverPort(); }

    bool openSerial(const QString& path)
    {
        serial_.setPortName(path);
        if (!serial_.open(QIODevice::ReadOnly))
            return false;
        serial_.setBaudRate(QSerialPort::Baud115200);
        connect(&serial_, &QSerialPort::readyRead, this, [this] { take(serial_.readAll()); });
        return true;
    }

    // Arrival time of the chunk holding byte `offset`.
    qint64 arrivalOf(qsizetype offset) const
    {
        qint64 at = -1;
        for (const Chunk& c : chunks) {
            if (c.offset > offset)
                break;
            at = c.atMs;
        }
        return at;
    }

    int connections = 0;

private:
    void take(const QByteArray& b)
    {
        if (b.isEmpty())
            return;
        chunks.append({clock.elapsed(), bytes.size()});
        bytes.append(b);
    }

    QTcpServer server_;
    QSerialPort serial_;
};

} // namespace ostrel::testing
