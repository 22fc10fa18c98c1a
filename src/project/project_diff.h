#pragma once
// The semantic diff of two projects: blocks added, removed or of another
// type, parameter values and texts by block and caption, algorithm steps,
// per page the elements added, removed, moved or with other fields (the page
// model's field names), background and fill colour, and the settings. An
// element whose position alone changed is one "moved".
#include "project/project_place.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <cstdint>

namespace ostrel {

struct Workspace;
struct ScadaPages;
class BlockCatalog;

struct Change {
    enum class Kind : uint8_t { Added, Removed, Moved, Changed };
    Kind kind = Kind::Changed;
    Place place;
    QString field;        // Changed: what changed
    QJsonValue old_value; // Moved: {"x", "y"}
    QJsonValue new_value;

    // {"change", "place", "field", "old", "new"} ("field" for "changed" only)
    QJsonObject toJson() const;
    // "changed: block 12: КП 1: 10 -> 12", "moved: page 1, parametr 3: (10, 20) -> (30, 40)"
    QString line() const;
};

QString changeKindName(Change::Kind k);

// The scheme: blocks 1..99, their parameters and texts, wiring, steps.
QList<Change> diffSchemes(const Workspace& a, const Workspace& b);
// Page p (0..7) of two page models.
QList<Change> diffPage(const ScadaPages& a, const ScadaPages& b, int p);
// Name, netlist, link, controller, version.
QList<Change> diffSettings(const Workspace& a, const Workspace& b);
// All of it: settings, scheme, pages 1..8.
QList<Change> diffProjects(const Workspace& a, const Workspace& b);

// {"changes": [...]}
QJsonObject changesJson(const QList<Change>& changes);

// The caption of parameter (or text) k of a block type in the parameter
// editor's rows, or "p<k>" ("t<k>") when no row shows it alone.
QString parameterCaption(const BlockCatalog& catalog, int type, int k, bool text);

} // namespace ostrel
