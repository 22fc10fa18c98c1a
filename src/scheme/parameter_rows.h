#pragma once
// The parameter editor's rows without widgets: which parameter or text of the
// block each row of each type edits (under the chosen channel, step, event,
// page or button), what every row shows, and what a user's choice or typing
// stores. The editor window mirrors this model; tests drive it directly too.
//
// Every write goes through BlockSlots, which refuses any parameter or text
// outside the block's own range, so no row can change a neighbour block.
#include "scheme/block_catalog.h"
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace ostrel {

struct BlockTable;

// The values that pick which slot a row addresses.
struct RowContext {
    int c = 0;       // channel / step / event / page, counted as the row table counts it
    int button = 0;  // SCADA-page block: button 0..kScadaButtons - 1
    int panel = 0;   // PAN: panel type p0 (kPanelIncDecPid moves the setpoints)
};

struct RowBinding {
    SlotKind kind = SlotKind::None;
    int index = -1;         // parameter or text number inside the block
    bool selector = false;  // choosing it changes what the other rows address
    bool stores = true;     // false: shown only; a choice is not stored
};

// The slot catalog row `row` addresses under `ctx`. The raw address may lie
// outside the block; BlockSlots decides whether it is usable.
RowBinding rowBinding(const EditorRow& row, const RowContext& ctx);

// The parameters and texts one block owns, bounded by its type's counts and
// by the stores. Pointers are null outside that range.
class BlockSlots {
public:
    BlockSlots(BlockTable& blocks, const BlockCatalog& catalog, int block);
    int paramCount() const { return params_; }
    int textCount() const { return texts_; }
    float* param(int k) const;
    QString* text(int k) const;

private:
    BlockTable* blocks_;
    int block_;
    int params_ = 0;
    int texts_ = 0;
};

// Number text in the user's locale: QLocale() first, then either decimal
// separator. Group separators are not accepted (a comma is a decimal comma).
// Non-finite results and values beyond a float are refused.
std::optional<float> parseUserNumber(const QString& text);
// A parameter as the number rows show it (QLocale(), up to 7 digits).
QString formatUserNumber(float value);

struct RowView {
    RowKind kind = RowKind::Hidden;
    QString caption;
    QStringList items;   // list and selector rows
    int current = -1;    // list and selector rows: chosen item, -1 none
    QString text;        // number and name rows
    bool enabled = true; // false: the row addresses nothing inside the block
};

class ParameterRows {
public:
    static constexpr int kRows = BlockCatalog::kRows;

    ParameterRows(BlockTable& blocks, const BlockCatalog& catalog);

    // Lays out block `block` and loads its values. `cod_step` is the step a
    // code block starts at. false when a stored value cannot be shown (a list
    // index beyond its list); the rows after it then stay empty.
    bool load(int block, int cod_step);

    int block() const { return block_; }
    int type() const { return type_; }
    int rowCount() const { return shown_; } // rows laid out (0..17)
    const RowView& row(int r) const { return rows_[r]; }
    const RowContext& context() const { return ctx_; }
    RowBinding binding(int r) const;
    int codStep() const { return codStep_; }
    // The row a load stopped at, -1 after a complete load.
    int failedRow() const { return failedRow_; }

    // A user's choice of item `index` in the list of row r: stores it, then
    // recaptions and reloads the rows that follow from it. Out-of-range rows
    // and indices are ignored.
    void choose(int r, int index);
    // The user's text in row r. A number row stores the converted value, a
    // name row the text. false when nothing was stored.
    bool edit(int r, const QString& text);

private:
    void refreshContextFromStore();
    void recaption();
    bool loadRow(int r);            // false: the stored value cannot be shown
    void reloadValues(int except);  // silent reload of non-selector rows
    bool usable(int r) const;       // the row addresses a slot of the block
    void stopLoadingAt(int r);
    void pick(const EditorRow& row, int index); // a selector's choice
    int subtype() const;

    BlockSlots own() const { return BlockSlots(blocks_, catalog_, block_); }

    BlockTable& blocks_;
    const BlockCatalog& catalog_;
    int block_ = 0;
    int type_ = 0;
    int shown_ = 0;
    int codStep_ = 0;
    int failedRow_ = -1;
    RowContext ctx_;
    std::array<RowView, kRows> rows_{};
};

} // namespace ostrel
