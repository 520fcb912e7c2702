// Days of automatic logging in seconds, from fake receivers on loopback TCP
// under a set clock that the test moves on and whose watch it runs itself:
// periods of an hour with cycle recording across midnight, schedules without
// cycle recording that end at their switch, a point in time that splits the
// log into a file a day, and tabs whose texts carry the tab set's marks.
// Every file's folder and name follow the day it began, and its bytes are
// exactly what its receiver sent while it was the port's file.
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDirIterator>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include "monitor/tools/auto_log_config.h"
#include "tools_shell.h"

namespace
{
// Bytes as a receiver sends them: binary logs with zero bytes, sync bytes and line ends.
std::string Chunk(int nStep, int nPort)
{
    std::string s = "#STEP" + std::to_string(nStep) + "PORT" + std::to_string(nPort) + "\r\n";
    const int n = 600 + 97 * nPort + 11 * nStep;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>((nStep * 31 + nPort * 7 + i * 13) & 0xFF);
    s += std::string("\xAA\x44\x12\x1C\x00\x00", 6);
    return s;
}

struct FILE_T
{
    QString Path;
    QByteArray Bytes;
};

const char* const kVersions[] = {
    "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:101,F:1F",
    "ZV200-B7,R3.2.0,x,1A2B0002,ID:201801234C560043,SN:102,F:1F",
    "ZV300-C2,R3.3.0,x,1A2B0003,ID:202011234D560044,SN:103,F:1F",
};

// The clock of the list and of the ports' switch times while it lives.
struct SetClock
{
    QDateTime Now;
    SetClock(ToolsShell& Shell, const QDateTime& Start) : Now(Start)
    {
        QZvPortCtrlBase::SetWallClock([this] { return Now; });
        Shell.AutoLog.SetClock([this] { return Now; });
        // The test runs the watch itself, after each move of the clock.
        Shell.AutoLog.SetWatchInterval(3600 * 1000);
    }
    ~SetClock() { QZvPortCtrlBase::SetWallClock({}); }
};

// n fake receivers, each opened as a TCP port of the shell.
void OpenBoards(ToolsShell& Shell, int n, std::vector<std::unique_ptr<FakeReceiver>>& Rx,
                std::vector<QZvPortCtrlBase*>& Ports)
{
    for (int i = 0; i < n; ++i)
    {
        RECEIVER_RULES_T rules;
        rules.VersionLine = kVersions[i];
        Rx.push_back(std::make_unique<FakeReceiver>(rules));
        ASSERT_NE(Rx.back()->Listen(), 0);
        Ports.push_back(Shell.OpenTcp(*Rx.back()));
        ASSERT_NE(Ports.back(), nullptr);
    }
}

void CheckAllRows(ToolsShell& Shell)
{
    QTableWidget* pTable = Shell.AutoLog.Table();
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->setChecked(true);
}

// Presses Log and chooses in the schedule window a point in time (when
// Point is valid) or a period, with or without cycle recording.
void ChooseSchedule(ToolsShell& Shell, const QDateTime& Point, const QTime& Period, bool bLoop)
{
    Shell.AutoLog.findChild<QPushButton*>(QStringLiteral("LogButton"))->click();
    QAutoLogConfig* pConfig = Shell.AutoLog.ConfigWindow();
    ASSERT_TRUE(pConfig->isVisible());
    if (Point.isValid())
    {
        pConfig->findChild<QRadioButton*>(QStringLiteral("PointInTimeRadio"))->setChecked(true);
        pConfig->findChild<QDateTimeEdit*>(QStringLiteral("PointInTimeEdit"))->setDateTime(Point);
    }
    else
    {
        pConfig->findChild<QRadioButton*>(QStringLiteral("TimePeriodRadio"))->setChecked(true);
        pConfig->findChild<QTimeEdit*>(QStringLiteral("TimePeriodEdit"))->setTime(Period);
    }
    pConfig->findChild<QCheckBox*>(QStringLiteral("CycleRecordingCheckBox"))->setChecked(bLoop);
    pConfig->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    ASSERT_FALSE(pConfig->isVisible()) << Shell.Prompt.Messages.join('\n').toStdString();
}

bool AllLogging(const std::vector<QZvPortCtrlBase*>& Ports, bool bLogging = true)
{
    for (QZvPortCtrlBase* p : Ports)
        if (p->IsLogging() != bLogging)
            return false;
    return true;
}

// root/yyyy/yyyyMM/yyyyMMdd of a day.
QString DayFolder(const QString& sRoot, const QDate& Day)
{
    return sRoot + Day.toString(QStringLiteral("/yyyy/yyyyMM/yyyyMMdd"));
}

QStringList FilesUnder(const QString& sRoot)
{
    QStringList files;
    for (QDirIterator it(sRoot, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    files.sort();
    return files;
}
} // namespace

TEST(AutoLogDay, EveryPortIsLoggedIntoDatedFilesWithEveryByte)
{
    ToolsShell shell;
    SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(21, 30)));
    QDateTime& now = clock.Now;
    std::vector<std::unique_ptr<FakeReceiver>> rx;
    std::vector<QZvPortCtrlBase*> ports;
    ASSERT_NO_FATAL_FAILURE(OpenBoards(shell, 3, rx, ports));
    const int nPorts = static_cast<int>(ports.size());

    QTemporaryDir tmp;
    const QString sRoot = tmp.filePath(QStringLiteral("日志 logs"));
    ASSERT_TRUE(QDir().mkpath(sRoot));
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), sRoot));
    shell.AutoLog.OnShowDiag();
    ASSERT_TRUE(shell.AutoLog.isVisible());
    QTableWidget* pTable = shell.AutoLog.Table();
    ASSERT_EQ(pTable->rowCount(), nPorts);
    // The user describes the first board, a comma included.
    pTable->item(0, 2)->setText(QStringLiteral("K1"));
    pTable->item(0, 3)->setText(QStringLiteral("A,1"));

    // Log, in periods of an hour with cycle recording.
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("LogButton"))->click();
    QAutoLogConfig* pConfig = shell.AutoLog.ConfigWindow();
    ASSERT_TRUE(pConfig->isVisible());
    pConfig->findChild<QRadioButton*>(QStringLiteral("TimePeriodRadio"))->setChecked(true);
    pConfig->findChild<QTimeEdit*>(QStringLiteral("TimePeriodEdit"))->setTime(QTime(1, 0));
    pConfig->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            for (QZvPortCtrlBase* p : ports)
                if (!p->IsLogging())
                    return false;
            return true;
        }));
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
    std::vector<size_t> firstItem;
    for (auto& r : rx)
        firstItem.push_back(r->Sent().size());

    // The names the rules give: the board's label, its description and its
    // receiver port, "." and ":" made "_", numbered from 1 in each day's folder.
    std::vector<QString> bases;
    for (int p = 0; p < nPorts; ++p)
    {
        const PORT_INFO_T info = shell.Tabs.GetPortInfo(ports[p]->UniquePortID);
        bases.push_back(QStringLiteral("%1_%2_Ant(%3)_Ver(%4)_Base()_%5")
                            .arg(info.Property.FirmwareLabel, p == 0 ? QStringLiteral("K1") : QString(),
                                 p == 0 ? QStringLiteral("A,1") : QString(), info.Property.FirmwareVersion,
                                 info.Property.PortShort)
                            .replace(QLatin1Char('.'), QLatin1Char('_')));
    }
    EXPECT_TRUE(bases[0].startsWith(QStringLiteral("R3_1_0-1_1_42_K1_Ant(A,1)_Ver(R3_1_0)_Base()_")))
        << bases[0].toStdString();

    std::vector<std::vector<FILE_T>> files(nPorts);
    std::map<QString, int> dayCount;
    QDateTime fileStart = now;
    const int kSteps = 26; // past midnight and through the whole next day
    for (int step = 0; step < kSteps; ++step)
    {
        for (int p = 0; p < nPorts; ++p)
        {
            const QString sDay = fileStart.date().toString(QStringLiteral("yyyyMMdd"));
            const int n = ++dayCount[sDay + bases[p]];
            const QString sExpected = QStringLiteral("%1/%2/%3/%4/%5_%6.log")
                                          .arg(sRoot, fileStart.date().toString(QStringLiteral("yyyy")),
                                               fileStart.date().toString(QStringLiteral("yyyyMM")), sDay, bases[p])
                                          .arg(n);
            EXPECT_EQ(ports[p]->GetLogFileName().toStdString(), sExpected.toStdString())
                << "step " << step << " port " << p;
            const std::string bytes = Chunk(step, p);
            rx[p]->Send(bytes);
            files[p].push_back({ports[p]->GetLogFileName(), QByteArray(bytes.data(), int(bytes.size()))});
        }
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                for (int p = 0; p < nPorts; ++p)
                    if (ports[p]->GetLogFileSize() != quint64(files[p].back().Bytes.size()))
                        return false;
                return true;
            }))
            << "step " << step;
        if (step == kSteps - 1)
            break;
        now = now.addSecs(61 * 60);
        fileStart = now;
        shell.AutoLog.OnTimeout();
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                for (int p = 0; p < nPorts; ++p)
                    if (!ports[p]->IsLogging() || ports[p]->GetLogFileName() == files[p].back().Path)
                        return false;
                return true;
            }))
            << "step " << step;
    }
    // The watch shows each port's state.
    EXPECT_EQ(pTable->item(0, QAutoLogList::COL_STATUS)->text(), QStringLiteral("Logging"));

    // Unlog every row.
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->setChecked(true);
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("UnlogButton"))->click();
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            for (QZvPortCtrlBase* p : ports)
                if (p->IsLogging())
                    return false;
            return true;
        }));

    for (int p = 0; p < nPorts; ++p)
    {
        SCOPED_TRACE(p);
        QByteArray all;
        for (const FILE_T& f : files[p])
        {
            EXPECT_EQ(ReadAll(f.Path), f.Bytes) << f.Path.toStdString();
            all += ReadAll(f.Path);
        }
        // Together the files hold exactly what the receiver sent while it was logged.
        QByteArray sent;
        const std::vector<STREAM_ITEM_T> items = rx[p]->Sent();
        for (size_t i = firstItem[p]; i < items.size(); ++i)
            sent += QByteArray(items[i].Wire.data(), int(items[i].Wire.size()));
        EXPECT_EQ(all, sent);
    }
    // Nothing else was written, and both days have their folders.
    EXPECT_EQ(FilesUnder(sRoot).size(), kSteps * nPorts);
    EXPECT_TRUE(QFileInfo(sRoot + QStringLiteral("/2024/202405/20240521")).isDir());
    EXPECT_TRUE(QFileInfo(sRoot + QStringLiteral("/2024/202405/20240522")).isDir());

    // The descriptions were saved with their comma and read back.
    const QByteArray csv = ReadAll(QAutoLogList::ConfigCsvPath());
    EXPECT_TRUE(csv.contains(",K1,\"A,1\",")) << csv.toStdString();
    shell.AutoLog.OnShowDiag();
    EXPECT_EQ(shell.AutoLog.Table()->item(0, 3)->text(), QStringLiteral("A,1"));
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
}

// A port whose day has no free name left keeps logging into its file (one
// message), and a tab closed while the list watches it is never read again.
TEST(AutoLogDay, NoFreeNameKeepsTheFileAndAClosedTabIsLeftAlone)
{
    ToolsShell shell;
    SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(23, 0)));
    QDateTime& now = clock.Now;
    RECEIVER_RULES_T first, second;
    first.VersionLine = "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:101,F:1F";
    second.VersionLine = "ZV200-B7,R3.2.0,x,1A2B0002,ID:201801234C560043,SN:102,F:1F";
    FakeReceiver rxA(first), rxB(second);
    ASSERT_NE(rxA.Listen(), 0);
    ASSERT_NE(rxB.Listen(), 0);
    QZvPortCtrlBase* pA = shell.OpenTcp(rxA);
    QZvPortCtrlBase* pB = shell.OpenTcp(rxB);
    ASSERT_NE(pA, nullptr);
    ASSERT_NE(pB, nullptr);
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    shell.AutoLog.OnShowDiag();
    // A day of logging, switching every hour, for both ports.
    shell.AutoLog.OnSignalLogConfig(1, true, QDateTime(now.date(), QTime(1, 0)));
    ASSERT_TRUE(WaitUntil([&] { return pA->IsLogging() && pB->IsLogging(); }));
    const QString sFileA = pA->GetLogFileName();

    // Tomorrow's names of the first port are all used.
    const QString sBaseA = QFileInfo(sFileA).fileName().chopped(QStringLiteral("_1.log").size());
    const QString sTomorrow = tmp.path() + QStringLiteral("/2024/202405/20240522");
    for (int n = 1; n <= LOG_NAME_COUNT_MAX; ++n)
        ASSERT_TRUE(WriteAll(QStringLiteral("%1/%2_%3.log").arg(sTomorrow, sBaseA).arg(n), ""));
    rxA.Send("before midnight");
    ASSERT_TRUE(WaitUntil([&] { return pA->GetLogFileSize() == 15; }));
    now = now.addSecs(3601);
    shell.AutoLog.OnTimeout();
    shell.AutoLog.OnTimeout();
    ASSERT_TRUE(WaitUntil([&] { return pB->GetLogFileName().startsWith(sTomorrow); }));
    ASSERT_EQ(shell.Prompt.Messages.size(), 1) << "told once";
    EXPECT_TRUE(shell.Prompt.Messages[0].startsWith(QStringLiteral("Error|") + shell.Tabs.GetTabText(0) +
                                                    QStringLiteral(": all 999 log file names")))
        << shell.Prompt.Messages[0].toStdString();
    rxA.Send(" and after");
    ASSERT_TRUE(WaitUntil([&] { return pA->GetLogFileSize() == 25; }));
    EXPECT_EQ(pA->GetLogFileName(), sFileA);
    EXPECT_TRUE(pA->IsLogging());

    // The first tab closes; the watch goes on with the second.
    shell.Tabs.OnClosePort(0);
    ASSERT_EQ(shell.Tabs.count(), 1);
    const QString sFileB = pB->GetLogFileName();
    now = now.addSecs(3601);
    shell.AutoLog.OnTimeout();
    ASSERT_TRUE(WaitUntil([&] { return pB->GetLogFileName() != sFileB && pB->IsLogging(); }));
    EXPECT_EQ(ReadAll(sFileA), QByteArray("before midnight and after"));
}

// Without cycle recording a schedule, a period or a point in time, ends the
// log at its switch: the file is closed holding every byte sent before it,
// the port is stopped once however often the watch looks again, and a later
// log begins a file of its own beside the first.
TEST(AutoLogDay, WithoutCycleRecordingTheFileEndsAtTheSwitchAndThePortIsStoppedOnce)
{
    for (const bool bPoint : {false, true})
    {
        SCOPED_TRACE(bPoint ? "a point in time" : "a period");
        ToolsShell shell;
        SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(21, 30)));
        std::vector<std::unique_ptr<FakeReceiver>> rx;
        std::vector<QZvPortCtrlBase*> ports;
        ASSERT_NO_FATAL_FAILURE(OpenBoards(shell, 1, rx, ports));
        QZvPortCtrlBase* pPort = ports[0];
        QTemporaryDir tmp;
        ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
        shell.AutoLog.OnShowDiag();
        QTableWidget* pTable = shell.AutoLog.Table();
        QSignalSpy closed(&shell.AutoLog, &QAutoLogList::SignalCloseFile);
        QSignalSpy unlogged(&shell.AutoLog, &QAutoLogList::SignalUnlogFile);
        QSignalSpy stopped(&shell.AutoLog, &QAutoLogList::SignalStoplogFile);
        // Either schedule ends at 22:30.
        const QDateTime end(QDate(2024, 5, 21), QTime(22, 30));
        ASSERT_NO_FATAL_FAILURE(ChooseSchedule(shell, bPoint ? end : QDateTime(), QTime(1, 0), false));
        ASSERT_TRUE(WaitUntil([&] { return pPort->IsLogging(); }));
        const QString sFile = pPort->GetLogFileName();
        EXPECT_TRUE(sFile.startsWith(DayFolder(tmp.path(), end.date()) + QLatin1Char('/')) &&
                    sFile.endsWith(QStringLiteral("_1.log")))
            << sFile.toStdString();

        // Before the switch the watch leaves the port logging.
        rx[0]->Send("before ");
        ASSERT_TRUE(WaitUntil([&] { return pPort->GetLogFileSize() == 7; }));
        clock.Now = end.addSecs(-60);
        shell.AutoLog.OnTimeout();
        EXPECT_EQ(pTable->item(0, QAutoLogList::COL_TIME)->text(), QStringLiteral("2024/05/21 22:30:00"));
        rx[0]->Send("the switch");
        ASSERT_TRUE(WaitUntil([&] { return pPort->GetLogFileSize() == 17; }));
        EXPECT_EQ(closed.count() + unlogged.count() + stopped.count(), 0);

        clock.Now = end.addSecs(30);
        shell.AutoLog.OnTimeout();
        ASSERT_TRUE(WaitUntil([&] { return !pPort->IsLogging(); }));
        EXPECT_EQ(closed.count(), 1);
        ASSERT_EQ(unlogged.count(), 1);
        EXPECT_EQ(unlogged.at(0).at(0).toString(), sFile);
        EXPECT_EQ(unlogged.at(0).at(1).toInt(), 0) << "the board's entry";
        for (int i = 0; i < 3; ++i)
        {
            clock.Now = clock.Now.addSecs(10 * 60);
            shell.AutoLog.OnTimeout();
        }
        EXPECT_EQ(stopped.count(), 1);
        EXPECT_EQ(pTable->item(0, QAutoLogList::COL_STATUS)->text(), QStringLiteral("UnLog"));
        EXPECT_EQ(pTable->item(0, QAutoLogList::COL_TIME)->text(), QString());

        // Logged again the same day, the port takes the next name.
        CheckAllRows(shell);
        ASSERT_NO_FATAL_FAILURE(
            ChooseSchedule(shell, bPoint ? clock.Now.addSecs(3600) : QDateTime(), QTime(1, 0), false));
        ASSERT_TRUE(WaitUntil([&] { return pPort->IsLogging(); }));
        const QString sSecond = pPort->GetLogFileName();
        EXPECT_EQ(sSecond, sFile.chopped(6) + QStringLiteral("_2.log"));
        rx[0]->Send("again");
        ASSERT_TRUE(WaitUntil([&] { return pPort->GetLogFileSize() == 5; }));
        CheckAllRows(shell);
        shell.AutoLog.findChild<QPushButton*>(QStringLiteral("UnlogButton"))->click();
        ASSERT_TRUE(WaitUntil([&] { return !pPort->IsLogging(); }));
        EXPECT_EQ(ReadAll(sFile), QByteArray("before the switch"));
        EXPECT_EQ(ReadAll(sSecond), QByteArray("again"));
        EXPECT_EQ(FilesUnder(tmp.path()), QStringList({sFile, sSecond}));
        EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
    }
}

// A point in time with cycle recording splits the log at that time of day:
// the first file runs to it, then one file a day from it to the next, each
// in the folder of the day it began. A computer that slept through a day's
// switch begins one file when it wakes, and the next switch is the day's time
// after that.
TEST(AutoLogDay, APointInTimeWithCycleRecordingGivesAFileADaySplitAtThatTime)
{
    ToolsShell shell;
    SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(10, 0)));
    std::vector<std::unique_ptr<FakeReceiver>> rx;
    std::vector<QZvPortCtrlBase*> ports;
    ASSERT_NO_FATAL_FAILURE(OpenBoards(shell, 2, rx, ports));
    const int nPorts = static_cast<int>(ports.size());
    QTemporaryDir tmp;
    const QString sRoot = tmp.filePath(QStringLiteral("日志 logs"));
    ASSERT_TRUE(QDir().mkpath(sRoot));
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), sRoot));
    shell.AutoLog.OnShowDiag();
    QSignalSpy switched(&shell.AutoLog, &QAutoLogList::SignalLogNewFile);
    ASSERT_NO_FATAL_FAILURE(ChooseSchedule(shell, QDateTime(QDate(2024, 5, 21), QTime(18, 0)), QTime(), true));
    ASSERT_TRUE(WaitUntil([&] { return AllLogging(ports); }));

    struct STEP_T
    {
        QDateTime Now;
        bool bSwitch;
        const char* NextSwitch; // as the watch shows it afterwards
    };
    const STEP_T steps[] = {
        {QDateTime(QDate(2024, 5, 21), QTime(14, 0)), false, "2024/05/21 18:00:00"},
        {QDateTime(QDate(2024, 5, 21), QTime(18, 0, 30)), true, "2024/05/22 18:00:00"},
        {QDateTime(QDate(2024, 5, 22), QTime(9, 0)), false, "2024/05/22 18:00:00"},
        {QDateTime(QDate(2024, 5, 22), QTime(18, 0, 30)), true, "2024/05/23 18:00:00"},
        {QDateTime(QDate(2024, 5, 24), QTime(19, 0)), true, "2024/05/25 18:00:00"},
        {QDateTime(QDate(2024, 5, 24), QTime(23, 59)), false, "2024/05/25 18:00:00"},
    };
    // Each port's files with the day each began and the bytes sent into it.
    std::vector<std::vector<FILE_T>> files(nPorts);
    std::vector<std::vector<QDate>> days(nPorts);
    for (int p = 0; p < nPorts; ++p)
    {
        files[p].push_back({ports[p]->GetLogFileName(), {}});
        days[p].push_back(clock.Now.date());
    }
    int step = 0;
    for (const STEP_T& s : steps)
    {
        SCOPED_TRACE(s.Now.toString(Qt::ISODate).toStdString());
        for (int p = 0; p < nPorts; ++p)
        {
            const std::string bytes = Chunk(step, p);
            rx[p]->Send(bytes);
            files[p].back().Bytes += QByteArray(bytes.data(), int(bytes.size()));
        }
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                for (int p = 0; p < nPorts; ++p)
                    if (ports[p]->GetLogFileSize() != quint64(files[p].back().Bytes.size()))
                        return false;
                return true;
            }));
        clock.Now = s.Now;
        const int nBefore = switched.count();
        shell.AutoLog.OnTimeout();
        EXPECT_EQ(switched.count() - nBefore, s.bSwitch ? nPorts : 0);
        if (s.bSwitch)
        {
            ASSERT_TRUE(WaitUntil(
                [&]
                {
                    for (int p = 0; p < nPorts; ++p)
                        if (!ports[p]->IsLogging() || ports[p]->GetLogFileName() == files[p].back().Path ||
                            ports[p]->GetNextSwitchTime() <= clock.Now)
                            return false;
                    return true;
                }));
            for (int p = 0; p < nPorts; ++p)
            {
                files[p].push_back({ports[p]->GetLogFileName(), {}});
                days[p].push_back(clock.Now.date());
            }
        }
        // The watch looks again: nothing switches twice, and it shows the next switch.
        shell.AutoLog.OnTimeout();
        EXPECT_EQ(switched.count() - nBefore, s.bSwitch ? nPorts : 0);
        for (int p = 0; p < nPorts; ++p)
            EXPECT_EQ(shell.AutoLog.Table()->item(p, QAutoLogList::COL_TIME)->text(),
                      QString::fromLatin1(s.NextSwitch));
        ++step;
    }
    CheckAllRows(shell);
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("UnlogButton"))->click();
    ASSERT_TRUE(WaitUntil([&] { return AllLogging(ports, false); }));

    // Files 1 and 2 of the 21st, 1 of the 22nd and 1 of the 24th, each holding what was sent into it.
    QStringList expected;
    for (int p = 0; p < nPorts; ++p)
    {
        SCOPED_TRACE(p);
        ASSERT_EQ(files[p].size(), 4u);
        const QString sBase = QFileInfo(files[p][0].Path).fileName().chopped(QStringLiteral("_1.log").size());
        const int numbers[] = {1, 2, 1, 1};
        for (size_t f = 0; f < files[p].size(); ++f)
        {
            EXPECT_EQ(files[p][f].Path,
                      QStringLiteral("%1/%2_%3.log").arg(DayFolder(sRoot, days[p][f]), sBase).arg(numbers[f]));
            EXPECT_EQ(ReadAll(files[p][f].Path), files[p][f].Bytes) << files[p][f].Path.toStdString();
            expected << files[p][f].Path;
        }
    }
    EXPECT_EQ(days[0],
              std::vector<QDate>({QDate(2024, 5, 21), QDate(2024, 5, 21), QDate(2024, 5, 22), QDate(2024, 5, 24)}));
    expected.sort();
    EXPECT_EQ(FilesUnder(sRoot), expected);
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
}

// The tab set marks a tab's text while its port is paused, upgraded or
// locked. The list matches a marked tab to its board's entry all the same:
// the board keeps its description in the table, in its log file names and in
// the saved list, whether the marks came before the list was built or change
// while the port logs.
TEST(AutoLogDay, MarkedTabsKeepTheirBoardsEntries)
{
    ToolsShell shell;
    SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(9, 0)));
    std::vector<std::unique_ptr<FakeReceiver>> rx;
    std::vector<QZvPortCtrlBase*> ports;
    ASSERT_NO_FATAL_FAILURE(OpenBoards(shell, 3, rx, ports));
    const int nPorts = static_cast<int>(ports.size());
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    // The user describes each board and saves the list, while no tab is marked.
    QStringList names;
    shell.AutoLog.OnShowDiag();
    QTableWidget* pTable = shell.AutoLog.Table();
    ASSERT_EQ(pTable->rowCount(), nPorts);
    for (int i = 0; i < nPorts; ++i)
    {
        names << shell.Tabs.GetTabText(i);
        pTable->item(i, QAutoLogList::COL_EVK)->setText(QStringLiteral("kit%1").arg(i));
        pTable->item(i, 3)->setText(QStringLiteral("ant%1").arg(i));
    }
    shell.AutoLog.SaveConfigToFile();
    shell.AutoLog.hide();

    // Paused; upgrading and paused; locked.
    shell.Tabs.setCurrentIndex(0);
    shell.Tabs.OnTriggerCurTxViewStopShow();
    shell.Tabs.SetTabUpgradingMark(ports[1]->UniquePortID, true);
    shell.Tabs.setCurrentIndex(1);
    shell.Tabs.OnTriggerCurTxViewStopShow();
    shell.Tabs.setCurrentIndex(2);
    shell.Tabs.OnLockTabOne();
    ASSERT_EQ(shell.Tabs.GetTabText(0), names[0] + QStringLiteral("-Pause"));
    ASSERT_EQ(shell.Tabs.GetTabText(1), names[1] + QStringLiteral("-Upgrading-Pause"));
    ASSERT_EQ(shell.Tabs.GetTabText(2), names[2] + QStringLiteral("-[Lock]"));

    const auto checkRows = [&]
    {
        ASSERT_EQ(pTable->rowCount(), nPorts);
        for (int i = 0; i < nPorts; ++i)
        {
            SCOPED_TRACE(i);
            EXPECT_EQ(qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->text(), names[i]);
            EXPECT_EQ(pTable->item(i, QAutoLogList::COL_EVK)->text(), QStringLiteral("kit%1").arg(i));
            EXPECT_EQ(pTable->item(i, 3)->text(), QStringLiteral("ant%1").arg(i));
        }
        EXPECT_EQ(shell.AutoLog.Entries().size(), nPorts);
    };
    const auto checkNames = [&](const char* pNumber)
    {
        for (int i = 0; i < nPorts; ++i)
        {
            const QString sName = QFileInfo(ports[i]->GetLogFileName()).fileName();
            EXPECT_TRUE(sName.contains(QStringLiteral("_kit%1_Ant(ant%1)_").arg(i)) && sName.endsWith(pNumber))
                << sName.toStdString();
        }
    };
    shell.AutoLog.OnShowDiag();
    ASSERT_NO_FATAL_FAILURE(checkRows());
    ASSERT_NO_FATAL_FAILURE(ChooseSchedule(shell, QDateTime(), QTime(1, 0), true));
    ASSERT_TRUE(WaitUntil([&] { return AllLogging(ports); }));
    checkNames("_1.log");

    // The first is resumed and the third paused while they log; choosing a
    // tab builds the list anew.
    shell.Tabs.setCurrentIndex(0);
    shell.Tabs.OnTriggerCurTxViewStopShow();
    shell.Tabs.setCurrentIndex(2);
    shell.Tabs.OnTriggerCurTxViewStopShow();
    ASSERT_EQ(shell.Tabs.GetTabText(0), names[0]);
    ASSERT_EQ(shell.Tabs.GetTabText(2), names[2] + QStringLiteral("-[Lock]-Pause"));
    shell.Tabs.setCurrentIndex(1);
    ASSERT_NO_FATAL_FAILURE(checkRows());
    std::vector<QString> first;
    for (QZvPortCtrlBase* p : ports)
        first.push_back(p->GetLogFileName());
    clock.Now = clock.Now.addSecs(61 * 60);
    shell.AutoLog.OnTimeout();
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            for (int i = 0; i < nPorts; ++i)
                if (!ports[i]->IsLogging() || ports[i]->GetLogFileName() == first[i])
                    return false;
            return true;
        }));
    checkNames("_2.log");

    shell.AutoLog.SaveConfigToFile();
    const QString sCsv = QString::fromUtf8(ReadAll(QAutoLogList::ConfigCsvPath()));
    EXPECT_EQ(sCsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 1 + nPorts) << sCsv.toStdString();
    for (const char* pMark : {"-Pause", "-Upgrading", "-[Lock]"})
        EXPECT_FALSE(sCsv.contains(QLatin1String(pMark))) << sCsv.toStdString();
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
}

// The start's reconnection rule: every port's auto-reconnect flag becomes the
// "Auto Reconnect" box's state when that port logs in normal mode (mode 2),
// and false for every other port, whether it was started now or not.
TEST(AutoLogDay, TheStartSetsEachPortsAutoReconnectFlagByTheRule)
{
    ToolsShell shell;
    SetClock clock(shell, QDateTime(QDate(2024, 5, 21), QTime(9, 0)));
    std::vector<std::unique_ptr<FakeReceiver>> rx;
    std::vector<QZvPortCtrlBase*> ports;
    ASSERT_NO_FATAL_FAILURE(OpenBoards(shell, 3, rx, ports));
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    shell.AutoLog.OnShowDiag();
    QTableWidget* pTable = shell.AutoLog.Table();
    ASSERT_EQ(pTable->rowCount(), 3);
    QCheckBox* pReconnect = shell.AutoLog.findChild<QCheckBox*>(QStringLiteral("AutoReconnectCheckBox"));
    ASSERT_NE(pReconnect, nullptr);
    EXPECT_TRUE(pReconnect->isHidden());
    EXPECT_FALSE(pReconnect->isChecked());
    const auto start = [&](int nRow, bool bNormal)
    {
        for (int i = 0; i < pTable->rowCount(); ++i)
            qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->setChecked(i == nRow);
        shell.AutoLog.findChild<QPushButton*>(QStringLiteral("LogButton"))->click();
        QAutoLogConfig* pConfig = shell.AutoLog.ConfigWindow();
        if (bNormal)
            pConfig->findChild<QRadioButton*>(QStringLiteral("NormalModeRadio"))->setChecked(true);
        else
        {
            pConfig->findChild<QRadioButton*>(QStringLiteral("TimePeriodRadio"))->setChecked(true);
            pConfig->findChild<QTimeEdit*>(QStringLiteral("TimePeriodEdit"))->setTime(QTime(1, 0));
        }
        pConfig->findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        ASSERT_TRUE(WaitUntil([&] { return ports[static_cast<size_t>(nRow)]->IsLogging(); }));
    };
    const auto flags = [&]
    {
        std::vector<bool> v;
        for (QZvPortCtrlBase* p : ports)
            v.push_back(shell.Tabs.GetPortInfo(p->UniquePortID).bAutoReconnect);
        return v;
    };
    // Port 0 logs without end, port 1 in periods: with the box checked only
    // port 0 (logging in mode 2 when port 1 starts) gets the flag.
    ASSERT_NO_FATAL_FAILURE(start(0, true));
    EXPECT_EQ(flags(), std::vector<bool>({false, false, false}));
    pReconnect->setChecked(true);
    ASSERT_NO_FATAL_FAILURE(start(1, false));
    EXPECT_EQ(flags(), std::vector<bool>({true, false, false}));
    // The box as the form keeps it, unchecked: every flag is cleared.
    pReconnect->setChecked(false);
    ASSERT_NO_FATAL_FAILURE(start(2, true));
    EXPECT_EQ(flags(), std::vector<bool>({false, false, false}));
}
