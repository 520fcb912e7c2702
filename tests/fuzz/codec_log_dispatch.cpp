// Any bytes through the one-call decoder, in either profile, and through the
// navigation, SATVIS and reference-station formatters as a record. The first byte selects: bit 0 the
// monitor profile, bit 1 "repair the CRC" so that bodies get parsed, bit 2 a
// small output capacity for the formatters.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/crc.h"
#include "codec/log_dispatch.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/profile.h"
#include "codec/satvis_logs.h"

namespace
{
using FormatFn = int (*)(const void*, int32_t, char*, int32_t*);

const FormatFn FORMATTERS[] = {
    FormatGpsEphem,
    FormatQzssEphem,
    FormatBdsEphem,
    FormatBd2Ephem,
    FormatGloEphem,
    FormatGalEphem,
    FormatBdsClock,
    FormatGalClock,
    FormatGloClock,
    FormatBdsIono,
    FormatGalIono,
    FormatIonUtc,
    FormatRawEphem,
    FormatRawAlm,
    FormatSatVis,
    [](const void* p, int32_t c, char* o, int32_t* n) { return FormatRefStation(p, c, 1, o, n); },
    [](const void* p, int32_t c, char* o, int32_t* n) { return FormatRefStation(p, c, 0, o, n); },
    [](const void* p, int32_t c, char* o, int32_t* n) { return FormatRefStationInfo(p, c, 1, o, n); },
    [](const void* p, int32_t c, char* o, int32_t* n) { return FormatRefStationInfo(p, c, 0, o, n); },
};

void RepairCrc(std::vector<uint8_t>& bytes)
{
    if (bytes.size() >= LOG_HEADER_LENGTH && bytes[0] == LOG_SYNC_0 && bytes[1] == LOG_SYNC_1 &&
        bytes[2] == LOG_SYNC_LONG)
    {
        uint16_t nBody;
        memcpy(&nBody, &bytes[8], 2);
        const size_t nLog = LOG_HEADER_LENGTH + nBody;
        if (bytes.size() >= nLog + 4)
        {
            const uint32_t uCrc = Crc32Compute(bytes.data(), static_cast<int32_t>(nLog));
            memcpy(&bytes[nLog], &uCrc, 4);
        }
        return;
    }
    if (bytes.empty())
        return;
    const void* pStar = memchr(bytes.data(), '*', bytes.size());
    if (!pStar)
        return;
    const size_t nStar = static_cast<const uint8_t*>(pStar) - bytes.data();
    if (nStar < 1 || bytes.size() < nStar + 9)
        return;
    char hex[9];
    snprintf(hex, sizeof hex, "%08x", Crc32Compute(bytes.data() + 1, static_cast<int32_t>(nStar - 1)));
    memcpy(&bytes[nStar + 1], hex, 8);
}

// The formatters read a record of header + message length bytes.
void FormatAsRecord(const uint8_t* pRecord, size_t nSize, int32_t nCapacity)
{
    if (nSize < LOG_HEADER_LENGTH)
        return;
    uint16_t nBody;
    memcpy(&nBody, pRecord + 8, 2);
    std::vector<uint8_t> record(LOG_HEADER_LENGTH + nBody, 0);
    memcpy(record.data(), pRecord, nSize < record.size() ? nSize : record.size());
    std::vector<char> text(static_cast<size_t>(nCapacity));
    for (FormatFn Format : FORMATTERS)
    {
        int32_t n = -1;
        if (Format(record.data(), nCapacity, text.data(), &n) && (n < 0 || n >= nCapacity))
            abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 70000)
        return 0;
    const uint8_t uMode = pData[0];
    SetCodecProfile((uMode & 1) ? CODEC_PROFILE_MONITOR : CODEC_PROFILE_CONVERTER);
    std::vector<uint8_t> input(pData + 1, pData + nSize);
    if (uMode & 2)
        RepairCrc(input);

    static std::vector<uint8_t> out(LOG_MAX_BINARY_LENGTH);
    int32_t n = -1;
    const int32_t nCapacity = (uMode & 4) ? 64 : 8192;
    if (!input.empty() && DecodeLog(input.data(), static_cast<int32_t>(input.size()), out.data(), &n))
    {
        if (n < static_cast<int32_t>(LOG_HEADER_LENGTH) || n > static_cast<int32_t>(LOG_MAX_BINARY_LENGTH))
            abort();
        FormatAsRecord(out.data(), static_cast<size_t>(n), nCapacity);
    }
    FormatAsRecord(input.data(), input.size(), nCapacity);
    SetCodecProfile(CODEC_PROFILE_CONVERTER);
    return 0;
}
