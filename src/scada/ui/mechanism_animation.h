#pragma once
// The mechanism's animation window, opened from the mechanism dialog.
#include "scada/ui/element_dialog.h"

#include <QImage>
#include <QWidget>
#include <array>

class QTimer;

namespace ostrel {

// `MECHANIZMf` ("Механизм"): four picture slots and a preview that shows
// them in turn every 100 ms. Nothing of it is stored.
class MechanismAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSlots = 4;

    MechanismAnimation(Interaction& ui, QWidget* parent = nullptr);
    void start();
    // One step of the preview (the 100 ms timer calls it).
    void tick();
    QTimer* timer() const { return timer_; }
    const QImage& slotPicture(int slot) const { return pictures_[size_t(slot)]; }
    int shownSlot() const { return shown_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseSlot(int slot);

    Interaction& ui_;
    std::array<ClickLabel*, kSlots> slots_{};
    std::array<QImage, kSlots> pictures_{};
    QLabel* preview_ = nullptr;     // Mech_Preview
    QTimer* timer_ = nullptr;
    int shown_ = -1;
};

} // namespace ostrel
