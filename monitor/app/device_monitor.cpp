#include "monitor/app/device_monitor.h"

#include <QSocketNotifier>
#include <libudev.h>

#include "monitor/shell/shell_log.h"

namespace
{
// Subsystems whose devices a port can stand on.
const char* const kSubsystems[] = {"tty", "usb"};

bool IsWatched(const QString& sSubsystem)
{
    for (const char* pName : kSubsystems)
    {
        if (sSubsystem == QLatin1String(pName))
            return true;
    }
    return false;
}
} // namespace

QZvDeviceMonitor::QZvDeviceMonitor(QObject* pParent) : QObject(pParent)
{
    m_pUdev = udev_new();
    if (m_pUdev == nullptr)
    {
        qCInfo(lcShell, "udev is not available; lost devices are noticed by their ports");
        return;
    }
    // "udev": events after udev has handled them, so a removed node and its links are gone.
    m_pMonitor = udev_monitor_new_from_netlink(m_pUdev, "udev");
    bool bListening = m_pMonitor != nullptr;
    for (const char* pName : kSubsystems)
        bListening = bListening && udev_monitor_filter_add_match_subsystem_devtype(m_pMonitor, pName, nullptr) >= 0;
    bListening = bListening && udev_monitor_enable_receiving(m_pMonitor) >= 0;
    const int fd = bListening ? udev_monitor_get_fd(m_pMonitor) : -1;
    if (fd < 0)
    {
        qCInfo(lcShell, "udev events cannot be received; lost devices are noticed by their ports");
        return;
    }
    m_pNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &QZvDeviceMonitor::OnReadable);
}

QZvDeviceMonitor::~QZvDeviceMonitor()
{
    delete m_pNotifier;
    if (m_pMonitor != nullptr)
        udev_monitor_unref(m_pMonitor);
    if (m_pUdev != nullptr)
        udev_unref(m_pUdev);
}

void QZvDeviceMonitor::OnReadable()
{
    // The socket is non-blocking: every event waiting is taken, then none.
    while (udev_device* pDevice = udev_monitor_receive_device(m_pMonitor))
    {
        const char* pAction = udev_device_get_action(pDevice);
        const char* pSubsystem = udev_device_get_subsystem(pDevice);
        const char* pNode = udev_device_get_devnode(pDevice);
        OnDeviceEvent(QString::fromLatin1(pAction ? pAction : ""), QString::fromLatin1(pSubsystem ? pSubsystem : ""),
                      QString::fromLocal8Bit(pNode ? pNode : ""));
        udev_device_unref(pDevice);
    }
}

void QZvDeviceMonitor::OnDeviceEvent(const QString& sAction, const QString& sSubsystem, const QString& sDevNode)
{
    if (!IsWatched(sSubsystem))
        return;
    if (sAction == QLatin1String("add"))
    {
        qCDebug(lcShell, "Device arrived: %s", qPrintable(sDevNode));
        emit SignalDeviceArrived(sDevNode);
    }
    else if (sAction == QLatin1String("remove"))
    {
        qCDebug(lcShell, "Device removed: %s", qPrintable(sDevNode));
        emit SignalDeviceRemoved(sDevNode);
    }
}
