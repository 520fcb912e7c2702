#include "codec/ins_logs.h"

#include <cstddef>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/profile.h"
#include "codec/text_helpers.h"

namespace
{
// ---- Layouts of the text forms ----

#define ZV_INS_SOLUTION(Body, A, B, C)                                                                                 \
    const LOG_FIELD_T k##Body##Fields[] = {                                                                            \
        ZV_NUM(Body, Week, FIELD_U32, "%u"), ZV_NUM(Body, Seconds, FIELD_F64, "%.9f"),                                 \
        ZV_NUM(Body, A, FIELD_F64, "%.9f"),  ZV_NUM(Body, B, FIELD_F64, "%.9f"),                                       \
        ZV_NUM(Body, C, FIELD_F64, "%.9f"),  ZV_NAME(Body, InsStatus, NAMES_INS_STATUS),                               \
    }

ZV_INS_SOLUTION(InsAttBody, Roll, Pitch, Azimuth);
ZV_INS_SOLUTION(InsPosBody, Latitude, Longitude, Height);
ZV_INS_SOLUTION(InsVelBody, NorthVel, EastVel, UpVel);
ZV_INS_SOLUTION(InsSpdBody, TrackOverGround, HorSpeed, VertSpeed);

const LOG_FIELD_T kInsPvaFields[] = {
    ZV_NUM(InsPvaBody, Week, FIELD_U32, "%u"),       ZV_NUM(InsPvaBody, Seconds, FIELD_F64, "%.9f"),
    ZV_NUM(InsPvaBody, Latitude, FIELD_F64, "%.9f"), ZV_NUM(InsPvaBody, Longitude, FIELD_F64, "%.9f"),
    ZV_NUM(InsPvaBody, Height, FIELD_F64, "%.9f"),   ZV_NUM(InsPvaBody, NorthVel, FIELD_F64, "%.9f"),
    ZV_NUM(InsPvaBody, EastVel, FIELD_F64, "%.9f"),  ZV_NUM(InsPvaBody, UpVel, FIELD_F64, "%.9f"),
    ZV_NUM(InsPvaBody, Roll, FIELD_F64, "%.9f"),     ZV_NUM(InsPvaBody, Pitch, FIELD_F64, "%.9f"),
    ZV_NUM(InsPvaBody, Azimuth, FIELD_F64, "%.9f"),  ZV_NAME(InsPvaBody, InsStatus, NAMES_INS_STATUS),
};

const LOG_FIELD_T kInspvaxFields[] = {
    ZV_NAME(InspvaxBody, InsStatus, NAMES_INS_STATUS),
    ZV_NAME(InspvaxBody, PosType, NAMES_POSITION_TYPE),
    ZV_NUM(InspvaxBody, Latitude, FIELD_F64, "%.11f"),
    ZV_NUM(InspvaxBody, Longitude, FIELD_F64, "%.11f"),
    ZV_NUM(InspvaxBody, Height, FIELD_F64, "%.4f"),
    ZV_NUM(InspvaxBody, Undulation, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, NorthVel, FIELD_F64, "%.4f"),
    ZV_NUM(InspvaxBody, EastVel, FIELD_F64, "%.4f"),
    ZV_NUM(InspvaxBody, UpVel, FIELD_F64, "%.4f"),
    ZV_NUM(InspvaxBody, Roll, FIELD_F64, "%.9f"),
    ZV_NUM(InspvaxBody, Pitch, FIELD_F64, "%.9f"),
    ZV_NUM(InspvaxBody, Azimuth, FIELD_F64, "%.9f"),
    ZV_NUM(InspvaxBody, LatitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, LongitudeSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, HeightSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, NorthVelSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, EastVelSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, UpVelSd, FIELD_F32, "%.4f"),
    // The receiver's abbreviated line has a comma, not a blank, in front of the roll deviation.
    LOG_FIELD_T{static_cast<uint16_t>(offsetof(InspvaxBody, RollSd)), FIELD_F32, NAMES_NONE, "%.4f", nullptr, ','},
    ZV_NUM(InspvaxBody, PitchSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, AzimuthSd, FIELD_F32, "%.4f"),
    ZV_NUM(InspvaxBody, ExtSolStatus, FIELD_U32, "%x"),
    ZV_NUM(InspvaxBody, TimeSinceUpdate, FIELD_U16, "%u"),
};

const LOG_FIELD_T kCorrImuFields[] = {
    ZV_NUM(CorrImuBody, Week, FIELD_U32, "%u"),
    ZV_NUM(CorrImuBody, Seconds, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, PitchRate, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, RollRate, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, YawRate, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, LateralAcc, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, LongitudinalAcc, FIELD_F64, "%.9f"),
    ZV_NUM(CorrImuBody, VerticalAcc, FIELD_F64, "%.9f"),
};

#define ZV_IMU_AXES(Body)                                                                                              \
    ZV_NUM(Body, Axes[0], FIELD_I32, "%d"), ZV_NUM(Body, Axes[1], FIELD_I32, "%d"),                                    \
        ZV_NUM(Body, Axes[2], FIELD_I32, "%d"), ZV_NUM(Body, Axes[3], FIELD_I32, "%d"),                                \
        ZV_NUM(Body, Axes[4], FIELD_I32, "%d"), ZV_NUM(Body, Axes[5], FIELD_I32, "%d")

const LOG_FIELD_T kRawImuFields[] = {
    ZV_NUM(RawImuBody, Week, FIELD_U32, "%u"),
    ZV_NUM(RawImuBody, Seconds, FIELD_F64, "%.9f"),
    ZV_NUM(RawImuBody, ImuStatus, FIELD_U32, "%08x"),
    ZV_IMU_AXES(RawImuBody),
};

const LOG_FIELD_T kRawImuXFields[] = {
    ZV_NUM(RawImuXBody, ImuInfo, FIELD_U8, "%02X"),    ZV_NUM(RawImuXBody, ImuType, FIELD_U8, "%u"),
    ZV_NUM(RawImuXBody, Week, FIELD_U16, "%u"),        ZV_NUM(RawImuXBody, Seconds, FIELD_F64, "%.9f"),
    ZV_NUM(RawImuXBody, ImuStatus, FIELD_U32, "%08x"), ZV_IMU_AXES(RawImuXBody),
};

#define ZV_STATUS_VALUE(i, Spec) ZV_NUM(InsStatusBody, Values[i], FIELD_F64, Spec)

// The last word is written in hexadecimal and read back so.
const LOG_FIELD_T kInsStatusFields[] = {
    ZV_NAME(InsStatusBody, InsStatus, NAMES_INS_STATUS),
    ZV_NUM(InsStatusBody, StatusWord, FIELD_U32, "%x"),
    ZV_STATUS_VALUE(0, "%.6f"),
    ZV_STATUS_VALUE(1, "%.6f"),
    ZV_STATUS_VALUE(2, "%.6f"),
    ZV_STATUS_VALUE(3, "%.6f"),
    ZV_STATUS_VALUE(4, "%.6f"),
    ZV_STATUS_VALUE(5, "%.6f"),
    ZV_STATUS_VALUE(6, "%.6f"),
    ZV_STATUS_VALUE(7, "%.6f"),
    ZV_STATUS_VALUE(8, "%.6f"),
    ZV_STATUS_VALUE(9, "%.6f"),
    ZV_STATUS_VALUE(10, "%.6f"),
    ZV_STATUS_VALUE(11, "%.6f"),
    ZV_STATUS_VALUE(12, "%.6f"),
    ZV_STATUS_VALUE(13, "%.6f"),
    ZV_STATUS_VALUE(14, "%.3f"),
    ZV_STATUS_VALUE(15, "%.3f"),
    ZV_STATUS_VALUE(16, "%.3f"),
    ZV_STATUS_VALUE(17, "%.3f"),
    ZV_STATUS_VALUE(18, "%.6f"),
    ZV_STATUS_VALUE(19, "%.3f"),
    ZV_STATUS_VALUE(20, "%.3f"),
    ZV_STATUS_VALUE(21, "%.3f"),
    ZV_STATUS_VALUE(22, "%.3f"),
    ZV_NUM(InsStatusBody, Words[0], FIELD_U32, "%u"),
    ZV_NUM(InsStatusBody, Words[1], FIELD_U32, "%u"),
    ZV_NUM(InsStatusBody, Words[2], FIELD_U32, "%08x"),
};

// The cumulative tick count is signed but written with "%u"; it is read back
// as the same 32 bits.
const LOG_FIELD_T kTimedWheelFields[] = {
    ZV_NUM(TimedWheelBody, TicksPerRev, FIELD_U16, "%u"),     ZV_NUM(TimedWheelBody, WheelVel, FIELD_U16, "%u"),
    ZV_NUM(TimedWheelBody, WheelVelocity, FIELD_F32, "%.3f"), ZV_NUM(TimedWheelBody, Word1, FIELD_U32, "%u"),
    ZV_NUM(TimedWheelBody, Word2, FIELD_U32, "%u"),           ZV_NUM(TimedWheelBody, CumulativeTicks, FIELD_I32, "%u"),
};

const LOG_LAYOUT_T kInsAttLayout = ZV_LAYOUT(kInsAttBodyFields, InsAttBody, ' ');
const LOG_LAYOUT_T kInsPosLayout = ZV_LAYOUT(kInsPosBodyFields, InsPosBody, ' ');
const LOG_LAYOUT_T kInsVelLayout = ZV_LAYOUT(kInsVelBodyFields, InsVelBody, ' ');
const LOG_LAYOUT_T kInsSpdLayout = ZV_LAYOUT(kInsSpdBodyFields, InsSpdBody, ' ');
const LOG_LAYOUT_T kInsPvaLayout = ZV_LAYOUT(kInsPvaFields, InsPvaBody, ' ');
const LOG_LAYOUT_T kInspvaxLayout = ZV_LAYOUT(kInspvaxFields, InspvaxBody, ' ');
const LOG_LAYOUT_T kCorrImuLayout = ZV_LAYOUT(kCorrImuFields, CorrImuBody, ' ');
const LOG_LAYOUT_T kRawImuLayout = ZV_LAYOUT(kRawImuFields, RawImuBody, ' ');
const LOG_LAYOUT_T kRawImuXLayout = ZV_LAYOUT(kRawImuXFields, RawImuXBody, ' ');
const LOG_LAYOUT_T kInsStatusLayout = ZV_LAYOUT(kInsStatusFields, InsStatusBody, ' ');
const LOG_LAYOUT_T kTimedWheelLayout = ZV_LAYOUT(kTimedWheelFields, TimedWheelBody, ' ');

// ---- IMU log name table ----

struct IMU_LOG_ROW_T
{
    const char* Name;
    uint16_t Id;
    bool bShort; // a short-header variant; its long-header log is Id - 1
};

const IMU_LOG_ROW_T kImuLogs[] = {
    {"RAWIMUSX", 2403, true},        {"RAWIMUX", 2402, false},     {"RAWIMUS", 2401, true},
    {"RAWIMU", 2400, false},         {"CORRIMUDATAS", 2405, true}, {"CORRIMUDATA", 2404, false},
    {"TIMEDWHEELDATA", 2407, false}, {"INSPVAX", 2442, false},     {"INSPVAS", 2441, true},
    {"INSPVA", 2440, false},         {"INSATTS", 2444, true},      {"INSATT", 2443, false},
    {"INSPOSS", 2447, true},         {"INSPOS", 2446, false},      {"INSVEL", 2449, false},
    {"INSSPD", 2452, false},         {"MARK1PVA", 2455, false},    {"MARK2PVA", 2456, false},
    {"MARK3PVA", 2457, false},       {"MARK4PVA", 2458, false},    {"PASHR", 2459, false},
    {"INSSTATUS", 2471, false},      {"INSCONFIG", 7002, false},
};

const IMU_LOG_ROW_T kMonitorImuLogs[] = {
    {"RAWIMUSX", 2403, true},        {"RAWIMUX", 2402, false},  {"RAWIMUS", 2401, true},   {"RAWIMU", 2400, false},
    {"TIMEDWHEELDATA", 2405, false}, {"INSPVAX", 2442, false},  {"INSPVAS", 2441, true},   {"INSPVA", 2440, false},
    {"INSATTS", 2444, true},         {"INSATT", 2443, false},   {"INSPOSS", 2447, true},   {"INSPOS", 2446, false},
    {"INSVEL", 2449, false},         {"INSSPD", 2452, false},   {"MARK1PVA", 2455, false}, {"MARK2PVA", 2456, false},
    {"MARK3PVA", 2457, false},       {"MARK4PVA", 2458, false}, {"PASHR", 2459, false},
};

const IMU_LOG_ROW_T* ImuRows(uint32_t* pCount)
{
    if (IsMonitorProfile())
    {
        *pCount = sizeof(kMonitorImuLogs) / sizeof(kMonitorImuLogs[0]);
        return kMonitorImuLogs;
    }
    *pCount = sizeof(kImuLogs) / sizeof(kImuLogs[0]);
    return kImuLogs;
}

const IMU_LOG_ROW_T* ImuRowOfId(uint32_t nId)
{
    uint32_t nCount = 0;
    const IMU_LOG_ROW_T* pRows = ImuRows(&nCount);
    for (uint32_t i = 0; i < nCount; ++i)
        if (pRows[i].Id == nId)
            return &pRows[i];
    return nullptr;
}

// ---- Vocabulary tables ----

const CODE_NAME_ROW_T kInsStatus[] = {
    {0, "INS_INACTIVE"},      {1, "INS_ALIGNING"},           {2, "INS_HIGH_VARIANCE"},       {3, "INS_SOLUTION_GOOD"},
    {6, "INS_SOLUTION_FREE"}, {7, "INS_ALIGNMENT_COMPLETE"}, {8, "DETERMINING_ORIENTATION"}, {9, "WAITING_INITIALPOS"},
    {10, "WAITING_AZIMUTH"},  {11, "INITIALIZING_BIASES"},   {12, "MOTION_DETECT"},
};

const CODE_NAME_ROW_T kImuTypes[] = {
    {0, "UNKNOWN"},      {13, "IMAR_FSAS"},   {31, "ADIS16488"}, {32, "STIM300"},     {41, "EPSON_G320"},
    {56, "STIM300D"},    {100, "BMI055"},     {101, "BMX055"},   {102, "BMI088"},     {110, "AI_381"},
    {111, "AI_OPEN300"}, {112, "AI_OPEN330"}, {113, "AI_383"},   {114, "AI_OPEN400"},
};

const CODE_NAME_ROW_T kInsProfiles[] = {
    {0, "DEFAULT"},    {1, "LAND_BASIC"}, {2, "MARINE_BASIC"}, {3, "FIXEDWING_BASIC"}, {4, "RESERVED"},
    {5, "VTOL_BASIC"}, {6, "RAIL_BASIC"}, {7, "LOWSPEED"},     {33, "LAND_PLUS"},      {34, "MARINE_PLUS"},
};

const char* const kAlignmentModes[] = {"NONE", "AUTO", "STATIC", "DYNAMIC", "DUALANT"};
const char* const kFrames[] = {"IMUBODY", "VEHICLE", "GNSS"};
const char* const kOffsetTypes[] = {"",      "ANT1",  "ANT2",  "EXTERNAL", "USER", "MARK1",   "MARK2", "GIMBAL",
                                    "ALIGN", "MARK3", "MARK4", "RBV",      "RBM",  "DUALANT", "ODO",   "AUTO"};
const char* const kOffsetSources[] = {
    "UNKNOWN", "FROM_NVM",      "CALIBRATING",    "CALIBRATED",         "FROM_COMMAND",
    "RESET",   "FROM_DUAL_ANT", "INS_CONVERGING", "INSUFFICIENT_SPEED", "HIGH_ROTATION"};

template <size_t N> const char* NameAt(const char* const (&Names)[N], uint32_t nIndex)
{
    return nIndex < N ? Names[nIndex] : nullptr;
}

template <size_t N> CODE_NAME_TABLE_T TableOf(const CODE_NAME_ROW_T (&Rows)[N])
{
    return CODE_NAME_TABLE_T{Rows, static_cast<uint32_t>(N)};
}

// Header of an INS log: the short text header when the record carries the
// profile's short-header flag, else the long one.
int WriteInsHeader(const char* pName, const BinaryLogHeader* pHeader, FIELD_FORM_E eForm, char* pOut, int32_t nCapacity,
                   uint32_t* pLength)
{
    int32_t nLen = 0;
    if (pHeader->MessageType & ShortHeaderFlag())
    {
        if (!FormatImuShortHeader(pName, pHeader, pOut, nCapacity, &nLen))
            return 0;
        *pLength = static_cast<uint32_t>(nLen);
        return 1;
    }
    BinaryLogHeader Header = *pHeader;
    Header.MessageType = HeaderTypeOf(eForm);
    return WriteAsciiHeader(pName, &Header, pOut, static_cast<uint32_t>(nCapacity), pLength);
}

int FormatInsLog(const LOG_LAYOUT_T& Layout, const char* pName, const BinaryLogHeader* pHeader, const void* pBody,
                 char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    if (!pHeader || !pBody || !pOut || !pOutLen || nCapacity <= 0 || pHeader->MessageLength < Layout.nBodyLength)
        return 0;
    const FIELD_FORM_E eForm = FieldFormOf(pHeader->MessageType);
    uint32_t nLength = 0;
    if (!WriteInsHeader(pName, pHeader, eForm, pOut, nCapacity, &nLength) ||
        !AppendLogBody(Layout, pBody, eForm, pOut, static_cast<uint32_t>(nCapacity), &nLength))
        return 0;
    *pOutLen = static_cast<int32_t>(nLength);
    return 1;
}

// Short text header: "%NAMEA,week,seconds;" or "<NAME week seconds\r\n", the
// name followed by pSuffix ("S" for the IMU logs; RAWIMUSX and TIMEDWHEELDATA
// carry it in their names), the seconds of the abbreviated line as "%05f", or
// "%.3f" for TIMEDWHEELDATA.
int WriteNamedShortHeader(const char* pName, const char* pSuffix, uint32_t nWeek, uint32_t nMs, FIELD_FORM_E eForm,
                          bool bThreeDecimals, char* pOut, uint32_t nCapacity, uint32_t* pLength)
{
    *pLength = 0;
    if (eForm != FIELD_FORM_ABBREV)
        return AppendFormat(pOut, nCapacity, pLength, "%%%s%sA,%u,%.3lf;", pName, pSuffix, nWeek, nMs * 0.001);
    return AppendFormat(pOut, nCapacity, pLength, bThreeDecimals ? "<%s%s %u %.3f\r\n" : "<%s%s %u %05f\r\n", pName,
                        pSuffix, nWeek, nMs * 0.001);
}

// A layout's body behind a short text header of its own name (RAWIMUSX, TIMEDWHEELDATA).
int FormatNamedShortLog(const LOG_LAYOUT_T& Layout, const char* pName, bool bThreeDecimals, uint32_t nWeek,
                        uint32_t nMs, uint32_t nMessageLength, FIELD_FORM_E eForm, const void* pBody, char* pOut,
                        int32_t nCapacity, int32_t* pOutLen)
{
    if (!pBody || !pOut || !pOutLen || nCapacity <= 0 || nMessageLength < Layout.nBodyLength)
        return 0;
    uint32_t nLength = 0;
    if (!WriteNamedShortHeader(pName, "", nWeek, nMs, eForm, bThreeDecimals, pOut, static_cast<uint32_t>(nCapacity),
                               &nLength) ||
        !AppendLogBody(Layout, pBody, eForm, pOut, static_cast<uint32_t>(nCapacity), &nLength))
        return 0;
    *pOutLen = static_cast<int32_t>(nLength);
    return 1;
}
}

// ---- IMU log name table ----

uint16_t ImuLogNameToId(const char* pName, uint32_t nLength, uint8_t* pType)
{
    if (!pName || nLength == 0)
        return 0xFFFF;
    uint32_t nCount = 0;
    const IMU_LOG_ROW_T* pRows = ImuRows(&nCount);
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const IMU_LOG_ROW_T& Row = pRows[i];
        const uint32_t nRow = static_cast<uint32_t>(std::strlen(Row.Name));
        if ((nLength != nRow && nLength != nRow + 1) || !StrEqualNoCase(pName, Row.Name, nRow))
            continue;
        uint8_t uType = AbbrevFormMarker();
        if (nLength == nRow + 1)
        {
            const char c = pName[nRow];
            if (c == 'B' || c == 'b')
                uType = LOG_FORM_BINARY;
            else if (c == 'A' || c == 'a')
                uType = LOG_FORM_ASCII;
            else
                return 0xFFFF;
        }
        uint16_t nId = Row.Id;
        if (Row.bShort)
        {
            uType |= ShortHeaderFlag();
            nId = static_cast<uint16_t>(Row.Id - 1);
        }
        if (pType)
            *pType = uType;
        return nId;
    }
    return 0xFFFF;
}

uint32_t ImuLogNameLength(uint32_t nId)
{
    const IMU_LOG_ROW_T* pRow = ImuRowOfId(nId);
    return pRow ? static_cast<uint32_t>(std::strlen(pRow->Name)) : 0;
}

const char* ImuLogName(uint32_t nId)
{
    const IMU_LOG_ROW_T* pRow = ImuRowOfId(nId);
    return pRow ? pRow->Name : nullptr;
}

// ---- Vocabulary ----

const char* InsStatusName(uint32_t nStatus) { return CodeToName(TableOf(kInsStatus), nStatus); }

uint32_t InsStatusFromName(const char* pText)
{
    if (!pText)
        return 0xFFFFFFFFu;
    for (const CODE_NAME_ROW_T& Row : kInsStatus)
        if (TextIsName(pText, Row.Name))
            return Row.Code;
    return 0xFFFFFFFFu;
}

uint32_t InsProfileFromName(const char* pText, uint32_t nLength)
{
    if (!pText)
        return 0xFFFFFFFFu;
    for (const CODE_NAME_ROW_T& Row : kInsProfiles)
        if (StrEqualLenNoCase(pText, Row.Name, nLength, std::strlen(Row.Name)))
            return Row.Code;
    return 0xFFFFFFFFu;
}

const char* LogInsProfileName(uint32_t nProfile) { return CodeToName(TableOf(kInsProfiles), nProfile); }

const char* LogImuTypeName(uint32_t nType)
{
    const char* psz = CodeToName(TableOf(kImuTypes), nType);
    return psz ? psz : "UNKNOWN";
}

const char* AlignmentModeName(uint32_t nMode) { return NameAt(kAlignmentModes, nMode); }

const char* FrameName(uint32_t nFrame) { return NameAt(kFrames, nFrame); }

const char* OffsetTypeName(uint32_t nType) { return NameAt(kOffsetTypes, nType); }

const char* OffsetSourceName(uint32_t nSource)
{
    const char* psz = NameAt(kOffsetSources, nSource);
    return psz ? psz : "UNKNOWN";
}

// ---- Headers ----

void ShortToLongHeader(const ShortBinaryLogHeader* pShort, BinaryLogHeader* pLong)
{
    if (!pShort || !pLong)
        return;
    std::memcpy(pLong->Sync, pShort->Sync, 3);
    pLong->HeaderLength = LOG_HEADER_LENGTH;
    pLong->MessageId = pShort->MessageId;
    pLong->MessageLength = pShort->MessageLength;
    pLong->Week = pShort->Week;
    pLong->Milliseconds = pShort->Milliseconds;
}

int FormatImuShortHeader(const char* pName, const BinaryLogHeader* pHeader, char* pOut, int32_t nCapacity,
                         int32_t* pOutLen)
{
    if (!pName || !pHeader || !pOut || !pOutLen || nCapacity <= 0)
        return 0;
    uint32_t nLength = 0;
    if (!WriteNamedShortHeader(pName, "S", pHeader->Week, pHeader->Milliseconds, FieldFormOf(pHeader->MessageType),
                               false, pOut, static_cast<uint32_t>(nCapacity), &nLength))
        return 0;
    *pOutLen = static_cast<int32_t>(nLength);
    return 1;
}

// ---- Formatters ----

int FormatInsAtt(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInsAttLayout, "INSATT", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatInsPos(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInsPosLayout, "INSPOS", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatInsVel(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInsVelLayout, "INSVEL", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatInsSpd(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInsSpdLayout, "INSSPD", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatInsPva(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInsPvaLayout, "INSPVA", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatInspvax(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kInspvaxLayout, "INSPVAX", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatCorrImuData(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                      int32_t* pOutLen)
{
    return FormatInsLog(kCorrImuLayout, "CORRIMUDATA", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatRawImu(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    return FormatInsLog(kRawImuLayout, "RAWIMU", pHeader, pBody, pOut, nCapacity, pOutLen);
}

int FormatRawImuX(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    if (!pHeader)
        return 0;
    if (!(pHeader->MessageType & ShortHeaderFlag()))
        return FormatInsLog(kRawImuXLayout, "RAWIMUX", pHeader, pBody, pOut, nCapacity, pOutLen);
    return FormatNamedShortLog(kRawImuXLayout, "RAWIMUSX", false, pHeader->Week, pHeader->Milliseconds,
                               pHeader->MessageLength, FieldFormOf(pHeader->MessageType), pBody, pOut, nCapacity,
                               pOutLen);
}

int FormatInsStatus(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    if (!pHeader)
        return 0;
    // INSSTATUS has no short form: the long header whatever the flags say.
    BinaryLogHeader Header = *pHeader;
    Header.MessageType = static_cast<uint8_t>(Header.MessageType & ~ShortHeaderFlag());
    return FormatInsLog(kInsStatusLayout, "INSSTATUS", &Header, pBody, pOut, nCapacity, pOutLen);
}

int FormatTimedWheelData(const ShortBinaryLogHeader* pHeader, uint8_t uFormFlag, const void* pBody, char* pOut,
                         int32_t nCapacity, int32_t* pOutLen)
{
    if (!pHeader)
        return 0;
    return FormatNamedShortLog(kTimedWheelLayout, "TIMEDWHEELDATA", true, pHeader->Week, pHeader->Milliseconds,
                               pHeader->MessageLength, FieldFormOf(uFormFlag), pBody, pOut, nCapacity, pOutLen);
}

int FormatInsConfig(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    if (!pHeader || !pBody || !pOut || !pOutLen || nCapacity <= 0 || pHeader->MessageLength < sizeof(InsConfigBody) + 4)
        return 0;
    const uint8_t* pBytes = static_cast<const uint8_t*>(pBody);
    const uint32_t nBody = pHeader->MessageLength;
    InsConfigBody Fixed;
    std::memcpy(&Fixed, pBytes, sizeof(Fixed));
    // Both counts are bounded by the body the header declares.
    const uint64_t nTranslationEnd = sizeof(InsConfigBody) + uint64_t{Fixed.TranslationCount} * sizeof(InsOffsetRecord);
    if (nTranslationEnd + 4 > nBody)
        return 0;
    uint32_t nRotations = 0;
    std::memcpy(&nRotations, pBytes + nTranslationEnd, 4);
    if (nTranslationEnd + 4 + uint64_t{nRotations} * sizeof(InsOffsetRecord) > nBody)
        return 0;

    const FIELD_FORM_E eForm = FieldFormOf(pHeader->MessageType);
    const bool bAbbrev = eForm == FIELD_FORM_ABBREV;
    const uint32_t nCap = static_cast<uint32_t>(nCapacity);
    BinaryLogHeader Header = *pHeader;
    Header.MessageType = HeaderTypeOf(eForm);
    uint32_t n = 0;
    if (!WriteAsciiHeader("INSCONFIG", &Header, pOut, nCap, &n))
        return 0;
    const auto Name = [](const char* psz) { return psz ? psz : ""; };
    const char* pszFixed = bAbbrev ? "<\t%s %u %u %u %s %08X %s %s %s %08X %u %u %u %u %u %u %u %u %u %u "
                                   : "%s,%u,%u,%u,%s,%08X,%s,%s,%s,%08X,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,";
    if (!AppendFormat(pOut, nCap, &n, pszFixed, LogImuTypeName(Fixed.ImuType), unsigned{Fixed.Byte1},
                      unsigned{Fixed.Byte2}, unsigned{Fixed.Word}, Name(LogInsProfileName(Fixed.InsProfile)),
                      Fixed.HexWord1, Name(AlignmentModeName(Fixed.AlignmentMode)), "ROVER", "FALSE", Fixed.HexWord2,
                      unsigned{Fixed.Bytes[0]}, unsigned{Fixed.Bytes[1]}, unsigned{Fixed.Bytes[2]}, Fixed.Words[0],
                      Fixed.Words[1], Fixed.Words[2], Fixed.Words[3], Fixed.Words[4], Fixed.Words[5],
                      Fixed.TranslationCount))
        return 0;
    const char* pszOffset =
        bAbbrev ? "%s %s %.4f %.4f %.4f %.4f %.4f %.4f %s " : "%s,%s,%.4f,%.4f,%.4f,%.4f,%.4f,%.4f,%s,";
    const auto AppendOffsets = [&](const uint8_t* pRecords, uint32_t nCount)
    {
        for (uint32_t i = 0; i < nCount; ++i)
        {
            InsOffsetRecord r;
            std::memcpy(&r, pRecords + i * sizeof(InsOffsetRecord), sizeof(r));
            if (!AppendFormat(pOut, nCap, &n, pszOffset, Name(OffsetTypeName(r.OffsetType)), Name(FrameName(r.Frame)),
                              double{r.X}, double{r.Y}, double{r.Z}, double{r.XSd}, double{r.YSd}, double{r.ZSd},
                              OffsetSourceName(r.Source)))
                return false;
        }
        return true;
    };
    if (!AppendOffsets(pBytes + sizeof(InsConfigBody), Fixed.TranslationCount) ||
        !AppendFormat(pOut, nCap, &n, bAbbrev ? "%u " : "%u,", nRotations) ||
        !AppendOffsets(pBytes + nTranslationEnd + 4, nRotations))
        return 0;
    if (bAbbrev)
    {
        // The last blank becomes the line end.
        --n;
        if (!AppendFormat(pOut, nCap, &n, "\r\n"))
            return 0;
    }
    else if (!AppendTextLogCrc(pOut, nCap, &n, 1))
        return 0;
    *pOutLen = static_cast<int32_t>(n);
    return 1;
}

// ---- Decoders ----
// Each decodes one log, so its ID is fixed; the monitor's catalogue has none of
// these names.

int DecodeInspvaxText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kInspvaxLayout, MSG_ID_INSPVAX, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeInsStatusText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kInsStatusLayout, MSG_ID_INSSTATUS, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeRawImuText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kRawImuLayout, MSG_ID_RAWIMU, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeRawImuXText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kRawImuXLayout, MSG_ID_RAWIMUX, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeRawImuSxText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kRawImuXLayout, MSG_ID_RAWIMUSX, DECODE_SHORT_HEADER, pText, nLength, pOut, pOutLen);
}

int DecodeTimedWheelDataText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    return DecodeLayoutText(kTimedWheelLayout, MSG_ID_TIMEDWHEELDATA, DECODE_SHORT_HEADER, pText, nLength, pOut,
                            pOutLen);
}

const LOG_LAYOUT_T& InsAttLayout() { return kInsAttLayout; }
const LOG_LAYOUT_T& InsPosLayout() { return kInsPosLayout; }
const LOG_LAYOUT_T& InsVelLayout() { return kInsVelLayout; }
const LOG_LAYOUT_T& InsSpdLayout() { return kInsSpdLayout; }
const LOG_LAYOUT_T& InsPvaLayout() { return kInsPvaLayout; }
const LOG_LAYOUT_T& InspvaxLayout() { return kInspvaxLayout; }
const LOG_LAYOUT_T& CorrImuLayout() { return kCorrImuLayout; }
const LOG_LAYOUT_T& RawImuLayout() { return kRawImuLayout; }
const LOG_LAYOUT_T& RawImuXLayout() { return kRawImuXLayout; }
const LOG_LAYOUT_T& InsStatusLayout() { return kInsStatusLayout; }
const LOG_LAYOUT_T& TimedWheelLayout() { return kTimedWheelLayout; }
