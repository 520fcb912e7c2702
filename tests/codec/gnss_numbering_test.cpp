// The one table of tracking-status signal types against its three uses: the
// converter's observation codes, the codes the monitor's views name signals
// by, and the carrier of the RANGECMP phase roll-over. Where the uses differ,
// each difference is pinned here.
#include <gtest/gtest.h>

#include "codec/gnss_numbering.h"
#include "codec/range_logs.h"
#include "codec/signal_map.h"

namespace
{
constexpr uint32_t kNone = 65535;

struct SignalCase
{
    uint32_t nTrackSystem; // TRACKING_SYSTEM_E
    uint32_t nType;
    uint16_t nPrn; // a satellite of the system, for the roll-over
    uint32_t nObsCode;
    uint32_t nViewCode;
    bool bRolls; // the RANGECMP phase roll-over has a wavelength
};

const SignalCase kCases[] = {
    // Every use agrees.
    {TRACK_SYS_GPS, 0, 5, GPSL1CA, GPSL1CA, true},
    {TRACK_SYS_GALILEO, 12, 11, GALE5AQ, GALE5AQ, true},
    {TRACK_SYS_BEIDOU, 11, 20, 2515, 2515, true},
    {TRACK_SYS_SBAS, 6, 133, GPSL5I, GPSL5I, true},
    // The views have no name for GPS L1C nor GLONASS L3.
    {TRACK_SYS_GPS, 16, 5, GPSL1CP, kNone, true},
    {TRACK_SYS_GLONASS, 6, 40, GLOL3Q, kNone, true},
    // GPS type 31 only in the views; GLONASS type 2 only for the roll-over.
    {TRACK_SYS_GPS, 31, 5, kNone, GPSL2CL, false},
    {TRACK_SYS_GLONASS, 2, 40, kNone, kNone, true},
    // QZSS: QZSS codes in the converter, GPS codes of the carrier in the views.
    {TRACK_SYS_QZSS, 0, 195, 5, kNone, true},
    {TRACK_SYS_QZSS, 14, 195, 2133, GPSL5Q, true},
    {TRACK_SYS_QZSS, 17, 195, 525, 8, true},
    {TRACK_SYS_QZSS, 16, 195, GPSL1CP, GPSL1CA, true},
    {TRACK_SYS_QZSS, 27, 195, 2917, kNone, true},
    // A type no use knows.
    {TRACK_SYS_GALILEO, 0, 11, kNone, kNone, false},
};

TEST(GnssNumbering, EachUseOfTheSignalTypeTableGivesItsOwnCode)
{
    for (const SignalCase& c : kCases)
    {
        SCOPED_TRACE(::testing::Message() << "system " << c.nTrackSystem << " type " << c.nType);
        const uint32_t uStatus = c.nType << 21 | c.nTrackSystem << 16;
        const uint32_t nSystem = GnssSystemOfTracking(c.nTrackSystem);
        EXPECT_EQ(SignalTypeToObsIndex(uStatus, nSystem, SIGNAL_MODE_DEFAULT), c.nObsCode);
        EXPECT_EQ(TrackStatusToSignalType(uStatus, nSystem), c.nViewCode);
        EXPECT_EQ(RangeCmpRollWavelength(uStatus, c.nPrn, 7, false) > 0, c.bRolls);
    }
}

TEST(GnssNumbering, SystemsOfTheTrackingStatus)
{
    const uint32_t kConverter[8] = {GNSS_SYSTEM_GPS, GNSS_SYSTEM_GLONASS, GNSS_SYSTEM_SBAS,  GNSS_SYSTEM_GALILEO,
                                    GNSS_SYSTEM_BDS, GNSS_SYSTEM_QZSS,    GNSS_SYSTEM_COUNT, GNSS_SYSTEM_COUNT};
    // The views show SBAS and the two values without a system in the GPS row.
    const uint32_t kViews[8] = {0, 1, 0, 2, 3, 5, 0, 0};
    for (uint32_t n = 0; n < 8; ++n)
    {
        EXPECT_EQ(GnssSystemOfTracking(n), kConverter[n]) << n;
        EXPECT_EQ(TrackStatusToSystem(n << 16), kViews[n]) << n;
    }
}
} // namespace
