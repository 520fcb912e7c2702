// The "Port Connect" window: serial ports on pseudo-terminals listed with
// their state (one held by another program), connected several at once, and
// the receivers a responder on the loopback address announces, whose web
// page opens from the host-name button. The window's mDNS server talks to
// that responder only.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

#include "monitor/ports/mdns/mdns_server.h"
#include "monitor/ports/serial_port_list.h"
#include "monitor/ports/mdns/service_model.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/connect/port_list_connect_diag.h"
#include "support/monitor/mdns_responder.h"
#include "support/scripted_prompt.h"

namespace
{
const QByteArray TYPE = MDNS_RECEIVER_SERVICE_TYPE;

// A pseudo-terminal that stands for a serial port.
struct Pty
{
    Pty()
    {
        char name[256] = {};
        openpty(&Master, &Slave, name, nullptr, nullptr);
        Path = QString::fromLocal8Bit(name);
    }
    ~Pty()
    {
        ::close(Slave);
        ::close(Master);
    }
    int Master = -1;
    int Slave = -1;
    QString Path;
};

class PortListDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qRegisterMetaType<QZvPortCtrlBase::PORT_TYPE_E>();
        m_SavedConfig = Mdns::Server::DefaultConfig();
        Mdns::Server::DefaultConfig() = m_Responder.LoopbackConfig();
        m_SavedTiming = Mdns::Timing();
        Mdns::Timing().QueryFirstMs = 60000; // only the window's own refreshes ask
        Mdns::Timing().ServiceDelayMs = 10;
        Mdns::Timing().ResolveFirstMs = 50;
        QStringList ports;
        for (const Pty& pty : m_Ptys)
            ports << pty.Path;
        SetSerialPortLister(
            [ports](QStringList& List, QString&)
            {
                List = ports;
                return 0;
            });
        m_pDialog = std::make_unique<QPortListConnectDiag>();
    }
    void TearDown() override
    {
        m_pDialog.reset();
        SetSerialPortLister({});
        Mdns::Server::DefaultConfig() = m_SavedConfig;
        Mdns::Timing() = m_SavedTiming;
    }
    template <typename T> T* Widget(const char* pName) { return m_pDialog->findChild<T*>(QLatin1String(pName)); }
    QTableWidget* Table() { return Widget<QTableWidget>("m_pPortTableWidget"); }
    QCheckBox* Check(int nRow) { return qobject_cast<QCheckBox*>(Table()->cellWidget(nRow, 0)); }
    QComboBox* Baud(int nRow) { return qobject_cast<QComboBox*>(Table()->cellWidget(nRow, 1)); }
    QStringList Flags(int nRow)
    {
        QStringList cells;
        for (int c = 2; c < 6; ++c)
            cells << Table()->item(nRow, c)->text();
        return cells;
    }
    void ShowWebList()
    {
        m_pDialog->ShowDiag();
        Widget<QTabWidget>("m_PortTabWidget")->setCurrentIndex(QPortListConnectDiag::PAGE_WEB_LIST);
    }
    // Paints the web list (the buttons exist once painted) and clicks a cell.
    void ClickWebCell(int nRow, int nColumn)
    {
        auto* pView = Widget<QTableView>("m_pWebTableView");
        pView->grab();
        const QRect rect = pView->visualRect(pView->model()->index(nRow, nColumn));
        QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    Mdns::SERVER_CONFIG_T m_SavedConfig;
    Mdns::DISCOVERY_TIMING_T m_SavedTiming;
    CMdnsResponder m_Responder{TYPE};
    Pty m_Ptys[3];
    CScriptedPrompt m_Prompt;
    std::unique_ptr<QPortListConnectDiag> m_pDialog;
};

TEST_F(PortListDialog, PortsHeldElsewhereAreOccupiedAndTheFreeOnesConnectTogether)
{
    // Another program holds the second port.
    const int fd = ::open(m_Ptys[1].Path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(0, ::flock(fd, LOCK_EX | LOCK_NB));
    m_pDialog->ShowDiag();
    ::close(fd);

    ASSERT_EQ(3, Table()->rowCount());
    for (int row = 0; row < 3; ++row)
    {
        EXPECT_EQ(m_Ptys[row].Path, Check(row)->text());
        EXPECT_EQ(m_Ptys[row].Path, Table()->item(row, 2)->text());
        EXPECT_EQ("115200", Baud(row)->currentText());
    }
    EXPECT_EQ(QStringList({m_Ptys[0].Path, "No", "No", "No"}), Flags(0));
    EXPECT_EQ(QStringList({m_Ptys[1].Path, "No", "Yes", "No"}), Flags(1));
    EXPECT_FALSE(Check(1)->isEnabled());
    EXPECT_FALSE(Baud(1)->isEnabled());
    EXPECT_EQ("Connected", Table()->horizontalHeaderItem(5)->text());
    if (!qEnvironmentVariableIsEmpty("ZV_UI_SHOTS"))
        m_pDialog->grab().save(qEnvironmentVariable("ZV_UI_SHOTS") + "/port_list_ports.png");

    // "Select All" (on at the start) checks every free port after a refresh.
    EXPECT_TRUE(Check(0)->isChecked());
    EXPECT_FALSE(Check(1)->isChecked());
    EXPECT_TRUE(Check(2)->isChecked());
    QTest::mouseClick(Widget<QCheckBox>("pSelectAllCheckBox"), Qt::LeftButton);
    EXPECT_FALSE(Check(0)->isChecked());
    EXPECT_FALSE(Check(2)->isChecked());
    QTest::mouseClick(Widget<QCheckBox>("pSelectAllCheckBox"), Qt::LeftButton);
    QTest::mouseClick(Widget<QPushButton>("RefreshButton"), Qt::LeftButton);
    EXPECT_TRUE(Check(0)->isChecked());
    EXPECT_EQ(QStringList({m_Ptys[1].Path, "No", "No", "No"}), Flags(1)) << "free again after the refresh";

    Check(1)->setChecked(false);
    Baud(0)->setCurrentText("Auto");
    Baud(2)->setCurrentText("460800");
    QList<UART_CONFIG_T> records;
    QObject::connect(m_pDialog.get(), &QPortListConnectDiag::SignalConnect,
                     [&records](QZvPortCtrlBase::PORT_TYPE_E eType, void* pData)
                     {
                         EXPECT_EQ(QZvPortCtrlBase::PORT_TYPE_UART, eType);
                         records << *static_cast<const UART_CONFIG_T*>(pData);
                     });
    QTest::mouseClick(Widget<QPushButton>("ConnectButtion"), Qt::LeftButton);
    ASSERT_EQ(2, records.size());
    EXPECT_EQ(m_Ptys[0].Path, records[0].PortName);
    EXPECT_EQ(0u, records[0].BaudRate);
    EXPECT_EQ(m_Ptys[2].Path, records[1].PortName);
    EXPECT_EQ(460800u, records[1].BaudRate);
    for (const UART_CONFIG_T& r : records)
    {
        EXPECT_EQ(8, r.ByteSize);
        EXPECT_EQ(0, r.Parity);
        EXPECT_EQ(0, r.StopBits);
    }
    EXPECT_FALSE(m_pDialog->isVisible());
}

TEST_F(PortListDialog, AReceiverButtonOpensItsPageAndClosingPausesDiscovery)
{
    MDNS_RECEIVER_T rx1;
    rx1.Instance = "rx1";
    rx1.Host = "rx1.local.";
    rx1.IPv4 = QHostAddress("127.0.0.21");
    rx1.Txt = {{"BoardType", "B9"}, {"SN", "S1"}};
    MDNS_RECEIVER_T rx6 = rx1;
    rx6.Instance = "rx6";
    rx6.Host = "rx6.local.";
    rx6.IPv4 = QHostAddress();
    rx6.IPv6 = QHostAddress("2001:db8::6"); // an IPv6 address needs brackets in a link
    MDNS_RECEIVER_T silent = rx1;
    silent.Instance = "quiet";
    silent.Host = "quiet.local.";
    silent.IPv4 = QHostAddress(); // answers no address question
    for (const MDNS_RECEIVER_T& r : {rx1, rx6, silent})
        m_Responder.Announce(r);
    m_Responder.WithAdditionals = true;

    ShowWebList();
    EXPECT_TRUE(Widget<QPushButton>("ConnectButtion")->isHidden());
    ServiceModel* pModel = m_pDialog->GetServiceModel();
    ASSERT_NE(nullptr, pModel);
    const auto rowOf = [pModel](const char* pName)
    {
        for (int i = 0; i < pModel->rowCount(); ++i)
            if (pModel->index(i, 1).data().toString() == pName)
                return i;
        return -1;
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            return pModel->rowCount() == 3 && !pModel->index(rowOf("rx1"), 3).data().toString().isEmpty() &&
                   !pModel->index(rowOf("rx6"), 3).data().toString().isEmpty();
        },
        10000));
    auto* pView = Widget<QTableView>("m_pWebTableView");
    EXPECT_EQ(240, pView->columnWidth(1));
    // The IPv6 address is shown whole, however narrow its column starts.
    const int nShown = pView->columnWidth(3);
    pView->resizeColumnToContents(3);
    EXPECT_LE(pView->columnWidth(3), nShown);
    pView->setColumnWidth(3, nShown);
    if (!qEnvironmentVariableIsEmpty("ZV_UI_SHOTS"))
    {
        m_pDialog->grab().save(qEnvironmentVariable("ZV_UI_SHOTS") + "/port_list_web.png");
        InstallMonitorTranslations(QStringLiteral("zh"));
        m_pDialog->OnLanguageUpdate();
        m_pDialog->grab().save(qEnvironmentVariable("ZV_UI_SHOTS") + "/port_list_web_zh.png");
        InstallMonitorTranslations(QStringLiteral("en"));
        m_pDialog->OnLanguageUpdate();
    }

    // A receiver without an address opens nothing and the window stays.
    ClickWebCell(rowOf("quiet"), 1);
    EXPECT_TRUE(m_Prompt.OpenedUrls.isEmpty());
    EXPECT_TRUE(m_pDialog->isVisible());
    ClickWebCell(rowOf("rx6"), 1);
    ASSERT_EQ(1, m_Prompt.OpenedUrls.size());
    EXPECT_EQ("http://[2001:db8::6]", m_Prompt.OpenedUrls[0].toString());
    EXPECT_FALSE(m_pDialog->isVisible());

    // Closed, the window asks nothing more, whatever time passes (what was
    // on its way before has arrived after the first wait).
    QTest::qWait(150);
    const int nAsked = m_Responder.Questions.size();
    QTest::qWait(400);
    EXPECT_EQ(nAsked, m_Responder.Questions.size());
    EXPECT_FALSE(m_pDialog->GetServer()->IsRebindTimerActive());

    // Shown again on the web list, it starts over and the IPv4 receiver opens.
    m_pDialog->ShowDiag();
    ASSERT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, m_Responder.QueryCount(TYPE, MDNS_TYPE_PTR) + 1));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return rowOf("rx1") >= 0 && !pModel->index(rowOf("rx1"), 3).data().toString().isEmpty(); }, 10000));
    ClickWebCell(rowOf("rx1"), 1);
    ASSERT_EQ(2, m_Prompt.OpenedUrls.size());
    EXPECT_EQ("http://127.0.0.21", m_Prompt.OpenedUrls[1].toString());
}

TEST_F(PortListDialog, RefreshOnThePortListSendsNothingToTheNetwork)
{
    ShowWebList();
    ASSERT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, 1));
    Widget<QTabWidget>("m_PortTabWidget")->setCurrentIndex(QPortListConnectDiag::PAGE_PORT_LIST);
    EXPECT_FALSE(Widget<QPushButton>("ConnectButtion")->isHidden());
    QTest::mouseClick(Widget<QPushButton>("RefreshButton"), Qt::LeftButton);
    QTest::qWait(300);
    EXPECT_EQ(1, m_Responder.QueryCount(TYPE, MDNS_TYPE_PTR));
    EXPECT_EQ(3, Table()->rowCount());

    // On the web list one click asks once.
    Widget<QTabWidget>("m_PortTabWidget")->setCurrentIndex(QPortListConnectDiag::PAGE_WEB_LIST);
    ASSERT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, 2));
    QTest::mouseClick(Widget<QPushButton>("RefreshButton"), Qt::LeftButton);
    ASSERT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, 3));
    QTest::qWait(300);
    EXPECT_EQ(3, m_Responder.QueryCount(TYPE, MDNS_TYPE_PTR));
}
} // namespace
