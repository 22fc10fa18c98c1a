#include "display/values_table.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace ostrel {

QString valueListText(const std::vector<double>& values)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'g', 15);
    return parts.join(QStringLiteral("; "));
}

bool parseValueList(const QString& text, std::vector<double>& out, QString& error)
{
    const QRegularExpression separators(QStringLiteral("[;\\s]+"));
    std::vector<double> list;
    const QStringList parts = text.split(separators, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const double v = QString(parts[i]).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            error = QStringLiteral("Не число: \"%1\" (значение %2)").arg(parts[i]).arg(i + 1);
            return false;
        }
        list.push_back(v);
    }
    out = std::move(list);
    return true;
}

BlockValuesModel::BlockValuesModel(QObject* parent) : QAbstractTableModel(parent) {}

void BlockValuesModel::setValues(BlockValues values)
{
    values_ = std::move(values);
    rebuildRows();
    emit valuesChanged();
}

void BlockValuesModel::setBlocks(QList<BlockRow> blocks)
{
    blocks_ = std::move(blocks);
    rebuildRows();
}

void BlockValuesModel::rebuildRows()
{
    beginResetModel();
    rows_ = blocks_;
    for (int block : values_.blocks())
        if (std::none_of(rows_.begin(), rows_.end(), [block](const BlockRow& r) { return r.block == block; }))
            rows_.append(BlockRow{block, {}});
    std::sort(rows_.begin(), rows_.end(), [](const BlockRow& a, const BlockRow& b) { return a.block < b.block; });
    endResetModel();
}

int BlockValuesModel::rowOfBlock(int block) const
{
    for (qsizetype i = 0; i < rows_.size(); ++i)
        if (rows_[i].block == block)
            return int(i);
    return -1;
}

int BlockValuesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int BlockValuesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant BlockValuesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const BlockRow& r = rows_[index.row()];
    switch (index.column()) {
    case BlockColumn:
        return r.type.isEmpty() ? QString::number(r.block) : QStringLiteral("%1  %2").arg(r.block).arg(r.type);
    case OutputsColumn:
        return valueListText(values_.outputsOf(r.block));
    case SetpointsColumn:
        return valueListText(values_.setpointsOf(r.block));
    default:
        return {};
    }
}

bool BlockValuesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rows_.size() || role != Qt::EditRole || index.column() == BlockColumn)
        return false;
    std::vector<double> list;
    QString error;
    if (!parseValueList(value.toString(), list, error)) {
        emit refused(error);
        return false;
    }
    const int block = rows_[index.row()].block;
    const bool outputs = index.column() == OutputsColumn;
    if ((outputs ? values_.outputsOf(block) : values_.setpointsOf(block)) == list)
        return true;
    std::vector<double> outs = outputs ? std::move(list) : values_.outputsOf(block);
    std::vector<double> sets = outputs ? values_.setpointsOf(block) : std::move(list);
    values_.removeBlock(block);
    if (!outs.empty() || !sets.empty())
        values_.setOutputs(block, std::move(outs));
    if (!sets.empty())
        values_.setSetpoints(block, std::move(sets));
    emit dataChanged(index, index);
    emit valuesChanged();
    return true;
}

Qt::ItemFlags BlockValuesModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != BlockColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant BlockValuesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case BlockColumn:
        return QStringLiteral("Блок");
    case OutputsColumn:
        return QStringLiteral("Выходы");
    case SetpointsColumn:
        return QStringLiteral("Уставки");
    default:
        return {};
    }
}

} // namespace ostrel
