// The status bar on its own, fed with port controllers that are not started:
// what each part shows, which parts a refresh renews, the receiver's IP as a
// link, the reload button and "Copy".
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "monitor/ports/file_port_ctrl.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/status_bar.h"
#include "support/scripted_prompt.h"

namespace
{
// A receiver's answer to the property query, with the IP text of its
// NETCONFIG line.
QString PropertyReply(const QString& sIp)
{
    return QStringLiteral("version\r\n<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F\r\n"
                          "<VERSION OK\r\n[COM2]netconfig\r\n<NETCONFIG\r\nNETCONFIG STATIC %1 255.255.255.0\r\n"
                          "<NETCONFIG OK\r\n")
        .arg(sIp);
}

// The labels in their order on the bar, left to right.
QList<QLabel*> Labels(QZvStatusBar& Bar) { return Bar.findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly); }

QStringList Texts(QZvStatusBar& Bar)
{
    QStringList texts;
    for (QLabel* pLabel : Labels(Bar))
        texts << pLabel->text();
    return texts;
}

QLabel* LabelShowing(QZvStatusBar& Bar, const QString& sPart)
{
    for (QLabel* pLabel : Labels(Bar))
    {
        if (pLabel->text().contains(sPart))
            return pLabel;
    }
    return nullptr;
}

std::unique_ptr<QZvUartPortCtrl> SerialPort(const QString& sName, uint Rate)
{
    auto pCtrl = std::make_unique<QZvUartPortCtrl>();
    UART_CONFIG_T config;
    config.PortName = sName;
    config.BaudRate = Rate;
    pCtrl->SetPortConfig(&config);
    return pCtrl;
}
} // namespace

TEST(StatusBar, ByteCountsAndCasterConnections)
{
    const struct
    {
        quint64 Count;
        const char* Text;
    } counts[] = {
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.00 KB"},
        {1536, "1.50 KB"},
        {1048576, "1.00 MB"},
        {4294967295u, "4.00 GB"},
        // Long recordings replay beyond 4 GiB.
        {6442450944ull, "6.00 GB"},
    };
    for (const auto& c : counts)
        EXPECT_EQ(QZvStatusBar::FormatByteCount(c.Count), QString::fromLatin1(c.Text)) << c.Count;

    NTRIP_CONFIG_T caster;
    NtripSetDefaultConfig(&caster);
    std::strcpy(caster.User, "u");
    std::strcpy(caster.ServerName, "caster");
    std::strcpy(caster.MountPoint, "MP");
    caster.Port = 2101;
    caster.Enable = 1;
    caster.ServerMode = 0;
    EXPECT_EQ(QZvStatusBar::NtripPortText(caster, 31.5, 121.25),
              QStringLiteral("Ntrip: Client, u@31.50,121.25=>caster:2101-MP | ON"));
    caster.ServerMode = 1;
    caster.Enable = 0;
    EXPECT_EQ(QZvStatusBar::NtripPortText(caster, -33.8651, 151.2093),
              QStringLiteral("Ntrip:  Server, u@-33.87,151.21=>caster:2101-MP | OFF"));
}

TEST(StatusBar, ShowsThePortAndRenewsOnlyTheNamedParts)
{
    QZvStatusBar bar;
    auto pSerial = SerialPort(QStringLiteral("/dev/ttyUSB0"), 460800);
    pSerial->Property.Parse(PropertyReply(QStringLiteral("192.168.1.20")));
    bar.OnUpdateStatusBar(pSerial.get(), QZvStatusBar::REFRESH_ALL);
    EXPECT_NE(LabelShowing(bar, QStringLiteral("<b>Serial</b>: /dev/ttyUSB0, 460800")), nullptr);
    EXPECT_NE(LabelShowing(bar, QStringLiteral("<b>R3.1.0 ZV100</b>")), nullptr);
    EXPECT_NE(LabelShowing(bar, QStringLiteral("0 Byte")), nullptr);
    QLabel* pRecvPort = LabelShowing(bar, QStringLiteral("COM2"));
    ASSERT_NE(pRecvPort, nullptr);

    // Port and logging only: the receiver's parts keep what they showed.
    pSerial->Property.Parse(PropertyReply(QStringLiteral("192.168.1.21")).replace("COM2", "COM1"));
    UART_CONFIG_T faster;
    faster.PortName = QStringLiteral("/dev/ttyUSB0");
    faster.BaudRate = 921600;
    pSerial->SetPortConfig(&faster);
    const QStringList before = Texts(bar);
    bar.OnUpdateStatusBar(pSerial.get(), QZvStatusBar::REFRESH_PORT | QZvStatusBar::REFRESH_LOG);
    const QStringList after = Texts(bar);
    ASSERT_EQ(before.size(), after.size());
    for (int i = 0; i < before.size(); ++i)
    {
        if (before.at(i).startsWith(QLatin1String("<b>Serial</b>")))
            EXPECT_EQ(after.at(i), QStringLiteral("<b>Serial</b>: /dev/ttyUSB0, 921600"));
        else
            EXPECT_EQ(after.at(i), before.at(i));
    }

    // A replay that has just started at offset 0 of a 2048-byte file.
    QTemporaryDir dir;
    const QString sPath = dir.filePath(QStringLiteral("log1.log"));
    {
        QFile file(sPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'x'));
    }
    QZvFilePortCtrl replay;
    REPLAY_CONFIG_T record;
    record.FileName = QStringLiteral("log1");
    record.FilePath = sPath;
    ASSERT_EQ(replay.SetPortConfig(&record), 0);
    bar.OnUpdateStatusBar(&replay, QZvStatusBar::REFRESH_PORT);
    QLabel* pPort = LabelShowing(bar, QStringLiteral("log1"));
    ASSERT_NE(pPort, nullptr);
    EXPECT_EQ(pPort->text(), QStringLiteral("\t: log1 @ 0 Bytes/ 2.00 KB"));
    EXPECT_EQ(pPort->textFormat(), Qt::PlainText) << "a file name is never taken for markup";

    // 0 clears the port, logging and rate parts.
    bar.OnUpdateStatusBar(&replay, 0);
    EXPECT_EQ(LabelShowing(bar, QStringLiteral("log1")), nullptr);
    EXPECT_EQ(LabelShowing(bar, QStringLiteral("Byte")), nullptr);
    EXPECT_NE(LabelShowing(bar, QStringLiteral("COM2")), nullptr);
}

// The main window renews the whole bar on every tick: a tick that changes no
// text asks for no new layout and paints nothing, not even the empty labels.
TEST(StatusBar, ATickThatChangesNothingLaysOutAndPaintsNothing)
{
    QZvStatusBar bar;
    bar.resize(1600, 30);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    auto pSerial = SerialPort(QStringLiteral("/dev/ttyUSB0"), 460800);
    pSerial->Property.Parse(PropertyReply(QStringLiteral("192.168.1.20")));
    struct COUNTER_T : QObject
    {
        int Events = 0;
        bool eventFilter(QObject*, QEvent* pEvent) override
        {
            Events += pEvent->type() == QEvent::LayoutRequest || pEvent->type() == QEvent::Paint;
            return false;
        }
    } counter;
    bar.installEventFilter(&counter);
    for (QLabel* pLabel : Labels(bar))
        pLabel->installEventFilter(&counter);
    auto tick = [&]
    {
        counter.Events = 0;
        bar.OnUpdateStatusBar(pSerial.get(), QZvStatusBar::REFRESH_ALL);
        QCoreApplication::processEvents();
        return counter.Events;
    };
    // The first ticks fill the labels; the bar settles once they are shown.
    for (int i = 0; i < 5; ++i)
        tick();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(tick(), 0) << "tick " << i;
    EXPECT_NE(LabelShowing(bar, QStringLiteral("COM2")), nullptr) << "the bar still shows the port";
}

TEST(StatusBar, ReceiverAddressBecomesALinkOnlyWhenItIsOne)
{
    CScriptedPrompt prompt;
    QZvStatusBar bar;
    QSignalSpy visible(&bar, &QZvStatusBar::SignalSetActionWebServerVisible);
    const struct
    {
        const char* Ip;
        bool Link;
    } cases[] = {
        {"10.0.0.5", true},
        {"192.168.1.20", true},
        // The receiver's text is not trusted as markup or as an address.
        {"10.0.0.5\"><img src=x>", false},
        {"300.1.2.3", false},
        {"", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Ip);
        auto pPort = SerialPort(QStringLiteral("/dev/ttyS0"), 115200);
        if (*c.Ip)
        {
            ASSERT_TRUE(pPort->Property.Parse(PropertyReply(QString::fromLatin1(c.Ip))));
        }
        visible.clear();
        prompt.OpenedUrls.clear();
        bar.OnUpdateStatusBar(pPort.get(), QZvStatusBar::REFRESH_IP);
        bar.OnUpdateStatusBar(pPort.get(), QZvStatusBar::REFRESH_IP);
        ASSERT_EQ(visible.count(), 2) << "every refresh says whether the web page can be visited";
        EXPECT_EQ(visible.at(1).at(0).toBool(), c.Link);
        QLabel* pIp = LabelShowing(bar, QStringLiteral("<b>IP</b>"));
        ASSERT_NE(pIp, nullptr);
        const QString sHref = QStringLiteral("http://%1").arg(QString::fromLatin1(c.Ip));
        if (c.Link)
        {
            EXPECT_EQ(pIp->text(), QStringLiteral("<b>IP</b>: <a href=\"%1\">%2</a>").arg(sHref, c.Ip));
            EXPECT_EQ(pIp->toolTip(), QStringLiteral("click to explore"));
            emit pIp->linkActivated(sHref);
            EXPECT_EQ(prompt.OpenedUrls, QList<QUrl>{QUrl(sHref)});
        }
        else
        {
            EXPECT_EQ(pIp->text(), QStringLiteral("<b>IP</b>:NA"));
            EXPECT_FALSE(pIp->text().contains(QLatin1String("img")));
            emit pIp->linkActivated(sHref);
            EXPECT_TRUE(prompt.OpenedUrls.isEmpty());
        }
    }
}

TEST(StatusBar, ReloadButtonAndCopy)
{
    QZvStatusBar bar;
    bar.resize(1200, 30);
    bar.show();
    auto pPort = SerialPort(QStringLiteral("/dev/ttyS0"), 115200);
    pPort->Property.Parse(PropertyReply(QStringLiteral("10.0.0.5")));
    bar.OnUpdateStatusBar(pPort.get(), QZvStatusBar::REFRESH_ALL);
    QSignalSpy recheck(&bar, &QZvStatusBar::SignalRecheckPortProperty);
    QPushButton* pReload = bar.findChild<QPushButton*>();
    ASSERT_NE(pReload, nullptr);
    QSignalSpy clicked(pReload, &QPushButton::clicked);
    QTest::mouseClick(pReload, Qt::LeftButton);
    EXPECT_EQ(recheck.count(), 1);
    EXPECT_EQ(clicked.count(), 0) << "the press is taken by the status bar";

    // "Copy" on the firmware label copies what it shows, not its markup.
    auto copyFrom = [&bar](QWidget* pWidget)
    {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::mouseClick(pWidget, Qt::RightButton);
        QMenu* pMenu = bar.findChild<QMenu*>();
        if (pMenu == nullptr)
            return QStringLiteral("no menu");
        EXPECT_EQ(pMenu->actions().size(), 1);
        pMenu->actions().at(0)->trigger();
        pMenu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return QApplication::clipboard()->text();
    };
    QLabel* pFirmware = LabelShowing(bar, QStringLiteral("R3.1.0"));
    ASSERT_NE(pFirmware, nullptr);
    EXPECT_EQ(copyFrom(pFirmware), QStringLiteral("R3.1.0 ZV100"));
    EXPECT_EQ(copyFrom(LabelShowing(bar, QStringLiteral("COM2"))), QStringLiteral("COM2"));
    // The button has the menu too, and copies nothing.
    EXPECT_EQ(copyFrom(pReload), QStringLiteral("before"));
    EXPECT_EQ(recheck.count(), 1);
}

// The receive count is never cut, whatever its digits and the font: its part
// is as wide as the largest count it can show.
TEST(StatusBar, TheReceiveCountShowsWholeAtItsLargest)
{
    auto pCtrl = SerialPort(QStringLiteral("/dev/ttyS9"), 115200);
    for (const int nPoints : {9, 16})
    {
        QZvStatusBar bar;
        QFont font = bar.font();
        font.setPointSize(nPoints);
        bar.setFont(font);
        bar.OnUpdateStatusBar(pCtrl.get(), QZvStatusBar::REFRESH_RATE);
        QLabel* pRate = LabelShowing(bar, QStringLiteral(" Byte"));
        ASSERT_NE(pRate, nullptr);
        for (const char* pText : {"11468 Byte", "20010 Byte", "123456789 Byte", "4294967295 Byte"})
            EXPECT_GE(pRate->contentsRect().width(), pRate->fontMetrics().horizontalAdvance(QString::fromLatin1(pText)))
                << pText << " at " << nPoints << " points";
    }
}
