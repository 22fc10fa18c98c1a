#pragma once
// The text-signal dialog (`Text_Signal_SCADA`, "Текстовая сигнализация").
// The rules it applies live in bound_elements.h; the window only shows the
// fields, keeps the preview alive and hands its form over.
#include "scada/ui/element_dialog.h"

class QTimer;

namespace ostrel {

class TextSignalPreview;

class TextSignalDialog : public ElementDialog {
    Q_OBJECT
public:
    TextSignalDialog(ElementDialogContext& ctx, QWidget* owner);
    void blinkTick() { blink_->tick(); }
    QTimer* blinkTimer() const { return blink_->timer(); }

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    void closing() override;

private:
    TextSignalForm form() const;
    void listNumberChosen(int number);
    void updatePreview();

    QComboBox* font_ = nullptr;     // Text_Signal_Shrift
    QComboBox* listNumber_ = nullptr; // Num_List_Text_Signal
    QCheckBox* frame_ = nullptr;    // Text_Signal_Ramka
    QCheckBox* blinkBox_ = nullptr; // Text_Signal_Blink
    PreviewBlink* blink_ = nullptr;
    ColorBox* color_ = nullptr;     // Color_Text_Signal
    ColorBox* back_ = nullptr;      // Color_Text_Signal_Fon
    QLabel* offLabel_ = nullptr;    // Label_Text_Off
    QLabel* onLabel_ = nullptr;     // Label_Text_On
    QLineEdit* textOff_ = nullptr;  // Text_Signal_Off
    QLineEdit* textOn_ = nullptr;   // Text_Signal_On
    TextSignalPreview* preview_ = nullptr; // Text_Signal_Label
};

} // namespace ostrel
