#pragma once
// What a write sends, as JSON: the scheme (block types, parameters, texts,
// wiring, the algorithm steps and call marks) and a page (background and the
// records of its elements, under the page model's field names). The write
// journal keeps these with every write; the diff reads them back into a
// model and compares that with the project as it stands.
#include <QJsonObject>

namespace ostrel {

struct Workspace;
struct ScadaPages;

QJsonObject schemeSnapshot(const Workspace& ws);
// Page p (0..7): only the slots in use.
QJsonObject pageSnapshot(const ScadaPages& pages, int p);

// Back into a model. The scheme replaces the block table, the call marks
// and the version of `ws` (blocks are laid out by the allocation rule); the
// page replaces page p of `pages`. false when the object is not a snapshot
// of that kind.
bool schemeFromSnapshot(const QJsonObject& o, Workspace& ws);
bool pageFromSnapshot(const QJsonObject& o, ScadaPages& pages, int p);

} // namespace ostrel
