// Small helpers shared by the codec and both programs: bounded formatting and
// scanning into caller buffers, debug output, the debug log file, ASCII
// comparisons, text classification, byte <-> digit text conversions and a few
// numeric helpers. Texts are taken with explicit lengths wherever they may come
// from a receiver; nothing here relies on NUL-termination of such input.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#if defined(__GNUC__)
#define ZV_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#define ZV_SCANF_LIKE(fmt, args) __attribute__((format(scanf, fmt, args)))
#else
#define ZV_PRINTF_LIKE(fmt, args)
#define ZV_SCANF_LIKE(fmt, args)
#endif

// ---- Output and system ----

// printf into pOut, NUL-terminated. Returns the number of characters written,
// or -1 on a formatting error or when the text (with its NUL) does not fit in
// nCapacity bytes; the output is then empty.
int32_t FormatString(char* pOut, size_t nCapacity, const char* pFormat, ...) ZV_PRINTF_LIKE(3, 4);
int32_t FormatStringV(char* pOut, size_t nCapacity, const char* pFormat, va_list Args);

// Appends printf text at pOut + *pLength, keeping a NUL behind it. Returns 1 and
// advances *pLength, or 0 (nothing appended, *pLength unchanged) when it does not fit.
int AppendFormat(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pFormat, ...) ZV_PRINTF_LIKE(4, 5);

// ---- Numbers as text without printf ----
// The long files (RINEX epochs, range logs in text) are mostly numbers; these
// write exactly what printf writes for them, at a fraction of its cost.

// printf's "%*.*f" of dValue, byte for byte (the exact binary value rounded
// to the nearest, a tie to even, negative zero's sign), NUL-terminated;
// printf itself writes what is not finite, 2^63 or more, or has more than 9
// decimals.
// Returns the characters written, or -1 (output empty) when the text and its
// NUL do not fit in nCapacity bytes.
int32_t FormatFixed(char* pOut, size_t nCapacity, double dValue, uint32_t nWidth, uint32_t nDecimals);

// printf's "%*u" (cPad ' ') or "%0*u" (cPad '0') of nValue, NUL-terminated.
// Returns the characters written, or -1 (output empty) when they and the NUL
// do not fit.
int32_t FormatUnsigned(char* pOut, size_t nCapacity, uint32_t nValue, uint32_t nWidth, char cPad);

// Append at pOut + *pLength as AppendFormat does, keeping a NUL behind:
// "%*.*f", "%u" and "%08x". Each returns 1 and advances *pLength, or 0 when
// the text does not fit (nothing appended, *pLength unchanged).
int AppendFixed(char* pOut, uint32_t nCapacity, uint32_t* pLength, double dValue, uint32_t nWidth,
                uint32_t nDecimals);
int AppendUnsigned(char* pOut, uint32_t nCapacity, uint32_t* pLength, uint32_t nValue);
int AppendHex8(char* pOut, uint32_t nCapacity, uint32_t* pLength, uint32_t nValue);
// nCount characters (no NUL among them needed).
int AppendChars(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pText, uint32_t nCount);

// scanf over the first nLength characters of pText (at most SCAN_STRING_MAX of
// them); the text need not be NUL-terminated. Returns the number of fields
// assigned, or -1 when nothing could be read (null text, empty input).
inline constexpr int32_t SCAN_STRING_MAX = 4095;
int ScanString(const char* pText, int32_t nLength, const char* pFormat, ...) ZV_SCANF_LIKE(3, 4);

// printf to the debug print sink, or to standard output while none is set.
void DebugPrintf(const char* pFormat, ...) ZV_PRINTF_LIKE(1, 2);
// Where DebugPrintf (and DebugLogPrintf besides the log file) writes: a
// program sends the codec's traces into its own logging. Null restores
// standard output. Any thread; the sink must be callable from any thread.
using DebugPrintSink = void (*)(const char* pText);
void SetDebugPrintSink(DebugPrintSink pSink);

// Folder under which the program keeps its own files; the program sets it once
// at start-up. Unset, relative names resolve against the working directory.
void SetCodecConfigDir(const char* pDir);
const char* GetCodecConfigDir();
// A file the program keeps for itself, opened for reading ("rb") only when it
// is a regular file; null otherwise. What stands there instead (a FIFO, a
// device) is never waited on.
FILE* OpenRegularFileForReading(const char* pPath);

// Opens "DebugOutput/MoxelinLog.log" under the configuration folder: emptied
// (or created), then kept open for appending and reading. Returns 1, or 0 when
// the file cannot be created (the folder missing) or something other than a
// regular file stands there (never waited on); then no handle is kept.
int OpenDebugLog();
FILE* DebugLogFile();
// Puts what was noted so far into the file, so that it is complete when read.
void FlushDebugLog();
void CloseDebugLog();
// printf to where DebugPrintf writes, and to the debug log while it is
// open; buffered until FlushDebugLog or CloseDebugLog (the converter flushes
// it when each job ends).
void DebugLogPrintf(const char* pFormat, ...) ZV_PRINTF_LIKE(1, 2);

inline constexpr uint32_t LOG_FILE_PATH_MAX = 4096;
inline constexpr uint32_t LOG_FILE_PREFIX_MAX = 32;

struct LOG_FILE_T
{
    char Path[LOG_FILE_PATH_MAX];     // NUL-terminated
    char Prefix[LOG_FILE_PREFIX_MAX]; // NUL-terminated
    uint32_t PrefixLength;
    FILE* pFile;
};

// Opens the record's file (emptied, then for appending) unless it already has a
// handle, and sets PrefixLength from Prefix when that is not empty. Returns 1,
// or 0 when the open fails, something other than a regular file stands at the
// path, or the path is not NUL-terminated.
int OpenLogFile(LOG_FILE_T* pLog);

void SleepMs(uint32_t nMilliseconds);

// ---- Comparison and classification (ASCII only) ----

// 1 when the first n characters are equal ignoring case; stops at a common NUL.
int StrEqualNoCase(const char* pA, const char* pB, size_t n);
// 1 when the NUL-terminated text pA begins with the whole of pB, ignoring case.
int StrStartsWithNoCase(const char* pA, const char* pB);
// 1 when both lengths are equal and the texts are equal over it, ignoring case.
int StrEqualLenNoCase(const char* pA, const char* pB, size_t nLengthA, size_t nLengthB);
int IsAsciiLetter(int c);
// 0-15 for hexadecimal digits; letters G-Z count on as digits 16-35; -1 otherwise.
int32_t HexDigitValue(int c);
// "0"-"9", "A"-"F" for the low four bits of v.
char HexDigitChar(uint32_t v);
int IsBinaryText(const char* pText, int32_t n);
// 0-9, a-f, A-F; "0x" or "0X" may open a text of three or more characters.
int IsHexText(const char* pText, int32_t n);
// A sign or point (when allowed) may open the text; at least one digit is needed.
int IsDecimalText(const char* pText, int32_t n, int bAllowPoint);
int IsInfinite(double d); // 1 for +inf, -1 for -inf, else 0
int IsNaN(double d);

// ---- Bytes <-> digit text ----

// Two upper-case hex characters per byte in array order, then NUL.
// Returns 0, -1 for a null pointer, -2 when 2n + 1 characters do not fit.
int32_t BytesToHex(const void* pBytes, char* pText, size_t nTextCapacity, size_t n);

// Result codes of HexToBytes.
inline constexpr int32_t HEX_TO_BYTES_NULL = -1;
inline constexpr int32_t HEX_TO_BYTES_ODD_LENGTH = -2;
inline constexpr int32_t HEX_TO_BYTES_NO_ROOM = -3;
inline constexpr int32_t HEX_TO_BYTES_BAD_CHAR = -4; // minus the offset of the bad character
// Each pair of hex digits of the first n characters becomes one byte, in text
// order. Returns 0, or HEX_TO_BYTES_BAD_CHAR - offset of the first character
// that is not a hex digit (a 0 byte is then written at the current output
// position), or one of the codes above.
int32_t HexToBytes(const char* pText, void* pBytes, size_t nCapacity, int32_t n);
inline int32_t HexToBytesBadOffset(int32_t nResult) { return HEX_TO_BYTES_BAD_CHAR - nResult; }

// A hex number text ("  0x0001F") into nCapacity bytes, least significant byte
// first. Blanks, tabs, "0x" and leading zeros are skipped; digits stop at the
// first non-digit. Returns 1, or 0 for a number wider than the array or a text
// with neither digits nor skipped zeros.
int HexTextToBytes(const char* pText, int32_t nLength, void* pBytes, size_t nCapacity);
int BinaryTextToBytes(const char* pText, int32_t nLength, void* pBytes, size_t nCapacity);
// The number held in n bytes (least significant first) as hex or binary text,
// most significant byte first, leading zero bytes left out; "0" for zero.
// Returns the character count, or -1 when the text does not fit.
int32_t BytesToHexText(const void* pBytes, size_t n, char* pText, size_t nTextCapacity);
int32_t BytesToBinaryText(const void* pBytes, size_t n, char* pText, size_t nTextCapacity);

// ---- Numbers ----

// pSign gets "-" or "" (2 bytes); whole = integer part of |dValue|; fraction =
// fractional part of |dValue| times nScale, truncated. Returns the fraction.
int64_t SplitSignedFraction(double dValue, int64_t nScale, char* pSign, int64_t* pWhole, int64_t* pFraction);
// part / whole as percent and hundredths of a percent; above 99 % gives 100 and 0.
// A whole of 0 gives 0 and 0. Returns the hundredths.
int32_t PercentWithHundredths(uint32_t nPart, uint32_t nWhole, int32_t* pPercent, int32_t* pHundredths);
// Pointer just behind the first occurrence of the pattern, or null.
const uint8_t* FindBytes(const void* pBuffer, int32_t nLength, const void* pPattern, int32_t nPatternLength);
// Fills n bytes, then writes "ZZZZ" into the last whole 4-byte group of the
// buffer (offsets counted from its start). Returns the end of that group
// (pBuffer + n rounded down to 4), or pBuffer when n < 4 (no guard written).
uint8_t* FillWithGuard(void* pBuffer, uint8_t uByte, size_t n);

// Undulation grid: 181 x 361 values in 1/300 m, row 0 at latitude +90, column 0
// at longitude 0, one per whole degree.
inline constexpr uint32_t GEOID_GRID_ROWS = 181;
inline constexpr uint32_t GEOID_GRID_COLUMNS = 361;
// NaN for a node outside the grid.
double GeoidGridValue(uint32_t nRow, uint32_t nColumn, const int16_t* pGrid);
// Inverse-distance interpolation over the four surrounding nodes, metres.
double GeoidGridInterpolate(double dLatitudeDeg, double dLongitudeDeg, const int16_t* pGrid);
