#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "binex_builder.h"
#include "codec/crc.h"
#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "converter/engine/log_source.h"
#include "range_source_fixture.h"

namespace
{
struct Read
{
    std::vector<uint16_t> ids;
    std::vector<uint8_t> forms;
    std::vector<uint32_t> lengths;
    LogSourceCounts counts;
};

Read ReadAll(const loggen::Bytes& bytes, uint32_t nMode = LOG_SOURCE_LONG_HEADERS)
{
    Read r;
    FILE* f = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    EXPECT_NE(f, nullptr);
    if (!f)
        return r;
    LogSourceReader reader(f, nullptr, nullptr, nMode);
    LogSourceFrame frame;
    while (reader.Next(&frame))
    {
        r.ids.push_back(frame.nMessageId);
        r.forms.push_back(frame.nForm);
        r.lengths.push_back(frame.nLength);
    }
    r.counts = reader.Counts();
    std::fclose(f);
    return r;
}

loggen::Bytes RangeLog(uint32_t k)
{
    return loggen::RangeRecord(kWeek, kDayMs + k * 1000, loggen::Epoch(loggen::Constellation(2, 1), k));
}

// Good logs of both forms with damage between them; padding in front moves
// every log across the 64 KB block boundaries in turn.
TEST(LogSource, SkipsAndCountsDamageAndKeepsEveryGoodLog)
{
    using namespace loggen;
    const Bytes good1 = Binary(RangeCmpRecord(RangeLog(0)));
    const std::string good2 = Text(RangeLog(1), FormatRange);
    Bytes badCrc = Binary(RangeLog(2));
    badCrc[40] ^= 0x01;
    std::string badText = Text(RangeLog(3), FormatRange);
    badText[badText.size() / 2] = badText[badText.size() / 2] == '1' ? '2' : '1';
    const Bytes good3 = Binary(Record(MSG_ID_GPSEPHEM, kWeek, kDayMs, GpsEphemeris(3, kWeek, 93600.0, 1)));
    // A header whose length field promises more than follows: the logs
    // behind it are still found.
    Bytes liar = Binary(RangeLog(4));
    liar[8] = 0xFF;
    liar[9] = 0xFF;
    liar.resize(60);
    const std::string good4 = Text(RangeLog(5), FormatRange);
    const Bytes good5 = Binary(RangeLog(6));
    Bytes cut = Binary(RangeLog(7));
    cut.resize(cut.size() - 10);

    for (uint32_t nPad : {0u, 1u, 700u, 65536u - 100u, 65536u - 3u, 2 * 65536u - 1500u})
    {
        SourceFile src;
        src.Add(std::string(nPad, 'x'));
        src.Add(good1);
        src.Add("garbage \xAA\x44 #RANGEA, \xAA\x44\x12 between logs\r\n");
        src.Add(good2);
        src.Add(badCrc);
        src.Add(badText);
        src.Add(good3);
        src.Add(liar);
        src.Add(good4);
        src.Add(good5);
        src.Add(cut);
        const Read r = ReadAll(src.Bytes());
        const std::vector<uint16_t> ids = {MSG_ID_RANGECMP, MSG_ID_RANGE, MSG_ID_GPSEPHEM, MSG_ID_RANGE, MSG_ID_RANGE};
        EXPECT_EQ(r.ids, ids) << nPad;
        const std::vector<uint8_t> forms = {LOG_SOURCE_BINARY, LOG_SOURCE_TEXT, LOG_SOURCE_BINARY, LOG_SOURCE_TEXT,
                                            LOG_SOURCE_BINARY};
        EXPECT_EQ(r.forms, forms) << nPad;
        const std::vector<uint32_t> lengths = {uint32_t(good1.size()), uint32_t(good2.size()), uint32_t(good3.size()),
                                               uint32_t(good4.size()), uint32_t(good5.size())};
        EXPECT_EQ(r.lengths, lengths) << nPad;
        EXPECT_EQ(r.counts.nLogs, 5u);
        // The two damaged logs and the "#RANGEA," in the garbage.
        EXPECT_EQ(r.counts.nBadCrcLogs, 3u) << nPad;
        // The liar runs past the end of the source, as the cut last log does.
        EXPECT_EQ(r.counts.nTruncatedLogs, 2u) << nPad;
        EXPECT_EQ(r.counts.nBytesRead, src.Bytes().size());
        EXPECT_EQ(r.counts.SkippedBytes(),
                  src.Bytes().size() - good1.size() - good2.size() - good3.size() - good4.size() - good5.size());
    }
}

TEST(LogSource, TakesATextLogLongerThanABlockWhole)
{
    // 40 GPS and 20 GLONASS satellites on two signals, ten times over: 1200 observations.
    std::vector<RANGE_OBS_T> obs;
    for (int r = 0; r < 10; ++r)
    {
        const std::vector<RANGE_OBS_T> one = loggen::Epoch(loggen::Constellation(40, 20), r);
        obs.insert(obs.end(), one.begin(), one.end());
    }
    const std::string sBig = loggen::Text(loggen::RangeRecord(kWeek, kDayMs, obs), FormatRange);
    ASSERT_GT(sBig.size(), 65536u);
    SourceFile src;
    src.Add(std::string(30000, ' '));
    src.Add(sBig);
    src.Add(sBig);
    const Read r = ReadAll(src.Bytes());
    EXPECT_EQ(r.ids, (std::vector<uint16_t>{MSG_ID_RANGE, MSG_ID_RANGE}));
    EXPECT_EQ(r.counts.nBadCrcLogs + r.counts.nTruncatedLogs, 0u);
}

TEST(LogSource, UnknownTextLogsAreLogsAndEmptyInputIsNothing)
{
    SourceFile src;
    std::string sUnknown = "#FOOBARA,COM1,0,0.0,FINESTEERING,2295,86418.000,02000000,0000,1;1,2,3";
    char szCrc[16];
    std::snprintf(szCrc, sizeof szCrc, "*%08x\r\n", Crc32Compute(sUnknown.data() + 1, int32_t(sUnknown.size() - 1)));
    src.Add(sUnknown + szCrc);
    const Read r = ReadAll(src.Bytes());
    EXPECT_EQ(r.ids, (std::vector<uint16_t>{0xFFFF}));
    EXPECT_EQ(r.counts.SkippedBytes(), 0u);

    const Read empty = ReadAll(loggen::Bytes(1, '\n'));
    EXPECT_TRUE(empty.ids.empty());
    EXPECT_EQ(empty.counts.SkippedBytes(), 1u);
}

// The short-header forms are taken on request only; BINEX records in a mode
// of their own, where anything else is garbage.
TEST(LogSource, ShortHeadersOnRequestAndBinexRecordsInTheirOwnMode)
{
    const RawImuXBody body{0xAB, 32, kWeek, 345600.005, 0xBEEFu, {1, -2, 3, -4, 5, -6}};
    BinaryLogHeader h{};
    FillBinaryHeader(MSG_ID_RAWIMUSX, LOG_TYPE_SHORT_HEADER | 0x20, sizeof(body), 0, 0, &h);
    h.Week = kWeek;
    h.Milliseconds = kDayMs;
    std::vector<char> text(4096);
    int32_t nText = 0;
    ASSERT_EQ(FormatRawImuX(&h, &body, text.data(), 4096, &nText), 1);
    const std::string shortText(text.data(), static_cast<size_t>(nText));
    ASSERT_EQ(shortText[0], '%');
    const ShortBinaryLogHeader sh{{0xAA, 0x44, 0x13}, sizeof(body), MSG_ID_RAWIMUSX, kWeek, kDayMs};
    loggen::Bytes shortBinary(256);
    int32_t nBinary = 0;
    ASSERT_EQ(BuildShortBinaryLog(&sh, &body, shortBinary.data(), 256, &nBinary), 1);
    shortBinary.resize(static_cast<size_t>(nBinary));

    SourceFile logs;
    logs.Add(shortText);
    logs.Add(shortBinary);
    logs.Add(loggen::Binary(RangeLog(0)));
    const Read longOnly = ReadAll(logs.Bytes());
    EXPECT_EQ(longOnly.ids, (std::vector<uint16_t>{MSG_ID_RANGE}));
    const Read all = ReadAll(logs.Bytes(), LOG_SOURCE_ALL_HEADERS);
    EXPECT_EQ(all.ids, (std::vector<uint16_t>{MSG_ID_RAWIMUSX, MSG_ID_RAWIMUSX, MSG_ID_RANGE}));
    EXPECT_EQ(all.forms, (std::vector<uint8_t>{LOG_SOURCE_TEXT, LOG_SOURCE_BINARY, LOG_SOURCE_BINARY}));
    EXPECT_EQ(all.counts.SkippedBytes(), 0u);

    const loggen::Bytes record = BinexRecord(0x7F, {5, 1, 2, 3}, true);
    loggen::Bytes bad = record;
    bad[4] ^= 0x01;
    SourceFile binex;
    binex.Add(shortText);
    binex.Add(bad);
    binex.Add(record);
    binex.Add(BinexRecord(0x10000, {1, 2}, false));
    const Read r = ReadAll(binex.Bytes(), LOG_SOURCE_BINEX_RECORDS);
    EXPECT_EQ(r.ids, (std::vector<uint16_t>{0x7F, 0xFFFF}));
    EXPECT_EQ(r.forms, (std::vector<uint8_t>{LOG_SOURCE_BINEX, LOG_SOURCE_BINEX}));
    EXPECT_EQ(r.lengths[0], record.size());
    EXPECT_EQ(r.counts.nBadCrcLogs, 1u);
    EXPECT_EQ(r.counts.SkippedBytes(), shortText.size() + bad.size());
}
} // namespace
