// A port's latest range observations, as its store takes each range log:
// every kind kept by source and antenna, the compressed ones expanded on
// arrival; a RANGECMP4 chain followed log by log at 20 Hz, refused from a
// start mid-chain and after lost logs until the next reference epoch; and
// logs that cannot give a whole epoch (malformed, unknown signal, too many
// observations) giving none, counted, never a part.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "monitor/parsing/latest_log_store.h"
#include "support/log_generator.h"
#include "support/profile_fixture.h"

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kStartMs = 345600000; // a whole second

// GPS on L1 and L2, Galileo on E1: RANGECMP4 carries each.
std::vector<loggen::Signal> Sky()
{
    std::vector<loggen::Signal> s;
    for (uint16_t n : {3, 7, 12, 19, 25})
        s.push_back({TRACK_SYS_GPS, 0, n, 0}), s.push_back({TRACK_SYS_GPS, 9, n, 0});
    for (uint16_t n : {4, 11})
        s.push_back({TRACK_SYS_GALILEO, 2, n, 0});
    return s;
}

loggen::Bytes Epoch(uint32_t nMs, uint16_t nId = MSG_ID_RANGE)
{
    return loggen::RangeRecord(kWeek, nMs, loggen::Epoch(Sky(), (nMs - kStartMs) / 1000.0), nId);
}

loggen::Bytes Pack4(RANGECMP4_CONTEXT_T* pPacker, const loggen::Bytes& range)
{
    loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    EXPECT_EQ(RangeToRangeCmp4(pPacker, range.data(), int32_t(range.size()), out.data(), int32_t(out.size()), &n), 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::vector<RANGE_OBS_T> Records(const loggen::Bytes& range)
{
    uint32_t n = 0;
    std::memcpy(&n, range.data() + LOG_HEADER_LENGTH, 4);
    std::vector<RANGE_OBS_T> v(n);
    if (n > 0)
        std::memcpy(v.data(), range.data() + LOG_HEADER_LENGTH + 4, n * sizeof(RANGE_OBS_T));
    return v;
}

// The codec's expansion of a compressed log, RANGECMP4 with the given stream.
std::vector<RANGE_OBS_T> Expansion(const loggen::Bytes& log, RANGECMP4_CONTEXT_T* pExpander = nullptr)
{
    loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    const int ok = pExpander != nullptr
                       ? RangeCmp4ToRange(pExpander, log.data(), int32_t(log.size()), out.data(), int32_t(out.size()), &n)
                       : RangeCmpToRange(log.data(), int32_t(log.size()), out.data(), int32_t(out.size()), &n);
    EXPECT_EQ(ok, 1);
    out.resize(static_cast<size_t>(n));
    return Records(out);
}

bool Same(const std::vector<RANGE_OBS_T>& a, const std::vector<RANGE_OBS_T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RANGE_OBS_T)) == 0);
}

// Every observation of the epoch, by satellite and signal, within the
// format's resolution (an independent look at the expansion).
void ExpectEpoch(const std::vector<RANGE_OBS_T>& shown, uint32_t nMs, const char* pWhat)
{
    const std::vector<RANGE_OBS_T> truth = loggen::Epoch(Sky(), (nMs - kStartMs) / 1000.0);
    ASSERT_EQ(shown.size(), truth.size()) << pWhat << " at " << nMs;
    for (const RANGE_OBS_T& t : truth)
    {
        bool bFound = false;
        for (const RANGE_OBS_T& o : shown)
        {
            if (o.Prn != t.Prn || (o.TrackingStatus >> 16 & 7) != (t.TrackingStatus >> 16 & 7) ||
                (o.TrackingStatus >> 21 & 31) != (t.TrackingStatus >> 21 & 31))
                continue;
            bFound = true;
            EXPECT_NEAR(o.Psr, t.Psr, 0.002) << pWhat << " PRN " << t.Prn << " at " << nMs;
            EXPECT_NEAR(o.Adr, t.Adr, 0.01) << pWhat << " PRN " << t.Prn << " at " << nMs;
        }
        EXPECT_TRUE(bFound) << pWhat << " PRN " << t.Prn << " at " << nMs;
    }
}

class RangeObservations : public ::testing::Test
{
protected:
    void Take(const loggen::Bytes& record) { m_Store.StoreLogRecord(record.data(), uint32_t(record.size())); }
    const CRangeObservations& Obs() const { return m_Store.RangeObservations(); }
    const RANGE_OBS_SET_T* Latest(RANGE_ANTENNA_E a = RANGE_ANTENNA_POSITION) const { return Obs().Latest(a); }

    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    QRangeData m_Store;
    std::unique_ptr<RANGECMP4_CONTEXT_T> m_pPacker = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::unique_ptr<RANGECMP4_CONTEXT_T> m_pPackerH = std::make_unique<RANGECMP4_CONTEXT_T>();
};

// A minimal RANGECMP4 bit stream written field by field.
struct BitStream
{
    std::vector<uint8_t> Data = std::vector<uint8_t>(64, 0);
    uint32_t Pos = 0;
    BitStream& Put(uint32_t nWidth, uint64_t v)
    {
        for (uint32_t i = 0; i < nWidth; ++i, ++Pos)
            if (v >> i & 1)
                Data[Pos / 8] |= static_cast<uint8_t>(1u << (Pos % 8));
        return *this;
    }
    loggen::Bytes Log(uint32_t nMs) const
    {
        const uint32_t n = (Pos + 7) / 8;
        loggen::Bytes r(LOG_HEADER_LENGTH + 4 + n);
        const BinaryLogHeader h = loggen::Header(MSG_ID_RANGECMP4, uint16_t(4 + n), kWeek, nMs);
        std::memcpy(r.data(), &h, sizeof h);
        std::memcpy(r.data() + LOG_HEADER_LENGTH, &n, 4);
        std::memcpy(r.data() + LOG_HEADER_LENGTH + 4, Data.data(), n);
        return r;
    }
};

// A satellite's reference record on the signal-mask bits given, of GPS
// (system bit 0: bit 1 is L1 C/A; bit 2 carries no signal of the tables) or
// Galileo (system bit 5: bit 1 is E1, bit 5 is E6, which a RANGE log has no
// signal type for).
loggen::Bytes Reference(uint32_t nMs, uint32_t nSystemBit, std::vector<uint32_t> Bits)
{
    BitStream b;
    uint16_t mask = 0;
    for (uint32_t bit : Bits)
        mask = static_cast<uint16_t>(mask | 1u << bit);
    b.Put(16, 1u << nSystemBit).Put(64, 1u << 4).Put(16, mask).Put(static_cast<uint32_t>(Bits.size()), (1u << Bits.size()) - 1);
    b.Put(1, 0).Put(3, 0);
    for (size_t k = 0; k < Bits.size(); ++k)
    {
        b.Put(1, 1).Put(1, 0).Put(11, 900).Put(4, 9).Put(4, 2).Put(4, 3);
        if (k == 0)
            b.Put(37, 44691357802ull).Put(23, 1234).Put(26, 56789);
        else
            b.Put(20, 4250).Put(23, 1234).Put(14, 12);
    }
    return b.Log(nMs);
}

loggen::Bytes GpsReference(uint32_t nMs, std::vector<uint32_t> Bits)
{
    return Reference(nMs, 0, std::move(Bits));
}
} // namespace

TEST_F(RangeObservations, EachKindIsKeptBySourceAndAntennaTheCompressedOnesExpandedOnArrival)
{
    EXPECT_EQ(Latest(), nullptr);
    const loggen::Bytes range = Epoch(kStartMs);
    const loggen::Bytes cmp = loggen::RangeCmpRecord(Epoch(kStartMs + 1000));
    const loggen::Bytes cmp4 = Pack4(m_pPacker.get(), Epoch(kStartMs + 2000));
    loggen::Bytes base = Epoch(kStartMs, MSG_ID_BASERANGE);
    // The second antenna's RANGEH and its compressed forms ("_1").
    const loggen::Bytes rangeH = Epoch(kStartMs + 3000, MSG_ID_RANGEH);
    const loggen::Bytes cmpH = loggen::RangeCmpRecord(Epoch(kStartMs + 4000, MSG_ID_RANGEH));
    const loggen::Bytes cmp4H = Pack4(m_pPackerH.get(), Epoch(kStartMs + 5000, MSG_ID_RANGEH));
    ASSERT_TRUE(cmpH[6] & LOG_TYPE_FROM_RANGEH);

    Take(range);
    ASSERT_NE(Latest(), nullptr);
    EXPECT_EQ(Latest()->SourceId, MSG_ID_RANGE);
    EXPECT_TRUE(Same(Latest()->Obs, Records(range)));
    Take(cmp);
    EXPECT_EQ(Latest()->SourceId, MSG_ID_RANGECMP);
    EXPECT_EQ(Latest()->Header.Milliseconds, kStartMs + 1000);
    EXPECT_TRUE(Same(Latest()->Obs, Expansion(cmp)));
    Take(cmp4);
    EXPECT_EQ(Latest()->SourceId, MSG_ID_RANGECMP4);
    auto pExpander = std::make_unique<RANGECMP4_CONTEXT_T>();
    EXPECT_TRUE(Same(Latest()->Obs, Expansion(cmp4, pExpander.get())));
    ExpectEpoch(Latest()->Obs, kStartMs + 2000, "RANGECMP4");
    // The base station's observations are no antenna's of this receiver.
    Take(base);
    EXPECT_EQ(Latest()->SourceId, MSG_ID_RANGECMP4);
    ASSERT_NE(Obs().FromLog(MSG_ID_BASERANGE), nullptr);
    EXPECT_TRUE(Same(Obs().FromLog(MSG_ID_BASERANGE)->Obs, Records(base)));

    EXPECT_EQ(Latest(RANGE_ANTENNA_SECOND), nullptr);
    Take(rangeH);
    Take(cmpH);
    EXPECT_EQ(Latest(RANGE_ANTENNA_SECOND)->SourceId, MSG_ID_RANGECMP);
    EXPECT_TRUE(Same(Latest(RANGE_ANTENNA_SECOND)->Obs, Expansion(cmpH)));
    Take(cmp4H);
    EXPECT_EQ(Latest(RANGE_ANTENNA_SECOND)->SourceId, MSG_ID_RANGECMP4);
    ExpectEpoch(Latest(RANGE_ANTENNA_SECOND)->Obs, kStartMs + 5000, "RANGECMP4 of RANGEH");
    EXPECT_TRUE(Same(Obs().FromLog(MSG_ID_RANGEH)->Obs, Records(rangeH)));

    // Each kind keeps its own latest, the position antenna's untouched by the second's.
    EXPECT_EQ(Latest()->SourceId, MSG_ID_RANGECMP4);
    EXPECT_TRUE(Same(Obs().FromLog(MSG_ID_RANGE)->Obs, Records(range)));
    EXPECT_TRUE(Same(Obs().FromLog(MSG_ID_RANGECMP)->Obs, Expansion(cmp)));
    EXPECT_TRUE(Same(Obs().FromLog(MSG_ID_RANGECMP, RANGE_ANTENNA_SECOND)->Obs, Expansion(cmpH)));
    for (uint32_t why = RANGE_REFUSED_MALFORMED; why < RANGE_REFUSAL_COUNT; ++why)
        EXPECT_EQ(Obs().Refused(RANGE_REFUSAL_E(why)), 0u) << why;

    // A text log takes the same road.
    const std::string text = loggen::Text(cmp, FormatRangeCmp);
    ASSERT_FALSE(text.empty());
    m_Store.StoreTextLog(text.data(), uint32_t(text.size() - 2));
    EXPECT_EQ(Obs().FromLog(MSG_ID_RANGECMP)->Updates, 2u);
    EXPECT_TRUE(Same(Latest()->Obs, Expansion(cmp)));
}

TEST_F(RangeObservations, ARangecmp4ChainIsFollowedLogByLogAndABrokenOneGivesNothingUntilItsNextReferenceEpoch)
{
    // 20 Hz: a reference epoch each whole second, differential ones between.
    const uint32_t kStep = 50;
    std::vector<loggen::Bytes> logs;
    for (uint32_t ms = kStartMs - 2000; ms < kStartMs + 12000; ms += kStep)
        logs.push_back(Pack4(m_pPacker.get(), Epoch(ms)));
    const auto msOf = [&](size_t i) { return kStartMs - 2000 + uint32_t(i) * kStep; };

    // Joined mid-chain: the differential epochs before the first whole
    // second have no reference here and give nothing.
    size_t i = 30;
    for (; msOf(i) % 1000 != 0; ++i)
    {
        Take(logs[i]);
        ASSERT_NE(Latest(), nullptr);
        EXPECT_TRUE(Latest()->Obs.empty()) << msOf(i);
        EXPECT_EQ(Latest()->Refusal, RANGE_REFUSED_NO_REFERENCE);
    }
    EXPECT_EQ(Obs().Refused(RANGE_REFUSED_NO_REFERENCE), 10u);
    // From the reference epoch on, every epoch whole, as the receiver measured it.
    for (; msOf(i) < kStartMs + 3000; ++i)
    {
        Take(logs[i]);
        ExpectEpoch(Latest()->Obs, msOf(i), "chain");
        ASSERT_EQ(Latest()->Refusal, RANGE_REFUSAL_NONE);
        ASSERT_EQ(Latest()->Header.Milliseconds, msOf(i));
    }
    const uint32_t before = Obs().Refused(RANGE_REFUSED_NO_REFERENCE);

    // Five seconds of logs lost, up to half a second past a reference epoch:
    // nothing from the broken chain, then the next reference epoch again.
    while (msOf(i) < kStartMs + 8500)
        ++i;
    for (; msOf(i) < kStartMs + 9000; ++i)
    {
        Take(logs[i]);
        EXPECT_TRUE(Latest()->Obs.empty()) << msOf(i);
    }
    EXPECT_EQ(Obs().Refused(RANGE_REFUSED_NO_REFERENCE), before + 10);
    for (; i < logs.size(); ++i)
    {
        Take(logs[i]);
        ExpectEpoch(Latest()->Obs, msOf(i), "after the loss");
    }
}

TEST_F(RangeObservations, AfterEightReferenceEpochsLostNoOlderReferenceIsTakenForTheOneMissed)
{
    // Block IDs count reference epochs modulo eight: eight lost ones leave
    // the port with references of the IDs the next differential epochs carry.
    std::vector<std::pair<uint32_t, loggen::Bytes>> logs;
    for (uint32_t ms = kStartMs; ms < kStartMs + 13000; ms += 50)
        logs.emplace_back(ms, Pack4(m_pPacker.get(), Epoch(ms)));
    for (const auto& [ms, log] : logs)
    {
        const bool bLost = ms >= kStartMs + 3200 && ms < kStartMs + 11500;
        if (bLost)
            continue;
        Take(log);
        SCOPED_TRACE(ms);
        if (ms >= kStartMs + 11500 && ms < kStartMs + 12000)
        {
            EXPECT_TRUE(Latest()->Obs.empty());
            EXPECT_EQ(Latest()->Refusal, RANGE_REFUSED_NO_REFERENCE);
        }
        else
            ExpectEpoch(Latest()->Obs, ms, "chain");
    }
}

TEST_F(RangeObservations, ALogThatCannotGiveAWholeEpochGivesNoneAndIsCounted)
{
    const loggen::Bytes good = Pack4(m_pPacker.get(), Epoch(kStartMs));
    struct CASE_T
    {
        const char* pWhat;
        loggen::Bytes Log;
        RANGE_REFUSAL_E Why;
    };
    std::vector<CASE_T> cases;
    // A bit stream that ends before its masks' records do.
    loggen::Bytes cut = good;
    {
        uint32_t n = 0;
        std::memcpy(&n, cut.data() + LOG_HEADER_LENGTH, 4);
        n -= 9;
        std::memcpy(cut.data() + LOG_HEADER_LENGTH, &n, 4);
        const uint16_t nLength = uint16_t(4 + n);
        std::memcpy(cut.data() + 8, &nLength, 2);
        cut.resize(LOG_HEADER_LENGTH + 4 + n);
    }
    cases.push_back({"cut RANGECMP4", cut, RANGE_REFUSED_MALFORMED});
    // A RANGECMP whose count runs past its body.
    loggen::Bytes cmp = loggen::RangeCmpRecord(Epoch(kStartMs));
    const uint32_t nMore = 40;
    std::memcpy(cmp.data() + LOG_HEADER_LENGTH, &nMore, 4);
    cases.push_back({"RANGECMP count past its body", cmp, RANGE_REFUSED_MALFORMED});
    // L1 C/A beside a signal the tables do not have: not L1 C/A alone.
    ASSERT_EQ(Expansion(GpsReference(kStartMs, {1}), m_pPackerH.get()).size(), 1u);
    cases.push_back({"unknown signal", GpsReference(kStartMs, {1, 2}), RANGE_REFUSED_UNKNOWN_SIGNAL});
    // More observations than a RANGE log holds.
    std::vector<RANGE_OBS_T> many(RANGE_MAX_OBS + 1, loggen::Epoch(Sky(), 0.0)[0]);
    loggen::Bytes manyCmp(LOG_HEADER_LENGTH + 4 + many.size() * sizeof(RANGECMP_OBS_T));
    {
        const BinaryLogHeader h =
            loggen::Header(MSG_ID_RANGECMP, uint16_t(manyCmp.size() - LOG_HEADER_LENGTH), kWeek, kStartMs);
        std::memcpy(manyCmp.data(), &h, sizeof h);
        const uint32_t n = uint32_t(many.size());
        std::memcpy(manyCmp.data() + LOG_HEADER_LENGTH, &n, 4);
        const loggen::Bytes one = loggen::RangeCmpRecord(Epoch(kStartMs));
        for (uint32_t k = 0; k < n; ++k)
            std::memcpy(manyCmp.data() + LOG_HEADER_LENGTH + 4 + k * 24, one.data() + LOG_HEADER_LENGTH + 4, 24);
    }
    cases.push_back({"RANGECMP of too many", manyCmp, RANGE_REFUSED_TOO_MANY});

    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.pWhat);
        Take(Epoch(kStartMs - 1000));
        ASSERT_FALSE(Latest()->Obs.empty());
        const uint32_t before = Obs().Refused(c.Why);
        Take(c.Log);
        ASSERT_NE(Latest(), nullptr);
        EXPECT_NE(Latest()->SourceId, MSG_ID_RANGE);
        EXPECT_TRUE(Latest()->Obs.empty());
        EXPECT_EQ(Latest()->Refusal, c.Why);
        EXPECT_EQ(Obs().Refused(c.Why), before + 1);
    }
    // A RANGECMP4 that did not read starts the chain again: the next
    // differential epoch gives nothing, the next reference epoch all.
    Take(good);
    ASSERT_FALSE(Latest()->Obs.empty());
    Take(cut);
    Take(Pack4(m_pPacker.get(), Epoch(kStartMs + 50)));
    EXPECT_EQ(Latest()->Refusal, RANGE_REFUSED_NO_REFERENCE);
    Take(Pack4(m_pPacker.get(), Epoch(kStartMs + 1000)));
    ExpectEpoch(Latest()->Obs, kStartMs + 1000, "next reference");
}

// A receiver that tracks Galileo E6 sends it in RANGECMP4, whose RANGE form
// has no signal type for it: the epoch is kept without the E6 records, which
// are counted, rather than refused and every view left blank.
TEST_F(RangeObservations, ASignalARangeLogCannotCarryIsLeftOutOfAnEpochThatIsKept)
{
    const uint64_t before = Obs().LeftOutNoRangeSignal();
    Take(Reference(kStartMs, 5, {1, 5}));
    ASSERT_NE(Latest(), nullptr);
    EXPECT_EQ(Latest()->Refusal, RANGE_REFUSAL_NONE);
    ASSERT_EQ(Latest()->Obs.size(), 1u);
    EXPECT_EQ(Latest()->Obs[0].Prn, 5u);
    EXPECT_EQ(Obs().LeftOutNoRangeSignal(), before + 1);
    for (uint32_t r = 0; r < RANGE_REFUSAL_COUNT; ++r)
        EXPECT_EQ(Obs().Refused(static_cast<RANGE_REFUSAL_E>(r)), 0u) << r;
}
