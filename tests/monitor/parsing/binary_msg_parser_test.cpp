#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "frame_builders.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "support/profile_fixture.h"

namespace
{

const char kLine1005[] = "Msg 1005: Size:  19 ARP     :RefS 2003 Physical F0 Sys 4 SingleClock:0 1/4Cycle:0 "
                         "1114104.599900 -4850729.710800 3975521.464300 -1.000000\r\n";

PositionBody Position()
{
    return PositionBody{
        0,       16,      51.11636418888, -114.03832502118, 1064.9520, -16.2712f, 61,
        1.6961f, 1.3636f, 3.6449f,        {'0', 0, 0, 0},   0,         0,         {19, 19, 19, 19, 0, 6, 0, 0x33}};
}

// The text BinaryLogToRecord and BinaryRecordToText give one wire log.
std::string TextOf(const Bytes& log)
{
    std::vector<uint8_t> record(LOG_RECORD_MAX);
    std::string text(LOG_TEXT_MAX, '\0');
    uint32_t n = 0;
    if (!BinaryLogToRecord(log.data(), uint32_t(log.size()), record.data(), LOG_RECORD_MAX, &n))
        return "";
    text.resize(BinaryRecordToText(record.data(), &text[0], LOG_TEXT_MAX));
    return text;
}

// Feeds a stream through ParseBatch and collects what the view would show.
struct View
{
    std::string Text;
    Bytes Hex;
    int UnreadablePasses = 0;
    uint32_t MostText = 0;

    QBinaryMsgParser::AreaSink Sink()
    {
        return [this](QBinaryMsgParser& p) { Take(p); };
    }
    void Take(QBinaryMsgParser& p)
    {
        ASSERT_LT(p.TextLen, uint32_t(CONVERTED_TEXT_SIZE));
        ASSERT_LE(p.HexLen, uint32_t(HEX_AREA_SIZE));
        ASSERT_EQ(p.TextArea()[p.TextLen], '\0');
        MostText = std::max(MostText, p.TextLen);
        Text.append(p.TextArea(), p.TextLen);
        Hex.insert(Hex.end(), p.HexArea(), p.HexArea() + p.HexLen);
        if (!p.bReadable)
            ++UnreadablePasses;
        p.TextLen = p.HexLen = 0;
        p.bReadable = true;
    }
    void Feed(QBinaryMsgParser& p, const Bytes& stream, QRangeData* pStore = nullptr)
    {
        p.ParseBatch(stream.data(), uint32_t(stream.size()), pStore, 1, Sink());
        Take(p);
    }
};

class BinaryMsgParserTest : public ::testing::Test
{
protected:
    ScopedProfile m_profile{CODEC_PROFILE_MONITOR};
    QBinaryMsgParser m_parser;
    QRangeData m_store;
    View m_view;
};

TEST_F(BinaryMsgParserTest, PrintableBytes)
{
    const struct
    {
        uint8_t Byte;
        bool Printable;
    } cases[] = {{8, true},    {9, true},    {10, true},   {13, true},  {7, false},   {31, false}, {32, true},
                 {126, true},  {127, false}, {135, false}, {136, true}, {137, false}, {160, true}, {173, true},
                 {174, false}, {228, true},  {247, false}, {248, true}, {255, true},  {0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(QBinaryMsgParser::IsPrintable(c.Byte), c.Printable) << int(c.Byte);
}

// A stream of text, binary logs and RTCM3 frames: the text of every frame in
// stream order, each log of the catalogue stored, unprintable bytes set aside.
TEST_F(BinaryMsgParserTest, MixedStreamInOrder)
{
    const Bytes bestpos = LongLog(MSG_ID_BESTPOS, BodyBytes(Position()));
    const Bytes unknown = LongLog(9999, Bytes(5, 0x20));
    const Bytes text = TextBytes("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    Bytes rangeBody(4 + 2 * sizeof(RANGE_OBS_T), 0);
    rangeBody[0] = 2;
    const Bytes range = LongLog(MSG_ID_RANGE, rangeBody);
    const Bytes ephemeris = LongLog(MSG_ID_GPSEPHEM, Bytes(sizeof(GPSEPHEM_BODY_T), 0));
    const Bytes stream =
        text + bestpos + Bytes{0x01, 0x02} + kFrame1005 + unknown + range + ephemeris + TextBytes("<OK\r\n");

    m_view.Feed(m_parser, stream, &m_store);
    // Logs outside the catalogue and those without a text form show nothing.
    EXPECT_EQ(m_view.Text,
              std::string(text.begin(), text.end()) + TextOf(bestpos) + kLine1005 + TextOf(range) + "<OK\r\n");
    EXPECT_EQ(TextOf(ephemeris), "");
    EXPECT_EQ(m_view.Hex, (Bytes{0x01, 0x02}));
    for (const uint16_t nId : {uint16_t(MSG_ID_BESTPOS), uint16_t(MSG_ID_RANGE), uint16_t(MSG_ID_GPSEPHEM)})
        EXPECT_EQ(m_store.Counts[CatalogueIndexOf(nId)], 1u) << nId;
    uint32_t nKept = 0;
    ASSERT_NE(m_store.LogCopy(MSG_ID_RANGE, &nKept), nullptr);
    EXPECT_EQ(nKept, LOG_HEADER_LENGTH + rangeBody.size()) << "the RANGE body is kept in the same pass";
    EXPECT_EQ(m_view.UnreadablePasses, 0);
}

// A frame that fails its CRC shows no line; its bytes go on as text (after
// the framer has ruled out the false header inside it). A frame cut short
// waits for its end.
TEST_F(BinaryMsgParserTest, BadAndTruncatedFrames)
{
    Bytes badCrc = kFrame1005;
    badCrc[10] ^= 0x40;
    std::string lines;
    for (int i = 0; i < 30; ++i)
        lines += "line " + std::to_string(i) + " of the stream\r\n";
    m_view.Feed(m_parser, TextBytes("before ") + badCrc + TextBytes(lines));
    EXPECT_EQ(m_view.Text.find("Msg "), std::string::npos);
    EXPECT_NE(m_view.Text.find(lines), std::string::npos);

    QBinaryMsgParser parser;
    View view;
    const Bytes head(kFrame1005.begin(), kFrame1005.begin() + 12);
    const Bytes tail(kFrame1005.begin() + 12, kFrame1005.end());
    view.Feed(parser, TextBytes("line one\r\n") + head);
    EXPECT_EQ(view.Text, "line one\r\n");
    view.Feed(parser, tail + TextBytes("line two\r\n"));
    EXPECT_EQ(view.Text, std::string("line one\r\n") + kLine1005 + "line two\r\n");
}

// Wrong baud rate: noise reads as neither text nor frames; a good stream never does.
TEST_F(BinaryMsgParserTest, UnreadableStreams)
{
    std::mt19937 rng(7);
    Bytes noise(20000);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(rng());
    m_view.Feed(m_parser, noise);
    EXPECT_GT(m_view.UnreadablePasses, 0);
    EXPECT_FALSE(m_view.Hex.empty());

    // Eleven bytes without a printable run of ten clear the flag; ten bytes never do.
    for (const auto& c : {std::make_pair(Bytes(12, 0x01), 1), std::make_pair(Bytes(10, 0x01), 0),
                          std::make_pair(TextBytes("\x01"
                                                   "abcdefghij") +
                                             Bytes{0x02},
                                         0)})
    {
        QBinaryMsgParser parser;
        View view;
        view.Feed(parser, c.first);
        EXPECT_EQ(view.UnreadablePasses, c.second) << c.first.size();
    }

    View good;
    QBinaryMsgParser parser;
    Bytes stream;
    for (int i = 0; i < 200; ++i)
    {
        stream = stream + LongLog(MSG_ID_BESTPOS, BodyBytes(Position()), 1000 * i) + kFrame1005;
        stream = stream + TextBytes("$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n") + TextBytes("<OK\r\n");
        stream = stream + ShortLog(MSG_ID_RAWIMUSX, Bytes(40, 0x11), 1000 * i);
    }
    good.Feed(parser, stream, &m_store);
    EXPECT_EQ(good.UnreadablePasses, 0);
    EXPECT_TRUE(good.Hex.empty());
}

// Hours of RANGE logs at once: the areas are taken whenever they fill, none is
// ever overrun, and every log's text arrives exactly once, in order.
TEST_F(BinaryMsgParserTest, AreasAreNeverOverrun)
{
    RANGE_OBS_T obs{};
    obs.Psr = 21399133.123;
    obs.Adr = -112452521.123456;
    obs.CNo = 45.0f;
    obs.TrackingStatus = 0x08109c04;
    std::string expected;
    Bytes stream;
    for (uint32_t k = 0; stream.size() < 3000000; ++k)
    {
        const uint32_t nObs = 50 + (k * 37) % 400;
        Bytes body(4 + nObs * sizeof obs);
        std::memcpy(body.data(), &nObs, 4);
        for (uint32_t i = 0; i < nObs; ++i)
        {
            obs.Prn = static_cast<uint16_t>(1 + i % 32);
            obs.LockTime = static_cast<float>(k + i);
            std::memcpy(body.data() + 4 + i * sizeof obs, &obs, sizeof obs);
        }
        const Bytes log = LongLog(MSG_ID_RANGE, body, 100 * k);
        expected += TextOf(log);
        stream = stream + log;
    }
    m_view.Feed(m_parser, stream, &m_store);
    EXPECT_EQ(m_view.Text.size(), expected.size());
    EXPECT_TRUE(m_view.Text == expected);
    EXPECT_GE(m_view.MostText, 163840u) << "the areas filled and were taken in between";
    EXPECT_EQ(m_parser.Ring().DroppedBytes, 0u);
}

// One ParseData on a full ring stops with room for one more frame left, and
// leaves the rest in the ring for the next call.
TEST_F(BinaryMsgParserTest, ParseDataStopsForRoom)
{
    Bytes big(4 + 1400 * sizeof(RANGE_OBS_T), 0);
    const uint32_t n = 1400;
    std::memcpy(big.data(), &n, 4);
    const Bytes log = LongLog(MSG_ID_RANGE, big);
    ASSERT_EQ(m_parser.AppendData(log.data(), uint32_t(log.size())), 0);
    m_parser.TextLen = CONVERTED_TEXT_SIZE - CONVERT_RESERVE;
    EXPECT_EQ(m_parser.ParseData(&m_store, 1), PARSE_AREAS_FULL);
    EXPECT_EQ(RingUnread(&m_parser.Ring()), log.size());
    m_parser.TextLen = 0;
    EXPECT_EQ(m_parser.ParseData(&m_store, 1), PARSE_DONE);
    EXPECT_EQ(std::string(m_parser.TextArea(), m_parser.TextLen), TextOf(log));
}

// Short-header logs are stored and shown with the body after their 12-byte header.
TEST_F(BinaryMsgParserTest, ShortHeaderLog)
{
    Bytes body(40, 0);
    body[0] = 1;
    body[1] = 13;
    const Bytes log = ShortLog(MSG_ID_RAWIMUSX, body);
    m_view.Feed(m_parser, log, &m_store);
    EXPECT_EQ(m_view.Text.compare(0, 26, "%RAWIMUSXA,1930,1.000;01,1"), 0) << m_view.Text;
    EXPECT_EQ(m_store.Counts[CatalogueIndexOf(MSG_ID_RAWIMUSX)], 1u);
}

} // namespace
