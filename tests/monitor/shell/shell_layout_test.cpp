// The shell's own widgets in a main window, in both languages: the port tabs
// with a receiver on a pseudo-terminal, the docks with their titles and the
// status bar, and the tab's context menu, rendered to images (kept under
// ZV_UI_SHOTS when that is set) with no label text cut.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTableWidget>
#include <QTextEdit>

#include "monitor/shell/docking.h"
#include "monitor/shell/docking_host.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/msg_filter_diag.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/shell_stand_in.h"
#include "support/window_layout.h"

namespace
{
// Labels of the window whose text needs more room than they have.
QStringList ClippedLabels(QWidget* pWindow)
{
    QStringList clipped;
    for (QLabel* pLabel : pWindow->findChildren<QLabel*>())
    {
        if (!pLabel->isVisibleTo(pWindow) || pLabel->text().isEmpty())
            continue;
        const QSize need = pLabel->sizeHint();
        if (need.width() > pLabel->width() || need.height() > pLabel->height())
            clipped
                << QStringLiteral("\"%1\" needs %2, has %3").arg(pLabel->text()).arg(need.width()).arg(pLabel->width());
    }
    return clipped;
}

void Shoot(QWidget* pWindow, const QString& sName)
{
    QCoreApplication::processEvents();
    const QImage image = pWindow->grab().toImage();
    EXPECT_FALSE(image.isNull());
    const QByteArray sShots = qgetenv("ZV_UI_SHOTS");
    if (!sShots.isEmpty())
        image.save(QDir(QString::fromLocal8Bit(sShots)).filePath(sName + ".png"));
    // A Chinese picture reads Chinese but for the receiver's words.
    if (sName.endsWith(QLatin1String("_zh")))
    {
        EXPECT_EQ(EnglishWords(pWindow).join('\n').toStdString(), "") << sName.toStdString();
    }
}

class ShellLayoutTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).remove(QStringLiteral("Flex"));
        ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(GetParam())), 0);
    }
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};
} // namespace

TEST_P(ShellLayoutTest, TabsDocksAndStatusBarShowTheirTexts)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    ShellStandIn shell;
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = shell.Open(rx.Rx().Name(), 115200);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    rx.StartStream(STREAM_TEXT_LOGS | STREAM_NMEA, 20000);
    ASSERT_TRUE(rx.WaitSent(3000, 20000));
    rx.StopStream();

    QMainWindow window;
    window.resize(1280, 720);
    auto* pCentral = new QtCentral(&window);
    window.setStatusBar(&shell.StatusBar);
    QObject::connect(FlexManager::instance(), &FlexManager::dockWidgetCreated, &window, &QtCentral::FillDock);
    QObject::connect(FlexManager::instance(), &FlexManager::dockWidgetDestroying, &window, &QtCentral::ReleaseDock);
    FLEX_DOCK_WINDOW_T windows[DOCK_WINDOW_COUNT];
    for (int i = 0; i < DOCK_WINDOW_COUNT; ++i)
    {
        windows[i].pAction = new QAction(&window);
        windows[i].pWidget = new QTextEdit(&window);
        windows[i].pWidget->setObjectName(QStringLiteral("window%1").arg(i));
    }
    // The message filter is the real one, fed by the tabs as the main window wires it.
    delete windows[DOCK_MSG_FILTER].pWidget;
    auto* pFilter = new QMsgFiterDiag(&window);
    windows[DOCK_MSG_FILTER].pWidget = pFilter;
    QObject::connect(&shell.Tabs, &CPortTab::SignalPortTabGetFilterData, pFilter, &QMsgFiterDiag::OnUpdateDataDiag);
    pFilter->findChild<QLineEdit*>()->setText(QStringLiteral("GGA"));
    QtCentral::RegisterDockWindows(windows);
    window.setCentralWidget(pCentral);
    pCentral->LoadFlexLayout(&shell.Tabs);
    for (FLEX_DOCK_WINDOW_E e : {DOCK_COMMAND_WINDOW, DOCK_CN0_VIEW, DOCK_SKY_PLOT, DOCK_MSG_FILTER})
        QtCentral::ShowDockWindow(windows[e].pAction);
    EXPECT_EQ(FlexManager::instance()->dockWidget(windows[DOCK_SKY_PLOT].pWidget)->windowTitle(),
              QtCentral::DockWindowTitle(DOCK_SKY_PLOT));
    window.show();
    ASSERT_TRUE(WaitUntil([&] { return shell.Tabs.GetTxView(0)->toPlainText().contains("GPGGA"); }));
    auto* pTable = pFilter->findChild<QTableWidget*>();
    rx.StartStream(STREAM_NMEA, 20000);
    ASSERT_TRUE(WaitUntil([&] { return pTable->rowCount() >= 5; }));
    rx.StopStream();
    // Docked, the filter leaves the port tabs most of the width; no line it shows is cut.
    EXPECT_GT(shell.Tabs.width(), window.width() / 3);
    for (int i = 0; i < pTable->rowCount(); ++i)
        EXPECT_GE(pTable->columnWidth(1), pTable->fontMetrics().horizontalAdvance(pTable->item(i, 1)->text()));
    // Logs and hex dumps line up in their columns.
    EXPECT_TRUE(HasOneGlyphWidth(shell.Tabs.GetTxView(0)->font()));
    shell.Tabs.OnTriggerCurTxViewStopShow();
    shell.Tick();
    Shoot(&window, QStringLiteral("shell_%1").arg(sLanguage));
    EXPECT_EQ(ClippedLabels(&shell.StatusBar).join('\n').toStdString(), "");

    shell.Tabs.OnContextMenuRequesred(QPoint());
    QMenu* pMenu = shell.Tabs.findChild<QMenu*>();
    ASSERT_NE(pMenu, nullptr);
    Shoot(pMenu, QStringLiteral("shell_tab_menu_%1").arg(sLanguage));
    pMenu->close();
    shell.Tabs.OnShowCurTxViewOptions();
    QMenu* pViewMenu = shell.Tabs.GetTxView(0)->ContextMenu();
    ASSERT_NE(pViewMenu, nullptr);
    Shoot(pViewMenu, QStringLiteral("data_view_menu_%1").arg(sLanguage));
    pViewMenu->close();

    // The filter on its own, at its smallest.
    QtCentral::ReleaseDock(FlexManager::instance()->dockWidget(pFilter));
    pFilter->setParent(nullptr);
    pFilter->resize(pFilter->minimumSize());
    pFilter->show();
    Shoot(pFilter, QStringLiteral("msg_filter_%1").arg(sLanguage));
    EXPECT_EQ(ClippedOrEnglish(pFilter, QStringLiteral("msg_filter_%1").arg(sLanguage)).join('\n').toStdString(), "");
    EXPECT_GE(pTable->rowCount(), 5);
    delete pFilter;

    FlexManager::instance()->close();
    // The stand-in owns the tabs and the status bar, not the window.
    shell.Tabs.setParent(nullptr);
    shell.StatusBar.setParent(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Languages, ShellLayoutTest, ::testing::Values("en", "zh"));

// The layout check itself: a table's cells and header sections count where
// they are in sight, a wrapped text that fits its row does not.
TEST(LayoutCheck, TableCellsAndHeadersInSightCount)
{
    QWidget window;
    window.resize(400, 200);
    auto* pTable = new QTableWidget(40, 2, &window);
    pTable->setObjectName(QStringLiteral("table"));
    pTable->resize(window.size());
    pTable->setColumnWidth(0, 60);
    pTable->setColumnWidth(1, 120);
    pTable->setHorizontalHeaderLabels({QStringLiteral("A header far too long"), QStringLiteral("Value")});
    pTable->setItem(0, 0, new QTableWidgetItem(QStringLiteral("ok")));
    pTable->setItem(0, 1, new QTableWidgetItem(QStringLiteral("Initial_Alignment_Velocity")));
    // Three words wider than their column, in a row three lines high: wrapped, whole.
    const QString sWords = QStringLiteral("Initial Alignment Velocity");
    EXPECT_GT(pTable->fontMetrics().horizontalAdvance(sWords), pTable->columnWidth(1));
    pTable->setItem(1, 1, new QTableWidgetItem(sWords));
    pTable->setRowHeight(1, 3 * pTable->fontMetrics().height() + 4);
    // Out of sight: scrolled to, it would be cut.
    pTable->setItem(39, 1, new QTableWidgetItem(QStringLiteral("Initial_Alignment_Velocity")));
    window.show();
    QCoreApplication::processEvents();
    QStringList clipped = ClippedTexts(&window);
    clipped.sort();
    ASSERT_EQ(clipped.size(), 2) << clipped.join('\n').toStdString();
    EXPECT_TRUE(clipped[0].startsWith("table cell 0,1 \"Initial_Alignment_Velocity\"")) << clipped[0].toStdString();
    EXPECT_TRUE(clipped[1].startsWith("table header section 0 \"A header far too long\"")) << clipped[1].toStdString();
}
