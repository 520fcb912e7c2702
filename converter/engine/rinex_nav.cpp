#include "converter/engine/rinex_nav.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "converter/engine/rinex_text.h"

namespace
{

const uint32_t kSecondsPerWeek = GNSS_MS_PER_WEEK / 1000;

// Copies header and body of a log when it is long enough.
template <typename Body> bool ReadLog(const void* pLog, uint32_t nLength, BinaryLogHeader* pHeader, Body* pBody)
{
    if (!pLog || nLength < sizeof(BinaryLogHeader) + sizeof(Body))
        return false;
    std::memcpy(pHeader, pLog, sizeof(BinaryLogHeader));
    std::memcpy(pBody, static_cast<const uint8_t*>(pLog) + sizeof(BinaryLogHeader), sizeof(Body));
    return true;
}

// The week a time of week belongs to, from a week known to lie within half a
// week of it (the time of week of that reference in nRefSeconds).
uint32_t WeekOfTime(uint32_t nRefWeek, double dRefSeconds, double dSeconds)
{
    if (dSeconds - dRefSeconds > kSecondsPerWeek / 2 && nRefWeek > 0)
        return nRefWeek - 1;
    if (dRefSeconds - dSeconds > kSecondsPerWeek / 2)
        return nRefWeek + 1;
    return nRefWeek;
}

class NavRecord
{
public:
    NavRecord(char* pBuffer, uint32_t nCapacity, int32_t nVersion) : m_Out(pBuffer, nCapacity), m_nVersion(nVersion) {}

    // The epoch line up to the clock values; nMs is ms of the given week.
    bool Epoch(char cSystem, uint32_t nSat, uint32_t nWeek, uint32_t nMs)
    {
        CalendarTime cal{};
        if (!GpsTimeToShiftedCalendar(nWeek, nMs, 0, &cal))
            return false;
        if (m_nVersion >= 300)
            m_Out.Append("%c%02u %4u %02u %02u %02u %02u %02u", cSystem, nSat, cal.Year, cal.Month, cal.Day, cal.Hour,
                         cal.Minute, cal.Second);
        else
            m_Out.Append("%2u %02u %2u %2u %2u %2u%5.1f", nSat, cal.Year % 100, cal.Month, cal.Day, cal.Hour,
                         cal.Minute, cal.Second + cal.Millisecond / 1000.0);
        return true;
    }
    void Value(double d)
    {
        char sz[32];
        if (FormatRinexDouble(d, 19, 12, 2, 'D', sz) != 0)
            FormatString(sz, sizeof(sz), "%19s", "");
        m_Out.Append("%s", sz);
    }
    // A new broadcast-orbit line with up to four values.
    void Orbit(std::initializer_list<double> values)
    {
        m_Out.Char('\n');
        m_Out.Spaces(m_nVersion >= 300 ? 4 : 3);
        for (double d : values)
            Value(d);
    }
    void Spaces(uint32_t n) { m_Out.Spaces(n); }
    void End(uint32_t nSpaces)
    {
        m_Out.Spaces(nSpaces);
        m_Out.Char('\n');
    }
    int Result() const { return m_Out.Result(); }

private:
    RinexText m_Out;
    int32_t m_nVersion;
};

int FormatGpsLayout(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity, bool bQzss)
{
    BinaryLogHeader hdr;
    GPSEPHEM_BODY_T e;
    if (!ReadLog(pLog, nLength, &hdr, &e))
        return -1;
    NavRecord rec(pBuffer, nCapacity, nVersion);
    const uint32_t nSat = bQzss && e.Prn > QZSS_PRN_OFFSET ? e.Prn - QZSS_PRN_OFFSET : e.Prn;
    const uint32_t nTocWeek = WeekOfTime(e.Week, e.Toe, e.Toc);
    if (!rec.Epoch(bQzss ? 'J' : 'G', nSat, nTocWeek, static_cast<uint32_t>(e.Toc * 1000.0)))
        return -1;
    rec.Value(e.Af0);
    rec.Value(e.Af1);
    rec.Value(e.Af2);
    rec.Orbit({static_cast<double>(e.Iode1), e.Crs, e.DeltaN, e.M0});
    rec.Orbit({e.Cuc, e.Ecc, e.Cus, std::sqrt(e.A)});
    rec.Orbit({e.Toe, e.Cic, e.Omega0, e.Cis});
    rec.Orbit({e.I0, e.Crc, e.Omega, e.OmegaDot});
    // QZSS transmits no P code on L2: codes on L2 "L2C", L2 P data flag set.
    rec.Orbit(
        {e.IDot, bQzss ? 2.0 : static_cast<double>(e.AntiSpoofing), static_cast<double>(e.Week), bQzss ? 1.0 : 0.0});
    rec.Orbit({std::sqrt(e.UraVariance), static_cast<double>(e.Health), e.Tgd, static_cast<double>(e.Iodc)});
    rec.Orbit({e.Tow, 0.0});
    rec.End(38);
    return rec.Result();
}

// Galileo signal-in-space accuracy in metres from its index; -1 when none is predicted.
double SisaMetres(uint8_t nIndex)
{
    if (nIndex < 50)
        return nIndex * 0.01;
    if (nIndex < 75)
        return 0.5 + (nIndex - 50) * 0.02;
    if (nIndex < 100)
        return 1.0 + (nIndex - 75) * 0.04;
    if (nIndex < 126)
        return 2.0 + (nIndex - 100) * 0.16;
    return -1.0;
}

// The RINEX 3 health word: per signal the data-validity bit and two health bits.
uint32_t GalileoHealth(const GALEPHEMERIS_BODY_T& e)
{
    return (e.E1bDvs & 1u) | (e.E1bHealth & 3u) << 1 | (e.E5aDvs & 1u) << 3 | (e.E5aHealth & 3u) << 4 |
           (e.E5bDvs & 1u) << 6 | (e.E5bHealth & 3u) << 7;
}

template <typename F> int WriteRecord(F format, FILE* pFile)
{
    std::vector<char> text(RINEX_NAV_TEXT_CAPACITY);
    const int n = format(text.data(), static_cast<uint32_t>(text.size()));
    if (n < 0 || !pFile)
        return -1;
    if (n > 0 && std::fwrite(text.data(), 1, static_cast<size_t>(n), pFile) != static_cast<size_t>(n))
        return -1;
    return 0;
}

bool AnyNonZero(const double* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i] != 0.0)
            return true;
    return false;
}

std::string Fmt(double d, int nWidth, int nDigits)
{
    char sz[32];
    if (FormatRinexDouble(d, nWidth, nDigits, 2, 'D', sz) != 0)
        return std::string(static_cast<size_t>(nWidth), ' ');
    return sz;
}
} // namespace

int FormatRinexDouble(double dValue, int nWidth, int nDigits, int nExpDigits, char cExpLetter, char* pOut)
{
    if (!pOut)
        return -1;
    pOut[0] = 0;
    if (nWidth <= nDigits + nExpDigits + 4 || !cExpLetter || nDigits < 1 || nDigits > 17 || nExpDigits < 1 ||
        nExpDigits > 3 || nWidth > 64 || !std::isfinite(dValue))
        return -1;

    // The C library rounds the mantissa; a carry shows as 1.000... with the
    // exponent already raised, so the field never loses a power of ten.
    char szDigits[24];
    int nExponent = 0;
    const double dAbs = std::fabs(dValue);
    const bool bZero = dAbs < 1e-99;
    if (bZero)
        std::memset(szDigits, '0', static_cast<size_t>(nDigits));
    else
    {
        char szSci[64];
        std::snprintf(szSci, sizeof(szSci), "%.*e", nDigits - 1, dAbs);
        const char* pE = std::strchr(szSci, 'e');
        if (!pE)
            return -1;
        int n = 0;
        for (const char* p = szSci; p < pE && n < nDigits; ++p)
            if (*p >= '0' && *p <= '9')
                szDigits[n++] = *p;
        if (n != nDigits)
            return -1;
        nExponent = std::atoi(pE + 1) + 1;
    }
    szDigits[nDigits] = 0;
    const int nLimit = nExpDigits == 1 ? 10 : nExpDigits == 2 ? 100 : 1000;
    if (std::abs(nExponent) >= nLimit)
        return -1;
    const char cSign = (dValue < 0 && !bZero) ? '-' : ' ';
    std::snprintf(pOut, static_cast<size_t>(nWidth) + 1, "%*s%c.%s%c%c%0*d", nWidth - nExpDigits - nDigits - 4, "",
                  cSign, szDigits, cExpLetter, nExponent < 0 ? '-' : '+', nExpDigits, std::abs(nExponent));
    return 0;
}

int FormatRinexNavHeader(RinexObsHeader* pObsHeader, const RinexNavHeader* pNavHeader, uint32_t nUseNavHeader,
                         char cSystem, char* pBuffer, uint32_t nCapacity)
{
    // The source's ionosphere, UTC and leap values stay; only program and
    // agency depend on whether the user edited the navigation header.
    RinexNavHeader h = *pNavHeader;
    if (!nUseNavHeader)
    {
        if (pObsHeader->nVersion > 0)
        {
            FormatString(h.szProgram, sizeof(h.szProgram), "%s", FieldText(pObsHeader->szProgram).c_str());
            FormatString(h.szAgency, sizeof(h.szAgency), "%s", FieldText(pObsHeader->szRunBy).c_str());
        }
        else
        {
            FormatString(h.szProgram, sizeof(h.szProgram), "%s", "Moxelin");
            FormatString(h.szAgency, sizeof(h.szAgency), "%s", "Halvorne");
            pObsHeader->nVersion = 302;
        }
    }
    const int32_t nVersion = pObsHeader->nVersion;
    h.nVersion = nVersion;
    h.cFileType = 'N';
    h.cSystem = cSystem;
    RinexCreationDate(h.szDate);

    RinexText out(pBuffer, nCapacity);
    if (nVersion >= 300)
        out.HeaderLine("RINEX VERSION / TYPE", "%9.2f%11c%-20c%c", nVersion / 100.0, ' ', 'N', cSystem);
    else
        // RINEX 2 names the system by the file type: "G" for GLONASS.
        out.HeaderLine("RINEX VERSION / TYPE", "%9.2f%11c%c", nVersion / 100.0, ' ', cSystem == 'R' ? 'G' : 'N');
    out.HeaderLine("PGM / RUN BY / DATE", "%-20.20s%-20.20s%-20.20s", FieldText(h.szProgram).c_str(),
                   FieldText(h.szAgency).c_str(), FieldText(h.szDate).c_str());

    if (cSystem == 'G' || cSystem == 'M')
    {
        const bool bIono = AnyNonZero(h.aIonAlpha, 4) || AnyNonZero(h.aIonBeta, 4);
        const bool bUtc = h.dA0 != 0.0 || h.dA1 != 0.0 || h.nRefTime != 0 || h.nRefWeek != 0;
        if (nVersion >= 300)
        {
            if (bIono)
            {
                out.HeaderLine("IONOSPHERIC CORR", "GPSA %s%s%s%s", Fmt(h.aIonAlpha[0], 12, 4).c_str(),
                               Fmt(h.aIonAlpha[1], 12, 4).c_str(), Fmt(h.aIonAlpha[2], 12, 4).c_str(),
                               Fmt(h.aIonAlpha[3], 12, 4).c_str());
                out.HeaderLine("IONOSPHERIC CORR", "GPSB %s%s%s%s", Fmt(h.aIonBeta[0], 12, 4).c_str(),
                               Fmt(h.aIonBeta[1], 12, 4).c_str(), Fmt(h.aIonBeta[2], 12, 4).c_str(),
                               Fmt(h.aIonBeta[3], 12, 4).c_str());
            }
            if (bUtc)
                out.HeaderLine("TIME SYSTEM CORR", "GPUT %s%s%7u%5u", Fmt(h.dA0, 17, 10).c_str(),
                               Fmt(h.dA1, 16, 9).c_str(), h.nRefTime, h.nRefWeek);
        }
        else
        {
            if (bIono)
            {
                out.HeaderLine("ION ALPHA", "  %s%s%s%s", Fmt(h.aIonAlpha[0], 12, 4).c_str(),
                               Fmt(h.aIonAlpha[1], 12, 4).c_str(), Fmt(h.aIonAlpha[2], 12, 4).c_str(),
                               Fmt(h.aIonAlpha[3], 12, 4).c_str());
                out.HeaderLine("ION BETA", "  %s%s%s%s", Fmt(h.aIonBeta[0], 12, 4).c_str(),
                               Fmt(h.aIonBeta[1], 12, 4).c_str(), Fmt(h.aIonBeta[2], 12, 4).c_str(),
                               Fmt(h.aIonBeta[3], 12, 4).c_str());
            }
            if (bUtc)
                out.HeaderLine("DELTA-UTC: A0,A1,T,W", "   %s%s%9u%9u", Fmt(h.dA0, 19, 12).c_str(),
                               Fmt(h.dA1, 19, 12).c_str(), h.nRefTime, h.nRefWeek);
        }
    }
    if (h.nLeapSeconds != 0)
    {
        if (nVersion >= 300)
            out.HeaderLine("LEAP SECONDS", "%6d%6d%6d%6d", h.nLeapSeconds, h.nFutureLeapSeconds, h.nLeapWeek,
                           h.nLeapDay);
        else
            out.HeaderLine("LEAP SECONDS", "%6d", h.nLeapSeconds);
    }
    out.HeaderLine("END OF HEADER", "%s", "");
    return out.Result();
}

int WriteRinexNavHeader(RinexObsHeader* pObsHeader, const RinexNavHeader* pNavHeader, uint32_t nUseNavHeader,
                        char cSystem, FILE* pFile)
{
    return WriteRecord([&](char* p, uint32_t n)
                       { return FormatRinexNavHeader(pObsHeader, pNavHeader, nUseNavHeader, cSystem, p, n); },
                       pFile);
}

int FormatRinexGpsNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    return FormatGpsLayout(pLog, nLength, nVersion, pBuffer, nCapacity, false);
}

int FormatRinexQzssNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    return FormatGpsLayout(pLog, nLength, nVersion, pBuffer, nCapacity, true);
}

int FormatRinexBdsNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    BinaryLogHeader hdr;
    BDSEPHEMERIS_BODY_T e;
    if (!ReadLog(pLog, nLength, &hdr, &e))
        return -1;
    NavRecord rec(pBuffer, nCapacity, nVersion);
    // The epoch in BeiDou time: BeiDou week W starts where GPS week W + 1356 does
    // in the calendar of each system's own time.
    const uint32_t nTocWeek = WeekOfTime(e.Week, e.Toe, e.Toc) + BDS_WEEK_OFFSET;
    if (!rec.Epoch('C', e.SatId, nTocWeek, e.Toc * 1000u))
        return -1;
    rec.Value(e.A0);
    rec.Value(e.A1);
    rec.Value(e.A2);
    rec.Orbit({static_cast<double>(e.Aode), e.Crs, e.DeltaN, e.M0});
    rec.Orbit({e.Cuc, e.Ecc, e.Cus, e.RootA});
    rec.Orbit({static_cast<double>(e.Toe), e.Cic, e.Omega0, e.Cis});
    rec.Orbit({e.I0, e.Crc, e.Omega, e.OmegaDot});
    rec.Orbit({e.IDot, 0.0, static_cast<double>(e.Week), 0.0});
    rec.Orbit({e.Ura, static_cast<double>(e.Health1), e.Tgd1, e.Tgd2});
    rec.Orbit({static_cast<double>(e.Toc), static_cast<double>(e.Aodc)});
    rec.End(38);
    return rec.Result();
}

int FormatRinexBd2Nav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    BinaryLogHeader hdr;
    BD2EPHEM_BODY_T e;
    if (!ReadLog(pLog, nLength, &hdr, &e))
        return -1;
    NavRecord rec(pBuffer, nCapacity, nVersion);
    const uint32_t nTocWeek = WeekOfTime(e.Week, e.Toe, e.Toc);
    // BD2EPHEM numbers satellite n as n + 190; the record names it n.
    const uint32_t nSat = e.Prn > BD2_PRN_OFFSET ? e.Prn - BD2_PRN_OFFSET : e.Prn;
    if (!rec.Epoch('C', nSat, nTocWeek, static_cast<uint32_t>(e.Toc * 1000.0)))
        return -1;
    rec.Value(e.Af0);
    rec.Value(e.Af1);
    rec.Value(e.Af2);
    rec.Orbit({static_cast<double>(e.Iode1), e.Crs, e.DeltaN, e.M0});
    rec.Orbit({e.Cuc, e.Ecc, e.Cus, std::sqrt(e.A)});
    rec.Orbit({e.Toe, e.Cic, e.Omega0, e.Cis});
    rec.Orbit({e.I0, e.Crc, e.Omega, e.OmegaDot});
    rec.Orbit({e.IDot, 0.0, static_cast<double>(e.Week) - BDS_WEEK_OFFSET, 0.0});
    rec.Orbit({std::sqrt(e.UraVariance), static_cast<double>(e.Health), e.Tgd1, e.Tgd2});
    rec.Orbit({e.Tow, static_cast<double>(e.Iodc)});
    rec.End(38);
    return rec.Result();
}

int FormatRinexGalNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    BinaryLogHeader hdr;
    GALEPHEMERIS_BODY_T e;
    if (!ReadLog(pLog, nLength, &hdr, &e))
        return -1;
    // Without either clock set the record would lack its clock: nothing to write.
    if (!e.FNavReceived && !e.INavReceived)
        return 0;
    const bool bFNav = e.FNavReceived != 0;
    const uint32_t nToc = bFNav ? e.FNavToc : e.INavToc;
    // The log carries no week: the week of its own time, moved to the week of
    // toc and toe. RINEX counts Galileo weeks as GPS weeks.
    const double dLogSeconds = hdr.Milliseconds / 1000.0;
    NavRecord rec(pBuffer, nCapacity, nVersion);
    if (!rec.Epoch('E', e.SatId, WeekOfTime(hdr.Week, dLogSeconds, nToc), nToc * 1000u))
        return -1;
    rec.Value(bFNav ? e.FNavAf0 : e.INavAf0);
    rec.Value(bFNav ? e.FNavAf1 : e.INavAf1);
    rec.Value(bFNav ? e.FNavAf2 : e.INavAf2);
    rec.Orbit({static_cast<double>(e.IodNav), e.Crs, e.DeltaN, e.M0});
    rec.Orbit({e.Cuc, e.Ecc, e.Cus, e.RootA});
    rec.Orbit({static_cast<double>(e.Toe), e.Cic, e.Omega0, e.Cis});
    rec.Orbit({e.I0, e.Crc, e.Omega, e.OmegaDot});
    // Data sources: F/NAV E5a-I with its clock (bits 1, 8); I/NAV E1-B and E5b-I with the E5b clock (bits 0, 2, 9).
    rec.Orbit({e.IDot, bFNav ? 258.0 : 517.0, static_cast<double>(WeekOfTime(hdr.Week, dLogSeconds, e.Toe))});
    rec.Spaces(19);
    rec.Orbit({SisaMetres(e.Sisa), static_cast<double>(GalileoHealth(e)), e.BgdE1E5a, e.BgdE1E5b});
    rec.Orbit({static_cast<double>(nToc)});
    rec.End(38);
    return rec.Result();
}

int FormatRinexGloNav(const void* pLog, uint32_t nLength, int32_t nVersion, char* pBuffer, uint32_t nCapacity)
{
    BinaryLogHeader hdr;
    GLOEPHEMERIS_BODY_T e;
    if (!ReadLog(pLog, nLength, &hdr, &e))
        return -1;
    // The epoch in UTC: GPS time less the leap seconds that the GLONASS-GPS
    // offset carries besides the three hours of Moscow time.
    const int64_t nLeap = 10800 - static_cast<int64_t>(e.TimeOffset);
    int64_t nSow = e.EphTime / 1000 - nLeap;
    uint32_t nWeek = e.Week;
    if (nSow < 0)
    {
        nSow += kSecondsPerWeek;
        nWeek = nWeek > 0 ? nWeek - 1 : 0;
    }
    NavRecord rec(pBuffer, nCapacity, nVersion);
    if (!rec.Epoch('R', e.SlotOffset - GLO_PRN_OFFSET, nWeek, static_cast<uint32_t>(nSow * 1000)))
        return -1;
    // tk counts seconds of the Moscow day; RINEX wants UTC: seconds of the day
    // (RINEX 2) or of the week (RINEX 3), the day being the one nearest the epoch.
    const int64_t nTkUtc = (static_cast<int64_t>(e.Tk) + 86400 - 10800) % 86400;
    double dFrameTime = static_cast<double>(nTkUtc);
    if (nVersion >= 300)
    {
        int64_t nFrame = (nSow / 86400) * 86400 + nTkUtc;
        if (nFrame > nSow + 43200)
            nFrame -= 86400;
        else if (nFrame < nSow - 43200)
            nFrame += 86400;
        dFrameTime = static_cast<double>((nFrame + kSecondsPerWeek) % kSecondsPerWeek);
    }
    rec.Value(-e.TauN);
    rec.Value(e.GammaN);
    rec.Value(dFrameTime);
    rec.Orbit({e.PosX * 0.001, e.VelX * 0.001, e.AccX * 0.001, static_cast<double>(e.Health)});
    rec.Orbit({e.PosY * 0.001, e.VelY * 0.001, e.AccY * 0.001, static_cast<double>(e.FreqOffset) - 7.0});
    rec.Orbit({e.PosZ * 0.001, e.VelZ * 0.001, e.AccZ * 0.001, static_cast<double>(e.Age)});
    rec.End(0);
    return rec.Result();
}

int WriteRinexNavRecord(RinexNavFormatFn format, const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    if (!format)
        return -1;
    return WriteRecord([&](char* p, uint32_t n) { return format(pLog, nLength, nVersion, p, n); }, pFile);
}

int WriteRinexGpsNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexGpsNav, pLog, nLength, nVersion, pFile);
}

int WriteRinexQzssNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexQzssNav, pLog, nLength, nVersion, pFile);
}

int WriteRinexGloNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexGloNav, pLog, nLength, nVersion, pFile);
}

int WriteRinexGalNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexGalNav, pLog, nLength, nVersion, pFile);
}

int WriteRinexBdsNav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexBdsNav, pLog, nLength, nVersion, pFile);
}

int WriteRinexBd2Nav(const void* pLog, uint32_t nLength, int32_t nVersion, FILE* pFile)
{
    return WriteRinexNavRecord(FormatRinexBd2Nav, pLog, nLength, nVersion, pFile);
}

int CompareEphemeris(const void* pLogA, const void* pLogB)
{
    const uint32_t nSize = sizeof(BinaryLogHeader) + sizeof(GLOEPHEMERIS_BODY_T);
    BinaryLogHeader ha, hb;
    GLOEPHEMERIS_BODY_T a, b;
    if (!ReadLog(pLogA, nSize, &ha, &a) || !ReadLog(pLogB, nSize, &hb, &b))
        return 1;
    if (a.SlotOffset != b.SlotOffset || a.FreqOffset != b.FreqOffset || a.SatType != b.SatType || a.Week != b.Week ||
        a.EphTime != b.EphTime || a.TimeOffset != b.TimeOffset || a.Nt != b.Nt || a.Issue != b.Issue ||
        a.Health != b.Health || a.P != b.P || a.Ft != b.Ft || a.Age != b.Age)
        return 1;
    const double da[] = {a.PosX, a.PosY, a.PosZ, a.VelX, a.VelY,      a.VelZ,
                         a.AccX, a.AccY, a.AccZ, a.TauN, a.DeltaTauN, a.GammaN};
    const double db[] = {b.PosX, b.PosY, b.PosZ, b.VelX, b.VelY,      b.VelZ,
                         b.AccX, b.AccY, b.AccZ, b.TauN, b.DeltaTauN, b.GammaN};
    for (size_t i = 0; i < sizeof(da) / sizeof(da[0]); ++i)
        if (std::fabs(da[i] - db[i]) > 1e-5)
            return 1;
    return 0;
}
