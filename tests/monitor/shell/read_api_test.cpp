// What a window reads of a port, through the tab set's read API only: a test
// window wired as the main window wires a view reads the current port's store,
// position record, status replies and description during the tick, and a
// status reply names the port it came from.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "codec/position_logs.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/view_payload.h"
#include "support/monitor/fake_receiver.h"
#include "support/monitor/shell_stand_in.h"
#include "support/profile_fixture.h"
#include "support/monitor/receiver_ports.h"

namespace
{
// What a view would draw from one tick, read only through the read API.
struct SEEN_T
{
    uint PortID = 0;
    uint Bestpos = 0;
    double Latitude = 0;
    QString BoardName;
    QStringList UserConfig;
};

class CReadingWindow : public QObject
{
public:
    QList<SEEN_T> Seen;
    uint ReplyPortID = 0;

    void OnUpdate(void* pPortTab)
    {
        const CPortTab* pTabs = PortTabPayload(pPortTab);
        SEEN_T seen;
        seen.PortID = pTabs->GetCurPortID();
        if (const QRangeData* pStore = pTabs->GetCurRangeData())
            seen.Bestpos = pStore->Counts[CatalogueIndexOf(MSG_ID_BESTPOS)];
        seen.Latitude = pTabs->GetPosData()->Latitude;
        seen.BoardName = pTabs->GetCurPortInfo().Property.BoardName;
        if (const QStatusMsgParser* pReplies = pTabs->GetCurStatusReplies())
            seen.UserConfig = pReplies->m_UserConfigList;
        Seen << seen;
    }
    void OnReply(const CPortTab* pTabs) { ReplyPortID = pTabs->GetStatusReplyPortID(); }
};

} // namespace

TEST(ReadApi, AWindowReadsTheCurrentPortsStorePositionAndRepliesThroughTheTabSet)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    ShellStandIn shell;
    RECEIVER_RULES_T streaming, quiet;
    streaming.VersionLine = "ZV200-B7,R3.2.0,x,1A2B0002,ID:201801234B560043,SN:456,F:1F";
    quiet.UserConfig = {"ECUTOFF USER GPS 7.0 GLO 7.0 GAL 7.0 BDS 7.0 SBAS 7.0 QZSS 7.0"};
    FakeReceiver rxStreaming(streaming), rxQuiet(quiet);
    ASSERT_NE(rxStreaming.Listen(), 0);
    ASSERT_NE(rxQuiet.Listen(), 0);
    QZvPortCtrlBase* pStreaming = shell.OpenTcp(rxStreaming);
    QZvPortCtrlBase* pQuiet = shell.OpenTcp(rxQuiet);
    ASSERT_NE(pStreaming, nullptr);
    ASSERT_NE(pQuiet, nullptr);

    CReadingWindow window;
    QObject::connect(&shell.Tabs, &CPortTab::SignalStatusMsgParseFinished, &window,
                     [&] { window.OnReply(&shell.Tabs); });
    auto tick = [&] { window.OnUpdate(&shell.Tabs); };

    // Binary logs and NMEA from the first receiver, which is the current port.
    shell.Tabs.setCurrentIndex(0);
    rxStreaming.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 50000);
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            const QRangeData* pStore = shell.Tabs.GetRangeData(pStreaming->UniquePortID);
            return pStore != nullptr && pStore->Counts[CatalogueIndexOf(MSG_ID_BESTPOS)] >= 3 &&
                   shell.Tabs.GetPosData()->Latitude != 0;
        }));
    rxStreaming.StopStream();
    tick();
    ASSERT_EQ(window.Seen.size(), 1);
    EXPECT_EQ(window.Seen[0].PortID, pStreaming->UniquePortID);
    EXPECT_GE(window.Seen[0].Bestpos, 3u);
    EXPECT_NE(window.Seen[0].Latitude, 0.0);
    EXPECT_EQ(window.Seen[0].BoardName, pStreaming->Property.Get().BoardName);

    // The other port is current: its own (empty) store and its description.
    shell.Tabs.setCurrentIndex(1);
    tick();
    EXPECT_EQ(window.Seen[1].PortID, pQuiet->UniquePortID);
    EXPECT_EQ(window.Seen[1].Bestpos, 0u);
    EXPECT_EQ(window.Seen[1].BoardName, pQuiet->Property.Get().BoardName);
    EXPECT_NE(window.Seen[1].BoardName, window.Seen[0].BoardName);

    // A status reply names its port while it is reported, and only then.
    shell.Tabs.OnRequestUserConfigMsg();
    ASSERT_TRUE(WaitUntil([&] { return window.ReplyPortID != 0; }));
    EXPECT_EQ(window.ReplyPortID, pQuiet->UniquePortID);
    EXPECT_EQ(shell.Tabs.GetStatusReplyPortID(), 0u);
    tick();
    EXPECT_EQ(window.Seen[2].UserConfig, QStringList(QString::fromStdString(quiet.UserConfig[0])));
    EXPECT_TRUE(shell.Tabs.GetStatusReplies(pStreaming->UniquePortID)->m_UserConfigList.isEmpty());

    // A port's log schedule and flags, as the logging tools read them.
    const QDateTime due(QDate(2030, 1, 1), QTime(0, 0));
    shell.Tabs.OnSignalLogConfig(1, 0, true, due);
    ASSERT_TRUE(WaitUntil([&] { return shell.Tabs.GetPortInfo(pQuiet->UniquePortID).AutoLogMode == 0; }));
    const PORT_INFO_T info = shell.Tabs.GetPortInfo(pQuiet->UniquePortID);
    EXPECT_TRUE(info.bAutoLogLoop);
    EXPECT_EQ(info.NextSwitchTime, due);
    EXPECT_TRUE(info.bPropertyValid);
    EXPECT_FALSE(info.bUpgrading);
    EXPECT_EQ(shell.Tabs.GetPortInfo(pStreaming->UniquePortID).AutoLogMode, 2u);

    // Unknown ports read as nothing.
    EXPECT_EQ(shell.Tabs.GetRangeData(0), nullptr);
    EXPECT_EQ(shell.Tabs.GetStatusReplies(0xFFFFFFFE), nullptr);
    EXPECT_EQ(shell.Tabs.GetPortInfo(0xFFFFFFFE).UniquePortID, 0u);
    EXPECT_EQ(shell.Tabs.GetPortIDs(), QList<uint>({pStreaming->UniquePortID, pQuiet->UniquePortID}));
}
