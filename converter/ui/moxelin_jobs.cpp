// The conversion jobs of the main window: each page's controls become a job
// of the worker (and, for page 1, the engine's RINEX header records), the
// page's bar follows the job, and the job's status becomes one message. Also
// the output names proposed from a source path.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <cstring>

#include "codec/catalogue.h"
#include "codec/gnss_time.h"
#include "codec/signals.h"
#include "converter/engine/engine_state.h"
#include "converter/engine/ephem_dump.h"
#include "converter/engine/log_to_log.h"
#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/source_scan.h"
#include "converter/engine/work_thread.h"
#include "converter/ui/field_text.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"
#include "converter/ui/user_prompt.h"
#include "ui_MoxelinMainWindow.h"

namespace
{
// The path without the extension of its file name; a name without '.' keeps
// the whole path, so derived names stay in the source's folder.
QString PathStem(const QString& sPath)
{
    const int nSlash = sPath.lastIndexOf('/');
    const int nDot = sPath.lastIndexOf('.');
    return nDot > nSlash ? sPath.left(nDot) : sPath;
}

// The file each "can not be created" status names.
struct OPEN_ERROR_T
{
    int nStatus;
    const char* pKind;
};
const OPEN_ERROR_T kOpenErrors[] = {
    {CONVERT_ERR_SOURCE, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "Source File")},
    {CONVERT_ERR_OBS_OUTPUT, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "Observation File")},
    {CONVERT_ERR_GPS_NAV, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "GPS Navigation File")},
    {CONVERT_ERR_GLO_NAV, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "GLO Navigation File")},
    {CONVERT_ERR_GAL_NAV, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "GAL Navigation File")},
    {CONVERT_ERR_BDS_NAV, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "BDS Navigation File")},
    {CONVERT_ERR_OUTPUT, QT_TRANSLATE_NOOP("CMoxelinMainWindow", "Output File")},
};
const char* const kQzssNavKind = QT_TRANSLATE_NOOP("CMoxelinMainWindow", "QZS Navigation File");

// The file a status names; null for the other statuses.
const char* FileOfStatus(int nStatus)
{
    for (const OPEN_ERROR_T& error : kOpenErrors)
        if (error.nStatus == nStatus)
            return error.pKind;
    return nullptr;
}

// The file a "could not be written" status names; null for the other statuses.
const char* FileOfWriteStatus(int nStatus)
{
    for (const OPEN_ERROR_T& error : kOpenErrors)
        if (WriteFailureStatus(error.nStatus) == nStatus && nStatus != 0)
            return error.pKind;
    return nullptr;
}

// The header writer makes the calendar time from these, in the time system
// of the file.
void SetObsTime(RinexTimeOfObs* pTime, uint32_t nWeek, uint32_t nMs)
{
    pTime->nWeek = nWeek;
    pTime->nMsOfWeek = nMs;
}

// The sample interval in whole milliseconds; 0 when the engine could not use it.
uint32_t IntervalMs(double dInterval)
{
    const double dMs = dInterval * 1000.0;
    return std::isfinite(dMs) && dMs >= 1.0 && dMs < 4294967296.0 ? static_cast<uint32_t>(dMs) : 0;
}
} // namespace

// ---- Controls

CMoxelinMainWindow::PageControls CMoxelinMainWindow::Page(PAGE_E ePage) const
{
    const Ui::MoxelinMainWindow& ui = *m_pUi;
    switch (ePage)
    {
    case PAGE_RANGE2RNX:
        return {ui.Range2RnxMoxelinBtn,
                ui.actionLog_Trans_Rinex,
                ui.Range2RnxProgress,
                {ui.Range2RnxSrcFilePath, ui.Range2RnxObsFilePath, ui.Range2RnxGPSNavFilePath,
                 ui.Range2RnxGLONavFilePath, ui.Range2RnxGALNavFilePath, ui.Range2RnxBDSNavFilePath,
                 ui.Range2RnxQZSNavFilePath}};
    case PAGE_RNX2RANGE:
        return {ui.Rnx2RangeMoxelinBtn,
                ui.actionRinex_Trans_Log,
                ui.Rnx2RangeProgress,
                {ui.Rnx2RangeSrcFilePath, ui.Rnx2RangeOutputFilePath, ui.Rnx2RangeGPSNavFilePath,
                 ui.Rnx2RangeGLONavFilePath, ui.Rnx2RangeGALNavFilePath, ui.Rnx2RangeBDSNavFilePath}};
    default:
        return {ui.Log2LogMoxelinBtn,
                ui.actionLog_Trans_Log,
                ui.Log2LogProgress,
                {ui.Log2LogSrcFilePath, ui.Log2LogOutputFilePath}};
    }
}

void CMoxelinMainWindow::UpdateStartControls()
{
    Ui::MoxelinMainWindow& ui = *m_pUi;
    const bool bFree = !EngineBusy();
    for (int i = 0; i < PAGE_COUNT; ++i)
    {
        const PageControls page = Page(static_cast<PAGE_E>(i));
        page.pConvert->setEnabled(bFree && m_abSourceReady[i]);
        page.pStart->setEnabled(bFree && m_abSourceReady[i]);
    }
    // A page 1 source starts a scan, and Clear would take the fields of a
    // running job: neither while the engine is in use.
    ui.Range2RnxSrcFilePath->setEnabled(bFree);
    ui.Range2RnxOpenBtn->setEnabled(bFree);
    ui.actionOpen_Log_Source_File->setEnabled(bFree);
    ui.actionClear->setEnabled(bFree);
}

void CMoxelinMainWindow::SetStateText(const char* pText)
{
    m_pStateText = pText;
    m_pUi->ProgressBarState->setText(tr(pText));
}

// ---- Progress: bytes read as a share of the page's own source

void CMoxelinMainWindow::SetPageProgress(PAGE_E ePage, uint64_t nBytes)
{
    const uint64_t nSize = m_anProgressSize[ePage];
    if (nSize == 0)
        return;
    const double dPercent = static_cast<double>(nBytes) / static_cast<double>(nSize) * 100.0;
    if (dPercent >= 0.0 && dPercent <= 100.0)
        Page(ePage).pBar->setValue(static_cast<int>(dPercent));
}

void CMoxelinMainWindow::Range2RnxProgressBarUpdate(qulonglong nBytes) { SetPageProgress(PAGE_RANGE2RNX, nBytes); }
void CMoxelinMainWindow::Rnx2RangeProgressBarUpdate(qulonglong nBytes) { SetPageProgress(PAGE_RNX2RANGE, nBytes); }
void CMoxelinMainWindow::Log2LogProgressBarUpdate(qulonglong nBytes) { SetPageProgress(PAGE_LOG2LOG, nBytes); }

// ---- Sources of pages 2 and 3, and output names

bool CMoxelinMainWindow::SourceOpens(const QString& sPath)
{
    uint64_t nSize = 0;
    if (CheckSourceFile(sPath, &nSize) != SOURCE_UNREADABLE)
        return true;
    if (QFileInfo(sPath).isFile())
        UserPrompt()->Message(this, QMessageBox::Critical, tr("File Open Error"),
                              CannotOpenText(FileOfStatus(CONVERT_ERR_SOURCE)));
    return false;
}

void CMoxelinMainWindow::Rnx2RangeSrcFilePath_textChanged()
{
    const QString sPath = SourcePathOf(m_pUi->Rnx2RangeSrcFilePath);
    if (!SourceOpens(sPath))
        return;
    m_abSourceReady[PAGE_RNX2RANGE] = true;
    UpdateStartControls();
    m_pUi->Rnx2RangeOutputFilePath->setText(sPath.left(sPath.lastIndexOf('/') + 1) + "Range.log");
}

void CMoxelinMainWindow::Log2LogSrcFilePath_textChanged()
{
    if (SourceOpens(SourcePathOf(m_pUi->Log2LogSrcFilePath)))
        OnSetLogtoLogOutputFile();
}
void CMoxelinMainWindow::OnChangeOutputFileName() { OnSetLogtoLogOutputFile(); }

void CMoxelinMainWindow::OnSetLogtoLogOutputFile()
{
    const QString sPath = SourcePathOf(m_pUi->Log2LogSrcFilePath);
    uint64_t nSize = 0;
    if (CheckSourceFile(sPath, &nSize) == SOURCE_UNREADABLE)
        return;
    m_abSourceReady[PAGE_LOG2LOG] = true;
    UpdateStartControls();

    const QString sStem = PathStem(sPath);
    QString sName;
    if (m_pUi->Range2RangecmpFlag->isChecked())
        sName = sStem + ".Rangecmp";
    else if (m_pUi->Rangecmp2RangeFlag->isChecked() || m_pUi->Rangecmp42RangeFlag->isChecked())
        sName = sStem + ".range";
    else if (m_pUi->Range2Rangecmp4Flag->isChecked())
        sName = sStem + ".Rangecmp4";
    else if (m_pUi->LogTransLogFlag->isChecked())
        sName = sStem + (m_pUi->LogOutputBinaryFlag->isChecked() ? ".Bin" : ".Asc");
    m_pUi->Log2LogOutputFilePath->setText(sName);
}

void CMoxelinMainWindow::SetRinexOutputFileNames()
{
    const QString sStem = PathStem(SourcePathOf(m_pUi->Range2RnxSrcFilePath));
    const int nYear = ((JobContext().GetRinexObsHeader()->FirstObs.nYear % 100) + 100) % 100;
    const int nMajor = Rinex2Chosen() ? 2 : 3;
    const QString sObsName = QString("%1_rnx%2.%3O").arg(sStem).arg(nMajor).arg(nYear, 2, 10, QChar('0'));

    emit m_pWorkThread->Range2RnxMoxelinBtn_signal(1);
    emit m_pWorkThread->actionLog_Trans_Rinex_signal(1);

    m_pUi->Range2RnxObsFilePath->setText(sObsName);
    const QString sNavStem = sObsName.left(sObsName.size() - 1);
    m_pUi->Range2RnxGPSNavFilePath->setText(sNavStem + (m_pUi->Range2RnxMixedNavEnable->isChecked() ? 'M' : 'N'));
    m_pUi->Range2RnxGLONavFilePath->setText(sNavStem + 'G');
    m_pUi->Range2RnxGALNavFilePath->setText(sNavStem + 'L');
    m_pUi->Range2RnxBDSNavFilePath->setText(sNavStem + 'C');
    m_pUi->Range2RnxQZSNavFilePath->setText(sNavStem + 'J');
}

// ---- Checks before a job

QString CMoxelinMainWindow::CannotOpenText(const char* pFile) const
{
    return tr("Can not open ") + tr(pFile) + tr(". Please check your path.");
}

bool CMoxelinMainWindow::CheckJobFiles(const QString& sSource, const std::vector<JobOutput>& outputs,
                                       uint64_t* pSourceSize)
{
    const QString sFileOpenError = tr("File Open Error");
    switch (CheckSourceFile(sSource, pSourceSize))
    {
    case SOURCE_UNREADABLE:
        UserPrompt()->Message(this, QMessageBox::Critical, sFileOpenError,
                              CannotOpenText(FileOfStatus(CONVERT_ERR_SOURCE)));
        return false;
    case SOURCE_EMPTY:
        UserPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                              tr("Source File is empty. Nothing to convert."));
        return false;
    case SOURCE_OK:
        break;
    }
    for (const JobOutput& output : outputs)
    {
        const QString sKind = tr(output.pKind);
        switch (CheckOutputFile(output.sPath, sSource))
        {
        case OUTPUT_OK:
            continue;
        case OUTPUT_FOLDER:
            UserPrompt()->Message(this, QMessageBox::Critical, sFileOpenError,
                                  tr("Can not write to the folder of %1:\n%2\nPlease check your path.")
                                      .arg(sKind, QFileInfo(output.sPath).absolutePath()));
            return false;
        case OUTPUT_SAME_AS_SOURCE:
            UserPrompt()->Message(this, QMessageBox::Critical, sFileOpenError,
                                  tr("%1 is the Source File. Please choose another path.").arg(sKind));
            return false;
        case OUTPUT_UNNAMED:
        case OUTPUT_READ_ONLY:
            UserPrompt()->Message(this, QMessageBox::Critical, sFileOpenError, CannotOpenText(output.pKind));
            return false;
        }
    }
    return true;
}

// ---- Starting the jobs

void CMoxelinMainWindow::Range2RnxMoxelinBtn_Click()
{
    if (EngineBusy() || !m_abSourceReady[PAGE_RANGE2RNX])
        return;
    Ui::MoxelinMainWindow& ui = *m_pUi;
    CWorkThread& worker = *m_pWorkThread;
    const bool bMixed = ui.Range2RnxMixedNavEnable->isChecked();
    const bool bExtract = ui.Range2RnxSampleExtractEnable->checkState() != Qt::Unchecked;

    struct SystemRow
    {
        QCheckBox* pBox;
        uint32_t nBit;
        QLineEdit* pNavPath;
        const char* pKind;
    };
    const SystemRow rows[] = {{ui.GPSValidFlag, 1, ui.Range2RnxGPSNavFilePath, FileOfStatus(CONVERT_ERR_GPS_NAV)},
                              {ui.GLOValidFlag, 2, ui.Range2RnxGLONavFilePath, FileOfStatus(CONVERT_ERR_GLO_NAV)},
                              {ui.GALValidFlag, 4, ui.Range2RnxGALNavFilePath, FileOfStatus(CONVERT_ERR_GAL_NAV)},
                              {ui.BDSValidFlag, 8, ui.Range2RnxBDSNavFilePath, FileOfStatus(CONVERT_ERR_BDS_NAV)},
                              {ui.QzssValidFlag, 32, ui.Range2RnxQZSNavFilePath, kQzssNavKind}};
    uint32_t nSysMask = 0;
    for (const SystemRow& row : rows)
        if (row.pBox->isChecked())
            nSysMask |= row.nBit;

    // The outputs the job may create: navigation files only where a path
    // stands (a system without ephemerides writes none).
    const QString sSource = SourcePathOf(ui.Range2RnxSrcFilePath);
    std::vector<JobOutput> outputs = {{ui.Range2RnxObsFilePath->text(), FileOfStatus(CONVERT_ERR_OBS_OUTPUT)}};
    for (const SystemRow& row : rows)
    {
        const SystemRow& file = bMixed ? rows[0] : row;
        if ((nSysMask & row.nBit) && !file.pNavPath->text().isEmpty())
            outputs.push_back({file.pNavPath->text(), file.pKind});
    }
    uint64_t nSize = 0;
    if (!CheckJobFiles(sSource, outputs, &nSize))
        return;
    const SampleExtractSettings& extract = m_pSampleExtractWindow->Settings();
    if (bExtract && IntervalMs(extract.dInterval) == 0)
    {
        UserPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                              tr("The sample interval must be at least 0.001 seconds."));
        return;
    }

    worker.m_sSrcFilePath = sSource;
    worker.m_sObsFilePath = ui.Range2RnxObsFilePath->text();
    worker.m_sGpsNavFilePath = ui.Range2RnxGPSNavFilePath->text();
    worker.m_sGloNavFilePath = ui.Range2RnxGLONavFilePath->text();
    worker.m_sGalNavFilePath = ui.Range2RnxGALNavFilePath->text();
    worker.m_sBdsNavFilePath = ui.Range2RnxBDSNavFilePath->text();
    worker.m_sQzssNavFilePath = ui.Range2RnxQZSNavFilePath->text();
    worker.m_sRinexVersion = ui.RnxVersion->currentText();
    worker.m_nObsHeaderEdit = static_cast<uint32_t>(ui.Range2RnxObsHeaderEnable->checkState());
    worker.m_nNavHeaderEdit = static_cast<uint32_t>(ui.Range2RnxNavHeaderEnable->checkState());
    worker.m_sObsMsgName = ui.Range2RinexMsgID->currentText();
    worker.m_nSysMask = nSysMask;
    uint32_t nTypeMask = 0;
    uint32_t nTypeBit = 1;
    for (QCheckBox* pBox : {ui.ObsTypeC, ui.ObsTypeL, ui.ObsTypeD, ui.ObsTypeS, ui.ObsTypeI, ui.ObsTypeX})
    {
        nTypeMask |= pBox->isChecked() ? nTypeBit : 0;
        nTypeBit <<= 1;
    }
    worker.m_nObsTypeMask = nTypeMask;
    worker.m_bBinaryInput = m_bRange2RnxBinary;
    worker.m_bMixedNav = bMixed ? 1 : 0;
    worker.m_bExtract = bExtract ? 1 : 0;
    if (bExtract)
    {
        worker.m_bDecimate = extract.nRateEnable;
        worker.m_nStartWeek = extract.nStartWeek;
        worker.m_nStartMs = extract.nStartMs;
        worker.m_nEndWeek = extract.nEndWeek;
        worker.m_nEndMs = extract.nEndMs;
        worker.m_dInterval = extract.dInterval;
    }
    PrepareRange2RnxHeader();

    m_JobFiles.Clear();
    m_JobFiles.Add(worker.m_sObsFilePath);
    for (const SystemRow& row : rows)
        m_JobFiles.Add(row.pNavPath->text());
    const QString sDumpFolder =
        QFile::decodeName(QByteArray::fromStdString(EphemDumpDirectoryOf(QFile::encodeName(worker.m_sObsFilePath))));
    for (uint32_t s = 0; s < GNSS_SYSTEM_COUNT; ++s)
        if (const char* pName = EphemDumpFileName(s))
            m_JobFiles.Add(sDumpFolder + pName);

    SetStateText(QT_TR_NOOP("Moxelin"));
    StartJob(PAGE_RANGE2RNX, nSize);
    emit MoxelinRange2RnxStart();
    m_pWorkThread->start(QThread::InheritPriority);
}

int CMoxelinMainWindow::ChosenScanKind() const
{
    const QByteArray sName = m_pUi->Range2RinexMsgID->currentText().toLatin1();
    return ScanRangeKind(LogNameToId(sName.constData(), 1, static_cast<uint32_t>(sName.size())));
}

// The observation header record for the job about to start, from the job's
// choices, the settings file or the header window, and the source scan.
void CMoxelinMainWindow::PrepareRange2RnxHeader()
{
    const CWorkThread& worker = *m_pWorkThread;
    const SourceScanInfo& scan = *m_pScan;
    RinexObsHeader* pHeader = JobContext().GetRinexObsHeader();

    // A leap value typed in the navigation header window since the load wins too.
    ApplyLeapSeconds();
    double dVersion = 0.0;
    QStringToDouble(worker.m_sRinexVersion, &dVersion);
    pHeader->nVersion = static_cast<int32_t>(dVersion * 100.0);
    const int nKind = ChosenScanKind();
    if (nKind >= 0)
    {
        pHeader->dInterval = scan.aMessageIntervals[nKind];
        SetObsTime(&pHeader->FirstObs, scan.aMessageTimes[nKind][0], scan.aMessageTimes[nKind][1]);
        SetObsTime(&pHeader->LastObs, scan.aMessageTimes[nKind][2], scan.aMessageTimes[nKind][3]);
    }
    pHeader->nSysMask = static_cast<uint8_t>(worker.m_nSysMask);
    pHeader->nObsTypeMask = worker.m_nObsTypeMask;
    if (worker.m_nObsHeaderEdit == 0)
        LoadRinexObsHeaderSettings(pHeader);
    else
        emit RinexObsHeader_GetData();
    FillRinexObsTypes(scan.aSignalCodes, scan.aSignalCounts, pHeader);
    FillRinexPhaseShifts(scan.aSatMasks, scan.aSatCounts, scan.aSignalCounts, scan.aSignalCodes, pHeader);
    SetGloSlotFrequencies(scan.nGloSlotCount, scan.aGloSlots, scan.aGloFrequencies, pHeader);
    if (worker.m_nNavHeaderEdit != 0)
        emit RinexNavHeader_GetData();
    // The header's first and last observation are those of the epochs the
    // job writes (the engine sets them); the interval is the sample rate's.
    if (worker.m_bExtract != 0)
        pHeader->dInterval = worker.m_dInterval;
}

void CMoxelinMainWindow::Rnx2RangeMoxelinBtn_Click()
{
    if (EngineBusy() || !m_abSourceReady[PAGE_RNX2RANGE])
        return;
    Ui::MoxelinMainWindow& ui = *m_pUi;
    CWorkThread& worker = *m_pWorkThread;
    const QString sSource = SourcePathOf(ui.Rnx2RangeSrcFilePath);
    uint64_t nSize = 0;
    if (!CheckJobFiles(sSource, {{ui.Rnx2RangeOutputFilePath->text(), FileOfStatus(CONVERT_ERR_OUTPUT)}}, &nSize))
        return;

    worker.m_sSrcFilePath = sSource;
    worker.m_sGpsNavFilePath = ui.Rnx2RangeGPSNavFilePath->text();
    worker.m_sGloNavFilePath = ui.Rnx2RangeGLONavFilePath->text();
    worker.m_sGalNavFilePath = ui.Rnx2RangeGALNavFilePath->text();
    worker.m_sBdsNavFilePath = ui.Rnx2RangeBDSNavFilePath->text();
    worker.m_sOutFilePath = ui.Rnx2RangeOutputFilePath->text();
    worker.m_nRnx2RangeOption = static_cast<uint32_t>(ui.RangecmpFlag->checkState());
    if (ui.NFormatFlag->isChecked())
        JobContext().SetBdsEphemStyle(2);
    else if (ui.UFormatFlag->isChecked())
        JobContext().SetBdsEphemStyle(1);

    m_JobFiles.Clear();
    m_JobFiles.Add(worker.m_sOutFilePath);
    // The poller must not show the count of an earlier job.
    JobContext().SetRinexBytesRead(0);
    StartJob(PAGE_RNX2RANGE, nSize);
    emit MoxelinRnx2RangeStart();
    m_pWorkThread->start(QThread::InheritPriority);
    m_RinexPoller.Start([this] { Rnx2RangeProgressThreadProc(this); });
}

int CMoxelinMainWindow::Rnx2RangeProgressThreadProc(CMoxelinMainWindow* pWindow)
{
    // The last report after the job has ended shows all it read.
    auto report = [pWindow] { emit pWindow->Rnx2RangeReadData(pWindow->JobContext().GetRinexBytesRead()); };
    pWindow->m_RinexPoller.Run(report, report);
    return 0;
}

void CMoxelinMainWindow::Log2LogMoxelinBtn_Click()
{
    if (EngineBusy() || !m_abSourceReady[PAGE_LOG2LOG])
        return;
    Ui::MoxelinMainWindow& ui = *m_pUi;
    CWorkThread& worker = *m_pWorkThread;
    const QString sSource = SourcePathOf(ui.Log2LogSrcFilePath);
    uint64_t nSize = 0;
    if (!CheckJobFiles(sSource, {{ui.Log2LogOutputFilePath->text(), FileOfStatus(CONVERT_ERR_OUTPUT)}}, &nSize))
        return;

    worker.m_sSrcFilePath = sSource;
    worker.m_sOutFilePath = ui.Log2LogOutputFilePath->text();
    const struct
    {
        QRadioButton* pButton;
        LOG2LOG_KIND_E eKind;
    } kinds[] = {{ui.Range2RangecmpFlag, LOG2LOG_RANGE_TO_RANGECMP},
                 {ui.Rangecmp2RangeFlag, LOG2LOG_RANGECMP_TO_RANGE},
                 {ui.Range2Rangecmp4Flag, LOG2LOG_RANGE_TO_RANGECMP4},
                 {ui.Rangecmp42RangeFlag, LOG2LOG_RANGECMP4_TO_RANGE},
                 {ui.BinexTransLogFlag, LOG2LOG_BINEX_TO_LOG},
                 {ui.LogTransBinexFlag, LOG2LOG_RANGE_TEXT_TO_BINARY},
                 {ui.LogOutputASCIIFlag, LOG2LOG_TO_TEXT},
                 {ui.LogOutputBinaryFlag, LOG2LOG_TO_BINARY}};
    for (const auto& kind : kinds)
    {
        if (kind.pButton->isChecked())
        {
            worker.m_nLog2LogKind = kind.eKind;
            break;
        }
    }
    // The page's own source decides whether it is binary, not page 1's.
    if (FILE* pSource = std::fopen(QFile::encodeName(sSource).constData(), "rb"))
    {
        worker.m_bBinaryInput = static_cast<uint32_t>(DetectBinaryLog(pSource));
        std::fclose(pSource);
    }

    m_JobFiles.Clear();
    m_JobFiles.Add(worker.m_sOutFilePath);
    StartJob(PAGE_LOG2LOG, nSize);
    emit MoxelinLog2LogStart();
    m_pWorkThread->start(QThread::InheritPriority);
}

void CMoxelinMainWindow::StartJob(PAGE_E ePage, uint64_t nSourceSize)
{
    m_eEngineUse = ENGINE_JOB;
    m_eJobPage = ePage;
    m_abSourceReady[ePage] = false;
    m_anProgressSize[ePage] = nSourceSize;
    Page(ePage).pBar->setValue(0);
    UpdateStartControls();
}

// ---- Completion

void CMoxelinMainWindow::Range2RnxComplete(int nStatus) { FinishJob(PAGE_RANGE2RNX, nStatus); }
void CMoxelinMainWindow::Rnx2RangeComplete(int nStatus) { FinishJob(PAGE_RNX2RANGE, nStatus); }
void CMoxelinMainWindow::Log2LogComplete(int nStatus) { FinishJob(PAGE_LOG2LOG, nStatus); }

void CMoxelinMainWindow::FinishJob(PAGE_E ePage, int nStatus)
{
    if (m_bClosing || m_eEngineUse != ENGINE_JOB || m_eJobPage != ePage)
        return;
    StopWorker();
    m_RinexPoller.Stop();
    const bool bComplete = nStatus == CONVERT_OK || (ePage == PAGE_RANGE2RNX && nStatus == CONVERT_EPHEM_DUMP_FAILED);
    // A log job that wrote nothing found nothing it could convert.
    const bool bNothingWritten = bComplete && ePage != PAGE_RANGE2RNX && m_pWorkThread->m_nOutputBytes == 0;
    if (!bComplete || bNothingWritten)
        m_JobFiles.RemoveCreated();
    m_eEngineUse = ENGINE_IDLE;

    ShowJobResult(ePage, nStatus, bNothingWritten);

    if (bComplete && !bNothingWritten)
        for (QLineEdit* pField : Page(ePage).fields)
            pField->clear();
    if (ePage == PAGE_RANGE2RNX)
        SetStateText(bComplete ? QT_TR_NOOP("Moxelin Complete") : QT_TR_NOOP("Moxelin Failed"));
    m_abSourceReady[ePage] = false;
    UpdateStartControls();
}

void CMoxelinMainWindow::ShowJobResult(PAGE_E ePage, int nStatus, bool bNothingWritten)
{
    CUserPrompt* pPrompt = UserPrompt();
    if (const char* pFile = FileOfStatus(nStatus))
        pPrompt->Message(this, QMessageBox::Critical, tr("File Open Error"), CannotOpenText(pFile));
    else if (const char* pWritten = FileOfWriteStatus(nStatus))
        pPrompt->Message(this, QMessageBox::Critical, tr("File Write Error"),
                         tr("%1 could not be written completely (disk full or I/O error).").arg(tr(pWritten)));
    else if (ePage == PAGE_RNX2RANGE && nStatus == CONVERT_ERR_RINEX_TYPE)
        pPrompt->Message(this, QMessageBox::Critical, tr("Unknown File"),
                         tr("Unknown file type. Please check your file."));
    else if (ePage == PAGE_RNX2RANGE && nStatus == CONVERT_ERR_RINEX_READ)
        pPrompt->Message(this, QMessageBox::Critical, tr("Run Error"), tr("Log data error. Can not decode rightly."));
    else if (ePage == PAGE_RANGE2RNX && nStatus == CONVERT_NO_EPOCH)
        pPrompt->Message(this, QMessageBox::Warning, tr("Warning"),
                         tr("No observation epoch was converted. Please check the log type, the systems and the "
                            "sample extraction."));
    else if (ePage == PAGE_RANGE2RNX && nStatus == CONVERT_EPHEM_DUMP_FAILED)
        pPrompt->Message(this, QMessageBox::Warning, tr("Warning"),
                         tr("Moxelin Complete, but the ephemeris logs could not be saved beside the output files."));
    else if (nStatus == CONVERT_OK && bNothingWritten)
        pPrompt->Message(this, QMessageBox::Warning, tr("Warning"), tr("No log of the source could be converted."));
    else if (nStatus == CONVERT_OK && ePage != PAGE_RANGE2RNX && m_pWorkThread->m_Phases.nDropped > 0)
        pPrompt->Message(this, QMessageBox::Warning, tr("Warning"),
                         tr("Moxelin Complete, but carrier phases could not be kept in the compressed logs and were "
                            "left out: %1.")
                             .arg(m_pWorkThread->m_Phases.nDropped));
    else if (nStatus == CONVERT_OK)
        pPrompt->Message(this, QMessageBox::Information, tr("Success"), tr("Moxelin Complete."));
    else
        pPrompt->Message(this, QMessageBox::Critical, tr("Run Error"),
                         tr("Moxelin failed with status %1.").arg(nStatus));
}
