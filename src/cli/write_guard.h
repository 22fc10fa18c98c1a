#pragma once
// What every write of ostrel-cli does around the link: the project check of
// what it sends first (its errors as warning lines, or with --strict a
// refusal), and the journal of the parts that went out completely.
#include <QObject>
#include <QString>
#include <memory>

namespace ostrel {
struct Workspace;
struct CheckContext;
struct CheckScope;
class TransferEngine;
}

namespace ostrel::cli {

// Prints the errors of the check as "warning: CODE: PLACE: MESSAGE" lines
// and returns true; with `strict` prints them as "error: ..." lines and
// returns false when there is one. Encoding errors are left to the write,
// which reports them itself and sends nothing, and so is (without `strict`)
// a background picture that cannot be loaded: the write says so and sends
// the fill colour.
bool checkBeforeWrite(const Workspace& ws, const CheckContext& context, const CheckScope& scope, bool strict);

// Appends a journal record to `journalPath` for every part `engine` writes
// completely. A record that cannot be written is printed at once and counted
// in `failures`. Lives as long as the returned object.
class JournalOfWrites {
public:
    JournalOfWrites(TransferEngine& engine, const Workspace& ws, const QString& journalPath, const QString& link);
    int failures() const { return failures_; }

private:
    std::unique_ptr<QObject> scope_ = std::make_unique<QObject>(); // the connection ends with it
    int failures_ = 0;
};

} // namespace ostrel::cli
