#pragma once
// The write of a whole plant: every controller of a plant file written with
// its own workspace, transfer engine and link, all on one event loop. Each
// write keeps the pacing and page chain of a single write (the engine runs
// the same sequences); writes over different links run side by side, writes
// over the same link (a serial device, one TCP peer) one after another. A
// failing controller stops neither the others nor the run.
//
// Before anything is sent every project is read (a project that cannot be
// read ends the run before it starts) and the part to be written is checked;
// a controller whose check finds errors is not written unless forced. Every
// part that went out completely is journalled beside its project.
#include "project/plant_file.h"
#include "project/project_check.h"
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

namespace ostrel {

enum class PlantStatus {
    Waiting,    // not started yet
    Writing,
    Succeeded,  // every part went out (or nothing had changed)
    Failed,     // the link failed, a part could not be encoded, a journal record was lost
    Refused,    // the check found errors (without force)
    Cancelled,  // the run was cancelled before this controller's write ended
};

// "waiting", "writing", "ok", "failed", "refused", "cancelled".
QString plantStatusName(PlantStatus s);

struct PlantProgress {
    PlantStatus status = PlantStatus::Waiting;
    QList<int> parts;         // what is written, in order: -1 the scheme, 0..7 pages
    int partIndex = -1;       // the part being sent now (index into parts)
    QList<int> written;       // the parts that went out completely
    qint64 plannedMs = 0;     // the whole write by the protocol's intervals
    qint64 doneMs = 0;        // of it, gone by (planned time of the parts done + this one's elapsed)
    qint64 elapsedMs = 0;     // wall time of the write
    qint64 bytes = 0;         // bytes sent
    QString sha256;           // of every byte sent, in order
    QStringList messages;     // the program's messages for this controller (link errors ...)
    QList<Problem> problems;  // the check's errors and warnings of what is written
    bool nothingChanged = false; // "changed": every part is as last written

    // The part being sent: "scheme", "page 3", or empty.
    QString currentPart() const;
    qint64 leftMs() const { return qMax<qint64>(0, plannedMs - doneMs); }
    bool ended() const { return status != PlantStatus::Waiting && status != PlantStatus::Writing; }
};

class PlantWrite : public QObject {
    Q_OBJECT
public:
    struct Options {
        int jobs = 0;          // at most this many writes at once; 0 = no limit
        bool force = false;    // write controllers whose check finds errors
        bool journal = true;   // a record for every part written
    };

    PlantWrite(const PlantFile& plant, Options options, QObject* parent = nullptr);
    ~PlantWrite() override;

    // Reads every project and decides what each controller gets. false with
    // one line per project that cannot be read (nothing is written then).
    bool load(QStringList& errors);
    // Writes controllers whose check finds errors too (before start()).
    void setForce(bool force) { options_.force = force; }
    // Starts the writes; finished() follows when the last one ends.
    void start();
    // No controller is started any more; running writes let the sequence
    // being sent run to its end and start no further part.
    void cancel();
    bool cancelled() const { return cancelled_; }
    bool running() const;

    int size() const { return int(plant_.controllers.size()); }
    const PlantController& controller(int i) const { return plant_.controllers[i]; }
    const PlantProgress& progress(int i) const;
    // The controller number written to.
    int controllerNumber(int i) const;
    // Every controller succeeded.
    bool allSucceeded() const;

    // The engine of a running write, for tests that drive the sequences
    // without waiting for the intervals; nullptr when not writing.
    class TransferEngine* engine(int i) const;

signals:
    void changed(int index);  // progress, status or messages of a controller
    void finished();

private:
    struct Job;
    void startNext();
    void startJob(Job& job);
    void startPart(Job& job);
    void endJob(Job& job, PlantStatus status);
    void onPartEnded(Job& job, bool ok);

    PlantFile plant_;
    Options options_;
    std::vector<std::unique_ptr<Job>> jobs_;
    bool started_ = false;
    bool cancelled_ = false;
    bool finishedSent_ = false;
};

} // namespace ostrel
