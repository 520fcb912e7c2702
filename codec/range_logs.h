// RANGE observation logs (RANGE 43, RANGEH 6005, BASERANGE 283), their
// compressed form RANGECMP (140), the channel tracking status word that both
// carry, and the conversions between them.
#pragma once

#include <cstdint>

enum : uint16_t
{
    MSG_ID_RANGE = 43,
    MSG_ID_RANGECMP = 140,
    MSG_ID_BASERANGE = 283,
    MSG_ID_RANGECMP4 = 2050,
    MSG_ID_RANGEH = 6005,
};

// Message-type bit of a compressed range log that came from RANGEH.
enum : uint8_t
{
    LOG_TYPE_FROM_RANGEH = 0x01,
};

// Satellite system field of the tracking status (bits 16-18).
enum TRACKING_SYSTEM_E : uint8_t
{
    TRACK_SYS_GPS = 0,
    TRACK_SYS_GLONASS = 1,
    TRACK_SYS_SBAS = 2,
    TRACK_SYS_GALILEO = 3,
    TRACK_SYS_BEIDOU = 4,
    TRACK_SYS_QZSS = 5,
};

#pragma pack(push, 1)
// One observation of a RANGE body (the body is a u32 count, then the records).
struct RANGE_OBS_T
{
    uint16_t Prn;       // GLONASS: slot + 37
    uint16_t GloFreq;   // GLONASS frequency channel + 7
    double Psr;         // m
    float PsrStd;       // m
    double Adr;         // cycles, near minus pseudorange over wavelength
    float AdrStd;       // cycles
    float Doppler;      // Hz
    float CNo;          // dB-Hz
    float LockTime;     // s
    uint32_t TrackingStatus;
};

// One observation of a RANGECMP body, little-endian bit fields.
struct RANGECMP_OBS_T
{
    uint32_t TrackingStatus;
    uint32_t DopplerPsrLow;  // bits 0-27 Doppler (1/256 Hz, signed), 28-31 pseudorange bits 0-3
    uint32_t PsrHigh;        // pseudorange bits 4-35 (1/128 m)
    int32_t FoldedAdr;       // 1/256 cycle, folded every 2^23 cycles
    uint8_t StdDevIndex;     // low nibble pseudorange, high nibble ADR
    uint8_t Prn;             // low byte of the PRN
    uint32_t LockCnoGlo;     // bits 0-20 lock (1/32 s), 21-25 C/No - 20, 26-31 GLONASS frequency
    uint16_t Reserved;
};
#pragma pack(pop)

static_assert(sizeof(RANGE_OBS_T) == 44, "RANGE record is 44 bytes");
static_assert(sizeof(RANGECMP_OBS_T) == 24, "RANGECMP record is 24 bytes");

// The message length is a u16, which bounds the records one log can hold.
constexpr uint32_t RANGE_MAX_OBS = (65535u - 4u) / sizeof(RANGE_OBS_T);
constexpr uint32_t RANGECMP_MAX_OBS = (65535u - 4u) / sizeof(RANGECMP_OBS_T);

// The channel tracking status word as single fields; each is masked to its
// width when packed.
struct TRACKING_FIELDS_T
{
    uint8_t TrackingState;     // bits 0-4
    uint8_t ChannelNumber;     // bits 5-9
    uint8_t PhaseLock;         // bit 10
    uint8_t ParityKnown;       // bit 11
    uint8_t CodeLocked;        // bit 12
    uint8_t CorrelatorType;    // bits 13-15
    uint8_t SatelliteSystem;   // bits 16-18, TRACKING_SYSTEM_E
    uint8_t Grouping;          // bit 20
    uint8_t SignalType;        // bits 21-25
    uint8_t PrimarySignal;     // bit 27, set for band-0 signals
    uint8_t HalfCycleAdded;    // bit 28
    uint8_t PrnLock;           // bit 30
    uint8_t ChannelAssignment; // bit 31
};

uint32_t PackTrackingStatus(const TRACKING_FIELDS_T* pFields);

inline uint8_t TrackingStatusSystem(uint32_t uStatus) { return static_cast<uint8_t>((uStatus >> 16) & 7u); }
inline uint8_t TrackingStatusSignalType(uint32_t uStatus) { return static_cast<uint8_t>((uStatus >> 21) & 31u); }
inline bool TrackingStatusPhaseLock(uint32_t uStatus) { return (uStatus >> 10) & 1u; }
inline bool TrackingStatusParityKnown(uint32_t uStatus) { return (uStatus >> 11) & 1u; }
inline bool TrackingStatusCodeLocked(uint32_t uStatus) { return (uStatus >> 12) & 1u; }
inline bool TrackingStatusHalfCycle(uint32_t uStatus) { return (uStatus >> 28) & 1u; }
