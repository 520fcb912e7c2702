// The NVM log dump against fake receivers: the stored log's size asked on a
// serial port, the dump written into the chosen file byte for byte as the
// receiver sent it, and a dump that the port's going away or the user cuts
// short keeps what arrived and says so.
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "ins_bench.h"
#include "support/monitor/receiver_stream.h"

namespace
{
// A stored log as a receiver keeps it: binary logs of a few epochs, zero
// bytes included, and the text logs between them.
std::string StoredLog(int nEpochs)
{
    ReceiverStream stream(2295, 79218000, 1000);
    std::string s;
    for (int i = 0; i < nEpochs; ++i)
        for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_BINARY_LOGS | STREAM_TEXT_LOGS))
            s += it.Wire;
    return s;
}

class NvmLogTest : public ::testing::Test
{
protected:
    NvmLogTest()
    {
        Dialog().SetProgressMs(50);
    }
    QNvmLogDiag& Dialog() { return Bench.NvmLog; }
    QPushButton* Button(const char* pName) { return Dialog().findChild<QPushButton*>(QLatin1String(pName)); }
    // Opens the dialog on the port and waits for the stored log's size and the
    // end of the receiver's other output.
    void Show(FakeReceiver& Rx, QZvPortCtrlBase* pPort)
    {
        Bench.MakeCurrent(pPort);
        Dialog().OnShowDialog();
        ASSERT_TRUE(WaitUntil([&] { return Rx.Rx().Received().find("unlog nvm\r\n") != std::string::npos; }));
        ASSERT_TRUE(WaitUntil([&] { return Bench.Answered(pPort); }));
    }
    // "OK" with the file the user chooses; returns once the dump was asked for.
    void Start(FakeReceiver& Rx, const QString& sFile)
    {
        Bench.Shell.Prompt.Paths = {sFile};
        Rx.ClearSent();
        QTest::mouseClick(Button("pOkButton"), Qt::LeftButton);
        EXPECT_FALSE(Button("pOkButton")->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return Rx.Rx().Received().find("nvmdump keep\r\n") != std::string::npos; }));
    }

    InsBench Bench;
    QTemporaryDir Dir;
};
} // namespace

TEST_F(NvmLogTest, TheDumpIsTheFileByteForByte)
{
    RECEIVER_RULES_T rules;
    rules.NvmDump = StoredLog(40);
    rules.NvmDumpSize = static_cast<int64_t>(rules.NvmDump.size());
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Bench.OpenSerial(rx);
    ASSERT_NE(pPort, nullptr);
    Show(rx, pPort);
    EXPECT_EQ(Dialog().ExpectedSize(), rules.NvmDumpSize);
    const std::string sAsked = rx.Rx().Received();
    EXPECT_LT(sAsked.find("nvmdump show\r\n"), sAsked.find("unlogall\r\nunlog nvm\r\n"));

    const QString sFile = Dir.filePath("nvm.bin");
    Start(rx, sFile);
    ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Prompt.Messages.isEmpty(); }));
    EXPECT_EQ(Bench.Shell.Prompt.Messages.last(), QStringLiteral("Complete|Nvm file is log complete"));
    EXPECT_FALSE(Dialog().IsDumping());
    EXPECT_EQ(Dialog().findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 100);
    EXPECT_TRUE(Button("pOkButton")->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).bLogging; }));
    const QByteArray file = FileBytes(sFile);
    EXPECT_TRUE(file == SentBytes(rx)) << file.size() << " bytes in the file, " << SentBytes(rx).size() << " sent";
    EXPECT_TRUE(file.contains(QByteArray::fromStdString(rules.NvmDump)));
}

TEST_F(NvmLogTest, ADumpCutShortKeepsWhatArrivedAndSaysSo)
{
    RECEIVER_RULES_T rules;
    rules.NvmDump = StoredLog(30);
    rules.NvmDumpSize = static_cast<int64_t>(rules.NvmDump.size());
    rules.NvmDumpCut = rules.NvmDump.size() / 2;
    for (const char* pHow : {"the port closed", "cancelled"})
    {
        SCOPED_TRACE(pHow);
        const bool bClose = pHow[0] == 't';
        FakeReceiver rx(rules);
        QZvPortCtrlBase* pPort = Bench.OpenSerial(rx);
        ASSERT_NE(pPort, nullptr);
        const uint id = pPort->UniquePortID;
        Show(rx, pPort);
        const QString sFile = Dir.filePath(QStringLiteral("cut%1.bin").arg(id));
        Start(rx, sFile);
        EXPECT_TRUE(Dialog().IsDumping());
        EXPECT_TRUE(Button("pCancelButton")->isVisible());
        // The half that comes is logged; the rest never does.
        ASSERT_TRUE(WaitUntil([&] { return rx.Sent().size() > 1 && Bench.Shell.Tabs.GetPortInfo(id).LogFileSize ==
                                                                       static_cast<quint64>(SentBytes(rx).size()); }));
        QTest::qWait(200);
        Bench.Shell.Prompt.Messages.clear();
        if (bClose)
            Bench.Shell.Tabs.OnClosePort(Bench.Shell.Tabs.GetTabIndexByPortID(id));
        else
            QTest::mouseClick(Button("pCancelButton"), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !Dialog().IsDumping(); }));
        ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Prompt.Messages.isEmpty(); }));
        const QByteArray sent = SentBytes(rx);
        const QString sWhy = bClose ? QStringLiteral("The port went away before the receiver completed the dump.")
                                    : QStringLiteral("The dump was cancelled before the receiver completed it.");
        EXPECT_EQ(Bench.Shell.Prompt.Messages, QStringList{QStringLiteral("NVM Log|%1\nThe %2 bytes that arrived are kept in %3.")
                                                               .arg(sWhy)
                                                               .arg(sent.size())
                                                               .arg(sFile)});
        ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Tabs.GetPortInfo(id).bLogging; }));
        EXPECT_TRUE(FileBytes(sFile) == sent) << FileBytes(sFile).size() << " bytes in the file, " << sent.size() << " sent";
        EXPECT_TRUE(Button("pOkButton")->isEnabled());
        EXPECT_FALSE(Button("pCancelButton")->isVisible());
        if (!bClose)
            Bench.Shell.Tabs.OnClosePort(Bench.Shell.Tabs.GetTabIndexByPortID(id));
    }
}

TEST_F(NvmLogTest, TheChoicesBeforeADump)
{
    // The delete question: only Yes deletes.
    auto* pDelete = Dialog().findChild<QCheckBox*>(QStringLiteral("pDelectDataCheckBox"));
    const struct
    {
        bool Answer;
        const char* Command;
        bool Checked;
    } answers[] = {{false, "nvmdump keep\r\n", false}, {true, "nvmdump\r\n", true}};
    for (const auto& a : answers)
    {
        pDelete->setChecked(false);
        Bench.Shell.Prompt.Answers = {a.Answer};
        QTest::mouseClick(pDelete, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
        EXPECT_EQ(Dialog().DumpCommand(), QLatin1String(a.Command));
        EXPECT_EQ(pDelete->isChecked(), a.Checked);
        EXPECT_EQ(Bench.Shell.Prompt.Questions.last(), QStringLiteral("Warning|Are sure delete nvm file???"));
    }
    QTest::mouseClick(pDelete, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
    EXPECT_EQ(Dialog().DumpCommand(), QStringLiteral("nvmdump keep\r\n"));

    // Without a port "OK" starts nothing and stays usable.
    Dialog().OnShowDialog();
    QTest::mouseClick(Button("pOkButton"), Qt::LeftButton);
    EXPECT_TRUE(Button("pOkButton")->isEnabled());
    EXPECT_FALSE(Dialog().IsDumping());

    // A receiver without a stored log says so; the rate it has is not changed.
    RECEIVER_RULES_T rules;
    rules.NvmDumpSize = -1;
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Bench.OpenSerial(rx);
    ASSERT_NE(pPort, nullptr);
    QSignalSpy rates(&Dialog(), &QNvmLogDiag::SignalNavSetBaud);
    Show(rx, pPort);
    ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Prompt.Messages.isEmpty(); }));
    EXPECT_EQ(Bench.Shell.Prompt.Messages.last(), QStringLiteral("Error|Nvm file is Empty"));
    QTest::mouseClick(Button("pOkButton"), Qt::LeftButton); // the user cancels the file's choice
    ASSERT_TRUE(WaitUntil([&] { return Button("pOkButton")->isEnabled(); }));
    EXPECT_EQ(rates.count(), 0);
    EXPECT_EQ(rx.Rx().Received().find("nvmdump keep"), std::string::npos);
}

TEST_F(NvmLogTest, ATcpPortDumpsWithoutAskingTheSize)
{
    RECEIVER_RULES_T rules;
    rules.NvmDump = StoredLog(5);
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = Bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    Bench.MakeCurrent(pPort);
    const std::string sSent = Bench.Received(rx.Net(), pPort, [&] { Dialog().OnShowDialog(); });
    EXPECT_EQ(sSent, "");
    const QString sFile = Dir.filePath("tcp.bin");
    Bench.Shell.Prompt.Paths = {sFile};
    const QByteArray earlier = SentBytes(rx);
    rx.ClearSent();
    QTest::mouseClick(Button("pOkButton"), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Prompt.Messages.isEmpty(); }));
    EXPECT_EQ(Bench.Shell.Prompt.Messages.last(), QStringLiteral("Complete|Nvm file is log complete"));
    ASSERT_TRUE(WaitUntil([&] { return !Bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).bLogging; }));
    // Every byte sent from the start of the dump is in the file, after at
    // most the end of what the receiver sent before it (its answer to the
    // marker above can still be on its way when the port starts logging).
    const QByteArray file = FileBytes(sFile), sent = SentBytes(rx);
    ASSERT_TRUE(file.endsWith(sent)) << file.size() << " bytes in the file, " << sent.size() << " sent";
    EXPECT_TRUE(earlier.endsWith(file.left(file.size() - sent.size())));
}
