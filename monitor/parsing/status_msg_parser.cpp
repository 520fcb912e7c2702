#include "monitor/parsing/status_msg_parser.h"
#include "monitor/parsing/number_text.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <climits>
#include <cmath>
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

constexpr char kBanner[] = "Halvorne User command server";

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

// The leading number of a text (after blanks), as far as it reads; false
// when there is none or it lies outside dMin .. dMax (an infinity or a
// number too long for a double is outside any range).
bool LeadingNumber(const QString& sText, double dMin, double dMax, double* pValue)
{
    static const QRegularExpression kNumber(QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)"));
    const QRegularExpressionMatch m = kNumber.match(sText);
    bool bOk = false;
    const double d = m.hasMatch() ? m.captured(1).toDouble(&bOk) : 0.0;
    if (!bOk || !std::isfinite(d) || d < dMin || d > dMax)
        return false;
    *pValue = d;
    return true;
}

// A whole field read as a number within dMin .. dMax.
bool NumberIn(const QString& sField, double dMin, double dMax, double* pValue)
{
    bool bOk = false;
    const double d = sField.trimmed().toDouble(&bOk);
    if (!bOk || !std::isfinite(d) || d < dMin || d > dMax)
        return false;
    *pValue = d;
    return true;
}

// A receiver's prompt, "[COM1]", that opens a line: its reply follows it on
// the same line ("[COM1]<VERSION", "[COM1]#LOGLISTA,..."). The length of
// the prompts at the start of the line (an empty command gives two).
int PromptLength(const QString& sLine)
{
    int n = 0;
    while (n < sLine.size() && sLine.at(n) == QLatin1Char('['))
    {
        int k = n + 1;
        while (k < sLine.size() && k - n <= 16 && (sLine.at(k).isLetterOrNumber() || sLine.at(k) == QLatin1Char('_')))
            ++k;
        if (k == n + 1 || k >= sLine.size() || sLine.at(k) != QLatin1Char(']'))
            break;
        n = k + 1;
    }
    return n;
}
} // namespace

const char* PosFreqFileRate(double dPosFreq)
{
    // Compared as a number first: a rate out of the range of int has no file.
    if (!(dPosFreq >= 0.0 && dPosFreq < 1000.0))
        return nullptr;
    const int nRate = static_cast<int>(dPosFreq);
    return nRate == 1 ? "1HZ" : nRate == 5 ? "5HZ" : (nRate == 10 || nRate == 20 || nRate == 200) ? "10HZ" : nullptr;
}

QStringList LogListLines(const QStatusMsgParser& Replies)
{
    QStringList Lines;
    for (int i = 0; i < Replies.m_LogNameList.size() && i < Replies.m_LogTriggerList.size(); ++i)
    {
        const QString& sTrigger = Replies.m_LogTriggerList[i];
        QString sLine =
            Replies.m_LogPortList.value(i) + QLatin1Char(' ') + Replies.m_LogNameList[i] + QLatin1Char(' ') + sTrigger;
        if (sTrigger != QLatin1String("ONCHANGED"))
            sLine += QLatin1Char(' ') + PlainNumber(Replies.m_LogPeriodList.value(i), 9);
        Lines << sLine;
    }
    return Lines;
}

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
    m_uFailedMask &= ~Mask;
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
        {
            m_bTqMasterSeen = m_bTqSlaveSeen = false;
            m_bTqFollow = true;
        }
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
    m_bTqFollow = false;
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

void QStatusMsgParser::AppendReplyText(const QString& sNew)
{
    // Cut back to the newest REPLY_TEXT_MAX characters once twice that has
    // collected: each character is moved at most once.
    m_sReplyText += sNew.size() > REPLY_TEXT_MAX ? sNew.right(REPLY_TEXT_MAX) : sNew;
    if (m_sReplyText.size() > 2 * REPLY_TEXT_MAX)
        m_sReplyText.remove(0, m_sReplyText.size() - REPLY_TEXT_MAX);
}

uint QStatusMsgParser::ParseStatusMsg(const char* pText, int nLength)
{
    if (m_uPendingMask == 0 && !m_bTqFollow)
        return 0;
    const QString sNew = QString::fromLatin1(pText, nLength > 0 && pText != nullptr ? nLength : 0);
    if (m_uPendingMask != 0)
        AppendReplyText(sNew);

    // Only the lines completed by this text are looked at, and only the new
    // text is searched for their ends: nothing is scanned twice.
    const int nOld = m_sPartial.size();
    m_sPartial += sNew;
    int nStart = 0;
    int nFrom = nOld;
    for (int nEnd; (m_uPendingMask != 0 || m_bTqFollow) && (nEnd = m_sPartial.indexOf(QLatin1Char('\n'), nFrom)) >= 0;
         nFrom = nStart = nEnd + 1)
    {
        int nStop = nEnd;
        if (nStop > nStart && m_sPartial.at(nStop - 1) == QLatin1Char('\r'))
            --nStop;
        HandleLine(m_sPartial.mid(nStart, nStop - nStart));
    }
    // What stays is the unfinished line, which came with this text when a line ended in it.
    int nBannerFrom = nStart > 0 ? 0 : qMax(0, nOld - int(sizeof kBanner));
    m_sPartial.remove(0, nStart);
    if (m_uPendingMask == 0 && !m_bTqFollow)
        m_sPartial.clear();
    else if (m_sPartial.size() > REPLY_LINE_MAX)
    {
        HandleLine(m_sPartial);
        m_sPartial.clear();
        nBannerFrom = 0;
    }
    // The start-up banner may end the text without a line end yet.
    CheckBanner(m_sPartial, nBannerFrom);
    // Tracking-quality lines of one output arrive together; the block is
    // complete once the batch that brought the master antenna's line is read.
    if (m_bTqMasterSeen)
    {
        if (m_uPendingMask & STATUS_MSG_TQ)
            FinishRead(STATUS_MSG_TQ, !(m_uFailedMask & STATUS_MSG_TQ));
        // The next output replaces this one.
        m_bTqMasterSeen = m_bTqSlaveSeen = false;
    }
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

void QStatusMsgParser::FinishRead(uint Bit, bool bOk)
{
    if (bOk)
        m_uFailedMask &= ~Bit;
    else
        m_uFailedMask |= Bit;
    Finish(Bit);
}

void QStatusMsgParser::HandleLine(const QString& sRawLine)
{
    CheckBanner(sRawLine);
    // A line longer than any reply's is nobody's reply: it ends every reply in progress.
    if (sRawLine.size() > REPLY_LINE_MAX)
    {
        for (const QUERY_ROW_T& q : kQueries)
            if (FRAMED_T* pFramed = Framed(q.Bit))
                *pFramed = FRAMED_T();
        return;
    }
    const int nPrompt = PromptLength(sRawLine);
    const QString sLine = nPrompt > 0 ? sRawLine.mid(nPrompt) : sRawLine;
    const QString sTrimmed = sLine.trimmed();
    if (m_bTqFollow && !(m_uPendingMask & STATUS_MSG_TQ))
        HandleTq(sTrimmed);
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

void QStatusMsgParser::CheckBanner(const QString& sText, int nFrom)
{
    if (!(m_uPendingMask & (STATUS_MSG_RESET | STATUS_MSG_FRESET)) || sText.indexOf(QLatin1String(kBanner), nFrom) < 0)
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
        const bool bOk = ParseFramedReply(Bit, f.Lines);
        f.Lines.clear();
        FinishRead(Bit, bOk);
        return;
    }
    // A reply longer than a receiver's longest is dropped rather than kept growing.
    f.nBytes += sLine.size() + 2;
    if (f.nBytes > REPLY_BYTES_MAX || f.Lines.size() >= REPLY_LINES_MAX)
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
    bool bOk = false;
    if (Bit == STATUS_MSG_LOGLIST)
    {
        // The header's first field: the port the query went to.
        m_sLogListPort = sLine.section(QLatin1Char(';'), 0, 0).section(QLatin1Char(','), 1, 1).trimmed();
        bOk = ParseLogList(sBody);
    }
    else
    {
        const QByteArray Body = sBody.toLatin1();
        ParseInsConfig(Body.constData(), Body.size(), &m_InsConfig, &bOk);
        m_bInsConfigValid = bOk;
    }
    FinishRead(Bit, bOk);
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
    if (!m_bTqMasterSeen && !m_bTqSlaveSeen)
        m_uFailedMask &= ~STATUS_MSG_TQ;
    if (!bSeen)
        t = TQ_LISTS_T();
    bSeen = true;
    // An output one of whose lines failed shows no part of a table.
    if (m_uFailedMask & STATUS_MSG_TQ)
        return;
    const int nStar = sLine.indexOf(QLatin1Char('*'));
    const QStringList Fields = sLine.left(nStar < 0 ? sLine.size() : nStar).split(QLatin1Char(','));
    // After the tag: groups of signal code, maximum CN0, valid satellites, errors.
    TQ_LISTS_T read;
    for (int i = 1; i + 3 < Fields.size(); i += 4)
    {
        double dCn0 = 0, dSv = 0, dErr = 0;
        if (!NumberIn(Fields[i + 1], 0, TQ_CN0_MAX, &dCn0) || !NumberIn(Fields[i + 2], 0, TQ_SV_MAX, &dSv) ||
            !NumberIn(Fields[i + 3], 0, INT_MAX, &dErr) || dErr != std::floor(dErr))
        {
            // One value out of range and the antenna's table cannot be trusted.
            t = TQ_LISTS_T();
            m_uFailedMask |= STATUS_MSG_TQ;
            return;
        }
        read.SigNameList.append(Fields[i].trimmed());
        read.MaxCN0List.append(dCn0);
        read.ValidSvNumList.append(dSv);
        read.ErrList.append(static_cast<int>(dErr));
    }
    t.SigNameList += read.SigNameList;
    t.MaxCN0List += read.MaxCN0List;
    t.ValidSvNumList += read.ValidSvNumList;
    t.ErrList += read.ErrList;
}

bool QStatusMsgParser::ParseFramedReply(uint Bit, const QStringList& Lines)
{
    switch (Bit)
    {
    case STATUS_MSG_USERCONFIG:
        return ParseUserConfig(Lines);
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
    {
        m_PosFreqLines = Lines;
        m_dPosFreq = 0.0;
        bool bRead = false;
        for (const QString& s : Lines)
        {
            const int n = s.indexOf(QLatin1String("Cur Pos Freq:"));
            if (n < 0)
                continue;
            bRead = LeadingNumber(s.mid(n + 13), 0.0, POS_FREQ_MAX, &m_dPosFreq);
            if (!bRead)
            {
                m_dPosFreq = 0.0;
                return false;
            }
        }
        return bRead;
    }
    case STATUS_MSG_UPNP:
        m_UpnpList.clear();
        for (const QString& s : Lines)
            m_UpnpList += s.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        break;
    case STATUS_MSG_NVMDUMP:
    {
        const QString s = Lines.isEmpty() ? QString() : Lines.first();
        const int n = s.indexOf(QLatin1Char(':'));
        m_nNvmDumpSize = -1;
        if (s.contains(QLatin1Char('-')) || n < 0)
            return true; // no log stored
        bool bOk = false;
        const qint64 nSize = s.mid(n + 1).trimmed().toLongLong(&bOk);
        if (!bOk || nSize < 0 || nSize > NVM_DUMP_MAX)
            return false;
        m_nNvmDumpSize = nSize;
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
    return true;
}

bool QStatusMsgParser::ParseUserConfig(const QStringList& Lines)
{
    bool bOk = true;
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
                // Elevation angles: a value that is no angle leaves the list empty and the reply unread.
                double dAngle = 0;
                for (int i = 3; i <= 13; i += 2)
                    Out.append(f[i]);
                bool bAngles = true;
                for (const QString& sAngle : Out)
                    if (!NumberIn(sAngle, -90.0, 90.0, &dAngle))
                    {
                        bAngles = false;
                        break;
                    }
                if (!bAngles)
                {
                    Out.clear();
                    bOk = false;
                }
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
    return bOk;
}

NET_CONFIG_T ReadNetConfigLine(const QString& sLine)
{
    NET_CONFIG_T net;
    if (sLine.contains(QLatin1String("is not Complete")) || sLine.contains(QLatin1String("Invalid Address")))
        return net;
    // The dotted addresses in order, and the word after the third as the host name.
    static const QRegularExpression kDotted(QStringLiteral("^\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}\\.\\d{1,3}$"));
    QStringList* Lists[] = {&net.Ip, &net.Mask, &net.Gateway};
    int nFound = 0;
    const QStringList Words = sLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int iVerb = Words.indexOf(QStringLiteral("NETCONFIG"));
    const QString sMode = Words.value(iVerb + 1).toUpper();
    if (iVerb >= 0 && (sMode == QLatin1String("DHCP") || sMode == QLatin1String("STATIC")))
        net.sMode = sMode;
    for (const QString& f : Words)
    {
        if (nFound < 3 && kDotted.match(f).hasMatch())
        {
            const QStringList Octets = f.split(QLatin1Char('.'));
            for (const QString& o : Octets)
                if (o.toInt() > 255)
                    return NET_CONFIG_T();
            *Lists[nFound++] = Octets;
        }
        else if (nFound == 3 && net.sHostName.isEmpty())
            net.sHostName = f;
    }
    net.bKnown = true;
    return net;
}

void QStatusMsgParser::ParseNetConfig(const QString& sLine)
{
    const NET_CONFIG_T net = ReadNetConfigLine(sLine);
    m_bNetworkKnown = net.bKnown;
    m_sNetHostName = net.sHostName;
    m_NetIpList = net.Ip;
    m_NetMaskList = net.Mask;
    m_NetGatewayList = net.Gateway;
}

bool QStatusMsgParser::ParseLogList(const QString& sBody)
{
    m_LogNameList.clear();
    m_LogPortList.clear();
    m_LogTriggerList.clear();
    m_LogPeriodList.clear();
    const QStringList f = sBody.split(QLatin1Char(','));
    // Entries beyond the announced count, or beyond the fields present, are not read.
    bool bOk = false;
    const qlonglong nCount = f.value(0).trimmed().toLongLong(&bOk);
    if (!bOk || nCount < 0)
        return false;
    QList<double> Periods;
    for (qlonglong k = 0; k < nCount && 4 + 6 * k < f.size(); ++k)
    {
        double dPeriod = 0;
        if (!NumberIn(f[static_cast<int>(6 * k) + 4], 0.0, LOG_PERIOD_MAX, &dPeriod))
            return false;
        Periods.append(dPeriod);
    }
    for (int k = 0; k < Periods.size(); ++k)
    {
        const int i = 6 * k;
        m_LogPortList.append(f[i + 1]);
        m_LogNameList.append(f[i + 2]);
        m_LogTriggerList.append(f[i + 3]);
    }
    m_LogPeriodList = Periods;
    return true;
}
