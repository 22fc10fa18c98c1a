#pragma once
// The MODBUS channel table of an RS485 block: eight channels held in the
// block's 48 text slots as decimal text, one byte value per slot.
//   t(j) enabled, t(8+j) function index, t(16+j) data type index,
//   t(24+j) input/output mask, t(32+2j) / t(33+2j) address high / low byte.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace ostrel {

struct BlockTable;
class BlockCatalog;

inline constexpr int kModbusChannels = 8;
inline constexpr int kModbusSlots = 48;
inline constexpr int kModbusDeviceType = 2; // RS485 parameter 1 for MODBUS master

struct ModbusChannel {
    bool enabled = false;
    int function = 0;   // index into modbusFunctionItems()
    int data_type = 0;  // index into modbusDataTypes()
    uint8_t io_mask = 0;
    int address = 0;    // 0..65535
};

// List texts: the function codes 1, 2, 3, 4, 5, 6, 15, 16 and the data types.
const QStringList& modbusFunctionItems();
const QStringList& modbusDataTypes();
// Function indices 4..7 write (take block inputs), 0..3 read (feed outputs).
inline bool modbusWrites(int function_index) { return function_index > 3; }
// "Вход" for writing functions, "Выход" for reading ones.
QString modbusDirectionLabel(int function_index);

// True when `block` is an RS485 block in MODBUS mode (parameter 1 = 2).
bool isModbusBlock(BlockTable& blocks, const BlockCatalog& catalog, int block);
// True when the block owns the whole 48-slot table (RS485 texts exist only
// for controller version 5); otherwise no slot may be read or written.
bool ownsModbusTable(BlockTable& blocks, const BlockCatalog& catalog, int block);

// A slot as a number: empty = 0, otherwise an integer in either decimal
// notation; nullopt for text that is not a number.
std::optional<long> modbusSlotValue(const QString& slot);

// The address typed by the user, nullopt when it is not a number or falls
// outside 0..65535 once rounded to an integer.
std::optional<int> parseModbusAddress(const QString& text);

// Writes channel j into the block's slots. The address is written only when
// given (a rejected address keeps the stored bytes). Nothing is written when
// the block does not own the table.
void storeModbusChannel(BlockTable& blocks, const BlockCatalog& catalog, int block, int j, const ModbusChannel& ch,
                        std::optional<int> address);

} // namespace ostrel
