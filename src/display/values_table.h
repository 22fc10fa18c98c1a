#pragma once
// The sample values of the panel preview as a table: one row per block, its
// outputs and its setpoints each as a list of numbers ("72.5; 48.3; 420"),
// the same values a `--values` file of ostrel-panel gives. The rows are the
// scheme's blocks and every block the values name. Editing a list parses
// it (";" or blanks between numbers, "." or "," before the decimals); a
// list that does not parse is refused and `refused` says why.
#include "display/block_values.h"
#include <QAbstractTableModel>
#include <QList>
#include <QString>

namespace ostrel {

class BlockValuesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { BlockColumn, OutputsColumn, SetpointsColumn, ColumnCount };

    struct BlockRow {
        int block = 0;
        QString type; // the block type's code, shown beside the number
    };

    explicit BlockValuesModel(QObject* parent = nullptr);

    const BlockValues& values() const { return values_; }
    void setValues(BlockValues values);
    // The scheme's blocks (shown even without values).
    void setBlocks(QList<BlockRow> blocks);
    int rowOfBlock(int block) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void valuesChanged();
    void refused(const QString& reason);

private:
    void rebuildRows();

    BlockValues values_;
    QList<BlockRow> blocks_; // of the scheme
    QList<BlockRow> rows_;   // shown: the scheme's and the values' blocks
};

// "72.5; 48.3; 420" for a list of values.
QString valueListText(const std::vector<double>& values);
// A list typed into the table; false with the reason when a part is not a number.
bool parseValueList(const QString& text, std::vector<double>& out, QString& error);

} // namespace ostrel
