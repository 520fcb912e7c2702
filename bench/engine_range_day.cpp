// A day of 1 Hz binary RANGECMP logs of every system (GPS, GLONASS, Galileo,
// BeiDou and QZSS, 17 satellites on two signals each, every ephemeris logged
// every 5 minutes), about 74 MB, made by the codec and converted to RINEX 3.04
// and 2.11 observation and navigation files; beside it the I/O floor of the
// same job (reading the source from the page cache and writing as many bytes
// as the job writes into a new file, on the disk before it is closed, as the
// job's outputs are before they take their place), the job's peak resident
// memory on the whole day and on its first two hours, and the source scan.
// The sources are written once into $ZV_BENCH_DIR (default /tmp) and kept.
// The job and the scan use the cores they may run on, so the one-core figure
// is the same program under taskset (bench_converter takes the day through
// the window, scan and job together):
//   build/release/bench/bench_engine --benchmark_filter=EveryGnssDay
//   taskset -c 0 build/release/bench/bench_engine --benchmark_filter=EveryGnssDay
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "converter/engine/range_to_rinex.h"
#include "converter/engine/source_scan.h"
#include "day_source.h"

namespace
{
using namespace daybench;

// The job of a day file with the header records the window would give it.
struct DayJob
{
    RinexObsHeader header{};
    RinexNavHeader nav{};
    std::string sObs;
    std::string asNav[GNSS_SYSTEM_COUNT];
    RangeToRinexJob job;

    DayJob(const std::string& sSrc, int32_t nVersion, uint32_t nEpochs)
    {
        header.nVersion = nVersion;
        header.nSysMask = 1 | 2 | 4 | 8 | 32;
        header.nObsTypeMask = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S;
        uint32_t aCodes[6][RINEX_SCAN_CODES] = {{0, 33096}, {1, 201}, {2306, 2506}, {3, 19}, {}, {5, 525}};
        uint32_t aCounts[6] = {2, 2, 2, 2, 0, 2};
        FillRinexObsTypes(aCodes, aCounts, &header);
        header.dInterval = 1.0;
        header.FirstObs.nWeek = header.LastObs.nWeek = kWeek;
        header.FirstObs.nMsOfWeek = kStartMs;
        header.LastObs.nMsOfWeek = kStartMs + (nEpochs - 1) * 1000;
        const std::string sBase = BenchDir() + "/zv_every_gnss_out";
        const char cYear = nVersion >= 300 ? '3' : '2';
        sObs = sBase + cYear + ".24O";
        const char* apTypes[GNSS_SYSTEM_COUNT] = {"N", "G", "L", "C", "", "J"};
        job.pSrcPath = sSrc.c_str();
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        {
            asNav[s] = *apTypes[s] ? sBase + cYear + ".24" + apTypes[s] : std::string();
            job.apNavPaths[s] = asNav[s].c_str();
        }
        job.pObsPath = sObs.c_str();
        job.nObsMessageId = MSG_ID_RANGECMP;
        job.nSysMask = header.nSysMask;
        job.pObsHeader = &header;
        job.pNavHeader = &nav;
    }

    // The outputs of an earlier run are removed, so that the job writes new
    // files as on a first run and not over a page cache it must drop first.
    void RemoveOutputs() const
    {
        unlink(sObs.c_str());
        for (const std::string& s : asNav)
            if (!s.empty())
                unlink(s.c_str());
    }

    long OutputBytes() const
    {
        long n = FileSize(sObs);
        for (const std::string& s : asNav)
            n += s.empty() ? 0 : FileSize(s);
        return n;
    }
};

void DayToRinex(benchmark::State& state, int32_t nVersion)
{
    const std::string sSrc = DayFile();
    if (sSrc.empty())
    {
        state.SkipWithError("cannot write the day file");
        return;
    }
    DayJob day(sSrc, nVersion, 86400);
    RangeToRinexCounts counts{};
    for (auto _ : state)
    {
        state.PauseTiming();
        day.RemoveOutputs();
        state.ResumeTiming();
        if (ConvertRangeLogToRinex(day.job, &counts) != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
    state.counters["epochs"] = counts.nEpochsWritten;
    state.counters["nav_records"] = counts.nEphemerides;
    state.counters["source_MB"] = FileSize(sSrc) / 1e6;
    state.counters["output_MB"] = day.OutputBytes() / 1e6;
}

// Rates by the wall clock: the job's threads do the work, not the caller's.
void BM_EveryGnssDayToRinex304(benchmark::State& state) { DayToRinex(state, 304); }
BENCHMARK(BM_EveryGnssDayToRinex304)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

void BM_EveryGnssDayToRinex211(benchmark::State& state) { DayToRinex(state, 211); }
BENCHMARK(BM_EveryGnssDayToRinex211)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->UseRealTime();

// What no conversion of the day can beat: the source read in the job's 64 KB
// blocks and as many bytes written as the RINEX 3.04 job writes, and put on
// the disk (the job's outputs must exist: run the conversion first).
void BM_EveryGnssDayIoFloor(benchmark::State& state)
{
    const std::string sSrc = DayFile();
    DayJob day(sSrc, 304, 86400);
    const long nOut = day.OutputBytes();
    if (sSrc.empty() || nOut == 0)
    {
        state.SkipWithError("convert the day first");
        return;
    }
    const std::string sOut = BenchDir() + "/zv_every_gnss_floor.out";
    for (auto _ : state)
        if (!ReadSourceWriteOutput(sSrc, sOut, nOut))
        {
            state.SkipWithError("cannot open the files");
            break;
        }
    state.counters["output_MB"] = nOut / 1e6;
}
BENCHMARK(BM_EveryGnssDayIoFloor)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// Peak resident memory of the RINEX 3.04 job alone, run in a child process:
// on the whole day and on its first two hours, which must be the same.
void BM_EveryGnssDayPeakMemory(benchmark::State& state)
{
    const uint32_t nEpochs = static_cast<uint32_t>(state.range(0));
    const std::string sSrc = DayFile(nEpochs);
    if (sSrc.empty())
    {
        state.SkipWithError("cannot write the source");
        return;
    }
    long nMaxKb = 0;
    for (auto _ : state)
    {
        DayJob day(sSrc, 304, nEpochs);
        day.RemoveOutputs();
        const pid_t pid = fork();
        if (pid == 0)
            _exit(ConvertRangeLogToRinex(day.job) == 0 ? 0 : 1);
        int nStatus = 0;
        struct rusage usage
        {
        };
        if (pid < 0 || wait4(pid, &nStatus, 0, &usage) != pid || !WIFEXITED(nStatus) || WEXITSTATUS(nStatus) != 0)
            state.SkipWithError("the job failed");
        nMaxKb = usage.ru_maxrss;
    }
    state.counters["peak_RSS_MB"] = nMaxKb / 1024.0;
    state.counters["source_MB"] = FileSize(sSrc) / 1e6;
}
BENCHMARK(BM_EveryGnssDayPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(7200)->Arg(86400);

// The source scan, on the cores it may run on (0) and on the calling thread
// alone (1).
void BM_EveryGnssDayScan(benchmark::State& state)
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
        benchmark::DoNotOptimize(ScanSourceLog(f, &scan, aTimes, 1, &context, static_cast<uint32_t>(state.range(0))));
    }
    std::fclose(f);
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
}
BENCHMARK(BM_EveryGnssDayScan)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime();
} // namespace
