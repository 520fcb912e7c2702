// The relay control board of the regression bench: an eight-channel relay
// module that speaks Modbus RTU on a serial port of its own. Each board under
// test is wired to one channel; a set coil cuts that board's power (the
// contacts are normally closed), so at rest every coil is clear and a board
// is power-cycled by setting its coil and clearing it again.
//
// Every frame writes all eight coils of a module at once (Write Multiple
// Coils), so the coils are kept in one record per module (QRelayCoils) that
// every worker switches through: a board's restart changes its own coil and
// carries the others' as they are.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QPair>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

enum : int
{
    RELAY_FRAME_LENGTH = 10,
    RELAY_CHANNELS = 8,
    RELAY_ADDRESS_MIN = 1,   // 0 is the Modbus broadcast address
    RELAY_ADDRESS_MAX = 247, // 248 to 255 are reserved
};

// The Modbus CRC-16: initial value 0xFFFF, reflected polynomial 0xA001, no final XOR.
uint16_t ModbusCrc16(const uint8_t* pData, size_t nLength);

// The frame that writes the eight coils of the module at Address from the coil
// byte (bit k is the coil of channel k + 1): Write Multiple Coils from coil
// 0x0010, 8 coils, 1 data byte, the CRC low byte first.
QByteArray RelayFrame(uint8_t Address, uint8_t Coils);

// The coil bit of a channel 1 to 8; 0 for any other channel.
uint8_t RelayChannelBit(int nChannel);

// Checks of a board's relay settings as the bench table holds them.
enum RELAY_SETTING_E
{
    RELAY_SETTING_OK = 0,
    RELAY_SETTING_BAD_ADDRESS, // not a whole number from 1 to 247
    RELAY_SETTING_BAD_CHANNEL, // not a whole number from 1 to 8
};
// Reads "Address" and "Aisle" (decimal texts); on success the address and the
// channel's coil bit are set.
RELAY_SETTING_E ReadRelaySettings(const QString& sAddress, const QString& sChannel, uint8_t* pAddress,
                                  uint8_t* pChannelBit);

// The coils of every relay module in use, by the module's port name and
// address. Safe to use from any thread.
class QRelayCoils
{
public:
    // Sets (bSet) or clears the channel bits Bits of one module and hands its
    // new coil byte to fnSend, under the lock, so that the frames built from
    // it leave in the order in which the coils were decided. Returns the coil
    // byte.
    uint8_t Switch(const QString& sPort, uint8_t Address, uint8_t Bits, bool bSet,
                   const std::function<void(uint8_t Coils)>& fnSend);
    uint8_t Coils(const QString& sPort, uint8_t Address) const;
    // Clears the coils of every module that has one set, and hands each
    // such module's port and address to fnSend under the lock.
    void ClearAll(const std::function<void(const QString& sPort, uint8_t Address)>& fnSend);

private:
    mutable std::mutex m_Lock;
    QHash<QPair<QString, int>, uint8_t> m_Coils;
};
