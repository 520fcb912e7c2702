#include "socket_receiver.h"

#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

SocketReceiver::~SocketReceiver() { Close(); }

uint16_t SocketReceiver::Listen(uint16_t nPort)
{
    Close();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(nPort);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    {
        ::close(fd);
        return 0;
    }
    m_Listen = fd;
    m_Port = ntohs(addr.sin_port);
    m_bStop = false;
    m_Thread = std::thread(&SocketReceiver::ServeLoop, this);
    return m_Port;
}

void SocketReceiver::Close()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
    CloseClient();
    if (m_Listen >= 0)
        ::close(m_Listen);
    m_Listen = -1;
}

void SocketReceiver::DropClient() { m_bDropClient = true; }

void SocketReceiver::CloseClient()
{
    std::unique_lock<std::mutex> sends = StopSends();
    const int fd = m_Client.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

void SocketReceiver::ServeLoop()
{
    char buf[4096];
    while (!m_bStop)
    {
        if (m_bDropClient.exchange(false))
            CloseClient();
        pollfd p[2] = {{m_Listen, POLLIN, 0}, {m_Client.load(), POLLIN, 0}};
        if (::poll(p, p[1].fd >= 0 ? 2 : 1, 10) <= 0)
            continue;
        if (p[0].revents & POLLIN)
        {
            const int fd = ::accept4(m_Listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd >= 0)
            {
                CloseClient();
                const int one = 1;
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
                m_Client = fd;
                AllowSends();
                ++m_Connections;
            }
            continue;
        }
        if (p[1].revents & (POLLIN | POLLHUP | POLLERR))
        {
            const ssize_t n = ::read(p[1].fd, buf, sizeof buf);
            if (n > 0)
                Deliver(std::string(buf, static_cast<size_t>(n)));
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                CloseClient();
        }
    }
}
