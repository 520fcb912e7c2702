// The converter's main window: three pages (range log to RINEX, RINEX to
// range log, log to log), the menus, the file choosers and the rules that
// enable and disable controls. It owns the header windows, the sample
// extraction window, the About dialog, the worker and the one translator.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QTranslator>

#include <cstdint>
#include <memory>

namespace Ui
{
class MoxelinMainWindow;
}

class QAction;
class QActionGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class CAboutMoxelinDialog;
class CNavHeaderWindow;
class CObsHeaderWindow;
class CSampleExtractWindow;
class CWorkThread;

// Version text shown in the window title.
inline constexpr const char* MOXELIN_VERSION_TEXT = "6145";

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
    QString CurrentLanguage() const { return m_sCurrentLanguage; }

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
    void Range2RnxReadData(uint nBytes);
    void Rnx2RangeReadData(uint nBytes);
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
    void Range2RnxProgressBarUpdate(uint nBytes);
    void Rnx2RangeProgressBarUpdate(uint nBytes);
    void Log2LogProgressBarUpdate(uint nBytes);
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
    void SetNavRowEnabled(QLineEdit* pPath, QPushButton* pButton, bool bEnabled);
    // Runs a file chooser for one field; a cancelled chooser keeps the field.
    void ChooseOpenFile(QLineEdit* pField, const QString& sFilter);
    void ChooseSaveFile(QLineEdit* pField, const QString& sFilter);
    // Ends the worker thread and waits for it.
    void StopWorker();

    std::unique_ptr<Ui::MoxelinMainWindow> m_pUi;
    CObsHeaderWindow* m_pObsHeaderWindow = nullptr;
    CNavHeaderWindow* m_pNavHeaderWindow = nullptr;
    CAboutMoxelinDialog* m_pAboutDialog = nullptr;
    CSampleExtractWindow* m_pSampleExtractWindow = nullptr;
    CWorkThread* m_pWorkThread = nullptr;

    // Size in bytes of the source last examined by a page's source handler.
    uint64_t m_nSourceSize = 0;
    // Set once a page 1 source has been scanned; the RINEX names are only
    // proposed for a scanned source.
    bool m_bSourceScanned = false;

    QActionGroup* m_pLanguageGroup = nullptr;
    QAction* m_pChineseAction = nullptr;
    QAction* m_pEnglishAction = nullptr;
    QTranslator m_Translator;
    QString m_sCurrentLanguage;
};
