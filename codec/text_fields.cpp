#include "codec/text_fields.h"

#include "codec/text_helpers.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace
{
// Longest number text we accept; a field beyond it is not a receiver's number.
constexpr int32_t MAX_NUMBER_TEXT = 63;

// Copies the field without its leading blanks into a NUL-terminated buffer.
bool CopyNumberText(const char* pField, int32_t nLength, char (&buf)[MAX_NUMBER_TEXT + 1])
{
    while (nLength > 0 && (*pField == ' ' || *pField == '\t'))
    {
        ++pField;
        --nLength;
    }
    if (nLength <= 0 || nLength > MAX_NUMBER_TEXT || memchr(pField, '\0', nLength))
        return false;
    memcpy(buf, pField, nLength);
    buf[nLength] = '\0';
    return true;
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

bool ParseFieldU32(const char* pField, int32_t nLength, int nBase, uint32_t* pValue)
{
    char buf[MAX_NUMBER_TEXT + 1];
    if (!CopyNumberText(pField, nLength, buf) || buf[0] == '-')
        return false;
    char* pStop = nullptr;
    errno = 0;
    const unsigned long long v = strtoull(buf, &pStop, nBase);
    if (pStop == buf || *pStop != '\0' || errno == ERANGE || v > 0xFFFFFFFFull)
        return false;
    *pValue = static_cast<uint32_t>(v);
    return true;
}

bool ParseFieldI32(const char* pField, int32_t nLength, int32_t* pValue)
{
    char buf[MAX_NUMBER_TEXT + 1];
    if (!CopyNumberText(pField, nLength, buf))
        return false;
    char* pStop = nullptr;
    errno = 0;
    const long long v = strtoll(buf, &pStop, 10);
    if (pStop == buf || *pStop != '\0' || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return false;
    *pValue = static_cast<int32_t>(v);
    return true;
}

bool ParseFieldF64(const char* pField, int32_t nLength, double* pValue)
{
    char buf[MAX_NUMBER_TEXT + 1];
    if (!CopyNumberText(pField, nLength, buf))
        return false;
    char* pStop = nullptr;
    const double v = strtod(buf, &pStop);
    if (pStop == buf || *pStop != '\0')
        return false;
    *pValue = v;
    return true;
}

namespace
{
bool ScanOneField(char cKind, const char* pField, int32_t nLength, uint8_t* pDest)
{
    uint32_t u = 0;
    int32_t i = 0;
    double f = 0.0;
    switch (cKind)
    {
    case 'u':
    case 'x':
        if (!ParseFieldU32(pField, nLength, cKind == 'x' ? 16 : 10, &u))
            return false;
        memcpy(pDest, &u, 4);
        return true;
    case 'd':
        if (!ParseFieldI32(pField, nLength, &i))
            return false;
        memcpy(pDest, &i, 4);
        return true;
    case 'H':
    case 'B':
    {
        if (!ParseFieldU32(pField, nLength, 10, &u) || u > (cKind == 'H' ? 0xFFFFu : 0xFFu))
            return false;
        if (cKind == 'B')
        {
            *pDest = static_cast<uint8_t>(u);
            return true;
        }
        const uint16_t h = static_cast<uint16_t>(u);
        memcpy(pDest, &h, 2);
        return true;
    }
    case 'S':
    {
        if (!ParseFieldI32(pField, nLength, &i) || i < INT16_MIN || i > INT16_MAX)
            return false;
        const int16_t s = static_cast<int16_t>(i);
        memcpy(pDest, &s, 2);
        return true;
    }
    case 'f':
        if (!ParseFieldF64(pField, nLength, &f))
            return false;
        memcpy(pDest, &f, 8);
        return true;
    case 'T':
        // A word of up to six characters: "TRUE" sets the flag, any other word clears it.
        if (nLength < 1 || nLength > 6)
            return false;
        u = (nLength == 4 && memcmp(pField, "TRUE", 4) == 0) ? 1u : 0u;
        memcpy(pDest, &u, 4);
        return true;
    default:
        return false;
    }
}

int32_t KindSize(char cKind)
{
    const char k[2] = {cKind, '\0'};
    return BodyKindsSize(k);
}
} // namespace

bool ScanBodyFields(TextFieldCursor* pCursor, const char* pKinds, uint8_t* pBody)
{
    for (; *pKinds; ++pKinds)
    {
        const char* pField = nullptr;
        int32_t nLength = 0;
        if (!NextTextField(pCursor, &pField, &nLength) || !ScanOneField(*pKinds, pField, nLength, pBody))
            return false;
        pBody += KindSize(*pKinds);
    }
    return true;
}

int PrintBodyFields(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pKinds, const char* pFormats,
                    const uint8_t* pBody, char cSeparator)
{
    for (bool bFirst = true; *pKinds; ++pKinds, bFirst = false)
    {
        const char* pComma = strchr(pFormats, ',');
        const size_t nSpec = pComma ? static_cast<size_t>(pComma - pFormats) : strlen(pFormats);
        char spec[16];
        if (nSpec == 0 || nSpec >= sizeof(spec))
            return 0;
        memcpy(spec, pFormats, nSpec);
        spec[nSpec] = '\0';
        pFormats += nSpec + (pComma ? 1 : 0);

        if (!bFirst && !AppendFormat(pOut, nCapacity, pLength, "%c", cSeparator))
            return 0;
        const char cConv = spec[nSpec - 1];
        uint32_t u = 0;
        double f = 0.0;
        int ok = 0;
        switch (*pKinds)
        {
        case 'f':
            memcpy(&f, pBody, 8);
            ok = AppendFormat(pOut, nCapacity, pLength, spec, f);
            break;
        case 'T':
            memcpy(&u, pBody, 4);
            ok = AppendFormat(pOut, nCapacity, pLength, spec, u ? "TRUE" : "FALSE");
            break;
        case 'H':
        {
            uint16_t h;
            memcpy(&h, pBody, 2);
            ok = AppendFormat(pOut, nCapacity, pLength, spec, static_cast<unsigned>(h));
            break;
        }
        case 'S':
        {
            int16_t s;
            memcpy(&s, pBody, 2);
            ok = AppendFormat(pOut, nCapacity, pLength, spec, static_cast<int>(s));
            break;
        }
        case 'B':
            ok = AppendFormat(pOut, nCapacity, pLength, spec, static_cast<unsigned>(*pBody));
            break;
        default:
            memcpy(&u, pBody, 4);
            if (cConv == 'd' || cConv == 'i')
                ok = AppendFormat(pOut, nCapacity, pLength, spec, static_cast<int>(static_cast<int32_t>(u)));
            else
                ok = AppendFormat(pOut, nCapacity, pLength, spec, static_cast<unsigned>(u));
            break;
        }
        if (!ok)
            return 0;
        pBody += KindSize(*pKinds);
    }
    return 1;
}
