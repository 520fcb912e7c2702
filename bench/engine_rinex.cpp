// Throughput of the RINEX writers on a busy epoch: 48 satellites of four
// systems with three signals each, as a 20 Hz multi-GNSS receiver gives them.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "codec/signals.h"
#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_epoch.h"

namespace
{
struct BusyEpoch
{
    RinexObsHeader header{};
    ConvertState state{};
    std::vector<EpochIndexEntry> index;

    explicit BusyEpoch(int32_t nVersion)
    {
        const uint32_t codes[4][3] = {{0, 33096, 2128}, {1, 201, 9}, {130, 2506, 2514}, {3, 19, 11}};
        uint32_t aCodes[6][RINEX_SCAN_CODES] = {};
        uint32_t aCounts[6] = {};
        for (uint32_t s = 0; s < 4; ++s)
        {
            for (uint32_t k = 0; k < 3; ++k)
                aCodes[s][k] = codes[s][k];
            aCounts[s] = 3;
        }
        header.nVersion = nVersion;
        header.nSysMask = 15;
        header.nObsTypeMask = RINEX_OBS_WRITTEN;
        header.FirstObs.nWeek = 2295;
        FillRinexObsTypes(aCodes, aCounts, &header);
        std::vector<char> text(RINEX_HEADER_TEXT_CAPACITY);
        WriteRinexObsHeader(&header, 0, text.data(), static_cast<uint32_t>(text.size()));
        for (uint32_t s = 0; s < 4; ++s)
            for (uint8_t sat = 1; sat <= 12; ++sat)
            {
                EpochIndexEntry e{};
                e.Sat.nSystem = static_cast<uint8_t>(s);
                e.Sat.nSatNumber = sat;
                for (uint32_t k = 0; k < 3; ++k)
                {
                    ObsSignalSlot& slot = e.Slots[e.nSlotCount++];
                    slot.nObsCode = static_cast<uint16_t>(codes[s][k]);
                    slot.dPseudorange = 21000000.0 + sat * 1000.123 + k;
                    slot.dCarrierPhase = 110000000.0 + sat * 5000.456 + k;
                    slot.fDoppler = -1000.25f + sat;
                    slot.nCn0 = 4500;
                    slot.nLockTime = 100;
                }
                index.push_back(e);
            }
        state.nWeek = 2295;
        state.nMsOfWeek = 86418000;
        state.nSatCount = static_cast<uint16_t>(index.size());
    }
};

void WriteEpoch(benchmark::State& st, int32_t nVersion)
{
    BusyEpoch epoch(nVersion);
    auto pLocks = std::make_unique<RinexLockHistory>();
    // Made once from the header, as a job makes it.
    auto pLayout = std::make_unique<RinexEpochLayout>();
    PrepareRinexEpochLayout(&epoch.header, pLayout.get());
    std::vector<char> text(RINEX_EPOCH_TEXT_CAPACITY);
    int64_t nBytes = 0;
    for (auto _ : st)
    {
        epoch.state.nMsOfWeek += 50;
        const int n = WriteRinexObsEpoch(&epoch.state, epoch.index.data(), *pLayout, pLocks.get(), text.data(),
                                         static_cast<uint32_t>(text.size()));
        benchmark::DoNotOptimize(n);
        nBytes += n;
    }
    st.SetItemsProcessed(st.iterations());
    st.SetBytesProcessed(nBytes);
}

void BM_RinexEpoch304(benchmark::State& st) { WriteEpoch(st, 304); }
void BM_RinexEpoch211(benchmark::State& st) { WriteEpoch(st, 211); }

void BM_RinexDouble(benchmark::State& st)
{
    char sz[32];
    double d = 1.2345678901234e-7;
    for (auto _ : st)
    {
        d *= 1.0000001;
        benchmark::DoNotOptimize(FormatRinexDouble(d, 19, 12, 2, 'D', sz));
    }
    st.SetItemsProcessed(st.iterations());
}
} // namespace

BENCHMARK(BM_RinexEpoch304);
BENCHMARK(BM_RinexEpoch211);
BENCHMARK(BM_RinexDouble);
