// Multicast DNS on the monitor's side: one IPv4 and one IPv6 UDP socket that
// send queries to the mDNS groups and take the answers, which responders send
// straight back to the querying port. Nothing is bound until the server is
// enabled; from then on a single-shot timer binds what is not bound yet and
// joins the groups again, so a network that comes up later is picked up.
// Anyone on the local network can send to the sockets: one turn of the event
// loop serves at most MAX_DATAGRAMS_PER_TURN datagrams, for TURN_BUDGET_MS at
// most, and drops the rest then waiting, so that a flood cannot hold the
// window. GUI thread only.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>

#include "monitor/ports/mdns/mdns_message.h"

namespace Mdns
{
// Where the server binds and where "to all" goes. Tests point the groups at a
// responder on the loopback address, so nothing leaves the machine.
struct SERVER_CONFIG_T
{
    quint16 BindPort = 9001;                      // 0: any free port
    QHostAddress IPv4Bind{QHostAddress::AnyIPv4}; // null: no IPv4 socket
    QHostAddress IPv6Bind{QHostAddress::AnyIPv6}; // null: no IPv6 socket
    QHostAddress IPv4Group{QStringLiteral("224.0.0.251")};
    QHostAddress IPv6Group{QStringLiteral("ff02::fb")};
    quint16 GroupPort = 5353;
    int RebindMs = 60000;
};

// Query intervals of browsing and resolving; tests shorten them.
struct DISCOVERY_TIMING_T
{
    int QueryFirstMs = 1000;   // the browser's second query; each later one waits twice as long
    int QueryMaxMs = 60000;    // up to this
    int ServiceDelayMs = 100;  // answers are collected this long before services are reported
    int ServiceRetryMs = 1000; // an instance without its SRV or TXT record is asked again after this
    int ServiceTries = 3;      // times an incomplete instance is asked before waiting for news of it
    int ResolveFirstMs = 1000; // a host without an address is asked again after this, then twice as long
    int ResolveMaxMs = 60000;
};
DISCOVERY_TIMING_T& Timing();

class Server : public QObject
{
    Q_OBJECT

public:
    static constexpr int MAX_DATAGRAMS_PER_TURN = 64;
    static constexpr int TURN_BUDGET_MS = 40;

    // The configuration new servers take.
    static SERVER_CONFIG_T& DefaultConfig();

    explicit Server(QObject* pParent = nullptr);
    Server(const SERVER_CONFIG_T& Config, QObject* pParent = nullptr);

    // Acts only on a change: enabling binds and joins at once and starts the
    // rebind cycle; disabling stops the cycle, and bound sockets stay bound.
    void SetEnable(bool bEnable);
    bool IsEnabled() const { return m_bEnabled; }
    // Pause stops the rebind timer, resume starts it.
    void FlipStop(bool bPause);
    bool IsRebindTimerActive() const { return m_RebindTimer.isActive(); }

    // To the message's address and port, over the socket of its protocol.
    void sendMessage(const MDNS_MESSAGE_T& Message);
    // To the IPv4 group over the IPv4 socket and the IPv6 group over the IPv6 socket.
    void sendMessageToAll(const MDNS_MESSAGE_T& Message);

    bool IsIPv4Bound() const { return m_IPv4.state() == QAbstractSocket::BoundState; }
    bool IsIPv6Bound() const { return m_IPv6.state() == QAbstractSocket::BoundState; }
    // Port of the bound IPv4 socket, else of the IPv6 socket, else 0.
    quint16 LocalPort() const;
    // Datagrams dropped because they were no DNS message.
    int DroppedCount() const { return m_nDropped; }
    // Datagrams dropped unread because more came at once than a turn serves.
    qint64 FloodDroppedCount() const { return m_nFloodDropped; }

signals:
    void messageReceived(const MDNS_MESSAGE_T& Message);
    void error(const QString& sText);

private:
    void OnRebind();
    void OnReadyRead(QUdpSocket* pSocket);
    // Drops the datagrams waiting beyond what one turn serves, counting them.
    void DropWaiting(QUdpSocket* pSocket);
    bool Bind(QUdpSocket& Socket, const QHostAddress& Address);
    void JoinGroups();
    void Send(QUdpSocket& Socket, const MDNS_MESSAGE_T& Message, const QHostAddress& Address, quint16 nPort);

    SERVER_CONFIG_T m_Config;
    QUdpSocket m_IPv4;
    QUdpSocket m_IPv6;
    QTimer m_RebindTimer;
    bool m_bEnabled = false;
    int m_nDropped = 0;
    qint64 m_nFloodDropped = 0;
    QElapsedTimer m_FloodNoted; // the last trace of dropped datagrams
};
} // namespace Mdns
