#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "codec/range_logs.h"
#include "support/profile_fixture.h"
#include "support/range_test_util.h"

using namespace range_test;

TEST(TrackingStatus, PacksEachFieldAtItsBitsAndMasksOverwideValues)
{
    struct Case
    {
        TRACKING_FIELDS_T Fields;
        uint32_t Status;
    };
    const Case cases[] = {
        {{4, 3, 1, 1, 1, 2, 0, 1, 0, 1, 0, 0, 0}, 0x08105C64u},
        {{0, 0, 0, 0, 0, 0, 5, 0, 27, 0, 1, 1, 1}, 0xD3650000u},
        // every field one bit too wide: the extra bit must not leak into a neighbour
        {{0x20, 0x20, 2, 2, 2, 8, 8, 2, 0x20, 2, 2, 2, 2}, 0u},
        {{0x1F, 0x1F, 1, 1, 1, 7, 7, 1, 0x1F, 1, 1, 1, 1}, 0xDBF7FFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PackTrackingStatus(&c.Fields), c.Status) << std::hex << c.Status;

    const uint32_t s = cases[1].Status;
    EXPECT_EQ(TrackingStatusSystem(s), TRACK_SYS_QZSS);
    EXPECT_EQ(TrackingStatusSignalType(s), 27);
    EXPECT_TRUE(TrackingStatusHalfCycle(s));
    EXPECT_FALSE(TrackingStatusCodeLocked(s));
}

// ---------------------------------------------------------------------------
// RANGECMP

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kT0Ms = 345600000;

struct Converted
{
    std::vector<uint8_t> Bytes = std::vector<uint8_t>(70000);
    int32_t Length = 0;
    int Result = 0;
};

Converted ToCmp(const std::vector<uint8_t>& range)
{
    Converted c;
    c.Result = RangeToRangeCmp(range.data(), int32_t(range.size()), c.Bytes.data(), int32_t(c.Bytes.size()), &c.Length);
    return c;
}

Converted ToRange(const std::vector<uint8_t>& cmp, int32_t nLength)
{
    Converted c;
    c.Result = RangeCmpToRange(cmp.data(), int32_t(nLength), c.Bytes.data(), int32_t(c.Bytes.size()), &c.Length);
    return c;
}

std::vector<RANGE_OBS_T> ThroughRangeCmp(const std::vector<RANGE_OBS_T>& obs, uint32_t uMs = kT0Ms)
{
    const Converted cmp = ToCmp(MakeRangeLog(kWeek, uMs, obs));
    EXPECT_EQ(cmp.Result, 1);
    EXPECT_EQ(size_t(cmp.Length), 32 + 24 * obs.size());
    const Converted range = ToRange(cmp.Bytes, cmp.Length);
    EXPECT_EQ(range.Result, 1);
    EXPECT_EQ(size_t(range.Length), 32 + 44 * obs.size());
    return RecordsOf(range.Bytes.data());
}

RANGE_OBS_T GpsL1(double dPsr, double dAdr)
{
    RANGE_OBS_T o{};
    o.Prn = 5;
    o.Psr = dPsr;
    o.Adr = dAdr;
    o.TrackingStatus = 0x08001C04; // GPS L1 C/A, phase and code locked
    return o;
}

class RangeCmpRoundTrip : public ProfileTest
{
};

TEST_P(RangeCmpRoundTrip, EverySystemAndSignalAt1And10HzWithinResolution)
{
    for (uint32_t step : {1000u, 100u})
        for (uint32_t e = 0; e < 12; ++e)
        {
            const double t = e * step / 1000.0;
            const std::vector<RANGE_OBS_T> in = Epoch(t, CarriedInProfile);
            const std::vector<RANGE_OBS_T> out = ThroughRangeCmp(in, kT0Ms + e * step);
            ASSERT_EQ(out.size(), in.size());
            for (size_t k = 0; k < in.size(); ++k)
            {
                const RANGE_OBS_T& a = in[k];
                const RANGE_OBS_T& b = out[k];
                SCOPED_TRACE(testing::Message() << "t " << t << " PRN " << a.Prn << " type "
                                                << int(TrackingStatusSignalType(a.TrackingStatus)));
                EXPECT_EQ(+b.TrackingStatus, +a.TrackingStatus);
                EXPECT_EQ(+b.Prn, +a.Prn);
                EXPECT_EQ(+b.GloFreq, +a.GloFreq);
                EXPECT_NEAR(b.Psr, a.Psr, 1.0 / 128);
                EXPECT_NEAR(b.Adr, a.Adr, 1.0 / 256);
                EXPECT_NEAR(b.Doppler, a.Doppler, 1.0 / 256 + 1e-3);
                EXPECT_EQ(+b.CNo, std::trunc(a.CNo));
                EXPECT_NEAR(b.LockTime, a.LockTime, 1.0 / 32);
            }
        }
}

TEST_P(RangeCmpRoundTrip, RangeHKeepsItsIdentityThroughTheMessageTypeBit)
{
    const Converted cmp = ToCmp(MakeRangeLog(kWeek, kT0Ms, Epoch(0, CarriedInProfile), MSG_ID_RANGEH));
    ASSERT_EQ(cmp.Result, 1);
    EXPECT_EQ(+HeaderOf(cmp.Bytes).MessageId, MSG_ID_RANGECMP);
    EXPECT_EQ(HeaderOf(cmp.Bytes).MessageType & LOG_TYPE_FROM_RANGEH, LOG_TYPE_FROM_RANGEH);
    const Converted range = ToRange(cmp.Bytes, cmp.Length);
    ASSERT_EQ(range.Result, 1);
    EXPECT_EQ(+HeaderOf(range.Bytes).MessageId, Monitor() ? MSG_ID_RANGE : MSG_ID_RANGEH);
    EXPECT_EQ(+HeaderOf(range.Bytes).Milliseconds, kT0Ms);
    // and plain RANGE stays RANGE
    const Converted plain = ToCmp(MakeRangeLog(kWeek, kT0Ms, Epoch(0, CarriedInProfile)));
    EXPECT_EQ(HeaderOf(plain.Bytes).MessageType & LOG_TYPE_FROM_RANGEH, 0);
    EXPECT_EQ(+HeaderOf(ToRange(plain.Bytes, plain.Length).Bytes).MessageId, MSG_ID_RANGE);
}

ZV_BOTH_PROFILES(RangeCmpRoundTrip);

TEST(RangeCmp, RecordBitLayout)
{
    RANGE_OBS_T o = GpsL1(22000000.0, -115600000.0);
    o.Doppler = -1234.5f;
    o.PsrStd = 0.1f;
    o.AdrStd = 0.004f;
    o.LockTime = 100.0f;
    o.CNo = 45.3f;
    const Converted cmp = ToCmp(MakeRangeLog(kWeek, kT0Ms, {o}));
    const uint8_t expected[24] = {0x04, 0x1c, 0x00, 0x08, 0x80, 0x2d, 0xfb, 0x0f, 0x00, 0x8c, 0x7d, 0x0a,
                                  0x00, 0x80, 0x15, 0x1c, 0x12, 0x05, 0x80, 0x0c, 0x20, 0x03, 0x00, 0x00};
    ASSERT_EQ(cmp.Result, 1);
    EXPECT_EQ(std::memcmp(cmp.Bytes.data() + 32, expected, 24), 0);
    EXPECT_EQ(PsrRollCount(o.TrackingStatus, o.Prn, 0, o.Psr), 14.0);

    const RANGE_OBS_T back = RecordsOf(ToRange(cmp.Bytes, cmp.Length).Bytes.data())[0];
    EXPECT_EQ(+back.Psr, 22000000.0);
    EXPECT_EQ(+back.Adr, -115600000.0);
    EXPECT_EQ(+back.Doppler, -1234.5f);
    EXPECT_FLOAT_EQ(back.PsrStd, 0.113f);
    EXPECT_FLOAT_EQ(back.AdrStd, 2.0f / 512);
    EXPECT_EQ(+back.CNo, 45.0f);
    EXPECT_EQ(+back.LockTime, 100.0f);
}

TEST(RangeCmp, FieldLimits)
{
    RANGE_OBS_T o = GpsL1(22000000.0, -115600000.0);
    o.CNo = 15.0f;
    o.LockTime = 70000.0f;
    RANGE_OBS_T back = ThroughRangeCmp({o})[0];
    EXPECT_EQ(+back.CNo, 20.0f);
    EXPECT_EQ(+back.LockTime, 65535.96875f);

    o.CNo = 60.0f; // C/No - 20 stops at 31
    o.LockTime = -1.0f;
    back = ThroughRangeCmp({o})[0];
    EXPECT_EQ(+back.CNo, 51.0f);
    EXPECT_EQ(+back.LockTime, 0.0f);
}

TEST(RangeCmp, GlonassWithoutFrequencyFieldTakesTheSlotsChannel)
{
    RANGE_OBS_T o{};
    o.Prn = 38;
    o.GloFreq = 0;
    o.Psr = 20e6;
    o.TrackingStatus = 0x08011C04; // GLONASS L1, code and phase locked
    const double lambda = kC / (1602e6 + (GetGloFreqChannel(1) - 7.0) * 562500.0);
    o.Adr = -(20e6 - 3.0) / lambda;
    // the receiver's field left at 0: the expansion takes slot 1's channel
    std::vector<uint8_t> cmp = ToCmp(MakeRangeLog(kWeek, kT0Ms, {o})).Bytes;
    const RANGE_OBS_T back = RecordsOf(ToRange(cmp, 32 + 24).Bytes.data())[0];
    EXPECT_EQ(+back.GloFreq, GetGloFreqChannel(1));
    EXPECT_NE(+back.GloFreq, 0);
    EXPECT_NEAR(back.Adr, o.Adr, 1.0 / 256);
}

// A phase that the 32-bit field cannot hold, or whose roll-over count is
// unknown, comes back as not locked instead of as a wrong number.
TEST(RangeCmp, PhaseThatCannotBeFoldedIsNotLocked)
{
    struct Case
    {
        const char* Name;
        RANGE_OBS_T Obs;
    };
    RANGE_OBS_T unknownType = GpsL1(22e6, -115600000.0);
    unknownType.TrackingStatus |= 30u << 21;
    RANGE_OBS_T prnOutOfRange = GpsL1(22e6, -115600000.0);
    prnOutOfRange.Prn = 40;
    RANGE_OBS_T farFromCode = GpsL1(22e6, -115600000.0 - 16777216.0); // two roll-overs away
    RANGE_OBS_T noPhase = GpsL1(22e6, 0.0);
    noPhase.TrackingStatus &= ~(1u << 10);
    const Case cases[] = {{"unknown signal type", unknownType},
                          {"PRN outside its system", prnOutOfRange},
                          {"phase far from the pseudorange", farFromCode},
                          {"phase not locked", noPhase}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        const RANGE_OBS_T back = ThroughRangeCmp({c.Obs})[0];
        EXPECT_FALSE(TrackingStatusPhaseLock(back.TrackingStatus));
        EXPECT_EQ(+back.Adr, 0.0);
        EXPECT_TRUE(TrackingStatusCodeLocked(back.TrackingStatus));
        EXPECT_NEAR(back.Psr, 22e6, 1.0 / 128);
    }
    EXPECT_EQ(AdrRollCount(unknownType.TrackingStatus, 5, 0, 22e6, 0), 0);
    EXPECT_EQ(PsrRollCount(unknownType.TrackingStatus, 5, 0, 22e6), 0.0);

    RANGE_OBS_T negative = GpsL1(-5.0, -115600000.0);
    const RANGE_OBS_T back = ThroughRangeCmp({negative})[0];
    EXPECT_FALSE(TrackingStatusCodeLocked(back.TrackingStatus));
}

TEST(RangeCmp, CountsAreCheckedAgainstTheLogAndTheOutput)
{
    const std::vector<uint8_t> range = MakeRangeLog(kWeek, kT0Ms, Epoch(0, CarriedInProfile));
    const uint32_t n = uint32_t(RecordsOf(range.data()).size());
    std::vector<uint8_t> out(70000);
    int32_t len = 0;
    EXPECT_EQ(RangeToRangeCmp(range.data(), int32_t(range.size()) - 1, out.data(), 70000, &len), 0);
    EXPECT_EQ(RangeToRangeCmp(range.data(), int32_t(range.size()), out.data(), int32_t(32 + 24 * n - 1), &len), 0);
    EXPECT_EQ(RangeToRangeCmp(range.data(), int32_t(range.size()), out.data(), -1, &len), 0);
    EXPECT_EQ(RangeToRangeCmp(nullptr, int32_t(range.size()), out.data(), 70000, &len), 0);
    std::vector<uint8_t> bad = range;
    const uint32_t more = n + 1;
    std::memcpy(bad.data() + 28, &more, 4);
    EXPECT_EQ(RangeToRangeCmp(bad.data(), int32_t(bad.size()), out.data(), 70000, &len), 0);

    ASSERT_EQ(RangeToRangeCmp(range.data(), int32_t(range.size()), out.data(), 70000, &len), 1);
    std::vector<uint8_t> cmp(out.begin(), out.begin() + len);
    std::vector<uint8_t> back(70000);
    EXPECT_EQ(RangeCmpToRange(cmp.data(), int32_t(len), back.data(), int32_t(32 + 44 * n - 1), &len), 0);
    std::memcpy(cmp.data() + 28, &more, 4);
    EXPECT_EQ(RangeCmpToRange(cmp.data(), int32_t(cmp.size()), back.data(), 70000, &len), 0);
}
} // namespace
