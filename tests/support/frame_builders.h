// Builds what a receiver sends, with valid checksums: long and short header
// binary logs (CRC-32), RTCM3 frames (CRC-24Q) and NMEA sentences.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/crc.h"
#include "codec/log_format.h"

using Bytes = std::vector<uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes TextBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void AppendCrc32(Bytes* p)
{
    const uint32_t uCrc = Crc32Compute(p->data(), static_cast<int32_t>(p->size()));
    for (int k = 0; k < 4; ++k)
        p->push_back(static_cast<uint8_t>(uCrc >> (8 * k)));
}

inline Bytes WithCrc32(Bytes b)
{
    AppendCrc32(&b);
    return b;
}

template <typename T> Bytes BodyBytes(const T& body)
{
    Bytes b(sizeof body);
    std::memcpy(b.data(), &body, sizeof body);
    return b;
}

// A long-header log with the given body; week 1930, 1000 ms unless given.
inline Bytes LongLog(uint16_t nId, const Bytes& body, uint32_t nMs = 1000, uint16_t nWeek = 1930)
{
    BinaryLogHeader h{};
    FillBinaryHeader(nId, 0, static_cast<uint16_t>(body.size()), 0x20, 0, &h);
    h.Week = nWeek;
    h.Milliseconds = nMs;
    h.TimeStatus = 180;
    Bytes out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out = out + body;
    AppendCrc32(&out);
    return out;
}

inline Bytes ShortLog(uint16_t nId, const Bytes& body, uint32_t nMs = 1000)
{
    ShortBinaryLogHeader h{};
    FillShortBinaryHeader(nId, static_cast<uint8_t>(body.size()), 1930, nMs, &h);
    Bytes out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out = out + body;
    AppendCrc32(&out);
    return out;
}

// An RTCM3 frame whose payload opens with the 12-bit message number.
inline Bytes RtcmFrame(uint32_t nMessage, uint32_t nPayload)
{
    Bytes out = {0xD3, static_cast<uint8_t>(nPayload >> 8), static_cast<uint8_t>(nPayload & 0xFF)};
    for (uint32_t i = 0; i < nPayload; ++i)
        out.push_back(static_cast<uint8_t>(i * 7 + 1));
    out[3] = static_cast<uint8_t>(nMessage >> 4);
    out[4] = static_cast<uint8_t>(((nMessage & 0xF) << 4) | (out[4] & 0x0F));
    const uint32_t uCrc = Crc24qCompute(out.data(), static_cast<uint32_t>(out.size()));
    out.push_back(static_cast<uint8_t>(uCrc >> 16));
    out.push_back(static_cast<uint8_t>(uCrc >> 8));
    out.push_back(static_cast<uint8_t>(uCrc));
    return out;
}

// The reference-station example frame of the standard: message 1005, station
// 2003, GPS only.
inline const Bytes kFrame1005 = {0xD3, 0x00, 0x13, 0x3E, 0xD7, 0xD3, 0x02, 0x02, 0x98, 0x0E, 0xDE, 0xEF, 0x34,
                                 0xB4, 0xBD, 0x62, 0xAC, 0x09, 0x41, 0x98, 0x6F, 0x33, 0x36, 0x0B, 0x98};

inline Bytes Pattern(size_t n, uint8_t uSeed = 0)
{
    Bytes out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>((i * 31 + uSeed) & 0x7F) | 0x20; // never a sync byte
    return out;
}

// "$" + body + "*hh\r\n" with the body's XOR checksum.
inline std::string Nmea(const std::string& sBody)
{
    unsigned x = 0;
    for (char c : sBody)
        x ^= static_cast<unsigned char>(c);
    char cs[8];
    snprintf(cs, sizeof cs, "*%02X\r\n", x);
    return "$" + sBody + cs;
}
