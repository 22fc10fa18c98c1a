#pragma once
// Runs the transfer sequences on the link with timers: opens the link, sends
// each tick's packet, applies the intervals, handles failing sends, and chains
// the pages of an all-pages write. No windows: the progress window listens to
// the signals; the command-line tool uses it as it is.
#include "link/controller_link.h"
#include "link/sequences.h"
#include <QObject>
#include <QList>
#include <QTimer>
#include <functional>
#include <memory>

namespace ostrel {

struct LinkSettings;
struct Message;
struct SchemeImage;
struct TransferState;
class Interaction;

inline const QString kComPortError = QStringLiteral("Ошибка СОМ порта!");
inline const QString kPortError = QStringLiteral("Ошибка порта!!!");

// A link error ("Ошибка порта!!!", "Ошибка СОМ порта!") with the link's
// address and cause after it ("Ошибка порта!!! 127.0.0.1:5029: connection
// refused"), `detail` asked only then; any other message as it is.
Message withLinkDetail(const Message& m, const std::function<QString()>& detail);

class TransferEngine : public QObject {
    Q_OBJECT
public:
    // The engine reads the link settings when a write starts and keeps the
    // link's state in `transfer`.
    TransferEngine(TransferState& transfer, const LinkSettings& settings, Interaction& ui, QObject* parent = nullptr);
    ~TransferEngine() override;

    ControllerLink& link() { return *link_; }

    // true (default): a failing send shows "Ошибка порта!!!" once per run of
    // failures and the sequence retries at its next tick. false: the first
    // failing send ends the write with finished(false) (for unattended use).
    void setRetryOnFailure(bool retry) { retry_ = retry; }

    // Scheme write of the serialised scheme: derives the timing from the link
    // port, opens the link and starts the sequence. A write already running is
    // stopped and the new one starts at stage 0. false when nothing was started
    // (the message has been shown).
    bool startSchemeWrite(const SchemeImage& image);

    // Renders page `page` into the transfer state's part_payload (and
    // tx_buffer); false stops the write (the preparer has shown its message).
    using PagePreparer = std::function<bool(int page)>;
    void setPagePreparer(PagePreparer preparer) { preparer_ = std::move(preparer); }

    // Page write of page `page` (0..7): the preparer (if any), then the sequence.
    bool startPageWrite(int page);
    // All pages: page 0 (currentPageChanged(0)), then page after page; each
    // move to the next page is announced with currentPageChanged.
    bool startAllPagesWrite();
    // The same chain over the given pages (0..7) in the order given, for a
    // write of the pages that changed since their last write.
    bool startPagesWrite(const QList<int>& pages);
    // The page sequence with the given part payloads (band length in their
    // first two bytes), for page index `page`.
    bool startPageSequence(int page, const std::array<QByteArray, 8>& payloads);

    // "Отмена": no further page is started; a sequence stuck retrying a
    // failing send is ended; a sequence that is sending runs to its end, but
    // a failing send then ends it instead of retrying (nobody can cancel it
    // any more once the progress window is closed).
    void cancel();

    // The link part of opening a project (timing, TCP connect or close).
    void projectOpened();

    // Runs the tick whose timer is pending (page, scheme or page chain) now
    // instead of when its interval runs out, for callers that pace the
    // sequence themselves; false when no tick is pending.
    bool tickNow();

    bool isActive() const { return active_; }
    // An all-pages write is running and will start further pages.
    bool writingAllPages() const { return allPages_; }
    bool isRetrying() const { return failing_; }
    // Cause and address of the last link failure ("127.0.0.1:5020: connection
    // refused"), to go with "Ошибка порта!!!" or "Ошибка СОМ порта!".
    QString errorDetail() const { return link_->errorDetail(); }
    // How often a send waits for a TCP connection that is still being set up.
    static constexpr int kConnectPollMs = 50;
    bool schemeRunning() const { return bool(scheme_); }
    bool pageRunning() const { return bool(page_); }

signals:
    void transferActiveChanged(bool active);  // settings dialog disabled while true
    void started(bool scheme);                // a sequence started (scheme or page)
    void progressChanged(int value, int maximum);
    void pageLabelsChanged(int sheet, int packet);
    void pageTabReselected(int page);         // after each page header packet
    void currentPageChanged(int page);        // the all-pages chain moved on
    void aborted();                           // nothing was started: close the progress window
    void sequenceFinished();                  // a sequence ended (a page of a chain, or the write)
    void packetSent(const QByteArray& bytes);
    void packetFailed(const QByteArray& bytes);  // a send that did not go out
    // The failing packet is being tried again: the number of the attempt
    // (1 = the first retry), 0 once a send got through again.
    void retrying(int attempt);
    void stageSent(int stage);                // scheme packet of that stage went out (0..9)
    // The write waits for its TCP connection to "host:port"; an empty
    // address once the attempt has ended (connected or not). Not sent while
    // the write is retrying after a failure.
    void connectingTo(const QString& address);
    void finished(bool ok);                   // the whole write is over
    // A part went out completely: the scheme (page -1) or page `page`
    // (0..7), with every byte sent for it, in order (what the journal
    // hashes).
    void partWritten(int page, const QByteArray& sent);

private:
    void onSchemeTick();
    void onPageTick();
    void onChainTick();
    void stopSequences();
    void setActive(bool active);
    void endWrite(bool ok);
    bool startPageFromState(int page);
    void handleFailure(int retryInterval, QTimer& timer);
    bool waitForConnection(QTimer& timer);
    void announceConnecting();
    void endConnectingNote();
    void sendSucceeded();

    TransferState& transfer_;
    const LinkSettings& settings_;
    Interaction& ui_;
    ControllerLink* link_;
    QTimer schemeTimer_;
    QTimer pageTimer_;
    QTimer chainTimer_;
    std::unique_ptr<SchemeSequence> scheme_;
    std::unique_ptr<PageSequence> page_;
    PagePreparer preparer_;
    bool retry_ = true;
    bool allPages_ = false;  // the page chain goes on after the page being written
    int chainPage_ = 0;      // page the all-pages chain is at
    QList<int> chainPages_;  // the pages of the chain, in order
    qsizetype chainIndex_ = 0; // chainPage_'s place in chainPages_
    bool active_ = false;
    bool failing_ = false;
    int attempts_ = 0;       // retries of the failing packet so far
    bool cancelled_ = false; // "Отмена" was pressed while this sequence ran
    bool connectingShown_ = false; // connectingTo announced an address
    quint64 generation_ = 0;
    QByteArray partSent_;    // the bytes sent for the part in progress
};

} // namespace ostrel
