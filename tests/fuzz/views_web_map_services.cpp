// The map services file as the map window reads it, and the page address it
// makes for each map: every value reaches the page exactly as the file holds
// it (encoded once, decoded once), the lines not understood that are named
// stay within their cap, and no file within its size bound makes a page
// address longer than MAP_PAGE_ADDRESS_MAX.
#include <QByteArray>
#include <QUrl>
#include <QUrlQuery>
#include <cstddef>
#include <cstdint>

#include "monitor/views/web/map_services.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > static_cast<size_t>(MAP_SERVICES_MAX_BYTES))
        return 0;
    const QByteArray text(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    const MAP_SERVICES_T services = ParseMapServices(text);
    if (services.Unread.size() > MAP_SERVICES_UNREAD_MAX || services.nUnread < services.Unread.size())
        __builtin_trap();
    for (const QString* pValue : {&services.sBaiduScript, &services.sBaiduKey, &services.sMapBoxTiles,
                                  &services.sMapBoxKey, &services.sOfflineTiles})
        if (pValue->size() > MAP_SERVICE_VALUE_MAX)
            __builtin_trap();

    MAP_TILE_FOLDER_T tiles;
    tiles.sTemplate = QStringLiteral("file:///home/user/.config/QZorvikMonitor/tiles/{z}/{x}/{y}.png");
    tiles.nMinZoom = 3;
    tiles.nMaxZoom = 18;
    const QString sSettings = QStringLiteral("/home/user/.config/QZorvikMonitor/Configure/Config/MapServices.txt");
    for (MAP_TYPE_E eType : {MAP_TYPE_BAIDU, MAP_TYPE_MAPBOX, MAP_TYPE_OFFLINE})
    {
        const QUrl url = ComposeMapPageUrl(eType, services, sSettings, tiles);
        const QByteArray encoded = url.toEncoded();
        if (encoded.size() > MAP_PAGE_ADDRESS_MAX)
            __builtin_trap();
        if (eType == MAP_TYPE_OFFLINE)
        {
            const bool bBd09 = QUrlQuery(url).queryItemValue(QStringLiteral("coords")) == QLatin1String("bd09");
            if (bBd09 != services.bOfflineBd09)
                __builtin_trap();
            continue;
        }
        // What the page reads back is what the file holds.
        const QUrlQuery query(QUrl::fromEncoded(encoded));
        const bool bBaidu = eType == MAP_TYPE_BAIDU;
        const QString sAddress = bBaidu ? MapServiceAddress(services.sBaiduScript, services.sBaiduKey)
                                        : MapServiceAddress(services.sMapBoxTiles, services.sMapBoxKey);
        const QString sKey = bBaidu ? services.sBaiduKey : services.sMapBoxKey;
        if (query.queryItemValue(bBaidu ? QStringLiteral("script") : QStringLiteral("tiles"), QUrl::FullyDecoded) !=
                sAddress ||
            query.queryItemValue(QStringLiteral("key"), QUrl::FullyDecoded) != (sAddress.isEmpty() ? QString() : sKey))
            __builtin_trap();
    }
    return 0;
}
