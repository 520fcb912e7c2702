// The caster protocol's plain routines: logins, GGA sentences, the requests
// byte for byte, the check of caster replies however they are split, and
// chunked transfer coding.
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <string>
#include <vector>

#include "monitor/ports/ntrip_protocol.h"

namespace
{
NTRIP_CONFIG_T Config()
{
    NTRIP_CONFIG_T config;
    NtripSetDefaultConfig(&config);
    std::strcpy(config.ServerName, "127.0.0.1");
    return config;
}

std::string Request(const NTRIP_CONFIG_T& Config, const char* pGga = nullptr)
{
    char out[NTRIP_REQUEST_MAX];
    const int n = NtripBuildRequest(&Config, pGga, out, sizeof(out));
    return n < 0 ? "error " + std::to_string(n) : std::string(out, static_cast<size_t>(n));
}

// "*HH" of an NMEA sentence, worked out apart from the code under test.
std::string Checksum(const std::string& Body)
{
    unsigned x = 0;
    for (char c : Body)
    {
        x ^= static_cast<unsigned char>(c);
    }
    char text[4];
    std::snprintf(text, sizeof(text), "%02X", x);
    return text;
}

std::string Gga(const NTRIP_POSITION_T& Position)
{
    char out[NTRIP_GGA_MAX];
    const int n = NtripBuildGga(&Position, out, sizeof(out));
    return n < 0 ? "error" : std::string(out, static_cast<size_t>(n));
}

int Check(const NTRIP_CONFIG_T& Config, const std::string& Reply, NTRIP_REPLY_T* pReply = nullptr)
{
    NTRIP_REPLY_T reply;
    const int result = NtripCheckReply(&Config, Reply.data(), static_cast<int>(Reply.size()), &reply);
    if (pReply != nullptr)
    {
        *pReply = reply;
    }
    return result;
}

std::string Dechunk(NTRIP_CHUNK_DECODER_T* pState, const std::string& In, int* pResult, int* pEnded)
{
    std::vector<char> out(In.size() + 1);
    *pResult = NtripDechunk(pState, In.data(), static_cast<int>(In.size()), out.data(), pEnded);
    return *pResult > 0 ? std::string(out.data(), static_cast<size_t>(*pResult)) : std::string();
}
} // namespace

// The socket layer's start-up gives 0 when a socket can be had, and 1 when
// the process may open no more files (its limit lowered for the moment).
TEST(NtripProtocol, StartupSaysWhetherASocketCanBeHad)
{
    EXPECT_EQ(NtripStartup(), 0);
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit none = limit;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    const int nStarved = NtripStartup();
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &limit), 0);
    EXPECT_EQ(nStarved, 1);
    EXPECT_EQ(NtripStartup(), 0);
}

TEST(NtripProtocol, Base64AndLogin)
{
    const char* vectors[][2] = {{"", ""},
                                {"f", "Zg=="},
                                {"fo", "Zm8="},
                                {"foo", "Zm9v"},
                                {"foob", "Zm9vYg=="},
                                {"fooba", "Zm9vYmE="},
                                {"foobar", "Zm9vYmFy"}};
    for (const auto& v : vectors)
    {
        char out[16];
        EXPECT_EQ(NtripBase64Encode(v[0], static_cast<int>(std::strlen(v[0])), out, sizeof(out)),
                  static_cast<int>(std::strlen(v[1])));
        EXPECT_STREQ(out, v[1]);
    }
    char small[8];
    EXPECT_EQ(NtripBase64Encode("foobar", 6, small, sizeof(small)), -1) << "no room for the NUL";

    char login[400];
    EXPECT_EQ(NtripEncodeLogin(login, sizeof(login), "user0", "kiwe7"), 16);
    EXPECT_STREQ(login, "dXNlcjA6a2l3ZTc=");
    const std::string user254(254, 'u'), user256(256, 'u');
    EXPECT_GT(NtripEncodeLogin(login, sizeof(login), user254.c_str(), ""), 0) << "255 characters joined";
    EXPECT_EQ(NtripEncodeLogin(login, sizeof(login), user254.c_str(), "p"), -1);
    EXPECT_EQ(NtripEncodeLogin(login, sizeof(login), user256.c_str(), ""), -1);
    EXPECT_EQ(NtripFindString("ICY 200 OK\r\n", 12, "OK"), 8);
    EXPECT_EQ(NtripFindString("ICY 200 OK\r\n", 9, "OK"), -1) << "no further than n bytes";
}

TEST(NtripProtocol, GgaSentence)
{
    struct CASE_T
    {
        NTRIP_POSITION_T Position;
        const char* Fields; // between "$" and "*"
    };
    const CASE_T cases[] = {
        {{123456000, 34638250, -33.25, 151.5, 12.5}, "GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,"},
        {{0, 0, 39.5, 116.25, -5.25}, "GPGGA,000000.00,3930.0000,N,11615.0000,E,1,10,0,-5.25,M,0,M,,"},
        // Leading zeros keep the widths; minutes that round up carry into the degrees.
        {{1000, 43200000, 5.5, -0.5, 0.0}, "GPGGA,120000.00,0530.0000,N,00030.0000,W,1,10,0,0.00,M,0,M,,"},
        {{1000, 86399990, 39.99999999, -179.999999999, 8848.86},
         "GPGGA,235959.99,4000.0000,N,18000.0000,W,1,10,0,8848.86,M,0,M,,"},
        // UTC unknown: the time stays empty; a leap second is second 60.
        {{1000, -1, 0.0, 0.0, 0.0}, "GPGGA,,0000.0000,N,00000.0000,E,1,10,0,0.00,M,0,M,,"},
        {{1000, 86400500, 1.0, 1.0, 1.0}, "GPGGA,235960.50,0100.0000,N,00100.0000,E,1,10,0,1.00,M,0,M,,"},
    };
    for (const CASE_T& c : cases)
    {
        EXPECT_EQ(Gga(c.Position), "$" + std::string(c.Fields) + "*" + Checksum(c.Fields) + "\r\n");
    }
    EXPECT_EQ(Gga(cases[0].Position), "$GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n");

    const NTRIP_POSITION_T bad[] = {
        {-1000, 0, 39.5, 116.25, 0.0}, // no fix yet
        {0, 0, 90.5, 0.0, 0.0},        {0, 0, 0.0, 180.5, 0.0}, {0, 0, std::nan(""), 0.0, 0.0}, {0, 0, 0.0, 0.0, 1e300},
    };
    for (const NTRIP_POSITION_T& p : bad)
    {
        EXPECT_EQ(Gga(p), "error");
    }
    char tiny[20];
    EXPECT_EQ(NtripBuildGga(&cases[0].Position, tiny, sizeof(tiny)), -1);
}

TEST(NtripProtocol, RequestsByteForByte)
{
    const std::string gga = "$GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n";
    const NTRIP_CONFIG_T defaults = Config();

    NTRIP_CONFIG_T v1 = defaults;
    v1.Mode = 1;
    v1.User[0] = v1.Password[0] = '\0';
    NTRIP_CONFIG_T table = defaults;
    table.SourceTable = 1;
    NTRIP_CONFIG_T proxy = defaults;
    std::strcpy(proxy.ServerName, "caster.example.com");
    std::strcpy(proxy.ProxyHost, "proxy.local");
    proxy.ProxyPort = 8080;
    proxy.Port = 0x10000 + 2102;
    NTRIP_CONFIG_T source = defaults;
    source.ServerMode = 1;
    source.Mode = 1;
    NTRIP_CONFIG_T post = defaults;
    post.ServerMode = 1;

    struct CASE_T
    {
        const char* Name;
        const NTRIP_CONFIG_T* pConfig;
        const char* pGga;
        std::string Expected;
    };
    const CASE_T cases[] = {
        {"NTRIP 2 with login and position", &defaults, gga.c_str(),
         "GET /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\n"
         "User-Agent: NTRIP ZorvikMonitor/2.0\r\n"
         "Ntrip-GGA: $GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n"
         "Connection: close\r\nAuthorization: Basic dXNlcjA6a2l3ZTc=\r\n\r\n" +
             gga},
        {"NTRIP 2 without a position", &defaults, "",
         "GET /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\n"
         "User-Agent: NTRIP ZorvikMonitor/2.0\r\nConnection: close\r\nAuthorization: Basic dXNlcjA6a2l3ZTc=\r\n\r\n"},
        {"NTRIP 1 without a login", &v1, nullptr,
         "GET /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: NTRIP ZorvikMonitor/2.0\r\nConnection: close\r\n\r\n"},
        {"source table", &table, gga.c_str(),
         "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\nUser-Agent: NTRIP ZorvikMonitor/2.0\r\n"
         "Connection: close\r\n\r\n"},
        {"through a proxy", &proxy, nullptr,
         "GET http://caster.example.com:2102/BJNR0 HTTP/1.1\r\nHost: caster.example.com\r\n"
         "Ntrip-Version: Ntrip/2.0\r\nUser-Agent: NTRIP ZorvikMonitor/2.0\r\nConnection: close\r\n"
         "Authorization: Basic dXNlcjA6a2l3ZTc=\r\n\r\n"},
        {"NTRIP 1 server", &source, gga.c_str(),
         "SOURCE kiwe7 /BJNR0\r\nSource-Agent: NTRIP ZorvikMonitor/2.0\r\n\r\n"},
        {"NTRIP 2 server", &post, gga.c_str(),
         "POST /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\nUser-Agent: NTRIP "
         "ZorvikMonitor/2.0\r\n"
         "Authorization: Basic dXNlcjA6a2l3ZTc=\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n"},
    };
    for (const CASE_T& c : cases)
    {
        EXPECT_EQ(Request(*c.pConfig, c.pGga), c.Expected) << c.Name;
    }

    // A mount point of "%..." also asks for the table.
    NTRIP_CONFIG_T percent = defaults;
    std::strcpy(percent.MountPoint, "%");
    EXPECT_TRUE(NtripWantsSourceTable(&percent));
    EXPECT_FALSE(NtripWantsSourceTable(&defaults));

    // Text arrays filled to their end are read no further; a request that
    // does not fit is refused, not cut.
    NTRIP_CONFIG_T full = defaults;
    std::memset(full.MountPoint, 'M', sizeof(full.MountPoint));
    std::memset(full.Agent, 'A', sizeof(full.Agent));
    std::memset(full.User, 'u', sizeof(full.User));
    const std::string request = Request(full, gga.c_str());
    EXPECT_EQ(request.find("GET /" + std::string(80, 'M') + " HTTP/1.1\r\n"), 0u);
    EXPECT_NE(request.find("User-Agent: NTRIP " + std::string(64, 'A') + "/2.0\r\n"), std::string::npos);
    char small[200];
    EXPECT_EQ(NtripBuildRequest(&full, gga.c_str(), small, sizeof(small)), -NTRIP_REQUEST_TOO_LONG);
}

TEST(NtripProtocol, CasterRepliesHoweverTheyAreSplit)
{
    const NTRIP_CONFIG_T stream = Config();
    NTRIP_CONFIG_T table = stream;
    table.SourceTable = 1;
    NTRIP_CONFIG_T source = stream;
    source.ServerMode = 1;
    source.Mode = 1;
    NTRIP_CONFIG_T post = stream;
    post.ServerMode = 1;

    const std::string longHeader = "HTTP/1.1 200 OK\r\n" + []
    {
        std::string s;
        while (s.size() < NTRIP_REPLY_HEADER_MAX)
        {
            s += "X-Pad: 0123456789\r\n";
        }
        return s;
    }();
    struct CASE_T
    {
        const NTRIP_CONFIG_T* pConfig;
        std::string Reply;
        int Result;
        int HeaderLength; // when accepted
        int Chunked;
        const char* Reason; // part of the reason when refused
    };
    const CASE_T cases[] = {
        {&stream, std::string("ICY 200 OK\r\n\xD3\x00\x13", 15), 0, 12, 0, ""},
        {&stream, "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\nContent-Type: gnss/data\r\n\r\n\xD3", 0, 70, 0, ""},
        {&stream, "HTTP/1.0 200 OK\r\ncontent-type:GNSS/DATA\r\nTRANSFER-ENCODING: chunked\r\n\r\n5\r\n", 0, 71, 1, ""},
        {&stream, "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic\r\n\r\n", (401 << 16) | 7, 0, 0,
         "HTTP/1.1 401 Unauthorized"},
        {&stream, "HTTP/1.1 404 Not Found\r\n", 26476551, 0, 0, "404 Not Found"},
        // A zero byte in the status line does not end the reason.
        {&stream, std::string("HTTP/1.1 403 Forbid\0den here\r\n", 31), (403 << 16) | 7, 0, 0, "403 Forbid.den here"},
        // A mount point answered with the table: the caster has no such mount
        // point, and the table after the header says which ones it has.
        {&stream, "SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\nSTR;", NTRIP_NO_MOUNT_POINT, 20, 0,
         "mount point not found"},
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n\r\nSTR;", NTRIP_NO_MOUNT_POINT, 51, 0,
         "mount point not found"},
        {&stream, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Type: gnss/sourcetable\r\n\r\n4\r\n",
         NTRIP_NO_MOUNT_POINT, 79, 1, "mount point not found"},
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<html>", 6, 0, 0, "text/html"},
        {&stream, "HTTP/1.1 200 OK\r\n\r\n", 6, 0, 0, "Content-Type"},
        {&stream, "<html><body>Welcome</body></html>", 6, 0, 0, "<html>"},
        {&stream, std::string("\xD3\x00\x13\x3E\xD0", 5), 6, 0, 0, "not a caster's reply"},
        {&stream, "ICY 401 Unauthorized\r\n", 6, 0, 0, "ICY 401"},
        {&stream, "HTTP/1.1 2x0 OK\r\n", 6, 0, 0, "2x0"},
        {&stream, longHeader, 6, 0, 0, "too long"},
        {&stream, "HTTP/1.1 200 " + std::string(5000, 'a'), 6, 0, 0, "too long"},
        {&table, "SOURCETABLE 200 OK\r\nServer: x\r\n\r\nSTR;", 0, 20, 0, ""},
        {&table, "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\nTransfer-Encoding: chunked\r\n\r\n", 0, 79, 1,
         ""},
        {&table, "ICY 200 OK\r\n", 6, 0, 0, "unexpected reply"},
        {&table, "HTTP/1.1 401 Unauthorized\r\n\r\n", (401 << 16) | 7, 0, 0, "401"},
        {&source, "ICY 200 OK\r\n", 0, 12, 0, ""},
        {&source, "ERROR - Bad Password\r\n", 6, 0, 0, "Bad Password"},
        {&post, "HTTP/1.1 200 OK\r\nNtrip-Version: Ntrip/2.0\r\n\r\n", 0, 45, 0, ""},
        {&post, "HTTP/1.1 409 Conflict\r\n\r\n", (409 << 16) | 7, 0, 0, "409 Conflict"},
    };
    for (const CASE_T& c : cases)
    {
        SCOPED_TRACE(c.Reply.substr(0, 40));
        NTRIP_REPLY_T reply;
        ASSERT_EQ(Check(*c.pConfig, c.Reply, &reply), c.Result);
        if (c.Result == 0 || c.Result == NTRIP_NO_MOUNT_POINT)
        {
            EXPECT_EQ(reply.HeaderLength, c.HeaderLength);
            EXPECT_EQ(reply.Chunked, c.Chunked);
        }
        if (c.Result != 0)
        {
            EXPECT_NE(std::strstr(reply.Reason, c.Reason), nullptr) << reply.Reason;
            EXPECT_LT(std::strlen(reply.Reason), sizeof(reply.Reason));
        }
        // Every shorter piece of the reply waits for more or already gives
        // the same answer: a split reply is never judged otherwise.
        for (size_t n = 1; n < c.Reply.size(); ++n)
        {
            const int partial = Check(*c.pConfig, c.Reply.substr(0, n));
            ASSERT_TRUE(partial == NTRIP_REPLY_INCOMPLETE || partial == c.Result) << n << " bytes: " << partial;
        }
    }
    EXPECT_EQ(Check(stream, ""), NTRIP_REPLY_INCOMPLETE);
    EXPECT_EQ(NtripResultHttpStatus((401 << 16) | 7), 401);
    EXPECT_EQ(NtripResultHttpStatus(NTRIP_TIMED_OUT), 0);
}

TEST(NtripProtocol, MountPointsOfSourceTableLines)
{
    const struct
    {
        const char* Line;
        int Length; // -1: no mount point line
        const char* Mount;
    } cases[] = {
        {"STR;VRS1;Beijing;RTCM 3.2;1005(10);2;GPS;X;CHN;39.9;116.4;1;1;x;none;B;N;0;", 4, "VRS1"},
        {"STR;MAC2", 4, "MAC2"},
        {"STR;;x", 0, ""},
        {"CAS;caster.example;2101;Test", -1, nullptr},
        {"NET;NET1;X", -1, nullptr},
        {"ENDSOURCETABLE", -1, nullptr},
        {"STR", -1, nullptr},
    };
    for (const auto& c : cases)
    {
        const char* pMount = nullptr;
        const int n = NtripTableMountPoint(c.Line, static_cast<int>(std::strlen(c.Line)), &pMount);
        ASSERT_EQ(n, c.Length) << c.Line;
        if (n >= 0)
        {
            EXPECT_EQ(std::string(pMount, static_cast<size_t>(n)), c.Mount);
        }
    }
}

TEST(NtripProtocol, ChunkedTransferCoding)
{
    // Split at every byte, the decoder gives exactly the data.
    const std::string coded = "5\r\nhello\r\n6;ext=1\r\n world\r\nA\r\n0123456789\r\n0\r\nX-Trailer: 1\r\n\r\nafter";
    for (size_t cut = 0; cut <= coded.size(); ++cut)
    {
        NTRIP_CHUNK_DECODER_T state;
        NtripChunkDecoderInit(&state);
        int result = 0, ended = 0;
        std::string data = Dechunk(&state, coded.substr(0, cut), &result, &ended);
        ASSERT_GE(result, 0) << cut;
        EXPECT_EQ(ended, cut >= coded.size() - 5 ? 1 : 0) << cut;
        data += Dechunk(&state, coded.substr(cut), &result, &ended);
        ASSERT_GE(result, 0) << cut;
        EXPECT_EQ(data, "hello world0123456789") << cut;
        EXPECT_EQ(ended, 1);
    }

    const char* bad[] = {"zz\r\n", "\r\n", "5\r\nhelloX\r\n", "123456789\r\n", "5\r\nhello\r\n-1\r\n", "5\rx"};
    for (const char* pCoded : bad)
    {
        NTRIP_CHUNK_DECODER_T state;
        NtripChunkDecoderInit(&state);
        int result = 0, ended = 0;
        Dechunk(&state, pCoded, &result, &ended);
        EXPECT_EQ(result, -NTRIP_BAD_CHUNK) << pCoded;
        Dechunk(&state, "5\r\nhello\r\n", &result, &ended);
        EXPECT_EQ(result, -NTRIP_BAD_CHUNK) << "a failed decoder stays failed";
    }

    // The encoder's pieces of up to 100 bytes decode to the data.
    std::string data;
    for (int i = 0; i < 250; ++i)
    {
        data += static_cast<char>(i * 37);
    }
    std::vector<char> out(static_cast<size_t>(NtripChunkEncodedSize(250)));
    ASSERT_EQ(NtripChunkEncode(data.data(), 250, out.data(), static_cast<int>(out.size())),
              static_cast<int>(out.size()));
    const std::string coded250(out.data(), out.size());
    EXPECT_EQ(coded250.substr(0, 4), "64\r\n");
    EXPECT_EQ(coded250.substr(coded250.size() - 56, 4), "32\r\n");
    NTRIP_CHUNK_DECODER_T state;
    NtripChunkDecoderInit(&state);
    int result = 0, ended = 0;
    EXPECT_EQ(Dechunk(&state, coded250, &result, &ended), data);
    EXPECT_EQ(NtripChunkEncode(data.data(), 250, out.data(), static_cast<int>(out.size()) - 1), -1);
    EXPECT_EQ(NtripChunkEncodedSize(0), 0);
}

namespace
{
std::string RtspRequest(const NTRIP_CONFIG_T& Config, NTRIP_RTSP_REQUEST_E eRequest, int nCSeq, const char* pGga)
{
    char out[NTRIP_RTSP_REQUEST_MAX];
    const int n = NtripBuildRtspRequest(&Config, eRequest, nCSeq, 3000000001u, 5000, pGga, out, sizeof(out));
    return n < 0 ? "error " + std::to_string(n) : std::string(out, static_cast<size_t>(n));
}
} // namespace

TEST(NtripProtocol, DatagramSessionRequestsByteForByte)
{
    const std::string gga = "$GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n";
    NTRIP_CONFIG_T config = Config();
    config.Port = 2102;
    NTRIP_CONFIG_T anonymous = config;
    anonymous.User[0] = anonymous.Password[0] = '\0';
    const std::string url = "rtsp://127.0.0.1:2102/BJNR0 RTSP/1.0\r\n";
    EXPECT_EQ(RtspRequest(config, NTRIP_RTSP_SETUP, 1, gga.c_str()),
              "SETUP " + url +
                  "CSeq: 1\r\nNtrip-Version: Ntrip/2.0\r\nNtrip-Component: Ntripclient\r\n"
                  "User-Agent: ZorvikMonitor/2.0\r\n"
                  "Ntrip-GGA: $GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n"
                  "Transport: RTP/GNSS;unicast;client_port=5000\r\nAuthorization: Basic dXNlcjA6a2l3ZTc=\r\n\r\n");
    EXPECT_EQ(RtspRequest(anonymous, NTRIP_RTSP_SETUP, 1, nullptr),
              "SETUP " + url +
                  "CSeq: 1\r\nNtrip-Version: Ntrip/2.0\r\nNtrip-Component: Ntripclient\r\n"
                  "User-Agent: ZorvikMonitor/2.0\r\nTransport: RTP/GNSS;unicast;client_port=5000\r\n\r\n");
    EXPECT_EQ(RtspRequest(config, NTRIP_RTSP_PLAY, 2, gga.c_str()),
              "PLAY " + url + "CSeq: 2\r\nSession: 3000000001\r\n\r\n");
    EXPECT_EQ(RtspRequest(config, NTRIP_RTSP_GET_PARAMETER, 7, nullptr),
              "GET_PARAMETER " + url + "CSeq: 7\r\nSession: 3000000001\r\n\r\n");
    EXPECT_EQ(RtspRequest(config, NTRIP_RTSP_TEARDOWN, 8, nullptr),
              "TEARDOWN " + url + "CSeq: 8\r\nSession: 3000000001\r\n\r\n");
    char small[120];
    EXPECT_EQ(NtripBuildRtspRequest(&config, NTRIP_RTSP_SETUP, 1, 0, 5000, gga.c_str(), small, sizeof(small)),
              -NTRIP_RTSP_LOGIN_TOO_LONG);
    EXPECT_EQ(NtripBuildRtspRequest(&anonymous, NTRIP_RTSP_SETUP, 1, 0, 5000, gga.c_str(), small, sizeof(small)),
              -NTRIP_RTSP_REQUEST_TOO_LONG);

    // NTRIP 2 over UDP: one datagram to the caster itself, with no proxy and
    // the position in its header only.
    NTRIP_CONFIG_T udp = Config();
    udp.Mode = 4;
    std::strcpy(udp.ProxyHost, "proxy.local");
    udp.ProxyPort = 8080;
    EXPECT_EQ(Request(udp, gga.c_str()),
              "GET /BJNR0 HTTP/1.1\r\nHost: 127.0.0.1\r\nNtrip-Version: Ntrip/2.0\r\n"
              "User-Agent: NTRIP ZorvikMonitor/2.0\r\n"
              "Ntrip-GGA: $GPGGA,093718.25,3315.0000,S,15130.0000,E,1,10,0,12.50,M,0,M,,*47\r\n"
              "Connection: close\r\nAuthorization: Basic dXNlcjA6a2l3ZTc=\r\n\r\n");
}

TEST(NtripProtocol, DatagramSessionRepliesHoweverTheyAreSplit)
{
    struct RTSP_CASE_T
    {
        int bSetup;
        std::string Reply;
        int Result;
        int HeaderLength;
        uint32_t Session;
        int ServerPort;
        const char* Reason;
    };
    const RTSP_CASE_T rtsp[] = {
        {1,
         "RTSP/1.0 200 OK\r\nCSeq: 1\r\nSession: 4000000000;timeout=60\r\n"
         "Transport: RTP/GNSS;unicast;client_port=5000;server_port=6000-6001\r\n\r\nX",
         0, 128, 4000000000u, 6000, ""},
        {0, "RTSP/1.0 200 OK\r\nCSeq: 2\r\n\r\n", 0, 28, 0, 0, ""},
        {1, "RTSP/1.0 200 OK\r\nCSeq: 1\r\nTransport: RTP/GNSS;server_port=6000\r\n\r\n", NTRIP_RTSP_BAD_REPLY, 0, 0, 0,
         "no session"},
        {1, "RTSP/1.0 200 OK\r\nSession: 9\r\nTransport: RTP/GNSS;server_port=0\r\n\r\n", NTRIP_RTSP_BAD_REPLY, 0, 0, 0,
         "no server_port"},
        {1, "RTSP/1.0 200 OK\r\nSession: 99999999999\r\nTransport: server_port=6000\r\n\r\n", NTRIP_RTSP_BAD_REPLY, 0,
         0, 0, "no session"},
        {1, "RTSP/1.0 401 Unauthorized\r\nCSeq: 1\r\n\r\n", NTRIP_RTSP_REFUSED, 0, 0, 0, "RTSP/1.0 401 Unauthorized"},
        {0, "HTTP/1.1 200 OK\r\n\r\n", NTRIP_RTSP_REFUSED, 0, 0, 0, "not an RTSP reply"},
        {0, "RTSP/1.0 2x0 OK\r\n", NTRIP_RTSP_REFUSED, 0, 0, 0, "2x0"},
        {0, "RTSP/1.0 200 OK\r\n" + std::string(NTRIP_REPLY_HEADER_MAX, 'a'), NTRIP_RTSP_BAD_REPLY, 0, 0, 0,
         "too long"},
    };
    for (const RTSP_CASE_T& c : rtsp)
    {
        SCOPED_TRACE(c.Reply.substr(0, 40));
        NTRIP_RTSP_REPLY_T reply;
        ASSERT_EQ(NtripCheckRtspReply(c.Reply.data(), static_cast<int>(c.Reply.size()), c.bSetup, &reply), c.Result);
        if (c.Result == 0)
        {
            EXPECT_EQ(reply.HeaderLength, c.HeaderLength);
            EXPECT_EQ(reply.Session, c.Session);
            EXPECT_EQ(reply.ServerPort, c.ServerPort);
        }
        else
        {
            EXPECT_NE(std::strstr(reply.Reason, c.Reason), nullptr) << reply.Reason;
        }
        for (size_t n = 1; n < c.Reply.size(); ++n)
        {
            const int partial = NtripCheckRtspReply(c.Reply.data(), static_cast<int>(n), c.bSetup, &reply);
            ASSERT_TRUE(partial == NTRIP_REPLY_INCOMPLETE || partial == c.Result) << n << " bytes: " << partial;
        }
    }

    const NTRIP_CONFIG_T stream = []
    {
        NTRIP_CONFIG_T c = Config();
        c.Mode = 4;
        return c;
    }();
    NTRIP_CONFIG_T table = stream;
    table.SourceTable = 1;
    NTRIP_CONFIG_T post = stream;
    post.ServerMode = 1;
    struct UDP_CASE_T
    {
        const NTRIP_CONFIG_T* pConfig;
        std::string Reply;
        int Result;
        int HeaderLength;
        int HasSession;
        uint32_t Session;
        int64_t ContentLength;
        const char* Reason;
    };
    const UDP_CASE_T udp[] = {
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\nSession: 3735928559\r\n\r\n", 0, 65, 1, 3735928559u,
         -1, ""},
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: gnss/data\r\n\r\n", NTRIP_UDP_NO_SESSION, 0, 0, 0, -1,
         "no session"},
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nSession: 1\r\n\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1,
         "text/plain"},
        {&stream, "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1,
         "mount point not found"},
        {&stream, "ICY 200 OK\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1, "not an NTRIP 2 reply"},
        {&stream, "HTTP/1.1 401 Unauthorized\r\n\r\n", 40210, 0, 0, 0, -1, "401 Unauthorized"},
        // A status outside HTTP's range would read back as another result.
        {&post, "HTTP/1.1 001 Odd\r\n\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1, "001 Odd"},
        {&post, "HTTP/1.1 672 OK\r\n\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1, "672 OK"},
        {&table, "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\nContent-Length: 1234\r\n\r\nSTR;", 0, 73, 0, 0,
         1234, ""},
        {&table, "SOURCETABLE 200 OK\r\nContent-Length: 7\r\n\r\nSTR;", 0, 41, 0, 0, 7, ""},
        {&table, "HTTP/1.1 200 OK\r\nContent-Type: gnss/sourcetable\r\n\r\n", NTRIP_UDP_NO_LENGTH, 0, 0, 0, -1,
         "without its length"},
        {&post, "HTTP/1.1 200 OK\r\nSession: 12\r\n\r\n", 0, 32, 1, 12, -1, ""},
        {&post, "HTTP/1.1 200 OK\r\n\r\n", 0, 19, 0, 0, -1, ""},
        {&post, "ICY 200 OK\r\n", NTRIP_UDP_REFUSED, 0, 0, 0, -1, "not an NTRIP 2 reply"},
    };
    for (const UDP_CASE_T& c : udp)
    {
        SCOPED_TRACE(c.Reply.substr(0, 40));
        NTRIP_UDP_REPLY_T reply;
        ASSERT_EQ(NtripCheckUdpReply(c.pConfig, c.Reply.data(), static_cast<int>(c.Reply.size()), &reply), c.Result);
        if (c.Result == 0)
        {
            EXPECT_EQ(reply.HeaderLength, c.HeaderLength);
            EXPECT_EQ(reply.HasSession, c.HasSession);
            EXPECT_EQ(reply.Session, c.Session);
            EXPECT_EQ(reply.ContentLength, c.ContentLength);
        }
        else
        {
            EXPECT_NE(std::strstr(reply.Reason, c.Reason), nullptr) << reply.Reason;
        }
        for (size_t n = 1; n < c.Reply.size(); ++n)
        {
            const int partial = NtripCheckUdpReply(c.pConfig, c.Reply.data(), static_cast<int>(n), &reply);
            ASSERT_TRUE(partial == NTRIP_REPLY_INCOMPLETE || partial == c.Result) << n << " bytes: " << partial;
        }
    }
    EXPECT_EQ(NtripResultHttpStatus(NtripUdpStatusResult(404)), 404);
    EXPECT_EQ(NtripResultHttpStatus(NTRIP_UDP_SILENT), 0);
    EXPECT_EQ(NtripResultHttpStatus(NTRIP_RTSP_REFUSED), 0);
}

TEST(NtripProtocol, RtpHeadersAndWhichPacketsMoveTheStreamOn)
{
    char header[NTRIP_RTP_HEADER + 2];
    NtripBuildRtpHeader(NTRIP_RTP_HTTP, 0xBEEF, 0x01020304u, 0xDEADBEEFu, header);
    EXPECT_EQ(std::string(header, NTRIP_RTP_HEADER),
              std::string("\x80\x61\xBE\xEF\x01\x02\x03\x04\xDE\xAD\xBE\xEF", 12));
    header[NTRIP_RTP_HEADER] = 'A';
    header[1] = static_cast<char>(0x80 | NTRIP_RTP_DATA); // the marker bit
    NTRIP_RTP_T packet;
    ASSERT_EQ(NtripParseRtp(header, NTRIP_RTP_HEADER + 1, &packet), 0);
    EXPECT_EQ(packet.PayloadType, NTRIP_RTP_DATA);
    EXPECT_EQ(packet.Marker, 1);
    EXPECT_EQ(packet.Sequence, 0xBEEF);
    EXPECT_EQ(packet.Timestamp, 0x01020304u);
    EXPECT_EQ(packet.Session, 0xDEADBEEFu);
    EXPECT_EQ(packet.PayloadLength, 1);
    EXPECT_EQ(packet.pPayload, header + NTRIP_RTP_HEADER);
    EXPECT_EQ(NtripParseRtp(header, NTRIP_RTP_HEADER - 1, &packet), -1);
    for (char first : {'\x00', '\x40', '\x81', '\x90', '\xA0'}) // other versions, contributors, extension, padding
    {
        header[0] = first;
        EXPECT_EQ(NtripParseRtp(header, NTRIP_RTP_HEADER + 1, &packet), -1) << static_cast<int>(first);
    }

    // (sequence, timestamp) offered one after another, and whether each is taken.
    struct STEP_T
    {
        uint16_t Sequence;
        uint32_t Timestamp;
        int Taken;
    };
    const STEP_T steps[] = {
        {65530, 4294967000u, 1},                     // the first, whatever it is
        {65530, 4294967000u, 0},                     // a repeat
        {65531, 4294967000u, 1},                     // the same moment
        {65529, 4294967100u, 0},                     // late
        {65534, 4294967200u, 1},                     // two lost
        {3, 100, 1},                                 // both wrap
        {4, 50, 0},                                  // its time goes back
        {4 + NTRIP_RTP_SEQUENCE_WINDOW + 1, 200, 0}, // too far ahead
        {4 + NTRIP_RTP_SEQUENCE_WINDOW - 1, 200, 1},
        {static_cast<uint16_t>(4 + NTRIP_RTP_SEQUENCE_WINDOW - 1 - 40000), 300, 0}, // an old one, far back
    };
    NTRIP_RTP_TRACK_T track;
    NtripRtpTrackInit(&track);
    for (const STEP_T& s : steps)
    {
        EXPECT_EQ(NtripRtpTake(&track, s.Sequence, s.Timestamp), s.Taken) << s.Sequence << " " << s.Timestamp;
    }
    EXPECT_EQ(track.Lost, 2u + 4u + (NTRIP_RTP_SEQUENCE_WINDOW - 1));
    EXPECT_EQ(track.Stale, 5u);
}
