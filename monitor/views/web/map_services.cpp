#include "monitor/views/web/map_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
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
    MAP_SERVICES_T services;
    QByteArray text;
    const int nStatus = ReadConfigFile(sPath, MAP_SERVICES_MAX_BYTES, &text);
    if (nStatus != CONFIG_FILE_OK)
    {
        services.nFault = nStatus == CONFIG_FILE_MISSING ? 0 : nStatus;
        return services;
    }
    QTextStream in(&text, QIODevice::ReadOnly);
    in.setCodec("UTF-8");
    const struct
    {
        const char* pName;
        QString MAP_SERVICES_T::*pValue;
    } names[] = {{"BaiDuScript", &MAP_SERVICES_T::sBaiduScript},
                 {"BaiDuKey", &MAP_SERVICES_T::sBaiduKey},
                 {"MapBoxTiles", &MAP_SERVICES_T::sMapBoxTiles},
                 {"MapBoxKey", &MAP_SERVICES_T::sMapBoxKey}};
    for (int nLine = 1; !in.atEnd(); ++nLine)
    {
        const QString sLine = in.readLine().trimmed();
        if (sLine.isEmpty() || sLine.startsWith(QLatin1Char('#')))
            continue;
        const int nEqual = sLine.indexOf(QLatin1Char('='));
        const QString sName = sLine.left(nEqual).trimmed();
        bool bRead = false;
        for (const auto& name : names)
        {
            if (nEqual > 0 && sName.compare(QLatin1String(name.pName), Qt::CaseInsensitive) == 0)
            {
                services.*name.pValue = sLine.mid(nEqual + 1).trimmed();
                bRead = true;
            }
        }
        if (!bRead)
            services.Unread << QStringLiteral("line %1: %2").arg(nLine).arg(sLine);
    }
    return services;
}

QString MapServiceAddress(const QString& sAddress, const QString& sKey)
{
    const QString sPlace = QStringLiteral("{key}");
    if (sAddress.isEmpty() || (sAddress.contains(sPlace) && sKey.isEmpty()))
        return QString();
    QString sOut = sAddress;
    return sOut.replace(sPlace, QString::fromLatin1(QUrl::toPercentEncoding(sKey)));
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

QUrl MapPageUrl(MAP_TYPE_E eType)
{
    if (eType == MAP_TYPE_OFFLINE)
    {
        const MAP_TILE_FOLDER_T tiles = FindOfflineTiles();
        return WithQuery(QUrl::fromLocalFile(OfflineMapPage()),
                         tiles.sTemplate.isEmpty()
                             ? QString()
                             : PageQuery({{QStringLiteral("tiles"), tiles.sTemplate},
                                          {QStringLiteral("minzoom"), QString::number(tiles.nMinZoom)},
                                          {QStringLiteral("maxzoom"), QString::number(tiles.nMaxZoom)}}));
    }
    if (eType != MAP_TYPE_BAIDU && eType != MAP_TYPE_MAPBOX)
        return QUrl();
    const QString sSettings = QDir::toNativeSeparators(MapServicesFilePath());
    const MAP_SERVICES_T services = ReadMapServices(MapServicesFilePath());
    const bool bBaidu = eType == MAP_TYPE_BAIDU;
    const QString sAddress = bBaidu ? MapServiceAddress(services.sBaiduScript, services.sBaiduKey)
                                    : MapServiceAddress(services.sMapBoxTiles, services.sMapBoxKey);
    QStringList notes;
    if (sAddress.isEmpty())
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "No access key is set for this map: write it into %1 (the "
                                                     "README tells how). \"Offline Map\" needs none."))
                     .arg(sSettings);
    if (services.nFault != 0)
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "%1 is not read: %2."))
                     .arg(sSettings, ConfigFileReason(services.nFault, MAP_SERVICES_MAX_BYTES));
    if (!services.Unread.isEmpty())
        notes << Tr(QT_TRANSLATE_NOOP("QFMapWindow", "Not understood in %1: %2"))
                     .arg(sSettings, services.Unread.join(QStringLiteral("; ")));
    const QString sUnreachable = Tr(QT_TRANSLATE_NOOP(
        "QFMapWindow", "The map service cannot be reached, or its address or key is wrong. \"Offline Map\" works "
                       "without a network."));
    return WithQuery(
        QUrl(bBaidu ? QStringLiteral("qrc:/Web/baidu.html") : QStringLiteral("qrc:/Web/MapBoxPolyline.html")),
        PageQuery({{bBaidu ? QStringLiteral("script") : QStringLiteral("tiles"), sAddress},
                   {QStringLiteral("note"), notes.join(QLatin1Char(' '))},
                   {QStringLiteral("unreachable"), sUnreachable}}));
}
