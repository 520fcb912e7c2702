#include "monitor/ports/usb_port_ctrl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMutexLocker>
#include <algorithm>

#include "monitor/ports/ports_log.h"
#include "monitor/ports/usb/usb_link.h"

namespace
{
std::atomic<uint> g_LiveUsbCount{0};
} // namespace

QZvUSBPortCtrl::QZvUSBPortCtrl() : QZvPortCtrlBase(PORT_TYPE_USB), m_Timing(DefaultTiming()) { ++g_LiveUsbCount; }

USB_CTRL_TIMING_T& QZvUSBPortCtrl::DefaultTiming()
{
    static USB_CTRL_TIMING_T timing;
    return timing;
}

QZvUSBPortCtrl::~QZvUSBPortCtrl()
{
    RequestStop();
    WaitThreadEnd();
    CloseChannel();
    --g_LiveUsbCount;
}

uint QZvUSBPortCtrl::GetLiveUsbCount() { return g_LiveUsbCount.load(); }

void QZvUSBPortCtrl::SetTiming(const USB_CTRL_TIMING_T& Timing) { m_Timing = Timing; }

bool QZvUSBPortCtrl::InPortThread() const { return QThread::currentThread() == this || !isRunning(); }

QString QZvUSBPortCtrl::DeviceText(UsbDeviceRecord* pDevice)
{
    const QString sProduct = QString::fromStdString(UsbLinkGetProductName(pDevice));
    if (sProduct.isEmpty())
    {
        return QString();
    }
    return sProduct + QLatin1Char(' ') + QString::fromStdString(UsbLinkGetSerialNumber(pDevice));
}

QStringList QZvUSBPortCtrl::DeviceTexts(const QString& sUnnamed)
{
    QStringList texts;
    const int nCount = UsbLinkGetDeviceCount();
    for (int i = 0; i < nCount; ++i)
    {
        const QString sText = DeviceText(UsbLinkGetDevice(i));
        if (!sText.isEmpty() || !sUnnamed.isEmpty())
        {
            texts.append(sText.isEmpty() ? sUnnamed : sText);
        }
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

UsbDeviceRecord* QZvUSBPortCtrl::FindDevice(const QString& sName)
{
    const int nCount = UsbLinkGetDeviceCount();
    UsbDeviceRecord* pMatch = nullptr;
    for (int i = 0; i < nCount; ++i)
    {
        UsbDeviceRecord* pDevice = UsbLinkGetDevice(i);
        if (pDevice != nullptr && DeviceText(pDevice) == sName)
        {
            pMatch = pDevice;
        }
    }
    return pMatch;
}

USB_CONFIG_T QZvUSBPortCtrl::GetUsbConfig() const
{
    QMutexLocker lock(&m_ConfigMutex);
    return m_Config;
}

void QZvUSBPortCtrl::SetUsbSettings(const USB_CONFIG_T& Config)
{
    QMutexLocker lock(&m_ConfigMutex);
    m_Config = Config;
}

QString QZvUSBPortCtrl::GetPortName() const
{
    QMutexLocker lock(&m_ConfigMutex);
    return m_Config.DeviceName;
}

bool QZvUSBPortCtrl::OpenChannel(UsbDeviceRecord* pDevice)
{
    m_pDevice = pDevice;
    if (m_pDevice == nullptr)
    {
        return false;
    }
    m_pHandle = UsbLinkOpen(m_pDevice, GetUsbConfig().Channel);
    m_bOpen.store(m_pHandle != nullptr);
    return m_pHandle != nullptr;
}

void QZvUSBPortCtrl::CloseChannel()
{
    if (m_pHandle != nullptr)
    {
        UsbLinkClose(m_pHandle);
        m_pHandle = nullptr;
    }
    m_bOpen.store(false);
    // Bytes for a closed channel are dropped, not kept for a later reconnection.
    m_OutArea.clear();
    m_bLinkDownReported = false;
}

int QZvUSBPortCtrl::SetPortConfig(void* pConfig)
{
    if (pConfig == nullptr)
    {
        return PORT_FAIL_SETUP;
    }
    SetUsbSettings(*static_cast<const USB_CONFIG_T*>(pConfig));
    if (!InPortThread())
    {
        return PORT_FAIL_NONE;
    }
    CloseChannel();
    UsbDeviceRecord* pDevice = FindDevice(GetPortName());
    if (pDevice == nullptr)
    {
        return USB_PORT_NO_DEVICE;
    }
    return OpenChannel(pDevice) ? static_cast<int>(PORT_FAIL_NONE) : static_cast<int>(USB_PORT_CANNOT_OPEN);
}

int QZvUSBPortCtrl::ClosePort()
{
    m_bClosed.store(true);
    // The handle may be in use by the port's thread: that thread closes it as it ends.
    if (!isRunning())
    {
        CloseChannel();
    }
    RequestStop();
    return 0;
}

int QZvUSBPortCtrl::DisconnectPort()
{
    if (!InPortThread())
    {
        QMetaObject::invokeMethod(this, [this] { DisconnectPort(); });
        return 0;
    }
    CloseChannel();
    return 0;
}

int QZvUSBPortCtrl::ReconnectPort()
{
    if (!InPortThread())
    {
        QMetaObject::invokeMethod(this, [this] { ReconnectPort(); });
        return 0;
    }
    CloseChannel();
    if (!OpenChannel(FindDevice(GetPortName())))
    {
        qCDebug(lcPorts, "USB port %u: %s not found or not opened", UniquePortID, qPrintable(GetPortName()));
        return 1;
    }
    if (isRunning())
    {
        SetPropertyValid(ParsePortProperty());
    }
    return 0;
}

int QZvUSBPortCtrl::ReadAvailable(uint WaitMs, QByteArray* pCopy)
{
    int total = 0;
    for (int i = 0; i < MAX_BUFFERS_PER_TURN && m_pHandle != nullptr; ++i)
    {
        uint32_t n = 0;
        const uint8_t* p = UsbLinkRead(m_pHandle, &n, i == 0 ? WaitMs : 0);
        if (p == nullptr)
        {
            break;
        }
        const QByteArray data(reinterpret_cast<const char*>(p), static_cast<int>(n));
        UsbLinkRelease(m_pHandle);
        AppendReceived(data);
        if (pCopy != nullptr)
        {
            pCopy->append(data);
        }
        total += static_cast<int>(n);
    }
    return total;
}

void QZvUSBPortCtrl::OnReadData()
{
    if (QThread::currentThread() == this)
    {
        ReadAvailable(0);
    }
}

bool QZvUSBPortCtrl::ParsePortProperty()
{
    if (m_pHandle == nullptr)
    {
        return false;
    }
    const QByteArray query = QZvPortProperty::GetQueryCmd();
    if (UsbLinkWrite(m_pHandle, query.constData(), static_cast<uint32_t>(query.size())) != 0)
    {
        return false;
    }
    if (!WaitEvents(static_cast<int>(m_Timing.PropertyFirstWait)))
    {
        return false;
    }
    // Everything received so far is parsed, so that a reply that comes in
    // several buffers is read once it is whole. A poll that finds nothing new ends it.
    PROPERTY_REPLY_T reply;
    QElapsedTimer elapsed;
    elapsed.start();
    // Once the VERSION reply has come, the NETCONFIG one gets a short wait more.
    qint64 limit = static_cast<qint64>(m_Timing.PropertyLimit);
    while (m_pHandle != nullptr && elapsed.elapsed() < limit)
    {
        QByteArray received;
        if (ReadAvailable(static_cast<uint>(m_Timing.ReadTimeout), &received) == 0)
        {
            return reply.bVersion;
        }
        const bool bHadVersion = reply.bVersion;
        const int state = Property.ParseGathered(&reply, received.constData(), received.size());
        if (state == QZvPortProperty::REPLY_WHOLE)
        {
            return true;
        }
        if (state == QZvPortProperty::REPLY_VERSION && !bHadVersion)
        {
            limit = std::min(limit, elapsed.elapsed() + QZvPortProperty::NETCONFIG_WAIT_MS);
        }
        if (!WaitEvents(static_cast<int>(m_Timing.PropertyPoll)))
        {
            return reply.bVersion;
        }
    }
    return reply.bVersion;
}

void QZvUSBPortCtrl::run()
{
    StartStatusTimer();
    SetPropertyValid(ParsePortProperty());
    qCDebug(lcPorts, "USB port %u (%s) started, property %d", UniquePortID, qPrintable(GetPortName()),
            IsPropertyValid());
    while (!IsStopRequested() && !m_bClosed.load())
    {
        if (m_pHandle != nullptr)
        {
            // The read's own wait paces the loop; what waits is taken at once.
            ReadAvailable(m_Timing.ReadTimeout);
            WriteKept();
            QCoreApplication::processEvents();
        }
        else if (!WaitEvents(static_cast<int>(m_Timing.ReadTimeout)))
        {
            break;
        }
    }
    StopStatusTimer();
    CloseChannel();
}

void QZvUSBPortCtrl::OnWritePort(uint ID, QByteArray WriteData)
{
    if (IsLocked() || (ID != UniquePortID && ID != ANY_PORT_ID) || IsUpgrading() || m_pHandle == nullptr ||
        WriteData.isEmpty())
    {
        return;
    }
    KeepForDevice(&m_OutArea, WriteData);
    WriteKept();
}

void QZvUSBPortCtrl::WriteKept()
{
    if (m_pHandle == nullptr)
    {
        return;
    }
    if (m_bLinkDownReported && UsbLinkIsUp(m_pHandle))
    {
        m_bLinkDownReported = false;
    }
    if (m_OutArea.isEmpty())
    {
        return;
    }
    const int r = UsbLinkWrite(m_pHandle, m_OutArea.constData(), static_cast<uint32_t>(m_OutArea.size()));
    if (r != USB_LINK_RING_FULL && r != USB_LINK_POOLS_EXHAUSTED)
    {
        if (r != USB_LINK_OK)
        {
            qCDebug(lcPorts, "USB port %u: %d bytes not written (%d)", UniquePortID, m_OutArea.size(), r);
        }
        m_OutArea.clear();
        return;
    }
    // A full queue that the receiver empties is only a wait; one that fills
    // while its link is down is a lost receiver.
    if (!m_bLinkDownReported && !UsbLinkIsUp(m_pHandle))
    {
        m_bLinkDownReported = true;
        qCDebug(lcPorts, "USB port %u: %d bytes wait, the receiver's link is down", UniquePortID, m_OutArea.size());
        emit SignalAddPortFail(UniquePortID, PortType, USB_PORT_LINK_DOWN, GetPortName());
    }
}

void QZvUSBPortCtrl::OnSetUpgradeFW(uint ID, QString sFWPath)
{
    if (ID != UniquePortID)
    {
        return;
    }
    // Read only: an image the user may not change is still an image.
    QFile file(sFWPath);
    if (!file.open(QIODevice::ReadOnly))
    {
        qCDebug(lcPorts, "USB port %u: image %s cannot be read", UniquePortID, qPrintable(sFWPath));
        emit SignalUpdateFail(UniquePortID, USB_IMAGE_INPUT_ERROR);
        return;
    }
    const QByteArray image = file.readAll();
    file.close();
    m_bCancelUpdate.store(false);
    SetUpgrading(true);
    char message[256] = {};
    // The update holds this thread; a stop request or a cancel ends it early.
    const int result =
        UsbLinkUpdateImage(m_pHandle, image.constData(), static_cast<uint32_t>(image.size()), message, sizeof(message),
                           [this] { return IsStopRequested() || m_bCancelUpdate.load(); });
    SetUpgrading(false);
    qCDebug(lcPorts, "USB port %u: image update: %s (%d)", UniquePortID, message, result);
    if (result == USB_IMAGE_CANCELLED && m_bCancelUpdate.load())
    {
        // The user's own choice, told as the other ports tell it.
        AppendPendingText("Upgrade canceled\r\n");
        return;
    }
    if (result != USB_IMAGE_DONE)
    {
        emit SignalUpdateFail(UniquePortID, result);
        return;
    }
    emit SignalFWUpgradeComplete(UniquePortID);
}

void QZvUSBPortCtrl::OnCancelUpgradeFW(uint ID)
{
    if (ID == UniquePortID && IsUpgrading())
    {
        m_bCancelUpdate.store(true);
    }
}
