#include "converter/engine/log_source.h"

#include <cstring>

#include "codec/catalogue.h"
#include "codec/crc.h"
#include "codec/log_dispatch.h"
#include "codec/log_format.h"
#include "converter/engine/binex.h"

namespace
{
enum : uint32_t
{
    MAX_NAME = 40, // longest log name with its form suffix and "_1"
};

bool IsNameChar(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
} // namespace

LogSourceReader::LogSourceReader(FILE* pFile, LogSourceProgressFn pProgress, void* pContext, uint32_t nMode)
    : m_pFile(pFile), m_pProgress(pProgress), m_pContext(pContext), m_nMode(nMode), m_aStart{},
      // Room for the longest frame looked for and a block behind it.
      m_Buffer((nMode == LOG_SOURCE_BINEX_RECORDS ? uint32_t(BINEX_MAX_RECORD) : uint32_t(MAX_TEXT_LOG)) + BLOCK_SIZE)
{
    if (nMode == LOG_SOURCE_BINEX_RECORDS)
    {
        m_aStart[BINEX_SYNC_BIG] = m_aStart[BINEX_SYNC_LITTLE] = true;
        return;
    }
    m_aStart[uint8_t('#')] = m_aStart[LOG_SYNC_0] = true;
    m_aStart[uint8_t('%')] = nMode == LOG_SOURCE_ALL_HEADERS;
}

bool LogSourceReader::Refill()
{
    if (m_bEof || m_bStopped || !m_pFile)
        return false;
    const uint32_t nKeep = m_nEnd - m_nPos;
    if (nKeep && m_nPos)
        std::memmove(m_Buffer.data(), m_Buffer.data() + m_nPos, nKeep);
    m_nPos = 0;
    m_nEnd = nKeep;
    const size_t nRead = std::fread(m_Buffer.data() + m_nEnd, 1, BLOCK_SIZE, m_pFile);
    // What a failing read still gave is taken; nothing is read after it.
    if (std::ferror(m_pFile))
        m_bReadFailed = m_bEof = true;
    if (nRead == 0)
    {
        m_bEof = true;
        return false;
    }
    m_nEnd += static_cast<uint32_t>(nRead);
    m_Counts.nBytesRead += nRead;
    if (m_pProgress && m_pProgress(m_pContext, m_Counts.nBytesRead) != 0)
    {
        m_bStopped = true;
        return false;
    }
    return true;
}

int LogSourceReader::TryText(uint32_t* pLength, uint16_t* pMessageId, bool* pBad)
{
    const uint8_t* p = m_Buffer.data() + m_nPos;
    const uint32_t n = m_nEnd - m_nPos;
    *pBad = false;
    uint32_t nName = 0;
    while (1 + nName < n && nName <= MAX_NAME && IsNameChar(p[1 + nName]))
        ++nName;
    if (1 + nName >= n)
        return -1;
    if (nName == 0 || nName > MAX_NAME || p[1 + nName] != ',')
        return 0;
    // A compressed range log made from RANGEH carries "_1" behind its form letter.
    const uint32_t nLookup = nName > 2 && p[nName - 1] == '_' && p[nName] == '1' ? nName - 2 : nName;
    const uint16_t nId = LogNameToId(reinterpret_cast<const char*>(p + 1), 1, nLookup);
    const bool bKnown = nId != LOG_ID_UNKNOWN;
    *pBad = bKnown;

    const uint32_t nSearch = n < MAX_TEXT_LOG ? n : static_cast<uint32_t>(MAX_TEXT_LOG);
    const void* pLf = std::memchr(p, '\n', nSearch);
    if (!pLf)
        return n < MAX_TEXT_LOG ? -1 : 0;
    const uint32_t nLength = static_cast<uint32_t>(static_cast<const uint8_t*>(pLf) - p) + 1;
    if (!CheckTextLogCrc(reinterpret_cast<const char*>(p), static_cast<int32_t>(nLength)))
        return 0;
    *pBad = false;
    *pLength = nLength;
    *pMessageId = nId;
    return 1;
}

int LogSourceReader::TryBinary(uint32_t* pLength, bool* pBad)
{
    const uint8_t* p = m_Buffer.data() + m_nPos;
    const uint32_t n = m_nEnd - m_nPos;
    *pBad = false;
    if (n < 3)
        return -1;
    const bool bShort = p[2] == LOG_SYNC_SHORT && m_nMode == LOG_SOURCE_ALL_HEADERS;
    if (p[1] != LOG_SYNC_1 || (p[2] != LOG_SYNC_LONG && !bShort))
        return 0;
    *pBad = true;
    const uint32_t nHeader = bShort ? SHORT_LOG_HEADER_LENGTH : LOG_HEADER_LENGTH;
    if (n < nHeader)
        return -1;
    if (!bShort && p[3] != LOG_HEADER_LENGTH)
    {
        *pBad = false;
        return 0;
    }
    const uint32_t nBody = nHeader + (bShort ? p[3] : ReadU16(p + 8));
    if (n < nBody + LOG_CRC_LENGTH)
        return -1;
    if (Crc32Compute(p, static_cast<int32_t>(nBody)) != ReadU32(p + nBody))
        return 0;
    *pBad = false;
    *pLength = nBody + LOG_CRC_LENGTH;
    return 1;
}

int LogSourceReader::TryBinex(uint32_t* pLength, uint16_t* pRecordId, bool* pBad)
{
    BINEX_FRAME_T frame{};
    const int r = FrameBinexRecord(m_Buffer.data() + m_nPos, m_nEnd - m_nPos, &frame);
    *pBad = r == BINEX_FRAME_BAD_CHECKSUM;
    if (r == BINEX_FRAME_NEED_MORE)
        return -1;
    if (r != BINEX_FRAME_OK)
        return 0;
    *pLength = frame.nTotalLength;
    *pRecordId = frame.nRecordId < LOG_ID_UNKNOWN ? static_cast<uint16_t>(frame.nRecordId) : LOG_ID_UNKNOWN;
    return 1;
}

bool LogSourceReader::Next(LogSourceFrame* pFrame)
{
    for (;;)
    {
        if (m_bStopped)
            return false;
        if (m_nPos >= m_nEnd && !Refill())
            return false;
        // Up to the next byte that may open a log.
        const uint8_t* p = m_Buffer.data();
        uint32_t i = m_nPos;
        while (i < m_nEnd && !m_aStart[p[i]])
            ++i;
        m_nPos = i;
        if (i >= m_nEnd)
            continue;

        uint32_t nLength = 0;
        uint16_t nId = LOG_ID_UNKNOWN;
        bool bBad = false;
        const uint8_t nForm = p[i] == LOG_SYNC_0                    ? LOG_SOURCE_BINARY
                              : m_nMode == LOG_SOURCE_BINEX_RECORDS ? LOG_SOURCE_BINEX
                                                                    : LOG_SOURCE_TEXT;
        const int r = nForm == LOG_SOURCE_TEXT    ? TryText(&nLength, &nId, &bBad)
                      : nForm == LOG_SOURCE_BINEX ? TryBinex(&nLength, &nId, &bBad)
                                                  : TryBinary(&nLength, &bBad);
        if (r < 0)
        {
            if (Refill())
                continue;
            if (m_bStopped)
                return false;
            if (bBad)
                ++m_Counts.nTruncatedLogs;
            ++m_nPos;
            continue;
        }
        if (r == 0)
        {
            if (bBad)
                ++m_Counts.nBadCrcLogs;
            ++m_nPos;
            continue;
        }
        pFrame->pData = m_Buffer.data() + m_nPos;
        pFrame->nLength = nLength;
        pFrame->nMessageId = nForm == LOG_SOURCE_BINARY ? ReadU16(pFrame->pData + 4) : nId;
        pFrame->nForm = nForm;
        m_nPos += nLength;
        ++m_Counts.nLogs;
        m_Counts.nLogBytes += nLength;
        return true;
    }
}

bool LogSourceRecord(const LogSourceFrame& frame, uint8_t* pDecoded, const uint8_t** ppLog, uint32_t* pLength)
{
    if (frame.nForm == LOG_SOURCE_BINARY)
    {
        *ppLog = frame.pData;
        *pLength = frame.nLength - LOG_CRC_LENGTH;
        return true;
    }
    int32_t nLength = 0;
    if (!DecodeLog(frame.pData, static_cast<int32_t>(frame.nLength), pDecoded, &nLength))
        return false;
    *ppLog = pDecoded;
    *pLength = static_cast<uint32_t>(nLength);
    return true;
}
