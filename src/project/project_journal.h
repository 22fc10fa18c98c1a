#pragma once
// The write journal seen from the project: the record of a part just
// written, and what the project would change in the controller compared
// with the last write of each part (changedParts).
#include "link/write_journal.h"
#include "project/project_diff.h"

#include <QList>
#include <array>
#include <optional>

namespace ostrel {

struct Workspace;
class PagePainter;

// The record of a part written from `ws`: the scheme (page -1) or page
// `page` (0..7), `sent` the bytes that went out, `link` where to. The
// content is the part's snapshot (project_snapshot.h); the time is now.
JournalRecord journalRecord(const Workspace& ws, int page, const QByteArray& sent, const QString& link);

// The link of the project's settings as the journal names it: "COM3" or
// "192.168.1.10:4001".
QString journalLinkName(const Workspace& ws);

// One part of the project compared with its last write.
struct PartState {
    int page = -1;                         // -1 the scheme, 0..7 a page
    std::optional<JournalRecord> last;     // nothing: never written to this controller
    bool changed = true;                   // the bytes a write would send now differ
    QList<Change> changes;                 // what differs from the last write
    QString error;                         // the part cannot be encoded now (nothing compared)

    // One line on the part, as ostrel-cli prints it: "page 3: not written
    // since 10.12.2026 14:02; 2 elements moved", "scheme: unchanged since
    // ...", "page 4: never written to controller 1".
    QString summary() const;
    // The same for the window "Что изменится": "страница 3: не записывалась
    // с 10.12.2026 14:02; 2 элемента перемещено".
    QString russianSummary() const;
    // Changes by kind: added, removed, moved, changed.
    std::array<qsizetype, 4> counts() const;
    int controller = 1;                    // the controller compared with
};

// Every part (scheme, pages 1..8) of `ws` against the last write of that
// part to the project's controller. `projectFolder` is where pictures are
// looked for; `painter` encodes the pages.
QList<PartState> changedParts(const Workspace& ws, const JournalContents& journal, PagePainter& painter,
                              const QString& projectFolder);

} // namespace ostrel
