// Receiver log forms: the binary headers (long, 28 bytes, AA 44 12; short,
// 12 bytes, AA 44 13) with the CRC-32 trailer, the full text form
// ("#NAMEA,header;body*crc\r\n"), the abbreviated text form ("<NAME header\r\n"
// then "<\t..." body lines, no CRC) and the short text header ("%NAMESA,week,sec;").
//
// Status convention of the codec, here and in every codec header: decoders,
// formatters, copiers and checks return 1 (done) or 0 (refused) and give what
// they produced, its length included, through out-parameters; lookups return
// the value found or the named NONE or UNKNOWN value of their table; the few
// routines whose results the receivers' formats fix (the splitter's lengths
// and SPLIT_* codes, FillBinaryHeader's 0) say so beside them. Every routine
// honours the input length and the output capacity it is given, and none
// throws, prints or keeps state of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/profile.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "receiver logs are little-endian; records are read in place");

#pragma pack(push, 1)
struct BinaryLogHeader
{
    uint8_t Sync[3];      // AA 44 12
    uint8_t HeaderLength; // 28
    uint16_t MessageId;
    uint8_t MessageType;    // form bits 0x60, short-header mark 0x10, from-RANGEH mark 0x01
    uint8_t Port;           // port code in memory and text, port address on the wire
    uint16_t MessageLength; // body bytes, CRC excluded
    uint16_t Sequence;
    uint8_t IdleTime; // half per cent: the text shows the byte times 0.5
    uint8_t TimeStatus;
    uint16_t Week;
    uint32_t Milliseconds; // of the GPS week
    uint32_t ReceiverStatus;
    uint16_t Reserved;
    uint16_t SoftwareVersion;
};

struct ShortBinaryLogHeader
{
    uint8_t Sync[3];       // AA 44 13
    uint8_t MessageLength; // body bytes
    uint16_t MessageId;
    uint16_t Week;
    uint32_t Milliseconds;
};
#pragma pack(pop)

static_assert(sizeof(BinaryLogHeader) == 28, "long binary header");
static_assert(offsetof(BinaryLogHeader, MessageLength) == 8 && offsetof(BinaryLogHeader, IdleTime) == 12 &&
                  offsetof(BinaryLogHeader, Milliseconds) == 16 && offsetof(BinaryLogHeader, SoftwareVersion) == 26,
              "long binary header layout");
static_assert(sizeof(ShortBinaryLogHeader) == 12, "short binary header");
static_assert(offsetof(ShortBinaryLogHeader, Milliseconds) == 8, "short binary header layout");

inline constexpr uint8_t LOG_SYNC_0 = 0xAA;
inline constexpr uint8_t LOG_SYNC_1 = 0x44;
inline constexpr uint8_t LOG_SYNC_LONG = 0x12;
inline constexpr uint8_t LOG_SYNC_SHORT = 0x13;
inline constexpr uint8_t LOG_FORM_MASK = 0x60;
inline constexpr uint8_t LOG_TYPE_SHORT_HEADER = 0x10;
inline constexpr uint8_t LOG_TYPE_FROM_RANGEH = 0x01;
inline constexpr uint8_t LOG_IDLE_DEFAULT = 0x32; // 25 %

inline constexpr uint32_t LOG_HEADER_LENGTH = 28;
inline constexpr uint32_t SHORT_LOG_HEADER_LENGTH = 12;
inline constexpr uint32_t LOG_CRC_LENGTH = 4;
// Longest whole long-header binary log: header, 65535 body bytes, CRC.
inline constexpr uint32_t LOG_MAX_BINARY_LENGTH = LOG_HEADER_LENGTH + 0xFFFF + LOG_CRC_LENGTH;

// Which text form a message-type byte asks for. The form bits (0x60) decide:
// 0x00 binary, the profile's abbreviated marker (0x40 converter, 0x60 monitor)
// abbreviated, any other value full text. The flag bits 0x10 and 0x01 never
// change the form.
enum LOG_TEXT_FORM_E : int
{
    LOG_TEXT_BINARY = 0,
    LOG_TEXT_FULL = 1,
    LOG_TEXT_ABBREV = 2,
};
LOG_TEXT_FORM_E LogTextForm(uint8_t uMessageType);
inline bool IsAbbrevLogType(uint8_t uMessageType) { return LogTextForm(uMessageType) == LOG_TEXT_ABBREV; }

// ---- Text headers ----

// Writes the full header "#NAMEA,port,seq,idle,time status,week,seconds,
// receiver status,reserved,version;" or, for the abbreviated form, the header
// line "<NAME ...\r\n" (the monitor's line prints idle with six decimals and the
// reserved field in decimal). A time status without a name prints as its
// number. NUL-terminated; *pOutLength gets the characters written (without the
// NUL). Returns 1, or 0 for null arguments or when the text does not fit.
int WriteAsciiHeader(const char* pName, const BinaryLogHeader* pHeader, char* pOut, uint32_t nCapacity,
                     uint32_t* pOutLength);
// The same with "_1" after the name when nSuffix is 1 (a RANGECMP or
// RANGECMP4 log that came from RANGEH).
int WriteAsciiHeaderEx(const char* pName, const BinaryLogHeader* pHeader, int32_t nSuffix, char* pOut,
                       uint32_t nCapacity, uint32_t* pOutLength);

// Parses the full text header at the start of the first nLength characters of
// pText (from "#" up to ";") into a long header: sync AA 44 12, header length
// 28, the given message ID, message type 0, port code by name, idle byte =
// idle value x 2 (rounded), time status by name (or as a number), week,
// milliseconds = seconds x 1000 + 0.5. MessageLength is left untouched for the
// caller. Returns 1, or 0 when the header does not read or a value does not
// fit its field.
int ParseAsciiHeader(const char* pText, int32_t nLength, uint16_t nMessageId, BinaryLogHeader* pHeader);

// Writes "%NAMESA,week,seconds;" of a short header.
int WriteShortAsciiHeader(const char* pName, const ShortBinaryLogHeader* pHeader, char* pOut, uint32_t nCapacity,
                          uint32_t* pOutLength);
// Reads week and seconds behind the first comma of a short text header into a
// short header (sync AA 44 13, the given message ID; MessageLength untouched).
int ParseShortAsciiHeader(const char* pText, int32_t nLength, uint16_t nMessageId, ShortBinaryLogHeader* pHeader);

// ---- Text log CRC ----

// Checks the CRC-32 of a full (or short) text log: the first "*" must be
// followed by eight hexadecimal digits within nLength, and they must equal the
// CRC-32 of the characters from offset 1 up to the "*". Returns 1 and the
// offset of the "*", or 0.
int CheckTextLogCrc(const char* pText, int32_t nLength, uint32_t* pStarOffset = nullptr);

// What every full-text log decoder does first: CRC check, header parse with
// the log's message ID, then the body found behind the first ";". The body is
// pText[*pBodyOffset .. *pBodyOffset + *pBodyLength), ending before the "*".
// Returns 1, or 0 on a null argument, a CRC mismatch, a bad header or no ";".
int OpenTextLog(const char* pText, int32_t nLength, uint16_t nMessageId, BinaryLogHeader* pHeader,
                uint32_t* pBodyOffset, uint32_t* pBodyLength);

// Appends the trailer "*%08x\r\n" with the CRC-32 of pText[1 .. end). With
// bReplaceLastComma a trailing "," is overwritten by the "*" (and left out of
// the CRC). Returns 1, or 0 (nothing changed) when it does not fit.
int AppendTextLogCrc(char* pText, uint32_t nCapacity, uint32_t* pLength, int bReplaceLastComma);

// ---- Binary headers and copies ----

// Sets sync AA 44 12, header length 28, message ID, type, port, message length,
// receiver status and the idle byte 0x32; other fields keep their values.
// Returns 0 (-1 for a null record).
int FillBinaryHeader(uint16_t nMessageId, uint8_t uMessageType, uint16_t nMessageLength, uint8_t uPort,
                     uint32_t uReceiverStatus, BinaryLogHeader* pHeader);
// Sets sync AA 44 13, length, ID, week and milliseconds. Returns 0 (-1 for null).
int FillShortBinaryHeader(uint16_t nMessageId, uint8_t nMessageLength, uint16_t nWeek, uint32_t nMilliseconds,
                          ShortBinaryLogHeader* pHeader);

// Checks a whole binary log (header, body, CRC-32) of which nAvailable bytes
// are at pLog, and copies header and body without the CRC. Returns 1 and the
// copied length, or 0: null pointers, a header length other than 28, fewer
// than header + body + 4 bytes available, a CRC mismatch, or no room.
int CopyBinaryLog(const void* pLog, int32_t nAvailable, void* pOut, int32_t nCapacity, uint32_t* pOutLength);
// The same for a short-header log (12 + body + 4 bytes).
int CopyShortBinaryLog(const void* pLog, int32_t nAvailable, void* pOut, int32_t nCapacity, uint32_t* pOutLength);

// Copies a long-header log record (header + body, as held in memory) and
// appends its CRC-32. The port byte is copied as it stands. Returns 1 and the
// length (header + body + 4), or 0 for null pointers, a header length other
// than 28 or no room.
int AppendLogCrc(const void* pRecord, int32_t nCapacity, void* pOut, uint32_t* pOutLength);

inline constexpr int32_t LOG_KEEP_MESSAGE_ID = -1;
// Re-emits a log record held in memory as a wire log: the copy's port byte
// becomes PortCodeToAddress of the record's port code, its message ID becomes
// nMessageId unless that is LOG_KEEP_MESSAGE_ID, and a fresh CRC-32 follows.
// The record itself is not changed. Returns 1 and the length, or 0 as AppendLogCrc.
int CopyBinaryLogToWire(const void* pRecord, int32_t nCapacity, void* pOut, uint32_t* pOutLength,
                        int32_t nMessageId = LOG_KEEP_MESSAGE_ID);

// ---- Splitting a byte stream ----

inline constexpr int32_t LOG_FRAME_BINARY = 0;  // kind of a binary log
inline constexpr int32_t LOG_FRAME_HASH = 32;   // a text line opened by "#"
inline constexpr int32_t LOG_FRAME_DOLLAR = 64; // a text line opened by "$"
inline constexpr int32_t SPLIT_NEED_MORE = 0;
inline constexpr int32_t SPLIT_BAD_ARGUMENT = -1;
inline constexpr int32_t SPLIT_DISCARDED = -2;

// Takes the first complete unit out of pBuffer[0 .. *pRemaining):
// - a text line opened by "#" or "$" through its LF (CR LF or bare LF); a new
//   "#" or "$" inside an open line breaks it (SPLIT_DISCARDED, the broken part
//   copied out), except in a line that begins with "#PASSCOM"; a line that
//   reaches nCapacity bytes without an end is broken there the same way; a
//   line end without an open line is consumed with SPLIT_DISCARDED and no output;
// - a long-header binary log (AA 44 12, header length 28) with its CRC,
//   unchecked; bytes before it are dropped. One larger than nCapacity has its
//   sync bytes consumed and gives SPLIT_DISCARDED.
// Returns the unit's length (also in *pOutLength, kind in *pKind),
// SPLIT_NEED_MORE (nothing consumed) or a negative code. Consumed bytes are
// those before *ppNext; *pRemaining is reduced by their count.
int32_t SplitLogFrame(const uint8_t* pBuffer, int32_t* pRemaining, const uint8_t** ppNext, uint8_t* pOut,
                      int32_t nCapacity, int32_t* pOutLength, int32_t* pKind);
