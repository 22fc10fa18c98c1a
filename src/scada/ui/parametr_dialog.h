#pragma once
// The parameter dialog (`Parametr_Text_SCADA`, "Параметр").
// The rules it applies live in bound_elements.h; the window only shows the
// fields, keeps the preview alive and hands its form over.
#include "scada/ui/element_dialog.h"

namespace ostrel {

class ParametrPreview;

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

} // namespace ostrel
