#include "monitor/parsing/ins_config.h"

#include <cmath>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/text_fields.h"
#include "codec/text_helpers.h"

namespace
{
constexpr CODE_NAME_ROW_T kAlignModes[] = {{0, "NONE"},    {1, "AUTO"},     {2, "STATIC"},
                                           {3, "DYNAMIC"}, {4, "DUAL_ANT"}, {5, "EX_HEADING"}};
constexpr CODE_NAME_ROW_T kFrames[] = {{0, "IMUBODY"}, {1, "VEHICLE"}, {2, "GNSS"}};
constexpr CODE_NAME_ROW_T kSwitches[] = {{0, "DISABLE"}, {1, "ENABLE"}, {2, "CLEAR"}};
constexpr CODE_NAME_ROW_T kCalibrationStates[] = {
    {0, "UNKNOWN"}, {1, "FROM_NVM"},      {2, "CALIBRATING"},    {3, "CALIBRATED"},         {4, "FROM_COMMAND"},
    {5, "RESET"},   {6, "FROM_DUAL_ANT"}, {7, "INS_CONVERGING"}, {8, "INSUFFICIENT_SPEED"}, {9, "HIGH_ROTATION"}};
constexpr CODE_NAME_ROW_T kOffsetSources[] = {
    {0, "NONE"},   {1, "ANT1"},  {2, "ANT2"},   {3, "EXTERNAL"}, {4, "USER"}, {5, "MARK1"},    {6, "MARK2"},
    {7, "GIMBAL"}, {9, "MARK3"}, {10, "MARK4"}, {11, "RBV"},     {12, "RBM"}, {13, "DUALANT"}, {14, "ODO"}};
constexpr CODE_NAME_ROW_T kProfiles[] = {{0, "DEFAULT"},         {1, "LAND_BASIC"}, {2, "MARINE_BASIC"},
                                         {3, "FIXEDWING_BASIC"}, {5, "VTOL_BASIC"}, {6, "RAIL_BASIC"},
                                         {7, "LOWSPEED"},        {33, "LAND_PLUS"}, {34, "MARINE_PLUS"}};
constexpr CODE_NAME_ROW_T kImuTypes[] = {
    {0, "UNKNOWN"},      {1, "HG1700_AG11"},  {4, "HG1700_AG17"},  {5, "HG1900_CA29"},     {8, "LN200"},
    {11, "HG1700_AG58"}, {12, "HG1700_AG62"}, {13, "IMAR_FSAS"},   {16, "KVH_COTS"},       {20, "HG1930_AA99"},
    {26, "ISA100C"},     {27, "HG1900_CA50"}, {28, "HG1930_CA50"}, {31, "ADIS16488"},      {32, "STIM300"},
    {33, "KVH_1750"},    {34, "ISA100"},      {41, "EPSON_G320"},  {42, "EPSON_G365"},     {52, "LITEF_MICROIMU"},
    {56, "STIM300D"},    {58, "HG4930_AN01"}, {61, "EPSON_G370"},  {62, "EPSON_G320_200"}, {63, "IMU1775"},
    {258, "BMX055"},     {259, "BMI088"},     {513, "AI_381"},     {514, "AI_OPEN300"},    {515, "AI_OPEN330"},
    {516, "AI_383"},     {517, "AI_OPEN400"}, {518, "AI_OPEN500"}};

template <size_t N> CODE_NAME_TABLE_T TableOf(const CODE_NAME_ROW_T (&Rows)[N])
{
    return {Rows, static_cast<uint32_t>(N)};
}

bool IsPad(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Strips blanks, tabs and line ends at both ends of a field.
void Trim(const char** ppText, int32_t* pLength)
{
    while (*pLength > 0 && IsPad(**ppText))
        ++*ppText, --*pLength;
    while (*pLength > 0 && IsPad((*ppText)[*pLength - 1]))
        --*pLength;
}

template <size_t N> uint32_t FromName(const CODE_NAME_ROW_T (&Rows)[N], const char* pName, int32_t nLength)
{
    if (pName == nullptr)
        return INS_NAME_UNKNOWN;
    if (nLength < 0)
        nLength = static_cast<int32_t>(std::strlen(pName));
    Trim(&pName, &nLength);
    for (const CODE_NAME_ROW_T& Row : Rows)
        if (StrEqualLenNoCase(pName, Row.Name, static_cast<size_t>(nLength), std::strlen(Row.Name)))
            return Row.Code;
    return INS_NAME_UNKNOWN;
}

template <size_t N> uint32_t FromNameOrZero(const CODE_NAME_ROW_T (&Rows)[N], const char* pName, int32_t nLength)
{
    const uint32_t v = FromName(Rows, pName, nLength);
    return v == INS_NAME_UNKNOWN ? 0 : v;
}

// Reads the INSCONFIGA fields one at a time, counting those that read.
class FieldReader
{
public:
    FieldReader(const char* pBegin, const char* pEnd) : m_Cursor(MakeFieldCursor(pBegin, pEnd)) {}
    int Count() const { return m_nRead; }

    bool Text(const char** ppField, int32_t* pLength)
    {
        if (!NextTextField(&m_Cursor, ppField, pLength))
            return false;
        Trim(ppField, pLength);
        return *pLength > 0 && Done();
    }
    bool Unsigned(int nBase, uint32_t* pValue)
    {
        const char* p;
        int32_t n;
        return NextTextField(&m_Cursor, &p, &n) && ParseFieldU32(p, TrimmedEnd(p, n), nBase, pValue) && Done();
    }
    bool Float(float* pValue)
    {
        const char* p;
        int32_t n;
        double d;
        // Lever arms in metres and angles in degrees: a value beyond the range
        // (or no finite number) is no INS setting, and would not fit a float.
        if (!NextTextField(&m_Cursor, &p, &n) || !ParseFieldF64(p, TrimmedEnd(p, n), &d) ||
            !(std::fabs(d) <= INS_CONFIG_VALUE_MAX))
            return false;
        *pValue = static_cast<float>(d);
        return Done();
    }
    template <size_t N> bool Name(const CODE_NAME_ROW_T (&Rows)[N], uint32_t* pValue)
    {
        const char* p;
        int32_t n;
        if (!NextTextField(&m_Cursor, &p, &n))
            return false;
        *pValue = FromName(Rows, p, n);
        return *pValue != INS_NAME_UNKNOWN && Done();
    }
    // Peeks at the next field without taking it.
    bool Peek(const char** ppField, int32_t* pLength) const
    {
        TextFieldCursor c = m_Cursor;
        if (!NextTextField(&c, ppField, pLength))
            return false;
        Trim(ppField, pLength);
        return true;
    }

private:
    static int32_t TrimmedEnd(const char* p, int32_t n)
    {
        while (n > 0 && IsPad(p[n - 1]))
            --n;
        return n;
    }
    bool Done()
    {
        ++m_nRead;
        return true;
    }
    TextFieldCursor m_Cursor;
    int m_nRead = 0;
};

bool ReadEntry(FieldReader* pReader, INS_OFFSET_T* pEntry)
{
    if (!pReader->Name(kOffsetSources, &pEntry->Source) || !pReader->Name(kFrames, &pEntry->Frame))
        return false;
    for (float& v : pEntry->Value)
        if (!pReader->Float(&v))
            return false;
    for (float& v : pEntry->StdDev)
        if (!pReader->Float(&v))
            return false;
    return pReader->Name(kCalibrationStates, &pEntry->CalibrationState);
}

// Reads nDeclared entries, keeping at most INS_CONFIG_MAX_OFFSETS of them.
bool ReadEntries(FieldReader* pReader, uint32_t nDeclared, INS_OFFSET_T* pEntries, uint32_t* pKept)
{
    *pKept = 0;
    for (uint32_t i = 0; i < nDeclared; ++i)
    {
        INS_OFFSET_T Entry{};
        if (!ReadEntry(pReader, &Entry))
            return false;
        if (i < INS_CONFIG_MAX_OFFSETS)
            pEntries[(*pKept)++] = Entry;
    }
    return true;
}

bool IsWord(const char* p, int32_t n, const char* pWord)
{
    return StrEqualLenNoCase(p, pWord, static_cast<size_t>(n), std::strlen(pWord));
}

bool ReadHead(FieldReader* pReader, INS_CONFIG_T* pRecord)
{
    const char* p;
    int32_t n;
    uint32_t v;
    if (!pReader->Text(&p, &n))
        return false;
    pRecord->ImuType = ImuTypeFromName(p, n);
    if (!pReader->Unsigned(10, &v) || v > 0xFF)
        return false;
    pRecord->Byte2 = static_cast<uint8_t>(v);
    if (!pReader->Unsigned(10, &v) || v > 0xFF)
        return false;
    pRecord->AlignVelocity = static_cast<uint8_t>(v);
    if (!pReader->Unsigned(10, &v) || v > 0xFFFF)
        return false;
    pRecord->Word4 = static_cast<uint16_t>(v);
    // An unknown profile or alignment mode reads as 0.
    if (!pReader->Text(&p, &n))
        return false;
    pRecord->Profile = FromNameOrZero(kProfiles, p, n);
    if (!pReader->Unsigned(16, &pRecord->EnabledUpdates) || !pReader->Text(&p, &n))
        return false;
    pRecord->AlignMode = FromNameOrZero(kAlignModes, p, n);
    // The relative-output words: direction, frame and flag, as many as the receiver writes.
    int nWords = 0;
    for (; pReader->Peek(&p, &n); ++nWords)
    {
        if (IsWord(p, n, "ROVER") || IsWord(p, n, "MASTER"))
            pRecord->RelativeDirection = IsWord(p, n, "MASTER");
        else if (IsWord(p, n, "ECEF") || IsWord(p, n, "LOCALLEVEL"))
            pRecord->RelativeFrame = IsWord(p, n, "LOCALLEVEL");
        else if (IsWord(p, n, "TRUE") || IsWord(p, n, "FALSE"))
            pRecord->RelativeFlag = IsWord(p, n, "TRUE");
        else
            break;
        pReader->Text(&p, &n);
    }
    if (nWords < 2 || nWords > 3 || !pReader->Unsigned(16, &pRecord->StatusWord) || !pReader->Unsigned(10, &v))
        return false;
    pRecord->SeedMode = v <= 2 ? v : 0;
    if (!pReader->Unsigned(10, &pRecord->SeedValidation))
        return false;
    for (char& c : pRecord->Flags)
    {
        if (!pReader->Text(&p, &n))
            return false;
        c = p[0];
    }
    return true;
}
} // namespace

const char* InsAlignModeName(uint32_t nValue) { return CodeToName(TableOf(kAlignModes), nValue); }
const char* InsFrameName(uint32_t nValue) { return CodeToName(TableOf(kFrames), nValue); }
const char* InsSwitchName(uint32_t nValue) { return CodeToName(TableOf(kSwitches), nValue); }
const char* InsCalibrationStateName(uint32_t nValue) { return CodeToName(TableOf(kCalibrationStates), nValue); }
const char* InsOffsetSourceName(uint32_t nValue) { return CodeToName(TableOf(kOffsetSources), nValue); }
const char* InsProfileName(uint32_t nValue) { return CodeToName(TableOf(kProfiles), nValue); }
const char* ImuTypeName(uint32_t nValue) { return CodeToName(TableOf(kImuTypes), nValue); }

uint32_t ImuTypeFromName(const char* pName, int32_t nLength)
{
    const uint32_t v = FromName(kImuTypes, pName, nLength);
    if (v != INS_NAME_UNKNOWN)
        return v;
    constexpr CODE_NAME_ROW_T kAliases[] = {{52, "MICROIMU"}, {258, "T_BMX055"}};
    return FromNameOrZero(kAliases, pName, nLength);
}

uint32_t InsOffsetSourceFromName(const char* pName, int32_t nLength)
{
    return FromName(kOffsetSources, pName, nLength);
}
uint32_t InsCalibrationStateFromName(const char* pName, int32_t nLength)
{
    return FromName(kCalibrationStates, pName, nLength);
}

int FieldOffset(uint32_t nComma, const char* pText, int32_t nLength, uint32_t* pOut)
{
    if (pText == nullptr || pOut == nullptr || nComma == 0)
        return 0;
    uint32_t nSeen = 0;
    for (int32_t i = 0; i < nLength; ++i)
        if (pText[i] == ',' && ++nSeen == nComma)
        {
            *pOut = static_cast<uint32_t>(i + 1);
            return 1;
        }
    return 0;
}

int ParseInsConfig(const char* pBody, int32_t nLength, INS_CONFIG_T* pRecord, bool* pComplete)
{
    if (pComplete != nullptr)
        *pComplete = false;
    if (pBody == nullptr || pRecord == nullptr || nLength < 0)
        return 0;
    const char* pStar = static_cast<const char*>(std::memchr(pBody, '*', static_cast<size_t>(nLength)));
    FieldReader Reader(pBody, pStar != nullptr ? pStar : pBody + nLength);
    INS_CONFIG_T Scratch{};
    uint32_t nDeclared = 0;
    const bool bComplete = ReadHead(&Reader, &Scratch) && Reader.Unsigned(10, &nDeclared) &&
                           ReadEntries(&Reader, nDeclared, Scratch.Translations, &Scratch.TranslationCount) &&
                           Reader.Unsigned(10, &nDeclared) &&
                           ReadEntries(&Reader, nDeclared, Scratch.Rotations, &Scratch.RotationCount);
    // Nothing may follow the last rotation.
    const char* p;
    int32_t n;
    const bool bClean = bComplete && !Reader.Peek(&p, &n);
    if (bClean)
        *pRecord = Scratch;
    if (pComplete != nullptr)
        *pComplete = bClean;
    return Reader.Count();
}
