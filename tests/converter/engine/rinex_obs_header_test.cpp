#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "codec/text_helpers.h"
#include "converter/engine/rinex_obs_header.h"
#include "rinex_check.h"
#include "rinex_fixture.h"
#include "support/fifo_guard.h"

namespace
{
std::string HeaderText(RinexObsHeader* pHeader)
{
    std::vector<char> buf(RINEX_HEADER_TEXT_CAPACITY);
    const int n = WriteRinexObsHeader(pHeader, 0, buf.data(), static_cast<uint32_t>(buf.size()));
    EXPECT_GT(n, 0);
    return n > 0 ? std::string(buf.data(), static_cast<size_t>(n)) : std::string();
}

std::vector<std::string> LinesWithLabel(const std::string& sText, const std::string& sLabel)
{
    std::vector<std::string> out;
    size_t nPos = 0;
    while (nPos < sText.size())
    {
        const size_t nEnd = sText.find('\n', nPos);
        const std::string line = sText.substr(nPos, nEnd - nPos);
        if (line.size() >= 60 && line.compare(60, sLabel.size(), sLabel) == 0 &&
            line.find_first_not_of(' ', 60 + sLabel.size()) == std::string::npos)
            out.push_back(line);
        nPos = nEnd + 1;
    }
    return out;
}

std::string Joined(const std::vector<std::string>& v)
{
    std::string s;
    for (const std::string& x : v)
        s += x + " ";
    return s;
}
} // namespace

// One golden header per version the converter must write to the letter.
class ObsHeaderGolden : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(ObsHeaderGolden, ConformsToItsVersionAndMatchesTheGoldenFile)
{
    const int32_t nVersion = GetParam();
    RinexObsHeader h = MakeObsHeader(nVersion);
    const std::string sText = HeaderText(&h);
    const std::vector<std::string> errors = CheckObsHeader(sText, nVersion);
    EXPECT_TRUE(errors.empty()) << Joined(errors) << "\n" << sText;
    ExpectGolden("obs_header_" + std::to_string(nVersion) + ".rnx", sText);
}

INSTANTIATE_TEST_SUITE_P(Versions, ObsHeaderGolden, ::testing::Values(210, 211, 302, 303, 304));

TEST(ObsHeader, Rinex2ListsTheCodesOfItsVersionByAttribute)
{
    struct Case
    {
        int32_t nVersion;
        const char* pTypes;
    };
    // GPS 1C 2W 2S 5Q, GLONASS 1C 2P 3Q, Galileo 1B 5Q 7Q (2.11 only); BeiDou and QZSS
    // have no RINEX 2 codes. P2 comes from the P(Y) signal, C2 from L2C.
    const Case cases[] = {
        {210, "C1 L1 D1 S1 P2 L2 D2 S2 "},
        {211, "C1 L1 D1 S1 C2 P2 L2 D2 S2 C5 L5 D5 S5 C7 L7 D7 S7 "},
    };
    for (const Case& c : cases)
    {
        RinexObsHeader h = MakeObsHeader(c.nVersion);
        EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h))[' ']), c.pTypes) << c.nVersion;
        EXPECT_EQ(h.cSystem, 'M');
    }
    // GPS alone, then with Galileo added: GPS P2 stays P2.
    ScanResult gps;
    gps.Add(GNSS_SYSTEM_GPS, 0, 1);
    gps.Add(GNSS_SYSTEM_GPS, 33096, 1);
    RinexObsHeader h = MakeObsHeader(211, gps);
    EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h))[' ']), "C1 L1 D1 S1 P2 L2 D2 S2 ");
    EXPECT_EQ(h.cSystem, 'G');
    gps.Add(GNSS_SYSTEM_GALILEO, 130, 1);
    h = MakeObsHeader(211, gps);
    EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h))[' ']), "C1 L1 D1 S1 P2 L2 D2 S2 ");
    EXPECT_EQ(h.cSystem, 'M');
}

TEST(ObsHeader, LetterCodedVersionsChooseTheCodeLetterPerSystem)
{
    ScanResult scan;
    scan.Add(GNSS_SYSTEM_GPS, 0, 1);
    scan.Add(GNSS_SYSTEM_GPS, 33096, 1);
    scan.Add(GNSS_SYSTEM_GPS, 520, 1);
    scan.Add(GNSS_SYSTEM_GALILEO, 130, 1);
    RinexObsHeader h = MakeObsHeader(200, scan);
    EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h))[' ']), "CA LA DA SA P2 L2 D2 S2 CC LC DC SC C1 L1 D1 S1 ");
    h = MakeObsHeader(212, scan);
    EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h))[' ']), "CA LA DA SA P2 L2 D2 S2 CC LC DC SC C1 L1 D1 S1 ");
    EXPECT_EQ(h.Systems[GNSS_SYSTEM_GPS].nTypeCount, 12u);
    EXPECT_EQ(h.Systems[GNSS_SYSTEM_GALILEO].nTypeCount, 4u);
}

TEST(ObsHeader, Rinex3TypesColumnsAndTimeSystem)
{
    ScanResult gps;
    gps.Add(GNSS_SYSTEM_GPS, 0, 1 << 4);
    RinexObsHeader h = MakeObsHeader(302, gps, 1);
    const std::string sText = HeaderText(&h);
    EXPECT_EQ(sText.substr(0, 81),
              "     3.02           OBSERVATION DATA    G                   RINEX VERSION / TYPE\n");
    EXPECT_EQ(LinesWithLabel(sText, "SYS / # / OBS TYPES").at(0),
              "G    4 C1C L1C D1C S1C                                      SYS / # / OBS TYPES ");
    EXPECT_EQ(LinesWithLabel(sText, "SYS / PHASE SHIFT").at(0),
              "G L1C  0.00000  01 G05                                      SYS / PHASE SHIFT   ");

    // One system alone gives the file its time: GPS as it is; GLONASS on UTC,
    // named GLO, the times shifted by the leap seconds; BeiDou 14 s behind GPS.
    struct Case
    {
        uint32_t nSystem;
        uint32_t nCode;
        int32_t nVersion;
        int32_t nOffsetMs;
        const char* pFirstObs;
    };
    const Case cases[] = {
        {GNSS_SYSTEM_GPS, 0, 302, 0,
         "  2024     1     1     0     0   18.0000000     GPS         TIME OF FIRST OBS   "},
        {GNSS_SYSTEM_GLONASS, 1, 304, 18000,
         "  2024     1     1     0     0    0.0000000     GLO         TIME OF FIRST OBS   "},
        {GNSS_SYSTEM_BDS, 3, 303, 14000,
         "  2024     1     1     0     0    4.0000000     BDT         TIME OF FIRST OBS   "},
    };
    for (const Case& c : cases)
    {
        ScanResult scan;
        scan.Add(c.nSystem, c.nCode, 1);
        h = MakeObsHeader(c.nVersion, scan, static_cast<uint8_t>(1u << c.nSystem));
        EXPECT_EQ(LinesWithLabel(HeaderText(&h), "TIME OF FIRST OBS").at(0), c.pFirstObs) << c.nSystem;
        EXPECT_EQ(h.nTimeSystemOffsetMs, c.nOffsetMs) << c.nSystem;
    }

    // A GLONASS file of 2009 whose record and job give no leap value: the
    // leap seconds of its first observation's date, 15.
    ScanResult glonass;
    glonass.Add(GNSS_SYSTEM_GLONASS, 1, 1);
    h = MakeObsHeader(304, glonass, 2);
    h.aLeapSeconds[0] = 0;
    h.FirstObs.nWeek = 1521;
    h.FirstObs.nMsOfWeek = 15000;
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "TIME OF FIRST OBS").at(0),
              "  2009     3     1     0     0    0.0000000     GLO         TIME OF FIRST OBS   ");
    EXPECT_EQ(h.nTimeSystemOffsetMs, 15000);
}

TEST(ObsHeader, Version301LeavesOutWhatItDoesNotDefine)
{
    RinexObsHeader h = MakeObsHeader(301);
    const std::string sText = HeaderText(&h);
    const auto types = ObsTypesOf(sText);
    EXPECT_EQ(types.count('J'), 0u);
    EXPECT_EQ(Joined(types.at('R')), "C1C L1C D1C S1C C2P L2P D2P S2P "); // no GLONASS 3Q
    EXPECT_EQ(Joined(types.at('C')), "C2I L2I D2I S2I C7I L7I D7I S7I C6I L6I D6I S6I ");
    const auto shifts = LinesWithLabel(sText, "SYS / PHASE SHIFTS");
    EXPECT_FALSE(shifts.empty());
    for (const std::string& line : shifts)
        EXPECT_NE(line[0], 'J');
    EXPECT_TRUE(LinesWithLabel(sText, "SYS / PHASE SHIFT").empty());
}

TEST(ObsHeader, ContinuationLinesOnlyWhileItemsRemain)
{
    // 13 types fill one line exactly, 14 need a second.
    ScanResult scan;
    for (uint32_t nCode : {0u, 33096u, 520u})
        scan.Add(GNSS_SYSTEM_GPS, nCode, 1);
    RinexObsHeader h = MakeObsHeader(304, scan, 1);
    h.Systems[0].nTypeCount = 13;
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "SYS / # / OBS TYPES").size(), 1u);
    scan.Add(GNSS_SYSTEM_GPS, 2128, 1);
    h = MakeObsHeader(304, scan, 1); // 16 types
    const auto lines = LinesWithLabel(HeaderText(&h), "SYS / # / OBS TYPES");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 20), "       L5Q D5Q S5Q  ");

    // 8 GLONASS slots: one line; 9: a second with one slot. 10 satellites of a phase shift: one line.
    const int32_t aSlots[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const int32_t aFreqs[] = {1, -4, 5, 6, 1, -4, 5, 6, -2};
    SetGloSlotFrequencies(8, aSlots, aFreqs, &h);
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "GLONASS SLOT / FRQ #").size(), 1u);
    SetGloSlotFrequencies(9, aSlots, aFreqs, &h);
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "GLONASS SLOT / FRQ #").at(1),
              "    R09 -2                                                  GLONASS SLOT / FRQ #");
    ScanResult ten;
    ten.Add(GNSS_SYSTEM_GPS, 0, 0x3FF);
    h = MakeObsHeader(304, ten, 1);
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "SYS / PHASE SHIFT").size(), 1u);

    // RINEX 2: 9 types on one line, the tenth on a continuation.
    ScanResult nine;
    nine.Add(GNSS_SYSTEM_GPS, 0, 1);
    nine.Add(GNSS_SYSTEM_GPS, 33096, 1);
    nine.Add(GNSS_SYSTEM_GPS, 520, 1);
    h = MakeObsHeader(211, nine, 1);
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "# / TYPES OF OBSERV").size(), 1u);
    nine.Add(GNSS_SYSTEM_GPS, 2128, 1);
    h = MakeObsHeader(211, nine, 1);
    EXPECT_EQ(LinesWithLabel(HeaderText(&h), "# / TYPES OF OBSERV").size(), 2u);
}

TEST(ObsHeader, TypesAndColumnsAgreeWhateverTheMask)
{
    // I and X have no columns in the epochs, so no header announces them; a
    // BeiDou receiver with nine signals keeps all 36 types.
    RinexObsHeader h = MakeObsHeader(304, FullScan(), 8, RINEX_OBS_C | RINEX_OBS_I | RINEX_OBS_X);
    EXPECT_EQ(Joined(ObsTypesOf(HeaderText(&h)).at('C')), "C2I C7I C6I C1P C5P ");
    ScanResult nine;
    for (uint32_t nCode : {3u, 19u, 11u, 2395u, 283u, 2531u, 419u, 2515u, 403u})
        nine.Add(GNSS_SYSTEM_BDS, nCode, 1);
    h = MakeObsHeader(304, nine, 8);
    const std::string sText = HeaderText(&h);
    EXPECT_EQ(ObsTypesOf(sText).at('C').size(), 36u);
    EXPECT_EQ(h.Systems[GNSS_SYSTEM_BDS].nCodeCount, 9u);
    EXPECT_TRUE(CheckObsHeader(sText, 304).empty()) << Joined(CheckObsHeader(sText, 304));
    // A system outside the mask gets no types, though the source had it.
    h = MakeObsHeader(304, FullScan(), 1 | 4);
    const auto types = ObsTypesOf(HeaderText(&h));
    EXPECT_EQ(types.size(), 2u);
    EXPECT_EQ(h.cSystem, 'M');
}

TEST(ObsHeader, TextFieldsKeepToTheirColumns)
{
    RinexObsHeader h = MakeObsHeader(304);
    SetField(h.szObserver, "");
    SetField(h.szAgency, "An agency with a name far longer than forty characters");
    SetField(h.szProgram, "A program name over twenty");
    SetField(h.szMarkerName, "");
    const std::string sText = HeaderText(&h);
    EXPECT_EQ(LinesWithLabel(sText, "OBSERVER / AGENCY").at(0),
              "                    An agency with a name far longer than foOBSERVER / AGENCY   ");
    EXPECT_EQ(LinesWithLabel(sText, "PGM / RUN BY / DATE").at(0).substr(0, 40),
              "A program name over Halvorne            ");
    EXPECT_EQ(LinesWithLabel(sText, "MARKER NAME").size(), 1u); // required, even when blank
    EXPECT_TRUE(CheckObsHeader(sText, 304).empty()) << Joined(CheckObsHeader(sText, 304));

    h = MakeObsHeader(211);
    EXPECT_TRUE(LinesWithLabel(HeaderText(&h), "MARKER TYPE").empty());
}

TEST(ObsHeader, ParsesHeaderLinesByTheirEnds)
{
    RinexObsHeader written = MakeObsHeader(304);
    const std::string sText = HeaderText(&written);
    // The same header with trailing blanks trimmed and with CR LF line ends.
    std::string sTrimmed, sCrLf;
    size_t nPos = 0;
    while (nPos < sText.size())
    {
        const size_t nEnd = sText.find('\n', nPos);
        std::string line = sText.substr(nPos, nEnd - nPos);
        sCrLf += line + "\r\n";
        line.erase(line.find_last_not_of(' ') + 1);
        sTrimmed += line + "\n";
        nPos = nEnd + 1;
    }
    const std::string sData = "> 2024 01 01 00 00 18.0000000  0  1\n";
    for (const std::string& s : {sText, sTrimmed, sCrLf})
    {
        RinexObsHeader h{};
        const std::string sAll = s + sData;
        EXPECT_EQ(ParseRinexHeaderText(sAll.data(), static_cast<uint32_t>(sAll.size()), &h), s.size());
        EXPECT_EQ(h.nVersion, 304);
        EXPECT_STREQ(h.szMarkerName, "Halvorne Ant001");
        EXPECT_STREQ(h.szAgency, "Halvorne");
        EXPECT_STREQ(h.szRecVersion, "Halvorne QT9C2");
        EXPECT_STREQ(h.szAntType, "ROVER");
        EXPECT_DOUBLE_EQ(h.aApproxPos[2], 4044655.8537);
        EXPECT_DOUBLE_EQ(h.aAntDeltaHen[0], 1.234);
        EXPECT_DOUBLE_EQ(h.aAntDeltaXyz[1], 0.125);
        EXPECT_EQ(h.nObsTypeMask, 15u);
        for (uint32_t sys : {0u, 1u, 2u, 3u, 5u})
        {
            ASSERT_EQ(h.Systems[sys].nTypeCount, written.Systems[sys].nTypeCount) << sys;
            for (uint32_t i = 0; i < h.Systems[sys].nTypeCount; ++i)
                EXPECT_STREQ(h.Systems[sys].szTypes[i], written.Systems[sys].szTypes[i]);
        }
    }

    // RINEX 2 type lists over two lines, another writer's receiver label, and a
    // header without END OF HEADER: lines without a label are passed over to
    // the end of the text (the readers hand over the header up to its END OF
    // HEADER only).
    RinexObsHeader written2 = MakeObsHeader(211);
    std::string s2 = HeaderText(&written2);
    s2.replace(s2.find("REC # / TYPE / VERS"), 19, "REC #  / TYPE / VERS");
    RinexObsHeader h2{};
    ParseRinexHeaderText(s2.data(), static_cast<uint32_t>(s2.size()), &h2);
    EXPECT_EQ(h2.nRinex2TypeCount, 17u);
    EXPECT_STREQ(h2.szRinex2Types[16], "S7");
    EXPECT_STREQ(h2.szRecNumber, "Halvorne#001");
    const std::string sNoEnd = "     2.11           OBSERVATION DATA    G                   RINEX VERSION / TYPE\n"
                               " 24  1  1  0  0 18.0000000  0  1G05\n"
                               "  21000000.123 7\n"
                               "  21000001.123 7\n";
    RinexObsHeader h3{};
    EXPECT_EQ(ParseRinexHeaderText(sNoEnd.data(), static_cast<uint32_t>(sNoEnd.size()), &h3), sNoEnd.size());
    EXPECT_EQ(h3.nVersion, 211);
    EXPECT_EQ(ParseRinexHeaderText(nullptr, 10, &h3), 0u);
    EXPECT_EQ(ParseRinexHeaderText("", 0, &h3), 0u);
}

TEST(ObsHeader, SettingsFileSuppliesTheStationButNotTheJob)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SetCodecConfigDir(dir.path().toLocal8Bit().constData());
    EXPECT_EQ(RinexObsHeaderSettingsPath(), dir.path().toStdString() + "/Settings/RinexObsHeaderSettings.bin");

    // No file: the built-in station, the job's version and types untouched,
    // and a note of it in the debug log.
    ASSERT_TRUE(QDir(dir.path()).mkpath("DebugOutput"));
    ASSERT_EQ(OpenDebugLog(), 1);
    RinexObsHeader h{};
    h.nVersion = 211;
    h.nObsTypeMask = RINEX_OBS_C | RINEX_OBS_L;
    h.nSysMask = 1;
    EXPECT_EQ(LoadRinexObsHeaderSettings(&h), 0);
    CloseDebugLog();
    QFile debugLog(dir.filePath("DebugOutput/MoxelinLog.log"));
    ASSERT_TRUE(debugLog.open(QIODevice::ReadOnly));
    EXPECT_EQ(debugLog.readAll(), "Can not open setting file, use default settings.\n");
    EXPECT_EQ(h.nVersion, 211);
    EXPECT_EQ(h.nObsTypeMask, static_cast<uint32_t>(RINEX_OBS_C | RINEX_OBS_L));
    EXPECT_STREQ(h.szMarkerName, "Halvorne Ant001");
    EXPECT_STREQ(h.szRecVersion, "Halvorne QT9C2");
    RinexObsHeader fresh{};
    LoadRinexObsHeaderSettings(&fresh);
    EXPECT_EQ(fresh.nVersion, 302);
    EXPECT_EQ(fresh.nObsTypeMask, 15u);

    // A file written by another program, trimmed lines, CR LF.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Settings"));
    QFile f(QString::fromStdString(RinexObsHeaderSettingsPath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("     3.04           OBSERVATION DATA    M                   RINEX VERSION / TYPE\r\n"
            "ROOF                                                        MARKER NAME\r\n"
            "Ann                 Survey Office                           OBSERVER / AGENCY\r\n"
            " -2148744.3969  4426641.2048  4044655.8537                  APPROX POSITION XYZ\r\n"
            "                                                            END OF HEADER\r\n");
    f.close();
    EXPECT_EQ(LoadRinexObsHeaderSettings(&h), 0);
    EXPECT_EQ(h.nVersion, 211);
    EXPECT_EQ(h.nObsTypeMask, static_cast<uint32_t>(RINEX_OBS_C | RINEX_OBS_L));
    EXPECT_STREQ(h.szMarkerName, "ROOF");
    EXPECT_STREQ(h.szObserver, "Ann");
    EXPECT_STREQ(h.szAgency, "Survey Office");
    EXPECT_DOUBLE_EQ(h.aApproxPos[1], 4426641.2048);

    // A FIFO in the file's place is never waited on: the built-in station.
    f.remove();
    {
        CFifoGuard fifo(RinexObsHeaderSettingsPath());
        ASSERT_TRUE(fifo.IsValid());
        RinexObsHeader fromFifo{};
        EXPECT_FALSE(ReadRinexObsHeaderSettings(&fromFifo));
        LoadRinexObsHeaderSettings(&fromFifo);
        EXPECT_STREQ(fromFifo.szMarkerName, "Halvorne Ant001");
        EXPECT_FALSE(fifo.Released());
    }
    SetCodecConfigDir(nullptr);
}

TEST(ObsHeader, NavigationHeaderAndFileLetters)
{
    const std::string s = "     3.04           N: GNSS NAV DATA    E: GALILEO          RINEX VERSION / TYPE\n"
                          "Moxelin             Halvorne            20240102 030405 UTC PGM / RUN BY / DATE\n"
                          "GAL    2.8250D+01 -1.5625D-02  2.2552D-02  0.0000D+00       IONOSPHERIC CORR\n"
                          "                                                            END OF HEADER\n"
                          "E01 2024 01 01 00 00 00\n";
    RinexNavInfo info{};
    EXPECT_EQ(ParseRinexNavHeaderText(s.data(), static_cast<uint32_t>(s.size()), &info), s.size() - 24);
    EXPECT_EQ(info.nVersion, 304);
    EXPECT_EQ(info.cFileType, 'N');
    EXPECT_EQ(info.cSystem, 'E');
    EXPECT_STREQ(info.szRunBy, "Halvorne");
    const std::string s2 = "     2.11           G: GLONASS NAV DATA                     RINEX VERSION / TYPE\n";
    RinexNavInfo info2{};
    ParseRinexNavHeaderText(s2.data(), static_cast<uint32_t>(s2.size()), &info2);
    EXPECT_EQ(info2.nVersion, 211);
    EXPECT_EQ(info2.cFileType, 'G');
    EXPECT_EQ(info2.cSystem, 0);

    const std::pair<char, int> letters[] = {{'N', 0}, {'n', 0}, {'G', 1},  {'g', 1},  {'L', 2},  {'l', 2},
                                            {'C', 3}, {'c', 3}, {'J', -1}, {'P', -1}, {'O', -1}, {0, -1}};
    for (const auto& l : letters)
        EXPECT_EQ(NavFileLetterToSystem(l.first), l.second) << l.first;
}
