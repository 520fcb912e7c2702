// The source table a caster sends for a mount point it does not have, as the
// caster port reads what follows the reply header: chunked or not, cut in
// pieces of any size. The mount points found are those an independent line
// reading finds before the end line, the first CNtripMountTable::MAX_LISTED
// of them listed; how the bytes were cut changes nothing while no line
// passes the bound. Input: a flag byte (bit 0: chunked), a seed for the
// piece sizes, then the bytes.
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ports/ntrip_mount_table.h"
#include "monitor/ports/ntrip_protocol.h"

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

constexpr qint64 kMaxBytes = 1 << 20;

struct READ_T
{
    bool bEnded = false;
    bool bBadChunk = false;
    QStringList Offered;
    int nCount = 0;
};

// The bytes through the chunk decoder and the table, in pieces of the sizes
// the seed gives (0: all at once).
READ_T Read(const std::string& Bytes, bool bChunked, uint8_t Seed)
{
    READ_T r;
    CNtripMountTable table;
    NTRIP_CHUNK_DECODER_T decoder;
    NtripChunkDecoderInit(&decoder);
    uint32_t state = Seed;
    for (size_t at = 0; at < Bytes.size() && !r.bEnded;)
    {
        state = state * 1103515245u + 12345u;
        const size_t n = Seed == 0 ? Bytes.size() : std::min<size_t>(1 + (state >> 16) % 97, Bytes.size() - at);
        std::vector<char> piece(Bytes.begin() + at, Bytes.begin() + at + n);
        at += n;
        int ended = 0;
        int length = static_cast<int>(n);
        std::vector<char> out(n + 1);
        if (bChunked)
        {
            length = NtripDechunk(&decoder, piece.data(), static_cast<int>(n), out.data(), &ended);
            if (length < 0)
            {
                r.bBadChunk = true;
                break;
            }
            Check(length <= static_cast<int>(n));
            piece.assign(out.begin(), out.begin() + length);
        }
        r.bEnded = table.Take(piece.data(), length, kMaxBytes) || ended != 0;
    }
    r.Offered = table.Offered();
    r.nCount = table.OfferedCount();
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2 || nSize > 64 * 1024)
        return 0;
    const bool bChunked = (pData[0] & 1) != 0;
    const std::string bytes(reinterpret_cast<const char*>(pData + 2), nSize - 2);
    const READ_T whole = Read(bytes, bChunked, 0);
    const READ_T pieces = Read(bytes, bChunked, pData[1] | 1);

    for (const READ_T* r : {&whole, &pieces})
    {
        Check(r->Offered.size() == std::min(r->nCount, CNtripMountTable::MAX_LISTED));
        for (const QString& s : r->Offered)
            Check(!s.isEmpty() && !s.contains(QLatin1Char(';')) && !s.contains(QLatin1Char('\n')));
    }
    if (bChunked)
        return 0;
    // The oracle reads the plain table's lines as a whole.
    QStringList offered;
    int nCount = 0;
    bool bLongLine = false;
    size_t at = 0;
    for (;;)
    {
        const size_t end = bytes.find('\n', at);
        std::string line = bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
        bLongLine = bLongLine || line.size() > NTRIP_REPLY_HEADER_MAX;
        if (end == std::string::npos)
            break;
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, 14, "ENDSOURCETABLE") == 0)
            break;
        if (line.compare(0, 4, "STR;") == 0)
        {
            const std::string mount = line.substr(4, line.find(';', 4) - 4);
            if (mount.empty())
                continue;
            if (offered.size() < CNtripMountTable::MAX_LISTED)
                offered << QString::fromLatin1(mount.data(), static_cast<int>(mount.size()));
            ++nCount;
        }
    }
    if (bLongLine)
        return 0;
    for (const READ_T* r : {&whole, &pieces})
        Check(r->Offered == offered && r->nCount == nCount);
    Check(whole.bEnded == pieces.bEnded);
    return 0;
}
