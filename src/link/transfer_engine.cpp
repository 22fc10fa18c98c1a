#include "link/transfer_engine.h"
#include "link/link_settings.h"
#include "wire/scheme_encoder.h"
#include "wire/transfer_state.h"
#include "platform/interaction.h"
#include <algorithm>

namespace ostrel {

Message withLinkDetail(const Message& m, const std::function<QString()>& detail)
{
    if (detail && (m.text == kPortError || m.text == kComPortError)) {
        const QString d = detail();
        if (!d.isEmpty())
            return {m.text + u' ' + d, m.title, m.icon};
    }
    return m;
}

TransferEngine::TransferEngine(TransferState& transfer, const LinkSettings& settings, Interaction& ui,
                               QObject* parent)
    : QObject(parent), transfer_(transfer), settings_(settings), ui_(ui), link_(new ControllerLink(this))
{
    for (QTimer* t : {&schemeTimer_, &pageTimer_, &chainTimer_}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer); // the intervals are part of the protocol
    }
    connect(&schemeTimer_, &QTimer::timeout, this, &TransferEngine::onSchemeTick);
    connect(&pageTimer_, &QTimer::timeout, this, &TransferEngine::onPageTick);
    connect(&chainTimer_, &QTimer::timeout, this, &TransferEngine::onChainTick);
    connect(&link_->tcp(), &TcpTransport::connectingChanged, this, [this](bool connecting) {
        if (!connecting)
            endConnectingNote();
    });
}

TransferEngine::~TransferEngine() = default;

void TransferEngine::setActive(bool active)
{
    if (active_ == active)
        return;
    active_ = active;
    emit transferActiveChanged(active);
}

void TransferEngine::stopSequences()
{
    ++generation_;
    schemeTimer_.stop();
    pageTimer_.stop();
    chainTimer_.stop();
    scheme_.reset();
    page_.reset();
    if (failing_)
        emit retrying(0);
    failing_ = false;
    attempts_ = 0;
    cancelled_ = false;
    endConnectingNote();
}

void TransferEngine::announceConnecting()
{
    // During a run of failures the window shows the retrying instead.
    if (connectingShown_ || failing_ || !link_->connecting())
        return;
    connectingShown_ = true;
    emit connectingTo(link_->tcpAddress());
}

void TransferEngine::endConnectingNote()
{
    if (!connectingShown_)
        return;
    connectingShown_ = false;
    emit connectingTo(QString());
}

void TransferEngine::endWrite(bool ok)
{
    stopSequences();
    setActive(false);
    emit finished(ok);
}

bool TransferEngine::startSchemeWrite(const SchemeImage& image)
{
    stopSequences();
    allPages_ = false;
    deriveLinkTiming(settings_, transfer_);

    if (!image.fatal.isEmpty()) {
        setActive(false);
        emit aborted();
        ui_.message(image.fatal, kParameterErrorTitle);
        emit finished(false);
        return false;
    }
    if (!link_->openLink(settings_)) {
        setActive(false);
        emit aborted();
        ui_.message(kComPortError);
        emit finished(false);
        return false;
    }
    const quint64 gen = generation_;
    if (image.parameterError) {
        ui_.message(kParameterError, kParameterErrorTitle);
        if (gen != generation_)
            return false; // another write was started meanwhile
    }
    scheme_ = std::make_unique<SchemeSequence>(transfer_, image, link_->usesTcp());
    partSent_.clear();
    setActive(true);
    emit started(true);
    emit progressChanged(0, SchemeImage::kStages);
    announceConnecting();
    schemeTimer_.start(scheme_->startIntervalMs());
    return true;
}

void TransferEngine::handleFailure(int retryInterval, QTimer& timer)
{
    if (!retry_ || cancelled_) {
        stopSequences();
        emit sequenceFinished();
        ui_.message(kPortError);
        endWrite(false);
        return;
    }
    if (failing_) {
        emit retrying(++attempts_);
        timer.start(retryInterval); // one message per run of failures
        return;
    }
    failing_ = true;
    attempts_ = 0;
    const quint64 gen = generation_;
    // No tick while the message is open: a modal box runs its own event loop.
    ui_.message(kPortError);
    if (gen == generation_ && (scheme_ || page_)) {
        emit retrying(++attempts_);
        timer.start(retryInterval);
    }
}

bool TransferEngine::waitForConnection(QTimer& timer)
{
    // A connection still being set up (a lost SYN is sent again after 1 s)
    // holds the sequence back; the transport gives it up after its timeout.
    if (!link_->connecting())
        return false;
    announceConnecting();
    timer.start(kConnectPollMs);
    return true;
}

void TransferEngine::sendSucceeded()
{
    if (failing_)
        emit retrying(0);
    failing_ = false;
    attempts_ = 0;
}

void TransferEngine::onSchemeTick()
{
    if (!scheme_ || waitForConnection(schemeTimer_))
        return;
    const int stage = scheme_->stage();
    emit progressChanged(stage, SchemeImage::kStages);
    const SequenceTick t = scheme_->tick();
    if (t.finished) {
        scheme_.reset();
        emit partWritten(-1, partSent_);
        emit sequenceFinished();
        endWrite(true);
        return;
    }
    if (!link_->send(t.bytes)) {
        emit packetFailed(t.bytes);
        handleFailure(scheme_->sendFailed(), schemeTimer_);
        return;
    }
    sendSucceeded();
    partSent_.append(t.bytes);
    emit packetSent(t.bytes);
    emit stageSent(stage);
    schemeTimer_.start(t.nextIntervalMs);
}

bool TransferEngine::startPageSequence(int page, const std::array<QByteArray, 8>& payloads)
{
    for (size_t k = 0; k < payloads.size(); ++k)
        transfer_.part_payload[k] = payloads[k];
    return startPageFromState(page);
}

bool TransferEngine::startPageFromState(int page)
{
    stopSequences();
    deriveLinkTiming(settings_, transfer_);
    if (!link_->openLink(settings_)) {
        allPages_ = false;
        setActive(false);
        emit aborted();
        ui_.message(kComPortError);
        emit finished(false);
        return false;
    }
    page_ = std::make_unique<PageSequence>(transfer_, uint8_t(settings_.controller_number),
                                           std::clamp(page, 0, 7), link_->usesTcp());
    partSent_.clear();
    setActive(true);
    emit started(false);
    emit progressChanged(0, 16);
    announceConnecting();
    pageTimer_.start(page_->startIntervalMs());
    return true;
}

bool TransferEngine::startPageWrite(int page)
{
    page = std::clamp(page, 0, 7);
    if (preparer_) {
        setActive(true);
        if (!preparer_(page)) {
            allPages_ = false;
            stopSequences();
            setActive(false);
            emit finished(false);
            return false;
        }
    }
    return startPageFromState(page);
}

bool TransferEngine::startAllPagesWrite()
{
    return startPagesWrite({0, 1, 2, 3, 4, 5, 6, 7});
}

bool TransferEngine::startPagesWrite(const QList<int>& pages)
{
    stopSequences();
    if (pages.isEmpty())
        return false;
    chainPages_ = pages;
    chainIndex_ = 0;
    allPages_ = true;
    chainPage_ = std::clamp(chainPages_[0], 0, 7);
    emit currentPageChanged(chainPage_);
    return startPageWrite(chainPage_);
}

void TransferEngine::onPageTick()
{
    if (!page_ || waitForConnection(pageTimer_))
        return;
    emit progressChanged(page_->packet(), 16);
    const SequenceTick t = page_->tick();
    if (t.bytes.isEmpty() && t.finished) {
        page_.reset();
        emit sequenceFinished();
        endWrite(true);
        return;
    }
    if (!link_->send(t.bytes)) {
        emit packetFailed(t.bytes);
        handleFailure(page_->sendFailed(), pageTimer_);
        return;
    }
    sendSucceeded();
    partSent_.append(t.bytes);
    emit packetSent(t.bytes);
    if (page_->lastWasHeader())
        emit pageTabReselected(page_->page());
    emit pageLabelsChanged(page_->page() + 1, t.finished ? 16 : page_->packet());
    if (!t.finished) {
        pageTimer_.start(t.nextIntervalMs);
        return;
    }
    // The page is written.
    const int written = page_->page();
    page_.reset();
    transfer_.page_packet = 0;
    emit partWritten(written, partSent_);
    emit sequenceFinished();
    if (allPages_ && chainIndex_ + 1 < chainPages_.size()) {
        chainPage_ = std::clamp(chainPages_[++chainIndex_], 0, 7);
        emit currentPageChanged(chainPage_);
        // The next page waits for the chain interval, and at least as long as
        // the controller is given to store the part just sent.
        chainTimer_.start(std::max<int>(transfer_.page_chain_interval, t.nextIntervalMs));
        return;
    }
    // The last page stays the current one, so the selected tab and the
    // current page agree.
    allPages_ = false;
    endWrite(true);
}

void TransferEngine::onChainTick()
{
    if (!allPages_) {
        endWrite(false);
        return;
    }
    startPageWrite(chainPage_);
}

void TransferEngine::cancel()
{
    allPages_ = false;
    cancelled_ = true;
    const bool running = scheme_ || page_;
    if (chainTimer_.isActive() || failing_ || (!running && active_)) {
        emit sequenceFinished();
        endWrite(false);
    }
}

bool TransferEngine::tickNow()
{
    if (pageTimer_.isActive()) {
        pageTimer_.stop();
        onPageTick();
    } else if (schemeTimer_.isActive()) {
        schemeTimer_.stop();
        onSchemeTick();
    } else if (chainTimer_.isActive()) {
        chainTimer_.stop();
        onChainTick();
    } else {
        return false;
    }
    return true;
}

void TransferEngine::projectOpened()
{
    link_->applyProjectOpened(settings_, transfer_);
}

} // namespace ostrel
