#include "converter/engine/rinex_readers.h"

#include <vector>

#include "codec/signals.h"
#include "codec/text_helpers.h"
#include "converter/engine/rinex_lines.h"
#include "converter/engine/rinex_obs_header.h"

char RinexSourceType(const char* pPath, size_t nLength)
{
    if (!pPath || nLength == 0)
        return 0;
    if (nLength >= 7 && StrEqualNoCase(pPath + nLength - 4, ".rnx", 4))
    {
        const char cType = pPath[nLength - 5];
        if (pPath[nLength - 7] != '_')
            return 0;
        if (cType == 'O' || cType == 'o')
            return 'O';
        return cType == 'N' || cType == 'n' ? 'N' : 0;
    }
    const char c = pPath[nLength - 1];
    if (c == 'O' || c == 'o')
        return 'O';
    return NavFileLetterToSystem(c) >= 0 ? c : 0;
}

namespace
{
enum : size_t
{
    HEAD_BYTES = 4096, // room for the first line behind blank ones
};

// What the first line of a file says it is.
struct HeaderType
{
    bool bRinex = false;     // a RINEX VERSION / TYPE line of version 2 or above
    bool bRinex3 = false;    // version 3 or above: each navigation record names its system
    bool bSystemTold = true; // a RINEX 2 navigation file that names its system
    char cType = 0;          // the reader's letter; 0 for a type no reader takes
    std::string sText;       // columns 21 to 60, for the debug log
};

HeaderType ReadHeaderType(const char* pHead, size_t nLength)
{
    HeaderType t;
    RinexLineReader lines(pHead, static_cast<uint32_t>(nLength < HEAD_BYTES ? nLength : HEAD_BYTES));
    RinexLine line{nullptr, 0};
    bool bLine = false;
    while ((bLine = lines.Next(&line)) && line.Blank(1, line.n))
    {
    }
    if (!bLine)
        return t;
    t.sText = line.Cols(21, 60);
    while (!t.sText.empty() && t.sText.back() == ' ')
        t.sText.pop_back();
    // Compact RINEX holds differences, not values: no reader takes it.
    if (line.HasLabel("CRINEX VERS"))
    {
        t.bRinex = true;
        return t;
    }
    double dVersion = 0.0;
    if (!line.HasLabel("RINEX VERSION / TYPE") || !RinexNumber(line, 1, 9, &dVersion) || dVersion < 2.0)
        return t;
    t.bRinex = true;
    t.bRinex3 = dVersion >= 3.0;
    switch (line.At(21))
    {
    case 'O':
        t.cType = 'O';
        break;
    case 'N':
        if (t.bRinex3)
        {
            t.cType = 'N';
            break;
        }
        switch (line.At(41))
        {
        case 'G':
            t.cType = 'N';
            break;
        case 'R':
            t.cType = 'G';
            break;
        case 'E':
            t.cType = 'L';
            break;
        case 'C':
            t.cType = 'C';
            break;
        default:
            t.cType = 'N';
            t.bSystemTold = false;
            break;
        }
        break;
    case 'G':
    case 'L':
        t.cType = line.At(21);
        break;
    default:
        break; // meteorological, clock, SBAS navigation and other files
    }
    return t;
}

bool IsNavType(char c) { return c != 0 && c != 'O'; }

// Whether two type letters ask for the same reading of a file.
bool SameReading(char cA, char cB, bool bRinex3)
{
    if (!IsNavType(cA) || !IsNavType(cB))
        return cA == cB;
    return bRinex3 || NavFileLetterToSystem(cA) == NavFileLetterToSystem(cB);
}

// A type letter in words; bAnySystem for a navigation file whose records
// name their systems (RINEX 3, or a long name, which holds any).
std::string TypeText(char c, bool bAnySystem)
{
    if (c == 'O')
        return "an observation file";
    if (bAnySystem)
        return "a navigation file";
    static const char* const kSystems[] = {"GPS", "GLONASS", "Galileo", "BeiDou"};
    const int nSystem = NavFileLetterToSystem(c);
    return std::string("a ") + (nSystem >= 0 && nSystem < 4 ? kSystems[nSystem] : "GPS") + " navigation file";
}
} // namespace

char RinexFileType(const char* pPath, size_t nPathLength, const char* pHead, size_t nHeadLength, std::string* pNote)
{
    if (pNote)
        pNote->clear();
    const char cName = RinexSourceType(pPath, nPathLength);
    const HeaderType head = pHead ? ReadHeaderType(pHead, nHeadLength) : HeaderType{};
    if (!head.bRinex)
        return cName;
    char cType = head.cType;
    // A RINEX 2 "N" file leaves its system to the name: Galileo and BeiDou
    // files are written that way; GLONASS files say "G".
    if (!head.bSystemTold && IsNavType(cName) && NavFileLetterToSystem(cName) != GNSS_SYSTEM_GLONASS)
        cType = cName;
    if (cName == 0 || SameReading(cName, cType, head.bRinex3) || !pNote)
        return cType;
    const bool bLongName = nPathLength >= 4 && StrEqualNoCase(pPath + nPathLength - 4, ".rnx", 4);
    const bool bAnySystem = bLongName || (head.bRinex3 && IsNavType(cType));
    *pNote = std::string(pPath, nPathLength) + ": its name gives " + TypeText(cName, bAnySystem);
    if (cType)
        *pNote +=
            ", its header (\"" + head.sText + "\") " + TypeText(cType, head.bRinex3) + ": read as its header says.\n";
    else
        *pNote += ", but its header (\"" + head.sText + "\") gives a type that is not converted.\n";
    return cType;
}

char RinexSourceFileType(FILE* pSrc, const char* pPath, size_t nPathLength)
{
    std::vector<char> head(HEAD_BYTES);
    size_t nHead = 0;
    if (pSrc && std::fseek(pSrc, 0, SEEK_SET) == 0)
    {
        nHead = std::fread(head.data(), 1, head.size(), pSrc);
        if (std::fseek(pSrc, 0, SEEK_SET) != 0)
            nHead = 0;
        std::clearerr(pSrc);
    }
    std::string sNote;
    const char cType = RinexFileType(pPath, nPathLength, nHead ? head.data() : nullptr, nHead, &sNote);
    if (!sNote.empty())
        DebugLogPrintf("%s", sNote.c_str());
    return cType;
}
