#include "monitor/parsing/binary_msg_parser.h"

#include <QLoggingCategory>
#include <algorithm>

#include "monitor/parsing/latest_log_store.h"

Q_LOGGING_CATEGORY(lcBinaryMsg, "zv.parsing.binary", QtInfoMsg)

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

// A pass that hands out this much text and no frame, with a printable run
// shorter than the next value, reads as a wrong baud rate.
constexpr uint32_t UNREADABLE_TEXT_MIN = 11;
constexpr uint32_t READABLE_RUN_MIN = 10;
} // namespace

QBinaryMsgParser::QBinaryMsgParser(QObject* pParent)
    : QRTCMParser(pParent), m_pText(new char[CONVERTED_TEXT_SIZE]), m_pHex(new uint8_t[HEX_AREA_SIZE]),
      m_pRecord(new uint8_t[LOG_RECORD_MAX])
{
    m_pText[0] = '\0';
    ResetRtcm3State(&m_RtcmState);
}

QBinaryMsgParser::~QBinaryMsgParser() = default;

bool QBinaryMsgParser::IsPrintable(uint8_t c) { return kPrintable.Printable[c]; }

void QBinaryMsgParser::SplitText(const uint8_t* pText, uint32_t nLength, uint32_t* pRun)
{
    bool bPrevPrintable = false;
    for (uint32_t i = 0; i < nLength; ++i)
    {
        const uint8_t c = pText[i];
        if (kPrintable.Printable[c])
        {
            m_pText[TextLen++] = static_cast<char>(c);
            // The run restarts at the first printable byte after a non-printable one.
            if (*pRun == 0 || bPrevPrintable)
                ++*pRun;
            else
                *pRun = 0;
            bPrevPrintable = true;
        }
        else
        {
            m_pHex[HexLen++] = c;
            bPrevPrintable = false;
        }
    }
    m_pText[TextLen] = '\0';
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
    for (;;)
    {
        if (!HasRoom())
            return RingUnread(&m_Ring) != 0 ? PARSE_AREAS_FULL : PARSE_DONE;
        const int nResult = ExtractFrames(m_pBinaryArea.get(), &m_uBinaryLength, m_pTextArea.get(), &m_uTextLength,
                                          m_pRtcmArea.get(), &m_uRtcmLength);
        uint32_t nRun = 0;
        SplitText(m_pTextArea.get(), m_uTextLength, &nRun);
        if (m_uTextLength >= UNREADABLE_TEXT_MIN && m_uBinaryLength == 0 && m_uRtcmLength == 0 &&
            nRun < READABLE_RUN_MIN)
        {
            bReadable = false;
            return PARSE_UNREADABLE;
        }
        if (ConvertMode == 3 && m_uBinaryLength != 0)
            TextLen += BinaryLogToAscii(m_pBinaryArea.get(), m_uBinaryLength, pStore, bText, m_pText.get() + TextLen,
                                        CONVERTED_TEXT_SIZE - TextLen);
        if (ConvertMode == 3 && m_uRtcmLength != 0)
        {
            uint32_t n = 0;
            RTCM3Decode(&m_RtcmState, m_pRtcmArea.get(), m_uRtcmLength, m_pText.get() + TextLen,
                        CONVERTED_TEXT_SIZE - TextLen, &n);
            TextLen += n;
        }
        m_pText[TextLen] = '\0';
        if (nResult <= 0)
        {
            m_Ring.PendingParseCount = 0;
            return PARSE_DONE;
        }
    }
}

void QBinaryMsgParser::ParseBatch(const uint8_t* pData, uint32_t nLength, QRangeData* pStore, uint32_t bText,
                                  const AreaSink& Sink)
{
    if (!pData)
        return;
    for (;;)
    {
        // After a finished parse at most one incomplete frame stays unread.
        const uint32_t nPiece = std::min(nLength, std::max<uint32_t>(RingFree(&m_Ring), 1));
        AppendData(pData, nPiece);
        pData += nPiece;
        nLength -= nPiece;
        for (int nResult; (nResult = ParseData(pStore, bText)) != PARSE_DONE;)
        {
            Sink(*this);
            if (nResult == PARSE_AREAS_FULL && !HasRoom())
                break; // the sink kept the areas: nothing more fits
        }
        if (nLength == 0)
            return;
    }
}

bool QBinaryMsgParser::HasRoom() const
{
    // The areas stay NUL-terminated behind the longest text of one extraction.
    return CONVERTED_TEXT_SIZE - TextLen > CONVERT_RESERVE && HEX_AREA_SIZE - HexLen >= FRAME_AREA_SIZE;
}

void QBinaryMsgParser::ParseRing() { ParseData(m_pStore, m_bText); }
