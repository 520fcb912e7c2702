#include "mdns_responder.h"

#include <QNetworkDatagram>
#include <QTest>

CMdnsResponder::CMdnsResponder(const QByteArray& ServiceType) : m_Type(ServiceType)
{
    m_Socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
    connect(&m_Socket, &QUdpSocket::readyRead, this, &CMdnsResponder::OnReadyRead);
}

Mdns::SERVER_CONFIG_T CMdnsResponder::LoopbackConfig() const
{
    Mdns::SERVER_CONFIG_T config;
    config.BindPort = 0;
    config.IPv4Bind = QHostAddress::LocalHost;
    config.IPv6Bind = QHostAddress();
    config.IPv4Group = QHostAddress::LocalHost;
    config.IPv6Group = QHostAddress();
    config.GroupPort = Port();
    return config;
}

QList<MDNS_RECORD_T> CMdnsResponder::RecordsOf(const MDNS_RECEIVER_T& Receiver, uint32_t Ttl, const QByteArray& Type)
{
    MDNS_RECORD_T ptr;
    ptr.Name = Type;
    ptr.Type = MDNS_TYPE_PTR;
    ptr.Ttl = Ttl;
    ptr.Target = MdnsEscapeLabel(Receiver.Instance) + "." + Type;
    MDNS_RECORD_T srv;
    srv.Name = ptr.Target;
    srv.Type = MDNS_TYPE_SRV;
    srv.FlushCache = true;
    srv.Ttl = Ttl;
    srv.Target = Receiver.Host;
    srv.Port = Receiver.Port;
    MDNS_RECORD_T txt = srv;
    txt.Type = MDNS_TYPE_TXT;
    txt.Target.clear();
    txt.Attributes = Receiver.Txt;
    QList<MDNS_RECORD_T> records{ptr, srv, txt};
    for (const QHostAddress& address : {Receiver.IPv4, Receiver.IPv6})
    {
        if (address.isNull())
            continue;
        MDNS_RECORD_T a;
        a.Name = Receiver.Host;
        a.Type = address.protocol() == QAbstractSocket::IPv4Protocol ? MDNS_TYPE_A : MDNS_TYPE_AAAA;
        a.FlushCache = true;
        a.Ttl = Ttl;
        a.Address = address;
        records.append(a);
    }
    return records;
}

void CMdnsResponder::Send(const MDNS_MESSAGE_T& Message)
{
    QByteArray datagram;
    if (MdnsEncodeMessage(Message, &datagram) == MDNS_OK)
        SendRaw(datagram);
}

void CMdnsResponder::SendRaw(const QByteArray& Datagram)
{
    if (m_LastPort != 0)
        m_Socket.writeDatagram(Datagram, m_LastAddress, m_LastPort);
}

void CMdnsResponder::FallSilent(const QByteArray& Instance)
{
    for (int i = m_Receivers.size() - 1; i >= 0; --i)
    {
        if (m_Receivers[i].Instance == Instance)
            m_Receivers.removeAt(i);
    }
}

void CMdnsResponder::SayGoodbye(const QByteArray& Instance)
{
    for (const MDNS_RECEIVER_T& receiver : m_Receivers)
    {
        if (receiver.Instance != Instance)
            continue;
        MDNS_MESSAGE_T message;
        message.Response = true;
        message.Records = RecordsOf(receiver, 0, m_Type).mid(0, 1); // the PTR record with TTL 0
        Send(message);
    }
    FallSilent(Instance);
}

int CMdnsResponder::QueryCount(const QByteArray& Name, uint16_t Type) const
{
    int n = 0;
    for (const MDNS_QUERY_T& query : Questions)
        n += MdnsSameName(query.Name, Name) && query.Type == Type;
    return n;
}

bool CMdnsResponder::WaitForQueries(const QByteArray& Name, uint16_t Type, int nCount, int nMs)
{
    return QTest::qWaitFor([&] { return QueryCount(Name, Type) >= nCount; }, nMs);
}

void CMdnsResponder::OnReadyRead()
{
    while (m_Socket.hasPendingDatagrams())
    {
        const QNetworkDatagram datagram = m_Socket.receiveDatagram();
        MDNS_MESSAGE_T query;
        const QByteArray data = datagram.data();
        if (MdnsDecodeMessage(data.constData(), data.size(), &query) != MDNS_OK || query.Response)
            continue;
        m_LastAddress = datagram.senderAddress();
        m_LastPort = static_cast<quint16>(datagram.senderPort());
        Questions += query.Queries;

        MDNS_MESSAGE_T answer;
        answer.Response = true;
        answer.TransactionId = query.TransactionId;
        answer.Queries = query.Queries; // a reply to a one-shot query repeats the questions
        for (const MDNS_QUERY_T& question : query.Queries)
        {
            if (question.Type == MDNS_TYPE_PTR && MdnsSameName(question.Name, m_Type) && !ForeignType.isEmpty())
            {
                // Another type's instance, as a responder that advertises everything at once would send.
                MDNS_RECEIVER_T foreign;
                foreign.Instance = "printer";
                foreign.Host = "printer.local.";
                foreign.IPv4 = QHostAddress("127.0.0.9");
                answer.Records += RecordsOf(foreign, 120, ForeignType);
            }
            for (const MDNS_RECEIVER_T& receiver : m_Receivers)
            {
                const QList<MDNS_RECORD_T> records = RecordsOf(receiver, receiver.Ttl, m_Type);
                for (const MDNS_RECORD_T& record : records)
                {
                    if ((question.Type != record.Type && question.Type != MDNS_TYPE_ANY) ||
                        !MdnsSameName(question.Name, record.Name))
                    {
                        continue;
                    }
                    if (record.Type == MDNS_TYPE_PTR && WithAdditionals)
                        answer.Records += records; // everything a browser will ask next
                    else
                        answer.Records.append(record);
                }
            }
        }
        if (!answer.Records.isEmpty())
            Send(answer);
    }
}
