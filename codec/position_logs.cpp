#include "codec/position_logs.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/log_fields.h"
#include "codec/profile.h"
#include "codec/text_helpers.h"

namespace
{
// ---- Layouts of the text forms ----

// The satellite counts are decimal; the reserved byte is hexadecimal in the
// full form and decimal in the abbreviated one, and is read back the same way.
#define ZV_SAT_INFO(Body)                                                                                              \
    ZV_NUM(Body, Sats.SatsTracked, FIELD_U8, "%d"), ZV_NUM(Body, Sats.SatsInSolution, FIELD_U8, "%d"),                 \
        ZV_NUM(Body, Sats.SatsL1InSolution, FIELD_U8, "%d"), ZV_NUM(Body, Sats.SatsMultiInSolution, FIELD_U8, "%d")

const LOG_FIELD_T kPositionFields[] = {
    ZV_NAME(PositionBody, SolStatus, NAMES_SOLUTION_STATUS),
    ZV_NAME(PositionBody, PosType, NAMES_POSITION_TYPE),
    ZV_NUM(PositionBody, Latitude, FIELD_F64, "%.11lf"),
    ZV_NUM(PositionBody, Longitude, FIELD_F64, "%.11lf"),
    ZV_NUM(PositionBody, Height, FIELD_F64, "%.4lf"),
    ZV_NUM(PositionBody, Undulation, FIELD_F32, "%.4f"),
    ZV_NAME(PositionBody, DatumId, NAMES_DATUM),
    ZV_NUM(PositionBody, LatitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, LongitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, HeightSd, FIELD_F32, "%.4f"),
    ZV_STATION(PositionBody, StationId),
    ZV_NUM(PositionBody, DiffAge, FIELD_F32, "%.3f"),
    ZV_NUM(PositionBody, SolAge, FIELD_F32, "%.3f"),
    ZV_SAT_INFO(PositionBody),
    ZV_FIELD(PositionBody, Sats.Reserved, FIELD_U8, NAMES_NONE, "%02x", "%d"),
    ZV_NUM(PositionBody, Sats.ExtSolStatus, FIELD_U8, "%02x"),
    ZV_FIELD(PositionBody, Sats.GalBdsSignalMask, FIELD_U8, NAMES_NONE, "%02x", "%x"),
    ZV_NUM(PositionBody, Sats.GpsGloSignalMask, FIELD_U8, "%02x"),
};

const LOG_FIELD_T kVelocityFields[] = {
    ZV_NAME(VelocityBody, SolStatus, NAMES_SOLUTION_STATUS), ZV_NAME(VelocityBody, VelType, NAMES_POSITION_TYPE),
    ZV_NUM(VelocityBody, Latency, FIELD_F32, "%.3f"),        ZV_NUM(VelocityBody, Age, FIELD_F32, "%.3f"),
    ZV_NUM(VelocityBody, HorSpeed, FIELD_F64, "%.4lf"),      ZV_NUM(VelocityBody, TrackOverGround, FIELD_F64, "%.6lf"),
    ZV_NUM(VelocityBody, VertSpeed, FIELD_F64, "%.4lf"),     ZV_NUM(VelocityBody, Reserved, FIELD_F32, "%.1f"),
};

const LOG_FIELD_T kXyzFields[] = {
    ZV_NAME(XyzBody, PosSolStatus, NAMES_SOLUTION_STATUS),
    ZV_NAME(XyzBody, PosType, NAMES_POSITION_TYPE),
    ZV_NUM(XyzBody, X, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, Y, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, Z, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, XSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, YSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, ZSd, FIELD_F32, "%.4f"),
    ZV_NAME(XyzBody, VelSolStatus, NAMES_SOLUTION_STATUS),
    ZV_NAME(XyzBody, VelType, NAMES_POSITION_TYPE),
    ZV_NUM(XyzBody, VX, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, VY, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, VZ, FIELD_F64, "%.4lf"),
    ZV_NUM(XyzBody, VXSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VYSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VZSd, FIELD_F32, "%.4f"),
    ZV_STATION(XyzBody, StationId),
    ZV_NUM(XyzBody, VelLatency, FIELD_F32, "%.3f"),
    ZV_NUM(XyzBody, DiffAge, FIELD_F32, "%.3f"),
    ZV_NUM(XyzBody, SolAge, FIELD_F32, "%.3f"),
    ZV_SAT_INFO(XyzBody),
    ZV_NUM(XyzBody, Sats.Reserved, FIELD_U8, "%d"),
    ZV_NUM(XyzBody, Sats.ExtSolStatus, FIELD_U8, "%02x"),
    ZV_FIELD(XyzBody, Sats.GalBdsSignalMask, FIELD_U8, NAMES_NONE, "%02x", "%x"),
    ZV_NUM(XyzBody, Sats.GpsGloSignalMask, FIELD_U8, "%02x"),
};

#define ZV_HEADING_TAIL(Body)                                                                                          \
    ZV_FIELD(Body, Sats.SatsTracked, FIELD_U8, NAMES_NONE, "%u", "%d"),                                                \
        ZV_FIELD(Body, Sats.SatsInSolution, FIELD_U8, NAMES_NONE, "%u", "%d"),                                         \
        ZV_FIELD(Body, Sats.SatsAboveMask, FIELD_U8, NAMES_NONE, "%u", "%d"),                                          \
        ZV_FIELD(Body, Sats.SatsMultiAboveMask, FIELD_U8, NAMES_NONE, "%u", "%d"),                                     \
        ZV_NUM(Body, Sats.SolSource, FIELD_U8, "%x"), ZV_NUM(Body, Sats.ExtSolStatus, FIELD_U8, "%x"),                 \
        ZV_NUM(Body, Sats.GalBdsSignalMask, FIELD_U8, "%x"), ZV_NUM(Body, Sats.GpsGloSignalMask, FIELD_U8, "%x")

#define ZV_HEADING_HEAD(Body)                                                                                          \
    ZV_NAME(Body, SolStatus, NAMES_SOLUTION_STATUS), ZV_NAME(Body, PosType, NAMES_POSITION_TYPE),                      \
        ZV_NUM(Body, Length, FIELD_F32, "%.4f"), ZV_NUM(Body, Heading, FIELD_F32, "%.4f"),                             \
        ZV_NUM(Body, Pitch, FIELD_F32, "%.4f"), ZV_NUM(Body, Reserved, FIELD_F32, "%.4f"),                             \
        ZV_NUM(Body, HeadingSd, FIELD_F32, "%.4f"), ZV_NUM(Body, PitchSd, FIELD_F32, "%.4f")

const LOG_FIELD_T kHeadingFields[] = {
    ZV_HEADING_HEAD(HeadingBody),
    ZV_STATION(HeadingBody, StationId),
    ZV_HEADING_TAIL(HeadingBody),
};

const LOG_FIELD_T kHeading2Fields[] = {
    ZV_HEADING_HEAD(Heading2Body),
    ZV_STATION(Heading2Body, RoverStationId),
    ZV_STATION(Heading2Body, MasterStationId),
    ZV_HEADING_TAIL(Heading2Body),
};

const LOG_FIELD_T kAvePosFields[] = {
    ZV_NUM(AvePosBody, Latitude, FIELD_F64_RAD, "%.11f"), ZV_NUM(AvePosBody, Longitude, FIELD_F64_RAD, "%.11f"),
    ZV_NUM(AvePosBody, Height, FIELD_F64, "%.4f"),        ZV_NUM(AvePosBody, LatitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(AvePosBody, LongitudeSd, FIELD_F32, "%.4f"),   ZV_NUM(AvePosBody, HeightSd, FIELD_F32, "%.4f"),
    ZV_NAME(AvePosBody, AveStatus, NAMES_AVEPOS_STATUS),  ZV_NUM(AvePosBody, AveTime, FIELD_U32, "%u"),
    ZV_NUM(AvePosBody, Samples, FIELD_U32, "%u"),
};

// Year and milliseconds are unsigned 32-bit: written with "%u", which gives the
// same text as the receiver's "%ld"/"%d" for every value a clock can hold.
const LOG_FIELD_T kTimeFields[] = {
    ZV_NAME(TimeBody, ClockStatus, NAMES_CLOCK_STATUS),
    ZV_NUM(TimeBody, Offset, FIELD_F64, "%.9e"),
    ZV_NUM(TimeBody, OffsetSd, FIELD_F64, "%.9e"),
    ZV_FIELD(TimeBody, UtcOffset, FIELD_F64, NAMES_NONE, "%.11f", "%.11lf"),
    ZV_NUM(TimeBody, UtcYear, FIELD_U32, "%u"),
    ZV_NUM(TimeBody, UtcMonth, FIELD_U8, "%d"),
    ZV_NUM(TimeBody, UtcDay, FIELD_U8, "%d"),
    ZV_NUM(TimeBody, UtcHour, FIELD_U8, "%d"),
    ZV_NUM(TimeBody, UtcMinute, FIELD_U8, "%d"),
    ZV_NUM(TimeBody, UtcMs, FIELD_U32, "%u"),
    ZV_NAME(TimeBody, UtcStatus, NAMES_UTC_STATUS),
};

const LOG_FIELD_T kTimeSyncFields[] = {
    ZV_NUM(TimeSyncBody, Week, FIELD_U32, "%u"),
    ZV_NUM(TimeSyncBody, Ms, FIELD_U32, "%u"),
    ZV_NAME(TimeSyncBody, TimeStatus, NAMES_TIME_STATUS),
};

const LOG_LAYOUT_T kPositionLayout = ZV_LAYOUT(kPositionFields, PositionBody, ' ');
const LOG_LAYOUT_T kVelocityLayout = ZV_LAYOUT(kVelocityFields, VelocityBody, ' ');
// The abbreviated XYZ line keeps the commas of the full form.
const LOG_LAYOUT_T kXyzLayout = ZV_LAYOUT(kXyzFields, XyzBody, ',');
const LOG_LAYOUT_T kHeadingLayout = ZV_LAYOUT(kHeadingFields, HeadingBody, ' ');
const LOG_LAYOUT_T kHeading2Layout = ZV_LAYOUT(kHeading2Fields, Heading2Body, ' ');
const LOG_LAYOUT_T kAvePosLayout = ZV_LAYOUT(kAvePosFields, AvePosBody, ' ');
const LOG_LAYOUT_T kTimeLayout = ZV_LAYOUT(kTimeFields, TimeBody, ' ');
const LOG_LAYOUT_T kTimeSyncLayout = ZV_LAYOUT(kTimeSyncFields, TimeSyncBody, ' ');

// ---- Comma-separated export: every field as a number, no station IDs except
// the position's, which is one unsigned 32-bit number ----

const LOG_FIELD_T kPositionCsv[] = {
    ZV_NUM(PositionBody, SolStatus, FIELD_U32, "%u"),
    ZV_NUM(PositionBody, PosType, FIELD_U32, "%u"),
    ZV_NUM(PositionBody, Latitude, FIELD_F64, "%.11f"),
    ZV_NUM(PositionBody, Longitude, FIELD_F64, "%.11f"),
    ZV_NUM(PositionBody, Height, FIELD_F64, "%.4f"),
    ZV_NUM(PositionBody, Undulation, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, DatumId, FIELD_U32, "%u"),
    ZV_NUM(PositionBody, LatitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, LongitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, HeightSd, FIELD_F32, "%.4f"),
    ZV_NUM(PositionBody, StationId, FIELD_U32, "%u"),
    ZV_NUM(PositionBody, DiffAge, FIELD_F32, "%.3f"),
    ZV_NUM(PositionBody, SolAge, FIELD_F32, "%.3f"),
    ZV_SAT_INFO(PositionBody),
    ZV_NUM(PositionBody, Sats.Reserved, FIELD_U8, "%d"),
    ZV_NUM(PositionBody, Sats.ExtSolStatus, FIELD_U8, "%u"),
    ZV_NUM(PositionBody, Sats.GalBdsSignalMask, FIELD_U8, "%u"),
    ZV_NUM(PositionBody, Sats.GpsGloSignalMask, FIELD_U8, "%u"),
};

const LOG_FIELD_T kVelocityCsv[] = {
    ZV_NUM(VelocityBody, SolStatus, FIELD_U32, "%u"),    ZV_NUM(VelocityBody, VelType, FIELD_U32, "%u"),
    ZV_NUM(VelocityBody, Latency, FIELD_F32, "%.4f"),    ZV_NUM(VelocityBody, Age, FIELD_F32, "%.4f"),
    ZV_NUM(VelocityBody, HorSpeed, FIELD_F64, "%.11f"),  ZV_NUM(VelocityBody, TrackOverGround, FIELD_F64, "%.11f"),
    ZV_NUM(VelocityBody, VertSpeed, FIELD_F64, "%.11f"), ZV_NUM(VelocityBody, Reserved, FIELD_F32, "%.4f"),
};

const LOG_FIELD_T kXyzCsv[] = {
    ZV_NUM(XyzBody, PosSolStatus, FIELD_U32, "%u"),
    ZV_NUM(XyzBody, PosType, FIELD_U32, "%u"),
    ZV_NUM(XyzBody, X, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, Y, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, Z, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, XSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, YSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, ZSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VelSolStatus, FIELD_U32, "%u"),
    ZV_NUM(XyzBody, VelType, FIELD_U32, "%u"),
    ZV_NUM(XyzBody, VX, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, VY, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, VZ, FIELD_F64, "%.11f"),
    ZV_NUM(XyzBody, VXSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VYSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VZSd, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, VelLatency, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, DiffAge, FIELD_F32, "%.4f"),
    ZV_NUM(XyzBody, SolAge, FIELD_F32, "%.4f"),
    ZV_SAT_INFO(XyzBody),
    ZV_NUM(XyzBody, Sats.Reserved, FIELD_U8, "%d"),
    ZV_NUM(XyzBody, Sats.ExtSolStatus, FIELD_U8, "%x"),
    ZV_NUM(XyzBody, Sats.GalBdsSignalMask, FIELD_U8, "%x"),
    ZV_NUM(XyzBody, Sats.GpsGloSignalMask, FIELD_U8, "%x"),
};

const LOG_FIELD_T kHeadingCsv[] = {
    ZV_NUM(HeadingBody, SolStatus, FIELD_U32, "%u"),
    ZV_NUM(HeadingBody, PosType, FIELD_U32, "%u"),
    ZV_NUM(HeadingBody, Length, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, Heading, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, Pitch, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, Reserved, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, HeadingSd, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, PitchSd, FIELD_F32, "%.4f"),
    ZV_NUM(HeadingBody, Sats.SatsTracked, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.SatsInSolution, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.SatsAboveMask, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.SatsMultiAboveMask, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.SolSource, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.ExtSolStatus, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.GalBdsSignalMask, FIELD_U8, "%u"),
    ZV_NUM(HeadingBody, Sats.GpsGloSignalMask, FIELD_U8, "%u"),
};

const LOG_LAYOUT_T kPositionCsvLayout = ZV_LAYOUT(kPositionCsv, PositionBody, ',');
const LOG_LAYOUT_T kVelocityCsvLayout = ZV_LAYOUT(kVelocityCsv, VelocityBody, ',');
const LOG_LAYOUT_T kXyzCsvLayout = ZV_LAYOUT(kXyzCsv, XyzBody, ',');
const LOG_LAYOUT_T kHeadingCsvLayout = ZV_LAYOUT(kHeadingCsv, HeadingBody, ',');

// ---- Name tables ----

const char* const kDatumNames[] = {
    "ERROR", "ADIND",  "ARC50", "ARC60", "AGD66",  "AGD84",  "BUKIT", "ASTRO",  "CHATM",  "CARTH", "CAPE",
    "DJAKA", "EGYPT",  "ED50",  "ED79",  "GUNSG",  "GEO49",  "GRB36", "GUAM",   "HAWAII", "KAUAI", "MAUI",
    "OAHU",  "HERAT",  "HJORS", "HONGK", "HUTZU",  "INDIA",  "IRE65", "KERTA",  "KANDA",  "LIBER", "LUZON",
    "MINDA", "MERCH",  "NAHR",  "NAD83", "CANADA", "ALASKA", "NAD27", "CARIBB", "MEXICO", "CAMER", "MINNA",
    "OMAN",  "PUERTO", "QORNO", "ROME",  "CHUA",   "SAM56",  "SAM69", "CAMPO",  "SACOR",  "YACAR", "TANAN",
    "TIMBA", "TOKYO",  "TRIST", "VITI",  "WAK60",  "WGS72",  "WGS84", "ZANDE",  "USER",   "CSRS",  "ADIM",
    "ARSM",  "ENW",    "HTN",   "INDB",  "INDI",   "IRL",    "LUZA",  "LUZB",   "NAHC",   "NASP",  "OGBM",
    "OHAA",  "OHAB",   "OHAC",  "OHAD",  "OHIA",   "OHIB",   "OHIC",  "OHID",   "TIL",    "TOYM",
};
static_assert(sizeof(kDatumNames) / sizeof(kDatumNames[0]) == 87, "datum list");

const CODE_NAME_ROW_T kMonitorDatums[] = {{0, "ERROR"}, {61, "WGS84"}, {63, "USER"}, {100, "CGCS2000"}};

const char* const kClockStatusNames[] = {"VALID", "CONVERGING", "ITERATING", "INVALID", "ERROR"};
const char* const kUtcStatusNames[] = {"INVALID", "VALID", "WARNING"};
const char* const kSolutionPrefixes[] = {"PSR", "PPP", "RTK", "BEST", "BESTGNSS"};
const char* const kPositionLogNames[] = {"PSRPOS",   "PPPPOS",     "RTKPOS",      "BESTPOS", "BESTGNSSPOS",
                                         "BESTPOS2", "MATCHEDPOS", "MATCHEDPOSH", "MARKPOS", "MARK2POS"};
const char* const kMonitorPositionLogNames[] = {"PSRPOS",     "PPPPOS",      "RTKPOS",  "BESTPOS", "BESTGNSSPOS",
                                                "MATCHEDPOS", "MATCHEDPOSH", "MARKPOS", "MARK2POS"};

template <size_t N> const char* NameAt(const char* const (&Names)[N], uint32_t nIndex)
{
    return nIndex < N ? Names[nIndex] : nullptr;
}

// Index of the first name in pNames that the text begins with.
uint32_t FindName(const char* const* pNames, uint32_t nCount, const char* pText)
{
    for (uint32_t i = 0; i < nCount; ++i)
        if (TextIsName(pText, pNames[i]))
            return i;
    return 0xFFFFFFFFu;
}

uint32_t FindCode(CODE_NAME_TABLE_T Table, const char* pText)
{
    for (uint32_t i = 0; i < Table.Count; ++i)
        if (TextIsName(pText, Table.Rows[i].Name))
            return Table.Rows[i].Code;
    return 0xFFFFFFFFu;
}

int FormatCsv(const LOG_LAYOUT_T& Layout, const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity,
              int32_t* pOutLen)
{
    if (!pRecord || !pOut || !pOutLen || nCapacity <= 0 ||
        nLength < static_cast<int32_t>(sizeof(BinaryLogHeader) + Layout.nBodyLength))
        return 0;
    BinaryLogHeader Header;
    std::memcpy(&Header, pRecord, sizeof(Header));
    uint32_t nLen = 0;
    if (!AppendFormat(pOut, static_cast<uint32_t>(nCapacity), &nLen, "%u,%.3lf,%08u,", Header.Week,
                      Header.Milliseconds / 1000.0, Header.ReceiverStatus) ||
        !AppendLogBody(Layout, pRecord + sizeof(Header), FIELD_FORM_CSV, pOut, static_cast<uint32_t>(nCapacity), &nLen))
        return 0;
    *pOutLen = static_cast<int32_t>(nLen);
    return 1;
}
}

// ---- Enumerations ----

const char* ClockStatusName(uint32_t nStatus) { return NameAt(kClockStatusNames, nStatus); }

const char* UtcStatusName(uint32_t nStatus) { return NameAt(kUtcStatusNames, nStatus); }

const char* AvePosStatusName(uint32_t nStatus)
{
    return nStatus == 1 ? "INPROGRESS" : nStatus == 2 ? "COMPLETE" : "OFF";
}

const char* DatumName(uint32_t nDatumId)
{
    if (IsMonitorProfile())
    {
        const char* psz = CodeToName(CODE_NAME_TABLE_T{kMonitorDatums, 4}, nDatumId);
        return psz ? psz : "ERROR";
    }
    return NameAt(kDatumNames, nDatumId);
}

const char* SolutionPrefix(uint32_t nIndex) { return NameAt(kSolutionPrefixes, nIndex); }

const char* PositionLogName(uint32_t nKind)
{
    return IsMonitorProfile() ? NameAt(kMonitorPositionLogNames, nKind) : NameAt(kPositionLogNames, nKind);
}

// ---- Name lookups ----

uint32_t SolutionStatusFromName(const char* pText)
{
    return pText ? FindCode(GetSolutionStatusTable(), pText) : 0xFFFFFFFFu;
}

uint32_t PosTypeFromTableName(const char* pText)
{
    return pText ? FindCode(GetPositionTypeTable(), pText) : 0xFFFFFFFFu;
}

uint32_t PosTypeFromName(const char* pText)
{
    const uint32_t n = PosTypeFromTableName(pText);
    return n == 0xFFFFFFFFu ? 0 : n;
}

uint32_t DatumFromName(const char* pText)
{
    if (!pText)
        return 0xFFFFFFFFu;
    if (IsMonitorProfile())
        return FindCode(CODE_NAME_TABLE_T{kMonitorDatums, 4}, pText);
    return FindName(kDatumNames, 87, pText);
}

uint32_t ClockStatusFromName(const char* pText) { return pText ? FindName(kClockStatusNames, 5, pText) : 0xFFFFFFFFu; }

uint32_t UtcStatusFromName(const char* pText) { return pText ? FindName(kUtcStatusNames, 3, pText) : 0xFFFFFFFFu; }

uint32_t AvePosStatusFromName(const char* pText)
{
    const char* const kNames[] = {"OFF", "INPROGRESS", "COMPLETE"};
    return pText ? FindName(kNames, 3, pText) : 0xFFFFFFFFu;
}

void StationIdText(uint32_t nNumber, char StationId[4])
{
    std::memset(StationId, 0, 4);
    if (nNumber == 0)
        return;
    char szText[12];
    std::snprintf(szText, sizeof(szText), nNumber < 10000 ? "%u" : "%04X", nNumber);
    std::memcpy(StationId, szText, std::strlen(szText) < 4 ? std::strlen(szText) : 4);
}

// ---- Decoders ----

int DecodePositionText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kPositionLayout, 0, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeVelocityText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kVelocityLayout, 0, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeXyzText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kXyzLayout, 0, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeHeadingText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kHeadingLayout, MSG_ID_HEADING, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeTimeText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kTimeLayout, 0, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

// ---- Formatters ----

int FormatPosition(uint32_t nKind, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                   int32_t* pOutLen)
{
    return FormatLayoutLog(kPositionLayout, PositionLogName(nKind), pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatVelocity(uint32_t nPrefix, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                   int32_t* pOutLen)
{
    const char* pszPrefix = SolutionPrefix(nPrefix);
    if (!pszPrefix)
        return 0;
    char szName[16];
    std::snprintf(szName, sizeof(szName), "%sVEL", pszPrefix);
    return FormatLayoutLog(kVelocityLayout, szName, pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatXyz(uint32_t nPrefix, const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
              int32_t* pOutLen)
{
    const char* pszPrefix = SolutionPrefix(nPrefix);
    char szName[16];
    if (nPrefix == 5)
        std::snprintf(szName, sizeof(szName), "BESTXYZ2");
    else if (pszPrefix)
        std::snprintf(szName, sizeof(szName), "%sXYZ", pszPrefix);
    else
        return 0;
    return FormatLayoutLog(kXyzLayout, szName, pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatHeading(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kHeadingLayout, "HEADING", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatHeading2(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kHeading2Layout, "HEADING2", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatAvePos(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kAvePosLayout, "AVEPOS", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatTime(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kTimeLayout, "TIME", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatTimeSync(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatLayoutLog(kTimeSyncLayout, "TIMESYNC", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatDopLog(const uint8_t* pRecord, char* pOut, uint32_t nCapacity, uint32_t* pLength)
{
    constexpr uint32_t kFixed = offsetof(DopBody, Sats);
    if (!pRecord || !pOut || !pLength)
        return 0;
    const BinaryLogHeader* h = reinterpret_cast<const BinaryLogHeader*>(pRecord);
    const uint8_t* pBody = pRecord + LOG_HEADER_LENGTH;
    const char* pName = h->MessageId == MSG_ID_PSRDOP ? "PSRDOP" : h->MessageId == MSG_ID_RTKDOP ? "RTKDOP" : nullptr;
    if (!pName || h->MessageLength < kFixed)
        return 0;
    DopBody dop;
    std::memcpy(&dop, pBody, kFixed);
    if (dop.SatCount > (h->MessageLength - kFixed) / sizeof(uint32_t))
        return 0;
    const uint8_t* pSats = pBody + kFixed;

    uint32_t n = 0;
    if (!WriteAsciiHeader(pName, h, pOut, nCapacity, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(h->MessageType);
    // The abbreviated line leaves the count out.
    const int bBody =
        bAbbrev
            ? AppendFormat(pOut, nCapacity, &n, "<\t%.4f %.4f %.4f %.4f %.4f %.1f ", double(dop.Gdop), double(dop.Pdop),
                           double(dop.Hdop), double(dop.Htdop), double(dop.Tdop), double(dop.CutOff))
            : AppendFormat(pOut, nCapacity, &n, "%.4f,%.4f,%.4f,%.4f,%.4f,%.1f,%u", double(dop.Gdop), double(dop.Pdop),
                           double(dop.Hdop), double(dop.Htdop), double(dop.Tdop), double(dop.CutOff), dop.SatCount);
    if (!bBody)
        return 0;
    for (uint32_t i = 0; i < dop.SatCount; ++i)
    {
        uint32_t uSat;
        std::memcpy(&uSat, pSats + i * sizeof uSat, sizeof uSat);
        if (!AppendFormat(pOut, nCapacity, &n, bAbbrev ? " %u" : ",%u", uSat))
            return 0;
    }
    if (bAbbrev ? !AppendFormat(pOut, nCapacity, &n, "\r\n") : !AppendTextLogCrc(pOut, nCapacity, &n, 0))
        return 0;
    *pLength = n;
    return 1;
}

const LOG_LAYOUT_T& PositionLayout() { return kPositionLayout; }
const LOG_LAYOUT_T& VelocityLayout() { return kVelocityLayout; }
const LOG_LAYOUT_T& XyzLayout() { return kXyzLayout; }
const LOG_LAYOUT_T& HeadingLayout() { return kHeadingLayout; }
const LOG_LAYOUT_T& Heading2Layout() { return kHeading2Layout; }
const LOG_LAYOUT_T& AvePosLayout() { return kAvePosLayout; }
const LOG_LAYOUT_T& TimeLayout() { return kTimeLayout; }
const LOG_LAYOUT_T& TimeSyncLayout() { return kTimeSyncLayout; }

// ---- Comma-separated export ----

int FormatPositionCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatCsv(kPositionCsvLayout, pRecord, nLength, pOut, nCapacity, pOutLen);
}

int FormatVelocityCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatCsv(kVelocityCsvLayout, pRecord, nLength, pOut, nCapacity, pOutLen);
}

int FormatXyzCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatCsv(kXyzCsvLayout, pRecord, nLength, pOut, nCapacity, pOutLen);
}

int FormatHeadingCsv(const uint8_t* pRecord, int32_t nLength, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatCsv(kHeadingCsvLayout, pRecord, nLength, pOut, nCapacity, pOutLen);
}

uint32_t CsvLogIndex(uint32_t nMessageId)
{
    const uint32_t kIds[] = {MSG_ID_PSRPOS,  MSG_ID_RTKPOS,   MSG_ID_BESTPOS, MSG_ID_MATCHEDPOS, MSG_ID_MATCHEDPOSH,
                             MSG_ID_PSRVEL,  MSG_ID_RTKVEL,   MSG_ID_BESTVEL, MSG_ID_PSRXYZ,     MSG_ID_RTKXYZ,
                             MSG_ID_BESTXYZ, MSG_ID_BESTXYZ2, MSG_ID_HEADING};
    for (uint32_t i = 0; i < sizeof(kIds) / sizeof(kIds[0]); ++i)
        if (kIds[i] == nMessageId)
            return i;
    return 0xFFFFFFFFu;
}

int SolutionTextToCsv(uint32_t nMessageId, const char* pText, int32_t nLength, char* pOut, int32_t nCapacity,
                      int32_t* pOutLen)
{
    const uint32_t nIndex = CsvLogIndex(nMessageId);
    if (nIndex == 0xFFFFFFFFu)
        return -1;
    if (pOutLen)
        *pOutLen = 0;
    if (!pOut || !pOutLen)
        return 0;
    using Decoder = int (*)(const char*, int32_t, uint8_t*, int32_t*);
    using Exporter = int (*)(const uint8_t*, int32_t, char*, int32_t, int32_t*);
    Decoder pDecode = DecodePositionText;
    Exporter pExport = FormatPositionCsv;
    if (nIndex >= 5 && nIndex < 8)
    {
        pDecode = DecodeVelocityText;
        pExport = FormatVelocityCsv;
    }
    else if (nIndex >= 8 && nIndex < 12)
    {
        pDecode = DecodeXyzText;
        pExport = FormatXyzCsv;
    }
    else if (nIndex == 12)
    {
        pDecode = DecodeHeadingText;
        pExport = FormatHeadingCsv;
    }
    uint8_t Record[sizeof(BinaryLogHeader) + sizeof(XyzBody)];
    int32_t nRecord = 0;
    int32_t nText = 0;
    if (pDecode(pText, nLength, Record, &nRecord) && pExport(Record, nRecord, pOut, nCapacity, &nText))
        *pOutLen = nText;
    return 0;
}

// ---- Binary logs ----

namespace
{
// Header and body side by side in pOut, then their CRC-32, least significant byte first.
int BuildLog(const void* pHeader, int32_t nHeader, const void* pBody, int32_t nBody, uint8_t* pOut, int32_t nCapacity,
             int32_t* pOutLen)
{
    const int32_t nTotal = nHeader + nBody + 4;
    if (nCapacity < nTotal)
        return 0;
    std::memcpy(pOut, pHeader, static_cast<size_t>(nHeader));
    std::memcpy(pOut + nHeader, pBody, static_cast<size_t>(nBody));
    const uint32_t uCrc = Crc32Compute(pOut, nTotal - 4);
    for (int i = 0; i < 4; ++i)
        pOut[nTotal - 4 + i] = static_cast<uint8_t>(uCrc >> (8 * i));
    *pOutLen = nTotal;
    return 1;
}
}

int BuildBinaryLog(const BinaryLogHeader* pHeader, const void* pBody, uint8_t* pOut, int32_t nCapacity,
                   int32_t* pOutLen)
{
    if (!pHeader || !pBody || !pOut || !pOutLen || pHeader->HeaderLength != sizeof(BinaryLogHeader))
        return 0;
    return BuildLog(pHeader, sizeof(BinaryLogHeader), pBody, pHeader->MessageLength, pOut, nCapacity, pOutLen);
}

int BuildShortBinaryLog(const ShortBinaryLogHeader* pHeader, const void* pBody, uint8_t* pOut, int32_t nCapacity,
                        int32_t* pOutLen)
{
    if (!pHeader || !pBody || !pOut || !pOutLen)
        return 0;
    return BuildLog(pHeader, sizeof(ShortBinaryLogHeader), pBody, pHeader->MessageLength, pOut, nCapacity, pOutLen);
}
