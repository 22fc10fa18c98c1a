#include "panel/panel_session.h"

#include "platform/checked_file.h"
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QJsonDocument>
#include <QTimer>
#include <algorithm>
#include <map>
#include <unordered_map>

namespace ostrel {

struct PanelSession::Channel {
    int id = 0;
    QString name;
    bool timed = true;
    bool open = true;
    std::unique_ptr<LinkReceiver> receiver;
    // Arrival time of each piece of the stream: (offset of its first byte, ms).
    std::vector<std::pair<qint64, qint64>> chunks;
    qint64 received = 0;
    std::unordered_map<int, int> rowOfPacket; // packet index -> log row
    QTimer* idleTimer = nullptr;
};

namespace {

QString check(const LinkPacket& p)
{
    if (!p.has_checksum)
        return QStringLiteral("no CRC");
    if (p.checksumOk())
        return QStringLiteral("CRC ok");
    return QStringLiteral("CRC 0x%1, expected 0x%2")
        .arg(p.checksum_wire, 4, 16, QLatin1Char('0'))
        .arg(p.checksum_computed, 4, 16, QLatin1Char('0'));
}

QString counted(int errors, int warnings)
{
    if (errors == 0 && warnings == 0)
        return QStringLiteral("ok");
    QStringList parts;
    if (errors)
        parts << QStringLiteral("%1 error%2").arg(errors).arg(errors == 1 ? "" : "s");
    if (warnings)
        parts << QStringLiteral("%1 warning%2").arg(warnings).arg(warnings == 1 ? "" : "s");
    return parts.join(QStringLiteral(", "));
}

} // namespace

QString problemLine(const DecodeProblem& p)
{
    return (severity(p.kind) == Severity::Error ? QStringLiteral("error: ") : QStringLiteral("warning: "))
        + describe(p);
}

PanelSession::PanelSession(SessionOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), started_(QDateTime::currentDateTime())
{
    clock_.start();
}

PanelSession::~PanelSession() = default;

int PanelSession::openChannel(const QString& name, bool timed)
{
    auto c = std::make_unique<Channel>();
    c->id = nextChannel_++;
    c->name = name;
    c->timed = timed;
    ReceiverOptions ro;
    ro.version = options_.version;
    ro.call_flags = options_.call_flags;
    ro.controller = options_.controller;
    c->receiver = std::make_unique<LinkReceiver>(ro);
    if (timed && options_.idle_ms > 0) {
        c->idleTimer = new QTimer(this);
        c->idleTimer->setSingleShot(true);
        c->idleTimer->setInterval(options_.idle_ms);
        const int id = c->id;
        connect(c->idleTimer, &QTimer::timeout, this, [this, id] { idle(id); });
    }
    const int id = c->id;
    channels_.emplace(id, std::move(c));
    return id;
}

PanelSession::Channel* PanelSession::channel(int id) const
{
    const auto it = channels_.find(id);
    return it == channels_.end() ? nullptr : it->second.get();
}

QString PanelSession::channelName(int channel) const
{
    const Channel* c = this->channel(channel);
    return c ? c->name : QString();
}

void PanelSession::feed(int channel, const QByteArray& bytes) { feedAt(channel, bytes, clock_.elapsed()); }

void PanelSession::feedAt(int channel, const QByteArray& bytes, qint64 atMs)
{
    Channel* open = this->channel(channel);
    if (!open || bytes.isEmpty() || done_)
        return;
    Channel& c = *open;
    if (!c.open)
        return;
    c.chunks.emplace_back(c.received, atMs);
    c.received += bytes.size();
    c.receiver->feed(bytes);
    take(c);
    // The reports may have closed the channel.
    if (Channel* still = this->channel(channel); still && still->open && still->idleTimer)
        still->idleTimer->start();
}

void PanelSession::idle(int channel)
{
    Channel* open = this->channel(channel);
    if (!open || done_)
        return;
    Channel& c = *open;
    if (!c.open)
        return;
    c.receiver->idle();
    take(c);
}

void PanelSession::closeChannel(int channel)
{
    Channel* open = this->channel(channel);
    if (!open || !open->open)
        return;
    Channel& c = *open;
    c.open = false; // a close from within the reports below does nothing
    if (c.idleTimer)
        c.idleTimer->stop();
    if (!done_) {
        c.receiver->finish();
        take(c);
    }
    // What the channel held (its receive buffer, the decoder's state, the
    // arrival times) goes with it: a listener that stays up for thousands
    // of connections keeps none of the closed ones.
    const auto it = channels_.find(channel);
    if (it != channels_.end()) {
        delete it->second->idleTimer;
        channels_.erase(it);
    }
}

void PanelSession::closeAll()
{
    std::vector<int> ids;
    for (const auto& [id, c] : channels_)
        ids.push_back(id);
    for (int id : ids)
        closeChannel(id);
}

const DecodedPage* PanelSession::page(int index) const
{
    return index >= 0 && index < int(pages_.size()) ? pages_[size_t(index)].get() : nullptr;
}

qint64 PanelSession::arrival(Channel& c, qint64 offset)
{
    // The last piece that starts at or before `offset`; earlier pieces are
    // no longer needed, since packets come in stream order.
    auto it = std::upper_bound(c.chunks.begin(), c.chunks.end(), offset,
                               [](qint64 v, const std::pair<qint64, qint64>& ch) { return v < ch.first; });
    if (it == c.chunks.begin())
        return c.chunks.empty() ? 0 : c.chunks.front().second;
    --it;
    const qint64 at = it->second;
    c.chunks.erase(c.chunks.begin(), it);
    return at;
}

void PanelSession::take(Channel& c)
{
    LinkReceiver::Output out = c.receiver->take();
    for (const StreamEvent& e : out.events)
        logEvent(c, e);
    for (DecodedScheme& s : out.schemes)
        if (!done_)
            handleScheme(c, std::move(s));
    for (DecodedPage& p : out.pages)
        if (!done_)
            handlePage(c, std::move(p));
}

void PanelSession::logEvent(Channel& c, const StreamEvent& e)
{
    PacketLogEntry entry;
    entry.channel = c.name;
    entry.timed = c.timed;
    const qint64 offset = e.has_packet ? e.packet.offset : (e.problems.empty() ? 0 : e.problems.front().offset);
    entry.offset = std::max<qint64>(0, offset);
    if (c.timed) {
        const qint64 at = arrival(c, entry.offset);
        entry.at = started_.addMSecs(at);
        if (e.has_packet) {
            entry.gap_ms = lastPacketMs_ >= 0 ? double(at - lastPacketMs_) : -1;
            lastPacketMs_ = at;
        }
    }
    if (e.has_packet) {
        const LinkPacket& p = e.packet;
        entry.index = p.index;
        entry.packet = p.name();
        entry.controller = p.controller;
        entry.length = p.bytes.size();
        entry.check = check(p);
        entry.ignored = e.ignored;
    } else {
        entry.packet = QStringLiteral("-");
        const bool skipped = !e.problems.empty() && e.problems.front().kind == ProblemKind::SkippedBytes;
        entry.check = skipped ? QStringLiteral("skipped") : QStringLiteral("-");
        if (skipped)
            entry.length = e.problems.front().found.toLongLong();
    }
    const QString what = e.has_packet ? entry.packet : QStringLiteral("stream");
    for (const DecodeProblem& p : e.problems) {
        const bool error = severity(p.kind) == Severity::Error;
        entry.problems << problemLine(p);
        entry.error = entry.error || error;
        report(c.name + QStringLiteral(": ") + what + QStringLiteral(": ") + problemLine(p), error);
    }
    const int row = log_.append(std::move(entry));
    if (e.has_packet)
        c.rowOfPacket[e.packet.index] = row;
    emit logAppended(row);
}

int PanelSession::reportProblems(Channel& c, const QString& what, const std::vector<DecodeProblem>& problems)
{
    int errors = 0;
    for (const DecodeProblem& p : problems) {
        const bool error = severity(p.kind) == Severity::Error;
        errors += error ? 1 : 0;
        const QString line = problemLine(p);
        const auto row = c.rowOfPacket.find(p.packet);
        if (p.packet >= 0 && row != c.rowOfPacket.end()) {
            log_.addProblem(row->second, line, error);
            emit logChanged(row->second);
        }
        report(c.name + QStringLiteral(": ") + what + QStringLiteral(": ") + line, error);
    }
    return errors;
}

void PanelSession::report(const QString& line, bool error)
{
    errors_ = errors_ || error;
    problemLines_ << line;
    emit problemFound(line);
}

void PanelSession::handleScheme(Channel& c, DecodedScheme scheme)
{
    const int errors = reportProblems(c, QStringLiteral("scheme"), scheme.problems);
    const int warnings = int(scheme.problems.size()) - errors;
    const QString what = QStringLiteral("%1: scheme for controller %2: %3 blocks, version %4")
                             .arg(c.name)
                             .arg(scheme.controller)
                             .arg(scheme.blocks.size())
                             .arg(scheme.version_code);
    const bool incomplete = !scheme.complete() && errors == 0;
    scheme_ = std::move(scheme);
    int failed = 0;
    if (!options_.out_dir.isEmpty()
        && !save(QStringLiteral("scheme.json"), QJsonDocument(schemeJson(*scheme_)).toJson(QJsonDocument::Indented)))
        ++failed;
    emit schemeReceived();
    wroteOne(what, errors + failed, warnings, incomplete ? QStringLiteral(", incomplete") : QString());
}

void PanelSession::handlePage(Channel& c, DecodedPage page)
{
    const bool known = page.page >= 0 && page.page < int(pages_.size());
    const QString what = known ? QStringLiteral("page %1").arg(page.page + 1) : QStringLiteral("page");
    const int errors = reportProblems(c, what, page.problems);
    const int warnings = int(page.problems.size()) - errors;
    const QString summary = QStringLiteral("%1: %2 for controller %3").arg(c.name, what).arg(page.controller);
    int failed = 0;
    if (known) {
        const int index = page.page;
        pages_[size_t(index)] = std::make_unique<DecodedPage>(std::move(page));
        lastPage_ = index;
        const DecodedPage& stored = *pages_[size_t(index)];
        if (!options_.out_dir.isEmpty()) {
            failed += savePng(QStringLiteral("page-%1.png").arg(index + 1), pageImage(stored)) ? 0 : 1;
            failed += save(QStringLiteral("page-%1.json").arg(index + 1),
                           QJsonDocument(pageJson(stored)).toJson(QJsonDocument::Indented))
                ? 0
                : 1;
        }
        emit pageReceived(index);
    }
    wroteOne(summary, errors + failed, warnings);
}

// A file of the write that could not be written counts as one of its
// errors: the summary does not say "ok" for it.
void PanelSession::wroteOne(const QString& what, int errors, int warnings, const QString& suffix)
{
    ++writes_;
    if (!writeLog())
        ++errors;
    emit writeFinished(what + QStringLiteral(": ") + counted(errors, warnings) + suffix);
    if (options_.count > 0 && writes_ >= options_.count && !done_) {
        done_ = true;
        for (auto& [id, c] : channels_)
            if (c->idleTimer)
                c->idleTimer->stop();
        emit countReached();
    }
}

QStringList PanelSession::outputFileNames()
{
    QStringList names{QStringLiteral("scheme.json"), QStringLiteral("log.txt")};
    for (int n = 1; n <= 8; ++n)
        names << QStringLiteral("page-%1.png").arg(n) << QStringLiteral("page-%1.json").arg(n);
    return names;
}

bool PanelSession::save(const QString& fileName, const QByteArray& bytes)
{
    // The checked save names the cause ("No space left on device") and
    // leaves a device, a FIFO or a folder of that name alone.
    const QString error = saveFileChecked(QDir(options_.out_dir).filePath(fileName), bytes);
    if (!error.isEmpty()) {
        outputFailed_ = true;
        const QString line = QStringLiteral("error: cannot write ") + error;
        problemLines_ << line;
        emit problemFound(line);
    }
    return error.isEmpty();
}

bool PanelSession::savePng(const QString& fileName, const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        outputFailed_ = true;
        const QString line = QStringLiteral("error: cannot encode %1").arg(fileName);
        problemLines_ << line;
        emit problemFound(line);
        return false;
    }
    return save(fileName, png);
}

bool PanelSession::writeLog()
{
    if (options_.out_dir.isEmpty())
        return true;
    return save(QStringLiteral("log.txt"), log_.text().toUtf8());
}

} // namespace ostrel
