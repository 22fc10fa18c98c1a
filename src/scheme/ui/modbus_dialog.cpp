#include "scheme/ui/modbus_dialog.h"

#include "platform/ui/project_text_guard.h"
#include "platform/ui/escape_key.h"
#include "platform/interaction.h"
#include "scheme/block_catalog.h"
#include "scheme/block_table.h"
#include "scheme/modbus_channels.h"
#include "scheme/parameter_rows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

namespace ostrel {

namespace {

QLabel* header(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

ModbusDialog::ModbusDialog(BlockTable& blocks, const BlockCatalog& catalog, Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), blocks_(blocks), catalog_(catalog), ui_(ui)
{
    setObjectName(QStringLiteral("Com_Terminal"));
    setWindowTitle(QStringLiteral("MODBUS RTU Блок №"));

    auto* top = new QGridLayout;
    top->addWidget(header(QStringLiteral("№ в сети"), this), 0, 0);
    top->addWidget(header(QStringLiteral("Скорость"), this), 0, 1);
    network_ = new QLabel(this);
    network_->setObjectName(QStringLiteral("Label_Network"));
    speed_ = new QLabel(this);
    speed_->setObjectName(QStringLiteral("Label_Speed"));
    top->addWidget(network_, 1, 0);
    top->addWidget(speed_, 1, 1);
    top->setColumnStretch(2, 1);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->addWidget(header(QStringLiteral("Запрос"), this), 0, 0);
    grid->addWidget(header(QStringLiteral("Функция"), this), 0, 1);
    grid->addWidget(header(QStringLiteral("Тип данных"), this), 0, 2);
    grid->addWidget(header(QStringLiteral("Адрес"), this), 0, 3);
    for (int b = 0; b < 8; ++b) {
        auto* l = new QLabel(QString::number(b + 1), this);
        l->setAlignment(Qt::AlignCenter);
        grid->addWidget(l, 0, 5 + b);
    }

    for (int j = 0; j < kChannels; ++j) {
        const int row = j + 1;
        auto* en = new QCheckBox(QString::number(j + 1), this);
        en->setObjectName(QStringLiteral("Enable_Box_%1").arg(j));
        auto* fn = new QComboBox(this);
        fn->setObjectName(QStringLiteral("Num_FUNC_%1").arg(j));
        fn->addItems(modbusFunctionItems());
        auto* ty = new QComboBox(this);
        ty->setObjectName(QStringLiteral("Type_data_%1").arg(j));
        ty->addItems(modbusDataTypes());
        auto* adr = new QLineEdit(this);
        adr->setObjectName(QStringLiteral("ADR_MODBUS_%1").arg(j));
        adr->setFixedWidth(64);
        auto* dir = new QLabel(this);
        dir->setObjectName(QStringLiteral("Label_I_O_%1").arg(j));
        dir->setMinimumWidth(44);
        enable_[j] = en;
        function_[j] = fn;
        type_[j] = ty;
        address_[j] = adr;
        direction_[j] = dir;
        grid->addWidget(en, row, 0);
        grid->addWidget(fn, row, 1);
        grid->addWidget(ty, row, 2);
        grid->addWidget(adr, row, 3);
        grid->addWidget(dir, row, 4);
        for (int b = 0; b < 8; ++b) {
            auto* box = new QCheckBox(this);
            box->setObjectName(QStringLiteral("in_out_%1").arg(8 * j + b));
            io_[8 * j + b] = box;
            grid->addWidget(box, row, 5 + b, Qt::AlignCenter);
            connect(box, &QCheckBox::clicked, this, [this, j] {
                touched_[j] = true;
                updateBoxes();
            });
        }
        // User changes only: the loader applies the same reactions itself.
        connect(en, &QCheckBox::clicked, this, [this, j] {
            touched_[j] = true;
            applyEnable(j);
        });
        connect(fn, &QComboBox::activated, this, [this, j](int i) {
            touched_[j] = true;
            direction_[j]->setText(modbusDirectionLabel(i));
            updateBoxes();
        });
        connect(ty, &QComboBox::activated, this, [this, j] { touched_[j] = true; });
        connect(adr, &QLineEdit::textEdited, this, [this, j] { touched_[j] = true; });
    }

    ok_ = new QPushButton(QStringLiteral("Ok"), this);
    ok_->setObjectName(QStringLiteral("Ok_Go_Block"));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("Cancel_Go_Block"));
    connect(ok_, &QPushButton::clicked, this, [this] {
        store();
        close();
    });
    connect(cancel_, &QPushButton::clicked, this, &QWidget::close);
    cancelOnEscape(this, cancel_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(grid);
    main->addLayout(buttons);
    resetControls();
    guardProjectTexts(this, ui_);
}

void ModbusDialog::resetControls()
{
    for (int j = 0; j < kChannels; ++j) {
        enable_[j]->setChecked(false);
        function_[j]->setCurrentIndex(0);
        type_[j]->setCurrentIndex(0);
        address_[j]->clear();
        direction_[j]->setText(modbusDirectionLabel(0));
        for (int b = 0; b < 8; ++b)
            io_[8 * j + b]->setChecked(false);
    }
    loaded_.fill(false);
    touched_.fill(false);
    for (int j = 0; j < kChannels; ++j)
        applyEnable(j);
}

bool ModbusDialog::openFor(int block)
{
    if (!isModbusBlock(blocks_, catalog_, block))
        return false;
    if (!ownsModbusTable(blocks_, catalog_, block)) {
        ui_.message(QStringLiteral("Ошибка RS485 !!!"));
        return false;
    }
    block_ = block;
    resetControls();
    show();
    raise();
    activateWindow();
    if (!loadChannels())
        ui_.message(QStringLiteral("Ошибка RS485 !!!"));
    return true;
}

bool ModbusDialog::loadChannels()
{
    const BlockSlots own(blocks_, catalog_, block_);
    setWindowTitle(QStringLiteral("MODBUS RTU Блок №%1").arg(block_));
    const float p0 = *own.param(0);
    network_->setText(QStringLiteral("№ в сети ") + formatUserNumber(p0 + 1));
    speed_->setText(QStringLiteral("Скорость "));
    const float p2 = *own.param(2);
    const QStringList& bauds = BlockCatalog::baudList();
    if (!std::isfinite(p2) || std::nearbyint(p2) < 0 || std::nearbyint(p2) >= bauds.size())
        return false;
    speed_->setText(QStringLiteral("Скорость ") + bauds[int(std::nearbyint(p2))]);

    for (int j = 0; j < kChannels; ++j) {
        const auto en = modbusSlotValue(*own.text(j));
        if (!en || *en < 0 || *en > 1)
            return false;
        enable_[j]->setChecked(*en == 1);
        applyEnable(j);

        const auto fn = modbusSlotValue(*own.text(8 + j));
        if (!fn || *fn < 0 || *fn >= function_[j]->count())
            return false;
        function_[j]->setCurrentIndex(int(*fn));
        direction_[j]->setText(modbusDirectionLabel(int(*fn)));
        updateBoxes();

        const auto ty = modbusSlotValue(*own.text(16 + j));
        if (!ty || *ty < 0 || *ty >= type_[j]->count())
            return false;
        type_[j]->setCurrentIndex(int(*ty));

        const auto mask = modbusSlotValue(*own.text(24 + j));
        if (!mask)
            return false;
        long m = std::labs(*mask);
        for (int b = 0; b < 8; ++b) {
            io_[8 * j + b]->setChecked(m % 2 == 1);
            m /= 2;
            updateBoxes();
        }

        const auto hi = modbusSlotValue(*own.text(32 + 2 * j));
        const auto lo = modbusSlotValue(*own.text(33 + 2 * j));
        if (!hi || !lo)
            return false;
        address_[j]->setText(QString::number(qint64(*hi) * 256 + *lo));
        loaded_[j] = true;
    }
    return true;
}

void ModbusDialog::applyEnable(int j)
{
    const bool on = enable_[j]->isChecked();
    function_[j]->setEnabled(on);
    type_[j]->setEnabled(on);
    direction_[j]->setEnabled(on);
    for (int b = 0; b < 8; ++b)
        io_[8 * j + b]->setChecked(false);
    updateBoxes();
}

void ModbusDialog::updateBoxes()
{
    // Each input or output b serves at most one enabled reading channel and at
    // most one enabled writing channel. A ticked box always stays clearable.
    for (int c = 0; c < kChannels; ++c) {
        const bool on = enable_[c]->isChecked();
        const bool writes = modbusWrites(function_[c]->currentIndex());
        for (int b = 0; b < 8; ++b) {
            QCheckBox* box = io_[8 * c + b];
            bool taken = false;
            for (int o = 0; o < kChannels && !taken; ++o) {
                taken = o != c && enable_[o]->isChecked()
                        && modbusWrites(function_[o]->currentIndex()) == writes
                        && io_[8 * o + b]->isChecked();
            }
            box->setEnabled(on && (box->isChecked() || !taken));
        }
    }
}

void ModbusDialog::store()
{
    if (!ownsModbusTable(blocks_, catalog_, block_))
        return;
    for (int j = 0; j < kChannels; ++j) {
        // A channel the loader could not read keeps its slots unless the
        // user filled it in.
        if (!loaded_[j] && !touched_[j])
            continue;
        ModbusChannel ch;
        ch.enabled = enable_[j]->isChecked();
        ch.function = qMax(0, function_[j]->currentIndex());
        ch.data_type = qMax(0, type_[j]->currentIndex());
        int mask = 0;
        for (int b = 0; b < 8; ++b)
            if (io_[8 * j + b]->isChecked())
                mask |= 1 << b;
        ch.io_mask = uint8_t(mask);
        const auto address = parseModbusAddress(address_[j]->text());
        if (!address)
            ui_.message(QStringLiteral("Ошибка адреса!!!"));
        storeModbusChannel(blocks_, catalog_, block_, j, ch, address);
    }
}

void ModbusDialog::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace ostrel
