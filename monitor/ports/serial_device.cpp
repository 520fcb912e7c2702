#include "monitor/ports/serial_device.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace
{
struct RATE_T
{
    uint32_t Rate;
    speed_t Speed;
};

const RATE_T kRates[] = {
    {1200, B1200},       {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},
    {38400, B38400},     {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},
    {500000, B500000},   {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {3000000, B3000000}, {4000000, B4000000},
};

bool SpeedOf(uint32_t Rate, speed_t* pSpeed)
{
    for (const RATE_T& r : kRates)
    {
        if (r.Rate == Rate)
        {
            *pSpeed = r.Speed;
            return true;
        }
    }
    return false;
}

tcflag_t DataBitsFlag(uint8_t ByteSize)
{
    switch (ByteSize)
    {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

// Rates tried by AutoDetectBaudRate, in this order.
const uint32_t kProbeRates[] = {115200, 460800, 230400, 9600};
const char kProbeReply[] = "<VERSION";

using Clock = std::chrono::steady_clock;

uint32_t MsSince(Clock::time_point t0)
{
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count());
}
} // namespace

unsigned UartLineFlags(uint8_t ByteSize, uint8_t Parity, uint8_t StopBits)
{
    tcflag_t flags = DataBitsFlag(ByteSize);
    switch (Parity)
    {
    case 1:
        flags |= PARENB | PARODD;
        break;
    case 2:
        flags |= PARENB;
        break;
    case 3:
        flags |= PARENB | PARODD | CMSPAR;
        break;
    case 4:
        flags |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // One and a half stop bits exist only with 5 data bits, where the UART
    // gives them for CSTOPB; with more data bits code 1 is one stop bit.
    if (StopBits == 2 || (StopBits == 1 && ByteSize == 5))
        flags |= CSTOPB;
    return flags;
}

CUartProcess::CUartProcess() : m_TxArea(UART_TX_AREA) {}

CUartProcess::~CUartProcess() { ClosePort(); }

void CUartProcess::SetTiming(const UART_TIMING_T& Timing)
{
    m_Timing = Timing;
    m_ReadTimeout = Timing.ReadTimeout;
}

std::string CUartProcess::DevicePath(const char* pName)
{
    std::string name = pName ? pName : "";
    if (name.empty() || name.find('/') != std::string::npos)
        return name;
    return "/dev/" + name;
}

bool CUartProcess::WaitMs(uint32_t Ms) const
{
    const Clock::time_point t0 = Clock::now();
    for (;;)
    {
        if (StopRequested())
            return false;
        const uint32_t done = MsSince(t0);
        if (done >= Ms)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(Ms - done, 20)));
    }
}

bool CUartProcess::LockDevice(int fd)
{
    // A process this one starts (the web views' browser, a script, the
    // converter) holds a copy of every descriptor from its fork to its exec,
    // the lock of a device closed a moment ago included: such a holder lets go
    // within milliseconds, another program holding the device does not.
    for (int nTry = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0; ++nTry)
    {
        if (errno != EWOULDBLOCK || nTry >= 20)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int CUartProcess::OpenPort(const char* pName, uint32_t BaudRate) { return OpenDevice(pName, BaudRate, 8, 0, 0); }

int CUartProcess::OpenPort(const char* pName, uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits)
{
    if (BaudRate < 4800)
        return 0;
    return OpenDevice(pName, BaudRate, ByteSize, Parity, StopBits);
}

int CUartProcess::OpenDevice(const char* pName, uint32_t BaudRate, uint8_t ByteSize, uint8_t Parity, uint8_t StopBits)
{
    ClosePort();
    m_DeviceName = pName ? pName : "";
    m_ErrorText.clear();
    speed_t speed = B0;
    if (!SpeedOf(BaudRate, &speed))
    {
        m_ErrorText = m_DeviceName + ": unsupported baud rate " + std::to_string(BaudRate);
        return 0;
    }
    const std::string path = DevicePath(pName);
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // A second user of the same device is refused, as the device is opened exclusively.
    if (fd < 0 || !LockDevice(fd))
    {
        if (fd >= 0)
            ::close(fd);
        m_ErrorText = m_DeviceName + " has been opened, please detect the device!";
        return 0;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
    {
        m_ErrorText = m_DeviceName + ": " + std::strerror(errno);
        ::close(fd);
        return 0;
    }
    ::ioctl(fd, TIOCEXCL);
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXOFF | IXANY | INPCK);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | UartLineFlags(ByteSize, Parity, StopBits);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
    {
        m_ErrorText = m_DeviceName + ": " + std::strerror(errno);
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return 0;
    }
    // Pseudo-terminals have no modem lines; the error is of no interest there.
    int dtr = TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &dtr);
    m_Fd = fd;
    m_BaudRate = BaudRate;
    return 1;
}

int CUartProcess::ClosePort()
{
    if (m_Fd >= 0)
    {
        ::ioctl(m_Fd, TIOCNXCL);
        ::close(m_Fd);
        m_Fd = -1;
    }
    return 1;
}

void CUartProcess::Reset()
{
    ClosePort();
    m_DeviceName.clear();
    m_ErrorText.clear();
    m_TxLength = 0;
}

int CUartProcess::ReadData(uint8_t* pBuf, uint32_t Max, uint32_t* pRead)
{
    if (pRead)
        *pRead = 0;
    if (m_Fd < 0 || pBuf == nullptr || Max == 0)
        return 0;
    const Clock::time_point t0 = Clock::now();
    for (;;)
    {
        const uint32_t done = MsSince(t0);
        const int slice = static_cast<int>(std::min<uint32_t>(m_ReadTimeout > done ? m_ReadTimeout - done : 0, 100));
        pollfd p{m_Fd, POLLIN, 0};
        const int r = ::poll(&p, 1, slice);
        if (r < 0 && errno != EINTR)
            return 0;
        if (r > 0 && (p.revents & POLLIN))
        {
            const uint32_t nMax = std::min(Max, UART_MAX_READ);
            const ssize_t n = ::read(m_Fd, pBuf, nMax);
            if (n > 0)
            {
                // A read gives what one driver buffer holds (4095 bytes on a
                // pseudo-terminal); at the highest rates more arrives per
                // turn, so what the device holds now is taken as well, up to
                // the caller's buffer. A hang-up found here is reported by the
                // next call, after these bytes.
                uint32_t nDone = static_cast<uint32_t>(n);
                while (nDone < nMax && !StopRequested())
                {
                    pollfd more{m_Fd, POLLIN, 0};
                    if (::poll(&more, 1, 0) <= 0 || !(more.revents & POLLIN))
                        break;
                    const ssize_t m = ::read(m_Fd, pBuf + nDone, nMax - nDone);
                    if (m <= 0)
                        break;
                    nDone += static_cast<uint32_t>(m);
                }
                if (pRead)
                    *pRead = nDone;
                return 1;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return 0;
            ClosePort();
            return UART_READ_LOST;
        }
        if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        {
            ClosePort();
            return UART_READ_LOST;
        }
        if (MsSince(t0) >= m_ReadTimeout || StopRequested())
            return 0;
    }
}

int CUartProcess::WriteData(const void* pBuf, uint32_t n)
{
    if (m_Fd < 0)
        return 0;
    const uint8_t* p = static_cast<const uint8_t*>(pBuf);
    uint32_t left = n;
    Clock::time_point lastProgress = Clock::now();
    while (left > 0)
    {
        const ssize_t w = ::write(m_Fd, p, left);
        if (w > 0)
        {
            p += w;
            left -= static_cast<uint32_t>(w);
            lastProgress = Clock::now();
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        if (w < 0 && errno != EAGAIN)
            return 0;
        const uint32_t waited = MsSince(lastProgress);
        if (waited >= m_Timing.WriteStall || StopRequested())
            return 0;
        pollfd pf{m_Fd, POLLOUT, 0};
        const int r = ::poll(&pf, 1, static_cast<int>(std::min<uint32_t>(m_Timing.WriteStall - waited, 100)));
        if (r > 0 && (pf.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return 0;
    }
    return 1;
}

int CUartProcess::WriteNow(const void* pBuf, uint32_t n)
{
    if (m_Fd < 0)
        return -1;
    const ssize_t w = ::write(m_Fd, pBuf, n);
    if (w >= 0)
        return static_cast<int>(w);
    return (errno == EAGAIN || errno == EINTR) ? 0 : -1;
}

int CUartProcess::QueueSend(const void* pBuf, uint32_t n)
{
    if (m_TxLength != 0 || n > UART_MAX_READ || pBuf == nullptr)
        return 0;
    std::memcpy(m_TxArea.data(), pBuf, n);
    m_TxLength = n;
    return 1;
}

int CUartProcess::FlushTransmit()
{
    if (m_TxLength == 0)
        return 1;
    if (!WriteData(m_TxArea.data(), m_TxLength))
        return 0;
    m_TxLength = 0;
    return 1;
}

int CUartProcess::SetBaudRate(uint32_t BaudRate)
{
    speed_t speed = B0;
    termios tio{};
    if (m_Fd < 0 || !SpeedOf(BaudRate, &speed) || ::tcgetattr(m_Fd, &tio) != 0)
        return 0;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB);
    tio.c_cflag |= CS8;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_Fd, TCSANOW, &tio) != 0)
        return 0;
    m_BaudRate = BaudRate;
    return 1;
}

int CUartProcess::AutoDetectBaudRate(const char* pName, const char* pProbe)
{
    const uint32_t probeLength = pProbe ? static_cast<uint32_t>(std::strlen(pProbe)) : 0;
    const size_t patternLength = sizeof(kProbeReply) - 1;
    std::vector<uint8_t> rx(UART_TX_AREA);
    std::string window;
    int result = 0;
    for (uint32_t rate : kProbeRates)
    {
        Reset();
        if (!OpenPort(pName, rate))
        {
            result = -1;
            break;
        }
        // Bytes that came at the previous rate are noise now.
        ::tcflush(m_Fd, TCIOFLUSH);
        m_ReadTimeout = m_Timing.ProbeReadTimeout;
        if (!WaitMs(m_Timing.ProbeSettle) || !WriteData(pProbe, probeLength))
            break;
        // The reply may be split over reads: search it with the tail of the previous one.
        window.clear();
        for (int k = 0; k < 3 && result == 0; ++k)
        {
            if (!WaitMs(m_Timing.ProbePoll))
                break;
            uint32_t n = 0;
            const int r = ReadData(rx.data(), static_cast<uint32_t>(rx.size()), &n);
            if (r == UART_READ_LOST)
            {
                result = -1;
                break;
            }
            if (r != 1)
                continue;
            window.append(reinterpret_cast<const char*>(rx.data()), n);
            if (window.find(kProbeReply) != std::string::npos)
                result = static_cast<int>(rate);
            else if (window.size() > patternLength)
                window.erase(0, window.size() - patternLength);
        }
        if (result != 0 || StopRequested())
            break;
    }
    m_ReadTimeout = m_Timing.ReadTimeout;
    return result;
}
