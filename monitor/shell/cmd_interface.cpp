#include "monitor/shell/cmd_interface.h"

#include <QStringList>

#include "monitor/ports/usb_port_ctrl.h"
#include "monitor/shell/port_tab.h"

namespace
{
// The option texts of an "open" line: each begins after a "-" that starts a
// word and runs to the next such "-". The text before the first one is not an
// option.
QStringList OptionTexts(const QString& sArgs)
{
    QStringList options;
    int iStart = -1;
    for (int i = 0; i < sArgs.size(); ++i)
    {
        if (sArgs.at(i) != QLatin1Char('-') || i == 0 || !sArgs.at(i - 1).isSpace())
            continue;
        if (iStart >= 0)
            options.append(sArgs.mid(iStart, i - iStart));
        iStart = i + 1;
    }
    if (iStart >= 0)
        options.append(sArgs.mid(iStart));
    return options;
}
} // namespace

QZvCmdInterface::QZvCmdInterface(QObject* pParent) : QObject(pParent) {}

QString QZvCmdInterface::SerialDevicePath(const QString& sPortName)
{
    if (sPortName.startsWith(QLatin1String("COM")))
    {
        bool bNumber = false;
        const uint n = sPortName.mid(3).toUInt(&bNumber);
        if (bNumber && n >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return sPortName;
}

QString QZvCmdInterface::FirstUsbDevice() { return QZvUSBPortCtrl::DeviceTexts().value(0); }

void QZvCmdInterface::ParseCmd(QString sCmd)
{
    if (!sCmd.startsWith(QLatin1String("open")))
        return; // "save" and any other text do nothing
    // "open" is kept in front so that "open-t COM5" has no option.
    const QStringList options = OptionTexts(sCmd);
    uint32_t rate = DEFAULT_BAUD_RATE;
    QString sPort;
    int kind = -1;
    for (const QString& sOption : options)
    {
        if (sOption.isEmpty())
            continue;
        // The letter and the separator after it; trailing blanks would name another device.
        const QChar letter = sOption.at(0);
        const QString sValue = sOption.mid(2).trimmed();
        if (letter == QLatin1Char('b'))
        {
            rate = sValue.toUInt();
        }
        else if (letter == QLatin1Char('t'))
        {
            // Device paths are case-sensitive and used as typed.
            if (sValue.startsWith(QLatin1Char('/')))
            {
                kind = QZvPortCtrlBase::PORT_TYPE_UART;
                sPort = sValue;
                continue;
            }
            const QString sUpper = sValue.toUpper();
            static const char* const kKinds[] = {"COM", "USB", "ICOM", "NCOM", "FILE"};
            for (int k = 0; k < 5; ++k)
            {
                if (sUpper.startsWith(QLatin1String(kKinds[k])))
                {
                    kind = k;
                    sPort = sUpper;
                    break;
                }
            }
        }
    }
    if (kind == QZvPortCtrlBase::PORT_TYPE_UART)
    {
        const QString sPath = SerialDevicePath(sPort);
        if (m_pPortTab != nullptr && m_pPortTab->IsPortNameOpen(sPath))
            return;
        m_UartConfig.PortName = sPath;
        m_UartConfig.BaudRate = rate;
        // The quick connect dialog's line settings: 8 data bits, no parity, one stop bit.
        m_UartConfig.ByteSize = 8;
        m_UartConfig.Parity = 0;
        m_UartConfig.StopBits = 0;
        emit SignalConnect(QZvPortCtrlBase::PORT_TYPE_UART, &m_UartConfig);
    }
    else if (kind == QZvPortCtrlBase::PORT_TYPE_USB)
    {
        // The port finds its receiver by this text, which "USBn" is not.
        const QString sDevice = FirstUsbDevice();
        m_UsbConfig.DeviceName = sDevice.isEmpty() ? sPort : sDevice;
        const uint n = sPort.mid(3).toUInt();
        m_UsbConfig.Channel = n > 0 ? n - 1 : 0;
        emit SignalConnect(QZvPortCtrlBase::PORT_TYPE_USB, &m_UsbConfig);
    }
}
