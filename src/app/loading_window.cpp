#include "app/loading_window.h"

#include <QProgressBar>
#include <QVBoxLayout>

namespace ostrel {

LoadingWindow::LoadingWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("Zagruzka"));
    setWindowTitle(QStringLiteral("Загрузка"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar1"));
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    resize(320, 60);
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, &LoadingWindow::tick);
}

int LoadingWindow::progress() const { return bar_->value(); }

void LoadingWindow::start()
{
    bar_->setValue(0);
    show();
    raise();
    timer_.start();
}

void LoadingWindow::tick()
{
    if (!timer_.isActive())
        return;
    bar_->setValue(bar_->value() + 1);
    if (bar_->value() < 100)
        return;
    timer_.stop();
    bar_->setValue(0);
    emit finished();   // the editor shows first, then this window goes
    close();
}

} // namespace ostrel
