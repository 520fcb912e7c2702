// Loading a page 1 source: the scan in a thread of its own with a progress
// poller, and the scan's result spread over the header records, the header
// windows, the sample extraction window and the proposed output names.
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>

#include <cstdio>
#include <cstring>

#include "codec/nav_logs.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/rinex_nav.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/source_scan.h"
#include "converter/engine/work_thread.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"
#include "converter/ui/user_prompt.h"
#include "ui_MoxelinMainWindow.h"

// Source paths may be typed with Windows separators.
QString CMoxelinMainWindow::SourcePathOf(const QLineEdit* pField) { return pField->text().replace('\\', '/'); }

void CMoxelinMainWindow::Range2RnxSrcFilePath_textChanged()
{
    m_bSourceScanned = false;
    m_abSourceReady[PAGE_RANGE2RNX] = false;
    UpdateStartControls();
    // The field and its choosers are disabled while the engine is in use;
    // a text set meanwhile (Clear, a finished job) starts nothing.
    if (EngineBusy())
        return;

    const QString sPath = SourcePathOf(m_pUi->Range2RnxSrcFilePath);
    if (sPath.size() < 2)
        return;
    uint64_t nSize = 0;
    const SOURCE_CHECK_E eCheck = CheckSourceFile(sPath, &nSize);
    if (eCheck == SOURCE_EMPTY)
    {
        ClearRange2RnxFiles();
        UserPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                              tr("Source File is empty. Nothing to convert."));
        return;
    }
    // A path being typed names no file yet and stays quiet; a file that is
    // there but cannot be read is reported.
    if (eCheck == SOURCE_UNREADABLE || !(m_pSourceStream = std::fopen(QFile::encodeName(sPath).constData(), "rb")))
    {
        if (QFileInfo(sPath).isFile())
            UserPrompt()->Message(this, QMessageBox::Critical, tr("File Open Error"), CannotOpenText("Source File"));
        return;
    }

    m_anProgressSize[PAGE_RANGE2RNX] = nSize;
    m_bRange2RnxBinary = static_cast<uint32_t>(DetectBinaryLog(m_pSourceStream));
    m_pWorkThread->m_bBinaryInput = m_bRange2RnxBinary;
    SetStateText(QT_TR_NOOP("Loading..."));

    // The records the scan's result goes to start afresh, and so does the
    // leap value: an earlier source's must not carry over to this one.
    CConvertContext& job = JobContext();
    std::memset(job.GetRinexObsHeader(), 0, sizeof(RinexObsHeader));
    *m_pScan = SourceScanInfo{};
    job.SetLeapMs(0);
    // The scan numbers BeiDou signals as the jobs do, and stops when the window closes.
    m_ScanContext.SetBdsEphemStyle(job.GetBdsEphemStyle());
    m_ScanContext.SetStopRequest(
        [](const void* pClosing) { return static_cast<const std::atomic<bool>*>(pClosing)->load(); }, &m_bClosing);

    m_eEngineUse = ENGINE_SCAN;
    UpdateStartControls();
    m_ScanThread = std::thread(&CMoxelinMainWindow::LoadSourceThreadProc, this);
    m_LoadPoller.Start([this] { LoadProgressThreadProc(this); });
}

void CMoxelinMainWindow::LoadSourceThreadProc(CMoxelinMainWindow* pWindow)
{
    pWindow->LoadSourceLog(pWindow->m_pSourceStream);
}

int CMoxelinMainWindow::LoadProgressThreadProc(CMoxelinMainWindow* pWindow)
{
    pWindow->m_LoadPoller.Run([pWindow] { emit pWindow->Range2RnxReadData(pWindow->m_ScanContext.GetScanProgress()); },
                              [pWindow] { emit pWindow->Range2RnxReadData(0); });
    return 0;
}

// Runs in the scan thread: it reads only the stream and writes only the
// window's scan record, then hands over to the GUI thread. Closing the window
// stops the scan at its next block.
void CMoxelinMainWindow::LoadSourceLog(FILE* pStream)
{
    std::memset(m_anFileTimes, 0, sizeof(m_anFileTimes));
    m_nScanStatus =
        ScanSourceLog(pStream, m_pScan.get(), m_anFileTimes, static_cast<int>(m_bRange2RnxBinary), &m_ScanContext);
    std::fclose(pStream);
    QMetaObject::invokeMethod(this, &CMoxelinMainWindow::OnSourceLoaded, Qt::QueuedConnection);
}

void CMoxelinMainWindow::OnSourceLoaded()
{
    if (m_ScanThread.joinable())
        m_ScanThread.join();
    m_pSourceStream = nullptr;
    m_LoadPoller.Stop();
    if (m_bClosing || m_eEngineUse != ENGINE_SCAN)
        return;
    m_eEngineUse = ENGINE_IDLE;
    // The data's leap seconds (its IONUTC log or GLONASS ephemeris, else the
    // table at its first epoch) become the navigation window's default; a
    // value the user typed there wins while that window's header is used.
    m_pNavHeaderWindow->SetDefaultGPSLeapSecond(static_cast<uint32_t>(m_pScan->nLeapMs / 1000));
    ApplyLeapSeconds();
    if (m_nScanStatus < SCAN_NO_POSITION)
    {
        UpdateStartControls();
        emit SignalOpenFile(m_nScanStatus);
        return;
    }
    ApplySourceScan();
    SetStateText(QT_TR_NOOP("Load complete"));
    emit m_pWorkThread->Range2RnxSrcFilePath_signal(1);
}

void CMoxelinMainWindow::ApplySourceScan()
{
    const SourceScanInfo& scan = *m_pScan;
    RinexObsHeader* pObs = JobContext().GetRinexObsHeader();
    RinexNavHeader* pNav = JobContext().GetRinexNavHeader();

    IONUTC_BODY_T ion{};
    if (scan.nIonUtcLength >= LOG_HEADER_LENGTH + sizeof(ion))
        std::memcpy(&ion, scan.aIonUtc + LOG_HEADER_LENGTH, sizeof(ion));
    if (scan.nIonUtcLength && ion.DeltaTls != 0)
    {
        pObs->aLeapSeconds[1] = ion.DeltaTlsf;
        pObs->aLeapSeconds[2] = static_cast<int32_t>(ion.WnLsf);
        pObs->aLeapSeconds[3] = static_cast<int32_t>(ion.Dn);
    }
    pNav->nFutureLeapSeconds = pObs->aLeapSeconds[1];
    pNav->nLeapWeek = pObs->aLeapSeconds[2];
    pNav->nLeapDay = pObs->aLeapSeconds[3];

    RinexObsHeader* pSaved = m_pObsHeaderWindow->SavedHeader();
    for (int i = 0; i < 3; ++i)
        pSaved->aApproxPos[i] = scan.aApproxPos[i];
    m_pObsHeaderWindow->SetApproxPosition();

    // The whole file's span; a job narrows it to its message's.
    auto setTime = [](RinexTimeOfObs* pTime, const ScanCalendar& cal, uint32_t nWeek, uint32_t nMs)
    {
        pTime->nYear = static_cast<int32_t>(cal.nYear);
        pTime->nMonth = static_cast<int32_t>(cal.nMonth);
        pTime->nDay = static_cast<int32_t>(cal.nDay);
        pTime->nHour = static_cast<int32_t>(cal.nHour);
        pTime->nMinute = static_cast<int32_t>(cal.nMinute);
        pTime->dSecond = cal.dSecond;
        pTime->nWeek = nWeek;
        pTime->nMsOfWeek = nMs;
    };
    setTime(&pObs->FirstObs, scan.FirstObs, m_anFileTimes[0], m_anFileTimes[1]);
    setTime(&pObs->LastObs, scan.LastObs, scan.nLastObsWeek, scan.nLastObsMs);

    if (scan.nIonUtcLength)
    {
        for (int i = 0; i < 4; ++i)
        {
            pNav->aIonAlpha[i] = ion.Alpha[i];
            pNav->aIonBeta[i] = ion.Beta[i];
        }
        pNav->dA0 = ion.A0;
        pNav->dA1 = ion.A1;
        pNav->nRefTime = ion.Tot;
        pNav->nRefWeek = ion.UtcWeek;
    }

    m_bSourceScanned = true;
    SetRinexOutputFileNames();

    m_pSampleExtractWindow->m_nFileFirstWeek = m_anFileTimes[0];
    m_pSampleExtractWindow->m_nFileFirstMs = m_anFileTimes[1];
    m_pSampleExtractWindow->m_nFileLastWeek = m_anFileTimes[2];
    m_pSampleExtractWindow->m_nFileLastMs = m_anFileTimes[3];
    m_pSampleExtractWindow->m_dFileInterval = ScanIntervalOfChosenMessage();
    m_pSampleExtractWindow->SetTimeRange();
}

int32_t CMoxelinMainWindow::ChosenLeapMs() const
{
    const bool bTyped = m_pUi->Range2RnxNavHeaderEnable->isChecked() && m_pNavHeaderWindow->GPSLeapSecondTyped();
    return bTyped ? static_cast<int32_t>(m_pNavHeaderWindow->GetGPSLeapSecond()) * 1000 : m_pScan->nLeapMs;
}

void CMoxelinMainWindow::ApplyLeapSeconds()
{
    const int32_t nLeapMs = ChosenLeapMs();
    JobContext().SetLeapMs(nLeapMs);
    JobContext().GetRinexObsHeader()->aLeapSeconds[0] = nLeapMs / 1000;
    JobContext().GetRinexNavHeader()->nLeapSeconds = nLeapMs / 1000;
}

// The interval of the message to convert; when the source holds none of it,
// the smallest interval of the others, so that the rates offered still fit.
double CMoxelinMainWindow::ScanIntervalOfChosenMessage() const
{
    const int nKind = ChosenScanKind();
    if (nKind >= 0 && m_pScan->aMessageIntervals[nKind] > 0.0)
        return m_pScan->aMessageIntervals[nKind];
    double dSmallest = 0.0;
    for (double d : m_pScan->aMessageIntervals)
        if (d > 0.0 && (dSmallest == 0.0 || d < dSmallest))
            dSmallest = d;
    return dSmallest;
}

void CMoxelinMainWindow::Range2RinexMsgID_currentIndexChanged()
{
    if (!m_bSourceScanned || EngineBusy())
        return;
    m_pSampleExtractWindow->m_dFileInterval = ScanIntervalOfChosenMessage();
    m_pSampleExtractWindow->SetTimeRange();
}

void CMoxelinMainWindow::ClearRange2RnxFiles()
{
    for (QLineEdit* pField : Page(PAGE_RANGE2RNX).fields)
        pField->clear();
    SetStateText("");
}

void CMoxelinMainWindow::OnRangetoRinexOpenFile(int ErrorStatus)
{
    (void)ErrorStatus;
    ClearRange2RnxFiles();
    UserPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                          tr("Can not get start and end time!\nplease enter again!!!"));
}
