// A fake receiver's network line: a listening TCP socket on 127.0.0.1 that
// takes one connection at a time (a new connection replaces the old one, as
// a receiver's single network port does). The code under test connects to
// Name():Port().
#pragma once

#include <thread>

#include "receiver_line.h"

class SocketReceiver : public ReceiverLine
{
public:
    explicit SocketReceiver(Handler OnChunk = {}) : ReceiverLine(std::move(OnChunk)) {}
    ~SocketReceiver() override;

    // Listens on nPort (0: any free port) and starts serving; returns the
    // port, or 0 when it cannot listen.
    uint16_t Listen(uint16_t nPort = 0);
    // Stops listening and drops the connection.
    void Close();
    // Drops the connection; the monitor sees the peer go away.
    void DropClient();

    std::string Name() const override { return "127.0.0.1"; }
    uint16_t Port() const { return m_Port; }
    int Connections() const { return m_Connections.load(); }
    bool Connected() const { return m_Client.load() >= 0; }

protected:
    int WriteFd() const override { return m_Client.load(); }

private:
    void ServeLoop();
    void CloseClient();

    int m_Listen = -1;
    uint16_t m_Port = 0;
    std::atomic<int> m_Client{-1};
    std::atomic<bool> m_bDropClient{false};
    std::atomic<int> m_Connections{0};
    std::thread m_Thread;
    std::atomic<bool> m_bStop{false};
};
