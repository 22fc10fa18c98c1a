#include "cli/commands.h"

namespace ostrel::cli {

int runWriteScheme(const QStringList&)
{
    printError(QStringLiteral("not available yet"));
    return 2;
}

} // namespace ostrel::cli
