#include "pty_receiver.h"

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

PtyReceiver::~PtyReceiver() { Unplug(); }

bool PtyReceiver::Plug(const std::string& LinkPath)
{
    Unplug();
    char name[128] = {};
    int master = -1;
    if (::openpty(&master, &m_Slave, name, nullptr, nullptr) != 0)
        return false;
    m_Master = master;
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
    // Sends wait for room themselves, so that a monitor that stops reading
    // cannot hold the fake receiver for ever.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    AllowSends();
    m_bStop = false;
    m_Thread = std::thread(&PtyReceiver::ReadLoop, this);
    return true;
}

void PtyReceiver::Unplug()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
    std::unique_lock<std::mutex> sends = StopSends();
    if (m_Master >= 0)
        ::close(m_Master);
    if (m_Slave >= 0)
        ::close(m_Slave);
    m_Master = -1;
    m_Slave = -1;
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

void PtyReceiver::ReadLoop()
{
    char buf[4096];
    while (!m_bStop)
    {
        pollfd p{m_Master.load(), POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN))
            continue;
        const ssize_t n = ::read(m_Master.load(), buf, sizeof(buf));
        if (n > 0)
            Deliver(std::string(buf, static_cast<size_t>(n)));
    }
}
