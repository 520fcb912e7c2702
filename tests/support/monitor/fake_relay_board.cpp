#include "fake_relay_board.h"

namespace
{
constexpr size_t kFrameLength = 10;
// Function, first coil, coil count and byte count of the frame it takes.
const uint8_t kFrameHead[] = {0x0F, 0x00, 0x10, 0x00, 0x08, 0x01};

// The Modbus CRC-16, written here from the protocol's definition.
uint16_t Crc(const uint8_t* p, size_t n)
{
    uint16_t crc = 0xFFFF;
    while (n-- != 0)
    {
        crc ^= *p++;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}
} // namespace

FakeRelayBoard::FakeRelayBoard(uint8_t Address)
    : m_Address(Address), m_Pty([this](ReceiverLine& Line, const std::string& Chunk) { OnChunk(Line, Chunk); })
{
}

FakeRelayBoard::~FakeRelayBoard() { m_Pty.Unplug(); }

std::vector<RELAY_FRAME_T> FakeRelayBoard::Frames() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Frames;
}

uint8_t FakeRelayBoard::Coils() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Coils;
}

void FakeRelayBoard::OnChunk(ReceiverLine& Line, const std::string& Chunk)
{
    std::vector<std::string> answers;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Pending += Chunk;
        while (m_Pending.size() >= kFrameLength)
        {
            const auto* f = reinterpret_cast<const uint8_t*>(m_Pending.data());
            if (std::char_traits<char>::compare(m_Pending.data() + 1, reinterpret_cast<const char*>(kFrameHead),
                                                sizeof kFrameHead) != 0)
            {
                m_Pending.erase(0, 1);
                continue;
            }
            RELAY_FRAME_T frame;
            frame.Address = f[0];
            frame.Coils = f[7];
            frame.bCrcGood = Crc(f, 8) == (f[8] | (f[9] << 8));
            frame.At = std::chrono::steady_clock::now();
            m_Frames.push_back(frame);
            if (frame.bCrcGood && frame.Address == m_Address)
            {
                m_Coils = frame.Coils;
                std::string answer(m_Pending, 0, 6);
                const uint16_t crc = Crc(reinterpret_cast<const uint8_t*>(answer.data()), answer.size());
                answer += static_cast<char>(crc & 0xFF);
                answer += static_cast<char>(crc >> 8);
                answers.push_back(answer);
            }
            m_Pending.erase(0, kFrameLength);
        }
    }
    for (const std::string& a : answers)
        Line.Send(a);
}
