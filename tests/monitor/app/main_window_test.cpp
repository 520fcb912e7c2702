// The main window on its own: what a start shows, the 100 ms tick and the
// rates at which it refreshes the views, the status replies handed to the
// dialogs that asked, the global keys, stable mode and the close question.
// Ports are in-memory controllers added to the tab set as the port manager
// adds them.
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <map>
#include <memory>
#include <vector>

#include "codec/profile.h"
#include "monitor/config/loglist_diag.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/ins/ins_config_diag.h"
#include "monitor/ins/medium_freq_diag.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/usb_receiver_id_file.h"
#include "monitor/shell/about_dialog.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/preset_file.h"
#include "monitor/shell/txt_browser.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/range_view.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/track_plot.h"
#include "monitor/views/web/map_window.h"
#include "monitor_fixture.h"
#include "support/fifo_guard.h"
#include "support/monitor/memory_port_ctrl.h"
#include "zv_version.h"

namespace
{
class MainWindow : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        // The test drives the tick itself.
        W().pTimer->stop();
    }
    void TearDown() override
    {
        MonitorTest::TearDown();
        m_Ports.clear();
    }
    // An in-memory port with a tab of its own, made current.
    CMemoryPortCtrl* AddPort(QZvPortCtrlBase::PORT_TYPE_E eType = QZvPortCtrlBase::PORT_TYPE_UART,
                             const QString& sName = QStringLiteral("/dev/ttyUSB0"))
    {
        m_Ports.push_back(std::make_unique<CMemoryPortCtrl>(eType, sName));
        CMemoryPortCtrl* pPort = m_Ports.back().get();
        Tabs().OnAddPort(pPort->UniquePortID, eType, pPort);
        Tabs().setCurrentIndex(Tabs().count() - 1);
        return pPort;
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            Window().OnUpdateDiag();
    }

private:
    // Destroyed after the window, which removes their tabs.
    std::vector<std::unique_ptr<CMemoryPortCtrl>> m_Ports;
};

// FIFOs where the files the monitor reads at its start should be: the USB
// receiver IDs that the quick connect window reads while the main window is
// made, the command presets and the command history.
class MainWindowOnFifos : public MonitorTest
{
protected:
    void SetUp() override
    {
        for (const QString& sPath : {UsbReceiverIdFilePath(), PresetFilePath(), QCMDInput::HistoryLogPath()})
        {
            QFile::remove(sPath);
            QDir().mkpath(QFileInfo(sPath).absolutePath());
            m_Fifos.push_back(std::make_unique<CFifoGuard>(sPath.toStdString()));
            ASSERT_TRUE(m_Fifos.back()->IsValid()) << sPath.toStdString();
        }
        MonitorTest::SetUp();
    }
    void TearDown() override
    {
        MonitorTest::TearDown();
        m_Fifos.clear();
    }
    // Whether one of them was waited on.
    bool WaitedOn() const
    {
        for (const auto& p : m_Fifos)
            if (p->Released())
                return true;
        return false;
    }

private:
    std::vector<std::unique_ptr<CFifoGuard>> m_Fifos;
};

bool DockShown(QWidget* pWidget)
{
    DockWidget* pDock = FlexManager::instance()->dockWidget(pWidget);
    return pDock != nullptr && pDock->isVisible();
}
} // namespace

TEST_F(MainWindow, StartsWithTheQuickConnectWindowTheCommandWindowAndTheClassicalActions)
{
    // The codec reads receivers as the monitor does (its leap seconds and text forms).
    EXPECT_TRUE(IsMonitorProfile());
    // The title and the About box show the one version the build sets.
    const QString sVersion = QStringLiteral("ZorvikMonitor v") + QLatin1String(ZV_VERSION_TEXT);
    EXPECT_EQ(Window().windowTitle(), sVersion);
    EXPECT_TRUE(W().pAbout->findChild<QLabel*>(QStringLiteral("label_2"))->text().contains(sVersion));
    EXPECT_TRUE(W().pQuickConnect->isVisible());
    EXPECT_TRUE(DockShown(W().pCmdContainer));
    EXPECT_EQ(W().pCmdContainer->objectName(), QStringLiteral("CMDWinContainer"));
    // Only the command window is docked in the simplified layout.
    for (QWidget* pView : std::initializer_list<QWidget*>{W().pSkyPlot, W().pCN0, W().pMapWindow, W().pRangeView})
        EXPECT_FALSE(DockShown(pView)) << pView->objectName().toStdString();
    for (QAction* pAction :
         {Form().m_ActionConnect, Form().m_ActionDisconnect, Form().m_ActionReconnect, Form().m_ActReplayFile,
          Form().actionRangeParser, Form().menuReplay->menuAction(), Form().m_WindowMenu->menuAction(),
          Window().ConnectionMenuAction(), Form().menuAnalysis->menuAction(), Form().menuEVT->menuAction(),
          Form().actionWebServer, Form().actionDebugWindow, Form().m_pActionRenameAll})
        EXPECT_FALSE(pAction->isVisible()) << pAction->objectName().toStdString();
    EXPECT_TRUE(Form().m_ActionQuickConnect->isVisible());
    // A locale other than Chinese starts in English.
    EXPECT_TRUE(Window().EnglishAction()->isChecked());
    EXPECT_EQ(Window().CurrentLanguage(), QStringLiteral("en"));
    EXPECT_EQ(W().pTimer->interval(), 100);

    Form().actionProfressional->trigger();
    for (QAction* pAction : {Form().m_ActionConnect, Form().m_ActionDisconnect, Form().m_ActionReconnect,
                             Form().menuReplay->menuAction(), Form().m_WindowMenu->menuAction(),
                             Window().ConnectionMenuAction()})
        EXPECT_TRUE(pAction->isVisible()) << pAction->objectName().toStdString();
    Form().actionClassical->trigger();
    EXPECT_FALSE(Window().ConnectionMenuAction()->isVisible());
}

// None of them holds up the start; each is said once and the defaults are used.
TEST_F(MainWindowOnFifos, StartsAndSaysWhichFilesItCannotUse)
{
    EXPECT_TRUE(W().pQuickConnect->isVisible());
    const QString sStatus =
        W().pQuickConnect->findChild<QPlainTextEdit*>(QStringLiteral("USBStatusText"))->toPlainText();
    EXPECT_TRUE(sStatus.contains(QStringLiteral("UsbReceiverIds.txt cannot be read: it is not a regular file. No "
                                                "receiver ID is added from it.")))
        << sStatus.toStdString();
    EXPECT_EQ(Prompt.Messages.filter(QStringLiteral("The command presets cannot be read")).size(), 1)
        << Prompt.Messages.join('\n').toStdString();
    // A command still goes out; the history it cannot be written to is said once.
    auto port = std::make_unique<CMemoryPortCtrl>(QZvPortCtrlBase::PORT_TYPE_UART, QStringLiteral("/dev/ttyUSB0"));
    Tabs().OnAddPort(port->UniquePortID, port->PortType, port.get());
    QSignalSpy sent(W().pCmdInput, &QCMDInput::SignalSendCMD);
    Type(QStringLiteral("log version"));
    Type(QStringLiteral("log bestposa once"));
    EXPECT_EQ(sent.count(), 2);
    EXPECT_EQ(Prompt.Messages.filter(QStringLiteral("The command history cannot be written")).size(), 1);
    EXPECT_FALSE(WaitedOn());
    Tabs().OnClosePort(0);
}

TEST_F(MainWindow, TheToolBarHoldsItsActionsInOrderWithTheConnectionMenuBeforeLogDiag)
{
    QStringList names;
    for (QAction* pAction : Form().toolBarMain->actions())
        names << (pAction->isSeparator() ? QStringLiteral("|")
                  : pAction == Window().ConnectionMenuAction() ? QStringLiteral("menu")
                                                               : pAction->objectName());
    EXPECT_EQ(names.join(' ').toStdString(),
              "m_ActionConnect m_ActionQuickConnect m_ActionDisconnect m_ActionReconnect menu | m_ActionLogDiag "
              "m_pActionRenameAll m_ActReplayFile | actionConfigDiag actionMessageView m_actionINSConfig | "
              "actionRecvStatus actionINStatus actionTrackPlot actionPositionHeightPlot actionMapWindow "
              "actionSkyPlot actionCN0 actionRangeParser | actionStableMode actionWebServer");
    EXPECT_EQ(Window().ConnectionMenuButton()->size(), QSize(13, 30));
    // Two actions must not share a key: neither would fire.
    QMap<QString, QString> keys;
    for (QAction* pAction : Window().findChildren<QAction*>())
    {
        const QString sKey = pAction->shortcut().toString();
        if (sKey.isEmpty())
            continue;
        EXPECT_FALSE(keys.contains(sKey)) << sKey.toStdString() << ": " << keys.value(sKey).toStdString() << " and "
                                          << pAction->objectName().toStdString();
        keys.insert(sKey, pAction->objectName());
    }
}

TEST_F(MainWindow, TheTickRefreshesTheStatusBarEveryTickTheViewsEveryEighthAndTheCN0ChartEverySixteenth)
{
    // Without a port the tick only hides the web server entry.
    Form().actionWebServer->setVisible(true);
    Ticks(20);
    EXPECT_EQ(Window().TickCount(), 0u);
    EXPECT_FALSE(Form().actionWebServer->isVisible());

    AddPort();
    for (QAction* pAction : {Form().actionSkyPlot, Form().actionCN0, Form().actionINStatus, Form().actionTrackPlot,
                             Form().actionPositionHeightPlot, Form().actionMapWindow, Form().actionRangeParser,
                             Form().actionRecvStatus})
        pAction->trigger();
    QSignalSpy positions(&Tabs(), &CPortTab::SingalUpdatePos);
    QSignalSpy ins(&Window(), &QZorvikMonitor::SignalUpdateINSStatus);
    QSignalSpy mapHidden(&Window(), &QZorvikMonitor::SignalMapWindowHidden);
    // The ticks on which each view was refreshed, and what it was handed.
    std::map<std::string, std::vector<uint>> ticks;
    std::map<std::string, void*> handed;
    auto watch = [&](const char* pName, auto Signal)
    {
        QObject::connect(&Window(), Signal, &Window(),
                         [&ticks, &handed, pName, this](void* p)
                         {
                             ticks[pName].push_back(Window().TickCount());
                             handed[pName] = p;
                         });
    };
    watch("sky", &QZorvikMonitor::SignalUpdateSkyPlot);
    watch("track", &QZorvikMonitor::SignalUpdateTrackPlot);
    watch("height", &QZorvikMonitor::SignalUpdateHeightPlot);
    watch("map", &QZorvikMonitor::SignalUpdateMap);
    watch("cn0", &QZorvikMonitor::SignalUpdateCN0BarChart);
    watch("range", &QZorvikMonitor::SignalUpdateRangeViewData);
    watch("status", &QZorvikMonitor::SignalUpdateRecvStatus);
    Ticks(32);
    EXPECT_EQ(Window().TickCount(), 32u);
    EXPECT_EQ(positions.count(), 32);
    void* const pPos = &Tabs().GetPosDataParser()->m_PosData;
    EXPECT_EQ(positions.at(0).at(0).value<void*>(), pPos);
    EXPECT_EQ(ins.count(), 32);
    EXPECT_EQ(ins.at(0).at(0).value<void*>(), static_cast<void*>(&Tabs()));
    // Every view every eighth tick and the CN0 chart every sixteenth, each
    // on a tick of its own.
    std::map<uint, std::string> owner;
    for (const auto& [sName, v] : ticks)
    {
        const uint nPeriod = sName == "cn0" ? QZorvikMonitor::CN0_TICKS : QZorvikMonitor::VIEW_TICKS;
        ASSERT_EQ(v.size(), 32 / nPeriod) << sName;
        EXPECT_LT(v[0], nPeriod) << sName;
        for (size_t i = 1; i < v.size(); ++i)
            EXPECT_EQ(v[i] - v[i - 1], nPeriod) << sName;
        for (uint nTick : v)
        {
            const uint nPhase = nTick % QZorvikMonitor::VIEW_TICKS;
            EXPECT_TRUE(owner.emplace(nPhase, sName).second || owner[nPhase] == sName)
                << sName << " shares tick " << nTick << " with " << owner[nPhase];
        }
    }
    EXPECT_EQ(ticks.size(), 7u);
    for (const char* pName : {"sky", "track", "height"})
        EXPECT_EQ(handed[pName], pPos) << pName;
    for (const char* pName : {"map", "cn0", "range", "status"})
        EXPECT_EQ(handed[pName], static_cast<void*>(&Tabs())) << pName;
    // Hidden views are not refreshed; the hidden map is told so it can let go of its page.
    EXPECT_EQ(mapHidden.count(), 0);
    for (QWidget* p : std::initializer_list<QWidget*>{W().pMapWindow, W().pRangeView, W().pRecvStatus})
        FlexManager::instance()->dockWidget(p)->hide();
    ticks.clear();
    Ticks(8);
    EXPECT_EQ(ticks.count("map") + ticks.count("range") + ticks.count("status"), 0u);
    EXPECT_EQ(mapHidden.count(), 1);
}

TEST(MainWindowTick, ThePlanKeepsTheViewsMidwayBetweenTheHandOversOfThePortInSight)
{
    // Milliseconds since the port in sight handed over; whether the tick
    // refreshes its views; when the next tick comes.
    struct
    {
        qint64 Since;
        bool bViewsNow;
        int NextMs;
    } const cases[] = {
        {-1, true, 100},   // nothing handed over yet: no rhythm to keep to
        {400, true, 100},  // nothing for two intervals: none either
        {3, false, 99},    // on a hand-over, 3 ms late
        {49, false, 76},   // still near it, and drawn back the most
        {50, true, 125},   // a quarter of the interval after it: midway enough
        {96, true, 102},   // midway, 4 ms early
        {104, true, 98},   // midway, 4 ms late
        {150, true, 125},  // a quarter before the next hand-over
        {151, false, 124}, // nearer the next one
        {197, false, 101}, // the next one is 3 ms away
        {260, false, 120}, // it is late: midway to the one after
    };
    for (const auto& c : cases)
    {
        const QZorvikMonitor::TICK_PLAN_T plan = QZorvikMonitor::PlanTick(c.Since);
        EXPECT_EQ(plan.bRefreshNow, c.bViewsNow) << c.Since;
        EXPECT_EQ(plan.nNextIntervalMs, c.NextMs) << c.Since;
    }
}

TEST_F(MainWindow, WhatIsDueOnAHandOverOfThePortInSightIsRefreshedOnTheNextTickMidway)
{
    CMemoryPortCtrl* pPort = AddPort();
    for (QAction* pAction : {Form().actionSkyPlot, Form().actionCN0, Form().actionTrackPlot, Form().actionINStatus,
                             Form().actionPositionHeightPlot, Form().actionRangeParser, Form().actionRecvStatus})
        pAction->trigger();
    qint64 nNowMs = -1;
    CZvTxtBrowser::SetClock([&nNowMs] { return nNowMs; });
    std::shared_ptr<void> restore(nullptr, [](void*) { CZvTxtBrowser::SetClock(nullptr); });
    // When each view was refreshed, in milliseconds after the latest hand-over.
    std::map<std::string, std::vector<std::pair<uint, qint64>>> refreshed;
    qint64 nHandOverMs = -1;
    auto watch = [&](const char* pName, auto Signal)
    {
        QObject::connect(&Window(), Signal, &Window(),
                         [&, pName](void*)
                         { refreshed[pName].emplace_back(Window().TickCount(), nNowMs - nHandOverMs); });
    };
    watch("sky", &QZorvikMonitor::SignalUpdateSkyPlot);
    watch("track", &QZorvikMonitor::SignalUpdateTrackPlot);
    watch("height", &QZorvikMonitor::SignalUpdateHeightPlot);
    watch("cn0", &QZorvikMonitor::SignalUpdateCN0BarChart);
    watch("range", &QZorvikMonitor::SignalUpdateRangeViewData);
    watch("status", &QZorvikMonitor::SignalUpdateRecvStatus);
    std::vector<qint64> insRefreshed;
    QObject::connect(&Window(), &QZorvikMonitor::SignalUpdateINSStatus, &Window(),
                     [&](void*) { insRefreshed.push_back(nNowMs - nHandOverMs); });
    // The port hands over every 200 ms; the ticks come 3 ms after each
    // hand-over and midway, for both orders of near and midway ticks.
    for (const qint64 nFirstTickMs : {3, 100103})
    {
        refreshed.clear();
        insRefreshed.clear();
        const uint nFirstTick = Window().TickCount();
        for (int i = 0; i < 32; ++i)
        {
            const qint64 nTickMs = nFirstTickMs + 100 * i;
            nNowMs = nTickMs - 3 - (nTickMs - 3) % 200;
            if (nNowMs > nHandOverMs)
            {
                nHandOverMs = nNowMs;
                pPort->Receive("$GPGGA,1\r\n");
            }
            nNowMs = nTickMs;
            Window().OnUpdateDiag();
        }
        for (const auto& [sName, v] : refreshed)
        {
            const uint nPeriod = sName == "cn0" ? QZorvikMonitor::CN0_TICKS : QZorvikMonitor::VIEW_TICKS;
            ASSERT_GE(v.size(), 32 / nPeriod - 1) << sName;
            for (size_t k = 0; k < v.size(); ++k)
            {
                EXPECT_EQ(v[k].second, 103) << sName << " refreshed on tick " << v[k].first - nFirstTick;
                if (k > 0)
                {
                    EXPECT_EQ(v[k].first - v[k - 1].first, nPeriod) << sName;
                }
            }
        }
        EXPECT_EQ(refreshed.size(), 6u);
        // The INS status, refreshed on every tick without a rhythm, follows
        // the midway ticks.
        EXPECT_EQ(insRefreshed, std::vector<qint64>(16, 103));
    }
}

TEST_F(MainWindow, StatusRepliesReachOnlyTheDialogsThatWaitForThem)
{
    AddPort();
    for (QWidget* pShown : std::initializer_list<QWidget*>{W().pRecvConfig, W().pUserconfig, W().pLoglist})
        pShown->show();
    struct
    {
        uint Mask;
        int RecvConfig, INSConfig, Userconfig, MsgConfig, Loglist, RangeView, INSCheck, MediumFreq;
    } const cases[] = {
        {0x1, 1, 0, 1, 0, 0, 0, 0, 0},    // the INS configuration is hidden
        {0x4, 0, 0, 0, 1, 1, 0, 0, 0},    // the message configuration hears it hidden too
        {0x5, 1, 0, 1, 1, 1, 0, 0, 0},    // both bits served
        {0x81, 0, 0, 0, 0, 0, 0, 0, 0},   // a configuration check reply refreshes nothing
        {0x104, 0, 0, 0, 0, 0, 0, 0, 0},  // nor does a factory reset reply
        {0x1000, 0, 0, 0, 0, 0, 0, 1, 0}, // visible or not
        {0x2000, 0, 0, 0, 0, 0, 0, 0, 1},
    };
    QSignalSpy recvConfig(&Window(), &QZorvikMonitor::SignalUpdateRecvConfigDiag);
    QSignalSpy insConfig(&Window(), &QZorvikMonitor::SignalUpdateINSConfigDiag);
    QSignalSpy userconfig(&Window(), &QZorvikMonitor::SignalUpdateUserconfigDiag);
    QSignalSpy msgConfig(&Window(), &QZorvikMonitor::SignalUpdateMsgConfigDiag);
    QSignalSpy loglist(&Window(), &QZorvikMonitor::SignalUpdateLoglistDiag);
    QSignalSpy rangeView(&Window(), &QZorvikMonitor::SignalRangeViewSendCommand);
    QSignalSpy insCheck(&Window(), &QZorvikMonitor::SignalUpdateINSConfigCheckDiag);
    QSignalSpy mediumFreq(&Window(), &QZorvikMonitor::SignalUpdateMediumFreqDiag);
    QSignalSpy* const spies[] = {&recvConfig, &insConfig, &userconfig, &msgConfig,
                                 &loglist,    &rangeView, &insCheck,   &mediumFreq};
    for (const auto& c : cases)
    {
        for (QSignalSpy* pSpy : spies)
            pSpy->clear();
        // As the port's status parser reports a finished reply.
        emit Tabs().SignalStatusMsgParseFinished(c.Mask);
        SCOPED_TRACE(c.Mask);
        EXPECT_EQ(recvConfig.count(), c.RecvConfig);
        EXPECT_EQ(insConfig.count(), c.INSConfig);
        EXPECT_EQ(userconfig.count(), c.Userconfig);
        EXPECT_EQ(msgConfig.count(), c.MsgConfig);
        EXPECT_EQ(loglist.count(), c.Loglist);
        EXPECT_EQ(rangeView.count(), c.RangeView);
        EXPECT_EQ(insCheck.count(), c.INSCheck);
        EXPECT_EQ(mediumFreq.count(), c.MediumFreq);
        // The dialogs that read the tab set get it.
        for (QSignalSpy* pSpy : {&recvConfig, &msgConfig})
            for (const QList<QVariant>& call : *pSpy)
                EXPECT_EQ(call.at(0).value<void*>(), static_cast<void*>(&Tabs()));
    }
}

TEST_F(MainWindow, CommandTextsOfTheDialogsGoToTheCurrentPortOrToNone)
{
    CMemoryPortCtrl* pFirst = AddPort();
    CMemoryPortCtrl* pSecond = AddPort(QZvPortCtrlBase::PORT_TYPE_TCP, QStringLiteral("10.0.0.5"));
    QSignalSpy sent(&Window(), &QZorvikMonitor::SignalSendMsgConfig);
    Window().OnSendMsgConfig(QStringLiteral("saveconfig\r\n"));
    Tabs().setCurrentIndex(0);
    Window().OnSendMsgConfig(QStringLiteral("INSCOMMAND ENABLE\r\n"));
    // The message output window sends to the port it was opened on instead.
    emit W().pMsgConfig->SignalSendMsg(QStringLiteral("log version\r\n"));
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), pSecond->UniquePortID);
    EXPECT_EQ(sent.at(0).at(1).toByteArray(), QByteArray("saveconfig\r\n"));
    EXPECT_EQ(sent.at(1).at(0).toUInt(), pFirst->UniquePortID);

    // The user configuration view names its port by ID; the tab set asks that port's tab.
    QSignalSpy queries(&Tabs(), &CPortTab::SignalSendCMD);
    emit W().pUserconfig->SignalSendUserconfig(pSecond->UniquePortID, 0x1);
    emit W().pUserconfig->SignalSendUserconfig(9999, 0x1);
    ASSERT_EQ(queries.count(), 1);
    EXPECT_EQ(queries.at(0).at(0).toUInt(), pSecond->UniquePortID);
    EXPECT_TRUE(queries.at(0).at(1).toByteArray().toUpper().contains("USERCONFIG"));

    while (Tabs().count() > 0)
        Tabs().removeTab(0);
    sent.clear();
    Window().OnSendMsgConfig(QStringLiteral("log version\r\n"));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent.at(0).at(0).toUInt(), 0u); // no port has the ID 0
}

TEST_F(MainWindow, KeysActOnTheCurrentPortOnlyFromTheMainWindowAndItsDocks)
{
    AddPort();
    QSignalSpy rates(&Window(), &QZorvikMonitor::SignalSetBaudrateCurTab);
    QTest::keyClick(W().pCmdInput, Qt::Key_2, Qt::ControlModifier);
    QTest::keyClick(Tabs().GetCurTxView(), Qt::Key_4, Qt::ControlModifier);
    ASSERT_EQ(rates.count(), 2);
    EXPECT_EQ(rates.at(0).at(0).toUInt(), 230400u);
    EXPECT_EQ(rates.at(1).at(0).toUInt(), 921600u);
    // Typing in another window changes nothing on the port.
    auto* pField = W().pQuickConnect->findChild<QLineEdit*>();
    ASSERT_NE(pField, nullptr);
    QTest::keyClick(pField, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(rates.count(), 2);

    QSignalSpy pause(&Window(), &QZorvikMonitor::SignalTriggerCurTxViewStopShow);
    QTest::keyClick(W().pCmdInput, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(pause.count(), 1);
    EXPECT_TRUE(Tabs().tabText(0).endsWith(QStringLiteral("-Pause")));

    // Ctrl+C without an upgrade copies, as in any text field.
    W().pCmdInput->setPlainText(QStringLiteral("log version"));
    W().pCmdInput->selectAll();
    QSignalSpy cancels(&Tabs(), &CPortTab::SignalCancelUpgradeFW);
    QTest::keyClick(W().pCmdInput, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(cancels.count(), 0);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("log version"));
}

TEST_F(MainWindow, StableModeAsksAndDisablesTheReceiverViews)
{
    const QList<QAction*> views = {Form().actionCN0,         Form().actionRecvStatus,  Form().actionSkyPlot,
                                   Form().actionINStatus,    Form().actionRangeParser, Form().actionTrackPlot,
                                   Form().actionMapWindow,   Form().actionPositionHeightPlot};
    // Hidden actions count as disabled: all of them are shown.
    Form().actionProfressional->trigger();
    Prompt.Answers = {false};
    Form().actionStableMode->trigger();
    EXPECT_FALSE(Form().actionStableMode->isChecked());
    EXPECT_FALSE(Tabs().IsStableMode());
    EXPECT_EQ(Prompt.Questions.last().toStdString(),
              "Question|Are you sure you want to go into Stablemode?\r\nAfter entering, the receiver information "
              "cannot be viewed.");

    Prompt.Answers = {true};
    Form().actionStableMode->trigger();
    EXPECT_TRUE(Tabs().IsStableMode());
    for (QAction* pAction : views)
        EXPECT_FALSE(pAction->isEnabled()) << pAction->objectName().toStdString();
    EXPECT_TRUE(Form().actionMessageView->isEnabled());

    Prompt.Answers = {false};
    Form().actionStableMode->trigger();
    EXPECT_TRUE(Form().actionStableMode->isChecked());
    EXPECT_EQ(Prompt.Questions.last(), QStringLiteral("Quit|Are you sure you want to exit stable mode?"));
    Prompt.Answers = {true};
    Form().actionStableMode->trigger();
    EXPECT_FALSE(Tabs().IsStableMode());
    for (QAction* pAction : views)
        EXPECT_TRUE(pAction->isEnabled()) << pAction->objectName().toStdString();
}

TEST_F(MainWindow, TheWindowMenuSwitchesToTheTabOfTheEntryChosen)
{
    Form().actionProfressional->trigger();
    AddPort(QZvPortCtrlBase::PORT_TYPE_UART, QStringLiteral("/dev/ttyS10"));
    AddPort(QZvPortCtrlBase::PORT_TYPE_UART, QStringLiteral("/dev/ttyS1"));
    Tabs().setTabText(0, QStringLiteral("COM10"));
    Tabs().setTabText(1, QStringLiteral("COM1"));
    QMenu* pMenu = Form().m_WindowMenu;
    pMenu->popup(Window().mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(WaitUntil([pMenu] { return pMenu->isVisible(); }, 20000));
    const QList<QAction*> entries = pMenu->actions();
    ASSERT_EQ(entries.size(), 2);
    // Sorted by text; the current tab's entry is checked.
    EXPECT_EQ(entries.at(0)->text(), QStringLiteral("COM1"));
    EXPECT_TRUE(entries.at(0)->isChecked());
    EXPECT_EQ(entries.at(1)->text(), QStringLiteral("COM10"));
    EXPECT_FALSE(entries.at(1)->isCheckable());
    // A click hides the menu (which rebuilds it) before the entry is triggered.
    QTest::mouseClick(pMenu, Qt::LeftButton, Qt::NoModifier, pMenu->actionGeometry(entries.at(1)).center());
    EXPECT_TRUE(WaitUntil([&] { return Tabs().currentIndex() == 0; }, 20000));
    EXPECT_FALSE(pMenu->isVisible());
    Window().OnSwitchTab(QStringLiteral("COM1"));
    EXPECT_EQ(Tabs().currentIndex(), 1);
}

TEST_F(MainWindow, TheCloseQuestionKeepsTheMonitorRunningOnNo)
{
    CMemoryPortCtrl* pPort = AddPort();
    Prompt.Answers = {false};
    EXPECT_FALSE(Window().close());
    EXPECT_EQ(Prompt.Questions.last(), QStringLiteral("Quit|Do you wish to close all the ports"));
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(Tabs().count(), 1);
    EXPECT_EQ(Tabs().GetCurPortCtrl(), pPort);
    EXPECT_FALSE(QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).contains(QStringLiteral("Flex")));

    Prompt.Answers = {true};
    EXPECT_TRUE(Window().close());
    EXPECT_TRUE(QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).contains(QStringLiteral("Flex")));
    EXPECT_EQ(Tabs().count(), 0);
    // No window of the monitor is left open to keep the program running.
    for (QWidget* pTop : QApplication::topLevelWidgets())
        EXPECT_FALSE(pTop->isVisible()) << pTop->metaObject()->className();
}
