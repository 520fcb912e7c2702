// Records heard from responders, each kept for its time to live. Before a
// record runs out (at 80, 85, 90 and 95 % of its TTL) the cache asks for it
// to be queried again; a record that is not refreshed, or that a responder
// withdraws with TTL 0, is dropped and reported. GUI thread only.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

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

    explicit Cache(QObject* pParent = nullptr);

    // Adds or refreshes a record. With the cache-flush bit, other records of
    // the same name and type are dropped; TTL 0 drops the record at once.
    void addRecord(const MDNS_RECORD_T& Record);
    // The first (or every) cached record of a name and type; MDNS_TYPE_ANY
    // matches every type.
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
        qint64 AddedMs;
        int NextQuery; // index of the next query point; 4 when all are done
    };

    qint64 Now() const { return m_Clock.elapsed(); }
    static qint64 QueryAtMs(const ENTRY_T& Entry);
    static qint64 ExpiresAtMs(const ENTRY_T& Entry);
    void OnTimeout();
    void Schedule();

    QList<ENTRY_T> m_Entries;
    QElapsedTimer m_Clock;
    QTimer m_Timer;
    bool m_bPaused = false;
};
} // namespace Mdns
