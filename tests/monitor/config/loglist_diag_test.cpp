// The log list window: every log of its port's log list reply in a row,
// whatever its name, periods sorted as numbers, and only the asked port's
// reply filling it.
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include "monitor/config/loglist_diag.h"
#include "status_road_fixture.h"

namespace
{
class LoglistTest : public StatusRoadTest
{
public:
    LoglistTest()
    {
        Dialog.m_pPortTab = &Shell.Tabs;
        QObject::connect(&Dialog, &QLoglistDiag::SignalSendLoglistMask, &Shell.Tabs, &CPortTab::OnRequestItem);
        OnReply = [this](uint Mask)
        {
            if ((Mask & STATUS_MSG_LOGLIST) != 0 && Dialog.isVisible())
                Dialog.OnUpdateDiag();
        };
    }
    QTableWidget* Table() { return Dialog.findChild<QTableWidget*>(QStringLiteral("pLoglistTableWidget")); }
    // The rows as shown, "PORT|NAME|TRIGGER|PERIOD".
    QStringList Rows()
    {
        QStringList rows;
        for (int i = 0; i < Table()->rowCount(); ++i)
        {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << (Table()->item(i, c) ? Table()->item(i, c)->text() : QString());
            rows << cells.join('|');
        }
        return rows;
    }
    QString Column(int c)
    {
        QStringList cells;
        for (int i = 0; i < Table()->rowCount(); ++i)
            cells << Table()->item(i, c)->text();
        return cells.join(' ');
    }
    void ClickHeader(int c)
    {
        QHeaderView* pHeader = Table()->horizontalHeader();
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(pHeader->sectionViewportPosition(c) + 5, pHeader->height() / 2));
    }

    QLoglistDiag Dialog;
};
} // namespace

TEST_F(LoglistTest, ListsEveryLogOfItsPortsReplyAndSortsPeriodsAsNumbers)
{
    CMemoryPortCtrl& other = AddMemoryPort();
    CMemoryPortCtrl& port = AddMemoryPort();
    QSignalSpy asked(&Dialog, &QLoglistDiag::SignalSendLoglistMask);
    Dialog.OnShowDialog();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toUInt(), static_cast<uint>(Tab(port)));
    EXPECT_EQ(asked.at(0).at(1).toUInt(), 4u);
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("pPortTabName"))->text(), Shell.Tabs.tabText(Tab(port)));

    // Logs this program has no name for are listed as the receiver gives them.
    port.Receive(LogListReply({{"COM1", "GPGGA", "ONTIME", 0.2},
                               {"COM1", "BESTPOSA", "ONTIME", 10},
                               {"COM2", "FUTURELOG7B", "ONTIME", 1234567},
                               {"ICOM1", "RTCM1230", "ONCHANGED", 0}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    // A long period reads as a plain number, never in exponent form.
    EXPECT_EQ(Rows(), (QStringList{"COM1|GPGGA|ONTIME|0.2", "COM1|BESTPOSA|ONTIME|10", "COM2|FUTURELOG7B|ONTIME|1234567",
                                   "ICOM1|RTCM1230|ONCHANGED|0"}));

    // Header clicks sort ascending, then descending, whatever the column.
    ClickHeader(3);
    EXPECT_EQ(Column(3), QStringLiteral("0 0.2 10 1234567"));
    ClickHeader(3);
    EXPECT_EQ(Column(3), QStringLiteral("1234567 10 0.2 0"));
    ClickHeader(1);
    EXPECT_EQ(Column(1), QStringLiteral("BESTPOSA FUTURELOG7B GPGGA RTCM1230"));
    ClickHeader(0);
    EXPECT_EQ(Column(0), QStringLiteral("ICOM1 COM2 COM1 COM1"));

    // The other port's reply, asked by another window, changes nothing.
    Shell.Tabs.OnRequestItem(Tab(other), STATUS_MSG_LOGLIST);
    other.Receive(LogListReply({{"COM3", "RANGEB", "ONTIME", 1}}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Table()->rowCount(), 4);

    // " Refresh": an empty log list empties the table.
    QTest::mouseClick(Dialog.findChild<QPushButton*>(QStringLiteral("pRefreshButton")), Qt::LeftButton);
    EXPECT_EQ(asked.count(), 2);
    port.Receive(LogListReply({}));
    ASSERT_TRUE(Replied(STATUS_MSG_LOGLIST));
    EXPECT_EQ(Table()->rowCount(), 0);

    // Without a port nothing is asked and no name is shown.
    Shell.Tabs.OnClosePort(Tab(port));
    Shell.Tabs.OnClosePort(Tab(other));
    Dialog.OnRefressh();
    EXPECT_EQ(asked.count(), 2);
    EXPECT_EQ(Dialog.findChild<QLabel*>(QStringLiteral("pPortTabName"))->text(), QString());
}
