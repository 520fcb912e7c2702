// The RINEX observation header record: what the converter writes into the
// header of an observation file and what the epoch writer takes from it. The
// window fills a job's before the job (settings file or header window, then
// the source scan); WriteRinexObsHeader turns it into header text and
// ParseRinexHeaderText reads header text back into it.
#pragma once

#include <cstdint>
#include <string>

#include "converter/engine/rinex_codes.h"

enum : uint32_t
{
    RINEX_MAX_TYPES = RINEX_MAX_CODES * 4, // observation types per system: C, L, D, S of each code
    RINEX2_MAX_TYPES = 64,                 // the one RINEX 2 list
    RINEX_MAX_PHASE_SHIFTS = 60,
    RINEX_MAX_SHIFT_SATS = 49,
    RINEX_MAX_GLO_SLOTS = 32,
    RINEX_SCAN_CODES = 20, // signal codes per system from the source scan
    RINEX_HEADER_TEXT_CAPACITY = 65536,
    RINEX_SETTINGS_MAX_BYTES = 8192,
};

// Observation type letters and their mask bits. Only C, L, D and S have
// columns in the epochs; I and X are never put in a header.
enum : uint32_t
{
    RINEX_OBS_C = 1,
    RINEX_OBS_L = 2,
    RINEX_OBS_D = 4,
    RINEX_OBS_S = 8,
    RINEX_OBS_I = 16,
    RINEX_OBS_X = 32,
    RINEX_OBS_WRITTEN = RINEX_OBS_C | RINEX_OBS_L | RINEX_OBS_D | RINEX_OBS_S,
};

struct RinexSystemBlock
{
    uint32_t nTypeCount;
    uint32_t nCodeCount;
    uint32_t aCodes[RINEX_MAX_CODES]; // observation codes, in column order
    char szTypes[RINEX_MAX_TYPES][4]; // "C1C", "L1C", ...
    char cSystem;
};

struct RinexTimeOfObs
{
    int32_t nYear;
    int32_t nMonth;
    int32_t nDay;
    int32_t nHour;
    int32_t nMinute;
    double dSecond;
    uint32_t nWeek; // GPS week and ms of week the calendar is made from
    uint32_t nMsOfWeek;
    char szTimeSystem[8];
};

struct RinexPhaseShift
{
    char cSystem;
    char szCode[4];     // carrier-phase type, e.g. "L2W"
    double dCorrection; // cycles
    uint32_t nSatCount;
    char szSats[RINEX_MAX_SHIFT_SATS][4]; // "G05"
};

struct RinexGloSlot
{
    int32_t nSlot;
    int32_t nFrequency;
};

struct RinexObsHeader
{
    int32_t nVersion; // x 100: 200, 210, 211, 212, 300-304; below 300 RINEX 2 layout
    char szFileType[24];
    char cSystem;     // G, R, E, C, J, or M for several systems
    uint8_t nSysMask; // 1 GPS, 2 GLONASS, 4 Galileo, 8 BeiDou, 32 QZSS
    char szProgram[24];
    char szRunBy[24];
    char szDate[24];
    char szMarkerName[64];
    char szMarkerNumber[24];
    char szMarkerType[24];
    char szObserver[24];
    char szAgency[44];
    char szRecNumber[24];
    char szRecType[24];
    char szRecVersion[24];
    char szAntNumber[24];
    char szAntType[24];
    double aApproxPos[3];
    double aAntDeltaHen[3];
    double aAntDeltaXyz[3];
    double aBoresight[3];
    double dZeroDirAzimuth;
    double aZeroDirXyz[3];
    double aCenterOfMass[3];
    RinexSystemBlock Systems[6];
    uint32_t nObsTypeMask;
    uint32_t nRinex2TypeCount;
    char szRinex2Types[RINEX2_MAX_TYPES][3];
    double dInterval;
    RinexTimeOfObs FirstObs;
    RinexTimeOfObs LastObs;
    uint32_t nPhaseShiftCount;
    RinexPhaseShift PhaseShifts[RINEX_MAX_PHASE_SHIFTS];
    uint32_t nGloSlotCount;
    RinexGloSlot GloSlots[RINEX_MAX_GLO_SLOTS];
    int32_t aLeapSeconds[4];     // current, future or past, week, day
    int32_t nTimeSystemOffsetMs; // subtracted from GPS time for the header's time system
};

// The record a job works with is its context's (CConvertContext::GetRinexObsHeader).

// Whether the file holds the system: in the job's system mask, known to the
// header's version, and not SBAS (never converted).
bool RinexSystemWritten(const RinexObsHeader* pHeader, uint32_t nSystem);

// "Settings/RinexObsHeaderSettings.bin" under the program's configuration
// folder: the one file the engine and the header window both read.
std::string RinexObsHeaderSettingsPath();

// Reads the settings file into the record (the fields the file holds); false
// when it cannot be opened.
bool ReadRinexObsHeaderSettings(RinexObsHeader* pHeader);

// Fills the record from the settings file, or, when it cannot be opened, with
// the built-in defaults. Returns 0.
int LoadRinexObsHeaderSettings(RinexObsHeader* pHeader);

// Reads header text (lines ended by LF or CR LF, trailing blanks optional)
// into the record; lines without a label it knows are passed over. Returns
// the offset where parsing stopped: behind the END OF HEADER line, at a line
// without a label that opens with ">" (a RINEX 3 epoch), or at the end of
// the text.
uint32_t ParseRinexHeaderText(const char* pText, uint32_t nLength, RinexObsHeader* pHeader);

// The observation types of each system from the signal codes the source scan
// found (RINEX_SCAN_CODES per system index), for the record's version and
// type mask; also the system letter and the creation date. Returns 0.
int FillRinexObsTypes(const uint32_t aSignalCodes[6][RINEX_SCAN_CODES], const uint32_t aSignalCounts[6],
                      RinexObsHeader* pHeader);

// One phase-shift entry (correction 0) per carrier-phase type, with the
// satellites the scan saw on that signal (bit n of the mask: satellite n + 1).
// Returns 0.
int FillRinexPhaseShifts(const uint64_t aSatMasks[6][RINEX_SCAN_CODES], const uint32_t aSatCounts[6][RINEX_SCAN_CODES],
                         const uint32_t aSignalCounts[6], const uint32_t aSignalCodes[6][RINEX_SCAN_CODES],
                         RinexObsHeader* pHeader);

int SetGloSlotFrequencies(uint32_t nCount, const int32_t* pSlots, const int32_t* pFrequencies, RinexObsHeader* pHeader);

// Formats the whole header. Also stores the time system offset and the
// calendar of the first and last observation in the record. nLeapMs is the
// job's leap value, for a GLONASS file whose record gives none (0: the leap
// seconds of the first observation's date). Returns the number of bytes, or
// -1 when the text does not fit.
int WriteRinexObsHeader(RinexObsHeader* pHeader, int32_t nLeapMs, char* pBuffer, uint32_t nCapacity);

// What the RINEX navigation reader takes from a navigation file's header.
struct RinexNavInfo
{
    int32_t nVersion;
    char cFileType;
    char cSystem;
    char szProgram[24];
    char szRunBy[24];
    char szDate[24];
};

// Reads the header of a RINEX navigation file. Returns the offset where
// parsing stopped (behind END OF HEADER, or the end of the text).
uint32_t ParseRinexNavHeaderText(const char* pText, uint32_t nLength, RinexNavInfo* pInfo);

// System index of a RINEX 2 navigation file's last name letter: N 0, G 1,
// L 2, C 3 (either case); -1 for any other letter.
int NavFileLetterToSystem(char cLetter);
