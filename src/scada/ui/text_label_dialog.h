#pragma once
// The text dialog (`Text_Label`, "Текст").
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/element_dialog.h"

namespace ostrel {

class TextLabelDialog : public ElementDialog {
    Q_OBJECT
public:
    TextLabelDialog(ElementDialogContext& ctx, QWidget* owner);

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;

private:
    TextLabelForm form() const;
    void chooseFont();
    void updatePreview();

    QLineEdit* text_ = nullptr;     // Text_Text_Label: the text in its font and colour
    QPushButton* font_ = nullptr;   // Font_Text
    ColorBox* color_ = nullptr;     // Color_Text_Label
    TextLabelForm look_;                 // face, size, bold and italic shown
};

} // namespace ostrel
