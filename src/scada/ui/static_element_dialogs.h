#pragma once
// The dialogs of the elements that show no scheme value: figure (`Figura`,
// "Геометрическая фигура"), text (`Text_Label`, "Текст"), graph
// (`Grafik_SCADA`, "График"), control (`Image_Control`, "Элемент
// управления") with its button palette (`Type_Control`, "Тип управления"),
// menu (`Menu_SCADA`, "Меню") and go-to (`Go_Block_SCADA`, "Блок "). The
// rules they apply live in static_elements.h; these windows only show the
// fields and hand their forms over.
#include "scada/ui/element_dialog.h"
#include "scada/static_elements.h"

#include <array>
#include <memory>

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

// `Type_Control` ("Тип управления"): one picture per button type; a click
// on one chooses that type and closes the palette.
class ControlTypePalette : public QWidget {
    Q_OBJECT
public:
    explicit ControlTypePalette(const ElementPictures& pictures, QWidget* parent = nullptr);

signals:
    void chosen(int type);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

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
