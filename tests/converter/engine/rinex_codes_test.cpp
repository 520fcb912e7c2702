#include <gtest/gtest.h>

#include <set>
#include <string>

#include "codec/signal_map.h"
#include "converter/engine/convert_context.h"
#include "converter/engine/rinex_codes.h"

namespace
{
// One receiver signal through every table: RINEX 3 band and attribute, the
// RINEX 3 code each version writes ("" where that version defines none), the
// letter-coded RINEX 2 band, and the 2.10 and 2.11 pseudorange codes and bands.
struct SignalCase
{
    uint32_t nSystem;
    uint32_t nCode;
    const char* pRinex3; // band digit and attribute
    const char* pV301;
    const char* pV302;
    const char* pV303;
    const char* pV304;
    char cLetterBand; // 2.00 and 2.12
    const char* pPsr211;
    char cBand211;
    const char* pPsr210;
    char cBand210;
};

const uint32_t G = GNSS_SYSTEM_GPS, R = GNSS_SYSTEM_GLONASS, E = GNSS_SYSTEM_GALILEO, C = GNSS_SYSTEM_BDS,
               J = GNSS_SYSTEM_QZSS;

// Every code of the receiver's signal table, then named codes that other
// readers (BINEX) produce. Expected values follow the RINEX definitions.
const SignalCase kCases[] = {
    {G, 0, "1C", "1C", "1C", "1C", "1C", 'A', "C1", '1', "C1", '1'},
    {G, 200, "2P", "2P", "2P", "2P", "2P", '2', "P2", '2', "P2", '2'},
    {G, 33096, "2W", "2W", "2W", "2W", "2W", '2', "P2", '2', "P2", '2'},
    {G, 2128, "5Q", "5Q", "5Q", "5Q", "5Q", '5', "C5", '5', "", 0},
    {G, 520, "2S", "2S", "2S", "2S", "2S", 'C', "C2", '2', "", '2'},
    {G, 2432, "1L", "1L", "1L", "1L", "1L", 'B', "", 0, "", 0},
    {R, 1, "1C", "1C", "1C", "1C", "1C", 'A', "C1", '1', "C1", '1'},
    {R, 9, "2C", "2C", "2C", "2C", "2C", 'D', "C2", '2', "", '2'},
    {R, 201, "2P", "2P", "2P", "2P", "2P", '2', "P2", '2', "P2", '2'},
    {R, 2385, "3Q", "", "3Q", "3Q", "3Q", 0, "", 0, "", 0},
    {E, 130, "1B", "1B", "1B", "1B", "1B", '1', "C1", '1', "", 0},
    {E, 2306, "1C", "1C", "1C", "1C", "1C", '1', "C1", '1', "", 0},
    {E, 2506, "5Q", "5Q", "5Q", "5Q", "5Q", '5', "C5", '5', "", 0},
    {E, 2514, "7Q", "7Q", "7Q", "7Q", "7Q", '7', "C7", '7', "", 0},
    {E, 2522, "8Q", "8Q", "8Q", "8Q", "8Q", '8', "C8", '8', "", 0},
    // BeiDou B1I is band 1 in 3.02 alone; the third-generation signals first exist in 3.04.
    {C, 3, "2I", "2I", "1I", "2I", "2I", 0, "", 0, "", 0},
    {C, 19, "7I", "7I", "7I", "7I", "7I", 0, "", 0, "", 0},
    {C, 11, "6I", "6I", "6I", "6I", "6I", 0, "", 0, "", 0},
    {C, 2395, "1P", "", "", "", "1P", 0, "", 0, "", 0},
    {C, 283, "1D", "", "", "", "1D", 0, "", 0, "", 0},
    {C, 2531, "5P", "", "", "", "5P", 0, "", 0, "", 0},
    {C, 419, "5D", "", "", "", "5D", 0, "", 0, "", 0},
    {C, 2515, "7P", "", "", "", "7P", 0, "", 0, "", 0},
    {C, 403, "7D", "", "", "", "7D", 0, "", 0, "", 0},
    // QZSS first exists in 3.02; its L1C code carries GPS system bits.
    {J, 5, "1C", "", "1C", "1C", "1C", 0, "", 0, "", 0},
    {J, 525, "2S", "", "2S", "2S", "2S", 0, "", 0, "", 0},
    {J, 2133, "5Q", "", "5Q", "5Q", "5Q", 0, "", 0, "", 0},
    {J, 2432, "1L", "", "1L", "1L", "1L", 0, "", 0, "", 0},
    {J, 2917, "6L", "", "6L", "6L", "6L", 0, "", 0, "", 0},
    {G, GPSL1CD, "1S", "1S", "1S", "1S", "1S", 'B', "", 0, "", 0},
    {G, GPSL1CX, "1X", "1X", "1X", "1X", "1X", 'B', "", 0, "", 0},
    {G, GPSL1P, "1P", "1P", "1P", "1P", "1P", '1', "P1", '1', "P1", '1'},
    {G, GPSL1Y, "1Y", "1Y", "1Y", "1Y", "1Y", '1', "P1", '1', "P1", '1'},
    {G, GPSL2N, "2N", "2N", "2N", "2N", "2N", '2', "", '2', "", '2'},
    {G, GPSL2CL, "2L", "2L", "2L", "2L", "2L", 'C', "C2", '2', "", '2'},
    {G, GPSL2CX, "2X", "2X", "2X", "2X", "2X", 'C', "C2", '2', "", '2'},
    {G, GPSL5I, "5I", "5I", "5I", "5I", "5I", '5', "C5", '5', "", 0},
    {G, GPSL5X, "5X", "5X", "5X", "5X", "5X", '5', "C5", '5', "", 0},
    {R, GLOL1P, "1P", "1P", "1P", "1P", "1P", '1', "P1", '1', "P1", '1'},
    {E, GALE1A, "1A", "1A", "1A", "1A", "1A", '1', "C1", '1', "", 0},
    {E, GALE1X, "1X", "1X", "1X", "1X", "1X", '1', "C1", '1', "", 0},
    {E, GALE1Z, "1Z", "1Z", "1Z", "1Z", "1Z", '1', "C1", '1', "", 0},
    {E, GALE5BI, "7I", "7I", "7I", "7I", "7I", '7', "C7", '7', "", 0},
    {E, GALE5X, "8X", "8X", "8X", "8X", "8X", '8', "C8", '8', "", 0},
    {E, GALE6B, "6B", "6B", "6B", "6B", "6B", '6', "C6", '6', "", 0},
    {E, GALE6C, "6C", "6C", "6C", "6C", "6C", '6', "C6", '6', "", 0},
};

uint32_t SatIdOf(uint32_t nSystem) { return nSystem == R ? 38 : nSystem == J ? 193 : 1; }

uint8_t TrackingSystemOf(uint32_t nSystem)
{
    const uint8_t k[] = {TRACK_SYS_GPS,    TRACK_SYS_GLONASS, TRACK_SYS_GALILEO,
                         TRACK_SYS_BEIDOU, TRACK_SYS_SBAS,    TRACK_SYS_QZSS};
    return k[nSystem];
}

bool InSignalTable(uint32_t nSystem, uint32_t nCode)
{
    for (const SIGNAL_OBS_PAIR_T& pair : SignalObsIndexTable[nSystem])
        if (pair.SignalType != SIGNAL_OBS_EMPTY && pair.ObsCode == nCode)
            return true;
    return false;
}
} // namespace

TEST(RinexCodes, EverySignalThroughEveryTable)
{
    for (const SignalCase& c : kCases)
    {
        SCOPED_TRACE(std::string(1, RinexSystemLetter(c.nSystem)) + " code " + std::to_string(c.nCode));
        // RINEX 3 band digit and attribute letter.
        EXPECT_EQ(RinexBandDigit(c.nCode, c.nSystem), c.pRinex3[0]);
        EXPECT_EQ(RinexAttribute(c.nCode, c.nSystem), c.pRinex3[1]);
        // The code each RINEX 3 version writes.
        const std::pair<int32_t, const char*> versions[] = {
            {301, c.pV301}, {302, c.pV302}, {303, c.pV303}, {304, c.pV304}};
        for (const auto& v : versions)
        {
            char sz[3];
            EXPECT_EQ(RinexObsCode(c.nCode, c.nSystem, v.first, sz), v.second[0] ? 1 : 0) << v.first;
            EXPECT_STREQ(sz, v.second) << v.first;
        }
        // RINEX 2: the letter-coded band, and the two-character codes of 2.10 and 2.11.
        EXPECT_EQ(SignalCodeToRinex2Band(c.nCode, c.nSystem), c.cLetterBand);
        const std::pair<int32_t, std::pair<const char*, char>> v2[] = {{211, {c.pPsr211, c.cBand211}},
                                                                       {210, {c.pPsr210, c.cBand210}}};
        for (const auto& v : v2)
        {
            Rinex2Signal sig;
            EXPECT_EQ(SignalCodeToRinex2(c.nCode, c.nSystem, v.first, &sig), v.second.second ? 1 : 0) << v.first;
            EXPECT_EQ(sig.cBand, v.second.second) << v.first;
            EXPECT_STREQ(sig.szPseudorange, v.second.first) << v.first;
        }
        // Back to the receiver: the tracking fields of the code give a tracking
        // status whose signal type maps to the same code again.
        if (InSignalTable(c.nSystem, c.nCode))
        {
            TRACKING_FIELDS_T fields{};
            ASSERT_EQ(SignalCodeToObsType(c.nCode, SatIdOf(c.nSystem), &fields, SIGNAL_MODE_DEFAULT), 0);
            EXPECT_EQ(fields.SatelliteSystem, TrackingSystemOf(c.nSystem));
            EXPECT_EQ(SignalTypeToObsIndex(PackTrackingStatus(&fields), c.nSystem, SIGNAL_MODE_DEFAULT), c.nCode);
        }
    }
}

TEST(RinexCodes, TheCaseTableCoversTheWholeSignalTable)
{
    std::set<std::pair<uint32_t, uint32_t>> covered;
    for (const SignalCase& c : kCases)
        covered.insert({c.nSystem, c.nCode});
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (s == GNSS_SYSTEM_SBAS)
            continue;
        for (const SIGNAL_OBS_PAIR_T& pair : SignalObsIndexTable[s])
        {
            if (pair.SignalType != SIGNAL_OBS_EMPTY)
            {
                EXPECT_TRUE(covered.count({s, pair.ObsCode})) << "system " << s << " code " << pair.ObsCode;
            }
        }
    }
}

TEST(RinexCodes, SbasAndUnknownSignalsHaveNoRinexCode)
{
    char sz[3];
    for (uint32_t nCode : {0u, 16u})
    {
        EXPECT_EQ(RinexObsCode(nCode, GNSS_SYSTEM_SBAS, 304, sz), 0);
        EXPECT_EQ(SignalCodeToRinex2Band(nCode, GNSS_SYSTEM_SBAS), 0);
    }
    EXPECT_EQ(RinexObsCode(GPSL1M, G, 304, sz), 1);  // M code: RINEX 3 knows it...
    EXPECT_EQ(SignalCodeToRinex2Band(GPSL1M, G), 0); // ...RINEX 2 does not
    EXPECT_EQ(RinexObsCode(0x0300, G, 304, sz), 0);  // a GPS component without a letter
    EXPECT_EQ(RinexObsCode(0x0038, G, 304, sz), 0);  // band 7
    EXPECT_EQ(SignalCodeToRinex2Band(0x0019, R), 0); // GLONASS band 3
    EXPECT_EQ(SignalCodeToRinex2Band(0x0028, E), 0); // Galileo band 5
    EXPECT_EQ(RinexSystemLetter(6), 0);
    EXPECT_EQ(SystemLetterToIndex('J'), 5);
    EXPECT_EQ(SystemLetterToIndex('X'), -1);
}

TEST(RinexCodes, LettersBandDigitsAndSatelliteIdentifiers)
{
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(SystemLetterToIndex("GRECSJ"[i]), i);
    EXPECT_EQ(SystemLetterToIndex('g'), -1);
    EXPECT_EQ(SystemLetterToIndex(0), -1);
    // The band digit of each band number reads back as that number.
    for (uint32_t nSystem : {0u, 1u, 2u, 3u, 5u})
        for (uint32_t nBand = 0; nBand < 5; ++nBand)
        {
            const char cDigit = RinexBandDigit(nBand << 3, nSystem);
            if (cDigit)
            {
                EXPECT_EQ(BandDigitToIndex(nSystem, cDigit), nBand) << nSystem << cDigit;
            }
        }
    EXPECT_EQ(BandDigitToIndex(GNSS_SYSTEM_BDS, '1'), 3u);
    EXPECT_EQ(BandDigitToIndex(GNSS_SYSTEM_GALILEO, '6'), 4u);
    EXPECT_EQ(BandDigitToIndex(GNSS_SYSTEM_GPS, '7'), 0u) << "not a GPS band";

    struct Case
    {
        uint32_t nSystem, nPrn, nId;
    };
    for (const Case& c : {Case{GNSS_SYSTEM_GPS, 5, 5}, Case{GNSS_SYSTEM_GLONASS, 5, 69}, Case{GNSS_SYSTEM_GALILEO, 11, 111},
                          Case{GNSS_SYSTEM_BDS, 1, 191}, Case{GNSS_SYSTEM_QZSS, 193, 193}})
    {
        EXPECT_EQ(PrnToSatId(c.nSystem, c.nPrn), c.nId) << c.nSystem;
        EXPECT_EQ(SatIdToPrn(c.nSystem, c.nId), c.nPrn) << c.nSystem;
    }
    EXPECT_EQ(SatIdToPrn(GNSS_SYSTEM_SBAS, 120), 0u);
    EXPECT_EQ(SatIdToPrn(7, 5), 0u);
    EXPECT_EQ(SatIdToPrn(GNSS_SYSTEM_GALILEO, 99), 0u) << "below the system's identifiers";
}

TEST(RinexCodes, CodeListHoldsEachCodeOnce)
{
    RinexCodeList list{};
    EXPECT_EQ(SignalCodeToRinexCode(3, C, 304, &list), 1);
    EXPECT_EQ(SignalCodeToRinexCode(3, C, 304, &list), 1);
    EXPECT_EQ(SignalCodeToRinexCode(2395, C, 303, &list), 0);
    EXPECT_EQ(list.nCount, 1u);
    EXPECT_STREQ(list.szCodes[0], "2I");
    for (uint32_t i = 0; i < 40; ++i)
        SignalCodeToRinexCode(GALE1A + (i % 5 << 7) + (i / 5 << 3), E, 304, &list);
    EXPECT_LE(list.nCount, static_cast<uint32_t>(RINEX_MAX_CODES));
}

TEST(RinexCodes, ReverseMappingFollowsTheBeiDouStyle)
{
    TRACKING_FIELDS_T fields{};
    CConvertContext context;
    ASSERT_EQ(context.GetBdsEphemStyle(), 2u);
    ASSERT_EQ(SignalCodeToObsType(19, 6, &fields, context.GetBdsEphemStyle()), 0); // B2I
    EXPECT_EQ(fields.SatelliteSystem, TRACK_SYS_BEIDOU);
    EXPECT_EQ(fields.SignalType, 1);
    context.SetBdsEphemStyle(1);
    ASSERT_EQ(SignalCodeToObsType(19, 6, &fields, context.GetBdsEphemStyle()), 0);
    EXPECT_EQ(fields.SignalType, 17);
}
