#include "cli/commands.h"

namespace ostrel::cli {

int runScheme(const QStringList&)
{
    printError(QStringLiteral("not available yet"));
    return 2;
}

} // namespace ostrel::cli
