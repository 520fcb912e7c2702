// Field layouts of the fixed-size logs (solution, INS, IMU, navigation data). One table per log
// gives, for each body field, its place in the binary body, its name table and
// its printf conversion in the full and the abbreviated text form. The same
// table drives the text formatter and the text decoder, so that what is written
// in hexadecimal is read back in hexadecimal.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/log_format.h"

// How a field is held in the body.
enum LOG_FIELD_STORE_E : uint8_t
{
    FIELD_U8,
    FIELD_U16,
    FIELD_I16,
    FIELD_U32,
    FIELD_I32,
    FIELD_U64,
    FIELD_F32,
    FIELD_F64,
    FIELD_F64_RAD,  // radians in the body, degrees in the text
    FIELD_STATION,  // char[4], not terminated, written between double quotes
    FIELD_CHAR_U32, // one character in the low byte of a u32
};

// Name tables of enumerated fields (written as names, read back by name).
enum LOG_FIELD_NAMES_E : uint8_t
{
    NAMES_NONE,
    NAMES_SOLUTION_STATUS,
    NAMES_POSITION_TYPE,
    NAMES_DATUM,
    NAMES_CLOCK_STATUS,
    NAMES_UTC_STATUS,
    NAMES_TIME_STATUS,
    NAMES_AVEPOS_STATUS,
    NAMES_INS_STATUS,
    NAMES_TRUE_FALSE, // a u32 flag: "TRUE" reads 1, any other word 0; non-zero writes "TRUE"
};

struct LOG_FIELD_T
{
    uint16_t nOffset;
    uint8_t eStore;        // LOG_FIELD_STORE_E
    uint8_t eNames;        // LOG_FIELD_NAMES_E
    const char* pszFull;   // conversion of the full form, e.g. "%.11lf"
    const char* pszAbbrev; // conversion of the abbreviated form; null: as the full one
    char cAbbrevSep;       // separator in front of the field in the abbreviated form; 0: the layout's
    // Conversion in the converter's text, every form; null: as above. The
    // converter writes a satellite clock term with as many significant digits
    // as a RINEX navigation field holds (13 in the form with a digit before
    // the point), so that an ephemeris read from RINEX keeps its clock (the
    // receiver's own text has fewer).
    const char* pszConverter = nullptr;
};

struct LOG_LAYOUT_T
{
    const LOG_FIELD_T* pFields;
    uint16_t nFields;
    uint16_t nBodyLength;
    char cAbbrevSep;           // ' ' or ','
    const char* pszAbbrevLead; // "<\t" in front of the abbreviated body line
};

// Rows and layouts of the tables.
#define ZV_FIELD(Body, Member, Store, Names, Full, Abbrev)                                                             \
    LOG_FIELD_T { static_cast<uint16_t>(offsetof(Body, Member)), Store, Names, Full, Abbrev, 0 }
#define ZV_NUM(Body, Member, Store, Spec) ZV_FIELD(Body, Member, Store, NAMES_NONE, Spec, nullptr)
#define ZV_CLOCK(Body, Member, Spec)                                                                                   \
    LOG_FIELD_T { static_cast<uint16_t>(offsetof(Body, Member)), FIELD_F64, NAMES_NONE, Spec, nullptr, 0, "%.12E" }
#define ZV_NAME(Body, Member, Names) ZV_FIELD(Body, Member, FIELD_U32, Names, "%s", nullptr)
#define ZV_STATION(Body, Member) ZV_FIELD(Body, Member, FIELD_STATION, NAMES_NONE, "\"%s\"", nullptr)
#define ZV_LAYOUT(Fields, Body, Sep)                                                                                   \
    LOG_LAYOUT_T { Fields, sizeof(Fields) / sizeof(Fields[0]), sizeof(Body), Sep, "<\t" }

// Text forms of a body.
enum FIELD_FORM_E : int
{
    FIELD_FORM_FULL,
    FIELD_FORM_ABBREV,
    FIELD_FORM_CSV, // full-form conversions, commas, CR LF, no CRC
};

// The form a formatter writes for a message type byte: abbreviated when the
// form bits equal the profile's abbreviated marker, else full (also for a
// binary record: a text formatter has no other form to offer).
FIELD_FORM_E FieldFormOf(uint8_t uMessageType);

// 1 when the NUL-terminated text begins with the name and the name is followed
// by the end of the text or a field separator ("," "*" ";" blank, tab, CR, LF, quote).
int TextIsName(const char* pText, const char* pszName);

// The message type byte that asks the text header writer for a form.
uint8_t HeaderTypeOf(FIELD_FORM_E eForm);

// The profile's short-header flag in the message type byte (0x10 converter, 0x01 monitor).
uint8_t ShortHeaderFlag();

// Writes the body of one log after a header already in pOut[0 .. *pLength):
// the full form ends with the CRC trailer over pOut[1 ..], the abbreviated and
// the CSV ones with CR LF. Returns 1, or 0 when it does not fit in nCapacity
// (the text is then incomplete).
int AppendLogBody(const LOG_LAYOUT_T& Layout, const void* pBody, FIELD_FORM_E eForm, char* pOut, uint32_t nCapacity,
                  uint32_t* pLength);

// A long header and the body of a layout, in full or abbreviated text.
// Returns 1, or 0 for a null argument, a header whose message length is
// shorter than the body, or an output that does not fit.
int FormatLayoutLog(const LOG_LAYOUT_T& Layout, const char* pszName, const BinaryLogHeader* pHeader, const void* pBody,
                    char* pOut, int32_t nCapacity, int32_t* pOutLen);

// Parses the body fields of a text log (full form between ";" and "*", or the
// abbreviated body line) into pBody (Layout.nBodyLength bytes). The field count
// must match exactly and every field must read whole. Returns 1 or 0.
int ParseLayoutBody(const LOG_LAYOUT_T& Layout, const char* pBodyText, int32_t nLength, FIELD_FORM_E eForm,
                    void* pBody);

// Output header of a decoder.
enum DECODE_HEADER_E : int
{
    DECODE_LONG_HEADER,
    DECODE_SHORT_HEADER,
};

// Decodes a text log of the layout, full ("#...;...*crc", CRC checked),
// abbreviated ("<NAME ...", header line and body line ended by LF) or short ("%NAMESA,...*crc"
// or "<NAMES week seconds"), into a binary record: long header (28 bytes) or
// short header (12 bytes) and the body. The message ID is nMessageId, or the
// log name's receiver ID when nMessageId is 0. Reads no byte at or past
// nLength. Returns 1 with *pOutLen set, or 0; the output is written only on success.
int DecodeLayoutText(const LOG_LAYOUT_T& Layout, uint16_t nMessageId, DECODE_HEADER_E eHeader, const char* pText,
                     int32_t nLength, uint8_t* pOut, int32_t* pOutLen);
