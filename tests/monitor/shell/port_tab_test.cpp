// The port tab set against fake receivers, driven as a user drives it: ports
// opened by typing "open", tabs appearing and closing, the status bar
// following the current tab, logging, baud rates and scripts per tab,
// firmware upgrades to the receiver's boot loader, and every failure a port
// reports.
#include <gtest/gtest.h>

#include <QAbstractSocket>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTabBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/script_process.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"
#include "support/test_caster.h"
#include "support/usb/usb_mem_backend.h"
#include "support/usb/usb_sim_receiver.h"

namespace
{
QString Name(FakeReceiver& Rx) { return QString::fromStdString(Rx.Rx().Name()); }

bool Shows(QZvStatusBar& Bar, const QString& sPart)
{
    for (QLabel* pLabel : Bar.findChildren<QLabel*>())
    {
        if (pLabel->text().contains(sPart))
            return true;
    }
    return false;
}

void PutU32(QByteArray* p, int nOffset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        (*p)[nOffset + i] = static_cast<char>(v >> (8 * i));
}

// A firmware image for the product code nProduct: the 64-byte header (body
// length, MD5 of the body, product, magic) and a body of nBody bytes.
QByteArray FirmwareImage(uint32_t nProduct, int nBody)
{
    QByteArray body;
    for (int i = 0; i < nBody; ++i)
        body.append(static_cast<char>(i * 7 + 3));
    QByteArray image(64, '\0');
    PutU32(&image, 4, static_cast<uint32_t>(nBody));
    image.replace(16, 16, QCryptographicHash::hash(body, QCryptographicHash::Md5));
    PutU32(&image, 32, nProduct);
    image.replace(38, 4, QByteArray("\x71\x72\x73\x74", 4));
    return image + body;
}

QString WriteFile(const QTemporaryDir& Dir, const QString& sName, const QByteArray& Content)
{
    const QString sPath = Dir.filePath(sName);
    QFile file(sPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Content);
    return sPath;
}

// A loopback port that nothing listens on.
quint16 FreeTcpPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

// Gives the oldest question that waits its answer.
void Answer(CScriptedPrompt& Prompt, bool bYes)
{
    ASSERT_FALSE(Prompt.Deferred.empty());
    auto onAnswer = std::move(Prompt.Deferred.front());
    Prompt.Deferred.pop_front();
    onAnswer(bYes);
}

// A client of the test caster on 127.0.0.1:nPort, with the default settings.
NTRIP_CONFIG_T CasterConfig(quint16 nPort)
{
    NTRIP_CONFIG_T config;
    NtripSetDefaultConfig(&config);
    std::strcpy(config.ServerName, "127.0.0.1");
    config.Port = nPort;
    return config;
}

bool PropertyRead(QZvPortCtrlBase* pCtrl)
{
    return WaitUntil([pCtrl] { return pCtrl->IsPropertyValid(); }, 20000);
}
} // namespace

TEST(PortTabs, OpenCommandGivesEachPortOneTab)
{
    ShellStandIn shell;
    FakeReceiver rx1, rx2;
    ASSERT_TRUE(rx1.Plug());
    ASSERT_TRUE(rx2.Plug());
    QSignalSpy reconnect(&shell.Tabs, &CPortTab::SignalReconnectPort);

    QZvPortCtrlBase* pFirst = shell.Open(rx1.Rx().Name());
    ASSERT_NE(pFirst, nullptr);
    EXPECT_EQ(shell.Tabs.tabText(0), Name(rx1));
    EXPECT_FALSE(shell.Tabs.tabIcon(0).isNull());
    ASSERT_TRUE(PropertyRead(pFirst));
    // The receiver's answer to the property query reaches the tab's view.
    EXPECT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains("<VERSION OK"); }));

    // Typing "open" again for the same device connects its tab again.
    EXPECT_EQ(shell.Open(rx1.Rx().Name()), nullptr);
    EXPECT_EQ(shell.Tabs.count(), 1);
    ASSERT_EQ(reconnect.count(), 1);
    EXPECT_EQ(reconnect.at(0).at(1).toUInt(), pFirst->UniquePortID);

    QZvPortCtrlBase* pSecond = shell.Open(rx2.Rx().Name(), 115200);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_EQ(shell.Tabs.count(), 2);
    EXPECT_EQ(shell.Tabs.currentIndex(), 0) << "a new tab is not made current";
    // Behind the current tab its port hands its bytes over as seldom as any
    // hidden port, the current one as often as the current tab's does.
    EXPECT_TRUE(WaitUntil([&] { return pSecond->GetTimerInterval() == QZvPortCtrlBase::INACTIVE_TIMER_INTERVAL; }));
    EXPECT_EQ(pFirst->GetTimerInterval(), QZvPortCtrlBase::ACTIVE_TIMER_INTERVAL);

    // A device that is not there gets a tab that says so, and a box.
    QTemporaryDir dir;
    const std::string missing = dir.filePath("ttyGNSS9").toStdString();
    ASSERT_NE(shell.Open(missing), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Messages.isEmpty(); }));
    EXPECT_EQ(shell.Prompt.Messages.at(0), QString::fromStdString(missing) + "|Can not open Port");

    // A device another program holds is occupied: its port does not open.
    FakeReceiver held;
    ASSERT_TRUE(held.Plug());
    const int fd = ::open(held.Rx().Name().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(0, ::flock(fd, LOCK_EX | LOCK_NB));
    ASSERT_NE(shell.Open(held.Rx().Name()), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return shell.Prompt.Messages.size() == 2; }));
    ::close(fd);
    EXPECT_EQ(shell.Prompt.Messages.at(1), Name(held) + "|Can not open Port");
    EXPECT_TRUE(held.Rx().Received().empty()) << "nothing was written to it";
    emit shell.Tabs.tabCloseRequested(3);

    // Closing a tab closes its port.
    const uint firstId = pFirst->UniquePortID;
    emit shell.Tabs.tabCloseRequested(0);
    EXPECT_EQ(shell.Tabs.count(), 2);
    EXPECT_EQ(shell.Manager.GetPortCtrl(firstId), nullptr);
    EXPECT_EQ(shell.Tabs.GetTabIndexByPortID(firstId), -1);
    EXPECT_EQ(shell.Tabs.tabText(0), Name(rx2));
}

TEST(PortTabs, OpenCommandTakesAUsbReceiverOnTheTypedChannel)
{
    ShellStandIn shell;
    // No receiver on USB: the port is asked for and reported as not openable.
    UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
    EXPECT_EQ(shell.Open("USB1"), nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Messages.isEmpty(); }));
    EXPECT_EQ(shell.Prompt.Messages.at(0), "USB1|Can not open Port");

    // Two receivers: "USB2" is channel 2 of the one listed first.
    auto backend = std::make_shared<CUsbMemBackend>();
    std::shared_ptr<CUsbSimReceiver> second =
        backend->Add(std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800119"));
    std::shared_ptr<CUsbSimReceiver> first =
        backend->Add(std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800110"));
    for (auto* p : {&first, &second})
        (*p)->SetTiming({1, 50});
    ASSERT_EQ(0, UsbLinkSetBackend(backend));
    shell.Cmd.ParseCmd(QStringLiteral("open -t usb2"));
    ASSERT_EQ(shell.Tabs.count(), 1);
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetPortCtrl(0);
    ASSERT_EQ(pCtrl->PortType, QZvPortCtrlBase::PORT_TYPE_USB);
    EXPECT_EQ(pCtrl->GetPortName(), QStringLiteral("ZR-480 GNSS ZR4800110"));
    EXPECT_TRUE(WaitUntil([&] { return !first->GetChannelInput(1).empty(); }))
        << "the property query went to channel 2 of the first receiver";
    EXPECT_TRUE(second->GetChannelInput(1).empty());
    EXPECT_EQ(shell.Prompt.Messages.size(), 1);
    emit shell.Tabs.tabCloseRequested(0);
    UsbLinkSetBackend(std::make_shared<CUsbMemBackend>());
}

TEST(PortTabs, StatusBarFollowsTheCurrentTab)
{
    ShellStandIn shell;
    RECEIVER_RULES_T rover;
    rover.Port = "COM1";
    RECEIVER_RULES_T base;
    base.Rate = 460800;
    base.VersionLine = "ZV200-B1,R4.0.2,x,1A2B0002,ID:201801234B560077,SN:456,F:1F";
    base.NetConfig = "NETCONFIG STATIC 10.0.0.5 255.255.255.0";
    FakeReceiver rx1(rover), rx2(base);
    ASSERT_TRUE(rx1.Plug());
    ASSERT_TRUE(rx2.Plug());
    QZvPortCtrlBase* pRover = shell.Open(rx1.Rx().Name());
    QZvPortCtrlBase* pBase = shell.Open(rx2.Rx().Name(), 460800);
    ASSERT_TRUE(PropertyRead(pRover));
    ASSERT_TRUE(PropertyRead(pBase));
    QSignalSpy webServer(&shell.StatusBar, &QZvStatusBar::SignalSetActionWebServerVisible);

    shell.Tick();
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("<b>Serial</b>: %1, 115200").arg(Name(rx1))));
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("R3.1.0 ZV100")));
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("COM1")));
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("http://192.168.1.20")));

    // Switching tabs renews the port at once and the rest on the next tick.
    shell.Tabs.setCurrentIndex(1);
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("<b>Serial</b>: %1, 460800").arg(Name(rx2))));
    shell.Tick();
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("R4.0.2 ZV200")));
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("COM2")));
    EXPECT_TRUE(Shows(shell.StatusBar, QStringLiteral("http://10.0.0.5")));
    EXPECT_FALSE(Shows(shell.StatusBar, QStringLiteral("COM1")));
    EXPECT_TRUE(webServer.count() >= 2 && webServer.last().at(0).toBool());

    // The reload button asks the current port's receiver again.
    rx2.Rx().ClearReceived();
    emit shell.StatusBar.SignalRecheckPortProperty();
    EXPECT_TRUE(rx2.Rx().WaitForText("version\r\nnetconfig\r\n", 20000));

    // With no tab left the status bar shows no port.
    emit shell.Tabs.tabCloseRequested(1);
    emit shell.Tabs.tabCloseRequested(0);
    EXPECT_EQ(shell.Tabs.count(), 0);
    EXPECT_FALSE(Shows(shell.StatusBar, QStringLiteral("Serial")));
}

TEST(PortTabs, ClosingATabReturnsWithinASecondWhateverItsPortDoes)
{
    QTemporaryDir dir;
    const QString sImage = WriteFile(dir, "fw.img", FirmwareImage(0x1A2B, 200 * 1024));
    enum STATE_E
    {
        STREAMING,
        DETECTING_THE_RATE,
        UPGRADING,
        RETRYING_TCP,
    };
    const std::pair<const char*, STATE_E> cases[] = {
        {"streaming", STREAMING},
        {"detecting the rate", DETECTING_THE_RATE},
        {"upgrading", UPGRADING},
        {"retrying a refused TCP connection", RETRYING_TCP},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first);
        ShellStandIn shell;
        RECEIVER_RULES_T rules;
        rules.Rate = c.second == DETECTING_THE_RATE ? 0 : 115200;
        rules.Loader.SilentBlock = 20;
        FakeReceiver rx(rules);
        ASSERT_TRUE(rx.Plug());
        QZvPortCtrlBase* pCtrl = nullptr;
        if (c.second == RETRYING_TCP)
        {
            TCP_CONFIG_T tcp;
            tcp.IPAddress = QStringLiteral("127.0.0.1");
            tcp.Port = FreeTcpPort();
            shell.Prompt.Answers.push_back(true); // "OK": the port goes on retrying
            shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp);
            ASSERT_EQ(shell.Tabs.count(), 1);
            pCtrl = shell.Tabs.GetPortCtrl(0);
            ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Questions.isEmpty(); }));
        }
        else
        {
            pCtrl = shell.Open(rx.Rx().Name(), c.second == DETECTING_THE_RATE ? 0 : 115200);
            ASSERT_NE(pCtrl, nullptr);
        }
        if (c.second == STREAMING)
        {
            ASSERT_TRUE(PropertyRead(pCtrl));
            rx.StartStream(STREAM_ALL, 400000);
            ASSERT_TRUE(rx.WaitSent(200000, 20000));
        }
        if (c.second == UPGRADING)
        {
            ASSERT_TRUE(PropertyRead(pCtrl));
            shell.Prompt.Paths.push_back(sImage);
            shell.Tabs.OnSetUpgradeFWTab();
            ASSERT_TRUE(WaitUntil([&] { return rx.Loader().Blocks().size() >= 10; }));
        }
        if (c.second == DETECTING_THE_RATE)
            QTest::qWait(100);
        QElapsedTimer clock;
        clock.start();
        emit shell.Tabs.tabCloseRequested(0);
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_EQ(shell.Tabs.count(), 0);
        rx.StopStream();
        // Whatever the port thread still reports finds no tab and no view.
        QTest::qWait(300);
    }
}

TEST(PortTabs, FirmwareUpgradeFromATabReachesTheBootLoader)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    const QByteArray image = FirmwareImage(0x1A2B, 5000);
    const QString sImage = WriteFile(dir, "fw.img", image);
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    const QString sTab = shell.Tabs.tabText(0);

    shell.Prompt.Paths.push_back(sImage);
    shell.Tabs.OnSetUpgradeFWTab();
    EXPECT_EQ(shell.Prompt.Choosers, QStringList{"Image File"});
    EXPECT_EQ(shell.Prompt.Messages, QStringList{"Warning|Do not power off during upgrade!!!"});
    EXPECT_EQ(shell.Tabs.tabText(0), sTab + "-Upgrading");
    ASSERT_TRUE(WaitUntil([&] { return rx.Loader().Done(); }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return shell.Prompt.Messages.size() == 2; }, 20000));
    EXPECT_EQ(shell.Prompt.Messages.at(1), "Firmware Upgrade complete|" + Name(rx) + " Firmware Upgrade complete");
    EXPECT_EQ(shell.Tabs.tabText(0), sTab);
    QByteArray padded = image;
    padded.append(QByteArray((1024 - image.size() % 1024) % 1024, '\x1A'));
    EXPECT_EQ(QByteArray::fromStdString(rx.Loader().Image()), padded);
}

TEST(PortTabs, FirmwareUpgradeIsRefusedWithItsReason)
{
    QTemporaryDir dir;
    const QString sGood = WriteFile(dir, "good.img", FirmwareImage(0x1A2B, 3000));
    const QString sOther = WriteFile(dir, "other.img", FirmwareImage(0x7777, 3000));
    QByteArray broken = FirmwareImage(0x1A2B, 3000);
    broken[100] = static_cast<char>(broken[100] ^ 0x55);
    const QString sBroken = WriteFile(dir, "broken.img", broken);
    const QString sNoImage = WriteFile(dir, "notes.txt", "not an image at all");
    const struct
    {
        const char* Name;
        uint Rate;
        QString Path;
        const char* Message; // the box after the power warning, or the only one
    } cases[] = {
        {"another product", 115200, sOther, "Invalid Port|Hardware mismatch!"},
        {"damaged body", 115200, sBroken, "Invalid Port|Image check sum invalid!"},
        {"no image", 115200, sNoImage, "Invalid Port|Not Valid Image!"},
        {"a folder", 115200, dir.path(), "Image File|Not a file: "},
        {"too fast a line", 921600, sGood,
         "Staging Error|The maximum baud matching rate for firmware updates is 460800, compared to the current "
         "921600!!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        ShellStandIn shell;
        QSignalSpy upgrade(&shell.Tabs, &CPortTab::SignalUpgradeFWTab);
        RECEIVER_RULES_T rules;
        rules.Rate = c.Rate;
        FakeReceiver rx(rules);
        ASSERT_TRUE(rx.Plug());
        QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name(), c.Rate);
        ASSERT_TRUE(PropertyRead(pCtrl));
        shell.Prompt.Paths.push_back(c.Path);
        shell.Tabs.OnSetUpgradeFWTab();
        ASSERT_FALSE(shell.Prompt.Messages.isEmpty());
        EXPECT_TRUE(shell.Prompt.Messages.last().startsWith(QString::fromLatin1(c.Message)))
            << shell.Prompt.Messages.join('\n').toStdString();
        EXPECT_EQ(upgrade.count(), 0);
        EXPECT_FALSE(shell.Tabs.tabText(0).contains("-Upgrading"));
        // An abandoned XMODEM upgrade leaves no XMODEM mode behind.
        shell.Prompt.Paths.push_back(c.Path);
        shell.Tabs.OnSetXModemFWTab();
        EXPECT_EQ(upgrade.count(), 0);
        EXPECT_FALSE(pCtrl->IsXModemMode());
    }

    // A receiver that never described itself is not upgraded.
    ShellStandIn shell;
    RECEIVER_RULES_T mute;
    mute.Rate = 0;
    FakeReceiver rx(mute);
    ASSERT_TRUE(rx.Plug());
    shell.Open(rx.Rx().Name());
    shell.Tabs.OnSetUpgradeFWTab();
    EXPECT_EQ(shell.Prompt.Messages, QStringList{"Not Valid Halvorne Product|Only support Halvorne product"});
    EXPECT_TRUE(shell.Prompt.Choosers.isEmpty());
}

TEST(PortTabs, UpgradeInProgressCanBeCancelledFromItsTab)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    const QString sImage = WriteFile(dir, "fw.img", FirmwareImage(0x1A2B, 50 * 1024));
    RECEIVER_RULES_T rules;
    rules.Loader.SilentBlock = 5;
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    shell.Prompt.Paths.push_back(sImage);
    shell.Tabs.OnSetUpgradeFWTab();
    ASSERT_TRUE(WaitUntil([&] { return rx.Loader().Blocks().size() >= 5; }));
    shell.Prompt.Answers.push_back(true);
    shell.Tabs.OnSetUpgradeFWTab();
    EXPECT_EQ(shell.Prompt.Questions.last(),
              "Firmware upgrading, Cancel?|the firmware is upgrading, do you want to cancel current upgrading");
    EXPECT_FALSE(shell.Tabs.tabText(0).contains("-Upgrading"));
    EXPECT_TRUE(WaitUntil([&] { return rx.Loader().Cans() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return !pCtrl->IsUpgrading(); }));
}

TEST(PortTabs, UsbUpgradeFailureNamesItsReason)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    REPLAY_CONFIG_T replay;
    replay.FileName = QStringLiteral("rover.log");
    replay.FilePath = WriteFile(dir, "rover.log", "#BESTPOSA\r\n");
    ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_REPLAY, &replay), 0);
    const uint uid = shell.Tabs.GetPortUniqueID(0);
    const std::pair<int, const char*> cases[] = {
        {-1, "input error"},
        {-4, "USB busy"},
        {-5, "timeout"},
        {3, "Out of Memory"},
        {-6, "image refused by the receiver"},
        {-7, "USB link lost"},
        {-8, "cancelled"},
        {-9, "Unknown error -9"},
        {0, "Unknown error 0"},
        {-2147483647 - 1, "Unknown error -2147483648"},
    };
    for (const auto& c : cases)
    {
        shell.Tabs.SetTabUpgradingMark(uid, true);
        shell.Tabs.OnUsbUpdateFail(uid, c.first);
        EXPECT_EQ(shell.Prompt.Messages.last(), QStringLiteral("Fail|rover.log: ") + c.second) << c.first;
        EXPECT_EQ(shell.Tabs.tabText(0), "rover.log");
    }
    // Reports of a port that is gone show nothing.
    const int before = shell.Prompt.Messages.size();
    shell.Tabs.OnUsbUpdateFail(uid + 100, -4);
    shell.Tabs.OnUpdateFail(uid + 100);
    shell.Tabs.OnUpgradeFWComplete(0);
    EXPECT_EQ(shell.Prompt.Messages.size(), before);
}

TEST(PortTabs, MarksLocksAndNames)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    for (const char* pName : {"rover.log", "base.log"})
    {
        REPLAY_CONFIG_T replay;
        replay.FileName = QString::fromLatin1(pName);
        replay.FilePath = WriteFile(dir, pName, "$GPGGA\r\n");
        ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_REPLAY, &replay), 0);
    }
    const uint rover = shell.Tabs.GetPortUniqueID(0);
    EXPECT_EQ(shell.Tabs.GetTabIndexByPortID(rover), 0);
    EXPECT_EQ(shell.Tabs.GetTabIndexByPortID(rover + 100), -1);
    EXPECT_EQ(shell.Tabs.GetPortUniqueID(-1), 0u);
    EXPECT_EQ(shell.Tabs.GetPortIDByName("base.log"), static_cast<int>(rover + 1));
    EXPECT_EQ(shell.Tabs.GetPortIDByName("none"), -1);

    shell.Tabs.SetTabUpgradingMark(rover, true);
    shell.Tabs.SetTabUpgradingMark(rover, true);
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log-Upgrading");
    shell.Tabs.SetTabUpgradingMark(rover, false);
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log");

    QSignalSpy lock(shell.Tabs.GetTxView(0), &CZvTxtBrowser::SignalSetPortLockStatus);
    shell.Tabs.OnLockTabOne();
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log-[Lock]");
    shell.Tabs.OnTriggerCurTxViewStopShow();
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log-[Lock]-Pause");
    EXPECT_TRUE(shell.Tabs.GetCurTxView()->m_bPause);
    shell.Tabs.OnLockTabOne();
    shell.Tabs.OnTriggerCurTxViewStopShow();
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log");
    ASSERT_EQ(lock.count(), 2);
    EXPECT_TRUE(lock.at(0).at(0).toBool());
    EXPECT_FALSE(lock.at(1).at(0).toBool());

    // Each tab's close button says what it does, from its first showing, once
    // the tabs are closable again after a lock, and in the language chosen.
    const auto closeTips = [&shell]
    {
        QTabBar* pBar = shell.Tabs.tabBar();
        const auto eSide = static_cast<QTabBar::ButtonPosition>(
            pBar->style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, pBar));
        QStringList tips;
        for (int i = 0; i < pBar->count(); ++i)
            tips << (pBar->tabButton(i, eSide) ? pBar->tabButton(i, eSide)->toolTip() : QStringLiteral("no button"));
        return tips;
    };
    const QStringList english = {"Close Window", "Close Window"};
    EXPECT_EQ(closeTips(), english);
    shell.Tabs.OnLockTabAll();
    EXPECT_FALSE(shell.Tabs.tabsClosable());
    shell.Tabs.OnLockTabAll();
    EXPECT_TRUE(shell.Tabs.tabsClosable());
    EXPECT_EQ(closeTips(), english);
    InstallMonitorTranslations(QStringLiteral("zh"));
    QCoreApplication::processEvents();
    EXPECT_EQ(closeTips(), QStringList({"关闭窗口", "关闭窗口"}));
    InstallMonitorTranslations(QStringLiteral("en"));
    QCoreApplication::processEvents();
    EXPECT_EQ(closeTips(), english);

    // A name another tab has is asked again; the tab's own name is fine.
    shell.Prompt.Texts = {"base.log", "rover.log", "rover"};
    shell.Tabs.OnRenameTabDiag();
    EXPECT_EQ(shell.Prompt.Messages, QStringList{"Rename Err|The name already exists. Please retype it"});
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log");
    shell.Tabs.OnRenameTabDiag();
    EXPECT_EQ(shell.Tabs.tabText(0), "rover");
    shell.Tabs.OnRenameTabDiag(); // cancelled
    EXPECT_EQ(shell.Tabs.tabText(0), "rover");
    EXPECT_TRUE(shell.Tabs.RefreshTabText(rover + 1) == false) << "a replay port says it was not renamed";
    shell.Tabs.RefreshTabText(rover);
    EXPECT_EQ(shell.Tabs.tabText(0), "rover.log");
}

TEST(PortTabs, ReceiversNameTheirTabs)
{
    ShellStandIn shell;
    FakeReceiver rx1, rx2;
    ASSERT_TRUE(rx1.Plug());
    ASSERT_TRUE(rx2.Listen() != 0);
    QZvPortCtrlBase* pSerial = shell.Open(rx1.Rx().Name());
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = rx2.Net().Port();
    ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp), 0);
    EXPECT_EQ(shell.Tabs.tabText(1), QStringLiteral("127.0.0.1:%1").arg(tcp.Port));
    QZvPortCtrlBase* pTcp = shell.Tabs.GetPortCtrl(1);
    ASSERT_TRUE(PropertyRead(pSerial));
    ASSERT_TRUE(PropertyRead(pTcp));
    shell.Tabs.OnTriggerCurTxViewStopShow();
    shell.Tabs.OnRenameAllTabDiag();
    EXPECT_EQ(shell.Tabs.tabText(0), "ZV100_123-Pause");
    EXPECT_EQ(shell.Tabs.tabText(1), "ZV100_123");
    shell.Tabs.OnRenameAllTabDiag();
    EXPECT_EQ(shell.Tabs.tabText(0), "ZV100_123-Pause");
}

TEST(PortTabs, StatusRequestsAndScriptCommandsGoToTheirPort)
{
    ShellStandIn shell;
    QSignalSpy noPort(&shell.Tabs, &CPortTab::SignalNoValidPortExist);
    QSignalSpy finished(&shell.Tabs, &CPortTab::SignalStatusMsgParseFinished);
    QSignalSpy sent(&shell.Tabs, &CPortTab::SignalSendCMD);
    shell.Tabs.OnRequestCustomItem(STATUS_MSG_LOGLIST);
    shell.Tabs.OnRequestItem(3, STATUS_MSG_USERCONFIG);
    shell.Tabs.OnResetReqMask();
    shell.Tabs.OnRequestLoglistMsg();
    EXPECT_EQ(noPort.count(), 3);
    EXPECT_EQ(sent.count(), 0);

    RECEIVER_RULES_T rules;
    rules.Rate = 230400;
    FakeReceiver rx(rules), net;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name(), 230400);
    ASSERT_TRUE(PropertyRead(pCtrl));
    rx.Rx().ClearReceived();
    shell.Tabs.OnRequestCustomItem(STATUS_MSG_USERCONFIG);
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), pCtrl->UniquePortID);
    EXPECT_TRUE(rx.Rx().WaitForText(sent.at(0).at(1).toByteArray().toStdString(), 20000));
    ASSERT_TRUE(WaitUntil([&] { return !finished.isEmpty(); }));
    EXPECT_EQ(finished.at(0).at(0).toUInt(), static_cast<uint>(STATUS_MSG_USERCONFIG));

    // A script's command goes out as written; a factory reset also brings the
    // serial line back to 115200 baud.
    auto* pView = shell.Tabs.GetTxView(0);
    rx.Rx().ClearReceived();
    emit pView->m_pScriptProcess->SignalSendCMD(pView, QStringLiteral("FRESET"));
    EXPECT_TRUE(WaitUntil([&] { return static_cast<QZvUartPortCtrl*>(pCtrl)->GetBaudRate() == 115200; }));
    EXPECT_TRUE(rx.Rx().WaitForText("FRESET", 20000));

    ASSERT_TRUE(net.Listen() != 0);
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = net.Net().Port();
    ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp), 0);
    ASSERT_TRUE(PropertyRead(shell.Tabs.GetPortCtrl(1)));
    sent.clear();
    emit shell.Tabs.GetTxView(1)->m_pScriptProcess->SignalSendCMD(shell.Tabs.GetTxView(1), QStringLiteral("freset"));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(1).toByteArray(), QByteArray("freset"));
}

TEST(PortTabs, APortsScriptAsksTheReceiverAndReadsItsReply)
{
    // The script samples the port's input, sends "version" through the
    // keyword protocol, finds the receiver's answer in what it was given and
    // prints it as its result.
    QTemporaryDir dir;
    const QString sScript = WriteFile(dir, "ask version.py",
                                      "import sys\n"
                                      "print('$$InputSampleData@#$@:1', flush=True)\n"
                                      "print('$$PrintCMD@#$@:version', flush=True)\n"
                                      "data = b''\n"
                                      "while not data.endswith(b'EOF\\r\\n '):\n"
                                      "    chunk = sys.stdin.buffer.read1(65536)\n"
                                      "    if not chunk: break\n"
                                      "    data += chunk\n"
                                      "lines = data.decode('latin-1').split('\\r\\n')\n"
                                      "reply = lines[lines.index('<VERSION') + 1] if '<VERSION' in lines else 'none'\n"
                                      "print('$$PrintResult@#$@:' + reply, flush=True)\n");
    ShellStandIn shell;
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    CZvTxtBrowser* pView = shell.Tabs.GetTxView(0);
    QScriptProcess* pRunner = pView->m_pScriptProcess;
    // Two seconds to a sampled "second": the reply comes well within it on a loaded machine.
    pRunner->SetSecondLength(2000);
    QSignalSpy status(&shell.Tabs, &CPortTab::SignalScriptStatus);
    QSignalSpy ended(pRunner, &QScriptProcess::SignalScriptFinishStop);
    rx.Rx().ClearReceived();

    // As from the menus: choose the script, then start it in the current port.
    shell.Prompt.Paths.push_back(sScript);
    shell.Tabs.OnSelectScriptFileInCurPort();
    shell.Tabs.OnStartScriptInCurPort();
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status.at(0).at(0).toBool());
    EXPECT_EQ(status.at(0).at(1).toUInt(), pCtrl->UniquePortID);

    ASSERT_TRUE(WaitUntil([&] { return !ended.isEmpty(); }, 30000));
    EXPECT_EQ(rx.Rx().Received(), "version\r\n");
    const QString sDebug = shell.Tabs.TakeCurScriptOutput();
    EXPECT_TRUE(shell.Tabs.TakeCurScriptOutput().isEmpty()) << "taken once";
    EXPECT_TRUE(sDebug.contains(QStringLiteral("CMD:version\r\n"))) << sDebug.toStdString();
    const QString sResult =
        QStringLiteral("Result:\r\n%1\r\n").arg(QString::fromStdString(RECEIVER_RULES_T().VersionLine));
    EXPECT_TRUE(sDebug.contains(sResult)) << sDebug.toStdString();
    EXPECT_TRUE(sDebug.contains(QStringLiteral("Exit code:0 exit status:0")));
    // The reply shows in the tab as well, after the one to the port's own query.
    EXPECT_TRUE(WaitUntil([&] { return pView->toPlainText().count(QStringLiteral("<VERSION OK")) >= 2; }));
    EXPECT_FALSE(pView->ScriptRunning());
}

TEST(PortTabs, BaudRateChosenFromTheMenuReopensThePortOnce)
{
    ShellStandIn shell;
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    auto* pCtrl = static_cast<QZvUartPortCtrl*>(shell.Open(rx.Rx().Name()));
    ASSERT_TRUE(PropertyRead(pCtrl));
    QMenu* pMenu = nullptr;
    for (int i = 0; i < 3; ++i)
    {
        shell.Tabs.OnContextMenuRequesred(QPoint());
        pMenu = shell.Tabs.findChild<QMenu*>();
        ASSERT_NE(pMenu, nullptr);
        if (i < 2)
        {
            pMenu->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    QStringList texts;
    for (QAction* pAction : pMenu->actions())
        texts << (pAction->isSeparator() ? "-" : pAction->text());
    EXPECT_EQ(texts, (QStringList{"Rename", "Reconnect", "Disconnect", "-", "Log", "-", "9600", "115200", "230400",
                                  "460800", "921600", "Coded Format"}));
    rx.Rx().ClearReceived();
    pMenu->actions().at(6)->trigger();
    EXPECT_TRUE(WaitUntil([&] { return pCtrl->GetBaudRate() == 9600; }));
    QTest::qWait(300);
    const std::string received = rx.Rx().Received();
    size_t n = 0;
    for (size_t at = received.find("COM 9600"); at != std::string::npos; at = received.find("COM 9600", at + 1))
        ++n;
    EXPECT_EQ(n, 1u);

    // The command encoding of the menu.
    QMenu* pCoded = pMenu->actions().last()->menu();
    ASSERT_NE(pCoded, nullptr);
    pCoded->actions().at(1)->trigger();
    EXPECT_EQ(shell.Tabs.EncodeCmdText(QStringLiteral("中")), QByteArray("\xd6\xd0"));
    pCoded->actions().at(0)->trigger();
    EXPECT_EQ(shell.Tabs.EncodeCmdText(QStringLiteral("中")), QByteArray("\xe4\xb8\xad"));
}

TEST(PortTabs, PortFailuresAreToldAndARefusedConnectionCanBeQuit)
{
    ShellStandIn shell;
    QSignalSpy disconnect(&shell.Tabs, &CPortTab::SignalDisconnectPort);
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = FreeTcpPort();
    ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp), 0);
    const uint uid = shell.Tabs.GetPortUniqueID(0);
    // "Quit" (the scripted answer) stops the port's retries.
    ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Questions.isEmpty(); }));
    EXPECT_EQ(shell.Prompt.Questions.at(0), "127.0.0.1|Connect Err!\nServer refused");
    ASSERT_EQ(disconnect.count(), 1);
    EXPECT_EQ(disconnect.at(0).at(0).toInt(), 0);
    EXPECT_EQ(disconnect.at(0).at(1).toUInt(), uid);

    const struct
    {
        QZvPortCtrlBase::PORT_TYPE_E Type;
        int Err;
        const char* Shown;
    } cases[] = {
        {QZvPortCtrlBase::PORT_TYPE_TCP, QAbstractSocket::RemoteHostClosedError,
         "Connect Err!\nThe connection was refused by the peer"},
        {QZvPortCtrlBase::PORT_TYPE_TCP, QAbstractSocket::HostNotFoundError, "Connect Err!\nThe host was not found"},
        {QZvPortCtrlBase::PORT_TYPE_TCP, QAbstractSocket::SocketTimeoutError, "Connect Err!\nTime out"},
        {QZvPortCtrlBase::PORT_TYPE_TCP, QAbstractSocket::SocketAccessError, "Connect Err!\nErr ID 3"},
        {QZvPortCtrlBase::PORT_TYPE_UART, PORT_FAIL_NO_DEVICE, "Can not open Port"},
        {QZvPortCtrlBase::PORT_TYPE_UART, PORT_FAIL_NO_ANSWER,
         "Port connection failed\r\n1.Check for halvorne board !\r\n2.Baud rate does not match, Can right click on the "
         "port configuration, Change the configuration! "},
    };
    for (const auto& c : cases)
    {
        shell.Prompt.Answers.push_back(true);
        shell.Tabs.OnAddPortFail(uid, c.Type, c.Err, QStringLiteral("rover"));
        const QStringList& shown =
            c.Type == QZvPortCtrlBase::PORT_TYPE_TCP ? shell.Prompt.Questions : shell.Prompt.Messages;
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.last(), QStringLiteral("rover|") + c.Shown);
    }
    EXPECT_EQ(disconnect.count(), 1) << "\"OK\" keeps the port retrying";

    // A port of a kind this program does not know gets no tab.
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetPortCtrl(0);
    shell.Tabs.OnAddPort(uid + 50, static_cast<QZvPortCtrlBase::PORT_TYPE_E>(5), pCtrl);
    EXPECT_EQ(shell.Tabs.count(), 1);

    shell.Tabs.OnOpenFileFail(uid, QStringLiteral("/nowhere/rover.log"), ENOENT);
    EXPECT_EQ(shell.Prompt.Messages.last(),
              "Open File Fail|The ErrMsg is 2,  Please check the relevant information of the error: No such file or "
              "directory\n/nowhere/rover.log");
}

TEST(PortTabs, RemovedSerialAdapterIsDisconnected)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    const std::string link = dir.filePath("ttyGNSS0").toStdString();
    FakeReceiver unplugged, staying;
    ASSERT_TRUE(unplugged.Plug(link));
    ASSERT_TRUE(staying.Plug());
    QZvPortCtrlBase* pGone = shell.Open(link);
    QZvPortCtrlBase* pStays = shell.Open(staying.Rx().Name());
    ASSERT_TRUE(PropertyRead(pGone));
    ASSERT_TRUE(PropertyRead(pStays));
    QSignalSpy disconnect(&shell.Tabs, &CPortTab::SignalDisconnectPort);
    unplugged.Unplug();
    shell.Tabs.OnCheckPortConnectState();
    ASSERT_EQ(disconnect.count(), 1);
    EXPECT_EQ(disconnect.at(0).at(0).toInt(), 0);
    EXPECT_EQ(disconnect.at(0).at(1).toUInt(), pGone->UniquePortID);
    EXPECT_EQ(shell.Tabs.count(), 2) << "the tab stays, to be connected again";
}

TEST(PortTabs, ASerialDeviceGoneMidStreamLeavesItsTabLostUntilReconnected)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    const std::string link = dir.filePath("ttyGNSS0").toStdString();
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug(link));
    QZvPortCtrlBase* pCtrl = shell.Open(link);
    ASSERT_TRUE(PropertyRead(pCtrl));
    const auto shows = [&](const char* pIcon)
    {
        return shell.Tabs.tabIcon(0).pixmap(16).toImage() ==
               QIcon(QStringLiteral(":/QZorvikMonitor/Icon/") + pIcon).pixmap(16).toImage();
    };
    ASSERT_TRUE(shows("UartConnected.ico"));
    QSignalSpy disconnect(&shell.Tabs, &CPortTab::SignalDisconnectPort);
    QSignalSpy debug(&shell.Tabs, &CPortTab::SignaSendDebugInfo);
    rx.StartStream(STREAM_BINARY_LOGS, 20000);
    ASSERT_TRUE(rx.WaitSent(4000, 10000));

    // The other end of the line closes; no device event comes with it.
    rx.Unplug();
    ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Messages.isEmpty(); }));
    const QString sWhy = QStringLiteral(
        "The port's device went away (adapter unplugged or line closed).\nReconnect the port once it is back.");
    EXPECT_EQ(shell.Prompt.Messages.last(), Name(rx) + "|Port lost\n" + sWhy);
    EXPECT_TRUE(shows("Stop.png"));
    ASSERT_EQ(disconnect.count(), 1);
    EXPECT_EQ(disconnect.at(0).at(1).toUInt(), pCtrl->UniquePortID);
    EXPECT_TRUE(pCtrl->IsDisconnected());
    ASSERT_FALSE(debug.isEmpty());
    EXPECT_EQ(debug.last().at(0).toString(), Name(rx) + ": " + sWhy + "\n");

    // Reconnecting while the device is still away says so.
    shell.Tabs.OnReconnectPort();
    ASSERT_TRUE(WaitUntil([&] { return shell.Prompt.Messages.size() == 2; }));
    EXPECT_EQ(shell.Prompt.Messages.last(), Name(rx) + "|Can not open Port");
    EXPECT_TRUE(shows("Stop.png"));

    // Back: the tab is live again and commands reach the receiver.
    ASSERT_TRUE(rx.Plug(link));
    shell.Tabs.OnReconnectPort();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsPropertyValid() && shows("UartConnected.ico"); }));
    shell.Manager.OnSendPortData1Port(pCtrl->UniquePortID, "log versiona once\r\n");
    EXPECT_TRUE(rx.Rx().WaitForText("log versiona once\r\n", 5000));
    EXPECT_EQ(shell.Prompt.Messages.size(), 2);
}

TEST(PortTabs, ACasterRefusalIsExplainedInItsBoxAndTheDebugWindow)
{
    QByteArray table;
    for (int i = 0; i < 25; ++i)
        table += QStringLiteral("STR;M%1;Site %1;RTCM 3.2;1005(10);2;GPS;X;CHN;39.90;116.40;1;0;x;none;B;N;0;\r\n")
                     .arg(i, 2, 10, QLatin1Char('0'))
                     .toLatin1();
    const struct
    {
        const char* Name;
        const char* Language;
        uint32_t Mode;
        const char* MountPoint;
        const char* Password;
        const char* Box; // the first line of the box
        const char* Why; // the rest, also in the debug window
    } cases[] = {
        {"wrong password", "en", 5, "BJNR0", "wrong", "Can not open Port",
         "The caster refused the user name or password (401 Unauthorized)."},
        {"unknown mount point, answered with the table", "en", 1, "NOPE", "kiwe7", "Can not open Port",
         "The caster has no mount point \"NOPE\".\nMount points it offers: M00, M01, M02, M03, M04, M05, M06, M07, "
         "M08, M09, M10, M11, M12, M13, M14, M15, M16, M17, M18, M19 (25 in all)"},
        {"unknown mount point, answered 404", "en", 5, "NOPE", "kiwe7", "Can not open Port",
         "The caster has no mount point \"NOPE\"."},
        {"wrong password, over UDP", "en", 4, "BJNR0", "wrong", "Can not open Port",
         "The caster refused the user name or password (401 Unauthorized)."},
        {"wrong password, over RTSP", "en", 3, "BJNR0", "wrong", "Can not open Port",
         "The caster refused the user name or password (401 Unauthorized)."},
        {"unknown mount point, over RTSP", "en", 3, "NOPE", "kiwe7", "Can not open Port",
         "The caster has no mount point \"NOPE\"."},
        {"wrong password, in Chinese", "zh", 5, "BJNR0", "wrong", "无法打开端口",
         "NTRIP 服务器拒绝了用户名或密码（401 未授权）。"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        InstallMonitorTranslations(QString::fromLatin1(c.Language));
        ShellStandIn shell;
        QSignalSpy debug(&shell.Tabs, &CPortTab::SignaSendDebugInfo);
        CTestCaster caster;
        caster.m_SourceTable = table + "ENDSOURCETABLE\r\n";
        NTRIP_CONFIG_T config = CasterConfig(caster.Listen());
        config.Mode = c.Mode;
        std::strcpy(config.MountPoint, c.MountPoint);
        std::strcpy(config.Password, c.Password);
        ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_NTRIP, &config), 0);
        ASSERT_TRUE(WaitUntil([&] { return !shell.Prompt.Messages.isEmpty(); }));
        const QString sPort = shell.Tabs.tabText(0);
        const QString sWhy = QString::fromUtf8(c.Why);
        EXPECT_EQ(shell.Prompt.Messages.last(), sPort + "|" + QString::fromUtf8(c.Box) + "\n" + sWhy);
        ASSERT_FALSE(debug.isEmpty());
        EXPECT_EQ(debug.last().at(0).toString(), sPort + ": " + sWhy + "\n");
    }
    InstallMonitorTranslations(QStringLiteral("en"));
}

TEST(PortTabs, LoggingFromTheTabShowsInTheStatusBar)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    const QString sLog = dir.filePath("rover.bin");
    shell.Prompt.Paths.push_back(sLog);
    shell.Tabs.OnSetLogFilename();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsLogging(); }));
    rx.StartStream(STREAM_BINARY_LOGS, 20000);
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(sLog).size() > 2000; }));
    shell.Tick();
    EXPECT_TRUE(Shows(shell.StatusBar, "Logging"));
    EXPECT_TRUE(Shows(shell.StatusBar, sLog));

    shell.Prompt.Answers.push_back(true);
    shell.Tabs.OnSetLogFilename();
    EXPECT_EQ(shell.Prompt.Questions.last(), "Warning|Do you sure to un log");
    ASSERT_TRUE(WaitUntil([&] { return !pCtrl->IsLogging(); }));
    shell.Tick();
    EXPECT_FALSE(Shows(shell.StatusBar, "Logging"));

    // An existing file is replaced only when the user says so.
    shell.Prompt.Paths.push_back(sLog);
    shell.Prompt.Answers.push_back(false);
    shell.Tabs.OnSetLogFilename();
    EXPECT_EQ(shell.Prompt.Questions.last(), "File exists|Do you wish to replace");
    QTest::qWait(200);
    EXPECT_FALSE(pCtrl->IsLogging());

    // With a default folder the port names its files there, unasked.
    QTemporaryDir folder;
    shell.Prompt.Paths.push_back(folder.path());
    shell.Tabs.OnSetLogDefaultFolder();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->GetLogNameMode() == 1; }));
    const int choosers = shell.Prompt.Choosers.size();
    shell.Tabs.OnSetLogFilename();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsLogging(); }));
    EXPECT_EQ(shell.Prompt.Choosers.size(), choosers);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    shell.Tabs.OnSetLogDefaultFolder();
    EXPECT_TRUE(WaitUntil([&] { return pCtrl->GetLogNameMode() == 0; }));
}

TEST(PortTabs, OperationsWithoutAPortDoNothing)
{
    ShellStandIn shell;
    QSignalSpy sent(&shell.Tabs, &CPortTab::SignalSendCMD);
    QSignalSpy upgrade(&shell.Tabs, &CPortTab::SignalUpgradeFWTab);
    QSignalSpy disconnect(&shell.Tabs, &CPortTab::SignalDisconnectPort);
    void (CPortTab::*const operations[])() = {
        &CPortTab::OnSetLogFilename,
        &CPortTab::OnSetLogDefaultFolder,
        &CPortTab::OnDisconnectPort,
        &CPortTab::OnDisconnectAllPort,
        &CPortTab::OnReconnectPort,
        &CPortTab::OnReconnectAllPort,
        &CPortTab::OnRefreshProperty,
        &CPortTab::OnShowCurTxViewOptions,
        &CPortTab::OnTriggerCurTxViewStopShow,
        &CPortTab::OnLockTabOne,
        &CPortTab::OnRenameTabDiag,
        &CPortTab::OnRenameAllTabDiag,
        &CPortTab::OnRequestLoglistMsg,
        &CPortTab::OnRequestUserConfigMsg,
        &CPortTab::OnStartScriptInCurPort,
        &CPortTab::OnStopScriptInCurPort,
        &CPortTab::OnSelectScriptFileInCurPort,
        &CPortTab::OnRescueModemOn,
        &CPortTab::OnSetUpgradeFWTab,
        &CPortTab::OnSetXModemFWTab,
        &CPortTab::OnCheckPortConnectState,
    };
    for (auto operation : operations)
        (shell.Tabs.*operation)();
    shell.Tabs.OnContextMenuRequesred(QPoint());
    shell.Tabs.OnClosePort(0);
    shell.Tabs.OnClosePort(-1);
    shell.Tabs.OnCloseFilePort(2);
    shell.Tabs.OnSetTabLogFilename(0, QStringLiteral("x.log"));
    shell.Tabs.OnSetBaudrateCurTab(9600);
    shell.Tabs.OnSetBaudrateTab(9600, 4);
    shell.Tabs.OnRunCurTabScript(QStringLiteral("x.py"));
    shell.Tabs.OnRescueModemBoardReset(1);
    shell.Tabs.OnSendScriptCMDToPort(nullptr, QStringLiteral("freset"));
    shell.Tabs.OnSetPortIcon(3, QZvPortCtrlBase::PORT_TYPE_UART, 1);
    shell.Tabs.SetTabUpgradingMark(1, true);
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty());
    EXPECT_TRUE(shell.Prompt.Questions.isEmpty());
    EXPECT_TRUE(shell.Prompt.Choosers.isEmpty());
    EXPECT_EQ(shell.Tabs.findChild<QMenu*>(), nullptr);
    EXPECT_EQ(sent.count() + upgrade.count() + disconnect.count(), 0);
    EXPECT_EQ(shell.Tabs.GetCurPortCtrl(), nullptr);
    EXPECT_EQ(shell.Tabs.CurPortText(), QString());
}

TEST(PortTabs, RescueModemAsksWithoutWaitingInTheDataPath)
{
    ShellStandIn shell;
    CScriptedPrompt& prompt = shell.Prompt;
    prompt.DeferAsks = true;
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    QSignalSpy rescue(&shell.Tabs, &CPortTab::SignalRescueModemStatus);
    CZvTxtBrowser* pView = shell.Tabs.GetTxView(0);
    shell.Tabs.OnRescueModemOn();
    EXPECT_TRUE(pCtrl->IsRescueModem());
    EXPECT_TRUE(pView->m_bRescueModem);
    ASSERT_EQ(rescue.count(), 1);
    EXPECT_TRUE(rescue.at(0).at(0).toBool());

    // The board restarted into its loader: the view reports it from its data.
    const uint uid = pCtrl->UniquePortID;
    emit pView->SignalRescueModemBoardReset(uid);
    ASSERT_EQ(prompt.Questions, QStringList{Name(rx) + "|Confirm to start upgrade version?"});
    ASSERT_EQ(prompt.Deferred.size(), 1u) << "the question waits for its answer outside the data path";
    EXPECT_TRUE(prompt.Choosers.isEmpty());
    // "Yes" goes on with the upgrade of that port: the image is asked for.
    Answer(prompt, true);
    EXPECT_EQ(prompt.Choosers, QStringList{"Image File"});

    // "No" leaves rescue mode.
    emit pView->SignalRescueModemBoardReset(uid);
    Answer(prompt, false);
    EXPECT_FALSE(pCtrl->IsRescueModem());
    EXPECT_FALSE(pView->m_bRescueModem);
    EXPECT_FALSE(rescue.last().at(0).toBool());
    // A port whose tab is gone by the time of the answer is left alone.
    shell.Tabs.OnRescueModemOn();
    emit pView->SignalRescueModemBoardReset(uid);
    emit shell.Tabs.tabCloseRequested(0);
    Answer(prompt, true);
    EXPECT_EQ(prompt.Choosers.size(), 1);
}

TEST(PortTabs, ImageOfABoardInItsLoaderMayBeForced)
{
    ShellStandIn shell;
    QTemporaryDir dir;
    const QString sOther = WriteFile(dir, "other.img", FirmwareImage(0x7777, 3000));
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pCtrl = shell.Open(rx.Rx().Name());
    ASSERT_TRUE(PropertyRead(pCtrl));
    QSignalSpy upgrade(&shell.Tabs, &CPortTab::SignalUpgradeFWTab);
    shell.Prompt.Paths.push_back(sOther);
    shell.Prompt.Answers.push_back(true);
    shell.Tabs.OnSetXModemFWTab();
    EXPECT_EQ(shell.Prompt.Questions.last(), "Invalid Port|Hardware mismatch!\r\nAre you sure to continue upgrading??");
    ASSERT_EQ(upgrade.count(), 1);
    EXPECT_EQ(upgrade.at(0).at(1).toString(), sOther);
    EXPECT_TRUE(pCtrl->IsXModemMode());
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsUpgrading(); }));
    // A second upgrade is refused while this one runs.
    shell.Tabs.OnSetUpgradeFWTab();
    EXPECT_EQ(shell.Prompt.Messages.last(), "Firmware upgrading|Please try again later");
}

TEST(PortTabs, CasterPortTakesTheCurrentPositionUnlessItIsFixed)
{
    for (bool bFixed : {false, true})
    {
        SCOPED_TRACE(bFixed ? "fixed position" : "current position");
        ShellStandIn shell;
        CTestCaster caster;
        NTRIP_CONFIG_T config = CasterConfig(caster.Listen());
        shell.Tabs.OnSetNtripFixPos(bFixed);
        ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_NTRIP, &config), 0);
        ASSERT_EQ(shell.Tabs.count(), 1);
        EXPECT_EQ(shell.Tabs.tabText(0), QStringLiteral("127.0.0.1:%1@BJNR0").arg(config.Port));
        EXPECT_EQ(shell.Tabs.GetTxView(0)->m_DisplayMode, 3u) << "corrections are shown decoded";

        // The main window's tick hands the current port's position on.
        POS_DATA_T* pPos = &shell.Tabs.GetPosDataParser()->m_PosData;
        ResetPosData(pPos);
        pPos->Latitude = 31.5 * 0.017453292519943295;
        pPos->Longitude = 121.25 * 0.017453292519943295;
        emit shell.Tabs.SingalUpdatePos(pPos);
        shell.Tick();
        const QString sShown = bFixed ? QStringLiteral("Ntrip: Client, user0@0.00,0.00=>127.0.0.1:%1-BJNR0 | ON")
                                      : QStringLiteral("Ntrip: Client, user0@31.50,121.25=>127.0.0.1:%1-BJNR0 | ON");
        EXPECT_TRUE(Shows(shell.StatusBar, sShown.arg(config.Port)));
    }
}
