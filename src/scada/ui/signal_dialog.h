#pragma once
// The signal dialog (`Signal_SCADA`, "Сигнализация").
// The rules it applies live in bound_elements.h; the window only shows the
// fields, keeps the preview alive and hands its form over.
#include "scada/ui/element_dialog.h"

class QTimer;

namespace ostrel {

class SignalPreview;

class SignalDialog : public ElementDialog {
    Q_OBJECT
public:
    SignalDialog(ElementDialogContext& ctx, QWidget* owner);
    // One step of the preview blink (the 500 ms timer calls it).
    void blinkTick() { blink_->tick(); }
    QTimer* blinkTimer() const { return blink_->timer(); }

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    void closing() override;

private:
    SignalForm form() const;
    void applySizes(const SignalSizeFields& fields);
    void shapeChosen(int shape);
    void sizeTyped(bool width);
    void updatePreview();

    QLineEdit* width_ = nullptr;    // Razmer_X_Signal
    QLineEdit* height_ = nullptr;   // Razmer_Y_Signal
    QComboBox* shape_ = nullptr;    // Type_Signal
    QComboBox* listNumber_ = nullptr; // Num_List_Signal
    QCheckBox* frame_ = nullptr;    // Signal_Ramka
    QCheckBox* blinkBox_ = nullptr; // Signal_Blink
    PreviewBlink* blink_ = nullptr;
    ColorBox* color_ = nullptr;     // Color_Signal
    ColorBox* back_ = nullptr;      // Color_Signal_Fon
    SignalPreview* preview_ = nullptr; // Signal_Preview
};

} // namespace ostrel
