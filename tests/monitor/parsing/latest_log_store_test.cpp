#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "support/frame_builders.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
const char* kHeader = "COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;";
const std::string kBestposBody = "SOL_COMPUTED,SINGLE,51.11636418888,-114.03832502118,1064.9520,-16.2712,WGS84,1.6961,"
                                 "1.3636,3.6449,\"0\",0.000,0.000,19,19,19,19,00,06,00,33";
const std::string kRangeObs[3] = {
    "14,0,21399133.123,0.011,-112452521.123456,0.005,-885.123,49.0,1234.560,08109c04",
    "22,0,22399133.123,0.011,-117452521.123456,0.005,-385.123,45.0,234.560,08109c24",
    "43,5,20399133.123,0.011,-109452521.123456,0.005,1885.123,41.0,34.560,08119e24",
};

std::string Line(const std::string& sName, const std::string& sBody)
{
    std::string s = WithTextCrc("#" + sName + "," + kHeader + sBody);
    return s.substr(0, s.size() - 2); // the parser gets lines without their end
}

std::string RangeLine(const std::string& sSecond)
{
    return Line("RANGEA", "3," + kRangeObs[0] + "," + sSecond + "," + kRangeObs[2]);
}

class Store : public ::testing::Test
{
protected:
    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    QRangeData m_Store;
    int Text(const std::string& s) { return m_Store.StoreTextLog(s.data(), static_cast<uint32_t>(s.size())); }
    int Binary(const Bytes& b) { return m_Store.StoreBinaryLog(b.data(), static_cast<uint32_t>(b.size())); }
    Bytes Copy(uint16_t nId)
    {
        uint32_t n = 0;
        const uint8_t* p = m_Store.LogCopy(nId, &n);
        return p ? Bytes(p, p + n) : Bytes();
    }
};

Bytes U32(uint32_t v) { return Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

Bytes RangeBody(uint32_t nCount, uint32_t nRecords, uint8_t uSeed = 0)
{
    return U32(nCount) + Pattern(nRecords * sizeof(RANGE_OBS_T), uSeed);
}
} // namespace

TEST(StoreLookups, CatalogueAndTrackingStatus)
{
    const struct
    {
        uint32_t Id;
        int Index;
    } ids[] = {{42, 3}, {1465, 26}, {8006, 65}, {43, 37}, {2050, 64}, {7, 40}, {999, -1}, {70000, -1}};
    for (const auto& c : ids)
        EXPECT_EQ(CatalogueIndexOf(c.Id), c.Index) << c.Id;

    EXPECT_EQ(TrackStatusToSystem(0x08119e24), 1u);
    EXPECT_EQ(TrackStatusToSystem(0x00030000), 2u);
    EXPECT_EQ(TrackStatusToSystem(0x00050000), 5u);
    const struct
    {
        uint32_t Status, System, Code;
    } sigs[] = {
        {0x01200000, 0, 33096}, // GPS type 9
        {0x00000000, 0, 0},     // GPS L1 C/A
        {0x03E00000, 0, 2568},  // GPS type 31
        {0x02230000, 2, 2514},  // Galileo type 17
        {0x00030000, 2, 65535}, // Galileo has no type 0
        {0x00000000, 5, 65535}, // nor has QZSS
        {0x01600000, 3, 2515},  // BeiDou type 11
        {0x00200000, 1, 9},     {0x00200000, 6, 65535},
    };
    for (const auto& c : sigs)
        EXPECT_EQ(TrackStatusToSignalType(c.Status, c.System), c.Code) << std::hex << c.Status << " " << c.System;
}

TEST_F(Store, TextPositionLogIsCountedAndKept)
{
    const std::string s = Line("BESTPOSA", kBestposBody);
    EXPECT_EQ(s.substr(s.size() - 9), "*fe63b0f5");
    ASSERT_EQ(Text(s), 1);
    EXPECT_EQ(m_Store.Counts[3], 1u);
    const BinaryLogHeader& h = m_Store.Headers[3];
    EXPECT_EQ(h.MessageId, 42);
    EXPECT_EQ(h.Week, 1930);
    EXPECT_EQ(h.Milliseconds, 0u);
    EXPECT_EQ(h.ReceiverStatus, 0x20u);
    EXPECT_EQ(h.SoftwareVersion, 16809);
    EXPECT_EQ(h.HeaderLength, 28);
    EXPECT_EQ(h.MessageType, 0x20);
    const PositionBody* b = m_Store.Body<PositionBody>(42);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->SolStatus, 0u);
    EXPECT_EQ(b->PosType, 16u);
    EXPECT_DOUBLE_EQ(b->Latitude, 51.11636418888);
    EXPECT_DOUBLE_EQ(b->Height, 1064.9520);
    EXPECT_FLOAT_EQ(b->Undulation, -16.2712f);
    const uint8_t tail[8] = {19, 19, 19, 19, 0, 0x06, 0x00, 0x33};
    EXPECT_EQ(std::memcmp(&b->Sats, tail, 8), 0);

    // One wrong CRC digit: refused, nothing changes.
    std::string bad = s;
    bad.back() = '6';
    EXPECT_EQ(Text(bad), 0);
    EXPECT_EQ(m_Store.Counts[3], 1u);
    EXPECT_EQ(m_Store.BodyUpdates(42), 1u);
    EXPECT_EQ(Text("$GPGGA,1*00"), -1);
}

TEST_F(Store, TextRangeLogFillsTheRangeArea)
{
    ASSERT_EQ(Text(RangeLine(kRangeObs[1])), 1);
    EXPECT_EQ(m_Store.Counts[37], 1u);
    const Bytes c = Copy(MSG_ID_RANGE);
    ASSERT_EQ(c.size(), 28u + 136u);
    BinaryLogHeader h;
    std::memcpy(&h, c.data(), 28);
    EXPECT_EQ(h.MessageLength, 136);
    uint32_t n;
    std::memcpy(&n, c.data() + 28, 4);
    EXPECT_EQ(n, 3u);
    RANGE_OBS_T r;
    std::memcpy(&r, c.data() + 32 + 2 * 44, sizeof r);
    EXPECT_EQ(r.Prn, 43);
    EXPECT_EQ(r.TrackingStatus, 0x08119e24u);
}

TEST_F(Store, BodyThatFailsLeavesThePreviousCopy)
{
    ASSERT_EQ(Text(RangeLine(kRangeObs[1])), 1);
    const Bytes before = Copy(MSG_ID_RANGE);
    // A bad field in the second observation: the log is received (its CRC and
    // header hold) but its body is refused whole.
    std::string sBad = kRangeObs[1];
    sBad.replace(sBad.find("45.0"), 4, "4x.0");
    EXPECT_EQ(Text(RangeLine(sBad)), 0);
    EXPECT_EQ(m_Store.Counts[37], 2u);
    EXPECT_EQ(Copy(MSG_ID_RANGE), before);
    EXPECT_EQ(m_Store.BodyUpdates(MSG_ID_RANGE), 1u);
}

TEST_F(Store, CountsAreBoundedByTheLogsOwnLength)
{
    ASSERT_EQ(Binary(LongLog(MSG_ID_RANGE, RangeBody(3, 3, 1))), 1);
    const Bytes good = Copy(MSG_ID_RANGE);
    struct Bad
    {
        const char* Name;
        uint16_t Id;
        Bytes Body;
    } bad[] = {
        {"range_count_beyond_body", MSG_ID_RANGE, RangeBody(1000, 3)},
        {"range_count_overflow", MSG_ID_RANGE, RangeBody(0x7FFFFFFF, 3)},
        {"range_no_count", MSG_ID_RANGE, Bytes{1, 0}},
        {"rangecmp_count", MSG_ID_RANGECMP, U32(300) + Pattern(24 * 10)},
        {"rangecmp4_bytes", MSG_ID_RANGECMP4, U32(5000) + Pattern(100)},
        {"dop_count", 174, Pattern(24) + U32(100) + Pattern(8)},
        {"bestpos_short", MSG_ID_BESTPOS, Pattern(40)},
    };
    for (const Bad& b : bad)
    {
        const uint32_t nUpdates = m_Store.BodyUpdates(b.Id);
        EXPECT_EQ(Binary(LongLog(b.Id, b.Body)), 0) << b.Name;
        EXPECT_EQ(m_Store.BodyUpdates(b.Id), nUpdates) << b.Name;
    }
    EXPECT_EQ(Copy(MSG_ID_RANGE), good);

    // Longer logs than the areas first hold are kept whole, as their lengths say.
    ASSERT_EQ(Binary(LongLog(MSG_ID_RANGE, RangeBody(300, 300, 2))), 1);
    EXPECT_EQ(Copy(MSG_ID_RANGE).size(), 28u + 4 + 300 * 44);
    ASSERT_EQ(Binary(LongLog(174, Pattern(24) + U32(100) + Pattern(400))), 1);
    EXPECT_EQ(Copy(174).size(), 28u + 28 + 400);
    // A fixed log longer than its record keeps the record's bytes.
    ASSERT_EQ(Binary(LongLog(MSG_ID_INSSTATUS, Pattern(600))), 1);
    const Bytes ins = Copy(MSG_ID_INSSTATUS);
    ASSERT_EQ(ins.size(), 28u + 404);
    EXPECT_EQ(ins[8] | ins[9] << 8, 404);
    // A shorter RANGE leaves no old observations behind it.
    ASSERT_EQ(Binary(LongLog(MSG_ID_RANGE, RangeBody(1, 1, 3))), 1);
    uint32_t n = 0;
    const uint8_t* p = m_Store.LogCopy(MSG_ID_RANGE, &n);
    EXPECT_EQ(n, 28u + 48);
    EXPECT_EQ(p[28 + 48], 0);
    EXPECT_EQ(p[28 + 4 + 299 * 44], 0);
}

TEST_F(Store, BinaryLogsAreCountedAndKeptInLongForm)
{
    // Before the first log, a copy is there and all zero.
    uint32_t n = 99;
    const uint8_t* p = m_Store.LogCopy(MSG_ID_INSPVAX, &n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(Bytes(p, p + 28 + 126), Bytes(28 + 126, 0));
    EXPECT_EQ(m_Store.Body<InspvaxBody>(MSG_ID_INSPVAX), nullptr);

    Bytes log = LongLog(MSG_ID_INSPVAX, Pattern(126));
    log[7] = 32; // COM1's address on the wire
    const uint32_t uCrc = Crc32Compute(log.data(), int32_t(log.size() - 4));
    std::memcpy(&log[log.size() - 4], &uCrc, 4);
    ASSERT_EQ(Binary(log), 1);
    EXPECT_EQ(m_Store.Counts[26], 1u);
    EXPECT_EQ(m_Store.Headers[26].Port, 0x01); // kept as the port code
    ASSERT_NE(m_Store.Body<InspvaxBody>(MSG_ID_INSPVAX), nullptr);

    ASSERT_EQ(Binary(ShortLog(MSG_ID_RAWIMUSX, Pattern(40), 5000)), 1);
    const Bytes c = Copy(MSG_ID_RAWIMUSX);
    ASSERT_EQ(c.size(), 28u + 40);
    EXPECT_EQ(Bytes(c.begin(), c.begin() + 4), (Bytes{0xAA, 0x44, 0x13, 28}));
    EXPECT_EQ(m_Store.Headers[24].Milliseconds, 5000u);

    // A catalogue log without a kept copy is only counted; an unknown one not at all.
    EXPECT_EQ(Binary(LongLog(7, Pattern(200))), 1);
    EXPECT_EQ(m_Store.Counts[40], 1u);
    EXPECT_EQ(m_Store.Headers[40].MessageLength, 200);
    EXPECT_EQ(m_Store.LogCopy(7), nullptr);
    EXPECT_EQ(Binary(LongLog(999, Pattern(20))), -1);
    EXPECT_EQ(Binary(Bytes{0xAA, 0x44, 0x12}), -1);
}

TEST_F(Store, RecordsFromOtherPaths)
{
    Bytes rec = LongLog(MSG_ID_RANGE, RangeBody(2, 2));
    rec.resize(rec.size() - 4);
    // A record kept by the binary-to-text path is counted.
    EXPECT_EQ(m_Store.StoreLogRecord(rec.data(), uint32_t(rec.size())), 1);
    EXPECT_EQ(m_Store.Counts[37], 1u);
    EXPECT_EQ(Copy(MSG_ID_RANGE), rec);
    EXPECT_EQ(m_Store.StoreLogRecord(rec.data(), 20), -1);
}

TEST_F(Store, TextHeaderNames)
{
    BinaryLogHeader h;
    const std::string s = "#RANGECMPA_1," + std::string(kHeader);
    ASSERT_EQ(ParseAsciiLogHeader(s.data(), int32_t(s.size()), &h), 1);
    EXPECT_EQ(h.MessageId, MSG_ID_RANGECMP);
    EXPECT_EQ(h.MessageType, 0x21);
    const std::string u = "#NOSUCHLOGA," + std::string(kHeader);
    EXPECT_EQ(ParseAsciiLogHeader(u.data(), int32_t(u.size()), &h), 0);
}
