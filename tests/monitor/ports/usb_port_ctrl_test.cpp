// The USB port controller through the port manager, against in-memory
// receivers: finding the receiver by name, its property reply, a command and
// its reply, a full-rate stream, firmware images, reconnecting, and deleting
// the port within a second whatever it does.
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "monitor/ports/port_manager.h"
#include "monitor/ports/usb/usb_link.h"
#include "monitor/ports/usb_port_ctrl.h"
#include "support/monitor/receiver_stream.h"
#include "support/usb/usb_sim_receiver.h"

namespace
{
constexpr int kWaitMs = 10000;

const char kQuery[] = "version\r\nnetconfig\r\n";
const char kReply[] = "version\r\n<VERSION\r\nZR480-B2,R4.2.7,x,1A2B0001,ID:201901234B560042,SN:ZR4800117,F:1F\r\n"
                      "<VERSION OK\r\n[USB1]netconfig\r\n<NETCONFIG\r\nNETCONFIG DHCP 192.168.1.37\r\n"
                      "<NETCONFIG OK\r\n";

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    uint32_t seed = 7;
    for (size_t i = 0; i < n; ++i)
    {
        seed = seed * 1103515245u + 12345u;
        s[i] = static_cast<char>(seed >> 16);
    }
    return s;
}

// A receiver that answers the property query and "log version" on its channel.
std::shared_ptr<CUsbSimReceiver> MakeReceiver(const std::string& Serial, bool bAnswers = true)
{
    auto pRx = std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", Serial);
    pRx->SetTiming({1, 50});
    if (bAnswers)
    {
        pRx->SetChannelResponder(
            [](uint8_t, const std::string& Data) -> std::string
            {
                if (Data == kQuery)
                {
                    return kReply;
                }
                if (Data == "log version\r\n")
                {
                    return "log version\r\n<OK\r\n#VERSIONA,USB1,0,0.0,UNKNOWN,0,0.000;1,GPSCARD\r\n";
                }
                return {};
            });
    }
    return pRx;
}

class UsbPortCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedLink = UsbLinkTiming();
        m_SavedCtrl = QZvUSBPortCtrl::DefaultTiming();
        UsbLinkTiming().ImageReplyMs = 200;
        UsbLinkTiming().ReconnectPollMs = 20;
        QZvUSBPortCtrl::DefaultTiming().PropertyFirstWait = 50;
        Backend = std::make_shared<CUsbMemBackend>();
        ASSERT_EQ(UsbLinkSetBackend(Backend), 0);
        Manager = std::make_unique<QZvPortManager>();
        QObject::connect(Manager.get(), &QZvPortManager::SignalPostAddPort,
                         [this](uint, QZvPortCtrlBase::PORT_TYPE_E, QZvPortCtrlBase* pCtrl)
                         {
                             QObject::connect(pCtrl, &QZvPortCtrlBase::SignalUpdateUI, &m_Context,
                                              [this](uint, QZvPortCtrlBase::PORT_TYPE_E, QByteArray Data)
                                              {
                                                  Shown.append(Data);
                                                  Batches.append(Data);
                                              });
                         });
    }
    void TearDown() override
    {
        Manager.reset();
        UsbLinkTiming() = m_SavedLink;
        QZvUSBPortCtrl::DefaultTiming() = m_SavedCtrl;
    }

    // Adds a port for Name and returns its controller, or null.
    QZvUSBPortCtrl* Add(const QString& sName, uint32_t Channel = 0)
    {
        QSignalSpy added(Manager.get(), &QZvPortManager::SignalPostAddPort);
        USB_CONFIG_T usb;
        usb.DeviceName = sName;
        usb.Channel = Channel;
        if (Manager->AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_USB, &usb) != 0 || added.count() != 1)
        {
            return nullptr;
        }
        return static_cast<QZvUSBPortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    }
    bool WaitShown(const QByteArray& Text)
    {
        return QTest::qWaitFor([&] { return Shown.contains(Text); }, kWaitMs);
    }
    QString WriteImage(const QByteArray& Bytes)
    {
        const QString sPath = m_Dir.filePath(QStringLiteral("ZR480_R4.2.8.img"));
        QFile file(sPath);
        file.open(QIODevice::WriteOnly);
        file.write(Bytes);
        return sPath;
    }

    std::shared_ptr<CUsbMemBackend> Backend;
    std::unique_ptr<QZvPortManager> Manager;
    QByteArray Shown;
    QList<QByteArray> Batches;

private:
    QObject m_Context;
    QTemporaryDir m_Dir;
    USB_LINK_TIMING_T m_SavedLink;
    USB_CTRL_TIMING_T m_SavedCtrl;
};

TEST_F(UsbPortCtrlTest, TheReceiverIsFoundByNameAndSerialNumberAndAnswersItsPropertyQuery)
{
    auto other = Backend->Add(MakeReceiver("ZR4800120"));
    auto first = Backend->Add(MakeReceiver("ZR4800117"));
    // The same name twice: the later device is the one used.
    auto twin = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"), 1);
    ASSERT_NE(pCtrl, nullptr);
    EXPECT_EQ(pCtrl->GetPortName(), QStringLiteral("ZR-480 GNSS ZR4800117"));
    EXPECT_EQ(pCtrl->PortType, QZvPortCtrlBase::PORT_TYPE_USB);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    EXPECT_EQ(pCtrl->Property.Get().SN, QStringLiteral("ZR4800117"));
    EXPECT_EQ(pCtrl->Property.Get().IP, QStringLiteral("192.168.1.37"));
    EXPECT_EQ(twin->GetChannelInput(1), kQuery);
    EXPECT_EQ(first->GetLinkResets(), 0u);
    EXPECT_EQ(other->GetLinkResets(), 0u);
    // The reply is shown like anything the receiver sends.
    EXPECT_TRUE(WaitShown("<VERSION OK"));

    // A command typed by the user and the receiver's reply.
    Manager->OnSendPortData1Port(pCtrl->UniquePortID, "log version\r\n");
    EXPECT_TRUE(WaitShown("#VERSIONA,USB1"));
    EXPECT_TRUE(twin->GetChannelInput(1).find("log version\r\n") != std::string::npos);

    // The name of a device that is not attached, or a channel open already.
    QSignalSpy fail(Manager.get(), &QZvPortManager::SignalAddPortFail);
    EXPECT_EQ(Add(QStringLiteral("ZR-480 GNSS ZR4800999")), nullptr);
    EXPECT_EQ(Add(QStringLiteral("ZR-480 GNSS ZR4800117"), 1), nullptr);
    ASSERT_EQ(fail.count(), 2);
    EXPECT_EQ(fail.at(0).at(2).toInt(), USB_PORT_NO_DEVICE);
    EXPECT_EQ(fail.at(1).at(2).toInt(), USB_PORT_CANNOT_OPEN);
    EXPECT_EQ(fail.at(1).at(3).toString(), QStringLiteral("USB2"));
}

TEST_F(UsbPortCtrlTest, AReceiverStreamingBinaryLogsAroundItsReplyIsAccepted)
{
    // The receiver's queue holds binary logs (zero bytes in every header)
    // ahead of its reply, more of them than the reply area holds, and more
    // logs follow the reply.
    ReceiverStream stream;
    const auto logs = [&stream](size_t nBytes)
    {
        std::string s;
        while (s.size() < nBytes)
        {
            for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_BINARY_LOGS))
                s += it.Wire;
        }
        return s;
    };
    const std::string wire = logs(3 * QZvPortProperty::REPLY_AREA_SIZE) + kReply + logs(2000);
    auto rx = std::make_shared<CUsbSimReceiver>("ZR-480 GNSS", "ZR4800117");
    rx->SetTiming({1, 50});
    rx->SetChannelResponder([&wire](uint8_t, const std::string& Data)
                            { return Data == kQuery ? wire : std::string(); });
    Backend->Add(rx);
    ASSERT_FALSE(QZvPortCtrlBase::GetProcessMode());
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    EXPECT_EQ(pCtrl->Property.Get().SN, QStringLiteral("ZR4800117"));
    // Nothing of the stream is lost to the query: the view gets it all.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown.size() >= static_cast<int>(wire.size()); }, kWaitMs));
    EXPECT_TRUE(Shown == QByteArray::fromStdString(wire));
}

// A stream faster than a busy window takes it: every byte is either handed
// over, in order and unchanged, or counted as not handed over; none is lost
// without a word, and none is changed or reordered.
TEST_F(UsbPortCtrlTest, AStreamAtFullRateIsHandedOverInOrderOrCounted)
{
    auto rx = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    ASSERT_TRUE(WaitShown("<NETCONFIG OK\r\n"));
    Shown.clear();
    Batches.clear();
    pCtrl->TakeSkippedUiBytes();
    rx->SetTiming({0, 50});
    const std::string data = Pattern(8u << 20);
    rx->StreamChannelData(0, data, USB_LINK_INLINE_MAX, USB_LINK_MAX_TRANSFER);
    quint64 nSkipped = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            nSkipped += pCtrl->TakeSkippedUiBytes();
            return static_cast<quint64>(Shown.size()) + nSkipped >= data.size();
        },
        60000));
    EXPECT_EQ(static_cast<quint64>(Shown.size()) + nSkipped, data.size());
    // Each batch stands in the stream after the one before it.
    size_t nAt = 0;
    for (const QByteArray& batch : qAsConst(Batches))
    {
        const size_t nFound = data.find(batch.toStdString(), nAt);
        ASSERT_NE(nFound, std::string::npos) << "changed or reordered";
        nAt = nFound + static_cast<size_t>(batch.size());
    }
    if (nSkipped == 0)
    {
        EXPECT_TRUE(Shown == QByteArray::fromStdString(data));
    }
}

TEST_F(UsbPortCtrlTest, AnImageUpdateCompletesOrFailsWhenCutByAnUnplug)
{
    auto rx = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    const uint id = pCtrl->UniquePortID;
    QSignalSpy complete(Manager.get(), &QZvPortManager::SignalUpgradeFWComplete);
    QSignalSpy usbFail(Manager.get(), &QZvPortManager::SignalUSBUpdateFail);

    const QByteArray image = QByteArray::fromStdString(Pattern(300000));
    const QString sPath = WriteImage(image);
    QFile::setPermissions(sPath, QFile::ReadOwner | QFile::ReadGroup);
    Manager->OnSetUpgradeFW1Port(id, sPath);
    ASSERT_TRUE(complete.wait(kWaitMs));
    EXPECT_EQ(complete.at(0).at(0).toUInt(), id);
    ASSERT_EQ(rx->GetImages().size(), 1u);
    EXPECT_TRUE(rx->GetImages()[0] == image.toStdString());
    EXPECT_EQ(usbFail.count(), 0);

    // An image that cannot be read fails at once.
    Manager->OnSetUpgradeFW1Port(id, sPath + QStringLiteral(".missing"));
    ASSERT_TRUE(usbFail.wait(kWaitMs));
    EXPECT_EQ(usbFail.at(0).at(1).toInt(), USB_IMAGE_INPUT_ERROR);

    // Pulled out halfway: a failure, never a completion.
    rx->UnplugAfterImageBytes(100000);
    Manager->OnSetUpgradeFW1Port(id, sPath);
    ASSERT_TRUE(usbFail.wait(kWaitMs));
    EXPECT_EQ(usbFail.at(1).at(0).toUInt(), id);
    EXPECT_EQ(usbFail.at(1).at(1).toInt(), USB_IMAGE_LINK_LOST);
    EXPECT_EQ(complete.count(), 1);
    EXPECT_FALSE(pCtrl->IsUpgrading());

    // Plugged in again, the port reads on.
    rx->SetPlugged(true);
    Shown.clear();
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            Manager->OnSendPortData1Port(id, "log version\r\n");
            return QTest::qWaitFor([&] { return Shown.contains("#VERSIONA"); }, 200);
        },
        kWaitMs));
}

// The user's cancel ends an update the receiver does not take at once: no
// failure, the image never goes, and the port reads and writes again.
TEST_F(UsbPortCtrlTest, ACancelEndsARunningImageUpdateAtOnce)
{
    UsbLinkTiming().ImageAckMs = 60000;
    auto rx = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    const uint id = pCtrl->UniquePortID;
    QSignalSpy usbFail(Manager.get(), &QZvPortManager::SignalUSBUpdateFail);
    rx->SetSilent(true);
    Manager->OnSetUpgradeFW1Port(id, WriteImage(QByteArray::fromStdString(Pattern(200000))));
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsUpgrading(); }, kWaitMs));
    Manager->OnCancelUpgradeFW1Port(id);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return !pCtrl->IsUpgrading(); }, kWaitMs));
    EXPECT_TRUE(WaitShown("Upgrade canceled\r\n"));
    EXPECT_EQ(usbFail.count(), 0);

    rx->SetSilent(false);
    Manager->OnSendPortData1Port(id, "log version\r\n");
    EXPECT_TRUE(WaitShown("#VERSIONA"));
    EXPECT_TRUE(rx->GetImages().empty());
}

// While the receiver is pulled out, what the user sends waits: in the link's
// queue and, once that is full, in the port. The lost receiver is reported
// once, and when it is back everything arrives, once and in order.
TEST_F(UsbPortCtrlTest, WritesWaitForAPulledOutReceiverWhoseLossIsReported)
{
    auto rx = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    const uint id = pCtrl->UniquePortID;
    QSignalSpy fail(Manager.get(), &QZvPortManager::SignalAddPortFail);
    rx->SetPlugged(false);
    std::string sent;
    for (int i = 0; i < 400; ++i)
    {
        const QByteArray cmd = QByteArrayLiteral("log range ontime ") + QByteArray::number(i) + "\r\n";
        Manager->OnSendPortData1Port(id, cmd);
        sent += cmd.toStdString();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return fail.count() > 0; }, kWaitMs));
    EXPECT_EQ(fail.at(0).at(0).toUInt(), id);
    EXPECT_EQ(fail.at(0).at(2).toInt(), USB_PORT_LINK_DOWN);
    EXPECT_EQ(fail.at(0).at(3).toString(), QStringLiteral("ZR-480 GNSS ZR4800117"));

    rx->SetPlugged(true);
    const std::string expected = kQuery + sent;
    ASSERT_TRUE(QTest::qWaitFor([&] { return rx->GetChannelInput(0).size() >= expected.size(); }, kWaitMs));
    EXPECT_TRUE(rx->GetChannelInput(0) == expected) << "lost, repeated or reordered";
    Shown.clear();
    Manager->OnSendPortData1Port(id, "log version\r\n");
    EXPECT_TRUE(WaitShown("#VERSIONA"));
    EXPECT_EQ(fail.count(), 1);
}

TEST_F(UsbPortCtrlTest, DisconnectingClosesTheChannelAndReconnectingFindsTheReceiverAgain)
{
    auto rx = Backend->Add(MakeReceiver("ZR4800117"));
    QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ZR4800117"));
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
    const uint id = pCtrl->UniquePortID;
    Manager->DisconnectPort(0, id);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return !pCtrl->IsChannelOpen(); }, kWaitMs));

    // The receiver is pulled out and put back meanwhile: it has a new device record.
    rx->SetPlugged(false);
    UsbLinkGetDeviceCount();
    rx->SetPlugged(true);
    Shown.clear();
    Manager->ReconnectPort(0, id);
    ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsChannelOpen(); }, kWaitMs));
    ASSERT_TRUE(WaitShown("<VERSION OK")) << "the property query is asked again";
    Manager->OnSendPortData1Port(id, "log version\r\n");
    EXPECT_TRUE(WaitShown("#VERSIONA"));
}

TEST_F(UsbPortCtrlTest, DeletingThePortEndsItWithinASecondWhateverItDoes)
{
    QZvUSBPortCtrl::DefaultTiming().PropertyFirstWait = 1000;
    UsbLinkTiming().ImageAckMs = 5000;
    struct CASE_T
    {
        const char* pName;
        bool bAnswers;
        std::function<void(CUsbSimReceiver&, QZvUSBPortCtrl*)> Enter;
    };
    const QString sImage = WriteImage(QByteArray::fromStdString(Pattern(200000)));
    const CASE_T cases[] = {
        {"asking for its properties", false, [](CUsbSimReceiver&, QZvUSBPortCtrl*) {}},
        {"streaming", true,
         [](CUsbSimReceiver& Rx, QZvUSBPortCtrl*)
         {
             Rx.SetTiming({0, 50});
             Rx.StreamChannelData(0, Pattern(4u << 20), USB_LINK_INLINE_MAX, USB_LINK_MAX_TRANSFER);
         }},
        {"updating an image the receiver does not take", true,
         [this, &sImage](CUsbSimReceiver& Rx, QZvUSBPortCtrl* pCtrl)
         {
             Rx.SetSilent(true);
             Manager->OnSetUpgradeFW1Port(pCtrl->UniquePortID, sImage);
             EXPECT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsUpgrading(); }, kWaitMs));
         }},
        {"waiting for its unplugged receiver", true,
         [](CUsbSimReceiver& Rx, QZvUSBPortCtrl*) { Rx.SetPlugged(false); }},
        {"disconnected", true,
         [this](CUsbSimReceiver&, QZvUSBPortCtrl* pCtrl)
         {
             Manager->DisconnectPort(0, pCtrl->UniquePortID);
             EXPECT_TRUE(QTest::qWaitFor([pCtrl] { return !pCtrl->IsChannelOpen(); }, kWaitMs));
         }},
    };
    int serial = 0;
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.pName);
        const std::string sn = "ZR48002" + std::to_string(serial++);
        auto rx = Backend->Add(MakeReceiver(sn, c.bAnswers));
        QZvUSBPortCtrl* pCtrl = Add(QStringLiteral("ZR-480 GNSS ") + QString::fromStdString(sn));
        ASSERT_NE(pCtrl, nullptr);
        if (c.bAnswers)
        {
            ASSERT_TRUE(QTest::qWaitFor([pCtrl] { return pCtrl->IsPropertyValid(); }, kWaitMs));
        }
        c.Enter(*rx, pCtrl);
        QTest::qWait(100);
        QPointer<QZvPortCtrlBase> alive(pCtrl);
        QElapsedTimer timer;
        timer.start();
        Manager->DeletePortCtrl(pCtrl->UniquePortID);
        ASSERT_TRUE(QTest::qWaitFor([&] { return alive.isNull(); }, kWaitMs));
        EXPECT_LT(timer.elapsed(), 1000);
        rx->SetPlugged(false);
    }
    EXPECT_EQ(QZvUSBPortCtrl::GetLiveUsbCount(), 0u);
}
} // namespace
