#include "converter/engine/log_to_log.h"

#include <QFile>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_dispatch.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "codec/signals.h"
#include "converter/engine/binex.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/job_output.h"
#include "converter/engine/log_source.h"
#include "converter/engine/work_thread.h"

namespace
{
constexpr uint32_t kOutCapacity = 1u << 20;
constexpr uint32_t kRecordCapacity = LOG_MAX_BINARY_LENGTH;
constexpr uint8_t kTextType = 0x20;

std::array<uint8_t, GLO_SLOT_COUNT> GloChannelsAtStart()
{
    std::array<uint8_t, GLO_SLOT_COUNT> a;
    std::memcpy(a.data(), GloFreqChannelTable(), a.size());
    return a;
}

// Work state of one conversion job.
struct Log2LogJob
{
    const LOG_REGISTRY_T* pRegistry = nullptr;
    LOG2LOG_KIND_E nKind = LOG2LOG_RANGE_TO_RANGECMP;
    uint32_t bBinaryInput = 0;
    FILE* pOut = nullptr;
    bool bWriteFailed = false;
    uint32_t nRefWeek = 0; // latest GPS week seen in a BINEX stream
    // The GLONASS frequency channel of each slot: the codec's table, and for a
    // BINEX stream what its ephemerides say. The job's own, so that what one
    // source says never changes another conversion.
    std::array<uint8_t, GLO_SLOT_COUNT> GloChannels = GloChannelsAtStart();
    std::vector<uint8_t> Record = std::vector<uint8_t>(kRecordCapacity);
    std::vector<uint8_t> Converted = std::vector<uint8_t>(kRecordCapacity);
    std::vector<char> Text = std::vector<char>(kOutCapacity);
    std::unique_ptr<RANGECMP4_CONTEXT_T> Cmp4 = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::unique_ptr<RANGECMP4_CONTEXT_T> Cmp4Saved = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::unique_ptr<BINEX_RECORD_T> Binex = std::make_unique<BINEX_RECORD_T>();
    std::unique_ptr<RANGE_PHASE_ARCS_T> Arcs = std::make_unique<RANGE_PHASE_ARCS_T>();

    void Write(const void* p, int32_t n)
    {
        if (n > 0 && std::fwrite(p, 1, static_cast<size_t>(n), pOut) != static_cast<size_t>(n))
            bWriteFailed = true;
    }
    // The length is read through its pointer once the producing call has run.
    int WriteText(int bOk, const int32_t* pLength)
    {
        if (bOk)
            Write(Text.data(), *pLength);
        return bOk;
    }
    int WriteBinary(int bOk, const int32_t* pLength)
    {
        if (bOk)
            Write(Converted.data(), *pLength);
        return bOk;
    }
};

BinaryLogHeader* HeaderOf(std::vector<uint8_t>& v) { return reinterpret_cast<BinaryLogHeader*>(v.data()); }

void SetFullText(BinaryLogHeader* h)
{
    h->MessageType = static_cast<uint8_t>((h->MessageType & ~LOG_FORM_MASK) | kTextType);
}

// The log as a record in Job.Record (header and body, the port byte a port
// code): decoded from text, or copied from binary with its port address mapped.
bool LoadRecord(Log2LogJob& job, const LogSourceFrame& log, int32_t* pLength)
{
    return DecodeLog(log.pData, static_cast<int32_t>(log.nLength), job.Record.data(), pLength, job.pRegistry) == 1;
}

bool IsRangeId(uint16_t nId) { return nId == MSG_ID_RANGE || nId == MSG_ID_RANGEH; }

// The expander's and packer's state is saved before each RANGECMP4 log and put
// back when the log fails, so that the next log is read against what the
// stream really said. Only the used part of the stores is copied.
void CopyCmp4State(const RANGECMP4_CONTEXT_T& from, RANGECMP4_CONTEXT_T& to)
{
    std::memcpy(to.RefSlot, from.RefSlot, sizeof(from.RefSlot));
    std::memcpy(to.LockSlot, from.LockSlot, sizeof(from.LockSlot));
    to.RefCount = from.RefCount;
    to.LockCount = from.LockCount;
    std::memcpy(to.Ref, from.Ref, from.RefCount * sizeof(from.Ref[0]));
    std::memcpy(to.Lock, from.Lock, from.LockCount * sizeof(from.Lock[0]));
}

int ConvertRangeKind(Log2LogJob& job, const LogSourceFrame& log)
{
    const uint32_t nKind = job.nKind;
    const bool bWanted = (nKind == LOG2LOG_RANGE_TO_RANGECMP || nKind == LOG2LOG_RANGE_TO_RANGECMP4)
                             ? IsRangeId(log.nMessageId)
                         : nKind == LOG2LOG_RANGECMP_TO_RANGE ? log.nMessageId == MSG_ID_RANGECMP
                                                              : log.nMessageId == MSG_ID_RANGECMP4;
    int32_t nRecord = 0;
    if (!bWanted || !LoadRecord(job, log, &nRecord))
        return 0;
    int32_t nOut = 0;
    int32_t nText = 0;
    const int32_t nCap = static_cast<int32_t>(kRecordCapacity);
    switch (nKind)
    {
    case LOG2LOG_RANGE_TO_RANGECMP:
        if (!RangeToRangeCmpArcs(job.Arcs.get(), job.Record.data(), nRecord, job.Converted.data(), nCap, &nOut))
            return 0;
        SetFullText(HeaderOf(job.Converted));
        return job.WriteText(FormatRangeCmp(job.Converted.data(), kOutCapacity, job.Text.data(), &nText), &nText);
    case LOG2LOG_RANGECMP_TO_RANGE:
        if (!RangeCmpToRange(job.Record.data(), nRecord, job.Converted.data(), nCap, &nOut))
            return 0;
        SetFullText(HeaderOf(job.Converted));
        return job.WriteText(FormatRange(job.Converted.data(), kOutCapacity, job.Text.data(), &nText), &nText);
    case LOG2LOG_RANGE_TO_RANGECMP4:
    {
        CopyCmp4State(*job.Cmp4, *job.Cmp4Saved);
        if (RangeToRangeCmp4Arcs(job.Cmp4.get(), job.Arcs.get(), job.Record.data(), nRecord, job.Converted.data(), nCap,
                                 &nOut))
        {
            SetFullText(HeaderOf(job.Converted));
            if (FormatRangeCmp4(job.Converted.data(), kOutCapacity, job.Text.data(), &nText))
                return job.WriteText(1, &nText);
        }
        CopyCmp4State(*job.Cmp4Saved, *job.Cmp4);
        return 0;
    }
    default:
    {
        // A log whose compressed data cannot hold the system mask is no epoch.
        uint32_t nData = 0;
        std::memcpy(&nData, job.Record.data() + LOG_HEADER_LENGTH, 4);
        if (nData < 3)
            return 0;
        CopyCmp4State(*job.Cmp4, *job.Cmp4Saved);
        if (RangeCmp4ToRange(job.Cmp4.get(), job.Record.data(), nRecord, job.Converted.data(), nCap, &nOut))
        {
            SetFullText(HeaderOf(job.Converted));
            if (FormatRange(job.Converted.data(), kOutCapacity, job.Text.data(), &nText))
                return job.WriteText(1, &nText);
        }
        CopyCmp4State(*job.Cmp4Saved, *job.Cmp4);
        return 0;
    }
    }
}

int ConvertAnyToText(Log2LogJob& job)
{
    BinaryLogHeader* h = HeaderOf(job.Record);
    int32_t nText = 0;
    const int32_t nCap = static_cast<int32_t>(kOutCapacity);
    if (h->MessageId == MSG_ID_TIMEDWHEELDATA && h->Sync[2] == LOG_SYNC_SHORT)
    {
        const ShortBinaryLogHeader* s = reinterpret_cast<const ShortBinaryLogHeader*>(job.Record.data());
        return job.WriteText(FormatTimedWheelData(s, kTextType, job.Record.data() + SHORT_LOG_HEADER_LENGTH,
                                                  job.Text.data(), nCap, &nText),
                             &nText);
    }
    if (h->MessageId == MSG_ID_RAWIMUSX && h->Sync[2] == LOG_SYNC_SHORT)
    {
        ShortBinaryLogHeader s;
        std::memcpy(&s, job.Record.data(), sizeof(s));
        BinaryLogHeader lh{};
        ShortToLongHeader(&s, &lh);
        lh.MessageType = LOG_TYPE_SHORT_HEADER | kTextType;
        return job.WriteText(
            FormatRawImuX(&lh, job.Record.data() + SHORT_LOG_HEADER_LENGTH, job.Text.data(), nCap, &nText), &nText);
    }
    SetFullText(h);
    const LOG_TYPE_T* pType = GetLogFormatter(h->MessageId, job.pRegistry);
    if (!pType || !pType->Format)
        return 0;
    return job.WriteText(pType->Format(*pType, job.Record.data(), nCap, job.Text.data(), &nText), &nText);
}

int ConvertAnyToBinary(Log2LogJob& job)
{
    BinaryLogHeader* h = HeaderOf(job.Record);
    int32_t nOut = 0;
    const int32_t nCap = static_cast<int32_t>(kRecordCapacity);
    if (h->Sync[2] == LOG_SYNC_SHORT)
    {
        const ShortBinaryLogHeader* s = reinterpret_cast<const ShortBinaryLogHeader*>(job.Record.data());
        return job.WriteBinary(
            BuildShortBinaryLog(s, job.Record.data() + SHORT_LOG_HEADER_LENGTH, job.Converted.data(), nCap, &nOut),
            &nOut);
    }
    h->MessageType = static_cast<uint8_t>(h->MessageType & ~LOG_FORM_MASK);
    const LOG_TYPE_T* pType = GetLogFormatter(h->MessageId, job.pRegistry);
    if (!pType || !pType->Copy)
        return 0;
    return job.WriteBinary(pType->Copy(job.Record.data(), nCap, job.Converted.data(), &nOut), &nOut);
}

int ConvertBinex(Log2LogJob& job, const LogSourceFrame& log)
{
    uint32_t nOut = 0;
    const BinexRecordDecoder decode = GetBinexRecordDecoder(log.nMessageId);
    if (!decode)
        return 0;
    const int nDecoded = decode(log.pData, log.nLength, job.Binex.get());
    // The text formatter of the log a BINEX record became.
    int (*format)(const void*, int32_t, char*, int32_t*) = nullptr;
    if (log.nMessageId == BINEX_RECORD_OBS)
    {
        if (!nDecoded ||
            !ConvertBinexObs(&job.Binex->Obs, job.Converted.data(), kRecordCapacity, &nOut, job.GloChannels.data()))
            return 0;
        job.nRefWeek = HeaderOf(job.Converted)->Week;
        format = FormatRange;
    }
    else if (log.nMessageId == BINEX_RECORD_NAV)
    {
        const BINEX_EPH_T& eph = job.Binex->Eph;
        int bOk = 0;
        switch (nDecoded)
        {
        case BINEX_SUBRECORD_GPS:
            bOk = ConvertBinexGpsEph(&eph.Gps, job.Converted.data(), kRecordCapacity, &nOut);
            format = FormatGpsEphem;
            if (bOk)
                job.nRefWeek = eph.Gps.Week;
            break;
        case BINEX_SUBRECORD_GLO:
            bOk = ConvertBinexGloEph(&eph.Glo, job.nRefWeek, job.Converted.data(), kRecordCapacity, &nOut);
            format = FormatGloEphem;
            // Later observations of the slot take its frequency channel from here.
            if (bOk && eph.Glo.Channel >= -7 && eph.Glo.Channel <= 7 && eph.Glo.SatIndex < GLO_SLOT_COUNT)
                job.GloChannels[eph.Glo.SatIndex] = static_cast<uint8_t>(eph.Glo.Channel + 7);
            break;
        case BINEX_SUBRECORD_GAL:
            bOk = ConvertBinexGalEph(&eph.Gps, job.Converted.data(), kRecordCapacity, &nOut);
            format = FormatGalEphem;
            break;
        case BINEX_SUBRECORD_BDS:
            bOk = ConvertBinexBdsEph(&eph.Bds, job.Converted.data(), kRecordCapacity, &nOut);
            format = FormatBdsEphem;
            break;
        case BINEX_SUBRECORD_QZSS:
            bOk = ConvertBinexQzssEph(&eph.Gps, job.Converted.data(), kRecordCapacity, &nOut);
            format = FormatQzssEphem;
            break;
        default:
            break;
        }
        if (!bOk)
            return 0;
    }
    else
        return 0;
    SetFullText(HeaderOf(job.Converted));
    int32_t nText = 0;
    return job.WriteText(format(job.Converted.data(), kOutCapacity, job.Text.data(), &nText), &nText);
}

int ConvertFound(Log2LogJob& job, const LogSourceFrame& log)
{
    int32_t nRecord = 0;
    switch (job.nKind)
    {
    case LOG2LOG_RANGE_TO_RANGECMP:
    case LOG2LOG_RANGECMP_TO_RANGE:
    case LOG2LOG_RANGE_TO_RANGECMP4:
    case LOG2LOG_RANGECMP4_TO_RANGE:
        return ConvertRangeKind(job, log);
    case LOG2LOG_TO_TEXT:
        return LoadRecord(job, log, &nRecord) && ConvertAnyToText(job);
    case LOG2LOG_TO_BINARY:
        return LoadRecord(job, log, &nRecord) && ConvertAnyToBinary(job);
    case LOG2LOG_RANGE_TEXT_TO_BINARY:
    {
        if (job.bBinaryInput || log.nForm != LOG_SOURCE_TEXT || log.nMessageId != MSG_ID_RANGE ||
            !LoadRecord(job, log, &nRecord))
            return 0;
        int32_t nOut = 0;
        return job.WriteBinary(
            CopyBinaryRange(job.Record.data(), static_cast<int32_t>(kRecordCapacity), job.Converted.data(), &nOut),
            &nOut);
    }
    case LOG2LOG_BINEX_TO_LOG:
        return ConvertBinex(job, log);
    default:
        return 0;
    }
}

struct ProgressRelay
{
    LogProgressFn pfnProgress;
    void* pContext;
};

int RelayProgress(void* pRelay, uint64_t nBytesRead)
{
    const ProgressRelay& r = *static_cast<const ProgressRelay*>(pRelay);
    return r.pfnProgress(r.pContext, nBytesRead);
}
} // namespace

const LOG_TYPE_T* GetLogFormatter(uint16_t nMessageId, const LOG_REGISTRY_T* pRegistry)
{
    return FindLogType(LogRegistryOr(pRegistry), nMessageId, LOG_USE_CONVERT);
}

int ConvertLogToLog(FILE* pSrc, FILE* pOut, LOG2LOG_KIND_E eKind, uint32_t bBinaryInput, LogProgressFn pfnProgress,
                    void* pContext, const LOG_REGISTRY_T* pRegistry, CompressedPhaseCounts* pPhases)
{
    if (!pSrc || !pOut || eKind >= LOG2LOG_KIND_COUNT)
        return LOG2LOG_FAILED;
    Log2LogJob job;
    job.pRegistry = pRegistry;
    job.nKind = eKind;
    job.bBinaryInput = bBinaryInput;
    job.pOut = pOut;
    ResetRangeCmp4State(job.Cmp4.get());
    ProgressRelay relay{pfnProgress, pContext};
    LogSourceReader reader(pSrc, pfnProgress ? RelayProgress : nullptr, &relay,
                           eKind == LOG2LOG_BINEX_TO_LOG ? LOG_SOURCE_BINEX_RECORDS : LOG_SOURCE_ALL_HEADERS);
    LogSourceFrame log;
    while (reader.Next(&log))
        ConvertFound(job, log);
    if (pPhases)
    {
        pPhases->nShifted = job.Arcs->Shifted;
        pPhases->nDropped = job.Arcs->Dropped;
    }
    if (job.bWriteFailed)
        return LOG2LOG_WRITE_FAILED;
    // What a stopped job wrote is part of the source only.
    if (reader.Stopped())
        return LOG2LOG_STOPPED;
    return reader.ReadFailed() ? LOG2LOG_READ_FAILED : LOG2LOG_OK;
}

int CWorkThread::RunLog2Log()
{
    m_Phases = CompressedPhaseCounts{};
    m_nOutputBytes = 0;
    const QByteArray sSrc = QFile::encodeName(m_sSrcFilePath);
    const QByteArray sOut = QFile::encodeName(m_sOutFilePath);
    FILE* pSrc = sSrc.isEmpty() ? nullptr : std::fopen(sSrc.constData(), "rb");
    if (!pSrc)
        return CONVERT_ERR_SOURCE;
    // Written beside an earlier output, which a failed job leaves as it was.
    CJobOutput output;
    FILE* pOut = output.Open(sOut.constData());
    if (!pOut)
    {
        std::fclose(pSrc);
        return CONVERT_ERR_OUTPUT;
    }
    const int nResult = ConvertLogToLog(
        pSrc, pOut, static_cast<LOG2LOG_KIND_E>(m_nLog2LogKind), m_bBinaryInput,
        [](void* pThis, uint64_t nBytes)
        {
            CWorkThread* pWorker = static_cast<CWorkThread*>(pThis);
            emit pWorker->Log2LogReadDataLog(nBytes);
            return pWorker->StopRequested() ? 1 : 0;
        },
        this, nullptr, &m_Phases);
    TracePhaseCounts(m_Phases);
    // Only a whole conversion takes the place of an earlier output; one that
    // could not be written whole is reported as not created.
    std::fflush(pOut);
    m_nOutputBytes = output.BytesWritten();
    const bool bClosed = output.Finish(nResult == LOG2LOG_OK && m_nOutputBytes > 0);
    std::fclose(pSrc);
    if (nResult == LOG2LOG_READ_FAILED)
        return CONVERT_ERR_SOURCE;
    if (nResult == LOG2LOG_STOPPED)
        return CONVERT_STOPPED;
    if (nResult == LOG2LOG_WRITE_FAILED || !bClosed)
        return CONVERT_ERR_OUTPUT_WRITE;
    return nResult < 0 ? CONVERT_ERR_OUTPUT : CONVERT_OK;
}
