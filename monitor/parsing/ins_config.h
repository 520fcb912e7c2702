// The words of the receiver's INS configuration (IMU types, alignment modes,
// frames, switches, offset sources, calibration states, profiles) with their
// values, and the parser of the INSCONFIGA body into the record the INS
// dialogs read.
#pragma once

#include <cstdint>

// Value to name; null for a value without a name.
const char* InsAlignModeName(uint32_t nValue);
const char* InsFrameName(uint32_t nValue);
const char* InsSwitchName(uint32_t nValue);
const char* InsCalibrationStateName(uint32_t nValue);
const char* InsOffsetSourceName(uint32_t nValue);
const char* InsProfileName(uint32_t nValue);
const char* ImuTypeName(uint32_t nValue);

// Name to value. The text runs for nLength characters (a negative length: up
// to its NUL) and must be a whole name, case ignored. ImuTypeFromName also
// takes "MICROIMU" (52) and "T_BMX055" (258); an unknown IMU gives 0 (UNKNOWN).
// The others give INS_NAME_UNKNOWN for an unknown name.
inline constexpr uint32_t INS_NAME_UNKNOWN = 0xFFFFFFFFu;
uint32_t ImuTypeFromName(const char* pName, int32_t nLength = -1);
uint32_t InsOffsetSourceFromName(const char* pName, int32_t nLength = -1);
uint32_t InsCalibrationStateFromName(const char* pName, int32_t nLength = -1);

// Index just after the N-th comma of the first nLength characters of pText
// into *pOut; *pOut is left as it is when the text has fewer commas. Returns 1
// when the comma was found, else 0.
int FieldOffset(uint32_t nComma, const char* pText, int32_t nLength, uint32_t* pOut);

enum : uint32_t
{
    INS_CONFIG_MAX_OFFSETS = 16, // translations, and rotations, the record keeps
    INS_CONFIG_HEAD_FIELDS = 20,
    INS_CONFIG_ENTRY_FIELDS = 9,
};
// The largest magnitude of a lever arm, angle or standard deviation the parser takes.
inline constexpr double INS_CONFIG_VALUE_MAX = 1.0e6;

// One lever arm (translation) or rotation.
struct INS_OFFSET_T
{
    uint32_t Source; // InsOffsetSourceName
    uint32_t Frame;  // InsFrameName
    float Value[3];  // m, or degrees for a rotation
    float StdDev[3];
    uint32_t CalibrationState; // InsCalibrationStateName
};

struct INS_CONFIG_T
{
    uint32_t ImuType;
    uint8_t Byte2;
    uint8_t AlignVelocity; // tenths of m/s
    uint16_t Word4;
    uint32_t Profile;
    uint32_t EnabledUpdates;
    uint32_t AlignMode;
    uint32_t RelativeDirection; // 0 "ROVER", 1 "MASTER"
    uint32_t RelativeFrame;     // 0 "ECEF", 1 "LOCALLEVEL"
    uint32_t RelativeFlag;      // 1 "TRUE", 0 "FALSE"
    uint32_t StatusWord;
    uint32_t SeedMode; // 0, 1 or 2
    uint32_t SeedValidation;
    char Flags[7];             // first character of each of the seven single-character fields
    uint32_t TranslationCount; // entries kept, at most INS_CONFIG_MAX_OFFSETS
    INS_OFFSET_T Translations[INS_CONFIG_MAX_OFFSETS];
    uint32_t RotationCount;
    INS_OFFSET_T Rotations[INS_CONFIG_MAX_OFFSETS];
};

// Parses an INSCONFIGA body (the text after ";", up to "*" or nLength) field
// by field. The record is written only when the whole body reads; counts above
// INS_CONFIG_MAX_OFFSETS are read through but only that many entries are kept.
// Returns the number of fields read; *pComplete tells whether that was all of them.
int ParseInsConfig(const char* pBody, int32_t nLength, INS_CONFIG_T* pRecord, bool* pComplete = nullptr);
