// The map pages themselves, loaded in a web view with no network: the
// offline page beside the program draws the marker, the trace and a scale on
// a metric grid or on the user's tiles; every page keeps the newest points of
// its trace; the online pages say on the map when no key is set or the
// service cannot be reached, from the user's settings file, and show that
// file's text as text. Online services are stood in for by a tile server on
// the loopback interface.
#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

#include "monitor/shell/monitor_translations.h"
#include "monitor/views/web/map_services.h"
#include "monitor/views/web/map_web_page.h"
#include "monitor/views/web/map_window.h"
#include "support/window_layout.h"
#include "web_test_util.h"

namespace
{
const QColor kMarker(0xe0, 0x20, 0x20);
const QColor kTrace(0x33, 0x90, 0xd7);
const QColor kGrid(0xc8, 0xc8, 0xc8);
const QColor kTile(40, 160, 60);

// Tile indices of a point at a zoom level, in the usual layout.
QPoint TileOf(double dLat, double dLon, int nZoom)
{
    const double n = std::pow(2.0, nZoom);
    const double dPhi = dLat * M_PI / 180.0;
    return QPoint(static_cast<int>((dLon + 180.0) / 360.0 * n),
                  static_cast<int>((1.0 - std::log(std::tan(dPhi) + 1.0 / std::cos(dPhi)) / M_PI) / 2.0 * n));
}

// Serves every request with one tile and notes what was asked.
class TileServer : public QObject
{
public:
    TileServer()
    {
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(kTile);
        QBuffer buffer(&m_Png);
        buffer.open(QIODevice::WriteOnly);
        tile.save(&buffer, "PNG");
        m_Server.listen(QHostAddress::LocalHost);
        connect(&m_Server, &QTcpServer::newConnection, this,
                [this]
                {
                    while (QTcpSocket* pSocket = m_Server.nextPendingConnection())
                        connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, pSocket] { Answer(pSocket); });
                });
    }
    quint16 Port() const { return m_Server.serverPort(); }
    QStringList Requests;

private:
    void Answer(QTcpSocket* pSocket)
    {
        const QByteArray request = pSocket->readAll();
        Requests << QString::fromLatin1(request.left(request.indexOf("\r\n")));
        pSocket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nAccess-Control-Allow-Origin: *\r\nContent-Length: " +
            QByteArray::number(m_Png.size()) + "\r\nConnection: close\r\n\r\n" + m_Png);
        pSocket->disconnectFromHost();
    }
    QTcpServer m_Server;
    QByteArray m_Png;
};

// A map page in a host widget of its own, as a window holds it.
class PageHost
{
public:
    PageHost()
    {
        m_Host.resize(640, 480);
        m_Host.show();
    }
    QWebEngineView* Load(const QUrl& Url)
    {
        m_Page.Load(&m_Host, Url);
        WaitUntil([this] { return m_Page.IsLoaded(); }, kWebWaitMs);
        return m_Page.View();
    }
    CMapWebPage& Page() { return m_Page; }
    QWebEngineView* View() { return m_Page.View(); }
    // The text the page shows over its map ("" when none).
    QString Note()
    {
        return RunScript(View(),
                         QStringLiteral("(function (e) { return e.style.display === 'block' ? e.textContent : ''; })"
                                        "(document.getElementById('note'))"))
            .toString();
    }

private:
    QWidget m_Host;
    CMapWebPage m_Page;
};

void WriteSettings(const QByteArray& Text)
{
    const QString sPath = MapServicesFilePath();
    QDir().mkpath(QFileInfo(sPath).path());
    QFile file(sPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(Text);
}
} // namespace

TEST(OfflineMap, DrawsTheMarkerTheTraceAndAScaleOnAMetricGridWithoutANetwork)
{
    FixPort port;
    QFMapWindow window;
    window.findChild<QRadioButton*>(QStringLiteral("pRadioBDOfflineMap"))->setChecked(true);
    const QUrl url = window.PageUrl(MAP_TYPE_OFFLINE);
    ASSERT_TRUE(url.isLocalFile());
    EXPECT_EQ(url.toLocalFile(), QCoreApplication::applicationDirPath() + "/Resources/Web/Offline/BaiduOffline.html");
    EXPECT_EQ(url.query(), QString()); // no tiles anywhere
    // The trace is drawn when "Plot Trace" was ticked before the switch.
    window.findChild<QCheckBox*>(QStringLiteral("pCheckBoxPlotTrace"))->setChecked(true);
    window.resize(1000, 640);
    window.show();
    window.OnShow();
    ASSERT_NE(window.MapView(), nullptr);
    ASSERT_TRUE(
        WaitForScript(window.MapView(), QStringLiteral("typeof AddMarker === 'function' && typeof L === 'object'")));

    // Two fixes 40 m apart to the east; the map follows the second.
    port.Gga(48.137154, 11.576124, 4);
    window.OnUpdateMap(port.Payload());
    port.Gga(48.137154, 11.576661, 4);
    window.OnUpdateMap(port.Payload());
    QWebEngineView* pView = window.MapView();
    const QPoint centre(pView->width() / 2, pView->height() / 2);
    // Drawn once the map has followed the second fix: the marker in the
    // middle, the trace to the west, nothing left where the first marker was.
    const auto drawn = [&](const QImage& Picture)
    {
        return CountNear(Picture, kMarker, centre.x(), centre.y(), 4) > 40 &&
               CountNear(Picture, kTrace, centre.x() - 20, centre.y(), 6) > 20 &&
               CountNear(Picture, kMarker, centre.x() - 40, centre.y(), 4) == 0;
    };
    EXPECT_TRUE(WaitUntil([&] { return drawn(Picture(pView)); }, kWebWaitMs));
    const QImage picture = Picture(pView);
    EXPECT_GT(CountNear(picture, kMarker, centre.x(), centre.y(), 4), 40) << "no marker in the middle";
    EXPECT_GT(CountNear(picture, kTrace, centre.x() - 20, centre.y(), 6), 20) << "no trace west of the marker";
    EXPECT_EQ(CountNear(picture, kMarker, centre.x() - 40, centre.y(), 4), 0) << "the first marker stayed";
    EXPECT_GT(CountNear(picture, kGrid, centre.x(), centre.y(), 200), 300) << "no grid";
    EXPECT_FALSE(RunScript(pView, QStringLiteral("document.querySelector('.leaflet-control-scale-line').textContent"))
                     .toString()
                     .isEmpty());
    EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(), 2);
    picture.save(ShotPath(QStringLiteral("map_offline_page")));
    // A link on the map leaves the map where it is (a load would start at once).
    QSignalSpy loads(pView->page(), &QWebEnginePage::loadStarted);
    RunScript(pView, QStringLiteral("document.querySelector('.leaflet-control-attribution a').click()"));
    EXPECT_FALSE(WaitUntil([&] { return !loads.isEmpty(); }, 1000));
    EXPECT_EQ(pView->url(), url);

    // The window in both languages, with the page, and in a dock as short as
    // the main window's advanced layout gives it, where the fields scroll.
    for (const char* pLanguage : {"en", "zh"})
    {
        InstallMonitorTranslations(QLatin1String(pLanguage));
        window.OnLanguageUpdate();
        for (const QSize size : {QSize(1000, 640), QSize(640, 220)})
        {
            window.resize(size);
            QCoreApplication::processEvents();
            EXPECT_EQ(ClippedOrEnglish(&window, QStringLiteral("map_window_%1").arg(QLatin1String(pLanguage))), QStringList())
                << pLanguage;
            EXPECT_TRUE(window.grab().toImage().save(
                ShotPath(QStringLiteral("map_window_offline_%1_%2").arg(QLatin1String(pLanguage)).arg(size.height()))));
        }
    }
    EXPECT_EQ(window.findChild<QRadioButton*>(QStringLiteral("pRadioBDOfflineMap"))->text(),
              QStringLiteral("离线地图"));
    InstallMonitorTranslations(QStringLiteral("en"));
}

TEST(OfflineMap, ShowsTheTilesOfTheUsersFolder)
{
    const double dLat = -33.856784;
    const double dLon = 151.215297;
    const QString sTiles = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                               .filePath(QStringLiteral("Resources/Web/Offline/tiles"));
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(kTile);
    const QPoint t = TileOf(dLat, dLon, 17);
    for (int dx = -3; dx <= 3; ++dx)
        for (int dy = -3; dy <= 3; ++dy)
        {
            const QString sFolder = QStringLiteral("%1/17/%2").arg(sTiles).arg(t.x() + dx);
            ASSERT_TRUE(QDir().mkpath(sFolder));
            ASSERT_TRUE(tile.save(QStringLiteral("%1/%2.png").arg(sFolder).arg(t.y() + dy)));
        }

    FixPort port;
    QFMapWindow window;
    window.findChild<QRadioButton*>(QStringLiteral("pRadioBDOfflineMap"))->setChecked(true);
    window.resize(900, 600);
    window.show();
    port.Gga(dLat, dLon, 1);
    window.OnUpdateMap(port.Payload()); // the first fix makes the page
    QWebEngineView* pView = window.MapView();
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(window.PageUrl(MAP_TYPE_OFFLINE).query().endsWith(QStringLiteral("&minzoom=17&maxzoom=17")));
    const QPoint centre(pView->width() / 2, pView->height() / 2);
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            const QImage picture = Picture(pView);
            return CountNear(picture, kMarker, centre.x(), centre.y(), 4) > 40 &&
                   CountNear(picture, kTile, centre.x() + 100, centre.y() + 60, 10) > 400;
        },
        kWebWaitMs));
    Picture(pView).save(ShotPath(QStringLiteral("map_offline_tiles")));
    QDir(sTiles).removeRecursively();
}

// Tiles in BD-09, as the settings file says beside their folder, get each
// fix turned from WGS-84 to GCJ-02 and on to BD-09 by the page; tiles in
// WGS-84 (the default), and the grid without tiles, take the fix as it is.
// The expected points were worked out apart from the program, from the
// published formulas (Krasovsky ellipsoid, shift about 105 E 35 N, then the
// BD-09 rotation and offset), in double precision.
TEST(OfflineMap, TurnsFixesIntoTheCoordinatesOfItsTiles)
{
    const struct
    {
        double dLat, dLon;     // the fix, WGS-84
        double dBdLat, dBdLon; // BD-09
    } points[] = {
        {39.954499, 116.376933, 39.962112003, 116.389587306},
        {31.230416, 121.473701, 31.234326581, 121.484782472},
        {22.543096, 114.057865, 22.546037399, 114.069528963},
        {45.803775, 126.534967, 45.811370880, 126.547626349},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(kTile);
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("baidu/12/3000"))));
    ASSERT_TRUE(tile.save(dir.filePath(QStringLiteral("baidu/12/3000/1500.png"))));
    const struct
    {
        const char* pSettings;
        bool bBd09;
        const char* pNote; // "" when the page shows none
    } sets[] = {
        {"OfflineTiles = %1\nOfflineTilesCoords = BD-09\n", true, ""},
        {"OfflineTiles = %1\nOfflineTilesCoords = wgs-84\n", false, ""},
        {"OfflineTiles = %1\n", false, ""},
        {"OfflineTilesCoords = BD-09\n", false, ""}, // no tiles: the grid
        // Coordinates the file does not know are named on the map.
        {"OfflineTiles = %1\nOfflineTilesCoords = BD09\n", false, "line 2: OfflineTilesCoords = BD09"},
    };
    for (const auto& set : sets)
    {
        SCOPED_TRACE(set.pSettings);
        WriteSettings(QString::fromLatin1(set.pSettings).arg(dir.filePath(QStringLiteral("baidu"))).toUtf8());
        const QUrl url = MapPageUrl(MAP_TYPE_OFFLINE);
        EXPECT_EQ(QUrlQuery(url).hasQueryItem(QStringLiteral("tiles")), QByteArray(set.pSettings).contains("%1"));
        PageHost host;
        QWebEngineView* pView = host.Load(url);
        ASSERT_NE(pView, nullptr);
        EXPECT_EQ(host.Note().isEmpty(), *set.pNote == '\0') << qPrintable(host.Note());
        EXPECT_TRUE(host.Note().contains(QLatin1String(set.pNote))) << qPrintable(host.Note());
        if (*set.pNote != '\0')
            Picture(pView).save(ShotPath(QStringLiteral("map_offline_note")));
        for (const auto& p : points)
        {
            host.Page().AddMarker(p.dLat, p.dLon, true);
            const QVariantList last =
                RunScript(pView, QStringLiteral("(function (t) { return [t[t.length - 1].lat, t[t.length - 1].lng]; })"
                                                "(ZvTrace())"))
                    .toList();
            ASSERT_EQ(last.size(), 2);
            EXPECT_NEAR(last[0].toDouble(), set.bBd09 ? p.dBdLat : p.dLat, 1e-9) << p.dLat;
            EXPECT_NEAR(last[1].toDouble(), set.bBd09 ? p.dBdLon : p.dLon, 1e-9) << p.dLon;
        }
    }
    QFile::remove(MapServicesFilePath());
}

// The offline page erases its trace as soon as tracing stops, the online
// tile page at the next marker; both keep the newest points.
TEST(MapPages, EachPageKeepsTheNewestPointsOfItsTraceAndStopsItAsItSays)
{
    const struct
    {
        const char* pPage;
        QUrl Url;
        bool bStopClearsAtOnce;
    } pages[] = {
        {"offline", QUrl::fromLocalFile(OfflineMapPage()), true},
        {"online tiles", QUrl(QStringLiteral("qrc:/Web/MapBoxPolyline.html")), false},
    };
    for (const auto& p : pages)
    {
        PageHost host;
        QWebEngineView* pView = host.Load(p.Url);
        ASSERT_NE(pView, nullptr) << p.pPage;
        ASSERT_TRUE(host.Page().IsLoaded()) << p.pPage;
        host.Page().PlotTrace(true);
        RunScript(pView, QStringLiteral("for (var i = 0; i < %1; ++i) AddMarker(10 + i * 1e-5, 20, 0); 0")
                             .arg(MAP_TRACE_MAX_POINTS + 10));
        EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(), MAP_TRACE_MAX_POINTS) << p.pPage;
        EXPECT_NEAR(RunScript(pView, QStringLiteral("ZvTrace()[0].lat")).toDouble(), 10 + 10 * 1e-5, 1e-9) << p.pPage;

        host.Page().PlotTrace(false);
        EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(),
                  p.bStopClearsAtOnce ? 0 : MAP_TRACE_MAX_POINTS)
            << p.pPage;
        host.Page().AddMarker(10.5, 20.0, false);
        EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(), 0) << p.pPage;

        // While tracing, Clean Trace erases at the next marker.
        host.Page().PlotTrace(true);
        host.Page().AddMarker(10.6, 20.0, false);
        host.Page().CleanTrace();
        EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(), 1) << p.pPage;
        host.Page().AddMarker(10.7, 20.0, false);
        EXPECT_EQ(RunScript(pView, QStringLiteral("ZvTrace().length")).toInt(), 0) << p.pPage;
    }
}

TEST(OnlineMaps, SayOnTheMapWhenNoKeyIsSetOrTheServiceCannotBeReached)
{
    QFMapWindow window;
    PageHost host;
    const QString sSettings = QDir::toNativeSeparators(MapServicesFilePath());

    // No settings file: both online maps say where the key goes.
    for (MAP_TYPE_E eType : {MAP_TYPE_BAIDU, MAP_TYPE_MAPBOX})
    {
        host.Load(window.PageUrl(eType));
        const QString sNote = host.Note();
        EXPECT_TRUE(sNote.startsWith(QStringLiteral("No access key is set for this map"))) << qPrintable(sNote);
        EXPECT_TRUE(sNote.contains(sSettings)) << qPrintable(sNote);
    }
    WaitUntil([&] { return CountNear(Picture(host.View()), QColor(0xff, 0xf8, 0xd0), 320, 20, 3) > 20; }, kWebWaitMs);
    Picture(host.View()).save(ShotPath(QStringLiteral("map_online_without_key")));

    // A tile service on this machine: its address and a key with "+" and "&" from the file.
    auto pServer = std::make_unique<TileServer>();
    TileServer& server = *pServer;
    WriteSettings("MapBoxTiles = http://127.0.0.1:" + QByteArray::number(server.Port()) +
                  "/tiles/{z}/{x}/{y}.png?token={key}\nMapBoxKey = pk.a+b&c\n");
    QWebEngineView* pView = host.Load(window.PageUrl(MAP_TYPE_MAPBOX));
    host.Page().AddMarker(-33.856784, 151.215297, true);
    const QPoint tile = TileOf(-33.856784, 151.215297, 17);
    const QString sAsked = QStringLiteral("GET /tiles/17/%1/%2.png").arg(tile.x()).arg(tile.y()) +
                           QStringLiteral("?token=pk.a%2Bb%26c HTTP/1.1");
    EXPECT_TRUE(WaitUntil([&] { return server.Requests.contains(sAsked); }, kWebWaitMs))
        << qPrintable(server.Requests.join('\n'));
    EXPECT_TRUE(WaitUntil([&] { return CountNear(Picture(pView), kTile, 100, 100, 10) > 400; }, kWebWaitMs));
    EXPECT_EQ(host.Note(), QString());

    // The service gone: the map says so.
    const quint16 nGone = server.Port();
    pServer.reset();
    WriteSettings("MapBoxTiles = http://127.0.0.1:" + QByteArray::number(nGone) + "/{z}/{x}/{y}.png\n");
    host.Load(window.PageUrl(MAP_TYPE_MAPBOX));
    EXPECT_TRUE(WaitUntil([&] { return host.Note().startsWith(QStringLiteral("The map service cannot be reached")); },
                          kWebWaitMs))
        << qPrintable(host.Note());

    // The file's text reaches the page as text: an address that holds markup
    // runs nothing, and a line the file does not understand is named.
    WriteSettings("BaiDuScript = http://127.0.0.1:" + QByteArray::number(nGone) +
                  "/api?ak={key}\"></script><script>window.zvInjected = 1</script>\n"
                  "BaiDuKey = k\n"
                  "<b>bold</b>\n");
    pView = host.Load(window.PageUrl(MAP_TYPE_BAIDU));
    const QString sNote = host.Note();
    EXPECT_TRUE(sNote.contains(QStringLiteral("line 3: <b>bold</b>"))) << qPrintable(sNote);
    EXPECT_TRUE(sNote.contains(QStringLiteral("The map service cannot be reached"))) << qPrintable(sNote);
    EXPECT_EQ(RunScript(pView, QStringLiteral("typeof window.zvInjected")).toString(), QStringLiteral("undefined"));
    EXPECT_EQ(RunScript(pView, QStringLiteral("document.getElementsByTagName('b').length")).toInt(), 0);
    host.Page().AddMarker(10.0, 20.0, true); // a page without its map takes calls and does nothing
    EXPECT_EQ(RunScript(pView, QStringLiteral("typeof AddMarker")).toString(), QStringLiteral("function"));
    QFile::remove(MapServicesFilePath());
}
