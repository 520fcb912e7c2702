// A day of 1 Hz binary RANGECMP logs (12 GPS and 4 GLONASS satellites on two
// signals each, every ephemeris logged every 5 minutes), about 75 MB, made by
// the codec and converted to RINEX 3.04 observation and navigation files; and
// the source scan over the same file. The file is written once into
// $ZV_BENCH_DIR (default /tmp) and kept, so that a run under /usr/bin/time
// measures the conversion alone:
//   build/test/bench/bench_engine --benchmark_filter=RangeCmpDay
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "converter/engine/range_to_rinex.h"
#include "converter/engine/source_scan.h"
#include "support/log_generator.h"

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kStartMs = 86418000; // 2024-01-01 00:00:00 UTC

std::string BenchDir()
{
    const char* p = std::getenv("ZV_BENCH_DIR");
    return p && *p ? std::string(p) : std::string("/tmp");
}

// The day file, written when it is missing or was cut short.
std::string DayFile()
{
    const std::string sPath = BenchDir() + "/zv_rangecmp_day.log";
    const std::string sDone = sPath + ".done";
    struct stat st;
    if (stat(sDone.c_str(), &st) == 0 && stat(sPath.c_str(), &st) == 0)
        return sPath;
    FILE* f = std::fopen(sPath.c_str(), "wb");
    if (!f)
        return std::string();
    loggen::WriteRangeCmpDay(f, kWeek, kStartMs);
    std::fclose(f);
    if (FILE* d = std::fopen(sDone.c_str(), "wb"))
        std::fclose(d);
    return sPath;
}

long FileSize(const std::string& sPath)
{
    struct stat st;
    return stat(sPath.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

void BM_RangeCmpDayToRinex304(benchmark::State& state)
{
    const std::string sSrc = DayFile();
    if (sSrc.empty())
    {
        state.SkipWithError("cannot write the day file");
        return;
    }
    RinexObsHeader header{};
    header.nVersion = 304;
    header.nSysMask = 1 | 2;
    header.nObsTypeMask = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S;
    uint32_t aCodes[6][RINEX_SCAN_CODES] = {{0, 33096}, {1, 201}};
    uint32_t aCounts[6] = {2, 2};
    FillRinexObsTypes(aCodes, aCounts, &header);
    header.dInterval = 1.0;
    header.FirstObs.nWeek = header.LastObs.nWeek = kWeek;
    header.FirstObs.nMsOfWeek = kStartMs;
    header.LastObs.nMsOfWeek = kStartMs + 86399000;
    RinexNavHeader nav{};

    const std::string sDir = BenchDir();
    const std::string sObs = sDir + "/zv_rangecmp_day.24O";
    const std::string sGps = sDir + "/zv_rangecmp_day.24N";
    const std::string sGlo = sDir + "/zv_rangecmp_day.24G";
    RangeToRinexJob job;
    job.pSrcPath = sSrc.c_str();
    job.pObsPath = sObs.c_str();
    job.apNavPaths[GNSS_SYSTEM_GPS] = sGps.c_str();
    job.apNavPaths[GNSS_SYSTEM_GLONASS] = sGlo.c_str();
    job.nObsMessageId = MSG_ID_RANGECMP;
    job.nSysMask = 1 | 2;
    job.pObsHeader = &header;
    job.pNavHeader = &nav;
    RangeToRinexCounts counts{};
    for (auto _ : state)
    {
        const int nStatus = ConvertRangeLogToRinex(job, &counts);
        if (nStatus != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
    state.counters["epochs"] = counts.nEpochsWritten;
    state.counters["nav_records"] = counts.nEphemerides;
    state.counters["obs_MB"] = FileSize(sObs) / 1e6;
}
BENCHMARK(BM_RangeCmpDayToRinex304)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RangeCmpDayScan(benchmark::State& state)
{
    const std::string sSrc = DayFile();
    FILE* f = sSrc.empty() ? nullptr : std::fopen(sSrc.c_str(), "rb");
    if (!f)
    {
        state.SkipWithError("cannot read the day file");
        return;
    }
    for (auto _ : state)
    {
        SourceScanInfo scan{};
        uint32_t aTimes[4];
        CConvertContext context;
        benchmark::DoNotOptimize(ScanSourceLog(f, &scan, aTimes, 1, &context));
    }
    std::fclose(f);
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
}
BENCHMARK(BM_RangeCmpDayScan)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
