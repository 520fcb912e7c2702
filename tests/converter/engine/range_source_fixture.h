// Source logs for the range-log-to-RINEX job and the source scan, written
// with the codec into a temporary folder, and the RINEX header records the
// window would hand a job after the scan.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

#include "converter/engine/range_to_rinex.h"
#include "converter/engine/source_scan.h"
#include "rinex_check.h"
#include "rinex_fixture.h"
#include "support/log_generator.h"

// Monday 2024-01-01 00:00:00 UTC is week 2295, 86418000 ms (18 leap seconds).
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kDayMs = 86418000;

// A growing source file: logs appended in order, text or binary.
class SourceFile
{
public:
    void Add(const std::string& s) { m_Bytes.insert(m_Bytes.end(), s.begin(), s.end()); }
    void Add(const loggen::Bytes& b) { m_Bytes.insert(m_Bytes.end(), b.begin(), b.end()); }
    void Add(const char* p) { Add(std::string(p)); }
    const loggen::Bytes& Bytes() const { return m_Bytes; }
    loggen::Bytes& Bytes() { return m_Bytes; }

    void Write(const std::string& sPath) const
    {
        FILE* f = std::fopen(sPath.c_str(), "wb");
        ASSERT_NE(f, nullptr) << sPath;
        if (!m_Bytes.empty())
            std::fwrite(m_Bytes.data(), 1, m_Bytes.size(), f);
        std::fclose(f);
    }

private:
    loggen::Bytes m_Bytes;
};

// The epochs of one range kind as text or binary logs, RANGE or RANGECMP.
enum class Form
{
    RangeText,
    RangeBinary,
    RangeCmpText,
    RangeCmpBinary,
};

inline void AddEpoch(SourceFile& src, Form eForm, const std::vector<loggen::Signal>& sigs, uint16_t nWeek, uint32_t nMs,
                     double dT, uint8_t nTimeStatus = loggen::kFineSteering)
{
    const loggen::Bytes range = loggen::RangeRecord(nWeek, nMs, loggen::Epoch(sigs, dT), MSG_ID_RANGE, nTimeStatus);
    switch (eForm)
    {
    case Form::RangeText:
        src.Add(loggen::Text(range, FormatRange));
        break;
    case Form::RangeBinary:
        src.Add(loggen::Binary(range));
        break;
    case Form::RangeCmpText:
        src.Add(loggen::Text(loggen::RangeCmpRecord(range), FormatRangeCmp));
        break;
    case Form::RangeCmpBinary:
        src.Add(loggen::Binary(loggen::RangeCmpRecord(range)));
        break;
    }
}

// The golden fixture: two GPS satellites and one GLONASS satellite on two
// signals each, five epochs at 1 Hz from 2024-01-01 00:00:00 UTC; the GPS
// ephemeris of PRN 1 logged ten times, PRN 8 once, a GLONASS ephemeris, an
// IONUTC log with 18 leap seconds and two RTKPOS logs.
inline SourceFile GoldenSource(Form eForm)
{
    using namespace loggen;
    const bool bText = eForm == Form::RangeText || eForm == Form::RangeCmpText;
    const std::vector<Signal> sigs = Constellation(2, 1);
    SourceFile src;
    auto put = [&](const Bytes& record, FormatFn format)
    { bText ? src.Add(Text(record, format)) : src.Add(Binary(record)); };
    put(Record(MSG_ID_IONUTC, kWeek, kDayMs, IonUtc(18)), FormatIonUtc);
    put(Record(MSG_ID_GLOEPHEMERIS, kWeek, kDayMs, GloEphemeris(1, 1, kWeek, kDayMs - 900000, 1)), FormatGloEphem);
    for (uint32_t k = 0; k < 5; ++k)
    {
        const uint32_t nMs = kDayMs + k * 1000;
        for (int r = 0; r < 2; ++r)
            put(Record(MSG_ID_GPSEPHEM, kWeek, nMs, GpsEphemeris(1, kWeek, 93600.0, 3)), FormatGpsEphem);
        if (k == 2)
        {
            put(Record(MSG_ID_GPSEPHEM, kWeek, nMs, GpsEphemeris(8, kWeek, 93600.0, 5)), FormatGpsEphem);
            const Bytes rtk = Record(MSG_ID_RTKPOS, kWeek, nMs, Position(40.0, 116.0, 50.0, -10.0f));
            bText ? src.Add(PositionText(2, rtk)) : src.Add(Binary(rtk));
        }
        AddEpoch(src, eForm, sigs, kWeek, nMs, k);
    }
    return src;
}

// The observation header record as the window fills it for a job after the
// scan: station texts, the scan's signals, slots, times, interval and position.
inline RinexObsHeader HeaderFromScan(int32_t nVersion, const SourceScanInfo& scan, int nKind, uint8_t nSysMask = 1 | 2)
{
    ScanResult result;
    for (uint32_t s = 0; s < 6; ++s)
        for (uint32_t i = 0; i < scan.aSignalCounts[s]; ++i)
            result.Add(s, scan.aSignalCodes[s][i], scan.aSatMasks[s][i]);
    RinexObsHeader h = MakeObsHeader(nVersion, result, nSysMask);
    SetGloSlotFrequencies(scan.nGloSlotCount, scan.aGloSlots, scan.aGloFrequencies, &h);
    h.FirstObs.nWeek = scan.aMessageTimes[nKind][0];
    h.FirstObs.nMsOfWeek = scan.aMessageTimes[nKind][1];
    h.LastObs.nWeek = scan.aMessageTimes[nKind][2];
    h.LastObs.nMsOfWeek = scan.aMessageTimes[nKind][3];
    h.dInterval = scan.aMessageIntervals[nKind];
    for (int i = 0; i < 3; ++i)
        h.aApproxPos[i] = scan.aApproxPos[i];
    return h;
}

inline RinexNavHeader NavHeaderFromScan(const SourceScanInfo& scan)
{
    RinexNavHeader h{};
    if (scan.nIonUtcLength)
    {
        IONUTC_BODY_T ion;
        std::memcpy(&ion, scan.aIonUtc + LOG_HEADER_LENGTH, sizeof(ion));
        for (int i = 0; i < 4; ++i)
        {
            h.aIonAlpha[i] = ion.Alpha[i];
            h.aIonBeta[i] = ion.Beta[i];
        }
        h.dA0 = ion.A0;
        h.dA1 = ion.A1;
        h.nRefTime = ion.Tot;
        h.nRefWeek = ion.UtcWeek;
        h.nLeapSeconds = ion.DeltaTls;
        h.nFutureLeapSeconds = ion.DeltaTlsf;
        h.nLeapWeek = static_cast<int32_t>(ion.WnLsf);
        h.nLeapDay = static_cast<int32_t>(ion.Dn);
    }
    return h;
}

// Scans a file the way the window does before a job.
inline int ScanFile(const std::string& sPath, SourceScanInfo* pScan, uint32_t aFileTimes[4] = nullptr)
{
    uint32_t aTimes[4] = {};
    FILE* f = std::fopen(sPath.c_str(), "rb");
    EXPECT_NE(f, nullptr) << sPath;
    if (!f)
        return -100;
    *pScan = SourceScanInfo{};
    const int nBinary = DetectBinaryLog(f);
    CConvertContext context;
    const int n = ScanSourceLog(f, pScan, aFileTimes ? aFileTimes : aTimes, nBinary, &context);
    std::fclose(f);
    return n;
}

// The creation date of "PGM / RUN BY / DATE" lines changes with each run.
inline std::string MaskDate(const std::string& sText)
{
    std::string s = sText;
    for (size_t nPos = s.find("PGM / RUN BY / DATE"); nPos != std::string::npos;
         nPos = s.find("PGM / RUN BY / DATE", nPos + 1))
    {
        const size_t nLine = s.rfind('\n', nPos) == std::string::npos ? 0 : s.rfind('\n', nPos) + 1;
        if (nPos - nLine == 60)
            s.replace(nLine + 40, 20, "yyyymmdd hhmmss UTC ");
    }
    return s;
}

// Counts the lines that open an epoch ("> " in RINEX 3).
inline int CountRinex3Epochs(const std::string& sText)
{
    int n = 0;
    for (size_t nPos = 0; (nPos = sText.find("\n> ", nPos)) != std::string::npos; ++nPos)
        ++n;
    return n;
}

// The epoch lines of RINEX 3 text, without their satellite counts.
inline std::vector<std::string> EpochTimes(const std::string& sText)
{
    std::vector<std::string> times;
    for (size_t nPos = sText.find("\n> "); nPos != std::string::npos; nPos = sText.find("\n> ", nPos + 1))
        times.push_back(sText.substr(nPos + 1, 29));
    return times;
}

// The calendar numbers of a RINEX 3 epoch line ("> 2024 01 01 00 00 30.0030000")
// or of a TIME OF FIRST/LAST OBS line, as one text to compare.
inline std::string RinexCalendarText(const std::string& sLine)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0;
    double sec = 0;
    const char* p = sLine.c_str() + (sLine[0] == '>' ? 1 : 0);
    if (std::sscanf(p, "%d %d %d %d %d %lf", &y, &mo, &d, &h, &mi, &sec) != 6)
        return "unreadable: " + sLine;
    char sz[64];
    std::snprintf(sz, sizeof sz, "%04d-%02d-%02d %02d:%02d:%010.7f", y, mo, d, h, mi, sec);
    return sz;
}

// The first 60 columns of the header line with the label; empty when none.
inline std::string HeaderLineText(const std::string& sText, const char* pLabel)
{
    const size_t nLabel = sText.find(pLabel);
    return nLabel == std::string::npos ? std::string() : sText.substr(sText.rfind('\n', nLabel) + 1, 60);
}
