#include "converter/engine/rinex_readers.h"

#include "codec/text_helpers.h"
#include "converter/engine/rinex_obs_header.h"

char RinexSourceType(const char* pPath, size_t nLength)
{
    if (!pPath || nLength == 0)
        return 0;
    if (nLength >= 7 && StrEqualNoCase(pPath + nLength - 4, ".rnx", 4))
    {
        const char cType = pPath[nLength - 5];
        if (pPath[nLength - 7] != '_')
            return 0;
        if (cType == 'O' || cType == 'o')
            return 'O';
        return cType == 'N' || cType == 'n' ? 'N' : 0;
    }
    const char c = pPath[nLength - 1];
    if (c == 'O' || c == 'o')
        return 'O';
    return NavFileLetterToSystem(c) >= 0 ? c : 0;
}
