#include "fake_receiver.h"

#include <cstdlib>

namespace
{
const char kVersionReply[] = "\r\n<VERSION\r\n<     1 \r\n<     \"ZV100\" \"R3.1.0\"\r\n<VERSION OK\r\n";

std::string PropertyReply(const std::string& Port)
{
    return "version\r\n<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F\r\n<VERSION OK\r\n[" +
           Port + "]netconfig\r\n<NETCONFIG\r\nNETCONFIG STATIC 192.168.1.20 255.255.255.0\r\n<NETCONFIG OK\r\n";
}
} // namespace

FakeReceiver::FakeReceiver(RECEIVER_RULES_T Rules)
    : m_Rules(Rules), m_Rate(Rules.Rate), m_Loader(Rules.Loader),
      m_Rx([this](PtyReceiver& self, const std::string& chunk) { OnChunk(self, chunk); })
{
}

void FakeReceiver::OnChunk(PtyReceiver& Self, const std::string& Chunk)
{
    auto send = [&Self](const void* p, size_t n) { Self.Send(p, n); };
    if (m_bLoader)
    {
        m_Loader.Feed(Chunk, send);
        return;
    }
    // Bytes at another rate are noise to the receiver.
    if (m_Rate == 0 || Self.SlaveRate() != m_Rate)
        return;
    m_Line += Chunk;
    for (;;)
    {
        const size_t end = m_Line.find("\r\n");
        if (end == std::string::npos)
            break;
        const std::string cmd = m_Line.substr(0, end);
        m_Line.erase(0, end + 2);
        if (cmd == "VERSION")
            Self.Send(std::string(kVersionReply));
        else if (cmd == "netconfig")
            Self.Send(PropertyReply(m_Rules.Port));
        else if (cmd.rfind("COM ", 0) == 0)
            m_Rate = static_cast<uint32_t>(std::strtoul(cmd.c_str() + 4, nullptr, 10));
        else if (cmd == "RESET")
        {
            m_bLoader = true;
            m_Line.clear();
            if (m_Rules.LoaderStarts)
                Self.Send(std::string("boot 1.0\r\nCCC"));
            return;
        }
    }
}
