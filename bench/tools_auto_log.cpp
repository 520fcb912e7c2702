// Automatic logging under a production line's load: 32 fake receivers on
// loopback TCP streaming binary logs, text logs, NMEA and RTCM3 at 200 KB/s
// each, all logged by the automatic logging window in periods of a minute
// with cycle recording, under a clock that moves a minute every 5 s so that
// every port switches files while it streams.
//
// BM_AutoLog32Ports, over ZV_LOAD_SECONDS (20 by default):
// - tick_ms: the watch tick's work on the GUI thread (the list reading 32
//   ports, making names and asking for the switches), median and worst;
// - files: log files written;
// - bytes_lost: bytes the receivers sent while logged that are in no file
//   (must be 0), and bytes_logged, the total.
//
// BM_AutoLogBoardListAtBound: the window opened on a board list at the
// reader's bound (4 MB, about 210 000 boards), one watch tick and a save,
// with 8 ports open: the time the window is busy for each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeEdit>
#include <algorithm>
#include <memory>
#include <vector>

#include "codec/profile.h"
#include "monitor/tools/auto_log_config.h"
#include "monitor/tools/tools_shell.h"

namespace
{
constexpr int kPorts = 32;
constexpr uint32_t kBytesPerSecond = 200000;

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_tools";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void BM_AutoLog32Ports(benchmark::State& state)
{
    App();
    SetCodecProfile(CODEC_PROFILE_MONITOR);
    const int nSeconds = qEnvironmentVariableIsSet("ZV_LOAD_SECONDS") ? qEnvironmentVariableIntValue("ZV_LOAD_SECONDS")
                                                                      : 20;
    QTemporaryDir tmp;
    auto pShell = std::make_unique<ToolsShell>();
    ToolsShell& shell = *pShell;
    QDateTime now(QDate(2024, 5, 21), QTime(23, 58));
    QZvPortCtrlBase::SetWallClock([&now] { return now; });
    shell.AutoLog.SetClock([&now] { return now; });
    shell.AutoLog.SetWatchInterval(3600 * 1000);

    std::vector<std::unique_ptr<FakeReceiver>> receivers;
    std::vector<QZvPortCtrlBase*> ports;
    for (int i = 0; i < kPorts; ++i)
    {
        RECEIVER_RULES_T rules;
        rules.KeepSent = false;
        receivers.push_back(std::make_unique<FakeReceiver>(rules));
        QZvPortCtrlBase* pCtrl = receivers.back()->Listen() != 0 ? shell.OpenTcp(*receivers.back()) : nullptr;
        if (pCtrl == nullptr)
        {
            state.SkipWithError("a port did not open");
            return;
        }
        ports.push_back(pCtrl);
    }
    WritePathFile(QAutoLogList::LogPathFile(), tmp.path());
    shell.AutoLog.OnShowDiag();
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("LogButton"))->click();
    QAutoLogConfig* pConfig = shell.AutoLog.ConfigWindow();
    pConfig->findChild<QRadioButton*>(QStringLiteral("TimePeriodRadio"))->setChecked(true);
    pConfig->findChild<QTimeEdit*>(QStringLiteral("TimePeriodEdit"))->setTime(QTime(0, 1));
    pConfig->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    if (!WaitUntil([&] { return std::all_of(ports.begin(), ports.end(), [](QZvPortCtrlBase* p) { return p->IsLogging(); }); }))
    {
        state.SkipWithError("the ports did not begin logging");
        return;
    }
    // What was sent before logging began (the property replies) is in no file.
    std::vector<uint64_t> before;
    for (auto& r : receivers)
        before.push_back(r->SentBytes());

    std::vector<double> ticks;
    for (auto _ : state)
    {
        for (auto& r : receivers)
            r->StartStream(STREAM_ALL, kBytesPerSecond);
        QElapsedTimer wall;
        wall.start();
        qint64 nextTick = 2000;
        while (wall.elapsed() < nSeconds * 1000)
        {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (wall.elapsed() >= nextTick)
            {
                nextTick += 2000;
                // A minute passes every 5 s of streaming (every other tick or so).
                now = QDateTime(QDate(2024, 5, 21), QTime(23, 58)).addSecs(wall.elapsed() / 5000 * 60 + 1);
                QElapsedTimer t;
                t.start();
                shell.AutoLog.OnTimeout();
                ticks.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            }
            QThread::usleep(200);
        }
        for (auto& r : receivers)
            r->StopStream();
    }
    // Every row is unlogged once the last bytes on their way have been read.
    QTableWidget* pTable = shell.AutoLog.Table();
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->setChecked(true);
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("UnlogButton"))->click();
    WaitUntil([&] { return std::none_of(ports.begin(), ports.end(), [](QZvPortCtrlBase* p) { return p->IsLogging(); }); });

    uint64_t nSent = 0, nUnsent = 0;
    for (int i = 0; i < kPorts; ++i)
    {
        nSent += receivers[static_cast<size_t>(i)]->SentBytes() - before[static_cast<size_t>(i)];
        nUnsent += receivers[static_cast<size_t>(i)]->UnsentBytes();
    }
    uint64_t nLogged = 0;
    int nFiles = 0;
    for (QDirIterator it(tmp.path(), {QStringLiteral("*.log")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
    {
        nLogged += static_cast<uint64_t>(QFileInfo(it.next()).size());
        ++nFiles;
    }
    std::sort(ticks.begin(), ticks.end());
    state.counters["tick_ms_median"] = ticks.empty() ? 0 : ticks[ticks.size() / 2];
    state.counters["tick_ms_worst"] = ticks.empty() ? 0 : ticks.back();
    state.counters["files"] = nFiles;
    state.counters["bytes_logged"] = static_cast<double>(nLogged);
    state.counters["bytes_lost"] = static_cast<double>(nSent - std::min(nSent, nLogged)) + static_cast<double>(nUnsent);
    state.counters["bytes_extra"] = static_cast<double>(nLogged - std::min(nSent, nLogged));
    if (nLogged != nSent || nUnsent != 0)
        state.SkipWithError("bytes were lost or added");
    if (!ticks.empty() && ticks.back() >= 20.0)
        state.SkipWithError("a watch tick took 20 ms or more");
    pShell.reset();
    QZvPortCtrlBase::SetWallClock({});
}
} // namespace

void BM_AutoLogBoardListAtBound(benchmark::State& state)
{
    App();
    QTemporaryDir tmp;
    auto pShell = std::make_unique<ToolsShell>();
    ToolsShell& shell = *pShell;
    // Room is left for the ports' own boards, which the window adds and saves.
    QByteArray csv = "Computer,Board,EVK,Antenna,Base,version,M-Ant Link Chain,S-Ant Link Chain,ProductID,SN,"
                     "Log Status,Time\n";
    int nBoards = 0;
    for (;; ++nBoards)
    {
        const QByteArray line = "##,P" + QByteArray::number(nBoards) + ",,,,,,,,\n";
        if (csv.size() + line.size() > QAutoLogList::CSV_FILE_MAX_BYTES - 4096)
            break;
        csv += line;
    }
    WriteAll(QAutoLogList::ConfigCsvPath(), csv);
    WritePathFile(QAutoLogList::LogPathFile(), tmp.path());
    // Each port opened reads the list anew.
    std::vector<std::unique_ptr<FakeReceiver>> receivers;
    for (int i = 0; i < 8; ++i)
    {
        receivers.push_back(std::make_unique<FakeReceiver>(RECEIVER_RULES_T()));
        if (receivers.back()->Listen() == 0 || shell.OpenTcp(*receivers.back()) == nullptr)
        {
            state.SkipWithError("a port did not open");
            return;
        }
    }
    double dOpen = 0, dTick = 0, dSave = 0;
    for (auto _ : state)
    {
        QElapsedTimer t;
        t.start();
        shell.AutoLog.OnShowDiag();
        dOpen = static_cast<double>(t.nsecsElapsed()) / 1e6;
        t.restart();
        shell.AutoLog.OnTimeout();
        dTick = static_cast<double>(t.nsecsElapsed()) / 1e6;
        t.restart();
        shell.AutoLog.SaveConfigToFile();
        dSave = static_cast<double>(t.nsecsElapsed()) / 1e6;
        shell.AutoLog.hide();
    }
    state.counters["boards"] = nBoards;
    state.counters["open_ms"] = dOpen;
    state.counters["tick_ms"] = dTick;
    state.counters["save_ms"] = dSave;
    if (shell.AutoLog.Entries().size() < nBoards)
        state.SkipWithError(("boards of the list were lost: " + std::to_string(shell.AutoLog.Entries().size()) + " of " + std::to_string(nBoards)).c_str());
}

BENCHMARK(BM_AutoLog32Ports)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_AutoLogBoardListAtBound)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
