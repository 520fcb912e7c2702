#include "monitor/ports/mdns/mdns_resolver.h"

#include <atomic>

#include "monitor/ports/mdns/mdns_cache.h"
#include "monitor/ports/mdns/mdns_server.h"

namespace Mdns
{
namespace
{
std::atomic<int> s_nInstances{0};

bool IsAddress(const MDNS_RECORD_T& Record) { return Record.Type == MDNS_TYPE_A || Record.Type == MDNS_TYPE_AAAA; }
} // namespace

Resolver::Resolver(Server* pServer, const QByteArray& HostName, Cache* pCache, QObject* pParent)
    : QObject(pParent), m_pServer(pServer), m_HostName(HostName), m_pCache(pCache), m_Timer(this),
      m_nInterval(Timing().ResolveFirstMs)
{
    ++s_nInstances;
    m_Timer.setSingleShot(true);
    connect(&m_Timer, &QTimer::timeout, this, &Resolver::OnTimeout);
    m_Links[0] = connect(m_pServer, &Server::messageReceived, this, &Resolver::OnMessageReceived);
    m_Links[1] = connect(m_pCache, &Cache::shouldQuery, this, &Resolver::OnShouldQuery);
    // The first look happens once the creator could connect to resolved().
    m_Timer.start(0);
}

Resolver::~Resolver() { --s_nInstances; }

int Resolver::InstanceCount() { return s_nInstances.load(); }

void Resolver::Stop()
{
    m_Timer.stop();
    // By the connections, not the senders: the server may be gone already.
    for (const QMetaObject::Connection& link : m_Links)
        disconnect(link);
}

void Resolver::FlipStop(bool bPause)
{
    if (bPause)
        m_Timer.stop();
    else if (m_Reported.isEmpty() && !m_Timer.isActive())
        m_Timer.start(0);
}

void Resolver::Query()
{
    MDNS_MESSAGE_T message;
    message.Queries = {MDNS_QUERY_T{m_HostName, MDNS_TYPE_A, false}, MDNS_QUERY_T{m_HostName, MDNS_TYPE_AAAA, false}};
    m_pServer->sendMessageToAll(message);
}

void Resolver::Report(const MDNS_RECORD_T& Record)
{
    if (!IsAddress(Record) || Record.Ttl == 0 || !MdnsSameName(Record.Name, m_HostName) ||
        m_Reported.contains(Record.Address))
    {
        return;
    }
    m_Reported.append(Record.Address);
    emit resolved(Record.Address);
}

void Resolver::OnTimeout()
{
    if (!m_bCacheRead)
    {
        m_bCacheRead = true;
        QList<MDNS_RECORD_T> records;
        m_pCache->lookupRecords(m_HostName, MDNS_TYPE_ANY, &records);
        for (const MDNS_RECORD_T& record : records)
            Report(record);
    }
    if (!m_Reported.isEmpty())
        return;
    Query();
    m_Timer.start(m_nInterval);
    m_nInterval = qMin(m_nInterval * 2, Timing().ResolveMaxMs);
}

void Resolver::OnMessageReceived(const MDNS_MESSAGE_T& Message)
{
    if (!Message.Response)
        return;
    for (const MDNS_RECORD_T& record : Message.Records)
        Report(record);
    if (!m_Reported.isEmpty() && m_bCacheRead)
        m_Timer.stop();
}

void Resolver::OnShouldQuery(const MDNS_RECORD_T& Record)
{
    if (IsAddress(Record) && MdnsSameName(Record.Name, m_HostName))
        Query();
}
} // namespace Mdns
