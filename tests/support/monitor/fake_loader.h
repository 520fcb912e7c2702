// The receiving side of XMODEM-1K with CRC-16, as a receiver's boot loader
// plays it: after the menu choice "1\r\n" it asks with "C", checks every frame
// and answers ACK, NAK or CAN by its rules. Fed with what the sender wrote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct LOADER_RULES_T
{
    int NakOnceBlock = -1;    // first arrival of this block number gets a NAK
    int NakAlwaysBlock = -1;  // this block number always gets a NAK
    int CancelBlock = -1;     // this block number gets a CAN
    bool NakFirstEot = false; // the first EOT gets a NAK
    int SilentBlock = -1;     // this block number gets no answer
};

class XmodemLoader
{
public:
    using Sender = std::function<void(const void* pData, size_t n)>;

    explicit XmodemLoader(LOADER_RULES_T Rules = {}) : m_Rules(Rules) {}
    void Feed(const std::string& Chunk, const Sender& Send);

    // Block numbers in the order the frames came.
    std::vector<int> Blocks() const;
    // The data of the acknowledged blocks, padding included.
    std::string Image() const;
    int Eots() const;
    int Cans() const;
    int BadFrames() const;
    bool Done() const; // an EOT was acknowledged
    // Waits for the menu choice again, for the next image; the image and the
    // block record start anew, the counts of EOTs, CANs and bad frames go on.
    void Restart();

private:
    LOADER_RULES_T m_Rules;
    mutable std::mutex m_Mutex;
    std::string m_Pending;
    bool m_bSelected = false;
    bool m_bNakked = false;
    bool m_bDone = false;
    int m_Expected = 1;
    std::vector<int> m_Blocks;
    std::string m_Image;
    int m_Eots = 0;
    int m_Cans = 0;
    int m_BadFrames = 0;
};
