#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include "monitor/ports/serial_device.h"
#include "monitor/ports/serial_port_list.h"
#include "support/monitor/pty_receiver.h"

namespace
{
// Reads until Want bytes came or a second has passed.
std::string ReadSome(CUartProcess& Dev, size_t Want)
{
    std::string got;
    uint8_t buf[256];
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (got.size() < Want && std::chrono::steady_clock::now() < end)
    {
        uint32_t n = 0;
        if (Dev.ReadData(buf, sizeof(buf), &n) == 1)
            got.append(reinterpret_cast<char*>(buf), n);
    }
    return got;
}
} // namespace

TEST(SerialDevice, OpensReadsAndWritesAPseudoTerminal)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev;
    dev.SetTiming(FastUartTiming());
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 115200), 1) << dev.GetErrorText();
    EXPECT_TRUE(dev.IsOpen());
    EXPECT_EQ(rx.SlaveRate(), 115200u);

    uint8_t buf[64];
    uint32_t n = 99;
    EXPECT_EQ(dev.ReadData(buf, sizeof(buf), &n), 0);
    EXPECT_EQ(n, 0u);

    rx.Send("#BESTPOSA\r\n");
    EXPECT_EQ(ReadSome(dev, 11), "#BESTPOSA\r\n");

    ASSERT_EQ(dev.WriteData("log version\r\n", 13), 1);
    EXPECT_TRUE(rx.WaitForText("log version\r\n", 20000));

    ASSERT_EQ(dev.SetBaudRate(460800), 1);
    EXPECT_EQ(rx.SlaveRate(), 460800u);
    EXPECT_EQ(dev.GetBaudRate(), 460800u);

    dev.ClosePort();
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(dev.ReadData(buf, sizeof(buf), &n), 0);
    EXPECT_EQ(dev.WriteData("x", 1), 0);
}

TEST(SerialDevice, AWriteKeepsReceivedBytesThatWereNotReadYet)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev;
    dev.SetTiming(FastUartTiming());
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 115200), 1);

    rx.Send("<VERSION OK\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ASSERT_EQ(dev.WriteData("unlogall\r\n", 10), 1);
    EXPECT_EQ(ReadSome(dev, 13), "<VERSION OK\r\n");
    EXPECT_TRUE(rx.WaitForText("unlogall\r\n", 20000));
}

TEST(SerialDevice, LineSettingsOfTheRecordBecomeTermiosFlags)
{
    struct CASE_T
    {
        uint8_t ByteSize, Parity, StopBits;
        unsigned Flags;
    };
    const CASE_T cases[] = {
        {8, 0, 0, CS8},
        {8, 0, 1, CS8}, // no 1.5 stop bits with 8 data bits
        {7, 2, 2, CS7 | PARENB | CSTOPB},
        {8, 1, 0, CS8 | PARENB | PARODD},
        {8, 3, 0, CS8 | PARENB | PARODD | CMSPAR},
        {8, 4, 0, CS8 | PARENB | CMSPAR},
        {5, 0, 1, CS5 | CSTOPB},
        {6, 0, 0, CS6},
    };
    for (const CASE_T& c : cases)
        EXPECT_EQ(UartLineFlags(c.ByteSize, c.Parity, c.StopBits), c.Flags)
            << int(c.ByteSize) << "/" << int(c.Parity) << "/" << int(c.StopBits);

    // A pseudo-terminal keeps the rate and the stop bits (it forces 8 bits, no parity).
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev;
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 9600, 7, 2, 2), 1);
    EXPECT_EQ(rx.SlaveRate(), 9600u);
    EXPECT_TRUE(rx.SlaveCflag() & CSTOPB);
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 19200, 8, 0, 0), 1);
    EXPECT_EQ(rx.SlaveRate(), 19200u);
    EXPECT_FALSE(rx.SlaveCflag() & CSTOPB);
    dev.ClosePort();
    EXPECT_EQ(dev.OpenPort(rx.Name().c_str(), 2400, 8, 0, 0), 0) << "rates below 4800 ask for detection";
    EXPECT_FALSE(dev.IsOpen());
}

TEST(SerialDevice, OpenFailuresLeaveTheErrorText)
{
    CUartProcess dev;
    EXPECT_EQ(dev.OpenPort("/dev/does-not-exist", 115200), 0);
    EXPECT_EQ(dev.GetErrorText(), "/dev/does-not-exist has been opened, please detect the device!");
    EXPECT_EQ(dev.OpenPort("ttyNoSuchPort7", 115200), 0);
    EXPECT_EQ(dev.GetErrorText(), "ttyNoSuchPort7 has been opened, please detect the device!");
    EXPECT_EQ(CUartProcess::DevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CUartProcess::DevicePath("/dev/ttyACM1"), "/dev/ttyACM1");

    // The device is used by one port at a time.
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess first, second;
    ASSERT_EQ(first.OpenPort(rx.Name().c_str(), 115200), 1);
    EXPECT_EQ(second.OpenPort(rx.Name().c_str(), 115200), 0);
    EXPECT_EQ(second.GetErrorText(), rx.Name() + " has been opened, please detect the device!");
    first.ClosePort();
    EXPECT_EQ(second.OpenPort(rx.Name().c_str(), 115200), 1);
}

// A process the monitor starts (a web view's browser, a script) holds every
// open device, with its lock, from its fork to its exec: a port opened in
// that moment waits for it instead of finding the device busy.
TEST(SerialDevice, ADeviceHeldForAMomentByAStartingProcessOpens)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess first;
    ASSERT_EQ(first.OpenPort(rx.Name().c_str(), 115200), 1);
    const pid_t child = ::fork();
    if (child == 0)
    {
        const timespec moment{0, 60 * 1000 * 1000};
        ::nanosleep(&moment, nullptr);
        ::_exit(0);
    }
    ASSERT_GT(child, 0);
    first.ClosePort();
    CUartProcess second;
    EXPECT_EQ(second.OpenPort(rx.Name().c_str(), 115200), 1) << second.GetErrorText();
    ::waitpid(child, nullptr, 0);
}

TEST(SerialDevice, AVanishedDeviceIsReportedAsLost)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev;
    // A read timeout far beyond any scheduling delay of a loaded machine
    // tells "no wait" from "waited the timeout out".
    UART_TIMING_T timing = FastUartTiming();
    timing.ReadTimeout = 3000;
    dev.SetTiming(timing);
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 115200), 1);
    rx.Unplug();

    uint8_t buf[64];
    uint32_t n = 0;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(dev.ReadData(buf, sizeof(buf), &n), UART_READ_LOST);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500)) << "no wait for a lost device";
    EXPECT_FALSE(dev.IsOpen());
    EXPECT_EQ(dev.ReadData(buf, sizeof(buf), &n), 0);
    EXPECT_EQ(dev.WriteData("x", 1), 0);
}

TEST(SerialDevice, AWriteThatTheDeviceNeverTakesGivesUp)
{
    // Nobody reads the master: the pty fills and stops taking bytes.
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    CUartProcess dev;
    dev.SetTiming(FastUartTiming());
    ASSERT_EQ(dev.OpenPort(name, 115200), 1);
    const std::vector<uint8_t> big(1 << 20, 'x');
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(dev.WriteData(big.data(), static_cast<uint32_t>(big.size())), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    dev.ClosePort();
    ::close(slave);
    ::close(master);
}

TEST(SerialDevice, TransmitAreaHoldsOneBlockUntilItIsWritten)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev;
    dev.SetTiming(FastUartTiming());
    ASSERT_EQ(dev.OpenPort(rx.Name().c_str(), 115200), 1);
    EXPECT_EQ(dev.QueueSend("first", 5), 1);
    EXPECT_EQ(dev.QueueSend("second", 6), 0);
    const std::vector<uint8_t> tooBig(UART_MAX_READ + 1, 0);
    dev.DiscardTransmit();
    EXPECT_EQ(dev.QueueSend(tooBig.data(), static_cast<uint32_t>(tooBig.size())), 0);
    EXPECT_EQ(dev.QueueSend("third", 5), 1);
    EXPECT_EQ(dev.FlushTransmit(), 1);
    EXPECT_EQ(dev.GetTransmitLength(), 0u);
    EXPECT_TRUE(rx.WaitForText("third", 20000));
    EXPECT_EQ(rx.Received(), "third");
}

// The fake receiver answers "VERSION" only while the line runs at its rate.
TEST(SerialDevice, RateDetectionFindsTheRateAtWhichTheReceiverAnswers)
{
    struct CASE_T
    {
        uint32_t ReceiverRate;
        int Expected;
        std::vector<uint32_t> Probed;
    };
    const CASE_T cases[] = {
        {115200, 115200, {115200}},
        {230400, 230400, {115200, 460800, 230400}},
        {9600, 9600, {115200, 460800, 230400, 9600}},
        {57600, 0, {115200, 460800, 230400, 9600}},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.ReceiverRate);
        std::mutex m;
        std::vector<uint32_t> probed;
        PtyReceiver rx(
            [&](ReceiverLine& self, const std::string& chunk)
            {
                if (chunk.find("VERSION\r\n") == std::string::npos)
                    return;
                const uint32_t rate = self.SlaveRate();
                {
                    std::lock_guard<std::mutex> lock(m);
                    probed.push_back(rate);
                }
                if (rate == c.ReceiverRate)
                    self.Send("\r\n<VERSION\r\n<     1 \r\n<     \"ZV100\" \"R3.1.0\"\r\n[COM1]");
            });
        ASSERT_TRUE(rx.Plug());
        CUartProcess dev;
        dev.SetTiming(FastUartTiming());
        EXPECT_EQ(dev.AutoDetectBaudRate(rx.Name().c_str(), "VERSION\r\nVERSION\r\n"), c.Expected);
        EXPECT_EQ(dev.GetReadTimeout(), FastUartTiming().ReadTimeout);
        rx.Unplug();
        std::lock_guard<std::mutex> lock(m);
        EXPECT_EQ(probed, c.Probed);
    }
    CUartProcess dev;
    EXPECT_EQ(dev.AutoDetectBaudRate("/dev/does-not-exist", "VERSION\r\n"), -1);
}

TEST(SerialDevice, RateDetectionEndsEarlyWhenItsOwnerCloses)
{
    PtyReceiver rx;
    ASSERT_TRUE(rx.Plug());
    CUartProcess dev; // the slow timings of a real port
    std::atomic<bool> stop{false};
    dev.SetStopCheck([&] { return stop.load(); });
    std::thread closer(
        [&]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            stop = true;
        });
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(dev.AutoDetectBaudRate(rx.Name().c_str(), "VERSION\r\n"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(600));
    closer.join();
}

TEST(SerialPortList, ListsSerialPortsThatHaveADeviceBehindThem)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir root(tmp.path());
    ASSERT_TRUE(root.mkpath("sys") && root.mkpath("dev"));
    struct ENTRY_T
    {
        const char* Name;
        bool Device;      // a "device" link in its sysfs entry
        const char* Type; // UART type of a ttyS line, nullptr for none
        bool Node;        // a node under dev
    };
    const ENTRY_T entries[] = {
        {"ttyS0", true, "4", true},       {"ttyS1", true, "0", true}, // no UART behind ttyS1
        {"ttyS10", true, "4", true},      {"ttyS2", true, "4", true},
        {"ttyUSB0", true, nullptr, true}, {"ttyACM1", false, nullptr, true}, // no device: virtual
        {"ttyACM0", true, nullptr, true}, {"ttyUSB3", true, nullptr, false}, // no node
        {"console", true, nullptr, true}, {"tty3", true, nullptr, true},
    };
    for (const ENTRY_T& e : entries)
    {
        const QString entry = root.filePath(QString("sys/") + e.Name);
        ASSERT_TRUE(root.mkpath(entry));
        if (e.Device)
        {
            ASSERT_TRUE(root.mkpath(entry + "/device"));
        }
        if (e.Type)
        {
            QFile f(entry + "/type");
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(e.Type);
        }
        if (e.Node)
        {
            QFile f(root.filePath(QString("dev/") + e.Name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
    }
    QStringList list;
    QString error;
    ASSERT_EQ(EnumSerialPortsIn(root.filePath("sys"), root.filePath("dev"), list, error), 0);
    QStringList expected;
    for (const char* n : {"ttyACM0", "ttyS0", "ttyS2", "ttyS10", "ttyUSB0"})
        expected << root.filePath(QString("dev/") + n);
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(error.isEmpty());

    EXPECT_EQ(EnumSerialPortsIn(root.filePath("nothing"), root.filePath("dev"), list, error), 1);
    EXPECT_EQ(error, "Do not have valid Uart!");
    EXPECT_TRUE(list.isEmpty());

    ASSERT_EQ(EnumSerialPorts(list, error), 0);
    for (const QString& name : list)
        EXPECT_TRUE(QFile::exists(name)) << name.toStdString();
}
