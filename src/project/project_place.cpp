#include "project/project_place.h"

namespace ostrel {

QJsonObject Place::toJson() const
{
    QJsonObject o;
    switch (where) {
    case Where::Project:
        break;
    case Where::Step:
        o.insert(QStringLiteral("step"), step);
        [[fallthrough]];
    case Where::Block:
        o.insert(QStringLiteral("block"), block);
        break;
    case Where::Element:
        o.insert(QStringLiteral("kind"), kindInfo(kind).table_name.toString());
        o.insert(QStringLiteral("number"), number);
        [[fallthrough]];
    case Where::Page:
        o.insert(QStringLiteral("page"), page);
        break;
    }
    return o;
}

QString Place::text() const
{
    switch (where) {
    case Where::Project:
        return {};
    case Where::Block:
        return QStringLiteral("block %1").arg(block);
    case Where::Step:
        return QStringLiteral("block %1, step %2").arg(block).arg(step);
    case Where::Page:
        return QStringLiteral("page %1").arg(page);
    case Where::Element:
        return QStringLiteral("page %1, %2 %3").arg(page).arg(kindInfo(kind).table_name).arg(number);
    }
    return {};
}

std::optional<ObjectKind> kindOfTableName(QStringView name)
{
    for (const ElementKindInfo& row : kElementKinds)
        if (row.table_name == name)
            return row.kind;
    return std::nullopt;
}

} // namespace ostrel
