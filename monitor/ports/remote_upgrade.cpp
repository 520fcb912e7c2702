#include "monitor/ports/remote_upgrade.h"

#include <algorithm>
#include <cstring>

#include "codec/crc.h"

namespace
{
constexpr uint32_t kLengthField = REMOTE_UPGRADE_FRAME_LEN - 6; // 1440

uint16_t ReadU16Le(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void WriteU16Le(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

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

int RemoteUpgradeImageOpen(REMOTE_UPGRADE_T* pState, const char* pPath,
                           const uint8_t Identity[REMOTE_UPGRADE_IDENTITY_LEN])
{
    std::memset(pState, 0, sizeof(*pState));
    pState->Frame[0] = 0xD3;
    pState->Frame[3] = 0xFF;
    pState->Frame[4] = 0x90;
    pState->Frame[6] = 4;
    std::memcpy(pState->Frame + 8, Identity, REMOTE_UPGRADE_IDENTITY_LEN);
    if (pPath == nullptr || pPath[0] == '\0')
    {
        return REMOTE_UPGRADE_OPEN_FAILED;
    }
    std::FILE* pImage = std::fopen(pPath, "rb");
    if (pImage == nullptr)
    {
        return REMOTE_UPGRADE_OPEN_FAILED;
    }
    long size = -1;
    if (std::fseek(pImage, 0, SEEK_END) == 0)
    {
        size = std::ftell(pImage);
    }
    if (size < 0 || std::fseek(pImage, 0, SEEK_SET) != 0)
    {
        std::fclose(pImage);
        return REMOTE_UPGRADE_OPEN_FAILED;
    }
    const uint64_t chunks = (static_cast<uint64_t>(size) + REMOTE_UPGRADE_CHUNK_LEN) / REMOTE_UPGRADE_CHUNK_LEN;
    if (chunks > REMOTE_UPGRADE_MAX_CHUNKS)
    {
        std::fclose(pImage);
        return REMOTE_UPGRADE_TOO_LARGE;
    }
    pState->Image = pImage;
    pState->ImageSize = static_cast<uint32_t>(size);
    pState->TotalChunks = static_cast<uint32_t>(chunks);
    return 0;
}

const uint8_t* RemoteUpgradeImageNextChunk(REMOTE_UPGRADE_T* pState)
{
    if (pState->Active != 1 || pState->Image == nullptr)
    {
        return nullptr;
    }
    uint8_t* pFrame = pState->Frame;
    const size_t nRead = std::fread(pFrame + REMOTE_UPGRADE_DATA_OFFSET, 1, REMOTE_UPGRADE_CHUNK_LEN, pState->Image);
    pFrame[1] = static_cast<uint8_t>(kLengthField >> 8);
    pFrame[2] = static_cast<uint8_t>(kLengthField);
    pFrame[5] = REMOTE_UPGRADE_IMAGE;
    if (nRead < REMOTE_UPGRADE_CHUNK_LEN)
    {
        std::memset(pFrame + REMOTE_UPGRADE_DATA_OFFSET + nRead, 0, REMOTE_UPGRADE_CHUNK_LEN - nRead);
        std::fclose(pState->Image);
        pState->Image = nullptr;
    }
    ++pState->CurIndex;
    WriteU16Le(pFrame + 16, pState->TotalChunks);
    WriteU16Le(pFrame + 18, pState->CurIndex);
    pFrame[REMOTE_UPGRADE_DATA_OFFSET + REMOTE_UPGRADE_CHUNK_LEN] = 0;
    const uint32_t nCrcLen = REMOTE_UPGRADE_FRAME_LEN - 3;
    const uint32_t crc = Crc24qCompute(pFrame, nCrcLen);
    pFrame[nCrcLen] = static_cast<uint8_t>(crc >> 16);
    pFrame[nCrcLen + 1] = static_cast<uint8_t>(crc >> 8);
    pFrame[nCrcLen + 2] = static_cast<uint8_t>(crc);
    pState->FrameLength = REMOTE_UPGRADE_FRAME_LEN;
    pState->BytesSent += static_cast<uint32_t>(nRead);
    return pFrame;
}

void RemoteUpgradeImageClose(REMOTE_UPGRADE_T* pState)
{
    if (pState->Image != nullptr)
    {
        std::fclose(pState->Image);
        pState->Image = nullptr;
    }
    pState->Active = 0;
}

uint32_t RemoteUpgradePercent(const REMOTE_UPGRADE_T* pState)
{
    if (pState->ImageSize == 0)
    {
        return 100;
    }
    const uint64_t percent = static_cast<uint64_t>(pState->BytesSent) * 100 / pState->ImageSize;
    return percent >= 99 ? 100 : static_cast<uint32_t>(percent);
}

void FormatUpgradeBar(uint32_t Percent, char* pOut, size_t nCapacity)
{
    if (nCapacity == 0)
    {
        return;
    }
    char bar[53];
    const uint32_t nFill = std::min<uint32_t>(Percent, 100) / 2;
    bar[0] = '[';
    std::memset(bar + 1, '=', nFill);
    std::memset(bar + 1 + nFill, ' ', 50 - nFill);
    bar[51] = ']';
    bar[52] = '\0';
    std::snprintf(pOut, nCapacity, "%s", bar);
}

int RemoteUpgradeDecodeMsg(REMOTE_UPGRADE_RESULT_T* pResult, const uint8_t* pFrame, size_t nFrameLen,
                           const uint8_t* pExpectedId, char* pText, size_t nTextCapacity)
{
    if (nFrameLen < 1 || pFrame[0] != 0xD3)
    {
        return -10;
    }
    if (nFrameLen < 7 || pFrame[6] != 4)
    {
        return -20;
    }
    if (((pFrame[3] << 4) | (pFrame[4] >> 4)) != 4089)
    {
        return -30;
    }
    if (nFrameLen < REMOTE_UPGRADE_DATA_OFFSET)
    {
        return -50;
    }
    if (pExpectedId != nullptr && std::memcmp(pFrame + 8, pExpectedId, REMOTE_UPGRADE_IDENTITY_LEN) != 0)
    {
        return -40;
    }
    const size_t nLength = static_cast<size_t>((pFrame[1] << 8) | pFrame[2]);
    if (nFrameLen < nLength + 6 || !Crc24qCheck(pFrame, static_cast<uint32_t>(nLength + 6)))
    {
        return -50;
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
        AppendText(pText, nTextCapacity, &nUsed, kFormats[pFrame[5]], static_cast<int>(index),
                   static_cast<int>(total), static_cast<int>(nBody), reinterpret_cast<const char*>(pBody));
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
