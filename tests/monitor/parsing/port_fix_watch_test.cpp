// A port's own fix, whatever log tells it: GGA sentences cut anywhere, full
// text position logs, sentences that fail their checksum left out.
#include <gtest/gtest.h>

#include <string>

#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/port_fix_watch.h"
#include "support/frame_builders.h"
#include "support/profile_fixture.h"
#include "support/text_log_builder.h"

namespace
{
std::string Gga(const char* pTime, const char* pQuality)
{
    return Nmea(std::string("GNGGA,") + pTime + ",3014.5678,N,12012.3456,E," + pQuality +
                ",24,0.7,12.345,M,7.1,M,1.0,0001");
}

void Feed(CPortFixWatch& w, const std::string& s, QRangeData* pStore = nullptr)
{
    w.Feed(s.data(), static_cast<int32_t>(s.size()), pStore);
}
} // namespace

TEST(PortFixWatch, EveryPositionCountsWhateverLogToldIt)
{
    ScopedProfile profile{CODEC_PROFILE_MONITOR};
    QRangeData store;
    CPortFixWatch w;
    EXPECT_EQ(w.Fix().Positions, 0u);
    EXPECT_EQ(w.Fix().FixQuality, 255);

    // A GGA cut in three, the rest of the stream around it.
    const std::string gga = Gga("081530.00", "4");
    Feed(w, "\xAA\x44\x12 noise\r\n" + gga.substr(0, 10), &store);
    EXPECT_EQ(w.Fix().Positions, 0u);
    Feed(w, gga.substr(10, 20), &store);
    Feed(w, gga.substr(30), &store);
    EXPECT_EQ(w.Fix().Positions, 1u);
    EXPECT_EQ(w.Fix().FixQuality, 4);

    // A sentence whose checksum fails, or another sentence, is no position.
    std::string bad = Gga("081531.00", "5");
    bad[bad.size() - 4] ^= 1;
    Feed(w, bad + Nmea("GPGSA,A,3,01,02,03,,,,,,,,,,1.5,0.8,1.2"), &store);
    EXPECT_EQ(w.Fix().Positions, 1u);
    EXPECT_EQ(w.Fix().FixQuality, 4);

    // A single-point solution in a text position log: quality 1 as in GGA.
    Feed(w, WithTextCrc("#RTKPOSA,COM1,0,55.0,FINESTEERING,2295,79218.000,00000020,0000,16809;SOL_COMPUTED,SINGLE,"
                        "30.24279700000,120.20576000000,12.3450,7.1000,WGS84,1.6961,1.3636,3.6449,\"0\",0.000,0.000,"
                        "19,19,19,19,00,06,00,33"));
    EXPECT_EQ(w.Fix().Positions, 2u);
    EXPECT_EQ(w.Fix().FixQuality, 1);
    Feed(w, Gga("081532.00", "0"));
    EXPECT_EQ(w.Fix().Positions, 3u);
    EXPECT_EQ(w.Fix().FixQuality, 0);
}
