#include "scada/ui/static_element_dialogs.h"

#include "platform/interaction.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ostrel {

namespace {

// The dialog's fields above its row of buttons, at their natural size.
void finishLayout(QDialog* dialog, QGridLayout* grid, QLayout* buttons)
{
    grid->setColumnStretch(4, 1);
    auto* main = new QVBoxLayout(dialog);
    main->addLayout(grid);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

std::optional<PageChanges> closingChanges(const OkOutcome& r)
{
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

} // namespace

// ---- figure ----------------------------------------------------------------------

FiguraDialog::FiguraDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Figura, owner, QStringLiteral("Figura"), QStringLiteral("Геометрическая фигура"))
{
    number_ = lineEdit(QStringLiteral("Num_Figura_Text"));
    type_ = comboBox(QStringLiteral("Type_Figura1"), figuraTypeItems());
    sizeX_ = lineEdit(QStringLiteral("Razmer_X_Figura_Text"));
    sizeX_->setText(QStringLiteral("10"));
    sizeY_ = lineEdit(QStringLiteral("Razmer_Y_Figura_Text"));
    sizeY_->setText(QStringLiteral("10"));
    line_ = lineEdit(QStringLiteral("Width_Line_Figura_Text1"));
    line_->setText(QStringLiteral("1"));
    color_ = colorBox(QStringLiteral("Color_Figura"), [] {});
    sizeLabel_ = new QLabel(figuraSizeCaption(0), this);
    sizeLabel_->setObjectName(QStringLiteral("Label_Razmer_X_Figura"));
    sizeLabel_->setBuddy(sizeX_);

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер фигуры"), number_);
    addField(grid, 1, 0, QStringLiteral("Тип фигуры"), type_);
    grid->addWidget(sizeLabel_, 2, 0);
    grid->addWidget(sizeX_, 2, 1);
    addField(grid, 2, 1, QStringLiteral("Размер Y"), sizeY_);
    addField(grid, 3, 0, QStringLiteral("Толщина линии"), line_);
    addField(grid, 3, 1, QStringLiteral("Цвет линии"), color_);
    finishLayout(this, grid, buttonRow());

    connect(type_, &QComboBox::activated, this, &FiguraDialog::typeChosen);
}

bool FiguraDialog::load()
{
    const FiguraForm f = figuraForm(ctx_.pages, element());
    number_->setText(f.number);
    type_->setCurrentIndex(f.type);
    sizeLabel_->setText(figuraSizeCaption(f.type));
    sizeX_->setText(f.size_x);
    sizeY_->setText(f.size_y);
    line_->setText(f.line_width);
    color_->setValue(f.color);
    return true;
}

FiguraForm FiguraDialog::form() const
{
    FiguraForm f;
    f.number = number_->text();
    f.type = std::max(0, type_->currentIndex());
    f.size_x = sizeX_->text();
    f.size_y = sizeY_->text();
    f.line_width = line_->text();
    f.color = color_->value();
    return f;
}

void FiguraDialog::typeChosen(int type)
{
    // A circle's diameter is both of its sizes.
    if (type == 1)
        sizeY_->setText(sizeX_->text());
    sizeLabel_->setText(figuraSizeCaption(type));
}

std::optional<PageChanges> FiguraDialog::okPressed()
{
    const OkOutcome r = okFigura(ctx_.pages, element().page, ctx_.editor.objectPos(element()), form(), ctx_.ui);
    auto changes = closingChanges(r);
    // The figure just edited gets the corner handle.
    if (changes && r.element.number > 0)
        changes->append(ctx_.editor.setResizeTarget(r.element));
    return changes;
}

PageChanges FiguraDialog::deletePressed()
{
    return deleteStaticElement(ctx_.pages, ctx_.state, ObjectKind::Figura, element().page, number_->text());
}

// ---- text ----------------------------------------------------------------------------

TextLabelDialog::TextLabelDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Text, owner, QStringLiteral("Text_Label"), QStringLiteral("Текст"))
{
    number_ = lineEdit(QStringLiteral("Num_Label_Text_1"));
    text_ = lineEdit(QStringLiteral("Text_Text_Label"), 360);
    text_->setMinimumHeight(48);
    font_ = new QPushButton(QStringLiteral("Шрифт"), this);
    font_->setObjectName(QStringLiteral("Font_Text"));
    font_->setAutoDefault(false);
    color_ = colorBox(QStringLiteral("Color_Text_Label"), [this] { updatePreview(); });

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер текста"), number_);
    grid->addWidget(text_, 1, 0, 1, 4);
    grid->addWidget(font_, 2, 0);
    addField(grid, 2, 1, QStringLiteral("Цвет текста"), color_);
    finishLayout(this, grid, buttonRow());

    connect(font_, &QPushButton::clicked, this, &TextLabelDialog::chooseFont);
}

bool TextLabelDialog::load()
{
    look_ = textLabelForm(ctx_.pages, element());
    number_->setText(look_.number);
    text_->setText(look_.text);
    color_->setValue(look_.color);
    updatePreview();
    return true;
}

TextLabelForm TextLabelDialog::form() const
{
    TextLabelForm f = look_;
    f.number = number_->text();
    f.text = text_->text();
    f.color = color_->value();
    return f;
}

void TextLabelDialog::chooseFont()
{
    const auto chosen = ctx_.ui.chooseFont(textLabelFont(look_));
    if (!chosen)
        return;
    applyChosenFont(look_, *chosen);
    updatePreview();
}

void TextLabelDialog::updatePreview()
{
    // The text box shows the text as the page will: its face, size and colour.
    text_->setFont(textElementFont(textLabelRecord(look_)));
    QPalette pal = text_->palette();
    pal.setColor(QPalette::Text, recordColor(color_->value()));
    text_->setPalette(pal);
}

std::optional<PageChanges> TextLabelDialog::okPressed()
{
    return closingChanges(okText(ctx_.pages, element().page, ctx_.editor.objectPos(element()), form(), ctx_.ui));
}

PageChanges TextLabelDialog::deletePressed()
{
    return deleteStaticElement(ctx_.pages, ctx_.state, ObjectKind::Text, element().page, number_->text());
}

// ---- graph ---------------------------------------------------------------------------

GrafikDialog::GrafikDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Grafik, owner, QStringLiteral("Grafik_SCADA"), QStringLiteral("График"))
{
    x_ = lineEdit(QStringLiteral("Coord_X_Grafik"));
    y_ = lineEdit(QStringLiteral("Coord_Y_Grafik"));
    width_ = lineEdit(QStringLiteral("Grafik_Width"));
    height_ = lineEdit(QStringLiteral("Grafik_Height"));
    group_ = comboBox(QStringLiteral("Grafik_Grup"), grafikGroupItems());

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 0, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 1, 0, QStringLiteral("Размер Х"), width_);
    addField(grid, 1, 1, QStringLiteral("Размер Y"), height_);
    addField(grid, 2, 0, QStringLiteral("Группа графиков"), group_);
    finishLayout(this, grid, buttonRow());
}

bool GrafikDialog::load()
{
    const GrafikForm f = grafikForm(ctx_.pages, element().page);
    x_->setText(f.x);
    y_->setText(f.y);
    width_->setText(f.width);
    height_->setText(f.height);
    group_->setCurrentIndex(f.group);
    return true;
}

std::optional<PageChanges> GrafikDialog::okPressed()
{
    GrafikForm f;
    f.x = x_->text();
    f.y = y_->text();
    f.width = width_->text();
    f.height = height_->text();
    f.group = std::max(0, group_->currentIndex());
    return closingChanges(okGrafik(ctx_.pages, element().page, f, ctx_.ui));
}

PageChanges GrafikDialog::deletePressed()
{
    return deleteGrafik(ctx_.pages, element().page);
}

// ---- menu ------------------------------------------------------------------------------

MenuDialog::MenuDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Menu, owner, QStringLiteral("Menu_SCADA"), QStringLiteral("Меню"))
{
    number_ = lineEdit(QStringLiteral("Num_Menu_Text"));
    page_ = comboBox(QStringLiteral("List_Menu"), menuPageItems());

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер меню"), number_);
    addField(grid, 1, 0, QStringLiteral("Переход на страницу"), page_);
    finishLayout(this, grid, buttonRow());
}

bool MenuDialog::load()
{
    const MenuForm f = menuForm(ctx_.pages, element());
    number_->setText(f.number);
    page_->setCurrentIndex(f.target_page);
    text_ = f.text;
    return true;
}

std::optional<PageChanges> MenuDialog::okPressed()
{
    MenuForm f;
    f.number = number_->text();
    f.target_page = std::max(0, page_->currentIndex());
    f.text = text_;
    return closingChanges(okMenu(ctx_.pages, element().page, ctx_.editor.objectPos(element()), f, ctx_.ui));
}

PageChanges MenuDialog::deletePressed()
{
    return deleteStaticElement(ctx_.pages, ctx_.state, ObjectKind::Menu, element().page, number_->text());
}

} // namespace ostrel
