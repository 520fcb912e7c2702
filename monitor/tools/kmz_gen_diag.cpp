#include "monitor/tools/kmz_gen_diag.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMutexLocker>
#include <QPixmap>
#include <QSignalBlocker>
#include <cmath>

#include "monitor/shell/monitor_prompt.h"
#include "monitor/tools/tool_paths.h"
#include "ui_KMZGenDiag.h"

namespace
{
// How long closing the dialog waits for a cancelled export to end; an export
// stops at its next line, so only a stalled disk takes this long.
constexpr unsigned long kCancelWaitMs = 10000;
constexpr uint32_t kMaxIconSize = 100;

const char kLogFilter[] = QT_TRANSLATE_NOOP("QKMZGenDiag", "Logs (*.log *.bin *.txt);;Any files(*.*)");
} // namespace

QKMZGenThread::QKMZGenThread(QObject* pParent) : QThread(pParent)
{
    qRegisterMetaType<PARSE_LOG_INFO_T>("PARSE_LOG_INFO_T");
}

KMZ_RESULT_T QKMZGenThread::Result() const
{
    QMutexLocker lock(&m_ResultLock);
    return m_Result;
}

void QKMZGenThread::run()
{
    m_bCancel = false;
    const KMZ_RESULT_T r = GenerateKmz(
        m_Settings, [this](const PARSE_LOG_INFO_T& info) { emit SignalParseLogInfo(info); },
        [this] { return m_bCancel.load(); });
    {
        QMutexLocker lock(&m_ResultLock);
        m_Result = r;
    }
    // A finished export reported its end itself; a failed one reports here how far it came.
    if (r.Info.Status != KMZ_OK)
        emit SignalParseLogInfo(r.Info);
    emit SignalParseComplete();
}

QKMZGenDiag::QKMZGenDiag(QWidget* pParent)
    : QDialog(pParent), m_pUi(std::make_unique<Ui::KMZGenDiag>()), m_pThread(new QKMZGenThread(this))
{
    m_pUi->setupUi(this);
    setObjectName(QStringLiteral("QKMZGenDiag"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    FillCombos();
    m_pUi->m_IconStyleCombo->setEnabled(false);
    ShowIconPreview();
    ShowLineColour();
    m_pUi->m_HaeForceZero->setEnabled(!m_pUi->m_DisplaySpeed->isChecked());

    Ui::KMZGenDiag& ui = *m_pUi;
    connect(ui.m_OpenLogFile, &QPushButton::clicked, this, &QKMZGenDiag::OnSetLogFilename);
    connect(ui.m_LogFilePath, &QLineEdit::editingFinished, this, &QKMZGenDiag::OnSetLogFilenameEdit);
    connect(ui.m_KMZLogFile, &QPushButton::clicked, this, &QKMZGenDiag::OnSetKMZFilename);
    connect(ui.m_KMZFilePath, &QLineEdit::textEdited, ui.m_KMZFilePath, &QLineEdit::setToolTip);
    connect(ui.m_IconStyleRadioButton, &QRadioButton::clicked, this, &QKMZGenDiag::OnSelectIconmode);
    connect(ui.m_SelectIconRadioButton, &QRadioButton::clicked, this, &QKMZGenDiag::OnSelectIconmode);
    connect(ui.m_IconStyleCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &QKMZGenDiag::OnIconStyleComboChanged);
    connect(ui.m_SelectIcon, &QPushButton::clicked, this, &QKMZGenDiag::OnSetIcon);
    connect(ui.m_SelectLineColor, &QPushButton::clicked, this, &QKMZGenDiag::OnSetLineColor);
    connect(ui.m_DisplaySpeed, &QCheckBox::toggled, ui.m_HaeForceZero, &QCheckBox::setDisabled);
    connect(ui.m_ProcessButton, &QPushButton::clicked, this, &QKMZGenDiag::OnProcess);
    connect(ui.m_CancelButton, &QPushButton::clicked, this, &QKMZGenDiag::OnCancel);
    connect(m_pThread, &QKMZGenThread::SignalParseLogInfo, this, &QKMZGenDiag::OnUpdateParseLogInfo,
            Qt::QueuedConnection);
    connect(m_pThread, &QKMZGenThread::SignalParseComplete, this, &QKMZGenDiag::OnParseComplete,
            Qt::QueuedConnection);
}

QKMZGenDiag::~QKMZGenDiag()
{
    // A line edit with the focus reports a finished edit when it is destroyed,
    // after this window's members are gone.
    m_pUi->m_LogFilePath->disconnect(this);
    m_pThread->Cancel();
    m_pThread->wait();
}

void QKMZGenDiag::FillCombos()
{
    QComboBox* pRef = m_pUi->m_RefMsgCombo;
    if (pRef->count() == 0)
        for (uint32_t n = REF_POS_GGA; n <= REF_POS_INSPVAX; ++n)
            pRef->addItem(QString::fromLatin1(RefPosMsgTypeName(n)));
    QComboBox* pColours = m_pUi->m_IconStyleCombo;
    const QSignalBlocker block(pColours);
    const int nIndex = qMax(0, pColours->currentIndex());
    pColours->clear();
    for (uint32_t i = 0; i < KMZ_ICON_COLOURS; ++i)
        pColours->addItem(tr(KmzIconColourName(i)));
    pColours->setCurrentIndex(nIndex);
}

void QKMZGenDiag::Warn(const QString& sText)
{
    MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Error"), sText);
}

void QKMZGenDiag::ShowDiag()
{
    show();
    raise();
    activateWindow();
}

void QKMZGenDiag::SetLogPath(const QString& sPath)
{
    Ui::KMZGenDiag& ui = *m_pUi;
    ui.m_LogFilePath->setText(sPath);
    ui.m_LogFilePath->setToolTip(sPath);
    const QString sName = QFileInfo(sPath).completeBaseName();
    ui.m_DisplayName->setText(sName);
    ui.m_DisplayName->setToolTip(sName);
    const QString sKmz = PathWithoutSuffix(sPath) + QStringLiteral(".kmz");
    ui.m_KMZFilePath->setText(sKmz);
    ui.m_KMZFilePath->setToolTip(sKmz);
}

void QKMZGenDiag::OnSetLogFilename()
{
    const QString sPath =
        MonitorPrompt()->OpenFileName(this, tr("Log file config"), QString(), tr(kLogFilter));
    if (!sPath.isEmpty())
        SetLogPath(sPath);
}

void QKMZGenDiag::OnSetLogFilenameEdit()
{
    const QString sPath = m_pUi->m_LogFilePath->text();
    if (!sPath.isEmpty())
        SetLogPath(sPath);
}

void QKMZGenDiag::OnSetKMZFilename()
{
    // A save chooser: the archive is usually a file that does not exist yet.
    const QString sPath = MonitorPrompt()->SaveFileName(this, tr("KMZ file config"),
                                                        QFileInfo(m_pUi->m_KMZFilePath->text()).path(), tr(kLogFilter));
    if (sPath.isEmpty())
        return;
    m_pUi->m_KMZFilePath->setText(sPath);
    m_pUi->m_KMZFilePath->setToolTip(sPath);
}

void QKMZGenDiag::ShowIconPreview()
{
    QImage image;
    if (m_nIconColour != KMZ_OWN_ICON)
        image = KmzNumberIcon(m_nIconColour, 0);
    else if (!m_sOwnIconPath.isEmpty())
        image = QImage(m_sOwnIconPath);
    if (image.isNull())
        image = KmzDefaultOwnIcon();
    m_pUi->m_IconDisplay->setPixmap(
        QPixmap::fromImage(image.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void QKMZGenDiag::OnSelectIconmode()
{
    Ui::KMZGenDiag& ui = *m_pUi;
    const bool bColours = ui.m_IconStyleRadioButton->isChecked();
    ui.m_IconStyleCombo->setEnabled(bColours);
    ui.m_SelectIcon->setEnabled(!bColours);
    ui.m_DisplayHeading->setEnabled(!bColours);
    m_nIconColour = bColours ? static_cast<uint32_t>(qMax(0, ui.m_IconStyleCombo->currentIndex())) : KMZ_OWN_ICON;
    ShowIconPreview();
    if (!bColours)
        OnSetIcon();
}

void QKMZGenDiag::OnIconStyleComboChanged(int Index)
{
    if (!m_pUi->m_IconStyleRadioButton->isChecked() || Index < 0)
        return;
    m_nIconColour = static_cast<uint32_t>(Index);
    ShowIconPreview();
}

void QKMZGenDiag::OnSetIcon()
{
    const QString sDir = m_sOwnIconPath.isEmpty() ? QDir::homePath() : QFileInfo(m_sOwnIconPath).path();
    const QString sPath = MonitorPrompt()->OpenFileName(this, tr("Set Icon file"), sDir,
                                                        tr("Logs (*.png *.jpg *.ico);;Any files(*.*)"));
    // A choice that is no image (a cancelled chooser too) keeps the icon chosen before.
    if (!QFileInfo(sPath).isFile() || !QImageReader(sPath).canRead())
        MonitorPrompt()->Message(this, QMessageBox::Critical, tr("Invalid ICON"), tr("the Icon file is invalid"));
    else
        m_sOwnIconPath = sPath;
    m_nIconColour = KMZ_OWN_ICON;
    ShowIconPreview();
}

void QKMZGenDiag::ShowLineColour()
{
    // The setting is in KML order, alpha-blue-green-red.
    const QColor colour(m_nLineColour & 0xFF, (m_nLineColour >> 8) & 0xFF, (m_nLineColour >> 16) & 0xFF);
    QPalette palette = m_pUi->m_LineStyleExample->palette();
    palette.setColor(QPalette::Window, colour);
    m_pUi->m_LineStyleExample->setPalette(palette);
}

void QKMZGenDiag::OnSetLineColor()
{
    const QColor initial(m_nLineColour & 0xFF, (m_nLineColour >> 8) & 0xFF, (m_nLineColour >> 16) & 0xFF);
    const QColor colour = MonitorPrompt()->Colour(this, initial, tr("Line Style"));
    if (!colour.isValid())
        return;
    m_nLineColour = 0xFF000000u + static_cast<uint32_t>(colour.blue()) * 65536u +
                    static_cast<uint32_t>(colour.green()) * 256u + static_cast<uint32_t>(colour.red());
    ShowLineColour();
}

void QKMZGenDiag::OnProcess()
{
    if (m_pThread->isRunning())
        return;
    Ui::KMZGenDiag& ui = *m_pUi;
    const QString sLog = ui.m_LogFilePath->text();
    if (sLog.isEmpty())
    {
        Warn(tr("Please choose the log file!"));
        return;
    }
    if (!QFileInfo(sLog).isFile())
    {
        Warn(tr("The log file does not exist!"));
        return;
    }
    if (ui.m_KMZFilePath->text().isEmpty())
    {
        Warn(tr("Please choose the KMZ file!"));
        return;
    }
    bool bOk = false;
    const double dOffset = ui.m_TagOffset->text().trimmed().toDouble(&bOk);
    if (!bOk || std::fabs(dOffset) >= 2e10)
    {
        Warn(tr("\"%1\" is not a number!").arg(ui.m_TagOffset->text()));
        return;
    }
    const uint32_t nSize = ui.m_IconSize->text().trimmed().toUInt(&bOk);
    if (!bOk || nSize == 0 || nSize > kMaxIconSize)
    {
        Warn(tr("The icon size must be a whole number from 1 to %1!").arg(kMaxIconSize));
        return;
    }

    KMZ_SETTINGS_T& s = m_pThread->m_Settings;
    s.LogPath = sLog;
    s.KmzPath = ui.m_KMZFilePath->text();
    s.DisplayName = ui.m_DisplayName->text();
    s.OwnIconPath = m_sOwnIconPath;
    s.IconColour = m_nIconColour;
    s.IconSize = nSize;
    s.LineColour = m_nLineColour;
    s.SpeedAsAltitude = ui.m_DisplaySpeed->isChecked();
    s.HeightZero = ui.m_HaeForceZero->isChecked();
    s.Heading = ui.m_DisplayHeading->isEnabled() && ui.m_DisplayHeading->isChecked();
    // The tag offset is the whole part of the number entered, divided by 10.
    s.TagOffset = static_cast<int32_t>(static_cast<int64_t>(std::trunc(dOffset)) / 10);
    s.RefMsgType = static_cast<uint32_t>(qMax(0, ui.m_RefMsgCombo->currentIndex()));
    ui.m_ProcessBar->setValue(0);
    m_pThread->start();
}

void QKMZGenDiag::OnUpdateParseLogInfo(PARSE_LOG_INFO_T ParseLogInfo)
{
    m_pUi->m_sProcessLineCount->setText(tr("Processed Epoch %1, Processed Data %2 %3")
                                            .arg(ParseLogInfo.Epochs)
                                            .arg(ParseLogInfo.Processed)
                                            .arg(ParseLogInfo.Total));
    if (ParseLogInfo.Total != 0)
        m_pUi->m_ProcessBar->setValue(static_cast<int>(ParseLogInfo.Processed * 100 / ParseLogInfo.Total));
}

void QKMZGenDiag::OnParseComplete()
{
    const KMZ_RESULT_T r = m_pThread->Result();
    switch (r.Info.Status)
    {
    case KMZ_OK:
    {
        m_pUi->m_ProcessBar->setValue(100);
        QString sText = tr("KMZ Generation complete");
        if (r.Placemarks == 0)
            sText += QLatin1Char('\n') + tr("No epoch of the log has a position solution: the track is empty.");
        MonitorPrompt()->Message(this, QMessageBox::Information, tr("KMZ Generation complete"), sText);
        return;
    }
    case KMZ_CANCELLED:
        break;
    case KMZ_INPUT_NOT_OPENED:
        Warn(tr("The log file cannot be opened: %1").arg(r.Error));
        break;
    case KMZ_NOT_CREATED:
        Warn(tr("The KMZ file cannot be created: %1").arg(r.Error));
        break;
    case KMZ_ICON_UNREADABLE:
        Warn(tr("the Icon file is invalid"));
        break;
    case KMZ_SAME_FILE:
        Warn(tr("The KMZ file is the log file!"));
        break;
    default:
        Warn(tr("The KMZ file could not be written, nothing was kept: %1").arg(r.Error));
        break;
    }
    m_pUi->m_ProcessBar->setValue(0);
}

void QKMZGenDiag::OnCancel()
{
    if (m_pThread->isRunning())
    {
        m_pThread->Cancel();
        m_pThread->wait(kCancelWaitMs);
    }
    close();
}

void QKMZGenDiag::OnLanguageUpdate()
{
    m_pUi->retranslateUi(this);
    FillCombos();
}
