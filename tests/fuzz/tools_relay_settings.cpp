// The relay cells of a regression bench row ("Adress" and "Aisle", split at
// the first line end of the input): whatever they hold, a setting read is a
// Modbus address from 1 to 247 and one channel's coil bit, and the frame made
// from it carries both where the protocol puts them, with a CRC that checks.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/tools/relay_board.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

// Modbus RTU: the CRC over a whole frame, its own CRC included, is zero.
bool FrameChecks(const QByteArray& Frame)
{
    return ModbusCrc16(reinterpret_cast<const uint8_t*>(Frame.constData()), static_cast<size_t>(Frame.size())) == 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const QByteArray bytes(reinterpret_cast<const char*>(pData), static_cast<int>(nSize & 0xFFFF));
    const int nSplit = bytes.indexOf('\n');
    const QString sAddress = QString::fromUtf8(nSplit < 0 ? bytes : bytes.left(nSplit));
    const QString sChannel = QString::fromUtf8(nSplit < 0 ? QByteArray() : bytes.mid(nSplit + 1));
    uint8_t address = 0, bit = 0;
    const RELAY_SETTING_E e = ReadRelaySettings(sAddress, sChannel, &address, &bit);
    if (e != RELAY_SETTING_OK)
    {
        Check(e == RELAY_SETTING_BAD_ADDRESS || e == RELAY_SETTING_BAD_CHANNEL);
        return 0;
    }
    Check(address >= RELAY_ADDRESS_MIN && address <= RELAY_ADDRESS_MAX);
    Check(bit != 0 && (bit & (bit - 1)) == 0);
    Check(RelayChannelBit(sChannel.trimmed().toInt()) == bit);
    for (const uint8_t coils : {bit, uint8_t(0)})
    {
        const QByteArray frame = RelayFrame(address, coils);
        Check(frame.size() == RELAY_FRAME_LENGTH);
        Check(static_cast<uint8_t>(frame.at(0)) == address);
        Check(frame.mid(1, 6) == QByteArray("\x0F\x00\x10\x00\x08\x01", 6));
        Check(static_cast<uint8_t>(frame.at(7)) == coils);
        Check(FrameChecks(frame));
    }
    return 0;
}
