#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/parsing/rtcm3_decode.h"
#include "support/frame_builders.h"
#include "support/profile_fixture.h"
#include "support/rtcm3_builder.h"

namespace
{

class Rtcm3DecodeTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetRtcm3State(&m_state); }

    // The line of a frame; "" when the decoder refuses it.
    std::string Decode(const Bytes& frame, uint32_t nCapacity = RTCM3_TEXT_MAX, bool bCrcHeld = false)
    {
        std::string out(nCapacity, '\x7f');
        uint32_t n = 12345;
        if (!RTCM3Decode(&m_state, frame.data(), static_cast<uint32_t>(frame.size()), &out[0], nCapacity, &n,
                         bCrcHeld))
        {
            EXPECT_EQ(n, 0u);
            EXPECT_EQ(out[0], '\x7f') << "nothing written on failure";
            return "";
        }
        EXPECT_EQ(out[n], '\0');
        return out.substr(0, n);
    }

    ScopedProfile m_profile{CODEC_PROFILE_MONITOR};
    RTCM3_DECODE_STATE_T m_state;
};

TEST_F(Rtcm3DecodeTest, StandardStationFrame)
{
    EXPECT_EQ(Decode(kFrame1005), "Msg 1005: Size:  19 ARP     :RefS 2003 Physical F0 Sys 4 SingleClock:0 1/4Cycle:0 "
                                  "1114104.599900 -4850729.710800 3975521.464300 -1.000000\r\n");
}

RtcmBuilder LegacyObs(uint32_t nMsg, uint32_t nEpochBits, int64_t nEpoch, int nSync, int nSats)
{
    RtcmBuilder b(nMsg);
    b.U(12, 12).U(nEpochBits, nEpoch).U(1, nSync).U(5, nSats).U(1, 0).U(3, 0);
    return b;
}

RtcmBuilder Ssr(uint32_t nMsg, uint32_t nEpochBits, bool bDatum, bool bPhase)
{
    RtcmBuilder b(nMsg);
    b.U(nEpochBits, 86399).U(4, 2).U(1, 1);
    if (bDatum)
        b.U(1, 0);
    b.U(4, 7).U(16, 300).U(4, 3);
    if (bPhase)
        b.U(1, 1).U(1, 0);
    b.U(6, 12);
    return b;
}

struct FrameCase
{
    const char* Name;
    Bytes Frame;
    const char* Line; // without the CR LF
};

std::vector<FrameCase> FrameCases()
{
    std::vector<FrameCase> v;
    auto add = [&v](const char* pName, const RtcmBuilder& b, const char* pLine) {
        v.push_back({pName, b.Frame(), pLine});
    };

    add("Gps1001", LegacyObs(1001, 30, 1234567, 0, 7),
        "Msg 1001: Size:   8 GPS Obs :Epoch    1234567,SatNum: 7, Signal:1, BaseID 0012, Sync 0");
    add("Gps1002", LegacyObs(1002, 30, 604799999, 1, 31),
        "Msg 1002: Size:   8 GPS Obs :Epoch  604799999,SatNum:31, Signal:1, BaseID 0012, Sync 1");
    add("Gps1003", LegacyObs(1003, 30, 0, 0, 1),
        "Msg 1003: Size:   8 GPS Obs :Epoch          0,SatNum: 1, Signal:2, BaseID 0012, Sync 0");
    add("Gps1004", LegacyObs(1004, 30, 345600000, 1, 12),
        "Msg 1004: Size:   8 GPS Obs :Epoch  345600000,SatNum:12, Signal:2, BaseID 0012, Sync 1");
    add("Glo1009", LegacyObs(1009, 27, 86399000, 0, 8),
        "Msg 1009: Size:   8 GLO Obs :Epoch   86399000,SatNum: 8, Signal:1, BaseID 0012, Sync 0");
    add("Glo1010", LegacyObs(1010, 27, 1000, 0, 8),
        "Msg 1010: Size:   8 GLO Obs :Epoch       1000,SatNum: 8, Signal:1, BaseID 0012, Sync 0");
    add("Glo1011", LegacyObs(1011, 27, 1000, 1, 9),
        "Msg 1011: Size:   8 GLO Obs :Epoch       1000,SatNum: 9, Signal:2, BaseID 0012, Sync 1");
    add("Glo1012", LegacyObs(1012, 27, 134217727, 0, 24),
        "Msg 1012: Size:   8 GLO Obs :Epoch  134217727,SatNum:24, Signal:2, BaseID 0012, Sync 0");

    RtcmBuilder arp(1006);
    arp.U(12, 2003).U(6, 0).U(1, 1).U(1, 1).U(1, 0).U(1, 1).U(38, 11141045999).U(1, 1).U(1, 0);
    arp.U(38, -48507297108).U(2, 2).U(38, 39755214643).U(16, 15000);
    add("Arp1006", arp,
        "Msg 1006: Size:  21 ARP     :RefS 2003 VRS F1 Sys 6 SingleClock:1 1/4Cycle:2 1114104.599900 "
        "-4850729.710800 3975521.464300 1.500000");

    RtcmBuilder d1007(1007), d1008(1008), d1033(1033);
    for (RtcmBuilder* p : {&d1007, &d1008, &d1033})
        p->U(12, 5).Text(8, "ADVNULLANTENNA").U(8, 3);
    d1008.Text(8, "123456");
    d1033.Text(8, "123456").Text(8, "ZV-RX1").Text(8, "3.1.0").Text(8, "SN42");
    add("Antenna1007", d1007,
        "Msg 1007: Size:  19 Receiver:RefS 5 SetupID:  3, |A 14 ADVNULLANTENNA SN 0 | R Type 0  FW 0  SN 0 ");
    add("Antenna1008", d1008,
        "Msg 1008: Size:  26 Receiver:RefS 5 SetupID:  3, |A 14 ADVNULLANTENNA SN 6 123456| R Type 0  FW 0  SN 0 ");
    add("Receiver1033", d1033,
        "Msg 1033: Size:  44 Receiver:RefS 5 SetupID:  3, |A 14 ADVNULLANTENNA SN 6 123456| R Type 6 ZV-RX1 FW 5 "
        "3.1.0 SN 4 SN42");

    RtcmBuilder sys(1013);
    sys.U(12, 1).U(16, 60000).U(17, 3600).U(5, 2).U(8, 18);
    sys.U(12, 1004).U(1, 1).U(16, 10).U(12, 1019).U(1, 0).U(16, 300);
    add("SystemParameters1013", sys, "Msg 1013: Size:  16 Sys Para:Leap 18, MsgNum 2:1004 1;1019 30.0;");

    add("GpsEphemeris1019", RtcmBuilder(1019).U(6, 17).Pad(470), "Msg 1019: Size:  61 GPS Ephm:Sat:17");
    add("GpsEphemerisNoSat1019", RtcmBuilder(1019).U(6, 0), "Msg 1019: Size:   3 ");
    add("GloEphemeris1020", RtcmBuilder(1020).U(6, 5), "Msg 1020: Size:   3 GLO Ephm:Sat: 5");
    add("SbasEphemeris1043", RtcmBuilder(1043).U(6, 3), "Msg 1043: Size:   3 SBA Ephm:Sat: 3");
    add("QzssEphemeris1044", RtcmBuilder(1044).U(4, 7), "Msg 1044: Size:   2 QZS Ephm:Sat: 7");
    add("GalFnav1045", RtcmBuilder(1045).U(6, 11), "Msg 1045: Size:   3 GAL Ephm:Sat:11 FNav");
    add("GalInav1046", RtcmBuilder(1046).U(6, 36), "Msg 1046: Size:   3 GAL Ephm:Sat:36 INav");
    add("Bds1042", RtcmBuilder(1042).U(6, 37), "Msg 1042: Size:   3 BDS Ephm:Sat:37");
    add("Bds63", RtcmBuilder(63).U(6, 1), "Msg   63: Size:   3 BDS Ephm:Sat: 1");

    RtcmBuilder text(1029);
    text.U(12, 1).U(16, 60000).U(17, 43200).U(7, 5).Text(8, "Gr\xc3\xbc\xc3\x9f"
                                                            "e");
    add("Text1029", text,
        "Msg 1029: Size:  16 TXT STR :Day 60000, sec 43200, CharN 5,Unit 7:Gr\xc3\xbc\xc3\x9f"
        "e");
    RtcmBuilder lines(1029);
    lines.U(12, 1).U(16, 1).U(17, 2).U(7, 4).Text(8, "a\r\nb");
    add("TextControlCharacters1029", lines, "Msg 1029: Size:  13 TXT STR :Day 1, sec 2, CharN 4,Unit 4:a  b");

    RtcmBuilder bias(1230);
    bias.U(12, 1).U(1, 1).U(3, 0).U(4, 0xA).U(16, 100).U(16, -50);
    add("GloBias1230", bias, "Msg 1230: Size:   8 Glo Bias:BiasF 1 Mask 0XA: 2.0000, 0.0000, -1.0000, 0.0000");

    add("GpsMsm4", Msm(1074, 345600000, 1, TopSats(10), Sig(2) | Sig(15)),
        "Msg 1074: Size:  24 MSM  GPS:Epoch  345600000,Sat:10, Signal:2, BaseID 2003, Sync 1,GPSL1CA GPSL2CM ");
    add("GpsMsm7", Msm(1077, 1000, 0, TopSats(3), Sig(2) | Sig(9) | Sig(22)),
        "Msg 1077: Size:  23 MSM  GPS:Epoch       1000,Sat: 3, Signal:3, BaseID 2003, Sync 0,GPSL1CA GPSL2P  "
        "GPSL5I  ");
    add("GloMsm4", Msm(1084, 12345678, 0, TopSats(6), Sig(2) | Sig(8)),
        "Msg 1084: Size:  23 MSM  GLO:Epoch   12345678,Sat: 6, Signal:2, BaseID 2003, Sync 0,GLOG1C  GLOG2C  ");
    add("GloMsm7", Msm(1087, 86400000, 1, TopSats(2), Sig(3) | Sig(9)),
        "Msg 1087: Size:  22 MSM  GLO:Epoch   86400000,Sat: 2, Signal:2, BaseID 2003, Sync 1,GLOG1P  GLOG2P  ");
    add("GalMsm4", Msm(1094, 1, 0, TopSats(4), Sig(2) | Sig(22)),
        "Msg 1094: Size:  23 MSM  GAL:Epoch          1,Sat: 4, Signal:2, BaseID 2003, Sync 0,GALE1C  GALE5AI ");
    add("GalMsm7", Msm(1097, 2, 0, TopSats(4), Sig(4) | Sig(9) | Sig(14)),
        "Msg 1097: Size:  23 MSM  GAL:Epoch          2,Sat: 4, Signal:3, BaseID 2003, Sync 0,GALE1B  GALE6A  "
        "GALE5BI ");
    add("SbasMsm4", Msm(1104, 3, 0, TopSats(1), Sig(2)),
        "Msg 1104: Size:  22 MSM SBAS:Epoch          3,Sat: 1, Signal:1, BaseID 2003, Sync 0,GPSL1CA ");
    add("SbasMsm7", Msm(1107, 4, 0, TopSats(2), Sig(2) | Sig(24)),
        "Msg 1107: Size:  22 MSM SBAS:Epoch          4,Sat: 2, Signal:2, BaseID 2003, Sync 0,GPSL1CA GPSL5X  ");
    // QZSS signals by their own IDs: 6 is L1S and 9-11 are L6, which the GPS
    // table leaves blank or names as GPS L2 signals.
    add("QzssMsm4", Msm(1114, 5, 0, TopSats(2), Sig(2) | Sig(30)),
        "Msg 1114: Size:  22 MSM QZSS:Epoch          5,Sat: 2, Signal:2, BaseID 2003, Sync 0,QZSL1CA QZSL1CD ");
    add("QzssMsm7", Msm(1117, 6, 0, TopSats(1), Sig(17)),
        "Msg 1117: Size:  22 MSM QZSS:Epoch          6,Sat: 1, Signal:1, BaseID 2003, Sync 0,QZSL2CX ");
    add("QzssMsm7L1SL6", Msm(1117, 432018000, 0, TopSats(3), Sig(2) | Sig(6) | Sig(10) | Sig(22)),
        "Msg 1117: Size:  23 MSM QZSS:Epoch  432018000,Sat: 3, Signal:4, BaseID 2003, Sync 0,QZSL1CA QZSL1S  QZSL6P  "
        "QZSL5I  ");
    add("QzssMsm7L6AndL1C", Msm(1117, 432019000, 1, TopSats(2), Sig(9) | Sig(11) | Sig(16) | Sig(31) | Sig(32)),
        "Msg 1117: Size:  23 MSM QZSS:Epoch  432019000,Sat: 2, Signal:5, BaseID 2003, Sync 1,QZSL6D  QZSL6X  QZSL2CL "
        "QZSL1CP QZSL1CX ");
    add("BdsMsm4", Msm(1124, 7, 0, TopSats(5), Sig(2) | Sig(8) | Sig(14)),
        "Msg 1124: Size:  23 MSM  BDS:Epoch          7,Sat: 5, Signal:3, BaseID 2003, Sync 0,BDSB1I  BDSB3I  "
        "BDSB2I  ");
    add("BdsMsm7", Msm(1127, 8, 1, TopSats(2), Sig(22) | Sig(31)),
        "Msg 1127: Size:  22 MSM  BDS:Epoch          8,Sat: 2, Signal:2, BaseID 2003, Sync 1,BDSB2aD BDSB1cP ");
    add("MsmThirtyTwoSatellites", Msm(1074, 9, 0, TopSats(32), Sig(2) | Sig(15)),
        "Msg 1074: Size:  30 MSM  GPS:Epoch          9,Sat:32, Signal:2, BaseID 2003, Sync 0,GPSL1CA GPSL2CM ");
    add("MsmTooManySatellites", Msm(1077, 10, 0, TopSats(33), Sig(2)),
        "Msg 1077: Size:  26 MSM  GPS:Epoch         10,Sat:33, Signal:1, BaseID 2003, Sync 0, Abnormal Err Cell");
    add("MsmTooManySignals", Msm(1124, 11, 0, TopSats(1), 0x1FF),
        "Msg 1124: Size:  23 MSM  BDS:Epoch         11,Sat: 1, Signal:9, BaseID 2003, Sync 0, Abnormal Err Cell");
    add("MsmTooManyCells", Msm(1104, 12, 0, TopSats(9), 0xFF),
        "Msg 1104: Size:  22 MSM SBAS:Epoch         12,Sat: 9, Signal:8, BaseID 2003, Sync 0, Abnormal Err Cell");
    add("Msm1NotDecoded", Msm(1071, 1, 0, TopSats(1), Sig(2)), "Msg 1071: Size:  22 ");

    add("SsrGpsOrbit", Ssr(1057, 20, true, false),
        "Msg 1057: Size:   9 SSROrClk:GPS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrGpsClock", Ssr(1058, 20, false, false),
        "Msg 1058: Size:   9 SSROrClk:GPS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrGloCodeBias", Ssr(1065, 17, false, false),
        "Msg 1065: Size:   8 SSRCodeB:GLO:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrGalUra", Ssr(1244, 20, false, false),
        "Msg 1244: Size:   9 SSR URA:GAL:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrQzssHighRateClock", Ssr(1251, 20, false, false),
        "Msg 1251: Size:   9 SSRFaClk:QZSS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrSbasCombined", Ssr(1255, 20, true, false),
        "Msg 1255: Size:   9 SSROrClk:SBAS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrBdsOrbit", Ssr(1258, 20, true, false),
        "Msg 1258: Size:   9 SSROrClk:BDS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrGloPhaseBias", Ssr(1266, 17, false, true),
        "Msg 1266: Size:   9 SSRPhasB:GLO:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");
    add("SsrBdsPhaseBias", Ssr(1270, 20, false, true),
        "Msg 1270: Size:   9 SSRPhasB:BDS:Epoch      86399,SatNum:12, UpInterval:2, IOD 0007, Provider 300, "
        "Solution 3, Sync 1");

    RtcmBuilder vtec(1264);
    vtec.U(20, 1000).U(4, 3).U(1, 0).U(4, 2).U(16, 17).U(4, 1).U(9, 40).U(2, 0).U(8, 45).U(4, 3).U(4, 2);
    add("SsrVtec", vtec,
        "Msg 1264: Size:  11 SSRVTEC :   :Epoch       1000,UpInterval:3, IOD 0002, Provider 17, Solution 1 Sync 0 "
        "Quality 40 Layer 1, Layer 0 - 450, 4  3");

    add("Unknown3000", RtcmBuilder(3000).U(20, 0), "Msg 3000: Size:   4 unknown type");
    add("UnknownNetworkRtk1014", RtcmBuilder(1014).U(20, 0), "Msg 1014: Size:   4 unknown type");
    return v;
}

class Rtcm3FrameTest : public Rtcm3DecodeTest, public ::testing::WithParamInterface<FrameCase>
{
};

TEST_P(Rtcm3FrameTest, WritesOneLine) { EXPECT_EQ(Decode(GetParam().Frame), std::string(GetParam().Line) + "\r\n"); }

INSTANTIATE_TEST_SUITE_P(Messages, Rtcm3FrameTest, ::testing::ValuesIn(FrameCases()),
                         [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.Name); });

// Frames whose CRC holds but whose payload ends before what they announce.
TEST_F(Rtcm3DecodeTest, ShortPayloadIsNeverReadPast)
{
    RtcmBuilder b1005(1005);
    b1005.U(12, 2003).U(6, 0).U(4, 0).U(12, 0);

    RtcmBuilder text(1029);
    text.U(12, 1).U(16, 1).U(17, 2).U(7, 100).U(8, 200);
    for (int i = 0; i < 10; ++i)
        text.U(8, 'x');

    RtcmBuilder receiver(1033);
    receiver.U(12, 5).Text(8, "ANT").U(8, 0).Text(8, "").U(8, 50).U(8, 'R').U(8, 'X');

    RtcmBuilder antenna(1007);
    antenna.U(12, 5).U(8, 255).U(8, 'A');

    RtcmBuilder cells(1077); // header complete, cell mask missing
    cells.U(12, 1).U(30, 0).U(1, 0).U(18, 0).U(64, static_cast<int64_t>(TopSats(8))).U(32, Sig(2) | Sig(15));

    RtcmBuilder satMask(1127); // ends inside the satellite mask
    satMask.U(12, 1).U(30, 0).U(1, 0).U(18, 0).U(40, -1);

    RtcmBuilder params(1013); // announces 3 messages, carries 1
    params.U(12, 1).U(16, 60000).U(17, 3600).U(5, 3).U(8, 18).U(12, 1004).U(1, 1).U(16, 10);

    const struct
    {
        const char* Name;
        Bytes Frame;
        const char* Prefix;
    } cases[] = {
        {"1005 cut", b1005.Frame(), "Msg 1005: Size:   6 "},
        {"1029 text", text.Frame(), "Msg 1029: Size:  19 "},
        {"1033 receiver type", receiver.Frame(), "Msg 1033: Size:  12 "},
        {"1007 antenna", antenna.Frame(), "Msg 1007: Size:   5 "},
        {"MSM cell mask", cells.Frame(), "Msg 1077: Size:  22 "},
        {"MSM satellite mask", satMask.Frame(), "Msg 1127: Size:  15 "},
        {"1013 announcements", params.Frame(), "Msg 1013: Size:  13 "},
    };
    for (const auto& c : cases)
    {
        // The frame sits in a buffer of exactly its size: the sanitizer builds
        // catch any read past it.
        EXPECT_EQ(Decode(c.Frame), std::string(c.Prefix) + "Frame too short\r\n") << c.Name;
    }
}

TEST_F(Rtcm3DecodeTest, LongTextsFitTheirBuffers)
{
    const std::string s255(255, 'u');
    const std::string s200(200, 'r');
    RtcmBuilder text(1029);
    text.U(12, 1).U(16, 2).U(17, 3).U(7, 127).Text(8, s255);
    EXPECT_EQ(Decode(text.Frame()), "Msg 1029: Size: 264 TXT STR :Day 2, sec 3, CharN 127,Unit 255:" + s255 + "\r\n");
    EXPECT_EQ(std::string(m_state.MessageText), s255);

    RtcmBuilder receiver(1033);
    receiver.U(12, 5).Text(8, s255).U(8, 1).Text(8, std::string(31, 's')).Text(8, s200);
    receiver.Text(8, std::string(130, 'f')).Text(8, std::string(128, 'n'));
    EXPECT_EQ(Decode(receiver.Frame()), "Msg 1033: Size: 753 Receiver:RefS 5 SetupID:  1, |A 255 " + s255 + " SN 31 " +
                                            std::string(31, 's') + "| R Type 127 " + std::string(127, 'r') +
                                            " FW 127 " + std::string(127, 'f') + " SN 127 " + std::string(127, 'n') +
                                            "\r\n");
}

// Message 4089 frames of a remote firmware upgrade.
Bytes Upgrade(uint32_t nType, uint32_t nFixed, uint32_t nTotal, uint32_t nIndex, const std::string& sData)
{
    RtcmBuilder b(4089);
    b.U(4, 0).U(8, nType).U(8, nFixed).U(8, 0);
    for (char c : std::string("SN000042"))
        b.U(8, c);
    b.U(8, nTotal & 0xFF).U(8, nTotal >> 8).U(8, nIndex & 0xFF).U(8, nIndex >> 8);
    for (unsigned char c : sData)
        b.U(8, c);
    return b.Frame();
}

TEST_F(Rtcm3DecodeTest, RemoteUpgradeFramesShowTheUpgradeText)
{
    EXPECT_EQ(Decode(Upgrade(1, 4, 2, 7, "OK")), "Msg 4089: Size:  19 RemoRESP: Sequence:7 Len:2:OK\r\n");
    EXPECT_EQ(Decode(Upgrade(2, 4, 11, 1, "Upgrading\r\n")),
              "Msg 4089: Size:  28 RemoINFO: Sequence:1 Len:11:Upgrading\r\n");
    EXPECT_EQ(Decode(Upgrade(0, 4, 8, 3, "SET\tMODE")), "Msg 4089: Size:  25 Remo CMD: Sequence:3 Len:8:SET MODE\r\n");
    // Image chunks: the count of chunks received is kept from frame to frame.
    EXPECT_EQ(Decode(Upgrade(3, 4, 2, 1, "abcd")), "Msg 4089: Size:  21 RemoteUp:CurIndex 1, Total 2, ImageSize 0\r\n");
    EXPECT_EQ(Decode(Upgrade(3, 4, 2, 2, "efgh")), "Msg 4089: Size:  21 RemoteUp:CurIndex 2, Total 2, ImageSize 0 "
                                                   "RemoteUp:Upgrade FW size:0, Recv 2 Last Err 0 0\r\n");
    EXPECT_EQ(Decode(Upgrade(4, 4, 0, 0, "")), "Msg 4089: Size:  17 \r\n") << "a type without text";
    EXPECT_EQ(Decode(Upgrade(1, 5, 2, 7, "OK")), "Msg 4089: Size:  19 unknown type\r\n") << "not an upgrade frame";
}

TEST_F(Rtcm3DecodeTest, RefusesBadFrames)
{
    Bytes badCrc = kFrame1005;
    badCrc.back() ^= 1;
    const Bytes truncated(kFrame1005.begin(), kFrame1005.end() - 1);
    Bytes notSync = kFrame1005;
    notSync[0] = 0xD2;
    const Bytes noMessageNumber = RtcmBuilder(1005).Frame(1);

    EXPECT_EQ(Decode(badCrc), "");
    EXPECT_EQ(Decode(truncated), "");
    EXPECT_EQ(Decode(notSync), "");
    EXPECT_EQ(Decode(noMessageNumber), "");
    EXPECT_EQ(Decode(kFrame1005, RTCM3_TEXT_MAX - 1), "") << "capacity below the longest line";

    // The framing's verdict on the CRC stands in for the decoder's own check;
    // the frame's shape is still checked.
    EXPECT_EQ(Decode(kFrame1005, RTCM3_TEXT_MAX, true), Decode(kFrame1005));
    EXPECT_EQ(Decode(badCrc, RTCM3_TEXT_MAX, true), Decode(kFrame1005)) << "not computed a second time";
    EXPECT_EQ(Decode(truncated, RTCM3_TEXT_MAX, true), "");
    EXPECT_EQ(Decode(notSync, RTCM3_TEXT_MAX, true), "");
}

} // namespace
