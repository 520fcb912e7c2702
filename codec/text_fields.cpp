#include "codec/text_fields.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "codec/text_helpers.h"

namespace
{
// Copies a number text into a NUL-terminated buffer for strtod and strtoull.
// Leading white space is refused here because both would skip it silently.
bool CopyNumberText(const char* pText, int32_t nLength, char (&buf)[TEXT_NUMBER_MAX + 1])
{
    if (!pText || nLength <= 0 || nLength > TEXT_NUMBER_MAX || std::strchr(" \t\n\v\f\r", pText[0]) ||
        std::memchr(pText, '\0', static_cast<size_t>(nLength)))
        return false;
    std::memcpy(buf, pText, static_cast<size_t>(nLength));
    buf[nLength] = '\0';
    return true;
}

void SkipBlanks(const char** ppField, int32_t* pLength)
{
    while (*pLength > 0 && (**ppField == ' ' || **ppField == '\t'))
    {
        ++*ppField;
        --*pLength;
    }
}
} // namespace

bool NextTextField(TextFieldCursor* pCursor, const char** ppField, int32_t* pLength)
{
    if (!pCursor->pNext || pCursor->pNext > pCursor->pEnd)
        return false;
    const char* pStart = pCursor->pNext;
    const char* pComma = static_cast<const char*>(memchr(pStart, ',', pCursor->pEnd - pStart));
    const char* pStop = pComma ? pComma : pCursor->pEnd;
    *ppField = pStart;
    *pLength = static_cast<int32_t>(pStop - pStart);
    // After the last field the cursor moves past the end, so the span yields no more.
    pCursor->pNext = pComma ? pComma + 1 : pCursor->pEnd + 1;
    return true;
}

bool ParseIntegerText(const char* pText, int32_t nLength, int nBase, bool bSigned, int64_t nMin, uint64_t uMax,
                      uint64_t* pBits)
{
    char buf[TEXT_NUMBER_MAX + 1];
    if ((nBase != 0 && (nBase < 2 || nBase > 36)) || !CopyNumberText(pText, nLength, buf))
        return false;
    const bool bNegative = buf[0] == '-';
    if (bNegative && !bSigned)
        return false;
    // A digit must follow the sign: strtoull would take white space or a second sign there.
    const char* pDigits = (bNegative || buf[0] == '+') ? buf + 1 : buf;
    const int32_t nDigit = HexDigitValue(static_cast<unsigned char>(*pDigits));
    if (nDigit < 0 || nDigit >= (nBase == 0 ? 10 : nBase))
        return false;
    errno = 0;
    char* pEnd = nullptr;
    const unsigned long long u = std::strtoull(pDigits, &pEnd, nBase);
    if (errno == ERANGE || *pEnd != '\0')
        return false;
    if (bNegative)
    {
        // Magnitudes in unsigned arithmetic: neither side can overflow.
        if (u > uint64_t{0} - static_cast<uint64_t>(nMin))
            return false;
        *pBits = uint64_t{0} - u;
        return true;
    }
    if (u > uMax)
        return false;
    *pBits = u;
    return true;
}

bool ParseRealText(const char* pText, int32_t nLength, double* pValue)
{
    char buf[TEXT_NUMBER_MAX + 1];
    if (!CopyNumberText(pText, nLength, buf))
        return false;
    char* pEnd = nullptr;
    const double v = std::strtod(buf, &pEnd);
    if (pEnd == buf || *pEnd != '\0')
        return false;
    *pValue = v;
    return true;
}

bool ParseFieldU32(const char* pField, int32_t nLength, int nBase, uint32_t* pValue)
{
    SkipBlanks(&pField, &nLength);
    uint64_t v = 0;
    if (!ParseIntegerText(pField, nLength, nBase, false, 0, 0xFFFFFFFFu, &v))
        return false;
    *pValue = static_cast<uint32_t>(v);
    return true;
}

bool ParseFieldI32(const char* pField, int32_t nLength, int32_t* pValue)
{
    SkipBlanks(&pField, &nLength);
    uint64_t v = 0;
    if (!ParseIntegerText(pField, nLength, 10, true, INT32_MIN, INT32_MAX, &v))
        return false;
    *pValue = static_cast<int32_t>(v);
    return true;
}

bool ParseFieldF64(const char* pField, int32_t nLength, double* pValue)
{
    SkipBlanks(&pField, &nLength);
    return ParseRealText(pField, nLength, pValue);
}
