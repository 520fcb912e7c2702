// A fake receiver's serial line: the master side of a pseudo-terminal. The
// code under test opens the slave (Name()) as its serial device; the line's
// rate is whatever the code under test set on the slave.
#pragma once

#include <thread>

#include "monitor/ports/serial_device.h"
#include "receiver_line.h"

// Waits of the serial device layer short enough for a pseudo-terminal, where
// bytes arrive at once. A probe's read ends as soon as the reply is there;
// its time-out leaves the fake receiver room to answer on a loaded machine.
inline UART_TIMING_T FastUartTiming()
{
    UART_TIMING_T t;
    t.ReadTimeout = 20;
    t.ProbeReadTimeout = 300;
    t.ProbeSettle = 2;
    t.ProbePoll = 10;
    t.ImageReadTimeout = 5;
    t.WriteStall = 200;
    return t;
}

class PtyReceiver : public ReceiverLine
{
public:
    explicit PtyReceiver(Handler OnChunk = {}) : ReceiverLine(std::move(OnChunk)) {}
    ~PtyReceiver() override;

    // Creates a new pseudo-terminal and starts reading it; with a link path the
    // link is (re)pointed at the new slave. False when no pty can be made.
    bool Plug(const std::string& LinkPath = {});
    // Closes the master and the slave: the device hangs up and its node (and
    // the link to it) goes away.
    void Unplug();

    // The device name to open: the link when one was given, else the slave's path.
    std::string Name() const override;
    // The line rate the slave is set to, as a number (0 when unknown).
    uint32_t SlaveRate() const override;
    // Line flags of the slave.
    unsigned SlaveCflag() const;

protected:
    int WriteFd() const override { return m_Master.load(); }

private:
    void ReadLoop();

    std::atomic<int> m_Master{-1};
    int m_Slave = -1;
    std::string m_SlavePath;
    std::string m_LinkPath;
    std::thread m_Thread;
    std::atomic<bool> m_bStop{false};
};
