// The docking layer and its host in a main window of their own, wired the way
// the monitor's main window wires them: windows shown as docks from their
// actions, registration repeated as on a language change, the two layouts, a
// layout saved at exit and restored into the next run's window objects, and
// the central container that always holds the port tabs.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

#include "monitor/shell/docking.h"
#include "monitor/shell/docking_host.h"
#include "monitor/shell/flex_window_set.h"
#include "support/fifo_guard.h"
#include "support/scripted_prompt.h"

namespace
{
const char* const kObjNames[DOCK_WINDOW_COUNT] = {
    "CMDWinContainer", "QZvRecvStatusDiag", "FDebugWindowDialog", "QFMapWindow", "QMsgFiterDiag", "QRangeView",
    "QCN0BarChart",    "QSkyplot",          "QTrackPlot",         "QINStatus",   "QHeightPlot",
};

void SaveLayoutBytes(const QByteArray& Bytes)
{
    QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).setValue(QStringLiteral("Flex"), Bytes);
}

QByteArray SavedLayoutBytes()
{
    return QSettings(QStringLiteral("QtGuider"), QStringLiteral("QtFlex5")).value(QStringLiteral("Flex")).toByteArray();
}

// A main window built as the monitor's: the host as central widget, the
// eleven windows created without parent and registered under their actions,
// the docking layer's signals on the host's helpers.
struct MainWindowStandIn
{
    QMainWindow Window;
    QtCentral* pCentral = nullptr;
    QFlexWindowSet* pTabs = nullptr;
    QAction* Actions[DOCK_WINDOW_COUNT] = {};
    QPointer<QWidget> Widgets[DOCK_WINDOW_COUNT];

    explicit MainWindowStandIn(bool bLoadLayout = true)
    {
        Window.setObjectName(QStringLiteral("QZorvikMonitor"));
        Window.resize(1000, 700);
        pCentral = new QtCentral(&Window);
        pTabs = new QFlexWindowSet;
        pTabs->addTab(new QWidget, QStringLiteral("/dev/pts/3"));
        FlexManager* pManager = FlexManager::instance();
        QObject::connect(pManager, &FlexManager::dockWidgetCreated, &Window, &QtCentral::FillDock);
        QObject::connect(pManager, &FlexManager::dockWidgetDestroying, &Window, &QtCentral::ReleaseDock);
        QObject::connect(pManager, &FlexManager::flexWidgetCreated, &Window,
                         [this](FlexWidget* pContainer) { pCentral->CentreContainer(pContainer); });
        for (int i = 0; i < DOCK_WINDOW_COUNT; ++i)
        {
            Actions[i] = new QAction(QString::fromLatin1(kObjNames[i]), &Window);
            Widgets[i] = new QWidget;
            Widgets[i]->setObjectName(QString::fromLatin1(kObjNames[i]));
            QAction* pAction = Actions[i];
            QObject::connect(pAction, &QAction::triggered, &Window, [pAction] { QtCentral::ShowDockWindow(pAction); });
        }
        Register();
        Window.setCentralWidget(pCentral);
        if (bLoadLayout)
            pCentral->LoadFlexLayout(pTabs);
        Window.show();
    }
    ~MainWindowStandIn()
    {
        if (pTabs->parent() == nullptr)
            delete pTabs;
        // Windows never shown as docks belong to nobody yet.
        for (QPointer<QWidget>& pWidget : Widgets)
        {
            if (!pWidget.isNull() && pWidget->parent() == nullptr)
                delete pWidget;
        }
    }
    void Register()
    {
        FLEX_DOCK_WINDOW_T windows[DOCK_WINDOW_COUNT];
        for (int i = 0; i < DOCK_WINDOW_COUNT; ++i)
            windows[i] = {Actions[i], Widgets[i]};
        QtCentral::RegisterDockWindows(windows);
    }
    DockWidget* Dock(FLEX_DOCK_WINDOW_E eWindow) const { return FlexManager::instance()->dockWidget(Widgets[eWindow]); }
    // Children of the host's layout that are containers.
    QList<FlexWidget*> Containers() const
    {
        QList<FlexWidget*> list;
        for (int i = 0; i < pCentral->layout()->count(); ++i)
        {
            if (auto* pContainer = qobject_cast<FlexWidget*>(pCentral->layout()->itemAt(i)->widget()))
                list.append(pContainer);
        }
        return list;
    }
};

class DockingTest : public ::testing::Test
{
protected:
    void SetUp() override { SaveLayoutBytes({}); }
};
} // namespace

TEST_F(DockingTest, ShowingAWindowAgainReusesItsDockAndRegisteringAgainOnlyRetitles)
{
    MainWindowStandIn main;
    FlexManager* pManager = FlexManager::instance();
    QSignalSpy finished(pManager, &FlexManager::SignalAddFlexDockWidgetFinished);
    // The main window re-registers everything when a dock was added (its
    // language update): that must neither recurse nor add docks.
    QObject::connect(pManager, &FlexManager::SignalAddFlexDockWidgetFinished, &main.Window,
                     [&main]
                     {
                         main.Register();
                         FlexManager::instance()->DiagPropertyUpdate();
                     });

    main.Actions[DOCK_SKY_PLOT]->trigger();
    main.Actions[DOCK_SKY_PLOT]->trigger();
    main.Actions[DOCK_COMMAND_WINDOW]->trigger();
    ASSERT_EQ(pManager->dockWidgets().size(), 2);
    EXPECT_EQ(finished.count(), 3);
    DockWidget* pSky = main.Dock(DOCK_SKY_PLOT);
    ASSERT_NE(pSky, nullptr);
    EXPECT_TRUE(pSky->isVisible());
    EXPECT_EQ(pSky->windowTitle(), QStringLiteral("Sky Plot"));
    EXPECT_EQ(main.Window.dockWidgetArea(main.Dock(DOCK_COMMAND_WINDOW)), Qt::BottomDockWidgetArea);
    EXPECT_EQ(main.Window.dockWidgetArea(pSky), Qt::RightDockWidgetArea);

    // A user who closed the dock gets it back from the action.
    pSky->close();
    EXPECT_FALSE(pSky->isVisible());
    main.Actions[DOCK_SKY_PLOT]->trigger();
    EXPECT_TRUE(pSky->isVisible());
    EXPECT_EQ(pManager->dockWidgets().size(), 2);

    // The command window's dock alone shows the port's name.
    pManager->SetDockWindowtitle(main.Widgets[DOCK_COMMAND_WINDOW], QStringLiteral("Command Window->[/dev/pts/3]"));
    EXPECT_EQ(main.Dock(DOCK_COMMAND_WINDOW)->windowTitle(), QStringLiteral("Command Window->[/dev/pts/3]"));
    EXPECT_EQ(pSky->windowTitle(), QStringLiteral("Sky Plot"));

    // A new title registered for the same action replaces the record.
    pManager->ActionDialogPropertyRegister(main.Actions[DOCK_SKY_PLOT], main.Widgets[DOCK_SKY_PLOT],
                                           QStringLiteral("Sky"), Qt::AllDockWidgetAreas, QIcon(),
                                           QStringLiteral("QSkyplot"));
    pManager->DiagPropertyUpdate();
    EXPECT_EQ(pSky->windowTitle(), QStringLiteral("Sky"));
    EXPECT_EQ(pManager->GetActDialogPropertyMap().size(), DOCK_WINDOW_COUNT);
    EXPECT_EQ(pManager->dockWidgets().size(), 2);

    // An action without a record shows nothing.
    QAction stray(QStringLiteral("stray"));
    QtCentral::ShowDockWindow(&stray);
    EXPECT_EQ(pManager->dockWidgets().size(), 2);
}

TEST_F(DockingTest, LayoutSavedAtExitComesBackWithThisRunsWindows)
{
    QRect skyGeometry;
    {
        MainWindowStandIn first;
        first.Actions[DOCK_COMMAND_WINDOW]->trigger();
        first.Actions[DOCK_CN0_VIEW]->trigger();
        first.Actions[DOCK_SKY_PLOT]->trigger();
        first.Actions[DOCK_TRACK_PLOT]->trigger();
        DockWidget* pSky = first.Dock(DOCK_SKY_PLOT);
        pSky->setFloating(true);
        pSky->setGeometry(120, 130, 300, 260);
        skyGeometry = pSky->geometry();
        first.Dock(DOCK_TRACK_PLOT)->close();
        QPointer<QWidget> pSkyPlot = first.Widgets[DOCK_SKY_PLOT];
        first.pCentral->SaveFlexLayout();
        // Closing the docks spares the windows: the main window owns them now.
        EXPECT_TRUE(FlexManager::instance()->dockWidgets().isEmpty());
        ASSERT_FALSE(pSkyPlot.isNull());
        EXPECT_EQ(pSkyPlot->parent(), &first.Window);
        EXPECT_FALSE(pSkyPlot->isVisible());
    }
    ASSERT_FALSE(SavedLayoutBytes().isEmpty());

    MainWindowStandIn second;
    FlexManager* pManager = FlexManager::instance();
    ASSERT_EQ(pManager->dockWidgets().size(), 4);
    DockWidget* pSky = second.Dock(DOCK_SKY_PLOT);
    ASSERT_NE(pSky, nullptr) << "the restored dock holds the window object of this run";
    EXPECT_TRUE(pSky->isFloating());
    EXPECT_TRUE(pSky->isVisible());
    EXPECT_EQ(pSky->geometry(), skyGeometry);
    EXPECT_EQ(pSky->windowTitle(), QStringLiteral("Sky Plot"));
    ASSERT_NE(second.Dock(DOCK_CN0_VIEW), nullptr);
    EXPECT_EQ(second.Window.dockWidgetArea(second.Dock(DOCK_CN0_VIEW)), Qt::RightDockWidgetArea);
    EXPECT_EQ(second.Window.dockWidgetArea(second.Dock(DOCK_COMMAND_WINDOW)), Qt::BottomDockWidgetArea);
    ASSERT_NE(second.Dock(DOCK_TRACK_PLOT), nullptr);
    EXPECT_FALSE(second.Dock(DOCK_TRACK_PLOT)->isVisible());
    // Showing a restored window again uses its restored dock.
    second.Actions[DOCK_TRACK_PLOT]->trigger();
    EXPECT_TRUE(second.Dock(DOCK_TRACK_PLOT)->isVisible());
    EXPECT_EQ(pManager->dockWidgets().size(), 4);
    ASSERT_EQ(second.Containers().size(), 1);
    EXPECT_EQ(second.pTabs->parentWidget(), second.Containers().at(0));
}

TEST_F(DockingTest, ALayoutFileThatIsNotReadIsToldOnceTheDefaultLayoutIsUsedAndTheFileIsLeftAsItIs)
{
    CScriptedPrompt prompt;
    const QString sPath = FlexManager::LayoutFilePath();
    std::unique_ptr<CFifoGuard> pFifo;
    const qint64 nHuge = 64 * 1024 * 1024;
    const struct
    {
        const char* Name;
        std::function<void()> Make;
        std::function<bool()> Unchanged;
        const char* Why;
    } cases[] = {
        {"a FIFO", [&] { pFifo = std::make_unique<CFifoGuard>(sPath.toStdString()); },
         [&] { return QFileInfo(sPath).exists() && !QFileInfo(sPath).isFile(); }, "it is not a regular file"},
        // Sparse: it takes no room on the disk, read whole it takes 64 MB of memory.
        {"an oversized file",
         [&]
         {
             QFile file(sPath);
             file.open(QIODevice::WriteOnly);
             file.resize(nHuge);
         },
         [&] { return QFileInfo(sPath).size() == nHuge; }, "it is larger than 1024 KB"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        QFile::remove(sPath);
        prompt.Messages.clear();
        c.Make();
        {
            MainWindowStandIn window;
            ASSERT_EQ(prompt.Messages.size(), 1);
            EXPECT_EQ(prompt.Messages.at(0),
                      QStringLiteral("Warning|The docking layout cannot be read from %1: %2. The "
                                     "default layout is used, and the file is left as it is.")
                          .arg(sPath, c.Why));
            ASSERT_EQ(window.Containers().size(), 1);
            EXPECT_EQ(window.pTabs->parentWidget(), window.Containers().at(0));
            window.Actions[DOCK_SKY_PLOT]->trigger();
            window.pCentral->SaveFlexLayout();
        }
        EXPECT_EQ(prompt.Messages.size(), 1);
        EXPECT_TRUE(c.Unchanged());
        pFifo.reset();
        QFile::remove(sPath);
    }
}

TEST_F(DockingTest, DocksOfWindowsNoLongerRegisteredAreDropped)
{
    {
        MainWindowStandIn first;
        first.Actions[DOCK_SKY_PLOT]->trigger();
        first.Actions[DOCK_RANGE_PARSER]->trigger();
        first.pCentral->SaveFlexLayout();
    }
    MainWindowStandIn second(false);
    // This run has no range parser window (a window dropped from the program).
    FlexManager::instance()->ActionDialogPropertyRegister(second.Actions[DOCK_RANGE_PARSER], nullptr,
                                                          QStringLiteral("Range Parser"), Qt::AllDockWidgetAreas,
                                                          QIcon(), QStringLiteral("Gone"));
    second.pCentral->LoadFlexLayout(second.pTabs);
    const QList<DockWidget*> docks = FlexManager::instance()->dockWidgets();
    ASSERT_EQ(docks.size(), 1);
    EXPECT_EQ(docks.at(0)->widget(), second.Widgets[DOCK_SKY_PLOT]);
}

TEST_F(DockingTest, PortTabsAlwaysSitInOneCentralContainer)
{
    // A layout saved by a window that never made the central container.
    QByteArray withoutCentral;
    {
        MainWindowStandIn other(false);
        other.Actions[DOCK_SKY_PLOT]->trigger();
        withoutCentral = FlexManager::instance()->save();
        FlexManager::instance()->close();
    }
    QByteArray complete;
    {
        MainWindowStandIn other;
        other.Actions[DOCK_SKY_PLOT]->trigger();
        complete = FlexManager::instance()->save();
        FlexManager::instance()->close();
    }
    QByteArray otherVersion = complete;
    otherVersion[7] = static_cast<char>(otherVersion[7] + 1);
    const struct
    {
        const char* Name;
        QByteArray Saved;
        int Docks;
    } cases[] = {
        {"nothing saved", {}, 0},
        {"complete layout", complete, 1},
        {"layout without the central container", withoutCentral, 1},
        {"layout cut short", complete.left(complete.size() / 2), 0},
        {"layout of another version", otherVersion, 0},
        {"not a layout", QByteArray("{\"Flex\": [1, 2, 3]}"), 0},
        {"huge count",
         QByteArray::fromHex("5a56465800000001"
                             "7fffffff"),
         0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        SaveLayoutBytes(c.Saved);
        MainWindowStandIn main;
        const QList<FlexWidget*> containers = main.Containers();
        ASSERT_EQ(containers.size(), 1);
        EXPECT_EQ(containers.at(0)->objectName(), QStringLiteral("M"));
        EXPECT_TRUE(containers.at(0)->isVisible());
        EXPECT_EQ(main.pTabs->parentWidget(), containers.at(0));
        EXPECT_TRUE(main.pTabs->isVisible());
        EXPECT_EQ(FlexManager::instance()->dockWidgets().size(), c.Docks);
    }
}

TEST_F(DockingTest, SimplifyKeepsTheCommandWindowAndAdvanceAddsTheGraphWindowsOnTheRight)
{
    MainWindowStandIn main;
    FlexManager* pManager = FlexManager::instance();
    // The main window's answer to the advanced layout: six graph windows.
    QObject::connect(pManager, &FlexManager::SignalShowDefaultGraphWindows, &main.Window,
                     [&main]
                     {
                         for (FLEX_DOCK_WINDOW_E e : {DOCK_MAP_WINDOW, DOCK_RANGE_PARSER, DOCK_CN0_VIEW,
                                                      DOCK_TRACK_PLOT, DOCK_INS_STATUS, DOCK_SKY_PLOT})
                             main.Actions[e]->trigger();
                     });
    main.Actions[DOCK_DEBUG_WINDOW]->trigger();
    main.Actions[DOCK_SKY_PLOT]->trigger();
    main.Dock(DOCK_SKY_PLOT)->setFloating(true);

    pManager->Layout(0);
    ASSERT_NE(main.Dock(DOCK_COMMAND_WINDOW), nullptr);
    EXPECT_TRUE(main.Dock(DOCK_COMMAND_WINDOW)->isVisible());
    EXPECT_EQ(main.Window.dockWidgetArea(main.Dock(DOCK_COMMAND_WINDOW)), Qt::BottomDockWidgetArea);
    EXPECT_FALSE(main.Dock(DOCK_DEBUG_WINDOW)->isVisible());
    EXPECT_FALSE(main.Dock(DOCK_SKY_PLOT)->isVisible());

    pManager->Layout(1);
    EXPECT_TRUE(main.Dock(DOCK_COMMAND_WINDOW)->isVisible());
    EXPECT_FALSE(main.Dock(DOCK_DEBUG_WINDOW)->isVisible());
    for (FLEX_DOCK_WINDOW_E e :
         {DOCK_MAP_WINDOW, DOCK_RANGE_PARSER, DOCK_CN0_VIEW, DOCK_TRACK_PLOT, DOCK_INS_STATUS, DOCK_SKY_PLOT})
    {
        SCOPED_TRACE(kObjNames[e]);
        ASSERT_NE(main.Dock(e), nullptr);
        EXPECT_FALSE(main.Dock(e)->isFloating());
        EXPECT_EQ(main.Window.dockWidgetArea(main.Dock(e)), Qt::RightDockWidgetArea);
    }
    // Shown as one group of tabs, the last one on top.
    EXPECT_EQ(main.Window.tabifiedDockWidgets(main.Dock(DOCK_SKY_PLOT)).size(), 6);
    EXPECT_FALSE(main.Dock(DOCK_SKY_PLOT)->visibleRegion().isEmpty());
}

TEST(FlexWindowSet, CurrentTabTextAndCloseButtons)
{
    QFlexWindowSet tabs;
    EXPECT_EQ(tabs.CurPortText(), QString());
    tabs.setCurPortText(QStringLiteral("ignored"));
    tabs.setTabsClosable(true);
    tabs.addTab(new QWidget, QStringLiteral("/dev/ttyUSB0"));
    tabs.addTab(new QWidget, QStringLiteral("10.0.0.5:2000"));
    tabs.setCurrentIndex(1);
    EXPECT_EQ(tabs.CurPortText(), QStringLiteral("10.0.0.5:2000"));
    tabs.setCurPortText(QStringLiteral("rover"));
    EXPECT_EQ(tabs.tabText(1), QStringLiteral("rover"));
    // The main window's tick finds the close buttons by this class name.
    int closeButtons = 0;
    for (QObject* pChild : tabs.findChildren<QObject*>())
        closeButtons += pChild->inherits("CloseButton") ? 1 : 0;
    EXPECT_EQ(closeButtons, 2);
}
