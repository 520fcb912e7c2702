#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include <QString>
#include <string>
#include <vector>

#include "monitor/parsing/status_msg_parser.h"
#include "support/frame_builders.h"
#include "support/text_log_builder.h"

namespace
{
// A parser with a hand-driven clock that records what it reports.
struct Fixture
{
    QStatusMsgParser p;
    qint64 nNow = 0;
    std::vector<uint> Finished, TimedOut;
    Fixture()
    {
        p.SetClock([this] { return nNow; });
        QObject::connect(&p, &QStatusMsgParser::SignalParseStatusMsgFinished,
                         [this](uint m) { Finished.push_back(m); });
        QObject::connect(&p, &QStatusMsgParser::SignalStatusQueryTimeout, [this](uint m) { TimedOut.push_back(m); });
    }
    uint Parse(const std::string& s) { return p.ParseStatusMsg(s.data(), static_cast<int>(s.size())); }
};

std::string TextLog(const std::string& sName, const std::string& sBody)
{
    return WithTextCrc("#" + sName + ",COM1,0,55.0,FINESTEERING,2295,79218.000,02000020,b1f6,16809;" + sBody);
}

const char* kInsBody = "ADIS16488,5,20,300,LAND_BASIC,0000001F,STATIC,ROVER,FALSE,00000003,1,2,3,4,5,6,7,8,9,1,"
                       "ANT1,IMUBODY,0.1,0.2,0.3,0.01,0.02,0.03,FROM_NVM,0";
} // namespace

TEST(StatusQuery, MasksProduceTheirCommands)
{
    const struct
    {
        uint Mask;
        const char* Text;
    } cases[] = {
        {0x3, "USERCONFIG\r\nVERSION\r\n"},
        {0x80, ""},
        {0, ""},
        {0x1040, "log tq 1\r\nlog insconfiga\r\n"},
        {0x3FFF, "USERCONFIG\r\nVERSION\r\nLOG LOGLISTA\r\nposfreq\r\nSET UPNPEN\r\nlog tq 1\r\nfreset\r\nreset\r\n"
                 "nvmdump show\r\nlog insconfiga\r\nhwinfo\r\n"},
    };
    for (const auto& c : cases)
    {
        QStatusMsgParser p;
        EXPECT_EQ(p.SendStatusQuery(c.Mask), QString::fromLatin1(c.Text)) << c.Mask;
        // Bits without a query (0x8, 0x200) are never pending.
        EXPECT_EQ(p.PendingMask(), c.Mask & 0x3DF7u) << c.Mask;
    }
    QStatusMsgParser p;
    p.SendStatusQuery(0x1021);
    EXPECT_EQ(p.MaskDescription(), QStringLiteral("USERCONFIG Enable\n"));
    p.SendStatusQuery(0x8C0);
    EXPECT_EQ(p.MaskDescription(),
              QStringLiteral("USERCONFIG Enable\nTQ Enable\nCONFIG_CHECK Enable\nNVMDUMP SHOW Enable\n"));
}

TEST(StatusQuery, RepliesSetTheirBits)
{
    const std::string sLogList = TextLog("LOGLISTA", "3,COM1,GPGGA,ONTIME,1.000000,0.000000,NOHOLD,COM2,BESTPOSA,"
                                                     "ONTIME,0.050000,0.000000,NOHOLD,COM1,RANGEB,ONCHANGED,0.000000");
    struct Case
    {
        uint Mask;
        std::string Reply;
        std::function<void(const QStatusMsgParser&)> Check;
    };
    const Case cases[] = {
        {STATUS_MSG_VERSION,
         "junk\r\n<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F\r\n<VERSION OK\r\n",
         [](const QStatusMsgParser& p)
         {
             ASSERT_EQ(p.m_VersionList.size(), 7);
             EXPECT_EQ(p.m_VersionList[4], QStringLiteral("ID:201801234B560042"));
         }},
        {STATUS_MSG_USERCONFIG,
         "<USERCONFIG\r\nPPS ENABLE GPS POSITIVE 0.5 1000 0 0\r\n"
         "NETCONFIG STATIC 192.168.1.10 255.255.255.0 192.168.1.1 Cindrel\r\n"
         "LOCKOUT GPS 0X00000005\r\nLOCKOUT GLO 0x10\r\nLOCKOUT GAL 0\r\nLOCKOUT BDS 0X0\r\nLOCKOUT QZSS 0X1\r\n"
         "ECUTOFF USER GPS 5.0 GLO 10.0 GAL 15.0 BDS 20.0 SBAS 25.0 QZSS 30.0\r\n"
         "RTKECUTOFF USER GPS 1.0 GLO 2.0 GAL 3.0 BDS 4.0 SBAS 5.0 QZSS 6.0\r\n"
         "INSCOMMAND ENABLE\r\nSETINSROTATION AUTO 0 0 0\r\nSETINSTRANSLATION ANT1 0.1 0.2 0.3 0.01 0.01 0.01\r\n"
         "<USERCONFIG OK\r\n",
         [](const QStatusMsgParser& p)
         {
             EXPECT_EQ(p.m_UserConfigList.size(), 12);
             EXPECT_EQ(p.m_PpsConfigList.size(), 8);
             EXPECT_EQ(p.m_PpsConfigList.value(2), QStringLiteral("GPS"));
             EXPECT_TRUE(p.m_bNetworkKnown);
             EXPECT_EQ(p.m_NetIpList, QStringList({"192", "168", "1", "10"}));
             EXPECT_EQ(p.m_NetGatewayList.value(3), QStringLiteral("1"));
             EXPECT_EQ(p.m_sNetHostName, QStringLiteral("Cindrel"));
             EXPECT_EQ(p.m_LockoutMaskList, QList<uint>({5u, 0x10u, 0u, 0u, 1u}));
             EXPECT_EQ(p.m_ElevMaskList, QStringList({"5.0", "10.0", "15.0", "20.0", "25.0", "30.0"}));
             EXPECT_EQ(p.m_RtkElevMaskList.value(5), QStringLiteral("6.0"));
             EXPECT_TRUE(p.m_bInsEnabled);
             EXPECT_TRUE(p.m_bInsRotationAuto);
             EXPECT_EQ(p.m_InsTranslationAnt1List.size(), 8);
         }},
        {STATUS_MSG_LOGLIST, sLogList,
         [](const QStatusMsgParser& p)
         {
             // The count says 3 but the third entry is cut short: only whole entries are read.
             EXPECT_EQ(p.m_LogNameList, QStringList({"GPGGA", "BESTPOSA", "RANGEB"}));
             EXPECT_EQ(p.m_LogPortList.value(1), QStringLiteral("COM2"));
             EXPECT_EQ(p.m_sLogListPort, QStringLiteral("COM1"));
             EXPECT_EQ(p.m_LogTriggerList.value(2), QStringLiteral("ONCHANGED"));
             EXPECT_DOUBLE_EQ(p.m_LogPeriodList.value(1), 0.05);
         }},
        {STATUS_MSG_POSFREQ, "<posfreq\r\nCur Pos Freq: 5.00 Hz\r\n<posfreq OK\r\n",
         [](const QStatusMsgParser& p) { EXPECT_DOUBLE_EQ(p.m_dPosFreq, 5.0); }},
        {STATUS_MSG_UPNP, "<SET UPNPEN\r\nUPNPEN ENABLE\r\n<SET OK\r\n",
         [](const QStatusMsgParser& p) {
             EXPECT_EQ(p.m_UpnpList, QStringList({"UPNPEN", "ENABLE"}));
         }},
        {STATUS_MSG_TQ, Nmea("TQH,0,44.0,6,2,3,40.5,5,0") + Nmea("TQR,0,51.0,9,0,c8,47.0,7,101"),
         [](const QStatusMsgParser& p)
         {
             EXPECT_EQ(p.m_TqMaster.SigNameList, QStringList({"0", "c8"}));
             EXPECT_EQ(p.m_TqMaster.ErrList, QList<int>({0, 101}));
             EXPECT_EQ(p.m_TqSlave.MaxCN0List, QList<double>({44.0, 40.5}));
         }},
        {STATUS_MSG_RESET, "booting\r\nHalvorne User command server\r\n",
         [](const QStatusMsgParser& p)
         {
             EXPECT_TRUE(p.m_bResetSeen);
             EXPECT_FALSE(p.m_bFresetSeen);
         }},
        {STATUS_MSG_FRESET, "Halvorne User command server V2", // no line end yet
         [](const QStatusMsgParser& p) { EXPECT_TRUE(p.m_bFresetSeen); }},
        {STATUS_MSG_NVMDUMP, "<nvmdump show\r\nNVM size: 123456\r\n<NVMDUMP OK\r\n",
         [](const QStatusMsgParser& p) { EXPECT_EQ(p.m_nNvmDumpSize, 123456); }},
        {STATUS_MSG_INSCONFIG, TextLog("INSCONFIGA", kInsBody),
         [](const QStatusMsgParser& p)
         {
             EXPECT_TRUE(p.m_bInsConfigValid);
             EXPECT_EQ(p.m_InsConfig.ImuType, 31u);
             EXPECT_EQ(p.m_InsConfig.TranslationCount, 1u);
         }},
        {STATUS_MSG_HWINFO,
         "<hwinfo\r\nG1G,GPS L1 CA,1,2,3,4,5,6\r\nX,short\r\n12G,GPS L5,1,2,3,4,5,6\r\n<hwinfo OK\r\n",
         [](const QStatusMsgParser& p)
         {
             EXPECT_EQ(p.m_HwSignalList, QStringList({"GPSL1CA", "GPSL5"}));
             EXPECT_EQ(p.m_HwShowifList, QStringList({"1", "12"}));
         }},
    };
    for (const Case& c : cases)
        for (const bool bOnPromptLine : {false, true})
        {
            SCOPED_TRACE(c.Mask);
            SCOPED_TRACE(bOnPromptLine ? "on the prompt's line" : "on a line of its own");
            // A receiver prints its reply right after the prompt of the command:
            // "[COM1]<VERSION", "[COM1]#LOGLISTA,...".
            std::string sReply = c.Reply;
            if (bOnPromptLine)
                for (size_t i = 0; i < sReply.size(); i = sReply.find('\n', i) + 1)
                {
                    if (std::string("<#$").find(sReply[i]) != std::string::npos)
                    {
                        sReply.insert(i, "[COM1]");
                        break;
                    }
                    if (sReply.find('\n', i) == std::string::npos)
                        break;
                }
            Fixture f;
            f.p.SendStatusQuery(c.Mask | STATUS_MSG_HWINFO * (c.Mask != STATUS_MSG_HWINFO));
            EXPECT_EQ(f.Parse(sReply), c.Mask != STATUS_MSG_HWINFO ? uint(STATUS_MSG_HWINFO) : 0u) << sReply;
            EXPECT_EQ(f.Finished, std::vector<uint>{c.Mask});
            EXPECT_EQ(f.p.FailedMask(), 0u);
            c.Check(f.p);
        }
}

// Every number a receiver's reply carries is read within its range; a reply
// with one outside it is finished as unreadable, with nothing of it kept.
TEST(StatusQuery, NumbersOutOfRangeMakeTheReplyUnreadable)
{
    const std::string kHuge[] = {"1e10", "1e309", "-1e309", "99999999999999999999", "-5", "nan", "inf", ""};
    for (const std::string& sBad : kHuge)
    {
        SCOPED_TRACE(sBad);
        Fixture f;
        f.p.SendStatusQuery(STATUS_MSG_POSFREQ | STATUS_MSG_LOGLIST | STATUS_MSG_TQ | STATUS_MSG_NVMDUMP);
        f.Parse("<posfreq\r\nCur Pos Freq: " + sBad + "\r\n<posfreq OK\r\n");
        f.Parse(TextLog("LOGLISTA", "2,COM1,GPGGA,ONTIME,1.000000,0.000000,NOHOLD,COM1,BESTPOSA,ONTIME," + sBad +
                                        ",0.000000,NOHOLD"));
        f.Parse(Nmea("TQR,0,51.0,9,0,c8," + sBad + ",7,1"));
        // A "-" says that no NVM log is stored.
        const bool bNumber = !sBad.empty() && sBad.find('-') == std::string::npos;
        f.Parse("<nvmdump show\r\nNVM Log Size: " + (bNumber ? sBad : std::string("x")) + "\r\n<NVMDUMP OK\r\n");
        EXPECT_EQ(f.p.PendingMask(), 0u);
        EXPECT_EQ(f.Finished.size(), 4u);
        EXPECT_EQ(f.p.FailedMask(), uint(STATUS_MSG_POSFREQ | STATUS_MSG_LOGLIST | STATUS_MSG_TQ | STATUS_MSG_NVMDUMP));
        EXPECT_EQ(f.p.m_dPosFreq, 0.0);
        EXPECT_TRUE(f.p.m_LogNameList.isEmpty());
        EXPECT_TRUE(f.p.m_LogPeriodList.isEmpty());
        EXPECT_TRUE(f.p.m_TqMaster.SigNameList.isEmpty());
        EXPECT_EQ(f.p.m_nNvmDumpSize, -1);
        // Asked again, a good reply reads.
        f.p.SendStatusQuery(STATUS_MSG_POSFREQ);
        EXPECT_EQ(f.p.FailedMask() & STATUS_MSG_POSFREQ, 0u);
        f.Parse("[COM1]<posfreq\r\nCur Pos Freq: 20.00 Hz\r\n<posfreq OK\r\n");
        EXPECT_EQ(f.p.m_dPosFreq, 20.0);
        EXPECT_EQ(f.p.FailedMask() & STATUS_MSG_POSFREQ, 0u);
    }
    // Limits that a receiver does report: "-0", the highest rates, no NVM log.
    Fixture f;
    f.p.SendStatusQuery(STATUS_MSG_POSFREQ | STATUS_MSG_NVMDUMP | STATUS_MSG_USERCONFIG);
    f.Parse("<posfreq\r\nCur Pos Freq: -0\r\n<posfreq OK\r\n<nvmdump show\r\nNVM Log Size: -\r\n"
            "<NVMDUMP OK\r\n<USERCONFIG\r\nNETCONFIG STATIC 192.168.1.300 255.255.255.0 192.168.1.1\r\n"
            "ECUTOFF USER GPS -90 GLO 90 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0\r\n<USERCONFIG OK\r\n");
    EXPECT_EQ(f.p.FailedMask(), 0u);
    EXPECT_EQ(f.p.m_dPosFreq, 0.0);
    EXPECT_EQ(f.p.m_nNvmDumpSize, -1);
    // An address with an octet above 255 is no address.
    EXPECT_FALSE(f.p.m_bNetworkKnown);
    EXPECT_TRUE(f.p.m_NetIpList.isEmpty());
    EXPECT_EQ(f.p.m_ElevMaskList.size(), 6);
    // An elevation beyond the zenith is no elevation.
    f.p.SendStatusQuery(STATUS_MSG_USERCONFIG);
    f.Parse("<USERCONFIG\r\nECUTOFF USER GPS 5.0 GLO 1e309 GAL 5.0 BDS 5.0 SBAS 5.0 QZSS 5.0\r\n"
            "RTKECUTOFF USER GPS 10.0 GLO 10.0 GAL 10.0 BDS 10.0 SBAS 10.0 QZSS 10.0\r\n<USERCONFIG OK\r\n");
    EXPECT_EQ(f.p.FailedMask(), uint(STATUS_MSG_USERCONFIG));
    EXPECT_TRUE(f.p.m_ElevMaskList.isEmpty());
    EXPECT_EQ(f.p.m_RtkElevMaskList.size(), 6);
}

// "log tq 1" has the receiver output its tracking quality every second: the
// parser keeps the newest output without being asked again, until its flags
// are reset.
TEST(StatusQuery, TrackingQualityFollowsTheReceiversOutput)
{
    Fixture f;
    f.p.SendStatusQuery(STATUS_MSG_TQ);
    f.Parse(Nmea("TQR,0,51.0,9,0") + Nmea("TQH,0,44.0,6,2"));
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_TQ});
    f.Parse("[COM1]" + Nmea("TQR,0,47.5,8,3,c8,46.0,5,0"));
    f.Parse(Nmea("TQH,0,43.0,5,1"));
    EXPECT_EQ(f.p.m_TqMaster.SigNameList, QStringList({"0", "c8"}));
    EXPECT_EQ(f.p.m_TqMaster.MaxCN0List, QList<double>({47.5, 46.0}));
    EXPECT_EQ(f.p.m_TqSlave.MaxCN0List, QList<double>({43.0}));
    EXPECT_EQ(f.Finished.size(), 1u) << "no query is pending";
    f.p.ResetFlags();
    f.Parse(Nmea("TQR,0,30.0,2,0"));
    EXPECT_EQ(f.p.m_TqMaster.MaxCN0List, QList<double>({47.5, 46.0}));
}

// A reply is bounded by what a receiver's longest needs, in characters, not
// in lines; the parser's work grows with its input alone, whatever the size
// of the reads.
TEST(StatusQuery, RepliesAreBoundedInBytesAndParsingIsLinear)
{
    Fixture f;
    f.p.SendStatusQuery(STATUS_MSG_USERCONFIG);
    std::string sLong = "<USERCONFIG\r\n";
    for (int i = 0; i < 70; ++i)
        sLong += std::string(1000, 'x') + "\r\n";
    f.Parse(sLong + "<USERCONFIG OK\r\n");
    EXPECT_TRUE(f.Finished.empty()) << "70 KB is no receiver's reply";
    std::string sReal = "<USERCONFIG\r\n";
    for (int i = 0; i < 200; ++i)
        sReal += "LOG COM1 GPGGA ONTIME 1.000000 0.000000 NOHOLD\r\n";
    f.Parse(sReal + "<USERCONFIG OK\r\n");
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_USERCONFIG});
    EXPECT_EQ(f.p.m_UserConfigList.size(), 200);

    const auto cpuMs = []
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
    };
    // 4 MB in 16-byte reads, with and without line ends, a query pending all along.
    for (const char* pLine : {"", "ZV100-A1,R3.1.0,x,1A2B0001,ID:2018,SN:123,F:1F\r\n"})
    {
        SCOPED_TRACE(pLine);
        Fixture g;
        g.p.SendStatusQuery(STATUS_MSG_VERSION | STATUS_MSG_RESET);
        std::string sInput = "<VERSION\r\n";
        while (sInput.size() < 4 * 1024 * 1024)
            sInput += *pLine ? std::string(pLine) : std::string(64, 'y');
        const double dStart = cpuMs();
        for (size_t i = 0; i < sInput.size(); i += 16)
            g.p.ParseStatusMsg(sInput.data() + i, static_cast<int>(std::min<size_t>(16, sInput.size() - i)));
        EXPECT_LT(cpuMs() - dStart, 700.0);
        EXPECT_LE(g.p.m_sReplyText.size(), 2 * int(QStatusMsgParser::REPLY_TEXT_MAX));
        EXPECT_GE(g.p.m_sReplyText.size(), int(QStatusMsgParser::REPLY_TEXT_MAX));
        // The banner split over reads is still seen.
        const std::string sBanner = "Halvorne User command server";
        for (char c : sBanner)
            g.p.ParseStatusMsg(&c, 1);
        EXPECT_TRUE(g.p.m_bResetSeen);
    }
}

TEST(StatusQuery, ReplyAcrossBatchesFinishesOnce)
{
    const std::string sReply = "<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:2018,SN:123,F:1F\r\n<VERSION OK\r\n";
    for (size_t k = 1; k < sReply.size(); ++k)
    {
        Fixture f;
        f.p.SendStatusQuery(STATUS_MSG_VERSION);
        f.Parse(sReply.substr(0, k));
        EXPECT_TRUE(f.Finished.empty()) << k;
        EXPECT_EQ(f.p.m_bIncomplete, k >= 10) << k; // once the "<VERSION" line is complete
        EXPECT_EQ(f.Parse(sReply.substr(k)), 0u);
        ASSERT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_VERSION}) << k;
        EXPECT_FALSE(f.p.m_bIncomplete);
        EXPECT_EQ(f.p.m_VersionList.size(), 7);
    }
    // Framing lines are matched without their surrounding blanks.
    Fixture f;
    f.p.SendStatusQuery(STATUS_MSG_VERSION);
    f.Parse("<VERSION  \r\nA,B\r\n <VERSION OK \r\n");
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_VERSION});
}

TEST(StatusQuery, ConfigCheckAloneFinishesAtTheNextParse)
{
    Fixture f;
    EXPECT_EQ(f.p.SendStatusQuery(STATUS_MSG_CONFIG_CHECK | STATUS_MSG_POSFREQ), QStringLiteral("posfreq\r\n"));
    f.Parse("x\r\n");
    EXPECT_TRUE(f.Finished.empty());
    f.Parse("<posfreq\r\nCur Pos Freq:10\r\n<posfreq OK\r\n");
    EXPECT_EQ(f.Finished, (std::vector<uint>{STATUS_MSG_POSFREQ, STATUS_MSG_CONFIG_CHECK}));
    EXPECT_DOUBLE_EQ(f.p.m_dPosFreq, 10.0);
}

TEST(StatusQuery, UnansweredQueryTimesOutWithASignal)
{
    Fixture f;
    f.p.SetQueryTimeout(3000);
    f.p.SendStatusQuery(STATUS_MSG_USERCONFIG | STATUS_MSG_LOGLIST);
    f.nNow = 1000;
    f.Parse("<USERCONFIG\r\nPPS ENABLE\r\n<USERCONFIG OK\r\n");
    f.p.OnCheckTimeouts();
    EXPECT_TRUE(f.TimedOut.empty());
    f.nNow = 3000;
    f.p.OnCheckTimeouts();
    EXPECT_EQ(f.TimedOut, std::vector<uint>{STATUS_MSG_LOGLIST});
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_USERCONFIG});
    EXPECT_EQ(f.p.PendingMask(), 0u);
    // A log list with a bad CRC is not an answer: the query still times out.
    std::string sBad = TextLog("LOGLISTA", "1,COM1,GPGGA,ONTIME,1.0,0.0,NOHOLD");
    sBad[sBad.size() - 3] ^= 1;
    f.p.SendStatusQuery(STATUS_MSG_LOGLIST);
    EXPECT_EQ(f.Parse(sBad), uint(STATUS_MSG_LOGLIST));
    f.nNow = 6000;
    f.p.OnCheckTimeouts();
    EXPECT_EQ(f.TimedOut, (std::vector<uint>{STATUS_MSG_LOGLIST, STATUS_MSG_LOGLIST}));
}

TEST(StatusQuery, ResentQueryIgnoresStaleReply)
{
    Fixture f;
    // A reply nobody asked for is not kept for a later query.
    f.Parse("<VERSION\r\nOLD,1\r\n");
    f.p.SendStatusQuery(STATUS_MSG_VERSION);
    f.Parse("<VERSION OK\r\n");
    EXPECT_TRUE(f.Finished.empty());
    // A reply begun for the first query is dropped when the query is sent again.
    f.Parse("<VERSION\r\nOLD,2\r\n");
    f.p.SendStatusQuery(STATUS_MSG_VERSION);
    f.Parse("<VERSION OK\r\n");
    EXPECT_TRUE(f.Finished.empty());
    f.Parse("<VERSION\r\nNEW,3\r\n<VERSION OK\r\n");
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_VERSION});
    EXPECT_EQ(f.p.m_VersionList, QStringList({"NEW", "3"}));
    // The reset flag is cleared when "reset" is sent again.
    f.p.SendStatusQuery(STATUS_MSG_RESET);
    f.Parse("Halvorne User command server\r\n");
    EXPECT_TRUE(f.p.m_bResetSeen);
    f.p.SendStatusQuery(STATUS_MSG_RESET);
    EXPECT_FALSE(f.p.m_bResetSeen);
}

TEST(StatusQuery, ReplyTextIsBounded)
{
    Fixture f;
    f.p.SendStatusQuery(STATUS_MSG_USERCONFIG | STATUS_MSG_VERSION);
    const std::string sLine(100, 'x');
    std::string sBatch = "<USERCONFIG\r\n";
    for (int i = 0; i < 5000; ++i)
        sBatch += sLine + "\r\n";
    f.Parse(sBatch);
    f.Parse(std::string(100000, 'y')); // one line without an end
    EXPECT_LE(f.p.m_sReplyText.size(), 2 * int(QStatusMsgParser::REPLY_TEXT_MAX));
    // The reply that outgrew its bound was dropped; a fresh one still finishes.
    f.Parse("\r\n<USERCONFIG OK\r\n");
    EXPECT_TRUE(f.Finished.empty());
    f.Parse("<USERCONFIG\r\nPPS ENABLE\r\n<USERCONFIG OK\r\n");
    EXPECT_EQ(f.Finished, std::vector<uint>{STATUS_MSG_USERCONFIG});
    EXPECT_EQ(f.p.m_UserConfigList, QStringList({"PPS ENABLE"}));
}
