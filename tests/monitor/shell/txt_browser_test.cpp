// The data view of a port: a fake receiver's stream over a pseudo-terminal
// and over TCP shown whole and decoded as the codec formats it; the display
// modes and the automatic choice; the baud-rate question on a noisy line;
// the markers, pause and stable mode; the context menu with its redirect; the
// screen log; and a document that stays bounded however long the stream.
#include <gtest/gtest.h>

#include <QActionGroup>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>
#include <ctime>
#include <memory>

#include "codec/profile.h"
#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/ports/uart_port_ctrl.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/port_view_host.h"
#include "monitor/shell/script_process.h"
#include "monitor/shell/txt_browser.h"
#include "support/frame_builders.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/monitor/receiver_ports.h"
#include "support/monitor/receiver_stream.h"
#include "support/profile_fixture.h"
#include "support/scripted_prompt.h"

namespace
{
using PORT_TYPE_E = QZvPortCtrlBase::PORT_TYPE_E;

// The tab set as the views see it, recording what the menu asks of it.
class Tabs : public QTabWidget, public CPortViewHost
{
public:
    Tabs() { resize(900, 500); }
    CZvTxtBrowser* Add(QZvPortCtrlBase* pCtrl, const QString& sText)
    {
        auto* pView = new CZvTxtBrowser();
        pView->m_pPortCtrl = pCtrl;
        pView->m_pPortTab = this;
        pView->setProperty("PortUniqueID", pCtrl->UniquePortID);
        addTab(pView, sText);
        QObject::connect(pCtrl, &QZvPortCtrlBase::SignalUpdateUI, pView, &CZvTxtBrowser::OnUpdateData);
        return pView;
    }
    int GetTabCount() const override { return count(); }
    QString GetTabText(int i) const override { return tabText(i); }
    CZvTxtBrowser* GetTxView(int i) const override { return qobject_cast<CZvTxtBrowser*>(widget(i)); }
    CZvTxtBrowser* GetCurTxView() const override { return qobject_cast<CZvTxtBrowser*>(currentWidget()); }
    QPosDataParser* GetPosDataParser() const override { return &Parser; }
    bool IsStableMode() const override { return bStable; }
    void OnTriggerCurTxViewStopShow() override
    {
        ++Pauses;
        GetCurTxView()->TogglePause();
    }
    void OnLockTabOne() override { ++Locks; }
    void OnRenameTabDiag() override { ++Renames; }
    void OnSetLogFilename() override { ++LogFiles; }
    void EmitCurPortConfig() override { ++Configs; }

    mutable QPosDataParser Parser;
    bool bStable = false;
    int Pauses = 0, Locks = 0, Renames = 0, LogFiles = 0, Configs = 0;
};

QByteArray Joined(const QSignalSpy& Spy)
{
    QByteArray all;
    for (const QList<QVariant>& args : Spy)
        all += args.at(0).toByteArray();
    return all;
}

QByteArray ReadFile(const QString& sPath)
{
    QFile f(sPath);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Bytes that read as neither text nor frames, as a UART at the wrong rate sees them.
QByteArray Noise(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = static_cast<char>(1 + (i * 7) % 7);
    return b;
}

QAction* FindAction(QMenu* pMenu, const QString& sText)
{
    for (QAction* p : pMenu->actions())
    {
        if (p->text() == sText)
            return p;
        if (p->menu() != nullptr)
            if (QAction* q = FindAction(p->menu(), sText))
                return q;
    }
    return nullptr;
}

QStringList Texts(const QMenu* pMenu)
{
    QStringList s;
    for (const QAction* p : pMenu->actions())
        if (!p->isSeparator())
            s << p->text();
    return s;
}

QMenu* OpenMenu(CZvTxtBrowser& View)
{
    View.OnContextMenuRequesred(QPoint(5, 5));
    return View.ContextMenu();
}
} // namespace

TEST(TxtBrowser, AFakeReceiversStreamIsShownWholeOverSerialAndTcp)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    for (const bool bTcp : {false, true})
    {
        SCOPED_TRACE(bTcp ? "TCP" : "serial");
        RECEIVER_RULES_T rules;
        rules.Port = bTcp ? "ICOM1" : "COM2";
        FakeReceiver rx(rules);
        ASSERT_TRUE(bTcp ? rx.Listen() != 0 : rx.Plug());
        Tabs tabs;
        CZvTxtBrowser* pView = nullptr;
        auto addView = [&](QZvPortCtrlBase* pCtrl) { pView = tabs.Add(pCtrl, QStringLiteral("COM9")); };
        PortPtr port = bTcp ? OpenTcpPort(rx, addView) : OpenUartPort(rx, 115200, addView);
        pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
        tabs.show();
        QSignalSpy shown(pView, &CZvTxtBrowser::SignalUpdateOutMsg);
        // The port asks for the board's properties as it opens; its reply may
        // reach the controller before the view is connected, so the wait is
        // for the controller to have it, not for the view to show it.
        ASSERT_TRUE(WaitUntil([&] { return port->IsPropertyValid(); }));
        QTest::qWait(100);
        shown.clear();
        rx.ClearSent();

        rx.StartStream(STREAM_ALL, 100000);
        ASSERT_TRUE(WaitUntil([&] { return rx.SentBytes() >= 100000; }));
        rx.StopStream();
        const std::vector<STREAM_ITEM_T> sent = rx.Sent();
        size_t nWire = 0, nBestpos = 0;
        for (const STREAM_ITEM_T& it : sent)
        {
            nWire += it.Wire.size();
            nBestpos += it.Name == "BESTPOSB" || it.Name == "BESTPOSA";
        }
        // Binary and text logs are each counted once: the text made of a
        // binary log does not come back as a text log.
        const int nBestposSlot = CatalogueIndexOf(42);
        ASSERT_TRUE(WaitUntil([&] { return pView->m_pRangeData->Counts[nBestposSlot] >= nBestpos; }));
        QTest::qWait(300);
        EXPECT_EQ(pView->m_pRangeData->Counts[nBestposSlot], nBestpos);
        const std::string text = Joined(shown).toStdString();
        size_t nUsed = 0;
        const size_t nMatched = MatchShownText(text, sent, &nUsed);
        ASSERT_EQ(nMatched, sent.size()) << "first difference in " << sent[nMatched].Name << ":\n"
                                         << sent[nMatched].Text.substr(0, 200) << "\nshown:\n"
                                         << text.substr(nUsed, 200);
        EXPECT_EQ(nUsed, text.size());
        EXPECT_EQ(rx.UnsentBytes(), 0u);
        EXPECT_GT(nWire, 100000u);

        // The position parser read the NMEA of the current port.
        const POS_DATA_T& pos = tabs.Parser.m_PosData;
        EXPECT_NEAR(pos.Latitude * 180.0 / M_PI, 30.5283, 1e-4);
        EXPECT_NEAR(pos.Longitude * 180.0 / M_PI, 114.3558, 1e-4);
        // The document holds the newest lines, ending with the last one sent.
        EXPECT_LE(pView->document()->blockCount(), CZvTxtBrowser::MAX_BLOCKS);
        const QString sLast = QString::fromStdString(sent.back().Text).trimmed();
        // The view may show the last batch a moment after parsing it.
        EXPECT_TRUE(WaitUntil(
            [&] {
                return pView->toPlainText().trimmed().endsWith(sLast.left(sLast.indexOf('\n') < 0 ? sLast.size() : 0));
            }));
    }
}

TEST(TxtBrowser, AutoDecidesOnWhatItCollectedAndDisplayModesShowTheirForm)
{
    struct CASE_T
    {
        const char* Name;
        int Batch;
        int Binary; // bytes that are not printable
        const char* Result;
    };
    const CASE_T cases[] = {
        {"a 10001-byte batch with 50 binary bytes", 10001, 50, "BIN_2_ASCII"},
        {"a 10001-byte batch with 49 binary bytes", 10001, 49, "ASCII"},
        {"a short batch of binary bytes decides at once", 3000, 3000, "BIN_2_ASCII"},
        {"a short batch of text decides nothing yet", 3000, 0, ""},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CMemoryPortCtrl ctrl;
        Tabs tabs;
        CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("127.0.0.1:3001"));
        QByteArray batch(c.Batch, 'a');
        for (int i = 0; i < c.Binary; ++i)
            batch[i * (c.Batch / c.Binary)] = '\x01';
        ctrl.Receive(batch);
        EXPECT_EQ(pView->m_sAutoResult, QString::fromLatin1(c.Result));
        EXPECT_EQ(pView->m_sDisplayMode, QStringLiteral("Auto Detection"));
        EXPECT_EQ(pView->m_AutoMode, *c.Result == 'B' ? 3u : 1u);
        EXPECT_EQ(pView->m_bAutoDecided, *c.Result != '\0');
    }

    // Each mode's form, as the screen log keeps it.
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    QTemporaryDir dir;
    CScriptedPrompt prompt;
    CMemoryPortCtrl ctrl;
    Tabs tabs;
    CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("127.0.0.1:3001"));
    tabs.show();
    prompt.Paths.push_back(dir.filePath("screen.log"));
    pView->SetLogScreen();
    ASSERT_TRUE(pView->m_bLogScreen);

    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_HEX;
    ctrl.Receive(QByteArray("\xAA\x44\x12", 3));
    EXPECT_EQ(pView->m_sDisplayMode, QStringLiteral("Hex"));
    EXPECT_EQ(pView->toPlainText(), QStringLiteral("aa 44 12 \n"));
    ctrl.Receive(QByteArray(65, 'A'));
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
    ctrl.Receive(QByteArray("abc\0def\r\n", 9));
    EXPECT_EQ(pView->m_sDisplayMode, QStringLiteral("ASCII"));
    // Auto, still undecided: shown as text, and logged as shown.
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_AUTO;
    ctrl.Receive("$GPGGA,1*00\r\n");
    pView->SetLogScreen(); // off: the file is closed
    EXPECT_FALSE(pView->m_bLogScreen);
    ctrl.Receive("not logged\r\n");
    QByteArray expected = "aa 44 12 \r\n";
    for (int i = 0; i < 64; ++i)
        expected += "41 ";
    expected += "\r\n41 \r\n";
    expected += "abcdef\r\n$GPGGA,1*00\r\n";
    EXPECT_EQ(ReadFile(dir.filePath("screen.log")), expected);

    // A file that exists is replaced only when the user says so.
    prompt.Paths.push_back(dir.filePath("screen.log"));
    prompt.Answers.push_back(false);
    pView->SetLogScreen();
    EXPECT_FALSE(pView->m_bLogScreen);
    EXPECT_EQ(prompt.Questions.last(), QStringLiteral("File exists|Do you wish to replace"));
}

TEST(TxtBrowser, ANoisySerialLineAsksOnceForTheOtherRateAndThenDecodes)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    CScriptedPrompt prompt;
    prompt.Answers.push_back(true);
    // The receiver talks at 460800; the port opens at 115200 without asking.
    RECEIVER_RULES_T rules;
    rules.Rate = 460800;
    FakeReceiver rx(rules);
    ASSERT_TRUE(rx.Plug());
    // Professional mode keeps a port that gets no answer to its query.
    QZvPortCtrlBase::SetProcessMode(true);
    std::shared_ptr<void> restore(nullptr, [](void*) { QZvPortCtrlBase::SetProcessMode(false); });
    Tabs tabs;
    CZvTxtBrowser* pView = nullptr;
    PortPtr port =
        OpenUartPort(rx, 115200, [&](QZvPortCtrlBase* pCtrl) { pView = tabs.Add(pCtrl, QStringLiteral("COM9")); });
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
    tabs.show();
    rx.StartStream(STREAM_BINARY_LOGS | STREAM_NMEA, 50000);
    ASSERT_TRUE(WaitUntil([&] { return !prompt.Questions.isEmpty(); }));
    EXPECT_EQ(prompt.Questions, QStringList({"BaudRate Err|COM9 Baud rate mismatch\r\n"
                                             "Determine to switch baud rate to 460800"}));
    // "Yes" switches the port; the logs decode from then on.
    ASSERT_TRUE(WaitUntil([&] { return rx.Rx().SlaveRate() == 460800u; }));
    const int nBestposSlot = CatalogueIndexOf(42);
    ASSERT_TRUE(WaitUntil([&] { return pView->m_pRangeData->Counts[nBestposSlot] >= 3; }));
    rx.StopStream();
    EXPECT_EQ(prompt.Questions.size(), 1);

    // A second unreadable stretch asks nothing; neither does a TCP port.
    pView->m_pBinaryMsgParser->bReadable = true;
    pView->OnUpdateData(port->UniquePortID, port->PortType, Noise(20000));
    CMemoryPortCtrl tcp;
    CZvTxtBrowser* pTcpView = tabs.Add(&tcp, QStringLiteral("127.0.0.1:3001"));
    pTcpView->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
    tcp.Receive(Noise(20000));
    EXPECT_TRUE(pTcpView->m_bBaudPromptShown);
    EXPECT_EQ(prompt.Questions.size(), 1);
}

TEST(TxtBrowser, MarkersPauseAndStableModeDecideWhatRunsBesideTheDisplay)
{
    struct CASE_T
    {
        const char* Name;
        bool Paused, Stable, Current;
        bool Fed; // position parser, message filter and markers
    };
    const CASE_T cases[] = {
        {"current port", false, false, true, true},
        {"paused", true, false, true, true},
        {"stable mode", false, true, true, false},
        {"not the current port", false, false, false, false},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CMemoryPortCtrl ctrl, other;
        Tabs tabs;
        CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("A"));
        tabs.Add(&other, QStringLiteral("B"));
        tabs.setCurrentIndex(c.Current ? 0 : 1);
        tabs.show();
        pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
        pView->m_bPause = c.Paused;
        pView->m_bNvmDump = pView->m_bRescueModem = true;
        tabs.bStable = c.Stable;
        QSignalSpy out(pView, &CZvTxtBrowser::SignalUpdateOutMsg);
        QSignalSpy nvm(pView, &CZvTxtBrowser::SignalNVMComplete);
        QSignalSpy rescue(pView, &CZvTxtBrowser::SignalRescueModemBoardReset);
        auto gga = [](const char* pTime)
        {
            return QByteArray::fromStdString(Nmea(std::string("GPGGA,") + pTime +
                                                  ",3031.69800,N,11421.34800,E,4,12,0.8,36.250,M,-12.10,M,1.0,2003"));
        };
        ctrl.Receive(gga("024915.00") + "==NMV Dump Complete! CC");
        ctrl.Receive("CC\r\n" + gga("024916.00"));
        EXPECT_EQ(out.count(), c.Fed ? 2 : 0);
        EXPECT_EQ(nvm.count(), c.Stable ? 0 : 1) << "any port waits for its own dump";
        EXPECT_EQ(rescue.count(), c.Stable ? 0 : 1);
        if (!c.Stable)
        {
            EXPECT_EQ(rescue.at(0).at(0).toUInt(), ctrl.UniquePortID);
        }
        EXPECT_EQ(tabs.Parser.m_PosData.Latitude != 0.0, c.Fed);
        if (c.Current)
        {
            EXPECT_EQ(pView->toPlainText().isEmpty(), c.Paused);
        }
    }
}

TEST(TxtBrowser, ContextMenuOffersTheModesAndRedirectsToOtherPorts)
{
    CScriptedPrompt prompt;
    QTemporaryDir dir;
    Tabs tabs;
    auto serial = std::make_unique<QZvUartPortCtrl>();
    UART_CONFIG_T config;
    config.PortName = QStringLiteral("/dev/ttyUSB0");
    config.BaudRate = 115200;
    serial->SetPortConfig(&config);
    CZvTxtBrowser* pView = tabs.Add(serial.get(), QStringLiteral("ttyUSB0"));
    // Redirect targets: 20 TCP ports, a caster and a replay; only 17 are listed.
    std::vector<std::unique_ptr<CMemoryPortCtrl>> others;
    others.push_back(std::make_unique<CMemoryPortCtrl>(QZvPortCtrlBase::PORT_TYPE_NTRIP, QStringLiteral("RTCM32")));
    others.push_back(std::make_unique<CMemoryPortCtrl>(QZvPortCtrlBase::PORT_TYPE_REPLAY, QStringLiteral("a.log")));
    for (int i = 0; i < 20; ++i)
        others.push_back(
            std::make_unique<CMemoryPortCtrl>(QZvPortCtrlBase::PORT_TYPE_TCP, QStringLiteral("10.0.0.%1").arg(i)));
    for (auto& p : others)
        tabs.Add(p.get(), QStringLiteral("T%1").arg(p->UniquePortID));
    tabs.show();

    QMenu* pMenu = OpenMenu(*pView);
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(OpenMenu(*pView), pMenu) << "one menu at a time";
    EXPECT_EQ(Texts(pMenu), QStringList({"Display Mode", "No wrap line", "Ref Pos Msg", "Redirect", "Pause", "Copy",
                                         "Copy All", "Clear", "Stop Record", "Set log screen path", "Log", "9600",
                                         "115200", "230400", "460800", "921600", "Lock", "Rename", "Session Option"}));
    QMenu* pRedirect = FindAction(pMenu, "Redirect")->menu();
    const QStringList targets = Texts(pRedirect);
    ASSERT_EQ(targets.size(), CZvTxtBrowser::MAX_REDIRECT_ACTIONS);
    EXPECT_EQ(targets.first(), QStringLiteral("10.0.0.0 (T%1)").arg(others[2]->UniquePortID));
    EXPECT_TRUE(FindAction(pMenu, "115200")->isChecked());

    // Redirect to the first TCP port: this port's bytes are written there.
    CMemoryPortCtrl* pTarget = others[2].get();
    QAction* pToTarget = pRedirect->actions().first();
    pToTarget->setChecked(true);
    pRedirect->triggered(pToTarget);
    EXPECT_EQ(pView->m_RedirectPortIDs, QList<uint>{pTarget->UniquePortID});
    emit serial->SignalUpdateUI(serial->UniquePortID, serial->PortType, "$GPGGA,1*00\r\n");
    EXPECT_EQ(pTarget->Written, QByteArray("$GPGGA,1*00\r\n"));
    FindAction(pMenu, "Hex")->trigger();
    EXPECT_EQ(pView->m_DisplayMode, 2u);
    EXPECT_EQ(pView->m_sDisplayMode, QStringLiteral("Hex"));
    for (const char* p : {"Lock", "Rename", "Session Option", "Log", "Pause"})
        FindAction(pMenu, p)->trigger();
    EXPECT_EQ(tabs.Locks + tabs.Renames + tabs.Configs + tabs.LogFiles + tabs.Pauses, 5);
    pMenu->close();
    EXPECT_EQ(pView->ContextMenu(), nullptr);

    // A closed target leaves the list; unchecking stops the copy.
    const uint nGone = others[3]->UniquePortID;
    pMenu = OpenMenu(*pView);
    EXPECT_EQ(Texts(pMenu).mid(2, 2), QStringList({"Redirect", "Resume"})) << "no position choice in hex";
    pRedirect = FindAction(pMenu, "Redirect")->menu();
    QAction* pToGone = pRedirect->actions().at(1);
    pToGone->setChecked(true);
    pRedirect->triggered(pToGone);
    pToTarget = pRedirect->actions().first();
    pToTarget->setChecked(false);
    pRedirect->triggered(pToTarget);
    pMenu->close();
    // The tab set drops the tab with its port.
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.GetTxView(i)->m_pPortCtrl == others[3].get())
            delete tabs.widget(i);
    others[3].reset();
    EXPECT_EQ(pView->m_RedirectPortIDs, QList<uint>()) << nGone;
    emit serial->SignalUpdateUI(serial->UniquePortID, serial->PortType, "after\r\n");
    EXPECT_EQ(pTarget->Written, QByteArray("$GPGGA,1*00\r\n"));

    // Serial rates from the menu reach the port.
    QSignalSpy rate(pView, &CZvTxtBrowser::SignalSetUartBaudrate);
    pMenu = OpenMenu(*pView);
    FindAction(pMenu, "460800")->trigger();
    pMenu->close();
    ASSERT_EQ(rate.count(), 1);
    EXPECT_EQ(rate.at(0).at(0).toUInt(), 460800u);
}

TEST(TxtBrowser, HoursOfStreamingKeepTheDocumentBounded)
{
    // A view that is shown and one in a tab behind it.
    CMemoryPortCtrl front, back;
    Tabs tabs;
    CZvTxtBrowser* pFront = tabs.Add(&front, QStringLiteral("front"));
    CZvTxtBrowser* pBack = tabs.Add(&back, QStringLiteral("back"));
    tabs.show();
    for (CZvTxtBrowser* p : {pFront, pBack})
        p->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
    for (int i = 0; i < 3000; ++i)
    {
        QByteArray batch;
        for (int k = 0; k < 10; ++k)
            batch += "$GPGGA,line " + QByteArray::number(i * 10 + k) + "\r\n";
        front.Receive(batch);
        back.Receive(batch);
    }
    EXPECT_LE(pFront->document()->blockCount(), CZvTxtBrowser::MAX_BLOCKS);
    const QString sFront = pFront->toPlainText();
    EXPECT_TRUE(sFront.endsWith("$GPGGA,line 29999\n"));
    EXPECT_TRUE(pBack->document()->isEmpty()) << "nothing is laid out behind the front tab";
    tabs.setCurrentIndex(1);
    // The newest lines, whole, as the front tab shows them; the hidden front
    // tab lets its document go.
    const QString sBack = pBack->toPlainText();
    EXPECT_LE(pBack->document()->blockCount(), CZvTxtBrowser::MAX_BLOCKS);
    EXPECT_GT(pBack->document()->blockCount(), CZvTxtBrowser::MAX_BLOCKS / 2);
    EXPECT_TRUE(sBack.startsWith("$GPGGA,line ")) << sBack.left(40).toStdString();
    EXPECT_TRUE(sFront.endsWith(sBack)) << "shown with the newest lines it would have held";
    EXPECT_TRUE(pFront->document()->isEmpty());
    tabs.setCurrentIndex(0);
    EXPECT_TRUE(pFront->toPlainText().endsWith("$GPGGA,line 29999\n"));
    EXPECT_LE(pFront->toPlainText().size(), CZvTxtBrowser::SHOWN_TAIL_MAX + 100);
}

// Batches of long logs into the view in sight: only the lines on screen are
// laid out, not the hundreds each batch adds below them or pushes out.
TEST(TxtBrowser, ABatchLaysOutOnlyTheLinesInSight)
{
    CMemoryPortCtrl ctrl;
    Tabs tabs;
    CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("front"));
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
    tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    const QByteArray line = "#RANGEA,COM1," + QByteArray(600, 'x') + "*1234abcd\r\n";
    for (int i = 0; i < 5; ++i)
    {
        QByteArray batch; // 150 logs, within what a batch may show
        for (int k = 0; k < 150; ++k)
            batch += line;
        ctrl.Receive(batch);
        // The view takes a batch a share a turn of the event loop.
        do
            QCoreApplication::processEvents();
        while (pView->IsCatchingUp());
    }
    QTextDocument* pDoc = pView->document();
    EXPECT_EQ(pDoc->blockCount(), CZvTxtBrowser::MAX_BLOCKS);
    EXPECT_TRUE(pView->toPlainText().endsWith(QString::fromLatin1(line.left(line.size() - 2)) + "\n"));
    int nLaidOut = 0;
    for (QTextBlock b = pDoc->begin(); b.isValid(); b = b.next())
        nLaidOut += b.layout()->lineCount() > 0;
    // Each log wraps into several rows: fewer logs than rows are in sight.
    const int nRows = pView->viewport()->height() / pView->fontMetrics().lineSpacing() + 1;
    EXPECT_GT(nLaidOut, 0);
    EXPECT_LE(nLaidOut, nRows) << "of " << pDoc->blockCount();
}

// Two views in windows of one size, each on a port of its own: one is handed
// bytes whole, the other the same bytes in pieces.
struct WholeAndPieces
{
    CMemoryPortCtrl Whole, Pieces;
    Tabs WholeTabs, PiecesTabs;
    CZvTxtBrowser* pWhole = WholeTabs.Add(&Whole, QStringLiteral("whole"));
    CZvTxtBrowser* pPieces = PiecesTabs.Add(&Pieces, QStringLiteral("pieces"));
    bool bExposed = true;

    WholeAndPieces(const QSize& Size, uint32_t Mode)
    {
        for (Tabs* p : {&WholeTabs, &PiecesTabs})
        {
            p->resize(Size);
            p->show();
            bExposed = QTest::qWaitForWindowExposed(p) && bExposed;
        }
        pWhole->m_DisplayMode = pPieces->m_DisplayMode = Mode;
    }
    // Runs the event loop until the view has put in all it was handed.
    static void Settle(CZvTxtBrowser* pView)
    {
        do
            QCoreApplication::processEvents();
        while (pView->IsCatchingUp());
        QCoreApplication::processEvents();
    }
};

// What the port in sight hands over at a production line's rate (a fifth of
// a second at 200 KB/s: 40 KB of binary logs, about 50 thousand characters of
// text) goes into the document in one turn, laid out and painted once rather
// than once per share of it; the view shows the same text as when the same
// bytes come in small batches.
TEST(TxtBrowser, AHandOverOfThePortInSightIsShownInOnePaint)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    ReceiverStream stream;
    std::string wire;
    while (wire.size() < 40000)
        for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_ALL))
            wire += it.Wire;
    const QByteArray batch = QByteArray::fromStdString(wire.substr(0, 40000));
    WholeAndPieces views(QSize(1900, 1000), CZvTxtBrowser::DISPLAY_BIN_2_ASCII);
    ASSERT_TRUE(views.bExposed);
    struct COUNTER_T : QObject
    {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* pEvent) override
        {
            Paints += pEvent->type() == QEvent::Paint;
            return false;
        }
    } counter;
    views.pWhole->viewport()->installEventFilter(&counter);
    // A first hand-over fills the view, as a streaming port's has.
    views.Whole.Receive(batch);
    WholeAndPieces::Settle(views.pWhole);
    const int nBefore = views.pWhole->document()->characterCount();
    counter.Paints = 0;
    views.Whole.Receive(batch);
    WholeAndPieces::Settle(views.pWhole);
    EXPECT_GT(views.pWhole->document()->characterCount() - nBefore, 40000) << "the text of a whole hand-over";
    EXPECT_EQ(counter.Paints, 1);

    for (int n = 0; n < 2; ++n)
        for (int i = 0; i < batch.size(); i += 1000)
        {
            views.Pieces.Receive(batch.mid(i, 1000));
            QCoreApplication::processEvents();
        }
    WholeAndPieces::Settle(views.pPieces);
    EXPECT_EQ(views.pPieces->toPlainText(), views.pWhole->toPlainText());
}

// Hand-overs of more lines than the view has rows, and of fewer: the view in
// sight shows the same picture as a view of the same size that was given the
// same lines a few at a time.
TEST(TxtBrowser, AHandOverShowsTheSamePictureWhateverItsSize)
{
    QByteArray lines;
    for (int i = 0; lines.size() < 30000; ++i)
        lines += "$GPGGA,line " + QByteArray::number(i) + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    WholeAndPieces views(QSize(900, 500), CZvTxtBrowser::DISPLAY_ASCII);
    ASSERT_TRUE(views.bExposed);
    // A page and more at once, a few lines, then a page and more again.
    for (const QByteArray& batch : {lines, lines.left(lines.indexOf('\n', 300) + 1), lines})
    {
        views.Whole.Receive(batch);
        WholeAndPieces::Settle(views.pWhole);
        // Three lines a batch.
        for (int i = 0, nLines = 0, nFrom = 0; i < batch.size(); ++i)
            if (batch[i] == '\n' && (++nLines % 3 == 0 || i + 1 == batch.size()))
            {
                views.Pieces.Receive(batch.mid(nFrom, i + 1 - nFrom));
                WholeAndPieces::Settle(views.pPieces);
                nFrom = i + 1;
            }
        ASSERT_EQ(views.pWhole->toPlainText(), views.pPieces->toPlainText());
        EXPECT_EQ(views.pWhole->viewport()->grab().toImage(), views.pPieces->viewport()->grab().toImage());
        EXPECT_EQ(views.pWhole->verticalScrollBar()->value(), views.pPieces->verticalScrollBar()->value());
    }
}

// After each hand-over the view shows the newest lines at its bottom, as a
// plain text view of the same text does once its cursor is put on the last
// line: a page and more at once, a few short lines, a line wrapped over rows.
TEST(TxtBrowser, AHandOverLeavesTheNewestLineAtTheBottom)
{
    CMemoryPortCtrl ctrl;
    Tabs tabs;
    CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("front"));
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
    tabs.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tabs));
    QPlainTextEdit plain;
    plain.setFont(pView->font());
    plain.setLineWrapMode(pView->lineWrapMode());
    plain.setWordWrapMode(pView->wordWrapMode());
    plain.setReadOnly(true);
    plain.resize(pView->size());
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    QByteArray page;
    for (int i = 0; page.size() < 20000; ++i)
        page += "$GPGGA,line " + QByteArray::number(i) + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    const QByteArray wrapped = "#RANGEA,COM1," + QByteArray(1500, 'x') + "*1234abcd\r\n";
    for (const QByteArray& batch : {page, QByteArray("$GPGSA,a\r\n$GPGSA,b\r\n"), wrapped, page + wrapped})
    {
        ctrl.Receive(batch);
        do
            QCoreApplication::processEvents();
        while (pView->IsCatchingUp());
        plain.setPlainText(pView->toPlainText());
        plain.moveCursor(QTextCursor::End);
        plain.moveCursor(QTextCursor::StartOfLine);
        plain.ensureCursorVisible();
        QCoreApplication::processEvents();
        EXPECT_EQ(pView->viewport()->grab().toImage(), plain.viewport()->grab().toImage()) << batch.left(20).data();
    }
}

// A binary stream in Auto mode, from its first byte, in small batches as a
// serial port hands them over: every log from the first on is shown as text
// and kept, and nothing of the bytes read before Auto decided stays on show as
// garbled text. Behind another tab the same holds once the view is shown.
TEST(TxtBrowser, AutoShowsABinaryStreamFromItsFirstLog)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    ReceiverStream stream;
    std::string wire;
    size_t nBestpos = 0;
    for (int epoch = 0; epoch < 3; ++epoch)
        for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_BINARY_LOGS | STREAM_NMEA))
        {
            wire += it.Wire;
            nBestpos += it.MessageId == 42;
        }
    ASSERT_GE(nBestpos, 3u);
    for (const bool bHidden : {false, true})
    {
        SCOPED_TRACE(bHidden ? "behind another tab" : "shown");
        CMemoryPortCtrl ctrl, other;
        Tabs tabs;
        CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("COM9"));
        tabs.Add(&other, QStringLiteral("COM8"));
        tabs.show();
        tabs.setCurrentIndex(bHidden ? 1 : 0);
        for (size_t i = 0; i < wire.size(); i += 300)
            ctrl.Receive(QByteArray::fromStdString(wire.substr(i, 300)));
        EXPECT_EQ(pView->m_sAutoResult, QStringLiteral("BIN_2_ASCII"));
        EXPECT_EQ(pView->m_pRangeData->Counts[CatalogueIndexOf(42)], nBestpos) << "every log kept, the first ones too";
        tabs.setCurrentIndex(0);
        const QString sShown = pView->toPlainText();
        if (!bHidden)
            EXPECT_EQ(static_cast<size_t>(sShown.count(QStringLiteral("#BESTPOSA,"))), nBestpos);
        else
            EXPECT_GE(sShown.count(QStringLiteral("#BESTPOSA,")), 1) << "the newest logs, read to text when shown";
        // A log's text begins the view: no hex or garbled text before it.
        EXPECT_TRUE(sShown.startsWith('#') || sShown.startsWith('$')) << sShown.left(80).toStdString();
    }
}

// One line without a line end, a megabyte long, does not hold up the window:
// it is shown in lines of LINE_CHARS_MAX characters, each batch at once.
TEST(TxtBrowser, AnEndlessLineIsShownInBoundedLines)
{
    CMemoryPortCtrl ctrl;
    Tabs tabs;
    CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("127.0.0.1:3001"));
    pView->m_DisplayMode = CZvTxtBrowser::DISPLAY_ASCII;
    tabs.show();
    // The work of a batch, as the GUI thread's own CPU time, whatever else
    // the machine runs.
    auto cpuMs = []
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    double dWorstMs = 0;
    for (int i = 0; i < 100; ++i) // 1 MB at 10 KB a batch
    {
        const double dStart = cpuMs();
        ctrl.Receive(QByteArray(10000, static_cast<char>('a' + i % 26)));
        QCoreApplication::processEvents();
        dWorstMs = std::max(dWorstMs, cpuMs() - dStart);
    }
    ctrl.Receive("\r\nend\r\n");
    const QString sShown = pView->toPlainText();
    const QStringList lines = sShown.split('\n');
    for (const QString& s : lines)
        EXPECT_LE(s.size(), CZvTxtBrowser::LINE_CHARS_MAX);
    EXPECT_TRUE(sShown.endsWith("end\r\n") || sShown.endsWith("end\n"));
    // Lines stay short, so a batch never lays out the whole line again.
    EXPECT_LT(dWorstMs, 250.0);
}

// A port whose bytes come faster than the view takes them, handed over at
// once: what the view could not take, and the text that found no room, is said
// instead of shown, in received bytes whatever the mode and in the interface's
// language; every byte handed over is either shown or counted.
TEST(TxtBrowser, AFloodIsSaidNotShownInReceivedBytesAndInTheInterfacesLanguage)
{
    const struct
    {
        const char* Name;
        uint32_t Mode;
        const char* Language;
        int nFlood;
        char Byte;
        const char* Notice; // the notice's text, as the language says it
    } cases[] = {
        // Three characters of text a byte: most of the text finds no room.
        {"hex", CZvTxtBrowser::DISPLAY_HEX, "en", 2 * CZvTxtBrowser::READ_QUEUE_MAX, '\x55', "bytes not shown"},
        {"text, in Chinese", CZvTxtBrowser::DISPLAY_ASCII, "zh", CZvTxtBrowser::READ_QUEUE_MAX + 1000, 'x',
         "\xe5\xad\x97\xe8\x8a\x82\xe6\x9c\xaa\xe6\x98\xbe\xe7\xa4\xba"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.Name);
        ASSERT_GT(InstallMonitorTranslations(QString::fromLatin1(c.Language)), 0);
        QTemporaryDir dir;
        CScriptedPrompt prompt;
        CMemoryPortCtrl ctrl;
        Tabs tabs;
        CZvTxtBrowser* pView = tabs.Add(&ctrl, QStringLiteral("127.0.0.1:3001"));
        pView->m_DisplayMode = c.Mode;
        tabs.show();
        prompt.Paths.push_back(dir.filePath("screen.log"));
        pView->SetLogScreen();
        ctrl.Receive(QByteArray(c.nFlood, c.Byte));
        // Whatever the flood, a turn's work is a share of it.
        EXPECT_TRUE(pView->IsCatchingUp());
        ASSERT_TRUE(WaitUntil([&] { return !pView->IsCatchingUp(); }));
        const QString sNotice = QString::fromUtf8(c.Notice);
        EXPECT_TRUE(pView->toPlainText().contains(sNotice)) << pView->toPlainText().right(200).toStdString();
        EXPECT_FALSE(pView->toPlainText().contains(QLatin1Char('?')));
        EXPECT_EQ(pView->Receiver()->m_SkippedBytes, static_cast<quint64>(c.nFlood - CZvTxtBrowser::READ_QUEUE_MAX))
            << "what the view could not take is counted as skipped";
        pView->SetLogScreen(); // closes the screen log

        // Every byte either shown (as the mode shows it) or in a notice's count.
        const QString sLog = QString::fromUtf8(ReadFile(dir.filePath("screen.log")));
        qint64 nCounted = 0;
        int nNotices = 0;
        const QRegularExpression notice(QStringLiteral("\\[(\\d+) ") + QRegularExpression::escape(sNotice) +
                                        QStringLiteral("\\]"));
        for (auto it = notice.globalMatch(sLog); it.hasNext(); ++nNotices)
            nCounted += it.next().captured(1).toLongLong();
        const QString sShownForm = c.Mode == CZvTxtBrowser::DISPLAY_HEX ? QStringLiteral("55 ") : QStringLiteral("x");
        EXPECT_GE(nNotices, 1);
        EXPECT_EQ(sLog.count(sShownForm) + nCounted, c.nFlood);
    }
    InstallMonitorTranslations(QStringLiteral("en"));
}
