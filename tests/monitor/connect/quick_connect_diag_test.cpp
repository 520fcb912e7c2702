// The quick connect window as a user fills it: each page's record, the
// warnings that keep the window open, serial device paths kept as they are,
// the USB receivers listed from the link library, and the caster page.
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

#include "monitor/connect/quick_connect_diag.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/serial_port_list.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb/usb_receiver_ids.h"
#include "monitor/ports/usb_port_ctrl.h"
#include "monitor/ports/usb_receiver_id_file.h"
#include "monitor/shell/monitor_translations.h"
#include "support/blocked_file.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"
#include "support/scripted_prompt.h"
#include "support/test_caster.h"
#include "support/usb/usb_mem_backend.h"
#include "support/usb/usb_sim_receiver.h"

namespace
{
using PORT_TYPE_E = QZvPortCtrlBase::PORT_TYPE_E;

// What one "Connect" handed over: the kind and a copy of the record.
struct CONNECTED_T
{
    PORT_TYPE_E Type;
    UART_CONFIG_T Uart;
    USB_CONFIG_T Usb;
    TCP_CONFIG_T Tcp;
    NTRIP_CONFIG_T Ntrip;
};

class QuickConnect : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<PORT_TYPE_E>();
        QObject::connect(&m_Dialog, &QuickConnectDiag::SignalConnect,
                         [this](PORT_TYPE_E eType, void* pData)
                         {
                             CONNECTED_T c{};
                             c.Type = eType;
                             switch (eType)
                             {
                             case QZvPortCtrlBase::PORT_TYPE_UART:
                                 c.Uart = *static_cast<UART_CONFIG_T*>(pData);
                                 break;
                             case QZvPortCtrlBase::PORT_TYPE_USB:
                                 c.Usb = *static_cast<USB_CONFIG_T*>(pData);
                                 break;
                             case QZvPortCtrlBase::PORT_TYPE_TCP:
                                 c.Tcp = *static_cast<TCP_CONFIG_T*>(pData);
                                 break;
                             case QZvPortCtrlBase::PORT_TYPE_NTRIP:
                                 c.Ntrip = *static_cast<NTRIP_CONFIG_T*>(pData);
                                 break;
                             default:
                                 break;
                             }
                             m_Connected << c;
                         });
    }
    void TearDown() override { SetSerialPortLister({}); }

    template <typename T> T* Widget(const char* pName) { return m_Dialog.findChild<T*>(QLatin1String(pName)); }
    void Page(int nPage) { Widget<QTabWidget>("PortConnectTab")->setCurrentIndex(nPage); }
    void Type(const char* pName, const QString& sText)
    {
        Widget<QLineEdit>(pName)->clear();
        QTest::keyClicks(Widget<QLineEdit>(pName), sText);
    }
    void ClickConnect() { QTest::mouseClick(Widget<QPushButton>("m_BtnConfigConnect"), Qt::LeftButton); }
    void ListPorts(const QStringList& Ports)
    {
        SetSerialPortLister(
            [Ports](QStringList& List, QString&)
            {
                List = Ports;
                return 0;
            });
    }

    CScriptedPrompt m_Prompt;
    QuickConnectDiag m_Dialog;
    QList<CONNECTED_T> m_Connected;
};

TEST_F(QuickConnect, SerialPageKeepsTheDevicePathAndReadsTheLineSettings)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(0, openpty(&master, &slave, name, nullptr, nullptr));
    // A port that cannot be opened is not offered.
    ListPorts({QStringLiteral("/dev/ttyUSB_none_here"), QString::fromLocal8Bit(name)});
    m_Dialog.ShowDiag();
    ASSERT_EQ(1, Widget<QComboBox>("PortListComboBox")->count());
    EXPECT_EQ("115200", Widget<QComboBox>("BaudrateListComboBox")->currentText());
    EXPECT_EQ("8", Widget<QComboBox>("DatabitsListComboBox")->currentText());

    struct
    {
        const char* pParity;
        const char* pStop;
        const char* pBits;
        const char* pRate;
        uint8_t nParity;
        uint8_t nStop;
    } const cases[] = {
        {"Even", "1.5", "7", "9600", 2, 1}, {"Space", "2", "5", "921600", 4, 2}, {"None", "1", "8", "4800", 0, 0}};
    for (const auto& c : cases)
    {
        m_Dialog.ShowDiag();
        Widget<QComboBox>("ParityListComboBox")->setCurrentText(c.pParity);
        Widget<QComboBox>("StopbitsListComboBox")->setCurrentText(c.pStop);
        Widget<QComboBox>("DatabitsListComboBox")->setCurrentText(c.pBits);
        Widget<QComboBox>("BaudrateListComboBox")->setCurrentText(c.pRate);
        ClickConnect();
        EXPECT_FALSE(m_Dialog.isVisible());
    }
    ASSERT_EQ(3, m_Connected.size());
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_UART, m_Connected[i].Type);
        EXPECT_EQ(QString::fromLocal8Bit(name), m_Connected[i].Uart.PortName);
        EXPECT_EQ(QByteArray(cases[i].pRate).toUInt(), m_Connected[i].Uart.BaudRate);
        EXPECT_EQ(QByteArray(cases[i].pBits).toUInt(), m_Connected[i].Uart.ByteSize);
        EXPECT_EQ(cases[i].nParity, m_Connected[i].Uart.Parity);
        EXPECT_EQ(cases[i].nStop, m_Connected[i].Uart.StopBits);
    }
    ::close(slave);
    ::close(master);

    // No port at all: a fatal box and nothing connected.
    ListPorts({});
    m_Dialog.ShowDiag();
    ClickConnect();
    EXPECT_EQ(QStringList{"Fatal Error|Port can not be NULL"}, m_Prompt.Messages);
    EXPECT_EQ(3, m_Connected.size());
    EXPECT_TRUE(m_Dialog.isVisible());
}

TEST_F(QuickConnect, TcpPageChecksHostAndPortBeforeConnecting)
{
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_TCP);
    struct
    {
        const char* pHost;
        const char* pPort;
        const char* pWarning; // null: connects
    } const cases[] = {
        {"192.168.1.20", "99", "IP Port|IP Port is invalid"},
        {"192.168.1.20", "65531", "IP Port|IP Port is invalid"},
        {"192.168.1.20", "", "IP Port|IP Port is invalid"},
        {"", "28000", "Server Name|Server Name can not be null"},
        {"192.168.1.20", "100", nullptr},
        {"rx-7.local", "65530", nullptr},
    };
    int nConnects = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pPort);
        m_Dialog.ShowDiag();
        m_Prompt.Messages.clear();
        Widget<QLineEdit>("TCPServerName")->setText(c.pHost);
        Widget<QLineEdit>("TCPIPPort")->setText(c.pPort);
        ClickConnect();
        if (c.pWarning)
        {
            EXPECT_EQ(QStringList{c.pWarning}, m_Prompt.Messages);
            EXPECT_TRUE(m_Dialog.isVisible());
            continue;
        }
        ++nConnects;
        ASSERT_EQ(nConnects, m_Connected.size());
        EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_TCP, m_Connected.last().Type);
        EXPECT_EQ(c.pHost, m_Connected.last().Tcp.IPAddress);
        EXPECT_EQ(QByteArray(c.pPort).toUInt(), m_Connected.last().Tcp.Port);
        EXPECT_FALSE(m_Dialog.isVisible());
    }
    EXPECT_EQ(2, m_Connected.size());

    // The protocol list gives the mode; the hidden address field the packed address.
    const struct
    {
        const char* pAddress;
        uint32_t nValue;
    } addresses[] = {{"192.168.1.10", 0xC0A8010Au}, {"192.168.1.300", 0}, {"10.0.0", 0}};
    for (const auto& a : addresses)
    {
        m_Dialog.ShowDiag();
        Widget<QLineEdit>("TCPServerName")->setText("rx");
        Widget<QLineEdit>("TCPIPPort")->setText("28000");
        Widget<QComboBox>("TCPProcotolComboBox")->setCurrentText("UDP");
        Widget<QLineEdit>("TCPIPAddrName")->setText(a.pAddress);
        ClickConnect();
        EXPECT_EQ(1u, m_Connected.last().Tcp.Mode);
        EXPECT_EQ(a.nValue, m_Connected.last().Tcp.IPValue) << a.pAddress;
    }
}

TEST_F(QuickConnect, UsbPageListsReceiversSortedAndPassesTheNameAsListed)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    backend->Add(std::make_shared<CUsbMemDevice>("b", "1"));
    backend->Add(std::make_shared<CUsbMemDevice>("A", "2"));
    backend->Add(std::make_shared<CUsbMemDevice>("", "3"));
    ASSERT_EQ(0, UsbLinkSetBackend(backend));
    m_Dialog.ShowDiag();
    QComboBox* pDevices = Widget<QComboBox>("DeviceListComboBox");
    QStringList listed;
    for (int i = 0; i < pDevices->count(); ++i)
        listed << pDevices->itemText(i);
    EXPECT_EQ(QStringList({"(Can NOT Open)", "A 2", "b 1"}), listed);

    Page(QZvPortCtrlBase::PORT_TYPE_USB);
    pDevices->setCurrentText("b 1");
    Widget<QComboBox>("USBPortListComboBox")->setCurrentIndex(2); // "USB3"
    ClickConnect();
    ASSERT_EQ(1, m_Connected.size());
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_USB, m_Connected[0].Type);
    EXPECT_EQ("b 1", m_Connected[0].Usb.DeviceName); // the USB port matches it exactly
    EXPECT_EQ(2u, m_Connected[0].Usb.Channel);
    UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
}

// The USB page with receivers the built-in IDs do not know: the IDs file in
// the test process's configuration folder, and the text under the lists.
class QuickConnectUsb : public QuickConnect
{
protected:
    void SetUp() override
    {
        QuickConnect::SetUp();
        ASSERT_EQ(0, UsbLinkSetBackend(m_Backend));
    }
    void TearDown() override
    {
        QFile::remove(UsbReceiverIdFilePath());
        UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
        UsbSetAddedReceiverIds({});
        QuickConnect::TearDown();
    }
    template <typename T = CUsbMemDevice>
    std::shared_ptr<T> Plug(const char* pProduct, const char* pSerial, uint16_t Vendor, uint16_t Product)
    {
        auto pDevice = m_Backend->Add(std::make_shared<T>(pProduct, pSerial));
        pDevice->SetIds(Vendor, Product);
        return pDevice;
    }
    void WriteIds(const QByteArray& Text)
    {
        const QString sPath = UsbReceiverIdFilePath();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(sPath).absolutePath()));
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(Text);
    }
    QStringList Listed()
    {
        QStringList listed;
        QComboBox* pDevices = Widget<QComboBox>("DeviceListComboBox");
        for (int i = 0; i < pDevices->count(); ++i)
            listed << pDevices->itemText(i);
        return listed;
    }
    QString Status() { return Widget<QPlainTextEdit>("USBStatusText")->toPlainText(); }
    // The IDs file as the page names it: under the home folder as "~/...".
    static QString ShownPath()
    {
        const QString sPath = UsbReceiverIdFilePath();
        const QString sHome = QDir::homePath() + '/';
        return sPath.startsWith(sHome) ? "~/" + sPath.mid(sHome.size()) : sPath;
    }

    std::shared_ptr<CUsbMemBackend> m_Backend = std::make_shared<CUsbMemBackend>();
};

TEST_F(QuickConnectUsb, AReceiverIsListedOnceItsIdIsInTheSettingsFileAndThenConnects)
{
    ShellStandIn shell;
    m_Dialog.m_pPortTab = &shell.Tabs;
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalConnect, &shell.Manager, &QZvPortManager::AddPortCtrl);
    Plug("USB Ethernet Adapter", "0001", 0xe7d2, 0x0150);
    auto rx = Plug<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800110", 0xe5a1, 0x0480);
    rx->SetTiming({1, 50});
    Plug("", "", 0xe912, 0x00b4);

    m_Dialog.ShowDiag();
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_EQ("No USB receiver found. USB devices seen:\n"
              "  e7d2:0150  USB Ethernet Adapter\n"
              "  e5a1:0480  ZR-480 GNSS\n"
              "  e912:00b4  (no product name)\n\n"
              "If your receiver is among them, add its ID (VVVV:PPPP) as a line of " +
                  ShownPath() + " and open this window again.",
              Status());

    WriteIds("# the lab's rover, read with lsusb\nE5A1:0480\n");
    m_Dialog.ShowDiag();
    EXPECT_EQ(QStringList{"ZR-480 GNSS ZR4800110"}, Listed());
    EXPECT_EQ("", Status());

    // The port finds and opens the receiver as one of the built-in IDs.
    Page(QZvPortCtrlBase::PORT_TYPE_USB);
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetCurPortCtrl();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rx->GetChannelInput(0).empty(); }, 10000));
    shell.Manager.DeletePortCtrl(pCtrl->UniquePortID);
    m_Dialog.m_pPortTab = nullptr;
}

TEST_F(QuickConnectUsb, AMalformedLineOfTheSettingsFileIsNamedOnceAndSkipped)
{
    Plug("ZR-480 GNSS", "ZR4800110", 0xe5a1, 0x0480);
    Plug("ZR-482 GNSS", "ZR4820007", 0xe5a1, 0x0482);
    WriteIds("e5a1:0480\n0xe5a1:0x0481\ne5a1:0482 # base\n");
    m_Dialog.ShowDiag();
    EXPECT_EQ(QStringList({"ZR-480 GNSS ZR4800110", "ZR-482 GNSS ZR4820007"}), Listed())
        << "the lines around it still count";
    const QString sReport = "These lines of " + ShownPath() +
                            " are no ID of the form VVVV:PPPP and are skipped:\n"
                            "  line 2: \"0xe5a1:0x0481\"";
    EXPECT_EQ(sReport, Status());
    m_Dialog.ShowDiag();
    EXPECT_EQ(sReport, Status()) << "listed again, the page names it once";

    // A file of something else is named by its first lines, the rest counted.
    QByteArray text;
    for (int i = 0; i < 8; ++i)
        text += "ID e5a1:048" + QByteArray::number(i) + "\n";
    WriteIds(text);
    m_Dialog.ShowDiag();
    EXPECT_TRUE(Listed().isEmpty());
    EXPECT_TRUE(Status().endsWith("  line 5: \"ID e5a1:0484\"\n  and 3 more lines")) << qPrintable(Status());

    // A path the file cannot be read from adds nothing and says why; a FIFO
    // there is never waited on.
    const QString sPath = UsbReceiverIdFilePath();
    QFile::remove(sPath);
    ForEachBlockedFile(
        sPath, [&] { WriteIds("e5a1:0480\n" + QByteArray(USB_ID_FILE_T::MAX_BYTES, '#')); }, "it is larger than 64 KB",
        [&](const char* pWhy)
        {
            m_Dialog.ShowDiag();
            EXPECT_TRUE(Listed().isEmpty());
            EXPECT_TRUE(
                Status().endsWith(ShownPath() + " cannot be read: " + pWhy + ". No receiver ID is added from it."))
                << qPrintable(Status());
        });
}

TEST_F(QuickConnectUsb, TheTextUnderTheListsSaysWhyNoReceiverCanBeChosen)
{
    struct CASE_T
    {
        const char* pName;
        std::function<void(CUsbMemBackend&)> Arrange;
        QStringList Listed;
        QString sStatus;
    };
    const auto receiver = [](CUsbMemBackend& Backend)
    { return Backend.Add(std::make_shared<CUsbMemDevice>("Rx", "1")); };
    const QString sId = QString::fromStdString(UsbFormatId(kUsbReceiverIds[0].VendorId, kUsbReceiverIds[0].ProductId));
    const CASE_T cases[] = {
        {"permission denied",
         [&](CUsbMemBackend& b) { receiver(b)->SetNoAccess(true); },
         {"(Can NOT Open)"},
         "Receiver " + sId +
             " (mem-1) cannot be opened: permission denied. Install the udev rule for its ID "
             "(README, \"On Linux\") and plug the receiver in again."},
        {"busy",
         [&](CUsbMemBackend& b) { receiver(b)->SetBusy(true); },
         {"(Can NOT Open)"},
         "Receiver " + sId +
             " (mem-1) cannot be opened: it is busy, another program is using it. Close that "
             "program and open this window again."},
        {"no device at all",
         [](CUsbMemBackend&) {},
         {},
         "No USB receiver found, and no other USB device is seen either: check the cable and that the receiver "
         "is powered."},
        {"no device list",
         [](CUsbMemBackend& b) { b.SetListFails(true); },
         {},
         "The USB devices cannot be listed: USB is not available to this program."},
        {"a receiver that opens", [&](CUsbMemBackend& b) { receiver(b); }, {"Rx 1"}, ""},
    };
    for (const CASE_T& c : cases)
    {
        auto backend = std::make_shared<CUsbMemBackend>();
        c.Arrange(*backend);
        ASSERT_EQ(0, UsbLinkSetBackend(backend));
        m_Dialog.ShowDiag();
        EXPECT_EQ(c.Listed, Listed()) << c.pName;
        EXPECT_EQ(c.sStatus, Status()) << c.pName;
    }
}

TEST_F(QuickConnect, CasterPageFillsTheRecordAndRefusesAMissingHostOrPort)
{
    QSignalSpy fixPos(&m_Dialog, &QuickConnectDiag::SignalSetNtripFixPos);
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
    EXPECT_TRUE(Widget<QRadioButton>("radioBClient")->isChecked());
    EXPECT_FALSE(Widget<QRadioButton>("radioBServer")->isEnabled());

    Type("ServerNameEdit", "");
    ClickConnect();
    Type("ServerNameEdit", "caster.example");
    Widget<QLineEdit>("Port")->setText("");
    ClickConnect();
    EXPECT_EQ(QStringList({"Server Name|Server Name can not be null", "IP Port|IP Port is invalid"}),
              m_Prompt.Messages);
    EXPECT_TRUE(m_Connected.isEmpty());

    // A language switch leaves what the user typed in place.
    Type("Port", "2101");
    InstallMonitorTranslations("zh");
    m_Dialog.OnLanguageUpdate();
    InstallMonitorTranslations("en");
    m_Dialog.OnLanguageUpdate();
    EXPECT_EQ("2101", Widget<QLineEdit>("Port")->text());

    Type("MountPointEdit", "RTCM3_" + QString(90, 'M')); // longer than the record holds
    Type("UserNameEdit", "rover");
    Type("PasswordEdit", "s3cret");
    ClickConnect();
    ASSERT_EQ(1, m_Connected.size());
    const NTRIP_CONFIG_T& n = m_Connected[0].Ntrip;
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_NTRIP, m_Connected[0].Type);
    EXPECT_STREQ("caster.example", n.ServerName);
    EXPECT_EQ(2101u, n.Port);
    EXPECT_EQ(79u, strlen(n.MountPoint)); // cut, and ended by its zero
    EXPECT_STREQ("rover", n.User);
    EXPECT_STREQ("s3cret", n.Password);
    EXPECT_EQ(0u, n.ServerMode);
    EXPECT_EQ(1u, n.Enable);
    ASSERT_EQ(1, fixPos.count());
    EXPECT_FALSE(fixPos.at(0).at(0).toBool());
}
TEST_F(QuickConnect, AutoDetectFindsTheRateInTheBackgroundAndConnectsAtOnce)
{
    const UART_TIMING_T saved = QuickConnectDiag::DetectTiming();
    QuickConnectDiag::DetectTiming() = FastUartTiming();
    RECEIVER_RULES_T rules;
    rules.Rate = 460800;
    FakeReceiver fast(rules);
    rules.Rate = 0; // answers nothing at any rate
    FakeReceiver mute(rules);
    FakeReceiver held;
    ASSERT_TRUE(fast.Plug() && mute.Plug() && held.Plug());
    const QString sFast = QString::fromStdString(fast.Rx().Name());
    const QString sMute = QString::fromStdString(mute.Rx().Name());
    const QString sHeld = QString::fromStdString(held.Rx().Name());
    ListPorts({sFast, sMute, sHeld});
    QSignalSpy finished(&m_Dialog, &QuickConnectDiag::SignalAutoDetectFinished);
    QPushButton* pDetect = Widget<QPushButton>("m_BtnBaudAutoDetect");
    QComboBox* pRates = Widget<QComboBox>("BaudrateListComboBox");
    const auto detect = [&](const QString& sPort)
    {
        m_Dialog.ShowDiag();
        Widget<QComboBox>("PortListComboBox")->setCurrentText(sPort);
        finished.clear();
        QTest::mouseClick(pDetect, Qt::LeftButton);
    };

    detect(sFast);
    // The window is drawn and answers while the rate is sought.
    EXPECT_EQ("Auto Detecting", pDetect->text());
    EXPECT_FALSE(Widget<QPushButton>("m_BtnConfigConnect")->isEnabled());
    EXPECT_FALSE(Widget<QPushButton>("m_BtnConfigCancel")->isEnabled());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(" Auto Detect ", pDetect->text());
    EXPECT_TRUE(Widget<QPushButton>("m_BtnConfigConnect")->isEnabled());
    EXPECT_EQ("460800", pRates->currentText());
    ASSERT_EQ(1, m_Connected.size());
    EXPECT_EQ(sFast, m_Connected[0].Uart.PortName);
    EXPECT_EQ(460800u, m_Connected[0].Uart.BaudRate);
    EXPECT_FALSE(m_Dialog.isVisible());

    detect(sMute);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(QStringList{"Baudrate auto detect|Baudrate auto detect failed, reset to 115200"}, m_Prompt.Messages);
    EXPECT_EQ("115200", pRates->currentText());
    EXPECT_EQ(1, m_Connected.size());
    EXPECT_TRUE(m_Dialog.isVisible());

    // Listed, then taken by another program before the search: no rate at all.
    m_Dialog.ShowDiag();
    const int fd = ::open(sHeld.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(0, ::flock(fd, LOCK_EX | LOCK_NB));
    Widget<QComboBox>("PortListComboBox")->setCurrentText(sHeld);
    finished.clear();
    QTest::mouseClick(pDetect, Qt::LeftButton);
    ASSERT_TRUE(finished.wait(20000));
    ::close(fd);
    EXPECT_EQ(-1, pRates->currentIndex());
    EXPECT_EQ(1, m_Connected.size());
    EXPECT_EQ(1, m_Prompt.Messages.size());
    QuickConnectDiag::DetectTiming() = saved;
}

TEST_F(QuickConnect, TcpAndCasterConnectionsEachGetTheirTab)
{
    ShellStandIn shell;
    m_Dialog.m_pPortTab = &shell.Tabs;
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalConnect, &shell.Manager, &QZvPortManager::AddPortCtrl);
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalSetNtripFixPos, &shell.Tabs, &CPortTab::OnSetNtripFixPos);
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalSendData, &shell.Manager,
                     &QZvPortManager::OnSendPortData1Port);

    // A receiver on TCP.
    FakeReceiver rx;
    const uint16_t nRxPort = rx.Listen();
    ASSERT_NE(0, nRxPort);
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_TCP);
    Type("TCPServerName", "127.0.0.1");
    Type("TCPIPPort", QString::number(nRxPort));
    ClickConnect();
    EXPECT_FALSE(m_Dialog.isVisible());
    ASSERT_EQ(1, shell.Tabs.count());
    QZvPortCtrlBase* pTcp = shell.Tabs.GetPortCtrl(0);
    ASSERT_NE(nullptr, pTcp);
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_TCP, pTcp->PortType);
    // Connected: the receiver's answer to the property query is in its tab.
    ASSERT_TRUE(WaitUntil([pTcp] { return pTcp->IsPropertyValid(); }, 20000));
    EXPECT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains("<VERSION OK"); }));
    EXPECT_EQ(std::string::npos, rx.Net().Received().find("ICOMCONFIG")) << "no current port to configure";

    // A second TCP receiver: the current one is told, through the port
    // manager, to serve its ICOM1 port on that TCP port.
    FakeReceiver second;
    const uint16_t nSecondPort = second.Listen();
    ASSERT_NE(0, nSecondPort);
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_TCP);
    Type("TCPServerName", "127.0.0.1");
    Type("TCPIPPort", QString::number(nSecondPort));
    ClickConnect();
    ASSERT_EQ(2, shell.Tabs.count());
    const std::string sIcom = "ICOMCONFIG ICOM1 TCP :" + std::to_string(nSecondPort) + "\r\n";
    EXPECT_TRUE(WaitUntil([&] { return rx.Net().Received().find(sIcom) != std::string::npos; }));
    EXPECT_EQ(std::string::npos, second.Net().Received().find("ICOMCONFIG"));
    shell.Tabs.OnClosePort(1);
    ASSERT_TRUE(WaitUntil([&] { return shell.Tabs.count() == 1; }));

    // A caster, through the same window.
    CTestCaster caster;
    const quint16 nCasterPort = caster.Listen();
    ASSERT_NE(0, nCasterPort);
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
    Type("ServerNameEdit", "127.0.0.1");
    Type("Port", QString::number(nCasterPort));
    Type("MountPointEdit", "BJNR0");
    Type("UserNameEdit", "user0");
    Type("PasswordEdit", "kiwe7");
    ClickConnect();
    ASSERT_EQ(2, shell.Tabs.count());
    auto* pNtrip = static_cast<QZvNTripPortCtrl*>(shell.Tabs.GetPortCtrl(1));
    ASSERT_NE(nullptr, pNtrip);
    ASSERT_EQ(QZvPortCtrlBase::PORT_TYPE_NTRIP, pNtrip->PortType);
    EXPECT_EQ("127.0.0.1:" + QString::number(nCasterPort) + "@BJNR0", pNtrip->GetPortName());
    ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.StreamingClients() == 1; }));
    EXPECT_TRUE(caster.m_Faults.isEmpty()) << caster.m_Faults.join("; ").toStdString();
    EXPECT_EQ("GET /BJNR0 HTTP/1.1", caster.m_Requests.value(0).Line);
    // The caster port's tab shows the corrections it sends.
    shell.Tabs.setCurrentIndex(1);
    caster.Send("$GPTXT,01,01,02,caster stream*2A\r\n");
    EXPECT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(1)->toPlainText().contains("caster stream"); }));
    EXPECT_FALSE(shell.Tabs.GetTxView(0)->toPlainText().contains("caster stream"));
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << qPrintable(shell.Prompt.Messages.join('\n'));
}

TEST_F(QuickConnect, UsbPageConnectsToTheChosenReceiverAndEditsItsPort)
{
    ShellStandIn shell;
    m_Dialog.m_pPortTab = &shell.Tabs;
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalConnect, &shell.Manager, &QZvPortManager::AddPortCtrl);
    auto backend = std::make_shared<CUsbMemBackend>();
    std::shared_ptr<CUsbSimReceiver> receivers[2];
    for (int i = 0; i < 2; ++i)
    {
        receivers[i] = backend->Add(std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR480011" + std::to_string(i)));
        receivers[i]->SetTiming({1, 50});
    }
    ASSERT_EQ(0, UsbLinkSetBackend(backend));

    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_USB);
    Widget<QComboBox>("DeviceListComboBox")->setCurrentText("ZR-480 GNSS ZR4800111");
    Widget<QComboBox>("USBPortListComboBox")->setCurrentIndex(1);
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetCurPortCtrl();
    ASSERT_EQ(QZvPortCtrlBase::PORT_TYPE_USB, pCtrl->PortType);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !receivers[1]->GetChannelInput(1).empty(); }, 20000))
        << "the property query went to the chosen receiver's channel";
    EXPECT_TRUE(receivers[0]->GetChannelInput(1).empty());

    // Edit mode shows the port's settings; connecting moves the port to the other receiver.
    QSignalSpy reconnect(&m_Dialog, &QuickConnectDiag::SignalReconnectCurPort);
    QObject::connect(&m_Dialog, &QuickConnectDiag::SignalReconnectCurPort, &shell.Tabs,
                     [&shell] { shell.Manager.ReconnectPort(0, shell.Tabs.GetCurPortCtrl()->UniquePortID); });
    m_Dialog.OnCurPortConfig();
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_USB, Widget<QTabWidget>("PortConnectTab")->currentIndex());
    EXPECT_EQ("ZR-480 GNSS ZR4800111", Widget<QComboBox>("DeviceListComboBox")->currentText());
    EXPECT_EQ("USB2", Widget<QComboBox>("USBPortListComboBox")->currentText());
    Widget<QComboBox>("DeviceListComboBox")->setCurrentText("ZR-480 GNSS ZR4800110");
    Widget<QComboBox>("USBPortListComboBox")->setCurrentIndex(0);
    ClickConnect();
    EXPECT_EQ(1, reconnect.count());
    EXPECT_EQ(1, shell.Tabs.count()) << "no second port";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !receivers[0]->GetChannelInput(0).empty(); }, 20000));
    EXPECT_EQ("ZR-480 GNSS ZR4800110", static_cast<QZvUSBPortCtrl*>(pCtrl)->GetPortName());
    shell.Manager.DeletePortCtrl(pCtrl->UniquePortID);
    m_Dialog.m_pPortTab = nullptr;
}
} // namespace

namespace
{
// The window as the main window wires it for "Session Option" of a port.
struct EditShell : ShellStandIn
{
    explicit EditShell(QuickConnectDiag& Dialog)
    {
        Dialog.m_pPortTab = &Tabs;
        QObject::connect(&Dialog, &QuickConnectDiag::SignalConnect, &Manager, &QZvPortManager::AddPortCtrl);
        QObject::connect(&Dialog, &QuickConnectDiag::SignalReconnectCurPort, &Tabs,
                         qOverload<>(&CPortTab::OnReconnectPort));
        QObject::connect(&Tabs, &CPortTab::SignalCurPortConfig, &Dialog, &QuickConnectDiag::OnCurPortConfig);
    }
};
} // namespace

TEST_F(QuickConnect, TheCasterProtocolChosenIsTheOneThePortSpeaks)
{
    EditShell shell(m_Dialog);
    CTestCaster caster;
    const quint16 nPort = caster.Listen();
    ASSERT_NE(0, nPort);
    struct CASE_T
    {
        const char* Item;
        uint32_t Mode;
        QByteArray Line; // of the caster's first request
        bool bUdp;
        bool bVersion2;
    };
    const CASE_T cases[] = {
        {"NTRIP 2", 5, "GET /BJNR0 HTTP/1.1", false, true},
        {"NTRIP 1", 1, "GET /BJNR0 HTTP/1.1", false, false},
        {"NTRIP 2 (UDP)", 4, "GET /BJNR0 HTTP/1.1", true, true},
        {"RTSP", 3, "SETUP rtsp://127.0.0.1:" + QByteArray::number(nPort) + "/BJNR0 RTSP/1.0", false, true},
    };
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
    EXPECT_EQ("NTRIP 2", Widget<QComboBox>("NtripProtocolComboBox")->currentText()) << "the record's default";
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Item);
        caster.m_Requests.clear();
        m_Dialog.ShowDiag();
        Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
        Widget<QComboBox>("NtripProtocolComboBox")->setCurrentText(QString::fromLatin1(c.Item));
        Type("ServerNameEdit", "127.0.0.1");
        Type("Port", QString::number(nPort));
        Type("MountPointEdit", "BJNR0");
        ClickConnect();
        ASSERT_EQ(1, shell.Tabs.count());
        auto* pNtrip = static_cast<QZvNTripPortCtrl*>(shell.Tabs.GetPortCtrl(0));
        EXPECT_EQ(c.Mode, pNtrip->GetNtripConfig().Mode);
        ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.StreamingClients() == 1; }));
        EXPECT_EQ(c.Line, caster.m_Requests.value(0).Line);
        EXPECT_EQ(c.bUdp, caster.m_Requests.value(0).bUdp);
        EXPECT_EQ(c.bVersion2, caster.m_Requests.value(0).HasHeader("Ntrip-Version"));
        caster.Send("$GPTXT,01,01,02,by " + QByteArray(c.Item) + "*2A\r\n");
        EXPECT_TRUE(
            WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains("by " + QString(c.Item)); }));

        // "Session Option" shows the protocol of the port.
        shell.Tabs.EmitCurPortConfig();
        EXPECT_EQ(QString::fromLatin1(c.Item), Widget<QComboBox>("NtripProtocolComboBox")->currentText());
        m_Dialog.close();
        shell.Tabs.OnClosePort(0);
        ASSERT_TRUE(WaitUntil([&] { return shell.Tabs.count() == 0; }));
        caster.DropClients();
    }

    // Editing the protocol of a running port makes its next session speak it.
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
    Widget<QComboBox>("NtripProtocolComboBox")->setCurrentText("NTRIP 2");
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.StreamingClients() == 1; }));
    shell.Tabs.EmitCurPortConfig();
    Widget<QComboBox>("NtripProtocolComboBox")->setCurrentText("RTSP");
    ClickConnect();
    ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.Requests("PLAY").size() == 1; }));
    EXPECT_EQ(1, shell.Tabs.count());
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << qPrintable(shell.Prompt.Messages.join('\n'));
    EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
}

TEST_F(QuickConnect, EditModeRewritesTheCurrentCasterPortAndConnectsItAgain)
{
    EditShell shell(m_Dialog);
    CTestCaster caster;
    const quint16 nPort = caster.Listen();
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_NTRIP);
    Type("ServerNameEdit", "127.0.0.1");
    Type("Port", QString::number(nPort));
    Type("MountPointEdit", "BJNR0");
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    auto* pNtrip = static_cast<QZvNTripPortCtrl*>(shell.Tabs.GetPortCtrl(0));
    ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.StreamingClients() == 1; }));
    POS_DATA_T pos;
    ResetPosData(&pos);
    pos.Latitude = 39.5 * 0.017453292519943295;
    pos.Longitude = 116.25 * 0.017453292519943295;
    pos.Height = 50.0;
    pos.GpsSeconds = 123500.0;
    pos.Utc.Hour = 9;
    pos.Utc.Minute = 38;
    pos.Utc.Second = 2;
    pos.Utc.Millisecond = 0;
    pNtrip->OnSetPos(&pos);

    // "Session Option" opens the window on the port's settings, its page fixed.
    shell.Tabs.EmitCurPortConfig();
    EXPECT_TRUE(m_Dialog.isVisible());
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_NTRIP, Widget<QTabWidget>("PortConnectTab")->currentIndex());
    EXPECT_FALSE(Widget<QTabWidget>("PortConnectTab")->tabBar()->isEnabled());
    EXPECT_EQ(QString::number(nPort), Widget<QLineEdit>("Port")->text());
    EXPECT_EQ("BJNR0", Widget<QLineEdit>("MountPointEdit")->text());
    EXPECT_TRUE(Widget<QRadioButton>("radioBClient")->isChecked());

    // A new mount point: the running port asks for it at once, with the
    // position it had, and keeps its tab.
    caster.m_MountPoint = "BJNR1";
    Type("MountPointEdit", "BJNR1");
    ClickConnect();
    EXPECT_FALSE(m_Dialog.isVisible());
    ASSERT_TRUE(caster.WaitForRequests(2));
    EXPECT_EQ("GET /BJNR1 HTTP/1.1", caster.m_Requests[1].Line);
    EXPECT_TRUE(caster.m_Requests[1].Header("Ntrip-GGA").startsWith("$GPGGA,093802.00,3930.0000,N"));
    ASSERT_TRUE(CTestCaster::WaitFor([&] { return caster.StreamingClients() == 1; }));
    EXPECT_EQ(1, shell.Tabs.count());
    EXPECT_EQ(pNtrip, shell.Tabs.GetPortCtrl(0));
    EXPECT_EQ("127.0.0.1:" + QString::number(nPort) + "@BJNR1", shell.Tabs.tabText(0));
    caster.Send("$GPTXT,01,01,02,after the edit*2A\r\n");
    EXPECT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains("after the edit"); }));

    // "Connect" with nothing changed keeps the running session.
    shell.Tabs.EmitCurPortConfig();
    ClickConnect();
    QTest::qWait(200);
    EXPECT_EQ(2, caster.m_Requests.size());
    EXPECT_EQ(2, caster.m_Connections);
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << qPrintable(shell.Prompt.Messages.join('\n'));
}

TEST_F(QuickConnect, EditModeMovesATcpPortToAnotherReceiverOrMakesANewOneWhenItsTabIsGone)
{
    EditShell shell(m_Dialog);
    FakeReceiver first, second;
    const uint16_t nFirst = first.Listen();
    const uint16_t nSecond = second.Listen();
    m_Dialog.ShowDiag();
    Page(QZvPortCtrlBase::PORT_TYPE_TCP);
    Type("TCPServerName", "127.0.0.1");
    Type("TCPIPPort", QString::number(nFirst));
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    QZvPortCtrlBase* pTcp = shell.Tabs.GetPortCtrl(0);
    ASSERT_TRUE(WaitUntil([pTcp] { return pTcp->IsPropertyValid(); }, 20000));

    shell.Tabs.EmitCurPortConfig();
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_TCP, Widget<QTabWidget>("PortConnectTab")->currentIndex());
    EXPECT_FALSE(Widget<QTabWidget>("PortConnectTab")->tabBar()->isEnabled());
    EXPECT_EQ("127.0.0.1", Widget<QLineEdit>("TCPServerName")->text());
    EXPECT_EQ(QString::number(nFirst), Widget<QLineEdit>("TCPIPPort")->text());
    Type("TCPIPPort", QString::number(nSecond));
    ClickConnect();
    // The same port, now on the second receiver.
    ASSERT_TRUE(WaitUntil([&] { return second.Net().Received().find("version") != std::string::npos; }, 20000));
    EXPECT_EQ(1, shell.Tabs.count());
    EXPECT_EQ(pTcp, shell.Tabs.GetPortCtrl(0));
    EXPECT_EQ(nSecond, static_cast<QZvTCPPortCtrl*>(pTcp)->GetTcpConfig().Port);

    // The tab closes while the window is open: "Connect" makes a new port.
    shell.Tabs.EmitCurPortConfig();
    shell.Tabs.OnClosePort(0);
    ASSERT_EQ(0, shell.Tabs.count());
    ClickConnect();
    ASSERT_EQ(1, shell.Tabs.count());
    EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_TCP, shell.Tabs.GetPortCtrl(0)->PortType);
}
