#include "converter/engine/rinex_obs_header.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec/gnss_numbering.h"
#include "codec/profile.h"
#include "codec/signals.h"
#include "codec/text_helpers.h"
#include "converter/engine/rinex_text.h"

namespace
{

const char kTypeLetters[] = "CLDS";
const uint32_t kTypeBits[] = {RINEX_OBS_C, RINEX_OBS_L, RINEX_OBS_D, RINEX_OBS_S};

template <size_t N> void SetText(char (&field)[N], const std::string& s)
{
    const size_t n = s.size() < N - 1 ? s.size() : N - 1;
    std::memcpy(field, s.data(), n);
    std::memset(field + n, 0, N - n);
}

// ---- Header text reading ----

enum LABEL_E
{
    LABEL_COMMENT,
    LABEL_VERSION,
    LABEL_PGM,
    LABEL_MARKER_NAME,
    LABEL_MARKER_NUMBER,
    LABEL_MARKER_TYPE,
    LABEL_OBSERVER,
    LABEL_RECEIVER,
    LABEL_ANTENNA,
    LABEL_TYPES2,
    LABEL_TYPES3,
    LABEL_SIGNAL_UNIT,
    LABEL_INTERVAL,
    LABEL_APPROX_POS,
    LABEL_DELTA_HEN,
    LABEL_DELTA_XYZ,
    LABEL_BORESIGHT,
    LABEL_ZERODIR_AZI,
    LABEL_ZERODIR_XYZ,
    LABEL_CENTER_OF_MASS,
    LABEL_FIRST_OBS,
    LABEL_LAST_OBS,
    LABEL_PHASE_SHIFT,
    LABEL_GLO_SLOTS,
    LABEL_GLO_BIASES,
    LABEL_LEAP,
    LABEL_END,
    LABEL_OTHER_KNOWN, // standard records this reader passes over
    LABEL_NONE,
};

const char* const kObsLabels[] = {
    "COMMENT",
    "RINEX VERSION / TYPE",
    "PGM / RUN BY / DATE",
    "MARKER NAME",
    "MARKER NUMBER",
    "MARKER TYPE",
    "OBSERVER / AGENCY",
    "REC # / TYPE / VERS",
    "ANT # / TYPE",
    "# / TYPES OF OBSERV",
    "SYS / # / OBS TYPES",
    "SIGNAL STRENGTH UNIT",
    "INTERVAL",
    "APPROX POSITION XYZ",
    "ANTENNA: DELTA H/E/N",
    "ANTENNA: DELTA X/Y/Z",
    "ANTENNA: B.SIGHT XYZ",
    "ANTENNA: ZERODIR AZI",
    "ANTENNA: ZERODIR XYZ",
    "CENTER OF MASS: XYZ",
    "TIME OF FIRST OBS",
    "TIME OF LAST OBS",
    "SYS / PHASE SHIFT",
    "GLONASS SLOT / FRQ #",
    "GLONASS COD/PHS/BIS",
    "LEAP SECONDS",
    "END OF HEADER",
};

// Further records of RINEX 2 and 3 observation headers. They carry nothing
// the record holds, but they are header lines, not text of unknown kind.
const char* const kOtherObsLabels[] = {
    "WAVELENGTH FACT L1/2", "RCV CLOCK OFFS APPL",  "# OF SATELLITES",
    "PRN / # OF OBS",       "SYS / DCBS APPLIED",   "SYS / PCVS APPLIED",
    "SYS / SCALE FACTOR",   "ANTENNA: PHASECENTER", "DOI",
    "LICENSE OF USE",       "STATION INFORMATION",
};

// Label spellings other writers use for a record of the table above.
const std::pair<const char*, LABEL_E> kLabelAliases[] = {{"REC #  / TYPE / VERS", LABEL_RECEIVER}};

struct Line
{
    const char* p;
    uint32_t n; // without the line end

    // Columns nFirst to nLast (counted from 1), clipped to the line.
    std::string Cols(uint32_t nFirst, uint32_t nLast) const
    {
        if (nFirst > n)
            return std::string();
        return std::string(p + nFirst - 1, (nLast < n ? nLast : n) - nFirst + 1);
    }
    std::string Text(uint32_t nFirst, uint32_t nLast) const
    {
        std::string s = Cols(nFirst, nLast);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.pop_back();
        return s;
    }
    char At(uint32_t nColumn) const { return nColumn <= n ? p[nColumn - 1] : ' '; }
    bool Blank(uint32_t nFirst, uint32_t nLast) const
    {
        return Text(nFirst, nLast).find_first_not_of(' ') == std::string::npos;
    }
    double Number(uint32_t nFirst, uint32_t nLast) const { return std::strtod(Cols(nFirst, nLast).c_str(), nullptr); }
    long Integer(uint32_t nFirst, uint32_t nLast) const
    {
        return std::strtol(Cols(nFirst, nLast).c_str(), nullptr, 10);
    }
};

bool LabelIs(const Line& line, const char* pLabel)
{
    const size_t n = std::strlen(pLabel);
    return line.n >= 60 + n && std::memcmp(line.p + 60, pLabel, n) == 0;
}

int FindLabel(const Line& line, const char* const* pTable, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        if (LabelIs(line, pTable[i]))
            return i;
    return -1;
}

// Splits the text into lines by their ends; a NUL ends the text.
template <typename F> uint32_t ForEachLine(const char* pText, uint32_t nLength, F onLine)
{
    if (!pText)
        return 0;
    nLength = static_cast<uint32_t>(strnlen(pText, nLength));
    uint32_t nPos = 0;
    while (nPos < nLength)
    {
        const char* pEnd = static_cast<const char*>(std::memchr(pText + nPos, '\n', nLength - nPos));
        const uint32_t nEnd = pEnd ? static_cast<uint32_t>(pEnd - pText) : nLength;
        const uint32_t nNext = pEnd ? nEnd + 1 : nLength;
        Line line{pText + nPos, nEnd - nPos};
        if (line.n && line.p[line.n - 1] == '\r')
            --line.n;
        // onLine: 0 go on, 1 stop behind this line, -1 stop at its start.
        const int nVerdict = onLine(line);
        if (nVerdict > 0)
            return nNext;
        if (nVerdict < 0)
            return nPos;
        nPos = nNext;
    }
    return nPos;
}

void ReadTriple(const Line& line, double* pOut)
{
    for (uint32_t i = 0; i < 3; ++i)
        pOut[i] = line.Number(1 + 14 * i, 14 + 14 * i);
}

uint32_t ObsTypeBit(char cLetter)
{
    switch (cLetter)
    {
    case 'C':
    case 'P':
        return RINEX_OBS_C;
    case 'L':
        return RINEX_OBS_L;
    case 'D':
        return RINEX_OBS_D;
    case 'S':
        return RINEX_OBS_S;
    case 'I':
        return RINEX_OBS_I;
    case 'X':
        return RINEX_OBS_X;
    default:
        return 0;
    }
}

int32_t ParseVersion(const Line& line) { return static_cast<int32_t>(std::lround(line.Number(1, 9) * 100.0)); }

// ---- Observation types ----

uint32_t WrittenTypeMask(const RinexObsHeader* pHeader) { return pHeader->nObsTypeMask & RINEX_OBS_WRITTEN; }

bool AddType(char (*pList)[3], uint32_t* pCount, uint32_t nMax, const char* pType)
{
    for (uint32_t i = 0; i < *pCount; ++i)
        if (std::strncmp(pList[i], pType, 2) == 0)
            return true;
    if (*pCount >= nMax)
        return false;
    std::memcpy(pList[(*pCount)++], pType, 3);
    return true;
}

// The RINEX 2 types of one system's signals in list order: per band, the
// pseudorange codes, then L, D and S.
std::vector<std::string> Rinex2TypesOfSystem(const RinexObsHeader* pHeader, uint32_t nSystem, const uint32_t* pCodes,
                                             uint32_t nCount)
{
    const int32_t nVersion = pHeader->nVersion;
    const uint32_t nMask = WrittenTypeMask(pHeader);
    std::string sBands;
    std::vector<std::string> psr;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        Rinex2Signal sig;
        // The one place a job meets each of its signals once: a signal the
        // version cannot name is noted here.
        if (!SignalCodeToRinex2(pCodes[i], nSystem, nVersion, &sig, true))
            continue;
        if (sBands.find(sig.cBand) == std::string::npos)
            sBands += sig.cBand;
        if (sig.szPseudorange[0])
            psr.emplace_back(sig.szPseudorange);
    }
    // 2.10 and 2.11 in the usual band order; the letter-coded lists as seen.
    if (nVersion != 200 && nVersion != 212)
    {
        std::string sOrdered;
        for (char c : std::string("125678"))
            if (sBands.find(c) != std::string::npos)
                sOrdered += c;
        sBands = sOrdered;
    }
    std::vector<std::string> types;
    for (char cBand : sBands)
    {
        if (nMask & RINEX_OBS_C)
            for (char cLetter : std::string("CP"))
                for (const std::string& s : psr)
                    if (s[0] == cLetter && s[1] == cBand)
                    {
                        types.push_back(s);
                        break;
                    }
        for (uint32_t k = 1; k < 4; ++k)
            if (nMask & kTypeBits[k])
                types.push_back(std::string(1, kTypeLetters[k]) + cBand);
    }
    return types;
}

void FillRinex3Types(const uint32_t aCodes[6][RINEX_SCAN_CODES], const uint32_t aCounts[6], RinexObsHeader* pHeader)
{
    const uint32_t nMask = WrittenTypeMask(pHeader);
    uint32_t nPerCode = 0;
    for (uint32_t bit : kTypeBits)
        nPerCode += (nMask & bit) ? 1 : 0;
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (!RinexSystemWritten(pHeader, s))
            continue;
        RinexSystemBlock& block = pHeader->Systems[s];
        RinexCodeList list{};
        const uint32_t nCount = aCounts[s] < RINEX_SCAN_CODES ? aCounts[s] : RINEX_SCAN_CODES;
        for (uint32_t i = 0; i < nCount; ++i)
        {
            const uint32_t nBefore = list.nCount;
            // A code joins only with all its types, so columns and types match.
            if (block.nTypeCount + nPerCode > RINEX_MAX_TYPES)
                break;
            if (!SignalCodeToRinexCode(aCodes[s][i], s, pHeader->nVersion, &list) || list.nCount == nBefore)
                continue;
            block.aCodes[block.nCodeCount++] = aCodes[s][i];
            for (uint32_t k = 0; k < 4; ++k)
                if (nMask & kTypeBits[k])
                    FormatString(block.szTypes[block.nTypeCount++], 4, "%c%s", kTypeLetters[k], list.szCodes[nBefore]);
        }
    }
}

void FillRinex2Types(const uint32_t aCodes[6][RINEX_SCAN_CODES], const uint32_t aCounts[6], RinexObsHeader* pHeader,
                     bool* pHasTypes)
{
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (!RinexSystemWritten(pHeader, s))
            continue;
        const uint32_t nCount = aCounts[s] < RINEX_SCAN_CODES ? aCounts[s] : RINEX_SCAN_CODES;
        const std::vector<std::string> types = Rinex2TypesOfSystem(pHeader, s, aCodes[s], nCount);
        pHasTypes[s] = !types.empty();
        if (pHeader->nVersion == 212)
        {
            // Each of GPS, GLONASS and Galileo keeps its own list.
            RinexSystemBlock& block = pHeader->Systems[s];
            for (const std::string& t : types)
                if (block.nTypeCount < RINEX_MAX_TYPES)
                    FormatString(block.szTypes[block.nTypeCount++], 4, "%s", t.c_str());
            continue;
        }
        for (const std::string& t : types)
            AddType(pHeader->szRinex2Types, &pHeader->nRinex2TypeCount, RINEX2_MAX_TYPES, t.c_str());
    }
    if (pHeader->nVersion != 200 && pHeader->nVersion != 212)
    {
        // One list for all systems, in band order whatever system brought a band.
        std::vector<std::string> sorted;
        for (char cBand : std::string("125678"))
            for (const char* pPrefix : {"C", "P", "L", "D", "S"})
                for (uint32_t i = 0; i < pHeader->nRinex2TypeCount; ++i)
                    if (pHeader->szRinex2Types[i][0] == pPrefix[0] && pHeader->szRinex2Types[i][1] == cBand)
                        sorted.emplace_back(pHeader->szRinex2Types[i]);
        for (uint32_t i = 0; i < sorted.size(); ++i)
            std::memcpy(pHeader->szRinex2Types[i], sorted[i].c_str(), 3);
    }
}

// ---- Header text writing ----

const char* TimeSystemOf(const RinexObsHeader* pHeader, int32_t nLeapMs, int32_t* pOffsetMs)
{
    *pOffsetMs = 0;
    if (pHeader->nVersion < 300)
        return "GPS";
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (!RinexSystemWritten(pHeader, s) || pHeader->Systems[s].nTypeCount == 0)
            continue;
        switch (s)
        {
        case GNSS_SYSTEM_GLONASS:
        {
            // GLONASS files run on UTC; without a known leap value the
            // job's stands in, else that of the first observation's date.
            *pOffsetMs = pHeader->aLeapSeconds[0] != 0 ? pHeader->aLeapSeconds[0] * 1000
                         : nLeapMs != 0                ? nLeapMs
                                        : GpsLeapMs(pHeader->FirstObs.nWeek, pHeader->FirstObs.nMsOfWeek);
            return "GLO";
        }
        case GNSS_SYSTEM_GALILEO:
            return "GAL";
        case GNSS_SYSTEM_BDS:
            *pOffsetMs = BDS_TIME_OFFSET_MS;
            return "BDT";
        case GNSS_SYSTEM_QZSS:
            return "QZS";
        default:
            return "GPS";
        }
    }
    return "GPS";
}

void StoreTimeOfObs(RinexTimeOfObs* pTime, int32_t nOffsetMs, const char* pSystem)
{
    CalendarTime cal{};
    if (GpsTimeToShiftedCalendar(pTime->nWeek, pTime->nMsOfWeek, nOffsetMs, &cal))
    {
        pTime->nYear = static_cast<int32_t>(cal.Year);
        pTime->nMonth = static_cast<int32_t>(cal.Month);
        pTime->nDay = static_cast<int32_t>(cal.Day);
        pTime->nHour = static_cast<int32_t>(cal.Hour);
        pTime->nMinute = static_cast<int32_t>(cal.Minute);
        pTime->dSecond = cal.Second + cal.Millisecond / 1000.0;
    }
    FormatString(pTime->szTimeSystem, sizeof(pTime->szTimeSystem), "%s", pSystem);
}

void WriteTimeOfObs(RinexText& out, const RinexTimeOfObs& t, const char* pLabel)
{
    out.HeaderLine(pLabel, "%6d%6d%6d%6d%6d%13.7f%5c%-3.3s", t.nYear, t.nMonth, t.nDay, t.nHour, t.nMinute, t.dSecond,
                   ' ', t.szTimeSystem);
}

bool AnyNonZero(const double* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (std::fabs(p[i]) > 0.0)
            return true;
    return false;
}

// "# / TYPES OF OBSERV": count and 9 types per line, continuation lines only
// while types remain.
void WriteRinex2Types(RinexText& out, const std::vector<std::string>& types)
{
    std::string sContent;
    char szItem[16];
    FormatString(szItem, sizeof(szItem), "%6u", static_cast<unsigned>(types.size()));
    sContent = szItem;
    for (size_t i = 0; i < types.size(); ++i)
    {
        if (i > 0 && i % 9 == 0)
        {
            out.HeaderLine("# / TYPES OF OBSERV", "%s", sContent.c_str());
            sContent.assign(6, ' ');
        }
        FormatString(szItem, sizeof(szItem), "    %-2.2s", types[i].c_str());
        sContent += szItem;
    }
    out.HeaderLine("# / TYPES OF OBSERV", "%s", sContent.c_str());
}

void WriteRinex3Types(RinexText& out, const RinexSystemBlock& block)
{
    char szItem[16];
    FormatString(szItem, sizeof(szItem), "%c  %3u", block.cSystem, block.nTypeCount);
    std::string sContent = szItem;
    for (uint32_t i = 0; i < block.nTypeCount; ++i)
    {
        if (i > 0 && i % 13 == 0)
        {
            out.HeaderLine("SYS / # / OBS TYPES", "%s", sContent.c_str());
            sContent.assign(6, ' ');
        }
        FormatString(szItem, sizeof(szItem), " %-3.3s", block.szTypes[i]);
        sContent += szItem;
    }
    out.HeaderLine("SYS / # / OBS TYPES", "%s", sContent.c_str());
}

void WritePhaseShift(RinexText& out, const RinexPhaseShift& shift, const char* pLabel)
{
    char szItem[64];
    FormatString(szItem, sizeof(szItem), "%c %-3.3s %8.5f  %02u", shift.cSystem, shift.szCode, shift.dCorrection,
                 shift.nSatCount);
    std::string sContent = szItem;
    const uint32_t nSats = shift.nSatCount < RINEX_MAX_SHIFT_SATS ? shift.nSatCount : RINEX_MAX_SHIFT_SATS;
    for (uint32_t i = 0; i < nSats; ++i)
    {
        if (i > 0 && i % 10 == 0)
        {
            out.HeaderLine(pLabel, "%s", sContent.c_str());
            sContent.assign(18, ' ');
        }
        FormatString(szItem, sizeof(szItem), " %-3.3s", shift.szSats[i]);
        sContent += szItem;
    }
    out.HeaderLine(pLabel, "%s", sContent.c_str());
}

void WriteGloSlots(RinexText& out, const RinexObsHeader* pHeader)
{
    const uint32_t nCount = pHeader->nGloSlotCount < RINEX_MAX_GLO_SLOTS ? pHeader->nGloSlotCount : RINEX_MAX_GLO_SLOTS;
    char szItem[32];
    FormatString(szItem, sizeof(szItem), "%3u ", nCount);
    std::string sContent = szItem;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        if (i > 0 && i % 8 == 0)
        {
            out.HeaderLine("GLONASS SLOT / FRQ #", "%s", sContent.c_str());
            sContent.assign(4, ' ');
        }
        FormatString(szItem, sizeof(szItem), "R%02d %2d ", pHeader->GloSlots[i].nSlot, pHeader->GloSlots[i].nFrequency);
        sContent += szItem;
    }
    out.HeaderLine("GLONASS SLOT / FRQ #", "%s", sContent.c_str());
}
} // namespace

bool RinexSystemWritten(const RinexObsHeader* pHeader, uint32_t nSystem)
{
    return nSystem < GNSS_SYSTEM_COUNT && nSystem != GNSS_SYSTEM_SBAS && (pHeader->nSysMask & (1u << nSystem)) &&
           RinexVersionHasSystem(pHeader->nVersion, nSystem);
}

std::string RinexObsHeaderSettingsPath()
{
    std::string sPath = GetCodecConfigDir() ? GetCodecConfigDir() : "";
    if (!sPath.empty() && sPath.back() != '/')
        sPath += '/';
    return sPath + "Settings/RinexObsHeaderSettings.bin";
}

bool ReadRinexObsHeaderSettings(RinexObsHeader* pHeader)
{
    // Read whole up to its bound, and only from a regular file: a FIFO there
    // would hold the window for ever.
    FILE* pFile = OpenRegularFileForReading(RinexObsHeaderSettingsPath().c_str());
    if (!pFile)
        return false;
    std::vector<char> text(RINEX_SETTINGS_MAX_BYTES + 1, 0);
    const size_t n = std::fread(text.data(), 1, RINEX_SETTINGS_MAX_BYTES, pFile);
    std::fclose(pFile);
    ParseRinexHeaderText(text.data(), static_cast<uint32_t>(n), pHeader);
    return true;
}

int LoadRinexObsHeaderSettings(RinexObsHeader* pHeader)
{
    // The job's own choices (version, systems, observation types) stay as the
    // window set them; the file supplies the station description.
    const int32_t nVersion = pHeader->nVersion;
    const uint8_t nSysMask = pHeader->nSysMask;
    const uint32_t nTypeMask = pHeader->nObsTypeMask;

    if (!ReadRinexObsHeaderSettings(pHeader))
    {
        DebugLogPrintf("%s\n", "Can not open setting file, use default settings.");
        pHeader->nVersion = 302;
        SetText(pHeader->szFileType, "OBSERVATION DATA");
        SetText(pHeader->szProgram, "Moxelin");
        SetText(pHeader->szRunBy, "Halvorne");
        SetText(pHeader->szMarkerName, "Halvorne Ant001");
        SetText(pHeader->szMarkerNumber, "Ant001");
        SetText(pHeader->szMarkerType, "GEODETIC");
        SetText(pHeader->szObserver, "Halvorne-001");
        SetText(pHeader->szAgency, "Halvorne");
        SetText(pHeader->szRecNumber, "Halvorne#001");
        SetText(pHeader->szRecType, "GEODETIC");
        SetText(pHeader->szRecVersion, "Halvorne QT9C2");
        SetText(pHeader->szAntNumber, "Ant001");
        SetText(pHeader->szAntType, "ROVER");
        pHeader->nObsTypeMask |= RINEX_OBS_WRITTEN;
    }
    if (nVersion > 0)
        pHeader->nVersion = nVersion;
    if (nSysMask)
        pHeader->nSysMask = nSysMask;
    if (nTypeMask)
        pHeader->nObsTypeMask = nTypeMask;
    return 0;
}

uint32_t ParseRinexHeaderText(const char* pText, uint32_t nLength, RinexObsHeader* pHeader)
{
    pHeader->nObsTypeMask = 0;
    uint32_t nRinex2Expected = 0;
    int nSystem3 = -1; // block of the SYS / # / OBS TYPES record being read; -2: a skipped system
    uint32_t nTypes3Expected = 0;
    const int nLabels = static_cast<int>(sizeof(kObsLabels) / sizeof(kObsLabels[0]));
    const int nOthers = static_cast<int>(sizeof(kOtherObsLabels) / sizeof(kOtherObsLabels[0]));

    return ForEachLine(pText, nLength,
                       [&](const Line& line) -> int
                       {
                           // A line without a label is passed over (a stray line in
                           // another program's header); one that opens a RINEX 3 epoch
                           // ends text that has no END OF HEADER.
                           if (line.n <= 60 || line.Blank(61, 80))
                               return line.n > 0 && line.p[0] == '>' ? -1 : 0;
                           int nLabel = FindLabel(line, kObsLabels, nLabels);
                           for (const auto& alias : kLabelAliases)
                               if (nLabel < 0 && LabelIs(line, alias.first))
                                   nLabel = alias.second;
                           if (nLabel < 0)
                               nLabel = FindLabel(line, kOtherObsLabels, nOthers) >= 0 ? LABEL_OTHER_KNOWN : LABEL_NONE;
                           switch (nLabel)
                           {
                           case LABEL_VERSION:
                               pHeader->nVersion = ParseVersion(line);
                               SetText(pHeader->szFileType, line.Text(21, 40));
                               pHeader->cSystem = line.At(41);
                               break;
                           case LABEL_PGM:
                               SetText(pHeader->szProgram, line.Text(1, 20));
                               SetText(pHeader->szRunBy, line.Text(21, 40));
                               SetText(pHeader->szDate, line.Text(41, 60));
                               break;
                           case LABEL_MARKER_NAME:
                               SetText(pHeader->szMarkerName, line.Text(1, 60));
                               break;
                           case LABEL_MARKER_NUMBER:
                               SetText(pHeader->szMarkerNumber, line.Text(1, 20));
                               break;
                           case LABEL_MARKER_TYPE:
                               SetText(pHeader->szMarkerType, line.Text(1, 20));
                               break;
                           case LABEL_OBSERVER:
                               SetText(pHeader->szObserver, line.Text(1, 20));
                               SetText(pHeader->szAgency, line.Text(21, 60));
                               break;
                           case LABEL_RECEIVER:
                               SetText(pHeader->szRecNumber, line.Text(1, 20));
                               SetText(pHeader->szRecType, line.Text(21, 40));
                               SetText(pHeader->szRecVersion, line.Text(41, 60));
                               break;
                           case LABEL_ANTENNA:
                               SetText(pHeader->szAntNumber, line.Text(1, 20));
                               SetText(pHeader->szAntType, line.Text(21, 40));
                               break;
                           case LABEL_APPROX_POS:
                               ReadTriple(line, pHeader->aApproxPos);
                               break;
                           case LABEL_DELTA_HEN:
                               ReadTriple(line, pHeader->aAntDeltaHen);
                               break;
                           case LABEL_DELTA_XYZ:
                               ReadTriple(line, pHeader->aAntDeltaXyz);
                               break;
                           case LABEL_BORESIGHT:
                               ReadTriple(line, pHeader->aBoresight);
                               break;
                           case LABEL_ZERODIR_AZI:
                               pHeader->dZeroDirAzimuth = line.Number(1, 14);
                               break;
                           case LABEL_ZERODIR_XYZ:
                               ReadTriple(line, pHeader->aZeroDirXyz);
                               break;
                           case LABEL_CENTER_OF_MASS:
                               ReadTriple(line, pHeader->aCenterOfMass);
                               break;
                           case LABEL_TYPES2:
                           {
                               if (!line.Blank(1, 6))
                               {
                                   const long nCount = line.Integer(1, 6);
                                   nRinex2Expected = nCount > 0 ? static_cast<uint32_t>(nCount) : 0;
                                   pHeader->nRinex2TypeCount = 0;
                               }
                               for (uint32_t k = 0; k < 9; ++k)
                               {
                                   const std::string sType = line.Text(11 + 6 * k, 12 + 6 * k);
                                   if (sType.empty() || pHeader->nRinex2TypeCount >= nRinex2Expected ||
                                       pHeader->nRinex2TypeCount >= RINEX2_MAX_TYPES)
                                       continue;
                                   SetText(pHeader->szRinex2Types[pHeader->nRinex2TypeCount++], sType);
                                   pHeader->nObsTypeMask |= ObsTypeBit(sType[0]);
                               }
                               break;
                           }
                           case LABEL_TYPES3:
                           {
                               if (line.At(1) != ' ')
                               {
                                   const int s = SystemLetterToIndex(line.At(1));
                                   nSystem3 = (s >= 0 && s != GNSS_SYSTEM_SBAS) ? s : -2;
                                   const long nCount = line.Integer(4, 6);
                                   nTypes3Expected = nCount > 0 ? static_cast<uint32_t>(nCount) : 0;
                                   if (nSystem3 >= 0)
                                   {
                                       pHeader->Systems[nSystem3].nTypeCount = 0;
                                       pHeader->Systems[nSystem3].cSystem = line.At(1);
                                   }
                               }
                               if (nSystem3 < 0)
                                   break;
                               RinexSystemBlock& block = pHeader->Systems[nSystem3];
                               for (uint32_t k = 0; k < 13; ++k)
                               {
                                   const std::string sType = line.Text(8 + 4 * k, 10 + 4 * k);
                                   if (sType.empty() || block.nTypeCount >= nTypes3Expected ||
                                       block.nTypeCount >= RINEX_MAX_TYPES)
                                       continue;
                                   SetText(block.szTypes[block.nTypeCount++], sType);
                                   pHeader->nObsTypeMask |= ObsTypeBit(sType[0]);
                               }
                               break;
                           }
                           case LABEL_END:
                               return 1;
                           case LABEL_NONE:
                               // A label this reader does not know: the header goes on.
                               break;
                           default:
                               break;
                           }
                           return 0;
                       });
}

int FillRinexObsTypes(const uint32_t aSignalCodes[6][RINEX_SCAN_CODES], const uint32_t aSignalCounts[6],
                      RinexObsHeader* pHeader)
{
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (s == GNSS_SYSTEM_SBAS)
            continue;
        pHeader->Systems[s].nTypeCount = 0;
        pHeader->Systems[s].nCodeCount = 0;
        pHeader->Systems[s].cSystem = RinexSystemLetter(s);
    }
    pHeader->nRinex2TypeCount = 0;
    RinexCreationDate(pHeader->szDate);

    bool aHasTypes[GNSS_SYSTEM_COUNT] = {};
    if (pHeader->nVersion >= 300)
    {
        FillRinex3Types(aSignalCodes, aSignalCounts, pHeader);
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            aHasTypes[s] = s != GNSS_SYSTEM_SBAS && pHeader->Systems[s].nTypeCount > 0;
    }
    else
        FillRinex2Types(aSignalCodes, aSignalCounts, pHeader, aHasTypes);

    // The file's system letter counts the systems that will have columns.
    int nSystems = 0;
    char cLetter = 'G';
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        if (aHasTypes[s])
        {
            ++nSystems;
            cLetter = RinexSystemLetter(s);
        }
    pHeader->cSystem = nSystems >= 2 ? 'M' : cLetter;
    return 0;
}

int FillRinexPhaseShifts(const uint64_t aSatMasks[6][RINEX_SCAN_CODES], const uint32_t aSatCounts[6][RINEX_SCAN_CODES],
                         const uint32_t aSignalCounts[6], const uint32_t aSignalCodes[6][RINEX_SCAN_CODES],
                         RinexObsHeader* pHeader)
{
    (void)aSatCounts; // the satellites are listed from the masks, so count and list agree
    pHeader->nPhaseShiftCount = 0;
    if (pHeader->nVersion < 301 || !(pHeader->nObsTypeMask & RINEX_OBS_L))
        return 0;
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
    {
        if (!RinexSystemWritten(pHeader, s))
            continue;
        const RinexSystemBlock& block = pHeader->Systems[s];
        const uint32_t nCount = aSignalCounts[s] < RINEX_SCAN_CODES ? aSignalCounts[s] : RINEX_SCAN_CODES;
        for (uint32_t i = 0; i < nCount && pHeader->nPhaseShiftCount < RINEX_MAX_PHASE_SHIFTS; ++i)
        {
            char szCode[3];
            if (!RinexObsCode(aSignalCodes[s][i], s, pHeader->nVersion, szCode))
                continue;
            // Only signals that have columns in the header, each once.
            bool bInHeader = false;
            for (uint32_t c = 0; c < block.nCodeCount && !bInHeader; ++c)
            {
                char szBlock[3];
                bInHeader =
                    RinexObsCode(block.aCodes[c], s, pHeader->nVersion, szBlock) && !std::strcmp(szBlock, szCode);
            }
            bool bListed = false;
            for (uint32_t e = 0; e < pHeader->nPhaseShiftCount && !bListed; ++e)
                bListed = pHeader->PhaseShifts[e].cSystem == block.cSystem &&
                          !std::strcmp(pHeader->PhaseShifts[e].szCode + 1, szCode);
            if (!bInHeader || bListed)
                continue;
            RinexPhaseShift& shift = pHeader->PhaseShifts[pHeader->nPhaseShiftCount++];
            shift = RinexPhaseShift{};
            shift.cSystem = block.cSystem;
            FormatString(shift.szCode, sizeof(shift.szCode), "L%s", szCode);
            shift.dCorrection = 0.0;
            for (uint32_t n = 0; n < 64 && shift.nSatCount < RINEX_MAX_SHIFT_SATS; ++n)
                if (aSatMasks[s][i] & (1ull << n))
                    FormatString(shift.szSats[shift.nSatCount++], 4, "%c%02u", block.cSystem, n + 1);
        }
    }
    return 0;
}

int SetGloSlotFrequencies(uint32_t nCount, const int32_t* pSlots, const int32_t* pFrequencies, RinexObsHeader* pHeader)
{
    if (nCount > RINEX_MAX_GLO_SLOTS)
        nCount = RINEX_MAX_GLO_SLOTS;
    pHeader->nGloSlotCount = nCount;
    for (uint32_t i = 0; i < nCount; ++i)
    {
        pHeader->GloSlots[i].nSlot = pSlots[i];
        pHeader->GloSlots[i].nFrequency = pFrequencies[i];
    }
    return 0;
}

int WriteRinexObsHeader(RinexObsHeader* pHeader, int32_t nLeapMs, char* pBuffer, uint32_t nCapacity)
{
    RinexText out(pBuffer, nCapacity);
    const RinexObsHeader& h = *pHeader;
    const int32_t nVersion = h.nVersion;
    const bool bRinex3 = nVersion >= 300;

    out.HeaderLine("RINEX VERSION / TYPE", "%9.2f%11c%-20.20s%c", nVersion / 100.0, ' ',
                   FieldText(h.szFileType).c_str(), h.cSystem ? h.cSystem : ' ');
    out.HeaderLine("PGM / RUN BY / DATE", "%-20.20s%-20.20s%-20.20s", FieldText(h.szProgram).c_str(),
                   FieldText(h.szRunBy).c_str(), FieldText(h.szDate).c_str());
    out.HeaderLine("COMMENT", "%s", "G=GPS, R=GLONASS, E=GALILEO, C=BDS, J=QZSS, M=MIXED");
    out.HeaderLine("MARKER NAME", "%-60.60s", FieldText(h.szMarkerName).c_str());
    if (h.szMarkerNumber[0])
        out.HeaderLine("MARKER NUMBER", "%-20.20s", FieldText(h.szMarkerNumber).c_str());
    if (h.szMarkerType[0] && bRinex3)
        out.HeaderLine("MARKER TYPE", "%-20.20s", FieldText(h.szMarkerType).c_str());
    out.HeaderLine("OBSERVER / AGENCY", "%-20.20s%-40.40s", FieldText(h.szObserver).c_str(),
                   FieldText(h.szAgency).c_str());
    out.HeaderLine("REC # / TYPE / VERS", "%-20.20s%-20.20s%-20.20s", FieldText(h.szRecNumber).c_str(),
                   FieldText(h.szRecType).c_str(), FieldText(h.szRecVersion).c_str());
    out.HeaderLine("ANT # / TYPE", "%-20.20s%-20.20s", FieldText(h.szAntNumber).c_str(),
                   FieldText(h.szAntType).c_str());
    out.HeaderLine("APPROX POSITION XYZ", "%14.4f%14.4f%14.4f", h.aApproxPos[0], h.aApproxPos[1], h.aApproxPos[2]);
    out.HeaderLine("ANTENNA: DELTA H/E/N", "%14.4f%14.4f%14.4f", h.aAntDeltaHen[0], h.aAntDeltaHen[1],
                   h.aAntDeltaHen[2]);
    if (bRinex3)
    {
        if (AnyNonZero(h.aAntDeltaXyz, 3))
            out.HeaderLine("ANTENNA: DELTA X/Y/Z", "%14.4f%14.4f%14.4f", h.aAntDeltaXyz[0], h.aAntDeltaXyz[1],
                           h.aAntDeltaXyz[2]);
        if (AnyNonZero(h.aBoresight, 3))
            out.HeaderLine("ANTENNA: B.SIGHT XYZ", "%14.4f%14.4f%14.4f", h.aBoresight[0], h.aBoresight[1],
                           h.aBoresight[2]);
        if (AnyNonZero(&h.dZeroDirAzimuth, 1))
            out.HeaderLine("ANTENNA: ZERODIR AZI", "%14.4f", h.dZeroDirAzimuth);
        if (AnyNonZero(h.aZeroDirXyz, 3))
            out.HeaderLine("ANTENNA: ZERODIR XYZ", "%14.4f%14.4f%14.4f", h.aZeroDirXyz[0], h.aZeroDirXyz[1],
                           h.aZeroDirXyz[2]);
        if (AnyNonZero(h.aCenterOfMass, 3))
            out.HeaderLine("CENTER OF MASS: XYZ", "%14.4f%14.4f%14.4f", h.aCenterOfMass[0], h.aCenterOfMass[1],
                           h.aCenterOfMass[2]);
    }

    if (!bRinex3)
    {
        std::vector<std::string> types;
        if (nVersion == 212)
        {
            for (uint32_t s = GNSS_SYSTEM_GPS; s <= GNSS_SYSTEM_GALILEO; ++s)
                for (uint32_t i = 0; i < h.Systems[s].nTypeCount && i < RINEX_MAX_TYPES; ++i)
                    types.push_back(FieldText(h.Systems[s].szTypes[i]));
        }
        else
            for (uint32_t i = 0; i < h.nRinex2TypeCount && i < RINEX2_MAX_TYPES; ++i)
                types.push_back(FieldText(h.szRinex2Types[i]));
        // Full-cycle ambiguities; a list without L2 phase is a single-frequency file.
        bool bL2 = false;
        for (const std::string& t : types)
            bL2 = bL2 || t == "L2";
        out.HeaderLine("WAVELENGTH FACT L1/2", "%6d%6d", 1, bL2 ? 1 : 0);
        WriteRinex2Types(out, types);
    }
    else
    {
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
            if (RinexSystemWritten(pHeader, s) && h.Systems[s].nTypeCount > 0)
                WriteRinex3Types(out, h.Systems[s]);
        out.HeaderLine("SIGNAL STRENGTH UNIT", "%-20s", "DBHZ");
    }
    if (h.dInterval > 0.0)
        out.HeaderLine("INTERVAL", "%10.3f", h.dInterval);

    int32_t nOffsetMs = 0;
    const char* pTimeSystem = TimeSystemOf(pHeader, nLeapMs, &nOffsetMs);
    pHeader->nTimeSystemOffsetMs = nOffsetMs;
    StoreTimeOfObs(&pHeader->FirstObs, nOffsetMs, pTimeSystem);
    WriteTimeOfObs(out, h.FirstObs, "TIME OF FIRST OBS");
    if (h.LastObs.nWeek != 0)
    {
        StoreTimeOfObs(&pHeader->LastObs, nOffsetMs, pTimeSystem);
        WriteTimeOfObs(out, h.LastObs, "TIME OF LAST OBS");
    }

    if (bRinex3)
    {
        if (nVersion >= 301)
        {
            const char* pLabel = nVersion == 301 ? "SYS / PHASE SHIFTS" : "SYS / PHASE SHIFT";
            for (uint32_t i = 0; i < h.nPhaseShiftCount && i < RINEX_MAX_PHASE_SHIFTS; ++i)
            {
                const int s = SystemLetterToIndex(h.PhaseShifts[i].cSystem);
                if (s >= 0 && RinexSystemWritten(pHeader, static_cast<uint32_t>(s)))
                    WritePhaseShift(out, h.PhaseShifts[i], pLabel);
            }
        }
        WriteGloSlots(out, pHeader);
        out.HeaderLine("GLONASS COD/PHS/BIS", "%s", "");
    }
    if (h.aLeapSeconds[0] != 0)
    {
        if (bRinex3)
            out.HeaderLine("LEAP SECONDS", "%6d%6d%6d%6d", h.aLeapSeconds[0], h.aLeapSeconds[1], h.aLeapSeconds[2],
                           h.aLeapSeconds[3]);
        else
            out.HeaderLine("LEAP SECONDS", "%6d", h.aLeapSeconds[0]);
    }
    out.HeaderLine("END OF HEADER", "%s", "");
    return out.Result();
}

uint32_t ParseRinexNavHeaderText(const char* pText, uint32_t nLength, RinexNavInfo* pInfo)
{
    static const char* const kNavLabels[] = {"COMMENT",
                                             "RINEX VERSION / TYPE",
                                             "PGM / RUN BY / DATE",
                                             "IONOSPHERIC CORR",
                                             "TIME SYSTEM CORR",
                                             "LEAP SECONDS",
                                             "END OF HEADER",
                                             "ION ALPHA",
                                             "ION BETA",
                                             "DELTA-UTC: A0,A1,T,W",
                                             "CORR TO SYSTEM TIME",
                                             "D-UTC A0,A1,T,W,S,U",
                                             "DOI",
                                             "LICENSE OF USE",
                                             "STATION INFORMATION",
                                             "MERGED FILE"};
    const int nLabels = static_cast<int>(sizeof(kNavLabels) / sizeof(kNavLabels[0]));
    int nUnknown = 0;
    return ForEachLine(pText, nLength,
                       [&](const Line& line) -> int
                       {
                           const int nLabel = FindLabel(line, kNavLabels, nLabels);
                           if (nLabel == 1)
                           {
                               pInfo->nVersion = ParseVersion(line);
                               pInfo->cFileType = line.At(21);
                               if (pInfo->nVersion > 212)
                                   pInfo->cSystem = line.At(41);
                           }
                           else if (nLabel == 2)
                           {
                               SetText(pInfo->szProgram, line.Text(1, 20));
                               SetText(pInfo->szRunBy, line.Text(21, 40));
                               SetText(pInfo->szDate, line.Text(41, 60));
                           }
                           else if (nLabel == 6)
                               return 1;
                           else if (nLabel < 0 && ++nUnknown >= 6)
                               return -1;
                           return 0;
                       });
}

int NavFileLetterToSystem(char cLetter)
{
    switch (cLetter)
    {
    case 'N':
    case 'n':
        return GNSS_SYSTEM_GPS;
    case 'G':
    case 'g':
        return GNSS_SYSTEM_GLONASS;
    case 'L':
    case 'l':
        return GNSS_SYSTEM_GALILEO;
    case 'C':
    case 'c':
        return GNSS_SYSTEM_BDS;
    default:
        return -1;
    }
}
