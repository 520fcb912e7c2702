#include "codec/log_dispatch.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/log_format.h"

namespace
{
bool EndsWith(const char* pText, int32_t nLength, const char* pSuffix)
{
    const int32_t n = static_cast<int32_t>(strlen(pSuffix));
    return nLength > n && memcmp(pText + nLength - n, pSuffix, n) == 0;
}

// The decoder of a text log's name field: "#NAMEA," (full), "%NAMEA," or
// "%NAMESA," (short), "<NAME " or "<NAMES " (abbreviated, short); "_1" after
// the form marks a RANGEH-made log.
TextDecoderFn TextLogDecoder(const char* pText, int32_t nLength, const LOG_REGISTRY_T* pRegistry)
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
    TextDecoderFn Decode = TextDecoderForName(pName, n, pRegistry);
    // A short-header log may name itself with an "S" behind its name.
    if (!Decode && cOpen != '#' && EndsWith(pName, n, "S"))
        Decode = TextDecoderForName(pName, n - 1, pRegistry);
    return Decode;
}
} // namespace

TextDecoderFn TextDecoderForId(uint16_t nMessageId, const LOG_REGISTRY_T* pRegistry)
{
    const LOG_REGISTRY_T& Registry = LogRegistryOr(pRegistry);
    for (uint32_t i = 0; i < Registry.Count; ++i)
    {
        const LOG_TYPE_T& Type = Registry.Rows[i];
        if (!(Type.Uses & LOG_USE_DECODE) || Type.Decode == nullptr || LogTypeId(Type) != nMessageId ||
            nMessageId == LOG_TYPE_NO_ID)
            continue;
        // A decoder that takes the ID from the catalogue reads the log only where the catalogue names it so.
        if ((Type.Uses & LOG_ID_FROM_CATALOGUE) &&
            LogNameToId(Type.Name, 1, static_cast<uint32_t>(strlen(Type.Name))) != nMessageId)
            continue;
        return Type.Decode;
    }
    return nullptr;
}

TextDecoderFn TextDecoderForName(const char* pName, int32_t nLength, const LOG_REGISTRY_T* pRegistry)
{
    const LOG_TYPE_T* pType = FindLogTypeByName(LogRegistryOr(pRegistry), pName, nLength, LOG_USE_DECODE);
    return pType != nullptr ? pType->Decode : nullptr;
}

int DecodeLog(const uint8_t* pData, int32_t nLength, uint8_t* pOut, int32_t* pOutLength,
              const LOG_REGISTRY_T* pRegistry)
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
    const TextDecoderFn Decode = TextLogDecoder(pText, nLength, pRegistry);
    return Decode ? Decode(pText, nLength, pOut, pOutLength) : 0;
}
