#include "scada/ui/go_block_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ostrel {

GoBlockDialog::GoBlockDialog(ElementDialogContext& ctx, QWidget* owner)
    : ElementDialog(ctx, ObjectKind::GoBlock, owner, QStringLiteral("Go_Block_SCADA"), QStringLiteral("Блок "))
{
    number_ = lineEdit(QStringLiteral("Num_Go_Block_Text"));
    block_ = lineEdit(QStringLiteral("Num_Block_Text"));
    block_->setText(kGoEmptyBlock);
    process_ = checkBox(QStringLiteral("Process_Sozdat"), goProcessCaption(false));
    list_ = comboBox(QStringLiteral("Num_Graf_SCADA"), {});
    list_->setMinimumWidth(140);
    list_->setMaxVisibleItems(16);
    listLabel_ = new QLabel(this);
    listLabel_->setObjectName(QStringLiteral("Label_Num_Graf_SCADA"));
    listLabel_->setBuddy(list_);
    locked_ = checkBox(QStringLiteral("Blokirovka"), QStringLiteral("Блокировка"));

    auto* grid = new QGridLayout;
    addField(grid, 0, 0, QStringLiteral("Номер перехода"), number_);
    addField(grid, 1, 0, QStringLiteral("Номер блока(1-99) "), block_);
    grid->addWidget(process_, 1, 2);
    grid->addWidget(listLabel_, 2, 0, 1, 2);
    grid->addWidget(list_, 3, 0, 1, 2);
    grid->addWidget(locked_, 3, 2);
    grid->setColumnStretch(3, 1);
    // The label keeps its row while the list is hidden, so the dialog does
    // not change its size.
    grid->setRowMinimumHeight(2, listLabel_->sizeHint().height());
    grid->setRowMinimumHeight(3, list_->sizeHint().height());
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid);
    main->addLayout(buttonRow());
    main->setSizeConstraint(QLayout::SetFixedSize);

    connect(block_, &QLineEdit::textChanged, this, &GoBlockDialog::refreshList);
    connect(process_, &QCheckBox::clicked, this, &GoBlockDialog::processClicked);
    refreshList();
}

void GoBlockDialog::refreshList()
{
    const GoListState s = goListState(ctx_.blocks, ctx_.catalog, block_->text(), process_->isChecked());
    list_->clear();
    list_->addItems(s.entries);
    list_->setCurrentIndex(0);
    if (!s.label.isEmpty())
        listLabel_->setText(s.label);
    list_->setVisible(s.visible);
    listLabel_->setVisible(s.visible);
}

void GoBlockDialog::processClicked(bool ticked)
{
    process_->setText(goProcessCaption(ticked));
    refreshList();
}

bool GoBlockDialog::load()
{
    const ElementRef ref = element();
    GoBlockElement e;
    withRecord(ctx_.pages, ref, [&](const auto& r) {
        if constexpr (std::is_same_v<std::decay_t<decltype(r)>, GoBlockElement>)
            e = r;
    });
    const GoOpening o = goOpening(e);
    process_->setChecked(o.process);
    process_->setText(goProcessCaption(o.process));
    {
        const QSignalBlocker quiet(block_);
        block_->setText(o.block);
    }
    refreshList();
    number_->setText(QString::number(ref.number));
    locked_->setChecked(o.locked);
    return selectListPosition(o.list_position);
}

std::optional<PageChanges> GoBlockDialog::okPressed()
{
    GoBlockForm f;
    f.number = number_->text();
    f.block = block_->text();
    f.process = process_->isChecked();
    f.list_position = std::max(0, list_->currentIndex());
    f.locked = locked_->isChecked();
    const OkOutcome r = okGoBlock(ctx_.pages, element().page, ctx_.editor.objectPos(element()), f, ctx_.ui);
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

PageChanges GoBlockDialog::deletePressed()
{
    return deleteStaticElement(ctx_.pages, ctx_.state, ObjectKind::GoBlock, element().page, number_->text());
}

} // namespace ostrel
