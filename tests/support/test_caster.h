// A caster on a loopback TCP port for tests of caster connections. It reads
// each request as a caster does and checks it: the request line, the Host and
// User-Agent headers, and the Basic authorization of the user and password it
// knows. It answers a mount-point request with "ICY 200 OK" (NTRIP 1) or an
// HTTP/1.1 200 gnss/data reply (NTRIP 2, plain or chunked), a request without
// a mount point with its source table, wrong credentials with 401 and an
// unknown mount point with 404 (NTRIP 2) or the source table (NTRIP 1). It
// takes uploads of servers (SOURCE and chunked POST), records the GGA
// sentences clients send, and streams what the test gives it to every client
// whose mount point it accepted. A test can replace its reply, send the reply
// in pieces, and drop the clients.
//
// Everything runs in the test's thread; the waits run its event loop.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CTestCaster
{
public:
    struct REQUEST_T
    {
        QByteArray Line;         // "GET /BJNR0 HTTP/1.1"
        QList<QByteArray> Lines; // header lines after it
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

    CTestCaster()
    {
        m_Clock.start();
        QObject::connect(&m_Server, &QTcpServer::newConnection, &m_Server, [this] { OnNewConnection(); });
    }
    ~CTestCaster() { Close(); }

    quint16 Listen(quint16 nPort = 0)
    {
        return m_Server.listen(QHostAddress::LocalHost, nPort) ? m_Server.serverPort() : 0;
    }
    void Close()
    {
        m_Server.close();
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
            if (c->pSocket && c->eRole == ROLE_STREAM)
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
    int StreamingClients() const
    {
        int n = 0;
        for (const std::unique_ptr<CLIENT_T>& c : m_Clients)
        {
            n +=
                c->pSocket && c->pSocket->state() == QAbstractSocket::ConnectedState && c->eRole == ROLE_STREAM ? 1 : 0;
        }
        return n;
    }
    qint64 ElapsedMs() const { return m_Clock.elapsed(); }
    static bool WaitFor(const std::function<bool()>& Done, int nMs = 20000) { return QTest::qWaitFor(Done, nMs); }
    bool WaitForRequests(int nCount, int nMs = 20000)
    {
        return WaitFor([this, nCount] { return m_Requests.size() >= nCount; }, nMs);
    }

    // What the caster knows.
    QByteArray m_MountPoint = "BJNR0";
    QByteArray m_User = "user0";
    QByteArray m_Password = "kiwe7";
    QByteArray m_SourceTable = "STR;BJNR0;Test;RTCM 3.2;1005(10),1077(1),1087(1);2;GPS+GLO;TEST;CHN;39.90;116.40;"
                               "1;0;sNTRIP;none;B;N;9600;\r\n"
                               "ENDSOURCETABLE\r\n";
    // NTRIP 2 streams go out in chunked transfer coding.
    bool m_bChunked = false;
    // Sent with the accepting reply, in the same write.
    QByteArray m_FirstData;
    // When not empty: sent instead of the caster's own reply to a GET.
    QByteArray m_RawReply;
    // Close the connection after m_RawReply.
    bool m_bCloseAfterRawReply = false;
    // When above 0: replies leave in pieces of this many bytes, m_ReplyPieceMs apart.
    int m_ReplyPiece = 0;
    int m_ReplyPieceMs = 5;
    // Read requests but never answer them.
    bool m_bSilent = false;
    // Read this many requests first without answering them.
    int m_UnansweredRequests = 0;

    // What the caster saw.
    QList<REQUEST_T> m_Requests;
    QList<GGA_T> m_Gga;
    QByteArray m_Uploaded; // servers' payload, de-chunked
    QStringList m_Faults;  // requests or uploads that broke the protocol
    int m_Connections = 0;
    int m_Unauthorized = 0;

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
        ROLE_DONE, // answered and closed
    };
    struct CLIENT_T
    {
        QPointer<QTcpSocket> pSocket;
        QByteArray In;
        bool bHeaderRead = false;
        ROLE_E eRole = ROLE_NONE;
        bool bChunked = false;
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

    void OnReadyRead(CLIENT_T* p)
    {
        if (!p->pSocket)
        {
            return;
        }
        p->In += p->pSocket->readAll();
        if (!p->bHeaderRead)
        {
            const int end = p->In.indexOf("\r\n\r\n");
            if (end < 0)
            {
                if (p->In.size() > 8192)
                {
                    m_Faults << QStringLiteral("request header without end");
                    p->pSocket->abort();
                }
                return;
            }
            p->bHeaderRead = true;
            REQUEST_T request;
            request.AtMs = m_Clock.elapsed();
            QList<QByteArray> lines = p->In.left(end + 2).split('\n');
            lines.removeLast();
            for (QByteArray& line : lines)
            {
                if (!line.endsWith('\r'))
                {
                    m_Faults << QStringLiteral("header line without CR: ") + QString::fromLatin1(line);
                }
                line.chop(line.endsWith('\r') ? 1 : 0);
            }
            request.Line = lines.takeFirst();
            request.Lines = lines;
            p->In.remove(0, end + 4);
            m_Requests << request;
            if (!m_bSilent && m_Requests.size() > m_UnansweredRequests)
            {
                Answer(p, request);
            }
        }
        TakeBody(p);
    }

    void Answer(CLIENT_T* p, const REQUEST_T& Request)
    {
        const QList<QByteArray> words = Request.Line.split(' ');
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
            Reply(p, "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nConnection: close\r\n\r\n", false);
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
        p->bChunked = bVersion2 && m_bChunked;
        if (const QByteArray gga = Request.Header("Ntrip-GGA"); !gga.isEmpty())
        {
            m_Gga << GGA_T{Request.AtMs, gga};
        }
        QByteArray ok = bVersion2
                            ? QByteArray("HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nServer: TestCaster/1.0\r\n"
                                         "Content-Type: gnss/data\r\n") +
                                  (p->bChunked ? "Transfer-Encoding: chunked\r\n" : "") +
                                  "Cache-Control: no-store\r\nConnection: close\r\n\r\n"
                            : QByteArray("ICY 200 OK\r\n");
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

    QTcpServer m_Server;
    std::vector<std::unique_ptr<CLIENT_T>> m_Clients;
    QElapsedTimer m_Clock;
};
