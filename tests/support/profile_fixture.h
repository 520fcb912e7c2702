// Runs a test body once per codec profile: derive from ProfileTest and
// instantiate with ZV_BOTH_PROFILES(SuiteName).
#pragma once

#include <gtest/gtest.h>

#include "codec/profile.h"

class ProfileTest : public ::testing::TestWithParam<CODEC_PROFILE_E>
{
protected:
    void SetUp() override { SetCodecProfile(GetParam()); }
    void TearDown() override { SetCodecProfile(CODEC_PROFILE_CONVERTER); }
    bool Monitor() const { return GetParam() == CODEC_PROFILE_MONITOR; }
};

// Restores the converter profile when a scope ends; for tests that pin one profile.
class ScopedProfile
{
public:
    explicit ScopedProfile(CODEC_PROFILE_E eProfile) : m_old(GetCodecProfile()) { SetCodecProfile(eProfile); }
    ~ScopedProfile() { SetCodecProfile(m_old); }
    ScopedProfile(const ScopedProfile&) = delete;
    ScopedProfile& operator=(const ScopedProfile&) = delete;

private:
    CODEC_PROFILE_E m_old;
};

std::string ProfileName(const ::testing::TestParamInfo<CODEC_PROFILE_E>& info);

#define ZV_BOTH_PROFILES(Suite)                                                                                        \
    INSTANTIATE_TEST_SUITE_P(Profiles, Suite, ::testing::Values(CODEC_PROFILE_CONVERTER, CODEC_PROFILE_MONITOR),       \
                             ProfileName)
