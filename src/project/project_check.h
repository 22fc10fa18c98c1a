#pragma once
// The project check: everything that would go wrong in the plant after a
// write, found before it. The link only transmits, so an element bound to a
// block the scheme lacks, a text signal cut to its 12 characters or a page
// that cannot be encoded is otherwise only seen on the controller's display.
//
// A problem has a severity, a code (missing-block, missing-output, unbound,
// text-cut, off-page, page-encoding, picture-missing, expression,
// netlist-missing), a place and a Russian message. The check reads the
// workspace only; page encodings run on a transfer state of their own.
#include "project/project_place.h"
#include "wire/decode_problem.h" // Severity: error or warning

#include <QJsonObject>
#include <QList>
#include <QString>
#include <cstdint>

namespace ostrel {

struct Workspace;
class PagePainter;

struct Problem {
    Severity severity = Severity::Error;
    QString code;       // "missing-block"
    Place place;
    QString message;    // Russian, for the user

    bool isError() const { return severity == Severity::Error; }
    bool operator==(const Problem&) const = default;
    // {"severity", "code", "place", "message"}
    QJsonObject toJson() const;
    // "error: missing-block: page 1, parametr 3: <message>" (the place left
    // out for the project as a whole); `lead` replaces the severity.
    QString line(const QString& lead = {}) const;
};

// "error" or "warning".
QString severityName(Severity s);

// What a check looks at: the scheme (blocks and algorithm steps), some of the
// pages 1..8 (bit p for page index p), the project as a whole (its netlist).
struct CheckScope {
    bool scheme = true;
    uint8_t pages = 0xFF;
    bool project = true;
    // The pages are painted and encoded as a write would (page-encoding,
    // picture-missing and picture-incomplete of a background); false checks
    // their elements only, which is much quicker.
    bool encodings = true;

    static CheckScope all() { return {}; }
    static CheckScope schemeOnly() { return {true, 0, false, true}; }
    // Page indexes 0..7.
    static CheckScope pagesOnly(uint8_t mask) { return {false, mask, false, true}; }
    bool hasPage(int p) const { return p >= 0 && p < 8 && (pages >> p) & 1; }
};

struct CheckContext {
    // Where pictures named by file name only are looked for.
    QString projectFolder;
    // The project's netlist was not found beside it.
    bool netlistMissing = false;
    // The painter for the page encodings; the check makes its own when null.
    // Keeping one saves loading the same pictures again.
    PagePainter* painter = nullptr;
};

QList<Problem> checkProject(const Workspace& ws, const CheckContext& context,
                            const CheckScope& scope = CheckScope::all());

bool hasErrors(const QList<Problem>& problems);
// {"problems": [...]}
QJsonObject problemsJson(const QList<Problem>& problems);

} // namespace ostrel
