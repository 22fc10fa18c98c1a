#pragma once
// The dialogs of the five elements that show a value of the control scheme:
// parameter (`Parametr_Text_SCADA`, "Параметр"), signal (`Signal_SCADA`,
// "Сигнализация"), text signal (`Text_Signal_SCADA`, "Текстовая
// сигнализация"), level (`Level_SCADA`, "Уровень") and mechanism (`Vent`,
// "Механизм"), plus the mechanism's animation window (`MECHANIZMf`).
// The rules they apply live in bound_elements.h; these windows only show the
// fields, keep the previews alive and hand their forms over.
#include "scada/ui/element_dialog.h"

#include <array>

class QTimer;

namespace ostrel {

class ParametrPreview;
class SignalPreview;
class TextSignalPreview;
class LevelPreview;

class ParametrDialog : public ElementDialog {
    Q_OBJECT
public:
    ParametrDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    QStringList listEntries() const override;

private:
    ParametrForm form() const;
    void fontChosen(int position);
    void updatePreview();

    QComboBox* digits_ = nullptr;   // Parametr_Num_Znak
    QComboBox* font_ = nullptr;     // Parametr_Shrift
    QCheckBox* frame_ = nullptr;    // Parametr_Ramka
    ColorBox* color_ = nullptr;     // Color_Text
    ColorBox* back_ = nullptr;      // Color_Text_Fon
    ParametrPreview* preview_ = nullptr; // Par_Label
    QCheckBox* setpoint_ = nullptr; // Out_Zad
};

class SignalDialog : public ElementDialog {
    Q_OBJECT
public:
    SignalDialog(ElementDialogContext& ctx, QWidget* owner);
    // One step of the preview blink (the 500 ms timer calls it).
    void blinkTick();
    QTimer* blinkTimer() const { return blink_timer_; }

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    void closing() override;

private:
    SignalForm form() const;
    void applySizes(const SignalSizeFields& fields);
    void shapeChosen(int shape);
    void sizeTyped(bool width);
    void blinkToggled();
    void updatePreview();

    QLineEdit* width_ = nullptr;    // Razmer_X_Signal
    QLineEdit* height_ = nullptr;   // Razmer_Y_Signal
    QComboBox* shape_ = nullptr;    // Type_Signal
    QComboBox* listNumber_ = nullptr; // Num_List_Signal
    QCheckBox* frame_ = nullptr;    // Signal_Ramka
    QCheckBox* blink_ = nullptr;    // Signal_Blink
    ColorBox* color_ = nullptr;     // Color_Signal
    ColorBox* back_ = nullptr;      // Color_Signal_Fon
    SignalPreview* preview_ = nullptr; // Signal_Preview
    QTimer* blink_timer_ = nullptr;
    bool phase_ = false;            // true: the preview shows the off colour
};

class TextSignalDialog : public ElementDialog {
    Q_OBJECT
public:
    TextSignalDialog(ElementDialogContext& ctx, QWidget* owner);
    void blinkTick();
    QTimer* blinkTimer() const { return blink_timer_; }

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    void closing() override;

private:
    TextSignalForm form() const;
    void listNumberChosen(int number);
    void blinkToggled();
    void updatePreview();

    QComboBox* font_ = nullptr;     // Text_Signal_Shrift
    QComboBox* listNumber_ = nullptr; // Num_List_Text_Signal
    QCheckBox* frame_ = nullptr;    // Text_Signal_Ramka
    QCheckBox* blink_ = nullptr;    // Text_Signal_Blink
    ColorBox* color_ = nullptr;     // Color_Text_Signal
    ColorBox* back_ = nullptr;      // Color_Text_Signal_Fon
    QLabel* offLabel_ = nullptr;    // Label_Text_Off
    QLabel* onLabel_ = nullptr;     // Label_Text_On
    QLineEdit* textOff_ = nullptr;  // Text_Signal_Off
    QLineEdit* textOn_ = nullptr;   // Text_Signal_On
    TextSignalPreview* preview_ = nullptr; // Text_Signal_Label
    QTimer* blink_timer_ = nullptr;
    bool phase_ = false;            // true: the preview shows the on text
};

class LevelDialog : public ElementDialog {
    Q_OBJECT
public:
    LevelDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;

private:
    LevelForm form() const;
    void typeToggled();
    void sizeTyped(bool width);
    void updatePreview();

    QLineEdit* width_ = nullptr;    // Razmer_X_Level
    QLineEdit* height_ = nullptr;   // Razmer_Y_Level
    QLineEdit* scale_ = nullptr;    // Level_Scale
    QCheckBox* type_ = nullptr;     // Level_Type
    QCheckBox* frame_ = nullptr;    // Level_Ramka
    ColorBox* color_ = nullptr;     // Color_Level
    ColorBox* back_ = nullptr;      // Color_Level_Fon
    LevelPreview* preview_ = nullptr; // Level_Preview
};

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
