// RANGE observation logs (RANGE 43, RANGEH 6005, BASERANGE 283), their
// compressed form RANGECMP (140), the channel tracking status word that both
// carry, and the conversions between them.
#pragma once

#include <cstdint>

#include "codec/gnss_numbering.h"
#include "codec/log_format.h"

enum : uint16_t
{
    MSG_ID_RANGE = 43,
    MSG_ID_RANGECMP = 140,
    MSG_ID_BASERANGE = 283,
    MSG_ID_RANGECMP4 = 2050,
    MSG_ID_RANGEH = 6005,
};

// The satellite system field of the tracking status (TRACKING_SYSTEM_E) is
// numbered in codec/gnss_numbering.h.

#pragma pack(push, 1)
// One observation of a RANGE body (the body is a u32 count, then the records).
struct RANGE_OBS_T
{
    uint16_t Prn;     // GLONASS: slot + 37
    uint16_t GloFreq; // GLONASS frequency channel + 7
    double Psr;       // m
    float PsrStd;     // m
    double Adr;       // cycles, near minus pseudorange over wavelength
    float AdrStd;     // cycles
    float Doppler;    // Hz
    float CNo;        // dB-Hz
    float LockTime;   // s
    uint32_t TrackingStatus;
};

// One observation of a RANGECMP body, little-endian bit fields.
struct RANGECMP_OBS_T
{
    uint32_t TrackingStatus;
    uint32_t DopplerPsrLow; // bits 0-27 Doppler (1/256 Hz, signed), 28-31 pseudorange bits 0-3
    uint32_t PsrHigh;       // pseudorange bits 4-35 (1/128 m)
    int32_t FoldedAdr;      // 1/256 cycle, folded every 2^23 cycles
    uint8_t StdDevIndex;    // low nibble pseudorange, high nibble ADR
    uint8_t Prn;            // low byte of the PRN
    uint32_t LockCnoGlo;    // bits 0-20 lock (1/32 s), 21-25 C/No - 20, 26-31 GLONASS frequency
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

// Roll-over of the folded RANGECMP phase: 2^23 cycles.
constexpr double RANGECMP_ADR_ROLL = 8388608.0;

// Wavelength in metres of the signal a tracking status names (system and
// signal type), GLONASS FDMA signals on channel nGloFreq - 7; 0 for a signal
// type the signal tables do not know or a PRN outside its system's range.
// The expansion side of the monitor takes GLONASS L3 from its own rule.
double RangeCmpRollWavelength(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, bool bExpansionSide);

// Whole 2^23-cycle roll-overs between a folded phase and the pseudorange:
// round((pseudorange / wavelength + ADR) / 2^23), halves away from zero; 0 when
// the wavelength is unknown.
int32_t AdrRollCount(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr, double dAdr);
// The same from the pseudorange alone: round(pseudorange / wavelength / 2^23).
double PsrRollCount(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr);
// The converter's names for the same counts: the roll-overs that separate a
// folded phase (PhaseCyclesFromMetres) or the pseudorange alone
// (PhaseMetresFromCycles) from the whole carrier phase in cycles.
inline int32_t PhaseCyclesFromMetres(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr, double dAdr)
{
    return AdrRollCount(uStatus, uPrn, uGloFreq, dPsr, dAdr);
}
inline double PhaseMetresFromCycles(uint32_t uStatus, uint16_t uPrn, uint16_t uGloFreq, double dPsr)
{
    return PsrRollCount(uStatus, uPrn, uGloFreq, dPsr);
}

// Whether a phase lock reported with lock time dLockBefore and, dElapsed
// seconds later, with dLockNow has held in between: the lock time grew by the
// elapsed time, within LOCK_TIME_TOLERANCE, or stays at the ceiling of the
// RANGECMP lock field. A lock time that grew less (or fell) means the
// receiver lost lock and found it again; so does time running backwards.
constexpr double LOCK_TIME_TOLERANCE = 1.0 / 32 + 0.005; // RANGECMP's lock step and time-tag jitter
bool LockTimeContinues(double dLockBefore, double dLockNow, double dElapsed);

// Carrier-phase arcs of one receiver stream as a compressor sees them. A
// compressed phase may have to differ from its source by whole cycles: by
// whole 2^23-cycle roll-overs in RANGECMP, whose folded field ties the phase
// to the pseudorange, and by whole cycles in RANGECMP4, which carries the
// phase as metres from the pseudorange (a phase with an arbitrary offset from
// the code range fits neither as it is). The shift of an arc is set at its
// first phase and kept while lock holds, so carrier-phase processing takes it
// into the arc's ambiguity; a phase the arc's shift no longer lets the format
// hold is dropped (written as not locked). Value-initialise one per stream.
struct RANGE_PHASE_ARC_T
{
    uint32_t Key;      // 0: free
    uint32_t HasPhase; // the arc's last record had a phase
    double LockTime;   // s, of that record
    int64_t TimeMs;    // its time, ms since GPS week 0
    int64_t Shift;     // the arc's shift: roll-overs (RANGECMP) or cycles (RANGECMP4)
};
enum : uint32_t
{
    RANGE_PHASE_ARC_CAPACITY = 4096,
};
struct RANGE_PHASE_ARCS_T
{
    RANGE_PHASE_ARC_T Arc[RANGE_PHASE_ARC_CAPACITY];
    uint32_t Count;
    uint32_t Shifted; // phases written shifted by whole roll-overs or cycles
    uint32_t Dropped; // phases left out: their arc's shift no longer fits the format
};

// RANGECMP (header + body, nLength bytes available) to RANGE, and back; both
// write header + body without CRC into at most nCapacity bytes. Return 1, or 0
// for null pointers, negative sizes, a count the body does not hold or an
// output too small. A phase that cannot be folded or unfolded (unknown signal)
// is written as not locked rather than as a wrong number. RANGEH packs with
// LOG_TYPE_FROM_RANGEH set and expands back to RANGEH (the monitor always
// expands to RANGE). Packing rounds to the fields' resolution; a phase whose
// offset from the pseudorange does not fold into the field is folded by whole
// roll-overs, which the expansion then keeps as a shift of the phase.
int RangeCmpToRange(const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity, int32_t* pOutLength);
int RangeToRangeCmp(const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity, int32_t* pOutLength);
// RangeToRangeCmp for one stream's logs in order: a shift is held for its
// whole arc (a phase that would leave it is dropped), and shifted and dropped
// phases are counted in the stream's arcs.
int RangeToRangeCmpArcs(RANGE_PHASE_ARCS_T* pArcs, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                        int32_t* pOutLength);

// ---- Text and wire forms ----
//
// Text decoders take a full text log (checked against its CRC) and write the
// binary log, header and body without CRC; pOut must hold the longest log,
// LOG_HEADER_LENGTH + 65535 bytes. A count is accepted only when the body
// holds that many records and the message length can say so. 1 on success, 0
// on failure (the output is then unspecified).
//
// Formatters write a log record (header, then body) as NUL-terminated text in
// the form its message type asks for: abbreviated (no CRC) or full text with
// its CRC trailer (a binary type gives full text). 1, or 0 when the record is
// not such a log or the text does not fit nCapacity.
//
// Binary copiers re-emit a record as a wire log: port code mapped to the port
// address, message ID set, fresh CRC-32 appended; the record is not changed.

// RANGE, "#RANGEHA" (6005) or "#BASERANGEA" (283) by the line's name.
int DecodeRangeText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// RANGE, RANGEH or BASERANGE by message ID; any other ID gives 0.
int FormatRange(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int CopyBinaryRange(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);

// "#RANGECMPA_1" (a RANGECMP made from RANGEH) sets LOG_TYPE_FROM_RANGEH.
int DecodeRangeCmpText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// Named "RANGECMP", with "_1" when LOG_TYPE_FROM_RANGEH is set.
int FormatRangeCmp(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int CopyBinaryRangeCmp(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);

// Writes a RANGE record into a shared output at pOut + *pUsed: the record's
// header gets the message ID, message type, message length of its count, the
// port code and receiver status 0; a binary type writes the wire log, a text
// type the text. Returns the bytes written (also added to *pUsed), or -1 with
// nothing written when the record is not a RANGE body or does not fit.
int32_t EmitRangeLog(void* pLog, uint8_t uPort, uint16_t nMessageId, uint8_t uMessageType, uint8_t* pOut,
                     int32_t nCapacity, int32_t* pUsed);

// Whether the log name of a text line (behind its first character, up to the
// first comma) ends in "_1": a compressed range log made from RANGEH.
bool IsRangeHTextName(const char* pText, int32_t nLength);

// Appends bytes as lower-case hex digits (two per byte) at pOut + *pLength,
// keeping a NUL behind them; 0 when they do not fit.
int AppendLowerHex(char* pOut, uint32_t nCapacity, uint32_t* pLength, const uint8_t* pBytes, uint32_t nCount);
