// RINEX navigation files (versions 2.10 to 3.05) back to receiver ephemeris
// logs in full text form, written to the engine's current output stream: GPS
// to GPSEPHEM, GLONASS to GLOEPHEMERIS, Galileo to GALEPHEMERIS, BeiDou to
// BDSEPHEMERIS (or BD2EPHEM in the legacy BeiDou numbering), QZSS to
// QZSSEPHEMERIS. The entry point of the job, ConvertRinexNavToLog, is
// declared in rinex_readers.h.
//
// A record is found by its first line (the satellite in the first columns;
// continuation lines open with blanks), so mixed files and records of any
// system are read. Epochs are taken in each system's own time: GPS, Galileo
// and QZSS time as they stand, BeiDou time 14 s behind GPS time, GLONASS
// epochs in UTC (the leap seconds of the header, else the engine's value,
// else the time routines' default). A record whose lines run out is left out.
#pragma once

#include <cstdint>

#include "codec/log_format.h"

enum : uint32_t
{
    RINEX_NAV_MAX_LINES = 8,
    RINEX_NAV_VALUES_PER_LINE = 4,
};

// One navigation record as read: system index, satellite number, the epoch
// (calendar as written) and the values of the epoch line (3) and of the
// broadcast-orbit lines (4 each), in line order.
struct RinexNavRecord
{
    uint32_t nSystem;
    uint32_t nSat;
    uint32_t nLines;
    int32_t aEpoch[5]; // year, month, day, hour, minute
    double dSecond;
    double aValues[RINEX_NAV_MAX_LINES][RINEX_NAV_VALUES_PER_LINE]; // [0] holds the epoch line's three
};

// Reads one 19-character value field (exponent letters D, d, E or e); a blank
// field gives 0. Returns false for text that is no number.
bool ReadRinexDouble(const char* pField, uint32_t nLength, double* pValue);
// The same for an integer field: the value truncated toward zero, negative
// values as 0.
bool ReadRinexInt(const char* pField, uint32_t nLength, uint32_t* pValue);

// The ephemeris log (header and body, no CRC) of a record; nLeapMs is the
// GPS - UTC offset for GLONASS epochs (0: that of the epoch's date, from the
// table of leap seconds), nBdsStyle the BeiDou numbering (2:
// BDSEPHEMERIS, 1: BD2EPHEM). Returns the log length, or 0 when the record
// gives no log (a system without a reader, a time that does not convert).
uint32_t RinexNavRecordToLog(const RinexNavRecord& rec, int32_t nLeapMs, uint32_t nBdsStyle, uint8_t* pOut,
                             uint32_t nCapacity);

// Galileo signal-in-space accuracy index of an accuracy in metres (the
// inverse of the index table; 255: no accuracy predicted).
uint8_t GalileoSisaIndex(double dMetres);

// One navigation record given as text (its lines, each ended by LF) of a
// file of version nVersion (x 100), read into the ephemeris log of its
// system (header and body, no CRC): GPS into GPSEPHEM, GLONASS into
// GLOEPHEMERIS (nLeapMs as for RinexNavRecordToLog), BeiDou into BDSEPHEMERIS
// (ReadRinexBdsNav) or BD2EPHEM (ReadRinexBd2Nav). A RINEX 3 record of
// another system gives none. Returns the log length, or 0 when the record
// gives no log (its lines run out, a field is no number, its time does not
// convert).
uint32_t ReadRinexGpsNav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity);
uint32_t ReadRinexGloNav(const char* pText, uint32_t nLength, int32_t nVersion, int32_t nLeapMs, uint8_t* pOut,
                         uint32_t nCapacity);
uint32_t ReadRinexBdsNav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity);
uint32_t ReadRinexBd2Nav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity);
