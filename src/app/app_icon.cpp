#include "app/app_icon.h"

namespace ostrel {

QIcon applicationIcon()
{
    return QIcon(QStringLiteral(":/icons/ostrel-configurator.png"));
}

} // namespace ostrel
