#include "monitor/ports/mdns/mdns_server.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

#include "monitor/ports/mdns/mdns_log.h"

namespace Mdns
{
DISCOVERY_TIMING_T& Timing()
{
    static DISCOVERY_TIMING_T timing;
    return timing;
}

SERVER_CONFIG_T& Server::DefaultConfig()
{
    static SERVER_CONFIG_T config;
    return config;
}

Server::Server(QObject* pParent) : Server(DefaultConfig(), pParent) {}

Server::Server(const SERVER_CONFIG_T& Config, QObject* pParent)
    : QObject(pParent), m_Config(Config), m_IPv4(this), m_IPv6(this), m_RebindTimer(this)
{
    qRegisterMetaType<MDNS_MESSAGE_T>();
    m_RebindTimer.setSingleShot(true);
    m_RebindTimer.setInterval(m_Config.RebindMs);
    connect(&m_RebindTimer, &QTimer::timeout, this, &Server::OnRebind);
    connect(&m_IPv4, &QUdpSocket::readyRead, this, [this] { OnReadyRead(&m_IPv4); });
    connect(&m_IPv6, &QUdpSocket::readyRead, this, [this] { OnReadyRead(&m_IPv6); });
}

void Server::SetEnable(bool bEnable)
{
    if (bEnable == m_bEnabled)
        return;
    m_bEnabled = bEnable;
    if (bEnable)
        OnRebind();
    else
        m_RebindTimer.stop();
}

void Server::FlipStop(bool bPause)
{
    if (bPause)
        m_RebindTimer.stop();
    else
        m_RebindTimer.start();
}

quint16 Server::LocalPort() const
{
    if (IsIPv4Bound())
        return m_IPv4.localPort();
    return IsIPv6Bound() ? m_IPv6.localPort() : 0;
}

bool Server::Bind(QUdpSocket& Socket, const QHostAddress& Address)
{
    if (Socket.state() == QAbstractSocket::BoundState)
        return true;
    if (Address.isNull())
        return false;
    if (!Socket.bind(Address, m_Config.BindPort, QAbstractSocket::ReuseAddressHint))
    {
        emit error(Socket.errorString());
        return false;
    }
    qCDebug(lcMdns, "UDP bond sucess");
    return true;
}

void Server::OnRebind()
{
    qCDebug(lcMdns, "Server Timeout %d", m_Config.RebindMs);
    const bool bIPv4 = Bind(m_IPv4, m_Config.IPv4Bind);
    const bool bIPv6 = Bind(m_IPv6, m_Config.IPv6Bind);
    if (bIPv4 || bIPv6)
        JoinGroups();
    m_RebindTimer.start();
}

void Server::JoinGroups()
{
    const bool bIPv4 = IsIPv4Bound() && m_Config.IPv4Group.isMulticast();
    const bool bIPv6 = IsIPv6Bound() && m_Config.IPv6Group.isMulticast();
    if (!bIPv4 && !bIPv6)
        return;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces())
    {
        const auto flags = iface.flags();
        if (!(flags & QNetworkInterface::CanMulticast) || !(flags & QNetworkInterface::IsUp))
            continue;
        // Joining a group twice fails harmlessly; the sockets stay joined.
        if (bIPv4)
            m_IPv4.joinMulticastGroup(m_Config.IPv4Group, iface);
        if (bIPv6)
            m_IPv6.joinMulticastGroup(m_Config.IPv6Group, iface);
    }
}

void Server::Send(QUdpSocket& Socket, const MDNS_MESSAGE_T& Message, const QHostAddress& Address, quint16 nPort)
{
    if (Socket.state() != QAbstractSocket::BoundState || Address.isNull())
        return;
    QByteArray datagram;
    if (MdnsEncodeMessage(Message, &datagram) != MDNS_OK)
        return;
    Socket.writeDatagram(datagram, Address, nPort);
}

void Server::sendMessage(const MDNS_MESSAGE_T& Message)
{
    const bool bIPv4 = Message.Address.protocol() == QAbstractSocket::IPv4Protocol;
    Send(bIPv4 ? m_IPv4 : m_IPv6, Message, Message.Address, Message.Port);
}

void Server::sendMessageToAll(const MDNS_MESSAGE_T& Message)
{
    Send(m_IPv4, Message, m_Config.IPv4Group, m_Config.GroupPort);
    Send(m_IPv6, Message, m_Config.IPv6Group, m_Config.GroupPort);
}

void Server::OnReadyRead(QUdpSocket* pSocket)
{
    QElapsedTimer turn;
    turn.start();
    for (int nServed = 0; pSocket->hasPendingDatagrams(); ++nServed)
    {
        if (nServed == MAX_DATAGRAMS_PER_TURN || turn.elapsed() >= TURN_BUDGET_MS)
        {
            DropWaiting(pSocket);
            return;
        }
        const QNetworkDatagram datagram = pSocket->receiveDatagram(MDNS_MAX_DATAGRAM);
        MDNS_MESSAGE_T message;
        const QByteArray data = datagram.data();
        if (MdnsDecodeMessage(data.constData(), data.size(), &message) != MDNS_OK)
        {
            ++m_nDropped;
            continue;
        }
        message.Address = datagram.senderAddress();
        message.Port = static_cast<uint16_t>(datagram.senderPort());
        emit messageReceived(message);
    }
}

void Server::DropWaiting(QUdpSocket* pSocket)
{
    // Reading without keeping is cheap; still, a sender faster than that
    // leaves the rest for the next turn rather than holding this one.
    const qint64 nBefore = m_nFloodDropped;
    for (int i = 0; i < 16 * MAX_DATAGRAMS_PER_TURN && pSocket->hasPendingDatagrams(); ++i)
    {
        pSocket->readDatagram(nullptr, 0);
        ++m_nFloodDropped;
    }
    if (!m_FloodNoted.isValid() || m_FloodNoted.elapsed() >= 1000)
    {
        m_FloodNoted.start();
        qCDebug(lcMdns, "mDNS: flooded, %lld datagrams dropped (%lld in all)", m_nFloodDropped - nBefore, m_nFloodDropped);
    }
}
} // namespace Mdns
