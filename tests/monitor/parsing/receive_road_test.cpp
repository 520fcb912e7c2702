// The receive road as a port's data view runs it (CPortReceiver): batches of
// any size through the binary parser, each log into the port's store once,
// the stream's own text to the position parser. However a stream is cut into batches, the
// framing, the store and the position record come out the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/pos_data_parser.h"
#include "receiver_stream.h"
#include "support/profile_fixture.h"

namespace
{

// One port's receive road as its data view drives it, reading binary logs to
// text in Auto mode (so the bytes that are not printable are shown too), for
// the current port: what it shows, its store and the position record.
struct PortRoad
{
    explicit PortRoad(uint32_t nSource)
    {
        Pos().RefPosMsgType = nSource;
        Road.m_AutoMode = CPortReceiver::READ_BIN_2_ASCII;
        Road.SetDisplay([this](const char* p, int n) { Text.append(p, static_cast<size_t>(n)); });
        Road.SetHexDisplay([this](const uint8_t* p, int n) { Hex.insert(Hex.end(), p, p + n); });
        QObject::connect(&Road, &CPortReceiver::SignalUnreadable, [this] {
            ++Unreadable;
            Road.BinaryParser()->bReadable = true;
        });
    }

    CPortReceiver Road;
    QRangeData& Store = *Road.Store();
    QPosDataParser PosParser;
    std::string Text; // what the view shows
    Bytes Hex;
    int Unreadable = 0;

    POS_DATA_T& Pos() { return PosParser.m_PosData; }

    void Feed(const Bytes& stream, size_t nBatch)
    {
        for (size_t i = 0; i < stream.size(); i += nBatch)
            Feed(stream.data() + i, std::min(nBatch, stream.size() - i));
    }
    void Feed(const uint8_t* p, size_t n)
    {
        CPortReceiver::BATCH_T how;
        how.Mode = CPortReceiver::READ_AUTO;
        how.pPosParser = &PosParser;
        Road.Receive(QByteArray(reinterpret_cast<const char*>(p), static_cast<int>(n)), how);
    }

    Bytes Kept(uint16_t nId) const
    {
        uint32_t n = 0;
        const uint8_t* p = Store.LogCopy(nId, &n);
        return p ? Bytes(p, p + n) : Bytes();
    }
};

// The fields of a record that any source fills, as text to compare.
std::string Summary(const POS_DATA_T& p)
{
    std::ostringstream o;
    o.precision(12);
    o << p.Utc.Year << '-' << p.Utc.Month << '-' << p.Utc.Day << ' ' << p.Utc.Hour << ':' << p.Utc.Minute << ':'
      << p.Utc.Second << '.' << p.Utc.Millisecond << " lat " << p.Latitude << " lon " << p.Longitude << " h "
      << p.Height << " und " << p.Undulation << " gps " << p.GpsSeconds << " epochs " << p.EpochCount << " fix "
      << int(p.FixQuality) << " used " << p.SatsUsed << " tracked " << int(p.Tracked) << " hdop " << p.HDOP << " speed "
      << p.Speed << " course " << p.Course;
    for (uint32_t n : p.InView)
        o << ' ' << n;
    for (const SAT_INFO_T& s : p.SatInfo)
        if (s.SatNumber != 0 || s.Used)
            o << " [" << s.SatNumber << ' ' << int(s.Used) << ' ' << int(s.Elevation) << ' ' << s.Azimuth << ' '
              << int(s.CN0) << ']';
    return o.str();
}

size_t Count(const std::string& s, const std::string& what)
{
    size_t n = 0;
    for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

Bytes BodyOf(const Bytes& wireLog) { return Bytes(wireLog.begin() + LOG_HEADER_LENGTH, wireLog.end() - 4); }
Bytes KeptBody(const Bytes& record) { return Bytes(record.begin() + LOG_HEADER_LENGTH, record.end()); }

// What a road gives, to compare: the view's text, hex and stream text, the
// store's counts and kept logs, and the position record.
struct Outcome
{
    std::string Text, Position;
    Bytes Hex;
    std::vector<uint32_t> Counts;
    std::vector<Bytes> Kept;
    int Unreadable;

    bool operator==(const Outcome& o) const
    {
        return Text == o.Text && Position == o.Position && Hex == o.Hex &&
               Counts == o.Counts && Kept == o.Kept && Unreadable == o.Unreadable;
    }
};

Outcome OutcomeOf(const PortRoad& road)
{
    Outcome o{road.Text, Summary(road.PosParser.m_PosData), road.Hex, {}, {}, road.Unreadable};
    o.Counts.assign(road.Store.Counts, road.Store.Counts + STORE_SLOT_COUNT);
    for (const uint16_t nId :
         {uint16_t(MSG_ID_BESTPOS), uint16_t(MSG_ID_RANGE), uint16_t(MSG_ID_RAWIMUSX), uint16_t(MSG_ID_PSRPOS)})
        o.Kept.push_back(road.Kept(nId));
    return o;
}

// Where two outcomes first differ, for the failure message.
std::string FirstDifference(const Outcome& a, const Outcome& b)
{
    auto at = [](const std::string& x, const std::string& y)
    {
        const size_t n =
            std::mismatch(x.begin(), x.begin() + std::min(x.size(), y.size()), y.begin()).first - x.begin();
        return std::to_string(n) + ": \"" + x.substr(n, 60) + "\" / \"" + y.substr(n, 60) + "\"";
    };
    if (a.Text != b.Text)
        return "text at " + at(a.Text, b.Text);
    if (a.Position != b.Position)
        return "position " + at(a.Position, b.Position);
    if (a.Hex != b.Hex)
        return "hex";
    if (a.Counts != b.Counts)
        return "counts";
    if (a.Kept != b.Kept)
        return "kept logs";
    return a.Unreadable != b.Unreadable ? "unreadable passes" : "";
}

class ReceiveRoad : public ::testing::Test
{
protected:
    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
};

constexpr uint32_t kSources[] = {REF_POS_BESTPOS, REF_POS_GGA, REF_POS_PSRPOS};

TEST_F(ReceiveRoad, EveryChunkingGivesTheSameResults)
{
    const RECEIVER_STREAM_T s = ReceiverStream(50, true);
    ASSERT_GT(s.Damaged, 20u);
    ASSERT_GT(s.CutSentences, 5u);
    PortRoad whole(REF_POS_BESTPOS);
    whole.Feed(s.Data, s.Data.size());

    // What arrived intact is there once: every catalogue log counted and kept
    // as sent, every RTCM3 frame one line, each position in the record's count.
    EXPECT_EQ(whole.Store.Counts[CatalogueIndexOf(MSG_ID_BESTPOS)], s.Bestpos);
    EXPECT_EQ(whole.Store.Counts[CatalogueIndexOf(MSG_ID_RANGE)], s.Range);
    EXPECT_EQ(whole.Store.Counts[CatalogueIndexOf(MSG_ID_RAWIMUSX)], s.RawImu);
    EXPECT_EQ(whole.Store.Counts[CatalogueIndexOf(MSG_ID_PSRPOS)], s.TextPsrpos);
    EXPECT_EQ(KeptBody(whole.Kept(MSG_ID_BESTPOS)), BodyOf(s.LastBestpos));
    EXPECT_EQ(Count(whole.Text, "Msg "), s.Rtcm);
    EXPECT_EQ(Count(whole.Text, "#BESTPOSA,"), s.Bestpos);
    EXPECT_EQ(Count(whole.Text, "QZSL1CA QZSL1S  QZSL6P  QZSL2CL"), Count(whole.Text, "Msg 1117"));
    EXPECT_EQ(whole.Pos().EpochCount, s.Bestpos);
    EXPECT_EQ(whole.Pos().SatInfo[23 - 1].CN0, 46);
    EXPECT_EQ(whole.Unreadable, 0);

    // Each position source, whole and in batches of every kind: the same
    // framing, store and position record.
    const std::vector<size_t> batches = {1, 2, 3, 7, 31, 100, 499, 500, 501, 1069, 4096, 65535, 65536};
    for (const uint32_t nSource : kSources)
    {
        SCOPED_TRACE(RefPosMsgTypeName(nSource));
        PortRoad one(nSource);
        one.Feed(s.Data, s.Data.size());
        const Outcome expected = OutcomeOf(one);
        for (const size_t nBatch : batches)
        {
            PortRoad road(nSource);
            road.Feed(s.Data, nBatch);
            const Outcome got = OutcomeOf(road);
            EXPECT_TRUE(got == expected) << "batches of " << nBatch << ": " << FirstDifference(got, expected);
        }
        // Batches of changing sizes, as a loaded machine hands them over.
        std::mt19937 rng(29 + nSource);
        PortRoad road(nSource);
        for (size_t i = 0; i < s.Data.size();)
        {
            const size_t n = std::min<size_t>(s.Data.size() - i, 1 + rng() % (rng() % 4 ? 600 : 70000));
            road.Feed(s.Data.data() + i, n);
            i += n;
        }
        const Outcome got = OutcomeOf(road);
        EXPECT_TRUE(got == expected) << "random batches: " << FirstDifference(got, expected);
    }
}

// A stream cut in two at every byte, so that every frame, sentence and text
// log is split at each of its bytes once: the same results as the whole.
TEST_F(ReceiveRoad, EveryCutGivesTheSameResults)
{
    const RECEIVER_STREAM_T s = ReceiverStream(3, true, 11);
    ASSERT_GT(s.Damaged + s.CutSentences, 0u);
    Outcome expected[3];
    for (uint32_t k = 0; k < 3; ++k)
    {
        PortRoad whole(kSources[k]);
        whole.Feed(s.Data, s.Data.size());
        expected[k] = OutcomeOf(whole);
    }
    EXPECT_EQ(expected[0].Counts[CatalogueIndexOf(MSG_ID_BESTPOS)], s.Bestpos);
    for (size_t nCut = 1; nCut < s.Data.size(); ++nCut)
    {
        const uint32_t k = nCut % 3;
        PortRoad road(kSources[k]);
        road.Feed(s.Data.data(), nCut);
        road.Feed(s.Data.data() + nCut, s.Data.size() - nCut);
        const Outcome got = OutcomeOf(road);
        ASSERT_TRUE(got == expected[k]) << "cut at " << nCut << ", " << RefPosMsgTypeName(kSources[k]) << ": "
                                        << FirstDifference(got, expected[k]);
    }
}

// A binary log is counted and kept once: its text goes to the view, not back
// into the store, and the kept body stays the binary one (not the rounded
// decode of its text).
TEST_F(ReceiveRoad, BinaryLogsAreCountedOnce)
{
    const RECEIVER_STREAM_T s = ReceiverStream(49, false);
    PortRoad road(REF_POS_BESTPOS);
    road.Feed(s.Data, 4096);
    EXPECT_EQ(s.Bestpos, 49u);
    EXPECT_EQ(road.Store.Counts[CatalogueIndexOf(MSG_ID_BESTPOS)], 49u);
    EXPECT_EQ(road.Store.BodyUpdates(MSG_ID_BESTPOS), 49u);
    EXPECT_EQ(KeptBody(road.Kept(MSG_ID_BESTPOS)), BodyOf(s.LastBestpos));
    EXPECT_EQ(road.Store.Counts[CatalogueIndexOf(MSG_ID_PSRPOS)], s.TextPsrpos) << "text logs once as well";
}

// Every position log that arrives counts, however many come in one batch.
TEST_F(ReceiveRoad, EveryPositionCounts)
{
    const RECEIVER_STREAM_T s = ReceiverStream(49, false);
    for (const size_t nBatch : {size_t(100), size_t(4096), size_t(65536)})
    {
        PortRoad road(REF_POS_BESTPOS);
        road.Feed(s.Data, nBatch);
        EXPECT_EQ(road.Pos().EpochCount, 49u) << nBatch;
    }

    // Another source, and a port the record had not looked at, count from
    // there; a port it comes back to counts what arrived meanwhile, once.
    PortRoad a(REF_POS_BESTPOS);
    a.Feed(s.Data, 65536);
    POS_DATA_T& pos = a.Pos();
    pos.RefPosMsgType = REF_POS_PSRPOS;
    a.PosParser.ParsePosData("", 0, &pos, &a.Store);
    EXPECT_EQ(pos.EpochCount, 50u) << "the latest PSRPOS";
    QRangeData other;
    a.PosParser.ParsePosData("", 0, &pos, &other);
    EXPECT_EQ(pos.EpochCount, 50u);
    a.PosParser.ParsePosData("", 0, &pos, &a.Store);
    EXPECT_EQ(pos.EpochCount, 50u);
}

// While an NVM dump is watched for, its completion line is found however the
// batches cut it, in text and in binary-to-text reading, and only once.
TEST_F(ReceiveRoad, TheNvmDumpLineIsFoundWhereverTheBatchesCutIt)
{
    const QByteArray kLine("==NMV Dump Complete! ");
    const QByteArray stream = QByteArray("dump bytes ") + kLine + "\r\n[COM2]";
    for (const uint32_t nMode : {uint32_t(CPortReceiver::READ_ASCII), uint32_t(CPortReceiver::READ_BIN_2_ASCII)})
        for (int nCut = 1; nCut < stream.size(); ++nCut)
        {
            CPortReceiver road;
            road.m_bNvmDump = true;
            int nDone = 0;
            QObject::connect(&road, &CPortReceiver::SignalNVMComplete, [&nDone] { ++nDone; });
            CPortReceiver::BATCH_T how;
            how.Mode = nMode;
            road.Receive(stream.left(nCut), how);
            road.Receive(stream.mid(nCut), how);
            EXPECT_EQ(nDone, 1) << nMode << " cut at " << nCut;
            EXPECT_FALSE(road.m_bNvmDump);
            road.Receive(stream, how);
            EXPECT_EQ(nDone, 1) << "once";
        }
    // Not watched for: nothing, and a mark set later does not join older text.
    CPortReceiver road;
    int nDone = 0;
    QObject::connect(&road, &CPortReceiver::SignalNVMComplete, [&nDone] { ++nDone; });
    CPortReceiver::BATCH_T how;
    how.Mode = CPortReceiver::READ_ASCII;
    road.Receive(kLine.left(10), how);
    road.m_bNvmDump = true;
    road.Receive(kLine.mid(10), how);
    EXPECT_EQ(nDone, 0);
}

} // namespace
