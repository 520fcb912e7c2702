// Caster ports against the test caster on a loopback port, through the port
// manager: streams of RTCM3 frames in NTRIP 1 and 2, the source table,
// refused and broken replies, a dropped link and the pauses before the next
// session, GGA reports from the port's position, uploads of a server, and
// deleting a port whatever it is doing; the sessions over datagrams (NTRIP 2
// over UDP and RTSP) with their requests, keep-alives, refusals, the end of
// an RTSP session and hostile datagrams.
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
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
    // NTRIP 1 by an empty mount point, NTRIP 2 (over TCP and UDP) by the record's flag.
    const CASE_T cases[] = {{1, "", 0, "SOURCETABLE 200 OK\r\n"},
                            {5, "BJNR0", 1, "HTTP/1.1 200 OK\r\n"},
                            {4, "", 0, "HTTP/1.1 200 OK\r\n"}};
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
    for (uint32_t mode : {1u, 5u, 4u})
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
        EXPECT_EQ(caster.m_Requests[0].bUdp, mode == 4);
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
    CTestCaster streaming, silent, uploading, refusing, overUdp, overRtsp;
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
        {"streaming over UDP", Config(overUdp.Listen(), 4), [&] { return overUdp.StreamingClients() == 1; }},
        {"streaming over RTSP", Config(overRtsp.Listen(), 3), [&] { return overRtsp.StreamingClients() == 1; }},
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

// Sessions over datagrams: NTRIP 2 over UDP (mode 4) and RTSP (mode 3).
namespace
{
// A UDP port that nothing uses at the moment.
quint16 FreeUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    return socket.localPort();
}

const char* const kLogin = "Authorization: Basic dXNlcjA6a2l3ZTc=";
} // namespace

TEST_F(NtripPort, DatagramSessionsHandTheStreamOverInOrder)
{
    struct CASE_T
    {
        const char* Name;
        uint32_t Mode;
        uint32_t InitUdp;
        bool bSetPort; // the local data port is set, not any
    };
    const CASE_T cases[] = {{"NTRIP 2 over UDP", 4, 0, false},
                            {"NTRIP 2 over UDP from a set port", 4, 0, true},
                            {"RTSP", 3, 0, false},
                            {"RTSP from a set port, with a first packet", 3, 1, true}};
    const QByteArray frames = Frames(300);
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        CTestCaster caster;
        // The first packet comes right after the reply.
        caster.m_FirstData = frames.left(37);
        NTRIP_CONFIG_T config = Config(caster.Listen(), c.Mode);
        config.InitUdp = c.InitUdp;
        config.UdpPort = c.bSetPort ? FreeUdpPort() : 0;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
        // The rest in packets of uneven sizes.
        for (int at = 37, k = 0; at < frames.size(); ++k)
        {
            const int n = qMin(frames.size() - at, 1 + (k * 131) % 700);
            caster.Send(frames.mid(at, n));
            at += n;
            if (k % 4 == 0)
            {
                QTest::qWait(2);
            }
        }
        ASSERT_TRUE(view.WaitForSize(frames.size()));
        EXPECT_TRUE(view.Bytes() == frames) << "every frame, in order, and nothing else";
        EXPECT_EQ(fail.count(), 0);
        EXPECT_EQ(p->GetDroppedDatagrams(), 0u);
        const CTestCaster::RTP_PEER_T peer = caster.RtpPeer();
        if (c.bSetPort)
        {
            EXPECT_EQ(peer.Port, config.UdpPort);
        }
        if (c.InitUdp != 0)
        {
            // One empty packet of the session to the caster's data port.
            ASSERT_EQ(caster.m_DataPortIn.size(), 1);
            const QByteArray first = caster.m_DataPortIn[0];
            EXPECT_EQ(first.size(), 12);
            EXPECT_EQ(first.left(2), QByteArray("\x80\x60", 2));
            EXPECT_EQ(first.mid(8), CTestCaster::Rtp(96, 0, 0, peer.Session, {}).mid(8));
        }
        else
        {
            EXPECT_TRUE(caster.m_DataPortIn.isEmpty());
        }
        EXPECT_EQ(p->GetPortName(), QStringLiteral("127.0.0.1:%1@BJNR0").arg(config.Port));
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, DatagramSessionsSendTheirRequestsByteForByte)
{
    QZvNTripPortCtrl::TIMING_T& t = QZvNTripPortCtrl::Timing();
    t.SilenceTimeoutMs = 300;
    t.KeepAliveMs = 100;
    const QByteArray gga = "$GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47";
    const POS_DATA_T pos = Position(-33.25, 151.5, 12.5, 123456.0, 9, 37, 18, 250);

    // NTRIP 2 over UDP, a client and a server. The first request goes
    // unanswered, so that the second carries the position given meanwhile.
    for (uint32_t server : {0u, 1u})
    {
        SCOPED_TRACE(server);
        CTestCaster caster;
        caster.m_UnansweredRequests = 1;
        NTRIP_CONFIG_T config = Config(caster.Listen(), 4);
        config.ServerMode = server;
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        POS_DATA_T position = pos;
        p->OnSetPos(&position);
        ASSERT_TRUE(caster.WaitForRequests(2));
        const QByteArray expected =
            server == 0 ? "GET /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\n"
                          "User-Agent: NTRIP ZorvikMonitor/2.0\r\nNtrip-GGA: " +
                              gga + "\r\nConnection: close\r\n" + kLogin + "\r\n\r\n"
                        : QByteArray("POST /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\n"
                                     "User-Agent: NTRIP ZorvikMonitor/2.0\r\n") +
                              kLogin + "\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n";
        EXPECT_EQ(caster.m_Requests[1].Raw, expected);
        EXPECT_TRUE(caster.m_Requests[1].bUdp);
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }

    // RTSP: SETUP, PLAY, the keep-alives, and TEARDOWN when the port goes.
    CTestCaster caster;
    caster.m_UnansweredRequests = 1;
    NTRIP_CONFIG_T config = Config(caster.Listen(), 3);
    config.UdpPort = FreeUdpPort();
    QZvNTripPortCtrl* p = Add(config);
    ASSERT_NE(p, nullptr);
    POS_DATA_T position = pos;
    p->OnSetPos(&position);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.Requests("GET_PARAMETER").size() >= 2; }));
    const QByteArray url = "rtsp://127.0.0.1:" + QByteArray::number(config.Port) + "/BJNR0 RTSP/1.0\r\n";
    const QByteArray session = "Session: " + QByteArray::number(caster.RtpPeer().Session) + "\r\n\r\n";
    const QList<CTestCaster::REQUEST_T> setup = caster.Requests("SETUP");
    ASSERT_EQ(setup.size(), 2);
    EXPECT_EQ(setup[1].Raw, "SETUP " + url +
                                "CSeq: 1\r\nNtrip-Version: Ntrip/2.0\r\nNtrip-Component: Ntripclient\r\n"
                                "User-Agent: ZorvikMonitor/2.0\r\nNtrip-GGA: " +
                                gga + "\r\nTransport: RTP/GNSS;unicast;client_port=" +
                                QByteArray::number(config.UdpPort) + "\r\n" + kLogin + "\r\n\r\n");
    ASSERT_EQ(caster.Requests("PLAY").size(), 1);
    EXPECT_EQ(caster.Requests("PLAY")[0].Raw, "PLAY " + url + "CSeq: 2\r\n" + session);
    EXPECT_EQ(caster.Requests("GET_PARAMETER")[0].Raw, "GET_PARAMETER " + url + "CSeq: 3\r\n" + session);
    EXPECT_EQ(caster.Requests("GET_PARAMETER")[1].Raw, "GET_PARAMETER " + url + "CSeq: 4\r\n" + session);
    m_Manager.DeletePortCtrl(p->UniquePortID);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.Requests("TEARDOWN").size() == 1; }));
    const int cseq = caster.Requests("GET_PARAMETER").size() + 3;
    EXPECT_EQ(caster.Requests("TEARDOWN")[0].Raw,
              "TEARDOWN " + url + "CSeq: " + QByteArray::number(cseq) + "\r\n" + session);
    EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
}

TEST_F(NtripPort, DatagramSessionsKeepAliveAndEndWhenTheirCasterFallsSilent)
{
    QZvNTripPortCtrl::TIMING_T& t = QZvNTripPortCtrl::Timing();
    t.KeepAliveMs = 100;
    t.ControlPollMs = 100;
    {
        // Over UDP the port sends an empty packet of its session when it has
        // sent nothing for the interval, and no more often.
        CTestCaster caster;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(Config(caster.Listen(), 4));
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
        const qint64 since = caster.ElapsedMs();
        // The caster keeps the port's silence timer at bay.
        QTimer stream;
        QObject::connect(&stream, &QTimer::timeout, [&] { caster.Send("$GPTXT,01,01,02,tick*2A\r\n"); });
        stream.start(50);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.m_KeepAlives.size() >= 4; }));
        stream.stop();
        EXPECT_LE(caster.m_KeepAlives.size(), (caster.ElapsedMs() - since) / 100 + 1);
        EXPECT_EQ(fail.count(), 0);
        EXPECT_TRUE(view.Bytes().contains("tick"));
        EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }

    // RTSP: a caster that answers its keep-alives keeps the session; one that
    // stops answering ends it after more than three empty polls, and the port
    // tears it down and sets up a new one.
    CTestCaster caster;
    QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
    QZvNTripPortCtrl* p = Add(Config(caster.Listen(), 3));
    ASSERT_NE(p, nullptr);
    CView view(p);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.Requests("GET_PARAMETER").size() >= 6; }));
    EXPECT_EQ(fail.count(), 0);
    caster.m_bAnswerKeepAlives = false;
    ASSERT_TRUE(fail.wait(20000));
    EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_TIMED_OUT));
    EXPECT_TRUE(view.WaitFor("Ntrip: nothing on the control connection for 400 ms, reconnect in "));
    ASSERT_EQ(caster.Requests("TEARDOWN").size(), 1);
    caster.m_bAnswerKeepAlives = true;
    ASSERT_TRUE(caster.WaitFor([&] { return caster.Requests("PLAY").size() == 2; }));

    // Disconnecting tears the session down too.
    ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
    m_Manager.DisconnectPort(0, p->UniquePortID);
    ASSERT_TRUE(caster.WaitFor([&] { return caster.Requests("TEARDOWN").size() == 2; }));
    EXPECT_EQ(caster.Requests("TEARDOWN")[1].Header("Session"), QByteArray::number(caster.RtpPeer().Session));
    EXPECT_TRUE(caster.m_Faults.isEmpty()) << qPrintable(caster.m_Faults.join('\n'));
}

TEST_F(NtripPort, RefusedOrFailedDatagramSessionsGiveTheirResultAndReason)
{
    QUdpSocket occupied;
    ASSERT_TRUE(occupied.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    struct CASE_T
    {
        const char* Name;
        uint32_t Mode;
        std::function<void(CTestCaster&, NTRIP_CONFIG_T&)> Setup;
        int Result;
        int Status;
        const char* Reason;
    };
    const auto password = [](CTestCaster&, NTRIP_CONFIG_T& c) { std::strcpy(c.Password, "wrong"); };
    const auto mount = [](CTestCaster&, NTRIP_CONFIG_T& c) { std::strcpy(c.MountPoint, "NOPE"); };
    const auto reply = [](const QByteArray& Text)
    { return [Text](CTestCaster& s, NTRIP_CONFIG_T&) { s.m_RawReply = Text; }; };
    const auto bound = [&occupied](CTestCaster&, NTRIP_CONFIG_T& c) { c.UdpPort = occupied.localPort(); };
    const auto closed = [](CTestCaster& s, NTRIP_CONFIG_T&) { s.Close(); };
    const CASE_T cases[] = {
        {"UDP: wrong password", 4, password, NtripUdpStatusResult(401), 401, "HTTP/1.1 401 Unauthorized"},
        {"UDP: unknown mount point", 4, mount, NtripUdpStatusResult(404), 404, "HTTP/1.1 404 Not Found"},
        {"UDP: no session", 4, reply("HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n"), NTRIP_UDP_NO_SESSION, 0,
         "the reply names no session"},
        {"UDP: not a stream", 4, reply("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nSession: 7\r\n\r\n"),
         NTRIP_UDP_REFUSED, 0, "not a GNSS data stream, Content-Type: text/html"},
        {"UDP: NTRIP 1 answer", 4, reply("ICY 200 OK\r\n"), NTRIP_UDP_REFUSED, 0, "not an NTRIP 2 reply: ICY 200 OK"},
        {"UDP: garbage", 4, reply("<html><body>Service unavailable</body></html>\r\n"), NTRIP_UDP_REFUSED, 0,
         "not a caster's reply: <html>"},
        {"UDP: no answer", 4, [](CTestCaster& s, NTRIP_CONFIG_T&) { s.m_bSilent = true; }, NTRIP_UDP_SILENT, 0,
         "nothing from the caster for 3000 ms"},
        {"UDP: local port in use", 4, bound, NTRIP_UDP_BIND_FAILED, 0, "cannot bind the local datagram port"},
        {"RTSP: wrong password", 3, password, NTRIP_RTSP_REFUSED, 401, "RTSP/1.0 401 Unauthorized"},
        {"RTSP: unknown mount point", 3, mount, NTRIP_RTSP_REFUSED, 404, "RTSP/1.0 404 Not Found"},
        {"RTSP: no session", 3,
         [](CTestCaster& s, NTRIP_CONFIG_T&)
         { s.m_RawSetupReply = "RTSP/1.0 200 OK\r\nCSeq: 1\r\nTransport: RTP/GNSS;unicast;server_port=9\r\n\r\n"; },
         NTRIP_RTSP_BAD_REPLY, 0, "the reply to SETUP names no session"},
        {"RTSP: no data port", 3,
         [](CTestCaster& s, NTRIP_CONFIG_T&)
         { s.m_RawSetupReply = "RTSP/1.0 200 OK\r\nCSeq: 1\r\nSession: 12\r\nTransport: RTP/GNSS;unicast\r\n\r\n"; },
         NTRIP_RTSP_BAD_REPLY, 0, "the reply to SETUP names no server_port"},
        {"RTSP: PLAY refused", 3,
         [](CTestCaster& s, NTRIP_CONFIG_T&)
         { s.m_RawPlayReply = "RTSP/1.0 454 Session Not Found\r\nCSeq: 2\r\n\r\n"; },
         NTRIP_RTSP_REFUSED, 454, "RTSP/1.0 454 Session Not Found"},
        {"RTSP: an HTTP answer", 3,
         [](CTestCaster& s, NTRIP_CONFIG_T&) { s.m_RawSetupReply = "HTTP/1.1 400 Bad Request\r\n\r\n"; },
         NTRIP_RTSP_REFUSED, 0, "not an RTSP reply: HTTP/1.1 400"},
        {"RTSP: local port in use", 3, bound, NTRIP_RTSP_BIND_FAILED, 0, "cannot bind the local data port"},
        {"RTSP: no caster", 3, closed, NTRIP_RTSP_CONNECT_FAILED, 0, "cannot connect"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Name);
        {
            QMutexLocker lock(&m_PauseMutex);
            m_Pauses.clear();
        }
        CTestCaster caster;
        NTRIP_CONFIG_T config = Config(caster.Listen(), c.Mode);
        c.Setup(caster, config);
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(config);
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(fail.wait(20000));
        EXPECT_EQ(fail.at(0).at(2).toInt(), c.Result);
        ASSERT_TRUE(view.WaitFor("\r\n"));
        EXPECT_TRUE(view.Bytes().startsWith(QByteArray("Ntrip: ") + c.Reason)) << view.Bytes().left(160).constData();
        EXPECT_TRUE(view.Bytes().contains(", reconnect in 3000 ms\r\n"));
        const QZvNTripPortCtrl::FAILURE_T failure = p->GetLastFailure();
        EXPECT_EQ(failure.Result, c.Result);
        EXPECT_EQ(failure.Status, c.Status);
        EXPECT_TRUE(failure.Reason.startsWith(QLatin1String(c.Reason))) << failure.Reason.toStdString();
        // The port tries again after its pause and reports the failure once.
        ASSERT_TRUE(WaitForPauses(2));
        EXPECT_EQ(fail.count(), 1);
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}

TEST_F(NtripPort, HostileDatagramsAreDroppedAndTheStreamGoesOn)
{
    for (uint32_t mode : {4u, 3u})
    {
        SCOPED_TRACE(mode);
        CTestCaster caster;
        QSignalSpy fail(&m_Manager, &QZvPortManager::SignalAddPortFail);
        QZvNTripPortCtrl* p = Add(Config(caster.Listen(), mode));
        ASSERT_NE(p, nullptr);
        CView view(p);
        ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
        const QByteArray first = Frames(3);
        caster.Send(first);
        ASSERT_TRUE(view.WaitFor(first));
        const QByteArray taken = caster.m_LastRtpPacket;

        const CTestCaster::RTP_PEER_T peer = caster.RtpPeer();
        const quint16 seq = peer.Sequence;
        const quint32 ts = caster.Timestamp() + 10;
        const quint32 s = peer.Session;
        const auto rtp = [&](int nType, quint16 nSeq, quint32 nTs, quint32 nSession, const QByteArray& Payload)
        { return CTestCaster::Rtp(nType, nSeq, nTs, nSession, Payload); };
        QByteArray version2 = rtp(96, seq, ts, s, "BAD-VERSION");
        version2[0] = 0x40;
        QByteArray extended = rtp(96, seq, ts, s, "BAD-EXTENSION");
        extended[0] = static_cast<char>(0x90);
        QList<QByteArray> hostile = {
            QByteArray("\x80\x60\x00", 3),          // shorter than a header
            version2,                               // not RTP version 2
            extended,                               // a header of another length
            rtp(97, seq, ts, s, "BAD-TYPE97"),      // a reply's type
            rtp(100, seq, ts, s, "BAD-TYPE100"),    // unknown type
            rtp(96, seq, ts, s + 1, "BAD-SESSION"), // another session
            taken,                                  // a replay
            rtp(96, static_cast<quint16>(seq - 2), ts, s, "BAD-LATE"),
            rtp(96, seq, ts - 100000, s, "BAD-TIME"), // its time goes back
            rtp(96, static_cast<quint16>(seq + 5000), ts, s, "BAD-AHEAD"),
            rtp(99, seq, ts, s, QByteArray(60000, 'B')), // large, of an unknown type
        };
        if (mode == 4)
        {
            hostile << rtp(98, seq, ts, s + 1, {}); // another session's end
        }
        for (const QByteArray& datagram : hostile)
        {
            caster.SendDatagram(datagram);
        }
        caster.SendDatagram(rtp(96, seq, ts, s, {})); // an empty packet: the caster's keep-alive
        // A packet that would be next, from another port of the caster's host.
        QUdpSocket stranger;
        ASSERT_TRUE(stranger.bind(QHostAddress(QHostAddress::LocalHost), 0));
        stranger.writeDatagram(rtp(96, seq, ts, s, "BAD-SENDER"), QHostAddress::LocalHost, peer.Port);
        hostile << QByteArray("stranger");

        const QByteArray more = Frames(20, 3);
        caster.Send(more);
        ASSERT_TRUE(view.WaitFor(more));
        EXPECT_TRUE(view.Bytes() == first + more) << "nothing of the hostile datagrams reached the view";
        EXPECT_EQ(p->GetDroppedDatagrams(), static_cast<quint64>(hostile.size()));
        EXPECT_EQ(fail.count(), 0);

        if (mode == 4)
        {
            // The caster ends the session: the port says so and starts the next.
            caster.EndUdpSessions();
            ASSERT_TRUE(fail.wait(20000));
            EXPECT_EQ(fail.at(0).at(2).toInt(), static_cast<int>(NTRIP_UDP_ENDED));
            EXPECT_TRUE(view.WaitFor("Ntrip: the caster ended the session, reconnect in 3000 ms\r\n"));
            ASSERT_TRUE(caster.WaitForRequests(2));

            // Once the stream flows again, packets of only another session end the session too.
            QZvNTripPortCtrl::Timing().SilenceTimeoutMs = 500;
            ASSERT_TRUE(caster.WaitFor([&] { return caster.StreamingClients() == 1; }));
            caster.Send("again");
            ASSERT_TRUE(view.WaitFor("again"));
            const CTestCaster::RTP_PEER_T next = caster.RtpPeer();
            quint16 foreignSeq = 0;
            QTimer foreign;
            QObject::connect(
                &foreign, &QTimer::timeout,
                [&] { caster.SendDatagram(rtp(96, foreignSeq++, caster.Timestamp(), next.Session + 9, "X")); });
            foreign.start(50);
            ASSERT_TRUE(QTest::qWaitFor([&] { return fail.count() == 2; }, 20000));
            foreign.stop();
            EXPECT_EQ(fail.at(1).at(2).toInt(), static_cast<int>(NTRIP_UDP_FOREIGN_SESSION));
            EXPECT_TRUE(view.WaitFor("Ntrip: only packets of another session for 500 ms, reconnect in "));
        }
        m_Manager.DeletePortCtrl(p->UniquePortID);
    }
}
