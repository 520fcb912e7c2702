// Message 4089 frames of the remote upgrade: chunks built from an image file,
// and the decoder that checks and explains received frames.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

#include "monitor/ports/remote_upgrade.h"
#include "support/monitor/upgrade_frames.h"

namespace
{
const uint8_t kIdentity[8] = {'0', '1', '2', '3', '4', '5', '6', '7'};

QString WriteImage(const QTemporaryDir& Dir, int nSize)
{
    QByteArray data(nSize, '\0');
    for (int i = 0; i < nSize; ++i)
    {
        data[i] = static_cast<char>(i % 256);
    }
    const QString sPath = Dir.filePath(QStringLiteral("image_%1.img").arg(nSize));
    QFile f(sPath);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return sPath;
}

// Builds every chunk of an image; the frames as sent.
QList<QByteArray> AllChunks(REMOTE_UPGRADE_T* pState)
{
    QList<QByteArray> frames;
    pState->Active = 1;
    while (const uint8_t* p = RemoteUpgradeImageNextChunk(pState))
    {
        frames.append(QByteArray(reinterpret_cast<const char*>(p), static_cast<int>(pState->FrameLength)));
        if (pState->CurIndex >= pState->TotalChunks)
        {
            break;
        }
    }
    RemoteUpgradeImageClose(pState);
    return frames;
}
} // namespace

TEST(RemoteUpgrade, ImageOfOneChunk)
{
    QTemporaryDir dir;
    REMOTE_UPGRADE_T state;
    ASSERT_EQ(RemoteUpgradeImageOpen(&state, WriteImage(dir, 1000).toUtf8().constData(), kIdentity), 0);
    EXPECT_EQ(state.ImageSize, 1000u);
    EXPECT_EQ(state.TotalChunks, 1u);
    const QList<QByteArray> frames = AllChunks(&state);
    ASSERT_EQ(frames.size(), 1);
    const QByteArray& f = frames[0];
    ASSERT_EQ(f.size(), 1446);
    EXPECT_EQ(f.left(20), QByteArray("\xD3\x05\xA0\xFF\x90\x03\x04\x00"
                                     "01234567\x01\x00\x01\x00",
                                     20));
    for (int i = 0; i < 1000; ++i)
    {
        ASSERT_EQ(static_cast<uint8_t>(f[20 + i]), i % 256) << i;
    }
    EXPECT_EQ(f.mid(1020, 423), QByteArray(423, '\0')) << "422 padding bytes and the zero byte";
    EXPECT_EQ(f.right(3), QByteArray("\x14\xCA\x6C", 3));
    EXPECT_EQ(state.BytesSent, 1000u);
    EXPECT_EQ(RemoteUpgradePercent(&state), 100u);
}

TEST(RemoteUpgrade, ChunkCountsAndPadding)
{
    struct Case
    {
        int size;
        uint32_t chunks;
    };
    // A size that is a whole number of chunks gets one more, all-zero chunk.
    const Case cases[] = {{1, 1}, {1421, 1}, {1422, 2}, {2844, 3}, {3000, 3}};
    QTemporaryDir dir;
    for (const Case& c : cases)
    {
        REMOTE_UPGRADE_T state;
        ASSERT_EQ(RemoteUpgradeImageOpen(&state, WriteImage(dir, c.size).toUtf8().constData(), kIdentity), 0);
        EXPECT_EQ(state.TotalChunks, c.chunks) << c.size;
        const QList<QByteArray> frames = AllChunks(&state);
        ASSERT_EQ(static_cast<uint32_t>(frames.size()), c.chunks) << c.size;
        for (int i = 0; i < frames.size(); ++i)
        {
            REMOTE_UPGRADE_RESULT_T result{};
            EXPECT_GE(RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(frames[i].constData()),
                                             static_cast<size_t>(frames[i].size()), kIdentity, nullptr, 0),
                      0);
            EXPECT_EQ(result.CurIndex, static_cast<uint32_t>(i + 1));
            EXPECT_EQ(result.Total, c.chunks);
        }
        EXPECT_EQ(state.BytesSent, static_cast<uint32_t>(c.size));
        if (c.size == 2844)
        {
            EXPECT_EQ(frames[2].mid(20, 1422), QByteArray(1422, '\0'));
        }
    }
}

TEST(RemoteUpgrade, ImagesThatCannotBeSent)
{
    QTemporaryDir dir;
    REMOTE_UPGRADE_T state;
    EXPECT_EQ(RemoteUpgradeImageOpen(&state, "", kIdentity), REMOTE_UPGRADE_OPEN_FAILED);
    EXPECT_EQ(RemoteUpgradeImageOpen(&state, dir.filePath("missing.img").toUtf8().constData(), kIdentity),
              REMOTE_UPGRADE_OPEN_FAILED);
    state.Active = 1;
    EXPECT_EQ(RemoteUpgradeImageNextChunk(&state), nullptr);

    // An empty image has no size to divide by.
    ASSERT_EQ(RemoteUpgradeImageOpen(&state, WriteImage(dir, 0).toUtf8().constData(), kIdentity), 0);
    EXPECT_EQ(state.ImageSize, 0u);
    EXPECT_EQ(RemoteUpgradePercent(&state), 100u);
    RemoteUpgradeImageClose(&state);

    // More chunks than the 16-bit counters hold.
    const QString sBig = dir.filePath(QStringLiteral("big.img"));
    QFile big(sBig);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(static_cast<qint64>(REMOTE_UPGRADE_MAX_CHUNKS) * REMOTE_UPGRADE_CHUNK_LEN));
    big.close();
    EXPECT_EQ(RemoteUpgradeImageOpen(&state, sBig.toUtf8().constData(), kIdentity), REMOTE_UPGRADE_TOO_LARGE);
}

TEST(RemoteUpgrade, DecoderRejectsDamagedFrames)
{
    const QByteArray good = BuildUpgradeTextFrame(REMOTE_UPGRADE_RESP, 7, "01234567", "OK");
    struct Case
    {
        int offset;
        char value;
        bool reseal;
        int expected;
    };
    const Case cases[] = {
        {0, static_cast<char>(0xD2), true, -10},
        {6, 5, true, -20},
        {4, static_cast<char>(0x80), true, -30}, // message 4088
        {8, 'X', true, -40},
        {20, 'X', false, -50},
        {-1, 0, false, -50}, // last CRC byte changed
    };
    for (const Case& c : cases)
    {
        QByteArray f = good;
        if (c.offset >= 0)
        {
            f[c.offset] = c.value;
        }
        else
        {
            f[f.size() - 1] = static_cast<char>(f[f.size() - 1] ^ 1);
        }
        if (c.reseal)
        {
            ResealUpgradeFrame(&f);
        }
        REMOTE_UPGRADE_RESULT_T result{};
        EXPECT_EQ(RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(f.constData()),
                                         static_cast<size_t>(f.size()), kIdentity, nullptr, 0),
                  c.expected)
            << c.offset;
    }
    // Cut short: never read past the given length.
    for (int n = 0; n < good.size(); ++n)
    {
        REMOTE_UPGRADE_RESULT_T result{};
        EXPECT_LT(RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(good.constData()),
                                         static_cast<size_t>(n), nullptr, nullptr, 0),
                  0)
            << n;
    }
}

TEST(RemoteUpgrade, DecoderExplainsTextFrames)
{
    struct Case
    {
        uint8_t type;
        const char* text;
    };
    const Case cases[] = {
        {REMOTE_UPGRADE_CMD, "Remo CMD: Sequence:9 Len:11:log version"},
        {REMOTE_UPGRADE_RESP, "RemoRESP: Sequence:9 Len:11:log version"},
        {REMOTE_UPGRADE_INFO, "RemoINFO: Sequence:9 Len:11:log version"},
    };
    for (const Case& c : cases)
    {
        const QByteArray f = BuildUpgradeTextFrame(c.type, 9, "01234567", "log version");
        REMOTE_UPGRADE_RESULT_T result{};
        char text[128];
        const int n = RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(f.constData()),
                                             static_cast<size_t>(f.size()), nullptr, text, sizeof(text));
        EXPECT_EQ(result.Type, c.type);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(n, static_cast<int>(std::strlen(c.text)));
    }
    // A text length beyond the frame is cut at the frame; a small buffer is never overrun.
    QByteArray f = BuildUpgradeTextFrame(REMOTE_UPGRADE_INFO, 1, "01234567", "abc");
    f[16] = static_cast<char>(0xFF);
    f[17] = static_cast<char>(0x7F);
    ResealUpgradeFrame(&f);
    REMOTE_UPGRADE_RESULT_T result{};
    char text[128];
    RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(f.constData()), static_cast<size_t>(f.size()),
                           nullptr, text, sizeof(text));
    EXPECT_STREQ(text, "RemoINFO: Sequence:1 Len:32767:abc");
    char small[8];
    EXPECT_EQ(RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(f.constData()),
                                     static_cast<size_t>(f.size()), nullptr, small, sizeof(small)),
              7);
    EXPECT_STREQ(small, "RemoINF");
}

TEST(RemoteUpgrade, DecoderFollowsAnImageTransfer)
{
    QTemporaryDir dir;
    REMOTE_UPGRADE_T state;
    ASSERT_EQ(RemoteUpgradeImageOpen(&state, WriteImage(dir, 3000).toUtf8().constData(), kIdentity), 0);
    const QList<QByteArray> frames = AllChunks(&state);
    ASSERT_EQ(frames.size(), 3);
    REMOTE_UPGRADE_RESULT_T result{};
    result.RecvCount = 99;
    QByteArray all;
    for (const QByteArray& f : frames)
    {
        char text[256];
        ASSERT_GT(RemoteUpgradeDecodeMsg(&result, reinterpret_cast<const uint8_t*>(f.constData()),
                                         static_cast<size_t>(f.size()), kIdentity, text, sizeof(text)),
                  0);
        all += text;
    }
    EXPECT_EQ(all, QByteArray("RemoteUp:CurIndex 1, Total 3, ImageSize 0\n"
                              "RemoteUp:CurIndex 2, Total 3, ImageSize 0\n"
                              "RemoteUp:CurIndex 3, Total 3, ImageSize 0\n"
                              "RemoteUp:Upgrade FW size:0, Recv 3 Last Err 0 0\n"));
    EXPECT_EQ(result.RecvCount, 3u);

    // A transfer with a chunk missing never reports the image as received.
    REMOTE_UPGRADE_RESULT_T partial{};
    all.clear();
    for (int i : {0, 2})
    {
        char text[256];
        RemoteUpgradeDecodeMsg(&partial, reinterpret_cast<const uint8_t*>(frames[i].constData()),
                               static_cast<size_t>(frames[i].size()), nullptr, text, sizeof(text));
        all += text;
    }
    EXPECT_FALSE(all.contains("Upgrade FW size"));
}

TEST(RemoteUpgrade, ProgressBar)
{
    char bar[64];
    FormatUpgradeBar(0, bar, sizeof(bar));
    EXPECT_EQ(std::string(bar), "[" + std::string(50, ' ') + "]");
    FormatUpgradeBar(51, bar, sizeof(bar));
    EXPECT_EQ(std::string(bar), "[" + std::string(25, '=') + std::string(25, ' ') + "]");
    FormatUpgradeBar(100, bar, sizeof(bar));
    EXPECT_EQ(std::string(bar), "[" + std::string(50, '=') + "]");
}
