#include "scada/element_kinds.h"

namespace ostrel {

std::optional<ObjectKind> repeatedKind(int mode)
{
    for (const ElementKindInfo& row : kElementKinds)
        if (row.numbered() && row.create_mode == mode)
            return row.kind;
    return std::nullopt;
}

QString fileLabel(ObjectKind kind)
{
    return kindInfo(kind).file_label.toString() + QStringLiteral(" - ");
}

} // namespace ostrel
