// The map window as the main window's tick drives it: fixes of a port in
// every hemisphere move the marker, a record without a solution does not;
// the script calls reach the page exactly, with "." whatever the locale, also
// when they are made while the page loads; a hidden window lets its page go.
// A recorder page stands in for the maps: it keeps every call it receives.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/views/web/map_window.h"
#include "support/monitor/map_page_recorder.h"
#include "web_test_util.h"

namespace
{
const char* const kRecorderPage = R"page(<!DOCTYPE html>
<html><body><script>
window.calls = [];
function record(name, args) {
    window.calls.push(name + "(" + Array.prototype.map.call(args, String).join(",") + ")");
}
function AddMarker() { record("AddMarker", arguments); }
function PlotTrace() { record("PlotTrace", arguments); }
function CleanTrace() { record("CleanTrace", arguments); }
</script></body></html>
)page";

class MapWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Dir.isValid());
        QFile page(m_Dir.filePath(QStringLiteral("recorder.html")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write(kRecorderPage);
        page.close();
        // Each map has the recorder, told apart by its address.
        for (int i = 0; i < MAP_TYPE_COUNT; ++i)
        {
            QUrl url = QUrl::fromLocalFile(page.fileName());
            url.setQuery(QStringLiteral("map=%1").arg(i));
            m_Window.SetPageUrl(static_cast<MAP_TYPE_E>(i), url);
        }
        m_Window.resize(900, 600);
    }

    template <class T> T* Child(const char* pName) { return m_Window.findChild<T*>(QLatin1String(pName)); }
    QString Text(const char* pField) { return Child<QLineEdit>(pField)->text(); }
    // The main window's tick while the window is visible.
    void Tick() { m_Window.OnUpdateMap(m_Port.Payload()); }
    // Shows the window as the map action does, and waits for the page.
    void ShowAndLoad()
    {
        m_Window.show();
        m_Window.OnShow();
        ASSERT_NE(m_Window.MapView(), nullptr);
        ASSERT_TRUE(WaitForScript(m_Window.MapView(), QStringLiteral("Array.isArray(window.calls)")));
    }
    // The calls the page has received.
    QStringList Calls()
    {
        const QVariant json = RunScript(m_Window.MapView(), QStringLiteral("JSON.stringify(window.calls)"));
        QStringList calls;
        for (const QJsonValue& v : QJsonDocument::fromJson(json.toString().toUtf8()).array())
            calls << v.toString();
        return calls;
    }
    // Waits until the page has received n calls; what it holds then.
    QStringList CallsOnceThereAre(int n)
    {
        WaitUntil([&] { return Calls().size() >= n; }, kWebWaitMs);
        return Calls();
    }

    QTemporaryDir m_Dir;
    FixPort m_Port;
    QFMapWindow m_Window;
};

// Rounds a printed coordinate field back to what it shows.
QString Field13(double dValue) { return QString::asprintf("%13.9lf", dValue); }
} // namespace

TEST_F(MapWindowTest, FixesInEveryHemisphereMoveTheMarkerAndARecordWithoutSolutionDoesNot)
{
    ShowAndLoad();
    EXPECT_TRUE(Child<QCheckBox>("m_pbAutoCenter")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>("pCheckBoxPlotTrace")->isChecked());

    // South of the equator (RTK fixed).
    m_Port.Gga(-33.856784, 151.215297, 4);
    Tick();
    EXPECT_EQ(Text("m_pPosLat"), QStringLiteral("-33.856784000"));
    EXPECT_EQ(Text("m_pPosLon"), QStringLiteral("151.215297000"));
    EXPECT_EQ(Text("m_pUTCTime"), QStringLiteral("08:12:20"));
    EXPECT_EQ(Text("m_pSvNum"), QStringLiteral("14"));
    EXPECT_EQ(Text("m_pRoll"), QString()); // no INS solution yet
    // West of Greenwich (single point).
    m_Port.Gga(51.477928, -0.001545, 1);
    Tick();
    EXPECT_EQ(Text("m_pPosLon"), QStringLiteral(" -0.001545000"));
    // With the INS attitude (INS solution).
    m_Port.Inspvax(3, 1.25, -0.5, 271.125);
    m_Port.Gga(48.137154, 11.576124, 6);
    Tick();
    EXPECT_EQ(Text("m_pRoll"), QStringLiteral("1.250 Degree"));
    EXPECT_EQ(Text("m_pPitch"), QStringLiteral("-0.500 Degree"));
    EXPECT_EQ(Text("m_pYaw"), QStringLiteral("271.125 Degree"));
    // No solution: nothing is sent and the fields keep the last fix.
    m_Port.Gga(47.0, 10.0, 0);
    Tick();
    EXPECT_EQ(Text("m_pPosLat"), QStringLiteral(" 48.137154000"));
    EXPECT_EQ(Text("m_pPosHgt"), QStringLiteral("80.100"));

    const QStringList expected = {QStringLiteral("AddMarker(-33.856784,151.215297,1)"), QStringLiteral("PlotTrace(0)"),
                                  QStringLiteral("AddMarker(51.477928,-0.001545,1)"),   QStringLiteral("PlotTrace(0)"),
                                  QStringLiteral("AddMarker(48.137154,11.576124,1)"),   QStringLiteral("PlotTrace(0)")};
    EXPECT_EQ(CallsOnceThereAre(expected.size()), expected);
}

// Qt's application object adopts the desktop's locale: a decimal comma must
// never split a number into two arguments.
TEST_F(MapWindowTest, NumbersReachThePageWithAPointUnderACommaLocale)
{
    ShowAndLoad();
    m_Port.Gga(-22.970722, -43.182365, 5);
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed (Debian package locales-all)";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_Window.findChild<QCheckBox*>(QStringLiteral("m_pbAutoCenter"))->setChecked(false);
    Tick();
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_EQ(Text("m_pPosLat"), QStringLiteral("-22.970722000"));
    EXPECT_EQ(Text("m_pPosHgt"), QStringLiteral("80.100"));
    EXPECT_EQ(CallsOnceThereAre(2),
              QStringList({QStringLiteral("AddMarker(-22.970722,-43.182365,0)"), QStringLiteral("PlotTrace(0)")}));
}

TEST_F(MapWindowTest, CallsMadeWhileThePageLoadsWaitForItAndTheFirstFixMakesThePage)
{
    // Visible without a page yet (docked and shown by a layout): the first
    // fix makes the page, and its marker is shown once the page has loaded.
    m_Window.show();
    EXPECT_EQ(m_Window.MapView(), nullptr);
    m_Port.Gga(-33.856784, 151.215297, 4);
    Tick();
    ASSERT_NE(m_Window.MapView(), nullptr);
    EXPECT_EQ(CallsOnceThereAre(2),
              QStringList({QStringLiteral("AddMarker(-33.856784,151.215297,1)"), QStringLiteral("PlotTrace(0)")}));

    // Switching the map loads its page; what the user does meanwhile waits for it.
    Child<QRadioButton>("pRadioBaidu")->click();
    Tick();
    Child<QCheckBox>("pCheckBoxPlotTrace")->click();
    Child<QPushButton>("pBtnCleanTrace")->click();
    ASSERT_TRUE(WaitForScript(m_Window.MapView(), QStringLiteral("location.search === '?map=0'")));
    EXPECT_EQ(CallsOnceThereAre(4),
              QStringList({QStringLiteral("AddMarker(-33.856784,151.215297,1)"), QStringLiteral("PlotTrace(0)"),
                           QStringLiteral("PlotTrace(1)"), QStringLiteral("CleanTrace()")}));
    EXPECT_TRUE(WaitUntil([&] { return Child<QLabel>("pPageLoadStatus")->text().isEmpty(); }, kWebWaitMs));
}

TEST_F(MapWindowTest, AHiddenWindowLetsItsPageGoAndShowingItLoadsThePageAgain)
{
    ShowAndLoad();
    m_Port.Gga(48.137154, 11.576124, 1);
    Tick();
    EXPECT_EQ(CallsOnceThereAre(2).size(), 2);

    QPointer<QWebEngineView> pView = m_Window.MapView();
    m_Window.hide();
    EXPECT_EQ(m_Window.MapView(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return pView.isNull(); }, kWebWaitMs));
    // The main window's tick while the window is hidden.
    m_Window.OnWindowVisible();
    Tick();
    EXPECT_EQ(m_Window.MapView(), nullptr);

    // Shown again: a new page, without the old marker, in which the next fix lands.
    ShowAndLoad();
    EXPECT_EQ(Calls(), QStringList());
    Tick();
    EXPECT_EQ(CallsOnceThereAre(2).first(), QStringLiteral("AddMarker(48.137154,11.576124,1)"));

    // The offline map has no trace controls; the online ones have.
    QCheckBox* pPlot = Child<QCheckBox>("pCheckBoxPlotTrace");
    QPushButton* pClean = Child<QPushButton>("pBtnCleanTrace");
    Child<QRadioButton>("pRadioBDOfflineMap")->click();
    EXPECT_TRUE(pPlot->isHidden());
    EXPECT_TRUE(pClean->isHidden());
    EXPECT_TRUE(WaitForScript(m_Window.MapView(), QStringLiteral("location.search === '?map=2'")));
    Child<QRadioButton>("pRadioMapBox")->click();
    EXPECT_FALSE(pPlot->isHidden());
    EXPECT_FALSE(pClean->isHidden());
    EXPECT_TRUE(WaitForScript(m_Window.MapView(), QStringLiteral("location.search === '?map=1'")));
}

// Which records of the current port are fixes, and which INS records give an
// attitude; the page behind the window records the calls it gets.
TEST(MapWindowFixes, AFixIsAPositionWithASolutionInAnyHemisphere)
{
    FixPort port;
    CMapPageRecorder page;
    QFMapWindow window;
    window.SetMapPage(&page);
    window.show();
    window.OnShow();
    ASSERT_EQ(page.Loads.size(), 1);
    POS_DATA_T& pos = port.Tabs()->GetPosDataParser()->m_PosData;
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        const char* pCase;
        double dLat, dLon; // degrees
        uint8_t nQuality;
        const char* pMarker; // null: none is sent
    } cases[] = {
        {"south-east", -33.856784, 151.215297, 4, "AddMarker(-33.856784,151.215297,1)"},
        {"south-west", -22.970722, -43.182365, 5, "AddMarker(-22.970722,-43.182365,1)"},
        {"north-west", 51.477928, -0.001545, 1, "AddMarker(51.477928,-0.001545,1)"},
        {"on the equator", 0.00005, 9.5, 2, "AddMarker(0.000050,9.500000,1)"},
        {"no solution", 47.0, 10.0, 0, nullptr},
        {"solution unknown (RMC void)", 47.0, 10.0, FIX_QUALITY_UNKNOWN, nullptr},
        {"no position yet", 0.0, 0.0, 1, nullptr},
        {"garbled latitude", kNaN, 10.0, 1, nullptr},
        {"latitude past the pole", 95.0, 10.0, 1, nullptr},
    };
    for (const auto& c : cases)
    {
        page.Calls.clear();
        const QString sLatBefore = window.findChild<QLineEdit*>(QStringLiteral("m_pPosLat"))->text();
        pos.Latitude = c.dLat / (180.0 / 3.141592653589793);
        pos.Longitude = c.dLon / (180.0 / 3.141592653589793);
        pos.FixQuality = c.nQuality;
        window.OnUpdateMap(port.Payload());
        const QString sLat = window.findChild<QLineEdit*>(QStringLiteral("m_pPosLat"))->text();
        if (c.pMarker != nullptr)
        {
            EXPECT_EQ(page.Calls, QStringList({QLatin1String(c.pMarker), QStringLiteral("PlotTrace(0)")})) << c.pCase;
            EXPECT_EQ(sLat, Field13(c.dLat)) << c.pCase;
        }
        else
        {
            EXPECT_EQ(page.Calls, QStringList()) << c.pCase;
            EXPECT_EQ(sLat, sLatBefore) << c.pCase;
        }
    }

    // The attitude is shown while the INS has a solution, whether or not there is a fix.
    const struct
    {
        uint32_t nStatus;
        const char* pRoll;
    } attitudes[] = {{3, "1.250 Degree"}, {0, ""}, {0xFFFFFFFFu, ""}, {1, "1.250 Degree"}};
    for (const auto& a : attitudes)
    {
        port.Inspvax(a.nStatus, 1.25, 2.5, 90.0);
        window.OnUpdateMap(port.Payload());
        EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("m_pRoll"))->text(), QLatin1String(a.pRoll)) << a.nStatus;
    }

    // A missing offline page is named, not loaded as an empty page.
    const QString sMissing = QDir::temp().filePath(QStringLiteral("no such folder/BaiduOffline.html"));
    window.SetPageUrl(MAP_TYPE_OFFLINE, QUrl::fromLocalFile(sMissing));
    window.findChild<QRadioButton*>(QStringLiteral("pRadioBDOfflineMap"))->click();
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("pPageLoadStatus"))->text(),
              QStringLiteral("The offline map page is missing: ") + QDir::toNativeSeparators(sMissing));
    EXPECT_EQ(page.Loads.size(), 1);
    EXPECT_FALSE(page.HasPage());
    window.findChild<QRadioButton*>(QStringLiteral("pRadioMapBox"))->click();
    EXPECT_EQ(page.Loads.size(), 2);

    // Hidden: the page is let go and a tick changes nothing.
    window.hide();
    EXPECT_EQ(page.Releases, 2);
    page.Calls.clear();
    pos.Latitude = 0.5;
    pos.FixQuality = 1;
    window.OnUpdateMap(port.Payload());
    EXPECT_EQ(page.Calls, QStringList());
    window.SetMapPage(nullptr);
}

// At construction the window loads the online map's page once, in a view it
// lets go at once (deleted with the next deferred deletions); the window
// itself holds no view until it is shown. The service may ask for the
// user's position.
TEST(MapWindowConstruction, LoadsTheOnlineMapPageInAViewItLetsGo)
{
    QFMapWindow window;
    EXPECT_EQ(window.MapView(), nullptr);
    const QList<QWebEngineView*> views = window.findChildren<QWebEngineView*>();
    ASSERT_EQ(views.size(), 1);
    EXPECT_EQ(views[0]->parentWidget(), window.findChild<QWidget*>(QStringLiteral("MapWidget")));
    const QUrl requested = views[0]->page()->requestedUrl();
    EXPECT_EQ(requested.scheme() + ":" + requested.path(), QStringLiteral("qrc:/Web/baidu.html"));
    QPointer<QWebEngineView> pView = views[0];
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pView.isNull());
    EXPECT_EQ(window.MapView(), nullptr);
}

// Run as root with the web engine's sandbox on, the engine would end the
// whole program: the window then loads nothing at construction, and the
// program starts.
TEST(MapWindowConstruction, LoadsNothingWhereTheWebEngineWouldEndTheProgram)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    const QByteArray disable = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QFMapWindow window;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", disable);
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    EXPECT_TRUE(window.findChildren<QWebEngineView*>().isEmpty());
    EXPECT_EQ(window.MapView(), nullptr);
}
