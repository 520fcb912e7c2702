#include "monitor/ports/port_manager.h"

#include <QDeadlineTimer>
#include <QTimer>
#include <cstring>
#include <memory>

#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/ports_log.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/ports/usb_port_ctrl.h"

namespace
{
constexpr int kReapIntervalMs = 100;
constexpr int kShutdownWaitMs = 3000;

// A NUL-terminated text of a fixed array, read no further than the array.
template <size_t N> QString FixedText(const char (&Text)[N])
{
    return QString::fromLatin1(Text, static_cast<int>(strnlen(Text, N)));
}

// Upgrade requests reach a controller that can upgrade, and its reports come
// back: a failure to the manager's slot for that kind of port. A cancel goes
// as CancelType says (a controller whose upgrade holds its thread takes it
// at once, in the manager's thread).
template <class CTRL_T, class FAIL_T> void ConnectUpgrade(QZvPortManager* pManager, CTRL_T* pCtrl, FAIL_T pfnFail,
                                                          Qt::ConnectionType CancelType = Qt::AutoConnection)
{
    QObject::connect(pManager, &QZvPortManager::SignalUpgradeFW, pCtrl, &QZvPortCtrlBase::OnSetUpgradeFW);
    QObject::connect(pManager, &QZvPortManager::SignalCancelUpgradeFW, pCtrl, &QZvPortCtrlBase::OnCancelUpgradeFW,
                     CancelType);
    QObject::connect(pCtrl, &QZvPortCtrlBase::SignalFWUpgradeComplete, pManager, &QZvPortManager::OnUpgradeFWComplete);
    QObject::connect(pCtrl, &CTRL_T::SignalUpdateFail, pManager, pfnFail);
}
} // namespace

QZvPortManager::QZvPortManager(QObject* pParent) : QObject(pParent)
{
    qRegisterMetaType<QZvPortCtrlBase::PORT_TYPE_E>("QZvPortCtrlBase::PORT_TYPE_E");
    qRegisterMetaType<QZvPortCtrlBase*>("QZvPortCtrlBase*");
    connect(this, &QZvPortManager::SignalProcessMode, this, [](bool bMode) { QZvPortCtrlBase::SetProcessMode(bMode); });
    m_pReapTimer = new QTimer(this);
    m_pReapTimer->setInterval(kReapIntervalMs);
    connect(m_pReapTimer, &QTimer::timeout, this, &QZvPortManager::ReapEndedPorts);
}

QZvPortManager::~QZvPortManager()
{
    const QList<QZvPortCtrlBase*> ports = m_PortCtrls.values();
    m_PortCtrls.clear();
    for (QZvPortCtrlBase* pCtrl : ports)
    {
        AskPortToEnd(pCtrl);
        m_Ending.append(pCtrl);
    }
    for (QZvPortCtrlBase* pCtrl : qAsConst(m_Ending))
    {
        if (pCtrl->wait(kShutdownWaitMs))
        {
            delete pCtrl;
        }
        else
        {
            // Destroying a running thread would abort the program.
            qCWarning(lcPorts, "Port %u did not end; left behind", pCtrl->UniquePortID);
        }
    }
}

QZvPortCtrlBase* QZvPortManager::GetPortCtrl(uint UniquePortID) const
{
    return m_PortCtrls.value(UniquePortID, nullptr);
}

QList<uint> QZvPortManager::GetPortIDs() const { return m_PortCtrls.keys(); }

void QZvPortManager::SetUartTiming(const UART_CTRL_TIMING_T& Timing)
{
    m_pUartTiming = std::make_unique<UART_CTRL_TIMING_T>(Timing);
}

int QZvPortManager::AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pConfig)
{
    if (pConfig == nullptr)
    {
        return 1;
    }
    std::unique_ptr<QZvPortCtrlBase> pCtrl;
    QString sName;
    switch (PortType)
    {
    case QZvPortCtrlBase::PORT_TYPE_UART:
    {
        auto pUart = std::make_unique<QZvUartPortCtrl>();
        if (m_pUartTiming != nullptr)
            pUart->SetTiming(*m_pUartTiming);
        ConnectUpgrade(this, pUart.get(), &QZvPortManager::OnUpdateFail);
        connect(pUart.get(), &QZvUartPortCtrl::SignalBoardReset, this, &QZvPortManager::OnBoardReset);
        pCtrl = std::move(pUart);
        sName = static_cast<const UART_CONFIG_T*>(pConfig)->PortName;
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_TCP:
    {
        auto pTcp = std::make_unique<QZvTCPPortCtrl>();
        ConnectUpgrade(this, pTcp.get(), &QZvPortManager::OnUpdateFail);
        pCtrl = std::move(pTcp);
        sName = static_cast<const TCP_CONFIG_T*>(pConfig)->IPAddress;
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_REPLAY:
        pCtrl = std::make_unique<QZvFilePortCtrl>();
        sName = static_cast<const REPLAY_CONFIG_T*>(pConfig)->FilePath;
        break;
    case QZvPortCtrlBase::PORT_TYPE_USB:
    {
        auto pUsb = std::make_unique<QZvUSBPortCtrl>();
        // A USB port reports an upgrade failure with the link library's code.
        ConnectUpgrade(this, pUsb.get(), &QZvPortManager::OnUsbUpdateFail, Qt::DirectConnection);
        pCtrl = std::move(pUsb);
        sName = QStringLiteral("USB%1").arg(static_cast<const USB_CONFIG_T*>(pConfig)->Channel + 1);
        break;
    }
    case QZvPortCtrlBase::PORT_TYPE_NTRIP:
    {
        const auto* pNtrip = static_cast<const NTRIP_CONFIG_T*>(pConfig);
        pCtrl = std::make_unique<QZvNTripPortCtrl>();
        sName = QStringLiteral("%1:%2@%3")
                    .arg(FixedText(pNtrip->ServerName))
                    .arg(pNtrip->Port & 0xFFFFu)
                    .arg(FixedText(pNtrip->MountPoint));
        break;
    }
    default:
        return 1;
    }
    if (pCtrl == nullptr)
    {
        // The connection dialogs learn of failures only through this signal.
        emit SignalAddPortFail(0, PortType, PORT_FAIL_SETUP, sName);
        return 1;
    }

    // Failures found later in the port's thread reach the same receivers.
    connect(pCtrl.get(), &QZvPortCtrlBase::SignalAddPortFail, this, &QZvPortManager::SignalAddPortFail);
    const uint id = pCtrl->UniquePortID;
    const int result = pCtrl->SetPortConfig(pConfig);
    if (result != 0)
    {
        emit SignalAddPortFail(id, PortType, result, sName);
        return 1;
    }
    QZvPortCtrlBase* p = pCtrl.release();
    connect(this, &QZvPortManager::SignalSendPortData, p, &QZvPortCtrlBase::OnWritePort);
    connect(p, &QZvPortCtrlBase::SignalFileOpenID, this, &QZvPortManager::OnFileOpenFail);
    m_PortCtrls.insert(id, p);
    // What the announcement connects (the tab's view) is connected before the
    // thread runs: a port hands over its first bytes a tick after it starts,
    // and a batch handed over before its view is connected is lost to it. The
    // port is in its own thread already, so calls made to it meanwhile queue
    // there as they do once it runs.
    p->moveToThread(p);
    emit SignalPostAddPort(id, PortType, p);
    if (m_PortCtrls.value(id) == p)
        p->StartPortThread();
    return 0;
}

void QZvPortManager::ReleasePort(QZvPortCtrlBase* pCtrl, int nWaitMs)
{
    AskPortToEnd(pCtrl);
    FinishPort(pCtrl, QDeadlineTimer(nWaitMs));
}

void QZvPortManager::AskPortToEnd(QZvPortCtrlBase* pCtrl)
{
    disconnect(this, nullptr, pCtrl, nullptr);
    QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnCloseOnePort);
    pCtrl->RequestStop();
}

void QZvPortManager::FinishPort(QZvPortCtrlBase* pCtrl, QDeadlineTimer Deadline)
{
    if (pCtrl->wait(Deadline))
    {
        delete pCtrl;
        return;
    }
    qCWarning(lcPorts, "Port %u is still ending; it is destroyed once its thread ends", pCtrl->UniquePortID);
    disconnect(pCtrl, nullptr, this, nullptr);
    m_Ending.append(pCtrl);
    m_pReapTimer->start();
}

void QZvPortManager::ReapEndedPorts()
{
    for (int i = m_Ending.size() - 1; i >= 0; --i)
    {
        // isFinished() is already true while the thread still runs its
        // finished handlers, which use the object; only wait() says it is done.
        if (m_Ending.at(i)->wait(0UL))
        {
            delete m_Ending.takeAt(i);
        }
    }
    if (m_Ending.isEmpty())
    {
        m_pReapTimer->stop();
    }
}

int QZvPortManager::DeletePortCtrl(uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = m_PortCtrls.take(UniquePortID);
    if (pCtrl == nullptr)
    {
        return 0;
    }
    qCDebug(lcPorts, "Delete Port %d", UniquePortID);
    ReleasePort(pCtrl, DELETE_WAIT_MS);
    return 0;
}

void QZvPortManager::DeleteAllPortCtrl()
{
    const QList<QZvPortCtrlBase*> ports = m_PortCtrls.values();
    m_PortCtrls.clear();
    // Every port is asked first, so that they end side by side.
    for (QZvPortCtrlBase* pCtrl : ports)
        AskPortToEnd(pCtrl);
    const QDeadlineTimer deadline(DELETE_WAIT_MS);
    for (QZvPortCtrlBase* pCtrl : ports)
        FinishPort(pCtrl, deadline);
}

int QZvPortManager::SetActivePortID(uint UniquePortID, bool bActive)
{
    if (QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID))
    {
        QMetaObject::invokeMethod(pCtrl, [pCtrl, bActive] { pCtrl->OnSetTimeInterval(bActive); });
    }
    return 0;
}

int QZvPortManager::DisconnectPort(int iTab, uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID);
    if (pCtrl == nullptr)
    {
        return 0;
    }
    pCtrl->SetDisconnected(true);
    QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnDisConnectOnePort);
    emit SignalConnectStatus(iTab, pCtrl->PortType, 1);
    return 0;
}

int QZvPortManager::ReconnectPort(int iTab, uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID);
    if (pCtrl == nullptr)
    {
        return 0;
    }
    pCtrl->SetDisconnected(false);
    // A port whose thread ended (a connection that failed) gets a new one.
    if (!pCtrl->isRunning())
    {
        pCtrl->StartPortThread();
    }
    QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnReConnectOnePort);
    emit SignalConnectStatus(iTab, pCtrl->PortType, 0);
    return 0;
}

int QZvPortManager::AutoReconnectPort(int, uint UniquePortID)
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID);
    if (pCtrl == nullptr || pCtrl->PortType != QZvPortCtrlBase::PORT_TYPE_UART)
    {
        return 0;
    }
    connect(pCtrl, &QZvPortCtrlBase::SignalReconnectPortComplete, this, &QZvPortManager::OnAutoReconnectComplete,
            Qt::UniqueConnection);
    QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnAutoReConnectOnePort);
    return 0;
}

int QZvPortManager::RefreshProperty(int, uint UniquePortID)
{
    if (QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID))
    {
        QMetaObject::invokeMethod(pCtrl, &QZvPortCtrlBase::OnRefreshOnePort);
    }
    return 0;
}

void QZvPortManager::OnSendPortData1Port(uint UniquePortID, QByteArray SendData)
{
    if (UniquePortID == QZvPortCtrlBase::ANY_PORT_ID || GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalSendPortData(UniquePortID, SendData);
    }
}

void QZvPortManager::OnSetFileName1Port(uint UniquePortID, QString sFileName)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalSetLogFileName(sFileName);
    }
}

void QZvPortManager::OnSetLogDefaultFolder1Port(uint UniquePortID, QString sDefaultPath)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalSetDefaultFolder(sDefaultPath);
    }
}

void QZvPortManager::OnClearLogDefaultFolder1Port(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalClearDefaultFolder();
    }
}

void QZvPortManager::OnOpenFile1Port(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalOpenLogFile();
    }
}

void QZvPortManager::OnCloseFile1Port(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalCloseLogFile();
    }
}

void QZvPortManager::OnSetUpgradeFW1Port(uint UniquePortID, QString ImagePath)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalUpgradeFW(UniquePortID, ImagePath);
    }
}

void QZvPortManager::OnCancelUpgradeFW1Port(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalCancelUpgradeFW(UniquePortID);
    }
}

void QZvPortManager::OnUpgradeFWComplete(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalUpgradeFWComplete(UniquePortID);
    }
}

void QZvPortManager::OnUpdateFail(uint UniquePortID)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalUpdateFail(UniquePortID);
    }
}

void QZvPortManager::OnProfressionMode(bool bProfressionMode) { emit SignalProcessMode(bProfressionMode); }

void QZvPortManager::OnFileOpenFail(uint UniquePortID, QString sFileName, int ErrFlag)
{
    if (GetPortCtrl(UniquePortID) != nullptr)
    {
        emit SignalOpenFileFail(UniquePortID, sFileName, ErrFlag);
    }
}

void QZvPortManager::OnUsbUpdateFail(uint UniquePortID, int UpdateFail)
{
    emit SignalUSBUpdateFail(UniquePortID, UpdateFail);
}

void QZvPortManager::OnBoardReset(uint UniquePortID) { emit SignalBoardReset(UniquePortID); }

void QZvPortManager::OnAutoReconnectComplete(uint UniquePortID, bool bAutoReconnectPort)
{
    QZvPortCtrlBase* pCtrl = GetPortCtrl(UniquePortID);
    if (pCtrl == nullptr)
    {
        return;
    }
    disconnect(pCtrl, &QZvPortCtrlBase::SignalReconnectPortComplete, this, &QZvPortManager::OnAutoReconnectComplete);
    emit SignalAutoReConnectStatus(UniquePortID, pCtrl->PortType, bAutoReconnectPort);
}
