#include "support/profile_fixture.h"

std::string ProfileName(const ::testing::TestParamInfo<CODEC_PROFILE_E>& info)
{
    return info.param == CODEC_PROFILE_MONITOR ? "Monitor" : "Converter";
}
