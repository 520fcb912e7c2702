// The epoch store: the observations of the one epoch being converted, as the
// range-log decoders leave them and the RINEX epoch writer reads them.
// Satellite entry = system index * 64 + satellite number - 1; five signal
// slots per entry, slot = entry * 5 + signal number.
#pragma once

#include <cstdint>

#include "codec/gnss_numbering.h"

enum : uint32_t
{
    OBS_SYSTEMS = 6, // 0 GPS, 1 GLONASS, 2 Galileo, 3 BeiDou, 4 SBAS, 5 QZSS
    OBS_SATS_PER_SYSTEM = SATS_PER_SYSTEM,
    OBS_MAX_SATS = OBS_SYSTEMS * OBS_SATS_PER_SYSTEM,
    OBS_SIGNALS_PER_SAT = 5,
    OBS_MAX_SLOTS = OBS_MAX_SATS * OBS_SIGNALS_PER_SAT,
};

// Slot flags.
enum : uint32_t
{
    OBS_FLAG_PHASE_UNLOCKED = 1u << 0,
    OBS_FLAG_HALF_CYCLE = 1u << 3,
};

// Epoch header.
struct ConvertState
{
    uint8_t nKind;       // 3: built from a range log
    uint8_t nTimeStatus; // of the source log
    uint16_t nWeek;      // GPS week
    uint32_t nMsOfWeek;
    uint16_t nEpochCount;
    uint16_t nSatCount; // entries of the epoch index
    uint16_t nSignalCount;
    uint8_t aSatsPerSystem[OBS_SYSTEMS];
    uint8_t nFlag; // set by ResetConvertState, cleared when an index is built
};

struct ObsSatEntry
{
    uint8_t nSatNumber; // PRN, GLONASS slot, QZSS PRN - 192
    uint8_t nGloFreq;
    uint8_t nSystem;
    uint8_t nSignalCount;
};

struct ObsSignalSlot
{
    uint8_t nSatNumber; // 0: empty slot
    uint8_t nGloFreq;
    uint16_t nObsCode;    // 0xFFFF when the signal has no code
    double dPseudorange;  // metres; 0 without code lock
    double dCarrierPhase; // cycles
    float fPhaseStd;
    float fPsrStd;
    float fDoppler;     // Hz
    uint32_t nLockTime; // whole seconds; 0 without phase lock
    uint32_t nFlags;    // OBS_FLAG_*
    uint16_t nCn0;      // 0.01 dB-Hz
    double dLockTime;   // s, as the log gave it; 0 without phase lock
};

// One satellite of the epoch with its usable slots, in slot order.
struct EpochIndexEntry
{
    ObsSatEntry Sat;
    uint8_t nSlotCount;
    ObsSignalSlot Slots[OBS_SIGNALS_PER_SAT];
};

// The three records of one epoch together. A job and the source scan each own
// one, so the two never share observations.
struct EpochStore
{
    ConvertState State;
    ObsSatEntry aSats[OBS_MAX_SATS];
    ObsSignalSlot aSlots[OBS_MAX_SLOTS];
    // Bit n of word s: satellite entry s * 64 + n holds a satellite of the
    // current epoch; clearing the epoch visits only those entries.
    uint64_t aUsed[OBS_SYSTEMS];
};

// Epoch kind 3, the flag byte, no satellite, every slot's lock time 0.
// Every job calls it with 1 before it converts.
void ResetConvertState(EpochStore* pStore, uint8_t nFlag);

// The store's three records: the epoch header, the satellite table
// (OBS_MAX_SATS entries, entry = system index * 64 + satellite number - 1)
// and the signal slots (OBS_SIGNALS_PER_SAT per entry).
inline ConvertState* GetConvertState(EpochStore* pStore) { return &pStore->State; }
inline ObsSatEntry* GetObsSatTable(EpochStore* pStore) { return pStore->aSats; }
inline ObsSignalSlot* GetObsSignalTable(EpochStore* pStore) { return pStore->aSlots; }
