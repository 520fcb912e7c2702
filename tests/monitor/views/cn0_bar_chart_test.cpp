// The CN0 view charts what the receiver sent: in NMEA mode one bar per
// satellite with the GSV carrier-to-noise value, in Range mode one bar per
// satellite and signal with the RANGE log's value, painted where the layout of
// the window's size puts it; systems without bars of their own and signals
// without a bar leave no column, and an empty store shows no bars.
#include <QCheckBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <set>

#include "codec/range_logs.h"
#include "monitor/views/cn0_bar_chart.h"
#include "view_road.h"

QT_CHARTS_USE_NAMESPACE

namespace
{
// The chart as a list of (category, system name, value): the non-zero bar of each category.
std::vector<std::tuple<QString, QString, double>> Charted(const QCN0BarChart& View)
{
    std::vector<std::tuple<QString, QString, double>> out;
    const QStringList categories = View.CategoryAxis()->categories();
    for (int i = 0; i < categories.size(); ++i)
        for (QBarSet* pSet : View.Series()->barSets())
            if (i < pSet->count() && pSet->at(i) != 0)
                out.emplace_back(categories[i], pSet->label(), pSet->at(i));
    return out;
}

// The value each category's bar shows on the chart as painted: its height in
// its system's colour from the bottom of the plot, on the 0-55 scale.
std::vector<double> DrawnValues(const QCN0BarChart& View)
{
    const QImage image = Picture(View.ChartView());
    const QRectF plot = View.ChartView()->chart()->plotArea();
    const QStringList categories = View.CategoryAxis()->categories();
    std::vector<double> out;
    for (int i = 0; i < categories.size(); ++i)
    {
        QColor colour;
        for (QBarSet* pSet : View.Series()->barSets())
            if (pSet->at(i) != 0)
                colour = pSet->color();
        const int x = static_cast<int>(plot.left() + (i + 0.5) * plot.width() / categories.size());
        int y = static_cast<int>(plot.bottom()) - 2;
        while (y > plot.top() - 2 && Near(image.pixel(x, y), colour, 8))
            --y;
        out.push_back(std::round((plot.bottom() - y) * 55.0 / plot.height()));
    }
    return out;
}

// The value axis's labels as the chart shows them, from the bottom up: the
// visible text items of the chart's scene left of the plot and level with it.
// The value axis's labels as drawn, from the bottom up: where and what.
std::vector<std::pair<QRectF, QString>> ValueLabelItems(const QCN0BarChart& View)
{
    QChart* pChart = View.ChartView()->chart();
    const QRectF plot = pChart->mapRectToScene(pChart->plotArea());
    std::vector<std::pair<QRectF, QString>> found;
    for (QGraphicsItem* pItem : View.ChartView()->scene()->items())
    {
        const auto* pText = dynamic_cast<const QGraphicsTextItem*>(pItem);
        if (pText == nullptr || !pText->isVisible())
            continue;
        const QRectF r = pText->sceneBoundingRect();
        if (r.right() <= plot.left() + 1 && r.center().y() > plot.top() - r.height() &&
            r.center().y() < plot.bottom() + r.height())
            found.emplace_back(r, pText->toPlainText());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first.center().y() > b.first.center().y(); });
    return found;
}

QStringList ValueLabels(const QCN0BarChart& View)
{
    QStringList out;
    for (const auto& f : ValueLabelItems(View))
        out << f.second;
    return out;
}

// The view's signal index of a tracking status's signal type, by system.
int SignalIndex(uint8_t nTrackSys, uint8_t nType)
{
    struct
    {
        uint8_t Sys, Type;
        int Index;
    } const kTypes[] = {{TRACK_SYS_GPS, 0, 0},      {TRACK_SYS_GPS, 5, 1},      {TRACK_SYS_GPS, 9, 1},
                        {TRACK_SYS_GPS, 17, 1},     {TRACK_SYS_GPS, 14, 2},     {TRACK_SYS_GLONASS, 0, 0},
                        {TRACK_SYS_GLONASS, 1, 1},  {TRACK_SYS_GLONASS, 5, 1},  {TRACK_SYS_GALILEO, 2, 0},
                        {TRACK_SYS_GALILEO, 12, 1}, {TRACK_SYS_GALILEO, 17, 2}, {TRACK_SYS_BEIDOU, 0, 0},
                        {TRACK_SYS_BEIDOU, 2, 1},   {TRACK_SYS_BEIDOU, 1, 2},   {TRACK_SYS_QZSS, 16, 0}};
    for (const auto& t : kTypes)
        if (t.Sys == nTrackSys && t.Type == nType)
            return t.Index;
    return -1;
}

struct RANGE_CASE_T
{
    uint8_t Sys;
    uint8_t Type;
    uint16_t Prn;
    float Cn0;
};

loggen::Bytes RangeOf(const std::vector<RANGE_CASE_T>& Cases)
{
    std::vector<RANGE_OBS_T> obs;
    uint8_t nChannel = 0;
    for (const RANGE_CASE_T& c : Cases)
        obs.push_back(
            loggen::Observation({c.Sys, c.Type, c.Prn, c.Sys == TRACK_SYS_GLONASS ? uint16_t(8) : uint16_t(0)},
                                nChannel++, 2.2e7, -1200.0f, c.Cn0, 300.0f));
    return loggen::RangeRecord(2295, 79218000, obs);
}

// One observation of every kind the view meets: two GPS signals of one
// satellite, one of another, an L5 above the top of the axis, an SBAS
// satellite (no bars of its own), a Galileo AltBOC signal (no bar), and one
// satellite of each other system.
const std::vector<RANGE_CASE_T> kMixed = {
    {TRACK_SYS_GPS, 0, 3, 40.6f},      {TRACK_SYS_GPS, 9, 3, 40.2f},      {TRACK_SYS_GPS, 0, 9, 35.0f},
    {TRACK_SYS_GPS, 14, 12, 60.0f},    {TRACK_SYS_SBAS, 0, 133, 44.0f},   {TRACK_SYS_GALILEO, 20, 7, 47.0f},
    {TRACK_SYS_GALILEO, 2, 19, 42.0f}, {TRACK_SYS_GLONASS, 0, 38, 39.9f}, {TRACK_SYS_BEIDOU, 2, 30, 37.0f},
    {TRACK_SYS_QZSS, 16, 194, 41.0f},
};

const QColor kGpsL1(0, 0, 255), kGpsL2(0, 240, 0), kGloG1(153, 0, 0);

QCN0BarChart::RANGE_BAR_T FindBar(const QCN0BarChart& View, const QString& sLabel, int nSignal)
{
    for (const QCN0BarChart::RANGE_BAR_T& b : View.PaintedBars())
        if (b.Label == sLabel && b.Signal == nSignal)
            return b;
    return {};
}

struct Cn0Road
{
    ViewRoad Road;
    QCN0BarChart View;

    bool Open()
    {
        View.m_pPortTab = Road.Tabs();
        QObject::connect(&View, &QCN0BarChart::SignalSendNMEAMsg, &Road.Shell.Manager,
                         &QZvPortManager::OnSendPortData1Port);
        return Road.Open();
    }
    void Range(QSize Size)
    {
        View.RangeButton()->setChecked(true);
        View.resize(Size);
        View.OnUpdateCN0BarChart(Road.TabsPayload());
    }
};
} // namespace

TEST(Cn0BarChart, ChartsTheGsvValuesOfTheStreamingReceiverThroughTheWholeRoad)
{
    Cn0Road t;
    QSignalSpy requests(&t.View, &QCN0BarChart::SignalSendNMEAMsg);
    ASSERT_TRUE(t.Open());
    t.View.show();
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests[0][0].toUInt(), t.Road.PortID());
    EXPECT_EQ(requests[0][1].toByteArray(),
              QByteArray("log gpgsv ontime 1\r\nlog gpgga ontime 1\r\nlog gpgsa ontime 1\r\n"));

    const std::vector<std::string> epoch = StreamEpochs(t.Road, 3);
    ASSERT_FALSE(epoch.empty());
    t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
    std::vector<std::tuple<QString, QString, double>> expected;
    for (const auto& [key, sat] : SentSatellites(epoch))
        expected.emplace_back(QStringLiteral("G%1").arg(key.second), QStringLiteral("GPS"), sat.Cn0);
    ASSERT_EQ(expected.size(), 12u);
    EXPECT_EQ(Charted(t.View), expected);
    EXPECT_TRUE(t.View.ChartView()->isVisible());
}

TEST(Cn0BarChart, ChartsEverySystemWidensPastFourteenSatellitesAndSkipsWhatHasNoValue)
{
    Cn0Road t;
    ASSERT_TRUE(t.Open());
    t.View.resize(760, 430);
    std::vector<TEST_SAT_T> sats = {{"GL", 70, 40, 40, 41, true},  {"GA", 311, 40, 80, 36, false},
                                    {"GB", 23, 40, 120, 45, true}, {"GQ", 195, 40, 160, 46, true},
                                    {"GP", 40, 40, 200, 0, false}, {"GP", 41, 40, 220, kNone, false}};
    for (int i = 0; i < 9; ++i)
        sats.push_back({"GP", 1 + i, 30, 10 * i, 30 + i, true});
    // Thirteen satellites with a value: the content is as wide as the window.
    ASSERT_TRUE(t.Road.SendUntil(Joined(Epoch(1, sats)) + Epoch(2, {}).front(),
                                 [&] { return t.Road.Position()->Utc.Second == 1; }));
    t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
    const auto charted = Charted(t.View);
    ASSERT_EQ(charted.size(), 13u);
    EXPECT_EQ(t.View.Content()->width(), t.View.width() - 10);
    EXPECT_EQ(charted[0], std::make_tuple(QStringLiteral("G1"), QStringLiteral("GPS"), 30.0));
    EXPECT_EQ(charted[9], std::make_tuple(QStringLiteral("R6"), QStringLiteral("GLO"), 41.0));
    EXPECT_EQ(charted[10], std::make_tuple(QStringLiteral("E11"), QStringLiteral("GAL"), 36.0));
    EXPECT_EQ(charted[11], std::make_tuple(QStringLiteral("C23"), QStringLiteral("BDS"), 45.0));
    EXPECT_EQ(charted[12], std::make_tuple(QStringLiteral("J195"), QStringLiteral("QZSS"), 46.0));

    // From fifteen on, 35 pixels a satellite.
    for (int n = 20; n < 27; ++n)
        sats.push_back({"GP", n, 30, 10 * n, n + 10, true});
    ASSERT_TRUE(t.Road.SendUntil(Joined(Epoch(2, sats)) + Epoch(3, {}).front(),
                                 [&] { return t.Road.Position()->Utc.Second == 2; }));
    t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
    EXPECT_EQ(Charted(t.View).size(), 20u);
    EXPECT_EQ(t.View.Content()->width(), 35 * 20);

    // New values for the same satellites are put into the chart in place: it
    // draws what a chart built afresh from the same epoch draws.
    for (TEST_SAT_T& s : sats)
        if (s.Cn0 > 0)
            s.Cn0 = 20 + (s.Cn0 * 7) % 30;
    ASSERT_TRUE(t.Road.SendUntil(Joined(Epoch(3, sats)) + Epoch(4, {}).front(),
                                 [&] { return t.Road.Position()->Utc.Second == 3; }));
    QCN0BarChart fresh;
    for (QCN0BarChart* p : {&t.View, &fresh})
    {
        p->resize(760, 430);
        p->show();
        p->OnUpdateCN0BarChart(t.Road.TabsPayload());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(Charted(t.View), Charted(fresh));
    const std::vector<double> drawn = DrawnValues(t.View);
    ASSERT_EQ(drawn.size(), 20u);
    EXPECT_EQ(drawn, DrawnValues(fresh));
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_NEAR(drawn[i], std::get<2>(Charted(fresh)[i]), 0.6) << i;

    // An unchecked system leaves the chart at the next update.
    t.View.SystemBox(0)->setChecked(false);
    t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
    EXPECT_EQ(Charted(t.View).size(), 4u);
    EXPECT_EQ(t.View.CategoryAxis()->categories(), QStringList({"R6", "E11", "C23", "J195"}));
}

// Every value label reads whole as its number, none overlaps another, and
// the labels go every 5 dB-Hz where the plot has room for them in the font in
// use, else at the next of the chart's steps that has room: the step follows
// the font, whatever fonts the machine has.
TEST(Cn0BarChart, LabelsTheValueAxisReadablyAtEverySize)
{
    Cn0Road t;
    ASSERT_TRUE(t.Open());
    std::vector<TEST_SAT_T> sats;
    for (int i = 0; i < 8; ++i)
        sats.push_back({"GP", 1 + i, 30, 40 * i, 30 + 2 * i, true});
    ASSERT_TRUE(t.Road.SendUntil(Joined(Epoch(1, sats)) + Epoch(2, {}).front(),
                                 [&] { return t.Road.Position()->Utc.Second == 1; }));
    t.View.show();
    const int kSteps[] = {5, 10, 25, 55};
    const QSize sizes[] = {{400, 427}, {760, 520}, {388, 427}, {760, 330}, {400, 250}, {1200, 900}};
    std::set<int> seen;
    for (const QSize& size : sizes)
    {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        t.View.resize(size);
        t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
        ASSERT_EQ(Charted(t.View).size(), sats.size());
        const int nStep = static_cast<int>(t.View.ValueAxis()->tickInterval());
        ASSERT_TRUE(std::find(std::begin(kSteps), std::end(kSteps), nStep) != std::end(kSteps)) << nStep;
        seen.insert(nStep);
        // What is drawn once the chart has laid itself out for its size.
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                QCoreApplication::processEvents();
                return ValueLabels(t.View).size() == 55 / nStep + 1;
            }))
            << ValueLabels(t.View).join(' ').toStdString();
        QStringList expected;
        for (int v = 0; v <= 55; v += nStep)
            expected << QString::number(v);
        EXPECT_EQ(ValueLabels(t.View), expected);

        const std::vector<std::pair<QRectF, QString>> items = ValueLabelItems(t.View);
        for (size_t i = 1; i < items.size(); ++i)
            EXPECT_GE(items[i - 1].first.top() + 0.5, items[i].first.bottom())
                << items[i - 1].second.toStdString() << " and " << items[i].second.toStdString() << " overlap";
        // The smallest step whose labels, as high as the font draws them, share
        // the plot's height with a pixel to spare: Qt Charts elides a label
        // whose share is only just as high as it.
        QChart* pChart = t.View.ChartView()->chart();
        const qreal plotHeight = pChart->plotArea().height();
        qreal labelHeight = 0;
        for (const auto& item : items)
            labelHeight = std::max(labelHeight, item.first.height());
        int nFits = 55;
        for (int s : kSteps)
            if (plotHeight / (55 / s + 1) >= labelHeight + 1.0)
            {
                nFits = s;
                break;
            }
        EXPECT_EQ(nStep, nFits) << "plot " << plotHeight << " label " << labelHeight;
        // The system legend is whole in the window, whatever its width.
        for (QCheckBox* pBox : t.View.findChildren<QCheckBox*>(QRegularExpression(QStringLiteral("^Cn0System"))))
        {
            const QRect shown(pBox->mapTo(&t.View, QPoint(0, 0)), pBox->size());
            EXPECT_TRUE(t.View.rect().contains(shown)) << pBox->text().toStdString();
        }
    }
    // The sizes span a fine and a coarse axis whatever the font.
    EXPECT_TRUE(seen.count(5));
    EXPECT_GT(*seen.rbegin(), 5);
}

TEST(Cn0BarChart, PaintsTheRangeValuesOfTheStreamingReceiverPerSignal)
{
    Cn0Road t;
    ASSERT_TRUE(t.Open());
    t.Road.Rx.StartStream(STREAM_BINARY_LOGS, 40000);
    ASSERT_TRUE(WaitUntil([&] { return t.Road.Store()->BodyUpdates(MSG_ID_RANGE) >= 3; }));
    t.Road.Rx.StopStream();
    // The last RANGE log sent, read field by field.
    std::string last;
    uint32_t nRanges = 0;
    for (const STREAM_ITEM_T& it : t.Road.Rx.Sent())
        if (it.Name == "RANGEB")
            last = it.Wire, ++nRanges;
    ASSERT_TRUE(WaitUntil([&] { return t.Road.Store()->BodyUpdates(MSG_ID_RANGE) == nRanges; }));
    uint32_t nObs = 0;
    std::memcpy(&nObs, last.data() + LOG_HEADER_LENGTH, 4);
    std::multiset<std::tuple<QString, int, int>> expected;
    for (uint32_t i = 0; i < nObs; ++i)
    {
        RANGE_OBS_T o;
        std::memcpy(&o, last.data() + LOG_HEADER_LENGTH + 4 + i * sizeof o, sizeof o);
        const uint8_t nSys = (o.TrackingStatus >> 16) & 7, nType = (o.TrackingStatus >> 21) & 31;
        const QString sLabel =
            nSys == TRACK_SYS_GLONASS ? QStringLiteral("R%1").arg(o.Prn - 37) : QStringLiteral("G%1").arg(o.Prn);
        expected.emplace(sLabel, SignalIndex(nSys, nType), static_cast<int>(o.CNo));
    }
    ASSERT_EQ(expected.size(), 32u);

    t.Range(QSize(1000, 800));
    ASSERT_EQ(t.View.PaintedLayout(), QCN0BarChart::RANGE_LAYOUT_WIDE);
    std::multiset<std::tuple<QString, int, int>> painted;
    const QImage picture = t.View.Canvas()->pixmap(Qt::ReturnByValue).toImage();
    for (const QCN0BarChart::RANGE_BAR_T& b : t.View.PaintedBars())
    {
        painted.emplace(b.Label, b.Signal, b.Cn0);
        // Each bar stands on the axis, four pixels per dB-Hz, in its signal's colour.
        EXPECT_EQ(b.Rect.bottom() + 1, 230);
        EXPECT_EQ(b.Rect.height(), 4 * std::min(b.Cn0, 55));
        const QColor want =
            b.Slot == 0 ? (b.Signal == 0 ? kGpsL1 : kGpsL2) : (b.Signal == 0 ? kGloG1 : QColor(194, 128, 0));
        EXPECT_TRUE(Near(picture.pixel(b.Rect.center()), want)) << b.Label.toStdString() << " " << b.Signal;
    }
    EXPECT_EQ(painted, expected);
}

TEST(Cn0BarChart, PaintsEachSatellitesSignalsSideBySideInTheLayoutOfTheWindowsSize)
{
    Cn0Road t;
    ASSERT_TRUE(t.Open());
    ASSERT_TRUE(t.Road.SendLog(RangeOf(kMixed)));

    // Wide: every system on one axis, in slot order.
    t.Range(QSize(1000, 800));
    ASSERT_EQ(t.View.PaintedLayout(), QCN0BarChart::RANGE_LAYOUT_WIDE);
    EXPECT_EQ(t.View.XLabels(), QStringList({"G3", "G9", "G12", "R1", "E19", "C30", "J194"}));
    struct
    {
        const char* Label;
        int Signal;
        QRect Rect;
    } const wide[] = {
        {"G3", 0, QRect(65, 70, 15, 160)},   {"G3", 1, QRect(80, 70, 15, 160)},    {"G9", 0, QRect(105, 90, 30, 140)},
        {"G12", 2, QRect(145, 10, 30, 220)}, {"R1", 0, QRect(185, 74, 30, 156)},   {"E19", 0, QRect(225, 62, 30, 168)},
        {"C30", 1, QRect(265, 82, 30, 148)}, {"J194", 0, QRect(305, 66, 30, 164)},
    };
    ASSERT_EQ(t.View.PaintedBars().size(), std::size(wide));
    QImage picture = t.View.Canvas()->pixmap(Qt::ReturnByValue).toImage();
    for (const auto& w : wide)
    {
        const QCN0BarChart::RANGE_BAR_T b = FindBar(t.View, QString::fromLatin1(w.Label), w.Signal);
        EXPECT_EQ(b.Rect, w.Rect) << w.Label;
    }
    EXPECT_EQ(FindBar(t.View, "G12", 2).Cn0, 60);
    EXPECT_TRUE(Near(picture.pixel(70, 150), kGpsL1));
    EXPECT_TRUE(Near(picture.pixel(87, 150), kGpsL2));
    EXPECT_TRUE(Near(picture.pixel(200, 150), kGloG1));

    // An unchecked signal loses its bars; a satellite seen only on it leaves the axis.
    t.View.PosSignalBox(0, 1)->setChecked(false);
    t.Range(QSize(1000, 800));
    EXPECT_EQ(FindBar(t.View, "G3", 1).Label, QString());
    EXPECT_EQ(FindBar(t.View, "G3", 0).Rect, QRect(65, 70, 15, 160));
    t.View.PosSignalBox(0, 0)->setChecked(false);
    t.Range(QSize(1000, 800));
    EXPECT_EQ(t.View.XLabels(), QStringList({"G12", "R1", "E19", "C30", "J194"}));
    t.View.PosSignalBox(0, 0)->setChecked(true);
    t.View.PosSignalBox(0, 1)->setChecked(true);

    // Tall: one axis per system, 225 pixels apart, three pixels per dB-Hz.
    t.Range(QSize(800, 800));
    ASSERT_EQ(t.View.PaintedLayout(), QCN0BarChart::RANGE_LAYOUT_TALL);
    EXPECT_EQ(FindBar(t.View, "G3", 0).Rect, QRect(40, 105, 15, 120));
    EXPECT_EQ(FindBar(t.View, "R1", 0).Rect, QRect(40, 450 - 117, 30, 117));
    EXPECT_EQ(FindBar(t.View, "J194", 0).Rect, QRect(40, 1125 - 123, 30, 123));
    picture = t.View.Canvas()->pixmap(Qt::ReturnByValue).toImage();
    EXPECT_TRUE(Near(picture.pixel(55, 400), kGloG1));

    // Small: one tab per system, each painted inside its own picture.
    t.Range(QSize(800, 600));
    ASSERT_EQ(t.View.PaintedLayout(), QCN0BarChart::RANGE_LAYOUT_SMALL);
    QTabWidget* pTabs = t.View.RangeTabs();
    ASSERT_EQ(pTabs->count(), 5);
    EXPECT_EQ(pTabs->tabText(1), QStringLiteral("GLO"));
    const QCN0BarChart::RANGE_BAR_T r1 = FindBar(t.View, "R1", 0);
    EXPECT_EQ(r1.Picture, 2);
    EXPECT_EQ(r1.Rect, QRect(65, 74, 30, 156));
    const QImage tab = qobject_cast<QLabel*>(pTabs->widget(1))->pixmap(Qt::ReturnByValue).toImage();
    ASSERT_GT(tab.height(), r1.Rect.bottom());
    EXPECT_TRUE(Near(tab.pixel(r1.Rect.center()), kGloG1));
}

TEST(Cn0BarChart, PicksTheLayoutByTheWindowsSizeWithoutAGap)
{
    struct
    {
        QSize Size;
        QCN0BarChart::RANGE_LAYOUT_E Layout;
    } const cases[] = {
        {{1000, 800}, QCN0BarChart::RANGE_LAYOUT_WIDE}, {{900, 600}, QCN0BarChart::RANGE_LAYOUT_WIDE},
        {{800, 800}, QCN0BarChart::RANGE_LAYOUT_TALL},  {{800, 700}, QCN0BarChart::RANGE_LAYOUT_TALL},
        {{800, 600}, QCN0BarChart::RANGE_LAYOUT_SMALL}, {{899, 699}, QCN0BarChart::RANGE_LAYOUT_SMALL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCN0BarChart::LayoutForSize(c.Size), c.Layout) << c.Size.width() << "x" << c.Size.height();
    QCN0BarChart view;
    EXPECT_EQ(view.OnRemoveListSame({"G1", "G2", "G1", "G3", "G2"}), QStringList({"G1", "G2", "G3"}));
}

TEST(Cn0BarChart, AnEmptyStoreOrNoPortShowsNoBars)
{
    Cn0Road t;
    ASSERT_TRUE(t.Open());
    ASSERT_TRUE(t.Road.SendLog(RangeOf(kMixed)));
    t.Range(QSize(1000, 800));
    ASSERT_FALSE(t.View.PaintedBars().isEmpty());

    // A second port whose store holds no RANGE yet becomes current: its view is empty.
    ViewRoad::Extra other(t.Road);
    ASSERT_TRUE(other.Open());
    t.View.OnPortTabChange(1);
    t.Range(QSize(1000, 800));
    EXPECT_TRUE(t.View.PaintedBars().isEmpty());
    EXPECT_TRUE(t.View.XLabels().isEmpty());
    t.View.NmeaButton()->setChecked(true);
    t.View.OnUpdateCN0BarChart(t.Road.TabsPayload());
    EXPECT_TRUE(t.View.CategoryAxis()->categories().isEmpty());

    // Both ports closed: no tab, nothing read, nothing shown.
    t.Road.Shell.Tabs.OnClosePort(1);
    t.Road.Shell.Tabs.OnClosePort(0);
    ASSERT_TRUE(WaitUntil([&] { return t.Road.Shell.Tabs.count() == 0; }));
    t.Range(QSize(800, 600));
    EXPECT_TRUE(t.View.PaintedBars().isEmpty());
    EXPECT_EQ(t.View.RangeTabs()->count(), 0);
}
