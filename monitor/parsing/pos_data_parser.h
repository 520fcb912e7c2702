// The position record of the current port (date and time, position, fix
// quality, dilution, a table of satellites, INS attitude) and the parser that
// fills it from the port's text: NMEA sentences, text logs, and through the
// port's latest-log store the binary logs.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <vector>

#include "codec/gnss_numbering.h"
#include "codec/gnss_time.h"
#include "codec/log_format.h"
#include "codec/signals.h"

class QRangeData;

enum : uint32_t
{
    POS_SAT_TABLE_SIZE = 500, // entry k holds satellite number k + 1
    POS_IN_VIEW_SYSTEMS = 6,
    POS_LINE_MAX = 32767, // a line without an end is cut here
};

// Satellite systems of the satellite table are GNSS_SYSTEM_E values (also the
// index into InView, where GNSS_SYSTEM_SBAS counts SBAS); this marks none.
inline constexpr uint32_t POS_SYS_UNKNOWN = SATELLITE_SYSTEM_UNKNOWN;

struct SAT_INFO_T
{
    uint8_t Used;       // 1 when a GSA sentence of this epoch lists it
    uint32_t SatNumber; // 0: empty entry
    uint8_t Elevation;  // degrees, 255 none
    uint8_t CN0;        // dB-Hz, 255 none
    int16_t Azimuth;    // degrees, -1 none
    uint32_t System;    // GNSS_SYSTEM_E; SBAS satellites are filed as GPS (0)
};

enum REF_POS_MSG_TYPE_E : uint32_t
{
    REF_POS_GGA = 0,
    REF_POS_RMC = 1,
    REF_POS_PSRPOS = 2,
    REF_POS_RTKPOS = 3,
    REF_POS_BESTPOS = 4,
    REF_POS_BESTGNSSPOS = 5,
    REF_POS_MATCHEDPOS = 6,
    REF_POS_INSPVA = 7,
    REF_POS_INSPVAX = 8,
};
// "GGA" ... "INSPVAX", or "UNKNOWN".
const char* RefPosMsgTypeName(uint32_t nType);

inline constexpr uint8_t FIX_QUALITY_UNKNOWN = 255;
inline constexpr double POS_GPS_SECONDS_NONE = -1000.0;

struct POS_DATA_T
{
    CalendarTime Utc; // Year ... Millisecond
    double Latitude;  // radians, south negative; 0 until a position arrived
    double Longitude; // radians, west negative
    double Height;    // ellipsoidal, m
    double PrevLatitude;
    double PrevLongitude;
    double PrevHeight;
    double Undulation; // m
    uint32_t DiffAge;  // whole seconds
    uint32_t BaseStationID;
    double HDOP;
    double Speed;        // m/s
    double Course;       // degrees
    double GpsSeconds;   // of the week; POS_GPS_SECONDS_NONE until a fix
    uint32_t EpochCount; // positions taken from logs
    uint8_t InsStatus;
    uint32_t SatsUsed;
    uint32_t UsedGpsOther; // GPS, GLONASS, QZSS and others used (GSA)
    uint32_t UsedGalileo;
    uint32_t UsedBeiDou;
    uint32_t UsedSbas;
    uint32_t InView[POS_IN_VIEW_SYSTEMS];
    uint8_t Tracked;
    uint8_t FixQuality; // GGA quality: 0 none, 1 single, 2 differential, 4 RTK fixed, 5 RTK float, 6 INS; 255 unknown
    SAT_INFO_T SatInfo[POS_SAT_TABLE_SIZE];
    double Roll; // degrees
    double Pitch;
    double Azimuth;
    uint32_t RefPosMsgType; // REF_POS_MSG_TYPE_E: the source of the position
};

// Zeroes a record, marks every satellite entry empty and GpsSeconds unknown.
void ResetPosData(POS_DATA_T* pPos);

// SatTableNumber, the satellite table's number of a satellite, is in
// codec/gnss_numbering.h with the rest of the satellite numbering.

// The working state of the NMEA parser: one per caller (each position parser,
// each export job).
struct NMEA_STATE_T
{
    POS_DATA_T Work;    // the epoch being collected
    int64_t LastTimeMs; // time of day of the last GGA or RMC, -1 at reset
    bool Published;
    bool HdtSeen; // an HDT arrived since the last publication
    // Per system, a bit per NMEA signal ID whose GSV series has been read since
    // the system's satellites were last cleared.
    uint32_t GsvSignals[POS_IN_VIEW_SYSTEMS];
};
void ResetNmeaState(NMEA_STATE_T* pState);

// XOR of the characters after "$" up to "*" (or the end), against the two hex
// digits after "*"; false without them.
bool NmeaChecksumOk(const char* pSentence, int32_t nLength);

// Parses one GGA, GSA, GSV, RMC or HDT sentence (talkers GA, GB, GL, GN, GP, GQ,
// BD). A sentence is looked at only when its checksum holds. When a GGA or RMC
// carries a new time, the epoch collected so far is published into *pPos: the
// satellite table, DOP, speed, course and (after an HDT) the azimuth always,
// the position, time and fix fields only while the position source is GGA or
// RMC. Returns 1 when this sentence published an epoch, 0 when it did not, -1
// when it is not an NMEA sentence of those talkers or fails its checksum.
int ParseNmeaSentence(const char* pLine, int32_t nLength, POS_DATA_T* pPos, NMEA_STATE_T* pState);

// Publishes the epoch collected since the last GGA or RMC time, as the next
// time would; for the end of a recorded stream, whose last epoch no later
// sentence publishes. Returns 1 when there was one, else 0.
int FinishNmeaEpoch(POS_DATA_T* pPos, NMEA_STATE_T* pState);

struct PositionBody;
struct InsPvaBody;
struct InspvaxBody;

// Body text of a text log (after ";", up to "*") into the body record.
// Return 0 on success, -1 when a field is missing or does not read.
int ParseBestposBody(const char* pText, int32_t nLength, PositionBody* pBody);
int ParseInspvaBody(const char* pText, int32_t nLength, InsPvaBody* pBody);
int ParseInspvaxBody(const char* pText, int32_t nLength, InspvaxBody* pBody);

// A position log (the header and body of a binary record) into the record:
// position in radians, height, date and time from the header, EpochCount + 1.
void BestposToPosData(const BinaryLogHeader* pHeader, const PositionBody* pBody, POS_DATA_T* pPos);
void InspvaToPosData(const BinaryLogHeader* pHeader, const InsPvaBody* pBody, POS_DATA_T* pPos);
void InspvaxToPosData(const BinaryLogHeader* pHeader, const InspvaxBody* pBody, POS_DATA_T* pPos);
// Fix quality of a BESTPOS-form solution: solution status and position type.
uint8_t PositionFixQuality(uint32_t nSolStatus, uint32_t nPosType);
// Date and time of a header's week and milliseconds into the record, with the
// leap seconds in force at that time.
void HeaderTimeToPosData(uint16_t nWeek, uint32_t nMilliseconds, POS_DATA_T* pPos);

// A full text log of the record's position source ("#BESTPOSA,...", "#INSPVAXA,"
// ...) into the record. Returns 1 when it was taken, else 0.
int AsciiLogToPosData(const char* pLine, int32_t nLength, POS_DATA_T* pPos);
// The same for a full text log of any of the seven position logs (PSRPOS,
// RTKPOS, BESTPOS, BESTGNSSPOS, MATCHEDPOS, INSPVA, INSPVAX), whatever the
// record's position source. Returns 1 when it was taken, else 0.
int PositionLogToPosData(const char* pLine, int32_t nLength, POS_DATA_T* pPos);

// Appends the text to *pLeftover and hands each whole line opened by "$" or
// "#" to fnLine, without its end; a "$" or "#" inside a line opens the next
// one. A line without its end yet waits in *pLeftover; one of POS_LINE_MAX
// bytes is cut there.
void CutPositionLines(QByteArray* pLeftover, const char* pText, int32_t nLength,
                      const std::function<void(const char* pLine, int32_t nLength)>& fnLine);

class QPosDataParser : public QObject
{
    Q_OBJECT

public:
    explicit QPosDataParser(QObject* pParent = nullptr);
    ~QPosDataParser() override;

    // Cuts the port's text into lines (an unfinished line waits for the next
    // call; a "$" or "#" inside a line starts the next one), feeds each to the
    // NMEA parser and the store's text-log parser, and then takes the position
    // source's latest log from the store when new ones have arrived, counting
    // each of them in EpochCount. Without a store, text logs of the source go
    // straight into the record. The text must be the port's own: text made
    // from a binary log that is already in the store would be kept twice.
    // Returns the text bytes consumed.
    int ParsePosData(const char* pText, int32_t nLength, POS_DATA_T* pPos, QRangeData* pStore);
    // Forgets the record, the epoch being collected and an unfinished line,
    // keeping the chosen position source: for another port's text.
    void StartOver();

    POS_DATA_T m_PosData;

private:
    void TakeStoredSource(POS_DATA_T* pPos, QRangeData* pStore);

    // How many logs of the position source each store had kept when the
    // record last took one; a store seen for the first time counts from 0.
    struct SOURCE_SEEN_T
    {
        QPointer<QRangeData> Store;
        uint32_t Source;
        uint32_t Updates;
    };

    NMEA_STATE_T m_Nmea;
    QByteArray m_Leftover; // an unfinished line, at most POS_LINE_MAX bytes
    std::vector<SOURCE_SEEN_T> m_Seen;
};
