#include "codec/catalogue.h"

#include <cstring>

#include "codec/profile.h"
#include "codec/text_helpers.h"

namespace
{
constexpr uint32_t ConstLength(const char* p)
{
    uint32_t n = 0;
    while (p[n] != '\0')
        ++n;
    return n;
}

constexpr LOG_NAME_ROW_T R(const char* pName, uint32_t nId) { return {pName, nId, ConstLength(pName)}; }

template <size_t N> constexpr LOG_NAME_TABLE_T Table(const LOG_NAME_ROW_T (&rows)[N])
{
    return {rows, static_cast<uint32_t>(N)};
}

template <size_t N> constexpr CODE_NAME_TABLE_T Table(const CODE_NAME_ROW_T (&rows)[N])
{
    return {rows, static_cast<uint32_t>(N)};
}

// Search order matters: without a length a name matches the first row that is
// a prefix of it, so longer names stand before their prefixes.
constexpr LOG_NAME_ROW_T kConverterReceiver[] = {
    R("PSRPOS", 47),          R("PPPPOS", 1538),       R("RTKPOS", 141),         R("BESTPOS", 42),
    R("BESTGNSSPOS", 1429),   R("PSRVEL", 100),        R("RTKVEL", 216),         R("BESTVEL", 99),
    R("BESTGNSSVEL", 1430),   R("PSRXYZ", 243),        R("RTKXYZ", 244),         R("BESTXYZ", 241),
    R("BESTGNSSXYZ", 1431),   R("HEADING2", 1335),     R("HEADING", 971),        R("AVEPOS", 172),
    R("PSRDOP", 174),         R("RTKDOP", 952),        R("TIMEDWHEELDATA", 622), R("TIMESYNC", 492),
    R("TIME", 101),           R("MATCHEDPOSH", 6006),  R("MATCHEDPOS", 96),      R("RAWIMUSX", 1462),
    R("RAWIMUX", 1461),       R("RAWIMUS", 325),       R("RAWIMU", 268),         R("WHEELVEL", 622),
    R("INSPVAX", 1465),       R("INSATT", 263),        R("INSPOS", 265),         R("INSVEL", 267),
    R("INSSPD", 266),         R("INSPVA", 507),        R("INSSTATUS", 8006),     R("MARK3PVA", 1118),
    R("MARK4PVA", 1119),      R("PASHR", 1177),        R("RANGEH", 6005),        R("RANGECMP4", 2050),
    R("RANGECMP", 140),       R("RANGE", 43),          R("GPSEPHEM", 7),         R("GLOEPHEMERIS", 723),
    R("GALEPHEMERIS", 1122),  R("BDSEPHEMERIS", 1696), R("BDSEPHEMERIS", 1700),  R("SBAS1", 977),
    R("QZSSEPHEMERIS", 1336), R("SATVIS2", 1043),      R("SATVIS", 48),          R("IONUTC", 8),
    R("BDSIONUTC", 2031),     R("QZSSIONUTC", 1347),   R("BASERANGE", 283),      R("REFSTATIONINFO", 1325),
    R("REFSTATION", 175),     R("MARKTIME", 181),      R("MARK2TIME", 231),      R("MARKPOS", 615),
    R("MARK2POS", 616),
};
static_assert(sizeof kConverterReceiver / sizeof kConverterReceiver[0] == 61, "converter receiver table");

constexpr LOG_NAME_ROW_T kMonitorReceiver[] = {
    R("BASERANGE", 283),     R("RANGEH", 6005),       R("RANGECMP4", 2050),      R("RANGECMP", 140),
    R("RANGE", 43),          R("PSRPOS", 47),         R("RTKPOS", 141),          R("PSRDOP", 174),
    R("RTKDOP", 952),        R("BESTGNSSPOS", 1429),  R("BESTPOS", 42),          R("MATCHEDPOSH", 6006),
    R("MATCHEDPOS", 96),     R("AVEPOS", 172),        R("PSRVEL", 100),          R("RTKVEL", 216),
    R("BESTGNSSVEL", 1430),  R("BESTVEL", 99),        R("PSRXYZ", 243),          R("RTKXYZ", 244),
    R("BESTXYZ", 241),       R("HEADINGRATE", 1698),  R("HEADING2", 1335),       R("HEADING", 971),
    R("GPSEPHEM", 7),        R("BDSEPHEMERIS", 1696), R("BD2EPHEM", 1696),       R("GLOEPHEMERIS", 723),
    R("GALEPHEMERIS", 1122), R("IONUTC", 8),          R("BDSIONUTC", 2031),      R("BD2IONUTC", 2031),
    R("GALIONO", 1127),      R("SATVIS2", 1043),      R("TIMESYNC", 492),        R("TIME", 101),
    R("GPGGA", 218),         R("GPGSA", 221),         R("GPGST", 222),           R("GPGLL", 219),
    R("GPGSV", 223),         R("GPRMC", 225),         R("GPVTG", 226),           R("GPHDT", 1045),
    R("GPZDA", 227),         R("KSXT", 8000),         R("REFSTATIONINFO", 1325), R("REFSTATION", 175),
    R("LOGLIST", 5),         R("VERSION", 37),        R("IPSTATUS", 1289),       R("COMCONFIG", 317),
    R("SERIALCONFIG", 1246), R("MARKTIME", 231),      R("MARK2TIME", 616),       R("MARKPOS", 181),
    R("MARK2POS", 615),
};
static_assert(sizeof kMonitorReceiver / sizeof kMonitorReceiver[0] == 57, "monitor receiver table");

constexpr bool ConstEqual(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// The monitor's second list: the converter's receiver table without
// TIMEDWHEELDATA, INSSTATUS, RANGECMP4 and the second BDSEPHEMERIS row.
constexpr bool InMonitorSecond(const LOG_NAME_ROW_T& row)
{
    return !ConstEqual(row.Name, "TIMEDWHEELDATA") && !ConstEqual(row.Name, "INSSTATUS") &&
           !ConstEqual(row.Name, "RANGECMP4") && row.Id != 1700;
}

struct MonitorSecondList
{
    LOG_NAME_ROW_T Rows[57];
};

constexpr MonitorSecondList MakeMonitorSecond()
{
    MonitorSecondList list{};
    size_t k = 0;
    for (const LOG_NAME_ROW_T& row : kConverterReceiver)
        if (InMonitorSecond(row))
            list.Rows[k++] = row;
    return list;
}

constexpr MonitorSecondList kMonitorSecond = MakeMonitorSecond();
static_assert(ConstEqual(kMonitorSecond.Rows[56].Name, "MARK2POS") && kMonitorSecond.Rows[42].Id == 1696,
              "monitor second list");

constexpr LOG_SLOT_ROW_T kStoreSlots[] = {
    {0, "PSRPOS", 47},           {1, "PPPPOS", 1538},          {2, "RTKPOS", 141},
    {3, "BESTPOS", 42},          {4, "BESTGNSSPOS", 1429},     {5, "PSRVEL", 100},
    {7, "RTKVEL", 216},          {8, "BESTVEL", 99},           {9, "BESTGNSSVEL", 1430},
    {10, "PSRXYZ", 243},         {12, "RTKXYZ", 244},          {13, "BESTXYZ", 241},
    {14, "BESTGNSSXYZ", 1431},   {16, "HEADING2", 1335},       {15, "HEADING", 971},
    {17, "AVEPOS", 172},         {48, "PSRDOP", 174},          {50, "RTKDOP", 952},
    {18, "TIME", 101},           {63, "TIMESYNC", 492},        {20, "MATCHEDPOSH", 6006},
    {19, "MATCHEDPOS", 96},      {21, "RAWIMU", 268},          {22, "RAWIMUX", 1461},
    {23, "RAWIMUS", 325},        {24, "RAWIMUSX", 1462},       {25, "WHEELVEL", 622},
    {26, "INSPVAX", 1465},       {27, "INSATT", 263},          {28, "INSPOS", 265},
    {29, "INSVEL", 267},         {30, "INSSPD", 266},          {31, "INSPVA", 507},
    {34, "MARK3PVA", 1118},      {35, "MARK4PVA", 1119},       {36, "PASHR", 1177},
    {38, "RANGEH", 6005},        {64, "RANGECMP4", 2050},      {39, "RANGECMP", 140},
    {37, "RANGE", 43},           {40, "GPSEPHEM", 7},          {41, "GLOEPHEMERIS", 723},
    {42, "GALEPHEMERIS", 1122},  {43, "BDSEPHEMERIS", 1696},   {44, "SBAS1", 977},
    {45, "QZSSEPHEMERIS", 1336}, {47, "SATVIS2", 1043},        {46, "SATVIS", 48},
    {52, "IONUTC", 8},           {53, "BDSIONUTC", 2031},      {55, "QZSSIONUTC", 1347},
    {56, "BASERANGE", 283},      {58, "REFSTATIONINFO", 1325}, {57, "REFSTATION", 175},
    {59, "MARKTIME", 181},       {60, "MARK2TIME", 231},       {61, "MARKPOS", 615},
    {62, "MARK2POS", 616},       {65, "INSSTATUS", 8006},
};
static_assert(sizeof kStoreSlots / sizeof kStoreSlots[0] == 59, "store slot list");

constexpr LOG_NAME_ROW_T kConverterInternal[] = {
    R("BASERANGE", 283),
    R("RANGEH", 43),
    R("RANGECMP", 41),
    R("RANGE", 40),
    R("RAWOBS", 8002),
    R("NAVPOS", 8001),
    R("BBDEBUG", 8000),
    R("PSRPOS", 101),
    R("RTKPOS", 102),
    R("BESTGNSSPOS", 106),
    R("BESTPOS2", 174),
    R("BESTPOS", 100),
    R("MATCHEDPOSH", 163),
    R("MATCHEDPOS", 103),
    R("AVEPOS", 164),
    R("PSRVEL", 121),
    R("RTKVEL", 122),
    R("BESTGNSSVEL", 126),
    R("BESTVEL", 120),
    R("PSRXYZ", 111),
    R("BESTGNSSXYZ", 116),
    R("RTKXYZ", 112),
    R("BESTXYZ2", 175),
    R("BESTXYZ", 110),
    R("PSRDOP", 165),
    R("RTKDOP", 166),
    R("HEADINGRATE", 162),
    R("HEADING2", 161),
    R("HEADING", 160),
    R("GPSEPHEM", 410),
    R("BDSEPHEMERIS", 910),
    R("BD2EPHEM", 910),
    R("GLOEPHEMERIS", 510),
    R("GALEPHEMERIS", 610),
    R("QZSSEPHEMERIS", 810),
    R("IONUTC", 430),
    R("BDSIONO", 930),
    R("BD2IONUTC", 930),
    R("GALIONO", 630),
    R("SATVIS2", 168),
    R("TIMESYNC", 141),
    R("TIME", 140),
    R("GPGGALONG", 199),
    R("GPGGA", 200),
    R("GPGSA", 202),
    R("GPGST", 209),
    R("GPGLL", 201),
    R("GPGSV", 203),
    R("GPDHV", 204),
    R("GPRMC", 208),
    R("GPVTG", 205),
    R("GPHDT", 207),
    R("GPZDA", 206),
    R("GPYBM", 210),
    R("GPTRA", 211),
    R("GPHPD", 212),
    R("GPNTR", 213),
    R("KSXT", 214),
    R("REFSTATIONINFO", 13),
    R("BASEINFO", 13),
    R("REFSTATION", 12),
    R("LOGLIST", 2),
    R("VERSION", 1),
    R("IPSTATUS", 5062),
    R("COMCONFIG", 5001),
    R("SERIALCONFIG", 5002),
    R("BDSCLOCK", 932),
    R("GLOCLOCK", 532),
    R("GALCLOCK", 632),
    R("GALIONO", 630),
    R("RAWALM", 418),
    R("RAWEPHEM", 412),
    R("BDSRAWNAVSUBFRAME", 913),
    R("MARKTIME", 181),
    R("MARK2TIME", 185),
    R("MARKPOS", 180),
    R("MARK2POS", 184),
    R("PX4GPS", 176),
    R("BESTUTM", 169),
    R("RXSTATUS", 4),
    R("INRTCMSTATUS", 7001),
};
static_assert(sizeof kConverterInternal / sizeof kConverterInternal[0] == 81, "converter internal table");

// The converter's scheme with the monitor's own numbers and rows; its single
// GALIONUTC row stands where the converter has its first GALIONO.
constexpr LOG_NAME_ROW_T kMonitorInternal[] = {
    R("BASERANGE", 283),     R("RANGEH", 6005),      R("RANGECMP", 44),      R("RANGE", 43),
    R("TQ", 8003),           R("RAWOBS", 8002),      R("NAVPOS", 8001),      R("BBDEBUG", 8000),
    R("PSRPOS", 101),        R("RTKPOS", 102),       R("PPPPOS", 104),       R("BESTGNSSPOS", 106),
    R("BESTPOS", 100),       R("MATCHEDPOSH", 163),  R("MATCHEDPOS", 103),   R("AVEPOS", 164),
    R("PSRVEL", 121),        R("RTKVEL", 122),       R("BESTGNSSVEL", 126),  R("BESTVEL", 120),
    R("PSRXYZ", 111),        R("BESTGNSSXYZ", 116),  R("RTKXYZ", 112),       R("BESTXYZ", 110),
    R("PSRDOP", 165),        R("RTKDOP", 166),       R("HEADINGRATE", 162),  R("HEADING2", 161),
    R("HEADING", 160),       R("GPSEPHEM", 410),     R("BDSEPHEMERIS", 910), R("BD2EPHEM", 910),
    R("GLOEPHEMERIS", 510),  R("GALEPHEMERIS", 610), R("IONUTC", 430),       R("BDSIONUTC", 930),
    R("BD2IONUTC", 930),     R("GALIONUTC", 630),    R("SATVIS2", 168),      R("TIMESYNC", 141),
    R("TIME", 140),          R("GPGGA", 200),        R("GPGSA", 202),        R("GPGST", 209),
    R("GPGLL", 201),         R("GPGSV", 203),        R("GPDHV", 204),        R("GPRMC", 208),
    R("GPVTG", 205),         R("GPHDT", 207),        R("GPZDA", 206),        R("GPYBM", 210),
    R("GPTRA", 211),         R("GPHPD", 212),        R("GPNTR", 213),        R("KSXT", 214),
    R("REFSTATIONINFO", 13), R("BASEINFO", 13),      R("REFSTATION", 12),    R("LOGLIST", 2),
    R("VERSION", 1),         R("IPSTATUS", 5062),    R("COMCONFIG", 5001),   R("SERIALCONFIG", 5002),
    R("MARKTIME", 181),      R("MARK2TIME", 183),    R("MARKPOS", 180),      R("MARK2POS", 182),
    R("PX4GPS", 174),
};
static_assert(sizeof kMonitorInternal / sizeof kMonitorInternal[0] == 69, "monitor internal table");

constexpr CODE_NAME_ROW_T kTimeStatus[] = {
    {20, "UNKNOWN"},         {60, "APPROXIMATE"},   {80, "COARSEADJUSTING"}, {100, "COARSE"},
    {120, "COARSESTEERING"}, {130, "FREEWHEELING"}, {140, "FINEADJUSTING"},  {160, "FINE"},
    {180, "FINESTEERING"},   {190, "EXACT"},        {200, "SATTIME"},
};

constexpr CODE_NAME_ROW_T kConverterPositionType[] = {
    {0, "NONE"},          {1, "FIXEDPOS"},     {2, "FIXEDHEIGHT"},     {8, "DOPPLER_VELOCITY"},
    {16, "SINGLE"},       {17, "PSRDIFF"},     {18, "WAAS"},           {19, "PROPAGATED"},
    {20, "OMNISTAR"},     {32, "L1_FLOAT"},    {33, "IONOFREE_FLOAT"}, {34, "NARROW_FLOAT"},
    {48, "L1_INT"},       {49, "WIDE_INT"},    {50, "NARROW_INT"},     {51, "RTK_DIRECT_INS"},
    {52, "INS_SBAS"},     {53, "INS_PSRSP"},   {54, "INS_PSRDIFF"},    {55, "INS_RTKFLOAT"},
    {56, "INS_RTKFIXED"}, {64, "OMNISTAR_HP"}, {65, "OMNISTAR_XP"},    {66, "CDGPS"},
};
static_assert(sizeof kConverterPositionType / sizeof kConverterPositionType[0] == 24, "position types");

constexpr CODE_NAME_ROW_T kMonitorPositionType[] = {
    {0, "NONE"},
    {1, "FIXEDPOS"},
    {2, "FIXEDHEIGHT"},
    {8, "DOPPLER_VELOCITY"},
    {16, "SINGLE"},
    {17, "PSRDIFF"},
    {18, "WAAS"},
    {19, "PROPAGATED"},
    {20, "OMNISTAR"},
    {32, "L1_FLOAT"},
    {33, "IONOFREE_FLOAT"},
    {34, "NARROW_FLOAT"},
    {48, "L1_INT"},
    {49, "WIDE_INT"},
    {50, "NARROW_INT"},
    {51, "RTK_DIRECT_INS"},
    {52, "INS_SBAS"},
    {53, "INS_PSRSP"},
    {54, "INS_PSRDIFF"},
    {55, "INS_RTKFLOAT"},
    {56, "INS_RTKFIXED"},
    {68, "PPP_CONVERGING"},
    {69, "PPP"},
    {70, "OPERATIONAL"},
    {71, "WARNING"},
    {72, "OUT_OF_BOUNDS"},
    {73, "INS_PPP_CONVERGING"},
    {74, "INS_PPP"},
    {77, "PPP_BASIC_CONVERGING"},
    {78, "PPP_BASIC"},
    {79, "INS_PPP_BASIC_CONVERGING"},
    {80, "INS_PPP_BASIC"},
};

// The monitor's list is the same without the last row (22 INVALID_RATE).
constexpr CODE_NAME_ROW_T kSolutionStatus[] = {
    {0, "SOL_COMPUTED"},  {1, "INSUFFICIENT_OBS"}, {2, "NO_CONVERGENCE"},     {3, "SINGULARITY"}, {4, "COV_TRACE"},
    {5, "TEST_DIST"},     {6, "COLD_START"},       {7, "V_H_LIMIT"},          {8, "VARIANCE"},    {9, "RESIDUALS"},
    {10, "DELTA_POS"},    {11, "NEGATIVE_VAR"},    {13, "INTEGRITY_WARNING"}, {18, "PENDING"},    {19, "INVALID_FIX"},
    {20, "UNAUTHORIZED"}, {21, "ANTENNA_WARNING"}, {22, "INVALID_RATE"},
};
constexpr uint32_t kSolutionStatusCount = sizeof kSolutionStatus / sizeof kSolutionStatus[0];

constexpr CODE_NAME_ROW_T kDiffType[] = {{0, "NONE"}, {1, "RTCM"}, {2, "RTCA"}, {3, "CMR"}, {4, "RTCMV3"}};

const char* const kConverterPortKinds[PORT_KIND_COUNT] = {"COM", "USB", "FILE", "TELNET", "ICOM", "NCOM", "NCOM"};
const char* const kMonitorPortKinds[PORT_KIND_COUNT] = {"COM", "USB", "FILE", "TELNET", "ICOM", "NCOM", "DTU"};
// Highest number a kind may carry in the numeric port field, minus one.
constexpr uint32_t kPortKindCounts[PORT_KIND_COUNT] = {2, 0, 0, 0, 1, 0, 0};

const char* const* PortKindNames() { return IsMonitorProfile() ? kMonitorPortKinds : kConverterPortKinds; }

uint8_t SuffixToType(char c, bool* pOk)
{
    *pOk = true;
    if (c == 'B' || c == 'b')
        return LOG_FORM_BINARY;
    if (c == 'A' || c == 'a')
        return LOG_FORM_ASCII;
    *pOk = false;
    return 0xFF;
}

size_t BoundedLength(const char* pText, int32_t nLength)
{
    return nLength < 0 ? std::strlen(pText) : static_cast<size_t>(nLength);
}
} // namespace

LOG_NAME_TABLE_T GetLogNameTable(LOG_TABLE_E eTable)
{
    const bool bMonitor = IsMonitorProfile();
    switch (eTable)
    {
    case LOG_TABLE_INTERNAL:
        return bMonitor ? Table(kMonitorInternal) : Table(kConverterInternal);
    case LOG_TABLE_RECEIVER:
        return bMonitor ? Table(kMonitorReceiver) : Table(kConverterReceiver);
    case LOG_TABLE_MONITOR_SECOND:
        return Table(kMonitorSecond.Rows);
    }
    return {nullptr, 0};
}

const LOG_SLOT_ROW_T* GetStoreSlotList(uint32_t* pCount)
{
    if (pCount != nullptr)
        *pCount = static_cast<uint32_t>(sizeof kStoreSlots / sizeof kStoreSlots[0]);
    return kStoreSlots;
}

uint16_t LookupLogName(LOG_NAME_TABLE_T Table, const char* pName, uint32_t nLength, uint8_t* pType)
{
    if (pName == nullptr)
        return 0;
    for (uint32_t i = 0; i < Table.Count; ++i)
    {
        const LOG_NAME_ROW_T& row = Table.Rows[i];
        const uint32_t L = row.NameLength;
        if (nLength != 0 && nLength != L && nLength != L + 1)
            continue;
        if (!StrEqualNoCase(pName, row.Name, L))
            continue;
        const uint16_t nId = static_cast<uint16_t>(row.Id);
        if (pType == nullptr)
            return nId;
        if (nLength != L + 1)
        {
            *pType = AbbrevFormMarker();
            return nId;
        }
        bool bOk;
        *pType = SuffixToType(pName[L], &bOk);
        return bOk ? nId : LOG_ID_UNKNOWN;
    }
    if (pType != nullptr)
        *pType = 0xFF;
    return LOG_ID_UNKNOWN;
}

uint16_t LogNameToId(const char* pName, int32_t nSelector, uint32_t nLength, uint8_t* pType)
{
    return LookupLogName(GetLogNameTable(nSelector != 0 ? LOG_TABLE_RECEIVER : LOG_TABLE_INTERNAL), pName, nLength,
                         pType);
}

namespace
{
const LOG_NAME_ROW_T* InternalRowById(uint32_t nId)
{
    const LOG_NAME_TABLE_T t = GetLogNameTable(LOG_TABLE_INTERNAL);
    for (uint32_t i = 0; i < t.Count; ++i)
        if (t.Rows[i].Id == nId)
            return &t.Rows[i];
    return nullptr;
}
} // namespace

uint32_t LogIdToNameLength(uint32_t nInternalId)
{
    const LOG_NAME_ROW_T* pRow = InternalRowById(nInternalId);
    return pRow != nullptr ? pRow->NameLength : 0;
}

const char* LogIdToName(uint32_t nInternalId)
{
    const LOG_NAME_ROW_T* pRow = InternalRowById(nInternalId);
    return pRow != nullptr ? pRow->Name : nullptr;
}

uint16_t RangeLogNameToKind(const char* pName, uint32_t nLength, uint8_t* pType)
{
    if (pType != nullptr)
        *pType = 0xFF;
    if (pName == nullptr || nLength < 5 || nLength > 9 || std::memcmp(pName, "RANGE", 5) != 0)
        return LOG_ID_UNKNOWN;
    uint16_t nKind;
    char cSuffix = '\0';
    if (nLength == 5)
        nKind = RANGE_KIND_RANGE;
    else if (nLength >= 8 && std::memcmp(pName + 5, "CMP", 3) == 0)
    {
        nKind = RANGE_KIND_RANGECMP;
        if (nLength >= 9)
            cSuffix = pName[nLength - 1];
    }
    else if (pName[5] == 'H')
    {
        nKind = RANGE_KIND_RANGEH;
        if (nLength >= 7)
            cSuffix = pName[nLength - 1];
    }
    else if (nLength >= 7 && pName[nLength - 2] == '_' && pName[nLength - 1] == '1')
    {
        nKind = RANGE_KIND_RANGEH;
        if (nLength != 7)
            cSuffix = pName[5];
    }
    else
    {
        nKind = RANGE_KIND_RANGE;
        cSuffix = pName[5];
    }
    uint8_t uType = AbbrevFormMarker();
    if (cSuffix != '\0')
    {
        bool bOk;
        uType = SuffixToType(cSuffix, &bOk);
        if (!bOk)
            return LOG_ID_UNKNOWN;
    }
    if (pType != nullptr)
        *pType = uType;
    return nKind;
}

// ---- Enumerated fields ----

const char* CodeToName(CODE_NAME_TABLE_T Table, uint32_t nCode)
{
    for (uint32_t i = 0; i < Table.Count; ++i)
        if (Table.Rows[i].Code == nCode)
            return Table.Rows[i].Name;
    return nullptr;
}

CODE_NAME_TABLE_T GetTimeStatusTable() { return Table(kTimeStatus); }

CODE_NAME_TABLE_T GetPositionTypeTable()
{
    return IsMonitorProfile() ? Table(kMonitorPositionType) : Table(kConverterPositionType);
}

CODE_NAME_TABLE_T GetSolutionStatusTable()
{
    return {kSolutionStatus, IsMonitorProfile() ? kSolutionStatusCount - 1 : kSolutionStatusCount};
}

CODE_NAME_TABLE_T GetDiffTypeTable() { return Table(kDiffType); }

const char* TimeStatusName(uint8_t nValue) { return CodeToName(GetTimeStatusTable(), nValue); }

uint8_t TimeStatusValue(const char* pName)
{
    if (pName == nullptr)
        return 0;
    for (const CODE_NAME_ROW_T& row : kTimeStatus)
        if (std::strcmp(row.Name, pName) == 0)
            return static_cast<uint8_t>(row.Code);
    return 0;
}

const char* PositionTypeName(uint32_t nValue) { return CodeToName(GetPositionTypeTable(), nValue); }

const char* SolutionStatusName(uint32_t nValue) { return CodeToName(GetSolutionStatusTable(), nValue); }

uint32_t DiffTypeIndex(const char* pText, int32_t nLength)
{
    if (pText == nullptr)
        return 0;
    const size_t n = BoundedLength(pText, nLength);
    const void* pComma = std::memchr(pText, ',', n);
    if (pComma == nullptr)
        return 0;
    const size_t k = static_cast<size_t>(static_cast<const char*>(pComma) - pText);
    for (const CODE_NAME_ROW_T& row : kDiffType)
        if (std::strlen(row.Name) == k && std::memcmp(row.Name, pText, k) == 0)
            return row.Code;
    return 0;
}

// ---- Ports ----

uint32_t PortNameToCode(const char* pText, int32_t nLength)
{
    if (pText == nullptr)
        return PORT_CODE_INVALID;
    const size_t n = BoundedLength(pText, nLength);
    if (n >= 7 && StrEqualLenNoCase(pText, "SPECIAL", 7, 7) && (n == 7 || pText[7] == ' '))
        return PORT_CODE_SPECIAL;
    if (n < 3)
        return PORT_CODE_INVALID;
    const char* const* kinds = PortKindNames();
    for (uint32_t nKind = 0; nKind < PORT_KIND_COUNT; ++nKind)
    {
        if (!StrEqualLenNoCase(pText, kinds[nKind], 3, 3))
            continue;
        size_t p = std::strlen(kinds[nKind]);
        if (p >= n || pText[p] == ' ')
            return nKind * 16 + 1;
        if (pText[p] < '0' || pText[p] > '9')
            return PORT_CODE_INVALID;
        uint32_t nNumber = 0;
        // The number shares a byte with the kind: 15 is the highest it can be.
        while (p < n && pText[p] >= '0' && pText[p] <= '9')
        {
            nNumber = nNumber * 10 + static_cast<uint32_t>(pText[p++] - '0');
            if (nNumber > 15)
                return PORT_CODE_INVALID;
        }
        return nKind * 16 + nNumber;
    }
    return PORT_CODE_INVALID;
}

int32_t PortCodeToName(uint32_t nCode, char* pText, size_t nCapacity)
{
    if (pText == nullptr || nCapacity == 0)
        return -1;
    const uint32_t nKind = nCode >> 4;
    if (IsMonitorProfile() && nCode == PORT_ADDRESS_FILE)
        return FormatString(pText, nCapacity, "FILE");
    if (nKind == PORT_KIND_SPECIAL)
        return FormatString(pText, nCapacity, "SPECIAL");
    if (nKind >= PORT_KIND_COUNT)
    {
        pText[0] = '\0';
        return 0;
    }
    return FormatString(pText, nCapacity, "%s%u", PortKindNames()[nKind], nCode & 0xF);
}

uint8_t PortCodeToAddress(uint32_t nCode)
{
    // 224 is the monitor's code for a file port.
    if (nCode == PORT_ADDRESS_FILE)
        return PORT_ADDRESS_FILE;
    if (nCode > 15)
        return (nCode >> 4) == PORT_KIND_FILE ? PORT_ADDRESS_FILE : PORT_ADDRESS_SPECIAL;
    return nCode > 3 ? PORT_ADDRESS_SPECIAL : static_cast<uint8_t>(nCode * 32);
}

uint32_t PortAddressToCode(uint32_t nAddress)
{
    if (nAddress >= 32 && nAddress <= 96)
        return nAddress / 32;
    if (IsMonitorProfile())
    {
        if (nAddress >= PORT_ADDRESS_FILE && nAddress <= 255)
            return nAddress == PORT_ADDRESS_FILE ? PORT_ADDRESS_FILE : 32 + (nAddress - PORT_ADDRESS_FILE);
        return PORT_CODE_SPECIAL;
    }
    return nAddress == PORT_ADDRESS_FILE ? PORT_KIND_FILE * 16 : PORT_CODE_SPECIAL;
}

uint32_t PortKindLimit(uint32_t nKind) { return nKind < PORT_KIND_COUNT ? kPortKindCounts[nKind] + 1 : 0; }

uint32_t ParsePortField(const char* pText, int32_t nLength)
{
    if (pText == nullptr)
        return PORT_CODE_INVALID;
    const size_t n = BoundedLength(pText, nLength);
    uint32_t nCode = 0;
    if (n >= 3)
        nCode = PortNameToCode(pText, static_cast<int32_t>(n));
    else
        for (size_t i = 0; i < n && pText[i] >= '0' && pText[i] <= '9'; ++i)
            nCode = nCode * 10 + static_cast<uint32_t>(pText[i] - '0');
    if (nCode == 0 || nCode == PORT_CODE_INVALID)
        return PORT_CODE_INVALID;
    const uint32_t nKind = nCode >> 4;
    if (nKind >= PORT_KIND_COUNT || nKind == PORT_KIND_FILE || (nCode & 0xF) > PortKindLimit(nKind))
        return PORT_CODE_INVALID;
    return nCode;
}

// ---- Output messages ----

namespace
{
template <size_t N> constexpr OUTPUT_MESSAGE_SET_T Set(const char* pTitle, const OUTPUT_MESSAGE_T (&rows)[N])
{
    return {pTitle, rows, static_cast<uint32_t>(N)};
}

constexpr OUTPUT_MESSAGE_T kOutputNmea[] = {
    {"GPGGA", nullptr}, {"GPGLL", nullptr}, {"GPGSA", nullptr}, {"GPGSV", nullptr}, {"GPDHV", nullptr},
    {"GPZDA", nullptr}, {"GPRMC", nullptr}, {"GPHDT", nullptr}, {"GPGST", nullptr}, {"GPVTG", nullptr},
    {"KSXT", nullptr},  {"GPYBM", nullptr}, {"GPTRA", nullptr}, {"GPHPD", nullptr}, {"GPNTR", nullptr},
};
constexpr OUTPUT_MESSAGE_T kOutputRtcm32[] = {
    {"RTCM1006", "pos"}, {"RTCM1033", "type"}, {"RTCM1074", "GPS"}, {"RTCM1084", "GLO"}, {"RTCM1124", "BDS"},
};
constexpr OUTPUT_MESSAGE_T kOutputRtcm30[] = {
    {"RTCM1006", "pos"}, {"RTCM1033", "type"}, {"RTCM1004", "GPS"}, {"RTCM1012", "GLO"}, {"RTCM1104", "BDS"},
};
constexpr OUTPUT_MESSAGE_T kOutputRtcm23[] = {
    {"RTCM1", "GPS"}, {"RTCM3", "GPS"}, {"RTCM31", "GLO"}, {"RTCM32", "GLO"}, {"RTCM1819", "GPS+GLO"},
};
constexpr OUTPUT_MESSAGE_T kOutputPosition[] = {
    {"PSRPOS", nullptr},      {"PSRVEL", nullptr},      {"PSRXYZ", nullptr},      {"RTKPOS", nullptr},
    {"RTKVEL", nullptr},      {"RTKXYZ", nullptr},      {"BESTPOS", nullptr},     {"BESTVEL", nullptr},
    {"BESTXYZ", nullptr},     {"BESTGNSSPOS", nullptr}, {"BESTGNSSVEL", nullptr}, {"BESTGNSSXYZ", nullptr},
    {"MATCHEDPOS", nullptr},  {"MATCHEDPOSH", nullptr}, {"AVEPOS", nullptr},      {"HEADING", nullptr},
    {"HEADING2", nullptr},    {"TIME", nullptr},        {"TIMESYNC", nullptr},    {"PSRDOP", nullptr},
    {"RTKDOP", nullptr},
};
constexpr OUTPUT_MESSAGE_T kOutputIns[] = {
    {"INSPOS", nullptr},   {"INSPVAX", nullptr},  {"INSPVA", nullptr},   {"INSVEL", nullptr},
    {"INSSPD", nullptr},   {"INSATT", nullptr},   {"RAWIMU", nullptr},   {"TIMEDWHEELDATA", nullptr},
    {"PASHR", nullptr},    {"MARK1PVA", nullptr}, {"MARK2PVA", nullptr}, {"MARK3PVA", nullptr},
    {"MARK4PVA", nullptr}, {"RAWIMUX", nullptr},  {"RAWIMUSX", nullptr}, {"CORRIMUDATA", nullptr},
};
constexpr OUTPUT_MESSAGE_T kOutputObservation[] = {
    {"RANGE", nullptr},        {"RANGEH", nullptr},       {"RANGECMP", nullptr},       {"GPSEPHEM", nullptr},
    {"GLOEPHEMERIS", nullptr}, {"GALEPHEMERIS", nullptr}, {"BDSEPHEMERIS", nullptr},   {"IONUTC", nullptr},
    {"BDSIONUTC", nullptr},    {"BASERANGE", nullptr},    {"REFSTATION", nullptr},     {"REFSTATIONINFO", nullptr},
};

constexpr OUTPUT_MESSAGE_SET_T kNmeaSets[] = {Set(nullptr, kOutputNmea)};
constexpr OUTPUT_MESSAGE_SET_T kRtcmSets[] = {Set("RTCM3.2", kOutputRtcm32), Set("RTCM3.0", kOutputRtcm30),
                                              Set("RTCM2.3", kOutputRtcm23)};
constexpr OUTPUT_MESSAGE_SET_T kPositionSets[] = {Set(nullptr, kOutputPosition)};
constexpr OUTPUT_MESSAGE_SET_T kInsSets[] = {Set(nullptr, kOutputIns)};
constexpr OUTPUT_MESSAGE_SET_T kObservationSets[] = {Set(nullptr, kOutputObservation)};

template <size_t N> constexpr OUTPUT_GROUP_T Group(const OUTPUT_MESSAGE_SET_T (&sets)[N], bool bFormChoice)
{
    return {sets, static_cast<uint32_t>(N), bFormChoice};
}

constexpr OUTPUT_GROUP_T kOutputGroups[OUTPUT_GROUP_COUNT] = {
    Group(kNmeaSets, false), Group(kRtcmSets, false), Group(kPositionSets, true),
    Group(kInsSets, true),   Group(kObservationSets, true),
};
} // namespace

OUTPUT_GROUP_T GetOutputGroup(uint32_t nGroup)
{
    return nGroup < OUTPUT_GROUP_COUNT ? kOutputGroups[nGroup] : OUTPUT_GROUP_T{nullptr, 0, false};
}
