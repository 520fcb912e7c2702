#include "monitor/ports/remote_upgrade.h"

#include <cstring>

#include "codec/crc.h"
#include "monitor/ports/xmodem.h"

namespace
{
constexpr uint32_t kLengthField = REMOTE_UPGRADE_FRAME_LEN - 6; // 1440

void WriteU16Le(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
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
    std::snprintf(pOut, nCapacity, "%s", XmodemProgressBar(Percent).c_str());
}
