// Wire offsets of the bodies whose narrow fields are easy to misplace.
#include <gtest/gtest.h>

#include <cstddef>

#include "codec/nav_logs.h"
#include "codec/satvis_logs.h"

TEST(NavLayout, NarrowFieldsSitWhereTheWireHasThem)
{
    const struct
    {
        const char* pName;
        size_t nOffset;
        size_t nExpected;
    } cases[] = {
        {"GLO EphTime", offsetof(GLOEPHEMERIS_BODY_T, EphTime), 8},
        {"GLO Nt", offsetof(GLOEPHEMERIS_BODY_T, Nt), 16},
        {"GLO Issue", offsetof(GLOEPHEMERIS_BODY_T, Issue), 20},
        {"GLO PosX", offsetof(GLOEPHEMERIS_BODY_T, PosX), 28},
        {"GLO Tk", offsetof(GLOEPHEMERIS_BODY_T, Tk), 124},
        {"GAL E1bHealth", offsetof(GALEPHEMERIS_BODY_T, E1bHealth), 12},
        {"GAL IodNav", offsetof(GALEPHEMERIS_BODY_T, IodNav), 20},
        {"GAL RootA", offsetof(GALEPHEMERIS_BODY_T, RootA), 28},
        {"GAL FNavToc", offsetof(GALEPHEMERIS_BODY_T, FNavToc), 148},
        {"GAL INavToc", offsetof(GALEPHEMERIS_BODY_T, INavToc), 176},
        {"BDSCLOCK A0Gps", offsetof(BDSCLOCK_BODY_T, A0Gps), 24},
        {"IONUTC DeltaTUtc", offsetof(IONUTC_BODY_T, DeltaTUtc), 104},
        {"REFSTATIONINFO StationId", offsetof(REFSTATIONINFO_BODY_T, StationId), 40},
        {"SATVIS Elevation", offsetof(SATVIS_SAT_T, Elevation), 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nOffset, c.nExpected) << c.pName;
}
