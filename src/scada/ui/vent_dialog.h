#pragma once
// The mechanism dialog (`Vent`, "Механизм").
// The rules it applies live in bound_elements.h; the window only shows the
// fields, keeps its animation window and hands its form over.
#include "scada/ui/element_dialog.h"
#include "scada/ui/mechanism_animation.h"

#include <memory>

namespace ostrel {

class VentDialog : public ElementDialog {
    Q_OBJECT
public:
    static constexpr int kPerRow = 8;

    VentDialog(ElementDialogContext& ctx, QWidget* owner);
    ~VentDialog() override;
    int picture() const { return picture_; }
    // Where the selection marker of picture k sits in the dialog.
    static QPoint markerPos(int k);
    MechanismAnimation* animation() const { return animation_.get(); }
    QList<QWidget*> extraWindows() const override;

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    void closing() override;

private:
    void select(int picture);
    void openAnimation();

    QLineEdit* width_ = nullptr;    // Razmer_X_Vent (shown only)
    QLineEdit* height_ = nullptr;   // Razmer_Y_Vent (shown only)
    QFrame* marker_ = nullptr;      // Vent_Marker
    int picture_ = 0;
    std::unique_ptr<MechanismAnimation> animation_;
};

} // namespace ostrel
