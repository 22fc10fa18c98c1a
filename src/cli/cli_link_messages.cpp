// The failure line of the commands that write into a controller.
#include "cli/commands.h"
#include "link/transfer_engine.h"
#include "platform/interaction.h"

namespace ostrel::cli {

void printLinkMessage(const Message& m, const std::function<QString()>& linkDetail)
{
    printMessage(withLinkDetail(m, linkDetail));
}

} // namespace ostrel::cli
