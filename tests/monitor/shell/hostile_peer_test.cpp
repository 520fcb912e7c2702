// A peer that sends without measure, as fast as loopback TCP carries it: random
// bytes, or one line that never ends. The window stays responsive, the
// process's memory bounded, the port's log file gets every byte, and the view
// says what it did not show.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include "monitor/parsing/port_receiver.h"
#include "monitor/ports/port_records.h"
#include "monitor/shell/txt_browser.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/shell_stand_in.h"
#include "support/test_caster.h"

namespace
{
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double RssMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// A flood lasts kFloodMs and carries at least kFloodMin: many times what
// the port and the view let wait for the window, however slowly a loaded or
// sanitized machine sends it. It stops at kFloodMax, so that the log file's
// check does not wait on the disk.
constexpr int kFloodMs = 4000;
constexpr int kFloodDeadlineMs = 60000;
constexpr uint64_t kFloodMin = uint64_t{32} << 20;
constexpr uint64_t kFloodMax = uint64_t{160} << 20;

struct FLOOD_T
{
    const char* Name;
    bool bRandom; // else one line without a line end
};
// What the window went through while a flood lasted.
struct WATCH_T
{
    uint64_t Sent = 0;      // bytes the peer sent
    double WorstCpuMs = 0;  // the GUI thread's longest work between two beats
    double WorstWallMs = 0; // the longest a beat came late
    double PeakRssMb = 0;
    bool bSaid = false; // the view said what it did not show
};

// Runs the event loop while the flood lasts (kFloodMs, and until Sent() reaches
// kFloodMin or the deadline) and measures the GUI thread's work between two
// beats of a 10 ms timer: how long the window could not answer, as its own CPU
// time (a loaded machine delays the beats, not this work) and as wall time.
// Whether pView says what it did not show is looked at while the flood lasts,
// as its newest lines soon push the notice out; the look's own work is not
// the window's lag.
WATCH_T WatchTheWindow(CZvTxtBrowser* pView, const std::function<uint64_t()>& Sent)
{
    WATCH_T w;
    double dCpuAt = ThreadCpuMs();
    QElapsedTimer wall, beat;
    beat.start();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout,
                     [&]
                     {
                         const double dNow = ThreadCpuMs();
                         w.WorstCpuMs = std::max(w.WorstCpuMs, dNow - dCpuAt);
                         w.WorstWallMs = std::max(w.WorstWallMs, beat.nsecsElapsed() / 1e6 - 10.0);
                         dCpuAt = dNow;
                         beat.start();
                         w.PeakRssMb = std::max(w.PeakRssMb, RssMb());
                     });
    timer.start(10);
    QTimer look;
    QObject::connect(&look, &QTimer::timeout,
                     [&]
                     {
                         const double dBefore = ThreadCpuMs();
                         w.bSaid = w.bSaid || pView->toPlainText().contains(QStringLiteral("bytes not shown]"));
                         dCpuAt += ThreadCpuMs() - dBefore;
                     });
    look.start(50);
    wall.start();
    while (wall.elapsed() < kFloodMs || (Sent() < kFloodMin && wall.elapsed() < kFloodDeadlineMs))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return w;
}

// The window stayed responsive and the memory bounded; the log file got
// every byte sent whatever the view showed; the view said what it skipped and
// broke its lines.
void CheckTheFlood(const char* pWhat, const WATCH_T& w, CZvTxtBrowser* pView, const QString& sLog, qint64 nLoggedBefore)
{
    ::testing::Test::RecordProperty("gui_lag_cpu_ms", QString::number(w.WorstCpuMs, 'f', 1).toStdString());
    ::testing::Test::RecordProperty("gui_lag_wall_ms", QString::number(w.WorstWallMs, 'f', 1).toStdString());
    ::testing::Test::RecordProperty("peak_rss_mb", QString::number(w.PeakRssMb, 'f', 0).toStdString());
    ::testing::Test::RecordProperty("mb_sent", QString::number(w.Sent / 1e6, 'f', 0).toStdString());
    std::printf("%s: %.0f MB sent, GUI lag %.1f ms CPU (%.1f ms wall), peak RSS %.0f MB\n", pWhat, w.Sent / 1e6,
                w.WorstCpuMs, w.WorstWallMs, w.PeakRssMb);

    EXPECT_GE(w.Sent, kFloodMin) << "a flood";
    EXPECT_GT(pView->Receiver()->m_SkippedBytes, 0u) << "faster than the window takes it";
    EXPECT_LT(w.WorstCpuMs, kSanitized ? 1000.0 : 250.0);
    if (!kSanitized)
    {
        EXPECT_LT(w.PeakRssMb, 500.0);
    }
    EXPECT_TRUE(WaitUntil([&] { return QFileInfo(sLog).size() - nLoggedBefore >= static_cast<qint64>(w.Sent); }, 30000))
        << QFileInfo(sLog).size() - nLoggedBefore << " of " << w.Sent;
    EXPECT_EQ(QFileInfo(sLog).size() - nLoggedBefore, static_cast<qint64>(w.Sent));
    EXPECT_TRUE(w.bSaid) << "what the view did not show is said";
    for (const QString& sLine : pView->toPlainText().split('\n'))
        EXPECT_LE(sLine.size(), CZvTxtBrowser::LINE_CHARS_MAX);
}
} // namespace

class HostilePeer : public ::testing::TestWithParam<FLOOD_T>
{
};

TEST_P(HostilePeer, AFloodKeepsTheWindowResponsiveMemoryBoundedAndTheLogWhole)
{
    const FLOOD_T flood = GetParam();
    ShellStandIn shell;
    QTemporaryDir dir;
    RECEIVER_RULES_T rules;
    rules.KeepSent = false;
    FakeReceiver rx(rules);
    ASSERT_NE(rx.Listen(), 0);
    QZvPortCtrlBase* pCtrl = shell.OpenTcp(rx);
    ASSERT_NE(pCtrl, nullptr);
    const QString sLog = dir.filePath("flood.bin");
    shell.Prompt.Paths.push_back(sLog);
    shell.Tabs.OnSetLogFilename();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsLogging(); }));
    const qint64 nLoggedBefore = QFileInfo(sLog).size();
    const uint64_t nSentBefore = rx.SentBytes();

    std::atomic<bool> bStop{false};
    std::thread sender(
        [&]
        {
            // Random bytes made once and sent from ever other offsets: the
            // sender is no slower than the line, sanitized or not.
            std::mt19937 rng(7);
            std::string pool(4 << 20, 'x');
            if (flood.bRandom)
                for (char& c : pool)
                    c = static_cast<char>(rng());
            constexpr size_t kChunk = 65536;
            size_t nAt = 0;
            while (!bStop.load() && rx.SentBytes() - nSentBefore < kFloodMax)
            {
                rx.Send(pool.substr(nAt, kChunk), "flood");
                nAt = (nAt + kChunk + 4099) % (pool.size() - kChunk);
            }
        });

    CZvTxtBrowser* pView = shell.Tabs.GetTxView(0);
    WATCH_T w = WatchTheWindow(pView, [&] { return rx.SentBytes() - nSentBefore; });
    bStop = true;
    sender.join();
    w.Sent = rx.SentBytes() - nSentBefore;
    CheckTheFlood(flood.Name, w, pView, sLog, nLoggedBefore);
}

namespace
{
// A caster of a thread of its own, so that what it sends is not the window's work.
class CCasterThread
{
public:
    CCasterThread()
    {
        m_Context.moveToThread(&m_Thread);
        m_Thread.start();
        Run(
            [this]
            {
                m_pCaster = std::make_unique<CTestCaster>();
                m_Port = m_pCaster->Listen();
            });
    }
    ~CCasterThread()
    {
        Run([this] { m_pCaster.reset(); });
        m_Thread.quit();
        m_Thread.wait();
    }
    // Runs Work on the caster in its thread and waits for it.
    void Run(const std::function<void()>& Work)
    {
        QMetaObject::invokeMethod(&m_Context, Work, Qt::BlockingQueuedConnection);
    }
    CTestCaster& Caster() { return *m_pCaster; }
    quint16 Port() const { return m_Port; }
    quint64 Sent() const { return m_pCaster->m_FloodSent.load(); }

private:
    QThread m_Thread;
    QObject m_Context;
    std::unique_ptr<CTestCaster> m_pCaster;
    quint16 m_Port = 0;
};
} // namespace

// The same flood from a caster that has taken the port's login: it reaches
// the caster port's view and log as a TCP peer's reaches a TCP port's.
TEST_P(HostilePeer, ACasterFloodKeepsTheWindowResponsiveMemoryBoundedAndTheLogWhole)
{
    const FLOOD_T flood = GetParam();
    ShellStandIn shell;
    QTemporaryDir dir;
    CCasterThread caster;
    ASSERT_NE(caster.Port(), 0);
    NTRIP_CONFIG_T config;
    NtripSetDefaultConfig(&config);
    std::strcpy(config.ServerName, "127.0.0.1");
    config.Port = caster.Port();
    ASSERT_EQ(shell.Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_NTRIP, &config), 0);
    QZvPortCtrlBase* pCtrl = shell.Tabs.GetPortCtrl(shell.Tabs.count() - 1);
    ASSERT_NE(pCtrl, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            int n = 0;
            caster.Run([&] { n = caster.Caster().StreamingClients(); });
            return n == 1;
        }));
    const QString sLog = dir.filePath("flood.bin");
    shell.Prompt.Paths.push_back(sLog);
    shell.Tabs.OnSetLogFilename();
    ASSERT_TRUE(WaitUntil([&] { return pCtrl->IsLogging(); }));
    const qint64 nLoggedBefore = QFileInfo(sLog).size();
    caster.Run(
        [&]
        {
            caster.Caster().m_FloodMax = kFloodMax;
            caster.Caster().StartFlood(flood.bRandom ? CTestCaster::FLOOD_RANDOM : CTestCaster::FLOOD_LINE);
        });

    CZvTxtBrowser* pView = shell.Tabs.GetTxView(shell.Tabs.count() - 1);
    WATCH_T w = WatchTheWindow(pView, [&] { return caster.Sent(); });
    caster.Run([&] { caster.Caster().StopFlood(); });
    w.Sent = caster.Sent();
    CheckTheFlood((std::string("caster, ") + flood.Name).c_str(), w, pView, sLog, nLoggedBefore);
}

INSTANTIATE_TEST_SUITE_P(Floods, HostilePeer,
                         ::testing::Values(FLOOD_T{"random bytes", true}, FLOOD_T{"one endless line", false}),
                         [](const ::testing::TestParamInfo<FLOOD_T>& Info)
                         { return Info.param.bRandom ? "RandomBytes" : "OneEndlessLine"; });
