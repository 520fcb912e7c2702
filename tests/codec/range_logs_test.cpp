#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
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

// A phase whose roll-over count is unknown comes back as not locked instead
// of as a wrong number.
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
    RANGE_OBS_T noPhase = GpsL1(22e6, 0.0);
    noPhase.TrackingStatus &= ~(1u << 10);
    const Case cases[] = {
        {"unknown signal type", unknownType}, {"PRN outside its system", prnOutOfRange}, {"phase not locked", noPhase}};
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

// Pseudorange, Doppler and phase are rounded to the nearest step of their
// fields, never cut: a cut pseudorange is up to 1/128 m short.
TEST(RangeCmp, PackingRoundsToTheNearestStep)
{
    struct Case
    {
        double dPsr;
        float fDoppler;
        double dAdr;
    };
    const Case cases[] = {
        {22000000.0077, -1234.5035f, -115600000.0035}, // just below a step: cut would lose almost a whole one
        {22000000.0039, -1234.5019f, -115600000.0019}, // just below half a step
        {22000000.0040, 2000.0021f, -115600000.0021},  // just above
        {24123456.7891, 0.0031f, -126777777.7779},
    };
    for (const Case& c : cases)
    {
        RANGE_OBS_T o = GpsL1(c.dPsr, c.dAdr);
        o.Doppler = c.fDoppler;
        const RANGE_OBS_T back = ThroughRangeCmp({o})[0];
        SCOPED_TRACE(testing::Message() << std::fixed << c.dPsr);
        EXPECT_LE(std::fabs(back.Psr - c.dPsr), 0.5 / 128 + 1e-9);
        EXPECT_LE(std::fabs(back.Doppler - o.Doppler), 0.5 / 256 + 1e-4);
        EXPECT_LE(std::fabs(back.Adr - c.dAdr), 0.5 / 256 + 1e-7);
    }
}

// Phases with an arbitrary offset from the code range, as RINEX files from
// other receivers often carry them (L1 of 55 923 622 cycles beside a
// pseudorange of 130 M cycles): they do not fold into the 32-bit field as
// they are. They come back shifted by whole 2^23-cycle roll-overs, the same
// for the whole lock arc, instead of being dropped.
TEST(RangeCmpPhaseArcs, AnOffsetPhaseComesBackShiftedByWholeRollOversConstantPerArc)
{
    struct Case
    {
        const char* pName;
        Satellite sat;
        Signal sig;
        double dOffset; // cycles added to the receiver's ADR
    };
    const Case cases[] = {
        {"GPS L1, 55.9 M cycles beside 130 M", {5, 0, 24738177.0, -512.25, 0.12}, kSignals[0], 74076378.0},
        {"GPS L2W", {5, 0, 24738177.0, -512.25, 0.12}, kSignals[1], -33000000.5},
        {"GLONASS L1 on channel +1", {38, 8, 19.7e6, 401.0, 0.2}, kSignals[6], 25000000.25},
        {"Galileo E5a, 48 roll-overs away", {11, 0, 25.5e6, 120.0, 0.05}, kSignals[15], -4.0e8},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pName);
        auto arcs = std::make_unique<RANGE_PHASE_ARCS_T>();
        int64_t nShift = 0;
        const uint32_t kEpochs = 12;
        for (uint32_t e = 0; e < kEpochs; ++e)
        {
            RANGE_OBS_T o = Observe(c.sat, c.sig, e, 0);
            o.Adr += c.dOffset;
            const std::vector<uint8_t> log = MakeRangeLog(kWeek, kT0Ms + e * 1000, {o});
            Converted cmp;
            cmp.Result = RangeToRangeCmpArcs(arcs.get(), log.data(), int32_t(log.size()), cmp.Bytes.data(),
                                             int32_t(cmp.Bytes.size()), &cmp.Length);
            ASSERT_EQ(cmp.Result, 1);
            const RANGE_OBS_T back = RecordsOf(ToRange(cmp.Bytes, cmp.Length).Bytes.data())[0];
            ASSERT_TRUE(TrackingStatusPhaseLock(back.TrackingStatus)) << "epoch " << e;
            const double dRolls = (back.Adr - o.Adr) / RANGECMP_ADR_ROLL;
            const int64_t nRolls = std::llround(dRolls);
            EXPECT_NE(nRolls, 0);
            EXPECT_LE(std::fabs(back.Adr - o.Adr - double(nRolls) * RANGECMP_ADR_ROLL), 0.5 / 256 + 1e-6);
            if (e == 0)
                nShift = nRolls;
            EXPECT_EQ(nRolls, nShift) << "epoch " << e;

            // Each log alone gives the same phase: the fold is forced by the field.
            const RANGE_OBS_T alone = ThroughRangeCmp({o}, kT0Ms + e * 1000)[0];
            EXPECT_EQ(+alone.Adr, +back.Adr);
        }
        EXPECT_EQ(arcs->Shifted, kEpochs);
        EXPECT_EQ(arcs->Dropped, 0u);
    }
}

// The roll-over the expansion takes follows the pseudorange: a code range that
// drifts across half a roll-over within one arc would change the shift in the
// middle of the arc. Those phases are dropped and counted; the next arc (after
// the receiver lost lock) starts with the shift that fits it.
TEST(RangeCmpPhaseArcs, APhaseThatWouldLeaveItsArcsShiftIsDroppedUntilTheNextArc)
{
    const Satellite sat{5, 0, 24738177.0, -512.25, 0.0};
    const double lambda = Wavelength(Observe(sat, kSignals[0], 0, 0));
    auto arcs = std::make_unique<RANGE_PHASE_ARCS_T>();
    std::vector<int64_t> shifts;
    std::vector<bool> locked;
    for (uint32_t e = 0; e < 15; ++e)
    {
        RANGE_OBS_T o = Observe(sat, kSignals[0], e, 0);
        // Code minus carrier 200 cycles short of 3.5 roll-overs, growing by
        // 40 cycles a second (ionosphere): it crosses between epochs 4 and 5.
        const double dCodeMinusCarrier = o.Psr / lambda + o.Adr;
        o.Adr += 3.5 * RANGECMP_ADR_ROLL - 200.0 + 40.0 * e - dCodeMinusCarrier;
        o.LockTime = e < 10 ? 300.0f + float(e) : float(e - 10); // lock lost and found before epoch 10
        const std::vector<uint8_t> log = MakeRangeLog(kWeek, kT0Ms + e * 1000, {o});
        Converted cmp;
        cmp.Result = RangeToRangeCmpArcs(arcs.get(), log.data(), int32_t(log.size()), cmp.Bytes.data(),
                                         int32_t(cmp.Bytes.size()), &cmp.Length);
        ASSERT_EQ(cmp.Result, 1);
        const RANGE_OBS_T back = RecordsOf(ToRange(cmp.Bytes, cmp.Length).Bytes.data())[0];
        locked.push_back(TrackingStatusPhaseLock(back.TrackingStatus));
        shifts.push_back(locked.back() ? std::llround((back.Adr - o.Adr) / RANGECMP_ADR_ROLL) : 0);
        EXPECT_NEAR(back.Psr, o.Psr, 0.5 / 128);
    }
    for (uint32_t e = 0; e < 15; ++e)
    {
        EXPECT_EQ(locked[e], e < 5 || e >= 10) << "epoch " << e;
        if (e > 0 && e < 5)
        {
            EXPECT_EQ(shifts[e], shifts[0]) << "epoch " << e;
        }
        if (e > 10)
        {
            EXPECT_EQ(shifts[e], shifts[10]) << "epoch " << e;
        }
    }
    EXPECT_NE(shifts[10], shifts[0]);
    EXPECT_EQ(arcs->Dropped, 5u);
    EXPECT_EQ(arcs->Shifted, 10u);
}

TEST(RangeCmpPhaseArcs, LockHoldsWhileTheLockTimeGrowsByTheElapsedTime)
{
    struct Case
    {
        double dBefore, dNow, dElapsed;
        bool bContinues;
    };
    const Case cases[] = {
        {100.0, 101.0, 1.0, true},
        {100.0, 100.0, 1.0, false},            // a slip at once after the last epoch: lock 0 s again
        {0.0, 0.0, 1.0, false},                // slips at two epochs in a row
        {100.0, 129.97, 30.004, true},         // a receiver clock step of 4 ms between 30 s epochs
        {100.0, 125.0, 30.0, false},           // lock lost during the 30 s
        {100.0, 150.0, 60.0, false},           // the signal came back after a gap with a new arc
        {10.0, 10.03125, 0.05, true},          // 20 Hz with RANGECMP's 1/32 s lock step
        {65535.96875, 65535.96875, 1.0, true}, // RANGECMP's lock field at its ceiling
        {100.0, 100.0, 0.0, true},             // the same log again
        {100.0, 99.0, 0.0, false},
        {100.0, 50.0, -1.0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LockTimeContinues(c.dBefore, c.dNow, c.dElapsed), c.bContinues)
            << c.dBefore << " -> " << c.dNow << " after " << c.dElapsed;
}
} // namespace
