#pragma once
// The packet log as a table for the panel window: one row per log entry,
// errors in red, warnings in brown, packets of other controllers in grey.
#include "panel/packet_log.h"
#include <QAbstractTableModel>

namespace ostrel {

class PacketLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Gap, Channel, Index, Packet, Controller, Length, Check, Problems, ColumnCount };

    explicit PacketLogModel(const PacketLog& log, QObject* parent = nullptr);

    // The log grew (rows up to log.size() - 1 are new) or a row changed.
    void rowsAppended();
    void rowChanged(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const PacketLog& log_;
    int rows_ = 0;
};

} // namespace ostrel
