// An engineer's hour with the monitor against two fake receivers, one on a
// serial line and one on TCP, driven through the main window's menus, dialogs
// and tabs as a user drives them, each step checked by what the user sees:
// the views drawn from what the receivers sent, the commands that reached the
// right receiver, the log files holding exactly the received bytes, the
// replayed log, its KMZ track, the converter started from the Tools menu, the
// program closed with every port streaming, and the log converted to RINEX in
// the converter's window.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QBarSet>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QBarCategoryAxis>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "codec/log_format.h"
#include "codec/range_logs.h"
#include "converter/ui/moxelin_main_window.h"
#include "converter/ui/window_test_support.h"
#include "monitor/config/msg_config.h"
#include "monitor/config/recv_config.h"
#include "monitor/config/recv_status_diag.h"
#include "monitor/connect/quick_connect_diag.h"
#include "monitor/connect/replay_cfg_diag.h"
#include "monitor/ports/port_manager.h"
#include "monitor/shell/docking.h"
#include "monitor/tools/auto_log_config.h"
#include "monitor/tools/auto_log_list.h"
#include "monitor/tools/kmz_gen_diag.h"
#include "monitor/tools/kmz_test_util.h"
#include "monitor/views/cn0_bar_chart.h"
#include "monitor/views/range_view.h"
#include "monitor/views/sky_plot.h"
#include "monitor/views/skyplot_widget.h"
#include "monitor/views/track_plot.h"
#include "monitor_fixture.h"
#include "support/monitor/fake_receiver.h"
#include "support/profile_fixture.h"

QT_CHARTS_USE_NAMESPACE

namespace
{
// Where the fake receivers stand: their NMEA and logs place the antenna
// within a few centimetres of this point.
constexpr double kSiteLat = 30.5283, kSiteLon = 114.3558, kSiteMsl = 36.25, kSiteGeoid = -12.10;

template <typename T> T* Child(const QObject* pParent, const char* pName)
{
    T* p = pParent->findChild<T*>(QString::fromLatin1(pName));
    EXPECT_NE(p, nullptr) << pName;
    return p;
}

bool DockShown(QWidget* pWidget)
{
    DockWidget* pDock = FlexManager::instance()->dockWidget(pWidget);
    return pDock != nullptr && pDock->isVisible() && pWidget->isVisible();
}

QByteArray Bytes(const std::vector<STREAM_ITEM_T>& Items)
{
    QByteArray out;
    for (const STREAM_ITEM_T& it : Items)
        out.append(it.Wire.data(), static_cast<int>(it.Wire.size()));
    return out;
}

QByteArray ReadFile(const QString& sPath)
{
    QFile file(sPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A satellite of a GSV group: elevation, azimuth and SNR as the receiver sent them.
struct SKY_T
{
    int El, Az, Snr;
    bool operator==(const SKY_T& o) const { return El == o.El && Az == o.Az && Snr == o.Snr; }
};

// The satellites of the last whole GSV group the receiver sent, by PRN.
std::map<int, SKY_T> LastGsvGroup(const std::vector<STREAM_ITEM_T>& Items)
{
    std::map<int, SKY_T> group, last;
    for (const STREAM_ITEM_T& it : Items)
    {
        if (it.Name != "GPGSV")
            continue;
        const QString sBody = QString::fromStdString(it.Wire).section(QLatin1Char('*'), 0, 0).mid(1);
        const QStringList f = sBody.split(QLatin1Char(','));
        if (f.size() < 4)
            continue;
        if (f[2].toInt() == 1)
            group.clear();
        for (int i = 4; i + 3 < f.size(); i += 4)
            group[f[i].toInt()] = {f[i + 1].toInt(), f[i + 2].toInt(), f[i + 3].toInt()};
        if (f[2].toInt() == f[1].toInt())
            last = group;
    }
    return last;
}

// The times ("hhmmss.ss") of the whole sentences of a kind ("$GPGGA,") in a recording.
std::set<QByteArray> SentenceTimes(const QByteArray& Log, const char* pStart)
{
    std::set<QByteArray> times;
    for (int at = Log.indexOf(pStart); at >= 0; at = Log.indexOf(pStart, at + 1))
    {
        const int end = Log.indexOf("\r\n", at);
        const QByteArray sentence = Log.mid(at, end - at);
        if (end > 0 && sentence.count('$') == 1 && sentence.at(sentence.size() - 3) == '*')
            times.insert(sentence.split(',').value(1));
    }
    return times;
}

// WGS-84 latitude, longitude (degrees) and height (m) to earth-centred metres.
void Ecef(double dLat, double dLon, double dHeight, double Xyz[3])
{
    const double a = 6378137.0, f = 1.0 / 298.257223563, e2 = f * (2 - f);
    const double phi = dLat * M_PI / 180.0, lam = dLon * M_PI / 180.0;
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    Xyz[0] = (n + dHeight) * std::cos(phi) * std::cos(lam);
    Xyz[1] = (n + dHeight) * std::cos(phi) * std::sin(lam);
    Xyz[2] = (n * (1 - e2) + dHeight) * std::sin(phi);
}

// A binary RANGE log as it went over the line: its time and observations.
struct RANGE_EPOCH_T
{
    uint16_t Week = 0;
    uint32_t Ms = 0;
    std::vector<RANGE_OBS_T> Obs;
};

RANGE_EPOCH_T DecodeRange(const std::string& Wire)
{
    RANGE_EPOCH_T e;
    BinaryLogHeader h{};
    std::memcpy(&h, Wire.data(), sizeof h);
    e.Week = h.Week;
    e.Ms = h.Milliseconds;
    uint32_t n = 0;
    std::memcpy(&n, Wire.data() + h.HeaderLength, 4);
    for (uint32_t i = 0; i < n; ++i)
    {
        RANGE_OBS_T o;
        std::memcpy(&o, Wire.data() + h.HeaderLength + 4 + i * sizeof o, sizeof o);
        e.Obs.push_back(o);
    }
    return e;
}

class EndToEndTest : public MonitorTest
{
protected:
    // Clicks a port's tab, as the user does to make it current.
    void ClickTab(const QZvPortCtrlBase* pPort)
    {
        const int i = Tabs().GetTabIndexByPortID(pPort->UniquePortID);
        ASSERT_GE(i, 0);
        QTest::mouseClick(Tabs().tabBar(), Qt::LeftButton, Qt::NoModifier, Tabs().tabBar()->tabRect(i).center());
        ASSERT_EQ(Tabs().currentIndex(), i);
    }
    QString ShownOf(const QZvPortCtrlBase* pPort) { return Shown(Tabs().GetTabIndexByPortID(pPort->UniquePortID)); }
    // The port of the tab that a connection adds.
    QZvPortCtrlBase* NewPort(int nTabsBefore)
    {
        if (!WaitUntil([&] { return Tabs().count() > nTabsBefore; }))
            return nullptr;
        return Tabs().GetPortCtrl(Tabs().count() - 1);
    }
    void Connect()
    {
        Click(Child<QPushButton>(W().pQuickConnect, "m_BtnConfigConnect"));
    }
    // Clicks a button once the window it is in has been laid out.
    static void Click(QAbstractButton* pButton)
    {
        QCoreApplication::processEvents();
        QTest::mouseClick(pButton, Qt::LeftButton, Qt::NoModifier, QPoint(pButton->height() / 2, pButton->height() / 2));
    }
    // Ticks a box that is not ticked yet.
    static void Tick(QCheckBox* pBox)
    {
        if (!pBox->isChecked())
            Click(pBox);
        EXPECT_TRUE(pBox->isChecked()) << pBox->objectName().toStdString();
    }
    static void Type(QLineEdit* pEdit, const QString& sText)
    {
        pEdit->clear();
        QTest::keyClicks(pEdit, sText);
    }
};
} // namespace

TEST_F(EndToEndTest, AnEngineersHourWithASerialAndATcpReceiver)
{
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    FakeReceiver serial, net;
    ASSERT_TRUE(serial.Plug());
    const uint16_t nNetPort = net.Listen();
    ASSERT_NE(nNetPort, 0);
    SerialPorts = QStringList{QString::fromStdString(serial.Rx().Name())};

    // ---- The serial receiver, by quick connect.
    QuickConnectDiag* pQuick = W().pQuickConnect;
    Form().m_ActionQuickConnect->trigger();
    ASSERT_TRUE(pQuick->isVisible());
    Child<QTabWidget>(pQuick, "PortConnectTab")->setCurrentIndex(QZvPortCtrlBase::PORT_TYPE_UART);
    auto* pPortList = Child<QComboBox>(pQuick, "PortListComboBox");
    ASSERT_EQ(pPortList->count(), 1);
    EXPECT_EQ(pPortList->currentText(), SerialPorts.at(0));
    EXPECT_EQ(Child<QComboBox>(pQuick, "BaudrateListComboBox")->currentText(), QStringLiteral("115200"));
    Connect();
    QZvPortCtrlBase* pSerial = NewPort(0);
    ASSERT_NE(pSerial, nullptr);
    EXPECT_FALSE(pQuick->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return pSerial->IsPropertyValid(); }));
    EXPECT_EQ(pSerial->PortType, QZvPortCtrlBase::PORT_TYPE_UART);

    // ---- The TCP receiver.
    Form().m_ActionQuickConnect->trigger();
    Child<QTabWidget>(pQuick, "PortConnectTab")->setCurrentIndex(QZvPortCtrlBase::PORT_TYPE_TCP);
    Type(Child<QLineEdit>(pQuick, "TCPServerName"), QStringLiteral("127.0.0.1"));
    Type(Child<QLineEdit>(pQuick, "TCPIPPort"), QString::number(nNetPort));
    Connect();
    QZvPortCtrlBase* pNet = NewPort(1);
    ASSERT_NE(pNet, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return pNet->IsPropertyValid(); }));
    EXPECT_EQ(pNet->PortType, QZvPortCtrlBase::PORT_TYPE_TCP);
    EXPECT_TRUE(Prompt.Messages.isEmpty()) << Prompt.Messages.join('\n').toStdString();

    // Both stream; each tab shows its own receiver's stream.
    serial.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 20000);
    net.StartStream(STREAM_ALL, 40000);
    ClickTab(pSerial);
    EXPECT_TRUE(WaitUntil([&] { return ShownOf(pSerial).contains(QStringLiteral("#RANGEA,")); }));
    EXPECT_FALSE(ShownOf(pSerial).contains(QStringLiteral("Msg 1074"))); // the TCP receiver's RTCM
    ClickTab(pNet);
    EXPECT_TRUE(WaitUntil([&] { return ShownOf(pNet).contains(QStringLiteral("$GPGSV,")); }));

    // ---- The views, opened on the TCP receiver.
    Form().actionProfressional->trigger();
    const MONITOR_WINDOWS_T& w = W();
    for (QAction* pAction : {Form().actionSkyPlot, Form().actionCN0, Form().actionTrackPlot, Form().actionRangeParser,
                             Form().actionRecvStatus})
        pAction->trigger();
    for (QWidget* pView : std::initializer_list<QWidget*>{w.pSkyPlot, w.pCN0, w.pTrackPlot, w.pRangeView, w.pRecvStatus})
        EXPECT_TRUE(DockShown(pView)) << pView->metaObject()->className();

    // The sky plot draws every satellite of the receiver's latest GSV where it said.
    const auto drawnSky = [&]
    {
        std::map<int, std::pair<float, float>> out;
        const auto& sats = w.pSkyPlot->Plot()->satellites();
        for (auto it = sats.begin(); it != sats.end(); ++it)
            if ((it->state & (SkyplotWidget::Visible | SkyplotWidget::HalfVisible)) != 0 &&
                SkyplotWidget::onPlot(it->az, it->el))
                out[it.key()] = {it->az, it->el};
        return out;
    };
    const auto skySent = [&]
    {
        std::map<int, std::pair<float, float>> out;
        for (const auto& s : LastGsvGroup(net.Sent()))
            out[s.first] = {static_cast<float>(s.second.Az), static_cast<float>(s.second.El)};
        return out;
    };
    EXPECT_TRUE(WaitUntil([&] { return !drawnSky().empty() && drawnSky() == skySent(); }))
        << drawnSky().size() << " drawn, " << skySent().size() << " sent";
    EXPECT_EQ(drawnSky().size(), 12u);

    // The CN0 bars: one per satellite of that GSV, at its SNR.
    const auto charted = [&]
    {
        std::map<QString, double> out;
        const QStringList categories = w.pCN0->CategoryAxis()->categories();
        for (int i = 0; i < categories.size(); ++i)
            for (QBarSet* pSet : w.pCN0->Series()->barSets())
                if (i < pSet->count() && pSet->at(i) != 0)
                    out[categories[i]] = pSet->at(i);
        return out;
    };
    const auto cn0Sent = [&]
    {
        std::map<QString, double> out;
        for (const auto& s : LastGsvGroup(net.Sent()))
            out[QStringLiteral("G%1").arg(s.first)] = s.second.Snr;
        return out;
    };
    EXPECT_TRUE(WaitUntil([&] { return !charted().empty() && charted() == cn0Sent(); })) << charted().size();

    // The range table: every observation of the receiver's RANGE log.
    EXPECT_TRUE(WaitUntil([&] { return w.pRangeView->Rows()->rowCount() == 32; }))
        << w.pRangeView->Rows()->rowCount();
    EXPECT_EQ(w.pRangeView->CountLabel(QStringLiteral("GPS"))->text(), QStringLiteral("L1C/A:12 L2P:12 "));
    EXPECT_EQ(w.pRangeView->CountLabel(QStringLiteral("GLO"))->text(), QStringLiteral("G1C/A:4 G2P:4 "));
    EXPECT_EQ(w.pRangeView->TotalLabel()->text(), QStringLiteral("Total Obs Num: 32 "));

    // The receiver status: its solution, position, heights, base and board.
    const auto status = [&]
    {
        QStringList values;
        for (int i = 0; i < 12; ++i)
            values << Child<QLabel>(w.pRecvStatus, qPrintable(QStringLiteral("StatusValue%1").arg(i)))->text();
        return values;
    };
    EXPECT_TRUE(WaitUntil([&] { return status().value(0) == QStringLiteral("NARROW_INT"); })) << status().join('|').toStdString();
    const QStringList shown = status();
    EXPECT_TRUE(shown.value(1).startsWith(QStringLiteral("114Degree 21' 20.88"))) << shown.value(1).toStdString();
    EXPECT_TRUE(shown.value(1).endsWith(QStringLiteral("'' E")));
    EXPECT_TRUE(shown.value(2).startsWith(QStringLiteral("30Degree 31' 41.88"))) << shown.value(2).toStdString();
    EXPECT_EQ(shown.value(3), QString::asprintf("%.3f [m]", kSiteMsl + kSiteGeoid));
    EXPECT_EQ(shown.value(4), QString::asprintf("%.3f [m]", kSiteMsl));
    EXPECT_EQ(shown.value(6), QStringLiteral("2003"));
    EXPECT_EQ(shown.value(8), QStringLiteral("12"));
    EXPECT_EQ(shown.value(9), QStringLiteral("ZV100"));
    EXPECT_EQ(shown.value(10), QStringLiteral("R3.1.0"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(shown.value(11)).hasMatch())
        << shown.value(11).toStdString();

    // The track: every point at the site, all fixed.
    QTrackPlot* pTrack = w.pTrackPlot;
    EXPECT_TRUE(WaitUntil([&] { return pTrack->PointCount() >= 3; }));
    double site[3];
    Ecef(kSiteLat, kSiteLon, kSiteMsl + kSiteGeoid, site);
    for (int i = 0; i < pTrack->PointCount(); ++i)
    {
        const QTrackPlot::TRACK_POINT_T& p = pTrack->Point(i);
        EXPECT_LT(std::hypot(p.X - site[0], p.Y - site[1], p.Z - site[2]), 0.1) << i;
        EXPECT_LT(std::hypot(p.East, p.North), 0.1) << i;
    }
    EXPECT_TRUE(WaitUntil([&] {
        return Child<QLabel>(pTrack, "m_pFixLabel")->text() ==
               QStringLiteral("100.00% /%1").arg(pTrack->PointCount());
    })) << Child<QLabel>(pTrack, "m_pFixLabel")->text().toStdString();

    // ---- A message output of the TCP receiver: INSPVAX in binary once a second.
    QFMsgConfig* pMsgConfig = w.pMsgConfig;
    QSignalSpy logLists(&Window(), &QZorvikMonitor::SignalUpdateMsgConfigDiag);
    Form().actionMessageView->trigger();
    ASSERT_TRUE(pMsgConfig->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return !logLists.isEmpty(); }));
    auto* pInsRate = Child<QComboBox>(pMsgConfig, "INSPVAXFreq");
    pInsRate->setCurrentIndex(pInsRate->findText(QStringLiteral("1Hz")));
    Child<QComboBox>(pMsgConfig, "INSPVAXType")->setCurrentText(QStringLiteral("B"));
    QPushButton* pInsOK = Child<QPushButton>(pMsgConfig, "INSOKButton");
    Child<QTabWidget>(pMsgConfig, "MsgConfigNameTab")->setCurrentWidget(pInsOK->parentWidget());
    Click(pInsOK);
    EXPECT_TRUE(net.Net().WaitForText("log INSPVAXB 1\r\n", 10000)) << net.Net().Received();
    EXPECT_TRUE(WaitUntil([&] { return ShownOf(pNet).contains(QStringLiteral("#INSPVAXA,")); }));
    EXPECT_EQ(serial.Rx().Received().find("INSPVAX"), std::string::npos);

    // ---- The serial receiver's NTRIP client, from the receiver configuration.
    ClickTab(pSerial);
    QZvRecvConfig* pRecvConfig = w.pRecvConfig;
    QSignalSpy userConfigs(&Window(), &QZorvikMonitor::SignalUpdateRecvConfigDiag);
    Form().actionConfigDiag->trigger();
    ASSERT_TRUE(pRecvConfig->isVisible());
    // The receiver's configuration fills the dialog before the user changes it.
    ASSERT_TRUE(WaitUntil([&] { return !userConfigs.isEmpty(); }));
    Child<QTabWidget>(pRecvConfig, "tabWidget")->setCurrentWidget(Child<QWidget>(pRecvConfig, "tab_9"));
    Tick(Child<QCheckBox>(pRecvConfig, "pNtripEnable"));
    // The rows it enables are laid out before they are clicked.
    QCoreApplication::processEvents();
    Click(Child<QRadioButton>(pRecvConfig, "pNtripClient"));
    Child<QComboBox>(pRecvConfig, "pNtripFormat")->setCurrentIndex(1);
    Type(Child<QLineEdit>(pRecvConfig, "pNtripNameText"), QStringLiteral("caster.example"));
    Type(Child<QLineEdit>(pRecvConfig, "pPortText"), QStringLiteral("2101"));
    Type(Child<QLineEdit>(pRecvConfig, "pNtripMountPoint"), QStringLiteral("WUHN00CHN0"));
    Type(Child<QLineEdit>(pRecvConfig, "pUsernameText"), QStringLiteral("rover7"));
    Type(Child<QLineEdit>(pRecvConfig, "pPasswordText"), QStringLiteral("s3cret"));
    Click(Child<QPushButton>(pRecvConfig, "pNtripOK"));
    const std::string sNtrip = "NTRIPCONFIG ncom1 client v2 caster.example:2101 WUHN00CHN0 rover7 s3cret\r\n";
    EXPECT_TRUE(serial.Rx().WaitForText(sNtrip, 10000)) << serial.Rx().Received();
    EXPECT_EQ(net.Net().Received().find("NTRIPCONFIG"), std::string::npos);
    EXPECT_TRUE(Prompt.Messages.isEmpty()) << Prompt.Messages.join('\n').toStdString();

    // ---- Automatic logging of both receivers under a log root of the user's.
    const QString sLogRoot = work.filePath(QStringLiteral("logs"));
    ASSERT_TRUE(QDir().mkpath(sLogRoot));
    QAutoLogList* pAutoLog = w.pAutoLog;
    Prompt.Texts = {sLogRoot};
    Form().ActionAutoLog->trigger();
    ASSERT_TRUE(pAutoLog->isVisible());
    QTableWidget* pTable = pAutoLog->Table();
    ASSERT_EQ(pTable->rowCount(), 2);
    Tick(Child<QCheckBox>(pAutoLog, "SelectAllCheckBox"));
    Click(Child<QPushButton>(pAutoLog, "LogButton"));
    QAutoLogConfig* pSchedule = pAutoLog->ConfigWindow();
    ASSERT_TRUE(pSchedule->isVisible());
    Click(Child<QRadioButton>(pSchedule, "NormalModeRadio"));
    const QDate started = QDate::currentDate();
    Click(Child<QPushButton>(pSchedule, "OkButton"));
    ASSERT_TRUE(WaitUntil([&] { return pSerial->IsLogging() && pNet->IsLogging(); }))
        << (Prompt.Messages + Prompt.Questions + Prompt.Choosers).join('\n').toStdString();
    const QString sSerialLog = Tabs().GetPortInfo(pSerial->UniquePortID).LogFileName;
    const QString sNetLog = Tabs().GetPortInfo(pNet->UniquePortID).LogFileName;
    // In the day's folder (the next day's, should midnight pass meanwhile).
    const auto inDayFolder = [&](const QString& sFile) {
        for (const QDate& day : {started, started.addDays(1)})
            if (QFileInfo(sFile).path() == sLogRoot + day.toString(QStringLiteral("/yyyy/yyyyMM/yyyyMMdd")))
                return true;
        return false;
    };
    EXPECT_TRUE(inDayFolder(sSerialLog)) << sSerialLog.toStdString();
    EXPECT_TRUE(inDayFolder(sNetLog)) << sNetLog.toStdString();
    EXPECT_NE(sSerialLog, sNetLog);
    // The watch shows each row's state.
    EXPECT_TRUE(WaitUntil([&] {
        return pTable->item(0, QAutoLogList::COL_STATUS)->text() == QStringLiteral("Logging") &&
               pTable->item(1, QAutoLogList::COL_STATUS)->text() == QStringLiteral("Logging");
    }));

    // A minute of the serial receiver's epochs, then its logging stops.
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(sSerialLog).count("$GPRMC,") >= 60; }, 60000));
    // Only the serial receiver's row is ticked (the rows follow the tabs).
    for (int i = 0; i < pTable->rowCount(); ++i)
        qobject_cast<QCheckBox*>(pTable->cellWidget(i, QAutoLogList::COL_BOARD))
            ->setChecked(i == Tabs().GetTabIndexByPortID(pSerial->UniquePortID));
    Click(Child<QPushButton>(pAutoLog, "UnlogButton"));
    ASSERT_TRUE(WaitUntil([&] { return !pSerial->IsLogging(); }));
    EXPECT_TRUE(pNet->IsLogging());
    // The file holds a run of exactly what the receiver sent.
    const QByteArray serialLog = ReadFile(sSerialLog);
    ASSERT_GT(serialLog.size(), 0);
    EXPECT_GE(Bytes(serial.Sent()).indexOf(serialLog), 0) << "the serial log is no run of what was sent";

    // ---- The log replayed as a port.
    QReplayCfgDiag* pReplay = w.pReplay;
    Form().m_ActReplayFile->trigger();
    ASSERT_TRUE(pReplay->isVisible());
    Prompt.Paths = {sSerialLog};
    Click(Child<QPushButton>(pReplay, "ReplayFileBrowser"));
    EXPECT_EQ(Child<QLineEdit>(pReplay, "ReplayFilePathEdit")->text(), sSerialLog);
    Click(Child<QPushButton>(pReplay, "ReplayButton"));
    QZvPortCtrlBase* pReplayPort = NewPort(2);
    ASSERT_NE(pReplayPort, nullptr);
    EXPECT_EQ(pReplayPort->PortType, QZvPortCtrlBase::PORT_TYPE_REPLAY);
    ClickTab(pReplayPort);
    // Its tab shows the logged file to its last RANGE log, as text, and the
    // range table follows it.
    std::string sLoggedRange;
    for (const STREAM_ITEM_T& it : serial.Sent())
        if (it.Name == "RANGEB" && serialLog.contains(QByteArray::fromStdString(it.Wire)))
            sLoggedRange = it.Text.substr(0, 200); // a long line is broken where the view shows it
    ASSERT_FALSE(sLoggedRange.empty());
    EXPECT_TRUE(WaitUntil([&] { return ShownOf(pReplayPort).contains(QString::fromStdString(sLoggedRange)); }))
        << sLoggedRange;
    EXPECT_TRUE(WaitUntil([&] { return w.pRangeView->Rows()->rowCount() == 32; }));

    // ---- The log exported to KMZ.
    QKMZGenDiag* pKmz = w.pKMZGen;
    Form().actionKMZGen->trigger();
    ASSERT_TRUE(pKmz->isVisible());
    Prompt.Paths = {sSerialLog};
    Click(Child<QPushButton>(pKmz, "m_OpenLogFile"));
    const QString sKmz = Child<QLineEdit>(pKmz, "m_KMZFilePath")->text();
    EXPECT_EQ(QFileInfo(sKmz).path(), QFileInfo(sSerialLog).path());
    const int nMessages = Prompt.Messages.size();
    Click(Child<QPushButton>(pKmz, "m_ProcessButton"));
    ASSERT_TRUE(WaitUntil([&] { return Prompt.Messages.size() > nMessages && !pKmz->Worker()->isRunning(); }, 60000));
    EXPECT_EQ(Prompt.Messages.last(), QStringLiteral("KMZ Generation complete|KMZ Generation complete"));
    const KMZ_CONTENT_T kmz = ReadKmz(sKmz, work.filePath(QStringLiteral("track.kml")));
    ASSERT_TRUE(kmz.Error.isEmpty()) << kmz.Error.toStdString();
    // One placemark per epoch of the logged GGA and RMC sentences, with the
    // start and end markers, all at the site; an epoch whose GGA was logged
    // tells its fix, satellites and height.
    const std::set<QByteArray> ggaTimes = SentenceTimes(serialLog, "$GPGGA,");
    std::set<QByteArray> epochTimes = SentenceTimes(serialLog, "$GPRMC,");
    epochTimes.insert(ggaTimes.begin(), ggaTimes.end());
    int nPoints = 0, nFromGga = 0;
    for (const KML_PLACEMARK_T& m : kmz.Placemarks)
    {
        if (m.Point.isEmpty())
            continue;
        ++nPoints;
        const QStringList c = m.Point.trimmed().split(QLatin1Char(','));
        ASSERT_GE(c.size(), 2) << m.Point.toStdString();
        EXPECT_NEAR(c[0].toDouble(), kSiteLon, 1e-5) << m.Point.toStdString();
        EXPECT_NEAR(c[1].toDouble(), kSiteLat, 1e-5) << m.Point.toStdString();
        const QRegularExpressionMatch utc =
            QRegularExpression(QStringLiteral("UTC:(\\d\\d):(\\d\\d):(\\d\\d)")).match(m.Description);
        if (!utc.hasMatch() || ggaTimes.count((utc.captured(1) + utc.captured(2) + utc.captured(3) + ".00").toLatin1()) == 0)
            continue;
        ++nFromGga;
        EXPECT_TRUE(m.Description.contains(QStringLiteral("Fix:4,SatN:12"))) << m.Description.toStdString();
        EXPECT_TRUE(m.Description.contains(QString::asprintf("Hgt:%.2fM", kSiteMsl + kSiteGeoid)))
            << m.Description.toStdString();
    }
    EXPECT_EQ(nPoints, static_cast<int>(epochTimes.size()) + 2);
    EXPECT_EQ(nFromGga, static_cast<int>(ggaTimes.size()));

    // ---- The converter, from the Tools menu.
    QTemporaryDir bin;
    const QString sMark = bin.filePath(QStringLiteral("started"));
    {
        QFile script(bin.filePath(QStringLiteral("QMoxelin")));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$#\" > '%1'\n").arg(sMark).toUtf8());
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QByteArray sPathWas = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + sPathWas);
    ASSERT_FALSE(QFileInfo::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/QMoxelin")));
    Form().actionMoxelin->trigger();
    qputenv("PATH", sPathWas);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(sMark) == "0\n"; }, 10000));

    // ---- Closing with every port streaming, the TCP receiver's still logged.
    ASSERT_TRUE(pNet->IsLogging());
    Prompt.Answers = {true};
    QElapsedTimer closing;
    closing.start();
    EXPECT_TRUE(Window().close());
    // At most the port manager's bounded wait, with room for a loaded machine.
    EXPECT_LT(closing.elapsed(), QZvPortManager::DELETE_WAIT_MS + 1200);
    EXPECT_TRUE(WaitUntil([] { return QZvPortCtrlBase::GetLiveCount() == 0; }, 20000));
    EXPECT_EQ(Tabs().count(), 0);
    serial.StopStream();
    net.StopStream();
    const QByteArray netLog = ReadFile(sNetLog);
    ASSERT_GT(netLog.size(), 0);
    EXPECT_GE(Bytes(net.Sent()).indexOf(netLog), 0) << "the TCP log is no run of what was sent";

    // ---- The serial log to RINEX in the converter's window.
    ScopedProfile converter(CODEC_PROFILE_CONVERTER);
    CFakePrompt converterPrompt;
    SetUserPrompt(&converterPrompt);
    SetCodecConfigDir(work.filePath(QStringLiteral("moxelin")).toLocal8Bit().constData());
    {
        CMoxelinMainWindow moxelin;
        moxelin.show();
        converterPrompt.m_Answers = {sSerialLog};
        Child<QPushButton>(&moxelin, "Range2RnxOpenBtn")->click();
        ASSERT_TRUE(WaitUntil([&] { return !moxelin.EngineBusy(); }));
        QCoreApplication::processEvents();
        const QString sObs = Child<QLineEdit>(&moxelin, "Range2RnxObsFilePath")->text();
        ASSERT_FALSE(sObs.isEmpty());
        Child<QPushButton>(&moxelin, "Range2RnxMoxelinBtn")->click();
        ASSERT_TRUE(WaitUntil([&] {
            for (const CFakePrompt::Call& c : converterPrompt.m_Calls)
                if (c.sKind == QLatin1String("message"))
                    return true;
            return false;
        }));
        const CFakePrompt::Call done = converterPrompt.m_Calls.back();
        EXPECT_EQ(done.sTitle, QStringLiteral("Success")) << done.sText.toStdString();

        const QStringList rinex = QString::fromLatin1(ReadFile(sObs)).split(QLatin1Char('\n'));
        ASSERT_GT(rinex.size(), 10);
        EXPECT_TRUE(rinex[0].mid(60).startsWith(QStringLiteral("RINEX VERSION / TYPE"))) << rinex[0].toStdString();
        // The GPS observation types, in their order.
        QStringList gpsTypes;
        int nEnd = -1;
        for (int i = 0; i < rinex.size() && nEnd < 0; ++i)
        {
            if (rinex[i].mid(60).startsWith(QStringLiteral("SYS / # / OBS TYPES")) && rinex[i].startsWith('G'))
                gpsTypes = rinex[i].left(60).mid(7).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (rinex[i].mid(60).startsWith(QStringLiteral("END OF HEADER")))
                nEnd = i;
        }
        ASSERT_GT(nEnd, 0);
        const int iC1C = gpsTypes.indexOf(QStringLiteral("C1C"));
        ASSERT_GE(iC1C, 0) << gpsTypes.join(' ').toStdString();

        // One epoch per whole RANGE log of the file; the first is the first
        // epoch, with its GPS L1 C/A pseudoranges to the millimetre.
        std::vector<RANGE_EPOCH_T> logged;
        for (const STREAM_ITEM_T& it : serial.Sent())
            if (it.Name == "RANGEB" && serialLog.contains(QByteArray::fromStdString(it.Wire)))
                logged.push_back(DecodeRange(it.Wire));
        ASSERT_GE(logged.size(), 50u);
        EXPECT_EQ(rinex.filter(QRegularExpression(QStringLiteral("^> "))).size(), static_cast<int>(logged.size()));
        const RANGE_EPOCH_T& first = logged.front();
        const QDateTime t = QDateTime(QDate(1980, 1, 6), QTime(0, 0), Qt::UTC)
                                .addDays(7 * first.Week)
                                .addMSecs(first.Ms);
        const QString sEpoch = t.toString(QStringLiteral("> yyyy MM dd hh mm"));
        int iEpoch = nEnd + 1;
        ASSERT_LT(iEpoch, rinex.size());
        EXPECT_TRUE(rinex[iEpoch].startsWith(sEpoch)) << rinex[iEpoch].toStdString() << " | " << sEpoch.toStdString();
        EXPECT_NEAR(rinex[iEpoch].mid(19, 11).toDouble(), t.time().second() + t.time().msec() / 1000.0, 1e-7);
        const int nSats = rinex[iEpoch].mid(32, 3).toInt();
        std::map<int, double> c1c;
        for (int k = 1; k <= nSats && iEpoch + k < rinex.size(); ++k)
        {
            const QString& line = rinex[iEpoch + k];
            if (line.startsWith('G'))
                c1c[line.mid(1, 2).toInt()] = line.mid(3 + 16 * iC1C, 14).toDouble();
        }
        int nChecked = 0;
        for (const RANGE_OBS_T& o : first.Obs)
        {
            const uint32_t nSys = (o.TrackingStatus >> 16) & 7, nType = (o.TrackingStatus >> 21) & 31;
            if (nSys != 0 || nType != 0)
                continue;
            ASSERT_EQ(c1c.count(o.Prn), 1u) << "G" << o.Prn;
            EXPECT_NEAR(c1c[o.Prn], o.Psr, 0.0015) << "G" << o.Prn;
            ++nChecked;
        }
        EXPECT_EQ(nChecked, 12);
    }
    SetUserPrompt(nullptr);
    SetCodecConfigDir("");
}
