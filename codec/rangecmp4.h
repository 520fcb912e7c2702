// RANGECMP4 (2050): a RANGE epoch as a variable-length LSB-first bit stream of
// reference records (absolute values) and differential records (relative to
// the last reference record of the same satellite and signal, advanced by its
// Doppler). Expansion and packing keep state from one epoch to the next in a
// RANGECMP4_CONTEXT_T that the caller owns: one per receiver stream (each
// monitor port, each conversion job), so that two receivers reporting the same
// satellite never mix.
#pragma once

#include <cstdint>

#include "codec/range_logs.h"
#include "codec/signals.h"

// Rows of the bit stream: the tracking-status system value of each block.
enum : uint32_t
{
    CMP4_ROWS = 6,
    CMP4_MAX_SATS = 64,
    CMP4_MAX_SIGNALS = 16,
    CMP4_KEYS = CMP4_ROWS * CMP4_MAX_SATS * CMP4_MAX_SIGNALS,
    CMP4_REF_CAPACITY_CONVERTER = 256,
    CMP4_REF_CAPACITY_MONITOR = 2000,
    CMP4_LOCK_CAPACITY = 256,
};

// Last reference record of one satellite and signal, as the expander
// reconstructs it (the packer keeps the same values, so both predict alike).
struct RANGECMP4_REF_T
{
    double Psr;        // m
    double PhaseRange; // m
    double Doppler;    // m/s
    uint32_t Ms;       // time of the reference log
    uint16_t Week;
    uint8_t GloFreq; // channel + 7
    uint8_t BlockId;
    uint8_t PsrValid;
    uint8_t PhaseValid;
};

// Lock-time index last seen for one satellite and signal, the lock time it
// was expanded to, and when.
struct RANGECMP4_LOCK_T
{
    uint32_t ValueMs;
    uint32_t Ms;
    uint16_t Week;
    double LockSeconds;
};

// Zero-initialised it is empty (value-initialise it, or call
// ResetRangeCmp4State). The stores hold the profile's number of entries; a
// full store takes no new entry.
struct RANGECMP4_CONTEXT_T
{
    uint16_t RefSlot[CMP4_KEYS];  // 1 + index into Ref, 0 for none
    uint16_t LockSlot[CMP4_KEYS]; // 1 + index into Lock
    uint32_t RefCount;
    uint32_t LockCount;
    // Packing: epochs whose time of week is a multiple of this many ms are
    // reference epochs, as a receiver writes them at an interval of its own;
    // 0 stands for 1000, every whole second. Kept by ResetRangeCmp4State.
    uint32_t ReferenceEveryMs;
    RANGECMP4_REF_T Ref[CMP4_REF_CAPACITY_MONITOR];
    RANGECMP4_LOCK_T Lock[CMP4_LOCK_CAPACITY];
};

// Empties both stores of one stream's context.
void ResetRangeCmp4State(RANGECMP4_CONTEXT_T* pCtx);
// Empties its reference store only: differential records find no reference
// until the next reference records, while lock times carry on.
void ForgetRangeCmp4References(RANGECMP4_CONTEXT_T* pCtx);

// Reference store size of the current profile (256 converter, 2000 monitor).
uint32_t RangeCmp4RefCapacity();

// Expands a RANGECMP4 log (header + body, nLength bytes available) into a RANGE
// log (header + body, no CRC) of at most nCapacity bytes. Differential records
// whose reference this stream has not seen are left out. A secondary signal's
// reference Doppler of the field's lowest value means none (0). Returns 1, or 0 for
// null pointers, negative sizes, a body that does not hold what its counts and
// masks announce, or an output that cannot hold every record.
int RangeCmp4ToRange(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                     int32_t* pOutLength);

// What one expansion read and left out, for a caller that shows a whole epoch
// or nothing.
struct RANGECMP4_EXPAND_NOTES_T
{
    uint32_t ReferenceRecords;    // reference records read
    uint32_t DifferentialRecords; // differential records read
    uint32_t NoReference;         // differential records left out: no reference of theirs, or one too old
    uint32_t UnknownSignal;       // records left out: a signal bit or system the format does not define
    uint32_t NoRangeSignal;       // records left out: a signal the format has but a RANGE log cannot carry (E6)
    uint8_t OutputFull;           // the expansion stopped: more records than the output holds
};
// RangeCmp4ToRange, noting what it read and left out in *pNotes (zeroed first).
int RangeCmp4ToRangeNotes(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut,
                          int32_t nCapacity, int32_t* pOutLength, RANGECMP4_EXPAND_NOTES_T* pNotes);

// Packs a RANGE or RANGEH log into RANGECMP4 (header + body, no CRC). Epochs off
// the whole second are written as differential records wherever the stream's
// reference allows it, and as reference records elsewhere. Observations the
// format cannot carry (unknown system or signal, satellite number above 64)
// are left out. Fields are rounded to their resolution; a phase the fields
// cannot carry is written as not locked, and a secondary signal's Doppler
// they cannot carry (one the log holds as 0 beside a primary's) as none.
// Returns 1, or 0 as RangeCmp4ToRange.
int RangeToRangeCmp4(RANGECMP4_CONTEXT_T* pCtx, const void* pLog, int32_t nLength, void* pOut, int32_t nCapacity,
                     int32_t* pOutLength);
// RangeToRangeCmp4 with the stream's phase arcs: a phase far from its
// pseudorange at the start of its arc is shifted by whole cycles to lie next
// to it, for the whole arc (see RANGE_PHASE_ARCS_T); shifted and dropped
// phases are counted in the arcs.
int RangeToRangeCmp4Arcs(RANGECMP4_CONTEXT_T* pCtx, RANGE_PHASE_ARCS_T* pArcs, const void* pLog, int32_t nLength,
                         void* pOut, int32_t nCapacity, int32_t* pOutLength);

// The signal codes of a row's signal-mask bits in bit order (unused entries
// 0xFFFF); returns their number.
uint32_t Cmp4SignalMaskToList(uint32_t nRow, uint16_t uSignalMask, uint16_t Codes[CMP4_MAX_SIGNALS]);
// Satellite numbers (1-64) of a satellite mask in ascending order; returns their number.
uint32_t SatMaskToList(uint64_t uSatMask, uint8_t SatNumbers[CMP4_MAX_SATS]);
// Indices 0 to nCount - 1 in pIndex, ordered by ascending pKeys[index];
// entries with equal keys keep their order. Any count is sorted.
void SortByKey(const uint32_t* pKeys, uint32_t nCount, uint32_t* pIndex);
// Band slot 0-4 of a signal code.
uint32_t SignalCodeToCmp4Band(uint16_t uSignalCode);
// SatNumberToPrn, the PRN of a satellite number, is in codec/gnss_numbering.h.

// Text and wire forms, with the conventions of the RANGE family (range_logs.h).
// The text carries N, then the N data bytes as hex digits without separators;
// "#RANGECMP4A_1" (made from RANGEH) sets LOG_TYPE_FROM_RANGEH.
int DecodeRangeCmp4Text(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength);
// Named "RANGECMP4", with "_1" when LOG_TYPE_FROM_RANGEH is set; the
// abbreviated form puts the data on its own "<" line.
int FormatRangeCmp4(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength);
int CopyBinaryRangeCmp4(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength);
