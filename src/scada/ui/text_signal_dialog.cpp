#include "scada/ui/text_signal_dialog.h"

#include "platform/interaction.h"
#include "scada/ui/element_previews.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace ostrel {

TextSignalDialog::TextSignalDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::TextSignal, owner, QStringLiteral("Text_Signal_SCADA"),
                    QStringLiteral("Текстовая сигнализация"))
{
    makeNumberFields(QStringLiteral("Num_Text_Signal"), QStringLiteral("Coord_X_Text_Signal"),
                     QStringLiteral("Coord_Y_Text_Signal"));
    font_ = comboBox(QStringLiteral("Text_Signal_Shrift"), textSignalFontItems());
    listNumber_ = comboBox(QStringLiteral("Num_List_Text_Signal"), signalListItems());
    listNumber_->setMaxVisibleItems(16);
    frame_ = checkBox(QStringLiteral("Text_Signal_Ramka"), QStringLiteral("Рамка"));
    blinkBox_ = checkBox(QStringLiteral("Text_Signal_Blink"), QStringLiteral("Мигание"));
    const auto changed = [this] { updatePreview(); };
    color_ = colorBox(QStringLiteral("Color_Text_Signal"), changed);
    back_ = colorBox(QStringLiteral("Color_Text_Signal_Fon"), changed);
    ColorBox* pipette = pipetteButton(back_, changed);
    offLabel_ = new QLabel(textSignalOffLabel(0), this);
    offLabel_->setObjectName(QStringLiteral("Label_Text_Off"));
    onLabel_ = new QLabel(textSignalOnLabel(0), this);
    onLabel_->setObjectName(QStringLiteral("Label_Text_On"));
    textOff_ = lineEdit(QStringLiteral("Text_Signal_Off"), 200);
    textOff_->setPlaceholderText(QStringLiteral("Текст 1"));
    textOn_ = lineEdit(QStringLiteral("Text_Signal_On"), 200);
    textOn_->setPlaceholderText(QStringLiteral("Текст 2"));
    preview_ = new TextSignalPreview(this);
    preview_->setObjectName(QStringLiteral("Text_Signal_Label"));
    makeBinding(QStringLiteral("Num_Block_Text_Signal"), QStringLiteral("Num_OUT_Text_Signal"),
                QStringLiteral("Label_Num_OUT_Text_Signal"));
    blink_ = new PreviewBlink(this, blinkBox_, QStringLiteral("Text_Signal_Blink_Timer"), [this] { updatePreview(); });

    // The text labels name the list's text numbers: they take the width of
    // the widest, and the output list a width of its own, so the dialog keeps
    // its size whichever list number or block is chosen.
    int labelWidth = 0;
    for (int n = 0; n < listNumber_->count(); ++n)
        labelWidth = std::max({labelWidth, offLabel_->fontMetrics().horizontalAdvance(textSignalOffLabel(n)),
                               onLabel_->fontMetrics().horizontalAdvance(textSignalOnLabel(n))});
    offLabel_->setMinimumWidth(labelWidth);
    onLabel_->setMinimumWidth(labelWidth);
    list_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list_->setMinimumContentsLength(8);

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер сигнала"), number_);
    addField(grid, 1, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 1, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 2, 0, QStringLiteral("Шрифт"), font_);
    addField(grid, 2, 1, QStringLiteral("№ сигнала списка"), listNumber_);
    grid->addWidget(frame_, 3, 1);
    grid->addWidget(blinkBox_, 3, 3);
    addField(grid, 4, 0, QStringLiteral("Цвет сигнал"), color_);
    grid->addWidget(new QLabel(QStringLiteral("Цвет фон"), this), 4, 2);
    grid->addLayout(colorRow(back_, pipette), 4, 3);
    grid->addWidget(offLabel_, 5, 0);
    grid->addWidget(textOff_, 5, 1, 1, 3);
    grid->addWidget(onLabel_, 6, 0);
    grid->addWidget(textOn_, 6, 1, 1, 3);
    grid->addWidget(preview_, 7, 0, 1, 4, Qt::AlignCenter);
    addBinding(grid, 8);
    grid->setColumnStretch(4, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(font_, &QComboBox::currentIndexChanged, this, changed);
    connect(listNumber_, &QComboBox::currentIndexChanged, this, &TextSignalDialog::listNumberChosen);
    connect(frame_, &QCheckBox::toggled, this, changed);
    connect(textOff_, &QLineEdit::textChanged, this, changed);
    connect(textOn_, &QLineEdit::textChanged, this, changed);
}

bool TextSignalDialog::load()
{
    const ElementRef ref = element();
    const TextSignalForm f = textSignalForm(ctx_.pages, ref, ctx_.editor.objectPos(ref));
    font_->setCurrentIndex(f.font_position);
    listNumber_->setCurrentIndex(f.list_number);
    listNumberChosen(f.list_number);
    frame_->setChecked(f.frame);
    color_->setValue(f.color);
    back_->setValue(f.back_color);
    textOff_->setText(f.text_off);
    textOn_->setText(f.text_on);
    blink_->start(f.blink);
    const bool listOk = showBoundForm(f);
    updatePreview();
    return listOk;
}

TextSignalForm TextSignalDialog::form() const
{
    TextSignalForm f;
    fillBoundForm(f);
    f.font_position = std::max(0, font_->currentIndex());
    f.list_number = std::max(0, listNumber_->currentIndex());
    f.frame = frame_->isChecked();
    f.blink = blinkBox_->isChecked();
    f.color = color_->value();
    f.back_color = back_->value();
    f.text_off = textOff_->text();
    f.text_on = textOn_->text();
    return f;
}

std::optional<PageChanges> TextSignalDialog::okPressed()
{
    const OkOutcome r = okTextSignal(ctx_.pages, element().page, form(), ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

void TextSignalDialog::closing()
{
    blink_->stop();
}

void TextSignalDialog::listNumberChosen(int number)
{
    offLabel_->setText(textSignalOffLabel(number));
    onLabel_->setText(textSignalOnLabel(number));
    // The preview goes back to the first text.
    blink_->resetPhase();
}

void TextSignalDialog::updatePreview()
{
    const TextSignalForm f = form();
    TextSignalElement look;
    look.font = textSignalFontOfPosition(f.font_position);
    look.color = f.color;
    look.back_color = f.back_color;
    look.text_off = f.text_off;
    look.text_on = f.text_on;
    look.frame = f.frame ? 1 : 0;
    preview_->setLook(look, f.blink && blink_->phase());
}

} // namespace ostrel
