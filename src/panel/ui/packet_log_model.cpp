#include "panel/ui/packet_log_model.h"

#include <QBrush>
#include <QColor>

namespace ostrel {

PacketLogModel::PacketLogModel(const PacketLog& log, QObject* parent)
    : QAbstractTableModel(parent), log_(log), rows_(log.size())
{
}

void PacketLogModel::rowsAppended()
{
    if (log_.size() <= rows_)
        return;
    beginInsertRows({}, rows_, log_.size() - 1);
    rows_ = log_.size();
    endInsertRows();
}

void PacketLogModel::rowChanged(int row)
{
    if (row >= 0 && row < rows_)
        emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int PacketLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PacketLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant PacketLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_)
        return {};
    const PacketLogEntry& e = log_.at(index.row());
    if (role == Qt::ForegroundRole) {
        if (e.error)
            return QBrush(QColor(192, 0, 0));
        if (!e.problems.isEmpty())
            return QBrush(QColor(150, 90, 0));
        if (e.ignored)
            return QBrush(QColor(128, 128, 128));
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case Gap:
        case Index:
        case Controller:
        case Length: return int(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Time: return logTime(e);
    case Gap: return logGap(e);
    case Channel: return e.channel;
    case Index: return e.index >= 0 ? QVariant(e.index) : QVariant(QStringLiteral("-"));
    case Packet: return e.packet;
    case Controller: return e.controller;
    case Length: return e.length;
    case Check: return e.ignored ? e.check + QStringLiteral(", чужой контроллер") : e.check;
    case Problems:
        return role == Qt::ToolTipRole ? e.problems.join(QLatin1Char('\n')) : e.problems.join(QStringLiteral("; "));
    default: return {};
    }
}

QVariant PacketLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Time: return QStringLiteral("Время");
    case Gap: return QStringLiteral("Интервал, мс");
    case Channel: return QStringLiteral("Канал");
    case Index: return QStringLiteral("№");
    case Packet: return QStringLiteral("Пакет");
    case Controller: return QStringLiteral("Контроллер");
    case Length: return QStringLiteral("Длина");
    case Check: return QStringLiteral("Проверка");
    case Problems: return QStringLiteral("Замечания");
    default: return {};
    }
}

} // namespace ostrel
