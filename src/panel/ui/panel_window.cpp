#include "panel/ui/panel_window.h"

#include "panel/ui/packet_log_model.h"
#include "panel/panel_session.h"
#include "panel/ui/panel_view.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace ostrel {

PanelWindow::PanelWindow(PanelSession& session, const BlockValues& values, const QString& source, QWidget* parent)
    : QMainWindow(parent), session_(session), source_(source)
{
    setObjectName(QStringLiteral("PanelWindow"));
    setWindowTitle(QStringLiteral("Ostrel: виртуальный контроллер"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Страница:"), central));
    pages_ = new QButtonGroup(this);
    pages_->setExclusive(true);
    for (int i = 0; i < 8; ++i) {
        auto* b = new QPushButton(QString::number(i + 1), central);
        b->setObjectName(QStringLiteral("pageButton%1").arg(i + 1));
        b->setCheckable(true);
        b->setEnabled(false);
        b->setFixedWidth(32);
        b->setToolTip(QStringLiteral("Страница %1 ещё не принята").arg(i + 1));
        pages_->addButton(b, i);
        bar->addWidget(b);
        pageButtons_[size_t(i)] = b;
    }
    connect(pages_, &QButtonGroup::idClicked, this, &PanelWindow::showPage);
    bar->addSpacing(16);
    touchCells_ = new QCheckBox(QStringLiteral("Сенсорные зоны"), central);
    touchCells_->setObjectName(QStringLiteral("touchCells"));
    touchCells_->setToolTip(QStringLiteral("Обвести сенсорные ячейки кнопок управления и переходов"));
    bar->addWidget(touchCells_);
    fit_ = new QCheckBox(QStringLiteral("По размеру окна"), central);
    fit_->setObjectName(QStringLiteral("fitToWindow"));
    bar->addWidget(fit_);
    bar->addStretch(1);
    layout->addLayout(bar);

    view_ = new PanelView(values, central);
    scroll_ = new QScrollArea(central);
    scroll_->setObjectName(QStringLiteral("panelScroll"));
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(view_);
    scroll_->setMinimumHeight(200);

    scheme_ = new QLabel(QStringLiteral("Схема: не принята"), central);
    scheme_->setObjectName(QStringLiteral("schemeLabel"));
    scheme_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    log_ = new QTableView(central);
    log_->setObjectName(QStringLiteral("packetLog"));
    model_ = new PacketLogModel(session_.log(), this);
    log_->setModel(model_);
    log_->setSelectionBehavior(QAbstractItemView::SelectRows);
    log_->setWordWrap(false);
    log_->verticalHeader()->setVisible(false);
    log_->verticalHeader()->setDefaultSectionSize(log_->fontMetrics().height() + 4);
    log_->horizontalHeader()->setStretchLastSection(true);
    const int w = log_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const std::array<int, PacketLogModel::ColumnCount - 1> widths{12, 12, 17, 5, 6, 10, 7, 15};
    for (size_t c = 0; c < widths.size(); ++c)
        log_->setColumnWidth(int(c), widths[c] * w);

    auto* lower = new QWidget(central);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(scheme_);
    lowerLayout->addWidget(log_);

    auto* split = new QSplitter(Qt::Vertical, central);
    split->addWidget(scroll_);
    split->addWidget(lower);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    status_ = new QLabel(central);
    status_->setObjectName(QStringLiteral("statusLabel"));
    layout->addWidget(status_);
    setCentralWidget(central);

    connect(touchCells_, &QCheckBox::toggled, view_, &PanelView::setTouchCells);
    connect(fit_, &QCheckBox::toggled, this, &PanelWindow::setFit);
    connect(&session_, &PanelSession::logAppended, this, [this] {
        QScrollBar* bar = log_->verticalScrollBar();
        const bool atEnd = bar->value() >= bar->maximum();
        model_->rowsAppended();
        if (atEnd)
            log_->scrollToBottom();
        updateStatus();
    });
    connect(&session_, &PanelSession::logChanged, model_, &PacketLogModel::rowChanged);
    connect(&session_, &PanelSession::pageReceived, this, &PanelWindow::pageReceived);
    connect(&session_, &PanelSession::schemeReceived, this, &PanelWindow::schemeReceived);
    connect(&session_, &PanelSession::writeFinished, this, &PanelWindow::updateStatus);

    // What arrived before the window was made (a recorded stream).
    for (int i = 0; i < 8; ++i)
        if (session_.page(i)) {
            pageButtons_[size_t(i)]->setEnabled(true);
            pageButtons_[size_t(i)]->setToolTip(QString());
        }
    if (session_.lastPage() >= 0)
        showPage(session_.lastPage());
    if (session_.scheme())
        schemeReceived();
    updateStatus();
    resize(860, 940);
}

PanelWindow::~PanelWindow() = default;

void PanelWindow::showPage(int index)
{
    const DecodedPage* page = session_.page(index);
    if (!page)
        return;
    shownPage_ = index;
    pageButtons_[size_t(index)]->setChecked(true);
    view_->showPage(page);
}

void PanelWindow::pageReceived(int index)
{
    if (index < 0 || index >= 8)
        return;
    pageButtons_[size_t(index)]->setEnabled(true);
    pageButtons_[size_t(index)]->setToolTip(QString());
    showPage(index);
    updateStatus();
}

void PanelWindow::schemeReceived()
{
    const DecodedScheme* s = session_.scheme();
    if (!s)
        return;
    int errors = 0;
    for (const DecodeProblem& p : s->problems)
        errors += severity(p.kind) == Severity::Error ? 1 : 0;
    scheme_->setText(QStringLiteral("Схема: контроллер %1, версия %2, блоков %3, параметров %4, ошибок %5")
                         .arg(s->controller)
                         .arg(s->version_code)
                         .arg(s->blocks.size())
                         .arg(s->param_bytes / 4)
                         .arg(errors));
    updateStatus();
}

void PanelWindow::updateStatus()
{
    status_->setText(QStringLiteral("Приём: %1    Записей: %2    Пакетов: %3    Ошибки: %4")
                         .arg(source_)
                         .arg(session_.writes())
                         .arg(session_.log().size())
                         .arg(session_.hadErrors() ? QStringLiteral("есть") : QStringLiteral("нет")));
}

void PanelWindow::setFit(bool fit)
{
    view_->setFitToWindow(fit);
    scroll_->setWidgetResizable(fit);
    if (!fit)
        view_->resize(view_->sizeHint());
}

} // namespace ostrel
