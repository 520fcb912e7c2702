#include "monitor/config/freset_config.h"
#include "monitor/shell/shell_log.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/port_tab.h"

namespace
{
constexpr uint kFresetBaudRate = 115200;

// The mask lines: "KEYWORD KIND SYS ANGLE SYS ANGLE ..." as one line per system.
QString SplitMaskLine(const QString& sLine)
{
    const QStringList f = sLine.split(QLatin1Char(' '));
    if (f.size() < 14)
        return QString();
    QString sOut;
    for (int k = 1; k <= 6; ++k)
        sOut += f[0] + QLatin1Char(' ') + f[2 * k] + QLatin1Char(' ') + f[2 * k + 1] + QStringLiteral("\r\n");
    return sOut;
}

// "LOCKOUT GPS 0X00000005" as one LOCKOUT line per satellite locked out.
QString SplitLockoutLine(const QString& sLine)
{
    const QStringList parts = sLine.split(QStringLiteral("0X"));
    if (parts.size() < 2)
        return QString();
    bool bOk = false;
    uint mask = parts[1].toUInt(&bOk, 16);
    if (!bOk)
        mask = 0;
    QString sOut;
    for (int b = 0; b < 32; ++b)
        if ((mask >> b) & 1u)
            sOut += parts[0] + QString::number(b + 1) + QStringLiteral("\r\n");
    return sOut;
}
} // namespace

QFresetConfig::QFresetConfig(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("QFresetDiag"));
    resize(389, 155);
    setWindowIcon(QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Freset.png")));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    auto* pGrid = new QGridLayout(this);
    m_pGroupBox = new QGroupBox(this);
    m_pGroupBox->setObjectName(QStringLiteral("groupBox"));
    auto* pBoxes = new QVBoxLayout(m_pGroupBox);
    m_pUserConfig = new QCheckBox(m_pGroupBox);
    m_pUserConfig->setObjectName(QStringLiteral("pUserConfigCheckBox"));
    m_pMsgConfig = new QCheckBox(m_pGroupBox);
    m_pMsgConfig->setObjectName(QStringLiteral("pMsgConfigCheckBox"));
    pBoxes->addWidget(m_pUserConfig);
    pBoxes->addWidget(m_pMsgConfig);
    pGrid->addWidget(m_pGroupBox, 0, 0);
    auto* pButtons = new QHBoxLayout;
    m_pOkBtn = new QPushButton(this);
    m_pOkBtn->setObjectName(QStringLiteral("pOkBtn"));
    m_pCancelBtn = new QPushButton(this);
    m_pCancelBtn->setObjectName(QStringLiteral("pCancelBtn"));
    pButtons->addWidget(m_pOkBtn);
    pButtons->addWidget(m_pCancelBtn);
    pGrid->addLayout(pButtons, 1, 0);

    m_pFresetTimer = new QTimer(this);
    m_pFresetTimer->setSingleShot(true);
    m_pReplyTimer = new QTimer(this);
    m_pReplyTimer->setSingleShot(true);
    connect(m_pFresetTimer, &QTimer::timeout, this, &QFresetConfig::OnFresetFinished);
    connect(m_pReplyTimer, &QTimer::timeout, this, &QFresetConfig::OnRepliesWaited);
    connect(m_pOkBtn, &QPushButton::clicked, this, &QFresetConfig::OnSignalOKBtnClicked);
    connect(m_pCancelBtn, &QPushButton::clicked, this, &QFresetConfig::OnCloseWindow);
    OnLanguageUpdate();
}

QFresetConfig::~QFresetConfig() = default;

void QFresetConfig::SetWaits(int nReplyMs, int nReplyLimitMs, int nRestartMs)
{
    m_nReplyMs = nReplyMs;
    m_nReplyLimitMs = nReplyLimitMs;
    m_nRestartMs = nRestartMs;
}

void QFresetConfig::OnLanguageUpdate()
{
    setWindowTitle(QCoreApplication::translate("QFresetDiag", "Freset"));
    m_pGroupBox->setTitle(QCoreApplication::translate("QFresetDiag", "Configure to Save"));
    m_pUserConfig->setText(QCoreApplication::translate("QFresetDiag", "User Config"));
    m_pMsgConfig->setText(QCoreApplication::translate("QFresetDiag", "Msg Config"));
    m_pOkBtn->setText(QCoreApplication::translate("QFresetDiag", "OK"));
    m_pCancelBtn->setText(QCoreApplication::translate("QFresetDiag", "Cancel"));
}

void QFresetConfig::OnCloseWindow() { close(); }

void QFresetConfig::Report(const QString& sTitle, const QString& sText)
{
    // From a timer: a box that does not wait.
    MonitorPrompt()->Inform(this, QMessageBox::Warning, sTitle, sText, tr("OK"), QString(), {});
}

void QFresetConfig::Request(uint Mask)
{
    emit SignalFresetOkBtnClicked(Mask);
    const int iTab = m_pPortTab ? m_pPortTab->GetTabIndexByPortID(m_PortID) : -1;
    if (Mask != 0 && iTab >= 0)
        emit SignalRequestItem(iTab, Mask);
}

void QFresetConfig::OnSignalOKBtnClicked()
{
    if (m_bRunning)
        return;
    const uint uPortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    if (uPortID == 0)
    {
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Warning"),
                                 tr("No receiver port is open: nothing was sent."));
        return;
    }
    m_PortID = uPortID;
    m_bUser = m_pUserConfig->isChecked();
    m_bMsg = m_pMsgConfig->isChecked();
    m_sReplay.clear();
    if (!m_bUser && !m_bMsg)
    {
        m_bRunning = true;
        m_pOkBtn->setEnabled(false);
        QPointer<QFresetConfig> pThis(this);
        MonitorPrompt()->Ask(this, tr("warning"),
                             tr("Are you sure to restore factory Settings?\nThe configuration will be cleared when "
                                "the factory Settings are restored"),
                             [pThis](bool bYes)
                             {
                                 if (pThis.isNull())
                                     return;
                                 if (bYes)
                                     pThis->StartReset();
                                 else
                                     pThis->Finish();
                             });
        return;
    }
    m_bRunning = true;
    m_pOkBtn->setEnabled(false);
    // The log list first, then the user configuration.
    Request(m_bMsg ? static_cast<uint>(STATUS_MSG_LOGLIST) : 0u);
    Request(m_bUser ? static_cast<uint>(STATUS_MSG_USERCONFIG) : 0u);
    m_nWaitedMs = 0;
    m_pReplyTimer->start(m_nReplyMs);
}

void QFresetConfig::OnRepliesWaited()
{
    const QStatusMsgParser* pStore = m_pPortTab ? m_pPortTab->GetStatusReplies(m_PortID) : nullptr;
    if (pStore == nullptr)
    {
        Report(tr("Error"), tr("The port of this receiver is not open any more: the factory reset was not done."));
        Finish();
        return;
    }
    const uint asked =
        (m_bMsg ? static_cast<uint>(STATUS_MSG_LOGLIST) : 0u) | (m_bUser ? static_cast<uint>(STATUS_MSG_USERCONFIG) : 0u);
    if ((pStore->PendingMask() & asked) != 0)
    {
        m_nWaitedMs += m_nReplyMs;
        if (m_nWaitedMs < m_nReplyLimitMs)
        {
            m_pReplyTimer->start(m_nReplyMs);
            return;
        }
        // A reset now would lose the settings the receiver did not send.
        Report(tr("Error"), tr("The receiver did not send the settings to save: the factory reset was not done, and "
                               "its settings are kept."));
        Finish();
        return;
    }
    m_sReplay = BuildReplay(*pStore);
    StartReset();
}

QString QFresetConfig::BuildReplay(const QStatusMsgParser& Store)
{
    QString sLogs;
    if (m_bMsg)
    {
        for (const QString& sEntry : LogListLines(Store))
            sLogs += QStringLiteral("log ") + sEntry + QStringLiteral("\r\n");
    }
    QString sUser;
    if (m_bUser)
    {
        if (Store.m_UserConfigList.isEmpty())
            Report(tr("Error"), tr("Userconfig List is empty"));
        else
            sUser = Userconfig(Store.m_UserConfigList);
    }
    return sLogs + sUser;
}

void QFresetConfig::StartReset()
{
    const int iTab = m_pPortTab ? m_pPortTab->GetTabIndexByPortID(m_PortID) : -1;
    if (iTab < 0)
    {
        Report(tr("Error"), tr("The port of this receiver is not open any more: the factory reset was not done."));
        Finish();
        return;
    }
    Request(STATUS_MSG_FRESET);
    // A factory reset brings the receiver's serial ports back to 115200 baud.
    if (m_pPortTab->GetPortInfo(m_PortID).PortType == QZvPortCtrlBase::PORT_TYPE_UART)
        emit SignalSetBaudrate(kFresetBaudRate, iTab);
    m_pFresetTimer->start(m_nRestartMs);
    hide();
}

void QFresetConfig::OnFresetAction()
{
    m_PortID = m_pPortTab ? m_pPortTab->GetCurPortID() : 0;
    const QStatusMsgParser* pStore = m_pPortTab ? m_pPortTab->GetStatusReplies(m_PortID) : nullptr;
    if (pStore == nullptr)
        return;
    m_bUser = m_pUserConfig->isChecked();
    m_bMsg = m_pMsgConfig->isChecked();
    m_sReplay = BuildReplay(*pStore);
    if (m_pPortTab->GetPortInfo(m_PortID).PortType == QZvPortCtrlBase::PORT_TYPE_UART)
        emit SignalSetBaudrate(kFresetBaudRate, m_pPortTab->GetTabIndexByPortID(m_PortID));
    m_bRunning = true;
    m_pOkBtn->setEnabled(false);
    m_pFresetTimer->start(m_nRestartMs);
}

void QFresetConfig::OnFresetFinished()
{
    m_pFresetTimer->stop();
    qCDebug(lcWindows, "OnFresetTimeOut");
    const QStatusMsgParser* pStore = m_pPortTab ? m_pPortTab->GetStatusReplies(m_PortID) : nullptr;
    if (pStore == nullptr)
    {
        Report(tr("Error"), tr("The port of this receiver is not open any more: its settings were not sent again."));
        Finish();
        return;
    }
    emit SignalSendCMD(m_PortID, m_sReplay.toUtf8());
    if (pStore->m_bFresetSeen)
        Report(tr("Succeeded"), tr("Restore factory Settings successfully"));
    else
        Report(tr("Error"), tr("The receiver did not confirm the factory reset."));
    Finish();
}

void QFresetConfig::Finish()
{
    m_pReplyTimer->stop();
    m_pFresetTimer->stop();
    m_bRunning = false;
    m_pOkBtn->setEnabled(true);
}

QString QFresetConfig::Userconfig(QStringList StatusMsgList)
{
    static const QString kDefaultRtk =
        QStringLiteral("RTKECUTOFF USER GPS 15.0 GLO 15.0 GAL 15.0 BDS 15.0 SBAS 15.0 QZSS 15.0");
    static const QString kDefaultElevation =
        QStringLiteral("ECUTOFF USER GPS 0.0 GLO 0.0 GAL 0.0 BDS 0.0 SBAS 0.0 QZSS 0.0");
    const QString kEnd = QStringLiteral("\r\n");
    auto has = [](const QString& sLine, const char* pWord) { return sLine.contains(QLatin1String(pWord)); };
    QString sOut;
    // The first rule whose keyword the line holds decides; RTKECUTOFF stands
    // before ECUTOFF, which it contains.
    for (const QString& sLine : StatusMsgList)
    {
        if (has(sLine, "NETCONFIG"))
        {
            if (!has(sLine, "DHCP") && has(sLine, "STATIC"))
                sOut += sLine + kEnd;
        }
        else if (has(sLine, "RTKECUTOFF"))
        {
            if (sLine != kDefaultRtk)
                sOut += SplitMaskLine(sLine);
        }
        else if (has(sLine, "ECUTOFF"))
        {
            if (sLine != kDefaultElevation)
                sOut += SplitMaskLine(sLine);
        }
        else if (has(sLine, "POSAVE"))
        {
            if (has(sLine, "POSAVE ON"))
                sOut += sLine + kEnd;
            else if (has(sLine, "POSAVE OFF"))
                sOut += QStringLiteral("POSAVE OFF") + kEnd;
        }
        else if (has(sLine, "LOCKOUT"))
            sOut += SplitLockoutLine(sLine);
        else if (has(sLine, "SETINSTRANSLATION"))
            sOut += QString(sLine).replace(QLatin1String("IMUBODY"), QLatin1String(" ")) + kEnd;
        else if (has(sLine, "ICOMCONFIG"))
        {
            if (!has(sLine, "NONE"))
                sOut += QString(sLine).replace(QLatin1Char(','), QLatin1Char(' ')).replace(QLatin1Char(':'),
                                                                                          QLatin1Char(' ')) +
                        kEnd;
        }
        else if (!has(sLine, "BASEID") && !has(sLine, "BASEANTENNAMODEL") && !has(sLine, "NTRIPCONFIG") &&
                 !has(sLine, "COM COM"))
            sOut += sLine + kEnd;
    }
    return sOut;
}
