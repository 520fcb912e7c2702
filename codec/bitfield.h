// Bit fields of packed binary formats, MSB-first (RTCM3) and LSB-first
// (RANGECMP, RANGECMP4, BINEX), the BINEX unsigned integer, power-of-two
// scaling and a few integer approximations.
//
// Bit position p counts bits from the start of the buffer: MSB-first it is bit
// 7 - p % 8 of byte p / 8 and a field's most significant bit comes first;
// LSB-first it is bit p % 8 and a field's least significant bit comes first.
// Only the bytes that hold the field are read or written.
#pragma once

#include <cstdint>

// Reads a field of 1-64 bits (bUnsigned non-zero: unsigned, else two's
// complement, sign-extended). Returns the low 32 bits of the value; the whole
// value goes to pOut when given. A width outside 1-64 returns 0 and leaves
// pOut untouched.
uint32_t ExtractBitsMsb(const void* pBuffer, uint32_t nPos, uint32_t nWidth, int bUnsigned, uint64_t* pOut = nullptr);
uint32_t ExtractBitsLsb(const void* pBuffer, uint32_t nPos, uint32_t nWidth, int bUnsigned, uint64_t* pOut = nullptr);
// Unsigned MSB-first field, low 32 bits.
uint32_t ExtractBitsMsb32(const void* pBuffer, uint32_t nPos, uint32_t nWidth);

// Writes the low nWidth bits of the value (its (nWidth + 7) / 8 low bytes are
// read, least significant first) so that the matching reader gives them back;
// bits outside the field keep their values. Nothing for a width outside 1-64.
void WriteBitsMsb(void* pBuffer, uint32_t nPos, uint32_t nWidth, const void* pValue);
void WriteBitsLsb(void* pBuffer, uint32_t nPos, uint32_t nWidth, const void* pValue);

// Sign-extends *pValue from bit nWidth - 1; widths 0 and 32 or more leave it.
void SignExtend32(uint32_t* pValue, uint32_t nWidth);

// BINEX ubnxi: 1-4 bytes into pOut (room for 4). Returns the byte count, or 0
// for a value above 2^29 - 1, which the form cannot hold.
uint32_t EncodeBinexUbnxi(uint32_t nValue, uint8_t* pOut);

// i * 2^-n and x * 2^n; exact in the normal range.
double ScaleByPow2(int32_t i, uint32_t n);
double ScaleByPow2Unsigned(uint32_t u, uint32_t n);
double MultiplyByPow2(double x, uint32_t n);
float ScaleByPow2FloatSigned(int32_t i, uint32_t n);
float ScaleByPow2Float(uint32_t u, uint32_t n);

// x * 2^nScale rounded to the nearest integer (halves away from zero), as a
// two's complement value of nWidth (1-32) bits. A value outside the field's
// range prints "Err ExtractInt1 Overflow ..." through DebugPrintf and keeps the
// low nWidth bits of the magnitude.
int32_t ExtractInt1(double x, uint32_t nWidth, int32_t nScale);
// The same in sign-and-magnitude form (bit nWidth - 1 is the sign).
uint32_t ExtractInt2(double x, uint32_t nWidth, int32_t nScale);

uint32_t PopCount32(uint32_t v);
uint32_t PopCount64(uint64_t v);
// Bit k set when decimal digit k (from the units) is not 0.
uint32_t DecimalDigitsToBits(uint32_t v);
// Floor of the square root, for every 32-bit value.
uint16_t IntSqrt(uint32_t v);
// Nearest integers to 100 log10(v) and 1000 log10(v); INT32_MIN for 0.
int32_t Log10Times100(uint32_t v);
int32_t Log10Times1000(uint32_t v);
