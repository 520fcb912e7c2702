#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "support/frame_builders.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
constexpr double kRad = 0.01745329252;

std::string Gga(const std::string& sTime, const std::string& sQuality = "1")
{
    return Nmea("GPGGA," + sTime + ",4807.038,N,01131.000,E," + sQuality + ",08,0.9,545.4,M,46.9,M,,");
}

std::string Rmc(const std::string& sTime, const std::string& sDate, const char* pStatus = "A")
{
    return Nmea("GPRMC," + sTime + "," + pStatus + ",4807.038,N,01131.000,E,022.4,084.4," + sDate + ",003.1,W");
}

const std::string kBestposLine = WithTextCrc(
    "#BESTPOSA,COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;SOL_COMPUTED,SINGLE,51.11636418888,"
    "-114.03832502118,1064.9520,-16.2712,WGS84,1.6961,1.3636,3.6449,\"0\",0.000,0.000,19,19,19,19,00,06,00,33");

// A position parser, its record and a store, as a port tab set holds them.
class PosParser : public ::testing::Test
{
protected:
    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    QPosDataParser m_Parser;
    QRangeData m_Store;
    POS_DATA_T& Pos() { return m_Parser.m_PosData; }
    void Feed(const std::string& s)
    {
        m_Parser.ParsePosData(s.data(), static_cast<int32_t>(s.size()), &Pos(), &m_Store);
    }
    const SAT_INFO_T& Sat(uint32_t nNumber) { return Pos().SatInfo[nNumber - 1]; }
};

int Sentence(const std::string& s, POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    return ParseNmeaSentence(s.data(), static_cast<int32_t>(s.size() - 2), pPos, pState);
}
} // namespace

TEST(NmeaSentence, ChecksumAndTalkers)
{
    const std::string s = Nmea("GPHDT,123.4,T");
    EXPECT_TRUE(NmeaChecksumOk(s.data(), int32_t(s.size())));
    std::string bad = s;
    bad[4] = 'X';
    EXPECT_FALSE(NmeaChecksumOk(bad.data(), int32_t(bad.size())));
    EXPECT_FALSE(NmeaChecksumOk("$GPHDT,1,T", 10));                // no checksum at all
    EXPECT_FALSE(NmeaChecksumOk(s.data(), int32_t(s.size() - 4))); // checksum cut off

    POS_DATA_T pos;
    ResetPosData(&pos);
    NMEA_STATE_T st;
    ResetNmeaState(&st);
    EXPECT_EQ(Sentence(Nmea("XXGGA,1,2"), &pos, &st), -1);
    EXPECT_EQ(Sentence(bad, &pos, &st), -1);
    EXPECT_EQ(Sentence(Nmea("GNZDA,1,2"), &pos, &st), 0);
}

TEST(NmeaSentence, GgaPublishesOneEpochBehind)
{
    POS_DATA_T pos;
    ResetPosData(&pos);
    NMEA_STATE_T st;
    ResetNmeaState(&st);
    EXPECT_EQ(Sentence(Gga("123519.50"), &pos, &st), 1);
    EXPECT_EQ(pos.Latitude, 0.0); // nothing complete yet
    EXPECT_EQ(Sentence(Gga("123519.50"), &pos, &st), 0);
    EXPECT_EQ(pos.Latitude, 0.0);
    EXPECT_EQ(Sentence(Gga("123520.30", "4"), &pos, &st), 1);
    EXPECT_EQ(pos.Utc.Hour, 12u);
    EXPECT_EQ(pos.Utc.Minute, 35u);
    EXPECT_EQ(pos.Utc.Second, 19u);
    EXPECT_EQ(pos.Utc.Millisecond, 500u);
    EXPECT_NEAR(pos.Latitude / kRad, 48.1173, 1e-9);
    EXPECT_NEAR(pos.Longitude / kRad, 11.516666666, 1e-8);
    EXPECT_NEAR(pos.Height, 592.3, 1e-9);
    EXPECT_EQ(pos.FixQuality, 1);
    EXPECT_EQ(pos.SatsUsed, 8u);
    EXPECT_DOUBLE_EQ(pos.HDOP, 0.9);
    EXPECT_EQ(pos.GpsSeconds, POS_GPS_SECONDS_NONE); // no date from an RMC yet
    // The working record holds the newest sentence, to the millisecond.
    EXPECT_EQ(st.Work.Utc.Millisecond, 300u);
    EXPECT_EQ(st.Work.FixQuality, 4);

    // A sentence whose checksum fails changes nothing, not even the epoch.
    std::string bad = Gga("123521.00", "5");
    bad[bad.size() - 4] ^= 1;
    EXPECT_EQ(Sentence(bad, &pos, &st), -1);
    std::string badRmc = Rmc("123522.00", "230324");
    badRmc[10] = '9';
    EXPECT_EQ(Sentence(badRmc, &pos, &st), -1);
    EXPECT_EQ(pos.Utc.Second, 19u);
    EXPECT_EQ(st.Work.FixQuality, 4);
}

TEST(NmeaSentence, TheLastEpochOfAStreamIsPublishedAtItsEnd)
{
    POS_DATA_T pos;
    ResetPosData(&pos);
    NMEA_STATE_T st;
    ResetNmeaState(&st);
    EXPECT_EQ(FinishNmeaEpoch(&pos, &st), 0); // nothing collected
    Sentence(Gga("123519.50"), &pos, &st);
    Sentence(Gga("123520.50", "4"), &pos, &st);
    EXPECT_EQ(pos.Utc.Second, 19u);
    EXPECT_EQ(FinishNmeaEpoch(&pos, &st), 1);
    EXPECT_EQ(pos.Utc.Second, 20u);
    EXPECT_EQ(pos.FixQuality, 4);
    EXPECT_EQ(FinishNmeaEpoch(&pos, &st), 0); // and only once
}

TEST(NmeaSentence, RmcDatesAndFix)
{
    const struct
    {
        const char* Date;
        uint32_t Year, Month, Day; // 0: the epoch's date is not known
    } dates[] = {
        {"230324", 2024, 3, 23}, {"230394", 2094, 3, 23}, {"311299", 2099, 12, 31},
        {"010100", 2000, 1, 1},  {"321324", 0, 0, 0},     {"001024", 0, 0, 0},
        {"320124", 0, 0, 0},     {"", 0, 0, 0},           {"1x0324", 0, 0, 0},
    };
    for (const auto& d : dates)
    {
        POS_DATA_T pos;
        ResetPosData(&pos);
        NMEA_STATE_T st;
        ResetNmeaState(&st);
        Sentence(Rmc("123519.50", "230324"), &pos, &st);
        const int r = Sentence(Rmc("123520.00", d.Date), &pos, &st);
        if (std::string(d.Date) == "1x0324")
        {
            EXPECT_EQ(r, -1);
            continue;
        }
        EXPECT_EQ(st.Work.Utc.Year, d.Year) << d.Date;
        EXPECT_EQ(st.Work.Utc.Month, d.Month) << d.Date;
        EXPECT_EQ(st.Work.Utc.Day, d.Day) << d.Date;
    }
    POS_DATA_T pos;
    ResetPosData(&pos);
    NMEA_STATE_T st;
    ResetNmeaState(&st);
    Sentence(Rmc("123519.50", "230324"), &pos, &st);
    Sentence(Rmc("123520.50", "230324", "V"), &pos, &st);
    EXPECT_EQ(pos.Utc.Year, 2024u);
    EXPECT_NEAR(pos.Speed, 22.4 * 1852 / 3600, 1e-12);
    EXPECT_DOUBLE_EQ(pos.Course, 84.4);
    EXPECT_EQ(pos.FixQuality, 1);
    EXPECT_GT(pos.GpsSeconds, 0.0); // date and time known: GPS time of week
    EXPECT_EQ(st.Work.FixQuality, FIX_QUALITY_UNKNOWN);
}

TEST(SatelliteNumbers, OneNumberingForEverySource)
{
    const struct
    {
        uint32_t System, Number, Table, TableSystem;
    } cases[] = {
        {GNSS_SYSTEM_GPS, 5, 5, GNSS_SYSTEM_GPS},
        {GNSS_SYSTEM_GPS, 40, 40, GNSS_SYSTEM_SBAS},
        {GNSS_SYSTEM_GPS, 133, 46, GNSS_SYSTEM_SBAS},
        {GNSS_SYSTEM_GLONASS, 69, 69, GNSS_SYSTEM_GLONASS},
        {GNSS_SYSTEM_GLONASS, 5, 69, GNSS_SYSTEM_GLONASS},
        {GNSS_SYSTEM_GLONASS, 42, 69, GNSS_SYSTEM_GLONASS},
        {GNSS_SYSTEM_GALILEO, 11, 111, GNSS_SYSTEM_GALILEO},
        {GNSS_SYSTEM_GALILEO, 311, 111, GNSS_SYSTEM_GALILEO},
        {GNSS_SYSTEM_BDS, 5, 405, GNSS_SYSTEM_BDS},
        {GNSS_SYSTEM_BDS, 165, 405, GNSS_SYSTEM_BDS},
        {GNSS_SYSTEM_BDS, 59, 459, GNSS_SYSTEM_BDS},
        {GNSS_SYSTEM_QZSS, 1, 193, GNSS_SYSTEM_QZSS},
        {GNSS_SYSTEM_QZSS, 195, 195, GNSS_SYSTEM_QZSS},
        {POS_SYS_UNKNOWN, 170, 410, GNSS_SYSTEM_BDS},
        {POS_SYS_UNKNOWN, 70, 70, GNSS_SYSTEM_GLONASS},
        {POS_SYS_UNKNOWN, 105, 105, GNSS_SYSTEM_GALILEO},
        {GNSS_SYSTEM_GPS, 0, 0, POS_SYS_UNKNOWN},
        {GNSS_SYSTEM_BDS, 99, 0, POS_SYS_UNKNOWN},
        {GNSS_SYSTEM_GLONASS, 33, 0, POS_SYS_UNKNOWN},
        {7, 1, 0, POS_SYS_UNKNOWN},
    };
    for (const auto& c : cases)
    {
        uint32_t nSystem = 99;
        EXPECT_EQ(SatTableNumber(c.System, c.Number, &nSystem), c.Table) << c.System << " " << c.Number;
        EXPECT_EQ(nSystem, c.TableSystem) << c.System << " " << c.Number;
    }
    // No two systems meet in one entry.
    std::vector<int> owner(POS_SAT_TABLE_SIZE + 1, -1);
    const uint32_t systems[] = {GNSS_SYSTEM_GPS, GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_GALILEO, GNSS_SYSTEM_BDS,
                                GNSS_SYSTEM_QZSS};
    for (uint32_t s : systems)
        for (uint32_t n = 0; n < 600; ++n)
        {
            uint32_t t = 0;
            const uint32_t k = SatTableNumber(s, n, &t);
            if (k == 0)
                continue;
            ASSERT_LE(k, POS_SAT_TABLE_SIZE);
            const int o = static_cast<int>(t == GNSS_SYSTEM_SBAS ? 4 : t);
            ASSERT_TRUE(owner[k] == -1 || owner[k] == o) << "entry " << k;
            owner[k] = o;
        }
}

TEST_F(PosParser, SatelliteTableFromGsvAndGsa)
{
    Feed(Gga("120000.00"));
    Feed(Nmea("GPGSV,1,1,03,05,45,120,40,12,30,200,35,40,20,100,30"));
    Feed(Nmea("GLGSV,1,1,02,65,10,010,30,69,15,015,31"));
    Feed(Nmea("GBGSV,1,1,02,05,60,300,44,09,70,310,45"));
    Feed(Nmea("GAGSV,1,1,01,11,30,200,38"));
    Feed(Nmea("GQGSV,1,1,01,02,55,050,42"));
    Feed(Nmea("GNGSA,A,3,05,12,40,,,,,,,,,,1.5,0.8,1.2,1"));
    Feed(Nmea("GNGSA,A,3,05,09,,,,,,,,,,,1.5,0.8,1.2,4"));
    Feed(Nmea("GNGSA,A,3,69,111,,,,,,,,,,,1.5,0.7,1.2"));
    Feed(Gga("120001.00"));

    EXPECT_EQ(Sat(65).System, GNSS_SYSTEM_GLONASS);
    EXPECT_EQ(Sat(69).Elevation, 15);
    EXPECT_EQ(Sat(405).System, GNSS_SYSTEM_BDS); // BeiDou 5 does not land on GLONASS 65
    EXPECT_EQ(Sat(405).CN0, 44);
    EXPECT_EQ(Sat(409).Azimuth, 310);
    EXPECT_EQ(Sat(111).SatNumber, 111u);
    EXPECT_EQ(Sat(111).System, GNSS_SYSTEM_GALILEO);
    EXPECT_EQ(Sat(194).System, GNSS_SYSTEM_QZSS);
    EXPECT_EQ(Sat(40).System, GNSS_SYSTEM_GPS); // SBAS under the GPS talker
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_GPS], 2u);
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_SBAS], 1u);
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_GLONASS], 2u);
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_BDS], 2u);
    // GSA: the same numbers, placed by system.
    EXPECT_TRUE(Sat(5).Used && Sat(12).Used && Sat(405).Used && Sat(409).Used && Sat(69).Used && Sat(111).Used);
    EXPECT_FALSE(Sat(65).Used);
    EXPECT_EQ(Pos().UsedGpsOther, 3u);
    EXPECT_EQ(Pos().UsedSbas, 1u);
    EXPECT_EQ(Pos().UsedBeiDou, 2u);
    EXPECT_EQ(Pos().UsedGalileo, 1u);
    EXPECT_DOUBLE_EQ(Pos().HDOP, 0.7);

    // The next epoch counts afresh and drops satellites that left.
    Feed(Nmea("GPGSV,1,1,03,05,45,120,40,12,30,200,35,40,20,100,30"));
    Feed(Nmea("GLGSV,1,1,01,65,10,010,30"));
    Feed(Nmea("GNGSA,A,3,05,,,,,,,,,,,,1.5,0.8,1.2,1"));
    Feed(Gga("120002.00"));
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_GPS], 2u);
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_GLONASS], 1u);
    EXPECT_EQ(Sat(69).SatNumber, 0u);
    EXPECT_EQ(Sat(65).SatNumber, 65u);
    EXPECT_FALSE(Sat(12).Used);
    EXPECT_EQ(Pos().UsedGpsOther, 1u);
    EXPECT_EQ(Pos().UsedBeiDou, 0u);

    // A second signal's series of the same epoch neither clears nor counts twice.
    Feed(Nmea("GPGSV,1,1,03,05,45,120,40,12,30,200,35,40,20,100,30,1"));
    Feed(Nmea("GPGSV,1,1,01,05,45,120,28,8"));
    Feed(Gga("120003.00"));
    EXPECT_EQ(Pos().InView[GNSS_SYSTEM_GPS], 2u);
    EXPECT_EQ(Sat(12).SatNumber, 12u);
    EXPECT_EQ(Sat(5).CN0, 40);
}

// A sentence cut short by a line glitch costs only itself: the "$" of the next
// one starts a new line. Each published epoch shows only what its own
// sentences said: at midnight an epoch whose RMC was lost has no date rather
// than the day before, and one whose GGA was lost no height rather than the
// last epoch's.
TEST_F(PosParser, CutSentenceCostsOnlyItself)
{
    auto gga = [](const char* pTime, const char* pAlt)
    {
        return Nmea(std::string("GPGGA,") + pTime + ",3016.362000,N,12013.590000,E,4,12,0.8," + pAlt +
                    ",M,7.123,M,1.0,0001");
    };
    auto rmc = [](const char* pTime, const char* pDate)
    { return Nmea(std::string("GPRMC,") + pTime + ",A,3016.362000,N,12013.590000,E,0.05,90.0," + pDate + ",,,D"); };
    const std::string cut = rmc("000000.00", "150309").substr(0, 40);
    const std::string stream = gga("235959.00", "15.234") + rmc("235959.00", "140309") + gga("000000.00", "15.244") +
                               cut + gga("000001.00", "15.254") + rmc("000001.00", "150309") +
                               gga("000002.00", "15.264") + rmc("000002.00", "150309") + gga("000003.00", "15.274");
    std::vector<std::string> published;
    for (size_t i = 0; i < stream.size(); i += 7)
    {
        Feed(stream.substr(i, 7));
        const CalendarTime& t = Pos().Utc;
        char line[80];
        snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u %.3f %d", t.Year, t.Month, t.Day, t.Hour, t.Minute,
                 t.Second, Pos().Height, Pos().GpsSeconds != POS_GPS_SECONDS_NONE);
        if (published.empty() || published.back() != line)
            published.push_back(line);
    }
    const std::vector<std::string> expected = {
        "0000-00-00 00:00:00 0.000 0",  // nothing yet
        "2009-03-14 23:59:59 22.357 1", //
        "0000-00-00 00:00:00 22.367 0", // its RMC was cut: no date, no GPS time
        "2009-03-15 00:00:01 22.377 1", // its GGA survived the cut before it
        "2009-03-15 00:00:02 22.387 1",
    };
    EXPECT_EQ(published, expected);

    // A text log cut short does not swallow the sentence after it either.
    Feed("#BESTPOSA,COM1,0,55.0,FINESTEERING,1930,0.000,00000020,0000,16809;SOL_COMP" + gga("000004.00", "15.284") +
         gga("000005.00", "15.294"));
    EXPECT_EQ(Pos().Utc.Second, 4u);
    EXPECT_NEAR(Pos().Height, 22.407, 1e-9);
}

TEST_F(PosParser, ParsersKeepTheirOwnNmeaState)
{
    QPosDataParser other;
    Feed(Gga("100000.00"));
    other.ParsePosData(Gga("200000.00", "5").data(), 90, &other.m_PosData, nullptr);
    Feed(Gga("100001.00"));
    EXPECT_EQ(Pos().Utc.Hour, 10u);
    EXPECT_EQ(Pos().FixQuality, 1);
    EXPECT_EQ(other.m_PosData.Latitude, 0.0);
}

TEST_F(PosParser, PublishingKeepsTheChosenSource)
{
    Pos().RefPosMsgType = REF_POS_BESTPOS;
    Pos().Roll = 5.0;
    Feed(Gga("100000.00"));
    Feed(Nmea("GPGSV,1,1,01,05,45,120,40"));
    Feed(Nmea("GPHDT,123.4,T"));
    Feed(Gga("100001.00"));
    EXPECT_EQ(Pos().RefPosMsgType, uint32_t(REF_POS_BESTPOS));
    EXPECT_EQ(Pos().Roll, 5.0);
    EXPECT_EQ(Pos().Latitude, 0.0); // the position comes from BESTPOS alone
    EXPECT_EQ(Pos().FixQuality, FIX_QUALITY_UNKNOWN);
    EXPECT_EQ(Sat(5).SatNumber, 5u); // satellites still come from NMEA
    EXPECT_DOUBLE_EQ(Pos().Azimuth, 123.4);

    Feed(kBestposLine);
    EXPECT_EQ(Pos().EpochCount, 1u);
    EXPECT_NEAR(Pos().Latitude / kRad, 51.11636418888, 1e-9);
    Feed(Gga("100002.00"));
    EXPECT_NEAR(Pos().Latitude / kRad, 51.11636418888, 1e-9);
}

TEST_F(PosParser, TextPositionLogOnceWhenItsLineEnds)
{
    Pos().RefPosMsgType = REF_POS_BESTPOS;
    // Nothing received yet: the record keeps no position of the empty store.
    Feed("");
    EXPECT_EQ(Pos().EpochCount, 0u);
    EXPECT_EQ(Pos().FixQuality, FIX_QUALITY_UNKNOWN);
    const size_t k = kBestposLine.size() / 2;
    Feed(kBestposLine.substr(0, k));
    EXPECT_EQ(Pos().EpochCount, 0u);
    Feed(kBestposLine.substr(k));
    EXPECT_EQ(Pos().EpochCount, 1u);
    EXPECT_EQ(m_Store.Counts[3], 1u);
    Feed("no new log\r\n");
    EXPECT_EQ(Pos().EpochCount, 1u); // an unchanged log is not taken again
    EXPECT_EQ(Pos().Utc.Year, 2016u);
    EXPECT_EQ(Pos().Utc.Month, 12u);
    EXPECT_EQ(Pos().Utc.Day, 31u);
    EXPECT_EQ(Pos().Utc.Hour, 23u);
    EXPECT_EQ(Pos().Utc.Minute, 59u);
    EXPECT_EQ(Pos().Utc.Second, 43u); // GPS minus UTC was 17 s until 2017 began
    EXPECT_EQ(Pos().FixQuality, 1);
    EXPECT_EQ(Pos().GpsSeconds, 0.0);
    EXPECT_NEAR(Pos().Height, 1048.6808, 1e-4);
    EXPECT_EQ(Pos().SatsUsed, 19u);

    // Without a store the text log goes straight into the record.
    QPosDataParser bare;
    bare.m_PosData.RefPosMsgType = REF_POS_BESTPOS;
    bare.ParsePosData(kBestposLine.data(), int32_t(kBestposLine.size()), &bare.m_PosData, nullptr);
    EXPECT_EQ(bare.m_PosData.EpochCount, 1u);
    EXPECT_EQ(bare.m_PosData.Utc.Second, 43u);

    // Any of the position logs, whatever the record's source; the line without its CRC is no log.
    POS_DATA_T any;
    ResetPosData(&any);
    const int32_t nLine = static_cast<int32_t>(kBestposLine.size());
    EXPECT_EQ(AsciiLogToPosData(kBestposLine.data(), nLine, &any), 0); // the source is GGA
    EXPECT_EQ(PositionLogToPosData(kBestposLine.data(), nLine, &any), 1);
    EXPECT_NEAR(any.Latitude / kRad, 51.11636418888, 1e-8);
    EXPECT_EQ(PositionLogToPosData(kBestposLine.data(), nLine - 6, &any), 0);
}

TEST_F(PosParser, BinaryLogsThroughTheStore)
{
    PositionBody b{};
    b.PosType = 50;
    b.Latitude = 30.5;
    b.Longitude = 114.25;
    b.Height = 20.0;
    b.Undulation = -10.0f;
    b.DiffAge = 2.7f;
    b.Sats.SatsTracked = 30;
    b.Sats.SatsInSolution = 25;
    Bytes body(sizeof b);
    std::memcpy(body.data(), &b, sizeof b);
    ASSERT_EQ(m_Store.StoreBinaryLog(LongLog(MSG_ID_RTKPOS, body, 86400000).data(), 28 + 72 + 4), 1);
    Pos().RefPosMsgType = REF_POS_RTKPOS;
    Feed("");
    EXPECT_EQ(Pos().FixQuality, 4);
    EXPECT_NEAR(Pos().Longitude / kRad, 114.25, 1e-9);
    EXPECT_DOUBLE_EQ(Pos().Height, 10.0);
    EXPECT_EQ(Pos().DiffAge, 2u);
    EXPECT_EQ(Pos().Tracked, 30);
    EXPECT_EQ(Pos().GpsSeconds, 86400.0);

    InspvaxBody x{};
    x.InsStatus = 3;
    x.Latitude = -33.0;
    x.Roll = 1.5;
    x.Pitch = -2.5;
    x.Azimuth = 270.0;
    Bytes xb(sizeof x);
    std::memcpy(xb.data(), &x, sizeof x);
    ASSERT_EQ(m_Store.StoreBinaryLog(LongLog(MSG_ID_INSPVAX, xb).data(), 28 + 126 + 4), 1);
    Pos().RefPosMsgType = REF_POS_INSPVAX;
    Feed("");
    EXPECT_NEAR(Pos().Latitude / kRad, -33.0, 1e-9);
    EXPECT_EQ(Pos().Azimuth, 270.0);
    EXPECT_EQ(Pos().Pitch, -2.5);
    EXPECT_EQ(Pos().InsStatus, 3);
    EXPECT_EQ(Pos().EpochCount, 2u);
}

// The record's UTC uses the leap seconds of the data's own date: replayed
// logs and sentences from before 2017 are not off by the seconds added since.
TEST_F(PosParser, UtcOfHistoricDates)
{
    const struct
    {
        uint16_t Week;
        uint32_t Ms;
        CalendarTime Utc;
    } cases[] = {
        {1327, 302413000, {2005, 6, 15, 12, 0, 0, 0}},    // 13 s
        {1512, 345613000, {2008, 12, 31, 23, 59, 59, 0}}, // 14 s, the second before one was added
        {1523, 15000, {2009, 3, 15, 0, 0, 0, 0}},         // 15 s
        {1930, 16000, {2016, 12, 31, 23, 59, 59, 0}},     // 17 s
        {1930, 18000, {2017, 1, 1, 0, 0, 0, 0}},          // 18 s
        {2306, 563737500, {2024, 3, 23, 12, 35, 19, 500}},
    };
    Pos().RefPosMsgType = REF_POS_BESTPOS;
    for (const auto& c : cases)
    {
        Bytes body(sizeof(PositionBody), 0);
        ASSERT_EQ(m_Store.StoreBinaryLog(LongLog(MSG_ID_BESTPOS, body, c.Ms, c.Week).data(), 28 + 72 + 4), 1);
        Feed("");
        const CalendarTime& t = Pos().Utc;
        EXPECT_EQ(std::vector<uint32_t>({t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, t.Millisecond}),
                  std::vector<uint32_t>(
                      {c.Utc.Year, c.Utc.Month, c.Utc.Day, c.Utc.Hour, c.Utc.Minute, c.Utc.Second, c.Utc.Millisecond}))
            << c.Week << " " << c.Ms;
    }

    // An NMEA epoch's GPS time of week, from its date and time.
    QPosDataParser nmea;
    const std::string s = Gga("000000.00") + Rmc("000000.00", "150309") + Gga("000001.00");
    nmea.ParsePosData(s.data(), int32_t(s.size()), &nmea.m_PosData, nullptr);
    EXPECT_EQ(nmea.m_PosData.GpsSeconds, 15.0);
}

TEST(PositionFix, FromSolutionStatusAndType)
{
    const struct
    {
        uint32_t Status, Type;
        uint8_t Quality;
    } cases[] = {{0, 16, 1}, {0, 17, 2}, {0, 18, 2}, {0, 50, 4}, {0, 48, 4}, {0, 34, 5}, {0, 32, 5},
                 {0, 19, 6}, {0, 56, 6}, {0, 0, 0},  {0, 69, 0}, {1, 16, 0}, {0, 51, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PositionFixQuality(c.Status, c.Type), c.Quality) << c.Status << " " << c.Type;
    EXPECT_STREQ(RefPosMsgTypeName(8), "INSPVAX");
    EXPECT_STREQ(RefPosMsgTypeName(9), "UNKNOWN");
}

TEST_F(PosParser, LongLinesAreCutAndNothingGrows)
{
    std::string s = "$" + std::string(40000, 'A');
    Feed(s);
    Feed(s);
    // Still a working parser afterwards.
    Feed("\r\n" + Gga("100000.00") + Gga("100001.00"));
    EXPECT_EQ(Pos().Utc.Hour, 10u);
    EXPECT_EQ(Pos().FixQuality, 1);
}
