// The three conversions run from the window end to end with the real engine:
// the files the window's jobs write equal what the engine writes for the same
// job on its own, the bars reach 100 %, and every way a job can fail shows
// its own message and leaves none of the job's files behind.
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>

#include <iterator>

#include "codec/catalogue.h"
#include "codec/gnss_time.h"
#include "codec/log_dispatch.h"
#include "conversion_test_support.h"
#include "converter/engine/binex_builder.h"
#include "converter/engine/log_to_log.h"
#include "converter/engine/range_to_rinex.h"
#include "converter/engine/reader_streams.h"
#include "converter/engine/rinex_readers.h"
#include "converter/engine/source_scan.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/sample_extract_window.h"

namespace
{
// The engine tests' golden source (two GPS and one GLONASS satellite, GPS and
// GLONASS ephemerides, IONUTC, RTKPOS) stretched to 20 epochs at 1 Hz.
SourceFile LongSource(Form eForm)
{
    SourceFile src = GoldenSource(eForm);
    for (uint32_t k = 5; k < 20; ++k)
        AddEpoch(src, eForm, loggen::Constellation(2, 1), kWeek, kDayMs + k * 1000, k);
    return src;
}

QStringList FilesIn(const QString& sFolder) { return QDir(sFolder).entryList(QDir::Files, QDir::Name); }

// A regular file this process cannot open for reading: sPath made without
// read permission or, for a process that may read any file, a write-only
// kernel setting. Empty when there is none.
QString UnreadableFile(const QString& sPath)
{
    QFile file(sPath);
    if (file.open(QIODevice::WriteOnly))
        file.write("#RANGEA\n");
    file.close();
    QFile::setPermissions(sPath, QFileDevice::WriteOwner);
    for (const QString& sCandidate : {sPath, QString("/proc/sys/vm/compact_memory")})
    {
        QFile candidate(sCandidate);
        if (QFileInfo(sCandidate).isFile() && !candidate.open(QIODevice::ReadOnly))
            return sCandidate;
    }
    return QString();
}

class ConversionJobsTest : public ConversionTest
{
protected:
    // Types the window's ends and picks a rate in the sample extraction
    // window, as the user does, and switches extraction on.
    void Extract(const QString& sStart, const QString& sEnd, const QString& sRate)
    {
        W<QPushButton>("ExtractSettings")->click();
        CSampleExtractWindow* pExtract = m_pWindow->SampleExtractWindow();
        EXPECT_TRUE(pExtract->isVisible());
        for (auto field : {std::make_pair("ExtractStartTime", sStart), std::make_pair("ExtractEndTime", sEnd)})
        {
            auto* pEdit = Find<QLineEdit>(pExtract, field.first);
            pEdit->setText(field.second);
            emit pEdit->editingFinished();
        }
        Find<QCheckBox>(pExtract, "SampleRateEnable")->setChecked(true);
        Find<QComboBox>(pExtract, "SampleRate")->setCurrentText(sRate);
        Find<QPushButton>(pExtract, "SampleExtractSaveChange")->click();
        W<QCheckBox>("Range2RnxSampleExtractEnable")->setChecked(true);
    }
};
} // namespace

// A range log to RINEX 2.11 and 3.04 with a time window and a sample rate:
// the window's files equal the engine's own for the same job, whose header
// names the first and last epoch written, while the job keeps the window as
// typed.
TEST_F(ConversionJobsTest, RangeLogToRinexWithWindowAndRateWritesWhatTheEngineWrites)
{
    struct Case
    {
        const char* pVersion;
        int32_t nVersion;
        uint32_t nSysMask;
        Form eForm;
    };
    const Case cases[] = {{"2.11", 211, 1 | 2 | 4, Form::RangeText},
                          {"3.04", 304, 1 | 2 | 4 | 8 | 32, Form::RangeBinary}};
    Open();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pVersion);
        QDir(Path(c.pVersion)).removeRecursively();
        QDir().mkpath(Path(QString(c.pVersion) + "/window"));
        QDir().mkpath(Path(QString(c.pVersion) + "/engine"));
        const QString sSource = Write(QString(c.pVersion) + "/window/site.log", LongSource(c.eForm));

        W<QCheckBox>("Range2RnxObsHeaderEnable")->setChecked(false);
        W<QCheckBox>("Range2RnxNavHeaderEnable")->setChecked(false);
        W<QComboBox>("RnxVersion")->setCurrentText(c.pVersion);
        QSignalSpy loadProgress(m_pWindow.get(), &CMoxelinMainWindow::Range2RnxReadData);
        Load(sSource);
        EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Load complete");
        ASSERT_GE(loadProgress.count(), 2);
        EXPECT_EQ(loadProgress.last().at(0).toUInt(), 0u);
        const QString sObsName = QString("site_rnx%1.24O").arg(c.pVersion[0]);
        EXPECT_EQ(Text("Range2RnxObsFilePath"), Path(QString(c.pVersion) + "/window/" + sObsName));

        Extract(QString("Week:%1 Ms:%2").arg(kWeek).arg(kDayMs + 2500),
                QString("Week:%1 Ms:%2").arg(kWeek).arg(kDayMs + 15700), "2");
        const CFakePrompt::Call done = Convert("Range2RnxMoxelinBtn");
        EXPECT_EQ(done.sTitle, "Success");
        EXPECT_EQ(done.sText, "Moxelin Complete.");
        EXPECT_EQ(W<QProgressBar>("Range2RnxProgress")->value(), 100);
        EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Moxelin Complete");
        EXPECT_EQ(Text("Range2RnxSrcFilePath"), "");
        EXPECT_EQ(Text("Range2RnxObsFilePath"), "");
        const CWorkThread* pJob = m_pWindow->WorkThread();
        EXPECT_EQ(pJob->m_nStartMs, kDayMs + 2500);
        EXPECT_EQ(pJob->m_nEndMs, kDayMs + 15700);
        EXPECT_EQ(pJob->m_nSysMask, c.nSysMask);

        // The same job given to the engine alone, its header filled from the
        // scan and the settings as a job's is.
        SourceScanInfo scan{};
        ASSERT_EQ(ScanFile(sSource.toStdString(), &scan), SCAN_OK);
        RinexObsHeader obs{};
        obs.nVersion = c.nVersion;
        obs.nSysMask = static_cast<uint8_t>(c.nSysMask);
        obs.nObsTypeMask = RINEX_OBS_WRITTEN;
        LoadRinexObsHeaderSettings(&obs);
        FillRinexObsTypes(scan.aSignalCodes, scan.aSignalCounts, &obs);
        FillRinexPhaseShifts(scan.aSatMasks, scan.aSatCounts, scan.aSignalCounts, scan.aSignalCodes, &obs);
        SetGloSlotFrequencies(scan.nGloSlotCount, scan.aGloSlots, scan.aGloFrequencies, &obs);
        const int32_t aLeap[4] = {18, 18, 1929, 7};
        std::memcpy(obs.aLeapSeconds, aLeap, sizeof(aLeap));
        obs.dInterval = 2.0;
        const RinexNavHeader nav = NavHeaderFromScan(scan);

        const std::string sEngine = Path(QString(c.pVersion) + "/engine/").toStdString();
        const std::string sSrc = sSource.toStdString(), sObs = sEngine + sObsName.toStdString();
        std::string asNav[GNSS_SYSTEM_COUNT];
        const char acLetter[GNSS_SYSTEM_COUNT] = {'N', 'G', 'L', 'C', 0, 'J'};
        RangeToRinexJob job;
        job.pSrcPath = sSrc.c_str();
        job.pObsPath = sObs.c_str();
        for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        {
            asNav[s] = acLetter[s] ? sObs.substr(0, sObs.size() - 1) + acLetter[s] : std::string();
            job.apNavPaths[s] = asNav[s].c_str();
        }
        job.nObsMessageId = MSG_ID_RANGE;
        job.nSysMask = c.nSysMask;
        job.bExtract = job.bDecimate = true;
        job.nStartWeek = job.nEndWeek = kWeek;
        job.nStartMs = kDayMs + 2500;
        job.nEndMs = kDayMs + 15700;
        job.dInterval = 2.0;
        job.pObsHeader = &obs;
        job.pNavHeader = &nav;
        ASSERT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);

        const QString sWindowDir = Path(QString(c.pVersion) + "/window");
        QStringList outputs = FilesIn(sWindowDir);
        outputs.removeAll("site.log");
        EXPECT_EQ(outputs, FilesIn(QString::fromStdString(sEngine)));
        EXPECT_TRUE(outputs.contains(sObsName));
        for (const QString& sName : outputs)
            EXPECT_EQ(MaskDate(Read(sWindowDir + "/" + sName).toStdString()),
                      MaskDate(Read(QString::fromStdString(sEngine) + sName).toStdString()))
                << sName.toStdString();

        // Epochs every 2 s from the first multiple of 2 s within the window.
        const QString sText = Read(sWindowDir + "/" + sObsName);
        EXPECT_TRUE(sText.contains(QRegularExpression(" 0 +22\\.0000000 +GPS +TIME OF FIRST OBS")));
        EXPECT_TRUE(sText.contains(QRegularExpression(" 0 +32\\.0000000 +GPS +TIME OF LAST OBS")));
        if (c.nVersion == 304)
        {
            EXPECT_EQ(CountRinex3Epochs(sText.toStdString()), 6);
        }
    }
}

// Data from 2005 and 2009 get the leap seconds of their date (13 and 15), in
// the LEAP SECONDS line and, for a GLONASS-only file, which runs on UTC, in
// every epoch time; with or without the header windows.
TEST_F(ConversionJobsTest, HistoricDataGetTheLeapSecondsOfTheirDate)
{
    struct Case
    {
        const char* pVersion;
        bool bGlonassOnly;
        bool bHeaderWindows;
        uint16_t nWeek;
        uint32_t nMs;
        const char* pLeapLine;
        const char* pFirstEpoch;
    };
    const Case cases[] = {
        {"3.04", true, false, 1521, 15000, "    15", "> 2009 03 01 00 00  0.0000000  0  1"},
        {"3.04", true, true, 1521, 15000, "    15", "> 2009 03 01 00 00  0.0000000  0  1"},
        {"2.11", false, true, 1327, 289813000, "    13", " 05  6 15  8 30 13.0000000  0  2"},
    };
    Open();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.pVersion << (c.bHeaderWindows ? " with" : " without") << " windows");
        SourceFile src;
        for (uint32_t k = 0; k < 3; ++k)
            AddEpoch(src, Form::RangeText, loggen::Constellation(1, 1), c.nWeek, c.nMs + k * 30000, k);
        const QString sSource = Write(QString("old%1%2.log").arg(c.nWeek).arg(c.bHeaderWindows), src);
        W<QCheckBox>("Range2RnxObsHeaderEnable")->setChecked(c.bHeaderWindows);
        W<QCheckBox>("Range2RnxNavHeaderEnable")->setChecked(c.bHeaderWindows);
        W<QComboBox>("RnxVersion")->setCurrentText(c.pVersion);
        W<QCheckBox>("GPSValidFlag")->setChecked(!c.bGlonassOnly);
        for (const char* pBox : {"GALValidFlag", "BDSValidFlag", "QzssValidFlag"})
            if (W<QCheckBox>(pBox)->isEnabled())
                W<QCheckBox>(pBox)->setChecked(false);
        Load(sSource);
        const QString sObs = Text("Range2RnxObsFilePath");
        ASSERT_EQ(Convert("Range2RnxMoxelinBtn").sText, "Moxelin Complete.");
        const std::string sText = Read(sObs).toStdString();
        const size_t nLeap = sText.find("LEAP SECONDS");
        ASSERT_NE(nLeap, std::string::npos);
        EXPECT_EQ(sText.substr(nLeap - 60, 6), c.pLeapLine);
        EXPECT_NE(sText.find(std::string(c.pFirstEpoch)), std::string::npos) << sText;
    }
    W<QCheckBox>("GPSValidFlag")->setChecked(true);
}

// A leap value typed in the navigation header window after the source was
// loaded wins over the data's own: in the LEAP SECONDS line and in the epoch
// times of a GLONASS-only file, which runs on UTC.
TEST_F(ConversionJobsTest, ALeapValueTypedAfterTheLoadWins)
{
    SourceFile src;
    for (uint32_t k = 0; k < 3; ++k)
        AddEpoch(src, Form::RangeText, loggen::Constellation(1, 1), 1521, 15000 + k * 30000, k);
    const QString sSource = Write("site2009.log", src);
    Open();
    W<QComboBox>("RnxVersion")->setCurrentText("3.04");
    W<QCheckBox>("Range2RnxNavHeaderEnable")->setChecked(true);
    for (const char* pBox : {"GPSValidFlag", "GALValidFlag", "BDSValidFlag", "QzssValidFlag"})
        W<QCheckBox>(pBox)->setChecked(false);
    Load(sSource);
    CNavHeaderWindow* pNav = m_pWindow->NavHeaderWindow();
    EXPECT_EQ(Find<QLineEdit>(pNav, "GPSLeapSecond")->text(), "15");
    Find<QLineEdit>(pNav, "GPSLeapSecond")->setText("14");
    Find<QPushButton>(pNav, "NavHeaderSaveChange")->click();
    const QString sObs = Text("Range2RnxObsFilePath");
    ASSERT_EQ(Convert("Range2RnxMoxelinBtn").sText, "Moxelin Complete.");
    const std::string sText = Read(sObs).toStdString();
    EXPECT_EQ(HeaderLineText(sText, "LEAP SECONDS").substr(0, 6), "    14");
    EXPECT_EQ(EpochTimes(sText).front(), "> 2009 03 01 00 00  1.0000000");
}

// A RINEX observation file back to RANGE logs: the window's output equals the
// reader's own.
TEST_F(ConversionJobsTest, RinexObservationFileToRangeWritesWhatTheReaderWrites)
{
    // The observation file comes from the engine, from the golden source.
    const QString sLog = Write("site.log", GoldenSource(Form::RangeBinary));
    SourceScanInfo scan{};
    ASSERT_EQ(ScanFile(sLog.toStdString(), &scan), SCAN_OK);
    RinexObsHeader obs = HeaderFromScan(304, scan, 0);
    const RinexNavHeader nav = NavHeaderFromScan(scan);
    const std::string sSrc = sLog.toStdString(), sRinex = Path("site_rnx3.24O").toStdString();
    const std::string sGps = Path("site_rnx3.24N").toStdString(), sGlo = Path("site_rnx3.24G").toStdString();
    RangeToRinexJob job;
    job.pSrcPath = sSrc.c_str();
    job.pObsPath = sRinex.c_str();
    job.apNavPaths[GNSS_SYSTEM_GPS] = sGps.c_str();
    job.apNavPaths[GNSS_SYSTEM_GLONASS] = sGlo.c_str();
    job.nObsMessageId = MSG_ID_RANGE;
    job.nSysMask = 1 | 2;
    job.pObsHeader = &obs;
    job.pNavHeader = &nav;
    ASSERT_EQ(ConvertRangeLogToRinex(job), CONVERT_OK);

    Open();
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(1);
    Choose("Rnx2RangeOpenBtn", QString::fromStdString(sRinex));
    const QString sOutput = Path("Range.log");
    EXPECT_EQ(Text("Rnx2RangeOutputFilePath"), sOutput);
    const CFakePrompt::Call done = Convert("Rnx2RangeMoxelinBtn");
    EXPECT_EQ(done.sTitle, "Success");
    EXPECT_EQ(done.sText, "Moxelin Complete.");
    EXPECT_TRUE(WaitFor([this] { return W<QProgressBar>("Rnx2RangeProgress")->value() == 100; }, kWaitMs));
    for (const char* pField : {"Rnx2RangeSrcFilePath", "Rnx2RangeOutputFilePath"})
        EXPECT_EQ(Text(pField), "") << pField;

    const std::string sExpected = Path("expected.log").toStdString();
    EXPECT_GE(RinexObsFileToLogs(sRinex, sExpected), 0);
    const QByteArray window = Read(sOutput);
    EXPECT_TRUE(window.startsWith("#RANGEA,"));
    EXPECT_EQ(window, Read(QString::fromStdString(sExpected)));
}

// A log to another log form, for kinds chosen by their buttons: the window's
// output equals the engine's conversion of the same source.
TEST_F(ConversionJobsTest, LogToAnotherLogFormWritesWhatTheEngineWrites)
{
    struct Case
    {
        const char* pKind;
        const char* pFormat;
        Form eForm;
        uint32_t nKind;
        const char* pSuffix;
    };
    const Case cases[] = {{"Range2RangecmpFlag", nullptr, Form::RangeBinary, 0, ".Rangecmp"},
                          {"Range2Rangecmp4Flag", nullptr, Form::RangeText, 4, ".Rangecmp4"},
                          {"LogTransLogFlag", "LogOutputBinaryFlag", Form::RangeCmpText, 3, ".Bin"}};
    Open();
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(2);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pKind);
        W<QRadioButton>(c.pKind)->click();
        if (c.pFormat)
            W<QRadioButton>(c.pFormat)->click();
        const QString sSource = Write(QString("log%1.log").arg(c.nKind), LongSource(c.eForm));
        Choose("Log2LogSrcFileOpenBtn", sSource);
        const QString sOutput = sSource.chopped(4) + c.pSuffix;
        EXPECT_EQ(Text("Log2LogOutputFilePath"), sOutput);
        const CFakePrompt::Call done = Convert("Log2LogMoxelinBtn");
        EXPECT_EQ(done.sText, "Moxelin Complete.");
        EXPECT_EQ(W<QProgressBar>("Log2LogProgress")->value(), 100);
        EXPECT_EQ(m_pWindow->WorkThread()->m_nLog2LogKind, c.nKind);

        const QString sExpected = Path(QString("expected%1").arg(c.nKind));
        FILE* pIn = std::fopen(QFile::encodeName(sSource).constData(), "rb");
        FILE* pOut = std::fopen(QFile::encodeName(sExpected).constData(), "wb");
        ASSERT_TRUE(pIn && pOut);
        EXPECT_EQ(ConvertLogToLog(pIn, pOut, static_cast<LOG2LOG_KIND_E>(c.nKind), c.eForm == Form::RangeBinary,
                                  nullptr, nullptr),
                  0);
        std::fclose(pOut);
        std::fclose(pIn);
        const QByteArray window = Read(sOutput);
        EXPECT_FALSE(window.isEmpty());
        EXPECT_EQ(window, Read(sExpected));
    }
}

// A BINEX file converted through the window as a user does it: "Binex to
// log" proposes no output, the user names one, and the observation and
// navigation records become RANGE and GPSEPHEM logs in full text form.
TEST_F(ConversionJobsTest, BinexRecordsBecomeLogsThroughTheWindow)
{
    QByteArray source;
    const auto append = [&source](const std::vector<uint8_t>& rec)
    { source.append(reinterpret_cast<const char*>(rec.data()), static_cast<int>(rec.size())); };
    for (bool bBig : {false, true})
    {
        BinexMessage obs(bBig);
        // 2018-08-27 00:00:30.500, one GPS satellite with one L1 C/A range.
        obs.U8(5).U32(20160001).U16(500).U8(0);
        obs.U8(7).U8((1 << 4) | 0).U8(1).U8(110).Unsigned(22000000000ull, 5);
        append(BinexRecord(0x7F, obs.Bytes(), bBig));
        BinexMessage eph(bBig);
        eph.U8(1).U8(6).U16(2000).U32(302400).U32(302400).F32(0).U32(5);
        for (int i = 0; i < 5; ++i)
            eph.F32(0);
        eph.F64(0.1).F64(0.01).F64(5153.6).U32(302400);
        for (int i = 0; i < 6; ++i)
            eph.F32(0);
        eph.F64(0).F64(0).F64(0.95).F32(0).F32(0).F32(2.4f).U16(0).U16(4);
        append(BinexRecord(1, eph.Bytes(), bBig));
    }
    Open();
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(2);
    auto* pBinex = W<QRadioButton>("BinexTransLogFlag");
    ASSERT_TRUE(pBinex->isVisibleTo(m_pWindow.get()));
    EXPECT_FALSE(W<QRadioButton>("LogTransBinexFlag")->isVisibleTo(m_pWindow.get())) << "BINEX is read, never written";
    Choose("Log2LogSrcFileOpenBtn", Write("site.bnx", source));
    EXPECT_EQ(Text("Log2LogOutputFilePath"), Path("site.Rangecmp"));
    pBinex->click();
    EXPECT_EQ(Text("Log2LogOutputFilePath"), "");
    if (const QString sShots = qEnvironmentVariable("ZV_UI_SHOTS"); !sShots.isEmpty())
        for (const char* pLanguage : {"zh", "en"})
        {
            SwitchLanguage(m_pWindow.get(), pLanguage);
            QCoreApplication::processEvents();
            m_pWindow->grab().save(sShots + "/moxelin_log2log_binex_" + pLanguage + ".png");
        }
    Choose("Log2LogOutputFileSaveBtn", Path("site_binex.log"));
    EXPECT_EQ(Convert("Log2LogMoxelinBtn").sText, "Moxelin Complete.");
    EXPECT_EQ(m_pWindow->WorkThread()->m_nLog2LogKind, uint32_t(LOG2LOG_BINEX_TO_LOG));
    EXPECT_EQ(W<QProgressBar>("Log2LogProgress")->value(), 100);

    const QList<QByteArray> lines = Read(Path("site_binex.log")).split('\n');
    QStringList names;
    for (const QByteArray& line : lines)
    {
        if (line.isEmpty())
            continue;
        const QByteArray log = line + '\n';
        std::vector<uint8_t> record(LOG_MAX_BINARY_LENGTH);
        int32_t n = 0;
        EXPECT_EQ(DecodeLog(reinterpret_cast<const uint8_t*>(log.constData()), log.size(), record.data(), &n), 1)
            << log.constData();
        names << QString::fromLatin1(line.left(line.indexOf(',')));
    }
    EXPECT_EQ(names, QStringList({"#RANGEA", "#GPSEPHEMA", "#RANGEA", "#GPSEPHEMA"}));
}

// Each status a job can end with shows its own message; only a finished job
// empties the page's fields, and no status other than 0 says "Success".
TEST_F(ConversionJobsTest, EachStatusShowsItsMessage)
{
    struct Case
    {
        int nPage;
        int nStatus;
        QMessageBox::Icon eIcon;
        const char* pTitle;
        const char* pText;
        bool bCleared;
        uint32_t nDroppedPhases = 0;
    };
    const QMessageBox::Icon C = QMessageBox::Critical, Wn = QMessageBox::Warning, I = QMessageBox::Information;
    const Case cases[] = {
        {1, 0, I, "Success", "Moxelin Complete.", true},
        {1, -100, C, "File Open Error", "Can not open Source File. Please check your path.", false},
        {1, -99, C, "File Open Error", "Can not open Observation File. Please check your path.", false},
        {1, -98, C, "File Open Error", "Can not open GPS Navigation File. Please check your path.", false},
        {1, -97, C, "File Open Error", "Can not open GLO Navigation File. Please check your path.", false},
        {1, -96, C, "File Open Error", "Can not open GAL Navigation File. Please check your path.", false},
        {1, -95, C, "File Open Error", "Can not open BDS Navigation File. Please check your path.", false},
        // A full disk or an I/O error is not a wrong path.
        {1, -79, C, "File Write Error", "Observation File could not be written completely (disk full or I/O error).",
         false},
        {1, -77, C, "File Write Error", "GLO Navigation File could not be written completely (disk full or I/O error).",
         false},
        {1, -93, Wn, "Warning",
         "No observation epoch was converted. Please check the log type, the systems and the sample extraction.",
         false},
        {1, -92, Wn, "Warning", "Moxelin Complete, but the ephemeris logs could not be saved beside the output files.",
         true},
        {1, -90, C, "Run Error", "Moxelin failed with status -90.", false},
        {2, 0, I, "Success", "Moxelin Complete.", true},
        {2, -94, C, "File Open Error", "Can not open Output File. Please check your path.", false},
        {2, -74, C, "File Write Error", "Output File could not be written completely (disk full or I/O error).", false},
        {2, -90, C, "Unknown File", "Unknown file type. Please check your file.", false},
        {2, -89, C, "Run Error", "Log data error. Can not decode rightly.", false},
        {2, -3, C, "Run Error", "Moxelin failed with status -3.", false},
        {2, 0, Wn, "Warning",
         "Moxelin Complete, but carrier phases could not be kept in the compressed logs and were left out: 3.", true,
         3},
        {3, 0, I, "Success", "Moxelin Complete.", true},
        {3, -94, C, "File Open Error", "Can not open Output File. Please check your path.", false},
        {3, -74, C, "File Write Error", "Output File could not be written completely (disk full or I/O error).", false},
        {3, 0, Wn, "Warning",
         "Moxelin Complete, but carrier phases could not be kept in the compressed logs and were left out: 1.", true,
         1},
        {3, -89, C, "Run Error", "Moxelin failed with status -89.", false},
        {3, 7, C, "Run Error", "Moxelin failed with status 7.", false},
    };
    auto* pWorker = new CStatusWorker;
    Open(pWorker);
    const QString sLog = Write("site.log", GoldenSource(Form::RangeText));
    const QString sRinex = Write("site.24O", QByteArray("not read by this worker\n"));
    const char* const apSource[] = {"Range2RnxSrcFilePath", "Rnx2RangeSrcFilePath", "Log2LogSrcFilePath"};
    const char* const apButton[] = {"Range2RnxMoxelinBtn", "Rnx2RangeMoxelinBtn", "Log2LogMoxelinBtn"};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "page " << c.nPage << " status " << c.nStatus);
        pWorker->m_nStatus = c.nStatus;
        pWorker->m_nDroppedPhases = c.nDroppedPhases;
        if (c.nPage == 1)
            Load(sLog);
        else
            Choose(c.nPage == 2 ? "Rnx2RangeOpenBtn" : "Log2LogSrcFileOpenBtn", c.nPage == 2 ? sRinex : sLog);
        const CFakePrompt::Call call = Convert(apButton[c.nPage - 1]);
        EXPECT_EQ(call.eIcon, c.eIcon);
        EXPECT_EQ(call.sTitle, c.pTitle);
        EXPECT_EQ(call.sText, c.pText);
        EXPECT_EQ(Text(apSource[c.nPage - 1]).isEmpty(), c.bCleared);
        EXPECT_FALSE(W<QPushButton>(apButton[c.nPage - 1])->isEnabled());
        EXPECT_FALSE(m_pWindow->EngineBusy());
    }
    EXPECT_EQ(pWorker->m_nJobs, static_cast<int>(std::size(cases)));
}

// A source that cannot be read, an output folder that cannot be written, an
// empty source and an output that is the source: each is refused with its
// own message before anything is written, and the page can start again.
TEST_F(ConversionJobsTest, FilesThatCannotBeUsedAreRefusedBeforeTheJob)
{
    Open();
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(2);
    const QString sSource = Write("site.log", GoldenSource(Form::RangeText));
    const QByteArray original = Read(sSource);
    struct Case
    {
        const char* pName;
        QString sSource;
        QString sOutput;
        const char* pTitle;
        QString sText;
    };
    const Case cases[] = {
        {"unreadable source", Path("gone.log"), Path("gone.Rangecmp"), "File Open Error",
         "Can not open Source File. Please check your path."},
        {"folder missing", sSource, Path("missing/site.Rangecmp"), "File Open Error",
         "Can not write to the folder of Output File:\n" + Path("missing") + "\nPlease check your path."},
        {"output is a folder", sSource, m_Dir.path(), "File Open Error",
         "Can not open Output File. Please check your path."},
        {"empty source", Path("empty.log"), Path("empty.Rangecmp"), "Warning",
         "Source File is empty. Nothing to convert."},
        {"output is the source", sSource, sSource, "File Open Error",
         "Output File is the Source File. Please choose another path."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pName);
        if (c.sSource.endsWith("gone.log"))
            Write("gone.log", QByteArray("#RANGEA\n"));
        if (c.sSource.endsWith("empty.log"))
            Write("empty.log", QByteArray());
        Choose("Log2LogSrcFileOpenBtn", c.sSource);
        W<QLineEdit>("Log2LogOutputFilePath")->setText(c.sOutput);
        if (c.sSource.endsWith("gone.log"))
            QFile::remove(c.sSource);
        const QStringList before = FilesIn(m_Dir.path());
        const CFakePrompt::Call call = Convert("Log2LogMoxelinBtn");
        EXPECT_EQ(call.sTitle, c.pTitle);
        EXPECT_EQ(call.sText, c.sText);
        EXPECT_EQ(FilesIn(m_Dir.path()), before);
        EXPECT_FALSE(QFileInfo::exists(Path("missing")));
        EXPECT_EQ(Read(sSource), original);
        EXPECT_TRUE(W<QPushButton>("Log2LogMoxelinBtn")->isEnabled());
    }

    // Page 1: an output folder that is missing names the file it is for.
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(0);
    Load(sSource);
    W<QLineEdit>("Range2RnxObsFilePath")->setText(Path("missing/site_rnx3.24O"));
    const CFakePrompt::Call call = Convert("Range2RnxMoxelinBtn");
    EXPECT_EQ(call.sText,
              "Can not write to the folder of Observation File:\n" + Path("missing") + "\nPlease check your path.");
    EXPECT_TRUE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QAction>("actionLog_Trans_Rinex")->isEnabled());

    // An empty page 1 source is not scanned: its page is emptied.
    const QString sEmpty = Write("empty.log", QByteArray());
    Choose("Range2RnxOpenBtn", sEmpty);
    EXPECT_FALSE(m_pWindow->EngineBusy());
    EXPECT_EQ(m_Prompt.m_Calls.back().sText, "Source File is empty. Nothing to convert.");
    EXPECT_EQ(Text("Range2RnxSrcFilePath"), "");
    EXPECT_EQ(Text("Range2RnxObsFilePath"), "");
    EXPECT_FALSE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
}

// A chosen source that is there but cannot be read is reported on every
// page, and nothing is proposed or enabled for it.
TEST_F(ConversionJobsTest, AChosenSourceThatCannotBeReadIsReported)
{
    const QString sPath = UnreadableFile(Path("locked.log"));
    if (sPath.isEmpty())
        GTEST_SKIP() << "no file here that this process cannot read";
    Open();
    for (const char* pButton : {"Range2RnxOpenBtn", "Rnx2RangeOpenBtn", "Log2LogSrcFileOpenBtn"})
    {
        SCOPED_TRACE(pButton);
        const size_t nBefore = Messages();
        Choose(pButton, sPath);
        ASSERT_EQ(Messages(), nBefore + 1);
        EXPECT_EQ(m_Prompt.m_Calls.back().eIcon, QMessageBox::Critical);
        EXPECT_EQ(m_Prompt.m_Calls.back().sTitle, "File Open Error");
        EXPECT_EQ(m_Prompt.m_Calls.back().sText, "Can not open Source File. Please check your path.");
        EXPECT_FALSE(m_pWindow->EngineBusy());
    }
    for (const char* pOutput : {"Range2RnxObsFilePath", "Rnx2RangeOutputFilePath", "Log2LogOutputFilePath"})
        EXPECT_EQ(Text(pOutput), "") << pOutput;
    for (const char* pButton : {"Range2RnxMoxelinBtn", "Rnx2RangeMoxelinBtn", "Log2LogMoxelinBtn"})
        EXPECT_FALSE(W<QPushButton>(pButton)->isEnabled()) << pButton;
}

// A job that fails half-way, or that finds nothing to write, removes the
// files it created: outputs and ephemeris dumps.
TEST_F(ConversionJobsTest, AFailedJobLeavesNoneOfItsFiles)
{
    // The GLONASS ephemeris comes after the epochs and the GPS ephemerides,
    // so the observation file, the GPS file and a dump are written before
    // the missing GLONASS file stops the job.
    using loggen::Record;
    SourceFile src;
    src.Add(loggen::Text(Record(MSG_ID_IONUTC, kWeek, kDayMs, loggen::IonUtc(18)), FormatIonUtc));
    for (uint32_t k = 0; k < 5; ++k)
    {
        src.Add(loggen::Text(
            Record(MSG_ID_GPSEPHEM, kWeek, kDayMs + k * 1000, loggen::GpsEphemeris(1, kWeek, 93600.0, 3 + k)),
            FormatGpsEphem));
        AddEpoch(src, Form::RangeText, loggen::Constellation(2, 1), kWeek, kDayMs + k * 1000, k);
    }
    src.Add(
        loggen::Text(Record(MSG_ID_GLOEPHEMERIS, kWeek, kDayMs + 5000, loggen::GloEphemeris(1, 1, kWeek, kDayMs, 1)),
                     FormatGloEphem));
    const QString sSource = Write("site.log", src);

    Open();
    Load(sSource);
    W<QLineEdit>("Range2RnxGLONavFilePath")->clear();
    CFakePrompt::Call call = Convert("Range2RnxMoxelinBtn");
    EXPECT_EQ(call.sText, "Can not open GLO Navigation File. Please check your path.");
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Moxelin Failed");
    EXPECT_EQ(FilesIn(m_Dir.path()), QStringList({"site.log"}));
    EXPECT_EQ(Text("Range2RnxSrcFilePath"), sSource);

    // A sample rate that no epoch falls on: nothing to convert, and the
    // navigation files written meanwhile go too.
    Load(sSource);
    W<QPushButton>("ExtractSettings")->click();
    CSampleExtractWindow* pExtract = m_pWindow->SampleExtractWindow();
    Find<QCheckBox>(pExtract, "SampleRateEnable")->setChecked(true);
    Find<QComboBox>(pExtract, "SampleRate")->setCurrentText("15");
    Find<QPushButton>(pExtract, "SampleExtractSaveChange")->click();
    W<QCheckBox>("Range2RnxSampleExtractEnable")->setChecked(true);
    call = Convert("Range2RnxMoxelinBtn");
    EXPECT_EQ(call.sTitle, "Warning");
    EXPECT_TRUE(call.sText.startsWith("No observation epoch was converted."));
    EXPECT_EQ(FilesIn(m_Dir.path()), QStringList({"site.log"}));

    // A log job that finds nothing of its kind: no empty output is left.
    W<QTabWidget>("RangeRnxTab")->setCurrentIndex(2);
    W<QRadioButton>("Rangecmp2RangeFlag")->click();
    Choose("Log2LogSrcFileOpenBtn", sSource);
    call = Convert("Log2LogMoxelinBtn");
    EXPECT_EQ(call.sTitle, "Warning");
    EXPECT_EQ(call.sText, "No log of the source could be converted.");
    EXPECT_EQ(FilesIn(m_Dir.path()), QStringList({"site.log"}));
}

// A Range.log from an earlier conversion stands where page 2 proposes its
// output; a source that is no RINEX file fails and leaves it as it was.
TEST_F(ConversionJobsTest, AFailedJobLeavesAnEarlierOutputAsItWas)
{
    Open();
    const QByteArray kEarlier = "#RANGEA,COM1,0,80.0,FINESTEERING,2295,86400.000,02000000,5103,16248;0*00000000\r\n";
    const QString sEarlier = Write("Range.log", kEarlier);
    Choose("Rnx2RangeOpenBtn", Write("site.24O", QByteArray("a receiver log, not RINEX\n")));
    ASSERT_EQ(Text("Rnx2RangeOutputFilePath"), sEarlier);
    const CFakePrompt::Call call = Convert("Rnx2RangeMoxelinBtn");
    EXPECT_EQ(call.sText, "Log data error. Can not decode rightly.");
    EXPECT_EQ(Read(sEarlier), kEarlier);
    EXPECT_EQ(QDir(m_Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "nothing left beside it";
}

// Each page's bar is scaled by its own source: a larger log chosen on page 3
// after page 1 was loaded does not hold page 1's bar below 100 %.
TEST_F(ConversionJobsTest, EachBarIsScaledByItsOwnSource)
{
    Open();
    const QString sSource = Write("site.log", GoldenSource(Form::RangeBinary));
    Load(sSource);
    QByteArray big = Read(sSource).repeated(8);
    Choose("Log2LogSrcFileOpenBtn", Write("big.log", big));
    QSignalSpy progress(m_pWindow->WorkThread(), &CWorkThread::Range2RnxReadDataLog);
    EXPECT_EQ(Convert("Range2RnxMoxelinBtn").sText, "Moxelin Complete.");
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toUInt(), static_cast<uint>(QFileInfo(sSource).size()));
    EXPECT_EQ(W<QProgressBar>("Range2RnxProgress")->value(), 100);
}

// A source of more than 4 GiB (sparse: the worker below reads none of it)
// shows the share the job reports, on the RINEX-to-log page through the
// progress poller and on the log-to-log page through the worker's signal.
TEST_F(ConversionJobsTest, ASourceOver4GiBShowsItsShareOnTheBar)
{
    class CProgressWorker : public CWorkThread
    {
    public:
        std::atomic<uint64_t> m_nBytes{0};
        std::atomic<bool> m_bRelease{false};

    protected:
        int RunRnx2Range() override
        {
            Context().SetRinexBytesRead(m_nBytes);
            return Hold();
        }
        int RunLog2Log() override
        {
            emit Log2LogReadDataLog(m_nBytes);
            return Hold();
        }

    private:
        int Hold()
        {
            while (!m_bRelease && !StopRequested())
                QThread::msleep(1);
            m_bRelease = false;
            return 0;
        }
    };
    const qint64 nSize = (qint64(41) << 30) / 10; // 4.1 GiB
    // 99 % of it lies past 4 GiB, where a 32-bit count would show 1 %.
    const uint64_t nRead = uint64_t(nSize) / 100 * 99;
    const int nPercent = static_cast<int>(double(nRead) / double(nSize) * 100.0);
    ASSERT_GT(nRead, uint64_t(1) << 32);
    auto* pWorker = new CProgressWorker;
    Open(pWorker);
    struct Page
    {
        const char* pOpen;
        const char* pConvert;
        const char* pBar;
        const char* pName;
    };
    for (const Page& page : {Page{"Rnx2RangeOpenBtn", "Rnx2RangeMoxelinBtn", "Rnx2RangeProgress", "big.24O"},
                             Page{"Log2LogSrcFileOpenBtn", "Log2LogMoxelinBtn", "Log2LogProgress", "big.log"}})
    {
        SCOPED_TRACE(page.pName);
        QFile big(Path(page.pName));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(nSize));
        big.close();
        Choose(page.pOpen, big.fileName());
        pWorker->m_nBytes = nRead;
        W<QPushButton>(page.pConvert)->click();
        EXPECT_TRUE(WaitFor([&] { return W<QProgressBar>(page.pBar)->value() == nPercent; }, kWaitMs))
            << W<QProgressBar>(page.pBar)->value() << " %";
        pWorker->m_bRelease = true;
        WaitForMessage();
        QFile::remove(big.fileName());
    }
}

// A receiver whose clock steps put its 30 s epochs 0 to 5 ms after the mark,
// across a week's end: the window offers 30 s and its multiples, every epoch
// is kept at 30 s and every second one at 60 s, and the header's first and
// last observation are the epochs written, wherever the window's ends lie.
TEST_F(ConversionJobsTest, ClockSteppedDataKeepTheirEpochsAndTheHeaderNamesThem)
{
    SourceFile src;
    const uint32_t nStart = GNSS_MS_PER_WEEK - 1800000; // 30 min before the week ends
    for (uint32_t k = 0; k < 120; ++k)
    {
        const uint32_t nMs = nStart + k * 30000 + (k * 7) % 6;
        AddEpoch(src, Form::RangeText, loggen::Constellation(2, 1),
                 static_cast<uint16_t>(kWeek + nMs / GNSS_MS_PER_WEEK), nMs % GNSS_MS_PER_WEEK, k * 30.0);
    }
    const QString sSource = Write("steps.log", src);
    Open();
    struct Case
    {
        const char* pStart;
        const char* pEnd;
        const char* pRate;
        int nEpochs;
        const char* pFirst;
        const char* pLast;
    };
    const Case cases[] = {
        {"Week:2295 Ms:603000000", "Week:2296 Ms:2000000", "30", 120, "> 2024 01 06 23 30  0.0000000",
         "> 2024 01 07 00 29 30.0050000"},
        {"Week:2295 Ms:604790000", "Week:2296 Ms:1000000", "60", 17, "> 2024 01 07 00 00  0.0000000",
         "> 2024 01 07 00 16  0.0020000"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pRate);
        Load(sSource);
        QStringList rates;
        auto* pRates = Find<QComboBox>(m_pWindow->SampleExtractWindow(), "SampleRate");
        for (int i = 0; i < pRates->count(); ++i)
            rates << pRates->itemText(i);
        EXPECT_EQ(rates, QStringList({"30", "60", "120", "300", "600", "900", "1800", "3600"}));
        const QString sObs = Text("Range2RnxObsFilePath");
        Extract(c.pStart, c.pEnd, c.pRate);
        ASSERT_EQ(Convert("Range2RnxMoxelinBtn").sText, "Moxelin Complete.");
        const std::string sText = Read(sObs).toStdString();
        const std::vector<std::string> times = EpochTimes(sText);
        ASSERT_EQ(static_cast<int>(times.size()), c.nEpochs);
        EXPECT_EQ(times.front(), c.pFirst);
        EXPECT_EQ(times.back(), c.pLast);
        EXPECT_EQ(RinexCalendarText(HeaderLineText(sText, "TIME OF FIRST OBS")), RinexCalendarText(c.pFirst));
        EXPECT_EQ(RinexCalendarText(HeaderLineText(sText, "TIME OF LAST OBS")), RinexCalendarText(c.pLast));
        EXPECT_EQ(HeaderLineText(sText, "INTERVAL"),
                  QString("%1").arg(c.pRate, 6).toStdString() + ".000" + std::string(50, ' '));
    }
}
