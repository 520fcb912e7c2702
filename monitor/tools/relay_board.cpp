#include "monitor/tools/relay_board.h"

namespace
{
// Function code, starting coil and coil count of the frame.
constexpr uint8_t kWriteMultipleCoils = 0x0F;
constexpr uint16_t kFirstCoil = 0x0010;
constexpr uint16_t kCoilCount = 8;

bool ReadWhole(const QString& sText, int nMin, int nMax, int* pValue)
{
    bool bOk = false;
    const int n = sText.trimmed().toInt(&bOk, 10);
    if (!bOk || n < nMin || n > nMax)
        return false;
    *pValue = n;
    return true;
}
} // namespace

uint16_t ModbusCrc16(const uint8_t* pData, size_t nLength)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < nLength; ++i)
    {
        crc ^= pData[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

QByteArray RelayFrame(uint8_t Address, uint8_t Coils)
{
    const uint8_t head[RELAY_FRAME_LENGTH - 2] = {Address,
                                                  kWriteMultipleCoils,
                                                  static_cast<uint8_t>(kFirstCoil >> 8),
                                                  static_cast<uint8_t>(kFirstCoil & 0xFF),
                                                  static_cast<uint8_t>(kCoilCount >> 8),
                                                  static_cast<uint8_t>(kCoilCount & 0xFF),
                                                  1,
                                                  Coils};
    const uint16_t crc = ModbusCrc16(head, sizeof head);
    QByteArray frame(reinterpret_cast<const char*>(head), sizeof head);
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

uint8_t RelayChannelBit(int nChannel)
{
    return nChannel >= 1 && nChannel <= RELAY_CHANNELS ? static_cast<uint8_t>(1u << (nChannel - 1)) : 0;
}

RELAY_SETTING_E ReadRelaySettings(const QString& sAddress, const QString& sChannel, uint8_t* pAddress,
                                  uint8_t* pChannelBit)
{
    int nAddress = 0;
    int nChannel = 0;
    if (!ReadWhole(sAddress, RELAY_ADDRESS_MIN, RELAY_ADDRESS_MAX, &nAddress))
        return RELAY_SETTING_BAD_ADDRESS;
    if (!ReadWhole(sChannel, 1, RELAY_CHANNELS, &nChannel))
        return RELAY_SETTING_BAD_CHANNEL;
    *pAddress = static_cast<uint8_t>(nAddress);
    *pChannelBit = RelayChannelBit(nChannel);
    return RELAY_SETTING_OK;
}

uint8_t QRelayCoils::Switch(const QString& sPort, uint8_t Address, uint8_t Bits, bool bSet,
                            const std::function<void(uint8_t Coils)>& fnSend)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    uint8_t& coils = m_Coils[qMakePair(sPort, static_cast<int>(Address))];
    coils = bSet ? static_cast<uint8_t>(coils | Bits) : static_cast<uint8_t>(coils & ~Bits);
    if (fnSend)
        fnSend(coils);
    return coils;
}

uint8_t QRelayCoils::Coils(const QString& sPort, uint8_t Address) const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Coils.value(qMakePair(sPort, static_cast<int>(Address)), 0);
}

void QRelayCoils::ClearAll(const std::function<void(const QString& sPort, uint8_t Address)>& fnSend)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    for (auto it = m_Coils.begin(); it != m_Coils.end(); ++it)
    {
        if (it.value() == 0)
            continue;
        it.value() = 0;
        if (fnSend)
            fnSend(it.key().first, static_cast<uint8_t>(it.key().second));
    }
}
