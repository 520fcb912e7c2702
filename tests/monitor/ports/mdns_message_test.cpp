// DNS messages: the exact bytes of a browse question, a response as another
// responder writes it (compression into the question, upper case, skipped
// record kinds, TXT rules), our own responses read back, and datagrams that
// lie about their lengths, counts and pointers, which must be refused whole.
#include <gtest/gtest.h>

#include "monitor/ports/mdns/mdns_message.h"

namespace
{
const QByteArray TYPE = "_Zorvik_http._tcp.local.";

// Bytes written by hand, independent of the encoder under test.
struct Bytes
{
    QByteArray b;
    Bytes& u8(int v)
    {
        b.append(static_cast<char>(v));
        return *this;
    }
    Bytes& u16(int v) { return u8(v >> 8).u8(v & 0xFF); }
    Bytes& u32(uint32_t v) { return u16(static_cast<int>(v >> 16)).u16(static_cast<int>(v & 0xFFFF)); }
    Bytes& label(const QByteArray& s)
    {
        u8(s.size());
        b.append(s);
        return *this;
    }
    Bytes& name(const QList<QByteArray>& labels)
    {
        for (const QByteArray& l : labels)
            label(l);
        return u8(0);
    }
    Bytes& pointer(int offset) { return u16(0xC000 | offset); }
    Bytes& header(int id, int flags, int qd, int an, int ns = 0, int ar = 0)
    {
        return u16(id).u16(flags).u16(qd).u16(an).u16(ns).u16(ar);
    }
};

MDNS_STATUS_E Decode(const QByteArray& datagram, MDNS_MESSAGE_T* pMessage)
{
    // An exact-size heap copy, so that a read past the end is caught by the sanitizer.
    std::vector<char> copy(datagram.begin(), datagram.end());
    return MdnsDecodeMessage(copy.data(), static_cast<int>(copy.size()), pMessage);
}

TEST(MdnsMessage, BrowseQuestionHasTheWireBytesOfAQueryForTheType)
{
    MDNS_MESSAGE_T query;
    query.Queries.append(MDNS_QUERY_T{TYPE, MDNS_TYPE_PTR, false});
    QByteArray datagram;
    ASSERT_EQ(MDNS_OK, MdnsEncodeMessage(query, &datagram));
    const QByteArray expected = QByteArray::fromHex("000000000001000000000000"
                                                    "0c5f5a6f7276696b5f68747470045f746370056c6f63616c00"
                                                    "000c0001");
    EXPECT_EQ(expected.toHex(), datagram.toHex());
}

TEST(MdnsMessage, ReadsAResponseAsAnotherResponderWritesIt)
{
    Bytes d;
    d.header(0x1234, 0x8400, 1, 5);
    // Question at offset 12: the type, echoed as in a reply to a one-shot query.
    d.name({"_Zorvik_http", "_tcp", "local"}).u16(12).u16(1);
    // PTR whose owner points at the question and whose target ends in a pointer too.
    d.pointer(12).u16(12).u16(1).u32(4500);
    const int nTargetAt = d.b.size() + 2;
    d.u16(7).label("RX-7").pointer(12);
    // SRV for the instance, cache-flush bit set, target "RX-7.local." in capitals.
    d.pointer(nTargetAt).u16(33).u16(0x8001).u32(120);
    d.u16(6 + 12).u16(0).u16(0).u16(80).label("RX-7").label("LOCAL").u8(0);
    // An NSEC record: skipped, the records after it are still read.
    d.pointer(nTargetAt).u16(47).u16(0x8001).u32(120).u16(3).u8(0xC0).u8(nTargetAt).u8(0);
    // TXT: an empty string, a key repeated (the first counts), a key without
    // value, a string without key, and an empty value.
    const QList<QByteArray> txt = {"", "SN=S1", "SN=S2", "Flag", "=x", "Version="};
    int nTxt = 0;
    for (const QByteArray& s : txt)
        nTxt += 1 + s.size();
    d.pointer(nTargetAt).u16(16).u16(0x8001).u32(4500).u16(nTxt);
    for (const QByteArray& s : txt)
        d.label(s);
    // A of a record in another class (CHAOS, 3): skipped.
    d.pointer(nTargetAt).u16(1).u16(3).u32(120).u16(4).u32(0x7F000001);

    MDNS_MESSAGE_T m;
    ASSERT_EQ(MDNS_OK, Decode(d.b, &m));
    EXPECT_TRUE(m.Response);
    EXPECT_EQ(0x1234, m.TransactionId);
    ASSERT_EQ(1, m.Queries.size());
    EXPECT_EQ(TYPE, m.Queries[0].Name);
    ASSERT_EQ(3, m.Records.size());
    EXPECT_EQ(TYPE, m.Records[0].Name);
    EXPECT_EQ(MDNS_TYPE_PTR, m.Records[0].Type);
    EXPECT_EQ(4500u, m.Records[0].Ttl);
    EXPECT_EQ("RX-7." + TYPE, m.Records[0].Target);
    EXPECT_EQ(MDNS_TYPE_SRV, m.Records[1].Type);
    EXPECT_TRUE(m.Records[1].FlushCache);
    EXPECT_EQ(80, m.Records[1].Port);
    EXPECT_EQ("RX-7.LOCAL.", m.Records[1].Target);
    EXPECT_TRUE(MdnsSameName(m.Records[1].Target, "rx-7.local."));
    EXPECT_EQ(MDNS_TYPE_TXT, m.Records[2].Type);
    const QMap<QByteArray, QByteArray> expected{{"SN", "S1"}, {"Flag", QByteArray()}, {"Version", ""}};
    EXPECT_EQ(expected, m.Records[2].Attributes);
    EXPECT_TRUE(m.Records[2].Attributes["Flag"].isNull());
    EXPECT_FALSE(m.Records[2].Attributes["Version"].isNull());
}

TEST(MdnsMessage, OwnResponseReadsBackWithEachNameWrittenOnce)
{
    MDNS_MESSAGE_T m;
    m.Response = true;
    const QByteArray instance = "Board\\.2 east." + TYPE; // an instance label holding a dot
    MDNS_RECORD_T ptr;
    ptr.Name = TYPE;
    ptr.Type = MDNS_TYPE_PTR;
    ptr.Ttl = 4500;
    ptr.Target = instance;
    MDNS_RECORD_T srv;
    srv.Name = instance;
    srv.Type = MDNS_TYPE_SRV;
    srv.FlushCache = true;
    srv.Ttl = 120;
    srv.Priority = 1;
    srv.Weight = 2;
    srv.Port = 8080;
    srv.Target = "board2.local.";
    MDNS_RECORD_T txt = srv;
    txt.Type = MDNS_TYPE_TXT;
    txt.Target.clear();
    txt.Port = txt.Priority = txt.Weight = 0;
    txt.Attributes = {{"BoardType", "B9"}, {"ProductID", "77"}, {"Dual", QByteArray()}};
    MDNS_RECORD_T a;
    a.Name = "board2.local.";
    a.Type = MDNS_TYPE_A;
    a.Ttl = 120;
    a.Address = QHostAddress("192.168.1.20");
    MDNS_RECORD_T aaaa = a;
    aaaa.Type = MDNS_TYPE_AAAA;
    aaaa.Address = QHostAddress("fe80::1:2");
    m.Records = {ptr, srv, txt, a, aaaa};

    QByteArray datagram;
    ASSERT_EQ(MDNS_OK, MdnsEncodeMessage(m, &datagram));
    EXPECT_EQ(1, datagram.count("\x0c_Zorvik_http"));
    EXPECT_EQ(1, datagram.count("\x06"
                                "board2"));
    MDNS_MESSAGE_T back;
    ASSERT_EQ(MDNS_OK, Decode(datagram, &back));
    ASSERT_EQ(m.Records.size(), back.Records.size());
    for (int i = 0; i < m.Records.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_TRUE(m.Records[i].SameData(back.Records[i]));
        EXPECT_EQ(m.Records[i].Ttl, back.Records[i].Ttl);
        EXPECT_EQ(m.Records[i].FlushCache, back.Records[i].FlushCache);
    }
    EXPECT_EQ(instance, back.Records[0].Target);
    QList<QByteArray> labels;
    ASSERT_TRUE(MdnsSplitName(back.Records[0].Target, &labels));
    EXPECT_EQ("Board.2 east", labels.value(0));
    EXPECT_EQ(8080, back.Records[1].Port);
    EXPECT_EQ(2, back.Records[1].Weight);
}

TEST(MdnsMessage, EncoderRefusesNamesTheWireCannotHold)
{
    MDNS_MESSAGE_T m;
    QByteArray datagram = "untouched";
    m.Queries = {MDNS_QUERY_T{QByteArray(64, 'a') + ".local.", MDNS_TYPE_A, false}};
    EXPECT_EQ(MDNS_BAD_LABEL, MdnsEncodeMessage(m, &datagram));
    m.Queries = {MDNS_QUERY_T{"a..local.", MDNS_TYPE_A, false}};
    EXPECT_EQ(MDNS_BAD_LABEL, MdnsEncodeMessage(m, &datagram));
    QByteArray longName;
    for (int i = 0; i < 4; ++i)
        longName += QByteArray(63, 'a' + i) + ".";
    m.Queries = {MDNS_QUERY_T{longName, MDNS_TYPE_A, false}};
    EXPECT_EQ(MDNS_NAME_TOO_LONG, MdnsEncodeMessage(m, &datagram));
    EXPECT_EQ("untouched", datagram);
}

struct HOSTILE_T
{
    const char* What;
    QByteArray Datagram;
    MDNS_STATUS_E Expected;
};

std::vector<HOSTILE_T> HostileDatagrams()
{
    std::vector<HOSTILE_T> cases;
    cases.push_back({"header cut short", QByteArray::fromHex("0000840000010000000000"), MDNS_TRUNCATED});
    cases.push_back({"pointer to itself", Bytes().header(0, 0, 1, 0).pointer(12).u16(1).u16(1).b, MDNS_BAD_POINTER});
    cases.push_back({"pointer forward",
                     Bytes().header(0, 0, 2, 0).pointer(18).u16(1).u16(1).label("a").u8(0).u16(1).u16(1).b,
                     MDNS_BAD_POINTER});
    {
        // "a" then a pointer back to the "a": a loop through a label.
        Bytes d;
        d.header(0, 0, 1, 0).label("a").pointer(12).u16(1).u16(1);
        cases.push_back({"pointer loop through a label", d.b, MDNS_BAD_POINTER});
    }
    cases.push_back(
        {"reserved label kind", Bytes().header(0, 0, 1, 0).u8(0x41).b + QByteArray(70, 'x'), MDNS_BAD_LABEL});
    cases.push_back({"label past the end", Bytes().header(0, 0, 1, 0).u8(5).u8('a').u8('b').b, MDNS_TRUNCATED});
    cases.push_back({"pointer cut in half", Bytes().header(0, 0, 1, 0).u8(0xC0).b, MDNS_TRUNCATED});
    {
        // Four names of one 63-byte label each, every one pointing at the one
        // before: the last reads as 4 labels, longer than a name may be.
        Bytes d;
        d.header(0, 0, 4, 0);
        int previous = d.b.size();
        d.label(QByteArray(63, 'a')).u8(0).u16(1).u16(1);
        for (int i = 0; i < 3; ++i)
        {
            const int here = d.b.size();
            d.label(QByteArray(63, 'b' + i)).pointer(previous).u16(1).u16(1);
            previous = here;
        }
        cases.push_back({"name longer than 255 through pointers", d.b, MDNS_NAME_TOO_LONG});
    }
    cases.push_back({"counts far beyond the datagram",
                     Bytes().header(0, 0x8400, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF).label("a").u8(0).u16(1).u16(1).b,
                     MDNS_TRUNCATED});
    cases.push_back({"record data longer than the datagram",
                     Bytes().header(0, 0x8400, 0, 1).label("a").u8(0).u16(1).u16(1).u32(10).u16(100).u32(1).b,
                     MDNS_TRUNCATED});
    cases.push_back({"A record of five bytes",
                     Bytes().header(0, 0x8400, 0, 1).label("a").u8(0).u16(1).u16(1).u32(10).u16(5).u32(1).u8(1).b,
                     MDNS_BAD_RDATA});
    cases.push_back({"AAAA record of four bytes",
                     Bytes().header(0, 0x8400, 0, 1).label("a").u8(0).u16(28).u16(1).u32(10).u16(4).u32(1).b,
                     MDNS_BAD_RDATA});
    cases.push_back({"SRV longer than its record length",
                     Bytes()
                         .header(0, 0x8400, 0, 1)
                         .label("a")
                         .u8(0)
                         .u16(33)
                         .u16(1)
                         .u32(10)
                         .u16(4)
                         .u16(0)
                         .u16(0)
                         .u16(80)
                         .label("h")
                         .u8(0)
                         .b,
                     MDNS_BAD_RDATA});
    cases.push_back(
        {"PTR target running past its record",
         Bytes().header(0, 0x8400, 0, 1).label("a").u8(0).u16(12).u16(1).u32(10).u16(2).label("tgt").u8(0).b,
         MDNS_BAD_RDATA});
    cases.push_back({"good record then a truncated one",
                     Bytes()
                         .header(0, 0x8400, 0, 2)
                         .label("a")
                         .u8(0)
                         .u16(1)
                         .u16(1)
                         .u32(10)
                         .u16(4)
                         .u32(1)
                         .pointer(12)
                         .u16(1)
                         .u16(1)
                         .u32(10)
                         .b,
                     MDNS_TRUNCATED});
    return cases;
}

TEST(MdnsMessage, HostileDatagramsAreRefusedWhole)
{
    for (const HOSTILE_T& c : HostileDatagrams())
    {
        SCOPED_TRACE(c.What);
        MDNS_MESSAGE_T m;
        m.Records.append(MDNS_RECORD_T{});
        EXPECT_EQ(c.Expected, Decode(c.Datagram, &m));
        EXPECT_TRUE(m.Queries.isEmpty());
        EXPECT_TRUE(m.Records.isEmpty());
        // Every shorter piece of it is refused too, never read past.
        for (int n = 0; n < c.Datagram.size(); ++n)
            EXPECT_NE(MDNS_OK, Decode(c.Datagram.left(n), &m)) << n;
    }
}
} // namespace
