// Firmware upgrade over a TCP connection in RTCM3 message 4089 frames: the
// chunk builder that reads an image file. The frame layout and the decoder of
// received frames are in monitor/parsing/remote_upgrade_msg.h.
#pragma once

#include <cstdio>

#include "monitor/parsing/remote_upgrade_msg.h"

struct REMOTE_UPGRADE_T
{
    uint32_t Active;  // 1 while chunks remain to be sent
    std::FILE* Image; // open image; closed after the last short read
    uint32_t ImageSize;
    uint8_t Frame[REMOTE_UPGRADE_FRAME_LEN];
    uint32_t FrameLength;
    uint32_t BytesSent;   // image bytes put into frames so far
    uint32_t TotalChunks; // (ImageSize + 1422) / 1422
    uint32_t CurIndex;    // index of the last chunk built, from 1
};

// Return codes of RemoteUpgradeImageOpen.
constexpr int REMOTE_UPGRADE_OPEN_FAILED = -1;
constexpr int REMOTE_UPGRADE_TOO_LARGE = -2;

// Clears the state, opens the image (a UTF-8 path) and prepares the frame
// header. 0 success, REMOTE_UPGRADE_OPEN_FAILED when the file cannot be read,
// REMOTE_UPGRADE_TOO_LARGE when its chunks would not fit the 16-bit counters.
// Active is left 0 for the caller to set.
int RemoteUpgradeImageOpen(REMOTE_UPGRADE_T* pState, const char* pPath,
                           const uint8_t Identity[REMOTE_UPGRADE_IDENTITY_LEN]);
// The next chunk frame (FrameLength bytes), or null when no chunk remains.
const uint8_t* RemoteUpgradeImageNextChunk(REMOTE_UPGRADE_T* pState);
void RemoteUpgradeImageClose(REMOTE_UPGRADE_T* pState);
// Percent of the image put into frames: 100 when done or the image is empty.
uint32_t RemoteUpgradePercent(const REMOTE_UPGRADE_T* pState);

// XmodemProgressBar into a caller's buffer: at most nCapacity - 1 characters and a NUL.
void FormatUpgradeBar(uint32_t Percent, char* pOut, size_t nCapacity);
