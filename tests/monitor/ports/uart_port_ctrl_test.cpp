// The serial port controller against a fake receiver on a pseudo-terminal:
// connecting (with or without rate detection), reading on its timer, writing
// commands, changing the rate, upgrading firmware, losing the device and
// reconnecting, and ending promptly when the port is deleted.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "monitor/ports/uart_port_ctrl.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/pty_receiver.h"

namespace
{
UART_CTRL_TIMING_T FastTiming()
{
    UART_CTRL_TIMING_T t;
    t.Device = FastUartTiming();
    t.PropertyPoll = 20;
    t.PropertyPolls = 100; // ends at the reply; room for a loaded machine
    t.IdleLimit = 60;
    t.ReconnectFirstWait = 20;
    t.ReconnectSettle = 20;
    t.ReconnectAttempts = 4;
    t.RateChangeWait = 10;
    t.RateSettle = 10;
    t.UpgradeCmdWait = 10;
    t.UpgradeSaveWait = 10;
    return t;
}

bool WaitUntil(const std::function<bool()>& Done, int Ms = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!Done())
    {
        if (clock.elapsed() > Ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

// What the controller reports, collected in the test's thread.
struct Reports : QObject
{
    QByteArray Shown;
    QList<int> AddFails;
    QList<bool> ReconnectFailed;
    int Complete = 0;
    int UpdateFail = 0;
    int BoardReset = 0;
    int Removed = 0;

    void Watch(QZvUartPortCtrl& Ctrl)
    {
        connect(&Ctrl, &QZvPortCtrlBase::SignalUpdateUI, this,
                [this](uint, QZvPortCtrlBase::PORT_TYPE_E, QByteArray Data) { Shown += Data; });
        connect(&Ctrl, &QZvPortCtrlBase::SignalAddPortFail, this,
                [this](uint, QZvPortCtrlBase::PORT_TYPE_E, int Err, QString)
                {
                    AddFails << Err;
                    Removed += Err == PORT_FAIL_DEVICE_LOST ? 1 : 0;
                });
        connect(&Ctrl, &QZvPortCtrlBase::SignalReconnectPortComplete, this,
                [this](uint, bool bFailed) { ReconnectFailed << bFailed; });
        connect(&Ctrl, &QZvPortCtrlBase::SignalFWUpgradeComplete, this, [this](uint) { ++Complete; });
        connect(&Ctrl, &QZvUartPortCtrl::SignalUpdateFail, this, [this](uint) { ++UpdateFail; });
        connect(&Ctrl, &QZvUartPortCtrl::SignalBoardReset, this, [this](uint) { ++BoardReset; });
    }
};

// A controller on a device name with the given rate (0 detects), started.
std::unique_ptr<QZvUartPortCtrl> StartPort(const std::string& Name, uint Rate, Reports& Out,
                                           const UART_CTRL_TIMING_T& Timing = FastTiming())
{
    auto ctrl = std::make_unique<QZvUartPortCtrl>();
    UART_CONFIG_T config;
    config.PortName = QString::fromStdString(Name);
    config.BaudRate = Rate;
    EXPECT_EQ(ctrl->SetPortConfig(&config), 0);
    ctrl->SetTiming(Timing);
    Out.Watch(*ctrl);
    ctrl->StartPortThread();
    return ctrl;
}

void Write(QZvUartPortCtrl& Ctrl, uint ID, const QByteArray& Data)
{
    QMetaObject::invokeMethod(
        &Ctrl, [&Ctrl, ID, Data] { Ctrl.OnWritePort(ID, Data); }, Qt::QueuedConnection);
}

bool StopPort(QZvUartPortCtrl& Ctrl)
{
    QMetaObject::invokeMethod(&Ctrl, &QZvPortCtrlBase::OnCloseOnePort, Qt::QueuedConnection);
    return Ctrl.wait(1000);
}
} // namespace

TEST(UartPortCtrl, ConnectsReadsOnItsTimerAndWritesCommands)
{
    // The receiver does not act on the commands: what it sends is all the test's.
    RECEIVER_RULES_T rules;
    rules.Logs = false;
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    Reports out;
    auto ctrl = StartPort(rx.Rx().Name(), 115200, out);
    ASSERT_TRUE(WaitUntil([&] { return ctrl->IsPropertyValid(); }));
    EXPECT_EQ(ctrl->Property.Get().Port, "COM2");
    EXPECT_EQ(rx.Rx().SlaveRate(), 115200u);
    EXPECT_EQ(rx.Rx().Received().find("VERSION\r\n"), std::string::npos) << "a fixed rate is not probed";
    // The property reply is received data like any other.
    EXPECT_TRUE(WaitUntil([&] { return out.Shown.contains("<NETCONFIG OK\r\n"); }));

    rx.Rx().Send("#BESTPOSA,COM1,0,55.0*12345678\r\n");
    EXPECT_TRUE(WaitUntil([&] { return out.Shown.contains("#BESTPOSA,COM1,0,55.0*12345678\r\n"); }));

    Write(*ctrl, ctrl->UniquePortID, "log bestposa ontime 1\r\n");
    Write(*ctrl, ctrl->UniquePortID + 1, "for another port\r\n");
    Write(*ctrl, QZvPortCtrlBase::ANY_PORT_ID, "saveconfig\r\n");
    Write(*ctrl, ctrl->UniquePortID, QByteArray(QZvUartPortCtrl::OUT_AREA_SIZE, 'x'));
    EXPECT_TRUE(rx.Rx().WaitForText("log bestposa ontime 1\r\nsaveconfig\r\n", 20000));
    QMetaObject::invokeMethod(
        ctrl.get(), [&] { ctrl->OnSetPortLockStatus(true); }, Qt::QueuedConnection);
    Write(*ctrl, ctrl->UniquePortID, "while locked\r\n");
    QMetaObject::invokeMethod(
        ctrl.get(), [&] { ctrl->OnSetPortLockStatus(false); }, Qt::QueuedConnection);
    Write(*ctrl, ctrl->UniquePortID, "unlocked\r\n");
    EXPECT_TRUE(rx.Rx().WaitForText("unlocked\r\n", 20000));
    const std::string sent = rx.Rx().Received();
    EXPECT_EQ(sent.find("for another port"), std::string::npos);
    EXPECT_EQ(sent.find("while locked"), std::string::npos);
    EXPECT_EQ(sent.find("xxxx"), std::string::npos) << "too big for the outgoing area";

    // "CC" outside an upgrade: a board reset, and the bytes are still shown.
    rx.Rx().Send("CC");
    EXPECT_TRUE(WaitUntil([&] { return out.BoardReset == 1 && out.Shown.endsWith("CC"); }));

    // The receiver is told its new rate, then the line follows.
    QMetaObject::invokeMethod(
        ctrl.get(), [&] { ctrl->OnSetBaudrate(460800); }, Qt::QueuedConnection);
    EXPECT_TRUE(rx.Rx().WaitForText("\r\nCOM 460800\r\n", 20000));
    EXPECT_TRUE(WaitUntil([&] { return ctrl->GetBaudRate() == 460800u && rx.Rx().SlaveRate() == 460800u; }));

    // The rescue flood: nothing but X, while the timer runs.
    rx.Rx().ClearReceived();
    QMetaObject::invokeMethod(ctrl.get(), &QZvUartPortCtrl::OnStartSendCmd, Qt::QueuedConnection);
    EXPECT_TRUE(rx.Rx().WaitFor([](const std::string& s) { return s.size() >= 4608 + 9; }, 20000));
    QMetaObject::invokeMethod(ctrl.get(), &QZvUartPortCtrl::OnRescueModemTimeStop, Qt::QueuedConnection);
    EXPECT_EQ(rx.Rx().Received().find_first_not_of('X'), std::string::npos);

    EXPECT_TRUE(out.AddFails.isEmpty());
    EXPECT_TRUE(StopPort(*ctrl));
}

TEST(UartPortCtrl, DetectsTheRateOrReportsWhyItCannotConnect)
{
    struct CASE_T
    {
        const char* Name;
        uint32_t ReceiverRate; // 0: a silent device
        uint ConfigRate;
        bool Professional;
        int AddFail; // 0: connected
        uint Rate;   // the rate the port runs at
    };
    const CASE_T cases[] = {
        {"answers at 9600 only", 9600, 0, false, 0, 9600},
        {"answers at 460800", 460800, 0, false, 0, 460800},
        {"silent device", 0, 0, false, -2, 0},
        {"silent device in professional mode", 0, 0, true, 0, 115200},
        {"fixed rate where the receiver is silent", 9600, 115200, false, -2, 0},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        RECEIVER_RULES_T rules;
        rules.Rate = c.ReceiverRate;
        FakeReceiver rx(rules);
        ASSERT_TRUE(rx.Plug());
        QZvPortCtrlBase::SetProcessMode(c.Professional);
        Reports out;
        auto ctrl = StartPort(rx.Rx().Name(), c.ConfigRate, out);
        if (c.AddFail != 0)
        {
            ASSERT_TRUE(WaitUntil([&] { return !out.AddFails.isEmpty(); }));
            EXPECT_EQ(out.AddFails, QList<int>{c.AddFail});
            EXPECT_TRUE(ctrl->wait(1000)) << "the thread ends";
        }
        else
        {
            ASSERT_TRUE(WaitUntil([&] { return ctrl->GetBaudRate() == c.Rate && rx.Rx().SlaveRate() == c.Rate; }));
            rx.Rx().Send("$GPGGA,1*00\r\n");
            EXPECT_TRUE(WaitUntil([&] { return out.Shown.contains("$GPGGA,1*00\r\n"); }));
            EXPECT_EQ(ctrl->IsPropertyValid(), c.ReceiverRate != 0);
            EXPECT_TRUE(out.AddFails.isEmpty());
            EXPECT_TRUE(StopPort(*ctrl));
        }
        QZvPortCtrlBase::SetProcessMode(false);
    }

    Reports out;
    auto ctrl = StartPort("/dev/does-not-exist", 0, out);
    ASSERT_TRUE(WaitUntil([&] { return !out.AddFails.isEmpty(); }));
    EXPECT_EQ(out.AddFails, QList<int>{-1});
    EXPECT_TRUE(ctrl->wait(1000));
}

TEST(UartPortCtrl, LosesTheDeviceAndReconnectsWhenItComesBack)
{
    QTemporaryDir tmp;
    const std::string link = tmp.filePath("ttyRECEIVER").toStdString();
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug(link));
    Reports out;
    auto ctrl = StartPort(link, 115200, out);
    ASSERT_TRUE(WaitUntil([&] { return ctrl->IsPropertyValid(); }));

    rx.Unplug();
    ASSERT_TRUE(WaitUntil([&] { return out.Removed == 1; }));
    // Writes to the lost device are dropped, not kept for later; an upgrade fails.
    Write(*ctrl, ctrl->UniquePortID, "lost\r\n");
    QMetaObject::invokeMethod(
        ctrl.get(), [&] { ctrl->OnSetUpgradeFW(ctrl->UniquePortID, "/tmp/fw.img"); }, Qt::QueuedConnection);
    ASSERT_TRUE(WaitUntil([&] { return out.UpdateFail == 1; }));
    EXPECT_FALSE(ctrl->IsUpgrading());

    // Back after the second attempt.
    QMetaObject::invokeMethod(ctrl.get(), &QZvPortCtrlBase::OnAutoReConnectOnePort, Qt::QueuedConnection);
    QThread::msleep(30);
    ASSERT_TRUE(rx.Plug(link));
    ASSERT_TRUE(WaitUntil([&] { return !out.ReconnectFailed.isEmpty(); }));
    EXPECT_EQ(out.ReconnectFailed, QList<bool>{false});
    EXPECT_TRUE(ctrl->IsPropertyValid());
    rx.Rx().Send("#INSPVAA,after*00\r\n");
    EXPECT_TRUE(WaitUntil([&] { return out.Shown.contains("#INSPVAA,after*00\r\n"); }));
    Write(*ctrl, ctrl->UniquePortID, "log rangea\r\n");
    EXPECT_TRUE(rx.Rx().WaitForText("log rangea\r\n", 20000));
    EXPECT_EQ(rx.Rx().Received().find("lost"), std::string::npos);

    // A device that never comes back: every attempt fails.
    rx.Unplug();
    ASSERT_TRUE(WaitUntil([&] { return out.Removed == 2; }));
    QMetaObject::invokeMethod(ctrl.get(), &QZvPortCtrlBase::OnAutoReConnectOnePort, Qt::QueuedConnection);
    ASSERT_TRUE(WaitUntil([&] { return out.ReconnectFailed.size() == 2; }));
    EXPECT_EQ(out.ReconnectFailed.last(), true);
    EXPECT_TRUE(StopPort(*ctrl));
}

TEST(UartPortCtrl, DeletingThePortEndsReconnectionWaitsAtOnce)
{
    QTemporaryDir tmp;
    const std::string link = tmp.filePath("ttyRECEIVER").toStdString();
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug(link));
    Reports out;
    UART_CTRL_TIMING_T timing = FastTiming();
    timing.ReconnectFirstWait = 1000; // the real waits: 1 s, 2 s, 4 s ... 256 s
    timing.ReconnectAttempts = 9;
    auto ctrl = StartPort(link, 115200, out, timing);
    ASSERT_TRUE(WaitUntil([&] { return ctrl->IsPropertyValid(); }));
    rx.Unplug();
    ASSERT_TRUE(WaitUntil([&] { return out.Removed == 1; }));
    QMetaObject::invokeMethod(ctrl.get(), &QZvPortCtrlBase::OnAutoReConnectOnePort, Qt::QueuedConnection);
    QThread::msleep(1500); // inside the second wait

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(StopPort(*ctrl));
    EXPECT_LT(clock.elapsed(), 1000);
    ctrl.reset();
    EXPECT_TRUE(out.ReconnectFailed.isEmpty()) << "a deleted port reports nothing more";
}

TEST(UartPortCtrl, UpgradesFirmwareAndReportsHowTheUpgradeEnded)
{
    QFile::remove(QZvUartPortCtrl::UartErrFilePath());
    QTemporaryDir tmp;
    const QString image = tmp.filePath("fw.img");
    QByteArray content;
    for (int i = 0; i < 5000; ++i)
        content.append(static_cast<char>(i * 13));
    {
        QFile f(image);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    enum ACTION_E
    {
        NONE,
        CANCEL_AFTER_BLOCK_3,
        UNPLUG_AFTER_BLOCK_3
    };
    struct CASE_T
    {
        const char* Name;
        RECEIVER_RULES_T Rules;
        ACTION_E Action;
        int Complete, UpdateFail;
        const char* Shown;
    };
    RECEIVER_RULES_T clean;
    RECEIVER_RULES_T loaderCancels;
    loaderCancels.Loader.CancelBlock = 3;
    RECEIVER_RULES_T silentLoader;
    silentLoader.LoaderStarts = false;
    RECEIVER_RULES_T throughCom1;
    throughCom1.Port = "COM1";
    RECEIVER_RULES_T holdsBlock3;
    holdsBlock3.Loader.SilentBlock = 3;
    const CASE_T cases[] = {
        {"complete", clean, NONE, 1, 0, "Transmit Complete\n"},
        {"through COM1", throughCom1, NONE, 1, 0, "Transmit Complete\n"},
        {"loader cancels", loaderCancels, NONE, 0, 1, "Xmodem Transfer canceled\n"},
        {"loader never starts", silentLoader, NONE, 0, 1, "Start to upgrage firmware:"},
        {"cancelled by the user", holdsBlock3, CANCEL_AFTER_BLOCK_3, 0, 0, "Upgrade canceled\r\n"},
        {"device lost during the transfer", holdsBlock3, UNPLUG_AFTER_BLOCK_3, 0, 1, "Start to transmit...\n"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        FakeReceiver rx(c.Rules);
        ASSERT_TRUE(rx.Plug());
        Reports out;
        UART_CTRL_TIMING_T timing = FastTiming();
        timing.IdleLimit = 200;
        auto ctrl = StartPort(rx.Rx().Name(), 115200, out, timing);
        ASSERT_TRUE(WaitUntil([&] { return ctrl->IsPropertyValid(); }));
        const uint id = ctrl->UniquePortID;
        QMetaObject::invokeMethod(
            ctrl.get(), [&] { ctrl->OnSetUpgradeFW(id, image); }, Qt::QueuedConnection);
        ASSERT_TRUE(WaitUntil([&] { return ctrl->IsUpgrading(); }));
        if (c.Action != NONE)
        {
            ASSERT_TRUE(WaitUntil([&] { return rx.Loader().Blocks().size() >= 3; }));
        }
        if (c.Action == CANCEL_AFTER_BLOCK_3)
        {
            QMetaObject::invokeMethod(
                ctrl.get(), [&] { ctrl->OnCancelUpgradeFW(id); }, Qt::QueuedConnection);
            EXPECT_TRUE(WaitUntil([&] { return rx.Loader().Cans() == 1; }));
        }
        std::string sent;
        if (c.Action == UNPLUG_AFTER_BLOCK_3)
        {
            sent = rx.Rx().Received();
            rx.Unplug();
        }
        ASSERT_TRUE(WaitUntil([&] { return !ctrl->IsUpgrading(); }, 20000));
        ASSERT_TRUE(WaitUntil([&] { return out.Shown.contains(c.Shown); }));
        QThread::msleep(50);
        QCoreApplication::processEvents();
        EXPECT_EQ(out.Complete, c.Complete);
        EXPECT_EQ(out.UpdateFail, c.UpdateFail);
        if (sent.empty())
        {
            sent = rx.Rx().Received();
        }

        const std::string preamble = "SET UPGRADEPORT " + std::string(c.Rules.Port == "COM1" ? "0" : "1") + "\r\n";
        EXPECT_NE(sent.find(preamble + preamble + "SAVECONFIG\r\n\r\nRESET\r\n"), std::string::npos);
        EXPECT_TRUE(out.Shown.contains(("Start to upgrage firmware:" + image + "\n").toUtf8()));
        if (c.Complete)
        {
            QByteArray padded = content;
            padded.append(QByteArray(5 * 1024 - content.size(), '\x1A'));
            EXPECT_EQ(QByteArray::fromStdString(rx.Loader().Image()), padded);
            EXPECT_TRUE(out.Shown.contains("boot 1.0\r\n")) << "the loader's own output is shown";
        }
        // Commands go out again once the upgrade is over.
        if (c.Action != UNPLUG_AFTER_BLOCK_3)
        {
            Write(*ctrl, id, "log version\r\n");
            EXPECT_TRUE(rx.Rx().WaitForText("log version\r\n", 20000));
        }
        EXPECT_TRUE(StopPort(*ctrl));
    }
    QFile err(QZvUartPortCtrl::UartErrFilePath());
    ASSERT_TRUE(err.open(QIODevice::ReadOnly));
    EXPECT_TRUE(err.readAll().startsWith("m_CurRXIndex: 0\r\nActualReadData: "));
    err.close();
    QFile::remove(QZvUartPortCtrl::UartErrFilePath());
}

TEST(UartPortCtrl, NoUpgradeThroughAPortTheLoaderDoesNotListenOn)
{
    RECEIVER_RULES_T rules;
    rules.Port = "COM3";
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    Reports out;
    auto ctrl = StartPort(rx.Rx().Name(), 115200, out);
    ASSERT_TRUE(WaitUntil([&] { return ctrl->IsPropertyValid(); }));
    QMetaObject::invokeMethod(
        ctrl.get(), [&] { ctrl->OnSetUpgradeFW(ctrl->UniquePortID, "/tmp/none.img"); }, Qt::QueuedConnection);
    Write(*ctrl, ctrl->UniquePortID, "after\r\n");
    EXPECT_TRUE(rx.Rx().WaitForText("after\r\n", 20000));
    EXPECT_EQ(rx.Rx().Received().find("UPGRADEPORT"), std::string::npos);
    EXPECT_FALSE(ctrl->IsUpgrading());
    EXPECT_TRUE(StopPort(*ctrl));
}

// At the highest rate the port offers (921600 baud, 92,160 bytes a second) a
// receiver streams for 30 s without waiting for the port, as a UART does:
// every byte arrives, in order, and the line never backs up by a second of
// data. A port that took one read a turn would fall behind by some 12 KB a
// second until the driver's buffers overflowed.
TEST(UartPortCtrl, StreamsEveryByteInOrderAtTheHighestRate)
{
    constexpr uint kRate = 921600;
    constexpr size_t kBytesPerSecond = kRate / 10;
    constexpr auto kStreamFor = std::chrono::seconds(30);
    const size_t nTotal = kBytesPerSecond * 30;
    std::vector<char> stream(nTotal);
    for (size_t i = 0; i < nTotal; ++i)
        stream[i] = static_cast<char>((i ^ (i >> 8) ^ (i >> 16)) * 31 + 7);

    PtyReceiver line;
    ASSERT_TRUE(line.Plug());
    // A silent line is accepted at once; the read loop keeps its own waits.
    const bool bProcessMode = QZvPortCtrlBase::GetProcessMode();
    QZvPortCtrlBase::SetProcessMode(true);
    UART_CTRL_TIMING_T timing;
    timing.PropertyPolls = 1;
    Reports out;
    auto ctrl = StartPort(line.Name(), kRate, out, timing);
    ASSERT_TRUE(WaitUntil(
        [&] { return line.SlaveRate() == kRate && line.Received().find("netconfig") != std::string::npos; }, 10000));

    std::atomic<size_t> nSent{0};
    std::atomic<size_t> nMaxLag{0};
    std::thread sender(
        [&]
        {
            const auto t0 = std::chrono::steady_clock::now();
            size_t nDone = 0;
            for (;;)
            {
                const auto elapsed = std::chrono::steady_clock::now() - t0;
                const double dSeconds = std::chrono::duration<double>(elapsed).count();
                const size_t nDue = std::min(nTotal, static_cast<size_t>(dSeconds * kBytesPerSecond));
                while (nDone < nDue)
                {
                    const size_t n = line.SendNow(stream.data() + nDone, nDue - nDone);
                    if (n == 0)
                        break;
                    nDone += n;
                }
                nSent = nDone;
                nMaxLag = std::max(nMaxLag.load(), nDue - nDone);
                if (nDone == nTotal || elapsed > kStreamFor + std::chrono::seconds(30))
                    return;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    const bool bAll = WaitUntil([&] { return out.Shown.size() >= static_cast<int>(nTotal); }, 90000);
    sender.join();
    EXPECT_TRUE(StopPort(*ctrl));
    QZvPortCtrlBase::SetProcessMode(bProcessMode);

    std::cout << "streamed " << nSent << " bytes; the line was at most " << nMaxLag << " bytes behind\n";
    ASSERT_TRUE(bAll) << out.Shown.size() << " of " << nTotal << " bytes arrived";
    EXPECT_EQ(out.Shown.size(), static_cast<int>(nTotal));
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), out.Shown.constData())) << "bytes out of order or changed";
    EXPECT_LT(nMaxLag.load(), kBytesPerSecond);
}
