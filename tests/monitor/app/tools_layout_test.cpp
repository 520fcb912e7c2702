// The automatic logging, hardware test and production mode windows, and the
// log schedule window, inside the main window with a receiver in each: shown
// with their rows filled, in both languages, every text uncut.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "monitor/tools/auto_log_config.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/hardware_diag.h"
#include "monitor/tools/product_mode_diag.h"
#include "monitor/tools/tool_paths.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"
#include "support/window_layout.h"

class ToolsLayoutTest : public MonitorTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ToolsLayoutTest, TheLoggingAndBoardToolsShowTheirTextsUncut)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    (sLanguage == QLatin1String("zh") ? Window().ChineseAction() : Window().EnglishAction())->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(Window().CurrentLanguage(), sLanguage);

    RECEIVER_RULES_T golden;
    golden.VersionLine = "ZV100-A1,Golden,x,1A2B0001,ID:201801234B560077,SN:124,F:1F";
    FakeReceiver rx, rxGolden(golden);
    for (FakeReceiver* r : {&rx, &rxGolden})
    {
        ASSERT_TRUE(r->Plug());
        QZvPortCtrlBase* pPort = TypeOpen(r->Rx().Name());
        ASSERT_NE(pPort, nullptr);
        ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    }
    QTemporaryDir tmp;
    const QString sImage = tmp.filePath(QStringLiteral("ZV100_3.1.0.img"));
    {
        QFile image(sImage);
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        image.write("image");
        QFile list(tmp.filePath(QStringLiteral("images.txt")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(sImage.toUtf8());
    }
    ASSERT_TRUE(WritePathFile(QAutoLogList::LogPathFile(), tmp.path()));
    ASSERT_TRUE(WritePathFile(QHardwareDiag::ImagePathFile(), tmp.filePath(QStringLiteral("images.txt"))));
    ASSERT_TRUE(WritePathFile(QHardwareDiag::LogPathFile(), tmp.path()));

    QAutoLogList* pAutoLog = W().pAutoLog;
    pAutoLog->OnShowDiag();
    ASSERT_EQ(pAutoLog->Table()->rowCount(), 2);
    pAutoLog->OnTimeout();
    EXPECT_EQ(RenderAndCheck(pAutoLog, "monitor_QAutoLogList_rows_" + sLanguage), "");
    pAutoLog->findChild<QPushButton*>(QStringLiteral("LogButton"))->click();
    EXPECT_EQ(RenderAndCheck(pAutoLog->ConfigWindow(), "monitor_QAutoLogConfig_" + sLanguage), "");

    QHardwareDiag* pHardware = W().pHardware;
    pHardware->OnShowDialog();
    ASSERT_EQ(pHardware->Table()->rowCount(), 2);
    EXPECT_EQ(RenderAndCheck(pHardware, "monitor_QHardwareDiag_rows_" + sLanguage), "");

    QProductModeDiag* pProduct = W().pProductMode;
    pProduct->OnProductModeDiagShow();
    pProduct->findChild<QLineEdit*>(QStringLiteral("IpSegmentEdit"))->setText(QStringLiteral("192.168.1.100"));
    pProduct->findChild<QLineEdit*>(QStringLiteral("ImagePathEdit"))->setText(sImage);
    pProduct->findChild<QPushButton*>(QStringLiteral("RefreshListButton"))->click();
    ASSERT_EQ(pProduct->Table()->rowCount(), 1);
    EXPECT_EQ(RenderAndCheck(pProduct, "monitor_QProductModeDiag_rows_" + sLanguage), "");
    EXPECT_TRUE(Prompt.Messages.isEmpty()) << Prompt.Messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, ToolsLayoutTest, ::testing::Values("en", "zh"));
