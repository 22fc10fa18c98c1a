#pragma once
// The block parameter window ("Установка параметров"): one caption plus a list
// or a text box per catalog row of the current block's type. Every change is
// stored at once. Row controls are named "Set_ParametrLabel_<r>",
// "Value_Combo_<r>" and "Value_Text_<r>" for rows r = 0..16.
//
// Construct it once and reuse it: it remembers the code block's step between
// openings. A click on the block picture of an RS485 block in MODBUS mode
// opens the channel dialog and disables this window until that one closes.
#include "scheme/parameter_rows.h"
#include <QWidget>
#include <array>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ostrel {

struct BlockTable;
class BlockCatalog;
class Interaction;
class ModbusDialog;

class BlockParameterEditor : public QWidget {
    Q_OBJECT
public:
    BlockParameterEditor(BlockTable& blocks, const BlockCatalog& catalog, Interaction& ui, QWidget* parent = nullptr);
    ~BlockParameterEditor() override;

    // Makes `block` the current block, loads its rows and shows the window.
    // Row 1's text box takes at most 40 characters for the journal, 17 otherwise.
    void openFor(int block);

    const ParameterRows& rows() const { return rows_; }
    int codStep() const { return codStep_; }
    // The channel dialog (created on first use; null before).
    ModbusDialog* modbusDialog() const { return modbus_.get(); }

public slots:
    // What a click on the block picture does.
    void blockPictureClicked();

signals:
    void closed();
    // The MODBUS dialog closed ("Ok" has stored its channels).
    void modbusClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void syncRows();
    void layoutWindow();
    void onChosen(int r, int index);
    void onEdited(int r, const QString& text);

    BlockTable& blocks_;
    const BlockCatalog& catalog_;
    Interaction& ui_;
    ParameterRows rows_;
    int codStep_ = 0;

    std::array<QLabel*, ParameterRows::kRows> captions_{};
    std::array<QComboBox*, ParameterRows::kRows> combos_{};
    std::array<QLineEdit*, ParameterRows::kRows> texts_{};
    QFrame* frame_ = nullptr;     // Blok_Image
    QLabel* symbol_ = nullptr;    // Bl_Image
    QLabel* number_ = nullptr;    // the block number in blue
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::unique_ptr<ModbusDialog> modbus_;
};

} // namespace ostrel
