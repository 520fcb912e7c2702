// The status-reply parser on arbitrary received text, with every query
// pending and the text arriving in chunks of varying size (the first bytes of
// the input choose the chunks and where the queries are sent again). After
// every chunk and at the end every parsed result is read, as the windows and
// the configuration check read them, and held to its bounds: the collected
// reply text, the characters a finished reply may hold, the ranges of every
// number read, lists that belong together of one length.
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/parsing/status_msg_parser.h"

namespace
{
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

void Require(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

int Characters(const QStringList& Lines)
{
    int n = 0;
    for (const QString& s : Lines)
        n += s.size() + 2;
    return n;
}

bool In(double d, double dMin, double dMax) { return std::isfinite(d) && d >= dMin && d <= dMax; }

void CheckTq(const TQ_LISTS_T& t)
{
    const int n = t.SigNameList.size();
    Require(t.MaxCN0List.size() == n && t.ValidSvNumList.size() == n && t.ErrList.size() == n);
    for (int i = 0; i < n; ++i)
        Require(In(t.MaxCN0List[i], 0, QStatusMsgParser::TQ_CN0_MAX) &&
                In(t.ValidSvNumList[i], 0, QStatusMsgParser::TQ_SV_MAX) && t.ErrList[i] >= 0);
}

void CheckOctets(const QStringList& Octets)
{
    Require(Octets.isEmpty() || Octets.size() == 4);
    for (const QString& s : Octets)
        Require(s.toInt() >= 0 && s.toInt() <= 255);
}

void CheckResults(const QStatusMsgParser& p)
{
    Require(p.m_sReplyText.size() <= 2 * QStatusMsgParser::REPLY_TEXT_MAX);
    // A finished reply never holds more than a receiver's longest.
    for (const QStringList* pLines : {&p.m_UserConfigList, &p.m_PosFreqLines})
        Require(Characters(*pLines) <= QStatusMsgParser::REPLY_BYTES_MAX);
    Require(p.m_VersionList.join(QLatin1Char(',')).size() <= QStatusMsgParser::REPLY_LINE_MAX);
    const int nLogs = p.m_LogNameList.size();
    Require(p.m_LogPortList.size() == nLogs && p.m_LogTriggerList.size() == nLogs && p.m_LogPeriodList.size() == nLogs);
    for (double d : p.m_LogPeriodList)
        Require(In(d, 0, QStatusMsgParser::LOG_PERIOD_MAX));
    Require(In(p.m_dPosFreq, 0, QStatusMsgParser::POS_FREQ_MAX));
    if (p.FailedMask() & STATUS_MSG_POSFREQ)
        Require(p.m_dPosFreq == 0.0);
    Require(p.m_nNvmDumpSize == -1 || (p.m_nNvmDumpSize >= 0 && p.m_nNvmDumpSize <= QStatusMsgParser::NVM_DUMP_MAX));
    CheckTq(p.m_TqMaster);
    CheckTq(p.m_TqSlave);
    CheckOctets(p.m_NetIpList);
    CheckOctets(p.m_NetMaskList);
    CheckOctets(p.m_NetGatewayList);
    Require(p.m_HwSignalList.size() == p.m_HwShowifList.size());
    if (p.m_bInsConfigValid)
        Require(p.m_InsConfig.TranslationCount <= INS_CONFIG_MAX_OFFSETS &&
                p.m_InsConfig.RotationCount <= INS_CONFIG_MAX_OFFSETS);
    Require((p.FailedMask() & ~0x3FF7u) == 0);
}

// What the configuration check makes of the results: the command file of the
// position rate, the log list as it compares it, the network settings.
void ReadAsTheCheck(const QStatusMsgParser& p)
{
    if (const char* pRate = PosFreqFileRate(p.m_dPosFreq))
    {
        const int n = static_cast<int>(p.m_dPosFreq);
        Require(n == 1 || n == 5 || n == 10 || n == 20 || n == 200);
        Require(pRate[0] != '\0');
    }
    Require(LogListLines(p).size() == p.m_LogNameList.size());
    for (const QString& s : p.m_UserConfigList)
    {
        const NET_CONFIG_T net = ReadNetConfigLine(s);
        CheckOctets(net.Ip);
        CheckOctets(net.Mask);
        CheckOctets(net.Gateway);
        Require(net.sMode.isEmpty() || net.sMode == QLatin1String("DHCP") || net.sMode == QLatin1String("STATIC"));
    }
    (void)p.MaskDescription();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    qInstallMessageHandler(Quiet);
    new QCoreApplication(*pArgc, *pArgv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 3 || nSize > 4 << 20)
        return 0;
    qint64 nNow = 0;
    QStatusMsgParser p;
    p.SetClock([&nNow] { return nNow; });
    const uint kEveryQuery = 0x3FF7u;
    p.SendStatusQuery(kEveryQuery);
    // Byte 0: the largest chunk (1 to 256); byte 1: after how many chunks the
    // queries are sent again (0: never); byte 2 seeds the chunk sizes.
    const size_t nMaxChunk = size_t(pData[0]) + 1;
    const unsigned nResendEvery = pData[1];
    uint32_t nSeed = pData[2] * 2654435761u + 1;
    const char* pText = reinterpret_cast<const char*>(pData) + 3;
    const size_t nText = nSize - 3;
    unsigned nChunks = 0;
    for (size_t i = 0; i < nText;)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        const size_t n = std::min(nText - i, 1 + (nSeed >> 8) % nMaxChunk);
        const uint uPending = p.ParseStatusMsg(pText + i, static_cast<int>(n));
        Require(uPending == p.PendingMask() && (uPending & ~kEveryQuery) == 0);
        i += n;
        CheckResults(p);
        if (nResendEvery != 0 && ++nChunks % nResendEvery == 0)
            p.SendStatusQuery(kEveryQuery & ~(nSeed >> 4));
    }
    ReadAsTheCheck(p);
    // Whatever is still pending times out.
    nNow += 61000;
    p.OnCheckTimeouts();
    Require(p.PendingMask() == 0);
    CheckResults(p);
    return 0;
}
