// The message catalogue: receiver log names and message IDs both ways, the
// program-internal log numbers, the name tables of enumerated header and body
// fields (time status, position type, solution status, differential type) and
// the receiver's port names, codes and binary port addresses.
//
// Every table is an array of rows walked by one routine; where the converter
// and the monitor carry different rows, the codec profile (codec/profile.h)
// selects the table.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Log names ----

struct LOG_NAME_ROW_T
{
    const char* Name; // upper case, NUL-terminated
    uint32_t Id;      // message ID (low 16 bits used)
    uint32_t NameLength;
};

// Row of the monitor's latest-log store list: slot index of the store, name, ID.
struct LOG_SLOT_ROW_T
{
    uint32_t Slot;
    const char* Name;
    uint32_t Id;
};

struct LOG_NAME_TABLE_T
{
    const LOG_NAME_ROW_T* Rows;
    uint32_t Count;
};

enum LOG_TABLE_E : int
{
    LOG_TABLE_INTERNAL = 0,       // program's own numbers
    LOG_TABLE_RECEIVER = 1,       // message IDs of binary headers
    LOG_TABLE_MONITOR_SECOND = 2, // the monitor's second receiver list (converter order and IDs)
};

// The profile's table of the given kind (the second list is the same in both).
LOG_NAME_TABLE_T GetLogNameTable(LOG_TABLE_E eTable);

// Rows of the monitor's latest-log store, in search order.
const LOG_SLOT_ROW_T* GetStoreSlotList(uint32_t* pCount);

inline constexpr uint16_t LOG_ID_UNKNOWN = 0xFFFF;

// Walks one name table: rows are tried in order; a row matches when nLength is
// 0 (prefix search over the row's name; the name must then be NUL-terminated)
// or equals the row's name length or that + 1, and the row's name equals the
// start of pName ignoring case. With pType: a length other than row length + 1
// gives the profile's abbreviated marker (0x40 / 0x60); otherwise the suffix
// "B"/"b" gives 0x00 and "A"/"a" 0x20, and any other suffix makes the result
// LOG_ID_UNKNOWN. When nothing matches *pType is set to 0xFF.
uint16_t LookupLogName(LOG_NAME_TABLE_T Table, const char* pName, uint32_t nLength, uint8_t* pType);

// LookupLogName over the receiver table (nSelector != 0) or the internal table
// (nSelector == 0). 0 for a null name.
uint16_t LogNameToId(const char* pName, int32_t nSelector, uint32_t nLength, uint8_t* pType = nullptr);

// First internal-table row with that number: its name length (0 when none)
// and its name (null when none).
uint32_t LogIdToNameLength(uint32_t nInternalId);
const char* LogIdToName(uint32_t nInternalId);

// The RANGE family by name, in the internal numbering.
inline constexpr uint16_t RANGE_KIND_RANGE = 40;
inline constexpr uint16_t RANGE_KIND_RANGECMP = 41;
inline constexpr uint16_t RANGE_KIND_RANGEH = 43;
// RANGE 40, RANGECMP 41, RANGEH or a "_1" name 43; LOG_ID_UNKNOWN for other
// names or a bad suffix. pType as for LookupLogName.
uint16_t RangeLogNameToKind(const char* pName, uint32_t nLength, uint8_t* pType = nullptr);

// ---- Enumerated fields ----

struct CODE_NAME_ROW_T
{
    uint32_t Code;
    const char* Name;
};

struct CODE_NAME_TABLE_T
{
    const CODE_NAME_ROW_T* Rows;
    uint32_t Count;
};

// Name of a code; null when the table has no such code.
const char* CodeToName(CODE_NAME_TABLE_T Table, uint32_t nCode);

// Profile-dependent name tables (the monitor's position types and solution
// status differ from the converter's).
CODE_NAME_TABLE_T GetTimeStatusTable();
CODE_NAME_TABLE_T GetPositionTypeTable();
CODE_NAME_TABLE_T GetSolutionStatusTable();
CODE_NAME_TABLE_T GetDiffTypeTable();

const char* TimeStatusName(uint8_t nValue);
// Exact, case-sensitive match of a NUL-terminated name; 0 when none.
uint8_t TimeStatusValue(const char* pName);
const char* PositionTypeName(uint32_t nValue);
const char* SolutionStatusName(uint32_t nValue);
// Index of the differential type named by the text up to its first comma; 0
// when the text has no comma (within nLength, or before its NUL when nLength
// is negative) or no name matches.
uint32_t DiffTypeIndex(const char* pText, int32_t nLength = -1);

// ---- Ports ----

inline constexpr uint32_t PORT_CODE_INVALID = 0xFFFFFFFF;
inline constexpr uint32_t PORT_CODE_SPECIAL = 0xA0;
inline constexpr uint32_t PORT_KIND_COM = 0;
inline constexpr uint32_t PORT_KIND_USB = 1;
inline constexpr uint32_t PORT_KIND_FILE = 2;
inline constexpr uint32_t PORT_KIND_TELNET = 3;
inline constexpr uint32_t PORT_KIND_ICOM = 4;
inline constexpr uint32_t PORT_KIND_NCOM = 5;
inline constexpr uint32_t PORT_KIND_LAST = 6; // "NCOM" again in the converter, "DTU" in the monitor
inline constexpr uint32_t PORT_KIND_COUNT = 7;
inline constexpr uint32_t PORT_KIND_SPECIAL = 10;
inline constexpr uint32_t PORT_ADDRESS_FILE = 224;
inline constexpr uint32_t PORT_ADDRESS_SPECIAL = 160;

// Port code (kind << 4 | number) from a port name: "COM2" 0x02, "COM" 0x01,
// "ICOM3" 0x43, "FILE0" 0x20, "SPECIAL" 0xA0; PORT_CODE_INVALID for other
// names or a number of 16 or more. nLength < 0: the text is NUL-terminated.
uint32_t PortNameToCode(const char* pText, int32_t nLength = -1);
// "COM1", "ICOM2", "SPECIAL"; an empty text for kinds without a name (the
// monitor also names 224 "FILE"). Returns the text length, or -1 when it does
// not fit in nCapacity bytes.
int32_t PortCodeToName(uint32_t nCode, char* pText, size_t nCapacity);
// Port address of the binary header on the wire: COM1-3 32/64/96, file (FILEn
// or the monitor's code 224) 224, else 160.
uint8_t PortCodeToAddress(uint32_t nCode);
uint32_t PortAddressToCode(uint32_t nAddress);
// Highest port number of a kind that ParsePortField accepts (COM 3, ICOM 2,
// the others 1); 0 for unknown kinds.
uint32_t PortKindLimit(uint32_t nKind);
// A port name (three or more characters) or a decimal port code; the code, or
// PORT_CODE_INVALID for code 0, a file port, an unknown kind or a number above
// the kind's limit.
uint32_t ParsePortField(const char* pText, int32_t nLength);

// ---- Output messages ----
// The messages a receiver can be told to output with LOG and stop with UNLOG,
// by group, in the order the monitor's message output window offers them.
// Every name is the one the log tables above (or the IMU table of
// codec/ins_logs.h) know the log by; RTCM messages are named "RTCM" and their
// message number.

enum OUTPUT_GROUP_E : uint32_t
{
    OUTPUT_GROUP_NMEA = 0,
    OUTPUT_GROUP_RTCM = 1,
    OUTPUT_GROUP_POSITION = 2, // position, velocity, time, DOP
    OUTPUT_GROUP_INS = 3,
    OUTPUT_GROUP_OBSERVATION = 4, // observations, ephemerides, reference station
    OUTPUT_GROUP_COUNT = 5,
};

struct OUTPUT_MESSAGE_T
{
    const char* Name;    // as LOG names it: "GPGGA", "KSXT", "BESTPOS", "RTCM1074"
    const char* Content; // RTCM: what it carries ("pos", "type", "GPS", "GPS+GLO"); else null
};

// RTCM messages come in sets, one per RTCM version; two sets may share a message.
struct OUTPUT_MESSAGE_SET_T
{
    const char* Title; // the RTCM version, "RTCM3.2"; null for the other groups
    const OUTPUT_MESSAGE_T* Messages;
    uint32_t Count;
};

struct OUTPUT_GROUP_T
{
    const OUTPUT_MESSAGE_SET_T* Sets; // one set for every group but RTCM
    uint32_t SetCount;
    bool bFormChoice; // receiver logs: asked for as text ("A") or binary ("B")
};

// The group's messages; an empty group for an unknown group.
OUTPUT_GROUP_T GetOutputGroup(uint32_t nGroup);
