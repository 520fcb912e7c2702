#include "monitor/ports/mdns/mdns_browser.h"

#include "monitor/ports/mdns/mdns_cache.h"
#include "monitor/ports/mdns/mdns_log.h"
#include "monitor/ports/mdns/mdns_server.h"

namespace Mdns
{
QByteArray Service::instanceName() const
{
    return m_InstanceName.isEmpty() ? MdnsEscapeLabel(m_Name) + "." + m_Type : m_InstanceName;
}

bool Service::operator==(const Service& Other) const
{
    return m_Type == Other.m_Type && m_Name == Other.m_Name && m_InstanceName == Other.m_InstanceName &&
           m_Hostname == Other.m_Hostname && m_Port == Other.m_Port && m_Attributes == Other.m_Attributes;
}

Browser::Browser(Server* pServer, const QByteArray& Type, Cache* pCache, QObject* pParent)
    : QObject(pParent), m_pServer(pServer), m_Type(Type), m_TypeSuffix("." + Type.toLower()), m_pCache(pCache),
      m_QueryTimer(this), m_ServiceTimer(this), m_nQueryInterval(Timing().QueryFirstMs)
{
    qRegisterMetaType<Mdns::Service>();
    m_QueryTimer.setSingleShot(true);
    m_ServiceTimer.setSingleShot(true);
    connect(&m_QueryTimer, &QTimer::timeout, this, &Browser::OnQueryTimeout);
    connect(&m_ServiceTimer, &QTimer::timeout, this, &Browser::OnServiceTimeout);
    connect(m_pServer, &Server::messageReceived, this, &Browser::OnMessageReceived);
    connect(m_pCache, &Cache::shouldQuery, this, &Browser::OnShouldQuery);
    connect(m_pCache, &Cache::recordExpired, this, &Browser::OnRecordExpired);
    m_QueryTimer.start(0);
}

void Browser::FlipStop(bool bPause)
{
    if (bPause)
    {
        m_QueryTimer.stop();
        m_ServiceTimer.stop();
    }
    else
    {
        m_QueryTimer.start(m_nQueryInterval);
        m_ServiceTimer.start(Timing().ServiceDelayMs);
    }
    m_bPaused = bPause;
    qCDebug(lcMdns, "Browser FlipStop %d out %d %d %d", bPause, m_bPaused, m_QueryTimer.isActive(),
            m_ServiceTimer.isActive());
}

void Browser::Refresh()
{
    m_Services.clear();
    m_Tries.clear();
    m_pCache->Clear();
    m_nQueryInterval = Timing().QueryFirstMs;
    OnQueryTimeout();
    OnServiceTimeout();
}

bool Browser::IsOurs(const MDNS_RECORD_T& Record) const
{
    if (Record.Type == MDNS_TYPE_PTR)
        return MdnsSameName(Record.Name, m_Type);
    if (Record.Type == MDNS_TYPE_SRV || Record.Type == MDNS_TYPE_TXT)
        return Key(Record.Name).endsWith(m_TypeSuffix);
    return false;
}

void Browser::Query(const QList<MDNS_QUERY_T>& Queries)
{
    if (Queries.isEmpty())
        return;
    MDNS_MESSAGE_T message;
    message.Queries = Queries;
    m_pServer->sendMessageToAll(message);
}

void Browser::OnQueryTimeout()
{
    MDNS_QUERY_T query;
    query.Name = m_Type;
    query.Type = MDNS_TYPE_PTR;
    Query({query});
    if (!m_bPaused)
        m_QueryTimer.start(m_nQueryInterval);
    m_nQueryInterval = qMin(m_nQueryInterval * 2, Timing().QueryMaxMs);
}

void Browser::ScheduleServiceStep(int nMs)
{
    if (m_bPaused)
        return;
    if (!m_ServiceTimer.isActive() || m_ServiceTimer.remainingTime() > nMs)
        m_ServiceTimer.start(nMs);
}

void Browser::OnMessageReceived(const MDNS_MESSAGE_T& Message)
{
    if (!Message.Response)
        return;
    bool bNews = false;
    for (const MDNS_RECORD_T& record : Message.Records)
    {
        // Addresses are kept for the resolvers; anything else that is not
        // about this type is no concern of the browser.
        const bool bOurs = IsOurs(record);
        if (!bOurs && record.Type != MDNS_TYPE_A && record.Type != MDNS_TYPE_AAAA)
            continue;
        m_pCache->addRecord(record);
        if (bOurs)
        {
            m_Tries.remove(Key(record.Type == MDNS_TYPE_PTR ? record.Target : record.Name));
            bNews = true;
        }
    }
    if (bNews)
        ScheduleServiceStep(Timing().ServiceDelayMs);
}

void Browser::OnShouldQuery(const MDNS_RECORD_T& Record)
{
    if (!IsOurs(Record))
        return;
    MDNS_QUERY_T query;
    query.Name = Record.Name;
    query.Type = Record.Type;
    Query({query});
}

void Browser::RemoveService(const QByteArray& Instance)
{
    const auto it = m_Services.find(Key(Instance));
    if (it == m_Services.end())
        return;
    const Service service = it.value();
    m_Services.erase(it);
    emit serviceRemoved(service);
}

void Browser::OnRecordExpired(const MDNS_RECORD_T& Record)
{
    if (!IsOurs(Record))
        return;
    if (Record.Type == MDNS_TYPE_PTR)
    {
        m_Tries.remove(Key(Record.Target));
        RemoveService(Record.Target);
        return;
    }
    // A record replaced by a newer one of the same kind is an update, not a loss.
    MDNS_RECORD_T current;
    if (m_pCache->lookupRecord(Record.Name, Record.Type, &current))
        ScheduleServiceStep(Timing().ServiceDelayMs);
    else
        RemoveService(Record.Name);
}

void Browser::OnServiceTimeout()
{
    QList<MDNS_RECORD_T> pointers;
    m_pCache->lookupRecords(m_Type, MDNS_TYPE_PTR, &pointers);
    QList<MDNS_QUERY_T> queries;
    for (const MDNS_RECORD_T& pointer : pointers)
    {
        const QByteArray instance = pointer.Target;
        MDNS_RECORD_T srv;
        MDNS_RECORD_T txt;
        const bool bSrv = m_pCache->lookupRecord(instance, MDNS_TYPE_SRV, &srv);
        const bool bTxt = m_pCache->lookupRecord(instance, MDNS_TYPE_TXT, &txt);
        if (!bSrv || !bTxt)
        {
            int& nTries = m_Tries[Key(instance)];
            if (nTries >= Timing().ServiceTries)
                continue;
            ++nTries;
            if (!bSrv)
                queries.append(MDNS_QUERY_T{instance, MDNS_TYPE_SRV, false});
            if (!bTxt)
                queries.append(MDNS_QUERY_T{instance, MDNS_TYPE_TXT, false});
            continue;
        }
        // The labels before the type; an instance is meant to have one, but
        // anyone may announce more.
        QList<QByteArray> labels;
        if (!MdnsSplitName(instance.left(instance.size() - m_TypeSuffix.size()), &labels) || labels.isEmpty())
            continue;
        Service service;
        service.setType(m_Type);
        service.setName(labels.join('.'));
        service.setInstanceName(instance);
        service.setHostname(srv.Target);
        service.setPort(srv.Port);
        service.setAttributes(txt.Attributes);
        const auto it = m_Services.find(Key(instance));
        if (it == m_Services.end())
        {
            m_Services.insert(Key(instance), service);
            emit serviceAdded(service);
        }
        else if (it.value() != service)
        {
            it.value() = service;
            emit serviceUpdated(service);
        }
    }
    Query(queries);
    if (!queries.isEmpty())
        ScheduleServiceStep(Timing().ServiceRetryMs);
}
} // namespace Mdns
