#include "fake_loader.h"

#include "codec/crc.h"
#include "monitor/ports/xmodem.h"

void XmodemLoader::Feed(const std::string& Chunk, const Sender& Send)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Pending += Chunk;
    if (!m_bSelected)
    {
        const size_t at = m_Pending.find("1\r\n");
        if (at == std::string::npos)
            return;
        m_Pending.erase(0, at + 3);
        m_bSelected = true;
        Send("C", 1);
    }
    while (!m_Pending.empty())
    {
        const uint8_t first = static_cast<uint8_t>(m_Pending[0]);
        if (first == XMODEM_EOT)
        {
            m_Pending.erase(0, 1);
            ++m_Eots;
            const bool bNak = m_Rules.NakFirstEot && m_Eots == 1;
            m_bDone = m_bDone || !bNak;
            const uint8_t reply = bNak ? XMODEM_NAK : XMODEM_ACK;
            Send(&reply, 1);
            continue;
        }
        if (first == XMODEM_CAN)
        {
            m_Pending.erase(0, 1);
            ++m_Cans;
            continue;
        }
        if (first != XMODEM_STX)
        {
            m_Pending.erase(0, 1);
            continue;
        }
        if (m_Pending.size() < XMODEM_FRAME_SIZE)
            return;
        const uint8_t* f = reinterpret_cast<const uint8_t*>(m_Pending.data());
        const int block = f[1];
        const uint16_t crc = static_cast<uint16_t>(Crc16Compute(f + 3, XMODEM_BLOCK_SIZE));
        const bool ok = f[2] == static_cast<uint8_t>(~f[1]) && f[1027] == (crc >> 8) && f[1028] == (crc & 0xFF);
        m_Blocks.push_back(block);
        uint8_t reply = XMODEM_ACK;
        if (!ok)
        {
            ++m_BadFrames;
            reply = XMODEM_NAK;
        }
        else if (block == m_Rules.CancelBlock)
            reply = XMODEM_CAN;
        else if (block == m_Rules.NakAlwaysBlock)
            reply = XMODEM_NAK;
        else if (block == m_Rules.NakOnceBlock && !m_bNakked)
        {
            m_bNakked = true;
            reply = XMODEM_NAK;
        }
        if (reply == XMODEM_ACK && block == static_cast<uint8_t>(m_Expected))
        {
            m_Image.append(reinterpret_cast<const char*>(f + 3), XMODEM_BLOCK_SIZE);
            ++m_Expected;
        }
        m_Pending.erase(0, XMODEM_FRAME_SIZE);
        if (block != m_Rules.SilentBlock)
            Send(&reply, 1);
    }
}

std::vector<int> XmodemLoader::Blocks() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Blocks;
}

std::string XmodemLoader::Image() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Image;
}

int XmodemLoader::Eots() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Eots;
}

int XmodemLoader::Cans() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Cans;
}

int XmodemLoader::BadFrames() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_BadFrames;
}

bool XmodemLoader::Done() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bDone;
}

void XmodemLoader::Restart()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Pending.clear();
    m_bSelected = m_bNakked = m_bDone = false;
    m_Expected = 1;
    m_Blocks.clear();
    m_Image.clear();
}
