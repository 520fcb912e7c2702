// The registry of receiver log types: the one place where the codec learns a
// log. A row gives the log's name, its message ID in each program, its text
// decoder, text formatter and binary copier, which parts of the two programs
// take it, and what of its body the monitor's latest-log store keeps. The
// dispatch of codec/log_dispatch.h, the monitor's binary-to-text and
// latest-log store and the converter's log-to-log conversion all read their
// logs from a registry: the codec's own (CodecLogRegistry), or one a caller
// builds, as a test does to add a log type by one row.
//
// The message catalogue (codec/catalogue.h) keeps its own name tables as the
// receivers define them; a test checks that the two agree.
//
// Status convention, as everywhere in the codec: decoders, formatters and
// copiers return 1 (done) or 0 (refused) and report a length through an
// out-parameter; lookups return a row or null.
#pragma once

#include <cstdint>

struct LOG_TYPE_T;

// Text log (full "#NAMEA,...*crc", and where the decoder reads them the short
// "%NAMESA,...*crc" or abbreviated "<NAME ..." forms) to the binary record:
// header and body, no CRC. The output must hold LOG_MAX_BINARY_LENGTH bytes.
using TextDecoderFn = int (*)(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// Record (28-byte long header with the port code, then the body) to text in
// the form its message type asks for (full text with CRC, or abbreviated).
using LogTextFormatterFn = int (*)(const LOG_TYPE_T& Type, const uint8_t* pRecord, int32_t nCapacity, char* pOut,
                                   int32_t* pOutLength);
// Record to a whole binary log as it goes on the wire: the port code mapped to
// its address, a fresh CRC-32 behind the body.
using LogBinaryCopierFn = int (*)(const void* pRecord, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);

// Which parts of the programs take a log type.
enum LOG_TYPE_USE_E : uint32_t
{
    LOG_USE_DECODE = 1u << 0,     // DecodeLog and TextDecoderFor* read its text
    LOG_USE_STORE_TEXT = 1u << 1, // the latest-log store reads the body of its full text
    LOG_USE_SHOW_TEXT = 1u << 2,  // the monitor shows its binary form as text
    LOG_USE_CONVERT = 1u << 3,    // log-to-log conversion writes it as text or binary
    // Its decoder takes the message ID that the program's catalogue gives the
    // name, so a program whose catalogue does not name it cannot read its text.
    LOG_ID_FROM_CATALOGUE = 1u << 4,
};

// What of a body the latest-log store keeps.
enum LOG_BODY_RULE_E : uint8_t
{
    LOG_BODY_NONE = 0,  // nothing: the store only counts the log
    LOG_BODY_FIXED,     // a fixed record: at least MinBody bytes, of which the first KeepBody are kept
    LOG_BODY_DOP,       // DopBody: the satellite count says how many numbers follow the fixed part
    LOG_BODY_RANGE,     // u32 count, then RANGE_OBS_T records
    LOG_BODY_RANGECMP,  // u32 count, then RANGECMP_OBS_T records
    LOG_BODY_RANGECMP4, // u32 byte count, then those bytes
};

struct LOG_TYPE_T
{
    const char* Name;     // upper case, without form suffix
    uint16_t ConverterId; // message ID in the converter (LOG_TYPE_NO_ID: none)
    uint16_t MonitorId;   // message ID in the monitor
    uint32_t Uses;        // LOG_TYPE_USE_E bits
    TextDecoderFn Decode;
    LogTextFormatterFn Format;
    uint32_t FormatArg; // the formatter's argument: the solution prefix of velocity and XYZ logs
    LogBinaryCopierFn Copy;
    LOG_BODY_RULE_E BodyRule;
    uint32_t MinBody;  // the store refuses a shorter body
    uint32_t KeepBody; // LOG_BODY_FIXED: bytes kept; the counted rules: room held from the start
};

struct LOG_REGISTRY_T
{
    const LOG_TYPE_T* Rows;
    uint32_t Count;
};

inline constexpr uint16_t LOG_TYPE_NO_ID = 0xFFFF;

// The codec's own registry.
const LOG_REGISTRY_T& CodecLogRegistry();
// The registry to use: the given one, or the codec's own for null.
inline const LOG_REGISTRY_T& LogRegistryOr(const LOG_REGISTRY_T* pRegistry)
{
    return pRegistry != nullptr ? *pRegistry : CodecLogRegistry();
}

// The message ID of a log type in the program the codec profile selects.
uint16_t LogTypeId(const LOG_TYPE_T& Type);
// The first row that has the message ID in this program and one of the uses
// (nUses 0: any row), in table order; null when none.
const LOG_TYPE_T* FindLogType(const LOG_REGISTRY_T& Registry, uint16_t nMessageId, uint32_t nUses);
// The first row with the name (nLength characters, ignoring case) and one of
// the uses; null when none.
const LOG_TYPE_T* FindLogTypeByName(const LOG_REGISTRY_T& Registry, const char* pName, int32_t nLength, uint32_t nUses);

// A copier for logs without one of their own: the record as a wire log (port
// address, fresh CRC-32), header and body as they stand.
int CopyRecordAsBinaryLog(const void* pRecord, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
