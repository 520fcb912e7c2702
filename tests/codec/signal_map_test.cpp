#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "codec/signal_map.h"

namespace
{
constexpr uint32_t kUnknown = 99; // expected signal type: left as it was

uint32_t StatusWithType(uint32_t nType) { return nType << 21 | 0x0A5u; }

struct ObsTypeCase
{
    uint32_t nCode, nSatId;
    uint32_t nSystem;                   // TRACKING_SYSTEM_E
    uint32_t nDefaultType, nLegacyType; // kUnknown = no type in that mode
};

const ObsTypeCase kObsTypes[] = {
    // GPS: satellite IDs below 120
    {GPSL1CA, 5, TRACK_SYS_GPS, 0, 0},
    {GPSL1CP, 5, TRACK_SYS_GPS, 16, 0},
    {GPSL1P, 5, TRACK_SYS_GPS, 16, 0},
    {GPSL2CM, 5, TRACK_SYS_GPS, 17, 17},
    {GPSL2P, 5, TRACK_SYS_GPS, 5, 5},
    {GPSL2W, 5, TRACK_SYS_GPS, 9, 9},
    {GPSL2N, 5, TRACK_SYS_GPS, 9, 9},
    {GPSL5Q, 5, TRACK_SYS_GPS, 14, 14},
    // GPS codes of SBAS (120-192) and QZSS (193 on) satellites; QZSS codes
    {GPSL1CA, 120, TRACK_SYS_SBAS, 0, 0},
    {GPSL5I, 133, TRACK_SYS_SBAS, 6, 6},
    {GPSL5Q, 192, TRACK_SYS_SBAS, 6, 6},
    {GPSL2CM, 133, TRACK_SYS_SBAS, kUnknown, kUnknown},
    {GPSL1CP, 193, TRACK_SYS_QZSS, 16, 0},
    {5, 193, TRACK_SYS_QZSS, 0, 0},
    {525, 195, TRACK_SYS_QZSS, 17, 17},
    {2133, 195, TRACK_SYS_QZSS, 14, 14},
    {2917, 195, TRACK_SYS_QZSS, 27, kUnknown},
    // GLONASS
    {GLOL1CA, 38, TRACK_SYS_GLONASS, 0, 0},
    {GLOL2CA, 38, TRACK_SYS_GLONASS, 1, 5},
    {GLOL2P, 38, TRACK_SYS_GLONASS, 5, 5},
    {GLOL3Q, 38, TRACK_SYS_GLONASS, 6, 5},
    {GLOL3I, 38, TRACK_SYS_GLONASS, 6, 5},
    {GLOL1P, 38, TRACK_SYS_GLONASS, kUnknown, 5},
    // Galileo
    {GALE1B, 11, TRACK_SYS_GALILEO, 1, 1},
    {GALE1C, 11, TRACK_SYS_GALILEO, 2, 2},
    {GALE1A, 11, TRACK_SYS_GALILEO, 2, 2},
    {GALE5AQ, 11, TRACK_SYS_GALILEO, 12, 12},
    {GALE5BQ, 11, TRACK_SYS_GALILEO, 17, 17},
    {GALE5Q, 11, TRACK_SYS_GALILEO, 20, 2},
    {GALE6B, 11, TRACK_SYS_GALILEO, kUnknown, kUnknown},
    {GALE6C, 11, TRACK_SYS_GALILEO, kUnknown, kUnknown},
    // BeiDou
    {BDSB1I, 20, TRACK_SYS_BEIDOU, 0, 0},
    {BDSB1P, 20, TRACK_SYS_BEIDOU, 4, 3},
    {BDSB2I, 20, TRACK_SYS_BEIDOU, 1, 17},
    {BDSB2P, 20, TRACK_SYS_BEIDOU, 1, 20},
    {BDSB3I, 20, TRACK_SYS_BEIDOU, 2, 21},
    {BDSB3P, 20, TRACK_SYS_BEIDOU, 2, 24},
    {BDSB1CP, 20, TRACK_SYS_BEIDOU, 7, kUnknown},
    {BDSB1CD, 20, TRACK_SYS_BEIDOU, 8, kUnknown},
    {BDSB2AP, 20, TRACK_SYS_BEIDOU, 9, kUnknown},
    {BDSB2AD, 20, TRACK_SYS_BEIDOU, 10, kUnknown},
    {2515, 20, TRACK_SYS_BEIDOU, 11, 20}, // B2b pilot and data share band 2 with B2I
    {403, 20, TRACK_SYS_BEIDOU, 12, 17},
    // codes of other systems
    {6, 1, TRACK_SYS_OTHER, kUnknown, kUnknown},
    {4, 120, TRACK_SYS_OTHER, kUnknown, kUnknown},
};
} // namespace

class SignalModes : public ::testing::TestWithParam<SIGNAL_MODE_E>
{
};

TEST_P(SignalModes, SignalCodeToObsTypeFillsSystemTypeAndPrimary)
{
    const bool legacy = GetParam() == SIGNAL_MODE_LEGACY;
    for (const ObsTypeCase& c : kObsTypes)
    {
        TRACKING_FIELDS_T fields;
        std::memset(&fields, 0x5A, sizeof(fields));
        const uint32_t type = legacy ? c.nLegacyType : c.nDefaultType;
        EXPECT_EQ(SignalCodeToObsType(c.nCode, c.nSatId, &fields, GetParam()), type == kUnknown ? 1 : 0)
            << c.nCode << "/" << c.nSatId;
        EXPECT_EQ(fields.SatelliteSystem, c.nSystem) << c.nCode << "/" << c.nSatId;
        EXPECT_EQ(fields.SignalType, type == kUnknown ? 0x5Au : type) << c.nCode << "/" << c.nSatId;
        EXPECT_EQ(fields.PrimarySignal, SignalCodeBand(c.nCode) == 0 ? 1u : 0u) << c.nCode;
        EXPECT_EQ(fields.ChannelNumber, 0x5Au) << "other fields are left alone";
    }
    EXPECT_EQ(SignalCodeToObsType(GPSL1CA, 1, nullptr, GetParam()), -1);
}

TEST_P(SignalModes, SignalTypeToObsIndexOnlyInTheDefaultMode)
{
    const bool legacy = GetParam() == SIGNAL_MODE_LEGACY;
    const struct
    {
        uint32_t nSystem, nType, nCode;
    } cases[] = {
        {GNSS_SYSTEM_GPS, 0, 0},
        {GNSS_SYSTEM_GPS, 9, 33096},
        {GNSS_SYSTEM_GPS, 16, 2432},
        {GNSS_SYSTEM_GPS, 1, OBS_CODE_NONE},
        {GNSS_SYSTEM_GLONASS, 0, 1},
        {GNSS_SYSTEM_GLONASS, 6, 2385},
        {GNSS_SYSTEM_GALILEO, 20, 2522},
        {GNSS_SYSTEM_GALILEO, 0, OBS_CODE_NONE}, // no empty pair matches type 0
        {GNSS_SYSTEM_BDS, 4, 3},
        {GNSS_SYSTEM_BDS, 12, 403},
        {GNSS_SYSTEM_BDS, 13, OBS_CODE_NONE},
        {GNSS_SYSTEM_SBAS, 6, 16},
        {GNSS_SYSTEM_QZSS, 27, 2917},
        {GNSS_SYSTEM_QZSS, 5, OBS_CODE_NONE},
        {6, 0, OBS_CODE_NONE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SignalTypeToObsIndex(StatusWithType(c.nType), c.nSystem, GetParam()),
                  legacy ? OBS_CODE_NONE : c.nCode)
            << c.nSystem << "/" << c.nType;
}

INSTANTIATE_TEST_SUITE_P(Modes, SignalModes, ::testing::Values(SIGNAL_MODE_LEGACY, SIGNAL_MODE_DEFAULT),
                         [](const ::testing::TestParamInfo<SIGNAL_MODE_E>& info)
                         { return info.param == SIGNAL_MODE_LEGACY ? std::string("Legacy") : std::string("Default"); });

// A range observation that goes to an observation code and back keeps its
// signal type, so RINEX and compressed logs round-trip to the same RANGE log.
TEST(SignalMap, ObservationTableRoundTripsInTheDefaultMode)
{
    const uint32_t satIds[GNSS_SYSTEM_COUNT] = {5, 40, 11, 20, 133, 195};
    for (uint32_t system = 0; system < GNSS_SYSTEM_COUNT; ++system)
        for (const SIGNAL_OBS_PAIR_T& pair : SignalObsIndexTable[system])
        {
            // BeiDou GEO types 4-6 share their codes with types 0-2.
            if (pair.SignalType == SIGNAL_OBS_EMPTY ||
                (system == GNSS_SYSTEM_BDS && pair.SignalType >= 4 && pair.SignalType <= 6))
                continue;
            const uint16_t code = SignalTypeToObsIndex(StatusWithType(pair.SignalType), system, SIGNAL_MODE_DEFAULT);
            ASSERT_EQ(code, pair.ObsCode);
            TRACKING_FIELDS_T fields = {};
            EXPECT_EQ(SignalCodeToTrackingFields(code, satIds[system], &fields), 0) << system << "/" << code;
            EXPECT_EQ(fields.SignalType, pair.SignalType) << system << "/" << code;
        }
}

TEST(SignalMap, SatIdToSlotNumbersWithinTheSystem)
{
    const struct
    {
        uint32_t nSystem, nSatId, nSlot;
    } cases[] = {
        {GNSS_SYSTEM_GPS, 17, 17},     {GNSS_SYSTEM_GPS, 0, 0},
        {GNSS_SYSTEM_GPS, 65, 0},      {GNSS_SYSTEM_GLONASS, 38, 1},
        {GNSS_SYSTEM_GLONASS, 61, 24}, {GNSS_SYSTEM_GLONASS, 37, 0},
        {GNSS_SYSTEM_GLONASS, 5, 0},   {GNSS_SYSTEM_GALILEO, 36, 36},
        {GNSS_SYSTEM_BDS, 63, 63},     {GNSS_SYSTEM_BDS, 191, 0},
        {GNSS_SYSTEM_QZSS, 193, 1},    {GNSS_SYSTEM_QZSS, 192, 0},
        {GNSS_SYSTEM_QZSS, 5, 0},      {GNSS_SYSTEM_SBAS, 120, 0},
        {GNSS_SYSTEM_SBAS, 0, 0},      {6, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SatIdToSlot(c.nSystem, c.nSatId), c.nSlot) << c.nSystem << "/" << c.nSatId;
}
