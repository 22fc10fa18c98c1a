#include "app/plant_window.h"
#include "project/plant_write.h"
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ostrel {

namespace {

QString statusText(const PlantProgress& p)
{
    switch (p.status) {
    case PlantStatus::Waiting: return QStringLiteral("ожидает");
    case PlantStatus::Writing: return QStringLiteral("идёт запись");
    case PlantStatus::Succeeded:
        return p.nothingChanged ? QStringLiteral("без изменений") : QStringLiteral("записан");
    case PlantStatus::Failed: return QStringLiteral("ошибка");
    case PlantStatus::Refused: return QStringLiteral("не записан: ошибки проверки");
    case PlantStatus::Cancelled: return QStringLiteral("отменён");
    }
    return {};
}

QString partName(int part)
{
    return part < 0 ? QStringLiteral("схема") : QStringLiteral("страница %1").arg(part + 1);
}

QString partsText(const QList<int>& parts)
{
    int pages = 0;
    bool scheme = false;
    for (int p : parts) {
        if (p < 0)
            scheme = true;
        else
            ++pages;
    }
    QStringList names;
    if (scheme)
        names << QStringLiteral("схема");
    if (pages == 1)
        names << partName(parts.last());
    else if (pages > 1)
        names << QStringLiteral("страниц: %1").arg(pages);
    return names.isEmpty() ? QStringLiteral("нечего") : names.join(QStringLiteral(" + "));
}

QString clockText(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

PlantWindow::PlantWindow()
{
    setObjectName(QStringLiteral("PlantWrite"));
    setWindowTitle(kPlantWindowTitle);
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("PlantSummary"));
    layout->addWidget(summary_);
    table_ = new QTableWidget(0, Columns, this);
    table_->setObjectName(QStringLiteral("PlantTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Контроллер"), QStringLiteral("Что"), QStringLiteral("Ход"),
                                       QStringLiteral("Передаётся"), QStringLiteral("Осталось"),
                                       QStringLiteral("Результат"), QStringLiteral("Время"),
                                       QStringLiteral("SHA-256")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("CancelPlant"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    close->setObjectName(QStringLiteral("ClosePlant"));
    buttons->addWidget(cancel_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (plant_)
            plant_->cancel();
        cancel_->setEnabled(false);
    });
    // The time left and the bars move between the packets too.
    clock_.setInterval(500);
    connect(&clock_, &QTimer::timeout, this, &PlantWindow::updateAll);
    resize(1100, 480);
}

PlantWindow::~PlantWindow() = default;

bool PlantWindow::writing() const { return plant_ && plant_->running(); }

void PlantWindow::follow(std::unique_ptr<PlantWrite> plant)
{
    plant_ = std::move(plant);
    table_->setRowCount(plant_->size());
    for (int i = 0; i < plant_->size(); ++i) {
        for (int c = 0; c < Columns; ++c)
            if (c != Progress)
                table_->setItem(i, c, new QTableWidgetItem);
        auto* bar = new QProgressBar(table_);
        bar->setRange(0, 1000);
        bar->setTextVisible(false);
        table_->setCellWidget(i, Progress, bar);
        table_->item(i, Name)->setText(plant_->controller(i).name);
        table_->item(i, Name)->setToolTip(plant_->controller(i).project + QStringLiteral(" → ")
                                          + plant_->controller(i).link());
    }
    connect(plant_.get(), &PlantWrite::changed, this, &PlantWindow::update);
    connect(plant_.get(), &PlantWrite::finished, this, &PlantWindow::ended);
    cancel_->setEnabled(true);
    updateAll();
    table_->resizeColumnsToContents();
    table_->setColumnWidth(Progress, 160);
    clock_.start();
}

void PlantWindow::update(int row)
{
    const PlantProgress& p = plant_->progress(row);
    table_->item(row, What)->setText(partsText(p.parts));
    const double done = p.plannedMs > 0 ? double(p.doneMs) / double(p.plannedMs) : (p.ended() ? 1.0 : 0.0);
    static_cast<QProgressBar*>(table_->cellWidget(row, Progress))->setValue(int(done * 1000));
    const bool writing = p.status == PlantStatus::Writing;
    table_->item(row, Part)->setText(writing && p.partIndex >= 0 ? partName(p.parts[p.partIndex]) : QString());
    table_->item(row, Left)->setText(writing ? clockText(p.leftMs()) : QString());
    table_->item(row, Result)->setText(statusText(p));
    QStringList tip = p.messages;
    for (const Problem& pr : p.problems)
        tip << pr.line();
    table_->item(row, Result)->setToolTip(tip.join(u'\n'));
    table_->item(row, Time)->setText(p.status == PlantStatus::Waiting
                                         ? QString()
                                         : QStringLiteral("%1 с").arg(double(p.elapsedMs) / 1000.0, 0, 'f', 1));
    table_->item(row, Hash)->setText(p.sha256);
}

void PlantWindow::updateAll()
{
    if (!plant_)
        return;
    int done = 0;
    int ok = 0;
    for (int i = 0; i < plant_->size(); ++i) {
        update(i);
        done += plant_->progress(i).ended() ? 1 : 0;
        ok += plant_->progress(i).status == PlantStatus::Succeeded ? 1 : 0;
    }
    summary_->setText(QStringLiteral("Контроллеров: %1, завершено: %2, записано: %3.")
                          .arg(plant_->size())
                          .arg(done)
                          .arg(ok));
}

void PlantWindow::ended()
{
    clock_.stop();
    updateAll();
    cancel_->setEnabled(false);
}

} // namespace ostrel
