#include "scada/ui/grafik_dialog.h"

#include "platform/interaction.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

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

} // namespace ostrel
