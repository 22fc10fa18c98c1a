#pragma once
// The go-to dialog (`Go_Block_SCADA`, "Блок ").
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

namespace ostrel {

class GoBlockDialog : public ElementDialog {
    Q_OBJECT
public:
    GoBlockDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;
    QString listError() const override { return kGoListPositionError; }

private:
    void processClicked(bool ticked);
    void refreshList();

    QCheckBox* process_ = nullptr;  // Process_Sozdat
    QCheckBox* locked_ = nullptr;   // Blokirovka
};

} // namespace ostrel
