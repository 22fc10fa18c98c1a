#include "cli/link_write.h"
#include "cli/commands.h"
#include "link/link_settings.h"
#include "link/transfer_engine.h"
#include <QCoreApplication>

namespace ostrel::cli {

void useLinkTarget(const LinkOptions& link, LinkSettings& settings)
{
    if (!link.tcpHost.isEmpty()) {
        settings.link_port = LinkSettings::kTcpPort;
        settings.ip_address = link.tcpHost;
        settings.tcp_port = link.tcpPort;
    } else {
        settings.link_port = LinkSettings::kFirstComPort;
    }
}

QString linkName(const LinkOptions& link)
{
    if (!link.tcpHost.isEmpty())
        return QStringLiteral("%1:%2").arg(link.tcpHost).arg(link.tcpPort);
    return link.serialDevice;
}

int runLinkWrite(TransferEngine& engine, const LinkOptions& link, const std::function<bool()>& start,
                 const std::function<QByteArray(qsizetype sent)>& summary)
{
    engine.setRetryOnFailure(false);
    if (!link.serialDevice.isEmpty()) {
        const QString device = link.serialDevice;
        engine.link().serialDeviceName = [device](int) { return device; };
    }
    // The connections end with this function; the engine may outlive it.
    const QObject scope;
    qsizetype sent = 0;
    QObject::connect(&engine, &TransferEngine::packetSent, &scope, [&sent](const QByteArray& b) { sent += b.size(); });
    int status = 1;
    QObject::connect(&engine, &TransferEngine::finished, &scope, [&status](bool ok) {
        status = ok ? 0 : 1;
        QCoreApplication::exit(status);
    });
    if (!start())
        return 1;
    QCoreApplication::exec();
    if (status == 0)
        printJson(summary(sent));
    return status;
}

} // namespace ostrel::cli
