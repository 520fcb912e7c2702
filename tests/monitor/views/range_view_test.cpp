// The range observation table on ports' stored logs: every column in its
// format, names, colours and counts per system and signal, logs longer than
// the store's room shown whole, each port's RANGECMP4 expanded by its own
// receive road with its own references, every log of it however seldom the
// table refreshes, a port never shown another's rows; and
// against the fake receiver, the log requested on the port the table was
// opened on only when the receiver does not output it, and the rows of a
// RANGE, a RANGECMP and a RANGECMP4 log of one epoch equal to the codec's
// expansion of each.
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "codec/range_logs.h"
#include "codec/rangecmp4.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/status_msg_parser.h"
#include "monitor/shell/monitor_translations.h"
#include "monitor/shell/port_tab.h"
#include "monitor/shell/txt_browser.h"
#include "monitor/views/range_view.h"
#include "plots_fixture.h"
#include "support/log_generator.h"
#include "support/monitor/memory_port_ctrl.h"
#include "support/profile_fixture.h"
#include "support/scripted_prompt.h"
#include "support/window_layout.h"

namespace
{
constexpr uint16_t kWeek = 2295;

enum COLUMN_E
{
    PRN,
    SIGNAL,
    CN0,
    LOCK,
    ADR_VALID,
    ADR,
    ADR_STD,
    PSR_VALID,
    PSR,
    PSR_STD,
    DOPPLER,
    STATUS,
    GLO_FREQ,
};

// Satellites of several systems, each on up to three signals (tracking
// status system and signal types).
std::vector<loggen::Signal> Sky(int nGps, int nGal, int nBds, int nGlo)
{
    std::vector<loggen::Signal> s;
    for (int i = 0; i < nGps; ++i)
        for (uint8_t t : {0, 9, 14})
            s.push_back({TRACK_SYS_GPS, t, static_cast<uint16_t>(1 + i), 0});
    for (int i = 0; i < nGal; ++i)
        for (uint8_t t : {2, 12, 17})
            s.push_back({TRACK_SYS_GALILEO, t, static_cast<uint16_t>(1 + i), 0});
    for (int i = 0; i < nBds; ++i)
        for (uint8_t t : {0, 2})
            s.push_back({TRACK_SYS_BEIDOU, t, static_cast<uint16_t>(6 + i), 0});
    for (int i = 0; i < nGlo; ++i)
        for (uint8_t t : {0, 5})
            s.push_back({TRACK_SYS_GLONASS, t, static_cast<uint16_t>(38 + i), static_cast<uint16_t>(7 + i % 6)});
    return s;
}

loggen::Bytes Cmp4(RANGECMP4_CONTEXT_T* pContext, const loggen::Bytes& range)
{
    loggen::Bytes out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t n = 0;
    if (RangeToRangeCmp4(pContext, range.data(), static_cast<int32_t>(range.size()), out.data(),
                         static_cast<int32_t>(out.size()), &n) != 1)
        return {};
    out.resize(static_cast<size_t>(n));
    return out;
}

// The observations of a RANGE log (header and body).
std::vector<RANGE_OBS_T> Observations(const uint8_t* pLog, uint32_t nLength)
{
    std::vector<RANGE_OBS_T> obs;
    uint32_t n = 0;
    if (pLog == nullptr || nLength < LOG_HEADER_LENGTH + 4)
        return obs;
    std::memcpy(&n, pLog + LOG_HEADER_LENGTH, 4);
    obs.resize(n);
    if (n > 0 && LOG_HEADER_LENGTH + 4 + n * sizeof(RANGE_OBS_T) <= nLength)
        std::memcpy(obs.data(), pLog + LOG_HEADER_LENGTH + 4, n * sizeof(RANGE_OBS_T));
    return obs;
}

// The codec's expansion of a stored log into its observations; RANGECMP4
// with a stream of its own.
std::vector<RANGE_OBS_T> Expanded(const QRangeData* pStore, uint16_t nId)
{
    uint32_t n = 0;
    const uint8_t* p = pStore->LogCopy(nId, &n);
    if (nId == MSG_ID_RANGE || nId == MSG_ID_BASERANGE)
        return Observations(p, n);
    std::vector<uint8_t> out(LOG_HEADER_LENGTH + 0xFFFF);
    int32_t nOut = 0;
    auto pContext = std::make_unique<RANGECMP4_CONTEXT_T>();
    const int ok = nId == MSG_ID_RANGECMP
                       ? RangeCmpToRange(p, int32_t(n), out.data(), int32_t(out.size()), &nOut)
                       : RangeCmp4ToRange(pContext.get(), p, int32_t(n), out.data(), int32_t(out.size()), &nOut);
    EXPECT_EQ(ok, 1);
    return Observations(out.data(), static_cast<uint32_t>(nOut));
}

double Number(const CRangeTableModel* pTable, int r, int c)
{
    return r < pTable->rowCount() ? pTable->Text(r, c).toDouble() : std::nan("");
}

// Each row shows its observation as printed: every value within half a unit
// of its column's last digit.
void ExpectRowsShow(const CRangeTableModel* pTable, const std::vector<RANGE_OBS_T>& obs, const char* pWhat)
{
    ASSERT_EQ(pTable->rowCount(), static_cast<int>(obs.size())) << pWhat;
    for (int r = 0; r < pTable->rowCount(); ++r)
    {
        const RANGE_OBS_T o = obs[static_cast<size_t>(r)];
        const auto near = [&](int c, double v, int decimals)
        {
            // Half the last digit, and what reading the text back as a number may add.
            const double reach = 0.5 * std::pow(10.0, -decimals) + std::fabs(v) * 1e-14;
            EXPECT_NEAR(Number(pTable, r, c), v, reach) << pWhat << " row " << r << " column " << c;
        };
        EXPECT_EQ(Number(pTable, r, PRN), o.Prn) << pWhat << " row " << r;
        near(CN0, o.CNo, 2);
        near(LOCK, o.LockTime, 3);
        near(ADR, o.Adr, 4);
        near(ADR_STD, o.AdrStd, 4);
        near(PSR, o.Psr, 3);
        near(PSR_STD, o.PsrStd, 3);
        near(DOPPLER, o.Doppler, 6);
        EXPECT_EQ(Number(pTable, r, ADR_VALID), (o.TrackingStatus >> 10) & 1);
        EXPECT_EQ(Number(pTable, r, PSR_VALID), (o.TrackingStatus >> 12) & 1);
        EXPECT_EQ(pTable->Text(r, STATUS).toUInt(nullptr, 16), o.TrackingStatus);
        EXPECT_EQ(pTable->Text(r, STATUS).size(), 8);
        EXPECT_EQ(Number(pTable, r, GLO_FREQ), o.GloFreq);
    }
}

RANGE_OBS_T Obs(uint16_t nPrn, uint32_t nStatus)
{
    RANGE_OBS_T o{};
    o.Prn = nPrn;
    o.TrackingStatus = nStatus;
    o.Psr = 21000000.25;
    o.PsrStd = 0.046875f;
    o.Adr = -110000000.125;
    o.AdrStd = 0.0078125f;
    o.Doppler = -1234.5f;
    o.CNo = 45.75f;
    o.LockTime = 1234.5f;
    return o;
}

uint32_t Status(uint8_t nSystem, uint8_t nType, bool bLocked = true)
{
    TRACKING_FIELDS_T f{};
    f.PhaseLock = bLocked;
    f.CodeLocked = 1;
    f.SatelliteSystem = nSystem;
    f.SignalType = nType;
    return PackTrackingStatus(&f);
}

class RangeViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Tabs.OnAddPort(m_A.UniquePortID, m_A.PortType, &m_A);
        m_Tabs.OnAddPort(m_B.UniquePortID, m_B.PortType, &m_B);
        // Binary logs from the first byte, as a receiver's stream once it is known.
        for (int i = 0; i < 2; ++i)
            m_Tabs.GetTxView(i)->m_DisplayMode = CZvTxtBrowser::DISPLAY_BIN_2_ASCII;
        m_Tabs.show();
        m_Tabs.setCurrentIndex(0);
        m_View.m_pPortTab = &m_Tabs;
        m_View.resize(1011, 300);
        m_View.show();
    }
    void Send(CMemoryPortCtrl& Port, const loggen::Bytes& Record)
    {
        const loggen::Bytes wire = loggen::Binary(Record);
        Port.Receive(QByteArray(reinterpret_cast<const char*>(wire.data()), static_cast<int>(wire.size())));
    }
    void Choose(uint16_t nId)
    {
        const char* pName = nId == MSG_ID_RANGE       ? "RANGE"
                            : nId == MSG_ID_RANGECMP  ? "RANGECMP"
                            : nId == MSG_ID_BASERANGE ? "BASERANGE"
                                                      : "RANGECMP4";
        m_View.LogCombo()->setCurrentText(QLatin1String(pName));
    }
    void Tick() { m_View.OnUpdateData(&m_Tabs); }
    const CRangeTableModel* Table() { return m_View.Rows(); }
    QString Cell(int r, int c) { return Table()->Text(r, c); }
    QVariant Role(int r, int c, int nRole) { return Table()->data(Table()->index(r, c), nRole); }

    ScopedProfile m_Profile{CODEC_PROFILE_MONITOR};
    CScriptedPrompt m_Prompt;
    CMemoryPortCtrl m_A{QZvPortCtrlBase::PORT_TYPE_TCP}, m_B{QZvPortCtrlBase::PORT_TYPE_TCP};
    CPortTab m_Tabs;
    QRangeView m_View;
};
} // namespace

TEST_F(RangeViewTest, EachObservationIsARowInItsColumnsFormatsWithCountsPerSystemAndSignal)
{
    RANGE_OBS_T glo = Obs(38, Status(TRACK_SYS_GLONASS, 0));
    glo.GloFreq = 8;
    const std::vector<RANGE_OBS_T> obs = {
        Obs(12, Status(TRACK_SYS_GPS, 9)),
        Obs(5, 0x1234),
        glo,
        Obs(9, Status(7, 0)),
        Obs(12, Status(TRACK_SYS_GPS, 5)),
        Obs(131, Status(TRACK_SYS_SBAS, 0)),
        Obs(30, Status(TRACK_SYS_BEIDOU, 4)),
        Obs(31, Status(TRACK_SYS_BEIDOU, 0)),
    };
    Send(m_A, loggen::RangeRecord(kWeek, 100000, obs));
    Tick();
    ASSERT_EQ(Table()->rowCount(), 8);
    const QStringList first = {"12",     "GPSL2P", "45.75",        "1234.500", "1",           "-110000000.1250",
                               "0.0078", "1",      "21000000.250", "0.047",    "-1234.500000"};
    for (int c = 0; c < first.size(); ++c)
        EXPECT_EQ(Cell(0, c), first[c]) << c;
    EXPECT_EQ(Cell(0, STATUS), QString::asprintf("%08x", obs[0].TrackingStatus));
    EXPECT_EQ(Cell(0, GLO_FREQ), QStringLiteral("0"));
    EXPECT_EQ(Role(0, PRN, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_FALSE(Role(0, SIGNAL, Qt::TextAlignmentRole).isValid());
    EXPECT_EQ(Cell(1, STATUS), QStringLiteral("00001234"));
    EXPECT_EQ(Cell(1, SIGNAL), QStringLiteral("GPSL1C/A"));
    EXPECT_EQ(Cell(1, ADR_VALID), QStringLiteral("0"));
    EXPECT_EQ(Cell(1, PSR_VALID), QStringLiteral("1"));
    EXPECT_EQ(Cell(2, SIGNAL), QStringLiteral("GLOG1C/A"));
    EXPECT_EQ(Cell(2, GLO_FREQ), QStringLiteral("8"));
    EXPECT_EQ(Cell(3, SIGNAL), QString()) << "an unknown system has no name";
    EXPECT_EQ(Cell(5, SIGNAL), QStringLiteral("SBASL1C/A"));
    EXPECT_EQ(Cell(6, SIGNAL), QStringLiteral("BDSB1I"));

    const struct
    {
        int Row;
        QColor Colour;
    } colours[] = {{0, {222, 235, 245}}, {2, {228, 239, 228}}, {5, {221, 221, 221}}, {6, {245, 241, 222}}};
    for (const auto& c : colours)
        EXPECT_EQ(Role(c.Row, PSR, Qt::BackgroundRole).value<QColor>(), c.Colour) << c.Row;
    EXPECT_FALSE(Role(3, PSR, Qt::BackgroundRole).isValid());

    // Codes that share a name count together, once.
    EXPECT_EQ(m_View.CountLabel("GPS")->text(), QStringLiteral("L1C/A:1 L2P:2 "));
    EXPECT_EQ(m_View.CountLabel("BDS")->text(), QStringLiteral("B1I:2 "));
    EXPECT_EQ(m_View.CountLabel("GLO")->text(), QStringLiteral("G1C/A:1 "));
    EXPECT_EQ(m_View.CountLabel("SBAS")->text(), QStringLiteral("L1C/A:1 "));
    EXPECT_TRUE(m_View.SystemLabel("GPS")->isVisible());
    EXPECT_TRUE(m_View.SystemLabel("GPS")->font().bold());
    EXPECT_FALSE(m_View.SystemLabel("GAL")->isVisible());
    EXPECT_FALSE(m_View.CountLabel("GAL")->isVisible());
    EXPECT_EQ(m_View.TotalLabel()->text(), QStringLiteral("Total Obs Num: 8 "));
}

// The table draws its grid its own way: what it shows is what a plain
// QTableView with the same rows, sizes and settings shows, pixel for pixel,
// short or long, scrolled or not, and when only a part of it is repainted.
TEST_F(RangeViewTest, TheTableLooksAsAPlainTableViewOfTheSameRows)
{
    QTableView* pTable = m_View.Table();
    QTableView plain(&m_View);
    plain.setModel(pTable->model());
    plain.verticalHeader()->setDefaultSectionSize(pTable->verticalHeader()->defaultSectionSize());
    plain.setAlternatingRowColors(pTable->alternatingRowColors());
    plain.setEditTriggers(pTable->editTriggers());
    plain.show();
    const auto same = [&](const char* pWhat)
    {
        // The counts above the table take more or fewer lines as the rows change.
        QCoreApplication::processEvents();
        plain.setGeometry(pTable->geometry());
        for (int c = 0; c < pTable->model()->columnCount(); ++c)
            plain.setColumnWidth(c, pTable->columnWidth(c));
        // The scroll bars take their ranges once the view has laid out its new widths.
        QCoreApplication::processEvents();
        plain.verticalScrollBar()->setValue(pTable->verticalScrollBar()->value());
        plain.horizontalScrollBar()->setValue(pTable->horizontalScrollBar()->value());
        QCoreApplication::processEvents();
        ASSERT_EQ(plain.viewport()->size(), pTable->viewport()->size()) << pWhat;
        EXPECT_EQ(pTable->viewport()->grab().toImage(), plain.viewport()->grab().toImage()) << pWhat;
        // A repaint of two parts that cut rows and columns in two.
        const QSize size = pTable->viewport()->size();
        const QRegion part = QRegion(37, 11, size.width() / 3, size.height() / 3) +
                             QRegion(size.width() / 2, size.height() / 2, size.width() / 4, size.height() / 3);
        QImage mine(pTable->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
        QImage theirs(mine.size(), mine.format());
        mine.fill(Qt::magenta);
        theirs.fill(Qt::magenta);
        pTable->viewport()->render(&mine, QPoint(), part);
        plain.viewport()->render(&theirs, QPoint(), part);
        EXPECT_EQ(mine, theirs) << pWhat << ", two parts";
    };

    // Fewer rows than the view has room for, one of an unknown system on the
    // plain alternating colours.
    Send(m_A, loggen::RangeRecord(
                  kWeek, 100000,
                  {Obs(12, Status(TRACK_SYS_GPS, 9)), Obs(9, Status(7, 0)), Obs(38, Status(TRACK_SYS_GLONASS, 0))}));
    Tick();
    ASSERT_EQ(Table()->rowCount(), 3);
    same("three rows");
    Send(m_A, loggen::RangeRecord(kWeek, 100001, loggen::Epoch(Sky(20, 20, 10, 8), 300.0)));
    Tick();
    ASSERT_GT(Table()->rowCount(), 100);
    same("more rows than in sight");
    pTable->verticalScrollBar()->setValue(pTable->verticalScrollBar()->maximum() / 2 + 3);
    pTable->horizontalScrollBar()->setValue(pTable->horizontalScrollBar()->maximum() / 2 + 5);
    same("scrolled");
    m_View.resize(2000, 400);
    same("wider than its columns");
}

TEST_F(RangeViewTest, LogsLongerThanTheStoresRoomAreShownWhole)
{
    // 32 GPS and 36 Galileo satellites on three signals, 30 BeiDou and 12
    // GLONASS on two: 288 observations, past the 256 the store first holds.
    const std::vector<RANGE_OBS_T> obs = loggen::Epoch(Sky(32, 36, 30, 12), 100.0);
    const std::vector<RANGE_OBS_T> more = loggen::Epoch(Sky(32, 36, 30, 12), 101.0);
    ASSERT_GT(obs.size(), 256u);
    const loggen::Bytes range = loggen::RangeRecord(kWeek, 100000, obs);
    const loggen::Bytes cmp4range = loggen::RangeRecord(kWeek, 101000, more);
    auto pPacker = std::make_unique<RANGECMP4_CONTEXT_T>();
    Send(m_A, range);
    Send(m_A, loggen::RangeCmpRecord(range));
    Send(m_A, Cmp4(pPacker.get(), cmp4range));
    const QRangeData* pStore = m_Tabs.GetRangeData(m_A.UniquePortID);
    for (uint16_t nId : {MSG_ID_RANGE, MSG_ID_RANGECMP, MSG_ID_RANGECMP4})
    {
        Choose(nId);
        Tick();
        const std::vector<RANGE_OBS_T> expected = Expanded(pStore, nId);
        EXPECT_EQ(expected.size(), nId == MSG_ID_RANGECMP4 ? more.size() : obs.size());
        ExpectRowsShow(Table(), expected, "long log");
        EXPECT_EQ(m_View.TotalLabel()->text(), QStringLiteral("Total Obs Num: %1 ").arg(expected.size()));
    }

    // A log without observations leaves the table as it is.
    Choose(MSG_ID_RANGE);
    Tick();
    Send(m_A, loggen::RangeRecord(kWeek, 102000, {}));
    Tick();
    EXPECT_EQ(Table()->rowCount(), static_cast<int>(obs.size()));
}

TEST_F(RangeViewTest, EachPortExpandsItsRangecmp4WithItsOwnReferencesOncePerLog)
{
    // One stream: a whole second of reference records, then an epoch 50 ms
    // later made of differential records against it (on L1 and E1, whose
    // Doppler the generated epochs follow).
    std::vector<loggen::Signal> sky;
    for (uint16_t n = 1; n <= 8; ++n)
        sky.push_back({TRACK_SYS_GPS, 0, n, 0}), sky.push_back({TRACK_SYS_GALILEO, 2, n, 0});
    auto pPacker = std::make_unique<RANGECMP4_CONTEXT_T>();
    const loggen::Bytes reference = Cmp4(pPacker.get(), loggen::RangeRecord(kWeek, 200000, loggen::Epoch(sky, 200.0)));
    const loggen::Bytes differential =
        Cmp4(pPacker.get(), loggen::RangeRecord(kWeek, 200050, loggen::Epoch(sky, 200.05)));
    ASSERT_LT(differential.size(), reference.size()) << "the second epoch is differential";
    Choose(MSG_ID_RANGECMP4);

    // Port A has the reference; port B only the differential epoch, which
    // it cannot expand without A's references.
    Send(m_A, reference);
    Tick();
    ASSERT_EQ(Table()->rowCount(), static_cast<int>(sky.size()));
    Send(m_B, differential);
    m_Tabs.setCurrentIndex(1);
    Tick();
    EXPECT_EQ(Table()->rowCount(), 0);
    EXPECT_FALSE(m_View.TotalLabel()->isVisible());

    // Back on A, its references still stand for its own differential epoch,
    // which is expanded once however often the table refreshes.
    m_Tabs.setCurrentIndex(0);
    Send(m_A, differential);
    Tick();
    // Rows come by system and satellite; each is the epoch's own observation.
    std::map<std::pair<uint32_t, uint16_t>, double> truth;
    for (const RANGE_OBS_T& o : loggen::Epoch(sky, 200.05))
        truth[{(o.TrackingStatus >> 16) & 7, o.Prn}] = o.Psr;
    ASSERT_EQ(Table()->rowCount(), static_cast<int>(truth.size()));
    for (int r = 0; r < Table()->rowCount(); ++r)
    {
        const uint32_t status = Table()->Text(r, STATUS).toUInt(nullptr, 16);
        const auto key = std::make_pair((status >> 16) & 7, static_cast<uint16_t>(Number(Table(), r, PRN)));
        ASSERT_EQ(truth.count(key), 1u) << r;
        EXPECT_NEAR(Number(Table(), r, PSR), truth[key], 0.002) << r;
    }
    QStringList shown;
    for (int i = 0; i < 5; ++i)
    {
        Tick();
        QStringList now;
        for (int r = 0; r < Table()->rowCount(); ++r)
            now << Cell(r, PSR) + Cell(r, ADR) + Cell(r, LOCK);
        if (i > 0)
        {
            EXPECT_EQ(now, shown);
        }
        shown = now;
    }

    // Two epochs between two refreshes: the port's road expanded both, so
    // the second stands on the references it has, whatever the table saw.
    Send(m_A, Cmp4(pPacker.get(), loggen::RangeRecord(kWeek, 200100, loggen::Epoch(sky, 200.10))));
    Send(m_A, Cmp4(pPacker.get(), loggen::RangeRecord(kWeek, 200150, loggen::Epoch(sky, 200.15))));
    Tick();
    for (const RANGE_OBS_T& o : loggen::Epoch(sky, 200.15))
        truth[{(o.TrackingStatus >> 16) & 7, o.Prn}] = o.Psr;
    ASSERT_EQ(Table()->rowCount(), static_cast<int>(truth.size()));
    for (int r = 0; r < Table()->rowCount(); ++r)
    {
        const uint32_t status = Table()->Text(r, STATUS).toUInt(nullptr, 16);
        const auto key = std::make_pair((status >> 16) & 7, static_cast<uint16_t>(Number(Table(), r, PRN)));
        EXPECT_NEAR(Number(Table(), r, PSR), truth[key], 0.002) << r;
    }
}

TEST_F(RangeViewTest, AnotherPortsObservationsAreNeverShown)
{
    Send(m_A, loggen::RangeRecord(kWeek, 100000, loggen::Epoch(Sky(3, 0, 0, 0), 1.0)));
    Tick();
    EXPECT_EQ(Table()->rowCount(), 9);
    m_Tabs.setCurrentIndex(1);
    Tick();
    EXPECT_EQ(Table()->rowCount(), 0);
    EXPECT_FALSE(m_View.CountLabel("GPS")->isVisible());
    m_Tabs.setCurrentIndex(0);
    Tick();
    EXPECT_EQ(Table()->rowCount(), 9);
}

namespace
{
// The table as the main window holds it: it asks the current tab for the
// log list, sends through the port manager, and hears a parsed log list
// while it is shown.
struct WiredRangeView
{
    ShellStandIn Shell;
    QRangeView View;
    QSignalSpy Sent{&View, &QRangeView::SignalSendRangeMsg};
    QSignalSpy Asked{&View, &QRangeView::SignalCheckConfigSendMask};
    int LogLists = 0;

    WiredRangeView()
    {
        View.m_pPortTab = &Shell.Tabs;
        QObject::connect(&View, &QRangeView::SignalCheckConfigSendMask, &Shell.Tabs, &CPortTab::OnRequestCustomItem);
        QObject::connect(&View, &QRangeView::SignalSendRangeMsg, &Shell.Manager, &QZvPortManager::OnSendPortData1Port);
        QObject::connect(&Shell.Tabs, &CPortTab::SignalStatusMsgParseFinished, &View,
                         [this](uint Mask)
                         {
                             if (!(Mask & STATUS_MSG_LOGLIST))
                                 return;
                             ++LogLists;
                             if (View.isVisible())
                                 View.OnSendCommand();
                         });
    }
    // Chooses a log and waits for the log list it asks for.
    bool Choose(const char* pLog)
    {
        const int before = LogLists;
        View.LogCombo()->setCurrentText(QLatin1String(pLog));
        return WaitUntil([&] { return LogLists > before; });
    }
    static bool Logs(const FakeReceiver& Rx, const char* pName)
    {
        for (const RECEIVER_LOG_T& l : Rx.Logging())
            if (l.Name == pName && l.Port == "COM2")
                return true;
        return false;
    }
};
} // namespace

TEST(RangeViewReceiver, RequestsTheChosenLogOnItsPortOnlyWhenTheReceiverDoesNotOutputIt)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    WiredRangeView w;
    FakeReceiver rxA, rxB;
    QZvPortCtrlBase* pA = OpenReceiver(w.Shell, rxA);
    QZvPortCtrlBase* pB = OpenReceiver(w.Shell, rxB);
    ASSERT_TRUE(pA && pB);
    w.Shell.Tabs.setCurrentIndex(0);
    ASSERT_TRUE(w.Choose("RANGECMP"));
    EXPECT_EQ(w.Sent.count(), 0) << "a hidden table asks for nothing";
    w.Asked.clear();

    // Shown on A: the log list is asked of A, and A's receiver is asked for the log.
    const int before = w.LogLists;
    w.View.OnShowDialog();
    EXPECT_EQ(w.Asked.count(), 1);
    EXPECT_EQ(w.Asked.at(0).at(0).toUInt(), uint(STATUS_MSG_LOGLIST));
    ASSERT_TRUE(WaitUntil([&] { return w.LogLists > before; }));
    ASSERT_EQ(w.Sent.count(), 1);
    EXPECT_EQ(w.Sent.at(0).at(0).toUInt(), pA->UniquePortID);
    EXPECT_EQ(w.Sent.at(0).at(1).toByteArray(), QByteArray("log RANGECMPA ontime 1 \r\n"));
    ASSERT_TRUE(WaitUntil([&] { return WiredRangeView::Logs(rxA, "RANGECMPA"); }));
    EXPECT_TRUE(rxB.Logging().empty());

    // Another log is asked for; one the receiver outputs is not.
    ASSERT_TRUE(w.Choose("RANGE"));
    ASSERT_EQ(w.Sent.count(), 2);
    EXPECT_EQ(w.Sent.at(1).at(1).toByteArray(), QByteArray("log RANGEA ontime 1 \r\n"));
    ASSERT_TRUE(WaitUntil([&] { return WiredRangeView::Logs(rxA, "RANGEA"); }));
    ASSERT_TRUE(w.Choose("RANGECMP"));
    EXPECT_EQ(w.Sent.count(), 2);

    // The log list of a port the table did not ask leads to nothing, even
    // while that port's tab is current.
    w.Shell.Tabs.setCurrentIndex(1);
    const int lists = w.LogLists;
    w.Shell.Tabs.OnRequestItem(1, STATUS_MSG_LOGLIST);
    ASSERT_TRUE(WaitUntil([&] { return w.LogLists > lists; }));
    EXPECT_EQ(w.Sent.count(), 2);
    ASSERT_TRUE(w.Choose("RANGECMP4"));
    ASSERT_EQ(w.Sent.count(), 3);
    EXPECT_EQ(w.Sent.at(2).at(0).toUInt(), pB->UniquePortID);
    ASSERT_TRUE(WaitUntil([&] { return WiredRangeView::Logs(rxB, "RANGECMP4A"); }));
    EXPECT_FALSE(WiredRangeView::Logs(rxA, "RANGECMP4A"));
}

TEST(RangeViewReceiver, TheRowsOfOneEpochAreTheCodecsExpansionOfItsRangeRangecmpAndRangecmp4)
{
    ScopedProfile profile(CODEC_PROFILE_MONITOR);
    WiredRangeView w;
    FakeReceiver rx;
    QZvPortCtrlBase* pPort = OpenReceiver(w.Shell, rx);
    ASSERT_NE(pPort, nullptr);
    w.View.resize(1011, 500);
    w.View.show();
    // The three logs of each epoch, as a user types them.
    w.Shell.Manager.OnSendPortData1Port(pPort->UniquePortID,
                                        "log RANGEA ontime 1\r\nlog RANGECMPA ontime 1\r\nlog RANGECMP4A ontime 1\r\n");
    const QRangeData* pStore = w.Shell.Tabs.GetRangeData(pPort->UniquePortID);
    const auto time = [&](uint16_t nId)
    {
        BinaryLogHeader h{};
        std::memcpy(&h, pStore->LogCopy(nId), sizeof h);
        return std::make_pair(h.Week, h.Milliseconds);
    };
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            return pStore->BodyUpdates(MSG_ID_RANGECMP4) > 0 && time(MSG_ID_RANGE) == time(MSG_ID_RANGECMP) &&
                   time(MSG_ID_RANGE) == time(MSG_ID_RANGECMP4);
        }));
    // No event is handled from here on: the store stays as it is.
    const std::vector<RANGE_OBS_T> range = Expanded(pStore, MSG_ID_RANGE);
    ASSERT_EQ(range.size(), 32u);
    std::map<std::pair<int, QString>, RANGE_OBS_T> byKey;
    for (uint16_t nId : {MSG_ID_RANGE, MSG_ID_RANGECMP, MSG_ID_RANGECMP4})
    {
        w.View.LogCombo()->setCurrentIndex(nId == MSG_ID_RANGE ? 0 : nId == MSG_ID_RANGECMP ? 2 : 3);
        w.View.OnUpdateData(&w.Shell.Tabs);
        const std::vector<RANGE_OBS_T> expected = Expanded(pStore, nId);
        const char* pWhat = nId == MSG_ID_RANGE ? "RANGE" : nId == MSG_ID_RANGECMP ? "RANGECMP" : "RANGECMP4";
        ExpectRowsShow(w.View.Rows(), expected, pWhat);
        // The same satellites and signals as the epoch's RANGE, within each
        // format's resolution.
        for (int r = 0; r < w.View.Rows()->rowCount(); ++r)
        {
            const auto key = std::make_pair(int(Number(w.View.Rows(), r, PRN)), w.View.Rows()->Text(r, SIGNAL));
            if (nId == MSG_ID_RANGE)
            {
                byKey[key] = range[static_cast<size_t>(r)];
                continue;
            }
            ASSERT_EQ(byKey.count(key), 1u) << pWhat << " " << key.first << key.second.toStdString();
            const RANGE_OBS_T o = byKey[key];
            EXPECT_NEAR(Number(w.View.Rows(), r, PSR), o.Psr, 0.01) << pWhat << " row " << r;
            EXPECT_NEAR(Number(w.View.Rows(), r, ADR), o.Adr, 0.02) << pWhat << " row " << r;
            // The stream's second signals carry their first's Doppler unscaled,
            // which RANGECMP4 holds as none: the Doppler is compared on the first.
            if (((o.TrackingStatus >> 21) & 31) == 0)
            {
                EXPECT_NEAR(Number(w.View.Rows(), r, DOPPLER), o.Doppler, 0.01) << pWhat << " row " << r;
            }
            EXPECT_NEAR(Number(w.View.Rows(), r, CN0), o.CNo, 0.5) << pWhat << " row " << r;
        }
        EXPECT_EQ(w.View.Rows()->rowCount(), static_cast<int>(range.size())) << pWhat;
        EXPECT_EQ(w.View.CountLabel("GPS")->text(), QStringLiteral("L1C/A:12 L2P:12 ")) << pWhat;
        EXPECT_EQ(w.View.CountLabel("GLO")->text(), QStringLiteral("G1C/A:4 G2P:4 ")) << pWhat;
    }
}

class RangeViewLanguages : public RangeViewTest, public ::testing::WithParamInterface<const char*>
{
protected:
    void TearDown() override { InstallMonitorTranslations(QStringLiteral("en")); }
};

TEST_P(RangeViewLanguages, ATableOfEverySystemShowsItsTextsUncut)
{
    const QString sLanguage = QLatin1String(GetParam());
    InstallMonitorTranslations(sLanguage);
    m_View.OnLanguageUpdate();
    EXPECT_EQ(RenderAndCheck(&m_View, "views_QRangeViewDiag_empty_" + sLanguage), "");
    std::vector<loggen::Signal> sky = Sky(10, 6, 5, 4);
    sky.push_back({TRACK_SYS_QZSS, 0, 194, 0});
    sky.push_back({TRACK_SYS_SBAS, 0, 131, 0});
    Send(m_A, loggen::RangeRecord(kWeek, 300000, loggen::Epoch(sky, 300.0)));
    Tick();
    EXPECT_EQ(Table()->rowCount(), static_cast<int>(sky.size()));
    EXPECT_EQ(RenderAndCheck(&m_View, "views_QRangeViewDiag_" + sLanguage), "");
    m_View.resize(560, 400);
    EXPECT_EQ(RenderAndCheck(&m_View, "views_QRangeViewDiag_narrow_" + sLanguage), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, RangeViewLanguages, ::testing::Values("en", "zh"));
