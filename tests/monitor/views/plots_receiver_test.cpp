// The track and height plots fed, as the main window's tick feeds them, from
// the position record of a fake receiver's port: each epoch the receiver
// sends becomes one point at its site, with its solution and height.
#include <QLabel>
#include <cmath>
#include <gtest/gtest.h>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/track_plot.h"
#include "plots_fixture.h"
#include "support/profile_fixture.h"

TEST(PlotsReceiver, EachEpochOfAReceiverIsOnePointOfTheTrackAndHeightPlots)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    ShellStandIn shell;
    FakeReceiver rx;
    ASSERT_NE(OpenReceiver(shell, rx), nullptr);
    QTrackPlot track;
    QHeightPlot height;
    track.show();
    height.show();
    rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 40000);
    // A tick whenever the record holds a new epoch.
    double last = POS_GPS_SECONDS_NONE;
    int ticks = 0;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            const POS_DATA_T* pPos = shell.Tabs.GetPosData();
            if (pPos->GpsSeconds != last)
            {
                last = pPos->GpsSeconds;
                void* p = const_cast<POS_DATA_T*>(pPos);
                track.OnUpdateTrackPlotWindow(p);
                height.OnUpdateHeightPlotWindow(p);
                track.OnUpdateTrackPlotWindow(p); // the same epoch twice adds nothing
                ++ticks;
            }
            return track.PointCount() >= 8;
        }));
    rx.StopStream();

    // The stream's site near Wuhan, wandering by centimetres.
    const double kPi = 3.141592653589793;
    const POS_DATA_T* pPos = shell.Tabs.GetPosData();
    double site[3];
    QTrackPlot::ToEcef(30.5283 * kPi / 180, 114.3558 * kPi / 180, pPos->Height, site);
    const QTrackPlot::TRACK_POINT_T& first = track.Point(0);
    EXPECT_LT(std::hypot(first.X - site[0], first.Y - site[1], first.Z - site[2]), 0.1);
    int nFixed = 0;
    for (int i = 0; i < track.PointCount(); ++i)
    {
        EXPECT_LT(std::hypot(track.Point(i).East, track.Point(i).North), 0.1) << i;
        nFixed += track.Point(i).Type == QTrackPlot::FIXED_SOLUTION;
    }
    EXPECT_EQ(nFixed, track.PointCount()) << "the stream's solution is fixed RTK";
    EXPECT_EQ(track.findChild<QLabel*>(QStringLiteral("m_pFixLabel"))->text(),
              QStringLiteral("100.00% /%1").arg(track.PointCount()));
    EXPECT_LE(track.PointCount(), ticks);

    ASSERT_EQ(height.PointCount(), track.PointCount());
    for (int i = 0; i < height.PointCount(); ++i)
    {
        EXPECT_NEAR(height.Point(i).y(), pPos->Height, 0.05) << i;
        if (i > 0)
        {
            EXPECT_GT(height.Point(i).x(), height.Point(i - 1).x());
        }
    }
}
