// Loading a page 1 source: the scan's result spread over the window, the
// header records and the sample extraction window; sources without epochs;
// the leap value of each load; a scan and a job never running together; and
// closing the program while either runs.
#include <QSignalSpy>

#include "conversion_test_support.h"
#include "converter/engine/source_scan.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"

namespace
{
class SourceLoadTest : public ConversionTest
{
protected:
    // The golden source without its IONUTC log: no leap seconds in it.
    static SourceFile SourceWithoutLeap()
    {
        SourceFile src;
        for (uint32_t k = 0; k < 3; ++k)
            AddEpoch(src, Form::RangeText, loggen::Constellation(2, 1), kWeek, kDayMs + k * 1000, k);
        return src;
    }

    void ExpectStartsDisabled()
    {
        for (const char* pButton :
             {"Range2RnxMoxelinBtn", "Rnx2RangeMoxelinBtn", "Log2LogMoxelinBtn", "Range2RnxOpenBtn"})
            EXPECT_FALSE(W<QPushButton>(pButton)->isEnabled()) << pButton;
        for (const char* pAction : {"actionLog_Trans_Rinex", "actionRinex_Trans_Log", "actionLog_Trans_Log",
                                    "actionOpen_Log_Source_File", "actionClear"})
            EXPECT_FALSE(W<QAction>(pAction)->isEnabled()) << pAction;
        EXPECT_FALSE(W<QLineEdit>("Range2RnxSrcFilePath")->isEnabled());
    }
};
} // namespace

TEST_F(SourceLoadTest, ALoadSpreadsTheScanOverTheWindowAndTheHeaders)
{
    Open();
    const QString sSource = Write("site.log", GoldenSource(Form::RangeBinary));
    QSignalSpy progress(m_pWindow.get(), &CMoxelinMainWindow::Range2RnxReadData);
    Choose("Range2RnxOpenBtn", sSource);
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Loading...");
    EXPECT_FALSE(W<QLineEdit>("Range2RnxSrcFilePath")->isEnabled());
    Load(sSource);

    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Load complete");
    // A language switch keeps the state, in the new language.
    SwitchLanguage(m_pWindow.get(), "zh");
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), QString::fromUtf8("加载完成"));
    SwitchLanguage(m_pWindow.get(), "en");
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Load complete");
    EXPECT_TRUE(W<QLineEdit>("Range2RnxSrcFilePath")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QAction>("actionLog_Trans_Rinex")->isEnabled());
    EXPECT_EQ(Text("Range2RnxObsFilePath"), Path("site_rnx3.24O"));
    EXPECT_EQ(Text("Range2RnxQZSNavFilePath"), Path("site_rnx3.24J"));
    EXPECT_EQ(m_pWindow->WorkThread()->m_bBinaryInput, 1u);
    // The poller reports while the scan runs and 0 once it has ended.
    ASSERT_GE(progress.count(), 2);
    EXPECT_EQ(progress.last().at(0).toUInt(), 0u);

    EXPECT_EQ(*JobContext().GetLeapMs(), 18000);
    const RinexObsHeader* pObs = JobContext().GetRinexObsHeader();
    EXPECT_EQ(std::vector<int32_t>(pObs->aLeapSeconds, pObs->aLeapSeconds + 4),
              std::vector<int32_t>({18, 18, 1929, 7}));
    EXPECT_EQ(pObs->FirstObs.nYear, 2024);
    EXPECT_EQ(pObs->FirstObs.nMsOfWeek, kDayMs);
    EXPECT_EQ(pObs->LastObs.nMsOfWeek, kDayMs + 4000);
    const RinexNavHeader* pNav = JobContext().GetRinexNavHeader();
    EXPECT_EQ(pNav->nLeapSeconds, 18);
    EXPECT_EQ(pNav->nLeapWeek, 1929);
    EXPECT_DOUBLE_EQ(pNav->aIonAlpha[0], 1.1176e-8);
    EXPECT_EQ(pNav->nRefWeek, 2295u);
    const double* pPos = m_pWindow->ObsHeaderWindow()->SavedHeader()->aApproxPos;
    EXPECT_NE(pPos[0], 0.0);
    EXPECT_EQ(std::vector<double>(pPos, pPos + 3),
              std::vector<double>(m_pWindow->ScanResults().aApproxPos, m_pWindow->ScanResults().aApproxPos + 3));

    // The sample extraction window holds the file's span and offers the
    // rates from the source's own 1 s on.
    CSampleExtractWindow* pExtract = m_pWindow->SampleExtractWindow();
    EXPECT_EQ(Find<QLineEdit>(pExtract, "ExtractStartTime")->text(), QString("Week:2295 Ms:%1").arg(kDayMs));
    EXPECT_EQ(Find<QLineEdit>(pExtract, "ExtractEndTime")->text(), QString("Week:2295 Ms:%1").arg(kDayMs + 4000));
    auto* pRate = Find<QComboBox>(pExtract, "SampleRate");
    ASSERT_GT(pRate->count(), 0);
    EXPECT_EQ(pRate->itemText(0), "1");
}

// A source without observation epochs, and a folder or an unreadable path:
// a warning for the first, nothing for a path still being typed.
TEST_F(SourceLoadTest, ASourceWithoutEpochsWarnsAndEmptiesPageOne)
{
    Open();
    SourceFile src;
    src.Add(loggen::Text(loggen::Record(MSG_ID_IONUTC, kWeek, kDayMs, loggen::IonUtc(18)), FormatIonUtc));
    Load(Write("ionutc.log", src));
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(m_Prompt.m_Calls.back().sTitle, "Warning");
    EXPECT_EQ(m_Prompt.m_Calls.back().sText, "Can not get start and end time!\nplease enter again!!!");
    for (const char* pField :
         {"Range2RnxSrcFilePath", "Range2RnxObsFilePath", "Range2RnxGPSNavFilePath", "Range2RnxQZSNavFilePath"})
        EXPECT_EQ(Text(pField), "") << pField;
    EXPECT_FALSE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QLineEdit>("Range2RnxSrcFilePath")->isEnabled());
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "");

    for (const QString& sPath : {m_Dir.path(), Path("si"), Path("missing.log")})
    {
        W<QLineEdit>("Range2RnxSrcFilePath")->setText(sPath);
        EXPECT_FALSE(m_pWindow->EngineBusy());
    }
    EXPECT_EQ(Messages(), 1u);
}

// Each load takes the leap seconds of its own data (its IONUTC log, else the
// table at its first epoch: 15 for 2009, 18 for 2024), shown as the
// navigation window's default; a value the user typed there wins while that
// window's header is used.
TEST_F(SourceLoadTest, EachLoadTakesItsOwnLeapValue)
{
    Open();
    const QString sWithLeap = Write("leap.log", GoldenSource(Form::RangeText));
    const QString sWithout = Write("noleap.log", SourceWithoutLeap());
    SourceFile from2009;
    for (uint32_t k = 0; k < 3; ++k)
        AddEpoch(from2009, Form::RangeText, loggen::Constellation(2, 1), 1521, 15000 + k * 30000, k);
    const QString s2009 = Write("site2009.log", from2009);

    CNavHeaderWindow* pNavWindow = m_pWindow->NavHeaderWindow();
    auto* pGpsLeap = Find<QLineEdit>(pNavWindow, "GPSLeapSecond");
    struct Step
    {
        const QString& sSource;
        int32_t nLeap;
    };
    for (const Step& step : {Step{s2009, 15}, Step{sWithout, 18}, Step{sWithLeap, 18}, Step{s2009, 15}})
    {
        Load(step.sSource);
        EXPECT_EQ(*JobContext().GetLeapMs(), step.nLeap * 1000) << step.sSource.toStdString();
        EXPECT_EQ(JobContext().GetRinexObsHeader()->aLeapSeconds[0], step.nLeap);
        EXPECT_EQ(JobContext().GetRinexNavHeader()->nLeapSeconds, step.nLeap);
        EXPECT_EQ(pNavWindow->GetGPSLeapSecond(), uint32_t(step.nLeap));
        EXPECT_EQ(pGpsLeap->text(), QString::number(step.nLeap));
    }

    ASSERT_TRUE(W<QCheckBox>("Range2RnxNavHeaderEnable")->isChecked());
    pGpsLeap->setText("17");
    Find<QPushButton>(pNavWindow, "NavHeaderSaveChange")->click();
    for (const QString& sSource : {sWithout, sWithLeap, s2009})
    {
        Load(sSource);
        EXPECT_EQ(*JobContext().GetLeapMs(), 17000) << sSource.toStdString();
        EXPECT_EQ(JobContext().GetRinexObsHeader()->aLeapSeconds[0], 17);
        EXPECT_EQ(pGpsLeap->text(), "17");
    }

    // Without the window's header the data's own values hold again.
    W<QCheckBox>("Range2RnxNavHeaderEnable")->setChecked(false);
    Load(sWithout);
    EXPECT_EQ(*JobContext().GetLeapMs(), 18000);
    Load(s2009);
    EXPECT_EQ(*JobContext().GetLeapMs(), 15000);
    EXPECT_EQ(JobContext().GetRinexObsHeader()->aLeapSeconds[0], 15);
}

// While a scan runs nothing can be started or cleared, whatever was examined
// before; while a job runs no page 1 source can be loaded.
TEST_F(SourceLoadTest, AScanAndAJobNeverRunTogether)
{
    auto* pWorker = new CStatusWorker;
    Open(pWorker);
    const QString sSource = Write("site.log", GoldenSource(Form::RangeText));
    Choose("Log2LogSrcFileOpenBtn", sSource);
    Choose("Rnx2RangeOpenBtn", Write("site.24O", QByteArray("x")));
    Load(sSource);

    // The scan's result reaches the window only through its event loop, so
    // the window is loading until the test lets events through.
    Choose("Range2RnxOpenBtn", Write("again.log", GoldenSource(Form::RangeText)));
    ASSERT_TRUE(m_pWindow->EngineBusy());
    ExpectStartsDisabled();
    W<QPushButton>("Log2LogMoxelinBtn")->click();
    W<QAction>("actionLog_Trans_Log")->trigger();
    W<QAction>("actionRinex_Trans_Log")->trigger();
    W<QAction>("actionLog_Trans_Rinex")->trigger();
    ASSERT_TRUE(WaitFor([this] { return !m_pWindow->EngineBusy(); }, kWaitMs));
    EXPECT_EQ(pWorker->m_nJobs, 0);
    EXPECT_EQ(pWorker->m_nMode.load(), 0u);
    EXPECT_TRUE(W<QPushButton>("Log2LogMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("Rnx2RangeMoxelinBtn")->isEnabled());
    EXPECT_TRUE(W<QPushButton>("Range2RnxMoxelinBtn")->isEnabled());

    // A job's end likewise arrives through the event loop.
    W<QPushButton>("Log2LogMoxelinBtn")->click();
    ASSERT_TRUE(m_pWindow->EngineBusy());
    ExpectStartsDisabled();
    W<QLineEdit>("Range2RnxSrcFilePath")->setText(Path("site.log"));
    EXPECT_NE(W<QLabel>("ProgressBarState")->text(), "Loading...");
    W<QAction>("actionLog_Trans_Rinex")->trigger();
    WaitForMessage();
    EXPECT_EQ(pWorker->m_nJobs, 1);
    EXPECT_TRUE(W<QLineEdit>("Range2RnxSrcFilePath")->isEnabled());
}

// Closing the program while a scan runs ends the scan at once and drops its
// result; closing it while a job runs stops the job, waits for it and
// removes what it had written.
TEST_F(SourceLoadTest, ClosingStopsAScanAndAJob)
{
    Open();
    // A source far larger than the scan gets through before the close.
    const QString sBig = Path("big.log");
    {
        QFile file(sBig);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(1) << 31));
    }
    Choose("Range2RnxOpenBtn", sBig);
    ASSERT_TRUE(m_pWindow->EngineBusy());
    W<QAction>("actionExit")->trigger();
    EXPECT_FALSE(m_pWindow->isVisible());
    EXPECT_FALSE(m_pWindow->EngineBusy());
    EXPECT_LT(m_pWindow->ScanContext().GetScanProgress(), 1u << 31);
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(W<QLabel>("ProgressBarState")->text(), "Loading...");
    m_pWindow.reset();

    auto* pWorker = new CBlockingJobWorker;
    Open(pWorker);
    Choose("Log2LogSrcFileOpenBtn", Write("site.log", GoldenSource(Form::RangeText)));
    const QString sOutput = Text("Log2LogOutputFilePath");
    W<QPushButton>("Log2LogMoxelinBtn")->click();
    ASSERT_TRUE(WaitFor([&] { return pWorker->m_bRunning.load(); }, kWaitMs));
    EXPECT_TRUE(QFileInfo::exists(sOutput));
    W<QAction>("actionExit")->trigger();
    EXPECT_TRUE(pWorker->isFinished());
    EXPECT_FALSE(QFileInfo::exists(sOutput));
    QCoreApplication::processEvents();
    EXPECT_EQ(Messages(), 0u);
}
