// Every entry of the main window's menus, tool bar and connection menu, with
// a receiver connected (its board is ZV100, serial number 123, at
// 192.168.1.20): each opens its window or dock, or gives its command
// to the window or the tab set that serves it. An entry without an
// expectation here fails the test, so a new entry cannot go unchecked. With
// no logging rules set, none of it writes a debug or info trace.
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMutex>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <algorithm>
#include <functional>
#include <map>

#include "monitor/config/freset_config.h"
#include "monitor/config/loglist_diag.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/ins/config_check.h"
#include "monitor/ins/ins_config_check_diag.h"
#include "monitor/ins/ins_config_diag.h"
#include "monitor/ins/medium_freq_diag.h"
#include "monitor/ins/nvm_log_diag.h"
#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "monitor/ports/port_records.h"
#include "monitor/shell/about_dialog.h"
#include "monitor/shell/button_bar.h"
#include "monitor/shell/debug_window.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/msg_filter_diag.h"
#include "monitor/connect/port_list_connect_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/hardware_diag.h"
#include "monitor/tools/hex_to_bin_diag.h"
#include "monitor/tools/tool_paths.h"
#include "monitor/tools/kmz_gen_diag.h"
#include "monitor/tools/lon_lat_convert_diag.h"
#include "monitor/tools/product_mode_diag.h"
#include "monitor/tools/regression_diag.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/height_plot.h"
#include "monitor/views/web/highlight_diag.h"
#include "monitor/views/ins_status.h"
#include "monitor/views/web/map_window.h"
#include "monitor/views/range_view.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/track_plot.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"

namespace
{
void CollectActions(const QList<QAction*>& From, QList<QAction*>* pInto)
{
    for (QAction* pAction : From)
    {
        if (pAction->isSeparator())
            continue;
        if (QMenu* pSub = pAction->menu())
            CollectActions(pSub->actions(), pInto);
        else if (!pInto->contains(pAction))
            pInto->append(pAction);
    }
}

bool DockShown(QWidget* pWidget)
{
    DockWidget* pDock = FlexManager::instance()->dockWidget(pWidget);
    return pDock != nullptr && pDock->isVisible() && pWidget->isVisible();
}

void HideDock(QWidget* pWidget)
{
    if (DockWidget* pDock = FlexManager::instance()->dockWidget(pWidget))
        pDock->hide();
}

// The debug and info messages written while the main window starts and runs,
// as "category: text", from any thread; the others go on to the usual handler.
QStringList g_Traces;
QMutex g_TracesMutex;
QtMessageHandler g_fnUsualHandler = nullptr;

void CollectTraces(QtMsgType Type, const QMessageLogContext& Context, const QString& sText)
{
    if (Type != QtDebugMsg && Type != QtInfoMsg)
    {
        if (g_fnUsualHandler != nullptr)
            g_fnUsualHandler(Type, Context, sText);
        return;
    }
    // Qt WebEngine says this once when the test program turns its sandbox off
    // (the test's environment, not the monitor's).
    if (sText == QLatin1String("Sandboxing disabled by user."))
        return;
    QMutexLocker lock(&g_TracesMutex);
    g_Traces << QString::fromLatin1(Context.category ? Context.category : "default") + QStringLiteral(": ") + sText;
}

class MenuTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        {
            QMutexLocker lock(&g_TracesMutex);
            g_Traces.clear();
        }
        g_fnUsualHandler = qInstallMessageHandler(CollectTraces);
        MonitorTest::SetUp();
    }
    void TearDown() override
    {
        MonitorTest::TearDown();
        qInstallMessageHandler(g_fnUsualHandler);
    }
    int Asked() const { return Prompt.Messages.size() + Prompt.Questions.size() + Prompt.Choosers.size(); }
    static QStringList Traces()
    {
        QMutexLocker lock(&g_TracesMutex);
        return g_Traces;
    }
};
} // namespace

TEST_F(MenuTest, EveryEntryOpensItsWindowOrGivesItsCommand)
{
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    QZvPortCtrlBase* pPort = TypeOpen(rx.Rx().Name());
    ASSERT_NE(pPort, nullptr);
    ASSERT_TRUE(WaitUntil([pPort] { return pPort->IsPropertyValid(); }));
    const uint uid = pPort->UniquePortID;
    Form().actionProfressional->trigger();

    QSignalSpy disconnects(&Tabs(), &CPortTab::SignalDisconnectPort);
    QSignalSpy reconnects(&Tabs(), &CPortTab::SignalReconnectPort);
    QSignalSpy scripts(&Tabs(), &CPortTab::SignalScriptStatus);
    QSignalSpy queries(&Tabs(), &CPortTab::SignalSendCMD);
    QSignalSpy tqOff(&Window(), &QZorvikMonitor::SignalCycleCheckTQOff);
    const MONITOR_WINDOWS_T& w = W();

    // How an entry shows that it did its work, after what it needs beforehand.
    struct EXPECT_T
    {
        std::function<void()> Before;
        std::function<bool()> Done;
        std::function<void()> After = [] {};
    };
    const auto window = [](QWidget* p) {
        return EXPECT_T{[p] { p->hide(); }, [p] { return p->isVisible(); }};
    };
    const auto dock = [](QWidget* p) {
        return EXPECT_T{[p] { HideDock(p); }, [p] { return DockShown(p); }};
    };
    const auto emitted = [](QSignalSpy& Spy) {
        return EXPECT_T{[&Spy] { Spy.clear(); }, [&Spy] { return !Spy.isEmpty(); }};
    };
    auto pAsked = std::make_shared<int>(0);
    const EXPECT_T asks{[this, pAsked] { *pAsked = Asked(); }, [this, pAsked] { return Asked() > *pAsked; }};
    const auto asksTitled = [this](const QString& sTitle) {
        return EXPECT_T{[this] { Prompt.Messages.clear(); Prompt.Questions.clear(); Prompt.Choosers.clear(); },
                        [this, sTitle] {
                            for (const QStringList* pList : {&Prompt.Messages, &Prompt.Questions, &Prompt.Choosers})
                                for (const QString& s : *pList)
                                    if (s.startsWith(sTitle))
                                        return true;
                            return false;
                        }};
    };
    const auto queried = [&](const char* pCommand) {
        return EXPECT_T{[&queries] { queries.clear(); }, [&queries, pCommand, uid] {
                            for (const QList<QVariant>& call : queries)
                                if (call.at(0).toUInt() == uid && call.at(1).toByteArray().toUpper().contains(pCommand))
                                    return true;
                            return false;
                        }};
    };
    const auto both = [](EXPECT_T a, EXPECT_T b) {
        return EXPECT_T{[a, b] { a.Before(); b.Before(); }, [a, b] { return a.Done() && b.Done(); }};
    };
    const auto shownDocks = [](std::initializer_list<QWidget*> Views) {
        const QList<QWidget*> views(Views);
        return EXPECT_T{[views] {
                            for (QWidget* p : views)
                                HideDock(p);
                        },
                        [views] {
                            for (QWidget* p : views)
                                if (!DockShown(p))
                                    return false;
                            return true;
                        }};
    };
    const EXPECT_T nothing{[] {}, [] { return true; }};
    // The logging tools open once their folders are known.
    QTemporaryDir toolDir;
    const QString sImageList = toolDir.filePath(QStringLiteral("images.txt"));
    {
        QFile list(sImageList);
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("/fw/ZV100_3.1.0.img\n");
    }
    const auto withToolPaths = [&](QWidget* p) {
        return EXPECT_T{[&, p] {
                            p->hide();
                            WritePathFile(QAutoLogList::LogPathFile(), toolDir.path());
                            WritePathFile(QHardwareDiag::ImagePathFile(), sImageList);
                            WritePathFile(QHardwareDiag::LogPathFile(), toolDir.path());
                        },
                        [p] { return p->isVisible(); }};
    };
    const Ui::QZorvikMonitor& ui = Form();
    QToolBar* pBar = w.pButtonBar;

    const std::map<QAction*, EXPECT_T> expected = {
        {ui.m_ActionConnect, window(w.pPortList)},
        {ui.m_ActionQuickConnect, window(w.pQuickConnect)},
        {ui.m_ActionDisconnect, emitted(disconnects)},
        {ui.m_ActionReconnect, emitted(reconnects)},
        {ui.m_ActionLogDiag, asks},
        {ui.actionRecvStatus, dock(w.pRecvStatus)},
        {ui.actionWebServer, {[this] { Prompt.OpenedUrls.clear(); },
                              [this] {
                                  return Prompt.OpenedUrls.value(0) == QUrl(QStringLiteral("http://192.168.1.20"));
                              }}},
        {ui.actionCN0, dock(w.pCN0)},
        {ui.actionSkyPlot, dock(w.pSkyPlot)},
        {ui.actionINStatus, dock(w.pINStatus)},
        {ui.actionRangeParser, dock(w.pRangeView)},
        {ui.actionTrackPlot, dock(w.pTrackPlot)},
        {ui.actionPositionHeightPlot, dock(w.pHeightPlot)},
        {ui.actionDebugWindow, dock(w.pDebugWindow)},
        {ui.actionMapWindow, dock(w.pMapWindow)},
        {ui.actionCMDWindow, dock(w.pCmdContainer)},
        {Window().ButtonBarToggle(), {[pBar] { pBar->show(); }, [pBar] { return pBar->isHidden(); }}},
        {ui.actionMessageView, both(window(w.pMsgConfig), queried("LOGLIST"))},
        {ui.m_actionINSConfig, both(window(w.pINSConfig), queried("USERCONFIG"))},
        {ui.actionConfigDiag, both(window(w.pRecvConfig), queried("USERCONFIG"))},
        {ui.actionFreset, window(w.pFreset)},
        {ui.actionUserconfig, window(w.pUserconfig)},
        {ui.actionLoglistCheck, window(w.pLoglist)},
        {ui.actionINSConfigCheck, window(w.pINSConfigCheck)},
        {ui.actionStableMode, asksTitled(QStringLiteral("Question|Are you sure"))},
        {ui.actionMsgFilter, dock(w.pMsgFilter)},
        {ui.actionUpgradeFW, asks},
        {ui.ActionAutoLog, withToolPaths(w.pAutoLog)},
        {ui.actionKMZGen, window(w.pKMZGen)},
        {ui.actionHex2Binary, window(w.pHexToBin)},
        {ui.actionSendXModem, asks},
        {ui.actionNVMLog, window(w.pNvmLog)},
        {ui.actionMediumFreq, window(w.pMediumFreq)},
        // On at once for a serial port; the second choice asks and ends it.
        {ui.actionRescueModem, {[] {}, [&ui] { return ui.actionRescueModem->isChecked(); },
                                [this, &ui] {
                                    Prompt.Answers = {true};
                                    ui.actionRescueModem->trigger();
                                    EXPECT_FALSE(ui.actionRescueModem->isChecked());
                                }}},
        {ui.actionMoxelin, asksTitled(QStringLiteral("Moxelin|"))},
        {ui.actionLonAndLatConversion, window(w.pLonLat)},
        {ui.m_ActReplayFile, window(w.pReplay)},
        {ui.m_ActReplayStart, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.m_ActReplayPause, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.m_ActReplayResume, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.m_ActReplayStop, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.m_ActReplayForward, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.m_ActReplayBackward, asksTitled(QStringLiteral("File Replay Control|"))},
        {ui.actionRTCM, nothing},
        {ui.actionCMR, nothing},
        {Window().ChineseAction(), {[] {}, [this] { return Window().CurrentLanguage() == QStringLiteral("zh"); }}},
        {Window().EnglishAction(), {[] {}, [this] { return Window().CurrentLanguage() == QStringLiteral("en"); }}},
        {ui.actionConfigCheck, window(w.pConfigCheck)},
        {ui.actionScriptStart, emitted(scripts)},
        {ui.actionScriptStop, emitted(scripts)},
        {ui.actionSetScript, asks},
        // The bench asks for its log folder before it first opens.
        {ui.actionRegression, asksTitled(QStringLiteral("Path Input"))},
        {ui.actionTqReportOn, asksTitled(QStringLiteral("Path Input"))},
        {ui.actionTqReportOff, emitted(tqOff)},
        {ui.actionHardwareTest, withToolPaths(w.pHardware)},
        {ui.actionProductMode, window(w.pProductMode)},
        {ui.actionSimplify, both(dock(w.pCmdContainer), {[] {}, [&w] { return !DockShown(w.pSkyPlot); }})},
        {ui.actionAdvance,
         shownDocks({w.pMapWindow, w.pRangeView, w.pCN0, w.pTrackPlot, w.pINStatus, w.pSkyPlot})},
        {ui.actionProfressional, {[&ui] { ui.m_ActionConnect->setVisible(false); },
                                  [&ui] { return ui.m_ActionConnect->isVisible(); }}},
        {ui.actionClassical, {[] {}, [&ui] { return !ui.m_ActionConnect->isVisible(); }}},
        {ui.actionAbout, window(w.pAbout)},
        {ui.actionHighLight, window(w.pHighLight)},
        {ui.m_pActionRenameAll, {[] {}, [this] { return Tabs().tabText(0) == QStringLiteral("ZV100_123"); }}},
        {Window().ReconnectAllAction(), emitted(reconnects)},
        {Window().DisconnectAllAction(), emitted(disconnects)},
    };

    QList<QAction*> actions;
    CollectActions(Window().menuBar()->actions(), &actions);
    CollectActions(ui.toolBarMain->actions(), &actions);
    CollectActions(Window().ConnectionMenuButton()->menu()->actions(), &actions);
    actions.removeAll(Window().ConnectionMenuAction());
    // The entries that drop and renew the receiver's link come last: on a loaded machine the port
    // may still be renewing its link when the next entry runs, and the entries that ask the
    // receiver (renaming after its properties, status queries) need it whole.
    std::stable_partition(actions.begin(), actions.end(),
                          [&](QAction* pAction)
                          {
                              return !QList<QAction*>{ui.m_ActionDisconnect, ui.m_ActionReconnect,
                                                      Window().ReconnectAllAction(), Window().DisconnectAllAction()}
                                          .contains(pAction);
                          });
    for (QAction* pAction : actions)
    {
        const std::string sName = pAction->objectName().isEmpty() ? pAction->text().toStdString()
                                                                   : pAction->objectName().toStdString();
        const auto it = expected.find(pAction);
        if (it == expected.end())
        {
            ADD_FAILURE() << "no expectation for the entry " << sName;
            continue;
        }
        // The views stay enabled whatever the stable-mode entry did.
        ui.actionStableMode->setChecked(false);
        Tabs().SetStableMode(false);
        Prompt.Answers.clear();
        it->second.Before();
        pAction->setEnabled(true);
        pAction->trigger();
        EXPECT_TRUE(WaitUntil(it->second.Done)) << sName;
        it->second.After();
    }
    // With no logging rules set, the start and every window wrote no debug or
    // info message: traces are off by default, in every area.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
    {
        EXPECT_TRUE(Traces().isEmpty()) << Traces().join('\n').toStdString();
    }
}

TEST_F(MenuTest, TheReplayEntriesDriveTheReplayedFile)
{
    QTemporaryDir dir;
    const QString sPath = dir.filePath(QStringLiteral("rover.log"));
    {
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 20000; ++i)
            file.write("$GPGGA,013000.00,3150.7822,N,11711.9323,E,1,12,0.9,32.1,M,-3.5,M,,*4E\r\n");
    }
    REPLAY_CONFIG_T config;
    config.FileName = QStringLiteral("rover.log");
    config.FilePath = sPath;
    emit W().pReplay->SignalConnect(QZvPortCtrlBase::PORT_TYPE_REPLAY, &config);
    ASSERT_EQ(Tabs().count(), 1);
    auto* pReplay = static_cast<QZvFilePortCtrl*>(Tabs().GetPortCtrl(0));
    ASSERT_EQ(pReplay->PortType, QZvPortCtrlBase::PORT_TYPE_REPLAY);

    Form().m_ActReplayPause->trigger();
    EXPECT_TRUE(WaitUntil([pReplay] { return pReplay->IsPaused(); }));
    Form().m_ActReplayResume->trigger();
    EXPECT_TRUE(WaitUntil([pReplay] { return !pReplay->IsPaused(); }));
    Form().m_ActReplayStop->trigger();
    EXPECT_TRUE(WaitUntil([pReplay] { return pReplay->IsStopped(); }));
    Form().m_ActReplayStart->trigger();
    EXPECT_TRUE(WaitUntil([pReplay] { return !pReplay->IsStopped(); }));
    EXPECT_TRUE(Prompt.Messages.isEmpty()) << Prompt.Messages.join('\n').toStdString();
}

// A stand-in for the converter at sPath: it writes the number of its
// arguments to sMark.
static void WriteConverterStandIn(const QString& sPath, const QString& sMark)
{
    QFile script(sPath);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(sMark).toUtf8());
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(MenuTest, TheConverterIsStartedFromTheProgramsOwnFolderElseFromPath)
{
    // Where the monitor was started from does not matter; PATH is searched
    // only when the monitor's own folder holds no converter.
    QTemporaryDir elsewhere;
    const QString sHere = QDir::currentPath();
    const QByteArray sPathWas = qgetenv("PATH");
    QDir::setCurrent(elsewhere.path());
    ASSERT_TRUE(QDir(elsewhere.path()).mkdir(QStringLiteral("bin")));
    qputenv("PATH", QFile::encodeName(elsewhere.filePath(QStringLiteral("bin"))));
    const QString sProgram = QCoreApplication::applicationDirPath() + QStringLiteral("/QMoxelin");
    const QString sOnPath = elsewhere.filePath(QStringLiteral("bin/QMoxelin"));
    ASSERT_FALSE(QFileInfo::exists(sProgram));
    EXPECT_EQ(QZorvikMonitor::ConverterProgram(), sProgram);
    const QString sMark = elsewhere.filePath(QStringLiteral("started"));
    const QString sPathMark = elsewhere.filePath(QStringLiteral("started_from_path"));
    WriteConverterStandIn(sProgram, sMark);
    WriteConverterStandIn(sOnPath, sPathMark);
    EXPECT_EQ(QZorvikMonitor::ConverterProgram(), sProgram);
    Form().actionMoxelin->trigger();
    EXPECT_TRUE(WaitUntil([&] { return QFileInfo(sMark).size() > 0; }));
    QFile mark(sMark);
    ASSERT_TRUE(mark.open(QIODevice::ReadOnly));
    EXPECT_EQ(mark.readAll(), QByteArray("0\n")); // no arguments
    EXPECT_FALSE(QFileInfo::exists(sPathMark));
    EXPECT_TRUE(Prompt.Messages.isEmpty());

    QFile::remove(sProgram);
    EXPECT_EQ(QZorvikMonitor::ConverterProgram(), sOnPath);
    Form().actionMoxelin->trigger();
    EXPECT_TRUE(WaitUntil([&] { return QFileInfo(sPathMark).size() > 0; }, 10000));
    EXPECT_TRUE(Prompt.Messages.isEmpty());

    QFile::remove(sOnPath);
    QDir::setCurrent(sHere);
    Form().actionMoxelin->trigger();
    qputenv("PATH", sPathWas);
    ASSERT_EQ(Prompt.Messages.size(), 1);
    EXPECT_TRUE(Prompt.Messages.at(0).startsWith(QStringLiteral("Moxelin|"))) << Prompt.Messages.at(0).toStdString();
}
