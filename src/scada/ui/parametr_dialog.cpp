#include "scada/ui/parametr_dialog.h"

#include "scada/ui/element_previews.h"
#include "scada/output_list.h"
#include "scada/page_painter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cstdlib>

namespace ostrel {

ParametrDialog::ParametrDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Parametr, owner, QStringLiteral("Parametr_Text_SCADA"),
                    QStringLiteral("Параметр"))
{
    makeNumberFields(QStringLiteral("Num_Par_Text"), QStringLiteral("Coord_X_Parametr_Text"),
                     QStringLiteral("Coord_Y_Parametr_Text"));
    digits_ = comboBox(QStringLiteral("Parametr_Num_Znak"), parametrWidthItems());
    font_ = comboBox(QStringLiteral("Parametr_Shrift"), parametrFontItems());
    frame_ = checkBox(QStringLiteral("Parametr_Ramka"), QStringLiteral("Рамка"));
    const auto changed = [this] { updatePreview(); };
    color_ = colorBox(QStringLiteral("Color_Text"), changed);
    back_ = colorBox(QStringLiteral("Color_Text_Fon"), changed);
    ColorBox* pipette = pipetteButton(back_, changed);
    preview_ = new ParametrPreview(this);
    preview_->setObjectName(QStringLiteral("Par_Label"));
    makeBinding(QStringLiteral("Num_Block_Par_Text"), QStringLiteral("Num_OUT_Par"),
                QStringLiteral("Label_Num_OUT_Par"));
    setpoint_ = checkBox(QStringLiteral("Out_Zad"), QStringLiteral("Выход/Задатчик"));

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер параметра"), number_);
    addField(grid, 1, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 1, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 2, 0, QStringLiteral("Количество знаков"), digits_);
    addField(grid, 2, 1, QStringLiteral("Шрифт"), font_);
    grid->addWidget(frame_, 3, 1);
    addField(grid, 4, 0, QStringLiteral("Цвет текст"), color_);
    auto* backRow = new QHBoxLayout;
    backRow->addWidget(back_);
    backRow->addWidget(pipette);
    backRow->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Цвет фон"), this), 4, 2);
    grid->addLayout(backRow, 4, 3);
    grid->addWidget(preview_, 5, 0, 1, 4, Qt::AlignCenter);
    addField(grid, 6, 0, QStringLiteral("Номер блока 1-99"), block_);
    grid->addWidget(setpoint_, 6, 2, 1, 2);
    grid->addWidget(listLabel_, 7, 0);
    grid->addWidget(list_, 7, 1, 1, 2);
    grid->setColumnStretch(4, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(number_, &QLineEdit::textChanged, this, changed);
    connect(digits_, &QComboBox::currentIndexChanged, this, changed);
    connect(font_, &QComboBox::currentIndexChanged, this, &ParametrDialog::fontChosen);
    connect(frame_, &QCheckBox::toggled, this, changed);
    connect(setpoint_, &QCheckBox::clicked, this, [this](bool checked) {
        listLabel_->setText(outputListCaption(checked));
        rebuildList();
    });
}

QStringList ParametrDialog::listEntries() const
{
    return bindingEntries(ctx_.blocks, ctx_.catalog, block_->text(), setpoint_ && setpoint_->isChecked());
}

bool ParametrDialog::load()
{
    const ParametrForm f = parametrForm(ctx_.pages, element(), ctx_.editor.objectPos(element()));
    font_->setCurrentIndex(f.font_position);
    digits_->setCurrentIndex(f.digits);
    frame_->setChecked(f.frame);
    color_->setValue(f.color);
    back_->setValue(f.back_color);
    setpoint_->setChecked(f.setpoint);
    listLabel_->setText(outputListCaption(f.setpoint));
    const bool listOk = showBoundForm(f);
    updatePreview();
    return listOk;
}

ParametrForm ParametrDialog::form() const
{
    ParametrForm f;
    fillBoundForm(f);
    f.digits = std::max(0, digits_->currentIndex());
    f.font_position = std::max(0, font_->currentIndex());
    f.frame = frame_->isChecked();
    f.color = color_->value();
    f.back_color = back_->value();
    f.setpoint = setpoint_->isChecked();
    return f;
}

std::optional<PageChanges> ParametrDialog::okPressed()
{
    const OkOutcome r = okParametr(ctx_.pages, element().page, form(), ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

void ParametrDialog::fontChosen(int position)
{
    // The time display always has the first field width.
    if (position == kTimeFontPosition)
        digits_->setCurrentIndex(0);
    updatePreview();
}

void ParametrDialog::updatePreview()
{
    const ParametrForm f = form();
    ParametrElement look;
    look.font = parametrFontOfPosition(f.font_position);
    look.digits = uint8_t(f.digits);
    look.frame = f.frame ? 1 : 0;
    look.color = f.color;
    look.back_color = f.back_color;
    preview_->setLook(look, parametrCaption(std::abs(ScadaPages::typedNumber(f.number)), look.digits));
}

} // namespace ostrel
