#include "codec/profile.h"

#include <atomic>
#include <clocale>

namespace
{
std::atomic<int> g_profile{CODEC_PROFILE_CONVERTER};
}

void SetCodecProfile(CODEC_PROFILE_E eProfile) { g_profile.store(eProfile, std::memory_order_relaxed); }

CODEC_PROFILE_E GetCodecProfile() { return static_cast<CODEC_PROFILE_E>(g_profile.load(std::memory_order_relaxed)); }

uint8_t AbbrevFormMarker() { return IsMonitorProfile() ? LOG_FORM_ABBREV_MONITOR : LOG_FORM_ABBREV_CONVERTER; }

int32_t DefaultLeapMs() { return IsMonitorProfile() ? 18000 : 17000; }

void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }
