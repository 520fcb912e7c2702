// The regression bench, its configuration and the baud-rate choice, rendered
// in each language with boards listed, progress shown and a summary, show
// their texts uncut (images kept under ZV_UI_SHOTS when that is set).
#include <QCheckBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include "monitor/shell/fit_texts.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/tools/regression_config.h"
#include "regression_bench.h"
#include "support/window_layout.h"

namespace
{
class RegressionLayoutTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override { ASSERT_GT(InstallMonitorTranslations(Language()), 0); }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
    QString Language() const { return QString::fromLatin1(GetParam()); }
};
} // namespace

TEST_P(RegressionLayoutTest, TheBenchAndItsDialogsShowTheirTextsUncut)
{
    RegressionBench b;
    QTemporaryDir root;
    QFile cmd(root.filePath("cmd.txt"));
    ASSERT_TRUE(cmd.open(QIODevice::WriteOnly));
    cmd.write("log versiona\n");
    cmd.close();
    FakeReceiver a(BoardRules("201801234B560042")), c(BoardRules("201801234B560043"));
    ASSERT_NE(b.OpenBoard(a), nullptr);
    ASSERT_NE(b.OpenBoard(c), nullptr);
    b.Bench.OnLanguageUpdate();
    REGRESSION_TIMING_T timing;
    timing.SecondMs = 1;
    b.Bench.SetTiming(timing);
    b.Open(root.path());
    // One board has run its commands; the other shows what it will run.
    b.SetCell(0, QRegressionDiag::COL_COMMAND, root.filePath("cmd.txt"));
    b.Bench.RowCheckBox(0)->setChecked(true);
    b.Bench.OnOKBtnClicked();
    ASSERT_TRUE(WaitUntil([&] { return b.Bench.WorkerCount() == 0; }));
    const std::pair<int, QString> cells[] = {{QRegressionDiag::COL_RESET, "100"},
                                             {QRegressionDiag::COL_FRESET, "50"},
                                             {QRegressionDiag::COL_RECAQ, "24"},
                                             {QRegressionDiag::COL_SERIAL_UPDATE, "/data/images.txt;115200"},
                                             {QRegressionDiag::COL_HZ, "5"},
                                             {QRegressionDiag::COL_BASE, "roof"},
                                             {QRegressionDiag::COL_RELAY_PORT, "/dev/ttyUSB3"},
                                             {QRegressionDiag::COL_ADDRESS, "1"},
                                             {QRegressionDiag::COL_AISLE, "2"}};
    for (const auto& [col, s] : cells)
        b.SetCell(1, col, s);
    FitTableColumns(b.Bench.BoardTable());
    b.Bench.resize(1100, 560);
    EXPECT_EQ(RenderAndCheck(&b.Bench, "regression_bench_" + Language()), "");
    b.Bench.resize(800, 480);
    EXPECT_EQ(RenderAndCheck(&b.Bench, "regression_bench_small_" + Language()), "");

    QRegressionConfig* pConfig = b.Bench.ConfigDiag();
    b.Bench.OnConfigBtnClicked();
    pConfig->OnShowDiag(b.Bench.BoardRow("201801234B560043"));
    pConfig->adjustSize();
    EXPECT_EQ(RenderAndCheck(pConfig, "regression_config_" + Language()), "");
    QSelectBaudRateDiag* pBaud = pConfig->BaudRateDiag();
    pBaud->adjustSize();
    EXPECT_EQ(RenderAndCheck(pBaud, "regression_baud_rates_" + Language()), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, RegressionLayoutTest, ::testing::Values("en", "zh"));
