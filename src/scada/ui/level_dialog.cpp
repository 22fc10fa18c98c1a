#include "scada/ui/level_dialog.h"

#include "platform/interaction.h"
#include "scada/ui/element_previews.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace ostrel {

LevelDialog::LevelDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Level, owner, QStringLiteral("Level_SCADA"), QStringLiteral("Уровень"))
{
    makeNumberFields(QStringLiteral("Num_Level_Text"), QStringLiteral("Coord_X_Level"),
                     QStringLiteral("Coord_Y_Level"));
    width_ = lineEdit(QStringLiteral("Razmer_X_Level"));
    height_ = lineEdit(QStringLiteral("Razmer_Y_Level"));
    scale_ = lineEdit(QStringLiteral("Level_Scale"));
    type_ = checkBox(QStringLiteral("Level_Type"), QStringLiteral("Тип"));
    frame_ = checkBox(QStringLiteral("Level_Ramka"), QStringLiteral("Рамка"));
    const auto changed = [this] { updatePreview(); };
    color_ = colorBox(QStringLiteral("Color_Level"), changed);
    back_ = colorBox(QStringLiteral("Color_Level_Fon"), changed);
    preview_ = new LevelPreview(this);
    preview_->setObjectName(QStringLiteral("Level_Preview"));
    makeBinding(QStringLiteral("Num_Block_Level"), QStringLiteral("Num_OUT_Level"),
                QStringLiteral("Label_Num_OUT_Level"));

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер уровня"), number_);
    addField(grid, 1, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 1, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 2, 0, QStringLiteral("Размер Х"), width_);
    addField(grid, 2, 1, QStringLiteral("Размер Y"), height_);
    addField(grid, 3, 0, QStringLiteral("Масштаб"), scale_);
    grid->addWidget(type_, 3, 3);
    grid->addWidget(frame_, 4, 3);
    addField(grid, 5, 0, QStringLiteral("Цвет уровень"), color_);
    addField(grid, 5, 1, QStringLiteral("Цвет фон"), back_);
    grid->addWidget(preview_, 6, 0, 1, 4, Qt::AlignCenter);
    addBinding(grid, 7);
    grid->setColumnStretch(4, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(type_, &QCheckBox::clicked, this, &LevelDialog::typeToggled);
    connect(frame_, &QCheckBox::toggled, this, changed);
    connect(width_, &QLineEdit::textEdited, this, [this] { sizeTyped(true); });
    connect(height_, &QLineEdit::textEdited, this, [this] { sizeTyped(false); });
}

bool LevelDialog::load()
{
    const ElementRef ref = element();
    const LevelForm f = levelForm(ctx_.pages, ref, ctx_.editor.objectPos(ref), ctx_.editor.objectRect(ref).size());
    width_->setText(f.width);
    height_->setText(f.height);
    scale_->setText(f.scale);
    type_->setChecked(f.horizontal);
    frame_->setChecked(f.frame);
    color_->setValue(f.color);
    back_->setValue(f.back_color);
    const bool listOk = showBoundForm(f);
    updatePreview();
    return listOk;
}

LevelForm LevelDialog::form() const
{
    LevelForm f;
    fillBoundForm(f);
    f.width = width_->text();
    f.height = height_->text();
    f.scale = scale_->text();
    f.horizontal = type_->isChecked();
    f.frame = frame_->isChecked();
    f.color = color_->value();
    f.back_color = back_->value();
    return f;
}

std::optional<PageChanges> LevelDialog::okPressed()
{
    const OkOutcome r = okLevel(ctx_.pages, element().page, form(), ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

void LevelDialog::typeToggled()
{
    // A bar turned on its side keeps its look: width and height swap.
    const QString w = width_->text();
    width_->setText(height_->text());
    height_->setText(w);
    updatePreview();
}

void LevelDialog::sizeTyped(bool width)
{
    QLineEdit* field = width ? width_ : height_;
    const QSize max = levelMaxSize(type_->isChecked());
    const int limit = width ? max.width() : max.height();
    if (ScadaPages::typedNumber(field->text()) > limit) {
        field->setText(QString::number(limit));
        ctx_.ui.message(sizeMessage(width, true, limit));
    }
    updatePreview();
}

void LevelDialog::updatePreview()
{
    const LevelForm f = form();
    const QSize max = levelMaxSize(f.horizontal);
    LevelElement look;
    look.width = int16_t(std::clamp(std::abs(ScadaPages::typedNumber(f.width)), 0, max.width()));
    look.height = int16_t(std::clamp(std::abs(ScadaPages::typedNumber(f.height)), 0, max.height()));
    look.style = packLevelStyle(f.horizontal, f.frame);
    look.color = f.color;
    look.back_color = f.back_color;
    preview_->setLook(look);
}

} // namespace ostrel
