// A FIFO in place of a file, for tests of code that must never wait on one.
// Should the code under test open it and wait for the other end, the guard
// opens that end after a while, so that the test goes on and fails on its
// checks instead of hanging until the test's time-out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

class CFifoGuard
{
public:
    explicit CFifoGuard(std::string Path, int nReleaseMs = 20000) : m_Path(std::move(Path))
    {
        m_bValid = ::mkfifo(m_Path.c_str(), 0600) == 0;
        if (m_bValid)
            m_Thread = std::thread([this, nReleaseMs] { Guard(nReleaseMs); });
    }
    ~CFifoGuard()
    {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bStop = true;
        }
        m_Wake.notify_all();
        if (m_Thread.joinable())
            m_Thread.join();
        if (m_ReadFd >= 0)
            ::close(m_ReadFd);
        ::unlink(m_Path.c_str());
    }
    CFifoGuard(const CFifoGuard&) = delete;
    CFifoGuard& operator=(const CFifoGuard&) = delete;

    bool IsValid() const { return m_bValid; }
    // Whether its time ran out and it opened the other end: the code under
    // test waited on the FIFO (or the test ran longer than that time).
    bool Released() const
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        return m_bReleased;
    }

private:
    void Guard(int nReleaseMs)
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        if (m_Wake.wait_for(lock, std::chrono::milliseconds(nReleaseMs), [this] { return m_bStop; }))
            return;
        // A reader end lets a waiting writer go on (and keeps its writes from
        // failing); a writer end that closes at once gives a waiting reader
        // its end of file.
        m_bReleased = true;
        m_ReadFd = ::open(m_Path.c_str(), O_RDONLY | O_NONBLOCK);
        const int fd = ::open(m_Path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    }

    std::string m_Path;
    bool m_bValid = false;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Wake;
    bool m_bStop = false;
    bool m_bReleased = false;
    int m_ReadFd = -1;
    std::thread m_Thread;
};
