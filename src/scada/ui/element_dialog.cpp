#include "scada/ui/element_dialog.h"

#include "platform/interaction.h"
#include "platform/ui/project_text_guard.h"
#include "scada/output_list.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace ostrel {

// ---- ColorBox ------------------------------------------------------------------

ColorBox::ColorBox(QWidget* parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ColorBox::setValue(int32_t value)
{
    value_ = value;
    update();
}

void ColorBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, colorOfValue(value_));
    p.setPen(isEnabled() ? Qt::black : Qt::gray);
    p.drawRect(r);
    if (hasFocus())
        p.drawRect(r.adjusted(2, 2, -2, -2));
}

// ---- ClickLabel ------------------------------------------------------------------

void ClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    event->accept();
    emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mouseDoubleClickEvent(event);
    event->accept();
    emit doubleClicked();
}

// ---- ElementDialog -------------------------------------------------------------

ElementDialog::ElementDialog(ElementDialogContext& ctx, ObjectKind kind, QWidget* owner, const QString& name,
                             const QString& caption)
    : QDialog(nullptr)
    , ctx_(ctx)
    , kind_(kind)
    , owner_(owner)
{
    setObjectName(name);
    setWindowTitle(caption);
    setModal(false);
}

ElementDialog::~ElementDialog() = default;

void ElementDialog::openFor(const ElementRef& ref)
{
    ref_ = ref;
    open_ = true;
    if (owner_)
        owner_->setEnabled(false);
    if (pipette_)
        pipette_->setValue(ctx_.state.PipetteColor);
    const bool listOk = load();
    guardProjectTexts(this, ctx_.ui);
    show();
    raise();
    activateWindow();
    if (!listOk)
        ctx_.ui.message(listError(), QString(), MessageIcon::Error);
}

void ElementDialog::reject()
{
    finish({});
}

PageChanges ElementDialog::deletePressed()
{
    return deleteBoundElement(ctx_.pages, ctx_.state, kind_, ref_.page, number_->text());
}

void ElementDialog::finish(PageChanges changes)
{
    if (!open_) {
        QDialog::reject();
        return;
    }
    open_ = false;
    closing();
    changes.append(ctx_.editor.hideTemplate(kind_));
    if (owner_)
        owner_->setEnabled(true);
    QDialog::reject();
    emit pageChanged(changes);
}

QStringList ElementDialog::listEntries() const
{
    return bindingEntries(ctx_.blocks, ctx_.catalog, block_->text(), false);
}

// ---- building ---------------------------------------------------------------------

void ElementDialog::addField(QGridLayout* grid, int row, int col, const QString& caption, QWidget* field)
{
    auto* label = new QLabel(caption, this);
    label->setBuddy(field);
    grid->addWidget(label, row, 2 * col);
    grid->addWidget(field, row, 2 * col + 1);
}

QLineEdit* ElementDialog::lineEdit(const QString& name, int width)
{
    auto* e = new QLineEdit(this);
    e->setObjectName(name);
    e->setFixedWidth(width);
    return e;
}

QCheckBox* ElementDialog::checkBox(const QString& name, const QString& caption)
{
    auto* c = new QCheckBox(caption, this);
    c->setObjectName(name);
    return c;
}

QComboBox* ElementDialog::comboBox(const QString& name, const QStringList& items)
{
    auto* c = new QComboBox(this);
    c->setObjectName(name);
    c->addItems(items);
    return c;
}

ColorBox* ElementDialog::colorBox(const QString& name, std::function<void()> changed)
{
    auto* box = new ColorBox(this);
    box->setObjectName(name);
    connect(box, &QAbstractButton::clicked, this, [this, box, changed] {
        const auto chosen = ctx_.ui.chooseColor(colorOfValue(box->value()));
        if (!chosen || !chosen->isValid())
            return;
        box->setValue(colorValue(*chosen));
        changed();
    });
    return box;
}

ColorBox* ElementDialog::pipetteButton(ColorBox* target, std::function<void()> changed)
{
    pipette_ = new ColorBox(this);
    pipette_->setObjectName(QStringLiteral("Pipetka_key"));
    pipette_->setToolTip(QStringLiteral("Пипетка"));
    pipette_->setFixedSize(24, 22);
    connect(pipette_, &QAbstractButton::clicked, this, [this, target, changed] {
        target->setValue(ctx_.state.PipetteColor);
        pipette_->setValue(ctx_.state.PipetteColor);
        changed();
    });
    return pipette_;
}

void ElementDialog::makeNumberFields(const QString& numberName, const QString& xName, const QString& yName)
{
    number_ = lineEdit(numberName);
    x_ = lineEdit(xName);
    y_ = lineEdit(yName);
}

void ElementDialog::makeBinding(const QString& blockName, const QString& listName, const QString& labelName)
{
    block_ = lineEdit(blockName);
    list_ = comboBox(listName, {});
    list_->setMinimumWidth(120);
    list_->setMaxVisibleItems(16);
    listLabel_ = new QLabel(kOutputCaption, this);
    listLabel_->setObjectName(labelName);
    listLabel_->setBuddy(list_);
    connect(block_, &QLineEdit::textChanged, this, &ElementDialog::rebuildList);
}

void ElementDialog::addBinding(QGridLayout* grid, int row)
{
    addField(grid, row, 0, QStringLiteral("Номер блока 1-99"), block_);
    grid->addWidget(listLabel_, row, 2);
    grid->addWidget(list_, row, 3);
}

QLayout* ElementDialog::buttonRow()
{
    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(kOkName);
    delete_ = new QPushButton(QStringLiteral("Удалить"), this);
    delete_->setObjectName(kDeleteName);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(kCancelName);
    // Enter in a field must not press "Ok" by itself.
    for (QPushButton* b : {ok_, delete_, cancel_}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (!open_)
            return;
        if (const auto changes = okPressed())
            finish(*changes);
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (open_)
            finish(deletePressed());
    });
    connect(cancel_, &QPushButton::clicked, this, &ElementDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok_);
    row->addWidget(delete_);
    row->addWidget(cancel_);
    return row;
}

void ElementDialog::finishLayout(QDialog* dialog, QGridLayout* grid, QLayout* buttons)
{
    grid->setColumnStretch(4, 1);
    auto* main = new QVBoxLayout(dialog);
    main->addLayout(grid);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

QHBoxLayout* ElementDialog::colorRow(ColorBox* box, QWidget* pipette)
{
    auto* row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(pipette);
    row->addStretch(1);
    return row;
}

void ElementDialog::placeOver(QWidget* window, const QWidget* over)
{
    window->adjustSize();
    const QScreen* screen = over ? over->screen() : window->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QPoint middle = over ? over->frameGeometry().center() : area.center();
    QRect placed(QPoint(), window->frameGeometry().size());
    placed.moveCenter(middle);
    if (area.isValid()) {
        placed.moveLeft(std::clamp(placed.left(), area.left(), std::max(area.left(), area.right() - placed.width())));
        placed.moveTop(std::clamp(placed.top(), area.top(), std::max(area.top(), area.bottom() - placed.height())));
    }
    window->move(placed.topLeft());
}

PreviewBlink::PreviewBlink(ElementDialog* dialog, QCheckBox* box, const QString& timerName, std::function<void()> redraw)
    : QObject(dialog), dialog_(dialog), box_(box), timer_(new QTimer(dialog)), redraw_(std::move(redraw))
{
    constexpr int kBlinkMs = 500;
    timer_->setObjectName(timerName);
    timer_->setInterval(kBlinkMs);
    connect(box_, &QCheckBox::toggled, this, &PreviewBlink::toggled);
    connect(timer_, &QTimer::timeout, this, &PreviewBlink::tick);
}

void PreviewBlink::start(bool ticked)
{
    phase_ = false;
    const QSignalBlocker quiet(box_);
    box_->setChecked(ticked);
    toggled();
}

void PreviewBlink::resetPhase()
{
    phase_ = false;
    redraw_();
}

void PreviewBlink::stop()
{
    timer_->stop();
}

void PreviewBlink::tick()
{
    phase_ = !phase_;
    redraw_();
}

void PreviewBlink::toggled()
{
    if (box_->isChecked()) {
        if (dialog_->isOpen())
            timer_->start();
    } else {
        timer_->stop();
        phase_ = false;
    }
    redraw_();
}

std::optional<PageChanges> ElementDialog::closingChanges(const OkOutcome& r)
{
    if (!r.closes)
        return std::nullopt;
    return r.changes;
}

// ---- the binding list ----------------------------------------------------------------

void ElementDialog::rebuildList()
{
    list_->clear();
    list_->addItems(listEntries());
    list_->setCurrentIndex(list_->count() > 0 ? 0 : -1);
}

bool ElementDialog::selectListPosition(int position)
{
    if (position < 0 || position >= list_->count())
        return false;
    list_->setCurrentIndex(position);
    return true;
}

int ElementDialog::listPosition() const
{
    return std::max(0, list_->currentIndex());
}

void ElementDialog::fillBoundForm(BoundForm& form) const
{
    form.number = number_->text();
    form.x = x_->text();
    form.y = y_->text();
    form.block = block_->text();
    form.output = listPosition();
}

bool ElementDialog::showBoundForm(const BoundForm& form)
{
    number_->setText(form.number);
    x_->setText(form.x);
    y_->setText(form.y);
    {
        // The list is rebuilt once below, also when the text stays the same.
        const QSignalBlocker quiet(block_);
        block_->setText(form.block);
    }
    rebuildList();
    return selectListPosition(form.output);
}

} // namespace ostrel
