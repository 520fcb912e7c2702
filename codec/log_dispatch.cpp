#include "codec/log_dispatch.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/text_helpers.h"

namespace
{
struct DECODER_ROW_T
{
    const char* pName;
    uint16_t nMessageId;
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
};
} // namespace

TextDecoderFn TextDecoderForId(uint16_t nMessageId)
{
    for (const DECODER_ROW_T& row : DECODERS)
        if (row.nMessageId == nMessageId)
            return row.Decode;
    return nullptr;
}

TextDecoderFn TextDecoderForName(const char* pName, int32_t nLength)
{
    if (!pName || nLength <= 0)
        return nullptr;
    for (const DECODER_ROW_T& row : DECODERS)
        if (StrEqualLenNoCase(pName, row.pName, static_cast<size_t>(nLength), strlen(row.pName)))
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
    if (pData[0] != '#')
        return 0;
    // The name field: "#NAMEA," or, for a log that came from RANGEH, "#NAMEA_1,".
    const char* pText = reinterpret_cast<const char*>(pData);
    const char* pComma = static_cast<const char*>(memchr(pText, ',', nLength));
    if (!pComma)
        return 0;
    int32_t nName = static_cast<int32_t>(pComma - pText - 1);
    if (nName > 2 && pText[nName - 1] == '_' && pText[nName] == '1')
        nName -= 2;
    if (nName < 2 || (pText[nName] != 'A' && pText[nName] != 'a'))
        return 0;
    const TextDecoderFn Decode = TextDecoderForName(pText + 1, nName - 1);
    return Decode ? Decode(pText, nLength, pOut, pOutLength) : 0;
}
