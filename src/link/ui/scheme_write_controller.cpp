#include "link/ui/scheme_write_controller.h"
#include "link/ui/write_progress_window.h"
#include <QWidget>

namespace ostrel {

SchemeWriteController::SchemeWriteController(TransferState& transfer, const LinkSettings& settings, Interaction& ui,
                                             QWidget* parentWindow)
    : engine_(transfer, settings, ui)
{
    window_ = new WriteProgressWindow(parentWindow);
    window_->hide();
    connect(window_, &WriteProgressWindow::cancelRequested, this, [this] {
        engine_.cancel();
        closeWindow();
    });
    connect(&engine_, &TransferEngine::progressChanged, this, [this](int value, int maximum) {
        if (window_)
            window_->setProgress(value, maximum);
    });
    connect(&engine_, &TransferEngine::pageLabelsChanged, this, [this](int sheet, int packet) {
        if (window_)
            window_->setPageLabels(sheet, packet);
    });
    connect(&engine_, &TransferEngine::stageSent, this, [this](int stage) {
        if (window_)
            window_->setSchemePacket(stage + 1);
    });
    connect(&engine_, &TransferEngine::retrying, this, [this](int attempt) {
        if (window_)
            window_->setRetrying(attempt);
    });
    connect(&engine_, &TransferEngine::connectingTo, this, [this](const QString& address) {
        if (window_)
            window_->setConnecting(address);
    });
    connect(&engine_, &TransferEngine::started, this, [this](bool scheme) {
        showWindow(scheme ? kSchemeWriteCaption : kPageWriteCaption);
    });
    connect(&engine_, &TransferEngine::aborted, this, &SchemeWriteController::closeWindow);
    // Between the pages of an all-pages write the window stays; at the end of
    // a write it stays open and says so, until the user closes it. A write
    // that failed before sending (a page that cannot be encoded) keeps the
    // window with its message until "Отмена"; a port that cannot be opened
    // closes it through aborted().
    connect(&engine_, &TransferEngine::finished, this, [this](bool ok) {
        if (ok && window_ && window_->isVisible())
            window_->setFinished();
    });
    connect(&engine_, &TransferEngine::transferActiveChanged, this, &SchemeWriteController::transferActiveChanged);
    connect(&engine_, &TransferEngine::finished, this, &SchemeWriteController::finished);
    connect(&engine_, &TransferEngine::currentPageChanged, this, &SchemeWriteController::currentPageChanged);
    connect(&engine_, &TransferEngine::pageTabReselected, this, &SchemeWriteController::pageTabReselected);
}

SchemeWriteController::~SchemeWriteController()
{
    if (window_)
        delete window_.data();
}

void SchemeWriteController::showWindow(const QString& caption)
{
    if (!window_)
        return;
    window_->setWindowTitle(caption);
    window_->show();
    window_->raise();
}

void SchemeWriteController::closeWindow()
{
    if (window_)
        window_->hide();
}

void SchemeWriteController::startSchemeWrite(const SchemeImage& image)
{
    // The window shows before the link is opened, so a port error closes it again.
    if (window_) {
        window_->reset();
        window_->setProgress(0, 10);
    }
    showWindow(kSchemeWriteCaption);
    engine_.startSchemeWrite(image);
}

void SchemeWriteController::setPagePreparer(TransferEngine::PagePreparer preparer)
{
    engine_.setPagePreparer(std::move(preparer));
}

void SchemeWriteController::startPageWrite(int page)
{
    if (window_)
        window_->reset();
    showWindow(kPageWriteCaption);
    if (window_)
        window_->setPageLabels(page + 1, 0);
    engine_.startPageWrite(page);
}

void SchemeWriteController::startAllPagesWrite()
{
    startPagesWrite({0, 1, 2, 3, 4, 5, 6, 7});
}

void SchemeWriteController::startPagesWrite(const QList<int>& pages)
{
    if (pages.isEmpty())
        return;
    if (window_)
        window_->reset();
    showWindow(kPageWriteCaption);
    if (window_)
        window_->setPageLabels(pages.first() + 1, 0);
    engine_.startPagesWrite(pages);
}

void SchemeWriteController::startPageSequence(int page, const std::array<QByteArray, 8>& payloads)
{
    if (window_)
        window_->reset();
    showWindow(kPageWriteCaption);
    engine_.startPageSequence(page, payloads);
}

void SchemeWriteController::projectOpened()
{
    engine_.projectOpened();
}

} // namespace ostrel
