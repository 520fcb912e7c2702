// Signal codes of tracked signals, their carrier frequencies, wavelengths,
// RINEX band digits and names, satellite system names, and the GLONASS
// frequency channel of each GLONASS slot.
//
// A signal code packs: bits 0-2 system (GNSS_SYSTEM_E), bits 3-5 band index
// within the system, bit 6 IQ flag (P code or quadrature), bits 7-9 module
// (component within the band), bits 10-15 mode (0x800 pilot or quadrature,
// 0x1000 combined, 0x2000 Galileo Z, 0x4000 Y variant, 0xC000 N, 0x8000 W).
#pragma once

#include <cstdint>

inline constexpr double SPEED_OF_LIGHT = 299792458.0; // m/s

// Satellite system of a signal code; also the system index of the RINEX engine
// and the "system kind" of the compressed range logs.
enum GNSS_SYSTEM_E : uint32_t
{
    GNSS_SYSTEM_GPS = 0,
    GNSS_SYSTEM_GLONASS = 1,
    GNSS_SYSTEM_GALILEO = 2,
    GNSS_SYSTEM_BDS = 3,
    GNSS_SYSTEM_SBAS = 4,
    GNSS_SYSTEM_QZSS = 5,
    GNSS_SYSTEM_COUNT = 6,
};

enum SIGNAL_CODE_E : uint16_t
{
    GPSL1CA = 0x0000,
    GPSL1P = 0x00C0,
    GPSL1Y = 0x4140,
    GPSL1N = 0xC140,
    GPSL1W = 0x8140,
    GPSL1CD = 0x0180,
    GPSL1CP = 0x0980,
    GPSL1CX = 0x1180,
    GPSL1M = 0x0280,
    GPSL2CM = 0x0208,
    GPSL2CL = 0x0A08,
    GPSL2CX = 0x1208,
    GPSL2P = 0x00C8,
    GPSL2Y = 0x4148,
    GPSL2N = 0xC148,
    GPSL2W = 0x8148,
    GPSL2M = 0x0288,
    GPSL5I = 0x0010,
    GPSL5Q = 0x0850,
    GPSL5X = 0x1050,
    GLOL1CA = 0x0001,
    GLOL1P = 0x00C1,
    GLOL2CA = 0x0009,
    GLOL2P = 0x00C9,
    GLOL3I = 0x0111,
    GLOL3Q = 0x0951,
    GALE1A = 0x0002,
    GALE1B = 0x0082,
    GALE1C = 0x0902,
    GALE1X = 0x1082,
    GALE1Z = 0x2102,
    GALE5AI = 0x018A,
    GALE5AQ = 0x09CA,
    GALE5AX = 0x11CA,
    GALE5BI = 0x0192,
    GALE5BQ = 0x09D2,
    GALE5BX = 0x11D2,
    GALE5I = 0x019A,
    GALE5Q = 0x09DA,
    GALE5X = 0x11DA,
    GALE6B = 0x00A2,
    GALE6C = 0x0922,
    BDSB1I = 0x0003,
    BDSB1P = 0x00C3,
    BDSB1X = 0x10C3,
    BDSB2I = 0x0013,
    BDSB2P = 0x00D3,
    BDSB2X = 0x10D3,
    BDSB3I = 0x000B,
    BDSB3P = 0x00CB,
    BDSB3X = 0x10CB,
    BDSB1CD = 0x011B,
    BDSB1CP = 0x095B,
    BDSB1CX = 0x111B,
    BDSB2AD = 0x01A3,
    BDSB2AP = 0x09E3,
    BDSB2AX = 0x11E3,
    // Codes the receivers use beyond the named list: the signal dump does not
    // list them, and SignalCodeName gives them these names (the QZSS codes only
    // in the converter, whose profile names QZSS signals).
    GPSL2CA = 0x0008,
    GALE6A = 0x0022,
    GALE6X = 0x10A2,
    GALE6Z = 0x2122,
    QZSL1CA = 0x0005,
    QZSL2CM = 0x020D,
    QZSL5Q = 0x0855,
};

inline uint32_t SignalCodeSystem(uint32_t nCode) { return nCode & 7u; }
inline uint32_t SignalCodeBand(uint32_t nCode) { return (nCode >> 3) & 7u; }
inline uint32_t SignalCodeIq(uint32_t nCode) { return (nCode >> 6) & 1u; }
inline uint32_t SignalCodeModule(uint32_t nCode) { return (nCode >> 7) & 7u; }
inline uint32_t SignalCodeMode(uint32_t nCode) { return (nCode >> 10) & 0x3Fu; }
// Band index * 8 + system: one value per carrier of a system.
inline uint32_t SignalFreqId(uint32_t nCode) { return nCode & 0x3Fu; }

enum : uint32_t
{
    SIGNAL_NAME_SIZE = 9, // longest name ("GALE5AQ", "BDSB2aD") with its NUL
    SIGNAL_NAMED_CODE_COUNT = 57,
    GLO_SLOT_COUNT = 28,
    GLO_CHANNEL_INDEX_COUNT = 15, // channel numbers k = -7..+7 stored as k + 7
    GLO_CHANNEL_UNKNOWN = 0xFF,
    SATELLITE_SYSTEM_ALL = 255,
    SATELLITE_SYSTEM_UNKNOWN = 0xFFFFFFFFu,
};

// Carrier frequency in Hz. Returns 1, or 0 (output untouched) when the
// system or band has no carrier in the profile's table. GLONASS bands 0 and 1
// give the centre carrier (channel 0).
int SignalCarrierFrequency(uint32_t nCode, double* pHz);

// Wavelength in metres; nChannelIndex is the GLONASS channel number + 7 and is
// read only for GLONASS bands 0 and 1. Returns 1, or 0 (output untouched) for
// a signal without a wavelength: unknown system or band, SBAS L2, or a
// GLONASS channel index of 15 or more.
int SignalWavelength(uint32_t nCode, uint32_t nChannelIndex, double* pMetres);
// Cycles per metre (1 / wavelength) and its square; the same status.
int SignalWaveNumber(uint32_t nCode, uint32_t nChannelIndex, double* pPerMetre);
int SignalWaveNumberSquared(uint32_t nCode, uint32_t nChannelIndex, double* pPerMetre2);

// Metres to cycles and back for a GLONASS channel number k (-7..+7). Return 1,
// or 0 (output untouched) when the signal has no wavelength.
int MetresToCycles(uint32_t nCode, int32_t nChannel, double dMetres, double* pCycles);
int CyclesToMetres(uint32_t nCode, int32_t nChannel, double dCycles, double* pMetres);

// RINEX band digit (1, 2, 5, 6, 7, 8, 3) of a code; 0 when it has none.
uint8_t SignalRinexBand(uint32_t nCode);

// Readable name of a signal code: three letters of the system, the band name
// and one or two component letters ("GPSL1CA", "GALE5AQ"). Returns 0 with the
// name; 0 with an empty text for a system the profile does not name (6 and 7;
// SBAS and QZSS in the monitor); 1 with an empty text for an unknown component
// or band; -1 when the text capacity is below SIGNAL_NAME_SIZE.
int SignalCodeName(uint32_t nCode, char* pText, uint32_t nCapacity);

// Prints every named code with its fields, one line each, through DebugPrintf.
void DumpSignalCodes();

// "GPS", "GLO", "GAL", "BDS", "SBAS", "QZSS"; "?" for 6 and above.
const char* SatelliteSystemName(uint32_t nIndex);

// System index of a system word ("GPS", "GLONASS", "BEI", "ALL" gives
// SATELLITE_SYSTEM_ALL): the first word whose length equals nLength and whose
// letters equal the text's first nLength characters, ignoring case. The text
// is not read past nLength nor past a NUL. SATELLITE_SYSTEM_UNKNOWN when none.
uint32_t SatelliteSystemIndex(const char* pText, uint32_t nLength);

// GLONASS frequency channel table: one channel index (k + 7, 0-14) per slot
// 1-28, process-wide and shared by every stream; receiver logs update it as
// they report channels. Reads and writes are atomic per slot, so decoding
// threads may read while another thread sets it.

// Channel index of a slot, or GLO_CHANNEL_UNKNOWN for a slot outside 1-28.
uint8_t GetGloFreqChannel(uint32_t nSlot);
// A copy of the whole table (28 bytes) taken now; the copy belongs to the
// calling thread and stays valid until that thread's next call.
const uint8_t* GloFreqChannelTable();
// Replaces the whole table. Returns 1, or 0 (table unchanged) for a null
// pointer or an entry of 15 or more.
int SetGloFreqChannelTable(const uint8_t* pTable);
// Sets one slot; a slot outside 1-28 or an index of 15 or more is ignored.
void SetGloFreqChannel(uint32_t nSlot, uint32_t nChannelIndex);

// GLONASS FDMA channel spacing in Hz: 562500 for band 0, 437500 for band 1,
// 0.0 for other bands.
double GloChannelSpacing(uint32_t nBand);
