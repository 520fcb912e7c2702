#include "mdns_flood.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

CMdnsFlood::CMdnsFlood(uint16_t nPort, int nPerSecond, int nMs, MAKE_T Make) : m_Make(std::move(Make))
{
    m_Thread = std::thread(&CMdnsFlood::Run, this, nPort, nPerSecond, nMs);
}

CMdnsFlood::~CMdnsFlood() { Stop(); }

void CMdnsFlood::Stop()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
}

void CMdnsFlood::Run(uint16_t nPort, int nPerSecond, int nMs)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(nPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    uint64_t n = 0;
    while (!m_bStop && Clock::now() - start < std::chrono::milliseconds(nMs))
    {
        // As many as are due by now; a late turn catches up.
        const double dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = static_cast<uint64_t>(dSeconds * nPerSecond);
        for (; n < due && !m_bStop; ++n)
        {
            const QByteArray datagram = m_Make(n);
            ::sendto(fd, datagram.constData(), static_cast<size_t>(datagram.size()), 0,
                     reinterpret_cast<const sockaddr*>(&to), sizeof(to));
            ++m_nSent;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(fd);
    m_bDone = true;
}
