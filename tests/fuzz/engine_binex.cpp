// BINEX framing, decoding and conversion on arbitrary bytes: every offset is
// tried as the start of a record; framed navigation and observation records
// are decoded, converted to logs and formatted as text. Nothing may be read
// past the input (it sits in an exact-size heap block) or written past a
// capacity.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codec/nav_logs.h"
#include "codec/range_logs.h"
#include "converter/engine/binex.h"

namespace
{
BINEX_OBS_RECORD_T g_obs;
uint8_t g_log[BINEX_LOG_CAPACITY];
char g_text[1 << 20];

void Format(int (*format)(const void*, int32_t, char*, int32_t*), uint32_t nLength)
{
    if (nLength > sizeof g_log)
        std::abort();
    int32_t n = 0;
    if (format(g_log, sizeof g_text, g_text, &n) == 1 && (n < 0 || n >= int32_t(sizeof g_text)))
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::vector<uint8_t> input(pData, pData + nSize);
    const uint8_t* p = input.data();
    const uint32_t n = static_cast<uint32_t>(nSize);
    for (uint32_t i = 0; i < n; ++i)
    {
        BINEX_FRAME_T frame;
        if (FrameBinexRecord(p + i, n - i, &frame) != BINEX_FRAME_OK)
            continue;
        if (frame.nTotalLength > n - i || frame.nMessageOffset + frame.nMessageLength > frame.nTotalLength)
            std::abort();
        uint32_t nLog = 0;
        if (frame.nRecordId == BINEX_RECORD_OBS && DecodeBinexObsRecord(p + i, n - i, &g_obs) &&
            ConvertBinexObs(&g_obs, g_log, sizeof g_log, &nLog))
            Format(FormatRange, nLog);
        BINEX_EPH_T eph;
        switch (frame.nRecordId == BINEX_RECORD_NAV ? DecodeBinexEphRecord(p + i, n - i, &eph) : 0)
        {
        case BINEX_SUBRECORD_GPS:
            if (ConvertBinexGpsEph(&eph.Gps, g_log, sizeof g_log, &nLog))
                Format(FormatGpsEphem, nLog);
            break;
        case BINEX_SUBRECORD_GLO:
            if (ConvertBinexGloEph(&eph.Glo, eph.Glo.Day, g_log, sizeof g_log, &nLog))
                Format(FormatGloEphem, nLog);
            break;
        case BINEX_SUBRECORD_GAL:
            if (ConvertBinexGalEph(&eph.Gps, g_log, sizeof g_log, &nLog))
                Format(FormatGalEphem, nLog);
            break;
        case BINEX_SUBRECORD_BDS:
            if (ConvertBinexBdsEph(&eph.Bds, g_log, sizeof g_log, &nLog))
                Format(FormatBdsEphem, nLog);
            break;
        case BINEX_SUBRECORD_QZSS:
            if (ConvertBinexQzssEph(&eph.Gps, g_log, sizeof g_log, &nLog))
                Format(FormatQzssEphem, nLog);
            break;
        default:
            break;
        }
    }
    return 0;
}
