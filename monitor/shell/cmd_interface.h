// Local commands of the command window: "open" opens a serial or USB port
// from a typed line, as the quick connect dialog would; "save" is recognised
// and does nothing.
//
//   open -t <port> [-b <rate>]
//
// An option begins with "-" at the start of a word, so that a "-" inside a
// device path (/dev/serial/by-id/usb-...-if00-port0) stays part of it. <port>
// is a serial device path, kept exactly as typed (/dev/ttyUSB0); "COMn" (any
// case), which names the n-th standard serial port, /dev/ttyS<n-1>; or "USBn",
// a USB receiver on link channel n-1: the first receiver of the list the
// quick connect window shows (sorted by product name and serial number), as
// a typed line names no device. With no USB receiver attached the port is
// asked for as "USBn" and reported as not openable. "ICOM", "NCOM" and "FILE" are
// recognised and open nothing. The rate defaults to 115200; a rate below 4800
// (such as 0) asks the port to detect the receiver's rate.
#pragma once

#include <QObject>
#include <QString>

#include "monitor/ports/port_ctrl_base.h"
#include "monitor/ports/port_records.h"

class CPortTab;

class QZvCmdInterface : public QObject
{
    Q_OBJECT

public:
    static constexpr uint32_t DEFAULT_BAUD_RATE = 115200;

    explicit QZvCmdInterface(QObject* pParent = nullptr);

    // Serves one command; its caller uses no result.
    void ParseCmd(QString sCmd);
    // The port tabs: a serial port that already has a tab is connected again
    // instead of being opened a second time. Not owned.
    void SetPortTab(CPortTab* pPortTab) { m_pPortTab = pPortTab; }

    // The device path of a serial port name: "COMn" (n from 1) is
    // /dev/ttyS<n-1>; any other name is returned as it is.
    static QString SerialDevicePath(const QString& sPortName);
    // The device a typed "USBn" opens: the text (product name and serial
    // number) that sorts first among the attached receivers; empty when none is.
    static QString FirstUsbDevice();

    // Filled by "open" and overwritten by the next one; the receiver of
    // SignalConnect copies them during the call.
    UART_CONFIG_T m_UartConfig;
    USB_CONFIG_T m_UsbConfig;

signals:
    // PortType 0 with &m_UartConfig, 1 with &m_UsbConfig.
    void SignalConnect(QZvPortCtrlBase::PORT_TYPE_E PortType, void* pDataSet);

private:
    CPortTab* m_pPortTab = nullptr;
};
