// A fake receiver on the master side of a pseudo-terminal: the code under test
// opens the slave as its serial device. A thread reads the master and hands
// each chunk to a handler, which may answer with Send.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "monitor/ports/serial_device.h"

// Waits of the serial device layer short enough for a pseudo-terminal, where
// bytes arrive at once.
inline UART_TIMING_T FastUartTiming()
{
    UART_TIMING_T t;
    t.ReadTimeout = 20;
    t.ProbeReadTimeout = 60;
    t.ProbeSettle = 2;
    t.ProbePoll = 10;
    t.ImageReadTimeout = 5;
    t.WriteStall = 200;
    return t;
}

class PtyReceiver
{
public:
    using Handler = std::function<void(PtyReceiver&, const std::string& Chunk)>;

    explicit PtyReceiver(Handler OnChunk = {});
    ~PtyReceiver();
    PtyReceiver(const PtyReceiver&) = delete;
    PtyReceiver& operator=(const PtyReceiver&) = delete;

    // Creates a new pseudo-terminal and starts reading it; with a link path the
    // link is (re)pointed at the new slave. False when no pty can be made.
    bool Plug(const std::string& LinkPath = {});
    // Closes the master and the slave: the device hangs up and its node (and
    // the link to it) goes away.
    void Unplug();

    // The device name to open: the link when one was given, else the slave's path.
    std::string Name() const;
    // The line rate the slave is set to, as a number (0 when unknown).
    uint32_t SlaveRate() const;
    // Line flags of the slave.
    unsigned SlaveCflag() const;
    void Send(const void* pData, size_t n);
    void Send(const std::string& s) { Send(s.data(), s.size()); }
    // Every byte the master has read so far.
    std::string Received() const;
    void ClearReceived();
    // Waits until Done(Received()) holds; false after Ms milliseconds.
    bool WaitFor(const std::function<bool(const std::string&)>& Done, int Ms) const;
    bool WaitForText(const std::string& Text, int Ms) const;

private:
    void ReadLoop();

    Handler m_Handler;
    int m_Master = -1;
    int m_Slave = -1;
    std::string m_SlavePath;
    std::string m_LinkPath;
    std::thread m_Thread;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    std::string m_Received;
};
