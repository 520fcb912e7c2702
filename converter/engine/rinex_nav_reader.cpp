#include "converter/engine/rinex_nav_reader.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codec/catalogue.h"
#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/nav_logs.h"
#include "codec/signals.h"
#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_codes.h"
#include "converter/engine/rinex_lines.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/rinex_obs_reader.h"
#include "converter/engine/rinex_readers.h"

namespace
{
constexpr double kSqrtGm = 19964981.843217388; // square root of the earth's gravitational constant, m^1.5/s

// Lines of a record by system index (SBAS records are read to be passed over).
uint32_t RecordLines(uint32_t nSystem) { return nSystem == GNSS_SYSTEM_GLONASS || nSystem == GNSS_SYSTEM_SBAS ? 4 : 8; }

BinaryLogHeader LogHeader(uint16_t nMessageId, uint16_t nBodyLength, int64_t nGpsMs)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nMessageId, LOG_FORM_ASCII, nBodyLength,
                     static_cast<uint8_t>(PortAddressToCode(PORT_ADDRESS_FILE)), 0, &h);
    h.TimeStatus = 160;
    h.Week = static_cast<uint16_t>(nGpsMs / GNSS_MS_PER_WEEK);
    h.Milliseconds = static_cast<uint32_t>(nGpsMs % GNSS_MS_PER_WEEK);
    return h;
}

template <typename Body> uint32_t Emit(const BinaryLogHeader& h, const Body& b, uint8_t* pOut, uint32_t nCapacity)
{
    if (!pOut || nCapacity < sizeof(h) + sizeof(b))
        return 0;
    std::memcpy(pOut, &h, sizeof(h));
    std::memcpy(pOut + sizeof(h), &b, sizeof(b));
    return static_cast<uint32_t>(sizeof(h) + sizeof(b));
}

// The record's epoch as a calendar; false for one before 1980 or a second out of range.
bool EpochCalendar(const RinexNavRecord& rec, CalendarTime* pCal)
{
    const long nMs = std::lround(rec.dSecond * 1000.0);
    if (rec.aEpoch[0] < 1980 || nMs < 0 || nMs >= 61000)
        return false;
    *pCal = CalendarTime{static_cast<uint32_t>(rec.aEpoch[0]), static_cast<uint32_t>(rec.aEpoch[1]),
                         static_cast<uint32_t>(rec.aEpoch[2]), static_cast<uint32_t>(rec.aEpoch[3]),
                         static_cast<uint32_t>(rec.aEpoch[4]), static_cast<uint32_t>(nMs / 1000),
                         static_cast<uint32_t>(nMs % 1000)};
    return true;
}

// Milliseconds since the GPS epoch of the record's calendar read in a time
// system nOffsetMs behind GPS time; -1 when the calendar does not convert.
int64_t EpochMs(const RinexNavRecord& rec, int32_t nOffsetMs)
{
    CalendarTime cal{};
    if (!EpochCalendar(rec, &cal))
        return -1;
    // A whole week on top of the offset keeps it from ever being 0, which one
    // profile reads as the time routines' default; it is taken off again.
    const int32_t nShift = nOffsetMs + static_cast<int32_t>(GNSS_MS_PER_WEEK);
    uint32_t nWeek = 0, nSow = 0;
    if (UtcToGpsTime(&cal, &nShift, &nWeek, &nSow) == GNSS_TIME_INVALID || nWeek == 0)
        return -1;
    return int64_t(nWeek - 1) * GNSS_MS_PER_WEEK + nSow;
}

double Sow(int64_t nMs) { return static_cast<double>(nMs % GNSS_MS_PER_WEEK) / 1000.0; }

uint32_t ToU32(double d) { return d <= 0.0 ? 0u : d >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(d); }

// The orbit values every Kepler record carries at the same places (lines 1
// to 5; IODE, the semi-major axis and toe are read by each log's own rules).
template <typename Body> void ReadOrbitLines(const double (*v)[4], Body* b)
{
    b->Crs = v[1][1];
    b->DeltaN = v[1][2];
    b->M0 = v[1][3];
    b->Cuc = v[2][0];
    b->Ecc = v[2][1];
    b->Cus = v[2][2];
    b->Cic = v[3][1];
    b->Omega0 = v[3][2];
    b->Cis = v[3][3];
    b->I0 = v[4][0];
    b->Crc = v[4][1];
    b->Omega = v[4][2];
    b->OmegaDot = v[4][3];
    b->IDot = v[5][0];
}

// The clock and orbit lines that GPSEPHEM, QZSSEPHEMERIS and BD2EPHEM share
// (lines 1 to 5, first value), with the mean motion they imply.
template <typename Body> void ReadKeplerLines(const double (*v)[4], Body* b)
{
    b->Af0 = v[0][0];
    b->Af1 = v[0][1];
    b->Af2 = v[0][2];
    b->Iode1 = b->Iode2 = ToU32(v[1][0]);
    b->A = v[2][3] * v[2][3];
    b->Toe = v[3][0];
    ReadOrbitLines(v, b);
    const double dRootA3 = std::fabs(v[2][3] * v[2][3] * v[2][3]);
    b->CorrectedMeanMotion = dRootA3 >= 1e10 ? kSqrtGm / dRootA3 + v[1][2] : 0.0;
}

// GPS and QZSS records (the same lines).
uint32_t GpsLayoutLog(const RinexNavRecord& r, uint16_t nMessageId, uint32_t nPrn, bool bQzss, uint8_t* pOut,
                      uint32_t nCapacity)
{
    const int64_t nToc = EpochMs(r, 0);
    if (nToc < 0)
        return 0;
    const double(*v)[4] = r.aValues;
    GPSEPHEM_BODY_T b{};
    b.Prn = nPrn;
    ReadKeplerLines(v, &b);
    // QZSS files give the L2 codes of the satellite, not the receiver's anti-spoofing state.
    b.AntiSpoofing = bQzss ? 0 : ToU32(v[5][1]);
    b.Week = b.ZWeek = ToU32(v[5][2]);
    b.UraVariance = v[6][0] * v[6][0];
    b.Health = ToU32(v[6][1]);
    b.Tgd = v[6][2];
    b.Iodc = ToU32(v[6][3]);
    b.Tow = v[7][0];
    b.Toc = Sow(nToc);
    return Emit(LogHeader(nMessageId, sizeof(b), nToc), b, pOut, nCapacity);
}

uint32_t GalileoLog(const RinexNavRecord& r, uint8_t* pOut, uint32_t nCapacity)
{
    const int64_t nToc = EpochMs(r, 0);
    if (nToc < 0)
        return 0;
    const double(*v)[4] = r.aValues;
    GALEPHEMERIS_BODY_T b{};
    b.SatId = r.nSat;
    // Data sources: bit 1 or 8 F/NAV (E5a clock), else I/NAV.
    const uint32_t nSources = ToU32(v[5][1]);
    const bool bFNav = (nSources & 0x102u) != 0;
    b.FNavReceived = bFNav ? 1 : 0;
    b.INavReceived = bFNav ? 0 : 1;
    const uint32_t nTocSow = static_cast<uint32_t>(Sow(nToc));
    (bFNav ? b.FNavToc : b.INavToc) = nTocSow;
    (bFNav ? b.FNavAf0 : b.INavAf0) = v[0][0];
    (bFNav ? b.FNavAf1 : b.INavAf1) = v[0][1];
    (bFNav ? b.FNavAf2 : b.INavAf2) = v[0][2];
    b.IodNav = ToU32(v[1][0]);
    b.RootA = v[2][3];
    b.Toe = ToU32(v[3][0]);
    ReadOrbitLines(v, &b);
    b.Sisa = GalileoSisaIndex(v[6][0]);
    const uint32_t nHealth = ToU32(v[6][1]);
    b.E1bDvs = nHealth & 1u;
    b.E1bHealth = (nHealth >> 1) & 3u;
    b.E5aDvs = (nHealth >> 3) & 1u;
    b.E5aHealth = (nHealth >> 4) & 3u;
    b.E5bDvs = (nHealth >> 6) & 1u;
    b.E5bHealth = (nHealth >> 7) & 3u;
    b.BgdE1E5a = v[6][2];
    b.BgdE1E5b = v[6][3];
    // The log carries no Galileo week: its header holds the GPS week of toc.
    return Emit(LogHeader(MSG_ID_GALEPHEMERIS, sizeof(b), nToc), b, pOut, nCapacity);
}

uint32_t BdsLog(const RinexNavRecord& r, uint8_t* pOut, uint32_t nCapacity)
{
    // The epoch is BeiDou time: its calendar counted like GPS time.
    const int64_t nBdt = EpochMs(r, 0);
    if (nBdt < int64_t(BDS_WEEK_OFFSET) * GNSS_MS_PER_WEEK)
        return 0;
    const double(*v)[4] = r.aValues;
    BDSEPHEMERIS_BODY_T b{};
    b.SatId = r.nSat;
    b.A0 = v[0][0];
    b.A1 = v[0][1];
    b.A2 = v[0][2];
    b.Aode = ToU32(v[1][0]);
    b.RootA = v[2][3];
    b.Toe = ToU32(v[3][0]);
    ReadOrbitLines(v, &b);
    b.Week = ToU32(v[5][2]);
    b.Ura = v[6][0];
    b.Health1 = ToU32(v[6][1]);
    b.Tgd1 = v[6][2];
    b.Tgd2 = v[6][3];
    b.Aodc = ToU32(v[7][1]);
    b.Toc = static_cast<uint32_t>(Sow(nBdt));
    // The log header is in GPS time, which runs 14 s ahead of BeiDou time.
    return Emit(LogHeader(MSG_ID_BDSEPHEMERIS, sizeof(b), nBdt + BDS_TIME_OFFSET_MS), b, pOut, nCapacity);
}

uint32_t Bd2Log(const RinexNavRecord& r, uint8_t* pOut, uint32_t nCapacity)
{
    const int64_t nToc = EpochMs(r, 0);
    if (nToc < 0)
        return 0;
    const double(*v)[4] = r.aValues;
    BD2EPHEM_BODY_T b{};
    b.Prn = r.nSat + BD2_PRN_OFFSET;
    ReadKeplerLines(v, &b);
    // The log counts GPS weeks; the file BeiDou weeks.
    b.Week = b.ZWeek = ToU32(v[5][2]) + BDS_WEEK_OFFSET;
    b.UraVariance = v[6][0] * v[6][0];
    b.Health = ToU32(v[6][1]);
    b.Tgd1 = v[6][2];
    b.Tgd2 = v[6][3];
    b.Tow = v[7][0];
    b.Iodc = ToU32(v[7][1]);
    b.Toc = Sow(nToc);
    return Emit(LogHeader(MSG_ID_BD2EPHEM, sizeof(b), nToc), b, pOut, nCapacity);
}

uint32_t GloLog(const RinexNavRecord& r, int32_t nLeapMs, uint8_t* pOut, uint32_t nCapacity)
{
    // The epoch is UTC; a file without leap seconds gets those of its date.
    CalendarTime utcEpoch{};
    int32_t nDateLeap = 0;
    if (nLeapMs == 0 && EpochCalendar(r, &utcEpoch) && UtcLeapSeconds(&utcEpoch, &nDateLeap))
        nLeapMs = nDateLeap * 1000;
    const int64_t nGps = EpochMs(r, nLeapMs);
    if (nGps < 0 || r.nSat < 1 || r.nSat > 28)
        return 0;
    const double(*v)[4] = r.aValues;
    GLOEPHEMERIS_BODY_T b{};
    b.SlotOffset = static_cast<uint16_t>(r.nSat + GLO_PRN_OFFSET);
    b.FreqOffset = static_cast<uint16_t>(std::lround(v[2][3]) + 7);
    b.Week = static_cast<uint16_t>(nGps / GNSS_MS_PER_WEEK);
    b.EphTime = static_cast<uint32_t>(nGps % GNSS_MS_PER_WEEK);
    b.TimeOffset = static_cast<uint32_t>(10800 - nLeapMs / 1000);
    // Day of the four-year interval and 15-minute index of the Moscow time.
    CalendarTime utc{};
    const int32_t nZero = 0;
    uint32_t nN4 = 0, nDay = 0, nMoscowMs = 0;
    const int64_t nUtcMs = nGps - nLeapMs;
    if (nUtcMs >= 0 &&
        GpsTimeToCalendar(static_cast<uint32_t>(nUtcMs / GNSS_MS_PER_WEEK),
                          static_cast<uint32_t>(nUtcMs % GNSS_MS_PER_WEEK), &nZero, &utc) &&
        CalendarToGloTime(&utc, &nN4, &nDay, &nMoscowMs) != GNSS_TIME_INVALID)
    {
        b.Nt = static_cast<uint16_t>(nDay);
        b.Issue = nMoscowMs / 900000u;
    }
    b.TauN = -v[0][0];
    b.GammaN = v[0][1];
    // The message frame time counts UTC seconds of the day (RINEX 2) or week (RINEX 3).
    const int64_t nFrame = std::llround(v[0][2]);
    b.Tk = static_cast<uint32_t>(((nFrame % 86400 + 86400) % 86400 + 10800) % 86400);
    b.PosX = v[1][0] * 1000.0;
    b.VelX = v[1][1] * 1000.0;
    b.AccX = v[1][2] * 1000.0;
    b.Health = ToU32(v[1][3]);
    b.PosY = v[2][0] * 1000.0;
    b.VelY = v[2][1] * 1000.0;
    b.AccY = v[2][2] * 1000.0;
    b.PosZ = v[3][0] * 1000.0;
    b.VelZ = v[3][1] * 1000.0;
    b.AccZ = v[3][2] * 1000.0;
    b.Age = ToU32(v[3][3]);
    return Emit(LogHeader(MSG_ID_GLOEPHEMERIS, sizeof(b), nGps), b, pOut, nCapacity);
}

// ---- Records ----

bool IsRecordStart(const RinexLine& line, bool bRinex3)
{
    if (bRinex3)
        return line.n >= 3 && std::strchr("GRECJSI", line.At(1)) && line.At(1) != ' ';
    return line.n >= 2 && !line.Blank(1, 2);
}

// The values of one line at its columns: the epoch line's three, or an
// orbit line's four. False when a field holds something that is no number.
bool ReadValues(const RinexLine& line, uint32_t nFirstColumn, uint32_t nCount, double* pValues)
{
    for (uint32_t k = 0; k < nCount; ++k)
    {
        const uint32_t c = nFirstColumn + 19 * k;
        const std::string s = line.Cols(c, c + 18);
        if (!ReadRinexDouble(s.data(), static_cast<uint32_t>(s.size()), &pValues[k]))
            return false;
    }
    return true;
}

bool ReadEpoch(const RinexLine& line, bool bRinex3, RinexNavRecord* pRec)
{
    long n[6] = {};
    double dSecond = 0;
    bool bOk = false;
    if (bRinex3)
    {
        bOk = RinexInteger(line, 2, 3, &n[0]) && RinexInteger(line, 5, 8, &n[1]) && RinexInteger(line, 10, 11, &n[2]) &&
              RinexInteger(line, 13, 14, &n[3]) && RinexInteger(line, 16, 17, &n[4]) &&
              RinexInteger(line, 19, 20, &n[5]) && RinexNumber(line, 22, 23, &dSecond);
        bOk = bOk && ReadValues(line, 24, 3, pRec->aValues[0]);
    }
    else
    {
        bOk = RinexInteger(line, 1, 2, &n[0]) && RinexInteger(line, 4, 5, &n[1]) && RinexInteger(line, 7, 8, &n[2]) &&
              RinexInteger(line, 10, 11, &n[3]) && RinexInteger(line, 13, 14, &n[4]) &&
              RinexInteger(line, 16, 17, &n[5]) && RinexNumber(line, 18, 22, &dSecond);
        // Two-digit years: 80 to 99 are 1980 to 1999.
        n[1] = n[1] >= 80 && n[1] <= 99 ? 1900 + n[1] : n[1] < 80 ? 2000 + n[1] : n[1];
        bOk = bOk && ReadValues(line, 23, 3, pRec->aValues[0]);
    }
    if (!bOk || n[0] < 1)
        return false;
    pRec->nSat = static_cast<uint32_t>(n[0]);
    for (int i = 0; i < 5; ++i)
        pRec->aEpoch[i] = static_cast<int32_t>(n[i + 1]);
    pRec->dSecond = dSecond;
    return true;
}

struct NavReader
{
    CConvertContext* pContext = nullptr;
    RinexNavInfo Info{};
    bool bRinex3 = false;
    int nFileSystem = GNSS_SYSTEM_GPS; // RINEX 2: the system of every record
    int32_t nLeapMs = 0;
    uint32_t nBdsStyle = 2;
    uint32_t nRecords = 0;
    bool bWriteFailed = false;
    std::vector<uint8_t> Log = std::vector<uint8_t>(LOG_MAX_BINARY_LENGTH);
    std::vector<char> Text = std::vector<char>(65536);
};

void WriteEphemLog(NavReader& r, uint32_t nLength)
{
    if (!nLength)
        return;
    const BinaryLogHeader* h = reinterpret_cast<const BinaryLogHeader*>(r.Log.data());
    int (*format)(const void*, int32_t, char*, int32_t*) = nullptr;
    switch (h->MessageId)
    {
    case MSG_ID_GPSEPHEM:
        format = FormatGpsEphem;
        break;
    case MSG_ID_QZSSEPHEMERIS:
        format = FormatQzssEphem;
        break;
    case MSG_ID_GLOEPHEMERIS:
        format = FormatGloEphem;
        break;
    case MSG_ID_GALEPHEMERIS:
        format = FormatGalEphem;
        break;
    case MSG_ID_BDSEPHEMERIS:
        format = h->MessageLength == sizeof(BD2EPHEM_BODY_T) ? FormatBd2Ephem : FormatBdsEphem;
        break;
    default:
        return;
    }
    int32_t n = 0;
    if (!format(r.Log.data(), static_cast<int32_t>(r.Text.size()), r.Text.data(), &n))
        return;
    FILE* pOut = r.pContext->GetRinexToLogFile();
    if (!pOut || std::fwrite(r.Text.data(), 1, static_cast<size_t>(n), pOut) != static_cast<size_t>(n))
        r.bWriteFailed = true;
    ++r.nRecords;
}

// Reads the record whose first line was just read. False when its lines run
// out or a field is no number; a line that opens the next record is handed back.
bool ReadRecord(NavReader& r, RinexLineReader& lines, const RinexLine& first, RinexNavRecord* pRec)
{
    *pRec = RinexNavRecord{};
    int nSystem = r.nFileSystem;
    if (r.bRinex3)
        nSystem = SystemLetterToIndex(first.At(1));
    if (nSystem < 0)
        return false;
    pRec->nSystem = static_cast<uint32_t>(nSystem);
    const std::string sFirst(first.p, first.n);
    const RinexLine epoch{sFirst.data(), static_cast<uint32_t>(sFirst.size())};
    const bool bEpoch = ReadEpoch(epoch, r.bRinex3, pRec);
    const uint32_t nLines = RecordLines(pRec->nSystem);
    RinexLine line;
    bool bOk = bEpoch;
    for (pRec->nLines = 1; pRec->nLines < nLines; ++pRec->nLines)
    {
        if (!lines.Next(&line))
            return false;
        if (IsRecordStart(line, r.bRinex3))
        {
            lines.PushBack();
            return false;
        }
        bOk = ReadValues(line, r.bRinex3 ? 5 : 4, 4, pRec->aValues[pRec->nLines]) && bOk;
    }
    return bOk;
}

} // namespace

bool ReadRinexDouble(const char* pField, uint32_t nLength, double* pValue)
{
    *pValue = 0.0;
    const RinexLine field{pField, nLength};
    return field.Blank(1, nLength) || RinexNumber(field, 1, nLength, pValue);
}

bool ReadRinexInt(const char* pField, uint32_t nLength, uint32_t* pValue)
{
    double d = 0.0;
    const bool bOk = ReadRinexDouble(pField, nLength, &d);
    *pValue = ToU32(d);
    return bOk;
}

uint8_t GalileoSisaIndex(double dMetres)
{
    if (!(dMetres >= 0.0) || dMetres > 6.0)
        return 255;
    if (dMetres < 0.495)
        return static_cast<uint8_t>(std::lround(dMetres / 0.01));
    if (dMetres < 0.99)
        return static_cast<uint8_t>(50 + std::lround((dMetres - 0.5) / 0.02));
    if (dMetres < 1.98)
        return static_cast<uint8_t>(75 + std::lround((dMetres - 1.0) / 0.04));
    return static_cast<uint8_t>(100 + std::lround((dMetres - 2.0) / 0.16));
}

uint32_t RinexNavRecordToLog(const RinexNavRecord& rec, int32_t nLeapMs, uint32_t nBdsStyle, uint8_t* pOut,
                             uint32_t nCapacity)
{
    switch (rec.nSystem)
    {
    case GNSS_SYSTEM_GPS:
        return GpsLayoutLog(rec, MSG_ID_GPSEPHEM, rec.nSat, false, pOut, nCapacity);
    case GNSS_SYSTEM_QZSS:
        return GpsLayoutLog(rec, MSG_ID_QZSSEPHEMERIS,
                            rec.nSat < QZSS_PRN_OFFSET ? rec.nSat + QZSS_PRN_OFFSET : rec.nSat, true, pOut, nCapacity);
    case GNSS_SYSTEM_GLONASS:
        return GloLog(rec, nLeapMs, pOut, nCapacity);
    case GNSS_SYSTEM_GALILEO:
        return GalileoLog(rec, pOut, nCapacity);
    case GNSS_SYSTEM_BDS:
        return nBdsStyle == 1 ? Bd2Log(rec, pOut, nCapacity) : BdsLog(rec, pOut, nCapacity);
    default:
        return 0;
    }
}

int ConvertRinexNavToLog(FILE* pSrc, char cLetter, CConvertContext* pContext)
{
    if (!pSrc || !pContext)
        return RINEX_READ_NO_HEADER;
    pContext->SetRinexBytesRead(0);
    RinexLineReader lines(pSrc, pContext);
    std::string header;
    NavReader r;
    r.pContext = pContext;
    if (!ReadRinexHeaderLines(lines, &header))
        return RINEX_READ_NO_HEADER;
    ParseRinexNavHeaderText(header.data(), static_cast<uint32_t>(header.size()), &r.Info);
    if (r.Info.nVersion < 200 || r.Info.cFileType == 'O' || r.Info.cFileType == 'o')
        return RINEX_READ_NO_HEADER;
    r.bRinex3 = r.Info.nVersion >= 300;
    if (!r.bRinex3)
    {
        // RINEX 2 names the system by the file type ("G" GLONASS, "H" SBAS)
        // or, for the other systems, by the type letter the job found for it.
        const int nByLetter = NavFileLetterToSystem(cLetter);
        r.nFileSystem = nByLetter >= 0 ? nByLetter : int(GNSS_SYSTEM_GPS);
        if (r.Info.cFileType == 'G')
            r.nFileSystem = GNSS_SYSTEM_GLONASS;
        else if (r.Info.cFileType == 'H')
            r.nFileSystem = GNSS_SYSTEM_SBAS;
    }
    RinexObsTimeInfo times{};
    ReadRinexObsTimeInfo(header.data(), static_cast<uint32_t>(header.size()), true, &times);
    r.nLeapMs = times.nLeapSeconds * 1000;
    r.nBdsStyle = pContext->GetBdsEphemStyle() == 1 ? 1 : 2;

    uint32_t nFound = 0;
    RinexLine line;
    while (lines.Next(&line) && !r.bWriteFailed)
    {
        if (!IsRecordStart(line, r.bRinex3))
            continue;
        RinexNavRecord rec;
        if (!ReadRecord(r, lines, line, &rec))
            continue;
        ++nFound;
        WriteEphemLog(
            r, RinexNavRecordToLog(rec, r.nLeapMs, r.nBdsStyle, r.Log.data(), static_cast<uint32_t>(r.Log.size())));
    }
    if (r.bWriteFailed)
        return RINEX_READ_WRITE_FAILED;
    if (lines.ReadFailed())
        return RINEX_READ_SOURCE_FAILED;
    return r.bRinex3 && nFound == 0 ? RINEX_READ_NO_RECORD : 0;
}

namespace
{
// A record given as text, read as the file reader reads a record of the system.
uint32_t ReadRecordText(const char* pText, uint32_t nLength, int32_t nVersion, uint32_t nSystem, int32_t nLeapMs,
                        uint32_t nBdsStyle, uint8_t* pOut, uint32_t nCapacity)
{
    if (!pText)
        return 0;
    NavReader r;
    r.bRinex3 = nVersion >= 300;
    r.nFileSystem = static_cast<int>(nSystem);
    RinexLineReader lines(pText, nLength);
    RinexLine first;
    RinexNavRecord rec;
    if (!lines.Next(&first) || !IsRecordStart(first, r.bRinex3) || !ReadRecord(r, lines, first, &rec) ||
        rec.nSystem != nSystem)
        return 0;
    return RinexNavRecordToLog(rec, nLeapMs, nBdsStyle, pOut, nCapacity);
}
} // namespace

uint32_t ReadRinexGpsNav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity)
{
    return ReadRecordText(pText, nLength, nVersion, GNSS_SYSTEM_GPS, 0, 2, pOut, nCapacity);
}

uint32_t ReadRinexGloNav(const char* pText, uint32_t nLength, int32_t nVersion, int32_t nLeapMs, uint8_t* pOut,
                         uint32_t nCapacity)
{
    return ReadRecordText(pText, nLength, nVersion, GNSS_SYSTEM_GLONASS, nLeapMs, 2, pOut, nCapacity);
}

uint32_t ReadRinexBdsNav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity)
{
    return ReadRecordText(pText, nLength, nVersion, GNSS_SYSTEM_BDS, 0, 2, pOut, nCapacity);
}

uint32_t ReadRinexBd2Nav(const char* pText, uint32_t nLength, int32_t nVersion, uint8_t* pOut, uint32_t nCapacity)
{
    return ReadRecordText(pText, nLength, nVersion, GNSS_SYSTEM_BDS, 0, 1, pOut, nCapacity);
}
