// Observation codes of the receiver's signals (see codec/signals.h) in RINEX
// terms: the RINEX 3 band digit and attribute letter, which signals each RINEX
// version defines, and the RINEX 2 observation codes. The system index is
// passed on its own: a few QZSS codes carry GPS system bits.
#pragma once

#include <cstdint>

#include "codec/gnss_numbering.h"
#include "codec/signal_map.h"

enum : uint32_t
{
    RINEX_MAX_CODES = 26, // signal codes per system in a header
};

// "GRECSJ"[nSystem], or 0 for an index of 6 and above.
char RinexSystemLetter(uint32_t nSystem);
// System index of a RINEX system letter: G 0, R 1, E 2, C 3, S 4, J 5; -1 for
// any other character.
int SystemLetterToIndex(char cLetter);

// Position of a RINEX band digit in the system's band list (GPS 1 2 5,
// GLONASS 1 2 3 4 6, Galileo 1 5 7 8 6, BeiDou 2 6 7 1 5, QZSS 1 2 5 - 6):
// the band number of the signal codes. 0, the first band, for a digit the
// system does not list.
uint32_t BandDigitToIndex(uint32_t nSystem, char cDigit);

// PrnToSatId and SatIdToPrn, the RINEX readers' satellite identifiers, are in
// codec/gnss_numbering.h.

// Band digit ('1'...'8') of the code's band number, or 0 when the band has none.
char RinexBandDigit(uint32_t nCode, uint32_t nSystem);
// Attribute letter ('C', 'P', 'W', ...) of the code, or 0 when it has none.
char RinexAttribute(uint32_t nCode, uint32_t nSystem);

// Whether RINEX version nVersion (x 100) knows the satellite system at all.
bool RinexVersionHasSystem(int32_t nVersion, uint32_t nSystem);

// The RINEX 3 code (band digit and attribute letter, NUL-terminated) of a
// signal as version nVersion writes it. Returns 1, or 0 when that version
// defines no such signal (then szCode is empty).
int RinexObsCode(uint32_t nCode, uint32_t nSystem, int32_t nVersion, char szCode[3]);

// Distinct RINEX 3 codes of one system, in the order first seen.
struct RinexCodeList
{
    uint32_t nCount;
    char szCodes[RINEX_MAX_CODES][3];
};

// RinexObsCode appended to the list when not in it yet. Returns 1 when the
// signal has a code (listed now or before), 0 when it has none or the list is full.
int SignalCodeToRinexCode(uint32_t nCode, uint32_t nSystem, int32_t nVersion, RinexCodeList* pList);

// Band character of the letter-coded RINEX 2 lists (versions 2.00 and 2.12):
// 'A' L1 C/A, 'B' L1C, '1' other L1, 'C' L2C, '2' other L2, '5' L5, and for
// GLONASS 'A' 'D' for the C/A codes; Galileo by band. 0 when none; the GPS
// M code and the GLONASS G3 band are noted in the debug log.
char SignalCodeToRinex2Band(uint32_t nCode, uint32_t nSystem);

// How a signal appears in a RINEX 2 file: the band character of its phase,
// Doppler and signal strength, the pseudorange code, and a rank: where two
// signals of one satellite share a band, the lower rank fills the column.
struct Rinex2Signal
{
    char cBand;
    char szPseudorange[3]; // "C1", "P2", ...; empty when the version has none
    uint8_t nRank;
};

// The signal's RINEX 2 identity in version nVersion. 2.10 and 2.11 use the
// two-character codes they define (C1 P1 L1 D1 S1, P2 C2 L2 D2 S2, C5 L5 ...);
// 2.00 and 2.12 the letter-coded band characters. Returns 1, or 0 when the
// version has no place for the signal. bNote: a letter-coded version notes
// what SignalCodeToRinex2Band notes; the epoch writer, which asks for every
// signal of every epoch, does not, as a job notes each of its signals once
// when its header is made.
int SignalCodeToRinex2(uint32_t nCode, uint32_t nSystem, int32_t nVersion, Rinex2Signal* pOut, bool bNote = false);
