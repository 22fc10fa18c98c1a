#include "app/check_window.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ostrel {

CheckWindow::CheckWindow()
{
    setObjectName(QStringLiteral("ProjectCheck"));
    setWindowTitle(kCheckWindowTitle);
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("CheckSummary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("CheckList"));
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({QStringLiteral("Важность"), QStringLiteral("Код"), QStringLiteral("Место"),
                            QStringLiteral("Сообщение")});
    list_->header()->setStretchLastSection(true);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    writeAnyway_ = new QPushButton(kWriteAnywayCaption, this);
    writeAnyway_->setObjectName(QStringLiteral("WriteAnyway"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("CloseCheck"));
    buttons->addWidget(writeAnyway_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(writeAnyway_, &QPushButton::clicked, this, [this] {
        hide();
        emit writeAnyway();
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { activate(list_->indexOfTopLevelItem(item)); });
    resize(900, 420);
}

void CheckWindow::showProblems(const QList<Problem>& problems, bool beforeWrite)
{
    problems_ = problems;
    list_->clear();
    int errors = 0;
    for (const Problem& p : problems) {
        errors += p.isError() ? 1 : 0;
        auto* item = new QTreeWidgetItem(list_, {p.isError() ? QStringLiteral("ошибка") : QStringLiteral("предупреждение"),
                                                 p.code, p.place.text(), p.message});
        item->setToolTip(3, p.message);
    }
    for (int c = 0; c < 3; ++c)
        list_->resizeColumnToContents(c);
    QString text = problems.isEmpty() ? QStringLiteral("Проблем не найдено.")
                                      : QStringLiteral("Ошибок: %1, предупреждений: %2.")
                                            .arg(errors)
                                            .arg(problems.size() - errors);
    if (beforeWrite)
        text += QStringLiteral(" Запись не начата: контроллер получит то, что показано выше.");
    summary_->setText(text);
    writeAnyway_->setVisible(beforeWrite);
}

void CheckWindow::activate(int row)
{
    if (row >= 0 && row < problems_.size())
        emit placeRequested(problems_[row].place);
}

} // namespace ostrel
