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
        {"GLO EphTime", offsetof(GloEphemBody, EphTime), 8},
        {"GLO Nt", offsetof(GloEphemBody, Nt), 16},
        {"GLO Issue", offsetof(GloEphemBody, Issue), 20},
        {"GLO PosX", offsetof(GloEphemBody, PosX), 28},
        {"GLO Tk", offsetof(GloEphemBody, Tk), 124},
        {"GAL E1bHealth", offsetof(GalEphemBody, E1bHealth), 12},
        {"GAL IodNav", offsetof(GalEphemBody, IodNav), 20},
        {"GAL RootA", offsetof(GalEphemBody, RootA), 28},
        {"GAL FNavToc", offsetof(GalEphemBody, FNavToc), 148},
        {"GAL INavToc", offsetof(GalEphemBody, INavToc), 176},
        {"BDSCLOCK A0Gps", offsetof(BdsClockBody, A0Gps), 24},
        {"IONUTC DeltaTUtc", offsetof(IonUtcBody, DeltaTUtc), 104},
        {"REFSTATIONINFO StationId", offsetof(RefStationInfoBody, StationId), 40},
        {"SATVIS Elevation", offsetof(SatVisRecord, Elevation), 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nOffset, c.nExpected) << c.pName;
}
