#include "monitor/parsing/port_receiver.h"

#include <algorithm>
#include <array>

#include "monitor/parsing/binary_msg_parser.h"
#include "monitor/parsing/latest_log_store.h"
#include "monitor/parsing/pos_data_parser.h"
#include "monitor/parsing/status_msg_parser.h"

namespace
{
const char kNvmDumpDone[] = "==NMV Dump Complete! ";
const char kRescueReady[] = "CCCC";
} // namespace

CPortReceiver::CPortReceiver(QObject* pParent)
    : QObject(pParent), m_pStore(new QRangeData(this)), m_pRtcmParser(new QRTCMParser(this)),
      m_pBinaryParser(new QBinaryMsgParser(this)), m_pStatusParser(new QStatusMsgParser(this))
{
}

CPortReceiver::~CPortReceiver() = default;

void CPortReceiver::Show(const char* pText, int nLength, qint64 nBytes)
{
    if (nLength <= 0 || !m_bFormat || !m_fnShow)
        return;
    if (m_nShowRoom >= 0 && nLength > m_nShowRoom)
    {
        // Nothing after it is shown either, so that what is shown has no gap.
        m_nShowRoom = 0;
        m_BatchNotShown += static_cast<quint64>(std::max<qint64>(nBytes, 0));
        return;
    }
    m_fnShow(pText, nLength);
    if (m_nShowRoom >= 0)
        m_nShowRoom -= nLength;
}

void CPortReceiver::ShowHex(const char* pBytes, int nLength)
{
    if (nLength <= 0 || !m_bFormat || !m_fnShow)
        return;
    // HexText's length, known before it is made: a flood's hex is never made only to be dropped.
    const qint64 nText = qint64{nLength} * 3 + nLength / 64 * 2 + 2;
    if (m_nShowRoom >= 0 && nText > m_nShowRoom)
    {
        m_nShowRoom = 0;
        m_BatchNotShown += static_cast<quint64>(nLength);
        return;
    }
    Show(HexText(QByteArray::fromRawData(pBytes, nLength)), nLength);
}

void CPortReceiver::ResetAuto()
{
    m_StoreData.clear();
    m_nAutoWindow = m_nAutoUnprintable = 0;
    m_AutoMode = READ_ASCII;
    m_bAutoDecided = false;
    m_sAutoResult.clear();
}

void CPortReceiver::Receive(const QByteArray& Whole, const BATCH_T& How)
{
    const QByteArray Batch = Whole.size() > BATCH_READ_MAX ? Whole.left(BATCH_READ_MAX) : Whole;
    m_BatchSkipped = How.Skipped + static_cast<quint64>(Whole.size() - Batch.size());
    m_SkippedBytes += m_BatchSkipped;
    m_BatchNotShown = 0;
    m_nShowRoom = How.nShowRoom;
    // The bytes themselves are kept only until Auto's first decision (they
    // may be read again then); after it, Auto counts them.
    m_nAutoWindow += Batch.size();
    if (!m_bAutoDecided)
        m_StoreData.append(Batch);
    m_LastData = Batch;
    if (m_fnSample)
        m_fnSample(Batch);
    const bool bCurrent = How.pPosParser != nullptr && !How.bStable;
    // A watched port's fix is read from its text whichever tab is in sight.
    m_bKeepTexts = bCurrent || m_pFixWatch != nullptr;
    m_bFormat = How.bFormat;

    // The text the position parser and the message filter get: the batch, or
    // what the binary-to-text reading made of it.
    QByteArray Text = Batch;
    QByteArray StreamText = Batch;
    if (How.bShow)
    {
        switch (How.Mode)
        {
        case READ_HEX:
            m_sReadMode = QStringLiteral("Hex");
            ShowHex(Batch.constData(), Batch.size());
            m_sAutoResult.clear();
            break;
        case READ_ASCII:
            m_sReadMode = QStringLiteral("ASCII");
            ReadAscii(Batch);
            m_sAutoResult.clear();
            break;
        case READ_BIN_2_ASCII:
            m_sReadMode = QStringLiteral("BIN_2_ASCII");
            m_sAutoResult.clear();
            Text = Bin2Ascii(Batch, How.Mode);
            StreamText = m_StreamText;
            break;
        case READ_AUTO:
        {
            m_sReadMode = QStringLiteral("Auto Detection");
            ++m_AutoUpdateCount;
            // Once the window holds enough for binary, its decision is known.
            if (m_nAutoUnprintable < AUTO_BINARY_COUNT)
                CountForAuto(Batch);
            bool bReadAgain = false;
            if (m_nAutoWindow > AUTO_STORE_BYTES || Batch.size() >= AUTO_BATCH_BYTES)
                bReadAgain = AutoDecide(false);
            else if (!m_bAutoDecided)
                bReadAgain = AutoDecide(true);
            if (bReadAgain)
            {
                // The bytes before this batch were read as text; their binary
                // logs are kept and shown now. The status parser has read them.
                emit SignalAutoReadAgain();
                const QByteArray Before = m_StoreData.left(m_StoreData.size() - Batch.size());
                m_bReplay = true;
                const bool bKeep = m_bKeepTexts;
                m_bKeepTexts = false;
                Bin2Ascii(Before, How.Mode);
                m_StreamText.clear();
                m_bKeepTexts = bKeep;
                m_bReplay = false;
            }
            if (m_AutoMode == READ_ASCII)
                ReadAscii(Batch);
            else if (m_AutoMode == READ_BIN_2_ASCII)
            {
                Text = Bin2Ascii(Batch, How.Mode);
                StreamText = m_StreamText;
            }
            else
                ShowHex(Batch.constData(), Batch.size());
            break;
        }
        default:
            break;
        }
    }
    m_StreamText.clear();

    if (!How.bStable)
    {
        if (NvmDumpDone(Text))
        {
            m_bNvmDump = false;
            emit SignalNVMComplete();
        }
        if (m_bRescueModem)
        {
            const QByteArray Seen = m_RescueTail + Batch;
            m_RescueTail = Seen.right(3);
            if (Seen.contains(kRescueReady))
            {
                m_bRescueModem = false;
                m_RescueTail.clear();
                emit SignalRescueModemReady();
            }
        }
        if (m_pFixWatch)
            m_pFixWatch->Feed(StreamText.constData(), StreamText.size(), m_pStore);
        if (bCurrent)
        {
            How.pPosParser->ParsePosData(StreamText.constData(), StreamText.size(), &How.pPosParser->m_PosData,
                                         m_pStore);
            // The text position logs it stored were read from the text above.
            if (m_pFixWatch && m_pStore)
                m_pFixWatch->SkipStore(m_pStore);
            emit SignalUpdateOutMsg(Text);
        }
    }
    if (m_nAutoWindow > AUTO_STORE_BYTES)
    {
        m_StoreData.clear();
        m_nAutoWindow = m_nAutoUnprintable = 0;
    }
}

void CPortReceiver::WatchFix(bool bOn)
{
    if (!bOn)
        m_pFixWatch.reset();
    else if (!m_pFixWatch)
        m_pFixWatch = std::make_unique<CPortFixWatch>();
}

bool CPortReceiver::NvmDumpDone(const QByteArray& Text)
{
    if (!m_bNvmDump)
    {
        m_NvmTail.clear();
        return false;
    }
    // The line may arrive split over two batches: the end of the previous
    // batch is searched together with the start of this one.
    constexpr int nKeep = static_cast<int>(sizeof kNvmDumpDone) - 2;
    const bool bDone = (m_NvmTail + Text.left(nKeep)).contains(kNvmDumpDone) || Text.contains(kNvmDumpDone);
    if (bDone)
        m_NvmTail.clear();
    else
        m_NvmTail = Text.size() >= nKeep ? Text.right(nKeep) : (m_NvmTail + Text).right(nKeep);
    return bDone;
}

void CPortReceiver::CountForAuto(const QByteArray& Batch)
{
    static const auto kUnprintable = []
    {
        std::array<uint8_t, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<size_t>(c)] = !QBinaryMsgParser::IsPrintable(static_cast<uint8_t>(c));
        return t;
    }();
    // Counting stops where the window holds enough for binary.
    const char* p = Batch.constData();
    const char* const pEnd = p + Batch.size();
    while (p < pEnd && m_nAutoUnprintable < AUTO_BINARY_COUNT)
    {
        const char* const pStop = std::min(pEnd, p + 4096);
        int n = 0;
        for (; p < pStop; ++p)
            n += kUnprintable[static_cast<uint8_t>(*p)];
        m_nAutoUnprintable += n;
    }
}

bool CPortReceiver::AutoDecide(bool bFirstOnly)
{
    const bool bBinary = m_nAutoUnprintable >= AUTO_BINARY_COUNT;
    // Before the first decision binary bytes decide at once; text waits for
    // the whole window.
    if (bFirstOnly && !bBinary)
        return false;
    // The bytes before are read again only when they were read as text.
    const bool bFirst = !m_bAutoDecided && m_AutoMode == READ_ASCII;
    m_AutoMode = bBinary ? READ_BIN_2_ASCII : READ_ASCII;
    m_sAutoResult = bBinary ? QStringLiteral("BIN_2_ASCII") : QStringLiteral("ASCII");
    m_bAutoDecided = true;
    return bFirst && bBinary;
}

void CPortReceiver::ReadAscii(const QByteArray& Batch)
{
    m_pStatusParser->ParseStatusMsg(Batch);
    // A zero byte would end the text here; the bytes after it are shown too.
    if (!Batch.contains('\0'))
    {
        Show(Batch, Batch.size());
        return;
    }
    QByteArray Text = Batch;
    Text.replace('\0', QByteArray());
    Show(Text, Batch.size());
}

QByteArray CPortReceiver::HexText(const QByteArray& Bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(Bytes.size() * 3 + Bytes.size() / 32 + 2);
    for (int i = 0; i < Bytes.size(); ++i)
    {
        const auto b = static_cast<uint8_t>(Bytes[i]);
        out.append(kDigits[b >> 4]).append(kDigits[b & 15]).append(' ');
        if (i % 64 == 63)
            out.append("\r\n");
    }
    out.append("\r\n");
    return out;
}

QByteArray CPortReceiver::Bin2Ascii(const QByteArray& Batch, uint32_t Mode)
{
    QByteArray Converted;
    // The texts are kept for the position parser and the message filter of
    // the current port and for the NVM dump marker; other ports need none.
    const bool bKeep = m_bKeepTexts || m_bNvmDump;
    // The received bytes each take of the areas stands for: those the parser
    // has handed out since the take before (the bytes it still holds from the
    // batch before included).
    const uint64_t nIn = m_pBinaryParser->Unparsed() + static_cast<uint64_t>(Batch.size());
    uint64_t nTaken = 0;
    auto takeAreas = [this, &Converted, bKeep, Mode, nIn, &nTaken](QBinaryMsgParser& p)
    {
        const uint64_t nDone = nIn - std::min(nIn, p.Unparsed());
        const qint64 nBytes = static_cast<qint64>(nDone - std::min(nDone, nTaken));
        nTaken = std::max(nTaken, nDone);
        const bool bHex = p.HexLen > 0 && Mode == READ_AUTO && m_bFormat;
        if (!p.bReadable)
            emit SignalUnreadable();
        if (p.TextLen > 0)
        {
            const char* pText = p.TextArea();
            Show(pText, static_cast<int>(p.TextLen), nBytes - (bHex ? qint64{p.HexLen} : 0));
            if (!m_bReplay)
                m_pStatusParser->ParseStatusMsg(pText, static_cast<int>(p.TextLen));
            if (bKeep)
                Converted.append(pText, static_cast<int>(p.TextLen));
        }
        if (bHex)
        {
            if (m_fnShowHex)
                m_fnShowHex(p.HexArea(), static_cast<int>(p.HexLen));
            else
                ShowHex(reinterpret_cast<const char*>(p.HexArea()), static_cast<int>(p.HexLen));
        }
        if (bKeep)
            m_StreamText.append(p.StreamTextArea(), static_cast<int>(p.StreamTextLen));
        p.TextLen = p.HexLen = p.StreamTextLen = 0;
    };
    m_pBinaryParser->bStreamText = bKeep;
    m_pBinaryParser->ParseBatch(reinterpret_cast<const uint8_t*>(Batch.constData()),
                                static_cast<uint32_t>(Batch.size()), m_pStore, m_bFormat ? 1 : 0, takeAreas);
    return Converted;
}
