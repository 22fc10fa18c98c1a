#include "panel/port_range.h"
#include "panel/listeners.h"
#include "platform/checked_file.h"
#include <QDir>
#include <QFileInfo>

namespace ostrel {

struct PortRange::Port {
    int port = 0;
    QString outDir;
    std::unique_ptr<PanelSession> session;
    std::unique_ptr<TcpListener> listener;
};

PortRange::PortRange(const SessionOptions& base, int first, int last, QObject* parent) : QObject(parent)
{
    for (int p = first; p <= last; ++p) {
        auto port = std::make_unique<Port>();
        port->port = p;
        SessionOptions so = base;
        if (!base.out_dir.isEmpty())
            so.out_dir = QDir(base.out_dir).filePath(QString::number(p));
        port->outDir = so.out_dir;
        port->session = std::make_unique<PanelSession>(so);
        const QString lead = QStringLiteral("%1: ").arg(p);
        connect(port->session.get(), &PanelSession::writeFinished, this,
                [this, lead](const QString& line) { emit writeFinished(lead + line); });
        connect(port->session.get(), &PanelSession::problemFound, this,
                [this, lead](const QString& line) { emit problemFound(lead + line); });
        connect(port->session.get(), &PanelSession::countReached, this, [this] {
            if (done())
                emit allDone();
        });
        ports_.push_back(std::move(port));
    }
}

PortRange::~PortRange() = default;

int PortRange::port(int i) const { return ports_[size_t(i)]->port; }

PanelSession& PortRange::session(int i) { return *ports_[size_t(i)]->session; }

bool PortRange::listen(QString& error)
{
    // Every folder is made and checked before any port listens.
    for (auto& p : ports_) {
        if (p->outDir.isEmpty())
            continue;
        if (!QDir().mkpath(p->outDir) || !QFileInfo(p->outDir).isWritable()) {
            error = QStringLiteral("cannot write into ") + p->outDir;
            return false;
        }
        for (const QString& name : PanelSession::outputFileNames())
            if (existsNotRegular(QDir(p->outDir).filePath(name))) {
                error = QStringLiteral("cannot write %1: not a regular file").arg(QDir(p->outDir).filePath(name));
                return false;
            }
    }
    for (auto& p : ports_) {
        p->listener = std::make_unique<TcpListener>(*p->session);
        if (!p->listener->listen(quint16(p->port))) {
            error = p->listener->errorString();
            ports_.clear();
            return false;
        }
    }
    return true;
}

bool PortRange::done() const
{
    for (const auto& p : ports_)
        if (!p->session->done())
            return false;
    return !ports_.empty();
}

int PortRange::finish(int count, const std::function<void(const QString&)>& problem)
{
    int status = 0;
    for (auto& p : ports_) {
        if (p->listener)
            p->listener->drain();
        p->session->closeAll();
        p->session->writeLog();
        if (p->session->exitStatus() != 0)
            status = 1;
        if (count > 0 && p->session->writes() < count) {
            problem(QStringLiteral("error: port %1: %2 of %3 writes received")
                        .arg(p->port)
                        .arg(p->session->writes())
                        .arg(count));
            status = 1;
        }
    }
    return status;
}

} // namespace ostrel
