#include "scheme/modbus_channels.h"

#include "scheme/block_table.h"
#include "scheme/parameter_rows.h"

#include <cmath>

namespace ostrel {

const QStringList& modbusFunctionItems()
{
    static const QStringList items{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                                   QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
                                   QStringLiteral("15"), QStringLiteral("16")};
    return items;
}

const QStringList& modbusDataTypes()
{
    static const QStringList items{QStringLiteral("unsigned int16"), QStringLiteral("signed int16"),
                                   QStringLiteral("unsigned int32"), QStringLiteral("signed int32"),
                                   QStringLiteral("IEEE float32"),   QStringLiteral("discrete on/off")};
    return items;
}

QString modbusDirectionLabel(int function_index)
{
    return modbusWrites(function_index) ? QStringLiteral("Вход") : QStringLiteral("Выход");
}

bool isModbusBlock(BlockTable& blocks, const BlockCatalog& catalog, int block)
{
    if (block < 0 || block >= BlockTable::kBlocks || blocks.block_type[block] != kRs485)
        return false;
    const float* p1 = BlockSlots(blocks, catalog, block).param(1);
    return p1 && *p1 == float(kModbusDeviceType);
}

bool ownsModbusTable(BlockTable& blocks, const BlockCatalog& catalog, int block)
{
    if (block < 0 || block >= BlockTable::kBlocks || blocks.block_type[block] != kRs485)
        return false;
    const BlockSlots own(blocks, catalog, block);
    return own.textCount() >= kModbusSlots && own.text(kModbusSlots - 1) != nullptr;
}

std::optional<long> modbusSlotValue(const QString& slot)
{
    const QString s = slot.trimmed();
    if (s.isEmpty())
        return 0;
    const auto v = parseUserNumber(s);
    if (!v || std::fabs(double(*v)) > 2147483647.0)
        return std::nullopt;
    return long(std::nearbyint(double(*v)));
}

std::optional<int> parseModbusAddress(const QString& text)
{
    const auto v = parseUserNumber(text);
    if (!v || *v < 0)
        return std::nullopt;
    const double a = std::nearbyint(double(*v));
    if (a > 65535)
        return std::nullopt;
    return int(a);
}

void storeModbusChannel(BlockTable& blocks, const BlockCatalog& catalog, int block, int j, const ModbusChannel& ch,
                        std::optional<int> address)
{
    if (j < 0 || j >= kModbusChannels || !ownsModbusTable(blocks, catalog, block))
        return;
    const BlockSlots own(blocks, catalog, block);
    *own.text(j) = ch.enabled ? QStringLiteral("1") : QStringLiteral("0");
    *own.text(8 + j) = QString::number(ch.function);
    *own.text(16 + j) = QString::number(ch.data_type);
    *own.text(24 + j) = QString::number(ch.io_mask);
    if (address) {
        *own.text(32 + 2 * j) = QString::number(*address / 256);
        *own.text(33 + 2 * j) = QString::number(*address % 256);
    }
}

} // namespace ostrel
