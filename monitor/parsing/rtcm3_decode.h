// RTCM3 frames to one readable line each: the message number and size, then
// the few header fields that tell an engineer what a correction stream holds
// (station, epoch, satellites, signals, ephemeris satellite, text messages,
// biases, SSR headers). Observation values are not decoded.
//
// Every field is read from the frame's own payload; a message that announces
// more (masks, strings, satellite blocks) than its payload holds is shown as
// too short instead of being read past its end.
#pragma once

#include <cstdint>

#include "monitor/parsing/remote_upgrade_msg.h"

enum : uint32_t
{
    RTCM3_HEADER_LENGTH = 3, // D3, reserved bits and the 10-bit length
    RTCM3_CRC_LENGTH = 3,
    RTCM3_MAX_PAYLOAD = 1023,
    // Longest line RTCM3Decode writes, CR LF and the NUL behind them included.
    RTCM3_TEXT_MAX = 2048,
    // 1029 text: up to 255 UTF-8 code units and a NUL.
    RTCM3_MESSAGE_TEXT_SIZE = 256,
};

struct RTCM3_DECODE_STATE_T
{
    uint32_t LastMessage;                      // number of the last message decoded; 0xFFFFFFFF before the first
    uint32_t EpochComplete;                    // 1 after an observation message whose multiple-message flag is 0
    char MessageText[RTCM3_MESSAGE_TEXT_SIZE]; // text of the last 1029 message, NUL-terminated
    REMOTE_UPGRADE_RESULT_T Upgrade;           // progress of the 4089 image frames seen
};

void ResetRtcm3State(RTCM3_DECODE_STATE_T* pState);

// Writes the line of one RTCM3 frame (nFrameLength bytes at pFrame) at pOut,
// ended by CR LF and followed by a NUL; *pLength gets the characters written.
// Returns 1, or 0 with nothing written when the frame is not a whole RTCM3
// frame with a good CRC-24Q and a message number, or when nCapacity is below
// RTCM3_TEXT_MAX. bCrcHeld: the caller's framing has already checked the
// frame's CRC-24Q (QRTCMParser does for every frame it takes out), so it is
// not computed a second time.
int RTCM3Decode(RTCM3_DECODE_STATE_T* pState, const uint8_t* pFrame, uint32_t nFrameLength, char* pOut,
                uint32_t nCapacity, uint32_t* pLength, bool bCrcHeld = false);
