#include "monitor/parsing/remote_upgrade_msg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "codec/crc.h"

namespace
{
uint16_t ReadU16Le(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Appends formatted text at *pUsed, never past the capacity.
template <typename... Args>
void AppendText(char* pText, size_t nCapacity, size_t* pUsed, const char* pFormat, Args... args)
{
    if (pText == nullptr || nCapacity == 0 || *pUsed + 1 >= nCapacity)
    {
        return;
    }
    const int n = std::snprintf(pText + *pUsed, nCapacity - *pUsed, pFormat, args...);
    if (n > 0)
    {
        *pUsed = std::min(nCapacity - 1, *pUsed + static_cast<size_t>(n));
    }
}
} // namespace

int RemoteUpgradeDecodeMsg(REMOTE_UPGRADE_RESULT_T* pResult, const uint8_t* pFrame, size_t nFrameLen,
                           const uint8_t* pExpectedId, char* pText, size_t nTextCapacity)
{
    if (nFrameLen < 1 || pFrame[0] != 0xD3)
    {
        return REMOTE_UPGRADE_NO_PREAMBLE;
    }
    if (nFrameLen < 7 || pFrame[6] != 4)
    {
        return REMOTE_UPGRADE_BAD_VERSION;
    }
    if (((pFrame[3] << 4) | (pFrame[4] >> 4)) != 4089)
    {
        return REMOTE_UPGRADE_NOT_4089;
    }
    if (nFrameLen < REMOTE_UPGRADE_DATA_OFFSET)
    {
        return REMOTE_UPGRADE_BAD_CRC;
    }
    if (pExpectedId != nullptr && std::memcmp(pFrame + 8, pExpectedId, REMOTE_UPGRADE_IDENTITY_LEN) != 0)
    {
        return REMOTE_UPGRADE_OTHER_ID;
    }
    const size_t nLength = static_cast<size_t>((pFrame[1] << 8) | pFrame[2]);
    if (nFrameLen < nLength + 6 || !Crc24qCheck(pFrame, static_cast<uint32_t>(nLength + 6)))
    {
        return REMOTE_UPGRADE_BAD_CRC;
    }
    pResult->Type = pFrame[5];
    if (pText != nullptr && nTextCapacity > 0)
    {
        pText[0] = '\0';
    }
    size_t nUsed = 0;
    const uint16_t total = ReadU16Le(pFrame + 16);
    const uint16_t index = ReadU16Le(pFrame + 18);
    switch (pFrame[5])
    {
    case REMOTE_UPGRADE_CMD:
    case REMOTE_UPGRADE_RESP:
    case REMOTE_UPGRADE_INFO:
    {
        static const char* const kFormats[] = {"Remo CMD: Sequence:%d Len:%d:%.*s", "RemoRESP: Sequence:%d Len:%d:%.*s",
                                               "RemoINFO: Sequence:%d Len:%d:%.*s"};
        // The text ends at its own length, at a NUL, or at the end of the payload.
        const size_t nPayloadEnd = nLength + 3;
        const size_t nRoom = nPayloadEnd > REMOTE_UPGRADE_DATA_OFFSET ? nPayloadEnd - REMOTE_UPGRADE_DATA_OFFSET : 0;
        const uint8_t* pBody = pFrame + REMOTE_UPGRADE_DATA_OFFSET;
        const size_t nMax = std::min<size_t>(total, nRoom);
        const void* pNul = std::memchr(pBody, 0, nMax);
        const size_t nBody = pNul != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(pNul) - pBody) : nMax;
        AppendText(pText, nTextCapacity, &nUsed, kFormats[pFrame[5]], static_cast<int>(index), static_cast<int>(total),
                   static_cast<int>(nBody), reinterpret_cast<const char*>(pBody));
        break;
    }
    case REMOTE_UPGRADE_IMAGE:
        pResult->Total = total;
        pResult->CurIndex = index;
        if (index == 1)
        {
            pResult->RecvCount = 0;
            pResult->Err[0] = 0;
            pResult->Err[1] = 0;
            pResult->ImageSize = 0;
        }
        ++pResult->RecvCount;
        AppendText(pText, nTextCapacity, &nUsed, "RemoteUp:CurIndex %u, Total %u, ImageSize %u\n",
                   static_cast<unsigned>(index), static_cast<unsigned>(total),
                   static_cast<unsigned>(pResult->ImageSize));
        if (index >= total && pResult->RecvCount == total)
        {
            AppendText(pText, nTextCapacity, &nUsed, "RemoteUp:Upgrade FW size:%d, Recv %d Last Err %d %d\n", 0,
                       static_cast<int>(pResult->RecvCount), static_cast<int>(pResult->Err[0]),
                       static_cast<int>(pResult->Err[1]));
        }
        break;
    default:
        return 0;
    }
    return static_cast<int>(nUsed);
}
