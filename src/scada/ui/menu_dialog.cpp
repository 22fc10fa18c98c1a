#include "scada/ui/menu_dialog.h"

#include "platform/interaction.h"
#include "scada/page_painter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace ostrel {

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
