#include "monitor/parsing/status_msg_parser.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <memory>

#include "codec/log_format.h"
#include "monitor/parsing/pos_data_parser.h"

namespace
{
struct QUERY_ROW_T
{
    uint Bit;
    const char* pCommand;   // null: the bit sends nothing
    const char* pDebugName; // null: not listed by MaskDescription
};

// Bit order: the order commands are sent and replies are looked for.
constexpr QUERY_ROW_T kQueries[] = {
    {STATUS_MSG_USERCONFIG, "USERCONFIG", "USERCONFIG Enable"},
    {STATUS_MSG_VERSION, "VERSION", "VERSION Enable"},
    {STATUS_MSG_LOGLIST, "LOG LOGLISTA", "LOGLOGLIST Enable"},
    {STATUS_MSG_POSFREQ, "posfreq", "POS_FREQ Enable"},
    {STATUS_MSG_UPNP, "SET UPNPEN", nullptr},
    {STATUS_MSG_TQ, "log tq 1", "TQ Enable"},
    {STATUS_MSG_CONFIG_CHECK, nullptr, "CONFIG_CHECK Enable"},
    {STATUS_MSG_FRESET, "freset", "FRESET Enable"},
    {STATUS_MSG_RESET, "reset", "RESET Enable"},
    {STATUS_MSG_NVMDUMP, "nvmdump show", "NVMDUMP SHOW Enable"},
    {STATUS_MSG_INSCONFIG, "log insconfiga", nullptr},
    {STATUS_MSG_HWINFO, "hwinfo", nullptr},
};

const char* const kBanner = "Halvorne User command server";

int BitIndex(uint Bit)
{
    int n = 0;
    while (n < 31 && !(Bit & (1u << n)))
        ++n;
    return n;
}

QStringList BlankFields(const QString& sLine) { return sLine.split(QLatin1Char(' ')); }

// The body of a text log: after the first ";", up to the "*".
QString TextLogBody(const QString& sLine)
{
    const int nSemi = sLine.indexOf(QLatin1Char(';'));
    const int nStar = sLine.lastIndexOf(QLatin1Char('*'));
    return sLine.mid(nSemi + 1, nStar - nSemi - 1);
}

// The leading number of a text (after blanks), as far as it reads.
double LeadingNumber(const QString& sText)
{
    static const QRegularExpression kNumber(QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)"));
    const QRegularExpressionMatch m = kNumber.match(sText);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}
} // namespace

QStatusMsgParser::QStatusMsgParser(QObject* pParent) : QObject(pParent)
{
    auto pClock = std::make_shared<QElapsedTimer>();
    pClock->start();
    m_fnNowMs = [pClock] { return pClock->elapsed(); };
    m_TimeoutTimer.setInterval(250);
    connect(&m_TimeoutTimer, &QTimer::timeout, this, &QStatusMsgParser::OnCheckTimeouts);
}

QStatusMsgParser::~QStatusMsgParser() = default;

void QStatusMsgParser::SetClock(std::function<qint64()> fnNowMs) { m_fnNowMs = std::move(fnNowMs); }

QStatusMsgParser::FRAMED_T* QStatusMsgParser::Framed(uint Bit)
{
    switch (Bit)
    {
    case STATUS_MSG_USERCONFIG:
        return &m_UserConfig;
    case STATUS_MSG_VERSION:
        return &m_Version;
    case STATUS_MSG_POSFREQ:
        return &m_PosFreq;
    case STATUS_MSG_UPNP:
        return &m_Upnp;
    case STATUS_MSG_NVMDUMP:
        return &m_NvmDump;
    case STATUS_MSG_HWINFO:
        return &m_HwInfo;
    default:
        return nullptr;
    }
}

QString QStatusMsgParser::SendStatusQuery(uint Mask)
{
    m_sQueryText.clear();
    m_sReplyText.clear();
    const qint64 nNow = m_fnNowMs();
    for (const QUERY_ROW_T& q : kQueries)
    {
        if (!(Mask & q.Bit))
            continue;
        if (q.pCommand != nullptr)
            m_sQueryText += QLatin1String(q.pCommand) + QLatin1String("\r\n");
        // A reply begun before this query belongs to an earlier one.
        if (FRAMED_T* pFramed = Framed(q.Bit))
            *pFramed = FRAMED_T();
        if (q.Bit == STATUS_MSG_TQ)
            m_bTqMasterSeen = m_bTqSlaveSeen = false;
        if (q.Bit == STATUS_MSG_FRESET)
            m_bFresetSeen = false;
        if (q.Bit == STATUS_MSG_RESET)
            m_bResetSeen = false;
        m_uPendingMask |= q.Bit;
        m_Deadline[BitIndex(q.Bit)] = nNow + m_nTimeoutMs;
    }
    UpdateIncomplete();
    if (m_uPendingMask != 0 && !m_TimeoutTimer.isActive())
        m_TimeoutTimer.start();
    return m_sQueryText;
}

void QStatusMsgParser::ResetFlags()
{
    m_uPendingMask = 0;
    for (const QUERY_ROW_T& q : kQueries)
        if (FRAMED_T* pFramed = Framed(q.Bit))
            *pFramed = FRAMED_T();
    m_bTqMasterSeen = m_bTqSlaveSeen = false;
    m_bIncomplete = false;
    m_TimeoutTimer.stop();
}

void QStatusMsgParser::ClearText()
{
    m_sReplyText.clear();
    m_sPartial.clear();
}

QString QStatusMsgParser::MaskDescription() const
{
    QString s;
    for (const QUERY_ROW_T& q : kQueries)
        if ((m_uPendingMask & q.Bit) && q.pDebugName != nullptr)
            s += QLatin1String(q.pDebugName) + QLatin1Char('\n');
    return s;
}

void QStatusMsgParser::OnCheckTimeouts()
{
    const qint64 nNow = m_fnNowMs();
    for (const QUERY_ROW_T& q : kQueries)
    {
        if (!(m_uPendingMask & q.Bit) || m_Deadline[BitIndex(q.Bit)] > nNow)
            continue;
        m_uPendingMask &= ~q.Bit;
        if (FRAMED_T* pFramed = Framed(q.Bit))
            *pFramed = FRAMED_T();
        emit SignalStatusQueryTimeout(q.Bit);
    }
    UpdateIncomplete();
    if (m_uPendingMask == 0)
        m_TimeoutTimer.stop();
}

void QStatusMsgParser::UpdateIncomplete()
{
    bool bOpen = false;
    for (const QUERY_ROW_T& q : kQueries)
        if (const FRAMED_T* pFramed = Framed(q.Bit))
            bOpen = bOpen || ((m_uPendingMask & q.Bit) && pFramed->bOpen);
    m_bIncomplete = bOpen;
}

uint QStatusMsgParser::ParseStatusMsg(const char* pText, int nLength)
{
    if (m_uPendingMask == 0)
        return 0;
    const QString sNew = QString::fromLatin1(pText, nLength > 0 && pText != nullptr ? nLength : 0);
    m_sReplyText += sNew;
    if (m_sReplyText.size() > REPLY_TEXT_MAX)
        m_sReplyText.remove(0, m_sReplyText.size() - REPLY_TEXT_MAX);

    // Only the lines completed by this text are looked at; nothing is scanned twice.
    m_sPartial += sNew;
    int nStart = 0;
    for (int nEnd; m_uPendingMask != 0 && (nEnd = m_sPartial.indexOf(QLatin1Char('\n'), nStart)) >= 0;
         nStart = nEnd + 1)
    {
        int nStop = nEnd;
        if (nStop > nStart && m_sPartial.at(nStop - 1) == QLatin1Char('\r'))
            --nStop;
        HandleLine(m_sPartial.mid(nStart, nStop - nStart));
    }
    m_sPartial.remove(0, nStart);
    if (m_uPendingMask == 0)
        m_sPartial.clear();
    else if (m_sPartial.size() > REPLY_LINE_MAX)
    {
        HandleLine(m_sPartial);
        m_sPartial.clear();
    }
    // The start-up banner may end the text without a line end yet.
    CheckBanner(m_sPartial);
    // Tracking-quality lines of one output arrive together; the block is
    // complete once the batch that brought the master antenna's line is read.
    if ((m_uPendingMask & STATUS_MSG_TQ) && m_bTqMasterSeen)
        Finish(STATUS_MSG_TQ);
    if (m_uPendingMask == STATUS_MSG_CONFIG_CHECK)
        Finish(STATUS_MSG_CONFIG_CHECK);
    if (m_uPendingMask == 0)
    {
        m_sReplyText.clear();
        m_TimeoutTimer.stop();
    }
    UpdateIncomplete();
    return m_uPendingMask;
}

void QStatusMsgParser::Finish(uint Bit)
{
    m_uPendingMask &= ~Bit;
    emit SignalParseStatusMsgFinished(Bit);
}

void QStatusMsgParser::HandleLine(const QString& sLine)
{
    CheckBanner(sLine);
    const QString sTrimmed = sLine.trimmed();
    for (const QUERY_ROW_T& q : kQueries)
    {
        if (!(m_uPendingMask & q.Bit))
            continue;
        switch (q.Bit)
        {
        case STATUS_MSG_USERCONFIG:
            HandleFramed(q.Bit, sLine, "<USERCONFIG", "<USERCONFIG OK");
            break;
        case STATUS_MSG_VERSION:
            HandleFramed(q.Bit, sLine, "<VERSION", "<VERSION OK");
            break;
        case STATUS_MSG_POSFREQ:
            HandleFramed(q.Bit, sLine, "<posfreq", "<posfreq OK");
            break;
        case STATUS_MSG_UPNP:
            HandleFramed(q.Bit, sLine, "<SET UPNPEN", "<SET OK");
            break;
        case STATUS_MSG_NVMDUMP:
            HandleFramed(q.Bit, sLine, "<nvmdump show", "<NVMDUMP OK");
            break;
        case STATUS_MSG_HWINFO:
            HandleFramed(q.Bit, sLine, "<hwinfo", "<hwinfo OK");
            break;
        case STATUS_MSG_LOGLIST:
        case STATUS_MSG_INSCONFIG:
            HandleTextLog(q.Bit, sTrimmed);
            break;
        case STATUS_MSG_TQ:
            HandleTq(sTrimmed);
            break;
        default:
            break;
        }
    }
}

void QStatusMsgParser::CheckBanner(const QString& sText)
{
    if (!(m_uPendingMask & (STATUS_MSG_RESET | STATUS_MSG_FRESET)) || !sText.contains(QLatin1String(kBanner)))
        return;
    if (m_uPendingMask & STATUS_MSG_FRESET)
    {
        m_bFresetSeen = true;
        Finish(STATUS_MSG_FRESET);
    }
    if (m_uPendingMask & STATUS_MSG_RESET)
    {
        m_bResetSeen = true;
        Finish(STATUS_MSG_RESET);
    }
}

void QStatusMsgParser::HandleFramed(uint Bit, const QString& sLine, const char* pOpen, const char* pClose)
{
    FRAMED_T& f = *Framed(Bit);
    const QString sTrimmed = sLine.trimmed();
    if (sTrimmed == QLatin1String(pOpen))
    {
        f.bOpen = true;
        f.Lines.clear();
        return;
    }
    if (!f.bOpen)
        return;
    if (sTrimmed == QLatin1String(pClose))
    {
        f.bOpen = false;
        ParseFramedReply(Bit, f.Lines);
        f.Lines.clear();
        Finish(Bit);
        return;
    }
    // A reply that never closes is dropped rather than kept growing.
    if (f.Lines.size() >= REPLY_LINES_MAX)
        f = FRAMED_T();
    else
        f.Lines.append(sLine);
}

void QStatusMsgParser::HandleTextLog(uint Bit, const QString& sLine)
{
    const QLatin1String Name(Bit == STATUS_MSG_LOGLIST ? "#LOGLISTA," : "#INSCONFIGA,");
    if (!sLine.startsWith(Name))
        return;
    const QByteArray Bytes = sLine.toLatin1();
    if (!CheckTextLogCrc(Bytes.constData(), Bytes.size()))
        return;
    const QString sBody = TextLogBody(sLine);
    if (Bit == STATUS_MSG_LOGLIST)
    {
        // The header's first field: the port the query went to.
        m_sLogListPort = sLine.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(','), 1, 1).trimmed();
        ParseLogList(sBody);
    }
    else
    {
        const QByteArray Body = sBody.toLatin1();
        bool bComplete = false;
        ParseInsConfig(Body.constData(), Body.size(), &m_InsConfig, &bComplete);
        m_bInsConfigValid = bComplete;
    }
    Finish(Bit);
}

void QStatusMsgParser::HandleTq(const QString& sLine)
{
    const bool bMaster = sLine.startsWith(QLatin1String("$TQR,"));
    if (!bMaster && !sLine.startsWith(QLatin1String("$TQH,")))
        return;
    const QByteArray Bytes = sLine.toLatin1();
    if (sLine.contains(QLatin1Char('*')) && !NmeaChecksumOk(Bytes.constData(), Bytes.size()))
        return;
    TQ_LISTS_T& t = bMaster ? m_TqMaster : m_TqSlave;
    bool& bSeen = bMaster ? m_bTqMasterSeen : m_bTqSlaveSeen;
    if (!bSeen)
        t = TQ_LISTS_T();
    bSeen = true;
    const int nStar = sLine.indexOf(QLatin1Char('*'));
    const QStringList Fields = sLine.left(nStar < 0 ? sLine.size() : nStar).split(QLatin1Char(','));
    // After the tag: groups of signal code, maximum CN0, valid satellites, errors.
    for (int i = 1; i + 3 < Fields.size(); i += 4)
    {
        t.SigNameList.append(Fields[i].trimmed());
        t.MaxCN0List.append(Fields[i + 1].toDouble());
        t.ValidSvNumList.append(Fields[i + 2].toDouble());
        t.ErrList.append(Fields[i + 3].toInt());
    }
}

void QStatusMsgParser::ParseFramedReply(uint Bit, const QStringList& Lines)
{
    switch (Bit)
    {
    case STATUS_MSG_USERCONFIG:
        ParseUserConfig(Lines);
        break;
    case STATUS_MSG_VERSION:
        m_VersionList.clear();
        for (int i = Lines.size() - 1; i >= 0; --i)
            if (!Lines[i].trimmed().isEmpty())
            {
                m_VersionList = Lines[i].trimmed().split(QLatin1Char(','));
                break;
            }
        break;
    case STATUS_MSG_POSFREQ:
        m_PosFreqLines = Lines;
        for (const QString& s : Lines)
        {
            const int n = s.indexOf(QLatin1String("Cur Pos Freq:"));
            if (n >= 0)
                m_dPosFreq = LeadingNumber(s.mid(n + 13));
        }
        break;
    case STATUS_MSG_UPNP:
        m_UpnpList.clear();
        for (const QString& s : Lines)
            m_UpnpList += s.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        break;
    case STATUS_MSG_NVMDUMP:
    {
        const QString s = Lines.isEmpty() ? QString() : Lines.first();
        const int n = s.indexOf(QLatin1Char(':'));
        m_nNvmDumpSize = (s.contains(QLatin1Char('-')) || n < 0) ? -1 : s.mid(n + 1).trimmed().toLongLong();
        break;
    }
    case STATUS_MSG_HWINFO:
        m_HwSignalList.clear();
        m_HwShowifList.clear();
        for (const QString& s : Lines)
        {
            const QStringList f = s.split(QLatin1Char(','));
            if (f.size() > 7 && f[0].contains(QLatin1Char('G')))
            {
                m_HwSignalList.append(QString(f[1]).remove(QLatin1Char(' ')));
                m_HwShowifList.append(QString(f[0]).remove(QLatin1Char('G')));
            }
        }
        break;
    default:
        break;
    }
}

void QStatusMsgParser::ParseUserConfig(const QStringList& Lines)
{
    m_UserConfigList = Lines;
    m_PpsConfigList.clear();
    m_LockoutMaskList.clear();
    m_ElevMaskList.clear();
    m_RtkElevMaskList.clear();
    m_InsRotationList.clear();
    m_InsTranslationAnt1List.clear();
    m_InsTranslationDualAntList.clear();
    m_bInsEnabled = m_bInsRotationAuto = false;
    for (const QString& sLine : Lines)
    {
        const QString s = sLine.trimmed();
        if (s.startsWith(QLatin1String("PPS")))
            m_PpsConfigList = BlankFields(s);
        else if (s.contains(QLatin1String("NETCONFIG")))
            ParseNetConfig(s);
        else if (s.startsWith(QLatin1String("LOCKOUT")))
        {
            // The mask is the field with "0X", else the last field.
            const QStringList f = s.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QString sHex = f.size() > 1 ? f.last() : QString();
            for (const QString& x : f)
                if (x.startsWith(QLatin1String("0X"), Qt::CaseInsensitive))
                    sHex = x;
            bool bOk = false;
            const uint uMask = sHex.toUInt(&bOk, 16);
            if (bOk)
                m_LockoutMaskList.append(uMask);
        }
        else if (s.startsWith(QLatin1String("ECUTOFF")) || s.startsWith(QLatin1String("RTKECUTOFF")))
        {
            const QStringList f = BlankFields(s);
            if (f.size() > 13)
            {
                QStringList& Out = s.startsWith(QLatin1String("RTK")) ? m_RtkElevMaskList : m_ElevMaskList;
                Out.clear();
                for (int i = 3; i <= 13; i += 2)
                    Out.append(f[i]);
            }
        }
        else if (s.startsWith(QLatin1String("INSCOMMAND")))
            m_bInsEnabled = s.contains(QLatin1String("ENABLE"));
        else if (s.startsWith(QLatin1String("SETINSROTATION")))
        {
            m_InsRotationList = BlankFields(s);
            m_bInsRotationAuto = m_InsRotationList.value(1).contains(QLatin1String("AUTO"));
        }
        else if (s.contains(QLatin1String("SETINSTRANSLATION ANT1")))
            m_InsTranslationAnt1List = BlankFields(s);
        else if (s.contains(QLatin1String("SETINSTRANSLATION DUALANT")))
            m_InsTranslationDualAntList = BlankFields(s);
    }
}

void QStatusMsgParser::ParseNetConfig(const QString& sLine)
{
    m_bNetworkKnown =
        !sLine.contains(QLatin1String("is not Complete")) && !sLine.contains(QLatin1String("Invalid Address"));
    m_sNetHostName.clear();
    m_NetIpList.clear();
    m_NetMaskList.clear();
    m_NetGatewayList.clear();
    if (!m_bNetworkKnown)
        return;
    // "NETCONFIG <mode> <address> <mask> <gateway> [<host name>]": the dotted
    // addresses in order, and the word after the third as the host name.
    static const QRegularExpression kDotted(QStringLiteral("^\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    QStringList* Lists[] = {&m_NetIpList, &m_NetMaskList, &m_NetGatewayList};
    int nFound = 0;
    for (const QString& f : sLine.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    {
        if (nFound < 3 && kDotted.match(f).hasMatch())
            *Lists[nFound++] = f.split(QLatin1Char('.'));
        else if (nFound == 3 && m_sNetHostName.isEmpty())
            m_sNetHostName = f;
    }
}

void QStatusMsgParser::ParseLogList(const QString& sBody)
{
    m_LogNameList.clear();
    m_LogPortList.clear();
    m_LogTriggerList.clear();
    m_LogPeriodList.clear();
    const QStringList f = sBody.split(QLatin1Char(','));
    // Entries beyond the announced count, or beyond the fields present, are not read.
    const qlonglong nCount = f.value(0).trimmed().toLongLong();
    for (qlonglong k = 0; k < nCount && 4 + 6 * k < f.size(); ++k)
    {
        const int i = static_cast<int>(6 * k);
        m_LogPortList.append(f[i + 1]);
        m_LogNameList.append(f[i + 2]);
        m_LogTriggerList.append(f[i + 3]);
        m_LogPeriodList.append(f[i + 4].toDouble());
    }
}
