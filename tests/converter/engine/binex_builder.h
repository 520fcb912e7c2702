// Builds BINEX records for tests: message fields in either byte order, the
// ubnxi numbers, and the framing with the checksum the record's size calls for.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "codec/bitfield.h"
#include "codec/crc.h"

class BinexMessage
{
public:
    explicit BinexMessage(bool bBig) : m_bBig(bBig) {}

    BinexMessage& Unsigned(uint64_t v, uint32_t nBytes)
    {
        for (uint32_t i = 0; i < nBytes; ++i)
        {
            const uint32_t nShift = m_bBig ? 8 * (nBytes - 1 - i) : 8 * i;
            m_Bytes.push_back(static_cast<uint8_t>(v >> nShift));
        }
        return *this;
    }
    BinexMessage& U8(uint32_t v) { return Unsigned(v, 1); }
    BinexMessage& U16(uint32_t v) { return Unsigned(v, 2); }
    BinexMessage& U32(uint32_t v) { return Unsigned(v, 4); }
    BinexMessage& F32(float f)
    {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return Unsigned(u, 4);
    }
    BinexMessage& F64(double d)
    {
        uint64_t u;
        std::memcpy(&u, &d, 8);
        return Unsigned(u, 8);
    }

    bool Big() const { return m_bBig; }
    const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

private:
    bool m_bBig;
    std::vector<uint8_t> m_Bytes;
};

inline std::vector<uint8_t> BinexUbnxi(uint32_t v, bool bBig)
{
    uint8_t le[4];
    const uint32_t n = EncodeBinexUbnxi(v, le);
    if (!bBig)
        return std::vector<uint8_t>(le, le + n);
    // Most significant group first: 7 bits per byte, a fourth byte of 8.
    std::vector<uint8_t> out;
    if (n == 4)
    {
        out = {static_cast<uint8_t>(0x80 | ((v >> 22) & 0x7F)), static_cast<uint8_t>(0x80 | ((v >> 15) & 0x7F)),
               static_cast<uint8_t>(0x80 | ((v >> 8) & 0x7F)), static_cast<uint8_t>(v & 0xFF)};
        return out;
    }
    for (uint32_t i = 0; i < n; ++i)
    {
        const uint32_t nShift = 7 * (n - 1 - i);
        out.push_back(static_cast<uint8_t>(((v >> nShift) & 0x7F) | (i + 1 < n ? 0x80 : 0)));
    }
    return out;
}

// A whole record: sync, ID, length, message, checksum over ID to message.
inline std::vector<uint8_t> BinexRecord(uint32_t nRecordId, const std::vector<uint8_t>& message, bool bBig)
{
    std::vector<uint8_t> rec;
    rec.reserve(message.size() + 32);
    rec.push_back(bBig ? 0xE2 : 0xC2);
    for (uint8_t b : BinexUbnxi(nRecordId, bBig))
        rec.push_back(b);
    for (uint8_t b : BinexUbnxi(static_cast<uint32_t>(message.size()), bBig))
        rec.push_back(b);
    for (uint8_t b : message)
        rec.push_back(b);
    const uint8_t* pBody = rec.data() + 1;
    const uint32_t n = static_cast<uint32_t>(rec.size() - 1);
    BinexMessage sum(bBig);
    if (n < 128)
        sum.U8(XorChecksum8(pBody, static_cast<uint8_t>(n)));
    else if (n < 4096)
        sum.U16(static_cast<uint16_t>(Crc16Compute(pBody, static_cast<int32_t>(n))));
    else if (n < 1048576)
        sum.U32(Crc32Compute(pBody, static_cast<int32_t>(n)));
    else
    {
        uint8_t digest[16];
        Md5Digest(pBody, n, digest, 0);
        for (uint8_t b : digest)
            sum.U8(b);
    }
    for (uint8_t b : sum.Bytes())
        rec.push_back(b);
    return rec;
}
