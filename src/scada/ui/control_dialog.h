#pragma once
// The control dialog (`Image_Control`, "Элемент управления"); its button
// palette is `Type_Control` (control_type_palette.h).
// The rules it applies live in static_elements.h; the window only shows the
// fields and hands its form over.
#include "scada/static_elements.h"
#include "scada/ui/control_type_palette.h"
#include "scada/ui/element_dialog.h"

#include <memory>

namespace ostrel {

class ControlDialog : public ElementDialog {
    Q_OBJECT
public:
    ControlDialog(ElementDialogContext& ctx, QWidget* owner);
    ~ControlDialog() override;
    ControlTypePalette* palette() const { return palette_.get(); }
    // The picture the preview shows (white ground).
    const QImage& previewPicture() const { return picture_; }
    QList<QWidget*> extraWindows() const override;

protected:
    bool load() override;
    std::optional<PageChanges> okPressed() override;
    PageChanges deletePressed() override;
    void closing() override;
    QStringList listEntries() const override;

private:
    void typeChosen(int type);
    void openPalette();
    void loadPicture();
    void showPicture(const QImage& picture, QSize size);

    QLineEdit* width_ = nullptr;    // Razmer_X_Control (shown only)
    QLineEdit* height_ = nullptr;   // Razmer_Y_Control (shown only)
    QComboBox* type_ = nullptr;     // Type_Key
    ClickLabel* preview_ = nullptr; // Image_Control_Wiew
    QLineEdit* file_ = nullptr;     // Name_Control_Gif
    QPushButton* load_ = nullptr;   // Load_Control_GIF
    QImage picture_;
    std::unique_ptr<ControlTypePalette> palette_;
};

} // namespace ostrel
