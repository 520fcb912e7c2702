// The signals the receiver's diagnostics name by code: its tracking-quality
// reply and its intermediate-frequency outputs use the same twelve, in this
// order, each with the thresholds its tracking quality is held to. A code with
// a "/" is two codes of one signal.
#pragma once

#include <QString>

struct DIAG_SIGNAL_T
{
    const char* pName;
    const char* pCode;
    double dCn0Threshold; // dB-Hz; a maximum CN0 at least this passes
    double dSvThreshold;  // a number of valid satellites at least this passes
};

inline constexpr DIAG_SIGNAL_T kDiagSignals[] = {
    {"GPS_L1_CA", "0", 50, 5},        {"GPS_L2_P", "c8", 47, 3}, {"GPS_L2_C", "a08", 48, 2},
    {"GPS_L5", "850", 48, 1},         {"GLO_L1", "1", 48, 4},    {"GLO_L2", "9", 48, 4},
    {"BDS_B1", "3", 48, 6},           {"BDS_B2", "13", 48, 6},   {"BDS_B3", "b", 48, 6},
    {"GAL_E1", "82", 48, 3},          {"GAL_E5a", "18a/9ca", 48, 3},
    {"GAL_E5b", "192/9d2", 48, 3},
};

// An error count below this passes.
inline constexpr int kDiagErrorLimit = 100;

// The signal whose code is sCode as a whole, or null. With bEachCode the
// codes on either side of a "/" match too (the receiver's hardware
// information names one of them).
inline const DIAG_SIGNAL_T* FindDiagSignal(const QString& sCode, bool bEachCode)
{
    for (const DIAG_SIGNAL_T& s : kDiagSignals)
    {
        const QString sTable = QLatin1String(s.pCode);
        if (sTable == sCode || (bEachCode && sTable.split(QLatin1Char('/')).contains(sCode)))
            return &s;
    }
    return nullptr;
}
