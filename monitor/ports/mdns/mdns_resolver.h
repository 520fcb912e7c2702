// Finds the addresses of one host name (an SRV target such as "rx1.local."):
// first from the cache, then by asking for its A and AAAA records at growing
// intervals until one answers. Each address is reported once while it stays
// among the newest MAX_ADDRESSES of the host; a host has an address or two,
// and anyone on the network may claim more. The address records a server
// receives, and the cache's calls to ask again, reach the resolvers of their
// host name only, however many hosts are being resolved. GUI thread only.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "monitor/ports/mdns/mdns_message.h"

namespace Mdns
{
class Cache;
class HostIndex;
class Server;

class Resolver : public QObject
{
    Q_OBJECT

public:
    // Addresses of a host that are remembered as reported.
    static constexpr int MAX_ADDRESSES = 4;

    Resolver(Server* pServer, const QByteArray& HostName, Cache* pCache, QObject* pParent = nullptr);
    ~Resolver() override;

    // Resolvers alive in the process.
    static int InstanceCount();
    // Stops asking and listening; nothing is reported after it.
    void Stop();
    // Pause stops the questions; resume asks again while no address is known.
    void FlipStop(bool bPause);
    QByteArray HostName() const { return m_HostName; }
    // The newest addresses reported, oldest first.
    QList<QHostAddress> Addresses() const { return m_Reported; }

signals:
    void resolved(const QHostAddress& Address);

private:
    friend class HostIndex;

    void OnTimeout();
    // An address record of this host in a received message.
    void OnAddressHeard(const MDNS_RECORD_T& Record);
    void OnShouldQuery(const MDNS_RECORD_T& Record);
    void Query();
    void Report(const MDNS_RECORD_T& Record);

    Server* m_pServer;
    QByteArray m_HostName;
    Cache* m_pCache;
    QTimer m_Timer;
    int m_nInterval;
    bool m_bCacheRead = false;
    QList<QHostAddress> m_Reported;
    // Where this resolver is listed: the index of the server's messages and
    // that of the cache's queries (gone with their server or cache).
    QPointer<HostIndex> m_pHeard;
    QPointer<HostIndex> m_pDue;
};
} // namespace Mdns
