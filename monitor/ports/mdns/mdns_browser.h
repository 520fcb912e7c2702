// Browsing for the instances of one DNS-SD service type: the browser asks for
// the type's PTR records (at growing intervals, and again before cached
// answers run out), asks for each instance's SRV and TXT records, and reports
// an instance as a service once both are known, again when they change, and
// once more when the instance withdraws or is no longer heard. GUI thread only.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QTimer>

#include "monitor/ports/mdns/mdns_message.h"

namespace Mdns
{
class Cache;
class Server;

// One announced instance of a service.
class Service
{
public:
    QByteArray type() const { return m_Type; }
    void setType(const QByteArray& Type) { m_Type = Type; }
    // The instance as it reads, what comes before the type ("rx1" of
    // "rx1._Zorvik_http._tcp.local.").
    QByteArray name() const { return m_Name; }
    void setName(const QByteArray& Name) { m_Name = Name; }
    // The instance's whole DNS name, which tells instances apart: two names
    // may read alike ("rx1" of "rx1._Zorvik_http..." and of
    // "rx1.x._Zorvik_http..."). Without one set, the name taken as one label
    // and the type.
    QByteArray instanceName() const;
    void setInstanceName(const QByteArray& InstanceName) { m_InstanceName = InstanceName; }
    QByteArray hostname() const { return m_Hostname; }
    void setHostname(const QByteArray& Hostname) { m_Hostname = Hostname; }
    quint16 port() const { return m_Port; }
    void setPort(quint16 Port) { m_Port = Port; }
    QMap<QByteArray, QByteArray> attributes() const { return m_Attributes; }
    void setAttributes(const QMap<QByteArray, QByteArray>& Attributes) { m_Attributes = Attributes; }

    bool operator==(const Service& Other) const;
    bool operator!=(const Service& Other) const { return !(*this == Other); }

private:
    QByteArray m_Type;
    QByteArray m_Name;
    QByteArray m_InstanceName;
    QByteArray m_Hostname;
    quint16 m_Port = 0;
    QMap<QByteArray, QByteArray> m_Attributes;
};

class Browser : public QObject
{
    Q_OBJECT

public:
    // Type: the full service type with the domain ("_Zorvik_http._tcp.local.").
    Browser(Server* pServer, const QByteArray& Type, Cache* pCache, QObject* pParent = nullptr);

    // Pause stops the query and service timers; resume starts both.
    void FlipStop(bool bPause);
    bool IsPaused() const { return m_bPaused; }
    // Forgets every service, clears the cache and asks again at once.
    void Refresh();

signals:
    void serviceAdded(const Mdns::Service& Service);
    void serviceUpdated(const Mdns::Service& Service);
    void serviceRemoved(const Mdns::Service& Service);

private:
    void OnMessageReceived(const MDNS_MESSAGE_T& Message);
    void OnShouldQuery(const MDNS_RECORD_T& Record);
    void OnRecordExpired(const MDNS_RECORD_T& Record);
    void OnQueryTimeout();
    void OnServiceTimeout();
    // Instance names are kept lower-case as keys.
    static QByteArray Key(const QByteArray& Name) { return Name.toLower(); }
    // True for the type's PTR records and for SRV and TXT records of its instances.
    bool IsOurs(const MDNS_RECORD_T& Record) const;
    void RemoveService(const QByteArray& Instance);
    void ScheduleServiceStep(int nMs);
    void Query(const QList<MDNS_QUERY_T>& Queries);

    Server* m_pServer;
    QByteArray m_Type;
    QByteArray m_TypeSuffix; // "." + type, lower-case
    Cache* m_pCache;
    QTimer m_QueryTimer;
    QTimer m_ServiceTimer;
    int m_nQueryInterval;
    bool m_bPaused = false;
    QHash<QByteArray, Service> m_Services; // by instance name
    QHash<QByteArray, int> m_Tries;        // SRV and TXT queries of incomplete instances
};
} // namespace Mdns

Q_DECLARE_METATYPE(Mdns::Service)
