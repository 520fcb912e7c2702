// Finding the text decoder of a receiver log by its message ID or its name,
// and decoding a log from any of its forms with one call. The logs and their
// decoders are the rows of a log registry (codec/log_registry.h) that read
// text (LOG_USE_DECODE); each call takes the codec's own registry unless it is
// given another.
#pragma once

#include <cstdint>

#include "codec/log_registry.h"

// The decoder of a message ID (as the profile's catalogue numbers the logs it
// names), or null. Where two logs share an ID (BDSEPHEMERIS and BD2EPHEM) the
// ID gives the first; their names tell them apart.
TextDecoderFn TextDecoderForId(uint16_t nMessageId, const LOG_REGISTRY_T* pRegistry = nullptr);

// The decoder of a log name without its form suffix ("GPSEPHEM", not
// "GPSEPHEMA"), ignoring case, or null.
TextDecoderFn TextDecoderForName(const char* pName, int32_t nLength, const LOG_REGISTRY_T* pRegistry = nullptr);

// Decodes one log in any of its forms: a text log found by its name (full
// "#NAMEA,...*crc", short "%NAMESA,...*crc" or abbreviated "<NAME ..." with its
// body line, as far as the log's decoder reads that form), or a binary log of
// any ID with a matching CRC (long header AA 44 12, whose port address becomes
// the port code, or short header AA 44 13). The output must hold
// LOG_MAX_BINARY_LENGTH bytes; it receives header and body. Returns 1 and the
// length, or 0 for a name without decoder or bad input.
int DecodeLog(const uint8_t* pData, int32_t nLength, uint8_t* pOut, int32_t* pOutLength,
              const LOG_REGISTRY_T* pRegistry = nullptr);
