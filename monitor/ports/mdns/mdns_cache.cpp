#include "monitor/ports/mdns/mdns_cache.h"

#include <limits>

namespace Mdns
{
namespace
{
// Points in per mille of the TTL at which a record is queried again.
constexpr int QUERY_POINTS[] = {800, 850, 900, 950};
constexpr int QUERY_POINT_COUNT = 4;
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

void Cache::addRecord(const MDNS_RECORD_T& Record)
{
    QList<MDNS_RECORD_T> dropped;
    bool bKnown = false;
    for (int i = m_Entries.size() - 1; i >= 0; --i)
    {
        const MDNS_RECORD_T& old = m_Entries[i].Record;
        if (old.SameData(Record))
        {
            bKnown = true;
            if (Record.Ttl == 0)
                dropped.prepend(m_Entries.takeAt(i).Record);
            else
                m_Entries[i] = ENTRY_T{Record, Now(), 0};
        }
        else if (Record.FlushCache && Record.Ttl > 0 && old.Type == Record.Type && MdnsSameName(old.Name, Record.Name))
        {
            dropped.prepend(m_Entries.takeAt(i).Record);
        }
    }
    if (!bKnown && Record.Ttl > 0 && m_Entries.size() < MAX_ENTRIES)
        m_Entries.append(ENTRY_T{Record, Now(), 0});
    Schedule();
    // Reports go out once the list is consistent: a receiver may look records up.
    for (const MDNS_RECORD_T& record : dropped)
        emit recordExpired(record);
}

bool Cache::lookupRecord(const QByteArray& Name, uint16_t Type, MDNS_RECORD_T* pRecord) const
{
    for (const ENTRY_T& entry : m_Entries)
    {
        if ((Type == MDNS_TYPE_ANY || entry.Record.Type == Type) && MdnsSameName(entry.Record.Name, Name))
        {
            *pRecord = entry.Record;
            return true;
        }
    }
    return false;
}

bool Cache::lookupRecords(const QByteArray& Name, uint16_t Type, QList<MDNS_RECORD_T>* pRecords) const
{
    pRecords->clear();
    for (const ENTRY_T& entry : m_Entries)
    {
        if ((Type == MDNS_TYPE_ANY || entry.Record.Type == Type) && MdnsSameName(entry.Record.Name, Name))
            pRecords->append(entry.Record);
    }
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
    m_Timer.stop();
}

void Cache::OnTimeout()
{
    const qint64 now = Now();
    QList<MDNS_RECORD_T> expired;
    QList<MDNS_RECORD_T> queries;
    for (int i = m_Entries.size() - 1; i >= 0; --i)
    {
        ENTRY_T& entry = m_Entries[i];
        if (ExpiresAtMs(entry) <= now)
        {
            expired.prepend(m_Entries.takeAt(i).Record);
            continue;
        }
        // One query for however many points have passed.
        if (QueryAtMs(entry) <= now)
        {
            while (entry.NextQuery < QUERY_POINT_COUNT && QueryAtMs(entry) <= now)
                ++entry.NextQuery;
            queries.prepend(entry.Record);
        }
    }
    for (const MDNS_RECORD_T& record : queries)
        emit shouldQuery(record);
    for (const MDNS_RECORD_T& record : expired)
        emit recordExpired(record);
    Schedule();
}

void Cache::Schedule()
{
    if (m_bPaused || m_Entries.isEmpty())
    {
        m_Timer.stop();
        return;
    }
    qint64 next = std::numeric_limits<qint64>::max();
    for (const ENTRY_T& entry : m_Entries)
        next = qMin(next, qMin(QueryAtMs(entry), ExpiresAtMs(entry)));
    const qint64 wait = qBound<qint64>(0, next - Now(), std::numeric_limits<int>::max());
    m_Timer.start(static_cast<int>(wait));
}
} // namespace Mdns
