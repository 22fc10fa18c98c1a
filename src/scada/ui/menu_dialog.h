#pragma once
// The menu dialog (`Menu_SCADA`, "Меню").
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

namespace ostrel {

class MenuDialog : public ElementDialog {
    Q_OBJECT
public:
    MenuDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;

private:
    QComboBox* page_ = nullptr;     // List_Menu
    QString text_;                  // the opened object's text
};

} // namespace ostrel
