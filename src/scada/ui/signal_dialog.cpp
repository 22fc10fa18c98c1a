#include "scada/ui/signal_dialog.h"

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

SignalDialog::SignalDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::Signal, owner, QStringLiteral("Signal_SCADA"), QStringLiteral("Сигнализация"))
{
    makeNumberFields(QStringLiteral("Num_Signal_Text"), QStringLiteral("Coord_X_Signal"),
                     QStringLiteral("Coord_Y_Signal"));
    width_ = lineEdit(QStringLiteral("Razmer_X_Signal"));
    height_ = lineEdit(QStringLiteral("Razmer_Y_Signal"));
    shape_ = comboBox(QStringLiteral("Type_Signal"), signalShapeItems());
    listNumber_ = comboBox(QStringLiteral("Num_List_Signal"), signalListItems());
    listNumber_->setMaxVisibleItems(16);
    frame_ = checkBox(QStringLiteral("Signal_Ramka"), QStringLiteral("Рамка"));
    blinkBox_ = checkBox(QStringLiteral("Signal_Blink"), QStringLiteral("Мигание"));
    const auto changed = [this] { updatePreview(); };
    color_ = colorBox(QStringLiteral("Color_Signal"), changed);
    back_ = colorBox(QStringLiteral("Color_Signal_Fon"), changed);
    // The pipette gives the signal its on colour.
    ColorBox* pipette = pipetteButton(color_, changed);
    preview_ = new SignalPreview(this);
    preview_->setObjectName(QStringLiteral("Signal_Preview"));
    makeBinding(QStringLiteral("Num_Block_Signal"), QStringLiteral("Num_OUT_Signal"),
                QStringLiteral("Label_Num_OUT_Signal"));
    blink_ = new PreviewBlink(this, blinkBox_, QStringLiteral("Signal_Blink_Timer"), changed);

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер сигнала"), number_);
    addField(grid, 1, 0, QStringLiteral("Координата Х"), x_);
    addField(grid, 1, 1, QStringLiteral("Координата Y"), y_);
    addField(grid, 2, 0, QStringLiteral("Размер Х "), width_);
    addField(grid, 2, 1, QStringLiteral("Размер Y"), height_);
    addField(grid, 3, 0, QStringLiteral("Тип сигнала"), shape_);
    addField(grid, 3, 1, QStringLiteral("№ сигнала списка"), listNumber_);
    grid->addWidget(frame_, 4, 1);
    grid->addWidget(blinkBox_, 4, 3);
    grid->addWidget(new QLabel(QStringLiteral("Цвет сигнал"), this), 5, 0);
    grid->addLayout(colorRow(color_, pipette), 5, 1);
    addField(grid, 5, 1, QStringLiteral("Цвет фон"), back_);
    grid->addWidget(preview_, 6, 0, 1, 4, Qt::AlignCenter);
    addBinding(grid, 7);
    grid->setColumnStretch(4, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(shape_, &QComboBox::activated, this, &SignalDialog::shapeChosen);
    connect(width_, &QLineEdit::textEdited, this, [this] { sizeTyped(true); });
    connect(height_, &QLineEdit::textEdited, this, [this] { sizeTyped(false); });
    connect(frame_, &QCheckBox::toggled, this, changed);
}

bool SignalDialog::load()
{
    const ElementRef ref = element();
    const SignalForm f = signalForm(ctx_.pages, ref, ctx_.editor.objectPos(ref), ctx_.editor.objectRect(ref).size());
    shape_->setCurrentIndex(f.shape);
    listNumber_->setCurrentIndex(f.list_number);
    width_->setText(f.width);
    height_->setText(f.height);
    applySizes(signalOpened(f.shape, ScadaPages::typedNumber(f.width), ScadaPages::typedNumber(f.height)));
    frame_->setChecked(f.frame);
    color_->setValue(f.color);
    back_->setValue(f.back_color);
    blink_->start(f.blink);
    const bool listOk = showBoundForm(f);
    updatePreview();
    return listOk;
}

SignalForm SignalDialog::form() const
{
    SignalForm f;
    fillBoundForm(f);
    f.width = width_->text();
    f.height = height_->text();
    f.shape = std::max(0, shape_->currentIndex());
    f.list_number = std::max(0, listNumber_->currentIndex());
    f.frame = frame_->isChecked();
    f.blink = blinkBox_->isChecked();
    f.color = color_->value();
    f.back_color = back_->value();
    return f;
}

std::optional<PageChanges> SignalDialog::okPressed()
{
    const OkOutcome r = okSignal(ctx_.pages, element().page, form(), ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

void SignalDialog::closing()
{
    blink_->stop();
}

void SignalDialog::applySizes(const SignalSizeFields& fields)
{
    width_->setText(QString::number(fields.width));
    height_->setText(QString::number(fields.height));
    width_->setEnabled(fields.width_enabled);
    height_->setEnabled(fields.height_enabled);
    frame_->setEnabled(fields.frame_enabled);
}

void SignalDialog::shapeChosen(int shape)
{
    applySizes(signalShapeChosen(shape, ScadaPages::typedNumber(width_->text()),
                                 ScadaPages::typedNumber(height_->text())));
    if (!frame_->isEnabled())
        frame_->setChecked(false);
    updatePreview();
}

void SignalDialog::sizeTyped(bool width)
{
    QLineEdit* field = width ? width_ : height_;
    int value = ScadaPages::typedNumber(field->text());
    if (value > kSignalMaxSize) {
        value = kSignalMaxSize;
        field->setText(QString::number(value));
        ctx_.ui.message(sizeMessage(width, true, kSignalMaxSize), QString(), MessageIcon::Question);
    }
    const int shape = std::max(0, shape_->currentIndex());
    const int w = ScadaPages::typedNumber(width_->text());
    const int h = ScadaPages::typedNumber(height_->text());
    const SignalSizeFields fields = width ? signalWidthTyped(shape, w, h) : signalHeightTyped(shape, w, h);
    // Only the fields that follow are rewritten: the typed one keeps its text.
    if (fields.width != w)
        width_->setText(QString::number(fields.width));
    if (fields.height != h)
        height_->setText(QString::number(fields.height));
    width_->setEnabled(fields.width_enabled);
    height_->setEnabled(fields.height_enabled);
    updatePreview();
}

void SignalDialog::updatePreview()
{
    const SignalForm f = form();
    const QSize size(std::clamp(ScadaPages::typedNumber(f.width), 0, kSignalMaxSize),
                     std::clamp(ScadaPages::typedNumber(f.height), 0, kSignalMaxSize));
    const bool off = f.blink && blink_->phase();
    preview_->setLook(f.shape, size, off ? f.back_color : f.color, f.frame);
}

} // namespace ostrel
