#include "receiver_line.h"

#include <cerrno>
#include <chrono>

#include <poll.h>
#include <unistd.h>

bool ReceiverLine::Send(const void* pData, size_t n)
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    const char* p = static_cast<const char*>(pData);
    auto lastProgress = std::chrono::steady_clock::now();
    while (n > 0)
    {
        const int fd = WriteFd();
        if (fd < 0 || m_bClosing)
            return false;
        const ssize_t w = ::write(fd, p, n);
        if (w > 0)
        {
            p += w;
            n -= static_cast<size_t>(w);
            lastProgress = std::chrono::steady_clock::now();
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return false;
        // The monitor is behind: wait for room, but not for ever.
        if (std::chrono::steady_clock::now() - lastProgress > std::chrono::milliseconds(SendTimeoutMs.load()))
            return false;
        pollfd pfd{fd, POLLOUT, 0};
        ::poll(&pfd, 1, 10);
    }
    return true;
}

size_t ReceiverLine::SendNow(const void* pData, size_t n)
{
    std::lock_guard<std::mutex> lock(m_SendMutex);
    const int fd = WriteFd();
    if (fd < 0 || m_bClosing || n == 0)
        return 0;
    const ssize_t w = ::write(fd, pData, n);
    return w > 0 ? static_cast<size_t>(w) : 0;
}

std::unique_lock<std::mutex> ReceiverLine::StopSends()
{
    m_bClosing = true;
    return std::unique_lock<std::mutex>(m_SendMutex);
}

std::string ReceiverLine::Received() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Received;
}

void ReceiverLine::ClearReceived()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Received.clear();
}

bool ReceiverLine::WaitFor(const std::function<bool(const std::string&)>& Done, int Ms) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(Ms), [&] { return Done(m_Received); });
}

bool ReceiverLine::WaitForText(const std::string& Text, int Ms) const
{
    return WaitFor([&](const std::string& s) { return s.find(Text) != std::string::npos; }, Ms);
}

void ReceiverLine::Deliver(const std::string& Chunk)
{
    // The handler has seen a chunk before a waiter can: what it counts is up
    // to date once WaitFor returns.
    if (m_Handler)
        m_Handler(*this, Chunk);
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Received += Chunk;
    }
    m_Changed.notify_all();
}
