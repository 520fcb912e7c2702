#include "monitor/views/web/map_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace
{
QString ConfigFolder() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation); }
} // namespace

QString MapServicesFilePath()
{
    return QDir(ConfigFolder()).filePath(QStringLiteral("Configure/Config/MapServices.txt"));
}

MAP_SERVICES_T ReadMapServices(const QString& sPath)
{
    MAP_SERVICES_T services;
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return services;
    QTextStream in(&file);
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

QString OfflineMapFolder()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Resources/Web/Offline"));
}

QString OfflineMapPage() { return QDir(OfflineMapFolder()).filePath(QStringLiteral("BaiduOffline.html")); }

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
