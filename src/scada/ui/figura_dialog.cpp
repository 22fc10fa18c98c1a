#include "scada/ui/figura_dialog.h"

#include "platform/interaction.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

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

} // namespace ostrel
