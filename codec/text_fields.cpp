#include "codec/text_fields.h"

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
