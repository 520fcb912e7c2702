// Conversions and a source scan that each work on a context of their own run
// at the same time without touching each other: every one gives what it gives
// when it runs alone.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "converter/engine/convert_context.h"
#include "converter/engine/rinex_readers.h"
#include "range_source_fixture.h"

namespace
{
// What one piece of work left: its text output (or scan record) and the bytes it counted.
struct Outcome
{
    int nStatus = 0;
    std::string sOutput;
    uint32_t nBytesRead = 0;
};

std::string ReadBack(FILE* pOut)
{
    std::string s(static_cast<size_t>(std::ftell(pOut)), '\0');
    std::rewind(pOut);
    if (std::fread(s.data(), 1, s.size(), pOut) != s.size())
        s.clear();
    return s;
}

// A RINEX-to-log job on its own context, configured as the window would.
Outcome ReadRinex(const std::string& sPath, bool bObs, int32_t nLeapMs, uint32_t nBdsStyle)
{
    CConvertContext context;
    context.SetLeapMs(nLeapMs);
    context.SetBdsEphemStyle(nBdsStyle);
    FILE* pSrc = std::fopen(sPath.c_str(), "rb");
    FILE* pOut = std::tmpfile();
    context.SetRinexToLogFile(pOut);
    Outcome o;
    o.nStatus = bObs ? ConvertRinexObsToRange(pSrc, 0, &context) : ConvertRinexNavToLog(pSrc, 'N', &context);
    o.sOutput = ReadBack(pOut);
    o.nBytesRead = context.GetRinexBytesRead();
    std::fclose(pOut);
    std::fclose(pSrc);
    return o;
}

Outcome Scan(const std::string& sPath)
{
    CConvertContext context;
    FILE* pSrc = std::fopen(sPath.c_str(), "rb");
    auto pScan = std::make_unique<SourceScanInfo>();
    uint32_t aTimes[4] = {};
    Outcome o;
    o.nStatus = ScanSourceLog(pSrc, pScan.get(), aTimes, 0, &context);
    o.sOutput.assign(reinterpret_cast<const char*>(pScan.get()), sizeof(SourceScanInfo));
    o.nBytesRead = context.GetScanProgress();
    std::fclose(pSrc);
    return o;
}

TEST(ConvertContexts, WorkRunningAtOnceGivesWhatEachGivesAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string sDir = dir.path().toStdString() + "/";
    const std::string sSrc = sDir + "source.log", sObs = sDir + "bds.obs", sNav = sDir + "gps.nav";

    // A range-log source, and the GPS ephemerides it gives as RINEX 3.04; a
    // BeiDou observation file, whose satellites the BeiDou numbering names.
    GoldenSource(Form::RangeText).Write(sSrc);
    {
        std::string sText;
        const auto line = [&sText](std::string s, const char* pLabel)
        {
            s.resize(60, ' ');
            sText += s + pLabel + "\n";
        };
        line("     3.04           OBSERVATION DATA    C", "RINEX VERSION / TYPE");
        line("C    2 C2I L2I", "SYS / # / OBS TYPES");
        line("  2024     1     1     0     0    0.0000000     BDT", "TIME OF FIRST OBS");
        line("", "END OF HEADER");
        for (int k = 0; k < 5; ++k)
            sText += "> 2024 01 01 00 00  " + std::to_string(k) + ".0000000  0  1\nC07  38000000.125   197000000.250\n";
        FILE* f = std::fopen(sObs.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(sText.data(), 1, sText.size(), f);
        std::fclose(f);
    }
    SourceScanInfo scan{};
    ASSERT_GE(ScanFile(sSrc, &scan), SCAN_NO_POSITION);
    RinexObsHeader obsHeader = HeaderFromScan(304, scan, 0, 2);
    const RinexNavHeader navHeader = NavHeaderFromScan(scan);
    RangeToRinexJob job;
    const std::string sGloObs = sDir + "glo.obs";
    job.pSrcPath = sSrc.c_str();
    job.pObsPath = sGloObs.c_str();
    const std::string sGloNav = sDir + "glo.nav";
    job.apNavPaths[GNSS_SYSTEM_GPS] = sNav.c_str();
    job.apNavPaths[GNSS_SYSTEM_GLONASS] = sGloNav.c_str();
    job.nObsMessageId = MSG_ID_RANGE;
    job.nSysMask = 1 | 2;
    job.pObsHeader = &obsHeader;
    job.pNavHeader = &navHeader;
    job.nLeapMs = 18000;
    ASSERT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);

    // Contexts that differ where the work reads them: BeiDou numbering.
    const std::vector<std::function<Outcome()>> work = {
        [&] { return ReadRinex(sObs, true, 18000, 2); },
        [&] { return ReadRinex(sObs, true, 15000, 1); },
        [&] { return ReadRinex(sNav, false, 0, 1); },
        [&] { return ReadRinex(sNav, false, 0, 2); },
        [&] { return Scan(sSrc); },
    };
    std::vector<Outcome> alone;
    for (const auto& run : work)
        alone.push_back(run());
    ASSERT_NE(alone[0].sOutput, alone[1].sOutput) << "the BeiDou numbering renames the satellites";

    std::vector<Outcome> together(work.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < work.size(); ++i)
        threads.emplace_back([&, i] { together[i] = work[i](); });
    for (std::thread& t : threads)
        t.join();

    const auto Size = [](const std::string& sPath)
    { return uint32_t(QFileInfo(QString::fromStdString(sPath)).size()); };
    const uint32_t anSizes[] = {Size(sObs), Size(sNav), Size(sSrc)};
    for (size_t i = 0; i < work.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_GE(alone[i].nStatus, 0);
        EXPECT_FALSE(alone[i].sOutput.empty());
        EXPECT_EQ(together[i].nStatus, alone[i].nStatus);
        EXPECT_EQ(together[i].sOutput, alone[i].sOutput);
        // Each counted the bytes of its own source only.
        EXPECT_EQ(together[i].nBytesRead, anSizes[i < 2 ? 0 : i < 4 ? 1 : 2]);
    }
}
} // namespace
