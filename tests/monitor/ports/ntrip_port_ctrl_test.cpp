// Caster ports against the test caster on a loopback port, through the port
// manager: streams of RTCM3 frames in NTRIP 1 and 2, the source table,
// refused and broken replies, a dropped link and the pauses before the next
// session, GGA reports from the port's position, uploads of a server, and
// deleting a port whatever it is doing.
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "full_listener.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/ports/ntrip_port_ctrl.h"
#include "monitor/ports/port_manager.h"
#include "support/monitor/handed_over.h"
#include "support/rtcm3_builder.h"
#include "support/test_caster.h"

namespace
{
using PORT_TYPE_E = QZvPortCtrlBase::PORT_TYPE_E;
constexpr double kDegToRad = 0.017453292519943295;

// RTCM3 frames of several messages and lengths, each carrying its number.
QByteArray Frames(int nCount, int nFirst = 0)
{
    QByteArray all;
    const uint32_t messages[] = {1005, 1077, 1087, 1230, 4094};
    for (int i = nFirst; i < nFirst + nCount; ++i)
    {
        RtcmBuilder builder(messages[i % 5]);
        builder.U(12, i & 0xFFF).U(30, i * 7919).Pad(static_cast<uint32_t>(8 * ((i * 37) % 200)));
        const std::vector<uint8_t> frame = builder.Frame();
        all.append(reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size()));
    }
    return all;
}

// What a port handed to its view, with waits on it.
class CView : public CHandedOver
{
public:
    using CHandedOver::CHandedOver;
    bool WaitFor(const QByteArray& Text, int nMs = 20000)
    {
        return QTest::qWaitFor([this, &Text] { return Bytes().contains(Text); }, nMs);
    }
    bool WaitForSize(int nSize, int nMs = 20000)
    {
        return QTest::qWaitFor([this, nSize] { return Bytes().size() >= nSize; }, nMs);
    }
};

POS_DATA_T Position(double dLatitude, double dLongitude, double dHeight, double dGpsSeconds, uint32_t nHour,
                    uint32_t nMinute, uint32_t nSecond, uint32_t nMs)
{
    POS_DATA_T pos;
    ResetPosData(&pos);
    pos.Latitude = dLatitude * kDegToRad;
    pos.Longitude = dLongitude * kDegToRad;
    pos.Height = dHeight;
    pos.GpsSeconds = dGpsSeconds;
    pos.Utc.Year = 2024;
    pos.Utc.Month = 3;
    pos.Utc.Day = 12;
    pos.Utc.Hour = nHour;
    pos.Utc.Minute = nMinute;
    pos.Utc.Second = nSecond;
    pos.Utc.Millisecond = nMs;
    pos.FixQuality = 4;
    return pos;
}

class NtripPort : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedTiming = QZvNTripPortCtrl::Timing();
        QZvNTripPortCtrl::TIMING_T& t = QZvNTripPortCtrl::Timing();
        t.ConnectTimeoutMs = 1000;
        t.SilenceTimeoutMs = 3000;
        // Pauses are recorded as decided and taken short.
        t.PauseFilter = [this](int nMs)
        {
            QMutexLocker lock(&m_PauseMutex);
            m_Pauses << nMs;
            return m_TakenPauseMs.load();
        };
    }
    void TearDown() override
    {
        // The ports read the timing: they end before it is put back.
        for (uint id : m_Manager.GetPortIDs())
        {
            m_Manager.DeletePortCtrl(id);
        }
        QZvNTripPortCtrl::Timing() = m_SavedTiming;
    }

    static NTRIP_CONFIG_T Config(quint16 nPort, uint32_t nMode = 5)
    {
        NTRIP_CONFIG_T config;
        NtripSetDefaultConfig(&config);
        std::strcpy(config.ServerName, "127.0.0.1");
        config.Port = nPort;
        config.Mode = nMode;
        return config;
    }
    // Adds a caster port to the manager; the new controller, or null.
    QZvNTripPortCtrl* Add(NTRIP_CONFIG_T Config)
    {
        QSignalSpy added(&m_Manager, &QZvPortManager::SignalPostAddPort);
        if (m_Manager.AddPortCtrl(QZvPortCtrlBase::PORT_TYPE_NTRIP, &Config) != 0 || added.count() != 1)
        {
            return nullptr;
        }
        return static_cast<QZvNTripPortCtrl*>(added.at(0).at(2).value<QZvPortCtrlBase*>());
    }
    QList<int> Pauses()
    {
        QMutexLocker lock(&m_PauseMutex);
        return m_Pauses;
    }
    bool WaitForPauses(int nCount, int nMs = 20000)
    {
        return QTest::qWaitFor([this, nCount] { return Pauses().size() >= nCount; }, nMs);
    }

    QZvNTripPortCtrl::TIMING_T m_SavedTiming;
    QMutex m_PauseMutex;
    QList<int> m_Pauses;
    std::atomic<int> m_TakenPauseMs{20};
    QZvPortManager m_Manager;
};
} // namespace

TEST_F(NtripPort, ClientReceivesEveryFrameInOrder)
{
    struct CASE_T
    {
        const char* Name;
        uint32_t Mode;
        bool bChunked;
    };
    const CASE_T cases[] = {{"NTRIP 1", 1, false}, {"NTRIP 2", 5, false}, {"NTRIP 2 chunked", 5, true}};
    const QByteArray frames = Frames(300);
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CTestCaster caster;
        caster.m_bChunked = c.bChunked;
        // The first frames, cut inside one, come in the same write as the reply.
        caster.m_FirstData = frames.left(37);
        const quint16 port = caster.Listen();
        QZvNTripPortCtrl* p = Add(Config(port, c.Mode));
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));

        // The rest in uneven pieces; in chunked coding the pieces cut through
        // the chunks' size lines as well.
        QByteArray wire;
        for (int at = 37, k = 0; at < frames.size(); ++k)
        {
            const int n = qMin(frames.size() - at, 1 + (k * 131) % 700);
            wire += c.bChunked ? CTestCaster::Chunk(frames.mid(at, n)) : frames.mid(at, n);
            at += n;
        }
        for (int at = 0, k = 0; at < wire.size(); ++k)
        {
            const int n = qMin(wire.size() - at, 1 + (k * 89) % 900);
            caster.SendRaw(wire.mid(at, n));
            at += n;
            if (k % 4 == 0)
            {
                QTest::qWait(2);
            }
        }
        ASSERT_TRUE(view.WaitForSize(frames.size()));
        EXPECT_TRUE(view.Bytes() == frames) << "every frame, in order, and nothing else";
        EXPECT_EQ(view.at(0).at(0).toUInt(), p->UniquePortID);
        EXPECT_EQ(view.at(0).at(1).value<PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_NTRIP);

        ASSERT_EQ(caster.m_Requests.size(), 1);
        const CTestCaster::REQUEST_T& request = caster.m_Requests[0];
        EXPECT_EQ(request.Line, "GET /BJNR0 HTTP/1.1");
        EXPECT_EQ(request.Header("Host"), "127.0.0.1");
        EXPECT_EQ(request.Header("User-Agent"), "NTRIP ZorvikMonitor/2.0");
        EXPECT_EQ(request.Header("Authorization"), "Basic dXNlcjA6a2l3ZTc=");
        EXPECT_EQ(request.HasHeader("Ntrip-Version"), c.Mode != 1);
        EXPECT_FALSE(request.HasHeader("Ntrip-GGA")) << "no position yet";
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        EXPECT_EQ(p->GetPortName(), QStringLiteral("127.0.0.1:%1@BJNR0").arg(port));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, SourceTableIsReadOnceAndBounded)
{
    struct CASE_T
    {
        uint32_t Mode;
        const char* MountPoint;
        uint32_t SourceTable;
        const char* Head;
    };
    // NTRIP 1 by an empty mount point, NTRIP 2 by the record's flag.
    const CASE_T cases[] = {{1, "", 0, "SOURCETABLE 200 OK\r\n"}, {5, "BJNR0", 1, "HTTP/1.1 200 OK\r\n"}};
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Mode);
        CTestCaster caster;
        NTRIP_CONFIG_T config = Config(caster.Listen(), c.Mode);
        std::strcpy(config.MountPoint, c.MountPoint);
        config.SourceTable = c.SourceTable;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(view.WaitFor("ENDSOURCETABLE\r\n"));
        EXPECT_TRUE(view.Bytes().startsWith(c.Head));
        EXPECT_TRUE(view.Bytes().endsWith("\r\n\r\n" + caster.m_SourceTable));
        ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000)) << "read once, then the port rests";
        QTest::qWait(100);
        ASSERT_EQ(caster.m_Requests.size(), 1);
        EXPECT_EQ(caster.m_Requests[0].Line, "GET / HTTP/1.1");
        EXPECT_EQ(fail.count(), 0);
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));

        // Reconnecting reads it again.
        m_Manager.ReconnectPort(0, p->UniquePortID);
        ASSERT_TRUE(caster.WaitForRequests(2));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }

    // A table that does not end is cut at its bound and reported.
    QZvNTripPortCtrl::Timing().MaxSourceTableBytes = 64 * 1024;
    CTestCaster caster;
    caster.m_SourceTable.clear();
    for (int i = 0; caster.m_SourceTable.size() < 300 * 1024; ++i)
    {
        caster.m_SourceTable += "STR;MP" + QByteArray::number(i) +
                                ";Somewhere;RTCM 3.2;1005(10);2;GPS;NET;CHN;39.9;"
                                "116.4;1;0;sNTRIP;none;B;N;9600;\r\n";
    }
    NTRIP_CONFIG_T config = Config(caster.Listen());
    config.SourceTable = 1;
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(config);
    ASSERT_NE(p, nullptr);
    CView view(p);
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_REFUSED));
    ASSERT_TRUE(view.WaitFor("Ntrip: source table longer than 65536 bytes"));
    const int table = view.Bytes().indexOf("Ntrip: ");
    EXPECT_EQ(table, 64 * 1024) << "the table up to its bound, then the reason";
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
}

TEST_F(NtripPort, RefusedRepliesAreReportedAndNeverTakenAsAStream)
{
    const QByteArray frames = Frames(5);
    struct CASE_T
    {
        const char* Name;
        uint32_t Mode;
        const char* MountPoint;
        const char* Password;
        QByteArray RawReply; // instead of the caster's own
        int ReplyPiece;
        int Result;
        const char* Reason;
    };
    const CASE_T cases[] = {
        {"bad password", 5, "BJNR0", "wrong", {}, 0, (401 << 16) | 7, "HTTP/1.1 401 Unauthorized"},
        {"bad password, NTRIP 1", 1, "BJNR0", "wrong", {}, 0, (401 << 16) | 7, "HTTP/1.0 401 Unauthorized"},
        {"unknown mount point", 5, "NOPE", "kiwe7", {}, 0, (404 << 16) | 7, "HTTP/1.1 404 Not Found"},
        {"unknown mount point, NTRIP 1",
         1,
         "NOPE",
         "kiwe7",
         {},
         0,
         NTRIP_NO_MOUNT_POINT,
         "mount point NOPE not found, the caster offers: BJNR0"},
        {"unknown mount point answered with a chunked table", 5, "NOPE", "kiwe7",
         "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\nTransfer-Encoding: chunked\r\n\r\n" +
             CTestCaster::Chunk("CAS;caster.example;2101;Test;X;0;CHN;39.9;116.4;0.0.0.0;0;none\r\n"
                                "STR;VRS1;Beijing;RTCM 3.2;;2;GPS;X;CHN;39.9;116.4;1;1;x;none;B;N;0;\r\n"
                                "NET;NET1;X;B;N;none;none;none;\r\nSTR;MAC2;Hebei;RTCM 3.3;;2;GPS;X;CHN;38;115;1;0;x") +
             CTestCaster::Chunk(";none;B;N;0;\r\nENDSOURCETABLE\r\n") + "0\r\n\r\n",
         7, NTRIP_NO_MOUNT_POINT, "mount point NOPE not found, the caster offers: VRS1, MAC2"},
        {"refusal split in pieces, with a body", 5, "BJNR0", "kiwe7", "HTTP/1.1 403 Forbidden\r\n\r\n" + frames, 3,
         (403 << 16) | 7, "HTTP/1.1 403 Forbidden"},
        {"garbage", 5, "BJNR0", "kiwe7", "<html><body>Service unavailable</body></html>\r\n" + frames, 0, 6,
         "not a caster's reply: <html>"},
        {"never-ending header", 5, "BJNR0", "kiwe7",
         "HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n" + QByteArray(6000, 'x') + frames, 0, 6,
         "reply header too long"},
        {"not a GNSS stream", 5, "BJNR0", "kiwe7", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + frames, 0, 6,
         "not a GNSS data stream, Content-Type: text/html"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        {
            QMutexLocker lock(&m_PauseMutex);
            m_Pauses.clear();
        }
        CTestCaster caster;
        caster.m_RawReply = c.RawReply;
        caster.m_ReplyPiece = c.ReplyPiece;
        caster.m_bCloseAfterRawReply = c.RawReply.startsWith("<html>");
        NTRIP_CONFIG_T config = Config(caster.Listen(), c.Mode);
        std::strcpy(config.MountPoint, c.MountPoint);
        std::strcpy(config.Password, c.Password);
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(fail.wait(20000));
        EXPECT_EQ(fail.at(0).at(0).toUInt(), p->UniquePortID);
        EXPECT_EQ(fail.at(0).at(1).value<PORT_TYPE_E>(), QZvPortCtrlBase::PORT_TYPE_NTRIP);
        EXPECT_EQ(fail.at(0).at(2).toInt(), c.Result);
        EXPECT_EQ(fail.at(0).at(3).toString(), p->GetPortName());
        ASSERT_TRUE(view.WaitFor("\r\n"));
        EXPECT_TRUE(view.Bytes().startsWith(QByteArray("Ntrip: ") + c.Reason)) << view.Bytes().left(120).constData();
        EXPECT_TRUE(view.Bytes().contains(", reconnect in 3000 ms\r\n"));
        // What the tab shows comes with the report.
        const QZvNTripPortCtrl::FAILURE_T failure = p->GetLastFailure();
        EXPECT_EQ(failure.Result, c.Result);
        EXPECT_TRUE(failure.Reason.startsWith(QLatin1String(c.Reason))) << failure.Reason.toStdString();
        if (c.Result == NTRIP_NO_MOUNT_POINT)
        {
            EXPECT_EQ(failure.Reason, QLatin1String(c.Reason));
        }
        EXPECT_EQ(failure.MountPoint, QLatin1String(c.MountPoint));

        // The port tries again after its pause, reporting the failure once.
        ASSERT_TRUE(caster.WaitForRequests(3));
        ASSERT_TRUE(WaitForPauses(2));
        EXPECT_EQ(fail.count(), 1);
        EXPECT_FALSE(view.Bytes().contains(frames.left(3))) << "nothing of the reply reached the view";
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, AReplyTricklingInEndsTheSessionAtItsDeadline)
{
    // A caster that sends its reply a byte at a time never falls silent:
    // the reply has a deadline of its own.
    QZvNTripPortCtrl::Timing().ReplyDeadlineMs = 1500;
    CTestCaster caster;
    caster.m_RawReply = "HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\nServer: " + QByteArray(4000, 'x') + "\r\n\r\n";
    caster.m_ReplyPiece = 1;
    caster.m_ReplyPieceMs = 50;
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(Config(caster.Listen()));
    ASSERT_NE(p, nullptr);
    CView view(p);
    ASSERT_TRUE(fail.wait(10000)) << "still reading the reply";
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_TIMED_OUT));
    EXPECT_TRUE(view.WaitFor("Ntrip: the caster's reply did not end within 1500 ms, reconnect in "));
    EXPECT_TRUE(caster.WaitForRequests(2)) << "the next session";
}

TEST_F(NtripPort, SplitReplyThenDroppedLinkAndReconnection)
{
    CTestCaster caster;
    caster.m_ReplyPiece = 2;
    caster.m_FirstData = Frames(3);
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(Config(caster.Listen()));
    ASSERT_NE(p, nullptr);
    CView view(p);
    ASSERT_TRUE(view.WaitForSize(caster.m_FirstData.size()));
    EXPECT_TRUE(view.Bytes() == caster.m_FirstData) << "a reply that came in pieces, then its stream";

    // The caster drops the link; the port says so and connects again.
    caster.m_ReplyPiece = 0;
    caster.m_FirstData.clear();
    caster.DropClients();
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_CLOSED));
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    EXPECT_EQ(caster.m_Connections, 2);
    ASSERT_TRUE(view.WaitFor("Ntrip: the caster closed the connection, reconnect in 3000 ms\r\n"));
    const QByteArray more = Frames(20, 3);
    caster.Send(more);
    ASSERT_TRUE(view.WaitFor(more));

    // A new loss after the stream flowed again is reported again.
    caster.DropClients();
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    ASSERT_TRUE(fail.count() == 2 || fail.wait(20000));
    EXPECT_EQ(fail.count(), 2);
}

TEST_F(NtripPort, PausesDoubleUpToTheirLimitAndStartOverAfterAStream)
{
    QZvNTripPortCtrl::TIMING_T& t = QZvNTripPortCtrl::Timing();
    t.SilenceTimeoutMs = 40;
    {
        // A caster that never answers: every session times out.
        CTestCaster silent;
        silent.m_bSilent = true;
        QZvNTripPortCtrl* p = Add(Config(silent.Listen()));
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(WaitForPauses(8));
        EXPECT_EQ(Pauses().mid(0, 8), (QList<int>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
    {
        // Failures other than a time-out wait at least the error pause.
        CTestCaster closed;
        const quint16 port = closed.Listen();
        closed.Close();
        {
            QMutexLocker lock(&m_PauseMutex);
            m_Pauses.clear();
        }
        QZvNTripPortCtrl* p = Add(Config(port));
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(WaitForPauses(5));
        EXPECT_EQ(Pauses().mid(0, 5), (QList<int>{3000, 3000, 4000, 8000, 16000}));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
    {
        // After a stream ran steadily the pauses start over.
        t.SteadyStreamMs = 1;
        t.SilenceTimeoutMs = 150;
        // The first session times out; the second gets a stream that then falls silent.
        CTestCaster caster;
        caster.m_UnansweredRequests = 1;
        caster.m_FirstData = Frames(1);
        {
            QMutexLocker lock(&m_PauseMutex);
            m_Pauses.clear();
        }
        QZvNTripPortCtrl* p = Add(Config(caster.Listen()));
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(WaitForPauses(2));
        EXPECT_EQ(caster.m_Requests.size(), 2);
        EXPECT_EQ(Pauses().mid(0, 2), (QList<int>{1000, 1000}));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, GgaReportsAtTheIntervalWithThePortsPosition)
{
    QZvNTripPortCtrl::Timing().GgaIntervalMs = 100;
    const QByteArray sydney = "$GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47";
    for (uint32_t mode : {5u, 1u})
    {
        SCOPED_TRACE(mode);
        // The first session finds no caster; the position arrives meanwhile.
        CTestCaster caster;
        const quint16 port = caster.Listen();
        caster.Close();
        m_TakenPauseMs = 300;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(Config(port, mode));
        ASSERT_NE(p, nullptr);
        POS_DATA_T pos = Position(-33.25, 151.5, 12.5, 123456.0, 9, 37, 18, 250);
        p->OnSetPos(&pos);
        EXPECT_EQ(p->GetPosition().PositionTime, 123456000);
        ASSERT_TRUE(fail.wait(20000));
        ASSERT_EQ(caster.Listen(port), port);

        ASSERT_TRUE(caster.WaitForRequests(1));
        EXPECT_EQ(caster.m_Requests[0].Header("Ntrip-GGA"), sydney);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.m_Gga.size() >= 7; }));
        const QList<CTestCaster::GGA_T> gga = caster.m_Gga;
        for (const CTestCaster::GGA_T& g : gga)
        {
            EXPECT_EQ(g.Sentence, sydney);
        }
        // After the request's own two (and, with NTRIP 1, the one right after
        // the reply) they come at the interval, never more often.
        const int timed = caster.m_Gga.size() - (mode == 1 ? 3 : 2);
        const qint64 sinceRequest = caster.ElapsedMs() - caster.m_Requests[0].AtMs;
        EXPECT_LE(timed, sinceRequest / 100 + 1) << sinceRequest << " ms";

        // A new position is reported from the next sentence on; none while
        // the record has no fix.
        pos = Position(39.5, 116.25, 50.0, 123500.0, 9, 38, 2, 0);
        p->OnSetPos(&pos);
        ASSERT_TRUE(caster.WaitFor(
            [&] { return caster.m_Gga.last().Sentence.startsWith("$GPGGA,093802.00,3930.0000,N,11615.0000,E"); }));
        ResetPosData(&pos);
        p->OnSetPos(&pos);
        QTest::qWait(150);
        const int count = caster.m_Gga.size();
        QTest::qWait(400);
        EXPECT_EQ(caster.m_Gga.size(), count);
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, ServerDeliversAStreamToTheCaster)
{
    const QByteArray frames = Frames(200);
    for (uint32_t mode : {1u, 5u})
    {
        SCOPED_TRACE(mode);
        CTestCaster caster;
        NTRIP_CONFIG_T config = Config(caster.Listen(), mode);
        config.ServerMode = 1;
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        const uint id = p->UniquePortID;
        // Bytes written before the caster took the upload are dropped.
        ASSERT_TRUE(caster.WaitFor(
            [&]
            {
                m_Manager.OnSendPortData1Port(id, "probe");
                QTest::qWait(10);
                return caster.m_Uploaded.contains("probe");
            }));
        // Once the marker is in, nothing before it is still under way.
        m_Manager.OnSendPortData1Port(id, "sync");
        ASSERT_TRUE(caster.WaitFor([&] { return caster.m_Uploaded.endsWith("sync"); }));
        caster.m_Uploaded.clear();
        m_Manager.OnSendPortData1Port(QZvPortCtrlBase::ANY_PORT_ID, "log versiona once\r\n");
        for (int at = 0, k = 0; at < frames.size(); ++k)
        {
            const int n = qMin(frames.size() - at, 1 + (k * 173) % 1200);
            m_Manager.OnSendPortData1Port(id, frames.mid(at, n));
            at += n;
        }
        ASSERT_TRUE(caster.WaitFor([&] { return caster.m_Uploaded.size() >= frames.size(); }));
        EXPECT_TRUE(caster.m_Uploaded == frames) << "commands for every port stay out of the upload";
        EXPECT_EQ(caster.m_Requests[0].Line, mode == 1 ? QByteArray("SOURCE kiwe7 /BJNR0") : "POST /BJNR0 HTTP/1.1");
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        m_Manager.DeletePortCtrl(id);
    }

    // A wrong password is refused and reported.
    CTestCaster caster;
    NTRIP_CONFIG_T config = Config(caster.Listen(), 1);
    config.ServerMode = 1;
    std::strcpy(config.Password, "wrong");
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(config);
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_REFUSED));
    EXPECT_EQ(caster.m_Unauthorized, 1);
}

TEST_F(NtripPort, DeletingAPortReturnsWithinASecondWhateverItDoes)
{
    // A port that fails waits a minute before its next session.
    m_TakenPauseMs = 60000;
    CTestCaster streaming, silent, uploading, refusing;
    silent.m_bSilent = true;
    refusing.m_Password = "other";
    CFullListener full;
    ASSERT_NE(full.Port(), 0);

    NTRIP_CONFIG_T resolving = Config(28000);
    std::strcpy(resolving.ServerName, "caster.invalid");
    NTRIP_CONFIG_T server = Config(uploading.Listen());
    server.ServerMode = 1;
    struct CASE_T
    {
        const char* Name;
        NTRIP_CONFIG_T Config;
        std::function<bool()> Reached;
    };
    const CASE_T cases[] = {
        {"streaming", Config(streaming.Listen()), [&] { return streaming.StreamingClients() == 1; }},
        {"waiting for the reply", Config(silent.Listen()), [&] { return silent.m_Requests.size() == 1; }},
        {"uploading", server, [&] { return uploading.m_Requests.size() == 1; }},
        {"waiting to reconnect", Config(refusing.Listen()), [&] { return refusing.m_Unauthorized == 1; }},
        {"connecting", Config(full.Port()), [] { return true; }},
        {"resolving", resolving, [] { return true; }},
    };
    QList<QZvNTripPortCtrl*> ports;
    for (const CASE_T& c : cases)
    {
        ports << Add(c.Config);
        ASSERT_NE(ports.last(), nullptr) << c.Name;
    }
    for (const CASE_T& c : cases)
    {
        ASSERT_TRUE(CTestCaster::WaitFor(c.Reached)) << c.Name;
    }
    QTest::qWait(100);
    for (int i = 0; i < ports.size(); ++i)
    {
        const uint id = ports[i]->UniquePortID;
        EXPECT_TRUE(ports[i]->isRunning()) << cases[i].Name;
        QElapsedTimer clock;
        clock.start();
        m_Manager.DeletePortCtrl(id);
        EXPECT_LT(clock.elapsed(), 1000) << cases[i].Name;
        EXPECT_EQ(m_Manager.GetPortCtrl(id), nullptr);
    }
}

namespace
{
QMutex g_TraceMutex;
QStringList g_Traces;

void CollectTrace(QtMsgType, const QMessageLogContext&, const QString& sMessage)
{
    QMutexLocker lock(&g_TraceMutex);
    g_Traces << sMessage;
}
} // namespace

TEST_F(NtripPort, CredentialsNeverReachTracesViewOrLog)
{
    QTemporaryDir dir;
    const QString sLog = dir.filePath(QStringLiteral("caster.log"));
    const QByteArray password = "s3cret!pw";
    const QByteArray token = QByteArray("user0:" + password).toBase64();
    {
        QMutexLocker lock(&g_TraceMutex);
        g_Traces.clear();
    }
    const QtMessageHandler previous = qInstallMessageHandler(CollectTrace);
    // Every trace of the port layer, the bytes exchanged included.
    QLoggingCategory::setFilterRules(QStringLiteral("zv.ports*.debug=true"));

    // Refused once with a wrong password, then accepted.
    CTestCaster caster;
    caster.m_Password = "nothing yet";
    NTRIP_CONFIG_T config = Config(caster.Listen());
    std::strcpy(config.Password, password.constData());
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(config);
    ASSERT_NE(p, nullptr);
    CView view(p);
    QMetaObject::invokeMethod(p,
                              [p, sLog]
                              {
                                  p->OnSetFileName(sLog);
                                  p->OnOpenFile();
                              });
    ASSERT_TRUE(fail.wait(20000));
    caster.m_Password = password;
    const QByteArray frames = Frames(10);
    caster.m_FirstData = frames;
    ASSERT_TRUE(view.WaitFor(frames));
    EXPECT_EQ(caster.m_Requests.last().Header("Authorization"), "Basic " + token);
    QMetaObject::invokeMethod(p, [p] { p->OnCloseFile(); });
    ASSERT_TRUE(QTest::qWaitFor([p] { return !p->IsLogging(); }, 20000));
    m_Manager.DeletePortCtrl(p->UniquePortID);
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());

    QFile log(sLog);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll() == frames) << "the raw log holds the stream only";
    EXPECT_FALSE(view.Bytes().contains(password) || view.Bytes().contains(token));
    QMutexLocker lock(&g_TraceMutex);
    const QString traces = g_Traces.join('\n');
    EXPECT_TRUE(traces.contains(QLatin1String("Start Ntrip Service Client Mode5,127.0.0.1:")));
    EXPECT_TRUE(traces.contains(QLatin1String("user0:***@BJNR0")));
    EXPECT_FALSE(traces.contains(QString::fromLatin1(password)));
    EXPECT_FALSE(traces.contains(QString::fromLatin1(token)));
}

TEST_F(NtripPort, DisconnectKeepsThePortAndReconnectUsesEditedSettings)
{
    CTestCaster caster;
    QSignalSpy status(&m_Manager, &QZvPortManager::SignalConnectStatus);
    QZvNTripPortCtrl* p = Add(Config(caster.Listen()));
    ASSERT_NE(p, nullptr);
    const uint id = p->UniquePortID;
    CView view(p);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    POS_DATA_T pos = Position(39.5, 116.25, 50.0, 123500.0, 9, 38, 2, 0);
    p->OnSetPos(&pos);

    m_Manager.DisconnectPort(2, id);
    ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 0; }));
    EXPECT_EQ(m_Manager.GetPortCtrl(id), p);
    QTest::qWait(100);
    EXPECT_EQ(caster.m_Connections, 1) << "a disconnected port does not come back by itself";

    // Edit mode changes the settings and keeps the port's live position.
    NTRIP_CONFIG_T edited = p->GetNtripConfig();
    std::strcpy(edited.MountPoint, "BJNR1");
    edited.PositionTime = -1000;
    p->SetNtripSettings(&edited);
    caster.m_MountPoint = "BJNR1";
    m_Manager.ReconnectPort(2, id);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    EXPECT_EQ(caster.m_Requests.last().Line, "GET /BJNR1 HTTP/1.1");
    EXPECT_TRUE(caster.m_Requests.last().Header("Ntrip-GGA").startsWith("$GPGGA,093802.00,3930.0000,N"));
    EXPECT_EQ(p->GetPortName(), QStringLiteral("127.0.0.1:%1@BJNR1").arg(edited.Port));
    EXPECT_EQ(p->GetPosition().PositionTime, 123500000);
    const QByteArray frames = Frames(4);
    caster.Send(frames);
    ASSERT_TRUE(view.WaitFor(frames));
    ASSERT_EQ(status.count(), 2);
    EXPECT_EQ(status.at(0).at(2).toInt(), 1);
    EXPECT_EQ(status.at(1).at(2).toInt(), 0);
}

TEST_F(NtripPort, SessionKindsNotOfferedAreReportedOnce)
{
    for (uint32_t mode : {3u, 4u})
    {
        CTestCaster caster;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(Config(caster.Listen(), mode));
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(fail.count() == 1 || fail.wait(20000)) << mode;
        EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_MODE_UNSUPPORTED));
        ASSERT_TRUE(QTest::qWaitFor([p] { return p->isFinished(); }, 20000));
        EXPECT_EQ(fail.count(), 1);
        EXPECT_EQ(caster.m_Connections, 0);
    }
}

TEST_F(NtripPort, ReconnectWhileRunningConnectsAgainOnlyForEditedSettingsOrAPause)
{
    // A failed session waits a minute before the next.
    m_TakenPauseMs = 60000;
    CTestCaster caster;
    caster.m_Password = "other";
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(Config(caster.Listen()));
    ASSERT_NE(p, nullptr);
    const uint id = p->UniquePortID;
    ASSERT_TRUE(fail.wait(20000));
    // The user fixes the password and reconnects: no minute to wait.
    caster.m_Password = "kiwe7";
    m_Manager.ReconnectPort(0, id);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    EXPECT_EQ(caster.m_Requests.size(), 2);

    // Reconnecting a running stream whose settings are unchanged keeps it.
    m_Manager.ReconnectPort(0, id);
    QTest::qWait(200);
    EXPECT_EQ(caster.m_Connections, 2);
    EXPECT_EQ(caster.StreamingClients(), 1);
}
