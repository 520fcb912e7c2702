// Receiver log files made with the codec, for the conversion engine's tests
// and benchmarks: range observations of a few satellites moving smoothly,
// their RANGE, RANGECMP and ephemeris logs in text or binary form, position
// and IONUTC logs, and days of binary RANGECMP logs of every system.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "codec/log_format.h"
#include "codec/nav_logs.h"
#include "codec/position_logs.h"
#include "codec/range_logs.h"

namespace loggen
{
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kPortCom1 = 0x01;
constexpr uint8_t kFineSteering = 180;

// One tracked signal of a satellite: tracking-status system and signal type,
// satellite ID of the logs (GLONASS slot + 37) and GLONASS channel + 7.
struct Signal
{
    uint8_t nTrackSystem;
    uint8_t nSignalType;
    uint16_t nSatId;
    uint16_t nGloFreq;
};

inline uint32_t TrackingStatus(const Signal& sig, bool bPhaseLock, bool bCodeLock, uint8_t nChannel)
{
    TRACKING_FIELDS_T f{};
    f.TrackingState = 4;
    f.ChannelNumber = nChannel;
    f.PhaseLock = bPhaseLock;
    f.ParityKnown = 1;
    f.CodeLocked = bCodeLock;
    f.CorrelatorType = 2;
    f.SatelliteSystem = sig.nTrackSystem;
    f.Grouping = 1;
    f.SignalType = sig.nSignalType;
    f.PrimarySignal = sig.nSignalType == 0;
    return PackTrackingStatus(&f);
}

// A RANGE observation whose phase follows the pseudorange, as a receiver
// reports it (accumulated Doppler near minus the range in cycles).
inline RANGE_OBS_T Observation(const Signal& sig, uint8_t nChannel, double dPsr, float fDoppler, float fCn0,
                               float fLock, bool bPhaseLock = true, bool bCodeLock = true)
{
    RANGE_OBS_T o{};
    o.Prn = sig.nSatId;
    o.GloFreq = sig.nGloFreq;
    o.TrackingStatus = TrackingStatus(sig, bPhaseLock, bCodeLock, nChannel);
    o.Psr = std::round(dPsr * 1000.0) / 1000.0;
    o.PsrStd = 0.05f;
    const double dLambda = RangeCmpRollWavelength(o.TrackingStatus, o.Prn, o.GloFreq, false);
    o.Adr = dLambda > 0 ? std::round((-o.Psr / dLambda + 0.25) * 1000.0) / 1000.0 : 0.0;
    o.AdrStd = 0.006f;
    o.Doppler = fDoppler;
    o.CNo = fCn0;
    o.LockTime = fLock;
    return o;
}

inline BinaryLogHeader Header(uint16_t nId, uint16_t nBodyLength, uint16_t nWeek, uint32_t nMs,
                              uint8_t nTimeStatus = kFineSteering)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, 0, nBodyLength, kPortCom1, 0, &h);
    h.TimeStatus = nTimeStatus;
    h.Week = nWeek;
    h.Milliseconds = nMs;
    return h;
}

// A log record (header and body, no CRC) of any body.
template <typename Body>
Bytes Record(uint16_t nId, uint16_t nWeek, uint32_t nMs, const Body& body, uint8_t nTimeStatus = kFineSteering)
{
    Bytes r(sizeof(BinaryLogHeader) + sizeof(Body));
    const BinaryLogHeader h = Header(nId, sizeof(Body), nWeek, nMs, nTimeStatus);
    std::memcpy(r.data(), &h, sizeof(h));
    std::memcpy(r.data() + sizeof(h), &body, sizeof(Body));
    return r;
}

// RANGE (or RANGEH, BASERANGE) record of the observations.
inline Bytes RangeRecord(uint16_t nWeek, uint32_t nMs, const std::vector<RANGE_OBS_T>& obs, uint16_t nId = MSG_ID_RANGE,
                         uint8_t nTimeStatus = kFineSteering)
{
    const uint32_t nCount = static_cast<uint32_t>(obs.size());
    const uint16_t nBody = static_cast<uint16_t>(4 + nCount * sizeof(RANGE_OBS_T));
    Bytes r(sizeof(BinaryLogHeader) + nBody);
    const BinaryLogHeader h = Header(nId, nBody, nWeek, nMs, nTimeStatus);
    std::memcpy(r.data(), &h, sizeof(h));
    std::memcpy(r.data() + sizeof(h), &nCount, 4);
    if (nCount)
        std::memcpy(r.data() + sizeof(h) + 4, obs.data(), nCount * sizeof(RANGE_OBS_T));
    return r;
}

// The same epoch as a RANGECMP record.
inline Bytes RangeCmpRecord(const Bytes& range)
{
    Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    if (!RangeToRangeCmp(range.data(), static_cast<int32_t>(range.size()), out.data(), static_cast<int32_t>(out.size()),
                         &n))
        return Bytes();
    out.resize(static_cast<size_t>(n));
    return out;
}

// A record as a binary log on the wire (port address, CRC-32).
inline Bytes Binary(const Bytes& record)
{
    Bytes out(record.size() + LOG_CRC_LENGTH);
    uint32_t n = 0;
    if (!CopyBinaryLogToWire(record.data(), static_cast<int32_t>(out.size()), out.data(), &n))
        return Bytes();
    out.resize(n);
    return out;
}

using FormatFn = int (*)(const void*, int32_t, char*, int32_t*);

// A record as a full text log with its CRC, by the codec's formatter of the log.
inline std::string Text(const Bytes& record, FormatFn format)
{
    std::vector<char> out(1u << 20);
    int32_t n = 0;
    if (!format(record.data(), static_cast<int32_t>(out.size()), out.data(), &n))
        return std::string();
    return std::string(out.data(), static_cast<size_t>(n));
}

inline std::string PositionText(uint32_t nKind, const Bytes& record)
{
    std::vector<char> out(4096);
    int32_t n = 0;
    BinaryLogHeader h;
    std::memcpy(&h, record.data(), sizeof(h));
    if (!FormatPosition(nKind, &h, record.data() + sizeof(h), out.data(), static_cast<int32_t>(out.size()), &n))
        return std::string();
    return std::string(out.data(), static_cast<size_t>(n));
}

// A GPS (or QZSS) ephemeris issued at toe (s of week); nIssue varies the orbit.
inline GPSEPHEM_BODY_T GpsEphemeris(uint32_t nPrn, uint32_t nWeek, double dToe, uint32_t nIssue)
{
    GPSEPHEM_BODY_T e{};
    e.Prn = nPrn;
    e.Tow = dToe - 7200.0 + 18.0;
    e.Health = 0;
    e.Iode1 = nIssue & 0xFF;
    e.Iode2 = nIssue & 0xFF;
    e.Week = nWeek;
    e.ZWeek = nWeek;
    e.Toe = dToe;
    e.A = 26560000.0 + 1000.0 * nPrn + nIssue;
    e.DeltaN = 4.5e-9;
    e.M0 = 0.1 * nPrn - 1.0 + 1e-3 * nIssue;
    e.Ecc = 0.001 * (1 + nPrn % 9);
    e.Omega = -1.2 + 0.05 * nPrn;
    e.Cuc = 1.5e-6;
    e.Cus = 8.25e-6;
    e.Crc = 210.5;
    e.Crs = -12.75;
    e.Cic = 6.5e-8;
    e.Cis = -3.5e-8;
    e.I0 = 0.96 + 0.001 * nPrn;
    e.IDot = 2.5e-10;
    e.Omega0 = 0.3 * nPrn - 2.0;
    e.OmegaDot = -8.0e-9;
    e.Iodc = nIssue & 0x3FF;
    e.Toc = dToe;
    e.Tgd = -1.0e-8;
    e.Af0 = 1.25e-4 - 1e-6 * nPrn;
    e.Af1 = -2.5e-12;
    e.Af2 = 0.0;
    e.AntiSpoofing = 1;
    e.CorrectedMeanMotion = 1.46e-4;
    e.UraVariance = 4.0;
    return e;
}

// A GLONASS ephemeris of a slot at a GPS time; nIssue varies the state vector.
inline GLOEPHEMERIS_BODY_T GloEphemeris(uint32_t nSlot, int32_t nChannel, uint16_t nWeek, uint32_t nMs, uint32_t nIssue)
{
    GLOEPHEMERIS_BODY_T e{};
    e.SlotOffset = static_cast<uint16_t>(nSlot + 37);
    e.FreqOffset = static_cast<uint16_t>(nChannel + 7);
    e.SatType = 1;
    e.Week = nWeek;
    e.EphTime = nMs;
    e.TimeOffset = 10782;
    e.Nt = 500;
    e.Issue = nIssue;
    e.Health = 0;
    e.PosX = 1.2e7 + 1e5 * nSlot + 10.0 * nIssue;
    e.PosY = -1.5e7 + 2e4 * nSlot;
    e.PosZ = 1.6e7 - 3e4 * nSlot;
    e.VelX = 1500.25;
    e.VelY = 2100.5;
    e.VelZ = -250.125;
    e.AccX = 1.0e-6;
    e.AccY = -2.0e-6;
    e.AccZ = 3.0e-6;
    e.TauN = -5.0e-5 + 1e-7 * nSlot;
    e.DeltaTauN = 1.0e-9;
    e.GammaN = 1.8e-12;
    e.Tk = (nMs / 1000 + 10800 - 18) % 86400;
    e.P = 1;
    e.Ft = 2;
    e.Age = 0;
    e.Flags = 3;
    return e;
}

inline IONUTC_BODY_T IonUtc(int32_t nLeapSeconds)
{
    IONUTC_BODY_T b{};
    const double aAlpha[4] = {1.1176e-8, 7.4506e-9, -5.9605e-8, -5.9605e-8};
    const double aBeta[4] = {90112.0, 0.0, -196608.0, -65536.0};
    std::memcpy(b.Alpha, aAlpha, sizeof(aAlpha));
    std::memcpy(b.Beta, aBeta, sizeof(aBeta));
    b.UtcWeek = 2295;
    b.Tot = 405504;
    b.A0 = 1.862645149231e-9;
    b.A1 = 8.881784197001e-16;
    b.WnLsf = 1929;
    b.Dn = 7;
    b.DeltaTls = nLeapSeconds;
    b.DeltaTlsf = nLeapSeconds;
    return b;
}

inline PositionBody Position(double dLat, double dLon, double dHeight, float fUndulation, uint32_t nSolStatus = 0)
{
    PositionBody p{};
    p.SolStatus = nSolStatus;
    p.PosType = 50;
    p.Latitude = dLat;
    p.Longitude = dLon;
    p.Height = dHeight;
    p.Undulation = fUndulation;
    p.DatumId = 61;
    p.LatitudeSd = 0.01f;
    p.LongitudeSd = 0.01f;
    p.HeightSd = 0.02f;
    return p;
}

// The constellation of the generated sources: GPS on L1 C/A and L2 P(Y)
// (signal types 0 and 9), GLONASS on L1 C/A and L2 P (0 and 5).
inline std::vector<Signal> Constellation(uint32_t nGps, uint32_t nGlo)
{
    std::vector<Signal> sigs;
    static const int8_t kChannels[] = {1, -4, 5, 6, 1, -4, 5, 6, -2, -7, 0, -1};
    for (uint32_t i = 0; i < nGps; ++i)
    {
        const uint16_t nPrn = static_cast<uint16_t>(1 + (i * 7) % 32);
        sigs.push_back({TRACK_SYS_GPS, 0, nPrn, 0});
        sigs.push_back({TRACK_SYS_GPS, 9, nPrn, 0});
    }
    for (uint32_t i = 0; i < nGlo; ++i)
    {
        const uint16_t nSlot = static_cast<uint16_t>(1 + i);
        const uint16_t nFreq = static_cast<uint16_t>(kChannels[i % 12] + 7);
        sigs.push_back({TRACK_SYS_GLONASS, 0, static_cast<uint16_t>(nSlot + 37), nFreq});
        sigs.push_back({TRACK_SYS_GLONASS, 5, static_cast<uint16_t>(nSlot + 37), nFreq});
    }
    return sigs;
}

// The observations of the constellation at a time (seconds since the start):
// each satellite's range swings smoothly; lock time grows from the start.
inline std::vector<RANGE_OBS_T> Epoch(const std::vector<Signal>& sigs, double dT)
{
    std::vector<RANGE_OBS_T> obs;
    obs.reserve(sigs.size());
    for (size_t i = 0; i < sigs.size(); ++i)
    {
        const Signal& s = sigs[i];
        const double dPhase = 0.37 * s.nSatId;
        const double dOmega = 2.0 * 3.14159265358979 / 43200.0;
        const double dPsr = 2.3e7 + 2.5e6 * std::sin(dOmega * dT + dPhase) + (s.nSignalType ? 2.125 : 0.0);
        const double dRate = 2.5e6 * dOmega * std::cos(dOmega * dT + dPhase);
        const float fDoppler = static_cast<float>(std::round(-dRate / 0.19029367 * 1000.0) / 1000.0);
        const float fCn0 = static_cast<float>(s.nSignalType ? 38.5 : 45.25);
        obs.push_back(
            Observation(s, static_cast<uint8_t>(i / 2), dPsr, fDoppler, fCn0, static_cast<float>(dT + 100.0)));
    }
    return obs;
}

// A Galileo I/NAV ephemeris issued at toe (s of week); nIssue varies the orbit.
inline GALEPHEMERIS_BODY_T GalEphemeris(uint32_t nSatId, uint32_t nToe, uint32_t nIssue)
{
    GALEPHEMERIS_BODY_T e{};
    e.SatId = nSatId;
    e.INavReceived = 1;
    e.Sisa = 107;
    e.IodNav = nIssue & 0x3FF;
    e.Toe = e.INavToc = nToe;
    e.RootA = 5440.61234567 + 0.01 * nSatId;
    e.DeltaN = 3.1e-9;
    e.M0 = -0.5 + 0.03 * nSatId + 1e-3 * nIssue;
    e.Ecc = 1.9e-4;
    e.Omega = 0.25;
    e.Cuc = 1e-6;
    e.Cus = -1e-6;
    e.Crc = 180.5;
    e.Crs = 10.25;
    e.Cic = 2e-8;
    e.Cis = -2e-8;
    e.I0 = 0.97;
    e.IDot = -1e-10;
    e.Omega0 = 1.5 - 0.1 * nSatId;
    e.OmegaDot = -5.5e-9;
    e.INavAf0 = -6.5e-4 + 1e-6 * nSatId;
    e.INavAf1 = 1.25e-12;
    e.BgdE1E5a = 2.3e-9;
    e.BgdE1E5b = 2.5e-9;
    return e;
}

// A BeiDou ephemeris issued at toe (s of BDS week); nIssue varies the orbit.
inline BDSEPHEMERIS_BODY_T BdsEphemeris(uint32_t nSatId, uint32_t nBdsWeek, uint32_t nToe, uint32_t nIssue)
{
    BDSEPHEMERIS_BODY_T e{};
    e.SatId = nSatId;
    e.Week = nBdsWeek;
    e.Ura = 2.0;
    e.Tgd1 = 8.2e-9;
    e.Tgd2 = -2.1e-9;
    e.Aodc = nIssue & 0x1F;
    e.Toc = e.Toe = nToe;
    e.A0 = 2.5e-4 - 1e-6 * nSatId;
    e.A1 = 4.5e-11;
    e.Aode = nIssue & 0x1F;
    e.RootA = nSatId <= 5 ? 6493.4 : 5282.6;
    e.Ecc = 4.2e-4;
    e.Omega = -2.1 + 0.02 * nSatId;
    e.DeltaN = 1.9e-9;
    e.M0 = 0.7 + 1e-3 * nIssue;
    e.Omega0 = 1.1 - 0.05 * nSatId;
    e.OmegaDot = -6.9e-9;
    e.I0 = nSatId <= 5 ? 0.08 : 0.96;
    e.IDot = 3.1e-10;
    e.Cuc = 4.4e-6;
    e.Cus = 1.2e-5;
    e.Crc = -120.25;
    e.Crs = 140.5;
    e.Cic = -1.8e-8;
    e.Cis = 2.7e-8;
    return e;
}

// Every system the engine writes, on two signals each: GPS (L1 C/A, L2 P(Y)),
// GLONASS (L1 C/A, L2 P), Galileo (E1C, E5aQ), BeiDou (B1I, B2I) and QZSS
// (L1 C/A, L2C); BeiDou with geostationary and inclined satellites.
struct EveryGnssCounts
{
    uint32_t nGps = 7, nGlo = 3, nGal = 3, nBds = 3, nQzss = 1;
};

inline std::vector<Signal> EveryGnssConstellation(const EveryGnssCounts& n = EveryGnssCounts())
{
    std::vector<Signal> sigs = Constellation(n.nGps, n.nGlo);
    for (uint32_t i = 0; i < n.nGal; ++i)
    {
        const uint16_t nPrn = static_cast<uint16_t>(1 + (i * 11) % 36);
        sigs.push_back({TRACK_SYS_GALILEO, 2, nPrn, 0});
        sigs.push_back({TRACK_SYS_GALILEO, 12, nPrn, 0});
    }
    for (uint32_t i = 0; i < n.nBds; ++i)
    {
        const uint16_t nPrn = static_cast<uint16_t>(i == 0 ? 3 : 20 + 7 * i);
        sigs.push_back({TRACK_SYS_BEIDOU, 0, nPrn, 0});
        sigs.push_back({TRACK_SYS_BEIDOU, 1, nPrn, 0});
    }
    for (uint32_t i = 0; i < n.nQzss; ++i)
    {
        const uint16_t nPrn = static_cast<uint16_t>(QZSS_PRN_FIRST + i);
        sigs.push_back({TRACK_SYS_QZSS, 0, nPrn, 0});
        sigs.push_back({TRACK_SYS_QZSS, 17, nPrn, 0});
    }
    return sigs;
}

// The ephemeris logs of every satellite of the constellation (one per
// satellite, whatever its signals) as binary logs sent at week and ms; the
// orbits change with nIssue.
inline void AddEphemerides(const std::vector<Signal>& sigs, uint16_t nWeek, uint32_t nMs, uint32_t nIssue,
                           const std::function<void(const Bytes&)>& put)
{
    const double dToe = std::floor(nMs / 7200000.0) * 7200.0 + 7200.0;
    const uint32_t nBdsToe = static_cast<uint32_t>(dToe) >= 14 ? static_cast<uint32_t>(dToe) - 14 : 0;
    for (size_t i = 0; i < sigs.size(); ++i)
    {
        const Signal& s = sigs[i];
        if (i > 0 && sigs[i - 1].nTrackSystem == s.nTrackSystem && sigs[i - 1].nSatId == s.nSatId)
            continue;
        switch (s.nTrackSystem)
        {
        case TRACK_SYS_GPS:
            put(Binary(Record(MSG_ID_GPSEPHEM, nWeek, nMs, GpsEphemeris(s.nSatId, nWeek, dToe, nIssue))));
            break;
        case TRACK_SYS_GLONASS:
            put(Binary(Record(MSG_ID_GLOEPHEMERIS, nWeek, nMs,
                              GloEphemeris(s.nSatId - 37u, s.nGloFreq - 7, nWeek, nMs - nMs % 1800000, nIssue))));
            break;
        case TRACK_SYS_GALILEO:
            put(Binary(
                Record(MSG_ID_GALEPHEMERIS, nWeek, nMs, GalEphemeris(s.nSatId, static_cast<uint32_t>(dToe), nIssue))));
            break;
        case TRACK_SYS_BEIDOU:
            put(Binary(Record(MSG_ID_BDSEPHEMERIS, nWeek, nMs,
                              BdsEphemeris(s.nSatId, nWeek - 1356u, nBdsToe, nIssue))));
            break;
        case TRACK_SYS_QZSS:
            put(Binary(Record(MSG_ID_QZSSEPHEMERIS, nWeek, nMs, GpsEphemeris(s.nSatId, nWeek, dToe, nIssue))));
            break;
        default:
            break;
        }
    }
}

// Writes nEpochs binary RANGECMP logs of the every-system constellation, one
// each nStepMs from week and ms, with every satellite's ephemeris logged every
// 300 s (a new one every 2 h). A day at 1 Hz is about 74 MB. Returns the
// bytes written.
inline size_t WriteEveryGnssDay(FILE* pFile, uint16_t nWeek, uint32_t nStartMs, uint32_t nEpochs = 86400,
                                uint32_t nStepMs = 1000)
{
    const std::vector<Signal> sigs = EveryGnssConstellation();
    size_t nBytes = 0;
    const auto put = [&](const Bytes& b) { nBytes += std::fwrite(b.data(), 1, b.size(), pFile); };
    uint32_t nNextEphemMs = 0;
    for (uint32_t k = 0; k < nEpochs; ++k)
    {
        const uint64_t nElapsedMs = uint64_t(k) * nStepMs;
        uint64_t nMs = nStartMs + nElapsedMs;
        uint16_t w = nWeek;
        while (nMs >= 604800000u)
        {
            nMs -= 604800000u;
            ++w;
        }
        if (nElapsedMs >= nNextEphemMs)
        {
            AddEphemerides(sigs, w, static_cast<uint32_t>(nMs), static_cast<uint32_t>(nElapsedMs / 7200000) + 1, put);
            nNextEphemMs += 300000;
        }
        put(Binary(RangeCmpRecord(RangeRecord(w, static_cast<uint32_t>(nMs), Epoch(sigs, nElapsedMs / 1000.0)))));
    }
    return nBytes;
}
} // namespace loggen
