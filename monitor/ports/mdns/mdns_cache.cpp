#include "monitor/ports/mdns/mdns_cache.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <limits>

namespace Mdns
{
namespace
{
// Points in per mille of the TTL at which a record is queried again.
constexpr int QUERY_POINTS[] = {800, 850, 900, 950};
constexpr int QUERY_POINT_COUNT = 4;

void AppendU16(QByteArray* pOut, uint16_t v)
{
    uchar b[2];
    qToBigEndian(v, b);
    pOut->append(reinterpret_cast<const char*>(b), 2);
}

void AppendSized(QByteArray* pOut, const QByteArray& Bytes)
{
    uchar b[4];
    qToBigEndian(static_cast<quint32>(Bytes.size()), b);
    pOut->append(reinterpret_cast<const char*>(b), 4);
    pOut->append(Bytes);
}
} // namespace

Cache::Cache(QObject* pParent) : QObject(pParent), m_Timer(this)
{
    qRegisterMetaType<MDNS_RECORD_T>();
    m_Clock.start();
    m_Timer.setSingleShot(true);
    connect(&m_Timer, &QTimer::timeout, this, &Cache::OnTimeout);
}

qint64 Cache::QueryAtMs(const ENTRY_T& Entry)
{
    if (Entry.NextQuery >= QUERY_POINT_COUNT)
        return std::numeric_limits<qint64>::max();
    return Entry.AddedMs + static_cast<qint64>(Entry.Record.Ttl) * QUERY_POINTS[Entry.NextQuery];
}

qint64 Cache::ExpiresAtMs(const ENTRY_T& Entry) { return Entry.AddedMs + static_cast<qint64>(Entry.Record.Ttl) * 1000; }

QByteArray Cache::Identity(const MDNS_RECORD_T& Record)
{
    // What MDNS_RECORD_T::SameData compares, as bytes: the name in one case,
    // the type, and the data of the type.
    QByteArray id;
    AppendSized(&id, SetKey(Record.Name));
    AppendU16(&id, Record.Type);
    switch (Record.Type)
    {
    case MDNS_TYPE_A:
    {
        uchar b[4];
        qToBigEndian(Record.Address.toIPv4Address(), b);
        id.append(reinterpret_cast<const char*>(b), 4);
        break;
    }
    case MDNS_TYPE_AAAA:
    {
        const Q_IPV6ADDR a = Record.Address.toIPv6Address();
        id.append(reinterpret_cast<const char*>(a.c), 16);
        break;
    }
    case MDNS_TYPE_PTR:
        id.append(Record.Target.toLower());
        break;
    case MDNS_TYPE_SRV:
        AppendU16(&id, Record.Port);
        AppendU16(&id, Record.Priority);
        AppendU16(&id, Record.Weight);
        id.append(Record.Target.toLower());
        break;
    case MDNS_TYPE_TXT:
    {
        // Up to a datagram of attributes: their digest stands for them.
        QCryptographicHash digest(QCryptographicHash::Sha1);
        for (auto it = Record.Attributes.constBegin(); it != Record.Attributes.constEnd(); ++it)
        {
            QByteArray pair;
            AppendSized(&pair, it.key());
            AppendSized(&pair, it.value());
            digest.addData(pair);
        }
        id.append(digest.result());
        break;
    }
    default:
        break;
    }
    return id;
}

void Cache::SetDue(ENTRY_T* pEntry, const QByteArray& Id)
{
    m_Due.erase(DUE_T(pEntry->DueMs, Id));
    pEntry->DueMs = qMin(QueryAtMs(*pEntry), ExpiresAtMs(*pEntry));
    m_Due.insert(DUE_T(pEntry->DueMs, Id));
}

QList<QByteArray> Cache::SetOf(const QByteArray& Name, uint16_t Type) const
{
    const auto types = m_Sets.constFind(SetKey(Name));
    if (types == m_Sets.constEnd())
        return {};
    if (Type != MDNS_TYPE_ANY)
        return types->value(Type).values();
    QMap<quint64, QByteArray> all;
    for (const QMap<quint64, QByteArray>& set : *types)
        all.insert(set);
    return all.values();
}

void Cache::Insert(const QByteArray& Id, const MDNS_RECORD_T& Record)
{
    ENTRY_T entry;
    entry.Record = Record;
    entry.AddedMs = Now();
    entry.Order = m_NextOrder++;
    entry.DueMs = qMin(QueryAtMs(entry), ExpiresAtMs(entry));
    m_Sets[SetKey(Record.Name)][Record.Type].insert(entry.Order, Id);
    m_Due.insert(DUE_T(entry.DueMs, Id));
    m_Entries.insert(Id, entry);
}

void Cache::Refresh(ENTRY_T* pEntry, const QByteArray& Id, const MDNS_RECORD_T& Record)
{
    pEntry->Record = Record;
    pEntry->AddedMs = Now();
    pEntry->NextQuery = 0;
    SetDue(pEntry, Id);
}

QByteArray Cache::Crowded(const MDNS_RECORD_T& Record) const
{
    if (Record.Type == MDNS_TYPE_PTR)
        return {};
    const QList<QByteArray> same = SetOf(Record.Name, Record.Type);
    if (same.size() < MAX_PER_NAME)
        return {};
    QByteArray oldest;
    qint64 oldestMs = 0;
    for (const QByteArray& id : same)
    {
        const qint64 addedMs = m_Entries.value(id).AddedMs;
        if (oldest.isEmpty() || addedMs < oldestMs)
        {
            oldest = id;
            oldestMs = addedMs;
        }
    }
    return oldest;
}

MDNS_RECORD_T Cache::Remove(const QByteArray& Id)
{
    const ENTRY_T entry = m_Entries.take(Id);
    m_Due.erase(DUE_T(entry.DueMs, Id));
    const auto types = m_Sets.find(SetKey(entry.Record.Name));
    if (types != m_Sets.end())
    {
        const auto set = types->find(entry.Record.Type);
        if (set != types->end())
        {
            set->remove(entry.Order);
            if (set->isEmpty())
                types->erase(set);
        }
        if (types->isEmpty())
            m_Sets.erase(types);
    }
    return entry.Record;
}

void Cache::addRecord(const MDNS_RECORD_T& Record)
{
    const QByteArray id = Identity(Record);
    QList<MDNS_RECORD_T> dropped;
    if (Record.FlushCache && Record.Ttl > 0)
    {
        for (const QByteArray& other : SetOf(Record.Name, Record.Type))
        {
            if (other != id)
                dropped.append(Remove(other));
        }
    }
    const auto it = m_Entries.find(id);
    if (it != m_Entries.end())
    {
        if (Record.Ttl == 0)
            dropped.append(Remove(id));
        else
            Refresh(&it.value(), id, Record);
    }
    else if (Record.Ttl > 0)
    {
        const QByteArray oldest = Crowded(Record);
        if (!oldest.isEmpty())
            dropped.append(Remove(oldest));
        if (m_Entries.size() < MAX_ENTRIES)
            Insert(id, Record);
    }
    Schedule();
    // Reports go out once the records are consistent: a receiver may look records up.
    for (const MDNS_RECORD_T& record : dropped)
        emit recordExpired(record);
}

bool Cache::lookupRecord(const QByteArray& Name, uint16_t Type, MDNS_RECORD_T* pRecord) const
{
    const QList<QByteArray> set = SetOf(Name, Type);
    if (set.isEmpty())
        return false;
    *pRecord = m_Entries.value(set.first()).Record;
    return true;
}

bool Cache::lookupRecords(const QByteArray& Name, uint16_t Type, QList<MDNS_RECORD_T>* pRecords) const
{
    pRecords->clear();
    for (const QByteArray& id : SetOf(Name, Type))
        pRecords->append(m_Entries.value(id).Record);
    return !pRecords->isEmpty();
}

void Cache::FlipStop(bool bPause)
{
    m_bPaused = bPause;
    if (bPause)
        m_Timer.stop();
    else
        Schedule();
}

void Cache::Clear()
{
    m_Entries.clear();
    m_Sets.clear();
    m_Due.clear();
    m_Timer.stop();
}

void Cache::OnTimeout()
{
    const qint64 now = Now();
    QList<QByteArray> due;
    for (auto it = m_Due.cbegin(); it != m_Due.cend() && it->first <= now; ++it)
        due.append(it->second);
    QList<MDNS_RECORD_T> expired;
    QList<MDNS_RECORD_T> queries;
    for (const QByteArray& id : qAsConst(due))
    {
        const auto it = m_Entries.find(id);
        if (it == m_Entries.end())
            continue;
        if (ExpiresAtMs(*it) <= now)
        {
            expired.append(Remove(id));
            continue;
        }
        // One query for however many points have passed.
        while (it->NextQuery < QUERY_POINT_COUNT && QueryAtMs(*it) <= now)
            ++it->NextQuery;
        queries.append(it->Record);
        SetDue(&it.value(), id);
    }
    for (const MDNS_RECORD_T& record : queries)
        emit shouldQuery(record);
    for (const MDNS_RECORD_T& record : expired)
        emit recordExpired(record);
    Schedule();
}

void Cache::Schedule()
{
    if (m_bPaused || m_Due.empty())
    {
        m_Timer.stop();
        return;
    }
    const qint64 wait = qBound<qint64>(0, m_Due.cbegin()->first - Now(), std::numeric_limits<int>::max());
    m_Timer.start(static_cast<int>(wait));
}
} // namespace Mdns
