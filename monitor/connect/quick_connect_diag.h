// The quick connect window: opens a serial, USB, TCP or caster connection,
// one page each, the page index being the port kind. "Connect" fills the
// page's connection record and hands it to the port manager. Opened from a
// port's "Session Option" (edit mode) it shows that port's settings with the
// page fixed, and "Connect" rewrites the port's settings and reconnects it.
// The serial page finds a receiver's baud rate in a worker thread and
// connects at once when it answers. The USB page reads the receiver IDs the
// user added each time it lists the receivers, and says under the lists why
// no receiver can be chosen: none matched (naming the USB devices it sees),
// one cannot be opened, or a line of the IDs file was skipped.
#pragma once

#include <QByteArray>
#include <QDialog>
#include <QStringList>
#include <atomic>
#include <memory>
#include <thread>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/port_records.h"
#include "monitor/ports/serial_device.h"
#include "monitor/ports/usb/usb_device.h"
#include "monitor/ports/usb_receiver_id_file.h"

class CPortTab;
class QMessageBox;

namespace Ui
{
class QuickConnectDiag;
}

class QuickConnectDiag : public QDialog
{
    Q_OBJECT

public:
    explicit QuickConnectDiag(QWidget* pParent = nullptr);
    ~QuickConnectDiag() override;

    // Waits of the rate detection's serial device; tests shorten them.
    static UART_TIMING_T& DetectTiming();

    CPortTab* m_pPortTab = nullptr; // set by the main window
    const QStringList m_BaudRateList;
    NTRIP_CONFIG_T m_NtripConfig;  // the record caster connections point to
    bool m_bCurPortConfig = false; // edit mode
    bool m_bAutoDetecting = false;

signals:
    // PortType is the page; the record is read during the emission.
    void SignalConnect(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pDataSet);
    void SignalReconnectCurPort();
    void SignalSendData(uint UniquePortID, QByteArray WriteData);
    void SignalSetNtripFixPos(bool SetNtripLocation);
    // The rate detection has ended (after its result was applied).
    void SignalAutoDetectFinished(int BaudRate);

public slots:
    void ShowDiag();
    void OnBtnClickedQuickConnect();
    void OnBtnClickedCancel();
    void OnNtripModeClick(int ID);
    void OnLanguageUpdate();
    void OnPortListComboIndexChanged(int Index);
    void OnAutoDetectBaud();
    void OnCurPortConfig();

private:
    void InitUartTab();
    void InitUsbTab();
    void InitTcpTab();
    void InitNtripTab();
    void FillTranslatedLists();
    void RefreshUartPortList();
    void RefreshUsbDeviceList();
    int GetUsbDeviceList(QStringList& List);
    void FillUsbDeviceList();
    // What the USB page saw at its last listing, and the text made from it.
    void GatherUsbStatus();
    void ShowUsbStatus();
    void UpdateAutoDetectButton();
    void OnAutoDetectDone(const QString& sName, int nRate);
    void Warn(const QString& sTitle, const QString& sText);
    bool ReadNtripPage();
    // Shows a caster record's Mode in the protocol list.
    void SelectNtripMode(uint32_t nMode);
    void ConnectPortListSignals(bool bConnect);

    struct USB_PAGE_SEEN_T
    {
        USB_ID_FILE_T IdFile;
        bool bBusListed = false;
        std::vector<USB_BUS_DEVICE_T> Bus; // every device on the bus
        int nReceivers = 0;
        // Receivers that could not be opened, with the reason.
        struct FAILED_T
        {
            QString sId;
            QString sPath;
            int Fault;
        };
        std::vector<FAILED_T> Failed;
    };

    std::unique_ptr<Ui::QuickConnectDiag> m_pUi;
    USB_PAGE_SEEN_T m_UsbSeen;
    std::thread m_DetectThread;
    std::atomic<bool> m_bStopDetect{false};
};
