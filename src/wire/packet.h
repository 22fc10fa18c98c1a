#pragma once
// Packet framing of the controller link: CRC-16 (reflected polynomial 0xA001,
// initial value 0xFFFF, no final XOR) appended high byte first, and the
// little-endian word writer of the page transmit buffer.
#include <QByteArray>
#include <cstdint>

namespace ostrel {

struct TransferState;

// CRC-16 over `size` bytes (check value 0x4B37 over "123456789").
uint16_t crc16(const char* data, qsizetype size);

// Command letters (second byte of every packet).
inline constexpr char kSchemeHeader = 'A';
inline constexpr char kSchemeData = 'B';
inline constexpr char kPageHeader = 'C';
inline constexpr char kPageData = 'D';

// crc := checksum over the first packet_length bytes of packet (clamped to the
// packet's size, so a wrong length never reads past the end).
void ComputeCrc(TransferState& ts);

// Steps 1 and 2 of sending: computes the checksum over the first
// packet_length bytes and appends it, high byte first. Returns the packet as
// it goes on the wire.
QByteArray appendCrc(TransferState& ts);

// A packet with its checksum appended: the covered bytes are the whole input.
QByteArray withCrc(const QByteArray& covered);

// Appends v as two bytes, low byte first, at tx_length and advances tx_length
// by 2. A value outside 0..65535 or a write that would pass the end of
// tx_buffer writes nothing and returns false.
bool Element_SCADA_COMPORT(TransferState& ts, int32_t v);

} // namespace ostrel
