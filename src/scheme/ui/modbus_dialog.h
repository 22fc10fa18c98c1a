#pragma once
// The MODBUS channel window of an RS485 block ("MODBUS RTU Блок №n"): eight
// channels with enable box, function, data type, register address, direction
// label and eight input/output boxes. The slots change only on "Ok".
// Controls per channel j: "Enable_Box_<j>", "Num_FUNC_<j>", "Type_data_<j>",
// "ADR_MODBUS_<j>", "Label_I_O_<j>" and "in_out_<8j+b>" for b = 0..7.
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrel {

struct BlockTable;
class BlockCatalog;
class Interaction;

class ModbusDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChannels = 8;

    ModbusDialog(BlockTable& blocks, const BlockCatalog& catalog, Interaction& ui, QWidget* parent = nullptr);

    // Loads and shows the channel table of `block`. Does nothing and returns
    // false unless the block is an RS485 block in MODBUS mode; a block without
    // its 48 slots gives "Ошибка RS485 !!!" and is not opened.
    bool openFor(int block);
    int block() const { return block_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void resetControls();
    bool loadChannels();
    void applyEnable(int j);   // the enable box's reaction
    void updateBoxes();        // enable states of the input/output boxes
    void store();

    BlockTable& blocks_;
    const BlockCatalog& catalog_;
    Interaction& ui_;
    int block_ = -1;
    std::array<bool, kChannels> loaded_{};   // channel read completely from the slots
    std::array<bool, kChannels> touched_{};  // channel changed by the user

    QLabel* network_ = nullptr;
    QLabel* speed_ = nullptr;
    std::array<QCheckBox*, kChannels> enable_{};
    std::array<QComboBox*, kChannels> function_{};
    std::array<QComboBox*, kChannels> type_{};
    std::array<QLineEdit*, kChannels> address_{};
    std::array<QLabel*, kChannels> direction_{};
    std::array<QCheckBox*, kChannels * 8> io_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace ostrel
