#include "codec/log_registry.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/profile.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "codec/text_helpers.h"

namespace
{
const BinaryLogHeader* HeaderOf(const uint8_t* pRecord) { return reinterpret_cast<const BinaryLogHeader*>(pRecord); }
const uint8_t* BodyOf(const uint8_t* pRecord) { return pRecord + LOG_HEADER_LENGTH; }

// ---- Decoders the registry adds to the families' own ----

// Logs whose text only the latest-log store reads, through their field layout.
template <const LOG_LAYOUT_T& (*Layout)(), uint16_t Id>
int DecodeWithLayout(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeLayoutText(Layout(), Id, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLength);
}

int DecodeIonUtc(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeIonUtcText(pText, nLength, MSG_ID_IONUTC, pOut, pOutLength);
}

int DecodeQzssIonUtc(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeIonUtcText(pText, nLength, MSG_ID_QZSSIONUTC, pOut, pOutLength);
}

// ---- Formatters over a record ----

int PositionText(const LOG_TYPE_T& Type, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    // The two programs number the position kinds differently; the name settles it.
    for (uint32_t nKind = 0; const char* pName = PositionLogName(nKind); ++nKind)
        if (std::strcmp(pName, Type.Name) == 0)
            return FormatPosition(nKind, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
    return 0;
}

int VelocityText(const LOG_TYPE_T& Type, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatVelocity(Type.FormatArg, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

int XyzText(const LOG_TYPE_T& Type, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatXyz(Type.FormatArg, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// Formatters that take the header and the body apart.
template <int (*F)(const BinaryLogHeader*, const void*, char*, int32_t, int32_t*)>
int HeaderBodyText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return F(HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// Formatters that take the whole record.
template <int (*F)(const void*, int32_t, char*, int32_t*)>
int RecordText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return F(pRecord, nCapacity, pOut, pOutLength);
}

// TIMEDWHEELDATA is written with its short header whatever header the record has.
int TimedWheelText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* h = HeaderOf(pRecord);
    if (h->MessageLength > 0xFF)
        return 0;
    ShortBinaryLogHeader s;
    FillShortBinaryHeader(h->MessageId, static_cast<uint8_t>(h->MessageLength), h->Week, h->Milliseconds, &s);
    return FormatTimedWheelData(&s, h->MessageType, BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// BDSEPHEMERIS and BD2EPHEM share their ID; the body length tells them apart.
bool IsBd2Ephem(const void* pRecord)
{
    return static_cast<const BinaryLogHeader*>(pRecord)->MessageLength == sizeof(BD2EPHEM_BODY_T);
}

int BdsEphemText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return IsBd2Ephem(pRecord) ? FormatBd2Ephem(pRecord, nCapacity, pOut, pOutLength)
                               : FormatBdsEphem(pRecord, nCapacity, pOut, pOutLength);
}

// The reference-station formatters write text in any mode but 0, which gives the binary log.
template <int (*F)(const void*, int32_t, int32_t, char*, int32_t*)>
int RefStationText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return F(pRecord, nCapacity, 1, pOut, pOutLength);
}

int DopText(const LOG_TYPE_T&, const uint8_t* pRecord, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    uint32_t n = 0;
    if (nCapacity <= 0 || !FormatDopLog(pRecord, pOut, static_cast<uint32_t>(nCapacity), &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

// ---- Binary copiers ----

int BdsEphemCopy(const void* pRecord, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return IsBd2Ephem(pRecord) ? CopyBinaryBd2Ephem(pRecord, nCapacity, pOut, pOutLength)
                               : CopyBinaryBdsEphem(pRecord, nCapacity, pOut, pOutLength);
}

template <int (*F)(const void*, int32_t, int32_t, char*, int32_t*)>
int RefStationCopy(const void* pRecord, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return F(pRecord, nCapacity, 0, reinterpret_cast<char*>(pOut), pOutLength);
}

// ---- The table ----

constexpr uint32_t D = LOG_USE_DECODE;
constexpr uint32_t S = LOG_USE_STORE_TEXT;
constexpr uint32_t T = LOG_USE_SHOW_TEXT;
constexpr uint32_t C = LOG_USE_CONVERT;
constexpr uint32_t N = LOG_ID_FROM_CATALOGUE;
constexpr uint16_t NO_ID = LOG_TYPE_NO_ID;

// The room the store holds for a range log: 256 observations, as the range
// table shows them; a longer log makes its area grow.
constexpr uint32_t kStoreRangeRecords = 256;
constexpr uint32_t kRangeRoom = sizeof(uint32_t) + kStoreRangeRecords * sizeof(RANGE_OBS_T);
constexpr uint32_t kRangeCmpRoom = sizeof(uint32_t) + kStoreRangeRecords * sizeof(RANGECMP_OBS_T);
constexpr uint32_t kRangeCmp4Room = 0xFFFF; // the longest body a log can have
// INSSTATUS is kept whole, past the fields the codec reads, up to this room.
constexpr uint32_t kInsStatusRoom = 404;

// A log that the store keeps as a fixed record of its body type.
#define ZV_FIXED(Body) LOG_BODY_FIXED, sizeof(Body), sizeof(Body)
#define ZV_NO_BODY LOG_BODY_NONE, 0, 0

// Rows are searched in order: of two rows with one ID in a program the first
// serves the ID (BDSEPHEMERIS before BD2EPHEM).
const LOG_TYPE_T kLogTypes[] = {
    // Positions, velocities, Cartesian solutions, time and heading.
    {"PSRPOS", MSG_ID_PSRPOS, MSG_ID_PSRPOS, D | S | T | C | N, DecodePositionText, PositionText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(PositionBody)},
    {"PPPPOS", MSG_ID_PPPPOS, MSG_ID_PPPPOS, D | N, DecodePositionText, PositionText, 0, nullptr, ZV_NO_BODY},
    {"RTKPOS", MSG_ID_RTKPOS, MSG_ID_RTKPOS, D | S | T | C | N, DecodePositionText, PositionText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(PositionBody)},
    {"BESTPOS", MSG_ID_BESTPOS, MSG_ID_BESTPOS, D | S | T | C | N, DecodePositionText, PositionText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(PositionBody)},
    {"BESTGNSSPOS", MSG_ID_BESTGNSSPOS, MSG_ID_BESTGNSSPOS, D | S | T | N, DecodePositionText, PositionText, 0, nullptr,
     ZV_FIXED(PositionBody)},
    {"MATCHEDPOS", MSG_ID_MATCHEDPOS, MSG_ID_MATCHEDPOS, D | S | T | C | N, DecodePositionText, PositionText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(PositionBody)},
    {"MATCHEDPOSH", MSG_ID_MATCHEDPOSH, MSG_ID_MATCHEDPOSH, D | S | T | C | N, DecodePositionText, PositionText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(PositionBody)},
    // The mark logs carry other IDs in the two programs.
    {"MARKPOS", MSG_ID_MARKPOS, MSG_ID_MARKPOS_MONITOR, D | N, DecodePositionText, PositionText, 0, nullptr,
     ZV_NO_BODY},
    {"MARK2POS", MSG_ID_MARK2POS, MSG_ID_MARK2POS_MONITOR, D | N, DecodePositionText, PositionText, 0, nullptr,
     ZV_NO_BODY},
    {"PSRVEL", MSG_ID_PSRVEL, MSG_ID_PSRVEL, D | S | T | C | N, DecodeVelocityText, VelocityText, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(VelocityBody)},
    {"RTKVEL", MSG_ID_RTKVEL, MSG_ID_RTKVEL, D | S | T | C | N, DecodeVelocityText, VelocityText, 2,
     CopyRecordAsBinaryLog, ZV_FIXED(VelocityBody)},
    {"BESTVEL", MSG_ID_BESTVEL, MSG_ID_BESTVEL, D | S | T | C | N, DecodeVelocityText, VelocityText, 3,
     CopyRecordAsBinaryLog, ZV_FIXED(VelocityBody)},
    {"BESTGNSSVEL", MSG_ID_BESTGNSSVEL, MSG_ID_BESTGNSSVEL, D | S | T | N, DecodeVelocityText, VelocityText, 4, nullptr,
     ZV_FIXED(VelocityBody)},
    {"PSRXYZ", MSG_ID_PSRXYZ, MSG_ID_PSRXYZ, D | S | T | C | N, DecodeXyzText, XyzText, 0, CopyRecordAsBinaryLog,
     ZV_FIXED(XyzBody)},
    {"RTKXYZ", MSG_ID_RTKXYZ, MSG_ID_RTKXYZ, D | S | T | C | N, DecodeXyzText, XyzText, 2, CopyRecordAsBinaryLog,
     ZV_FIXED(XyzBody)},
    {"BESTXYZ", MSG_ID_BESTXYZ, MSG_ID_BESTXYZ, D | S | T | C | N, DecodeXyzText, XyzText, 3, CopyRecordAsBinaryLog,
     ZV_FIXED(XyzBody)},
    {"BESTGNSSXYZ", MSG_ID_BESTGNSSXYZ, MSG_ID_BESTGNSSXYZ, D | S | T | N, DecodeXyzText, XyzText, 4, nullptr,
     ZV_FIXED(XyzBody)},
    // No catalogue names BESTXYZ2: its text reads nowhere, its binary form converts.
    {"BESTXYZ2", MSG_ID_BESTXYZ2, MSG_ID_BESTXYZ2, D | C, DecodeXyzText, XyzText, 5, CopyRecordAsBinaryLog, ZV_NO_BODY},
    {"TIME", MSG_ID_TIME, MSG_ID_TIME, D | S | T | C | N, DecodeTimeText, HeaderBodyText<FormatTime>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(TimeBody)},
    // The store keeps the first fields of TIMESYNC only.
    {"TIMESYNC", MSG_ID_TIMESYNC, MSG_ID_TIMESYNC, S | T, DecodeWithLayout<TimeSyncLayout, MSG_ID_TIMESYNC>,
     HeaderBodyText<FormatTimeSync>, 0, nullptr, ZV_FIXED(TimeSyncBody)},
    {"AVEPOS", MSG_ID_AVEPOS, MSG_ID_AVEPOS, S | T, DecodeWithLayout<AvePosLayout, MSG_ID_AVEPOS>,
     HeaderBodyText<FormatAvePos>, 0, nullptr, ZV_FIXED(AvePosBody)},
    {"HEADING", MSG_ID_HEADING, MSG_ID_HEADING, D | S | T | C, DecodeHeadingText, HeaderBodyText<FormatHeading>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(HeadingBody)},
    {"HEADING2", MSG_ID_HEADING2, MSG_ID_HEADING2, S | T, DecodeWithLayout<Heading2Layout, MSG_ID_HEADING2>,
     HeaderBodyText<FormatHeading2>, 0, nullptr, ZV_FIXED(Heading2Body)},
    {"PSRDOP", MSG_ID_PSRDOP, MSG_ID_PSRDOP, T, nullptr, DopText, 0, nullptr, LOG_BODY_DOP, offsetof(DopBody, Sats),
     sizeof(DopBody)},
    {"RTKDOP", MSG_ID_RTKDOP, MSG_ID_RTKDOP, T, nullptr, DopText, 0, nullptr, LOG_BODY_DOP, offsetof(DopBody, Sats),
     sizeof(DopBody)},

    // INS solutions and IMU data.
    {"INSATT", MSG_ID_INSATT, MSG_ID_INSATT, S | T, DecodeWithLayout<InsAttLayout, MSG_ID_INSATT>,
     HeaderBodyText<FormatInsAtt>, 0, nullptr, ZV_FIXED(InsAttBody)},
    {"INSSPD", MSG_ID_INSSPD, MSG_ID_INSSPD, S | T, DecodeWithLayout<InsSpdLayout, MSG_ID_INSSPD>,
     HeaderBodyText<FormatInsSpd>, 0, nullptr, ZV_FIXED(InsSpdBody)},
    {"INSVEL", MSG_ID_INSVEL, MSG_ID_INSVEL, S | T, DecodeWithLayout<InsVelLayout, MSG_ID_INSVEL>,
     HeaderBodyText<FormatInsVel>, 0, nullptr, ZV_FIXED(InsVelBody)},
    {"INSPVA", MSG_ID_INSPVA, MSG_ID_INSPVA, S | T, DecodeWithLayout<InsPvaLayout, MSG_ID_INSPVA>,
     HeaderBodyText<FormatInsPva>, 0, nullptr, ZV_FIXED(InsPvaBody)},
    {"INSPVAX", MSG_ID_INSPVAX, MSG_ID_INSPVAX, D | S | T | C, DecodeInspvaxText, HeaderBodyText<FormatInspvax>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(InspvaxBody)},
    {"INSSTATUS", MSG_ID_INSSTATUS, MSG_ID_INSSTATUS, D | S | T | C, DecodeInsStatusText,
     HeaderBodyText<FormatInsStatus>, 0, CopyRecordAsBinaryLog, LOG_BODY_FIXED, sizeof(InsStatusBody::InsStatus),
     kInsStatusRoom},
    {"RAWIMU", MSG_ID_RAWIMU, MSG_ID_RAWIMU, D | S | T | C, DecodeRawImuText, HeaderBodyText<FormatRawImu>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(RawImuBody)},
    {"RAWIMUX", MSG_ID_RAWIMUX, MSG_ID_RAWIMUX, D | S | T | C, DecodeRawImuXText, HeaderBodyText<FormatRawImuX>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(RawImuXBody)},
    // Its text has the short header, which the store does not read.
    {"RAWIMUSX", MSG_ID_RAWIMUSX, MSG_ID_RAWIMUSX, D | T | C, DecodeRawImuSxText, HeaderBodyText<FormatRawImuX>, 0,
     CopyRecordAsBinaryLog, ZV_FIXED(RawImuXBody)},
    {"TIMEDWHEELDATA", MSG_ID_TIMEDWHEELDATA, MSG_ID_TIMEDWHEELDATA, D | C, DecodeTimedWheelDataText, TimedWheelText, 0,
     CopyRecordAsBinaryLog, ZV_NO_BODY},

    // Observations.
    {"RANGE", MSG_ID_RANGE, MSG_ID_RANGE, D | S | T | C, DecodeRangeText, RecordText<FormatRange>, 0, CopyBinaryRange,
     LOG_BODY_RANGE, sizeof(uint32_t), kRangeRoom},
    {"RANGEH", MSG_ID_RANGEH, MSG_ID_RANGEH, D | S | T | C, DecodeRangeText, RecordText<FormatRange>, 0,
     CopyBinaryRange, LOG_BODY_RANGE, sizeof(uint32_t), kRangeRoom},
    {"BASERANGE", MSG_ID_BASERANGE, MSG_ID_BASERANGE, D | S | T | C, DecodeRangeText, RecordText<FormatRange>, 0,
     CopyBinaryRange, LOG_BODY_RANGE, sizeof(uint32_t), kRangeRoom},
    {"RANGECMP", MSG_ID_RANGECMP, MSG_ID_RANGECMP, D | S | T | C, DecodeRangeCmpText, RecordText<FormatRangeCmp>, 0,
     CopyBinaryRangeCmp, LOG_BODY_RANGECMP, sizeof(uint32_t), kRangeCmpRoom},
    {"RANGECMP4", MSG_ID_RANGECMP4, MSG_ID_RANGECMP4, D | S | T | C, DecodeRangeCmp4Text, RecordText<FormatRangeCmp4>,
     0, CopyBinaryRangeCmp4, LOG_BODY_RANGECMP4, sizeof(uint32_t), kRangeCmp4Room},

    // Navigation data.
    {"GPSEPHEM", MSG_ID_GPSEPHEM, MSG_ID_GPSEPHEM, D | C, DecodeGpsEphemText, RecordText<FormatGpsEphem>, 0,
     CopyBinaryGpsEphem, ZV_NO_BODY},
    {"QZSSEPHEMERIS", MSG_ID_QZSSEPHEMERIS, MSG_ID_QZSSEPHEMERIS, D | C, DecodeQzssEphemText,
     RecordText<FormatQzssEphem>, 0, CopyBinaryQzssEphem, ZV_NO_BODY},
    {"BDSEPHEMERIS", MSG_ID_BDSEPHEMERIS, MSG_ID_BDSEPHEMERIS, D | C, DecodeBdsEphemText, BdsEphemText, 0, BdsEphemCopy,
     ZV_NO_BODY},
    // Reached by its name; its ID finds BDSEPHEMERIS, whose formatter and copier take either body.
    {"BD2EPHEM", MSG_ID_BD2EPHEM, MSG_ID_BD2EPHEM, D, DecodeBd2EphemText, RecordText<FormatBd2Ephem>, 0,
     CopyBinaryBd2Ephem, ZV_NO_BODY},
    {"GLOEPHEMERIS", MSG_ID_GLOEPHEMERIS, MSG_ID_GLOEPHEMERIS, D | C, DecodeGloEphemText, RecordText<FormatGloEphem>, 0,
     CopyBinaryGloEphem, ZV_NO_BODY},
    {"GALEPHEMERIS", MSG_ID_GALEPHEMERIS, MSG_ID_GALEPHEMERIS, D | C, DecodeGalEphemText, RecordText<FormatGalEphem>, 0,
     CopyBinaryGalEphem, ZV_NO_BODY},
    {"BDSCLOCK", MSG_ID_BDSCLOCK, MSG_ID_BDSCLOCK, D, DecodeBdsClockText, RecordText<FormatBdsClock>, 0, nullptr,
     ZV_NO_BODY},
    {"GALCLOCK", MSG_ID_GALCLOCK, MSG_ID_GALCLOCK, D, DecodeGalClockText, RecordText<FormatGalClock>, 0, nullptr,
     ZV_NO_BODY},
    {"GLOCLOCK", MSG_ID_GLOCLOCK, MSG_ID_GLOCLOCK, D, DecodeGloClockText, RecordText<FormatGloClock>, 0, nullptr,
     ZV_NO_BODY},
    {"BDSIONO", MSG_ID_BDSIONO, MSG_ID_BDSIONO, D, DecodeBdsIonoText, RecordText<FormatBdsIono>, 0, nullptr,
     ZV_NO_BODY},
    {"GALIONO", MSG_ID_GALIONO, MSG_ID_GALIONO, D, DecodeGalIonoText, RecordText<FormatGalIono>, 0, nullptr,
     ZV_NO_BODY},
    {"IONUTC", MSG_ID_IONUTC, MSG_ID_IONUTC, D | C, DecodeIonUtc, RecordText<FormatIonUtc>, 0, CopyRecordAsBinaryLog,
     ZV_NO_BODY},
    {"QZSSIONUTC", MSG_ID_QZSSIONUTC, MSG_ID_QZSSIONUTC, D, DecodeQzssIonUtc, RecordText<FormatIonUtc>, 0, nullptr,
     ZV_NO_BODY},

    // Satellite visibility and reference stations.
    {"SATVIS", MSG_ID_SATVIS, MSG_ID_SATVIS, D, DecodeSatVisText, RecordText<FormatSatVis>, 0, nullptr, ZV_NO_BODY},
    {"REFSTATION", MSG_ID_REFSTATION, MSG_ID_REFSTATION, D | C, DecodeRefStationText, RefStationText<FormatRefStation>,
     0, RefStationCopy<FormatRefStation>, ZV_NO_BODY},
    {"REFSTATIONINFO", MSG_ID_REFSTATIONINFO, MSG_ID_REFSTATIONINFO, D | C, DecodeRefStationText,
     RefStationText<FormatRefStationInfo>, 0, RefStationCopy<FormatRefStationInfo>, ZV_NO_BODY},
};
#undef ZV_FIXED
#undef ZV_NO_BODY

const LOG_REGISTRY_T kCodecRegistry = {kLogTypes, static_cast<uint32_t>(sizeof kLogTypes / sizeof kLogTypes[0])};

bool HasUse(const LOG_TYPE_T& Type, uint32_t nUses) { return nUses == 0 || (Type.Uses & nUses) != 0; }
} // namespace

const LOG_REGISTRY_T& CodecLogRegistry() { return kCodecRegistry; }

uint16_t LogTypeId(const LOG_TYPE_T& Type) { return IsMonitorProfile() ? Type.MonitorId : Type.ConverterId; }

const LOG_TYPE_T* FindLogType(const LOG_REGISTRY_T& Registry, uint16_t nMessageId, uint32_t nUses)
{
    if (nMessageId == LOG_TYPE_NO_ID)
        return nullptr;
    const bool bMonitor = IsMonitorProfile();
    for (uint32_t i = 0; i < Registry.Count; ++i)
    {
        const LOG_TYPE_T& Type = Registry.Rows[i];
        if ((bMonitor ? Type.MonitorId : Type.ConverterId) == nMessageId && HasUse(Type, nUses))
            return &Type;
    }
    return nullptr;
}

const LOG_TYPE_T* FindLogTypeByName(const LOG_REGISTRY_T& Registry, const char* pName, int32_t nLength, uint32_t nUses)
{
    if (pName == nullptr || nLength <= 0)
        return nullptr;
    for (uint32_t i = 0; i < Registry.Count; ++i)
    {
        const LOG_TYPE_T& Type = Registry.Rows[i];
        if (HasUse(Type, nUses) &&
            StrEqualLenNoCase(pName, Type.Name, static_cast<size_t>(nLength), std::strlen(Type.Name)))
            return &Type;
    }
    return nullptr;
}

int CopyRecordAsBinaryLog(const void* pRecord, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    uint32_t n = 0;
    if (pOutLength == nullptr || !CopyBinaryLogToWire(pRecord, nCapacity, pOut, &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}
