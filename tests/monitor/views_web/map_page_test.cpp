// What a map page is told, without a web view: the script texts of the page
// functions, the online maps' settings file, and the offline tile folder.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <QUrlQuery>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

#include "monitor/views/map_page.h"
#include "monitor/views/web/map_services.h"
#include "monitor/views/web/map_web_page.h"
#include "support/blocked_file.h"

TEST(MapScripts, NumbersWithSixDecimalsAndNothingForAPointThatIsNone)
{
    const double kInf = std::numeric_limits<double>::infinity();
    const double kNaN = std::numeric_limits<double>::quiet_NaN();
    const struct
    {
        double dLat, dLon;
        bool bCentre;
        const char* pScript; // "" when nothing may be sent
    } cases[] = {
        {39.954499, 116.376933, false, "AddMarker(39.954499,116.376933,0)"},
        {-33.856784, 151.215297, true, "AddMarker(-33.856784,151.215297,1)"},
        {51.477928, -0.001545, true, "AddMarker(51.477928,-0.001545,1)"},
        {-90.0, -180.0, true, "AddMarker(-90.000000,-180.000000,1)"},
        {90.0000001, 0.0, true, ""},
        {0.0, 180.5, true, ""},
        {kNaN, 10.0, true, ""},
        {10.0, -kInf, true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MapScriptAddMarker(c.dLat, c.dLon, c.bCentre), QLatin1String(c.pScript)) << c.pScript;
    EXPECT_EQ(MapScriptPlotTrace(true), QStringLiteral("PlotTrace(1)"));
    EXPECT_EQ(MapScriptPlotTrace(false), QStringLiteral("PlotTrace(0)"));
    EXPECT_EQ(MapScriptCleanTrace(), QStringLiteral("CleanTrace()"));
}

TEST(MapServices, KeysAndAddressesFromTheUsersFileAndWhatItDoesNotUnderstand)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sPath = dir.filePath(QStringLiteral("MapServices.txt"));
    EXPECT_EQ(ReadMapServices(sPath).sMapBoxTiles, QString()); // no file: no settings, no complaint
    QFile file(sPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# keys of the lab\r\n"
               "mapboxtiles = https://tiles.example.test/v4/{z}/{x}/{y}.png?access_token={key}\r\n"
               "MapBoxKey=pk.a+b/c=d&e\r\n"
               "\r\n"
               "BaiDuScript = https://maps.example.test/api?v=2.0&ak={key}\n"
               "BaiDuKey =\n"
               "Zoom = 12\n"
               "just text\n");
    file.close();
    const MAP_SERVICES_T services = ReadMapServices(sPath);
    EXPECT_EQ(services.sMapBoxTiles,
              QStringLiteral("https://tiles.example.test/v4/{z}/{x}/{y}.png?access_token={key}"));
    EXPECT_EQ(services.sMapBoxKey, QStringLiteral("pk.a+b/c=d&e"));
    EXPECT_EQ(services.sBaiduKey, QString());
    EXPECT_EQ(services.Unread, QStringList({QStringLiteral("line 7: Zoom = 12"), QStringLiteral("line 8: just text")}));

    // An address that needs a key has none without one; the page is given
    // the address and the key, each encoded once, and puts the key in itself.
    EXPECT_EQ(MapServiceAddress(services.sMapBoxTiles, services.sMapBoxKey), services.sMapBoxTiles);
    EXPECT_EQ(MapServiceAddress(services.sBaiduScript, services.sBaiduKey), QString());
    EXPECT_EQ(MapServiceAddress(QStringLiteral("http://127.0.0.1:8080/{z}/{x}/{y}.png"), QString()),
              QStringLiteral("http://127.0.0.1:8080/{z}/{x}/{y}.png"));
    EXPECT_EQ(MapServiceAddress(QString(), QStringLiteral("k")), QString());
    const QByteArray page = ComposeMapPageUrl(MAP_TYPE_MAPBOX, services, sPath, MAP_TILE_FOLDER_T()).toEncoded();
    EXPECT_TRUE(page.contains("&key=pk.a%2Bb%2Fc%3Dd%26e&")) << page.constData();
    EXPECT_TRUE(page.contains("access_token%3D%7Bkey%7D")) << page.constData();
    EXPECT_FALSE(page.contains("%25")) << page.constData();
}

// A file at its size bound that puts a long key into an address thousands of
// times, or holds thousands of lines not understood, makes a page address no
// longer than the bound; values too long to be an address or key are named
// as not understood.
TEST(MapServices, EveryFileWithinItsBoundGivesABoundedPageAddress)
{
    const QByteArray key(1500, 'k');
    QByteArray manyKeys = "MapBoxKey = " + key + "\nMapBoxTiles = http://tiles.example.test/";
    while (manyKeys.size() < 2000)
        manyKeys += "{key}";
    manyKeys += "\n";
    QByteArray longValues = "MapBoxTiles = http://tiles.example.test/{z}/{x}/{y}.png?k={key}\nMapBoxKey = " +
                            QByteArray(MAP_SERVICES_MAX_BYTES / 2, '+') + "\n";
    QByteArray manyLines;
    while (manyLines.size() < MAP_SERVICES_MAX_BYTES - 64)
        manyLines += "\xe5\x9c\xb0\xe5\x9b\xbe {key} {key} {key}\n";
    const struct
    {
        const char* pWhat;
        QByteArray Text;
    } cases[] = {{"an address full of keys", manyKeys},
                 {"a key longer than a value", longValues},
                 {"lines not understood", manyLines}};
    const QString sPath = MapServicesFilePath();
    QDir().mkpath(QFileInfo(sPath).path());
    for (const auto& c : cases)
    {
        ASSERT_LE(c.Text.size(), MAP_SERVICES_MAX_BYTES) << c.pWhat;
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.Text);
        file.close();
        EXPECT_LE(MapPageUrl(MAP_TYPE_MAPBOX).toEncoded().size(), MAP_PAGE_ADDRESS_MAX) << c.pWhat;
        EXPECT_LE(ParseMapServices(c.Text).Unread.size(), MAP_SERVICES_UNREAD_MAX) << c.pWhat;
    }
    QFile::remove(sPath);
    const MAP_SERVICES_T tooLong = ParseMapServices(longValues);
    EXPECT_EQ(tooLong.sMapBoxKey, QString());
    ASSERT_EQ(tooLong.Unread.size(), 1);
    EXPECT_TRUE(tooLong.Unread[0].startsWith(QStringLiteral("line 2: MapBoxKey = +++"))) << qPrintable(tooLong.Unread[0]);
    EXPECT_EQ(ParseMapServices(manyLines).nUnread, manyLines.count('\n'));
}

// The settings file is read once per change: a map loaded again with the file
// as it was does not read it again; an edited file counts at the next load.
TEST(MapServices, TheFileIsReadAgainOnlyWhenItHasChanged)
{
    const QString sPath = MapServicesFilePath();
    QDir().mkpath(QFileInfo(sPath).path());
    const auto write = [&](const QByteArray& Text)
    {
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Text);
    };
    // The key as the page puts it into the tile address.
    const auto key = []
    {
        const QUrlQuery query(MapPageUrl(MAP_TYPE_MAPBOX));
        return query.queryItemValue(QStringLiteral("tiles"), QUrl::FullyDecoded)
            .replace(QStringLiteral("{key}"), query.queryItemValue(QStringLiteral("key"), QUrl::FullyDecoded))
            .section(QStringLiteral("?t="), 1);
    };
    write("MapBoxTiles = http://127.0.0.1/{z}/{x}/{y}.png?t={key}\nMapBoxKey = first\n");
    EXPECT_EQ(key(), QStringLiteral("first"));
    const QDateTime modified = QFileInfo(sPath).lastModified();
    // Other text of the same size with the time of the first: not read.
    write("MapBoxTiles = http://127.0.0.1/{z}/{x}/{y}.png?t={key}\nMapBoxKey = other\n");
    {
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(key(), QStringLiteral("first"));
    // Edited: read at the next load.
    write("MapBoxTiles = http://127.0.0.1/{z}/{x}/{y}.png?t={key}\nMapBoxKey = edited\n");
    EXPECT_EQ(key(), QStringLiteral("edited"));
    QFile::remove(sPath);
    EXPECT_EQ(key(), QString());
}

// A folder, a FIFO (never waited on) or a file too large to be settings gives
// no settings, and the page says why.
TEST(MapServices, WhatIsNoRegularFileOrTooLargeIsNotReadAndThePageSaysWhy)
{
    const QString sPath = MapServicesFilePath();
    QDir().mkpath(QFileInfo(sPath).path());
    QFile::remove(sPath);
    const auto write = [&](const QByteArray& Text)
    {
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Text);
    };
    ForEachBlockedFile(
        sPath, [&] { write("MapBoxKey=k\n" + QByteArray(MAP_SERVICES_MAX_BYTES, '#')); }, "it is larger than 64 KB",
        [&](const char* pWhy)
        {
            const MAP_SERVICES_T services = ReadMapServices(sPath);
            EXPECT_EQ(services.sMapBoxKey, QString());
            EXPECT_NE(services.nFault, 0);
            const QString sNote =
                QUrlQuery(MapPageUrl(MAP_TYPE_MAPBOX)).queryItemValue(QStringLiteral("note"), QUrl::FullyDecoded);
            EXPECT_TRUE(sNote.contains(QDir::toNativeSeparators(sPath) + " is not read: " + pWhy + "."))
                << sNote.toStdString();
        });
}

TEST(MapServices, ATileFolderGivesItsAddressZoomLevelsAndSuffix)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder whose name would read as a placeholder of the address.
    const QString sTiles = dir.filePath(QStringLiteral("my {z} tiles"));
    EXPECT_EQ(ReadTileFolder(sTiles).sTemplate, QString()); // missing
    QImage tile(256, 256, QImage::Format_RGB32);
    tile.fill(Qt::green);
    for (const char* pTile : {"15/17500/11300.jpg", "17/70000/45200.jpg", "16/35000/22600.jpg"})
    {
        const QString sPath = QDir(sTiles).filePath(QLatin1String(pTile));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(sPath).path()));
        ASSERT_TRUE(tile.save(sPath));
    }
    QDir().mkpath(QDir(sTiles).filePath(QStringLiteral("notes")));
    const MAP_TILE_FOLDER_T tiles = ReadTileFolder(sTiles);
    EXPECT_EQ(tiles.nMinZoom, 15);
    EXPECT_EQ(tiles.nMaxZoom, 17);
    EXPECT_TRUE(tiles.sTemplate.endsWith(QStringLiteral("/my%20%7Bz%7D%20tiles/{z}/{x}/{y}.jpg")))
        << qPrintable(tiles.sTemplate);
    EXPECT_EQ(QUrl(tiles.sTemplate).toLocalFile().section(QLatin1Char('/'), 0, -4), QDir(sTiles).absolutePath());
}

// The offline page is looked for beside the program (a build tree), then in
// the data folder of an installed program (ZV_OFFLINE_MAP_DIR from its
// folder); with the page in neither, the installed folder is the one named.
TEST(MapServices, TheOfflinePageIsFoundBesideTheProgramElseWhereItIsInstalled)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString sBin = QDir(prefix.path()).filePath(QStringLiteral("bin"));
    const QString sBeside = sBin + QStringLiteral("/Resources/Web/Offline");
    const QString sShare = QDir::cleanPath(sBin + QStringLiteral("/" ZV_OFFLINE_MAP_DIR));
    ASSERT_TRUE(sShare.startsWith(prefix.path() + QStringLiteral("/share/"))) << qPrintable(sShare);
    const struct
    {
        QStringList files; // "beside/..." or "share/..."
        QString sExpected;
    } cases[] = {
        {{}, sShare},
        {{"share/BaiduOffline.html"}, sShare},
        {{"beside/BaiduOffline.html"}, sBeside},
        {{"beside/BaiduOffline.html", "share/BaiduOffline.html"}, sBeside},
        // A folder beside the program without the page (tiles only) is not the page's.
        {{"beside/tiles/1/0/0.png", "share/BaiduOffline.html"}, sShare},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.files.join(QLatin1Char(' ')).toStdString());
        QDir(sBin).removeRecursively();
        QDir(prefix.path() + QStringLiteral("/share")).removeRecursively();
        for (QString sFile : c.files)
        {
            sFile.replace(QRegularExpression(QStringLiteral("^beside/")), sBeside + QLatin1Char('/'))
                .replace(QRegularExpression(QStringLiteral("^share/")), sShare + QLatin1Char('/'));
            ASSERT_TRUE(QDir().mkpath(QFileInfo(sFile).path()));
            QFile file(sFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(OfflineMapFolder(sBin), c.sExpected);
    }
}

// Calls wait for a page that has not loaded, up to as many fixes as a trace
// keeps; the oldest give way, and a page let go drops them.
TEST(MapWebPage, CallsWaitingForThePageAreCappedOldestFirst)
{
    CMapWebPage page;
    for (int i = 0; i < MAP_PAGE_PENDING_MAX + 3; ++i)
        page.AddMarker(i * 1e-3, 0.0, false);
    page.AddMarker(std::numeric_limits<double>::quiet_NaN(), 0.0, false);
    ASSERT_EQ(page.Pending().size(), MAP_PAGE_PENDING_MAX);
    EXPECT_EQ(page.Pending().first(), QStringLiteral("AddMarker(0.003000,0.000000,0)"));
    EXPECT_EQ(page.Pending().last(), MapScriptAddMarker((MAP_PAGE_PENDING_MAX + 2) * 1e-3, 0.0, false));
    page.Release();
    EXPECT_TRUE(page.Pending().isEmpty());
}
