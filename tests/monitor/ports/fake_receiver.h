// A receiver on the master side of a pseudo-terminal, as the serial port
// controller meets it: it answers the rate probe and the property query only
// while the line runs at its own rate, follows "COM <rate>", and after
// "RESET" becomes a boot loader that takes an image by XMODEM-1K.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "fake_loader.h"
#include "pty_receiver.h"

struct RECEIVER_RULES_T
{
    uint32_t Rate = 115200;    // 0: answers nothing
    std::string Port = "COM2"; // the port it reports in its prompt
    bool LoaderStarts = true;  // after RESET the loader sends "CCC"
    LOADER_RULES_T Loader;
};

class FakeReceiver
{
public:
    explicit FakeReceiver(RECEIVER_RULES_T Rules);
    // With a link path the device is reached through it, so that it can be
    // unplugged and plugged in again under the same name.
    bool Plug(const std::string& LinkPath = {}) { return m_Rx.Plug(LinkPath); }
    void Unplug() { m_Rx.Unplug(); }
    PtyReceiver& Rx() { return m_Rx; }
    const XmodemLoader& Loader() const { return m_Loader; }
    uint32_t Rate() const { return m_Rate.load(); }
    bool InLoader() const { return m_bLoader.load(); }

private:
    void OnChunk(PtyReceiver& Self, const std::string& Chunk);

    RECEIVER_RULES_T m_Rules;
    std::atomic<uint32_t> m_Rate;
    std::atomic<bool> m_bLoader{false};
    std::string m_Line; // commands not yet answered
    XmodemLoader m_Loader;
    PtyReceiver m_Rx; // last: its thread stops before the members above go
};
