// TCP ports against a fake receiver on a loopback port, through the port
// manager: connecting, reading at the status tick with the byte rate, writing
// by port ID, losing and restoring the connection, deleting a port whatever it
// is doing, raw log files, and the remote firmware upgrade.
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "full_listener.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/tcp_port_ctrl.h"
#include "support/monitor/handed_over.h"
#include "support/monitor/tcp_receiver.h"

namespace
{
using PORT_TYPE_E = QZvPortCtrlBase::PORT_TYPE_E;

class TcpPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedTiming = QZvTCPPortCtrl::Timing();
        QZvTCPPortCtrl::TIMING_T& t = QZvTCPPortCtrl::Timing();
        t.ReconnectDelayMs = 20;
        t.UpgradeCmdDelayMs = 10;
        t.AckWaitMs = 300;
        t.FrameWriteMs = 300;
    }
    void TearDown() override { QZvTCPPortCtrl::Timing() = m_SavedTiming; }

    // Adds a TCP port to the manager; the new controller, or null.
    QZvTCPPortCtrl* Add(const QString& sHost, quint16 nPort)
    {
        TCP_CONFIG_T config;
        config.IPAddress = sHost;
        config.Port = nPort;
        QSignalSpy added(&m_Manager, &QZvPortManager::SignalPostAddPort);
        if (m_Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_TCP, &config) != 0 || added.count() != 1)
        {
            return nullptr;
        }
        return static_cast<QZvTCPPortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    }
    // Waits for a connected port whose receiver answered the property query.
    static bool WaitReady(QZvPortCtrlBase* pCtrl, int nMs = 20000)
    {
        return QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, nMs);
    }
    QString WriteImage(int nSize)
    {
        const QString sPath = m_Dir.filePath(QStringLiteral("fw_%1.img").arg(nSize));
        QFile f(sPath);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(nSize, 'F'));
        return sPath;
    }

    QZvTCPPortCtrl::TIMING_T m_SavedTiming;
    QTemporaryDir m_Dir;
    QZvPortManager m_Manager;
};

} // namespace

TEST_F(TcpPort, ReadsAtTheTickWithByteRateAndWritesByPortId)
{
    CTcpReceiver rxA, rxB;
    rxA.m_AfterReply = QByteArray(2100, 'a');
    const quint16 portA = rxA.Listen();
    QZvTCPPortCtrl* pA = Add(QStringLiteral("127.0.0.1"), portA);
    QZvTCPPortCtrl* pB = Add(QStringLiteral("127.0.0.1"), rxB.Listen());
    ASSERT_TRUE(pA && pB);
    EXPECT_EQ(pB->UniquePortID, pA->UniquePortID + 1);
    EXPECT_EQ(m_Manager.GetPortCtrl(pA->UniquePortID), pA);
    CHandedOver dataA(pA);
    ASSERT_TRUE(WaitReady(pA));
    ASSERT_TRUE(WaitReady(pB));
    EXPECT_EQ(pA->GetPortName(), "127.0.0.1");
    EXPECT_EQ(pA->GetTcpConfig().Port, portA);
    const PORT_PROPERTY_T prop = pA->Property.Get();
    EXPECT_EQ(prop.Port, "ICOM1");
    EXPECT_EQ(prop.SN, "0123456789");

    // The reply and what follows it reach the view, batched by the status tick.
    const QByteArray expected = rxA.PropertyReply() + rxA.m_AfterReply;
    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(dataA).size() >= expected.size(); }, 20000));
    EXPECT_EQ(Joined(dataA), expected);
    EXPECT_LE(dataA.count(), 2);
    EXPECT_EQ(dataA.at(0).at(0).toUInt(), pA->UniquePortID);
    EXPECT_EQ(dataA.at(0).at(1).value<PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_TCP);
    // Rate over 21 ticks of 50 ms, once the first whole window is measured
    // (before it, the rate of the ticks so far shows).
    const uint nRate = static_cast<uint>(expected.size() * 1000 / 1050);
    EXPECT_TRUE(QTest::qWaitFor([pA, nRate] { return pA->GetByteRate() == nRate; }, 20000)) << pA->GetByteRate();

    m_Manager.OnSendPortData1Port(pA->UniquePortID, "log bestposa ontime 1\r\n");
    m_Manager.OnSendPortData1Port(QZvPortCtrlBase::ANY_PORT_ID, "log versiona once\r\n");
    m_Manager.OnSendPortData1Port(pB->UniquePortID + 100, "unlogall\r\n");
    ASSERT_TRUE(rxA.WaitFor("log versiona once\r\n"));
    ASSERT_TRUE(rxB.WaitFor("log versiona once\r\n"));
    EXPECT_TRUE(rxA.m_Received.contains("log bestposa ontime 1\r\n"));
    EXPECT_FALSE(rxB.m_Received.contains("log bestposa"));
    QTest::qWait(50);
    EXPECT_FALSE(rxA.m_Received.contains("unlogall") || rxB.m_Received.contains("unlogall"));

    // A deleted port is gone for good; the other keeps working.
    const uint idA = pA->UniquePortID;
    m_Manager.DeletePortCtrl(idA);
    EXPECT_EQ(m_Manager.GetPortCtrl(idA), nullptr);
    m_Manager.OnSendPortData1Port(idA, "lost\r\n");
    m_Manager.OnSendPortData1Port(pB->UniquePortID, "still here\r\n");
    ASSERT_TRUE(rxB.WaitFor("still here\r\n"));
    EXPECT_FALSE(rxA.m_Received.contains("lost"));
}

TEST_F(TcpPort, LostConnectionIsReportedAndMadeAgain)
{
    CTcpReceiver rx;
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    rx.DropClient();
    ASSERT_TRUE(rx.WaitForConnections(2));
    ASSERT_EQ(fail.count(), 1);
    EXPECT_EQ(fail.at(0).at(0).toUInt(), p->UniquePortID);
    EXPECT_EQ(fail.at(0).at(1).value<PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_TCP);
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(QAbstractSocket::RemoteHostClosedError));
    EXPECT_EQ(fail.at(0).at(3).toString(), "127.0.0.1");
    // The new connection queries the receiver again and carries data.
    ASSERT_TRUE(rx.WaitFor("version\r\nnetconfig\r\nversion\r\nnetconfig\r\n"));
    m_Manager.OnSendPortData1Port(p->UniquePortID, "after the loss\r\n");
    EXPECT_TRUE(rx.WaitFor("after the loss\r\n"));
}

TEST_F(TcpPort, FailedPortReportsAfterItsTabExistsAndCanBeReconnected)
{
    CTcpReceiver rx;
    const quint16 port = rx.Listen();
    rx.Close();
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QSignalSpy status(&m_Manager, &QZvPortManager::SignalConnectStatus);
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), port);
    ASSERT_NE(p, nullptr) << "the port is added; its thread finds the refusal";
    ASSERT_TRUE(fail.count() == 1 || fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(QAbstractSocket::ConnectionRefusedError));
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
    EXPECT_EQ(m_Manager.GetPortCtrl(p->UniquePortID), p);

    ASSERT_EQ(rx.Listen(port), port);
    m_Manager.ReconnectPort(3, p->UniquePortID);
    ASSERT_TRUE(rx.WaitForConnections(1));
    ASSERT_TRUE(WaitReady(p));
    ASSERT_EQ(status.count(), 1);
    EXPECT_EQ(status.at(0).at(0).toInt(), 3);
    EXPECT_EQ(status.at(0).at(2).toInt(), 0);

    // Disconnect keeps the port; reconnect makes the connection again.
    m_Manager.DisconnectPort(3, p->UniquePortID);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rx.m_Disconnections == 1; }, 20000));
    EXPECT_EQ(status.at(1).at(2).toInt(), 1);
    QTest::qWait(100);
    EXPECT_EQ(rx.m_Connections, 1) << "a disconnected port does not retry";
    QSignalSpy upgradeFail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, WriteImage(100));
    ASSERT_TRUE(upgradeFail.wait(20000)) << "no upgrade without a connection";
    EXPECT_FALSE(p->IsUpgrading());
    m_Manager.ReconnectPort(3, p->UniquePortID);
    ASSERT_TRUE(rx.WaitForConnections(2));

    QElapsedTimer clock;
    clock.start();
    m_Manager.DeletePortCtrl(p->UniquePortID);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(TcpPort, DeletingAPortReturnsWithinASecondWhateverItDoes)
{
    QZvTCPPortCtrl::Timing().ReconnectDelayMs = 60000;
    CTcpReceiver rx;
    QZvTCPPortCtrl* pRetrying = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(pRetrying && WaitReady(pRetrying));
    rx.DropClient();
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    ASSERT_TRUE(fail.wait(20000)) << "lost, now waiting a minute to retry";

    CFullListener full;
    ASSERT_NE(full.Port(), 0);
    QZvTCPPortCtrl* pConnecting = Add(QStringLiteral("127.0.0.1"), full.Port());
    QZvTCPPortCtrl* pResolving = Add(QStringLiteral("receiver.invalid"), 28000);
    ASSERT_TRUE(pConnecting && pResolving);
    QTest::qWait(100);
    EXPECT_TRUE(pConnecting->isRunning());

    for (QZvTCPPortCtrl* p : {pRetrying, pConnecting, pResolving})
    {
        const uint id = p->UniquePortID;
        QElapsedTimer clock;
        clock.start();
        m_Manager.DeletePortCtrl(id);
        EXPECT_LT(clock.elapsed(), 1000) << id;
        EXPECT_EQ(m_Manager.GetPortCtrl(id), nullptr);
    }
}

TEST_F(TcpPort, ConnectionAttemptsGiveUpAfterTheirTotal)
{
    QZvTCPPortCtrl::TIMING_T& t = QZvTCPPortCtrl::Timing();
    t.ConnectTimeoutMs = 40;
    t.GiveUpMs = 100;
    CFullListener full;
    ASSERT_NE(full.Port(), 0);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), full.Port());
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(QAbstractSocket::SocketTimeoutError));
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
    EXPECT_EQ(fail.count(), 1);
}

TEST_F(TcpPort, HostThatDoesNotResolveIsRetriedWithPausesThenReported)
{
    QZvTCPPortCtrl::TIMING_T& t = QZvTCPPortCtrl::Timing();
    t.RetryDelayMs = 30;
    t.GiveUpMs = 100;
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QElapsedTimer clock;
    clock.start();
    QZvTCPPortCtrl* p = Add(QStringLiteral("receiver.invalid"), 28000);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(fail.wait(20000));
    const int error = fail.at(0).at(2).toInt();
    if (error == static_cast<int>(QAbstractSocket::HostNotFoundError))
    {
        EXPECT_GE(clock.elapsed(), 90) << "four pauses before giving up";
    }
    EXPECT_EQ(fail.at(0).at(3).toString(), "receiver.invalid");
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
}

TEST_F(TcpPort, WritesTheRawLogFile)
{
    CTcpReceiver rx;
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    CHandedOver data(p);
    const QString sPath = m_Dir.filePath(QStringLiteral("rover.bin"));
    QMetaObject::invokeMethod(p,
                              [p, sPath]
                              {
                                  p->OnSetFileName(sPath);
                                  p->OnOpenFile();
                              });
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->IsLogging(); }, 20000));
    QByteArray binary;
    for (int i = 0; i < 10000; ++i)
    {
        binary += static_cast<char>((i * 7) & 0xFF);
    }
    rx.Send(binary);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(data).size() >= binary.size(); }, 20000));
    EXPECT_EQ(p->GetLogFileSize(), static_cast<quint64>(binary.size()));
    QMetaObject::invokeMethod(p, [p] { p->OnCloseFile(); });
    ASSERT_TRUE(QTest::qWaitFor([p] { return !p->IsLogging(); }, 20000));
    QFile log(sPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), binary);
}

TEST_F(TcpPort, UpgradeToAReceiverThatAcknowledges)
{
    CTcpReceiver rx;
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    CHandedOver data(p);
    QSignalSpy done(&m_Manager, &QZvPortManager::SignalUpgradeFWComplete);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    const QString sImage = WriteImage(3000);
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, sImage);
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(done.at(0).at(0).toUInt(), p->UniquePortID);
    EXPECT_EQ(fail.count(), 0);
    EXPECT_FALSE(p->IsUpgrading());

    ASSERT_EQ(rx.m_Frames.size(), 3);
    EXPECT_EQ(rx.m_Frames[0].mid(8, 8), QByteArray("01234567")) << "identity from the serial number";
    EXPECT_EQ(rx.m_Frames[2].mid(20, 156), QByteArray(156, 'F'));
    EXPECT_EQ(rx.m_Frames[2].mid(176, 1266), QByteArray(1266, '\0'));
    ASSERT_TRUE(rx.WaitFor("SET UPGRADEPORT -1\r\nSET UPGRADEPORT -1\r\n"));
    const QByteArray& stream = rx.m_Received;
    const int cmd = stream.indexOf("SET UPGRADEPORT 65\r\nSET UPGRADEPORT 65\r\n");
    ASSERT_GE(cmd, 0);
    EXPECT_LT(cmd, stream.indexOf("\xD3\x05\xA0"));
    EXPECT_GT(stream.indexOf("SET UPGRADEPORT -1"), stream.lastIndexOf("\xD3\x05\xA0"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(data).contains("System Restart"); }, 20000));
    const QByteArray shown = Joined(data);
    const int start = shown.indexOf("Start to upgrage firmware:" + sImage.toUtf8() + "\n");
    const int last = shown.indexOf("Send:100%     3000/    3000 Byte [" + QByteArray(50, '=') + "]");
    EXPECT_GE(start, 0);
    EXPECT_GT(last, start);
    // The receiver's reply to the last frame may come after the upgrade has
    // ended on an earlier reply; it is shown as received data behind the end.
    const int end = shown.indexOf("Transmit Complete\nSystem Restart");
    EXPECT_GT(end, last);
    const QByteArray after = shown.mid(end + 32);
    EXPECT_TRUE(after.isEmpty() || after.startsWith("\xD3")) << after.toStdString();
    EXPECT_FALSE(shown.contains("RemoRESP")) << "replies during the upgrade are not shown";
}

TEST_F(TcpPort, UpgradeToASilentReceiverFailsAndDropsCommandsMeanwhile)
{
    CTcpReceiver rx;
    rx.m_eReply = CTcpReceiver::REPLY_NEVER;
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    CHandedOver data(p);
    QSignalSpy done(&m_Manager, &QZvPortManager::SignalUpgradeFWComplete);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, WriteImage(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rx.m_Frames.size() == 4; }, 20000));
    m_Manager.OnSendPortData1Port(p->UniquePortID, "log bestposa\r\n");
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(0).toUInt(), p->UniquePortID);
    EXPECT_EQ(done.count(), 0);
    EXPECT_FALSE(p->IsUpgrading());
    ASSERT_TRUE(rx.WaitFor("SET UPGRADEPORT -1\r\nSET UPGRADEPORT -1\r\n"));
    EXPECT_FALSE(rx.m_Received.contains("log bestposa")) << "no command between or after the frames";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(data).contains("no reply"); }, 20000));
    EXPECT_FALSE(Joined(data).contains("Transmit Complete"));

    // The port works normally afterwards.
    m_Manager.OnSendPortData1Port(p->UniquePortID, "log versiona\r\n");
    EXPECT_TRUE(rx.WaitFor("log versiona\r\n"));
}

TEST_F(TcpPort, UpgradesThatCannotStart)
{
    CTcpReceiver rx;
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    CHandedOver data(p);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    QSignalSpy done(&m_Manager, &QZvPortManager::SignalUpgradeFWComplete);
    const QString images[] = {WriteImage(0), m_Dir.filePath(QStringLiteral("missing.img"))};
    for (const QString& sImage : images)
    {
        m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, sImage);
        ASSERT_TRUE(fail.wait(20000)) << qPrintable(sImage);
        EXPECT_FALSE(p->IsUpgrading());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(data).contains("missing.img"); }, 20000));
    EXPECT_TRUE(Joined(data).contains("the image is empty"));
    m_Manager.OnSendPortData1Port(p->UniquePortID, "log versiona\r\n");
    ASSERT_TRUE(rx.WaitFor("log versiona\r\n"));
    EXPECT_FALSE(rx.m_Received.contains("SET UPGRADEPORT")) << "nothing is sent for an image that cannot go";
    EXPECT_EQ(done.count(), 0);
}

TEST_F(TcpPort, UpgradeOnlyThroughANetworkPort)
{
    CTcpReceiver rx("[COM1]");
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, WriteImage(100));
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID + 50, WriteImage(100));
    m_Manager.OnSendPortData1Port(p->UniquePortID, "log versiona\r\n");
    ASSERT_TRUE(rx.WaitFor("log versiona\r\n"));
    EXPECT_FALSE(rx.m_Received.contains("SET UPGRADEPORT"));
    EXPECT_FALSE(p->IsUpgrading());
}

TEST_F(TcpPort, UpgradeCanBeCanceled)
{
    CTcpReceiver rx;
    rx.m_eReply = CTcpReceiver::REPLY_NEVER;
    QZvTCPPortCtrl::Timing().AckWaitMs = 60000;
    QZvTCPPortCtrl* p = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(p && WaitReady(p));
    CHandedOver data(p);
    QSignalSpy done(&m_Manager, &QZvPortManager::SignalUpgradeFWComplete);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    m_Manager.OnSetUpgradeFW1Port(p->UniquePortID, WriteImage(1000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rx.m_Frames.size() == 1; }, 20000));
    m_Manager.OnCancelUpgradeFW1Port(p->UniquePortID);
    ASSERT_TRUE(rx.WaitFor("SET UPGRADEPORT -1\r\nSET UPGRADEPORT -1\r\n"));
    EXPECT_FALSE(p->IsUpgrading());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Joined(data).contains("Upgrade canceled\r\n"); }, 20000));
    EXPECT_EQ(done.count() + fail.count(), 0);
}

TEST_F(TcpPort, ReceiverThatStopsTakingTheImage)
{
    CTcpReceiver rx;
    rx.m_eReply = CTcpReceiver::STOP_READING;
    QZvTCPPortCtrl* pFails = Add(QStringLiteral("127.0.0.1"), rx.Listen());
    ASSERT_TRUE(pFails && WaitReady(pFails));
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalUpdateFail);
    // Far more than the socket buffers hold.
    const QString sImage = m_Dir.filePath(QStringLiteral("large.img"));
    QFile large(sImage);
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(40 * 1024 * 1024));
    large.close();
    m_Manager.OnSetUpgradeFW1Port(pFails->UniquePortID, sImage);
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_FALSE(pFails->IsUpgrading());

    // And deleting a port in the middle of an upload.
    CTcpReceiver rx2;
    rx2.m_eReply = CTcpReceiver::STOP_READING;
    QZvTCPPortCtrl::Timing().FrameWriteMs = 30000;
    QZvTCPPortCtrl* pDeleted = Add(QStringLiteral("127.0.0.1"), rx2.Listen());
    ASSERT_TRUE(pDeleted && WaitReady(pDeleted));
    m_Manager.OnSetUpgradeFW1Port(pDeleted->UniquePortID, sImage);
    ASSERT_TRUE(rx2.WaitFor("SET UPGRADEPORT 65\r\n"));
    QTest::qWait(200);
    QElapsedTimer clock;
    clock.start();
    m_Manager.DeletePortCtrl(pDeleted->UniquePortID);
    EXPECT_LT(clock.elapsed(), 1000);
}
