#include "monitor/ports/mdns/mdns_resolver.h"

#include <QHash>
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

// The resolvers of one source (a server, for the address records it
// receives; a cache, for the records due to be asked again), by host name
// in lower case. It lives as a child of its source, one per source.
class HostIndex : public QObject
{
public:
    using TAKE_T = void (Resolver::*)(const MDNS_RECORD_T&);

    static HostIndex* Of(Server* pServer)
    {
        if (HostIndex* pIndex = Find(pServer))
            return pIndex;
        auto* pIndex = new HostIndex(pServer);
        connect(pServer, &Server::messageReceived, pIndex,
                [pIndex](const MDNS_MESSAGE_T& Message)
                {
                    if (!Message.Response)
                        return;
                    for (const MDNS_RECORD_T& record : Message.Records)
                        pIndex->Deliver(record, &Resolver::OnAddressHeard);
                });
        return pIndex;
    }
    static HostIndex* Of(Cache* pCache)
    {
        if (HostIndex* pIndex = Find(pCache))
            return pIndex;
        auto* pIndex = new HostIndex(pCache);
        connect(pCache, &Cache::shouldQuery, pIndex,
                [pIndex](const MDNS_RECORD_T& Record) { pIndex->Deliver(Record, &Resolver::OnShouldQuery); });
        return pIndex;
    }
    void Add(Resolver* pResolver) { m_Resolvers[pResolver->HostName().toLower()].append(pResolver); }
    void Remove(Resolver* pResolver)
    {
        const auto it = m_Resolvers.find(pResolver->HostName().toLower());
        if (it == m_Resolvers.end())
            return;
        it->removeOne(pResolver);
        if (it->isEmpty())
            m_Resolvers.erase(it);
    }

private:
    explicit HostIndex(QObject* pSource) : QObject(pSource) {}
    static HostIndex* Find(QObject* pSource)
    {
        for (QObject* pChild : pSource->children())
        {
            if (auto* pIndex = dynamic_cast<HostIndex*>(pChild))
                return pIndex;
        }
        return nullptr;
    }
    void Deliver(const MDNS_RECORD_T& Record, TAKE_T pfnTake)
    {
        if (!IsAddress(Record))
            return;
        const QByteArray key = Record.Name.toLower();
        const auto it = m_Resolvers.constFind(key);
        if (it == m_Resolvers.constEnd())
            return;
        // A resolver may be stopped by what another one reports.
        const QList<Resolver*> resolvers = *it;
        for (Resolver* pResolver : resolvers)
        {
            if (m_Resolvers.value(key).contains(pResolver))
                (pResolver->*pfnTake)(Record);
        }
    }

    QHash<QByteArray, QList<Resolver*>> m_Resolvers;
};

Resolver::Resolver(Server* pServer, const QByteArray& HostName, Cache* pCache, QObject* pParent)
    : QObject(pParent), m_pServer(pServer), m_HostName(HostName), m_pCache(pCache), m_Timer(this),
      m_nInterval(Timing().ResolveFirstMs)
{
    ++s_nInstances;
    m_Timer.setSingleShot(true);
    connect(&m_Timer, &QTimer::timeout, this, &Resolver::OnTimeout);
    m_pHeard = HostIndex::Of(m_pServer);
    m_pHeard->Add(this);
    m_pDue = HostIndex::Of(m_pCache);
    m_pDue->Add(this);
    // The first look happens once the creator could connect to resolved().
    m_Timer.start(0);
}

Resolver::~Resolver()
{
    Stop();
    --s_nInstances;
}

int Resolver::InstanceCount() { return s_nInstances.load(); }

void Resolver::Stop()
{
    m_Timer.stop();
    // The server or the cache may be gone already, with its index.
    for (QPointer<HostIndex>* pIndex : {&m_pHeard, &m_pDue})
    {
        if (!pIndex->isNull())
            (*pIndex)->Remove(this);
        *pIndex = nullptr;
    }
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
    if (m_Reported.size() >= MAX_ADDRESSES)
        m_Reported.removeFirst();
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

void Resolver::OnAddressHeard(const MDNS_RECORD_T& Record)
{
    Report(Record);
    if (!m_Reported.isEmpty() && m_bCacheRead)
        m_Timer.stop();
}

void Resolver::OnShouldQuery(const MDNS_RECORD_T&) { Query(); }
} // namespace Mdns
