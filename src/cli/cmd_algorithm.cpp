#include "cli/commands.h"

namespace ostrel::cli {

int runAlgorithm(const QStringList&)
{
    printError(QStringLiteral("not available yet"));
    return 2;
}

} // namespace ostrel::cli
