// Where the map window's pages find what they show. The online maps take
// their access keys and addresses from a settings file of the user's (none
// is in the program); the offline page stands beside the program (or in its
// data folder once installed) and shows the tiles of a folder the user supplies.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

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
// offline tiles. Read anew at each call, so that an edited file counts at the
// next load. Any window that shows a position on a map loads one of these.
QUrl MapPageUrl(MAP_TYPE_E eType);

// The settings of the online maps, from "Configure/Config/MapServices.txt" in
// the monitor's configuration folder. One "Name = Value" a line; "#" starts a
// comment line; names are read in any letter case:
//   BaiDuScript  the address of the map service's script, "{key}" for the key
//   BaiDuKey     its access key
//   MapBoxTiles  the address of a tile, with "{z}", "{x}", "{y}" and "{key}"
//   MapBoxKey    its access key
struct MAP_SERVICES_T
{
    QString sBaiduScript;
    QString sBaiduKey;
    QString sMapBoxTiles;
    QString sMapBoxKey;
    // Lines that are no setting, as "line 3: <text>".
    QStringList Unread;
    // Why a file that is there was not read (a CONFIG_FILE_E); 0 when it was
    // read or is missing.
    int nFault = 0;
};
// The settings are a few lines; a larger file is not read.
inline constexpr qint64 MAP_SERVICES_MAX_BYTES = 64 * 1024;

QString MapServicesFilePath();
// The settings of a file; a missing file holds none, and so does anything but
// a regular file of at most MAP_SERVICES_MAX_BYTES (never waited on).
MAP_SERVICES_T ReadMapServices(const QString& sPath);
// An address with "{key}" replaced by the key (percent-encoded); empty when
// there is no address, or when the address needs a key and there is none.
QString MapServiceAddress(const QString& sAddress, const QString& sKey);

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
