#include "converter/engine/rinex_codes.h"

#include <cstring>

#include "codec/signals.h"
#include "codec/text_helpers.h"

namespace
{
const char kSystemLetters[] = "GRECSJ";

// RINEX band digit of band numbers 0-4, per system.
const char kBandDigit[GNSS_SYSTEM_COUNT][5] = {
    {'1', '2', '5', 0, 0},     // GPS
    {'1', '2', '3', '4', '6'}, // GLONASS
    {'1', '5', '7', '8', '6'}, // Galileo
    {'2', '6', '7', '1', '5'}, // BeiDou
    {0, 0, 0, 0, 0},           // SBAS is never converted
    {'1', '2', '5', 0, '6'},   // QZSS
};

const uint32_t kPilot = 0x800;
const uint32_t kCombined = 0x1000;
const uint32_t kGalileoZ = 0x2000;
const uint32_t kYCode = 0x4000;
const uint32_t kWCode = 0x8000;

char DataPilotCombined(uint32_t nCode, char cData, char cPilot, char cCombined)
{
    return (nCode & kCombined) ? cCombined : (nCode & kPilot) ? cPilot : cData;
}

char GpsAttribute(uint32_t nCode, uint32_t nBand, uint32_t nFamily)
{
    switch (nFamily)
    {
    case 0:
        return nBand == 2 ? DataPilotCombined(nCode, 'I', 'Q', 'X') : 'C';
    case 1:
        return 'P';
    case 2:
        // Both flags mark the codeless signal; one of them Y or W tracking.
        if ((nCode & (kYCode | kWCode)) == (kYCode | kWCode))
            return 'N';
        return (nCode & kYCode) ? 'Y' : (nCode & kWCode) ? 'W' : 'N';
    case 3: // L1C: data S, pilot L, both X
    case 4: // L2C: CM S, CL L, both X
        return DataPilotCombined(nCode, 'S', 'L', 'X');
    case 5:
        return 'M';
    default:
        return 0;
    }
}

char QzssAttribute(uint32_t nCode, uint32_t nBand, uint32_t nFamily)
{
    switch (nFamily)
    {
    case 0:
        return GpsAttribute(nCode, nBand, 0);
    case 3:
    case 4:
    case 6:
        return DataPilotCombined(nCode, 'S', 'L', 'X');
    default:
        return 0;
    }
}

char GalileoAttribute(uint32_t nCode, uint32_t nFamily)
{
    if (nFamily <= 2)
    {
        if (nCode & kCombined)
            return 'X';
        if (nCode & kGalileoZ)
            return 'Z';
        return "ABC"[nFamily];
    }
    if (nFamily == 3)
        return DataPilotCombined(nCode, 'I', 'Q', 'X');
    return 0;
}

char BeiDouAttribute(uint32_t nCode, uint32_t nFamily)
{
    switch (nFamily)
    {
    case 0:
        return 'I';
    case 1:
        return (nCode & kCombined) ? 'X' : 'P';
    case 2:
        return (nCode & kCombined) ? 'X' : (nCode & 0x40) ? 'P' : 'D';
    case 3:
        return (nCode & kCombined) ? 'X' : (nCode & kPilot) ? 'P' : 'D';
    default:
        return 0;
    }
}

// Signals of the third BeiDou generation (B1C, B2a, B2b): RINEX 3.04 is the
// first version to define them.
bool IsBeiDou3Signal(uint32_t nCode)
{
    const uint32_t nBand = SignalCodeBand(nCode);
    return nBand == 3 || nBand == 4 || SignalCodeModule(nCode) >= 2;
}

bool IsStandardRinex2(int32_t nVersion) { return nVersion != 200 && nVersion != 212; }
} // namespace

char RinexSystemLetter(uint32_t nSystem) { return nSystem < GNSS_SYSTEM_COUNT ? kSystemLetters[nSystem] : 0; }

int SystemLetterToIndex(char cLetter)
{
    const char* p = cLetter ? std::strchr(kSystemLetters, cLetter) : nullptr;
    return p ? static_cast<int>(p - kSystemLetters) : -1;
}

uint32_t BandDigitToIndex(uint32_t nSystem, char cDigit)
{
    if (nSystem >= GNSS_SYSTEM_COUNT || !cDigit)
        return 0;
    const char* pList = kBandDigit[nSystem];
    for (uint32_t i = 0; i < sizeof(kBandDigit[0]); ++i)
        if (pList[i] == cDigit)
            return i;
    return 0;
}

char RinexBandDigit(uint32_t nCode, uint32_t nSystem)
{
    const uint32_t nBand = SignalCodeBand(nCode);
    if (nSystem >= GNSS_SYSTEM_COUNT || nBand > 4)
        return 0;
    return kBandDigit[nSystem][nBand];
}

char RinexAttribute(uint32_t nCode, uint32_t nSystem)
{
    const uint32_t nBand = SignalCodeBand(nCode);
    const uint32_t nFamily = SignalCodeModule(nCode);
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
        return GpsAttribute(nCode, nBand, nFamily);
    case GNSS_SYSTEM_GLONASS:
        if (nFamily == 0)
            return 'C';
        if (nFamily == 1)
            return 'P';
        if (nFamily == 2)
            return (nCode & kPilot) ? 'Q' : (nCode & kCombined) ? 'X' : 'I';
        return 0;
    case GNSS_SYSTEM_GALILEO:
        return GalileoAttribute(nCode, nFamily);
    case GNSS_SYSTEM_BDS:
        return BeiDouAttribute(nCode, nFamily);
    case GNSS_SYSTEM_QZSS:
        return QzssAttribute(nCode, nBand, nFamily);
    default:
        return 0;
    }
}

bool RinexVersionHasSystem(int32_t nVersion, uint32_t nSystem)
{
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
    case GNSS_SYSTEM_GLONASS:
        return true;
    case GNSS_SYSTEM_GALILEO:
        return nVersion != 210;
    case GNSS_SYSTEM_BDS:
        return nVersion == 200 || nVersion >= 301;
    case GNSS_SYSTEM_QZSS:
        return nVersion == 200 || nVersion >= 302;
    default:
        return false;
    }
}

int RinexObsCode(uint32_t nCode, uint32_t nSystem, int32_t nVersion, char szCode[3])
{
    szCode[0] = 0;
    char cBand = RinexBandDigit(nCode, nSystem);
    const char cAttribute = RinexAttribute(nCode, nSystem);
    if (!cBand || !cAttribute)
        return 0;
    if (nVersion >= 300)
    {
        if (!RinexVersionHasSystem(nVersion, nSystem))
            return 0;
        if (nSystem == GNSS_SYSTEM_GLONASS && SignalCodeBand(nCode) >= 2 &&
            (nVersion < 302 || SignalCodeBand(nCode) > 2))
            return 0;
        if (nSystem == GNSS_SYSTEM_BDS)
        {
            if (IsBeiDou3Signal(nCode) && nVersion < 304)
                return 0;
            // 3.02 alone numbers B1 as band 1.
            if (nVersion == 302 && cBand == '2')
                cBand = '1';
        }
    }
    szCode[0] = cBand;
    szCode[1] = cAttribute;
    szCode[2] = 0;
    return 1;
}

int SignalCodeToRinexCode(uint32_t nCode, uint32_t nSystem, int32_t nVersion, RinexCodeList* pList)
{
    char szCode[3];
    if (!pList || !RinexObsCode(nCode, nSystem, nVersion, szCode))
        return 0;
    for (uint32_t i = 0; i < pList->nCount; ++i)
        if (std::strcmp(pList->szCodes[i], szCode) == 0)
            return 1;
    if (pList->nCount >= RINEX_MAX_CODES)
        return 0;
    std::memcpy(pList->szCodes[pList->nCount++], szCode, 3);
    return 1;
}

namespace
{
// SignalCodeToRinex2Band; *ppNote receives the note of a signal it has no
// band for, where it makes one.
char Rinex2Band(uint32_t nCode, uint32_t nSystem, const char** ppNote)
{
    const uint32_t nBand = SignalCodeBand(nCode);
    const uint32_t nFamily = SignalCodeModule(nCode);
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
        if (nFamily == 5)
        {
            *ppNote = "GPS Signal GPS_M do not support.\n";
            return 0;
        }
        if (nBand == 0)
            return nFamily == 0 ? 'A' : nFamily == 3 ? 'B' : '1';
        if (nBand == 1)
            return nFamily == 4 ? 'C' : '2';
        return nBand == 2 ? '5' : 0;
    case GNSS_SYSTEM_GLONASS:
        if (nBand == 2)
        {
            *ppNote = "GLO Freq G3 do not support.\n";
            return 0;
        }
        if (nBand > 1 || nFamily > 1)
            return 0;
        return "A1D2"[nBand * 2 + nFamily];
    case GNSS_SYSTEM_GALILEO:
        return nBand <= 4 ? "15786"[nBand] : 0;
    default:
        return 0;
    }
}
} // namespace

char SignalCodeToRinex2Band(uint32_t nCode, uint32_t nSystem)
{
    const char* pNote = nullptr;
    const char cBand = Rinex2Band(nCode, nSystem, &pNote);
    if (pNote)
        DebugLogPrintf("%s", pNote);
    return cBand;
}

int SignalCodeToRinex2(uint32_t nCode, uint32_t nSystem, int32_t nVersion, Rinex2Signal* pOut, bool bNote)
{
    *pOut = Rinex2Signal{};
    if (nVersion >= 300 || !RinexVersionHasSystem(nVersion, nSystem))
        return 0;

    if (!IsStandardRinex2(nVersion))
    {
        // Letter-coded lists: the band character, "P" for the GPS and GLONASS
        // L1 and L2 P-code pseudoranges; 2.00 keeps to band numbers 0 and 1.
        const char* pNote = nullptr;
        const char cBand = bNote ? SignalCodeToRinex2Band(nCode, nSystem) : Rinex2Band(nCode, nSystem, &pNote);
        if (!cBand || (nVersion == 200 && SignalCodeBand(nCode) > 1))
            return 0;
        const bool bP =
            (nSystem == GNSS_SYSTEM_GPS || nSystem == GNSS_SYSTEM_GLONASS) && (cBand == '1' || cBand == '2');
        pOut->cBand = cBand;
        pOut->szPseudorange[0] = bP ? 'P' : 'C';
        pOut->szPseudorange[1] = cBand;
        pOut->nRank = static_cast<uint8_t>(SignalCodeModule(nCode));
        return 1;
    }

    // 2.10 and 2.11: the two-character codes of those versions, by attribute.
    const char cBand = RinexBandDigit(nCode, nSystem);
    const char cAttribute = RinexAttribute(nCode, nSystem);
    if (!cBand || !cAttribute)
        return 0;
    const bool b211 = nVersion >= 211;
    char cPsr = 0; // 'C' or 'P'; 0 when the version has no pseudorange code for it
    int nRank = -1;
    switch (nSystem)
    {
    case GNSS_SYSTEM_GPS:
        if (cBand == '1')
        {
            if (cAttribute == 'C')
                cPsr = 'C', nRank = 0;
            else if (std::strchr("PWY", cAttribute))
                cPsr = 'P', nRank = 1;
            else if (cAttribute == 'N')
                nRank = 2;
        }
        else if (cBand == '2')
        {
            if (std::strchr("PWY", cAttribute))
                cPsr = 'P', nRank = 0;
            else if (cAttribute == 'N')
                nRank = 1;
            else if (std::strchr("SLX", cAttribute))
                cPsr = b211 ? 'C' : 0, nRank = 2;
            else if (cAttribute == 'C')
                cPsr = b211 ? 'C' : 0, nRank = 3;
        }
        else if (cBand == '5' && b211)
            cPsr = 'C', nRank = cAttribute == 'Q' ? 0 : cAttribute == 'I' ? 1 : 2;
        break;
    case GNSS_SYSTEM_GLONASS:
        if (cBand == '1' || cBand == '2')
        {
            const bool bPCode = cAttribute == 'P';
            if (cBand == '1')
                cPsr = bPCode ? 'P' : 'C', nRank = bPCode ? 1 : 0;
            else
                cPsr = bPCode ? 'P' : (b211 ? 'C' : 0), nRank = bPCode ? 0 : 1;
        }
        break;
    case GNSS_SYSTEM_GALILEO:
        cPsr = 'C';
        nRank = cAttribute == 'C' || cAttribute == 'Q'   ? 0
                : cAttribute == 'B' || cAttribute == 'I' ? 1
                : cAttribute == 'X'                      ? 2
                                                         : 3;
        break;
    default:
        break;
    }
    if (nRank < 0)
        return 0;
    pOut->cBand = cBand;
    if (cPsr)
    {
        pOut->szPseudorange[0] = cPsr;
        pOut->szPseudorange[1] = cBand;
    }
    pOut->nRank = static_cast<uint8_t>(nRank);
    return 1;
}
