// The shell's own widgets in a main window, in both languages: the docks with
// their titles and the status bar, rendered to an image (kept under
// ZV_UI_SHOTS when that is set) with no label text cut.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QTextEdit>

#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/docking.h"
#include "monitor/shell/docking_host.h"
#include "monitor/shell/flex_window_set.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/status_bar.h"

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

TEST_P(ShellLayoutTest, DocksAndStatusBarShowTheirTexts)
{
    const QString sLanguage = QString::fromLatin1(GetParam());
    QMainWindow window;
    window.resize(1280, 720);
    auto* pCentral = new QtCentral(&window);
    auto* pTabs = new QFlexWindowSet;
    pTabs->setTabsClosable(true);
    pTabs->addTab(new QTextEdit, QStringLiteral("/dev/ttyUSB0"));
    auto* pStatusBar = new QZvStatusBar;
    window.setStatusBar(pStatusBar);
    QObject::connect(FlexManager::instance(), &FlexManager::dockWidgetCreated, &window, &QtCentral::FillDock);
    QObject::connect(FlexManager::instance(), &FlexManager::dockWidgetDestroying, &window, &QtCentral::ReleaseDock);

    FLEX_DOCK_WINDOW_T windows[DOCK_WINDOW_COUNT];
    for (int i = 0; i < DOCK_WINDOW_COUNT; ++i)
    {
        windows[i].pAction = new QAction(&window);
        windows[i].pWidget = new QTextEdit(&window);
        windows[i].pWidget->setObjectName(QStringLiteral("window%1").arg(i));
    }
    QtCentral::RegisterDockWindows(windows);
    window.setCentralWidget(pCentral);
    pCentral->LoadFlexLayout(pTabs);
    for (FLEX_DOCK_WINDOW_E e : {DOCK_COMMAND_WINDOW, DOCK_CN0_VIEW, DOCK_SKY_PLOT, DOCK_MSG_FILTER})
        QtCentral::ShowDockWindow(windows[e].pAction);
    EXPECT_EQ(FlexManager::instance()->dockWidget(windows[DOCK_SKY_PLOT].pWidget)->windowTitle(),
              QtCentral::DockWindowTitle(DOCK_SKY_PLOT));

    QZvUartPortCtrl port;
    UART_CONFIG_T config;
    config.PortName = QStringLiteral("/dev/ttyUSB0");
    config.BaudRate = 460800;
    port.SetPortConfig(&config);
    port.Property.Parse(QStringLiteral(
        "<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F\r\n<VERSION OK\r\n[COM2]\r\n"));
    pStatusBar->SetPortTab(nullptr);
    pStatusBar->OnUpdateStatusBar(&port, QZvStatusBar::REFRESH_ALL);
    window.show();
    Shoot(&window, QStringLiteral("shell_docks_%1").arg(sLanguage));
    EXPECT_EQ(ClippedLabels(pStatusBar).join('\n').toStdString(), "");
    FlexManager::instance()->close();
}

INSTANTIATE_TEST_SUITE_P(Languages, ShellLayoutTest, ::testing::Values("en", "zh"));
