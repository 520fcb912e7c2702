// Check values of every format the programs read or write: CRC-32 of receiver
// logs, CRC-24Q of RTCM3 frames, CRC-16 and the XOR byte of BINEX records, and
// MD5 (BINEX records, firmware images). None of the CRCs inverts its register:
// each starts at 0 and returns the final register.
#pragma once

#include <cstdint>

uint32_t Crc32Compute(const void* pData, int32_t nLength);
// Continues a CRC-32 over more bytes (Crc32Compute == Crc32Update(0, ...)).
uint32_t Crc32Update(uint32_t uCrc, const void* pData, int32_t nLength);
int32_t Crc16Compute(const void* pData, int32_t nLength);
uint8_t XorChecksum8(const void* pData, uint8_t nLength);
uint32_t Crc24qCompute(const void* pData, uint32_t nLength);
bool Crc24qCheck(const void* pFrame, uint32_t nLength);
uint32_t Crc24qComputeBits(const void* pWords, uint32_t nBits);
bool Crc24qCheckBits(const void* pWords, uint32_t nBits);

struct MD5_CONTEXT_T
{
    uint32_t State[4];
    uint32_t Count[2]; // message length in bits, low word first
    uint8_t Buffer[64];
};

void Md5Init(MD5_CONTEXT_T* pCtx);
// With bWordSwap set the input is taken as 32-bit words whose bytes are
// reversed; the length must then be a multiple of 4 (returns -1 otherwise).
int Md5Update(MD5_CONTEXT_T* pCtx, const void* pData, uint32_t nLength, uint8_t bWordSwap);
void Md5Final(MD5_CONTEXT_T* pCtx, uint8_t Digest[16], uint8_t bWordSwap);
// One-shot digest; returns 0, or -1 for a word-swapped length that is not a
// whole number of words.
int Md5Digest(const void* pData, uint32_t nLength, uint8_t Digest[16], uint8_t bWordSwap);
