#include "converter/engine/ephem_dump.h"

#include <cstring>

const char* EphemDumpFileName(uint32_t nSystem)
{
    static const char* const s_aNames[GNSS_SYSTEM_COUNT] = {"GPSEPHEM.log", "GLOEPHEM.log", "GALEPHEM.log",
                                                            "BDSEPHEM.log", nullptr,        "QZSEPHEM.log"};
    return nSystem < GNSS_SYSTEM_COUNT ? s_aNames[nSystem] : nullptr;
}

std::string EphemDumpDirectoryOf(const char* pOutputPath)
{
    if (!pOutputPath)
        return std::string();
    const char* pSlash = std::strrchr(pOutputPath, '/');
    return pSlash ? std::string(pOutputPath, static_cast<size_t>(pSlash - pOutputPath) + 1) : std::string();
}

int AppendEphemLogFile(EphemDump* pDump, uint32_t nSystem, const void* pBytes, uint32_t nLength)
{
    const char* pName = EphemDumpFileName(nSystem);
    if (!pDump || !pName || (!pBytes && nLength))
        return -1;
    FILE*& pFile = pDump->apFiles[nSystem];
    if (!pFile)
    {
        std::string sPath = pDump->sDirectory;
        if (!sPath.empty() && sPath.back() != '/')
            sPath += '/';
        sPath += pName;
        pFile = pDump->aOutputs[nSystem].Open(sPath.c_str());
        if (!pFile)
        {
            ++pDump->nFailures;
            return -1;
        }
    }
    if (std::fwrite(pBytes, 1, nLength, pFile) != nLength)
    {
        ++pDump->nFailures;
        return -1;
    }
    return 0;
}

int CloseEphemDump(EphemDump* pDump, bool bKeep)
{
    int nResult = 0;
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (pDump->apFiles[s] && !pDump->aOutputs[s].Finish(bKeep) && bKeep)
        {
            ++pDump->nFailures;
            nResult = -1;
        }
        pDump->apFiles[s] = nullptr;
    }
    return nResult;
}
