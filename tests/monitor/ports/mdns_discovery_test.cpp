// Discovering receivers: the server's sockets and their rebind cycle, the
// cache's TTL rules, and browsing, resolving and the receivers' table model
// end to end against a responder on the loopback address. Nothing here sends
// to a multicast group: every server points its groups at the responder.
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTimer>
#include <iostream>

#include "monitor/ports/mdns/mdns_cache.h"
#include "monitor/ports/mdns/mdns_resolver.h"
#include "monitor/ports/mdns/mdns_server.h"
#include "monitor/ports/mdns/service_model.h"
#include "support/monitor/mdns_flood.h"
#include "support/monitor/mdns_responder.h"

namespace
{
const QByteArray TYPE = MDNS_RECEIVER_SERVICE_TYPE;

#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitizedMemory = true;
#else
constexpr bool kSanitizedMemory = false;
#endif

MDNS_RECORD_T Record(uint16_t Type, const QByteArray& Name, uint32_t Ttl = 120)
{
    MDNS_RECORD_T r;
    r.Type = Type;
    r.Name = Name;
    r.Ttl = Ttl;
    return r;
}

// An unasked answer, as anyone on the network may send one.
QByteArray Answer(const QList<MDNS_RECORD_T>& Records)
{
    MDNS_MESSAGE_T message;
    message.Response = true;
    message.Records = Records;
    QByteArray datagram;
    EXPECT_EQ(MDNS_OK, MdnsEncodeMessage(message, &datagram));
    return datagram;
}

// An instance of the type with its host and address.
QList<MDNS_RECORD_T> Instance(const QByteArray& Instance, const QByteArray& Host, const QHostAddress& Address,
                              uint32_t Ttl = 120)
{
    MDNS_RECORD_T ptr = Record(MDNS_TYPE_PTR, TYPE, Ttl);
    ptr.Target = Instance;
    MDNS_RECORD_T srv = Record(MDNS_TYPE_SRV, Instance, Ttl);
    srv.Target = Host;
    srv.Port = 80;
    MDNS_RECORD_T txt = Record(MDNS_TYPE_TXT, Instance, Ttl);
    txt.Attributes = {{"BoardType", "X"}, {"SN", Instance}};
    MDNS_RECORD_T a = Record(MDNS_TYPE_A, Host, Ttl);
    a.Address = Address;
    return {ptr, srv, txt, a};
}

// The process's memory in MB: its peak ("VmHWM") or what it holds now ("VmRSS").
double MemoryMb(const char* pField)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
    {
        if (line.startsWith(pField))
            return line.mid(static_cast<int>(qstrlen(pField))).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

class MdnsDiscovery : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedTiming = Mdns::Timing();
        Mdns::DISCOVERY_TIMING_T& t = Mdns::Timing();
        t.QueryFirstMs = 100;
        t.ServiceDelayMs = 10;
        t.ServiceRetryMs = 50;
        t.ResolveFirstMs = 50;
    }
    void TearDown() override { Mdns::Timing() = m_SavedTiming; }

    static MDNS_RECEIVER_T Receiver(const QByteArray& Name, const char* pIPv4, uint32_t Ttl = 120)
    {
        MDNS_RECEIVER_T r;
        r.Instance = Name;
        r.Host = Name + "-host.local.";
        r.IPv4 = QHostAddress(QString::fromLatin1(pIPv4));
        r.Ttl = Ttl;
        r.Txt = {{"BoardType", "B" + Name}, {"Version", "1.2." + Name}, {"ProductID", "77"}, {"SN", "SN-" + Name}};
        return r;
    }
    static QStringList Row(const ServiceModel& Model, int nRow)
    {
        QStringList cells;
        for (int c = 0; c < Model.columnCount(); ++c)
            cells << Model.data(Model.index(nRow, c)).toString();
        return cells;
    }
    static int RowOf(const ServiceModel& Model, const QString& sName)
    {
        for (int i = 0; i < Model.rowCount(); ++i)
        {
            if (Model.data(Model.index(i, ServiceModel::COLUMN_HOST_NAME)).toString() == sName)
                return i;
        }
        return -1;
    }

    Mdns::DISCOVERY_TIMING_T m_SavedTiming;
    CMdnsResponder m_Responder{TYPE};
};

TEST_F(MdnsDiscovery, ServerBindsOnceWhenEnabledAndKeepsItsSocketsWhenDisabled)
{
    Mdns::SERVER_CONFIG_T config = m_Responder.LoopbackConfig();
    config.RebindMs = 60000;
    Mdns::Server server(config);
    QSignalSpy errors(&server, &Mdns::Server::error);
    EXPECT_FALSE(server.IsIPv4Bound()); // nothing before enabling

    server.SetEnable(true);
    ASSERT_TRUE(server.IsIPv4Bound());
    const quint16 nPort = server.LocalPort();
    EXPECT_TRUE(server.IsRebindTimerActive());
    server.SetEnable(true);
    EXPECT_EQ(nPort, server.LocalPort());

    server.SetEnable(false);
    EXPECT_TRUE(server.IsIPv4Bound());
    EXPECT_EQ(nPort, server.LocalPort());
    EXPECT_FALSE(server.IsRebindTimerActive());
    server.FlipStop(false);
    EXPECT_TRUE(server.IsRebindTimerActive());
    server.FlipStop(true);
    EXPECT_FALSE(server.IsRebindTimerActive());
    EXPECT_EQ(0, errors.count());

    // An address this machine does not have cannot be bound: reported, and
    // the next rebind step tries again.
    config.IPv4Bind = QHostAddress(QStringLiteral("192.0.2.1"));
    Mdns::Server unbound(config);
    QSignalSpy unboundErrors(&unbound, &Mdns::Server::error);
    unbound.SetEnable(true);
    EXPECT_FALSE(unbound.IsIPv4Bound());
    EXPECT_EQ(1, unboundErrors.count());
    EXPECT_TRUE(unbound.IsRebindTimerActive());
}

TEST_F(MdnsDiscovery, ServerDropsGarbageAndReportsMessagesWithTheirSender)
{
    Mdns::Server server(m_Responder.LoopbackConfig());
    server.SetEnable(true);
    QSignalSpy received(&server, &Mdns::Server::messageReceived);
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress(QHostAddress::LocalHost), 0));
    peer.writeDatagram(QByteArray::fromHex("0000840000ff"), QHostAddress::LocalHost, server.LocalPort());
    MDNS_MESSAGE_T message;
    message.Response = true;
    QByteArray datagram;
    ASSERT_EQ(MDNS_OK, MdnsEncodeMessage(message, &datagram));
    peer.writeDatagram(datagram, QHostAddress::LocalHost, server.LocalPort());

    ASSERT_TRUE(received.wait(20000));
    EXPECT_EQ(1, server.DroppedCount());
    const auto got = received.at(0).at(0).value<MDNS_MESSAGE_T>();
    EXPECT_TRUE(got.Response);
    EXPECT_EQ(peer.localPort(), got.Port);
    EXPECT_EQ(QHostAddress(QHostAddress::LocalHost), got.Address);

    // More at once than one turn serves: the rest are dropped and counted.
    received.clear();
    const int nBurst = Mdns::Server::MAX_DATAGRAMS_PER_TURN + 36;
    for (int i = 0; i < nBurst; ++i)
        peer.writeDatagram(datagram, QHostAddress::LocalHost, server.LocalPort());
    ASSERT_TRUE(received.wait(3000));
    QTest::qWait(100);
    EXPECT_EQ(received.count() + server.FloodDroppedCount(), nBurst);
    EXPECT_GE(server.FloodDroppedCount(), 36); // more when the turn ran out of time first

    // To all: the configured group, here the responder.
    MDNS_MESSAGE_T query;
    query.Queries = {MDNS_QUERY_T{TYPE, MDNS_TYPE_PTR, false}};
    server.sendMessageToAll(query);
    EXPECT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, 1));
}

TEST_F(MdnsDiscovery, CacheFollowsGoodbyesAndCacheFlush)
{
    Mdns::Cache cache;
    QSignalSpy expired(&cache, &Mdns::Cache::recordExpired);
    MDNS_RECORD_T a;
    a.Name = "rx.local.";
    a.Type = MDNS_TYPE_A;
    a.Ttl = 120;
    a.Address = QHostAddress("10.0.0.1");
    MDNS_RECORD_T b = a;
    b.Address = QHostAddress("10.0.0.2");
    cache.addRecord(a);
    cache.addRecord(b);
    cache.addRecord(a); // a refresh, not a second record
    EXPECT_EQ(2, cache.Count());

    MDNS_RECORD_T c = a;
    c.Address = QHostAddress("10.0.0.3");
    c.FlushCache = true; // this set replaces what is cached
    cache.addRecord(c);
    EXPECT_EQ(1, cache.Count());
    EXPECT_EQ(2, expired.count());

    MDNS_RECORD_T bye = c;
    bye.Ttl = 0;
    cache.addRecord(bye);
    EXPECT_EQ(0, cache.Count());
    EXPECT_EQ(3, expired.count());
    EXPECT_FALSE(cache.IsExpiryTimerActive());
}

TEST_F(MdnsDiscovery, CacheKeepsTheNewestFewRecordsOfANameButEveryInstanceOfTheType)
{
    Mdns::Cache cache;
    QSignalSpy expired(&cache, &Mdns::Cache::recordExpired);
    const int nMany = 3 * Mdns::Cache::MAX_PER_NAME;
    for (int i = 0; i < nMany; ++i)
    {
        MDNS_RECORD_T a = Record(MDNS_TYPE_A, "rx.local.");
        a.Address = QHostAddress(static_cast<quint32>(0x0A000000 + i));
        cache.addRecord(a);
        MDNS_RECORD_T ptr = Record(MDNS_TYPE_PTR, TYPE);
        ptr.Target = "rx" + QByteArray::number(i) + "." + TYPE;
        cache.addRecord(ptr);
    }
    QList<MDNS_RECORD_T> addresses;
    ASSERT_TRUE(cache.lookupRecords("RX.local.", MDNS_TYPE_A, &addresses));
    ASSERT_EQ(addresses.size(), Mdns::Cache::MAX_PER_NAME);
    EXPECT_EQ(addresses.first().Address, QHostAddress(static_cast<quint32>(0x0A000000 + nMany - addresses.size())));
    EXPECT_EQ(addresses.last().Address, QHostAddress(static_cast<quint32>(0x0A000000 + nMany - 1)));
    EXPECT_EQ(expired.count(), nMany - Mdns::Cache::MAX_PER_NAME);
    QList<MDNS_RECORD_T> pointers;
    ASSERT_TRUE(cache.lookupRecords(TYPE, MDNS_TYPE_PTR, &pointers));
    EXPECT_EQ(pointers.size(), nMany);
    EXPECT_EQ(pointers.first().Target, "rx0." + TYPE) << "in the order first heard";

    // Full, the cache takes nothing new, but refreshes what it holds.
    for (int i = 0; cache.Count() < Mdns::Cache::MAX_ENTRIES; ++i)
    {
        MDNS_RECORD_T ptr = Record(MDNS_TYPE_PTR, TYPE);
        ptr.Target = "more" + QByteArray::number(i) + "." + TYPE;
        cache.addRecord(ptr);
    }
    MDNS_RECORD_T late = Record(MDNS_TYPE_PTR, TYPE);
    late.Target = "late." + TYPE;
    cache.addRecord(late);
    EXPECT_EQ(cache.Count(), Mdns::Cache::MAX_ENTRIES);
    EXPECT_TRUE(cache.lookupRecords(TYPE, MDNS_TYPE_PTR, &pointers));
    EXPECT_NE(pointers.last().Target, late.Target);
    MDNS_RECORD_T bye = Record(MDNS_TYPE_PTR, TYPE, 0);
    bye.Target = "rx0." + TYPE;
    cache.addRecord(bye);
    EXPECT_EQ(cache.Count(), Mdns::Cache::MAX_ENTRIES - 1);
}

TEST_F(MdnsDiscovery, CacheAsksAgainBeforeARecordRunsOutThenDropsIt)
{
    Mdns::Cache cache;
    QSignalSpy queries(&cache, &Mdns::Cache::shouldQuery);
    QSignalSpy expired(&cache, &Mdns::Cache::recordExpired);
    MDNS_RECORD_T a;
    a.Name = "rx.local.";
    a.Type = MDNS_TYPE_A;
    a.Ttl = 1;
    a.Address = QHostAddress("10.0.0.1");
    cache.addRecord(a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return expired.count() == 1; }, 20000));
    EXPECT_GE(queries.count(), 1);
    EXPECT_LE(queries.count(), 4);
    EXPECT_EQ(0, cache.Count());

    // Paused, a record outlives its TTL; the expiry comes on resuming.
    cache.addRecord(a);
    cache.FlipStop(true);
    QTest::qWait(1200);
    EXPECT_EQ(1, cache.Count());
    cache.FlipStop(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return cache.Count() == 0; }, 20000));
}

TEST_F(MdnsDiscovery, ModelKeepsOneRowPerReceiverOfItsType)
{
    Mdns::Server server(m_Responder.LoopbackConfig()); // never enabled: nothing is sent
    ServiceModel model(&server, TYPE);
    EXPECT_EQ(7, model.columnCount());
    EXPECT_EQ("IP", model.headerData(3, Qt::Horizontal).toString());
    EXPECT_EQ("Host name", model.headerData(1, Qt::Horizontal).toString());
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());

    const auto service = [](const QByteArray& Type, const QByteArray& Name, const QByteArray& Host)
    {
        Mdns::Service s;
        s.setType(Type);
        s.setName(Name);
        s.setHostname(Host);
        s.setPort(80);
        s.setAttributes({{"BoardType", "B9"}, {"Version", "1.2"}, {"ProductID", "77"}, {"SN", "S1"}});
        return s;
    };
    model.onServiceAdded(service("_http._tcp.local.", "printer", "printer.local."));
    EXPECT_EQ(0, model.rowCount());

    const int nResolvers = Mdns::Resolver::InstanceCount();
    for (const char* pName : {"rx0", "rx1", "rx2"})
        model.onServiceAdded(service(TYPE, pName, QByteArray(pName) + ".local."));
    model.onServiceAdded(service(TYPE, "rx1", "other.local."));
    ASSERT_EQ(3, model.rowCount());
    EXPECT_EQ(nResolvers + 3, Mdns::Resolver::InstanceCount());
    EXPECT_EQ(QStringList({"2", "rx1", "B9", "", "1.2", "77", "S1"}), Row(model, 1));

    Mdns::Service partial = service(TYPE, "rx2", "rx2.local.");
    partial.setAttributes({{"SN", "S9"}});
    model.onServiceUpdated(partial);
    EXPECT_EQ(QStringList({"3", "rx2", "", "", "", "", "S9"}), Row(model, 2));
    // A zero byte in a value, as the network may send one, does not end it.
    partial.setAttributes({{"SN", QByteArray("S9\0tail", 7)}});
    model.onServiceUpdated(partial);
    EXPECT_EQ(QString::fromUtf8("S9\0tail", 7), Row(model, 2).value(6));

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.onServiceRemoved(service(TYPE, "rx1", ""));
    ASSERT_EQ(1, removed.count());
    ASSERT_EQ(2, model.rowCount());
    EXPECT_EQ("rx2", Row(model, 1).value(1));
    EXPECT_EQ("2", Row(model, 1).value(0));
    EXPECT_EQ(nResolvers + 2, Mdns::Resolver::InstanceCount());

    model.Refresh();
    EXPECT_EQ(0, model.rowCount());
    EXPECT_EQ(nResolvers, Mdns::Resolver::InstanceCount());
}

TEST_F(MdnsDiscovery, TwoReceiversAppearWithTheirPropertiesAndGoWhenWithdrawnOrSilent)
{
    m_Responder.Announce(Receiver("rx1", "127.0.0.21"));
    MDNS_RECEIVER_T rx2 = Receiver("rx2", "127.0.0.22", 2);
    rx2.IPv6 = QHostAddress("fe80::22"); // the row shows the IPv4 address
    m_Responder.Announce(rx2);
    m_Responder.ForeignType = "_printer._tcp.local.";
    Mdns::Server server(m_Responder.LoopbackConfig());
    server.SetEnable(true);
    ServiceModel model(&server, TYPE);

    const auto resolved = [&]
    { return model.rowCount() == 2 && !Row(model, 0).value(3).isEmpty() && !Row(model, 1).value(3).isEmpty(); };
    ASSERT_TRUE(QTest::qWaitFor(resolved, 20000)) << model.rowCount();
    const int r1 = RowOf(model, "rx1");
    const int r2 = RowOf(model, "rx2");
    ASSERT_GE(r1, 0);
    ASSERT_GE(r2, 0);
    EXPECT_EQ(QStringList({QString::number(r1 + 1), "rx1", "Brx1", "127.0.0.21", "1.2.rx1", "77", "SN-rx1"}),
              Row(model, r1));
    EXPECT_EQ(QStringList({QString::number(r2 + 1), "rx2", "Brx2", "127.0.0.22", "1.2.rx2", "77", "SN-rx2"}),
              Row(model, r2));
    EXPECT_EQ(-1, RowOf(model, "printer"));

    // rx1 says goodbye: its row goes at once and rx2 moves up to row 1.
    m_Responder.SayGoodbye("rx1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 1; }, 20000));
    EXPECT_EQ("1", Row(model, 0).value(0));
    EXPECT_EQ("rx2", Row(model, 0).value(1));

    // rx2 falls silent: its records run out after their 2 s and the row goes.
    m_Responder.FallSilent("rx2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 0; }, 20000));
}

TEST_F(MdnsDiscovery, PausedDiscoverySendsNothingAndRefreshAsksAtOnce)
{
    m_Responder.Announce(Receiver("rx1", "127.0.0.21"));
    m_Responder.WithAdditionals = true;
    Mdns::Server server(m_Responder.LoopbackConfig());
    server.SetEnable(true);
    ServiceModel model(&server, TYPE);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Row(model, 0).value(3).isEmpty(); }, 20000));
    // The answer carried everything: no SRV, TXT or address question was needed.
    EXPECT_EQ(0, m_Responder.QueryCount("rx1." + TYPE, MDNS_TYPE_SRV));
    EXPECT_EQ(0, m_Responder.QueryCount("rx1-host.local.", MDNS_TYPE_A));

    model.FlipStop(true);
    server.FlipStop(true);
    const int nAsked = m_Responder.Questions.size();
    QTest::qWait(500);
    EXPECT_EQ(nAsked, m_Responder.Questions.size());

    const int nBrowsed = m_Responder.QueryCount(TYPE, MDNS_TYPE_PTR);
    model.FlipStop(false);
    model.Refresh();
    EXPECT_EQ(0, model.rowCount());
    EXPECT_TRUE(m_Responder.WaitForQueries(TYPE, MDNS_TYPE_PTR, nBrowsed + 1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 1 && !Row(model, 0).value(3).isEmpty(); }, 20000));
}

TEST_F(MdnsDiscovery, AnInstanceWhoseNameReadsLikeAReceiversHasARowOfItsOwn)
{
    m_Responder.Announce(Receiver("rx-REAL", "127.0.0.21"));
    Mdns::Server server(m_Responder.LoopbackConfig());
    server.SetEnable(true);
    ServiceModel model(&server, TYPE);
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 1 && !Row(model, 0).value(3).isEmpty(); }, 10000));

    // Another host announces "rx-REAL.x" of the type, whose first label is
    // the receiver's name, then withdraws it.
    const QByteArray fake = "rx-REAL.x." + TYPE;
    m_Responder.SendRaw(Answer(Instance(fake, "evil.local.", QHostAddress("127.0.0.66"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 2 && !Row(model, 1).value(3).isEmpty(); }, 5000));
    EXPECT_EQ(Row(model, 1).value(1), "rx-REAL.x");
    EXPECT_EQ(Row(model, 1).value(3), "127.0.0.66");
    MDNS_RECORD_T bye = Record(MDNS_TYPE_PTR, TYPE, 0);
    bye.Target = fake;
    m_Responder.SendRaw(Answer({bye}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 1; }, 5000));
    EXPECT_EQ(QStringList({"1", "rx-REAL", "Brx-REAL", "127.0.0.21", "1.2.rx-REAL", "77", "SN-rx-REAL"}),
              Row(model, 0));
}

TEST_F(MdnsDiscovery, AFloodFromTheNetworkNeitherHoldsTheWindowNorGrowsWithoutEnd)
{
    m_Responder.Announce(Receiver("rx1", "127.0.0.21"));
    Mdns::Server server(m_Responder.LoopbackConfig());
    server.SetEnable(true);
    ServiceModel model(&server, TYPE);
    QTableView view;
    view.setModel(&model);
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.rowCount() == 1 && !Row(model, 0).value(3).isEmpty(); }, 10000));

    // The event loop's lag: how late a 10 ms timer fires at worst.
    QElapsedTimer sinceTick;
    qint64 maxLagMs = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] { maxLagMs = qMax(maxLagMs, sinceTick.restart() - 10); });
    sinceTick.start();
    probe.start(10);

    // One host claims new addresses for the receiver's host name, a hundred
    // in every datagram; another announces ten new receivers in every one.
    const QByteArray host = "rx1-host.local.";
    const double baseMb = MemoryMb("VmRSS:");
    {
        CMdnsFlood addresses(server.LocalPort(), 300, 3000,
                             [&host](uint64_t n)
                             {
                                 QList<MDNS_RECORD_T> records;
                                 for (quint32 i = 0; i < 100; ++i)
                                 {
                                     MDNS_RECORD_T a = Record(MDNS_TYPE_A, host);
                                     a.Address = QHostAddress(static_cast<quint32>(0x0A000000u + n * 100 + i));
                                     records << a;
                                 }
                                 return Answer(records);
                             });
        CMdnsFlood services(server.LocalPort(), 100, 3000,
                            [](uint64_t n)
                            {
                                QList<MDNS_RECORD_T> records;
                                for (uint64_t i = n * 10; i < n * 10 + 10; ++i)
                                {
                                    const QByteArray name = "fake-" + QByteArray::number(qulonglong(i));
                                    records += Instance(name + "." + TYPE, name + ".local.",
                                                        QHostAddress(static_cast<quint32>(0x0B000000u + i)));
                                }
                                return Answer(records);
                            });
        ASSERT_TRUE(QTest::qWaitFor([&] { return addresses.IsDone() && services.IsDone(); }, 20000));
        std::cout << "[ FLOOD    ] " << addresses.Sent() << " address and " << services.Sent()
                  << " service datagrams in 3 s\n";
    }
    QTest::qWait(200);
    probe.stop();
    const double peakMb = MemoryMb("VmHWM:");
    std::cout << "[ FLOOD    ] event loop lag at worst " << maxLagMs << " ms; memory " << baseMb << " MB before, "
              << peakMb << " MB at peak; " << server.FloodDroppedCount() << " datagrams dropped unread\n";
    RecordProperty("max_lag_ms", static_cast<int>(maxLagMs));
    RecordProperty("peak_memory_mb", static_cast<int>(peakMb));
    EXPECT_LT(maxLagMs, 250);
    // The address sanitizer keeps freed memory aside for a while (up to 256
    // MB): there the bound is on what the attack adds.
    EXPECT_LT(peakMb, kSanitizedMemory ? baseMb + 500 : 500);

    // The receiver keeps its row; its host's addresses are the newest few.
    EXPECT_GE(RowOf(model, "rx1"), 0);
    for (const Mdns::Resolver* pResolver : model.findChildren<Mdns::Resolver*>())
        EXPECT_LE(pResolver->Addresses().size(), Mdns::Resolver::MAX_ADDRESSES);

    EXPECT_GT(model.rowCount(), 100) << "announcements are taken while the cache has room";
}
} // namespace
