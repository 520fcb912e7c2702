// BINEX records: finding and checking a record in a byte stream, the unsigned
// BINEX integer (ubnxi), the decoders of the navigation record 0x01 (GPS,
// GLONASS, Galileo, BeiDou and QZSS ephemerides) and of the observation
// record 0x7F-05, and their conversion to receiver logs (binary, header and
// body without CRC).
//
// A record: sync byte (0xE2 big-endian, 0xC2 little-endian fields), record ID
// (ubnxi), message length (ubnxi), message, checksum. The checksum covers the
// record ID, the length and the message; its size follows from their byte
// count N: N < 128 one XOR byte, N < 4096 CRC-16, N < 1048576 CRC-32, else
// the 16-byte MD5 digest. CRC values are stored in the record's byte order.
#pragma once

#include <cstdint>

#include "codec/log_format.h"

enum : uint8_t
{
    BINEX_SYNC_BIG = 0xE2,
    BINEX_SYNC_LITTLE = 0xC2,
};

enum : uint32_t
{
    BINEX_RECORD_NAV = 0x01,
    BINEX_RECORD_OBS = 0x7F,
    BINEX_SUBRECORD_GPS = 1,
    BINEX_SUBRECORD_GLO = 2,
    BINEX_SUBRECORD_GAL = 4,
    BINEX_SUBRECORD_BDS = 5,
    BINEX_SUBRECORD_QZSS = 6,
    BINEX_SUBRECORD_OBS = 5,
    // Longest message the framer takes; a length above it is no record.
    BINEX_MAX_MESSAGE = 1u << 21,
    // Longest record the framer takes: sync byte, two ubnxi, message, MD5 digest.
    BINEX_MAX_RECORD = 1 + 4 + 4 + BINEX_MAX_MESSAGE + 16,
    BINEX_OBS_MAX_SATS = 64,
    BINEX_OBS_MAX_SIGNALS = 7,
};

// Reads one ubnxi from at most nAvailable bytes: bytes 1 to 3 carry 7 value
// bits and a continuation bit (0x80), a fourth byte 8 value bits. The first
// byte holds the most significant group in a big-endian record, the least
// significant in a little-endian one. Returns 1 with the value and the bytes
// used, or 0 when the bytes end inside the number.
int DecodeBinexUbnxi(const uint8_t* pBytes, uint32_t nAvailable, int bBigEndian, uint32_t* pValue,
                     uint32_t* pByteCount);

struct BINEX_FRAME_T
{
    uint8_t bBigEndian;
    uint32_t nRecordId;
    uint32_t nMessageOffset; // from the sync byte
    uint32_t nMessageLength;
    uint32_t nChecksumLength;
    uint32_t nTotalLength; // sync byte to the end of the checksum
};

enum BINEX_FRAME_E : int
{
    BINEX_FRAME_OK = 1,
    BINEX_FRAME_NEED_MORE = 0,   // the bytes end inside the record
    BINEX_FRAME_NOT_RECORD = -1, // no sync byte, or a length the framer does not take
    BINEX_FRAME_BAD_CHECKSUM = -2,
};

// Frames the record that starts at pBytes[0] and checks its checksum.
int FrameBinexRecord(const uint8_t* pBytes, uint32_t nAvailable, BINEX_FRAME_T* pFrame);

// Decoded subrecords: the fields in message order, read one by one in the
// record's byte order.

// Navigation subrecords 0x01-01 (GPS), 0x01-04 (Galileo) and 0x01-06 (QZSS).
struct BINEX_GPS_EPH_T
{
    uint8_t SatIndex; // satellite number - 1
    uint16_t Week;    // GPS week (Galileo: GST week)
    int32_t Tow;      // s
    int32_t Toc;      // s
    float Tgd;        // s
    int32_t Iodc;
    float Af2;
    float Af1;
    float Af0;
    int32_t Iode;
    float DeltaNOverPi;
    double M0;
    double Ecc;
    double RootA;
    int32_t Toe;
    float Cic;
    float Crc;
    float Cis;
    float Crs;
    float Cuc;
    float Cus;
    double Omega0;
    double Omega;
    double I0;
    float OmegaDotOverPi;
    float IDotOverPi;
    float Ura; // m
    uint16_t Health;
    uint16_t FitInterval;
};

// Navigation subrecord 0x01-02 (GLONASS).
struct BINEX_GLO_EPH_T
{
    uint8_t SatIndex; // slot - 1
    uint16_t Day;     // day of the four-year interval, 1-1461
    uint32_t Tod;     // s of the Moscow day
    double MinusTauN;
    double GammaN;
    uint32_t Tk;
    double Pos[3]; // km
    double Vel[3]; // km/s
    double Acc[3]; // km/s^2
    uint8_t Health;
    int8_t Channel; // frequency number -7..+6
    uint8_t Age;
    uint8_t LeapSeconds; // GPS - UTC
    double TauGps;
    double DeltaTauN;
};

// Navigation subrecord 0x01-05 (BeiDou). Flag1: bits 0-3 URA index, bit 4
// health, bits 5-9 AODE; flag2: bits 0-9 and 10-19 TGD1 and TGD2 (signed,
// 0.1 ns), bits 20-24 AODC.
struct BINEX_BDS_EPH_T
{
    uint8_t SatIndex; // satellite number - 1
    uint16_t Week;    // BeiDou week
    int32_t Tow;
    int32_t Toc;
    int32_t Toe;
    float Af2;
    float Af1;
    float Af0;
    float DeltaNOverPi;
    double M0;
    double Ecc;
    double RootA;
    float Cic;
    float Crc;
    float Cis;
    float Crs;
    float Cuc;
    float Cus;
    double Omega0;
    double Omega;
    double I0;
    float OmegaDotOverPi;
    float IDotOverPi;
    uint16_t Flags1;
    uint32_t Flags2;
};
// Bytes of each subrecord behind its ID byte.
enum : uint32_t
{
    BINEX_GPS_EPH_BYTES = 131,
    BINEX_GLO_EPH_BYTES = 119,
    BINEX_BDS_EPH_BYTES = 117,
};

// The decoded navigation record; DecodeBinexEphRecord's result says which
// member holds it.
struct BINEX_EPH_T
{
    BINEX_GPS_EPH_T Gps; // GPS, Galileo and QZSS
    BINEX_GLO_EPH_T Glo;
    BINEX_BDS_EPH_T Bds;
};

// One observation of the 0x7F-05 record.
struct BINEX_OBS_SIGNAL_T
{
    uint8_t SignalIndex; // bits 0-4 of the first flag byte
    uint8_t PhaseLocked;
    uint8_t FlagCount;
    uint8_t Flags[5];
    uint8_t Cn0;         // 0.4 dB-Hz
    uint8_t Cn0Fraction; // 0.1 dB-Hz
    uint8_t HasRange;
    uint8_t HasCarrier;
    uint8_t HasDoppler;
    uint8_t FineCarrier;
    int64_t RangeMm;
    int32_t Carrier; // phase minus range, carrier units
    int32_t Doppler; // Hz x 256
};

struct BINEX_OBS_SAT_T
{
    uint8_t SatNumber;
    uint8_t SystemCode; // 0 GPS, 1 GLONASS, 2 SBAS, 3 Galileo, 4 BeiDou, 5 QZSS
    uint8_t Count;
    BINEX_OBS_SIGNAL_T Signals[BINEX_OBS_MAX_SIGNALS];
};

struct BINEX_OBS_RECORD_T
{
    uint32_t Minutes;      // since 1980-01-06, GPS time
    uint16_t Milliseconds; // within the minute
    uint8_t SatCount;
    uint8_t HasClock;
    int32_t Clock; // receiver clock field, read and not used
    BINEX_OBS_SAT_T Sats[BINEX_OBS_MAX_SATS];
};

// The navigation record (ID 1) at pRecord[0..nLength): framing, checksum,
// subrecord. Returns the subrecord ID (1, 2, 4, 5 or 6), or 0 when the check
// fails, the subrecord is unknown or its message is too short.
int DecodeBinexEphRecord(const uint8_t* pRecord, uint32_t nLength, BINEX_EPH_T* pOut);
// The same for one subrecord's message bytes (ID byte first).
int DecodeBinexGpsEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut);
int DecodeBinexGloEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GLO_EPH_T* pOut);
int DecodeBinexGalEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut);
int DecodeBinexBdsEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_BDS_EPH_T* pOut);
int DecodeBinexQzssEph(const uint8_t* pMessage, uint32_t nLength, int bBigEndian, BINEX_GPS_EPH_T* pOut);

// The observation record (ID 0x7F, subrecord 5). Returns 1, or 0 when the
// check fails, the subrecord is another or the message ends inside a field.
int DecodeBinexObsRecord(const uint8_t* pRecord, uint32_t nLength, BINEX_OBS_RECORD_T* pOut);

// A decoded record of either kind: each decoder fills the member of its own.
struct BINEX_RECORD_T
{
    BINEX_EPH_T Eph;
    BINEX_OBS_RECORD_T Obs;
};
// The decoder of one record ID: the navigation decoder returns the
// subrecord ID as DecodeBinexEphRecord does, the observation decoder 1; 0
// when the record does not decode.
using BinexRecordDecoder = int (*)(const uint8_t* pRecord, uint32_t nLength, BINEX_RECORD_T* pOut);
// Record 1 (navigation) DecodeBinexEphRecord, record 127 (observation)
// DecodeBinexObsRecord; null for any other record ID.
BinexRecordDecoder GetBinexRecordDecoder(uint32_t nRecordId);

enum : uint32_t
{
    // A converted log: header and the largest body (a RANGE log of every
    // observation).
    BINEX_LOG_CAPACITY = LOG_HEADER_LENGTH + 4 + 44 * BINEX_OBS_MAX_SATS * BINEX_OBS_MAX_SIGNALS,
};

// Ephemeris logs (header and body, no CRC; message type 0, full-text port
// code, time status 200). Each returns 1 and the length, or 0 when the output
// is too small or the record's time cannot be converted.
int ConvertBinexGpsEph(const BINEX_GPS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength);
int ConvertBinexGalEph(const BINEX_GPS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength);
int ConvertBinexQzssEph(const BINEX_GPS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength);
int ConvertBinexBdsEph(const BINEX_BDS_EPH_T* pEph, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength);
// The GLONASS record carries no four-year interval: it is the one that puts
// the ephemeris nearest to the reference GPS week (0: the computer's date).
int ConvertBinexGloEph(const BINEX_GLO_EPH_T* pEph, uint32_t nRefWeek, uint8_t* pOut, uint32_t nCapacity,
                       uint32_t* pOutLength);

// One RANGE log of the record's observations that range logs can carry. A
// GLONASS satellite takes its frequency channel from pGloChannels (the channel
// index of slots 1 to GLO_SLOT_COUNT, as a conversion has learnt them from its
// ephemerides), or from the codec's slot table when that is null. Returns 1
// and the length, or 0 when the output is too small.
int ConvertBinexObs(const BINEX_OBS_RECORD_T* pObs, uint8_t* pOut, uint32_t nCapacity, uint32_t* pOutLength,
                    const uint8_t* pGloChannels = nullptr);
