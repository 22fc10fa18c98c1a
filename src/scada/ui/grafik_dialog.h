#pragma once
// The graph dialog (`Grafik_SCADA`, "График").
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

namespace ostrel {

class GrafikDialog : public ElementDialog {
    Q_OBJECT
public:
    GrafikDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;

private:
    QLineEdit* width_ = nullptr;    // Grafik_Width
    QLineEdit* height_ = nullptr;   // Grafik_Height
    QComboBox* group_ = nullptr;    // Grafik_Grup
};

} // namespace ostrel
