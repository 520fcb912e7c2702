#include "support/profile_fixture.h"

using ProfileDefaults = ProfileTest;

TEST_P(ProfileDefaults, LeapAndAbbrevMarkerFollowTheProgram)
{
    EXPECT_EQ(DefaultLeapMs(), Monitor() ? 18000 : 17000);
    EXPECT_EQ(AbbrevFormMarker(), Monitor() ? 0x60 : 0x40);
}
ZV_BOTH_PROFILES(ProfileDefaults);
