// Text and wire forms of RANGE, RANGECMP and RANGECMP4.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "codec/log_format.h"
#include "codec/rangecmp4.h"
#include "support/profile_fixture.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kT0Ms = 345600500;

using Decoder = int (*)(const char*, int32_t, uint8_t*, int32_t*);
using Formatter = int (*)(const void*, int32_t, char*, int32_t*);
using Copier = int (*)(const void*, int32_t, uint8_t*, int32_t*);

// The log with its form bits set to uForm; the flag bits stay.
std::vector<uint8_t> WithType(std::vector<uint8_t> log, uint8_t uForm)
{
    uint8_t& type = reinterpret_cast<BinaryLogHeader*>(log.data())->MessageType;
    type = static_cast<uint8_t>((type & ~LOG_FORM_MASK) | uForm);
    return log;
}

std::string Format(Formatter f, const std::vector<uint8_t>& log, int32_t nCapacity = 200000)
{
    std::string text(size_t(nCapacity), '\0');
    int32_t n = 0;
    if (f(log.data(), nCapacity, &text[0], &n) != 1)
        return "";
    EXPECT_EQ(text[size_t(n)], '\0');
    text.resize(size_t(n));
    return text;
}

// Decodes from a copy with no NUL behind it, so that a read past the given
// length shows under the sanitizers.
std::vector<uint8_t> Decode(Decoder d, const std::string& text)
{
    std::unique_ptr<char[]> exact(new char[text.size()]);
    std::memcpy(exact.get(), text.data(), text.size());
    std::vector<uint8_t> out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    if (d(exact.get(), int32_t(text.size()), out.data(), &n) != 1)
        return {};
    out.resize(size_t(n));
    return out;
}

std::vector<uint8_t> Compressed(int (*f)(const void*, int32_t, void*, int32_t, int32_t*),
                                const std::vector<uint8_t>& log)
{
    std::vector<uint8_t> out(70000);
    int32_t n = 0;
    EXPECT_EQ(f(log.data(), int32_t(log.size()), out.data(), int32_t(out.size()), &n), 1);
    out.resize(size_t(n));
    return out;
}

std::vector<uint8_t> Cmp4(const std::vector<uint8_t>& log)
{
    auto ctx = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::vector<uint8_t> out(70000);
    int32_t n = 0;
    EXPECT_EQ(RangeToRangeCmp4(ctx.get(), log.data(), int32_t(log.size()), out.data(), int32_t(out.size()), &n), 1);
    out.resize(size_t(n));
    return out;
}

std::vector<uint8_t> RangeLog(uint16_t uId = MSG_ID_RANGE)
{
    return MakeRangeLog(kWeek, kT0Ms, Epoch(0.5, CarriedInProfile), uId, LOG_FORM_ASCII);
}

void ExpectSameHeader(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    const BinaryLogHeader x = HeaderOf(a), y = HeaderOf(b);
    EXPECT_EQ(+x.MessageId, +y.MessageId);
    EXPECT_EQ(+x.MessageLength, +y.MessageLength);
    EXPECT_EQ(+x.Port, +y.Port);
    EXPECT_EQ(+x.Sequence, +y.Sequence);
    EXPECT_EQ(+x.IdleTime, +y.IdleTime);
    EXPECT_EQ(+x.TimeStatus, +y.TimeStatus);
    EXPECT_EQ(+x.Week, +y.Week);
    EXPECT_EQ(+x.Milliseconds, +y.Milliseconds);
}

// Every line opened by "<", ended by CR LF, and no CRC anywhere.
void ExpectWellFormedAbbreviated(const std::string& text, size_t nLines)
{
    EXPECT_EQ(text.find('*'), std::string::npos) << text.substr(0, 200);
    size_t lines = 0;
    for (size_t pos = 0; pos < text.size(); ++lines)
    {
        const size_t end = text.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos) << "line without CR LF at " << pos;
        EXPECT_EQ(text[pos], '<');
        EXPECT_EQ(text.find('\n', pos), end + 1) << "bare LF inside a line";
        pos = end + 2;
    }
    EXPECT_EQ(lines, nLines);
}

class RangeText : public ProfileTest
{
};

TEST_P(RangeText, RangeRangeHAndBaseRangeSurviveFullTextWithinItsDecimals)
{
    for (uint16_t id : {MSG_ID_RANGE, MSG_ID_RANGEH, MSG_ID_BASERANGE})
    {
        SCOPED_TRACE(id);
        const std::vector<uint8_t> log = RangeLog(id);
        const std::string text = Format(FormatRange, log);
        const char* names[] = {"#RANGEA,", "#RANGEHA,", "#BASERANGEA,"};
        EXPECT_EQ(text.rfind(names[id == MSG_ID_RANGE ? 0 : id == MSG_ID_RANGEH ? 1 : 2], 0), 0u) << text.substr(0, 40);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(CheckTextLogCrc(text.data(), int32_t(text.size())), 1);

        const std::vector<uint8_t> back = Decode(DecodeRangeText, text);
        ASSERT_EQ(back.size(), log.size());
        ExpectSameHeader(back, log);
        const std::vector<RANGE_OBS_T> a = RecordsOf(log.data()), b = RecordsOf(back.data());
        for (size_t k = 0; k < a.size(); ++k)
        {
            EXPECT_EQ(+b[k].Prn, +a[k].Prn);
            EXPECT_EQ(+b[k].GloFreq, +a[k].GloFreq);
            // half a unit of the last decimal written, and the float's own rounding
            EXPECT_NEAR(b[k].Psr, a[k].Psr, 0.0005 + 1e-6);
            EXPECT_NEAR(b[k].Adr, a[k].Adr, 0.0000005 + 1e-7);
            EXPECT_NEAR(b[k].Doppler, a[k].Doppler, 0.0005 + 1e-3);
            EXPECT_NEAR(b[k].CNo, a[k].CNo, 0.05 + 1e-5);
            EXPECT_NEAR(b[k].LockTime, a[k].LockTime, 0.0005 + 1e-5);
            EXPECT_EQ(+b[k].TrackingStatus, +a[k].TrackingStatus);
        }
    }
}

// The observations are written without printf: the text must be printf's
// byte for byte, for values of every kind a log can hold.
TEST_P(RangeText, ObservationsAreWrittenAsPrintfWritesThem)
{
    std::vector<RANGE_OBS_T> obs = Epoch(0.5, CarriedInProfile);
    const double aAwkward[] = {0.0005, -0.0, 2.5e-7, 1e16, -123456789.0000005, NAN, INFINITY, 21000000.9995};
    for (size_t i = 0; i < obs.size(); ++i)
    {
        const double d = aAwkward[i % 8];
        RANGE_OBS_T& o = obs[i];
        if (i % 3 == 0)
            o.Psr = d;
        if (i % 3 == 1)
            o.Adr = d;
        if (i % 4 == 2)
            o.Doppler = static_cast<float>(d);
        if (i % 5 == 3)
            o.LockTime = static_cast<float>(d);
        o.CNo = static_cast<float>(30.05 + i * 0.25);
    }
    for (uint8_t uForm : {uint8_t(LOG_FORM_ASCII), AbbrevFormMarker()})
    {
        const bool bAbbrev = uForm != LOG_FORM_ASCII;
        const std::string text = Format(FormatRange, MakeRangeLog(kWeek, kT0Ms, obs, MSG_ID_RANGE, uForm));
        std::string expected = text.substr(0, text.find(bAbbrev ? "\r\n" : ";") + (bAbbrev ? 2 : 1));
        char line[1024];
        std::snprintf(line, sizeof line, bAbbrev ? "<\t%u\r\n" : "%u,", unsigned(obs.size()));
        expected += line;
        for (const RANGE_OBS_T& o : obs)
        {
            std::snprintf(line, sizeof line,
                          bAbbrev ? "<\t\t%u %u %.3lf %.3f %.6lf %.3f %.3f %.1f %.3f %08x\r\n"
                                  : "%u,%u,%.3lf,%.3f,%.6lf,%.3f,%.3f,%.1f,%.3f,%08x,",
                          unsigned(o.Prn), unsigned(o.GloFreq), double(o.Psr), double(o.PsrStd), double(o.Adr),
                          double(o.AdrStd), double(o.Doppler), double(o.CNo), double(o.LockTime),
                          unsigned(o.TrackingStatus));
            expected += line;
        }
        if (!bAbbrev)
            expected.pop_back(); // the last observation's comma gives way to the CRC
        EXPECT_EQ(text.substr(0, expected.size()), expected);
        EXPECT_EQ(text.size(), expected.size() + (bAbbrev ? 0 : 11)) << "*crc CR LF";
    }
}

TEST_P(RangeText, AbbreviatedFormsCarryNoCrcAndEndEveryLine)
{
    const std::vector<uint8_t> range = WithType(RangeLog(), AbbrevFormMarker());
    const size_t count = RecordsOf(range.data()).size();
    ExpectWellFormedAbbreviated(Format(FormatRange, range), 2 + count);
    const std::vector<uint8_t> cmp = WithType(Compressed(RangeToRangeCmp, range), AbbrevFormMarker());
    ExpectWellFormedAbbreviated(Format(FormatRangeCmp, cmp), 2 + count);
    ExpectWellFormedAbbreviated(Format(FormatRangeCmp4, WithType(Cmp4(range), AbbrevFormMarker())), 3);
    // the other profile's marker is full text here
    const uint8_t other = Monitor() ? LOG_FORM_ABBREV_CONVERTER : LOG_FORM_ABBREV_MONITOR;
    EXPECT_EQ(Format(FormatRange, WithType(range, other))[0], '#');
}

TEST_P(RangeText, CompressedLogsSurviveTextByteForByte)
{
    const std::vector<uint8_t> range = RangeLog();
    struct Case
    {
        const char* Name;
        std::vector<uint8_t> Log;
        Formatter Format;
        Decoder Decode;
    };
    const Case cases[] = {
        {"RANGECMP", WithType(Compressed(RangeToRangeCmp, range), LOG_FORM_ASCII), FormatRangeCmp, DecodeRangeCmpText},
        {"RANGECMP4", WithType(Cmp4(range), LOG_FORM_ASCII), FormatRangeCmp4, DecodeRangeCmp4Text},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const std::string text = Format(c.Format, c.Log);
        EXPECT_EQ(text.rfind(std::string("#") + c.Name + "A,", 0), 0u);
        const std::vector<uint8_t> back = Decode(c.Decode, text);
        ASSERT_EQ(back.size(), c.Log.size());
        ExpectSameHeader(back, c.Log);
        EXPECT_TRUE(std::equal(back.begin() + 28, back.end(), c.Log.begin() + 28));
    }
    // RANGECMP keeps the comma behind its last record inside the CRC
    const std::string cmpText = Format(FormatRangeCmp, cases[0].Log);
    EXPECT_EQ(cmpText[cmpText.find('*') - 1], ',');
}

// A RANGEH log keeps its identity through every text and compressed form.
TEST_P(RangeText, RangeHKeepsItsIdentityThroughText)
{
    const std::vector<uint8_t> rangeH = RangeLog(MSG_ID_RANGEH);
    EXPECT_EQ(+HeaderOf(Decode(DecodeRangeText, Format(FormatRange, rangeH))).MessageId, MSG_ID_RANGEH);

    const std::string cmpText = Format(FormatRangeCmp, WithType(Compressed(RangeToRangeCmp, rangeH), LOG_FORM_ASCII));
    EXPECT_EQ(cmpText.rfind("#RANGECMPA_1,", 0), 0u);
    const std::vector<uint8_t> cmp = Decode(DecodeRangeCmpText, cmpText);
    ASSERT_FALSE(cmp.empty());
    EXPECT_EQ(+HeaderOf(Compressed(RangeCmpToRange, cmp)).MessageId, Monitor() ? MSG_ID_RANGE : MSG_ID_RANGEH);

    const std::string cmp4Text = Format(FormatRangeCmp4, WithType(Cmp4(rangeH), LOG_FORM_ASCII));
    EXPECT_EQ(cmp4Text.rfind("#RANGECMP4A_1,", 0), 0u);
    const std::vector<uint8_t> cmp4 = Decode(DecodeRangeCmp4Text, cmp4Text);
    ASSERT_FALSE(cmp4.empty());
    auto ctx = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::vector<uint8_t> out(70000);
    int32_t n = 0;
    ASSERT_EQ(RangeCmp4ToRange(ctx.get(), cmp4.data(), int32_t(cmp4.size()), out.data(), 70000, &n), 1);
    EXPECT_EQ(+HeaderOf(out).MessageId, Monitor() ? MSG_ID_RANGE : MSG_ID_RANGEH);

    // a plain RANGE stays plain through the same road
    const std::string plain = Format(FormatRangeCmp, WithType(Compressed(RangeToRangeCmp, RangeLog()), LOG_FORM_ASCII));
    EXPECT_EQ(HeaderOf(Decode(DecodeRangeCmpText, plain)).MessageType & LOG_TYPE_FROM_RANGEH, 0);
}

ZV_BOTH_PROFILES(RangeText);

// Replaces the first occurrence of a piece of text and fixes the CRC, so that
// only the body is wrong.
std::string Edited(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    const size_t star = text.rfind('*');
    text.resize(star);
    uint32_t n = uint32_t(text.size());
    text.resize(text.size() + 16);
    EXPECT_EQ(AppendTextLogCrc(&text[0], uint32_t(text.size()), &n, 0), 1);
    text.resize(n);
    return text;
}

TEST(RangeTextInput, BadTextIsRefused)
{
    const std::vector<RANGE_OBS_T> all = Epoch(0, CarriedInProfile);
    const std::vector<RANGE_OBS_T> two(all.begin(), all.begin() + 2);
    const std::string range = Format(FormatRange, MakeRangeLog(kWeek, kT0Ms, two, MSG_ID_RANGE, LOG_FORM_ASCII));
    const std::vector<uint8_t> cmpLog =
        WithType(Compressed(RangeToRangeCmp, MakeRangeLog(kWeek, kT0Ms, two)), LOG_FORM_ASCII);
    const std::string cmp = Format(FormatRangeCmp, cmpLog);
    const std::string cmp4 = Format(FormatRangeCmp4, WithType(Cmp4(MakeRangeLog(kWeek, kT0Ms, two)), LOG_FORM_ASCII));
    const size_t semi = range.find(';');
    std::string badCrc = range;
    badCrc[semi + 3] = badCrc[semi + 3] == '9' ? '8' : '9';

    struct Case
    {
        const char* Name;
        Decoder Decode;
        std::string Text;
    };
    const Case cases[] = {
        {"RANGE CRC", DecodeRangeText, badCrc},
        {"RANGE count beyond its records", DecodeRangeText, Edited(range, ";2,", ";3,")},
        {"RANGE count beyond a log", DecodeRangeText, Edited(range, ";2,", ";1490,")},
        {"RANGE field not a number", DecodeRangeText, Edited(range, ";2,", ";2,x")},
        {"RANGE cut before the CRC", DecodeRangeText, range.substr(0, range.size() - 6)},
        {"RANGECMP count beyond its records", DecodeRangeCmpText, Edited(cmp, ";2,", ";3,")},
        {"RANGECMP record one digit short", DecodeRangeCmpText, Edited(cmp, ";2,0", ";2,")},
        {"RANGECMP not hex", DecodeRangeCmpText, Edited(cmp, ";2,04", ";2,z4")},
        {"RANGECMP4 N beyond its data", DecodeRangeCmp4Text, Edited(cmp4, ";", ";9")},
        {"RANGECMP4 odd digits", DecodeRangeCmp4Text, Edited(cmp4, "*", "0*")},
        {"empty", DecodeRangeText, ""},
    };
    EXPECT_FALSE(Decode(DecodeRangeText, range).empty());
    EXPECT_FALSE(Decode(DecodeRangeCmpText, cmp).empty());
    EXPECT_FALSE(Decode(DecodeRangeCmp4Text, cmp4).empty());
    for (const Case& c : cases)
        EXPECT_TRUE(Decode(c.Decode, c.Text).empty()) << c.Name << ": " << c.Text.substr(0, 120);
}

TEST(RangeTextOutput, FormattersRefuseOtherLogsAndShortBuffers)
{
    std::vector<uint8_t> bestpos = RangeLog();
    reinterpret_cast<BinaryLogHeader*>(bestpos.data())->MessageId = 42;
    EXPECT_EQ(Format(FormatRange, bestpos), "");
    const std::vector<uint8_t> range = RangeLog();
    const std::string full = Format(FormatRange, range);
    EXPECT_EQ(Format(FormatRange, range, int32_t(full.size())), ""); // no room for the NUL
    EXPECT_EQ(Format(FormatRange, range, int32_t(full.size()) + 1), full);
    // a count the message length does not hold
    std::vector<uint8_t> bad = range;
    reinterpret_cast<BinaryLogHeader*>(bad.data())->MessageLength -= 1;
    EXPECT_EQ(Format(FormatRange, bad), "");
}

TEST(RangeWire, CopiersWriteCheckedWireLogs)
{
    const std::vector<uint8_t> range = RangeLog();
    std::vector<uint8_t> cmp = Compressed(RangeToRangeCmp, range);
    std::vector<uint8_t> cmp4 = Cmp4(range);
    // the copiers set the ID whatever the record says
    reinterpret_cast<BinaryLogHeader*>(cmp.data())->MessageId = 0;
    reinterpret_cast<BinaryLogHeader*>(cmp4.data())->MessageId = 0;
    struct Case
    {
        Copier Copy;
        const std::vector<uint8_t>* Log;
        uint16_t Id;
    };
    const Case cases[] = {{CopyBinaryRange, &range, MSG_ID_RANGE},
                          {CopyBinaryRangeCmp, &cmp, MSG_ID_RANGECMP},
                          {CopyBinaryRangeCmp4, &cmp4, MSG_ID_RANGECMP4}};
    for (const Case& c : cases)
    {
        std::vector<uint8_t> wire(c.Log->size() + 4);
        int32_t n = 0;
        ASSERT_EQ(c.Copy(c.Log->data(), int32_t(wire.size()), wire.data(), &n), 1);
        EXPECT_EQ(size_t(n), wire.size());
        std::vector<uint8_t> checked(wire.size());
        uint32_t m = 0;
        EXPECT_EQ(CopyBinaryLog(wire.data(), n, checked.data(), int32_t(checked.size()), &m), 1);
        EXPECT_EQ(+HeaderOf(wire).MessageId, c.Id);
        EXPECT_EQ(+HeaderOf(wire).Port, 32); // COM1's address
        EXPECT_EQ(c.Copy(c.Log->data(), int32_t(wire.size()) - 1, wire.data(), &n), 0);
    }
}

TEST(RangeWire, EmitRangeLogAppendsToASharedBufferOrRefuses)
{
    std::vector<uint8_t> range = RangeLog();
    std::vector<uint8_t> out(200000);
    int32_t used = 7;
    const int32_t nBinary = EmitRangeLog(range.data(), 1, MSG_ID_RANGE, LOG_FORM_BINARY, out.data(), 200000, &used);
    EXPECT_EQ(size_t(nBinary), range.size() + 4);
    EXPECT_EQ(used, 7 + nBinary);
    const int32_t nText = EmitRangeLog(range.data(), 1, MSG_ID_RANGEH, LOG_FORM_ASCII, out.data(), 200000, &used);
    ASSERT_GT(nText, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data()) + 7 + nBinary, 9), "#RANGEHA,");
    const int32_t before = used;
    EXPECT_EQ(EmitRangeLog(range.data(), 1, MSG_ID_RANGE, LOG_FORM_ASCII, out.data(), before + 100, &used), -1);
    EXPECT_EQ(used, before);
}
} // namespace
