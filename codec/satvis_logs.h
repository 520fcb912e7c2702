// SATVIS (satellite visibility), REFSTATION and REFSTATIONINFO (the base
// station's position, correction type and antenna).
#pragma once

#include <cstdint>

enum : uint16_t
{
    MSG_ID_SATVIS = 48,
    MSG_ID_REFSTATION = 175,
    MSG_ID_REFSTATIONINFO = 1325,
};

#pragma pack(push, 1)

// SATVIS body: this fixed part, then Count records.
struct SATVIS_BODY_T
{
    uint32_t VisibilityValid;
    uint32_t CompleteAlmanac;
    uint32_t Count;
};
static_assert(sizeof(SATVIS_BODY_T) == 12, "SATVIS fixed part");

struct SATVIS_SAT_T
{
    uint16_t Prn;
    uint16_t GloFreq;
    uint32_t Health;
    double Elevation;          // degrees
    double Azimuth;            // degrees
    double TheoreticalDoppler; // Hz
    double ApparentDoppler;    // Hz
};
static_assert(sizeof(SATVIS_SAT_T) == 40, "SATVIS record");

// The most records a message length (16 bits) can carry.
constexpr uint32_t SATVIS_MAX_RECORDS = (0xFFFFu - sizeof(SATVIS_BODY_T)) / sizeof(SATVIS_SAT_T);

struct REFSTATION_BODY_T
{
    uint32_t Status;
    double X, Y, Z; // ECEF, m
    uint32_t Health;
    uint32_t StationType; // differential correction type: 0 NONE ... 4 RTCMV3
    char StationId[8];    // zero-padded
};
static_assert(sizeof(REFSTATION_BODY_T) == 44, "REFSTATION body");

struct REFSTATIONINFO_BODY_T
{
    double Latitude;  // degrees
    double Longitude; // degrees
    double Height;    // m
    uint32_t DatumId;
    float Undulation; // m
    uint32_t Health;
    uint32_t StationType;
    char StationId[8];
    char AntennaModel[32];
    char AntennaSerial[32];
};
static_assert(sizeof(REFSTATIONINFO_BODY_T) == 112, "REFSTATIONINFO body");

#pragma pack(pop)

// SATVIS full text log to the binary log (header, body, no CRC). The count must
// match the records present; the output must hold header + 12 + 40 x count bytes
// (at most a whole log of 65535 body bytes). 1 on success, 0 on failure.
int DecodeSatVisText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// Always full text with CRC trailer; the two flag words print as TRUE/FALSE.
int FormatSatVis(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int CopyBinarySatVis(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);

// REFSTATION or REFSTATIONINFO, chosen by the log name; any other log gives 0.
int DecodeRefStationText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);

// Mode 0: the binary log (message type 0, port byte mapped, fresh CRC) into pOut;
// any other mode: the full text log. A record shorter than the body carries the
// older packed layout and comes out in the current one. 0 when the station type
// has no name, a text does not fit its field, or the output does not fit.
int FormatRefStation(const void* pLog, int32_t nCapacity, int32_t nMode, char* pOut, int32_t* pOutLength);
int FormatRefStationInfo(const void* pLog, int32_t nCapacity, int32_t nMode, char* pOut, int32_t* pOutLength);
