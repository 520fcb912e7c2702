// INS and IMU logs: INS solutions (INSATT, INSPOS, INSVEL, INSSPD, INSPVA,
// INSPVAX), INS state (INSSTATUS, INSCONFIG), raw and corrected IMU samples
// (RAWIMU, RAWIMUX, CORRIMUDATA) and wheel sensor data (TIMEDWHEELDATA), with
// the short-header forms ("S" after the log name), the program's IMU log name
// table and the INS vocabulary tables.
//
// Formatters write the short text header ("%NAMESA,week,seconds;" or
// "<NAMES week seconds") when the header's message type carries the profile's
// short-header flag (0x10 converter, 0x01 monitor), else the long text header;
// the body is abbreviated when the form bits equal the profile's abbreviated
// marker. They take a capacity and return 1, or 0 for a null pointer, a body
// shorter than the log's or a text that does not fit. Decoders take (text,
// length, output, out length) and write a long (28-byte) or short (12-byte)
// header and the body only on success.
#pragma once

#include <cstdint>

#include "codec/log_fields.h"
#include "codec/log_format.h"

enum : uint16_t
{
    MSG_ID_INSATT = 263,
    MSG_ID_INSPOS = 265,
    MSG_ID_INSSPD = 266,
    MSG_ID_INSVEL = 267,
    MSG_ID_RAWIMU = 268,
    MSG_ID_RAWIMUS = 325,
    MSG_ID_INSPVA = 507,
    MSG_ID_TIMEDWHEELDATA = 622,
    MSG_ID_RAWIMUX = 1461,
    MSG_ID_RAWIMUSX = 1462,
    MSG_ID_INSPVAX = 1465,
    MSG_ID_INSSTATUS = 8006,
};

#pragma pack(push, 1)

struct InsAttBody
{
    uint32_t Week;
    double Seconds;
    double Roll, Pitch, Azimuth; // degrees
    uint32_t InsStatus;
};
static_assert(sizeof(InsAttBody) == 40, "INSATT body");

struct InsPosBody
{
    uint32_t Week;
    double Seconds;
    double Latitude, Longitude; // degrees
    double Height;              // m
    uint32_t InsStatus;
};
static_assert(sizeof(InsPosBody) == 40, "INSPOS body");

struct InsVelBody
{
    uint32_t Week;
    double Seconds;
    double NorthVel, EastVel, UpVel; // m/s
    uint32_t InsStatus;
};
static_assert(sizeof(InsVelBody) == 40, "INSVEL body");

struct InsSpdBody
{
    uint32_t Week;
    double Seconds;
    double TrackOverGround; // degrees
    double HorSpeed;        // m/s
    double VertSpeed;       // m/s
    uint32_t InsStatus;
};
static_assert(sizeof(InsSpdBody) == 40, "INSSPD body");

struct InsPvaBody
{
    uint32_t Week;
    double Seconds;
    double Latitude, Longitude, Height;
    double NorthVel, EastVel, UpVel;
    double Roll, Pitch, Azimuth;
    uint32_t InsStatus;
};
static_assert(sizeof(InsPvaBody) == 88, "INSPVA body");

struct InspvaxBody
{
    uint32_t InsStatus;
    uint32_t PosType;
    double Latitude, Longitude; // degrees
    double Height;              // m
    float Undulation;           // m
    double NorthVel, EastVel, UpVel;
    double Roll, Pitch, Azimuth;
    float LatitudeSd, LongitudeSd, HeightSd;
    float NorthVelSd, EastVelSd, UpVelSd;
    float RollSd, PitchSd, AzimuthSd;
    uint32_t ExtSolStatus;
    uint16_t TimeSinceUpdate; // s
};
static_assert(sizeof(InspvaxBody) == 126, "INSPVAX body");

struct CorrImuBody
{
    uint32_t Week;
    double Seconds;
    double PitchRate, RollRate, YawRate;
    double LateralAcc, LongitudinalAcc, VerticalAcc;
};
static_assert(sizeof(CorrImuBody) == 60, "CORRIMUDATA body");

struct RawImuBody
{
    uint32_t Week;
    double Seconds;
    uint32_t ImuStatus;
    int32_t Axes[6]; // accelerations and rotations in the receiver's axis order
};
static_assert(sizeof(RawImuBody) == 40, "RAWIMU body");

struct RawImuXBody
{
    uint8_t ImuInfo;
    uint8_t ImuType;
    uint16_t Week;
    double Seconds;
    uint32_t ImuStatus;
    int32_t Axes[6];
};
static_assert(sizeof(RawImuXBody) == 40, "RAWIMUX body");

struct InsStatusBody
{
    uint32_t InsStatus;
    uint32_t StatusWord;
    double Values[23];
    uint32_t Words[3];
};
static_assert(sizeof(InsStatusBody) == 204, "INSSTATUS body");

struct TimedWheelBody
{
    uint16_t TicksPerRev;
    uint16_t WheelVel;
    float WheelVelocity;
    uint32_t Word1;
    uint32_t Word2;
    int32_t CumulativeTicks;
};
static_assert(sizeof(TimedWheelBody) == 20, "TIMEDWHEELDATA body");

// INSCONFIG: this fixed part, the translation count and translations, then a
// rotation count and rotations.
struct InsConfigBody
{
    uint32_t ImuType;
    uint8_t Byte1;
    uint8_t Byte2;
    uint16_t Word;
    uint32_t InsProfile;
    uint32_t HexWord1;
    uint32_t AlignmentMode;
    uint32_t Unprinted[2];
    uint32_t HexWord2;
    uint8_t Bytes[3];
    uint32_t Words[6];
    uint32_t TranslationCount;
};
static_assert(sizeof(InsConfigBody) == 63, "INSCONFIG fixed part");

struct InsOffsetRecord
{
    uint32_t OffsetType;
    uint32_t Frame;
    float X, Y, Z;
    float XSd, YSd, ZSd;
    uint32_t Source;
};
static_assert(sizeof(InsOffsetRecord) == 36, "INSCONFIG translation or rotation");

#pragma pack(pop)

// ---- IMU log name table (the program's own numbers) ----

// Looks a name up in the IMU table: a row matches when nLength is the row's
// name length or one more and the name begins with the row's name (ignoring
// case). With pType: no suffix gives the abbreviated marker, "B"/"b" 0x00,
// "A"/"a" 0x20, another suffix makes the result 0xFFFF; a short-header variant
// adds the short-header flag and gives the long-header ID (RAWIMUSX gives
// RAWIMUX, 2402). 0xFFFF when nothing matches.
uint16_t ImuLogNameToId(const char* pName, uint32_t nLength, uint8_t* pType = nullptr);
uint32_t ImuLogNameLength(uint32_t nId); // 0 when no row has the ID
const char* ImuLogName(uint32_t nId);    // null when no row has the ID

// ---- Vocabulary ----

const char* InsStatusName(uint32_t nStatus);   // null for 4, 5 and 13 and above
uint32_t InsStatusFromName(const char* pText); // 0xFFFFFFFF when none
// The eight basic profiles 0-7, "LAND_PLUS" 33, "MARINE_PLUS" 34 (case ignored, whole text).
uint32_t InsProfileFromName(const char* pText, uint32_t nLength);
const char* LogInsProfileName(uint32_t nProfile); // null when unknown
const char* LogImuTypeName(uint32_t nType);       // "UNKNOWN" when unknown
const char* AlignmentModeName(uint32_t nMode);    // null above 4
const char* FrameName(uint32_t nFrame);           // null above 2
const char* OffsetTypeName(uint32_t nType);       // null above 15
const char* OffsetSourceName(uint32_t nSource);   // "UNKNOWN" above 9

// ---- Headers ----

// Copies sync bytes, message ID, week and milliseconds of a short header into
// a long header record, its length byte into the message length, and sets the
// header length to 28; other fields keep their values.
void ShortToLongHeader(const ShortBinaryLogHeader* pShort, BinaryLogHeader* pLong);
// "%NAMESA,week,seconds;" or, abbreviated, "<NAMES week seconds\r\n".
int FormatImuShortHeader(const char* pName, const BinaryLogHeader* pHeader, char* pOut, int32_t nCapacity,
                         int32_t* pOutLen);

// ---- Formatters ----

int FormatInsAtt(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInsPos(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInsVel(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInsSpd(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInsPva(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInspvax(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatCorrImuData(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity,
                      int32_t* pOutLen);
int FormatRawImu(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
// The short form is named "RAWIMUSX": "%RAWIMUSXA,week,seconds;" / "<RAWIMUSX week seconds".
int FormatRawImuX(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
int FormatInsStatus(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);
// Short header only; uFormFlag selects full or abbreviated as a message type byte does.
int FormatTimedWheelData(const ShortBinaryLogHeader* pHeader, uint8_t uFormFlag, const void* pBody, char* pOut,
                         int32_t nCapacity, int32_t* pOutLen);
// Translations and rotations are written only as far as the header's message
// length holds them; a count that reaches past it fails the whole log.
int FormatInsConfig(const BinaryLogHeader* pHeader, const void* pBody, char* pOut, int32_t nCapacity, int32_t* pOutLen);

// ---- Decoders ----

int DecodeInspvaxText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);        // 28 + 126 bytes
int DecodeInsStatusText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);      // 28 + 204
int DecodeRawImuText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);         // 28 + 40
int DecodeRawImuXText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);        // 28 + 40
int DecodeRawImuSxText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen);       // 12 + 40
int DecodeTimedWheelDataText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLen); // 12 + 20, ID 622

// Field layouts of the text forms, for the generic routines of codec/log_fields.h.
const LOG_LAYOUT_T& InsAttLayout();
const LOG_LAYOUT_T& InsPosLayout();
const LOG_LAYOUT_T& InsVelLayout();
const LOG_LAYOUT_T& InsSpdLayout();
const LOG_LAYOUT_T& InsPvaLayout();
const LOG_LAYOUT_T& InspvaxLayout();
const LOG_LAYOUT_T& CorrImuLayout();
const LOG_LAYOUT_T& RawImuLayout();
const LOG_LAYOUT_T& RawImuXLayout();
const LOG_LAYOUT_T& InsStatusLayout();
const LOG_LAYOUT_T& TimedWheelLayout();
