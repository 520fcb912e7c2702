#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "receiver_stream.h"
#include "support/frame_builders.h"
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

size_t Count(const std::string& s, const std::string& what)
{
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

// An MSM7 frame as long as RTCM3 frames get (1029 bytes), its cells binary values.
Bytes LongMsm7(std::mt19937& rng, uint32_t nMsg)
{
    RtcmBuilder b = Msm(nMsg, 518400000, 1, TopSats(16), Sig(2) | Sig(3) | Sig(9) | Sig(16));
    while (b.Frame().size() < RTCM3_MAX_FRAME)
        b.U(8, static_cast<int64_t>(rng() % 3 == 0 ? 0 : rng() & 0xFF));
    return b.Frame();
}

// A RANGE log of 112 observations (4.9 kB).
Bytes LongRange(uint32_t k)
{
    static const std::vector<loggen::Signal> sigs = loggen::Constellation(32, 24);
    return loggen::Binary(loggen::RangeRecord(1522, 518400000 + 1000 * k, loggen::Epoch(sigs, k)));
}

const Bytes kGga = TextBytes(Nmea("GPGGA,235944.00,3016.362000,N,12013.590000,E,4,12,0.8,15.234,M,7.123,M,1.0,0001"));

// Feeds a stream through ParseBatch and collects what the view would show.
struct View
{
    std::string Text;
    Bytes Hex;
    std::string StreamText;
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
        ASSERT_EQ(p.StreamTextArea()[p.StreamTextLen], '\0');
        MostText = std::max(MostText, p.TextLen);
        Text.append(p.TextArea(), p.TextLen);
        Hex.insert(Hex.end(), p.HexArea(), p.HexArea() + p.HexLen);
        StreamText.append(p.StreamTextArea(), p.StreamTextLen);
        if (!p.bReadable)
            ++UnreadablePasses;
        p.TextLen = p.HexLen = p.StreamTextLen = 0;
        p.bReadable = true;
    }
    void Feed(QBinaryMsgParser& p, const Bytes& stream, QRangeData* pStore = nullptr, size_t nBatch = 0)
    {
        if (nBatch == 0)
            nBatch = std::max<size_t>(stream.size(), 1);
        for (size_t i = 0; i < stream.size() || i == 0; i += nBatch)
            p.ParseBatch(stream.data() + i, uint32_t(std::min(nBatch, stream.size() - i)), pStore, 1, Sink());
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
// stream order, each log of the catalogue stored, unprintable bytes set
// aside; the stream's own bytes besides, as they came.
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
    EXPECT_EQ(m_view.StreamText, std::string(text.begin(), text.end()) + "\x01\x02<OK\r\n");
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

// The UART model the wrong-baud tests rely on reads a stream at its own rate unchanged.
TEST(UartModel, ReadsTheLineRateUnchanged)
{
    const Bytes sent = ReceiverStream(2, false).Data;
    EXPECT_EQ(ReadAtBaud(sent, 115200, 115200, 3), sent);
}

// A receiver's stream read at the wrong baud rate is judged unreadable within
// the bytes a second brings (two at 9600 baud, where the port reads 960 bytes
// a second at most), in batches as the port hands them over; the same stream
// at the right rate never is. A line with long pauses between its bytes read
// at a quarter of its rate or less gives only bytes of 248-255, which the
// display counts as printable: they are no text either.
TEST(WrongBaudRate, TripsWithinTwoSeconds)
{
    const Bytes sent = ReceiverStream(20, false).Data;
    const struct
    {
        double Line, Port;
        uint32_t GapBits; // idle bits after each byte: 2 keeps the line about 80 % busy
        double Seconds;   // the most it may take
    } cases[] = {
        {115200, 460800, 2, 1}, {460800, 115200, 2, 1},  {9600, 115200, 2, 1},   {115200, 9600, 2, 2},
        {921600, 115200, 2, 1}, {460800, 115200, 40, 1}, {115200, 38400, 40, 1}, {230400, 57600, 40, 1},
        {115200, 115200, 2, 0}, {460800, 460800, 40, 0}, {9600, 9600, 2, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.Line << " read at " << c.Port << ", " << c.GapBits << " idle bits");
        const Bytes read = ReadAtBaud(sent, c.Line, c.Port, c.GapBits);
        const double dSeconds = sent.size() * (10.0 + c.GapBits) / c.Line;
        const double dPerSecond = read.size() / dSeconds;
        QBinaryMsgParser parser;
        View view;
        size_t nFirst = 0;
        for (size_t i = 0; i < read.size() && view.UnreadablePasses == 0; i += 100)
        {
            view.Feed(parser, Bytes(read.begin() + i, read.begin() + std::min(read.size(), i + 100)));
            nFirst = i + 100;
        }
        if (c.Line == c.Port)
            EXPECT_EQ(view.UnreadablePasses, 0);
        else
        {
            EXPECT_EQ(view.UnreadablePasses, 1) << read.size() << " bytes";
            EXPECT_LE(nFirst, c.Seconds * dPerSecond) << read.size() << " bytes, " << dPerSecond << " a second";
        }
    }
}

// A damaged frame among good ones is no wrong baud rate, however the bytes
// are batched: not a tenth of the frames damaged, nor a large log or a full
// RTCM3 frame whose body, header or checksum took the hit. Noise is judged
// once a window of it has arrived.
TEST(WrongBaudRate, DamagedFramesAreNoWrongRate)
{
    const RECEIVER_STREAM_T damaged = ReceiverStream(60, true);
    ASSERT_GT(damaged.Damaged, 40u);
    for (const size_t nBatch : {size_t(1), size_t(100), size_t(4096), size_t(65536)})
    {
        QBinaryMsgParser parser;
        View view;
        view.Feed(parser, damaged.Data, nullptr, nBatch);
        EXPECT_EQ(view.UnreadablePasses, 0) << nBatch;
    }

    // RANGE logs of 112 observations (4.9 kB) with NMEA between them; one byte
    // of the second log flipped in its body, its length or its sync.
    Bytes logs[3];
    for (uint32_t k = 0; k < 3; ++k)
        logs[k] = LongRange(k);
    ASSERT_GT(logs[1].size(), 3 * UNREADABLE_WINDOW);
    for (const size_t nAt : {size_t(3000), size_t(8), size_t(9), size_t(1), size_t(0)})
    {
        Bytes bad = logs[1];
        bad[nAt] ^= 0x5A;
        QBinaryMsgParser parser;
        View view;
        view.Feed(parser, logs[0] + kGga + bad + logs[2] + kGga);
        EXPECT_EQ(view.UnreadablePasses, 0) << "byte " << nAt;
    }

    // MSM7 frames as long as RTCM3 frames get (1029 bytes, cells of binary
    // values), back to back: one damaged in its sync, length, message number,
    // body or CRC, or two in a row, as a burst across the end of one and the
    // start of the next leaves them.
    std::mt19937 rng(1077);
    const Bytes frames[4] = {LongMsm7(rng, 1077), LongMsm7(rng, 1087), LongMsm7(rng, 1097), LongMsm7(rng, 1127)};
    ASSERT_EQ(frames[1].size(), size_t(RTCM3_MAX_FRAME));
    for (const std::vector<size_t>& hits :
         std::vector<std::vector<size_t>>{{0}, {1}, {2}, {3}, {4}, {500}, {1028}, {600, 600}, {1028, 0}, {2, 700}})
    {
        Bytes stream = frames[0];
        for (size_t k = 0; k < hits.size(); ++k)
        {
            Bytes bad = frames[1 + k];
            bad[hits[k]] ^= 0x24;
            stream = stream + bad;
        }
        stream = stream + frames[3] + kGga + frames[0];
        for (const size_t nBatch : {size_t(1), size_t(700), size_t(65536)})
        {
            QBinaryMsgParser parser;
            View view;
            view.Feed(parser, stream, nullptr, nBatch);
            EXPECT_EQ(view.UnreadablePasses, 0) << "bytes " << ::testing::PrintToString(hits) << ", batch " << nBatch;
            EXPECT_EQ(Count(view.Text, "Msg "), 3u) << "the intact frames";
        }
    }

    std::mt19937 noiseRng(7);
    Bytes noise(3 * UNREADABLE_WINDOW);
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>(noiseRng());
    for (const auto& c : {std::make_pair(size_t(UNREADABLE_WINDOW - 1), 0),
                          std::make_pair(size_t(UNREADABLE_WINDOW), 1), std::make_pair(noise.size(), 3)})
    {
        QBinaryMsgParser parser;
        View view;
        view.Feed(parser, Bytes(noise.begin(), noise.begin() + c.first), nullptr, 1);
        EXPECT_EQ(view.UnreadablePasses, c.second) << c.first;
    }
}

// A port opened part-way through a long log, or a log whose first 16 bytes an
// overrun took: the rest of it arrives as text, and what comes right behind it
// (a log, an RTCM3 frame, an NMEA sentence) shows that the rate is right, also
// when that frame arrives in two batches. Text that runs to the end of the
// bytes received is judged, as noise is once a window of it has arrived.
TEST(WrongBaudRate, TheRestOfALogWhoseHeaderWasMissedIsNoWrongRate)
{
    const Bytes range[3] = {LongRange(0), LongRange(1), LongRange(2)};
    ASSERT_GT(range[0].size(), 3 * UNREADABLE_WINDOW);
    const Bytes bestpos = loggen::Binary(
        loggen::Record(MSG_ID_BESTPOS, 1522, 518400000, loggen::Position(30.2727, 120.2265, 22.357, -7.123f)));
    std::mt19937 rng(1005);
    const struct
    {
        const char* pName;
        Bytes Behind;
        bool bFrame;
    } cases[] = {{"RANGE", range[1], true},
                 {"BESTPOS", bestpos, true},
                 {"MSM7", LongMsm7(rng, 1077), true},
                 {"GGA", kGga, false}};
    for (const auto& c : cases)
    {
        const Bytes after = c.Behind + range[2] + kGga + bestpos;
        // The RANGE logs that arrive whole.
        const size_t nWhole = 1 + (c.Behind == range[1]);
        struct STREAM_T
        {
            std::string Name;
            Bytes Data;
            size_t Ranges;
        };
        std::vector<STREAM_T> streams;
        for (const size_t nAt :
             {size_t(1), size_t(16), size_t(28), size_t(1200), range[0].size() - UNREADABLE_WINDOW - 1})
            streams.push_back({"joined at byte " + std::to_string(nAt),
                               Bytes(range[0].begin() + static_cast<std::ptrdiff_t>(nAt), range[0].end()) + after,
                               nWhole});
        streams.push_back(
            {"16 bytes lost", range[1] + kGga + Bytes(range[0].begin() + 16, range[0].end()) + after, nWhole + 1});
        for (const STREAM_T& s : streams)
        {
            SCOPED_TRACE(::testing::Message() << s.Name << ", " << c.pName << " behind");
            const size_t nBehind = s.Data.size() - after.size();
            std::vector<size_t> cuts = {0};
            if (c.bFrame)
                cuts.insert(cuts.end(), {nBehind + 1, nBehind + 9, nBehind + c.Behind.size() - 1});
            for (const size_t nCut : cuts)
            {
                QBinaryMsgParser parser;
                View view;
                view.Feed(parser, Bytes(s.Data.begin(), s.Data.begin() + static_cast<std::ptrdiff_t>(nCut)));
                view.Feed(parser, Bytes(s.Data.begin() + static_cast<std::ptrdiff_t>(nCut), s.Data.end()));
                EXPECT_EQ(view.UnreadablePasses, 0) << "cut at " << nCut;
                EXPECT_EQ(Count(view.Text, "#RANGEA,"), s.Ranges) << "cut at " << nCut;
            }
        }
    }
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
        stream.insert(stream.end(), log.begin(), log.end());
    }
    m_view.Feed(m_parser, stream, &m_store);
    EXPECT_EQ(m_view.Text.size(), expected.size());
    EXPECT_TRUE(m_view.Text == expected);
    EXPECT_GE(m_view.MostText, 163840u) << "the areas filled and were taken in between";
    EXPECT_EQ(m_parser.Unparsed(), 0u);
}

// AppendData with one ParseData per batch loses nothing at any batch size:
// not the frame waiting in the ring when a batch of nearly the ring's size
// arrives, nor a batch larger than the ring.
TEST_F(BinaryMsgParserTest, AppendThenParseLosesNothing)
{
    const RECEIVER_STREAM_T s = ReceiverStream(80, true);
    ASSERT_GT(s.Data.size(), 2u * RING_SIZE);
    QBinaryMsgParser reference;
    m_view.Feed(reference, s.Data, &m_store);
    for (const size_t nBatch : {size_t(65535), size_t(65536), size_t(150000)})
    {
        QBinaryMsgParser parser;
        QRangeData store;
        View view;
        for (size_t i = 0; i < s.Data.size(); i += nBatch)
        {
            ASSERT_GE(parser.AppendData(s.Data.data() + i, uint32_t(std::min(nBatch, s.Data.size() - i))), 0);
            parser.ParseData(&store, 1);
            view.Take(parser);
        }
        while (parser.ParseData(&store, 1) != PARSE_DONE)
            view.Take(parser);
        view.Take(parser);
        EXPECT_TRUE(view.Text == m_view.Text) << nBatch;
        EXPECT_EQ(store.Counts[CatalogueIndexOf(MSG_ID_BESTPOS)], s.Bestpos) << nBatch;
        EXPECT_EQ(store.Counts[CatalogueIndexOf(MSG_ID_RANGE)], s.Range) << nBatch;
    }
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

// Text is split into the display's printable bytes and the others alike
// wherever its bytes fall against the steps the scans take: every byte value
// at each place of a long line of text, in batches of several sizes, with and
// without the stream-text area, and with a frame behind the text.
TEST_F(BinaryMsgParserTest, TextIsSplitAlikeWhereverItsBytesFall)
{
    const std::string line = "#BESTPOSA,COM1,0,55.0,FINESTEERING,1419,340033.000,02000040,d821,2724;SOL_COMPUTED,"
                             "SINGLE,51.11636418888,-114.03832502118,1064.9520,-16.2712,WGS84*6e7a1b2c\r\n";
    Bytes stream;
    for (int value = 0; value < 256; ++value)
        for (size_t at = 0; at < 19; ++at)
        {
            Bytes run = TextBytes(line);
            run[at] = static_cast<uint8_t>(value);
            stream.insert(stream.end(), run.begin(), run.end());
        }
    std::string text, all(stream.begin(), stream.end());
    Bytes hex;
    for (const uint8_t c : stream)
    {
        if (QBinaryMsgParser::IsPrintable(c))
            text += static_cast<char>(c);
        else
            hex.push_back(c);
    }
    const Bytes bestpos = LongLog(MSG_ID_BESTPOS, BodyBytes(Position()));
    stream.insert(stream.end(), bestpos.begin(), bestpos.end());
    text += TextOf(bestpos);
    for (const size_t nBatch : {size_t(0), size_t(1000), size_t(RING_SIZE + 7)})
        for (const bool bStreamText : {true, false})
        {
            QBinaryMsgParser parser;
            parser.bStreamText = bStreamText;
            View view;
            view.Feed(parser, stream, nullptr, nBatch);
            EXPECT_TRUE(view.Text == text) << nBatch << " " << bStreamText;
            EXPECT_TRUE(view.Hex == hex) << nBatch << " " << bStreamText;
            EXPECT_TRUE(view.StreamText == (bStreamText ? all : std::string())) << nBatch << " " << bStreamText;
            EXPECT_EQ(parser.Unparsed(), 0u);
        }
}

// A sink that leaves the areas full ends the batch; the bytes the call did not
// reach are the parser's own by then, so that the caller may reuse its buffer,
// and the next call goes on with them, none lost or read twice.
TEST_F(BinaryMsgParserTest, TheRestOfABatchWhoseAreasWereKeptWaitsForTheNextCall)
{
    Bytes stream;
    std::string expected;
    for (uint32_t k = 0; stream.size() < 4 * CONVERTED_TEXT_SIZE; ++k)
    {
        const Bytes log = LongRange(k);
        expected += TextOf(log);
        stream.insert(stream.end(), log.begin(), log.end());
    }
    Bytes batch = stream;
    int nCalls = 0;
    m_parser.ParseBatch(batch.data(), uint32_t(batch.size()), &m_store, 1, [&](QBinaryMsgParser&) { ++nCalls; });
    ASSERT_EQ(nCalls, 1) << "the sink kept the areas at once";
    EXPECT_GT(m_parser.Unparsed(), uint64_t{RING_SIZE}) << "more than the ring holds waits";
    std::fill(batch.begin(), batch.end(), uint8_t(0x55));
    m_view.Take(m_parser);
    m_parser.ParseBatch(nullptr, 0, &m_store, 1, m_view.Sink());
    EXPECT_EQ(m_view.Text.size(), expected.size());
    EXPECT_TRUE(m_view.Text == expected);
    EXPECT_EQ(m_parser.Unparsed(), 0u);
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
