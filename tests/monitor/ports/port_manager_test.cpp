// The port manager: IDs across kinds and failed set-ups, calls addressed to
// IDs that name no port, and the reports it passes on.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstring>
#include <gtest/gtest.h>

#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb_port_ctrl.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/handed_over.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/tcp_receiver.h"
#include "support/usb/usb_mem_backend.h"

TEST(PortManager, FailedSetUpUsesItsIdAndIsNotKept)
{
    QTemporaryDir dir;
    QZvPortManager manager;
    QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
    QSignalSpy fail(&manager, &QZvPortManager::SignalAddPortFail);
    const uint before = QZvPortCtrlBase::GetLastUniquePortID();

    REPLAY_CONFIG_T missing;
    missing.FilePath = dir.filePath(QStringLiteral("missing.log"));
    EXPECT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_REPLAY, &missing), 1);
    ASSERT_EQ(fail.count(), 1);
    EXPECT_EQ(fail.at(0).at(0).toUInt(), before + 1);
    EXPECT_EQ(fail.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_REPLAY);
    EXPECT_EQ(fail.at(0).at(2).toInt(), 1);
    EXPECT_EQ(fail.at(0).at(3).toString(), missing.FilePath);
    EXPECT_EQ(manager.GetPortCtrl(before + 1), nullptr);

    // Unknown kinds and missing records create nothing and use no ID.
    TCP_CONFIG_T tcp;
    EXPECT_EQ(manager.AddPortCtrl(static_cast<QZvPortCtrlBase::PORT_TYPE_E>(7), &tcp), 1);
    EXPECT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, nullptr), 1);
    EXPECT_EQ(fail.count(), 1);

    CTcpReceiver rx;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = rx.Listen();
    ASSERT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp), 0);
    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added.at(0).at(0).toUInt(), before + 2);
    EXPECT_EQ(added.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_TCP);
    QZvPortCtrlBase* pCtrl = added.at(0).at(2).value<QZvPortCtrlBase*>();
    EXPECT_EQ(manager.GetPortCtrl(before + 2), pCtrl);
    EXPECT_EQ(manager.GetPortIDs(), QList<uint>{before + 2});
}

// The connection dialogs hear of a failure only by the signal, never by the
// return value: a USB receiver that is not attached, or not by that name.
TEST(PortManager, AUsbPortWithoutItsReceiverIsReportedAsAFailure)
{
    auto backend = std::make_shared<CUsbMemBackend>();
    ASSERT_EQ(UsbLinkSetBackend(backend), 0);
    USB_CONFIG_T usb;
    usb.DeviceName = QStringLiteral("ZV100 0123456789");
    usb.Channel = 1;
    for (int attached = 0; attached < 2; ++attached)
    {
        if (attached == 1)
        {
            backend->Add(std::make_shared<CUsbMemDevice>("ZV100", "0123456788"));
        }
        QZvPortManager manager;
        QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
        QSignalSpy fail(&manager, &QZvPortManager::SignalAddPortFail);
        const uint before = QZvPortCtrlBase::GetLastUniquePortID();
        EXPECT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_USB, &usb), 1);
        ASSERT_EQ(fail.count(), 1);
        EXPECT_EQ(fail.at(0).at(0).toUInt(), before + 1);
        EXPECT_EQ(fail.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_USB);
        EXPECT_EQ(fail.at(0).at(2).toInt(), USB_PORT_NO_DEVICE);
        EXPECT_EQ(fail.at(0).at(3).toString(), QStringLiteral("USB2"));
        EXPECT_EQ(added.count(), 0);
        EXPECT_TRUE(manager.GetPortIDs().isEmpty());
    }
}

TEST(PortManager, SerialFailureInItsThreadReachesTheManager)
{
    QTemporaryDir dir;
    QZvPortManager manager;
    QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
    QSignalSpy fail(&manager, &QZvPortManager::SignalAddPortFail);
    UART_CONFIG_T uart;
    uart.PortName = dir.filePath(QStringLiteral("ttyNONE"));
    uart.BaudRate = 0;
    ASSERT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_UART, &uart), 0);
    ASSERT_EQ(added.count(), 1);
    const uint id = added.at(0).at(0).toUInt();
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(0).toUInt(), id);
    EXPECT_EQ(fail.at(0).at(1).value<QZvPortCtrlBase::PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_UART);
    EXPECT_EQ(fail.at(0).at(2).toInt(), -1);
    EXPECT_EQ(fail.at(0).at(3).toString(), uart.PortName);
    EXPECT_NE(manager.GetPortCtrl(id), nullptr) << "the port stays, to be reconnected or deleted";
    EXPECT_EQ(manager.AutoReconnectPort(0, id + 1), 0);
}

TEST(PortManager, CallsForIdsThatNameNoPortDoNothing)
{
    QZvPortManager manager;
    QSignalSpy status(&manager, &QZvPortManager::SignalConnectStatus);
    QSignalSpy send(&manager, &QZvPortManager::SignalSendPortData);
    QSignalSpy upgrade(&manager, &QZvPortManager::SignalUpgradeFW);
    for (uint id : {0u, 12345u})
    {
        EXPECT_EQ(manager.DeletePortCtrl(id), 0);
        EXPECT_EQ(manager.SetActivePortID(id, true), 0);
        EXPECT_EQ(manager.DisconnectPort(0, id), 0);
        EXPECT_EQ(manager.ReconnectPort(0, id), 0);
        EXPECT_EQ(manager.AutoReconnectPort(0, id), 0);
        EXPECT_EQ(manager.RefreshProperty(0, id), 0);
        manager.OnSendPortData1Port(id, "x");
        manager.OnSetUpgradeFW1Port(id, QStringLiteral("fw.img"));
    }
    EXPECT_EQ(status.count() + send.count() + upgrade.count(), 0);
    manager.OnSendPortData1Port(QZvPortCtrlBase::ANY_PORT_ID, "to every port");
    EXPECT_EQ(send.count(), 1);
}

TEST(PortManager, RoutesCallsAndReportsToOnePort)
{
    QTemporaryDir dir;
    QZvPortManager manager;
    CTcpReceiver rx;
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = rx.Listen();
    QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
    ASSERT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &tcp), 0);
    auto* pTcp = static_cast<QZvTCPPortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    ASSERT_TRUE(QTest::qWaitFor([pTcp] { return pTcp->IsPropertyValid(); }, 20000));

    manager.SetActivePortID(pTcp->UniquePortID, true);
    EXPECT_TRUE(QTest::qWaitFor([pTcp] { return pTcp->GetTimerInterval() == 200; }, 20000));
    manager.SetActivePortID(pTcp->UniquePortID, false);
    EXPECT_TRUE(QTest::qWaitFor([pTcp] { return pTcp->GetTimerInterval() == 1000; }, 20000));

    // Serial ports only.
    QSignalSpy auto_(&manager, &QZvPortManager::SignalAutoReConnectStatus);
    EXPECT_EQ(manager.AutoReconnectPort(0, pTcp->UniquePortID), 0);

    // A refresh queries the receiver again.
    manager.RefreshProperty(0, pTcp->UniquePortID);
    EXPECT_TRUE(rx.WaitFor("version\r\nnetconfig\r\nversion\r\nnetconfig\r\n"));

    // A log file that cannot be opened is reported for its port.
    QSignalSpy openFail(&manager, &QZvPortManager::SignalOpenFileFail);
    const QString sBad = dir.filePath(QStringLiteral("no/such/dir/log.bin"));
    QMetaObject::invokeMethod(pTcp,
                              [pTcp, sBad]
                              {
                                  pTcp->OnSetFileName(sBad);
                                  pTcp->OnOpenFile();
                              });
    ASSERT_TRUE(openFail.wait(20000));
    EXPECT_EQ(openFail.at(0).at(0).toUInt(), pTcp->UniquePortID);
    EXPECT_EQ(openFail.at(0).at(1).toString(), sBad);
    EXPECT_EQ(auto_.count(), 0);

    manager.OnProfressionMode(true);
    EXPECT_TRUE(QZvPortCtrlBase::GetProcessMode());
    manager.OnProfressionMode(false);
    EXPECT_FALSE(QZvPortCtrlBase::GetProcessMode());
}

// A port's first bytes come soon after it starts: a replayed file's first
// block, a TCP receiver's answer to the property query. What the port's
// announcement connects (its tab's view) gets them however long the receivers
// of the announcement take, as a tab does while the program starts or the
// machine is loaded.
TEST(PortManager, APortsFirstBytesReachWhatItsAnnouncementConnectsHoweverLongThatTakes)
{
    QTemporaryDir dir;
    const QString sPath = dir.filePath(QStringLiteral("short.log"));
    QFile f(sPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("$GPGGA,first block\r\n");
    f.close();
    REPLAY_CONFIG_T replay;
    replay.FileName = QStringLiteral("short.log");
    replay.FilePath = sPath;
    FakeReceiver rx;
    TCP_CONFIG_T tcp;
    tcp.IPAddress = QStringLiteral("127.0.0.1");
    tcp.Port = rx.Listen();
    ASSERT_NE(tcp.Port, 0u);
    const struct
    {
        const char* Name;
        QZvPortCtrlBase::PORT_TYPE_E Type;
        void* pConfig;
        QByteArray First;
    } cases[] = {
        {"replay", QZvPortCtrlBase::PORT_TYPE_REPLAY, &replay, "$GPGGA,first block\r\n"},
        {"tcp", QZvPortCtrlBase::PORT_TYPE_TCP, &tcp, "<VERSION OK"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        QZvPortManager manager;
        std::unique_ptr<CHandedOver> pHanded;
        // A slow receiver first (several of the port's status ticks), then the view.
        QObject::connect(&manager, &QZvPortManager::SignalPostAddPort, [] { QThread::msleep(300); });
        QObject::connect(&manager, &QZvPortManager::SignalPostAddPort,
                         [&](uint, QZvPortCtrlBase::PORT_TYPE_E, QZvPortCtrlBase* pCtrl)
                         { pHanded = std::make_unique<CHandedOver>(pCtrl); });
        ASSERT_EQ(manager.AddPortCtrl(c.Type, c.pConfig), 0);
        ASSERT_NE(pHanded, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return pHanded->Bytes().contains(c.First); }))
            << pHanded->Bytes().left(200).toStdString();
    }
}

TEST(PortManager, ReplayPortPausesOnDisconnect)
{
    QTemporaryDir dir;
    const QString sPath = dir.filePath(QStringLiteral("log.bin"));
    QFile f(sPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(200000, 'x'));
    f.close();
    REPLAY_CONFIG_T config;
    config.FileName = QStringLiteral("log.bin");
    config.FilePath = sPath;
    config.Speed = 10;
    QZvPortManager manager;
    QSignalSpy added(&manager, &QZvPortManager::SignalPostAddPort);
    ASSERT_EQ(manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_REPLAY, &config), 0);
    auto* p = static_cast<QZvFilePortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    QSignalSpy data(p, &QZvPortCtrlBase::SignalUpdateUI);
    ASSERT_TRUE(data.wait(20000));
    manager.DisconnectPort(0, p->UniquePortID);
    EXPECT_TRUE(p->IsPaused());
    QTest::qWait(50);
    const int paused = data.count();
    QTest::qWait(100);
    EXPECT_EQ(data.count(), paused);
    manager.ReconnectPort(0, p->UniquePortID);
    EXPECT_TRUE(data.wait(20000));
    EXPECT_FALSE(p->IsPaused());
}
