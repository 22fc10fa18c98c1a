#pragma once
// The virtual controller without its window: takes the bytes of one or more
// channels (a TCP connection, a serial device, a recorded file), frames and
// decodes them with a LinkReceiver per channel, keeps the packet log, the
// last scheme and the last write of every page, counts the writes, collects
// the problem lines and, when told a folder, writes scheme.json,
// page-N.png, page-N.json and log.txt there.
#include "wire/link_receiver.h"
#include "panel/packet_log.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace ostrel {

struct SessionOptions {
    int version = -1;                    // controller version; -1 infers it from the bytes
    std::optional<CallFlags> call_flags; // the project's, to undo the call adjustment
    int controller = 0;                  // only this controller's packets; 0 = any
    QString out_dir;                     // where the files go; empty = no files
    int count = 0;                       // writes after which the session is done; 0 = no limit
    int idle_ms = 250;                   // quiet time after which a live channel counts as idle
};

class PanelSession : public QObject {
    Q_OBJECT
public:
    explicit PanelSession(SessionOptions options, QObject* parent = nullptr);
    ~PanelSession() override;

    // A new source of bytes. `timed`: a live link whose arrival times count
    // (a recorded file has none). Returns the channel's number.
    int openChannel(const QString& name, bool timed = true);
    // Bytes that arrived now (on the session's clock), or at `atMs` after the
    // session started (tests give times).
    void feed(int channel, const QByteArray& bytes);
    void feedAt(int channel, const QByteArray& bytes, qint64 atMs);
    // The channel has been quiet (its timer calls this after idle_ms).
    void idle(int channel);
    // The channel ended: what is open is decoded as far as it got.
    void closeChannel(int channel);
    void closeAll();
    // The name of an open channel (empty once it is closed).
    QString channelName(int channel) const;
    // Channels open now; a closed one keeps nothing.
    int openChannels() const { return int(channels_.size()); }

    const PacketLog& log() const { return log_; }
    int writes() const { return writes_; }
    bool done() const { return done_; } // --count writes were received
    const QStringList& problemLines() const { return problemLines_; }
    bool hadErrors() const { return errors_; }
    bool outputFailed() const { return outputFailed_; }
    // 0 when every write decoded without error and every file was written, else 1.
    int exitStatus() const { return errors_ || outputFailed_ ? 1 : 0; }

    const DecodedScheme* scheme() const { return scheme_ ? &*scheme_ : nullptr; }
    // The last write of page index 0..7, or nullptr.
    const DecodedPage* page(int index) const;
    int lastPage() const { return lastPage_; }

    // The names of the files written into the output folder.
    static QStringList outputFileNames();

    qint64 elapsedMs() const { return clock_.elapsed(); }
    // Writes log.txt into the output folder (nothing without one); false
    // when it could not be written (also reported as a problem line).
    bool writeLog();

signals:
    void logAppended(int row);
    void logChanged(int row);
    void schemeReceived();
    void pageReceived(int index);
    void problemFound(const QString& line);
    // One line per finished write: what it was and whether it decoded cleanly.
    void writeFinished(const QString& summary);
    void countReached();

private:
    struct Channel;
    Channel* channel(int id) const;
    void take(Channel& c);
    void logEvent(Channel& c, const StreamEvent& e);
    void handleScheme(Channel& c, DecodedScheme scheme);
    void handlePage(Channel& c, DecodedPage page);
    // Problems of a decoded write: to the rows of their packets and the problem lines.
    int reportProblems(Channel& c, const QString& what, const std::vector<DecodeProblem>& problems);
    void report(const QString& line, bool error);
    // One finished write: "what: ok" or its counts of errors and warnings.
    void wroteOne(const QString& what, int errors, int warnings, const QString& suffix = {});
    bool save(const QString& fileName, const QByteArray& bytes);
    bool savePng(const QString& fileName, const QImage& image);
    qint64 arrival(Channel& c, qint64 offset);

    SessionOptions options_;
    QElapsedTimer clock_;
    QDateTime started_;
    std::map<int, std::unique_ptr<Channel>> channels_; // the open ones
    int nextChannel_ = 0;
    PacketLog log_;
    qint64 lastPacketMs_ = -1;
    int writes_ = 0;
    bool done_ = false;
    bool errors_ = false;
    bool outputFailed_ = false;
    QStringList problemLines_;
    std::optional<DecodedScheme> scheme_;
    std::array<std::unique_ptr<DecodedPage>, 8> pages_;
    int lastPage_ = -1;
};

// The problem as a line of the log and of standard error: "error: ..." or
// "warning: ...".
QString problemLine(const DecodeProblem& p);

} // namespace ostrel
