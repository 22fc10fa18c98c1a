#pragma once
// The level dialog (`Level_SCADA`, "Уровень").
// The rules it applies live in bound_elements.h; the window only shows the
// fields, keeps the preview alive and hands its form over.
#include "scada/ui/element_dialog.h"

namespace ostrel {

class LevelPreview;

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

} // namespace ostrel
