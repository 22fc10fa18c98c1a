#include "display/ui/panel_preview_window.h"

#include "display/panel_preview.h"
#include "display/ui/preview_image_view.h"
#include "platform/interaction.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace ostrel {

PanelPreviewWindow::PanelPreviewWindow(PanelPreview& preview, Interaction& ui)
    : QWidget(nullptr), preview_(preview), ui_(ui)
{
    setObjectName(QStringLiteral("Panel_Preview"));
    setWindowTitle(kPanelPreviewTitle);
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Масштаб"), this));
    scale_ = new QComboBox(this);
    scale_->setObjectName(QStringLiteral("previewScale"));
    scale_->addItems({QStringLiteral("1:1"), QStringLiteral("2:1")});
    bar->addWidget(scale_);
    bar->addSpacing(12);
    touchCells_ = new QCheckBox(QStringLiteral("Сенсорные зоны"), this);
    touchCells_->setObjectName(QStringLiteral("previewTouchCells"));
    bar->addWidget(touchCells_);
    differences_ = new QCheckBox(QStringLiteral("Различия"), this);
    differences_->setObjectName(QStringLiteral("previewDifferences"));
    differences_->setToolTip(QStringLiteral("Красным: где 12-битное изображение панели заметно отличается от страницы"));
    bar->addWidget(differences_);
    bar->addStretch(1);
    auto* load = new QPushButton(QStringLiteral("Загрузить значения"), this);
    load->setObjectName(QStringLiteral("loadValues"));
    auto* save = new QPushButton(QStringLiteral("Сохранить значения"), this);
    save->setObjectName(QStringLiteral("saveValues"));
    bar->addWidget(load);
    bar->addWidget(save);
    layout->addLayout(bar);

    stack_ = new QStackedWidget(this);
    scroll_ = new QScrollArea(stack_);
    scroll_->setObjectName(QStringLiteral("previewScroll"));
    scroll_->setAlignment(Qt::AlignCenter);
    view_ = new PreviewImageView(scroll_);
    scroll_->setWidget(view_);
    // 1:1 without scroll bars; 2:1 scrolls inside the same place.
    scroll_->setMinimumSize(view_->sizeHint() + QSize(4, 4));
    message_ = new QLabel(stack_);
    message_->setObjectName(QStringLiteral("previewMessage"));
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setStyleSheet(QStringLiteral("QLabel { background: black; color: #ff6060; font-size: 16pt; }"));
    stack_->addWidget(scroll_);
    stack_->addWidget(message_);
    stack_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addWidget(stack_);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("previewStatus"));
    layout->addWidget(status_);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("valuesTable"));
    table_->setModel(&preview_.values());
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->setMinimumHeight(180);
    layout->addWidget(table_, 1);

    connect(scale_, &QComboBox::currentIndexChanged, this, [this](int i) { view_->setScale(i + 1); });
    connect(touchCells_, &QCheckBox::toggled, &preview_, &PanelPreview::setTouchCells);
    connect(differences_, &QCheckBox::toggled, &preview_, &PanelPreview::setDifferences);
    connect(load, &QPushButton::clicked, this, &PanelPreviewWindow::loadValues);
    connect(save, &QPushButton::clicked, this, &PanelPreviewWindow::saveValues);
    connect(&preview_, &PanelPreview::updated, this, &PanelPreviewWindow::showResult);
    connect(&preview_.values(), &BlockValuesModel::refused, this,
            [this](const QString& reason) { ui_.message(reason, kPanelPreviewTitle, MessageIcon::Warning); });

    resize(scroll_->minimumSize().width() + 24, 860);
    showResult();
}

QString PanelPreviewWindow::shownMessage() const { return showsImage() ? QString() : message_->text(); }

bool PanelPreviewWindow::showsImage() const { return stack_->currentWidget() == scroll_; }

void PanelPreviewWindow::showResult()
{
    const PanelPage& r = preview_.result();
    if (!r.ok) {
        message_->setText(r.error.text);
        stack_->setCurrentWidget(message_);
    } else {
        view_->setImage(r.image, preview_.difference().mask);
        stack_->setCurrentWidget(scroll_);
    }
    QStringList status{QStringLiteral("Страница %1").arg(preview_.page() + 1)};
    if (r.ok && preview_.differences())
        status << QStringLiteral("различий: %1 точек").arg(preview_.difference().pixels);
    status << r.prepared.warnings;
    status_->setText(status.join(QStringLiteral("; ")));
}

void PanelPreviewWindow::loadValues()
{
    QString error;
    if (!preview_.loadValues(error))
        ui_.message(error, kPanelPreviewTitle, MessageIcon::Error);
}

void PanelPreviewWindow::saveValues()
{
    const QString failed = preview_.saveValues();
    if (!failed.isEmpty())
        ui_.message(failed, kPanelPreviewTitle, MessageIcon::Error);
}

void PanelPreviewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    preview_.setActive(true);
}

void PanelPreviewWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    preview_.setActive(false);
}

} // namespace ostrel
