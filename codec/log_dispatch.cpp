#include "codec/log_dispatch.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "codec/text_helpers.h"

namespace
{
struct DECODER_ROW_T
{
    const char* pName;   // null: reached by ID only
    uint16_t nMessageId; // 0: the profile's catalogue ID of the name
    TextDecoderFn Decode;
};

int DecodeIonUtc(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeIonUtcText(pText, nLength, MSG_ID_IONUTC, pOut, pOutLength);
}

int DecodeQzssIonUtc(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeIonUtcText(pText, nLength, MSG_ID_QZSSIONUTC, pOut, pOutLength);
}

// Searched in order: of two rows with one ID the first serves the ID.
const DECODER_ROW_T DECODERS[] = {
    {"PSRPOS", 0, DecodePositionText},
    {"PPPPOS", 0, DecodePositionText},
    {"RTKPOS", 0, DecodePositionText},
    {"BESTPOS", 0, DecodePositionText},
    {"BESTGNSSPOS", 0, DecodePositionText},
    {"MATCHEDPOS", 0, DecodePositionText},
    {"MATCHEDPOSH", 0, DecodePositionText},
    {"MARKPOS", 0, DecodePositionText},
    {"MARK2POS", 0, DecodePositionText},
    {"PSRVEL", 0, DecodeVelocityText},
    {"RTKVEL", 0, DecodeVelocityText},
    {"BESTVEL", 0, DecodeVelocityText},
    {"BESTGNSSVEL", 0, DecodeVelocityText},
    {"PSRXYZ", 0, DecodeXyzText},
    {"RTKXYZ", 0, DecodeXyzText},
    {"BESTXYZ", 0, DecodeXyzText},
    {"BESTGNSSXYZ", 0, DecodeXyzText},
    {nullptr, 242, DecodeXyzText},
    {"TIME", 0, DecodeTimeText},
    {"HEADING", MSG_ID_HEADING, DecodeHeadingText},
    {"RAWIMU", MSG_ID_RAWIMU, DecodeRawImuText},
    {"RAWIMUX", MSG_ID_RAWIMUX, DecodeRawImuXText},
    {"RAWIMUSX", MSG_ID_RAWIMUSX, DecodeRawImuSxText},
    {"INSPVAX", MSG_ID_INSPVAX, DecodeInspvaxText},
    {"INSSTATUS", MSG_ID_INSSTATUS, DecodeInsStatusText},
    {"TIMEDWHEELDATA", MSG_ID_TIMEDWHEELDATA, DecodeTimedWheelDataText},
    {"RANGE", MSG_ID_RANGE, DecodeRangeText},
    {"RANGEH", MSG_ID_RANGEH, DecodeRangeText},
    {"BASERANGE", MSG_ID_BASERANGE, DecodeRangeText},
    {"RANGECMP", MSG_ID_RANGECMP, DecodeRangeCmpText},
    {"RANGECMP4", MSG_ID_RANGECMP4, DecodeRangeCmp4Text},
    {"GPSEPHEM", MSG_ID_GPSEPHEM, DecodeGpsEphemText},
    {"QZSSEPHEMERIS", MSG_ID_QZSSEPHEMERIS, DecodeQzssEphemText},
    {"BDSEPHEMERIS", MSG_ID_BDSEPHEMERIS, DecodeBdsEphemText},
    {"BD2EPHEM", MSG_ID_BD2EPHEM, DecodeBd2EphemText},
    {"GLOEPHEMERIS", MSG_ID_GLOEPHEMERIS, DecodeGloEphemText},
    {"GALEPHEMERIS", MSG_ID_GALEPHEMERIS, DecodeGalEphemText},
    {"BDSCLOCK", MSG_ID_BDSCLOCK, DecodeBdsClockText},
    {"GALCLOCK", MSG_ID_GALCLOCK, DecodeGalClockText},
    {"GLOCLOCK", MSG_ID_GLOCLOCK, DecodeGloClockText},
    {"BDSIONO", MSG_ID_BDSIONO, DecodeBdsIonoText},
    {"GALIONO", MSG_ID_GALIONO, DecodeGalIonoText},
    {"IONUTC", MSG_ID_IONUTC, DecodeIonUtc},
    {"QZSSIONUTC", MSG_ID_QZSSIONUTC, DecodeQzssIonUtc},
    {"SATVIS", MSG_ID_SATVIS, DecodeSatVisText},
    {"REFSTATION", MSG_ID_REFSTATION, DecodeRefStationText},
    {"REFSTATIONINFO", MSG_ID_REFSTATIONINFO, DecodeRefStationText},
};

// The ID of a row: its own, or the one the profile's catalogue gives its name
// (the mark logs differ between the programs, and not every name is in both).
uint16_t RowId(const DECODER_ROW_T& row)
{
    if (row.nMessageId != 0)
        return row.nMessageId;
    return LogNameToId(row.pName, 1, static_cast<uint32_t>(strlen(row.pName)));
}

bool EndsWith(const char* pText, int32_t nLength, const char* pSuffix)
{
    const int32_t n = static_cast<int32_t>(strlen(pSuffix));
    return nLength > n && memcmp(pText + nLength - n, pSuffix, n) == 0;
}

// The decoder of a text log's name field: "#NAMEA," (full), "%NAMEA," or
// "%NAMESA," (short), "<NAME " or "<NAMES " (abbreviated, short); "_1" after
// the form marks a RANGEH-made log.
TextDecoderFn TextLogDecoder(const char* pText, int32_t nLength)
{
    const char cOpen = pText[0];
    if (cOpen != '#' && cOpen != '%' && cOpen != '<')
        return nullptr;
    int32_t nField = 1;
    while (nField < nLength && nField < 64 && pText[nField] != ',' && pText[nField] != ' ' && pText[nField] != '\r' &&
           pText[nField] != '\n')
        ++nField;
    const char* pName = pText + 1;
    int32_t n = nField - 1;
    if (EndsWith(pName, n, "_1"))
        n -= 2;
    if (cOpen != '<')
    {
        if (!EndsWith(pName, n, "A"))
            return nullptr;
        --n;
    }
    TextDecoderFn Decode = TextDecoderForName(pName, n);
    // A short-header log may name itself with an "S" behind its name.
    if (!Decode && cOpen != '#' && EndsWith(pName, n, "S"))
        Decode = TextDecoderForName(pName, n - 1);
    return Decode;
}
} // namespace

TextDecoderFn TextDecoderForId(uint16_t nMessageId)
{
    if (nMessageId == LOG_ID_UNKNOWN)
        return nullptr;
    for (const DECODER_ROW_T& row : DECODERS)
        if (RowId(row) == nMessageId)
            return row.Decode;
    return nullptr;
}

TextDecoderFn TextDecoderForName(const char* pName, int32_t nLength)
{
    if (!pName || nLength <= 0)
        return nullptr;
    for (const DECODER_ROW_T& row : DECODERS)
        if (row.pName && StrEqualLenNoCase(pName, row.pName, static_cast<size_t>(nLength), strlen(row.pName)))
            return row.Decode;
    return nullptr;
}

int DecodeLog(const uint8_t* pData, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    if (!pData || !pOut || !pOutLength || nLength < 3)
        return 0;
    if (pData[0] == LOG_SYNC_0 && pData[1] == LOG_SYNC_1 && pData[2] == LOG_SYNC_LONG)
    {
        uint32_t n = 0;
        if (!CopyBinaryLog(pData, nLength, pOut, static_cast<int32_t>(LOG_MAX_BINARY_LENGTH), &n))
            return 0;
        // The wire carries the port address; records hold the port code, as text decoders give it.
        BinaryLogHeader* pHeader = reinterpret_cast<BinaryLogHeader*>(pOut);
        pHeader->Port = static_cast<uint8_t>(PortAddressToCode(pHeader->Port));
        *pOutLength = static_cast<int32_t>(n);
        return 1;
    }
    if (pData[0] == LOG_SYNC_0 && pData[1] == LOG_SYNC_1 && pData[2] == LOG_SYNC_SHORT)
    {
        uint32_t n = 0;
        if (!CopyShortBinaryLog(pData, nLength, pOut, static_cast<int32_t>(LOG_MAX_BINARY_LENGTH), &n))
            return 0;
        *pOutLength = static_cast<int32_t>(n);
        return 1;
    }
    const char* pText = reinterpret_cast<const char*>(pData);
    const TextDecoderFn Decode = TextLogDecoder(pText, nLength);
    return Decode ? Decode(pText, nLength, pOut, pOutLength) : 0;
}
