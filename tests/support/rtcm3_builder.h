// Builds RTCM3 frames field by field (MSB-first, as the standard lays them
// out) with a valid CRC-24Q, for tests that check decoded values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/bitfield.h"
#include "codec/crc.h"

class RtcmBuilder
{
public:
    explicit RtcmBuilder(uint32_t nMessage) { U(12, nMessage); }

    // The low nWidth bits of v; a negative value gives its two's complement.
    RtcmBuilder& U(uint32_t nWidth, int64_t v)
    {
        m_payload.resize((m_nBits + nWidth + 7) / 8);
        const uint64_t u = static_cast<uint64_t>(v);
        WriteBitsMsb(m_payload.data(), m_nBits, nWidth, &u);
        m_nBits += nWidth;
        return *this;
    }
    RtcmBuilder& Pad(uint32_t nBits)
    {
        for (; nBits > 32; nBits -= 32)
            U(32, 0);
        return U(nBits, 0);
    }
    // A byte count of nCountBits, then the bytes.
    RtcmBuilder& Text(uint32_t nCountBits, const std::string& s)
    {
        U(nCountBits, static_cast<int64_t>(s.size()));
        for (unsigned char c : s)
            U(8, c);
        return *this;
    }

    // D3, length, payload, CRC-24Q; nLength overrides the length field.
    std::vector<uint8_t> Frame(int32_t nLength = -1) const
    {
        const uint32_t n = nLength < 0 ? static_cast<uint32_t>(m_payload.size()) : static_cast<uint32_t>(nLength);
        std::vector<uint8_t> out(3 + n, 0);
        out[0] = 0xD3;
        out[1] = static_cast<uint8_t>((n >> 8) & 3);
        out[2] = static_cast<uint8_t>(n);
        for (size_t i = 0; i < m_payload.size() && i < n; ++i)
            out[3 + i] = m_payload[i];
        const uint32_t uCrc = Crc24qCompute(out.data(), static_cast<uint32_t>(out.size()));
        out.push_back(static_cast<uint8_t>(uCrc >> 16));
        out.push_back(static_cast<uint8_t>(uCrc >> 8));
        out.push_back(static_cast<uint8_t>(uCrc));
        return out;
    }

private:
    std::vector<uint8_t> m_payload;
    uint32_t m_nBits = 0;
};

// MSM header with every satellite/signal cell present.
inline RtcmBuilder Msm(uint32_t nMsg, int64_t nEpoch, int nSync, uint64_t uSatMask, uint32_t uSigMask)
{
    RtcmBuilder b(nMsg);
    b.U(12, 2003);
    if (nMsg >= 1081 && nMsg <= 1090)
        b.U(3, 5).U(27, nEpoch); // day of week, time of day
    else
        b.U(30, nEpoch);
    b.U(1, nSync).U(3, 2).U(7, 0).U(2, 1).U(2, 0).U(1, 0).U(3, 0);
    b.U(64, static_cast<int64_t>(uSatMask)).U(32, uSigMask);
    const uint32_t nCells = __builtin_popcountll(uSatMask) * __builtin_popcount(uSigMask);
    if (nCells <= 64)
        b.U(nCells, -1);
    return b;
}

// Signal mask bits by MSM signal ID (1 is the most significant bit).
constexpr uint32_t Sig(int nId) { return 0x80000000u >> (nId - 1); }
constexpr uint64_t TopSats(int n) { return n == 0 ? 0 : ~uint64_t(0) << (64 - n); }
