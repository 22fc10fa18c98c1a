#include "link/transfer_engine.h"
#include "app/workspace.h"
#include "platform/interaction.h"
#include <algorithm>

namespace ostrel {

TransferEngine::TransferEngine(Workspace& ws, Interaction& ui, QObject* parent)
    : QObject(parent), ws_(ws), ui_(ui), link_(new ControllerLink(this))
{
    for (QTimer* t : {&schemeTimer_, &pageTimer_, &chainTimer_}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer); // the intervals are part of the protocol
    }
    connect(&schemeTimer_, &QTimer::timeout, this, &TransferEngine::onSchemeTick);
    connect(&pageTimer_, &QTimer::timeout, this, &TransferEngine::onPageTick);
    connect(&chainTimer_, &QTimer::timeout, this, &TransferEngine::onChainTick);
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
}

void TransferEngine::endWrite(bool ok)
{
    stopSequences();
    setActive(false);
    emit finished(ok);
}

bool TransferEngine::startSchemeWrite()
{
    stopSequences();
    ws_.all_pages_flag = 0;
    deriveLinkTiming(ws_.settings, ws_.transfer);

    const SchemeImage image = buildSchemeImage(ws_);
    if (!image.fatal.isEmpty()) {
        setActive(false);
        emit aborted();
        ui_.message(image.fatal, kParameterErrorTitle);
        emit finished(false);
        return false;
    }
    if (!link_->openLink(ws_.settings)) {
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
    scheme_ = std::make_unique<SchemeSequence>(ws_.transfer, image, link_->usesTcp());
    setActive(true);
    emit started(true);
    emit progressChanged(0, SchemeImage::kStages);
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
    emit packetSent(t.bytes);
    emit stageSent(stage);
    schemeTimer_.start(t.nextIntervalMs);
}

bool TransferEngine::startPageSequence(int page, const std::array<QByteArray, 8>& payloads)
{
    for (size_t k = 0; k < payloads.size(); ++k)
        ws_.transfer.part_payload[k] = payloads[k];
    return startPageFromState(page);
}

bool TransferEngine::startPageFromState(int page)
{
    stopSequences();
    deriveLinkTiming(ws_.settings, ws_.transfer);
    if (!link_->openLink(ws_.settings)) {
        ws_.all_pages_flag = 0;
        setActive(false);
        emit aborted();
        ui_.message(kComPortError);
        emit finished(false);
        return false;
    }
    page_ = std::make_unique<PageSequence>(ws_.transfer, uint8_t(ws_.settings.controller_number),
                                           std::clamp(page, 0, 7), link_->usesTcp());
    setActive(true);
    emit started(false);
    emit progressChanged(0, 16);
    pageTimer_.start(page_->startIntervalMs());
    return true;
}

bool TransferEngine::startPageWrite()
{
    const int page = std::clamp<int>(ws_.current_page, 0, 7);
    if (preparer_) {
        setActive(true);
        if (!preparer_(page)) {
            ws_.all_pages_flag = 0;
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
    stopSequences();
    ws_.all_pages_flag = 1;
    ws_.current_page = 0;
    emit currentPageChanged(0);
    return startPageWrite();
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
    emit packetSent(t.bytes);
    if (page_->lastWasHeader())
        emit pageTabReselected(page_->page());
    emit pageLabelsChanged(page_->page() + 1, t.finished ? 16 : page_->packet());
    if (!t.finished) {
        pageTimer_.start(t.nextIntervalMs);
        return;
    }
    // The page is written.
    page_.reset();
    ws_.transfer.page_packet = 0;
    emit sequenceFinished();
    if (ws_.all_pages_flag == 1 && ws_.current_page < 7) {
        ws_.current_page = int16_t(ws_.current_page + 1);
        emit currentPageChanged(ws_.current_page);
        // The next page waits for the chain interval, and at least as long as
        // the controller is given to store the part just sent.
        chainTimer_.start(std::max<int>(ws_.transfer.page_chain_interval, t.nextIntervalMs));
        return;
    }
    // The last page stays the current one, so the selected tab and
    // current_page agree.
    ws_.all_pages_flag = 0;
    endWrite(true);
}

void TransferEngine::onChainTick()
{
    if (ws_.all_pages_flag != 1) {
        endWrite(false);
        return;
    }
    startPageWrite();
}

void TransferEngine::cancel()
{
    ws_.all_pages_flag = 0;
    cancelled_ = true;
    const bool running = scheme_ || page_;
    if (chainTimer_.isActive() || failing_ || (!running && active_)) {
        emit sequenceFinished();
        endWrite(false);
    }
}

void TransferEngine::projectOpened()
{
    link_->applyProjectOpened(ws_.settings, ws_.transfer);
}

} // namespace ostrel
