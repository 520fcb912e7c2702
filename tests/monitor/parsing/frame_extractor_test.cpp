#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/parsing/frame_extractor.h"
#include "support/frame_builders.h"

namespace
{
// One output of the framer: kind 'T' text, 'B' binary log, 'R' RTCM3 frame.
struct Piece
{
    char Kind;
    Bytes Data;
    bool operator==(const Piece& o) const { return Kind == o.Kind && Data == o.Data; }
};

// Collects what the framer hands out, joining adjacent text.
class Collector : public QRTCMParser
{
public:
    std::vector<Piece> Out;
    void Feed(const Bytes& b) { FeedData(b.data(), static_cast<uint32_t>(b.size())); }
    Bytes Joined() const
    {
        Bytes all;
        for (const Piece& p : Out)
            all = all + p.Data;
        return all;
    }

protected:
    void Add(char k, const uint8_t* p, uint32_t n)
    {
        if (k == 'T' && !Out.empty() && Out.back().Kind == 'T')
            Out.back().Data.insert(Out.back().Data.end(), p, p + n);
        else
            Out.push_back({k, Bytes(p, p + n)});
    }
    void HandleText(const uint8_t* p, uint32_t n) override { Add('T', p, n); }
    void HandleBinaryLog(const uint8_t* p, uint32_t n) override { Add('B', p, n); }
    void HandleRtcmFrame(const uint8_t* p, uint32_t n) override { Add('R', p, n); }
};

Piece T(const Bytes& b) { return {'T', b}; }
Piece B(const Bytes& b) { return {'B', b}; }
Piece R(const Bytes& b) { return {'R', b}; }

Bytes BadCrc(Bytes b)
{
    b[b.size() - 2] ^= 0x40;
    return b;
}

struct StreamCase
{
    const char* Name;
    std::vector<Piece> Expected; // the stream is these pieces joined
};

std::vector<StreamCase> StreamCases()
{
    const Bytes lng = LongLog(42, Pattern(72));
    const Bytes shrt = ShortLog(325, Pattern(40, 3));
    const Bytes empty = ShortLog(42, {});
    const Bytes rtcm = RtcmFrame(1077, 120);
    const Bytes text = TextBytes("$GPGGA,123519,4807.038,N*47\r\n<OK\r\n");
    // Sync bytes whose headers fail at once: they must come out as text.
    const Bytes garbage = {0xAA, 0x45, 0x12, 0xD3, 0x04, 0xAA, 0x44, 0x14, 0xAA, 0x44, 0x12, 0x1B,
                           0x00, 0xD3, 0x00, 0x04, 0x1F, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07};
    return {
        {"long_log", {B(lng)}},
        {"short_log", {B(shrt)}},
        {"short_log_no_body", {B(empty)}},
        {"rtcm_1005", {R(kFrame1005)}},
        {"rtcm_generated", {R(rtcm)}},
        {"rtcm_63", {R(RtcmFrame(63, 30))}},
        {"text_only", {T(text)}},
        {"back_to_back", {B(lng), B(shrt), R(rtcm), B(lng), R(kFrame1005), B(empty)}},
        {"interleaved_text", {T(text), B(lng), T(TextBytes("x")), R(rtcm), T(text), B(shrt), T(text)}},
        {"garbage_between", {T(garbage), B(lng), T(garbage), R(rtcm), T(garbage)}},
        {"bad_crc_long_is_text", {T(BadCrc(lng)), B(shrt)}},
        {"bad_crc_short_is_text", {B(lng), T(BadCrc(shrt)), R(rtcm)}},
        {"bad_crc_rtcm_is_text", {T(BadCrc(RtcmFrame(1005, 19))), B(lng)}},
        // AA 44 12 1C with a length no ring can hold: text at once, not a wait.
        {"impossible_length", {T(Bytes{0xAA, 0x44, 0x12, 0x1C, 0, 0, 0, 0, 0xFF, 0xFF} + text), B(shrt)}},
    };
}

Bytes Join(const std::vector<Piece>& v)
{
    Bytes all;
    for (const Piece& p : v)
        all = all + p.Data;
    return all;
}

std::vector<Piece> FeedBatches(const std::vector<Bytes>& batches)
{
    Collector c;
    for (const Bytes& b : batches)
        c.Feed(b);
    return c.Out;
}
} // namespace

TEST(FrameExtractor, StreamsComeOutAsTheyWentIn)
{
    for (const StreamCase& sc : StreamCases())
    {
        SCOPED_TRACE(sc.Name);
        const Bytes stream = Join(sc.Expected);
        EXPECT_EQ(FeedBatches({stream}), sc.Expected);
        // Split at every byte position across two batches.
        for (size_t k = 1; k < stream.size(); ++k)
        {
            const std::vector<Piece> out =
                FeedBatches({Bytes(stream.begin(), stream.begin() + k), Bytes(stream.begin() + k, stream.end())});
            ASSERT_EQ(out, sc.Expected) << "split at " << k;
        }
        // One byte per batch.
        Collector c;
        for (uint8_t b : stream)
            c.Feed(Bytes{b});
        EXPECT_EQ(c.Out, sc.Expected);
    }
}

TEST(FrameExtractor, TruncatedFrameWaitsAndCompletes)
{
    const Bytes lng = LongLog(43, Pattern(300));
    const Bytes shrt = ShortLog(325, Pattern(40));
    for (const Bytes& frame : {lng, shrt, RtcmFrame(1005, 19)})
    {
        const Bytes head = TextBytes("abc\n");
        for (size_t cut = 1; cut < frame.size(); ++cut)
        {
            Collector c;
            c.Feed(head + Bytes(frame.begin(), frame.begin() + cut));
            // Text in front is handed out once; the partial frame stays unread, nothing is lost.
            ASSERT_EQ(c.Out, std::vector<Piece>{T(head)}) << cut;
            ASSERT_EQ(RingUnread(&c.Ring()), cut);
            c.Feed(Bytes(frame.begin() + cut, frame.end()));
            ASSERT_EQ(c.Out, (std::vector<Piece>{T(head), {frame[0] == 0xD3 ? 'R' : 'B', frame}})) << cut;
        }
    }
}

TEST(FrameExtractor, ExtractReturnsConsumedCountsAndWaitCodes)
{
    // A short log with text around it: "abc\n" + 16-byte log + 16 text bytes.
    const Bytes log = {0xaa, 0x44, 0x13, 0x00, 0x2a, 0x00, 0x8a, 0x07, 0x00, 0x00, 0x00, 0x00, 0xcf, 0x99, 0x74, 0x5d};
    EXPECT_EQ(log, ShortLog(42, {}, 0));
    QRTCMParser p;
    std::vector<uint8_t> bin(FRAME_AREA_SIZE), text(FRAME_AREA_SIZE), rtcm(FRAME_AREA_SIZE);
    uint32_t nb, nt, nr;
    const Bytes in = TextBytes("abc\n") + log + TextBytes("0123456789ABCDEF");
    ASSERT_EQ(p.AppendData(in.data(), static_cast<uint32_t>(in.size())), 0);
    EXPECT_EQ(p.ExtractFrames(bin.data(), &nb, text.data(), &nt, rtcm.data(), &nr), 20);
    EXPECT_EQ(nt, 4u);
    EXPECT_EQ(nb, 16u);
    EXPECT_EQ(p.ExtractFrames(bin.data(), &nb, text.data(), &nt, rtcm.data(), &nr), EXTRACT_NO_FRAME);
    EXPECT_EQ(nt, 16u);
    EXPECT_EQ(RingUnread(&p.Ring()), 0u);

    // The 1005 frame with a bad last byte: its sync goes out as text, and the
    // inner D3 02 02 reads as a 520-byte frame header, which is waited for.
    Bytes bad = kFrame1005;
    bad.back() ^= 1;
    ASSERT_EQ(p.AppendData(bad.data(), static_cast<uint32_t>(bad.size())), 0);
    EXPECT_EQ(p.ExtractFrames(bin.data(), &nb, text.data(), &nt, rtcm.data(), &nr), EXTRACT_INCOMPLETE);
    EXPECT_EQ(nt, 5u);
    EXPECT_EQ(RingUnread(&p.Ring()), 20u);
    EXPECT_EQ(p.Ring().LastFrameLength, 514u);
}

TEST(FrameExtractor, FrameAcrossTheRingEndIsTaken)
{
    Collector c;
    c.Feed(Pattern(65000));
    ASSERT_EQ(RingUnread(&c.Ring()), 0u);
    const Bytes lng = LongLog(42, Pattern(1000));
    const Bytes rtcm = RtcmFrame(1005, 600);
    c.Out.clear();
    c.Feed(lng + rtcm);
    EXPECT_EQ(c.Out, (std::vector<Piece>{B(lng), R(rtcm)}));
    EXPECT_EQ(c.Ring().WriteWraps, 1u);
}

TEST(FrameExtractor, BatchesLargerThanTheRingAreParsedInPieces)
{
    std::vector<Piece> expected;
    for (int i = 0; expected.size() < 600; ++i)
    {
        expected.push_back(B(LongLog(43, Pattern(1100 + i % 7, static_cast<uint8_t>(i)), 1000 * i)));
        expected.push_back(T(TextBytes("$GPGSV,x*00\r\n")));
        expected.push_back(R(RtcmFrame(1074 + i % 3, 200)));
    }
    const Bytes stream = Join(expected); // about 270 kB in one batch
    ASSERT_GT(stream.size(), 4u * RING_SIZE);
    Collector c;
    c.Feed(stream);
    EXPECT_EQ(c.Out, expected);
    EXPECT_EQ(c.Unparsed(), 0u);
}

// Appending never gives up a byte: what does not fit beside the unread bytes
// waits behind the ring, in order, whatever the chunk's size.
TEST(RingBuffer, AppendKeepsEveryByte)
{
    QRTCMParser p;
    const Bytes a = Pattern(40000, 1), b = Pattern(30000, 2), big = Pattern(RING_SIZE, 3);
    EXPECT_EQ(p.AppendData(a.data(), 0), 0);
    EXPECT_EQ(p.AppendData(nullptr, 5), -1);
    EXPECT_EQ(p.AppendData(a.data(), 40000), 0);
    EXPECT_EQ(p.AppendData(b.data(), 30000), 1);
    EXPECT_EQ(p.AppendData(big.data(), RING_SIZE), 1);
    EXPECT_EQ(p.Unparsed(), 40000u + 30000u + RING_SIZE);
    EXPECT_EQ(p.Ring().OverrunFlag, 0u);
    Bytes unread(RingUnread(&p.Ring()));
    PeekRing(&p.Ring(), 0, unread.data(), static_cast<uint32_t>(unread.size()));
    const Bytes ab = a + b;
    EXPECT_EQ(unread, Bytes(ab.begin(), ab.begin() + RING_CAPACITY));

    Collector c;
    c.Feed(a);
    c.AppendData(b.data(), 30000);
    c.AppendData(big.data(), RING_SIZE);
    c.Feed({});
    EXPECT_EQ(c.Joined(), a + b + big);
    EXPECT_EQ(c.Unparsed(), 0u);

    QRTCMParser q;
    EXPECT_EQ(q.AppendData(a.data(), 400), 0);
    EXPECT_EQ(q.Ring().PendingParseCount, 0u);
    EXPECT_EQ(q.AppendData(a.data(), 200), 0);
    EXPECT_EQ(q.Ring().PendingParseCount, 1u);
}
