#include "rinex_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace
{
// Lines of at most nMaxWidth columns (RINEX 3 satellite records have no limit).
std::vector<std::string> Lines(const std::string& sText, std::vector<std::string>* pErrors, size_t nMaxWidth = 80)
{
    std::vector<std::string> lines;
    size_t nPos = 0;
    while (nPos < sText.size())
    {
        const size_t nEnd = sText.find('\n', nPos);
        if (nEnd == std::string::npos)
        {
            pErrors->push_back("text does not end with a line end");
            lines.push_back(sText.substr(nPos));
            break;
        }
        lines.push_back(sText.substr(nPos, nEnd - nPos));
        nPos = nEnd + 1;
    }
    for (size_t i = 0; i < lines.size(); ++i)
    {
        if (lines[i].size() > nMaxWidth)
            pErrors->push_back("line " + std::to_string(i + 1) + " is longer than " + std::to_string(nMaxWidth) +
                               " columns");
        if (lines[i].find('\r') != std::string::npos)
            pErrors->push_back("line " + std::to_string(i + 1) + " holds a CR");
        if (lines[i].empty())
            pErrors->push_back("line " + std::to_string(i + 1) + " is empty");
    }
    return lines;
}

// Columns nFirst..nLast counted from 1, padded with blanks past the line end.
std::string Cols(const std::string& sLine, size_t nFirst, size_t nLast)
{
    std::string s = nFirst <= sLine.size() ? sLine.substr(nFirst - 1, nLast - nFirst + 1) : std::string();
    s.resize(nLast - nFirst + 1, ' ');
    return s;
}

std::string Trim(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string Label(const std::string& sLine) { return Trim(Cols(sLine, 61, 80)); }

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool Matches(const std::string& s, const char* pPattern) { return std::regex_match(s, std::regex(pPattern)); }

// Fortran fields: Iw, Fw.d, Dw.d (blank allowed where said).
bool IsInt(const std::string& s) { return Matches(s, " *-?[0-9]+"); }
bool IsFixed(const std::string& s, int nDecimals)
{
    return Matches(s, (" *-?[0-9]*\\.[0-9]{" + std::to_string(nDecimals) + "}").c_str());
}
bool IsD(const std::string& s, int nDigits)
{
    return Matches(s, (" *-?0?\\.[0-9]{" + std::to_string(nDigits) + "}[DE][-+][0-9]{2}").c_str());
}
double ReadD(std::string s)
{
    for (char& c : s)
        if (c == 'D')
            c = 'E';
    return std::strtod(s.c_str(), nullptr);
}

struct Complaints
{
    std::vector<std::string>* p;
    void operator()(size_t nLine, const std::string& s) const
    {
        p->push_back("line " + std::to_string(nLine + 1) + ": " + s);
    }
};

// ---- What each version defines ----

const std::set<std::string> kObsLabels2 = {
    "RINEX VERSION / TYPE", "PGM / RUN BY / DATE", "COMMENT",         "MARKER NAME",         "MARKER NUMBER",
    "OBSERVER / AGENCY",    "REC # / TYPE / VERS", "ANT # / TYPE",    "APPROX POSITION XYZ", "ANTENNA: DELTA H/E/N",
    "WAVELENGTH FACT L1/2", "# / TYPES OF OBSERV", "INTERVAL",        "TIME OF FIRST OBS",   "TIME OF LAST OBS",
    "RCV CLOCK OFFS APPL",  "LEAP SECONDS",        "# OF SATELLITES", "PRN / # OF OBS",      "END OF HEADER"};
const std::vector<std::string> kRequired2 = {"RINEX VERSION / TYPE", "PGM / RUN BY / DATE",  "MARKER NAME",
                                             "OBSERVER / AGENCY",    "REC # / TYPE / VERS",  "ANT # / TYPE",
                                             "APPROX POSITION XYZ",  "ANTENNA: DELTA H/E/N", "WAVELENGTH FACT L1/2",
                                             "# / TYPES OF OBSERV",  "TIME OF FIRST OBS",    "END OF HEADER"};
const std::set<std::string> kObsLabels3 = {"RINEX VERSION / TYPE",
                                           "PGM / RUN BY / DATE",
                                           "COMMENT",
                                           "MARKER NAME",
                                           "MARKER NUMBER",
                                           "MARKER TYPE",
                                           "OBSERVER / AGENCY",
                                           "REC # / TYPE / VERS",
                                           "ANT # / TYPE",
                                           "APPROX POSITION XYZ",
                                           "ANTENNA: DELTA H/E/N",
                                           "ANTENNA: DELTA X/Y/Z",
                                           "ANTENNA: PHASECENTER",
                                           "ANTENNA: B.SIGHT XYZ",
                                           "ANTENNA: ZERODIR AZI",
                                           "ANTENNA: ZERODIR XYZ",
                                           "CENTER OF MASS: XYZ",
                                           "SYS / # / OBS TYPES",
                                           "SIGNAL STRENGTH UNIT",
                                           "INTERVAL",
                                           "TIME OF FIRST OBS",
                                           "TIME OF LAST OBS",
                                           "RCV CLOCK OFFS APPL",
                                           "SYS / DCBS APPLIED",
                                           "SYS / PCVS APPLIED",
                                           "SYS / SCALE FACTOR",
                                           "SYS / PHASE SHIFT",
                                           "GLONASS SLOT / FRQ #",
                                           "GLONASS COD/PHS/BIS",
                                           "LEAP SECONDS",
                                           "# OF SATELLITES",
                                           "PRN / # OF OBS",
                                           "END OF HEADER"};
const std::vector<std::string> kRequired3 = {"RINEX VERSION / TYPE", "PGM / RUN BY / DATE",  "MARKER NAME",
                                             "OBSERVER / AGENCY",    "REC # / TYPE / VERS",  "ANT # / TYPE",
                                             "APPROX POSITION XYZ",  "ANTENNA: DELTA H/E/N", "SYS / # / OBS TYPES",
                                             "TIME OF FIRST OBS",    "SYS / PHASE SHIFT",    "GLONASS SLOT / FRQ #",
                                             "GLONASS COD/PHS/BIS",  "END OF HEADER"};

std::set<std::string> Rinex2Codes(int nVersion)
{
    std::set<std::string> codes = {"C1", "P1", "L1", "D1", "S1", "P2", "L2", "D2", "S2", "T1", "T2"};
    if (nVersion >= 211)
        for (const char* p :
             {"C2", "C5", "L5", "D5", "S5", "C6", "L6", "D6", "S6", "C7", "L7", "D7", "S7", "C8", "L8", "D8", "S8"})
            codes.insert(p);
    return codes;
}

// Band digit and attribute letters of each system's signals in a RINEX 3 version.
std::map<char, std::string> Rinex3Signals(char cSystem, int nVersion)
{
    switch (cSystem)
    {
    case 'G':
        return {{'1', "CSLXPWYMN"}, {'2', "CDSLXPWYMN"}, {'5', "IQX"}};
    case 'R':
        if (nVersion >= 304)
            return {{'1', "CP"}, {'2', "CP"}, {'3', "IQX"}, {'4', "ABX"}, {'6', "ABX"}};
        return {{'1', "CP"}, {'2', "CP"}, {'3', "IQX"}};
    case 'E':
        return {{'1', "ABCXZ"}, {'5', "IQX"}, {'7', "IQX"}, {'8', "IQX"}, {'6', "ABCXZ"}};
    case 'C':
        if (nVersion == 302)
            return {{'1', "IQX"}, {'7', "IQX"}, {'6', "IQX"}};
        if (nVersion == 303)
            return {{'2', "IQX"}, {'7', "IQX"}, {'6', "IQX"}};
        return {{'2', "IQX"}, {'1', "DPXAN"}, {'5', "DPX"}, {'7', "IQXDPZ"}, {'6', "IQXA"}};
    case 'J':
        return {{'1', "CSLXZ"}, {'2', "SLX"}, {'5', "IQX"}, {'6', "SLX"}};
    default:
        return {};
    }
}

bool Rinex3TypeValid(char cSystem, const std::string& sType, int nVersion)
{
    if (sType.size() != 3 || std::string("CLDS").find(sType[0]) == std::string::npos)
        return false;
    const auto signals = Rinex3Signals(cSystem, nVersion);
    const auto it = signals.find(sType[1]);
    return it != signals.end() && it->second.find(sType[2]) != std::string::npos;
}

void CheckTimeOfObs(const std::string& sLine, size_t n, int nVersion, const Complaints& bad)
{
    for (int i = 0; i < 5; ++i)
        if (!IsInt(Cols(sLine, 1 + 6 * i, 6 + 6 * i)))
            bad(n, "TIME OF OBS: I6 field " + std::to_string(i + 1));
    if (!IsFixed(Cols(sLine, 31, 43), 7) || !Blank(Cols(sLine, 44, 48)))
        bad(n, "TIME OF OBS: F13.7,5X");
    const std::string sSystem = Cols(sLine, 49, 51);
    const std::set<std::string> systems = nVersion >= 300
                                              ? std::set<std::string>{"GPS", "GLO", "GAL", "QZS", "BDT", "IRN"}
                                              : std::set<std::string>{"GPS", "GLO", "GAL"};
    if (!systems.count(sSystem))
        bad(n, "TIME OF OBS: time system '" + sSystem + "'");
    if (!Blank(Cols(sLine, 52, 60)))
        bad(n, "TIME OF OBS: columns 52-60 not blank");
}

void CheckTriple(const std::string& sLine, size_t n, const Complaints& bad)
{
    for (int i = 0; i < 3; ++i)
        if (!IsFixed(Cols(sLine, 1 + 14 * i, 14 + 14 * i), 4))
            bad(n, Label(sLine) + ": F14.4 field " + std::to_string(i + 1));
    if (!Blank(Cols(sLine, 43, 60)))
        bad(n, Label(sLine) + ": columns 43-60 not blank");
}
} // namespace

std::map<char, std::vector<std::string>> ObsTypesOf(const std::string& sHeader)
{
    std::map<char, std::vector<std::string>> types;
    std::vector<std::string> ignored;
    char cCurrent = 0;
    for (const std::string& line : Lines(sHeader, &ignored))
    {
        const std::string sLabel = Label(line);
        if (sLabel == "# / TYPES OF OBSERV")
            for (size_t k = 0; k < 9; ++k)
            {
                const std::string t = Trim(Cols(line, 11 + 6 * k, 12 + 6 * k));
                if (!Blank(t))
                    types[' '].push_back(t);
            }
        if (sLabel == "SYS / # / OBS TYPES")
        {
            if (line[0] != ' ')
                cCurrent = line[0];
            for (size_t k = 0; k < 13; ++k)
            {
                const std::string t = Trim(Cols(line, 8 + 4 * k, 10 + 4 * k));
                if (!Blank(t))
                    types[cCurrent].push_back(t);
            }
        }
    }
    return types;
}

std::vector<std::string> CheckObsHeader(const std::string& sText, int nVersion)
{
    std::vector<std::string> errors;
    const Complaints bad{&errors};
    const std::vector<std::string> lines = Lines(sText, &errors);
    const bool b3 = nVersion >= 300;
    if (lines.empty() || Label(lines.front()) != "RINEX VERSION / TYPE")
        errors.push_back("the first record is not RINEX VERSION / TYPE");
    if (lines.empty() || Label(lines.back()) != "END OF HEADER")
        errors.push_back("the last record is not END OF HEADER");
    std::map<std::string, int> seen;
    std::string sTypesLabelBefore;
    size_t nTypes2Count = 0, nTypes2 = 0;
    std::map<char, std::pair<size_t, size_t>> types3; // system: (announced, listed)
    char cSystem3 = 0;
    const auto typesByReader = ObsTypesOf(sText);
    for (size_t n = 0; n < lines.size(); ++n)
    {
        const std::string& line = lines[n];
        const std::string sLabel = Label(line);
        ++seen[sLabel];
        if (!(b3 ? kObsLabels3 : kObsLabels2).count(sLabel))
            bad(n, "record '" + sLabel + "' is not defined in this version");
        if (sLabel == "RINEX VERSION / TYPE")
        {
            char sz[16];
            std::snprintf(sz, sizeof(sz), "%9.2f", nVersion / 100.0);
            if (Cols(line, 1, 9) != sz || !Blank(Cols(line, 10, 20)))
                bad(n, "version not F9.2 in columns 1-9");
            if (line[20] != 'O')
                bad(n, "file type in column 21 is not O");
            const std::string sSystems = nVersion >= 302   ? "GRECJSM"
                                         : nVersion >= 301 ? "GRECSM"
                                         : nVersion >= 211 ? "GRESM"
                                                           : "GRSM";
            if (sSystems.find(line[40]) == std::string::npos)
                bad(n, std::string("satellite system '") + line[40] + "' in column 41");
        }
        else if (sLabel == "APPROX POSITION XYZ" || sLabel == "ANTENNA: DELTA H/E/N" ||
                 sLabel == "ANTENNA: DELTA X/Y/Z" || sLabel == "ANTENNA: B.SIGHT XYZ" ||
                 sLabel == "CENTER OF MASS: XYZ" || sLabel == "ANTENNA: ZERODIR XYZ")
            CheckTriple(line, n, bad);
        else if (sLabel == "WAVELENGTH FACT L1/2")
        {
            if (!IsInt(Cols(line, 1, 6)) || !IsInt(Cols(line, 7, 12)))
                bad(n, "WAVELENGTH FACT L1/2: 2I6");
        }
        else if (sLabel == "# / TYPES OF OBSERV")
        {
            const bool bFirst = sTypesLabelBefore != sLabel;
            if (bFirst)
            {
                if (!IsInt(Cols(line, 1, 6)))
                    bad(n, "# / TYPES OF OBSERV: count I6");
                nTypes2Count = static_cast<size_t>(std::atoi(Cols(line, 1, 6).c_str()));
            }
            else if (!Blank(Cols(line, 1, 6)))
                bad(n, "# / TYPES OF OBSERV: continuation with a count");
            size_t nOnLine = 0;
            for (size_t k = 0; k < 9; ++k)
            {
                const std::string sItem = Cols(line, 7 + 6 * k, 12 + 6 * k);
                if (Blank(sItem))
                    continue;
                ++nOnLine;
                if (!Blank(sItem.substr(0, 4)) || !Rinex2Codes(nVersion).count(sItem.substr(4)))
                    bad(n, "observation type '" + sItem + "' (4X,A2) not defined");
            }
            if (nOnLine == 0)
                bad(n, "# / TYPES OF OBSERV: a line without types");
            nTypes2 += nOnLine;
        }
        else if (sLabel == "SYS / # / OBS TYPES")
        {
            if (line[0] != ' ')
            {
                cSystem3 = line[0];
                if (!Blank(Cols(line, 2, 3)) || !IsInt(Cols(line, 4, 6)))
                    bad(n, "SYS / # / OBS TYPES: A1,2X,I3");
                types3[cSystem3].first = static_cast<size_t>(std::atoi(Cols(line, 4, 6).c_str()));
            }
            else if (!Blank(Cols(line, 1, 6)))
                bad(n, "SYS / # / OBS TYPES: continuation not 6X");
            size_t nOnLine = 0;
            for (size_t k = 0; k < 13; ++k)
            {
                const std::string sItem = Cols(line, 7 + 4 * k, 10 + 4 * k);
                if (Blank(sItem))
                    continue;
                ++nOnLine;
                if (sItem[0] != ' ' || !Rinex3TypeValid(cSystem3, sItem.substr(1), nVersion))
                    bad(n, std::string("observation type '") + cSystem3 + sItem + "' (1X,A3) not defined");
            }
            if (nOnLine == 0)
                bad(n, "SYS / # / OBS TYPES: a line without types");
            types3[cSystem3].second += nOnLine;
        }
        else if (sLabel == "TIME OF FIRST OBS" || sLabel == "TIME OF LAST OBS")
            CheckTimeOfObs(line, n, nVersion, bad);
        else if (sLabel == "INTERVAL")
        {
            if (!IsFixed(Cols(line, 1, 10), 3) || !Blank(Cols(line, 11, 60)))
                bad(n, "INTERVAL: F10.3");
        }
        else if (sLabel == "SYS / PHASE SHIFT")
        {
            const bool bFirst = line[0] != ' ';
            size_t nFirstSat = 19;
            if (bFirst)
            {
                const char c = line[0];
                const std::string sCode = Cols(line, 3, 5);
                if (line[1] != ' ' || line[5] != ' ' || !IsFixed(Cols(line, 7, 14), 5) || !Blank(Cols(line, 15, 16)) ||
                    !Matches(Cols(line, 17, 18), "[0-9]{2}"))
                    bad(n, "SYS / PHASE SHIFT: A1,1X,A3,1X,F8.5,2X,I2.2");
                const auto& list = typesByReader.count(c) ? typesByReader.at(c) : std::vector<std::string>();
                if (sCode[0] != 'L' || std::find(list.begin(), list.end(), sCode) == list.end())
                    bad(n, "SYS / PHASE SHIFT: '" + sCode + "' is no phase type of the header");
            }
            else if (!Blank(Cols(line, 1, 18)))
                bad(n, "SYS / PHASE SHIFT: continuation not 18X");
            for (size_t k = 0; k < 10; ++k)
            {
                const std::string sItem = Cols(line, nFirstSat + 4 * k, nFirstSat + 3 + 4 * k);
                if (!Blank(sItem) && !Matches(sItem, " [GRECJS][0-9]{2}"))
                    bad(n, "SYS / PHASE SHIFT: satellite '" + sItem + "'");
            }
            if (!bFirst && Blank(Cols(line, 19, 60)))
                bad(n, "SYS / PHASE SHIFT: a continuation line without satellites");
        }
        else if (sLabel == "GLONASS SLOT / FRQ #")
        {
            const bool bFirst = !Blank(Cols(line, 1, 3));
            if (bFirst && !IsInt(Cols(line, 1, 3)))
                bad(n, "GLONASS SLOT / FRQ #: I3");
            size_t nOnLine = 0;
            for (size_t k = 0; k < 8; ++k)
            {
                const std::string sItem = Cols(line, 5 + 7 * k, 11 + 7 * k);
                if (Blank(sItem))
                    continue;
                ++nOnLine;
                if (!Matches(sItem, "R[0-9]{2} [ -][0-9] "))
                    bad(n, "GLONASS SLOT / FRQ #: '" + sItem + "' is not A1,I2.2,1X,I2,1X");
            }
            if (!bFirst && nOnLine == 0)
                bad(n, "GLONASS SLOT / FRQ #: a continuation line without slots");
        }
        else if (sLabel == "LEAP SECONDS")
        {
            if (!IsInt(Cols(line, 1, 6)))
                bad(n, "LEAP SECONDS: I6");
            if (!b3 && !Blank(Cols(line, 7, 60)))
                bad(n, "LEAP SECONDS: RINEX 2 holds one I6");
            if (b3)
                for (int i = 1; i < 4; ++i)
                    if (!Blank(Cols(line, 1 + 6 * i, 6 + 6 * i)) && !IsInt(Cols(line, 1 + 6 * i, 6 + 6 * i)))
                        bad(n, "LEAP SECONDS: I6 field " + std::to_string(i + 1));
        }
        sTypesLabelBefore = sLabel;
    }
    for (const std::string& s : b3 ? kRequired3 : kRequired2)
        if (!seen.count(s))
            errors.push_back("required record '" + s + "' missing");
    for (const char* p :
         {"RINEX VERSION / TYPE", "PGM / RUN BY / DATE", "MARKER NAME", "END OF HEADER", "TIME OF FIRST OBS"})
        if (seen.count(p) && seen[p] != 1)
            errors.push_back(std::string("record '") + p + "' more than once");
    if (!b3 && nTypes2 != nTypes2Count)
        errors.push_back("# / TYPES OF OBSERV announces " + std::to_string(nTypes2Count) + " types and lists " +
                         std::to_string(nTypes2));
    for (const auto& t : types3)
        if (t.second.first != t.second.second)
            errors.push_back(std::string("SYS / # / OBS TYPES of ") + t.first + " announces " +
                             std::to_string(t.second.first) + " types and lists " + std::to_string(t.second.second));
    return errors;
}

std::vector<std::string> CheckObsEpochs(const std::string& sEpochs, int nVersion,
                                        const std::map<char, std::vector<std::string>>& types)
{
    std::vector<std::string> errors;
    const Complaints bad{&errors};
    const bool b3 = nVersion >= 300;
    const std::vector<std::string> lines = Lines(sEpochs, &errors, b3 ? std::string::npos : 80);
    auto checkField = [&](const std::string& sField, const std::string& sType, size_t n)
    {
        const std::string sValue = sField.substr(0, 14);
        if (Blank(sField))
            return;
        if (!IsFixed(sValue, 3))
            bad(n, "field '" + sField + "' is not F14.3");
        const char cLli = sField[14], cSsi = sField[15];
        const char cKind = sType[0];
        if (cLli != ' ' && !(cKind == 'L' && cLli >= '0' && cLli <= '7'))
            bad(n, "loss-of-lock indicator '" + std::string(1, cLli) + "' for " + sType);
        if (cSsi != ' ' && !((cKind == 'L' || cKind == 'C' || cKind == 'P' || !b3) && cSsi >= '1' && cSsi <= '9'))
            bad(n, "signal strength indicator '" + std::string(1, cSsi) + "' for " + sType);
    };
    size_t n = 0;
    while (n < lines.size())
    {
        const std::string& epoch = lines[n];
        std::vector<std::string> sats;
        size_t nCount = 0;
        if (b3)
        {
            if (!Matches(epoch.substr(0, 35), "> [0-9]{4}( [0-9]{2}){4}[ 0-9]{3}\\.[0-9]{7}  [0-6][ 0-9]{2}[0-9]"))
            {
                bad(n, "epoch record '" + epoch + "'");
                return errors;
            }
            nCount = static_cast<size_t>(std::atoi(Cols(epoch, 33, 35).c_str()));
            ++n;
        }
        else
        {
            if (!Matches(Cols(epoch, 1, 32), " [0-9]{2}( [ 0-9][0-9]){4}[ 0-9]{3}\\.[0-9]{7}  [0-6][ 0-9]{2}[0-9]"))
            {
                bad(n, "epoch record '" + epoch + "'");
                return errors;
            }
            nCount = static_cast<size_t>(std::atoi(Cols(epoch, 30, 32).c_str()));
            for (size_t i = 0; i < nCount; ++i)
            {
                if (i > 0 && i % 12 == 0)
                {
                    ++n;
                    if (n >= lines.size() || !Blank(Cols(lines[n], 1, 32)))
                    {
                        bad(n, "satellite list continuation not 32X");
                        return errors;
                    }
                }
                const std::string sSat = Cols(lines[n], 33 + 3 * (i % 12), 35 + 3 * (i % 12));
                if (!Matches(sSat, "[GRES ][ 0-9][0-9]"))
                    bad(n, "satellite '" + sSat + "'");
                sats.push_back(sSat);
            }
            const size_t nOnLastLine = nCount ? (nCount - 1) % 12 + 1 : 0;
            if (!Blank(Cols(lines[n], 33 + 3 * nOnLastLine, 68)))
                bad(n, "more satellites listed than counted");
            ++n;
        }
        if (nCount == 0)
            bad(n - 1, "epoch without satellites");
        for (size_t i = 0; i < nCount; ++i)
        {
            if (n >= lines.size())
            {
                errors.push_back("text ends inside an epoch");
                return errors;
            }
            if (b3)
            {
                const std::string& line = lines[n];
                const char c = line[0];
                const auto it = types.find(c);
                if (it == types.end() || !Matches(line.substr(0, 3), "[GRECJS][0-9]{2}"))
                {
                    bad(n, "satellite record '" + line.substr(0, 3) + "' of a system without types");
                    ++n;
                    continue;
                }
                if (line.size() > 3 + 16 * it->second.size())
                    bad(n, "more fields than the system's " + std::to_string(it->second.size()) + " types");
                for (size_t k = 0; k < it->second.size(); ++k)
                    checkField(Cols(line, 4 + 16 * k, 19 + 16 * k), it->second[k], n);
                ++n;
            }
            else
            {
                const auto& list = types.at(' ');
                const size_t nLines = (list.size() + 4) / 5;
                for (size_t l = 0; l < nLines; ++l, ++n)
                {
                    if (n >= lines.size())
                    {
                        errors.push_back("text ends inside an epoch");
                        return errors;
                    }
                    const size_t nOnLine = std::min<size_t>(5, list.size() - 5 * l);
                    if (lines[n].size() > 16 * nOnLine)
                        bad(n, "observation line longer than its fields");
                    for (size_t k = 0; k < nOnLine; ++k)
                        checkField(Cols(lines[n], 1 + 16 * k, 16 + 16 * k), list[5 * l + k], n);
                }
            }
        }
    }
    return errors;
}

std::vector<std::string> CheckNavHeader(const std::string& sText, int nVersion, char cSystem)
{
    std::vector<std::string> errors;
    const Complaints bad{&errors};
    const std::vector<std::string> lines = Lines(sText, &errors);
    const bool b3 = nVersion >= 300;
    std::set<std::string> labels = {"RINEX VERSION / TYPE", "PGM / RUN BY / DATE", "COMMENT", "LEAP SECONDS",
                                    "END OF HEADER"};
    if (b3)
        labels.insert({"IONOSPHERIC CORR", "TIME SYSTEM CORR"});
    else if (cSystem == 'R')
        labels.insert("CORR TO SYSTEM TIME");
    else
        labels.insert({"ION ALPHA", "ION BETA", "DELTA-UTC: A0,A1,T,W"});
    if (lines.empty() || Label(lines.front()) != "RINEX VERSION / TYPE" || Label(lines.back()) != "END OF HEADER")
        errors.push_back("not opened by RINEX VERSION / TYPE and closed by END OF HEADER");
    for (size_t n = 0; n < lines.size(); ++n)
    {
        const std::string& line = lines[n];
        const std::string sLabel = Label(line);
        if (!labels.count(sLabel))
            bad(n, "record '" + sLabel + "' is not defined for this file");
        if (sLabel == "RINEX VERSION / TYPE")
        {
            char sz[16];
            std::snprintf(sz, sizeof(sz), "%9.2f", nVersion / 100.0);
            if (Cols(line, 1, 9) != sz)
                bad(n, "version not F9.2");
            const char cType = b3 ? 'N' : (cSystem == 'R' ? 'G' : 'N');
            if (line[20] != cType)
                bad(n, std::string("file type '") + line[20] + "' in column 21, want '" + cType + "'");
            if (b3 && line[40] != cSystem)
                bad(n, "satellite system in column 41");
        }
        else if (sLabel == "ION ALPHA" || sLabel == "ION BETA")
        {
            if (!Blank(Cols(line, 1, 2)))
                bad(n, sLabel + ": 2X");
            for (int i = 0; i < 4; ++i)
                if (!IsD(Cols(line, 3 + 12 * i, 14 + 12 * i), 4))
                    bad(n, sLabel + ": D12.4 field " + std::to_string(i + 1));
        }
        else if (sLabel == "DELTA-UTC: A0,A1,T,W")
        {
            if (!Blank(Cols(line, 1, 3)) || !IsD(Cols(line, 4, 22), 12) || !IsD(Cols(line, 23, 41), 12) ||
                !IsInt(Cols(line, 42, 50)) || !IsInt(Cols(line, 51, 59)))
                bad(n, "DELTA-UTC: 3X,2D19.12,2I9");
        }
        else if (sLabel == "IONOSPHERIC CORR")
        {
            if (!Matches(Cols(line, 1, 5), "GPS[AB] "))
                bad(n, "IONOSPHERIC CORR: A4,1X");
            for (int i = 0; i < 4; ++i)
                if (!IsD(Cols(line, 6 + 12 * i, 17 + 12 * i), 4))
                    bad(n, "IONOSPHERIC CORR: D12.4 field " + std::to_string(i + 1));
        }
        else if (sLabel == "TIME SYSTEM CORR")
        {
            if (!Matches(Cols(line, 1, 5), "[A-Z]{4} ") || !IsD(Cols(line, 6, 22), 10) || !IsD(Cols(line, 23, 38), 9) ||
                line[38] != ' ' || !IsInt(Cols(line, 40, 45)) || line[45] != ' ' || !IsInt(Cols(line, 47, 50)))
                bad(n, "TIME SYSTEM CORR: A4,1X,D17.10,D16.9,1X,I6,1X,I4");
        }
        else if (sLabel == "LEAP SECONDS")
        {
            if (!IsInt(Cols(line, 1, 6)) || (!b3 && !Blank(Cols(line, 7, 60))))
                bad(n, "LEAP SECONDS");
        }
    }
    return errors;
}

std::vector<std::string> CheckNavRecords(const std::string& sText, int nVersion, char cSystem,
                                         std::vector<std::vector<double>>* pValues)
{
    std::vector<std::string> errors;
    const Complaints bad{&errors};
    const std::vector<std::string> lines = Lines(sText, &errors);
    const bool b3 = nVersion >= 300;
    const size_t nLinesPerRecord = cSystem == 'R' ? 4 : 8;
    size_t n = 0;
    while (n < lines.size())
    {
        std::vector<double> values;
        const std::string& epoch = lines[n];
        size_t nFirstValue = 0;
        if (b3)
        {
            if (epoch[0] != cSystem || !Matches(Cols(epoch, 1, 23), ".[0-9]{2} [0-9]{4}( [0-9]{2}){5}"))
                bad(n, "epoch '" + Cols(epoch, 1, 23) + "' is not A1,I2.2,1X,I4,5(1X,I2.2)");
            nFirstValue = 24;
        }
        else
        {
            if (!Matches(Cols(epoch, 1, 22), "[ 0-9][0-9] [0-9]{2}( [ 0-9][0-9]){4}[ 0-9]{2}[0-9]\\.[0-9]"))
                bad(n, "epoch '" + Cols(epoch, 1, 22) + "' is not I2,1X,I2.2,4(1X,I2),F5.1");
            nFirstValue = 23;
        }
        for (size_t k = 0; k < 3; ++k)
        {
            const std::string s = Cols(epoch, nFirstValue + 19 * k, nFirstValue + 18 + 19 * k);
            if (!IsD(s, 12))
                bad(n, "clock field " + std::to_string(k + 1) + " '" + s + "' is not D19.12");
            values.push_back(ReadD(s));
        }
        ++n;
        for (size_t l = 1; l < nLinesPerRecord; ++l, ++n)
        {
            if (n >= lines.size())
            {
                errors.push_back("text ends inside a record");
                return errors;
            }
            const std::string& line = lines[n];
            const size_t nIndent = b3 ? 4 : 3;
            if (!Blank(Cols(line, 1, nIndent)))
                bad(n, "orbit line not opened by " + std::to_string(nIndent) + "X");
            for (size_t k = 0; k < 4; ++k)
            {
                const std::string s = Cols(line, nIndent + 1 + 19 * k, nIndent + 19 + 19 * k);
                if (Blank(s))
                    continue; // spare
                if (!IsD(s, 12))
                    bad(n, "orbit field '" + s + "' is not D19.12");
                values.push_back(ReadD(s));
            }
            if (line.size() > nIndent + 76)
                bad(n, "orbit line longer than four fields");
        }
        pValues->push_back(values);
    }
    return errors;
}

std::string ReadTextFile(const std::string& sPath)
{
    std::ifstream f(sPath, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void ExpectGolden(const std::string& sName, const std::string& sText)
{
    const std::string sPath = std::string(ZV_TEST_DATA_DIR) + "/engine/" + sName;
    if (std::getenv("ZV_UPDATE_GOLDEN"))
    {
        std::ofstream(sPath, std::ios::binary) << sText;
        return;
    }
    const std::string sGolden = ReadTextFile(sPath);
    ASSERT_FALSE(sGolden.empty()) << sPath << " is missing";
    EXPECT_EQ(sText, sGolden) << "differs from " << sPath;
}
