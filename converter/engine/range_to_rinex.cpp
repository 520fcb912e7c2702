#include "converter/engine/range_to_rinex.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/catalogue.h"
#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/range_logs.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/ephem_dump.h"
#include "converter/engine/epoch_store.h"
#include "converter/engine/job_output.h"
#include "converter/engine/log_blocks.h"
#include "converter/engine/range_epoch.h"
#include "converter/engine/rinex_obs_epoch.h"
#include "converter/engine/work_thread.h"

namespace
{
enum : uint32_t
{
    MIN_TIME_STATUS = 21, // coarse time or better
    OUTPUT_BUFFER = 1u << 18,
};

// The ephemeris kinds of the source, by what their records need.
enum EPHEM_KIND_E
{
    EPHEM_GPS,
    EPHEM_QZSS,
    EPHEM_GLO,
    EPHEM_GAL,
    EPHEM_BDS, // BDSEPHEMERIS layout
    EPHEM_BD2, // BD2EPHEM layout (same message ID, longer body)
};

struct EphemKind
{
    EPHEM_KIND_E eKind;
    uint32_t nSystem;
    uint32_t nBodySize;
    RinexNavFormatFn pFormat; // its navigation record
};

// Which kind a decoded ephemeris log is; false for anything else.
bool EphemKindOf(uint16_t nMessageId, uint32_t nBodyLength, EphemKind* pKind)
{
    switch (nMessageId)
    {
    case MSG_ID_GPSEPHEM:
        *pKind = {EPHEM_GPS, GNSS_SYSTEM_GPS, sizeof(GPSEPHEM_BODY_T), FormatRinexGpsNav};
        break;
    case MSG_ID_QZSSEPHEMERIS:
        *pKind = {EPHEM_QZSS, GNSS_SYSTEM_QZSS, sizeof(GPSEPHEM_BODY_T), FormatRinexQzssNav};
        break;
    case MSG_ID_GLOEPHEMERIS:
        *pKind = {EPHEM_GLO, GNSS_SYSTEM_GLONASS, sizeof(GLOEPHEMERIS_BODY_T), FormatRinexGloNav};
        break;
    case MSG_ID_GALEPHEMERIS:
        *pKind = {EPHEM_GAL, GNSS_SYSTEM_GALILEO, sizeof(GALEPHEMERIS_BODY_T), FormatRinexGalNav};
        break;
    case MSG_ID_BDSEPHEMERIS:
        // The two BeiDou layouts share the ID; the body length tells them apart.
        if (nBodyLength >= sizeof(BD2EPHEM_BODY_T))
            *pKind = {EPHEM_BD2, GNSS_SYSTEM_BDS, sizeof(BD2EPHEM_BODY_T), FormatRinexBd2Nav};
        else
            *pKind = {EPHEM_BDS, GNSS_SYSTEM_BDS, sizeof(BDSEPHEMERIS_BODY_T), FormatRinexBdsNav};
        break;
    default:
        return false;
    }
    return true;
}

uint32_t ReadU32At(const uint8_t* p)
{
    uint32_t n = 0;
    std::memcpy(&n, p, 4);
    return n;
}

// Satellite number (1-64) of an ephemeris within its system; 0 when outside.
uint32_t EphemSatNumber(const EphemKind& kind, const uint8_t* pBody)
{
    uint32_t n = 0;
    switch (kind.eKind)
    {
    case EPHEM_GLO:
    {
        uint16_t nSlot = 0;
        std::memcpy(&nSlot, pBody, 2);
        return SatIdToSlot(GNSS_SYSTEM_GLONASS, nSlot);
    }
    case EPHEM_QZSS:
        n = ReadU32At(pBody);
        n = n > QZSS_PRN_OFFSET ? n - QZSS_PRN_OFFSET : n;
        break;
    case EPHEM_BD2:
        n = ReadU32At(pBody);
        n = n > BD2_PRN_OFFSET ? n - BD2_PRN_OFFSET : n;
        break;
    default:
        n = ReadU32At(pBody);
        break;
    }
    return n >= 1 && n <= OBS_SATS_PER_SYSTEM ? n : 0;
}

// The last few distinct ephemerides of every satellite: a log equal to one of
// them is a repeat. More than one is kept so that a source that alternates
// between two ephemerides of a satellite writes each once.
class EphemHistory
{
public:
    enum : uint32_t
    {
        DEPTH = 4,
        MAX_LOG = LOG_HEADER_LENGTH + sizeof(BD2EPHEM_BODY_T),
    };

    // True when the log repeats a kept ephemeris; otherwise keeps it.
    bool SeenBefore(const EphemKind& kind, uint32_t nSat, const uint8_t* pLog)
    {
        Sat& sat = m_aSats[kind.nSystem][nSat - 1];
        const uint32_t nLength = LOG_HEADER_LENGTH + kind.nBodySize;
        for (uint32_t i = 0; i < sat.nCount; ++i)
            if (sat.aKind[i] == kind.eKind && Same(kind, sat.aLogs[i], pLog))
                return true;
        const uint32_t i = sat.nCount < DEPTH ? sat.nCount++ : sat.nNext++ % DEPTH;
        sat.aKind[i] = static_cast<uint8_t>(kind.eKind);
        std::memcpy(sat.aLogs[i], pLog, nLength);
        return false;
    }

private:
    static bool Same(const EphemKind& kind, const uint8_t* pA, const uint8_t* pB)
    {
        switch (kind.eKind)
        {
        case EPHEM_GLO:
            return CompareEphemeris(pA, pB) == 0;
        case EPHEM_BDS:
            return std::memcmp(pA + LOG_HEADER_LENGTH, pB + LOG_HEADER_LENGTH, kind.nBodySize) == 0;
        default:
            // Everything but the satellite and the time the log was sent.
            return std::memcmp(pA + LOG_HEADER_LENGTH + 12, pB + LOG_HEADER_LENGTH + 12, kind.nBodySize - 12) == 0;
        }
    }

    struct Sat
    {
        uint8_t nCount;
        uint8_t nNext;
        uint8_t aKind[DEPTH];
        uint8_t aLogs[DEPTH][MAX_LOG];
    };
    Sat m_aSats[GNSS_SYSTEM_COUNT][OBS_SATS_PER_SYSTEM] = {};
};

int NavOpenStatus(uint32_t nSystem)
{
    switch (nSystem)
    {
    case GNSS_SYSTEM_GLONASS:
        return CONVERT_ERR_GLO_NAV;
    case GNSS_SYSTEM_GALILEO:
        return CONVERT_ERR_GAL_NAV;
    case GNSS_SYSTEM_BDS:
        return CONVERT_ERR_BDS_NAV;
    default:
        return CONVERT_ERR_GPS_NAV;
    }
}

// Opens an output of the job, written beside what stands at its path (see
// CJobOutput), with a buffer that takes many epochs or records at a time.
FILE* CreateOutput(CJobOutput& output, const char* pPath)
{
    FILE* pFile = output.Open(pPath);
    if (pFile)
        std::setvbuf(pFile, nullptr, _IOFBF, OUTPUT_BUFFER);
    return pFile;
}

bool WriteAll(FILE* pFile, const char* pText, int nLength)
{
    return nLength <= 0 || std::fwrite(pText, 1, static_cast<size_t>(nLength), pFile) == static_cast<size_t>(nLength);
}

// What a log of the source is to the job.
enum LOG_ROLE_E : uint8_t
{
    ROLE_NONE,
    ROLE_RANGE,
    ROLE_EPHEMERIS,
};

enum : int32_t
{
    RANGE_NOT_CONVERTED = -2, // a range log whose time status is too low for RINEX
};

// A growing array of plain records, not cleared when it grows or is used
// again: the decoders and the formatter write into its free room.
template <typename T> class PlainArray
{
public:
    // Room for nMore records behind the ones in use.
    T* Room(size_t nMore)
    {
        if (m_nSize + nMore > m_nCapacity)
        {
            const size_t nCapacity = std::max(2 * m_nCapacity, m_nSize + nMore);
            std::unique_ptr<T[]> p(new T[nCapacity]);
            if (m_nSize)
                std::memcpy(p.get(), m_p.get(), m_nSize * sizeof(T));
            m_p = std::move(p);
            m_nCapacity = nCapacity;
        }
        return m_p.get() + m_nSize;
    }
    // Takes n records of the room into use.
    void Use(size_t n) { m_nSize += n; }
    T* data() const { return m_p.get(); }
    size_t size() const { return m_nSize; }
    void clear() { m_nSize = 0; }

private:
    std::unique_ptr<T[]> m_p;
    size_t m_nSize = 0;
    size_t m_nCapacity = 0;
};

// One log of a block, and what the steps made of it.
struct BlockLog
{
    uint32_t nOffset; // the frame in Block::Bytes
    uint32_t nLength;
    uint16_t nMessageId;
    uint8_t nForm;
    uint8_t eRole;
    // Decoding: the record, in Bytes (a binary log) or Records (a text log).
    bool bRecord;
    bool bRecordInBytes;
    uint32_t nRecordOffset;
    uint32_t nRecordLength;
    // A range log: satellites (-1 undecodable, RANGE_NOT_CONVERTED), its
    // epoch header, its index entries and the entries that get a record.
    int32_t nSats;
    ConvertState State;
    uint32_t nEntry;
    uint32_t nListed;
    uint32_t nWritten;
};

// A piece of a block's observation text, in file order: text the ordered
// step made (the header, an epoch it formatted itself), or an epoch for the
// last step to format.
struct TextPiece
{
    uint32_t nLog; // the epoch's log; UINT32_MAX for made text
    uint32_t nOffset;
    uint32_t nLength; // made text: its length; an epoch: the most it can take
};

struct Block
{
    std::vector<uint8_t> Bytes;
    std::vector<BlockLog> Logs;
    std::vector<uint8_t> Records;
    PlainArray<EpochIndexEntry> Entries;
    std::vector<uint16_t> Listed;
    std::vector<uint8_t> Lli; // OBS_SIGNALS_PER_SAT per entry
    std::vector<char> Made;
    std::vector<TextPiece> Pieces;
    PlainArray<char> Text; // what goes into the file, in order

    void Clear()
    {
        Bytes.clear();
        Logs.clear();
        Records.clear();
        Entries.clear();
        Listed.clear();
        Lli.clear();
        Made.clear();
        Pieces.clear();
        Text.clear();
    }
};

// What one worker thread decodes with.
struct DecodeSpace
{
    EpochStore Store;
    uint16_t aListed[OBS_MAX_SATS];
    // For text logs: left untouched (and out of memory) by a binary source.
    std::unique_ptr<uint8_t[]> pDecoded{new uint8_t[LOG_MAX_BINARY_LENGTH]};

    DecodeSpace() { ResetConvertState(&Store, 1); }
};

// Decodes a range record of the job's kind into the store and its index.
int DecodeRange(const BinaryLogHeader& h, const uint8_t* pLog, uint32_t nLength, const RangeToRinexJob& job,
                EpochStore* pStore, EpochIndexEntry* pIndex)
{
    return h.MessageId == MSG_ID_RANGECMP
               ? RangeCmpToObsEpoch(pLog, nLength, job.nSysMask, job.nSignalMode, pStore, pIndex)
               : RangeToObsEpoch(pLog, nLength, job.nSysMask, job.nSignalMode, pStore, pIndex);
}

// One running job: its records, buffers and open files. With one thread it
// takes the source log by log. With more, the calling thread reads the
// source into blocks of logs, and for each block a worker decodes its logs,
// takes them through what follows the job's state (counts, sampling,
// repeats, lock history, ephemerides and navigation files) in source order,
// formats its epochs, and writes their text to the observation file in
// source order. Either way the files are the same byte for byte.
class RangeToRinexRun
{
public:
    RangeToRinexRun(const RangeToRinexJob& job, RangeToRinexCounts* pCounts)
        : m_Job(job), m_Counts(*pCounts), m_bMixedNav(job.bMixedNav && job.pObsHeader->nVersion >= 300)
    {
        ResetConvertState(&m_Store, 1);
        m_Dump.sDirectory = EphemDumpDirectoryOf(job.pObsPath);
    }

    ~RangeToRinexRun() { CloseAll(false); }

    int Run(FILE* pSource)
    {
        LogSourceReader reader(pSource, m_Job.pProgress, m_Job.pProgressContext);
        // A header without a version gets one from the first navigation
        // header, which the epochs after it would follow: in source order only.
        const uint32_t nThreads = m_Job.pObsHeader->nVersion > 0 ? LogBlockWorkers(m_Job.nThreads) : 1;
        int nStatus = nThreads > 1 ? RunInBlocks(reader, nThreads) : RunLogByLog(reader);
        // A source that stops reading part-way is not a shorter source: the
        // job fails, as one that was stopped does.
        if (nStatus == CONVERT_OK && reader.Stopped())
            nStatus = CONVERT_STOPPED;
        if (nStatus == CONVERT_OK && reader.ReadFailed())
            nStatus = CONVERT_ERR_SOURCE;
        if (nStatus == CONVERT_OK)
            nStatus = CompleteHeader();
        m_Counts.Source = reader.Counts();
        // Only a whole job with an epoch replaces what stood at its paths: a
        // failed one leaves earlier files as they were.
        const int nClose = CloseAll(nStatus == CONVERT_OK && m_Counts.nEpochsWritten > 0);
        m_Counts.nDumpFailures = m_Dump.nFailures;
        if (nStatus != CONVERT_OK)
            return nStatus;
        if (nClose != CONVERT_OK)
            return nClose;
        if (m_Counts.nEpochsWritten == 0)
            return CONVERT_NO_EPOCH;
        return m_Dump.nFailures ? CONVERT_EPHEM_DUMP_FAILED : CONVERT_OK;
    }

private:
    LOG_ROLE_E RoleOf(uint16_t nId) const
    {
        const bool bRange =
            nId == MSG_ID_RANGE || nId == MSG_ID_RANGEH || nId == MSG_ID_BASERANGE || nId == MSG_ID_RANGECMP;
        if (bRange)
            return m_Job.nObsMessageId == LOG_ID_UNKNOWN || m_Job.nObsMessageId == nId ? ROLE_RANGE : ROLE_NONE;
        EphemKind kind;
        return EphemKindOf(nId, 0, &kind) ? ROLE_EPHEMERIS : ROLE_NONE;
    }

    int RunLogByLog(LogSourceReader& reader)
    {
        LogSourceFrame frame;
        int nStatus = CONVERT_OK;
        while (nStatus == CONVERT_OK && reader.Next(&frame))
            nStatus = OnLog(frame);
        return nStatus;
    }

    int OnLog(const LogSourceFrame& frame)
    {
        const LOG_ROLE_E eRole = RoleOf(frame.nMessageId);
        if (eRole == ROLE_NONE)
            return CONVERT_OK;
        const uint8_t* pLog = nullptr;
        uint32_t nLength = 0;
        if (!LogSourceRecord(frame, m_Decoded.data(), &pLog, &nLength))
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        BinaryLogHeader h;
        std::memcpy(&h, pLog, sizeof(h));
        if (eRole == ROLE_EPHEMERIS)
            return OnEphemeris(frame, h, pLog, nLength);
        if (h.TimeStatus < MIN_TIME_STATUS)
            return CONVERT_OK;
        const int nSats = DecodeRange(h, pLog, nLength, m_Job, &m_Store, m_aIndex);
        return OnRange(m_Store.State, nSats, m_aIndex, nullptr, nullptr);
    }

    // An epoch in source order. Without a block its text is written at
    // once; in a block it is listed in the block's pieces (pLog gives the
    // satellites listed while decoding, and receives nothing else).
    int OnRange(const ConvertState& state, int nSats, const EpochIndexEntry* pIndex, Block* pBlock, BlockLog* pLog)
    {
        if (nSats < 0)
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        ++m_Counts.nRangeLogs;
        int64_t nMark = -1;
        if (!SampleFilterPasses(m_Job, state.nWeek, state.nMsOfWeek, &nMark) ||
            (nMark >= 0 && m_Counts.nEpochsWritten && nMark == m_nLastMark))
        {
            ++m_Counts.nEpochsFiltered;
            return CONVERT_OK;
        }
        if (m_Counts.nEpochsWritten && state.nWeek == m_nLastWeek && state.nMsOfWeek == m_nLastMs)
        {
            ++m_Counts.nEpochsRepeated;
            return CONVERT_OK;
        }
        // The header gives the epochs their time system, so it is formatted
        // first; the file is created only once an epoch has something to
        // hold, and its first observation is that epoch. The last one is
        // completed when the file is closed.
        if (!m_pObs)
        {
            SetHeaderTimes(state.nWeek, state.nMsOfWeek);
            m_nHeaderLength = WriteRinexObsHeader(m_Job.pObsHeader, m_Job.nLeapMs, m_HeaderText.data(),
                                                  static_cast<uint32_t>(m_HeaderText.size()));
            if (m_nHeaderLength < 0)
                return CONVERT_ERR_OBS_OUTPUT;
        }
        int nText = 0;
        int nBound = -1; // the epoch is formatted later, in at most this much room
        const RinexEpochLayout& layout = Layout();
        if (!pBlock)
            nText = WriteRinexObsEpoch(&state, pIndex, layout, &m_Locks, m_EpochText.data(),
                                       static_cast<uint32_t>(m_EpochText.size()));
        else
        {
            // WriteRinexObsEpoch in its steps; the text is left to the last
            // step where it is sure to come out as here.
            uint8_t* pLli = pBlock->Lli.data() + size_t(pLog->nEntry) * OBS_SIGNALS_PER_SAT;
            RinexEpochLossOfLock(&state, pIndex, &m_Locks, pLli);
            if (pLog->nWritten != 0)
            {
                const int n = RinexEpochTextBound(&state, layout, pLog->nWritten);
                if (n >= 0 && static_cast<uint32_t>(n) < RINEX_EPOCH_TEXT_CAPACITY)
                    nBound = n;
                else
                    nText = FormatRinexObsEpoch(&state, pIndex, layout, pLli, pBlock->Listed.data() + pLog->nListed,
                                                pLog->nWritten, m_EpochText.data(),
                                                static_cast<uint32_t>(m_EpochText.size()));
            }
        }
        if (nText < 0)
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        if (nText == 0 && nBound < 0)
        {
            ++m_Counts.nEpochsEmpty;
            return CONVERT_OK;
        }
        if (!m_pObs)
        {
            m_pObs = CreateOutput(m_Obs, m_Job.pObsPath);
            if (!m_pObs)
                return CONVERT_ERR_OBS_OUTPUT;
            if (!Emit(pBlock, m_HeaderText.data(), m_nHeaderLength))
                return CONVERT_ERR_OBS_WRITE;
        }
        if (nBound >= 0)
            pBlock->Pieces.push_back(
                {static_cast<uint32_t>(pLog - pBlock->Logs.data()), 0, static_cast<uint32_t>(nBound)});
        else if (!Emit(pBlock, m_EpochText.data(), nText))
            return CONVERT_ERR_OBS_WRITE;
        ++m_Counts.nEpochsWritten;
        m_nLastWeek = state.nWeek;
        m_nLastMs = state.nMsOfWeek;
        m_nLastMark = nMark;
        return CONVERT_OK;
    }

    // Observation text in file order: written now, or kept in the block.
    bool Emit(Block* pBlock, const char* pText, int nLength)
    {
        if (!pBlock)
            return WriteAll(m_pObs, pText, nLength);
        if (nLength > 0)
        {
            pBlock->Pieces.push_back({UINT32_MAX, static_cast<uint32_t>(pBlock->Made.size()), uint32_t(nLength)});
            pBlock->Made.insert(pBlock->Made.end(), pText, pText + nLength);
        }
        return true;
    }

    // ---- The job in blocks ----

    int RunInBlocks(LogSourceReader& reader, uint32_t nThreads)
    {
        Layout(); // made here, read by every worker
        std::vector<std::unique_ptr<DecodeSpace>> spaces(nThreads);
        for (auto& p : spaces)
            p = std::make_unique<DecodeSpace>();
        uint64_t nWriteFailedAt = UINT64_MAX;
        {
            OrderedBlocks<Block> work(
                nThreads, nThreads + 2, [&](Block& b, uint64_t, uint32_t n) { DecodeBlock(b, *spaces[n]); },
                [&](Block& b, uint64_t nIndex, uint32_t) { OrderBlock(b, nIndex); },
                [&](Block& b, uint64_t, uint32_t) { FormatBlock(b); },
                [&](Block& b, uint64_t nIndex, uint32_t)
                {
                    if (nWriteFailedAt == UINT64_MAX && b.Text.size() != 0 &&
                        !WriteAll(m_pObs, b.Text.data(), static_cast<int>(b.Text.size())))
                    {
                        nWriteFailedAt = nIndex;
                        m_bStop.store(true);
                    }
                });
            SubmitLogBlocks(reader, work, &m_bStop,
                            [this](Block& b, const LogSourceFrame& frame)
                            {
                                const LOG_ROLE_E eRole = RoleOf(frame.nMessageId);
                                if (eRole == ROLE_NONE)
                                    return false;
                                BlockLog log{};
                                log.nOffset = static_cast<uint32_t>(b.Bytes.size());
                                log.nLength = frame.nLength;
                                log.nMessageId = frame.nMessageId;
                                log.nForm = frame.nForm;
                                log.eRole = eRole;
                                b.Bytes.insert(b.Bytes.end(), frame.pData, frame.pData + frame.nLength);
                                b.Logs.push_back(log);
                                return true;
                            });
        }
        // The first failure in source order: a text that could not be
        // written holds only epochs before the ordered step's failure.
        if ((nWriteFailedAt != UINT64_MAX && nWriteFailedAt <= m_nOrderFailedAt) || m_bFormatFailed.load())
            return CONVERT_ERR_OBS_WRITE;
        return m_nOrderStatus;
    }

    // Every log's record, and every range log's epoch with the satellites
    // that get a record.
    void DecodeBlock(Block& b, DecodeSpace& space)
    {
        if (m_bStop.load(std::memory_order_relaxed))
            return;
        for (BlockLog& log : b.Logs)
        {
            const LogSourceFrame frame{b.Bytes.data() + log.nOffset, log.nLength, log.nMessageId, log.nForm};
            const uint8_t* pRecord = nullptr;
            log.bRecord = LogSourceRecord(frame, space.pDecoded.get(), &pRecord, &log.nRecordLength);
            if (!log.bRecord)
                continue;
            log.bRecordInBytes = pRecord != space.pDecoded.get();
            if (log.bRecordInBytes)
                log.nRecordOffset = static_cast<uint32_t>(pRecord - b.Bytes.data());
            else
            {
                log.nRecordOffset = static_cast<uint32_t>(b.Records.size());
                b.Records.insert(b.Records.end(), pRecord, pRecord + log.nRecordLength);
            }
            if (log.eRole != ROLE_RANGE)
                continue;
            BinaryLogHeader h;
            std::memcpy(&h, pRecord, sizeof(h));
            if (h.TimeStatus < MIN_TIME_STATUS)
            {
                log.nSats = RANGE_NOT_CONVERTED;
                continue;
            }
            // Straight into the block's entries.
            EpochIndexEntry* pIndex = b.Entries.Room(OBS_MAX_SATS);
            log.nSats = DecodeRange(h, pRecord, log.nRecordLength, m_Job, &space.Store, pIndex);
            if (log.nSats < 0)
                continue;
            log.State = space.Store.State;
            log.nEntry = static_cast<uint32_t>(b.Entries.size());
            b.Entries.Use(static_cast<size_t>(log.nSats));
            log.nWritten = ListRinexEpochSatellites(&log.State, pIndex, m_Layout, space.aListed);
            log.nListed = static_cast<uint32_t>(b.Listed.size());
            b.Listed.insert(b.Listed.end(), space.aListed, space.aListed + log.nWritten);
        }
        b.Lli.resize(b.Entries.size() * OBS_SIGNALS_PER_SAT);
    }

    // The block's logs in source order, as log by log; nIndex: the block's
    // place in the source.
    void OrderBlock(Block& b, uint64_t nIndex)
    {
        if (m_bStop.load(std::memory_order_relaxed))
            return;
        for (BlockLog& log : b.Logs)
        {
            int nStatus = CONVERT_OK;
            if (!log.bRecord)
                ++m_Counts.nUndecodable;
            else if (log.eRole == ROLE_EPHEMERIS)
            {
                const uint8_t* pRecord = (log.bRecordInBytes ? b.Bytes.data() : b.Records.data()) + log.nRecordOffset;
                BinaryLogHeader h;
                std::memcpy(&h, pRecord, sizeof(h));
                const LogSourceFrame frame{b.Bytes.data() + log.nOffset, log.nLength, log.nMessageId, log.nForm};
                nStatus = OnEphemeris(frame, h, pRecord, log.nRecordLength);
            }
            else if (log.nSats != RANGE_NOT_CONVERTED)
                nStatus = OnRange(log.State, log.nSats, b.Entries.data() + log.nEntry, &b, &log);
            if (nStatus != CONVERT_OK)
            {
                m_nOrderStatus = nStatus;
                m_nOrderFailedAt = nIndex;
                m_bStop.store(true);
                return;
            }
        }
    }

    // The block's observation text, in file order.
    void FormatBlock(Block& b)
    {
        for (const TextPiece& piece : b.Pieces)
        {
            const uint32_t nRoom = piece.nLength + 1;
            char* pOut = b.Text.Room(nRoom);
            if (piece.nLog == UINT32_MAX)
            {
                std::memcpy(pOut, b.Made.data() + piece.nOffset, piece.nLength);
                b.Text.Use(piece.nLength);
                continue;
            }
            const BlockLog& log = b.Logs[piece.nLog];
            const int n = FormatRinexObsEpoch(&log.State, b.Entries.data() + log.nEntry, m_Layout,
                                              b.Lli.data() + size_t(log.nEntry) * OBS_SIGNALS_PER_SAT,
                                              b.Listed.data() + log.nListed, log.nWritten, pOut, nRoom);
            // The bound holds the text, so this is not reached; were it,
            // the file would lack an epoch it counts: the job fails.
            if (n <= 0)
            {
                m_bFormatFailed.store(true);
                m_bStop.store(true);
                continue;
            }
            b.Text.Use(static_cast<size_t>(n));
        }
    }

    // The epoch layout of the job's header. A header without a version takes
    // one from the first navigation header, which a job without a version
    // meets part-way (on the calling thread alone): the layout follows it.
    const RinexEpochLayout& Layout()
    {
        if (!m_Layout.pHeader || m_Layout.nVersion != m_Job.pObsHeader->nVersion)
            PrepareRinexEpochLayout(m_Job.pObsHeader, &m_Layout);
        return m_Layout;
    }

    // The header's first and last observation (the last until the next epoch).
    void SetHeaderTimes(uint32_t nWeek, uint32_t nMs)
    {
        RinexObsHeader& h = *m_Job.pObsHeader;
        h.FirstObs.nWeek = h.LastObs.nWeek = nWeek;
        h.FirstObs.nMsOfWeek = h.LastObs.nMsOfWeek = nMs;
    }

    // Writes the header again with the last epoch written as its last
    // observation. Only that line changes, so the header keeps its length.
    // An output that cannot go back (a pipe) keeps the header as written
    // first, with the first epoch as the last observation.
    int CompleteHeader()
    {
        if (!m_pObs || !m_Obs.Seekable())
            return CONVERT_OK;
        RinexObsHeader& h = *m_Job.pObsHeader;
        h.LastObs.nWeek = m_nLastWeek;
        h.LastObs.nMsOfWeek = m_nLastMs;
        const int nLength =
            WriteRinexObsHeader(&h, m_Job.nLeapMs, m_HeaderText.data(), static_cast<uint32_t>(m_HeaderText.size()));
        if (nLength != m_nHeaderLength || std::fseek(m_pObs, 0, SEEK_SET) != 0 ||
            !WriteAll(m_pObs, m_HeaderText.data(), nLength))
            return CONVERT_ERR_OBS_WRITE;
        return CONVERT_OK;
    }

    int OnEphemeris(const LogSourceFrame& frame, const BinaryLogHeader& h, const uint8_t* pLog, uint32_t nLength)
    {
        EphemKind kind;
        const uint32_t nBody = nLength - LOG_HEADER_LENGTH;
        if (!EphemKindOf(h.MessageId, h.MessageLength < nBody ? h.MessageLength : nBody, &kind) ||
            !(m_Job.nSysMask & (1u << kind.nSystem)))
            return CONVERT_OK;
        if (nBody < kind.nBodySize)
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        const uint32_t nSat = EphemSatNumber(kind, pLog + LOG_HEADER_LENGTH);
        if (nSat == 0)
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        if (m_History.SeenBefore(kind, nSat, pLog))
        {
            ++m_Counts.nEphemeridesRepeated;
            return CONVERT_OK;
        }
        const uint32_t nFile = m_bMixedNav ? static_cast<uint32_t>(GNSS_SYSTEM_GPS) : kind.nSystem;
        const int nText = kind.pFormat(pLog, LOG_HEADER_LENGTH + kind.nBodySize, m_Job.pObsHeader->nVersion,
                                       m_NavText.data(), static_cast<uint32_t>(m_NavText.size()));
        if (nText < 0)
        {
            ++m_Counts.nUndecodable;
            return CONVERT_OK;
        }
        AppendEphemLogFile(&m_Dump, kind.nSystem, frame.pData, frame.nLength);
        if (nText == 0)
            return CONVERT_OK; // nothing RINEX can hold (a Galileo ephemeris without clock)
        if (!m_apNav[nFile])
        {
            // The mixed file opens with the first ephemeris of any system.
            const char cLetter = m_bMixedNav ? 'M' : RinexSystemLetter(kind.nSystem);
            m_apNav[nFile] = CreateOutput(m_aNav[nFile], m_Job.apNavPaths[nFile]);
            if (!m_apNav[nFile])
                return NavOpenStatus(nFile);
            const int nHeader =
                FormatRinexNavHeader(m_Job.pObsHeader, m_Job.pNavHeader, m_Job.nNavHeaderEdit, cLetter,
                                     m_NavHeaderText.data(), static_cast<uint32_t>(m_NavHeaderText.size()));
            if (nHeader < 0 || !WriteAll(m_apNav[nFile], m_NavHeaderText.data(), nHeader))
                return WriteFailureStatus(NavOpenStatus(nFile));
        }
        if (!WriteAll(m_apNav[nFile], m_NavText.data(), nText))
            return WriteFailureStatus(NavOpenStatus(nFile));
        ++m_Counts.nEphemerides;
        return CONVERT_OK;
    }

    // Ends every output. With bKeep the outputs take the place of what stood
    // at their paths, once all of them are written whole; otherwise, or when
    // one could not be, they are discarded. A file whose text could not be
    // written gives its "could not be written" status.
    int CloseAll(bool bKeep)
    {
        int nStatus = CONVERT_OK;
        if (m_pObs && std::fflush(m_pObs) != 0)
            nStatus = CONVERT_ERR_OBS_WRITE;
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            if (m_apNav[s] && std::fflush(m_apNav[s]) != 0 && nStatus == CONVERT_OK)
                nStatus = WriteFailureStatus(NavOpenStatus(s));
        bKeep = bKeep && nStatus == CONVERT_OK;
        // Every file to keep goes to the disk at once; each then waits only
        // for what is left of its own.
        if (bKeep)
        {
            m_Obs.StartWriteback();
            for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            {
                m_aNav[s].StartWriteback();
                m_Dump.aOutputs[s].StartWriteback();
            }
        }
        if (m_pObs && !m_Obs.Finish(bKeep) && bKeep)
            nStatus = CONVERT_ERR_OBS_WRITE;
        m_pObs = nullptr;
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        {
            if (m_apNav[s] && !m_aNav[s].Finish(bKeep) && bKeep && nStatus == CONVERT_OK)
                nStatus = WriteFailureStatus(NavOpenStatus(s));
            m_apNav[s] = nullptr;
        }
        CloseEphemDump(&m_Dump, bKeep);
        return nStatus;
    }

    const RangeToRinexJob& m_Job;
    RangeToRinexCounts& m_Counts;
    // RINEX 2 has no mixed navigation file: each system gets its own.
    const bool m_bMixedNav;
    EpochStore m_Store;
    EpochIndexEntry m_aIndex[OBS_MAX_SATS];
    RinexLockHistory m_Locks{};
    RinexEpochLayout m_Layout;
    EphemHistory m_History;
    EphemDump m_Dump;
    std::vector<uint8_t> m_Decoded = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);
    std::vector<char> m_HeaderText = std::vector<char>(RINEX_HEADER_TEXT_CAPACITY); // held until the first epoch
    std::vector<char> m_EpochText = std::vector<char>(RINEX_EPOCH_TEXT_CAPACITY);
    std::vector<char> m_NavHeaderText = std::vector<char>(RINEX_NAV_TEXT_CAPACITY);
    std::vector<char> m_NavText = std::vector<char>(RINEX_NAV_TEXT_CAPACITY);
    int m_nHeaderLength = -1;
    CJobOutput m_Obs;
    CJobOutput m_aNav[GNSS_SYSTEM_COUNT];
    FILE* m_pObs = nullptr; // their streams while open
    FILE* m_apNav[GNSS_SYSTEM_COUNT] = {};
    uint32_t m_nLastWeek = 0;
    uint32_t m_nLastMs = 0;
    int64_t m_nLastMark = -1; // sample mark of the last epoch written
    // The job in blocks: the first failure of the ordered step and its block;
    // a failure anywhere stops the reading and the steps.
    int m_nOrderStatus = CONVERT_OK;
    uint64_t m_nOrderFailedAt = UINT64_MAX;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bFormatFailed{false};
};

struct WorkerProgress
{
    CWorkThread* pWorker;
    static int Report(void* pContext, uint64_t nBytes);
};
} // namespace

bool SampleFilterPasses(const RangeToRinexJob& job, uint32_t nWeek, uint32_t nMsOfWeek, int64_t* pMark)
{
    if (pMark)
        *pMark = -1;
    if (!job.bExtract)
        return true;
    if (nWeek < job.nStartWeek || nWeek > job.nEndWeek)
        return false;
    if (nWeek == job.nStartWeek && nMsOfWeek < job.nStartMs)
        return false;
    if (nWeek == job.nEndWeek && nMsOfWeek > job.nEndMs)
        return false;
    const double dMs = job.bDecimate ? std::round(job.dInterval * 1000.0) : 0.0;
    if (!(dMs >= 1.0 && dMs < 4294967296.0))
        return true;
    const uint32_t nInterval = static_cast<uint32_t>(dMs);
    const uint32_t nTolerance = std::min<uint32_t>(SAMPLE_TOLERANCE_MS, (nInterval - 1) / 2);
    const uint32_t nLate = nMsOfWeek % nInterval; // after the mark before it
    const uint32_t nEarly = nInterval - nLate;    // before the mark after it
    if (nLate > nTolerance && nEarly > nTolerance)
        return false;
    if (pMark)
        *pMark = int64_t(nWeek) * GNSS_MS_PER_WEEK + nMsOfWeek + (nLate <= nTolerance ? -int64_t(nLate) : nEarly);
    return true;
}

int ConvertRangeLogToRinex(const RangeToRinexJob& job, RangeToRinexCounts* pCounts)
{
    RangeToRinexCounts counts{};
    if (!pCounts)
        pCounts = &counts;
    *pCounts = RangeToRinexCounts{};
    FILE* pSource = job.pSrcPath && *job.pSrcPath ? std::fopen(job.pSrcPath, "rb") : nullptr;
    if (!pSource)
        return CONVERT_ERR_SOURCE;
    if (!job.pObsHeader || !job.pNavHeader)
    {
        std::fclose(pSource);
        return CONVERT_ERR_OBS_OUTPUT;
    }
    // About 1.5 MB of records and buffers: on the heap, once per job.
    auto pRun = std::make_unique<RangeToRinexRun>(job, pCounts);
    const int nStatus = pRun->Run(pSource);
    std::fclose(pSource);
    return nStatus;
}

int WorkerProgress::Report(void* pContext, uint64_t nBytes)
{
    CWorkThread* pWorker = static_cast<WorkerProgress*>(pContext)->pWorker;
    emit pWorker->Range2RnxReadDataLog(nBytes);
    return pWorker->isInterruptionRequested() ? 1 : 0;
}

int CWorkThread::RunRange2Rnx()
{
    const QByteArray sSrc = QFile::encodeName(m_sSrcFilePath);
    const QByteArray sObs = QFile::encodeName(m_sObsFilePath);
    const QByteArray asNav[GNSS_SYSTEM_COUNT] = {QFile::encodeName(m_sGpsNavFilePath),
                                                 QFile::encodeName(m_sGloNavFilePath),
                                                 QFile::encodeName(m_sGalNavFilePath),
                                                 QFile::encodeName(m_sBdsNavFilePath),
                                                 QByteArray(),
                                                 QFile::encodeName(m_sQzssNavFilePath)};
    const QByteArray sMsg = m_sObsMsgName.toLatin1();

    RangeToRinexJob job;
    job.pSrcPath = sSrc.constData();
    job.pObsPath = sObs.constData();
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        job.apNavPaths[s] = asNav[s].constData();
    job.bMixedNav = m_bMixedNav == 1;
    // "RANGECMP_1" is a RANGECMP made from RANGEH: the same message.
    const int nName = sMsg.size() - (sMsg.endsWith("_1") ? 2 : 0);
    job.nObsMessageId = nName > 0 ? LogNameToId(sMsg.constData(), 1, static_cast<uint32_t>(nName)) : LOG_ID_UNKNOWN;
    job.nSysMask = m_nSysMask;
    job.nSignalMode = m_Context.GetBdsEphemStyle();
    job.nNavHeaderEdit = m_nNavHeaderEdit;
    job.bExtract = m_bExtract == 1;
    job.nStartWeek = m_nStartWeek;
    job.nStartMs = m_nStartMs;
    job.nEndWeek = m_nEndWeek;
    job.nEndMs = m_nEndMs;
    job.bDecimate = m_bDecimate == 1;
    job.dInterval = m_dInterval;
    job.pObsHeader = m_Context.GetRinexObsHeader();
    job.pObsHeader->nSysMask = static_cast<uint8_t>(m_nSysMask);
    job.pNavHeader = m_Context.GetRinexNavHeader();
    job.nLeapMs = *m_Context.GetLeapMs();
    WorkerProgress progress{this};
    job.pProgress = &WorkerProgress::Report;
    job.pProgressContext = &progress;
    return ConvertRangeLogToRinex(job, &m_Range2RnxCounts);
}
