#include "monitor/parsing/frame_extractor.h"

#include <algorithm>
#include <cstring>

#include "codec/crc.h"
#include "codec/log_format.h"
#include "monitor/parsing/parsing_log.h"

namespace
{
// The bytes from p on that cannot start a frame: up to the first sync byte.
// Both sync bytes have their top bit set and text seldom has, so eight bytes
// at a time are passed over while none of them has it.
uint32_t PlainRun(const uint8_t* p, uint32_t n)
{
    constexpr uint64_t kTopBits = 0x8080808080808080ull;
    uint32_t i = 0;
    for (;;)
    {
        uint64_t w;
        while (i + sizeof w <= n && (std::memcpy(&w, p + i, sizeof w), (w & kTopBits) == 0))
            i += sizeof w;
        const uint32_t nEnd = std::min<uint32_t>(n, i + sizeof w);
        for (; i < nEnd; ++i)
            if (p[i] == RTCM3_SYNC || p[i] == LOG_SYNC_0)
                return i;
        if (i >= n)
            return n;
    }
}
} // namespace

void InitRing(RING_BUFFER_T* pRing, uint32_t nSize, uint8_t* pStorage)
{
    Q_ASSERT(nSize != 0 && (nSize & (nSize - 1)) == 0);
    std::memset(pRing, 0, sizeof *pRing);
    pRing->Size = nSize;
    pRing->pBuffer = pStorage;
    pRing->ParseThreshold = RING_PARSE_THRESHOLD;
}

uint32_t RingUnread(const RING_BUFFER_T* pRing) { return (pRing->WritePos - pRing->ReadPos) & (pRing->Size - 1); }

uint32_t RingFree(const RING_BUFFER_T* pRing) { return pRing->Size - 1 - RingUnread(pRing); }

uint32_t PeekRing(const RING_BUFFER_T* pRing, uint32_t nOffset, uint8_t* pOut, uint32_t nLength)
{
    const uint32_t nUnread = RingUnread(pRing);
    if (nOffset >= nUnread)
        return 0;
    const uint32_t n = std::min(nLength, nUnread - nOffset);
    const uint32_t nStart = (pRing->ReadPos + nOffset) & (pRing->Size - 1);
    const uint32_t nFirst = std::min(n, pRing->Size - nStart);
    std::memcpy(pOut, pRing->pBuffer + nStart, nFirst);
    std::memcpy(pOut + nFirst, pRing->pBuffer, n - nFirst);
    return n;
}

void ConsumeRing(RING_BUFFER_T* pRing, uint32_t nLength)
{
    const uint32_t nUnread = RingUnread(pRing);
    if (nLength > nUnread)
    {
        pRing->OverrunFlag |= 1u;
        qCWarning(lcParsing, "CB ERR UnderFLOW %u %u %x %x", pRing->ReadWraps, pRing->WriteWraps, pRing->ReadPos,
                  pRing->WritePos);
        nLength = nUnread;
    }
    const uint32_t nNext = pRing->ReadPos + nLength;
    if (nNext >= pRing->Size)
        ++pRing->ReadWraps;
    pRing->ReadPos = nNext & (pRing->Size - 1);
}

QRTCMParser::QRTCMParser(QObject* pParent)
    : QObject(pParent), m_pRingStorage(new uint8_t[RING_SIZE]), m_pBinaryArea(new uint8_t[FRAME_AREA_SIZE]),
      m_pTextArea(new uint8_t[FRAME_AREA_SIZE]), m_pRtcmArea(new uint8_t[FRAME_AREA_SIZE])
{
    InitRing(&m_Ring, RING_SIZE, m_pRingStorage.get());
    m_pBinaryArea[0] = m_pTextArea[0] = m_pRtcmArea[0] = 0;
}

QRTCMParser::~QRTCMParser() = default;

int QRTCMParser::AppendData(const uint8_t* pData, uint32_t nLength)
{
    if (nLength == 0)
        return 0;
    if (pData == nullptr)
        return -1;
    const uint32_t nUnread = RingUnread(&m_Ring);
    // Bytes already waiting go first: the order of the stream is kept.
    const uint32_t nRing = Waiting() != 0 ? 0 : std::min(nLength, RingFree(&m_Ring));
    WriteRing(pData, nRing);
    if (nRing < nLength)
        m_Waiting.insert(m_Waiting.end(), pData + nRing, pData + nLength);
    if (uint64_t{nUnread} + nLength > m_Ring.ParseThreshold)
        ++m_Ring.PendingParseCount;
    return nRing < nLength ? 1 : 0;
}

void QRTCMParser::WriteRing(const uint8_t* pData, uint32_t nLength)
{
    if (nLength == 0)
        return;
    const uint32_t nStart = m_Ring.WritePos;
    const uint32_t nFirst = std::min(nLength, m_Ring.Size - nStart);
    std::memcpy(m_Ring.pBuffer + nStart, pData, nFirst);
    std::memcpy(m_Ring.pBuffer, pData + nFirst, nLength - nFirst);
    if (nStart + nLength >= m_Ring.Size)
        ++m_Ring.WriteWraps;
    m_Ring.WritePos = (nStart + nLength) & (m_Ring.Size - 1);
}

void QRTCMParser::AppendBorrowed(const uint8_t* pData, uint32_t nLength)
{
    if (nLength == 0 || pData == nullptr)
        return;
    KeepBorrowed();
    const uint32_t nUnread = RingUnread(&m_Ring);
    const uint32_t nRing = Waiting() != 0 ? 0 : std::min(nLength, RingFree(&m_Ring));
    WriteRing(pData, nRing);
    m_pBorrowed = pData;
    m_nBorrowed = nLength;
    m_nBorrowedRead = nRing;
    if (uint64_t{nUnread} + nLength > m_Ring.ParseThreshold)
        ++m_Ring.PendingParseCount;
}

void QRTCMParser::KeepBorrowed()
{
    if (m_nBorrowedRead < m_nBorrowed)
        m_Waiting.insert(m_Waiting.end(), m_pBorrowed + m_nBorrowedRead, m_pBorrowed + m_nBorrowed);
    m_pBorrowed = nullptr;
    m_nBorrowed = m_nBorrowedRead = 0;
}

void QRTCMParser::FillRing()
{
    if (m_nWaitingRead < m_Waiting.size())
    {
        const uint32_t n =
            static_cast<uint32_t>(std::min<uint64_t>(m_Waiting.size() - m_nWaitingRead, RingFree(&m_Ring)));
        WriteRing(m_Waiting.data() + m_nWaitingRead, n);
        m_nWaitingRead += n;
        if (m_nWaitingRead == m_Waiting.size())
        {
            // Let go: only a batch the parse could not finish waits here.
            std::vector<uint8_t>().swap(m_Waiting);
            m_nWaitingRead = 0;
        }
        else if (m_nWaitingRead >= RING_SIZE && m_nWaitingRead >= m_Waiting.size() / 2)
        {
            m_Waiting.erase(m_Waiting.begin(), m_Waiting.begin() + static_cast<std::ptrdiff_t>(m_nWaitingRead));
            m_nWaitingRead = 0;
        }
    }
    if (m_nWaitingRead == m_Waiting.size() && m_nBorrowedRead < m_nBorrowed)
    {
        const uint32_t n = std::min(m_nBorrowed - m_nBorrowedRead, RingFree(&m_Ring));
        WriteRing(m_pBorrowed + m_nBorrowedRead, n);
        m_nBorrowedRead += n;
    }
}

QRTCMParser::CANDIDATE_E QRTCMParser::TryRtcm(uint32_t nAt, uint32_t nAvail, uint8_t* pOut, uint32_t* pTotal)
{
    const uint32_t nHave = nAvail - nAt;
    if (nHave >= 2 && !Rtcm3ReservedClear(At(nAt + 1)))
        return CANDIDATE_TEXT;
    if (nHave < 5)
        return CANDIDATE_SHORT;
    const uint32_t nLength = Rtcm3HeaderLength(At(nAt + 1), At(nAt + 2), At(nAt + 3), At(nAt + 4));
    if (nLength == 0)
        return CANDIDATE_TEXT;
    const uint32_t nTotal = nLength + RTCM3_OVERHEAD;
    m_Ring.LastFrameLength = nLength;
    if (nHave < nTotal)
        return CANDIDATE_WAIT;
    PeekRing(&m_Ring, nAt, pOut, nTotal);
    if (!Crc24qCheck(pOut, nTotal))
        return CANDIDATE_TEXT;
    *pTotal = nTotal;
    return CANDIDATE_FRAME;
}

QRTCMParser::CANDIDATE_E QRTCMParser::TryBinary(uint32_t nAt, uint32_t nAvail, uint8_t* pOut, uint32_t* pTotal)
{
    const uint32_t nHave = nAvail - nAt;
    if (nHave >= 2 && At(nAt + 1) != LOG_SYNC_1)
        return CANDIDATE_TEXT;
    if (nHave < 3)
        return CANDIDATE_SHORT;
    const uint8_t uKind = At(nAt + 2);
    uint32_t nTotal;
    if (uKind == LOG_SYNC_LONG)
    {
        if (nHave >= 4 && At(nAt + 3) != LOG_HEADER_LENGTH)
            return CANDIDATE_TEXT;
        if (nHave < 10)
            return CANDIDATE_SHORT;
        const uint32_t nLength = At(nAt + 8) | (uint32_t(At(nAt + 9)) << 8);
        nTotal = LOG_HEADER_LENGTH + nLength + LOG_CRC_LENGTH;
        // A log larger than the ring could never complete: waiting for it
        // would only hold back the bytes behind it.
        if (nTotal > RING_CAPACITY)
            return CANDIDATE_TEXT;
        m_Ring.LastFrameLength = nLength;
    }
    else if (uKind == LOG_SYNC_SHORT)
    {
        if (nHave < 4)
            return CANDIDATE_SHORT;
        const uint32_t nLength = At(nAt + 3);
        nTotal = SHORT_LOG_HEADER_LENGTH + nLength + LOG_CRC_LENGTH;
        m_Ring.LastFrameLength = nLength;
    }
    else
        return CANDIDATE_TEXT;
    if (nHave < nTotal)
        return CANDIDATE_WAIT;
    PeekRing(&m_Ring, nAt, pOut, nTotal);
    uint32_t uCrc;
    std::memcpy(&uCrc, pOut + nTotal - LOG_CRC_LENGTH, sizeof uCrc);
    if (Crc32Compute(pOut, static_cast<int32_t>(nTotal - LOG_CRC_LENGTH)) != uCrc)
        return CANDIDATE_TEXT;
    *pTotal = nTotal;
    return CANDIDATE_FRAME;
}

int QRTCMParser::ExtractFrames(uint8_t* pBinary, uint32_t* pBinaryLength, uint8_t* pText, uint32_t* pTextLength,
                               uint8_t* pRtcm, uint32_t* pRtcmLength)
{
    *pBinaryLength = *pTextLength = *pRtcmLength = 0;
    FillRing();
    const uint32_t nAvail = RingUnread(&m_Ring);
    uint32_t i = 0;
    while (i < nAvail)
    {
        // Runs of plain text are copied in one go, up to the next sync byte.
        const uint32_t nStart = (m_Ring.ReadPos + i) & (m_Ring.Size - 1);
        const uint32_t nSpan = std::min(nAvail - i, m_Ring.Size - nStart);
        const uint8_t* pSpan = m_Ring.pBuffer + nStart;
        const uint32_t nPlain = PlainRun(pSpan, nSpan);
        if (nPlain != 0)
        {
            std::memcpy(pText + *pTextLength, pSpan, nPlain);
            *pTextLength += nPlain;
            i += nPlain;
            continue;
        }
        uint32_t nTotal = 0;
        const bool bRtcm = pSpan[0] == RTCM3_SYNC;
        const CANDIDATE_E eKind = bRtcm ? TryRtcm(i, nAvail, pRtcm, &nTotal) : TryBinary(i, nAvail, pBinary, &nTotal);
        if (eKind == CANDIDATE_TEXT)
        {
            pText[(*pTextLength)++] = pSpan[0];
            ++i;
            continue;
        }
        // Text in front of the candidate is handed out now and not scanned again.
        if (eKind != CANDIDATE_FRAME)
        {
            ConsumeRing(&m_Ring, i);
            return eKind;
        }
        ConsumeRing(&m_Ring, i + nTotal);
        (bRtcm ? *pRtcmLength : *pBinaryLength) = nTotal;
        return static_cast<int>(i + nTotal);
    }
    ConsumeRing(&m_Ring, nAvail);
    return EXTRACT_NO_FRAME;
}

void QRTCMParser::FeedData(const uint8_t* pData, uint32_t nLength)
{
    if (AppendData(pData, nLength) >= 0)
        ParseRing();
}

void QRTCMParser::ParseRing()
{
    for (;;)
    {
        const int nResult = ExtractFrames(m_pBinaryArea.get(), &m_uBinaryLength, m_pTextArea.get(), &m_uTextLength,
                                          m_pRtcmArea.get(), &m_uRtcmLength);
        if (m_uTextLength != 0)
            HandleText(m_pTextArea.get(), m_uTextLength);
        if (m_uBinaryLength != 0)
            HandleBinaryLog(m_pBinaryArea.get(), m_uBinaryLength);
        if (m_uRtcmLength != 0)
            HandleRtcmFrame(m_pRtcmArea.get(), m_uRtcmLength);
        // A call that took no frame has made room for the bytes still waiting.
        if (nResult <= 0 && Waiting() == 0)
            break;
    }
    m_Ring.PendingParseCount = 0;
}

void QRTCMParser::HandleText(const uint8_t*, uint32_t) {}
void QRTCMParser::HandleBinaryLog(const uint8_t*, uint32_t) {}
void QRTCMParser::HandleRtcmFrame(const uint8_t*, uint32_t) {}
