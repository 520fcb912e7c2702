// XMODEM-1K sender for a receiver's boot loader, on top of the serial device
// layer: 1029-byte STX frames with CRC-16, driven by the loader's replies.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ports/serial_device.h"

constexpr uint8_t XMODEM_STX = 0x02;
constexpr uint8_t XMODEM_EOT = 0x04;
constexpr uint8_t XMODEM_ACK = 0x06;
constexpr uint8_t XMODEM_NAK = 0x15;
constexpr uint8_t XMODEM_CAN = 0x18;
constexpr uint8_t XMODEM_PAD = 0x1A;
constexpr uint32_t XMODEM_BLOCK_SIZE = 1024;
constexpr uint32_t XMODEM_FRAME_SIZE = 1029;
// Replies without the awaited ACK before the first block is acknowledged.
constexpr uint32_t XMODEM_START_REPLY_LIMIT = 4096;
// Replies other than ACK to one block (or EOT) before the transfer is given up.
constexpr uint32_t XMODEM_RETRY_LIMIT = 10;
constexpr uint32_t XMODEM_PROGRESS_CAPACITY = 1024;

// How the last transfer ended.
enum XMODEM_RESULT_E
{
    XMODEM_RESULT_NONE = 0,           // nothing loaded, or still running
    XMODEM_RESULT_COMPLETE = 1,       // EOT acknowledged
    XMODEM_RESULT_LOADER_CANCEL = -1, // the loader sent CAN
    XMODEM_RESULT_GAVE_UP = -2,       // no acknowledgement within the reply limits
    XMODEM_RESULT_CANCELLED = -3,     // cancelled on our side
};

// Builds frame Block from Length (at most 1024) bytes, padded with 0x1A;
// returns XMODEM_FRAME_SIZE, or 0 for a length above 1024.
uint32_t XmodemBuildFrame(uint8_t Block, const uint8_t* pData, uint32_t Length, uint8_t* pFrame);
// "[" + Percent/2 "=" + blanks to 50 places + "]".
std::string XmodemProgressBar(uint32_t Percent);

class CUartProcessEx : public CUartProcess
{
public:
    CUartProcessEx();

    // Reads the whole image and starts a transfer that waits for the loader's
    // "CCC". Returns 1, or 0 when the file cannot be read or is empty.
    int LoadImage(const char* pPath);
    int LoadImageData(const uint8_t* pData, uint32_t Length);
    // Hands the transfer one chunk of received bytes. Returns 1 when no
    // transfer is active, 2 while waiting for the loader (the bytes are left
    // as they are), 0 when the bytes were taken (*pLength becomes 0).
    virtual int TransmitImage(uint8_t* pBuf, uint32_t* pLength);
    // Replaces whatever waits to be sent by one CAN and stops the transfer.
    void CancelTransfer();
    // Drops the image and every flag; the result of the last transfer stays.
    void ResetTransfer();

    bool IsActive() const { return m_bActive; }
    bool IsLoaderReady() const { return m_bLoaderReady; }
    XMODEM_RESULT_E GetResult() const { return m_Result; }
    uint32_t GetImageSize() const { return static_cast<uint32_t>(m_Image.size()); }
    // Progress lines gathered since the last TakeProgressText.
    std::string TakeProgressText();

private:
    enum class SENT_E
    {
        NONE,
        FRAME,
        EOT
    };

    // Builds the next block; false when no data is left.
    bool BuildNextBlock();
    // Queues the next block, or EOT after the last one.
    void SendNext();
    // Queues the frame (or EOT) that waits for its acknowledgement.
    void QueueCurrent();
    void ClearState();
    void AddProgress(const char* pText);
    void AddRateLine();
    void Stop(XMODEM_RESULT_E Result);

    std::vector<uint8_t> m_Image;
    uint32_t m_Offset = 0;
    uint8_t m_Block = 1;
    uint8_t m_Frame[XMODEM_FRAME_SIZE];
    bool m_bActive = false;
    bool m_bLoaderReady = false;
    bool m_bTransferring = false;
    SENT_E m_Outstanding = SENT_E::NONE;
    bool m_bEotSent = false;
    uint32_t m_ReplyCount = 0;
    std::string m_LoaderTail; // last bytes seen while waiting for "CCC"
    XMODEM_RESULT_E m_Result = XMODEM_RESULT_NONE;
    std::chrono::steady_clock::time_point m_LastReportTime;
    uint32_t m_LastReportOffset = 0;
    std::string m_Progress;
};
