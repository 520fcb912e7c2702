// A listening socket whose accept queue is full, for connection attempts
// that must hang until they time out.
#pragma once

#include <QTcpSocket>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class CFullListener
{
public:
    CFullListener()
    {
        m_Fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        if (bind(m_Fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(m_Fd, 0) != 0 ||
            getsockname(m_Fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        {
            return;
        }
        m_Port = ntohs(addr.sin_port);
        for (QTcpSocket& filler : m_Fillers)
        {
            filler.connectToHost(QHostAddress::LocalHost, m_Port);
        }
        QTest::qWait(50);
    }
    ~CFullListener() { close(m_Fd); }
    quint16 Port() const { return m_Port; }

private:
    int m_Fd = -1;
    quint16 m_Port = 0;
    QTcpSocket m_Fillers[3];
};
