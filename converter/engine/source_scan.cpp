#include "converter/engine/source_scan.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/catalogue.h"
#include "codec/gnss_time.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/signal_map.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/range_epoch.h"
#include "converter/engine/range_to_rinex.h"

namespace
{
enum : uint32_t
{
    MIN_TIME_STATUS = 21,
    DETECT_BYTES = 65536,
};

// After every block: publishes the progress, ends the reading on a stop request.
int StoreProgress(void* pContext, uint64_t nBytes)
{
    CConvertContext* pScan = static_cast<CConvertContext*>(pContext);
    pScan->SetRinexBytesRead(nBytes);
    return pScan->StopRequested() ? 1 : 0;
}

// Geodetic latitude and longitude (radians) and ellipsoidal height (m) to
// ECEF on the WGS-84 ellipsoid.
void GeodeticToEcef(double dLat, double dLon, double dHeight, double aXyz[3])
{
    const double a = 6378137.0;
    const double e2 = 0.006694379990141317;
    const double sinLat = std::sin(dLat);
    const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
    aXyz[0] = (n + dHeight) * std::cos(dLat) * std::cos(dLon);
    aXyz[1] = (n + dHeight) * std::cos(dLat) * std::sin(dLon);
    aXyz[2] = (n * (1.0 - e2) + dHeight) * sinLat;
}

// First and last epoch and the smallest step between two epochs of one range kind.
struct KindTimes
{
    bool bAny = false;
    uint32_t nFirstWeek = 0, nFirstMs = 0, nLastWeek = 0, nLastMs = 0;
    int64_t nMinInterval = 0; // ms; 0 while none

    void Add(uint32_t nWeek, uint32_t nMs)
    {
        if (!bAny)
        {
            bAny = true;
            nFirstWeek = nWeek;
            nFirstMs = nMs;
        }
        else
        {
            // Across a week boundary too: whole weeks plus the ms difference.
            // An epoch repeated (0) or out of order (negative) gives no interval.
            const int64_t nStep =
                (static_cast<int64_t>(nWeek) - nLastWeek) * GNSS_MS_PER_WEEK + static_cast<int64_t>(nMs) - nLastMs;
            if (nStep > 0 && (nMinInterval == 0 || nStep < nMinInterval))
                nMinInterval = nStep;
        }
        nLastWeek = nWeek;
        nLastMs = nMs;
    }
};

// Sums of the first position logs of one kind, in ECEF (an average of
// longitudes would break across 180 degrees).
struct PositionSum
{
    uint32_t nCount = 0;
    double aSum[3] = {};
};

ScanCalendar CalendarOf(uint32_t nWeek, uint32_t nMs, int32_t nLeapMs)
{
    CalendarTime cal{};
    ScanCalendar out{};
    if (GpsTimeToCalendar(nWeek, nMs, &nLeapMs, &cal))
        out = ScanCalendar{cal.Year, cal.Month, cal.Day, cal.Hour, cal.Minute, cal.Second + cal.Millisecond / 1000.0};
    return out;
}

// Working records of one scan, on the heap: the scan shares none with a job.
struct ScanWork
{
    EpochStore Store;
    EpochIndexEntry aIndex[OBS_MAX_SATS];
    std::vector<uint8_t> Decoded = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);
    KindTimes aKinds[SCAN_RANGE_KINDS];
    PositionSum Rtk, Psr;
};

void AddPosition(const uint8_t* pLog, uint32_t nLength, PositionSum* pSum)
{
    PositionBody body;
    if (nLength < LOG_HEADER_LENGTH + sizeof(body) || pSum->nCount >= SCAN_MAX_POSITIONS)
        return;
    std::memcpy(&body, pLog + LOG_HEADER_LENGTH, sizeof(body));
    // Only computed solutions: the others carry zeros that would drag the mean.
    if (body.SolStatus != 0 || !std::isfinite(body.Latitude) || !std::isfinite(body.Longitude) ||
        !std::isfinite(body.Height))
        return;
    const double dDegToRad = 1.0 / 57.295779513;
    double aXyz[3];
    GeodeticToEcef(body.Latitude * dDegToRad, body.Longitude * dDegToRad, body.Height + body.Undulation, aXyz);
    for (int i = 0; i < 3; ++i)
        pSum->aSum[i] += aXyz[i];
    ++pSum->nCount;
}
} // namespace

uint32_t NominalIntervalMs(uint32_t nStepMs)
{
    for (uint32_t nCommon : SCAN_COMMON_INTERVALS_MS)
    {
        const uint32_t nTolerance = std::min<uint32_t>(SAMPLE_TOLERANCE_MS, nCommon / 10);
        if (nStepMs + nTolerance >= nCommon && nStepMs <= nCommon + nTolerance)
            return nCommon;
    }
    return nStepMs;
}

int ScanRangeKind(uint16_t nMessageId)
{
    switch (nMessageId)
    {
    case MSG_ID_RANGE:
        return 0;
    case MSG_ID_RANGEH:
        return 1;
    case MSG_ID_BASERANGE:
        return 2;
    case MSG_ID_RANGECMP:
        return 3;
    default:
        return -1;
    }
}

int DetectBinaryLog(FILE* pStream)
{
    if (!pStream)
        return 0;
    std::rewind(pStream);
    // Only the first block: the reader gets no second one.
    std::vector<uint8_t> head(DETECT_BYTES);
    const size_t nRead = std::fread(head.data(), 1, head.size(), pStream);
    FILE* pHead = fmemopen(head.data(), nRead ? nRead : 1, "rb");
    if (!pHead)
        return 0;
    uint32_t nBinary = 0, nText = 0;
    if (nRead)
    {
        LogSourceReader reader(pHead);
        LogSourceFrame frame;
        while (reader.Next(&frame))
            ++(frame.nForm == LOG_SOURCE_BINARY ? nBinary : nText);
    }
    std::fclose(pHead);
    return nBinary > nText ? 1 : 0;
}

void CollectScanSignals(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, SourceScanInfo* pScan)
{
    for (uint32_t e = 0; e < pEpoch->nSatCount; ++e)
    {
        const EpochIndexEntry& entry = pIndex[e];
        const uint32_t s = entry.Sat.nSystem;
        const uint32_t nSat = entry.Sat.nSatNumber;
        if (s >= SCAN_SYSTEMS || nSat == 0 || nSat > OBS_SATS_PER_SYSTEM)
            continue;
        if (s == GNSS_SYSTEM_GLONASS)
        {
            uint32_t i = 0;
            while (i < pScan->nGloSlotCount && pScan->aGloSlots[i] != static_cast<int32_t>(nSat))
                ++i;
            if (i == pScan->nGloSlotCount && i < SCAN_MAX_GLO_SLOTS)
            {
                pScan->aGloSlots[i] = static_cast<int32_t>(nSat);
                pScan->aGloFrequencies[i] = static_cast<int32_t>(entry.Sat.nGloFreq) - 7;
                ++pScan->nGloSlotCount;
            }
        }
        for (uint32_t j = 0; j < entry.nSlotCount; ++j)
        {
            const uint32_t nCode = entry.Slots[j].nObsCode;
            uint32_t k = 0;
            while (k < pScan->aSignalCounts[s] && pScan->aSignalCodes[s][k] != nCode)
                ++k;
            if (k == pScan->aSignalCounts[s])
            {
                if (k >= RINEX_SCAN_CODES)
                    continue;
                pScan->aSignalCodes[s][k] = nCode;
                ++pScan->aSignalCounts[s];
            }
            const uint64_t nBit = uint64_t(1) << (nSat - 1);
            if (!(pScan->aSatMasks[s][k] & nBit))
            {
                pScan->aSatMasks[s][k] |= nBit;
                ++pScan->aSatCounts[s][k];
            }
        }
    }
}

int ScanSourceLog(FILE* pStream, SourceScanInfo* pScan, uint32_t pFileTimes[4], int /*nBinary*/,
                  CConvertContext* pContext)
{
    if (!pStream || !pScan || !pContext)
        return SCAN_NO_RANGE_LOG;
    pContext->SetRinexBytesRead(0);
    std::rewind(pStream);
    auto pWork = std::make_unique<ScanWork>();
    ScanWork& work = *pWork;
    ResetConvertState(&work.Store, 1);
    const uint32_t nSignalMode = pContext->GetBdsEphemStyle();

    bool bAnyEpoch = false;
    int32_t nGloLeapMs = 0;
    uint32_t nFirstWeek = 0, nFirstMs = 0, nLastWeek = 0, nLastMs = 0;
    LogSourceReader reader(pStream, &StoreProgress, pContext);
    LogSourceFrame frame;
    while (reader.Next(&frame))
    {
        const uint16_t nId = frame.nMessageId;
        const int nKind = ScanRangeKind(nId);
        if (nKind < 0 && nId != MSG_ID_RTKPOS && nId != MSG_ID_PSRPOS && nId != MSG_ID_IONUTC &&
            nId != MSG_ID_GLOEPHEMERIS)
            continue;
        const uint8_t* pLog = nullptr;
        uint32_t nLength = 0;
        if (!LogSourceRecord(frame, work.Decoded.data(), &pLog, &nLength))
            continue;
        BinaryLogHeader h;
        std::memcpy(&h, pLog, sizeof(h));
        if (h.TimeStatus < MIN_TIME_STATUS)
            continue;
        if (nKind >= 0)
        {
            const int nSats = nId == MSG_ID_RANGECMP
                                  ? RangeCmpToObsEpoch(pLog, nLength, 0xFF, nSignalMode, &work.Store, work.aIndex)
                                  : RangeToObsEpoch(pLog, nLength, 0xFF, nSignalMode, &work.Store, work.aIndex);
            if (nSats < 0)
                continue;
            CollectScanSignals(&work.Store.State, work.aIndex, pScan);
            if (!bAnyEpoch)
            {
                bAnyEpoch = true;
                nFirstWeek = h.Week;
                nFirstMs = h.Milliseconds;
            }
            nLastWeek = h.Week;
            nLastMs = h.Milliseconds;
            work.aKinds[nKind].Add(h.Week, h.Milliseconds);
        }
        else if (nId == MSG_ID_GLOEPHEMERIS)
        {
            GLOEPHEMERIS_BODY_T eph;
            if (nLength >= LOG_HEADER_LENGTH + sizeof(eph))
            {
                std::memcpy(&eph, pLog + LOG_HEADER_LENGTH, sizeof(eph));
                // GLONASS time runs 3 h ahead of UTC: the offset to GPS time
                // is 10800 s minus the leap seconds.
                const int64_t nLeap = 10800 - int64_t(eph.TimeOffset);
                if (nLeap >= 1 && nLeap <= 99)
                    nGloLeapMs = static_cast<int32_t>(nLeap * 1000);
            }
        }
        else if (nId == MSG_ID_IONUTC)
        {
            if (nLength >= SCAN_IONUTC_SIZE)
            {
                std::memcpy(pScan->aIonUtc, pLog, SCAN_IONUTC_SIZE);
                pScan->nIonUtcLength = SCAN_IONUTC_SIZE;
            }
        }
        else
            AddPosition(pLog, nLength, nId == MSG_ID_RTKPOS ? &work.Rtk : &work.Psr);
    }
    pScan->Source = reader.Counts();
    if (reader.Stopped())
        return SCAN_STOPPED;
    if (reader.ReadFailed())
        return SCAN_READ_FAILED;

    // The data's own leap seconds where it holds them, else the table's.
    if (pScan->nIonUtcLength)
    {
        IONUTC_BODY_T ion;
        std::memcpy(&ion, pScan->aIonUtc + LOG_HEADER_LENGTH, sizeof(ion));
        if (ion.DeltaTls != 0)
        {
            pScan->nLeapMs = ion.DeltaTls * 1000;
            pScan->nLeapSource = SCAN_LEAP_IONUTC;
        }
    }
    if (pScan->nLeapSource == SCAN_LEAP_NONE && nGloLeapMs != 0)
    {
        pScan->nLeapMs = nGloLeapMs;
        pScan->nLeapSource = SCAN_LEAP_GLONASS;
    }
    if (!bAnyEpoch)
        return SCAN_NO_RANGE_LOG;
    if (pScan->nLeapSource == SCAN_LEAP_NONE)
    {
        pScan->nLeapMs = GpsLeapMs(nFirstWeek, nFirstMs);
        pScan->nLeapSource = SCAN_LEAP_DATE;
    }

    const PositionSum* pSum = work.Rtk.nCount ? &work.Rtk : work.Psr.nCount ? &work.Psr : nullptr;
    if (pSum)
        for (int i = 0; i < 3; ++i)
            pScan->aApproxPos[i] = pSum->aSum[i] / pSum->nCount;

    for (uint32_t k = 0; k < SCAN_RANGE_KINDS; ++k)
    {
        const KindTimes& t = work.aKinds[k];
        const uint32_t nStep = t.nMinInterval < 0xFFFFFFFF ? static_cast<uint32_t>(t.nMinInterval) : 0xFFFFFFFFu;
        pScan->aMessageIntervals[k] = static_cast<double>(NominalIntervalMs(nStep)) / 1000.0;
        const uint32_t aTimes[4] = {t.nFirstWeek, t.nFirstMs, t.nLastWeek, t.nLastMs};
        std::memcpy(pScan->aMessageTimes[k], aTimes, sizeof(aTimes));
    }
    pScan->nLastEpochWeek = nLastWeek;
    pScan->nLastEpochMs = nLastMs;
    pScan->FirstObs = CalendarOf(nFirstWeek, nFirstMs, pScan->nLeapMs);
    pScan->LastObs = CalendarOf(nLastWeek, nLastMs, pScan->nLeapMs);
    pScan->nLastObsWeek = nLastWeek;
    pScan->nLastObsMs = nLastMs;
    if (pFileTimes)
    {
        pFileTimes[0] = nFirstWeek;
        pFileTimes[1] = nFirstMs;
        pFileTimes[2] = nLastWeek;
        pFileTimes[3] = nLastMs;
    }
    return pSum ? SCAN_OK : SCAN_NO_POSITION;
}
