#include <gtest/gtest.h>

#include <vector>

#include <iterator>
#include <memory>

#include "codec/bitfield.h"
#include "codec/rangecmp4.h"
#include "support/profile_fixture.h"
#include "support/log_generator.h"
#include "support/range_test_util.h"

using namespace range_test;

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kT0Ms = 345600000; // a whole second of the week

// Every satellite with each signal RANGECMP4 carries in this profile.
std::vector<RANGE_OBS_T> Cmp4Epoch(double t)
{
    return Epoch(t, [](const Signal& sig) { return sig.Cmp4 && CarriedInProfile(sig); });
}

std::unique_ptr<RANGECMP4_CONTEXT_T> NewContext() { return std::make_unique<RANGECMP4_CONTEXT_T>(); }

struct Stream
{
    std::unique_ptr<RANGECMP4_CONTEXT_T> Packer = NewContext();
    std::unique_ptr<RANGECMP4_CONTEXT_T> Expander = NewContext();
    std::vector<uint8_t> Cmp = std::vector<uint8_t>(65536);
    std::vector<uint8_t> Out = std::vector<uint8_t>(70000);
    int32_t CmpLength = 0;
    int32_t OutLength = 0;

    bool Pack(const std::vector<uint8_t>& range)
    {
        return RangeToRangeCmp4(Packer.get(), range.data(), static_cast<int32_t>(range.size()), Cmp.data(),
                                static_cast<int32_t>(Cmp.size()), &CmpLength) == 1;
    }
    bool Expand()
    {
        return RangeCmp4ToRange(Expander.get(), Cmp.data(), static_cast<int32_t>(CmpLength), Out.data(),
                                static_cast<int32_t>(Out.size()), &OutLength) == 1;
    }
    std::vector<RANGE_OBS_T> RoundTrip(const std::vector<RANGE_OBS_T>& obs, uint32_t uMs)
    {
        const std::vector<uint8_t> log = MakeRangeLog(kWeek, uMs, obs);
        EXPECT_TRUE(Pack(log));
        EXPECT_TRUE(Expand());
        return RecordsOf(Out.data());
    }
    // Data format and block ID of the first satellite of a one-system,
    // one-signal stream: bits 16 + 64 + 16 + 1 and the three after.
    uint32_t FirstFormat() const { return Cmp[32 + 12] >> 1 & 1; }
    uint32_t FirstBlockId() const { return Cmp[32 + 12] >> 2 & 7; }
};

// Each field within half the step RANGECMP4 carries it with: packing rounds.
void ExpectWithinResolution(const RANGE_OBS_T& in, const RANGE_OBS_T& out, const char* what)
{
    SCOPED_TRACE(what);
    const double lambda = Wavelength(in);
    ASSERT_GT(lambda, 0);
    EXPECT_EQ(+out.GloFreq, +in.GloFreq);
    EXPECT_NEAR(out.Psr, in.Psr, 0.00025 + 1e-7);
    EXPECT_NEAR(out.Adr * lambda, in.Adr * lambda, 0.00005 + 1e-7);
    // the records hold Doppler as 32-bit floats
    EXPECT_NEAR(out.Doppler * lambda, in.Doppler * lambda, 0.00005 + 6e-5);
    EXPECT_NEAR(out.CNo, in.CNo, 0.05 + 1e-4);
    EXPECT_GE(out.PsrStd + 1e-6, +in.PsrStd);
    EXPECT_GE(out.AdrStd + 1e-6, +in.AdrStd);
    const uint32_t kFlags = 1u << 10 | 1u << 11 | 1u << 12 | 7u << 16 | 31u << 21 | 1u << 27 | 1u << 28;
    EXPECT_EQ(out.TrackingStatus & kFlags, in.TrackingStatus & kFlags);
}

struct RateCase
{
    const char* Name;
    uint32_t StepMs;
    uint32_t Epochs;
};

class RangeCmp4RoundTrip : public ProfileTest
{
};

TEST_P(RangeCmp4RoundTrip, EverySystemAndSignalAt1And10HzWithinResolution)
{
    const RateCase rates[] = {{"1 Hz", 1000, 4}, {"1 Hz off the second", 1000, 4}, {"10 Hz", 100, 25}};
    for (const RateCase& rate : rates)
    {
        SCOPED_TRACE(rate.Name);
        Stream s;
        // the off-second stream starts with a reference at a whole second
        const bool bOffSecond = rate.Name[4] == 'o';
        size_t referenceBytes = 0, differentialBytes = 0;
        for (uint32_t e = 0; e < rate.Epochs; ++e)
        {
            const uint32_t ms = e * rate.StepMs + (bOffSecond && e > 0 ? 500 : 0);
            const double t = ms / 1000.0;
            const std::vector<RANGE_OBS_T> in = Cmp4Epoch(t);
            const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms + ms);
            ASSERT_EQ(out.size(), in.size()) << "epoch " << e;
            for (const RANGE_OBS_T& o : in)
            {
                const RANGE_OBS_T* x = FindSame(out, o);
                ASSERT_NE(x, nullptr) << "PRN " << o.Prn << " type " << int(TrackingStatusSignalType(o.TrackingStatus));
                ExpectWithinResolution(o, *x, "epoch");
            }
            (ms % 1000 ? differentialBytes : referenceBytes) = s.CmpLength;
        }
        // off the second every satellite had its reference, so the epoch went differential
        if (rate.StepMs == 100 || bOffSecond)
        {
            EXPECT_LT(differentialBytes + 50, referenceBytes);
        }
    }
}

TEST_P(RangeCmp4RoundTrip, ExpandsRangeHAsRangeHOnlyInTheConverter)
{
    Stream s;
    const std::vector<RANGE_OBS_T> in = Cmp4Epoch(0);
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms, in, MSG_ID_RANGEH)));
    EXPECT_EQ(+HeaderOf(s.Cmp).MessageId, MSG_ID_RANGECMP4);
    EXPECT_EQ(HeaderOf(s.Cmp).MessageType & LOG_TYPE_FROM_RANGEH, LOG_TYPE_FROM_RANGEH);
    ASSERT_TRUE(s.Expand());
    EXPECT_EQ(+HeaderOf(s.Out).MessageId, Monitor() ? MSG_ID_RANGE : MSG_ID_RANGEH);
    EXPECT_EQ(size_t(s.OutLength), 28 + 4 + 44 * in.size());
    EXPECT_EQ(+HeaderOf(s.Out).MessageLength, 4 + 44 * in.size());
    EXPECT_EQ(+HeaderOf(s.Out).Week, kWeek);
    EXPECT_EQ(+HeaderOf(s.Out).Milliseconds, kT0Ms);
}

// A differential record of a satellite whose reference the expander does not
// hold gives no observation; the reference store of the converter holds 256
// signals, the monitor's 2000.
TEST_P(RangeCmp4RoundTrip, DifferentialBeyondAFullStoreIsLeftOut)
{
    // 32 GPS satellites x 6 signals and 36 Galileo x 4: 336 signals
    std::vector<SatOf> sats;
    for (uint16_t prn = 1; prn <= 32; ++prn)
        sats.push_back({TRACK_SYS_GPS, {prn, 0, 20e6 + prn * 1e5, -300.0 + prn * 20, 0.1}});
    for (uint16_t prn = 1; prn <= 36; ++prn)
        sats.push_back({TRACK_SYS_GALILEO, {prn, 0, 23e6 + prn * 1e5, 200.0 - prn * 15, 0.1}});
    auto epoch = [&](double t)
    {
        std::vector<RANGE_OBS_T> obs;
        for (const SatOf& s : sats)
        {
            for (const Signal& sig : kSignals)
                if (sig.System == s.System && sig.Cmp4)
                    obs.push_back(Observe(s.Sat, sig, t, uint32_t(obs.size())));
        }
        return obs;
    };
    Stream s;
    {
        ScopedProfile packAsMonitor(CODEC_PROFILE_MONITOR); // room for every reference
        ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms, epoch(0))));
    }
    ASSERT_TRUE(s.Expand());
    EXPECT_EQ(RecordsOf(s.Out.data()).size(), 336u);
    const std::vector<RANGE_OBS_T> in = epoch(0.5);
    {
        ScopedProfile packAsMonitor(CODEC_PROFILE_MONITOR);
        ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms + 500, in)));
    }
    ASSERT_TRUE(s.Expand());
    const std::vector<RANGE_OBS_T> out = RecordsOf(s.Out.data());
    EXPECT_EQ(out.size(), Monitor() ? 336u : 256u);
    for (const RANGE_OBS_T& x : out)
    {
        const RANGE_OBS_T* o = FindSame(in, x);
        ASSERT_NE(o, nullptr);
        EXPECT_NEAR(x.Psr, o->Psr, 0.00025 + 1e-7);
    }
}

ZV_BOTH_PROFILES(RangeCmp4RoundTrip);

// One GPS L1 satellite, the simplest stream whose bits the tests can point at.
std::vector<RANGE_OBS_T> OneSignal(double t, float fLock = 100.0f)
{
    static const Satellite sat{7, 0, 22.0e6, -640.0, 0.15};
    RANGE_OBS_T o = Observe(sat, kSignals[0], t, 0); // GPS L1C/A
    o.LockTime = fLock;
    return {o};
}

TEST(RangeCmp4Sequence, FourReferencesWriteBlockIds0To3AndADifferentialExpandsAgainstTheFourth)
{
    Stream s;
    for (uint32_t e = 0; e < 4; ++e)
    {
        s.RoundTrip(OneSignal(e), kT0Ms + e * 1000);
        EXPECT_EQ(s.FirstFormat(), 0u);
        EXPECT_EQ(s.FirstBlockId(), e);
    }
    const RANGE_OBS_T fourth = RecordsOf(s.Out.data())[0];

    const std::vector<RANGE_OBS_T> in = OneSignal(3.5);
    const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms + 3500);
    EXPECT_EQ(s.FirstFormat(), 1u);
    EXPECT_EQ(s.FirstBlockId(), 3u);
    ASSERT_EQ(out.size(), 1u);
    // the satellite moved some 300 m since the fourth reference
    EXPECT_GT(std::fabs(out[0].Psr - fourth.Psr), 300.0);
    ExpectWithinResolution(in[0], out[0], "differential");
}

TEST(RangeCmp4Sequence, AStreamJoinedAtADifferentialEpochGivesNoObservation)
{
    Stream s;
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms, OneSignal(0))));
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms + 500, OneSignal(0.5))));
    ASSERT_EQ(s.FirstFormat(), 1u);
    ASSERT_TRUE(s.Expand()); // the expander never saw the reference
    EXPECT_EQ(RecordsOf(s.Out.data()).size(), 0u);
    EXPECT_EQ(s.OutLength, 32);
}

TEST(RangeCmp4Sequence, ADifferentialOfAMissedReferenceIsLeftOutNotExpandedAgainstAnOlderOne)
{
    Stream s;
    s.RoundTrip(OneSignal(0), kT0Ms);                                     // block 0 reaches the expander
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms + 1000, OneSignal(1)))); // block 1 is lost
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms + 1500, OneSignal(1.5))));
    ASSERT_EQ(s.FirstBlockId(), 1u);
    ASSERT_TRUE(s.Expand());
    EXPECT_EQ(RecordsOf(s.Out.data()).size(), 0u);
}

TEST(RangeCmp4Sequence, TwoStreamsWithTheSameSatelliteKeepTheirOwnReferences)
{
    Stream a, b;
    a.RoundTrip(OneSignal(0), kT0Ms);
    std::vector<RANGE_OBS_T> other = OneSignal(0);
    other[0].Psr += 1234.5;
    other[0].Adr -= 1234.5 / (kC / 1575.42e6);
    b.RoundTrip(other, kT0Ms);
    const std::vector<RANGE_OBS_T> inA = OneSignal(0.5);
    const std::vector<RANGE_OBS_T> outA = a.RoundTrip(inA, kT0Ms + 500);
    ASSERT_EQ(outA.size(), 1u);
    EXPECT_NEAR(outA[0].Psr, inA[0].Psr, 0.00025 + 1e-7);
}

// Pseudorange, phase and Doppler are rounded to the nearest step, never cut:
// a cut pseudorange is up to 0.5 mm short, in reference and differential
// records alike.
TEST(RangeCmp4Sequence, PackingRoundsToTheNearestStep)
{
    const double kFractions[] = {0.00049, 0.00026, 0.00024, 0.000499};
    Stream s;
    uint32_t e = 0;
    for (double f : kFractions)
        for (uint32_t ms : {0u, 500u})
        {
            const double t = e + ms / 1000.0;
            std::vector<RANGE_OBS_T> in = OneSignal(t);
            RANGE_OBS_T l2 = Observe({7, 0, 22.0e6, -640.0, 0.15}, kSignals[1], t, 1); // GPS L2W
            in.push_back(l2);
            const double lambda = kC / 1575.42e6;
            for (RANGE_OBS_T& o : in)
            {
                o.Psr += f;
                o.Adr -= 0.2 * f / Wavelength(o); // 0.2 f m: the phase step is 0.1 mm
                o.Doppler = static_cast<float>(o.Doppler - 0.2 * f / lambda);
            }
            const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms + e * 1000 + ms);
            ASSERT_EQ(out.size(), 2u);
            for (size_t k = 0; k < 2; ++k)
                ExpectWithinResolution(in[k], out[k], ms ? "differential" : "reference");
            ++e;
        }
}

// A Doppler the log does not hold (0: a RINEX source without it) comes back
// as exactly 0, in reference and differential records, also beside a slow
// satellite's small Doppler (a GEO) that a difference could reach; a
// secondary Doppler its field cannot hold comes back as none, not clamped.
TEST(RangeCmp4Sequence, ADopplerTheLogDoesNotHoldStaysZero)
{
    const Satellite geo{7, 0, 38.0e6, -0.3, 0.0};
    Stream s;
    for (uint32_t e = 0; e < 3; ++e)
        for (uint32_t ms : {0u, 500u})
        {
            const double t = e + ms / 1000.0;
            std::vector<RANGE_OBS_T> in = {Observe(geo, kSignals[0], t, 0), Observe(geo, kSignals[1], t, 1)};
            in[1].Doppler = 0.0f; // GPS L2W without Doppler
            if (e == 1 && ms == 500)
                in[0].Doppler = 0.0f; // L1 loses it against a reference that has one
            if (e == 2)
                in[1].Doppler = 2000.0f; // beyond a secondary's field from L1
            const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms + e * 1000 + ms);
            ASSERT_EQ(out.size(), 2u);
            SCOPED_TRACE(testing::Message() << "epoch " << e << (ms ? ".5" : ""));
            if (in[0].Doppler == 0.0f)
                EXPECT_EQ(out[0].Doppler, 0.0f);
            else
                EXPECT_NEAR(out[0].Doppler, in[0].Doppler, 0.001);
            EXPECT_EQ(out[1].Doppler, 0.0f);
            EXPECT_NEAR(out[1].Psr, in[1].Psr, 0.00025 + 1e-7);
        }
}

// A phase with an arbitrary offset from its code range (RINEX from other
// receivers) cannot be carried as metres from the pseudorange. With the
// stream's arcs it is shifted by whole cycles next to the pseudorange, the
// same number for the whole arc, in reference and differential records alike.
TEST(RangeCmp4PhaseArcs, AnOffsetPhaseComesBackShiftedByWholeCyclesConstantPerArc)
{
    struct Row
    {
        Satellite sat;
        Signal sig;
        double dOffset; // cycles added to the receiver's ADR
    };
    const Row rows[] = {
        {{5, 0, 24738177.0, -512.25, 0.12}, kSignals[0], 74076378.0}, // L1 of 55.9 M cycles beside 130 M
        {{5, 0, 24738177.0, -512.25, 0.12}, kSignals[1], -33000000.5},
        {{38, 8, 19.7e6, 401.0, 0.2}, kSignals[6], 25000000.25},
    };
    Stream s;
    auto arcs = std::make_unique<RANGE_PHASE_ARCS_T>();
    // 1 Hz references, then 10 Hz with differential records; lock is lost
    // and found again before the 12th epoch.
    std::vector<uint32_t> times;
    for (uint32_t e = 0; e < 8; ++e)
        times.push_back(e * 1000);
    for (uint32_t e = 1; e <= 10; ++e)
        times.push_back(7000 + e * 100);
    int64_t aShift[3] = {};
    uint32_t nPhases = 0;
    for (size_t e = 0; e < times.size(); ++e)
    {
        const double t = times[e] / 1000.0;
        std::vector<RANGE_OBS_T> in;
        for (const Row& r : rows)
        {
            RANGE_OBS_T o = Observe(r.sat, r.sig, t, uint32_t(in.size()));
            o.Adr += r.dOffset;
            o.LockTime = e < 11 ? float(100.0 + t) : float(t - 7.35);
            in.push_back(o);
        }
        const std::vector<uint8_t> log = MakeRangeLog(kWeek, kT0Ms + times[e], in);
        ASSERT_EQ(RangeToRangeCmp4Arcs(s.Packer.get(), arcs.get(), log.data(), int32_t(log.size()), s.Cmp.data(),
                                       int32_t(s.Cmp.size()), &s.CmpLength),
                  1);
        ASSERT_TRUE(s.Expand());
        const std::vector<RANGE_OBS_T> out = RecordsOf(s.Out.data());
        ASSERT_EQ(out.size(), in.size()) << "epoch " << e;
        for (size_t k = 0; k < in.size(); ++k)
        {
            SCOPED_TRACE(testing::Message() << "epoch " << e << " signal " << k);
            const RANGE_OBS_T* x = FindSame(out, in[k]);
            ASSERT_NE(x, nullptr);
            ASSERT_TRUE(TrackingStatusPhaseLock(x->TrackingStatus));
            const double lambda = Wavelength(in[k]);
            const double dShift = x->Adr - in[k].Adr;
            const int64_t nShift = std::llround(dShift);
            EXPECT_NE(nShift, 0);
            EXPECT_NEAR((dShift - double(nShift)) * lambda, 0.0, 0.00005 + 1e-6);
            EXPECT_NEAR(x->Psr, in[k].Psr, 0.00025 + 1e-7);
            if (e == 0 || e == 11)
                aShift[k] = nShift;
            EXPECT_EQ(nShift, aShift[k]);
            ++nPhases;
        }
    }
    EXPECT_EQ(arcs->Shifted, nPhases);
    EXPECT_EQ(arcs->Dropped, 0u);

    // Without the arcs a stream cannot keep a shift: such a phase is not carried.
    Stream plain;
    RANGE_OBS_T o = Observe(rows[0].sat, rows[0].sig, 0, 0);
    o.Adr += rows[0].dOffset;
    const std::vector<RANGE_OBS_T> back = plain.RoundTrip({o}, kT0Ms);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_FALSE(TrackingStatusPhaseLock(back[0].TrackingStatus));
}

// Packing falls back to a reference record where the epoch is off the second
// but the reference is missing or a differential field would overflow.
TEST(RangeCmp4Sequence, PackingWritesAReferenceWhereADifferentialCannotHoldTheEpoch)
{
    struct Case
    {
        const char* Name;
        double PsrJump;     // m added at the off-second epoch
        double PhaseJump;   // m
        double DopplerJump; // m/s
        bool FirstEpochOffSecond;
    };
    const Case cases[] = {
        {"no reference yet", 0, 0, 0, true},
        {"pseudorange beyond 19 bits", 140.0, 140.0, 0, false},
        {"carrier phase beyond 16 bits", 0, 3.5, 0, false},
        {"Doppler beyond 18 bits", 0, 0, 14.0, false},
        {"small changes stay differential", 0.05, 0.05, 0.05, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        Stream s;
        if (!c.FirstEpochOffSecond)
            s.RoundTrip(OneSignal(0), kT0Ms);
        std::vector<RANGE_OBS_T> in = OneSignal(0.5);
        const double lambda = kC / 1575.42e6;
        in[0].Psr += c.PsrJump;
        in[0].Adr -= c.PhaseJump / lambda;
        in[0].Doppler -= static_cast<float>(c.DopplerJump / lambda);
        const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms + 500);
        const bool bSmall = c.PsrJump < 1 && c.PhaseJump < 1 && c.DopplerJump < 1 && !c.FirstEpochOffSecond;
        EXPECT_EQ(s.FirstFormat(), bSmall ? 1u : 0u);
        ASSERT_EQ(out.size(), 1u);
        ExpectWithinResolution(in[0], out[0], c.Name);
    }
}

TEST(RangeCmp4Sequence, UnlockedCodeAndPhaseStayUnlockedAndOutOfRangeValuesAreNotWrapped)
{
    Stream s;
    std::vector<RANGE_OBS_T> in = Cmp4Epoch(0);
    // GPS PRN 5: L1 without code lock (its secondaries then have no
    // pseudorange either); PRN 31: L2W with a phase 500 m off its code
    in[0].TrackingStatus &= ~(1u << 12);
    const size_t prn31 = 6;
    ASSERT_EQ(+in[prn31 + 1].Prn, 31);
    in[prn31 + 1].Adr -= 500.0 / (kC / 1227.60e6);
    const std::vector<RANGE_OBS_T> out = s.RoundTrip(in, kT0Ms);
    for (size_t k = 0; k < 6; ++k)
    {
        const RANGE_OBS_T* x = FindSame(out, in[k]);
        ASSERT_NE(x, nullptr);
        EXPECT_FALSE(TrackingStatusCodeLocked(x->TrackingStatus));
        EXPECT_FALSE(TrackingStatusPhaseLock(x->TrackingStatus));
        EXPECT_NEAR(x->Doppler, in[k].Doppler, 0.001);
    }
    const RANGE_OBS_T* l2w = FindSame(out, in[prn31 + 1]);
    ASSERT_NE(l2w, nullptr);
    EXPECT_TRUE(TrackingStatusCodeLocked(l2w->TrackingStatus));
    EXPECT_FALSE(TrackingStatusPhaseLock(l2w->TrackingStatus));
    EXPECT_NEAR(l2w->Psr, in[prn31 + 1].Psr, 0.00025 + 1e-7);
}

// Lock time grows with the time between epochs, from the table value of its index.
TEST(RangeCmp4Sequence, LockTimeGrowsByTheElapsedTimeAt1And10Hz)
{
    for (uint32_t step : {1000u, 100u})
    {
        SCOPED_TRACE(step);
        Stream s;
        float previous = -1;
        for (uint32_t e = 0; e < 12; ++e)
        {
            const uint32_t ms = e * step;
            // 70 s of lock: index 13 (65.536 s) throughout
            const std::vector<RANGE_OBS_T> out = s.RoundTrip(OneSignal(ms / 1000.0, 70.0f + ms / 1000.0f), kT0Ms + ms);
            ASSERT_EQ(out.size(), 1u);
            EXPECT_NEAR(out[0].LockTime, 65.0 + ms / 1000.0, 1e-3) << "epoch " << e;
            EXPECT_LE(+out[0].LockTime, 70.0f + ms / 1000.0f);
            EXPECT_GT(+out[0].LockTime, previous);
            previous = out[0].LockTime;
        }
    }
}

// The index only bounds the lock time; the expansion narrows it by the
// stream's history. While lock holds the lock time grows by the time between
// records, across every change of index (a held lock must never read as lost
// when 0.9 s becomes 1.0 s or 32.7 s becomes 33.7 s); after a loss it starts
// again from the index's whole seconds. It never claims more than the receiver
// reported.
TEST(RangeCmp4Sequence, LockTimeHoldsAcrossIndexChangesAndStartsAgainAfterALoss)
{
    struct Step
    {
        uint32_t nMs;     // since the first record
        float fLock;      // the receiver's lock time
        double dExpanded; // what the expansion gives
    };
    const Step kHeldAt1Hz[] = {{0, 0.0f, 0.0},    {1000, 1.0f, 1.0}, {2000, 2.0f, 2.0},
                               {3000, 3.0f, 3.0}, {4000, 4.0f, 4.0}, {5000, 5.0f, 5.0}};
    const Step kThirtySeconds[] = {{0, 0.0f, 0.0},        {30000, 30.0f, 30.0}, {60000, 60.0f, 60.0},
                                   {90000, 10.0f, 8.0},   // lost and found: 10 s is index 10 (8.192 s)
                                   {120000, 40.0f, 38.0}, // held again
                                   {150000, 0.5f, 0.0},   // lost again
                                   {180000, 0.2f, 0.0}};  // and again at once: no lock time grows
    const struct
    {
        const char* pName;
        const Step* pSteps;
        size_t nSteps;
    } runs[] = {{"1 Hz", kHeldAt1Hz, std::size(kHeldAt1Hz)}, {"30 s", kThirtySeconds, std::size(kThirtySeconds)}};
    for (const auto& run : runs)
    {
        SCOPED_TRACE(run.pName);
        Stream s;
        for (size_t k = 0; k < run.nSteps; ++k)
        {
            const Step& step = run.pSteps[k];
            const std::vector<RANGE_OBS_T> out =
                s.RoundTrip(OneSignal(step.nMs / 1000.0, step.fLock), kT0Ms + step.nMs);
            ASSERT_EQ(out.size(), 1u);
            EXPECT_NEAR(out[0].LockTime, step.dExpanded, 1e-6) << "at " << step.nMs << " ms";
            EXPECT_LE(+out[0].LockTime, step.fLock);
        }
    }

    // Held from 0.5 s to 40 s at 1 Hz: every record adds exactly one second.
    Stream s;
    double previous = -1;
    for (uint32_t e = 0; e < 40; ++e)
    {
        const float fLock = 0.5f + float(e);
        const double lock = s.RoundTrip(OneSignal(e, fLock), kT0Ms + e * 1000)[0].LockTime;
        if (e > 0)
        {
            EXPECT_NEAR(lock - previous, 1.0, 1e-6) << "at " << fLock << " s";
        }
        EXPECT_LE(lock, fLock);
        previous = lock;
    }
}

TEST(RangeCmp4Tables, SignalMaskListsAndSatelliteNumbers)
{
    uint16_t codes[16];
    EXPECT_EQ(Cmp4SignalMaskToList(TRACK_SYS_GPS, 0x0042, codes), 2u);
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 200);
    EXPECT_EQ(codes[2], 0xFFFF);
    // QZSS L1C is a QZSS code, not the GPS one
    EXPECT_EQ(Cmp4SignalMaskToList(TRACK_SYS_QZSS, 1u << 8, codes), 1u);
    EXPECT_EQ(codes[0], 389);
    EXPECT_EQ(Cmp4SignalMaskToList(6, 0xFFFF, codes), 0u);

    uint8_t sats[64];
    ASSERT_EQ(SatMaskToList(0x8000000000000005ull, sats), 3u);
    EXPECT_EQ(sats[0], 1);
    EXPECT_EQ(sats[1], 3);
    EXPECT_EQ(sats[2], 64);

    // Sorting keeps equal keys in their order, also past 128 entries.
    std::vector<uint32_t> keys(200);
    for (uint32_t i = 0; i < keys.size(); ++i)
        keys[i] = (keys.size() - i) / 2;
    std::vector<uint32_t> order(keys.size());
    SortByKey(keys.data(), static_cast<uint32_t>(keys.size()), order.data());
    EXPECT_EQ(order[0], 199u);
    EXPECT_EQ(order[1], 197u) << "two entries of key 1 keep their order";
    EXPECT_EQ(order[2], 198u);
    for (uint32_t i = 1; i < order.size(); ++i)
        EXPECT_TRUE(keys[order[i - 1]] < keys[order[i]] || (keys[order[i - 1]] == keys[order[i]] && order[i - 1] < order[i]));

    EXPECT_EQ(SatNumberToPrn(GNSS_SYSTEM_GPS, 12), 12);
    EXPECT_EQ(SatNumberToPrn(GNSS_SYSTEM_GLONASS, 1), 38);
    EXPECT_EQ(SatNumberToPrn(GNSS_SYSTEM_QZSS, 1), 193);
    EXPECT_EQ(SatNumberToPrn(GNSS_SYSTEM_SBAS, 1), 120);
    EXPECT_EQ(SatNumberToPrn(GNSS_SYSTEM_SBAS, 39), 158);

    EXPECT_EQ(SignalCodeToCmp4Band(0), 0u);
    EXPECT_EQ(SignalCodeToCmp4Band(33096), 1u);
    EXPECT_EQ(SignalCodeToCmp4Band(2128), 2u);
    EXPECT_EQ(SignalCodeToCmp4Band(520), 3u);
    EXPECT_EQ(SignalCodeToCmp4Band(384), 4u);
    EXPECT_EQ(SignalCodeToCmp4Band(201), 4u);  // GLONASS L2P: band 1 + 3
    EXPECT_EQ(SignalCodeToCmp4Band(2522), 3u); // Galileo E5
    EXPECT_EQ(SignalCodeToCmp4Band(2338), 3u); // Galileo E6
}

TEST(RangeCmp4Input, CountsAndMasksAreCheckedAgainstTheDataAndTheOutput)
{
    Stream s;
    ASSERT_TRUE(s.Pack(MakeRangeLog(kWeek, kT0Ms, Cmp4Epoch(0))));
    const int32_t n = s.CmpLength;
    auto expand = [&](int32_t nLength, int32_t nCapacity)
    {
        ResetRangeCmp4State(s.Expander.get());
        return RangeCmp4ToRange(s.Expander.get(), s.Cmp.data(), nLength, s.Out.data(), nCapacity, &s.OutLength);
    };
    EXPECT_EQ(expand(int32_t(n), int32_t(s.Out.size())), 1);
    EXPECT_EQ(expand(int32_t(n) - 1, int32_t(s.Out.size())), 0); // log longer than the bytes given
    EXPECT_EQ(expand(int32_t(n), int32_t(32 + 44 * 10)), 0);     // 10 records of room
    EXPECT_EQ(expand(int32_t(n), -1), 0);
    EXPECT_EQ(RangeCmp4ToRange(nullptr, s.Cmp.data(), int32_t(n), s.Out.data(), 100000, &s.OutLength), 0);

    // N larger than the message, and a stream cut short inside its records
    std::vector<uint8_t> bad(s.Cmp.begin(), s.Cmp.begin() + n);
    uint32_t nData = n - 32 + 1;
    std::memcpy(bad.data() + 28, &nData, 4);
    EXPECT_EQ(RangeCmp4ToRange(s.Expander.get(), bad.data(), int32_t(n), s.Out.data(), 100000, &s.OutLength), 0);
    nData = (n - 32) / 2;
    std::memcpy(bad.data() + 28, &nData, 4);
    EXPECT_EQ(RangeCmp4ToRange(s.Expander.get(), bad.data(), int32_t(n), s.Out.data(), 100000, &s.OutLength), 0);
    // an unknown system in front of known ones cannot be stepped over
    std::memcpy(bad.data(), s.Cmp.data(), n);
    bad[32] |= 0x08;
    EXPECT_EQ(RangeCmp4ToRange(s.Expander.get(), bad.data(), int32_t(n), s.Out.data(), 100000, &s.OutLength), 0);

    // packing: a RANGE count beyond the message, and too little room
    std::vector<uint8_t> range = MakeRangeLog(kWeek, kT0Ms, Cmp4Epoch(0));
    uint32_t count = 0;
    std::memcpy(&count, range.data() + 28, 4);
    ++count;
    std::memcpy(range.data() + 28, &count, 4);
    EXPECT_EQ(s.Pack(range), false);
    const std::vector<uint8_t> ok = MakeRangeLog(kWeek, kT0Ms, Cmp4Epoch(0));
    EXPECT_EQ(RangeToRangeCmp4(s.Packer.get(), ok.data(), int32_t(ok.size()), s.Cmp.data(), 100, &s.CmpLength), 0);
}
} // namespace

namespace
{
// A receiver's stream with a Galileo satellite tracking E1C and E6C: E6 has no
// signal type in the tracking status, so it is read over and left out, and the
// E1C record after it in the stream still comes out right.
TEST(RangeCmp4Input, ASignalTheTrackingStatusCannotNameIsReadOverAndLeftOut)
{
    std::vector<uint8_t> log(32 + 64, 0);
    uint32_t pos = 0;
    auto put = [&](uint32_t nWidth, uint64_t v)
    {
        WriteBitsLsb(log.data() + 32, pos, nWidth, &v);
        pos += nWidth;
    };
    put(16, 1u << 5);                  // Galileo
    put(64, 1u << 10);                 // satellite 11
    put(16, (1u << 1) | (1u << 5));    // E1C, E6C
    put(2, 3);                         // both included
    put(1, 0);                         // reference
    put(3, 0);                         // block 0
    const int64_t e1Psr = 44000000000; // 22 000 km in 0.5 mm
    // E1C (primary): parity, half cycle, C/No 45, lock, deviations, then pseudorange, phase, Doppler
    put(1, 1), put(1, 0), put(11, 900), put(4, 9), put(4, 2), put(4, 1);
    put(37, uint64_t(e1Psr)), put(23, uint64_t(int64_t(-12345))), put(26, uint64_t(int64_t(-5000000)));
    // E6C (secondary)
    put(1, 1), put(1, 0), put(11, 800), put(4, 9), put(4, 2), put(4, 1);
    put(20, 40), put(23, 77), put(14, 3);
    const uint32_t nData = (pos + 7) / 8;
    BinaryLogHeader h{};
    FillBinaryHeader(MSG_ID_RANGECMP4, 0, uint16_t(nData + 4), 1, 0, &h);
    h.Week = kWeek;
    h.Milliseconds = kT0Ms;
    std::memcpy(log.data(), &h, sizeof h);
    std::memcpy(log.data() + 28, &nData, 4);

    auto ctx = NewContext();
    std::vector<uint8_t> out(4096);
    int32_t n = 0;
    ASSERT_EQ(RangeCmp4ToRange(ctx.get(), log.data(), int32_t(32 + nData), out.data(), int32_t(out.size()), &n), 1);
    const std::vector<RANGE_OBS_T> obs = RecordsOf(out.data());
    ASSERT_EQ(obs.size(), 1u);
    EXPECT_EQ(+obs[0].Prn, 11);
    EXPECT_EQ(TrackingStatusSystem(obs[0].TrackingStatus), TRACK_SYS_GALILEO);
    EXPECT_EQ(TrackingStatusSignalType(obs[0].TrackingStatus), 2); // E1C
    EXPECT_NEAR(obs[0].Psr, 22e6, 1e-6);
    EXPECT_NEAR(obs[0].Adr, -(22e6 - 1.2345) / (kC / 1575.42e6), 1e-4);
    EXPECT_NEAR(obs[0].CNo, 45.0, 1e-6);
}
} // namespace

// A stream whose reference epochs come every few seconds: the packer writes
// the whole seconds between them as differential epochs, and the expander
// notes what it read and what it left out for want of a reference.
TEST(RangeCmp4Stream, ReferenceEpochsAtTheStreamsOwnIntervalAndTheExpandersNotes)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    std::vector<loggen::Signal> sky;
    for (uint16_t n : {2, 9, 17})
        sky.push_back({TRACK_SYS_GPS, 0, n, 0});
    auto pPacker = std::make_unique<RANGECMP4_CONTEXT_T>();
    pPacker->ReferenceEveryMs = 3000;
    auto pExpander = std::make_unique<RANGECMP4_CONTEXT_T>();
    auto pLate = std::make_unique<RANGECMP4_CONTEXT_T>(); // joins at the second epoch
    std::vector<uint8_t> out(LOG_HEADER_LENGTH + 0xFFFF), range(LOG_HEADER_LENGTH + 0xFFFF);
    for (uint32_t k = 0; k < 7; ++k)
    {
        SCOPED_TRACE(k);
        const uint32_t ms = 300000000 + 1000 * k; // a multiple of 3000 at k = 0, 3, 6
        const loggen::Bytes epoch = loggen::RangeRecord(2295, ms, loggen::Epoch(sky, 1000.0 + k));
        int32_t n = 0;
        ASSERT_EQ(RangeToRangeCmp4(pPacker.get(), epoch.data(), int32_t(epoch.size()), out.data(),
                                   int32_t(out.size()), &n),
                  1);
        const loggen::Bytes packed(out.begin(), out.begin() + n);
        RANGECMP4_EXPAND_NOTES_T notes{};
        int32_t nRange = 0;
        ASSERT_EQ(RangeCmp4ToRangeNotes(pExpander.get(), packed.data(), n, range.data(), int32_t(range.size()),
                                        &nRange, &notes),
                  1);
        const bool bReference = k % 3 == 0;
        EXPECT_EQ(notes.ReferenceRecords, bReference ? 3u : 0u);
        EXPECT_EQ(notes.DifferentialRecords, bReference ? 0u : 3u);
        EXPECT_EQ(notes.NoReference + notes.UnknownSignal + notes.OutputFull, 0u);
        uint32_t nObs = 0;
        std::memcpy(&nObs, range.data() + LOG_HEADER_LENGTH, 4);
        EXPECT_EQ(nObs, 3u);
        if (k == 0)
            continue;
        ASSERT_EQ(RangeCmp4ToRangeNotes(pLate.get(), packed.data(), n, range.data(), int32_t(range.size()), &nRange,
                                        &notes),
                  1);
        // Until its first reference epoch the late stream has nothing to add the differences to.
        EXPECT_EQ(notes.NoReference, k < 3 ? 3u : 0u);
    }
    // A log that stops part-way notes a full output.
    const loggen::Bytes epoch = loggen::RangeRecord(2295, 300021000, loggen::Epoch(sky, 1021.0));
    int32_t n = 0;
    ASSERT_EQ(RangeToRangeCmp4(pPacker.get(), epoch.data(), int32_t(epoch.size()), out.data(), int32_t(out.size()), &n),
              1);
    RANGECMP4_EXPAND_NOTES_T notes{};
    int32_t nRange = 0;
    EXPECT_EQ(RangeCmp4ToRangeNotes(pExpander.get(), out.data(), n, range.data(),
                                    int32_t(LOG_HEADER_LENGTH + 4 + 2 * sizeof(RANGE_OBS_T)), &nRange, &notes),
              0);
    EXPECT_EQ(notes.OutputFull, 1);
}
