// Tells when a device goes away: the kernel's device events as udev reports
// them, for serial devices ("tty") and USB devices. A removed USB serial
// adapter takes its device node with it; the port tab set then finds which of
// its serial ports lost their device.
//
// Where udev cannot be reached (a container without the netlink socket) the
// monitor does not listen, and a port still notices a lost device when its
// reads fail.
//
// GUI thread only.
#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;
struct udev;
struct udev_monitor;

class QZvDeviceMonitor : public QObject
{
    Q_OBJECT

public:
    explicit QZvDeviceMonitor(QObject* pParent = nullptr);
    ~QZvDeviceMonitor() override;

    // Whether udev's events reach this monitor.
    bool IsListening() const { return m_pNotifier != nullptr; }

    // One device event: its action ("add", "remove", ...), subsystem and
    // device node (may be empty). Removals of watched subsystems are reported.
    void OnDeviceEvent(const QString& sAction, const QString& sSubsystem, const QString& sDevNode);

signals:
    void SignalDeviceArrived(QString sDevNode);
    void SignalDeviceRemoved(QString sDevNode);

private:
    void OnReadable();

    udev* m_pUdev = nullptr;
    udev_monitor* m_pMonitor = nullptr;
    QSocketNotifier* m_pNotifier = nullptr;
};
