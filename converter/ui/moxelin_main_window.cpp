#include "converter/ui/moxelin_main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QUrl>

#include "converter/engine/rinex_obs_header.h"
#include "converter/engine/source_scan.h"
#include "converter/engine/work_thread.h"
#include "converter/ui/about_moxelin_dialog.h"
#include "converter/ui/file_filters.h"
#include "converter/ui/nav_header_window.h"
#include "converter/ui/obs_header_window.h"
#include "converter/ui/sample_extract_window.h"
#include "converter/ui/user_prompt.h"
#include "converter/ui/window_fit.h"
#include "ui_MoxelinMainWindow.h"
#include "zv_version.h"

namespace
{
const QSize kDesignedSize(729, 544);
const char* const kTranslationFormat = ":/new/prefix2/Moxelin_%s.qm";
const char* const kHelpDocument = "MoxelinHelp.html";
const char* const kHelpDocumentZh = "MoxelinHelp_zh.html";
// ZV_MOXELIN_HELP_DIR is where an installed program's help pages stand,
// relative to the program's folder (set by the build from the install layout).
// Qt's own texts (standard buttons and dialogs) for a language other than
// English, from the system's Qt translations.
const char* const kQtTranslation = "qtbase_zh_CN";
} // namespace

CMoxelinMainWindow::CMoxelinMainWindow(QWidget* parent, CWorkThread* pWorker)
    : QMainWindow(parent), m_pUi(new Ui::MoxelinMainWindow), m_pScan(new SourceScanInfo{})
{
    InitMoxelinResources();
    m_pWorkThread = pWorker ? pWorker : new CWorkThread(0);
    // The header and sample windows fill and read the state of the worker's jobs.
    m_pObsHeaderWindow = new CObsHeaderWindow(this, &m_pWorkThread->Context());
    m_pNavHeaderWindow = new CNavHeaderWindow(this, &m_pWorkThread->Context());
    m_pAboutDialog = new CAboutMoxelinDialog(this);
    m_pSampleExtractWindow = new CSampleExtractWindow(this, &m_pWorkThread->Context());

    m_pUi->setupUi(this);
    ConnectForm();
    m_pUi->RangeRnxTab->setCurrentIndex(0);
    m_pUi->Range2RinexMsgID->setCurrentIndex(0);
    // The version rules run once for the form's version; nothing listens to
    // their signals yet, the header window starts in the version 3 state.
    RnxVersion_currentIndexChanged();

    setWindowTitle(WindowTitleText());
    SetUpLanguages();
    ConnectSignals();

    // BINEX records are read, never written: "Binex to log" is offered, "Log
    // to Binex" (text RANGE logs to binary ones) is not.
    m_pUi->LogTransBinexFlag->hide();
    FixWindowSize(this, kDesignedSize);
}

CConvertContext& CMoxelinMainWindow::JobContext() const { return m_pWorkThread->Context(); }

CMoxelinMainWindow::~CMoxelinMainWindow()
{
    ShutDown();
    delete m_pWorkThread;
}

// The form's own connections: each control drives the slot named after it.
void CMoxelinMainWindow::ConnectForm()
{
    Ui::MoxelinMainWindow& ui = *m_pUi;
    using W = CMoxelinMainWindow;
    connect(ui.Range2RnxOpenBtn, &QPushButton::clicked, this, &W::Range2RnxOpenBtn_Click);
    connect(ui.actionOpen_Log_Source_File, &QAction::triggered, this, &W::Range2RnxOpenBtn_Click);
    connect(ui.Range2RnxObsFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxObsFileSaveBtn_Click);
    connect(ui.Range2RnxGPSNavFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxGPSNavFileSaveBtn_Click);
    connect(ui.Range2RnxGLONavFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxGLONavFileSaveBtn_Click);
    connect(ui.Range2RnxGALNavFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxGALNavFileSaveBtn_Click);
    connect(ui.Range2RnxBDSNavFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxBDSNavFileSaveBtn_Click);
    connect(ui.Range2RnxQZSNavFileSaveBtn, &QPushButton::clicked, this, &W::Range2RnxQZSNavFileSaveBtn_Click);
    connect(ui.Rnx2RangeOpenBtn, &QPushButton::clicked, this, &W::Rnx2RangeOpenBtn_Click);
    connect(ui.actionOpen_Rinex_Obs_File, &QAction::triggered, this, &W::Rnx2RangeOpenBtn_Click);
    connect(ui.Rnx2RangeGPSNavOpenBtn, &QPushButton::clicked, this, &W::Rnx2RangeGPSNavOpenBtn_Click);
    connect(ui.Rnx2RangeGLONavOpenBtn, &QPushButton::clicked, this, &W::Rnx2RangeGLONavOpenBtn_Click);
    connect(ui.Rnx2RangeGALNavOpenBtn, &QPushButton::clicked, this, &W::Rnx2RangeGALNavOpenBtn_Click);
    connect(ui.Rnx2RangeBDSNavOpen, &QPushButton::clicked, this, &W::Rnx2RangeBDSNavOpenBtn_Click);
    connect(ui.Rnx2RangeOutputFileSaveBtn, &QPushButton::clicked, this, &W::Rnx2RangeOutputFileSaveBtn_Click);
    connect(ui.Log2LogSrcFileOpenBtn, &QPushButton::clicked, this, &W::Log2LogSrcFileOpenBtn_Click);
    connect(ui.actionOpen_Log_File, &QAction::triggered, this, &W::Log2LogSrcFileOpenBtn_Click);
    connect(ui.Log2LogOutputFileSaveBtn, &QPushButton::clicked, this, &W::Log2LogOutputFileSaveBtn_Click);

    connect(ui.Range2RnxMoxelinBtn, &QPushButton::clicked, this, &W::Range2RnxMoxelinBtn_Click);
    connect(ui.Range2RnxMoxelinBtn, &QPushButton::clicked, this, &W::Range2RnxMoxelinBtn_enableChange);
    connect(ui.actionLog_Trans_Rinex, &QAction::triggered, this, &W::Range2RnxMoxelinBtn_Click);
    connect(ui.Rnx2RangeMoxelinBtn, &QPushButton::clicked, this, &W::Rnx2RangeMoxelinBtn_Click);
    connect(ui.actionRinex_Trans_Log, &QAction::triggered, this, &W::Rnx2RangeMoxelinBtn_Click);
    connect(ui.Log2LogMoxelinBtn, &QPushButton::clicked, this, &W::Log2LogMoxelinBtn_Click);
    connect(ui.actionLog_Trans_Log, &QAction::triggered, this, &W::Log2LogMoxelinBtn_Click);

    connect(ui.actionExit, &QAction::triggered, this, &W::MoxelinExitBtn_Click);
    connect(ui.actionClear, &QAction::triggered, this, &W::MoxelinGUIClearInput);
    connect(ui.actionAbout_Moxelin, &QAction::triggered, this, &W::AboutMoxelinDialogOpen);
    connect(ui.ViewHelp, &QAction::triggered, this, &W::ViewHelp_clicked);

    connect(ui.Range2RnxSrcFilePath, &QLineEdit::textChanged, this, &W::Range2RnxSrcFilePath_textChanged);
    connect(ui.Rnx2RangeSrcFilePath, &QLineEdit::textChanged, this, &W::Rnx2RangeSrcFilePath_textChanged);
    connect(ui.Log2LogSrcFilePath, &QLineEdit::textChanged, this, &W::Log2LogSrcFilePath_textChanged);
    connect(ui.RnxVersion, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &W::RnxVersion_currentIndexChanged);
    connect(ui.Range2RnxObsHeaderEnable, &QCheckBox::stateChanged, this, &W::Range2RnxObsHeaderEditEnable);
    connect(ui.Range2RnxNavHeaderEnable, &QCheckBox::stateChanged, this, &W::Range2RnxNavHeaderEditEnable);
    connect(ui.ObsHeaderSettings, &QPushButton::clicked, this, &W::ObsHeaderSettingWindow_open);
    connect(ui.NavHeaderSettings, &QPushButton::clicked, this, &W::NavHeaderSettingWindow_open);
    connect(ui.ExtractSettings, &QPushButton::clicked, this, &W::ExtractSettingWindow_open);
    connect(ui.GPSValidFlag, &QCheckBox::stateChanged, this, &W::GPSFlag_checkChanged);
    connect(ui.GLOValidFlag, &QCheckBox::stateChanged, this, &W::GLOFlag_checkChanged);
    connect(ui.GALValidFlag, &QCheckBox::stateChanged, this, &W::GALFlag_checkChanged);
    connect(ui.BDSValidFlag, &QCheckBox::stateChanged, this, &W::BDSFlag_checkChanged);
    connect(ui.QzssValidFlag, &QCheckBox::stateChanged, this, &W::QZSSFlag_checkChanged);
    connect(ui.Range2RnxMixedNavEnable, &QCheckBox::stateChanged, this, &W::Range2RnxMixedNavEnable_stateChanged);
    connect(ui.LogTransLogFlag, &QRadioButton::toggled, this, &W::LogTransLogFlag_toggled);
    connect(ui.Range2RinexMsgID, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &W::Range2RinexMsgID_currentIndexChanged);
}

void CMoxelinMainWindow::ConnectSignals()
{
    using W = CMoxelinMainWindow;
    CWorkThread* pWorker = m_pWorkThread;
    connect(m_pObsHeaderWindow, &CObsHeaderWindow::CreatAgencyName_Changed, m_pNavHeaderWindow,
            &CNavHeaderWindow::AgencyName_textChanged);
    connect(pWorker, &CWorkThread::Range2RnxReadDataLog, this, &W::Range2RnxProgressBarUpdate);
    connect(pWorker, &CWorkThread::Rnx2RangeReadDataLog, this, &W::Rnx2RangeProgressBarUpdate);
    connect(pWorker, &CWorkThread::Log2LogReadDataLog, this, &W::Log2LogProgressBarUpdate);
    connect(this, &W::Range2RnxReadData, this, &W::Range2RnxProgressBarUpdate);
    connect(this, &W::SignalOpenFile, this, &W::OnRangetoRinexOpenFile);
    connect(this, &W::Rnx2RangeReadData, this, &W::Rnx2RangeProgressBarUpdate);
    connect(pWorker, &CWorkThread::Range2RnxReturn, this, &W::Range2RnxComplete);
    connect(pWorker, &CWorkThread::Rnx2RangeReturn, this, &W::Rnx2RangeComplete);
    connect(pWorker, &CWorkThread::Log2LogReturn, this, &W::Log2LogComplete);
    connect(this, &W::RinexObsHeader_GetData, m_pObsHeaderWindow, &CObsHeaderWindow::RinexObsHeader_FillData);
    connect(this, &W::RinexNavHeader_GetData, m_pNavHeaderWindow, &CNavHeaderWindow::RinexNavHeader_FillData);
    connect(this, &W::Signal_RinexVersion3, m_pObsHeaderWindow, &CObsHeaderWindow::ObsHeaderWindowVersion3Changed);
    connect(this, &W::Signal_RinexVersion2, m_pObsHeaderWindow, &CObsHeaderWindow::ObsHeaderWindowVersion2Changed);
    connect(this, &W::OpenObsSettingWindow, m_pObsHeaderWindow, &CObsHeaderWindow::ObsSettingWindow_SetInfo);
    connect(this, &W::OpenNavSettingWindow, m_pNavHeaderWindow, &CNavHeaderWindow::NavSettingWindow_SetInfo);
    connect(this, &W::MoxelinRange2RnxStart, pWorker, &CWorkThread::StartRange2Rnx);
    connect(this, &W::MoxelinRnx2RangeStart, pWorker, &CWorkThread::StartRnx2Range);
    connect(this, &W::MoxelinLog2LogStart, pWorker, &CWorkThread::StartLog2Log);
    connect(pWorker, &CWorkThread::Range2RnxMoxelinBtn_signal, this, &W::Range2RnxMoxelinBtn_slot);
    connect(pWorker, &CWorkThread::actionLog_Trans_Rinex_signal, this, &W::actionLog_Trans_Rinex_slot);
    connect(pWorker, &CWorkThread::Range2RnxSrcFilePath_signal, this, &W::Range2RnxSrcFilePath_slot);
    for (QRadioButton* pButton : {m_pUi->Range2RangecmpFlag, m_pUi->Rangecmp2RangeFlag, m_pUi->LogOutputASCIIFlag,
                                  m_pUi->LogOutputBinaryFlag, m_pUi->Range2Rangecmp4Flag, m_pUi->Rangecmp42RangeFlag,
                                  m_pUi->BinexTransLogFlag})
        connect(pButton, &QRadioButton::clicked, this, &W::OnSetLogtoLogOutputFile);
    connect(this, &W::SignalLanguageChanged, m_pObsHeaderWindow, &CObsHeaderWindow::OnLanguageUpdate);
    connect(this, &W::SignalLanguageChanged, m_pNavHeaderWindow, &CNavHeaderWindow::OnLanguageUpdate);
    connect(this, &W::SignalLanguageChanged, m_pAboutDialog, &CAboutMoxelinDialog::OnLanguageUpdate);
    connect(this, &W::SignalLanguageChanged, m_pSampleExtractWindow, &CSampleExtractWindow::OnLanguageUpdate);
}

// ---- Languages and title

void CMoxelinMainWindow::SetUpLanguages()
{
    m_pLanguageGroup = new QActionGroup(m_pUi->LanguageMenu);
    m_pLanguageGroup->setExclusive(true);
    connect(m_pLanguageGroup, &QActionGroup::triggered, this, &CMoxelinMainWindow::OnLangChanged);
    connect(this, &CMoxelinMainWindow::SignalLanguageChanged, this, &CMoxelinMainWindow::OnLanguageUpdate);

    m_pChineseAction = new QAction(tr("Chinese"), this);
    m_pChineseAction->setCheckable(true);
    m_pUi->LanguageMenu->addAction(m_pChineseAction);
    m_pLanguageGroup->addAction(m_pChineseAction);
    m_pChineseAction->setIconText("zh");

    m_pEnglishAction = new QAction(tr("English"), this);
    m_pEnglishAction->setCheckable(true);
    m_pUi->LanguageMenu->addAction(m_pEnglishAction);
    m_pLanguageGroup->addAction(m_pEnglishAction);
    m_pEnglishAction->setIconText("en");

    QAction* pFirst = QLocale().language() == QLocale::Chinese ? m_pChineseAction : m_pEnglishAction;
    pFirst->setChecked(true);
    OnLangChanged(pFirst);
}

void CMoxelinMainWindow::OnLangChanged(QAction* pAction)
{
    const QString sCode = pAction->iconText();
    if (sCode == m_sCurrentLanguage)
        return;
    m_sCurrentLanguage = sCode;
    QCoreApplication::removeTranslator(&m_Translator);
    QCoreApplication::removeTranslator(&m_QtTranslator);
    if (sCode == "zh" && m_QtTranslator.load(kQtTranslation, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_QtTranslator);
    const QString sFile = QString::asprintf(kTranslationFormat, sCode.toLatin1().constData());
    if (m_Translator.load(sFile))
        QCoreApplication::installTranslator(&m_Translator);
}

void CMoxelinMainWindow::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        emit SignalLanguageChanged();
    QMainWindow::changeEvent(pEvent);
}

QString CMoxelinMainWindow::WindowTitleText() const
{
    return tr("Halvorne Moxelin") + tr(" (Ver:") + tr("%1)").arg(QLatin1String(ZV_VERSION_TEXT), 0, QChar(' '));
}

void CMoxelinMainWindow::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    // Retranslation puts the designer texts back; the label follows the
    // mixed navigation box, as it does when the box changes.
    if (m_pUi->Range2RnxMixedNavEnable->isChecked())
        m_pUi->GPSNavFileLabel->setText(tr("Nav File"));
    UpdateMixedNavBox();
    m_pUi->ProgressBarState->setText(tr(m_pStateText));
    m_pChineseAction->setText(tr("Chinese"));
    m_pEnglishAction->setText(tr("English"));
    setWindowTitle(WindowTitleText());
    FixWindowSize(this, kDesignedSize);
}

// ---- Closing

void CMoxelinMainWindow::StopWorker()
{
    if (!m_pWorkThread)
        return;
    m_pWorkThread->RequestStop();
    m_pWorkThread->wait();
}

void CMoxelinMainWindow::ShutDown()
{
    // The scan stops at its next block once the flag is set; the thread objects
    // must never be destroyed while they run. Results that arrive later are dropped.
    m_bClosing = true;
    if (m_ScanThread.joinable())
        m_ScanThread.join();
    m_LoadPoller.Stop();
    StopWorker();
    m_RinexPoller.Stop();
    if (m_eEngineUse == ENGINE_JOB)
        m_JobFiles.RemoveCreated();
    m_eEngineUse = ENGINE_IDLE;
}

void CMoxelinMainWindow::closeEvent(QCloseEvent* pEvent)
{
    ShutDown();
    m_pObsHeaderWindow->close();
    m_pNavHeaderWindow->close();
    m_pSampleExtractWindow->close();
    m_pAboutDialog->close();
    pEvent->accept();
}

void CMoxelinMainWindow::MoxelinExitBtn_Click() { close(); }

// ---- File choosers

void CMoxelinMainWindow::ChooseOpenFile(QLineEdit* pField, const QString& sFilter)
{
    const QString sDir = pField->text().isEmpty() ? QString() : QFileInfo(pField->text()).absolutePath();
    const QString sPath = UserPrompt()->OpenFileName(this, tr("open file"), sDir, sFilter);
    if (sPath.isEmpty())
        return;
    // Choosing the path that stands in the field examines that file anew
    // (after a failed job, or once it has been written again).
    if (sPath == pField->text())
        emit pField->textChanged(sPath);
    else
        pField->setText(sPath);
}

void CMoxelinMainWindow::ChooseSaveFile(QLineEdit* pField, const QString& sFilter)
{
    const QString sDir = pField->text().isEmpty() ? QString() : pField->text();
    const QString sPath = UserPrompt()->SaveFileName(this, tr("save file"), sDir, sFilter);
    if (!sPath.isEmpty())
        pField->setText(sPath);
}

void CMoxelinMainWindow::Range2RnxOpenBtn_Click() { ChooseOpenFile(m_pUi->Range2RnxSrcFilePath, kLogFileFilter); }
void CMoxelinMainWindow::Range2RnxObsFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Range2RnxObsFilePath, kObsFileFilter);
}
void CMoxelinMainWindow::Range2RnxGPSNavFileSaveBtn_Click()
{
    const bool bMixed = m_pUi->Range2RnxMixedNavEnable->isChecked();
    ChooseSaveFile(m_pUi->Range2RnxGPSNavFilePath, bMixed ? kMixedNavFileFilter : kGpsNavFileFilter);
}
void CMoxelinMainWindow::Range2RnxGLONavFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Range2RnxGLONavFilePath, kGloNavFileFilter);
}
void CMoxelinMainWindow::Range2RnxGALNavFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Range2RnxGALNavFilePath, kGalNavFileFilter);
}
void CMoxelinMainWindow::Range2RnxBDSNavFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Range2RnxBDSNavFilePath, kBdsNavFileFilter);
}
void CMoxelinMainWindow::Range2RnxQZSNavFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Range2RnxQZSNavFilePath, kQzsNavFileFilter);
}
void CMoxelinMainWindow::Rnx2RangeOpenBtn_Click() { ChooseOpenFile(m_pUi->Rnx2RangeSrcFilePath, kRinexFileFilter); }
void CMoxelinMainWindow::Rnx2RangeGPSNavOpenBtn_Click()
{
    ChooseOpenFile(m_pUi->Rnx2RangeGPSNavFilePath, kGpsNavFileFilter);
}
void CMoxelinMainWindow::Rnx2RangeGLONavOpenBtn_Click()
{
    ChooseOpenFile(m_pUi->Rnx2RangeGLONavFilePath, kGloNavFileFilter);
}
void CMoxelinMainWindow::Rnx2RangeGALNavOpenBtn_Click()
{
    ChooseOpenFile(m_pUi->Rnx2RangeGALNavFilePath, kGalNavFileFilter);
}
void CMoxelinMainWindow::Rnx2RangeBDSNavOpenBtn_Click()
{
    ChooseOpenFile(m_pUi->Rnx2RangeBDSNavFilePath, kBdsNavFileFilter);
}
void CMoxelinMainWindow::Rnx2RangeOutputFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Rnx2RangeOutputFilePath, kLogFileFilter);
}
void CMoxelinMainWindow::Log2LogSrcFileOpenBtn_Click() { ChooseOpenFile(m_pUi->Log2LogSrcFilePath, kLogFileFilter); }
void CMoxelinMainWindow::Log2LogOutputFileSaveBtn_Click()
{
    ChooseSaveFile(m_pUi->Log2LogOutputFilePath, kLogFileFilter);
}

// ---- Page 1 rules

void CMoxelinMainWindow::RnxVersion_currentIndexChanged()
{
    Ui::MoxelinMainWindow& ui = *m_pUi;
    if (m_bSourceScanned && ui.Range2RnxSrcFilePath->text().size() >= 2)
        SetRinexOutputFileNames();
    const int i = ui.RnxVersion->currentIndex();
    if (i > 2)
    {
        for (QCheckBox* pBox : {ui.BDSValidFlag, ui.GALValidFlag, ui.QzssValidFlag})
        {
            pBox->setEnabled(true);
            pBox->setChecked(true);
        }
        UpdateMixedNavBox();
        UpdateNavRows();
        emit Signal_RinexVersion3();
        return;
    }
    for (QCheckBox* pBox : {ui.BDSValidFlag, ui.QzssValidFlag})
    {
        pBox->setEnabled(false);
        pBox->setChecked(false);
    }
    ui.GALValidFlag->setEnabled(i > 0);
    ui.GALValidFlag->setChecked(i > 0);
    UpdateMixedNavBox();
    UpdateNavRows();
    emit Signal_RinexVersion2();
}

bool CMoxelinMainWindow::Rinex2Chosen() const { return m_pUi->RnxVersion->currentIndex() < 4; }

void CMoxelinMainWindow::UpdateMixedNavBox()
{
    QCheckBox* pMixed = m_pUi->Range2RnxMixedNavEnable;
    const bool bRinex2 = Rinex2Chosen();
    if (bRinex2)
        pMixed->setChecked(false);
    pMixed->setEnabled(!bRinex2);
    pMixed->setToolTip(bRinex2 ? tr("RINEX 2 has no mixed navigation file:\neach system is written to a "
                                    "navigation file of its own type.")
                               : QString());
}

void CMoxelinMainWindow::SetNavRowEnabled(QLineEdit* pPath, QPushButton* pButton, bool bEnabled)
{
    pPath->setEnabled(bEnabled);
    pButton->setEnabled(bEnabled);
}

// One rule for every row: a system's row is open when its box is checked;
// with one mixed file only the GPS row (the mixed file) stays open.
void CMoxelinMainWindow::UpdateNavRows()
{
    Ui::MoxelinMainWindow& ui = *m_pUi;
    const bool bSeparate = !ui.Range2RnxMixedNavEnable->isChecked();
    SetNavRowEnabled(ui.Range2RnxGPSNavFilePath, ui.Range2RnxGPSNavFileSaveBtn, ui.GPSValidFlag->isChecked());
    SetNavRowEnabled(ui.Range2RnxGLONavFilePath, ui.Range2RnxGLONavFileSaveBtn,
                     bSeparate && ui.GLOValidFlag->isChecked());
    SetNavRowEnabled(ui.Range2RnxGALNavFilePath, ui.Range2RnxGALNavFileSaveBtn,
                     bSeparate && ui.GALValidFlag->isChecked());
    SetNavRowEnabled(ui.Range2RnxBDSNavFilePath, ui.Range2RnxBDSNavFileSaveBtn,
                     bSeparate && ui.BDSValidFlag->isChecked());
    SetNavRowEnabled(ui.Range2RnxQZSNavFilePath, ui.Range2RnxQZSNavFileSaveBtn,
                     bSeparate && ui.QzssValidFlag->isChecked());
}

void CMoxelinMainWindow::GPSFlag_checkChanged() { UpdateNavRows(); }
void CMoxelinMainWindow::GLOFlag_checkChanged() { UpdateNavRows(); }
void CMoxelinMainWindow::GALFlag_checkChanged() { UpdateNavRows(); }
void CMoxelinMainWindow::BDSFlag_checkChanged() { UpdateNavRows(); }
void CMoxelinMainWindow::QZSSFlag_checkChanged() { UpdateNavRows(); }

void CMoxelinMainWindow::Range2RnxMixedNavEnable_stateChanged()
{
    const bool bMixed = m_pUi->Range2RnxMixedNavEnable->isChecked();
    m_pUi->GPSNavFileLabel->setText(bMixed ? tr("Nav File") : tr("GPS Nav File"));
    // A job reads the flag while it runs; it is set again when a job starts.
    if (m_pWorkThread->m_nMode.load() == WORK_MODE_IDLE)
        m_pWorkThread->m_bMixedNav = bMixed ? 1 : 0;
    QString sGps = m_pUi->Range2RnxGPSNavFilePath->text();
    if (!sGps.isEmpty())
    {
        sGps[sGps.size() - 1] = bMixed ? 'M' : 'N';
        m_pUi->Range2RnxGPSNavFilePath->setText(sGps);
    }
    UpdateNavRows();
}

void CMoxelinMainWindow::Range2RnxObsHeaderEditEnable()
{
    m_pUi->ObsHeaderSettings->setEnabled(m_pUi->Range2RnxObsHeaderEnable->isChecked());
}

void CMoxelinMainWindow::Range2RnxNavHeaderEditEnable()
{
    m_pUi->NavHeaderSettings->setEnabled(m_pUi->Range2RnxNavHeaderEnable->isChecked());
}

void CMoxelinMainWindow::ObsHeaderSettingWindow_open() { emit OpenObsSettingWindow(); }
void CMoxelinMainWindow::NavHeaderSettingWindow_open() { emit OpenNavSettingWindow(); }
void CMoxelinMainWindow::ExtractSettingWindow_open() { m_pSampleExtractWindow->show(); }

// A click that started nothing (the job was refused) leaves the button as it
// was; one that started a job finds it disabled already.
void CMoxelinMainWindow::Range2RnxMoxelinBtn_enableChange() { UpdateStartControls(); }
void CMoxelinMainWindow::Range2RnxMoxelinBtn_slot(int nEnable)
{
    (void)nEnable;
    m_abSourceReady[PAGE_RANGE2RNX] = true;
    UpdateStartControls();
}
void CMoxelinMainWindow::actionLog_Trans_Rinex_slot(int nEnable) { Range2RnxMoxelinBtn_slot(nEnable); }
void CMoxelinMainWindow::Range2RnxSrcFilePath_slot(int nEnable)
{
    (void)nEnable;
    UpdateStartControls();
}

// ---- Page 3

void CMoxelinMainWindow::LogTransLogFlag_toggled(bool bChecked)
{
    m_pUi->Log2LogOutputFormatGroup->setEnabled(bChecked);
    OnSetLogtoLogOutputFile();
}

// ---- Menu entries

void CMoxelinMainWindow::MoxelinGUIClearInput()
{
    // Every proposed output goes, the QZSS one too: a stale name left behind
    // would be overwritten by the next conversion.
    for (int i = 0; i < PAGE_COUNT; ++i)
        for (QLineEdit* pField : Page(static_cast<PAGE_E>(i)).fields)
            pField->clear();
    m_bSourceScanned = false;
    for (bool& bReady : m_abSourceReady)
        bReady = false;
    UpdateStartControls();
}

void CMoxelinMainWindow::AboutMoxelinDialogOpen()
{
    m_pAboutDialog->show();
    m_pAboutDialog->raise();
}

QString CMoxelinMainWindow::HelpDocumentPath(const QString& sProgramDir, const QString& sLanguage)
{
    const QDir program(sProgramDir);
    const QString folders[] = {program.absolutePath(), QDir::cleanPath(program.absoluteFilePath(ZV_MOXELIN_HELP_DIR))};
    for (const QString& sFolder : folders)
    {
        const QDir folder(sFolder);
        if (sLanguage == "zh" && QFileInfo(folder.filePath(kHelpDocumentZh)).isFile())
            return folder.filePath(kHelpDocumentZh);
        if (QFileInfo(folder.filePath(kHelpDocument)).isFile())
            return folder.filePath(kHelpDocument);
    }
    return QDir(folders[1]).filePath(kHelpDocument);
}

void CMoxelinMainWindow::ViewHelp_clicked()
{
    const QString sPath = HelpDocumentPath(QCoreApplication::applicationDirPath(), m_sCurrentLanguage);
    if (QFileInfo(sPath).isFile() && UserPrompt()->OpenUrl(QUrl::fromLocalFile(sPath)))
        return;
    UserPrompt()->Message(this, QMessageBox::Warning, tr("View Help"),
                          tr("Can not open the help document:\n%1").arg(QDir::toNativeSeparators(sPath)));
}
