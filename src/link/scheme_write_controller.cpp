#include "link/scheme_write_controller.h"
#include "link/write_progress_window.h"
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
    connect(&engine_, &TransferEngine::started, this, [this](bool scheme) {
        showWindow(scheme ? kSchemeWriteCaption : kPageWriteCaption);
    });
    connect(&engine_, &TransferEngine::aborted, this, &SchemeWriteController::closeWindow);
    connect(&engine_, &TransferEngine::sequenceFinished, this, &SchemeWriteController::closeWindow);
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
    showWindow(kSchemeWriteCaption);
    if (window_) {
        window_->setProgress(0, 10);
        window_->clearLabels();
    }
    engine_.startSchemeWrite(image);
}

void SchemeWriteController::setPagePreparer(TransferEngine::PagePreparer preparer)
{
    engine_.setPagePreparer(std::move(preparer));
}

void SchemeWriteController::startPageWrite(int page)
{
    showWindow(kPageWriteCaption);
    if (window_)
        window_->setPageLabels(page + 1, 0);
    engine_.startPageWrite(page);
}

void SchemeWriteController::startAllPagesWrite()
{
    showWindow(kPageWriteCaption);
    if (window_)
        window_->setPageLabels(1, 0);
    engine_.startAllPagesWrite();
}

void SchemeWriteController::startPageSequence(int page, const std::array<QByteArray, 8>& payloads)
{
    showWindow(kPageWriteCaption);
    engine_.startPageSequence(page, payloads);
}

void SchemeWriteController::projectOpened()
{
    engine_.projectOpened();
}

} // namespace ostrel
