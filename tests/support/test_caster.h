// A caster on loopback for tests of caster connections, on one port number
// for TCP and UDP. It reads each request as a caster does and checks it: the
// request line, the Host and User-Agent headers, and the Basic authorization
// of the user and password it knows. It answers a mount-point request with
// "ICY 200 OK" (NTRIP 1) or an HTTP/1.1 200 gnss/data reply (NTRIP 2, plain or
// chunked), a request without a mount point with its source table, wrong
// credentials with 401 and an unknown mount point with 404 (NTRIP 2) or the
// source table (NTRIP 1). It takes uploads of servers (SOURCE and chunked
// POST), records the GGA sentences clients send, and streams what the test
// gives it to every client whose mount point it accepted. A test can replace
// its reply, send the reply in pieces, and drop the clients.
//
// NTRIP 2 over UDP: requests and replies travel in RTP packets of payload
// type 97 to and from the UDP port, the reply names the session, the stream
// goes out in packets of type 96, keep-alives (empty type-96 packets) are
// recorded, type 98 ends a session, and uploads come chunked in type-96
// packets. RTSP: SETUP, PLAY, GET_PARAMETER and TEARDOWN on a TCP connection,
// the stream in RTP packets from a data socket of its own to the client's
// data port. A test can send any datagram from the caster's own data port.
//
// Flooding: once told, the caster sends the clients streaming over TCP
// random bytes, or one line that never ends, as fast as loopback takes them.
//
// Everything runs in the thread that made the caster; the waits run its
// event loop.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QNetworkDatagram>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <atomic>
#include <functional>
#include <memory>
#include <random>
#include <vector>

class CTestCaster
{
public:
    struct REQUEST_T
    {
        QByteArray Line;         // "GET /BJNR0 HTTP/1.1"
        QList<QByteArray> Lines; // header lines after it
        QByteArray Raw;          // the request as it came, to the end of its header
        bool bUdp = false;       // came over UDP
        qint64 AtMs = 0;         // since the caster was made

        // A header field's value, name case-insensitive; empty when missing.
        QByteArray Header(const QByteArray& Name) const
        {
            for (const QByteArray& line : Lines)
            {
                const int colon = line.indexOf(':');
                if (colon > 0 && line.left(colon).trimmed().toLower() == Name.toLower())
                {
                    return line.mid(colon + 1).trimmed();
                }
            }
            return QByteArray();
        }
        bool HasHeader(const QByteArray& Name) const
        {
            for (const QByteArray& line : Lines)
            {
                if (line.toLower().startsWith(Name.toLower() + ':'))
                {
                    return true;
                }
            }
            return false;
        }
    };
    struct GGA_T
    {
        qint64 AtMs;
        QByteArray Sentence; // without its line end
    };
    // A client whose stream goes in RTP packets (RTSP or NTRIP 2 over UDP).
    struct RTP_PEER_T
    {
        quint16 Port = 0; // the client's datagram port
        quint32 Session = 0;
        quint16 Sequence = 0; // of the next stream packet
    };
    enum FLOOD_E
    {
        FLOOD_RANDOM,
        FLOOD_LINE, // one line without a line end
    };

    CTestCaster()
    {
        m_Clock.start();
        QObject::connect(&m_Server, &QTcpServer::newConnection, &m_Server, [this] { OnNewConnection(); });
        QObject::connect(&m_Udp, &QUdpSocket::readyRead, &m_Udp, [this] { OnUdpReadyRead(&m_Udp); });
        QObject::connect(&m_RtpData, &QUdpSocket::readyRead, &m_RtpData, [this] { OnUdpReadyRead(&m_RtpData); });
        m_RtpData.bind(QHostAddress(QHostAddress::LocalHost), 0);
    }
    ~CTestCaster() { Close(); }

    // Listens on TCP and UDP with one port number; 0 when it cannot.
    quint16 Listen(quint16 nPort = 0)
    {
        for (int attempt = 0; attempt < 20; ++attempt)
        {
            if (!m_Server.listen(QHostAddress::LocalHost, nPort))
            {
                return 0;
            }
            if (m_Udp.bind(QHostAddress(QHostAddress::LocalHost), m_Server.serverPort()))
            {
                return m_Server.serverPort();
            }
            m_Server.close();
            if (nPort != 0)
            {
                return 0;
            }
        }
        return 0;
    }
    void Close()
    {
        m_Server.close();
        m_Udp.close();
        DropClients();
    }
    void DropClients()
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->pSocket)
            {
                c->pSocket->abort();
                c->pSocket->deleteLater();
            }
        }
        m_Clients.clear();
    }
    // To every client streaming a mount point, chunked where its reply said so.
    void Send(const QByteArray& Data)
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->eRole == ROLE_STREAM && c->bUdp)
            {
                SendRtpStream(c.get(), Data);
            }
            else if (c->eRole == ROLE_RTP_STREAM && c->pSocket)
            {
                SendRtpStream(c.get(), Data);
            }
            else if (c->pSocket && c->eRole == ROLE_STREAM)
            {
                c->pSocket->write(c->bChunked ? Chunk(Data) : Data);
            }
        }
    }
    // Raw bytes to every connected client.
    void SendRaw(const QByteArray& Data)
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->pSocket)
            {
                c->pSocket->write(Data);
            }
        }
    }
    // A datagram from the caster's data port to every client of an RTP stream.
    void SendDatagram(const QByteArray& Datagram)
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->eRole == ROLE_RTP_STREAM || (c->bUdp && c->eRole != ROLE_DONE))
            {
                (c->bUdp ? m_Udp : m_RtpData).writeDatagram(Datagram, QHostAddress::LocalHost, c->RtpPort);
            }
        }
    }
    // Ends the sessions of the clients over UDP with a packet of type 98.
    void EndUdpSessions()
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->bUdp && c->eRole != ROLE_DONE)
            {
                m_Udp.writeDatagram(Rtp(98, c->TxSequence++, Timestamp(), c->Session, {}), QHostAddress::LocalHost,
                                    c->RtpPort);
                c->eRole = ROLE_DONE;
            }
        }
    }
    // The RTP client seen last.
    RTP_PEER_T RtpPeer() const
    {
        RTP_PEER_T peer;
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->RtpPort != 0)
            {
                peer = RTP_PEER_T{c->RtpPort, c->Session, c->TxSequence};
            }
        }
        return peer;
    }
    int StreamingClients() const
    {
        int n = 0;
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            const bool bConnected = c->pSocket && c->pSocket->state() == QAbstractSocket::ConnectedState;
            n += (c->eRole == ROLE_STREAM && (bConnected || c->bUdp)) || (c->eRole == ROLE_RTP_STREAM && bConnected)
                     ? 1
                     : 0;
        }
        return n;
    }
    // Requests whose line begins with Verb.
    QList<REQUEST_T> Requests(const QByteArray& Verb) const
    {
        QList<REQUEST_T> found;
        for (const REQUEST_T& request : m_Requests)
        {
            if (request.Line.startsWith(Verb + ' '))
            {
                found << request;
            }
        }
        return found;
    }
    qint64 ElapsedMs() const { return m_Clock.elapsed(); }
    quint32 Timestamp() const { return static_cast<quint32>(m_Clock.elapsed()); }
    quint16 DataPort() const { return m_RtpData.localPort(); }
    static bool WaitFor(const std::function<bool()>& Done, int nMs = 20000) { return QTest::qWaitFor(Done, nMs); }
    bool WaitForRequests(int nCount, int nMs = 20000)
    {
        return WaitFor([this, nCount] { return m_Requests.size() >= nCount; }, nMs);
    }

    static QByteArray Rtp(int nType, quint16 nSequence, quint32 nTimestamp, quint32 nSession, const QByteArray& Payload)
    {
        QByteArray packet(12, '\0');
        packet[0] = static_cast<char>(0x80);
        packet[1] = static_cast<char>(nType);
        packet[2] = static_cast<char>(nSequence >> 8);
        packet[3] = static_cast<char>(nSequence);
        for (int i = 0; i < 4; ++i)
        {
            packet[4 + i] = static_cast<char>(nTimestamp >> (24 - 8 * i));
            packet[8 + i] = static_cast<char>(nSession >> (24 - 8 * i));
        }
        return packet + Payload;
    }

    // Starts flooding the clients streaming over TCP; StopFlood ends it.
    void StartFlood(FLOOD_E eFlood)
    {
        m_eFlood = eFlood;
        m_bFlooding = true;
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->pSocket && c->eRole == ROLE_STREAM)
            {
                QPointer<QTcpSocket> pSocket = c->pSocket;
                QObject::connect(pSocket, &QTcpSocket::bytesWritten, pSocket, [this, pSocket] { TopUp(pSocket); });
                TopUp(pSocket);
            }
        }
    }
    void StopFlood() { m_bFlooding = false; }

    // What the caster knows.
    QByteArray m_MountPoint = "BJNR0";
    QByteArray m_User = "user0";
    QByteArray m_Password = "kiwe7";
    QByteArray m_SourceTable = "STR;BJNR0;Test;RTCM 3.2;1005(10),1077(1),1087(1);2;GPS+GLO;TEST;CHN;39.90;116.40;"
                               "1;0;sNTRIP;none;B;N;9600;\r\n"
                               "ENDSOURCETABLE\r\n";
    // NTRIP 2 streams over TCP go out in chunked transfer coding.
    bool m_bChunked = false;
    // Sent with the accepting reply (over TCP in the same write).
    QByteArray m_FirstData;
    // When not empty: sent instead of the caster's own reply to a GET.
    QByteArray m_RawReply;
    // Close the connection after m_RawReply.
    bool m_bCloseAfterRawReply = false;
    // When not empty: sent instead of the caster's own reply to SETUP, PLAY.
    QByteArray m_RawSetupReply;
    QByteArray m_RawPlayReply;
    // RTSP: GET_PARAMETER is answered.
    bool m_bAnswerKeepAlives = true;
    // When above 0: replies over TCP leave in pieces of this many bytes, m_ReplyPieceMs apart.
    int m_ReplyPiece = 0;
    int m_ReplyPieceMs = 5;
    // Read requests but never answer them.
    bool m_bSilent = false;
    // Read this many requests first without answering them.
    int m_UnansweredRequests = 0;
    // Payload bytes of a stream packet.
    int m_RtpPayload = 700;

    // What the caster saw.
    QList<REQUEST_T> m_Requests;
    QList<GGA_T> m_Gga;
    QByteArray m_Uploaded; // servers' payload, de-chunked
    QStringList m_Faults;  // requests or uploads that broke the protocol
    int m_Connections = 0; // over TCP, and UDP clients
    int m_Unauthorized = 0;
    QList<qint64> m_KeepAlives;     // when an empty packet of its session came over UDP
    QList<QByteArray> m_DataPortIn; // datagrams that came to the RTSP data port
    QByteArray m_LastRtpPacket;     // the stream packet sent last
    std::atomic<quint64> m_FloodSent{0};
    quint64 m_FloodMax = ~quint64{0}; // the flood ends after this many bytes

    static QByteArray Chunk(const QByteArray& Data)
    {
        return Data.isEmpty() ? QByteArray() : QByteArray::number(Data.size(), 16) + "\r\n" + Data + "\r\n";
    }

private:
    enum ROLE_E
    {
        ROLE_NONE,
        ROLE_STREAM, // a client of a mount point; sends GGA lines
        ROLE_UPLOAD, // an NTRIP 1 server
        ROLE_UPLOAD_CHUNKED,
        ROLE_RTSP,       // an RTSP client set up, not yet playing
        ROLE_RTP_STREAM, // an RTSP client playing
        ROLE_DONE,       // answered and closed
    };
    struct CLIENT_T
    {
        QPointer<QTcpSocket> pSocket;
        QByteArray In;
        bool bHeaderRead = false;
        ROLE_E eRole = ROLE_NONE;
        bool bChunked = false;
        bool bUdp = false;
        quint16 RtpPort = 0; // where its datagrams go
        quint32 Session = 0;
        quint16 TxSequence = 0;
    };

    void OnNewConnection()
    {
        while (QTcpSocket* pSocket = m_Server.nextPendingConnection())
        {
            ++m_Connections;
            auto pClient = std::make_unique<CLIENT_T>();
            pClient->pSocket = pSocket;
            CLIENT_T* p = pClient.get();
            m_Clients.push_back(std::move(pClient));
            QObject::connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, p] { OnReadyRead(p); });
        }
    }

    void Reply(CLIENT_T* p, const QByteArray& Text, bool bClose)
    {
        if (p->bUdp)
        {
            for (int at = 0; at < Text.size(); at += 1000)
            {
                m_Udp.writeDatagram(Rtp(97, p->TxSequence++, Timestamp(), p->Session, Text.mid(at, 1000)),
                                    QHostAddress::LocalHost, p->RtpPort);
            }
            return;
        }
        if (m_ReplyPiece <= 0)
        {
            p->pSocket->write(Text);
            if (bClose)
            {
                p->pSocket->disconnectFromHost();
            }
            return;
        }
        // One timer sends the pieces in turn, so they leave in order however
        // late the event loop runs.
        auto* pTimer = new QTimer(p->pSocket);
        const int piece = m_ReplyPiece;
        auto pLeft = std::make_shared<QByteArray>(Text);
        QPointer<QTcpSocket> pSocket = p->pSocket;
        QObject::connect(pTimer, &QTimer::timeout, pTimer,
                         [pTimer, pSocket, pLeft, piece, bClose]
                         {
                             pSocket->write(pLeft->left(piece));
                             pSocket->flush();
                             pLeft->remove(0, piece);
                             if (pLeft->isEmpty())
                             {
                                 pTimer->stop();
                                 if (bClose)
                                 {
                                     pSocket->disconnectFromHost();
                                 }
                             }
                         });
        pTimer->start(m_ReplyPieceMs);
    }

    bool Authorized(const REQUEST_T& Request) const
    {
        return Request.Header("Authorization") == "Basic " + (m_User + ':' + m_Password).toBase64();
    }

    QByteArray SourceTableReply(bool bVersion2) const
    {
        if (bVersion2)
        {
            return "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nServer: TestCaster/1.0\r\n"
                   "Content-Type: gnss/sourcetable\r\nContent-Length: " +
                   QByteArray::number(m_SourceTable.size()) + "\r\nConnection: close\r\n\r\n" + m_SourceTable;
        }
        return "SOURCETABLE 200 OK\r\nServer: TestCaster/1.0\r\nContent-Type: text/plain\r\nContent-Length: " +
               QByteArray::number(m_SourceTable.size()) + "\r\n\r\n" + m_SourceTable;
    }

    // One request's header from the front of In; false while it has not ended.
    bool TakeRequest(QByteArray* pIn, bool bUdp, REQUEST_T* pRequest)
    {
        const int end = pIn->indexOf("\r\n\r\n");
        if (end < 0)
        {
            return false;
        }
        pRequest->AtMs = m_Clock.elapsed();
        pRequest->bUdp = bUdp;
        pRequest->Raw = pIn->left(end + 4);
        QList<QByteArray> lines = pIn->left(end + 2).split('\n');
        lines.removeLast();
        for (QByteArray& line : lines)
        {
            if (!line.endsWith('\r'))
            {
                m_Faults << QStringLiteral("header line without CR: ") + QString::fromLatin1(line);
            }
            line.chop(line.endsWith('\r') ? 1 : 0);
        }
        pRequest->Line = lines.takeFirst();
        pRequest->Lines = lines;
        pIn->remove(0, end + 4);
        m_Requests << *pRequest;
        return true;
    }

    void OnReadyRead(CLIENT_T* p)
    {
        if (!p->pSocket)
        {
            return;
        }
        p->In += p->pSocket->readAll();
        while (!p->bHeaderRead)
        {
            REQUEST_T request;
            if (!TakeRequest(&p->In, false, &request))
            {
                if (p->In.size() > 8192)
                {
                    m_Faults << QStringLiteral("request header without end");
                    p->pSocket->abort();
                }
                return;
            }
            // RTSP requests follow each other on the connection.
            if (request.Line.endsWith(" RTSP/1.0"))
            {
                if (!m_bSilent && m_Requests.size() > m_UnansweredRequests)
                {
                    AnswerRtsp(p, request);
                }
                continue;
            }
            p->bHeaderRead = true;
            if (!m_bSilent && m_Requests.size() > m_UnansweredRequests)
            {
                Answer(p, request);
            }
        }
        TakeBody(p);
    }

    void AnswerRtsp(CLIENT_T* p, const REQUEST_T& Request)
    {
        const QList<QByteArray> words = Request.Line.split(' ');
        const QByteArray cseq = "CSeq: " + Request.Header("CSeq") + "\r\n";
        const QByteArray url = words.value(1);
        const int slash = url.startsWith("rtsp://") ? url.indexOf('/', 7) : -1;
        if (words.size() != 3 || slash < 0 || Request.Header("CSeq").isEmpty())
        {
            m_Faults << QStringLiteral("bad RTSP request: ") + QString::fromLatin1(Request.Line);
            p->pSocket->write("RTSP/1.0 400 Bad Request\r\n" + cseq + "\r\n");
            return;
        }
        const QByteArray verb = words[0];
        const QByteArray session = QByteArray::number(p->Session);
        if (verb != "SETUP" && Request.Header("Session") != session)
        {
            m_Faults << QStringLiteral("RTSP request of another session: ") + QString::fromLatin1(Request.Raw);
            p->pSocket->write("RTSP/1.0 454 Session Not Found\r\n" + cseq + "\r\n");
            return;
        }
        if (verb == "SETUP")
        {
            if (Request.Header("Ntrip-Version") != "Ntrip/2.0")
            {
                m_Faults << QStringLiteral("SETUP without Ntrip-Version");
            }
            if (const QByteArray gga = Request.Header("Ntrip-GGA"); !gga.isEmpty())
            {
                m_Gga << GGA_T{Request.AtMs, gga};
            }
            if (!m_RawSetupReply.isEmpty())
            {
                p->pSocket->write(m_RawSetupReply);
                return;
            }
            const QByteArray transport = Request.Header("Transport");
            const int at = transport.indexOf("client_port=");
            const quint16 clientPort = at < 0 ? 0 : static_cast<quint16>(transport.mid(at + 12).toUInt());
            if (!transport.startsWith("RTP/GNSS;unicast;") || clientPort == 0)
            {
                m_Faults << QStringLiteral("SETUP without a client port: ") + QString::fromLatin1(transport);
                p->pSocket->write("RTSP/1.0 461 Unsupported Transport\r\n" + cseq + "\r\n");
                return;
            }
            if (!Authorized(Request))
            {
                ++m_Unauthorized;
                p->pSocket->write("RTSP/1.0 401 Unauthorized\r\n" + cseq + "\r\n");
                return;
            }
            if (url.mid(slash + 1) != m_MountPoint)
            {
                p->pSocket->write("RTSP/1.0 404 Not Found\r\n" + cseq + "\r\n");
                return;
            }
            p->RtpPort = clientPort;
            p->Session = 0x5EED0000u + static_cast<quint32>(m_Connections);
            p->eRole = ROLE_RTSP;
            p->pSocket->write("RTSP/1.0 200 OK\r\n" + cseq + "Session: " + QByteArray::number(p->Session) +
                              "\r\nTransport: RTP/GNSS;unicast;client_port=" + QByteArray::number(clientPort) +
                              ";server_port=" + QByteArray::number(DataPort()) + "\r\n\r\n");
            return;
        }
        if (verb == "PLAY")
        {
            if (!m_RawPlayReply.isEmpty())
            {
                p->pSocket->write(m_RawPlayReply);
                return;
            }
            p->eRole = ROLE_RTP_STREAM;
            p->pSocket->write("RTSP/1.0 200 OK\r\n" + cseq + "Session: " + session + "\r\n\r\n");
            SendRtpStream(p, m_FirstData);
            return;
        }
        if (verb == "GET_PARAMETER")
        {
            if (m_bAnswerKeepAlives)
            {
                p->pSocket->write("RTSP/1.0 200 OK\r\n" + cseq + "Session: " + session + "\r\n\r\n");
            }
            return;
        }
        if (verb == "TEARDOWN")
        {
            p->eRole = ROLE_DONE;
            p->pSocket->write("RTSP/1.0 200 OK\r\n" + cseq + "\r\n");
            return;
        }
        m_Faults << QStringLiteral("unknown RTSP request: ") + QString::fromLatin1(Request.Line);
        p->pSocket->write("RTSP/1.0 405 Method Not Allowed\r\n" + cseq + "\r\n");
    }

    // Stream packets of type 96 to an RTP client.
    void SendRtpStream(CLIENT_T* p, const QByteArray& Data)
    {
        for (int at = 0; at < Data.size(); at += m_RtpPayload)
        {
            m_LastRtpPacket = Rtp(96, p->TxSequence++, Timestamp(), p->Session, Data.mid(at, m_RtpPayload));
            (p->bUdp ? m_Udp : m_RtpData).writeDatagram(m_LastRtpPacket, QHostAddress::LocalHost, p->RtpPort);
        }
    }

    CLIENT_T* UdpClient(quint16 nPort)
    {
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            if (c->bUdp && c->RtpPort == nPort)
            {
                return c.get();
            }
        }
        ++m_Connections;
        auto pClient = std::make_unique<CLIENT_T>();
        pClient->bUdp = true;
        pClient->RtpPort = nPort;
        pClient->Session = 0x0DA70000u + static_cast<quint32>(m_Connections);
        m_Clients.push_back(std::move(pClient));
        return m_Clients.back().get();
    }

    void OnUdpReadyRead(QUdpSocket* pSocket)
    {
        while (pSocket->hasPendingDatagrams())
        {
            const QNetworkDatagram datagram = pSocket->receiveDatagram();
            const QByteArray data = datagram.data();
            if (pSocket == &m_RtpData)
            {
                m_DataPortIn << data;
                continue;
            }
            if (data.size() < 12 || static_cast<uchar>(data[0]) != 0x80)
            {
                m_Faults << QStringLiteral("a datagram without RTP header");
                continue;
            }
            CLIENT_T* p = UdpClient(static_cast<quint16>(datagram.senderPort()));
            const int type = data[1] & 0x7F;
            const quint32 session = static_cast<quint32>(static_cast<uchar>(data[8])) << 24 |
                                    static_cast<quint32>(static_cast<uchar>(data[9])) << 16 |
                                    static_cast<quint32>(static_cast<uchar>(data[10])) << 8 |
                                    static_cast<uchar>(data[11]);
            QByteArray payload = data.mid(12);
            if (type == 97)
            {
                if (data[1] & 0x80)
                {
                    m_Faults << QStringLiteral("a request packet with its marker bit set");
                }
                REQUEST_T request;
                if (!TakeRequest(&payload, true, &request))
                {
                    m_Faults << QStringLiteral("a request over UDP without the end of its header");
                    continue;
                }
                if (!payload.isEmpty())
                {
                    m_Faults << QStringLiteral("bytes after a request over UDP: ") + QString::fromLatin1(payload);
                }
                if (!m_bSilent && m_Requests.size() > m_UnansweredRequests)
                {
                    Answer(p, request);
                }
                continue;
            }
            if (type != 96 || session != p->Session)
            {
                m_Faults << QStringLiteral("a datagram of type %1, session %2 from a client of session %3")
                                .arg(type)
                                .arg(session)
                                .arg(p->Session);
                continue;
            }
            if (payload.isEmpty())
            {
                m_KeepAlives << m_Clock.elapsed();
                continue;
            }
            p->In += payload;
            TakeBody(p);
        }
    }

    void Answer(CLIENT_T* p, const REQUEST_T& Request)
    {
        const QList<QByteArray> words = Request.Line.split(' ');
        // Over UDP the reply names the session its packets belong to.
        const QByteArray session = p->bUdp ? "Session: " + QByteArray::number(p->Session) + "\r\n" : QByteArray();
        if (words.value(0) == "SOURCE")
        {
            if (Request.Header("Source-Agent").startsWith("NTRIP ") == false)
            {
                m_Faults << QStringLiteral("SOURCE without Source-Agent");
            }
            const bool bOk = words.size() == 3 && words[1] == m_Password && words[2] == '/' + m_MountPoint;
            p->eRole = bOk ? ROLE_UPLOAD : ROLE_DONE;
            m_Unauthorized += bOk ? 0 : 1;
            Reply(p, bOk ? QByteArray("ICY 200 OK\r\n") : QByteArray("ERROR - Bad Password\r\n"), !bOk);
            return;
        }
        if (words.size() != 3 || (words[0] != "GET" && words[0] != "POST") || !words[2].startsWith("HTTP/1."))
        {
            m_Faults << QStringLiteral("bad request line: ") + QString::fromLatin1(Request.Line);
            p->eRole = ROLE_DONE;
            Reply(p, "HTTP/1.1 400 Bad Request\r\n\r\n", true);
            return;
        }
        if (!Request.HasHeader("Host"))
        {
            m_Faults << QStringLiteral("no Host header");
        }
        if (!Request.Header("User-Agent").startsWith("NTRIP "))
        {
            m_Faults << QStringLiteral("User-Agent not NTRIP: ") + QString::fromLatin1(Request.Header("User-Agent"));
        }
        // A path through a proxy carries the caster: "http://host:port/mount".
        QByteArray path = words[1];
        if (path.startsWith("http://"))
        {
            const int slash = path.indexOf('/', 7);
            path = slash < 0 ? QByteArray("/") : path.mid(slash);
        }
        const bool bVersion2 = Request.Header("Ntrip-Version") == "Ntrip/2.0";
        const QByteArray mount = path.mid(1);
        if (words[0] == "POST")
        {
            if (!Authorized(Request) || mount != m_MountPoint)
            {
                ++m_Unauthorized;
                p->eRole = ROLE_DONE;
                Reply(p, "HTTP/1.1 401 Unauthorized\r\n\r\n", true);
                return;
            }
            if (Request.Header("Transfer-Encoding") != "chunked")
            {
                m_Faults << QStringLiteral("POST without chunked transfer coding");
            }
            p->eRole = ROLE_UPLOAD_CHUNKED;
            Reply(p, "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\n" + session + "Connection: close\r\n\r\n", false);
            return;
        }
        if (!m_RawReply.isEmpty())
        {
            p->eRole = ROLE_DONE;
            Reply(p, m_RawReply, m_bCloseAfterRawReply);
            return;
        }
        if (mount.isEmpty() || (!bVersion2 && mount != m_MountPoint))
        {
            p->eRole = ROLE_DONE;
            Reply(p, SourceTableReply(bVersion2), true);
            return;
        }
        if (!Authorized(Request))
        {
            ++m_Unauthorized;
            p->eRole = ROLE_DONE;
            Reply(p,
                  bVersion2 ? QByteArray("HTTP/1.1 401 Unauthorized\r\nNtrip-Version: Ntrip/2.0\r\n"
                                         "WWW-Authenticate: Basic realm=\"/" +
                                         m_MountPoint + "\"\r\nConnection: close\r\n\r\n")
                            : QByteArray("HTTP/1.0 401 Unauthorized\r\n\r\n"),
                  true);
            return;
        }
        if (mount != m_MountPoint)
        {
            p->eRole = ROLE_DONE;
            Reply(p, "HTTP/1.1 404 Not Found\r\nNtrip-Version: Ntrip/2.0\r\nConnection: close\r\n\r\n", true);
            return;
        }
        p->eRole = ROLE_STREAM;
        p->bChunked = bVersion2 && m_bChunked && !p->bUdp;
        if (const QByteArray gga = Request.Header("Ntrip-GGA"); !gga.isEmpty())
        {
            m_Gga << GGA_T{Request.AtMs, gga};
        }
        QByteArray ok = bVersion2
                            ? QByteArray("HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nServer: TestCaster/1.0\r\n"
                                         "Content-Type: gnss/data\r\n") +
                                  session + (p->bChunked ? "Transfer-Encoding: chunked\r\n" : "") +
                                  "Cache-Control: no-store\r\nConnection: close\r\n\r\n"
                            : QByteArray("ICY 200 OK\r\n");
        if (p->bUdp)
        {
            Reply(p, ok, false);
            SendRtpStream(p, m_FirstData);
            return;
        }
        Reply(p, ok + (p->bChunked ? Chunk(m_FirstData) : m_FirstData), false);
    }

    // The bytes after a request's header: GGA lines of clients, uploads of servers.
    void TakeBody(CLIENT_T* p)
    {
        switch (p->eRole)
        {
        case ROLE_STREAM:
            for (int end = p->In.indexOf("\r\n"); end >= 0; end = p->In.indexOf("\r\n"))
            {
                const QByteArray line = p->In.left(end);
                p->In.remove(0, end + 2);
                if (line.startsWith('$'))
                {
                    m_Gga << GGA_T{m_Clock.elapsed(), line};
                }
                else if (!line.isEmpty())
                {
                    m_Faults << QStringLiteral("client sent: ") + QString::fromLatin1(line.left(60));
                }
            }
            break;
        case ROLE_UPLOAD:
            m_Uploaded += p->In;
            p->In.clear();
            break;
        case ROLE_UPLOAD_CHUNKED:
            for (;;)
            {
                const int eol = p->In.indexOf("\r\n");
                if (eol < 0)
                {
                    return;
                }
                bool bNumber = false;
                const int size = p->In.left(eol).toInt(&bNumber, 16);
                if (!bNumber || size < 0)
                {
                    m_Faults << QStringLiteral("bad chunk size: ") + QString::fromLatin1(p->In.left(eol));
                    p->In.clear();
                    return;
                }
                if (p->In.size() < eol + 2 + size + 2)
                {
                    return;
                }
                if (p->In.mid(eol + 2 + size, 2) != "\r\n")
                {
                    m_Faults << QStringLiteral("chunk without CR LF after its data");
                }
                m_Uploaded += p->In.mid(eol + 2, size);
                p->In.remove(0, eol + 2 + size + 2);
            }
        default:
            p->In.clear();
            break;
        }
    }

    // Keeps up to a megabyte waiting in the socket while the flood lasts.
    void TopUp(const QPointer<QTcpSocket>& pSocket)
    {
        constexpr int kChunk = 65536;
        while (m_bFlooding && pSocket && pSocket->bytesToWrite() < (1 << 20) && m_FloodSent.load() < m_FloodMax)
        {
            QByteArray chunk(kChunk, 'x');
            if (m_eFlood == FLOOD_RANDOM)
            {
                for (char& c : chunk)
                {
                    c = static_cast<char>(m_Rng());
                }
            }
            pSocket->write(chunk);
            m_FloodSent += kChunk;
        }
    }

    QTcpServer m_Server;
    QUdpSocket m_Udp;     // NTRIP 2 over UDP
    QUdpSocket m_RtpData; // RTSP's data port
    std::vector<std::unique_ptr<CLIENT_T>> m_Clients;
    QElapsedTimer m_Clock;
    FLOOD_E m_eFlood = FLOOD_RANDOM;
    bool m_bFlooding = false;
    std::mt19937 m_Rng{7};
};
