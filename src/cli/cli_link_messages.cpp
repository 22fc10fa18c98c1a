// The failure line of the commands that write into a controller.
#include "cli/commands.h"
#include "link/transfer_engine.h"
#include "platform/interaction.h"

namespace ostrel::cli {

void printLinkMessage(const Message& m, const std::function<QString()>& linkDetail)
{
    if (linkDetail && (m.text == kPortError || m.text == kComPortError)) {
        const QString detail = linkDetail();
        if (!detail.isEmpty()) {
            printMessage({m.text + u' ' + detail, m.title, m.icon});
            return;
        }
    }
    printMessage(m);
}

} // namespace ostrel::cli
