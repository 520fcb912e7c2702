// The codec is one library for both programs. The few places where the
// converter and the monitor behave differently (default leap seconds, the
// abbreviated-form marker, some table cells and names) read the profile
// chosen once at start-up, before any thread runs.
#pragma once

#include <cstdint>

enum CODEC_PROFILE_E : int
{
    CODEC_PROFILE_CONVERTER = 0,
    CODEC_PROFILE_MONITOR = 1,
};

// Selects the profile for the whole process. Programs call it first thing in
// main; tests switch it between cases.
void SetCodecProfile(CODEC_PROFILE_E eProfile);
CODEC_PROFILE_E GetCodecProfile();

inline bool IsMonitorProfile() { return GetCodecProfile() == CODEC_PROFILE_MONITOR; }

// Message-type byte of a log header (bits 5-6 give the form).
enum : uint8_t
{
    LOG_FORM_BINARY = 0x00,
    LOG_FORM_ASCII = 0x20,
    LOG_FORM_ABBREV_CONVERTER = 0x40,
    LOG_FORM_ABBREV_MONITOR = 0x60,
};

// The marker the current profile writes for an abbreviated text log
// (0x40 in the converter, 0x60 in the monitor).
uint8_t AbbrevFormMarker();

// Default leap-second offset of the profile in milliseconds
// (17000 in the converter, 18000 in the monitor).
int32_t DefaultLeapMs();

// Receiver logs write and read numbers with "." whatever the user's locale.
// Qt adopts the environment's locale when the application object is created;
// both programs call this right after that.
void UseCNumericLocale();
