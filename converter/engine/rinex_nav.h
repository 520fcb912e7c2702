// RINEX navigation files: the header record and its writer, one record
// formatter per ephemeris log (RINEX 2 layout below version 300, RINEX 3 from
// 300) and one writer for them all, the D19.12-style number field they use,
// and the comparison that tells a new GLONASS ephemeris from a repeat.
#pragma once

#include <cstdint>
#include <cstdio>

#include "converter/engine/rinex_obs_header.h"

struct RinexNavHeader
{
    int32_t nVersion; // not used by the writer: the observation header's version holds
    char cFileType;
    char cSystem;
    char szProgram[24];
    char szAgency[24];
    char szDate[26];
    double aIonAlpha[4];
    double aIonBeta[4];
    double dA0;
    double dA1;
    uint32_t nRefTime; // UTC reference time of week, s
    uint32_t nRefWeek;
    int32_t nLeapSeconds;
    int32_t nFutureLeapSeconds;
    int32_t nLeapWeek;
    int32_t nLeapDay;
    int32_t nGpsLeapSeconds; // typed in the navigation header window; printed nowhere
    int32_t nBdsLeapSeconds;
};

// The record a job works with is its context's (CConvertContext::GetRinexNavHeader).

enum : uint32_t
{
    RINEX_NAV_TEXT_CAPACITY = 65536,
};

// One number as RINEX navigation files write it: blanks, the sign or a blank,
// a point, nDigits mantissa digits, the exponent letter and a signed exponent
// of nExpDigits digits, nWidth characters in all (1.5 with 19, 12, 2, 'D':
// "  .150000000000D+01"). A mantissa that rounds up to a power of ten moves
// into the exponent. pOut takes nWidth + 1 bytes. Returns 0, or -1 (pOut
// empty) for a null output, a width not above nDigits + nExpDigits + 4, no
// exponent letter, a value that is not finite or an exponent too wide.
int FormatRinexDouble(double dValue, int nWidth, int nDigits, int nExpDigits, char cExpLetter, char* pOut);

// The header of one navigation file; cSystem is G, R, E, C, J or M. With
// useNavHeader non-zero program and agency come from the navigation header
// window, else from the observation header. Returns the length or -1.
int FormatRinexNavHeader(RinexObsHeader* pObsHeader, const RinexNavHeader* pNavHeader, uint32_t nUseNavHeader,
                         char cSystem, char* pBuffer, uint32_t nCapacity);
// Writes it to the file. Returns 0, or -1 when it could not be written.
int WriteRinexNavHeader(RinexObsHeader* pObsHeader, const RinexNavHeader* pNavHeader, uint32_t nUseNavHeader,
                        char cSystem, FILE* pFile);

// Record formatters: pLog is a binary log (28-byte header, then the body) of
// nLength bytes. Each returns the length of the record text, 0 when the log
// carries no usable record (a Galileo ephemeris without clock), or -1 when
// the log is too short or the text does not fit.
using RinexNavFormatFn = int (*)(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer,
                                 uint32_t nCapacity);
int FormatRinexGpsNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);
int FormatRinexQzssNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);
int FormatRinexGloNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);
int FormatRinexGalNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);
int FormatRinexBdsNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);
int FormatRinexBd2Nav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity);

// Formats one record with one of the formatters and writes it. Returns 0, or
// -1 when the log could not be formatted or written.
int WriteRinexNavRecord(RinexNavFormatFn format, const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
// One record of each ephemeris log written to the file: GPSEPHEM,
// QZSSEPHEMERIS (GPS layout), GLOEPHEMERIS, GALEPHEMERIS, BDSEPHEMERIS and
// BD2EPHEM. Each returns 0, or -1 when the log could not be formatted or
// written; a log without a record to give writes nothing and returns 0.
int WriteRinexGpsNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
int WriteRinexQzssNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
int WriteRinexGloNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
int WriteRinexGalNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
int WriteRinexBdsNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);
int WriteRinexBd2Nav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile);

// Two GLONASS ephemeris logs: 1 when they differ, 0 when they hold the same
// ephemeris (tk and flags are not compared; the doubles within 1e-5).
int CompareEphemeris(const void* pLogA, const void* pLogB);
