// Binary receiver logs, as the framer takes them out of a port's stream, to
// their text form: the log record the codec's formatters take (long header
// with the port code, body behind it), then the formatter of the log's
// message ID writes full or abbreviated text. Only the logs the registry
// marks as shown have a text form (position, velocity, XYZ, time, heading,
// DOP, INS, IMU and range logs); one of those whose body its formatter
// refuses gets one line with its ID and length.
#pragma once

#include <cstdint>

#include "codec/log_format.h"
#include "codec/log_registry.h"

enum : uint32_t
{
    // Longest text written for one log, its NUL included; a log whose text
    // would be longer is shown by its ID and length.
    LOG_TEXT_MAX = 262144,
    // Room a record needs: a long header and the longest body.
    LOG_RECORD_MAX = LOG_HEADER_LENGTH + 0xFFFF,
};

// Turns a whole binary log frame (AA 44 12 with its 28-byte header, or a
// short-header log AA 44 13; body; CRC-32, which the framer has checked) into
// a record at pRecord: a 28-byte header followed by the body. A short header
// becomes a long one with its sync bytes (AA 44 13) kept, header length 28,
// message ID, body length, week and milliseconds; other fields are 0. The
// port address becomes the port code. Returns 1 and the record length, or 0
// when the frame is not such a log or its lengths disagree.
int BinaryLogToRecord(const uint8_t* pFrame, uint32_t nFrameLength, uint8_t* pRecord, uint32_t nCapacity,
                      uint32_t* pRecordLength);

// Writes the text of a record from BinaryLogToRecord at pOut (NUL-terminated)
// and returns the characters written. The record's message type is set to
// the text form first: bit 0x20 is added, so that a binary log gives full text
// and one marked 0x40 the abbreviated text; a short-header log and RAWIMUSX
// take the short text form. The formatter is that of the log's row in the
// registry (the codec's own when null) that the monitor shows as text.
// Returns 0 (nothing written) for a log without a text form, or when not even
// the line of ID and length fits nCapacity.
uint32_t BinaryRecordToText(uint8_t* pRecord, char* pOut, uint32_t nCapacity,
                            const LOG_REGISTRY_T* pRegistry = nullptr);
