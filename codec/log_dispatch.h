// Finding the text decoder of a receiver log by its message ID or its name,
// and decoding a log from any of its forms (full text or binary) with one call.
#pragma once

#include <cstdint>

// Every text decoder: a full text log (CRC checked) to the binary log, header
// and body without CRC. The output must hold a whole binary log
// (LOG_MAX_BINARY_LENGTH bytes); returns 1 and the length, or 0.
using TextDecoderFn = int (*)(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);

// The decoder of a message ID, or null. Where two logs share an ID
// (BDSEPHEMERIS and BD2EPHEM) the ID gives the first; their names tell them apart.
TextDecoderFn TextDecoderForId(uint16_t nMessageId);

// The decoder of a log name without its form suffix ("GPSEPHEM", not
// "GPSEPHEMA"), ignoring case, or null.
TextDecoderFn TextDecoderForName(const char* pName, int32_t nLength);

// Decodes one log given as a full text line ("#NAMEA,...;...*crc", decoded by
// the decoder of its name) or as a long-header binary log of any ID (AA 44 12,
// header, body and a matching CRC; its port address becomes the port code).
// The output must hold LOG_MAX_BINARY_LENGTH bytes; it receives header and
// body. Returns 1 and the length, or 0 for a log name without decoder, another
// form (abbreviated or short) or bad input.
int DecodeLog(const uint8_t* pData, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
