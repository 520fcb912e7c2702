// One range log (RANGE, RANGEH, BASERANGE or RANGECMP, decoded to its binary
// record) turned into one epoch of an epoch store, and the epoch index that
// lists the satellites with usable signals for the RINEX epoch writer and the
// source scan.
#pragma once

#include <cstdint>

#include "converter/engine/epoch_store.h"

// System index (0 GPS, 1 GLONASS, 2 Galileo, 3 BeiDou, 5 QZSS) of the system
// field of a tracking status; -1 for SBAS and the values no system uses.
int TrackingSystemToIndex(uint32_t nTrackingStatus);

// Fills the store from a RANGE, RANGEH or BASERANGE record (28-byte header,
// count, 44-byte observations; nLength bytes) and builds the epoch index into
// pIndex (room for OBS_MAX_SATS entries). Only systems whose bit (1 << index)
// is in nSysMask are kept; nSignalMode is the BeiDou numbering that selects the
// observation codes. An observation whose signal has no observation code is
// dropped: it would give a satellite without a single value. Returns the
// number of index entries, or -1 when the record does not hold its count.
int RangeToObsEpoch(const void* pLog, uint32_t nLength, uint32_t nSysMask, uint32_t nSignalMode, EpochStore* pStore,
                    EpochIndexEntry* pIndex);

// The same for a RANGECMP record, expanded first by the codec (phase roll-overs
// from the pseudorange, GLONASS channels from the record or the slot table).
int RangeCmpToObsEpoch(const void* pLog, uint32_t nLength, uint32_t nSysMask, uint32_t nSignalMode, EpochStore* pStore,
                       EpochIndexEntry* pIndex);

// The epoch index of what the store holds now: the satellites in table order
// (GPS, GLONASS, Galileo, BeiDou, SBAS, QZSS; by satellite number within a
// system), each with its slots that hold a signal with an observation code and
// are not marked unusable (flag bits 0 and 1 both set). Sets the satellite,
// signal and per-system counts of the epoch header, counts the epoch, clears
// the flag byte. Returns the number of entries.
int BuildEpochIndex(EpochStore* pStore, EpochIndexEntry* pIndex);
