#include "monitor/parsing/binary_msg_parser.h"

#include <algorithm>
#include <cstring>

#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/parsing_log.h"

namespace
{
// Besides ASCII, the bytes the receivers' GB2312 texts use most.
constexpr uint8_t kUpperPrintable[] = {136, 140, 144, 148, 149, 152, 156, 157, 160, 164, 165, 168, 172, 173,
                                       228, 232, 236, 240, 244, 248, 249, 250, 251, 252, 253, 254, 255};

struct PRINTABLE_TABLE_T
{
    bool Printable[256];
};

constexpr PRINTABLE_TABLE_T MakePrintableTable()
{
    PRINTABLE_TABLE_T t{};
    t.Printable[8] = t.Printable[9] = t.Printable[10] = t.Printable[13] = true;
    for (int c = 32; c <= 126; ++c)
        t.Printable[c] = true;
    for (uint8_t c : kUpperPrintable)
        t.Printable[c] = true;
    return t;
}

constexpr PRINTABLE_TABLE_T kPrintable = MakePrintableTable();

// What the wrong-baud judgement reads as text: ASCII with tabs, backspace and
// line ends. The upper bytes the display also shows are left out: 248-255 are
// what a UART reads from a line four or more times faster than itself that
// pauses between its bytes.
constexpr bool IsTextByte(uint8_t c) { return (c >= 32 && c <= 126) || c == 8 || c == 9 || c == 10 || c == 13; }

// The top bit of each byte of w that is not 32-126 (IsTextByte but for the
// control characters, which end a fast step). Below the top bit, adding 0x60
// reaches it from 32 on and adding 1 from 127 on; a byte with the top bit set
// is marked by it, whatever the carries out of it do to the bytes above.
constexpr uint64_t NotPrintableAscii(uint64_t w)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kTopBits = 0x8080808080808080ull;
    return (w | ~(w + kOnes * 0x60) | (w + kOnes)) & kTopBits;
}

// The text bytes (IsTextByte) from p on, at most n, sixteen at a time where they allow.
uint32_t TextRun(const uint8_t* p, uint32_t n)
{
    uint32_t i = 0;
    for (;;)
    {
        uint64_t w[2];
        while (i + sizeof w <= n &&
               (std::memcpy(w, p + i, sizeof w), (NotPrintableAscii(w[0]) | NotPrintableAscii(w[1])) == 0))
            i += sizeof w;
        const uint32_t nEnd = std::min<uint32_t>(n, i + sizeof w);
        while (i < nEnd && IsTextByte(p[i]))
            ++i;
        if (i < nEnd || i >= n)
            return i;
    }
}

constexpr uint8_t kLongSync[4] = {LOG_SYNC_0, LOG_SYNC_1, LOG_SYNC_LONG, LOG_HEADER_LENGTH};
constexpr uint32_t kLengthEnd = 10; // a long header's length field ends here
constexpr uint32_t kLongestLog = LOG_HEADER_LENGTH + 0xFFFF + LOG_CRC_LENGTH;
// The framer takes no longer frame, so no longer tail of one arrives as text.
constexpr uint32_t kLongestTail = RING_CAPACITY;
} // namespace

QBinaryMsgParser::QBinaryMsgParser(QObject* pParent)
    : QRTCMParser(pParent), m_pText(new char[CONVERTED_TEXT_SIZE]), m_pHex(new uint8_t[HEX_AREA_SIZE]),
      m_pRecord(new uint8_t[LOG_RECORD_MAX]), m_pStreamText(new char[STREAM_TEXT_SIZE])
{
    m_pText[0] = '\0';
    m_pStreamText[0] = '\0';
    ResetRtcm3State(&m_RtcmState);
}

QBinaryMsgParser::~QBinaryMsgParser() = default;

bool QBinaryMsgParser::IsPrintable(uint8_t c) { return kPrintable.Printable[c]; }

inline void QBinaryMsgParser::FollowFrameHeader(uint8_t c)
{
    READABILITY_T& j = m_Judge;
    j.Recent[j.RecentCount++ & 15] = c;
    // The byte k places before the last one.
    auto Back = [&j](uint32_t k) { return j.Recent[(j.RecentCount - 1 - k) & 15]; };

    // An RTCM3 header the framer would take: the frame behind it failed its CRC-24Q.
    constexpr uint32_t kRtcmHead = 5;
    if (j.RecentCount >= kRtcmHead && Back(4) == RTCM3_SYNC)
    {
        const uint32_t nLength = Rtcm3HeaderLength(Back(3), Back(2), Back(1), Back(0));
        if (nLength != 0)
            j.Grace = std::max(j.Grace, nLength + RTCM3_OVERHEAD - kRtcmHead);
    }

    if (j.RecentCount < kLengthEnd)
        return;
    auto At = [&j](uint32_t k) { return j.Recent[(j.RecentCount - kLengthEnd + k) & 15]; };
    // At most one sync byte may be damaged: text almost never gets past here.
    if (At(0) != kLongSync[0] && At(1) != kLongSync[1])
        return;
    uint32_t nSync = 0;
    for (uint32_t k = 0; k < sizeof kLongSync; ++k)
        nSync += At(k) == kLongSync[k];
    if (nSync < sizeof kLongSync - 1)
        return;
    const uint32_t nTotal = LOG_HEADER_LENGTH + (At(8) | uint32_t{At(9)} << 8) + LOG_CRC_LENGTH;
    uint32_t nGrace;
    if (nSync == sizeof kLongSync)
        nGrace = kLongestLog; // the damaged byte may be the length itself
    else if (nTotal <= RING_CAPACITY)
        nGrace = nTotal; // one sync byte took the hit: the length holds
    else
        return;
    Readable();
    j.Grace = std::max(j.Grace, nGrace - kLengthEnd);
}

bool QBinaryMsgParser::SplitText(const uint8_t* pText, uint32_t nLength)
{
    if (bStreamText)
    {
        std::memcpy(m_pStreamText.get() + StreamTextLen, pText, nLength);
        StreamTextLen += nLength;
        m_pStreamText[StreamTextLen] = '\0';
    }
    READABILITY_T& j = m_Judge;
    for (uint32_t i = 0; i < nLength; ++i)
    {
        const uint8_t c = pText[i];
        if (j.Grace == 0 && j.Run >= READABLE_RUN && IsTextByte(c))
        {
            // Inside a line of ASCII text that already reads as text: the
            // rest of the run goes over as a whole, to the same state as byte
            // by byte (readable, no frame header among the recent bytes).
            const uint32_t n = 1 + TextRun(pText + i + 1, nLength - i - 1);
            std::memcpy(m_pText.get() + TextLen, pText + i, n);
            TextLen += n;
            j.Run += n;
            Readable();
            j.TextRun += n;
            for (uint32_t k = n > 16 ? n - 16 : 0; k < n; ++k)
                j.Recent[(j.RecentCount + k) & 15] = pText[i + k];
            j.RecentCount += n;
            i += n - 1;
            continue;
        }
        const bool bPrintable = kPrintable.Printable[c];
        if (bPrintable)
            m_pText[TextLen++] = static_cast<char>(c);
        else
            m_pHex[HexLen++] = c;
        const bool bText = IsTextByte(c);
        if (j.Grace != 0)
        {
            --j.Grace;
            j.Run = 0;
        }
        else if (bText && ++j.Run >= READABLE_RUN)
            Readable();
        else
        {
            ++j.SinceGood;
            if (!bText)
            {
                j.Run = 0;
                ++j.Unprintable;
            }
            if (j.SinceGood >= UNREADABLE_WINDOW)
            {
                if (!j.bVerdictHeld && j.Unprintable * 4 >= j.SinceGood)
                {
                    j.bVerdictHeld = true;
                    j.HeldText = 0;
                }
                j.SinceGood = j.Unprintable = 0;
            }
        }
        j.HeldText += j.bVerdictHeld;
        // No frame header lies within a run of ASCII text as long as a
        // header's sync and length: such a byte only joins the recent ones.
        j.TextRun = bText ? j.TextRun + 1 : 0;
        if (j.TextRun > kLengthEnd)
            j.Recent[j.RecentCount++ & 15] = c;
        else
            FollowFrameHeader(c);
    }
    m_pText[TextLen] = '\0';
    return j.bVerdictHeld && j.HeldText > kLongestTail;
}

uint32_t QBinaryMsgParser::BinaryLogToAscii(const uint8_t* pLog, uint32_t nLength, QRangeData* pStore, uint32_t bText,
                                            char* pOut, uint32_t nCapacity)
{
    uint32_t nRecord = 0;
    if (!BinaryLogToRecord(pLog, nLength, m_pRecord.get(), LOG_RECORD_MAX, &nRecord))
        return 0;
    if (pStore)
        pStore->StoreLogRecord(m_pRecord.get(), nRecord);
    // The text follows the port's store in which logs it knows.
    return bText ? BinaryRecordToText(m_pRecord.get(), pOut, nCapacity, pStore ? &pStore->LogTypes() : nullptr) : 0;
}

int QBinaryMsgParser::ParseData(QRangeData* pStore, uint32_t bText)
{
    m_pStore = pStore;
    m_bText = bText;
    qCDebug(lcBinaryMsg, "m_HexMsgLen %u", HexLen);
    // The view empties the areas by their lengths alone.
    m_pText[std::min<uint32_t>(TextLen, CONVERTED_TEXT_SIZE - 1)] = '\0';
    m_pStreamText[std::min<uint32_t>(StreamTextLen, STREAM_TEXT_SIZE - 1)] = '\0';
    for (;;)
    {
        if (!HasRoom())
            return Unparsed() != 0 ? PARSE_AREAS_FULL : PARSE_DONE;
        const int nResult = ExtractFrames(m_pBinaryArea.get(), &m_uBinaryLength, m_pTextArea.get(), &m_uTextLength,
                                          m_pRtcmArea.get(), &m_uRtcmLength);
        const bool bTooLong = SplitText(m_pTextArea.get(), m_uTextLength);
        if (m_uBinaryLength != 0 || m_uRtcmLength != 0)
        {
            // A frame ends whatever the text before it was part of; a text
            // that tripped a window was the rest of a log.
            Readable();
            m_Judge.Run = m_Judge.Grace = 0;
            m_Judge.RecentCount = 0;
            m_Judge.TextRun = 0;
        }
        if (ConvertMode == 3 && m_uBinaryLength != 0)
            TextLen += BinaryLogToAscii(m_pBinaryArea.get(), m_uBinaryLength, pStore, bText, m_pText.get() + TextLen,
                                        CONVERTED_TEXT_SIZE - TextLen);
        if (ConvertMode == 3 && m_uRtcmLength != 0 && bText != 0)
        {
            // The framing took the frame out for its good CRC-24Q.
            uint32_t n = 0;
            RTCM3Decode(&m_RtcmState, m_pRtcmArea.get(), m_uRtcmLength, m_pText.get() + TextLen,
                        CONVERTED_TEXT_SIZE - TextLen, &n, true);
            TextLen += n;
        }
        m_pText[TextLen] = '\0';
        // A held verdict stands once the text has run to the end of the bytes
        // received; a frame not yet complete, or a header not yet whole, is
        // waited for, however the bytes are batched.
        if (m_Judge.bVerdictHeld && (bTooLong || (nResult == EXTRACT_NO_FRAME && Unparsed() == 0)))
        {
            m_Judge.bVerdictHeld = false;
            bReadable = false;
            return PARSE_UNREADABLE;
        }
        if (nResult <= 0 && Waiting() == 0)
        {
            m_Ring.PendingParseCount = 0;
            return PARSE_DONE;
        }
    }
}

void QBinaryMsgParser::ParseBatch(const uint8_t* pData, uint32_t nLength, QRangeData* pStore, uint32_t bText,
                                  const AreaSink& Sink)
{
    if (pData == nullptr && nLength != 0)
        return;
    // What does not fit into the ring is read from the batch itself as the
    // ring makes room; only what this call leaves is copied to wait.
    AppendBorrowed(pData, nLength);
    for (int nResult; (nResult = ParseData(pStore, bText)) != PARSE_DONE;)
    {
        Sink(*this);
        if (nResult == PARSE_AREAS_FULL && !HasRoom())
        {
            KeepBorrowed(); // the sink kept the areas: the rest waits for the next call
            return;
        }
    }
    KeepBorrowed();
    if (TextLen != 0 || HexLen != 0 || StreamTextLen != 0 || !bReadable)
        Sink(*this);
}

bool QBinaryMsgParser::HasRoom() const
{
    // The areas stay NUL-terminated behind the longest text of one extraction.
    return CONVERTED_TEXT_SIZE - TextLen > CONVERT_RESERVE && HEX_AREA_SIZE - HexLen >= FRAME_AREA_SIZE &&
           STREAM_TEXT_SIZE - StreamTextLen > FRAME_AREA_SIZE;
}

void QBinaryMsgParser::ParseRing() { ParseData(m_pStore, m_bText); }
