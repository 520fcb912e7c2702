#include "monitor/parsing/pos_data_parser.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "codec/ins_logs.h"
#include "codec/log_fields.h"
#include "codec/position_logs.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"
#include "monitor/parsing/latest_log_store.h"

namespace
{
constexpr double kDegToRad = 0.01745329252;
constexpr uint32_t kMaxFields = 40;

// The comma-separated fields of a sentence between "$" and "*".
struct FIELDS_T
{
    const char* p[kMaxFields];
    int32_t n[kMaxFields];
    uint32_t Count;
    bool Empty(uint32_t i) const { return i >= Count || n[i] == 0; }
};

void SplitFields(const char* pBegin, const char* pEnd, FIELDS_T* pFields)
{
    pFields->Count = 0;
    TextFieldCursor c = MakeFieldCursor(pBegin, pEnd);
    const char* p;
    int32_t n;
    while (pFields->Count < kMaxFields && NextTextField(&c, &p, &n))
    {
        pFields->p[pFields->Count] = p;
        pFields->n[pFields->Count++] = n;
    }
}

// A field as a number: empty gives the default, a field that is not a plain
// decimal number fails.
bool Number(const FIELDS_T& f, uint32_t i, double dDefault, double* pValue)
{
    if (f.Empty(i))
    {
        *pValue = dDefault;
        return true;
    }
    return IsDecimalText(f.p[i], f.n[i], 1) && ParseFieldF64(f.p[i], f.n[i], pValue) && std::isfinite(*pValue);
}

bool Integer(const FIELDS_T& f, uint32_t i, int32_t nDefault, int32_t nMin, int32_t nMax, int32_t* pValue)
{
    if (f.Empty(i))
    {
        *pValue = nDefault;
        return true;
    }
    return IsDecimalText(f.p[i], f.n[i], 0) && ParseFieldI32(f.p[i], f.n[i], pValue) && *pValue >= nMin &&
           *pValue <= nMax;
}

// hhmmss.sss as milliseconds of the day; empty gives 0.
bool TimeOfDay(const FIELDS_T& f, uint32_t i, int64_t* pMs)
{
    double t;
    if (!Number(f, i, 0.0, &t) || t < 0 || t >= 240000.0)
        return false;
    const int64_t nHms = static_cast<int64_t>(t);
    const int64_t nMs = std::min<int64_t>(std::llround((t - static_cast<double>(nHms)) * 1000.0), 999);
    const int64_t h = nHms / 10000, m = nHms / 100 % 100, s = nHms % 100;
    if (m > 59 || s > 60)
        return false;
    *pMs = ((h * 60 + m) * 60 + s) * 1000 + nMs;
    return true;
}

// ddmm.mmmm with its hemisphere letter, in radians.
bool Angle(const FIELDS_T& f, uint32_t i, char cNegative, double dMaxDegrees, double* pRadians)
{
    double v;
    if (!Number(f, i, 0.0, &v) || v < 0)
        return false;
    const double dWhole = std::floor(v / 100.0);
    const double dDegrees = dWhole + (v - dWhole * 100.0) / 60.0;
    if (dDegrees > dMaxDegrees)
        return false;
    const bool bNegative = !f.Empty(i + 1) && f.p[i + 1][0] == cNegative;
    *pRadians = (bNegative ? -dDegrees : dDegrees) * kDegToRad;
    return true;
}

void SetTimeOfDay(int64_t nMs, CalendarTime* pUtc)
{
    pUtc->Hour = static_cast<uint32_t>(nMs / 3600000);
    pUtc->Minute = static_cast<uint32_t>(nMs / 60000 % 60);
    pUtc->Second = static_cast<uint32_t>(nMs / 1000 % 60);
    pUtc->Millisecond = static_cast<uint32_t>(nMs % 1000);
}

void ClearSatEntry(SAT_INFO_T* pSat, bool bKeepUsed)
{
    const uint8_t uUsed = bKeepUsed ? pSat->Used : 0;
    *pSat = SAT_INFO_T{uUsed, 0, 255, 255, -1, POS_SYS_UNKNOWN};
}

uint32_t TalkerSystem(const char* pTalker)
{
    struct TALKER_T
    {
        char Name[3];
        uint32_t System;
    };
    static const TALKER_T kTalkers[] = {
        {"GP", GNSS_SYSTEM_GPS}, {"GL", GNSS_SYSTEM_GLONASS}, {"GA", GNSS_SYSTEM_GALILEO}, {"GB", GNSS_SYSTEM_BDS},
        {"BD", GNSS_SYSTEM_BDS}, {"GQ", GNSS_SYSTEM_QZSS},    {"GN", POS_SYS_UNKNOWN}};
    for (const TALKER_T& t : kTalkers)
        if (pTalker[0] == t.Name[0] && pTalker[1] == t.Name[1])
            return t.System;
    return 0xFFFFFFFEu; // not a talker of ours
}

// The NMEA 4.11 system ID that ends GSA sentences, as a table system.
uint32_t NmeaSystemId(int32_t nId)
{
    switch (nId)
    {
    case 1:
        return GNSS_SYSTEM_GPS;
    case 2:
        return GNSS_SYSTEM_GLONASS;
    case 3:
        return GNSS_SYSTEM_GALILEO;
    case 4:
        return GNSS_SYSTEM_BDS;
    case 5:
        return GNSS_SYSTEM_QZSS;
    default:
        return POS_SYS_UNKNOWN;
    }
}

void GpsSecondsOfDate(POS_DATA_T* pPos)
{
    uint32_t nWeek = 0, nMs = 0;
    int32_t nLeap = 0;
    pPos->GpsSeconds = POS_GPS_SECONDS_NONE;
    if (pPos->Utc.Year == 0 || !UtcLeapSeconds(&pPos->Utc, &nLeap))
        return;
    // GPS minus UTC of the epoch's own date, not of today's.
    const int32_t nLeapMs = nLeap * 1000;
    if (UtcToGpsTime(&pPos->Utc, &nLeapMs, &nWeek, &nMs) != GNSS_TIME_INVALID)
        pPos->GpsSeconds = nMs / 1000.0;
}

// Clears what a GGA or RMC gives, so that an epoch holds only what its own
// sentences said: a lost RMC leaves the date unknown instead of the day
// before, a lost GGA the height instead of the last epoch's.
void StartEpoch(POS_DATA_T* w)
{
    w->Utc = CalendarTime{};
    w->Latitude = w->Longitude = w->Height = w->Undulation = 0.0;
    w->DiffAge = w->BaseStationID = 0;
    w->HDOP = w->Speed = w->Course = 0.0;
    w->GpsSeconds = POS_GPS_SECONDS_NONE;
    w->SatsUsed = 0;
    w->FixQuality = FIX_QUALITY_UNKNOWN;
}

// Copies the epoch collected so far into the caller's record and starts the next.
void Publish(POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    POS_DATA_T& w = pState->Work;
    GpsSecondsOfDate(&w);
    std::memcpy(pPos->SatInfo, w.SatInfo, sizeof w.SatInfo);
    std::memcpy(pPos->InView, w.InView, sizeof w.InView);
    pPos->UsedGpsOther = w.UsedGpsOther;
    pPos->UsedGalileo = w.UsedGalileo;
    pPos->UsedBeiDou = w.UsedBeiDou;
    pPos->UsedSbas = w.UsedSbas;
    pPos->HDOP = w.HDOP;
    pPos->Speed = w.Speed;
    pPos->Course = w.Course;
    if (pState->HdtSeen)
        pPos->Azimuth = w.Azimuth;
    // Position, time and fix belong to the chosen source; a log source keeps its own.
    if (pPos->RefPosMsgType <= REF_POS_RMC)
    {
        pPos->Utc = w.Utc;
        pPos->Latitude = w.Latitude;
        pPos->Longitude = w.Longitude;
        pPos->Height = w.Height;
        pPos->PrevLatitude = w.PrevLatitude;
        pPos->PrevLongitude = w.PrevLongitude;
        pPos->PrevHeight = w.PrevHeight;
        pPos->Undulation = w.Undulation;
        pPos->DiffAge = w.DiffAge;
        pPos->BaseStationID = w.BaseStationID;
        pPos->GpsSeconds = w.GpsSeconds;
        pPos->SatsUsed = w.SatsUsed;
        pPos->FixQuality = w.FixQuality;
    }
    w.PrevLatitude = w.Latitude;
    w.PrevLongitude = w.Longitude;
    w.PrevHeight = w.Height;
    // What GSA says holds for one epoch.
    for (SAT_INFO_T& s : w.SatInfo)
        s.Used = 0;
    w.UsedGpsOther = w.UsedGalileo = w.UsedBeiDou = w.UsedSbas = 0;
    pState->HdtSeen = false;
    pState->Published = true;
    StartEpoch(&w);
}

// Publishes when the sentence's time differs from the last GGA or RMC time.
bool NewTime(int64_t nMs, POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    if (nMs == pState->LastTimeMs)
        return false;
    Publish(pPos, pState);
    pState->LastTimeMs = nMs;
    return true;
}

int ParseGga(const FIELDS_T& f, POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    int64_t nMs;
    double dLat, dLon, dHdop, dAlt, dUnd, dAge;
    int32_t nQuality, nSats, nBase;
    if (!TimeOfDay(f, 1, &nMs) || !Angle(f, 2, 'S', 90.0, &dLat) || !Angle(f, 4, 'W', 180.0, &dLon) ||
        !Integer(f, 6, 255, 0, 255, &nQuality) || !Integer(f, 7, 0, 0, 999, &nSats) || !Number(f, 8, 0.0, &dHdop) ||
        !Number(f, 9, 0.0, &dAlt) || !Number(f, 11, 0.0, &dUnd) || !Number(f, 13, 0.0, &dAge) || dAge < 0 ||
        dAge > 4e9 || !Integer(f, 14, 0, 0, INT32_MAX, &nBase))
        return -1;
    const bool bPublished = NewTime(nMs, pPos, pState);
    POS_DATA_T& w = pState->Work;
    SetTimeOfDay(nMs, &w.Utc);
    w.Latitude = dLat;
    w.Longitude = dLon;
    w.FixQuality = static_cast<uint8_t>(nQuality);
    w.SatsUsed = static_cast<uint32_t>(nSats);
    w.HDOP = dHdop;
    w.Height = dAlt + dUnd;
    w.Undulation = dUnd;
    w.DiffAge = static_cast<uint32_t>(dAge);
    w.BaseStationID = static_cast<uint32_t>(nBase);
    return bPublished;
}

int ParseRmc(const FIELDS_T& f, POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    int64_t nMs;
    double dLat, dLon, dKnots, dCourse;
    int32_t nDate;
    if (!TimeOfDay(f, 1, &nMs) || !Angle(f, 3, 'S', 90.0, &dLat) || !Angle(f, 5, 'W', 180.0, &dLon) ||
        !Number(f, 7, 0.0, &dKnots) || !Number(f, 8, 0.0, &dCourse) || !Integer(f, 9, 0, 0, 999999, &nDate))
        return -1;
    const bool bPublished = NewTime(nMs, pPos, pState);
    POS_DATA_T& w = pState->Work;
    SetTimeOfDay(nMs, &w.Utc);
    const bool bValid = !f.Empty(2) && f.p[2][0] == 'A';
    if (!bValid)
        w.FixQuality = FIX_QUALITY_UNKNOWN;
    else if (w.FixQuality == 0 || w.FixQuality == FIX_QUALITY_UNKNOWN)
        w.FixQuality = 1;
    w.Latitude = dLat;
    w.Longitude = dLon;
    w.Speed = dKnots * 1852.0 / 3600.0;
    w.Course = dCourse;
    // ddmmyy of 2000-2099; a date that does not read leaves it unknown.
    const uint32_t nDay = static_cast<uint32_t>(nDate) / 10000, nMonth = static_cast<uint32_t>(nDate) / 100 % 100;
    if (nDay >= 1 && nDay <= 31 && nMonth >= 1 && nMonth <= 12)
    {
        w.Utc.Year = 2000 + static_cast<uint32_t>(nDate) % 100;
        w.Utc.Month = nMonth;
        w.Utc.Day = nDay;
    }
    return bPublished;
}

int ParseGsa(const FIELDS_T& f, uint32_t nTalkerSystem, NMEA_STATE_T* pState)
{
    double dPdop, dHdop, dVdop;
    int32_t nSystemId = 0;
    int32_t Sats[12];
    for (uint32_t i = 0; i < 12; ++i)
        if (!Integer(f, 3 + i, 0, 0, 999, &Sats[i]))
            return -1;
    if (!Number(f, 15, 0.0, &dPdop) || !Number(f, 16, 0.0, &dHdop) || !Number(f, 17, 0.0, &dVdop) ||
        !Integer(f, 18, 0, 0, 15, &nSystemId))
        return -1;
    uint32_t nSystem = nTalkerSystem;
    if (nSystem == POS_SYS_UNKNOWN && nSystemId != 0)
        nSystem = NmeaSystemId(nSystemId);
    POS_DATA_T& w = pState->Work;
    for (int32_t n : Sats)
    {
        uint32_t nSatSystem = POS_SYS_UNKNOWN;
        const uint32_t nTable = n > 0 ? SatTableNumber(nSystem, static_cast<uint32_t>(n), &nSatSystem) : 0;
        if (nTable == 0 || w.SatInfo[nTable - 1].Used)
            continue;
        w.SatInfo[nTable - 1].Used = 1;
        if (nSatSystem == GNSS_SYSTEM_SBAS)
            ++w.UsedSbas;
        else if (nSatSystem == GNSS_SYSTEM_GALILEO)
            ++w.UsedGalileo;
        else if (nSatSystem == GNSS_SYSTEM_BDS)
            ++w.UsedBeiDou;
        else
            ++w.UsedGpsOther;
    }
    if (!f.Empty(16))
        w.HDOP = dHdop;
    return 0;
}

int ParseGsv(const FIELDS_T& f, uint32_t nTalkerSystem, NMEA_STATE_T* pState, uint32_t* pSignalsSeen)
{
    int32_t nTotal, nMessage, nInView;
    if (!Integer(f, 1, 0, 0, 99, &nTotal) || !Integer(f, 2, -1, 0, 99, &nMessage) ||
        !Integer(f, 3, 0, 0, 999, &nInView))
        return -1;
    struct GROUP_T
    {
        int32_t Number, Elevation, Azimuth, Cn0;
    } Groups[9];
    uint32_t nGroups = 0;
    for (uint32_t i = 4; i + 3 < f.Count && nGroups < 9; i += 4, ++nGroups)
    {
        GROUP_T& g = Groups[nGroups];
        if (!Integer(f, i, 255, 0, 999, &g.Number) || !Integer(f, i + 1, 255, -90, 90, &g.Elevation) ||
            !Integer(f, i + 2, -1, 0, 360, &g.Azimuth) || !Integer(f, i + 3, 255, 0, 99, &g.Cn0))
            return -1;
        if (f.Empty(i + 1))
            g.Elevation = 255;
        if (f.Empty(i + 3))
            g.Cn0 = 255;
    }
    // NMEA 4.11 ends the sentence with the signal ID.
    int32_t nSignal = 0;
    if (f.Count == 4 + 4 * nGroups + 1 && !Integer(f, f.Count - 1, 0, 0, 15, &nSignal))
        return -1;

    POS_DATA_T& w = pState->Work;
    const uint32_t nSystem = nTalkerSystem;
    // The first message of a series starts the system's satellites over,
    // unless it is another signal's series of the same epoch.
    if (nMessage == 1 && nSystem < POS_IN_VIEW_SYSTEMS)
    {
        uint32_t& uSeen = pSignalsSeen[nSystem];
        const uint32_t uBit = 1u << nSignal;
        if (uSeen == 0 || (uSeen & uBit))
        {
            uSeen = 0;
            for (SAT_INFO_T& s : w.SatInfo)
                if (s.SatNumber != 0 && s.System == nSystem)
                    ClearSatEntry(&s, true);
            w.InView[nSystem] = 0;
            if (nSystem == GNSS_SYSTEM_GPS)
                w.InView[GNSS_SYSTEM_SBAS] = 0;
        }
        uSeen |= uBit;
    }
    for (uint32_t k = 0; k < nGroups; ++k)
    {
        const GROUP_T& g = Groups[k];
        uint32_t nSatSystem = POS_SYS_UNKNOWN;
        const uint32_t nTable =
            g.Number != 255 ? SatTableNumber(nSystem, static_cast<uint32_t>(g.Number), &nSatSystem) : 0;
        if (nTable == 0)
            continue;
        SAT_INFO_T& s = w.SatInfo[nTable - 1];
        const bool bNew = s.SatNumber == 0;
        s.SatNumber = nTable;
        s.Elevation = static_cast<uint8_t>(g.Elevation);
        s.Azimuth = static_cast<int16_t>(g.Azimuth);
        // Of several signals of one satellite the first series' CN0 is kept.
        if (bNew || s.CN0 == 255)
            s.CN0 = static_cast<uint8_t>(g.Cn0);
        s.System = nSatSystem == GNSS_SYSTEM_SBAS ? GNSS_SYSTEM_GPS : nSatSystem;
        if (bNew)
            ++w.InView[nSatSystem];
    }
    return 0;
}
} // namespace

const char* RefPosMsgTypeName(uint32_t nType)
{
    static const char* const kNames[] = {"GGA",         "RMC",        "PSRPOS", "RTKPOS", "BESTPOS",
                                         "BESTGNSSPOS", "MATCHEDPOS", "INSPVA", "INSPVAX"};
    return nType < sizeof kNames / sizeof kNames[0] ? kNames[nType] : "UNKNOWN";
}

void ResetPosData(POS_DATA_T* pPos)
{
    std::memset(pPos, 0, sizeof *pPos);
    pPos->GpsSeconds = POS_GPS_SECONDS_NONE;
    pPos->FixQuality = FIX_QUALITY_UNKNOWN;
    for (SAT_INFO_T& s : pPos->SatInfo)
        ClearSatEntry(&s, false);
}

void ResetNmeaState(NMEA_STATE_T* pState)
{
    ResetPosData(&pState->Work);
    pState->LastTimeMs = -1;
    pState->Published = false;
    pState->HdtSeen = false;
    std::memset(pState->GsvSignals, 0, sizeof pState->GsvSignals);
}

bool NmeaChecksumOk(const char* pSentence, int32_t nLength)
{
    if (pSentence == nullptr || nLength < 4 || pSentence[0] != '$')
        return false;
    uint8_t x = 0;
    int32_t i = 1;
    for (; i < nLength && pSentence[i] != '*' && pSentence[i] != '\r' && pSentence[i] != '\n'; ++i)
        x ^= static_cast<uint8_t>(pSentence[i]);
    if (i + 2 >= nLength || pSentence[i] != '*')
        return false;
    const int32_t hi = HexDigitValue(pSentence[i + 1]), lo = HexDigitValue(pSentence[i + 2]);
    return hi >= 0 && hi < 16 && lo >= 0 && lo < 16 && static_cast<uint8_t>(hi * 16 + lo) == x;
}

int ParseNmeaSentence(const char* pLine, int32_t nLength, POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    if (pLine == nullptr || pPos == nullptr || pState == nullptr || nLength < 7 || pLine[0] != '$')
        return -1;
    const uint32_t nTalkerSystem = TalkerSystem(pLine + 1);
    // Nothing changes unless the whole sentence is intact.
    if (nTalkerSystem == 0xFFFFFFFEu || !NmeaChecksumOk(pLine, nLength))
        return -1;
    const char* pStar = static_cast<const char*>(std::memchr(pLine, '*', static_cast<size_t>(nLength)));
    FIELDS_T f;
    SplitFields(pLine + 1, pStar, &f);
    if (f.n[0] != 5)
        return 0;
    const char* pType = pLine + 3;
    int nResult = 0;
    if (std::memcmp(pType, "GGA", 3) == 0)
        nResult = ParseGga(f, pPos, pState);
    else if (std::memcmp(pType, "RMC", 3) == 0)
        nResult = ParseRmc(f, pPos, pState);
    else if (std::memcmp(pType, "GSA", 3) == 0)
        nResult = ParseGsa(f, nTalkerSystem, pState);
    else if (std::memcmp(pType, "GSV", 3) == 0)
        nResult = ParseGsv(f, nTalkerSystem, pState, pState->GsvSignals);
    else if (std::memcmp(pType, "HDT", 3) == 0)
    {
        double dHeading;
        if (!Number(f, 1, 0.0, &dHeading))
            return -1;
        pState->Work.Azimuth = dHeading;
        pState->HdtSeen = true;
    }
    return nResult < 0 ? -1 : nResult;
}

int FinishNmeaEpoch(POS_DATA_T* pPos, NMEA_STATE_T* pState)
{
    if (pPos == nullptr || pState == nullptr || pState->LastTimeMs < 0)
        return 0;
    Publish(pPos, pState);
    pState->LastTimeMs = -1;
    return 1;
}

int ParseBestposBody(const char* pText, int32_t nLength, PositionBody* pBody)
{
    return ParseLayoutBody(PositionLayout(), pText, nLength, FIELD_FORM_FULL, pBody) ? 0 : -1;
}

int ParseInspvaBody(const char* pText, int32_t nLength, InsPvaBody* pBody)
{
    return ParseLayoutBody(InsPvaLayout(), pText, nLength, FIELD_FORM_FULL, pBody) ? 0 : -1;
}

int ParseInspvaxBody(const char* pText, int32_t nLength, InspvaxBody* pBody)
{
    return ParseLayoutBody(InspvaxLayout(), pText, nLength, FIELD_FORM_FULL, pBody) ? 0 : -1;
}

uint8_t PositionFixQuality(uint32_t nSolStatus, uint32_t nPosType)
{
    if (nSolStatus != 0)
        return 0;
    switch (nPosType)
    {
    case 16: // SINGLE
        return 1;
    case 17: // PSRDIFF
    case 18: // WAAS
        return 2;
    case 48: // L1_INT
    case 49: // WIDE_INT
    case 50: // NARROW_INT
        return 4;
    case 32: // L1_FLOAT
    case 33: // IONOFREE_FLOAT
    case 34: // NARROW_FLOAT
        return 5;
    case 19: // PROPAGATED
    case 52:
    case 53:
    case 54:
    case 55:
    case 56: // the INS types
        return 6;
    default:
        return 0;
    }
}

void HeaderTimeToPosData(uint16_t nWeek, uint32_t nMilliseconds, POS_DATA_T* pPos)
{
    CalendarTime Utc;
    // GPS minus UTC at the log's own time: replayed logs of any year show their UTC.
    const int32_t nLeapMs = GpsLeapMs(nWeek, nMilliseconds);
    if (GpsTimeToCalendar(nWeek, nMilliseconds, &nLeapMs, &Utc))
        pPos->Utc = Utc;
}

void BestposToPosData(const BinaryLogHeader* pHeader, const PositionBody* pBody, POS_DATA_T* pPos)
{
    pPos->Latitude = pBody->Latitude * kDegToRad;
    pPos->Longitude = pBody->Longitude * kDegToRad;
    pPos->Height = pBody->Height + pBody->Undulation;
    pPos->Undulation = pBody->Undulation;
    ++pPos->EpochCount;
    pPos->GpsSeconds = pHeader->Milliseconds / 1000.0;
    pPos->SatsUsed = pBody->Sats.SatsInSolution;
    pPos->Tracked = pBody->Sats.SatsTracked;
    const float fAge = pBody->DiffAge;
    pPos->DiffAge = (fAge >= 0.0f && fAge < 4.0e9f) ? static_cast<uint32_t>(fAge) : 0;
    HeaderTimeToPosData(pHeader->Week, pHeader->Milliseconds, pPos);
    pPos->FixQuality = PositionFixQuality(pBody->SolStatus, pBody->PosType);
}

namespace
{
template <class T> void InsToPosData(const BinaryLogHeader* pHeader, const T* pBody, POS_DATA_T* pPos)
{
    pPos->Latitude = pBody->Latitude * kDegToRad;
    pPos->Longitude = pBody->Longitude * kDegToRad;
    pPos->Height = pBody->Height;
    pPos->Roll = pBody->Roll;
    pPos->Pitch = pBody->Pitch;
    pPos->Azimuth = pBody->Azimuth;
    pPos->GpsSeconds = pHeader->Milliseconds / 1000.0;
    pPos->InsStatus = static_cast<uint8_t>(pBody->InsStatus);
    pPos->FixQuality = static_cast<uint8_t>(pBody->InsStatus);
    ++pPos->EpochCount;
    HeaderTimeToPosData(pHeader->Week, pHeader->Milliseconds, pPos);
}
} // namespace

void InspvaToPosData(const BinaryLogHeader* pHeader, const InsPvaBody* pBody, POS_DATA_T* pPos)
{
    InsToPosData(pHeader, pBody, pPos);
}

void InspvaxToPosData(const BinaryLogHeader* pHeader, const InspvaxBody* pBody, POS_DATA_T* pPos)
{
    InsToPosData(pHeader, pBody, pPos);
}

namespace
{
struct SOURCE_T
{
    const char* Prefix; // the text log's name with its comma
    uint16_t Id;
};
const SOURCE_T kSources[] = {
    {"#PSRPOSA,", MSG_ID_PSRPOS},           {"#RTKPOSA,", MSG_ID_RTKPOS},         {"#BESTPOSA,", MSG_ID_BESTPOS},
    {"#BESTGNSSPOSA,", MSG_ID_BESTGNSSPOS}, {"#MATCHEDPOSA,", MSG_ID_MATCHEDPOS}, {"#INSPVAA,", MSG_ID_INSPVA},
    {"#INSPVAXA,", MSG_ID_INSPVAX},
};

const SOURCE_T* SourceOf(uint32_t nRefType)
{
    return (nRefType >= REF_POS_PSRPOS && nRefType <= REF_POS_INSPVAX) ? &kSources[nRefType - REF_POS_PSRPOS] : nullptr;
}

// A kept or decoded record (header and body) of the source into the record.
void RecordToPosData(uint16_t nId, const uint8_t* pRecord, uint32_t nLength, POS_DATA_T* pPos)
{
    BinaryLogHeader Header;
    std::memcpy(&Header, pRecord, sizeof Header);
    const uint8_t* pBody = pRecord + LOG_HEADER_LENGTH;
    if (nId == MSG_ID_INSPVA && nLength >= LOG_HEADER_LENGTH + sizeof(InsPvaBody))
    {
        InsPvaBody b;
        std::memcpy(&b, pBody, sizeof b);
        InspvaToPosData(&Header, &b, pPos);
    }
    else if (nId == MSG_ID_INSPVAX && nLength >= LOG_HEADER_LENGTH + sizeof(InspvaxBody))
    {
        InspvaxBody b;
        std::memcpy(&b, pBody, sizeof b);
        InspvaxToPosData(&Header, &b, pPos);
    }
    else if (nId != MSG_ID_INSPVA && nId != MSG_ID_INSPVAX && nLength >= LOG_HEADER_LENGTH + sizeof(PositionBody))
    {
        PositionBody b;
        std::memcpy(&b, pBody, sizeof b);
        BestposToPosData(&Header, &b, pPos);
    }
}

// The text log of one source into the record, when the line is one.
int SourceTextToPosData(const SOURCE_T* pSource, const char* pLine, int32_t nLength, POS_DATA_T* pPos)
{
    const size_t nPrefix = pSource != nullptr ? std::strlen(pSource->Prefix) : 0;
    if (pSource == nullptr || pLine == nullptr || pPos == nullptr || nLength < static_cast<int32_t>(nPrefix) ||
        std::memcmp(pLine, pSource->Prefix, nPrefix) != 0)
        return 0;
    uint8_t Record[LOG_HEADER_LENGTH + 256];
    int32_t nOut = 0;
    int nOk;
    if (pSource->Id == MSG_ID_INSPVA)
        nOk = DecodeLayoutText(InsPvaLayout(), MSG_ID_INSPVA, DECODE_LONG_HEADER, pLine, nLength, Record, &nOut);
    else if (pSource->Id == MSG_ID_INSPVAX)
        nOk = DecodeInspvaxText(pLine, nLength, Record, &nOut);
    else
        nOk = DecodePositionText(pLine, nLength, Record, &nOut);
    if (!nOk)
        return 0;
    RecordToPosData(pSource->Id, Record, static_cast<uint32_t>(nOut), pPos);
    return 1;
}
} // namespace

int AsciiLogToPosData(const char* pLine, int32_t nLength, POS_DATA_T* pPos)
{
    return SourceTextToPosData(pPos != nullptr ? SourceOf(pPos->RefPosMsgType) : nullptr, pLine, nLength, pPos);
}

int PositionLogToPosData(const char* pLine, int32_t nLength, POS_DATA_T* pPos)
{
    for (const SOURCE_T& source : kSources)
        if (SourceTextToPosData(&source, pLine, nLength, pPos))
            return 1;
    return 0;
}

void CutPositionLines(QByteArray* pLeftover, const char* pText, int32_t nLength,
                      const std::function<void(const char* pLine, int32_t nLength)>& fnLine)
{
    if (pText != nullptr && nLength > 0)
        pLeftover->append(pText, nLength);
    const char* p = pLeftover->constData();
    const int32_t nSize = pLeftover->size();
    int32_t nAt = 0;
    while (nAt < nSize)
    {
        int32_t nStart = nAt;
        while (nStart < nSize && p[nStart] != '$' && p[nStart] != '#')
            ++nStart;
        if (nStart == nSize)
        {
            nAt = nSize;
            break;
        }
        const int32_t nLimit = std::min(nSize, nStart + static_cast<int32_t>(POS_LINE_MAX));
        // A "$" or "#" inside a line opens the next sentence or log: a cut
        // line must not swallow the one after it.
        int32_t nEnd = nStart + 1;
        while (nEnd < nLimit && p[nEnd] != '\r' && p[nEnd] != '\n' && p[nEnd] != '$' && p[nEnd] != '#')
            ++nEnd;
        if (nEnd == nSize && nEnd - nStart < static_cast<int32_t>(POS_LINE_MAX))
        {
            nAt = nStart; // an unfinished line waits for its end
            break;
        }
        fnLine(p + nStart, nEnd - nStart);
        nAt = nEnd;
    }
    pLeftover->remove(0, nAt);
}

QPosDataParser::QPosDataParser(QObject* pParent) : QObject(pParent)
{
    ResetPosData(&m_PosData);
    ResetNmeaState(&m_Nmea);
}

QPosDataParser::~QPosDataParser() = default;

void QPosDataParser::StartOver()
{
    const uint32_t nSource = m_PosData.RefPosMsgType;
    ResetPosData(&m_PosData);
    m_PosData.RefPosMsgType = nSource;
    ResetNmeaState(&m_Nmea);
    m_Leftover.clear();
}

int QPosDataParser::ParsePosData(const char* pText, int32_t nLength, POS_DATA_T* pPos, QRangeData* pStore)
{
    if (pPos == nullptr)
        return 0;
    if (pText == nullptr || nLength < 0)
        nLength = 0;
    CutPositionLines(&m_Leftover, pText, nLength,
                     [&](const char* pLine, int32_t nLine)
                     {
                         if (pLine[0] == '$')
                             ParseNmeaSentence(pLine, nLine, pPos, &m_Nmea);
                         else if (pStore != nullptr)
                             pStore->StoreTextLog(pLine, static_cast<uint32_t>(nLine));
                         else
                             AsciiLogToPosData(pLine, nLine, pPos);
                     });
    TakeStoredSource(pPos, pStore);
    return nLength;
}

void QPosDataParser::TakeStoredSource(POS_DATA_T* pPos, QRangeData* pStore)
{
    const SOURCE_T* pSource = SourceOf(pPos->RefPosMsgType);
    if (pStore == nullptr || pSource == nullptr)
        return;
    const uint32_t nUpdates = pStore->BodyUpdates(pSource->Id);
    // A store whose view is gone is forgotten; a new one may take its address.
    m_Seen.erase(std::remove_if(m_Seen.begin(), m_Seen.end(), [](const SOURCE_SEEN_T& s) { return s.Store.isNull(); }),
                 m_Seen.end());
    auto it =
        std::find_if(m_Seen.begin(), m_Seen.end(), [pStore](const SOURCE_SEEN_T& s) { return s.Store == pStore; });
    if (it == m_Seen.end())
        it = m_Seen.insert(m_Seen.end(), SOURCE_SEEN_T{pStore, pPos->RefPosMsgType, 0});
    else if (it->Source != pPos->RefPosMsgType)
    {
        // A newly chosen source starts with its latest log.
        it->Source = pPos->RefPosMsgType;
        it->Updates = nUpdates != 0 ? nUpdates - 1 : 0;
    }
    const uint32_t nNew = nUpdates - it->Updates;
    if (nNew == 0)
        return;
    it->Updates = nUpdates;
    uint32_t nLength = 0;
    const uint8_t* pRecord = pStore->LogCopy(pSource->Id, &nLength);
    if (pRecord == nullptr || nLength == 0)
        return;
    // The record shows the latest; every one that arrived since counts.
    RecordToPosData(pSource->Id, pRecord, nLength, pPos);
    pPos->EpochCount += nNew - 1;
}
