// Navigation-data logs: ephemerides of GPS, QZSS, GLONASS, Galileo and BeiDou,
// the system clock and ionosphere parameters, IONUTC, RAWEPHEM and RAWALM.
// Each body holds the fields of the text form in text order, packed, little-endian:
// "%u"/"%d" fields 32 bits, "%lf" 64-bit floats, "%hu"/"%hd" 16 bits, "%x" 32 bits,
// and each TRUE/FALSE word a 32-bit flag (1 TRUE, 0 FALSE).
#pragma once

#include <cstdint>

enum : uint16_t
{
    MSG_ID_GPSEPHEM = 7,
    MSG_ID_IONUTC = 8,
    MSG_ID_GLOCLOCK = 719,
    MSG_ID_GLOEPHEMERIS = 723,
    MSG_ID_GALCLOCK = 1121,
    MSG_ID_GALEPHEMERIS = 1122,
    MSG_ID_GALIONO = 1127,
    MSG_ID_QZSSEPHEMERIS = 1336,
    MSG_ID_QZSSIONUTC = 1347,
    MSG_ID_BDSIONO = 1590,
    MSG_ID_BDSCLOCK = 1607,
    // BDSEPHEMERIS and BD2EPHEM share one ID; the log name tells the two layouts apart.
    MSG_ID_BDSEPHEMERIS = 1696,
    MSG_ID_BD2EPHEM = 1696,
};

#pragma pack(push, 1)

// GPSEPHEM (7); QZSSEPHEMERIS (1336) has the same body.
struct GPSEPHEM_BODY_T
{
    uint32_t Prn;
    double Tow; // time of subframe 0, s
    uint32_t Health;
    uint32_t Iode1;
    uint32_t Iode2;
    uint32_t Week;
    uint32_t ZWeek;
    double Toe;    // s
    double A;      // semi-major axis, m
    double DeltaN; // rad/s
    double M0;     // rad
    double Ecc;
    double Omega; // argument of perigee, rad
    double Cuc;
    double Cus;
    double Crc;
    double Crs;
    double Cic;
    double Cis;
    double I0;
    double IDot;
    double Omega0;
    double OmegaDot;
    uint32_t Iodc;
    double Toc;
    double Tgd;
    double Af0;
    double Af1;
    double Af2;
    uint32_t AntiSpoofing; // flag
    double CorrectedMeanMotion;
    double UraVariance; // m^2
};
static_assert(sizeof(GPSEPHEM_BODY_T) == 224, "GPSEPHEM body");

// BD2EPHEM: the GPSEPHEM layout with two group delays; its week is a GPS week.
struct BD2EPHEM_BODY_T
{
    uint32_t Prn;
    double Tow;
    uint32_t Health;
    uint32_t Iode1;
    uint32_t Iode2;
    uint32_t Week;
    uint32_t ZWeek;
    double Toe;
    double A;
    double DeltaN;
    double M0;
    double Ecc;
    double Omega;
    double Cuc;
    double Cus;
    double Crc;
    double Crs;
    double Cic;
    double Cis;
    double I0;
    double IDot;
    double Omega0;
    double OmegaDot;
    uint32_t Iodc; // AODC
    double Toc;
    double Tgd1;
    double Tgd2;
    double Af0;
    double Af1;
    double Af2;
    uint32_t AntiSpoofing; // flag
    double CorrectedMeanMotion;
    double UraVariance;
};
static_assert(sizeof(BD2EPHEM_BODY_T) == 232, "BD2EPHEM body");

// BDSEPHEMERIS (1696).
struct BDSEPHEMERIS_BODY_T
{
    uint32_t SatId;
    uint32_t Week; // BDS week
    double Ura;    // m
    uint32_t Health1;
    double Tgd1;
    double Tgd2;
    uint32_t Aodc;
    uint32_t Toc; // s
    double A0;
    double A1;
    double A2;
    uint32_t Aode;
    uint32_t Toe; // s
    double RootA;
    double Ecc;
    double Omega;
    double DeltaN;
    double M0;
    double Omega0;
    double OmegaDot;
    double I0;
    double IDot;
    double Cuc;
    double Cus;
    double Crc;
    double Crs;
    double Cic;
    double Cis;
};
static_assert(sizeof(BDSEPHEMERIS_BODY_T) == 196, "BDSEPHEMERIS body");

// GLOEPHEMERIS (723). The first fields are narrowed from their text form.
struct GLOEPHEMERIS_BODY_T
{
    uint16_t SlotOffset; // slot + 37
    uint16_t FreqOffset; // frequency number + 7
    uint8_t SatType;
    uint8_t Reserved1;
    uint16_t Week;
    uint32_t EphTime;    // ms of GPS week
    uint32_t TimeOffset; // s, GLONASS minus GPS
    uint16_t Nt;
    uint8_t Reserved2;
    uint8_t Reserved3;
    uint32_t Issue;
    uint32_t Health;
    double PosX, PosY, PosZ; // m
    double VelX, VelY, VelZ; // m/s
    double AccX, AccY, AccZ; // m/s^2
    double TauN;
    double DeltaTauN;
    double GammaN;
    uint32_t Tk; // s of the GLONASS day
    uint32_t P;
    uint32_t Ft;
    uint32_t Age;
    uint32_t Flags;
};
static_assert(sizeof(GLOEPHEMERIS_BODY_T) == 144, "GLOEPHEMERIS body");

// GALEPHEMERIS (1122). The text carries no Galileo week: take it from the log
// header's GPS week (GST week = GPS week - 1024).
struct GALEPHEMERIS_BODY_T
{
    uint32_t SatId;
    uint32_t FNavReceived; // flag
    uint32_t INavReceived; // flag
    uint8_t E1bHealth;
    uint8_t E5aHealth;
    uint8_t E5bHealth;
    uint8_t E1bDvs;
    uint8_t E5aDvs;
    uint8_t E5bDvs;
    uint8_t Sisa;
    uint8_t Reserved;
    uint32_t IodNav;
    uint32_t Toe; // s
    double RootA;
    double DeltaN;
    double M0;
    double Ecc;
    double Omega;
    double Cuc;
    double Cus;
    double Crc;
    double Crs;
    double Cic;
    double Cis;
    double I0;
    double IDot;
    double Omega0;
    double OmegaDot;
    uint32_t FNavToc; // s
    double FNavAf0;
    double FNavAf1;
    double FNavAf2;
    uint32_t INavToc; // s
    double INavAf0;
    double INavAf1;
    double INavAf2;
    double BgdE1E5a;
    double BgdE1E5b;
};
static_assert(sizeof(GALEPHEMERIS_BODY_T) == 220, "GALEPHEMERIS body");

// BDSCLOCK (1607): BeiDou UTC parameters and its offsets to the other systems.
struct BDSCLOCK_BODY_T
{
    double A0Utc;
    double A1Utc;
    int16_t DeltaTls;
    uint16_t WnLsf;
    uint16_t Dn;
    int16_t DeltaTlsf;
    double A0Gps;
    double A1Gps;
    double A0Gal;
    double A1Gal;
    double A0Glo;
    double A1Glo;
};
static_assert(sizeof(BDSCLOCK_BODY_T) == 72, "BDSCLOCK body");

// GALCLOCK (1121): Galileo UTC parameters and the GPS-Galileo time offset.
struct GALCLOCK_BODY_T
{
    double A0;
    double A1;
    int32_t DeltaTls;
    uint32_t Tot;
    uint32_t WnT;
    uint32_t WnLsf;
    uint32_t Dn;
    int32_t DeltaTlsf;
    double A0G;
    double A1G;
    uint32_t T0G;
    uint32_t Wn0G;
};
static_assert(sizeof(GALCLOCK_BODY_T) == 64, "GALCLOCK body");

// GLOCLOCK (719): GLONASS time parameters; the four status words and KP are
// written in hexadecimal.
struct GLOCLOCK_BODY_T
{
    uint32_t Valid;
    double NominalOffset;
    double GpsOffset;
    uint32_t Status1;
    uint32_t Status2;
    uint32_t Status3;
    uint32_t Status4;
    double TauC;
    uint16_t N4;
    uint16_t Na;
    double B1;
    double B2;
    double TauGps;
    uint32_t Kp;
};
static_assert(sizeof(GLOCLOCK_BODY_T) == 76, "GLOCLOCK body");

// BDSIONO (1590): the Klobuchar parameters broadcast by one BeiDou satellite.
struct BDSIONO_BODY_T
{
    uint32_t SatId;
    double Alpha[4];
    double Beta[4];
};
static_assert(sizeof(BDSIONO_BODY_T) == 68, "BDSIONO body");

// GALIONO (1127): the NeQuick coefficients and the five storm flags (written in hexadecimal).
struct GALIONO_BODY_T
{
    double Ai0;
    double Ai1;
    double Ai2;
    uint32_t StormFlag[5];
};
static_assert(sizeof(GALIONO_BODY_T) == 44, "GALIONO body");

// IONUTC (8) and QZSSIONUTC (1347).
struct IONUTC_BODY_T
{
    double Alpha[4];
    double Beta[4];
    uint32_t UtcWeek;
    uint32_t Tot;
    double A0;
    double A1;
    uint32_t WnLsf;
    uint32_t Dn;
    int32_t DeltaTls;
    int32_t DeltaTlsf;
    uint32_t DeltaTUtc;
};
static_assert(sizeof(IONUTC_BODY_T) == 108, "IONUTC body");

// RAWEPHEM: the three ephemeris subframes of one GPS satellite, 30 bytes each
// (ten 24-bit words without parity).
struct RAWEPHEM_BODY_T
{
    uint32_t Prn;
    uint32_t RefWeek;
    uint32_t RefSeconds;
    uint8_t Subframe[3][30];
};
static_assert(sizeof(RAWEPHEM_BODY_T) == 102, "RAWEPHEM body");

// RAWALM: a count of almanac subframes follows the fixed part.
struct RAWALM_BODY_T
{
    uint32_t RefWeek;
    double RefSeconds;
    uint32_t Count;
};
static_assert(sizeof(RAWALM_BODY_T) == 16, "RAWALM fixed part");

struct RAWALM_SUBFRAME_T
{
    uint32_t SvId;
    uint8_t Data[30];
};
static_assert(sizeof(RAWALM_SUBFRAME_T) == 34, "RAWALM subframe");

#pragma pack(pop)

// Text decoders: a full text log (checked against its CRC) or an abbreviated
// one (header line and body line) to the binary log, header and body without
// CRC; the out length is 28 + body size. Every field must read whole and no
// field may be missing or extra. A line whose name the catalogue gives another
// ID is refused. 1 on success, 0 on failure (the output is then untouched).
int DecodeGpsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeQzssEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeBdsEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeBd2EphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeGloEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeGalEphemText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeBdsClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeGalClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeGloClockText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeBdsIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
int DecodeGalIonoText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// IONUTC and QZSSIONUTC share a body; the caller gives the ID for the header.
int DecodeIonUtcText(const char* pText, int32_t nLength, uint16_t nMessageId, uint8_t* pOut, int32_t* pOutLength);

// Formatters: a log record (header, then body) to NUL-terminated text in the
// form its message type asks for: abbreviated (blank-separated body line, no
// CRC) or full text with its CRC trailer (a binary type gives full text). The
// record's message length must cover the body. 1 on success, 0 on failure or
// when the text and its NUL do not fit the capacity.
int FormatGpsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatQzssEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatBdsEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatBd2Ephem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatGloEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatGalEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatBdsClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatGalClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatGloClock(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatBdsIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatGalIono(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
// Named "IONUTC" for ID 8 and "QZSSIONUTC" for 1347; any other ID fails.
int FormatIonUtc(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatRawEphem(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int FormatRawAlm(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);

// Binary copiers: the record re-emitted as a wire log, its port byte mapped to
// the port address and a fresh CRC-32 appended (the record is not changed).
int CopyBinaryGpsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryQzssEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryBdsEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryBd2Ephem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryGloEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryGalEphem(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
int CopyBinaryIonUtc(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
