#include "monitor/views/web/map_services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#include "monitor/ports/config_file.h"

namespace
{
const QString kOfflinePage = QStringLiteral("BaiduOffline.html");

QString ConfigFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }

QString Tr(const char* pText) { return QCoreApplication::translate("QFMapWindow", pText); }

// name=value pairs with every value percent-encoded, so that a key or an
// address holding "&", "+", "#" or "=" reaches the page as written.
QString PageQuery(const QList<QPair<QString, QString>>& Items)
{
    QStringList parts;
    for (const auto& item : Items)
        parts << item.first + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(item.second));
    return parts.join(QLatin1Char('&'));
}

QUrl WithQuery(QUrl Url, const QString& sQuery)
{
    if (!sQuery.isEmpty())
        Url.setQuery(sQuery, QUrl::StrictMode);
    return Url;
}
} // namespace

QString MapServicesFilePath()
{
    return QDir(ConfigFolder()).filePath(QStringLiteral("Configure/Config/MapServices.txt"));
}

MAP_SERVICES_T ReadMapServices(const QString& sPath)
{
    QByteArray text;
    const int nStatus = ReadConfigFile(sPath, MAP_SERVICES_MAX_BYTES, &text);
    if (nStatus != CONFIG_FILE_OK)
    {
        MAP_SERVICES_T services;
        services.nFault = nStatus == CONFIG_FILE_MISSING ? 0 : nStatus;
        return services;
    }
    MAP_SERVICES_T services = ParseMapServices(text);
    // A relative tile folder is the file's neighbour, not the working folder's.
    if (!services.sOfflineTiles.isEmpty() && !QUrl(services.sOfflineTiles).isLocalFile())
        services.sOfflineTiles = QFileInfo(sPath).dir().absoluteFilePath(services.sOfflineTiles);
    return services;
}

MAP_SERVICES_T ParseMapServices(const QByteArray& Text)
{
    MAP_SERVICES_T services;
    QTextStream in(Text, QIODevice::ReadOnly);
    in.setCodec("UTF-8");
    const struct
    {
        const char* pName;
        QString MAP_SERVICES_T::*pValue;
    } names[] = {{"BaiDuScript", &MAP_SERVICES_T::sBaiduScript},
                 {"BaiDuKey", &MAP_SERVICES_T::sBaiduKey},
                 {"MapBoxTiles", &MAP_SERVICES_T::sMapBoxTiles},
                 {"MapBoxKey", &MAP_SERVICES_T::sMapBoxKey},
                 {"OfflineTiles", &MAP_SERVICES_T::sOfflineTiles}};
    const QLatin1String kCoords("OfflineTilesCoords");
    for (int nLine = 1; !in.atEnd(); ++nLine)
    {
        const QString sLine = in.readLine().trimmed();
        if (sLine.isEmpty() || sLine.startsWith(QLatin1Char('#')))
            continue;
        const int nEqual = sLine.indexOf(QLatin1Char('='));
        const QString sName = sLine.left(nEqual).trimmed();
        const QString sValue = sLine.mid(nEqual + 1).trimmed();
        bool bRead = false;
        if (nEqual > 0 && sValue.size() <= MAP_SERVICE_VALUE_MAX)
        {
            for (const auto& name : names)
            {
                if (sName.compare(QLatin1String(name.pName), Qt::CaseInsensitive) == 0)
                {
                    services.*name.pValue = sValue;
                    bRead = true;
                }
            }
            if (sName.compare(kCoords, Qt::CaseInsensitive) == 0)
            {
                const bool bBd09 = sValue.compare(QLatin1String("BD-09"), Qt::CaseInsensitive) == 0;
                bRead = bBd09 || sValue.compare(QLatin1String("WGS-84"), Qt::CaseInsensitive) == 0;
                if (bRead)
                    services.bOfflineBd09 = bBd09;
            }
        }
        if (!bRead && services.nUnread++ < MAP_SERVICES_UNREAD_MAX)
        {
            // A line's worth of what was there; the note stays readable and short.
            constexpr int kShown = 100;
            services.Unread << QStringLiteral("line %1: %2")
                                   .arg(nLine)
                                   .arg(sLine.size() > kShown ? sLine.left(kShown) + QChar(0x2026) : sLine);
        }
    }
    return services;
}

QString MapServiceAddress(const QString& sAddress, const QString& sKey)
{
    if (sAddress.isEmpty() || (sAddress.contains(QLatin1String("{key}")) && sKey.isEmpty()))
        return QString();
    return sAddress;
}

QString OfflineMapFolder(const QString& sProgramDir)
{
    // Beside the program in a build tree; in the data folder of an installed
    // program (ZV_OFFLINE_MAP_DIR, relative to its folder); that one is named
    // when neither holds the page.
    const QDir program(sProgramDir);
    const QString sBeside = program.filePath(QStringLiteral("Resources/Web/Offline"));
    if (QFileInfo(QDir(sBeside).filePath(kOfflinePage)).isFile())
        return sBeside;
    return QDir::cleanPath(program.absoluteFilePath(QStringLiteral(ZV_OFFLINE_MAP_DIR)));
}

QString OfflineMapFolder() { return OfflineMapFolder(QCoreApplication::applicationDirPath()); }

QString OfflineMapPage() { return QDir(OfflineMapFolder()).filePath(kOfflinePage); }

MAP_TILE_FOLDER_T ReadTileFolder(const QString& sFolder)
{
    MAP_TILE_FOLDER_T tiles;
    const QDir dir(sFolder);
    int nMin = -1;
    int nMax = -1;
    for (const QString& sZoom : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    {
        bool bNumber = false;
        const int nZoom = sZoom.toInt(&bNumber);
        if (!bNumber || nZoom < 0 || nZoom > 30)
            continue;
        nMin = nMin < 0 ? nZoom : qMin(nMin, nZoom);
        nMax = qMax(nMax, nZoom);
    }
    if (nMax < 0)
        return tiles;
    // The tiles' suffix is that of the first tile found.
    QDirIterator it(dir.filePath(QString::number(nMax)), QDir::Files, QDirIterator::Subdirectories);
    if (!it.hasNext())
        return tiles;
    it.next();
    const QString sSuffix = it.fileInfo().suffix();
    // Encoded whole, so that a "{" in a folder's name is no placeholder.
    tiles.sTemplate = QUrl::fromLocalFile(dir.absolutePath()).toString(QUrl::FullyEncoded) +
                      QStringLiteral("/{z}/{x}/{y}") + (sSuffix.isEmpty() ? QString() : QStringLiteral(".") + sSuffix);
    tiles.nMinZoom = nMin;
    tiles.nMaxZoom = nMax;
    return tiles;
}

MAP_TILE_FOLDER_T FindOfflineTiles()
{
    const QString sTiles = QStringLiteral("tiles");
    const MAP_TILE_FOLDER_T own =
        ReadTileFolder(QDir(ConfigFolder()).filePath(QStringLiteral("Resources/Web/Offline/") + sTiles));
    return own.sTemplate.isEmpty() ? ReadTileFolder(QDir(OfflineMapFolder()).filePath(sTiles)) : own;
}

namespace
{
// The settings of the file as it stands: read again only when its size or
// time of change differ from those of the last read. The map pages are made
// in the GUI thread; the lock keeps any other caller safe.
MAP_SERVICES_T CachedMapServices(const QString& sPath)
{
    struct CACHE_T
    {
        QString sPath;
        bool bExists = false;
        qint64 nSize = -1;
        QDateTime Modified;
        MAP_SERVICES_T Services;
        bool bValid = false;
    };
    static QMutex lock;
    static CACHE_T cache;
    const QFileInfo info(sPath);
    const bool bExists = info.exists();
    const qint64 nSize = bExists ? info.size() : -1;
    const QDateTime modified = bExists ? info.lastModified() : QDateTime();
    QMutexLocker locker(&lock);
    if (!cache.bValid || cache.sPath != sPath || cache.bExists != bExists || cache.nSize != nSize ||
        cache.Modified != modified)
    {
        cache.Services = ReadMapServices(sPath);
        cache.sPath = sPath;
        cache.bExists = bExists;
        cache.nSize = nSize;
        cache.Modified = modified;
        cache.bValid = true;
    }
    return cache.Services;
}
} // namespace

MAP_SERVICES_T CurrentMapServices() { return CachedMapServices(MapServicesFilePath()); }

namespace
{
// What a page says of the settings file itself: why it was not read, and the
// lines it did not understand.
QStringList FileNotes(const MAP_SERVICES_T& Services, const QString& sSettings)
{
    QStringList notes;
    if (Services.nFault != 0)
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "%1 is not read: %2."))
                     .arg(sSettings, ConfigFileReason(Services.nFault, MAP_SERVICES_MAX_BYTES));
    if (!Services.Unread.isEmpty())
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "Not understood in %1: %2"))
                     .arg(sSettings, Services.Unread.join(QStringLiteral("; ")) +
                                         (Services.nUnread > Services.Unread.size() ? QStringLiteral("; \u2026")
                                                                                    : QString()));
    return notes;
}
} // namespace

QUrl ComposeMapPageUrl(MAP_TYPE_E eType, const MAP_SERVICES_T& Services, const QString& sSettingsPath,
                       const MAP_TILE_FOLDER_T& Tiles)
{
    const QString sSettings = QDir::toNativeSeparators(sSettingsPath);
    if (eType == MAP_TYPE_OFFLINE)
    {
        QList<QPair<QString, QString>> items;
        if (!Tiles.sTemplate.isEmpty())
        {
            items = {{QStringLiteral("tiles"), Tiles.sTemplate},
                     {QStringLiteral("minzoom"), QString::number(Tiles.nMinZoom)},
                     {QStringLiteral("maxzoom"), QString::number(Tiles.nMaxZoom)}};
            if (Services.bOfflineBd09)
                items.append({QStringLiteral("coords"), QStringLiteral("bd09")});
        }
        // A line not understood may be the coordinates of the tiles mistyped.
        const QStringList notes = FileNotes(Services, sSettings);
        if (!notes.isEmpty())
            items.append({QStringLiteral("note"), notes.join(QLatin1Char(' '))});
        QUrl url = WithQuery(QUrl::fromLocalFile(OfflineMapPage()), PageQuery(items));
        if (url.toEncoded().size() > MAP_PAGE_ADDRESS_MAX && !notes.isEmpty())
        {
            items.removeLast();
            url = WithQuery(QUrl::fromLocalFile(OfflineMapPage()), PageQuery(items));
        }
        return url.toEncoded().size() <= MAP_PAGE_ADDRESS_MAX ? url : QUrl::fromLocalFile(OfflineMapPage());
    }
    if (eType != MAP_TYPE_BAIDU && eType != MAP_TYPE_MAPBOX)
        return QUrl();
    const bool bBaidu = eType == MAP_TYPE_BAIDU;
    const QString sAddress = bBaidu ? MapServiceAddress(Services.sBaiduScript, Services.sBaiduKey)
                                    : MapServiceAddress(Services.sMapBoxTiles, Services.sMapBoxKey);
    QStringList notes;
    if (sAddress.isEmpty())
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "No access key is set for this map: write it into %1 (the "
                                                     "README tells how). \"Offline Map\" needs none."))
                     .arg(sSettings);
    notes << FileNotes(Services, sSettings);
    const QString sUnreachable = Tr(QT_TRANSLATE_NOOP(
        "QFMapWindow", "The map service cannot be reached, or its address or key is wrong. \"Offline Map\" works "
                       "without a network."));
    // Each value is encoded once, into the page's address; the page puts the
    // key into the service's address itself.
    const QString sKey = bBaidu ? Services.sBaiduKey : Services.sMapBoxKey;
    const QUrl page(bBaidu ? QStringLiteral("qrc:/Web/baidu.html") : QStringLiteral("qrc:/Web/MapBoxPolyline.html"));
    const auto compose = [&](const QString& sNote)
    {
        return WithQuery(page, PageQuery({{bBaidu ? QStringLiteral("script") : QStringLiteral("tiles"), sAddress},
                                          {QStringLiteral("key"), sAddress.isEmpty() ? QString() : sKey},
                                          {QStringLiteral("note"), sNote},
                                          {QStringLiteral("unreachable"), sUnreachable}}));
    };
    const QUrl url = compose(notes.join(QLatin1Char(' ')));
    // The values are bounded; only an unusually long settings path could
    // still make the notes too long, and then they are left out.
    return url.toEncoded().size() <= MAP_PAGE_ADDRESS_MAX ? url : compose(QString());
}

QUrl MapPageUrl(MAP_TYPE_E eType)
{
    const QString sPath = MapServicesFilePath();
    const MAP_SERVICES_T services = CachedMapServices(sPath);
    MAP_TILE_FOLDER_T tiles;
    if (eType == MAP_TYPE_OFFLINE)
    {
        tiles = services.sOfflineTiles.isEmpty()
                    ? FindOfflineTiles()
                    : ReadTileFolder(QUrl(services.sOfflineTiles).isLocalFile()
                                         ? QUrl(services.sOfflineTiles).toLocalFile()
                                         : services.sOfflineTiles);
    }
    return ComposeMapPageUrl(eType, services, sPath, tiles);
}
