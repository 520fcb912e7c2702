// A receiver streaming at full rate through the serial and the TCP port:
// every byte it sends reaches the user interface, in order; and the replies
// to the status queries and log commands come back as the status parser reads
// them.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <algorithm>

#include "monitor/parsing/port_receiver.h"
#include "monitor/parsing/status_msg_parser.h"
#include "support/monitor/handed_over.h"
#include "support/monitor/receiver_ports.h"

namespace
{
std::string Wire(const std::vector<STREAM_ITEM_T>& Items)
{
    std::string s;
    for (const STREAM_ITEM_T& it : Items)
        s += it.Wire;
    return s;
}
} // namespace

TEST(PortStream, EveryByteOfAFullRateStreamArrivesInOrder)
{
    for (const bool bTcp : {false, true})
    {
        SCOPED_TRACE(bTcp ? "TCP" : "serial");
        RECEIVER_RULES_T rules;
        rules.Port = bTcp ? "ICOM1" : "COM2";
        FakeReceiver rx(rules);
        ASSERT_TRUE(bTcp ? rx.Listen() != 0 : rx.Plug());
        std::unique_ptr<QSignalSpy> pShown;
        auto spy = [&](QZvPortCtrlBase* pCtrl)
        { pShown = std::make_unique<QSignalSpy>(pCtrl, &QZvPortCtrlBase::SignalUpdateUI); };
        PortPtr port = bTcp ? OpenTcpPort(rx, spy) : OpenUartPort(rx, 115200, spy);
        QSignalSpy& shown = *pShown;
        ASSERT_TRUE(WaitUntil([&] { return port->IsPropertyValid(); }));

        rx.StartStream(STREAM_ALL, 100000);
        ASSERT_TRUE(WaitUntil([&] { return rx.SentBytes() >= 100000; }));
        rx.StopStream();
        // The stream ends with a whole item; then nothing more is sent.
        const std::string sent = Wire(rx.Sent());
        ASSERT_TRUE(WaitUntil([&] { return Joined(shown).size() >= static_cast<int>(sent.size()); }));
        EXPECT_EQ(rx.UnsentBytes(), 0u);
        const std::string got = Joined(shown).toStdString();
        const size_t nDiff = std::mismatch(got.begin(), got.end(), sent.begin(), sent.end()).first - got.begin();
        EXPECT_TRUE(got == sent) << "lost, added or reordered bytes from " << nDiff << " of " << sent.size() << ": "
                                 << got.substr(nDiff > 40 ? nDiff - 40 : 0, 120);
    }
}

TEST(PortStream, AReceiverAlreadyStreamingBinaryLogsIsAcceptedInTheDefaultMode)
{
    // A receiver usually streams its logs before the port opens: its reply
    // to the property query comes amid binary logs, zero bytes and all, and
    // more of them than the reply area holds arrive while the query waits.
    // Its NETCONFIG reply comes a while after the VERSION one, and its IP
    // address is taken all the same.
    ASSERT_FALSE(QZvPortCtrlBase::GetProcessMode());
    for (const bool bTcp : {false, true})
    {
        SCOPED_TRACE(bTcp ? "TCP" : "serial");
        RECEIVER_RULES_T rules;
        rules.NetConfigDelayMs = 250;
        FakeReceiver rx(rules);
        ASSERT_TRUE(bTcp ? rx.Listen() != 0 : rx.Plug());
        rx.StartStream(STREAM_BINARY_LOGS, 100000);
        QObject context;
        QList<int> fails;
        auto watch = [&](QZvPortCtrlBase* pCtrl)
        {
            QObject::connect(pCtrl, &QZvPortCtrlBase::SignalAddPortFail, &context,
                             [&](uint, QZvPortCtrlBase::PORT_TYPE_E, int Errflag, QString) { fails << Errflag; });
        };
        PortPtr port = bTcp ? OpenTcpPort(rx, watch) : OpenUartPort(rx, 115200, watch);
        ASSERT_TRUE(WaitUntil([&] { return port->IsPropertyValid() || !fails.isEmpty(); })) << "no verdict";
        EXPECT_TRUE(fails.isEmpty()) << "refused with " << fails.value(0);
        EXPECT_TRUE(port->IsPropertyValid());
        EXPECT_EQ(port->Property.Get().SN, QStringLiteral("123"));
        EXPECT_EQ(port->Property.Get().IP, QStringLiteral("192.168.1.20"));
        rx.StopStream();
    }
}

TEST(PortStream, StatusQueriesAndLogCommandsAreAnsweredAsTheParserReadsThem)
{
    FakeReceiver rx;
    ASSERT_TRUE(rx.Plug());
    PortPtr port = OpenUartPort(rx);
    ASSERT_TRUE(WaitUntil([&] { return port->IsPropertyValid(); }));
    EXPECT_EQ(port->Property.Get().SN, QStringLiteral("123"));

    // The port's receive road, reading as text as the data view's ASCII mode does.
    CPortReceiver road;
    QStatusMsgParser& parser = *road.StatusParser();
    QByteArray shown;
    road.SetDisplay([&](const char* p, int n) { shown.append(p, n); });
    QObject::connect(port.get(), &QZvPortCtrlBase::SignalUpdateUI, &road,
                     [&](uint, QZvPortCtrlBase::PORT_TYPE_E, QByteArray Data)
                     {
                         CPortReceiver::BATCH_T how;
                         how.Mode = CPortReceiver::READ_ASCII;
                         road.Receive(Data, how);
                     });
    auto write = [&](const QByteArray& Cmd)
    { QMetaObject::invokeMethod(port.get(), [&, Cmd] { port->OnWritePort(port->UniquePortID, Cmd); }); };

    write("LOG COM2 GPGGA ONTIME 0.1\r\nlog bestposb ontime 1\r\n");
    ASSERT_TRUE(WaitUntil([&] { return shown.count("$GPGGA,") >= 3; }));
    write(parser.SendStatusQuery(STATUS_MSG_USERCONFIG | STATUS_MSG_VERSION | STATUS_MSG_LOGLIST | STATUS_MSG_POSFREQ)
              .toLatin1());
    ASSERT_TRUE(WaitUntil([&] { return parser.PendingMask() == 0; })) << parser.MaskDescription().toStdString();
    EXPECT_EQ(parser.m_VersionList.value(0), QStringLiteral("ZV100-A1"));
    EXPECT_EQ(parser.m_LogNameList, QStringList({"GPGGA", "BESTPOSB"}));
    EXPECT_EQ(parser.m_LogPortList, QStringList({"COM2", "COM2"}));
    EXPECT_DOUBLE_EQ(parser.m_LogPeriodList.value(0), 0.1);
    EXPECT_EQ(parser.m_NetIpList, QStringList({"192", "168", "1", "20"}));
    EXPECT_DOUBLE_EQ(parser.m_dPosFreq, 5.0);

    // UNLOG stops a log; a wrong command is refused.
    write("unlog gpgga\r\nlog nosuchlog\r\n");
    ASSERT_TRUE(WaitUntil([&] { return shown.contains("<ERROR:Invalid Message. ID:NOSUCHLOG"); }));
    ASSERT_EQ(rx.Logging().size(), 1u);
    EXPECT_EQ(rx.Logging()[0].Name, "BESTPOSB");

    // After "COM", the receiver talks only at its new rate: at the old one
    // its log arrives as noise and commands go unanswered.
    write("COM 460800\r\n");
    ASSERT_TRUE(WaitUntil([&] { return rx.Rate() == 460800u; }));
    rx.ClearSent();
    write("version\r\n");
    ASSERT_TRUE(WaitUntil([&] { return !rx.Sent().empty(); }, 20000)) << "the BESTPOSB log goes on";
    EXPECT_EQ(rx.Sent()[0].Name, "noise");
}
