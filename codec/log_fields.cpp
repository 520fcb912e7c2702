#include "codec/log_fields.h"

#include <cmath>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/ins_logs.h"
#include "codec/position_logs.h"
#include "codec/profile.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
constexpr double kRadToDeg = 57.295779513;

// Largest body of a layout (INSSTATUS, 204 bytes) with room to spare.
constexpr uint16_t kBodyMax = 256;

// Conversion letter of a printf spec and whether it carries "ll".
struct Conversion
{
    char cLetter;
    bool bLongLong;
};

Conversion ConversionOf(const char* pszSpec)
{
    Conversion c{0, false};
    for (const char* p = pszSpec; *p; ++p)
    {
        if (*p == 'l' && p[1] == 'l')
            c.bLongLong = true;
        if (std::strchr("diuxXcsfeEgG", *p) && p != pszSpec)
            c.cLetter = *p;
    }
    return c;
}

const char* FieldSpec(const LOG_FIELD_T& f, FIELD_FORM_E eForm)
{
    if (f.pszConverter && !IsMonitorProfile())
        return f.pszConverter;
    return (eForm == FIELD_FORM_ABBREV && f.pszAbbrev) ? f.pszAbbrev : f.pszFull;
}

uint64_t LoadBits(const uint8_t* pBody, const LOG_FIELD_T& f)
{
    const uint8_t* p = pBody + f.nOffset;
    switch (f.eStore)
    {
    case FIELD_U8:
        return p[0];
    case FIELD_U16:
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    case FIELD_I16:
    {
        int16_t v;
        std::memcpy(&v, p, 2);
        return static_cast<uint64_t>(static_cast<int64_t>(v));
    }
    case FIELD_I32:
    {
        int32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<uint64_t>(static_cast<int64_t>(v));
    }
    case FIELD_U64:
    {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    }
    default:
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    }
}

double LoadReal(const uint8_t* pBody, const LOG_FIELD_T& f)
{
    if (f.eStore == FIELD_F32)
    {
        float v;
        std::memcpy(&v, pBody + f.nOffset, 4);
        return v;
    }
    double v;
    std::memcpy(&v, pBody + f.nOffset, 8);
    return f.eStore == FIELD_F64_RAD ? v * kRadToDeg : v;
}

const char* NameOf(uint8_t eNames, uint32_t nValue)
{
    const char* psz = nullptr;
    switch (eNames)
    {
    case NAMES_SOLUTION_STATUS:
        psz = SolutionStatusName(nValue);
        break;
    case NAMES_POSITION_TYPE:
        psz = PositionTypeName(nValue);
        break;
    case NAMES_DATUM:
        psz = DatumName(nValue);
        break;
    case NAMES_CLOCK_STATUS:
        psz = ClockStatusName(nValue);
        break;
    case NAMES_UTC_STATUS:
        psz = UtcStatusName(nValue);
        break;
    case NAMES_TIME_STATUS:
        psz = nValue <= 0xFF ? TimeStatusName(static_cast<uint8_t>(nValue)) : nullptr;
        break;
    case NAMES_AVEPOS_STATUS:
        psz = AvePosStatusName(nValue);
        break;
    case NAMES_INS_STATUS:
        psz = InsStatusName(nValue);
        break;
    case NAMES_TRUE_FALSE:
        psz = nValue ? "TRUE" : "FALSE";
        break;
    default:
        break;
    }
    // A value without a name is written as an empty field.
    return psz ? psz : "";
}

uint32_t ValueOfName(uint8_t eNames, const char* pszText)
{
    switch (eNames)
    {
    case NAMES_SOLUTION_STATUS:
        return SolutionStatusFromName(pszText);
    case NAMES_POSITION_TYPE:
        return PosTypeFromTableName(pszText);
    case NAMES_DATUM:
        return DatumFromName(pszText);
    case NAMES_CLOCK_STATUS:
        return ClockStatusFromName(pszText);
    case NAMES_UTC_STATUS:
        return UtcStatusFromName(pszText);
    case NAMES_TIME_STATUS:
    {
        const uint8_t v = TimeStatusValue(pszText);
        return v ? v : 0xFFFFFFFFu;
    }
    case NAMES_AVEPOS_STATUS:
        return AvePosStatusFromName(pszText);
    case NAMES_INS_STATUS:
        return InsStatusFromName(pszText);
    case NAMES_TRUE_FALSE:
        return std::strcmp(pszText, "TRUE") == 0 ? 1u : 0u;
    default:
        return 0xFFFFFFFFu;
    }
}

int AppendField(const LOG_FIELD_T& f, const uint8_t* pBody, FIELD_FORM_E eForm, char* pOut, uint32_t nCapacity,
                uint32_t* pLength)
{
    const char* pszSpec = FieldSpec(f, eForm);
    if (f.eNames != NAMES_NONE)
        return AppendFormat(pOut, nCapacity, pLength, pszSpec,
                            NameOf(f.eNames, static_cast<uint32_t>(LoadBits(pBody, f))));
    if (f.eStore == FIELD_STATION)
    {
        char szStation[5] = {0};
        std::memcpy(szStation, pBody + f.nOffset, 4);
        return AppendFormat(pOut, nCapacity, pLength, pszSpec, szStation);
    }
    if (f.eStore == FIELD_CHAR_U32)
    {
        // A zone letter that is not a printable character leaves the field empty
        // rather than putting a control byte into the line.
        const char c = static_cast<char>(pBody[f.nOffset]);
        const char szChar[2] = {(c > ' ' && c < 0x7F) ? c : '\0', '\0'};
        return AppendFormat(pOut, nCapacity, pLength, "%s", szChar);
    }
    if (f.eStore == FIELD_F32 || f.eStore == FIELD_F64 || f.eStore == FIELD_F64_RAD)
        return AppendFormat(pOut, nCapacity, pLength, pszSpec, LoadReal(pBody, f));

    const uint64_t uBits = LoadBits(pBody, f);
    const Conversion c = ConversionOf(pszSpec);
    if (c.bLongLong)
        return AppendFormat(pOut, nCapacity, pLength, pszSpec, static_cast<unsigned long long>(uBits));
    if (c.cLetter == 'd' || c.cLetter == 'i')
        return AppendFormat(pOut, nCapacity, pLength, pszSpec, static_cast<int>(static_cast<int32_t>(uBits)));
    return AppendFormat(pOut, nCapacity, pLength, pszSpec, static_cast<unsigned>(static_cast<uint32_t>(uBits)));
}

// ---- Field parsing ----

void StoreBits(uint8_t* pBody, const LOG_FIELD_T& f, uint64_t uBits)
{
    uint8_t* p = pBody + f.nOffset;
    switch (f.eStore)
    {
    case FIELD_U8:
        p[0] = static_cast<uint8_t>(uBits);
        break;
    case FIELD_U16:
    case FIELD_I16:
    {
        const uint16_t v = static_cast<uint16_t>(uBits);
        std::memcpy(p, &v, 2);
        break;
    }
    case FIELD_U64:
        std::memcpy(p, &uBits, 8);
        break;
    default:
    {
        const uint32_t v = static_cast<uint32_t>(uBits);
        std::memcpy(p, &v, 4);
        break;
    }
    }
}

// psz holds nLength characters and a NUL behind them.
bool ParseField(const LOG_FIELD_T& f, const char* psz, int32_t nLength, FIELD_FORM_E eForm, uint8_t* pBody)
{
    if (f.eNames != NAMES_NONE)
    {
        StoreBits(pBody, f, ValueOfName(f.eNames, psz));
        return true;
    }
    switch (f.eStore)
    {
    case FIELD_STATION:
    {
        // Between double quotes; an ID longer than the four bytes is cut.
        const size_t n = std::strlen(psz);
        if (n < 2 || psz[0] != '"' || psz[n - 1] != '"')
            return false;
        char Station[4] = {0};
        const size_t nKeep = (n - 2) < 4 ? n - 2 : 4;
        // Printable characters that cannot end a field or the body.
        for (size_t i = 1; i <= nKeep; ++i)
            if (psz[i] <= ' ' || psz[i] >= 0x7F || std::strchr(",*;\"", psz[i]))
                return false;
        std::memcpy(Station, psz + 1, nKeep);
        std::memcpy(pBody + f.nOffset, Station, 4);
        return true;
    }
    case FIELD_CHAR_U32:
    {
        if (std::strlen(psz) > 1)
            return false;
        StoreBits(pBody, f, static_cast<uint8_t>(psz[0]));
        return true;
    }
    case FIELD_F32:
    case FIELD_F64:
    case FIELD_F64_RAD:
    {
        double d = 0;
        if (!ParseRealText(psz, nLength, &d))
            return false;
        if (f.eStore == FIELD_F32)
        {
            const float v = static_cast<float>(d);
            std::memcpy(pBody + f.nOffset, &v, 4);
        }
        else
        {
            if (f.eStore == FIELD_F64_RAD)
                d /= kRadToDeg;
            std::memcpy(pBody + f.nOffset, &d, 8);
        }
        return true;
    }
    default:
        break;
    }

    uint64_t uMax = 0xFFFFFFFFu;
    int64_t nMin = 0;
    if (f.eStore == FIELD_U8)
        uMax = 0xFF;
    else if (f.eStore == FIELD_U16)
        uMax = 0xFFFF;
    else if (f.eStore == FIELD_U64)
        uMax = ~0ull;
    const Conversion c = ConversionOf(FieldSpec(f, eForm));
    const bool bHex = c.cLetter == 'x' || c.cLetter == 'X';
    const bool bSigned = c.cLetter == 'd' || c.cLetter == 'i';
    if (bSigned && f.eStore == FIELD_I32)
    {
        nMin = INT32_MIN;
        uMax = INT32_MAX;
    }
    else if (bSigned && f.eStore == FIELD_I16)
    {
        nMin = INT16_MIN;
        uMax = INT16_MAX;
    }
    uint64_t uBits = 0;
    if (!ParseIntegerText(psz, nLength, bHex ? 16 : 10, bSigned, nMin, uMax, &uBits))
        return false;
    StoreBits(pBody, f, uBits);
    return true;
}

// Splits pText[0 .. nLength) into fields at separator characters; a field that
// opens with a double quote runs to its closing quote. Returns the count, or
// -1 for a NUL, an open quote or more than kFieldsMax fields.
constexpr int kFieldsMax = 64;
// Longest field read: names and station IDs are far shorter than the longest number.
constexpr int32_t kFieldMax = TEXT_NUMBER_MAX;

struct FIELD_SPAN_T
{
    int32_t nStart;
    int32_t nLength;
};

int SplitFields(const char* pText, int32_t nLength, const char* pszSeparators, FIELD_SPAN_T* pFields)
{
    int nCount = 0;
    int32_t i = 0;
    for (;;)
    {
        if (nCount == kFieldsMax)
            return -1;
        const int32_t nStart = i;
        const bool bQuoted = i < nLength && pText[i] == '"';
        if (bQuoted)
        {
            ++i;
            while (i < nLength && pText[i] != '"' && pText[i] != '\0')
                ++i;
            if (i >= nLength || pText[i] != '"')
                return -1;
            ++i;
        }
        while (i < nLength && !std::strchr(pszSeparators, pText[i]))
        {
            if (pText[i] == '\0')
                return -1;
            ++i;
        }
        pFields[nCount++] = FIELD_SPAN_T{nStart, i - nStart};
        if (i >= nLength)
            return nCount;
        ++i; // the separator
    }
}
}

int TextIsName(const char* pText, const char* pszName)
{
    if (!pText || !pszName)
        return 0;
    const size_t n = std::strlen(pszName);
    return std::strncmp(pText, pszName, n) == 0 && (pText[n] == '\0' || std::strchr(",*; \t\r\n\"", pText[n]));
}

FIELD_FORM_E FieldFormOf(uint8_t uMessageType)
{
    return LogTextForm(uMessageType) == LOG_TEXT_ABBREV ? FIELD_FORM_ABBREV : FIELD_FORM_FULL;
}

uint8_t HeaderTypeOf(FIELD_FORM_E eForm)
{
    return eForm == FIELD_FORM_ABBREV ? AbbrevFormMarker() : static_cast<uint8_t>(LOG_FORM_ASCII);
}

uint8_t ShortHeaderFlag() { return IsMonitorProfile() ? 0x01 : LOG_TYPE_SHORT_HEADER; }

int AppendLogBody(const LOG_LAYOUT_T& Layout, const void* pBody, FIELD_FORM_E eForm, char* pOut, uint32_t nCapacity,
                  uint32_t* pLength)
{
    const uint8_t* pBytes = static_cast<const uint8_t*>(pBody);
    if (eForm == FIELD_FORM_ABBREV && !AppendFormat(pOut, nCapacity, pLength, "%s", Layout.pszAbbrevLead))
        return 0;
    for (uint16_t i = 0; i < Layout.nFields; ++i)
    {
        const LOG_FIELD_T& f = Layout.pFields[i];
        if (i > 0)
        {
            const char cSep = eForm != FIELD_FORM_ABBREV ? ',' : (f.cAbbrevSep ? f.cAbbrevSep : Layout.cAbbrevSep);
            if (!AppendFormat(pOut, nCapacity, pLength, "%c", cSep))
                return 0;
        }
        if (!AppendField(f, pBytes, eForm, pOut, nCapacity, pLength))
            return 0;
    }
    if (eForm == FIELD_FORM_FULL)
        return AppendTextLogCrc(pOut, nCapacity, pLength, 0);
    return AppendFormat(pOut, nCapacity, pLength, "\r\n");
}

int FormatLayoutLog(const LOG_LAYOUT_T& Layout, const char* pszName, const BinaryLogHeader* pHeader, const void* pBody,
                    char* pOut, int32_t nCapacity, int32_t* pOutLen)
{
    if (!pszName || !pHeader || !pBody || !pOut || !pOutLen || nCapacity <= 0 ||
        pHeader->MessageLength < Layout.nBodyLength)
        return 0;
    const FIELD_FORM_E eForm = FieldFormOf(pHeader->MessageType);
    // The header writer sees only the form, so header and body always agree.
    BinaryLogHeader Header = *pHeader;
    Header.MessageType = HeaderTypeOf(eForm);
    uint32_t nLength = 0;
    if (!WriteAsciiHeader(pszName, &Header, pOut, static_cast<uint32_t>(nCapacity), &nLength) ||
        !AppendLogBody(Layout, pBody, eForm, pOut, static_cast<uint32_t>(nCapacity), &nLength))
        return 0;
    *pOutLen = static_cast<int32_t>(nLength);
    return 1;
}

int ParseLayoutBody(const LOG_LAYOUT_T& Layout, const char* pBodyText, int32_t nLength, FIELD_FORM_E eForm, void* pBody)
{
    if (!pBodyText || !pBody || nLength < 0 || Layout.nFields > kFieldsMax || Layout.nBodyLength > kBodyMax)
        return 0;
    FIELD_SPAN_T Fields[kFieldsMax];
    // The abbreviated form separates by blanks, except where its format keeps a comma.
    const int nCount = SplitFields(pBodyText, nLength, eForm == FIELD_FORM_ABBREV ? " ,\t" : ",", Fields);
    if (nCount != Layout.nFields)
        return 0;
    uint8_t Body[kBodyMax] = {0};
    for (int i = 0; i < nCount; ++i)
    {
        char szField[kFieldMax + 1];
        if (Fields[i].nLength > kFieldMax)
            return 0;
        std::memcpy(szField, pBodyText + Fields[i].nStart, static_cast<size_t>(Fields[i].nLength));
        szField[Fields[i].nLength] = '\0';
        if (!ParseField(Layout.pFields[i], szField, Fields[i].nLength, eForm, Body))
            return 0;
    }
    std::memcpy(pBody, Body, Layout.nBodyLength);
    return 1;
}

namespace
{
// Index of the first c in pText[nFrom .. nLength), or -1.
int32_t FindChar(const char* pText, int32_t nFrom, int32_t nLength, char c)
{
    for (int32_t i = nFrom; i < nLength; ++i)
        if (pText[i] == c)
            return i;
    return -1;
}

// A text log taken apart: its header as a long header record, its name and its body.
struct TEXT_LOG_T
{
    BinaryLogHeader Header;
    FIELD_FORM_E eForm;
    const char* pBody;
    int32_t nBodyLength;
};

// The message ID of a text log: the given one, or the receiver ID of its name.
// A name the catalogue gives another ID belongs to another log.
uint16_t IdOfName(uint16_t nGiven, const char* pName, int32_t nNameLength)
{
    const uint16_t nNamed =
        nNameLength > 0 ? LogNameToId(pName, 1, static_cast<uint32_t>(nNameLength)) : LOG_ID_UNKNOWN;
    if (nGiven == 0)
        return nNamed;
    return (nNamed == LOG_ID_UNKNOWN || nNamed == nGiven) ? nGiven : LOG_ID_UNKNOWN;
}

void LongFromShort(const ShortBinaryLogHeader& Short, BinaryLogHeader* pLong)
{
    std::memset(pLong, 0, sizeof(*pLong));
    pLong->Sync[0] = LOG_SYNC_0;
    pLong->Sync[1] = LOG_SYNC_1;
    pLong->Sync[2] = LOG_SYNC_LONG;
    pLong->HeaderLength = LOG_HEADER_LENGTH;
    pLong->MessageId = Short.MessageId;
    pLong->Week = Short.Week;
    pLong->Milliseconds = Short.Milliseconds;
}

// "#NAMEA,...;body*crc" or "%NAMESA,week,seconds;body*crc".
bool OpenFullText(const char* pText, int32_t nLength, uint16_t nMessageId, TEXT_LOG_T* pLog)
{
    const int32_t nComma = FindChar(pText, 1, nLength, ',');
    const uint16_t nId = IdOfName(nMessageId, pText + 1, nComma - 1);
    if (nComma < 0 || nId == LOG_ID_UNKNOWN)
        return false;
    pLog->eForm = FIELD_FORM_FULL;
    if (pText[0] == '#')
    {
        uint32_t nOffset = 0, nBody = 0;
        std::memset(&pLog->Header, 0, sizeof(pLog->Header));
        if (!OpenTextLog(pText, nLength, nId, &pLog->Header, &nOffset, &nBody))
            return false;
        pLog->pBody = pText + nOffset;
        pLog->nBodyLength = static_cast<int32_t>(nBody);
        return true;
    }
    uint32_t nStar = 0;
    ShortBinaryLogHeader Short;
    if (!CheckTextLogCrc(pText, nLength, &nStar) ||
        !ParseShortAsciiHeader(pText, static_cast<int32_t>(nStar), nId, &Short))
        return false;
    const int32_t nSemicolon = FindChar(pText, 1, static_cast<int32_t>(nStar), ';');
    if (nSemicolon < 0)
        return false;
    LongFromShort(Short, &pLog->Header);
    pLog->pBody = pText + nSemicolon + 1;
    pLog->nBodyLength = static_cast<int32_t>(nStar) - nSemicolon - 1;
    return true;
}

// "<NAME port seq idle status week seconds rxstatus reserved version" or
// "<NAMES week seconds", then a body line "<\t...". The header line goes to
// the full-form header parsers with its blanks turned into commas.
bool OpenAbbrevText(const char* pText, int32_t nLength, uint16_t nMessageId, TEXT_LOG_T* pLog)
{
    const int32_t nLf = FindChar(pText, 0, nLength, '\n');
    if (nLf < 0)
        return false;
    const int32_t nLineEnd = (nLf > 0 && pText[nLf - 1] == '\r') ? nLf - 1 : nLf;
    constexpr int kTokensMax = 10;
    constexpr int kTokenMax = 31;
    char Tokens[kTokensMax][kTokenMax + 1];
    int nTokens = 0;
    for (int32_t i = 1; i <= nLineEnd;)
    {
        int32_t nEnd = i;
        while (nEnd < nLineEnd && pText[nEnd] != ' ')
            ++nEnd;
        if (nTokens == kTokensMax || nEnd - i < 1 || nEnd - i > kTokenMax)
            return false;
        for (int32_t k = i; k < nEnd; ++k)
            if (pText[k] == '\0' || pText[k] == ',' || pText[k] == ';' || pText[k] == '*')
                return false;
        std::memcpy(Tokens[nTokens], pText + i, static_cast<size_t>(nEnd - i));
        Tokens[nTokens++][nEnd - i] = '\0';
        i = nEnd + 1;
    }
    if (nTokens < 1)
        return false;
    const uint16_t nId = IdOfName(nMessageId, Tokens[0], static_cast<int32_t>(std::strlen(Tokens[0])));
    if (nId == LOG_ID_UNKNOWN)
        return false;

    char szHeader[kTokensMax * (kTokenMax + 1) + 8];
    uint32_t n = 0;
    if (nTokens == 10)
    {
        // The monitor writes the reserved field in decimal, the converter in hexadecimal.
        uint64_t uReserved = 0;
        if (IsMonitorProfile())
        {
            if (!ParseIntegerText(Tokens[8], static_cast<int32_t>(std::strlen(Tokens[8])), 10, false, 0, 0xFFFF,
                                  &uReserved))
                return false;
            std::snprintf(Tokens[8], sizeof(Tokens[8]), "%04x", static_cast<unsigned>(uReserved));
        }
        AppendFormat(szHeader, sizeof(szHeader), &n, "#%s", Tokens[0]);
        for (int k = 1; k < nTokens; ++k)
            AppendFormat(szHeader, sizeof(szHeader), &n, ",%s", Tokens[k]);
        AppendFormat(szHeader, sizeof(szHeader), &n, ";");
        std::memset(&pLog->Header, 0, sizeof(pLog->Header));
        if (!ParseAsciiHeader(szHeader, static_cast<int32_t>(n), nId, &pLog->Header))
            return false;
    }
    else if (nTokens == 3)
    {
        AppendFormat(szHeader, sizeof(szHeader), &n, "%%%sA,%s,%s;", Tokens[0], Tokens[1], Tokens[2]);
        ShortBinaryLogHeader Short;
        if (!ParseShortAsciiHeader(szHeader, static_cast<int32_t>(n), nId, &Short))
            return false;
        LongFromShort(Short, &pLog->Header);
    }
    else
        return false;

    // The body line: "<", one or two tabs, the fields, CR LF.
    int32_t nBody = nLf + 1;
    if (nBody >= nLength || pText[nBody] != '<')
        return false;
    ++nBody;
    while (nBody < nLength && pText[nBody] == '\t')
        ++nBody;
    int32_t nEnd = nBody;
    while (nEnd < nLength && pText[nEnd] != '\r' && pText[nEnd] != '\n')
        ++nEnd;
    // Without a CRC only the line end tells that the last field came whole.
    const int32_t nLineFeed = (nEnd < nLength && pText[nEnd] == '\r') ? nEnd + 1 : nEnd;
    if (nLineFeed >= nLength || pText[nLineFeed] != '\n')
        return false;
    pLog->eForm = FIELD_FORM_ABBREV;
    pLog->pBody = pText + nBody;
    pLog->nBodyLength = nEnd - nBody;
    return true;
}
}

int DecodeLayoutText(const LOG_LAYOUT_T& Layout, uint16_t nMessageId, DECODE_HEADER_E eHeader, const char* pText,
                     int32_t nLength, uint8_t* pOut, int32_t* pOutLen)
{
    if (!pText || !pOut || !pOutLen || nLength <= 0 || Layout.nBodyLength > kBodyMax)
        return 0;
    TEXT_LOG_T Log;
    bool bOpen = false;
    if (pText[0] == '#' || pText[0] == '%')
        bOpen = OpenFullText(pText, nLength, nMessageId, &Log);
    else if (pText[0] == '<')
        bOpen = OpenAbbrevText(pText, nLength, nMessageId, &Log);
    uint8_t Body[kBodyMax];
    if (!bOpen || !ParseLayoutBody(Layout, Log.pBody, Log.nBodyLength, Log.eForm, Body))
        return 0;

    if (eHeader == DECODE_SHORT_HEADER)
    {
        if (Layout.nBodyLength > 0xFF)
            return 0;
        ShortBinaryLogHeader Short;
        FillShortBinaryHeader(Log.Header.MessageId, static_cast<uint8_t>(Layout.nBodyLength), Log.Header.Week,
                              Log.Header.Milliseconds, &Short);
        std::memcpy(pOut, &Short, sizeof(Short));
        std::memcpy(pOut + sizeof(Short), Body, Layout.nBodyLength);
        *pOutLen = static_cast<int32_t>(sizeof(Short) + Layout.nBodyLength);
        return 1;
    }
    Log.Header.MessageLength = Layout.nBodyLength;
    std::memcpy(pOut, &Log.Header, sizeof(Log.Header));
    std::memcpy(pOut + sizeof(Log.Header), Body, Layout.nBodyLength);
    *pOutLen = static_cast<int32_t>(sizeof(Log.Header) + Layout.nBodyLength);
    return 1;
}
