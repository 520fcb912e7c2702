#include "monitor/ins/medium_freq_diag.h"

#include <QComboBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "monitor/ins/diag_signals.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"

namespace
{
constexpr int kStartWaitMs = 1000;
constexpr int kLookMs = 25;
constexpr int kHighRate = 460800;
} // namespace

QMediumFreqDiag::QMediumFreqDiag(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("qMediumFreq"));
    resize(242, 128);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/MediumFreq.png")));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* pGrid = new QGridLayout(this);
    m_pBaudLabel = new QLabel(this);
    m_pBaudLabel->setObjectName(QStringLiteral("pBaudrateLable"));
    m_pBaudBox = new QComboBox(this);
    m_pBaudBox->setObjectName(QStringLiteral("pBaudrateCobox"));
    m_BaudList = QStringList{QStringLiteral("115200"), QStringLiteral("230400"), QStringLiteral("460800")};
    m_pBaudBox->addItems(m_BaudList);
    m_pSignalLabel = new QLabel(this);
    m_pSignalLabel->setObjectName(QStringLiteral("label"));
    m_pSignalBox = new QComboBox(this);
    m_pSignalBox->setObjectName(QStringLiteral("pSignalcomboBox"));
    m_pSignalBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pSignalBox->setMinimumWidth(120);
    m_pOkButton = new QPushButton(this);
    m_pOkButton->setObjectName(QStringLiteral("pOKPushButton"));
    m_pCancelButton = new QPushButton(this);
    m_pCancelButton->setObjectName(QStringLiteral("pCancelPushButton"));
    pGrid->addWidget(m_pBaudLabel, 0, 0);
    pGrid->addWidget(m_pBaudBox, 0, 1);
    pGrid->addWidget(m_pSignalLabel, 1, 0);
    pGrid->addWidget(m_pSignalBox, 1, 1);
    pGrid->addWidget(m_pOkButton, 2, 0);
    pGrid->addWidget(m_pCancelButton, 2, 1);
    OnLanguageUpdate();

    m_nWaitMs = kStartWaitMs;
    m_StartTimer.setInterval(kLookMs);
    connect(&m_StartTimer, &QTimer::timeout, this, &QMediumFreqDiag::OnStartWaitOver);
    connect(m_pOkButton, &QPushButton::clicked, this, &QMediumFreqDiag::OnOkBtnClick);
    connect(m_pCancelButton, &QPushButton::clicked, this, &QMediumFreqDiag::OnCancelBtnClick);
}

QMediumFreqDiag::~QMediumFreqDiag() = default;

void QMediumFreqDiag::OnLanguageUpdate()
{
    setWindowTitle(tr("Medium Frequency"));
    m_pBaudLabel->setText(tr("Baudrate"));
    m_pSignalLabel->setText(tr("Signal"));
    m_pOkButton->setText(tr("Ok"));
    m_pCancelButton->setText(tr("Cancel"));
}

int QMediumFreqDiag::PortIndex() const
{
    return m_pPortTab != nullptr && m_PortID != 0 ? m_pPortTab->GetTabIndexByPortID(m_PortID) : -1;
}

QString QMediumFreqDiag::OfferText(const QString& sCode)
{
    // A code the table does not know is listed as it is, so that it can still be told apart.
    const DIAG_SIGNAL_T* pSignal = FindDiagSignal(sCode, true);
    return pSignal != nullptr ? QLatin1String(pSignal->pName) + QLatin1Char('(') + sCode + QLatin1Char(')')
                              : QLatin1Char('(') + sCode + QLatin1Char(')');
}

void QMediumFreqDiag::OnMediumFreqDiagShow()
{
    m_pBaudLabel->hide();
    m_pBaudBox->hide();
    const uint uPortID = m_pPortTab != nullptr ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID != m_PortID)
    {
        // Another receiver's offer is not shown for this one.
        m_StartTimer.stop();
        m_OfferedList.clear();
        m_ArgumentList.clear();
        m_pSignalBox->clear();
    }
    m_PortID = uPortID;
    if (m_PortID != 0)
    {
        const PORT_INFO_T info = m_pPortTab->GetPortInfo(m_PortID);
        if (info.PortType == QZvPortCtrlBase::PORT_TYPE_UART)
        {
            m_pBaudLabel->show();
            m_pBaudBox->show();
            m_CurBaudRate = static_cast<int>(info.BaudRate);
            const int i = m_BaudList.indexOf(QString::number(m_CurBaudRate));
            if (i >= 0)
                m_pBaudBox->setCurrentIndex(i);
        }
        emit SignalSendHwinfoMask(PortIndex(), STATUS_MSG_HWINFO);
    }
    show();
    raise();
    activateWindow();
}

void QMediumFreqDiag::OnUpdateDiag()
{
    // Only the reply of the dialog's port fills it.
    if (m_pPortTab == nullptr || m_PortID == 0 || m_pPortTab->GetStatusReplyPortID() != m_PortID)
        return;
    const QStatusMsgParser* pReplies = m_pPortTab->GetStatusReplies(m_PortID);
    if (pReplies == nullptr)
        return;
    m_OfferedList = pReplies->m_HwSignalList;
    m_ArgumentList = pReplies->m_HwShowifList;
    m_pSignalBox->clear();
    for (const QString& sCode : m_OfferedList)
        m_pSignalBox->addItem(OfferText(sCode));
    // Room for the longest name offered.
    resize(size().expandedTo(sizeHint()));
}

void QMediumFreqDiag::OnOkBtnClick()
{
    const int iTab = PortIndex();
    if (iTab < 0 || m_StartTimer.isActive())
        return;
    if (m_pPortTab->GetPortInfo(m_PortID).PortType == QZvPortCtrlBase::PORT_TYPE_UART)
    {
        const int iRate = m_pBaudBox->currentIndex();
        int nRate = iRate >= 0 && iRate < m_BaudList.size() ? m_BaudList[iRate].toInt() : 0;
        if (nRate != 0 && nRate != kHighRate &&
            MonitorPrompt()->Question(this, tr("Warning"),
                                      tr("The data is bigger,The recommended baud rate is 460800\r\nAre you sure to "
                                         "change the baud rate to 460800")))
        {
            nRate = kHighRate;
            m_pBaudBox->setCurrentIndex(m_BaudList.indexOf(QString::number(kHighRate)));
        }
        // 460800 chosen for a port at another rate is applied too.
        if (nRate != 0 && (nRate != kHighRate || m_CurBaudRate != kHighRate))
        {
            emit SignalMediumFreqSetBaud(nRate, iTab);
            m_CurBaudRate = nRate;
        }
    }
    const int iSignal = m_pSignalBox->currentIndex();
    if (iSignal < 0 || iSignal >= m_ArgumentList.size())
        return;
    m_sStartArgument = m_ArgumentList[iSignal];
    m_bWasLogging = m_pPortTab->GetPortInfo(m_PortID).bLogging;
    emit SignalMediumFreqSetFileName(m_PortID);
    m_StartClock.start();
    m_StartTimer.start();
}

void QMediumFreqDiag::OnStartWaitOver()
{
    const bool bPort = PortIndex() >= 0;
    const bool bOpen = bPort && m_pPortTab->GetPortInfo(m_PortID).bLogging;
    if ((!bOpen || m_bWasLogging) && bPort && m_StartClock.elapsed() < m_nWaitMs)
        return;
    m_StartTimer.stop();
    // No output without its file: the user may have cancelled the file's choice.
    if (!bOpen)
        return;
    emit SignalMediumFreqSendCmd(m_PortID, (QStringLiteral("showif ") + m_sStartArgument + QStringLiteral("\r\n")).toUtf8());
    m_pPortTab->SetPortSlowUpdate(m_PortID, true);
}

void QMediumFreqDiag::OnCancelBtnClick()
{
    m_StartTimer.stop();
    const int iTab = PortIndex();
    if (iTab < 0)
        return;
    emit SignalMediumFreqSendCmd(m_PortID, QByteArrayLiteral("showif stop\r\n"));
    // The view takes the port's bytes as often as before, whether or not a file was open.
    m_pPortTab->SetPortSlowUpdate(m_PortID, false);
    if (m_pPortTab->GetPortInfo(m_PortID).bLogging)
        emit SignalMediumFreqCloseFile(iTab);
}
