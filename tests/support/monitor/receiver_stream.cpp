#include "receiver_stream.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "codec/gnss_time.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "support/frame_builders.h"
#include "support/log_generator.h"
#include "support/rtcm3_builder.h"

namespace
{
// A site near Wuhan, 12 GPS and 4 GLONASS satellites on two signals each.
constexpr double kLat = 30.5283, kLon = 114.3558, kHeight = 36.25;
constexpr uint32_t kGps = 12, kGlo = 4;
constexpr uint32_t kStation = 2003;
constexpr uint32_t kBestPosKind = 3;
constexpr double kGpsL1Lambda = 0.19029367; // m, the carrier the generated Dopplers are on

const std::vector<loggen::Signal>& Sigs()
{
    static const std::vector<loggen::Signal> s = loggen::Constellation(kGps, kGlo);
    return s;
}

std::string Str(const loggen::Bytes& b) { return std::string(b.begin(), b.end()); }

// The text the view shows for a binary record: its full text form.
std::string FullText(loggen::Bytes record, loggen::FormatFn format)
{
    record[6] = static_cast<uint8_t>(record[6] | 0x20); // message type: full text
    return loggen::Text(record, format);
}

std::string PositionFullText(loggen::Bytes record)
{
    record[6] = static_cast<uint8_t>(record[6] | 0x20);
    return loggen::PositionText(kBestPosKind, record);
}

STREAM_ITEM_T BinaryItem(const char* pName, const loggen::Bytes& record, const std::string& sText)
{
    STREAM_ITEM_T it;
    it.Name = pName;
    it.Wire = Str(loggen::Binary(record));
    it.Text = sText;
    std::memcpy(&it.MessageId, record.data() + 4, 2);
    return it;
}

STREAM_ITEM_T TextItem(const char* pName, const std::string& sText)
{
    STREAM_ITEM_T it;
    it.Name = pName;
    it.Wire = it.Text = sText;
    return it;
}

STREAM_ITEM_T RtcmItem(uint32_t nMessage, const std::vector<uint8_t>& frame)
{
    STREAM_ITEM_T it;
    it.Name = "RTCM" + std::to_string(nMessage);
    it.Wire = std::string(frame.begin(), frame.end());
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "Msg %4u: Size: %3u ", nMessage, static_cast<unsigned>(frame.size() - 6));
    it.Text = prefix;
    it.TextIsPrefix = true;
    return it;
}

// Degrees as NMEA's ddmm.mmmmm and its hemisphere letter.
std::string NmeaAngle(double dDeg, int nDegDigits, char cPos, char cNeg)
{
    const double a = std::fabs(dDeg);
    const int d = static_cast<int>(a);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*d%08.5f,%c", nDegDigits, d, (a - d) * 60.0, dDeg < 0 ? cNeg : cPos);
    return buf;
}

// Elevation and azimuth of a satellite, moving slowly with time.
void SkyPosition(uint32_t nIndex, double dT, int* pElev, int* pAz)
{
    *pElev = 10 + static_cast<int>(nIndex * 23 + dT / 120.0) % 75;
    *pAz = static_cast<int>(nIndex * 97 + dT / 60.0) % 360;
}

std::vector<STREAM_ITEM_T> NmeaItems(const CalendarTime& utc, double dT, double dLat, double dLon, int nQuality = 4)
{
    std::vector<STREAM_ITEM_T> out;
    char t[32];
    std::snprintf(t, sizeof t, "%02u%02u%02u.%02u", utc.Hour, utc.Minute, utc.Second, utc.Millisecond / 10);
    char d[16];
    std::snprintf(d, sizeof d, "%02u%02u%02u", utc.Day, utc.Month, utc.Year % 100);
    const std::string lat = NmeaAngle(dLat, 2, 'N', 'S'), lon = NmeaAngle(dLon, 3, 'E', 'W');
    char body[160];
    std::snprintf(body, sizeof body, "GPGGA,%s,%s,%s,%d,%02u,0.8,%.3f,M,-12.10,M,1.0,%04u", t, lat.c_str(),
                  lon.c_str(), nQuality, kGps, kHeight, kStation);
    out.push_back(TextItem("GPGGA", Nmea(body)));
    std::string gsa = "GPGSA,A,3";
    for (uint32_t i = 0; i < 12; ++i)
        gsa += "," + (i < kGps ? std::to_string(Sigs()[2 * i].nSatId) : std::string());
    gsa += ",1.5,0.8,1.2";
    out.push_back(TextItem("GPGSA", Nmea(gsa)));
    const uint32_t nMsgs = (kGps + 3) / 4;
    for (uint32_t m = 0; m < nMsgs; ++m)
    {
        std::string gsv = "GPGSV," + std::to_string(nMsgs) + "," + std::to_string(m + 1) + "," + std::to_string(kGps);
        for (uint32_t i = 4 * m; i < std::min(4 * m + 4, kGps); ++i)
        {
            int el = 0, az = 0;
            SkyPosition(i, dT, &el, &az);
            char sat[32];
            std::snprintf(sat, sizeof sat, ",%02u,%02d,%03d,%02d", Sigs()[2 * i].nSatId, el, az, 35 + el / 5);
            gsv += sat;
        }
        out.push_back(TextItem("GPGSV", Nmea(gsv)));
    }
    std::snprintf(body, sizeof body, "GPRMC,%s,A,%s,%s,0.02,123.4,%s,,,D", t, lat.c_str(), lon.c_str(), d);
    out.push_back(TextItem("GPRMC", Nmea(body)));
    return out;
}

// Satellite mask bit of an MSM satellite number (1 = most significant).
uint64_t SatBit(uint32_t nSat) { return 1ull << (64 - nSat); }

// An MSM4 frame of nMessage (1074 GPS, 1084 GLONASS) for the satellites with
// the two MSM signal IDs given.
std::vector<uint8_t> Msm4(uint32_t nMessage, uint32_t nEpoch, const std::vector<uint32_t>& sats, uint32_t nSig1,
                          uint32_t nSig2, bool bMore)
{
    RtcmBuilder b(nMessage);
    b.U(12, kStation).U(30, nEpoch).U(1, bMore ? 1 : 0).U(3, 0).U(7, 0).U(2, 0).U(2, 0).U(1, 0).U(3, 0);
    uint64_t satMask = 0;
    for (uint32_t s : sats)
        satMask |= SatBit(s);
    b.U(32, static_cast<int64_t>(satMask >> 32)).U(32, static_cast<int64_t>(satMask & 0xFFFFFFFFu));
    b.U(32, (1ll << (32 - nSig1)) | (1ll << (32 - nSig2)));
    const uint32_t nCells = static_cast<uint32_t>(sats.size()) * 2;
    for (uint32_t c = 0; c < nCells; ++c)
        b.U(1, 1);
    for (size_t i = 0; i < sats.size(); ++i)
        b.U(8, 70 + static_cast<int64_t>(i % 10)); // whole milliseconds of the range
    for (size_t i = 0; i < sats.size(); ++i)
        b.U(10, static_cast<int64_t>(i * 37 % 1024));
    for (uint32_t c = 0; c < nCells; ++c)
        b.U(15, static_cast<int64_t>(c * 101) - 700)
            .U(22, static_cast<int64_t>(c * 997) - 9000)
            .U(4, 9)
            .U(1, 0)
            .U(6, 44);
    return b.Frame();
}

std::vector<uint8_t> Station1005()
{
    // ECEF of the site, in 0.1 mm.
    RtcmBuilder b(1005);
    b.U(12, kStation).U(6, 0).U(1, 1).U(1, 1).U(1, 0).U(1, 0);
    b.U(38, -22677458137ll).U(1, 0).U(1, 0).U(38, 50039851283ll).U(2, 0).U(38, 32226722870ll);
    return b.Frame();
}

// The epoch's RANGE record as RANGECMP, or as RANGECMP4 in the stream's chain.
loggen::Bytes PackedRange(const loggen::Bytes& range, RANGECMP4_CONTEXT_T* pPacker)
{
    loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    const int ok = pPacker != nullptr ? RangeToRangeCmp4(pPacker, range.data(), static_cast<int32_t>(range.size()),
                                                         out.data(), static_cast<int32_t>(out.size()), &n)
                                      : RangeToRangeCmp(range.data(), static_cast<int32_t>(range.size()), out.data(),
                                                        static_cast<int32_t>(out.size()), &n);
    out.resize(ok == 1 ? static_cast<size_t>(n) : 0);
    return out;
}

// The epoch's RANGE record compressed as RANGECMP or RANGECMP4, as binary
// ("...B") or text ("...A"). Each RANGECMP4 log is packed on its own, all of
// reference records, as a receiver writes whole-second epochs.
bool CompressedRangeItem(const std::string& Name, const loggen::Bytes& range, STREAM_ITEM_T* pItem)
{
    const bool bCmp4 = Name == "RANGECMP4A" || Name == "RANGECMP4B";
    if (!bCmp4 && Name != "RANGECMPA" && Name != "RANGECMPB")
        return false;
    loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    int ok = 0;
    if (bCmp4)
    {
        auto pContext = std::make_unique<RANGECMP4_CONTEXT_T>();
        ok = RangeToRangeCmp4(pContext.get(), range.data(), static_cast<int32_t>(range.size()), out.data(),
                              static_cast<int32_t>(out.size()), &n);
    }
    else
        ok = RangeToRangeCmp(range.data(), static_cast<int32_t>(range.size()), out.data(),
                             static_cast<int32_t>(out.size()), &n);
    if (ok != 1)
        return false;
    out.resize(static_cast<size_t>(n));
    const std::string sText = FullText(out, bCmp4 ? FormatRangeCmp4 : FormatRangeCmp);
    *pItem = Name.back() == 'B' ? BinaryItem(Name.c_str(), out, sText) : TextItem(Name.c_str(), sText);
    return true;
}

// An INSPVAX record as a binary or text log item.
STREAM_ITEM_T InspvaxItem(const loggen::Bytes& record, bool bText)
{
    loggen::Bytes text = record;
    text[6] = static_cast<uint8_t>(text[6] | 0x20); // message type: full text
    BinaryLogHeader h;
    std::memcpy(&h, text.data(), sizeof h);
    std::vector<char> out(4096);
    int32_t n = 0;
    const std::string sText =
        FormatInspvax(&h, text.data() + sizeof h, out.data(), static_cast<int32_t>(out.size()), &n)
            ? std::string(out.data(), static_cast<size_t>(n))
            : std::string();
    return bText ? TextItem("INSPVAXA", sText) : BinaryItem("INSPVAXB", record, sText);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

ReceiverStream::ReceiverStream(uint16_t nWeek, uint32_t nStartMs, uint32_t nEpochMs)
    : m_Week(nWeek), m_Ms(nStartMs), m_EpochMs(nEpochMs)
{
}

void ReceiverStream::SetRangeForm(RANGE_FORM_E Form, uint32_t nReferenceEveryMs)
{
    m_RangeForm = Form;
    m_pPacker = std::make_shared<RANGECMP4_CONTEXT_T>();
    m_pPacker->ReferenceEveryMs = nReferenceEveryMs;
}

std::vector<RANGE_OBS_T> ReceiverStream::EpochObservations() const
{
    std::vector<RANGE_OBS_T> obs = loggen::Epoch(Sigs(), m_Seconds);
    for (size_t i = 0; i < obs.size(); ++i)
    {
        RANGE_OBS_T& o = obs[i];
        o.CNo += static_cast<float>((m_Epochs * 3 + i) % 7);
        // Each signal's Doppler on its own carrier (the generated epochs give
        // every signal the GPS L1 one), as a receiver measures it.
        const double dLambda = RangeCmpRollWavelength(o.TrackingStatus, o.Prn, o.GloFreq, false);
        if (dLambda > 0)
            o.Doppler = static_cast<float>(std::round(double(o.Doppler) * kGpsL1Lambda / dLambda * 1000.0) / 1000.0);
    }
    return obs;
}

bool ReceiverStream::RangeLost() const
{
    const double dMs = m_Seconds * 1000.0;
    return std::any_of(m_Lost.begin(), m_Lost.end(),
                       [dMs](const std::pair<uint32_t, uint32_t>& w) { return dMs >= w.first && dMs < w.second; });
}

std::vector<STREAM_ITEM_T> ReceiverStream::NextEpoch(uint32_t Kinds)
{
    std::vector<STREAM_ITEM_T> items = Items(Kinds, m_Epochs % 10 == 0, m_Epochs % 10 == 0, true);
    ++m_Epochs;
    m_Seconds += m_EpochMs / 1000.0;
    m_Ms += m_EpochMs;
    if (m_Ms >= GNSS_MS_PER_WEEK)
    {
        m_Ms -= GNSS_MS_PER_WEEK;
        ++m_Week;
    }
    return items;
}

std::vector<STREAM_ITEM_T> ReceiverStream::Items(uint32_t Kinds, bool bEphemeris, bool bStation, bool bStreamed) const
{
    std::vector<STREAM_ITEM_T> out;
    if (Kinds == 0)
        return out;
    // The antenna wanders a few centimetres around the site.
    const double dLat = kLat + 2e-7 * std::sin(m_Seconds / 30.0);
    const double dLon = kLon + 2e-7 * std::cos(m_Seconds / 40.0);
    PositionBody pos = loggen::Position(dLat, dLon, kHeight, -12.1f);
    pos.Sats.SatsTracked = kGps + kGlo;
    pos.Sats.SatsInSolution = kGps + kGlo;
    if (!m_bFix)
    {
        pos.SolStatus = 1; // insufficient observations
        pos.PosType = 0;
        pos.Sats.SatsInSolution = 0;
    }
    const loggen::Bytes bestpos = loggen::Record(MSG_ID_BESTPOS, m_Week, m_Ms, pos);
    const loggen::Bytes range = loggen::RangeRecord(m_Week, m_Ms, EpochObservations());
    // A compressed stream packs each epoch once, lost or not, as the receiver
    // writes it before the line loses it.
    const bool bCompressed = bStreamed && m_RangeForm != RANGE_FORM_RANGE && (Kinds & (STREAM_BINARY_LOGS | STREAM_TEXT_LOGS));
    loggen::Bytes packed;
    if (bCompressed)
        packed = PackedRange(range, m_RangeForm == RANGE_FORM_RANGECMP4 ? m_pPacker.get() : nullptr);
    const bool bRange = !bStreamed || !RangeLost();
    const char* pPacked = m_RangeForm == RANGE_FORM_RANGECMP4 ? "RANGECMP4" : "RANGECMP";
    const loggen::FormatFn packedFormat = m_RangeForm == RANGE_FORM_RANGECMP4 ? FormatRangeCmp4 : FormatRangeCmp;
    if (Kinds & STREAM_BINARY_LOGS)
    {
        out.push_back(BinaryItem("BESTPOSB", bestpos, PositionFullText(bestpos)));
        if (bCompressed && bRange)
            out.push_back(BinaryItem((std::string(pPacked) + "B").c_str(), packed, FullText(packed, packedFormat)));
        else if (bRange && !bCompressed)
            out.push_back(BinaryItem("RANGEB", range, FullText(range, FormatRange)));
        if (bEphemeris)
        {
            const uint32_t nPrn = Sigs()[2 * ((m_Epochs / 10) % kGps)].nSatId;
            const double dToe = std::floor(m_Ms / 7200000.0) * 7200.0 + 7200.0;
            const loggen::Bytes eph =
                loggen::Record(MSG_ID_GPSEPHEM, m_Week, m_Ms, loggen::GpsEphemeris(nPrn, m_Week, dToe, 3));
            // The view counts ephemerides in the store without showing them.
            out.push_back(BinaryItem("GPSEPHEMB", eph, std::string()));
        }
    }
    if (Kinds & STREAM_TEXT_LOGS)
    {
        out.push_back(TextItem("BESTPOSA", PositionFullText(bestpos)));
        if (bCompressed && bRange)
            out.push_back(TextItem((std::string(pPacked) + "A").c_str(), FullText(packed, packedFormat)));
        else if (bRange && !bCompressed)
            out.push_back(TextItem("RANGEA", FullText(range, FormatRange)));
    }
    if (Kinds & STREAM_NMEA)
    {
        CalendarTime utc{};
        GpsTimeToUtc(m_Week, m_Ms, nullptr, &utc);
        for (STREAM_ITEM_T& it : NmeaItems(utc, m_Seconds, dLat, dLon, m_bFix ? 4 : 0))
            out.push_back(std::move(it));
    }
    if (Kinds & STREAM_RTCM3)
    {
        if (bStation)
            out.push_back(RtcmItem(1005, Station1005()));
        std::vector<uint32_t> gps, glo;
        for (uint32_t i = 0; i < kGps; ++i)
            gps.push_back(Sigs()[2 * i].nSatId);
        for (uint32_t i = 0; i < kGlo; ++i)
            glo.push_back(Sigs()[2 * (kGps + i)].nSatId - 37u);
        std::sort(gps.begin(), gps.end());
        // GLONASS epochs count from the start of the Moscow day.
        const uint32_t nGloMs = (m_Ms + GLO_MOSCOW_OFFSET_MS - 18000u) % GNSS_MS_PER_DAY;
        const uint32_t nGloDay = ((m_Ms + GLO_MOSCOW_OFFSET_MS - 18000u) / GNSS_MS_PER_DAY) % 7;
        out.push_back(RtcmItem(1074, Msm4(1074, m_Ms, gps, 2, 10, true)));
        out.push_back(RtcmItem(1084, Msm4(1084, (nGloDay << 27) | nGloMs, glo, 2, 9, false)));
    }
    return out;
}

bool ReceiverStream::IsLogName(const std::string& Name)
{
    static const char* const kNames[] = {"BESTPOSA",  "BESTPOSB",  "RANGEA",     "RANGEB",     "GPSEPHEMB",
                                         "GPGGA",     "GPGSA",     "GPGSV",      "GPRMC",      "RTCM1005",
                                         "RTCM1074",  "RTCM1084",  "RANGECMPA",  "RANGECMPB",  "RANGECMP4A",
                                         "RANGECMP4B", "INSPVAXA", "INSPVAXB"};
    const std::string u = Upper(Name);
    return std::any_of(std::begin(kNames), std::end(kNames), [&](const char* p) { return u == p; });
}

bool ReceiverStream::OneLog(const std::string& Name, STREAM_ITEM_T* pItem) const
{
    const std::string u = Upper(Name);
    if (!IsLogName(u))
        return false;
    if (CompressedRangeItem(u, loggen::RangeRecord(m_Week, m_Ms, EpochObservations()), pItem))
        return true;
    if (u == "INSPVAXA" || u == "INSPVAXB")
    {
        *pItem = InspvaxItem(loggen::Record(MSG_ID_INSPVAX, m_Week, m_Ms, SiteInspvax()), u == "INSPVAXA");
        return true;
    }
    const std::vector<STREAM_ITEM_T> all = Items(STREAM_ALL, true, true);
    for (const STREAM_ITEM_T& it : all)
        if (it.Name == u)
        {
            *pItem = it;
            return true;
        }
    return false;
}

InspvaxBody ReceiverStream::SiteInspvax()
{
    InspvaxBody b{};
    b.InsStatus = 3; // SOLUTION_GOOD
    b.PosType = 56;  // INS RTK fixed
    b.Latitude = kLat;
    b.Longitude = kLon;
    b.Height = kHeight;
    b.Undulation = -12.1f;
    b.NorthVel = 0.012;
    b.EastVel = -0.034;
    b.UpVel = 0.005;
    b.Roll = 1.25;
    b.Pitch = -2.5;
    b.Azimuth = 123.456;
    b.LatitudeSd = 0.0123f;
    b.LongitudeSd = 0.0145f;
    b.HeightSd = 0.0321f;
    b.NorthVelSd = 0.002f;
    b.EastVelSd = 0.003f;
    b.UpVelSd = 0.004f;
    b.RollSd = 0.015f;
    b.PitchSd = 0.016f;
    b.AzimuthSd = 0.125f;
    b.ExtSolStatus = 0;
    b.TimeSinceUpdate = 0;
    return b;
}

size_t MatchShownText(const std::string& Shown, const std::vector<STREAM_ITEM_T>& Items, size_t* pUsed)
{
    size_t at = 0, n = 0;
    for (; n < Items.size(); ++n)
    {
        const STREAM_ITEM_T& it = Items[n];
        if (Shown.compare(at, it.Text.size(), it.Text) != 0)
            break;
        if (!it.TextIsPrefix)
        {
            at += it.Text.size();
            continue;
        }
        const size_t end = Shown.find("\r\n", at + it.Text.size());
        if (end == std::string::npos)
            break;
        at = end + 2;
    }
    if (pUsed)
        *pUsed = at;
    return n;
}
