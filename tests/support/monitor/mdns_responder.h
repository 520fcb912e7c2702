// A responder on the loopback address that plays the receivers of a local
// network: it answers the PTR, SRV, TXT, A and AAAA questions about the
// receivers it announces, straight back to the asking port as responders
// answer queries that do not come from port 5353, and it can withdraw a
// receiver with a goodbye or by falling silent. Tests point the server's
// group addresses at it, so that nothing is ever sent to a multicast group.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QUdpSocket>

#include "monitor/ports/mdns/mdns_message.h"
#include "monitor/ports/mdns/mdns_server.h"

struct MDNS_RECEIVER_T
{
    QByteArray Instance; // instance label, e.g. "rx1"
    QByteArray Host;     // e.g. "rx1.local."
    QHostAddress IPv4;
    QHostAddress IPv6; // null: none
    quint16 Port = 80;
    QMap<QByteArray, QByteArray> Txt;
    uint32_t Ttl = 120; // of every record
};

class CMdnsResponder : public QObject
{
    Q_OBJECT

public:
    explicit CMdnsResponder(const QByteArray& ServiceType);

    // A server configuration that sends "to all" to this responder only.
    Mdns::SERVER_CONFIG_T LoopbackConfig() const;
    quint16 Port() const { return m_Socket.localPort(); }

    void Announce(const MDNS_RECEIVER_T& Receiver) { m_Receivers.append(Receiver); }
    // Stops answering for a receiver; its records run out in the caches.
    void FallSilent(const QByteArray& Instance);
    // Stops answering for a receiver and tells the last asker it is gone.
    void SayGoodbye(const QByteArray& Instance);
    // Sends raw bytes to the last asker.
    void SendRaw(const QByteArray& Datagram);
    // Answers to a PTR question carry an instance of this other type too.
    QByteArray ForeignType;
    // Answers to a PTR question carry the SRV, TXT and address records too.
    bool WithAdditionals = false;

    QList<MDNS_QUERY_T> Questions; // every question received
    int QueryCount(const QByteArray& Name, uint16_t Type) const;
    // Runs events until at least nCount queries for Name and Type arrived.
    bool WaitForQueries(const QByteArray& Name, uint16_t Type, int nCount, int nMs = 20000);

private:
    void OnReadyRead();
    static QList<MDNS_RECORD_T> RecordsOf(const MDNS_RECEIVER_T& Receiver, uint32_t Ttl, const QByteArray& Type);
    void Send(const MDNS_MESSAGE_T& Message);

    QByteArray m_Type;
    QUdpSocket m_Socket;
    QList<MDNS_RECEIVER_T> m_Receivers;
    QHostAddress m_LastAddress;
    quint16 m_LastPort = 0;
};
