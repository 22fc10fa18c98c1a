#pragma once
// A plant on one machine: a range of TCP ports, each port a controller of
// its own with its own session (its own decoding, count and output folder
// DIR/PORT), all on one event loop.
#include "panel/panel_session.h"
#include <QObject>
#include <memory>
#include <vector>

namespace ostrel {

class TcpListener;

class PortRange : public QObject {
    Q_OBJECT
public:
    // `base` is every port's session; its out_dir (if any) gets one folder a port.
    PortRange(const SessionOptions& base, int first, int last, QObject* parent = nullptr);
    ~PortRange() override;

    // Makes the folders and listens on every port. false with one line
    // (the port or folder at fault); nothing listens then.
    bool listen(QString& error);
    int size() const { return int(ports_.size()); }
    int port(int i) const;
    PanelSession& session(int i);
    // Every session received its --count writes.
    bool done() const;
    // Takes in what is still on the connections, closes the channels and
    // writes every log: 0 when every port's session is clean and reached
    // `count` (0: no count), else 1. The lines of what is missing are given
    // to `problem`.
    int finish(int count, const std::function<void(const QString&)>& problem);

signals:
    // A session's line, with its port in front ("5020: TCP 127.0.0.1:40312: ...").
    void writeFinished(const QString& line);
    void problemFound(const QString& line);
    void allDone();

private:
    struct Port;
    std::vector<std::unique_ptr<Port>> ports_;
};

} // namespace ostrel
