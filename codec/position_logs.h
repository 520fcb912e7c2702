// Solution logs: the BESTPOS family of positions, velocities, Cartesian XYZ
// solutions, dual-antenna HEADING and HEADING2, position averaging (AVEPOS) and
// the TIME and TIMESYNC clock logs. Per log: the packed binary body, the text
// decoder (full or abbreviated text to a binary record), the text formatter
// (binary record to full or abbreviated text), a comma-separated export of the
// four solution families and the name lookups the decoders use.
//
// Decoders share one signature: (text, length, output, out length). They never
// read at or past the given length, write header + body (28 + body bytes) to
// the output only on success and return 1, else 0. Formatters take a capacity
// and return 1, or 0 when a pointer is null, the header's message length is
// shorter than the body, or the text does not fit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/log_fields.h"
#include "codec/log_format.h"

enum : uint16_t
{
    MSG_ID_BESTPOS = 42,
    MSG_ID_PSRPOS = 47,
    MSG_ID_MATCHEDPOS = 96,
    MSG_ID_BESTVEL = 99,
    MSG_ID_PSRVEL = 100,
    MSG_ID_TIME = 101,
    MSG_ID_RTKPOS = 141,
    MSG_ID_AVEPOS = 172,
    MSG_ID_PSRDOP = 174,
    MSG_ID_RTKVEL = 216,
    MSG_ID_BESTXYZ = 241,
    MSG_ID_BESTXYZ2 = 242,
    MSG_ID_PSRXYZ = 243,
    MSG_ID_RTKXYZ = 244,
    MSG_ID_TIMESYNC = 492,
    MSG_ID_MARKPOS = 615,
    MSG_ID_MARK2POS = 616,
    MSG_ID_RTKDOP = 952,
    MSG_ID_HEADING = 971,
    MSG_ID_HEADING2 = 1335,
    MSG_ID_BESTGNSSPOS = 1429,
    MSG_ID_BESTGNSSVEL = 1430,
    MSG_ID_BESTGNSSXYZ = 1431,
    MSG_ID_PPPPOS = 1538,
    MSG_ID_MATCHEDPOSH = 6006,
    // The monitor's catalogue numbers the mark logs its own way.
    MSG_ID_MARKPOS_MONITOR = 181,
    MSG_ID_MARK2POS_MONITOR = 615,
};

#pragma pack(push, 1)

// Satellite counts, extended status and signal masks that close the position,
// XYZ and BESTUTM bodies.
struct SOLUTION_SATS_T
{
    uint8_t SatsTracked;
    uint8_t SatsInSolution;
    uint8_t SatsL1InSolution;
    uint8_t SatsMultiInSolution;
    uint8_t Reserved;
    uint8_t ExtSolStatus;
    uint8_t GalBdsSignalMask;
    uint8_t GpsGloSignalMask;
};
static_assert(sizeof(SOLUTION_SATS_T) == 8, "solution satellite info");

// BESTPOS, PSRPOS, PPPPOS, RTKPOS, BESTGNSSPOS, BESTPOS2, MATCHEDPOS, MATCHEDPOSH, MARKPOS, MARK2POS.
struct PositionBody
{
    uint32_t SolStatus;
    uint32_t PosType;
    double Latitude;  // degrees
    double Longitude; // degrees
    double Height;    // above mean sea level, m
    float Undulation; // m
    uint32_t DatumId;
    float LatitudeSd;  // m
    float LongitudeSd; // m
    float HeightSd;    // m
    char StationId[4]; // not terminated
    float DiffAge;     // s
    float SolAge;      // s
    SOLUTION_SATS_T Sats;
};
static_assert(sizeof(PositionBody) == 72, "position body");

// BESTVEL, PSRVEL, RTKVEL, PPPVEL, BESTGNSSVEL.
struct VelocityBody
{
    uint32_t SolStatus;
    uint32_t VelType;
    float Latency;          // s
    float Age;              // s
    double HorSpeed;        // m/s
    double TrackOverGround; // degrees
    double VertSpeed;       // m/s
    float Reserved;
};
static_assert(sizeof(VelocityBody) == 44, "velocity body");

// BESTXYZ, PSRXYZ, RTKXYZ, PPPXYZ, BESTGNSSXYZ, BESTXYZ2.
struct XyzBody
{
    uint32_t PosSolStatus;
    uint32_t PosType;
    double X, Y, Z;      // m
    float XSd, YSd, ZSd; // m
    uint32_t VelSolStatus;
    uint32_t VelType;
    double VX, VY, VZ; // m/s
    float VXSd, VYSd, VZSd;
    char StationId[4];
    float VelLatency; // s
    float DiffAge;    // s
    float SolAge;     // s
    SOLUTION_SATS_T Sats;
};
static_assert(sizeof(XyzBody) == 112, "XYZ body");

struct HEADING_SATS_T
{
    uint8_t SatsTracked;
    uint8_t SatsInSolution;
    uint8_t SatsAboveMask;
    uint8_t SatsMultiAboveMask;
    uint8_t SolSource;
    uint8_t ExtSolStatus;
    uint8_t GalBdsSignalMask;
    uint8_t GpsGloSignalMask;
};
static_assert(sizeof(HEADING_SATS_T) == 8, "heading satellite info");

struct HeadingBody
{
    uint32_t SolStatus;
    uint32_t PosType;
    float Length;  // baseline, m
    float Heading; // degrees
    float Pitch;   // degrees
    float Reserved;
    float HeadingSd;
    float PitchSd;
    char StationId[4];
    HEADING_SATS_T Sats;
};
static_assert(sizeof(HeadingBody) == 44, "HEADING body");

struct Heading2Body
{
    uint32_t SolStatus;
    uint32_t PosType;
    float Length;
    float Heading;
    float Pitch;
    float Reserved;
    float HeadingSd;
    float PitchSd;
    char RoverStationId[4];
    char MasterStationId[4];
    HEADING_SATS_T Sats;
};
static_assert(sizeof(Heading2Body) == 48, "HEADING2 body");

struct AvePosBody
{
    double Latitude;  // radians
    double Longitude; // radians
    double Height;    // m
    float LatitudeSd;
    float LongitudeSd;
    float HeightSd;
    uint32_t AveStatus; // 0 off, 1 in progress, 2 complete
    uint32_t AveTime;   // s
    uint32_t Samples;
};
static_assert(sizeof(AvePosBody) == 48, "AVEPOS body");

struct TimeBody
{
    uint32_t ClockStatus;
    double Offset;    // receiver clock offset, s
    double OffsetSd;  // s
    double UtcOffset; // GPS to UTC, s
    uint32_t UtcYear;
    uint8_t UtcMonth;
    uint8_t UtcDay;
    uint8_t UtcHour;
    uint8_t UtcMinute;
    uint32_t UtcMs; // milliseconds of the minute
    uint32_t UtcStatus;
};
static_assert(sizeof(TimeBody) == 44, "TIME body");

struct TimeSyncBody
{
    uint32_t Week;
    uint32_t Ms;
    uint32_t TimeStatus;
};
static_assert(sizeof(TimeSyncBody) == 12, "TIMESYNC body");

// PSRDOP and RTKDOP: five DOP values and the elevation cut-off, then the
// satellites used. The log carries SatCount numbers; this record has room for
// DOP_MAX_SATS of them, as much as the monitor keeps.
inline constexpr uint32_t DOP_MAX_SATS = 64;
struct DopBody
{
    float Gdop;
    float Pdop;
    float Hdop;
    float Htdop;
    float Tdop;
    float CutOff; // degrees
    uint32_t SatCount;
    uint32_t Sats[DOP_MAX_SATS];
};
static_assert(offsetof(DopBody, Sats) == 28 && sizeof(DopBody) == 284, "DOP body");

#pragma pack(pop)

// ---- Enumerations ----

// "VALID" ... "ERROR" for 0-4, else null.
const char* ClockStatusName(uint32_t nStatus);
// "INVALID", "VALID", "WARNING" for 0-2, else null.
const char* UtcStatusName(uint32_t nStatus);
// 1 "INPROGRESS", 2 "COMPLETE", any other "OFF".
const char* AvePosStatusName(uint32_t nStatus);
// Datum name of an ID (87 names in the converter; WGS84, USER, CGCS2000 and
// otherwise "ERROR" in the monitor). Null for an ID past the converter's list.
const char* DatumName(uint32_t nDatumId);
// "PSR", "PPP", "RTK", "BEST", "BESTGNSS" for 0-4, else null.
const char* SolutionPrefix(uint32_t nIndex);
// Position log name of a kind (0 PSRPOS ... 9 MARK2POS; the monitor has no
// BESTPOS2, its kinds 5-8 are MATCHEDPOS ... MARK2POS), else null.
const char* PositionLogName(uint32_t nKind);

// ---- Name lookups (text to value) ----
// A name matches when the text begins with it and the name is followed by the
// end of the text or a field separator (",", "*", ";", blank, CR, LF, quote).

uint32_t SolutionStatusFromName(const char* pText); // 0xFFFFFFFF when none
uint32_t PosTypeFromTableName(const char* pText);   // 0xFFFFFFFF when none
uint32_t PosTypeFromName(const char* pText);        // 0 when none
uint32_t DatumFromName(const char* pText);          // 0xFFFFFFFF when none
uint32_t ClockStatusFromName(const char* pText);    // 0xFFFFFFFF when none
uint32_t UtcStatusFromName(const char* pText);      // 0xFFFFFFFF when none
uint32_t AvePosStatusFromName(const char* pText);   // "OFF" 0, "INPROGRESS" 1, "COMPLETE" 2
// Station ID bytes of a number: 0 gives four zero bytes; below 10000 the first
// four characters of its decimal text, else of its upper-case hex text.
void StationIdText(uint32_t nNumber, char StationId[4]);

// ---- Decoders ----

int DecodePositionText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);
int DecodeVelocityText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);
int DecodeXyzText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);
int DecodeHeadingText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen); // ID always 971
int DecodeTimeText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);

// ---- Formatters ----
// Abbreviated text when the form bits of the header's message type equal the
// profile's abbreviated marker; full text with its CRC trailer otherwise.

int FormatPosition(uint32_t nKind, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                   int32_t* pOutLen);
int FormatVelocity(uint32_t nPrefix, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                   int32_t* pOutLen);
// Prefix 5 writes "BESTXYZ2".
int FormatXyz(uint32_t nPrefix, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
              int32_t* pOutLen);
int FormatHeading(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatHeading2(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatAvePos(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatTime(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatTimeSync(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
// The text of a PSRDOP or RTKDOP record (header and body): the full form with
// its CRC, or the abbreviated form (a header line and one body line, without
// the count) when the message type is the abbreviated marker. Returns 1 and
// the length, or 0 for another message ID, a satellite count the body does not
// hold, or no room.
int FormatDopLog(const uint8_t* pRecord, char* pOut, uint32_t nCapacity, uint32_t* pLength);

// ---- Comma-separated export ----
// One line ended by CR LF from a binary record (header + body, nLength bytes):
// week, seconds of week, receiver status, then the body fields as numbers.

int FormatPositionCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatVelocityCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatXyzCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatHeadingCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen);
// Position of a message ID in the export list (47, 141, 42, 96, 6006, 100, 216,
// 99, 243, 244, 241, 242, 971), or 0xFFFFFFFF.
uint32_t CsvLogIndex(uint32_t nMessageId);
// Decodes a text log of a listed ID and exports it. Returns -1 for an ID not in
// the list, else 0; the output is written only when decoding and export succeed
// (*pOutLen is 0 otherwise).
int SolutionTextToCsv(uint32_t nMessageId, const char* pText, int32_t nLength, char* pOut, int32_t nCapacity,
                      int32_t* pOutLen);

// ---- Binary logs ----

// Header (header-length bytes), message-length bytes of body and their CRC-32.
// Returns 1 with *pOutLen = header + body + 4, or 0 for a null argument, a
// header length other than 28 or an output that does not fit.
int BuildBinaryLog(const BinaryLogHeader* pHeader, const void* pBody, uint8_t* pOut, int32_t nCapacity,
                   int32_t* pOutLen);
// The same with the 12-byte short header and the body length of its byte 3.
int BuildShortBinaryLog(const ShortBinaryLogHeader* pHeader, const void* pBody, uint8_t* pOut, int32_t nCapacity,
                        int32_t* pOutLen);

// Field layouts of the text forms, for the generic routines of codec/log_fields.h.
const LOG_LAYOUT_T& PositionLayout();
const LOG_LAYOUT_T& VelocityLayout();
const LOG_LAYOUT_T& XyzLayout();
const LOG_LAYOUT_T& HeadingLayout();
const LOG_LAYOUT_T& Heading2Layout();
const LOG_LAYOUT_T& AvePosLayout();
const LOG_LAYOUT_T& TimeLayout();
const LOG_LAYOUT_T& TimeSyncLayout();
