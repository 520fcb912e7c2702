// The relay control board: its frames byte for byte for channels and
// addresses, the Modbus check against the protocol's own examples, settings
// out of range refused, and the coils of one module kept whole while several
// boards switch theirs, and every coil still set cleared at once.
#include <gtest/gtest.h>

#include <QByteArray>
#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "monitor/tools/relay_board.h"

namespace
{
QByteArray Hex(const char* p) { return QByteArray::fromHex(p); }
} // namespace

TEST(RelayBoard, FramesWriteEveryCoilOfTheModuleWithTheModbusCheck)
{
    struct CASE_T
    {
        uint8_t Address;
        int Channel; // 0: no channel (the coils all clear)
        const char* Frame;
    } const cases[] = {
        {1, 1, "010F0010000801 01 FE96"},
        {1, 0, "010F0010000801 00 3F56"},
        {1, 8, "010F0010000801 80 3EF6"},
        {247, 1, "F70F0010000801 01 71F8"},
    };
    for (const CASE_T& c : cases)
    {
        const QByteArray frame = RelayFrame(c.Address, RelayChannelBit(c.Channel));
        EXPECT_EQ(frame.toHex().toUpper(), Hex(c.Frame).toHex().toUpper()) << int(c.Address) << " " << c.Channel;
    }
    // Every channel sets its own bit, least significant first, and each frame checks.
    for (int nChannel = 1; nChannel <= RELAY_CHANNELS; ++nChannel)
    {
        const QByteArray frame = RelayFrame(17, RelayChannelBit(nChannel));
        ASSERT_EQ(frame.size(), RELAY_FRAME_LENGTH);
        EXPECT_EQ(static_cast<uint8_t>(frame[7]), 1u << (nChannel - 1));
        const uint16_t crc = ModbusCrc16(reinterpret_cast<const uint8_t*>(frame.constData()), 8);
        EXPECT_EQ(static_cast<uint8_t>(frame[8]), crc & 0xFF);
        EXPECT_EQ(static_cast<uint8_t>(frame[9]), crc >> 8);
    }
}

TEST(RelayBoard, ModbusCheckMatchesTheProtocolExamples)
{
    const QByteArray read = Hex("01030000000A");
    EXPECT_EQ(ModbusCrc16(reinterpret_cast<const uint8_t*>(read.constData()), read.size()), 0xCDC5);
    EXPECT_EQ(ModbusCrc16(reinterpret_cast<const uint8_t*>("123456789"), 9), 0x4B37);
}

TEST(RelayBoard, AddressesAndChannelsOutOfRangeAreRefused)
{
    struct CASE_T
    {
        const char* Address;
        const char* Channel;
        RELAY_SETTING_E Result;
        uint8_t Bit;
    } const cases[] = {
        {"1", "1", RELAY_SETTING_OK, 0x01},         {"247", "8", RELAY_SETTING_OK, 0x80},
        {" 12 ", "3", RELAY_SETTING_OK, 0x04},      {"0", "1", RELAY_SETTING_BAD_ADDRESS, 0}, // broadcast
        {"248", "1", RELAY_SETTING_BAD_ADDRESS, 0},                                           // reserved
        {"256", "1", RELAY_SETTING_BAD_ADDRESS, 0}, // would wrap to broadcast in a byte
        {"", "1", RELAY_SETTING_BAD_ADDRESS, 0},    {"1a", "1", RELAY_SETTING_BAD_ADDRESS, 0},
        {"-1", "1", RELAY_SETTING_BAD_ADDRESS, 0},  {"1", "0", RELAY_SETTING_BAD_CHANNEL, 0},
        {"1", "9", RELAY_SETTING_BAD_CHANNEL, 0},   {"1", "", RELAY_SETTING_BAD_CHANNEL, 0},
        {"1", "2.5", RELAY_SETTING_BAD_CHANNEL, 0},
    };
    for (const CASE_T& c : cases)
    {
        uint8_t address = 99, bit = 99;
        EXPECT_EQ(ReadRelaySettings(QString::fromLatin1(c.Address), QString::fromLatin1(c.Channel), &address, &bit),
                  c.Result)
            << c.Address << " / " << c.Channel;
        if (c.Result == RELAY_SETTING_OK)
            EXPECT_EQ(bit, c.Bit);
        else
            EXPECT_EQ(address, 99) << "nothing is set for a refused setting";
    }
}

TEST(RelayBoard, ABoardsRestartCarriesTheOtherBoardsCoilsAsTheyAre)
{
    QRelayCoils coils;
    std::vector<uint8_t> sent;
    const auto record = [&](uint8_t c) { sent.push_back(c); };
    const QString sPort = QStringLiteral("/dev/ttyUSB3");
    // Two boards overlap their power cycles on one module; another module is apart.
    coils.Switch(sPort, 1, 0x01, true, record);
    coils.Switch(sPort, 1, 0x04, true, record);
    coils.Switch(sPort, 2, 0x01, true, record);
    coils.Switch(sPort, 1, 0x01, false, record);
    coils.Switch(sPort, 1, 0x04, false, record);
    EXPECT_EQ(sent, (std::vector<uint8_t>{0x01, 0x05, 0x01, 0x04, 0x00}));
    EXPECT_EQ(coils.Coils(sPort, 1), 0x00);
    EXPECT_EQ(coils.Coils(sPort, 2), 0x01);

    // Clearing all hands over only the modules with a coil set, and clears them.
    coils.Switch(QStringLiteral("/dev/ttyUSB4"), 9, 0x80, true, record);
    std::vector<std::pair<QString, int>> cleared;
    coils.ClearAll([&](const QString& sName, uint8_t Address) { cleared.emplace_back(sName, Address); });
    std::sort(cleared.begin(), cleared.end());
    EXPECT_EQ(cleared, (std::vector<std::pair<QString, int>>{{sPort, 2}, {QStringLiteral("/dev/ttyUSB4"), 9}}));
    EXPECT_EQ(coils.Coils(sPort, 2), 0x00);
    EXPECT_EQ(coils.Coils(QStringLiteral("/dev/ttyUSB4"), 9), 0x00);
    cleared.clear();
    coils.ClearAll([&](const QString& sName, uint8_t Address) { cleared.emplace_back(sName, Address); });
    EXPECT_TRUE(cleared.empty());

    // Eight boards switching at once from their threads: each frame is sent in
    // the order its coils were decided, so each differs from the one before
    // by the one coil that was switched.
    QRelayCoils shared;
    std::mutex m;
    std::vector<uint8_t> order;
    std::vector<std::thread> boards;
    for (int nChannel = 1; nChannel <= RELAY_CHANNELS; ++nChannel)
        boards.emplace_back(
            [&, nChannel]
            {
                for (int i = 0; i < 200; ++i)
                {
                    const auto send = [&](uint8_t c)
                    {
                        std::lock_guard<std::mutex> lock(m);
                        order.push_back(c);
                    };
                    shared.Switch(sPort, 7, RelayChannelBit(nChannel), true, send);
                    shared.Switch(sPort, 7, RelayChannelBit(nChannel), false, send);
                }
            });
    for (std::thread& t : boards)
        t.join();
    ASSERT_EQ(order.size(), 8u * 200 * 2);
    uint8_t before = 0;
    for (uint8_t c : order)
    {
        ASSERT_EQ(__builtin_popcount(static_cast<unsigned>(c ^ before)), 1);
        before = c;
    }
    EXPECT_EQ(order.back(), 0x00);
    EXPECT_EQ(shared.Coils(sPort, 7), 0x00);
}
