#include "scada/ui/mechanism_animation.h"

#include "platform/interaction.h"
#include "scada/element_pictures.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace ostrel {

namespace {

constexpr int kAnimationMs = 100;
constexpr QSize kSlotSize{64, 64};

} // namespace

MechanismAnimation::MechanismAnimation(Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui_(ui)
{
    setObjectName(QStringLiteral("MECHANIZMf"));
    setWindowTitle(QStringLiteral("Механизм"));
    auto* row = new QHBoxLayout;
    for (int k = 0; k < kSlots; ++k) {
        auto* slot = new ClickLabel(this);
        slot->setObjectName(QStringLiteral("Mech_Slot_%1").arg(k));
        slot->setFixedSize(kSlotSize);
        slot->setFrameShape(QFrame::Box);
        slot->setAlignment(Qt::AlignCenter);
        slot->setToolTip(QStringLiteral("gif file"));
        connect(slot, &ClickLabel::clicked, this, [this, k] { chooseSlot(k); });
        slots_[size_t(k)] = slot;
        row->addWidget(slot);
    }
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("Mech_Preview"));
    preview_->setFixedSize(kSlotSize);
    preview_->setFrameShape(QFrame::Box);
    preview_->setAlignment(Qt::AlignCenter);
    row->addSpacing(16);
    row->addWidget(preview_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Mech_Timer"));
    timer_->setInterval(kAnimationMs);
    connect(timer_, &QTimer::timeout, this, &MechanismAnimation::tick);

    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Ok_Mech"));
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("Cancel_Mech"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* main = new QVBoxLayout(this);
    main->addLayout(row);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void MechanismAnimation::start()
{
    show();
    raise();
    activateWindow();
    timer_->start();
}

void MechanismAnimation::tick()
{
    shown_ = (shown_ + 1) % kSlots;
    const QImage& picture = pictures_[size_t(shown_)];
    if (picture.isNull())
        preview_->clear();
    else
        preview_->setPixmap(QPixmap::fromImage(picture));
}

void MechanismAnimation::chooseSlot(int slot)
{
    const QString path = ui_.openFile(kMechanismFilter);
    if (path.isEmpty())
        return;
    const QImage picture = loadPicture(path);
    if (picture.isNull()) {
        ui_.message(kBadPictureMessage);
        return;
    }
    pictures_[size_t(slot)] = picture.scaled(kSlotSize, Qt::KeepAspectRatio);
    slots_[size_t(slot)]->setPixmap(QPixmap::fromImage(pictures_[size_t(slot)]));
}

void MechanismAnimation::closeEvent(QCloseEvent* event)
{
    timer_->stop();
    event->accept();
    emit closed();
}

} // namespace ostrel
