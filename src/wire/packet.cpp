#include "wire/packet.h"
#include "wire/transfer_state.h"
#include <algorithm>

namespace ostrel {

uint16_t crc16(const char* data, qsizetype size)
{
    uint16_t crc = 0xFFFF;
    for (qsizetype i = 0; i < size; ++i) {
        crc ^= uint8_t(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

void ComputeCrc(TransferState& ts)
{
    const qsizetype covered = std::clamp<qsizetype>(ts.packet_length, 0, ts.packet.size());
    ts.crc = crc16(ts.packet.constData(), covered);
}

QByteArray appendCrc(TransferState& ts)
{
    ComputeCrc(ts);
    ts.packet.append(char(ts.crc >> 8));
    ts.packet.append(char(ts.crc & 0xFF));
    return ts.packet;
}

QByteArray withCrc(const QByteArray& covered)
{
    const uint16_t crc = crc16(covered.constData(), covered.size());
    QByteArray out;
    out.reserve(covered.size() + 2);
    out.append(covered);
    out.append(char(crc >> 8));
    out.append(char(crc & 0xFF));
    return out;
}

bool Element_SCADA_COMPORT(TransferState& ts, int32_t v)
{
    if (v < 0 || v > 0xFFFF)
        return false;
    if (ts.tx_length < 0 || qsizetype(ts.tx_length) + 2 > ts.tx_buffer.size())
        return false;
    char* p = ts.tx_buffer.data() + ts.tx_length;
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
    ts.tx_length += 2;
    return true;
}

} // namespace ostrel
