#include "monitor/ports/xmodem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "codec/crc.h"

uint32_t XmodemBuildFrame(uint8_t Block, const uint8_t* pData, uint32_t Length, uint8_t* pFrame)
{
    if (Length > XMODEM_BLOCK_SIZE || pFrame == nullptr || (Length > 0 && pData == nullptr))
        return 0;
    pFrame[0] = XMODEM_STX;
    pFrame[1] = Block;
    pFrame[2] = static_cast<uint8_t>(~Block);
    if (Length > 0)
        std::memcpy(pFrame + 3, pData, Length);
    std::memset(pFrame + 3 + Length, XMODEM_PAD, XMODEM_BLOCK_SIZE - Length);
    const uint16_t crc = static_cast<uint16_t>(Crc16Compute(pFrame + 3, static_cast<int32_t>(XMODEM_BLOCK_SIZE)));
    pFrame[3 + XMODEM_BLOCK_SIZE] = static_cast<uint8_t>(crc >> 8);
    pFrame[4 + XMODEM_BLOCK_SIZE] = static_cast<uint8_t>(crc & 0xFF);
    return XMODEM_FRAME_SIZE;
}

std::string XmodemProgressBar(uint32_t Percent)
{
    const uint32_t marks = std::min<uint32_t>(Percent, 100) / 2;
    return "[" + std::string(marks, '=') + std::string(50 - marks, ' ') + "]";
}

CUartProcessEx::CUartProcessEx() { std::memset(m_Frame, XMODEM_PAD, sizeof(m_Frame)); }

int CUartProcessEx::LoadImage(const char* pPath)
{
    std::ifstream in(pPath ? pPath : "", std::ios::binary | std::ios::ate);
    if (!in)
        return 0;
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > static_cast<std::streamoff>(UINT32_MAX))
        return 0;
    std::vector<uint8_t> data(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), size))
        return 0;
    return LoadImageData(data.data(), static_cast<uint32_t>(data.size()));
}

int CUartProcessEx::LoadImageData(const uint8_t* pData, uint32_t Length)
{
    if (pData == nullptr || Length == 0)
        return 0;
    ResetTransfer();
    m_Image.assign(pData, pData + Length);
    m_Result = XMODEM_RESULT_NONE;
    m_ReadTimeout = m_Timing.ImageReadTimeout;
    m_bActive = true;
    return 1;
}

void CUartProcessEx::ClearState()
{
    m_Image.clear();
    m_Image.shrink_to_fit();
    m_Offset = 0;
    m_Block = 1;
    std::memset(m_Frame, XMODEM_PAD, sizeof(m_Frame));
    m_bActive = false;
    m_bLoaderReady = false;
    m_bTransferring = false;
    m_Outstanding = SENT_E::NONE;
    m_bEotSent = false;
    m_ReplyCount = 0;
    m_LoaderTail.clear();
    m_ReadTimeout = m_Timing.ReadTimeout;
}

void CUartProcessEx::ResetTransfer()
{
    ClearState();
    m_Progress.clear();
}

void CUartProcessEx::Stop(XMODEM_RESULT_E Result)
{
    ClearState();
    m_Result = Result;
}

void CUartProcessEx::CancelTransfer()
{
    const uint8_t can = XMODEM_CAN;
    DiscardTransmit();
    QueueSend(&can, 1);
    if (m_bActive)
        Stop(XMODEM_RESULT_CANCELLED);
    else
        ResetTransfer();
}

std::string CUartProcessEx::TakeProgressText()
{
    std::string text;
    text.swap(m_Progress);
    return text;
}

void CUartProcessEx::AddProgress(const char* pText)
{
    m_Progress += pText;
    if (m_Progress.size() > XMODEM_PROGRESS_CAPACITY)
        m_Progress.erase(0, m_Progress.size() - XMODEM_PROGRESS_CAPACITY);
}

void CUartProcessEx::AddRateLine()
{
    const uint32_t size = static_cast<uint32_t>(m_Image.size());
    const uint32_t percent = static_cast<uint32_t>(uint64_t{m_Offset} * 100 / size);
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - m_LastReportTime).count();
    const double bps = seconds > 0 ? (m_Offset - m_LastReportOffset) * 8.0 / seconds : 0.0;
    const double need = bps > 0 ? (size - m_Offset) * 8.0 / bps : 0.0;
    char line[160];
    std::snprintf(line, sizeof(line), "Send:%3u%% %7u/%7u Byte %s @%.1f bps need %.1f Sec\r", percent, m_Offset, size,
                  XmodemProgressBar(percent).c_str(), bps, need);
    AddProgress(line);
    m_LastReportTime = now;
    m_LastReportOffset = m_Offset;
}

bool CUartProcessEx::BuildNextBlock()
{
    const uint32_t size = static_cast<uint32_t>(m_Image.size());
    if (m_Offset >= size)
        return false;
    const uint32_t length = std::min(XMODEM_BLOCK_SIZE, size - m_Offset);
    XmodemBuildFrame(m_Block, m_Image.data() + m_Offset, length, m_Frame);
    m_Offset += length;
    ++m_Block;
    return true;
}

void CUartProcessEx::SendNext()
{
    if (BuildNextBlock())
    {
        m_Outstanding = SENT_E::FRAME;
    }
    else
    {
        m_Outstanding = SENT_E::EOT;
        m_bEotSent = true;
    }
    m_ReplyCount = 0;
    QueueCurrent();
}

void CUartProcessEx::QueueCurrent()
{
    // A frame still waiting from a stalled write is superseded by the current one.
    DiscardTransmit();
    if (m_Outstanding == SENT_E::FRAME)
    {
        QueueSend(m_Frame, XMODEM_FRAME_SIZE);
    }
    else if (m_Outstanding == SENT_E::EOT)
    {
        const uint8_t eot = XMODEM_EOT;
        QueueSend(&eot, 1);
    }
}

int CUartProcessEx::TransmitImage(uint8_t* pBuf, uint32_t* pLength)
{
    if (!m_bActive)
        return 1;
    const uint32_t n = (pBuf && pLength) ? *pLength : 0;
    if (!m_bLoaderReady)
    {
        // The loader's "CCC" may come split over several reads.
        m_LoaderTail.append(reinterpret_cast<const char*>(pBuf), n);
        if (m_LoaderTail.find("CCC") == std::string::npos)
        {
            if (m_LoaderTail.size() > 2)
                m_LoaderTail.erase(0, m_LoaderTail.size() - 2);
            return 2;
        }
        m_LoaderTail.clear();
        WriteData("1\r\n", 3);
        m_bLoaderReady = true;
        AddProgress("Ready to Transmit Image\n");
        return 2;
    }
    if (n == 0)
        return 0;
    const uint8_t first = pBuf[0];
    *pLength = 0;
    if (first == XMODEM_CAN && m_Outstanding != SENT_E::NONE)
    {
        Stop(XMODEM_RESULT_LOADER_CANCEL);
        AddProgress("Xmodem Transfer canceled\n");
        return 0;
    }
    if (!m_bTransferring)
    {
        if (m_Outstanding == SENT_E::NONE)
        {
            SendNext();
            AddProgress("Xmodem First Frame\n");
            return 0;
        }
        if (first == XMODEM_ACK)
        {
            m_bTransferring = true;
            AddProgress("Start to transmit...\n");
            m_LastReportTime = std::chrono::steady_clock::now();
            m_LastReportOffset = m_Offset;
            SendNext();
            return 0;
        }
        // The loader asks again for the first block after a bad one.
        if (first == XMODEM_NAK)
            QueueCurrent();
        if (++m_ReplyCount > XMODEM_START_REPLY_LIMIT)
            Stop(XMODEM_RESULT_GAVE_UP);
        return 0;
    }
    if (first == XMODEM_ACK)
    {
        if (m_bEotSent)
        {
            Stop(XMODEM_RESULT_COMPLETE);
            AddProgress("Transmit Complete\n");
            return 0;
        }
        AddRateLine();
        SendNext();
        return 0;
    }
    // Each reply but an ACK asks for the same frame again, a limited number of times.
    if (++m_ReplyCount > XMODEM_RETRY_LIMIT)
    {
        const uint8_t can = XMODEM_CAN;
        DiscardTransmit();
        QueueSend(&can, 1);
        Stop(XMODEM_RESULT_GAVE_UP);
        return 0;
    }
    QueueCurrent();
    return 0;
}
