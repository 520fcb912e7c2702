// The INS configuration parser on arbitrary INSCONFIGA bodies: nothing may be
// read out of bounds, a body that reads whole gives a record within its
// bounds (entry counts, values the parser's range, names it knows), and one
// that does not read leaves the record untouched.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "monitor/parsing/ins_config.h"

namespace
{
void CheckEntries(const INS_OFFSET_T* pEntries, uint32_t nCount)
{
    if (nCount > INS_CONFIG_MAX_OFFSETS)
        std::abort();
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const INS_OFFSET_T& e = pEntries[i];
        if (InsOffsetSourceName(e.Source) == nullptr || InsFrameName(e.Frame) == nullptr ||
            InsCalibrationStateName(e.CalibrationState) == nullptr)
            std::abort();
        for (int k = 0; k < 3; ++k)
            if (!(std::fabs(e.Value[k]) <= INS_CONFIG_VALUE_MAX) || !(std::fabs(e.StdDev[k]) <= INS_CONFIG_VALUE_MAX))
                std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 1 << 20)
        return 0;
    const char* pBody = reinterpret_cast<const char*>(pData);
    const int32_t nLength = static_cast<int32_t>(nSize);
    INS_CONFIG_T Record;
    std::memset(&Record, 0xA5, sizeof Record);
    INS_CONFIG_T Untouched;
    std::memcpy(&Untouched, &Record, sizeof Record);
    bool bComplete = true;
    const int nRead = ParseInsConfig(pBody, nLength, &Record, &bComplete);
    if (nRead < 0)
        std::abort();
    if (!bComplete)
    {
        if (std::memcmp(&Record, &Untouched, sizeof Record) != 0)
            std::abort();
        return 0;
    }
    CheckEntries(Record.Translations, Record.TranslationCount);
    CheckEntries(Record.Rotations, Record.RotationCount);
    if (Record.SeedMode > 2 || InsAlignModeName(Record.AlignMode) == nullptr ||
        InsProfileName(Record.Profile) == nullptr)
        std::abort();
    // The same body read again gives the same record.
    INS_CONFIG_T Again;
    std::memcpy(&Again, &Untouched, sizeof Again);
    bool bAgain = false;
    if (ParseInsConfig(pBody, nLength, &Again, &bAgain) != nRead || !bAgain ||
        std::memcmp(&Again, &Record, sizeof Record) != 0)
        std::abort();
    return 0;
}
