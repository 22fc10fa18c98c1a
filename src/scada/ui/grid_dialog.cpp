#include "scada/ui/grid_dialog.h"

#include "platform/interaction.h"
#include "scada/page_editing.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

GridDialog::GridDialog(ScadaPages& pages, Interaction& ui, QWidget* parent)
    : QDialog(parent), pages_(pages), ui_(ui)
{
    setObjectName(QStringLiteral("Coord_Setka"));
    setWindowTitle(QStringLiteral("Координатная сетка"));

    auto* sizeLabel = new QLabel(QStringLiteral("Размер"), this);
    step_ = new QLineEdit(this);
    step_->setObjectName(QStringLiteral("Razmer_Setka"));
    sizeLabel->setBuddy(step_);
    buttonGrid_ = new QCheckBox(QStringLiteral("Управление"), this);
    buttonGrid_->setObjectName(QStringLiteral("Control_Setka"));
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok_Setka"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("Cancel_Setka"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(sizeLabel, 0, 0);
    grid->addWidget(step_, 0, 1);
    grid->addWidget(buttonGrid_, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(ok_, &QPushButton::clicked, this, &GridDialog::confirm);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void GridDialog::load()
{
    step_->setText(QString::number(pages_.grid_step));
    buttonGrid_->setChecked(pages_.grid_enabled != 0);
}

void GridDialog::confirm()
{
    if (const auto refused = applyGrid(pages_, step_->text(), buttonGrid_->isChecked())) {
        ui_.message(*refused, windowTitle(), MessageIcon::Warning);
        step_->setFocus();
        return;
    }
    accept();
}

} // namespace ostrel
