// The progress poller: one report at least, the final report once, and a stop
// that does not wait out the period.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include <atomic>

#include "converter/ui/progress_poller.h"

TEST(ProgressPollerTest, ReportsUntilStoppedThenOnceMore)
{
    struct Case
    {
        std::chrono::milliseconds period;
        int nAtLeast;
    };
    // An hour-long period still gives its first report, and Stop ends it
    // at once; a short one keeps reporting until stopped.
    for (const Case& c : {Case{std::chrono::hours(1), 1}, Case{std::chrono::milliseconds(1), 5}})
    {
        SCOPED_TRACE(c.period.count());
        std::atomic<int> nReports{0}, nFinal{0}, nAfterFinal{0};
        CProgressPoller poller;
        poller.Start(
            [&]
            {
                nAfterFinal += nFinal.load();
                ++nReports;
            },
            [&] { ++nFinal; }, c.period);
        for (int i = 0; i < 5000 && nReports < c.nAtLeast; ++i)
            QThread::msleep(1);
        QElapsedTimer timer;
        timer.start();
        poller.Stop();
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_FALSE(poller.Running());
        EXPECT_GE(nReports, c.nAtLeast);
        EXPECT_EQ(nFinal, 1);
        EXPECT_EQ(nAfterFinal, 0);
        poller.Stop();
        EXPECT_EQ(nFinal, 1);
    }
}
