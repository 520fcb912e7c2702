// The day the converter's benchmarks convert: 1 Hz binary RANGECMP logs of
// every system (GPS, GLONASS, Galileo, BeiDou and QZSS, 17 satellites on two
// signals each, every ephemeris logged every 5 minutes), about 74 MB, made by
// the codec and written once into $ZV_BENCH_DIR (default /tmp), where it is
// kept; and the I/O floor of converting it: what no conversion can beat.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/log_generator.h"

namespace daybench
{
constexpr uint16_t kWeek = 2295;
constexpr uint32_t kStartMs = 86418000; // 2024-01-01 00:00:00 UTC

inline std::string BenchDir()
{
    const char* p = std::getenv("ZV_BENCH_DIR");
    return p && *p ? std::string(p) : std::string("/tmp");
}

inline long FileSize(const std::string& sPath)
{
    struct stat st;
    return stat(sPath.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// The source of nEpochs, written when it is missing or was cut short.
inline std::string DayFile(uint32_t nEpochs = 86400)
{
    const std::string sPath = BenchDir() + "/zv_every_gnss_" + std::to_string(nEpochs) + ".log";
    const std::string sDone = sPath + ".done";
    struct stat st;
    if (stat(sDone.c_str(), &st) == 0 && stat(sPath.c_str(), &st) == 0)
        return sPath;
    FILE* f = std::fopen(sPath.c_str(), "wb");
    if (!f)
        return std::string();
    loggen::WriteEveryGnssDay(f, kWeek, kStartMs, nEpochs);
    std::fclose(f);
    if (FILE* d = std::fopen(sDone.c_str(), "wb"))
        std::fclose(d);
    return sPath;
}

// The I/O floor: the source read in the job's 64 KB blocks and nOutBytes
// written into a new file sOut and put on the disk before it is closed, as
// the job's outputs are before they take their place. False when a file
// cannot be opened.
inline bool ReadSourceWriteOutput(const std::string& sSrc, const std::string& sOut, long nOutBytes)
{
    unlink(sOut.c_str());
    FILE* pIn = std::fopen(sSrc.c_str(), "rb");
    FILE* pOut = std::fopen(sOut.c_str(), "wb");
    if (!pIn || !pOut)
    {
        if (pIn)
            std::fclose(pIn);
        if (pOut)
            std::fclose(pOut);
        return false;
    }
    std::vector<char> block(65536);
    size_t nRead;
    volatile uint64_t nSum = 0;
    while ((nRead = std::fread(block.data(), 1, block.size(), pIn)) > 0)
        nSum = nSum + static_cast<unsigned char>(block[nRead - 1]);
    for (long nLeft = nOutBytes; nLeft > 0; nLeft -= static_cast<long>(block.size()))
        std::fwrite(block.data(), 1, nLeft < long(block.size()) ? size_t(nLeft) : block.size(), pOut);
    std::fflush(pOut);
    fsync(fileno(pOut));
    std::fclose(pIn);
    std::fclose(pOut);
    return true;
}
} // namespace daybench
