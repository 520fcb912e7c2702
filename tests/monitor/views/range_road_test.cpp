// Range observations through the whole road, from a receiver that sends them
// only compressed, as most do: its port, the receive road, the store, the
// main window's refresh and the two views that show them. At every refresh
// the CN0 chart's Range bars and the range table's rows are the codec's
// expansion of the last range log the receiver sent: RANGECMP; RANGECMP4 at
// 1 Hz and at 20 Hz, every differential epoch expanded on its references
// however seldom the views refresh; and after five seconds of lost logs
// nothing from the broken chain, then the next reference epoch again.
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <tuple>

#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/range_view.h"
#include "view_road.h"

namespace
{
struct ROAD_CASE_T
{
    const char* pName;
    RANGE_FORM_E Form;
    uint32_t EpochMs;
    uint32_t ReferenceMs;
    uint32_t BytesPerSecond;
    std::vector<std::pair<uint32_t, uint32_t>> Lost; // stream time, ms
    uint32_t RunMs;                                  // stream time to run for
};

std::ostream& operator<<(std::ostream& os, const ROAD_CASE_T& c) { return os << c.pName; }

using BAR_T = std::tuple<QString, int, int>; // satellite, signal, whole dB-Hz

// A range log as the receiver sent it (the record: header and body).
struct SENT_LOG_T
{
    std::vector<uint8_t> Record;
    uint32_t Ms;
};

std::vector<SENT_LOG_T> SentRangeLogs(const FakeReceiver& Rx, uint16_t nId)
{
    std::vector<SENT_LOG_T> out;
    for (const STREAM_ITEM_T& it : Rx.Sent())
    {
        if (it.MessageId != nId || it.Wire.size() < LOG_HEADER_LENGTH + LOG_CRC_LENGTH)
            continue;
        SENT_LOG_T s;
        s.Record.assign(it.Wire.begin(), it.Wire.end() - LOG_CRC_LENGTH);
        BinaryLogHeader h;
        std::memcpy(&h, s.Record.data(), sizeof h);
        s.Ms = h.Milliseconds;
        out.push_back(std::move(s));
    }
    return out;
}

// The codec's expansion of the sent logs up to the one at Ms, RANGECMP4 in
// one stream of its own over every log sent.
std::vector<RANGE_OBS_T> CodecExpansion(const std::vector<SENT_LOG_T>& Logs, uint32_t Ms)
{
    auto pExpander = std::make_unique<RANGECMP4_CONTEXT_T>();
    std::vector<uint8_t> out(LOG_HEADER_LENGTH + 0xFFFF);
    for (const SENT_LOG_T& s : Logs)
    {
        BinaryLogHeader h;
        std::memcpy(&h, s.Record.data(), sizeof h);
        int32_t n = 0;
        const int ok = h.MessageId == MSG_ID_RANGECMP
                           ? RangeCmpToRange(s.Record.data(), int32_t(s.Record.size()), out.data(),
                                             int32_t(out.size()), &n)
                           : RangeCmp4ToRange(pExpander.get(), s.Record.data(), int32_t(s.Record.size()),
                                              out.data(), int32_t(out.size()), &n);
        if (s.Ms != Ms)
            continue;
        EXPECT_EQ(ok, 1);
        uint32_t nObs = 0;
        std::memcpy(&nObs, out.data() + LOG_HEADER_LENGTH, 4);
        std::vector<RANGE_OBS_T> obs(nObs);
        std::memcpy(obs.data(), out.data() + LOG_HEADER_LENGTH + 4, nObs * sizeof(RANGE_OBS_T));
        return obs;
    }
    ADD_FAILURE() << "no log sent at " << Ms;
    return {};
}

// The bars the CN0 chart draws for observations of GPS (L1 C/A, L2 P(Y))
// and GLONASS (L1, L2 P): one per satellite and signal, by the chart's
// labels ("G12", "R3") and signal indexes.
std::multiset<BAR_T> ExpectedBars(const std::vector<RANGE_OBS_T>& Obs)
{
    std::multiset<BAR_T> bars;
    for (const RANGE_OBS_T& o : Obs)
    {
        const uint32_t nSys = (o.TrackingStatus >> 16) & 7, nType = (o.TrackingStatus >> 21) & 31;
        const QString sLabel =
            nSys == TRACK_SYS_GLONASS ? QStringLiteral("R%1").arg(o.Prn - 37) : QStringLiteral("G%1").arg(o.Prn);
        bars.emplace(sLabel, nType == 0 ? 0 : 1, static_cast<int>(o.CNo));
    }
    return bars;
}

std::multiset<BAR_T> PaintedBars(const QCN0BarChart& View)
{
    std::multiset<BAR_T> bars;
    for (const QCN0BarChart::RANGE_BAR_T& b : View.PaintedBars())
        if (!b.VectorAntenna)
            bars.emplace(b.Label, b.Signal, b.Cn0);
    return bars;
}

class RangeRoad : public ::testing::TestWithParam<ROAD_CASE_T>
{
};

RECEIVER_RULES_T Rules(const ROAD_CASE_T& c)
{
    RECEIVER_RULES_T r = QuietLogs();
    r.RangeForm = c.Form;
    r.Cmp4ReferenceMs = c.ReferenceMs;
    r.LostRangeLogs = c.Lost;
    return r;
}
} // namespace

TEST_P(RangeRoad, TheCn0BarsAndTheTableRowsAreTheExpansionOfTheLastLogSentAtEveryRefresh)
{
    const ROAD_CASE_T& c = GetParam();
    const uint16_t nId = c.Form == RANGE_FORM_RANGECMP ? MSG_ID_RANGECMP : MSG_ID_RANGECMP4;
    ViewRoad road(Rules(c));
    QCN0BarChart chart;
    QRangeView table;
    chart.m_pPortTab = road.Tabs();
    table.m_pPortTab = road.Tabs();
    ASSERT_TRUE(road.Open());
    chart.RangeButton()->setChecked(true);
    chart.resize(1000, 800);
    chart.show();
    table.LogCombo()->setCurrentText(nId == MSG_ID_RANGECMP ? QStringLiteral("RANGECMP") : QStringLiteral("RANGECMP4"));
    table.show();

    const uint32_t kStartMs = 79218000; // the stream's first epoch
    road.Rx.StartStream(STREAM_BINARY_LOGS, c.BytesPerSecond, c.EpochMs);
    const QRangeData* pStore = road.Store();
    // The logs that came after a loss, up to the next reference epoch, stand
    // on references the port never got.
    const auto broken = [&](uint32_t nMs)
    {
        for (const auto& w : c.Lost)
        {
            const uint32_t nNextReference = (kStartMs + w.second + c.ReferenceMs - 1) / c.ReferenceMs * c.ReferenceMs;
            if (nMs >= kStartMs + w.second && nMs < nNextReference)
                return true;
        }
        return false;
    };
    uint32_t nShownMs = 0, nRefreshes = 0, nBrokenRefreshes = 0, nAfterLoss = 0;
    // Range logs sent by each refresh: what the window's refresh period
    // (800 ms) ago had been sent must be shown by now or newer.
    std::vector<std::pair<std::chrono::steady_clock::time_point, size_t>> sentBy;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (nShownMs < kStartMs + c.RunMs)
    {
        ASSERT_LT(std::chrono::steady_clock::now(), giveUp) << "the stream stalled at " << nShownMs;
        // The views refresh as the main window's tick calls them, here more
        // often than it does; the receive road takes what arrives in between.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
        while (std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const RANGE_OBS_SET_T* pLatest = pStore->RangeObservations().Latest(RANGE_ANTENNA_POSITION);
        if (pLatest == nullptr)
            continue;
        chart.OnUpdateCN0BarChart(road.TabsPayload());
        table.OnUpdateData(road.TabsPayload());
        ++nRefreshes;
        const uint32_t nMs = pLatest->Header.Milliseconds;
        ASSERT_EQ(pLatest->SourceId, nId);
        // The last log the store took is one the receiver sent since the refresh before.
        // (The receiver notes a log just after the line took it.)
        std::vector<SENT_LOG_T> sent;
        size_t nAt = 0;
        WaitUntil(
            [&]
            {
                sent = SentRangeLogs(road.Rx, nId);
                for (nAt = 0; nAt < sent.size() && sent[nAt].Ms != nMs;)
                    ++nAt;
                return nAt < sent.size();
            },
            2000);
        ASSERT_LT(nAt, sent.size()) << "shown a log never sent, at " << nMs;
        const auto now = std::chrono::steady_clock::now();
        size_t nDue = 0;
        for (const auto& b : sentBy)
            if (now - b.first >= std::chrono::milliseconds(800))
                nDue = b.second;
        EXPECT_GE(nAt + 1, nDue) << "more than one refresh behind";
        sentBy.emplace_back(now, sent.size());
        nShownMs = nMs;

        SCOPED_TRACE(nMs);
        if (broken(nMs))
        {
            // Nothing from a broken chain, in either view.
            ++nBrokenRefreshes;
            EXPECT_TRUE(PaintedBars(chart).empty());
            EXPECT_EQ(table.Rows()->rowCount(), 0);
            continue;
        }
        const std::vector<RANGE_OBS_T> expected = CodecExpansion(sent, nMs);
        ASSERT_EQ(expected.size(), 32u);
        EXPECT_EQ(PaintedBars(chart), ExpectedBars(expected));
        ASSERT_EQ(table.Rows()->rowCount(), static_cast<int>(expected.size()));
        for (int r = 0; r < table.Rows()->rowCount(); ++r)
        {
            const RANGE_OBS_T& o = expected[static_cast<size_t>(r)];
            EXPECT_EQ(table.Rows()->Text(r, 0), QString::number(o.Prn)) << r;
            EXPECT_EQ(table.Rows()->Text(r, 8), QString::number(o.Psr, 'f', 3)) << r;
            EXPECT_EQ(table.Rows()->Text(r, 5), QString::number(o.Adr, 'f', 4)) << r;
            EXPECT_EQ(table.Rows()->Text(r, 2), QString::number(double(o.CNo), 'f', 2)) << r;
            EXPECT_EQ(table.Rows()->Text(r, 3), QString::number(double(o.LockTime), 'f', 3)) << r;
        }
        if (!c.Lost.empty() && nMs >= kStartMs + c.Lost.front().second)
            ++nAfterLoss;
    }
    road.Rx.StopStream();
    EXPECT_GE(nRefreshes, 4u);
    if (!c.Lost.empty())
    {
        EXPECT_GT(nBrokenRefreshes, 0u) << "a refresh saw the broken chain";
        EXPECT_GT(nAfterLoss, 0u) << "a refresh saw the next reference epoch";
        EXPECT_GT(pStore->RangeObservations().Refused(RANGE_REFUSED_NO_REFERENCE), 0u);
    }
    EXPECT_EQ(pStore->RangeObservations().Refused(RANGE_REFUSED_MALFORMED), 0u);
    EXPECT_EQ(pStore->RangeObservations().Refused(RANGE_REFUSED_UNKNOWN_SIGNAL), 0u);
}

// The receiver streams faster than its own clock where that saves the test
// time; the views refresh every 150 ms of the test's.
INSTANTIATE_TEST_SUITE_P(
    Receivers, RangeRoad,
    ::testing::Values(ROAD_CASE_T{"Rangecmp1Hz", RANGE_FORM_RANGECMP, 1000, 1000, 3000, {}, 4000},
                      ROAD_CASE_T{"Rangecmp4At1HzReferenceEvery3s", RANGE_FORM_RANGECMP4, 1000, 3000, 2000, {}, 7000},
                      ROAD_CASE_T{"Rangecmp4At20HzReferenceEvery2s", RANGE_FORM_RANGECMP4, 50, 2000, 16000, {}, 5000},
                      ROAD_CASE_T{"Rangecmp4At20HzFiveSecondsLost", RANGE_FORM_RANGECMP4, 50, 3000, 16000,
                                  {{2000, 7500}}, 11000}),
    [](const ::testing::TestParamInfo<ROAD_CASE_T>& i) { return std::string(i.param.pName); });

// A receiver with two antennas: the chart's vector bars are the second
// antenna's latest observations, whichever of its logs carried them, beside
// the position antenna's; neither antenna's log changes the other's bars.
TEST(RangeRoadAntennas, TheVectorBarsAreTheSecondAntennasLatestObservations)
{
    ViewRoad road;
    QCN0BarChart chart;
    chart.m_pPortTab = road.Tabs();
    ASSERT_TRUE(road.Open());
    chart.RangeButton()->setChecked(true);
    chart.SignalBox()->setChecked(true);
    chart.resize(1000, 800);
    chart.show();

    std::vector<loggen::Signal> pos, second;
    for (uint16_t n : {5, 13})
        pos.push_back({TRACK_SYS_GPS, 0, n, 0}), pos.push_back({TRACK_SYS_GPS, 9, n, 0});
    for (uint16_t n : {13, 21})
        second.push_back({TRACK_SYS_GPS, 0, n, 0});
    const uint32_t kMs = 79218000;
    std::vector<RANGE_OBS_T> secondObs = loggen::Epoch(second, 10.0);
    secondObs[0].CNo = 33.5f;
    auto pPacker = std::make_unique<RANGECMP4_CONTEXT_T>();
    const loggen::Bytes rangeH = loggen::RangeRecord(2295, kMs, secondObs, MSG_ID_RANGEH);
    std::vector<uint8_t> packed(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    ASSERT_EQ(RangeToRangeCmp4(pPacker.get(), rangeH.data(), int32_t(rangeH.size()), packed.data(),
                               int32_t(packed.size()), &n),
              1);
    packed.resize(static_cast<size_t>(n));
    ASSERT_TRUE(road.SendLog(loggen::RangeCmpRecord(loggen::RangeRecord(2295, kMs, loggen::Epoch(pos, 10.0)))));
    ASSERT_TRUE(road.SendLog(packed)); // "RANGECMP4A_1"
    chart.OnUpdateCN0BarChart(road.TabsPayload());

    std::multiset<BAR_T> vector, position;
    for (const QCN0BarChart::RANGE_BAR_T& b : chart.PaintedBars())
        (b.VectorAntenna ? vector : position).emplace(b.Label, b.Signal, b.Cn0);
    EXPECT_EQ(vector, (std::multiset<BAR_T>{{"G13", 0, 33}, {"G21", 0, int(secondObs[1].CNo)}}));
    EXPECT_EQ(position, ExpectedBars(loggen::Epoch(pos, 10.0)));
    // The axis has each satellite once, whichever antennas saw it.
    EXPECT_EQ(chart.XLabels(), QStringList({"G5", "G13", "G21"}));
}
