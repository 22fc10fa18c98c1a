#include "project/plant_write.h"
#include "link/link_settings.h"
#include "link/page_write.h"
#include "link/sequences.h"
#include "link/transfer_engine.h"
#include "link/write_journal.h"
#include "platform/headless_interaction.h"
#include "project/project_journal.h"
#include "project/project_reader.h"
#include "scada/element_pictures.h"
#include "scada/page_painter.h"
#include "wire/page_encoder.h"
#include "wire/scheme_encoder.h"
#include "wire/transfer_state.h"
#include "workspace/workspace.h"
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSet>
#include <QTimer>
#include <algorithm>

namespace ostrel {

QString plantStatusName(PlantStatus s)
{
    switch (s) {
    case PlantStatus::Waiting: return QStringLiteral("waiting");
    case PlantStatus::Writing: return QStringLiteral("writing");
    case PlantStatus::Succeeded: return QStringLiteral("ok");
    case PlantStatus::Failed: return QStringLiteral("failed");
    case PlantStatus::Refused: return QStringLiteral("refused");
    case PlantStatus::Cancelled: return QStringLiteral("cancelled");
    }
    return {};
}

QString PlantProgress::currentPart() const
{
    if (partIndex < 0 || partIndex >= parts.size())
        return {};
    const int part = parts[partIndex];
    return part < 0 ? QStringLiteral("scheme") : QStringLiteral("page %1").arg(part + 1);
}

struct PlantWrite::Job {
    int index = 0;
    const PlantController* c = nullptr;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    std::unique_ptr<HeadlessInteraction> ui;
    ElementPictures pictures;
    std::unique_ptr<PagePainter> painter;
    std::unique_ptr<TransferEngine> engine;
    QString folder;
    QString journalPath;
    PlantProgress p;
    QList<qint64> partMs;          // planned time of each part (a page with the chain's wait before it)
    QElapsedTimer clock;           // since the write started
    QElapsedTimer partClock;       // since the part being sent started
    QCryptographicHash hash{QCryptographicHash::Sha256};
    int journalFailures = 0;
    bool linkFailed = false;       // the engine ended a part with a failure
};

namespace {

// The time the scheme sequence takes by its intervals.
qint64 plannedSchemeMs(const Workspace& ws, TransferState& scratch, bool tcp)
{
    const SchemeImage image = buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number);
    SchemeSequence s(scratch, image, tcp);
    qint64 ms = s.startIntervalMs();
    for (;;) {
        const SequenceTick t = s.tick();
        if (t.finished && t.bytes.isEmpty())
            return ms;
        ms += t.nextIntervalMs;
    }
}

// The time the page in `scratch` takes by its intervals, and the wait after
// its last packet (what the page chain waits at least).
qint64 plannedPageMs(TransferState& scratch, bool tcp, int page, int& lastWait)
{
    PageSequence s(scratch, 1, page, tcp);
    qint64 ms = s.startIntervalMs();
    for (;;) {
        const SequenceTick t = s.tick();
        if (t.finished) {
            lastWait = t.nextIntervalMs;
            return ms;
        }
        ms += t.nextIntervalMs;
    }
}

} // namespace

PlantWrite::PlantWrite(const PlantFile& plant, Options options, QObject* parent)
    : QObject(parent), plant_(plant), options_(options)
{
    for (int i = 0; i < plant_.controllers.size(); ++i) {
        auto job = std::make_unique<Job>();
        job->index = i;
        job->c = &plant_.controllers[i];
        jobs_.push_back(std::move(job));
    }
}

PlantWrite::~PlantWrite()
{
    // Engines whose write ended wait for their deferred delete; they go
    // before the workspaces they were made for.
    qDeleteAll(findChildren<TransferEngine*>(Qt::FindDirectChildrenOnly));
}

const PlantProgress& PlantWrite::progress(int i) const
{
    Job& job = *jobs_[size_t(i)];
    PlantProgress& p = job.p;
    if (p.status == PlantStatus::Writing) {
        p.elapsedMs = job.clock.elapsed();
        qint64 done = 0;
        for (int k = 0; k < p.partIndex && k < job.partMs.size(); ++k)
            done += job.partMs[k];
        if (p.partIndex >= 0 && p.partIndex < job.partMs.size())
            done += std::min(job.partClock.elapsed(), job.partMs[p.partIndex]);
        p.doneMs = done;
    }
    return p;
}

int PlantWrite::controllerNumber(int i) const { return jobs_[size_t(i)]->ws->settings.controller_number; }

TransferEngine* PlantWrite::engine(int i) const
{
    const Job& job = *jobs_[size_t(i)];
    return job.p.status == PlantStatus::Writing ? job.engine.get() : nullptr;
}

bool PlantWrite::allSucceeded() const
{
    return std::all_of(jobs_.begin(), jobs_.end(),
                       [](const auto& j) { return j->p.status == PlantStatus::Succeeded; });
}

bool PlantWrite::running() const
{
    return started_ && !finishedSent_;
}

bool PlantWrite::load(QStringList& errors)
{
    for (auto& jp : jobs_) {
        Job& job = *jp;
        const PlantController& c = *job.c;
        PlantProgress& p = job.p;
        job.ui = std::make_unique<HeadlessInteraction>([&job, this](const Message& m) {
            job.p.messages << messageLine(withLinkDetail(m, [&job] {
                return job.engine ? job.engine->errorDetail() : QString();
            }));
            emit changed(job.index);
        });
        const QFileInfo info(c.project);
        if (!info.isFile() || !info.isReadable()) {
            errors << QStringLiteral("%1: cannot open %2: %3")
                          .arg(c.name, c.project, info.exists() ? QStringLiteral("not a readable file")
                                                                : QStringLiteral("no such file"));
            continue;
        }
        HeadlessInteraction quiet;
        const ProjectReadResult r = readProject(*job.ws, c.project, quiet);
        if (!r.loaded()) {
            errors << QStringLiteral("%1: %2").arg(c.name, r.error.isEmpty() ? QStringLiteral("cannot read ") + c.project
                                                                             : c.project + QStringLiteral(": ") + r.error);
            continue;
        }
        Workspace& ws = *job.ws;
        const bool scheme = c.what != PlantWhat::Pages;
        if (scheme && (r.status == ProjectReadStatus::NetlistMissing || ws.scheme_without_netlist)) {
            errors << QStringLiteral("%1: netlist not found: %2").arg(c.name, r.netlistPath);
            continue;
        }
        if (scheme && r.importError) {
            errors << QStringLiteral("%1: the import of the netlist %2 ended with an error").arg(c.name, r.netlistPath);
            continue;
        }
        if (c.controller)
            ws.settings.controller_number = int16_t(*c.controller);
        // The plant file's link, not the one the project was saved with.
        if (c.usesTcp()) {
            ws.settings.link_port = LinkSettings::kTcpPort;
            ws.settings.ip_address = c.tcpHost;
            ws.settings.tcp_port = c.tcpPort;
        } else {
            ws.settings.link_port = LinkSettings::kFirstComPort;
        }
        job.folder = info.absolutePath();
        job.journalPath = journalPathFor(info.absoluteFilePath());
        job.painter = std::make_unique<PagePainter>(job.pictures);

        switch (c.what) {
        case PlantWhat::Scheme: p.parts = {-1}; break;
        case PlantWhat::Pages: p.parts = {0, 1, 2, 3, 4, 5, 6, 7}; break;
        case PlantWhat::All: p.parts = {-1, 0, 1, 2, 3, 4, 5, 6, 7}; break;
        case PlantWhat::Changed: {
            const JournalContents journal = readJournal(job.journalPath);
            for (const PartState& s : changedParts(ws, journal, *job.painter, job.folder))
                if (s.changed)
                    p.parts << s.page;
            p.nothingChanged = p.parts.isEmpty();
            break;
        }
        }

        CheckScope scope{false, 0, false};
        for (int part : p.parts) {
            if (part < 0)
                scope.scheme = true;
            else
                scope.pages |= uint8_t(1u << part);
        }
        if (!p.parts.isEmpty()) {
            CheckContext context;
            context.projectFolder = job.folder;
            context.painter = job.painter.get();
            p.problems = checkProject(ws, context, scope);
        }

        // The plan: each part's time by the protocol's intervals, on a
        // transfer state of its own.
        auto scratch = std::make_unique<TransferState>();
        deriveLinkTiming(ws.settings, *scratch);
        const bool tcp = c.usesTcp();
        int lastWait = 0;
        bool firstPage = true;
        for (int part : p.parts) {
            qint64 ms = 0;
            if (part < 0) {
                ms = plannedSchemeMs(ws, *scratch, tcp);
            } else {
                if (!firstPage)
                    ms += std::max<qint64>(scratch->page_chain_interval, lastWait);
                firstPage = false;
                if (preparePage(*job.painter, ws.pages, part, ws.version_code, job.folder, *scratch).ok)
                    ms += plannedPageMs(*scratch, tcp, part, lastWait);
            }
            job.partMs << ms;
            p.plannedMs += ms;
        }
    }
    return errors.isEmpty();
}

void PlantWrite::start()
{
    started_ = true;
    for (auto& jp : jobs_) {
        Job& job = *jp;
        if (job.p.status != PlantStatus::Waiting)
            continue;
        if (!options_.force && hasErrors(job.p.problems)) {
            job.p.status = PlantStatus::Refused;
            emit changed(job.index);
        } else if (job.p.parts.isEmpty()) {
            job.p.status = PlantStatus::Succeeded;
            emit changed(job.index);
        }
    }
    startNext();
}

void PlantWrite::startNext()
{
    if (finishedSent_)
        return;
    QSet<QString> busy;
    int running = 0;
    for (const auto& jp : jobs_)
        if (jp->p.status == PlantStatus::Writing) {
            busy.insert(jp->c->link());
            ++running;
        }
    for (auto& jp : jobs_) {
        Job& job = *jp;
        if (cancelled_ && job.p.status == PlantStatus::Waiting) {
            job.p.status = PlantStatus::Cancelled;
            emit changed(job.index);
            continue;
        }
        if (job.p.status != PlantStatus::Waiting || busy.contains(job.c->link()))
            continue;
        if (options_.jobs > 0 && running >= options_.jobs)
            break;
        busy.insert(job.c->link());
        ++running;
        startJob(job);
        if (job.p.status == PlantStatus::Writing)
            continue;
        // It ended at once (the link could not be opened): its place is free.
        busy.remove(job.c->link());
        --running;
    }
    if (running == 0 && std::all_of(jobs_.begin(), jobs_.end(), [](const auto& j) { return j->p.ended(); })) {
        finishedSent_ = true;
        emit finished();
    }
}

void PlantWrite::startJob(Job& job)
{
    Workspace& ws = *job.ws;
    job.engine = std::make_unique<TransferEngine>(ws.transfer, ws.settings, *job.ui);
    TransferEngine& e = *job.engine;
    e.setRetryOnFailure(false);
    if (!job.c->usesTcp()) {
        const QString device = job.c->serialDevice;
        e.link().serialDeviceName = [device](int) { return device; };
    }
    e.setPagePreparer(makePagePreparer(*job.painter, ws.pages, ws.version_code,
                                       [folder = job.folder] { return folder; }, ws.transfer, *job.ui));
    connect(&e, &TransferEngine::packetSent, this, [this, &job](const QByteArray& b) {
        job.hash.addData(b);
        job.p.bytes += b.size();
        emit changed(job.index);
    });
    connect(&e, &TransferEngine::started, this, [this, &job](bool scheme) {
        if (scheme) {
            job.p.partIndex = int(job.p.parts.indexOf(-1));
            job.partClock.start();
        }
        emit changed(job.index);
    });
    connect(&e, &TransferEngine::currentPageChanged, this, [this, &job](int page) {
        job.p.partIndex = int(job.p.parts.indexOf(page));
        job.partClock.start();
        emit changed(job.index);
    });
    connect(&e, &TransferEngine::partWritten, this, [this, &job](int page, const QByteArray& sent) {
        job.p.written << page;
        if (options_.journal) {
            const QString error = recordWrite(job.journalPath, journalRecord(*job.ws, page, sent, job.c->link()));
            if (!error.isEmpty()) {
                job.p.messages << QStringLiteral("cannot write the journal ") + error;
                ++job.journalFailures;
            }
        }
        emit changed(job.index);
    });
    connect(&e, &TransferEngine::finished, this, [this, &job](bool ok) { onPartEnded(job, ok); });
    job.p.status = PlantStatus::Writing;
    job.clock.start();
    job.partClock.start();
    emit changed(job.index);
    startPart(job);
}

void PlantWrite::startPart(Job& job)
{
    const QList<int>& parts = job.p.parts;
    const int next = job.p.written.size();
    TransferEngine& e = *job.engine;
    if (parts[next] < 0) {
        const Workspace& ws = *job.ws;
        e.startSchemeWrite(buildSchemeImage(ws.blocks, ws.catalog, ws.alg, ws.settings.controller_number));
    } else {
        e.startPagesWrite(parts.mid(next));
    }
    // A start that fails has already ended the part with finished(false).
}

void PlantWrite::onPartEnded(Job& job, bool ok)
{
    if (job.p.status != PlantStatus::Writing)
        return;
    if (!ok) {
        job.linkFailed = true;
        endJob(job, cancelled_ ? PlantStatus::Cancelled : PlantStatus::Failed);
        return;
    }
    if (job.p.written.size() < job.p.parts.size()) {
        if (cancelled_) {
            endJob(job, PlantStatus::Cancelled);
            return;
        }
        // The scheme is written; the pages follow. Started from the event
        // loop, not from within the engine's own signal.
        QTimer::singleShot(0, this, [this, &job] {
            if (job.p.status != PlantStatus::Writing)
                return;
            if (cancelled_)
                endJob(job, PlantStatus::Cancelled);
            else
                startPart(job);
        });
        return;
    }
    endJob(job, job.journalFailures ? PlantStatus::Failed : PlantStatus::Succeeded);
}

void PlantWrite::endJob(Job& job, PlantStatus status)
{
    PlantProgress& p = job.p;
    p.elapsedMs = job.clock.elapsed();
    if (status == PlantStatus::Succeeded)
        p.doneMs = p.plannedMs;
    p.partIndex = -1;
    p.status = status;
    if (p.bytes > 0)
        p.sha256 = QString::fromLatin1(job.hash.result().toHex());
    emit changed(job.index);
    // The engine may be inside its own signal: it goes once the loop is back.
    // A serial device is given up now, though: the next controller on it
    // may start before the engine is gone, and the device is opened
    // exclusively. (Every byte was handed to the device at its send.)
    if (job.engine) {
        job.engine->link().serial().close();
        job.engine->disconnect(this);
        TransferEngine* engine = job.engine.release();
        engine->setParent(this);
        engine->deleteLater();
    }
    QTimer::singleShot(0, this, &PlantWrite::startNext);
}

void PlantWrite::cancel()
{
    if (cancelled_)
        return;
    cancelled_ = true;
    for (auto& jp : jobs_) {
        Job& job = *jp;
        if (job.p.status == PlantStatus::Waiting) {
            job.p.status = PlantStatus::Cancelled;
            emit changed(job.index);
        } else if (job.p.status == PlantStatus::Writing && job.engine) {
            job.engine->cancel();
        }
    }
    QTimer::singleShot(0, this, &PlantWrite::startNext);
}

} // namespace ostrel
