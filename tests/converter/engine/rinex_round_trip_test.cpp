// Range logs to RINEX observation files and back: the observations come back
// as they went in, within the resolution RINEX prints them with.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "codec/signal_map.h"
#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_readers.h"
#include "range_source_fixture.h"
#include "reader_streams.h"

namespace
{
using loggen::Signal;

constexpr uint32_t kEpochs = 3;

// One signal of the source: the satellite's number within its system and the
// tracking-status system and signal type.
struct SignalRow
{
    uint8_t nTrack;
    uint8_t nType;
    uint16_t nSat; // PRN; GLONASS slot; QZSS PRN - 192
};

std::vector<Signal> Signals(const std::vector<SignalRow>& rows)
{
    static const int8_t kChannels[29] = {0, 1,  -4, 5,  6, 1, -4, 5,  6, -2, -7, 0, -1, -2, -7,
                                         0, -1, 4,  -3, 3, 2, 4,  -3, 3, 2,  0,  0, 0,  0};
    std::vector<Signal> sigs;
    for (const SignalRow& r : rows)
    {
        Signal s{r.nTrack, r.nType, r.nSat, 0};
        if (r.nTrack == TRACK_SYS_GLONASS)
        {
            s.nSatId = static_cast<uint16_t>(r.nSat + 37);
            s.nGloFreq = static_cast<uint16_t>(kChannels[r.nSat] + 7);
        }
        else if (r.nTrack == TRACK_SYS_QZSS)
            s.nSatId = static_cast<uint16_t>(r.nSat + 192);
        sigs.push_back(s);
    }
    return sigs;
}

// Observations of every signal at time t, each signal with values of its own.
std::vector<RANGE_OBS_T> Observe(const std::vector<Signal>& sigs, double t)
{
    std::vector<RANGE_OBS_T> obs;
    for (size_t i = 0; i < sigs.size(); ++i)
    {
        const Signal& s = sigs[i];
        const double dPsr = 2.1e7 + 1.0e5 * (s.nSatId % 40) + 0.25 * s.nSignalType + 450.0 * t + 0.123;
        const float fDoppler = static_cast<float>(-2365.125 + 3.5 * s.nSignalType - 0.25 * t);
        const float fCn0 = static_cast<float>(40.0 + 0.25 * (i % 16));
        obs.push_back(
            loggen::Observation(s, static_cast<uint8_t>(i % 32), dPsr, fDoppler, fCn0, static_cast<float>(100.0 + t)));
    }
    return obs;
}

struct RoundTripCase
{
    const char* pName;
    int32_t nVersion;
    uint8_t nSysMask;
    std::vector<SignalRow> rows;
    uint32_t nStepMs;
};

void PrintTo(const RoundTripCase& c, std::ostream* pOut) { *pOut << c.pName; }

const RoundTripCase kCases[] = {
    {"v211_gps_glo_gal",
     211,
     1 | 2 | 4,
     {{TRACK_SYS_GPS, 0, 5},
      {TRACK_SYS_GPS, 9, 5},
      {TRACK_SYS_GPS, 14, 5},
      {TRACK_SYS_GPS, 0, 27},
      {TRACK_SYS_GPS, 9, 27},
      {TRACK_SYS_GLONASS, 0, 3},
      {TRACK_SYS_GLONASS, 5, 3},
      {TRACK_SYS_GALILEO, 2, 11},
      {TRACK_SYS_GALILEO, 12, 11},
      {TRACK_SYS_GALILEO, 17, 11}},
     1000},
    {"v302_all_systems",
     302,
     1 | 2 | 4 | 8 | 32,
     {{TRACK_SYS_GPS, 0, 5},       {TRACK_SYS_GPS, 16, 5},      {TRACK_SYS_GPS, 9, 5},      {TRACK_SYS_GPS, 17, 5},
      {TRACK_SYS_GPS, 14, 5},      {TRACK_SYS_GLONASS, 0, 3},   {TRACK_SYS_GLONASS, 1, 3},  {TRACK_SYS_GLONASS, 5, 3},
      {TRACK_SYS_GLONASS, 6, 3},   {TRACK_SYS_GALILEO, 1, 11},  {TRACK_SYS_GALILEO, 2, 11}, {TRACK_SYS_GALILEO, 12, 11},
      {TRACK_SYS_GALILEO, 17, 11}, {TRACK_SYS_GALILEO, 20, 11}, {TRACK_SYS_BEIDOU, 0, 30},  {TRACK_SYS_BEIDOU, 1, 30},
      {TRACK_SYS_BEIDOU, 2, 30},   {TRACK_SYS_QZSS, 0, 2},      {TRACK_SYS_QZSS, 17, 2},    {TRACK_SYS_QZSS, 14, 2}},
     1000},
    {"v304_all_systems",
     304,
     1 | 2 | 4 | 8 | 32,
     {{TRACK_SYS_GPS, 0, 12},
      {TRACK_SYS_GPS, 9, 12},
      {TRACK_SYS_GPS, 17, 12},
      {TRACK_SYS_GLONASS, 0, 9},
      {TRACK_SYS_GLONASS, 5, 9},
      {TRACK_SYS_GALILEO, 2, 30},
      {TRACK_SYS_GALILEO, 12, 30},
      {TRACK_SYS_BEIDOU, 0, 30},
      {TRACK_SYS_BEIDOU, 2, 30},
      {TRACK_SYS_BEIDOU, 7, 30},
      {TRACK_SYS_BEIDOU, 9, 30},
      {TRACK_SYS_BEIDOU, 1, 40},
      {TRACK_SYS_QZSS, 0, 3},
      {TRACK_SYS_QZSS, 16, 3},
      {TRACK_SYS_QZSS, 27, 3}},
     30000},
    // Files of one system run on its own time: GLONASS time (UTC) and BeiDou time.
    {"v302_glonass_only", 302, 2, {{TRACK_SYS_GLONASS, 0, 3}, {TRACK_SYS_GLONASS, 5, 3}}, 1000},
    {"v304_beidou_only", 304, 8, {{TRACK_SYS_BEIDOU, 0, 30}, {TRACK_SYS_BEIDOU, 1, 30}}, 1000},
};

class RinexRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{
protected:
    QTemporaryDir m_Dir;

    std::string Path(const char* pName) const { return m_Dir.path().toStdString() + "/" + pName; }

    // Writes the source, converts it to RINEX as a range-log job does, then
    // reads the RINEX file back into logs (option 0 RANGE, 1 RANGECMP).
    std::string RoundTrip(const RoundTripCase& c, const std::vector<Signal>& sigs, uint32_t nOption,
                          std::string* pRinex)
    {
        SourceFile src;
        for (uint32_t k = 0; k < kEpochs; ++k)
            src.Add(
                loggen::Text(loggen::RangeRecord(kWeek, kDayMs + k * c.nStepMs, Observe(sigs, k * c.nStepMs / 1000.0)),
                             FormatRange));
        const std::string sSrc = Path("source.log"), sObs = Path("out.24O"), sLogs = Path("back.log");
        src.Write(sSrc);
        SourceScanInfo scan{};
        EXPECT_GE(ScanFile(sSrc, &scan), SCAN_NO_POSITION);
        RinexObsHeader header = HeaderFromScan(c.nVersion, scan, 0, c.nSysMask);
        RinexNavHeader nav{};
        RangeToRinexJob job;
        job.pSrcPath = sSrc.c_str();
        job.pObsPath = sObs.c_str();
        job.nObsMessageId = MSG_ID_RANGE;
        job.nSysMask = c.nSysMask;
        job.pObsHeader = &header;
        job.pNavHeader = &nav;
        EXPECT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);
        *pRinex = ReadTextFile(sObs);

        EXPECT_EQ(RinexObsFileToLogs(sObs, sLogs, nOption), 0);
        return ReadTextFile(sLogs);
    }
};

std::vector<std::string> Lines(const std::string& s)
{
    std::vector<std::string> v;
    size_t nPos = 0;
    while (nPos < s.size())
    {
        const size_t nEnd = s.find('\n', nPos);
        v.push_back(s.substr(nPos, nEnd == std::string::npos ? std::string::npos : nEnd + 1 - nPos));
        nPos = nEnd == std::string::npos ? s.size() : nEnd + 1;
    }
    return v;
}

std::vector<RANGE_OBS_T> Records(const loggen::Bytes& log)
{
    uint32_t n = 0;
    std::memcpy(&n, log.data() + LOG_HEADER_LENGTH, 4);
    std::vector<RANGE_OBS_T> v(n);
    if (n)
        std::memcpy(v.data(), log.data() + LOG_HEADER_LENGTH + 4, n * sizeof(RANGE_OBS_T));
    return v;
}

const RANGE_OBS_T* FindSignal(const std::vector<RANGE_OBS_T>& v, const RANGE_OBS_T& o)
{
    for (const RANGE_OBS_T& x : v)
        if (x.Prn == o.Prn && TrackingStatusSystem(x.TrackingStatus) == TrackingStatusSystem(o.TrackingStatus) &&
            TrackingStatusSignalType(x.TrackingStatus) == TrackingStatusSignalType(o.TrackingStatus))
            return &x;
    return nullptr;
}

TEST_P(RinexRoundTrip, ObservationsComeBackWithinPrintedResolution)
{
    const RoundTripCase& c = GetParam();
    const std::vector<Signal> sigs = Signals(c.rows);
    for (uint32_t nOption = 0; nOption < 2; ++nOption)
    {
        SCOPED_TRACE(nOption ? "RANGECMP" : "RANGE");
        std::string sRinex;
        const std::vector<std::string> logs = Lines(RoundTrip(c, sigs, nOption, &sRinex));
        ASSERT_EQ(logs.size(), kEpochs) << sRinex;
        for (uint32_t k = 0; k < kEpochs; ++k)
        {
            loggen::Bytes record(LOG_MAX_BINARY_LENGTH);
            int32_t n = 0;
            if (nOption == 0)
                ASSERT_EQ(DecodeRangeText(logs[k].data(), static_cast<int32_t>(logs[k].size()), record.data(), &n), 1)
                    << logs[k];
            else
            {
                loggen::Bytes packed(LOG_MAX_BINARY_LENGTH);
                ASSERT_EQ(DecodeRangeCmpText(logs[k].data(), static_cast<int32_t>(logs[k].size()), packed.data(), &n),
                          1)
                    << logs[k];
                ASSERT_EQ(RangeCmpToRange(packed.data(), n, record.data(), static_cast<int32_t>(record.size()), &n), 1);
            }
            BinaryLogHeader h;
            std::memcpy(&h, record.data(), sizeof(h));
            EXPECT_EQ(h.Week, kWeek);
            EXPECT_EQ(h.Milliseconds, kDayMs + k * c.nStepMs) << "epoch " << k;
            const double t = k * c.nStepMs / 1000.0;
            const std::vector<RANGE_OBS_T> in = Observe(sigs, t);
            const std::vector<RANGE_OBS_T> out = Records(record);
            ASSERT_EQ(out.size(), in.size()) << sRinex;
            // RANGECMP holds pseudoranges in steps of 1/128 m and phases of 1/256 cycle.
            const double dPsrTol = nOption ? 1.0 / 128 + 0.0005 : 0.0005 + 1e-6;
            const double dAdrTol = nOption ? 1.0 / 256 + 0.0005 : 0.0005 + 1e-6;
            for (const RANGE_OBS_T& o : in)
            {
                const RANGE_OBS_T* x = FindSignal(out, o);
                ASSERT_NE(x, nullptr) << "PRN " << +o.Prn << " type "
                                      << int(TrackingStatusSignalType(o.TrackingStatus));
                EXPECT_NEAR(+x->Psr, +o.Psr, dPsrTol);
                EXPECT_NEAR(+x->Adr, +o.Adr, dAdrTol);
                EXPECT_NEAR(+x->Doppler, +o.Doppler, nOption ? 1.0 / 256 : 0.0005 + 1e-4);
                EXPECT_NEAR(+x->CNo, +o.CNo, 0.051 + (nOption ? 1.0 : 0.0));
                EXPECT_EQ(+x->GloFreq, +o.GloFreq);
                EXPECT_EQ(TrackingStatusPhaseLock(x->TrackingStatus), TrackingStatusPhaseLock(o.TrackingStatus));
                EXPECT_TRUE(TrackingStatusCodeLocked(x->TrackingStatus));
                // Lock time restarts with the file and grows by the epoch interval.
                if (nOption == 0)
                {
                    EXPECT_NEAR(+x->LockTime, t, 1e-3);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, RinexRoundTrip, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.pName; });
} // namespace
