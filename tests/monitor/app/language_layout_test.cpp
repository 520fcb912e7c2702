// The language chosen in the Language menu reaches every window at run time,
// both ways; and every window of the monitor, rendered in each language,
// shows its texts uncut (images kept under ZV_UI_SHOTS when that is set).
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>

#include "monitor/config/freset_config.h"
#include "monitor/config/lock_out_diag.h"
#include "monitor/config/loglist_diag.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "monitor/ins/config_check.h"
#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/ins/ins_config_diag.h"
#include "monitor/ins/medium_freq_diag.h"
#include "monitor/ins/nvm_log_diag.h"
#include "monitor/shell/about_dialog.h"
#include "monitor/shell/button_bar.h"
#include "monitor/shell/button_edit.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/docking_host.h"
#include "monitor/shell/msg_filter_diag.h"
#include "monitor/shell/status_bar.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/hardware_diag.h"
#include "monitor/tools/hex_to_bin_diag.h"
#include "monitor/tools/kmz_gen_diag.h"
#include "monitor/tools/lon_lat_convert_diag.h"
#include "monitor/tools/product_mode_diag.h"
#include "monitor/tools/regression_diag.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/range_view.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/track_plot.h"
#include "monitor/views/web/highlight_diag.h"
#include "monitor/views/web/map_window.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"
#include "support/window_layout.h"
#include "zv_version.h"

namespace
{
// The windows of the views, configuration, INS and tools, as the main window holds them.
QList<QWidget*> AreaWindows(const MONITOR_WINDOWS_T& w)
{
    return {w.pMapWindow,   w.pMsgConfig,  w.pINSConfig, w.pRecvConfig,     w.pRecvStatus,  w.pLockOut,
            w.pConfigCheck, w.pAutoLog,    w.pFreset,    w.pKMZGen,         w.pHexToBin,    w.pSkyPlot,
            w.pCN0,         w.pTrackPlot,  w.pINStatus,  w.pRangeView,      w.pRegression,  w.pNvmLog,
            w.pHardware,    w.pUserconfig, w.pLoglist,   w.pINSConfigCheck, w.pProductMode, w.pMediumFreq,
            w.pLonLat,      w.pHeightPlot, w.pHighLight};
}

QString DockTitle(QWidget* pWidget)
{
    DockWidget* pDock = FlexManager::instance()->dockWidget(pWidget);
    return pDock ? pDock->windowTitle() : QString();
}
} // namespace

TEST_F(MonitorTest, TheLanguageSwitchesBothWaysInEveryWindow)
{
    Form().actionSkyPlot->trigger();
    const QList<QWidget*> areaWindows = AreaWindows(W());
    QStringList englishTitles;
    for (QWidget* pWindow : areaWindows)
        englishTitles << pWindow->windowTitle();
    QSignalSpy languageChanges(&Window(), &QZorvikMonitor::SignalLanguageChanged);

    Window().ChineseAction()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(Window().CurrentLanguage(), QStringLiteral("zh"));
    EXPECT_TRUE(Window().ChineseAction()->isChecked());
    EXPECT_EQ(Form().m_MenuPort->title(), QStringLiteral("端口"));
    EXPECT_EQ(Form().m_ActionQuickConnect->text(), QStringLiteral("快速连接"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("ZorvikMonitor v") + QLatin1String(ZV_VERSION_TEXT));
    EXPECT_EQ(Window().ReconnectAllAction()->text(), QStringLiteral("全部重连"));
    EXPECT_EQ(Window().ButtonBarToggle()->text(), QStringLiteral("预设命令"));
    EXPECT_EQ(W().pSkyPlot->windowTitle(), QStringLiteral("星空图"));
    EXPECT_EQ(DockTitle(W().pSkyPlot), QStringLiteral("星空图"));
    EXPECT_EQ(DockTitle(W().pCmdContainer), QStringLiteral("命令窗口"));
    EXPECT_NE(W().pQuickConnect->windowTitle(), QStringLiteral("Quick Connect"));
    // Every window re-applied its texts: its title is the Chinese one.
    EXPECT_EQ(languageChanges.count(), 1);
    for (int i = 0; i < areaWindows.size(); ++i)
    {
        EXPECT_FALSE(areaWindows.at(i)->windowTitle().isEmpty()) << areaWindows.at(i)->objectName().toStdString();
        EXPECT_NE(areaWindows.at(i)->windowTitle(), englishTitles.at(i)) << englishTitles.at(i).toStdString();
    }
    EXPECT_EQ(W().pKMZGen->windowTitle(), QStringLiteral("KMZ 生成"));
    EXPECT_EQ(W().pHexToBin->windowTitle(), QStringLiteral("十六进制转二进制"));
    EXPECT_EQ(W().pLonLat->windowTitle(), QStringLiteral("经纬度转换"));
    // Docks a layout change shows, new ones included, carry the titles of the language in use.
    Form().actionAdvance->trigger();
    QCoreApplication::processEvents();
    const std::pair<QWidget*, FLEX_DOCK_WINDOW_E> docks[] = {{W().pSkyPlot, DOCK_SKY_PLOT},
                                                             {W().pCN0, DOCK_CN0_VIEW},
                                                             {W().pRangeView, DOCK_RANGE_PARSER},
                                                             {W().pMapWindow, DOCK_MAP_WINDOW}};
    for (const auto& [pWidget, eDock] : docks)
        EXPECT_EQ(DockTitle(pWidget), QtCentral::DockWindowTitle(eDock)) << pWidget->objectName().toStdString();
    EXPECT_EQ(DockTitle(W().pCN0), QStringLiteral("载噪比视图"));
    Form().actionSimplify->trigger();
    EXPECT_EQ(DockTitle(W().pCmdContainer), QStringLiteral("命令窗口"));

    Window().EnglishAction()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(Window().CurrentLanguage(), QStringLiteral("en"));
    EXPECT_EQ(Form().m_MenuPort->title(), QStringLiteral("Port"));
    EXPECT_EQ(Form().actionRecvStatus->text(), QStringLiteral("Receiver Status"));
    EXPECT_EQ(W().pSkyPlot->windowTitle(), QStringLiteral("SkyPlot"));
    EXPECT_EQ(DockTitle(W().pSkyPlot), QStringLiteral("Sky Plot"));
    EXPECT_EQ(W().pQuickConnect->windowTitle(), QStringLiteral("Quick Connect"));
    for (int i = 0; i < areaWindows.size(); ++i)
        EXPECT_EQ(areaWindows.at(i)->windowTitle(), englishTitles.at(i));
    EXPECT_EQ(W().pKMZGen->windowTitle(), QStringLiteral("KMZ Gen Dialog"));
    EXPECT_EQ(W().pHexToBin->windowTitle(), QStringLiteral("Hex To Binary"));
    EXPECT_EQ(W().pLonLat->windowTitle(), QStringLiteral("Longitude and latitude conversion"));
    // Choosing the language in use changes nothing.
    Window().EnglishAction()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(languageChanges.count(), 2);
}

class MonitorLayoutTest : public MonitorTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(MonitorLayoutTest, EveryWindowShowsItsTextsUncut)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    (sLanguage == QLatin1String("zh") ? Window().ChineseAction() : Window().EnglishAction())->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(Window().CurrentLanguage(), sLanguage);

    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = TypeOpen(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    rx.StartStream(STREAM_TEXT_LOGS | STREAM_NMEA, 20000);
    ASSERT_TRUE(WaitUntil([&] { return Shown(0).contains(QStringLiteral("GPGGA")); }));
    rx.StopStream();
    W().pTimer->stop();
    Window().OnUpdateDiag();

    // The main window in the advanced layout on a laptop screen of 1366 by 768.
    Form().actionAdvance->trigger();
    Window().showNormal();
    Window().resize(1366, 768);
    Form().actionProfressional->trigger();
    EXPECT_EQ(RenderAndCheck(&Window(), "monitor_main_" + sLanguage), "");
    Window().show();
    for (QMenu* pMenu : Window().menuBar()->findChildren<QMenu*>())
    {
        // Menus size themselves to their entries; they are rendered to be looked at.
        if (pMenu->parent() == Window().menuBar() && !pMenu->actions().isEmpty())
        {
            EXPECT_EQ(RenderAndCheck(pMenu, "monitor_menu_" + pMenu->objectName() + "_" + sLanguage), "");
        }
    }

    QList<QWidget*> windows = {W().pQuickConnect, W().pPortList, W().pReplay, W().pAbout, W().pButtonBar->ButtonEdit(),
                               W().pKMZGen,       W().pHexToBin};
    // The conversion tool's three pages, and its other modes, one by one.
    QTabWidget* pLonLatTabs = W().pLonLat->findChild<QTabWidget*>(QStringLiteral("pConvertTab"));
    ASSERT_NE(pLonLatTabs, nullptr);
    for (int nPage = 0; nPage < pLonLatTabs->count(); ++nPage)
    {
        pLonLatTabs->setCurrentIndex(nPage);
        EXPECT_EQ(RenderAndCheck(W().pLonLat,
                                 QStringLiteral("monitor_QLonAndLatConvertDiag_%1_%2").arg(nPage).arg(sLanguage)),
                  "");
    }
    W().pLonLat->findChild<QCheckBox*>(QStringLiteral("pThreeFormatCheckBox"))->setChecked(true);
    W().pLonLat->findChild<QComboBox*>(QStringLiteral("qInputFormatcomboBox"))->setCurrentIndex(2);
    W().pLonLat->findChild<QComboBox*>(QStringLiteral("pCoorTransModeComboBox"))->setCurrentIndex(1);
    W().pLonLat->findChild<QComboBox*>(QStringLiteral("pTimeTransModeComboBox"))->setCurrentIndex(1);
    for (int nPage = 0; nPage < pLonLatTabs->count(); ++nPage)
    {
        pLonLatTabs->setCurrentIndex(nPage);
        EXPECT_EQ(RenderAndCheck(W().pLonLat,
                                 QStringLiteral("monitor_QLonAndLatConvertDiag_%1b_%2").arg(nPage).arg(sLanguage)),
                  "");
    }
    QList<QWidget*> dockable = {W().pDebugWindow, W().pMsgFilter};
    // The help window is a web view and nothing else; the web windows' test
    // program renders its pages in both languages once they are drawn.
    for (QWidget* pWindow : AreaWindows(W()))
        if (pWindow != W().pKMZGen && pWindow != W().pHexToBin && pWindow != W().pLonLat && pWindow != W().pHighLight)
            dockable << pWindow;
    for (QWidget* pWindow : dockable)
    {
        // Docked windows were checked inside the main window.
        if (FlexManager::instance()->dockWidget(pWindow) == nullptr)
            windows << pWindow;
    }
    for (QWidget* pWindow : windows)
    {
        const QString sName = pWindow->objectName().isEmpty() ? QString::fromLatin1(pWindow->metaObject()->className())
                                                              : pWindow->objectName();
        EXPECT_EQ(RenderAndCheck(pWindow, "monitor_" + sName + "_" + sLanguage), "") << sName.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, MonitorLayoutTest, ::testing::Values("en", "zh"));
