#include "pty_receiver.h"

#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace
{
uint32_t RateOf(speed_t s)
{
    switch (s)
    {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    case B460800:
        return 460800;
    case B921600:
        return 921600;
    default:
        return 0;
    }
}
} // namespace

PtyReceiver::PtyReceiver(Handler OnChunk) : m_Handler(std::move(OnChunk)) {}

PtyReceiver::~PtyReceiver() { Unplug(); }

bool PtyReceiver::Plug(const std::string& LinkPath)
{
    Unplug();
    char name[128] = {};
    if (::openpty(&m_Master, &m_Slave, name, nullptr, nullptr) != 0)
        return false;
    m_SlavePath = name;
    if (!LinkPath.empty())
    {
        m_LinkPath = LinkPath;
        ::unlink(LinkPath.c_str());
        if (::symlink(name, LinkPath.c_str()) != 0)
            return false;
    }
    // Raw on both sides so that no byte is translated on the way.
    termios tio{};
    ::tcgetattr(m_Slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_Slave, TCSANOW, &tio);
    m_bStop = false;
    m_Thread = std::thread(&PtyReceiver::ReadLoop, this);
    return true;
}

void PtyReceiver::Unplug()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_Master >= 0)
        ::close(m_Master);
    if (m_Slave >= 0)
        ::close(m_Slave);
    m_Master = m_Slave = -1;
    // The name goes with the device (a pty number may soon be someone else's).
    if (!m_LinkPath.empty())
        ::unlink(m_LinkPath.c_str());
}

std::string PtyReceiver::Name() const { return m_LinkPath.empty() ? m_SlavePath : m_LinkPath; }

uint32_t PtyReceiver::SlaveRate() const
{
    termios tio{};
    if (m_Master < 0 || ::tcgetattr(m_Master, &tio) != 0)
        return 0;
    return RateOf(::cfgetospeed(&tio));
}

unsigned PtyReceiver::SlaveCflag() const
{
    termios tio{};
    if (m_Master < 0 || ::tcgetattr(m_Master, &tio) != 0)
        return 0;
    return tio.c_cflag;
}

void PtyReceiver::Send(const void* pData, size_t n)
{
    const char* p = static_cast<const char*>(pData);
    while (n > 0 && m_Master >= 0)
    {
        const ssize_t w = ::write(m_Master, p, n);
        if (w <= 0)
            return;
        p += w;
        n -= static_cast<size_t>(w);
    }
}

std::string PtyReceiver::Received() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Received;
}

void PtyReceiver::ClearReceived()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Received.clear();
}

bool PtyReceiver::WaitFor(const std::function<bool(const std::string&)>& Done, int Ms) const
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    return m_Changed.wait_for(lock, std::chrono::milliseconds(Ms), [&] { return Done(m_Received); });
}

bool PtyReceiver::WaitForText(const std::string& Text, int Ms) const
{
    return WaitFor([&](const std::string& s) { return s.find(Text) != std::string::npos; }, Ms);
}

void PtyReceiver::ReadLoop()
{
    char buf[4096];
    while (!m_bStop)
    {
        pollfd p{m_Master, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(m_Master, buf, sizeof(buf));
        if (n <= 0)
            continue;
        const std::string chunk(buf, static_cast<size_t>(n));
        // The handler has seen a chunk before a waiter can: what it counts is
        // up to date once WaitFor returns.
        if (m_Handler)
            m_Handler(*this, chunk);
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_Received += chunk;
        }
        m_Changed.notify_all();
    }
}
