// KMZ export: a recorded receiver log (NMEA GGA or RMC sentences, or full
// text position logs) becomes a track for a virtual-globe viewer: one KML
// placemark per epoch with a position, coloured line segments between them,
// start and end markers and a logo overlay, zipped with the icon images into
// a KMZ archive. The KML is UTF-8 with every text escaped.
//
// The archive is written beside its place and put there only when it is
// whole: an export that fails or is cancelled part-way leaves what stood
// under the chosen name before.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>

#include "monitor/parsing/pos_data_parser.h"

// Progress of a KMZ export, passed by value from its worker thread.
struct PARSE_LOG_INFO_T
{
    uint64_t Reserved = 0;
    uint64_t Processed = 0; // bytes of the input read so far
    uint64_t Total = 0;     // size of the input in bytes
    uint32_t Epochs = 0;    // completed epochs
    uint32_t TagCounter = 0;
    uint32_t Status = 0; // KMZ_STATUS_E
    uint8_t Reserved2[28] = {};
};
static_assert(sizeof(PARSE_LOG_INFO_T) == 64, "PARSE_LOG_INFO_T is a 64-byte record");

enum KMZ_STATUS_E : uint32_t
{
    KMZ_OK = 0, // running, or done
    KMZ_INPUT_NOT_OPENED = 1,
    KMZ_NOT_CREATED = 3,      // the archive (with its KML) cannot be created
    KMZ_WRITE_FAILED = 4,     // the archive could not be written whole
    KMZ_ICON_UNREADABLE = 5,  // the own icon cannot be read as an image
    KMZ_CANCELLED = 6,
    KMZ_READ_FAILED = 7,      // the input could not be read to its end
    KMZ_SAME_FILE = 8,        // the archive would replace the input
};

enum : uint32_t
{
    KMZ_OWN_ICON = 255, // icon colour index of an own icon file
    KMZ_ICON_COLOURS = 13,
    KMZ_DEFAULT_LINE_COLOUR = 0xFFFFFF80, // KML order: alpha, blue, green, red
    KMZ_DEFAULT_SAT_MASK = 27,
};

// The colour sets of numbered icons, index 0-12: "teal" ... "white".
const char* KmzIconColourName(uint32_t nIndex);

struct KMZ_SETTINGS_T
{
    QString LogPath;
    QString KmzPath;
    QString DisplayName;
    QString OwnIconPath; // empty: the program's own arrow
    uint32_t IconColour = KMZ_OWN_ICON;
    uint32_t IconSize = 6; // the icon scale is size / 10
    uint32_t LineColour = KMZ_DEFAULT_LINE_COLOUR;
    uint32_t LineWidth = 2;
    bool SpeedAsAltitude = true;
    bool HeightZero = false;
    bool Heading = false; // turn the own icon to the heading
    int32_t TagOffset = 0;
    bool Label = true; // every tag that is a multiple of 100 shows its name
    // Which per-system counts of satellites used make a colour icon's number:
    // bit 0 GPS and the systems filed with it, 1 Galileo, 2 SBAS, 3 BeiDou
    // (bit 4 names a count the position record does not keep).
    uint32_t SatMask = KMZ_DEFAULT_SAT_MASK;
    uint32_t RefMsgType = REF_POS_GGA; // 0-1 NMEA input, 2-8 text logs
};

// Writes the KML text of a track, epoch by epoch. A fresh writer per export.
class CKmlTrackWriter
{
public:
    explicit CKmlTrackWriter(const KMZ_SETTINGS_T& Settings) : m_Settings(Settings) {}

    // The document up to the track folder's name.
    QByteArray Head() const;
    // One completed epoch (latitude and longitude in degrees). Nothing for
    // an epoch without a position solution.
    QByteArray Epoch(const POS_DATA_T& Pos, uint32_t nTag);
    // The end marker (when a start was written) and the closing text.
    QByteArray Tail() const;

    uint32_t Placemarks() const { return m_nPlacemarks; }
    // The numbered icons the placemarks use (colour icons only).
    const QSet<uint32_t>& IconsUsed() const { return m_IconsUsed; }

    // Whether an epoch has a position solution: a known fix quality above 0
    // and a latitude and longitude (degrees) that can be.
    static bool HasSolution(const POS_DATA_T& Pos);
    // The number of a colour icon: the selected per-system counts, else all satellites used.
    uint32_t IconNumber(const POS_DATA_T& Pos) const;

private:
    QByteArray Marker(const char* pName, double dLat, double dLon) const;

    KMZ_SETTINGS_T m_Settings;
    bool m_bStarted = false;
    double m_StartLat = 0.0, m_StartLon = 0.0;
    bool m_bHasLast = false;
    double m_LastLat = 0.0, m_LastLon = 0.0, m_LastHeight = 0.0;
    uint32_t m_nPlacemarks = 0;
    QSet<uint32_t> m_IconsUsed;
};

// Escapes &, <, >, " and ' for XML text and attributes.
QByteArray XmlEscaped(const QString& sText);

// The images of the archive, drawn by the program: a colour icon with its
// number, the start and end marker, and the default own icon (an arrow that
// points north, so that the heading turns it).
QImage KmzNumberIcon(uint32_t nColour, uint32_t nNumber);
QImage KmzMarkerIcon();
QImage KmzDefaultOwnIcon();

// Progress, called from the exporting thread every 64 epochs and at the end.
using KmzProgressFn = std::function<void(const PARSE_LOG_INFO_T&)>;
// Asked for every line; true stops the export.
using KmzCancelFn = std::function<bool()>;

// Called with every completed epoch of the log (the position record, angles
// in radians); false stops the reading.
using KmzEpochFn = std::function<bool(const POS_DATA_T&)>;
// Reads a recorded log as the export does (NMEA sentences for GGA and RMC,
// else full text position logs), adding the bytes read to pInfo->Processed.
// KMZ_OK (also when onEpoch stopped it), KMZ_CANCELLED or KMZ_READ_FAILED.
uint32_t ReadKmzLog(QIODevice* pIn, uint32_t nRefMsgType, PARSE_LOG_INFO_T* pInfo, const KmzEpochFn& onEpoch,
                    const KmzCancelFn& cancelled);

struct KMZ_RESULT_T
{
    PARSE_LOG_INFO_T Info;
    uint32_t Placemarks = 0;
    QString Error; // the system's reason when a file failed
};

// Reads the log, writes the KMZ archive. Safe to call from any thread.
KMZ_RESULT_T GenerateKmz(const KMZ_SETTINGS_T& Settings, const KmzProgressFn& progress, const KmzCancelFn& cancelled);
