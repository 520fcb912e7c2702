// A day of automatic logging in seconds: three fake receivers on loopback
// TCP, logged in periods of an hour with cycle recording under a set clock
// that the test moves on by an hour and a minute at a time, across midnight.
// Every file's folder and name follow the day it began, and its bytes are
// exactly what its receiver sent during its hour.
#include <QCheckBox>
#include <QDirIterator>
#include <QPushButton>
#include <QRadioButton>
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
} // namespace

TEST(AutoLogDay, EveryPortIsLoggedIntoDatedFilesWithEveryByte)
{
    ToolsShell shell;
    QDateTime now(QDate(2024, 5, 21), QTime(21, 30));
    QZvPortCtrlBase::SetWallClock([&now] { return now; });
    shell.AutoLog.SetClock([&now] { return now; });
    // The test runs the watch itself, after each move of the clock.
    shell.AutoLog.SetWatchInterval(3600 * 1000);

    const std::vector<std::string> versions = {
        "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:101,F:1F",
        "ZV200-B7,R3.2.0,x,1A2B0002,ID:201801234C560043,SN:102,F:1F",
        "ZV300-C2,R3.3.0,x,1A2B0003,ID:202011234D560044,SN:103,F:1F",
    };
    std::vector<std::unique_ptr<FakeReceiver>> rx;
    std::vector<QZvPortCtrlBase*> ports;
    for (const std::string& v : versions)
    {
        RECEIVER_RULES_T rules;
        rules.VersionLine = v;
        rx.push_back(std::make_unique<FakeReceiver>(rules));
        ASSERT_NE(rx.back()->Listen(), 0);
        ports.push_back(shell.OpenTcp(*rx.back()));
        ASSERT_NE(ports.back(), nullptr);
    }
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
    ASSERT_TRUE(WaitUntil([&] {
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
            EXPECT_EQ(ports[p]->GetLogFileName().toStdString(), sExpected.toStdString()) << "step " << step << " port " << p;
            const std::string bytes = Chunk(step, p);
            rx[p]->Send(bytes);
            files[p].push_back({ports[p]->GetLogFileName(), QByteArray(bytes.data(), int(bytes.size()))});
        }
        ASSERT_TRUE(WaitUntil([&] {
            for (int p = 0; p < nPorts; ++p)
                if (ports[p]->GetLogFileSize() != quint64(files[p].back().Bytes.size()))
                    return false;
            return true;
        })) << "step " << step;
        if (step == kSteps - 1)
            break;
        now = now.addSecs(61 * 60);
        fileStart = now;
        shell.AutoLog.OnTimeout();
        ASSERT_TRUE(WaitUntil([&] {
            for (int p = 0; p < nPorts; ++p)
                if (!ports[p]->IsLogging() || ports[p]->GetLogFileName() == files[p].back().Path)
                    return false;
            return true;
        })) << "step " << step;
    }
    // The watch shows each port's state.
    EXPECT_EQ(pTable->item(0, QAutoLogList::COL_STATUS)->text(), QStringLiteral("Logging"));

    // Unlog every row.
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))->setChecked(true);
    shell.AutoLog.findChild<QPushButton*>(QStringLiteral("UnlogButton"))->click();
    ASSERT_TRUE(WaitUntil([&] {
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
    QStringList written;
    for (QDirIterator it(sRoot, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        written << it.next();
    EXPECT_EQ(written.size(), kSteps * nPorts);
    EXPECT_TRUE(QFileInfo(sRoot + QStringLiteral("/2024/202405/20240521")).isDir());
    EXPECT_TRUE(QFileInfo(sRoot + QStringLiteral("/2024/202405/20240522")).isDir());

    // The descriptions were saved with their comma and read back.
    const QByteArray csv = ReadAll(QAutoLogList::ConfigCsvPath());
    EXPECT_TRUE(csv.contains(",K1,\"A,1\",")) << csv.toStdString();
    shell.AutoLog.OnShowDiag();
    EXPECT_EQ(shell.AutoLog.Table()->item(0, 3)->text(), QStringLiteral("A,1"));
    EXPECT_TRUE(shell.Prompt.Messages.isEmpty()) << shell.Prompt.Messages.join('\n').toStdString();
    QZvPortCtrlBase::SetWallClock({});
}

// A port whose day has no free name left keeps logging into its file (one
// message), and a tab closed while the list watches it is never read again.
TEST(AutoLogDay, NoFreeNameKeepsTheFileAndAClosedTabIsLeftAlone)
{
    ToolsShell shell;
    QDateTime now(QDate(2024, 5, 21), QTime(23, 0));
    QZvPortCtrlBase::SetWallClock([&now] { return now; });
    shell.AutoLog.SetClock([&now] { return now; });
    shell.AutoLog.SetWatchInterval(3600 * 1000);
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
    QZvPortCtrlBase::SetWallClock({});
}
