#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "codec/signal_map.h"
#include "converter/engine/range_epoch.h"
#include "range_source_fixture.h"

namespace
{
using loggen::Signal;

struct Store
{
    std::unique_ptr<EpochStore> pStore = std::make_unique<EpochStore>();
    std::vector<EpochIndexEntry> index = std::vector<EpochIndexEntry>(OBS_MAX_SATS);
    Store() { ResetConvertState(pStore.get(), 1); }

    int Range(const loggen::Bytes& record, uint32_t nMask = 0xFF)
    {
        return RangeToObsEpoch(record.data(), static_cast<uint32_t>(record.size()), nMask, SIGNAL_MODE_DEFAULT,
                               pStore.get(), index.data());
    }
};

RANGE_OBS_T Obs(uint8_t nSys, uint8_t nType, uint16_t nId, uint16_t nFreq = 0, bool bPhase = true, bool bCode = true)
{
    return loggen::Observation(Signal{nSys, nType, nId, nFreq}, 0, 21000000.125, -1000.25f, 45.25f, 12.75f, bPhase,
                               bCode);
}

TEST(RangeEpoch, FillsSlotsAndIndexesSatellitesInTableOrder)
{
    std::vector<RANGE_OBS_T> obs = {
        Obs(TRACK_SYS_QZSS, 0, 193),
        Obs(TRACK_SYS_GPS, 0, 5),
        Obs(TRACK_SYS_GPS, 9, 5, 0, false),       // phase not locked
        Obs(TRACK_SYS_GPS, 0, 7, 0, true, false), // code not locked
        Obs(TRACK_SYS_GPS, 3, 9),                 // a signal type without observation code
        Obs(TRACK_SYS_SBAS, 0, 130),              // never converted
        Obs(TRACK_SYS_GLONASS, 0, 40, 12),        // slot 3, channel +5
        Obs(TRACK_SYS_GALILEO, 1, 11),
    };
    // Six signals of one satellite: the sixth does not fit its five slots.
    for (uint8_t nType : {0, 5, 9, 14, 17, 16})
        obs.push_back(Obs(TRACK_SYS_GPS, nType, 12));
    Store s;
    const int n = s.Range(loggen::RangeRecord(kWeek, kDayMs, obs), 1 | 2 | 32);
    ASSERT_EQ(n, 5);
    const ConvertState& st = *GetConvertState(s.pStore.get());
    EXPECT_EQ(st.nWeek, kWeek);
    EXPECT_EQ(st.nMsOfWeek, kDayMs);
    EXPECT_EQ(st.nTimeStatus, loggen::kFineSteering);
    EXPECT_EQ(st.nSatCount, 5u);
    EXPECT_EQ(st.nSignalCount, 2u + 1 + 5 + 1 + 1);
    EXPECT_EQ(st.aSatsPerSystem[GNSS_SYSTEM_GPS], 3u);
    EXPECT_EQ(st.aSatsPerSystem[GNSS_SYSTEM_GLONASS], 1u);
    EXPECT_EQ(st.aSatsPerSystem[GNSS_SYSTEM_GALILEO], 0u);
    EXPECT_EQ(st.aSatsPerSystem[GNSS_SYSTEM_QZSS], 1u);
    EXPECT_EQ(st.nFlag, 0u);

    const uint32_t aSystems[] = {0, 0, 0, 1, 5};
    const uint32_t aNumbers[] = {5, 7, 12, 3, 1};
    for (int i = 0; i < n; ++i)
    {
        EXPECT_EQ(s.index[i].Sat.nSystem, aSystems[i]) << i;
        EXPECT_EQ(s.index[i].Sat.nSatNumber, aNumbers[i]) << i;
    }
    const EpochIndexEntry& g05 = s.index[0];
    ASSERT_EQ(g05.nSlotCount, 2u);
    EXPECT_EQ(g05.Slots[0].nObsCode, 0u);
    EXPECT_DOUBLE_EQ(g05.Slots[0].dPseudorange, 21000000.125);
    EXPECT_DOUBLE_EQ(g05.Slots[0].dCarrierPhase, -obs[1].Adr);
    EXPECT_EQ(g05.Slots[0].nLockTime, 12u);
    EXPECT_EQ(g05.Slots[0].nFlags, 0u);
    EXPECT_EQ(g05.Slots[0].nCn0, 4525u);
    EXPECT_FLOAT_EQ(g05.Slots[0].fDoppler, -1000.25f);
    EXPECT_EQ(g05.Slots[1].nObsCode, 33096u);
    EXPECT_EQ(g05.Slots[1].nLockTime, 0u);
    EXPECT_EQ(g05.Slots[1].nFlags, uint32_t(OBS_FLAG_PHASE_UNLOCKED));
    EXPECT_EQ(s.index[1].Slots[0].dPseudorange, 0.0);
    EXPECT_EQ(s.index[2].nSlotCount, 5u);
    EXPECT_EQ(s.index[3].Sat.nGloFreq, 12u);
    EXPECT_EQ(s.index[3].Slots[0].nObsCode, 1u);

    // The next epoch holds only what its log holds.
    ASSERT_EQ(s.Range(loggen::RangeRecord(kWeek, kDayMs + 1000, {Obs(TRACK_SYS_GLONASS, 0, 40, 12)})), 1);
    EXPECT_EQ(s.index[0].Sat.nSystem, uint32_t(GNSS_SYSTEM_GLONASS));
    EXPECT_EQ(GetConvertState(s.pStore.get())->nEpochCount, 2u);
}

TEST(RangeEpoch, RefusesARecordShorterThanItsCount)
{
    loggen::Bytes record = loggen::RangeRecord(kWeek, kDayMs, {Obs(TRACK_SYS_GPS, 0, 5), Obs(TRACK_SYS_GPS, 0, 6)});
    Store s;
    record.resize(record.size() - 1);
    EXPECT_EQ(s.Range(record), -1);
    EXPECT_EQ(s.Range(loggen::Bytes(20)), -1);
}

TEST(RangeEpoch, ReadsTheCompressedFieldsOfRangeCmp)
{
    RANGECMP_OBS_T c{};
    c.TrackingStatus = loggen::TrackingStatus(Signal{TRACK_SYS_GPS, 0, 5, 0}, true, true, 0);
    const uint64_t nPsr = 2688000000u; // 21000000 m in 1/128 m
    const int32_t nDoppler = -256000;  // -1000 Hz in 1/256 Hz
    c.DopplerPsrLow = (static_cast<uint32_t>(nDoppler) & 0x0FFFFFFFu) | static_cast<uint32_t>(nPsr & 15) << 28;
    c.PsrHigh = static_cast<uint32_t>(nPsr >> 4);
    c.FoldedAdr = 256 * 1000;
    c.StdDevIndex = 0x32;
    c.Prn = 5;
    c.LockCnoGlo = 320u | 25u << 21; // 10 s, 45 dB-Hz
    loggen::Bytes record(LOG_HEADER_LENGTH + 4 + sizeof(c));
    const BinaryLogHeader h = loggen::Header(MSG_ID_RANGECMP, 4 + sizeof(c), kWeek, kDayMs);
    const uint32_t nCount = 1;
    std::memcpy(record.data(), &h, sizeof(h));
    std::memcpy(record.data() + sizeof(h), &nCount, 4);
    std::memcpy(record.data() + sizeof(h) + 4, &c, sizeof(c));

    Store s;
    ASSERT_EQ(RangeCmpToObsEpoch(record.data(), static_cast<uint32_t>(record.size()), 0xFF, SIGNAL_MODE_DEFAULT,
                                 s.pStore.get(), s.index.data()),
              1);
    const ObsSignalSlot& slot = s.index[0].Slots[0];
    EXPECT_DOUBLE_EQ(slot.dPseudorange, 21000000.0);
    EXPECT_FLOAT_EQ(slot.fDoppler, -1000.0f);
    EXPECT_EQ(slot.nCn0, 4500u);
    EXPECT_EQ(slot.nLockTime, 10u);
    EXPECT_FLOAT_EQ(slot.fPsrStd, 0.113f);
    EXPECT_FLOAT_EQ(slot.fPhaseStd, 4.0f / 512.0f);
    // Phase = -(folded ADR - roll-overs x 2^23), the roll-overs from the pseudorange.
    const int32_t nRolls = PhaseCyclesFromMetres(c.TrackingStatus, 5, 0, 21000000.0, 1000.0);
    EXPECT_DOUBLE_EQ(slot.dCarrierPhase, -(1000.0 - nRolls * 8388608.0));
    EXPECT_EQ(nRolls, 13);
}

TEST(RangeEpoch, IndexLeavesOutSlotsWithoutCodeOrMarkedUnusable)
{
    Store s;
    EpochStore& st = *s.pStore;
    ObsSatEntry* pSats = GetObsSatTable(&st);
    ObsSignalSlot* pSlots = GetObsSignalTable(&st);
    auto fill = [&](uint32_t nEntry, uint32_t j, uint16_t nCode, uint32_t nFlags)
    {
        pSats[nEntry].nSatNumber = static_cast<uint8_t>(nEntry % 64 + 1);
        pSats[nEntry].nSystem = static_cast<uint8_t>(nEntry / 64);
        ObsSignalSlot& slot = pSlots[nEntry * OBS_SIGNALS_PER_SAT + j];
        slot.nSatNumber = pSats[nEntry].nSatNumber;
        slot.nObsCode = nCode;
        slot.nFlags = nFlags;
    };
    fill(4, 0, OBS_CODE_NONE, 0); // only a signal without code: no satellite at all
    fill(6, 0, 0, 3);             // only an unusable slot
    fill(6, 1, 33096, 1);
    fill(64 + 2, 2, 1, 0); // GLONASS slot 3, in its third slot
    ASSERT_EQ(BuildEpochIndex(&st, s.index.data()), 2);
    EXPECT_EQ(s.index[0].Sat.nSatNumber, 7u);
    ASSERT_EQ(s.index[0].nSlotCount, 1u);
    EXPECT_EQ(s.index[0].Slots[0].nObsCode, 33096u);
    EXPECT_EQ(s.index[1].Sat.nSystem, uint32_t(GNSS_SYSTEM_GLONASS));
    EXPECT_EQ(GetConvertState(&st)->nSignalCount, 2u);
}
} // namespace
