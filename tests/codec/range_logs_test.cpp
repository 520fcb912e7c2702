#include <gtest/gtest.h>

#include "codec/range_logs.h"

TEST(TrackingStatus, PacksEachFieldAtItsBitsAndMasksOverwideValues)
{
    struct Case
    {
        TRACKING_FIELDS_T Fields;
        uint32_t Status;
    };
    const Case cases[] = {
        {{4, 3, 1, 1, 1, 2, 0, 1, 0, 1, 0, 0, 0}, 0x08105C64u},
        {{0, 0, 0, 0, 0, 0, 5, 0, 27, 0, 1, 1, 1}, 0xD3650000u},
        // every field one bit too wide: the extra bit must not leak into a neighbour
        {{0x20, 0x20, 2, 2, 2, 8, 8, 2, 0x20, 2, 2, 2, 2}, 0u},
        {{0x1F, 0x1F, 1, 1, 1, 7, 7, 1, 0x1F, 1, 1, 1, 1}, 0xDBF7FFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PackTrackingStatus(&c.Fields), c.Status) << std::hex << c.Status;

    const uint32_t s = cases[1].Status;
    EXPECT_EQ(TrackingStatusSystem(s), TRACK_SYS_QZSS);
    EXPECT_EQ(TrackingStatusSignalType(s), 27);
    EXPECT_TRUE(TrackingStatusHalfCycle(s));
    EXPECT_FALSE(TrackingStatusCodeLocked(s));
}
