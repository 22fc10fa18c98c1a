#pragma once
// The figure dialog (`Figura`, "Геометрическая фигура").
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

namespace ostrel {

class FiguraDialog : public ElementDialog {
    Q_OBJECT
public:
    FiguraDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;

private:
    FiguraForm form() const;
    void typeChosen(int type);

    QComboBox* type_ = nullptr;     // Type_Figura1
    QLabel* sizeLabel_ = nullptr;   // Label_Razmer_X_Figura: "Размер Х" / "Диаметр"
    QLineEdit* sizeX_ = nullptr;    // Razmer_X_Figura_Text
    QLineEdit* sizeY_ = nullptr;    // Razmer_Y_Figura_Text
    QLineEdit* line_ = nullptr;     // Width_Line_Figura_Text1
    ColorBox* color_ = nullptr;     // Color_Figura
};

} // namespace ostrel
