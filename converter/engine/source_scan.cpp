#include "converter/engine/source_scan.h"

#include <algorithm>
#include <array>
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
#include "converter/engine/log_blocks.h"
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

    // The epochs of a later stretch of the source, as if added one by one.
    void Add(const KindTimes& later)
    {
        if (!later.bAny)
            return;
        Add(later.nFirstWeek, later.nFirstMs);
        if (later.nMinInterval != 0 && (nMinInterval == 0 || later.nMinInterval < nMinInterval))
            nMinInterval = later.nMinInterval;
        nLastWeek = later.nLastWeek;
        nLastMs = later.nLastMs;
    }
};

ScanCalendar CalendarOf(uint32_t nWeek, uint32_t nMs, int32_t nLeapMs)
{
    CalendarTime cal{};
    ScanCalendar out{};
    if (GpsTimeToCalendar(nWeek, nMs, &nLeapMs, &cal))
        out = ScanCalendar{cal.Year, cal.Month, cal.Day, cal.Hour, cal.Minute, cal.Second + cal.Millisecond / 1000.0};
    return out;
}

// Index of nValue among the first *pCount entries of pList, appended while
// there is room; -1 when it is new and the list is full.
template <typename T> int FindOrAppend(T* pList, uint32_t* pCount, uint32_t nCapacity, T nValue)
{
    uint32_t k = 0;
    while (k < *pCount && pList[k] != nValue)
        ++k;
    if (k == *pCount)
    {
        if (k >= nCapacity)
            return -1;
        pList[k] = nValue;
        ++*pCount;
    }
    return static_cast<int>(k);
}

// A GLONASS slot seen for the first time goes into the list with the
// frequency number it came with, while there is room.
void AppendGloSlot(int32_t* pSlots, int32_t* pFrequencies, uint32_t* pCount, uint32_t nCapacity, int32_t nSlot,
                   int32_t nFrequency)
{
    const uint32_t nBefore = *pCount;
    const int i = FindOrAppend(pSlots, pCount, nCapacity, nSlot);
    if (i >= 0 && *pCount > nBefore)
        pFrequencies[i] = nFrequency;
}

// Hands each GLONASS slot of an epoch, and each signal of each satellite, to
// the lists, in the order of the epoch index.
template <typename Lists> void WalkEpochSignals(const ConvertState* pEpoch, const EpochIndexEntry* pIndex, Lists& lists)
{
    for (uint32_t e = 0; e < pEpoch->nSatCount; ++e)
    {
        const EpochIndexEntry& entry = pIndex[e];
        const uint32_t s = entry.Sat.nSystem;
        const uint32_t nSat = entry.Sat.nSatNumber;
        if (s >= SCAN_SYSTEMS || nSat == 0 || nSat > OBS_SATS_PER_SYSTEM)
            continue;
        if (s == GNSS_SYSTEM_GLONASS)
            lists.AddGloSlot(static_cast<int32_t>(nSat), static_cast<int32_t>(entry.Sat.nGloFreq) - 7);
        for (uint32_t j = 0; j < entry.nSlotCount; ++j)
            lists.AddSignal(s, entry.Slots[j].nObsCode, uint64_t(1) << (nSat - 1));
    }
}

// The lists of the scan record, as far as its room goes.
struct RecordLists
{
    SourceScanInfo* pScan;

    void AddGloSlot(int32_t nSlot, int32_t nFrequency)
    {
        AppendGloSlot(pScan->aGloSlots, pScan->aGloFrequencies, &pScan->nGloSlotCount, SCAN_MAX_GLO_SLOTS, nSlot,
                      nFrequency);
    }
    void AddSignal(uint32_t s, uint32_t nCode, uint64_t nSats)
    {
        const int k = FindOrAppend(pScan->aSignalCodes[s], &pScan->aSignalCounts[s], RINEX_SCAN_CODES, nCode);
        if (k < 0)
            return;
        const uint64_t nNew = nSats & ~pScan->aSatMasks[s][k];
        pScan->aSatMasks[s][k] |= nNew;
        pScan->aSatCounts[s][k] += static_cast<uint32_t>(__builtin_popcountll(nNew));
    }
};

// What a stretch of the source (a block of it, or all of it) holds for the
// scan. Its lists keep the order of first appearance with room for every
// signal type and GLONASS slot, and its positions are kept, not summed, so
// that stretches taken together in source order give what one pass over the
// whole source gives, to the last bit.
struct ScanTally
{
    enum : uint32_t
    {
        SIGNAL_TYPES = 32, // an observation code comes from a 5-bit signal type
    };
    using Position = std::array<double, 3>; // ECEF

    uint32_t aCodes[SCAN_SYSTEMS][SIGNAL_TYPES];
    uint64_t aMasks[SCAN_SYSTEMS][SIGNAL_TYPES];
    uint32_t aCodeCounts[SCAN_SYSTEMS];
    uint32_t nGloSlots;
    int32_t aGloSlots[OBS_SATS_PER_SYSTEM];
    int32_t aGloFrequencies[OBS_SATS_PER_SYSTEM];
    KindTimes aKinds[SCAN_RANGE_KINDS];
    KindTimes Any; // the first and last epoch of any kind
    // The first computed solutions of each kind, at most SCAN_MAX_POSITIONS.
    std::vector<Position> Rtk, Psr;
    uint8_t aIonUtc[SCAN_IONUTC_SIZE]; // the last one, with time status 21 or above
    uint32_t nIonUtcLength;
    int32_t nGloLeapMs; // of the last GLONASS ephemeris that gave a plausible one

    void Clear()
    {
        std::memset(aMasks, 0, sizeof(aMasks));
        std::memset(aCodeCounts, 0, sizeof(aCodeCounts));
        nGloSlots = 0;
        for (KindTimes& k : aKinds)
            k = KindTimes{};
        Any = KindTimes{};
        Rtk.clear();
        Psr.clear();
        nIonUtcLength = 0;
        nGloLeapMs = 0;
    }
    void AddGloSlot(int32_t nSlot, int32_t nFrequency)
    {
        AppendGloSlot(aGloSlots, aGloFrequencies, &nGloSlots, OBS_SATS_PER_SYSTEM, nSlot, nFrequency);
    }
    void AddSignal(uint32_t s, uint32_t nCode, uint64_t nSats)
    {
        const int k = FindOrAppend(aCodes[s], &aCodeCounts[s], SIGNAL_TYPES, nCode);
        if (k >= 0)
            aMasks[s][k] |= nSats;
    }
    static void AddPositions(std::vector<Position>* pTo, const std::vector<Position>& from)
    {
        for (size_t i = 0; i < from.size() && pTo->size() < SCAN_MAX_POSITIONS; ++i)
            pTo->push_back(from[i]);
    }

    // A later stretch of the source.
    void Add(const ScanTally& later)
    {
        for (uint32_t s = 0; s < SCAN_SYSTEMS; ++s)
            for (uint32_t k = 0; k < later.aCodeCounts[s]; ++k)
                AddSignal(s, later.aCodes[s][k], later.aMasks[s][k]);
        for (uint32_t i = 0; i < later.nGloSlots; ++i)
            AddGloSlot(later.aGloSlots[i], later.aGloFrequencies[i]);
        for (uint32_t k = 0; k < SCAN_RANGE_KINDS; ++k)
            aKinds[k].Add(later.aKinds[k]);
        Any.Add(later.Any);
        AddPositions(&Rtk, later.Rtk);
        AddPositions(&Psr, later.Psr);
        if (later.nIonUtcLength)
        {
            std::memcpy(aIonUtc, later.aIonUtc, later.nIonUtcLength);
            nIonUtcLength = later.nIonUtcLength;
        }
        if (later.nGloLeapMs)
            nGloLeapMs = later.nGloLeapMs;
    }
};

// Decoding room of one thread of a scan: the scan shares none with a job.
struct ScanSpace
{
    EpochStore Store;
    EpochIndexEntry aIndex[OBS_MAX_SATS];
    std::vector<uint8_t> Decoded = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);

    ScanSpace() { ResetConvertState(&Store, 1); }
};

bool ScanWants(uint16_t nMessageId)
{
    return ScanRangeKind(nMessageId) >= 0 || nMessageId == MSG_ID_RTKPOS || nMessageId == MSG_ID_PSRPOS ||
           nMessageId == MSG_ID_IONUTC || nMessageId == MSG_ID_GLOEPHEMERIS;
}

void AddPosition(const uint8_t* pLog, uint32_t nLength, std::vector<ScanTally::Position>* pList)
{
    PositionBody body;
    if (nLength < LOG_HEADER_LENGTH + sizeof(body) || pList->size() >= SCAN_MAX_POSITIONS)
        return;
    std::memcpy(&body, pLog + LOG_HEADER_LENGTH, sizeof(body));
    // Only computed solutions: the others carry zeros that would drag the mean.
    if (body.SolStatus != 0 || !std::isfinite(body.Latitude) || !std::isfinite(body.Longitude) ||
        !std::isfinite(body.Height))
        return;
    const double dDegToRad = 1.0 / 57.295779513;
    ScanTally::Position xyz;
    GeodeticToEcef(body.Latitude * dDegToRad, body.Longitude * dDegToRad, body.Height + body.Undulation, xyz.data());
    pList->push_back(xyz);
}

// Adds one log the scan wants (ScanWants) to the tally.
void TallyLog(const LogSourceFrame& frame, uint32_t nSignalMode, ScanSpace& space, ScanTally* pTally)
{
    const uint16_t nId = frame.nMessageId;
    const uint8_t* pLog = nullptr;
    uint32_t nLength = 0;
    if (!LogSourceRecord(frame, space.Decoded.data(), &pLog, &nLength))
        return;
    BinaryLogHeader h;
    std::memcpy(&h, pLog, sizeof(h));
    if (h.TimeStatus < MIN_TIME_STATUS)
        return;
    const int nKind = ScanRangeKind(nId);
    if (nKind >= 0)
    {
        const int nSats = nId == MSG_ID_RANGECMP
                              ? RangeCmpToObsEpoch(pLog, nLength, 0xFF, nSignalMode, &space.Store, space.aIndex)
                              : RangeToObsEpoch(pLog, nLength, 0xFF, nSignalMode, &space.Store, space.aIndex);
        if (nSats < 0)
            return;
        WalkEpochSignals(&space.Store.State, space.aIndex, *pTally);
        pTally->Any.Add(h.Week, h.Milliseconds);
        pTally->aKinds[nKind].Add(h.Week, h.Milliseconds);
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
                pTally->nGloLeapMs = static_cast<int32_t>(nLeap * 1000);
        }
    }
    else if (nId == MSG_ID_IONUTC)
    {
        if (nLength >= SCAN_IONUTC_SIZE)
        {
            std::memcpy(pTally->aIonUtc, pLog, SCAN_IONUTC_SIZE);
            pTally->nIonUtcLength = SCAN_IONUTC_SIZE;
        }
    }
    else
        AddPosition(pLog, nLength, nId == MSG_ID_RTKPOS ? &pTally->Rtk : &pTally->Psr);
}

// A log of a block of the scan: where its frame stands in the block's bytes.
struct ScanFrame
{
    uint32_t nOffset;
    uint32_t nLength;
    uint16_t nMessageId;
    uint8_t nForm;
};

struct ScanBlock
{
    std::vector<uint8_t> Bytes;
    std::vector<ScanFrame> Frames;
    ScanTally Tally;

    void Clear()
    {
        Bytes.clear();
        Frames.clear();
    }
};

// The whole source on nWorkers threads: the calling thread reads it into
// blocks, the workers tally each block at once, and the blocks' tallies are
// added to *pAll in source order.
void TallyInBlocks(LogSourceReader& reader, uint32_t nWorkers, uint32_t nSignalMode, ScanTally* pAll)
{
    std::vector<std::unique_ptr<ScanSpace>> spaces(nWorkers);
    for (auto& p : spaces)
        p = std::make_unique<ScanSpace>();
    const OrderedBlocks<ScanBlock>::Step nothing = [](ScanBlock&, uint64_t, uint32_t) {};
    OrderedBlocks<ScanBlock> work(
        nWorkers, nWorkers + 2,
        [&](ScanBlock& b, uint64_t, uint32_t n)
        {
            b.Tally.Clear();
            for (const ScanFrame& f : b.Frames)
                TallyLog(LogSourceFrame{b.Bytes.data() + f.nOffset, f.nLength, f.nMessageId, f.nForm}, nSignalMode,
                         *spaces[n], &b.Tally);
        },
        [pAll](ScanBlock& b, uint64_t, uint32_t) { pAll->Add(b.Tally); }, nothing, nothing);
    SubmitLogBlocks(
        reader, work, nullptr,
        [](ScanBlock& b, const LogSourceFrame& frame)
        {
            if (!ScanWants(frame.nMessageId))
                return false;
            b.Frames.push_back({static_cast<uint32_t>(b.Bytes.size()), frame.nLength, frame.nMessageId, frame.nForm});
            b.Bytes.insert(b.Bytes.end(), frame.pData, frame.pData + frame.nLength);
            return true;
        });
}

std::array<double, 3> MeanOf(const std::vector<ScanTally::Position>& list)
{
    std::array<double, 3> sum{};
    for (const ScanTally::Position& p : list)
        for (int i = 0; i < 3; ++i)
            sum[i] += p[i];
    for (int i = 0; i < 3; ++i)
        sum[i] /= static_cast<double>(list.size());
    return sum;
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
    RecordLists lists{pScan};
    WalkEpochSignals(pEpoch, pIndex, lists);
}

int ScanSourceLog(FILE* pStream, SourceScanInfo* pScan, uint32_t pFileTimes[4], int /*nBinary*/,
                  CConvertContext* pContext, uint32_t nThreads)
{
    if (!pStream || !pScan || !pContext)
        return SCAN_NO_RANGE_LOG;
    pContext->SetRinexBytesRead(0);
    std::rewind(pStream);
    const uint32_t nSignalMode = pContext->GetBdsEphemStyle();
    auto pTally = std::make_unique<ScanTally>();
    ScanTally& all = *pTally;
    all.Clear();
    LogSourceReader reader(pStream, &StoreProgress, pContext);
    const uint32_t nWorkers = LogBlockWorkers(nThreads);
    if (nWorkers > 1)
        TallyInBlocks(reader, nWorkers, nSignalMode, &all);
    else
    {
        auto pSpace = std::make_unique<ScanSpace>();
        LogSourceFrame frame;
        while (reader.Next(&frame))
            if (ScanWants(frame.nMessageId))
                TallyLog(frame, nSignalMode, *pSpace, &all);
    }
    pScan->Source = reader.Counts();
    if (reader.Stopped())
        return SCAN_STOPPED;
    if (reader.ReadFailed())
        return SCAN_READ_FAILED;

    RecordLists lists{pScan};
    for (uint32_t s = 0; s < SCAN_SYSTEMS; ++s)
        for (uint32_t k = 0; k < all.aCodeCounts[s]; ++k)
            lists.AddSignal(s, all.aCodes[s][k], all.aMasks[s][k]);
    for (uint32_t i = 0; i < all.nGloSlots; ++i)
        lists.AddGloSlot(all.aGloSlots[i], all.aGloFrequencies[i]);
    if (all.nIonUtcLength)
    {
        std::memcpy(pScan->aIonUtc, all.aIonUtc, all.nIonUtcLength);
        pScan->nIonUtcLength = all.nIonUtcLength;
    }

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
    if (pScan->nLeapSource == SCAN_LEAP_NONE && all.nGloLeapMs != 0)
    {
        pScan->nLeapMs = all.nGloLeapMs;
        pScan->nLeapSource = SCAN_LEAP_GLONASS;
    }
    const KindTimes& any = all.Any;
    if (!any.bAny)
        return SCAN_NO_RANGE_LOG;
    if (pScan->nLeapSource == SCAN_LEAP_NONE)
    {
        pScan->nLeapMs = GpsLeapMs(any.nFirstWeek, any.nFirstMs);
        pScan->nLeapSource = SCAN_LEAP_DATE;
    }

    const std::vector<ScanTally::Position>* pSolutions = !all.Rtk.empty()   ? &all.Rtk
                                                         : !all.Psr.empty() ? &all.Psr
                                                                            : nullptr;
    if (pSolutions)
    {
        const std::array<double, 3> mean = MeanOf(*pSolutions);
        std::memcpy(pScan->aApproxPos, mean.data(), sizeof(pScan->aApproxPos));
    }

    for (uint32_t k = 0; k < SCAN_RANGE_KINDS; ++k)
    {
        const KindTimes& t = all.aKinds[k];
        const uint32_t nStep = t.nMinInterval < 0xFFFFFFFF ? static_cast<uint32_t>(t.nMinInterval) : 0xFFFFFFFFu;
        pScan->aMessageIntervals[k] = static_cast<double>(NominalIntervalMs(nStep)) / 1000.0;
        const uint32_t aTimes[4] = {t.nFirstWeek, t.nFirstMs, t.nLastWeek, t.nLastMs};
        std::memcpy(pScan->aMessageTimes[k], aTimes, sizeof(aTimes));
    }
    pScan->nLastEpochWeek = any.nLastWeek;
    pScan->nLastEpochMs = any.nLastMs;
    pScan->FirstObs = CalendarOf(any.nFirstWeek, any.nFirstMs, pScan->nLeapMs);
    pScan->LastObs = CalendarOf(any.nLastWeek, any.nLastMs, pScan->nLeapMs);
    pScan->nLastObsWeek = any.nLastWeek;
    pScan->nLastObsMs = any.nLastMs;
    if (pFileTimes)
    {
        pFileTimes[0] = any.nFirstWeek;
        pFileTimes[1] = any.nFirstMs;
        pFileTimes[2] = any.nLastWeek;
        pFileTimes[3] = any.nLastMs;
    }
    return pSolutions ? SCAN_OK : SCAN_NO_POSITION;
}
