#include "codec/satvis_logs.h"

#include <algorithm>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/log_fields.h"
#include "codec/log_format.h"
#include "codec/position_logs.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
constexpr uint32_t HEADER_SIZE = LOG_HEADER_LENGTH;

// Layouts of the fixed runs of numbers in these bodies (the texts around them
// are read on their own).
const LOG_FIELD_T SATVIS_FLAG_FIELDS[] = {
    ZV_NAME(SATVIS_BODY_T, VisibilityValid, NAMES_TRUE_FALSE),
    ZV_NAME(SATVIS_BODY_T, CompleteAlmanac, NAMES_TRUE_FALSE),
};
const LOG_FIELD_T SATVIS_COUNT_FIELDS[] = {ZV_NUM(SATVIS_BODY_T, Count, FIELD_U32, "%u")};
const LOG_FIELD_T SATVIS_SAT_FIELDS[] = {
    ZV_NUM(SATVIS_SAT_T, Prn, FIELD_U16, "%u"),
    ZV_NUM(SATVIS_SAT_T, GloFreq, FIELD_U16, "%u"),
    ZV_NUM(SATVIS_SAT_T, Health, FIELD_U32, "%u"),
    ZV_NUM(SATVIS_SAT_T, Elevation, FIELD_F64, "%f"),
    ZV_NUM(SATVIS_SAT_T, Azimuth, FIELD_F64, "%f"),
    ZV_NUM(SATVIS_SAT_T, TheoreticalDoppler, FIELD_F64, "%f"),
    ZV_NUM(SATVIS_SAT_T, ApparentDoppler, FIELD_F64, "%f"),
};
const LOG_FIELD_T REFSTATION_FIELDS[] = {
    ZV_NUM(REFSTATION_BODY_T, Status, FIELD_U32, "%08X"), ZV_NUM(REFSTATION_BODY_T, X, FIELD_F64, "%.3f"),
    ZV_NUM(REFSTATION_BODY_T, Y, FIELD_F64, "%.3f"),      ZV_NUM(REFSTATION_BODY_T, Z, FIELD_F64, "%.3f"),
    ZV_NUM(REFSTATION_BODY_T, Health, FIELD_U32, "%u"),
};
const LOG_FIELD_T REFSTATIONINFO_FIELDS[] = {
    ZV_NUM(REFSTATIONINFO_BODY_T, Latitude, FIELD_F64, "%.9f"),
    ZV_NUM(REFSTATIONINFO_BODY_T, Longitude, FIELD_F64, "%.9f"),
    ZV_NUM(REFSTATIONINFO_BODY_T, Height, FIELD_F64, "%.9f"),
    ZV_NAME(REFSTATIONINFO_BODY_T, DatumId, NAMES_DATUM),
    ZV_NUM(REFSTATIONINFO_BODY_T, Undulation, FIELD_F32, "%.3f"),
    ZV_NUM(REFSTATIONINFO_BODY_T, Health, FIELD_U32, "%u"),
};
const LOG_LAYOUT_T SATVIS_FLAGS = ZV_LAYOUT(SATVIS_FLAG_FIELDS, SATVIS_BODY_T, ' ');
const LOG_LAYOUT_T SATVIS_COUNT = ZV_LAYOUT(SATVIS_COUNT_FIELDS, SATVIS_BODY_T, ' ');
const LOG_LAYOUT_T SATVIS_SAT = ZV_LAYOUT(SATVIS_SAT_FIELDS, SATVIS_SAT_T, ' ');
const LOG_LAYOUT_T REFSTATION_NUMBERS = ZV_LAYOUT(REFSTATION_FIELDS, REFSTATION_BODY_T, ' ');
const LOG_LAYOUT_T REFSTATIONINFO_NUMBERS = ZV_LAYOUT(REFSTATIONINFO_FIELDS, REFSTATIONINFO_BODY_T, ' ');

// Takes the span of the next n fields (without the comma behind them); false
// when the body has fewer.
bool TakeFields(TextFieldCursor* pCursor, int n, const char** ppSpan, int32_t* pLength)
{
    const char* pStart = pCursor->pNext;
    const char* pField = nullptr;
    int32_t nField = 0;
    for (int i = 0; i < n; ++i)
        if (!NextTextField(pCursor, &pField, &nField))
            return false;
    *ppSpan = pStart;
    *pLength = static_cast<int32_t>(pField + nField - pStart);
    return true;
}

bool BodyUsedUp(const TextFieldCursor& cursor) { return cursor.pNext > cursor.pEnd; }

// Reads the next n fields with a layout into pBody.
bool ReadFields(TextFieldCursor* pCursor, const LOG_LAYOUT_T& Layout, void* pBody)
{
    const char* pSpan = nullptr;
    int32_t nLength = 0;
    return TakeFields(pCursor, Layout.nFields, &pSpan, &nLength) &&
           ParseLayoutBody(Layout, pSpan, nLength, FIELD_FORM_FULL, pBody);
}

// The body of a checked full text log, from behind the first ";" to the "*".
bool OpenBody(const char* pText, int32_t nLength, uint16_t nMessageId, BinaryLogHeader* pHeader,
              TextFieldCursor* pCursor)
{
    uint32_t nOffset = 0;
    uint32_t nBodyLength = 0;
    if (!pText || !OpenTextLog(pText, nLength, nMessageId, pHeader, &nOffset, &nBodyLength))
        return false;
    *pCursor = MakeFieldCursor(pText + nOffset, pText + nOffset + nBodyLength);
    return true;
}

// Header and body of a decoded log into the caller's output.
int EmitDecoded(BinaryLogHeader* pHeader, const void* pBody, uint16_t nBodySize, uint8_t* pOut, int32_t* pOutLength)
{
    pHeader->MessageLength = nBodySize;
    memcpy(pOut, pHeader, HEADER_SIZE);
    memcpy(pOut + HEADER_SIZE, pBody, nBodySize);
    *pOutLength = static_cast<int32_t>(HEADER_SIZE + nBodySize);
    return 1;
}

// Copies the text between the next pair of double quotes at or after *ppFrom into
// a zero-padded field of nField bytes; false when a quote is missing or the text
// is longer than the field.
bool ReadQuoted(const char** ppFrom, const char* pEnd, char* pField, size_t nField)
{
    const char* pOpen = static_cast<const char*>(memchr(*ppFrom, '"', pEnd - *ppFrom));
    if (!pOpen)
        return false;
    const char* pClose = static_cast<const char*>(memchr(pOpen + 1, '"', pEnd - pOpen - 1));
    if (!pClose || static_cast<size_t>(pClose - pOpen - 1) > nField)
        return false;
    memset(pField, 0, nField);
    memcpy(pField, pOpen + 1, pClose - pOpen - 1);
    *ppFrom = pClose + 1;
    return true;
}

// The station type of the next field (an unknown word gives 0, NONE), then the
// quoted texts behind it.
bool ReadTypeAndTexts(TextFieldCursor* pCursor, uint32_t* pType, char* pTexts[], const size_t nSizes[], int nTexts)
{
    const char* pField = nullptr;
    int32_t nLength = 0;
    if (!NextTextField(pCursor, &pField, &nLength) || BodyUsedUp(*pCursor))
        return false;
    // DiffTypeIndex compares up to the comma that ends the field.
    *pType = DiffTypeIndex(pField, nLength + 1);
    const char* pFrom = pCursor->pNext;
    for (int i = 0; i < nTexts; ++i)
        if (!ReadQuoted(&pFrom, pCursor->pEnd, pTexts[i], nSizes[i]))
            return false;
    return true;
}

int DecodeRefStation(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    BinaryLogHeader header;
    TextFieldCursor cursor;
    REFSTATION_BODY_T body;
    uint32_t nType = 0;
    char* pTexts[] = {body.StationId};
    const size_t nSizes[] = {sizeof(body.StationId)};
    if (!OpenBody(pText, nLength, MSG_ID_REFSTATION, &header, &cursor) ||
        !ReadFields(&cursor, REFSTATION_NUMBERS, &body) || !ReadTypeAndTexts(&cursor, &nType, pTexts, nSizes, 1))
        return 0;
    body.StationType = nType;
    return EmitDecoded(&header, &body, sizeof(body), pOut, pOutLength);
}

int DecodeRefStationInfo(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    BinaryLogHeader header;
    TextFieldCursor cursor;
    REFSTATIONINFO_BODY_T body;
    uint32_t nType = 0;
    char* pTexts[] = {body.StationId, body.AntennaModel, body.AntennaSerial};
    const size_t nSizes[] = {sizeof(body.StationId), sizeof(body.AntennaModel), sizeof(body.AntennaSerial)};
    if (!OpenBody(pText, nLength, MSG_ID_REFSTATIONINFO, &header, &cursor) ||
        !ReadFields(&cursor, REFSTATIONINFO_NUMBERS, &body) || !ReadTypeAndTexts(&cursor, &nType, pTexts, nSizes, 3))
        return 0;
    body.StationType = nType;
    return EmitDecoded(&header, &body, sizeof(body), pOut, pOutLength);
}

// ---- Older packed layout of the reference-station logs ----
//
// Records shorter than the current body carry a station ID of up to five
// characters (four bytes, a fifth when the ID has four or five characters),
// then each further text zero-terminated and padded to a multiple of four bytes
// (32 bytes, unterminated, when it has 32 characters or more).

bool ReadPackedStationId(const uint8_t** ppAt, const uint8_t* pEnd, char (&id)[8])
{
    const uint8_t* p = *ppAt;
    if (pEnd - p < 4)
        return false;
    size_t n = strnlen(reinterpret_cast<const char*>(p), 4);
    size_t nUsed = 4;
    if (n == 4)
    {
        if (pEnd - p < 5)
            return false;
        n = p[4] ? 5 : 4;
        nUsed = 5;
    }
    memset(id, 0, sizeof(id));
    memcpy(id, p, n);
    *ppAt = p + nUsed;
    return true;
}

bool ReadPackedText(const uint8_t** ppAt, const uint8_t* pEnd, char (&text)[32])
{
    const uint8_t* p = *ppAt;
    const size_t nAvail = static_cast<size_t>(pEnd - p);
    const size_t nLimit = std::min(nAvail, sizeof(text));
    const uint8_t* pNul = static_cast<const uint8_t*>(memchr(p, 0, nLimit));
    size_t n = 0;
    size_t nUsed = 0;
    if (pNul)
    {
        n = static_cast<size_t>(pNul - p);
        nUsed = std::min((n + 4) & ~size_t{3}, nAvail);
    }
    else if (nLimit == sizeof(text))
        n = nUsed = sizeof(text);
    else
        return false; // the text runs off the record
    memset(text, 0, sizeof(text));
    memcpy(text, p, n);
    *ppAt = p + nUsed;
    return true;
}

// The record's body in the current layout: copied whole when the record has
// it, else its numbers up to the station ID and then the packed texts that
// Read(pAt, pEnd, pBody) takes from the rest. False when the record is too
// short or the packed texts do not fit.
template <typename Body, typename TextReader>
bool CurrentBody(const BinaryLogHeader* pHeader, Body* pBody, TextReader Read)
{
    const uint8_t* pBytes = reinterpret_cast<const uint8_t*>(pHeader) + HEADER_SIZE;
    const int32_t nLength = pHeader->MessageLength;
    if (nLength >= static_cast<int32_t>(sizeof(*pBody)))
    {
        memcpy(pBody, pBytes, sizeof(*pBody));
        return true;
    }
    const size_t nFixed = offsetof(Body, StationId);
    if (nLength < static_cast<int32_t>(nFixed))
        return false;
    memcpy(pBody, pBytes, nFixed);
    return Read(pBytes + nFixed, pBytes + nLength, pBody);
}

bool RefStationBody(const BinaryLogHeader* pHeader, REFSTATION_BODY_T* pBody)
{
    return CurrentBody(pHeader, pBody,
                       [](const uint8_t* pAt, const uint8_t* pEnd, REFSTATION_BODY_T* p)
                       {
                           // Up to five characters, zero-terminated when shorter.
                           const size_t n = strnlen(reinterpret_cast<const char*>(pAt), pEnd - pAt);
                           if (n > 5)
                               return false;
                           memset(p->StationId, 0, sizeof(p->StationId));
                           memcpy(p->StationId, pAt, n);
                           return true;
                       });
}

bool RefStationInfoBody(const BinaryLogHeader* pHeader, REFSTATIONINFO_BODY_T* pBody)
{
    return CurrentBody(pHeader, pBody,
                       [](const uint8_t* pAt, const uint8_t* pEnd, REFSTATIONINFO_BODY_T* p)
                       {
                           return ReadPackedStationId(&pAt, pEnd, p->StationId) &&
                                  ReadPackedText(&pAt, pEnd, p->AntennaModel) &&
                                  ReadPackedText(&pAt, pEnd, p->AntennaSerial);
                       });
}

// Header of a reference-station record for output in the current layout.
BinaryLogHeader OutputHeader(const BinaryLogHeader* pHeader, uint16_t nBodySize, uint8_t nForm)
{
    BinaryLogHeader header = *pHeader;
    header.MessageLength = nBodySize;
    header.MessageType = static_cast<uint8_t>((header.MessageType & ~LOG_FORM_MASK) | nForm);
    return header;
}

// Mode 0 of the reference-station formatters: the record in the current layout as a wire log.
int EmitBinary(const BinaryLogHeader& header, const void* pBody, size_t nBodySize, int32_t nCapacity, char* pOut,
               int32_t* pOutLength)
{
    uint8_t record[HEADER_SIZE + sizeof(REFSTATIONINFO_BODY_T)];
    memcpy(record, &header, HEADER_SIZE);
    memcpy(record + HEADER_SIZE, pBody, nBodySize);
    uint32_t n = 0;
    if (!CopyBinaryLogToWire(record, nCapacity, pOut, &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

const BinaryLogHeader* RecordHeader(const void* pLog)
{
    const BinaryLogHeader* pHeader = static_cast<const BinaryLogHeader*>(pLog);
    return (pHeader && pHeader->HeaderLength == HEADER_SIZE) ? pHeader : nullptr;
}

int FinishFullText(char* pOut, uint32_t nCapacity, uint32_t nLength, int32_t* pOutLength)
{
    if (!AppendTextLogCrc(pOut, nCapacity, &nLength, 0))
        return 0;
    *pOutLength = static_cast<int32_t>(nLength);
    return 1;
}
} // namespace

int DecodeSatVisText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    if (!pOut || !pOutLength)
        return 0;
    BinaryLogHeader header;
    TextFieldCursor cursor;
    SATVIS_BODY_T fixed;
    SATVIS_BODY_T counted;
    const char* pCount = nullptr;
    int32_t nCount = 0;
    if (!OpenBody(pText, nLength, MSG_ID_SATVIS, &header, &cursor) || !ReadFields(&cursor, SATVIS_FLAGS, &fixed) ||
        !TakeFields(&cursor, 1, &pCount, &nCount))
        return 0;
    // The count is written behind a blank.
    while (nCount > 0 && *pCount == ' ')
        ++pCount, --nCount;
    if (!ParseLayoutBody(SATVIS_COUNT, pCount, nCount, FIELD_FORM_FULL, &counted) || counted.Count > SATVIS_MAX_RECORDS)
        return 0;
    fixed.Count = counted.Count;
    uint8_t* pRecords = pOut + HEADER_SIZE + sizeof(fixed);
    for (uint32_t i = 0; i < fixed.Count; ++i)
        if (!ReadFields(&cursor, SATVIS_SAT, pRecords + i * sizeof(SATVIS_SAT_T)))
            return 0;
    // The records must fill the body: a count smaller than the records given is as wrong as a larger one.
    if (!BodyUsedUp(cursor))
        return 0;
    header.MessageLength = static_cast<uint16_t>(sizeof(fixed) + fixed.Count * sizeof(SATVIS_SAT_T));
    memcpy(pOut, &header, HEADER_SIZE);
    memcpy(pOut + HEADER_SIZE, &fixed, sizeof(fixed));
    *pOutLength = static_cast<int32_t>(HEADER_SIZE + header.MessageLength);
    return 1;
}

namespace
{
// The SATVIS record's count when its message length holds that many records.
bool SatVisCount(const BinaryLogHeader* pHeader, uint32_t* pCount)
{
    if (!pHeader || pHeader->MessageLength < sizeof(SATVIS_BODY_T))
        return false;
    SATVIS_BODY_T fixed;
    memcpy(&fixed, reinterpret_cast<const uint8_t*>(pHeader) + HEADER_SIZE, sizeof(fixed));
    if (fixed.Count > (pHeader->MessageLength - sizeof(fixed)) / sizeof(SATVIS_SAT_T))
        return false;
    *pCount = fixed.Count;
    return true;
}
} // namespace

int FormatSatVis(const void* pLog, int32_t nCapacity, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog);
    uint32_t nCount = 0;
    if (!pHeader || !pOutLength || nCapacity <= 0 || !SatVisCount(pHeader, &nCount))
        return 0;
    const uint8_t* pBody = static_cast<const uint8_t*>(pLog) + HEADER_SIZE;
    SATVIS_BODY_T fixed;
    memcpy(&fixed, pBody, sizeof(fixed));
    // There is no abbreviated form: the text is always full, with its CRC.
    const BinaryLogHeader header = OutputHeader(pHeader, pHeader->MessageLength, LOG_FORM_ASCII);
    uint32_t n = 0;
    if (!WriteAsciiHeader("SATVIS", &header, pOut, nCapacity, &n) ||
        !AppendFormat(pOut, nCapacity, &n, "%s,%s, %u", fixed.VisibilityValid ? "TRUE" : "FALSE",
                      fixed.CompleteAlmanac ? "TRUE" : "FALSE", fixed.Count))
        return 0;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        SATVIS_SAT_T sat;
        memcpy(&sat, pBody + sizeof(fixed) + i * sizeof(sat), sizeof(sat));
        if (!AppendFormat(pOut, nCapacity, &n, ",%u,%u,%u,%f,%f,%f,%f", sat.Prn, sat.GloFreq, sat.Health, sat.Elevation,
                          sat.Azimuth, sat.TheoreticalDoppler, sat.ApparentDoppler))
            return 0;
    }
    return FinishFullText(pOut, nCapacity, n, pOutLength);
}

int CopyBinarySatVis(const void* pLog, int32_t nCapacity, uint8_t* pOut, int32_t* pOutLength)
{
    uint32_t nCount = 0;
    uint32_t n = 0;
    if (!RecordHeader(pLog) || !pOutLength || !SatVisCount(static_cast<const BinaryLogHeader*>(pLog), &nCount) ||
        !CopyBinaryLogToWire(pLog, nCapacity, pOut, &n))
        return 0;
    *pOutLength = static_cast<int32_t>(n);
    return 1;
}

int DecodeRefStationText(const char* pText, int32_t nLength, uint8_t* pOut, int32_t* pOutLength)
{
    if (!pText || !pOut || !pOutLength || nLength < 1 || pText[0] != '#')
        return 0;
    const char* pComma = static_cast<const char*>(memchr(pText, ',', nLength));
    if (!pComma)
        return 0;
    const uint16_t nId = LogNameToId(pText + 1, 1, static_cast<uint32_t>(pComma - pText - 1));
    if (nId == MSG_ID_REFSTATION)
        return DecodeRefStation(pText, nLength, pOut, pOutLength);
    if (nId == MSG_ID_REFSTATIONINFO)
        return DecodeRefStationInfo(pText, nLength, pOut, pOutLength);
    return 0;
}

int FormatRefStation(const void* pLog, int32_t nCapacity, int32_t nMode, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog);
    REFSTATION_BODY_T body;
    if (!pHeader || !pOutLength || nCapacity <= 0 || !RefStationBody(pHeader, &body))
        return 0;
    if (nMode == 0)
        return EmitBinary(OutputHeader(pHeader, sizeof(body), LOG_FORM_BINARY), &body, sizeof(body), nCapacity, pOut,
                          pOutLength);
    const char* pType = CodeToName(GetDiffTypeTable(), body.StationType);
    if (!pType)
        return 0;
    const BinaryLogHeader header = OutputHeader(pHeader, sizeof(body), LOG_FORM_ASCII);
    uint32_t n = 0;
    if (!WriteAsciiHeader("REFSTATION", &header, pOut, nCapacity, &n) ||
        !AppendFormat(pOut, nCapacity, &n, "%08X,%.3f,%.3f,%.3f,%u,%s,\"%.*s\"", body.Status, body.X, body.Y, body.Z,
                      body.Health, pType, static_cast<int>(strnlen(body.StationId, sizeof(body.StationId))),
                      body.StationId))
        return 0;
    return FinishFullText(pOut, nCapacity, n, pOutLength);
}

int FormatRefStationInfo(const void* pLog, int32_t nCapacity, int32_t nMode, char* pOut, int32_t* pOutLength)
{
    const BinaryLogHeader* pHeader = RecordHeader(pLog);
    REFSTATIONINFO_BODY_T body;
    if (!pHeader || !pOutLength || nCapacity <= 0 || !RefStationInfoBody(pHeader, &body))
        return 0;
    if (nMode == 0)
        return EmitBinary(OutputHeader(pHeader, sizeof(body), LOG_FORM_BINARY), &body, sizeof(body), nCapacity, pOut,
                          pOutLength);
    const char* pType = CodeToName(GetDiffTypeTable(), body.StationType);
    // A datum ID without a name (such as an unknown name decoded) prints as the receiver's "ERROR" datum.
    const char* pDatum = DatumName(body.DatumId);
    if (!pDatum)
        pDatum = "ERROR";
    if (!pType)
        return 0;
    const BinaryLogHeader header = OutputHeader(pHeader, sizeof(body), LOG_FORM_ASCII);
    uint32_t n = 0;
    if (!WriteAsciiHeader("REFSTATIONINFO", &header, pOut, nCapacity, &n) ||
        !AppendFormat(pOut, nCapacity, &n, "%.9f,%.9f,%.9f,%s,%.3f,%u,%s,\"%.*s\",\"%.*s\",\"%.*s\"", body.Latitude,
                      body.Longitude, body.Height, pDatum, body.Undulation, body.Health, pType,
                      static_cast<int>(strnlen(body.StationId, sizeof(body.StationId))), body.StationId,
                      static_cast<int>(strnlen(body.AntennaModel, sizeof(body.AntennaModel))), body.AntennaModel,
                      static_cast<int>(strnlen(body.AntennaSerial, sizeof(body.AntennaSerial))), body.AntennaSerial))
        return 0;
    return FinishFullText(pOut, nCapacity, n, pOutLength);
}
