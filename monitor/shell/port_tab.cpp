#include "monitor/shell/port_tab.h"
#include "monitor/shell/shell_log.h"

#include <QAbstractSocket>
#include <QAction>
#include <QActionGroup>
#include <QCursor>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QTabBar>
#include <QTextCodec>
#include <QTextDocument>
#include <cstring>
#include <iterator>

#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/fw_image_checker.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/serial_device.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/monitor_prompt.h"
#include "monitor/shell/monitor_resources.h"
#include "monitor/shell/script_process.h"
#include "monitor/shell/status_bar.h"
#include "monitor/shell/txt_browser.h"

namespace
{
const char* const kUpgradingMark = "-Upgrading";
const char* const kPauseMark = "-Pause";
const char* const kLockMark = "-[Lock]";
const uint kBaudRates[] = {9600, 115200, 230400, 460800, 921600};
const uint kFresetBaudRate = 115200;
constexpr int kListedMountPoints = 20;

// Why a caster refused a port, in words: the caster's answer as it bears on
// the settings (login, mount point), else the port's own account.
QString NtripFailureText(const QZvNTripPortCtrl::FAILURE_T& Failure)
{
    const int status = Failure.Status;
    if (status == 401)
        return CPortTab::tr("The caster refused the user name or password (401 Unauthorized).");
    if (status != 404 && Failure.Result != NTRIP_NO_MOUNT_POINT)
        return Failure.Reason;
    QString sText = CPortTab::tr("The caster has no mount point \"%1\".").arg(Failure.MountPoint);
    if (Failure.Result != NTRIP_NO_MOUNT_POINT)
        return sText;
    if (Failure.OfferedCount == 0)
        return sText + QLatin1Char('\n') + CPortTab::tr("It offers no mount point.");
    sText +=
        QLatin1Char('\n') + CPortTab::tr("Mount points it offers: %1")
                                .arg(Failure.OfferedMountPoints.mid(0, kListedMountPoints).join(QStringLiteral(", ")));
    if (Failure.OfferedCount > kListedMountPoints)
        sText += QLatin1Char(' ') + CPortTab::tr("(%1 in all)").arg(Failure.OfferedCount);
    return sText;
}
} // namespace

CPortTab::CPortTab(QWidget* pParent) : QFlexWindowSet(pParent), m_pPosDataParser(new QPosDataParser(this))
{
    InitMonitorResources();
    setTabsClosable(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

CPortTab::~CPortTab() = default;

void CPortTab::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        SetCloseButtonTips();
    QFlexWindowSet::changeEvent(pEvent);
}

void CPortTab::SetCloseButtonTips()
{
    if (!tabsClosable())
        return;
    QTabBar* pBar = tabBar();
    const auto eSide = static_cast<QTabBar::ButtonPosition>(
        pBar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, pBar));
    for (int i = 0; i < pBar->count(); ++i)
    {
        if (QWidget* pButton = pBar->tabButton(i, eSide))
            pButton->setToolTip(tr("Close Window"));
    }
}

const POS_DATA_T* CPortTab::GetPosData() const { return &m_pPosDataParser->m_PosData; }

QList<uint> CPortTab::GetPortIDs() const
{
    QList<uint> Ids;
    for (int i = 0; i < count(); ++i)
        if (const uint nId = GetPortUniqueID(i))
            Ids.append(nId);
    return Ids;
}

const QRangeData* CPortTab::GetRangeData(uint UniquePortID) const
{
    const CZvTxtBrowser* pView = UniquePortID != 0 ? GetTxView(GetTabIndexByPortID(UniquePortID)) : nullptr;
    return pView != nullptr ? pView->m_pRangeData : nullptr;
}

const QStatusMsgParser* CPortTab::GetStatusReplies(uint UniquePortID) const
{
    const CZvTxtBrowser* pView = UniquePortID != 0 ? GetTxView(GetTabIndexByPortID(UniquePortID)) : nullptr;
    return pView != nullptr ? pView->m_pStatusMsgParser : nullptr;
}

PORT_INFO_T CPortTab::GetPortInfo(uint UniquePortID) const
{
    PORT_INFO_T Info;
    const int i = UniquePortID != 0 ? GetTabIndexByPortID(UniquePortID) : -1;
    const QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
    if (pCtrl == nullptr)
        return Info;
    Info.UniquePortID = pCtrl->UniquePortID;
    Info.PortType = pCtrl->PortType;
    Info.PortName = pCtrl->GetPortName();
    Info.TabText = tabText(i);
    if (const auto* pUart = qobject_cast<const QZvUartPortCtrl*>(pCtrl))
        Info.BaudRate = pUart->GetBaudRate();
    Info.bDisconnected = pCtrl->IsDisconnected();
    Info.bRunning = pCtrl->isRunning();
    Info.bLogging = pCtrl->IsLogging();
    Info.LogFileName = pCtrl->GetLogFileName();
    Info.LogFileSize = pCtrl->GetLogFileSize();
    Info.Property = pCtrl->Property.Get();
    Info.bPropertyValid = pCtrl->IsPropertyValid();
    Info.bUpgrading = pCtrl->IsUpgrading();
    Info.bAutoReconnect = pCtrl->IsAutoReconnect();
    Info.AutoLogMode = pCtrl->GetAutoLogMode();
    Info.bAutoLogLoop = pCtrl->IsAutoLogLoop();
    Info.NextSwitchTime = pCtrl->GetNextSwitchTime();
    return Info;
}

bool CPortTab::SetNvmDumpMark(uint UniquePortID, bool bOn)
{
    CZvTxtBrowser* pView = UniquePortID != 0 ? GetTxView(GetTabIndexByPortID(UniquePortID)) : nullptr;
    if (pView == nullptr)
        return false;
    pView->m_bNvmDump = bOn;
    return true;
}

bool CPortTab::SetPortSlowUpdate(uint UniquePortID, bool bSlow)
{
    QZvPortCtrlBase* pCtrl = UniquePortID != 0 ? GetPortCtrl(GetTabIndexByPortID(UniquePortID)) : nullptr;
    if (pCtrl == nullptr)
        return false;
    pCtrl->SetSlowUpdate(bSlow);
    return true;
}

bool CPortTab::SetPortFixWatch(uint UniquePortID, bool bOn)
{
    CZvTxtBrowser* pView = UniquePortID != 0 ? GetTxView(GetTabIndexByPortID(UniquePortID)) : nullptr;
    if (pView == nullptr || pView->Receiver() == nullptr)
        return false;
    pView->Receiver()->WatchFix(bOn);
    return true;
}

bool CPortTab::GetPortFix(uint UniquePortID, PORT_FIX_T* pFix) const
{
    const CZvTxtBrowser* pView = UniquePortID != 0 ? GetTxView(GetTabIndexByPortID(UniquePortID)) : nullptr;
    const CPortFixWatch* pWatch =
        pView != nullptr && pView->Receiver() != nullptr ? pView->Receiver()->FixWatch() : nullptr;
    if (pWatch == nullptr)
        return false;
    *pFix = pWatch->Fix();
    return true;
}

bool CPortTab::SetPortAutoReconnect(uint UniquePortID, bool bOn)
{
    QZvPortCtrlBase* pCtrl = UniquePortID != 0 ? GetPortCtrl(GetTabIndexByPortID(UniquePortID)) : nullptr;
    if (pCtrl == nullptr)
        return false;
    pCtrl->SetAutoReconnect(bOn);
    return true;
}

QString CPortTab::TakeCurScriptOutput()
{
    CZvTxtBrowser* pView = GetCurTxView();
    return pView != nullptr ? pView->m_pScriptProcess->TakeOutputText() : QString();
}

CZvTxtBrowser* CPortTab::GetTxView(int i) const { return i >= 0 ? qobject_cast<CZvTxtBrowser*>(widget(i)) : nullptr; }

CZvTxtBrowser* CPortTab::GetCurTxView() const { return GetTxView(currentIndex()); }

QZvPortCtrlBase* CPortTab::GetPortCtrl(int i) const
{
    CZvTxtBrowser* pView = GetTxView(i);
    return pView ? pView->m_pPortCtrl : nullptr;
}

QZvPortCtrlBase* CPortTab::GetCurPortCtrl() const { return GetPortCtrl(currentIndex()); }

qint64 CPortTab::MsSinceCurHandOver() const
{
    const CZvTxtBrowser* pView = GetCurTxView();
    return pView != nullptr ? pView->MsSinceHandOver() : -1;
}

uint CPortTab::GetPortUniqueID(int i) const
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
    return pCtrl ? pCtrl->UniquePortID : 0;
}

QString CPortTab::GetPortTypeIcon(uint PortType)
{
    switch (PortType)
    {
    case QZvPortCtrlBase::PORT_TYPE_UART:
        return QStringLiteral(":/QZorvikMonitor/Icon/UartConnected.ico");
    case QZvPortCtrlBase::PORT_TYPE_USB:
        return QStringLiteral(":/QZorvikMonitor/Icon/USB.png");
    case QZvPortCtrlBase::PORT_TYPE_TCP:
        return QStringLiteral(":/QZorvikMonitor/Icon/Net.png");
    case QZvPortCtrlBase::PORT_TYPE_NTRIP:
        return QStringLiteral(":/QZorvikMonitor/Icon/Ntrip.png");
    case QZvPortCtrlBase::PORT_TYPE_REPLAY:
        return QStringLiteral(":/QZorvikMonitor/Icon/Replay.png");
    default:
        return {};
    }
}

int CPortTab::GetPortIDByName(const QString& sName) const
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
        if (pCtrl == nullptr)
            return 0;
        if (pCtrl->GetPortName() == sName)
            return static_cast<int>(pCtrl->UniquePortID);
    }
    return -1;
}

int CPortTab::GetTabIndexByPortID(uint UniquePortID) const
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
        if (pCtrl == nullptr)
            return -1;
        if (pCtrl->UniquePortID == UniquePortID)
            return i;
    }
    return -1;
}

bool CPortTab::GetTabIndexByName(const QString& sName, QZvPortCtrlBase** pCtrl) const
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pPort = GetPortCtrl(i);
        if (pCtrl != nullptr)
            *pCtrl = pPort;
        if (pPort != nullptr && pPort->GetPortName() == sName)
            return true;
    }
    return false;
}

QString CPortTab::PortTabText(QZvPortCtrlBase* pPortCtrl)
{
    switch (pPortCtrl->PortType)
    {
    case QZvPortCtrlBase::PORT_TYPE_TCP:
    {
        const auto* pTcp = qobject_cast<const QZvTCPPortCtrl*>(pPortCtrl);
        if (pTcp == nullptr)
            return pPortCtrl->GetPortName();
        const TCP_CONFIG_T config = pTcp->GetTcpConfig();
        return config.IPAddress + QStringLiteral(":%1").arg(config.Port);
    }
    default:
        return pPortCtrl->GetPortName();
    }
}

bool CPortTab::RefreshTabText(uint UniquePortID)
{
    const int i = GetTabIndexByPortID(UniquePortID);
    if (i < 0)
        return false;
    QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
    setTabText(i, PortTabText(pCtrl));
    return pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_REPLAY;
}

bool CPortTab::IsPortNameOpen(const QString& PortName)
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
        if (pCtrl == nullptr || pCtrl->PortType > QZvPortCtrlBase::PORT_TYPE_REPLAY)
            return false;
        if (pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_UART || pCtrl->GetPortName() != PortName)
            continue;
        setTabIcon(i, QIcon(GetPortTypeIcon(pCtrl->PortType)));
        emit SignalReconnectPort(i, pCtrl->UniquePortID);
        return true;
    }
    return false;
}

void CPortTab::RemoveMark(int i, const QString& sMark)
{
    QString sText = tabText(i);
    sText.remove(sMark);
    setTabText(i, sText);
}

void CPortTab::SetTabUpgradingMark(uint UniquePortID, bool bUpgrading)
{
    const int i = GetTabIndexByPortID(UniquePortID);
    if (i < 0)
        return;
    RemoveMark(i, QLatin1String(kUpgradingMark));
    if (bUpgrading)
        setTabText(i, tabText(i) + QLatin1String(kUpgradingMark));
}

QByteArray CPortTab::EncodeCmdText(const QString& sText) const
{
    if (m_CodedFormat == CODED_FORMAT_UTF8)
        return sText.toUtf8();
    if (m_CodedFormat == CODED_FORMAT_GB2312)
    {
        if (QTextCodec* pCodec = QTextCodec::codecForName("GB2312"))
            return pCodec->fromUnicode(sText);
    }
    return {};
}

QZvPortCtrlBase* CPortTab::ManagedPort(uint UniquePortID) const
{
    if (UniquePortID == 0)
        return nullptr;
    if (m_pPortManager != nullptr)
        return m_pPortManager->GetPortCtrl(UniquePortID);
    return GetPortCtrl(GetTabIndexByPortID(UniquePortID));
}

void CPortTab::OnAddPort(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, QZvPortCtrlBase* pPortCtrl)
{
    qCDebug(lcShell, "Add Port Type %d %u", static_cast<int>(PortType), UniquePortID);
    // Kinds this program does not know get no tab and no connection.
    if (pPortCtrl == nullptr || PortType > QZvPortCtrlBase::PORT_TYPE_REPLAY)
        return;
    auto* pView = new CZvTxtBrowser;
    pView->m_pPortTab = this;
    pView->setProperty("PortUniqueID", pPortCtrl->UniquePortID);
    pView->setReadOnly(true);
    pView->document()->setUndoRedoEnabled(false);
    pView->m_pPortCtrl = pPortCtrl;
    if (PortType == QZvPortCtrlBase::PORT_TYPE_NTRIP)
        pView->m_DisplayMode = 3;
    addTab(pView, QIcon(GetPortTypeIcon(PortType)), PortTabText(pPortCtrl));
    SetCloseButtonTips();

    if (auto* pNtrip = qobject_cast<QZvNTripPortCtrl*>(pPortCtrl))
    {
        // The controller reads the position record during the call.
        if (!m_bNtripFixPos)
            connect(this, &CPortTab::SingalUpdatePos, pNtrip, &QZvNTripPortCtrl::OnSetPos, Qt::DirectConnection);
        else
            disconnect(this, &CPortTab::SingalUpdatePos, pNtrip, &QZvNTripPortCtrl::OnSetPos);
    }
    if (auto* pUart = qobject_cast<QZvUartPortCtrl*>(pPortCtrl))
    {
        connect(pView, &CZvTxtBrowser::SignalRescueModemOn, pUart, &QZvUartPortCtrl::OnStartSendCmd);
        connect(pView, &CZvTxtBrowser::SignalRescueModemTimerStop, pUart, &QZvUartPortCtrl::OnRescueModemTimeStop);
        connect(pView, &CZvTxtBrowser::SignalRescueModemBoardReset, this, &CPortTab::OnRescueModemBoardReset);
    }
    connect(pPortCtrl, &QZvPortCtrlBase::SignalUpdateUI, pView, &CZvTxtBrowser::OnUpdateData);
    connect(pView, &CZvTxtBrowser::SignalUpdateOutMsg, this, &CPortTab::OnGetFilterData);
    connect(pView, &CZvTxtBrowser::SignalSetFileName1Port, pPortCtrl, &QZvPortCtrlBase::OnSetFileName);
    connect(pView, &CZvTxtBrowser::SignalSetLogFolder1Port, pPortCtrl, &QZvPortCtrlBase::OnSetDefaultPath);
    connect(pView, &CZvTxtBrowser::SignalClearLogFolder1Port, pPortCtrl, &QZvPortCtrlBase::OnClearDefaultPath);
    connect(pView, &CZvTxtBrowser::SignalOpenFile1Port, pPortCtrl, &QZvPortCtrlBase::OnOpenFile);
    connect(pView, &CZvTxtBrowser::SignalCloseFile1Port, pPortCtrl, &QZvPortCtrlBase::OnCloseFile);
    connect(pView, &CZvTxtBrowser::SignalUnlogFile1Port, pPortCtrl, &QZvPortCtrlBase::OnUnLogFile);
    connect(pView, &CZvTxtBrowser::SignalLogNewFile, pPortCtrl, &QZvPortCtrlBase::OnLogNewFile);
    connect(pView, &CZvTxtBrowser::SignalLogConfig, pPortCtrl, &QZvPortCtrlBase::OnSetAutoLogConfig);
    connect(pView, &CZvTxtBrowser::SignalSetNormalLogMmode, pPortCtrl, &QZvPortCtrlBase::OnSetNormalLogMode);
    connect(pView, &CZvTxtBrowser::SignalSetPortLockStatus, pPortCtrl, &QZvPortCtrlBase::OnSetPortLockStatus);
    connect(pView->m_pStatusMsgParser, &QStatusMsgParser::SignalParseStatusMsgFinished, this,
            [this, UniquePortID](uint Mask) { OnStatusMsgParseFinished1Port(UniquePortID, Mask); });
    connect(pView->m_pScriptProcess, &QScriptProcess::SignalSendCMD, this, &CPortTab::OnSendScriptCMDToPort);
    connect(pView, &CZvTxtBrowser::SignalNVMComplete, this,
            [this, UniquePortID] { emit SignalNVMComplete1Port(UniquePortID); });
    // A port opened behind the current tab hands its bytes over as seldom as
    // the other hidden ones, not at the short interval a port starts with.
    emit SignalSetBaseCtrlTimeInterval(UniquePortID, currentWidget() == pView);
}

void CPortTab::OnAddPortFail(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int ErrFlag, QString PortName)
{
    const int i = GetTabIndexByPortID(UniquePortID);
    if (i >= 0)
        setTabIcon(i, QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Stop.png")));
    // A serial port whose device went away is disconnected as a removed
    // adapter is; its tab waits to be reconnected.
    const bool bLost = PortType == QZvPortCtrlBase::PORT_TYPE_UART && ErrFlag == PORT_FAIL_DEVICE_LOST;
    if (bLost && i >= 0 && !GetPortCtrl(i)->IsDisconnected())
        emit SignalDisconnectPort(i, UniquePortID);
    QString sWhy;
    if (bLost)
        sWhy = tr("The port's device went away (adapter unplugged or line closed).\nReconnect the port once it is "
                  "back.");
    else if (auto* pNtrip = qobject_cast<QZvNTripPortCtrl*>(ManagedPort(UniquePortID)))
        sWhy = NtripFailureText(pNtrip->GetLastFailure());
    if (!sWhy.isEmpty())
        emit SignaSendDebugInfo(QStringLiteral("%1: %2\n").arg(PortName, sWhy));
    // A port that retries reports each attempt; its box is shown once at a time.
    if (m_FailBoxes.contains(UniquePortID))
        return;
    QString sText;
    QString sReject;
    if (PortType != QZvPortCtrlBase::PORT_TYPE_TCP)
    {
        sText = ErrFlag == PORT_FAIL_NO_ANSWER
                    ? tr("Port connection failed\r\n1.Check for halvorne board !\r\n2.Baud rate does not match, Can "
                         "right click on the port configuration, Change the configuration! ")
                : bLost ? tr("Port lost")
                        : tr("Can not open Port");
        if (!sWhy.isEmpty())
            sText += QLatin1Char('\n') + sWhy;
    }
    else
    {
        // A TCP port reports the socket error.
        QString sReason;
        switch (ErrFlag)
        {
        case QAbstractSocket::ConnectionRefusedError:
            sReason = tr("Server refused");
            break;
        case QAbstractSocket::RemoteHostClosedError:
            sReason = tr("The connection was refused by the peer");
            break;
        case QAbstractSocket::HostNotFoundError:
            sReason = tr("The host was not found");
            break;
        case QAbstractSocket::SocketTimeoutError:
            sReason = tr("Time out");
            break;
        default:
            sReason = tr("Err ID %1").arg(ErrFlag);
            break;
        }
        sText = tr("Connect Err!\n") + sReason;
        // "Quit" stops the port's retries.
        sReject = tr("Quit");
    }
    // The tab keeps the reason after the box is answered.
    if (i >= 0)
        setTabToolTip(i, sText);
    m_FailBoxes.insert(UniquePortID);
    // The box does not wait: the port's tab may be gone when it is answered.
    QPointer<CPortTab> pThis(this);
    MonitorPrompt()->Inform(this, QMessageBox::Warning, PortName, sText, tr("OK"), sReject,
                            [pThis, UniquePortID, sReject](bool bOk)
                            {
                                if (pThis.isNull())
                                    return;
                                pThis->m_FailBoxes.remove(UniquePortID);
                                const int iTab = pThis->GetTabIndexByPortID(UniquePortID);
                                if (!bOk && !sReject.isEmpty() && iTab >= 0)
                                    emit pThis->SignalDisconnectPort(iTab, UniquePortID);
                            });
}

void CPortTab::OnCheckPortConnectState()
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
        if (pCtrl == nullptr || pCtrl->PortType > QZvPortCtrlBase::PORT_TYPE_REPLAY)
            break;
        // A port that noticed the loss itself is disconnected already.
        if (pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_UART || pCtrl->IsDisconnected())
            continue;
        // A removed adapter takes its device node (and the links to it) away;
        // ports opened by path or by link are not all in the system's list.
        const QString sPath =
            QString::fromStdString(CUartProcess::DevicePath(QFile::encodeName(pCtrl->GetPortName()).constData()));
        if (QFileInfo::exists(sPath))
            continue;
        setTabIcon(i, QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Stop.png")));
        emit SignalDisconnectPort(i, pCtrl->UniquePortID);
    }
}

void CPortTab::OnClosePort(int Index)
{
    const uint uid = GetPortUniqueID(Index);
    if (uid == 0)
        return;
    emit SignaPortCloseEvent(Index);
    emit SignalClosePort(uid);
    // The manager has deleted the controller: its view goes with its tab.
    QWidget* pView = widget(Index);
    removeTab(Index);
    delete pView;
}

void CPortTab::OnCloseFilePort(int Index)
{
    if (CZvTxtBrowser* pView = GetTxView(Index))
        emit pView->SignalCloseFile1Port();
}

void CPortTab::OnOpenFilePort(int Index)
{
    if (CZvTxtBrowser* pView = GetTxView(Index))
        emit pView->SignalOpenFile1Port();
}

void CPortTab::OnUnlogFilePort(int Index)
{
    if (CZvTxtBrowser* pView = GetTxView(Index))
        emit pView->SignalUnlogFile1Port();
}

void CPortTab::OnLogNewFile(int Index, QString sFileName)
{
    if (CZvTxtBrowser* pView = GetTxView(Index))
        emit pView->SignalLogNewFile(sFileName);
}

void CPortTab::OnSignalLogConfig(int Index, uint Mode, bool bLoop, QDateTime DateTime)
{
    if (CZvTxtBrowser* pView = GetTxView(Index))
        emit pView->SignalLogConfig(Mode, bLoop, DateTime);
}

void CPortTab::OnSetTabLogFilename(int Index, QString sFileName)
{
    CZvTxtBrowser* pView = GetTxView(Index);
    QZvPortCtrlBase* pCtrl = GetPortCtrl(Index);
    if (pCtrl == nullptr)
        return;
    if (pCtrl->IsLogging())
    {
        emit pView->SignalCloseFile1Port();
        return;
    }
    emit pView->SignalSetFileName1Port(sFileName);
    emit pView->SignalOpenFile1Port();
}

void CPortTab::OnSetLogFilename() { OnSetLogFilename1Port(GetCurPortID()); }

void CPortTab::OnSetLogFilename1Port(uint UniquePortID)
{
    const int i = UniquePortID != 0 ? GetTabIndexByPortID(UniquePortID) : -1;
    CZvTxtBrowser* pView = GetTxView(i);
    QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
    if (pCtrl == nullptr)
        return;
    const uint uid = pCtrl->UniquePortID;
    if (pCtrl->IsLogging())
    {
        if (MonitorPrompt()->Question(this, tr("Warning"), tr("Do you sure to un log")) &&
            GetTabIndexByPortID(uid) >= 0)
            emit pView->SignalCloseFile1Port();
        return;
    }
    // With a default folder the port names its files itself.
    if (pCtrl->GetLogNameMode() != 1)
    {
        const QString sName = MonitorPrompt()->SaveFileName(this, tr("Log file config"), QString(),
                                                            tr("Logs (*.log *.bin *.txt);;Any files(*.*)"));
        if (sName.isEmpty())
            return;
        if (QFileInfo::exists(sName) &&
            !MonitorPrompt()->Question(this, tr("File exists"), tr("Do you wish to replace")))
            return;
        if (GetTabIndexByPortID(uid) < 0)
            return;
        emit pView->SignalSetFileName1Port(sName);
    }
    emit pView->SignalOpenFile1Port();
}

void CPortTab::OnSetLogDefaultFolder()
{
    CZvTxtBrowser* pView = GetCurTxView();
    QZvPortCtrlBase* pCtrl = ManagedPort(GetPortUniqueID(currentIndex()));
    if (pView == nullptr || pCtrl == nullptr)
        return;
    const uint uid = pCtrl->UniquePortID;
    if (pCtrl->GetLogNameMode() == 1)
    {
        emit pView->SignalClearLogFolder1Port();
        return;
    }
    const QString sFolder = MonitorPrompt()->ExistingDirectory(this, tr("Log file default Folder"), QString());
    if (sFolder.isEmpty() || !QFileInfo(sFolder).isDir() || GetTabIndexByPortID(uid) < 0)
        return;
    emit pView->SignalSetLogFolder1Port(sFolder);
}

void CPortTab::OnDisconnectPort()
{
    const int i = currentIndex();
    const uint uid = GetPortUniqueID(i);
    if (uid == 0)
        return;
    emit SignalDisconnectPort(i, uid);
    emit GetTxView(i)->SignalCloseFile1Port();
}

void CPortTab::OnDisconnectAllPort()
{
    for (int i = 0; i < count(); ++i)
    {
        const uint uid = GetPortUniqueID(i);
        if (uid == 0)
            continue;
        emit SignalDisconnectPort(i, uid);
        emit GetTxView(i)->SignalCloseFile1Port();
    }
}

void CPortTab::OnReconnectPort()
{
    const int i = currentIndex();
    if (const uint uid = GetPortUniqueID(i))
        emit SignalReconnectPort(i, uid);
}

void CPortTab::OnReconnectAllPort()
{
    for (int i = 0; i < count(); ++i)
    {
        if (const uint uid = GetPortUniqueID(i))
            emit SignalReconnectPort(i, uid);
    }
}

void CPortTab::OnRefreshProperty()
{
    const int i = currentIndex();
    if (const uint uid = GetPortUniqueID(i))
        emit SignalRefreshPortProperty(i, uid);
}

void CPortTab::OnPortTabChange(int CurIndex)
{
    emit SignaUpdateAutoLogList();
    QZvPortCtrlBase* pCtrl = GetPortCtrl(CurIndex);
    if (pCtrl == nullptr)
    {
        // The last tab closed: the status bar shows no port any more.
        if (count() == 0)
            emit SignalUpdateStatusBar(nullptr, 0);
        return;
    }
    // The position record describes the current port: another port's starts from nothing.
    if (pCtrl->UniquePortID != m_PosPortID)
    {
        m_PosPortID = pCtrl->UniquePortID;
        m_pPosDataParser->StartOver();
    }
    emit SignaSendDebugInfo(QStringLiteral("CurrentTab %1\n").arg(tabText(CurIndex)));
    for (int i = 0; i < count(); ++i)
        emit SignalSetBaseCtrlTimeInterval(GetPortUniqueID(i), i == CurIndex);
    const uint uid = pCtrl->UniquePortID;
    emit SignalUpdateStatusBar(pCtrl, QZvStatusBar::REFRESH_PORT | QZvStatusBar::REFRESH_LOG);
    emit SignalRescueModemStatus(pCtrl->IsRescueModem(), uid);
    emit SignalScriptStatus(GetTxView(CurIndex)->ScriptRunning(), uid);
}

void CPortTab::OnContextMenuRequesred(QPoint Pos)
{
    (void)Pos;
    CZvTxtBrowser* pView = GetCurTxView();
    QZvPortCtrlBase* pCtrl = GetCurPortCtrl();
    if (pView == nullptr || pCtrl == nullptr)
        return;
    auto* pMenu = new QMenu(this);
    pMenu->setAttribute(Qt::WA_DeleteOnClose);
    connect(pMenu->addAction(tr("Rename")), &QAction::triggered, this, &CPortTab::OnRenameTabDiag);
    connect(pMenu->addAction(tr("Reconnect")), &QAction::triggered, this, &CPortTab::OnReconnectPort);
    connect(pMenu->addAction(tr("Disconnect")), &QAction::triggered, this, &CPortTab::OnDisconnectPort);
    pMenu->addSeparator();
    QAction* pLog = pMenu->addAction(pCtrl->IsLogging() ? tr("Unlog") : tr("Log"));
    if (pCtrl->IsLogging())
        connect(pLog, &QAction::triggered, pCtrl, &QZvPortCtrlBase::OnCloseFile);
    else
        connect(pLog, &QAction::triggered, this, &CPortTab::OnSetLogFilename);
    connect(pLog, &QAction::triggered, pView, &CZvTxtBrowser::SignalSetNormalLogMmode);
    pMenu->addSeparator();
    if (auto* pUart = qobject_cast<QZvUartPortCtrl*>(pCtrl))
    {
        auto* pRates = new QActionGroup(pMenu);
        pRates->setExclusive(true);
        for (uint rate : kBaudRates)
        {
            QAction* pRate = pMenu->addAction(QString::number(rate));
            pRate->setCheckable(true);
            pRate->setChecked(pUart->GetBaudRate() == rate);
            pRates->addAction(pRate);
        }
        connect(pRates, &QActionGroup::triggered, this, &CPortTab::OnSetBaudrateRightMenu);
        // Once, however often the menu opens: a rate chosen reopens the port once.
        connect(pView, &CZvTxtBrowser::SignalSetUartBaudrate, pUart, &QZvUartPortCtrl::OnSetBaudrate,
                Qt::UniqueConnection);
    }
    QMenu* pCoded = pMenu->addMenu(tr("Coded Format"));
    auto* pFormats = new QActionGroup(pCoded);
    pFormats->setExclusive(true);
    const std::pair<const char*, int> formats[] = {{"UTF8", CODED_FORMAT_UTF8}, {"GB2312", CODED_FORMAT_GB2312}};
    for (const auto& format : formats)
    {
        QAction* pFormat = pCoded->addAction(QString::fromLatin1(format.first));
        pFormat->setData(format.second);
        pFormats->addAction(pFormat);
        if (format.second == m_CodedFormat)
        {
            pFormat->setCheckable(true);
            pFormat->setChecked(true);
        }
    }
    connect(pFormats, &QActionGroup::triggered, this, &CPortTab::SetCodedFormat);
    pMenu->popup(QCursor::pos());
}

void CPortTab::OnShowCurTxViewOptions()
{
    if (CZvTxtBrowser* pView = GetCurTxView())
        emit pView->customContextMenuRequested(QPoint(0, 0));
}

void CPortTab::OnTriggerCurTxViewStopShow()
{
    CZvTxtBrowser* pView = GetCurTxView();
    if (pView == nullptr)
        return;
    pView->TogglePause();
    const int i = currentIndex();
    RemoveMark(i, QLatin1String(kPauseMark));
    if (pView->m_bPause)
        setTabText(i, tabText(i) + QLatin1String(kPauseMark));
}

void CPortTab::OnLockTabOne()
{
    CZvTxtBrowser* pView = GetCurTxView();
    if (pView == nullptr)
        return;
    const int i = currentIndex();
    const bool bLock = !pView->m_bPortLock;
    pView->m_bPortLock = bLock;
    RemoveMark(i, QLatin1String(kLockMark));
    if (bLock)
        setTabText(i, tabText(i) + QLatin1String(kLockMark));
    emit pView->SignalSetPortLockStatus(bLock);
}

void CPortTab::OnLockTabAll()
{
    m_bLockAll = !m_bLockAll;
    setTabsClosable(!m_bLockAll);
    SetCloseButtonTips();
}

void CPortTab::OnRenameTabDiag()
{
    QWidget* pTab = currentWidget();
    if (pTab == nullptr)
        return;
    for (;;)
    {
        bool bOk = false;
        const QString sName = MonitorPrompt()->Text(this, tr("Rename tab"), tr("please input New Tab Name:"),
                                                    tabText(indexOf(pTab)), &bOk);
        const int i = indexOf(pTab);
        if (!bOk || i < 0)
            return;
        bool bTaken = false;
        for (int k = 0; k < count(); ++k)
            bTaken = bTaken || (k != i && tabText(k) == sName);
        if (!bTaken)
        {
            setTabText(i, sName);
            return;
        }
        MonitorPrompt()->Message(this, QMessageBox::Warning, tr("Rename Err"),
                                 tr("The name already exists. Please retype it"));
    }
}

void CPortTab::OnRenameTabNameEVT(QString TabName)
{
    if (currentIndex() >= 0)
        setTabText(currentIndex(), TabName);
}

void CPortTab::OnRenameAllTabDiag()
{
    for (int i = 0; i < count(); ++i)
    {
        QZvPortCtrlBase* pCtrl = GetPortCtrl(i);
        if (pCtrl == nullptr || !pCtrl->IsPropertyValid())
            continue;
        // Board name and serial number name a board uniquely.
        const PORT_PROPERTY_T property = pCtrl->Property.Get();
        const QString sName = QStringLiteral("%1_%2").arg(property.BoardName, property.SN);
        const QString sOld = tabText(i);
        if (sOld.contains(sName))
            continue;
        QString sNew = sName;
        if (sOld.contains(QLatin1String(kPauseMark)))
            sNew += QLatin1String(kPauseMark);
        if (sOld.contains(QLatin1String(kUpgradingMark)))
            sNew += QLatin1String(kUpgradingMark);
        setTabText(i, sNew);
    }
}

void CPortTab::SetViewBaudrate(CZvTxtBrowser* pView, uint Baudrate)
{
    auto* pUart = pView ? qobject_cast<QZvUartPortCtrl*>(pView->m_pPortCtrl) : nullptr;
    if (pUart == nullptr)
        return;
    connect(pView, &CZvTxtBrowser::SignalSetUartBaudrate, pUart, &QZvUartPortCtrl::OnSetBaudrate, Qt::UniqueConnection);
    emit pView->SignalSetUartBaudrate(Baudrate);
}

void CPortTab::OnSetBaudrateRightMenu(QAction* pActBaudrate)
{
    CZvTxtBrowser* pView = GetCurTxView();
    if (pActBaudrate == nullptr || pView == nullptr)
        return;
    pActBaudrate->setCheckable(true);
    pActBaudrate->setChecked(true);
    uint rate = 0;
    for (uint known : kBaudRates)
    {
        if (pActBaudrate->text() == QString::number(known))
            rate = known;
    }
    qCDebug(lcShell, "BaudRate Right menu %u", rate);
    emit pView->SignalSetUartBaudrate(rate);
}

void CPortTab::OnSetBaudrateCurTab(uint Baudrate) { SetViewBaudrate(GetCurTxView(), Baudrate); }

void CPortTab::OnSetBaudrateTab(uint Baudrate, int index) { SetViewBaudrate(GetTxView(index), Baudrate); }

void CPortTab::SetCodedFormat(QAction* pIntputCmdMode)
{
    if (pIntputCmdMode == nullptr)
        return;
    pIntputCmdMode->setCheckable(true);
    pIntputCmdMode->setChecked(true);
    m_CodedFormat = pIntputCmdMode->data().toInt() == CODED_FORMAT_GB2312 ? CODED_FORMAT_GB2312 : CODED_FORMAT_UTF8;
    qCDebug(lcShell, "DisplayMode:%d", m_CodedFormat);
}

void CPortTab::RequestStatus(CZvTxtBrowser* pView, uint Mask)
{
    QZvPortCtrlBase* pCtrl = pView ? pView->m_pPortCtrl : nullptr;
    if (pCtrl == nullptr)
    {
        emit SignalNoValidPortExist();
        return;
    }
    const QString sQuery = pView->m_pStatusMsgParser->SendStatusQuery(Mask);
    emit SignalSendCMD(pCtrl->UniquePortID, sQuery.toUtf8());
}

void CPortTab::OnRequestItem(int PortIndex, uint Mask) { RequestStatus(GetTxView(PortIndex), Mask); }

void CPortTab::OnRequestCustomItem(uint Mask) { RequestStatus(GetCurTxView(), Mask); }

void CPortTab::OnRequestLoglistMsg()
{
    if (GetCurPortCtrl() != nullptr)
        RequestStatus(GetCurTxView(), STATUS_MSG_LOGLIST);
}

void CPortTab::OnRequestUserConfigMsg()
{
    if (GetCurPortCtrl() != nullptr)
        RequestStatus(GetCurTxView(), STATUS_MSG_USERCONFIG);
}

void CPortTab::OnResetReqMask()
{
    if (GetCurPortCtrl() == nullptr)
    {
        emit SignalNoValidPortExist();
        return;
    }
    GetCurTxView()->m_pStatusMsgParser->ResetFlags();
}

void CPortTab::OnStatusMsgParseFinished(uint Mask) { emit SignalStatusMsgParseFinished(Mask); }

void CPortTab::OnStatusMsgParseFinished1Port(uint UniquePortID, uint Mask)
{
    // Replies are parsed in the GUI thread and the dialogs read them in the
    // direct calls of this emit, so the ID holds for exactly those calls.
    const uint nOuter = m_StatusReplyPortID;
    m_StatusReplyPortID = UniquePortID;
    OnStatusMsgParseFinished(Mask);
    m_StatusReplyPortID = nOuter;
}

void CPortTab::OnGetFilterData(QByteArray OutData) { emit SignalPortTabGetFilterData(OutData); }

void CPortTab::OnSendScriptCMDToPort(void* pTxView, QString CMD)
{
    const int i = indexOf(static_cast<QWidget*>(pTxView));
    const uint uid = GetPortUniqueID(i);
    if (i < 0 || uid == 0)
        return;
    qCDebug(lcShell, "Script CMD:%s", qPrintable(CMD));
    emit SignalSendCMD(uid, CMD.toLatin1());
    // A factory reset returns the receiver to 115200 baud.
    if (CMD.contains(QLatin1String("freset"), Qt::CaseInsensitive))
        SetViewBaudrate(GetTxView(i), kFresetBaudRate);
}

void CPortTab::OnRunCurTabScript(QString ScriptName)
{
    CZvTxtBrowser* pView = GetCurTxView();
    if (pView == nullptr || pView->m_pPortCtrl == nullptr)
        return;
    pView->m_pScriptProcess->m_sScriptPath = ScriptName;
    pView->m_pScriptProcess->OnStartProcess();
}

void CPortTab::OnStartScriptInCurPort()
{
    CZvTxtBrowser* pView = GetCurTxView();
    const uint uid = GetPortUniqueID(currentIndex());
    if (uid == 0)
        return;
    emit SignalScriptStatus(true, uid);
    pView->m_pScriptProcess->OnStartProcess();
}

void CPortTab::OnStopScriptInCurPort()
{
    CZvTxtBrowser* pView = GetCurTxView();
    const uint uid = GetPortUniqueID(currentIndex());
    if (uid == 0)
        return;
    emit SignalScriptStatus(false, uid);
    pView->m_pScriptProcess->OnStopProcess();
}

void CPortTab::OnSelectScriptFileInCurPort()
{
    if (GetCurPortCtrl() != nullptr)
        GetCurTxView()->OnSelectScriptFile();
}

void CPortTab::OnSetPortIcon(int TabIndex, QZvPortCtrlBase::PORT_TYPE_E PortType, int IconType)
{
    if (TabIndex < 0 || TabIndex >= count())
        return;
    if (IconType == 0)
    {
        // Connected again: the reason of an earlier failure no longer holds.
        setTabIcon(TabIndex, QIcon(GetPortTypeIcon(PortType)));
        setTabToolTip(TabIndex, QString());
    }
    else if (IconType == 1)
        setTabIcon(TabIndex, QIcon(QStringLiteral(":/QZorvikMonitor/Icon/Stop.png")));
    else
        setTabIcon(TabIndex, QIcon());
}

void CPortTab::OnSetAutoReconnectPortIcon(uint UniquePortID, QZvPortCtrlBase::PORT_TYPE_E PortType, int Status)
{
    OnSetPortIcon(GetTabIndexByPortID(UniquePortID), PortType, Status);
}

void CPortTab::OnSetNtripFixPos(bool bNtripFixPos) { m_bNtripFixPos = bNtripFixPos; }

void CPortTab::OnOpenFileFail(uint UniquePortID, QString sFileName, int ErrFlag)
{
    (void)UniquePortID;
    const QString sReason = ErrFlag > 0 ? QString::fromLocal8Bit(std::strerror(ErrFlag)) : tr("no file could be made");
    MonitorPrompt()->Inform(this, QMessageBox::Warning, tr("Open File Fail"),
                            tr("The ErrMsg is %1,  Please check the relevant information of the error: %2\n%3")
                                .arg(ErrFlag)
                                .arg(sReason, sFileName),
                            tr("OK"), QString(), {});
}

void CPortTab::OnCurrentChanged() {}
