#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "binex_builder.h"
#include "codec/log_dispatch.h"
#include "codec/nav_logs.h"
#include "codec/range_logs.h"
#include "codec/signals.h"
#include "converter/engine/binex.h"

namespace
{
constexpr double kPi = 3.1415926535897932;

TEST(BinexUbnxi, ReadsBothByteOrders)
{
    struct Case
    {
        uint32_t nValue;
        std::vector<uint8_t> little;
        std::vector<uint8_t> big;
    };
    const Case cases[] = {
        {0, {0x00}, {0x00}},
        {0x7F, {0x7F}, {0x7F}},
        {128, {0x80, 0x01}, {0x81, 0x00}},
        {0x3FFF, {0xFF, 0x7F}, {0xFF, 0x7F}},
        {0x4000, {0x80, 0x80, 0x01}, {0x81, 0x80, 0x00}},
        {0x1FFFFF, {0xFF, 0xFF, 0x7F}, {0xFF, 0xFF, 0x7F}},
        {0x200000, {0x80, 0x80, 0x80, 0x01}, {0x80, 0xC0, 0x80, 0x00}},
        {0x1FFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases)
    {
        for (int bBig = 0; bBig < 2; ++bBig)
        {
            const std::vector<uint8_t>& bytes = bBig ? c.big : c.little;
            EXPECT_EQ(BinexUbnxi(c.nValue, bBig), bytes) << c.nValue;
            uint32_t v = 0, n = 0;
            ASSERT_EQ(DecodeBinexUbnxi(bytes.data(), static_cast<uint32_t>(bytes.size()), bBig, &v, &n), 1);
            EXPECT_EQ(v, c.nValue);
            EXPECT_EQ(n, bytes.size());
            // One byte short: the number is not complete.
            EXPECT_EQ(DecodeBinexUbnxi(bytes.data(), static_cast<uint32_t>(bytes.size() - 1), bBig, &v, &n), 0);
        }
    }
}

// Records whose checked part (ID, length, message) is N bytes long carry the
// checksum of N's size class; a flipped message bit or a missing byte fails.
TEST(BinexFrame, ChecksumSizeFollowsLength)
{
    struct Case
    {
        uint32_t nChecked;
        uint32_t nSumBytes;
    };
    // ID 1 takes one byte; the length takes one byte below 128, two up to 16383,
    // three beyond.
    const Case cases[] = {{40, 1}, {127, 1}, {128, 2}, {4095, 2}, {4096, 4}, {1048575, 4}, {1048576, 16}};
    for (const Case& c : cases)
    {
        for (int bBig = 0; bBig < 2; ++bBig)
        {
            uint32_t nMessage = c.nChecked - 2;
            while (1 + BinexUbnxi(nMessage, bBig).size() + nMessage > c.nChecked)
                --nMessage;
            std::vector<uint8_t> message(nMessage);
            for (uint32_t i = 0; i < nMessage; ++i)
                message[i] = static_cast<uint8_t>(i * 7 + 1);
            std::vector<uint8_t> rec = BinexRecord(1, message, bBig);
            ASSERT_EQ(rec.size(), 1 + c.nChecked + c.nSumBytes) << c.nChecked;

            BINEX_FRAME_T f{};
            ASSERT_EQ(FrameBinexRecord(rec.data(), static_cast<uint32_t>(rec.size()), &f), BINEX_FRAME_OK);
            EXPECT_EQ(f.bBigEndian, bBig);
            EXPECT_EQ(f.nRecordId, 1u);
            EXPECT_EQ(f.nMessageLength, nMessage);
            EXPECT_EQ(f.nChecksumLength, c.nSumBytes);
            EXPECT_EQ(f.nTotalLength, rec.size());
            EXPECT_EQ(FrameBinexRecord(rec.data(), static_cast<uint32_t>(rec.size() - 1), &f), BINEX_FRAME_NEED_MORE);

            rec[f.nMessageOffset + nMessage / 2] ^= 0x10;
            EXPECT_EQ(FrameBinexRecord(rec.data(), static_cast<uint32_t>(rec.size()), &f), BINEX_FRAME_BAD_CHECKSUM)
                << c.nChecked << (bBig ? " big" : " little");
        }
    }
}

TEST(BinexFrame, RefusesWhatIsNoRecord)
{
    BINEX_FRAME_T f{};
    const uint8_t notSync[] = {0xAA, 0x01, 0x00, 0x00};
    EXPECT_EQ(FrameBinexRecord(notSync, sizeof(notSync), &f), BINEX_FRAME_NOT_RECORD);
    // A length beyond what the framer takes (2^29 - 1).
    const uint8_t huge[] = {0xE2, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(FrameBinexRecord(huge, sizeof(huge), &f), BINEX_FRAME_NOT_RECORD);
    const uint8_t shortRec[] = {0xC2, 0x7F};
    EXPECT_EQ(FrameBinexRecord(shortRec, sizeof(shortRec), &f), BINEX_FRAME_NEED_MORE);
}

// ---- Observation record 0x7F-05 ----

struct ObsField
{
    uint8_t nIndex;
    bool bPhaseLocked;
    bool bFlags2;
    uint8_t nFlags2; // bits 2 Doppler, 5 scale, 6 wide
    uint8_t nCn0;
    uint64_t nRangeField; // 40-bit first range, or the 16/24-bit difference
    uint32_t nCarrierField;
    int32_t nDoppler;
};

void PutObs(BinexMessage& m, const ObsField& o, bool bFirst)
{
    m.U8(o.nIndex | (o.bPhaseLocked ? 0x20 : 0) | (o.bFlags2 ? 0x80 : 0));
    if (o.bFlags2)
        m.U8(o.nFlags2);
    m.U8(o.nCn0);
    const bool bWide = o.bFlags2 && (o.nFlags2 & 0x40);
    m.Unsigned(o.nRangeField, bFirst ? 5 : bWide ? 3 : 2);
    if (o.bFlags2)
        m.Unsigned(o.nCarrierField, 3);
    if (o.bFlags2 && (o.nFlags2 & 0x04))
        m.Unsigned(static_cast<uint32_t>(o.nDoppler) & 0xFFFFFF, 3);
}

std::vector<uint8_t> ObsRecord(bool bBig)
{
    BinexMessage m(bBig);
    m.U8(5).U32(20160001).U16(500);
    m.U8(0x80 | 0x40 | 3); // four satellites, clock field, flags byte
    m.Unsigned(0x123456, 3);
    m.U8(0x10).U32(0xDEADBEEF); // one extra word
    // GPS 5: L1 C/A, L2 W, L5 Q (the last without a range).
    m.U8(5).U8((3 << 4) | 0);
    const uint64_t nRange = 21000000123ull | (2ull << 38); // 21000000.123 m, C/N0 fraction 0.2
    PutObs(m, {1, true, true, 0x04 | 0x20, 112, nRange, static_cast<uint32_t>(-12345) & 0x3FFFFF, -256064}, true);
    PutObs(m, {17, false, true, 0x40, 100, 1500u | (1u << 22), 50000, 0}, false);
    PutObs(m, {25, true, false, 0, 90, 0x8000, 0, 0}, false);
    // GLONASS slot 3, QZSS 2 and an SBAS satellite with one L1 C/A observation
    // each.
    m.U8(3).U8((1 << 4) | 1);
    PutObs(m, {1, true, false, 0, 110, 20000000000ull, 0, 0}, true);
    m.U8(2).U8((1 << 4) | 5);
    PutObs(m, {1, true, false, 0, 105, 38000000000ull, 0, 0}, true);
    m.U8(120).U8((1 << 4) | 2);
    PutObs(m, {1, true, false, 0, 105, 38000000000ull, 0, 0}, true);
    return BinexRecord(0x7F, m.Bytes(), bBig);
}

double Wavelength(uint32_t nCode, uint32_t nChannel = 7)
{
    double d = 0;
    EXPECT_TRUE(SignalWavelength(nCode, nChannel, &d));
    return d;
}

TEST(BinexObs, DecodesAndConvertsInBothByteOrders)
{
    for (int bBig = 0; bBig < 2; ++bBig)
    {
        SCOPED_TRACE(bBig ? "big-endian" : "little-endian");
        const std::vector<uint8_t> rec = ObsRecord(bBig);
        BINEX_OBS_RECORD_T obs;
        ASSERT_EQ(DecodeBinexObsRecord(rec.data(), static_cast<uint32_t>(rec.size()), &obs), 1);
        EXPECT_EQ(obs.SatCount, 4);
        EXPECT_EQ(obs.Clock, 0x123456);

        std::vector<uint8_t> log(BINEX_LOG_CAPACITY);
        uint32_t nLength = 0;
        ASSERT_EQ(ConvertBinexObs(&obs, log.data(), static_cast<uint32_t>(log.size()), &nLength), 1);
        BinaryLogHeader h;
        std::memcpy(&h, log.data(), sizeof(h));
        EXPECT_EQ(h.MessageId, MSG_ID_RANGE);
        EXPECT_EQ(h.Week, 2000);
        EXPECT_EQ(h.Milliseconds, 60500u);
        EXPECT_EQ(h.TimeStatus, 160);
        uint32_t nObs = 0;
        std::memcpy(&nObs, log.data() + 28, 4);
        ASSERT_EQ(nObs, 5u) << "SBAS is left out";
        ASSERT_EQ(nLength, 28 + 4 + 5 * sizeof(RANGE_OBS_T));
        const RANGE_OBS_T* o = reinterpret_cast<const RANGE_OBS_T*>(log.data() + 32);

        const double dL1 = Wavelength(GPSL1CA), dL2 = Wavelength(GPSL2W);
        EXPECT_EQ(+o[0].Prn, 5);
        EXPECT_NEAR(+o[0].Psr, 21000000.123, 1e-6);
        EXPECT_NEAR(+o[0].Adr, -(21000000.123 - 1.2345) / dL1, 1e-6);
        EXPECT_NEAR(+o[0].Doppler, -1000.25, 1e-4);
        EXPECT_NEAR(+o[0].CNo, 45.0, 1e-4);
        EXPECT_EQ(TrackingStatusSignalType(o[0].TrackingStatus), 0);
        EXPECT_TRUE(TrackingStatusPhaseLock(o[0].TrackingStatus));
        EXPECT_TRUE(TrackingStatusCodeLocked(o[0].TrackingStatus));

        EXPECT_NEAR(+o[1].Psr, 21000001.623, 1e-6);
        EXPECT_NEAR(+o[1].Adr, -(21000001.623 + 1.0) / dL2, 1e-6);
        EXPECT_NEAR(+o[1].CNo, 40.1, 1e-4);
        EXPECT_EQ(TrackingStatusSignalType(o[1].TrackingStatus), 9);
        EXPECT_FALSE(TrackingStatusPhaseLock(o[1].TrackingStatus));

        EXPECT_EQ(TrackingStatusSignalType(o[2].TrackingStatus), 14);
        EXPECT_FALSE(TrackingStatusCodeLocked(o[2].TrackingStatus)) << "difference 0x8000 marks a missing range";
        EXPECT_FALSE(TrackingStatusPhaseLock(o[2].TrackingStatus)) << "no carrier field";

        const uint8_t uChannel = GetGloFreqChannel(3);
        EXPECT_EQ(+o[3].Prn, 40);
        EXPECT_EQ(+o[3].GloFreq, uChannel);
        EXPECT_EQ(TrackingStatusSystem(o[3].TrackingStatus), TRACK_SYS_GLONASS);

        EXPECT_EQ(+o[4].Prn, 194) << "QZSS numbers start at 193";
        EXPECT_EQ(TrackingStatusSystem(o[4].TrackingStatus), TRACK_SYS_QZSS);
        for (uint32_t i = 0; i < 5; ++i)
            EXPECT_EQ((o[i].TrackingStatus >> 5) & 0x1F, i) << "running channel";

        // The log formats and reads back.
        h.MessageType = 0x20;
        std::memcpy(log.data(), &h, sizeof(h));
        std::vector<char> text(65536);
        int32_t nText = 0;
        ASSERT_EQ(FormatRange(log.data(), static_cast<int32_t>(text.size()), text.data(), &nText), 1);
        std::vector<uint8_t> back(LOG_MAX_BINARY_LENGTH);
        int32_t nBack = 0;
        ASSERT_EQ(DecodeRangeText(text.data(), nText, back.data(), &nBack), 1) << text.data();
        EXPECT_EQ(nBack, static_cast<int32_t>(nLength));
    }
}

// Records of one, two and 64 satellites with seven observations each carry
// a one-byte, a two-byte and a four-byte checksum; all decode and convert.
TEST(BinexObs, RecordsOfEachChecksumSizeConvert)
{
    struct Case
    {
        uint32_t nSats;
        uint32_t nChecksum;
    };
    const Case cases[] = {{1, 1}, {2, 2}, {64, 4}};
    // L1 C/A, L2 W, L5 Q, L2 CM, L1C D and two L1 P-code signals (192, 33088)
    // that range logs have no signal type for.
    const uint8_t kIndex[7] = {1, 17, 25, 13, 6, 2, 3};
    for (const Case& c : cases)
    {
        for (int bBig = 0; bBig < 2; ++bBig)
        {
            SCOPED_TRACE(c.nSats);
            BinexMessage m(bBig);
            m.U8(5).U32(20160001).U16(500).U8(static_cast<uint8_t>(c.nSats - 1));
            for (uint32_t i = 0; i < c.nSats; ++i)
            {
                m.U8(i + 1).U8((7 << 4) | 0);
                for (uint32_t k = 0; k < 7; ++k)
                    PutObs(
                        m,
                        {kIndex[k], true, true, 0x04 | 0x40, 110, k == 0 ? 21000000000ull + i : 1000u + k, 4000, 25600},
                        k == 0);
            }
            const std::vector<uint8_t> rec = BinexRecord(0x7F, m.Bytes(), bBig);
            BINEX_FRAME_T f{};
            ASSERT_EQ(FrameBinexRecord(rec.data(), static_cast<uint32_t>(rec.size()), &f), BINEX_FRAME_OK);
            EXPECT_EQ(f.nChecksumLength, c.nChecksum);
            auto obs = std::make_unique<BINEX_OBS_RECORD_T>();
            ASSERT_EQ(DecodeBinexObsRecord(rec.data(), static_cast<uint32_t>(rec.size()), obs.get()), 1);
            std::vector<uint8_t> log(BINEX_LOG_CAPACITY);
            uint32_t n = 0;
            ASSERT_EQ(ConvertBinexObs(obs.get(), log.data(), static_cast<uint32_t>(log.size()), &n), 1);
            uint32_t nObs = 0;
            std::memcpy(&nObs, log.data() + 28, 4);
            EXPECT_EQ(nObs, 5 * c.nSats);
            const RANGE_OBS_T* o = reinterpret_cast<const RANGE_OBS_T*>(log.data() + 32);
            EXPECT_NEAR(+o[nObs - 1].Psr, (21000000000.0 + c.nSats - 1 + 1004) * 0.001, 1e-6);
            EXPECT_NEAR(+o[nObs - 1].Doppler, 100.0, 1e-6);
        }
    }
}

TEST(BinexObs, RefusesBadChecksumAndOtherSubrecords)
{
    std::vector<uint8_t> rec = ObsRecord(false);
    BINEX_OBS_RECORD_T obs;
    rec[10] ^= 0x01;
    EXPECT_EQ(DecodeBinexObsRecord(rec.data(), static_cast<uint32_t>(rec.size()), &obs), 0);

    BinexMessage m(false);
    m.U8(4).U32(20160001).U16(0).U8(0);
    const std::vector<uint8_t> other = BinexRecord(0x7F, m.Bytes(), false);
    EXPECT_EQ(DecodeBinexObsRecord(other.data(), static_cast<uint32_t>(other.size()), &obs), 0);
    // A message that ends inside a satellite.
    BinexMessage cut(false);
    cut.U8(5).U32(20160001).U16(0).U8(1).U8(5).U8(0x10).U8(1).U8(100);
    const std::vector<uint8_t> shortRec = BinexRecord(0x7F, cut.Bytes(), false);
    EXPECT_EQ(DecodeBinexObsRecord(shortRec.data(), static_cast<uint32_t>(shortRec.size()), &obs), 0);
}

// ---- Navigation records ----

void PutGpsLayout(BinexMessage& m, uint32_t nSub, uint32_t nSatIndex, uint32_t nWeek)
{
    m.U8(nSub).U8(nSatIndex).U16(nWeek).U32(345600).U32(352800).F32(-1.1175871e-8f).U32(77);
    m.F32(0.0f).F32(-2.2737368e-12f).F32(1.2345e-4f).U32(77).F32(1.4e-9f);
    m.F64(0.5).F64(0.01).F64(5153.7).U32(352800);
    m.F32(1e-7f).F32(250.5f).F32(-2e-7f).F32(-30.25f).F32(1.5e-6f).F32(8.5e-6f);
    m.F64(-1.1).F64(0.7).F64(0.96).F32(-2.6e-9f).F32(1.1e-10f).F32(2.0f).U16(0).U16(4);
}

template <typename T> T BodyOf(const std::vector<uint8_t>& log)
{
    T b;
    std::memcpy(&b, log.data() + 28, sizeof(b));
    return b;
}

BinaryLogHeader HeaderOf(const std::vector<uint8_t>& log)
{
    BinaryLogHeader h;
    std::memcpy(&h, log.data(), sizeof(h));
    return h;
}

// Formats the converted log as full text and decodes it again with the codec.
void ExpectTextRoundTrip(std::vector<uint8_t> log, uint32_t nLength,
                         int (*format)(const void*, int32_t, char*, int32_t*))
{
    log[6] = 0x20;
    std::vector<char> text(65536);
    int32_t nText = 0;
    ASSERT_EQ(format(log.data(), static_cast<int32_t>(text.size()), text.data(), &nText), 1);
    std::vector<uint8_t> back(LOG_MAX_BINARY_LENGTH);
    int32_t nBack = 0;
    ASSERT_EQ(DecodeLog(reinterpret_cast<const uint8_t*>(text.data()), nText, back.data(), &nBack), 1) << text.data();
    EXPECT_EQ(nBack, static_cast<int32_t>(nLength));
}

TEST(BinexNav, GpsGalileoAndQzssRecords)
{
    struct Case
    {
        uint32_t nSub;
        uint16_t nMessageId;
        uint32_t nPrn;
        uint32_t nHeaderWeek;
        int (*format)(const void*, int32_t, char*, int32_t*);
    };
    const Case cases[] = {
        {BINEX_SUBRECORD_GPS, MSG_ID_GPSEPHEM, 12, 2100, FormatGpsEphem},
        {BINEX_SUBRECORD_GAL, MSG_ID_GALEPHEMERIS, 12, 2100 + 1024, FormatGalEphem},
        {BINEX_SUBRECORD_QZSS, MSG_ID_QZSSEPHEMERIS, 204, 2100, FormatQzssEphem},
    };
    for (const Case& c : cases)
    {
        for (int bBig = 0; bBig < 2; ++bBig)
        {
            SCOPED_TRACE(c.nSub);
            BinexMessage m(bBig);
            PutGpsLayout(m, c.nSub, 11, 2100);
            ASSERT_EQ(m.Bytes().size(), 1 + BINEX_GPS_EPH_BYTES);
            const std::vector<uint8_t> rec = BinexRecord(1, m.Bytes(), bBig);
            BINEX_EPH_T eph;
            ASSERT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph),
                      static_cast<int>(c.nSub));
            std::vector<uint8_t> log(BINEX_LOG_CAPACITY);
            uint32_t n = 0;
            const int bOk = c.nSub == BINEX_SUBRECORD_GPS   ? ConvertBinexGpsEph(&eph.Gps, log.data(), 4096, &n)
                            : c.nSub == BINEX_SUBRECORD_GAL ? ConvertBinexGalEph(&eph.Gps, log.data(), 4096, &n)
                                                            : ConvertBinexQzssEph(&eph.Gps, log.data(), 4096, &n);
            ASSERT_EQ(bOk, 1);
            const BinaryLogHeader h = HeaderOf(log);
            EXPECT_EQ(h.MessageId, c.nMessageId);
            EXPECT_EQ(h.Week, c.nHeaderWeek);
            EXPECT_EQ(h.Milliseconds, 345600000u);
            EXPECT_EQ(h.TimeStatus, 200);
            if (c.nSub == BINEX_SUBRECORD_GAL)
            {
                const GALEPHEMERIS_BODY_T b = BodyOf<GALEPHEMERIS_BODY_T>(log);
                EXPECT_EQ(+b.SatId, c.nPrn);
                EXPECT_DOUBLE_EQ(+b.RootA, 5153.7);
                EXPECT_EQ(+b.INavToc, 352800u);
                EXPECT_DOUBLE_EQ(+b.INavAf0, double(1.2345e-4f));
                EXPECT_EQ(+b.Sisa, 100) << "2 m";
            }
            else
            {
                const GPSEPHEM_BODY_T b = BodyOf<GPSEPHEM_BODY_T>(log);
                EXPECT_EQ(+b.Prn, c.nPrn);
                EXPECT_DOUBLE_EQ(+b.A, 5153.7 * 5153.7);
                EXPECT_DOUBLE_EQ(+b.DeltaN, double(1.4e-9f) * kPi);
                EXPECT_DOUBLE_EQ(+b.OmegaDot, double(-2.6e-9f) * kPi);
                EXPECT_DOUBLE_EQ(+b.IDot, double(1.1e-10f) * kPi);
                EXPECT_DOUBLE_EQ(+b.Toc, 352800.0);
                EXPECT_EQ(+b.Iodc, 77u);
                EXPECT_DOUBLE_EQ(+b.UraVariance, 4.0);
                const double dRootA3 = 5153.7 * 5153.7 * 5153.7;
                EXPECT_NEAR(+b.CorrectedMeanMotion, 19964981.843217388 / dRootA3 + +b.DeltaN, 1e-15);
            }
            ExpectTextRoundTrip(log, n, c.format);
        }
    }
}

TEST(BinexNav, GlonassRecord)
{
    for (int bBig = 0; bBig < 2; ++bBig)
    {
        BinexMessage m(bBig);
        // Slot 4 (byte 3), day 1 of an interval, 01:00:00 Moscow time.
        m.U8(2).U8(3).U16(1).U32(3600).F64(-1.5e-5).F64(9.1e-13).U32(3570);
        for (int i = 0; i < 3; ++i)
            m.F64(10000.5 + i).F64(-1.25 + i).F64(1e-9 * (i + 1));
        m.U8(0).U8(static_cast<uint8_t>(-3)).U8(2).U8(18).F64(1e-8).F64(-2.8e-9);
        ASSERT_EQ(m.Bytes().size(), 1 + BINEX_GLO_EPH_BYTES);
        const std::vector<uint8_t> rec = BinexRecord(1, m.Bytes(), bBig);
        BINEX_EPH_T eph;
        ASSERT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph), 2);
        std::vector<uint8_t> log(BINEX_LOG_CAPACITY);
        uint32_t n = 0;
        // Reference in 2021: the four-year interval beginning 2020-01-01.
        ASSERT_EQ(ConvertBinexGloEph(&eph.Glo, 2150, log.data(), 4096, &n), 1);
        const GLOEPHEMERIS_BODY_T b = BodyOf<GLOEPHEMERIS_BODY_T>(log);
        EXPECT_EQ(+b.SlotOffset, 41);
        EXPECT_EQ(+b.FreqOffset, 4);
        EXPECT_EQ(+b.TimeOffset, 10800u - 18u);
        EXPECT_DOUBLE_EQ(+b.PosY, 10001.5 * 1000.0);
        EXPECT_DOUBLE_EQ(+b.VelZ, 0.75 * 1000.0);
        EXPECT_DOUBLE_EQ(+b.TauN, 1.5e-5);
        EXPECT_EQ(+b.Issue, 4u);
        // 2020-01-01 01:00 Moscow = 2019-12-31 22:00 UTC = GPS week 2086, Tuesday
        // 22:00:18.
        EXPECT_EQ(+b.Week, 2086);
        EXPECT_EQ(+b.EphTime, (2 * 86400u + 22 * 3600u + 18u) * 1000u);
        EXPECT_EQ(HeaderOf(log).Week, 2086);
        ExpectTextRoundTrip(log, n, FormatGloEphem);
    }
}

TEST(BinexNav, BeiDouRecord)
{
    for (int bBig = 0; bBig < 2; ++bBig)
    {
        BinexMessage m(bBig);
        m.U8(5).U8(6).U16(800).U32(604790).U32(604800 - 3600).U32(604800 - 3600);
        m.F32(0.0f).F32(1e-11f).F32(-3e-4f).F32(1.2e-9f).F64(0.3).F64(0.002).F64(6493.4);
        m.F32(1e-8f).F32(100.0f).F32(2e-8f).F32(5.0f).F32(1e-6f).F32(2e-6f);
        m.F64(1.0).F64(-0.5).F64(0.9).F32(-2e-9f).F32(3e-10f);
        // URA index 2, healthy, AODE 17; TGD1 +2.5 ns, TGD2 -1.3 ns, AODC 9.
        m.U16(2 | (17 << 5)).U32(25u | ((uint32_t(-13) & 0x3FF) << 10) | (9u << 20));
        ASSERT_EQ(m.Bytes().size(), 1 + BINEX_BDS_EPH_BYTES);
        const std::vector<uint8_t> rec = BinexRecord(1, m.Bytes(), bBig);
        BINEX_EPH_T eph;
        ASSERT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph), 5);
        std::vector<uint8_t> log(BINEX_LOG_CAPACITY);
        uint32_t n = 0;
        ASSERT_EQ(ConvertBinexBdsEph(&eph.Bds, log.data(), 4096, &n), 1);
        const BDSEPHEMERIS_BODY_T b = BodyOf<BDSEPHEMERIS_BODY_T>(log);
        EXPECT_EQ(+b.SatId, 7u);
        EXPECT_EQ(+b.Week, 800u);
        EXPECT_DOUBLE_EQ(+b.Ura, 4.85);
        EXPECT_EQ(+b.Aode, 17u);
        EXPECT_EQ(+b.Aodc, 9u);
        EXPECT_NEAR(+b.Tgd1, 2.5e-9, 1e-15);
        EXPECT_NEAR(+b.Tgd2, -1.3e-9, 1e-15);
        EXPECT_DOUBLE_EQ(+b.RootA, 6493.4);
        EXPECT_EQ(+b.Toc, 604800u - 3600u);
        // BeiDou second 604790 of week 800 is GPS week 2157, second 4 (14 s later).
        const BinaryLogHeader h = HeaderOf(log);
        EXPECT_EQ(h.Week, 2157);
        EXPECT_EQ(h.Milliseconds, 4000u);
        ExpectTextRoundTrip(log, n, FormatBdsEphem);
    }
}

TEST(BinexNav, RefusesUnknownSubrecordAndBadChecksum)
{
    BinexMessage m(true);
    PutGpsLayout(m, 3, 0, 2100);
    std::vector<uint8_t> rec = BinexRecord(1, m.Bytes(), true);
    BINEX_EPH_T eph;
    EXPECT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph), 0);

    BinexMessage g(true);
    PutGpsLayout(g, 1, 0, 2100);
    rec = BinexRecord(1, g.Bytes(), true);
    rec[rec.size() - 1] ^= 0x80;
    EXPECT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph), 0);
    // A GPS message one byte short.
    std::vector<uint8_t> cut = g.Bytes();
    cut.pop_back();
    rec = BinexRecord(1, cut, true);
    EXPECT_EQ(DecodeBinexEphRecord(rec.data(), static_cast<uint32_t>(rec.size()), &eph), 0);
}

// The decoder each record ID gets: the navigation and observation decoders
// through one signature, none for another ID.
TEST(BinexRecordDecoder, ByRecordId)
{
    auto pRecord = std::make_unique<BINEX_RECORD_T>();
    BinexMessage g(true);
    PutGpsLayout(g, 1, 0, 2100);
    const std::vector<uint8_t> nav = BinexRecord(1, g.Bytes(), true);
    const std::vector<uint8_t> obs = ObsRecord(false);
    const BinexRecordDecoder navDecoder = GetBinexRecordDecoder(BINEX_RECORD_NAV);
    const BinexRecordDecoder obsDecoder = GetBinexRecordDecoder(BINEX_RECORD_OBS);
    ASSERT_NE(navDecoder, nullptr);
    ASSERT_NE(obsDecoder, nullptr);
    EXPECT_EQ(navDecoder(nav.data(), static_cast<uint32_t>(nav.size()), pRecord.get()), BINEX_SUBRECORD_GPS);
    EXPECT_EQ(pRecord->Eph.Gps.Week, 2100);
    EXPECT_EQ(obsDecoder(obs.data(), static_cast<uint32_t>(obs.size()), pRecord.get()), 1);
    EXPECT_GT(pRecord->Obs.SatCount, 0u);
    // Each decoder refuses the other kind of record.
    EXPECT_EQ(navDecoder(obs.data(), static_cast<uint32_t>(obs.size()), pRecord.get()), 0);
    EXPECT_EQ(obsDecoder(nav.data(), static_cast<uint32_t>(nav.size()), pRecord.get()), 0);
    for (uint32_t nId : {0u, 2u, 0x7Du, 0x7Eu, 0x80u})
        EXPECT_EQ(GetBinexRecordDecoder(nId), nullptr) << nId;
}
} // namespace
