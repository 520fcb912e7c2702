#include "codec/nav_logs.h"

#include <cstring>

#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "codec/text_helpers.h"

namespace
{
// GPSEPHEM and QZSSEPHEMERIS
using Gps = GPSEPHEM_BODY_T;
constexpr LOG_FIELD_T GPSEPHEM_FIELDS[] = {
    ZV_NUM(Gps, Prn, FIELD_U32, "%u"),
    ZV_NUM(Gps, Tow, FIELD_F64, "%.1f"),
    ZV_NUM(Gps, Health, FIELD_U32, "%u"),
    ZV_NUM(Gps, Iode1, FIELD_U32, "%u"),
    ZV_NUM(Gps, Iode2, FIELD_U32, "%u"),
    ZV_NUM(Gps, Week, FIELD_U32, "%u"),
    ZV_NUM(Gps, ZWeek, FIELD_U32, "%u"),
    ZV_NUM(Gps, Toe, FIELD_F64, "%.1f"),
    ZV_NUM(Gps, A, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, DeltaN, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, M0, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, Ecc, FIELD_F64, "%.10E"),
    ZV_NUM(Gps, Omega, FIELD_F64, "%.10E"),
    ZV_NUM(Gps, Cuc, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, Cus, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, Crc, FIELD_F64, "%.8e"),
    ZV_NUM(Gps, Crs, FIELD_F64, "%.8E"),
    ZV_NUM(Gps, Cic, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, Cis, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, I0, FIELD_F64, "%.10E"),
    ZV_NUM(Gps, IDot, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, Omega0, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, OmegaDot, FIELD_F64, "%.8E"),
    ZV_NUM(Gps, Iodc, FIELD_U32, "%u"),
    ZV_NUM(Gps, Toc, FIELD_F64, "%.1lf"),
    ZV_NUM(Gps, Tgd, FIELD_F64, "%.9E"),
    ZV_CLOCK(Gps, Af0, "%.5E"),
    ZV_CLOCK(Gps, Af1, "%.5E"),
    ZV_CLOCK(Gps, Af2, "%.5E"),
    ZV_NAME(Gps, AntiSpoofing, NAMES_TRUE_FALSE),
    ZV_NUM(Gps, CorrectedMeanMotion, FIELD_F64, "%.9E"),
    ZV_NUM(Gps, UraVariance, FIELD_F64, "%.8E"),
};

// BD2EPHEM
using Bd2 = BD2EPHEM_BODY_T;
constexpr LOG_FIELD_T BD2EPHEM_FIELDS[] = {
    ZV_NUM(Bd2, Prn, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Tow, FIELD_F64, "%.1f"),
    ZV_NUM(Bd2, Health, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Iode1, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Iode2, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Week, FIELD_U32, "%u"),
    ZV_NUM(Bd2, ZWeek, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Toe, FIELD_F64, "%.1f"),
    ZV_NUM(Bd2, A, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, DeltaN, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, M0, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Ecc, FIELD_F64, "%.10E"),
    ZV_NUM(Bd2, Omega, FIELD_F64, "%.10E"),
    ZV_NUM(Bd2, Cuc, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Cus, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Crc, FIELD_F64, "%.8E"),
    ZV_NUM(Bd2, Crs, FIELD_F64, "%.8E"),
    ZV_NUM(Bd2, Cic, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Cis, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, I0, FIELD_F64, "%.10E"),
    ZV_NUM(Bd2, IDot, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Omega0, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, OmegaDot, FIELD_F64, "%.8E"),
    ZV_NUM(Bd2, Iodc, FIELD_U32, "%u"),
    ZV_NUM(Bd2, Toc, FIELD_F64, "%.1lf"),
    ZV_NUM(Bd2, Tgd1, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, Tgd2, FIELD_F64, "%.9E"),
    ZV_CLOCK(Bd2, Af0, "%.5E"),
    ZV_CLOCK(Bd2, Af1, "%.5E"),
    ZV_CLOCK(Bd2, Af2, "%.5E"),
    ZV_NAME(Bd2, AntiSpoofing, NAMES_TRUE_FALSE),
    ZV_NUM(Bd2, CorrectedMeanMotion, FIELD_F64, "%.9E"),
    ZV_NUM(Bd2, UraVariance, FIELD_F64, "%.8E"),
};

// BDSEPHEMERIS
using Bds = BDSEPHEMERIS_BODY_T;
constexpr LOG_FIELD_T BDSEPHEMERIS_FIELDS[] = {
    ZV_NUM(Bds, SatId, FIELD_U32, "%u"),
    ZV_NUM(Bds, Week, FIELD_U32, "%u"),
    ZV_NUM(Bds, Ura, FIELD_F64, "%.2f"),
    ZV_NUM(Bds, Health1, FIELD_U32, "%u"),
    ZV_NUM(Bds, Tgd1, FIELD_F64, "%.2E"),
    ZV_NUM(Bds, Tgd2, FIELD_F64, "%.2E"),
    ZV_NUM(Bds, Aodc, FIELD_U32, "%u"),
    ZV_NUM(Bds, Toc, FIELD_U32, "%u"),
    ZV_CLOCK(Bds, A0, "%.8E"),
    ZV_CLOCK(Bds, A1, "%.8E"),
    ZV_CLOCK(Bds, A2, "%.8E"),
    ZV_NUM(Bds, Aode, FIELD_U32, "%u"),
    ZV_NUM(Bds, Toe, FIELD_U32, "%u"),
    ZV_NUM(Bds, RootA, FIELD_F64, "%.6f"),
    ZV_NUM(Bds, Ecc, FIELD_F64, "%.10E"),
    ZV_NUM(Bds, Omega, FIELD_F64, "%.9f"),
    ZV_NUM(Bds, DeltaN, FIELD_F64, "%.10E"),
    ZV_NUM(Bds, M0, FIELD_F64, "%.9f"),
    ZV_NUM(Bds, Omega0, FIELD_F64, "%.9E"),
    ZV_NUM(Bds, OmegaDot, FIELD_F64, "%.8E"),
    ZV_NUM(Bds, I0, FIELD_F64, "%.10E"),
    ZV_NUM(Bds, IDot, FIELD_F64, "%.9E"),
    ZV_NUM(Bds, Cuc, FIELD_F64, "%.9E"),
    ZV_NUM(Bds, Cus, FIELD_F64, "%.9E"),
    ZV_NUM(Bds, Crc, FIELD_F64, "%.7f"),
    ZV_NUM(Bds, Crs, FIELD_F64, "%.7f"),
    ZV_NUM(Bds, Cic, FIELD_F64, "%.9E"),
    ZV_NUM(Bds, Cis, FIELD_F64, "%.9E"),
};

// GLOEPHEMERIS
using Glo = GLOEPHEMERIS_BODY_T;
constexpr LOG_FIELD_T GLOEPHEMERIS_FIELDS[] = {
    ZV_NUM(Glo, SlotOffset, FIELD_U16, "%u"),  ZV_NUM(Glo, FreqOffset, FIELD_U16, "%u"),
    ZV_NUM(Glo, SatType, FIELD_U8, "%u"),      ZV_NUM(Glo, Reserved1, FIELD_U8, "%u"),
    ZV_NUM(Glo, Week, FIELD_U16, "%u"),        ZV_NUM(Glo, EphTime, FIELD_U32, "%u"),
    ZV_NUM(Glo, TimeOffset, FIELD_U32, "%u"),  ZV_NUM(Glo, Nt, FIELD_U16, "%u"),
    ZV_NUM(Glo, Reserved2, FIELD_U8, "%u"),    ZV_NUM(Glo, Reserved3, FIELD_U8, "%u"),
    ZV_NUM(Glo, Issue, FIELD_U32, "%u"),       ZV_NUM(Glo, Health, FIELD_U32, "%u"),
    ZV_NUM(Glo, PosX, FIELD_F64, "%.16E"),     ZV_NUM(Glo, PosY, FIELD_F64, "%.16E"),
    ZV_NUM(Glo, PosZ, FIELD_F64, "%.16E"),     ZV_NUM(Glo, VelX, FIELD_F64, "%.16E"),
    ZV_NUM(Glo, VelY, FIELD_F64, "%.16E"),     ZV_NUM(Glo, VelZ, FIELD_F64, "%.16E"),
    ZV_NUM(Glo, AccX, FIELD_F64, "%.17f"),     ZV_NUM(Glo, AccY, FIELD_F64, "%.17E"),
    ZV_NUM(Glo, AccZ, FIELD_F64, "%.17E"),     ZV_NUM(Glo, TauN, FIELD_F64, "%.17E"),
    ZV_NUM(Glo, DeltaTauN, FIELD_F64, "%.9E"), ZV_NUM(Glo, GammaN, FIELD_F64, "%.17E"),
    ZV_NUM(Glo, Tk, FIELD_U32, "%u"),          ZV_NUM(Glo, P, FIELD_U32, "%u"),
    ZV_NUM(Glo, Ft, FIELD_U32, "%u"),          ZV_NUM(Glo, Age, FIELD_U32, "%u"),
    ZV_NUM(Glo, Flags, FIELD_U32, "%u"),
};

// GALEPHEMERIS
using Gal = GALEPHEMERIS_BODY_T;
constexpr LOG_FIELD_T GALEPHEMERIS_FIELDS[] = {
    ZV_NUM(Gal, SatId, FIELD_U32, "%d"),
    ZV_NAME(Gal, FNavReceived, NAMES_TRUE_FALSE),
    ZV_NAME(Gal, INavReceived, NAMES_TRUE_FALSE),
    ZV_NUM(Gal, E1bHealth, FIELD_U8, "%d"),
    ZV_NUM(Gal, E5aHealth, FIELD_U8, "%d"),
    ZV_NUM(Gal, E5bHealth, FIELD_U8, "%d"),
    ZV_NUM(Gal, E1bDvs, FIELD_U8, "%d"),
    ZV_NUM(Gal, E5aDvs, FIELD_U8, "%d"),
    ZV_NUM(Gal, E5bDvs, FIELD_U8, "%d"),
    ZV_NUM(Gal, Sisa, FIELD_U8, "%d"),
    ZV_NUM(Gal, Reserved, FIELD_U8, "%d"),
    ZV_NUM(Gal, IodNav, FIELD_U32, "%d"),
    ZV_NUM(Gal, Toe, FIELD_U32, "%d"),
    ZV_NUM(Gal, RootA, FIELD_F64, "%1.8E"),
    ZV_NUM(Gal, DeltaN, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, M0, FIELD_F64, "%1.8E"),
    ZV_NUM(Gal, Ecc, FIELD_F64, "%1.9E"),
    ZV_NUM(Gal, Omega, FIELD_F64, "%1.8E"),
    ZV_NUM(Gal, Cuc, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, Cus, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, Crc, FIELD_F64, "%1.3E"),
    ZV_NUM(Gal, Crs, FIELD_F64, "%1.3E"),
    ZV_NUM(Gal, Cic, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, Cis, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, I0, FIELD_F64, "%1.9E"),
    ZV_NUM(Gal, IDot, FIELD_F64, "%1.4E"),
    ZV_NUM(Gal, Omega0, FIELD_F64, "%1.8E"),
    ZV_NUM(Gal, OmegaDot, FIELD_F64, "%1.7E"),
    ZV_NUM(Gal, FNavToc, FIELD_U32, "%d"),
    ZV_CLOCK(Gal, FNavAf0, "%1.9E"),
    ZV_CLOCK(Gal, FNavAf1, "%1.6E"),
    ZV_CLOCK(Gal, FNavAf2, "%1.4E"),
    ZV_NUM(Gal, INavToc, FIELD_U32, "%d"),
    ZV_CLOCK(Gal, INavAf0, "%1.9E"),
    ZV_CLOCK(Gal, INavAf1, "%1.6E"),
    ZV_CLOCK(Gal, INavAf2, "%1.4E"),
    ZV_NUM(Gal, BgdE1E5a, FIELD_F64, "%1.3E"),
    ZV_NUM(Gal, BgdE1E5b, FIELD_F64, "%1.3E"),
};

// BDSCLOCK
using BdsClock = BDSCLOCK_BODY_T;
constexpr LOG_FIELD_T BDSCLOCK_FIELDS[] = {
    ZV_NUM(BdsClock, A0Utc, FIELD_F64, "%.15e"), ZV_NUM(BdsClock, A1Utc, FIELD_F64, "%.15e"),
    ZV_NUM(BdsClock, DeltaTls, FIELD_I16, "%d"), ZV_NUM(BdsClock, WnLsf, FIELD_U16, "%u"),
    ZV_NUM(BdsClock, Dn, FIELD_U16, "%u"),       ZV_NUM(BdsClock, DeltaTlsf, FIELD_I16, "%d"),
    ZV_NUM(BdsClock, A0Gps, FIELD_F64, "%.15e"), ZV_NUM(BdsClock, A1Gps, FIELD_F64, "%.15e"),
    ZV_NUM(BdsClock, A0Gal, FIELD_F64, "%.15e"), ZV_NUM(BdsClock, A1Gal, FIELD_F64, "%.15e"),
    ZV_NUM(BdsClock, A0Glo, FIELD_F64, "%.15e"), ZV_NUM(BdsClock, A1Glo, FIELD_F64, "%.15e"),
};

// GALCLOCK
using GalClock = GALCLOCK_BODY_T;
constexpr LOG_FIELD_T GALCLOCK_FIELDS[] = {
    ZV_NUM(GalClock, A0, FIELD_F64, "%.9e"),     ZV_NUM(GalClock, A1, FIELD_F64, "%.7e"),
    ZV_NUM(GalClock, DeltaTls, FIELD_I32, "%d"), ZV_NUM(GalClock, Tot, FIELD_U32, "%u"),
    ZV_NUM(GalClock, WnT, FIELD_U32, "%u"),      ZV_NUM(GalClock, WnLsf, FIELD_U32, "%u"),
    ZV_NUM(GalClock, Dn, FIELD_U32, "%u"),       ZV_NUM(GalClock, DeltaTlsf, FIELD_I32, "%d"),
    ZV_NUM(GalClock, A0G, FIELD_F64, "%.4e"),    ZV_NUM(GalClock, A1G, FIELD_F64, "%.3e"),
    ZV_NUM(GalClock, T0G, FIELD_U32, "%u"),      ZV_NUM(GalClock, Wn0G, FIELD_U32, "%u"),
};

// GLOCLOCK: the four status words and KP are written in hexadecimal, as they are read.
using GloClock = GLOCLOCK_BODY_T;
constexpr LOG_FIELD_T GLOCLOCK_FIELDS[] = {
    ZV_NUM(GloClock, Valid, FIELD_U32, "%u"),       ZV_NUM(GloClock, NominalOffset, FIELD_F64, "%.9f"),
    ZV_NUM(GloClock, GpsOffset, FIELD_F64, "%.9f"), ZV_NUM(GloClock, Status1, FIELD_U32, "%x"),
    ZV_NUM(GloClock, Status2, FIELD_U32, "%x"),     ZV_NUM(GloClock, Status3, FIELD_U32, "%x"),
    ZV_NUM(GloClock, Status4, FIELD_U32, "%x"),     ZV_NUM(GloClock, TauC, FIELD_F64, "%.9e"),
    ZV_NUM(GloClock, N4, FIELD_U16, "%u"),          ZV_NUM(GloClock, Na, FIELD_U16, "%u"),
    ZV_NUM(GloClock, B1, FIELD_F64, "%.9f"),        ZV_NUM(GloClock, B2, FIELD_F64, "%.9f"),
    ZV_NUM(GloClock, TauGps, FIELD_F64, "%.9e"),    ZV_NUM(GloClock, Kp, FIELD_U32, "%x"),
};

// BDSIONO
using BdsIono = BDSIONO_BODY_T;
constexpr LOG_FIELD_T BDSIONO_FIELDS[] = {
    ZV_NUM(BdsIono, SatId, FIELD_U32, "%u"),       ZV_NUM(BdsIono, Alpha[0], FIELD_F64, "%.15e"),
    ZV_NUM(BdsIono, Alpha[1], FIELD_F64, "%.15e"), ZV_NUM(BdsIono, Alpha[2], FIELD_F64, "%.15e"),
    ZV_NUM(BdsIono, Alpha[3], FIELD_F64, "%.15e"), ZV_NUM(BdsIono, Beta[0], FIELD_F64, "%.1f"),
    ZV_NUM(BdsIono, Beta[1], FIELD_F64, "%.1f"),   ZV_NUM(BdsIono, Beta[2], FIELD_F64, "%.1f"),
    ZV_NUM(BdsIono, Beta[3], FIELD_F64, "%.1f"),
};

// GALIONO: the storm flags are written in hexadecimal, as they are read.
using GalIono = GALIONO_BODY_T;
constexpr LOG_FIELD_T GALIONO_FIELDS[] = {
    ZV_NUM(GalIono, Ai0, FIELD_F64, "%.2e"),        ZV_NUM(GalIono, Ai1, FIELD_F64, "%.3e"),
    ZV_NUM(GalIono, Ai2, FIELD_F64, "%.4e"),        ZV_NUM(GalIono, StormFlag[0], FIELD_U32, "%x"),
    ZV_NUM(GalIono, StormFlag[1], FIELD_U32, "%x"), ZV_NUM(GalIono, StormFlag[2], FIELD_U32, "%x"),
    ZV_NUM(GalIono, StormFlag[3], FIELD_U32, "%x"), ZV_NUM(GalIono, StormFlag[4], FIELD_U32, "%x"),
};

// IONUTC and QZSSIONUTC
using IonUtc = IONUTC_BODY_T;
constexpr LOG_FIELD_T IONUTC_FIELDS[] = {
    ZV_NUM(IonUtc, Alpha[0], FIELD_F64, "%.15e"), ZV_NUM(IonUtc, Alpha[1], FIELD_F64, "%.15e"),
    ZV_NUM(IonUtc, Alpha[2], FIELD_F64, "%.15e"), ZV_NUM(IonUtc, Alpha[3], FIELD_F64, "%.15e"),
    ZV_NUM(IonUtc, Beta[0], FIELD_F64, "%.15e"),  ZV_NUM(IonUtc, Beta[1], FIELD_F64, "%.15e"),
    ZV_NUM(IonUtc, Beta[2], FIELD_F64, "%.15e"),  ZV_NUM(IonUtc, Beta[3], FIELD_F64, "%.15e"),
    ZV_NUM(IonUtc, UtcWeek, FIELD_U32, "%u"),     ZV_NUM(IonUtc, Tot, FIELD_U32, "%u"),
    ZV_NUM(IonUtc, A0, FIELD_F64, "%.16e"),       ZV_NUM(IonUtc, A1, FIELD_F64, "%.9e"),
    ZV_NUM(IonUtc, WnLsf, FIELD_U32, "%u"),       ZV_NUM(IonUtc, Dn, FIELD_U32, "%u"),
    ZV_NUM(IonUtc, DeltaTls, FIELD_I32, "%d"),    ZV_NUM(IonUtc, DeltaTlsf, FIELD_I32, "%d"),
    ZV_NUM(IonUtc, DeltaTUtc, FIELD_U32, "%u"),
};

// Bytes a field takes in the body.
constexpr uint32_t FieldSize(uint8_t eStore)
{
    return eStore == FIELD_U8                             ? 1
           : (eStore == FIELD_U16 || eStore == FIELD_I16) ? 2
           : (eStore == FIELD_F64 || eStore == FIELD_U64) ? 8
                                                          : 4;
}

// The fields follow each other in text order without gaps and fill the body.
template <size_t N> constexpr bool FieldsFillBody(const LOG_FIELD_T (&Fields)[N], size_t nBodySize)
{
    uint32_t nNext = 0;
    for (const LOG_FIELD_T& f : Fields)
    {
        if (f.nOffset != nNext)
            return false;
        nNext += FieldSize(f.eStore);
    }
    return nNext == nBodySize;
}

#define NAV_LAYOUT(Fields, Body)                                                                                       \
    ZV_LAYOUT(Fields, Body, ' ');                                                                                      \
    static_assert(FieldsFillBody(Fields, sizeof(Body)), #Fields " cover the body in text order")

const LOG_LAYOUT_T GPSEPHEM_LAYOUT = NAV_LAYOUT(GPSEPHEM_FIELDS, GPSEPHEM_BODY_T);
const LOG_LAYOUT_T BD2EPHEM_LAYOUT = NAV_LAYOUT(BD2EPHEM_FIELDS, BD2EPHEM_BODY_T);
const LOG_LAYOUT_T BDSEPHEMERIS_LAYOUT = NAV_LAYOUT(BDSEPHEMERIS_FIELDS, BDSEPHEMERIS_BODY_T);
const LOG_LAYOUT_T GLOEPHEMERIS_LAYOUT = NAV_LAYOUT(GLOEPHEMERIS_FIELDS, GLOEPHEMERIS_BODY_T);
const LOG_LAYOUT_T GALEPHEMERIS_LAYOUT = NAV_LAYOUT(GALEPHEMERIS_FIELDS, GALEPHEMERIS_BODY_T);
const LOG_LAYOUT_T BDSCLOCK_LAYOUT = NAV_LAYOUT(BDSCLOCK_FIELDS, BDSCLOCK_BODY_T);
const LOG_LAYOUT_T GALCLOCK_LAYOUT = NAV_LAYOUT(GALCLOCK_FIELDS, GALCLOCK_BODY_T);
const LOG_LAYOUT_T GLOCLOCK_LAYOUT = NAV_LAYOUT(GLOCLOCK_FIELDS, GLOCLOCK_BODY_T);
const LOG_LAYOUT_T BDSIONO_LAYOUT = NAV_LAYOUT(BDSIONO_FIELDS, BDSIONO_BODY_T);
const LOG_LAYOUT_T GALIONO_LAYOUT = NAV_LAYOUT(GALIONO_FIELDS, GALIONO_BODY_T);
const LOG_LAYOUT_T IONUTC_LAYOUT = NAV_LAYOUT(IONUTC_FIELDS, IONUTC_BODY_T);

constexpr uint32_t HEADER_SIZE = LOG_HEADER_LENGTH;

int Decode(const LOG_LAYOUT_T& Layout, uint16_t nMessageId, const char* pText, int32_t nLength, uint8_t* pOut,
           int32_t* pOutLength)
{
    return DecodeLayoutText(Layout, nMessageId, DECODE_LONG_HEADER, pText, nLength, pOut, pOutLength);
}

int Format(const LOG_LAYOUT_T& Layout, const char* pName, const void* pLog, int32_t nCapacity, char* pOut,
           int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = static_cast<const BinaryLogHeader*>(pLog);
    if (!pHeader || pHeader->HeaderLength != HEADER_SIZE)
        return 0;
    return FormatLayoutLog(Layout, pName, pHeader, static_cast<const uint8_t*>(pLog) + HEADER_SIZE, pOut, nCapacity,
                           pOutLength);
}

// The record's header when it is sound for a body of nBodySize bytes.
const BinaryLogHeader* RecordHeader(const void* pLog, uint32_t nBodySize)
{
    const BinaryLogHeader* pHeader = static_cast<const BinaryLogHeader*>(pLog);
    if (!pHeader || pHeader->HeaderLength != HEADER_SIZE || pHeader->MessageLength < nBodySize)
        return nullptr;
    return pHeader;
}

int Copy(uint32_t nBodySize, const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    uint32_t n = 0;
    if (!RecordHeader(pLog, nBodySize) || !pOutLength || !CopyBinaryLogToWire(pLog, nCapacity, pOut, &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

// Ends the text: CR LF after an abbreviated body, the CRC trailer after a full one.
int FinishText(char* pOut, uint32_t nCapacity, uint32_t nLength, bool bAbbrev, int32_t* pOutLength)
{
    const int ok =
        bAbbrev ? AppendFormat(pOut, nCapacity, &nLength, "\r\n") : AppendTextLogCrc(pOut, nCapacity, &nLength, 0);
    if (!ok)
        return 0;
    *pOutLength = static_cast<int32_t>(nLength);
    return 1;
}

// Upper-case hex digits of the bytes, appended at pOut + *pLength.
int AppendHex(char* pOut, uint32_t nCapacity, uint32_t* pLength, const uint8_t* pBytes, uint32_t nCount)
{
    if (*pLength >= nCapacity || BytesToHex(pBytes, pOut + *pLength, nCapacity - *pLength, nCount) != 0)
        return 0;
    *pLength += 2 * nCount;
    return 1;
}

// The header of a RAWEPHEM or RAWALM text in the form the record asks for.
int WriteRawHeader(const char* pName, const BinaryLogHeader* pHeader, int32_t nCapacity, char* pOut, uint32_t* pLength,
                   bool* pAbbrev)
{
    if (!pOut || nCapacity <= 0)
        return 0;
    *pAbbrev = IsAbbrevLogType(pHeader->MessageType);
    BinaryLogHeader header = *pHeader;
    header.MessageType = HeaderTypeOf(*pAbbrev ? FIELD_FORM_ABBREV : FIELD_FORM_FULL);
    return WriteAsciiHeader(pName, &header, pOut, static_cast<uint32_t>(nCapacity), pLength);
}
} // namespace

int DecodeGpsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GPSEPHEM_LAYOUT, MSG_ID_GPSEPHEM, pText, nLength, pOut, pOutLength);
}
int DecodeQzssEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GPSEPHEM_LAYOUT, MSG_ID_QZSSEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBdsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(BDSEPHEMERIS_LAYOUT, MSG_ID_BDSEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBd2EphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(BD2EPHEM_LAYOUT, MSG_ID_BD2EPHEM, pText, nLength, pOut, pOutLength);
}
int DecodeGloEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GLOEPHEMERIS_LAYOUT, MSG_ID_GLOEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeGalEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GALEPHEMERIS_LAYOUT, MSG_ID_GALEPHEMERIS, pText, nLength, pOut, pOutLength);
}
int DecodeBdsClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(BDSCLOCK_LAYOUT, MSG_ID_BDSCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeGalClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GALCLOCK_LAYOUT, MSG_ID_GALCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeGloClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GLOCLOCK_LAYOUT, MSG_ID_GLOCLOCK, pText, nLength, pOut, pOutLength);
}
int DecodeBdsIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(BDSIONO_LAYOUT, MSG_ID_BDSIONO, pText, nLength, pOut, pOutLength);
}
int DecodeGalIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    return Decode(GALIONO_LAYOUT, MSG_ID_GALIONO, pText, nLength, pOut, pOutLength);
}
int DecodeIonUtcText(const char* pText, int32_t nLength, uint16_t nMessageId, uint8_t* pOut, int32_t* pOutLength)
{
    if (nMessageId != MSG_ID_IONUTC && nMessageId != MSG_ID_QZSSIONUTC)
        return 0;
    return Decode(IONUTC_LAYOUT, nMessageId, pText, nLength, pOut, pOutLength);
}

int FormatGpsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GPSEPHEM_LAYOUT, "GPSEPHEM", pLog, nCapacity, pOut, pOutLength);
}
int FormatQzssEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GPSEPHEM_LAYOUT, "QZSSEPHEMERIS", pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(BDSEPHEMERIS_LAYOUT, "BDSEPHEMERIS", pLog, nCapacity, pOut, pOutLength);
}
int FormatBd2Ephem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(BD2EPHEM_LAYOUT, "BD2EPHEM", pLog, nCapacity, pOut, pOutLength);
}
int FormatGloEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GLOEPHEMERIS_LAYOUT, "GLOEPHEMERIS", pLog, nCapacity, pOut, pOutLength);
}
int FormatGalEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GALEPHEMERIS_LAYOUT, "GALEPHEMERIS", pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(BDSCLOCK_LAYOUT, "BDSCLOCK", pLog, nCapacity, pOut, pOutLength);
}
int FormatGalClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GALCLOCK_LAYOUT, "GALCLOCK", pLog, nCapacity, pOut, pOutLength);
}
int FormatGloClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GLOCLOCK_LAYOUT, "GLOCLOCK", pLog, nCapacity, pOut, pOutLength);
}
int FormatBdsIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(BDSIONO_LAYOUT, "BDSIONO", pLog, nCapacity, pOut, pOutLength);
}
int FormatGalIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    return Format(GALIONO_LAYOUT, "GALIONO", pLog, nCapacity, pOut, pOutLength);
}
int FormatIonUtc(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    if (!pLog)
        return 0;
    const uint16_t nId = static_cast<const BinaryLogHeader*>(pLog)->MessageId;
    if (nId != MSG_ID_IONUTC && nId != MSG_ID_QZSSIONUTC)
        return 0;
    return Format(IONUTC_LAYOUT, nId == MSG_ID_IONUTC ? "IONUTC" : "QZSSIONUTC", pLog, nCapacity, pOut, pOutLength);
}

int FormatRawEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog, sizeof(RAWEPHEM_BODY_T));
    uint32_t n = 0;
    bool bAbbrev = false;
    if (!pHeader || !pOutLength || !WriteRawHeader("RAWEPHEM", pHeader, nCapacity, pOut, &n, &bAbbrev))
        return 0;
    const uint32_t nCap = static_cast<uint32_t>(nCapacity);
    RAWEPHEM_BODY_T body;
    memcpy(&body, static_cast<const uint8_t*>(pLog) + HEADER_SIZE, sizeof(body));
    if (!AppendFormat(pOut, nCap, &n, bAbbrev ? "<\t%u %u %u" : "%u,%u,%u", body.Prn, body.RefWeek, body.RefSeconds))
        return 0;
    for (const auto& subframe : body.Subframe)
        if (!AppendFormat(pOut, nCap, &n, "%c", bAbbrev ? ' ' : ',') ||
            !AppendHex(pOut, nCap, &n, subframe, sizeof(subframe)))
            return 0;
    return FinishText(pOut, nCap, n, bAbbrev, pOutLength);
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
    bool bAbbrev = false;
    if (!pOutLength || !WriteRawHeader("RAWALM", pHeader, nCapacity, pOut, &n, &bAbbrev))
        return 0;
    const uint32_t nCap = static_cast<uint32_t>(nCapacity);
    if (!AppendFormat(pOut, nCap, &n, bAbbrev ? "<\t%u %.3f %u" : "%u,%.3f,%u", fixed.RefWeek, fixed.RefSeconds,
                      fixed.Count))
        return 0;
    for (uint32_t i = 0; i < fixed.Count; ++i)
    {
        RAWALM_SUBFRAME_T sub;
        memcpy(&sub, pBody + sizeof(fixed) + i * sizeof(sub), sizeof(sub));
        if (!AppendFormat(pOut, nCap, &n, bAbbrev ? "\r\n<\t\t%u " : ",%u,", sub.SvId) ||
            !AppendHex(pOut, nCap, &n, sub.Data, sizeof(sub.Data)))
            return 0;
    }
    return FinishText(pOut, nCap, n, bAbbrev, pOutLength);
}

int CopyBinaryGpsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(GPSEPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryQzssEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(GPSEPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryBdsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(BDSEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryBd2Ephem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(BD2EPHEM_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryGloEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(GLOEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryGalEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(GALEPHEMERIS_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
int CopyBinaryIonUtc(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    return Copy(sizeof(IONUTC_BODY_T), pLog, nCapacity, pOut, pOutLength);
}
