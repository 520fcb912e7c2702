// The line between a fake receiver and the monitor under test: a
// pseudo-terminal (PtyReceiver) or a loopback TCP port (SocketReceiver). A
// thread of the line reads what the monitor writes and hands each chunk to a
// handler, which may answer with Send; everything read is also kept, so that
// a test can wait for a command to arrive.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

class ReceiverLine
{
public:
    using Handler = std::function<void(ReceiverLine&, const std::string& Chunk)>;

    explicit ReceiverLine(Handler OnChunk) : m_Handler(std::move(OnChunk)) {}
    virtual ~ReceiverLine() = default;
    ReceiverLine(const ReceiverLine&) = delete;
    ReceiverLine& operator=(const ReceiverLine&) = delete;

    // What the monitor opens: a device path, or "127.0.0.1" for a socket.
    virtual std::string Name() const = 0;
    // The rate the monitor's end of a serial line is set to (0 on a socket or
    // when unknown).
    virtual uint32_t SlaveRate() const { return 0; }
    // Writes all of the bytes unless the line goes away or the monitor takes
    // nothing for SendTimeoutMs; false when bytes were left unsent. One Send
    // never interleaves with another.
    bool Send(const void* pData, size_t n);
    bool Send(const std::string& s) { return Send(s.data(), s.size()); }
    // Writes what the line takes at once, without waiting, as a receiver's
    // UART sends whether or not the other end keeps up; the count written.
    size_t SendNow(const void* pData, size_t n);

    // Every byte the monitor has written so far.
    std::string Received() const;
    void ClearReceived();
    // Waits until Done(Received()) holds; false after Ms milliseconds.
    bool WaitFor(const std::function<bool(const std::string&)>& Done, int Ms) const;
    bool WaitForText(const std::string& Text, int Ms) const;

    std::atomic<int> SendTimeoutMs{2000};

protected:
    // The write end of the line at this moment, or -1.
    virtual int WriteFd() const = 0;
    // Called by the line's thread with each chunk read.
    void Deliver(const std::string& Chunk);
    // Before the line closes its descriptors: ends a Send in progress and
    // keeps others out while the lock is held; AllowSends after a new open.
    std::unique_lock<std::mutex> StopSends();
    void AllowSends() { m_bClosing = false; }

private:
    Handler m_Handler;
    std::mutex m_SendMutex;
    std::atomic<bool> m_bClosing{false};
    mutable std::mutex m_Mutex;
    mutable std::condition_variable m_Changed;
    std::string m_Received;
};
