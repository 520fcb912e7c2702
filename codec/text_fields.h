// Reading comma-separated body fields of a text log within a given span (the
// text need not be NUL-terminated). A number must fill its whole field, as a
// scanf conversion followed by "," would demand; leading blanks and tabs are
// skipped.
#pragma once

#include <cstdint>

struct TextFieldCursor
{
    const char* pNext;  // start of the next field
    const char* pEnd;   // one past the last byte of the span
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

// Body fields described by one kind letter each, stored packed in text order:
//   'u' u32 decimal, 'd' i32 decimal, 'x' u32 hexadecimal, 'H' u16 decimal,
//   'S' i16 decimal, 'B' u8 decimal, 'f' f64, 'T' u32 flag written TRUE/FALSE.
constexpr int32_t BodyKindsSize(const char* pKinds)
{
    int32_t n = 0;
    for (; *pKinds; ++pKinds)
        n += (*pKinds == 'f') ? 8 : (*pKinds == 'H' || *pKinds == 'S') ? 2 : (*pKinds == 'B') ? 1 : 4;
    return n;
}

// Reads one field per kind into pBody; false on a missing, empty or bad field.
bool ScanBodyFields(TextFieldCursor* pCursor, const char* pKinds, uint8_t* pBody);
// Appends the fields at pOut + *pLength with the comma-separated printf
// conversions of pFormats (one per kind), separated by cSeparator. Returns 1, or
// 0 when the text does not fit nCapacity (with its NUL).
int PrintBodyFields(char* pOut, uint32_t nCapacity, uint32_t* pLength, const char* pKinds, const char* pFormats,
                    const uint8_t* pBody, char cSeparator);
