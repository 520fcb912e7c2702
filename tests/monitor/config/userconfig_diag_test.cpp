// The user configuration view: the receiver's configuration lines compared
// with the saved reference file (a changed, a missing and an extra line), the
// reference station with its marker on the map page, a reference file that
// cannot be read, and only the asked port's reply filling it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <functional>
#include <memory>

#include "monitor/config/station_map.h"
#include "monitor/config/userconfig_diag.h"
#include "monitor/views/map_page.h"
#include "status_road_fixture.h"
#include "support/blocked_file.h"

namespace
{
// The map page as the view drives it.
class CRecordingMap : public CStationMapPage
{
public:
    QStringList Calls;
    void Show(QWidget* pHost) override { Calls << QStringLiteral("show ") + pHost->objectName(); }
    void Release() override { Calls << QStringLiteral("release"); }
    void AddMarker(double dLatitude, double dLongitude, bool bCentre) override
    {
        Calls << MapScriptAddMarker(dLatitude, dLongitude, bCentre);
    }
};

struct ROW_T
{
    QString Command, Msg;
    bool bMarked;

    bool operator==(const ROW_T& o) const { return Command == o.Command && Msg == o.Msg && bMarked == o.bMarked; }
};
void PrintTo(const ROW_T& r, std::ostream* pOut)
{
    *pOut << (r.bMarked ? "*" : " ") << r.Command.toStdString() << " | " << r.Msg.toStdString();
}

class UserconfigTest : public StatusRoadTest
{
public:
    UserconfigTest()
    {
        Dialog.m_pPortTab = &Shell.Tabs;
        Dialog.SetMapPage(&Map);
        Map.Calls.clear();
        // The view names its port by ID; the tab set asks that port's tab.
        QObject::connect(&Dialog, &QUserconfigDiag::SignalSendUserconfig, &Shell.Tabs,
                         [this](uint UniquePortID, uint Mask)
                         { Shell.Tabs.OnRequestItem(Shell.Tabs.GetTabIndexByPortID(UniquePortID), Mask); });
        OnReply = [this](uint Mask)
        {
            if ((Mask & STATUS_MSG_USERCONFIG) != 0 && Dialog.isVisible())
                Dialog.OnUpdateDiag();
        };
        QFile::remove(UserconfigFilePath());
    }
    ~UserconfigTest() override
    {
        Dialog.SetMapPage(nullptr);
        QFile::remove(UserconfigFilePath());
    }

    static void WriteReference(const QByteArray& Text)
    {
        QDir().mkpath(QFileInfo(UserconfigFilePath()).path());
        QFile file(UserconfigFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Text);
    }
    void Reply(CMemoryPortCtrl& Port, const QStringList& Lines)
    {
        Port.Receive(("<USERCONFIG\r\n" + Lines.join(QStringLiteral("\r\n")) + "\r\n<USERCONFIG OK\r\n").toUtf8());
    }
    std::vector<ROW_T> Rows()
    {
        auto* pTable = Dialog.findChild<QTableWidget*>(QStringLiteral("pUserTableWidget"));
        std::vector<ROW_T> rows;
        for (int i = 0; i < pTable->rowCount(); ++i)
        {
            QTableWidgetItem* p0 = pTable->item(i, 0);
            QTableWidgetItem* p1 = pTable->item(i, 1);
            const bool bMarked = p0 && p0->font().weight() == 75 && p0->background().color() == QColor(222, 235, 245) &&
                                 p1 && p1->font().weight() == 75;
            rows.push_back({p0 ? p0->text() : QString(), p1 ? p1->text() : QString(), bMarked});
        }
        return rows;
    }
    QString Label(const char* pName) { return Dialog.findChild<QLabel*>(QLatin1String(pName))->text(); }
    bool Shown(const char* pName) { return !Dialog.findChild<QLabel*>(QLatin1String(pName))->isHidden(); }

    CRecordingMap Map;
    QUserconfigDiag Dialog;
};
} // namespace

TEST_F(UserconfigTest, MarksTheLinesOnlyTheReceiverOrOnlyTheReferenceHoldsAndShowsTheStation)
{
    WriteReference("PPS ENABLE GPS POSITIVE 0.5 1000 0 0\r\n"
                   "ECUTOFF USER GPS 5.0 GLO 5.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0\r\n"
                   "POSAVE ON 0.01 2 4\r\n"
                   "ICOMCONFIG ICOM1,TCP,:3001\r\n"
                   "NETCONFIG STATIC 192.168.1.20 255.255.255.0 192.168.1.1 BASE\r\n"
                   "FIX POSITION 31.5 121.01 12.5\r\n");
    CMemoryPortCtrl& port = AddMemoryPort();
    Dialog.OnShowDialog();
    EXPECT_EQ(Map.Calls, QStringList(QStringLiteral("show MapWidget")));
    EXPECT_EQ(Label("pPortTabName"), Shell.Tabs.tabText(Tab(port)));
    // One line changed (GLONASS cut-off), one missing (POSAVE), one extra
    // (RTKECUTOFF); the network and base station lines differ by design.
    Reply(port, {"FIX POSITION 31.5 121.01 12.5", "ICOMCONFIG ICOM1,TCP,:3001",
                 "ECUTOFF USER GPS 5.0 GLO 10.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0",
                 "RTKECUTOFF USER GPS 10.0 GLO 10.0 GAL 10.0 BDS 10.0 SBAS 10.0 QZSS 10.0",
                 "NETCONFIG STATIC 10.0.0.2 255.0.0.0 10.0.0.1 ROVER", "BASEID 7",
                 "PPS ENABLE GPS POSITIVE 0.5 1000 0 0"});
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    const std::vector<ROW_T> expected = {
        {"BASEID", "7", false},
        {"ECUTOFF", "USER GPS 5.0 GLO 10.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0", true},
        {"ECUTOFF", "USER GPS 5.0 GLO 5.0 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0", true},
        {"FIX", "POSITION 31.5 121.01 12.5", false},
        {"ICOMCONFIG ICOM1", "TCP,:3001", false},
        {"NETCONFIG", "STATIC 10.0.0.2 255.0.0.0 10.0.0.1 ROVER", false},
        {"NETCONFIG", "STATIC 192.168.1.20 255.255.255.0 192.168.1.1 BASE", false},
        {"POSAVE", "ON 0.01 2 4", true},
        {"PPS", "ENABLE GPS POSITIVE 0.5 1000 0 0", false},
        {"RTKECUTOFF", "USER GPS 10.0 GLO 10.0 GAL 10.0 BDS 10.0 SBAS 10.0 QZSS 10.0", true},
    };
    EXPECT_EQ(Rows(), expected);
    // Which side holds a marked line.
    auto* pTable = Dialog.findChild<QTableWidget*>(QStringLiteral("pUserTableWidget"));
    EXPECT_EQ(pTable->item(1, 0)->toolTip(), QStringLiteral("Only the receiver reports this line."));
    EXPECT_EQ(pTable->item(7, 1)->toolTip(), QStringLiteral("Only the reference file holds this line."));
    EXPECT_TRUE(Dialog.findChild<QLabel*>(QStringLiteral("pReferenceFileState"))->isHidden());

    EXPECT_EQ(Label("pBaseidValueLable"), QStringLiteral("7"));
    EXPECT_EQ(Label("pPosaveValueLable"), QString());
    EXPECT_EQ(Label("pFixStatusLable"), QStringLiteral("POSITION"));
    EXPECT_EQ(Label("pLatValueLable"), QStringLiteral("31.5"));
    EXPECT_EQ(Label("pLonValueLable"), QStringLiteral("121.01"));
    EXPECT_EQ(Label("pHeiValueLable"), QStringLiteral("12.5"));
    EXPECT_TRUE(Shown("pLatLable") && Shown("pHeiValueLable"));
    // One marker, centred, after all the lines.
    EXPECT_EQ(Map.Calls, (QStringList{"show MapWidget", "AddMarker(31.500000,121.010000,1)"}));
    Dialog.hide();
    EXPECT_EQ(Map.Calls.last(), QStringLiteral("release"));
}

TEST_F(UserconfigTest, TheStationShowsOnlyWhatItsLinesSay)
{
    WriteReference("");
    CMemoryPortCtrl& port = AddMemoryPort();
    Dialog.OnShowDialog();
    const struct
    {
        const char* pName;
        QStringList Lines;
        const char* pFix;
        bool bCoordinates;
        bool bMarker;
    } cases[] = {
        {"no fixed position", {"FIX NONE", "POSAVE OFF"}, "NONE", false, false},
        {"a fixed position without coordinates", {"FIX POSITION 31.5"}, "POSITION", false, false},
        {"coordinates that are no numbers", {"FIX POSITION north east 12"}, "POSITION", true, false},
        {"a setting that only begins like FIX", {"FIXDATUM WGS84", "BASEID"}, "", false, false},
        {"a fixed position south and west", {"FIX POSITION -33.25 -70.5 500"}, "POSITION", true, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        Map.Calls.clear();
        Dialog.OnUserconfigRefressh();
        Reply(port, c.Lines);
        ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
        EXPECT_EQ(Label("pFixStatusLable"), QLatin1String(c.pFix));
        EXPECT_EQ(Shown("pLonValueLable"), c.bCoordinates);
        EXPECT_EQ(Label("pBaseidValueLable"), QString());
        EXPECT_EQ(Map.Calls.size(), c.bMarker ? 1 : 0) << Map.Calls.join(' ').toStdString();
    }
    EXPECT_EQ(Map.Calls.value(0), QStringLiteral("AddMarker(-33.250000,-70.500000,1)"));
    EXPECT_EQ(Label("pPosaveValueLable"), QString());

    // A shorter reply leaves no row of the longer one; a line of one word shows that word.
    Dialog.OnUserconfigRefressh();
    Reply(port, {"SAVECONFIG"});
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    EXPECT_EQ(Rows(), (std::vector<ROW_T>{{"SAVECONFIG", "", true}}));
}

TEST_F(UserconfigTest, AReferenceFileThatCannotBeReadIsSaidAndOnlyTheAskedPortFillsTheView)
{
    CMemoryPortCtrl& other = AddMemoryPort();
    CMemoryPortCtrl& port = AddMemoryPort();
    QSignalSpy asked(&Dialog, &QUserconfigDiag::SignalSendUserconfig);
    Dialog.OnShowDialog();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toUInt(), port.UniquePortID);
    EXPECT_EQ(asked.at(0).at(1).toUInt(), 1u);
    auto* pState = Dialog.findChild<QLabel*>(QStringLiteral("pReferenceFileState"));

    // No reference file: said so; the receiver's lines are marked but for the network and base station.
    Reply(port, {"NETCONFIG STATIC 10.0.0.2 255.0.0.0 10.0.0.1 ROVER", "PPS ENABLE GPS POSITIVE 0.5 1000 0 0",
                 "baseid 7"});
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    EXPECT_FALSE(pState->isHidden());
    EXPECT_TRUE(pState->text().contains(QDir::toNativeSeparators(UserconfigFilePath()))) << pState->text().toStdString();
    EXPECT_EQ(Rows(), (std::vector<ROW_T>{{"NETCONFIG", "STATIC 10.0.0.2 255.0.0.0 10.0.0.1 ROVER", false},
                                          {"PPS", "ENABLE GPS POSITIVE 0.5 1000 0 0", true},
                                          {"baseid", "7", false}}));

    // Nor a folder, a FIFO (never waited on) or a huge file where the file should be.
    ForEachBlockedFile(
        UserconfigFilePath(), [&] { WriteReference(QByteArray(1024 * 1024 + 1, '\n')); }, "it is larger than 1024 KB",
        [&](const char* pWhy)
        {
            Dialog.OnUserconfigRefressh();
            Reply(port, {"PPS ENABLE GPS POSITIVE 0.5 1000 0 0"});
            ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
            EXPECT_FALSE(pState->isHidden());
            EXPECT_TRUE(pState->text().contains(QStringLiteral("(%1)").arg(QLatin1String(pWhy))))
                << pState->text().toStdString();
        });

    // Another port's reply, asked by another window, changes nothing.
    WriteReference("PPS ENABLE GPS POSITIVE 0.5 1000 0 0\n");
    Shell.Tabs.OnRequestItem(Tab(other), STATUS_MSG_USERCONFIG);
    Reply(other, {"FIX POSITION 1 2 3", "POSAVE ON 0.01 2 4"});
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Label("pFixStatusLable"), QString());
    EXPECT_FALSE(pState->isHidden());

    // Its own reply, with the file back: nothing differs.
    Dialog.OnUserconfigRefressh();
    Reply(port, {"PPS ENABLE GPS POSITIVE 0.5 1000 0 0"});
    ASSERT_TRUE(Replied(STATUS_MSG_USERCONFIG));
    EXPECT_TRUE(pState->isHidden());
    EXPECT_EQ(Rows(), (std::vector<ROW_T>{{"PPS", "ENABLE GPS POSITIVE 0.5 1000 0 0", false}}));

    // Opened on the other port: that port is asked and nothing of the first is shown.
    Shell.Tabs.setCurrentIndex(Tab(other));
    Dialog.OnShowDialog();
    EXPECT_EQ(asked.last().at(0).toUInt(), other.UniquePortID);
    EXPECT_TRUE(Rows().empty());
}
