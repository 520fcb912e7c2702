// A relay control board for the regression bench's tests, on a pseudo-
// terminal: an eight-channel module at one Modbus address that takes Write
// Multiple Coils frames for its coils 0x0010 to 0x0017. It checks each
// frame's CRC, sets its coils from a good frame addressed to it and answers
// as a module does (address, function, first coil and count, CRC); it records
// every frame with the time it came. Whatever else arrives (the property
// query of the port that opened it) is noise to it.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pty_receiver.h"

struct RELAY_FRAME_T
{
    uint8_t Address = 0;
    uint8_t Coils = 0;
    bool bCrcGood = false;
    std::chrono::steady_clock::time_point At;
};

class FakeRelayBoard
{
public:
    explicit FakeRelayBoard(uint8_t Address = 1);
    ~FakeRelayBoard();
    FakeRelayBoard(const FakeRelayBoard&) = delete;
    FakeRelayBoard& operator=(const FakeRelayBoard&) = delete;

    bool Plug() { return m_Pty.Plug(); }
    std::string Name() const { return m_Pty.Name(); }
    PtyReceiver& Line() { return m_Pty; }

    // Every frame in the order it came, good or not, for any address.
    std::vector<RELAY_FRAME_T> Frames() const;
    uint8_t Coils() const;

private:
    void OnChunk(ReceiverLine& Line, const std::string& Chunk);

    uint8_t m_Address;
    mutable std::mutex m_Mutex;
    std::string m_Pending;
    std::vector<RELAY_FRAME_T> m_Frames;
    uint8_t m_Coils = 0;
    // Last: its thread stops before the members above go.
    PtyReceiver m_Pty;
};
