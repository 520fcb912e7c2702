// RTCM3 message 4089 as the receivers use it for remote firmware upgrades:
// the frame layout and the decoder that explains one received frame as text.
// The TCP port's upgrade builds these frames; the RTCM3 text decoder shows
// the ones a port receives.
//
// Frame (1446 bytes for an image chunk): D3 | 05 A0 (length 1440) | FF 90
// (message 4089) | type | 04 | 00 | 8 identity bytes | total chunks u16 LE |
// chunk index u16 LE | 1422 data bytes | 00 | CRC-24Q of bytes 0..1442, MSB first.
#pragma once

#include <cstddef>
#include <cstdint>

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

struct REMOTE_UPGRADE_RESULT_T
{
    uint32_t Type;
    uint32_t Total;
    uint32_t CurIndex;
    uint32_t RecvCount;
    int32_t Err[2];
    uint32_t ImageSize;
};

// Why a received frame is not an upgrade frame of this receiver.
enum REMOTE_UPGRADE_DECODE_E : int
{
    REMOTE_UPGRADE_NO_PREAMBLE = -10, // no 0xD3
    REMOTE_UPGRADE_BAD_VERSION = -20, // byte 6 not 4
    REMOTE_UPGRADE_NOT_4089 = -30,    // another message number
    REMOTE_UPGRADE_OTHER_ID = -40,    // the identity differs from the one expected
    REMOTE_UPGRADE_BAD_CRC = -50,     // CRC-24Q wrong, or the frame shorter than its length field says
};

// Checks and explains one received 4089 frame of nFrameLen bytes. Returns a
// REMOTE_UPGRADE_DECODE_E, else the length of the text written to pText (at
// most nTextCapacity - 1 bytes, NUL-terminated). pExpectedId and pText may be
// null.
int RemoteUpgradeDecodeMsg(REMOTE_UPGRADE_RESULT_T* pResult, const uint8_t* pFrame, size_t nFrameLen,
                           const uint8_t* pExpectedId, char* pText, size_t nTextCapacity);
