// The sky plot shows the current port's satellites as the receiver sent them:
// through the port, the data view, the NMEA parser and the position record,
// read at the tick; each constellation in its colour, used ones solid and
// tracked ones faint, at the place the polar geometry gives, and nothing for
// a satellite without a place or one the receiver no longer reports.
#include <QCheckBox>
#include <QSignalSpy>
#include <cmath>

#include "monitor/views/satellite_views.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/skyplot_widget.h"
#include "view_road.h"

namespace
{
constexpr double kPi = 3.14159265358979323846;
const QColor kSlotColours[6] = {QColor(51, 144, 215), QColor(0, 112, 0), QColor(173, 66, 76),
                                QColor(213, 180, 18), QColor(),          QColor(0, 144, 166)};

// Where the plot puts a disc, from its own size and the polar rules: the plot
// square is the smaller side times the margin scale, centred; radius
// (90 - el) / 180 of it from the centre; north up, azimuth clockwise.
QPoint DiscCentre(const SkyplotWidget& w, double az, double el)
{
    const float D = static_cast<float>(std::min(w.width(), w.height())) * w.marginScale();
    const double r = (90.0 - el) * D / 180.0;
    const double x = std::floor(D / 2.0 + std::sin(az * kPi / 180.0) * r);
    const double y = std::floor(D / 2.0 - std::cos(az * kPi / 180.0) * r);
    return QPoint(static_cast<int>((w.width() - D) / 2.0f + x), static_cast<int>((w.height() - D) / 2.0f + y));
}

// A pixel of the disc away from its label and outline.
QPoint InDisc(const SkyplotWidget& w, double az, double el)
{
    const int r = static_cast<int>(std::min(w.width(), w.height()) * w.marginScale() * w.satelliteScale());
    return DiscCentre(w, az, el) + QPoint(0, r * 7 / 10);
}

// The satellites the plot holds and would draw, keyed by slot (by colour) and label.
std::map<std::pair<uint32_t, int>, SkyplotWidget::Satellite> Drawn(const SkyplotWidget& Plot)
{
    std::map<std::pair<uint32_t, int>, SkyplotWidget::Satellite> out;
    for (const SkyplotWidget::Satellite& s : Plot.satellites())
    {
        if ((s.state & (SkyplotWidget::Visible | SkyplotWidget::HalfVisible)) == 0 ||
            !SkyplotWidget::onPlot(s.az, s.el))
            continue;
        for (uint32_t nSlot = 0; nSlot < 6; ++nSlot)
            if (kSlotColours[nSlot].isValid() && s.innerColor == kSlotColours[nSlot])
                out[{nSlot, s.label.toInt()}] = s;
    }
    return out;
}

// Compares what the plot draws with what was sent: every sent satellite with a
// place in the sky, and nothing else.
void ExpectDrawnAsSent(const SkyplotWidget& Plot, const std::map<std::pair<uint32_t, int>, SENT_SAT_T>& Sent)
{
    const auto drawn = Drawn(Plot);
    size_t nPlaced = 0;
    for (const auto& [key, sat] : Sent)
    {
        const bool bPlaced = sat.Elevation >= 0 && sat.Elevation <= 90 && sat.Azimuth >= 0 && sat.Azimuth <= 360;
        auto it = drawn.find(key);
        SCOPED_TRACE(std::string(SatSlot(key.first).Letter) + std::to_string(key.second));
        ASSERT_EQ(it != drawn.end(), bPlaced);
        if (!bPlaced)
            continue;
        ++nPlaced;
        EXPECT_EQ(it->second.az, sat.Azimuth);
        EXPECT_EQ(it->second.el, sat.Elevation);
        EXPECT_EQ(it->second.state, sat.Used ? SkyplotWidget::Visible : SkyplotWidget::HalfVisible);
        EXPECT_EQ(it->second.fontColor, QColor(255, 255, 255));
    }
    EXPECT_EQ(drawn.size(), nPlaced);
}

// A receiver seen from one place, of every constellation and numbering: GPS
// and an SBAS satellite, GLONASS, Galileo numbered both ways, BeiDou under
// both talkers, QZSS by PRN and by its short number; one satellite without an
// elevation and one below the horizon.
const std::vector<TEST_SAT_T> kFirst = {
    {"GP", 5, 45, 45, 44, true},        {"GP", 12, 20, 200, 38, true},   {"GP", 40, 30, 170, 33, false},
    {"GP", 7, kNone, kNone, 30, false}, {"GP", 29, -3, 250, 22, false},  {"GL", 70, 60, 300, 41, true},
    {"GL", 80, 15, 100, 28, false},     {"GA", 11, 50, 135, 43, true},   {"GA", 324, 25, 225, 36, false},
    {"GB", 23, 70, 10, 45, true},       {"BD", 183, 35, 260, 31, false}, {"GQ", 195, 75, 160, 46, true},
    {"GQ", 3, 10, 80, 25, false},
};
} // namespace

TEST(SkyPlot, DrawsTheSatellitesOfTheStreamingReceiverAsSentThroughTheWholeRoad)
{
    ViewRoad road;
    QSkyplot sky;
    sky.m_pPortTab = road.Tabs();
    QObject::connect(&sky, &QSkyplot::SignalSendNMEAMsg, &road.Shell.Manager, &QZvPortManager::OnSendPortData1Port);
    QSignalSpy requests(&sky, &QSkyplot::SignalSendNMEAMsg);
    // Without a port nothing is asked.
    sky.show();
    EXPECT_EQ(requests.count(), 0);
    sky.hide();

    ASSERT_TRUE(road.Open());
    sky.resize(420, 460);
    sky.show();
    ASSERT_EQ(requests.count(), 1);
    EXPECT_EQ(requests[0][0].toUInt(), road.PortID());
    EXPECT_EQ(requests[0][1].toByteArray(),
              QByteArray("log gpgsv ontime 1\r\nlog gpgga ontime 1\r\nlog gpgsa ontime 1\r\n"));
    // The receiver got the three requests from the port manager.
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            int n = 0;
            for (const STREAM_ITEM_T& it : road.Rx.Sent())
                n += it.Name == "reply" && it.Wire.find("log gpg") != std::string::npos &&
                     it.Wire.find("<OK") != std::string::npos;
            return n == 3;
        }));

    const std::vector<std::string> epoch = StreamEpochs(road, 4);
    ASSERT_FALSE(epoch.empty());
    sky.OnUpdateSkyPlot(road.PositionPayload());
    const auto expected = SentSatellites(epoch);
    ASSERT_EQ(expected.size(), 12u);
    ExpectDrawnAsSent(*sky.Plot(), expected);
    // Each used GPS satellite is a solid disc of the GPS colour where the geometry puts it.
    const QImage image = Picture(sky.Plot());
    for (const auto& [key, sat] : expected)
        EXPECT_TRUE(Near(image.pixel(InDisc(*sky.Plot(), sat.Azimuth, sat.Elevation)), kSlotColours[0]))
            << "G" << key.second;
}

TEST(SkyPlot, DrawsEveryConstellationAndKeepsNoSatelliteTheReceiverStoppedReporting)
{
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    QSkyplot sky;
    sky.m_pPortTab = road.Tabs();
    sky.resize(500, 540);
    sky.show();
    // Binary logs keep streaming between the sentences, as from a real receiver.
    road.Rx.StartStream(STREAM_BINARY_LOGS, 20000);
    const std::vector<std::string> first = Epoch(1, kFirst);
    auto publishedSecond = [&](uint32_t s) { return [&road, s] { return road.Position()->Utc.Second == s; }; };
    ASSERT_TRUE(road.SendUntil(Joined(first) + Epoch(2, {}).front(), publishedSecond(1)));
    sky.OnUpdateSkyPlot(road.PositionPayload());
    const auto sentFirst = SentSatellites(first);
    ExpectDrawnAsSent(*sky.Plot(), sentFirst);

    // Pixels: a used satellite is a solid disc in its colour, a tracked one the
    // 30 % blend over the background; nothing marks the satellite without an
    // elevation at the horizon below the north point, nor the one below it.
    QImage image = Picture(sky.Plot());
    const SkyplotWidget& plot = *sky.Plot();
    EXPECT_TRUE(Near(image.pixel(InDisc(plot, 45, 45)), kSlotColours[0]));
    EXPECT_TRUE(Near(image.pixel(InDisc(plot, 135, 50)), kSlotColours[2]));
    EXPECT_TRUE(Near(image.pixel(InDisc(plot, 170, 30)), OverWhite(kSlotColours[0], 0.3)));
    EXPECT_TRUE(Near(image.pixel(InDisc(plot, 225, 25)), OverWhite(kSlotColours[2], 0.3)));
    for (const QPoint& at : {DiscCentre(plot, 0, -1), DiscCentre(plot, 250, -3)})
    {
        const QRgb c = image.pixel(at + QPoint(3, 3));
        EXPECT_FALSE(Near(c, kSlotColours[0], 40) || Near(c, OverWhite(kSlotColours[0], 0.3), 10));
    }

    // The next epoch: the GPS series is cut after its first sentence, the
    // GLONASS series comes twice, a Galileo satellite has set, BeiDou and QZSS
    // report again. Only what this epoch sent is drawn.
    std::vector<TEST_SAT_T> next = {
        {"GP", 5, 46, 46, 44, true},   {"GP", 12, 21, 201, 38, true},   {"GP", 40, 30, 171, 33, false},
        {"GP", 7, 5, 5, 30, false},    {"GP", 29, 2, 251, 22, false},   {"GP", 31, 40, 330, 40, true},
        {"GL", 70, 61, 301, 41, true}, {"GL", 80, 16, 101, 28, false},  {"GA", 11, 51, 136, 43, true},
        {"GB", 23, 71, 11, 45, true},  {"BD", 183, 36, 261, 31, false}, {"GQ", 195, 76, 161, 46, true},
        {"GQ", 3, 11, 81, 25, false},
    };
    std::vector<std::string> second = Epoch(2, next);
    std::vector<std::string> arrived;
    for (const std::string& s : second)
    {
        // "$GPGSV,2,2," never arrives.
        if (s.rfind("$GPGSV,2,2,", 0) == 0)
            continue;
        arrived.push_back(s);
        if (s.rfind("$GLGSV,1,1,", 0) == 0)
            arrived.push_back(s);
    }
    ASSERT_TRUE(road.SendUntil(Joined(arrived) + Epoch(3, {}).front(), publishedSecond(2)));
    road.Rx.StopStream();
    sky.OnUpdateSkyPlot(road.PositionPayload());
    const auto sentSecond = SentSatellites(arrived);
    ASSERT_EQ(sentSecond.count({0, 31}), 0u) << "the cut series never named G31";
    ASSERT_EQ(sentSecond.count({2, 24}), 0u);
    ExpectDrawnAsSent(*sky.Plot(), sentSecond);
    image = Picture(sky.Plot());
    EXPECT_FALSE(Near(image.pixel(InDisc(plot, 225, 25)), OverWhite(kSlotColours[2], 0.3)));

    // An unchecked constellation leaves the plot at the next update, and comes back when checked.
    sky.SlotBox(1)->setChecked(false);
    EXPECT_EQ(Drawn(plot).count({1, 6}), 1u);
    sky.OnUpdateSkyPlot(road.PositionPayload());
    EXPECT_EQ(Drawn(plot).count({1, 6}), 0u);
    EXPECT_EQ(Drawn(plot).count({0, 5}), 1u);
    sky.SlotBox(1)->setChecked(true);
    sky.OnUpdateSkyPlot(road.PositionPayload());
    EXPECT_EQ(Drawn(plot).count({1, 6}), 1u);

    // Another tab empties the plot until the next update; no record draws nothing.
    sky.OnPortTabChange(0);
    EXPECT_TRUE(plot.satellites().isEmpty());
    sky.OnUpdateSkyPlot(nullptr);
    EXPECT_TRUE(plot.satellites().isEmpty());
}

TEST(SkyPlot, ShowsEachSatelliteByItsNumberWithinItsSystem)
{
    // The satellite table's number, the system, and what the plot shows; 0:
    // no number, not drawn (below the system's offset, outside the table).
    struct
    {
        uint32_t Slot;
        uint32_t Stored;
        int Shown;
    } const cases[] = {
        {0, 33, 33},   {0, 1, 1},   {5, 193, 193}, {1, 65, 1},   {1, 96, 32}, {2, 101, 1}, {2, 301, 1},
        {2, 400, 100}, {3, 161, 1}, {3, 401, 1},   {3, 463, 63}, {1, 64, 0},  {1, 3, 0},   {2, 100, 0},
        {2, 50, 0},    {3, 160, 0}, {3, 12, 0},    {0, 501, 0},  {4, 40, 0},  {9, 5, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SatDisplayNumber(c.Slot, c.Stored), c.Shown) << c.Slot << " " << c.Stored;

    // A record whose GLONASS entry is numbered below its offset draws nothing for it.
    auto pPos = std::make_unique<POS_DATA_T>();
    ResetPosData(pPos.get());
    pPos->SatInfo[2] = SAT_INFO_T{1, 3, 40, 40, 100, 1};
    pPos->SatInfo[64] = SAT_INFO_T{1, 65, 40, 40, 200, 1};
    QSkyplot sky;
    sky.OnUpdateSkyPlot(pPos.get());
    const auto& held = sky.Plot()->satellites();
    ASSERT_EQ(held.size(), 2);
    EXPECT_EQ(held[3].state, SkyplotWidget::Invisible);
    EXPECT_EQ(held[65].state, SkyplotWidget::Visible);
    EXPECT_EQ(held[65].label, QStringLiteral("1"));
}

TEST(SkyplotWidget, FlashesOnlyWhileASatelliteFlashes)
{
    SkyplotWidget plot;
    plot.resize(300, 300);
    EXPECT_FALSE(plot.isFlashTimerActive());
    plot.insert(1, 90, 45, QString(), QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255));
    EXPECT_FALSE(plot.isFlashTimerActive());
    const QPoint at = InDisc(plot, 90, 45);
    plot.setState(1, SkyplotWidget::SatelliteState(SkyplotWidget::Visible | SkyplotWidget::Flashing));
    EXPECT_TRUE(plot.isFlashTimerActive());
    EXPECT_TRUE(Near(Picture(&plot).pixel(at), QColor(0, 0, 255)));
    // Every other period the flashing disc is hidden.
    plot.change_flash();
    EXPECT_FALSE(Near(Picture(&plot).pixel(at), QColor(0, 0, 255), 60));
    plot.change_flash();
    EXPECT_TRUE(Near(Picture(&plot).pixel(at), QColor(0, 0, 255)));

    plot.insert(2, 10, 10);
    plot.setState(2, SkyplotWidget::Flashing);
    plot.setState(1, SkyplotWidget::Visible);
    EXPECT_TRUE(plot.isFlashTimerActive());
    plot.remove(2);
    EXPECT_FALSE(plot.isFlashTimerActive());

    // A setter on an unknown satellite makes an invisible one, drawn once its state is set.
    plot.setAzimuth(7, 270);
    ASSERT_TRUE(plot.contains(7));
    EXPECT_EQ(plot.satellites()[7].state, SkyplotWidget::Invisible);
    EXPECT_EQ(plot.satellites()[7].el, 0.0f);
    EXPECT_FALSE(plot.satellites()[7].innerColor.isValid());
}

// The plot keeps its grid and its discs as pictures between paints: they are
// drawn anew for a new size, grid colour or disc colour.
TEST(SkyplotWidget, DrawsItsGridAndDiscsAnewWhenItsSizeOrLookChanges)
{
    SkyplotWidget plot;
    plot.resize(300, 300);
    plot.insert(1, 90, 45, QStringLiteral("5"), QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255));
    // The centre, where every spoke crosses.
    const auto centre = [&]
    {
        const float D = static_cast<float>(std::min(plot.width(), plot.height())) * plot.marginScale();
        return QPoint(static_cast<int>((plot.width() - D) / 2.0f) + static_cast<int>(D / 2.0f),
                      static_cast<int>((plot.height() - D) / 2.0f) + static_cast<int>(D / 2.0f));
    };
    EXPECT_TRUE(Near(Picture(&plot).pixel(centre()), plot.gridColor()));
    EXPECT_TRUE(Near(Picture(&plot).pixel(InDisc(plot, 90, 45)), QColor(0, 0, 255)));

    plot.setGridColor(QColor(255, 0, 0));
    plot.setInnerColor(1, QColor(0, 160, 0));
    EXPECT_TRUE(Near(Picture(&plot).pixel(centre()), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(Picture(&plot).pixel(InDisc(plot, 90, 45)), QColor(0, 160, 0)));

    const QPoint oldCentre = centre();
    plot.resize(500, 400);
    const QImage resized = Picture(&plot);
    EXPECT_TRUE(Near(resized.pixel(centre()), QColor(255, 0, 0)));
    EXPECT_TRUE(Near(resized.pixel(oldCentre), QColor(255, 255, 255))) << "the grid of the old size stayed";
    EXPECT_TRUE(Near(resized.pixel(InDisc(plot, 90, 45)), QColor(0, 160, 0)));
}

TEST(SkyPlot, AnotherPortsSatellitesNeverShowForTheCurrentPort)
{
    ViewRoad road;
    ASSERT_TRUE(road.Open());
    QZvPortCtrlBase* pFirst = road.pPort;
    QSkyplot sky;
    ASSERT_TRUE(road.SendUntil(Joined(Epoch(1, kFirst)) + Epoch(2, {}).front(),
                               [&] { return road.Position()->Utc.Second == 1; }));
    sky.OnUpdateSkyPlot(road.PositionPayload());
    ASSERT_FALSE(Drawn(*sky.Plot()).empty());

    // A second receiver that sends no sentences becomes the current port: its
    // plot is empty, not the first receiver's sky.
    ViewRoad::Extra second(road);
    ASSERT_TRUE(second.Open());
    ASSERT_EQ(road.Shell.Tabs.GetCurPortID(), second.PortID());
    sky.OnUpdateSkyPlot(road.PositionPayload());
    EXPECT_TRUE(Drawn(*sky.Plot()).empty());

    // Back on the first port, its sky shows again from its next sentences.
    road.Shell.Tabs.setCurrentIndex(0);
    ASSERT_EQ(road.Shell.Tabs.GetCurPortID(), pFirst->UniquePortID);
    ASSERT_TRUE(road.SendUntil(Joined(Epoch(3, kFirst)) + Epoch(4, {}).front(),
                               [&] { return road.Position()->Utc.Second == 3; }));
    sky.OnUpdateSkyPlot(road.PositionPayload());
    ExpectDrawnAsSent(*sky.Plot(), SentSatellites(Epoch(3, kFirst)));

    // The first port closes: the second one is current and its plot empty.
    road.Shell.Tabs.OnClosePort(0);
    ASSERT_TRUE(WaitUntil([&] { return road.Shell.Tabs.count() == 1; }));
    ASSERT_EQ(road.Shell.Tabs.GetCurPortID(), second.PortID());
    sky.OnUpdateSkyPlot(road.PositionPayload());
    EXPECT_TRUE(Drawn(*sky.Plot()).empty());
}

// A satellite tracked but not used is a pale disc whose number reads in a
// dark colour; every number stays within its disc, the widest ("195") too.
TEST(SkyplotWidget, FadedSatellitesShowTheirNumbersDarkWithinPaleDiscs)
{
    SkyplotWidget plot;
    plot.resize(600, 600);
    plot.insert(1, 90, 45, QStringLiteral("195"), QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255),
                SkyplotWidget::HalfVisible);
    plot.insert(2, 270, 45, QStringLiteral("195"), QColor(255, 0, 0), QColor(0, 0, 255), QColor(255, 255, 255),
                SkyplotWidget::Visible);
    const QImage picture = Picture(&plot);
    const double r = std::min(plot.width(), plot.height()) * plot.marginScale() * plot.satelliteScale();
    const auto count = [&](double az, auto Want)
    {
        const QPoint c = DiscCentre(plot, az, 45);
        int n = 0;
        for (int y = c.y() - static_cast<int>(r); y <= c.y() + static_cast<int>(r); ++y)
            for (int x = c.x() - static_cast<int>(r); x <= c.x() + static_cast<int>(r); ++x)
                if (std::hypot(x - c.x(), y - c.y()) < r - 1.5)
                    n += Want(QColor(picture.pixel(x, y)));
        return n;
    };
    const auto dark = [](const QColor& c) { return c.lightness() < 90; };
    const auto white = [](const QColor& c) { return c.lightness() > 240; };
    // The faded disc is pale, not the full colour, and its number dark.
    EXPECT_TRUE(Near(picture.pixel(InDisc(plot, 90, 45)), QColor(178, 178, 255), 12));
    EXPECT_GT(count(90.0, dark), 20);
    // The used one keeps its white number on its full colour.
    EXPECT_GT(count(270.0, white), 20);
    // Nothing of either number lies outside its disc: the ring just outside
    // holds only the plot's white and grid.
    for (const double az : {90.0, 270.0})
    {
        const QPoint c = DiscCentre(plot, az, 45);
        int nOutside = 0;
        for (int k = 0; k < 360; k += 3)
        {
            const double a = k * 3.14159265358979 / 180.0;
            const QColor px(picture.pixel(c + QPoint(static_cast<int>(std::lround((r + 3) * std::cos(a))),
                                                     static_cast<int>(std::lround((r + 3) * std::sin(a))))));
            nOutside += px.blue() > px.red() + 60;
        }
        EXPECT_EQ(nOutside, 0) << "azimuth " << az;
    }
}
