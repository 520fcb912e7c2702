// Receiver log files of any shape: the source scan and the reader of the
// range-log job stay inside the bytes, and every range epoch they take
// formats as RINEX 3 and RINEX 2 text within its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "converter/engine/log_source.h"
#include "converter/engine/range_epoch.h"
#include "converter/engine/rinex_obs_epoch.h"
#include "converter/engine/source_scan.h"

namespace
{
RinexObsHeader Header(int32_t nVersion)
{
    RinexObsHeader h{};
    h.nVersion = nVersion;
    h.nSysMask = 1 | 2 | 4 | 8 | 32;
    h.nObsTypeMask = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S;
    uint32_t aCodes[6][RINEX_SCAN_CODES] = {
        {0, 33096, 520, 2128}, {1, 9, 201, 2385}, {130, 2506, 2514}, {3, 19, 11, 2395}, {}, {5, 525}};
    uint32_t aCounts[6] = {4, 4, 3, 4, 0, 2};
    FillRinexObsTypes(aCodes, aCounts, &h);
    std::vector<char> text(RINEX_HEADER_TEXT_CAPACITY);
    WriteRinexObsHeader(&h, 0, text.data(), static_cast<uint32_t>(text.size()));
    return h;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0 || nSize > (1u << 20))
        return 0;
    static const RinexObsHeader s_Header3 = Header(304);
    static const RinexObsHeader s_Header2 = Header(211);
    static auto s_pStore = std::make_unique<EpochStore>();
    static auto s_pLocks = std::make_unique<RinexLockHistory>();
    static std::vector<EpochIndexEntry> s_Index(OBS_MAX_SATS);
    static std::vector<char> s_Text(RINEX_EPOCH_TEXT_CAPACITY);

    FILE* f = fmemopen(const_cast<uint8_t*>(pData), nSize, "rb");
    if (!f)
        return 0;
    auto pScan = std::make_unique<SourceScanInfo>();
    uint32_t aTimes[4];
    CConvertContext context;
    ScanSourceLog(f, pScan.get(), aTimes, DetectBinaryLog(f), &context);
    if (pScan->nGloSlotCount > SCAN_MAX_GLO_SLOTS || pScan->Source.nBytesRead != nSize)
        __builtin_trap();

    std::rewind(f);
    ResetConvertState(s_pStore.get(), 1);
    *s_pLocks = RinexLockHistory{};
    LogSourceReader reader(f);
    LogSourceFrame frame;
    while (reader.Next(&frame))
    {
        if (frame.nLength > nSize || frame.pData == nullptr)
            __builtin_trap();
        if (frame.nForm != LOG_SOURCE_BINARY || (frame.nMessageId != 43 && frame.nMessageId != 140))
            continue;
        const uint32_t nRecord = frame.nLength - 4;
        const int n = frame.nMessageId == 140
                          ? RangeCmpToObsEpoch(frame.pData, nRecord, 0xFF, 2, s_pStore.get(), s_Index.data())
                          : RangeToObsEpoch(frame.pData, nRecord, 0xFF, 2, s_pStore.get(), s_Index.data());
        if (n < 0)
            continue;
        for (const RinexObsHeader* pHeader : {&s_Header3, &s_Header2})
            if (WriteRinexObsEpoch(&s_pStore->State, s_Index.data(), pHeader, s_pLocks.get(), s_Text.data(),
                                   static_cast<uint32_t>(s_Text.size())) < 0)
                __builtin_trap();
    }
    std::fclose(f);
    return 0;
}
