// Port controller of a receiver on USB. It finds the device by its product
// name and serial number in the USB link library's device list, opens one
// link channel of it, reads the channel continuously into the port's pending
// bytes and log, writes what the user interface sends (what the link's queue
// cannot take yet waits in the port, in order), and hands a whole firmware
// image to the library's image update.
//
// Threads: the link handle is used only by the port's own thread once that
// runs (before it starts, SetPortConfig opens it in the caller's thread);
// closing from elsewhere asks the thread to end, and the thread closes the
// handle as it ends. Every wait is bounded and ends early on a stop request,
// an image update included, so that the port can be deleted within a second.
#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/port_records.h"

struct UsbLinkHandle;
struct UsbDeviceRecord;

// Set-up results of SetPortConfig, reported by the manager with
// SignalAddPortFail; the running port reports USB_PORT_LINK_DOWN itself.
enum USB_PORT_FAIL_E : int
{
    USB_PORT_NO_DEVICE = -1,   // no USB receiver, or none of that name
    USB_PORT_CANNOT_OPEN = -2, // the channel could not be opened
    USB_PORT_LINK_DOWN = -3,   // later, from the running port: bytes for the receiver wait, its link is down
};

// Waits of the controller in milliseconds; tests shorten them.
struct USB_CTRL_TIMING_T
{
    uint ReadTimeout = 10;         // each read of the channel when nothing waits
    uint PropertyFirstWait = 1000; // after the property query, before the first read
    uint PropertyPoll = 200;       // between reads of the reply
    uint PropertyLimit = 2000;     // reading the reply, at most
};

class QZvUSBPortCtrl : public QZvPortCtrlBase
{
    Q_OBJECT

public:
    // Buffers taken in one turn of the read loop before events get their turn.
    static constexpr int MAX_BUFFERS_PER_TURN = 256;

    QZvUSBPortCtrl();
    ~QZvUSBPortCtrl() override;

    // Copies DeviceName and Channel, finds the device and opens the channel.
    // PORT_FAIL_NONE, USB_PORT_NO_DEVICE or USB_PORT_CANNOT_OPEN. Before the
    // thread starts; a running port takes new settings with SetUsbSettings.
    int SetPortConfig(void* pConfig) override;
    int ClosePort() override;
    QString GetPortName() const override;
    int DisconnectPort() override;
    // Looks the device up by name again (it may have been plugged in anew) and opens the channel.
    int ReconnectPort() override;
    bool ParsePortProperty() override;

    USB_CONFIG_T GetUsbConfig() const;
    // New settings for a running port; they take effect at its next reconnection.
    void SetUsbSettings(const USB_CONFIG_T& Config);
    bool IsChannelOpen() const { return m_bOpen.load(); }
    // Before the thread starts.
    void SetTiming(const USB_CTRL_TIMING_T& Timing);
    // What a new controller starts with (tests shorten it).
    static USB_CTRL_TIMING_T& DefaultTiming();
    static uint GetLiveUsbCount();
    // The device whose product name, a blank and serial number read Name; of
    // several, the last in the list. Null when there is none.
    static UsbDeviceRecord* FindDevice(const QString& sName);
    // The text by which a device is chosen: product name, a blank, serial number.
    static QString DeviceText(UsbDeviceRecord* pDevice);
    // The texts of the devices in the list, sorted (case-sensitive); a device
    // without a product name gives sUnnamed, or nothing when that is empty.
    static QStringList DeviceTexts(const QString& sUnnamed = QString());

signals:
    void SignalUpdateFail(uint m_UniquePortID, int UpdateFail);

public slots:
    // Reads what the channel holds now (the thread's loop does the same).
    void OnReadData();
    void OnWritePort(uint UniquePortID, QByteArray WriteData) override;
    void OnSetUpgradeFW(uint UniquePortID, QString sFWPath) override;
    // Ends this port's running image update early. Safe from any thread: the
    // update holds the port's own thread, so the manager calls it directly.
    void OnCancelUpgradeFW(uint UniquePortID) override;

protected:
    void run() override;

private:
    // Takes the channel's buffers, waiting up to WaitMs for the first; the bytes taken.
    // With pCopy, they are also appended to it (a property reply is read from them).
    int ReadAvailable(uint WaitMs, QByteArray* pCopy = nullptr);
    bool OpenChannel(UsbDeviceRecord* pDevice);
    void CloseChannel();
    // Hands the bytes kept for the receiver to the link. What its queue cannot
    // take yet waits for the next turn; a receiver whose link is down is
    // reported once, until it answers again.
    void WriteKept();
    bool InPortThread() const;

    mutable QMutex m_ConfigMutex;
    USB_CONFIG_T m_Config;
    USB_CTRL_TIMING_T m_Timing;
    UsbLinkHandle* m_pHandle = nullptr;
    UsbDeviceRecord* m_pDevice = nullptr;
    std::atomic<bool> m_bOpen{false};
    std::atomic<bool> m_bClosed{false};
    std::atomic<bool> m_bCancelUpdate{false};
    QByteArray m_OutArea; // port thread only
    bool m_bLinkDownReported = false;
};
