// Where the map window's pages find what they show. The online maps take
// their access keys and addresses from a settings file of the user's (none
// is in the program); the offline page stands beside the program (or in its
// data folder once installed) and shows the tiles of a folder the user supplies.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

struct MAP_TILE_FOLDER_T;

// The maps of the map window.
enum MAP_TYPE_E
{
    MAP_TYPE_BAIDU = 0,   // online, drawn by the map service's own script
    MAP_TYPE_MAPBOX = 1,  // online tiles, drawn with Leaflet
    MAP_TYPE_OFFLINE = 2, // the page beside the program, with the user's tiles or a grid
    MAP_TYPE_COUNT = 3,
};

// The address of a map's page, with what the page is told: the key and the
// address from the settings file (and the texts the page shows when they are
// missing or the service cannot be reached, in the user's language), or the
// offline tiles and their coordinates. The file is read again only when it has
// changed since the last call, so that an edited file counts at the next load.
// Any window that shows a position on a map loads one of these.
QUrl MapPageUrl(MAP_TYPE_E eType);

// The settings of the online maps, from "Configure/Config/MapServices.txt" in
// the monitor's configuration folder. One "Name = Value" a line; "#" starts a
// comment line; names are read in any letter case:
//   BaiDuScript  the address of the map service's script, "{key}" for the key
//   BaiDuKey     its access key
//   MapBoxTiles  the address of a tile, with "{z}", "{x}", "{y}" and "{key}"
//   MapBoxKey    its access key
//   OfflineTiles       the folder of the offline map's tiles (<z>/<x>/<y>.png);
//                      a relative folder is taken from the file's own folder
//   OfflineTilesCoords the coordinates of those tiles: "WGS-84" (the default)
//                      or "BD-09", which the offline page reaches from a fix's
//                      WGS-84 through GCJ-02
// A value is at most MAP_SERVICE_VALUE_MAX characters; the page puts the key,
// percent-encoded, in place of each "{key}" of its address.
struct MAP_SERVICES_T
{
    QString sBaiduScript;
    QString sBaiduKey;
    QString sMapBoxTiles;
    QString sMapBoxKey;
    QString sOfflineTiles;
    bool bOfflineBd09 = false;
    // Lines that are no setting, as "line 3: <text>" (the first
    // MAP_SERVICES_UNREAD_MAX of them, each cut to a line's worth), and how
    // many there were in all.
    QStringList Unread;
    int nUnread = 0;
    // Why a file that is there was not read (a CONFIG_FILE_E); 0 when it was
    // read or is missing.
    int nFault = 0;
};
// The settings are a few lines; a larger file is not read.
inline constexpr qint64 MAP_SERVICES_MAX_BYTES = 64 * 1024;
// The longest address or key taken (a tile address with its query is a few
// hundred characters); a longer value is a line not understood.
inline constexpr int MAP_SERVICE_VALUE_MAX = 2048;
inline constexpr int MAP_SERVICES_UNREAD_MAX = 8;
// The longest page address (encoded) that MapPageUrl makes, whatever the file.
inline constexpr int MAP_PAGE_ADDRESS_MAX = 64 * 1024;

QString MapServicesFilePath();
// The settings of a file; a missing file holds none, and so does anything but
// a regular file of at most MAP_SERVICES_MAX_BYTES (never waited on).
MAP_SERVICES_T ReadMapServices(const QString& sPath);
// The settings of MapServicesFilePath() as it stands, read again only when it
// has changed since the last call.
MAP_SERVICES_T CurrentMapServices();
// The settings in the text of such a file.
MAP_SERVICES_T ParseMapServices(const QByteArray& Text);
// A service's address as its page is given it: empty when there is no
// address, or when the address needs a key ("{key}") and there is none.
QString MapServiceAddress(const QString& sAddress, const QString& sKey);
// The page address of a map from its settings (read from sSettingsPath, which
// the page's notes name) and, for the offline map, its tiles; at most
// MAP_PAGE_ADDRESS_MAX characters encoded.
QUrl ComposeMapPageUrl(MAP_TYPE_E eType, const MAP_SERVICES_T& Services, const QString& sSettingsPath,
                       const MAP_TILE_FOLDER_T& Tiles);

// The folder of the offline page "BaiduOffline.html": "Resources/Web/Offline"
// beside the program when the page is there, else the installed program's
// data folder (share/qzorvikmonitor/Resources/Web/Offline beside its bin/).
QString OfflineMapFolder();
// The same for a program in sProgramDir.
QString OfflineMapFolder(const QString& sProgramDir);
QString OfflineMapPage();

// A folder of map tiles in the usual layout <z>/<x>/<y>.png (or .jpg), with
// the zoom levels it holds.
struct MAP_TILE_FOLDER_T
{
    QString sTemplate; // file URL with "{z}/{x}/{y}.<suffix>"; empty: no tiles
    int nMinZoom = 0;
    int nMaxZoom = 0;
};
// The tiles of the folder "tiles" under "Resources/Web/Offline" in the
// monitor's configuration folder, else of the folder "tiles" beside the
// offline page.
MAP_TILE_FOLDER_T FindOfflineTiles();
MAP_TILE_FOLDER_T ReadTileFolder(const QString& sFolder);
