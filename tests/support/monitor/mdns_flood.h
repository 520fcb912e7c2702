// A hostile host of the local network for discovery tests: from a thread of
// its own, so that nothing the program under test does can slow it, it sends
// mDNS datagrams to a loopback port at a steady rate for a while. Each
// datagram is made by the test's function from its number, so that every
// one can say something new (another address, another instance).
#pragma once

#include <QByteArray>
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

class CMdnsFlood
{
public:
    using MAKE_T = std::function<QByteArray(uint64_t nDatagram)>;

    // Starts sending at once to 127.0.0.1:nPort, nPerSecond datagrams a
    // second, for nMs milliseconds or until stopped.
    CMdnsFlood(uint16_t nPort, int nPerSecond, int nMs, MAKE_T Make);
    ~CMdnsFlood();
    CMdnsFlood(const CMdnsFlood&) = delete;
    CMdnsFlood& operator=(const CMdnsFlood&) = delete;

    void Stop();
    // Whether the time is up.
    bool IsDone() const { return m_bDone.load(); }
    uint64_t Sent() const { return m_nSent.load(); }

private:
    void Run(uint16_t nPort, int nPerSecond, int nMs);

    MAKE_T m_Make;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bDone{false};
    std::atomic<uint64_t> m_nSent{0};
    std::thread m_Thread;
};
