#include "scada/ui/text_label_dialog.h"

#include "platform/interaction.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

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

} // namespace ostrel
