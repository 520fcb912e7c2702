// The intermediate-frequency output dialog against fake receivers: the
// signals offered by name, the rate raised on a serial port, the output
// started only once the port logs to the file chosen, and stopped by "Cancel".
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <filesystem>

#include "ins_bench.h"

namespace
{
// Whether this process holds the file open.
bool HeldOpen(const QString& sPath)
{
    const std::filesystem::path target = QFileInfo(sPath).canonicalFilePath().toStdString();
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec))
    {
        std::error_code ecLink;
        if (std::filesystem::read_symlink(fd.path(), ecLink) == target && !ecLink)
            return true;
    }
    return false;
}

// Has the dialog's OK start the output into sFile, and waits until the receiver has been told.
bool StartInto(InsBench& Bench, FakeReceiver& Rx, QZvPortCtrlBase* pPort, const QString& sFile)
{
    QMediumFreqDiag& dialog = Bench.MediumFreq;
    dialog.SetWaitMs(20000);
    Bench.Shell.Prompt.Paths = {sFile};
    const std::string s = Bench.Received(Rx.Net(), pPort,
                                         [&]
                                         {
                                             dialog.OnOkBtnClick();
                                             EXPECT_TRUE(dialog.IsStarting());
                                             EXPECT_TRUE(WaitUntil([&] { return !dialog.IsStarting(); }));
                                         });
    EXPECT_EQ(s, "showif 13\r\n");
    return s == "showif 13\r\n";
}
} // namespace

TEST(MediumFreq, OfferedCodesAreNamedByTheWholeCode)
{
    const struct
    {
        const char *Code, *Text;
    } cases[] = {
        {"0", "GPS_L1_CA(0)"}, {"13", "BDS_B2(13)"}, {"9ca", "GAL_E5a(9ca)"}, {"192", "GAL_E5b(192)"},
        {"c8", "GPS_L2_P(c8)"}, {"2", "(2)"},       {"8", "(8)"},           {"", "()"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QMediumFreqDiag::OfferText(QLatin1String(c.Code)), QLatin1String(c.Text)) << c.Code;
}

TEST(MediumFreq, StreamsIntoTheChosenFileOfTheDialogsPort)
{
    InsBench bench;
    FakeReceiver rx, other;
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    QZvPortCtrlBase* pOther = bench.OpenTcp(other);
    ASSERT_TRUE(pPort && pOther);
    QMediumFreqDiag& dialog = bench.MediumFreq;
    auto* pSignals = dialog.findChild<QComboBox*>(QStringLiteral("pSignalcomboBox"));
    ASSERT_NE(pSignals, nullptr);

    bench.MakeCurrent(pPort);
    dialog.OnMediumFreqDiagShow();
    EXPECT_FALSE(dialog.findChild<QComboBox*>(QStringLiteral("pBaudrateCobox"))->isVisibleTo(&dialog));
    ASSERT_TRUE(WaitUntil([&] { return pSignals->count() == 3; }));
    EXPECT_EQ(pSignals->itemText(1), QStringLiteral("BDS_B2(13)"));
    // The other port's offer, asked by another window, is not this port's.
    bench.Shell.Tabs.OnRequestItem(1, STATUS_MSG_HWINFO);
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pOther); }));
    EXPECT_EQ(pSignals->count(), 3);

    // The user cancels the file's choice: the start wait ends, and nothing
    // streams. No file opens, so the wait's length changes nothing.
    dialog.SetWaitMs(50);
    bench.MakeCurrent(pOther);
    pSignals->setCurrentIndex(1);
    EXPECT_EQ(bench.Received(rx.Net(), pPort,
                             [&]
                             {
                                 dialog.OnOkBtnClick();
                                 EXPECT_TRUE(dialog.IsStarting());
                                 EXPECT_TRUE(WaitUntil([&] { return !dialog.IsStarting(); }));
                             }),
              "");
    EXPECT_FALSE(bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).bLogging);
    EXPECT_FALSE(pPort->IsSlowUpdate());
    QTemporaryDir dir;
    const QString sFile = dir.filePath("if.bin");
    ASSERT_TRUE(StartInto(bench, rx, pPort, sFile));
    EXPECT_TRUE(pPort->IsSlowUpdate());
    EXPECT_TRUE(bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).bLogging);
    EXPECT_EQ(bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).LogFileName, sFile);
    EXPECT_FALSE(bench.Shell.Tabs.GetPortInfo(pOther->UniquePortID).bLogging);
    const QByteArray samples("\x01\x00\xfe\x7fsamples", 11);
    rx.Send(samples.toStdString());
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(sFile).contains(samples); }));

    EXPECT_EQ(bench.Received(rx.Net(), pPort, [&] { dialog.OnCancelBtnClick(); }), "showif stop\r\n");
    EXPECT_FALSE(pPort->IsSlowUpdate());
    ASSERT_TRUE(WaitUntil([&] { return !bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).bLogging; }));
    EXPECT_EQ(other.Net().Received().find("showif"), std::string::npos);
}

TEST(MediumFreq, APortClosedWhileItStreamsLeavesItsFileClosed)
{
    InsBench bench;
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = bench.OpenTcp(rx);
    ASSERT_NE(pPort, nullptr);
    QMediumFreqDiag& dialog = bench.MediumFreq;
    dialog.OnMediumFreqDiagShow();
    auto* pSignals = dialog.findChild<QComboBox*>(QStringLiteral("pSignalcomboBox"));
    ASSERT_TRUE(WaitUntil([&] { return pSignals->count() == 3; }));
    pSignals->setCurrentIndex(1);
    QTemporaryDir dir;
    const QString sFile = dir.filePath("if.bin");
    ASSERT_TRUE(StartInto(bench, rx, pPort, sFile));
    const QByteArray samples("\x01\x00\xfe\x7fsamples", 11);
    rx.Send(samples.toStdString());
    ASSERT_TRUE(WaitUntil([&] { return FileBytes(sFile).contains(samples); }));
    ASSERT_TRUE(HeldOpen(sFile));

    bench.Shell.Tabs.OnClosePort(bench.Shell.Tabs.GetTabIndexByPortID(pPort->UniquePortID));
    EXPECT_TRUE(WaitUntil([&] { return !HeldOpen(sFile); }));
    EXPECT_TRUE(FileBytes(sFile).contains(samples));
    // Cancel then finds no port to stop.
    dialog.OnCancelBtnClick();
    EXPECT_FALSE(dialog.IsStarting());
}

TEST(MediumFreq, ASerialPortIsOfferedTheHighRate)
{
    InsBench bench;
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = bench.OpenSerial(rx);
    ASSERT_NE(pPort, nullptr);
    QMediumFreqDiag& dialog = bench.MediumFreq;
    auto* pRates = dialog.findChild<QComboBox*>(QStringLiteral("pBaudrateCobox"));
    QSignalSpy rates(&dialog, &QMediumFreqDiag::SignalMediumFreqSetBaud);
    dialog.OnMediumFreqDiagShow();
    EXPECT_TRUE(pRates->isVisibleTo(&dialog));
    EXPECT_EQ(pRates->currentText(), QStringLiteral("115200"));

    // No: the rate chosen; nothing streams without signals offered.
    bench.Shell.Prompt.Answers = {false};
    dialog.OnOkBtnClick();
    ASSERT_EQ(rates.count(), 1);
    EXPECT_EQ(rates.at(0).at(0).toInt(), 115200);
    EXPECT_EQ(bench.Shell.Prompt.Questions.last(),
              QStringLiteral("Warning|The data is bigger,The recommended baud rate is 460800\r\nAre you sure to change "
                             "the baud rate to 460800"));
    // Yes: 460800, for the receiver and the port.
    bench.Shell.Prompt.Answers = {true};
    dialog.OnOkBtnClick();
    ASSERT_EQ(rates.count(), 2);
    EXPECT_EQ(rates.at(1).at(0).toInt(), 460800);
    EXPECT_EQ(pRates->currentText(), QStringLiteral("460800"));
    ASSERT_TRUE(WaitUntil([&] { return bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).BaudRate == 460800; }));
    // 460800 on a port at 460800: neither a question nor a change.
    const int nQuestions = bench.Shell.Prompt.Questions.size();
    dialog.OnOkBtnClick();
    EXPECT_EQ(rates.count(), 2);
    EXPECT_EQ(bench.Shell.Prompt.Questions.size(), nQuestions);
}
