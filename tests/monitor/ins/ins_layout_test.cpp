// Every page of the INS windows, rendered in each language with what a
// receiver filled in, shows its texts uncut (images kept under ZV_UI_SHOTS
// when that is set).
#include <QComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "ins_bench.h"
#include "monitor/shell/monitor_translations.h"
#include "support/window_layout.h"

namespace
{
class InsLayoutTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(Language()), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
    QString Language() const { return QString::fromLatin1(GetParam()); }

    // Each page of a tab widget of the window, rendered and checked.
    void EveryPage(QWidget* pWindow, const char* pTabs, const QString& sName)
    {
        auto* p = pWindow->findChild<QTabWidget*>(QLatin1String(pTabs));
        ASSERT_NE(p, nullptr);
        for (int i = 0; i < p->count(); ++i)
        {
            p->setCurrentIndex(i);
            const QString sShot = sName + "_" + p->widget(i)->objectName() + "_" + Language();
            EXPECT_EQ(RenderAndCheck(pWindow, sShot), "") << sShot.toStdString();
        }
    }
};
} // namespace

TEST_P(InsLayoutTest, EveryPageOfTheInsWindowsShowsItsTextsUncut)
{
    InsBench bench;
    RECEIVER_RULES_T rules;
    rules.VersionLine = "ZV906-B2,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:77,F:1F";
    rules.UserConfig = {"ALIGNMODE AZI 123.5", "SETINSPROFILE FIXEDWING_BASIC", "DYNALIGN 0.7"};
    rules.NvmDump = std::string(200000, 'x');
    rules.NvmDumpSize = 200000;
    rules.NvmDumpCut = 20000;
    FakeReceiver rx(rules);
    QZvPortCtrlBase* pPort = bench.OpenSerial(rx);
    ASSERT_NE(pPort, nullptr);
    for (QDialog* p : std::initializer_list<QDialog*>{&bench.InsConfig, &bench.InsCheck, &bench.ConfigCheck,
                                                     &bench.MediumFreq, &bench.NvmLog})
        QMetaObject::invokeMethod(p, "OnLanguageUpdate");

    // The INS configuration of a dual-antenna board with a heading.
    bench.InsConfig.OnShowDialog();
    bench.Shell.Tabs.OnRequestUserConfigMsg();
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pPort); }));
    EveryPage(&bench.InsConfig, "pINSWindow", "ins_config");

    // The INS configuration check with the receiver's configuration.
    bench.InsCheck.OnShowDialog();
    auto* pTable = bench.InsCheck.findChild<QTableWidget*>(QStringLiteral("pINSConfigCheckWidget"));
    ASSERT_TRUE(WaitUntil([&] { return pTable->rowCount() > 7; }));
    EveryPage(&bench.InsCheck, "tabWidget", "ins_config_check");
    // Its rotation rows, the angle that differs from the orientation chosen marked.
    bench.InsCheck.findChild<QTabWidget*>(QStringLiteral("tabWidget"))->setCurrentIndex(0);
    pTable->scrollToBottom();
    EXPECT_EQ(RenderAndCheck(&bench.InsCheck, "ins_config_check_rotation_" + Language()), "");

    // The configuration check's report, with tracking quality.
    bench.ConfigCheck.SetCollectMs(600000);
    bench.ConfigCheck.findChild<QAbstractButton*>(QStringLiteral("CheckTQBox"))->setChecked(true);
    bench.ConfigCheck.OnShowConfigCheckWindow();
    bench.ConfigCheck.OnSignalConfigCheckBtnClickd();
    ASSERT_TRUE(WaitUntil([&] { return bench.Answered(pPort); }));
    EXPECT_EQ(RenderAndCheck(&bench.ConfigCheck, "config_check_waiting_" + Language()), "");
    bench.ConfigCheck.OnConfigCheckTimerout();
    bench.ConfigCheck.resize(760, 520);
    EXPECT_EQ(RenderAndCheck(&bench.ConfigCheck, "config_check_" + Language()), "");

    // The signals a serial receiver offers.
    bench.MediumFreq.OnMediumFreqDiagShow();
    auto* pSignals = bench.MediumFreq.findChild<QComboBox*>(QStringLiteral("pSignalcomboBox"));
    ASSERT_TRUE(WaitUntil([&] { return pSignals->count() == 3; }));
    pSignals->setCurrentIndex(2);
    EXPECT_EQ(RenderAndCheck(&bench.MediumFreq, "medium_freq_" + Language()), "");

    // The NVM dump before and during a dump.
    bench.NvmLog.SetProgressMs(50);
    bench.NvmLog.OnShowDialog();
    ASSERT_TRUE(WaitUntil([&] { return bench.NvmLog.ExpectedSize() == 200000; }));
    EXPECT_EQ(RenderAndCheck(&bench.NvmLog, "nvm_log_" + Language()), "");
    QTemporaryDir dir;
    bench.Shell.Prompt.Paths = {dir.filePath("nvm.bin")};
    bench.NvmLog.show();
    bench.NvmLog.OnOkButtonClick();
    ASSERT_TRUE(WaitUntil([&] { return bench.Shell.Tabs.GetPortInfo(pPort->UniquePortID).LogFileSize > 20000; }));
    QTest::qWait(150);
    EXPECT_EQ(RenderAndCheck(&bench.NvmLog, "nvm_log_dumping_" + Language()), "");
    bench.NvmLog.OnCancelButtonClick();
}

INSTANTIATE_TEST_SUITE_P(Languages, InsLayoutTest, ::testing::Values("en", "zh"));
