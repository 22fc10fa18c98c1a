#pragma once
// How a project names itself, its netlist and the way to the controller.
#include "link/link_settings.h"
#include <QString>

namespace ostrel {

inline const QString kNoNetlist = QStringLiteral("Пусто");

struct ProjectSettings : LinkSettings {
    QString project_name;
    QString netlist_path = kNoNetlist; // full path of the netlist; "Пусто" = none
};

} // namespace ostrel
