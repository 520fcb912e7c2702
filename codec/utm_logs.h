// BESTUTM (a position in UTM coordinates) and UAVGPS (named PX4GPS in the
// monitor), a GPS record laid out for an unmanned-aircraft autopilot. Same
// conventions as codec/position_logs.h.
#pragma once

#include <cstdint>

#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "codec/position_logs.h"

#pragma pack(push, 1)

struct BestUtmBody
{
    uint32_t SolStatus;
    uint32_t PosType;
    uint32_t ZoneNumber;
    uint32_t ZoneLetter; // the character in the low byte
    double Northing;     // m
    double Easting;      // m
    double Height;       // above mean sea level, m
    float Undulation;    // m
    uint32_t DatumId;
    float NorthingSd;
    float EastingSd;
    float HeightSd;
    char StationId[4];
    float DiffAge;
    float SolAge;
    SOLUTION_SATS_T Sats;
};
static_assert(sizeof(BestUtmBody) == 80, "BESTUTM body");

// The autopilot's GPS position message in its own order; carried, not interpreted.
struct UavGpsBody
{
    uint64_t Time;
    int32_t IntsA[4];
    float FloatsA[6];
    int32_t IntsB[2];
    float FloatsB[5];
    int32_t IntC;
    float FloatC;
    uint8_t Bytes[3];
};
static_assert(sizeof(UavGpsBody) == 87, "UAVGPS body");

#pragma pack(pop)

int FormatBestUtm(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
// "UAVGPS" in the converter, "PX4GPS" in the monitor (whose abbreviated line opens with two tabs).
int FormatUavGps(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);

// Field layouts of the text forms, for the generic routines of codec/log_fields.h.
const LOG_LAYOUT_T& BestUtmLayout();
const LOG_LAYOUT_T& UavGpsLayout(); // the profile's
