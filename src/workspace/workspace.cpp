#include "workspace/workspace.h"

namespace ostrel {

Workspace::Workspace()
{
    // Start-up values: version 4.5, texts "0", saved algorithm setpoints "0".
    selectVersion(kDefaultVersion);
    for (int i = 0; i < 10000; ++i)
        blocks.TextStore[i] = QStringLiteral("0");
    for (int i = 1; i < BlockTable::kAlgParams; ++i)
        blocks.alg_param_saved[i] = QStringLiteral("0");
}

void Workspace::selectVersion(uint8_t code)
{
    version_code = code;
    catalog.applyVersion(code);
}

} // namespace ostrel
