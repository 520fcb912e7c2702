// Reading comma-separated body fields of a text log within a given span (the
// text need not be NUL-terminated). A number must fill its whole field, as a
// scanf conversion followed by "," would demand; leading blanks and tabs are
// skipped.
#pragma once

#include <cstdint>

struct TextFieldCursor
{
    const char* pNext; // start of the next field
    const char* pEnd;  // one past the last byte of the span
};

inline TextFieldCursor MakeFieldCursor(const char* pBegin, const char* pEnd) { return TextFieldCursor{pBegin, pEnd}; }

// Takes the next field (up to the next comma or the end of the span). False
// when the span is used up.
bool NextTextField(TextFieldCursor* pCursor, const char** ppField, int32_t* pLength);

// Each gives false for an empty field, trailing characters, a value out of
// range, or a sign on an unsigned value.
bool ParseFieldU32(const char* pField, int32_t nLength, int nBase, uint32_t* pValue);
bool ParseFieldI32(const char* pField, int32_t nLength, int32_t* pValue);
bool ParseFieldF64(const char* pField, int32_t nLength, double* pValue);

// The number readers behind the field parsers, for callers that split their
// text themselves. The number must fill pText[0 .. nLength) exactly: no white
// space before or after it, no NUL in it, at most TEXT_NUMBER_MAX characters.
inline constexpr int32_t TEXT_NUMBER_MAX = 400; // "%.11f" of the largest double takes about 320

// An integer of base nBase (0 or 2 to 36, as strtoull) behind an optional sign
// ("-" only when bSigned), between nMin (0 or below) and uMax, as the bits of
// its 64-bit two's complement. False as well for a value beyond 64 bits.
bool ParseIntegerText(const char* pText, int32_t nLength, int nBase, bool bSigned, int64_t nMin, uint64_t uMax,
                      uint64_t* pBits);
// A number as strtod reads it.
bool ParseRealText(const char* pText, int32_t nLength, double* pValue);
