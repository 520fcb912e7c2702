// Production mode against fake receivers: a batch of "Golden" boards given
// addresses and updated by a test script that records its arguments, with an
// address outside the segment refused, a script that fails and one that
// hangs; a board that resets while still "Golden"; and what is refused before
// anything is sent.
#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "monitor/shell/script_process.h"
#include "tools_shell.h"

namespace
{
// Appends its arguments to calls.txt beside it; an address ending in .103
// hangs, one ending in .104 fails.
const char kScript[] = R"(import os, sys, time
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "calls.txt"), "a", encoding="utf-8", errors="surrogateescape") as f:
    f.write("\t".join(sys.argv[1:]) + "\n")
ip = sys.argv[1]
if ip.endswith(".103"):
    time.sleep(60)
sys.exit(3 if ip.endswith(".104") else 0)
)";

// The program "python3" stands for, asked once. Where python3 is a launcher
// script (a version manager's shim), its start-up alone can take seconds on
// a loaded machine, which the watchdog would count against a sound script.
QString ResolvedPython()
{
    static const QString sPath = []
    {
        QProcess p;
        p.start(QScriptProcess::Interpreter(),
                {QStringLiteral("-c"), QStringLiteral("import sys; print(sys.executable)")});
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return QString();
        const QString sOut = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        return QFileInfo(sOut).isExecutable() ? sOut : QString();
    }();
    return sPath;
}

std::string GoldenLine(int n)
{
    return "ZV100-A1,Golden,x,1A2B0001,ID:20180123" + std::to_string(4000 + n) + "0042,SN:" + std::to_string(n) +
           ",F:1F";
}

struct ProductModeTest : ::testing::Test
{
    ToolsShell Shell;
    QTemporaryDir Tmp;
    QString Image;
    std::vector<std::unique_ptr<FakeReceiver>> Rx;

    void SetUp() override
    {
        QProductModeDiag::DELAYS_T delays;
        delays.ConfigWaitMs = 50;
        delays.ResetWaitMs = 400;
        // Long enough for python3 to start and finish on a loaded machine
        // (a sound script ends long before); the script that hangs is
        // stopped by it.
        delays.WatchdogMs = 8000;
        Shell.ProductMode.SetDelays(delays);
        QScriptProcess::SetInterpreter(ResolvedPython());
        // A name with a blank and Chinese characters reaches the script as one argument.
        Image = Tmp.filePath(QStringLiteral("固件 image.img"));
        ASSERT_TRUE(WriteAll(Image, QByteArray(1024, '\x11')));
    }
    void TearDown() override
    {
        Shell.ProductMode.hide();
        QScriptProcess::SetInterpreter(QString());
    }

    void Open(const std::vector<std::string>& VersionLines)
    {
        for (const std::string& v : VersionLines)
        {
            RECEIVER_RULES_T rules;
            rules.VersionLine = v;
            Rx.push_back(std::make_unique<FakeReceiver>(rules));
            ASSERT_NE(Rx.back()->Listen(), 0);
            ASSERT_NE(Shell.OpenTcp(*Rx.back()), nullptr);
        }
    }
    void Refresh(const QString& sSegment, const QString& sImage)
    {
        Shell.ProductMode.OnProductModeDiagShow();
        Shell.ProductMode.findChild<QLineEdit*>(QStringLiteral("IpSegmentEdit"))->setText(sSegment);
        Shell.ProductMode.findChild<QLineEdit*>(QStringLiteral("ImagePathEdit"))->setText(sImage);
        Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("RefreshListButton"))->click();
    }
    QTableWidget* Table() { return Shell.ProductMode.Table(); }
    QString Cell(int iRow, int iColumn) { return Table()->item(iRow, iColumn)->text(); }
    void StartAll()
    {
        for (int i = 0; i < Table()->rowCount(); ++i)
            qobject_cast<QCheckBox*>(Table()->cellWidget(i, QProductModeDiag::COL_PORT))->setChecked(true);
        Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("StartButton"))->click();
    }
    QStringList Calls()
    {
        return QString::fromUtf8(ReadAll(QFileInfo(QProductModeDiag::ScriptPath()).dir().filePath("calls.txt")))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};
} // namespace

TEST_F(ProductModeTest, ABatchOfGoldenBoardsIsConfiguredAndUpdatedOneScriptPerBoard)
{
    ASSERT_TRUE(WriteAll(QProductModeDiag::ScriptPath(), kScript));
    Open({GoldenLine(1), "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:9,F:1F", GoldenLine(2), GoldenLine(3),
          GoldenLine(4)});
    Refresh(QStringLiteral("192.168.1.100"), Image);
    // The four Golden boards, in tab order, from the segment's last number on.
    ASSERT_EQ(Table()->rowCount(), 4);
    const int golden[] = {0, 2, 3, 4};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(qobject_cast<QCheckBox*>(Table()->cellWidget(i, QProductModeDiag::COL_PORT))->text(),
                  Shell.Tabs.GetTabText(golden[i]));
        EXPECT_EQ(Cell(i, QProductModeDiag::COL_IP), QStringLiteral("192.168.1.%1").arg(101 + i));
        EXPECT_EQ(Cell(i, QProductModeDiag::COL_IMAGE), Image);
    }
    // The operator moves the second board out of the segment.
    Table()->item(1, QProductModeDiag::COL_IP)->setText(QStringLiteral("192.168.2.7"));
    StartAll();
    EXPECT_FALSE(Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("StartButton"))->isEnabled());
    ASSERT_EQ(Shell.Prompt.Messages.size(), 1);
    EXPECT_EQ(Shell.Prompt.Messages[0], QStringLiteral("warning|These boards were not configured:\n") +
                                            Shell.Tabs.GetTabText(2) +
                                            QStringLiteral(": 192.168.2.7 is outside the segment 192.168.1.x"));

    ASSERT_TRUE(WaitUntil(
        [&]
        {
            return Cell(0, 3) == QStringLiteral("Updated") && Cell(2, 3).startsWith(QStringLiteral("Stopped")) &&
                   Cell(3, 3).startsWith(QStringLiteral("Script failed"));
        },
        60000))
        << Cell(0, 3).toStdString() << " | " << Cell(2, 3).toStdString() << " | " << Cell(3, 3).toStdString();
    EXPECT_EQ(Cell(1, 3), QStringLiteral("Refused: 192.168.2.7 is outside the segment 192.168.1.x"));
    EXPECT_EQ(Cell(2, 3), QStringLiteral("Stopped by the watchdog after 8 s"));
    EXPECT_EQ(Cell(3, 3), QStringLiteral("Script failed, exit code 3"));

    // Each board got its network command, the refused and the other board none.
    const std::pair<int, const char*> sentTo[] = {{0, "101"}, {3, "103"}, {4, "104"}};
    for (const auto& s : sentTo)
        EXPECT_TRUE(Rx[s.first]->Net().WaitForText(
            std::string("netconfig static 192.168.1.") + s.second + " 255.255.255.0 192.168.1.1\r\n", 30000))
            << Rx[s.first]->Net().Received();
    for (int i : {1, 2})
        EXPECT_EQ(Rx[i]->Net().Received().find("netconfig static"), std::string::npos) << i;
    // The script was given the address and the image as two arguments, per board.
    QStringList calls = Calls();
    calls.sort();
    EXPECT_EQ(calls, QStringList({QStringLiteral("192.168.1.101\t") + Image, QStringLiteral("192.168.1.103\t") + Image,
                                  QStringLiteral("192.168.1.104\t") + Image}));

    // A board that resets and still says "Golden" is configured and updated again.
    Rx[0]->Net().ClearReceived();
    Shell.ProductMode.OnProductBoardReset(Shell.Tabs.GetPortUniqueID(0));
    // The window's timers run while the test waits.
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            const std::string s = Rx[0]->Net().Received();
            const size_t at = s.find("version\r\n");
            return at != std::string::npos &&
                   s.find("netconfig static 192.168.1.101 255.255.255.0 192.168.1.1\r\n", at) != std::string::npos;
        },
        30000))
        << Rx[0]->Net().Received();
    ASSERT_TRUE(WaitUntil([&] { return Calls().size() == 4; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return Cell(0, 3) == QStringLiteral("Updated"); }, 30000));

    // After Cancel a reset sends nothing, and Start can be pressed again.
    Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    EXPECT_TRUE(Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("StartButton"))->isEnabled());
    Rx[0]->Net().ClearReceived();
    Shell.ProductMode.OnProductBoardReset(Shell.Tabs.GetPortUniqueID(0));
    QTest::qWait(600);
    EXPECT_EQ(Rx[0]->Net().Received(), std::string());
}

// Production mode is on from the start: a listed Golden board that resets
// before anybody pressed Start is configured with its row's address and
// updated; the other board is left alone.
TEST_F(ProductModeTest, AGoldenBoardThatResetsBeforeStartIsConfigured)
{
    ASSERT_TRUE(WriteAll(QProductModeDiag::ScriptPath(), kScript));
    Open({GoldenLine(1), GoldenLine(2)});
    Refresh(QStringLiteral("192.168.1.100"), Image);
    ASSERT_EQ(Table()->rowCount(), 2);
    EXPECT_TRUE(Shell.ProductMode.IsActive());
    EXPECT_TRUE(Shell.ProductMode.findChild<QPushButton*>(QStringLiteral("StartButton"))->isEnabled());

    Shell.ProductMode.OnProductBoardReset(Shell.Tabs.GetPortUniqueID(1));
    EXPECT_TRUE(WaitUntil(
        [&]
        {
            const std::string s = Rx[1]->Net().Received();
            const size_t at = s.find("version\r\n");
            return at != std::string::npos &&
                   s.find("netconfig static 192.168.1.102 255.255.255.0 192.168.1.1\r\n", at) != std::string::npos;
        },
        30000))
        << Rx[1]->Net().Received();
    ASSERT_TRUE(WaitUntil([&] { return Calls().size() == 1; }, 30000));
    EXPECT_EQ(Calls().value(0), QStringLiteral("192.168.1.102\t") + Image);
    EXPECT_EQ(Rx[0]->Net().Received().find("netconfig static"), std::string::npos);
}

TEST_F(ProductModeTest, WhatCannotBeRightIsRefusedBeforeAnythingIsSent)
{
    Open({GoldenLine(1), GoldenLine(2)});
    struct CASE_T
    {
        const char* Segment;
        QString ImagePath;
        const char* Message; // the start of the message; rows stay empty
    };
    const CASE_T cases[] = {
        {"192.168.1.100", Tmp.filePath(QStringLiteral("fw.bin")), "warning|Firmware path error, please reenter!"},
        {"192.168.1.100", Tmp.filePath(QStringLiteral("gone.img")), "warning|The image file does not exist: "},
        {"192.168.1", Image, "warning|The IP segment must be four numbers from 0 to 255"},
        {"192.168.1.300", Image, "warning|The IP segment must be four numbers from 0 to 255"},
        {"192.168.one.1", Image, "warning|The IP segment must be four numbers from 0 to 255"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Message);
        Shell.Prompt.Messages.clear();
        Refresh(QString::fromUtf8(c.Segment), c.ImagePath);
        EXPECT_EQ(Table()->rowCount(), 0);
        ASSERT_EQ(Shell.Prompt.Messages.size(), 1);
        EXPECT_TRUE(Shell.Prompt.Messages[0].startsWith(QString::fromUtf8(c.Message)))
            << Shell.Prompt.Messages[0].toStdString();
    }

    // Past the last board address of the segment: listed without one, and refused at Start.
    Shell.Prompt.Messages.clear();
    Refresh(QStringLiteral("10.0.0.253"), Image);
    ASSERT_EQ(Table()->rowCount(), 2);
    EXPECT_EQ(Cell(0, QProductModeDiag::COL_IP), QStringLiteral("10.0.0.254"));
    EXPECT_EQ(Cell(1, QProductModeDiag::COL_IP), QString());
    ASSERT_EQ(Shell.Prompt.Messages.size(), 1);
    EXPECT_EQ(Shell.Prompt.Messages[0], QStringLiteral("warning|No address from 1 to 254 is left in the segment "
                                                       "10.0.0.253 for: ") +
                                            Shell.Tabs.GetTabText(1));
    // Without its script the first board is reported, nothing is started.
    StartAll();
    EXPECT_TRUE(Cell(1, 3).startsWith(QStringLiteral("Refused: "))) << Cell(1, 3).toStdString();
    ASSERT_TRUE(WaitUntil([&] { return Cell(0, 3).startsWith(QStringLiteral("Update script not found: ")); }, 30000))
        << Cell(0, 3).toStdString();
    EXPECT_TRUE(Cell(0, 3).endsWith(QStringLiteral("/Configure/ProductMode/Update.py")));
    EXPECT_EQ(Rx[1]->Net().Received().find("netconfig static"), std::string::npos);
}

TEST(ProductModeAddress, BoardAddressesLieInTheSegment)
{
    struct CASE_T
    {
        const char* Ip;
        const char* Segment;
        bool Ok;
    };
    const CASE_T cases[] = {
        {"192.168.1.101", "192.168.1.100", true},  {"192.168.1.254", "192.168.1.100", true},
        {"192.168.1.255", "192.168.1.100", false}, {"192.168.1.256", "192.168.1.100", false},
        {"192.168.1.0", "192.168.1.100", false},   {"192.168.2.5", "192.168.1.100", false},
        {"192.168.1", "192.168.1.100", false},     {"192.168.1.5", "192.168.1", false},
        {" 192.168.1.5", "192.168.1.100", true},   {"192.168.1.+5", "192.168.1.100", false},
        {"192.168.1.05", "192.168.1.100", true},   {"", "192.168.1.100", false},
    };
    for (const CASE_T& c : cases)
        EXPECT_EQ(QProductModeDiag::CheckBoardIp(QString::fromUtf8(c.Ip), QString::fromUtf8(c.Segment)).isEmpty(), c.Ok)
            << c.Ip << " in " << c.Segment;
}
