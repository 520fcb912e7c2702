// The "open" and "save" commands of the command window: what each typed line
// asks the port manager to open, with the records copied as the manager does.
#include <gtest/gtest.h>

#include "monitor/ports/usb/usb_link.h"
#include "support/usb/usb_mem_backend.h"
#include "monitor/shell/cmd_interface.h"

namespace
{
// What one emission asked for, copied during the call as the manager does.
struct OPENED_T
{
    int Kind = -1;
    QString Port;
    uint32_t Rate = 0;
    uint32_t Channel = 0;
    uint8_t ByteSize = 0, Parity = 9, StopBits = 9;
};

QList<OPENED_T> Parse(const QString& sCmd)
{
    QZvCmdInterface cmd;
    QList<OPENED_T> opened;
    QObject::connect(&cmd, &QZvCmdInterface::SignalConnect,
                     [&](QZvPortCtrlBase::PORT_TYPE_E eType, void* pData)
                     {
                         OPENED_T o;
                         o.Kind = eType;
                         if (eType == QZvPortCtrlBase::PORT_TYPE_UART)
                         {
                             const auto* p = static_cast<const UART_CONFIG_T*>(pData);
                             EXPECT_EQ(p, &cmd.m_UartConfig);
                             o.Port = p->PortName;
                             o.Rate = p->BaudRate;
                             o.ByteSize = p->ByteSize;
                             o.Parity = p->Parity;
                             o.StopBits = p->StopBits;
                         }
                         else
                         {
                             const auto* p = static_cast<const USB_CONFIG_T*>(pData);
                             EXPECT_EQ(p, &cmd.m_UsbConfig);
                             o.Port = p->DeviceName;
                             o.Channel = p->Channel;
                         }
                         opened.append(o);
                     });
    cmd.ParseCmd(sCmd);
    return opened;
}
} // namespace

TEST(CmdInterface, OpenAsksForTheTypedPort)
{
    const struct
    {
        const char* Cmd;
        int Kind; // -1: nothing is opened
        const char* Port;
        uint32_t RateOrChannel;
    } cases[] = {
        {"open -t COM5", 0, "/dev/ttyS4", 115200},
        {"open -b 230400 -t COM5", 0, "/dev/ttyS4", 230400},
        {"open -t COM5 -b 230400", 0, "/dev/ttyS4", 230400},
        {"open -t COM3 -b 9600", 0, "/dev/ttyS2", 9600},
        {"open -t com5", 0, "/dev/ttyS4", 115200},
        {"open -T COM5 -t COM6", 0, "/dev/ttyS5", 115200},
        {"open -tCOM5 -t COM6", 0, "/dev/ttyS5", 115200},
        {"open -t COM12", 0, "/dev/ttyS11", 115200},
        // Names the rule does not map are tried as they are, and fail to open.
        {"open -t COM0", 0, "COM0", 115200},
        {"open -t COMX", 0, "COMX", 115200},
        // Device paths stay exactly as typed, "-" inside them included.
        {"open -t /dev/pts/7", 0, "/dev/pts/7", 115200},
        {"open -t /dev/serial/by-id/usb-Acme_GNSS-if00-port0 -b 460800", 0,
         "/dev/serial/by-id/usb-Acme_GNSS-if00-port0", 460800},
        {"open   -t /dev/ttyUSB0   ", 0, "/dev/ttyUSB0", 115200},
        // A rate that is no number asks the port to detect it.
        {"open -b fast -t /dev/ttyACM0", 0, "/dev/ttyACM0", 0},
        {"open -t USB2", 1, "USB2", 1},
        {"open -t usb1", 1, "USB1", 0},
        {"open -t USB", 1, "USB", 0},
        {"open -t USB0", 1, "USB0", 0},
        {"open-t COM5", -1, "", 0},
        {"open -t ICOM1", -1, "", 0},
        {"open -t NCOM1", -1, "", 0},
        {"open -t FILE", -1, "", 0},
        {"open -t", -1, "", 0},
        {"open -b 9600", -1, "", 0},
        {"open", -1, "", 0},
        {"save anything", -1, "", 0},
        {"help", -1, "", 0},
        {"", -1, "", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Cmd);
        const QList<OPENED_T> opened = Parse(QString::fromLatin1(c.Cmd));
        if (c.Kind < 0)
        {
            EXPECT_TRUE(opened.isEmpty());
            continue;
        }
        ASSERT_EQ(opened.size(), 1);
        EXPECT_EQ(opened.at(0).Kind, c.Kind);
        EXPECT_EQ(opened.at(0).Port, QString::fromLatin1(c.Port));
        EXPECT_EQ(c.Kind == 0 ? opened.at(0).Rate : opened.at(0).Channel, c.RateOrChannel);
        if (c.Kind == 0)
        {
            // A usable line: 8 data bits, no parity, one stop bit.
            EXPECT_EQ(opened.at(0).ByteSize, 8);
            EXPECT_EQ(opened.at(0).Parity, 0);
            EXPECT_EQ(opened.at(0).StopBits, 0);
        }
    }
}

// With receivers on USB, "open -t USBn" names the first of them in the sorted
// list by its text; one without a product name is never named.
TEST(CmdInterface, OpenUsbNamesTheFirstReceiverListed)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    backend->Add(std::make_shared<CUsbMemDevice>("b", "1"));
    backend->Add(std::make_shared<CUsbMemDevice>("", "3"));
    backend->Add(std::make_shared<CUsbMemDevice>("A", "2"));
    ASSERT_EQ(0, UsbLinkSetBackend(backend));
    const QList<OPENED_T> opened = Parse(QStringLiteral("open -t USB2"));
    UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0).Port, QStringLiteral("A 2"));
    EXPECT_EQ(opened.at(0).Channel, 1u);
}
