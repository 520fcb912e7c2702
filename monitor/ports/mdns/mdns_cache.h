// Records heard from responders, each kept for its time to live. Before a
// record runs out (at 80, 85, 90 and 95 % of its TTL) the cache asks for it
// to be queried again; a record that is not refreshed, or that a responder
// withdraws with TTL 0, is dropped and reported. GUI thread only.
//
// Anyone on the local network can send records, as fast as it likes: every
// operation on one record costs the same whatever the cache holds (records
// are found by their name, type and data, and the next due record is kept in
// order), and the cache holds at most MAX_ENTRIES records. A name has at most
// MAX_PER_NAME records of a type other than PTR (a host an address or two, an
// instance one SRV and one TXT record), the newest heard: a flood of them
// cannot fill the cache.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <set>
#include <utility>

#include "monitor/ports/mdns/mdns_message.h"

namespace Mdns
{
class Cache : public QObject
{
    Q_OBJECT

public:
    // Records beyond this are not kept: a busy or hostile network cannot
    // make the cache grow without end.
    static constexpr int MAX_ENTRIES = 4096;
    static constexpr int MAX_PER_NAME = 8;

    explicit Cache(QObject* pParent = nullptr);

    // Adds or refreshes a record. With the cache-flush bit, other records of
    // the same name and type are dropped; TTL 0 drops the record at once.
    void addRecord(const MDNS_RECORD_T& Record);
    // The first (or every) cached record of a name and type, in the order
    // they were first heard; MDNS_TYPE_ANY matches every type.
    bool lookupRecord(const QByteArray& Name, uint16_t Type, MDNS_RECORD_T* pRecord) const;
    bool lookupRecords(const QByteArray& Name, uint16_t Type, QList<MDNS_RECORD_T>* pRecords) const;
    int Count() const { return m_Entries.size(); }

    // Stops or starts the expiry timer; records added while stopped wait.
    void FlipStop(bool bPause);
    // Drops every record (without reports) and stops the expiry timer.
    void Clear();
    bool IsExpiryTimerActive() const { return m_Timer.isActive(); }

signals:
    void shouldQuery(const MDNS_RECORD_T& Record);
    void recordExpired(const MDNS_RECORD_T& Record);

private:
    struct ENTRY_T
    {
        MDNS_RECORD_T Record;
        qint64 AddedMs = 0;
        int NextQuery = 0; // index of the next query point; 4 when all are done
        quint64 Order = 0; // place among the records of its name
        qint64 DueMs = 0;  // next query point or expiry, whichever comes first
    };
    using DUE_T = std::pair<qint64, QByteArray>; // due time, identity

    qint64 Now() const { return m_Clock.elapsed(); }
    static qint64 QueryAtMs(const ENTRY_T& Entry);
    static qint64 ExpiresAtMs(const ENTRY_T& Entry);
    // The records of one owner name (any case) form a set.
    static QByteArray SetKey(const QByteArray& Name) { return Name.toLower(); }
    // Name, type and data: equal exactly for records of the same data.
    static QByteArray Identity(const MDNS_RECORD_T& Record);
    // The identities of a name's records of a type (MDNS_TYPE_ANY: of every
    // type), in the order first heard.
    QList<QByteArray> SetOf(const QByteArray& Name, uint16_t Type) const;
    void Insert(const QByteArray& Id, const MDNS_RECORD_T& Record);
    // The identity of the record of the name and type heard longest ago
    // when MAX_PER_NAME are cached, else an empty one.
    QByteArray Crowded(const MDNS_RECORD_T& Record) const;
    void Refresh(ENTRY_T* pEntry, const QByteArray& Id, const MDNS_RECORD_T& Record);
    MDNS_RECORD_T Remove(const QByteArray& Id);
    void SetDue(ENTRY_T* pEntry, const QByteArray& Id);
    void OnTimeout();
    void Schedule();

    QHash<QByteArray, ENTRY_T> m_Entries; // by identity
    // Identities by owner name and type, in the order first heard.
    QHash<QByteArray, QHash<uint16_t, QMap<quint64, QByteArray>>> m_Sets;
    std::set<DUE_T> m_Due;
    quint64 m_NextOrder = 0;
    QElapsedTimer m_Clock;
    QTimer m_Timer;
    bool m_bPaused = false;
};
} // namespace Mdns
