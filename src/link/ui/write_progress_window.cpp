#include "link/ui/write_progress_window.h"
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

namespace ostrel {

namespace {
const QString kCancelCaption = QStringLiteral("Отмена");
const QString kCloseCaption = QStringLiteral("Закрыть");
const QString kRetryingText = QStringLiteral("Нет связи с контроллером, повтор записи (попытка %1)");
const QString kFinishedText = QStringLiteral("Запись завершена");
const QString kConnectingText = QStringLiteral("Соединение с %1…");
} // namespace

WriteProgressWindow::WriteProgressWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Write_SCHEMA"));
    setModal(false);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("Write_SCHEMA_ProgressBar"));
    bar_->setRange(0, 10);
    bar_->setValue(0);
    auto* sheetCaption = new QLabel(QStringLiteral("Страница:"), this);
    sheet_ = new QLabel(this);
    sheet_->setObjectName(QStringLiteral("Numb_Sheet_SCADA"));
    auto* packetCaption = new QLabel(QStringLiteral("Пакет:"), this);
    packet_ = new QLabel(this);
    packet_->setObjectName(QStringLiteral("Num_Paket_SCADA"));
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("Write_State"));
    cancel_ = new QPushButton(kCancelCaption, this);
    cancel_->setObjectName(QStringLiteral("Command1"));
    cancel_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(bar_, 0, 0, 1, 4);
    grid->addWidget(sheetCaption, 1, 0);
    grid->addWidget(sheet_, 1, 1);
    grid->addWidget(packetCaption, 1, 2);
    grid->addWidget(packet_, 1, 3);
    grid->addWidget(state_, 2, 0, 1, 3);
    grid->addWidget(cancel_, 2, 3);
    setMinimumWidth(320);

    connect(cancel_, &QPushButton::clicked, this, &WriteProgressWindow::cancelRequested);
}

void WriteProgressWindow::reset()
{
    clearLabels();
    state_->clear();
    connecting_ = false;
    cancel_->setText(kCancelCaption);
}

void WriteProgressWindow::setProgress(int value, int maximum)
{
    if (bar_->maximum() != maximum)
        bar_->setRange(0, maximum);
    bar_->setValue(std::clamp(value, 0, maximum));
}

void WriteProgressWindow::setPageLabels(int sheet, int packet)
{
    sheet_->setText(QString::number(sheet));
    packet_->setText(QString::number(packet));
}

void WriteProgressWindow::setSchemePacket(int packet)
{
    sheet_->setText(QStringLiteral("-"));
    packet_->setText(QString::number(packet));
}

void WriteProgressWindow::setRetrying(int attempt)
{
    connecting_ = false;
    if (attempt > 0)
        state_->setText(kRetryingText.arg(attempt));
    else
        state_->clear();
}

void WriteProgressWindow::setConnecting(const QString& address)
{
    if (!address.isEmpty()) {
        state_->setText(kConnectingText.arg(address));
        connecting_ = true;
    } else if (connecting_) {
        state_->clear();
        connecting_ = false;
    }
}

void WriteProgressWindow::setFinished()
{
    connecting_ = false;
    bar_->setValue(bar_->maximum());
    state_->setText(kFinishedText);
    cancel_->setText(kCloseCaption);
}

void WriteProgressWindow::clearLabels()
{
    sheet_->clear();
    packet_->clear();
}

void WriteProgressWindow::closeEvent(QCloseEvent* event)
{
    // Closing by the program goes through hide(); a user close counts as "Отмена".
    if (event->spontaneous())
        emit cancelRequested();
    QDialog::closeEvent(event);
}

void WriteProgressWindow::reject()
{
    emit cancelRequested();
}

} // namespace ostrel
