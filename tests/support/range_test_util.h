// Synthetic RANGE epochs for the range-log tests: satellites move with a
// constant line-of-sight acceleration, so pseudorange, carrier phase and
// Doppler agree with each other from epoch to epoch.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/log_format.h"
#include "codec/range_logs.h"
#include "codec/signals.h"

// The records are packed: assertions read their fields as values (unary +),
// since gtest would bind a reference to a field that may sit misaligned.
namespace range_test
{
constexpr double kC = 299792458.0;

// One tracked signal: system and signal type as the tracking status carries
// them, the signal code whose carrier the receiver measured, and whether
// RANGECMP4's signal tables carry it.
struct Signal
{
    uint8_t System;
    uint8_t SignalType;
    uint16_t Code;
    bool Cmp4;
    const char* Name;
};

// Every system and signal type of the signal tables.
inline constexpr Signal kSignals[] = {
    {TRACK_SYS_GPS, 0, 0, true, "GPS L1C/A"},        {TRACK_SYS_GPS, 9, 33096, true, "GPS L2W"},
    {TRACK_SYS_GPS, 17, 520, true, "GPS L2C"},       {TRACK_SYS_GPS, 5, 200, true, "GPS L2P"},
    {TRACK_SYS_GPS, 14, 2128, true, "GPS L5Q"},      {TRACK_SYS_GPS, 16, 384, true, "GPS L1C"},
    {TRACK_SYS_GLONASS, 0, 1, true, "GLO L1C/A"},    {TRACK_SYS_GLONASS, 1, 9, true, "GLO L2C/A"},
    {TRACK_SYS_GLONASS, 5, 201, true, "GLO L2P"},    {TRACK_SYS_GLONASS, 6, 17, true, "GLO L3"},
    {TRACK_SYS_GLONASS, 2, 17, false, "GLO L3 (2)"}, {TRACK_SYS_SBAS, 0, 0, true, "SBAS L1"},
    {TRACK_SYS_SBAS, 6, 16, true, "SBAS L5"},        {TRACK_SYS_GALILEO, 2, 2306, true, "GAL E1C"},
    {TRACK_SYS_GALILEO, 1, 130, false, "GAL E1B"},   {TRACK_SYS_GALILEO, 12, 2506, true, "GAL E5aQ"},
    {TRACK_SYS_GALILEO, 17, 2514, true, "GAL E5bQ"}, {TRACK_SYS_GALILEO, 20, 2522, true, "GAL E5Q"},
    {TRACK_SYS_BEIDOU, 0, 3, true, "BDS B1I"},       {TRACK_SYS_BEIDOU, 1, 19, true, "BDS B2I"},
    {TRACK_SYS_BEIDOU, 2, 11, true, "BDS B3I"},      {TRACK_SYS_BEIDOU, 4, 3, false, "BDS B1I (4)"},
    {TRACK_SYS_BEIDOU, 5, 19, false, "BDS B2I (5)"}, {TRACK_SYS_BEIDOU, 6, 11, false, "BDS B3I (6)"},
    {TRACK_SYS_BEIDOU, 7, 2395, true, "BDS B1CP"},   {TRACK_SYS_BEIDOU, 8, 283, false, "BDS B1CD"},
    {TRACK_SYS_BEIDOU, 9, 2531, true, "BDS B2aP"},   {TRACK_SYS_BEIDOU, 10, 419, false, "BDS B2aD"},
    {TRACK_SYS_BEIDOU, 11, 2515, false, "BDS B2bP"}, {TRACK_SYS_BEIDOU, 12, 403, false, "BDS B2bD"},
    {TRACK_SYS_QZSS, 0, 5, true, "QZS L1C/A"},       {TRACK_SYS_QZSS, 17, 525, true, "QZS L2C"},
    {TRACK_SYS_QZSS, 14, 2133, true, "QZS L5Q"},     {TRACK_SYS_QZSS, 16, 389, true, "QZS L1C"},
    {TRACK_SYS_QZSS, 27, 2917, true, "QZS L6"},
};

inline double CarrierHz(uint16_t uCode, uint16_t uGloFreq)
{
    double f = 0;
    if (!SignalCarrierFrequency(uCode, &f))
        return 0;
    if (SignalCodeSystem(uCode) == GNSS_SYSTEM_GLONASS && SignalCodeBand(uCode) < 2)
        f += (double(uGloFreq) - 7.0) * GloChannelSpacing(SignalCodeBand(uCode));
    return f;
}

struct Satellite
{
    uint16_t Prn;
    uint16_t GloFreq; // channel + 7
    double Range0;    // m at t = 0
    double Rate;      // m/s
    double Accel;     // m/s^2
};

struct SatOf
{
    uint8_t System;
    Satellite Sat;
};
// Two or three satellites per system: GLONASS on channels +1 and -7, BeiDou
// geostationary (3, 59) and not (30), SBAS and QZSS across their PRN ranges.
inline constexpr SatOf kSatellites[] = {
    {TRACK_SYS_GPS, {5, 0, 21.3e6, -512.25, 0.12}},   {TRACK_SYS_GPS, {31, 0, 24.9e6, 633.5, -0.08}},
    {TRACK_SYS_GLONASS, {38, 8, 19.7e6, 401.0, 0.2}}, {TRACK_SYS_GLONASS, {47, 0, 23.1e6, -702.7, -0.1}},
    {TRACK_SYS_SBAS, {120, 0, 37.8e6, 1.5, 0.0}},     {TRACK_SYS_SBAS, {133, 0, 38.2e6, -2.25, 0.0}},
    {TRACK_SYS_GALILEO, {1, 0, 25.5e6, 120.0, 0.05}}, {TRACK_SYS_GALILEO, {36, 0, 27.0e6, -380.4, 0.1}},
    {TRACK_SYS_BEIDOU, {3, 0, 37.9e6, 3.1, 0.0}},     {TRACK_SYS_BEIDOU, {30, 0, 22.4e6, 250.75, -0.15}},
    {TRACK_SYS_BEIDOU, {59, 0, 38.3e6, -1.2, 0.0}},   {TRACK_SYS_QZSS, {193, 0, 36.9e6, 45.5, 0.01}},
    {TRACK_SYS_QZSS, {199, 0, 38.0e6, -60.0, 0.02}},
};

// The observation of one signal of a satellite at time t (s from the first epoch).
inline RANGE_OBS_T Observe(const Satellite& sat, const Signal& sig, double t, uint32_t nIndex)
{
    const double f = CarrierHz(sig.Code, sat.GloFreq);
    const double lambda = kC / f;
    const double range = sat.Range0 + sat.Rate * t + 0.5 * sat.Accel * t * t;
    // code and carrier differ by a signal-dependent bias and a slow ionospheric drift
    const double phaseRange = range - 2.75 - 0.13 * sig.SignalType - 0.004 * t;
    RANGE_OBS_T o{};
    o.Prn = sat.Prn;
    o.GloFreq = sig.System == TRACK_SYS_GLONASS ? sat.GloFreq : 0;
    o.Psr = range;
    o.PsrStd = 0.1f;
    o.Adr = -phaseRange / lambda;
    o.AdrStd = 0.004f;
    o.Doppler = static_cast<float>(-(sat.Rate + sat.Accel * t) / lambda);
    o.CNo = 45.3f - 0.7f * static_cast<float>(nIndex % 8);
    o.LockTime = static_cast<float>(100.0 + t);
    TRACKING_FIELDS_T tf{};
    tf.TrackingState = 4;
    tf.ChannelNumber = static_cast<uint8_t>(nIndex);
    tf.PhaseLock = 1;
    tf.ParityKnown = 1;
    tf.CodeLocked = 1;
    tf.CorrelatorType = 2;
    tf.SatelliteSystem = sig.System;
    tf.Grouping = 1;
    tf.SignalType = sig.SignalType;
    tf.PrimarySignal = ((sig.Code >> 3) & 7) == 0; // band 0
    o.TrackingStatus = PackTrackingStatus(&tf);
    return o;
}

// The monitor's carrier table has no QZSS L6 (band 4) frequency.
inline bool CarriedInProfile(const Signal& sig)
{
    double f = 0;
    return SignalCarrierFrequency(sig.Code, &f) == 1 && f > 0;
}

// Every satellite with each of its system's signals that pKeep accepts, at time t.
template <typename Keep> std::vector<RANGE_OBS_T> Epoch(double t, Keep keep)
{
    std::vector<RANGE_OBS_T> obs;
    for (const SatOf& s : kSatellites)
        for (const Signal& sig : kSignals)
            if (sig.System == s.System && keep(sig))
                obs.push_back(Observe(s.Sat, sig, t, static_cast<uint32_t>(obs.size())));
    return obs;
}

// The wavelength of the signal a record names, from the table above.
inline double Wavelength(const RANGE_OBS_T& o)
{
    for (const Signal& sig : kSignals)
        if (sig.System == TrackingStatusSystem(o.TrackingStatus) &&
            sig.SignalType == TrackingStatusSignalType(o.TrackingStatus))
            return kC / CarrierHz(sig.Code, o.GloFreq);
    return 0;
}

inline std::vector<uint8_t> MakeRangeLog(uint16_t uWeek, uint32_t uMs, const std::vector<RANGE_OBS_T>& obs,
                                         uint16_t uMsgId = MSG_ID_RANGE, uint8_t uMsgType = 0)
{
    std::vector<uint8_t> log(sizeof(BinaryLogHeader) + 4 + obs.size() * sizeof(RANGE_OBS_T));
    BinaryLogHeader h{};
    h.Sync[0] = 0xAA;
    h.Sync[1] = 0x44;
    h.Sync[2] = 0x12;
    h.HeaderLength = 28;
    h.MessageId = uMsgId;
    h.MessageType = uMsgType;
    h.Port = 1; // COM1
    h.MessageLength = static_cast<uint16_t>(4 + obs.size() * sizeof(RANGE_OBS_T));
    h.Sequence = 0;
    h.IdleTime = 50;
    h.TimeStatus = 180;
    h.Week = uWeek;
    h.Milliseconds = uMs;
    std::memcpy(log.data(), &h, sizeof(h));
    const uint32_t n = static_cast<uint32_t>(obs.size());
    std::memcpy(log.data() + sizeof(h), &n, 4);
    if (n)
        std::memcpy(log.data() + sizeof(h) + 4, obs.data(), obs.size() * sizeof(RANGE_OBS_T));
    return log;
}

inline BinaryLogHeader HeaderOf(const std::vector<uint8_t>& log)
{
    BinaryLogHeader h;
    std::memcpy(&h, log.data(), sizeof(h));
    return h;
}

inline std::vector<RANGE_OBS_T> RecordsOf(const uint8_t* pLog)
{
    uint32_t n = 0;
    std::memcpy(&n, pLog + sizeof(BinaryLogHeader), 4);
    std::vector<RANGE_OBS_T> v(n);
    if (n)
        std::memcpy(v.data(), pLog + sizeof(BinaryLogHeader) + 4, n * sizeof(RANGE_OBS_T));
    return v;
}

// The record of the same satellite, system and signal type, or null.
inline const RANGE_OBS_T* FindSame(const std::vector<RANGE_OBS_T>& v, const RANGE_OBS_T& o)
{
    for (const RANGE_OBS_T& x : v)
        if (x.Prn == o.Prn && TrackingStatusSystem(x.TrackingStatus) == TrackingStatusSystem(o.TrackingStatus) &&
            TrackingStatusSignalType(x.TrackingStatus) == TrackingStatusSignalType(o.TrackingStatus))
            return &x;
    return nullptr;
}
} // namespace range_test
