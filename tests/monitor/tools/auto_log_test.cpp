// Automatic logging: the board list's CSV file, the log names and folders,
// the schedule window's checks, and a day of logging from fake receivers
// under a set clock, checked byte for byte.
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTimeEdit>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "monitor/ports/config_file.h"
#include "monitor/tools/auto_log_config.h"
#include "monitor/tools/auto_log_csv.h"
#include "monitor/tools/tool_paths.h"
#include "support/fifo_guard.h"
#include "tools_shell.h"

namespace
{
AUTO_LOG_ENTRY_T Entry(const QString& sPort, const QString& sEvk, const QString& sAntenna)
{
    AUTO_LOG_ENTRY_T e = AutoLogEntryFromName(sPort);
    e.EVK = sEvk;
    e.Antenna = sAntenna;
    e.Base = QStringLiteral("base 1");
    e.Version = QStringLiteral("R3.1.0");
    e.ProductID = QStringLiteral("201801234B560042");
    e.SN = QStringLiteral("123");
    return e;
}

// A board list of as many short board lines (ports P0, P1 ...) as fit in
// nMaxBytes, with the twelve default labels.
QByteArray BoardList(qint64 nMaxBytes, int* pBoards = nullptr)
{
    QByteArray csv = "Computer,Board,EVK,Antenna,Base,version,M-Ant Link Chain,S-Ant Link Chain,ProductID,SN,"
                     "Log Status,Time\n";
    for (int n = 0;; ++n)
    {
        const QByteArray line = "##,P" + QByteArray::number(n) + ",,,,,,,,\n";
        if (csv.size() + line.size() > nMaxBytes)
        {
            if (pBoards != nullptr)
                *pBoards = n;
            return csv;
        }
        csv += line;
    }
}
} // namespace

TEST(AutoLogCsv, EveryTextSurvivesASaveAndALoad)
{
    const QList<AUTO_LOG_ENTRY_T> saved = {
        Entry(QStringLiteral("COM3_U1"), QStringLiteral("EVK,2"), QStringLiteral("\"choke\" ring")),
        Entry(QStringLiteral("192.168.1.10:3001"), QStringLiteral("测试板"), QStringLiteral("Ant, \"A\", 1")),
        Entry(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ends with a quote\""), QStringLiteral("")),
    };
    QList<AUTO_LOG_ENTRY_T> changed = saved;
    changed[0].Computer = QStringLiteral("bench PC, left"); // no "##" in the line any more
    changed[2].MAntLinkChain = QStringLiteral("cable\r\n3 m");

    const QStringList header = {QStringLiteral("Computer"), QStringLiteral("Board")};
    QStringList readHeader;
    QList<AUTO_LOG_ENTRY_T> read;
    ReadAutoLogCsv(QString::fromUtf8(AutoLogCsvText(header, changed)), &readHeader, &read);
    EXPECT_EQ(readHeader, header);
    ASSERT_EQ(read.size(), saved.size());
    for (int i = 0; i < read.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].Computer, changed[i].Computer);
        EXPECT_EQ(read[i].PortName, changed[i].PortName);
        EXPECT_EQ(read[i].EVK, changed[i].EVK);
        EXPECT_EQ(read[i].Antenna, changed[i].Antenna);
        EXPECT_EQ(read[i].Base, changed[i].Base);
        EXPECT_EQ(read[i].ProductID, changed[i].ProductID);
    }
    // Line ends inside a cell are dropped, so the line stays one line.
    EXPECT_EQ(read[2].MAntLinkChain, QStringLiteral("cable3 m"));
    EXPECT_EQ(read[0].PortTag, QStringLiteral("U1"));
    EXPECT_EQ(read[0].DisplayName, QStringLiteral("COM3"));
    EXPECT_EQ(read[1].PortTag, QStringLiteral("U2"));
}

TEST(AutoLogCsv, FilesOfEarlierWritersAreRead)
{
    struct CASE_T
    {
        const char* Name;
        QByteArray File;
        QStringList Ports;
        QStringList Header;
    };
    const QByteArray latin1 = QByteArray("Computer,Board\n##UNKNOWN,COM4,Mess") + char(0xE9) +
                              QByteArray(",a,b,c,d,e,f,g\n");
    const CASE_T cases[] = {
        {"plain lines with a header", "Computer,Board,EVK\r\n##UNKNOWN,COM1,,,,,,,,\r\n##UNKNOWN,COM2,,,,,,,,,extra\r\n",
         {"COM1", "COM2"}, {"Computer", "Board", "EVK"}},
        {"no header", "##UNKNOWN,COM1,,,,,,,,\n", {"COM1"}, {}},
        {"short and empty lines are skipped", "Computer\n\n##UNKNOWN,COM1,x\nnot,a,board\n##UNKNOWN,,,,,,,,,\n", {},
         {"Computer"}},
        {"a port listed twice keeps its first line", "h\n##A,COM1,1,,,,,,,\n##B,COM1,2,,,,,,,\n", {"COM1"}, {"h"}},
        {"Latin-1", latin1, {"COM4"}, {"Computer", "Board"}},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        QStringList header;
        QList<AUTO_LOG_ENTRY_T> read;
        ReadAutoLogCsv(DecodeToolText(c.File), &header, &read);
        QStringList ports;
        for (const AUTO_LOG_ENTRY_T& e : read)
            ports << e.PortName;
        EXPECT_EQ(ports, c.Ports);
        EXPECT_EQ(header, c.Header);
    }
    QStringList header;
    QList<AUTO_LOG_ENTRY_T> read;
    ReadAutoLogCsv(DecodeToolText(latin1), &header, &read);
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read[0].EVK, QString::fromUtf8("Messé"));
}

TEST(ToolPaths, NamesFoldersAndPathFiles)
{
    struct BASE_T
    {
        const char* In;
        const char* Out;
    };
    for (const BASE_T& c : {BASE_T{"192.168.1.10:3001", "192_168_1_10_3001"}, BASE_T{"/dev/pts/3", "_dev_pts_3"},
                            BASE_T{"EVB-1_K1_Ant(A)_Ver(1.2.3)_Base(B)_U1", "EVB-1_K1_Ant(A)_Ver(1_2_3)_Base(B)_U1"},
                            BASE_T{"a\\b", "a_b"}})
        EXPECT_EQ(LogBaseName(QString::fromUtf8(c.In)), QString::fromUtf8(c.Out)) << c.In;

    QTemporaryDir tmp;
    const QString sRoot = tmp.filePath(QStringLiteral("日志 根"));
    const QString sDay = MakeDatedLogDir(sRoot, QDate(2024, 5, 21), QStringLiteral("HardwareTest"));
    EXPECT_EQ(sDay, sRoot + QStringLiteral("/2024/202405/20240521/HardwareTest"));
    EXPECT_TRUE(QFileInfo(sDay).isDir());
    EXPECT_TRUE(MakeDatedLogDir(QString(), QDate(2024, 5, 21)).isEmpty());

    // The first free number; names handed out count as used; none past the last.
    EXPECT_EQ(NumberedLogName(sDay, QStringLiteral("rx")), sDay + QStringLiteral("/rx_1.log"));
    ASSERT_TRUE(WriteAll(sDay + QStringLiteral("/rx_1.log"), "x"));
    EXPECT_EQ(NumberedLogName(sDay, QStringLiteral("rx")), sDay + QStringLiteral("/rx_2.log"));
    EXPECT_EQ(NumberedLogName(sDay, QStringLiteral("rx"), {sDay + QStringLiteral("/rx_2.log")}),
              sDay + QStringLiteral("/rx_3.log"));
    for (int n = 2; n <= LOG_NAME_COUNT_MAX; ++n)
        ASSERT_TRUE(WriteAll(sDay + QStringLiteral("/rx_%1.log").arg(n), ""));
    EXPECT_EQ(NumberedLogName(sDay, QStringLiteral("rx")), QString());

    // Path files keep a non-ASCII folder; one written as Latin-1 is still read.
    const QString sFile = tmp.filePath(QStringLiteral("Configure/Config/DefaultLogPath.ini"));
    ASSERT_TRUE(WritePathFile(sFile, sRoot));
    EXPECT_EQ(ReadAll(sFile), sRoot.toUtf8()) << "one line, no line end";
    EXPECT_EQ(ReadPathFile(sFile), sRoot);
    ASSERT_TRUE(WriteAll(sFile, QByteArray("/data/r") + char(0xE9) + QByteArray("sultats\r\nsecond line")));
    EXPECT_EQ(ReadPathFile(sFile), QString::fromUtf8("/data/résultats"));
    EXPECT_EQ(ReadPathFile(tmp.filePath(QStringLiteral("missing.ini"))), QString());

    // What is no regular file, or too large to be a path file, is not read and
    // is left as it is; a FIFO is never waited on.
    QFile::remove(sFile);
    std::unique_ptr<CFifoGuard> pFifo;
    const struct
    {
        const char* Name;
        std::function<void()> Block;
        int nStatus;
    } blocks[] = {
        {"a folder", [&] { QDir().mkpath(sFile); }, CONFIG_FILE_NOT_REGULAR},
        {"a FIFO", [&] { pFifo = std::make_unique<CFifoGuard>(sFile.toStdString()); }, CONFIG_FILE_NOT_REGULAR},
        {"a huge file", [&] { WriteAll(sFile, sRoot.toUtf8() + "\n" + QByteArray(PATH_FILE_MAX_BYTES, 'x')); },
         CONFIG_FILE_TOO_LARGE},
    };
    for (const auto& b : blocks)
    {
        SCOPED_TRACE(b.Name);
        b.Block();
        int nStatus = CONFIG_FILE_OK;
        EXPECT_EQ(ReadPathFile(sFile, &nStatus), QString());
        EXPECT_EQ(nStatus, b.nStatus);
        if (b.nStatus == CONFIG_FILE_NOT_REGULAR)
        {
            EXPECT_FALSE(WritePathFile(sFile, sRoot));
            EXPECT_FALSE(QFileInfo(sFile).isFile()) << "left as it is";
        }
        EXPECT_TRUE(pFifo == nullptr || !pFifo->Released());
        pFifo.reset();
        QDir().rmdir(sFile);
        QFile::remove(sFile);
    }
}

// A board list that is no regular file: said once, the ports' own rows shown,
// never waited on and never written over.
TEST(AutoLogList, ABoardListThatIsNoRegularFileIsSaidOnceAndLeftAsItIs)
{
    ToolsShell shell;
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    const QString sCsv = QAutoLogList::ConfigCsvPath();
    CFifoGuard fifo(sCsv.toStdString());
    ASSERT_TRUE(fifo.IsValid());
    for (int i = 0; i < 2; ++i)
    {
        shell.AutoLog.OnShowDiag();
        EXPECT_TRUE(shell.AutoLog.isVisible());
        shell.AutoLog.hide();
    }
    EXPECT_EQ(shell.Prompt.Messages,
              QStringList("Error|The board list " + sCsv + " is not used: it is not a regular file."));
    shell.AutoLog.SaveConfigToFile();
    EXPECT_FALSE(QFileInfo(sCsv).isFile());
    EXPECT_FALSE(fifo.Released());
}

TEST(AutoLogConfig, TheScheduleIsCheckedAgainstTheClock)
{
    CScriptedPrompt prompt;
    const QDateTime now(QDate(2024, 5, 21), QTime(10, 30, 40));
    struct CASE_T
    {
        const char* Name;
        const char* Radio;
        QDateTime Point;
        QTime Period;
        bool Accepted;
        uint Mode;
        QDateTime Sent;
    };
    const CASE_T cases[] = {
        {"a point in the current minute but before now", "PointInTimeRadio", QDateTime(now.date(), QTime(10, 30)),
         {}, false, 0, {}},
        {"a later point", "PointInTimeRadio", QDateTime(now.date(), QTime(10, 31)), {}, true, 0,
         QDateTime(now.date(), QTime(10, 31))},
        {"a period of 00:00", "TimePeriodRadio", {}, QTime(0, 0, 59), false, 1, {}},
        {"a period of 00:01, seconds ignored", "TimePeriodRadio", {}, QTime(0, 1, 30), true, 1,
         QDateTime(now.date(), QTime(0, 1))},
        {"normal mode", "NormalModeRadio", {}, {}, true, 2, QDateTime()},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        QAutoLogConfig config;
        config.SetClock([&] { return now; });
        QSignalSpy spy(&config, &QAutoLogConfig::SignalLogConfig);
        config.OnShowDiag();
        config.findChild<QRadioButton*>(QString::fromLatin1(c.Radio))->setChecked(true);
        if (c.Point.isValid())
            config.findChild<QDateTimeEdit*>(QStringLiteral("PointInTimeEdit"))->setDateTime(c.Point);
        if (c.Period.isValid())
            config.findChild<QTimeEdit*>(QStringLiteral("TimePeriodEdit"))->setTime(c.Period);
        prompt.Messages.clear();
        config.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
        ASSERT_EQ(spy.count(), c.Accepted ? 1 : 0);
        EXPECT_EQ(config.isVisible(), !c.Accepted);
        if (!c.Accepted)
        {
            ASSERT_EQ(prompt.Messages.size(), 1);
            EXPECT_TRUE(prompt.Messages[0].startsWith(QStringLiteral("Warning|Time"))) << prompt.Messages[0].toStdString();
            continue;
        }
        EXPECT_EQ(spy.at(0).at(0).toUInt(), c.Mode);
        EXPECT_TRUE(spy.at(0).at(1).toBool()) << "cycle recording is on at start";
        EXPECT_EQ(spy.at(0).at(2).toDateTime(), c.Sent);
    }
}

// A board list at the reader's bound (about 210 000 boards in 4 MB) is read,
// shown and saved in a moment: the window stays usable. Duplicate port names
// are dropped on the way, the first line of each kept.
TEST(AutoLogList, ABoardListAtTheBoundIsReadAndSavedInAMoment)
{
    ToolsShell shell;
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    int nBoards = 0;
    QByteArray csv = BoardList(QAutoLogList::CSV_FILE_MAX_BYTES - 64, &nBoards);
    // Two lines of one port: the first counts.
    csv += "##lab,P7,kit9,,,,,,,\n";
    ASSERT_TRUE(WriteAll(QAutoLogList::ConfigCsvPath(), csv));
    ASSERT_GT(nBoards, 200000);

    QElapsedTimer clock;
    clock.start();
    shell.AutoLog.OnShowDiag();
    ASSERT_TRUE(shell.AutoLog.isVisible());
    shell.AutoLog.OnTimeout();
    shell.AutoLog.SaveConfigToFile();
    const qint64 nMs = clock.elapsed();
    EXPECT_EQ(shell.AutoLog.Entries().size(), nBoards);
    EXPECT_EQ(shell.AutoLog.Entries().at(7).Computer, QStringLiteral("##"));
    EXPECT_EQ(shell.AutoLog.Entries().at(7).EVK, QString());
    // Quadratic, this took minutes; a slow machine does it in a few seconds.
    EXPECT_LT(nMs, 15000);
    QList<AUTO_LOG_ENTRY_T> saved;
    QStringList header;
    ReadAutoLogCsv(QString::fromUtf8(ReadAll(QAutoLogList::ConfigCsvPath())), &header, &saved);
    EXPECT_EQ(saved.size(), nBoards);
}

// A list that a new board would grow past the reader's bound is not saved
// (a file the next reading refuses would lose every board): it says so, and
// the file stays as it was.
TEST(AutoLogList, AListThatWouldGrowPastTheBoundIsNotSaved)
{
    ToolsShell shell;
    QTemporaryDir tmp;
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    const QByteArray csv = BoardList(QAutoLogList::CSV_FILE_MAX_BYTES);
    ASSERT_TRUE(WriteAll(QAutoLogList::ConfigCsvPath(), csv));
    FakeReceiver rx;
    ASSERT_NE(rx.Listen(), 0);
    ASSERT_NE(shell.OpenTcp(rx), nullptr);
    shell.AutoLog.OnShowDiag();
    shell.AutoLog.SaveConfigToFile();
    EXPECT_EQ(ReadAll(QAutoLogList::ConfigCsvPath()), csv);
    ASSERT_FALSE(shell.Prompt.Messages.isEmpty());
    EXPECT_EQ(shell.Prompt.Messages.last(), "Error|The board list cannot be saved in " +
                                                QAutoLogList::ConfigCsvPath() + ": it would be larger than 4096 KB");
}
