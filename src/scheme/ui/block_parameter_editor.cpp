#include "scheme/ui/block_parameter_editor.h"

#include "platform/ui/project_text_guard.h"
#include "platform/ui/escape_key.h"
#include "platform/interaction.h"
#include "scheme/block_catalog.h"
#include "scheme/block_symbol.h"
#include "scheme/block_table.h"
#include "scheme/modbus_channels.h"
#include "scheme/ui/modbus_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace ostrel {

namespace {

// The window is laid out in twips, 15 to a pixel.
constexpr int px(int twips) { return (twips + 7) / 15; }

constexpr int kCaptionLeft = 180;
constexpr int kControlLeft = 1620;
constexpr int kRowTop = 390;
constexpr int kRowStep = 330;
constexpr int kCaptionWidth = 1410;
constexpr int kControlWidth = 2700;
constexpr int kRowHeight = 300;
constexpr int kWindowWidth = kControlLeft + kControlWidth + 240;
constexpr int kFullHeight = 7310;     // outer height with all 17 rows
constexpr int kChrome = 450;          // title bar and borders of the outer height
constexpr int kButtonWidth = 1000;
constexpr int kButtonHeight = 375;

const QColor kNameBackground(192, 255, 255);

// Long captions ("Имя задатчика 1") must fit before the controls: shrink the
// label's font a little where the window font is too wide.
void fitCaption(QLabel* label, const QFont& base)
{
    QFont f = base;
    const int room = label->width();
    qreal size = f.pointSizeF() > 0 ? f.pointSizeF() : 9.0;
    while (QFontMetrics(f).horizontalAdvance(label->text()) > room && size > 6.0) {
        size -= 0.5;
        f.setPointSizeF(size);
    }
    label->setFont(f);
}

} // namespace

BlockParameterEditor::BlockParameterEditor(BlockTable& blocks, const BlockCatalog& catalog, Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), blocks_(blocks), catalog_(catalog), ui_(ui), rows_(blocks, catalog)
{
    setObjectName(QStringLiteral("PropertyBLOCK"));
    setWindowTitle(QStringLiteral("Установка параметров"));

    for (int r = 0; r < ParameterRows::kRows; ++r) {
        const int top = px(kRowTop + kRowStep * r);
        auto* caption = new QLabel(this);
        caption->setObjectName(QStringLiteral("Set_ParametrLabel_%1").arg(r));
        caption->setGeometry(px(kCaptionLeft), top, px(kCaptionWidth), px(kRowHeight));
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("Value_Combo_%1").arg(r));
        combo->setGeometry(px(kControlLeft), top, px(kControlWidth), px(kRowHeight));
        combo->setMaxVisibleItems(16);
        auto* text = new QLineEdit(this);
        text->setObjectName(QStringLiteral("Value_Text_%1").arg(r));
        text->setGeometry(px(kControlLeft), top, px(kControlWidth), px(kRowHeight));
        captions_[r] = caption;
        combos_[r] = combo;
        texts_[r] = text;
        // Only the user's own choices and edits store; the window filling a
        // control emits neither signal.
        connect(combo, &QComboBox::activated, this, [this, r](int i) { onChosen(r, i); });
        connect(text, &QLineEdit::textEdited, this, [this, r](const QString& s) { onEdited(r, s); });
        caption->hide();
        combo->hide();
        text->hide();
    }

    frame_ = new QFrame(this);
    frame_->setObjectName(QStringLiteral("Blok_Image"));
    frame_->setFrameShape(QFrame::Box);
    frame_->setFrameShadow(QFrame::Sunken);
    frame_->setLineWidth(1);
    frame_->resize(kBlockSymbolSize + 6, kBlockSymbolSize + 6);
    symbol_ = new QLabel(frame_);
    symbol_->setObjectName(QStringLiteral("Bl_Image"));
    symbol_->setGeometry(px(30) + 1, px(30) + 1, kBlockSymbolSize, kBlockSymbolSize);
    symbol_->setCursor(Qt::PointingHandCursor);
    symbol_->installEventFilter(this);

    number_ = new QLabel(this);
    number_->setObjectName(QStringLiteral("Block_Number"));
    QPalette pal = number_->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    number_->setPalette(pal);
    QFont f = number_->font();
    f.setBold(true);
    number_->setFont(f);

    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok_Property"));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("Cancel_Property"));
    // Both buttons only close: values are stored as they change.
    connect(ok_, &QPushButton::clicked, this, &QWidget::close);
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    cancelOnEscape(this, cancel_);

    setFixedSize(px(kWindowWidth), px(kFullHeight - kChrome));
    guardProjectTexts(this, ui_);
}

BlockParameterEditor::~BlockParameterEditor() = default;

void BlockParameterEditor::openFor(int block)
{
    if (block < 0 || block >= BlockTable::kBlocks)
        return;
    if (modbus_ && modbus_->isVisible())
        modbus_->close();
    setEnabled(true);

    blocks_.cur_block = uint8_t(block);
    blocks_.cur_block_type = uint8_t(blocks_.block_type[block]);
    const int type = blocks_.block_type[block];
    texts_[1]->setMaxLength(type == kJournal ? 40 : 17);

    const bool loaded = rows_.load(block, codStep_);
    codStep_ = rows_.codStep();

    symbol_->setPixmap(QPixmap::fromImage(blockSymbol(type, catalog_.typeCode(type))));
    number_->setText(block < 10 ? QStringLiteral("0%1").arg(block) : QString::number(block));
    syncRows();
    layoutWindow();
    show();
    raise();
    activateWindow();
    if (!loaded)
        ui_.message(QStringLiteral("Ошибка параметра!!!"), {}, MessageIcon::Error);
}

void BlockParameterEditor::syncRows()
{
    for (int r = 0; r < ParameterRows::kRows; ++r) {
        const RowView& v = rows_.row(r);
        QLabel* caption = captions_[r];
        QComboBox* combo = combos_[r];
        QLineEdit* text = texts_[r];
        if (r >= rows_.rowCount() || v.kind == RowKind::Hidden) {
            caption->hide();
            combo->hide();
            text->hide();
            continue;
        }
        caption->setText(v.caption);
        fitCaption(caption, font());
        caption->show();
        if (v.kind == RowKind::List || v.kind == RowKind::Selector) {
            text->hide();
            QStringList now;
            for (int i = 0; i < combo->count(); ++i)
                now << combo->itemText(i);
            if (now != v.items) {
                combo->clear();
                combo->addItems(v.items);
            }
            combo->setCurrentIndex(v.current);
            combo->setEnabled(v.enabled);
            combo->show();
        } else {
            combo->hide();
            QPalette pal = text->palette();
            pal.setColor(QPalette::Base, v.kind == RowKind::Name ? kNameBackground : QColor(Qt::white));
            text->setPalette(pal);
            if (text->text() != v.text)
                text->setText(v.text);
            text->setEnabled(v.enabled);
            text->setToolTip(v.enabled ? QString()
                                       : QStringLiteral("Значение не хранится в параметрах блока"));
            text->show();
        }
    }
}

void BlockParameterEditor::layoutWindow()
{
    const int n = rows_.rowCount();
    const int height = n >= ParameterRows::kRows ? kFullHeight : 1700 + kRowStep * n;
    const int buttonTop = px(height - 1100);
    ok_->setGeometry(px(2000), buttonTop, px(kButtonWidth), px(kButtonHeight));
    cancel_->setGeometry(px(3200), buttonTop, px(kButtonWidth), px(kButtonHeight));
    frame_->move(px(500), px(height - 1280));
    number_->setGeometry(px(200), buttonTop, px(300), px(kButtonHeight));
    number_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFixedSize(px(kWindowWidth), px(height - kChrome));
}

void BlockParameterEditor::onChosen(int r, int index)
{
    rows_.choose(r, index);
    codStep_ = rows_.codStep();
    syncRows();
}

void BlockParameterEditor::onEdited(int r, const QString& text)
{
    rows_.edit(r, text); // text that is not a number stores nothing
}

void BlockParameterEditor::blockPictureClicked()
{
    const int block = blocks_.cur_block;
    if (!isVisible() || !isModbusBlock(blocks_, catalog_, block))
        return;
    if (!modbus_) {
        // Not a child: disabling this window must not disable the dialog.
        modbus_ = std::make_unique<ModbusDialog>(blocks_, catalog_, ui_);
        connect(modbus_.get(), &ModbusDialog::closed, this, [this] {
            setEnabled(true);
            emit modbusClosed();
        });
    }
    if (modbus_->openFor(block))
        setEnabled(false);
}

bool BlockParameterEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == symbol_ && event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && symbol_->rect().contains(me->position().toPoint()))
            blockPictureClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void BlockParameterEditor::closeEvent(QCloseEvent* event)
{
    if (modbus_ && modbus_->isVisible())
        modbus_->close(); // discards its unsaved channel changes
    setEnabled(true);
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace ostrel
