// Receiver properties from the reply to "version\r\nnetconfig\r\n".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "monitor/ports/port_property.h"
#include "support/monitor/receiver_stream.h"

namespace
{
const char* const kFullReply = "version\r\n<VERSION\r\nZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F\r\n"
                               "<VERSION OK\r\n[COM2]netconfig\r\n<NETCONFIG\r\n"
                               "NETCONFIG STATIC 192.168.1.20 255.255.255.0\r\n<NETCONFIG OK\r\n";
}

TEST(PortProperty, ParsesVersionPromptAndNetconfig)
{
    QZvPortProperty property;
    EXPECT_EQ(QZvPortProperty::GetQueryCmd(), QByteArray("version\r\nnetconfig\r\n"));
    ASSERT_TRUE(property.Parse(QString::fromLatin1(kFullReply)));
    const PORT_PROPERTY_T p = property.Get();
    EXPECT_EQ(p.VersionLine, "ZV100-A1,R3.1.0,x,1A2B0001,ID:201801234B560042,SN:123,F:1F");
    EXPECT_EQ(p.BoardName, "ZV100");
    EXPECT_EQ(p.Model, "ZV100-A1");
    EXPECT_EQ(p.FirmwareVersion, "R3.1.0");
    EXPECT_EQ(p.ProductCode, "1A2B");
    EXPECT_EQ(p.ID, "201801234B560042");
    EXPECT_EQ(p.SN, "123");
    EXPECT_EQ(p.FValue, 0x1Fu);
    EXPECT_EQ(p.Port, "COM2");
    EXPECT_EQ(p.PortShort, "U2");
    EXPECT_EQ(p.IP, "192.168.1.20");
    EXPECT_TRUE(p.bIpFound);
    EXPECT_EQ(p.FirmwareLabel, "R3.1.0-1.1_42");
}

TEST(PortProperty, ReplyArrivingInPiecesParsesOnceComplete)
{
    QZvPortProperty property;
    const QString full = QString::fromLatin1(kFullReply);
    const int cut = full.indexOf(QStringLiteral("<VERSION OK")) + 5;
    EXPECT_FALSE(property.Parse(full.left(cut)));
    EXPECT_TRUE(property.Get().SN.isEmpty()) << "a failed parse changes nothing";
    EXPECT_TRUE(property.Parse(full));
}

TEST(PortProperty, ReplyAmidAStreamOfBinaryLogsIsFoundWhereverItFalls)
{
    // The reply gathered from received chunks of a receiver that streams
    // binary logs (zero bytes in every header) before, around and after it:
    // a little or far more than the reply area before it, cut into small or
    // large chunks, one cut always falling inside the reply. The NETCONFIG
    // reply comes with the VERSION one or after more logs, as a receiver
    // answers the two commands one after the other.
    struct Case
    {
        size_t LogsBefore;
        int Chunk;
        size_t LogsBetween;
    };
    const Case cases[] = {{300, 64, 0},
                          {5 * QZvPortProperty::REPLY_AREA_SIZE, 700, 0},
                          {5 * QZvPortProperty::REPLY_AREA_SIZE, 3 * QZvPortProperty::REPLY_AREA_SIZE, 0},
                          {300, 64, 2000},
                          {300, 700, 3 * QZvPortProperty::REPLY_AREA_SIZE}};
    const std::string full = kFullReply;
    const size_t netAt = full.find("<NETCONFIG");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.LogsBefore << " bytes of logs, chunks of " << c.Chunk << ", "
                                        << c.LogsBetween << " bytes between the replies");
        ReceiverStream stream;
        auto logs = [&](size_t nBytes)
        {
            std::string s;
            while (s.size() < nBytes)
                for (const STREAM_ITEM_T& it : stream.NextEpoch(STREAM_BINARY_LOGS))
                    s += it.Wire;
            return s;
        };
        std::string wire = logs(c.LogsBefore);
        ASSERT_NE(wire.find('\0'), std::string::npos);
        const size_t replyAt = wire.size();
        wire += full.substr(0, netAt) + logs(c.LogsBetween);
        const size_t netReplyAt = wire.size();
        wire += full.substr(netAt) + logs(1);

        QZvPortProperty property;
        PROPERTY_REPLY_T gathered;
        size_t versionAt = 0, wholeAt = 0;
        // Chunks are aligned so that one ends 40 bytes into the reply.
        size_t from = 0;
        const size_t firstEnd = (replyAt + 40) % static_cast<size_t>(c.Chunk);
        for (size_t end = firstEnd; from < wire.size() && wholeAt == 0; end += c.Chunk)
        {
            const size_t to = std::min(end, wire.size());
            const int state = property.ParseGathered(&gathered, wire.data() + from, static_cast<int>(to - from));
            if (state != QZvPortProperty::REPLY_NONE && versionAt == 0)
                versionAt = to;
            if (state == QZvPortProperty::REPLY_WHOLE)
                wholeAt = to;
            from = to;
            if (wholeAt == 0)
            {
                EXPECT_LE(gathered.Text.size(), QZvPortProperty::REPLY_AREA_SIZE);
            }
        }
        EXPECT_GT(versionAt, replyAt);
        EXPECT_GT(wholeAt, netReplyAt);
        EXPECT_EQ(property.Get().SN, QStringLiteral("123"));
        EXPECT_EQ(property.Get().Port, QStringLiteral("COM2"));
        EXPECT_EQ(property.Get().IP, QStringLiteral("192.168.1.20"));
        EXPECT_TRUE(QZvPortProperty::ReplyArea(gathered).contains("<NETCONFIG OK"));
    }
}

TEST(PortProperty, ARefusedNetconfigEndsTheReplyWithoutAnAddress)
{
    const QByteArray version = "<VERSION\r\nZV100-A1,R3.1.0,x,1A2B,ID:x,SN:9,F:0\r\n<VERSION OK\r\n[COM1]";
    for (const char* refusal : {"netconfig\r\n<ERROR:Invalid Command\r\n", "netconfig\r\n<NETCONFIG ERROR\r\n"})
    {
        SCOPED_TRACE(refusal);
        QZvPortProperty property;
        PROPERTY_REPLY_T gathered;
        EXPECT_EQ(property.ParseGathered(&gathered, version.constData(), version.size()),
                  QZvPortProperty::REPLY_VERSION);
        EXPECT_EQ(property.ParseGathered(&gathered, refusal, static_cast<int>(strlen(refusal))),
                  QZvPortProperty::REPLY_WHOLE);
        EXPECT_EQ(property.Get().SN, QStringLiteral("9"));
        EXPECT_FALSE(property.Get().bIpFound);
    }
}

TEST(PortProperty, RejectsIncompleteReplies)
{
    const char* const kBad[] = {
        "<VERSION OK\r\nZV100-A1,R3.1.0,x,1A2B,a,b,c\r\n",       // marker is the first line
        "x\r\nZV100-A1,R3.1.0,x,1A2B,a,SN:1\r\n<VERSION OK\r\n", // six fields
        "ZV100-A1,R3.1.0,x,1A2B,a,b,c\r\n",                      // no marker
        "",
    };
    for (const char* text : kBad)
    {
        PORT_PROPERTY_T p;
        EXPECT_FALSE(QZvPortProperty::ParseText(QString::fromLatin1(text), &p)) << text;
    }
    PORT_PROPERTY_T p;
    ASSERT_TRUE(
        QZvPortProperty::ParseText(QStringLiteral("x\r\nZV100-A1,R3.1.0,x,1A2B,a,SN:123,c\r\n<VERSION OK\r\n"), &p));
    EXPECT_EQ(p.SN, "123");
    EXPECT_TRUE(p.Port.isEmpty());
    EXPECT_FALSE(p.bIpFound);
}

TEST(PortProperty, PortComesOnlyFromThePrompt)
{
    struct Case
    {
        const char* after;
        const char* port;
        const char* shortPort;
    };
    const Case cases[] = {
        {"[COM1]", "COM1", "U1"},
        {"[COM2]netconfig", "COM2", "U2"},
        {"[ICOM3]", "ICOM3", "ICOM3"},
        {"#BESTPOSA,COM1,0,55.0]", "", ""}, // a log line, not a prompt
        {"[COM1", "", ""},
    };
    for (const Case& c : cases)
    {
        PORT_PROPERTY_T p;
        const QString text =
            QStringLiteral("v\r\nB-1,F,x,1234,ID:x,SN:1,F:0\r\n<VERSION OK\r\n") + QLatin1String(c.after);
        ASSERT_TRUE(QZvPortProperty::ParseText(text, &p)) << c.after;
        EXPECT_EQ(p.Port, QLatin1String(c.port)) << c.after;
        EXPECT_EQ(p.PortShort, QLatin1String(c.shortPort)) << c.after;
    }
}

TEST(PortProperty, FirmwareLabelFromTheId)
{
    struct Case
    {
        const char* id;
        const char* label;
    };
    const Case cases[] = {
        {"201801234B560042", "R1-1.1_42"},
        {"201701234A560142", "R1-1.0_142"},
        {"201801234Z561234", "R1-_1234"}, // unknown revision letter
        {"XXXXXX13XXXX0142", "R1-1.3_142"},
        {"XXXXXX13XXXX0042", "R1-1.3_42"},
        {"XXXXXX13XXXX0A42", "R1-1.3_42"}, // second character not a non-zero digit
        {"XXXXXX13", "R1-1.3_"},           // too short for a serial
        {"2018", "R1-_"},
        {"", "R1-_"},
    };
    for (const Case& c : cases)
    {
        PORT_PROPERTY_T p;
        const QString text =
            QStringLiteral("v\r\nB-1,R1,x,1234,ID:%1,SN:1,F:0\r\n<VERSION OK\r\n").arg(QLatin1String(c.id));
        ASSERT_TRUE(QZvPortProperty::ParseText(text, &p)) << c.id;
        EXPECT_EQ(p.FirmwareLabel, QLatin1String(c.label)) << c.id;
    }
}
