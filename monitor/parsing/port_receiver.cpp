#include "monitor/parsing/port_receiver.h"

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

void CPortReceiver::Show(const char* pText, int nLength)
{
    if (nLength > 0 && m_fnShow)
        m_fnShow(pText, nLength);
}

void CPortReceiver::Receive(const QByteArray& Batch, const BATCH_T& How)
{
    m_StoreData.append(Batch);
    m_LastData = Batch;
    if (m_fnSample)
        m_fnSample(Batch);
    const bool bCurrent = How.pPosParser != nullptr && !How.bStable;
    m_bKeepTexts = bCurrent;

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
            Show(HexText(Batch));
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
            m_sReadMode = QStringLiteral("Auto Detection");
            ++m_AutoUpdateCount;
            if (m_StoreData.size() > AUTO_STORE_BYTES || Batch.size() >= AUTO_BATCH_BYTES)
                AutoDecide();
            if (m_AutoMode == READ_ASCII)
                ReadAscii(Batch);
            else if (m_AutoMode == READ_BIN_2_ASCII)
            {
                Text = Bin2Ascii(Batch, How.Mode);
                StreamText = m_StreamText;
            }
            else
                Show(HexText(Batch));
            break;
        default:
            break;
        }
    }
    m_StreamText.clear();

    if (!How.bStable)
    {
        if (m_bNvmDump && Text.contains(kNvmDumpDone))
        {
            m_bNvmDump = false;
            emit SignalNVMComplete();
        }
        if (m_bRescueModem && m_StoreData.contains(kRescueReady))
        {
            m_bRescueModem = false;
            emit SignalRescueModemReady();
        }
        if (bCurrent)
        {
            How.pPosParser->ParsePosData(StreamText.constData(), StreamText.size(), &How.pPosParser->m_PosData,
                                         m_pStore);
            emit SignalUpdateOutMsg(Text);
        }
    }
    if (m_StoreData.size() > AUTO_STORE_BYTES)
    {
        qDebug("Clear StoreData");
        m_StoreData.clear();
    }
}

void CPortReceiver::AutoDecide()
{
    int nBinary = 0;
    for (char c : qAsConst(m_StoreData))
        nBinary += !QBinaryMsgParser::IsPrintable(static_cast<uint8_t>(c));
    if (nBinary >= AUTO_BINARY_COUNT)
    {
        m_AutoMode = READ_BIN_2_ASCII;
        m_sAutoResult = QStringLiteral("BIN_2_ASCII");
    }
    else
    {
        m_AutoMode = READ_ASCII;
        m_sAutoResult = QStringLiteral("ASCII");
    }
    m_bAutoDecided = true;
}

void CPortReceiver::ReadAscii(const QByteArray& Batch)
{
    m_pStatusParser->ParseStatusMsg(Batch);
    // A zero byte would end the text here; the bytes after it are shown too.
    if (!Batch.contains('\0'))
    {
        Show(Batch);
        return;
    }
    QByteArray Text = Batch;
    Text.replace('\0', QByteArray());
    Show(Text);
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
    auto takeAreas = [this, &Converted, bKeep, Mode](QBinaryMsgParser& p)
    {
        if (!p.bReadable)
            emit SignalUnreadable();
        if (p.TextLen > 0)
        {
            const char* pText = p.TextArea();
            Show(pText, static_cast<int>(p.TextLen));
            m_pStatusParser->ParseStatusMsg(pText, static_cast<int>(p.TextLen));
            if (bKeep)
                Converted.append(pText, static_cast<int>(p.TextLen));
        }
        if (p.HexLen > 0 && Mode == READ_AUTO)
        {
            if (m_fnShowHex)
                m_fnShowHex(p.HexArea(), static_cast<int>(p.HexLen));
            else
                Show(HexText(QByteArray::fromRawData(reinterpret_cast<const char*>(p.HexArea()),
                                                     static_cast<int>(p.HexLen))));
        }
        if (bKeep)
            m_StreamText.append(p.StreamTextArea(), static_cast<int>(p.StreamTextLen));
        p.TextLen = p.HexLen = p.StreamTextLen = 0;
    };
    m_pBinaryParser->ParseBatch(reinterpret_cast<const uint8_t*>(Batch.constData()),
                                static_cast<uint32_t>(Batch.size()), m_pStore, 1, takeAreas);
    return Converted;
}
