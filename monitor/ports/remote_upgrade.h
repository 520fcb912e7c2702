// Firmware upgrade over a TCP connection in RTCM3 message 4089 frames: the
// chunk builder that reads an image file, and the decoder that explains a
// received 4089 frame as text. Plain C++ without Qt, so that the RTCM3 text
// decoder can call RemoteUpgradeDecodeMsg as well.
//
// Frame (1446 bytes for an image chunk): D3 | 05 A0 (length 1440) | FF 90
// (message 4089) | type | 04 | 00 | 8 identity bytes | total chunks u16 LE |
// chunk index u16 LE | 1422 data bytes | 00 | CRC-24Q of bytes 0..1442, MSB first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr uint32_t REMOTE_UPGRADE_FRAME_LEN = 1446;
constexpr uint32_t REMOTE_UPGRADE_CHUNK_LEN = 1422;
constexpr uint32_t REMOTE_UPGRADE_DATA_OFFSET = 20;
constexpr uint32_t REMOTE_UPGRADE_IDENTITY_LEN = 8;
// The chunk counters are 16-bit.
constexpr uint32_t REMOTE_UPGRADE_MAX_CHUNKS = 0xFFFF;

enum REMOTE_UPGRADE_TYPE_E : uint8_t
{
    REMOTE_UPGRADE_CMD = 0,
    REMOTE_UPGRADE_RESP = 1,
    REMOTE_UPGRADE_INFO = 2,
    REMOTE_UPGRADE_IMAGE = 3,
};

struct REMOTE_UPGRADE_T
{
    uint32_t Active;       // 1 while chunks remain to be sent
    std::FILE* Image;      // open image; closed after the last short read
    uint32_t ImageSize;
    uint8_t Frame[REMOTE_UPGRADE_FRAME_LEN];
    uint32_t FrameLength;
    uint32_t BytesSent;    // image bytes put into frames so far
    uint32_t TotalChunks;  // (ImageSize + 1422) / 1422
    uint32_t CurIndex;     // index of the last chunk built, from 1
};

struct REMOTE_UPGRADE_RESULT_T
{
    uint32_t Type;
    uint32_t Total;
    uint32_t CurIndex;
    uint32_t RecvCount;
    int32_t Err[2];
    uint32_t ImageSize;
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

// The progress bar of upgrade reports: "[", Percent / 2 "=" characters, blanks
// up to 50 places, "]". Writes at most nCapacity - 1 characters and a NUL.
void FormatUpgradeBar(uint32_t Percent, char* pOut, size_t nCapacity);

// Checks and explains one received 4089 frame of nFrameLen bytes. Returns
// -10 (no 0xD3), -20 (byte 6 not 4), -30 (not message 4089), -40 (identity
// differs from pExpectedId), -50 (CRC-24Q wrong, or the frame shorter than its
// length field says), else the length of the text written to pText (at most
// nTextCapacity - 1 bytes, NUL-terminated). pExpectedId and pText may be null.
int RemoteUpgradeDecodeMsg(REMOTE_UPGRADE_RESULT_T* pResult, const uint8_t* pFrame, size_t nFrameLen,
                           const uint8_t* pExpectedId, char* pText, size_t nTextCapacity);
