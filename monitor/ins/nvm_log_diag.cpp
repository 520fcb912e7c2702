#include "monitor/ins/nvm_log_diag.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"

namespace
{
constexpr int kWaitMs = 2000;
constexpr int kLookMs = 25;
constexpr int kProgressMs = 5000;
const char kKeepCommand[] = "nvmdump keep\r\n";
const char kDeleteCommand[] = "nvmdump\r\n";
} // namespace

QNvmLogDiag::QNvmLogDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QNvmLogDiag"));
    resize(274, 139);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/NvmLog.png")));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* pGrid = new QGridLayout(this);
    m_pBaudLabel = new QLabel(this);
    m_pBaudLabel->setObjectName(QStringLiteral("m_BaudRateLable"));
    m_pBaudBox = new QComboBox(this);
    m_pBaudBox->setObjectName(QStringLiteral("m_SelectBaudCombox"));
    m_BaudList = QStringList{QStringLiteral("115200"), QStringLiteral("230400"), QStringLiteral("460800")};
    m_pBaudBox->addItems(m_BaudList);
    m_pDeleteBox = new QCheckBox(this);
    m_pDeleteBox->setObjectName(QStringLiteral("pDelectDataCheckBox"));
    m_pProgressLabel = new QLabel(this);
    m_pProgressLabel->setObjectName(QStringLiteral("label_2"));
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName(QStringLiteral("progressBar"));
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    m_pOkButton = new QPushButton(this);
    m_pOkButton->setObjectName(QStringLiteral("pOkButton"));
    m_pCancelButton = new QPushButton(this);
    m_pCancelButton->setObjectName(QStringLiteral("pCancelButton"));
    m_pCancelButton->hide();
    pGrid->addWidget(m_pBaudLabel, 0, 0);
    pGrid->addWidget(m_pBaudBox, 0, 1);
    pGrid->addWidget(m_pDeleteBox, 1, 0, 1, 2);
    pGrid->addWidget(m_pProgressLabel, 2, 0);
    pGrid->addWidget(m_pProgress, 2, 1);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(m_pOkButton);
    pButtons->addWidget(m_pCancelButton);
    pGrid->addLayout(pButtons, 3, 0, 1, 2);
    OnLanguageUpdate();

    m_nWaitMs = kWaitMs;
    m_StartTimer.setInterval(kLookMs);
    m_ProgressTimer.setInterval(kProgressMs);
    connect(&m_StartTimer, &QTimer::timeout, this, &QNvmLogDiag::OnStartWaitOver);
    connect(&m_ProgressTimer, &QTimer::timeout, this, &QNvmLogDiag::OnTimeOut);
    connect(m_pDeleteBox, &QCheckBox::clicked, this, &QNvmLogDiag::OnGetNvmCmd);
    connect(m_pOkButton, &QPushButton::clicked, this, &QNvmLogDiag::OnOkButtonClick);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QNvmLogDiag::OnCancelButtonClick);
}

QNvmLogDiag::~QNvmLogDiag() = default;

void QNvmLogDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("NVM Log"));
    m_pBaudLabel->setText(tr("BaudRate:"));
    m_pDeleteBox->setText(tr("deleted data"));
    m_pProgressLabel->setText(tr("progress bar"));
    m_pOkButton->setText(tr("OK"));
    m_pCancelButton->setText(tr("Cancel"));
}

int QNvmLogDiag::PortIndex() const
{
    return m_pPortTab != nullptr && m_PortID != 0 ? m_pPortTab->GetTabIndexByPortID(m_PortID) : -1;
}

void QNvmLogDiag::ConnectTabs()
{
    if (m_bTabsConnected || m_pPortTab == nullptr)
        return;
    m_bTabsConnected = true;
    connect(m_pPortTab, &CPortTab::SignalNVMComplete1Port, this, &QNvmLogDiag::OnPortNvmComplete);
    connect(m_pPortTab, &CPortTab::SignaPortCloseEvent, this, &QNvmLogDiag::OnPortClosing);
    connect(m_pPortTab, &CPortTab::SignalStatusMsgParseFinished, this, &QNvmLogDiag::OnStatusReply);
}

// ---- Opening ----

void QNvmLogDiag::OnShowDialog()
{
    ConnectTabs();
    show();
    raise();
    activateWindow();
    // A dump in progress keeps its port.
    if (m_bDumping || m_StartTimer.isActive())
        return;
    m_PortID = m_pPortTab != nullptr ? m_pPortTab->GetCurPortID() : 0;
    m_nExpectedSize = 0;
    m_bAwaitSize = false;
    if (m_PortID == 0)
        return;
    const PORT_INFO_T info = m_pPortTab->GetPortInfo(m_PortID);
    const bool bSerial = info.PortType == QZvPortCtrlBase::PORT_TYPE_UART;
    m_pBaudLabel->setVisible(bSerial);
    m_pBaudBox->setVisible(bSerial);
    if (!bSerial)
        return;
    m_CurBaudRate = info.BaudRate;
    const int i = m_BaudList.indexOf(QString::number(m_CurBaudRate));
    if (i >= 0)
        m_pBaudBox->setCurrentIndex(i);
    // The size of the stored log, with the receiver's other output stopped.
    m_bAwaitSize = true;
    emit SignalSendNavdumpMask(STATUS_MSG_NVMDUMP);
    emit SignalSendNvmCommand(m_PortID, QByteArrayLiteral("unlogall\r\nunlog nvm\r\n"));
}

void QNvmLogDiag::OnStatusReply(uint Mask)
{
    if (!m_bAwaitSize || (Mask & STATUS_MSG_NVMDUMP) == 0 || m_pPortTab->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pReplies = m_pPortTab->GetStatusReplies(m_PortID);
    if (pReplies == nullptr)
        return;
    m_bAwaitSize = false;
    m_nExpectedSize = pReplies->m_nNvmDumpSize;
    // Reached from the port's receive road: the box does not wait.
    if (m_nExpectedSize < 0)
        MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Error"), tr("Nvm file is Empty"), tr("OK"), QString(),
                                {});
}

void QNvmLogDiag::OnGetNvmCmd()
{
    if (!m_pDeleteBox->isChecked())
        m_sNvmCmd = QLatin1String(kKeepCommand);
    else if (MonitorPrompt()->Question(this, tr("Warning"), tr("Are sure delete nvm file???")))
        m_sNvmCmd = QLatin1String(kDeleteCommand);
    else
    {
        m_sNvmCmd = QLatin1String(kKeepCommand);
        m_pDeleteBox->setChecked(false);
    }
}

// ---- The dump ----

void QNvmLogDiag::OnOkButtonClick()
{
    if (m_bDumping || m_StartTimer.isActive())
        return;
    const int iTab = PortIndex();
    if (iTab < 0)
        return;
    m_pOkButton->setEnabled(false);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    if (m_pPortTab->GetPortInfo(m_PortID).PortType == QZvPortCtrlBase::PORT_TYPE_UART)
    {
        const int iRate = m_pBaudBox->currentIndex();
        const uint nRate = iRate >= 0 && iRate < m_BaudList.size() ? m_BaudList[iRate].toUInt() : 0;
        if (nRate != 0 && nRate != m_CurBaudRate)
        {
            emit SignalNavSetBaud(nRate, iTab);
            m_CurBaudRate = nRate;
        }
    }
    m_bWasLogging = m_pPortTab->GetPortInfo(m_PortID).bLogging;
    emit SignalNvmSetFileName(m_PortID);
    m_StartClock.start();
    m_StartTimer.start();
}

void QNvmLogDiag::OnStartWaitOver()
{
    const PORT_INFO_T info = m_pPortTab != nullptr ? m_pPortTab->GetPortInfo(m_PortID) : PORT_INFO_T();
    const bool bOpen = info.UniquePortID != 0 && info.bLogging;
    if ((!bOpen || m_bWasLogging) && info.UniquePortID != 0 && m_StartClock.elapsed() < m_nWaitMs)
        return;
    m_StartTimer.stop();
    // No file, no dump: the user may have cancelled the file's choice.
    if (!bOpen)
    {
        Idle();
        return;
    }
    m_sLogFile = info.LogFileName;
    m_nLoggedSize = info.LogFileSize;
    m_pPortTab->SetNvmDumpMark(m_PortID, true);
    emit SignalSendNvmCommand(m_PortID, m_sNvmCmd.toUtf8());
    m_bDumping = true;
    m_pCancelButton->show();
    // Without the stored log's size the bar shows that the dump runs.
    if (m_nExpectedSize <= 0)
        m_pProgress->setRange(0, 0);
    m_ProgressTimer.start();
}

void QNvmLogDiag::OnTimeOut()
{
    const PORT_INFO_T info = m_pPortTab != nullptr ? m_pPortTab->GetPortInfo(m_PortID) : PORT_INFO_T();
    if (info.UniquePortID == 0 || info.bDisconnected)
    {
        EndEarly(tr("The port went away before the receiver completed the dump."));
        return;
    }
    if (!info.bLogging)
    {
        EndEarly(tr("The log file was closed before the receiver completed the dump."));
        return;
    }
    m_nLoggedSize = info.LogFileSize;
    if (m_nExpectedSize > 0)
        m_pProgress->setValue(static_cast<int>(qMin<quint64>(100, m_nLoggedSize * 100 / quint64(m_nExpectedSize))));
}

void QNvmLogDiag::OnPortNvmComplete(uint UniquePortID)
{
    if (UniquePortID == m_PortID)
        OnNvmComplete();
}

void QNvmLogDiag::OnNvmComplete()
{
    if (!m_bDumping)
        return;
    m_ProgressTimer.stop();
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(100);
    const int iTab = PortIndex();
    if (iTab >= 0)
        m_pPortTab->OnCloseFilePort(iTab);
    Idle();
    // Reached from the port's receive road: the box does not wait.
    MonitorPrompt()->Inform(this, QMessageBox::NoIcon, tr("Complete"), tr("Nvm file is log complete"), tr("OK"),
                            QString(), {});
}

void QNvmLogDiag::OnCancelButtonClick()
{
    if (m_bDumping)
        EndEarly(tr("The dump was cancelled before the receiver completed it."));
}

void QNvmLogDiag::OnPortClosing(int Index)
{
    if (m_pPortTab == nullptr || m_PortID == 0 || m_pPortTab->GetPortUniqueID(Index) != m_PortID)
        return;
    m_bAwaitSize = false;
    if (m_StartTimer.isActive())
    {
        m_StartTimer.stop();
        Idle();
    }
    if (!m_bDumping)
        return;
    m_ProgressTimer.stop();
    // The port ends its log file as it goes; the report follows once it has.
    QTimer::singleShot(0, this, [this] { EndEarly(tr("The port went away before the receiver completed the dump.")); });
}

void QNvmLogDiag::EndEarly(const QString& sWhy)
{
    if (!m_bDumping)
        return;
    m_ProgressTimer.stop();
    quint64 nKept = m_nLoggedSize;
    const int iTab = PortIndex();
    if (iTab >= 0)
    {
        m_pPortTab->SetNvmDumpMark(m_PortID, false);
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(m_PortID);
        if (info.bLogging)
            nKept = info.LogFileSize;
        m_pPortTab->OnCloseFilePort(iTab);
    }
    else
        nKept = static_cast<quint64>(QFileInfo(m_sLogFile).size());
    Idle();
    MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("NVM Log"),
                            sWhy + QLatin1Char('\n') +
                                tr("The %1 bytes that arrived are kept in %2.")
                                    .arg(nKept)
                                    .arg(QDir::toNativeSeparators(m_sLogFile)),
                            tr("OK"), QString(), {});
}

void QNvmLogDiag::Idle()
{
    m_bDumping = false;
    m_pCancelButton->hide();
    m_pOkButton->setEnabled(true);
    if (m_pProgress->maximum() == 0)
        m_pProgress->setRange(0, 100);
}
