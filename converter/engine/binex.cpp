#include "converter/engine/binex.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/nav_logs.h"
#include "codec/signal_map.h"
#include "codec/signals.h"
#include "converter/engine/range_encode.h"
#include "converter/engine/rinex_nav_reader.h"

namespace
{
constexpr double kPi = 3.1415926535897932;
constexpr double kSqrtGm = 19964981.843217388; // square root of the earth's gravitational constant,
                                               // m^1.5/s
constexpr uint8_t kEphTimeStatus = 200;
constexpr uint8_t kObsTimeStatus = 160;
constexpr int64_t kRangeMissing = (int64_t(1) << 38) - 1;
constexpr int32_t kNarrowDiffMissing = -0x8000;
constexpr int32_t kWideDiffMissing = -(1 << 21);
// Carrier units in metres by the carrier-scale flag (flag byte 2, bit 5).
constexpr double kCarrierScaleFlagged = 0.0001;
constexpr double kCarrierScalePlain = 0.00002;

// Fields of a message in the record's byte order; reading past the end
// clears Ok and gives zeros.
class FieldReader
{
public:
    FieldReader(const uint8_t* p, uint32_t n, bool bBig) : m_p(p), m_n(n), m_bBig(bBig) {}

    bool Ok() const { return m_bOk; }
    uint32_t Position() const { return m_nPos; }

    uint64_t Unsigned(uint32_t nBytes)
    {
        if (!m_bOk || nBytes > m_n - m_nPos)
        {
            m_bOk = false;
            return 0;
        }
        uint64_t v = 0;
        for (uint32_t i = 0; i < nBytes; ++i)
        {
            const uint64_t b = m_p[m_nPos + i];
            v |= m_bBig ? b << (8 * (nBytes - 1 - i)) : b << (8 * i);
        }
        m_nPos += nBytes;
        return v;
    }
    int64_t Signed(uint32_t nBytes) { return SignExtend(Unsigned(nBytes), nBytes * 8); }
    uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
    int32_t I32() { return static_cast<int32_t>(Signed(4)); }
    float F32()
    {
        const uint32_t u = U32();
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    double F64()
    {
        const uint64_t u = Unsigned(8);
        double d;
        std::memcpy(&d, &u, 8);
        return d;
    }
    void Skip(uint32_t nBytes)
    {
        if (!m_bOk || nBytes > m_n - m_nPos)
            m_bOk = false;
        else
            m_nPos += nBytes;
    }
    void Fail() { m_bOk = false; }

    static int64_t SignExtend(uint64_t v, uint32_t nBits)
    {
        const uint64_t sign = uint64_t(1) << (nBits - 1);
        return static_cast<int64_t>((v ^ sign) - sign);
    }

private:
    const uint8_t* m_p;
    uint32_t m_n;
    uint32_t m_nPos = 0;
    bool m_bBig;
    bool m_bOk = true;
};

uint32_t ChecksumLength(uint32_t n) { return n < 128 ? 1 : n < 4096 ? 2 : n < 1048576 ? 4 : 16; }

bool ChecksumMatches(const uint8_t* pData, uint32_t n, const uint8_t* pSum, bool bBig)
{
    FieldReader stored(pSum, 4, bBig);
    switch (ChecksumLength(n))
    {
    case 1:
        return XorChecksum8(pData, static_cast<uint8_t>(n)) == pSum[0];
    case 2:
        return static_cast<uint16_t>(Crc16Compute(pData, static_cast<int32_t>(n))) == stored.U16();
    case 4:
        return Crc32Compute(pData, static_cast<int32_t>(n)) == stored.U32();
    default:
    {
        uint8_t digest[16];
        return Md5Digest(pData, n, digest, 0) == 0 && std::memcmp(digest, pSum, 16) == 0;
    }
    }
}

// The message of a framed record of the given ID, or null.
const uint8_t* OpenRecord(const uint8_t* pRecord, uint32_t nLength, uint32_t nRecordId, BINEX_FRAME_T* pFrame)
{
    if (!pRecord || FrameBinexRecord(pRecord, nLength, pFrame) != BINEX_FRAME_OK || pFrame->nRecordId != nRecordId ||
        pFrame->nMessageLength == 0)
        return nullptr;
    return pRecord + pFrame->nMessageOffset;
}

// The harmonic corrections and angles that the GPS-layout and BeiDou
// subrecords carry in the same order.
template <typename Eph> void ReadOrbitFields(FieldReader& r, Eph* e)
{
    e->Cic = r.F32();
    e->Crc = r.F32();
    e->Cis = r.F32();
    e->Crs = r.F32();
    e->Cuc = r.F32();
    e->Cus = r.F32();
    e->Omega0 = r.F64();
    e->Omega = r.F64();
    e->I0 = r.F64();
    e->OmegaDotOverPi = r.F32();
    e->IDotOverPi = r.F32();
}

void ReadGpsFields(FieldReader& r, BINEX_GPS_EPH_T* e)
{
    e->SatIndex = r.U8();
    e->Week = r.U16();
    e->Tow = r.I32();
    e->Toc = r.I32();
    e->Tgd = r.F32();
    e->Iodc = r.I32();
    e->Af2 = r.F32();
    e->Af1 = r.F32();
    e->Af0 = r.F32();
    e->Iode = r.I32();
    e->DeltaNOverPi = r.F32();
    e->M0 = r.F64();
    e->Ecc = r.F64();
    e->RootA = r.F64();
    e->Toe = r.I32();
    ReadOrbitFields(r, e);
    e->Ura = r.F32();
    e->Health = r.U16();
    e->FitInterval = r.U16();
}

void ReadGloFields(FieldReader& r, BINEX_GLO_EPH_T* e)
{
    e->SatIndex = r.U8();
    e->Day = r.U16();
    e->Tod = r.U32();
    e->MinusTauN = r.F64();
    e->GammaN = r.F64();
    e->Tk = r.U32();
    for (uint32_t i = 0; i < 3; ++i)
    {
        e->Pos[i] = r.F64();
        e->Vel[i] = r.F64();
        e->Acc[i] = r.F64();
    }
    e->Health = r.U8();
    e->Channel = static_cast<int8_t>(r.U8());
    e->Age = r.U8();
    e->LeapSeconds = r.U8();
    e->TauGps = r.F64();
    e->DeltaTauN = r.F64();
}

void ReadBdsFields(FieldReader& r, BINEX_BDS_EPH_T* e)
{
    e->SatIndex = r.U8();
    e->Week = r.U16();
    e->Tow = r.I32();
    e->Toc = r.I32();
    e->Toe = r.I32();
    e->Af2 = r.F32();
    e->Af1 = r.F32();
    e->Af0 = r.F32();
    e->DeltaNOverPi = r.F32();
    e->M0 = r.F64();
    e->Ecc = r.F64();
    e->RootA = r.F64();
    ReadOrbitFields(r, e);
    e->Flags1 = r.U16();
    e->Flags2 = r.U32();
}

// One subrecord's message (its ID byte first) read by its field reader; the
// output is written only when every field was there.
template <typename Eph> int DecodeSubrecord(const uint8_t* pMessage, uint32_t nLength, int bBigEndian,
                                            uint32_t nSubrecord, void (*read)(FieldReader&, Eph*), Eph* pOut)
{
    if (!pMessage || !pOut || nLength < 1 || pMessage[0] != nSubrecord)
        return 0;
    FieldReader r(pMessage + 1, nLength - 1, bBigEndian != 0);
    Eph e{};
    read(r, &e);
    if (!r.Ok())
        return 0;
    *pOut = e;
    return 1;
}

void FillEphHeader(uint16_t nMessageId, uint16_t nBodyLength, uint32_t nWeek, uint32_t nMs, BinaryLogHeader* h)
{
    std::memset(h, 0, sizeof(*h));
    FillBinaryHeader(nMessageId, 0, nBodyLength, static_cast<uint8_t>(PortAddressToCode(PORT_ADDRESS_FILE)), 0, h);
    h->TimeStatus = kEphTimeStatus;
    h->Week = static_cast<uint16_t>(nWeek + nMs / GNSS_MS_PER_WEEK);
    h->Milliseconds = nMs % GNSS_MS_PER_WEEK;
}

// Whole milliseconds of a time of week in seconds; times outside the week fold
// into it.
uint32_t TowMs(int64_t nSeconds)
{
    const int64_t ms = nSeconds * 1000;
    const int64_t week = GNSS_MS_PER_WEEK;
    return static_cast<uint32_t>(((ms % week) + week) % week);
}

template <typename Body>
int Emit(const BinaryLogHeader& h, const Body& b, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength)
{
    if (!pOut || !pOutLength || nCapacity < sizeof(h) + sizeof(b))
        return 0;
    std::memcpy(pOut, &h, sizeof(h));
    std::memcpy(pOut + sizeof(h), &b, sizeof(b));
    *pOutLength = static_cast<uint32_t>(sizeof(h) + sizeof(b));
    return 1;
}

// The orbit terms the GPS, Galileo and BeiDou logs share; the record gives
// the angle rates and the mean motion difference in half circles.
template <typename Eph, typename Body> void CopyOrbitTerms(const Eph* e, Body* b)
{
    b->DeltaN = e->DeltaNOverPi * kPi;
    b->M0 = e->M0;
    b->Ecc = e->Ecc;
    b->Omega = e->Omega;
    b->Cuc = e->Cuc;
    b->Cus = e->Cus;
    b->Crc = e->Crc;
    b->Crs = e->Crs;
    b->Cic = e->Cic;
    b->Cis = e->Cis;
    b->I0 = e->I0;
    b->IDot = e->IDotOverPi * kPi;
    b->Omega0 = e->Omega0;
    b->OmegaDot = e->OmegaDotOverPi * kPi;
}

int ConvertGpsLayout(const BINEX_GPS_EPH_T* e, uint16_t nMessageId, uint32_t nPrn, uint8_t* pOut, uint32_t nCapacity,
                     uint32_t* pOutLength)
{
    if (!e)
        return 0;
    GPSEPHEM_BODY_T b{};
    b.Prn = nPrn;
    b.Tow = e->Tow;
    b.Health = e->Health;
    b.Iode1 = static_cast<uint32_t>(e->Iode);
    b.Iode2 = static_cast<uint32_t>(e->Iode);
    b.Week = e->Week;
    b.ZWeek = e->Week;
    b.Toe = e->Toe;
    b.A = e->RootA * e->RootA;
    CopyOrbitTerms(e, &b);
    b.Iodc = static_cast<uint32_t>(e->Iodc);
    b.Toc = e->Toc;
    b.Tgd = e->Tgd;
    b.Af0 = e->Af0;
    b.Af1 = e->Af1;
    b.Af2 = e->Af2;
    b.AntiSpoofing = 0;
    const double dRootA3 = e->RootA * e->RootA * e->RootA;
    b.CorrectedMeanMotion = dRootA3 >= 1e10 ? kSqrtGm / dRootA3 + b.DeltaN : 0.0;
    b.UraVariance = double(e->Ura) * double(e->Ura);
    BinaryLogHeader h;
    FillEphHeader(nMessageId, sizeof(b), e->Week, TowMs(e->Tow), &h);
    return Emit(h, b, pOut, nCapacity, pOutLength);
}

// Metres of a URA index, as GPS and BeiDou broadcast it.
double UraMetres(uint32_t nIndex)
{
    static const double kUra[16] = {2.4,  3.4,   4.85,  6.85,  9.65,   13.65,  24.0,   48.0,
                                    96.0, 192.0, 384.0, 768.0, 1536.0, 3072.0, 6144.0, 6144.0};
    return kUra[nIndex & 15];
}

// Seconds of a GLONASS ephemeris time counted from the GPS epoch, for the
// four-year interval n4; -1 when the calendar does not convert.
int64_t GloEphGpsMs(const BINEX_GLO_EPH_T* e, uint32_t n4)
{
    CalendarTime utc{};
    if (!GloTimeToCalendar(n4, e->Day, e->Tod * 1000u, &utc))
        return -1;
    const int32_t nLeapMs = int32_t(e->LeapSeconds) * 1000 + int32_t(GNSS_MS_PER_WEEK);
    uint32_t nWeek = 0, nMs = 0;
    // A whole week is added to the leap offset and taken off again: a
    // pointed-to 0 would select the time routines' default offset.
    if (UtcToGpsTime(&utc, &nLeapMs, &nWeek, &nMs) == GNSS_TIME_INVALID || nWeek == 0)
        return -1;
    return int64_t(nWeek - 1) * GNSS_MS_PER_WEEK + nMs;
}

void ReadObsSignal(FieldReader& r, bool bFirst, int64_t nFirstRange, BINEX_OBS_SIGNAL_T* s)
{
    const uint8_t f1 = r.U8();
    s->SignalIndex = f1 & 0x1F;
    s->PhaseLocked = (f1 >> 5) & 1;
    s->Flags[0] = f1;
    s->FlagCount = 1;
    uint8_t last = f1;
    while ((last & 0x80) && s->FlagCount < 5 && r.Ok())
    {
        last = r.U8();
        s->Flags[s->FlagCount++] = last;
    }
    if (last & 0x80)
        r.Fail(); // a sixth flag byte has no place
    const bool bFlags2 = s->FlagCount >= 2;
    const uint8_t f2 = bFlags2 ? s->Flags[1] : 0;
    const bool bWide = (f2 & 0x40) != 0;
    s->FineCarrier = (f2 >> 5) & 1;
    s->Cn0 = r.U8();
    bool bFractionSeen = false;
    if (bFirst)
    {
        const uint64_t v = r.Unsigned(5);
        const int64_t nRange = static_cast<int64_t>(v & ((uint64_t(1) << 38) - 1));
        s->Cn0Fraction = static_cast<uint8_t>((v >> 38) & 3);
        bFractionSeen = true;
        s->HasRange = nRange != kRangeMissing;
        s->RangeMm = nRange;
    }
    else if (bWide)
    {
        const uint64_t v = r.Unsigned(3);
        const int64_t nDiff = FieldReader::SignExtend(v & 0x3FFFFF, 22);
        s->Cn0Fraction = static_cast<uint8_t>((v >> 22) & 3);
        bFractionSeen = true;
        s->HasRange = nFirstRange >= 0 && nDiff != kWideDiffMissing;
        s->RangeMm = nFirstRange + nDiff;
    }
    else
    {
        const int64_t nDiff = r.Signed(2);
        s->HasRange = nFirstRange >= 0 && nDiff != kNarrowDiffMissing;
        s->RangeMm = nFirstRange + nDiff;
    }
    if (bFlags2)
    {
        const uint64_t v = r.Unsigned(3);
        s->HasCarrier = 1;
        if (bWide)
            s->Carrier = static_cast<int32_t>(FieldReader::SignExtend(v, 24));
        else
        {
            s->Carrier = static_cast<int32_t>(FieldReader::SignExtend(v & 0x3FFFFF, 22));
            if (!bFractionSeen)
                s->Cn0Fraction = static_cast<uint8_t>((v >> 22) & 3);
        }
    }
    if (f2 & 0x04)
    {
        s->HasDoppler = 1;
        s->Doppler = static_cast<int32_t>(r.Signed(3));
    }
    if (f2 & 0x08)
        r.Skip((f2 & 0x10) ? 2 : 1);
}

// Observation code of a signal index, by BINEX system code; 0xFFFF for none.
uint16_t BinexSignalCode(uint32_t nSystemCode, uint32_t nIndex)
{
    struct Pair
    {
        uint8_t nIndex;
        uint16_t nCode;
    };
    static const Pair kGps[] = {{1, 0},      {2, 192},    {3, 33088},  {4, 16704}, {5, 640},   {6, 384},  {7, 49472},
                                {11, 8},     {12, 49480}, {13, 520},   {14, 2568}, {15, 4616}, {16, 200}, {17, 33096},
                                {18, 16712}, {19, 648},   {20, 49480}, {24, 16},   {25, 2128}, {26, 4176}};
    static const Pair kGlo[] = {{1, 1}, {2, 193}, {11, 201}, {12, 201}, {14, 273}, {15, 2385}, {16, 4433}};
    static const Pair kGal[] = {{1, 2},    {2, 130},  {3, 2306},  {4, 4226},  {5, 8450}, {7, 394},   {8, 2506},
                                {9, 4554}, {11, 402}, {12, 2514}, {13, 4570}, {15, 410}, {16, 2522}, {17, 4570},
                                {19, 34},  {20, 162}, {21, 2338}, {22, 4258}, {23, 8482}};
    static const Pair kBds[] = {{1, 3},     {2, 195},   {3, 4291}, {5, 19},    {6, 211},
                                {7, 4307},  {9, 11},    {10, 203}, {11, 4299}, {13, 283},
                                {14, 2395}, {15, 4579}, {17, 419}, {18, 2531}, {19, 4379}};
    static const Pair kQzss[] = {{1, 5},   {2, 384},   {3, 2432},  {4, 4480}, {8, 525},   {9, 2573},  {10, 4621},
                                 {14, 21}, {15, 2133}, {16, 4181}, {19, 805}, {20, 2917}, {21, 4965}, {30, 33088}};
    struct Row
    {
        const Pair* p;
        uint32_t n;
    };
    static const Row kRows[] = {{kGps, sizeof(kGps) / sizeof(Pair)},
                                {kGlo, sizeof(kGlo) / sizeof(Pair)},
                                {nullptr, 0},
                                {kGal, sizeof(kGal) / sizeof(Pair)},
                                {kBds, sizeof(kBds) / sizeof(Pair)},
                                {kQzss, sizeof(kQzss) / sizeof(Pair)}};
    if (nSystemCode >= 6)
        return OBS_CODE_NONE;
    const Row& row = kRows[nSystemCode];
    for (uint32_t i = 0; i < row.n; ++i)
        if (row.p[i].nIndex == nIndex)
            return row.p[i].nCode;
    return OBS_CODE_NONE;
}
} // namespace

int DecodeBinexUbnxi(const uint8_t* pBytes, uint32_t nAvailable, int bBigEndian, uint32_t* pValue, uint32_t* pByteCount)
{
    if (!pBytes || !pValue || !pByteCount)
        return 0;
    uint32_t v = 0;
    for (uint32_t i = 0; i < 4; ++i)
    {
        if (i >= nAvailable)
            return 0;
        const uint32_t b = pBytes[i];
        const bool bLast = i == 3 || !(b & 0x80);
        const uint32_t nBits = i == 3 ? 8 : 7;
        const uint32_t nGroup = i == 3 ? b : (b & 0x7F);
        v = bBigEndian ? (v << nBits) | nGroup : v | (nGroup << (7 * i));
        if (bLast)
        {
            *pValue = v;
            *pByteCount = i + 1;
            return 1;
        }
    }
    return 0;
}

int FrameBinexRecord(const uint8_t* pBytes, uint32_t nAvailable, BINEX_FRAME_T* pFrame)
{
    if (!pBytes || !pFrame || nAvailable == 0)
        return nAvailable == 0 ? BINEX_FRAME_NEED_MORE : BINEX_FRAME_NOT_RECORD;
    if (pBytes[0] != BINEX_SYNC_BIG && pBytes[0] != BINEX_SYNC_LITTLE)
        return BINEX_FRAME_NOT_RECORD;
    const bool bBig = pBytes[0] == BINEX_SYNC_BIG;
    uint32_t nId = 0, nIdBytes = 0, nLength = 0, nLengthBytes = 0;
    if (!DecodeBinexUbnxi(pBytes + 1, nAvailable - 1, bBig, &nId, &nIdBytes))
        return nAvailable - 1 >= 4 ? BINEX_FRAME_NOT_RECORD : BINEX_FRAME_NEED_MORE;
    const uint32_t nLengthAt = 1 + nIdBytes;
    if (!DecodeBinexUbnxi(pBytes + nLengthAt, nAvailable - nLengthAt, bBig, &nLength, &nLengthBytes))
        return nAvailable - nLengthAt >= 4 ? BINEX_FRAME_NOT_RECORD : BINEX_FRAME_NEED_MORE;
    if (nLength > BINEX_MAX_MESSAGE)
        return BINEX_FRAME_NOT_RECORD;
    const uint32_t nChecked = nIdBytes + nLengthBytes + nLength;
    const uint32_t nSum = ChecksumLength(nChecked);
    const uint32_t nTotal = 1 + nChecked + nSum;
    if (nAvailable < nTotal)
        return BINEX_FRAME_NEED_MORE;
    if (!ChecksumMatches(pBytes + 1, nChecked, pBytes + 1 + nChecked, bBig))
        return BINEX_FRAME_BAD_CHECKSUM;
    pFrame->bBigEndian = bBig ? 1 : 0;
    pFrame->nRecordId = nId;
    pFrame->nMessageOffset = nLengthAt + nLengthBytes;
    pFrame->nMessageLength = nLength;
    pFrame->nChecksumLength = nSum;
    pFrame->nTotalLength = nTotal;
    return BINEX_FRAME_OK;
}

int DecodeBinexGpsEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut)
{
    return DecodeSubrecord(pMessage, nLength, bBigEndian, BINEX_SUBRECORD_GPS, ReadGpsFields, pOut);
}

int DecodeBinexGalEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut)
{
    return DecodeSubrecord(pMessage, nLength, bBigEndian, BINEX_SUBRECORD_GAL, ReadGpsFields, pOut);
}

int DecodeBinexQzssEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut)
{
    return DecodeSubrecord(pMessage, nLength, bBigEndian, BINEX_SUBRECORD_QZSS, ReadGpsFields, pOut);
}

int DecodeBinexGloEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GLO_EPH_T* pOut)
{
    return DecodeSubrecord(pMessage, nLength, bBigEndian, BINEX_SUBRECORD_GLO, ReadGloFields, pOut);
}

int DecodeBinexBdsEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_BDS_EPH_T* pOut)
{
    return DecodeSubrecord(pMessage, nLength, bBigEndian, BINEX_SUBRECORD_BDS, ReadBdsFields, pOut);
}

int DecodeBinexEphRecord(const uint8_t* pRecord, uint32_t nLength, BINEX_EPH_T* pOut)
{
    BINEX_FRAME_T frame{};
    const uint8_t* pMessage = OpenRecord(pRecord, nLength, BINEX_RECORD_NAV, &frame);
    if (!pMessage || !pOut)
        return 0;
    const uint32_t n = frame.nMessageLength;
    const int bBig = frame.bBigEndian;
    int bOk = 0;
    switch (pMessage[0])
    {
    case BINEX_SUBRECORD_GPS:
        bOk = DecodeBinexGpsEph(pMessage, n, bBig, &pOut->Gps);
        break;
    case BINEX_SUBRECORD_GLO:
        bOk = DecodeBinexGloEph(pMessage, n, bBig, &pOut->Glo);
        break;
    case BINEX_SUBRECORD_GAL:
        bOk = DecodeBinexGalEph(pMessage, n, bBig, &pOut->Gps);
        break;
    case BINEX_SUBRECORD_BDS:
        bOk = DecodeBinexBdsEph(pMessage, n, bBig, &pOut->Bds);
        break;
    case BINEX_SUBRECORD_QZSS:
        bOk = DecodeBinexQzssEph(pMessage, n, bBig, &pOut->Gps);
        break;
    default:
        break;
    }
    return bOk ? pMessage[0] : 0;
}

int DecodeBinexObsRecord(const uint8_t* pRecord, uint32_t nLength, BINEX_OBS_RECORD_T* pOut)
{
    BINEX_FRAME_T frame{};
    const uint8_t* pMessage = OpenRecord(pRecord, nLength, BINEX_RECORD_OBS, &frame);
    if (!pMessage || !pOut || pMessage[0] != BINEX_SUBRECORD_OBS)
        return 0;
    FieldReader r(pMessage + 1, frame.nMessageLength - 1, frame.bBigEndian != 0);
    std::memset(pOut, 0, sizeof(*pOut));
    pOut->Minutes = r.U32();
    pOut->Milliseconds = r.U16();
    const uint8_t satByte = r.U8();
    pOut->SatCount = static_cast<uint8_t>((satByte & 0x3F) + 1);
    if (satByte & 0x80)
    {
        pOut->HasClock = 1;
        pOut->Clock = static_cast<int32_t>(r.Signed(3));
    }
    if (satByte & 0x40)
        r.Skip(4 * (r.U8() >> 4));
    for (uint32_t i = 0; i < pOut->SatCount && r.Ok(); ++i)
    {
        BINEX_OBS_SAT_T& sat = pOut->Sats[i];
        sat.SatNumber = r.U8();
        const uint8_t sig = r.U8();
        sat.SystemCode = sig & 0x0F;
        sat.Count = (sig >> 4) & 7;
        int64_t nFirstRange = -1;
        for (uint32_t k = 0; k < sat.Count && r.Ok(); ++k)
        {
            ReadObsSignal(r, k == 0, nFirstRange, &sat.Signals[k]);
            if (k == 0)
                nFirstRange = sat.Signals[0].HasRange ? sat.Signals[0].RangeMm : -1;
        }
    }
    return r.Ok() ? 1 : 0;
}

int ConvertBinexGpsEph(const BINEX_GPS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength)
{
    return pEph ? ConvertGpsLayout(pEph, MSG_ID_GPSEPHEM, pEph->SatIndex + 1u, pOut, nCapacity, pOutLength) : 0;
}

int ConvertBinexQzssEph(const BINEX_GPS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength)
{
    if (!pEph)
        return 0;
    // Range logs number QZSS satellites from 193.
    uint32_t nPrn = pEph->SatIndex + 1u;
    if (nPrn <= QZSS_PRN_OFFSET)
        nPrn += QZSS_PRN_OFFSET;
    return ConvertGpsLayout(pEph, MSG_ID_QZSSEPHEMERIS, nPrn, pOut, nCapacity, pOutLength);
}

int ConvertBinexGalEph(const BINEX_GPS_EPH_T* e, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength)
{
    if (!e)
        return 0;
    GALEPHEMERIS_BODY_T b{};
    b.SatId = e->SatIndex + 1u;
    b.INavReceived = 1;
    b.E1bHealth = static_cast<uint8_t>(e->Health & 3);
    b.E5bHealth = static_cast<uint8_t>((e->Health >> 2) & 3);
    b.E5aHealth = static_cast<uint8_t>((e->Health >> 4) & 3);
    b.Sisa = GalileoSisaIndex(e->Ura);
    b.IodNav = static_cast<uint32_t>(e->Iode);
    b.Toe = static_cast<uint32_t>(e->Toe);
    b.RootA = e->RootA;
    CopyOrbitTerms(e, &b);
    b.INavToc = static_cast<uint32_t>(e->Toc);
    b.INavAf0 = e->Af0;
    b.INavAf1 = e->Af1;
    b.INavAf2 = e->Af2;
    b.BgdE1E5a = e->Tgd;
    b.BgdE1E5b = e->Tgd;
    BinaryLogHeader h;
    FillEphHeader(MSG_ID_GALEPHEMERIS, sizeof(b), e->Week + GAL_WEEK_OFFSET, TowMs(e->Tow), &h);
    return Emit(h, b, pOut, nCapacity, pOutLength);
}

int ConvertBinexBdsEph(const BINEX_BDS_EPH_T* e, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength)
{
    if (!e)
        return 0;
    BDSEPHEMERIS_BODY_T b{};
    b.SatId = e->SatIndex + 1u;
    b.Week = e->Week;
    b.Ura = UraMetres(e->Flags1 & 0x0F);
    b.Health1 = (e->Flags1 >> 4) & 1;
    b.Aode = (e->Flags1 >> 5) & 0x1F;
    b.Tgd1 = double(FieldReader::SignExtend(e->Flags2 & 0x3FF, 10)) * 1e-10;
    b.Tgd2 = double(FieldReader::SignExtend((e->Flags2 >> 10) & 0x3FF, 10)) * 1e-10;
    b.Aodc = (e->Flags2 >> 20) & 0x1F;
    b.Toc = static_cast<uint32_t>(e->Toc);
    b.A0 = e->Af0;
    b.A1 = e->Af1;
    b.A2 = e->Af2;
    b.Toe = static_cast<uint32_t>(e->Toe);
    b.RootA = e->RootA;
    CopyOrbitTerms(e, &b);
    // The log header is in GPS time: BeiDou time runs 14 s behind it.
    BinaryLogHeader h;
    FillEphHeader(MSG_ID_BDSEPHEMERIS, sizeof(b), e->Week + BDS_WEEK_OFFSET, TowMs(e->Tow) + BDS_TIME_OFFSET_MS, &h);
    return Emit(h, b, pOut, nCapacity, pOutLength);
}

int ConvertBinexGloEph(const BINEX_GLO_EPH_T* e, uint32_t nRefWeek, uint8_t* pOut, uint32_t nCapacity,
                       uint32_t* pOutLength)
{
    if (!e)
        return 0;
    // The four-year interval that puts the ephemeris nearest to the reference.
    int64_t nRefMs = int64_t(nRefWeek) * GNSS_MS_PER_WEEK;
    if (nRefWeek == 0)
    {
        // 315964800: the GPS epoch in seconds of the Unix epoch.
        nRefMs = (int64_t(std::time(nullptr)) - 315964800) * 1000;
    }
    int64_t nBest = -1;
    for (uint32_t n4 = 0; n4 <= 26; ++n4)
    {
        const int64_t nMs = GloEphGpsMs(e, n4);
        if (nMs >= 0 && (nBest < 0 || std::llabs(nMs - nRefMs) < std::llabs(nBest - nRefMs)))
            nBest = nMs;
    }
    if (nBest < 0)
        return 0;
    GLOEPHEMERIS_BODY_T b{};
    b.SlotOffset = static_cast<uint16_t>(e->SatIndex + 1u + GLO_PRN_OFFSET);
    b.FreqOffset = static_cast<uint16_t>(e->Channel + 7);
    b.SatType = 1;
    b.Week = static_cast<uint16_t>(nBest / GNSS_MS_PER_WEEK);
    b.EphTime = static_cast<uint32_t>(nBest % GNSS_MS_PER_WEEK);
    b.TimeOffset = 10800u - e->LeapSeconds;
    b.Nt = e->Day;
    b.Issue = e->Tod / 900;
    b.Health = e->Health & 1;
    b.PosX = e->Pos[0] * 1000.0;
    b.PosY = e->Pos[1] * 1000.0;
    b.PosZ = e->Pos[2] * 1000.0;
    b.VelX = e->Vel[0] * 1000.0;
    b.VelY = e->Vel[1] * 1000.0;
    b.VelZ = e->Vel[2] * 1000.0;
    b.AccX = e->Acc[0] * 1000.0;
    b.AccY = e->Acc[1] * 1000.0;
    b.AccZ = e->Acc[2] * 1000.0;
    b.TauN = -e->MinusTauN;
    b.DeltaTauN = e->DeltaTauN;
    b.GammaN = e->GammaN;
    b.Tk = e->Tk;
    b.Age = e->Age;
    BinaryLogHeader h;
    FillEphHeader(MSG_ID_GLOEPHEMERIS, sizeof(b), b.Week, b.EphTime, &h);
    return Emit(h, b, pOut, nCapacity, pOutLength);
}

int ConvertBinexObs(const BINEX_OBS_RECORD_T* pObs, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength,
                    const uint8_t* pGloChannels)
{
    if (!pObs || !pOut || !pOutLength || nCapacity < LOG_HEADER_LENGTH + 4)
        return 0;
    const uint32_t nMaxObs = (nCapacity - LOG_HEADER_LENGTH - 4) / sizeof(RANGE_OBS_T);
    RANGE_OBS_T* pRange = reinterpret_cast<RANGE_OBS_T*>(pOut + LOG_HEADER_LENGTH + 4);
    uint16_t aCodes[BINEX_OBS_MAX_SATS * BINEX_OBS_MAX_SIGNALS];
    uint32_t n = 0;
    static const uint32_t kSystemOfCode[6] = {GNSS_SYSTEM_GPS,     GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_SBAS,
                                              GNSS_SYSTEM_GALILEO, GNSS_SYSTEM_BDS,     GNSS_SYSTEM_QZSS};
    for (uint32_t i = 0; i < pObs->SatCount && i < BINEX_OBS_MAX_SATS; ++i)
    {
        const BINEX_OBS_SAT_T& sat = pObs->Sats[i];
        // SBAS and system codes that name no system are left out.
        if (sat.SystemCode >= 6 || kSystemOfCode[sat.SystemCode] == GNSS_SYSTEM_SBAS)
            continue;
        const uint32_t nSystem = kSystemOfCode[sat.SystemCode];
        uint32_t nPrn = sat.SatNumber;
        if (nSystem == GNSS_SYSTEM_GLONASS)
            nPrn += GLO_PRN_OFFSET;
        else if (nSystem == GNSS_SYSTEM_QZSS && nPrn <= QZSS_PRN_OFFSET)
            nPrn += QZSS_PRN_OFFSET;
        uint8_t uChannel = 0;
        if (nSystem == GNSS_SYSTEM_GLONASS)
        {
            uChannel = GetGloFreqChannel(sat.SatNumber); // GLO_CHANNEL_UNKNOWN outside the slots
            if (pGloChannels != nullptr && uChannel != GLO_CHANNEL_UNKNOWN)
                uChannel = pGloChannels[sat.SatNumber - 1];
        }
        for (uint32_t k = 0; k < sat.Count && k < BINEX_OBS_MAX_SIGNALS; ++k)
        {
            const BINEX_OBS_SIGNAL_T& s = sat.Signals[k];
            const uint16_t nCode = BinexSignalCode(sat.SystemCode, s.SignalIndex);
            uint32_t uStatus = 0;
            if (nCode == OBS_CODE_NONE || n >= nMaxObs ||
                (nSystem == GNSS_SYSTEM_GLONASS && uChannel == GLO_CHANNEL_UNKNOWN))
                continue;
            const double dPsr = s.HasRange ? double(s.RangeMm) * 0.001 : 0.0;
            double dAdr = 0.0;
            bool bPhase = false;
            double dWavelength = 0.0;
            if (s.HasCarrier && s.HasRange && SignalWavelength(nCode, uChannel, &dWavelength) && dWavelength > 0.0)
            {
                const double dScale = s.FineCarrier ? kCarrierScaleFlagged : kCarrierScalePlain;
                dAdr = -(double(s.Carrier) * dScale + dPsr) / dWavelength;
                bPhase = true;
            }
            if (!ConvertedTrackingStatus(nCode, static_cast<uint16_t>(nPrn), SIGNAL_MODE_DEFAULT,
                                         bPhase && s.PhaseLocked, s.HasRange, 0, &uStatus))
                continue;
            RANGE_OBS_T& o = pRange[n];
            std::memset(&o, 0, sizeof(o));
            o.Prn = static_cast<uint16_t>(nPrn);
            o.GloFreq = nSystem == GNSS_SYSTEM_GLONASS ? uChannel : 0;
            o.Psr = dPsr;
            o.Adr = dAdr;
            o.Doppler = s.HasDoppler ? static_cast<float>(s.Doppler / 256.0) : 0.0f;
            o.CNo = static_cast<float>(s.Cn0 * 0.4 + s.Cn0Fraction * 0.1);
            o.TrackingStatus = uStatus;
            aCodes[n++] = nCode;
        }
    }
    n = DropDuplicateSignals(pRange, aCodes, n, SIGNAL_MODE_DEFAULT);

    BinaryLogHeader h;
    std::memset(&h, 0, sizeof(h));
    const uint16_t nBody = static_cast<uint16_t>(4 + n * sizeof(RANGE_OBS_T));
    FillBinaryHeader(MSG_ID_RANGE, 0, nBody, static_cast<uint8_t>(PortAddressToCode(PORT_ADDRESS_FILE)), 0, &h);
    h.TimeStatus = kObsTimeStatus;
    const uint64_t nMs = uint64_t(pObs->Minutes) * 60000u + pObs->Milliseconds;
    h.Week = static_cast<uint16_t>(nMs / GNSS_MS_PER_WEEK);
    h.Milliseconds = static_cast<uint32_t>(nMs % GNSS_MS_PER_WEEK);
    std::memcpy(pOut, &h, sizeof(h));
    std::memcpy(pOut + sizeof(h), &n, 4);
    *pOutLength = LOG_HEADER_LENGTH + nBody;
    return 1;
}

BinexRecordDecoder GetBinexRecordDecoder(uint32_t nRecordId)
{
    switch (nRecordId)
    {
    case BINEX_RECORD_NAV:
        return [](const uint8_t* pRecord, uint32_t nLength, BINEX_RECORD_T* pOut)
        { return DecodeBinexEphRecord(pRecord, nLength, &pOut->Eph); };
    case BINEX_RECORD_OBS:
        return [](const uint8_t* pRecord, uint32_t nLength, BINEX_RECORD_T* pOut)
        { return DecodeBinexObsRecord(pRecord, nLength, &pOut->Obs); };
    default:
        return nullptr;
    }
}
