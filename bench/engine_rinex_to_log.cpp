// Ten minutes of 20 Hz data (12 000 epochs of 12 GPS and 4 GLONASS satellites
// on two signals each): the binary RANGE logs (about 17 MB) and the RINEX
// 3.04 observation file made from them, written once into $ZV_BENCH_DIR
// (default /tmp) and kept. Measured: the RINEX file read back into RANGE text
// logs, and the log-to-log kinds that compress to RANGECMP4 and turn binary
// logs into text, each writing to /dev/null.
//   build/test/bench/bench_engine --benchmark_filter=TwentyHz
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

#include "converter/engine/convert_context.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/log_to_log.h"
#include "converter/engine/range_to_rinex.h"
#include "converter/engine/rinex_readers.h"
#include "support/log_generator.h"

namespace
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kStartMs = 86418000;
constexpr uint32_t kEpochs = 12000;
constexpr uint32_t kStepMs = 50;

std::string BenchDir()
{
    const char* p = std::getenv("ZV_BENCH_DIR");
    return p && *p ? std::string(p) : std::string("/tmp");
}

long FileSize(const std::string& sPath)
{
    struct stat st;
    return stat(sPath.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

bool Exists(const std::string& sPath)
{
    struct stat st;
    return stat(sPath.c_str(), &st) == 0;
}

// The binary RANGE source, written when missing.
std::string RangeFile()
{
    const std::string sPath = BenchDir() + "/zv_range_20hz.log";
    if (Exists(sPath + ".done"))
        return sPath;
    FILE* f = std::fopen(sPath.c_str(), "wb");
    if (!f)
        return std::string();
    const std::vector<loggen::Signal> sigs = loggen::Constellation(12, 4);
    for (uint32_t k = 0; k < kEpochs; ++k)
    {
        const loggen::Bytes log =
            loggen::Binary(loggen::RangeRecord(kWeek, kStartMs + k * kStepMs, loggen::Epoch(sigs, k * 0.05)));
        std::fwrite(log.data(), 1, log.size(), f);
    }
    std::fclose(f);
    if (FILE* d = std::fopen((sPath + ".done").c_str(), "wb"))
        std::fclose(d);
    return sPath;
}

// The RINEX 3.04 observation file of the source, written when missing.
std::string RinexFile()
{
    const std::string sSrc = RangeFile();
    const std::string sObs = BenchDir() + "/zv_range_20hz.24O";
    if (sSrc.empty() || Exists(sObs + ".done"))
        return sSrc.empty() ? std::string() : sObs;
    RinexObsHeader header{};
    header.nVersion = 304;
    std::snprintf(header.szFileType, sizeof(header.szFileType), "%s", "OBSERVATION DATA");
    header.nSysMask = 1 | 2;
    header.nObsTypeMask = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S;
    uint32_t aCodes[6][RINEX_SCAN_CODES] = {{0, 33096}, {1, 201}};
    uint32_t aCounts[6] = {2, 2};
    FillRinexObsTypes(aCodes, aCounts, &header);
    header.dInterval = kStepMs / 1000.0;
    header.FirstObs.nWeek = header.LastObs.nWeek = kWeek;
    header.FirstObs.nMsOfWeek = kStartMs;
    header.LastObs.nMsOfWeek = kStartMs + (kEpochs - 1) * kStepMs;
    RinexNavHeader nav{};
    RangeToRinexJob job;
    job.pSrcPath = sSrc.c_str();
    job.pObsPath = sObs.c_str();
    job.nObsMessageId = MSG_ID_RANGE;
    job.nSysMask = 1 | 2;
    job.pObsHeader = &header;
    job.pNavHeader = &nav;
    if (ConvertRangeLogToRinex(job) != 0)
        return std::string();
    if (FILE* d = std::fopen((sObs + ".done").c_str(), "wb"))
        std::fclose(d);
    return sObs;
}

void BM_TwentyHzRinex304ToRange(benchmark::State& state)
{
    const std::string sObs = RinexFile();
    if (sObs.empty())
    {
        state.SkipWithError("cannot write the source files");
        return;
    }
    for (auto _ : state)
    {
        FILE* pIn = std::fopen(sObs.c_str(), "rb");
        FILE* pOut = std::fopen("/dev/null", "wb");
        CConvertContext context;
        context.SetRinexToLogFile(pOut);
        if (ConvertRinexObsToRange(pIn, 0, &context) != 0)
            state.SkipWithError("reading failed");
        std::fclose(pIn);
        std::fclose(pOut);
    }
    state.SetBytesProcessed(state.iterations() * FileSize(sObs));
    state.counters["epochs_per_s"] =
        benchmark::Counter(double(kEpochs) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TwentyHzRinex304ToRange)->Unit(benchmark::kMillisecond)->Iterations(1);

void LogToLog(benchmark::State& state, LOG2LOG_KIND_E nKind)
{
    const std::string sSrc = RangeFile();
    if (sSrc.empty())
    {
        state.SkipWithError("cannot write the source file");
        return;
    }
    for (auto _ : state)
    {
        FILE* pIn = std::fopen(sSrc.c_str(), "rb");
        FILE* pOut = std::fopen("/dev/null", "wb");
        if (ConvertLogToLog(pIn, pOut, nKind, 1, nullptr, nullptr) != 0)
            state.SkipWithError("conversion failed");
        std::fclose(pIn);
        std::fclose(pOut);
    }
    state.SetBytesProcessed(state.iterations() * FileSize(sSrc));
    state.counters["epochs_per_s"] =
        benchmark::Counter(double(kEpochs) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_TwentyHzRangeToRangeCmp4(benchmark::State& state) { LogToLog(state, LOG2LOG_RANGE_TO_RANGECMP4); }
BENCHMARK(BM_TwentyHzRangeToRangeCmp4)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TwentyHzBinaryToText(benchmark::State& state) { LogToLog(state, LOG2LOG_TO_TEXT); }
BENCHMARK(BM_TwentyHzBinaryToText)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
