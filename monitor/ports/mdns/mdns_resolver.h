// Finds the addresses of one host name (an SRV target such as "rx1.local."):
// first from the cache, then by asking for its A and AAAA records at growing
// intervals until one answers. Each address is reported once. GUI thread only.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>

#include "monitor/ports/mdns/mdns_message.h"

namespace Mdns
{
class Cache;
class Server;

class Resolver : public QObject
{
    Q_OBJECT

public:
    Resolver(Server* pServer, const QByteArray& HostName, Cache* pCache, QObject* pParent = nullptr);
    ~Resolver() override;

    // Resolvers alive in the process.
    static int InstanceCount();
    // Stops asking and listening; nothing is reported after it.
    void Stop();
    // Pause stops the questions; resume asks again while no address is known.
    void FlipStop(bool bPause);
    QByteArray HostName() const { return m_HostName; }

signals:
    void resolved(const QHostAddress& Address);

private:
    void OnTimeout();
    void OnMessageReceived(const MDNS_MESSAGE_T& Message);
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
    QMetaObject::Connection m_Links[2];
};
} // namespace Mdns
