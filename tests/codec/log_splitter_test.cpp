#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/crc.h"
#include "codec/log_format.h"

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes BinaryLog(const Bytes& body)
{
    Bytes log(LOG_HEADER_LENGTH);
    BinaryLogHeader h{};
    FillBinaryHeader(42, 0, static_cast<uint16_t>(body.size()), 32, 0, &h);
    std::memcpy(log.data(), &h, sizeof h);
    log.insert(log.end(), body.begin(), body.end());
    const uint32_t crc = Crc32Compute(log.data(), static_cast<int32_t>(log.size()));
    for (int i = 0; i < 4; ++i)
        log.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    return log;
}

struct Unit
{
    int32_t result;
    int32_t kind;
    Bytes bytes;
    bool operator==(const Unit& o) const { return result == o.result && kind == o.kind && bytes == o.bytes; }
};

std::ostream& operator<<(std::ostream& os, const Unit& u)
{
    os << "{" << u.result << ", kind " << u.kind << ", \"";
    for (uint8_t c : u.bytes)
        os << (c >= 32 && c < 127 ? static_cast<char>(c) : '.');
    return os << "\"}";
}

// Feeds the stream in chunks, splitting after each one as a port reader does;
// what is still pending at the end comes back in *pRest.
std::vector<Unit> Split(const Bytes& stream, size_t nChunk, Bytes* pRest, int32_t nCapacity = 4096)
{
    std::vector<Unit> units;
    Bytes pending;
    Bytes out(static_cast<size_t>(nCapacity));
    for (size_t pos = 0; pos < stream.size(); pos += nChunk)
    {
        pending.insert(pending.end(), stream.begin() + static_cast<long>(pos),
                       stream.begin() + static_cast<long>(std::min(stream.size(), pos + nChunk)));
        for (;;)
        {
            int32_t remaining = static_cast<int32_t>(pending.size());
            const uint8_t* next = nullptr;
            int32_t outLength = -7, kind = -7;
            const int32_t r =
                SplitLogFrame(pending.data(), &remaining, &next, out.data(), nCapacity, &outLength, &kind);
            const size_t consumed = static_cast<size_t>(next - pending.data());
            EXPECT_EQ(static_cast<size_t>(remaining), pending.size() - consumed);
            if (r == SPLIT_NEED_MORE)
            {
                EXPECT_EQ(consumed, 0u);
                break;
            }
            EXPECT_GT(consumed, 0u);
            if (r > 0)
            {
                EXPECT_EQ(r, outLength);
            }
            units.push_back({r, outLength > 0 ? kind : -1, Bytes(out.begin(), out.begin() + std::max(0, outLength))});
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(consumed));
        }
    }
    *pRest = pending;
    return units;
}

Unit Line(const std::string& s, int32_t kind) { return {static_cast<int32_t>(s.size()), kind, B(s)}; }
Unit Binary(const Bytes& b) { return {static_cast<int32_t>(b.size()), LOG_FRAME_BINARY, b}; }
Unit Broken(const std::string& s, int32_t kind) { return {SPLIT_DISCARDED, kind, B(s)}; }
Unit Dropped() { return {SPLIT_DISCARDED, -1, {}}; }
} // namespace

TEST(SplitLogFrame, MixedStreamGivesTheSameUnitsForEveryChunkSize)
{
    // The binary body holds bytes that would mean something in text.
    const Bytes bin1 = BinaryLog(B("#$\n\r\nx\xAA\x44\x12zz"));
    const Bytes bin2 = BinaryLog(Bytes(300, 0x24));
    const std::string full = "#BESTPOSA,COM1,0,0.0,FINE,1,2.000,0,0,0;SOL_COMPUTED*12345678\r\n";
    const std::string gga = "$GPGGA,123519,4807.038,N\r\n";
    const std::string passcom = "#PASSCOM1A,COM1,0,0.0,FINE,1,2.000,0,0,0;12,a#b$c*00000000\r\n";
    const std::string rmc = "$GPRMC,1\n";

    Bytes stream = B("xx\x01");
    auto add = [&stream](const Bytes& b) { stream.insert(stream.end(), b.begin(), b.end()); };
    add(B(full));
    add(B(gga));
    add(bin1);
    add(B(passcom));
    add(B("#BESTPOSA,12,a#b$c*00000000\r\n"));
    add(B("<OK\r\n"));
    add(B(rmc));
    add(B("#cut off before a binary log"));
    add(bin2);
    add(B("\xAA\x44\x12\x10 not a header\r\n"));
    add(B("#TAIL,no end yet"));

    const std::vector<Unit> want = {
        Line(full, LOG_FRAME_HASH),
        Line(gga, LOG_FRAME_DOLLAR),
        Binary(bin1),
        Line(passcom, LOG_FRAME_HASH),
        Broken("#BESTPOSA,12,a", LOG_FRAME_HASH),
        Broken("#b", LOG_FRAME_HASH),
        Line("$c*00000000\r\n", LOG_FRAME_DOLLAR),
        Dropped(), // "<OK": a line end with no line open
        Line(rmc, LOG_FRAME_DOLLAR),
        Binary(bin2),
        Dropped(), // the false sync with its header length of 16
    };
    for (size_t chunk :
         {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{28}, size_t{29}, size_t{64}, size_t{333}, stream.size()})
    {
        Bytes rest;
        EXPECT_EQ(Split(stream, chunk, &rest), want) << "chunk " << chunk;
        EXPECT_EQ(rest, B("#TAIL,no end yet")) << "chunk " << chunk;
    }
}

TEST(SplitLogFrame, BinaryLogCutAtEveryPositionWaitsThenComesOutWhole)
{
    const Bytes log = BinaryLog(B("0123456789"));
    Bytes out(256);
    for (size_t k = 0; k < log.size(); ++k)
    {
        Bytes part(log.begin(), log.begin() + static_cast<long>(k));
        part.reserve(k + 1); // keeps data() valid for k == 0
        int32_t remaining = static_cast<int32_t>(k);
        const uint8_t* next = nullptr;
        int32_t n = 0, kind = 0;
        ASSERT_EQ(SplitLogFrame(part.data(), &remaining, &next, out.data(), 256, &n, &kind), SPLIT_NEED_MORE) << k;
        EXPECT_EQ(remaining, static_cast<int32_t>(k));
        EXPECT_EQ(next, part.data());
    }
    int32_t remaining = static_cast<int32_t>(log.size());
    const uint8_t* next = nullptr;
    int32_t n = 0, kind = -1;
    ASSERT_EQ(SplitLogFrame(log.data(), &remaining, &next, out.data(), 256, &n, &kind), 42);
    EXPECT_EQ(remaining, 0);
    EXPECT_EQ(kind, LOG_FRAME_BINARY);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + n), log);
}

TEST(SplitLogFrame, OutputCapacityBoundsLinesAndLogs)
{
    Bytes rest;
    // A line that outgrows the output is handed out in part and the stream resynchronises.
    const std::vector<Unit> lines = Split(B("#ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n$OK\r\n"), 5, &rest, 16);
    const std::vector<Unit> wantLines = {Broken("#ABCDEFGHIJKLMNO", LOG_FRAME_HASH), Dropped(),
                                         Line("$OK\r\n", LOG_FRAME_DOLLAR)};
    EXPECT_EQ(lines, wantLines);
    // A line of exactly the capacity fits; a CR LF that would overflow it does not.
    EXPECT_EQ(Split(B("#ABCDEFGHIJKLM\r\n"), 99, &rest, 16), std::vector<Unit>{Line("#ABCDEFGHIJKLM\r\n", 32)});
    EXPECT_EQ(Split(B("#ABCDEFGHIJKLMN\r\n"), 99, &rest, 16),
              std::vector<Unit>{Broken("#ABCDEFGHIJKLMN\r", LOG_FRAME_HASH)});

    // A "#PASSCOM" line is never broken by "#" or "$", only by the capacity.
    const std::string pass = "#PASSCOM2A,x;" + std::string(40, '#') + "\r\n";
    EXPECT_EQ(Split(B(pass), 3, &rest, 64), std::vector<Unit>{Line(pass, LOG_FRAME_HASH)});
    EXPECT_EQ(Split(B(pass), 3, &rest, 32).front(), Broken(pass.substr(0, 32), LOG_FRAME_HASH));

    // A binary log larger than the output loses its sync bytes instead of stalling the stream.
    const Bytes big = BinaryLog(Bytes(100, 0));
    Bytes out(64);
    int32_t remaining = static_cast<int32_t>(big.size());
    const uint8_t* next = nullptr;
    int32_t n = 0, kind = -1;
    EXPECT_EQ(SplitLogFrame(big.data(), &remaining, &next, out.data(), 64, &n, &kind), SPLIT_DISCARDED);
    EXPECT_EQ(next, big.data() + 3);
    EXPECT_EQ(n, 0);
}

TEST(SplitLogFrame, BadArguments)
{
    uint8_t buf[4] = {'#', 'a', '\r', '\n'}, out[8];
    int32_t remaining = 4, n = 0, kind = 0;
    const uint8_t* next = nullptr;
    EXPECT_EQ(SplitLogFrame(nullptr, &remaining, &next, out, 8, &n, &kind), SPLIT_BAD_ARGUMENT);
    EXPECT_EQ(SplitLogFrame(buf, &remaining, &next, nullptr, 8, &n, &kind), SPLIT_BAD_ARGUMENT);
    EXPECT_EQ(SplitLogFrame(buf, &remaining, &next, out, 0, &n, &kind), SPLIT_BAD_ARGUMENT);
    remaining = -1;
    EXPECT_EQ(SplitLogFrame(buf, &remaining, &next, out, 8, &n, &kind), SPLIT_BAD_ARGUMENT);
    remaining = 4;
    EXPECT_EQ(SplitLogFrame(buf, &remaining, &next, out, 8, &n, &kind), 4);
}
