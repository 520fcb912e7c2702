// What a port receives from a receiver, for the tests that run the receive
// road over it: 1 Hz epochs across midnight UTC of 2009-03-14, a Saturday, so
// that the GPS week turns too (GPS minus UTC 15 s), with NMEA GGA, GSA, GSV and RMC, binary BESTPOS and RANGE, RAWIMUSX
// with the short header at 5 Hz, text PSRPOS logs, RTCM3 1005 and MSM7 1077
// and 1117 frames and command replies; optionally one byte flipped in a tenth
// of the binary logs and RTCM3 frames and the end of a tenth of the GGA and RMC
// sentences lost, as a noisy line does. Also what a UART set to the wrong baud
// rate makes of such a stream.
#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "codec/gnss_time.h"
#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "support/frame_builders.h"
#include "support/log_generator.h"
#include "support/rtcm3_builder.h"

struct RECEIVER_STREAM_T
{
    Bytes Data;
    // Frames that arrive intact.
    uint32_t Bestpos = 0, Range = 0, RawImu = 0, Rtcm = 0;
    uint32_t TextPsrpos = 0; // text logs, never damaged
    uint32_t Damaged = 0;
    uint32_t CutSentences = 0;
    uint32_t Epochs = 0;
    CalendarTime LastUtc{}; // of the last epoch
    Bytes LastBestpos;      // the last intact BESTPOS as sent
};

inline constexpr int32_t kStreamLeapMs = 15000;

// Epochs from 2009-03-14 23:59:30 UTC on.
inline RECEIVER_STREAM_T ReceiverStream(uint32_t nEpochs, bool bDamage, uint32_t nSeed = 7)
{
    RECEIVER_STREAM_T r;
    r.Epochs = nEpochs;
    std::mt19937 rng(nSeed);
    const CalendarTime start{2009, 3, 14, 23, 59, 30, 0};
    uint32_t nWeek = 0, nStartMs = 0;
    UtcToGpsTime(&start, &kStreamLeapMs, &nWeek, &nStartMs);
    const std::vector<loggen::Signal> sigs = loggen::Constellation(8, 2);

    // A frame goes out intact, or (a tenth of them, when asked) with one byte flipped.
    auto frame = [&](Bytes b, uint32_t* pIntact)
    {
        const bool bIntact = !bDamage || rng() % 10 != 0;
        if (bIntact)
            ++*pIntact;
        else
        {
            b[rng() % b.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
            ++r.Damaged;
        }
        r.Data.insert(r.Data.end(), b.begin(), b.end());
        return bIntact;
    };
    auto text = [&](const std::string& s) { r.Data.insert(r.Data.end(), s.begin(), s.end()); };
    // A sentence that loses its end, line end included.
    auto sentence = [&](const std::string& s)
    {
        if (!bDamage || rng() % 10 != 0)
            return text(s);
        ++r.CutSentences;
        text(s.substr(0, 10 + rng() % (s.size() - 12)));
    };
    auto msm = [&](uint32_t nMsg, uint32_t nTow, uint64_t uSats, uint32_t uSignals)
    {
        RtcmBuilder b = Msm(nMsg, nTow, nMsg == 1077, uSats, uSignals);
        for (int i = 0; i < 160; ++i) // cell data: ranges, phases, CN0
            b.U(8, static_cast<int64_t>(rng() & 0xFF));
        frame(b.Frame(), &r.Rtcm);
    };

    for (uint32_t k = 0; k < nEpochs; ++k)
    {
        const uint32_t nWeekNow = nWeek + (nStartMs + 1000 * k) / GNSS_MS_PER_WEEK;
        const uint32_t nMs = (nStartMs + 1000 * k) % GNSS_MS_PER_WEEK;
        CalendarTime utc{};
        GpsTimeToUtc(nWeekNow, nMs, &kStreamLeapMs, &utc);
        r.LastUtc = utc;
        const double dLat = 30.2727 + 1e-6 * k, dLon = 120.2265 - 2e-6 * k, dAlt = 15.234 + 0.01 * k;
        char hms[16], dmy[8], lat[16], lon[16];
        snprintf(hms, sizeof hms, "%02u%02u%02u.00", utc.Hour, utc.Minute, utc.Second);
        snprintf(dmy, sizeof dmy, "%02u%02u%02u", utc.Day, utc.Month, utc.Year % 100);
        snprintf(lat, sizeof lat, "%02d%09.6f", int(dLat), (dLat - int(dLat)) * 60.0);
        snprintf(lon, sizeof lon, "%03d%09.6f", int(dLon), (dLon - int(dLon)) * 60.0);

        const Bytes bestpos = loggen::Binary(loggen::Record(MSG_ID_BESTPOS, static_cast<uint16_t>(nWeekNow), nMs,
                                                            loggen::Position(dLat, dLon, dAlt + 7.123, -7.123f)));
        if (frame(bestpos, &r.Bestpos))
            r.LastBestpos = bestpos;
        frame(loggen::Binary(loggen::RangeRecord(static_cast<uint16_t>(nWeekNow), nMs, loggen::Epoch(sigs, k))),
              &r.Range);
        char alt[16];
        snprintf(alt, sizeof alt, "%.3f", dAlt);
        sentence(
            Nmea(std::string("GPGGA,") + hms + "," + lat + ",N," + lon + ",E,4,12,0.8," + alt + ",M,7.123,M,1.0,0001"));
        text(Nmea("GNGSA,A,3,02,05,10,13,15,18,23,24,,,,,1.5,0.8,1.2,1"));
        text(Nmea("GPGSV,2,1,08,02,45,120,47,05,30,200,44,10,60,045,49,13,15,300,38,1"));
        text(Nmea("GPGSV,2,2,08,15,70,010,50,18,25,250,41,23,40,160,46,24,10,080,35,1"));
        sentence(Nmea(std::string("GPRMC,") + hms + ",A," + lat + ",N," + lon + ",E,0.05,90.0," + dmy + ",,,D"));
        for (uint32_t i = 0; i < 5; ++i)
        {
            RawImuXBody imu{1,
                            13,
                            static_cast<uint16_t>(nWeekNow),
                            (nMs + 200 * i) / 1000.0,
                            0x77,
                            {int32_t(k), -2, 3, -4, 5, int32_t(i)}};
            ShortBinaryLogHeader h{};
            FillShortBinaryHeader(MSG_ID_RAWIMUSX, sizeof imu, static_cast<uint16_t>(nWeekNow), nMs + 200 * i, &h);
            frame(WithCrc32(BodyBytes(h) + BodyBytes(imu)), &r.RawImu);
        }
        msm(1077, nMs, TopSats(8), Sig(2) | Sig(15));
        msm(1117, nMs, TopSats(2), Sig(2) | Sig(6) | Sig(10) | Sig(16));
        if (k % 10 == 0)
            frame(kFrame1005, &r.Rtcm);
        if (k % 5 == 2)
        {
            text(loggen::PositionText(0, loggen::Record(MSG_ID_PSRPOS, static_cast<uint16_t>(nWeekNow), nMs,
                                                        loggen::Position(dLat, dLon, dAlt, 0.0f))));
            ++r.TextPsrpos;
        }
        if (k % 17 == 3)
            text("<OK\r\n");
    }
    return r;
}

// The bytes a UART at dPortBaud reads from a line that carries the stream at
// dLineBaud (8N1, least significant bit first, idle high, nGapBits idle bits
// after each byte). A byte whose stop bit reads low arrives as 0, as the
// terminal layer hands over a framing error.
inline Bytes ReadAtBaud(const Bytes& sent, double dLineBaud, double dPortBaud, uint32_t nGapBits)
{
    std::vector<uint8_t> bits;
    for (uint8_t b : sent)
    {
        bits.push_back(0);
        for (int i = 0; i < 8; ++i)
            bits.push_back((b >> i) & 1);
        bits.insert(bits.end(), 1 + nGapBits, 1);
    }
    const double dEnd = bits.size() / dLineBaud, dBit = 1.0 / dPortBaud;
    auto level = [&](double t)
    {
        const size_t i = static_cast<size_t>(t * dLineBaud);
        return i < bits.size() ? bits[i] : 1;
    };
    Bytes out;
    for (double t = 0; t < dEnd;)
    {
        if (level(t))
        {
            t += dBit / 16;
            continue;
        }
        uint8_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= static_cast<uint8_t>(level(t + (1.5 + i) * dBit) << i);
        out.push_back(level(t + 9.5 * dBit) ? v : 0);
        t += 9.5 * dBit;
    }
    return out;
}
