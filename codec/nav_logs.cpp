#include "codec/nav_logs.h"

#include <cstring>

#include "codec/log_format.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
// One member of the family: its body fields (kind letters, see text_fields.h)
// and the printf conversion of each field in text order.
struct NavMember
{
    const char* pName;
    uint32_t nBodySize;
    const char* pKinds;
    const char* pFormats;
};

#define NAV_MEMBER(name, body, kinds, formats)                                                         \
    NavMember{name, static_cast<uint32_t>(sizeof(body)), kinds, formats};                               \
    static_assert(BodyKindsSize(kinds) == sizeof(body), name " fields")

constexpr const char* GPS_KINDS = "ufuuuuuffffffffffffffffufffffTff";
constexpr const char* GPS_FORMATS =
    "%u,%.1f,%u,%u,%u,%u,%u,%.1f,%.9E,%.9E,%.9E,%.10E,%.10E,%.9E,%.9E,%.8e,%.8E,%.9E,%.9E,%.10E,%.9E,%.9E,"
    "%.8E,%u,%.1lf,%.9E,%.5E,%.5E,%.5E,%s,%.9E,%.8E";

constexpr NavMember GPSEPHEM = NAV_MEMBER("GPSEPHEM", GPSEPHEM_BODY_T, GPS_KINDS, GPS_FORMATS);
constexpr NavMember QZSSEPHEMERIS = NAV_MEMBER("QZSSEPHEMERIS", GPSEPHEM_BODY_T, GPS_KINDS, GPS_FORMATS);
constexpr NavMember BD2EPHEM = NAV_MEMBER(
    "BD2EPHEM", BD2EPHEM_BODY_T, "ufuuuuuffffffffffffffffuffffffTff",
    "%u,%.1f,%u,%u,%u,%u,%u,%.1f,%.9E,%.9E,%.9E,%.10E,%.10E,%.9E,%.9E,%.8E,%.8E,%.9E,%.9E,%.10E,%.9E,%.9E,"
    "%.8E,%u,%.1lf,%.9E,%.9E,%.5E,%.5E,%.5E,%s,%.9E,%.8E");
constexpr NavMember BDSEPHEMERIS = NAV_MEMBER(
    "BDSEPHEMERIS", BDSEPHEMERIS_BODY_T, "uufuffuufffuufffffffffffffff",
    "%u,%u,%.2f,%u,%.2E,%.2E,%u,%u,%.8E,%.8E,%.8E,%u,%u,%.6f,%.10E,%.9f,%.10E,%.9f,%.9E,%.8E,%.10E,%.9E,"
    "%.9E,%.9E,%.7f,%.7f,%.9E,%.9E");
constexpr NavMember GLOEPHEMERIS = NAV_MEMBER(
    "GLOEPHEMERIS", GLOEPHEMERIS_BODY_T, "HHBBHuuHBBuuffffffffffffuuuuu",
    "%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%.16E,%.16E,%.16E,%.16E,%.16E,%.16E,%.17f,%.17E,%.17E,%.17E,%.9E,"
    "%.17E,%u,%u,%u,%u,%u");
constexpr NavMember GALEPHEMERIS = NAV_MEMBER(
    "GALEPHEMERIS", GALEPHEMERIS_BODY_T, "uTTBBBBBBBBuufffffffffffffffufffufffff",
    "%d,%s,%s,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%1.8E,%1.4E,%1.8E,%1.9E,%1.8E,%1.4E,%1.4E,%1.3E,%1.3E,%1.4E,"
    "%1.4E,%1.9E,%1.4E,%1.8E,%1.7E,%d,%1.9E,%1.6E,%1.4E,%d,%1.9E,%1.6E,%1.4E,%1.3E,%1.3E");
constexpr NavMember BDSCLOCK = NAV_MEMBER("BDSCLOCK", BDSCLOCK_BODY_T, "ffSHHSffffff",
                                      "%.15e,%.15e,%d,%u,%u,%d,%.15e,%.15e,%.15e,%.15e,%.15e,%.15e");
constexpr NavMember GALCLOCK = NAV_MEMBER("GALCLOCK", GALCLOCK_BODY_T, "ffduuuudffuu",
                                      "%.9e,%.7e,%d,%u,%u,%u,%u,%d,%.4e,%.3e,%u,%u");
// The four status words and KP are written in hexadecimal, as they are read.
constexpr NavMember GLOCLOCK = NAV_MEMBER("GLOCLOCK", GLOCLOCK_BODY_T, "uffxxxxfHHfffx",
                                      "%u,%.9f,%.9f,%x,%x,%x,%x,%.9e,%u,%u,%.9f,%.9f,%.9e,%x");
constexpr NavMember BDSIONO = NAV_MEMBER("BDSIONO", BDSIONO_BODY_T, "uffffffff",
                                     "%u,%.15e,%.15e,%.15e,%.15e,%.1f,%.1f,%.1f,%.1f");
// The storm flags are written in hexadecimal, as they are read.
constexpr NavMember GALIONO = NAV_MEMBER("GALIONO", GALIONO_BODY_T, "fffxxxxx", "%.2e,%.3e,%.4e,%x,%x,%x,%x,%x");
constexpr NavMember IONUTC = NAV_MEMBER("IONUTC", IONUTC_BODY_T, "ffffffffuuffuuddu",
                                    "%.15e,%.15e,%.15e,%.15e,%.15e,%.15e,%.15e,%.15e,%u,%u,%.16e,%.9e,%u,%u,%d,%d,%u");
constexpr NavMember QZSSIONUTC = NAV_MEMBER("QZSSIONUTC", IONUTC_BODY_T, IONUTC.pKinds, IONUTC.pFormats);

constexpr uint32_t HEADER_SIZE = LOG_HEADER_LENGTH;

// Full text line to header + body. The output is written only when every field was read.
int DecodeMember(const NavMember& m, uint16_t nMessageId, const char* pText, int32_t nLength, uint8_t* pOut,
                 int32_t* pOutLength)
{
    if (!pText || !pOut || !pOutLength || nLength < 0)
        return 0;
    BinaryLogHeader header;
    uint32_t nBodyOffset = 0;
    uint32_t nBodyLength = 0;
    if (!OpenTextLog(pText, nLength, nMessageId, &header, &nBodyOffset, &nBodyLength))
        return 0;
    uint8_t body[sizeof(BD2EPHEM_BODY_T)];
    TextFieldCursor cursor = MakeFieldCursor(pText + nBodyOffset, pText + nBodyOffset + nBodyLength);
    if (!ScanBodyFields(&cursor, m.pKinds, body))
        return 0;
    header.MessageLength = static_cast<uint16_t>(m.nBodySize);
    memcpy(pOut, &header, HEADER_SIZE);
    memcpy(pOut + HEADER_SIZE, body, m.nBodySize);
    *pOutLength = static_cast<int32_t>(HEADER_SIZE + m.nBodySize);
    return 1;
}

// The record's header when it is sound for a body of nBodySize bytes.
const BinaryLogHeader* RecordHeader(const void* pLog, uint32_t nBodySize)
{
    const BinaryLogHeader* pHeader = static_cast<const BinaryLogHeader*>(pLog);
    if (!pHeader || pHeader->HeaderLength != HEADER_SIZE || pHeader->MessageLength < nBodySize)
        return nullptr;
    return pHeader;
}

// Ends the text: CR LF after an abbreviated body, the CRC trailer after a full one.
int FinishText(char* pOut, uint32_t nCapacity, uint32_t nLength, bool bAbbrev, int32_t* pOutLength)
{
    const int ok = bAbbrev ? AppendFormat(pOut, nCapacity, &nLength, "\r\n")
                           : AppendTextLogCrc(pOut, nCapacity, &nLength, 0);
    if (!ok)
        return 0;
    *pOutLength = static_cast<int32_t>(nLength);
    return 1;
}

int FormatMember(const NavMember& m, const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog, m.nBodySize);
    uint32_t n = 0;
    if (!pHeader || !pOutLength || nCapacity <= 0 || !WriteAsciiHeader(m.pName, pHeader, pOut, nCapacity, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(pHeader->MessageType);
    if ((bAbbrev && !AppendFormat(pOut, nCapacity, &n, "<\t")) ||
        !PrintBodyFields(pOut, nCapacity, &n, m.pKinds, m.pFormats, static_cast<const uint8_t*>(pLog) + HEADER_SIZE,
                         bAbbrev ? ' ' : ','))
        return 0;
    return FinishText(pOut, nCapacity, n, bAbbrev, pOutLength);
}

int CopyMember(uint32_t nBodySize, const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    uint32_t n = 0;
    if (!RecordHeader(pLog, nBodySize) || !pOutLength || !CopyBinaryLogToWire(pLog, nCapacity, pOut, &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

const NavMember* IonUtcMember(uint16_t nMessageId)
{
    if (nMessageId == MSG_ID_IONUTC)
        return &IONUTC;
    if (nMessageId == MSG_ID_QZSSIONUTC)
        return &QZSSIONUTC;
    return nullptr;
}

// Upper-case hex digits of the bytes, appended at pOut + *pLength.
int AppendHex(char* pOut, uint32_t nCapacity, uint32_t* pLength, const uint8_t* pBytes, uint32_t nCount)
{
    if (*pLength >= nCapacity || BytesToHex(pBytes, pOut + *pLength, nCapacity - *pLength, nCount) != 0)
        return 0;
    *pLength += 2 * nCount;
    return 1;
}
} // namespace

int DecodeGpsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GPSEPHEM, MSG_ID_GPSEPHEM, pText, nLength, pOut, pOutLength);
}
int DecodeQzssEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(QZSSEPHEMERIS, MSG_ID_QZSSEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBdsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(BDSEPHEMERIS, MSG_ID_BDSEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBd2EphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(BD2EPHEM, MSG_ID_BD2EPHEM, pText, nLength, pOut, pOutLength);
}
int DecodeGloEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GLOEPHEMERIS, MSG_ID_GLOEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeGalEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GALEPHEMERIS, MSG_ID_GALEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBdsClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(BDSCLOCK, MSG_ID_BDSCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeGalClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GALCLOCK, MSG_ID_GALCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeGloClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GLOCLOCK, MSG_ID_GLOCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeBdsIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(BDSIONO, MSG_ID_BDSIONO, pText, nLength, pOut, pOutLength);
}
int DecodeGalIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return DecodeMember(GALIONO, MSG_ID_GALIONO, pText, nLength, pOut, pOutLength);
}
int DecodeIonUtcText(const char* pText, int32_t nLength, uint16_t nMessageId, uint8_t* pOut, int32_t* pOutLength)
{
    const NavMember* pMember = IonUtcMember(nMessageId);
    return pMember ? DecodeMember(*pMember, nMessageId, pText, nLength, pOut, pOutLength) : 0;
}

int FormatGpsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GPSEPHEM, pLog, nCapacity, pOut, pOutLength);
}
int FormatQzssEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(QZSSEPHEMERIS, pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(BDSEPHEMERIS, pLog, nCapacity, pOut, pOutLength);
}
int FormatBd2Ephem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(BD2EPHEM, pLog, nCapacity, pOut, pOutLength);
}
int FormatGloEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GLOEPHEMERIS, pLog, nCapacity, pOut, pOutLength);
}
int FormatGalEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GALEPHEMERIS, pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(BDSCLOCK, pLog, nCapacity, pOut, pOutLength);
}
int FormatGalClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GALCLOCK, pLog, nCapacity, pOut, pOutLength);
}
int FormatGloClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GLOCLOCK, pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(BDSIONO, pLog, nCapacity, pOut, pOutLength);
}
int FormatGalIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return FormatMember(GALIONO, pLog, nCapacity, pOut, pOutLength);
}
int FormatIonUtc(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    if (!pLog)
        return 0;
    const NavMember* pMember = IonUtcMember(static_cast<const BinaryLogHeader*>(pLog)->MessageId);
    return pMember ? FormatMember(*pMember, pLog, nCapacity, pOut, pOutLength) : 0;
}

int FormatRawEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog, sizeof(RAWEPHEM_BODY_T));
    uint32_t n = 0;
    if (!pHeader || !pOutLength || nCapacity <= 0 || !WriteAsciiHeader("RAWEPHEM", pHeader, pOut, nCapacity, &n))
        return 0;
    RAWEPHEM_BODY_T body;
    memcpy(&body, static_cast<const uint8_t*>(pLog) + HEADER_SIZE, sizeof(body));
    const bool bAbbrev = IsAbbrevLogType(pHeader->MessageType);
    if (!AppendFormat(pOut, nCapacity, &n, bAbbrev ? "<\t%u %u %u" : "%u,%u,%u", body.Prn, body.RefWeek,
                      body.RefSeconds))
        return 0;
    for (const auto& subframe : body.Subframe)
        if (!AppendFormat(pOut, nCapacity, &n, "%c", bAbbrev ? ' ' : ',') ||
            !AppendHex(pOut, nCapacity, &n, subframe, sizeof(subframe)))
            return 0;
    return FinishText(pOut, nCapacity, n, bAbbrev, pOutLength);
}

int FormatRawAlm(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog, sizeof(RAWALM_BODY_T));
    if (!pHeader)
        return 0;
    const uint8_t* pBody = static_cast<const uint8_t*>(pLog) + HEADER_SIZE;
    RAWALM_BODY_T fixed;
    memcpy(&fixed, pBody, sizeof(fixed));
    if (fixed.Count > (pHeader->MessageLength - sizeof(fixed)) / sizeof(RAWALM_SUBFRAME_T))
        return 0;
    uint32_t n = 0;
    if (!pOutLength || nCapacity <= 0 || !WriteAsciiHeader("RAWALM", pHeader, pOut, nCapacity, &n))
        return 0;
    const bool bAbbrev = IsAbbrevLogType(pHeader->MessageType);
    if (!AppendFormat(pOut, nCapacity, &n, bAbbrev ? "<\t%u %.3f %u" : "%u,%.3f,%u", fixed.RefWeek,
                      fixed.RefSeconds, fixed.Count))
        return 0;
    for (uint32_t i = 0; i < fixed.Count; ++i)
    {
        RAWALM_SUBFRAME_T sub;
        memcpy(&sub, pBody + sizeof(fixed) + i * sizeof(sub), sizeof(sub));
        if (!AppendFormat(pOut, nCapacity, &n, bAbbrev ? "\r\n<\t\t%u " : ",%u,", sub.SvId) ||
            !AppendHex(pOut, nCapacity, &n, sub.Data, sizeof(sub.Data)))
            return 0;
    }
    return FinishText(pOut, nCapacity, n, bAbbrev, pOutLength);
}

int CopyBinaryGpsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(GPSEPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryQzssEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(GPSEPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryBdsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(BDSEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryBd2Ephem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(BD2EPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryGloEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(GLOEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryGalEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(GALEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryIonUtc(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return CopyMember(sizeof(IONUTC_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
