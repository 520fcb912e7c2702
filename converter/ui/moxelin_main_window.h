// The converter's main window: three pages (range log to RINEX, RINEX to
// range log, log to log), the menus, the file choosers and the rules that
// enable and disable controls. It owns the header windows, the sample
// extraction window, the About dialog, the worker and the one translator.
//
// A page 1 source is scanned in a thread of its own before it can be
// converted; jobs run in the worker. The scan and a job share the engine's
// header records and leap value, so the window runs one of them at a time:
// while either runs, every convert button and "Start" entry is disabled and
// no page 1 source can be chosen.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QTranslator>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "converter/engine/convert_context.h"
#include "converter/ui/job_files.h"
#include "converter/ui/progress_poller.h"

namespace Ui
{
class MoxelinMainWindow;
}

class QAction;
class QActionGroup;
class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class CAboutMoxelinDialog;
class CNavHeaderWindow;
class CObsHeaderWindow;
class CSampleExtractWindow;
class CWorkThread;
struct SourceScanInfo;

class CMoxelinMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // pWorker replaces the worker the window would create (it takes
    // ownership); tests hand in one whose jobs they control.
    explicit CMoxelinMainWindow(QWidget* parent = nullptr, CWorkThread* pWorker = nullptr);
    ~CMoxelinMainWindow() override;

    void ConnectSignals();
    // Proposes the RINEX output names from the page 1 source path and the
    // first observation year of the observation header record.
    void SetRinexOutputFileNames();

    CObsHeaderWindow* ObsHeaderWindow() const { return m_pObsHeaderWindow; }
    CNavHeaderWindow* NavHeaderWindow() const { return m_pNavHeaderWindow; }
    CAboutMoxelinDialog* AboutDialog() const { return m_pAboutDialog; }
    CSampleExtractWindow* SampleExtractWindow() const { return m_pSampleExtractWindow; }
    CWorkThread* WorkThread() const { return m_pWorkThread; }
    // The state of the worker's jobs: header records, leap value, BeiDou
    // numbering, RINEX-to-log progress. The source scan has a context of its own.
    CConvertContext& JobContext() const;
    const CConvertContext& ScanContext() const { return m_ScanContext; }
    QString CurrentLanguage() const { return m_sCurrentLanguage; }

    // The help page "View Help" opens for a program in sProgramDir, in the
    // interface language sLanguage: the page beside the program (a build
    // tree), else the one in the data folder of an installed program. The
    // Chinese interface opens the Chinese page where there is one. When no
    // page exists, the path of the installed English page.
    static QString HelpDocumentPath(const QString& sProgramDir, const QString& sLanguage);

    // Whether a source scan or a job holds the engine's shared records.
    bool EngineBusy() const { return m_eEngineUse != ENGINE_IDLE; }
    // The scan of the page 1 source; valid once its load has completed.
    const SourceScanInfo& ScanResults() const { return *m_pScan; }

signals:
    void Signal_RinexVersion3();
    void Signal_RinexVersion2();
    void MoxelinRange2RinexComplete();
    void OpenObsSettingWindow();
    void OpenNavSettingWindow();
    void MoxelinRange2RnxStart();
    void MoxelinRnx2RangeStart();
    void MoxelinLog2LogStart();
    void RinexObsHeader_GetData();
    void RinexNavHeader_GetData();
    void SignalLanguageChanged();
    void Range2RnxReadData(qulonglong nBytes);
    void Rnx2RangeReadData(qulonglong nBytes);
    void SignalOpenFile(int nStatus);

public slots:
    void Range2RnxOpenBtn_Click();
    void Range2RnxObsFileSaveBtn_Click();
    void Range2RnxGPSNavFileSaveBtn_Click();
    void Range2RnxGLONavFileSaveBtn_Click();
    void Range2RnxGALNavFileSaveBtn_Click();
    void Range2RnxBDSNavFileSaveBtn_Click();
    void Range2RnxQZSNavFileSaveBtn_Click();
    void Rnx2RangeOpenBtn_Click();
    void Rnx2RangeGPSNavOpenBtn_Click();
    void Rnx2RangeGLONavOpenBtn_Click();
    void Rnx2RangeGALNavOpenBtn_Click();
    void Rnx2RangeBDSNavOpenBtn_Click();
    void Rnx2RangeOutputFileSaveBtn_Click();
    void Log2LogSrcFileOpenBtn_Click();
    void Log2LogOutputFileSaveBtn_Click();
    void Range2RnxMoxelinBtn_Click();
    void Rnx2RangeMoxelinBtn_Click();
    void Log2LogMoxelinBtn_Click();
    void MoxelinExitBtn_Click();
    void MoxelinGUIClearInput();
    void AboutMoxelinDialogOpen();
    void Range2RnxSrcFilePath_textChanged();
    void Rnx2RangeSrcFilePath_textChanged();
    void Log2LogSrcFilePath_textChanged();
    void RnxVersion_currentIndexChanged();
    void Range2RnxObsHeaderEditEnable();
    void Range2RnxNavHeaderEditEnable();
    void ObsHeaderSettingWindow_open();
    void NavHeaderSettingWindow_open();
    void ExtractSettingWindow_open();
    void GPSFlag_checkChanged();
    void GLOFlag_checkChanged();
    void GALFlag_checkChanged();
    void BDSFlag_checkChanged();
    void QZSSFlag_checkChanged();
    void Range2RnxMoxelinBtn_enableChange();
    void Range2RnxMixedNavEnable_stateChanged();
    void Range2RnxComplete(int nStatus);
    void Rnx2RangeComplete(int nStatus);
    void Log2LogComplete(int nStatus);
    void Range2RnxProgressBarUpdate(qulonglong nBytes);
    void Rnx2RangeProgressBarUpdate(qulonglong nBytes);
    void Log2LogProgressBarUpdate(qulonglong nBytes);
    void LogTransLogFlag_toggled(bool bChecked);
    void ViewHelp_clicked();
    void Range2RnxMoxelinBtn_slot(int nEnable);
    void actionLog_Trans_Rinex_slot(int nEnable);
    void Range2RnxSrcFilePath_slot(int nEnable);
    void OnLanguageUpdate();
    void OnLangChanged(QAction* pAction);
    void OnSetLogtoLogOutputFile();
    void OnChangeOutputFileName();
    void OnRangetoRinexOpenFile(int ErrorStatus);

private slots:
    // The scan's result, handed over from the scan thread.
    void OnSourceLoaded();
    // The sample extraction window offers the rates of the chosen message.
    void Range2RinexMsgID_currentIndexChanged();

protected:
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void ConnectForm();
    void SetUpLanguages();
    QString WindowTitleText() const;
    // Enables each page 1 navigation row from its system box and the mixed
    // navigation box.
    void UpdateNavRows();
    // RINEX 2 has no mixed navigation file: the box is off and closed with a
    // tooltip saying why while a 2.xx version is chosen.
    void UpdateMixedNavBox();
    // Whether the chosen version writes RINEX 2 files (2.10 to 2.12, 2.XX).
    bool Rinex2Chosen() const;
    void SetNavRowEnabled(QLineEdit* pPath, QPushButton* pButton, bool bEnabled);
    // Runs a file chooser for one field; a cancelled chooser keeps the field.
    void ChooseOpenFile(QLineEdit* pField, const QString& sFilter);
    void ChooseSaveFile(QLineEdit* pField, const QString& sFilter);
    // Ends the worker thread and waits for it.
    void StopWorker();
    // Stops a running scan and job and waits for them; a job cut short
    // leaves none of the files it created.
    void ShutDown();

    enum PAGE_E
    {
        PAGE_RANGE2RNX = 0,
        PAGE_RNX2RANGE,
        PAGE_LOG2LOG,
        PAGE_COUNT
    };
    enum ENGINE_USE_E
    {
        ENGINE_IDLE,
        ENGINE_SCAN,
        ENGINE_JOB
    };

    static QString SourcePathOf(const QLineEdit* pField);
    // Whether a page 2 or 3 source can be opened. A file that is there but
    // cannot be read is reported; a path being typed stays quiet.
    bool SourceOpens(const QString& sPath);
    // Entry of the scan thread.
    static void LoadSourceThreadProc(CMoxelinMainWindow* pWindow);
    // Entries of the two progress pollers' threads: the load poller reports
    // the bytes the scan has read every 200 ms until the load ends, then 0
    // once; the RINEX poller reports the bytes the RINEX-to-log job has read
    // until the job ends, then once more.
    static int LoadProgressThreadProc(CMoxelinMainWindow* pWindow);
    static int Rnx2RangeProgressThreadProc(CMoxelinMainWindow* pWindow);
    void LoadSourceLog(FILE* pStream);
    void ApplySourceScan();
    // The job's leap value: the one typed in the navigation header window
    // while that window's header is used, else the data's own (the scan's).
    int32_t ChosenLeapMs() const;
    // Puts the chosen leap value into the job's context and header records.
    void ApplyLeapSeconds();
    // Clears the page 1 file fields after a source that cannot be loaded.
    void ClearRange2RnxFiles();
    // The scan's index of the message "Log Type" names; -1 for none.
    int ChosenScanKind() const;
    double ScanIntervalOfChosenMessage() const;

    // Enables each page's convert button and "Start" entry when its source
    // has been examined and the engine is free, and the page 1 source entry
    // points while the engine is free.
    void UpdateStartControls();
    void SetStateText(const char* pText);
    // A page's convert button, "Start" menu entry, bar and file fields.
    struct PageControls
    {
        QPushButton* pConvert;
        QAction* pStart;
        QProgressBar* pBar;
        std::vector<QLineEdit*> fields;
    };
    PageControls Page(PAGE_E ePage) const;
    void SetPageProgress(PAGE_E ePage, uint64_t nBytes);
    // Checks the source and the outputs a job names before it starts; shows
    // what is wrong and returns false.
    struct JobOutput
    {
        QString sPath;
        const char* pKind; // "Observation File", "Output File", ...
    };
    // "Can not open <file>. Please check your path." for a file kind.
    QString CannotOpenText(const char* pFile) const;
    bool CheckJobFiles(const QString& sSource, const std::vector<JobOutput>& outputs, uint64_t* pSourceSize);
    void PrepareRange2RnxHeader();
    void StartJob(PAGE_E ePage, uint64_t nSourceSize);
    void FinishJob(PAGE_E ePage, int nStatus);
    void ShowJobResult(PAGE_E ePage, int nStatus, bool bNothingWritten);

    std::unique_ptr<Ui::MoxelinMainWindow> m_pUi;
    CObsHeaderWindow* m_pObsHeaderWindow = nullptr;
    CNavHeaderWindow* m_pNavHeaderWindow = nullptr;
    CAboutMoxelinDialog* m_pAboutDialog = nullptr;
    CSampleExtractWindow* m_pSampleExtractWindow = nullptr;
    CWorkThread* m_pWorkThread = nullptr;

    ENGINE_USE_E m_eEngineUse = ENGINE_IDLE;
    PAGE_E m_eJobPage = PAGE_RANGE2RNX;
    // Per page: whether its source has been examined (page 1: scanned) so
    // that a job may start, and the size of the source its bar is scaled by.
    bool m_abSourceReady[PAGE_COUNT] = {};
    uint64_t m_anProgressSize[PAGE_COUNT] = {};
    // Set once a page 1 source has been scanned; the RINEX names are only
    // proposed for a scanned source.
    bool m_bSourceScanned = false;
    uint32_t m_bRange2RnxBinary = 0;
    const char* m_pStateText = "";

    // The load of a page 1 source: the stream the scan reads, its result and
    // the file times, written by the scan thread and read by the GUI thread
    // once the thread has ended.
    FILE* m_pSourceStream = nullptr;
    std::unique_ptr<SourceScanInfo> m_pScan;
    uint32_t m_anFileTimes[4] = {};
    int m_nScanStatus = 0;
    std::thread m_ScanThread;
    CConvertContext m_ScanContext;
    // Set when the window closes: the scan stops at its next block.
    std::atomic<bool> m_bClosing{false};
    CProgressPoller m_LoadPoller;
    CProgressPoller m_RinexPoller;
    CJobFiles m_JobFiles;

    QActionGroup* m_pLanguageGroup = nullptr;
    QAction* m_pChineseAction = nullptr;
    QAction* m_pEnglishAction = nullptr;
    QTranslator m_Translator;
    QTranslator m_QtTranslator; // Qt's own texts in the chosen language
    QString m_sCurrentLanguage;
};
