#include "monitor/parsing/binary_log_text.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/ins_logs.h"
#include "codec/log_fields.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "codec/satvis_logs.h"
#include "codec/text_helpers.h"

namespace
{

enum : uint16_t
{
    MSG_ID_PSRDOP = 174,
    MSG_ID_RTKDOP = 952,
};

const BinaryLogHeader* HeaderOf(const uint8_t* pRecord) { return reinterpret_cast<const BinaryLogHeader*>(pRecord); }
const uint8_t* BodyOf(const uint8_t* pRecord) { return pRecord + LOG_HEADER_LENGTH; }

struct TEXT_ROW_T;
using RowFormatter = int (*)(const TEXT_ROW_T& row, const uint8_t* pRecord, char* pOut, int32_t nCapacity,
                             int32_t* pOutLength);

struct TEXT_ROW_T
{
    uint16_t Id;      // 0: the profile's catalogue ID of Name
    const char* Name; // log name, for the formatters that take one
    RowFormatter Format;
    uint32_t Arg; // solution prefix of velocity and XYZ logs
};

int Position(const TEXT_ROW_T& row, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    // Kinds are numbered differently by the two profiles; the name settles it.
    for (uint32_t nKind = 0; const char* pName = PositionLogName(nKind); ++nKind)
        if (std::strcmp(pName, row.Name) == 0)
            return FormatPosition(nKind, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
    return 0;
}

int Velocity(const TEXT_ROW_T& row, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return FormatVelocity(row.Arg, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

int Xyz(const TEXT_ROW_T& row, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return FormatXyz(row.Arg, HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// Formatters that take the header and the body apart.
template <int (*F)(const BinaryLogHeader*, const void*, char*, int32_t, int32_t*)>
int HeaderBody(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return F(HeaderOf(pRecord), BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// Formatters that take the whole record.
template <int (*F)(const void*, int32_t, char*, int32_t*)>
int Record(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return F(pRecord, nCapacity, pOut, pOutLength);
}

int TimedWheel(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    const BinaryLogHeader* h = HeaderOf(pRecord);
    if (h->MessageLength > 0xFF)
        return 0;
    ShortBinaryLogHeader s;
    FillShortBinaryHeader(h->MessageId, static_cast<uint8_t>(h->MessageLength), h->Week, h->Milliseconds, &s);
    return FormatTimedWheelData(&s, h->MessageType, BodyOf(pRecord), pOut, nCapacity, pOutLength);
}

// BDSEPHEMERIS and BD2EPHEM share their ID; the body length tells them apart.
int BdsEphem(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    if (HeaderOf(pRecord)->MessageLength == sizeof(BD2EPHEM_BODY_T))
        return FormatBd2Ephem(pRecord, nCapacity, pOut, pOutLength);
    return FormatBdsEphem(pRecord, nCapacity, pOut, pOutLength);
}

// Reference-station formatters write text in any mode but 0 (which copies the binary log).
template <int (*F)(const void*, int32_t, int32_t, char*, int32_t*)>
int RefStation(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    return F(pRecord, nCapacity, 1, pOut, pOutLength);
}

int Dop(const TEXT_ROW_T&, const uint8_t* pRecord, char* pOut, int32_t nCapacity, int32_t* pOutLength)
{
    uint32_t n = 0;
    if (!FormatDopLog(pRecord, pOut, static_cast<uint32_t>(nCapacity), &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

// Searched in order; the rows reached through the catalogue come last.
const TEXT_ROW_T kTextRows[] = {
    {MSG_ID_RANGE, nullptr, Record<FormatRange>, 0},
    {MSG_ID_RANGECMP, nullptr, Record<FormatRangeCmp>, 0},
    {MSG_ID_RANGECMP4, nullptr, Record<FormatRangeCmp4>, 0},
    {MSG_ID_RANGEH, nullptr, Record<FormatRange>, 0},
    {MSG_ID_BASERANGE, nullptr, Record<FormatRange>, 0},
    {MSG_ID_BESTPOS, "BESTPOS", Position, 0},
    {MSG_ID_PSRPOS, "PSRPOS", Position, 0},
    {MSG_ID_RTKPOS, "RTKPOS", Position, 0},
    {MSG_ID_BESTGNSSPOS, "BESTGNSSPOS", Position, 0},
    {MSG_ID_PPPPOS, "PPPPOS", Position, 0},
    {MSG_ID_MATCHEDPOS, "MATCHEDPOS", Position, 0},
    {MSG_ID_MATCHEDPOSH, "MATCHEDPOSH", Position, 0},
    {MSG_ID_PSRVEL, nullptr, Velocity, 0},
    {MSG_ID_RTKVEL, nullptr, Velocity, 2},
    {MSG_ID_BESTVEL, nullptr, Velocity, 3},
    {MSG_ID_BESTGNSSVEL, nullptr, Velocity, 4},
    {MSG_ID_PSRXYZ, nullptr, Xyz, 0},
    {MSG_ID_RTKXYZ, nullptr, Xyz, 2},
    {MSG_ID_BESTXYZ, nullptr, Xyz, 3},
    {MSG_ID_BESTGNSSXYZ, nullptr, Xyz, 4},
    {MSG_ID_TIME, nullptr, HeaderBody<FormatTime>, 0},
    {MSG_ID_TIMESYNC, nullptr, HeaderBody<FormatTimeSync>, 0},
    {MSG_ID_AVEPOS, nullptr, HeaderBody<FormatAvePos>, 0},
    {MSG_ID_HEADING, nullptr, HeaderBody<FormatHeading>, 0},
    {MSG_ID_HEADING2, nullptr, HeaderBody<FormatHeading2>, 0},
    {MSG_ID_PSRDOP, nullptr, Dop, 0},
    {MSG_ID_RTKDOP, nullptr, Dop, 0},
    {MSG_ID_INSATT, nullptr, HeaderBody<FormatInsAtt>, 0},
    {MSG_ID_INSPOS, nullptr, HeaderBody<FormatInsPos>, 0},
    {MSG_ID_INSSPD, nullptr, HeaderBody<FormatInsSpd>, 0},
    {MSG_ID_INSVEL, nullptr, HeaderBody<FormatInsVel>, 0},
    {MSG_ID_INSPVA, nullptr, HeaderBody<FormatInsPva>, 0},
    {MSG_ID_INSPVAX, nullptr, HeaderBody<FormatInspvax>, 0},
    {MSG_ID_INSSTATUS, nullptr, HeaderBody<FormatInsStatus>, 0},
    {MSG_ID_RAWIMU, nullptr, HeaderBody<FormatRawImu>, 0},
    {MSG_ID_RAWIMUS, nullptr, HeaderBody<FormatRawImu>, 0},
    {MSG_ID_RAWIMUX, nullptr, HeaderBody<FormatRawImuX>, 0},
    {MSG_ID_RAWIMUSX, nullptr, HeaderBody<FormatRawImuX>, 0},
    {MSG_ID_TIMEDWHEELDATA, nullptr, TimedWheel, 0},
    {MSG_ID_GPSEPHEM, nullptr, Record<FormatGpsEphem>, 0},
    {MSG_ID_QZSSEPHEMERIS, nullptr, Record<FormatQzssEphem>, 0},
    {MSG_ID_BDSEPHEMERIS, nullptr, BdsEphem, 0},
    {MSG_ID_GLOEPHEMERIS, nullptr, Record<FormatGloEphem>, 0},
    {MSG_ID_GALEPHEMERIS, nullptr, Record<FormatGalEphem>, 0},
    {MSG_ID_BDSCLOCK, nullptr, Record<FormatBdsClock>, 0},
    {MSG_ID_GALCLOCK, nullptr, Record<FormatGalClock>, 0},
    {MSG_ID_GLOCLOCK, nullptr, Record<FormatGloClock>, 0},
    {MSG_ID_BDSIONO, nullptr, Record<FormatBdsIono>, 0},
    {MSG_ID_GALIONO, nullptr, Record<FormatGalIono>, 0},
    {MSG_ID_IONUTC, nullptr, Record<FormatIonUtc>, 0},
    {MSG_ID_QZSSIONUTC, nullptr, Record<FormatIonUtc>, 0},
    {MSG_ID_SATVIS, nullptr, Record<FormatSatVis>, 0},
    {MSG_ID_REFSTATION, nullptr, RefStation<FormatRefStation>, 0},
    {MSG_ID_REFSTATIONINFO, nullptr, RefStation<FormatRefStationInfo>, 0},
    {0, "MARKPOS", Position, 0},
    {0, "MARK2POS", Position, 0},
};

const TEXT_ROW_T* FindTextRow(uint16_t nId)
{
    for (const TEXT_ROW_T& row : kTextRows)
    {
        const uint16_t rowId =
            row.Id != 0 ? row.Id : LogNameToId(row.Name, 1, static_cast<uint32_t>(std::strlen(row.Name)));
        if (rowId == nId)
            return &row;
    }
    return nullptr;
}

} // namespace

int BinaryLogToRecord(const uint8_t* pFrame, uint32_t nFrameLength, uint8_t* pRecord, uint32_t nCapacity,
                      uint32_t* pRecordLength)
{
    if (!pFrame || !pRecord || !pRecordLength || nFrameLength < 3 || pFrame[0] != LOG_SYNC_0 || pFrame[1] != LOG_SYNC_1)
        return 0;
    BinaryLogHeader h{};
    uint32_t nHeader = 0;
    if (pFrame[2] == LOG_SYNC_LONG)
    {
        if (nFrameLength < LOG_HEADER_LENGTH)
            return 0;
        std::memcpy(&h, pFrame, sizeof h);
        if (h.HeaderLength != LOG_HEADER_LENGTH)
            return 0;
        h.Port = static_cast<uint8_t>(PortAddressToCode(h.Port));
        nHeader = LOG_HEADER_LENGTH;
    }
    else if (pFrame[2] == LOG_SYNC_SHORT)
    {
        if (nFrameLength < SHORT_LOG_HEADER_LENGTH)
            return 0;
        ShortBinaryLogHeader s;
        std::memcpy(&s, pFrame, sizeof s);
        ShortToLongHeader(&s, &h);
        nHeader = SHORT_LOG_HEADER_LENGTH;
    }
    else
        return 0;
    const uint32_t nRecord = LOG_HEADER_LENGTH + h.MessageLength;
    if (nHeader + h.MessageLength + LOG_CRC_LENGTH != nFrameLength || nRecord > nCapacity)
        return 0;
    std::memcpy(pRecord, &h, sizeof h);
    std::memcpy(pRecord + LOG_HEADER_LENGTH, pFrame + nHeader, h.MessageLength);
    *pRecordLength = nRecord;
    return 1;
}

uint32_t BinaryRecordToText(uint8_t* pRecord, char* pOut, uint32_t nCapacity)
{
    if (!pRecord || !pOut || nCapacity == 0)
        return 0;
    BinaryLogHeader* h = reinterpret_cast<BinaryLogHeader*>(pRecord);
    if (h->Sync[2] == LOG_SYNC_SHORT || h->MessageId == MSG_ID_RAWIMUSX)
        h->MessageType = static_cast<uint8_t>(LOG_FORM_ASCII | ShortHeaderFlag());
    else
        h->MessageType |= LOG_FORM_ASCII;

    const uint32_t nRoom = nCapacity < LOG_TEXT_MAX ? nCapacity : static_cast<uint32_t>(LOG_TEXT_MAX);
    if (const TEXT_ROW_T* pRow = FindTextRow(h->MessageId))
    {
        int32_t n = 0;
        if (pRow->Format(*pRow, pRecord, pOut, static_cast<int32_t>(nRoom), &n) && n > 0 &&
            static_cast<uint32_t>(n) < nRoom)
            return static_cast<uint32_t>(n);
    }
    const int32_t n = FormatString(pOut, nCapacity, "Binary Log: ID %u, Length %u\r\n", unsigned(h->MessageId),
                                   unsigned(h->MessageLength));
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}

int FormatDopLog(const uint8_t* pRecord, char* pOut, uint32_t nCapacity, uint32_t* pLength)
{
    constexpr uint32_t kFixed = 6 * sizeof(float) + sizeof(uint32_t);
    if (!pRecord || !pOut || !pLength)
        return 0;
    const BinaryLogHeader* h = HeaderOf(pRecord);
    const char* pName = h->MessageId == MSG_ID_PSRDOP ? "PSRDOP" : h->MessageId == MSG_ID_RTKDOP ? "RTKDOP" : nullptr;
    if (!pName || h->MessageLength < kFixed)
        return 0;
    float v[6];
    uint32_t nSats = 0;
    std::memcpy(v, BodyOf(pRecord), sizeof v);
    std::memcpy(&nSats, BodyOf(pRecord) + sizeof v, sizeof nSats);
    if (nSats > (h->MessageLength - kFixed) / sizeof(uint32_t))
        return 0;
    const uint8_t* pSats = BodyOf(pRecord) + kFixed;

    uint32_t n = 0;
    if (!WriteAsciiHeader(pName, h, pOut, nCapacity, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(h->MessageType);
    // The abbreviated line leaves the count out.
    const int bBody = bAbbrev
                          ? AppendFormat(pOut, nCapacity, &n, "<\t%.4f %.4f %.4f %.4f %.4f %.1f ", double(v[0]),
                                         double(v[1]), double(v[2]), double(v[3]), double(v[4]), double(v[5]))
                          : AppendFormat(pOut, nCapacity, &n, "%.4f,%.4f,%.4f,%.4f,%.4f,%.1f,%u", double(v[0]),
                                         double(v[1]), double(v[2]), double(v[3]), double(v[4]), double(v[5]), nSats);
    if (!bBody)
        return 0;
    for (uint32_t i = 0; i < nSats; ++i)
    {
        uint32_t sat;
        std::memcpy(&sat, pSats + i * sizeof sat, sizeof sat);
        if (!AppendFormat(pOut, nCapacity, &n, bAbbrev ? " %u" : ",%u", sat))
            return 0;
    }
    if (bAbbrev ? !AppendFormat(pOut, nCapacity, &n, "\r\n") : !AppendTextLogCrc(pOut, nCapacity, &n, 0))
        return 0;
    *pLength = n;
    return 1;
}
